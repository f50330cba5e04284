#include "machine/ToolingMessages.h"

#include "engine/core/Mess.h"
#include "platform/MessageService.h"

namespace orv {

int ShowToolingMessage(const std::string &Text, int Type, unsigned Buttons)
{
    return MessageDlg(Tr(TMess::DialogCaption(Type)), Text, Type, Buttons);
}

std::string NumberedText(int Index) { return Mess().MessageText(Index); }

std::string Tr(const std::string &Text) { return Mess().Translate(Text); }

} // namespace orv
