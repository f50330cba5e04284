#pragma once
// The control's record of every tool move since the last billet, in the
// order the host reported them; one list per control.

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

namespace orv {

struct ToolMoveRecord {
    int16_t Number = 0;
    double Radius = 0; // host units
    bool Flat = false; // set: ball-nosed
    uint32_t Colour = 0;
};

struct LineMoveRecord {
    double X1 = 0, Y1 = 0, Z1 = 0, X2 = 0, Y2 = 0, Z2 = 0; // z above the billet bottom
    bool Rapid = false;
};

struct ArcMoveRecord {
    double CX = 0, CY = 0, CZ = 0;
    double SX = 1, SY = 0, EX = 1, EY = 0; // unit directions
    double Radius = 0;
    bool Clockwise = false;
    bool Rapid = false;
};

using MoveRecord = std::variant<ToolMoveRecord, LineMoveRecord, ArcMoveRecord>;

class MoveList {
public:
    void Append(const MoveRecord &Record);
    void Clear();
    size_t Size() const { return FRecords.size(); }
    const MoveRecord &operator[](size_t Index) const { return FRecords[Index]; }
    bool Empty() const { return FRecords.empty(); }
    const MoveRecord &Last() const { return FRecords.back(); }
    // Line and arc records since the last Clear.
    long long LineCount() const { return FLines; }
    long long ArcCount() const { return FArcs; }

private:
    std::vector<MoveRecord> FRecords;
    long long FLines = 0, FArcs = 0;
};

} // namespace orv
