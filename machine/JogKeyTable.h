#pragma once
// The keys the operator gave to the ten jog functions: 16-bit virtual-key
// codes, 0 for none, kept in the main settings file's [Jog Keys]. The
// engine form owns the table; every control panel reads it live.

#include <array>
#include <cstdint>

namespace orv {

class TIniFile;

struct TJogKeyTable {
    enum TFunction : int {
        XPlus, XMinus, YPlus, YMinus, ZPlus, ZMinus, FeedUp, FeedDown, SpeedUp, SpeedDown,
        FunctionCount
    };
    // Keys "X+", "X-", "Y+", "Y-", "Z+", "Z-", "Fup", "Fdn", "Sup", "Sdn".
    static const char *const KeyNames[FunctionCount];

    std::array<uint16_t, FunctionCount> Keys{};

    uint16_t Key(TFunction Function) const { return Keys[Function]; }
    // Reads [Jog Keys] (missing keys 0).
    void Read(const TIniFile &Ini);
    void Write(TIniFile &Ini) const;
};

} // namespace orv
