#pragma once
// The "Machine Properties Editor": the machines of the machine list with
// the sections and keys of their parameter files in a tree, one row per
// key on the right (a check box for flags, an edit for numbers and texts),
// the machine menu (copy, delete, set active) and "Change Password". The
// reading and writing is TMachineList's; a finished edit is written at once.

#include "machine/MachineList.h"

#include <QDialog>

#include <array>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

class TVis_form : public QDialog {
    Q_OBJECT
public:
    static constexpr int RowCount = 36;
    static constexpr int HelpContext = 3150;
    static constexpr int PictureRole = Qt::UserRole + 1;

    explicit TVis_form(const std::string &MainSettingsFile, QWidget *Parent = nullptr);

    // Row editors, the machine menu's items and "Change Password" act only
    // when ReadOnly is false.
    void SetReadOnly(bool ReadOnly);
    // Builds the tree again (with the "Setting Up Machine" window).
    void BuildTree();
    // Shows a node as a click would.
    void ShowNode(QTreeWidgetItem *Node);
    // The machine menu of a machine node as the right button pops it up.
    QMenu *MachineMenu(QTreeWidgetItem *Machine);
    QTreeWidgetItem *MachineNode(const std::string &Name) const;
    QTreeWidgetItem *ChildNode(QTreeWidgetItem *Parent, const std::string &Text) const;

    QTreeWidget *TV;
    QWidget *Display_Panel;
    QLabel *Title;
    QPushButton *OKButton, *NewPass;
    QMenu *PopupMenu1;
    QAction *CopyItem, *DeleteItem, *ActiveItem;
    std::array<QCheckBox *, RowCount> Checks{};
    std::array<QLabel *, RowCount> Labels{};
    std::array<QLineEdit *, RowCount> Edits{};

protected:
    void showEvent(QShowEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void CreateRows();
    void HideRows();
    void ShowSection(QTreeWidgetItem *Node);
    void ShowKey(QTreeWidgetItem *Node);
    void ShowRow(int Row, const TMachineKey &Key);
    void AddKeys(QTreeWidgetItem *Section);
    void CopyClick();
    void DeleteClick();
    void ActiveClick();
    void ChangePasswordClick();
    void RowEdited(int Row);
    void RowChecked(int Row, bool On);
    std::string MachineOf(QTreeWidgetItem *Node) const;

    TMachineList FList;
    bool FReadOnly = false;
    bool FBuilt = false;
    QTreeWidgetItem *FMenuMachine = nullptr;
    // What the rows show: the machine, the section and each row's key.
    std::string FMachine, FSection;
    std::array<std::string, RowCount> FRowKeys;
};

} // namespace orv
