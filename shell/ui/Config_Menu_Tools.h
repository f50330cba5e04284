#pragma once
// "Configure Utilities": the Utilities menu's list. Add, Edit and Delete
// go through "Utility Properties" and a confirmation; up and down move the
// selected entry. Every change is written to [Menu Tools] at once.
#include "shell/UtilityMenu.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace orv {

class TMenuConfigTools : public QDialog {
public:
    TMenuConfigTools(QWidget *Owner, const std::string &SettingsFile);

    QListWidget *ToolList = nullptr;
    QPushButton *AddBtn = nullptr;
    QPushButton *EditBtn = nullptr;
    QPushButton *DeleteBtn = nullptr;
    QPushButton *UpBtn = nullptr;
    QPushButton *DownBtn = nullptr;
    QPushButton *CloseBtn = nullptr;

    void AddClick();
    void EditClick();
    void DeleteClick();
    void MoveClick(int Direction);

private:
    void FillList(int Selected);
    void SelectionChanged();

    TUtilityList FList;
};

} // namespace orv
