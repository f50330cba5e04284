#include "machine/JogKeyTable.h"

#include "platform/IniFile.h"

namespace orv {

namespace {
const char *const Section = "Jog Keys";
const char *const Names[TJogKeyTable::Count] = {"X+", "X-",  "Y+",  "Y-",  "Z+",
                                                "Z-", "Fup", "Fdn", "Sup", "Sdn"};
} // namespace

const char *TJogKeyTable::KeyName(int Index) {
    return Names[Index];
}

int TJogKeyTable::FunctionOf(uint16_t Code) const {
    if (Code == 0)
        return -1;
    for (int i = 0; i < Count; ++i)
        if (FKeys[i] == Code)
            return i;
    return -1;
}

void TJogKeyTable::Load(const std::string &IniFileName) {
    TIniFile ini(IniFileName);
    for (int i = 0; i < Count; ++i)
        FKeys[i] = static_cast<uint16_t>(ini.ReadInteger(Section, Names[i], 0) & 0xFFFF);
}

void TJogKeyTable::Save(const std::string &IniFileName) const {
    TIniFile ini(IniFileName);
    for (int i = 0; i < Count; ++i)
        ini.WriteInteger(Section, Names[i], FKeys[i]);
}

} // namespace orv
