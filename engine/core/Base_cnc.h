#pragma once
// Base of the block-processing stages (metric, absolute, move calculator,
// cutter compensation, arc and cycle expansion, optimiser) and of the
// machine-data reader: a stage reports failures and asks its supplier for
// the next block only through events that its owner assigns.

#include "platform/Classes.h"

#include <functional>
#include <string>

namespace orv {

class TCNC_Groups;

// Failure report: Error_pos is the LineNumber of the block concerned,
// error_string the detail (offending value, failed check), error_message
// the headline, as a rule a translated text of the numbered message table.
using EErrorNotify = std::function<void(TObject *Sender, int Error_pos,
                                        const std::string &error_string,
                                        const std::string &error_message)>;
// Request for input: the receiver fills the stage's input by calling back.
using EGetNextNotify = std::function<void(TObject *Sender)>;
// Requests of stages that pull the next block into a record of their own;
// the receiver assigns the block into Data.
using EGetCompNextNotify = std::function<void(TObject *Sender, TCNC_Groups &Data)>;
using EGetCycleNextNotify = std::function<void(TObject *Sender, TCNC_Groups &Data)>;

class TBase_cnc : public TComponent {
public:
    explicit TBase_cnc(TComponent *Owner = nullptr) : TComponent(Owner) {}

    // When true, a stage that reports a failure also shows it in a message box.
    bool ShowErrorDialogueBox = false;
    EErrorNotify OnErrorEvent;
    EGetNextNotify OnNextNotify;

protected:
    // Fires OnErrorEvent (when assigned) with this stage as Sender; with
    // ShowErrorDialogueBox also shows error_message (and the detail on a
    // line of its own) in an information box.
    void ReportError(int Error_pos, const std::string &error_string,
                     const std::string &error_message);
    // Fires OnNextNotify when assigned.
    void NotifyNext();
};

} // namespace orv
