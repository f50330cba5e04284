#include "links/sim/RecordingCards.h"

#include "platform/EventLoop.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace orv {

namespace {

constexpr double Pi = 3.14159265358979323846;

std::string Num(double V) {
    return FloatToStr(V);
}

template <typename T> std::string List(const std::vector<T> &Values) {
    std::string out = "[";
    for (size_t i = 0; i < Values.size(); ++i)
        out += (i ? "," : "") + Num(double(Values[i]));
    return out + "]";
}

std::string Args(std::initializer_list<double> Values) {
    std::string out;
    for (double v : Values)
        out += (out.empty() ? "" : ",") + Num(v);
    return out;
}

} // namespace

TRecordingCard::TRecordingCard() : FTimer(std::make_unique<TTimer>()) {
    Comms[19] = 1;
    Comms[37] = 1;
    Comms[6] = 100;
    FTimer->SetInterval(10);
    FTimer->OnTimer = [this] { Tick(); };
    FTimer->SetEnabled(true);
}

TRecordingCard::~TRecordingCard() {
    if (LogFile.empty())
        return;
    std::ofstream out(LogFile, std::ios::app);
    for (const std::string &c : Calls)
        out << c << "\n";
}

bool TRecordingCard::Faults(const std::string &Text) {
    bool any = false;
    size_t from = 0;
    while (from <= Text.size()) {
        size_t end = Text.find(';', from);
        std::string f = Text.substr(from, end == std::string::npos ? end : end - from);
        from = end == std::string::npos ? Text.size() + 1 : end + 1;
        int value = 0;
        if (f.rfind("estop-at:", 0) == 0 && TryStrToInt(f.substr(9), value)) {
            EStopAt(value);
            any = true;
        } else if (f.rfind("estop-held:", 0) == 0 && TryStrToInt(f.substr(11), value)) {
            EStopHeld(value);
            any = true;
        } else if (!f.empty()) {
            return false;
        }
    }
    return any;
}

void TRecordingCard::Record(int Id, const std::string &Arguments) {
    if (std::find(Unrecorded.begin(), Unrecorded.end(), Id) == Unrecorded.end())
        Calls.push_back(IntToStr(Id) + "(" + Arguments + ")");
    if (Id == FEStopAt) {
        FEStopAt = -1;
        FPress = true;
    }
    auto it = FFail.find(Id);
    if (it != FFail.end() && it->second > 0) {
        --it->second;
        throw EMintError("call " + IntToStr(Id) + " failed");
    }
}

double TRecordingCard::At(int Axis) const {
    const TAxis &a = FAxis[Axis];
    if (a.Ms <= 0)
        return a.To;
    double t = std::clamp(double(EventLoop().NowMs() - a.Start) / a.Ms, 0.0, 1.0);
    return a.From + (a.To - a.From) * t;
}

void TRecordingCard::Position(int Axis, float &Value) const {
    Value = float(std::round(At(Axis)));
}

bool TRecordingCard::AxisIdle(int Axis) const {
    const TAxis &a = FAxis[Axis];
    return a.Ms <= 0 || EventLoop().NowMs() - a.Start >= a.Ms;
}

void TRecordingCard::Load(int Axis, double Target) {
    FAxis[Axis].Loaded = Target;
    FAxis[Axis].HasLoad = true;
}

// Loaded moves start together; the longest sets the time. A stopped card
// does not move.
void TRecordingCard::Start() {
    if (Stopped) {
        for (TAxis &a : FAxis)
            a.HasLoad = false;
        return;
    }
    double ms = 0;
    for (int i = 0; i < 3; ++i)
        if (FAxis[i].HasLoad)
            ms = std::max(ms, std::fabs(FAxis[i].Loaded - At(i)) / Speed[i] * 1000 / SpeedUp);
    int64_t now = EventLoop().NowMs();
    for (int i = 0; i < 3; ++i) {
        TAxis &a = FAxis[i];
        if (!a.HasLoad)
            continue;
        FStarted = true;
        a.From = At(i);
        a.To = a.Loaded;
        a.Start = now;
        a.Ms = ms;
        a.HasLoad = false;
    }
}

void TRecordingCard::Halt(int Axis) {
    double at = At(Axis);
    FAxis[Axis] = TAxis{};
    FAxis[Axis].From = FAxis[Axis].To = at;
}

// The end of an arc of Angle degrees (counter-clockwise positive) about the
// centre, loaded for the two axes.
void TRecordingCard::Arc(int A, int B, double CentreA, double CentreB, double Angle) {
    double a = At(A) - CentreA, b = At(B) - CentreB, r = Angle * Pi / 180;
    Load(A, CentreA + a * std::cos(r) - b * std::sin(r));
    Load(B, CentreB + a * std::sin(r) + b * std::cos(r));
}

void TRecordingCard::SetComms(int16_t Index, float Value) {
    if (Index < 0 || Index >= 100)
        return;
    Comms[Index] = Value;
    if (Index == 1 && Value != 0)
        FClearHandshakeAt = EventLoop().NowMs() + 20;
}

void TRecordingCard::StateQueried() {
    if (FEStopHeldMs >= 0 && FReleaseAt < 0)
        FReleaseAt = EventLoop().NowMs() + FEStopHeldMs;
}

// The stop halts the axes where they are; the calls around it show in the
// log as "e-stop pressed" and "e-stop released".
void TRecordingCard::PressOrRelease() {
    if (FPress) {
        FPress = false;
        Calls.push_back("e-stop pressed");
        for (int a = 0; a < 3; ++a)
            Halt(a);
        SetStopped(true);
    }
    if (FReleaseAt >= 0 && EventLoop().NowMs() >= FReleaseAt) {
        FReleaseAt = -1;
        FEStopHeldMs = -1;
        Calls.push_back("e-stop released");
        SetStopped(false);
    }
}

void TRecordingCard::Tick() {
    PressOrRelease();
    if (FClearHandshakeAt >= 0 && EventLoop().NowMs() >= FClearHandshakeAt) {
        FClearHandshakeAt = -1;
        Comms[1] = 0;
    }
    // A move that started and ended between two ticks (a short move, a
    // late tick) ends as any other: the card raises its idle event.
    bool moving = !AxisIdle(0) || !AxisIdle(1) || !AxisIdle(2);
    bool ended = (FWasMoving || FStarted) && !moving;
    FWasMoving = moving;
    FStarted = false;
    if (ended && IdleEvent && *IdleEvent)
        (*IdleEvent)(7);
}

// ---------------------------------------------------------------- card A

void TRecordingCardA::DownloadDone96() { Record(96, ""); }
void TRecordingCardA::SetComms103(int16_t Index, float Value) {
    Record(103, Args({double(Index), Value}));
    SetComms(Index, Value);
}
void TRecordingCardA::GetComms104(int16_t Index, float &Value) {
    Record(104, Num(Index));
    Value = Index >= 0 && Index < 100 ? Comms[Index] : 0;
}
void TRecordingCardA::DriveStep203(int16_t Axis) { Record(203, Num(Axis)); }
void TRecordingCardA::Circle218(int16_t AxisA, int16_t AxisB, float CentreA, float CentreB,
                                float Angle) {
    Record(218, Args({double(AxisA), double(AxisB), CentreA, CentreB, Angle}));
    Arc(AxisA, AxisB, CentreA, CentreB, Angle);
}
void TRecordingCardA::Setup236(int16_t Axis, int16_t Value) {
    Record(236, Args({double(Axis), double(Value)}));
}
void TRecordingCardA::DriveEnable264(int16_t Axis, bool On) {
    Record(264, Args({double(Axis), double(On)}));
}
void TRecordingCardA::Speed304(int16_t Axis, float Feed) {
    Record(304, Args({double(Axis), Feed}));
    if (Axis >= 0 && Axis < 3 && Feed > 0)
        Speed[Axis] = Feed;
}
void TRecordingCardA::Setup306(int16_t Axis, int16_t Value) {
    Record(306, Args({double(Axis), double(Value)}));
}
void TRecordingCardA::FeedOverride307(int16_t Zero, float &Percent) {
    Record(307, Num(Zero));
    Percent = Comms[5];
}
void TRecordingCardA::Go331(int16_t Count, const std::vector<int32_t> &Axes) {
    Record(331, Num(Count) + "," + List(Axes));
    Start();
}
void TRecordingCardA::Home347(int16_t Axis, int16_t Mode) {
    Record(347, Args({double(Axis), double(Mode)}));
    Load(Axis, 0);
    Start();
}
void TRecordingCardA::Idle368(int16_t Axis, bool &Idle) {
    Record(368, Num(Axis));
    StateQueried();
    Idle = AxisIdle(Axis);
}
void TRecordingCardA::Inputs376(int16_t Zero, int32_t &Bits) {
    Record(376, Num(Zero));
    Bits = int32_t(Inputs);
}
void TRecordingCardA::MoveA430(int16_t Axis, float Position) {
    Record(430, Args({double(Axis), Position}));
    Load(Axis, Position);
}
void TRecordingCardA::MoveCount431(int16_t Zero, int16_t &Count) {
    Record(431, Num(Zero));
    Count = MoveCount;
}
void TRecordingCardA::MoveR438(int16_t Axis, float Distance) {
    Record(438, Args({double(Axis), Distance}));
    float at = 0;
    Position(Axis, at);
    Load(Axis, at + Distance);
}
void TRecordingCardA::Position464(int16_t Axis, float &Value) {
    Record(464, Num(Axis));
    Position(Axis, Value);
}
void TRecordingCardA::StopAxis551(int16_t Axis) {
    Record(551, Num(Axis));
    Halt(Axis);
}
void TRecordingCardA::Stopped552(int16_t Zero, bool &Value) {
    Record(552, Num(Zero));
    StateQueried();
    Value = Stopped;
}
void TRecordingCardA::Vector572(int16_t Count, const std::vector<int32_t> &Axes,
                                const std::vector<float> &Targets) {
    Record(572, Num(Count) + "," + List(Axes) + "," + List(Targets));
    for (int i = 0; i < 3 && i < int(Targets.size()); ++i)
        Load(i, Targets[size_t(i)]);
}
void TRecordingCardA::Enable606(bool On) { Record(606, Num(On)); }
void TRecordingCardA::Events611(bool On) { Record(611, Num(On)); }
void TRecordingCardA::Connect941(int16_t Card, int16_t Port, int32_t Baud, bool On) {
    Record(941, Args({double(Card), double(Port), double(Baud), double(On)}));
}

// ---------------------------------------------------------------- card B

void TRecordingCardB::RaiseData(int16_t Code, float Value) {
    SetComms(Code, Value);
    if (OnDPREvent)
        OnDPREvent(Code);
}
// The card's program reports the drives through comms 37.
void TRecordingCardB::SetStopped(bool On) {
    Stopped = On;
    RaiseData(37, On ? 0 : 1);
}
void TRecordingCardB::DownloadFirmware87(const std::string &Path) { Record(87, Path); }
void TRecordingCardB::Version90(int32_t &Version) {
    Record(90, "");
    if (FConnected != CardPort)
        throw EMintError("no card on port " + IntToStr(FConnected));
    Version = 5023;
}
// The card's program announces the guard and the drives when it starts.
void TRecordingCardB::Run97() {
    Record(97, "");
    RaiseData(19, Comms[19]);
    RaiseData(37, Comms[37]);
}
void TRecordingCardB::SetComms104(int16_t Index, float Value) {
    Record(104, Args({double(Index), Value}));
    SetComms(Index, Value);
}
void TRecordingCardB::GetComms105(int16_t Index, float &Value) {
    Record(105, Num(Index));
    Value = Index >= 0 && Index < 100 ? Comms[Index] : 0;
}
void TRecordingCardB::DownloadProgram107(const std::string &Path) { Record(107, Path); }
void TRecordingCardB::DriveStep204(int16_t Axis) { Record(204, Num(Axis)); }
void TRecordingCardB::Reset207() { Record(207, ""); }
void TRecordingCardB::Circle219(int16_t AxisA, int16_t AxisB, float CentreA, float CentreB,
                                float Angle) {
    Record(219, Args({double(AxisA), double(AxisB), CentreA, CentreB, Angle}));
    Arc(AxisA, AxisB, CentreA, CentreB, Angle);
    Start();
}
void TRecordingCardB::DriveEnable265(int16_t Axis, bool On) {
    Record(265, Args({double(Axis), double(On)}));
}
void TRecordingCardB::Speed305(int16_t Axis, float Feed) {
    Record(305, Args({double(Axis), Feed}));
    if (Axis >= 0 && Axis < 3 && Feed > 0)
        Speed[Axis] = Feed;
}
void TRecordingCardB::Setup307(int16_t Axis, int16_t Value) {
    Record(307, Args({double(Axis), double(Value)}));
}
void TRecordingCardB::FeedOverride308(int16_t Zero, float &Percent) {
    Record(308, Num(Zero));
    Percent = Comms[5];
}
void TRecordingCardB::Go332(int16_t Count, const std::vector<int16_t> &Axes) {
    Record(332, Num(Count) + "," + List(Axes));
    Start();
}
void TRecordingCardB::Home348(int16_t Axis, int16_t Mode) {
    Record(348, Args({double(Axis), double(Mode)}));
    Load(Axis, 0);
    Start();
}
void TRecordingCardB::Idle369(int16_t Axis, bool &Idle) {
    Record(369, Num(Axis));
    StateQueried();
    Idle = AxisIdle(Axis);
}
void TRecordingCardB::Inputs377(int16_t Zero, int32_t &Bits) {
    Record(377, Num(Zero));
    Bits = int32_t(Inputs);
}
void TRecordingCardB::MoveA431(int16_t Axis, float Position) {
    Record(431, Args({double(Axis), Position}));
    Load(Axis, Position);
}
void TRecordingCardB::MoveR439(int16_t Axis, float Distance) {
    Record(439, Args({double(Axis), Distance}));
    float at = 0;
    Position(Axis, at);
    Load(Axis, at + Distance);
}
void TRecordingCardB::Position465(int16_t Axis, float &Value) {
    Record(465, Num(Axis));
    Position(Axis, Value);
}
void TRecordingCardB::StopAxis552(int16_t Axis) {
    Record(552, Num(Axis));
    Halt(Axis);
}
void TRecordingCardB::Suspend559(int16_t Axis, int16_t Suspend) {
    Record(559, Args({double(Axis), double(Suspend)}));
}
// The newer card starts a vector move as it takes it.
void TRecordingCardB::Vector573(int16_t Count, const std::vector<int16_t> &Axes,
                                const std::vector<float> &Targets) {
    Record(573, Num(Count) + "," + List(Axes) + "," + List(Targets));
    for (int i = 0; i < 3 && i < int(Targets.size()); ++i)
        Load(i, Targets[size_t(i)]);
    Start();
}
void TRecordingCardB::Enable606(bool On) { Record(606, Num(On)); }
void TRecordingCardB::Events612(bool On) { Record(612, Num(On)); }
void TRecordingCardB::Connect942(int16_t Card, int16_t Port, int32_t Baud, bool On) {
    Record(942, Args({double(Card), double(Port), double(Baud), double(On)}));
    FConnected = On ? Port : -1;
}
void TRecordingCardB::PutContourAngle1305(int16_t Axis, float Value) {
    Record(1305, Args({double(Axis), Value}));
}

void InstallRecordingCards(const std::string &LogFile, double SpeedUp,
                           const std::string &Faults) {
    MintFactories().CardA = [LogFile, SpeedUp, Faults]() -> std::unique_ptr<TMintControl> {
        auto card = std::make_unique<TRecordingCardA>();
        card->LogFile = LogFile;
        card->SpeedUp = SpeedUp;
        card->Faults(Faults);
        card->Unrecorded = {104, 307, 368, 376, 464, 552};
        return card;
    };
    MintFactories().CardB = [LogFile, SpeedUp, Faults]() -> std::unique_ptr<TMintControl5023> {
        auto card = std::make_unique<TRecordingCardB>();
        card->LogFile = LogFile;
        card->SpeedUp = SpeedUp;
        card->Faults(Faults);
        card->Unrecorded = {105, 308, 369, 377, 465};
        return card;
    };
}

} // namespace orv
