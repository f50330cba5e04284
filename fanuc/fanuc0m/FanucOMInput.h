#pragma once
// The program source and the operator-panel model of the Fanuc 0M station:
// the Fanuc 21's, with the line access the station's program number needs
// and the knob pushed again whenever the machine reports a feed override.

#include "fanuc/fanuc21/Fanuc21Input.h"
#include "fanuc/fanuc21/FanucControlPanel.h"

namespace orv::fanuc {

class TFanucOMInput : public TFanuc21Input {
public:
    using TFanuc21Input::TFanuc21Input;
    // Line Index of the current memory; empty past the end.
    void GetLine(int Index, std::string &Text) override;
};

class TFanucOMControlPanel : public TFanucControlPanel {
public:
    using TFanucControlPanel::TFanucControlPanel;
    void SetFeedOverride(int Value) override;
    // Nothing while the machine data is not set.
    void PushOverride(int Tag) override;
};

} // namespace orv::fanuc
