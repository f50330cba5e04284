#include "view3d/geometry/Spline.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(Spline, TwoPointsGiveAStraightLine)
{
    const float x[] = {0, 4}, y[] = {2, 6}, z[] = {-1, 1};
    TCubicSpline s(x, y, z, nullptr, 2);
    TAffineVec3f m = s.EvalAffine(0.5f);
    // The single-precision Cholesky factors leave a rounding error.
    EXPECT_NEAR(m.X, 2, 1e-6);
    EXPECT_NEAR(m.Y, 4, 1e-6);
    EXPECT_NEAR(m.Z, 0, 1e-6);
    EXPECT_EQ(s.EvalW(0.5f), 0); // no W values: 0
}

TEST(Spline, PassesThroughEveryPointAndExtrapolatesTheEnds)
{
    const float x[] = {0, 1, 3, 4, 7}, y[] = {0, 2, 1, -1, 0}, z[] = {5, 5, 5, 5, 5},
                w[] = {1, 2, 3, 4, 5};
    TCubicSpline s(x, y, z, w, 5);
    for (int j = 0; j < 5; ++j) {
        SCOPED_TRACE(j);
        TAffineVec3f p = s.EvalAffine(float(j));
        EXPECT_NEAR(p.X, x[j], 1e-5);
        EXPECT_NEAR(p.Y, y[j], 1e-5);
        EXPECT_NEAR(p.Z, z[j], 1e-5);
        EXPECT_NEAR(s.EvalW(float(j)), w[j], 1e-5);
    }
    // Natural spline of (0, 2, 1, -1, 0): the first segment's cubic, not the
    // first point, at t = -1.
    EXPECT_GT(std::abs(s.EvalAffine(-1).Y - y[0]), 0.5f);
    // A straight W stays straight beyond both ends.
    EXPECT_NEAR(s.EvalW(-1), 0, 1e-5);
    EXPECT_NEAR(s.EvalW(6), 7, 1e-5);
}

TEST(Spline, SymmetricThreePointSlopes)
{
    // Through (0, 1, 0): slopes D = (1.5, 0, -1.5) of the natural spline, so
    // the first segment is 1.5u - 0.5u^3, 0.6875 at u = 0.5.
    const float x[] = {0, 1, 2}, y[] = {0, 1, 0}, z[] = {0, 0, 0};
    TCubicSpline s(x, y, z, nullptr, 3);
    EXPECT_NEAR(s.EvalAffine(0.5f).Y, 0.6875f, 1e-6);
    EXPECT_NEAR(s.EvalAffine(1.5f).Y, 0.6875f, 1e-6);
}

} // namespace
} // namespace orv
