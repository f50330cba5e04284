#pragma once
// The Fanuc 0M keypad: 33 keys, most carrying several characters; the key
// record of each and the decoder that turns a press (on screen or from the
// PC keyboard) into one code, by the key-in line's state: an address letter
// first, then digits; letter keys cycle through their letters while the
// key-in holds just one character.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {
class TTimer;
}

namespace orv::fanuc {

enum TKeyKind : uint8_t { kkLetterCycle, kkDigitAddress, kkFunction, kkSymbols };

struct TKeypadRow {
    const char *Name;
    std::array<int, 4> Codes;
    TKeyKind Kind;
};

constexpr int FanucOMKeyCount = 33;
const std::array<TKeypadRow, FanucOMKeyCount> &FanucOMKeypad();

struct TKeyRecValue {
    explicit TKeyRecValue(int Key);
    int NumCode = -1;
    std::array<int, 4> Letters{-1, -1, -1, -1};
    int CurrentCode = -1;
    int FuncCode = -1;
    int LetterCount = 0;
    std::array<int, 4> RawCodes{};
    TKeyKind Kind = kkFunction;
    int Index = 0;
};

// The key-in line of the 0M: at most 12 characters, shown as an address
// part and a number part ("NUM.  X          12.5"), or "NO." number entry.
class TEditLine {
public:
    TEditLine();
    ~TEditLine();
    static constexpr size_t MaxLength = 12;

    const std::string &ANCaption() const { return FCaption; }
    // Longer than 12 characters: ignored. Upper-cased.
    void SetANCaption(const std::string &Value);
    bool HasAdrs() const;
    void DelChar(bool Notify);
    // The caption on the screen now (with the blinking cursor or "NO.").
    const std::string &Caption() const { return FShown; }
    bool Flashing() const;
    void Blink();

    bool NoChar = false;
    bool Offset = false;
    bool Visible = true;
    std::function<void()> OnDelChar;
    std::function<void()> OnChange;

private:
    std::string FCaption, FText, FShown;
    bool FPhase = false;
    std::unique_ptr<TTimer> FTimer;
};

// A key of the PC keyboard decoded: a character code to type (the keypad's
// codes: letters, digits, 45 "-", 46 ".", 186 ";", 222 "#" ...) or, when
// Typed is false, a code the station acts on (8 Cancel, 13 Enter, 45
// Insert, 46 Delete, 146 Alter ...). The two share numbers: Typed tells them apart.
struct TPCKey {
    int Code = 0;
    bool Typed = false;
};

// The keypad's decoder with its state (the last key and the cycle step).
class TFanucOMKeypad {
public:
    TFanucOMKeypad();
    // The code of a press of key Key on Line; OffsetPage: the OFFSET page is
    // shown. A function key's code acts; any other key's code is typed.
    int DecodeKey(int Key, TEditLine &Line, bool OffsetPage);
    // A virtual key of the PC keyboard: a key that types a character goes
    // through the first character key holding its code (so "T" after an
    // address types key 17's "."); a key that acts (Insert, Delete, cursor)
    // only through a function key, never as a character of the same number.
    TPCKey MapPCKey(int Key, TEditLine &Line, bool OffsetPage);
    void ResetCycle() { LastKey = CycleIndex = 0; }

    std::vector<TKeyRecValue> Keys;
    int LastKey = 0;
    int CycleIndex = 0;

private:
    int Cycle(TKeyRecValue &K, TEditLine &Line);
};

} // namespace orv::fanuc
