#include "view3d/geometry/Geometry.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace orv {
namespace {

TEST(Geometry, RoundingToIntegers)
{
    struct Case {
        float In;
        int32_t Nearest, Truncated;
    } cases[] = {
        {2.5f, 2, 2},
        {3.5f, 4, 3},
        {-2.5f, -2, -2},
        {2.9f, 3, 2},
        {-2.9f, -3, -2},
        {3e9f, INT32_MIN, INT32_MIN},
        {-3e9f, INT32_MIN, INT32_MIN},
        {std::numeric_limits<float>::quiet_NaN(), INT32_MIN, INT32_MIN},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(NearestInteger(c.In), c.Nearest);
        EXPECT_EQ(TruncateToInteger(c.In), c.Truncated);
    }
}

TEST(Geometry, ArcTangentKeepsTheSignsOfZero)
{
    const long double pi = 3.14159265358979323846264338327950288L;
    EXPECT_EQ(ArcTangentYX(0.0L, 0.0L), 0.0L);
    EXPECT_EQ(ArcTangentYX(0.0L, -1.0L), pi);
    EXPECT_EQ(ArcTangentYX(-0.0L, -1.0L), -pi);
    EXPECT_EQ(ArcSine(1.0L), pi / 2);
    EXPECT_EQ(ArcSine(-1.0L), -pi / 2);
    EXPECT_TRUE(std::isnan(ArcSine(1.5L)));
}

TEST(Geometry, DegreeConversionsUseTheirOwnConstants)
{
    // The extended constant's mantissa.
    long double k = DegreesToRadians(1.0L);
    uint64_t mantissa;
    std::memcpy(&mantissa, &k, sizeof mantissa);
    EXPECT_EQ(mantissa, 0x8EFA351294E9C8AEull);
    long double r = RadiansToDegrees(1.0L);
    std::memcpy(&mantissa, &r, sizeof mantissa);
    EXPECT_EQ(mantissa, 0xE52EE0D31E0FBDC3ull);
    // The single forms multiply by a single constant and stay unrounded.
    EXPECT_EQ(DegreesToRadiansSingle(1.0f), (long double)std::bit_cast<float>(0x3C8EFA35u));
    EXPECT_EQ(RadiansToDegreesSingle(2.0f), 2.0L * std::bit_cast<float>(0x42652EE1u));
}

TEST(Geometry, LengthsAndEquality)
{
    EXPECT_EQ(HomogeneousLength({0, 0, 0, 1}), 1.0L);
    EXPECT_EQ(HomogeneousLength({2, 0, 0, 1}), std::sqrt(5.0L));
    EXPECT_EQ(AffineLength({0, 0, 0}), 0.0L);
    EXPECT_FALSE(AffineEquals({0, 0, 0}, {-0.0f, 0, 0}));
    EXPECT_TRUE(AffineIsNull({-0.0f, 0, 0}));
    EXPECT_EQ(std::bit_cast<uint32_t>(EPSILON), 0x000116C2u);
}

TEST(Geometry, NormalizeDegreesSingle)
{
    struct Case {
        float In, Out;
    } cases[] = {{190, -170}, {-190, 170}, {180, 180}, {720, 0}, {-540, -180}, {45, 45}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_FLOAT_EQ(NormalizeDegreesSingle(c.In), c.Out);
    }
}

TEST(Geometry, SingularInputGivesTheIdentity)
{
    TMatrix4x4f m = {{{1, 2, 3, 0}, {2, 4, 6, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    MatrixInverse(m);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(HomogeneousEquals(m[i], IdentityHmgMatrix[i]));
    TQuat4f q = {0, 0, 0, 0};
    QuatNormalize(q);
    EXPECT_EQ(q.W, 1.0f);
    EXPECT_EQ(q.X, 0.0f);
}

TEST(Geometry, InverseOfAnAffineTransform)
{
    TMatrix4x4f m = MatrixProduct(AxisRotationMatrix(ZVector, 0.5f),
                                  ScaleTranslationMatrix({2, 2, 2, 1}, {3, -4, 5, 1}));
    TMatrix4x4f inv = m;
    MatrixInverse(inv);
    TMatrix4x4f id = MatrixProduct(m, inv);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(id[i][j], i == j ? 1 : 0, 1e-5);
    TMatrix4x4f rigid = InvertRigidMatrix(MatrixProduct(AxisRotationMatrix(XVector, 1.0f),
                                                        ScaleTranslationMatrix({1, 1, 1, 1},
                                                                               {1, 2, 3, 1})));
    TVector4f p = TransformByMatrix(PointOf(1, 2, 3), rigid);
    EXPECT_NEAR(p.X, 0, 1e-6);
    EXPECT_NEAR(p.Y, 0, 1e-6);
    EXPECT_NEAR(p.Z, 0, 1e-6);
}

TEST(Geometry, SlerpOfOppositeQuaternionsTakesTheShortWay)
{
    TQuat4f q = QuatFromAxisAngle(ZVector, 60);
    TQuat4f minus = {-q.X, -q.Y, -q.Z, -q.W};
    TQuat4f r = QuatSlerp(q, minus, 0.5f);
    EXPECT_NEAR(r.X, q.X, 1e-6);
    EXPECT_NEAR(r.Z, q.Z, 1e-6);
    EXPECT_NEAR(r.W, q.W, 1e-6);
}

TEST(Geometry, DecomposeRecoversRotationScaleAndTranslation)
{
    TQuat4f q = QuatFromAnglesOrdered(5, 10, 20, 30);
    TMatrix4x4f m = MatrixProduct(ScaleTranslationMatrix({2, 3, 4, 1}, {0, 0, 0, 1}),
                                  QuatToMatrix(q));
    m[3] = {7, 8, 9, 1};
    TDecomposedTransform t;
    ASSERT_TRUE(DecomposeMatrix(m, t));
    EXPECT_NEAR(t.ScaleX, 2, 1e-5);
    EXPECT_NEAR(t.ScaleY, 3, 1e-5);
    EXPECT_NEAR(t.ScaleZ, 4, 1e-5);
    EXPECT_NEAR(t.TranslateX, 7, 1e-6);
    EXPECT_NEAR(t.TranslateZ, 9, 1e-6);
    TMatrix4x4f zero = IdentityHmgMatrix;
    zero[3][3] = 0;
    EXPECT_FALSE(DecomposeMatrix(zero, t));
}

TEST(Geometry, RaySphereIntersect)
{
    TVector4f i1, i2;
    TVector4f dir = {0, 0, 1, 0};
    // Outside, in front: two points.
    EXPECT_EQ(RaySphereIntersect(PointOf(0, 0, -10), dir, PointOf(0, 0, 0), 2, i1, i2), 2);
    EXPECT_FLOAT_EQ(i1.Z, -2);
    EXPECT_FLOAT_EQ(i2.Z, 2);
    // Inside: the far point only.
    EXPECT_EQ(RaySphereIntersect(PointOf(0, 0, 0), dir, PointOf(0, 0, 0), 2, i1, i2), 1);
    EXPECT_FLOAT_EQ(i1.Z, 2);
    // Behind the ray, or missed.
    EXPECT_EQ(RaySphereIntersect(PointOf(0, 0, 10), dir, PointOf(0, 0, 0), 2, i1, i2), 0);
    EXPECT_EQ(RaySphereIntersect(PointOf(5, 0, -10), dir, PointOf(0, 0, 0), 2, i1, i2), 0);
    // Grazing in front: one point.
    EXPECT_EQ(RaySphereIntersect(PointOf(2, 0, -10), dir, PointOf(0, 0, 0), 2, i1, i2), 1);
    EXPECT_FLOAT_EQ(i1.Z, 0);
}

TEST(Geometry, SphereCulling)
{
    TViewClippingInfo view;
    view.CameraPosition = PointOf(0, 0, 0);
    view.CameraDirection = {0, 0, -1, 0};
    view.ViewPortRadius = 0.5f;
    view.FarClippingDistance = 100;
    EXPECT_FALSE(SphereCulled(PointOf(0, 0, -10), 1, view));
    EXPECT_TRUE(SphereCulled(PointOf(0, 0, 10), 1, view));   // behind
    EXPECT_TRUE(SphereCulled(PointOf(0, 0, -200), 1, view)); // beyond far
    EXPECT_FALSE(SphereCulled(PointOf(0, 0, 0.5f), 1, view)); // camera inside
    EXPECT_TRUE(SphereCulled(PointOf(50, 0, -10), 1, view));  // off to the side
    EXPECT_FALSE(BoxCulled(PointOf(-1, -1, -11), PointOf(1, 1, -9), view));
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// The edge cases that callers outside the scene graph rely on, bit for bit.
TEST(Geometry, EdgeCasesOfTheScalarRoutines)
{
    EXPECT_EQ(NearestInteger(-0.5f), 0);
    EXPECT_EQ(TruncateToInteger(-0.7f), 0);
    EXPECT_EQ(NearestInteger(2147483520.0f), 2147483520); // largest single below 2^31
    EXPECT_EQ(NearestInteger(2147483648.0f), INT32_MIN);
    EXPECT_TRUE(std::isnan(ArcSine(1.0000001L)));
    EXPECT_EQ(std::signbit(ArcTangentYX(-0.0L, 1.0L)), true);
    EXPECT_EQ(ArcTangentYX(-0.0L, 0.0L), -0.0L);

    const long double pi = 3.14159265358979323846264338327950288L;
    EXPECT_EQ(DegreesToRadians(180.0L), pi);
    // Unrounded, then stored as a single.
    const long double r = DegreesToRadiansSingle(180.0f);
    EXPECT_EQ(r, 180.0L * (long double)std::bit_cast<float>(0x3C8EFA35u));
    EXPECT_NEAR(double(r), 3.14159262925386, 1e-14);
    EXPECT_NE(r, (long double)float(r));
    EXPECT_EQ(std::bit_cast<uint32_t>(float(r)), 0x40490FDBu);
    const long double d = RadiansToDegreesSingle(std::bit_cast<float>(0x40490FDBu));
    EXPECT_EQ(d, (long double)std::bit_cast<float>(0x40490FDBu) *
                     (long double)std::bit_cast<float>(0x42652EE1u));
    EXPECT_EQ(float(d), 180.0f);
}

TEST(Geometry, LengthsScalingAndBitExactEquality)
{
    EXPECT_EQ(HomogeneousLength({3, 4, 0, 1}), std::sqrt(26.0L));
    EXPECT_EQ(AffineLength({3, 4, 0}), 5.0L);
    TVector4f s = HomogeneousScaled({1, 2, 3, 1}, 2);
    EXPECT_TRUE(HomogeneousEquals(s, {2, 4, 6, 2}));
    EXPECT_FALSE(HomogeneousEquals({0, 0, 0, 0}, {0, 0, 0, -0.0f}));
}

TEST(Geometry, NormalizeDegreesFoldsIntoOneTurnAboutZero)
{
    struct Case {
        float In, Out;
    } cases[] = {{540, 180}, {-190, 170}, {370, 10}, {-180, -180}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(NormalizeDegreesSingle(c.In), c.Out);
    }
}

TEST(Geometry, MatrixWithAZeroRowInvertsToTheIdentity)
{
    TMatrix4x4f m = {{{1, 2, 3, 4}, {0, 0, 0, 0}, {5, 6, 7, 8}, {1, 1, 1, 1}}};
    MatrixInverse(m);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(HomogeneousEquals(m[i], IdentityHmgMatrix[i]));
    TQuat4f tiny = {1e-31f, 0, 0, 0};
    QuatNormalize(tiny);
    EXPECT_EQ(tiny.X, 0.0f);
    EXPECT_EQ(tiny.W, 1.0f);
}

TEST(Geometry, RayFromTheCentreLeavesOnTheFarSide)
{
    TVector4f i1, i2;
    const TVector4f dir = {1, 0, 0, 0};
    EXPECT_EQ(RaySphereIntersect(PointOf(3, 1, 1), dir, PointOf(3, 1, 1), 2, i1, i2), 1);
    EXPECT_TRUE(HomogeneousEquals(i1, PointOf(5, 1, 1)));
    EXPECT_EQ(RaySphereIntersect(PointOf(-5, 1, 1), dir, PointOf(3, 1, 1), 2, i1, i2), 2);
    EXPECT_TRUE(HomogeneousEquals(i1, PointOf(1, 1, 1)));
    EXPECT_TRUE(HomogeneousEquals(i2, PointOf(5, 1, 1)));
    EXPECT_EQ(RaySphereIntersect(PointOf(8, 1, 1), dir, PointOf(3, 1, 1), 2, i1, i2), 0);
}

} // namespace
} // namespace orv
