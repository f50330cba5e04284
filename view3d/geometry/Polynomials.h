#pragma once
// Real roots of quadratic, cubic and quartic polynomials with Double
// coefficients (c0 + c1 x + c2 x^2 + ...), for the ray tests of the scene
// primitives. A value counts as zero when its magnitude is at most 1e-40.

#include <vector>

namespace orv {

using TDoubleArray = std::vector<double>;

// c0 + c1 x + c2 x^2. With c2 = 0 the linear root -c0 / c1 (none when c1 is
// 0 too); a double root is given once.
TDoubleArray SolveQuadric(double C0, double C1, double C2);
// c0 + ... + c3 x^3; c3 = 0 falls back to the quadratic.
TDoubleArray SolveCubic(double C0, double C1, double C2, double C3);
// c0 + ... + c4 x^4; c4 = 0 falls back to the cubic.
TDoubleArray SolveQuartic(double C0, double C1, double C2, double C3, double C4);

} // namespace orv
