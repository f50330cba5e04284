// Plane and space geometry: directions, corners, arc centres, intersections,
// and the guards that keep a zero length or a degenerate angle from
// producing a value that is not a number.

#include "engine/chain/Vectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace orv {
namespace {

constexpr double Pi = std::numbers::pi;
constexpr double Tol = 1e-9;

TEST(GeometryVectors, DirectionAngleCoversEveryQuadrant)
{
    struct TCase {
        const char *Name;
        double X, Y, Expected;
    } Cases[] = {
        {"zero vector counts as straight up", 0, 0, Pi / 2},
        {"plus X", 1, 0, 0},
        {"plus Y", 0, 5, Pi / 2},
        {"minus X", -1, 0, Pi},
        {"minus Y", 0, -2, 3 * Pi / 2},
        {"fourth quadrant", 1, -1, 7 * Pi / 4},
        {"second quadrant", -1, 1, 3 * Pi / 4},
        {"third quadrant", -1, -1, 5 * Pi / 4},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_NEAR(DirectionAngle(C.X, C.Y), C.Expected, Tol);
        EXPECT_NEAR(AngleDegrees(C.X, C.Y), C.Expected * 180 / Pi, 1e-7);
    }
}

TEST(GeometryVectors, NormalizeAngleBringsIntoOneTurn)
{
    struct TCase {
        const char *Name;
        double A, Expected;
    } Cases[] = {
        {"already inside", 1, 1},
        {"exactly one turn is zero", 2 * Pi, 0},
        {"negative quarter", -Pi / 2, 3 * Pi / 2},
        {"several turns", 5 * 2 * Pi + 0.5, 0.5},
        {"many turns back", -7 * 2 * Pi - 0.25, 2 * Pi - 0.25},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        const double A = NormalizeAngle(C.A);
        EXPECT_NEAR(A, C.Expected, 1e-9);
        EXPECT_GE(A, 0);
        EXPECT_LT(A, 2 * Pi);
    }
    EXPECT_EQ(NormalizeAngle(std::numeric_limits<double>::infinity()), 0);
    const double Huge = NormalizeAngle(1e300);
    EXPECT_GE(Huge, 0);
    EXPECT_LT(Huge, 2 * Pi);
}

TEST(GeometryVectors, RightAngleTurnBothWays)
{
    EXPECT_NEAR(RightAngleTurn(true, 0), 3 * Pi / 2, Tol);
    EXPECT_NEAR(RightAngleTurn(false, 0), Pi / 2, Tol);
    EXPECT_NEAR(RightAngleTurn(false, 3 * Pi / 2), 0, Tol);
}

TEST(GeometryVectors, CornerTurnAngle)
{
    struct TCase {
        const char *Name;
        double X1, Y1, X2, Y2, X3, Y3, Expected;
    } Cases[] = {
        {"straight on", 0, 0, 1, 0, 2, 0, 180},   {"right turn", 0, 0, 1, 0, 1, -1, 90},
        {"left turn", 0, 0, 1, 0, 1, 1, -90},     {"full reversal", 0, 0, 1, 0, 0, 0, 0},
        {"shallow left", 0, 0, 1, 0, 2, 1, -135}, {"shallow right", 0, 0, 1, 0, 2, -1, 135},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_NEAR(CornerTurnAngle(C.X1, C.Y1, C.X2, C.Y2, C.X3, C.Y3), C.Expected, 1e-7);
    }
}

TEST(GeometryVectors, ArcCentreFromChord)
{
    struct TCase {
        const char *Name;
        double X1, Y1, X2, Y2, Angle, Xc, Yc, R;
    } Cases[] = {
        {"half circle", 0, 0, 10, 0, 180, 5, 0, 5},
        {"quarter lies right of the chord", 0, 0, 10, 0, 90, 5, -5, std::sqrt(50.0)},
        {"sign of the angle is ignored", 0, 0, 10, 0, -90, 5, -5, std::sqrt(50.0)},
        {"three quarters lies left", 0, 0, 10, 0, 270, 5, 5, std::sqrt(50.0)},
        {"zero angle gives the midpoint", 0, 0, 10, 0, 0, 5, 0, 5},
        {"full circle on one point", 3, 4, 3, 4, 360, 3, 4, 0},
        {"two full turns", 0, 0, 2, 0, 720, 1, 0, 1},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        double Xc = 0, Yc = 0, R = 0;
        ArcCentreFromChord(Xc, Yc, R, C.X1, C.Y1, C.X2, C.Y2, C.Angle);
        EXPECT_NEAR(Xc, C.Xc, 1e-7);
        EXPECT_NEAR(Yc, C.Yc, 1e-7);
        EXPECT_NEAR(R, C.R, 1e-7);
    }
}

TEST(GeometryVectors, SafeArcCosGuards)
{
    struct TCase {
        const char *Name;
        double V, Expected;
    } Cases[] = {
        {"just inside the zero band is exactly square", 0.00005, Pi / 2},
        {"just outside the band", 0.0001, std::acos(0.0001)},
        {"minus one", -1, Pi},
        {"below minus one", -1.5, Pi},
        {"one", 1, 0},
        {"above one", 2, 0},
        {"half", 0.5, Pi / 3},
        {"minus half", -0.5, 2 * Pi / 3},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_NEAR(SafeArcCos(C.V), C.Expected, 1e-12);
    }
    EXPECT_EQ(SafeArcCos(0.00005), Pi / 2);
    EXPECT_EQ(SafeArcCos(std::nan("")), Pi / 2);
}

TEST(GeometryVectors, AngleBetween3D)
{
    struct TCase {
        const char *Name;
        TPoint3D A, B;
        double Expected;
    } Cases[] = {
        {"same direction, other lengths", {1, 0, 0}, {5, 0, 0}, 0},
        {"opposite", {0, 2, 0}, {0, -3, 0}, Pi},
        {"square", {1, 0, 0}, {0, 0, 7}, Pi / 2},
        {"forty-five", {1, 0, 0}, {1, 1, 0}, Pi / 4},
        {"zero first vector", {0, 0, 0}, {1, 0, 0}, Pi / 2},
        {"zero second vector", {1, 2, 3}, {0, 0, 0}, Pi / 2},
        {"both zero", {0, 0, 0}, {0, 0, 0}, Pi / 2},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        const double A = AngleBetween3D(C.A, C.B);
        EXPECT_FALSE(std::isnan(A));
        EXPECT_NEAR(A, C.Expected, 1e-7);
    }
}

TEST(GeometryVectors, Normalize2DKeepsZeroVectorZero)
{
    TPoint2D P{3, 4};
    Normalize2D(P);
    EXPECT_NEAR(P.X, 0.6, Tol);
    EXPECT_NEAR(P.Y, 0.8, Tol);

    TPoint2D Zero{0, 0};
    Normalize2D(Zero);
    EXPECT_EQ(Zero.X, 0);
    EXPECT_EQ(Zero.Y, 0);

    TPoint2D Inf{std::numeric_limits<double>::infinity(), 1};
    Normalize2D(Inf);
    EXPECT_FALSE(std::isnan(Inf.X));
    EXPECT_FALSE(std::isnan(Inf.Y));
}

TEST(GeometryVectors, DirectionsBelowTheShortestLengthAreZero)
{
    struct TCase {
        const char *Name;
        double Gap;
        bool HasDirection;
    } Cases[] = {
        {"half the limit", 0.00005, false},
        {"exactly the limit", 0.0001, true},
        {"well above", 2, true},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TPoint2D D2;
        double Len2 = -1;
        Direction2D(D2, {C.Gap, 0}, {0, 0}, Len2);
        TPoint3D D3;
        double Len3 = -1;
        Direction3D(D3, {0, 0, C.Gap}, {0, 0, 0}, Len3);
        if (C.HasDirection) {
            EXPECT_NEAR(Len2, C.Gap, 1e-15);
            EXPECT_NEAR(D2.X, 1, Tol);
            EXPECT_NEAR(Len3, C.Gap, 1e-15);
            EXPECT_NEAR(D3.Z, 1, Tol);
        } else {
            EXPECT_EQ(Len2, 0);
            EXPECT_EQ(D2.X, 0);
            EXPECT_EQ(D2.Y, 0);
            EXPECT_EQ(Len3, 0);
            EXPECT_EQ(D3.Z, 0);
        }
    }
}

TEST(GeometryVectors, SmallVectorOperations)
{
    TPoint2D D;
    Perpendicular2D(D, {1, 2}, true);
    EXPECT_EQ(D.X, 2);
    EXPECT_EQ(D.Y, -1);
    Perpendicular2D(D, {1, 2}, false);
    EXPECT_EQ(D.X, -2);
    EXPECT_EQ(D.Y, 1);

    TPoint2D P{1, 1};
    AddScaled2D(P, {2, -1}, 3);
    EXPECT_EQ(P.X, 7);
    EXPECT_EQ(P.Y, -2);

    TPoint2D R{1, 0};
    Rotate2D(R, 1, 0); // +90 degrees
    EXPECT_NEAR(R.X, 0, Tol);
    EXPECT_NEAR(R.Y, 1, Tol);

    TPoint3D Q;
    Set3D(Q, 1, 2, 3);
    EXPECT_EQ(GetX3D(Q), 1);
    EXPECT_EQ(GetY3D(Q), 2);
    TPoint2D S;
    Set2D(S, 4, 5);
    EXPECT_EQ(GetX2D(S), 4);
    EXPECT_EQ(GetY2D(S), 5);
    EXPECT_NEAR(Distance2D(0, 0, 3, 4), 5, Tol);
    EXPECT_NEAR(Distance3D({1, 1, 1}, {3, 4, 7}), 7, Tol);
    EXPECT_NEAR(RadToDeg(Pi), 180, Tol);
}

TEST(GeometryVectors, SamePointAndBoxesAtTheirEdges)
{
    EXPECT_TRUE(SamePoint2D({1, 1}, {1.0009, 0.9991}));
    EXPECT_FALSE(SamePoint2D({1, 1}, {1.0011, 1}));
    EXPECT_TRUE(InBox2D({0, 10}, {0, 0}, {10, 10}));
    EXPECT_FALSE(InBox2D({-0.001, 5}, {0, 0}, {10, 10}));
    EXPECT_TRUE(InBox3D({10, 10, 0}, {0, 0, 0}, {10, 10, 10}));
    EXPECT_FALSE(InBox3D({5, 5, 10.001}, {0, 0, 0}, {10, 10, 10}));
}

TEST(GeometryVectors, IntersectLines2D)
{
    TPoint2D P;
    IntersectLines2D(P, {0, 0}, {1, 0}, {5, -3}, {0, 1});
    EXPECT_NEAR(P.X, 5, Tol);
    EXPECT_NEAR(P.Y, 0, Tol);

    IntersectLines2D(P, {0, 0}, {1, 1}, {0, 2}, {1, -1});
    EXPECT_NEAR(P.X, 1, Tol);
    EXPECT_NEAR(P.Y, 1, Tol);

    P = {9, 9};
    IntersectLines2D(P, {0, 0}, {1, 0}, {0, 1}, {1, 0.00001});
    EXPECT_EQ(P.X, 0);
    EXPECT_EQ(P.Y, 0);
}

} // namespace
} // namespace orv
