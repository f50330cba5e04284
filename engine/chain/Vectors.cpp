#include "engine/chain/Vectors.h"

#include <cmath>
#include <numbers>

namespace orv {

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2 * std::numbers::pi;
constexpr double ShortestDirection = 0.0001; // mm: shorter vectors have no direction
constexpr double ParallelLimit = 0.0001;

// A length that a vector can be divided by without producing NaN.
bool IsDivisibleLength(double Len)
{
    return Len > 0 && std::isfinite(Len);
}

// A vector at least ShortestDirection long (and finite) points somewhere.
bool HasDirection(double Len)
{
    return Len >= ShortestDirection && std::isfinite(Len);
}

double Length3D(const TPoint3D &P)
{
    return std::sqrt(P.X * P.X + P.Y * P.Y + P.Z * P.Z);
}

TPoint3D Unit3D(const TPoint3D &P)
{
    const double Len = Length3D(P);
    if (!IsDivisibleLength(Len))
        return {};
    return {P.X / Len, P.Y / Len, P.Z / Len};
}

} // namespace

double Distance2D(double X1, double Y1, double X2, double Y2)
{
    return std::sqrt((X1 - X2) * (X1 - X2) + (Y1 - Y2) * (Y1 - Y2));
}

double Distance3D(const TPoint3D &A, const TPoint3D &B)
{
    return Length3D({A.X - B.X, A.Y - B.Y, A.Z - B.Z});
}

void ArcCentreFromChord(double &Xc, double &Yc, double &R, double X1, double Y1, double X2,
                        double Y2, double Angle)
{
    const double MidX = (X1 + X2) / 2;
    const double MidY = (Y1 + Y2) / 2;
    const double H = std::fabs(Angle) * Pi / 180 / 2;
    const double SinH = std::sin(H);
    // 0 and 360 degrees: the centre's distance from the chord is unbounded.
    if (!(std::fabs(SinH) > 1e-9)) {
        Xc = MidX;
        Yc = MidY;
        R = Distance2D(X1, Y1, X2, Y2) / 2;
        return;
    }
    const double CotH = std::cos(H) / SinH;
    Xc = MidX - (Y1 - Y2) / 2 * CotH;
    Yc = MidY + (X1 - X2) / 2 * CotH;
    R = Distance2D(X1, Y1, Xc, Yc);
}

double DirectionAngle(double X, double Y)
{
    if (X == 0)
        return Y >= 0 ? Pi / 2 : 3 * Pi / 2;
    double A = std::atan(Y / X);
    if (X < 0)
        A += Pi;
    return NormalizeAngle(A);
}

double AngleDegrees(double X, double Y)
{
    return RadToDeg(DirectionAngle(X, Y));
}

double RadToDeg(double A)
{
    return A * 180 / Pi;
}

double NormalizeAngle(double A)
{
    if (!std::isfinite(A))
        return 0;
    // Far-off values are first cut down by fmod so the loop stays short.
    if (std::fabs(A) > 1e6)
        A = std::fmod(A, TwoPi);
    while (A < 0)
        A += TwoPi;
    while (A >= TwoPi)
        A -= TwoPi;
    return A;
}

double RightAngleTurn(bool Minus, double A)
{
    return Minus ? NormalizeAngle(A - Pi / 2) : NormalizeAngle(A + Pi / 2);
}

double CornerTurnAngle(double X1, double Y1, double X2, double Y2, double X3, double Y3)
{
    double D = AngleDegrees(X2 - X1, Y2 - Y1) - AngleDegrees(X3 - X2, Y3 - Y2);
    if (D > 360)
        D -= 360;
    if (D < 0)
        D += 360;
    return 180 - D;
}

double AngleBetween3D(const TPoint3D &A, const TPoint3D &B)
{
    const TPoint3D UA = Unit3D(A);
    const TPoint3D UB = Unit3D(B);
    return SafeArcCos(UA.X * UB.X + UA.Y * UB.Y + UA.Z * UB.Z);
}

double SafeArcCos(double V)
{
    if (std::isnan(V))
        return Pi / 2;
    if (std::fabs(V) < 0.0001)
        return Pi / 2;
    if (V <= -1)
        return Pi;
    if (V >= 1)
        return 0;
    const double A = std::atan(std::sqrt(1 / (V * V) - 1));
    return V < 0 ? Pi - A : A;
}

void Set2D(TPoint2D &P, double X, double Y)
{
    P.X = X;
    P.Y = Y;
}

void Set3D(TPoint3D &P, double X, double Y, double Z)
{
    P.X = X;
    P.Y = Y;
    P.Z = Z;
}

double GetX2D(const TPoint2D &P)
{
    return P.X;
}
double GetY2D(const TPoint2D &P)
{
    return P.Y;
}
double GetX3D(const TPoint3D &P)
{
    return P.X;
}
double GetY3D(const TPoint3D &P)
{
    return P.Y;
}

void Normalize2D(TPoint2D &P)
{
    const double Len = std::sqrt(P.X * P.X + P.Y * P.Y);
    if (!IsDivisibleLength(Len)) {
        P = {};
        return;
    }
    P.X /= Len;
    P.Y /= Len;
}

void Direction2D(TPoint2D &D, const TPoint2D &A, const TPoint2D &B, double &Len)
{
    D = {A.X - B.X, A.Y - B.Y};
    Len = std::sqrt(D.X * D.X + D.Y * D.Y);
    if (!HasDirection(Len)) {
        D = {};
        Len = 0;
        return;
    }
    D.X /= Len;
    D.Y /= Len;
}

void Direction3D(TPoint3D &D, const TPoint3D &A, const TPoint3D &B, double &Len)
{
    D = {A.X - B.X, A.Y - B.Y, A.Z - B.Z};
    Len = Length3D(D);
    if (!HasDirection(Len)) {
        D = {};
        Len = 0;
        return;
    }
    D.X /= Len;
    D.Y /= Len;
    D.Z /= Len;
}

void Perpendicular2D(TPoint2D &D, const TPoint2D &V, bool Clockwise)
{
    if (Clockwise)
        D = {V.Y, -V.X};
    else
        D = {-V.Y, V.X};
}

void AddScaled2D(TPoint2D &P, const TPoint2D &V, double S)
{
    P.X += V.X * S;
    P.Y += V.Y * S;
}

void Rotate2D(TPoint2D &P, double SinA, double CosA)
{
    const double X = P.X * CosA - P.Y * SinA;
    const double Y = P.X * SinA + P.Y * CosA;
    P = {X, Y};
}

bool SamePoint2D(const TPoint2D &A, const TPoint2D &B)
{
    return std::fabs(A.X - B.X) < 0.001 && std::fabs(A.Y - B.Y) < 0.001;
}

bool InBox2D(const TPoint2D &P, const TPoint2D &Min, const TPoint2D &Max)
{
    return Min.X <= P.X && P.X <= Max.X && Min.Y <= P.Y && P.Y <= Max.Y;
}

bool InBox3D(const TPoint3D &P, const TPoint3D &Min, const TPoint3D &Max)
{
    return Min.X <= P.X && P.X <= Max.X && Min.Y <= P.Y && P.Y <= Max.Y && Min.Z <= P.Z &&
           P.Z <= Max.Z;
}

void IntersectLines2D(TPoint2D &P, const TPoint2D &P1, const TPoint2D &D1, const TPoint2D &P2,
                      const TPoint2D &D2)
{
    const double Den = D1.X * D2.Y - D1.Y * D2.X;
    if (!(std::fabs(Den) >= ParallelLimit)) {
        P = {};
        return;
    }
    const double T = ((P2.X - P1.X) * D2.Y - (P2.Y - P1.Y) * D2.X) / Den;
    P = {P1.X + D1.X * T, P1.Y + D1.Y * T};
}

} // namespace orv
