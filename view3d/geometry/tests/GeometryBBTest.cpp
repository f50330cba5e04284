#include "view3d/geometry/Geometry.h"
#include "view3d/geometry/GeometryBB.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

void ExpectVec(const TAffineVec3f &V, float X, float Y, float Z)
{
    EXPECT_FLOAT_EQ(V.X, X);
    EXPECT_FLOAT_EQ(V.Y, Y);
    EXPECT_FLOAT_EQ(V.Z, Z);
}

TEST(GeometryBB, HalfExtentsGiveTheCornerLayout)
{
    TCornerBox box;
    BoxFromHalfExtents(box, {1, 2, 3, 0});
    // Corner signs (X, Y, Z) as the layout table gives them.
    const int signs[8][3] = {{1, 1, 1},   {1, -1, 1},  {1, -1, -1},  {1, 1, -1},
                             {-1, 1, 1},  {-1, -1, 1}, {-1, -1, -1}, {-1, 1, -1}};
    for (int c = 0; c < 8; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(box.Corner[c].X, signs[c][0] * 1.0f);
        EXPECT_EQ(box.Corner[c].Y, signs[c][1] * 2.0f);
        EXPECT_EQ(box.Corner[c].Z, signs[c][2] * 3.0f);
        EXPECT_EQ(box.Corner[c].W, 1.0f);
    }
    TAxisBox a = BoxToAxisBox(box);
    ExpectVec(a.Min, -1, -2, -3);
    ExpectVec(a.Max, 1, 2, 3);
}

TEST(GeometryBB, GrowEnclosesBothAndIsIdempotentWithItself)
{
    TCornerBox box, other;
    BoxFromHalfExtents(box, {1, 1, 1, 0});
    TCornerBox same = box;
    GrowBox(box, same);
    for (int c = 0; c < 8; ++c)
        EXPECT_TRUE(HomogeneousEquals(box.Corner[c], same.Corner[c]));

    BoxFromHalfExtents(other, {0.5f, 0.5f, 0.5f, 0});
    TransformBox(other, ScaleTranslationMatrix({1, 1, 1, 1}, {3, 0, -2, 1}));
    GrowBox(box, other);
    TAxisBox a = BoxToAxisBox(box);
    ExpectVec(a.Min, -1, -1, -2.5f);
    ExpectVec(a.Max, 3.5f, 1, 1);
}

TEST(GeometryBB, TransformRotatesEveryCorner)
{
    TCornerBox box;
    BoxFromHalfExtents(box, {2, 1, 1, 0});
    TransformBox(box, AxisRotationMatrix(ZVector, float(DegreesToRadians(90))));
    TAxisBox a = BoxToAxisBox(box);
    EXPECT_NEAR(a.Max.X, 1, 1e-6);
    EXPECT_NEAR(a.Max.Y, 2, 1e-6);
    EXPECT_NEAR(a.Min.Y, -2, 1e-6);
}

} // namespace
} // namespace orv
