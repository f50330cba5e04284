#include "machine/ToolingMessages.h"

#include "engine/Mess.h"
#include "platform/MessageService.h"

namespace orv {

namespace {

const char *CaptionOfType(int Type)
{
    switch (Type) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirm";
    default:
        return "Orvellan";
    }
}

} // namespace

int ShowToolingMessage(const std::string &Text, int Type, unsigned Buttons)
{
    return MessageDlg(Tr(CaptionOfType(Type)), Text, Type, Buttons);
}

std::string NumberedText(int Index) { return Mess().MessageText(Index); }

std::string Tr(const std::string &Text) { return Mess().Translate(Text); }

} // namespace orv
