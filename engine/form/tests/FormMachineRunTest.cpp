// Whole runs on the simulated machine through the engine form on a test
// clock: homing and automatic mode from the panel command codes, a program
// to its end, a pause and resume in the middle of a move, a move beyond the
// travel, and the panel relay of requests and events.

#include "engine/form/HeadlessPanel.h"
#include "engine/form/tests/FormEngine.h"
#include "machine/DummyLinkMill.h"
#include "machine/JogKeyTable.h"
#include "machine/convert.h"
#include "engine/core/DUtils.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orv {
namespace {

// The bench mill of the default data: 400 steps per mm, travel X 0..310,
// Y 0..160, Z -130..0. Tool 1 (length offset 41.2 mm) is in the spindle;
// G54 shifts by X150 Y100 Z-80, so the work's Z-1 is the machine's -39.8.
const char *Program = "G21 G17 G90\n"
                      "G54\n"
                      "G00 X10 Y10 Z-1\n"
                      "G01 X40 F300\n"
                      "G01 Y30\n"
                      "M30\n";

class TPanelHost : public test::TLogHost {
public:
    std::unique_ptr<TBasicControlPanel> CreateStandardPanel(TBaseForm &) override
    {
        return std::make_unique<THeadlessPanel>();
    }
    // The real-machine warning: how often it was shown and how it is answered.
    bool ConfirmMachineRun(bool &DontShowAgain) override
    {
        ++WarningsShown;
        DontShowAgain = WarningTicked;
        return WarningAnswer;
    }
    int WarningsShown = 0;
    bool WarningAnswer = true;
    bool WarningTicked = false;
    // The key setup's table, asked for once when the engine starts.
    TJogKeyTable *CreateJogKeyForm() override
    {
        ++JogFormsMade;
        return &JogKeys;
    }
    TJogKeyTable JogKeys;
    int JogFormsMade = 0;
};

class FormMachineRun : public ::testing::Test {
protected:
    FormMachineRun()
    {
        test::CopyDefaultData(Folder);
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
        Engine->OnProgramEnded = [this](TObject *) { ++Ended; };
        Folder.Messages.ClearLog();
    }

    void Load(const char *Text)
    {
        ASSERT_TRUE(test::LoadProgram(*Engine, Folder.Write("prog.fnc", Text)));
        Engine->MakeSimulatedMachine();
        Engine->MakeStandardPanel();
        // The manual changer asks for the tool in the spindle; the default
        // answer is OK.
        ASSERT_EQ(MessageTexts(),
                  std::vector<std::string>{"|Change the tool in the machine to Tool Number 1"});
        Folder.Messages.ClearLog();
    }

    // Homes all axes and switches to automatic mode as the operator would.
    void HomeAndAuto()
    {
        Folder.Loop.Advance(400); // the first poll reports the e-stop state
        Engine->PanelCommand(19);
        Engine->PanelCommand(3);
    }

    TDummyLinkMill &Mill() { return *static_cast<TDummyLinkMill *>(Engine->Machine()); }
    THeadlessPanel &Panel() { return *static_cast<THeadlessPanel *>(Engine->Panel()); }

    TXYZ PositionMm()
    {
        TXYZ p = Mill().Current;
        Mill().Convertor->PositionFromSteps(p);
        return p;
    }

    // Lets the clock run until the run stops (at most ten minutes).
    void RunOut()
    {
        for (int i = 0; i < 6000 && Engine->RunState() != csStopped; ++i)
            Folder.Loop.Advance(100);
    }

    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto &m : Folder.Messages.Log())
            texts.push_back(m.Caption + "|" + m.Text);
        return texts;
    }

    test::TFormFolder Folder;
    TPanelHost Host;
    std::unique_ptr<TBaseForm> Engine;
    int Ended = 0;
};

TEST_F(FormMachineRun, HomesRunsTheProgramToItsEndAndStops)
{
    Load(Program);
    HomeAndAuto();
    ASSERT_EQ(Mill().Mode, modeAuto) << "home all marks Z, then X and Y";
    EXPECT_EQ(Panel().MachineMode(), modeAuto);
    EXPECT_TRUE(Panel().HomedZ && Panel().HomedXY);
    Engine->PanelCommand(21);
    EXPECT_EQ(Engine->RunState(), csRunning);
    RunOut();
    EXPECT_EQ(Engine->RunState(), csStopped);
    EXPECT_GE(Ended, 1);
    TXYZ p = PositionMm(); // machine coordinates
    EXPECT_DOUBLE_EQ(double(p.X), 190);
    EXPECT_DOUBLE_EQ(double(p.Y), 130);
    EXPECT_DOUBLE_EQ(double(p.Z), -39.8);
    EXPECT_EQ(Mill().Current.X, 76000) << "400 steps per mm";
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(FormMachineRun, EveryPanelReadsTheJogKeyTableMadeAtStart)
{
    EXPECT_EQ(Host.JogFormsMade, 1);
    Load(Program);
    ASSERT_NE(Engine->Panel(), nullptr);
    EXPECT_EQ(Engine->Panel()->JogKeys, &Host.JogKeys);
    EXPECT_EQ(Engine->JogKeys(), &Host.JogKeys);
}

TEST_F(FormMachineRun, ARealMachineWarnsBeforeTheRun)
{
    Load(Program);
    HomeAndAuto();
    Mill().IsRealMachine = true;
    auto warnOnPlay = [] {
        return TIniFile(MainIniPath()).ReadString("Default Settings", "Warn ON Play", "<none>");
    };
    Host.WarningAnswer = false; // "Stop"
    Engine->CycleStart();
    EXPECT_EQ(Host.WarningsShown, 1);
    EXPECT_EQ(Engine->RunState(), csStopped);
    EXPECT_EQ(warnOnPlay(), "<none>");

    Host.WarningTicked = true; // "Don't Show This Again", then "Stop"
    Engine->CycleStart();
    EXPECT_EQ(Engine->RunState(), csStopped);
    EXPECT_EQ(warnOnPlay(), "0");

    Engine->CycleStart();
    EXPECT_EQ(Host.WarningsShown, 2) << "not shown again";
    EXPECT_EQ(Engine->RunState(), csRunning);
    RunOut();

    TIniFile(MainIniPath()).WriteBool("Default Settings", "Warn ON Play", true);
    Mill().IsRealMachine = false;
    Engine->CycleStart();
    EXPECT_EQ(Host.WarningsShown, 2) << "the simulated machine runs without it";
    RunOut();
}

// The machine stands still while paused, and the run goes on to its end
// after the resume: a pause never hangs the run.
TEST_F(FormMachineRun, PauseInTheMiddleOfAMoveAndResume)
{
    Load(Program);
    HomeAndAuto();
    Engine->PanelCommand(21);
    // Into the G01 along X (the simulated feed moves 0.5 mm a tick at F300).
    for (int i = 0; i < 100 && Mill().Current.X <= 64000 + 400; ++i)
        Folder.Loop.Advance(10);
    ASSERT_LT(Mill().Current.X, 76000);
    Engine->PanelCommand(23);
    ASSERT_EQ(Engine->RunState(), csPaused);
    EXPECT_EQ(Panel().CycleState(), csPaused);
    TXYZ at = Mill().Current;
    Folder.Loop.Advance(5000);
    EXPECT_EQ(Mill().Current.X, at.X) << "nothing moves while paused";
    EXPECT_EQ(Mill().Current.Y, at.Y);
    Engine->PanelCommand(23);
    EXPECT_EQ(Engine->RunState(), csRunning);
    RunOut();
    EXPECT_GE(Ended, 1);
    EXPECT_DOUBLE_EQ(double(PositionMm().Y), 130);
}

TEST_F(FormMachineRun, MoveBeyondTheTravelStopsTheRunWithTheLimitError)
{
    Load("G21 G90\nG00 X10 Y10\nG00 Y250\nG00 X20\nM30\n");
    HomeAndAuto();
    Engine->PanelCommand(21);
    RunOut();
    EXPECT_EQ(Engine->RunState(), csStopped);
    EXPECT_EQ(Ended, 0);
    bool shown = false;
    for (const auto &m : Folder.Messages.Log())
        shown = shown || (m.Text.find("Move Exceeds Limits") != std::string::npos);
    EXPECT_TRUE(shown);
    // Machine Y: 10 of the program plus G54's Y100, the default data's offset.
    EXPECT_DOUBLE_EQ(double(PositionMm().Y), 110) << "the rejected move never started";
}

TEST_F(FormMachineRun, StartWithTheMachineOutOfAutomaticModeIsRefused)
{
    Load(Program);
    Folder.Loop.Advance(400);
    Engine->PanelCommand(21);
    EXPECT_EQ(Engine->RunState(), csStopped);
    ASSERT_FALSE(Folder.Messages.Log().empty());
    EXPECT_NE(Folder.Messages.Log().back().Text.find("Auto Mode"), std::string::npos);
}

TEST_F(FormMachineRun, OverrideCommandsStayWithinTheirLimits)
{
    Load(Program);
    HomeAndAuto();
    struct TCase {
        const char *Name;
        int Start, Code, Expected;
    };
    const TCase cases[] = {
        {"feed 148 up gives 150", 148, 8, 150},
        {"feed 150 up stays 150", 150, 8, 150},
        {"feed 3 down gives 0", 3, 9, 0},
        {"speed 118 up gives 120", 118, 10, 120},
        {"speed 52 down gives 50", 52, 11, 50},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        bool feed = c.Code == 8 || c.Code == 9;
        if (feed)
            Mill().SetFeedOverride(c.Start);
        else
            Mill().SetSpeedOverride(c.Start);
        Engine->PanelCommand(c.Code);
        EXPECT_EQ(feed ? Panel().FeedOverride() : Panel().SpeedOverride(), c.Expected);
    }
}

TEST_F(FormMachineRun, JogCommandsActOnlyInJogModes)
{
    Load(Program);
    HomeAndAuto();
    Engine->PanelCommand(37); // 1 mm increments
    Engine->PanelCommand(4);
    Folder.Loop.Advance(2000);
    EXPECT_EQ(Mill().Current.X, 0) << "no jog in automatic mode";
    Engine->PanelCommand(12);
    ASSERT_EQ(Mill().Mode, modeIncJog);
    Engine->PanelCommand(4);
    Folder.Loop.Advance(2000);
    EXPECT_DOUBLE_EQ(double(PositionMm().X), 1);
    Engine->PanelCommand(41);
    Folder.Loop.Advance(2000);
    EXPECT_DOUBLE_EQ(double(PositionMm().Y), 0) << "held at Travel Y-";
}

// The cancelled manual tool change is the one machine error that shows in
// continuous jog mode; the constant spells its caption for both sides.
TEST_F(FormMachineRun, ToolChangeErrorShowsEvenWhileJogging)
{
    Load(Program);
    HomeAndAuto();
    Engine->PanelCommand(1);
    ASSERT_EQ(Mill().Mode, modeJog);
    Folder.Messages.ClearLog();
    Engine->MachineError(nullptr, -1, "Homing Error", "Homing aborted", "");
    EXPECT_TRUE(Folder.Messages.Log().empty()) << "other errors are the jog's own";
    Folder.Messages.Answer("Cancel");
    Mill().ToolChange(3);
    bool shown = false;
    for (const auto &m : Folder.Messages.Log())
        shown = shown || m.Text.find("Program Aborted") != std::string::npos;
    EXPECT_TRUE(shown);
}

TEST_F(FormMachineRun, EscapeStopsTheRun)
{
    Load(Program);
    HomeAndAuto();
    Engine->PanelCommand(21);
    Folder.Loop.Advance(500);
    Engine->EngineKeyDown(27);
    EXPECT_EQ(Engine->RunState(), csStopped);
    TXYZ at = Mill().Current;
    Folder.Loop.Advance(3000);
    EXPECT_EQ(Mill().Current.X, at.X) << "the machine stops with the run";
}

// A simulated mill whose e-stop and guard the test works.
class TGuardedMill : public TDummyLinkMill {
public:
    using TDummyLinkMill::TDummyLinkMill;
    bool IsEStopped() override { return EStop; }
    bool IsSafe() override { return !GuardOpen; }
    bool EStop = false, GuardOpen = false;
};

// An e-stop pressed or the guard opened in the middle of a move stops the
// run at the next poll of the machine; no box, but the status bar says
// why, and the axes stay where they stopped.
class FormMachineRunGuarded : public FormMachineRun {
protected:
    void StopsTheRun(bool TGuardedMill::*Flag, const std::string &Reason)
    {
        Load(Program);
        auto owned = std::make_unique<TGuardedMill>(Engine.get());
        TGuardedMill &mill = *owned;
        Engine->InsertMachine(std::move(owned));
        Folder.Messages.ClearLog();
        HomeAndAuto();
        ASSERT_EQ(mill.Mode, modeAuto);
        Engine->PanelCommand(21);
        Folder.Loop.Advance(500);
        ASSERT_EQ(Engine->RunState(), csRunning);
        EXPECT_NE(Host.StatusText(2, 4), Reason);
        mill.*Flag = true;
        Folder.Loop.Advance(1000); // the machine is polled 300 ms apart
        EXPECT_EQ(Engine->RunState(), csStopped);
        EXPECT_EQ(Host.StatusText(2, 4), Reason);
        EXPECT_TRUE(MessageTexts().empty()) << MessageTexts()[0];
        TXYZ at = mill.Current;
        Folder.Loop.Advance(3000);
        EXPECT_EQ(mill.Current.X, at.X) << "the machine stops with the run";
        EXPECT_EQ(mill.Current.Y, at.Y);
    }
};

TEST_F(FormMachineRunGuarded, AnEStopStopsTheRunAndTheStatusBarSaysSo)
{
    StopsTheRun(&TGuardedMill::EStop, "Emergency stop");
}

TEST_F(FormMachineRunGuarded, AnOpenGuardStopsTheRunAndTheStatusBarSaysSo)
{
    StopsTheRun(&TGuardedMill::GuardOpen, "Guard open: the run was stopped");
}

// A simulated mill that says when it is gone.
class TWatchedMill : public TDummyLinkMill {
public:
    TWatchedMill(TBaseForm *Owner, bool &Destroyed) : TDummyLinkMill(Owner), FDestroyed(Destroyed) {}
    ~TWatchedMill() override { FDestroyed = true; }

private:
    bool &FDestroyed;
};

// Choosing another source frees the simulated machine. When the operator
// does it while the machine homes, the homing call is still running on that
// machine: it must live until the call has returned.
TEST_F(FormMachineRun, NewSourceWhileHomingFreesTheMachineAfterTheWait)
{
    Load(Program);
    bool destroyed = false;
    Engine->InsertMachine(std::make_unique<TWatchedMill>(Engine.get(), destroyed));
    Folder.Loop.Advance(400);
    bool chosen = false;
    bool destroyedInsideTheWait = true;
    Folder.Loop.Post([&] {
        Engine->SelectSource(skFile);
        chosen = true;
        destroyedInsideTheWait = destroyed;
    });
    Engine->PanelCommand(19);
    ASSERT_TRUE(chosen) << "the homing wait serves messages";
    EXPECT_FALSE(destroyedInsideTheWait);
    EXPECT_TRUE(destroyed) << "freed once the request has returned";
    EXPECT_EQ(Engine->Machine(), nullptr);
    Engine->PanelCommand(19); // no machine: nothing happens
}

} // namespace
} // namespace orv
