#pragma once
// The machine that drives a real mill: connects to the motion controller
// the machine file's [Communications] "Control Type" names and turns every
// machine operation into controller calls (moves in motor steps, M, S and
// T functions with the manual prompts, jogging within the travel, homing,
// overrides, guard, e-stop, idle and position polling) and the controller's
// move notifications into block completions. User-interface thread only;
// its waits serve the message queue and end on Escape, stop or a deadline.

#include "engine/chain/EngineHost.h"
#include "links/BasicController.h"
#include "machine/BasicMachine.h"

#include <functional>
#include <memory>
#include <string>

namespace orv {

class TRead_Machinedata_file;

// Writes the port found for the machine into the machine data and into
// [Communications] "Com Port" of the active machine's parameter file.
void SaveComPort(TRead_Machinedata_file &MachineData, int Port);

// The controller class name of a Control Type (0 to 7; others TController).
std::string ControllerClassName(int ControlType);

class TMachLink : public TBasicMachine {
public:
    explicit TMachLink(TBaseForm *Owner);
    ~TMachLink() override;

    // Tool, speed, M code, feed and move as the base runs them, except that
    // a step that stopped the run (its error) ends the block there.
    bool ProcessBlock(const TMachineBlock &Block) override;
    void ApplyBlockSpeed(const TMachineBlock &Block) override;
    void ApplyBlockTool(const TMachineBlock &Block) override;
    void ApplyBlockFeed(const TMachineBlock &Block) override;
    void LinearMove(int32_t X, int32_t Y, int32_t Z) override;
    void RapidMove(int32_t X, int32_t Y, int32_t Z) override;
    // XY arcs go to the controller; an arc in another plane stops the run
    // with a machine error naming the plane.
    void ArcMove(int32_t X, int32_t Y, int32_t Z, int32_t I, int32_t J, int32_t K, int32_t Radius,
                 Extended Sweep, int Plane) override;
    void ReferenceMove(int32_t X, int32_t Y, int32_t Z) override;
    void Dwell() override;
    // Feed in mm/min; the controller gets steps per second.
    void SetFeedrate(int Feed) override;
    void SetSpindleSpeed(int Speed) override;
    void ToolChange(int Tool) override;
    int GetFeedOverride() override;
    void SetFeedOverride(int Percent) override;
    int GetSpeedOverride() override;
    void SetSpeedOverride(int Percent) override;
    void SetTurboMode(bool On) override;
    void SetMachineMode(TMachineMode Mode) override;
    void SetCycleState(TCycleState State) override;
    bool IsInPosition() override { return InPosition; }
    bool IsEStopped() override;
    // Connects; false (with a machine error or the controller's message)
    // when the controller cannot be used.
    bool Initialise() override;
    void GetPosition(TMachinePosition &P) override;
    void CycleStart() override;
    void Stop() override;
    void ExecuteMCode(int &MCode) override;
    void HomeAxis(int Code) override;
    bool JogContinuous(int Axis, int Feed, bool Positive) override;
    void JogIncrement(int Axis, int Feed, double Distance) override;
    bool IsSafe() override;
    bool IsIdle() override;
    // False without a controller and once the controller's line failed.
    bool Connected() override;
    void InPositionChanged(TObject *Sender, bool InPos) override;
    void ShowVersion() override;
    void GetMachinePosition(TXYZ &P) override;

    // Makes the controller for ControlType; null for a type whose
    // controller this program does not have.
    virtual std::unique_ptr<TBasicController> CreateController(int Type);

    TNotifyWindow NotifyWindow;
    std::unique_ptr<class TTimer> TimeoutTimer;
    bool MovePending = false;
    int TCodeTimeout = 60000; // ms
    int HomeOffsetX = 0, HomeOffsetY = 0, HomeOffsetZ = 0;
    bool HomeNegativeX = false, HomeNegativeY = false, HomeNegativeZ = false;
    std::string VersionText;
    int ControllerFeed = -1;
    int ControlType = 5;
    bool EStopped = false;
    bool TimedOut = false;
    bool InPosition = false;
    std::unique_ptr<TBasicController> Controller;
    // The settings file of the serial port map; empty: the main settings.
    std::string SettingsFile;
    // The window that shows a controller program's download ("Setting Up
    // Machine [file]"); none: the download shows nothing.
    std::function<std::unique_ptr<TProgressView>()> ProgressFactory;

private:
    void ControllerError(TObject *Sender, int Line, const std::string &Caption,
                         const std::string &Message, const std::string &Details);
    void ControllerStopped(TObject *Sender);
    void FillController();
    bool WaitIdle(const std::string &What, int TimeOutMs);
    TWaitResult WaitHandshake(int TimeOutMs);
    int FeedSteps(double MmPerMin) const;
    int RapidFeedSteps() const;
    double StepsPerMm(int Axis) const;
    int MotorDirection(int Axis) const;
    double TravelLimit(int Axis, bool Positive) const;
    bool ManualSpindle() const;
    bool AskManual(const std::string &Prompt, int Value, const std::string &Caption,
                   const std::string &Details);
    std::string MotionTimeOutText(int TimeOutMs) const;
};

} // namespace orv
