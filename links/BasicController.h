#pragma once
// The contract between the machine link and the motion controllers it
// drives: every operation a harmless default, so a controller overrides
// what its hardware offers. Positions and distances are motor steps, feeds
// steps per second, speeds rpm, overrides percent. The link fills the
// fields between construction and Open; only the link calls a controller.

#include "engine/core/data_types.h"
#include "platform/Classes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orv {

class TRead_Machinedata_file;

using TControllerErrorEvent =
    std::function<void(TObject *Sender, int Line, const std::string &Caption,
                       const std::string &Message, const std::string &Details)>;
using TControllerNotifyEvent = std::function<void(TObject *Sender)>;
using TControllerDoneEvent = std::function<void(TObject *Sender, bool InPosition)>;
// The engine form's "window": the worker's notifications (WM_USER + n)
// are posted to it.
using TNotifyWindow = std::function<void(int Message)>;

// The messages a controller posts to its notification window.
constexpr int WM_USER_MESSAGE = 0x0400;

// A comms read that got no reply of its own: no value. The link's waits
// never take it for a finished command.
constexpr Extended NoCommsValue = 9e9L;
inline bool HasCommsValue(Extended Value) {
    return Value != NoCommsValue;
}

// Indexes of the comms array that the link and the controllers share.
namespace comms {
constexpr int Handshake = 1;
constexpr int Mode = 2;
constexpr int Feed = 3;
constexpr int Speed = 4;
constexpr int FeedOverride = 5;
constexpr int SpeedOverride = 6;
constexpr int Tool = 7;
constexpr int FeedPot = 8;
constexpr int SpeedPot = 9;
constexpr int AutoChanger = 10;
constexpr int SpindleMaximum = 15;
constexpr int MCode = 18;
constexpr int ReadySafe = 19;
constexpr int Start = 20;
constexpr int VersionMajor = 31;
constexpr int VersionMinor = 32;
constexpr int RemoteCycle = 34;
constexpr int RemoteVice = 38;
constexpr int LastChanged = 99;
// The local copies hold entries 1 to 99.
inline bool InTable(int Index) {
    return Index >= 1 && Index <= 99;
}
} // namespace comms

class TBasicController : public TObject {
public:
    TBasicController();
    ~TBasicController() override;

    virtual void SetErrorHandler(TControllerErrorEvent Handler) {}
    // Idle loop turns of a protocol worker between two status polls.
    virtual void SetPollingDelay(int Turns) {}
    virtual int GetFeedRate() { return FeedRate; }
    // Steps per second; 9999999 stands for a missing feed.
    virtual void SetFeedRate(int StepsPerSecond) {}
    virtual int GetSpindleSpeed() { return SpindleSpeed; }
    virtual void SetSpindleSpeed(int Rpm) {}
    virtual int GetFeedOverride() { return 100; }
    virtual void SetFeedOverride(int Percent) {}
    virtual int GetSpindleOverride() { return 100; }
    virtual void SetSpindleOverride(int Percent) {}
    virtual void SetDebug(bool On) { Debug = On; }
    virtual void SetCycleState(TCycleState State) { CycleState = State; }
    virtual void Close(int Port, int Baud) {}
    // Connects to the controller; false when the connection failed.
    virtual bool Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) { return true; }
    virtual void WriteComms(int Index, Extended Value) {}
    // The entry's value; NoCommsValue when the controller gave none.
    virtual Extended ReadComms(int Index) { return 0; }
    virtual void GetVersion(std::string &Text) {}
    // True while the controller reports its motion stopped (e-stop).
    virtual bool IsStopped() { return false; }
    // The guard is closed.
    virtual bool IsSafe() { return true; }
    // Axis 0 X, 1 Y, 2 Z; Direction 2 toward the negative end, else 0.
    virtual void Home(int Axis, int Direction) {}
    // True when the three positions (steps) are valid.
    virtual bool GetPosition(int32_t &X, int32_t &Y, int32_t &Z) {
        X = Y = Z = 0;
        return false;
    }
    virtual void MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) {}
    virtual void SetTurboMode(bool On) {}
    virtual void MoveAxisAbsolute(int Axis, int32_t Position) {}
    virtual void MoveAxisRelative(int Axis, int32_t Distance) {}
    virtual void Stop() {}
    virtual void MoveRapid(int32_t X, int32_t Y, int32_t Z) {}
    // Sweep in degrees, positive clockwise, 360 for a full circle; Plane
    // 17, 18 or 19.
    virtual void MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY,
                         int32_t CentreZ, int32_t Radius, double Sweep, bool LookAhead, int Plane) {
    }
    virtual void NotifyDone(TObject *Sender, bool InPosition) {}
    virtual bool IsIdle() { return true; }
    // Frames or lines handed over but not yet written and answered (the
    // controllers that queue them); a link closed meanwhile drops them.
    virtual bool Pending() const { return false; }
    virtual bool ReadInput(int Index) { return true; }
    virtual void SetOutput(int Index, const std::string &Value) {}
    // False once the line has failed (a frame given up): the controller
    // sends nothing more but one stop, until the link connects again.
    virtual bool Connected() { return true; }

    TControllerErrorEvent OnError;
    TControllerNotifyEvent OnStopped;
    int FeedRate = 0;
    int SpindleSpeed = 0;
    int FeedOverride = 0;
    int SpindleOverride = 0;
    bool Debug = false;
    TCycleState CycleState = csStopped;
    TNotifyWindow NotifyWindow;
    int SpindleMaximum = 0, SpindleMinimum = 0;
    double MaxRateX = 0, MaxRateY = 0, MaxRateZ = 0;
    TControllerDoneEvent OnDone;
    double HomeFeed = 0;
    int HomeOffsetX = 0, HomeOffsetY = 0, HomeOffsetZ = 0;
    bool EarlyDone = false;
    bool Turbo = false;
    std::string ProgramFile;
    bool UnderInspection = false;
    int ShortestContour = 0;
    int ShortestTime = 0;
    const TRead_Machinedata_file *MachineData = nullptr;
    bool ToolChanging = false;

protected:
    void ReportError(const std::string &Caption, const std::string &Message,
                     const std::string &Details);
};

} // namespace orv
