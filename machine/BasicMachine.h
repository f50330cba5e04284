#pragma once
// The contract between the engine form and a machine (simulated, real link,
// VR link): the block pipeline from move record to motor steps, the operator
// state, homing, jogging, tool change and dwell, and a poll that reports
// every change of in-position, e-stop, guard and position through events.

#include "engine/core/data_types.h"
#include "machine/MachineCommands.h"
#include "platform/Classes.h"

#include <functional>
#include <memory>
#include <string>

namespace orv {

class TBaseForm;
class TConvert;
class TDownCounter;
class TMachine_Tooling;
class TMoveValidator;
class TRead_Machinedata_file;
class TTimer;

// Caption of a tool-change error, spelt one way for every machine and for
// the engine form, which still shows this error while the machine jogs.
constexpr const char *ToolChangeErrorCaption = "Toolchange Error";

using TBlockDoneEvent = std::function<void(TObject *Sender)>;
using TMachineErrorEvent =
    std::function<void(TObject *Sender, int Line, const std::string &Caption,
                       const std::string &Message, const std::string &Details)>;
using TMachineEvent = std::function<void(TObject *Sender, TChangeData &Data)>;
using TPositionChangedEvent = std::function<void(TObject *Sender, TMachineReadout &Readout)>;
using TTurboChangedEvent = std::function<void(TObject *Sender, bool On)>;

// How a wait for the machine ended.
// Lost: the machine's line failed (the machine has reported it already).
enum class TWaitResult { Done, Escaped, Unsafe, Stopped, EStopped, Lost, TimedOut };

// The longest a wait of the machine sleeps before it looks at its state
// again (a message or a timer wakes it sooner).
constexpr int WaitPaceMs = 10;

class TBasicMachine : public TObject {
public:
    explicit TBasicMachine(TBaseForm *Owner);
    ~TBasicMachine() override;

    // Display units of messages: 4 decimals for inch, else 3.
    virtual void SetUnits(TUnits Units);
    // Starts the block's motion by its type; true when nothing was started
    // (the caller finishes the block), false when the motion reports later.
    virtual bool ExecuteMove(const TMachineBlock &Block);
    virtual void ApplyBlockSpeed(const TMachineBlock &Block) {}
    virtual void ApplyBlockTool(const TMachineBlock &Block) {}
    virtual void ApplyBlockFeed(const TMachineBlock &Block) {}
    // Tool, speed, M code, feed, then ExecuteMove, on a copy of Block.
    virtual bool ProcessBlock(const TMachineBlock &Block);
    // Motion primitives in steps.
    virtual void LinearMove(int32_t X, int32_t Y, int32_t Z) {}
    virtual void RapidMove(int32_t X, int32_t Y, int32_t Z) {}
    virtual void ArcMove(int32_t X, int32_t Y, int32_t Z, int32_t I, int32_t J, int32_t K,
                         int32_t Radius, Extended Sweep, int Plane) {}
    virtual void ReferenceMove(int32_t X, int32_t Y, int32_t Z) {}
    // Holds the block for DwellTime ms in a countdown, then BlockDone.
    virtual void Dwell();
    virtual int GetFeedrate() { return Feedrate; }
    // Feed in mm/min, held at MaxFeed; reported (evFeedrate) when it changed.
    virtual void SetFeedrate(int Feed);
    virtual int GetSpindleSpeed() { return SpindleSpeed; }
    // Speed in rpm held within the machine's spindle range (evSpindleSpeed).
    virtual void SetSpindleSpeed(int Speed);
    virtual int GetCurrentTool() { return CurrentTool; }
    // With an automatic changer at once, else after the operator's OK;
    // Cancel is the error ToolChangeErrorCaption / "Program Aborted".
    virtual void ToolChange(int Tool);
    virtual int GetFeedOverride() { return FeedOverride; }
    // Percent, held within 0..150.
    virtual void SetFeedOverride(int Percent);
    virtual int GetSpeedOverride() { return SpeedOverride; }
    // Percent, held within 50..120.
    virtual void SetSpeedOverride(int Percent);
    virtual void SetTurboMode(bool On);
    // Every mode but modeHome needs the axes homed; otherwise modeHome.
    virtual void SetMachineMode(TMachineMode Mode);
    virtual void SetCycleState(TCycleState State);
    virtual bool IsInPosition() { return true; }
    virtual bool IsEStopped() { return false; }
    virtual void SetJogFeed(int Feed);
    virtual void SetJogSpeed(int Speed);
    // Start-up: limits, validator, overrides 100, home mode, poll timer.
    // A derived machine connects here and returns false when that fails.
    virtual bool Initialise();
    // Asks the engine for the next record (OnBlockDone).
    virtual void BlockDone();
    // Position in steps; the base zeroes it.
    virtual void GetPosition(TMachinePosition &P);
    // The block pipeline of one move record (see the .cpp); answers with
    // exactly one BlockDone, except after a line limit error.
    virtual void ProcessCNCData(const TCNC_data &Data);
    // Asks for the first record when the guard is closed.
    virtual void CycleStart();
    virtual void Stop();
    virtual void ExecuteMCode(int &MCode) {}
    // Starts homing of a home code (0 X, 1 Y, 2 Z, 3 X and Y).
    virtual void HomeAxis(int Code) {}
    virtual bool JogContinuous(int Axis, int Feed, bool Positive) { return false; }
    // Distance in mm, signed.
    virtual void JogIncrement(int Axis, int Feed, double Distance) {}
    // The billet as the output sinks get it: XPos, YPos, XSize, YSize, ZSize (mm).
    virtual void SetBillet(double XPos, double YPos, double XSize, double YSize, double ZSize) {}
    // Guard closed.
    virtual bool IsSafe() { return false; }
    // All motion finished.
    virtual bool IsIdle() { return false; }
    // False once the connection to the machine is lost; every wait ends.
    virtual bool Connected() { return true; }
    virtual void ToolDataChanged(int Tool);
    virtual void InPositionChanged(TObject *Sender, bool InPosition) {}
    // Offers the spindle's Z (mm, less the work offset) as the current
    // tool's length offset.
    virtual void SetToolZOffset();
    virtual void ShowVersion();
    // Position in steps; X = NoSteps means not available.
    virtual void GetMachinePosition(TXYZ &P);

    // Axis 0 X, 1 Y, 2 Z; Increment in mm for modeIncJog.
    void Jog(int Axis, bool Positive, Extended Increment);
    // Homes a home code (6: all) in modeHome with the guard closed and waits.
    void Home(int Code);
    void MarkAllHomed();
    void SelectTool(int Tool);
    void ResetHomedFlags();
    // Position in steps and in mm (machine coordinates), with the guard state.
    void ReadPosition(TMachinePosition &Steps, TMachinePosition &Units);
    // One tick of the poll timer; skipped while destroying.
    void PollMachine();

    // Homing may take the longest travel at the homing feed twice over,
    // plus ten seconds; without a usable feed one minute. Milliseconds.
    // The controllers that home on their own (a router box's park) take
    // the same time-out from the machine file.
    static int HomingTimeOutMs(const TRead_Machinedata_file *Data);
    int HomingTimeOutMs() const { return HomingTimeOutMs(MachineData); }

    int FeedOverride = 100;                  // percent
    int SpeedOverride = 100;                 // percent
    std::unique_ptr<TCNC_data> CurrentBlock; // block being executed, after offsets
    TMachineBlock Block;                     // the current block in steps
    TMachinePosition StepsPosition;
    TMachinePosition UnitsPosition;
    TTurboChangedEvent OnTurboChanged;
    bool LastInPosition = false, LastEStop = true, LastSafe = false;
    bool FirstPollDone = false;
    TMachineReadout Readout;
    int LastFeedSent = -1;
    int Feedrate = 0;     // mm/min
    int SpindleSpeed = 0; // rpm
    int CurrentTool = -1;
    int MaxFeed = 0;   // mm/min
    int DwellTime = 0; // ms
    bool LookAhead = false;
    TMachineMode Mode = modeHome;
    TUnits Units = Metric;
    int Decimals = 3;
    TBlockDoneEvent OnBlockDone;
    TMachineErrorEvent OnMachineError;
    TBaseForm *Owner = nullptr;
    TCycleState CycleState = csStopped;
    bool ToolChangeActive = false;
    TXYZ LastPosition{NoSteps, NoSteps, NoSteps}; // mm; NoSteps: no position yet
    // Axes the last G28 named (bits 1 X, 2 Y, 4 Z): the ones its return leg
    // takes to the reference point.
    int ReferenceAxes = 0;
    TChangeData Event;
    TMachineEvent OnMachineEvent;
    TPositionChangedEvent OnPositionChanged;
    int JogFeed = 100; // mm/min
    int JogSpeed = 0;  // rpm
    bool HomedX = false, HomedY = false, HomedZ = false, HomedXY = false, AllHomed = false;
    TConvert *Convertor = nullptr;
    std::unique_ptr<TMoveValidator> Validator;
    int InitialTool = 0;
    bool Destroying = false;
    TXYZ Target; // last commanded end point, steps
    int Plane = 17;
    bool BlockSkip = false;
    const TRead_Machinedata_file *MachineData = nullptr;
    TMachine_Tooling *Tooling = nullptr;
    bool TurboMode = false;
    bool IsRealMachine = false;
    bool Jogging = false;
    bool ForcePositionReport = false;

protected:
    void RaiseEvent(uint8_t Kind);
    void RaiseEvent(uint8_t Kind, int IntValue);
    void RaiseFlagEvent(uint8_t Kind, bool Flag);
    void MachineError(int Line, const std::string &Caption, const std::string &Message,
                      const std::string &Details);
    // Serves messages until Done holds, Escape is pressed, the machine
    // reports an emergency stop, the guard opens, Stop is called or
    // TimeOutMs passes; it sleeps between its looks (WaitPaceMs at most).
    TWaitResult WaitFor(const std::function<bool()> &Done, int TimeOutMs);
    bool WaitForHoming();
    // Stop calls so far: a wait that sees it change ends.
    int StopCount() const { return FStopCount; }
    // A real machine cannot be driven without steps per mm and motor
    // directions: reports it and returns true.
    bool RefuseIncompleteMachineData();
    bool PositionKnown() const { return LastPosition.X != NoSteps; }
    // Milliseconds between polls: [Default Settings] "ScreenUpdate", 300.
    int PollIntervalMs() const;
    // The axes count as homed (the rule of SetMachineMode).
    bool IsHomed() const;

    std::unique_ptr<TDownCounter> DwellCounter;

private:
    void DwellDone();
    void FreeDwellCounter();
    void FillMissingCoordinates();
    bool CheckTravel(const TCNC_data &Data);
    std::string LinePositionText(const TCNC_data &Data) const;
    std::string ArcPositionText() const;
    std::string Num(double Value) const;
    void SetBlockFeed(const TCNC_data &Data);
    void PollStates();
    void PollPosition();
    void SetHomedMark(int Code);

    std::unique_ptr<TTimer> FPollTimer;
    std::unique_ptr<TDownCounter> FRetiredCounter; // finished, freed at the next chance
    int FStopCount = 0;                            // Stop calls so far; a change ends a wait
};

} // namespace orv
