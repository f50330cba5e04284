#pragma once
// TMenu2: the recent-files list shown as numbered items of a menu
// (File > "ReOpen"); the list is kept in the main settings file's ".HST"
// file, read by LoadHistory and written when the component goes.
#include "shell/RecentFiles.h"

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace orv {

class TMenu2 {
public:
    // ListFile: the ".HST" file.
    explicit TMenu2(const std::string &ListFile);
    // Saves the list; "Could not save History List" when it cannot.
    ~TMenu2();

    void LoadHistory();
    void AddFile(const std::string &FileName);
    void RebuildMenu();

    QMenu *TheMenu = nullptr;
    int MaxItems() const { return FList.MaxItems; }
    void SetMaxItems(int Value) { FList.MaxItems = Value; }
    const TRecentFiles &List() const { return FList; }
    const std::string &ListFile() const { return FListFile; }
    std::function<void(QAction *Item, const std::string &FileName)> OnRecentclick;

private:
    void RecentItemClick(QAction *Item, int Index);
    std::string FListFile;
    TRecentFiles FList;
    std::vector<QAction *> FItems;
};

} // namespace orv
