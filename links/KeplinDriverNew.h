#pragma once
// The Keplin push-button console: up to 128 buttons on a serial line, one
// byte per event (bits 0 to 6 the button, bit 7 set on release). Each
// button either presses a main-window control (by the control's name) or
// sends a key with modifiers; the map comes from the Keplin data file
// ([buttons] keys and modifiers, [Control] function name = button number).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orv {

class TCommPortDriver;
class TObject;

// Modifier bits of a button's key.
enum : unsigned { ksShift = 1, ksAlt = 2, ksCtrl = 4 };

struct TKeplinButton {
    uint8_t Key = 0;     // virtual-key code sent when no control is mapped (0 none)
    unsigned Shift = 0;  // ksShift, ksAlt, ksCtrl
    std::string Control; // the main-window control pressed; empty: none
};

class TKeplinDriver {
public:
    static constexpr int ButtonCount = 128;

    explicit TKeplinDriver(TObject *Owner = nullptr);
    ~TKeplinDriver();
    TKeplinDriver(const TKeplinDriver &) = delete;
    TKeplinDriver &operator=(const TKeplinDriver &) = delete;

    // Empties the table, then reads [buttons] "0" to "127" ("key,shift": the
    // key in decimal, its low 8 bits; shift "0" Shift, "1" Alt, "2" Ctrl,
    // else none). A name without a folder is in the program folder. An entry
    // whose key does not parse is skipped; a missing file leaves the table
    // empty.
    void LoadButtonMap(const std::string &FileName);
    // Opens COM<Port> (1 to 8) at 9600 baud, 8 data bits, no parity, 2 stop
    // bits, DTR raised; 0 or less does nothing. An open port is closed first.
    void OpenPort(int Port);
    // Closes the port when it is open; the console is silent until OpenPort.
    void ClosePort();
    // [Control] FunctionName: the first non-empty field among the first 26
    // of the comma-separated value is the button that presses Control. False
    // when there is none, or it does not parse or lies outside 0 to 127.
    bool MapControl(const std::string &Control, const std::string &FunctionName);
    // The serial driver's receive event: each byte in order. Nothing is
    // processed before the first non-zero byte has arrived.
    void ReceiveData(TObject *Sender, const uint8_t *Data, int Count);

    const TKeplinButton &Button(int Index) const { return FButtons[Index]; }
    const std::string &FileName() const { return FFileName; }
    bool Started() const { return FStarted; }
    TCommPortDriver *Port() const { return FPort.get(); }

    // The settings file with the [Serial Ports] map (empty: the main one).
    std::string SettingsFile;
    // A press (Press true: mouse down) or release of a mapped control.
    std::function<void(const std::string &Control, bool Press)> OnControl;
    // A synthetic key press: modifiers down, key down and up, modifiers up.
    std::function<void(uint8_t Key, unsigned Shift)> OnKey;

private:
    TObject *FOwner;
    TKeplinButton FButtons[ButtonCount];
    std::string FFileName;
    std::unique_ptr<TCommPortDriver> FPort;
    bool FStarted = false;
};

// Button number text of the data file: 0 to 127, else -1.
int KeplinButtonNumber(const std::string &Text);

} // namespace orv
