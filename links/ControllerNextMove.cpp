#include "links/ControllerNextMove.h"

#include "links/LinkViews.h"
#include "links/MintControl.h"
#include "platform/EventLoop.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <cmath>

namespace orv {

// Runs Body against the control; a failure is reported, never thrown on.
template <typename F> bool TControllerNextMove::Call(const char *What, F &&Body) {
    if (!FControl)
        return false;
    try {
        Body(*FControl);
        return true;
    } catch (const EMintError &e) {
        ReportError("Machine Error", std::string("Motion card call failed: ") + What, e.what());
        return false;
    }
}

TControllerNextMove::TControllerNextMove() {
    if (LinkViews().Splash)
        FSplash = LinkViews().Splash();
    DelayMs(40);
    if (MintFactories().CardA)
        FControl = MintFactories().CardA();
    if (FControl) {
        try {
            FControl->Connect941(2, 1, 57600, true);
        } catch (const EMintError &) {
            FControl.reset(); // no card: Open says so
        }
    }
    EarlyDone = false;
}

TControllerNextMove::~TControllerNextMove() {
    FSplash.reset();
    if (FControl)
        SwitchDrives(false);
}

void TControllerNextMove::Status(const std::string &Text, int PauseMs) {
    if (FSplash)
        FSplash->SetStatus(Text);
    DelayMs(PauseMs);
}

void TControllerNextMove::SwitchDrives(bool On) {
    Call("203", [](TMintControl &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.DriveStep203(a);
    });
    Call("264", [On](TMintControl &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.DriveEnable264(a, On);
    });
}

bool TControllerNextMove::Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) {
    for (int16_t &w : FIdle)
        w = -1;
    FWasStopped = false;
    if (!FControl) {
        ReportError("Machine Error", "Motion card not available",
                    "Control Type 1 needs the NextMove PCI card and its Mint control");
        return false;
    }
    std::string folder = FirmwareFolder.empty() ? ProgramFolder() : FirmwareFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    if (mint::ReportMissingFile("Firmware file:", folder + "nmpci.chx") ||
        mint::ReportMissingFile("Config file:", ChangeFileExt(ProgramFile, ".cfg")) ||
        mint::ReportMissingFile("Mint file:", ProgramFile))
        return false;
    Status("Downloading Firmware", 50);
    Status("Downloading Mint file", 50);
    Status("Downloading Config", 50);
    if (!Call("96", [](TMintControl &C) { C.DownloadDone96(); }))
        return false;
    Status("Enabling Drives", 300);
    SwitchDrives(true);
    bool ok = Call("236/306", [](TMintControl &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.Setup236(a, 3);
        for (int16_t a = 0; a < 3; ++a)
            C.Setup306(a, 3);
    });
    WriteComms(comms::SpindleMaximum, SpindleMaximum);
    // The card raises its event from its own handler; the done starts the
    // next block (which may wait on the card), so the loop serves it after.
    FControl->OnAxisIdleEvent = [this](int16_t) {
        std::weak_ptr<int> alive = FAlive;
        EventLoop().Post([this, alive] {
            if (alive.lock() && IsIdle() && !IsStopped())
                NotifyDone(this, true);
        });
    };
    ok = ok && Call("611/606", [](TMintControl &C) {
        C.Events611(true);
        C.Enable606(true);
    });
    Status("Finished !", 200);
    FSplash.reset();
    return ok;
}

void TControllerNextMove::SetFeedRate(int StepsPerSecond) {
    if (StepsPerSecond == FeedRate || StepsPerSecond == 9999999)
        return;
    FeedRate = StepsPerSecond;
    Call("304", [StepsPerSecond](TMintControl &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.Speed304(a, float(StepsPerSecond));
    });
}

void TControllerNextMove::SetSpindleSpeed(int Rpm) {
    if (Rpm == SpindleSpeed)
        return;
    SpindleSpeed = Rpm;
    WriteComms(comms::Speed, Rpm);
}

int TControllerNextMove::GetFeedOverride() {
    float v = 0;
    Call("307", [&v](TMintControl &C) { C.FeedOverride307(0, v); });
    return mint::Nearest(v);
}

void TControllerNextMove::SetFeedOverride(int Percent) {
    if (Percent == FeedOverride)
        return;
    FeedOverride = Percent;
    WriteComms(comms::FeedOverride, Percent);
}

int TControllerNextMove::GetSpindleOverride() {
    return int(std::lround(double(ReadComms(comms::SpeedOverride))));
}

void TControllerNextMove::SetSpindleOverride(int Percent) {
    if (Percent == SpindleOverride)
        return;
    SpindleOverride = Percent;
    WriteComms(comms::SpeedOverride, Percent);
}

// Command entries name themselves in comms 1 after their value.
void TControllerNextMove::WriteComms(int Index, Extended Value) {
    Call("103", [Index, Value](TMintControl &C) {
        C.SetComms103(int16_t(Index), float(Value));
        if (Index == 7 || Index == 17 || Index == 18 || Index == 20)
            C.SetComms103(1, float(Index));
    });
}

Extended TControllerNextMove::ReadComms(int Index) {
    float v = 0;
    if (!Call("104", [Index, &v](TMintControl &C) { C.GetComms104(int16_t(Index), v); }))
        return NoCommsValue;
    return v;
}

bool TControllerNextMove::IsStopped() {
    bool stopped = false;
    if (!Call("552", [&stopped](TMintControl &C) { C.Stopped552(0, stopped); }))
        return false;
    if (!stopped && FWasStopped)
        SwitchDrives(true);
    FWasStopped = stopped;
    return stopped;
}

bool TControllerNextMove::IsSafe() {
    Extended v = ReadComms(comms::ReadySafe);
    return HasCommsValue(v) && v != 0;
}

void TControllerNextMove::Home(int Axis, int Direction) {
    Call("347", [Axis, Direction](TMintControl &C) {
        C.Home347(int16_t(Axis), Direction == 0 ? 2 : 0);
    });
}

bool TControllerNextMove::GetPosition(int32_t &X, int32_t &Y, int32_t &Z) {
    float p[3] = {0, 0, 0};
    bool ok = Call("464", [&p](TMintControl &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.Position464(a, p[a]);
    });
    X = mint::Nearest(p[0]);
    Y = mint::Nearest(p[1]);
    Z = mint::Nearest(p[2]);
    return ok;
}

// The card takes a linear move when its move count is 3 or more; the wait
// for it ends on Escape, a stop made during the wait (the cycle state when
// the wait began does not count: the link positions the axes while the
// cycle is stopped), or MoveCountTimeOutMs with a machine error. The count
// is read again every 10 ms.
void TControllerNextMove::MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) {
    int16_t n = 0;
    if (!Call("431", [&n](TMintControl &C) { C.MoveCount431(0, n); }))
        return;
    if (n < 3) {
        if (!Call("331", [this](TMintControl &C) { C.Go331(3, FAxes); }))
            return;
        int64_t deadline = EventLoop().NowMs() + MoveCountTimeOutMs;
        const int stops = FStops;
        while (n < 3) {
            EventLoop().WaitMessages(10);
            if (EventLoop().KeyDown(VK_ESCAPE) || FStops != stops)
                return;
            if (EventLoop().NowMs() >= deadline) {
                ReportError("Machine Error", "Motion card move buffer Timed Out",
                            "The card's move count stayed below 3 for " +
                                IntToStr(MoveCountTimeOutMs / 1000) + " s");
                return;
            }
            if (!Call("431", [&n](TMintControl &C) { C.MoveCount431(0, n); }))
                return;
        }
    }
    FTargets = {float(X), float(Y), float(Z)};
    int32_t x, y, z;
    if (GetPosition(x, y, z) && x == X && y == Y && z == Z) {
        NotifyDone(this, true);
        return;
    }
    bool ok = Call("572/331", [this](TMintControl &C) {
        C.Vector572(3, FAxes, FTargets);
        C.Go331(3, FAxes);
    });
    if (ok && LookAhead && Turbo)
        NotifyDone(this, true);
}

void TControllerNextMove::MoveAxisAbsolute(int Axis, int32_t Position) {
    Call("430/331", [this, Axis, Position](TMintControl &C) {
        C.MoveA430(int16_t(Axis), float(Position));
        C.Go331(3, FAxes);
    });
}

void TControllerNextMove::MoveAxisRelative(int Axis, int32_t Distance) {
    Call("438/331", [this, Axis, Distance](TMintControl &C) {
        C.MoveR438(int16_t(Axis), float(Distance));
        C.Go331(3, FAxes);
    });
}

void TControllerNextMove::SetCycleState(TCycleState State) {
    if (State == csStopped && CycleState != csStopped)
        ++FStops;
    TBasicController::SetCycleState(State);
}

void TControllerNextMove::Stop() {
    ++FStops;
    Call("551", [](TMintControl &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.StopAxis551(a);
    });
}

void TControllerNextMove::MoveRapid(int32_t X, int32_t Y, int32_t Z) {
    int32_t x, y, z;
    if (GetPosition(x, y, z) && x == X && y == Y && z == Z) {
        NotifyDone(this, true);
        return;
    }
    Call("430/331", [this, X, Y, Z](TMintControl &C) {
        C.MoveA430(0, float(X));
        C.MoveA430(1, float(Y));
        C.MoveA430(2, float(Z));
        C.Go331(3, FAxes);
    });
}

void TControllerNextMove::MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX,
                                  int32_t CentreY, int32_t CentreZ, int32_t Radius, double Sweep,
                                  bool LookAhead, int Plane) {
    int16_t a = 0, b = 1;
    float ca = float(CentreX), cb = float(CentreY);
    mint::ArcAxes(Plane, CentreX, CentreY, CentreZ, a, b, ca, cb); // else the XY plane
    Call("218/331", [&](TMintControl &C) {
        C.Circle218(a, b, ca, cb, float(-Sweep));
        C.Go331(3, FAxes);
    });
}

void TControllerNextMove::NotifyDone(TObject *Sender, bool InPosition) {
    if (OnDone)
        OnDone(Sender, InPosition);
}

bool TControllerNextMove::IsIdle() {
    bool idle[3] = {false, false, false};
    if (!Call("368", [&idle](TMintControl &C) {
            for (int16_t a = 0; a < 3; ++a)
                C.Idle368(a, idle[a]);
        }))
        return false;
    for (int a = 0; a < 3; ++a)
        FIdle[a] = idle[a] ? -1 : 0;
    return idle[0] && idle[1] && idle[2];
}

bool TControllerNextMove::ReadInput(int Index) {
    int32_t bits = 0;
    return Call("376", [&bits](TMintControl &C) { C.Inputs376(0, bits); }) &&
           mint::InputBit(bits, Index);
}

} // namespace orv
