#include "machine/Tooling_lib.h"
#include "machine/tests/ToolingFixture.h"
#include "machine/ui/ToolEdit.h"
#include "machine/ui/Tool_offsets_form.h"
#include "machine/ui/tooling_form.h"
#include "machine/ui/zoffset_.h"
#include "engine/core/DUtils.h"
#include "platform/IniFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace orv {
namespace {

using test::TToolingFixture;

const char *const Library = "[End 6]\r\nDiameter=6\r\nlength=50\r\nTool Length offset=42.5\r\n"
                            "[Drill 3]\r\nDiameter=3\r\nType=4\r\n"
                            "[Zero]\r\nDiameter=0\r\n";

class ToolWindows : public TToolingFixture {
protected:
    ToolWindows()
    {
        InstallToolingLibraryWindow();
        Lib.SetDataFile(Dir.Write("lib.MTD", Library));
    }
    ~ToolWindows() override { TTooling_Library::WindowFactory = nullptr; }
    TTooling_setup_form &Window() { return *dynamic_cast<TTooling_setup_form *>(Lib.Window()); }

    TTooling_Library Lib;
};

TEST_F(ToolWindows, LibraryTreeListsToolsWithDetailRows)
{
    Lib.ShowWindow();
    QTreeWidget *tree = Window().Tree();
    QTreeWidgetItem *root = tree->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), "TOOLS");
    ASSERT_EQ(root->childCount(), 2); // "Zero" has no diameter
    root->child(0)->setExpanded(true);
    ASSERT_EQ(root->child(0)->childCount(), 7);
    EXPECT_EQ(root->child(0)->child(2)->text(0), "Tool Length offset = 42.500");
    Lib.ReadTool("Drill 3", true);
    EXPECT_EQ(Window().findChildren<QLabel *>()[1]->text(), "Drill");
}

TEST_F(ToolWindows, RenamingANodeRenamesTheTool)
{
    Lib.ShowWindow();
    QTreeWidgetItem *node = Window().Tree()->topLevelItem(0)->child(1);
    node->setText(0, "Drill 3.3");
    EXPECT_TRUE(Lib.ToolExists("Drill 3.3"));
    EXPECT_FALSE(Lib.ToolExists("Drill 3"));
    node->setText(0, "End 6"); // a name that exists: refused, the node keeps its name
    EXPECT_EQ(node->text(0), "Drill 3.3");
    EXPECT_EQ(Shown().back(), "The name \"End 6\" already exists");
}

TEST_F(ToolWindows, ContextMenuOfAToolAndOfTheRoot)
{
    Lib.ShowWindow();
    QTreeWidgetItem *root = Window().Tree()->topLevelItem(0);
    QStringList captions;
    for (QAction *a : Window().BuildContextMenu(root->child(0))->actions())
        captions << a->text();
    EXPECT_EQ(captions, QStringList({"Add Tool", "Delete Tool", "", "Set Tool Colour",
                                     "Set Tool Type", "Clear Tool in Use Flag"}));
    EXPECT_EQ(Window().BuildContextMenu(root)->actions().size(), 1);
}

TEST_F(ToolWindows, ToolDataDialogKeepsTheLastGoodTextAndWritesOnOk)
{
    TToolEditForm dialog(nullptr, Metric, 3, "End 6", Lib.DataFile());
    EXPECT_EQ(dialog.Edit(3)->text(), "42.500");
    dialog.Edit(5)->setText("4");
    emit dialog.Edit(5)->textEdited("4");
    dialog.Edit(5)->setText("4x");
    emit dialog.Edit(5)->textEdited("4x");
    EXPECT_EQ(dialog.Edit(5)->text(), "4");
    dialog.Edit(1)->setText("6.5");
    dialog.findChild<QPushButton *>()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    TIniFile ini(Lib.DataFile());
    EXPECT_EQ(ini.ReadString("End 6", "Diameter", ""), "6.5");
    EXPECT_EQ(ini.ReadString("End 6", "Flute Count", ""), "4");
}

TEST_F(ToolWindows, OffsetTableDialogLaysOutFourTabs)
{
    TIniFile(MainIniPath()).WriteString("Tool Offset Table", "17", "12.5");
    TTOffsets dialog;
    dialog.FillOffsetTable();
    EXPECT_EQ(dialog.Edit(17)->text(), "12.5");
    EXPECT_EQ(dialog.Edit(17)->parentWidget(), dialog.Panel(1));
    EXPECT_EQ(dialog.Edit(25)->x(), 150);
    EXPECT_EQ(dialog.Panel(1)->height(), 180);
    dialog.Tabs()->setCurrentIndex(1);
    EXPECT_TRUE(dialog.Panel(1)->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.Panel(0)->isVisibleTo(&dialog));

    dialog.NewClick();
    EXPECT_EQ(dialog.Edit(17)->text(), "");
    dialog.Edit(64)->setText("abc");
    dialog.OkClick();
    TIniFile ini(MainIniPath());
    EXPECT_EQ(ini.ReadString("Tool Offset Table", "17", "?"), "");
    EXPECT_EQ(ini.ReadString("Tool Offset Table", "64", "?"), "abc");
}

// Tool Data and Set Offset open again where the operator last left them,
// each from a section of its own in the settings file beside the program.
TEST_F(ToolWindows, ToolDataAndSetOffsetOpenWhereTheyWereLeft)
{
    const struct {
        const char *Name;
        std::function<std::unique_ptr<QDialog>()> Make;
        QPoint LeftAt;
    } dialogs[] = {
        {"Tool Data",
         [this] {
             return std::make_unique<TToolEditForm>(nullptr, Metric, 3, "End 6", Lib.DataFile());
         },
         QPoint(123, 77)},
        {"Set Offset", [] { return std::make_unique<TZoffset_form>(); }, QPoint(301, 45)},
    };
    for (const auto &d : dialogs) {
        SCOPED_TRACE(d.Name);
        std::unique_ptr<QDialog> dialog = d.Make();
        dialog->show();
        dialog->move(d.LeftAt);
        ASSERT_EQ(dialog->pos(), d.LeftAt);
    }
    for (const auto &d : dialogs) {
        SCOPED_TRACE(d.Name);
        std::unique_ptr<QDialog> dialog = d.Make();
        dialog->show();
        EXPECT_EQ(dialog->pos(), d.LeftAt);
    }
}

TEST_F(ToolWindows, ZOffsetDialogStartsAtZero)
{
    TZoffset_form form;
    EXPECT_EQ(form.ZOffSet->text(), "0");
}

} // namespace
} // namespace orv
