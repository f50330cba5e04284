#include "view3d/geometry/Polynomials.h"

#include <cmath>
#include <numbers>

namespace orv {

namespace {

bool IsZero(double V) { return std::fabs(V) <= 1e-40; }

void Shift(TDoubleArray &Roots, double By)
{
    for (double &r : Roots)
        r += By;
}

} // namespace

TDoubleArray SolveQuadric(double C0, double C1, double C2)
{
    if (IsZero(C2)) {
        // Linear: c0 + c1 x = 0.
        if (IsZero(C1))
            return {};
        return {-C0 / C1};
    }
    const double p = C1 / (2 * C2);
    const double q = C0 / C2;
    const double d = p * p - q;
    if (IsZero(d))
        return {-p};
    if (d > 0) {
        const double s = std::sqrt(d);
        return {s - p, -s - p};
    }
    return {};
}

TDoubleArray SolveCubic(double C0, double C1, double C2, double C3)
{
    if (IsZero(C3))
        return SolveQuadric(C0, C1, C2);
    // Normal form x^3 + a2 x^2 + a1 x + a0, then x = y - a2/3 gives
    // y^3 + 3p y + 2q = 0.
    const double a2 = C2 / C3, a1 = C1 / C3, a0 = C0 / C3;
    const double sq = a2 * a2;
    const double p = (a1 - sq / 3) / 3;
    const double q = (2 * a2 * sq / 27 - a2 * a1 / 3 + a0) / 2;
    const double cp = p * p * p;
    const double d = q * q + cp;
    TDoubleArray roots;
    if (IsZero(d)) {
        if (IsZero(q)) {
            roots = {0.0};
        }
        else {
            const double u = std::cbrt(-q);
            roots = {2 * u, -u};
        }
    }
    else if (d > 0) {
        const double s = std::sqrt(d);
        roots = {std::cbrt(s - q) - std::cbrt(s + q)};
    }
    else {
        const double phi = std::acos(-q / std::sqrt(-cp)) / 3;
        const double t = 2 * std::sqrt(-p);
        constexpr double third = std::numbers::pi / 3;
        roots = {t * std::cos(phi), -t * std::cos(phi + third), -t * std::cos(phi - third)};
    }
    Shift(roots, -a2 / 3);
    return roots;
}

namespace {

// 0 when zero, the square root when positive; false when negative. V is a
// difference of two terms whose magnitudes add up to Scale: a V within
// rounding of Scale counts as zero. A biquadratic, where 2z - p is exactly
// 0, would otherwise lose all its roots to a last-bit error below zero, or
// take the square root of the error above it (roots off by 1e-8).
bool RootOfResolventTerm(double &V, double Scale)
{
    if (IsZero(V) || std::fabs(V) <= 1e-12 * Scale) {
        V = 0;
        return true;
    }
    if (V < 0)
        return false;
    V = std::sqrt(V);
    return true;
}

void Append(TDoubleArray &To, const TDoubleArray &From) { To.insert(To.end(), From.begin(), From.end()); }

} // namespace

TDoubleArray SolveQuartic(double C0, double C1, double C2, double C3, double C4)
{
    if (IsZero(C4))
        return SolveCubic(C0, C1, C2, C3);
    // x = y - a3/4 gives y^4 + p y^2 + q y + r = 0.
    const double a3 = C3 / C4, a2 = C2 / C4, a1 = C1 / C4, a0 = C0 / C4;
    const double sq = a3 * a3;
    const double p = -3 * sq / 8 + a2;
    const double q = sq * a3 / 8 - a3 * a2 / 2 + a1;
    const double r = -3 * sq * sq / 256 + sq * a2 / 16 - a3 * a1 / 4 + a0;
    TDoubleArray roots;
    if (IsZero(r)) {
        // y (y^3 + p y + q) = 0
        roots = SolveCubic(q, p, 0, 1);
        roots.push_back(0);
    }
    else {
        const TDoubleArray resolvent = SolveCubic(r * p / 2 - q * q / 8, -r, -p / 2, 1);
        if (resolvent.empty())
            return {}; // only for coefficients that are not numbers
        const double z = resolvent[0];
        double u = z * z - r;
        double v = 2 * z - p;
        if (!RootOfResolventTerm(u, z * z + std::fabs(r)) ||
            !RootOfResolventTerm(v, std::fabs(2 * z) + std::fabs(p)))
            return {};
        const double s = q >= 0 ? 1.0 : -1.0;
        roots = SolveQuadric(z - u, s * v, 1);
        Append(roots, SolveQuadric(z + u, -s * v, 1));
    }
    Shift(roots, -a3 / 4);
    return roots;
}

} // namespace orv
