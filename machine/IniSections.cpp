#include "machine/IniSections.h"

#include "platform/IniFile.h"

namespace orv {

std::vector<std::pair<std::string, std::string>> SectionPairs(const TIniFile &Ini,
                                                              const std::string &Section)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto &line : Ini.ReadSectionValues(Section)) {
        const auto eq = line.find('=');
        pairs.emplace_back(line.substr(0, eq),
                           eq == std::string::npos ? std::string() : line.substr(eq + 1));
    }
    return pairs;
}

void RenameSection(TIniFile &Ini, const std::string &OldName, const std::string &NewName)
{
    for (const auto &[key, value] : SectionPairs(Ini, OldName))
        Ini.WriteString(NewName, key, value);
    Ini.EraseSection(OldName);
}

} // namespace orv
