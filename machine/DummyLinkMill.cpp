#include "machine/DummyLinkMill.h"

#include "machine/Read_Machinedata_file.h"
#include "machine/convert.h"
#include "platform/EventLoop.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr int TickMs = 100;
constexpr int MinimumFeed = 50; // mm/min

Extended &Axis(TXYZ &P, int A) {
    return A == 0 ? P.X : A == 1 ? P.Y : P.Z;
}

} // namespace

TDummyLinkMill::TDummyLinkMill(TBaseForm *Owner)
    : TBasicMachine(Owner), FMotionTimer(std::make_unique<TTimer>()) {
    IsRealMachine = false;
    FMotionTimer->SetInterval(TickMs);
    FMotionTimer->OnTimer = [this] { MotionTick(); };
    FMotionTimer->SetEnabled(true);
}

TDummyLinkMill::~TDummyLinkMill() {
    FMotionTimer->SetEnabled(false);
}

bool TDummyLinkMill::Initialise() {
    TBasicMachine::Initialise();
    FeedPercent = 100;
    UpdateEffectiveFeed();
    return true;
}

bool TDummyLinkMill::ExecuteMove(const TMachineBlock &Block) {
    TMachineBlock copy = Block;
    return TBasicMachine::ExecuteMove(copy);
}

void TDummyLinkMill::ApplyBlockSpeed(const TMachineBlock &Block) {
    // An unset spindle (no S word) leaves the spindle as it is.
    if (Block.S >= 0 && Block.S != NoSteps)
        SetSpindleSpeed(Block.S);
}

int TDummyLinkMill::SlowerRapidRate() const {
    if (!MachineData)
        return Feedrate;
    const TFeedData &f = MachineData->Feed;
    return Round(std::min(f.MaximumRateX, f.MaximumRateZ), Feedrate);
}

void TDummyLinkMill::ApplyBlockFeed(const TMachineBlock &Block) {
    if (Block.BlockType == 0 || Block.BlockType == 28)
        SetFeedrate(SlowerRapidRate());
}

void TDummyLinkMill::LinearMove(int32_t X, int32_t Y, int32_t Z) {
    ReportPending = true;
    MoveTo(X, Y, Z);
}

void TDummyLinkMill::RapidMove(int32_t X, int32_t Y, int32_t Z) {
    ReportPending = true;
    MoveTo(X, Y, Z);
}

// The intermediate point comes with coordinates; the return leg (none)
// takes the axes the G28 named to the [Home] position (machine mm).
void TDummyLinkMill::ReferenceMove(int32_t X, int32_t Y, int32_t Z) {
    SetFeedrate(SlowerRapidRate());
    ReportPending = true;
    const bool returnLeg = X == NoSteps && Y == NoSteps && Z == NoSteps;
    if (!returnLeg || !MachineData || !Convertor) {
        MoveTo(X, Y, Z);
        return;
    }
    const THomeData &h = MachineData->Home;
    const double home[3] = {h.X, h.Y, h.Z};
    double target[3] = {NoSteps, NoSteps, NoSteps};
    for (int a = 0; a < 3; ++a) {
        if (ReferenceAxes & (1 << a))
            target[a] = Convertor->AxisToSteps(a, home[a]);
    }
    ReferenceAxes = 0;
    MoveTo(target[0], target[1], target[2]);
}

void TDummyLinkMill::SetFeedrate(int Feed) {
    TBasicMachine::SetFeedrate(std::max(Feed, MinimumFeed));
    UpdateEffectiveFeed();
}

void TDummyLinkMill::SetFeedOverride(int Percent) {
    FeedOverride = Percent;
    FeedPercent = Percent > 0 ? Percent : 1;
    UpdateEffectiveFeed();
}

void TDummyLinkMill::UpdateEffectiveFeed() {
    EffectiveFeed = Extended(Feedrate) * FeedPercent / 100;
}

void TDummyLinkMill::SetCycleState(TCycleState State) {
    TBasicMachine::SetCycleState(State);
    if (State != csRunning || !FDonePending)
        return;
    FDonePending = false;
    TBasicMachine::BlockDone();
}

void TDummyLinkMill::GetPosition(TMachinePosition &P) {
    P = TMachinePosition();
    P.X = double(Current.X);
    P.Y = double(Current.Y);
    P.Z = double(Current.Z);
    P.Safe = true;
    P.Stopped = false;
}

void TDummyLinkMill::CycleStart() {
    TXYZ p = Current;
    if (Convertor)
        Convertor->PositionFromSteps(p);
    LastPosition = p;
    TBasicMachine::CycleStart();
}

void TDummyLinkMill::Stop() {
    TBasicMachine::Stop();
    TargetPos = Current;
    ReportPending = false;
    FDonePending = false;
}

void TDummyLinkMill::HomeAxis(int Code) {
    if (MachineData)
        SetFeedrate(Round(MachineData->Home.Feed, Feedrate));
    if (!MachineData || !Convertor || Code < HomeX || Code > HomeZ) {
        MoveTo(NoSteps, NoSteps, NoSteps);
        return;
    }
    // The [Home] position is in millimetres of machine coordinates.
    const THomeData &h = MachineData->Home;
    const double home[3] = {h.X, h.Y, h.Z};
    MoveAxisTo(Code, home[Code]);
}

double TDummyLinkMill::TravelLimit(int A, bool Positive) const {
    const TMachineCapability &c = MachineData->MachineCapability;
    if (A == 0)
        return Positive ? c.TravelXPlus : c.TravelXMinus;
    if (A == 1)
        return Positive ? c.TravelYPlus : c.TravelYMinus;
    return Positive ? c.TravelZPlus : c.TravelZMinus;
}

bool TDummyLinkMill::JogContinuous(int A, int Feed, bool Positive) {
    if (Mode != modeJog || !MachineData || !Convertor || A < 0 || A > 2)
        return false;
    SetFeedrate(Feed);
    MoveAxisTo(A, TravelLimit(A, Positive));
    return true;
}

void TDummyLinkMill::MoveAxisTo(int A, double Millimetres) {
    double target[3] = {NoSteps, NoSteps, NoSteps};
    target[A] = Convertor->AxisToSteps(A, Millimetres);
    MoveTo(target[0], target[1], target[2]);
}

// The jog works in millimetres so the travel holds whichever way the
// motors turn; the target goes back to steps with the motor direction.
void TDummyLinkMill::JogIncrement(int A, int Feed, double Distance) {
    if (!MachineData || !Convertor || A < 0 || A > 2)
        return;
    SetFeedrate(Feed);
    TMachinePosition steps, mm;
    ReadPosition(steps, mm);
    double at[3] = {mm.X, mm.Y, mm.Z};
    at[A] += Distance;
    double target[3];
    for (int i = 0; i < 3; ++i) {
        double lo = TravelLimit(i, false), hi = TravelLimit(i, true);
        target[i] =
            Convertor->AxisToSteps(i, std::clamp(at[i], std::min(lo, hi), std::max(lo, hi)));
    }
    Jogging = false;
    MoveTo(target[0], target[1], target[2]);
}

void TDummyLinkMill::InPositionChanged(TObject *Sender, bool InPosition) {
    if (InPosition)
        BlockDone();
}

// While paused the engine gets no block done; the one that came in is
// handed on when the run goes on, so a pause never loses it.
void TDummyLinkMill::BlockDone() {
    if (CycleState == csPaused) {
        FDonePending = true;
        return;
    }
    TBasicMachine::BlockDone();
}

void TDummyLinkMill::MoveTo(double X, double Y, double Z) {
    if (X != NoSteps)
        TargetPos.X = X;
    if (Y != NoSteps)
        TargetPos.Y = Y;
    if (Z != NoSteps)
        TargetPos.Z = Z;
    Idle = false;
    FMotionTimer->SetEnabled(false);
    MotionTick();
}

// The base step of one tick: the effective feed (mm/min) times "Steps per
// mill F" / 60 is the feed's steps per second, of which one tick moves its
// own TickMs. Without a feed scale no rate is known and the move completes
// in one tick rather than never.
double TDummyLinkMill::StepsPerTick() const {
    double stepsF = MachineData ? MachineData->Feed.StepsF : 0;
    double b = double(EffectiveFeed) * stepsF / 60 * TickMs / 1000;
    return b > 0 ? b : HUGE_VAL;
}

// A pause holds a programmed move where it is; a move that has arrived
// still reports, and InPositionChanged keeps the report for the resume.
void TDummyLinkMill::MotionTick() {
    FMotionTimer->SetEnabled(false);
    for (int i = 0; i < 3; ++i)
        Delta[i] = float(Axis(TargetPos, i) - Axis(Current, i));
    Distance = std::sqrt(Delta[0] * Delta[0] + Delta[1] * Delta[1] + Delta[2] * Delta[2]);
    if (Distance <= 0)
        Idle = true;
    else if (!Frozen())
        StepAxes();
    FMotionTimer->SetEnabled(true);
    if (ReportPending && Idle) {
        ReportPending = false;
        InPositionChanged(this, true);
    }
}

// The base step is split in proportion to each axis's share of the
// distance, so the tool runs along the straight line.
void TDummyLinkMill::StepAxes() {
    double b = StepsPerTick();
    bool moving = false;
    for (int i = 0; i < 3; ++i) {
        Extended remaining = Axis(TargetPos, i) - Axis(Current, i);
        double step = Delta[i] == 0 ? 0 : b * Delta[i] / Distance;
        if (std::fabs(step) > std::fabs(double(remaining)))
            step = double(remaining);
        if (std::fabs(double(remaining)) < 1) {
            Axis(Current, i) = Axis(TargetPos, i);
            step = 0;
        }
        AxisStep[i] = float(step);
        moving = moving || step != 0;
        Axis(Current, i) += step;
    }
    Idle = !moving;
}

} // namespace orv
