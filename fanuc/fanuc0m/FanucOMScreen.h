#pragma once
// The Fanuc 0M operator station: the Fanuc 21 station's model with the 0M's
// differences: its 33-key keypad decoded by the key-in line's state, the
// green-on-black CRT, the status texts, the "OS050%" override, 46 operator
// buttons whose home commands go out 300 ms after the press, the program
// and block numbers, and the floating knob window. It is the engine's
// source of kind 9 and has no unit converter.

#include "fanuc/fanuc0m/FanucOMTypes.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"

namespace orv::fanuc {

class TFanucScreenOM : public TFanucScreen {
public:
    TFanucScreenOM();
    ~TFanucScreenOM() override;

    void SetConvertor(TConvert *) override {}
    const std::vector<TButtType> &Buttons() const override;
    void Initialise() override;

    void ShowStatusItem(int Code) override;
    void ShowOverride(int Percent) override;
    void ShowKnob(int Percent) override;
    void ShowMachineMode(TMachineMode Mode) override;
    void ShowFunctionPage(int Page) override;
    void SetPositionDisplay(int Kind) override;
    void SoftKey(int Tag) override;
    const TSoftKeyLabels *SoftKeyPageLabels(int Page) const override;
    // A keypad key (0 to 32) pressed.
    void KeypadMouseDown(int Key) override;
    // A key of the PC keyboard (virtual key; Key 0: Character has no key of
    // its own): see TFanucOMKeypad::MapPCKey.
    void KeyDown(int Key, char Character = 0) override;
    // A code that acts (a function key's, or a PC key that types nothing):
    // 8 Cancel, 13 Enter, 27 Escape, 45 Insert, 46 Delete, page and cursor
    // keys, F1 and F14 to F23, 146 to 154 the keypad's function keys.
    void KeyCode(int Code);
    void EditKey(int Code, const std::string &Text) override;
    std::string KeyInText() const override { return EditLine.ANCaption(); }
    void ClearKeyIn() override;
    // The right panel hidden puts the knob into its own "Feed Override" window.
    void ToggleRightPanel() override;

    void ShowProgramNumber();
    void ShowBlockNumber(const std::string &Text);

    TEditLine EditLine;
    TFanucOMKeypad Keypad;
    bool FloatKnobShown = false;
    std::unique_ptr<TTimer> HomeKeyDelay;
    int HomeKeyTag = 0;

protected:
    void SendHomeCommand(int Code) override;
    void ResetStatusLine() override;

private:
    void TypeCode(int Code);
    void ShowEditLine();
};

} // namespace orv::fanuc
