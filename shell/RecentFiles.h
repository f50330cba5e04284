#pragma once
// The list of recently opened programs behind File > "ReOpen": most recent
// first, at most MaxItems, kept in a ".HST" file (one full path per line)
// beside the main settings file.
#include <string>
#include <vector>

namespace orv {

class TRecentFiles {
public:
    // Reads the list file; a missing or unreadable file gives an empty list.
    void LoadHistory(const std::string &ListFile);
    // False when the file cannot be written.
    bool SaveHistory(const std::string &ListFile) const;
    // Moves the file (compared without letter case) to the top, or adds it;
    // the oldest entries beyond MaxItems go.
    void AddFile(const std::string &FileName);
    // Entry Index was clicked: it moves to the top; returns its path.
    std::string Clicked(int Index);
    // "&1 /path" ... "&10 /path".
    std::vector<std::string> Captions() const;

    const std::vector<std::string> &Files() const { return FFiles; }
    const std::string &LastFile() const { return FLastFile; }
    int MaxItems = 10;

private:
    void Cut();
    std::vector<std::string> FFiles;
    std::string FLastFile;
};

} // namespace orv
