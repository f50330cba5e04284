#pragma once
// TFileHistory: the recent files, oldest first, kept in the settings
// section [FILE HISTORY] (key = file name, value = its place counted from
// the newest). The menu shows at most Size names, newest first; the owner
// builds its "&Reopen" items from MenuCaptions in OnRebuildMenu.

#include <functional>
#include <string>
#include <vector>

namespace orv {

class TFileHistory {
public:
    int Size() const { return FSize; }
    void SetSize(int Size) { FSize = Size; }

    // Reads the key names of [FILE HISTORY] in file order.
    void LoadHistory(const std::string &IniFile);
    // Erases the section and writes every entry, oldest first.
    void SaveHistory(const std::string &IniFile);
    // Appends Name (also when present); past Size the oldest goes.
    void AddFile(const std::string &Name);
    void RebuildMenu();

    const std::vector<std::string> &Files() const { return FFiles; }
    // min(count, Size) newest names, newest first.
    std::vector<std::string> MenuCaptions() const;

    std::function<void(const std::vector<std::string> &Captions)> OnRebuildMenu;

private:
    int FSize = 10;
    std::vector<std::string> FFiles;
};

} // namespace orv
