#include "engine/core/Base_cnc.h"

#include "engine/core/Mess.h"

#include "platform/MessageService.h"

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

void TBase_cnc::ReportError(int Error_pos, const std::string &error_string,
                            const std::string &error_message)
{
    if (OnErrorEvent)
        OnErrorEvent(this, Error_pos, error_string, error_message);
    if (!ShowErrorDialogueBox)
        return;
    std::string text = error_string.empty() ? error_message : error_message + "\n" + error_string;
    MessageDlg(Tr("Information"), text, mtInformation, mbOK);
}

void TBase_cnc::NotifyNext()
{
    if (OnNextNotify)
        OnNextNotify(this);
}

} // namespace orv
