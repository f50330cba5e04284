#pragma once
// The translator's plug-in module for controls whose texts the property walk
// does not reach, and for controls that need more than a move when a form is
// mirrored: the fixed cells of grids, controls on tab sheets and the panel
// alignments of status bars. One instance is registered for the process by
// RegisterControlModule.

#include "localise/LxTranslator.h"

namespace orv {

class TLxControlModule : public TLxModule {
public:
    // Grids: the fixed columns (column by column, every row), then the fixed
    // rows of the other columns, through TranslateValue as "Cells". List
    // views: each item's caption ("Caption") and its sub-items ("Items"),
    // remembered by the item. Tree views: every node ("Items"). Lists and
    // trees are handled when "Items" is a target of their class.
    bool TranslateItems(TLxTranslator &Translator, TLxComponent *Control) override;
    // A tab sheet stays; a control on one moves against the active page.
    bool MirrorControl(TLxTranslator &Translator, TLxComponent *Control,
                       TLxTranslator::TBidirectionalState &State) override;
    // A status bar swaps its left- and right-justified panels.
    bool MirrorSpecial(TLxTranslator &Translator, TLxComponent *Control) override;
};

// Adds the control module to the process's modules (once).
void RegisterControlModule();

} // namespace orv
