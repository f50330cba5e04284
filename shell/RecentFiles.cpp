#include "shell/RecentFiles.h"

#include "platform/NumberText.h"
#include "platform/SafeSave.h"

#include <algorithm>
#include <fstream>

namespace orv {

void TRecentFiles::LoadHistory(const std::string &ListFile) {
    FFiles.clear();
    std::ifstream in(ListFile);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            FFiles.push_back(line);
    }
    Cut();
}

bool TRecentFiles::SaveHistory(const std::string &ListFile) const {
    std::string text;
    for (const std::string &f : FFiles)
        text += f + "\n";
    return static_cast<bool>(SaveFileReplacing(ListFile, text, TSaveSync::Cached));
}

void TRecentFiles::AddFile(const std::string &FileName) {
    const std::string key = UpperCase(FileName);
    FFiles.erase(std::remove_if(FFiles.begin(), FFiles.end(),
                                [&](const std::string &f) { return UpperCase(f) == key; }),
                 FFiles.end());
    FFiles.insert(FFiles.begin(), FileName);
    Cut();
    FLastFile = FileName;
}

std::string TRecentFiles::Clicked(int Index) {
    if (Index < 0 || Index >= static_cast<int>(FFiles.size()))
        return {};
    std::string path = FFiles[Index];
    FFiles.erase(FFiles.begin() + Index);
    if (!path.empty())
        FFiles.insert(FFiles.begin(), path);
    FLastFile = path;
    return path;
}

std::vector<std::string> TRecentFiles::Captions() const {
    std::vector<std::string> c;
    for (size_t i = 0; i < FFiles.size(); ++i)
        c.push_back("&" + std::to_string(i + 1) + " " + FFiles[i]);
    return c;
}

void TRecentFiles::Cut() {
    if (MaxItems >= 0 && FFiles.size() > static_cast<size_t>(MaxItems))
        FFiles.resize(MaxItems);
}

} // namespace orv
