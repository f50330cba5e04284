#pragma once
// The dialog-text module: once loaded, every standard dialog the program
// makes through its dialog factory (file choices of the message service,
// colour, font, print, find and replace) is translated with the default
// dictionary. Installing is once per dialog kind for the process.

#include "localise/LxTranslator.h"
#include "localise/dialogs/LxMlDlgs.h"

#include <vector>

namespace orv {

class TLxDialogModule : public TLxModule {
public:
    // Installs the module for the standard dialog kinds (the save dialog
    // twice; the second finds it installed); returns the kinds installed now.
    std::vector<TLxDialogKind> Loaded();
    // False when the kind is installed already.
    static bool Install(TLxDialogKind Kind);
    // False when it was not installed.
    static bool Uninstall(TLxDialogKind Kind);
    static bool Installed(TLxDialogKind Kind);
};

// The texts a dialog of that kind gets: with the module installed, or for a
// component, the table's texts translated through Dictionary (the sources
// without one). The caption of a file dialog with a title is the title.
struct TLxDialogTexts {
    std::string Caption;
    std::vector<std::pair<int, std::string>> Controls; // control id, text
};
TLxDialogTexts TranslatedDialogTexts(TLxDialogKind Kind, const TLxDictionary *Dictionary,
                                     const std::string &Title = {}, bool ModuleTexts = false);

} // namespace orv
