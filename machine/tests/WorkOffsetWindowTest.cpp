#include "machine/Work_piece_offset.h"
#include "machine/tests/ToolingFixture.h"
#include "machine/ui/Work_piece_offsets_form2.h"
#include "machine/ui/offset_type_form.h"
#include "platform/IniFile.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

namespace orv {
namespace {

using test::TToolingFixture;

class WorkOffsetWindow : public TToolingFixture {
protected:
    WorkOffsetWindow()
    {
        InstallWorkOffsetWindow();
        Work.SetFilename(Dir.Write("Tarnwick.MOL", "[G54]\r\nX=100\r\nY=50\r\nZ=-20\r\n"
                                                   "[G55]\r\nX=200\r\n"));
        Work.SelectOffset("G55", false);
        Work.ShowWindow(true);
    }
    ~WorkOffsetWindow() override { TWork_piece_offset::WindowFactory = nullptr; }
    TWPiece_form &Window() { return *findForm(); }
    TWPiece_form *findForm() { return dynamic_cast<TWPiece_form *>(Work.Window()); }

    TWork_piece_offset Work;
};

TEST_F(WorkOffsetWindow, ShowsTheOffsetsAndTheCurrentOne)
{
    ASSERT_NE(findForm(), nullptr);
    QTreeWidgetItem *root = Window().TreeView1->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Machine Offsets");
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_TRUE(root->child(1)->font(0).bold());
    EXPECT_FALSE(root->child(0)->font(0).bold());
    EXPECT_EQ(Window().CURRENT_OFFSET->text(), "G55");
    EXPECT_EQ(Window().Spin[0]->value(), 200);
    EXPECT_FALSE(Window().SetAxis[0]->isVisibleTo(&Window())); // no machine attached
    EXPECT_FALSE(Window().FindCentre->isEnabled());
}

TEST_F(WorkOffsetWindow, EditingASpinWritesAfterTheDelay)
{
    Window().Spin[1]->setValue(12.5);
    EXPECT_EQ(TIniFile(Work.Filename()).ReadString("G55", "Y", "?"), "?");
    Loop.Advance(10);
    EXPECT_EQ(TIniFile(Work.Filename()).ReadString("G55", "Y", "?"), "12.5");
    EXPECT_EQ(Work.MY(), 12.5);
}

TEST_F(WorkOffsetWindow, PopupMenuFollowsTheSelection)
{
    QStringList captions;
    for (QAction *a : Window().BuildPopupMenu()->actions())
        captions << a->text();
    EXPECT_EQ(captions, QStringList({"Add Offset", "Delete Offset", "", "Copy Offset",
                                     "Paste Offset", "", "Make Current"}));
    Work.SelectNode("");
    EXPECT_EQ(Window().BuildPopupMenu()->actions().size(), 1);
}

TEST_F(WorkOffsetWindow, RunningCycleDisablesEditing)
{
    Work.SetCycleState(csRunning);
    EXPECT_FALSE(Window().TreeView1->isEnabled());
    EXPECT_FALSE(Window().Spin[0]->isEnabled());
    Work.SetCycleState(csStopped);
    EXPECT_TRUE(Window().Spin[0]->isEnabled());
}

TEST_F(WorkOffsetWindow, SetOffsetDialogChoices)
{
    TOffset_type dialog(1, 5);
    EXPECT_EQ(dialog.Picture(), 1);
    EXPECT_TRUE(dialog.UseCutterRadius());
    EXPECT_FALSE(dialog.Edit1->isEnabled());
    dialog.any->setChecked(true);
    EXPECT_TRUE(dialog.Edit1->isEnabled());
    EXPECT_EQ(dialog.OtherValue(), "0");
    EXPECT_EQ(dialog.property("HelpContext").toInt(), 3100);
}

} // namespace
} // namespace orv
