#pragma once
// The controller of Control Type 1: a NextMove PCI card through its Mint
// control (TMintControl). Every contract call becomes dispatch calls on
// the control; the control's axis-idle event completes moves. A call that
// fails is reported through OnError; a card that is not available makes
// Open fail with a machine error. Arcs are cut in the plane's own axes.

#include "links/BasicController.h"

#include <memory>
#include <string>
#include <vector>

namespace orv {

class TMintControl;
class TCardSplashView;

class TControllerNextMove : public TBasicController {
public:
    // Longest wait for the card's move count (call 431), ms.
    int MoveCountTimeOutMs = 10000;
    // The folder of "nmpci.chx"; empty: the program folder.
    std::string FirmwareFolder;

    TControllerNextMove();
    ~TControllerNextMove() override;

    void SetErrorHandler(TControllerErrorEvent Handler) override { OnError = std::move(Handler); }
    void SetFeedRate(int StepsPerSecond) override;
    void SetSpindleSpeed(int Rpm) override;
    int GetFeedOverride() override;
    void SetFeedOverride(int Percent) override;
    int GetSpindleOverride() override;
    void SetSpindleOverride(int Percent) override;
    // A run stopped while a move waits ends the wait.
    void SetCycleState(TCycleState State) override;
    // The firmware, ".cfg" and Mint files must exist ("Firmware file:" ...
    // " does not exist !"); false then, or without a card.
    bool Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) override;
    void WriteComms(int Index, Extended Value) override;
    Extended ReadComms(int Index) override;
    void GetVersion(std::string &Text) override { Text = "NextMove PCI Mint V4.2"; }
    bool IsStopped() override;
    bool IsSafe() override;
    void Home(int Axis, int Direction) override;
    bool GetPosition(int32_t &X, int32_t &Y, int32_t &Z) override;
    void MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) override;
    void SetTurboMode(bool On) override { Turbo = On; }
    void MoveAxisAbsolute(int Axis, int32_t Position) override;
    void MoveAxisRelative(int Axis, int32_t Distance) override;
    void Stop() override;
    void MoveRapid(int32_t X, int32_t Y, int32_t Z) override;
    // Plane 17: axes 0, 1 with CentreX, CentreY; 18: 0, 2 with CentreX,
    // CentreZ; 19: 1, 2 with CentreY, CentreZ. The angle is the negated sweep.
    void MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY, int32_t CentreZ,
                 int32_t Radius, double Sweep, bool LookAhead, int Plane) override;
    void NotifyDone(TObject *Sender, bool InPosition) override;
    bool IsIdle() override;
    // Bit Index of the inputs, 0 to 31 (an unsigned test).
    bool ReadInput(int Index) override;

    bool HasControl() const { return FControl != nullptr; }

private:
    template <typename F> bool Call(const char *What, F &&Body);
    void SwitchDrives(bool On);
    void Status(const std::string &Text, int PauseMs);

    std::unique_ptr<TMintControl> FControl;
    // Events posted to the loop find the controller gone after this.
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
    std::unique_ptr<TCardSplashView> FSplash;
    std::vector<int32_t> FAxes{1, 2, 3};
    std::vector<float> FTargets{0, 0, 0};
    int16_t FIdle[3] = {-1, -1, -1};
    bool FWasStopped = false;
    int FStops = 0; // Stop calls: one during a wait ends it
};

} // namespace orv
