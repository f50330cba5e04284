// The operator windows on the engine form, offscreen on the test clock.
// The "Control Panel" with the simulated machine: homing from the Home page,
// the mode pages, a jog key of [Jog Keys] in the jog field, coolant, the
// pages locked while a run goes on, and blocks typed on the MDI page run as
// source kind 8. The "Machine Tooling" window with the 2D output: a run
// waiting for a missing tool goes on once the operator inserts it there.

#include "engine/chain/MDIInput.h"
#include "engine/chain/ui/MDIMemo.h"
#include "engine/core/DIniFile.h"
#include "engine/form/tests/FormDraw2DHost.h"
#include "engine/form/tests/FormEngine.h"
#include "machine/DummyLinkMill.h"
#include "machine/JogKeyTable.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "components/trkbar/ui/TrkBar.h"
#include "machine/ui/ControlPanelStdForm.h"
#include "machine/ui/Tool_Holder2.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>

namespace orv {
namespace {

class TWindowHost : public test::TLogHost {
public:
    std::unique_ptr<TBasicControlPanel> CreateStandardPanel(TBaseForm &) override
    {
        return MakeControlPanelStd();
    }
};

class FormControlPanel : public ::testing::Test {
protected:
    FormControlPanel()
    {
        test::CopyDefaultData(Folder);
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
        EXPECT_TRUE(test::LoadProgram(*Engine, Folder.Write("prog.fnc", "G21 G90\nM30\n")));
        Engine->MakeSimulatedMachine();
        Engine->MakeStandardPanel();
        // The main window's jog-key table, with X+ on D.
        JogKeys.SetKey(TJogKeyTable::XPlus, 'D');
        Panel().JogKeys = &JogKeys;
        // Every request the panel sends, on its way to the engine.
        auto toEngine = Panel().OnMachineRequest;
        Panel().OnMachineRequest = [this, toEngine](TObject *Sender, TRequestData &R) {
            Requests.push_back(R);
            toEngine(Sender, R);
        };
        Folder.Loop.Advance(400); // the first poll reports the e-stop state
    }

    TControlPanelStd &Panel() { return *static_cast<TControlPanelStd *>(Engine->Panel()); }
    TControlPanelStdForm &Form() { return *static_cast<TControlPanelStdForm *>(Panel().Form()); }
    TDummyLinkMill &Mill() { return *static_cast<TDummyLinkMill *>(Engine->Machine()); }

    // Home All as the operator presses it: a disabled button does nothing.
    void HomeAll()
    {
        EXPECT_TRUE(Form().BothHome->isEnabled()) << "the home buttons are not open";
        Form().BothHome->click();
        Folder.Loop.Advance(100);
    }
    std::vector<int> MCodesSent() const
    {
        std::vector<int> codes;
        for (const TRequestData &r : Requests)
            if (r.Kind == rqMCode)
                codes.push_back(r.IntValue);
        return codes;
    }
    int Count(uint8_t Kind) const
    {
        int n = 0;
        for (const TRequestData &r : Requests)
            n += r.Kind == Kind;
        return n;
    }
    void Key(QWidget *Target, QEvent::Type Type, int QtKey)
    {
        const QString text = QtKey == Qt::Key_Return ? QString("\r")
                             : QtKey < 0x10000   ? QString(QChar(QtKey))
                                                 : QString();
        QKeyEvent event(Type, QtKey, Qt::NoModifier, text);
        QApplication::sendEvent(Target, &event);
    }

    test::TFormFolder Folder;
    TJogKeyTable JogKeys;
    TWindowHost Host;
    std::unique_ptr<TBaseForm> Engine;
    std::vector<TRequestData> Requests;
};

TEST_F(FormControlPanel, HomeAllTurnsTheLampsGreenAndShowsTheModePages)
{
    EXPECT_EQ(Form().windowTitle(), "Control Panel");
    EXPECT_FALSE(Form().PageControl->isTabVisible(pgAuto));
    HomeAll();
    for (QLabel *lamp : Form().Shapes)
        EXPECT_TRUE(lamp->styleSheet().contains("#008000")) << lamp->styleSheet().toStdString();
    for (int tab : {pgJog, pgAuto, pgMDI})
        EXPECT_TRUE(Form().PageControl->isTabVisible(tab)) << tab;
    Form().PageControl->setCurrentIndex(pgAuto);
    EXPECT_EQ(Mill().Mode, modeAuto);
    EXPECT_EQ(Form().PageControl->currentIndex(), pgAuto);
    EXPECT_TRUE(Form().Turbo->isVisibleTo(&Form()));
    EXPECT_FALSE(Form().Mcode_but->isVisibleTo(&Form()));
}

// A panel made after the machine's first poll (the operator took a while
// over the first tool change) still shows what the machine reported: ready,
// nothing homed, the home buttons open; and homing works from it.
TEST_F(FormControlPanel, APanelMadeAfterTheMachinesFirstPollShowsItsStateAndHomes)
{
    Engine->FreeStandardPanel();
    Engine->FreeMachine();
    Engine->MakeSimulatedMachine();
    Folder.Loop.Advance(2000);
    Engine->MakeStandardPanel();
    EXPECT_EQ(Form().MachStatusBar->text(), " Machine Status: Ready");
    for (QPushButton *b : {Form().XHome, Form().YHome, Form().ZHome, Form().BothHome})
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    for (QLabel *lamp : Form().Shapes)
        EXPECT_TRUE(lamp->styleSheet().contains("#ff0000")) << lamp->styleSheet().toStdString();
    HomeAll();
    for (QLabel *lamp : Form().Shapes)
        EXPECT_TRUE(lamp->styleSheet().contains("#008000")) << lamp->styleSheet().toStdString();
    // Made again once homed, it shows the machine homed with its mode pages.
    Engine->MakeStandardPanel();
    for (QLabel *lamp : Form().Shapes)
        EXPECT_TRUE(lamp->styleSheet().contains("#008000")) << lamp->styleSheet().toStdString();
    EXPECT_TRUE(Form().PageControl->isTabVisible(pgAuto));
}

TEST_F(FormControlPanel, AJogKeyInTheJogFieldJogsUntilReleasedAndCoolantSendsM8ThenM9)
{
    HomeAll();
    Form().PageControl->setCurrentIndex(pgJog);
    ASSERT_EQ(Mill().Mode, modeJog);
    Requests.clear();
    Form().show();
    QApplication::setActiveWindow(&Form());
    Form().JogTrap->setFocus();
    ASSERT_TRUE(Form().JogTrap->hasFocus());
    Key(Form().JogTrap, QEvent::KeyPress, Qt::Key_D);
    EXPECT_EQ(Count(rqJogXPlus), 1);
    EXPECT_EQ(Count(rqJogStop), 0);
    EXPECT_TRUE(Mill().Jogging);
    Key(Form().JogTrap, QEvent::KeyRelease, Qt::Key_D);
    EXPECT_EQ(Count(rqJogStop), 1);
    EXPECT_FALSE(Mill().Jogging);

    Form().Coolant->click();
    Form().Coolant->click();
    EXPECT_EQ(MCodesSent(), (std::vector<int>{8, 9}));
}

// The panel's vertical track bars: what the operator sets goes out as the
// bar's request and shows in its display; what the panel sets comes back to
// the bar without going out again.
TEST_F(FormControlPanel, TheTrackBarsSendWhatTheOperatorSets)
{
    HomeAll();
    Form().PageControl->setCurrentIndex(pgAuto);
    struct Case {
        const char *Name;
        TTrkBar *Bar;
        int Position;
        uint8_t Kind;
        QLabel *Display;
        const char *Text;
    };
    const Case cases[] = {
        {"feed override", Form().FeedBar, 105, rqFeedOverride, Form().FeedOverrideValue, "105%"},
        {"feed override stopped", Form().FeedBar, 0, rqFeedOverride, Form().FeedOverrideValue,
         "0%"},
        {"spindle override", Form().SpindleBar, 80, rqSpeedOverride, Form().SpindleOverrideValue,
         "80%"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        Requests.clear();
        c.Bar->SetPosition(c.Position);
        ASSERT_EQ(Requests.size(), 1u);
        EXPECT_EQ(Requests[0].Kind, c.Kind);
        EXPECT_DOUBLE_EQ(double(Requests[0].Value), c.Position);
        EXPECT_EQ(c.Display->text(), c.Text);
        EXPECT_EQ(c.Bar->Tag, c.Kind) << "the tag is the request kind";
    }

    Requests.clear();
    Panel().SetFeedOverride(120);
    EXPECT_EQ(Form().FeedBar->Position(), 120);
    EXPECT_EQ(Form().FeedOverrideValue->text(), "120%");
    EXPECT_EQ(Count(rqFeedOverride), 0) << "the panel's own value is not sent back";

    // The jog bars take their ends from the machine.
    EXPECT_EQ(Form().JogFeed->Min(), 1);
    EXPECT_EQ(Form().JogFeed->Max(), std::max(1, Panel().Shown().JogFeedMax));
    EXPECT_EQ(Form().SpeedBar->Min(), Panel().Shown().SpeedMin);
    EXPECT_EQ(Form().SpeedBar->Max(), Panel().Shown().SpeedMax);
    EXPECT_EQ(Form().Jog_step->Max(), 6);
    Requests.clear();
    Form().Jog_step->SetPosition(2);
    EXPECT_EQ(Count(rqJogIncrement), 1);
    EXPECT_DOUBLE_EQ(Panel().JogIncrement, 0.1);
}

// Dragging the feed override bar's thumb to the top gives the largest
// override; the bar stands upright with the panel's box thumb.
TEST_F(FormControlPanel, DraggingTheFeedBarToTheTopGivesTheLargestOverride)
{
    HomeAll();
    Form().PageControl->setCurrentIndex(pgAuto);
    Form().show();
    TTrkBar &bar = *Form().FeedBar;
    ASSERT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.Model().Orientation(), toVertical);
    EXPECT_EQ(bar.ThumbName(), "BOX_VSIZE5");
    Requests.clear();
    auto mouse = [&](QEvent::Type Type, QPoint At) {
        const Qt::MouseButton button = Type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(Type, QPointF(At), QPointF(bar.mapToGlobal(At)), button,
                          Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&bar, &event);
    };
    const TTrkRect thumb = bar.Model().ThumbRect();
    const QPoint grip((thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2);
    mouse(QEvent::MouseButtonPress, grip);
    mouse(QEvent::MouseMove, QPoint(grip.x(), 0));
    mouse(QEvent::MouseButtonRelease, QPoint(grip.x(), 0));
    EXPECT_EQ(bar.Position(), 150);
    EXPECT_EQ(Form().FeedOverrideValue->text(), "150%");
    ASSERT_GE(Count(rqFeedOverride), 1);
    EXPECT_DOUBLE_EQ(double(Requests.back().Value), 150);
}

TEST_F(FormControlPanel, WhileRunningThePageStaysAndNoModeRequestGoesOut)
{
    HomeAll();
    Form().PageControl->setCurrentIndex(pgAuto);
    Panel().SetCycleState(csRunning);
    Requests.clear();
    Form().PageControl->setCurrentIndex(pgHome);
    EXPECT_EQ(Form().PageControl->currentIndex(), pgAuto);
    EXPECT_EQ(Count(rqMachineMode), 0);
    Panel().SetCycleState(csStopped);
}

TEST_F(FormControlPanel, BlocksTypedOnTheMDIPageRunAndLeavingGivesTheSourceBack)
{
    TBasicInput *editor = Engine->Source();
    HomeAll();
    Form().PageControl->setCurrentIndex(pgMDI);
    ASSERT_EQ(Mill().Mode, modeMDI);
    ASSERT_NE(Panel().MDI(), nullptr);
    EXPECT_EQ(Engine->SourceKind(), skMDI);
    EXPECT_EQ(Engine->Source(), Panel().MDI());
    auto *memo = Form().OverRidePanel->findChild<TMDIMemo *>();
    ASSERT_NE(memo, nullptr);
    memo->setFocus();
    for (const char *c = "G00 X10"; *c; ++c)
        Key(memo, QEvent::KeyPress, *c == ' ' ? Qt::Key_Space : int(*c));
    Key(memo, QEvent::KeyPress, Qt::Key_Return);
    for (const char *c = "M03"; *c; ++c)
        Key(memo, QEvent::KeyPress, int(*c));
    EXPECT_EQ(Panel().MDI()->Text(), "G00 X10\r\nM03");

    Host.ClickButton(TMainButton::Output2D); // a log of the lines handed out
    std::vector<std::pair<int, int>> lines; // line number, M code
    Engine->OnHandOut = [&](const TCNC_data &Data) {
        lines.emplace_back(Data.LineNumber, Data.MCode);
    };
    Engine->PanelCommand(21);
    EXPECT_EQ(Engine->RunState(), csRunning);
    for (int i = 0; i < 600 && Engine->RunState() != csStopped; ++i)
        Folder.Loop.Advance(100);
    EXPECT_EQ(Engine->RunState(), csStopped);
    ASSERT_EQ(lines.size(), 3u) << "two blocks and the end";
    EXPECT_EQ(lines[0].first, 1);
    EXPECT_EQ(lines[1], std::make_pair(2, 3));
    EXPECT_EQ(lines[2].first, -1);
    EXPECT_EQ(Mill().Current.X, 64000) << "X10 of the program, G54's X150, 400 steps per mm";

    Form().PageControl->setCurrentIndex(pgJog);
    EXPECT_EQ(Engine->SourceKind(), skEditor);
    EXPECT_EQ(Engine->Source(), editor);
    EXPECT_EQ(Panel().MDILines, (std::vector<std::string>{"G00 X10", "M03"}));
}

// The main window's part: the Tooling button goes down and the engine shows
// the carousel.
class TToolingHost : public test::TDraw2DHost {
public:
    void ShowMachineTooling() override
    {
        test::TDraw2DHost::ShowMachineTooling();
        SetButtonDown(TMainButton::Tooling, true);
        EngineForm()->ShowMachineTooling(true);
    }
};

QAction *FindAction(QMenu &Menu, const QString &Text)
{
    for (QAction *a : Menu.actions())
        if (a->text() == Text)
            return a;
    return nullptr;
}

TEST(FormMachineTooling, ARunWaitingForAToolGoesOnOnceItIsInsertedInTheCarousel)
{
    test::TFormFolder folder;
    test::WriteToolFiles(folder);
    InstallMachineToolingWindow();
    TToolingHost host;
    auto engine = std::make_unique<TBaseForm>(host);
    host.SetEngine(engine.get());
    engine->FormCreate();
    int ended = 0;
    engine->OnProgramEnded = [&](TObject *) { ++ended; };
    ASSERT_TRUE(test::LoadProgram(
        *engine, folder.Write("p.fnc", "G21 G90 G17\nG00 X0 Y0 Z5\nM06 T5\nG01 X10 F100\nM30\n")));
    host.ClickButton(TMainButton::Output2D);
    folder.Messages.Answer("Yes");
    bool inserted = false;
    folder.Loop.Hook = [&] {
        TMachine_Tooling &tooling = *engine->Tooling();
        auto *deck = dynamic_cast<TTool_Deck *>(tooling.Deck());
        if (inserted || !deck)
            return;
        inserted = true;
        QMenu *menu = deck->PositionMenu(5);
        QAction *insert = FindAction(*menu, "Insert Tool");
        ASSERT_NE(insert, nullptr);
        QAction *ball = FindAction(*insert->menu(), "Ball Nose 4");
        ASSERT_NE(ball, nullptr);
        ball->trigger();
    };
    host.ClickButton(TMainButton::Start);
    folder.Loop.Hook = nullptr;
    ASSERT_FALSE(folder.Messages.Log().empty());
    EXPECT_EQ(folder.Messages.Log()[0].Text, "Failed to Find a valid Tool-5\nEdit Tooling Now");
    EXPECT_TRUE(inserted) << "the carousel showed while the run waited";
    EXPECT_EQ(host.MachineToolingShown, 1);
    EXPECT_EQ(engine->Tooling()->CurrentTool(), 5);
    EXPECT_EQ(TDIniFile(folder.File("Tools.MTF")).ReadString("Tool5", "Tool Name", ""), "Ball Nose 4");
    EXPECT_EQ(TDIniFile(folder.File("Tools.MTD")).ReadString("Ball Nose 4", "Tool In Use", ""), "1");
    EXPECT_GE(ended, 1) << "the run reached its end";
    engine->ShowMachineTooling(false);
    EXPECT_FALSE(engine->Tooling()->DeckOpen());
    engine.reset();
    TMachine_Tooling::DeckFactory = nullptr;
}

} // namespace
} // namespace orv
