// The engine form between the control panel and the machine: the panel's
// requests go to the machine, the machine's events go back to the panel and
// to the main window's buttons; the panel command codes of the Fanuc screens
// and the main window's hidden buttons; putting a machine and a panel into
// the engine; machine errors; the messages the controller threads post.

#include "engine/form/base.h"

#include "engine/chain/BasicInput.h"
#include "engine/expand/Cutter_comp.h"
#include "engine/core/ResStrings.h"
#include "engine/core/Mess.h"
#include "machine/BasicControlPanel.h"
#include "machine/BasicMachine.h"
#include "machine/DummyLinkMill.h"
#include "machine/MachineProblem.h"
#include "machine/Machine_Tooling.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/SettingsPassword.h"
#include "machine/Work_piece_offset.h"
#include "platform/NumberText.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"

#include <algorithm>

namespace orv {

namespace {

std::string Translate(const std::string &Text) { return Mess().Translate(Text); }

bool IsJogRequest(uint8_t Kind) { return Kind >= rqJogXPlus && Kind <= rqJogZMinus; }

bool IsMachineMode(int32_t Value) { return Value >= modeHome && Value <= modeIncJog; }

// Codes 0 to 20, 24, 25 and 34 to 44 need both a machine and a panel.
bool CommandNeedsMachine(int Code)
{
    return (Code >= 0 && Code <= 20) || Code == 24 || Code == 25 || (Code >= 34 && Code <= 44);
}

// Jog increments of the codes 34 to 38, mm.
constexpr Extended CommandIncrements[] = {0.005, 0.01, 0.1, 1.0, 5.0};

// Override limits, percent.
constexpr int FeedOverrideMax = 150;
constexpr int SpeedOverrideMin = 50;
constexpr int SpeedOverrideMax = 120;
constexpr int OverrideStep = 5;

// The engine's own request or event record, made once and filled afresh for
// each use: no allocation per jog or button, and a handler that serves
// messages while it reads its record never has it freed under it.
TChangeData &Refill(std::unique_ptr<TChangeData> &Record, uint8_t Kind, int32_t IntValue)
{
    if (!Record)
        Record = std::make_unique<TChangeData>();
    *Record = TChangeData();
    Record->Kind = Kind;
    Record->IntValue = IntValue;
    return *Record;
}

// What the machine's polls reported before this panel came (one made once
// the operator answered the machine's first tool change): e-stop, guard
// and homing marks. Before the first poll the panel waits for it.
void ShowMachineState(const TBasicMachine &M, TBasicControlPanel &P)
{
    if (!M.FirstPollDone)
        return;
    P.SetSafe(M.LastSafe);
    P.SetEstop(M.LastEStop);
    const std::pair<bool, int> marks[] = {{M.HomedX, HomeX}, {M.HomedY, HomeY}, {M.HomedZ, HomeZ},
                                          {M.HomedXY, HomeXY}, {M.AllHomed, HomeAll}};
    bool any = false;
    for (auto [homed, code] : marks)
        if (homed) {
            P.SetHasHomed(code);
            any = true;
        }
    if (!any)
        P.ClearHomed();
}

} // namespace

// --- Putting a machine and a panel into the engine ---

std::unique_ptr<TBasicControlPanel> TEngineHost::CreateStandardPanel(TBaseForm &)
{
    return nullptr;
}

bool TBaseForm::MachineInRunMode() const
{
    return FMachine && (FMachine->Mode == modeAuto || FMachine->Mode == modeMDI);
}

void TBaseForm::WireMachine()
{
    TBasicMachine &m = *FMachine;
    m.Convertor = FConvertor.get();
    m.MachineData = FMachineData.get();
    m.Tooling = FTooling.get();
    m.OnTurboChanged = [this](TObject *Sender, bool On) { TurboChanged(Sender, On); };
    FHost.SetKeyHandler([this](int Key) { EngineKeyDown(Key); });
    m.OnMachineEvent = [this](TObject *Sender, TChangeData &Data) { PanelRequest(Sender, Data); };
    m.OnPositionChanged = [this](TObject *Sender, TMachineReadout &Readout) {
        ShowPosition(Sender, Readout);
    };
    m.SetUnits(Units());
    m.OnMachineError = [this](TObject *Sender, int Line, const std::string &Caption,
                              const std::string &Msg, const std::string &Details) {
        MachineError(Sender, Line, Caption, Msg, Details);
    };
    m.BlockSkip = FBlockSkip;
    if (FPanel)
        FPanel->SetMachineIsReal(m.IsRealMachine);
    Machine_tooling1Tool_Z_offsetChanged(this);
}

std::unique_ptr<TBasicMachine> TEngineHost::CreateMachineLink(TBaseForm &)
{
    return nullptr;
}

bool TBaseForm::InsertMachine(std::unique_ptr<TBasicMachine> Machine, bool IsVRLink)
{
    FreeMachine();
    FMachine = std::move(Machine);
    FMachineIsVR = IsVRLink;
    if (!FMachine)
        return false;
    WireMachine();
    if (!FMachine->Initialise())
        return false; // not connected: the machine stays, without a controller
    if (FWorkOffsets && FWorkOffsets->WindowOpen())
        AttachMachineToOffsets();
    // The machine starts with the tool the changer has in the spindle.
    if (FMachine && FTooling && FTooling->CurrentTool() > 0)
        FMachine->ToolChange(FTooling->CurrentTool());
    return true;
}

bool TBaseForm::MakeMachineLink()
{
    std::unique_ptr<TBasicMachine> link = FHost.CreateMachineLink(*this);
    if (!link)
        return false;
    const bool ready = InsertMachine(std::move(link));
    FOperatorMachine = FMachine != nullptr;
    return ready;
}

void TBaseForm::MakeSimulatedMachine()
{
    if (FMachine)
        return;
    InsertMachine(std::make_unique<TDummyLinkMill>(this));
    if (FFanucScreen)
        TakeOverPanel(FFanucScreen->ControlPanel());
}

bool TBaseForm::HasSimulatedMachine() const
{
    return dynamic_cast<TDummyLinkMill *>(FMachine.get()) != nullptr;
}

void TBaseForm::FreeMachine()
{
    std::unique_ptr<TBasicMachine> machine = std::move(FMachine);
    FMachineInRun = false;
    FMachineIsVR = false;
    FOperatorMachine = false;
    if (!machine)
        return;
    AttachMachineToOffsets();
    machine->OnBlockDone = nullptr;
    machine->OnMachineEvent = nullptr;
    machine->OnMachineError = nullptr;
    machine->OnPositionChanged = nullptr;
    machine->OnTurboChanged = nullptr;
    machine->Stop();
    if (FMachineCalls > 0)
        FRetiredMachines.push_back(std::move(machine));
}

void TBaseForm::LeaveMachineCall()
{
    if (--FMachineCalls == 0)
        FRetiredMachines.clear();
}

void TBaseForm::MakeStandardPanel()
{
    FreeStandardPanel();
    FStandardPanel = FHost.CreateStandardPanel(*this);
    if (FStandardPanel)
        TakeOverPanel(FStandardPanel.get());
}

void TBaseForm::FreeStandardPanel()
{
    if (FPanel && FPanel == FStandardPanel.get())
        FPanel = nullptr;
    FStandardPanel.reset();
}

void TBaseForm::TakeOverPanel(TBasicControlPanel *Panel)
{
    if (Panel != FStandardPanel.get())
        FreeStandardPanel();
    FPanel = Panel;
    if (!FPanel)
        return;
    FPanel->JogKeys = FJogKeys;
    FPanel->MachineTooling = FTooling.get();
    FPanel->MachData = FMachineData.get();
    FPanel->OnMachineRequest = [this](TObject *Sender, TRequestData &Data) {
        MachineRequest(Sender, Data);
    };
    FPanel->MDISourceIP = [this](TObject *Sender, TBasicInput *&MDIInput, bool Show) {
        MDISourceChanged(Sender, MDIInput, Show);
    };
    FPanel->SetUnits(Units());
    FPanel->Initialise();
    if (FMachine)
        FPanel->SetMachineIsReal(FMachine->IsRealMachine);
}

void TBaseForm::MDISourceChanged(TObject *Sender, TBasicInput *&MDIInput, bool Show)
{
    if (Show) {
        if (!MDIInput || FMDISource == MDIInput)
            return;
        if (!FMDISource) {
            FKeptSource = FSource;
            FKeptSourceKind = FSourceKind;
        }
        FMDISource = MDIInput;
        FSource = MDIInput;
        FSourceKind = skMDI;
        WireSource();
        return;
    }
    if (!FMDISource || FMDISource != MDIInput)
        return;
    FMDISource = nullptr;
    FSource = FKeptSource;
    FSourceKind = FKeptSourceKind;
    FKeptSource = nullptr;
    FKeptSourceKind = skNone;
    if (!FDestroyed) // the panel leaves with the engine: nothing to wire
        WireSource();
}

void TBaseForm::MachineClick()
{
    if (!FMachine)
        return;
    FMachine->OnBlockDone = [this](TObject *Sender) { NextNotify(Sender); };
    FMachineInRun = true;
    TMachineCall call(*this);
    FMachine->CycleStart();
}

// --- Requests from the panel to the machine ---

void TBaseForm::MachineRequest(TObject *Sender, TChangeData &Data)
{
    if (!FMachine)
        return; // every request waits for a machine
    TMachineCall call(*this);
    TBasicMachine &m = *FMachine;
    if (IsJogRequest(Data.Kind)) {
        int axis = (Data.Kind - rqJogXPlus) / 2;
        bool positive = (Data.Kind - rqJogXPlus) % 2 == 0;
        m.Jogging = true;
        m.Jog(axis, positive, Data.Value);
        return;
    }
    switch (Data.Kind) {
    case rqMachineMode:
        if (IsMachineMode(Data.IntValue))
            m.SetMachineMode(TMachineMode(Data.IntValue));
        break;
    case rqJogFeed: m.SetJogFeed(Data.IntValue); break;
    case rqFeedOverride: m.SetFeedOverride(Round(Data.Value)); break;
    case rqSpindleSpeed: m.SetJogSpeed(Data.IntValue); break;
    case rqSpeedOverride: m.SetSpeedOverride(Round(Data.Value)); break;
    case rqMCode: {
        int code = Data.IntValue;
        m.ExecuteMCode(code);
        break;
    }
    case rqJogStop:
        if (m.Jogging)
            m.Stop();
        m.Jogging = false;
        break;
    default: OtherMachineRequest(Data); break;
    }
}

void TBaseForm::OtherMachineRequest(TChangeData &Data)
{
    TBasicMachine &m = *FMachine;
    switch (Data.Kind) {
    case rqHome:
        // Home all: Z first, out of the way, then X and Y together; not X
        // and Y when Z failed (the tool may still be down in the work).
        if (Data.IntValue == HomeAll) {
            m.Home(HomeZ);
            if (FMachine.get() == &m && m.HomedZ)
                m.Home(HomeXY);
        } else {
            m.Home(Data.IntValue);
        }
        break;
    case rqSetHomed: m.MarkAllHomed(); break;
    case rqRefreshPosition: m.ForcePositionReport = true; break;
    case rqRefreshState:
        m.SetMachineMode(m.Mode);
        m.SetFeedOverride(m.GetFeedOverride());
        m.SetSpeedOverride(m.GetSpeedOverride());
        m.SetJogFeed(m.JogFeed);
        m.SetJogSpeed(m.JogSpeed);
        if (FPanel && FMachine.get() == &m)
            ShowMachineState(m, *FPanel);
        break;
    case rqTurbo: m.SetTurboMode(Data.Flag); break;
    case rqToolZOffset: m.SetToolZOffset(); break;
    case rqShowVersion: m.ShowVersion(); break;
    case rqJogIncrement: FJogIncrement = Data.Value; break;
    default: break;
    }
}

// --- Events from the machine (and the engine) to the panel ---

// The run is stopped by an e-stop and by a guard opening during a run with
// or without a panel (the status bar names the reason); the rest only
// shows on the panel.
void TBaseForm::PanelRequest(TObject *Sender, TChangeData &Data)
{
    switch (Data.Kind) {
    case evMachineMode:
        if (IsMachineMode(Data.IntValue))
            ButtonsByMode(TMachineMode(Data.IntValue));
        break;
    case evEstop:
        // No box: the status bar says why the machine stopped.
        if (Data.Flag) {
            CycleStop();
            FHost.SetStatusText(2, 4, Translate("Emergency stop"), true);
        }
        break;
    case evSafe:
        if (!Data.Flag && FRunState == csRunning) {
            CycleStop();
            FHost.SetStatusText(2, 4, Translate("Guard open: the run was stopped"), true);
        }
        break;
    default: break;
    }
    if (FPanel)
        ShowEventOnPanel(*FPanel, Data);
}

void TBaseForm::ShowEventOnPanel(TBasicControlPanel &P, TChangeData &Data)
{
    switch (Data.Kind) {
    case evMachineMode:
        if (IsMachineMode(Data.IntValue))
            P.SetMachineMode(TMachineMode(Data.IntValue));
        break;
    case evEstop: P.SetEstop(Data.Flag); break;
    case evSafe: P.SetSafe(Data.Flag); break;
    case evCycleState:
        if (Data.IntValue >= csStopped && Data.IntValue <= csRewind)
            P.SetCycleState(TCycleState(Data.IntValue));
        break;
    case evFeedrate: P.SetFeedrate(Data.IntValue); break;
    case evSpindleSpeed: P.SetSpeedrate(Data.IntValue); break;
    case evFeedOverride: P.SetFeedOverride(Data.IntValue); break;
    case evSpeedOverride: P.SetSpeedOverride(Data.IntValue); break;
    case evSingleStep: P.SetSingleStep(Data.Flag); break;
    case evBlockSkip: P.SetBlockSkip(Data.Flag); break;
    case evInPosition: P.SetInPosition(Data.Flag); break;
    case evAxisHomed: P.SetHasHomed(Data.IntValue); break;
    case evHomingReset: P.ClearHomed(); break;
    case evToolNumber:
        P.SetToolNumber(Data.IntValue);
        Machine_tooling1Tool_Z_offsetChanged(this);
        break;
    case evToolOffsetNumber: P.SetToolOffsetNumber(Data.IntValue); break;
    case evWorkOffsetName: P.SetWorkOffsetName(Data.Text); break;
    case evToggleTurbo: P.ToggleTurbo(); break;
    default: break;
    }
}

void TBaseForm::SendPanelEvent(uint8_t Kind, int32_t IntValue, bool Flag)
{
    TChangeData &event = Refill(FEventBuffer, Kind, IntValue);
    event.Flag = Flag;
    PanelRequest(this, event);
}

// The main window's buttons that a run in automatic mode must not touch.
void TBaseForm::ButtonsByMode(TMachineMode Mode)
{
    bool enable;
    switch (Mode) {
    case modeHome:
    case modeJog:
    case modeIncJog:
    case modeMDI: enable = true; break;
    case modeAuto: enable = false; break;
    default: return;
    }
    static const TMainButton buttons[] = {TMainButton::Units,       TMainButton::Offsets,
                                          TMainButton::Tooling,     TMainButton::ToolLibrary,
                                          TMainButton::Compiled,    TMainButton::PostOutput};
    for (TMainButton b : buttons)
        FHost.SetButtonEnabled(b, enable);
    if (FMachine && FMachine->IsRealMachine)
        FHost.SetButtonEnabled(TMainButton::MachineOutput, enable);
    if (MachineIsVRLink())
        FHost.SetButtonEnabled(TMainButton::VROutput, enable);
    if (enable) {
        FHost.SetMenuEnabled(TMainMenu::File, true);
        FHost.SetMenuEnabled(TMainMenu::Setup, true);
    }
    if (Mode == modeMDI) {
        FHost.SetButtonEnabled(TMainButton::Start, true);
        FHost.SetButtonEnabled(TMainButton::Stop, true);
    }
}

void TBaseForm::ShowPosition(TObject *Sender, TMachineReadout &Position)
{
    if (FPanel)
        FPanel->ShowPosition(Position);
}

void TBaseForm::TurboChanged(TObject *Sender, bool On)
{
    FCutter->SetTurboMode(On);
}

// --- Machine errors ---

// In continuous jog the machine's errors are the jog's own business, except
// a tool change that went wrong.
void TBaseForm::MachineError(TObject *Sender, int Line, const std::string &Caption,
                             const std::string &Msg, const std::string &Details)
{
    bool jogging = FMachine && FMachine->Mode == modeJog;
    if (jogging && Caption != ToolChangeErrorCaption)
        return;
    CycleStop();
    // The machine gives the block's line counted from 1; the source flashes
    // by index from 0.
    if (FSource && Line > 0)
        FSource->FlashLine(Line - 1);
    TMachineProblem problem;
    problem.Caption = Caption.empty() ? std::string() : Translate(Caption);
    problem.Message = Mess().MessageText(23) + Translate(Msg);
    problem.Details = Details.empty() ? Translate("No Details available") : Translate(Details);
    ShowMachineProblem(problem);
}

// --- Panel command codes ---

void TBaseForm::PanelCommand(int Code)
{
    if (CommandNeedsMachine(Code) && !(FMachine && FPanel))
        return;
    if (RunCommand(Code) || ModeCommand(Code) || MachineCommand(Code))
        return;
    if (Code >= 34 && Code <= 38)
        FJogIncrement = CommandIncrements[Code - 34];
}

// Codes that act with or without a machine.
bool TBaseForm::RunCommand(int Code)
{
    switch (Code) {
    case 21: CycleStart(); return true;
    case 22: CycleStop(); return true;
    case 23: CyclePause(); return true;
    case 26: FHost.ClickButton(TMainButton::SingleBlock); return true;
    case 27: FHost.ClickButton(TMainButton::BlockSkip); return true;
    case 28: CycleRewind(); return true;
    case 29: FHost.ClickButton(TMainButton::File); return true;
    case 30: FHost.ClickButton(TMainButton::SaveAs); return true;
    case 31: FHost.ClickButton(TMainButton::Output3D); return true;
    case 32: UpdateBillet(); return true;
    default: return false;
    }
}

bool TBaseForm::ModeCommand(int Code)
{
    switch (Code) {
    case 0: RequestMode(modeMDI); return true;
    case 1: RequestMode(modeJog); return true;
    case 2: RequestMode(modeHome); return true;
    case 3: RequestMode(modeAuto); return true;
    case 12: RequestMode(modeIncJog); return true;
    case 39: RequestMode(modeEdit); return true;
    case 4: case 5: JogCommand(0, Code == 4); return true;
    case 40: case 41: JogCommand(1, Code == 40); return true;
    case 6: case 7: JogCommand(2, Code == 6); return true;
    case 17: Request(rqHome, HomeX); return true;
    case 42: Request(rqHome, HomeY); return true;
    case 18: Request(rqHome, HomeZ); return true;
    case 19: Request(rqHome, HomeAll); return true;
    default: return false;
    }
}

bool TBaseForm::MachineCommand(int Code)
{
    switch (Code) {
    case 8: case 9: FeedOverrideCommand(Code == 8 ? OverrideStep : -OverrideStep); return true;
    case 10: case 11: SpeedOverrideCommand(Code == 10 ? OverrideStep : -OverrideStep); return true;
    case 13: Request(rqMCode, 5); return true;
    case 14: ManualMCodeCommand(); return true;
    case 15: case 16:
        if (MachineInRunMode())
            Request(rqMCode, Code == 15 ? 8 : 9);
        return true;
    case 20: FPanel->ToggleCoordinates(); return true;
    case 24: Request(rqMCode, 3); return true;
    case 25: Request(rqMCode, 4); return true;
    case 43: Request(rqToolZOffset, 0); return true;
    case 44: SendPanelEvent(evToggleTurbo, 0, false); return true;
    default: return false;
    }
}

void TBaseForm::Request(uint8_t Kind, int32_t IntValue, Extended Value)
{
    TChangeData &request = Refill(FRequestBuffer, Kind, IntValue);
    request.Value = Value;
    MachineRequest(this, request);
}

void TBaseForm::RequestMode(TMachineMode Mode) { Request(rqMachineMode, Mode); }

void TBaseForm::JogCommand(int Axis, bool Positive)
{
    if (!IsJogMode(FMachine->Mode))
        return;
    uint8_t kind = uint8_t(rqJogXPlus + 2 * Axis + (Positive ? 0 : 1));
    Request(kind, 0, FJogIncrement);
}

// The knob on a real machine owns its override; the panel shows the new
// value as a machine event.
void TBaseForm::FeedOverrideCommand(int Step)
{
    if (FMachineData->MachineCapability.FeedPot && FMachine->IsRealMachine)
        return;
    int value = std::clamp(FMachine->GetFeedOverride() + Step, 0, FeedOverrideMax);
    SendPanelEvent(evFeedOverride, value, false);
}

void TBaseForm::SpeedOverrideCommand(int Step)
{
    if (FMachineData->MachineCapability.SpeedPot && FMachine->IsRealMachine)
        return;
    int value = std::clamp(FMachine->GetSpeedOverride() + Step, SpeedOverrideMin, SpeedOverrideMax);
    SendPanelEvent(evSpeedOverride, value, false);
}

void TBaseForm::ManualMCodeCommand()
{
    if (!MachineInRunMode())
        return;
    std::string text;
    if (!Messages().InputQuery(Translate("Enter an M code"),
                               Translate("Enter the M code you wish to execute here"), text))
        return;
    int32_t code = -1;
    if (!TryStrToInt(Trim(text), code)) {
        ShowMessage(ResString(SInvalidInteger, {text}));
        return;
    }
    if (code >= 0)
        Request(rqMCode, code);
}

void TBaseForm::StopJog()
{
    if (FMachine && FMachine->Jogging)
        Request(rqJogStop, 0);
}

void TBaseForm::EngineKeyDown(int Key)
{
    if (Key == VK_ESCAPE)
        CycleStop();
}

// --- Machine parameters ---

int TBaseForm::CheckSettingsPassword()
{
    if (FMachineData->MachineCapability.UnderInspection)
        return 1;
    return ExecutePasswordDialog(0);
}

void TBaseForm::SetupClick()
{
    int answer = CheckSettingsPassword();
    if (answer != 1 && answer != 7) {
        ShowMessage(Translate("Password Incorrect !") + "\n" +
                    Translate("You may not change any parameters"));
        return;
    }
    FMachineData->ShowEditor(answer != 1);
    // Read again in place: the machine and the panel hold this reader.
    FMachineData->Load();
    ApplyMachineData();
}

// --- Messages of the controller threads ---

void TBaseForm::PostControllerMessage(int Message)
{
    std::weak_ptr<int> alive = FAlive;
    EventLoop().Post([this, alive, Message] {
        if (alive.lock())
            ControllerMessage(Message);
    });
}

void TBaseForm::ControllerMessage(int Message)
{
    if (!FMachine)
        return;
    switch (Message) {
    case WM_USER + 1: FMachine->InPositionChanged(this, true); break;
    case WM_USER: FMachine->InPositionChanged(this, false); break;
    case WM_USER + 3: ShowMessage(Translate("Checksum error reply from Mint")); break;
    default: break; // WM_USER + 2: finished but not ready; nothing to do
    }
}

} // namespace orv
