#pragma once
// The enabling rules of the main window's run buttons (Start, Pause, Stop,
// Rewind), its output and machine buttons and its File and Set&up menus.
// The remote inputs press the same buttons, so these rules bind them too.
// Source states: 0 not started, 1 running, 2 at end.
#include "engine/core/data_types.h"

namespace orv {

struct TRunButtons {
    bool Start = true;
    bool Pause = true;
    bool Stop = true;
    bool Rewind = true;
};

// Run-button tags.
enum : int { tagStart = 1, tagPause = 2, tagStop = 3, tagRewind = 4 };

// What the rules read of the engine after its run command.
struct TRunContext {
    bool SingleStep = false;
    int SourceState = 0;
    bool HasMachine = false;
    bool MachineInRunMode = false; // automatic or MDI mode
    bool AnySinkInSlots0To3 = false;
    bool Stopped = true;
    // The program ran to its end and has not been rewound since: the engine
    // has already put the source back to its start, but the operator rewinds
    // before a new start, so Start waits for Rewind.
    bool Ended = false;
};

// Steps before the engine's command: every button enabled, then the
// clicked one's own disabling.
TRunButtons RunButtonsForClick(int Tag, bool SingleStep);
// Steps after the engine's command: the source state and the machine.
void FinishRunButtons(TRunButtons &Buttons, const TRunContext &Context);

// The editor changed or a program ended: Rewind when the source has
// started or the program ended, Start when Rewind is not, Stop; nothing in
// single step.
void InputStateButtons(TRunButtons &Buttons, const TRunContext &Context);
// M30 or the end of the program.
void ProgramEndedButtons(TRunButtons &Buttons);

// Which of the output and machine buttons and menus the run state allows.
struct TOutputEnabling {
    bool OutputsEnabled = true; // the window's flag, also the first two output buttons
    bool Others = true;         // other outputs, Options 1-4, machine buttons, File, Set&up
};
TOutputEnabling CycleStateEnabling(TCycleState State, bool SingleStep, bool FlagBefore,
                                   bool HasMachine, bool MachineInRunMode);

// VR Machine and Machine exclude each other: one down disables the other.
struct TMachineButtonsEnabled {
    bool VR = true;
    bool Machine = true;
};
TMachineButtonsEnabled MachineButtonsEnabled(bool VRDown, bool MachineDown);

} // namespace orv
