#pragma once
// "ToolBar Setup": a tree of the main window's toolbars and their buttons,
// each shown visible or hidden. "Hidden" hides or shows the selected one at
// once; "OK" applies every node; "Show All" shows everything; "Save" keeps
// the layout as the main default or one of the three level presets.
#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

class TToolbar;
class TToolbarButton;

// A button with neither caption nor hint: a disabled placeholder with no
// command, which stays hidden and is neither listed nor kept as hidden.
bool IsPlaceholderButton(const TToolbarButton &Button);

class TToolbar_SetupForm : public QDialog {
public:
    // MainForm: the window whose layout "Save" writes; Toolbars: its
    // toolbars in the order the tree lists them.
    TToolbar_SetupForm(QWidget *MainForm, std::vector<TToolbar *> Toolbars,
                       std::string MainSettingsFile, std::string ProgramFolder);

    QTreeWidget *TreeView1 = nullptr;
    QCheckBox *Hidden = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *ShowAllBtn = nullptr;
    QPushButton *SaveBtn = nullptr;
    QMenu *SaveMenu = nullptr;

    // The node shows its control as visible (image 1) or hidden (image 0).
    static bool NodeVisible(const QTreeWidgetItem *Node);
    QTreeWidgetItem *FindNode(const QString &ControlName) const;

    void TreeMouseUp();
    void HiddenMouseUp();
    void ShowAllClick();
    void OKClick();
    // Tag 0: the main settings file; 1 to 3: the level preset files.
    void SaveClick(int Tag);

private:
    void Fill(const std::vector<TToolbar *> &Toolbars);
    static void SetNode(QTreeWidgetItem *Node, bool Visible);
    static void ApplyNode(QTreeWidgetItem *Node);

    QWidget *FMainForm;
    std::string FMainSettingsFile;
    std::string FProgramFolder;
};

} // namespace orv
