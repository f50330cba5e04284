#include "machine/BasicMachine.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/Machine_Tooling.h"
#include "machine/MoveValidator.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/StopWatch.h"
#include "machine/convert.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

namespace {

constexpr int DefaultPollMs = 300;
constexpr int FallbackHomingMs = 60000;

bool IsEventRecord(int Motion) {
    return Motion >= -999 && Motion <= -1;
}
bool IsLineOrRapid(int Motion) {
    return Motion == 0 || Motion == 1;
}
bool IsArc(int Motion) {
    return Motion == 2 || Motion == 3;
}

// A G28 reaches the machine as two records of motion 28: a rapid to the
// intermediate point (the axes the block names) and the return leg itself,
// which carries no coordinates.
bool IsReturnLeg(const TCNC_data &Data) {
    return Data.Motion == 28 && Data.X == NoValue && Data.Y == NoValue && Data.Z == NoValue;
}

int NamedAxes(const TCNC_data &Data) {
    return (Data.X != NoValue ? 1 : 0) | (Data.Y != NoValue ? 2 : 0) | (Data.Z != NoValue ? 4 : 0);
}

// The two coordinates of a point in an arc's plane (17 XY, 18 XZ, 19 YZ).
void PlaneAxes(int Plane, double X, double Y, double Z, double &U, double &V) {
    U = Plane == 19 ? Y : X;
    V = Plane == 17 ? Y : Z;
}

} // namespace

TBasicMachine::TBasicMachine(TBaseForm *Owner)
    : CurrentBlock(std::make_unique<TCNC_data>()), Owner(Owner),
      FPollTimer(std::make_unique<TTimer>()) {
    FPollTimer->OnTimer = [this] { PollMachine(); };
}

TBasicMachine::~TBasicMachine() {
    Destroying = true;
    FreeDwellCounter();
    FPollTimer->SetEnabled(false);
}

void TBasicMachine::SetUnits(TUnits NewUnits) {
    Units = NewUnits;
    Decimals = NewUnits == Inch ? 4 : 3;
}

// ---------------------------------------------------------------- events

void TBasicMachine::RaiseEvent(uint8_t Kind) {
    Event.Kind = Kind;
    if (OnMachineEvent)
        OnMachineEvent(this, Event);
}

void TBasicMachine::RaiseEvent(uint8_t Kind, int IntValue) {
    Event.IntValue = IntValue;
    RaiseEvent(Kind);
}

void TBasicMachine::RaiseFlagEvent(uint8_t Kind, bool Flag) {
    Event.Flag = Flag;
    RaiseEvent(Kind);
}

void TBasicMachine::MachineError(int Line, const std::string &Caption, const std::string &Message,
                                 const std::string &Details) {
    if (OnMachineError)
        OnMachineError(this, Line, Caption, Message, Details);
}

void TBasicMachine::BlockDone() {
    if (OnBlockDone)
        OnBlockDone(this);
}

// ---------------------------------------------------------------- start-up

bool TBasicMachine::Initialise() {
    if (MachineData) {
        const TFeedData &f = MachineData->Feed;
        MaxFeed = Round(std::max({f.MaximumRateX, f.MaximumRateY, f.MaximumRateZ}), 0);
        Validator = std::make_unique<TMoveValidator>(*MachineData);
    }
    SetSpeedOverride(100);
    SetFeedOverride(100);
    if (InitialTool > 0)
        SelectTool(InitialTool);
    SetMachineMode(modeHome);
    ResetHomedFlags();
    FPollTimer->SetInterval(PollIntervalMs());
    FPollTimer->SetEnabled(true);
    return true;
}

int TBasicMachine::PollIntervalMs() const {
    if (!MachineData || MachineData->MainSettingsFile.empty())
        return DefaultPollMs;
    TIniFile main(FindFileNoCase(MachineData->MainSettingsFile));
    int ms = main.ReadInteger("Default Settings", "ScreenUpdate", DefaultPollMs);
    return ms > 0 ? ms : DefaultPollMs;
}

bool TBasicMachine::RefuseIncompleteMachineData() {
    if (!IsRealMachine || !MachineData || MachineData->MotionDataComplete())
        return false;
    std::string keys;
    for (const std::string &k : MachineData->MissingMotionData())
        keys += (keys.empty() ? "\"" : ", \"") + k + "\"";
    MachineError(-1, "Machine Error", Mess().Translate("Machine data incomplete"),
                 "Missing or zero in " + MachineData->MachineFile + ": " + keys);
    return true;
}

// ---------------------------------------------------------------- operator state

bool TBasicMachine::IsHomed() const {
    return (HomedX && HomedY && HomedZ) || AllHomed || (HomedXY && HomedZ);
}

void TBasicMachine::SetMachineMode(TMachineMode NewMode) {
    Mode = NewMode == modeHome || IsHomed() ? NewMode : modeHome;
    RaiseEvent(evMachineMode, Mode);
}

void TBasicMachine::SetCycleState(TCycleState State) {
    CycleState = State;
    static const uint8_t kinds[] = {evStopped, evPaused, evRunning, evRewind};
    RaiseEvent(kinds[State]);
}

void TBasicMachine::SetFeedrate(int Feed) {
    Feedrate = std::min(Feed, MaxFeed);
    if (Feedrate == LastFeedSent)
        return;
    LastFeedSent = Feedrate;
    RaiseEvent(evFeedrate, Feedrate);
}

void TBasicMachine::SetSpindleSpeed(int Speed) {
    if (MachineData) {
        Speed = std::min(Speed, MachineData->Spindle.MaximumSpeed);
        Speed = std::max(Speed, MachineData->Spindle.MinimumSpeed);
    }
    SpindleSpeed = Speed;
    RaiseEvent(evSpindleSpeed, SpindleSpeed);
}

void TBasicMachine::SetFeedOverride(int Percent) {
    FeedOverride = std::clamp(Percent, 0, 150);
    if (IsRealMachine && MachineData && MachineData->MachineCapability.FeedPot)
        RaiseEvent(evFeedOverride, FeedOverride);
}

void TBasicMachine::SetSpeedOverride(int Percent) {
    SpeedOverride = std::clamp(Percent, 50, 120);
    if (IsRealMachine && MachineData && MachineData->MachineCapability.SpeedPot)
        RaiseEvent(evSpeedOverride, SpeedOverride);
}

void TBasicMachine::SetTurboMode(bool On) {
    TurboMode = On;
    if (OnTurboChanged)
        OnTurboChanged(this, On);
}

void TBasicMachine::SetJogFeed(int Feed) {
    JogFeed = Feed;
    if (IsJogMode(Mode))
        SetFeedrate(Feed);
}

void TBasicMachine::SetJogSpeed(int Speed) {
    JogSpeed = Speed;
    if (IsJogMode(Mode))
        SetSpindleSpeed(Speed);
}

// ---------------------------------------------------------------- tools

void TBasicMachine::SelectTool(int Tool) {
    CurrentTool = Tool;
    if (Tooling) {
        Tooling->SetCurrentTool(Tool);
        double length = Tooling->ToolLengthOffset(Tool);
        if (Convertor)
            Convertor->ToolLength = length;
    }
    RaiseEvent(evToolNumber, Tool);
}

void TBasicMachine::ToolChange(int Tool) {
    if (MachineData && MachineData->ToolChange.AutoChanger) {
        SelectTool(Tool);
        return;
    }
    ToolChangeActive = true;
    int answer = MessageDlg("", Mess().MessageText(19) + IntToStr(Tool), mtInformation, mbOKCancel);
    ToolChangeActive = false;
    if (answer == mrOk) {
        SelectTool(Tool);
        return;
    }
    MachineError(-1, ToolChangeErrorCaption, "Program Aborted", "Tool Change cancelled by user");
}

void TBasicMachine::ToolDataChanged(int Tool) {
    if (Tool != CurrentTool || !Tooling || !Convertor)
        return;
    Convertor->ToolLength = Tooling->ToolLengthOffset(CurrentTool);
}

void TBasicMachine::SetToolZOffset() {
    if (!Tooling || !Convertor)
        return;
    TMachinePosition p;
    GetPosition(p);
    Convertor->FromMachine(p);
    Tooling->EditZOffset(Tooling->CurrentTool(), p.Z - Convertor->OffsetZ);
}

void TBasicMachine::ShowVersion() {
    MessageDlg("", Tr("No Version Information Available"), mtInformation, mbOK);
}

// ---------------------------------------------------------------- positions

void TBasicMachine::GetPosition(TMachinePosition &P) {
    P.X = P.Y = P.Z = P.Fourth = P.Feed = 0;
    P.LookAhead = false;
}

void TBasicMachine::GetMachinePosition(TXYZ &P) {
    P.X = P.Y = P.Z = 8888.888L;
}

void TBasicMachine::ReadPosition(TMachinePosition &Steps, TMachinePosition &UnitsPos) {
    GetPosition(Steps);
    UnitsPos = Steps;
    if (Convertor)
        Convertor->FromMachine(UnitsPos);
    Steps.Safe = UnitsPos.Safe = IsSafe();
}

// ---------------------------------------------------------------- dwell

void TBasicMachine::Dwell() {
    FreeDwellCounter();
    DwellCounter = std::make_unique<TDownCounter>();
    DwellCounter->SetDuration(DwellTime);
    DwellCounter->OnDone = [this](TDownCounter &) { DwellDone(); };
    DwellCounter->SetEnabled(true);
}

void TBasicMachine::DwellDone() {
    FreeDwellCounter();
    BlockDone();
}

// The counter may be inside its own tick (its OnDone led here), so it is
// closed now and freed once the message loop has left it.
void TBasicMachine::FreeDwellCounter() {
    if (!DwellCounter)
        return;
    DwellCounter->Close();
    std::shared_ptr<TDownCounter> retired(DwellCounter.release());
    EventLoop().Post([retired] {});
}

void TBasicMachine::Stop() {
    ++FStopCount;
    FreeDwellCounter();
}

// ---------------------------------------------------------------- blocks

bool TBasicMachine::ExecuteMove(const TMachineBlock &B) {
    if (B.BlockType != 4)
        Target = {Extended(B.X), Extended(B.Y), Extended(B.Z)};
    switch (B.BlockType) {
    case 0:
        RapidMove(B.X, B.Y, B.Z);
        return false;
    case 1:
        LinearMove(B.X, B.Y, B.Z);
        return false;
    case 2:
    case 3:
        // Only a real controller cuts arcs; elsewhere the arc goes straight
        // to its end point.
        if (IsRealMachine)
            ArcMove(B.X, B.Y, B.Z, B.I, B.J, B.K, B.Radius, B.Sweep, Plane);
        else
            LinearMove(B.X, B.Y, B.Z);
        return false;
    case 4:
        Dwell();
        return false;
    case 28:
        ReferenceMove(B.X, B.Y, B.Z);
        return false;
    default:
        return true;
    }
}

bool TBasicMachine::ProcessBlock(const TMachineBlock &Source) {
    TMachineBlock b = Source;
    ApplyBlockTool(b);
    ApplyBlockSpeed(b);
    int m = b.M;
    ExecuteMCode(m);
    b.M = m;
    ApplyBlockFeed(b);
    return ExecuteMove(b);
}

// One move record, machine in modeAuto or modeMDI:
//  1. event records and skipped block-delete lines are done at once;
//  2. offsets are added (not to a reference return) and coordinates the
//     block does not program are taken from the last position;
//  3. lines, rapids and arcs are checked against the travel;
//  4. spindle clamp, last position, feed, conversion to steps, motion.
void TBasicMachine::ProcessCNCData(const TCNC_data &Data) {
    if (CycleState == csStopped)
        return;
    Plane = Data.Plane;
    if (IsEventRecord(Data.Motion) || (Data.BlockDelete && BlockSkip)) {
        BlockDone();
        return;
    }
    if (Data.Motion == 4)
        DwellTime = Round(Data.X, 0);
    const bool returnLeg = IsReturnLeg(Data);
    if (Data.Motion == 28 && !returnLeg)
        ReferenceAxes = NamedAxes(Data);
    // The intermediate point of a G28 is a rapid in program coordinates like
    // any other; only the return leg goes to the machine's own reference.
    if (returnLeg || !Convertor)
        *CurrentBlock = Data;
    else
        Convertor->AddOffsets(Data, *CurrentBlock);
    if (!returnLeg)
        FillMissingCoordinates();
    if (!CheckTravel(Data))
        return;
    TCNC_data &c = *CurrentBlock;
    // An unset spindle (no S word) keeps the speed the spindle has.
    if (Validator && c.Spindle >= 0 && c.Spindle != NoSteps)
        c.Spindle = Validator->ClampSpindle(c.Spindle);
    if (returnLeg) {
        // Where the reference point is, only the machine knows: the next
        // block starts from the position it reports.
        LastPosition = {NoSteps, NoSteps, NoSteps};
    } else if (c.Motion >= 0) {
        if (c.Motion != 4)
            LastPosition.X = c.X;
        LastPosition.Y = c.Y;
        LastPosition.Z = c.Z;
        Readout.Programmed = LastPosition;
    }
    SetBlockFeed(c);
    if (Convertor)
        Convertor->ToMachine(c, Block);
    LookAhead = c.LookAhead;
    EventLoop().ProcessMessages();
    if (CycleState == csStopped)
        return; // stopped while messages were served: start nothing
    if (ProcessBlock(Block))
        BlockDone();
}

void TBasicMachine::FillMissingCoordinates() {
    GetPosition(StepsPosition);
    UnitsPosition = StepsPosition;
    if (Convertor)
        Convertor->FromMachine(UnitsPosition);
    TCNC_data &c = *CurrentBlock;
    bool known = PositionKnown();
    if (c.X == NoValue)
        c.X = double(known ? LastPosition.X : UnitsPosition.X);
    if (c.Y == NoValue)
        c.Y = double(known ? LastPosition.Y : UnitsPosition.Y);
    if (c.Z == NoValue)
        c.Z = double(known ? LastPosition.Z : UnitsPosition.Z);
}

// False after a line or rapid outside the travel: the block ends without
// BlockDone and the engine stops the run. An arc outside the travel is
// neutralised (-1000) and still reported done; the last position stays.
bool TBasicMachine::CheckTravel(const TCNC_data &Data) {
    TCNC_data &c = *CurrentBlock;
    const bool intermediate = c.Motion == 28 && !IsReturnLeg(c);
    if (!Validator || !(IsLineOrRapid(c.Motion) || intermediate || IsArc(c.Motion)))
        return true;
    if (!PositionKnown())
        LastPosition = {UnitsPosition.X, UnitsPosition.Y, UnitsPosition.Z};
    double lx = double(LastPosition.X), ly = double(LastPosition.Y), lz = double(LastPosition.Z);
    if (IsLineOrRapid(c.Motion) || intermediate) {
        if (Validator->CheckLine(lx, ly, lz, c.X, c.Y, c.Z))
            return true;
        std::string text = LinePositionText(Data);
        c.Motion = NoMoveCode;
        MachineError(Data.LineNumber, "M/C Limit Error", "Move Exceeds Limits", text);
        return false;
    }
    double su, sv, eu, ev, cu, cv;
    PlaneAxes(Plane, lx, ly, lz, su, sv);
    PlaneAxes(Plane, c.X, c.Y, c.Z, eu, ev);
    PlaneAxes(Plane, c.I, c.J, c.K, cu, cv);
    if (Validator->CheckArc(c.Motion, Plane, su, sv, eu, ev, cu, cv))
        return true;
    c.Motion = NoMoveCode;
    MachineError(Data.LineNumber, "M/C Limit Error", "Arc Move Exceeds Limits", ArcPositionText());
    return true;
}

std::string TBasicMachine::Num(double Value) const {
    return FloatToUnitsText(Units == Inch, Value);
}

std::string TBasicMachine::LinePositionText(const TCNC_data &Data) const {
    const TCNC_data &c = *CurrentBlock;
    TXYZ from = LastPosition;
    if (Convertor)
        Convertor->RemoveOffsets(from);
    auto xyz = [this](const char *Label, double X, double Y, double Z) {
        return std::string(Label) + "X" + Num(X) + ", Y" + Num(Y) + ", Z" + Num(Z) + "\n";
    };
    return "(Machine Units)\n" +
           xyz("From  ", double(LastPosition.X), double(LastPosition.Y), double(LastPosition.Z)) +
           xyz("To    ", c.X, c.Y, c.Z) + "\n(Program Units)\n" +
           xyz("From  ", double(from.X), double(from.Y), double(from.Z)) + "To    X" + Num(Data.X) +
           ", Y" + Num(Data.Y) + ", Z" + Num(Data.Z);
}

std::string TBasicMachine::ArcPositionText() const {
    const TCNC_data &c = *CurrentBlock;
    return "Last X = " + Num(double(LastPosition.X)) + "\nLast Y = " + Num(double(LastPosition.Y)) +
           "\nLast Z = " + Num(double(LastPosition.Z)) + "\nCurrent X = " + Num(c.X) +
           "\nCurrent Y = " + Num(c.Y) + "\nCurrent Z = " + Num(c.Z);
}

// Rapids and reference returns run at the Z axis's rate; other blocks at
// their programmed F. A block without F (9e9) keeps the current feed.
void TBasicMachine::SetBlockFeed(const TCNC_data &C) {
    if (C.Motion == 0 || C.Motion == 28) {
        if (MachineData)
            SetFeedrate(Round(MachineData->Feed.MaximumRateZ, Feedrate));
        return;
    }
    if (C.Feed != NoValue)
        SetFeedrate(Round(C.Feed, Feedrate));
}

void TBasicMachine::CycleStart() {
    if (RefuseIncompleteMachineData())
        return;
    if (IsSafe()) {
        BlockDone();
        return;
    }
    MachineError(-1, "Machine Error", Mess().Translate("Machine not safe"),
                 "Cannot Run Machine\nClose the Guard !");
}

// ---------------------------------------------------------------- jog and home

void TBasicMachine::Jog(int Axis, bool Positive, Extended Increment) {
    if (Axis < 0 || Axis > 2 || !IsJogMode(Mode) || RefuseIncompleteMachineData())
        return;
    if (Mode == modeJog)
        JogContinuous(Axis, JogFeed, Positive);
    else
        JogIncrement(Axis, JogFeed, double(Positive ? Increment : -Increment));
}

void TBasicMachine::Home(int Code) {
    if (RefuseIncompleteMachineData() || !Connected())
        return;
    // A machine in emergency stop does not move: nothing is sent.
    if (IsEStopped()) {
        ResetHomedFlags();
        MachineError(-1, "Homing Error", Mess().Translate("Emergency stop"),
                     "The machine reports an emergency stop: homing aborted");
        return;
    }
    if (IsSafe() && Mode == modeHome) {
        if (MachineData)
            SetFeedrate(Round(MachineData->Home.Feed, Feedrate));
        HomeAxis(Code);
        if (!WaitForHoming())
            return;
        SetHomedMark(Code);
        RaiseEvent(evAxisHomed, Code);
        return;
    }
    Stop();
    ResetHomedFlags();
    if (IsSafe())
        MachineError(-1, "Homing Error", Mess().Translate("Must be in Home mode"),
                     "Select Home mode on machine !");
    else
        MachineError(-1, "Homing Error", Mess().Translate("Machine not safe - Homing aborted"),
                     "Close the Guard !");
}

void TBasicMachine::SetHomedMark(int Code)
{
    MarkHomed(Code, HomedX, HomedY, HomedZ, HomedXY, AllHomed);
}

int TBasicMachine::HomingTimeOutMs(const TRead_Machinedata_file *Data) {
    if (!Data || Data->Home.Feed <= 0)
        return FallbackHomingMs;
    const TMachineCapability &c = Data->MachineCapability;
    double travel = std::max({std::fabs(c.TravelXPlus - c.TravelXMinus),
                              std::fabs(c.TravelYPlus - c.TravelYMinus),
                              std::fabs(c.TravelZPlus - c.TravelZMinus)});
    double ms = 2 * travel / Data->Home.Feed * 60000 + 10000;
    return ms < 1e9 ? int(ms) : FallbackHomingMs;
}

TWaitResult TBasicMachine::WaitFor(const std::function<bool()> &Done, int TimeOutMs) {
    int stops = FStopCount;
    int64_t end = EventLoop().NowMs() + TimeOutMs;
    for (;;) {
        EventLoop().WaitMessages(WaitPaceMs);
        if (EventLoop().KeyDown(VK_ESCAPE))
            return TWaitResult::Escaped;
        if (Done())
            return TWaitResult::Done;
        if (!Connected())
            return TWaitResult::Lost;
        if (IsEStopped())
            return TWaitResult::EStopped;
        if (!IsSafe())
            return TWaitResult::Unsafe;
        if (FStopCount != stops)
            return TWaitResult::Stopped;
        if (EventLoop().NowMs() >= end)
            return TWaitResult::TimedOut;
    }
}

bool TBasicMachine::WaitForHoming() {
    DelayMs(100);
    int timeOut = HomingTimeOutMs();
    TWaitResult result = WaitFor([this] { return IsIdle(); }, timeOut);
    if (result == TWaitResult::Done)
        return true;
    if (result != TWaitResult::Stopped && result != TWaitResult::Lost)
        Stop();
    switch (result) {
    case TWaitResult::Escaped:
        MachineError(-1, "Homing Error", Mess().Translate("Homing aborted"),
                     "User pressed escape during the homing sequence");
        break;
    case TWaitResult::Unsafe:
        MachineError(-1, "Homing Error", Mess().Translate("Machine not safe - Homing aborted"),
                     "Close the Guard !");
        break;
    case TWaitResult::Stopped:
        MachineError(-1, "Homing Error", Mess().Translate("Homing aborted"),
                     "The machine was stopped during the homing sequence");
        break;
    case TWaitResult::EStopped:
        MachineError(-1, "Homing Error", Mess().Translate("Emergency stop"),
                     "The machine reports an emergency stop: homing aborted");
        break;
    case TWaitResult::Lost:
        break; // the machine has said why
    default:
        MachineError(-1, "Homing Error", Mess().Translate("Homing timed out"),
                     "The axes did not reach home within " + IntToStr(timeOut / 1000) + " s");
        break;
    }
    ResetHomedFlags();
    return false;
}

void TBasicMachine::MarkAllHomed() {
    AllHomed = true;
    RaiseEvent(evAxisHomed, HomeAll);
}

void TBasicMachine::ResetHomedFlags() {
    HomedX = HomedY = HomedZ = HomedXY = AllHomed = false;
    RaiseEvent(evHomingReset);
}

// ---------------------------------------------------------------- poll

void TBasicMachine::PollMachine() {
    if (Destroying)
        return;
    FPollTimer->SetEnabled(false);
    struct TRestart {
        TBasicMachine &M;
        ~TRestart() {
            if (!M.Destroying)
                M.FPollTimer->SetEnabled(true);
        }
    } restart{*this};
    PollStates();
    PollPosition();
    // A machine with override knobs reports them through the getters.
    if (GetFeedOverride() != FeedOverride)
        SetFeedOverride(GetFeedOverride());
    if (GetSpeedOverride() != SpeedOverride)
        SetSpeedOverride(GetSpeedOverride());
}

// Every e-stop change, and the first poll, drops the machine to modeHome
// with nothing homed.
void TBasicMachine::PollStates() {
    bool inPosition = IsInPosition();
    if (inPosition != LastInPosition) {
        LastInPosition = inPosition;
        RaiseFlagEvent(evInPosition, inPosition);
    }
    bool eStop = IsEStopped();
    if (eStop != LastEStop || !FirstPollDone) {
        LastEStop = eStop;
        RaiseFlagEvent(evEstop, eStop);
        FirstPollDone = true;
        SetMachineMode(modeHome);
        ResetHomedFlags();
    }
    bool safe = IsSafe();
    if (safe != LastSafe) {
        LastSafe = safe;
        if (safe) {
            LastFeedSent = -1; // the feed is sent again
            SetFeedrate(Feedrate);
        }
        RaiseFlagEvent(evSafe, safe);
    }
}

void TBasicMachine::PollPosition() {
    TXYZ p;
    GetMachinePosition(p);
    TXYZ &m = Readout.Machine;
    m = p.X != NoSteps ? p : Target;
    if (Convertor)
        Convertor->PositionFromSteps(m);
    const TXYZ &r = Readout.Reported;
    bool moved = m.X != r.X || m.Y != r.Y || m.Z != r.Z;
    if (!moved && !ForcePositionReport)
        return;
    ForcePositionReport = false;
    Readout.Reported = m;
    Readout.ToGo = {Readout.Programmed.X - m.X, Readout.Programmed.Y - m.Y,
                    Readout.Programmed.Z - m.Z};
    Readout.Work = m;
    if (Convertor)
        Convertor->RemoveOffsets(Readout.Work);
    if (OnPositionChanged)
        OnPositionChanged(this, Readout);
}

} // namespace orv
