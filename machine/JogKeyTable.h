#pragma once
// TJogKeyTable: the keys of the ten jog functions of the control panels, as
// virtual-key codes (0 = no key), in the order X+, X-, Y+, Y-, Z+, Z-, feed
// up, feed down, speed up, speed down. The key setup dialog owns one; every
// panel reads it live through a pointer. Kept in [Jog Keys] of the main
// settings file.
#include <array>
#include <cstdint>
#include <string>

namespace orv {

class TJogKeyTable {
public:
    static constexpr int Count = 10;
    enum TJogFunction {
        XPlus,
        XMinus,
        YPlus,
        YMinus,
        ZPlus,
        ZMinus,
        FeedUp,
        FeedDown,
        SpeedUp,
        SpeedDown
    };
    // "X+", "X-", "Y+", "Y-", "Z+", "Z-", "Fup", "Fdn", "Sup", "Sdn".
    static const char *KeyName(int Index);

    uint16_t Key(int Index) const { return FKeys.at(Index); }
    void SetKey(int Index, uint16_t Code) { FKeys.at(Index) = Code; }
    // The function a key is assigned to first, or -1.
    int FunctionOf(uint16_t Code) const;

    void Load(const std::string &IniFileName);
    void Save(const std::string &IniFileName) const;

private:
    std::array<uint16_t, Count> FKeys{};
};

} // namespace orv
