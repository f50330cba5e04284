// Toolbars as widgets: one row when docked, wrapping when floating, sizing a
// floating toolbar's frame through its wrap widths, separators and the flat edit.
#include "ToolbarTestSupport.h"

#include "components/toolbar/TbToolbarLayout.h"
#include "components/toolbar/ui/TbTlbr.h"

namespace orv {
namespace {

class Toolbars : public test::ToolbarWidgetTest {
protected:
    void SetUp() override
    {
        ToolbarWidgetTest::SetUp();
        Top = new TDock(Form.get(), dpTop);
        Top->setObjectName("TopDock");
        Bar = new TToolbar(Form.get());
        Bar->setObjectName("RunBar");
        Buttons.push_back(new TToolbarButton(Bar));
        Buttons.push_back(new TToolbarButton(Bar));
        Sep = new TToolbarSep(Bar);
        Buttons.push_back(new TToolbarButton(Bar));
    }
    void Float()
    {
        Bar->SetFloatingTopLeft(Form->mapToGlobal(QPoint(100, 100)));
        Bar->SetDockedTo(nullptr);
    }
    QPoint RightEdge() const
    {
        return Bar->mapToGlobal(QPoint(Bar->width() - 1, Bar->height() / 2));
    }

    TDock *Top = nullptr;
    TToolbar *Bar = nullptr;
    TToolbarSep *Sep = nullptr;
    std::vector<TToolbarButton *> Buttons;
};

TEST_F(Toolbars, DockedToolbarNeverWraps)
{
    Bar->SetFloatRightX(30);
    Bar->SetDockedTo(Top);
    EXPECT_EQ(Bar->size(), QSize(2 + 9 + 75 + 2, 26));
    EXPECT_EQ(Buttons[2]->pos(), QPoint(11 + 52, 2));
    EXPECT_EQ(Sep->geometry(), QRect(11 + 46, 2, 6, 22));
    EXPECT_TRUE(Bar->LineSeparators().empty());
}

TEST_F(Toolbars, FloatingToolbarWrapsAfterTheSeparator)
{
    Bar->SetFloatRightX(54);
    Float();
    EXPECT_EQ(Bar->size(), QSize(54 + 8, 53 + 8 + 15));
    EXPECT_EQ(Sep->width(), 0) << "the separator collapses at the wrap";
    ASSERT_EQ(Bar->LineSeparators().size(), 1u);
    EXPECT_EQ(Bar->LineSeparators()[0].Offset, 30);
    EXPECT_EQ(Buttons[2]->pos(), QPoint(4 + 4, 19 + 30));
    Bar->SetFloatRightX(0);
    EXPECT_EQ(Bar->size(), QSize(83 + 8, 25 + 8 + 15));
    EXPECT_EQ(Sep->width(), 6);
}

TEST_F(Toolbars, DraggingTheRightEdgeStepsThroughTheWrapWidths)
{
    Float();
    const QRect start = Bar->geometry();
    Bar->RunSizeLoop(htRight, RightEdge());
    ASSERT_TRUE(Bar->Sizing());
    const std::vector<TSize> want = {{91, 48}, {62, 76}, {39, 98}};
    EXPECT_EQ(Bar->Sizing()->PotentialSizes(), want);
    Bar->LoopMouseMove(RightEdge() - QPoint(10, 0));
    EXPECT_EQ(Bar->SizeLoop()->Rect().Width(), 91) << "within the snap distance";
    Bar->LoopMouseMove(RightEdge() - QPoint(20, 0));
    EXPECT_EQ(Bar->SizeLoop()->Rect(), TRect::FromSize(start.x(), start.y(), 62, 76));
    Bar->LoopRelease(RightEdge() - QPoint(20, 0));
    EXPECT_FALSE(Bar->Sizing());
    EXPECT_EQ(Bar->FloatRightX(), 54) << "the chosen shape survives as FloatRightX";
    EXPECT_EQ(Bar->geometry(), QRect(start.topLeft(), QSize(62, 76)));

    Bar->RunSizeLoop(htRight, RightEdge());
    Bar->LoopMouseMove(RightEdge() + QPoint(40, 0));
    Bar->LoopRelease(RightEdge() + QPoint(40, 0));
    EXPECT_EQ(Bar->FloatRightX(), 0) << "back to one line";
    EXPECT_EQ(Bar->size(), QSize(91, 48));
}

TEST_F(Toolbars, EscapeLeavesTheShape)
{
    Float();
    Bar->RunSizeLoop(htRight, RightEdge());
    Bar->LoopMouseMove(RightEdge() - QPoint(60, 0));
    Bar->LoopKey(Qt::Key_Escape, true);
    EXPECT_FALSE(Bar->Sizing());
    EXPECT_EQ(Bar->FloatRightX(), 0);
    EXPECT_EQ(Bar->size(), QSize(91, 48));
}

TEST_F(Toolbars, FloatingToolbarSizesOnlyByItsEdges)
{
    Float();
    EXPECT_EQ(Bar->HitTest(QPoint(1, 1)), htTop) << "no corner codes for a toolbar";
    EXPECT_EQ(Bar->HitTest(QPoint(Bar->width() - 1, 30)), htRight);
    EXPECT_EQ(Bar->HitTest(QPoint(30, 10)), htCaption);
}

TEST_F(Toolbars, PressOnASeparatorDragsTheToolbar)
{
    Bar->SetDockedTo(Top);
    Press(Sep, {2, 5});
    EXPECT_TRUE(Bar->DragLoop());
    Release(Sep, {2, 5});
    EXPECT_FALSE(Bar->DragLoop());
    Press(Buttons[0], {5, 5});
    EXPECT_FALSE(Bar->DragLoop()) << "a button keeps its own press";
    Release(Buttons[0], {5, 5});
}

TEST_F(Toolbars, OrderListFollowsInsertionAndSortsByPosition)
{
    ASSERT_EQ(Bar->OrderList().size(), 4u);
    EXPECT_EQ(Bar->OrderList()[2], Sep);
    delete Buttons[0];
    EXPECT_EQ(Bar->OrderList().size(), 3u);
    Buttons[1]->move(200, 0);
    Bar->PrepareItemOrder();
    EXPECT_EQ(Bar->OrderList().back(), Buttons[1]);
}

TEST_F(Toolbars, SeparatorSizesAndBlank)
{
    Bar->SetDockedTo(Top);
    const int before = Bar->width();
    Sep->SetSizeHorz(10);
    EXPECT_EQ(Bar->width(), before + 4);
    Sep->SetSizeHorz(0);
    EXPECT_EQ(Sep->SizeHorz(), 1);
    Sep->SetBlank(true);
    EXPECT_TRUE(Sep->Blank());
}

TEST_F(Toolbars, FlatEditLooksFlatUntilFocusedOrHovered)
{
    auto *edit = new TFlatEdit(Bar);
    Bar->SetDockedTo(Top);
    EXPECT_EQ(edit->height(), QFontMetrics(edit->font()).height() + 6);
    EXPECT_FALSE(edit->LooksActive());
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(edit, &enter);
    EXPECT_TRUE(edit->LooksActive());
    edit->setEnabled(false);
    EXPECT_FALSE(edit->LooksActive());
    EXPECT_EQ(edit->palette().color(QPalette::Base).rgb() & 0xFFFFFFu, SysColors().BtnFace);
    QFont f = edit->font();
    f.setPixelSize(20);
    edit->setFont(f);
    EXPECT_EQ(edit->height(), QFontMetrics(f).height() + 6);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST_F(Toolbars, ControlsAddedHiddenOrRemovedAtRunTimeRearrange)
{
    Bar->SetDockedTo(Top);
    EXPECT_EQ(Bar->width(), 2 + 9 + 75 + 2);
    auto *added = new TToolbarButton(Bar);
    EXPECT_EQ(Bar->width(), 2 + 9 + 98 + 2);
    EXPECT_EQ(added->pos(), QPoint(11 + 75, 2));
    Buttons[0]->hide();
    EXPECT_EQ(Bar->width(), 2 + 9 + 75 + 2);
    EXPECT_EQ(Buttons[1]->pos(), QPoint(11, 2));
    delete added;
    EXPECT_EQ(Bar->width(), 2 + 9 + 52 + 2);
}

TEST_F(Toolbars, HeldUpdatesArrangeOnceAtTheEnd)
{
    Bar->SetDockedTo(Top);
    const int before = Top->LayoutCount();
    Bar->BeginUpdate();
    new TToolbarButton(Bar);
    new TToolbarButton(Bar);
    Buttons[0]->hide();
    EXPECT_EQ(Bar->width(), 2 + 9 + 75 + 2) << "held";
    EXPECT_EQ(Top->LayoutCount(), before);
    Bar->EndUpdate();
    EXPECT_EQ(Bar->width(), 2 + 9 + 98 + 2);
    EXPECT_EQ(Top->LayoutCount(), before + 1);
}

TEST_F(Toolbars, DestroyingADockedToolbarRearrangesItsDock)
{
    Bar->SetDockedTo(Top);
    EXPECT_EQ(Top->height(), 26);
    delete Bar;
    Bar = nullptr;
    EXPECT_EQ(Top->height(), 0);
    EXPECT_TRUE(Top->DockList().empty());
}

} // namespace
} // namespace orv
