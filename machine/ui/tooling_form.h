#pragma once
// The "Tooling Library" window: a tree of the library's tools with their
// colour dots and detail rows, the picture of the shown tool's cutter type,
// the tool commands of the context menu and the "Files" menu. All work is
// done by TTooling_Library; InstallToolingLibraryWindow makes it the window.

#include "machine/Tooling_lib.h"

#include <QWidget>

class QLabel;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

class TTooling_setup_form : public QWidget, public TToolingLibraryView {
    Q_OBJECT
public:
    explicit TTooling_setup_form(TTooling_Library &Library, QWidget *Parent = nullptr);

    void FillTree() override;
    void ShowCutterType(TCutter_types Type) override;
    // The sizes of the opened tools shown again, in the library's units.
    void UnitsChanged() override { LanguageChanged(); }

    QTreeWidget *Tree() const { return FTree; }
    // The context menu of the node, as a right click builds it.
    QMenu *BuildContextMenu(QTreeWidgetItem *Node);

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void FormCreate();
    void CreateMenus();
    void NodeExpanded(QTreeWidgetItem *Node);
    void NodeActivated(QTreeWidgetItem *Node);
    void NodeRenamed(QTreeWidgetItem *Node);
    void ShowDetails(QTreeWidgetItem *ToolNode);
    void LanguageChanged();
    void EditDetail(QTreeWidgetItem *Row);
    void AddToolClick();
    void DeleteToolClick(QTreeWidgetItem *Node);
    void SetColourClick(const std::string &Name);
    QMenu *TypeMenu(const std::string &Name, QWidget *Parent);
    void ImportClick();
    void ExportClick();
    static std::string ToolName(QTreeWidgetItem *Node);
    static bool IsToolNode(QTreeWidgetItem *Node);

    TTooling_Library &FLibrary;
    QTreeWidget *FTree = nullptr;
    QLabel *FPicture = nullptr;
    QLabel *FTypeName = nullptr;
    bool FFilling = false;
};

// Makes TTooling_setup_form the window of every tool library.
void InstallToolingLibraryWindow();

} // namespace orv
