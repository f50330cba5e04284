#pragma once
// One record of a compiled move file (".XNC"): 120 bytes, little-endian, no
// header, one record per move record of the run. Packing from and copying
// into a TCNC_data, a check that a record read back is one the writer can
// have made, and the arc data a replay has to work out itself.

#include <array>
#include <cstdint>
#include <string>

namespace orv {

class TCNC_data;

constexpr int CompiledRecordSize = 120;
using TCompiledRecord = std::array<uint8_t, CompiledRecordSize>;

// Byte offsets of the fields.
namespace xnc {
constexpr int Spindle = 0;
constexpr int MCode = 4;
constexpr int Tool = 8;
constexpr int Motion = 12;
constexpr int LengthOffset = 16;
constexpr int Feed = 24;
constexpr int X = 32;
constexpr int Y = 40;
constexpr int Z = 48;
constexpr int I = 56;
constexpr int J = 64;
constexpr int K = 72;
constexpr int R = 80;
constexpr int Spare = 88;
constexpr int MoveLength = 96;
constexpr int CornerAngle = 104;
constexpr int LookAhead = 112;
constexpr int BlockDelete = 113;
} // namespace xnc

// Fills Rec from Data; the unused bytes (20 to 23, 114 to 119) are zero.
void PackCompiledRecord(const TCNC_data &Data, TCompiledRecord &Rec);

// Copies what the engine takes over from a record into Data: the five
// integers, Feed, X, Y, Z, I, J, K, R, Spare, LookAhead and BlockDelete.
// MoveLength, CornerAngle and every field the record does not carry keep
// the value Data had.
void CopyCompiledRecord(const TCompiledRecord &Rec, TCNC_data &Data);

int32_t RecordInt(const TCompiledRecord &Rec, int Offset);
double RecordReal(const TCompiledRecord &Rec, int Offset);
void SetRecordInt(TCompiledRecord &Rec, int Offset, int32_t Value);

// Empty when Rec is a record the writer can have made; else what is wrong
// with it ("motion code 77", "X is not a number", "flag byte 113 is 7").
std::string CompiledRecordFault(const TCompiledRecord &Rec);

// A replayed arc: the file carries no sweep, radius or plane, so they are
// worked out from the start point (the end of the move before), the end
// point and the centre. Plane: the one in which start and end lie at the
// same distance from the centre and the centre's third coordinate is the
// start's (17 first, then 18, 19); radius: the distance from the centre to
// the end in that plane; sweep: degrees, positive for a clockwise arc
// (motion 2), a full circle when start and end meet.
struct TArcShape {
    int32_t Plane = 17;
    long double Sweep = 0;
    long double Radius = 0;
};
TArcShape ArcShapeFromPoints(int32_t Motion, const double Start[3], const double End[3],
                             const double Centre[3]);

} // namespace orv
