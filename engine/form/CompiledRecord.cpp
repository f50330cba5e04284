#include "engine/form/CompiledRecord.h"

#include "engine/core/data_types.h"

#include <cmath>
#include <cstring>

namespace orv {

namespace {

// The file is little-endian; so is every machine this is built for, and
// the copies below keep the raw bit patterns (9e9 comes back exactly).
static_assert(sizeof(double) == 8, "compiled records hold 64-bit reals");

void PutReal(TCompiledRecord &Rec, int Offset, double Value)
{
    std::memcpy(Rec.data() + Offset, &Value, sizeof Value);
}

// Motion and event codes a move record can carry (the move calculator's
// table and the end record).
bool IsKnownMotion(int32_t Code)
{
    static const int32_t known[] = {0,  1,  2,  3,  4,  28, 92, 94, 95, 50, 51, 54, 55, 56,
                                    57, 58, 59, 68, 69, -1, -3, -4, -5, -6, -11, -12, -13,
                                    EndOfProgramCode, NoMoveCode};
    for (int32_t k : known)
        if (k == Code)
            return true;
    return false;
}

struct TRealField {
    int Offset;
    const char *Name;
};

const TRealField RealFields[] = {{xnc::Feed, "Feed"}, {xnc::X, "X"},       {xnc::Y, "Y"},
                                 {xnc::Z, "Z"},       {xnc::I, "I"},       {xnc::J, "J"},
                                 {xnc::K, "K"},       {xnc::R, "R"},       {xnc::Spare, "Spare"},
                                 {xnc::MoveLength, "MoveLength"},
                                 {xnc::CornerAngle, "CornerAngle"}};

bool IsZeroRange(const TCompiledRecord &Rec, int From, int To)
{
    for (int i = From; i < To; ++i)
        if (Rec[i] != 0)
            return false;
    return true;
}

// Plane axes: first, second and perpendicular coordinate index.
struct TPlaneAxes {
    int32_t Plane;
    int First, Second, Third;
};
const TPlaneAxes PlaneAxes[] = {{17, 0, 1, 2}, {18, 0, 2, 1}, {19, 1, 2, 0}};

long double AngleOf(long double X, long double Y)
{
    long double a = std::atan2(Y, X) * 180.0L / 3.14159265358979323846L;
    return a < 0 ? a + 360.0L : a;
}

long double PlaneDistance(const TPlaneAxes &A, const double P[3], const double C[3])
{
    return std::hypot((long double)P[A.First] - C[A.First], (long double)P[A.Second] - C[A.Second]);
}

bool FitsPlane(const TPlaneAxes &A, const double S[3], const double E[3], const double C[3],
               bool NeedThird)
{
    bool sameRadius = std::fabs(PlaneDistance(A, S, C) - PlaneDistance(A, E, C)) <= 0.01L;
    bool thirdIsStart = std::fabs(C[A.Third] - S[A.Third]) <= 1e-6;
    return sameRadius && (thirdIsStart || !NeedThird);
}

const TPlaneAxes &ChoosePlane(const double S[3], const double E[3], const double C[3])
{
    for (bool needThird : {true, false})
        for (const auto &a : PlaneAxes)
            if (FitsPlane(a, S, E, C, needThird))
                return a;
    return PlaneAxes[0];
}

} // namespace

int32_t RecordInt(const TCompiledRecord &Rec, int Offset)
{
    int32_t v;
    std::memcpy(&v, Rec.data() + Offset, sizeof v);
    return v;
}

double RecordReal(const TCompiledRecord &Rec, int Offset)
{
    double v;
    std::memcpy(&v, Rec.data() + Offset, sizeof v);
    return v;
}

void SetRecordInt(TCompiledRecord &Rec, int Offset, int32_t Value)
{
    std::memcpy(Rec.data() + Offset, &Value, sizeof Value);
}

void PackCompiledRecord(const TCNC_data &Data, TCompiledRecord &Rec)
{
    Rec.fill(0);
    SetRecordInt(Rec, xnc::Spindle, Data.Spindle);
    SetRecordInt(Rec, xnc::MCode, Data.MCode);
    SetRecordInt(Rec, xnc::Tool, Data.Tool);
    SetRecordInt(Rec, xnc::Motion, Data.Motion);
    SetRecordInt(Rec, xnc::LengthOffset, Data.LengthOffset);
    PutReal(Rec, xnc::Feed, Data.Feed);
    PutReal(Rec, xnc::X, Data.X);
    PutReal(Rec, xnc::Y, Data.Y);
    PutReal(Rec, xnc::Z, Data.Z);
    PutReal(Rec, xnc::I, Data.I);
    PutReal(Rec, xnc::J, Data.J);
    PutReal(Rec, xnc::K, Data.K);
    PutReal(Rec, xnc::R, Data.R);
    PutReal(Rec, xnc::Spare, Data.Spare);
    PutReal(Rec, xnc::MoveLength, Data.MoveLength);
    PutReal(Rec, xnc::CornerAngle, Data.CornerAngle);
    Rec[xnc::LookAhead] = Data.LookAhead ? 1 : 0;
    Rec[xnc::BlockDelete] = Data.BlockDelete ? 1 : 0;
}

void CopyCompiledRecord(const TCompiledRecord &Rec, TCNC_data &Data)
{
    Data.Spindle = RecordInt(Rec, xnc::Spindle);
    Data.MCode = RecordInt(Rec, xnc::MCode);
    Data.Tool = RecordInt(Rec, xnc::Tool);
    Data.Motion = RecordInt(Rec, xnc::Motion);
    Data.LengthOffset = RecordInt(Rec, xnc::LengthOffset);
    Data.Feed = RecordReal(Rec, xnc::Feed);
    Data.X = RecordReal(Rec, xnc::X);
    Data.Y = RecordReal(Rec, xnc::Y);
    Data.Z = RecordReal(Rec, xnc::Z);
    Data.I = RecordReal(Rec, xnc::I);
    Data.J = RecordReal(Rec, xnc::J);
    Data.K = RecordReal(Rec, xnc::K);
    Data.R = RecordReal(Rec, xnc::R);
    Data.Spare = RecordReal(Rec, xnc::Spare);
    Data.LookAhead = Rec[xnc::LookAhead] != 0;
    Data.BlockDelete = Rec[xnc::BlockDelete] != 0;
}

std::string CompiledRecordFault(const TCompiledRecord &Rec)
{
    int32_t motion = RecordInt(Rec, xnc::Motion);
    if (!IsKnownMotion(motion))
        return "motion code " + std::to_string(motion);
    for (const auto &f : RealFields)
        if (!std::isfinite(RecordReal(Rec, f.Offset)))
            return std::string(f.Name) + " is not a number";
    for (int flag : {xnc::LookAhead, xnc::BlockDelete})
        if (Rec[flag] > 1)
            return "flag byte " + std::to_string(flag) + " is " + std::to_string(Rec[flag]);
    if (!IsZeroRange(Rec, 20, 24) || !IsZeroRange(Rec, 114, CompiledRecordSize))
        return "unused bytes are not zero";
    return {};
}

TArcShape ArcShapeFromPoints(int32_t Motion, const double Start[3], const double End[3],
                             const double Centre[3])
{
    const TPlaneAxes &a = ChoosePlane(Start, End, Centre);
    TArcShape shape;
    shape.Plane = a.Plane;
    shape.Radius = PlaneDistance(a, End, Centre);
    long double start = AngleOf((long double)Start[a.First] - Centre[a.First],
                                (long double)Start[a.Second] - Centre[a.Second]);
    long double end = AngleOf((long double)End[a.First] - Centre[a.First],
                              (long double)End[a.Second] - Centre[a.Second]);
    bool fullCircle = std::fabs(start - end) < 0.0001L;
    if (Motion == 2) {
        if (start < end || fullCircle)
            start += 360.0L;
        shape.Sweep = std::fabs(start - end);
    } else {
        if (start > end || fullCircle)
            end += 360.0L;
        shape.Sweep = -std::fabs(start - end);
    }
    return shape;
}

} // namespace orv
