#pragma once
// A control panel with no window, for tests and ncrun: keeps what the
// engine form shows on it (the setters of the panel model, the position
// readout, coordinate toggles) and sends requests only when told to.

#include "machine/BasicControlPanel.h"

#include <string>

namespace orv {

class THeadlessPanel : public TBasicControlPanel {
public:
    explicit THeadlessPanel(TComponent *Owner = nullptr) : TBasicControlPanel(Owner) {}

    void ShowPosition(TMachineReadout &Readout) override
    {
        Position = Readout;
        ++PositionReports;
    }
    void SetWorkOffsetName(const std::string &Name) override { WorkOffsetName = Name; }
    void ToggleCoordinates() override { ++CoordinateToggles; }
    void SetHasHomed(int Code) override
    {
        TBasicControlPanel::SetHasHomed(Code);
        LastHomed = Code;
    }
    void Initialise() override
    {
        TBasicControlPanel::Initialise();
        ++Initialised;
    }

    TMachineReadout Position; // the last readout shown, mm
    int PositionReports = 0;
    std::string WorkOffsetName;
    int CoordinateToggles = 0;
    int LastHomed = -1;
    int Initialised = 0;
};

} // namespace orv
