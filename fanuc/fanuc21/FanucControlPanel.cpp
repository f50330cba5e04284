#include "fanuc/fanuc21/FanucControlPanel.h"

#include "fanuc/FanucButtons.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "machine/Read_Machinedata_file.h"

#include <cmath>
#include <cstdio>

namespace orv::fanuc {

namespace {
std::string TwoDigits(int Value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2d", Value);
    return text;
}
} // namespace

TFanucControlPanel::TFanucControlPanel(TFanucScreen &Station) : FStation(Station) {}

void TFanucControlPanel::SetMachineMode(TMachineMode Mode)
{
    TBasicControlPanel::SetMachineMode(Mode);
    FStation.ShowMachineMode(Mode);
}

void TFanucControlPanel::ShowPosition(TMachineReadout &Readout) { FStation.ShowPositions(Readout); }

void TFanucControlPanel::SetHasHomed(int Code)
{
    TBasicControlPanel::SetHasHomed(Code);
    const TLedRows &rows = *FStation.LedRows;
    if (Code == 0 || Code == 6)
        FStation.SetLed(rows.HomeX, true);
    if (Code == 1 || Code == 6)
        FStation.SetLed(rows.HomeY, true);
    if (Code == 2 || Code == 6)
        FStation.SetLed(rows.HomeZ, true);
}

void TFanucControlPanel::SetFeedOverride(int Value)
{
    TBasicControlPanel::SetFeedOverride(Value);
    FStation.ShowKnob(FeedOverride());
}

void TFanucControlPanel::SetToolNumber(int Value)
{
    TBasicControlPanel::SetToolNumber(Value);
    FStation.Label("ToolLabel").Text = TwoDigits(ToolNumber());
}

void TFanucControlPanel::SetToolOffsetNumber(int Value)
{
    TBasicControlPanel::SetToolOffsetNumber(Value);
    FStation.Label("OffsetLabel").Text = TwoDigits(ToolOffsetNumber());
}

void TFanucControlPanel::SetCycleState(TCycleState State)
{
    TBasicControlPanel::SetCycleState(State);
    FStation.ShowCycleState(CycleState());
}

void TFanucControlPanel::SetSingleStep(bool Value)
{
    TBasicControlPanel::SetSingleStep(Value);
    FStation.SetLed(FStation.LedRows->SingleBlock, SingleStep());
}

void TFanucControlPanel::SetBlockSkip(bool Value)
{
    TBasicControlPanel::SetBlockSkip(Value);
    FStation.SetLed(FStation.LedRows->BlockSkip, BlockSkip());
}

void TFanucControlPanel::SetInPosition(bool Value)
{
    TBasicControlPanel::SetInPosition(Value);
    FStation.ShowStatusItem(InPosition() ? 19 : 9);
}

void TFanucControlPanel::PushOverride(int Tag)
{
    double value = 0;
    switch (Tag) {
    case 1: {
        double rapid = MachData ? MachData->Feed.JogRapidFeed : 0;
        value = std::round(FStation.KnobPercent / 100.0 * rapid);
        break;
    }
    case 2: value = 0; break;
    case 3: value = FStation.KnobPercent; break;
    case 4: case 6: value = 100; break;
    default: return;
    }
    if (Tag == 3 && MachineIsReal() && MachData && MachData->MachineCapability.FeedPot)
        return;
    RequestValue(uint8_t(Tag), value);
}

} // namespace orv::fanuc
