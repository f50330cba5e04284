#include "view3d/scene/GLObjects.h"

#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"
#include "view3d/geometry/PersistentClasses.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/XOpenGL.h"
#include "view3d/scene/tests/SceneFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace orv {
namespace {

const TVector4f cRed{1, 0, 0, 1}, cGreen{0, 1, 0, 1}, cYellow{1, 1, 0, 1};

std::vector<double> Rgba(const TVector4f &C) { return {C.X, C.Y, C.Z, C.W}; }

// Every glPushAttrib has its glPopAttrib and every glBegin its glEnd, in order.
void ExpectBalanced(const TGLRecorder &Gl)
{
    int attribs = 0, matrices = 0;
    bool inBegin = false;
    for (const TGLCall &c : Gl.Calls) {
        if (c.Name == "glPushAttrib")
            ++attribs;
        if (c.Name == "glPopAttrib") {
            ASSERT_GE(--attribs, 0);
        }
        if (c.Name == "glPushMatrix")
            ++matrices;
        if (c.Name == "glPopMatrix") {
            ASSERT_GE(--matrices, 0);
        }
        if (c.Name == "glBegin") {
            ASSERT_FALSE(inBegin);
            inBegin = true;
        }
        if (c.Name == "glEnd") {
            ASSERT_TRUE(inBegin);
            inBegin = false;
        }
    }
    EXPECT_EQ(attribs, 0);
    EXPECT_EQ(matrices, 0);
    EXPECT_FALSE(inBegin);
}

// The calls between the first glBegin(Mode) and its glEnd.
std::vector<TGLCall> FirstPrimitive(const TGLRecorder &Gl, GLenum Mode)
{
    std::vector<TGLCall> out;
    bool inside = false;
    for (const TGLCall &c : Gl.Calls) {
        if (c.Name == "glBegin" && c.Args == std::vector<double>{double(Mode)}) {
            inside = true;
            continue;
        }
        if (inside && c.Name == "glEnd")
            break;
        if (inside)
            out.push_back(c);
    }
    return out;
}

TEST(GLLines, NeedTwoNodes)
{
    TGLRecorder gl;
    TLines lines;
    Compile(lines, gl);
    EXPECT_TRUE(gl.Calls.empty());
    lines.AddNode(1, 2, 3);
    Compile(lines, gl);
    EXPECT_TRUE(gl.Calls.empty()) << "one node draws nothing, not even its marker";
    lines.AddNode(4, 5, 6);
    Compile(lines, gl);
    const auto strip = FirstPrimitive(gl, gl::LINE_STRIP);
    ASSERT_EQ(strip.size(), 2u);
    EXPECT_EQ(strip[0].Args, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(strip[1].Args, (std::vector<double>{4, 5, 6}));
    ExpectBalanced(gl);
}

// A line from (0, 0, 0) to (1, 0, 0) without node markers, on the recorder.
struct TPlainLine : ::testing::Test {
    TPlainLine()
    {
        lines.SetNodesAspect(lnaInvisible);
        lines.AddNode(0, 0, 0);
        lines.AddNode(1, 0, 0);
    }
    TGLRecorder gl;
    TLines lines;
};

using GLPlainLine = TPlainLine;

TEST_F(GLPlainLine, SegmentShadesFromNodeColourToNodeColour)
{
    lines.Nodes().Node(0).Color().AssignRGBA(cRed);
    lines.Nodes().Node(1).Color().AssignRGBA(cGreen);

    lines.SetOptions(loUseNodeColorForLines);
    Compile(lines, gl);
    const auto strip = FirstPrimitive(gl, gl::LINE_STRIP);
    ASSERT_EQ(strip.size(), 4u);
    EXPECT_EQ(strip[0].Name, "glColor4fv");
    EXPECT_EQ(strip[0].Args, Rgba(cRed));
    EXPECT_EQ(strip[1].Name, "glVertex3f");
    EXPECT_EQ(strip[2].Args, Rgba(cGreen));
    EXPECT_EQ(strip[3].Name, "glVertex3f");

    // Without the option the line colour is set once, before the strip.
    lines.SetOptions(0);
    Compile(lines, gl);
    EXPECT_EQ(FirstPrimitive(gl, gl::LINE_STRIP).size(), 2u);
    EXPECT_TRUE(gl.Has("glColor3fv", {1, 1, 1}));
}

TEST(GLLines, NodeColourChangeRecolorsOnlyNodesInTheOldColour)
{
    TLines lines;
    lines.AddNode(0, 0, 0);
    lines.AddNode(1, 0, 0);
    lines.AddNode(2, 0, 0);
    EXPECT_TRUE(HomogeneousEquals(lines.Nodes().Node(0).Color().Color(), ColorBlue))
        << "a node starts in the node colour";
    lines.Nodes().Node(1).Color().AssignRGBA(cRed);

    lines.NodeColor().AssignRGBA(cYellow);
    EXPECT_TRUE(HomogeneousEquals(lines.Nodes().Node(0).Color().Color(), cYellow));
    EXPECT_TRUE(HomogeneousEquals(lines.Nodes().Node(1).Color().Color(), cRed));
    EXPECT_TRUE(HomogeneousEquals(lines.Nodes().Node(2).Color().Color(), cYellow));
    // A node added now starts yellow, and the next change follows from yellow.
    lines.AddNode(3, 0, 0);
    EXPECT_TRUE(HomogeneousEquals(lines.Nodes().Node(3).Color().Color(), cYellow));
    lines.NodeColor().AssignRGBA(cGreen);
    EXPECT_TRUE(HomogeneousEquals(lines.Nodes().Node(3).Color().Color(), cGreen));
    EXPECT_TRUE(HomogeneousEquals(lines.Nodes().Node(1).Color().Color(), cRed));
}

TEST(GLLines, SplineSamplesDivisionPointsPerSegment)
{
    TGLRecorder gl;
    TLines lines;
    lines.SetNodesAspect(lnaInvisible);
    lines.SetSplineMode(lsmCubicSpline);
    lines.SetDivision(4);
    lines.AddNode(0, 0, 0);
    lines.AddNode(1, 1, 0);
    lines.AddNode(2, 0, 0);
    lines.Nodes().Node(0).Color().AssignRGBA(cRed);
    lines.Nodes().Node(1).Color().AssignRGBA(cGreen);
    lines.Nodes().Node(2).Color().AssignRGBA(cYellow);
    lines.SetOptions(loUseNodeColorForLines);
    Compile(lines, gl);
    std::vector<TGLCall> vertices, colours;
    for (const TGLCall &c : FirstPrimitive(gl, gl::LINE_STRIP))
        (c.Name == "glVertex3f" ? vertices : colours).push_back(c);
    ASSERT_EQ(vertices.size(), 9u); // (3 - 1) x 4 + 1
    ASSERT_EQ(colours.size(), 9u);
    EXPECT_NEAR(vertices[4].Args[0], 1, 1e-6); // passes through the middle node
    EXPECT_NEAR(vertices[4].Args[1], 1, 1e-6);
    EXPECT_NEAR(colours[2].Args[0], 0.5, 1e-6); // halfway from red to green
    EXPECT_NEAR(colours[2].Args[1], 0.5, 1e-6);
    EXPECT_EQ(colours[8].Args, Rgba(cYellow));
}

TEST(GLLines, PropertyLimits)
{
    TLines lines;
    struct Case {
        int Division;
        int StoredDivision;
        float NodeSize;
        float StoredNodeSize;
    } cases[] = {{0, 1, 0, 1}, {-3, 1, -2, 1}, {1, 1, 0.25f, 0.25f}, {7, 7, 3, 3}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Division);
        lines.SetDivision(c.Division);
        lines.SetNodeSize(c.NodeSize);
        EXPECT_EQ(lines.Division(), c.StoredDivision);
        EXPECT_EQ(lines.NodeSize(), c.StoredNodeSize);
    }
}

TEST_F(GLPlainLine, LineStyleFollowsPatternWidthAndAlpha)
{
    Compile(lines, gl);
    EXPECT_FALSE(gl.Has("glEnable", {double(gl::LINE_STIPPLE)}));
    EXPECT_FALSE(gl.Has("glEnable", {double(gl::BLEND)}));
    EXPECT_TRUE(gl.Has("glDisable", {double(gl::LINE_SMOOTH)}));
    EXPECT_TRUE(gl.Has("glDisable", {double(gl::LIGHTING)}));

    lines.SetLinePattern(0x0F0F);
    lines.SetLineWidth(3);
    lines.SetAntiAliased(true);
    lines.LineColor().AssignRGBA({1, 0, 0, 0.5f});
    Compile(lines, gl);
    EXPECT_TRUE(gl.Has("glLineStipple", {1, 0x0F0F}));
    EXPECT_TRUE(gl.Has("glEnable", {double(gl::LINE_STIPPLE)}));
    EXPECT_TRUE(gl.Has("glEnable", {double(gl::BLEND)}));
    EXPECT_TRUE(gl.Has("glEnable", {double(gl::LINE_SMOOTH)}));
    EXPECT_TRUE(gl.Has("glLineWidth", {3}));
    EXPECT_TRUE(gl.Has("glColor4fv", {1, 0, 0, 0.5}));
    EXPECT_EQ(gl.Count("glColor3fv"), 0);
    ExpectBalanced(gl);
}

TEST(GLLines, NodeMarkers)
{
    struct Case {
        TLineNodesAspect Aspect;
        int Lines;    // glBegin(GL_LINES) per node
        int Polygons; // dodecahedron faces per node
    } cases[] = {{lnaInvisible, 0, 0}, {lnaCube, 1, 0}, {lnaDodecahedron, 0, 12}};
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.Aspect));
        TGLRecorder gl;
        TLines lines;
        lines.SetNodesAspect(c.Aspect);
        lines.AddNode(0, 0, 0);
        lines.AddNode(5, 0, 0);
        Compile(lines, gl);
        int polygons = 0, lineSets = 0;
        for (const TGLCall &call : gl.Of("glBegin")) {
            polygons += call.Args[0] == gl::POLYGON;
            lineSets += call.Args[0] == gl::LINES;
        }
        EXPECT_EQ(polygons, 2 * c.Polygons);
        EXPECT_EQ(lineSets, 2 * c.Lines);
        EXPECT_EQ(gl.Count("glTranslatef"), c.Aspect == lnaInvisible ? 0 : 2);
        ExpectBalanced(gl);
    }
}

TEST(GLDodecahedron, TwelveRegularPentagonsFacingOut)
{
    TGLRecorder gl;
    DrawDodecahedron();
    ASSERT_EQ(gl.Count("glBegin"), 12);
    std::vector<TAffineVec3f> normals;
    for (const TGLCall &c : gl.Of("glNormal3fv"))
        normals.push_back({float(c.Args[0]), float(c.Args[1]), float(c.Args[2])});
    int face = -1;
    std::vector<TAffineVec3f> corners;
    auto checkFace = [&] {
        ASSERT_EQ(corners.size(), 5u);
        const TAffineVec3f &n = normals[size_t(face)];
        for (size_t i = 0; i < 5; ++i) {
            const TAffineVec3f &a = corners[i], &b = corners[(i + 1) % 5],
                               &c = corners[(i + 2) % 5];
            // Equal edges, every corner at the same height along the normal,
            // and counter-clockwise seen from outside.
            EXPECT_NEAR(double(AffineDistance(a, b)), 2 / ((1 + std::sqrt(5.0)) / 2), 1e-5);
            EXPECT_NEAR(double(AffineDot(a, n)), double(AffineDot(corners[0], n)), 1e-5);
            EXPECT_GT(double(AffineDot(AffineCross(AffineSubtract(b, a), AffineSubtract(c, b)),
                                       n)),
                      0);
        }
    };
    for (const TGLCall &c : gl.Calls) {
        if (c.Name == "glBegin") {
            ++face;
            corners.clear();
        } else if (c.Name == "glVertex3fv") {
            corners.push_back({float(c.Args[0]), float(c.Args[1]), float(c.Args[2])});
        } else if (c.Name == "glEnd") {
            checkFace();
        }
    }
}

TEST(GLDummyCube, DrawsOnlyWhenVisibleAtRunTimeButAlwaysItsChildren)
{
    TSceneFixture f;
    auto *cube = f.Scene.Objects().NewChild<TDummyCube>();
    auto *child = cube->NewChild<TDirectOpenGL>();
    int childDraws = 0;
    child->OnRender = [&](TRenderContextInfo &) { ++childDraws; };
    f.Buffer.Render();
    EXPECT_EQ(childDraws, 1);
    EXPECT_EQ(f.Gl.Count("glLineStipple"), 0) << "the cube itself is not drawn";

    f.Signals = 0;
    cube->SetVisibleAtRunTime(true);
    EXPECT_EQ(f.Signals, 1) << "the viewer must repaint";
    f.Gl.Clear();
    f.Buffer.Render();
    EXPECT_EQ(childDraws, 2);
    EXPECT_TRUE(f.Gl.Has("glLineStipple", {1, 0xCCCC}));
    EXPECT_TRUE(f.Gl.Has("glColorMaterial", {gl::FRONT, gl::EMISSION}));
    EXPECT_TRUE(f.Gl.Has("glColor4fv", {1, 1, 1, 1}));
    EXPECT_EQ(f.Gl.Count("glNewList"), 0) << "drawn immediately, never through a list";
}

TEST(GLDummyCube, ExtentsPositionAndRays)
{
    TDummyCube cube;
    cube.SetCubeSize(-4);
    cube.SetScale({1, 2, 3, 0});
    const TVector4f h = cube.HalfExtents();
    EXPECT_EQ(h.X, 2);
    EXPECT_EQ(h.Y, 4);
    EXPECT_EQ(h.Z, 6);
    EXPECT_FALSE(cube.RayHit({0, 0, -10, 1}, {0, 0, 1, 0}, nullptr, nullptr));

    TDummyCube group;
    group.SetPosition({100, 0, 0, 1});
    EXPECT_EQ(group.WorldPosition().X, 100) << "without children: its own position";
    group.NewChild<TDummyCube>()->SetPosition({2, 0, 0, 1});
    group.NewChild<TDummyCube>()->SetPosition({4, 6, 0, 1});
    const TVector4f p = group.WorldPosition();
    EXPECT_EQ(p.X, 103);
    EXPECT_EQ(p.Y, 3);
    EXPECT_EQ(p.W, 1);
}

// A camera below its target, as the milling view holds it: the group's
// WorldPosition is its children's centre, the camera's own place, yet the
// camera aims, orbits and zooms about the point where the group stands.
TEST(GLDummyCube, CameraBelowItsTargetAimsAtTheTargetsPlace)
{
    TGLRecorder gl;
    TGLWorld scene;
    auto *target = scene.Objects().NewChild<TDummyCube>();
    auto *camera = target->NewChild<TGLCamera>();
    camera->SetTargetObject(target);
    target->SetPosition({10, 10, 0, 1});
    camera->SetPosition({-3, -15, 32, 1});
    const TVector4f aim{10, 10, 0, 1};
    auto distance = [&] {
        return double(AffineLength(AffinePart(HomogeneousSubtract(camera->WorldPosition(), aim))));
    };
    const double start = std::sqrt(9.0 + 225 + 1024);

    camera->Apply();
    ASSERT_EQ(gl.Count("gluLookAt"), 1);
    const std::vector<double> look = gl.Of("gluLookAt")[0].Args;
    EXPECT_EQ(std::vector<double>(look.begin(), look.begin() + 6),
              (std::vector<double>{7, -5, 32, 10, 10, 0}));

    camera->OrbitTarget(20, 30);
    EXPECT_NEAR(distance(), start, 1e-3) << "orbits on a sphere about the target";
    EXPECT_EQ(target->Position().X(), 10);

    camera->SetPosition({-3, -15, 32, 1});
    camera->ScaleTargetDistance(0.5f);
    EXPECT_NEAR(distance(), start / 2, 1e-4);
    EXPECT_NEAR(camera->Position().Z(), 16, 1e-5);
}

TEST(GLPlane, QuadWithTiledTextureCoordinates)
{
    TGLRecorder gl;
    SetStandardMode();
    TPlane plane;
    plane.SetWidth(4);
    plane.SetHeight(2);
    plane.SetXTiles(3);
    plane.SetYOffset(0.5f);
    Compile(plane, gl);
    EXPECT_TRUE(gl.Has("glNormal3f", {0, 0, 1}));
    const auto quad = FirstPrimitive(gl, gl::QUADS);
    const std::vector<std::vector<double>> expected = {
        {3, 1.5}, {2, 1, 0}, {0, 1.5}, {-2, 1, 0}, {0, 0}, {-2, -1, 0}, {3, 0}, {2, -1, 0}};
    ASSERT_EQ(quad.size(), expected.size());
    for (size_t i = 0; i < quad.size(); ++i)
        EXPECT_EQ(quad[i].Args, expected[i]) << i;
    plane.SetScale({2, 2, 2, 0});
    EXPECT_EQ(plane.HalfExtents().X, 4);
    EXPECT_EQ(plane.HalfExtents().Z, 0);
}

TEST(GLQuadrics, PropertyLimits)
{
    TCylinder cylinder;
    cylinder.SetLoops(0);
    EXPECT_EQ(cylinder.Loops(), 1) << "Loops 0 is ignored";
    cylinder.SetLoops(-2);
    EXPECT_EQ(cylinder.Loops(), 1);
    cylinder.SetLoops(3);
    EXPECT_EQ(cylinder.Loops(), 3);

    TSphere sphere;
    sphere.SetStacks(0);
    sphere.SetSlices(0);
    EXPECT_EQ(sphere.Stacks(), 1);
    EXPECT_EQ(sphere.Slices(), 1);
    sphere.SetStart(100);
    sphere.SetStop(200);
    EXPECT_THROW(sphere.SetStart(201), EAssertionFailed);
    EXPECT_THROW(sphere.SetStop(99), EAssertionFailed);
    EXPECT_EQ(sphere.Start(), 100);
    EXPECT_EQ(sphere.Stop(), 200);
    sphere.SetStart(200); // equal is fine
    EXPECT_EQ(sphere.Start(), 200);
}

TEST(GLQuadrics, CylinderSetsUpAFreshQuadricAlongY)
{
    struct Case {
        const char *Name;
        TNormalSmoothing Normals;
        TNormalDirection Direction;
        double NormalsCode, Outer, Inner;
    } cases[] = {
        {"smooth outside", nsSmooth, ndOutside, gl::GLU_SMOOTH, gl::GLU_OUTSIDE, gl::GLU_INSIDE},
        {"flat inside", nsFlat, ndInside, gl::GLU_FLAT, gl::GLU_INSIDE, gl::GLU_OUTSIDE},
        {"none", nsNone, ndOutside, gl::GLU_NONE, gl::GLU_OUTSIDE, gl::GLU_INSIDE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl;
        TCylinder cylinder;
        cylinder.SetNormals(c.Normals);
        cylinder.SetNormalDirection(c.Direction);
        cylinder.SetHeight(4);
        cylinder.SetBottomRadius(1);
        cylinder.SetTopRadius(0.5f);
        Compile(cylinder, gl);
        const std::vector<std::string> expected = {
            "glPushMatrix", "glRotatef", "glTranslatef", "gluNewQuadric",
            "gluQuadricDrawStyle", "gluQuadricNormals", "gluQuadricOrientation",
            "gluQuadricTexture", "gluCylinder", "glPushMatrix", "glTranslatef", "gluDisk",
            "glPopMatrix", "gluQuadricOrientation", "gluDisk", "gluDeleteQuadric",
            "glPopMatrix"};
        EXPECT_EQ(gl.Names(), expected);
        EXPECT_TRUE(gl.Has("glRotatef", {-90, 1, 0, 0}));
        EXPECT_TRUE(gl.Has("glTranslatef", {0, 0, -2}));
        EXPECT_TRUE(gl.Has("gluQuadricDrawStyle", {gl::GLU_FILL}));
        EXPECT_TRUE(gl.Has("gluQuadricNormals", {c.NormalsCode}));
        EXPECT_TRUE(gl.Has("gluQuadricTexture", {1}));
        EXPECT_TRUE(gl.Has("gluCylinder", {1, 0.5, 4, 16, 4}));
        const auto orientations = gl.Of("gluQuadricOrientation");
        EXPECT_EQ(orientations[0].Args[0], c.Outer);
        EXPECT_EQ(orientations[1].Args[0], c.Inner) << "the bottom disc faces the other way";
        const auto disks = gl.Of("gluDisk");
        EXPECT_EQ(disks[0].Args, (std::vector<double>{0, 0.5, 16, 1})); // top, at the far end
        EXPECT_EQ(disks[1].Args, (std::vector<double>{0, 1, 16, 1}));
    }
}

TEST(GLQuadrics, PartsChooseWhatIsDrawn)
{
    TCylinder cylinder;
    TCone cone;
    cone.SetBottomRadius(2);
    struct Case {
        const char *Name;
        TGLBaseSceneObject &Object;
        std::function<void()> Choose;
        int Cylinders, Disks;
    } cases[] = {
        {"cylinder, all", cylinder, [] {}, 1, 2},
        {"cylinder, top", cylinder, [&] { cylinder.SetParts(cyTop); }, 0, 1},
        {"cylinder, sides", cylinder, [&] { cylinder.SetParts(cySides); }, 1, 0},
        {"cone, both", cone, [] {}, 1, 1},
        {"cone, bottom", cone, [&] { cone.SetParts(coBottom); }, 0, 1},
        {"cone, sides", cone, [&] { cone.SetParts(coSides); }, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl;
        c.Choose();
        Compile(c.Object, gl);
        EXPECT_EQ(gl.Count("gluCylinder"), c.Cylinders);
        EXPECT_EQ(gl.Count("gluDisk"), c.Disks);
        EXPECT_EQ(gl.Count("gluDeleteQuadric"), 1);
    }
    TGLRecorder gl;
    cone.SetParts(coSides | coBottom);
    Compile(cone, gl);
    EXPECT_TRUE(gl.Has("gluCylinder", {2, 0, 1, 16, 4})) << "a cone closes at the top";
    EXPECT_TRUE(gl.Has("gluDisk", {0, 2, 16, 1}));

    TDisk disk;
    disk.SetInnerRadius(0.25f);
    disk.SetSweepAngle(90);
    disk.SetStartAngle(45);
    Compile(disk, gl);
    EXPECT_TRUE(gl.Has("gluPartialDisk", {0.25, 0.5, 16, 2, 45, 90}));
    EXPECT_EQ(gl.Count("gluDeleteQuadric"), 1);
}

TEST(GLQuadrics, HalfExtents)
{
    TCylinder cylinder;
    cylinder.SetTopRadius(-3);
    cylinder.SetHeight(4);
    cylinder.SetScale({2, 2, 2, 0});
    TVector4f h = cylinder.HalfExtents();
    EXPECT_EQ(h.X, 6);
    EXPECT_EQ(h.Y, 4);
    EXPECT_EQ(h.Z, 6);
    TCone cone;
    cone.SetBottomRadius(-2);
    h = cone.HalfExtents();
    EXPECT_EQ(h.X, 2);
    EXPECT_EQ(h.Y, 0.5f);
    TDisk disk;
    disk.SetOuterRadius(3);
    h = disk.HalfExtents();
    EXPECT_EQ(h.Y, 3);
    EXPECT_EQ(h.Z, 0);
    TSphere sphere;
    sphere.SetRadius(-2);
    EXPECT_EQ(sphere.HalfExtents().Z, 2);
}

TEST(GLSphere, BandsCoverTheSphereFromTopToBottom)
{
    TGLRecorder gl;
    TSphere sphere;
    sphere.SetSlices(4);
    sphere.SetStacks(2);
    sphere.SetRadius(3);
    Compile(sphere, gl);
    EXPECT_TRUE(gl.Has("glScalef", {3, 3, 3}));
    EXPECT_EQ(gl.Count("glBegin"), 2);
    EXPECT_EQ(gl.Count("glVertex3fv"), 2 * 5 * 2);
    EXPECT_EQ(gl.Count("glFrontFace"), 0);
    const auto v = gl.Of("glVertex3fv");
    EXPECT_NEAR(v[0].Args[1], 1, 1e-6);   // the first strip starts at the north pole
    EXPECT_NEAR(v[1].Args[1], 0, 1e-6);   // and comes down to the equator
    EXPECT_NEAR(v[3].Args[0], 1, 1e-6);   // 90 degrees on: +X
    EXPECT_NEAR(v.back().Args[1], -1, 1e-6);
    // Unit-sphere points are their own normals.
    const auto n = gl.Of("glNormal3f");
    for (size_t i = 0; i < v.size(); ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(n[i].Args[size_t(k)], v[i].Args[size_t(k)], 1e-6);
    ExpectBalanced(gl);
}

TEST(GLSphere, CapsCloseACutSphere)
{
    struct Case {
        const char *Name;
        TCapType Cap;
        TNormalDirection Direction;
        double CentreY, NormalY;
    } cases[] = {{"flat outside", ctFlat, ndOutside, std::sin(M_PI / 3), 1},
                 {"flat inside", ctFlat, ndInside, std::sin(M_PI / 3), -1},
                 {"centre", ctCenter, ndOutside, 0, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl;
        TSphere sphere;
        sphere.SetSlices(4);
        sphere.SetStacks(2);
        sphere.SetTop(60);
        sphere.SetTopCap(c.Cap);
        sphere.SetNormalDirection(c.Direction);
        Compile(sphere, gl);
        const auto fan = FirstPrimitive(gl, gl::TRIANGLE_FAN);
        ASSERT_FALSE(fan.empty());
        EXPECT_EQ(fan[0].Name, "glNormal3f");
        EXPECT_NEAR(fan[0].Args[1], c.NormalY, 1e-6);
        std::vector<TGLCall> vertices;
        for (const TGLCall &call : fan)
            if (call.Name.rfind("glVertex", 0) == 0)
                vertices.push_back(call);
        ASSERT_EQ(vertices.size(), 6u);
        EXPECT_NEAR(vertices[0].Args[1], c.CentreY, 1e-6);
        EXPECT_NEAR(vertices[1].Args[1], std::sin(M_PI / 3), 1e-6);
        EXPECT_EQ(gl.Has("glFrontFace", {gl::CW}), c.Direction == ndInside);
        if (c.Cap == ctCenter) {
            // The cone of the fan: normals at right angles to the rim points.
            const auto n = gl.Of("glNormal3fv");
            ASSERT_EQ(n.size(), 5u);
            const auto &p = vertices[1].Args;
            EXPECT_NEAR(n[0].Args[0] * p[0] + n[0].Args[1] * p[1] + n[0].Args[2] * p[2], 0, 1e-6);
            EXPECT_GT(n[0].Args[1], 0);
        }
        ExpectBalanced(gl);
    }
    // At the pole no cap is needed.
    TGLRecorder gl;
    TSphere full;
    full.SetTopCap(ctFlat);
    full.SetBottomCap(ctCenter);
    Compile(full, gl);
    EXPECT_TRUE(FirstPrimitive(gl, gl::TRIANGLE_FAN).empty());
}

TEST(GLSphere, RayHitsTheNearSide)
{
    TSphere sphere;
    sphere.SetRadius(2);
    sphere.SetPosition({5, 0, 0, 1});
    TVector4f hit, normal;
    ASSERT_TRUE(sphere.RayHit({0, 0, 0, 1}, {1, 0, 0, 0}, &hit, &normal));
    EXPECT_NEAR(hit.X, 3, 1e-5);
    EXPECT_NEAR(hit.Y, 0, 1e-5);
    EXPECT_NEAR(normal.X, -1, 1e-5);
    EXPECT_FALSE(sphere.RayHit({0, 3, 0, 1}, {1, 0, 0, 0}, &hit, &normal)) << "passes above";
    EXPECT_FALSE(sphere.RayHit({0, 0, 0, 1}, {-1, 0, 0, 0}, &hit, &normal)) << "points away";
    // From inside: the exit point.
    ASSERT_TRUE(sphere.RayHit({5, 0, 0, 1}, {0, 0, 1, 0}, &hit, &normal));
    EXPECT_NEAR(hit.Z, 2, 1e-5);
}

TEST(GLObjects, WritersRecompileOnlyOnChange)
{
    TSceneFixture f;
    auto *sphere = f.Scene.Objects().NewChild<TSphere>();
    auto *lines = f.Scene.Objects().NewChild<TLines>();
    lines->AddNode(0, 0, 0);
    lines->AddNode(1, 1, 1);
    f.Buffer.Render();
    ASSERT_FALSE(sphere->ListStale());
    ASSERT_FALSE(lines->ListStale());
    f.Signals = 0;
    f.Buffer.Render();
    EXPECT_EQ(f.Signals, 0) << "compiling changes nothing";

    sphere->SetRadius(0.5f); // the default: nothing changes
    lines->SetDivision(10);
    EXPECT_FALSE(sphere->ListStale());
    EXPECT_FALSE(lines->ListStale());
    EXPECT_EQ(f.Signals, 0);

    sphere->SetRadius(1);
    EXPECT_TRUE(sphere->ListStale());
    EXPECT_EQ(f.Signals, 1);
    lines->Nodes().Node(1).SetX(4);
    EXPECT_TRUE(lines->ListStale()) << "a moved node recompiles the lines";
    f.Buffer.Render();
    lines->Nodes().Node(0).Color().AssignRGBA(cRed);
    EXPECT_TRUE(lines->ListStale()) << "so does a node's colour";
}

TEST(GLObjects, AssignCopiesTheClassesOwnProperties)
{
    TCylinder from;
    from.SetTopRadius(2);
    from.SetLoops(5);
    from.SetNormals(nsFlat);
    TCylinder to;
    to.Assign(from);
    EXPECT_EQ(to.TopRadius(), 2);
    EXPECT_EQ(to.Loops(), 5);
    EXPECT_EQ(to.Normals(), nsFlat);
    // A cone takes what a cylinder shares with it.
    TCone cone;
    cone.Assign(from);
    EXPECT_EQ(cone.Loops(), 5);
    EXPECT_EQ(cone.Normals(), nsFlat);

    TSphere a, b;
    b.SetStop(10);
    a.SetStart(300);
    a.SetStop(330);
    b.Assign(a); // Start 300 above b's Stop 10 would be refused one by one
    EXPECT_EQ(b.Start(), 300);
    EXPECT_EQ(b.Stop(), 330);

    TLines lines;
    lines.AddNode(1, 2, 3);
    lines.LineColor().AssignRGBA(cRed);
    lines.SetNodeSize(3);
    TLines copy;
    copy.Assign(lines);
    ASSERT_EQ(copy.Nodes().Count(), 1);
    EXPECT_EQ(copy.Nodes().Node(0).Z(), 3);
    EXPECT_EQ(copy.NodeSize(), 3);
    EXPECT_TRUE(HomogeneousEquals(copy.LineColor().Color(), cRed));

    // A scene object of another class takes the node's part only; what is
    // no scene object is refused.
    lines.SetPosition({4, 5, 6, 1});
    TPlane plane;
    plane.SetWidth(7);
    plane.Assign(lines);
    EXPECT_EQ(plane.Position().Z(), 6);
    EXPECT_EQ(plane.Width(), 7);
    EXPECT_THROW(plane.Assign(lines.LineColor()), EConvertError);
}

} // namespace
} // namespace orv
