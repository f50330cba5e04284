#include "links/MachLink.h"

#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "links/Controller.h"
#include "links/ControllerNewComms.h"
#include "links/ControllerNewCommsNewChip.h"
#include "links/GetMintVersion.h"
#include "links/LineControllers.h"
#include "links/LowLevel.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/convert.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr double Pi = 3.14159265358979323846;

bool IsUnset(int32_t Value) {
    return Value == NoMoveCode || Value == NoSteps;
}

const char *PlaneName(int Plane) {
    switch (Plane) {
    case 18:
        return "XZ plane (G18)";
    case 19:
        return "YZ plane (G19)";
    default:
        return "XY plane (G17)";
    }
}

std::string Quoted(char Letter, int Value) {
    return "\"" + std::string(1, Letter) + IntToStr(Value) + "\" ";
}

} // namespace

std::string ControllerClassName(int Type) {
    static const char *names[] = {"TControllerNewComms",        "TControllerNextMove",
                                  "TControllerQuorel",          "TControllerTRIO",
                                  "TControllerLowLevelNew",     "TController",
                                  "TControllerNewCommsNewChip", "TControllerNextMoveES"};
    return Type >= 0 && Type <= 7 ? names[Type] : "TController";
}

void SaveComPort(TRead_Machinedata_file &MachineData, int Port) {
    MachineData.Communications.ComPort = Port;
    // The file as found on disk: the name in the machine list is relative
    // to its folder and may carry the other system's separators.
    const std::string &file = MachineData.MachineFilePath().empty() ? MachineData.MachineFile
                                                                    : MachineData.MachineFilePath();
    if (!file.empty())
        TIniFile(file).WriteInteger("Communications", "Com Port", Port);
}

TMachLink::TMachLink(TBaseForm *Owner)
    : TBasicMachine(Owner), TimeoutTimer(std::make_unique<TTimer>()) {
    IsRealMachine = true;
    TimeoutTimer->OnTimer = [this] {
        TimeoutTimer->SetEnabled(false);
        TimedOut = true;
    };
}

TMachLink::~TMachLink() {
    Destroying = true;
    TimeoutTimer->SetEnabled(false);
    if (Controller) {
        int port = MachineData ? MachineData->Communications.ComPort : 0;
        int baud = MachineData ? MachineData->Communications.BaudRate : 0;
        Controller->Close(port, baud);
        Controller.reset();
    }
}

// ---------------------------------------------------------------- helpers

double TMachLink::StepsPerMm(int Axis) const {
    if (!MachineData)
        return 0;
    const TFeedData &f = MachineData->Feed;
    return Axis == 0 ? f.StepsX : Axis == 1 ? f.StepsY : f.StepsZ;
}

int TMachLink::MotorDirection(int Axis) const {
    if (!MachineData)
        return 1;
    const TFeedData &f = MachineData->Feed;
    int d = Axis == 0 ? f.MotorDirectionX : Axis == 1 ? f.MotorDirectionY : f.MotorDirectionZ;
    return d < 0 ? -1 : 1;
}

double TMachLink::TravelLimit(int Axis, bool Positive) const {
    if (!MachineData)
        return 0;
    const TMachineCapability &c = MachineData->MachineCapability;
    if (Axis == 0)
        return Positive ? c.TravelXPlus : c.TravelXMinus;
    if (Axis == 1)
        return Positive ? c.TravelYPlus : c.TravelYMinus;
    return Positive ? c.TravelZPlus : c.TravelZMinus;
}

// mm/min to steps per second with "Steps per mill F".
int TMachLink::FeedSteps(double MmPerMin) const {
    double stepsF = MachineData ? MachineData->Feed.StepsF : 0;
    return Round(MmPerMin * stepsF / 60, 0);
}

int TMachLink::RapidFeedSteps() const {
    return FeedSteps(MachineData ? MachineData->Feed.MaximumRateZ : 0);
}

bool TMachLink::ManualSpindle() const {
    return MachineData && MachineData->Spindle.Manual;
}

// An OK/Cancel box; Cancel reports the error and answers false.
bool TMachLink::AskManual(const std::string &Prompt, int Value, const std::string &Caption,
                          const std::string &Details) {
    int answer =
        MessageDlg("", Mess().Translate(Prompt) + IntToStr(Value), mtInformation, mbOKCancel);
    if (answer != mrCancel)
        return true;
    MachineError(-1, Caption, "Program Aborted", Details);
    return false;
}

std::string TMachLink::MotionTimeOutText(int TimeOutMs) const {
    return "The axes did not stop within " + IntToStr(TimeOutMs / 1000) + " s";
}

// Waits for the axes to stop: false after Escape (the machine stops), an
// open guard, a stop, an emergency stop, a failed line, or TimeOutMs (a
// machine error for Escape, the guard and the time-out; the others
// quietly: a stop is the caller's, the e-stop shows on the status line,
// the failed line has been reported).
bool TMachLink::WaitIdle(const std::string &What, int TimeOutMs) {
    TWaitResult result = WaitFor([this] { return IsIdle(); }, TimeOutMs);
    switch (result) {
    case TWaitResult::Done:
        return true;
    case TWaitResult::Stopped:
        return false;
    case TWaitResult::Escaped:
        Stop();
        MachineError(-1, "Machine Error",
                     "\"" + What + "\" " + Mess().Translate("operation aborted"),
                     "User pressed escape");
        return false;
    case TWaitResult::Unsafe:
        Stop();
        MachineError(-1, "Machine Error", Mess().Translate("Machine not safe"),
                     "Close the Guard !");
        return false;
    case TWaitResult::EStopped:
        Stop(); // no box: the poll puts the emergency stop on the status line
        return false;
    case TWaitResult::Lost:
        return false; // the failed line has been reported
    default:
        Stop();
        MachineError(-1, "Machine Error",
                     "\"" + What + "\" " + Mess().Translate("operation Timed Out"),
                     MotionTimeOutText(TimeOutMs));
        return false;
    }
}

// ---------------------------------------------------------------- connect

std::unique_ptr<TBasicController> TMachLink::CreateController(int Type) {
    if (auto line = CreateLineController(Type, SettingsFile))
        return line;
    std::unique_ptr<TController> c;
    if (Type == 0)
        c = std::make_unique<TControllerNewComms>();
    else if (Type == 6)
        c = std::make_unique<TControllerNewCommsNewChip>();
    else if (Type >= 0 && Type <= 7 && Type != 5)
        return nullptr; // those controllers are not in this program yet
    else
        c = std::make_unique<TController>();
    c->SettingsFile = SettingsFile;
    c->Worker().ProgressFactory = ProgressFactory;
    return c;
}

void TMachLink::FillController() {
    TBasicController &c = *Controller;
    const TRead_Machinedata_file &m = *MachineData;
    c.MachineData = MachineData;
    c.NotifyWindow = NotifyWindow;
    HomeNegativeX = m.Home.NegativeX;
    HomeNegativeY = m.Home.NegativeY;
    HomeNegativeZ = m.Home.NegativeZ;
    c.HomeOffsetX = HomeOffsetX;
    c.HomeOffsetY = HomeOffsetY;
    c.HomeOffsetZ = HomeOffsetZ;
    c.SpindleMaximum = m.Spindle.MaximumSpeed;
    c.SpindleMinimum = m.Spindle.MinimumSpeed;
    c.MaxRateX = m.Feed.MaximumRateX * m.Feed.StepsX / 60;
    c.MaxRateY = m.Feed.MaximumRateY * m.Feed.StepsY / 60;
    c.MaxRateZ = m.Feed.MaximumRateZ * m.Feed.StepsZ / 60;
    c.ShortestContour = Round(m.Feed.ShortestContour * m.Feed.StepsZ, 0);
    c.ShortestTime = Round(m.Feed.ShortestTime * 1000, 0);
    c.HomeFeed = m.Home.Feed * m.Feed.StepsZ / 60;
    c.ProgramFile = m.Communications.MintFile;
    TCodeTimeout = m.TCodeTimeOut();
    c.OnDone = [this](TObject *Sender, bool InPos) { InPositionChanged(Sender, InPos); };
    c.SetErrorHandler([this](TObject *Sender, int Line, const std::string &Caption,
                             const std::string &Message, const std::string &Details) {
        ControllerError(Sender, Line, Caption, Message, Details);
    });
    c.OnStopped = [this](TObject *Sender) { ControllerStopped(Sender); };
    c.UnderInspection = m.MachineCapability.UnderInspection;
    c.SetPollingDelay(m.Communications.PollingDelay);
}

bool TMachLink::Initialise() {
    if (!MachineData) {
        MachineError(-1, "Machine Error", Mess().Translate("Machine data incomplete"),
                     "No machine data");
        return false;
    }
    if (RefuseIncompleteMachineData())
        return false;
    const TRead_Machinedata_file &m = *MachineData;
    ControlType = m.Communications.ControlType;
    HomeOffsetX = HomeOffsetY = HomeOffsetZ = 0;
    std::string main = SettingsFile.empty() ? m.MainSettingsFile : SettingsFile;
    bool debug = false;
    if (!main.empty())
        debug =
            SameText(TIniFile(main).ReadString("Default Settings", "MintDebug", "False"), "TRUE");
    // Control Types 0 and 6 are told apart by the controller's version; a
    // port the probe had to search for is saved in the machine data.
    if ((ControlType == 0 || ControlType == 6) &&
        !ProbeMintController(const_cast<TRead_Machinedata_file &>(*MachineData), SettingsFile,
                             ControlType, VersionText, InitialTool))
        return false;
    Controller = CreateController(ControlType);
    if (!Controller) {
        MachineError(-1, "Machine Error",
                     Mess().Translate("Control Type not available") + " " + IntToStr(ControlType),
                     "Control Type " + IntToStr(ControlType) + " (" +
                         ControllerClassName(ControlType) +
                         ") is not available in this program; Control Type 5 is.");
        return false;
    }
    if (ControlType == 2 || ControlType == 7)
        Controller->SetDebug(debug);
    FillController();
    const TCommunications &c = m.Communications;
    if (!Controller->Open(c.ComPort, c.BaudRate, c.StopBits, c.HardwareHandshaking)) {
        Controller.reset();
        return false;
    }
    // The start feed in mm/min, held at the fastest axis rate; SetFeedrate
    // converts it for the controller once.
    MaxFeed = Round(std::max({m.Feed.MaximumRateX, m.Feed.MaximumRateY, m.Feed.MaximumRateZ}), 0);
    SetFeedrate(Round(m.Feed.MaximumRateZ, 0));
    Controller->WriteComms(comms::FeedPot, m.MachineCapability.FeedPot ? 1 : 0);
    Controller->WriteComms(comms::SpeedPot, m.MachineCapability.SpeedPot ? 1 : 0);
    Controller->WriteComms(comms::AutoChanger, m.ToolChange.AutoChanger ? 1 : 0);
    Controller->WriteComms(comms::RemoteCycle, m.InputDevices.RemoteControlCycle ? 1 : 0);
    Controller->WriteComms(comms::RemoteVice, m.InputDevices.RemoteControlVice ? 1 : 0);
    SetSpindleSpeed(m.Spindle.MinimumSpeed);
    return TBasicMachine::Initialise();
}

void TMachLink::ControllerError(TObject *Sender, int Line, const std::string &Caption,
                                const std::string &Message, const std::string &Details) {
    if (OnMachineError)
        OnMachineError(Sender, Line, Caption, Message, Details);
}

void TMachLink::ControllerStopped(TObject *Sender) {
    Event.Kind = evEstop;
    Event.Flag = true;
    if (OnMachineEvent && !Destroying)
        OnMachineEvent(this, Event);
}

// ---------------------------------------------------------------- blocks

bool TMachLink::ProcessBlock(const TMachineBlock &Source) {
    auto stopped = [this] { return CycleState == csStopped; };
    TMachineBlock b = Source;
    ApplyBlockTool(b);
    if (stopped())
        return false;
    ApplyBlockSpeed(b);
    if (stopped())
        return false;
    int m = b.M;
    ExecuteMCode(m);
    b.M = m;
    if (stopped())
        return false;
    ApplyBlockFeed(b);
    if (stopped())
        return false;
    return ExecuteMove(b);
}

void TMachLink::ApplyBlockSpeed(const TMachineBlock &Block) {
    int s = Block.S;
    if (EStopped || IsUnset(s) || s == GetSpindleSpeed())
        return;
    if (ManualSpindle() && !AskManual("Change manual spindle speed to S", s, "S Code Error",
                                      "Manual spindle speed change cancelled by user"))
        return;
    SetSpindleSpeed(s);
}

void TMachLink::ApplyBlockTool(const TMachineBlock &Block) {
    if (EStopped || IsUnset(Block.T) || Block.BlockType == -3 || Block.T == GetCurrentTool())
        return;
    ToolChange(Block.T);
}

void TMachLink::ApplyBlockFeed(const TMachineBlock &Block) {
    if (EStopped || !Controller || !MachineData)
        return;
    const TFeedData &f = MachineData->Feed;
    int limit =
        std::max({FeedSteps(f.MaximumRateX), FeedSteps(f.MaximumRateY), FeedSteps(f.MaximumRateZ)});
    int feed = std::min(Block.Feed, limit);
    if (Block.BlockType == 0 || Block.BlockType == 28)
        Controller->SetFeedRate(RapidFeedSteps());
    else if (feed != ControllerFeed)
        Controller->SetFeedRate(feed);
    ControllerFeed = Controller->GetFeedRate();
}

void TMachLink::LinearMove(int32_t X, int32_t Y, int32_t Z) {
    if (EStopped || !Controller)
        return;
    MovePending = true;
    Controller->MoveLinear(X, Y, Z, LookAhead);
}

void TMachLink::RapidMove(int32_t X, int32_t Y, int32_t Z) {
    if (EStopped || !Controller)
        return;
    MovePending = true;
    Controller->MoveRapid(X, Y, Z);
}

void TMachLink::ArcMove(int32_t X, int32_t Y, int32_t Z, int32_t I, int32_t J, int32_t K,
                        int32_t Radius, Extended Sweep, int ArcPlane) {
    if (EStopped || !Controller)
        return;
    if (ArcPlane == 18 || ArcPlane == 19) {
        MachineError(CurrentBlock ? CurrentBlock->LineNumber : -1, "Machine Error",
                     Mess().Translate("Arc plane not supported"),
                     Mess().Translate("The controller cuts arcs in the XY plane (G17) only; "
                                      "this arc is in the ") +
                         Mess().Translate(PlaneName(ArcPlane)));
        return;
    }
    MovePending = true;
    double sweep = double(Sweep);
    if (std::fabs(sweep) < 0.0001) {
        Controller->MoveArc(X, Y, Z, I, J, K, Radius, 360, LookAhead, ArcPlane);
        return;
    }
    if (std::fabs(2 * Pi * Radius * sweep / 360) > 1) {
        Controller->MoveArc(X, Y, Z, I, J, K, Radius, sweep, LookAhead, ArcPlane);
        return;
    }
    MovePending = false; // shorter than one step
    BlockDone();
}

void TMachLink::ReferenceMove(int32_t X, int32_t Y, int32_t Z) {
    if (EStopped)
        return;
    if (X != NoSteps || Y != NoSteps || Z != NoSteps) {
        BlockDone(); // a reference return with coordinates does not move
        return;
    }
    double sx = StepsPerMm(0), sy = StepsPerMm(1), sz = StepsPerMm(2);
    LastPosition = {sx ? HomeOffsetX / sx : 0, sy ? HomeOffsetY / sy : 0,
                    sz ? HomeOffsetZ / sz : 0};
    RapidMove(HomeOffsetX, HomeOffsetY, HomeOffsetZ);
}

void TMachLink::Dwell() {
    if (ControlType != 2 && ControlType != 3 && !WaitIdle("G4", HomingTimeOutMs()))
        return;
    TBasicMachine::Dwell();
}

// ---------------------------------------------------------------- state

void TMachLink::SetFeedrate(int Feed) {
    TBasicMachine::SetFeedrate(Feed);
    if (Controller)
        Controller->SetFeedRate(FeedSteps(Feedrate));
}

void TMachLink::SetSpindleSpeed(int Speed) {
    TBasicMachine::SetSpindleSpeed(Speed);
    if (Controller)
        Controller->SetSpindleSpeed(SpindleSpeed);
}

int TMachLink::GetFeedOverride() {
    if (Controller && MachineData && MachineData->MachineCapability.FeedPot)
        return Controller->GetFeedOverride();
    return TBasicMachine::GetFeedOverride();
}

void TMachLink::SetFeedOverride(int Percent) {
    TBasicMachine::SetFeedOverride(Percent);
    if (Controller)
        Controller->SetFeedOverride(Percent);
}

int TMachLink::GetSpeedOverride() {
    if (Controller && MachineData && MachineData->MachineCapability.SpeedPot)
        return Controller->GetSpindleOverride();
    return TBasicMachine::GetSpeedOverride();
}

void TMachLink::SetSpeedOverride(int Percent) {
    TBasicMachine::SetSpeedOverride(Percent);
    if (Controller)
        Controller->SetSpindleOverride(Percent);
}

void TMachLink::SetTurboMode(bool On) {
    TBasicMachine::SetTurboMode(On);
    if (Controller)
        Controller->SetTurboMode(On);
}

void TMachLink::SetMachineMode(TMachineMode NewMode) {
    TBasicMachine::SetMachineMode(NewMode);
    if (Controller)
        Controller->WriteComms(comms::Mode, int(NewMode));
}

void TMachLink::SetCycleState(TCycleState State) {
    CycleState = State;
    if (Controller)
        Controller->SetCycleState(State);
    TBasicMachine::SetCycleState(State);
}

bool TMachLink::IsEStopped() {
    EStopped = Controller ? Controller->IsStopped() : false;
    return EStopped;
}

void TMachLink::GetPosition(TMachinePosition &P) {
    int32_t x = 0, y = 0, z = 0;
    bool valid = Controller && Controller->GetPosition(x, y, z);
    P.X = x;
    P.Y = y;
    P.Z = z;
    P.Valid = valid;
    P.LookAhead = LookAhead;
    if (valid)
        P.Stopped = Controller->IsStopped();
}

// The run starts from where the controller says the axes are; without a
// valid read the position stays unknown until the first block sets it.
void TMachLink::CycleStart() {
    if (EStopped)
        return;
    TMachinePosition p;
    GetPosition(p);
    if (p.Valid && Convertor) {
        Convertor->FromMachine(p);
        LastPosition = {p.X, p.Y, p.Z};
    } else {
        LastPosition = {NoSteps, NoSteps, NoSteps};
    }
    if (Controller)
        Controller->SetTurboMode(TurboMode);
    TBasicMachine::CycleStart();
}

void TMachLink::Stop() {
    if (Controller) {
        Controller->Stop();
        Controller->WriteComms(comms::Handshake, 0);
    }
    TBasicMachine::Stop();
}

// ---------------------------------------------------------------- M, S, T

void TMachLink::ExecuteMCode(int &M) {
    TBasicMachine::ExecuteMCode(M);
    if (IsUnset(M))
        return;
    if (M >= 200)
        M -= 200;
    if (M != 5 && EStopped)
        return;
    if (ManualSpindle()) {
        if ((M == 3 || M == 4 || M == 13 || M == 14) &&
            !AskManual("START the spindle manually - M", M, "Spindle Error",
                       "Manual spindle start cancelled by user"))
            return;
        if ((M == 5 || M == 0 || M == 1 || M == 2) &&
            !AskManual("STOP the spindle manually - M", M, "Spindle Error",
                       "Manual spindle stop cancelled by user"))
            return;
    }
    if (!Controller)
        return;
    if (!Connected()) {
        M = NoMoveCode; // a failed line takes nothing but a stop
        return;
    }
    Controller->WriteComms(comms::MCode, M);
    // [M<n>] "Timeout", or the file's "M Code TimeOut" for 0 and for codes
    // without a record: every M code ends in time.
    TWaitResult result =
        WaitHandshake(MachineData ? MachineData->MCodeTimeOut(M) : DefaultMCodeTimeOut);
    if (result == TWaitResult::TimedOut && OnMachineError)
        MachineError(-1, "Mcode error", Quoted('M', M) + Mess().Translate("operation Timed Out"),
                     "");
    M = NoMoveCode;
}

void TMachLink::ToolChange(int Tool) {
    if (Tool <= 0 || !Controller || !Connected() || IsEStopped())
        return;
    // In a run the change moves the axes: never on a machine whose homing
    // failed or was not done.
    if (CycleState != csStopped && !IsHomed()) {
        MachineError(-1, ToolChangeErrorCaption, Mess().Translate("Machine not homed"),
                     "Cannot Toolchange\nHome the machine first !");
        return;
    }
    if (!Controller->IsSafe()) {
        MachineError(-1, ToolChangeErrorCaption, Mess().Translate("Machine not safe"),
                     "Cannot Toolchange\nClose the Guard !");
        return;
    }
    const TToolChangeData &tc = MachineData->ToolChange;
    // The change position in steps, with the motors' directions.
    auto steps = [this](int Axis, double Mm) {
        return Round(Mm * StepsPerMm(Axis) * MotorDirection(Axis), 0);
    };
    Controller->SetFeedRate(RapidFeedSteps());
    Controller->MoveLinear(steps(0, tc.X), steps(1, tc.Y), steps(2, tc.Z), false);
    DelayMs(100);
    if (!WaitIdle("T" + IntToStr(Tool), TCodeTimeout))
        return;
    LastPosition = {tc.X, tc.Y, tc.Z};
    Controller->WriteComms(comms::Tool, Tool);
    TWaitResult result = WaitHandshake(TCodeTimeout > 0 ? TCodeTimeout : DefaultTCodeTimeOut);
    if (result == TWaitResult::Stopped || result == TWaitResult::Lost)
        return;
    if (result == TWaitResult::Done) {
        Controller->ToolChanging = true;
        TBasicMachine::ToolChange(Tool);
        Controller->ToolChanging = false;
        if (!Controller->IsSafe())
            MachineError(-1, ToolChangeErrorCaption, Quoted('T', Tool),
                         "Guard must be closed after manual toolchange");
    } else {
        MachineError(-1, ToolChangeErrorCaption,
                     Quoted('T', Tool) + Mess().Translate("operation Timed Out"), "");
    }
}

// The controller clears entry 1 when it has carried out the command. The
// entry is read again every WaitPaceMs; the wait ends then, at TimeOutMs or
// on Escape (TimedOut both), or quietly (Stopped) on a stop, an emergency
// stop (the poll reports it) or a failed line (reported already).
TWaitResult TMachLink::WaitHandshake(int TimeOutMs) {
    TimeoutTimer->SetEnabled(false);
    TimeoutTimer->SetInterval(TimeOutMs);
    TimeoutTimer->SetEnabled(true);
    TimedOut = false;
    int stops = StopCount();
    TWaitResult result = TWaitResult::TimedOut;
    for (;;) {
        DelayMs(WaitPaceMs);
        if (EventLoop().KeyDown(VK_ESCAPE))
            TimedOut = true;
        if (TimedOut)
            break;
        if (!Connected()) {
            result = TWaitResult::Lost;
            break;
        }
        if (StopCount() != stops || IsEStopped()) {
            result = TWaitResult::Stopped;
            break;
        }
        Extended handshake = Controller->ReadComms(comms::Handshake);
        if (HasCommsValue(handshake) && handshake == 0) {
            result = TWaitResult::Done;
            break;
        }
    }
    TimeoutTimer->SetEnabled(false);
    return result;
}

bool TMachLink::Connected() {
    return Controller && Controller->Connected();
}

// ---------------------------------------------------------------- home, jog

void TMachLink::HomeAxis(int Code) {
    if (!Controller)
        return;
    int dirX = HomeNegativeX ? 2 : 0, dirY = HomeNegativeY ? 2 : 0, dirZ = HomeNegativeZ ? 2 : 0;
    switch (Code) {
    case HomeX:
        Controller->Home(0, dirX);
        DelayMs(100);
        break;
    case HomeY:
        Controller->Home(1, dirY);
        break;
    case HomeZ:
        Controller->Home(2, dirZ);
        break;
    case HomeXY:
        Controller->Home(0, dirX);
        DelayMs(100);
        Controller->Home(1, dirY);
        break;
    default:
        break;
    }
}

bool TMachLink::JogContinuous(int Axis, int Feed, bool Positive) {
    Jogging = true;
    if (Axis < 0 || Axis > 2 || !Controller || !MachineData)
        return true;
    const TFeedData &f = MachineData->Feed;
    double maxRate = Axis == 0 ? f.MaximumRateX : Axis == 1 ? f.MaximumRateY : f.MaximumRateZ;
    Feed = std::min(Feed, Round(maxRate, Feed));
    int32_t target =
        Round(TravelLimit(Axis, Positive) * StepsPerMm(Axis) * MotorDirection(Axis), 0);
    Controller->SetFeedRate(FeedSteps(Feed));
    Controller->MoveAxisAbsolute(Axis, target);
    if (!Jogging)
        Stop();
    return true;
}

// Distance in mm; the target is held within the travel, and the motor's
// direction turns millimetres into steps as for every other move.
void TMachLink::JogIncrement(int Axis, int Feed, double Distance) {
    if (Axis < 0 || Axis > 2 || !Controller || !MachineData)
        return;
    int timeOut = MachineData->MCodeTimeOut(-1);
    TMachinePosition p;
    TWaitResult result = WaitFor(
        [this, &p] {
            GetPosition(p);
            return p.Valid;
        },
        timeOut);
    if (result != TWaitResult::Done) {
        if (result == TWaitResult::TimedOut)
            MachineError(-1, "Machine Error", Mess().Translate("No position from the controller"),
                         "The controller gave no valid position within " +
                             IntToStr(timeOut / 1000) + " s");
        return;
    }
    double scale = StepsPerMm(Axis) * MotorDirection(Axis);
    if (scale == 0)
        return;
    double current = (Axis == 0 ? p.X : Axis == 1 ? p.Y : p.Z) / scale;
    double target =
        std::clamp(current + Distance, TravelLimit(Axis, false), TravelLimit(Axis, true));
    Controller->SetFeedRate(FeedSteps(Feed));
    Controller->MoveAxisRelative(Axis, Round((target - current) * scale, 0));
}

// ---------------------------------------------------------------- polls

bool TMachLink::IsSafe() {
    return Controller && Controller->IsSafe();
}

bool TMachLink::IsIdle() {
    InPosition = Controller && Controller->IsIdle() && !Controller->IsStopped();
    return InPosition;
}

void TMachLink::InPositionChanged(TObject *Sender, bool InPos) {
    InPosition = InPos;
    if (!MovePending)
        return;
    if (InPos || LookAhead) {
        MovePending = false;
        BlockDone();
    }
}

void TMachLink::ShowVersion() {
    std::string version;
    if (Controller)
        Controller->GetVersion(version);
    MessageDlg("",
               Mess().Translate("Corvane Machine Control") + "\r" +
                   Mess().Translate("MINT Version ") + version.substr(0, 255),
               mtInformation, mbOK);
}

void TMachLink::GetMachinePosition(TXYZ &P) {
    int32_t x, y, z;
    if (Controller && Controller->GetPosition(x, y, z)) {
        P = {Extended(x), Extended(y), Extended(z)};
        return;
    }
    P = {NoSteps, NoSteps, NoSteps};
}

} // namespace orv
