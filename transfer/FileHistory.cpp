#include "transfer/FileHistory.h"

#include "platform/IniFile.h"

#include <algorithm>

namespace orv {

namespace {
const char *const Section = "FILE HISTORY";
}

void TFileHistory::LoadHistory(const std::string &IniFile) {
    FFiles = TIniFile(IniFile).ReadSection(Section);
    RebuildMenu();
}

void TFileHistory::SaveHistory(const std::string &IniFile) {
    TIniFile ini(IniFile);
    ini.EraseSection(Section);
    int count = int(FFiles.size());
    for (int i = 0; i < count; ++i)
        ini.WriteInteger(Section, FFiles[size_t(i)], count - i);
    RebuildMenu();
}

void TFileHistory::AddFile(const std::string &Name) {
    FFiles.push_back(Name);
    if (int(FFiles.size()) > FSize)
        FFiles.erase(FFiles.begin());
    RebuildMenu();
}

std::vector<std::string> TFileHistory::MenuCaptions() const {
    int n = std::min(int(FFiles.size()), std::max(FSize, 0));
    return std::vector<std::string>(FFiles.rbegin(), FFiles.rbegin() + n);
}

void TFileHistory::RebuildMenu() {
    if (OnRebuildMenu)
        OnRebuildMenu(MenuCaptions());
}

} // namespace orv
