#pragma once
// The controller of Control Type 7: the newer NextMove card on a serial
// port through its Mint control (TMintControl5023). Open searches the
// ports for the card and saves the one found in the machine file, loads
// the ".MEX" program (and the firmware under inspection); the card's data
// events keep the guard, stop and spindle-override states; a feed of 0
// suspends motion and the next feed resumes it; completion is posted to
// the notification window (WM_USER + 1). A failing call is reported
// through OnError. An optional trace window "Next Step DEBUG" logs it all.

#include "links/BasicController.h"

#include <memory>
#include <string>
#include <vector>

namespace orv {

class TMintControl5023;
class TCardTraceView;

class TControllerNextMoveES : public TBasicController {
public:
    TControllerNextMoveES();
    ~TControllerNextMoveES() override;

    void SetErrorHandler(TControllerErrorEvent Handler) override { OnError = std::move(Handler); }
    // 0 suspends the axes; the next non-zero feed resumes them.
    void SetFeedRate(int StepsPerSecond) override;
    void SetSpindleSpeed(int Rpm) override;
    int GetFeedOverride() override;
    void SetFeedOverride(int Percent) override;
    int GetSpindleOverride() override { return FSpindleOverride; }
    void SetSpindleOverride(int Percent) override;
    void SetDebug(bool On) override;
    void SetCycleState(TCycleState State) override;
    void Close(int Port, int Baud) override;
    // Tries Port, then ports 1 to 8 (not under inspection); false without a
    // card, or with the firmware (under inspection) or ".MEX" file missing.
    bool Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) override;
    void WriteComms(int Index, Extended Value) override;
    // 9e9 while closing or without a control.
    Extended ReadComms(int Index) override;
    void GetVersion(std::string &Text) override;
    bool IsStopped() override;
    bool IsSafe() override;
    void Home(int Axis, int Direction) override;
    bool GetPosition(int32_t &X, int32_t &Y, int32_t &Z) override;
    void MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) override;
    void SetTurboMode(bool On) override;
    void MoveAxisAbsolute(int Axis, int32_t Position) override;
    void MoveAxisRelative(int Axis, int32_t Distance) override;
    void Stop() override;
    // Loads the three axes' moves and starts them.
    void MoveRapid(int32_t X, int32_t Y, int32_t Z) override;
    void MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY, int32_t CentreZ,
                 int32_t Radius, double Sweep, bool LookAhead, int Plane) override;
    // Posts WM_USER + 1 unless motion is suspended.
    void NotifyDone(TObject *Sender, bool InPosition) override;
    bool IsIdle() override;
    // Bit Index of the inputs, 0 to 31 (an unsigned test).
    bool ReadInput(int Index) override;

    int PortInUse() const { return FPort; }
    bool Suspended() const { return FSuspended; }
    // The folder of "nStep.chx"; empty: the working folder.
    std::string FirmwareFolder;

private:
    template <typename F> bool Call(const char *What, F &&Body);
    void SwitchDrives(bool On);
    bool Search(int Baud);
    bool AtTarget(int32_t X, int32_t Y, int32_t Z);
    void LoadVector(int32_t X, int32_t Y, int32_t Z);
    void DataEvent(int16_t Code);
    void Trace(const std::string &Line);

    std::unique_ptr<TMintControl5023> FControl;
    // Events posted to the loop find the controller gone after this.
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
    std::unique_ptr<TCardTraceView> FTrace;
    std::vector<int16_t> FAxes{0, 1, 2};
    std::vector<float> FTargets{0, 0, 0};
    int FPort = 0;
    bool FOpenFailed = false;
    int32_t FVersion = 0;
    int16_t FIdle[3] = {-1, -1, -1};
    bool FMoving = false, FMayComplete = false, FLookAheadMove = false, FSuspended = false;
    bool FDrivesEnabled = true, FGuard = false, FWasStopped = false, FGuardWasOpen = false;
    bool FClosing = false;
    int FSpindleOverride = 100;
};

} // namespace orv
