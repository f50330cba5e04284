// Docks and tool windows as widgets: rows, thickness, alignment on the form,
// floating, visibility, dragging and docking through the drag loop, the
// close button, and the error texts.
#include "ToolbarTestSupport.h"

#include "components/toolbar/ui/PanelToolWindow.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "components/toolbar/ui/TbTlwn.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

namespace orv {
namespace {

class Docks : public test::ToolbarWidgetTest {
protected:
    void SetUp() override
    {
        ToolbarWidgetTest::SetUp();
        Top = new TDock(Form.get(), dpTop);
        Top->setObjectName("TopDock");
        Left = new TDock(Form.get(), dpLeft);
        Left->setObjectName("LeftDock");
    }
    // A toolbar with Buttons buttons of 23 x 22, docked in Dock.
    TToolbar *Bar(const char *Name, int Buttons, TDock *Dock, int Row = 0, int Pos = 0)
    {
        auto *bar = new TToolbar(Form.get());
        bar->setObjectName(Name);
        for (int i = 0; i < Buttons; ++i)
            new TToolbarButton(bar);
        bar->SetDockRow(Row);
        bar->SetDockPos(Pos);
        if (Dock)
            bar->SetDockedTo(Dock);
        return bar;
    }
    TDock *Top = nullptr;
    TDock *Left = nullptr;
};

TEST_F(Docks, EmptyDockIsZeroThickOrOneWithFixAlign)
{
    EXPECT_EQ(Top->height(), 0);
    Top->SetFixAlign(true);
    EXPECT_EQ(Top->height(), 1);
    EXPECT_EQ(Top->width(), 600);
}

TEST_F(Docks, DockedToolbarTakesItsRowAndFrame)
{
    TToolbar *bar = Bar("Bar1", 3, Top);
    // 3 buttons, 2-pixel frame, 9-pixel double drag handle.
    EXPECT_EQ(bar->size(), QSize(2 + 9 + 69 + 2, 22 + 4));
    EXPECT_EQ(bar->pos(), QPoint(0, 0));
    EXPECT_EQ(Top->height(), 26);
    EXPECT_EQ(Left->geometry(), QRect(0, 26, 0, 374)) << "left dock below the top dock";
    auto *first = static_cast<QWidget *>(bar->OrderList().front());
    EXPECT_EQ(first->pos(), QPoint(11, 2));
    EXPECT_TRUE(bar->isVisible());
}

TEST_F(Docks, VerticalDockStacksButtonsDown)
{
    TToolbar *bar = Bar("Bar1", 3, Left);
    EXPECT_EQ(bar->size(), QSize(23 + 4, 2 + 9 + 66 + 2));
    EXPECT_EQ(Left->width(), 27);
}

TEST_F(Docks, RowsCloseUpAndStackWithGaps)
{
    TToolbar *a = Bar("A", 2, Top, 0, 0);
    TToolbar *b = Bar("B", 2, Top, 3, 0);
    EXPECT_EQ(b->DockRow(), 1);
    EXPECT_EQ(b->pos(), QPoint(0, 26));
    EXPECT_EQ(Top->height(), 52);
    EXPECT_EQ(a->DockRow(), 0);
}

TEST_F(Docks, OverlappingToolbarsArePushedApartAndOneRowIsForced)
{
    TToolbar *a = Bar("A", 2, Top, 0, 0);
    TToolbar *b = Bar("B", 2, Top, 1, 0);
    Top->SetLimitToOneRow(true);
    EXPECT_EQ(b->DockRow(), 0);
    EXPECT_EQ(b->x(), a->width());
    EXPECT_EQ(Top->height(), 26);
}

TEST_F(Docks, FullSizeToolbarSpansTheDockAlone)
{
    TToolbar *a = Bar("A", 2, Top, 0, 0);
    TToolbar *b = Bar("B", 2, Top, 0, 100);
    b->SetFullSize(true);
    EXPECT_EQ(b->width(), 600);
    EXPECT_EQ(b->DockRow(), 0);
    EXPECT_EQ(a->DockRow(), 1);
}

TEST_F(Docks, HidingADockedToolbarTakesItOutOfTheLayout)
{
    std::string log;
    Top->OnInsertRemoveBar = [&](TDock *, bool Inserting, TCustomToolWindow *) {
        log += Inserting ? "+" : "-";
    };
    TToolbar *bar = Bar("Bar1", 2, Top);
    bar->SetVisible(false);
    EXPECT_EQ(Top->height(), 0);
    EXPECT_TRUE(Top->DockList().empty());
    bar->SetVisible(true);
    EXPECT_EQ(Top->height(), 26);
    EXPECT_EQ(log, "+-+");
}

TEST_F(Docks, FloatingToolbarWindowSize)
{
    TToolbar *bar = Bar("Bar1", 3, nullptr);
    bar->SetFloatingTopLeft(QPoint(300, 300));
    bar->SetDockedTo(nullptr);
    ASSERT_TRUE(bar->Floating());
    EXPECT_TRUE(bar->isWindow());
    // Client: 4 + 69 + 4 wide, 2 + 22 + 1 high; sizing frame 4 and caption 15.
    EXPECT_EQ(bar->size(), QSize(77 + 8, 25 + 8 + 15));
    EXPECT_EQ(bar->pos(), QPoint(300, 300));
    EXPECT_TRUE(bar->isVisible());
}

TEST_F(Docks, FloatingWindowHidesWithTheApplicationOrShowsAnInactiveCaption)
{
    TToolbar *bar = Bar("Bar1", 2, nullptr);
    bar->SetDockedTo(nullptr);
    Hooks.Active = false;
    CallHookClients(hkActivateApp, nullptr, 0, 0);
    EXPECT_FALSE(bar->isVisible());
    Hooks.Active = true;
    CallHookClients(hkActivateApp, nullptr, 1, 0);
    EXPECT_TRUE(bar->isVisible());

    bar->SetHideWhenInactive(false);
    Hooks.Active = false;
    CallHookClients(hkActivateApp, nullptr, 0, 0);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->InactiveCaption());
}

TEST_F(Docks, FloatingWindowFollowsItsFormsVisibility)
{
    TToolbar *bar = Bar("Bar1", 2, nullptr);
    bar->SetDockedTo(nullptr);
    Form->hide();
    CallHookClients(hkWindowPosChanged, Form.get(), 0, 0);
    EXPECT_FALSE(bar->isVisible());
    Form->show();
    CallHookClients(hkWindowPosChanged, Form.get(), 0, 0);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->Visible());
}

TEST_F(Docks, ToolWindowKeepsItsClientArea)
{
    auto *tw = new TToolWindow(Form.get());
    tw->setObjectName("Coords");
    EXPECT_EQ(tw->ClientAreaHeight(), 32) << "no parent: the whole size";
    tw->SetDockedTo(nullptr);
    tw->SetClientAreaHeight(120);
    EXPECT_EQ(tw->ClientAreaHeight(), 120);
    EXPECT_EQ(tw->ClientAreaWidth(), 32);
    EXPECT_EQ(tw->height(), 120 + 8 + 15);
    EXPECT_EQ(tw->IconSize, 2) << "a new tool window shows large images";
    EXPECT_FALSE(tw->ShowCaption);
}

TEST_F(Docks, ErrorTexts)
{
    TToolbar *bar = Bar("Bar1", 1, Top);
    auto expectError = [](const std::function<void()> &F, const std::string &Text) {
        try {
            F();
            ADD_FAILURE() << "no error for " << Text;
        } catch (const EInvalidOperation &e) {
            EXPECT_EQ(e.what(), Text);
        }
    };
    expectError([&] { new TDock(bar); },
                "A TDock control cannot be placed inside a tool window or another TDock");
    expectError([&] { new TDock(Top); },
                "A TDock control cannot be placed inside a tool window or another TDock");
    expectError([&] { Top->SetPosition(dpBottom); },
                "Cannot change Position of a TDock if it already contains controls");
    auto *panel = new QWidget(Form.get());
    expectError([&] { bar->SetParent(panel); },
                "A tool window can only be placed on a TDock or directly on the form");
    EXPECT_EQ(bar->DockedTo(), Top) << "a refused parent changes nothing";
    TToolbar orphan(nullptr);
    orphan.setObjectName("Bar9");
    expectError([&] { orphan.ParentForm(); }, "Control 'Bar9' has no parent window");
    expectError([&] { new TToolbarSep(panel); }, "TToolbarSep can only be placed on a TToolbar");
    auto *empty = new TDock(Form.get(), dpTop);
    EXPECT_NO_THROW(empty->SetPosition(dpBottom));
}

// ------------------------------------------------------------------- drags

class Drags : public Docks {
protected:
    QPoint InTop(int X, int Y) const { return Top->mapToGlobal(QPoint(X, Y)); }
    void Drag(TCustomToolWindow *W, QPoint Grab, QPoint To)
    {
        W->RunDragLoop(Grab);
        W->LoopMouseMove(To);
        W->LoopRelease(To);
    }
};

TEST_F(Drags, FloatingToolbarDocksWhereItIsDropped)
{
    TToolbar *bar = Bar("Bar1", 2, nullptr);
    bar->SetFloatingTopLeft(Form->mapToGlobal(QPoint(200, 200)));
    bar->SetDockedTo(nullptr);
    int changed = 0;
    bar->OnDockChanged = [&](TCustomToolWindow *) { ++changed; };
    Drag(bar, {20, 8}, InTop(150, 3));
    EXPECT_EQ(bar->DockedTo(), Top);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_GT(bar->DockPos(), 100);
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(bar->DragLoop());
}

TEST_F(Drags, DockedToolbarDraggedAwayFloatsAtTheOutline)
{
    TToolbar *bar = Bar("Bar1", 2, Top);
    const QPoint to = Form->mapToGlobal(QPoint(300, 250));
    Drag(bar, {5, 13}, to);
    ASSERT_TRUE(bar->Floating());
    // Grab (5, 13) of 60 x 26 keeps its place in the 62 x 48 floating window.
    EXPECT_EQ(bar->pos(), to - QPoint(5, 24));
}

TEST_F(Drags, CtrlPreventsDockingUntilReleased)
{
    TToolbar *bar = Bar("Bar1", 2, nullptr);
    bar->SetFloatingTopLeft(Form->mapToGlobal(QPoint(200, 200)));
    bar->SetDockedTo(nullptr);
    bar->RunDragLoop({20, 8});
    bar->LoopKey(Qt::Key_Control, true);
    bar->LoopMouseMove(InTop(150, 3));
    EXPECT_EQ(bar->DragLoop()->TargetDock(), nullptr);
    bar->LoopKey(Qt::Key_Control, false);
    EXPECT_EQ(bar->DragLoop()->TargetDock(), Top);
    bar->LoopKey(Qt::Key_Control, true);
    bar->LoopRelease(InTop(150, 3));
    EXPECT_TRUE(bar->Floating());
}

TEST_F(Drags, RequestDockCanRefuse)
{
    TToolbar *bar = Bar("Bar1", 2, nullptr);
    bar->SetDockedTo(nullptr);
    TCustomToolWindow *asked = nullptr;
    Top->OnRequestDock = [&](TDock *, TCustomToolWindow *W, bool &Accept) {
        asked = W;
        Accept = false;
    };
    Drag(bar, {20, 8}, InTop(150, 3));
    EXPECT_EQ(asked, bar);
    EXPECT_TRUE(bar->Floating());
}

TEST_F(Drags, EscapeCancelsAndDockableToLimitsTheDocks)
{
    TToolbar *bar = Bar("Bar1", 2, nullptr);
    bar->SetFloatingTopLeft(Form->mapToGlobal(QPoint(200, 200)));
    bar->SetDockedTo(nullptr);
    const QPoint before = bar->pos();
    bar->RunDragLoop({20, 8});
    bar->LoopMouseMove(InTop(150, 3));
    bar->LoopKey(Qt::Key_Escape, true);
    EXPECT_FALSE(bar->DragLoop());
    bar->LoopRelease(InTop(150, 3));
    EXPECT_TRUE(bar->Floating());
    EXPECT_EQ(bar->pos(), before);

    bar->SetDockableTo(DockableTo(dpLeft));
    Drag(bar, {20, 8}, InTop(150, 3));
    EXPECT_TRUE(bar->Floating()) << "the top dock is not in DockableTo";
}

TEST_F(Drags, DropNearTheTopOfARowOpensANewRowInFront)
{
    TToolbar *a = Bar("A", 2, Top, 0, 0);
    TToolbar *b = Bar("B", 2, Top, 0, 100);
    // Grabbed at mid-height, so the outline's centre follows the pointer.
    Drag(b, {5, 13}, InTop(300, 5));
    EXPECT_EQ(b->DockRow(), 0);
    EXPECT_EQ(a->DockRow(), 1);
    EXPECT_EQ(Top->height(), 52);
}

TEST_F(Drags, DropInsideARowStaysInIt)
{
    TToolbar *a = Bar("A", 2, Top, 0, 0);
    TToolbar *b = Bar("B", 2, Top, 0, 100);
    Drag(b, {5, 13}, InTop(300, 6));
    EXPECT_EQ(b->DockRow(), 0);
    EXPECT_EQ(a->DockRow(), 0);
    EXPECT_EQ(b->DockPos(), 295);
    EXPECT_EQ(Top->height(), 26);
}

TEST_F(Drags, FullSizeDroppedIntoAnOccupiedRowGoesToTheNextRowAlone)
{
    TToolbar *a = Bar("A", 2, Top, 0, 0);
    TToolbar *f = Bar("F", 2, nullptr);
    f->SetFullSize(true);
    f->SetDockedTo(nullptr);
    Drag(f, {20, 8}, InTop(300, 13));
    EXPECT_EQ(f->DockedTo(), Top);
    EXPECT_EQ(f->DockRow(), 1);
    EXPECT_EQ(a->DockRow(), 0);
    EXPECT_EQ(f->width(), 600);
}

TEST_F(Drags, DoubleClickFloatsAndDocksAtTheFrontOfRowZero)
{
    TToolbar *a = Bar("A", 2, Top, 0, 0);
    TToolbar *b = Bar("B", 2, Top, 1, 0);
    b->SetDefaultDock(Top);
    b->DoubleClick();
    EXPECT_TRUE(b->Floating());
    b->DoubleClick();
    EXPECT_EQ(b->DockedTo(), Top);
    EXPECT_EQ(b->DockRow(), 0);
    EXPECT_EQ(b->DockPos(), 0);
    EXPECT_EQ(a->DockPos(), b->width()) << "the front of row 0";
}

TEST_F(Drags, PressOnTheDragHandleStartsTheLoop)
{
    TToolbar *bar = Bar("Bar1", 2, Top);
    Press(bar, {5, 10});
    ASSERT_TRUE(bar->DragLoop());
    Release(bar, {5, 10});
    EXPECT_FALSE(bar->DragLoop());
    EXPECT_EQ(bar->DockedTo(), Top) << "dropped where it was";
    Top->SetAllowDrag(false);
    Press(bar, {5, 10});
    EXPECT_FALSE(bar->DragLoop()) << "no dragging out of a dock without AllowDrag";
}

TEST_F(Drags, CloseButtonHidesOnlyWhenReleasedOverIt)
{
    TToolbar *bar = Bar("Bar1", 2, nullptr);
    bar->SetDockedTo(nullptr);
    int closed = 0;
    bar->OnClose = [&](TCustomToolWindow *) { ++closed; };
    const QPoint centre = bar->CloseButtonRect().center();
    EXPECT_EQ(bar->HitTest(centre), htClose);
    bar->TrackCloseButton();
    bar->LoopMouseMove(bar->mapToGlobal(QPoint(2, 30)));
    EXPECT_FALSE(bar->CloseLoop()->Pushed());
    bar->LoopRelease(bar->mapToGlobal(QPoint(2, 30)));
    EXPECT_TRUE(bar->Visible());
    bar->TrackCloseButton();
    bar->LoopRelease(bar->mapToGlobal(centre));
    EXPECT_FALSE(bar->Visible());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(closed, 1);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST_F(Docks, ReparentingFiresItsEventsInOrder)
{
    TToolbar *bar = Bar("Bar1", 2, nullptr);
    std::string log;
    bar->OnDockChanging = [&](TCustomToolWindow *) { log += "changing "; };
    bar->OnRecreating = [&](TCustomToolWindow *) { log += "recreating "; };
    bar->OnMove = [&](TCustomToolWindow *) { log += "move "; };
    bar->OnRecreated = [&](TCustomToolWindow *) { log += "recreated "; };
    bar->OnDockChanged = [&](TCustomToolWindow *) { log += "changed "; };
    bar->SetDockedTo(Top);
    EXPECT_EQ(log, "changing move recreated changed ");
    log.clear();
    bar->SetDockedTo(Left);
    EXPECT_EQ(log, "changing recreating move recreated changed ");
    log.clear();
    bar->SetDockedTo(Left);
    EXPECT_EQ(log, "") << "the same parent changes nothing";
}

TEST_F(Docks, FormClientRectIsWhatTheDocksLeave)
{
    Bar("A", 2, Top);
    Bar("B", 2, Left);
    EXPECT_EQ(TDock::FormClientRect(Form.get()), QRect(27, 26, 600 - 27, 400 - 26));
    Form->resize(500, 300);
    EXPECT_EQ(Top->width(), 500);
    EXPECT_EQ(Left->height(), 300 - 26);
}

// A dock in a layout is the layout's to place: it asks for its thickness
// across and takes the length it is given, so what follows it in the layout
// stays clear of it; docks outside any layout are still aligned on the form.
TEST_F(Docks, DockInALayoutAsksForItsThickness)
{
    auto *column = new QWidget(Form.get());
    column->setGeometry(0, 100, 400, 300);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *area = new QWidget(column);
    auto *bottom = new TDock(column, dpBottom);
    auto *below = new QLabel("below", column);
    layout->addWidget(area, 1);
    layout->addWidget(bottom);
    layout->addWidget(below);
    column->show();
    TToolbar *bar = Bar("InLayout", 3, bottom);
    QApplication::processEvents();
    EXPECT_EQ(bottom->sizeHint().height(), 26);
    EXPECT_EQ(bottom->geometry(), QRect(0, 300 - below->height() - 26, 400, 26));
    EXPECT_EQ(below->y(), bottom->geometry().bottom() + 1) << "the next widget below the dock";
    EXPECT_EQ(bar->pos(), QPoint(0, 0));

    column->resize(150, 300);
    QApplication::processEvents();
    EXPECT_EQ(bottom->width(), 150);
    EXPECT_EQ(bottom->geometry().bottom() + 1, below->y());
    // A second bar in the row: the dock asks for the row's whole length, so
    // the layout widens it and no bar is cut off.
    TToolbar *second = Bar("Second", 3, bottom, 0, 100);
    QApplication::processEvents();
    EXPECT_EQ(bottom->sizeHint(), QSize(164, 26));
    EXPECT_GE(column->minimumSizeHint().width(), 164);
    column->resize(column->minimumSizeHint().width(), 300);
    QApplication::processEvents();
    EXPECT_LE(second->geometry().right(), bottom->width() - 1);
    // A second row: the dock grows across, what follows moves down.
    Bar("Third", 2, bottom, 1, 0);
    QApplication::processEvents();
    EXPECT_GT(bottom->height(), 26);
    EXPECT_EQ(bottom->height(), bottom->sizeHint().height());
    EXPECT_EQ(bottom->geometry().bottom() + 1, below->y());
    EXPECT_EQ(area->height(), 300 - below->height() - bottom->height());

    EXPECT_EQ(Top->geometry(), QRect(0, 0, 600, 0)) << "the form's own docks as before";
}

TEST_F(Docks, DockedToolWindowTakesItsClientSize)
{
    auto *tw = new TToolWindow(Form.get());
    tw->setObjectName("Coords");
    tw->SetClientAreaWidth(100);
    tw->SetClientAreaHeight(40);
    tw->SetDockedTo(Top);
    EXPECT_EQ(Top->height(), 44);
    EXPECT_EQ(tw->ClientAreaWidth(), 100);
    EXPECT_EQ(tw->ClientAreaHeight(), 40);
    EXPECT_EQ(tw->size(), QSize(2 + 9 + 100 + 2, 44));
}

// A panel that asks for 120 x 40.
struct TFixedHintPanel : QWidget {
    QSize sizeHint() const override { return {120, 40}; }
};

TEST_F(Docks, PanelToolWindowKeepsItsContentInsideTheBorders)
{
    auto *content = new TFixedHintPanel;
    auto *tw = new TPanelToolWindow(Form.get(), "Readouts", "Measuring Info", content);
    EXPECT_EQ(tw->objectName(), "Readouts");
    EXPECT_EQ(tw->Caption(), "Measuring Info");
    EXPECT_EQ(content->parentWidget(), tw);
    EXPECT_FALSE(tw->Visible());
    EXPECT_EQ(tw->DockedTo(), nullptr);
    EXPECT_EQ(tw->ClientAreaWidth(), 120);
    EXPECT_EQ(tw->ClientAreaHeight(), 40);

    auto inside = [&] { return tw->rect().marginsRemoved(tw->NonClientMargins()); };
    tw->SetVisible(true);
    EXPECT_EQ(content->geometry(), inside()) << "floating";
    tw->SetClientAreaWidth(200);
    EXPECT_EQ(content->geometry(), inside()) << "grown";
    EXPECT_EQ(content->width(), 200);
    tw->SetDockedTo(Top);
    EXPECT_EQ(content->geometry(), inside()) << "docked";
}

TEST_F(Docks, MenuOfAButtonInALeftDockOpensBesideIt)
{
    TToolbar *bar = Bar("Bar1", 1, Left);
    auto *button = bar->findChild<TToolbarButton *>();
    QMenu menu;
    menu.addAction("One");
    button->SetDropdownMenu(&menu);
    QPoint at;
    bool right = true;
    SetToolbarMenuPopup([&](QMenu *, QPoint At, bool Right) {
        at = At;
        right = Right;
    });
    button->Click();
    EXPECT_EQ(at, button->mapToGlobal(QPoint(button->width(), 0)));
    EXPECT_FALSE(right);
}

class SizeWindows : public Docks {};

TEST_F(SizeWindows, ToolWindowCornerSizingKeepsTheMinimum)
{
    auto *tw = new TToolWindow(Form.get());
    tw->setObjectName("Coords");
    tw->SetFloatingTopLeft(Form->mapToGlobal(QPoint(100, 100)));
    tw->SetDockedTo(nullptr);
    tw->SetClientAreaWidth(100);
    tw->SetClientAreaHeight(60);
    EXPECT_EQ(tw->HitTest(QPoint(1, 1)), htTopLeft);
    EXPECT_EQ(tw->HitTest(QPoint(tw->width() - 1, tw->height() - 1)), htBottomRight);
    const QPoint corner = tw->mapToGlobal(QPoint(tw->width() - 1, tw->height() - 1));
    tw->RunSizeLoop(htBottomRight, corner);
    tw->LoopMouseMove(corner + QPoint(20, 10));
    tw->LoopRelease(corner + QPoint(20, 10));
    EXPECT_EQ(tw->ClientAreaWidth(), 120);
    EXPECT_EQ(tw->ClientAreaHeight(), 70);
    const QPoint corner2 = tw->mapToGlobal(QPoint(tw->width() - 1, tw->height() - 1));
    tw->RunSizeLoop(htBottomRight, corner2);
    tw->LoopMouseMove(corner2 - QPoint(500, 500));
    tw->LoopRelease(corner2 - QPoint(500, 500));
    EXPECT_EQ(tw->ClientAreaWidth(), 32) << "MinClientWidth";
    EXPECT_EQ(tw->ClientAreaHeight(), 32);
}

TEST_F(Drags, EscapeKeyEventCancelsTheDrag)
{
    TToolbar *bar = Bar("Bar1", 2, Top);
    Press(bar, {5, 10});
    ASSERT_TRUE(bar->DragLoop());
    bar->LoopMouseMove(Form->mapToGlobal(QPoint(300, 300)));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(bar, &escape);
    EXPECT_FALSE(bar->DragLoop());
    Release(bar, {5, 10});
    EXPECT_EQ(bar->DockedTo(), Top);
}

TEST_F(Drags, RightPressDuringADragIsIgnored)
{
    TToolbar *bar = Bar("Bar1", 2, Top);
    bar->RunDragLoop({5, 10});
    Mouse(bar, QEvent::MouseButtonPress, {5, 10}, Qt::RightButton);
    EXPECT_TRUE(bar->DragLoop());
    Mouse(bar, QEvent::MouseButtonPress, {5, 10}, Qt::LeftButton);
    EXPECT_FALSE(bar->DragLoop()) << "a second left press cancels";
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST_F(Docks, MinimizingTheFormHidesItsFloatingWindows)
{
    TToolbar *bar = Bar("Bar1", 2, nullptr);
    bar->SetDockedTo(nullptr);
    ASSERT_TRUE(bar->isVisible());
    Form->showMinimized();
    CallHookClients(hkWindowPosChanged, Form.get(), 0, 0);
    EXPECT_FALSE(bar->isVisible());
    Form->showNormal();
    CallHookClients(hkWindowPosChanged, Form.get(), 0, 0);
    EXPECT_TRUE(bar->isVisible());
}

TEST_F(Docks, BoundLinesTakeAPixelOnlyWhileTheDockHoldsAWindow)
{
    Top->SetBoundLines(blTop | blBottom);
    EXPECT_EQ(Top->height(), 0);
    TToolbar *bar = Bar("Bar1", 2, Top);
    EXPECT_EQ(Top->height(), 26 + 2);
    EXPECT_EQ(bar->pos(), QPoint(0, 1));
    const QImage shot = Top->grab().toImage();
    EXPECT_EQ(shot.pixel(300, 0) & 0xFFFFFFu, SysColors().BtnShadow);
    EXPECT_EQ(shot.pixel(300, 27) & 0xFFFFFFu, SysColors().BtnHighlight);
}

TEST_F(Docks, BackgroundIsTiledWithItsKeyColourReplaced)
{
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.fill(qRgb(0, 0, 255));
    tile.setPixel(0, 1, qRgb(255, 0, 0)); // bottom-left: the key colour
    Top->SetBackground(tile);
    Bar("Bar1", 1, Top);
    QImage shot = Top->grab().toImage();
    EXPECT_EQ(shot.pixel(100, 1) & 0xFFFFFFu, 0xFF0000u) << "key colour shows as is";
    Top->SetBackgroundTransparent(true);
    shot = Top->grab().toImage();
    EXPECT_EQ(shot.pixel(100, 1) & 0xFFFFFFu, SysColors().BtnFace) << "key colour is the dock's";
    EXPECT_EQ(shot.pixel(101, 1) & 0xFFFFFFu, 0x0000FFu);
}

} // namespace
} // namespace orv
