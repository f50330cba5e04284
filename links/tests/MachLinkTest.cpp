// The machine link over a recording controller: moves, arcs, reference
// returns, M, S and T functions with their manual prompts and errors,
// feeds, overrides, jogs and the connection by Control Type.

#include "engine/core/Mess.h"
#include "links/MachLink.h"
#include "machine/tests/MachineTestRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace orv {
namespace {

class TRecordingController : public TBasicController {
public:
    std::vector<std::string> &Calls;
    explicit TRecordingController(std::vector<std::string> &C) : Calls(C) {}

    bool Safe = true;
    bool SafeAfterToolChange = true;
    bool NeverDone = false; // entry 1 never returns to 0
    bool Idle = true;
    bool PositionValid = true;
    int32_t PX = 0, PY = 0, PZ = 0;
    int Knob = 77;

    void SetFeedRate(int F) override {
        Calls.push_back("F" + IntToStr(F));
        FeedRate = F;
    }
    void SetSpindleSpeed(int S) override { Calls.push_back("S" + IntToStr(S)); }
    int GetFeedOverride() override { return Knob; }
    void WriteComms(int I, Extended V) override {
        Calls.push_back("W" + IntToStr(I) + "," + FloatToStr(V));
    }
    bool Stopped = false;    // the controller reports an emergency stop
    bool LineLost = false;   // the line failed: Connected() is false
    int HandshakeReads = 0;  // reads of entry 1
    int IdleLooks = 0;       // IsIdle calls
    Extended ReadComms(int I) override {
        if (I == 1)
            ++HandshakeReads;
        return I == 1 && NeverDone ? 1 : 0;
    }
    bool IsSafe() override { return ToolChanging ? true : Safe; }
    bool IsStopped() override { return Stopped; }
    bool Connected() override { return !LineLost; }
    void Home(int Axis, int Dir) override {
        Calls.push_back("H" + IntToStr(Axis) + "," + IntToStr(Dir));
    }
    bool GetPosition(int32_t &X, int32_t &Y, int32_t &Z) override {
        X = PX;
        Y = PY;
        Z = PZ;
        return PositionValid;
    }
    void MoveLinear(int32_t X, int32_t Y, int32_t Z, bool) override {
        Calls.push_back("VA" + IntToStr(X) + "," + IntToStr(Y) + "," + IntToStr(Z));
    }
    void MoveRapid(int32_t X, int32_t Y, int32_t Z) override {
        Calls.push_back("MA" + IntToStr(X) + "," + IntToStr(Y) + "," + IntToStr(Z));
    }
    void MoveArc(int32_t, int32_t, int32_t, int32_t CX, int32_t CY, int32_t, int32_t, double Sweep,
                 bool, int Plane) override {
        Calls.push_back("CA" + IntToStr(CX) + "," + IntToStr(CY) + "," + FloatToStr(Sweep));
    }
    void MoveAxisAbsolute(int Axis, int32_t P) override {
        Calls.push_back("JA" + IntToStr(Axis) + "," + IntToStr(P));
    }
    void MoveAxisRelative(int Axis, int32_t D) override {
        Calls.push_back("JR" + IntToStr(Axis) + "," + IntToStr(D));
    }
    void Stop() override { Calls.push_back("ST"); }
    bool IsIdle() override {
        ++IdleLooks;
        return Idle;
    }
};

class TTestLink : public TMachLink {
public:
    using TMachLink::TMachLink;
    std::function<std::unique_ptr<TBasicController>(int)> Make;
    std::unique_ptr<TBasicController> CreateController(int Type) override { return Make(Type); }
    // The base tool change asks the operator; here it only records.
    int BaseToolChanges = 0;
};

class MachLinkTest : public test::TMachineRig {
protected:
    MachLinkTest() {
        Data.Communications.ControlType = 5;
        Data.ToolChange = {false, 8, 150, 150, -10};
        Link.Make = [this](int Type) -> std::unique_ptr<TBasicController> {
            if (Type != 5)
                return nullptr;
            auto c = std::make_unique<TRecordingController>(Calls);
            Fake = c.get();
            return c;
        };
        Wire(Link);
    }

    bool Connect() {
        bool ok = Link.Initialise();
        Calls.clear();
        Errors.clear();
        Done = 0;
        return ok;
    }

    bool Called(const std::string &Call) const {
        return std::find(Calls.begin(), Calls.end(), Call) != Calls.end();
    }

    TTestLink Link{nullptr};
    TRecordingController *Fake = nullptr;
    std::vector<std::string> Calls;
};

TEST_F(MachLinkTest, OtherControlTypesFailWithAnErrorNamingTheType) {
    struct TCase {
        int Type;
        const char *Class;
    } cases[] = {{1, "TControllerNextMove"},
                 {2, "TControllerQuorel"},
                 {3, "TControllerTRIO"},
                 {4, "TControllerLowLevelNew"},
                 {7, "TControllerNextMoveES"}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Type);
        Errors.clear();
        Data.Communications.ControlType = c.Type;
        EXPECT_FALSE(Link.Initialise());
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Errors[0].Caption, "Machine Error");
        EXPECT_NE(Errors[0].Details.find("Control Type " + IntToStr(c.Type) + " (" + c.Class + ")"),
                  std::string::npos);
        EXPECT_EQ(Link.Controller, nullptr);
    }
}

// The start feed is "Maximum Rate Z" in mm/min, converted once:
// 1200 mm/min * 100 steps/mm / 60 = 2000 steps/s.
TEST_F(MachLinkTest, InitialiseSendsTheStartFeedConvertedOnce) {
    Data.MachineCapability.FeedPot = true;
    ASSERT_TRUE(Link.Initialise());
    EXPECT_TRUE(Called("F2000"));
    EXPECT_TRUE(Called("W8,1"));
    EXPECT_TRUE(Called("W9,0"));
    EXPECT_TRUE(Called("S100")); // spindle minimum
}

TEST_F(MachLinkTest, ArcsBySweepAndPlane) {
    ASSERT_TRUE(Connect());
    Link.ArcMove(100, 0, 0, 50, 0, 0, 50, 0, 17); // sweep 0: a full circle
    EXPECT_EQ(Calls.back(), "CA50,0,360");
    EXPECT_TRUE(Link.MovePending);
    Calls.clear();
    Link.ArcMove(1, 1, 0, 0, 0, 0, 2, 10, 17); // 0.35 step long
    EXPECT_TRUE(Calls.empty());
    EXPECT_EQ(Done, 1);
    EXPECT_FALSE(Link.MovePending);
    for (int plane : {18, 19}) {
        SCOPED_TRACE(plane);
        Errors.clear();
        Link.ArcMove(100, 0, 0, 50, 0, 0, 50, 90, plane);
        EXPECT_TRUE(Calls.empty());
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_NE(Errors[0].Details.find(plane == 18 ? "XZ plane (G18)" : "YZ plane (G19)"),
                  std::string::npos);
    }
    EXPECT_EQ(Done, 1);
    // In German the reason reads German, the plane too.
    TMess german;
    std::string error;
    ASSERT_TRUE(german.OpenDictionary(ORV_DATA_DIR "/language.txt", ORV_DATA_DIR "/translat.txt",
                                      1, error))
        << error;
    Errors.clear();
    Link.ArcMove(100, 0, 0, 50, 0, 0, 50, 90, 19);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Details, "Die Steuerung fr\xC3\xA4st Kreisb\xC3\xB6gen nur in der XY-Ebene "
                                 "(G17); dieser Bogen liegt in der YZ-Ebene (G19)");
}

TEST_F(MachLinkTest, ReferenceReturnWithoutCoordinatesRapidsHome) {
    ASSERT_TRUE(Connect());
    Link.ReferenceMove(NoSteps, NoSteps, NoSteps);
    EXPECT_EQ(Calls, std::vector<std::string>{"MA0,0,0"});
    EXPECT_EQ(Done, 0);
    Calls.clear();
    Link.ReferenceMove(100, NoSteps, NoSteps);
    EXPECT_TRUE(Calls.empty());
    EXPECT_EQ(Done, 1);
}

TEST_F(MachLinkTest, FeedsOfRapidsAndRepeatedFeeds) {
    ASSERT_TRUE(Connect());
    TMachineBlock b;
    b.BlockType = 0;
    b.Feed = 4000;
    Link.ApplyBlockFeed(b); // the Z rate, though Y is faster
    EXPECT_EQ(Calls, std::vector<std::string>{"F2000"});
    Calls.clear();
    b.BlockType = 1;
    b.Feed = 500;
    Link.ApplyBlockFeed(b);
    Link.ApplyBlockFeed(b);
    EXPECT_EQ(Calls, std::vector<std::string>{"F500"});
    Calls.clear();
    b.Feed = 99999; // held at the fastest axis: 3000 * 100 / 60
    Link.ApplyBlockFeed(b);
    EXPECT_EQ(Calls, std::vector<std::string>{"F5000"});
}

TEST_F(MachLinkTest, FeedPotDecidesWhoseOverrideCounts) {
    ASSERT_TRUE(Connect());
    EXPECT_EQ(Link.GetFeedOverride(), 100);
    Data.MachineCapability.FeedPot = true;
    EXPECT_EQ(Link.GetFeedOverride(), 77);
}

TEST_F(MachLinkTest, MCodesAbove200AreTheirBaseCode) {
    ASSERT_TRUE(Connect());
    int m = 203;
    Link.ExecuteMCode(m);
    EXPECT_EQ(Calls, std::vector<std::string>{"W18,3"});
    EXPECT_EQ(m, NoMoveCode);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MachLinkTest, ManualSpindlePromptsAndCancel) {
    Data.Spindle.Manual = true;
    ASSERT_TRUE(Connect());
    struct TCase {
        int M;
        const char *Prompt;
        const char *Details;
    } cases[] = {{203, "START the spindle manually - M3", "Manual spindle start cancelled by user"},
                 {14, "START the spindle manually - M14", "Manual spindle start cancelled by user"},
                 {5, "STOP the spindle manually - M5", "Manual spindle stop cancelled by user"},
                 {2, "STOP the spindle manually - M2", "Manual spindle stop cancelled by user"}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.M);
        Messages.ClearLog();
        Errors.clear();
        Calls.clear();
        Messages.Answer("Cancel");
        int m = c.M;
        Link.ExecuteMCode(m);
        ASSERT_EQ(Messages.Log().size(), 1u);
        EXPECT_EQ(Messages.Log()[0].Text, c.Prompt);
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Errors[0].Caption, "Spindle Error");
        EXPECT_EQ(Errors[0].Message, "Program Aborted");
        EXPECT_EQ(Errors[0].Details, c.Details);
        EXPECT_TRUE(Calls.empty());
    }
    Messages.ClearLog();
    Errors.clear();
    Messages.Answer("Cancel");
    TMachineBlock b;
    b.S = 1200;
    Link.ApplyBlockSpeed(b);
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_EQ(Messages.Log()[0].Text, "Change manual spindle speed to S1200");
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Caption, "S Code Error");
    EXPECT_EQ(Errors[0].Details, "Manual spindle speed change cancelled by user");
    Messages.Answer("OK");
    Link.ApplyBlockSpeed(b);
    EXPECT_EQ(Calls.back(), "S1200");
}

// [M8] has no time-out of its own (0), and M180 no record: both wait the
// file's "M Code TimeOut" and then report.
TEST_F(MachLinkTest, AnMCodeNeverCompletedTimesOut) {
    Data.Communications.MCodeTimeOut = 2000;
    Data.MCodes[3].Timeout = 500;
    ASSERT_TRUE(Connect());
    Fake->NeverDone = true;
    struct TCase {
        int M;
        int64_t TimeOut;
    } cases[] = {{8, 2000}, {180, 2000}, {3, 500}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.M);
        Errors.clear();
        int64_t start = Loop.NowMs();
        int m = c.M;
        Link.ExecuteMCode(m);
        int64_t waited = Loop.NowMs() - start;
        EXPECT_GE(waited, c.TimeOut);
        EXPECT_LT(waited, c.TimeOut + 100);
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Errors[0].Caption, "Mcode error");
        EXPECT_EQ(Errors[0].Message, "\"M" + IntToStr(c.M) + "\" operation Timed Out");
    }
}

TEST_F(MachLinkTest, ToolChangeErrors) {
    ASSERT_TRUE(Connect());
    Fake->Safe = false;
    Link.ToolChange(2);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Caption, "Toolchange Error");
    EXPECT_EQ(Errors[0].Message, "Machine not safe");
    EXPECT_EQ(Errors[0].Details, "Cannot Toolchange\nClose the Guard !");
    EXPECT_TRUE(Calls.empty());

    Errors.clear();
    Fake->Safe = true;
    Fake->NeverDone = true;
    Data.Communications.TCodeTimeOut = 3000;
    Link.TCodeTimeout = 3000;
    Link.ToolChange(2);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Caption, "Toolchange Error");
    EXPECT_EQ(Errors[0].Message, "\"T2\" operation Timed Out");
    EXPECT_EQ(Errors[0].Details, "");

    // The guard stays open after the operator's change.
    Errors.clear();
    Fake->NeverDone = false;
    Messages.Answer("OK");
    Fake->Safe = false;
    Link.ToolChange(3);
    ASSERT_GE(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Message, "Machine not safe");
}

TEST_F(MachLinkTest, GuardOpenAfterManualChange) {
    ASSERT_TRUE(Connect());
    // Safe only while the change is under way.
    Fake->Safe = true;
    Messages.Answer("OK");
    Link.OnMachineEvent = [this](TObject *, TChangeData &E) {
        if (E.Kind == evToolNumber)
            Fake->Safe = false;
    };
    Link.ToolChange(2);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Caption, "Toolchange Error");
    EXPECT_EQ(Errors[0].Message, "\"T2\" ");
    EXPECT_EQ(Errors[0].Details, "Guard must be closed after manual toolchange");
}

// Z runs with motor direction -1: the change position Z -10 mm is +1000
// steps, as every other move would send it.
TEST_F(MachLinkTest, ToolChangeMoveAppliesTheMotorDirection) {
    ASSERT_TRUE(Connect());
    Messages.Answer("OK");
    Link.ToolChange(2);
    EXPECT_TRUE(Errors.empty());
    ASSERT_GE(Calls.size(), 3u);
    EXPECT_EQ(Calls[0], "F2000");
    EXPECT_EQ(Calls[1], "VA15000,15000,1000");
    EXPECT_EQ(Calls[2], "W7,2");
    EXPECT_EQ(Link.GetCurrentTool(), 2);
}

TEST_F(MachLinkTest, ToolChangeMoveThatNeverEndsTimesOut) {
    ASSERT_TRUE(Connect());
    Fake->Idle = false;
    Link.TCodeTimeout = 1500;
    Link.ToolChange(2);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Message, "\"T2\" operation Timed Out");
    EXPECT_FALSE(Called("W7,2"));
}

TEST_F(MachLinkTest, JogIncrementAppliesMotorDirectionAndTravel) {
    ASSERT_TRUE(Connect());
    Fake->PZ = 500; // Z -5 mm
    struct TCase {
        int Axis;
        double Distance;
        const char *Call;
    } cases[] = {
        {2, -3, "JR2,300"},    // to Z -8 mm
        {2, -200, "JR2,9500"}, // held at Z -100 mm
        {2, 20, "JR2,-500"},   // held at Z 0
        {0, 5, "JR0,500"},     // X +5 mm
        {0, -1, "JR0,0"},      // X already at its minus limit
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Call);
        Calls.clear();
        Link.JogIncrement(c.Axis, 600, c.Distance);
        ASSERT_EQ(Calls.size(), 2u);
        EXPECT_EQ(Calls[0], "F1000");
        EXPECT_EQ(Calls[1], c.Call);
    }
}

TEST_F(MachLinkTest, WaitsWithoutAnswerEndAtTheirDeadline) {
    ASSERT_TRUE(Connect());
    Fake->PositionValid = false;
    Link.JogIncrement(0, 600, 5);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Message, "No position from the controller");

    Errors.clear();
    Fake->Idle = false;
    Link.DwellTime = 100;
    Link.Dwell();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Message, "\"G4\" operation Timed Out");
    EXPECT_EQ(Done, 0);
}

TEST_F(MachLinkTest, DwellWaitEndsQuietlyOnStop) {
    ASSERT_TRUE(Connect());
    Fake->Idle = false;
    Link.DwellTime = 100;
    Loop.StartTimer(50, [this] { Link.Stop(); });
    Link.Dwell();
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(Done, 0);
}

TEST_F(MachLinkTest, CycleStartWithoutAValidPositionLeavesItUnknown) {
    ASSERT_TRUE(Connect());
    Fake->PositionValid = false;
    Link.CycleStart();
    EXPECT_EQ(Link.LastPosition.X, NoSteps);
    Fake->PositionValid = true;
    Fake->PX = 1000;
    Link.CycleStart();
    EXPECT_DOUBLE_EQ(double(Link.LastPosition.X), 10.0);
}

TEST_F(MachLinkTest, MoveCompletionByNotification) {
    ASSERT_TRUE(Connect());
    Link.LinearMove(1, 2, 3);
    EXPECT_TRUE(Link.MovePending);
    Link.InPositionChanged(nullptr, false); // under way, no look-ahead
    EXPECT_EQ(Done, 0);
    Link.InPositionChanged(nullptr, true);
    EXPECT_EQ(Done, 1);
    Link.InPositionChanged(nullptr, true); // nothing pending
    EXPECT_EQ(Done, 1);
    Link.LookAhead = true;
    Link.LinearMove(1, 2, 3);
    Link.InPositionChanged(nullptr, false);
    EXPECT_EQ(Done, 2);
}

TEST_F(MachLinkTest, HomingSendsTheDirections) {
    Data.Home.NegativeX = true;
    ASSERT_TRUE(Connect());
    Link.HomeAxis(HomeXY);
    EXPECT_EQ(Calls, (std::vector<std::string>{"H0,2", "H1,0"}));
}

// "M Code TimeOut=0" with [M8] "Timeout=0", and "T Code TimeOut=0": the
// waits end at the default deadlines (10 s, 60 s) instead of never, and a
// tool change still waits for its move. Escape at 200 s ends a wait that
// would never end by itself.
TEST_F(MachLinkTest, TimeOutsOfZeroFallBackToTheDefaultDeadlines) {
    Data.Communications.MCodeTimeOut = 0;
    Data.Communications.TCodeTimeOut = 0;
    Data.MCodes[8].Timeout = 0;
    ASSERT_TRUE(Connect());
    int escape = Loop.StartTimer(200000, [this] { Loop.SetKeyDown(VK_ESCAPE, true); });
    Fake->NeverDone = true;
    int64_t start = Loop.NowMs();
    int m = 8;
    Link.ExecuteMCode(m);
    EXPECT_GE(Loop.NowMs() - start, 10000);
    EXPECT_LT(Loop.NowMs() - start, 10100);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Message, "\"M8\" operation Timed Out");

    // The change move runs 500 ms; the changer answers at once.
    Errors.clear();
    Fake->NeverDone = false;
    Fake->Idle = false;
    Loop.StartTimer(500, [this] { Fake->Idle = true; });
    Link.ToolChange(2);
    EXPECT_TRUE(Errors.empty()) << Errors[0].Message;
    EXPECT_TRUE(Called("W7,2"));

    Fake->NeverDone = true;
    start = Loop.NowMs();
    Link.ToolChange(3);
    EXPECT_GE(Loop.NowMs() - start, 60000);
    EXPECT_LT(Loop.NowMs() - start, 60200);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Message, "\"T3\" operation Timed Out");
    Loop.StopTimer(escape);
    Loop.SetKeyDown(VK_ESCAPE, false);
}

// A controller in emergency stop: homing and the tool change send nothing
// and homing says why at once; an e-stop during a wait ends it at once
// with a stop (homing with its error; the tool change quietly, as the
// poll puts the e-stop on the status line), not with the wait's time-out.
TEST_F(MachLinkTest, AnEmergencyStopIsNamedAndNothingMoves) {
    ASSERT_TRUE(Connect());
    Fake->Stopped = true;
    Link.Home(HomeZ);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Caption, "Homing Error");
    EXPECT_EQ(Errors[0].Message, "Emergency stop");
    Link.ToolChange(2);
    EXPECT_TRUE(Calls.empty()) << Calls[0];

    struct TCase {
        const char *Name;
        std::function<void()> Wait;
        const char *Caption; // "": no error
    } cases[] = {
        {"homing", [this] { Link.Home(HomeZ); }, "Homing Error"},
        {"the tool change move", [this] { Link.ToolChange(2); }, ""},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Fake->Stopped = false;
        Fake->Idle = false;
        Errors.clear();
        Calls.clear();
        int64_t start = Loop.NowMs();
        int timer = Loop.StartTimer(300, [this] { Fake->Stopped = true; });
        c.Wait();
        Loop.StopTimer(timer);
        EXPECT_LT(Loop.NowMs() - start, 400);
        EXPECT_EQ(std::count(Calls.begin(), Calls.end(), "ST"), 1);
        EXPECT_FALSE(Called("W7,2"));
        if (!*c.Caption) {
            EXPECT_TRUE(Errors.empty()) << Errors[0].Message;
            continue;
        }
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Errors[0].Caption, c.Caption);
        EXPECT_EQ(Errors[0].Message, "Emergency stop");
    }
}

// In a run, a machine whose homing failed (or was never done) gets no tool
// change move and no changer handshake: the change stops the run.
TEST_F(MachLinkTest, NoToolChangeToAnUnhomedMachineInARun) {
    ASSERT_TRUE(Connect());
    Link.SetCycleState(csRunning);
    Calls.clear();
    Link.ToolChange(2);
    EXPECT_TRUE(Calls.empty()) << Calls[0];
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Caption, "Toolchange Error");
    EXPECT_EQ(Errors[0].Message, "Machine not homed");
    Errors.clear();
    Link.MarkAllHomed();
    Link.ToolChange(2);
    EXPECT_TRUE(std::any_of(Calls.begin(), Calls.end(),
                            [](const std::string &C) { return C.rfind("VA", 0) == 0; }));
    EXPECT_TRUE(Called("W7,2"));
    EXPECT_TRUE(Errors.empty());
}

// The line of the controller failed (it has reported that once): every
// wait ends at once and quietly, with no second error.
TEST_F(MachLinkTest, ALostLineEndsEveryWaitQuietly) {
    ASSERT_TRUE(Connect());
    Fake->LineLost = true;
    Fake->NeverDone = true;
    Fake->Idle = false;
    struct TCase {
        const char *Name;
        std::function<void()> Wait;
    } cases[] = {
        {"M code", [this] { int m = 8; Link.ExecuteMCode(m); }},
        {"dwell", [this] { Link.DwellTime = 100; Link.Dwell(); }},
        {"homing", [this] { Link.Home(HomeZ); }},
        {"tool change", [this] { Link.ToolChange(2); }},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        int64_t start = Loop.NowMs();
        c.Wait();
        EXPECT_LT(Loop.NowMs() - start, 100);
        EXPECT_TRUE(Errors.empty()) << Errors[0].Message;
    }
    EXPECT_EQ(Done, 0);
}

// A loop on which a wait that spins costs 1 ms a turn, and one that
// sleeps costs the time it sleeps: the waits look at the machine and read
// the handshake once per 10 ms, not once per turn.
class TSpinCountingLoop : public TTestEventLoop {
public:
    void ProcessMessages() override { Advance(1); }
    void WaitMessages(int MaxMs) override { Advance(std::max(1, MaxMs)); }
};

TEST_F(MachLinkTest, WaitsSleepBetweenTheirLooks) {
    ASSERT_TRUE(Connect());
    TSpinCountingLoop spinLoop;
    TEventLoopScope scope(spinLoop);
    Fake->NeverDone = true;
    Fake->Idle = false;
    Link.TCodeTimeout = 2000;
    struct TCase {
        const char *Name;
        std::function<void()> Wait;
        std::function<int()> Looks;
    } cases[] = {
        {"homing", [this] { Link.Home(HomeZ); }, [this] { return Fake->IdleLooks; }},
        {"dwell", [this] { Link.DwellTime = 100; Link.Dwell(); },
         [this] { return Fake->IdleLooks; }},
        {"M code handshake", [this] { int m = 8; Link.ExecuteMCode(m); },
         [this] { return Fake->HandshakeReads; }},
        {"tool change handshake",
         [this] {
             Fake->Idle = true;
             Link.ToolChange(2);
             Fake->Idle = false;
         },
         [this] { return Fake->HandshakeReads; }},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Fake->IdleLooks = Fake->HandshakeReads = 0;
        int64_t start = spinLoop.NowMs();
        c.Wait();
        int64_t waited = spinLoop.NowMs() - start;
        EXPECT_GE(waited, 1000);
        EXPECT_LE(c.Looks(), waited / 10 + 3) << waited << " ms";
    }
}

} // namespace
} // namespace orv
