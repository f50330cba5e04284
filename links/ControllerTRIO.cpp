#include "links/ControllerTRIO.h"

#include "links/LowLevelTRIO.h"
#include "platform/EventLoop.h"
#include "platform/NumberText.h"

#include <cmath>

namespace orv {

namespace {

std::string Xyz(int32_t X, int32_t Y, int32_t Z) {
    return IntToStr(X) + "," + IntToStr(Y) + "," + IntToStr(Z);
}

} // namespace

TControllerTRIO::TControllerTRIO() : FWorker(std::make_unique<TLowLevelTRIO>()) {}

TControllerTRIO::~TControllerTRIO() = default;

void TControllerTRIO::SetErrorHandler(TControllerErrorEvent Handler) {
    OnError = Handler;
    FWorker->OnError = std::move(Handler);
}

void TControllerTRIO::SetPollingDelay(int Turns) {
    FWorker->PollThreshold = Turns;
}

void TControllerTRIO::SetFeedRate(int StepsPerSecond) {
    if (StepsPerSecond == FeedRate || StepsPerSecond == 9999999)
        return;
    FeedRate = StepsPerSecond;
    FWorker->SendWithWait("SP", IntToStr(StepsPerSecond), TLowLevelTRIO::NoAxis);
}

bool TControllerTRIO::Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) {
    FWorker->NotifyWindow = NotifyWindow;
    FWorker->Port = Port;
    FWorker->Baud = 38400;
    FWorker->SettingsFile = SettingsFile;
    if (!FWorker->OpenLink())
        return false;
    DelayMs(200);
    return true;
}

void TControllerTRIO::Home(int Axis, int Direction) {
    FWorker->SendWithWait("SP", "10000", TLowLevelTRIO::NoAxis);
    FWorker->SendWithWait("DATUM", "3", Axis);
    DelayMs(100);
    FWorker->ClearIdle();
}

bool TControllerTRIO::GetPosition(int32_t &X, int32_t &Y, int32_t &Z) {
    double v[3];
    for (int i = 0; i < 3; ++i)
        v[i] = FWorker->Table(i);
    X = int32_t(std::lround(v[0]));
    Y = int32_t(std::lround(v[1]));
    Z = int32_t(std::lround(v[2]));
    for (double d : v)
        if (d == TLowLevelTRIO::NoValue)
            return false;
    return true;
}

void TControllerTRIO::MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) {
    FWorker->SendMove("MA", Xyz(X, Y, Z), TLowLevelTRIO::NoAxis);
}

void TControllerTRIO::MoveRapid(int32_t X, int32_t Y, int32_t Z) {
    FWorker->SendMove("MA", Xyz(X, Y, Z), TLowLevelTRIO::NoAxis);
}

void TControllerTRIO::SetTurboMode(bool On) {
    Turbo = On;
    FWorker->SetTurbo(On);
}

void TControllerTRIO::MoveAxisAbsolute(int Axis, int32_t Position) {
    FWorker->SendWithWait("MA", IntToStr(Position), Axis);
}

void TControllerTRIO::MoveAxisRelative(int Axis, int32_t Distance) {
    FWorker->SendMove("MO", "(" + IntToStr(Distance) + ")", Axis);
}

void TControllerTRIO::Stop() {
    FWorker->SendWithWait("RS", "", TLowLevelTRIO::NoAxis);
}

void TControllerTRIO::MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY,
                              int32_t CentreZ, int32_t Radius, double Sweep, bool LookAhead,
                              int Plane) {
    ReportError("Machine Error", "The Trio controller cuts no arcs",
                "Set \"Expand Arcs\" and \"Min Chord Length\" in the machine file's [Feed] so "
                "that arcs go as lines");
}

void TControllerTRIO::NotifyDone(TObject *Sender, bool InPosition) {
    if (OnDone)
        OnDone(Sender, InPosition);
}

bool TControllerTRIO::IsIdle() {
    return FWorker->Idle();
}

void TControllerTRIO::SetOutput(int Index, const std::string &Value) {
    if (Index < 8)
        FWorker->SendWithWait("OP", IntToStr(Index) + "," + Value, TLowLevelTRIO::NoAxis);
}

} // namespace orv
