#include "engine/core/ResStrings.h"

#include "localise/LxHooks.h"

namespace orv {

void RegisterProgramStrings()
{
    RegisterResourceString(SInvalidInteger, "'%s' is not a valid integer value");
    RegisterResourceString(SInvalidFloat, "'%s' is not a valid floating point value");
}

std::string ResString(int Id, std::initializer_list<std::string> Args)
{
    static const bool Registered = (RegisterProgramStrings(), true);
    (void)Registered;
    const TResStringRec Rec{Id};
    std::string Text = LoadResString(&Rec);
    size_t From = 0;
    for (const std::string &Arg : Args) {
        const size_t At = Text.find("%s", From);
        if (At == std::string::npos)
            break;
        Text.replace(At, 2, Arg);
        From = At + Arg.size();
    }
    return Text;
}

} // namespace orv
