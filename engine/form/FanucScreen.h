#pragma once
// The engine's side of the Fanuc 21 and Fanuc 0M screen emulations: a screen
// brings its own program source and control panel, which replace the
// engine's while it is the source (kinds 4 and 9). The Fanuc module
// implements these; the engine form creates them through its host.

#include <functional>

namespace orv {

class TBasicInput;
class TBasicControlPanel;
class TConvert;
class TMachine_Tooling;
class TWork_piece_offset;
enum TUnits : unsigned char;

class TFanucScreen {
public:
    virtual ~TFanucScreen() = default;

    // The screen's program source (its program or MDI memory) and panel;
    // both stay owned by the screen.
    virtual TBasicInput *Input() = 0;
    virtual TBasicControlPanel *ControlPanel() = 0;

    // Called once right after creation and wiring.
    virtual void Initialise() = 0;
    virtual void SetUnits(TUnits Units) = 0;
    virtual void RefreshOffsetPage() = 0;
    virtual void RefreshWorkShiftPage() = 0;

    virtual void SetConvertor(TConvert *Convertor) = 0;
    virtual void SetMachineTooling(TMachine_Tooling *Tooling) = 0;
    virtual void SetWorkOffset(TWork_piece_offset *Offsets) = 0;

    // Panel command with its code (the sender's Tag), and key release.
    std::function<void(int Code)> OnOpsCommand;
    std::function<void()> OnOpsCommandStop;
    // The screen's program changed (a load, a new program, an edit).
    std::function<void()> OnChange;
};

// The Fanuc 0M screen: used like the Fanuc 21 screen; it has no converter,
// so SetConvertor does nothing.
class TFanucScreenOM : public TFanucScreen {
public:
    void SetConvertor(TConvert *) override {}
};

} // namespace orv
