// The simulated machine on a test clock: its 100 ms motion tick, feeds,
// homing to the [Home] positions, jogging within the travel, stop, pause
// and a whole run driven the way the engine drives it.

#include "machine/DummyLinkMill.h"
#include "machine/tests/MachineTestRig.h"

#include <deque>

namespace orv {
namespace {

class MachineSimulatedTest : public test::TMachineRig {
protected:
    MachineSimulatedTest() {
        Wire(Mill);
        Mill.Initialise();
        Loop.Advance(300); // the first poll reports the e-stop and resets the mode
    }

    // Homed, automatic mode, running, last position read from the machine.
    void StartRun() {
        Mill.MarkAllHomed();
        Mill.SetMachineMode(modeAuto);
        Mill.SetCycleState(csRunning);
        Mill.CycleStart();
        Done = 0;
    }

    // Position in mm.
    TXYZ Position() {
        TXYZ p = Mill.Current;
        Convert.PositionFromSteps(p);
        return p;
    }

    TDummyLinkMill Mill{nullptr};
};

TEST_F(MachineSimulatedTest, MotionTickMovesAlongTheLineAtTheFeed) {
    StartRun();
    // 600 mm/min is 10 mm a second, 1 mm (100 steps) a 100 ms tick along
    // the line: 60 steps in X and 80 in Y on the way to (2.7, 3.6) mm.
    Mill.ProcessCNCData(Move(1, 2.7, 3.6, NoValue, 600));
    // The move starts with one tick at once (after one served message).
    EXPECT_FLOAT_EQ(Mill.AxisStep[0], 60);
    EXPECT_FLOAT_EQ(Mill.AxisStep[1], 80);
    EXPECT_EQ(Mill.Current.X, 60);
    EXPECT_EQ(Mill.Current.Y, 80);
    EXPECT_FALSE(Mill.IsInPosition());
    Loop.Advance(90);
    EXPECT_EQ(Mill.Current.X, 60) << "the next tick is 100 ms after the first";
    Loop.Advance(300);
    EXPECT_EQ(Mill.Current.X, 240);
    EXPECT_EQ(Mill.Current.Y, 320);
    Loop.Advance(100);
    EXPECT_EQ(Mill.Current.X, 270) << "the last step is cut to what remains";
    EXPECT_EQ(Mill.Current.Y, 360);
    EXPECT_EQ(Done, 0);
    Loop.Advance(100);
    EXPECT_EQ(Done, 1) << "reported one tick after the axes arrived";
    EXPECT_TRUE(Mill.IsIdle());
    Loop.Advance(1000);
    EXPECT_EQ(Done, 1);
}

// The cycle time follows the programmed feed: 10 mm at 600 mm/min is one
// second, and half way the readout shows half the way.
TEST_F(MachineSimulatedTest, MoveTakesTheTimeOfItsFeed) {
    struct TCase {
        const char *Name;
        double Feed; // mm/min
        int Ms;      // for 10 mm
    } cases[] = {{"600 mm/min", 600, 1000}, {"60 mm/min", 60, 10000}, {"1200 mm/min", 1200, 500}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Mill.Current = {};
        Mill.TargetPos = {};
        StartRun();
        const int64_t start = Loop.NowMs();
        Mill.ProcessCNCData(Move(1, 10, 0, 0, c.Feed));
        const double tickMm = c.Feed / 600; // one 100 ms tick's way
        Loop.Advance(c.Ms / 2);
        EXPECT_NEAR(double(Position().X), 5, tickMm) << "half way at half the time";
        while (Done == 0 && Loop.NowMs() - start < 60000)
            Loop.Advance(10);
        EXPECT_DOUBLE_EQ(double(Position().X), 10);
        // The first step goes at once, so the axes arrive a tick early; the
        // report comes with the tick that ends the move's time (seen at the
        // next 10 ms step of the clock).
        EXPECT_NEAR(double(Loop.NowMs() - start), c.Ms, 10) << "ms until the block is done";
    }
}

TEST_F(MachineSimulatedTest, AxesWithinAStepSnapToTheirTargets) {
    StartRun();
    Mill.MoveTo(0.5, 1000.75, NoSteps);
    EXPECT_EQ(Mill.Current.X, 0.5L) << "half a step snaps";
    EXPECT_EQ(Mill.AxisStep[0], 0);
    Loop.Advance(20000);
    EXPECT_EQ(Mill.Current.Y, 1000.75L);
    EXPECT_TRUE(Mill.Idle);
}

TEST_F(MachineSimulatedTest, FeedsOfRapidsAndSlowLines) {
    StartRun();
    struct TCase {
        const char *Name;
        TCNC_data Data;
        int Feed;
    };
    const TCase cases[] = {
        {"rapid runs at the slower of the X and Z rates", Move(0, 10, 20, -5), 1000},
        {"reference return likewise", Move(28, NoValue, NoValue, NoValue), 1000},
        {"a slow line is raised to 50", Move(1, 10, 20, -5, 20), 50},
        {"a line at its F", Move(1, 10, 20, -5, 450), 450},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Mill.ProcessCNCData(c.Data);
        EXPECT_EQ(Mill.GetFeedrate(), c.Feed);
        Loop.Advance(5000);
    }
}

TEST_F(MachineSimulatedTest, MoveToWhereItIsReportsInTheSameCall) {
    StartRun();
    Mill.ProcessCNCData(Move(1, 0, 0, 0, 100));
    EXPECT_EQ(Done, 1);
}

TEST_F(MachineSimulatedTest, StopEndsTheMoveWhereItIsWithoutReport) {
    StartRun();
    Mill.ProcessCNCData(Move(1, 100, 0, 0, 600));
    Loop.Advance(100);
    Mill.Stop();
    Extended at = Mill.Current.X;
    Loop.Advance(2000);
    EXPECT_EQ(Mill.Current.X, at);
    EXPECT_TRUE(Mill.Idle);
    EXPECT_EQ(Done, 0);
}

TEST_F(MachineSimulatedTest, PauseFreezesTheMoveAndResumeFinishesIt) {
    StartRun();
    Mill.ProcessCNCData(Move(1, 2.5, 0, 0, 600));
    EXPECT_EQ(Mill.Current.X, 100);
    Mill.SetCycleState(csPaused);
    Loop.Advance(3000);
    EXPECT_EQ(Mill.Current.X, 100) << "nothing moves while paused";
    EXPECT_EQ(Done, 0);
    Mill.SetCycleState(csRunning);
    Loop.Advance(100);
    EXPECT_EQ(Mill.Current.X, 200);
    Loop.Advance(200);
    EXPECT_EQ(Done, 1);
}

TEST_F(MachineSimulatedTest, MoveEndingWhilePausedReportsAfterResume) {
    StartRun();
    Mill.SetCycleState(csPaused);
    Mill.ProcessCNCData(Move(1, 0, 0, 0, 100)); // already there
    Loop.Advance(1000);
    EXPECT_EQ(Done, 0) << "no block done while paused";
    Mill.SetCycleState(csRunning);
    EXPECT_EQ(Done, 1) << "the run goes on at resume";
    Mill.SetCycleState(csPaused);
    Mill.SetCycleState(csRunning);
    EXPECT_EQ(Done, 1) << "reported once";
}

TEST_F(MachineSimulatedTest, DwellEndingWhilePausedReportsAfterResume) {
    StartRun();
    Mill.ProcessCNCData(Move(4, 500, NoValue, NoValue));
    Mill.SetCycleState(csPaused);
    Loop.Advance(2000);
    EXPECT_EQ(Done, 0);
    Mill.SetCycleState(csRunning);
    EXPECT_EQ(Done, 1);
}

TEST_F(MachineSimulatedTest, JogMovesGoOnWhilePaused) {
    Mill.MarkAllHomed();
    Mill.SetMachineMode(modeIncJog);
    Mill.SetCycleState(csPaused);
    Mill.Jog(0, true, 1);
    Loop.Advance(1000);
    EXPECT_DOUBLE_EQ(double(Position().X), 1);
}

TEST_F(MachineSimulatedTest, OverrideZeroRunsAtOnePercent) {
    StartRun();
    Mill.SetFeedOverride(0);
    EXPECT_EQ(Mill.GetFeedOverride(), 0);
    EXPECT_FALSE(HasEvent(evFeedOverride));
    Mill.ProcessCNCData(Move(1, 100, 0, 0, 1000));
    EXPECT_DOUBLE_EQ(double(Mill.EffectiveFeed), 10);
    // 10 mm/min is 1/6 mm (1000/60 steps) a second, a tenth of it a tick.
    EXPECT_NEAR(double(Mill.Current.X), 1000.0 / 60 / 10, 1e-3);
}

TEST_F(MachineSimulatedTest, HomingMovesToTheHomePositionsInSteps) {
    // [Home] X 10, Y 20, Z -5 mm; 100 steps per mm, the Z motor reversed.
    Mill.Home(HomeX);
    Mill.Home(HomeY);
    Mill.Home(HomeZ);
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(Mill.Current.X, 1000);
    EXPECT_EQ(Mill.Current.Y, 2000);
    EXPECT_EQ(Mill.Current.Z, 500);
    EXPECT_DOUBLE_EQ(double(Position().Z), -5);
    EXPECT_TRUE(Mill.HomedX && Mill.HomedY && Mill.HomedZ);
    Mill.SetMachineMode(modeAuto);
    EXPECT_EQ(Mill.Mode, modeAuto);
}

TEST_F(MachineSimulatedTest, HomingXAndYTogetherMovesNothing) {
    int64_t start = Loop.NowMs();
    Mill.Home(HomeZ);
    Mill.Home(HomeXY);
    EXPECT_EQ(Mill.Current.X, 0);
    EXPECT_EQ(Mill.Current.Y, 0);
    EXPECT_TRUE(Mill.HomedXY);
    EXPECT_LT(Loop.NowMs() - start, 2000) << "marked as soon as the wait loop runs";
    Mill.SetMachineMode(modeAuto);
    EXPECT_EQ(Mill.Mode, modeAuto);
}

TEST_F(MachineSimulatedTest, IncrementalJogIsHeldWithinTheTravel) {
    Mill.MarkAllHomed();
    Mill.SetMachineMode(modeIncJog);
    struct TCase {
        const char *Name;
        int Axis;
        bool Positive;
        double Increment, Expected; // mm
    };
    const TCase cases[] = {
        {"X+ past the travel stops at Travel X+", 0, true, 500, 300},
        {"X- within the travel", 0, false, 0.5, 299.5},
        {"Y- past the travel stops at Travel Y-", 1, false, 10, 0},
        {"Z+ past 0 on the reversed motor stops at 0", 2, true, 3, 0},
        {"Z- within the travel", 2, false, 12.5, -12.5},
        {"Z- past the travel stops at Travel Z-", 2, false, 200, -100},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Mill.Jog(c.Axis, c.Positive, c.Increment);
        Loop.Advance(200000); // 300 mm at the jog feed of 100 mm/min: three minutes
        TXYZ p = Position();
        double at = double(c.Axis == 0 ? p.X : c.Axis == 1 ? p.Y : p.Z);
        EXPECT_DOUBLE_EQ(at, c.Expected);
    }
    EXPECT_EQ(Mill.Current.X, 29950);
    EXPECT_EQ(Done, 0) << "jogs report no block";
}

TEST_F(MachineSimulatedTest, ContinuousJogRunsToTheLimitUntilStopped) {
    Mill.MarkAllHomed();
    Mill.SetMachineMode(modeJog);
    Mill.SetJogFeed(600);
    Mill.Jog(2, false, 0);
    Loop.Advance(500);
    EXPECT_GT(Mill.Current.Z, 0) << "Z- on the reversed motor counts steps up";
    Mill.Stop();
    Extended at = Mill.Current.Z;
    Loop.Advance(500);
    EXPECT_EQ(Mill.Current.Z, at);
    Mill.Jog(0, true, 0);
    Loop.Advance(60000);
    EXPECT_DOUBLE_EQ(double(Position().X), 300);

    EXPECT_FALSE(Mill.JogContinuous(3, 100, true)) << "no such axis";
    Mill.SetMachineMode(modeIncJog);
    EXPECT_FALSE(Mill.JogContinuous(0, 100, true)) << "only in continuous jog mode";
}

TEST_F(MachineSimulatedTest, NoFeedScaleStillFinishesTheMove) {
    Data.Feed.StepsF = 0;
    StartRun();
    Mill.ProcessCNCData(Move(1, 50, 0, 0, 600));
    Loop.Advance(200);
    EXPECT_EQ(Done, 1);
    EXPECT_DOUBLE_EQ(double(Position().X), 50);
}

TEST_F(MachineSimulatedTest, MissingScalesNeverDivideByZero) {
    Data.Feed.StepsX = 0;
    Data.Feed.MotorDirectionY = 0;
    StartRun();
    Mill.ProcessCNCData(Move(1, 50, 60, -1, 600));
    Loop.Advance(2000);
    EXPECT_EQ(Done, 1);
    TXYZ p = Position();
    EXPECT_EQ(p.X, 0);
    EXPECT_EQ(p.Y, 0);
    EXPECT_DOUBLE_EQ(double(p.Z), -1);
}

// The engine's pull loop in small: every block done asks for the next
// record; the run ends at the end-of-program record.
class MachineSimulatedRunTest : public MachineSimulatedTest {
protected:
    void Run(std::deque<TCNC_data> Program) {
        FProgram = std::move(Program);
        Mill.OnBlockDone = [this](TObject *) {
            ++Done;
            if (FProgram.empty())
                return;
            TCNC_data next = FProgram.front();
            FProgram.pop_front();
            if (next.Motion == EndOfProgramCode) {
                Mill.SetCycleState(csStopped);
                Ended = true;
                return;
            }
            Mill.ProcessCNCData(next);
        };
        StartRun();
    }

    bool Ended = false;

private:
    std::deque<TCNC_data> FProgram;
};

TEST_F(MachineSimulatedRunTest, ProgramRunsToItsEndThroughPauseAndDwell) {
    TCNC_data dwell = Move(4, 1000, NoValue, NoValue);
    Run({Move(0, 10, 10, -2), Move(1, 40, 10, -2, 300), dwell, Move(1, 40, 50, -2, 300),
         Move(EndOfProgramCode, NoValue, NoValue, NoValue)});
    Loop.Advance(1500);
    Mill.SetCycleState(csPaused);
    Loop.Advance(10000);
    EXPECT_FALSE(Ended);
    Mill.SetCycleState(csRunning);
    for (int i = 0; i < 600 && !Ended; ++i)
        Loop.Advance(100);
    EXPECT_TRUE(Ended) << "the run never hangs after a pause";
    TXYZ p = Position();
    EXPECT_DOUBLE_EQ(double(p.X), 40);
    EXPECT_DOUBLE_EQ(double(p.Y), 50);
    EXPECT_DOUBLE_EQ(double(p.Z), -2);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MachineSimulatedRunTest, MoveBeyondTheTravelStopsTheRun) {
    Run({Move(1, 10, 10, -2, 300), Move(0, 10, 250, -2),
         Move(EndOfProgramCode, NoValue, NoValue, NoValue)});
    Loop.Advance(20000);
    EXPECT_FALSE(Ended);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Caption, "M/C Limit Error");
    EXPECT_EQ(Errors[0].Message, "Move Exceeds Limits");
    EXPECT_DOUBLE_EQ(double(Position().Y), 10);
}

} // namespace
} // namespace orv
