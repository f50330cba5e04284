#pragma once
// The operator panels below the CRT of the Fanuc stations: one TButtType per
// button (place, texts, face, text colour and the engine's panel-command
// code it sends; 999 = no function), the Fanuc 21 table and the 0M table,
// and the LED each button carries.

#include <cstdint>
#include <string>
#include <vector>

namespace orv::fanuc {

struct TButtType {
    int Left = 0;
    int Top = 0;
    std::string Text1;
    std::string Text2;
    int Face = 0;
    uint32_t FontColor = 0;
    int Tag = 999;
};

constexpr int NoFunction = 999;
constexpr uint32_t WhiteText = 16777215;

// The 44 buttons of the Fanuc 21 and the 46 of the 0M, in panel order.
const std::vector<TButtType> &Fanuc21Buttons();
const std::vector<TButtType> &FanucOMButtons();

// Rows of the buttons whose LEDs other parts drive.
struct TLedRows {
    int Auto, Edit, MDI, Home, Jog, IncJog;
    int SingleBlock, BlockSkip;
    int Increments[5];
    int HomeX, HomeY, HomeZ;
    int CycleStart, CycleStop;
};
extern const TLedRows Fanuc21Leds;
extern const TLedRows FanucOMLeds;

// The index of the first button whose texts are Text1 (and Text2 when not
// empty), -1 when none; the comparison ignores case.
int FindButton(const std::vector<TButtType> &Table, const std::string &Text1,
               const std::string &Text2 = {});

} // namespace orv::fanuc
