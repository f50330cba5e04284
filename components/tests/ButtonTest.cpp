// Toolbar buttons: defaults, draw states through mouse, timer and activation
// events, groups, auto-repeat on the test clock, drop-down menus, glyphs.
#include "ToolbarTestSupport.h"

#include "components/toolbar/TbGlyphImage.h"
#include "components/toolbar/ui/TbPaint.h"

#include <QMenu>

namespace orv {
namespace {

class Button : public test::ToolbarWidgetTest {
protected:
    void SetUp() override
    {
        ToolbarWidgetTest::SetUp();
        B = new TToolbarButton(Form.get());
        B->move(10, 10);
        B->show();
        B->OnClick = [this](TToolbarButton *) { ++Clicks; };
        B->OnMouseEnter = [this](TToolbarButton *) { Log += "enter "; };
        B->OnMouseExit = [this](TToolbarButton *) { Log += "exit "; };
    }
    QPoint Away() const { return Form->mapToGlobal(QPoint(300, 300)); }

    TToolbarButton *B = nullptr;
    int Clicks = 0;
    std::string Log;
};

TEST_F(Button, NewButtonDefaults)
{
    EXPECT_EQ(B->width(), 23);
    EXPECT_EQ(B->height(), 22);
    EXPECT_TRUE(B->Flat());
    EXPECT_TRUE(B->Opaque());
    EXPECT_EQ(B->Alignment(), Qt::AlignHCenter);
    EXPECT_EQ(B->Spacing(), 4);
    EXPECT_EQ(B->Margin(), -1);
    EXPECT_EQ(B->Layout(), blGlyphLeft);
    EXPECT_TRUE(B->DropdownArrow());
    EXPECT_EQ(B->RepeatDelay(), 400);
    EXPECT_EQ(B->RepeatInterval(), 100);
    EXPECT_EQ(B->State(), bsUp);
    EXPECT_EQ(B->NumGlyphs(), 1);
    EXPECT_EQ(int(bsUp), 0);
    EXPECT_EQ(int(bsDisabled), 1);
    EXPECT_EQ(int(bsPressed), 2);
    EXPECT_EQ(int(bsHeldDown), 3);
    EXPECT_EQ(int(bsHot), 4);
}

TEST_F(Button, HotWhileThePointerIsOverAndUpWhenTheTimerSeesItGone)
{
    Move(B, {5, 5});
    EXPECT_EQ(B->State(), bsHot);
    EXPECT_TRUE(B->MouseOver());
    EXPECT_EQ(TToolbarButton::TrackedButton(), B);
    EXPECT_EQ(Log, "enter ");
    PointerTo(Away());
    Loop.Advance(124);
    EXPECT_EQ(B->State(), bsHot) << "the tracking timer has not ticked yet";
    Loop.Advance(1);
    EXPECT_EQ(B->State(), bsUp);
    EXPECT_EQ(TToolbarButton::TrackedButton(), nullptr);
    EXPECT_EQ(Log, "enter exit ");
}

TEST_F(Button, MouseMoveElsewhereEndsHotTracking)
{
    Move(B, {5, 5});
    PointerTo(Away());
    CallHookClients(hkMouseMove, Form.get(), 0, 0);
    EXPECT_EQ(B->State(), bsUp);
}

TEST_F(Button, DeactivationEndsHotTrackingUnlessShowBorderWhenInactive)
{
    Move(B, {5, 5});
    CallHookClients(hkActivateApp, nullptr, 1, 0);
    EXPECT_EQ(B->State(), bsHot) << "activation keeps it";
    CallHookClients(hkActivateApp, nullptr, 0, 0);
    EXPECT_EQ(B->State(), bsUp);

    B->SetShowBorderWhenInactive(true);
    Move(B, {6, 6});
    CallHookClients(hkActivateApp, nullptr, 0, 0);
    EXPECT_EQ(B->State(), bsHot);
}

TEST_F(Button, InactiveApplicationShowsNoHotLook)
{
    Hooks.Active = false;
    Move(B, {5, 5});
    EXPECT_EQ(B->State(), bsUp);
    B->SetShowBorderWhenInactive(true);
    Move(B, {6, 6});
    EXPECT_EQ(B->State(), bsHot);
}

TEST_F(Button, PressDragOutAndBackThenRelease)
{
    Move(B, {5, 5});
    Press(B);
    EXPECT_EQ(B->State(), bsPressed);
    EXPECT_TRUE(B->MousePressed());
    Move(B, {40, 5});
    EXPECT_EQ(B->State(), bsUp);
    Move(B, {22, 21});
    EXPECT_EQ(B->State(), bsPressed) << "the last pixel is inside";
    Release(B, {22, 21});
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(B->State(), bsHot) << "the pointer is still over it";
    EXPECT_FALSE(B->MousePressed());
}

TEST_F(Button, ReleaseOutsideDoesNotClick)
{
    Move(B, {5, 5});
    Press(B);
    Move(B, {23, 5});
    Release(B, {23, 5});
    EXPECT_EQ(Clicks, 0);
    EXPECT_EQ(B->State(), bsUp);
}

TEST_F(Button, ClickFromCodeShowsThePressedFaceAndFires)
{
    std::vector<TButtonDrawState> seen;
    B->OnClick = [&](TToolbarButton *b) { seen.push_back(b->State()); };
    B->Click();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], bsPressed);
    EXPECT_EQ(B->State(), bsUp);
}

TEST_F(Button, GroupButtonsReleaseEachOther)
{
    auto *other = new TToolbarButton(Form.get());
    other->move(40, 10);
    other->show();
    B->SetGroupIndex(1);
    other->SetGroupIndex(1);
    ClickAt(B);
    EXPECT_TRUE(B->Down());
    EXPECT_EQ(B->State(), bsHeldDown);
    ClickAt(other);
    EXPECT_TRUE(other->Down());
    EXPECT_FALSE(B->Down());
    EXPECT_EQ(B->State(), bsUp);
    ClickAt(other);
    EXPECT_TRUE(other->Down()) << "without AllowAllUp a click leaves it down";
    B->SetAllowAllUp(true);
    EXPECT_TRUE(other->AllowAllUp()) << "the group shares AllowAllUp";
    ClickAt(other);
    EXPECT_FALSE(other->Down());
}

TEST_F(Button, DownWithoutGroupStaysUpAndDownNeverClicks)
{
    B->SetDown(true);
    EXPECT_FALSE(B->Down());
    B->SetGroupIndex(2);
    B->SetDown(true);
    EXPECT_TRUE(B->Down());
    EXPECT_EQ(B->State(), bsHeldDown);
    EXPECT_EQ(Clicks, 0);
}

TEST_F(Button, DisabledStateAndBackToHeldDown)
{
    B->SetGroupIndex(1);
    B->SetDown(true);
    B->setEnabled(false);
    EXPECT_EQ(B->State(), bsDisabled);
    B->setEnabled(true);
    EXPECT_EQ(B->State(), bsHeldDown);
}

TEST_F(Button, DisablingAPressedButtonCancelsThePress)
{
    Move(B, {5, 5});
    Press(B);
    B->setEnabled(false);
    EXPECT_FALSE(B->MousePressed());
    Release(B);
    B->setEnabled(true);
    EXPECT_EQ(Clicks, 0);
    EXPECT_EQ(B->State(), bsUp);
}

TEST_F(Button, RepeatClicksOnPressAfterTheDelayAndEveryInterval)
{
    B->SetRepeating(true);
    Move(B, {5, 5});
    Press(B);
    EXPECT_EQ(Clicks, 1) << "clicks on press";
    Loop.Advance(399);
    EXPECT_EQ(Clicks, 1);
    Loop.Advance(1);
    EXPECT_EQ(Clicks, 2) << "after 400 ms";
    Loop.Advance(100);
    EXPECT_EQ(Clicks, 3);
    Move(B, {40, 5});
    Loop.Advance(100);
    Loop.Advance(300);
    EXPECT_EQ(Clicks, 3) << "paused outside";
    Move(B, {5, 5});
    Loop.Advance(99);
    EXPECT_EQ(Clicks, 3);
    Loop.Advance(1);
    EXPECT_EQ(Clicks, 4) << "resumed inside";
    Release(B);
    EXPECT_EQ(Clicks, 4) << "the release does not click";
    EXPECT_FALSE(B->HasRepeatTimer());
    Loop.Advance(500);
    EXPECT_EQ(Clicks, 4);
}

class ButtonMenu : public Button {
protected:
    void SetUp() override
    {
        Button::SetUp();
        Menu = std::make_unique<QMenu>();
        Menu->addAction("One");
        SetToolbarMenuPopup([this](QMenu *M, QPoint At, bool Right) {
            ++Opened;
            OpenedAt = At;
            OpenedRight = Right;
            ClicksWhenOpened = Clicks;
            PressedWhenOpened = B->PressUsesDropdown();
        });
        B->SetDropdownMenu(Menu.get());
    }
    std::unique_ptr<QMenu> Menu;
    int Opened = 0;
    QPoint OpenedAt;
    bool OpenedRight = false;
    int ClicksWhenOpened = -1;
    bool PressedWhenOpened = false;
};

TEST_F(ButtonMenu, PressOpensTheMenuAtTheBottomLeftAfterTheClick)
{
    Move(B, {5, 5});
    Press(B);
    EXPECT_EQ(Opened, 1);
    EXPECT_EQ(OpenedAt, B->mapToGlobal(QPoint(0, 22)));
    EXPECT_FALSE(OpenedRight);
    EXPECT_EQ(ClicksWhenOpened, 1) << "OnClick runs before the menu opens";
    EXPECT_TRUE(PressedWhenOpened);
    Release(B);
    EXPECT_EQ(Clicks, 1) << "the release does not click again";
    EXPECT_EQ(Opened, 1);
    EXPECT_EQ(B->State(), bsHot);
}

TEST_F(ButtonMenu, ComboPartOpensTheMenuWithoutOnClick)
{
    B->SetDropdownCombo(true);
    EXPECT_EQ(B->width(), 34);
    Move(B, {22, 5});
    Press(B, {22, 5});
    Release(B, {22, 5});
    EXPECT_EQ(Clicks, 1) << "left of the arrow part clicks normally";
    EXPECT_EQ(Opened, 0);
    Press(B, {23, 5});
    Release(B, {23, 5});
    EXPECT_EQ(Opened, 1);
    EXPECT_EQ(Clicks, 1);
    B->SetDropdownCombo(false);
    EXPECT_EQ(B->width(), 23);
    B->resize(8, 22);
    B->SetDropdownCombo(true);
    B->resize(8, 22);
    B->SetDropdownCombo(false);
    EXPECT_EQ(B->width(), 1) << "never narrower than 1";
}

TEST_F(Button, NumGlyphsWriterAndGlyphStrip)
{
    B->SetNumGlyphs(0);
    EXPECT_EQ(B->NumGlyphs(), 1);
    B->SetNumGlyphs(9);
    EXPECT_EQ(B->NumGlyphs(), 5);
    B->SetGlyph(TBitmap32(64, 16));
    EXPECT_EQ(B->NumGlyphs(), 4);
    B->SetGlyph(TBitmap32(96, 16));
    EXPECT_EQ(B->NumGlyphs(), 1);
}

TBitmap32 BlackSquareOnMagenta(int Size)
{
    TBitmap32 b(Size, Size, 0xFFFF00FFu);
    for (int y = 2; y < Size - 2; ++y)
        for (int x = 2; x < Size - 2; ++x)
            b.SetPixel(x, y, 0xFF000000u);
    return b;
}

TEST_F(Button, DisabledOneImageGlyphPaintsEmbossed)
{
    B->SetGlyph(BlackSquareOnMagenta(16));
    B->setEnabled(false);
    const QImage shot = B->grab().toImage();
    // 23 x 22 flat button, no border: the 16 x 16 glyph sits at (4, 3).
    EXPECT_EQ(shot.pixel(4 + 2, 3 + 2) & 0xFFFFFFu, SysColors().BtnShadow);
    EXPECT_EQ(shot.pixel(4 + 14, 3 + 14) & 0xFFFFFFu, SysColors().BtnHighlight);
    EXPECT_EQ(shot.pixel(4 + 0, 3 + 0) & 0xFFFFFFu, SysColors().BtnFace);
    B->setEnabled(true);
    const QImage up = B->grab().toImage();
    EXPECT_EQ(up.pixel(4 + 2, 3 + 2) & 0xFFFFFFu, 0x000000u);
}

TEST_F(Button, EnterClicksADefaultButtonAndEscapeACancelButton)
{
    EXPECT_FALSE(B->DialogKey(Qt::Key_Return, Qt::NoModifier));
    B->SetDefault(true);
    EXPECT_FALSE(B->DialogKey(Qt::Key_Return, Qt::ShiftModifier));
    EXPECT_TRUE(B->DialogKey(Qt::Key_Return, Qt::NoModifier));
    B->SetCancel(true);
    EXPECT_TRUE(B->DialogKey(Qt::Key_Escape, Qt::NoModifier));
    EXPECT_EQ(Clicks, 2);
    B->SetCaption("&Run");
    EXPECT_TRUE(B->DialogChar('r'));
    B->SetDisplayMode(dmGlyphOnly);
    EXPECT_FALSE(B->DialogChar('r'));
    EXPECT_EQ(Clicks, 3);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST_F(Button, FlatButtonShowsItsBorderOnlyWhileHot)
{
    const uint32_t face = SysColors().BtnFace;
    EXPECT_EQ(B->grab().toImage().pixel(0, 0) & 0xFFFFFFu, face);
    Move(B, {5, 5});
    EXPECT_EQ(B->grab().toImage().pixel(0, 0) & 0xFFFFFFu, SysColors().BtnHighlight);
    EXPECT_EQ(B->grab().toImage().pixel(22, 21) & 0xFFFFFFu, SysColors().BtnShadow);
    PointerTo(Away());
    Loop.Advance(125);
    EXPECT_EQ(B->grab().toImage().pixel(0, 0) & 0xFFFFFFu, face);
    B->SetFlat(false);
    EXPECT_NE(B->grab().toImage().pixel(22, 21) & 0xFFFFFFu, face)
        << "a raised button always has its border";
}

TEST_F(Button, DoubleClickFiresOnlyForADownButton)
{
    int doubles = 0;
    B->OnDblClick = [&](TToolbarButton *) { ++doubles; };
    Move(B, {5, 5});
    Mouse(B, QEvent::MouseButtonDblClick, {5, 5});
    Release(B);
    EXPECT_EQ(doubles, 0);
    B->SetGroupIndex(1);
    B->SetAllowAllUp(true);
    B->SetDown(true);
    Mouse(B, QEvent::MouseButtonDblClick, {5, 5});
    EXPECT_EQ(doubles, 1);
}

TEST_F(Button, DestroyingTheLastButtonFreesTheSharedTimer)
{
    EXPECT_EQ(TToolbarButton::ButtonCount(), 1);
    Move(B, {5, 5});
    delete B;
    EXPECT_EQ(TToolbarButton::ButtonCount(), 0);
    EXPECT_EQ(TToolbarButton::TrackedButton(), nullptr);
    Loop.Advance(500); // no timer fires into a destroyed button
}

} // namespace
} // namespace orv
