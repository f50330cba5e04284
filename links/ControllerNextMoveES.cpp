#include "links/ControllerNextMoveES.h"

#include "engine/core/NetUtil.h"
#include "links/LinkViews.h"
#include "links/MachLink.h"
#include "links/MintControl.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <cmath>
#include <cstdlib>

namespace orv {

template <typename F> bool TControllerNextMoveES::Call(const char *What, F &&Body) {
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

TControllerNextMoveES::TControllerNextMoveES() {
    DelayMs(40);
    if (MintFactories().CardB)
        FControl = MintFactories().CardB();
    EarlyDone = false;
}

TControllerNextMoveES::~TControllerNextMoveES() {
    FClosing = true;
    FTrace.reset();
}

void TControllerNextMoveES::Trace(const std::string &Line) {
    if (FTrace)
        FTrace->Trace(Line);
}

void TControllerNextMoveES::SetDebug(bool On) {
    Debug = On;
    if (On && !FTrace && LinkViews().Trace)
        FTrace = LinkViews().Trace();
}

void TControllerNextMoveES::SetCycleState(TCycleState State) {
    CycleState = State;
    if (State == csStopped)
        WriteComms(98, 1);
}

void TControllerNextMoveES::SwitchDrives(bool On) {
    Call("204/265", [On](TMintControl5023 &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.DriveStep204(a);
        for (int16_t a = 0; a < 3; ++a)
            C.DriveEnable265(a, On);
    });
    WriteComms(36, On ? 1 : 0);
}

// The given port, then ports 1 to 8; an error of call 90 means no card.
bool TControllerNextMoveES::Search(int Baud) {
    int attempts = 0;
    for (;;) {
        try {
            FControl->Connect942(2, int16_t(FPort), Baud, true);
            DelayMs(200);
            FControl->Version90(FVersion);
            DelayMs(200);
            FOpenFailed = false;
            return true;
        } catch (const EMintError &) {
            FOpenFailed = true;
            FPort = ++attempts;
        }
        if (FPort > 8)
            return false;
    }
}

bool TControllerNextMoveES::Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) {
    FOpenFailed = false;
    FPort = Port;
    FVersion = 0;
    FClosing = false;
    if (!FControl) {
        FOpenFailed = true;
        ReportError("Machine Error", "Motion card not available",
                    "Control Type 7 needs the NextMove card's Mint control");
        return false;
    }
    if (UnderInspection) {
        if (!Call("942", [&](TMintControl5023 &C) { C.Connect942(2, int16_t(FPort), Baud, true); }))
            return false;
    } else if (!Search(Baud)) {
        return false;
    }
    if (FPort < 9 && MachineData) // the link owns the machine data it lent
        SaveComPort(const_cast<TRead_Machinedata_file &>(*MachineData), FPort);
    FWasStopped = false;
    for (int16_t &w : FIdle)
        w = -1;
    std::string folder = FirmwareFolder.empty() ? NetUtil().WorkingFolder : FirmwareFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    std::string firmware = folder + "nStep.chx", mex = ChangeFileExt(ProgramFile, ".MEX");
    if (UnderInspection) {
        if (mint::ReportMissingFile("Firmware file: ", firmware))
            return false;
        if (!Call("87", [&](TMintControl5023 &C) { C.DownloadFirmware87(firmware); }))
            return false;
    }
    if (mint::ReportMissingFile("Mint file:", mex))
        return false;
    DelayMs(50);
    if (!Call("107", [&](TMintControl5023 &C) { C.DownloadProgram107(mex); }))
        return false;
    DelayMs(250);
    FControl->OnDPREvent = [this](int16_t Code) { DataEvent(Code); };
    bool ok = Call("606/97", [](TMintControl5023 &C) {
        C.Enable606(true);
        C.Run97();
    });
    Trace("MintRun");
    DelayMs(300);
    SwitchDrives(true);
    double angle = MachineData ? MachineData->Feed.MaxContourAngle : 0;
    ok = ok && Call("1305/307", [angle](TMintControl5023 &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.PutContourAngle1305(a, float(angle));
        for (int16_t a = 0; a < 3; ++a)
            C.Setup307(a, 3);
    });
    WriteComms(comms::SpindleMaximum, SpindleMaximum);
    WriteComms(35, SpindleMinimum);
    WriteComms(39, MachineData ? MachineData->Feed.StepsF : 0);
    ok = ok && Call("207", [](TMintControl5023 &C) { C.Reset207(); });
    // The card raises its event from its own handler; the done starts the
    // next block (which may wait on the card), so the loop serves it after.
    FControl->OnAxisIdleEvent = [this](int16_t) {
        std::weak_ptr<int> alive = FAlive;
        EventLoop().Post([this, alive] {
            if (alive.lock() && FMoving && FMayComplete && IsIdle() && !IsStopped()) {
                FMoving = false;
                NotifyDone(this, true);
            }
        });
    };
    ok = ok && Call("612", [](TMintControl5023 &C) { C.Events612(true); });
    DelayMs(200);
    FGuardWasOpen = true;
    return ok;
}

void TControllerNextMoveES::Close(int Port, int Baud) {
    FClosing = true;
    Call("606", [](TMintControl5023 &C) { C.Enable606(false); });
    if (!FOpenFailed)
        SwitchDrives(false);
    DelayMs(60);
    if (!FOpenFailed)
        Call("942", [&](TMintControl5023 &C) { C.Connect942(2, int16_t(Port), Baud, false); });
}

void TControllerNextMoveES::SetFeedRate(int StepsPerSecond) {
    bool resume = (FeedRate == 0 && StepsPerSecond != 0) || FSuspended;
    FLookAheadMove = false;
    if (StepsPerSecond == FeedRate || StepsPerSecond == 9999999)
        return;
    FeedRate = StepsPerSecond;
    if (StepsPerSecond == 0) {
        Trace("SUSPEND");
        FSuspended = true;
        Call("559", [](TMintControl5023 &C) {
            for (int16_t a = 0; a < 3; ++a)
                C.Suspend559(a, 1);
        });
        return;
    }
    if (resume) {
        Trace("RESUME");
        FSuspended = false;
        Call("559", [](TMintControl5023 &C) {
            for (int16_t a = 0; a < 3; ++a)
                C.Suspend559(a, 0);
        });
        if (IsIdle())
            NotifyDone(this, true);
    }
    Trace("MintController Set feed:" + IntToStr(StepsPerSecond));
    Call("305", [StepsPerSecond](TMintControl5023 &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.Speed305(a, float(StepsPerSecond));
    });
}

void TControllerNextMoveES::SetSpindleSpeed(int Rpm) {
    if (Rpm == SpindleSpeed)
        return;
    SpindleSpeed = Rpm;
    WriteComms(comms::Speed, Rpm);
}

int TControllerNextMoveES::GetFeedOverride() {
    float v = 0;
    Call("308", [&v](TMintControl5023 &C) { C.FeedOverride308(0, v); });
    return mint::Nearest(v);
}

void TControllerNextMoveES::SetFeedOverride(int Percent) {
    if (Percent == FeedOverride)
        return;
    FeedOverride = Percent;
    if (!(MachineData && MachineData->MachineCapability.FeedPot))
        WriteComms(comms::FeedOverride, Percent);
}

void TControllerNextMoveES::SetSpindleOverride(int Percent) {
    if (Percent == SpindleOverride)
        return;
    SpindleOverride = Percent;
    if (!(MachineData && MachineData->MachineCapability.SpeedPot))
        WriteComms(comms::SpeedOverride, Percent);
}

void TControllerNextMoveES::WriteComms(int Index, Extended Value) {
    if (FClosing || !FControl)
        return;
    Trace("Write Comms:" + IntToStr(Index) + ";" + FloatToStr(double(Value)));
    Call("104", [Index, Value](TMintControl5023 &C) {
        C.SetComms104(int16_t(Index), float(Value));
        if (Index == 7 || Index == 17 || Index == 18 || Index == 20 || Index == 36)
            C.SetComms104(1, float(Index));
    });
    if (Index == 7 || Index == 17 || Index == 18 || Index == 20 || Index == 36)
        Trace("Write Comms1 (command):" + IntToStr(Index));
}

Extended TControllerNextMoveES::ReadComms(int Index) {
    if (FClosing || !FControl)
        return NoCommsValue;
    float v = 0;
    if (!Call("105", [Index, &v](TMintControl5023 &C) { C.GetComms105(int16_t(Index), v); }))
        return NoCommsValue;
    Trace("Read Comms:" + IntToStr(Index) + ";" + FloatToStr(double(v)));
    return v;
}

void TControllerNextMoveES::GetVersion(std::string &Text) {
    Text = "Ver: " + IntToStr(FVersion);
}

void TControllerNextMoveES::DataEvent(int16_t Code) {
    Trace("DPREVent EVENT ***********" + IntToStr(Code));
    Extended v = ReadComms(Code);
    Trace("EVENT VALUE:" + FloatToStr(double(v)));
    if (!HasCommsValue(v))
        return;
    if (Code == 6)
        FSpindleOverride = int(std::lround(double(v)));
    else if (Code == 19)
        FGuard = v != 0;
    else if (Code == 37)
        FDrivesEnabled = v != 0;
}

bool TControllerNextMoveES::IsStopped() {
    Trace("Get ESTOP stat");
    if (FDrivesEnabled && FWasStopped) {
        FWasStopped = false;
        SwitchDrives(true);
    } else if (!FDrivesEnabled && !FWasStopped) {
        FWasStopped = true;
        Call("207", [](TMintControl5023 &C) { C.Reset207(); });
    }
    return !FDrivesEnabled;
}

// The first safe answer after an unsafe one drops the feed to 0, so the
// next feed resumes motion.
bool TControllerNextMoveES::IsSafe() {
    bool safe = ToolChanging || FGuard;
    if (!safe) {
        FGuardWasOpen = true;
        return false;
    }
    if (FGuardWasOpen) {
        FGuardWasOpen = false;
        FeedRate = 0;
    }
    return true;
}

void TControllerNextMoveES::Home(int Axis, int Direction) {
    Call("348", [Axis, Direction](TMintControl5023 &C) {
        C.Home348(int16_t(Axis), Direction != 0 ? 2 : 0);
    });
}

bool TControllerNextMoveES::GetPosition(int32_t &X, int32_t &Y, int32_t &Z) {
    X = Y = Z = 0;
    if (!FControl || FClosing || FLookAheadMove)
        return false;
    Trace("Get Pos");
    float p[3] = {0, 0, 0};
    bool ok = Call("465", [&p](TMintControl5023 &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.Position465(a, p[a]);
    });
    X = mint::Nearest(p[0]);
    Y = mint::Nearest(p[1]);
    Z = mint::Nearest(p[2]);
    return ok;
}

// Every axis within 2 steps of the target.
bool TControllerNextMoveES::AtTarget(int32_t X, int32_t Y, int32_t Z) {
    int32_t x = 0, y = 0, z = 0;
    bool read = false;
    for (int tries = 0; tries < 100 && !read; ++tries) {
        Trace("Check NotAtSamePos #1");
        read = GetPosition(x, y, z);
    }
    bool same = read && std::abs(x - X) <= 2 && std::abs(y - Y) <= 2 && std::abs(z - Z) <= 2;
    Trace(same ? "NotAtSamePos is FALSE" : "NotAtSamePos is TRUE");
    return same;
}

void TControllerNextMoveES::LoadVector(int32_t X, int32_t Y, int32_t Z) {
    FTargets = {float(X), float(Y), float(Z)};
    FMoving = true;
    Call("573", [this](TMintControl5023 &C) { C.Vector573(3, FAxes, FTargets); });
}

void TControllerNextMoveES::MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) {
    if (!FDrivesEnabled)
        return;
    if (LookAhead && Turbo) {
        FLookAheadMove = true;
        FMayComplete = false;
        LoadVector(X, Y, Z);
        NotifyDone(this, true);
        return;
    }
    FLookAheadMove = false;
    if (AtTarget(X, Y, Z)) {
        NotifyDone(this, true);
        return;
    }
    LoadVector(X, Y, Z);
    FMayComplete = true;
}

void TControllerNextMoveES::SetTurboMode(bool On) {
    Turbo = On;
    if (!On) {
        FLookAheadMove = false;
        FMayComplete = true;
        FMoving = true;
    }
}

void TControllerNextMoveES::MoveAxisAbsolute(int Axis, int32_t Position) {
    Call("431/332", [this, Axis, Position](TMintControl5023 &C) {
        C.MoveA431(int16_t(Axis), float(Position));
        C.Go332(3, FAxes);
    });
}

void TControllerNextMoveES::MoveAxisRelative(int Axis, int32_t Distance) {
    Call("439/332", [this, Axis, Distance](TMintControl5023 &C) {
        C.MoveR439(int16_t(Axis), float(Distance));
        C.Go332(3, FAxes);
    });
}

void TControllerNextMoveES::Stop() {
    Trace("STOP");
    Call("552", [](TMintControl5023 &C) {
        for (int16_t a = 0; a < 3; ++a)
            C.StopAxis552(a);
    });
    FMayComplete = true;
}

void TControllerNextMoveES::MoveRapid(int32_t X, int32_t Y, int32_t Z) {
    FLookAheadMove = false;
    if (AtTarget(X, Y, Z)) {
        NotifyDone(this, true);
        return;
    }
    Call("431/332", [this, X, Y, Z](TMintControl5023 &C) {
        C.MoveA431(0, float(X));
        C.MoveA431(1, float(Y));
        C.MoveA431(2, float(Z));
        C.Go332(3, FAxes);
    });
    FMayComplete = true;
    FMoving = true;
}

void TControllerNextMoveES::MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX,
                                    int32_t CentreY, int32_t CentreZ, int32_t Radius, double Sweep,
                                    bool LookAhead, int Plane) {
    bool ahead = LookAhead && Turbo;
    FLookAheadMove = ahead;
    FMayComplete = !ahead;
    int16_t a = 0, b = 1;
    float ca = 0, cb = 0;
    if (!mint::ArcAxes(Plane, CentreX, CentreY, CentreZ, a, b, ca, cb))
        return;
    FMoving = true;
    Call("219", [&](TMintControl5023 &C) { C.Circle219(a, b, ca, cb, float(-Sweep)); });
    if (ahead)
        NotifyDone(this, true);
}

void TControllerNextMoveES::NotifyDone(TObject *Sender, bool InPosition) {
    Trace("IDLE NOTIFY");
    if (!FSuspended && NotifyWindow)
        NotifyWindow(WM_USER_MESSAGE + 1);
}

bool TControllerNextMoveES::IsIdle() {
    if (!FControl || FClosing)
        return false;
    bool idle[3] = {false, false, false};
    if (!Call("369", [&idle](TMintControl5023 &C) {
            for (int16_t a = 0; a < 3; ++a)
                C.Idle369(a, idle[a]);
        }))
        return false;
    for (int a = 0; a < 3; ++a)
        FIdle[a] = idle[a] ? -1 : 0;
    Trace("Get Idle:" + IntToStr(FIdle[0]) + ";" + IntToStr(FIdle[1]) + ";" + IntToStr(FIdle[2]) +
          ";");
    return idle[0] && idle[1] && idle[2];
}

bool TControllerNextMoveES::ReadInput(int Index) {
    int32_t bits = 0;
    return Call("377", [&bits](TMintControl5023 &C) { C.Inputs377(0, bits); }) &&
           mint::InputBit(bits, Index);
}

} // namespace orv
