// The enabling rules of the run buttons, the outputs and the machine
// buttons; the cycle-time text.
#include "shell/CycleClock.h"
#include "shell/RunButtons.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

std::string Shown(const TRunButtons &B) {
    return std::string(B.Start ? "S" : "-") + (B.Pause ? "P" : "-") + (B.Stop ? "T" : "-") +
           (B.Rewind ? "R" : "-");
}

struct TClickRow {
    const char *Name;
    int Tag;
    TRunContext After;
    const char *Expected; // Start, Pause, sTop, Rewind enabled
};

TRunContext Ctx(int SourceState, bool SingleStep = false, bool Stopped = true) {
    TRunContext c;
    c.SourceState = SourceState;
    c.SingleStep = SingleStep;
    c.Stopped = Stopped;
    return c;
}

// After the end of the program the engine has rewound the source (state 0).
TRunContext AfterTheEnd(bool SingleStep = false) {
    TRunContext c = Ctx(0, SingleStep);
    c.Ended = true;
    return c;
}

TRunContext ManualMachine(int SourceState, bool AnySink) {
    TRunContext c = Ctx(SourceState);
    c.HasMachine = true;
    c.MachineInRunMode = false;
    c.AnySinkInSlots0To3 = AnySink;
    return c;
}

TEST(RunButtons, EnablingAfterEachClick) {
    const TClickRow rows[] = {
        {"start, running", tagStart, Ctx(1, false, false), "-PT-"},
        {"start, single step", tagStart, Ctx(1, true, false), "S-TR"},
        {"start at the end, continuous", tagStart, Ctx(2, false, false), "--T-"},
        {"start at the end, single step", tagStart, Ctx(2, true, false), "S-TR"},
        {"pause while running", tagPause, Ctx(1, false, false), "S-T-"},
        {"stop while running", tagStop, Ctx(1), "S-TR"},
        {"stop at the end", tagStop, Ctx(2), "--TR"},
        {"rewind", tagRewind, Ctx(0), "S-T-"},
        {"stop, manual machine, no output", tagStop, ManualMachine(1, false), "S-TR"},
        {"rewind, manual machine, not started", tagRewind, ManualMachine(0, false), "S-T-"},
        {"stop at end, manual machine, no output", tagStop, ManualMachine(2, false), "S-TR"},
        {"stop at end, manual machine, 2D on", tagStop, ManualMachine(2, true), "--TR"},
        {"stop after the end", tagStop, AfterTheEnd(), "--TR"},
        {"stop after the end, single step", tagStop, AfterTheEnd(true), "--TR"},
        {"stop after the end, manual machine", tagStop,
         [] {
             TRunContext c = ManualMachine(0, false);
             c.Ended = true;
             return c;
         }(),
         "--TR"},
    };
    for (const TClickRow &row : rows) {
        SCOPED_TRACE(row.Name);
        TRunButtons b = RunButtonsForClick(row.Tag, row.After.SingleStep);
        FinishRunButtons(b, row.After);
        EXPECT_EQ(Shown(b), row.Expected);
    }
}

TEST(RunButtons, MachineInRunModeKeepsTheClickRule) {
    TRunContext c = Ctx(2);
    c.HasMachine = true;
    c.MachineInRunMode = true;
    TRunButtons b = RunButtonsForClick(tagStop, false);
    FinishRunButtons(b, c);
    EXPECT_EQ(Shown(b), "--TR");
}

TEST(RunButtons, InputStateAndProgramEnd) {
    TRunButtons b{false, false, false, false};
    InputStateButtons(b, Ctx(0));
    EXPECT_EQ(Shown(b), "S-T-");
    InputStateButtons(b, Ctx(1));
    EXPECT_EQ(Shown(b), "--TR");
    TRunButtons step{false, false, false, false};
    InputStateButtons(step, Ctx(1, true));
    EXPECT_EQ(Shown(step), "----") << "single step leaves the buttons alone";
    TRunButtons end{true, true, true, false};
    ProgramEndedButtons(end);
    EXPECT_EQ(Shown(end), "--TR");
    // The engine rewinds the source at the end and then reports the input
    // state: Start still waits for the operator's Rewind.
    InputStateButtons(end, AfterTheEnd());
    EXPECT_EQ(Shown(end), "--TR");
}

TEST(OutputEnabling, ByRunStateSingleStepAndMachine) {
    const struct {
        const char *Name;
        TCycleState State;
        bool SingleStep, FlagBefore, HasMachine, InRunMode;
        bool Flag, Others;
    } rows[] = {
        {"stopped", csStopped, false, false, false, false, true, true},
        {"running", csRunning, false, true, false, false, false, false},
        {"paused", csPaused, false, false, false, false, true, true},
        {"paused in single step keeps the flag", csPaused, true, false, false, false, false, false},
        {"stopped in single step keeps the flag", csStopped, true, true, false, false, true, true},
        {"rewind keeps the flag", csRewind, false, false, false, false, false, false},
        {"stopped, machine in auto", csStopped, false, false, true, true, true, false},
        {"stopped, machine in jog", csStopped, false, false, true, false, true, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        const TOutputEnabling e = CycleStateEnabling(row.State, row.SingleStep, row.FlagBefore,
                                                     row.HasMachine, row.InRunMode);
        EXPECT_EQ(e.OutputsEnabled, row.Flag);
        EXPECT_EQ(e.Others, row.Others);
    }
}

TEST(MachineButtons, MachineAndVRMachineExcludeEachOther) {
    const struct {
        bool VRDown, MachineDown, VR, Machine;
    } rows[] = {{false, false, true, true}, {true, false, true, false}, {false, true, false, true}};
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.VRDown << row.MachineDown);
        const TMachineButtonsEnabled e = MachineButtonsEnabled(row.VRDown, row.MachineDown);
        EXPECT_EQ(e.VR, row.VR);
        EXPECT_EQ(e.Machine, row.Machine);
    }
}

TEST(CycleTime, TextAndAPausedIntervalCounts) {
    EXPECT_EQ(CycleTimeText(0, "Cycle time"), " Cycle time 00:00:00");
    EXPECT_EQ(CycleTimeText(3999, "Cycle time"), " Cycle time 00:00:03");
    EXPECT_EQ(CycleTimeText((2 * 3600 + 5 * 60 + 9) * 1000LL, "Cycle time"),
              " Cycle time 02:05:09");
    TCycleClock clock;
    EXPECT_EQ(clock.Update(0, "Cycle time"), " Cycle time 00:00:00"); // the start at clock 0
    EXPECT_EQ(clock.Update(61000, "Cycle time"), " Cycle time 00:01:01");
    clock.Reset();
    EXPECT_EQ(clock.Update(70000, "Cycle time"), " Cycle time 00:00:00");
}

} // namespace
} // namespace orv
