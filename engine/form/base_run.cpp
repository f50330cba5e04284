// The engine form's run control and pull loop. A run is driven from the
// consumer side: every active output (and the machine in automatic or MDI
// mode) asks for the next move through NextNotify; when all have asked, one
// move is pulled through the chain and handed to each output in slot order.
//
// The loop is iterative: an output that asks again from inside its Execute
// only marks itself as waiting, and the outermost NextNotify hands out the
// next move after the current one has reached every output. So a program of
// any length runs in constant stack depth with the same order of calls.

#include "engine/form/base.h"

#include "engine/chain/BasicInput.h"
#include "engine/chain/BasicOutput.h"
#include "engine/form/BlockSearchOutput.h"
#include "engine/form/EngineRequests.h"
#include "engine/form/FanucScreen.h"
#include "engine/core/CNCLineParser.h"
#include "engine/chain/CNC_ABS.h"
#include "engine/chain/CNC_Metric.h"
#include "engine/chain/Calc_CNC.h"
#include "engine/expand/CircularExpand.h"
#include "engine/expand/Cutter_comp.h"
#include "engine/expand/CycleExpand.h"
#include "engine/expand/Optimise.h"
#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/BasicControlPanel.h"
#include "machine/BasicMachine.h"
#include "platform/NumberText.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "machine/Machine_Tooling.h"
#include "machine/Work_piece_offset.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/convert.h"

#include <charconv>
#include <cstring>
#include <iterator>

namespace orv {

namespace {

std::string Translate(const std::string &Text) { return Mess().Translate(Text); }

std::string PlainNumber(double Value) { return FormatFixed(Value, 3); }

// The modal groups 0 to 22 at start-up; group 6, the units, follows the
// engine's units. A rewind sets groups 0 to 11 and the rotation, polar and
// mirror groups back to these.
constexpr int32_t StartModalGroups[23] = {-1000, 0,  17, 90, 22, 94, 21, 40, 49, 80, 98, 50,
                                          67,    97, 54, 64, 69, 15, -1, 150, 67, -1, 0};
constexpr int RewoundGroupCount = 12;

} // namespace

// --- Run state ---

void TBaseForm::SetCycleState(TCycleState State)
{
    FRunState = State;
    for (auto &output : FOutputs) {
        if (!output)
            continue;
        output->SetCycleState(State);
        output->SingleStep = FSingleStep;
    }
    if (FSource)
        FSource->SetCycleState(State);
    if (FWorkOffsets)
        FWorkOffsets->SetCycleState(State);
    SendPanelEvent(evCycleState, State, false);
    if (OnCycleStateChanged)
        OnCycleStateChanged(this);
    // The machine last: a simulated machine hands on a block done held over
    // a pause as it resumes, and the run that follows must find every other
    // party already told.
    if (FMachine)
        FMachine->SetCycleState(State);
}

void TBaseForm::SaveScreenSaver()
{
    if (FScreenSaverSaved)
        return;
    FSavedScreenSaver = FHost.ScreenSaverActive();
    FScreenSaverSaved = true;
    FHost.SetScreenSaverActive(false);
}

void TBaseForm::RestoreScreenSaver()
{
    if (!FScreenSaverSaved)
        return;
    FScreenSaverSaved = false;
    FHost.SetScreenSaverActive(FSavedScreenSaver);
}

void TBaseForm::CycleStart()
{
    ShowPausedText(false);
    DDEBusy();
    if (FRunState == csPaused) {
        // The feed goes back before the run goes on, so the next block's
        // own feed is not overwritten by the one saved at the pause.
        if (FMachine)
            FMachine->SetFeedrate(Round(FSavedFeed));
        SetCycleState(csRunning);
        return;
    }
    if (FRunState != csStopped || !CheckOutputs())
        return;
    // The screen saver is saved once, as the run leaves the stopped state,
    // so a pause and resume cannot save the switched-off state over it.
    SaveScreenSaver();
    FreeBuriedOutputs();
    // A start after a stop goes on where the run stopped: the blocks the
    // chain has read ahead (the cutter compensation's look-ahead, the
    // optimiser's window, the rest of a block in the move queue) are the
    // program's next ones. A rewind or a new program forgets them.
    FCalc->Stopped = false;
    FOptimise->Stopped = false;
    FCutter->Stopped = false;
    ClearWaiting();
    SetCycleState(csRunning);
    FEndMark = 0;
    if (MachineInRunMode())
        MachineClick();
    StartOutputs();
}

// Starts the outputs in slot order; their first requests only mark them as
// waiting, and the loop runs once every output has started.
void TBaseForm::StartOutputs()
{
    FPulling = true;
    for (int slot = 0; slot < SlotCount; ++slot) {
        TBasicOutput *output = FOutputs[slot].get();
        if (!output)
            continue;
        output->FileName = FProgramFile;
        output->Start();
    }
    FPulling = false;
    PullLoop();
}

bool TBaseForm::CheckOutputs()
{
    static const TMainButton outputs[] = {TMainButton::PostOutput, TMainButton::Compiled,
                                          TMainButton::Output2D, TMainButton::Output3D,
                                          TMainButton::BlockSearch};
    if (!ConfirmRealMachineRun())
        return false;
    for (TMainButton b : outputs)
        if (FHost.ButtonDown(b))
            return true;
    if (MachineInRunMode())
        return true;
    if (FMachine) {
        Mess().ShowMessageByIndex(25, mtWarning, mbOK);
        return false;
    }
    std::vector<TMainButton> chosen;
    if (!FHost.ChooseOutputs(chosen) || chosen.empty())
        return false;
    for (TMainButton b : chosen)
        FHost.ClickButton(b);
    return true;
}

bool TBaseForm::ConfirmRealMachineRun()
{
    if (!FMachine || !FMachine->IsRealMachine || !MachineInRunMode())
        return true;
    TDIniFile settings(MainIniPath());
    if (!settings.ReadBool("Default Settings", "Warn ON Play", true))
        return true;
    bool dontShowAgain = false;
    const bool run = FHost.ConfirmMachineRun(dontShowAgain);
    if (dontShowAgain)
        settings.WriteBool("Default Settings", "Warn ON Play", false);
    return run;
}

void TBaseForm::ShowPausedText(bool Paused)
{
    if (Paused) {
        FHost.SetStatusText(2, 4, Translate("Program Paused"), true);
        FPausedShown = true;
        return;
    }
    if (FPausedShown)
        FHost.SetStatusText(2, 4, " ", false);
    FPausedShown = false;
}

// The DDE clients follow the run: busy while it goes, idle with the last
// command once it ends.
void TBaseForm::DDEBusy()
{
    if (!OnDDESend || !FMachineData || !FMachineData->InputDevices.CIMDDEInput ||
        DDEDevice.State == 0)
        return;
    DDEDevice.State = 0;
    OnDDESend("BUSY ");
}

void TBaseForm::DDEIdle()
{
    if (!OnDDESend || !FMachineData || !FMachineData->InputDevices.CIMDDEInput ||
        DDEDevice.State == 1)
        return;
    DDEDevice.State = 1;
    OnDDESend(DDEIdleText(DDEDevice));
}

void TBaseForm::CyclePause()
{
    ShowPausedText(true);
    DDEBusy();
    if (FRunState == csPaused) {
        if (FMachine)
            FMachine->SetFeedrate(Round(FSavedFeed));
        SetCycleState(csRunning);
        return;
    }
    if (FRunState != csRunning)
        return;
    SetCycleState(csPaused);
    if (FMachine) {
        FSavedFeed = FMachine->GetFeedrate();
        FMachine->SetFeedrate(0);
    }
}

void TBaseForm::StopAll()
{
    SetCycleState(csStopped);
    FMachineInRun = false;
    if (FMachine) {
        FMachine->OnBlockDone = nullptr;
        FMachine->Stop();
    }
    if (FCutter)
        FCutter->Stopped = true;
    if (FOptimise)
        FOptimise->Stopped = true;
    if (FCalc)
        FCalc->Stopped = true;
    for (auto &output : FOutputs)
        if (output)
            output->Stop();
}

void TBaseForm::CycleStop()
{
    RestoreScreenSaver();
    StopAll();
    SetCycleState(csStopped);
    if (FCalc)
        FCalc->Stopped = true;
    for (auto &output : FOutputs)
        if (output)
            output->Stopped = true;
    if (FSource)
        FSource->HideExpanded();
    DDEIdle();
}

void TBaseForm::CycleRewind()
{
    FCurrentLine = -1;
    CycleStop();
    DDEBusy();
    if (FSource)
        FSource->Rewind();
    for (int slot = SlotCount - 1; slot >= 0; --slot)
        if (FOutputs[slot])
            FOutputs[slot]->Rewind();
    ResetWorkShift();
    DDEIdle();
    FHost.ResetCycleTime();
    ForgetRunState();
}

// What the chain keeps of the run so far (the position reached, the modal
// state, the sub-program calls, the blocks read ahead) goes: the next
// start begins at a program's first line as a first run does.
void TBaseForm::ForgetRunState()
{
    FSubPrograms.clear();
    FSubIdentityCount = 0;
    if (FResetOnRewind) {
        for (int g = 0; g < RewoundGroupCount; ++g)
            FGroups.Groups[g] = StartModalGroups[g];
        for (int g : {gMirror, gRotation, gPolar})
            FGroups.Groups[g] = StartModalGroups[g];
        FGroups.Groups[gUnits] = FInch ? 20 : 21;
        FGroups.Words[wF] = 0;
        FTransform = TTransformPanels();
        FHost.ShowTransformPanels(FTransform);
    }
    for (double &axis : FReplayPosition)
        axis = 0;
    // The stages forget their remembered positions, so a second run of an
    // incremental program starts where the first one did. The shared block
    // keeps the last axis words too: the first block of the new run would
    // hand them back to the absolute stage.
    for (int axis : {wX, wY, wZ, wA, wB, wC})
        FGroups.Words[axis] = 0;
    FABS->Rewind();
    FCalc->Rewind();
    ForgetReadAhead();
}

void TBaseForm::ForgetReadAhead()
{
    FCalc->ClearQueue();
    FOptimise->ResetCount();
    FCutter->Primed = false;
    FCircular->ClearPending();
    FCycle->ClearPending();
}

void TBaseForm::SetSingleStep(bool On)
{
    FSingleStep = On;
    if (FPanel)
        FPanel->SetSingleStep(On);
}

void TBaseForm::SetBlockSkip(bool On)
{
    FBlockSkip = On;
    for (auto &output : FOutputs)
        if (output)
            output->BlockSkip = On;
    if (FABS)
        FABS->BlockSkip = On;
    if (FMachine)
        FMachine->BlockSkip = On;
    if (FPanel)
        FPanel->SetBlockSkip(On);
}

// --- The rendezvous ---

int TBaseForm::ConsumerOf(TObject *Sender) const
{
    static const int bySlot[SlotCount] = {cn2D, cnSimulation, cnCompiled,
                                          cnPost, cnOpenGL,     cnBlockSearch};
    for (int slot = 0; slot < SlotCount; ++slot)
        if (Sender && FOutputs[slot].get() == Sender)
            return bySlot[slot];
    // The machine in the slot takes part as the machine link does, the
    // simulated one and the VR link too, so it is never handed a move while
    // it moves.
    if (Sender && Sender == FMachine.get())
        return cnMachineLink;
    return -1;
}

// A consumer takes part when its button is down (and, for an output, the
// output exists: an empty slot can never ask, so it must not hold the run).
// The slot is looked at before the host is asked: most slots are empty.
bool TBaseForm::ConsumerExpected(int Consumer) const
{
    auto down = [this](TMainButton b) { return FHost.ButtonDown(b); };
    switch (Consumer) {
    case cnSimulation:
        return FOutputs[slotSimulation] && down(TMainButton::Output3D) &&
               FHost.Choice3DChecked(Choice3DSimulationControl);
    case cnOpenGL:
        return FOutputs[slotOpenGL] && down(TMainButton::Output3D) &&
               FHost.Choice3DChecked(Choice3DOpenGL);
    case cn2D:
        return FOutputs[slot2D] && down(TMainButton::Output2D);
    case cnPost:
        return FOutputs[slotPost] && down(TMainButton::PostOutput);
    case cnCompiled:
        return FOutputs[slotCompiled] && down(TMainButton::Compiled);
    case cnBlockSearch:
        return FOutputs[slotBlockSearch] && down(TMainButton::BlockSearch);
    case cnMachineLink:
        return FMachineInRun && MachineInRunMode();
    default:
        return false; // the VR link takes part as the machine (cnMachineLink)
    }
}

bool TBaseForm::RendezvousComplete(const TConsumerSet &Expected) const
{
    return FWaiting == Expected;
}

bool TBaseForm::HasConsumer(const TConsumerSet &Expected) const
{
    for (bool expected : Expected)
        if (expected)
            return true;
    return MachineInRunMode();
}

void TBaseForm::ClearWaiting() { FWaiting.fill(false); }

// Sleeps in the event loop until the operator starts or stops the run
// again (a button, a panel key, a remote input: each comes as a message),
// so a paused run leaves the core idle.
void TBaseForm::WaitWhilePaused()
{
    while (FRunState == csPaused)
        EventLoop().WaitForMessages();
}

void TBaseForm::NextNotify(TObject *Sender)
{
    if (FRunState == csStopped) {
        CycleStop();
        return;
    }
    if (FRunState == csPaused && !FPulling) {
        SetCycleState(csPaused);
        WaitWhilePaused();
    }
    int consumer = ConsumerOf(Sender);
    if (consumer >= 0)
        FWaiting[consumer] = true;
    PullLoop();
}

// One move per completed rendezvous; a request that arrives while a move is
// being handed out is served by the next turn of this loop.
void TBaseForm::PullLoop()
{
    if (FPulling) {
        FCallPending = true;
        return;
    }
    FPulling = true;
    do {
        FCallPending = false;
        if (FRunState == csStopped)
            break;
        // Asked once per turn: nothing between the two questions changes it.
        TConsumerSet expected;
        for (int c = 0; c < ConsumerCount; ++c)
            expected[c] = ConsumerExpected(c);
        if (!HasConsumer(expected)) {
            CycleStop();
            break;
        }
        if (!RendezvousComplete(expected))
            break;
        ClearWaiting();
        HandOut();
    } while (FCallPending);
    FPulling = false;
}

void TBaseForm::HandOut()
{
    // A pause that came while the move before was handed out holds the run
    // here, before the chain is asked: the chain gives nothing while the run
    // is paused, and the empty move taken then would end the program.
    if (FRunState == csPaused) {
        WaitWhilePaused();
        if (FRunState == csStopped)
            return;
    }
    if (!TakeNextMove())
        return;
    if (FData.Motion == -4 || FData.Motion == -5) {
        SetSingleStep(FData.Motion == -4);
        FHost.ShowExecuteMode(FSingleStep);
    }
    // Single block: the move waits in the paused state for the next start.
    // The end record does not wait: the run is already stopped.
    bool hold = FSingleStep || FRunState == csPaused;
    if (hold && FRunState != csStopped) {
        SetCycleState(csPaused);
        WaitWhilePaused();
    }
    bool compiledM30 = FSourceKind == skCompiled && RecordInt(FCompiledRecord, xnc::MCode) == 30;
    if (FData.MCode == 30 || compiledM30 || FData.Motion == EndOfProgramCode)
        FEndMark = 30;
    ShowBlockEvents(FData);
    ChangeToolForRun(FData);
    EventLoop().ProcessMessages();
    HandToOutputs();
    if (FMachineInRun && MachineInRunMode() && FData.Motion != EndOfProgramCode) {
        TMachineCall call(*this);
        FMachine->ProcessCNCData(FData);
    }
    AfterHandOut(FEndMark);
}

bool TBaseForm::TakeNextMove()
{
    switch (FSourceKind) {
    case skCompiled:
        return TakeCompiledMove();
    case skFile:
    case skEditor:
    case skFanuc21:
    case 5:
    case 6:
    case skMDI:
    case skFanuc0M:
        break;
    default:
        throw EBaseError(Translate("NextNotify Input Type not supported"));
    }
    bool delivered = FCalc->GetNextData(FData);
    if (delivered || FRunState == csStopped) {
        bool searching = FHost.ButtonDown(TMainButton::BlockSearch);
        if (!searching && FSource)
            FSource->HiliteLine(FData.InputPosition, FData.Level);
        FCurrentLine = FData.LineNumber;
    }
    if (!delivered && FRunState != csStopped) {
        FData.Motion = EndOfProgramCode;
        SetCycleState(csStopped);
    }
    return true;
}

bool TBaseForm::TakeCompiledMove()
{
    // Without a source the run ends here; the compiled source gives the end
    // record itself when it has no more (or a bad one, which it reports).
    if (FSource)
        FSource->ReadRecord(FCompiledRecord);
    else
        SetRecordInt(FCompiledRecord, xnc::Motion, EndOfProgramCode);
    EventLoop().ProcessMessages();
    CopyCompiledRecord(FCompiledRecord, FData);
    ReplayArcShape();
    if (FData.Motion == EndOfProgramCode)
        SetCycleState(csStopped);
    return true;
}

// The compiled file carries no sweep, radius or plane: a replayed arc gets
// its own from its start (the end of the move before), end and centre.
void TBaseForm::ReplayArcShape()
{
    int32_t motion = FData.Motion;
    bool isArc = motion == 2 || motion == 3;
    if (!isArc) {
        // As the move calculator gives them: no arc data on other records.
        FData.Sweep = 0;
        FData.Radius = 0;
    }
    bool moves = (motion >= 0 && motion <= 3) || motion == 92;
    if (!moves)
        return;
    double end[3] = {FData.X, FData.Y, FData.Z};
    for (int axis = 0; axis < 3; ++axis)
        if (end[axis] == NoValue)
            end[axis] = FReplayPosition[axis];
    if (isArc) {
        double centre[3] = {FData.I, FData.J, FData.K};
        TArcShape shape = ArcShapeFromPoints(motion, FReplayPosition, end, centre);
        FData.Plane = shape.Plane;
        FData.Sweep = shape.Sweep;
        FData.Radius = shape.Radius;
    }
    for (int axis = 0; axis < 3; ++axis)
        FReplayPosition[axis] = end[axis];
}

void TBaseForm::HandToOutputs()
{
    bool announced = false;
    for (int slot = 0; slot < SlotCount; ++slot) {
        TBasicOutput *output = FOutputs[slot].get();
        if (!output)
            continue;
        bool isEnd = FData.Motion == EndOfProgramCode;
        bool stopped = FRunState == csStopped;
        if (isEnd != stopped)
            continue;
        if (!announced && OnHandOut)
            OnHandOut(FData);
        announced = true;
        output->Execute(FData);
    }
}

void TBaseForm::CloseCompiledOutput()
{
    if (FOutputs[slotCompiled])
        ReleaseThroughHost(slotCompiled);
}

void TBaseForm::AfterHandOut(int EndMark)
{
    if (EndMark == 30 && FRunState == csStopped) {
        if (OnProgramEnded)
            OnProgramEnded(this);
        CycleRewind();
        CloseCompiledOutput();
        if (OnInputStateChanged)
            OnInputStateChanged(this);
        FEndMark = 0;
    }
    if (FData.Motion == EndOfProgramCode) {
        if (OnProgramEnded)
            OnProgramEnded(this);
        CloseCompiledOutput();
        if (OnInputStateChanged)
            OnInputStateChanged(this);
        DDEIdle();
    }
}

// --- Block events for the main window ---

void TBaseForm::ShowTransform()
{
    FHost.ShowTransformPanels(FTransform);
}

void TBaseForm::ShowBlockEvents(TCNC_data &Data)
{
    bool inch = FInch;
    switch (Data.Motion) {
    case -11:
        MessageDlg(Translate("CNC Message"), Data.Text, mtInformation, mbOK);
        break;
    case -12:
        FHost.SetStatusText(2, 4, Data.Text, true);
        break;
    case -13:
        FHost.SetStatusText(2, 4, " ", false);
        break;
    default:
        break;
    }
    SelectWorkOffsetByCode(Data);
    bool changed = false;
    if (!Data.BlockDelete) {
        switch (Data.MCode) {
        case 70: FTransform.MirrorX = changed = true; break;
        case 71: FTransform.MirrorY = changed = true; break;
        case 80: FTransform.MirrorX = false; changed = true; break;
        case 81: FTransform.MirrorY = false; changed = true; break;
        default: break;
        }
    }
    if (Data.Motion == 51) {
        FTransform.ScalingVisible = true;
        FTransform.ScalingText = "X " + FloatToUnitsText(inch, Data.X) + " Y " +
                                 FloatToUnitsText(inch, Data.Y) + " Z " +
                                 FloatToUnitsText(inch, Data.Z) + " I " + PlainNumber(Data.I) +
                                 " J " + PlainNumber(Data.J) + " K " + PlainNumber(Data.K);
        changed = true;
    } else if (Data.Motion == 50) {
        FTransform.ScalingVisible = false;
        changed = true;
    }
    if (Data.Motion == 68) {
        std::string z = Data.Z == NoValue ? "???" : FloatToUnitsText(inch, Data.Z);
        FTransform.RotationVisible = true;
        FTransform.RotationText = "X " + FloatToUnitsText(inch, Data.X) + " Y " +
                                  FloatToUnitsText(inch, Data.Y) + " Z " + z + " R " +
                                  PlainNumber(Data.R);
        changed = true;
    } else if (Data.Motion == 69) {
        FTransform.RotationVisible = false;
        changed = true;
    }
    if (changed)
        ShowTransform();
    if (Data.MCode == 0 && FMachine && FRunState == csRunning)
        FHost.ClickButton(TMainButton::Pause); // program stop
}

void TBaseForm::ShowModalData(const TCNC_Groups &Groups)
{
    if (!FHost.ModalDataVisible()) {
        FModalShownValid = false;
        return;
    }
    // The labels show groups 1 to 25 (the G groups, M code, spindle, tool),
    // which most blocks leave as they were.
    static_assert(gMCode == 23 && gSpindle == 24 && gTool == 25);
    if (FModalShownValid &&
        std::memcmp(FModalShown + 1, Groups.Groups + 1, 25 * sizeof(int32_t)) == 0)
        return;
    // A label whose value has not changed since it was written is left alone.
    auto unchanged = [this, &Groups](int Label) {
        const int32_t v = Groups.Groups[Label];
        if (FModalShownValid && FModalShown[Label] == v)
            return true;
        FModalShown[Label] = v;
        return false;
    };
    for (int g = 1; g <= 22; ++g) {
        if (unchanged(g))
            continue;
        // " G--" when unset, else " G" and at least two digits.
        const int32_t v = Groups.Groups[g];
        char text[16] = " G--";
        char *end = text + 4;
        if (v >= 0) {
            text[2] = '0';
            end = std::to_chars(text + (v > 9 ? 2 : 3), std::end(text), v).ptr;
        }
        FHost.SetModalLabel(g, std::string(text, end));
    }
    if (!unchanged(gMCode))
        FHost.SetModalLabel(23, "M" + IntToStr(Groups.Groups[gMCode]));
    if (!unchanged(gSpindle))
        FHost.SetModalLabel(24, "S" + IntToStr(Groups.Groups[gSpindle]));
    if (!unchanged(gTool))
        FHost.SetModalLabel(25, "T" + IntToStr(Groups.Groups[gTool]));
    FModalShownValid = true;
}

void TBaseForm::ResetModalGroups()
{
    FModalShownValid = false;
    for (int g = 0; g < GroupCount; ++g)
        FGroups.Groups[g] = -1;
    for (int g = 0; g < int(std::size(StartModalGroups)); ++g)
        FGroups.Groups[g] = StartModalGroups[g];
    FGroups.Groups[gUnits] = FInch ? 20 : 21;
    FGroups.Groups[gMCode] = 0;
    FGroups.Words[wM] = 0;
    FGroups.Groups[gTool] = FTooling ? FTooling->CurrentTool() : 0;
    FGroups.Groups[gSpindle] = 0;
}

// --- Pipeline handlers ---

void TBaseForm::Calc_CNCNextNotify(TObject *)
{
    if (FRunState != csRunning)
        return;
    // The compensation's own record is calculated where it lies; with no
    // block (the stage stopped) an empty one is.
    TCNC_Groups *next = FCutter->Next();
    if (!next) {
        FEmptyBlock.Reset();
        next = &FEmptyBlock;
    }
    TCNC_Groups &block = *next;
    FCalc->Calculate(block);
    if (FSource) {
        if (!block.GeneratedText.empty() && ShowExpanded)
            FSource->ShowExpandedText(block.GeneratedText);
        else
            FSource->HideExpanded();
    }
    ShowModalData(block);
}

void TBaseForm::Cutter_compNextCompNotify(TObject *, TCNC_Groups &Data)
{
    if (FRunState != csRunning)
        return;
    FCycle->GetNext(Data);
}

void TBaseForm::CycleExpandNextCycleNotify(TObject *, TCNC_Groups &Data)
{
    if (FRunState != csRunning)
        return;
    FCircular->GetNext(Data);
}

void TBaseForm::CircularExpandNextCycleNotify(TObject *, TCNC_Groups &Data)
{
    if (FRunState != csRunning)
        return;
    FOptimise->GetNext(Data);
}

void TBaseForm::OptimiseNextNotify(TObject *, TCNC_Groups &Data)
{
    if (FRunState != csRunning)
        return;
    CNC_ABSNextNotify(this);
    Data = FGroups; // Data is a plain record of the optimiser's window
}

// The machine's reference point ([Home], machine mm) in program
// coordinates: where a G28 leaves the tool for the blocks after it.
void TBaseForm::KeepReferencePoint()
{
    if (!FMachineData || !FConvertor)
        return;
    const THomeData &home = FMachineData->Home;
    FABS->ReferencePoint.X = home.X - FConvertor->OffsetX;
    FABS->ReferencePoint.Y = home.Y - FConvertor->OffsetY;
    FABS->ReferencePoint.Z = home.Z - FConvertor->OffsetZ - FConvertor->ToolLength;
}

// The source's next line; a source that fails by throwing (a stream that
// raises on a read error) fails like one that reports it, so nothing it
// throws reaches the event loop.
int TBaseForm::ReadSourceLine(std::string &Line, int &LineNumber, int &Level, std::string &Error)
{
    try {
        int position = FSource->ReadLine(Line, LineNumber, Level);
        if (position == ReadLineFailed)
            Error = FSource->LastError();
        return position;
    } catch (const std::exception &e) {
        Error = Mess().Translate("Error reading file ") + FProgramFile + ": " + e.what();
        return ReadLineFailed;
    }
}

void TBaseForm::CNC_ABSNextNotify(TObject *)
{
    if (FRunState != csRunning)
        return;
    // One line buffer for the whole run: a long line costs no allocation.
    std::string &line = FSourceLine;
    line.clear();
    int lineNumber = 0;
    int level = 0;
    std::string readError;
    int position = FSource ? ReadSourceLine(line, lineNumber, level, readError) : -1;
    if (position == ReadLineFailed) {
        FM_ParserErrorEvent(this, lineNumber, readError, Mess().MessageText(37));
        return;
    }
    if (line.empty())
        line = "(Blank";
    if (position == EndOfMainProgram) {
        FGroups.Words[wG] = EndOfProgramCode;
        FGroups.WordSet[wG] = true;
        lineNumber = -1;
    }
    FGroups.InputPosition = position;
    FGroups.LineNumber = lineNumber;
    FGroups.Level = level;
    if (!FParser->ParseLine(line, FGroups))
        return;
    if (!JumpInMainProgram())
        return;
    KeepReferencePoint();
    if (FMetric->ConvertToMetric(FGroups))
        FABS->MakeAbsolute(FGroups);
    CallSubprogram();
    // A nested level that ends without M99 returns to its caller.
    ReturnFromSubprogram(position == EndOfLevel);
    if (FGroups.GroupSet[gKeyword] && FGroups.Groups[gKeyword] == 8)
        RegisterSubprogram(FGroups.RestOfLine);
}

} // namespace orv
