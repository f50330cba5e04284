#pragma once
// The model of an operator control panel: shows the machine's state that the
// engine form passes in through the setters and turns the operator's actions
// into machine requests (OnMachineRequest); never talks to a machine itself.
// Feed and spindle sliders are debounced: one request 60 ms after the last.

#include "engine/core/data_types.h"
#include "machine/MachineCommands.h"
#include "platform/Classes.h"

#include <functional>
#include <memory>
#include <string>

namespace orv {

class TBasicInput;
class TJogKeyTable;
class TMachine_Tooling;
class TRead_Machinedata_file;
class TTimer;

using TMachineRequestEvent = std::function<void(TObject *Sender, TRequestData &RequestData)>;
// A panel with manual data input hands its MDI source to the engine form
// (Show true) and takes it back (Show false).
using TMDISourceIP = std::function<void(TObject *Sender, TBasicInput *&MDIInput, bool Show)>;

// Jog buttons of RequestJog: 0 X+, 1 X-, 2 Y+, 3 Y-, 4 Z+, 5 Z-, 10 stop.
constexpr uint8_t JogButtonStop = 10;

class TBasicControlPanel : public TComponent {
public:
    explicit TBasicControlPanel(TComponent *Owner = nullptr);
    ~TBasicControlPanel() override;

    // Fires OnMachineRequest with the request record when assigned.
    virtual void DoMachineRequest();
    virtual void SetMachineMode(TMachineMode Mode) { FMachineMode = Mode; }
    // Derived panels show the Machine and Work triples (mm).
    virtual void ShowPosition(TMachineReadout &Readout) {}
    virtual void SetUnits(TUnits Units) { FUnits = Units; }
    // Marks a home code as homed: 0 X, 1 Y, 2 Z, 3 X and Y, 6 all.
    virtual void SetHasHomed(int Code);
    virtual void RequestHome(int Code);
    // Kind 1 (jog feed, mm/min) and 4 (spindle, rpm) are debounced; 3 and 6
    // (overrides, percent) are dropped while a real machine's own knob owns
    // them; every other kind is sent at once with Value.
    virtual void RequestValue(uint8_t Kind, Extended Value);
    virtual void SetFeedOverride(int Value) { FFeedOverride = Value; }
    virtual void SetSpeedOverride(int Value) { FSpeedOverride = Value; }
    virtual void SetFeedrate(int Value) { FFeedrate = Value; }
    virtual void SetSpeedrate(int Value) { FSpeedrate = Value; }
    virtual void RequestMCode(TObject *Sender, int MCode);
    virtual void SetToolNumber(int Value) { FToolNumber = Value; }
    virtual void SetToolOffsetNumber(int Value) { FToolOffsetNumber = Value; }
    virtual void SetWorkOffsetName(const std::string &Name) = 0;
    virtual void SetCycleState(TCycleState State) { FCycleState = State; }
    virtual void SetSingleStep(bool Value) { FSingleStep = Value; }
    virtual void SetBlockSkip(bool Value) { FBlockSkip = Value; }
    virtual void SetInPosition(bool Value) { FInPosition = Value; }
    virtual void SetEstop(bool Value) { FEstop = Value; }
    virtual void SetSafe(bool Value) { FSafe = Value; }
    virtual void SetMachineIsReal(bool Value) { FMachineIsReal = Value; }
    // Speedrate and PendingSpeed start at the machine's minimum speed.
    virtual void Initialise();
    virtual void ClearHomed();
    virtual void ToggleCoordinates() = 0;
    virtual void RequestPositionRefresh(TObject *Sender);
    virtual void RequestStateRefresh(TObject *Sender);
    // Length offset H (mm) and diameter offset D (mm) last shown.
    virtual void SetLengthOffset(int H, double Value);
    virtual void SetDiameterOffset(int D, double Value);
    virtual void ToggleTurbo() { Turbo = !Turbo; }

    void RequestMachineMode(TMachineMode Mode);
    void RequestTurbo(bool On);
    void RequestJog(uint8_t Button);
    void RequestToolZOffset(TObject *Sender);
    void RequestJogIncrement();

    TUnits Units() const { return FUnits; }
    TMachineMode MachineMode() const { return FMachineMode; }
    int FeedOverride() const { return FFeedOverride; }
    int SpeedOverride() const { return FSpeedOverride; }
    int Feedrate() const { return FFeedrate; }
    int Speedrate() const { return FSpeedrate; }
    int ToolNumber() const { return FToolNumber; }
    int ToolOffsetNumber() const { return FToolOffsetNumber; }
    TCycleState CycleState() const { return FCycleState; }
    bool SingleStep() const { return FSingleStep; }
    bool BlockSkip() const { return FBlockSkip; }
    bool InPosition() const { return FInPosition; }
    bool Estop() const { return FEstop; }
    bool Safe() const { return FSafe; }
    bool MachineIsReal() const { return FMachineIsReal; }

    TMachineRequestEvent OnMachineRequest;
    TMDISourceIP MDISourceIP;
    const TRead_Machinedata_file *MachData = nullptr;
    TMachine_Tooling *MachineTooling = nullptr;
    TJogKeyTable *JogKeys = nullptr; // the engine's jog-key table

    Extended JogIncrement = 1.0; // mm
    int JogFeed = 400;           // mm/min, as the operator set it
    int PendingSpeed = 0;        // rpm, as the operator set it
    bool HomedX = false, HomedY = false, HomedZ = false, HomedXY = false, AllHomed = false;
    bool Turbo = false;
    TBasicInput *MDIInput = nullptr; // made by derived panels
    int LengthOffsetH = 0;
    double LengthOffsetValue = 0;
    int DiameterOffsetD = 0;
    double DiameterOffsetValue = 0;

protected:
    // The outgoing request record; Kind starts at rqNone.
    TRequestData Request;
    void SendRequest(uint8_t Kind);

private:
    bool OverrideOwnedByKnob(uint8_t Kind) const;
    void Restart(TTimer &Timer);

    TUnits FUnits = Metric;
    TMachineMode FMachineMode = modeHome;
    int FFeedOverride = 0, FSpeedOverride = 0, FFeedrate = 0, FSpeedrate = 0;
    int FToolNumber = 0, FToolOffsetNumber = 0;
    TCycleState FCycleState = csStopped;
    bool FSingleStep = false, FBlockSkip = false, FInPosition = false;
    bool FEstop = false, FSafe = false, FMachineIsReal = false;
    std::unique_ptr<TTimer> FSpeedTimer;
    std::unique_ptr<TTimer> FJogFeedTimer;
};

} // namespace orv
