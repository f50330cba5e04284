#include "machine/JogKeyTable.h"

#include "platform/IniFile.h"

namespace orv {

namespace {
const char *const Section = "Jog Keys";
}

const char *const TJogKeyTable::KeyNames[FunctionCount] = {"X+", "X-", "Y+",  "Y-",  "Z+",
                                                           "Z-", "Fup", "Fdn", "Sup", "Sdn"};

void TJogKeyTable::Read(const TIniFile &Ini)
{
    for (int i = 0; i < FunctionCount; ++i)
        Keys[i] = uint16_t(Ini.ReadInteger(Section, KeyNames[i], 0));
}

void TJogKeyTable::Write(TIniFile &Ini) const
{
    for (int i = 0; i < FunctionCount; ++i)
        Ini.WriteInteger(Section, KeyNames[i], Keys[i]);
}

} // namespace orv
