#include "view3d/geometry/Assertion.h"
#include "view3d/scene/GLMisc.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/XOpenGL.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>

namespace orv {
namespace {

// Counts the changes that reach it.
class TCountingComponent : public TGLUpdateAbleComponent {
public:
    int Changes = 0;
    void SignalChange(TObject *) override { ++Changes; }
};

TEST(GLMisc, CoordinateKindsKeepTheirW)
{
    TCountingComponent owner;
    TGLCoordinates point(&owner, {0, 0, 0, 1}, ckPoint);
    point.SetFromVector({1, 2, 3, 0});
    EXPECT_TRUE(point.SameCoords({1, 2, 3, 1}));
    TGLCoordinates vector(&owner, {0, 0, 1, 0}, ckVector);
    vector.SetFromAffine({4, 5, 6});
    EXPECT_TRUE(vector.SameCoords({4, 5, 6, 0}));
    TGLCoordinates free(&owner, {0, 0, 0, 7}, ckFree);
    free.SetFromVector({1, 1, 1, 5});
    EXPECT_EQ(free.W(), 5);
    EXPECT_EQ(owner.Changes, 3);

    EXPECT_THROW(point.AssignXYZ(1, 1, 1), EAssertionFailed);
    EXPECT_THROW(vector.AssignPoint(1, 1, 1), EAssertionFailed);
    EXPECT_EQ(owner.Changes, 3);

    // Assign copies without a notice; WriteCoordinate notifies once.
    TGLCoordinates copy(&owner, {}, ckVector);
    copy.Assign(vector);
    EXPECT_TRUE(copy.SameCoords({4, 5, 6, 0}));
    EXPECT_EQ(owner.Changes, 3);
    copy.WriteCoordinate(1, 9);
    EXPECT_EQ(owner.Changes, 4);
    EXPECT_EQ(copy.Y(), 9);

    // The form property: 16 bytes, little-endian singles.
    EXPECT_EQ(point.CoordinatesData(),
              std::string("\x00\x00\x80\x3F\x00\x00\x00\x40\x00\x00\x40\x40\x00\x00\x80\x3F", 16));
    TGLCoordinates back(nullptr, {}, ckFree);
    back.ReadCoordinatesData(point.CoordinatesData());
    EXPECT_TRUE(back.SameCoords(point.AsVector()));
}

TEST(GLMisc, ChangesClimbThroughSubObjects)
{
    TCountingComponent owner;
    TGLUpdateAbleObject middle(&owner);
    int fired = 0;
    middle.OnChange = [&](TObject *) { ++fired; };
    TGLCoordinates leaf(&middle, {}, ckFree);
    leaf.AssignXYZW(1, 2, 3, 4);
    EXPECT_EQ(owner.Changes, 1);
    EXPECT_EQ(fired, 1);
}

TEST(GLMisc, MaterialCacheSendsOnlyChanges)
{
    TGLRecorder gl;
    ClearMaterialCache();
    gl.Clear();
    const TVector4f e = {0, 0, 0, 1}, a = {0.2f, 0.2f, 0.2f, 1}, d = {0.8f, 0.8f, 0.8f, 1},
                    s = {0, 0, 0, 1};
    CachedMaterialColors(gl::FRONT, e, a, d, s, 0);
    // Shininess 0 equals the cleared cache; every colour goes.
    EXPECT_EQ(gl.Names(), (std::vector<std::string>{"glMaterialfv", "glMaterialfv",
                                                    "glMaterialfv", "glMaterialfv"}));
    gl.Clear();
    CachedMaterialColors(gl::FRONT, e, a, d, s, 0);
    EXPECT_TRUE(gl.Calls.empty());

    TVector4f a2 = a;
    a2.W = 0.5f; // ambient alpha alone: nothing
    CachedMaterialColors(gl::FRONT, e, a2, d, s, 0);
    EXPECT_TRUE(gl.Calls.empty());
    TVector4f d2 = d;
    d2.W = 0.5f; // diffuse alpha: GL_DIFFUSE
    CachedMaterialColors(gl::FRONT, e, a2, d2, s, 10);
    ASSERT_EQ(gl.Calls.size(), 2u);
    EXPECT_TRUE(gl.Has("glMateriali", {gl::FRONT, gl::SHININESS, 10}));
    EXPECT_TRUE(gl.Has("glMaterialfv", {gl::FRONT, gl::DIFFUSE, 0.8f, 0.8f, 0.8f, 0.5f}));

    gl.Clear();
    CachedDiffuseAlpha(gl::FRONT, 0.5f);
    EXPECT_TRUE(gl.Calls.empty());
    CachedDiffuseAlpha(gl::FRONT, 0.25f);
    EXPECT_TRUE(gl.Has("glMaterialfv", {gl::FRONT, gl::DIFFUSE, 0.8f, 0.8f, 0.8f, 0.25f}));
    // The back face keeps a cache of its own.
    gl.Clear();
    CachedMaterialColors(gl::BACK, e, a, d, s, 0);
    EXPECT_EQ(gl.Count("glMaterialfv"), 4);
}

TEST(GLMisc, PolygonModeAndCapabilityCaches)
{
    TGLRecorder gl;
    ClearPolygonModeCache();
    CachedPolygonMode(gl::FRONT, gl::LINE);
    CachedPolygonMode(gl::FRONT, gl::LINE);
    EXPECT_EQ(gl.Count("glPolygonMode"), 1);
    // The back mode still differs, so both faces are sent.
    CachedPolygonMode(gl::FRONT_AND_BACK, gl::LINE);
    EXPECT_EQ(gl.Count("glPolygonMode"), 2);
    CachedPolygonMode(gl::BACK, gl::LINE);
    CachedPolygonMode(gl::FRONT_AND_BACK, gl::LINE);
    EXPECT_EQ(gl.Count("glPolygonMode"), 2);

    TGLStates set = 0;
    gl.Clear();
    EnableCapability(set, TGLState::Blend);
    EnableCapability(set, TGLState::Blend);
    DisableCapability(set, TGLState::Fog);
    DisableCapability(set, TGLState::Blend);
    EnableCapability(set, TGLState::TextureCubeMap);
    EXPECT_EQ(gl.Names(), (std::vector<std::string>{"glEnable", "glDisable", "glEnable"}));
    EXPECT_EQ(gl.Calls[0].Args[0], gl::BLEND);
    EXPECT_EQ(gl.Calls[2].Args[0], 0x8513);

    gl.Clear();
    ClearTextureBindCache();
    CachedTextureBind(0, gl::TEXTURE_2D, 5);
    CachedTextureBind(0, gl::TEXTURE_2D, 5);
    CachedTextureBind(1, gl::TEXTURE_2D, 5);
    CachedTextureBind(9, gl::TEXTURE_2D, 5);
    EXPECT_EQ(gl.Count("glBindTexture"), 2);

    gl.Clear();
    ClearTextureMatrix(); // already the identity
    LoadTextureMatrix(TMatrix4x4f{});
    ClearTextureMatrix();
    ClearTextureMatrix();
    EXPECT_EQ(gl.Count("glLoadIdentity"), 1);
    EXPECT_EQ(gl.Count("glLoadMatrixf"), 1);

    gl.Clear();
    ClearFrontFace();
    FlipFrontFace();
    FlipFrontFace();
    EXPECT_EQ(gl.Of("glFrontFace")[1].Args[0], gl::CW);
    EXPECT_EQ(gl.Of("glFrontFace")[2].Args[0], gl::CCW);
}

TEST(GLMisc, NumberHelpers)
{
    struct Case {
        int In, Out;
    } powers[] = {{-3, 1}, {0, 1}, {1, 1}, {2, 2}, {5, 8}, {256, 256}, {257, 512}};
    for (const Case &c : powers) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(NextPowerOfTwo(c.In), c.Out);
    }
    const uint8_t *ramp = SqrtRamp255();
    EXPECT_EQ(ramp[0], 0);
    EXPECT_EQ(ramp[1], 15);
    EXPECT_EQ(ramp[64], 127);
    EXPECT_EQ(ramp[255], 255);
}

TEST(GLMisc, TextFiles)
{
    const std::string file = testing::TempDir() + "glmisc_" + std::to_string(::getpid()) + ".txt";
    WriteTextFile(file, std::string("ab\0c", 4));
    EXPECT_EQ(ReadTextFile(file), std::string("ab\0c", 4));
    EXPECT_EQ(FileSizeOf(file), 4);
    std::remove(file.c_str());
    EXPECT_EQ(ReadTextFile(file), "");
    EXPECT_EQ(FileSizeOf(file), 0);
    EXPECT_THROW(WriteTextFile("/nonexistent-dir/x.txt", "x"), std::exception);
}

TEST(GLMisc, NodePolygons)
{
    TGLRecorder gl(true);
    TCountingComponent owner;
    TGLNodes nodes(&owner);
    nodes.AddNode(0, 0, 0);
    nodes.AddNode(1, 0, 0);
    EXPECT_EQ(owner.Changes, 2);
    EXPECT_EQ(nodes.NodeAt(1).GetDisplayName(), "1.0000; 0.0000; 0.0000");
    gl.Clear();
    nodes.DrawNodePolygon(false);
    EXPECT_TRUE(gl.Calls.empty()); // two nodes: no polygon

    nodes.AddNode(1, 1, 0);
    nodes.AddNode(0, 1, 0);
    const TAffineVec3f up = {0, 0, 1};
    nodes.DrawNodePolygon(false, &up);
    EXPECT_EQ(gl.Count("glBegin"), gl.Count("glEnd"));
    EXPECT_GE(gl.Count("glVertex3fv"), 4);
    EXPECT_TRUE(gl.Has("glNormal3fv", {0, 0, 1}));
}

// A star whose edges cross many times: the tessellator combines a vertex at
// every crossing, far more than the nodes the polygon has.
TEST(GLMisc, SelfIntersectingPolygonCombinesWithoutLimit)
{
    TGLRecorder gl(true);
    TGLNodes nodes(nullptr);
    const int points = 61; // {61/30} star: every edge crosses the others
    for (int i = 0; i < points; ++i) {
        const double a = 2 * 3.14159265358979 * (i * 30 % points) / points;
        nodes.AddNode(float(std::cos(a)), float(std::sin(a)), 0);
    }
    const TAffineVec3f up = {0, 0, 1};
    SetStandardMode();
    nodes.DrawNodePolygon(true, &up, 1, true);
    EXPECT_EQ(gl.Count("glTexCoord2fv"), gl.Count("glVertex3fv"));
    int vertices = gl.Count("glVertex3fv");
    EXPECT_GT(vertices, 2 * points);
    EXPECT_EQ(gl.Count("glBegin"), gl.Count("glEnd"));
    // Every vertex sent lies within the unit circle: none is garbage.
    for (const TGLCall &c : gl.Of("glVertex3fv"))
        EXPECT_LE(c.Args[0] * c.Args[0] + c.Args[1] * c.Args[1], 1.0001);
    // With spline smoothing too.
    gl.Clear();
    nodes.DrawNodePolygon(false, &up, 3);
    EXPECT_GT(gl.Count("glVertex3fv"), 3 * points);
}

} // namespace
} // namespace orv
