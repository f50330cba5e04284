// Both Fanuc stations as Tarnwick opens them (the factory, an MDI child of
// an MDI area), worked with real clicks at the controls' drawn places: the
// soft keys and their pages, the HELP texts, the relative readout of the
// offset pages, the keypad panel hidden and shown (the 21's popup, the 0M's
// button with its floating knob window), the window's remembered place and
// every operator button.
#include "engine/core/Mess.h"
#include "fanuc/FanucButtons.h"
#include "fanuc/fanuc0m/FanucOMScreen.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "fanuc/tests/FanucTestFolder.h"
#include "fanuc/tests/FanucWindowInput.h"
#include "fanuc/ui/Fanuc21Form.h"
#include "fanuc/ui/FanucLedButton.h"
#include "components/toolbar/ui/TbCtls.h"
#include "machine/MachineCommands.h"
#include "machine/Machine_Tooling.h"
#include "machine/Work_piece_offset.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/ui/MdiHost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace orv::fanuc {
namespace {

using test::ClickMenuItem;
using test::ClickOn;
using test::RightClickOn;

class StationWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Area.resize(1100, 760);
        Area.show();
        SetMdiAdopter([this](QWidget *W) { return Adopt(W) != nullptr; });
    }
    void TearDown() override
    {
        Close();
        SetMdiAdopter(nullptr);
    }
    // As Tarnwick adopts a child: a hidden sub-window a frame larger than
    // the window, gone with it.
    QMdiSubWindow *Adopt(QWidget *W)
    {
        QMdiSubWindow *sub = Area.addSubWindow(W);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->hide();
        sub->resize(W->size() + QSize(8, 30));
        QObject::connect(W, &QObject::destroyed, sub, [sub] { sub->deleteLater(); });
        return sub;
    }
    // The station of source Kind (4 the 21, 9 the 0M) with its window, bound
    // and initialised as the engine does it.
    void Open(int Kind, bool WithOffsets = true)
    {
        QWidget *window = nullptr;
        Owner = CreateFanucStation(Kind, [&](QWidget *W) {
            window = W;
            Adopt(W);
        });
        Station = dynamic_cast<TFanucScreen *>(Owner.get());
        ASSERT_NE(Station, nullptr);
        Form = static_cast<TFanuc21Form *>(window);
        Station->OnOpsCommand = [this](int Code) { Sent.push_back(Code); };
        Station->OnOpsCommandStop = [this] { ++Stops; };
        if (WithOffsets) {
            Station->SetMachineTooling(&Tooling);
            Station->SetWorkOffset(&Offsets);
        }
        Station->Initialise();
        QApplication::processEvents();
    }
    void Close()
    {
        if (Station)
            Station->Modified = false;
        Owner.reset();
        Station = nullptr;
        Form = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static QMdiSubWindow *Frame(QWidget *W) { return qobject_cast<QMdiSubWindow *>(W->parentWidget()); }
    bool ZeroM() const { return dynamic_cast<TFanucScreenOM *>(Station) != nullptr; }
    // A keypad key by the station's script name.
    QWidget *Key(const char *Name)
    {
        const bool zeroM = ZeroM();
        const struct {
            const char *Name;
            int Key21, Key0M;
        } keys[] = {{"POS", 24, 24}, {"PROG", 25, 25}, {"OFFSET", 26, 26}, {"HELP", 42, 30}};
        for (const auto &k : keys)
            if (std::string(k.Name) == Name)
                return Form->KeypadKeys()[zeroM ? k.Key0M : k.Key21];
        return nullptr;
    }
    std::string Shown(const std::string &Name) { return Form->ShownText(Name).toStdString(); }

    test::TSettingsFolder Settings{"Tarnwick.ini", "FanucKnob.gif"};
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessageScope{Messages};
    TMachine_Tooling Tooling;
    TWork_piece_offset Offsets;
    QMdiArea Area;
    std::unique_ptr<orv::TFanucScreen> Owner;
    TFanucScreen *Station = nullptr;
    TFanuc21Form *Form = nullptr;
    std::vector<int> Sent;
    int Stops = 0;
};

// --- Soft keys ---

// The soft keys stand under the CRT where each station has them, every one
// reachable; the labels stand over the keys they name.
TEST_F(StationWindow, SoftKeysStandWhereEachStationHasThem)
{
    const struct {
        int Kind;
        QRect Keys[7];
    } stations[] = {
        {4, {{56, 314, 30, 15}, {109, 315, 30, 15}, {174, 315, 30, 15}, {238, 315, 30, 15},
             {303, 315, 30, 15}, {367, 315, 30, 15}, {422, 315, 30, 15}}},
        {9, {{39, 310, 25, 25}, {104, 310, 25, 25}, {170, 310, 25, 25}, {236, 310, 25, 25},
             {302, 310, 25, 25}, {368, 310, 25, 25}, {432, 310, 25, 25}}},
    };
    for (const auto &s : stations) {
        SCOPED_TRACE(s.Kind);
        Open(s.Kind);
        for (int tag = 1; tag <= 7; ++tag) {
            SCOPED_TRACE(tag);
            TToolbarButton *key = Form->SoftKeyButtons()[tag - 1];
            EXPECT_EQ(key->geometry(), s.Keys[tag - 1]);
            QWidget *hit = nullptr;
            QPoint at;
            EXPECT_TRUE(test::MeetsAtCentre(key, hit, at));
        }
        Close();
    }
}

// The 0M's offset pages have its own keys: OFFSET over the first, W.SHFT
// over the third, and the keys do what their labels say; its program
// search keys are "SRH <-" and "SRH ->". The 21 keeps OFFSET, SETING.
TEST_F(StationWindow, EachStationsSoftKeyLabelsNameWhatTheKeysDo)
{
    const struct {
        int Kind;
        const char *Offset[5];
        const char *Search[5];
    } stations[] = {
        {9,
         {"OFFSET", "      ", "W.SHFT", "      ", "      "},
         {"      ", "O SRH ", "SRH <-", "SRH ->", "REWIND"}},
        {4,
         {"OFFSET", "SETING", "      ", "      ", "(OPRT)"},
         {"      ", "O SRH ", "SRH \xC2\xBF ", "SRH ? ", "REWIND"}},
    };
    const char *const labels[5] = {"Softkey1", "SoftKey2", "SoftKey3", "SoftKey4", "SoftKey5"};
    for (const auto &s : stations) {
        SCOPED_TRACE(s.Kind);
        Open(s.Kind);
        ASSERT_TRUE(ClickOn(Key("OFFSET")));
        EXPECT_EQ(Shown("TopLabel"), "OFFSET");
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Shown(labels[i]), s.Offset[i]) << labels[i];
        ASSERT_TRUE(ClickOn(Key("PROG")));
        ASSERT_TRUE(ClickOn(Form->SoftKeyButtons()[5])); // (OPRT)
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Shown(labels[i]), s.Search[i]) << labels[i];
        Close();
    }
    Open(9);
    ASSERT_TRUE(ClickOn(Key("OFFSET")));
    ASSERT_TRUE(ClickOn(Form->SoftKeyButtons()[2])); // under the blank second label
    EXPECT_EQ(Shown("TopLabel"), "OFFSET");
    ASSERT_TRUE(ClickOn(Form->SoftKeyButtons()[3])); // under W.SHFT
    EXPECT_EQ(Shown("TopLabel"), "WORK SHIFT");
    EXPECT_EQ(Shown("SoftKey3"), "W.SHFT");
    ASSERT_TRUE(ClickOn(Form->SoftKeyButtons()[1])); // under OFFSET
    EXPECT_EQ(Shown("TopLabel"), "OFFSET");
}

// --- HELP, offset pages ---

TEST_F(StationWindow, HelpShowsEachStationsOwnTexts)
{
    const struct {
        int Kind;
        std::vector<std::string> Texts;
    } stations[] = {
        {4,
         {"* HELP *", "In this mode - select an item you want", "to know more about by clicking it",
          "with the ? mouse pointer.", "Press HELP key again to leave help mode"}},
        {9,
         {"* HELP *",
          "In this mode - select an item you want to know more about by clicking it with the ? "
          "mouse pointer.",
          "Press HELP (OPR ALARM) key again to leave help mode",
          "You have pressed the 'Operators Alarm' button. This button would normally show the "
          "alarm number display, on this simulator it enables help mode."}},
    };
    for (const auto &s : stations) {
        SCOPED_TRACE(s.Kind);
        Open(s.Kind);
        ASSERT_TRUE(ClickOn(Key("HELP")));
        EXPECT_EQ(Shown("TopLabel"), "HELP SYSTEM");
        for (size_t i = 0; i < s.Texts.size(); ++i)
            EXPECT_EQ(Shown("HelpText" + std::to_string(i + 1)), s.Texts[i]) << i;
        EXPECT_EQ(Shown("HelpText" + std::to_string(s.Texts.size() + 1)), "");
        ASSERT_TRUE(ClickOn(Key("HELP")));
        EXPECT_EQ(Shown("HelpText1"), "") << "HELP again leaves help mode";
        Close();
    }
}

// OFFSET and WORK SHIFT both show "ACTUAL POSITION (RELATIVE)" with the
// relative reading of the last report; the 0M shows it on OFFSET only when
// it has the tooling (it then shows the message instead of the page).
TEST_F(StationWindow, BothOffsetPagesShowTheRelativeReadout)
{
    for (int kind : {4, 9}) {
        SCOPED_TRACE(kind);
        Open(kind);
        TMachineReadout report{};
        report.Machine = {40, -12.5, 3};
        Station->ShowPositions(report);
        ASSERT_TRUE(ClickOn(Key("OFFSET")));
        EXPECT_EQ(Shown("TopLabel"), "OFFSET");
        EXPECT_EQ(Shown("USmall"), "40.000");
        ASSERT_TRUE(ClickOn(Key("OFFSET")));
        EXPECT_EQ(Shown("TopLabel"), "WORK SHIFT");
        EXPECT_EQ(Shown("USmall"), "40.000");
        EXPECT_EQ(Shown("VSmall"), "-12.500");
        EXPECT_EQ(Shown("WSmall"), "3.000");
        ASSERT_TRUE(ClickOn(Key("POS")));
        EXPECT_EQ(Shown("USmall"), "");
        Close();
    }
    Open(9, false);
    ASSERT_TRUE(ClickOn(Key("OFFSET")));
    EXPECT_EQ(Messages.Log().back().Text, "Fanuc Offsets not available yet. Please use normal offsets");
    EXPECT_EQ(Shown("USmall"), "");
}

// --- The keypad panel ---

// A right click on the 21 opens its popup: "Hide -->" narrows the window
// to 508 px without the keypad panel; checked, it brings the panel back.
TEST_F(StationWindow, TheTwentyOnesPopupHidesAndShowsTheKeypadPanel)
{
    Open(4);
    QMdiSubWindow *frame = Frame(Form);
    ShowWindowOrChild(Form);
    EXPECT_EQ(Form->width(), 732);
    for (bool hide : {true, false}) {
        SCOPED_TRACE(hide);
        ASSERT_TRUE(RightClickOn(Form->Display()));
        QMenu *popup = Form->PopupMenu();
        ASSERT_TRUE(popup && popup->isVisible());
        QAction *item = test::MenuAction(popup, "Hide -->");
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->isChecked(), !hide);
        ASSERT_TRUE(ClickMenuItem(popup, item));
        EXPECT_FALSE(popup->isVisible());
        EXPECT_EQ(Form->width(), hide ? 508 : 732);
        EXPECT_EQ(frame->contentsRect().width(), Form->width()) << "the sub-window follows";
        EXPECT_EQ(Form->Outputs()->isVisible(), !hide);
        // What stays is whole: the CRT, its soft keys and every operator button.
        for (QWidget *w : Form->OperatorButtons())
            EXPECT_TRUE(Form->rect().contains(QRect(w->mapTo(Form, QPoint()), w->size())));
        EXPECT_TRUE(ClickOn(Form->SoftKeyButtons()[6]));
        if (!hide)
            EXPECT_TRUE(ClickOn(Form->KeypadKeys()[43]));
    }
    EXPECT_EQ(Form->PopupMenu()->actions().size(), 1);
    Close();
    Open(9);
    ASSERT_TRUE(RightClickOn(Form->Display()));
    EXPECT_EQ(Form->PopupMenu(), nullptr) << "the 0M has no popup menu";
}

// The 0M's button beside the emergency stop hides the keypad panel: the
// knob moves into its own "Feed Override" window at the station's right
// edge, and the button onto the operator panel; pressed there it brings
// both back. Its hints are translated.
TEST_F(StationWindow, TheZeroMsButtonFloatsTheKnobAndBringsItBack)
{
    Open(9);
    QMdiSubWindow *frame = Frame(Form);
    ShowWindowOrChild(Form);
    TToolbarButton *button = Form->ShowHideButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parentWidget()->objectName(), "EstopPanel");
    EXPECT_EQ(button->geometry(), QRect(198, 216, 25, 25));
    EXPECT_EQ(button->toolTip(), "Hide Edit Panel");
    ASSERT_TRUE(ClickOn(button));
    EXPECT_EQ(Form->width(), 508);
    EXPECT_EQ(frame->contentsRect().width(), 508) << "the sub-window follows";
    EXPECT_FALSE(Form->Outputs()->isVisible());
    EXPECT_EQ(button->parentWidget()->objectName(), "OpsPanel");
    EXPECT_EQ(button->pos(), QPoint(472, 190));
    EXPECT_EQ(button->toolTip(), "Show Edit Panel");
    QWidget *window = Form->FloatKnob();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Feed Override");
    QMdiSubWindow *knobFrame = Frame(window);
    ASSERT_NE(knobFrame, nullptr) << "an MDI child";
    EXPECT_TRUE(knobFrame->isVisible());
    EXPECT_EQ(Area.activeSubWindow(), frame) << "the station stays the active window";
    EXPECT_EQ(Form->Knob()->parentWidget(), window);
    EXPECT_EQ(Form->Knob()->pos(), QPoint(-2, -2));
    EXPECT_EQ(window->size(), Form->Knob()->size() - QSize(4, 4));
    EXPECT_EQ(knobFrame->x(), frame->geometry().right() + 1);
    EXPECT_EQ(knobFrame->geometry().bottom(), frame->geometry().bottom());
    EXPECT_TRUE(Area.viewport()->rect().contains(knobFrame->geometry()))
        << knobFrame->geometry().x() << "," << knobFrame->geometry().y() << " "
        << knobFrame->width() << "x" << knobFrame->height() << " in " << Area.viewport()->width()
        << "x" << Area.viewport()->height() << "; station " << frame->width() << "x" << frame->height();
    // The knob turns in its window, and the window's keys work the station.
    const int percent = Station->KnobPercent;
    test::SendMouse(Form->Knob(), QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton, Qt::LeftButton);
    test::SendMouse(Form->Knob(), QEvent::MouseMove, {30, 20}, Qt::NoButton, Qt::LeftButton);
    test::SendMouse(Form->Knob(), QEvent::MouseButtonRelease, {30, 20}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Station->KnobPercent, percent + 10);
    for (auto [key, text] : {std::pair{Qt::Key_F15, ""}, {Qt::Key_X, "x"}}) { // PROG, then X
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(window, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(window, &release);
    }
    EXPECT_EQ(Station->FunctionPage, fpProgram);
    EXPECT_EQ(Station->KeyInText(), "X");
    // Back again.
    ASSERT_TRUE(ClickOn(button));
    EXPECT_EQ(Form->width(), 732);
    EXPECT_EQ(frame->contentsRect().width(), 732);
    EXPECT_TRUE(Form->Outputs()->isVisible());
    EXPECT_EQ(Form->FloatKnob(), nullptr);
    EXPECT_EQ(Form->Knob()->parentWidget()->objectName(), "KnobPanel");
    EXPECT_TRUE(ClickOn(Form->Knob()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Area.subWindowList().size(), 1) << "the knob's window is gone";
    EXPECT_EQ(button->parentWidget()->objectName(), "EstopPanel");
    EXPECT_EQ(button->pos(), QPoint(198, 216));
    EXPECT_EQ(button->toolTip(), "Hide Edit Panel");
    // In German.
    TMess german;
    std::string error;
    ASSERT_TRUE(german.OpenDictionary(ORV_DATA_DIR "/language.txt", ORV_DATA_DIR "/translat.txt", 1,
                                      error))
        << error;
    ASSERT_TRUE(ClickOn(button));
    EXPECT_EQ(button->toolTip().toStdString(), "Eingabefeld einblenden");
    ASSERT_TRUE(ClickOn(button));
    EXPECT_EQ(button->toolTip().toStdString(), "Eingabefeld ausblenden");
}

// A width the user gives the station stays while its display ticks; in a
// narrow MDI area the keypad panel comes back without leaving the area.
TEST_F(StationWindow, TheUsersWidthStaysAndTheStationStaysInsideTheArea)
{
    Open(9);
    QMdiSubWindow *frame = Frame(Form);
    ShowWindowOrChild(Form);
    ASSERT_TRUE(ClickOn(Form->ShowHideButton()));
    EXPECT_EQ(Form->width(), 508);
    Area.resize(700, 760);
    Frame(Form->FloatKnob())->move(0, 0); // out of the way
    frame->move(150, 0);
    ASSERT_TRUE(ClickOn(Form->ShowHideButton()));
    EXPECT_TRUE(Area.viewport()->rect().contains(frame->geometry()))
        << frame->x() << " " << frame->width() << " in " << Area.viewport()->width();
    EXPECT_EQ(frame->width(), Area.viewport()->width());
    frame->resize(650, frame->height());
    Loop.Advance(1000); // two ticks of the display's timer
    EXPECT_EQ(frame->width(), 650);
}

// The keys of the 0M's first column carry their legends above them.
TEST_F(StationWindow, TheZeroMsKeypadShowsCursorAndPage)
{
    Open(9);
    const struct {
        const char *Name, *Text;
        int KeyBelow;
    } legends[] = {{"LabelCursor", "CURSOR", 9}, {"LabelPage", "PAGE", 23}};
    for (const auto &l : legends) {
        SCOPED_TRACE(l.Name);
        auto *label = Form->findChild<QLabel *>(l.Name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text().toStdString(), l.Text);
        EXPECT_TRUE(label->isVisible());
        const QRect key = Form->KeypadKeys()[l.KeyBelow]->geometry();
        EXPECT_LE(label->geometry().bottom(), key.top());
        EXPECT_LT(label->geometry().left(), key.center().x());
        EXPECT_GT(label->geometry().right(), key.center().x());
    }
}

// Each station opens where it was closed ([FanucScreen] and [FanucScreenOM]
// "Left", "Top").
TEST_F(StationWindow, EachStationOpensWhereItWasClosed)
{
    const struct {
        int Kind;
        QPoint Place;
    } cases[] = {{4, {37, 23}}, {9, {150, 61}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Kind);
        Open(c.Kind);
        Frame(Form)->move(c.Place);
        Close();
    }
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Kind);
        Open(c.Kind);
        EXPECT_EQ(Frame(Form)->pos(), c.Place);
        Close();
    }
}

// --- Operator buttons ---

// One row of a station's operator panel: place, texts, face and text
// colour; what a click sends in jog mode and whether its LED is lit after
// it; what it sends in home mode and its LED there.
struct TButtonRow {
    int Left, Top;
    const char *Text1, *Text2;
    int Face;
    bool White;
    int Sends;
    bool Lit;
    int HomeSends = -1; // -1: as in jog mode
};

constexpr int None = 999;

const TButtonRow Fanuc21Rows[44] = {
    {20, 7, "AUTO", "", 0, false, 3, false},           {60, 7, "EDIT", "", 0, false, 39, false},
    {100, 7, "MDI", "", 0, false, 0, false},           {180, 7, "HOME", "", 0, false, 2, false},
    {220, 7, "JOG", "", 0, false, 1, false},           {260, 7, "INC", "JOG", 0, false, 12, false},
    {300, 7, "MPG", "", 0, false, None, true},         {340, 7, "", "", 0, false, None, true},
    {380, 7, "TEACH", "", 0, false, None, true},       {420, 7, "OFSET", "MESUR", 0, false, None, true},
    {20, 47, "SINGL", "BLOCK", 0, false, 26, false},   {60, 47, "BLOCK", "DELET", 0, false, 27, false},
    {100, 47, "OPT", "STOP", 0, false, None, true},    {180, 47, "LOW", "X1", 0, false, 34, true},
    {220, 47, "MEDL", "X10", 0, false, 35, true},      {260, 47, "MED", "X100", 0, false, 36, true},
    {380, 47, "+Z", "", 1, false, 6, false, 18},       {420, 47, "+Y", "", 1, false, 40, false, 42},
    {20, 87, "DRY", "RUN", 0, false, None, true},      {60, 87, "PRG", "TEST", 0, false, None, true},
    {100, 87, "AXIS", "INHIBT", 0, false, None, true}, {180, 87, "MEDH", "X1K", 0, false, 37, true},
    {220, 87, "HIGH", "", 0, false, 38, true},         {260, 87, "", "", 0, false, None, true},
    {340, 87, "-X", "", 1, false, 5, false},           {380, 87, "TRVRS", "", 0, false, None, true},
    {420, 87, "+X", "", 1, false, 4, false, 17},       {20, 127, "", "", 0, false, None, true},
    {60, 127, "", "", 0, false, None, true},           {100, 127, "", "", 0, false, None, true},
    {180, 127, "SPDL", "DEC", 0, false, 11, false},    {220, 127, "SPDL", "100%", 0, false, None, true},
    {260, 127, "SPDL", "INC", 0, false, 10, false},    {340, 127, "-Y", "", 1, false, 41, false},
    {380, 127, "-Z", "", 1, false, 7, false},          {20, 167, "CYCLE", "START", 1, false, 21, false},
    {60, 167, "CYCLE", "STOP", 2, true, 22, false},    {100, 167, "CYCLE", "PAUSE", 0, false, 23, false},
    {180, 167, "SPDL", "CW", 1, false, 24, false},     {220, 167, "SPDL", "STOP", 2, true, 13, false},
    {260, 167, "SPDL", "CCW", 0, false, 25, false},    {340, 167, "CLNT", "ON", 1, false, 15, false},
    {380, 167, "CLNT", "OFF", 2, true, 16, false},     {420, 167, "CLNT", "AUTO", 0, false, None, true},
};

const TButtonRow ZeroMRows[46] = {
    {20, 7, "AUTO", "", 0, false, 3, false},           {60, 7, "EDIT", "", 0, false, 39, false},
    {100, 7, "MDI", "", 0, false, 0, false},           {180, 7, "HOME", "", 0, false, 2, false},
    {220, 7, "JOG", "", 0, false, 1, false},           {260, 7, "INC", "JOG", 0, false, 12, false},
    {300, 7, "MPG", "", 0, false, None, true},         {340, 7, "", "", 0, false, None, true},
    {380, 7, "TEACH", "", 0, false, None, true},       {420, 7, "OFSET", "MESUR", 0, false, None, true},
    {20, 47, "SINGL", "BLOCK", 0, false, 26, false},   {60, 47, "BLOCK", "DELET", 0, false, 27, false},
    {100, 47, "OPT", "STOP", 0, false, None, true},    {180, 47, "LOW", "X1", 0, false, 34, true},
    {220, 47, "MEDL", "X10", 0, false, 35, true},      {260, 47, "MED", "X100", 0, false, 36, true},
    {340, 47, "+Z", "", 1, true, 6, false, 18},        {380, 47, "+Y", "", 1, true, 40, false, 42},
    {420, 47, "-4", "", 1, true, 46, false},           {20, 87, "DRY", "RUN", 0, false, None, true},
    {60, 87, "PRG", "TEST", 0, false, None, true},     {100, 87, "AXIS", "INHIBT", 0, false, None, true},
    {180, 87, "MEDH", "X1K", 0, false, 37, true},      {220, 87, "HIGH", "", 0, false, 38, true},
    {260, 87, "", "", 0, false, None, true},           {340, 87, "+X", "", 1, true, 4, false, 17},
    {380, 87, "TRVRS", "", 0, false, None, true},      {420, 87, "-X", "", 1, true, 5, false},
    {20, 127, "", "", 0, false, None, true},           {60, 127, "", "", 0, false, None, true},
    {100, 127, "", "", 0, false, None, true},          {180, 127, "SPDL", "DEC", 0, false, 11, false},
    {220, 127, "SPDL", "100%", 0, false, None, true},  {260, 127, "SPDL", "INC", 0, false, 10, false},
    {340, 127, "+4", "", 1, true, 45, false},          {380, 127, "-Y", "", 1, true, 41, false},
    {420, 127, "-Z", "", 1, true, 7, false},           {20, 167, "CYCLE", "START", 3, true, 21, false},
    {60, 167, "CYCLE", "STOP", 2, true, 22, false},    {100, 167, "CYCLE", "PAUSE", 0, false, 23, false},
    {180, 167, "SPDL", "CW", 0, false, 24, false},     {220, 167, "SPDL", "STOP", 2, true, 13, false},
    {260, 167, "SPDL", "CCW", 0, false, 25, false},    {340, 167, "CLNT", "ON", 0, false, 15, false},
    {380, 167, "CLNT", "OFF", 2, true, 16, false},     {420, 167, "CLNT", "AUTO", 0, false, None, true},
};

// Every button of both panels clicked where it is drawn, in jog mode and in
// home mode: its texts, face and colour, the command it sends (the 0M's
// home commands 300 ms later), its LED, and the release.
TEST_F(StationWindow, EveryOperatorButtonShowsItsTextsAndSendsItsCommand)
{
    const struct {
        int Kind;
        const TButtonRow *Rows;
        size_t Count;
        int HomeDelay;
    } stations[] = {{4, Fanuc21Rows, std::size(Fanuc21Rows), 0},
                    {9, ZeroMRows, std::size(ZeroMRows), 300}};
    for (const auto &s : stations) {
        SCOPED_TRACE(s.Kind);
        Open(s.Kind);
        ASSERT_EQ(Form->OperatorButtons().size(), s.Count);
        for (TMachineMode mode : {modeJog, modeHome}) {
            Station->ShowMachineMode(mode);
            for (size_t i = 0; i < s.Count; ++i) {
                const TButtonRow &r = s.Rows[i];
                SCOPED_TRACE(std::to_string(i) + " " + r.Text1 + " " + r.Text2 +
                             (mode == modeHome ? " in home mode" : " in jog mode"));
                TLedButton *button = Form->OperatorButtons()[i];
                EXPECT_EQ(button->pos(), QPoint(r.Left, r.Top));
                EXPECT_EQ(button->Text1.toStdString(), r.Text1);
                EXPECT_EQ(button->Text2.toStdString(), r.Text2);
                EXPECT_EQ(button->FontColor, r.White ? WhiteText : 0u);
                EXPECT_EQ(button->grab().toImage().pixel(32, 32), OperatorFace(r.Face).pixel(32, 32));
                Sent.clear();
                Stops = 0;
                ASSERT_TRUE(ClickOn(button));
                const bool home = mode == modeHome && r.HomeSends >= 0;
                EXPECT_EQ(button->LedOn(), r.Lit || home);
                EXPECT_EQ(Stops, 1);
                if (home && s.HomeDelay) {
                    EXPECT_TRUE(Sent.empty()) << "the release comes first";
                    Loop.Advance(s.HomeDelay);
                }
                EXPECT_EQ(Sent, std::vector<int>{home ? r.HomeSends : r.Sends});
            }
        }
        Close();
    }
}

} // namespace
} // namespace orv::fanuc
