#include "links/Controller.h"

#include "links/LinkViews.h"
#include "links/LowLevel.h"
#include "platform/EventLoop.h"
#include "platform/NumberText.h"

namespace orv {

namespace {

constexpr int MissingFeed = 9999999;
constexpr int ChannelGeneral = 6;
constexpr int ChannelArc = 3;

bool IsCommandEntry(int Index) {
    return Index == 7 || Index == 17 || Index == 18 || Index == 20;
}

std::string Xyz(int32_t X, int32_t Y, int32_t Z) {
    return IntToStr(X) + "," + IntToStr(Y) + "," + IntToStr(Z);
}

} // namespace

std::string ArcAngleText(double Degrees) {
    return FormatFixed(Degrees, 1);
}

TController::TController() : TController(std::make_unique<TLowLevel>()) {}

TController::TController(std::unique_ptr<TLowLevel> Worker) : FWorker(std::move(Worker)) {
    EarlyDone = false;
}

TController::~TController() = default;

// A failed line takes no frame: the caller's step ends at once.
bool TController::Write(int Channel, const std::string &Payload, const std::string &Command) {
    if (!Connected())
        return FLastOk = false;
    EventLoop().ProcessMessages();
    FLastOk = FWorker->PostWrite(Channel, Payload, Command);
    return FLastOk;
}

bool TController::Move(int Channel, const std::string &Payload, const std::string &Command) {
    if (!Connected())
        return FLastOk = false;
    EventLoop().ProcessMessages();
    FLastOk = FWorker->PostMove(Channel, Payload, Command);
    return FLastOk;
}

void TController::SetErrorHandler(TControllerErrorEvent Handler) {
    OnError = Handler;
    FWorker->OnError = Handler;
}

void TController::SetDebug(bool On) {
    Debug = On;
    if (On && !FTrace && LinkViews().Trace)
        FTrace = LinkViews().Trace();
    if (!FTrace)
        return;
    FWorker->OnNote = [this](const std::string &Note) {
        if (Debug && FTrace)
            FTrace->Trace(Note);
    };
}

void TController::SetPollingDelay(int Turns) {
    FWorker->PollingDelay = Turns;
}

void TController::SetFeedRate(int F) {
    if (F != FeedRate && F != MissingFeed) {
        FeedRate = F;
        WriteComms(comms::Feed, F);
    }
    if (!FWorker->BackReady())
        return;
    // The controller lost its feed while not ready: the last real one goes.
    if (F != MissingFeed)
        FeedRate = F;
    WriteComms(comms::Feed, FeedRate);
    FWorker->ClearBackReady();
}

void TController::SetSpindleSpeed(int S) {
    if (S == SpindleSpeed)
        return;
    SpindleSpeed = S;
    WriteComms(comms::Speed, S);
}

int TController::GetFeedOverride() {
    return Trunc(FWorker->Comms(comms::FeedOverride), 0);
}

void TController::SetFeedOverride(int P) {
    if (P == FeedOverride)
        return;
    FeedOverride = P;
    WriteComms(comms::FeedOverride, P);
}

int TController::GetSpindleOverride() {
    return Trunc(FWorker->Comms(comms::SpeedOverride), 0);
}

void TController::SetSpindleOverride(int P) {
    if (P == SpindleOverride)
        return;
    SpindleOverride = P;
    WriteComms(comms::SpeedOverride, P);
}

bool TController::Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) {
    TLowLevel &w = *FWorker;
    w.NotifyWindow = NotifyWindow;
    w.Port = Port;
    w.Baud = Baud;
    w.StopBits = StopBits;
    w.Handshake = HardwareHandshaking;
    w.SettingsFile = SettingsFile;
    if (!w.Connect(ProgramFile, UnderInspection))
        return false;
    ReadComms(comms::ReadySafe);
    Extended feed = ReadComms(comms::FeedOverride);
    Extended speed = ReadComms(comms::SpeedOverride);
    FeedOverride = HasCommsValue(feed) ? Round(feed, 100) : 100;
    SpindleOverride = HasCommsValue(speed) ? Round(speed, 100) : 100;
    WriteComms(comms::Start, 60);
    if (!FLastOk)
        return false;
    DelayMs(200);
    WriteComms(comms::SpindleMaximum, SpindleMaximum);
    return FLastOk && Write(ChannelGeneral, "", "CT");
}

void TController::WriteComms(int Index, Extended Value) {
    if (Index < 0 || Index > 99)
        return;
    if (!Write(ChannelGeneral, frames::CommsWritePayload(Index, Value), "MB"))
        return;
    if (!IsCommandEntry(Index))
        return;
    if (!Write(ChannelGeneral, "01," + frames::CommsIndexText(Index), "MB"))
        return;
    FWorker->SetComms(Index, Value);
}

Extended TController::ReadComms(int Index) {
    if (Index < 0 || Index > 99)
        return NoCommsValue;
    std::optional<std::string> reply = FWorker->Query(ChannelGeneral, "MB", IntToStr(Index));
    double value;
    if (!reply || reply->size() < 3 || !TryStrToFloat(reply->substr(2), value))
        return NoCommsValue;
    return value;
}

void TController::GetVersion(std::string &Text) {
    Text = FWorker->VersionReply();
}

bool TController::IsStopped() {
    return FWorker->Stopped();
}

bool TController::IsSafe() {
    return ToolChanging || FWorker->Comms(comms::ReadySafe) != 0;
}

void TController::Home(int Axis, int Direction) {
    int h = Round(HomeFeed, 0);
    if (!Write(ChannelGeneral, Xyz(h, h, h), "HS"))
        return;
    DelayMs(100);
    if (!Write(Axis, IntToStr(Direction), "HM"))
        return;
    DelayMs(100);
    FWorker->ClearIdleLatch();
}

bool TController::GetPosition(int32_t &X, int32_t &Y, int32_t &Z) {
    X = FWorker->StatusInt(0);
    Y = FWorker->StatusInt(1);
    Z = FWorker->StatusInt(2);
    return X != MissingFeed && Y != MissingFeed && Z != MissingFeed;
}

void TController::MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) {
    Move(ChannelGeneral, Xyz(X, Y, Z), "VA");
}

void TController::SetTurboMode(bool On) {
    FWorker->SetTurbo(On);
}

void TController::MoveAxisAbsolute(int Axis, int32_t Position) {
    Write(Axis, IntToStr(Position), "MA");
}

void TController::MoveAxisRelative(int Axis, int32_t Distance) {
    Move(Axis, IntToStr(Distance), "MR");
}

// Once the line has failed the stop is tried once more (with its resends),
// however often the run's error handling asks for it.
void TController::Stop() {
    if (Connected()) {
        if (!Write(ChannelGeneral, "", "ST"))
            FStopTried = !Connected();
        return;
    }
    if (FStopTried)
        return;
    FStopTried = true;
    FLastOk = FWorker->PostStop(ChannelGeneral, "", "ST");
}

bool TController::Connected() {
    return !FWorker->LineFailed();
}

void TController::MoveRapid(int32_t X, int32_t Y, int32_t Z) {
    Move(ChannelGeneral, Xyz(X, Y, Z), "MA");
}

void TController::MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY,
                          int32_t CentreZ, int32_t Radius, double Sweep, bool LookAhead,
                          int Plane) {
    Move(ChannelArc, IntToStr(CentreX) + "," + IntToStr(CentreY) + "," + ArcAngleText(-Sweep),
         "CA");
}

void TController::NotifyDone(TObject *Sender, bool InPosition) {
    if (OnDone)
        OnDone(this, InPosition);
}

bool TController::IsIdle() {
    return FWorker->IdleLatch();
}

bool TController::ReadInput(int Index) {
    static const int fields[] = {9, 13, 14, 15};
    if (Index < 0 || Index > 31)
        return false;
    return (FWorker->StatusByte(fields[Index / 8]) >> (Index % 8)) & 1;
}

void TController::SetOutput(int Index, const std::string &Value) {
    if (Index > 7)
        Write(0, IntToStr(Index - 8) + Value, "X");
    else
        Write(0, IntToStr(Index) + Value, "O");
}

} // namespace orv
