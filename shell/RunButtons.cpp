#include "shell/RunButtons.h"

namespace orv {

TRunButtons RunButtonsForClick(int Tag, bool SingleStep) {
    TRunButtons b;
    switch (Tag) {
    case tagStart:
        if (SingleStep)
            b.Pause = false;
        else
            b.Start = b.Rewind = false;
        break;
    case tagPause:
        b.Pause = false;
        b.Rewind = false;
        break;
    case tagStop:
        b.Pause = false;
        break;
    case tagRewind:
        b.Rewind = false;
        b.Start = true;
        break;
    default:
        break;
    }
    return b;
}

void FinishRunButtons(TRunButtons &Buttons, const TRunContext &Context) {
    if (Context.SourceState == 2 && !Context.SingleStep)
        Buttons.Start = false;
    if (Context.SourceState != 1)
        Buttons.Pause = false;
    // A machine in a manual mode with no output to drive: the program can
    // only be started again from the buttons.
    if (Context.HasMachine && !Context.MachineInRunMode && !Context.AnySinkInSlots0To3 &&
        Context.Stopped) {
        Buttons.Start = true;
        if (Context.SourceState != 0)
            Buttons.Rewind = true;
    }
    if (Context.Ended) {
        Buttons.Start = false;
        Buttons.Rewind = true;
    }
}

void InputStateButtons(TRunButtons &Buttons, const TRunContext &Context) {
    if (Context.SingleStep)
        return;
    Buttons.Rewind = Context.SourceState != 0 || Context.Ended;
    Buttons.Start = !Buttons.Rewind;
    Buttons.Stop = true;
}

void ProgramEndedButtons(TRunButtons &Buttons) {
    Buttons.Start = false;
    Buttons.Pause = false;
    Buttons.Rewind = true;
}

TOutputEnabling CycleStateEnabling(TCycleState State, bool SingleStep, bool FlagBefore,
                                   bool HasMachine, bool MachineInRunMode) {
    TOutputEnabling e;
    e.OutputsEnabled = FlagBefore;
    if (State == csStopped || State == csPaused) {
        if (!SingleStep)
            e.OutputsEnabled = true;
    } else if (State == csRunning) {
        e.OutputsEnabled = false;
    }
    e.Others = e.OutputsEnabled && !(HasMachine && MachineInRunMode);
    return e;
}

TMachineButtonsEnabled MachineButtonsEnabled(bool VRDown, bool MachineDown) {
    TMachineButtonsEnabled e;
    e.Machine = !VRDown;
    e.VR = !MachineDown;
    return e;
}

} // namespace orv
