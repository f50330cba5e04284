#include "machine/MoveValidator.h"

#include "engine/chain/Vectors.h"
#include "machine/Read_Machinedata_file.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr double DegToRad = M_PI / 180.0;

// Cosine and sine of an angle in degrees, exact at the quarter turns so an
// arc ending on an axis direction does not stick out by a rounding error.
double CosDeg(double A) {
    if (A == 90 || A == 270)
        return 0;
    return std::cos(A * DegToRad);
}

double SinDeg(double A) {
    if (A == 0 || A == 180)
        return 0;
    return std::sin(A * DegToRad);
}

// The arc as the counter-clockwise sweep from StartAngle to EndAngle, degrees.
struct TArcSpan {
    double StartAngle;
    double EndAngle;

    bool Covers(double A) const {
        if (StartAngle < EndAngle)
            return StartAngle <= A && A <= EndAngle;
        // Passes 0 degrees, or a full circle when both are equal.
        return A >= StartAngle || A <= EndAngle;
    }
};

// The travel of one plane's two axes.
struct TPlaneBox {
    TPoint2D Min;
    TPoint2D Max;
};

TPlaneBox PlaneBox(int Plane, const TMoveValidator::TCorner &Lo,
                   const TMoveValidator::TCorner &Hi) {
    if (Plane == 18)
        return {{Lo.X, Lo.Z}, {Hi.X, Hi.Z}};
    if (Plane == 19)
        return {{Lo.Y, Lo.Z}, {Hi.Y, Hi.Z}};
    return {{Lo.X, Lo.Y}, {Hi.X, Hi.Y}};
}

} // namespace

TMoveValidator::TMoveValidator(const TRead_Machinedata_file &MachineData)
    : FMachineData(MachineData) {
    const TMachineCapability &c = MachineData.MachineCapability;
    FMin = {c.TravelXMinus, c.TravelYMinus, c.TravelZMinus};
    FMax = {c.TravelXPlus, c.TravelYPlus, c.TravelZPlus};
}

bool TMoveValidator::CheckLine(double StartX, double StartY, double StartZ, double EndX,
                               double EndY, double EndZ) const {
    TPoint3D lo{FMin.X, FMin.Y, FMin.Z};
    TPoint3D hi{FMax.X, FMax.Y, FMax.Z};
    return InBox3D({StartX, StartY, StartZ}, lo, hi) && InBox3D({EndX, EndY, EndZ}, lo, hi);
}

//            90
//            |        The bounding rectangle starts from the two end
//     180 ---c--- 0   points and grows to the circle's extreme in each
//            |        axis direction (0, 90, 180, 270 degrees) that the
//           270       arc passes.
bool TMoveValidator::CheckArc(int Direction, int Plane, double StartU, double StartV, double EndU,
                              double EndV, double CentreU, double CentreV) const {
    TPoint2D centre{CentreU, CentreV};
    TPoint2D toStart, toEnd;
    double startLen = 0, r = 0;
    Direction2D(toStart, {StartU, StartV}, centre, startLen);
    Direction2D(toEnd, {EndU, EndV}, centre, r);
    TArcSpan span{AngleDegrees(toStart.X, toStart.Y), AngleDegrees(toEnd.X, toEnd.Y)};
    if (Direction == 2)
        std::swap(span.StartAngle, span.EndAngle);
    if (span.StartAngle >= 360)
        span.StartAngle = 0;

    double u1 = CentreU + r * CosDeg(span.EndAngle);
    double u2 = CentreU + r * CosDeg(span.StartAngle);
    double v1 = CentreV + r * SinDeg(span.EndAngle);
    double v2 = CentreV + r * SinDeg(span.StartAngle);
    TPoint2D lo{std::min(u1, u2), std::min(v1, v2)};
    TPoint2D hi{std::max(u1, u2), std::max(v1, v2)};
    if (span.Covers(180))
        lo.X = std::min(lo.X, CentreU - r);
    if (span.Covers(0))
        hi.X = std::max(hi.X, CentreU + r);
    if (span.Covers(270))
        lo.Y = std::min(lo.Y, CentreV - r);
    if (span.Covers(90))
        hi.Y = std::max(hi.Y, CentreV + r);

    TPlaneBox box = PlaneBox(Plane, FMin, FMax);
    return InBox2D(lo, box.Min, box.Max) && InBox2D(hi, box.Min, box.Max);
}

int TMoveValidator::ClampSpindle(int Speed) const {
    const TSpindleData &s = FMachineData.Spindle;
    if (Speed > s.MaximumSpeed)
        return s.MaximumSpeed;
    if (Speed < s.MinimumSpeed)
        return s.MinimumSpeed;
    return Speed;
}

} // namespace orv
