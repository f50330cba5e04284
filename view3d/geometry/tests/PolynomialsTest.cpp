#include "view3d/geometry/Polynomials.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orv {
namespace {

struct TCase {
    const char *Name;
    std::vector<double> Coefficients; // c0, c1, ... (2 to 5 of them)
    std::vector<double> Roots;        // in the order the solver gives them
};

TDoubleArray Solve(const std::vector<double> &c)
{
    switch (c.size()) {
    case 3: return SolveQuadric(c[0], c[1], c[2]);
    case 4: return SolveCubic(c[0], c[1], c[2], c[3]);
    default: return SolveQuartic(c[0], c[1], c[2], c[3], c[4]);
    }
}

// The roots are compared as the solver returns them, count and order: a
// double root the quadratic or cubic gave twice, or a root lost, fails.
// Only the quartic's r = 0 path repeats a root on purpose: it adds the
// root 0 to the cubic's roots, which may hold 0 already.
TEST(Polynomials, RootsOfEachDegree)
{
    const TCase cases[] = {
        {"quadratic distinct", {2, -3, 1}, {2, 1}},
        {"quadratic double", {1, -2, 1}, {1}},
        {"quadratic none", {1, 0, 1}, {}},
        {"quadratic leading zero: linear root", {4, -2, 0}, {2}},
        {"quadratic all but c0 zero: none", {4, 0, 0}, {}},
        {"cubic distinct (x-1)(x-2)(x-3)", {-6, 11, -6, 1}, {3, 2, 1}},
        {"cubic double x^2 (x-3): 2u then -u", {0, 0, -3, 1}, {3, 0}},
        {"cubic triple (x-1)^3", {-1, 3, -3, 1}, {1}},
        {"cubic one real x^3 + x + 2 -> -1", {2, 1, 0, 1}, {-1}},
        {"cubic leading zero", {2, -3, 1, 0}, {2, 1}},
        {"quartic (x-1)(x-2)(x-3)(x-4)", {24, -50, 35, -10, 1}, {2, 1, 4, 3}},
        {"quartic with a root at 0", {0, -6, 11, -6, 1}, {1, 0, 3, 2}},
        {"quartic depressed, r = 0: the cubic's roots, then 0", {0, 0, -1, 0, 1}, {1, 0, -1, 0}},
        {"quartic none x^4 + 1", {1, 0, 0, 0, 1}, {}},
        {"quartic leading zero", {-6, 11, -6, 1, 0}, {3, 2, 1}},
        {"quartic (x-1)^2 (x-2)^2: each double root once", {4, -12, 13, -6, 1}, {1, 2}},
        {"quartic (x-1)^4: once from each quadratic factor", {1, -4, 6, -4, 1}, {1, 1}},
        // Biquadratics: 2z - p of the resolvent is 0 and rounds either way.
        {"biquadratic (x^2 - 0.01)(x^2 + 0.63)", {-0.0063, 0, 0.62, 0, 1}, {0.1, -0.1}},
        {"biquadratic (x^2 - 4)(x^2 + 4.5)", {-18, 0, 0.5, 0, 1}, {2, -2}},
        {"biquadratic (x^2 - 0.25)(x^2 + 2.25)", {-0.5625, 0, 2, 0, 1}, {0.5, -0.5}},
        {"biquadratic (x^2 - 1)(x^2 - 9)", {9, 0, -10, 0, 1}, {-1, -3, 3, 1}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const TDoubleArray roots = Solve(c.Coefficients);
        ASSERT_EQ(roots.size(), c.Roots.size());
        for (size_t k = 0; k < roots.size(); ++k)
            EXPECT_NEAR(roots[k], c.Roots[k], 1e-9) << "root " << k;
    }
}

TEST(Polynomials, QuadraticGivesTheLargerRootFirst)
{
    const TDoubleArray roots = SolveQuadric(2, -3, 1);
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_DOUBLE_EQ(roots[0], 2);
    EXPECT_DOUBLE_EQ(roots[1], 1);
}

TEST(Polynomials, CoefficientsThatAreNoNumbersGiveNoRoots)
{
    const double nan = std::nan("");
    EXPECT_TRUE(SolveQuartic(nan, 1, 1, 1, 1).empty());
    EXPECT_TRUE(SolveQuadric(nan, nan, nan).empty());
}

} // namespace
} // namespace orv
