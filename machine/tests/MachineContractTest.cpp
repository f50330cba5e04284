// The machine contract's own rules on a machine whose guard, e-stop and
// motion the test sets: the homed rule, override and spindle clamps, feed
// reports, the poll, homing waits and their time-out, the block pipeline.

#include "engine/core/NetUtil.h"
#include "machine/BasicMachine.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/tests/MachineTestRig.h"
#include "platform/tests/TempDir.h"

namespace orv {
namespace {

class TTestMachine : public TBasicMachine {
public:
    TTestMachine() : TBasicMachine(nullptr) {}
    bool IsSafe() override { return Safe; }
    bool IsEStopped() override { return EStop; }
    bool IsIdle() override { return Idle; }
    void HomeAxis(int Code) override { HomedCodes.push_back(Code); }
    void GetPosition(TMachinePosition &P) override {
        TBasicMachine::GetPosition(P);
        P.X = Steps.X;
        P.Y = Steps.Y;
        P.Z = Steps.Z;
    }
    void LinearMove(int32_t X, int32_t Y, int32_t Z) override { Moves.push_back({X, Y, Z}); }
    void RapidMove(int32_t X, int32_t Y, int32_t Z) override { Moves.push_back({X, Y, Z}); }

    bool Safe = true, EStop = false, Idle = true;
    TXYZ Steps;
    std::vector<int> HomedCodes;
    std::vector<TXYZ> Moves;
};

class MachineContractTest : public test::TMachineRig {
protected:
    MachineContractTest() {
        Wire(M);
        M.Initialise();
    }

    TTestMachine M;
};

TEST_F(MachineContractTest, EveryModeButHomeNeedsTheAxesHomed) {
    struct TCase {
        const char *Name;
        std::vector<int> Homed; // home codes that succeeded, 6 = marked all homed
        TMachineMode Asked, Got;
    };
    const TCase cases[] = {
        {"jog before homing", {}, modeJog, modeHome},
        {"auto before homing", {}, modeAuto, modeHome},
        {"home is always taken", {}, modeHome, modeHome},
        {"Z then X and Y", {HomeZ, HomeXY}, modeAuto, modeAuto},
        {"each axis alone", {HomeX, HomeY, HomeZ}, modeMDI, modeMDI},
        {"X and Y without Z", {HomeX, HomeY}, modeAuto, modeHome},
        {"X and Y together without Z", {HomeXY}, modeIncJog, modeHome},
        {"marked homed", {HomeAll}, modeJog, modeJog},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        M.SetMachineMode(modeHome);
        M.ResetHomedFlags();
        for (int code : c.Homed)
            code == HomeAll ? M.MarkAllHomed() : M.Home(code);
        M.SetMachineMode(c.Asked);
        EXPECT_EQ(M.Mode, c.Got);
        ASSERT_NE(LastEvent(evMachineMode), nullptr);
        EXPECT_EQ(LastEvent(evMachineMode)->IntValue, c.Got);
    }
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MachineContractTest, OverridesAreClampedAndReportedOnlyForARealMachinesKnobs) {
    struct TCase {
        const char *Name;
        bool Feed; // feed override, else speed override
        int Asked, Stored;
    };
    const TCase cases[] = {
        {"feed above 150", true, 200, 150},   {"feed at 150", true, 150, 150},
        {"feed below 0", true, -5, 0},        {"feed at 0", true, 0, 0},
        {"speed below 50", false, 10, 50},    {"speed at 50", false, 50, 50},
        {"speed above 120", false, 130, 120}, {"speed at 120", false, 120, 120},
    };
    Data.MachineCapability.FeedPot = Data.MachineCapability.SpeedPot = true;
    for (bool real : {false, true}) {
        M.IsRealMachine = real;
        for (const TCase &c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (real ? ", real" : ", simulated"));
            Events.clear();
            c.Feed ? M.SetFeedOverride(c.Asked) : M.SetSpeedOverride(c.Asked);
            EXPECT_EQ(c.Feed ? M.GetFeedOverride() : M.GetSpeedOverride(), c.Stored);
            uint8_t kind = c.Feed ? evFeedOverride : evSpeedOverride;
            EXPECT_EQ(HasEvent(kind), real);
        }
    }
}

TEST_F(MachineContractTest, SpindleSpeedIsHeldInRange) {
    const int cases[][2] = {{50, 100}, {100, 100}, {2500, 2500}, {5000, 5000}, {9000, 5000}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c[0]);
        M.SetSpindleSpeed(c[0]);
        EXPECT_EQ(M.GetSpindleSpeed(), c[1]);
        EXPECT_EQ(LastEvent(evSpindleSpeed)->IntValue, c[1]);
    }
}

TEST_F(MachineContractTest, FeedIsReportedOnceAndAgainWhenTheGuardCloses) {
    Loop.Advance(300); // first poll: guard closed
    Events.clear();
    M.SetFeedrate(500);
    M.SetFeedrate(500);
    EXPECT_EQ(std::count_if(Events.begin(), Events.end(),
                            [](const TChangeData &e) { return e.Kind == evFeedrate; }),
              1);
    M.SetFeedrate(5000);
    EXPECT_EQ(M.GetFeedrate(), 3000) << "held at the fastest axis rate";
    M.Safe = false;
    Loop.Advance(300);
    M.Safe = true;
    Events.clear();
    Loop.Advance(300);
    ASSERT_TRUE(HasEvent(evFeedrate));
    EXPECT_EQ(LastEvent(evFeedrate)->IntValue, 3000);
    EXPECT_TRUE(LastEvent(evSafe)->Flag);
}

TEST_F(MachineContractTest, FirstPollReportsTheEStopAndDropsToHomeMode) {
    M.MarkAllHomed();
    M.SetMachineMode(modeAuto);
    Events.clear();
    Loop.Advance(299);
    EXPECT_FALSE(HasEvent(evEstop));
    Loop.Advance(1);
    ASSERT_TRUE(HasEvent(evEstop)) << "reported although unchanged";
    EXPECT_FALSE(LastEvent(evEstop)->Flag);
    EXPECT_EQ(M.Mode, modeHome);
    EXPECT_TRUE(HasEvent(evHomingReset));

    Events.clear();
    Loop.Advance(300);
    EXPECT_FALSE(HasEvent(evEstop)) << "no change, no report";
    M.EStop = true;
    Loop.Advance(300);
    EXPECT_TRUE(LastEvent(evEstop)->Flag);
}

TEST_F(MachineContractTest, PositionIsReportedWhenItChanges) {
    std::vector<TMachineReadout> reports;
    M.OnPositionChanged = [&](TObject *, TMachineReadout &R) { reports.push_back(R); };
    Convert.OffsetX = 5;
    Loop.Advance(300);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_DOUBLE_EQ(double(reports[0].Machine.X), 88.88888);
    EXPECT_DOUBLE_EQ(double(reports[0].Work.X), 83.88888);
    EXPECT_DOUBLE_EQ(double(reports[0].Machine.Z), -88.88888) << "Z motor turns the other way";
    Loop.Advance(300);
    EXPECT_EQ(reports.size(), 1u);
    M.ForcePositionReport = true;
    Loop.Advance(300);
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(MachineContractTest, HomingFailures) {
    struct TCase {
        const char *Name;
        bool ModeHome, Safe, Idle, Escape;
        const char *Message;
    };
    const TCase cases[] = {
        {"outside home mode", false, true, true, false, "Must be in Home mode"},
        {"guard open", true, false, true, false, "Machine not safe - Homing aborted"},
        {"escape during the wait", true, true, false, true, "Homing aborted"},
        {"axes never arrive", true, true, false, false, "Homing timed out"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        M.MarkAllHomed();
        M.SetMachineMode(c.ModeHome ? modeHome : modeJog);
        M.Safe = c.Safe;
        M.Idle = c.Idle;
        Loop.SetKeyDown(VK_ESCAPE, c.Escape);
        Errors.clear();
        M.Home(HomeZ);
        Loop.SetKeyDown(VK_ESCAPE, false);
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Errors[0].Caption, "Homing Error");
        EXPECT_EQ(Errors[0].Message, c.Message);
        EXPECT_EQ(Errors[0].Line, -1);
        EXPECT_FALSE(M.AllHomed || M.HomedZ) << "a failed homing clears the homed marks";
    }
}

TEST_F(MachineContractTest, HomingWaitEndsAtItsTimeOut) {
    M.Idle = false;
    int64_t start = Loop.NowMs();
    M.Home(HomeX);
    int64_t waited = Loop.NowMs() - start;
    // 300 mm of travel at 600 mm/min, twice over, plus 10 s.
    EXPECT_EQ(M.HomingTimeOutMs(), 70000);
    EXPECT_GE(waited, 70000);
    EXPECT_LT(waited, 70200);
    Data.Home.Feed = 0;
    EXPECT_EQ(M.HomingTimeOutMs(), 60000) << "no homing feed: one minute";
}

TEST_F(MachineContractTest, HomingSetsTheMarkOfItsCode) {
    M.Home(HomeX);
    EXPECT_TRUE(M.HomedX);
    EXPECT_EQ(LastEvent(evAxisHomed)->IntValue, HomeX);
    EXPECT_EQ(M.GetFeedrate(), 600) << "homing runs at the [Home] feed";
    M.Home(HomeXY);
    EXPECT_TRUE(M.HomedXY);
    EXPECT_EQ(M.HomedCodes, (std::vector<int>{HomeX, HomeXY}));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MachineContractTest, CycleStartNeedsTheGuardClosed) {
    M.Safe = false;
    M.CycleStart();
    EXPECT_EQ(Done, 0);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Message, "Machine not safe");
    EXPECT_EQ(Errors[0].Details, "Cannot Run Machine\nClose the Guard !");
    M.Safe = true;
    M.CycleStart();
    EXPECT_EQ(Done, 1);
}

TEST_F(MachineContractTest, RealMachineRefusesToRunOnIncompleteMachineData) {
    Data.Load(); // no configuration at all: every value is missing
    M.IsRealMachine = true;
    M.CycleStart();
    M.MarkAllHomed();
    M.SetMachineMode(modeHome);
    M.Home(HomeZ);
    EXPECT_EQ(Done, 0);
    EXPECT_TRUE(M.HomedCodes.empty());
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[0].Message, "Machine data incomplete");
    EXPECT_NE(Errors[0].Details.find("\"Motor Direction Y\""), std::string::npos);

    M.IsRealMachine = false;
    M.CycleStart();
    EXPECT_EQ(Done, 1) << "a simulated machine still runs";
}

TEST_F(MachineContractTest, SelectedToolsLengthGoesIntoTheConverter) {
    test::TTempDir dir;
    // The library notes its file in the main settings file: keep that in the temp folder.
    struct TWorkingFolderScope {
        std::string Saved = NetUtil().WorkingFolder;
        explicit TWorkingFolderScope(const std::string &Folder) {
            NetUtil().WorkingFolder = Folder;
        }
        ~TWorkingFolderScope() { NetUtil().WorkingFolder = Saved; }
    } folderScope(dir.Path());
    auto library = std::make_unique<TTooling_Library>();
    library->SetDataFile(dir.Write("lib.MTD", "[End 6]\r\nDiameter=6\r\nlength=50\r\n"
                                              "Tool Length offset=42.5\r\n[Drill 3]\r\n"
                                              "Diameter=3\r\nTool Length offset=30\r\n"));
    TMachine_Tooling tooling;
    tooling.SetToolLibrary(std::move(library));
    tooling.SetToolCapacity(8);
    tooling.SetMachineToolCount(8);
    tooling.SetDataFile(dir.Write("mill.MTF",
                                  "[Global]\r\nCurrent Tool=2\r\n[Tool1]\r\n"
                                  "Tool Name=End 6\r\n[Tool2]\r\nTool Name=Drill 3\r\n"));
    M.Tooling = &tooling;

    M.SelectTool(1);
    EXPECT_EQ(tooling.CurrentTool(), 1);
    EXPECT_DOUBLE_EQ(Convert.ToolLength, 42.5);
    EXPECT_EQ(LastEvent(evToolNumber)->IntValue, 1);

    Convert.ToolLength = 0;
    M.ToolDataChanged(2);
    EXPECT_DOUBLE_EQ(Convert.ToolLength, 0) << "another tool's data changed";
    M.ToolDataChanged(1);
    EXPECT_DOUBLE_EQ(Convert.ToolLength, 42.5);

    // The spindle at Z -25 mm (2500 steps on the reversed motor), work
    // offset Z 5: the tool's offset is offered as -30.
    std::string offered;
    tooling.ZOffsetPrompt = [&](const std::string &, std::string &Value) {
        offered = Value;
        return false;
    };
    M.Steps = {0, 0, 2500};
    Convert.OffsetZ = 5;
    M.SetToolZOffset();
    EXPECT_EQ(offered, "-30.000");
}

class MachinePipelineTest : public MachineContractTest {
protected:
    MachinePipelineTest() {
        M.SetCycleState(csRunning);
        M.LastPosition = {10, 20, -5};
    }
};

TEST_F(MachinePipelineTest, EventAndEmptyRecordsFinishAtOnce) {
    struct TCase {
        const char *Name;
        int Motion;
        bool BlockDelete, Skip;
        int DoneAfter;
    };
    const TCase cases[] = {
        {"end of program", EndOfProgramCode, false, false, 1},
        {"operator message", -12, false, false, 1},
        {"nothing to move runs through the pipeline", NoMoveCode, false, false, 1},
        {"skipped block-delete line", 1, true, true, 1},
        {"block-delete line without skip moves", 1, true, false, 0},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Done = 0;
        M.BlockSkip = c.Skip;
        TCNC_data d = Move(c.Motion, 20, 30, -5, 300);
        d.BlockDelete = c.BlockDelete;
        M.ProcessCNCData(d);
        EXPECT_EQ(Done, c.DoneAfter);
    }
}

TEST_F(MachinePipelineTest, NothingHappensWhileStopped) {
    M.SetCycleState(csStopped);
    M.ProcessCNCData(Move(EndOfProgramCode, 0, 0, 0));
    M.ProcessCNCData(Move(1, 1, 1, -1, 100));
    EXPECT_EQ(Done, 0);
    EXPECT_TRUE(M.Moves.empty());
}

TEST_F(MachinePipelineTest, MissingCoordinatesComeFromTheLastPosition) {
    Convert.OffsetZ = 2;
    M.ProcessCNCData(Move(1, NoValue, NoValue, -20, 250));
    ASSERT_EQ(M.Moves.size(), 1u);
    EXPECT_EQ(M.Moves[0].X, 1000);
    EXPECT_EQ(M.Moves[0].Y, 2000);
    EXPECT_EQ(M.Moves[0].Z, 1800) << "-20 + 2 mm offset, Z motor reversed";
    EXPECT_DOUBLE_EQ(double(M.LastPosition.Z), -18);
    EXPECT_EQ(M.GetFeedrate(), 250);
    EXPECT_EQ(Done, 0) << "a move reports when the motion ends";
}

TEST_F(MachinePipelineTest, FirstBlockTakesTheMachinePosition) {
    M.LastPosition = {NoSteps, NoSteps, NoSteps};
    M.Steps = {1500, 2500, 300};
    M.ProcessCNCData(Move(0, NoValue, 40, NoValue));
    ASSERT_EQ(M.Moves.size(), 1u);
    EXPECT_EQ(M.Moves[0].X, 1500);
    EXPECT_EQ(M.Moves[0].Y, 4000);
    EXPECT_EQ(M.Moves[0].Z, 300);
    EXPECT_EQ(M.GetFeedrate(), 1200) << "rapids run at the Z rate";
}

TEST_F(MachinePipelineTest, UnsetFeedKeepsTheCurrentFeed) {
    M.SetFeedrate(333);
    M.ProcessCNCData(Move(1, 11, 20, -5));
    EXPECT_EQ(M.GetFeedrate(), 333);
    EXPECT_EQ(M.Block.Feed, NoSteps);
}

TEST_F(MachinePipelineTest, UnsetSpindleIsNotClamped) {
    TCNC_data d = Move(1, 11, 20, -5, 100);
    M.ProcessCNCData(d);
    EXPECT_EQ(M.Block.S, NoMoveCode);
    d.Spindle = 20000;
    M.ProcessCNCData(d);
    EXPECT_EQ(M.Block.S, 5000);
}

TEST_F(MachinePipelineTest, LineBeyondTheTravelStopsWithoutBlockDone) {
    TCNC_data d = Move(1, 300.001, 20, -5, 100);
    d.LineNumber = 12;
    M.ProcessCNCData(d);
    EXPECT_EQ(Done, 0);
    EXPECT_TRUE(M.Moves.empty());
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Line, 12);
    EXPECT_EQ(Errors[0].Caption, "M/C Limit Error");
    EXPECT_EQ(Errors[0].Message, "Move Exceeds Limits");
    EXPECT_NE(Errors[0].Details.find("(Machine Units)\nFrom  X"), std::string::npos);
    EXPECT_NE(Errors[0].Details.find("To    X300.001, Y20.000, Z-5.000"), std::string::npos)
        << Errors[0].Details;
    EXPECT_DOUBLE_EQ(double(M.LastPosition.X), 10) << "the last position stays";

    Errors.clear();
    M.ProcessCNCData(Move(1, 300, 20, -5, 100));
    EXPECT_TRUE(Errors.empty()) << "exactly on the limit is inside";
    EXPECT_EQ(M.Moves.size(), 1u);
}

TEST_F(MachinePipelineTest, ArcBeyondTheTravelIsDoneAndLeavesTheLastPosition) {
    // From (10, 20) counter-clockwise round (10, -5) to (10, -30): the arc
    // swings out to X -15, beyond the travel.
    TCNC_data arc = Move(3, 10, -30, -5, 100);
    arc.I = 10;
    arc.J = -5;
    arc.K = NoValue;
    arc.LineNumber = 7;
    M.ProcessCNCData(arc);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Message, "Arc Move Exceeds Limits");
    EXPECT_EQ(Errors[0].Line, 7);
    EXPECT_EQ(Done, 1) << "the neutralised arc is reported done";
    EXPECT_TRUE(M.Moves.empty());
    EXPECT_DOUBLE_EQ(double(M.LastPosition.X), 10);
    EXPECT_DOUBLE_EQ(double(M.LastPosition.Y), 20) << "the machine never went there";
}

TEST_F(MachinePipelineTest, ArcInsideTheTravelGoesStraightToItsEndOnASimulatedMachine) {
    TCNC_data arc = Move(2, 20, 20, -5, 100);
    arc.I = 15;
    arc.J = 20;
    M.ProcessCNCData(arc);
    EXPECT_TRUE(Errors.empty());
    ASSERT_EQ(M.Moves.size(), 1u);
    EXPECT_EQ(M.Moves[0].X, 2000);
}

TEST_F(MachinePipelineTest, DwellHoldsTheBlockForItsTime) {
    TCNC_data d = Move(4, 2500, NoValue, NoValue);
    M.ProcessCNCData(d);
    EXPECT_EQ(M.DwellTime, 2500);
    Loop.Advance(2400);
    EXPECT_EQ(Done, 0);
    Loop.Advance(200);
    EXPECT_EQ(Done, 1);
    EXPECT_DOUBLE_EQ(double(M.LastPosition.X), 10) << "a dwell's X is a time";
    M.ProcessCNCData(d);
    M.Stop();
    Loop.Advance(5000);
    EXPECT_EQ(Done, 1) << "a stopped dwell never reports";
}

TEST_F(MachinePipelineTest, ManualToolChange) {
    Messages.Answer("OK");
    M.ToolChange(3);
    EXPECT_EQ(M.GetCurrentTool(), 3);
    EXPECT_EQ(LastEvent(evToolNumber)->IntValue, 3);
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_EQ(Messages.Log()[0].Text, "Change the tool in the machine to Tool Number 3");

    Messages.Answer("Cancel");
    M.ToolChange(4);
    EXPECT_EQ(M.GetCurrentTool(), 3);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Caption, ToolChangeErrorCaption);
    EXPECT_EQ(Errors[0].Caption, "Toolchange Error");
    EXPECT_EQ(Errors[0].Message, "Program Aborted");

    Data.ToolChange.AutoChanger = true;
    M.ToolChange(5);
    EXPECT_EQ(M.GetCurrentTool(), 5);
    EXPECT_EQ(Messages.Log().size(), 2u) << "an automatic changer asks nobody";
}

} // namespace
} // namespace orv
