#pragma once
// A machine without hardware: keeps a position in motor steps and moves it
// toward each commanded target on a 100 ms tick, so that the engine's
// machine handshake (block done, in position, homing, jogging, position
// readout) works without a controller. Arcs reach it as straight moves.

#include "machine/BasicMachine.h"

namespace orv {

class TDummyLinkMill : public TBasicMachine {
public:
    explicit TDummyLinkMill(TBaseForm *Owner);
    ~TDummyLinkMill() override;

    bool ExecuteMove(const TMachineBlock &Block) override;
    void ApplyBlockSpeed(const TMachineBlock &Block) override;
    void ApplyBlockTool(const TMachineBlock &Block) override {}
    // Rapids and reference returns run at the slower of the X and Z rates.
    void ApplyBlockFeed(const TMachineBlock &Block) override;
    void LinearMove(int32_t X, int32_t Y, int32_t Z) override;
    void RapidMove(int32_t X, int32_t Y, int32_t Z) override;
    void ReferenceMove(int32_t X, int32_t Y, int32_t Z) override;
    // Feeds below 50 mm/min run at 50.
    void SetFeedrate(int Feed) override;
    // Motion runs at Percent (at least 1 percent); no event.
    void SetFeedOverride(int Percent) override;
    // A pause freezes a programmed move where it is; a move that ended
    // while paused reports done when the run goes on.
    void SetCycleState(TCycleState State) override;
    bool IsInPosition() override { return Idle; }
    bool Initialise() override;
    void GetPosition(TMachinePosition &P) override;
    void CycleStart() override;
    // Ends the motion at the next tick; the stopped move never reports.
    void Stop() override;
    // Moves the axis of the home code to its [Home] position (mm) in steps;
    // codes other than 0, 1 and 2 move nothing.
    void HomeAxis(int Code) override;
    // modeJog only: toward the axis's travel limit until Stop.
    bool JogContinuous(int Axis, int Feed, bool Positive) override;
    // Distance in mm, the target held within the axis's travel.
    void JogIncrement(int Axis, int Feed, double Distance) override;
    bool IsSafe() override { return true; }
    bool IsIdle() override { return Idle; }
    void ToolDataChanged(int Tool) override {}
    void InPositionChanged(TObject *Sender, bool InPosition) override;
    // Held while paused and handed on at the resume.
    void BlockDone() override;
    void ShowVersion() override {}
    void GetMachinePosition(TXYZ &P) override { P = Current; }

    // Sets the targets other than NoSteps (steps) and starts moving.
    void MoveTo(double X, double Y, double Z);
    // One motion step; every 100 ms and once from MoveTo.
    void MotionTick();

    bool Idle = true;
    TXYZ Current;   // steps
    TXYZ TargetPos; // steps
    float Delta[3] = {0, 0, 0};
    float Distance = 0;
    float AxisStep[3] = {0, 0, 0};
    int FeedPercent = 100;
    Extended EffectiveFeed = 0; // mm/min
    bool ReportPending = false;
    TMachinePosition PositionRecord;

private:
    bool Frozen() const { return CycleState == csPaused && ReportPending; }
    double StepsPerTick() const;
    void StepAxes();
    int SlowerRapidRate() const;
    void UpdateEffectiveFeed();
    double TravelLimit(int Axis, bool Positive) const;
    // Moves one axis (0 X, 1 Y, 2 Z) to a position in mm; the others stay.
    void MoveAxisTo(int Axis, double Millimetres);

    std::unique_ptr<TTimer> FMotionTimer;
    bool FDonePending = false; // a move ended while paused
};

} // namespace orv
