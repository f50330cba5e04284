#include "fanuc/fanuc0m/FanucOMInput.h"

#include "fanuc/fanuc21/Fanuc21Screen.h"

namespace orv::fanuc {

void TFanucOMInput::GetLine(int Index, std::string &Text)
{
    const auto &lines = Memory().Lines;
    Text = Index >= 0 && Index < int(lines.size()) ? lines[Index] : std::string();
}

void TFanucOMControlPanel::SetFeedOverride(int Value)
{
    TFanucControlPanel::SetFeedOverride(Value);
    FStation.ShowOverride(FStation.KnobPercent);
}

void TFanucOMControlPanel::PushOverride(int Tag)
{
    if (MachData)
        TFanucControlPanel::PushOverride(Tag);
}

} // namespace orv::fanuc
