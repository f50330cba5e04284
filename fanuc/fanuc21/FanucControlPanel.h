#pragma once
// The operator-panel model of the Fanuc 21 station: the engine writes the
// machine's state into it and it shows that state on the station (mode,
// readouts, run state, LEDs, tool and offset numbers); the station pushes
// the knob's jog feed and feed override through it as machine requests.

#include "machine/BasicControlPanel.h"

namespace orv::fanuc {

class TFanucScreen;

class TFanucControlPanel : public TBasicControlPanel {
public:
    explicit TFanucControlPanel(TFanucScreen &Station);

    void SetMachineMode(TMachineMode Mode) override;
    void ShowPosition(TMachineReadout &Readout) override;
    // 0 +X, 1 +Y, 2 +Z, 6 all three; other codes light nothing.
    void SetHasHomed(int Code) override;
    void SetFeedOverride(int Value) override;
    void SetToolNumber(int Value) override;
    void SetToolOffsetNumber(int Value) override;
    void SetWorkOffsetName(const std::string &) override {}
    void SetCycleState(TCycleState State) override;
    void SetSingleStep(bool Value) override;
    void SetBlockSkip(bool Value) override;
    void SetInPosition(bool Value) override;
    void Initialise() override {}
    void ToggleCoordinates() override {}

    // Tag 1 jog feed (knob % of "Jog Rapid Feed"), 3 feed override (knob %),
    // 2 -> 0, 4 and 6 -> 100; the feed override is kept back while a real
    // machine's "Feed Pot" owns it.
    virtual void PushOverride(int Tag);

protected:
    TFanucScreen &FStation;
};

} // namespace orv::fanuc
