#pragma once
// "Utility Properties": a utility's title, program, working folder and
// parameters. "&OK" is enabled only for a title no other utility has and a
// program that exists (shell/UtilityMenu.h).
#include "shell/UtilityMenu.h"

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

namespace orv {

class TToolPropForm : public QDialog {
public:
    // Titles: the list's titles; Own: the title being edited (empty for a
    // new utility), which the edit may keep.
    TToolPropForm(QWidget *Owner, std::vector<std::string> Titles, std::string Own);

    void SetUtility(const TUtility &Utility);
    TUtility Utility() const;

    QLineEdit *TitleEdit = nullptr;
    QLineEdit *ProgramEdit = nullptr;
    QLineEdit *WorkEdit = nullptr;
    QLineEdit *ParamEdit = nullptr;
    QPushButton *BrowseProgram = nullptr;
    QPushButton *BrowseFolder = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private:
    void UpdateOk();
    void BrowseProgramClick();
    void BrowseFolderClick();

    std::vector<std::string> FTitles;
    std::string FOwn;
};

} // namespace orv
