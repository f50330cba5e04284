// The Fanuc stations as Tarnwick's user meets them: chosen from File >
// Source, worked through their own controls, their popup and the menu their
// window puts into the menu bar, with real input only.
#include "shell/tests/user/TarnwickUser.h"

#include "components/toolbar/ui/TbCtls.h"
#include "fanuc/ui/Fanuc21Form.h"
#include "platform/IniFile.h"
#include "shell/ui/main_form3_2.h"

#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace orv::test {
namespace {

// The station chosen from File > Source; the simulated machine's tool
// prompt that comes with it is answered OK.
fanuc::TFanuc21Form *OpenStation(TarnwickUser &U, const QString &Item, const QString &Title)
{
    U.WhenModal([&U](QWidget &Box) { U.Answer(Box, "OK"); });
    U.ChooseMenu({"File", "Source", Item});
    U.Serve();
    U.ForgetModalHandlers();
    return dynamic_cast<fanuc::TFanuc21Form *>(U.WindowTitled(Title));
}

// The check marks of the station's "View Buttons" menu in the menu bar.
std::string SideMarks(TarnwickUser &U)
{
    std::string marks;
    for (QAction *title : U.Form().menuBar()->actions())
        if (title->isVisible() && title->menu() && PlainCaption(title->text()) == "Editor")
            for (QAction *view : title->menu()->actions())
                if (view->menu() && PlainCaption(view->text()) == "View Buttons")
                    for (QAction *a : view->menu()->actions())
                        if (a->isCheckable())
                            marks += PlainCaption(a->text()).toStdString() +
                                     (a->isChecked() ? " [x] " : " [ ] ");
    return marks;
}

// A right click on the 21 opens its popup: "Hide -->" leaves the station
// without its keypad, 508 px wide, and "Hide Buttons" of the "View
// Buttons" menu (in the menu bar while the station is active) gives it back
// whole. "On the Left" is kept for the next start.
TEST_F(TarnwickUser, TheFanucTwentyOnesPopupAndViewButtonsMenu)
{
    Start();
    fanuc::TFanuc21Form *station = OpenStation(*this, "Fanuc 21i", "Fanuc 21i MA");
    ASSERT_NE(station, nullptr) << ShownWindows();
    EXPECT_EQ(station->width(), 732);
    EXPECT_EQ(SideMarks(*this), "On the Left [ ] On the Right [x] ");
    RightClick(station->Display(), {200, 100});
    ASSERT_NE(OpenPopup(), nullptr) << "the station's popup";
    PickFromPopup(OpenPopup(), {"Hide -->"});
    EXPECT_EQ(station->width(), 508);
    EXPECT_EQ(Frame(station)->width(), 508) << "a borderless child the station's width";
    EXPECT_FALSE(station->Outputs()->isVisible());
    ChooseMenu({"Editor", "View Buttons", "Hide Buttons"}, true);
    EXPECT_EQ(station->width(), 732);
    EXPECT_TRUE(station->Outputs()->isVisible());
    ChooseMenu({"Editor", "View Buttons", "On the Left"}, true);
    EXPECT_EQ(SideMarks(*this), "On the Left [x] On the Right [ ] ");
    ChooseMenu({"File", "Source", "Editor"});
    Serve();
    EXPECT_EQ(WindowTitled("Fanuc 21i MA"), nullptr);
    EXPECT_EQ(SideMarks(*this), "") << "the station's menu went with it";
    EXPECT_EQ(TIniFile(Dir.File("Tarnwick.ini")).ReadString("FanucScreen", "Left Side", ""), "1");
}

// The 0M's button beside the emergency stop hides its keypad; its knob then
// turns in a "Feed Override" window at the station's right edge, inside the
// MDI area, and comes back with the keypad.
TEST_F(TarnwickUser, TheFanucZeroMsKnobFloatsInsideTheMdiArea)
{
    Start();
    fanuc::TFanuc21Form *station = OpenStation(*this, "Fanuc 0M", "Fanuc OM");
    ASSERT_NE(station, nullptr) << ShownWindows();
    // The user takes the station by its title bar to the area's corner.
    QWidget *frame = Frame(station);
    Drag(Form().MdiArea()->viewport(), frame->pos() + QPoint(200, 10), {200, 10});
    ASSERT_EQ(frame->pos(), QPoint(0, 0));
    ExpectWindowFits(station);
    EXPECT_EQ(station->ShowHideButton()->toolTip().toStdString(), "Hide Edit Panel");
    Click(station->ShowHideButton());
    EXPECT_EQ(station->width(), 508);
    QWidget *knob = WindowTitled("Feed Override");
    ASSERT_NE(knob, nullptr) << ShownWindows();
    ExpectWindowFits(knob);
    ExpectWindowFits(station);
    EXPECT_EQ(Frame(knob)->x(), frame->geometry().right() + 1);
    EXPECT_EQ(Frame(knob)->geometry().bottom(), frame->geometry().bottom());
    EXPECT_EQ(station->ShowHideButton()->toolTip().toStdString(), "Show Edit Panel");
    EXPECT_NE(SideMarks(*this), "") << "the station stays active, its menu in the bar";
    Drag(station->Knob(), {30, 40}, {30, 20});
    EXPECT_EQ(station->ShownText("OverrideLabel").toStdString(), "OS100%") << "five steps up from 50 %";
    Click(station->ShowHideButton());
    Serve();
    EXPECT_EQ(station->width(), 732);
    EXPECT_EQ(WindowTitled("Feed Override"), nullptr);
    ExpectWindowFits(station);
    EXPECT_EQ(station->Knob()->parentWidget()->objectName().toStdString(), "KnobPanel");
}

} // namespace
} // namespace orv::test
