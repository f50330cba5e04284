#include "view3d/scene/GLObjects.h"

#include "view3d/geometry/Geometry.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/XOpenGL.h"
#include "view3d/scene/tests/SceneFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace orv {
namespace {

struct TFace {
    std::vector<TAffineVec3f> Corners;
    TAffineVec3f Normal; // the normal sent with the corners, summed
};

TAffineVec3f Vec(const std::vector<double> &A) { return {float(A[0]), float(A[1]), float(A[2])}; }

// The faces the recorded quads, quad strips and polygons make, in order.
std::vector<TFace> Faces(const TGLRecorder &Gl)
{
    std::vector<TFace> faces;
    TAffineVec3f normal;
    GLenum mode = 0;
    std::vector<std::pair<TAffineVec3f, TAffineVec3f>> vertices; // point, normal
    auto face = [&](std::initializer_list<size_t> Index) {
        TFace f;
        for (size_t i : Index) {
            f.Corners.push_back(vertices[i].first);
            AffineAddTo(f.Normal, vertices[i].second);
        }
        faces.push_back(f);
    };
    for (const TGLCall &c : Gl.Calls) {
        if (c.Name == "glNormal3f" || c.Name == "glNormal3fv") {
            normal = Vec(c.Args);
        } else if (c.Name == "glVertex3f" || c.Name == "glVertex3fv") {
            vertices.push_back({Vec(c.Args), normal});
        } else if (c.Name == "glBegin") {
            mode = GLenum(c.Args[0]);
            vertices.clear();
        } else if (c.Name == "glEnd") {
            const size_t n = vertices.size();
            if (mode == gl::QUADS)
                for (size_t i = 0; i + 3 < n; i += 4)
                    face({i, i + 1, i + 2, i + 3});
            if (mode == gl::QUAD_STRIP)
                for (size_t i = 0; i + 3 < n; i += 2)
                    face({i, i + 1, i + 3, i + 2});
            if (mode == gl::POLYGON) {
                TFace f;
                for (const auto &v : vertices) {
                    f.Corners.push_back(v.first);
                    AffineAddTo(f.Normal, v.second);
                }
                faces.push_back(f);
            }
        }
    }
    return faces;
}

// The face's own normal from its corners (counter-clockwise seen from where it points).
TAffineVec3f Winding(const TFace &F)
{
    TAffineVec3f n;
    const size_t k = F.Corners.size();
    for (size_t i = 0; i < k; ++i) {
        const TAffineVec3f &a = F.Corners[i], &b = F.Corners[(i + 1) % k];
        n.X += (a.Y - b.Y) * (a.Z + b.Z);
        n.Y += (a.Z - b.Z) * (a.X + b.X);
        n.Z += (a.X - b.X) * (a.Y + b.Y);
    }
    return n;
}

TAffineVec3f Centre(const TFace &F)
{
    TAffineVec3f c;
    for (const TAffineVec3f &p : F.Corners)
        AffineAddTo(c, AffineScaled(p, 1.0f / float(F.Corners.size())));
    return c;
}

// Every face is wound counter-clockwise around the normal it sends, and
// that normal points away from the object's centre (Out) or towards it.
void ExpectFacesPoint(const std::vector<TFace> &Faces, bool Out)
{
    for (size_t i = 0; i < Faces.size(); ++i) {
        SCOPED_TRACE(i);
        const TFace &f = Faces[i];
        EXPECT_GT(double(AffineDot(Winding(f), f.Normal)), 0);
        const double away = double(AffineDot(f.Normal, Centre(f)));
        EXPECT_TRUE(Out ? away > 0 : away < 0) << away;
    }
}

TEST(SceneObjectClasses, SixteenPrimitivesInTheirOrder)
{
    const std::vector<std::string> expected = {
        "TSphere", "TCube",   "TFrustrum", "TCylinder",  "TCone",      "TTorus",
        "TTeapot", "TDodecahedron", "TDisk", "TPlane", "TSprite", "TDummyCube",
        "TLines",  "TAnnulus", "TArrowLine", "TPolygon"};
    std::vector<std::string> mine;
    for (const std::string &name : RegisteredSceneObjectClasses())
        if (std::find(expected.begin(), expected.end(), name) != expected.end())
            mine.push_back(name);
    EXPECT_EQ(mine, expected);
    for (const std::string &name : expected) {
        auto object = CreateSceneObject(name);
        ASSERT_TRUE(object) << name;
        EXPECT_EQ(object->ClassName(), name);
    }
}

TEST(GLCube, FacesAndParts)
{
    struct Case {
        const char *Name;
        unsigned Parts;
        TNormalDirection Direction;
        size_t Faces;
    } cases[] = {{"all outside", 63, ndOutside, 6},
                 {"all inside", 63, ndInside, 6},
                 {"top and front", cpTop | cpFront, ndOutside, 2},
                 {"none", 0, ndOutside, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl;
        TCube cube;
        cube.SetCubeWidth(2);
        cube.SetCubeDepth(3);
        cube.SetParts(c.Parts);
        cube.SetNormalDirection(c.Direction);
        Compile(cube, gl);
        const auto faces = Faces(gl);
        ASSERT_EQ(faces.size(), c.Faces);
        ExpectFacesPoint(faces, c.Direction == ndOutside);
        for (const TFace &f : faces)
            for (const TAffineVec3f &p : f.Corners) {
                EXPECT_EQ(std::abs(p.X), 1);
                EXPECT_EQ(std::abs(p.Y), 0.5f);
                EXPECT_EQ(std::abs(p.Z), 1.5f);
            }
    }
    TCube cube;
    cube.SetCubeHeight(4);
    const TVector4f h = cube.HalfExtents();
    EXPECT_EQ(h.Y, 2);
    EXPECT_EQ(h.X, 0.5f);
}

TEST(GLCube, CubeSizeProperty)
{
    TCube cube;
    EXPECT_EQ(cube.CubeSizeData(), "") << "not written at 1, 1, 1";
    cube.SetCubeDepth(2.5f);
    const std::string data = cube.CubeSizeData();
    ASSERT_EQ(data.size(), 12u);
    TCube copy;
    copy.ReadCubeSizeData(data);
    EXPECT_EQ(copy.CubeWidth(), 1);
    EXPECT_EQ(copy.CubeDepth(), 2.5f);
    copy.ReadCubeSizeData(data.substr(0, 11)); // short: ignored
    EXPECT_EQ(copy.CubeDepth(), 2.5f);
}

TEST(GLFrustrum, SidesLeanInAndTheTopOnlyBelowTheApex)
{
    struct Case {
        const char *Name;
        float Height, ApexHeight;
        size_t Faces;
    } cases[] = {{"cut below the apex", 0.5f, 1, 6},
                 {"cut at the apex", 1, 1, 5},
                 {"cut above the apex", 2, 1, 5}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl;
        TFrustrum f;
        f.SetHeight(c.Height);
        f.SetApexHeight(c.ApexHeight);
        f.SetBaseWidth(2);
        Compile(f, gl);
        const auto faces = Faces(gl);
        ASSERT_EQ(faces.size(), c.Faces);
        // Skip the normals check at the apex, where the side quads are triangles.
        if (c.Height < c.ApexHeight)
            ExpectFacesPoint(faces, true);
    }
    TGLRecorder gl;
    TFrustrum f;
    f.SetBaseWidth(2);
    Compile(f, gl);
    // Halfway to the apex the top is half the base.
    float topX = 0;
    for (const TGLCall &v : gl.Of("glVertex3fv"))
        if (v.Args[1] > 0)
            topX = std::max(topX, float(v.Args[0]));
    EXPECT_FLOAT_EQ(topX, 0.5f);
}

TEST(GLFrustrum, FrustrumSizeProperty)
{
    TFrustrum f;
    EXPECT_EQ(f.FrustrumSizeData(), "") << "not written at the defaults";
    f.SetHeight(0.25f);
    f.SetBaseDepth(3);
    TFrustrum copy;
    copy.ReadFrustrumSizeData(f.FrustrumSizeData());
    EXPECT_EQ(copy.Height(), 0.25f);
    EXPECT_EQ(copy.BaseDepth(), 3);
    EXPECT_EQ(copy.ApexHeight(), 1);
    copy.ReadFrustrumSizeData("garbage");
    EXPECT_EQ(copy.Height(), 0.25f);
}

TEST(GLTorus, QuadsFaceOutwards)
{
    TGLRecorder gl;
    TTorus torus;
    torus.SetRings(8);
    torus.SetSides(6);
    Compile(torus, gl);
    const auto faces = Faces(gl);
    ASSERT_EQ(faces.size(), 8u * 6u);
    for (size_t i = 0; i < faces.size(); ++i) {
        SCOPED_TRACE(i);
        const TFace &f = faces[i];
        EXPECT_GT(double(AffineDot(Winding(f), f.Normal)), 0);
        // Away from the centre circle.
        const TAffineVec3f c = Centre(f);
        const TAffineVec3f ring = AffineScaled(AffineNormalized({c.X, c.Y, 0}), 0.4f);
        EXPECT_GT(double(AffineDot(f.Normal, AffineSubtract(c, ring))), 0);
    }
    torus.SetRings(0);
    torus.SetSides(1);
    EXPECT_EQ(torus.Rings(), 2);
    EXPECT_EQ(torus.Sides(), 3);
}

TEST(GLTorus, RayHitThroughTheQuarticSolver)
{
    struct Case {
        const char *Name;
        TVector4f Origin, Direction;
        bool Hit;
        TVector4f Point, Normal;
    } cases[] = {
        {"down onto the tube", {0.4f, 0, 5, 1}, {0, 0, -1, 0}, true, {0.4f, 0, 0.1f, 1},
         {0, 0, 1, 0}},
        {"along X from outside", {-5, 0, 0, 1}, {1, 0, 0, 0}, true, {-0.5f, 0, 0, 1},
         {-1, 0, 0, 0}},
        {"through the hole", {0, 0, 5, 1}, {0, 0, -1, 0}, false, {}, {}},
        {"from inside the tube", {0.4f, 0, 0, 1}, {1, 0, 0, 0}, true, {0.5f, 0, 0, 1},
         {1, 0, 0, 0}},
        {"pointing away", {-5, 0, 0, 1}, {-1, 0, 0, 0}, false, {}, {}},
        {"passing above", {-5, 0, 0.2f, 1}, {1, 0, 0, 0}, false, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        for (float shift : {0.0f, 10.0f}) { // also a torus moved along X
            TTorus torus;
            torus.SetPosition({shift, 0, 0, 1});
            TVector4f origin = c.Origin, hit, normal;
            origin.X += shift;
            ASSERT_EQ(torus.RayHit(origin, c.Direction, &hit, &normal), c.Hit);
            if (!c.Hit)
                continue;
            EXPECT_NEAR(hit.X, c.Point.X + shift, 1e-4);
            EXPECT_NEAR(hit.Y, c.Point.Y, 1e-4);
            EXPECT_NEAR(hit.Z, c.Point.Z, 1e-4);
            EXPECT_NEAR(normal.X, c.Normal.X, 1e-4);
            EXPECT_NEAR(normal.Z, c.Normal.Z, 1e-4);
        }
    }
}

TEST(GLTeapot, PatchesThroughEvaluators)
{
    TGLRecorder gl;
    TTeapot teapot;
    Compile(teapot, gl);
    int patches = 0;
    for (const TGLCall &c : gl.Of("glMap2f"))
        patches += c.Args[0] == gl::MAP2_VERTEX_3;
    EXPECT_EQ(patches, 32);
    EXPECT_EQ(gl.Count("glEvalMesh2"), 32);
    EXPECT_TRUE(gl.Has("glEvalMesh2", {gl::FILL, 0, 5, 0, 5}));
    EXPECT_TRUE(gl.Has("glMapGrid2f", {5, 0, 1, 5, 0, 1}));
    EXPECT_TRUE(gl.Has("glEnable", {gl::AUTO_NORMAL}));
    EXPECT_TRUE(gl.Has("glFrontFace", {gl::CW}));
    EXPECT_EQ(gl.Count("glPushAttrib"), gl.Count("glPopAttrib"));
}

TEST(GLDodecahedronObject, ScaledFacesPointOut)
{
    TGLRecorder gl;
    TDodecahedron d;
    Compile(d, gl);
    EXPECT_TRUE(gl.Has("glScalef", {0.3f, 0.3f, 0.3f}));
    const auto faces = Faces(gl);
    ASSERT_EQ(faces.size(), 12u);
    ExpectFacesPoint(faces, true);
}

TEST(GLSprite, FacesTheCamera)
{
    TGLRecorder gl;
    TSprite sprite;
    sprite.SetWidth(2);
    sprite.SetHeight(4);
    // The camera looks down the sprite's -X axis: its right is the sprite's
    // -Z, its up the sprite's Y (the matrix by columns).
    gl.Values[gl::MODELVIEW_MATRIX] = {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, -5, 1};
    Compile(sprite, gl);
    const auto faces = Faces(gl);
    ASSERT_EQ(faces.size(), 1u);
    for (const TAffineVec3f &p : faces[0].Corners) {
        EXPECT_NEAR(p.X, 0, 1e-6);
        EXPECT_NEAR(std::abs(p.Y), 2, 1e-6);
        EXPECT_NEAR(std::abs(p.Z), 1, 1e-6);
    }
    EXPECT_GT(double(AffineDot(Winding(faces[0]), faces[0].Normal)), 0);
    EXPECT_GT(faces[0].Normal.X, 0) << "towards the camera";
    EXPECT_EQ(gl.Count("glDepthMask"), 0);

    sprite.SetRotation(90);
    sprite.SetNoZWrite(true);
    Compile(sprite, gl);
    const auto turned = Faces(gl);
    ASSERT_EQ(turned.size(), 1u);
    EXPECT_NEAR(std::abs(turned[0].Corners[0].Y), 1, 1e-6) << "width and height swap places";
    EXPECT_NEAR(std::abs(turned[0].Corners[0].Z), 2, 1e-6);
    const auto masks = gl.Of("glDepthMask");
    ASSERT_EQ(masks.size(), 2u);
    EXPECT_EQ(masks[0].Args[0], 0);
    EXPECT_EQ(masks[1].Args[0], 1);
}

TEST(GLSprite, AlphaChannelIsClamped)
{
    TSprite sprite;
    struct Case {
        float Value, Stored;
    } cases[] = {{0.5f, 0.5f}, {1.5f, 1}, {-1, 0}, {1, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Value);
        sprite.SetAlphaChannel(c.Value);
        EXPECT_EQ(sprite.AlphaChannel(), c.Stored);
        EXPECT_EQ(sprite.Material().FrontProperties().Diffuse().Alpha(), c.Stored);
    }
}

TEST(GLAnnulus, InnerWallAndBottomFaceTheOtherWay)
{
    TGLRecorder gl;
    TAnnulus annulus;
    annulus.SetHeight(2);
    Compile(annulus, gl);
    const std::vector<std::string> quadrics = {"gluCylinder", "gluDisk", "gluCylinder",
                                               "gluDisk"};
    std::vector<std::string> drawn;
    for (const std::string &n : gl.Names())
        if (n == "gluCylinder" || n == "gluDisk")
            drawn.push_back(n);
    EXPECT_EQ(drawn, quadrics);
    EXPECT_TRUE(gl.Has("gluCylinder", {0.5, 0.5, 2, 16, 4}));
    EXPECT_TRUE(gl.Has("gluCylinder", {0.30000001192092896, 0.30000001192092896, 2, 16, 4}));
    EXPECT_TRUE(gl.Has("gluDisk", {0.30000001192092896, 0.5, 16, 1}));
    const auto orientation = gl.Of("gluQuadricOrientation");
    ASSERT_EQ(orientation.size(), 2u);
    EXPECT_EQ(orientation[1].Args[0], gl::GLU_INSIDE);
    annulus.SetParts(anOuterSides);
    Compile(annulus, gl);
    EXPECT_EQ(gl.Count("gluCylinder"), 1);
    EXPECT_EQ(gl.Count("gluDisk"), 0);
}

TEST(GLArrowLine, HeadStackingStyles)
{
    // Height 2, heads 0.5 high; positions along the GLU frame's Z from the bottom end.
    struct Case {
        const char *Name;
        TArrowHeadStackingStyle Style;
        double LineStart, LineLength, TopBase, BottomBase;
    } cases[] = {{"stacked", ahssStacked, 0, 2, 2, 0},
                 {"centered", ahssCentered, 0.25, 1.5, 1.75, 0.25},
                 {"included", ahssIncluded, 0.5, 1, 1.5, 0.5}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl;
        TArrowLine arrow;
        arrow.SetHeight(2);
        arrow.SetParts(alLine | alTopArrow | alBottomArrow);
        arrow.SetHeadStackingStyle(c.Style);
        Compile(arrow, gl);
        const auto cylinders = gl.Of("gluCylinder");
        ASSERT_EQ(cylinders.size(), 3u); // line, top head, bottom head
        EXPECT_EQ(cylinders[0].Args, (std::vector<double>{0.1f, 0.1f, c.LineLength, 16, 4}));
        EXPECT_EQ(cylinders[1].Args, (std::vector<double>{0.2f, 0, 0.5, 16, 4}));
        const auto moves = gl.Of("glTranslatef");
        ASSERT_EQ(moves.size(), 4u); // to the bottom end, the line, the top head, the bottom head
        EXPECT_EQ(moves[0].Args[2], -1);
        EXPECT_EQ(moves[1].Args[2], c.LineStart);
        EXPECT_EQ(moves[2].Args[2], c.TopBase);
        EXPECT_EQ(moves[3].Args[2], c.BottomBase);
        EXPECT_TRUE(gl.Has("glRotatef", {180, 1, 0, 0})) << "the bottom head points down";
        EXPECT_EQ(gl.Count("gluDisk"), 2) << "each head closed, the line ends hidden";
    }
    // Without heads the line is closed at both ends.
    TGLRecorder gl;
    TArrowLine line;
    line.SetParts(alLine);
    Compile(line, gl);
    EXPECT_EQ(gl.Count("gluCylinder"), 1);
    EXPECT_EQ(gl.Count("gluDisk"), 2);
}

TEST(GLPolygon, TopAndBottomFaces)
{
    struct Case {
        const char *Name;
        unsigned Parts;
        std::vector<double> Normals; // z of each normal sent
    } cases[] = {{"both", ppTop | ppBottom, {1, -1}},
                 {"top", ppTop, {1}},
                 {"bottom", ppBottom, {-1}},
                 {"none", 0, {}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLRecorder gl(true);
        SetStandardMode();
        TPolygon polygon;
        polygon.AddNode(0, 0, 0);
        polygon.AddNode(2, 0, 0);
        polygon.AddNode(2, 1, 0);
        polygon.AddNode(0, 1, 0);
        polygon.SetParts(c.Parts);
        Compile(polygon, gl);
        std::vector<double> normals;
        for (const TGLCall &n : gl.Of("glNormal3fv"))
            normals.push_back(n.Args[2]);
        EXPECT_EQ(normals, c.Normals);
        EXPECT_EQ(gl.Count("glVertex3fv") >= 4 * int(c.Normals.size()), true);
        EXPECT_EQ(gl.Count("glTexCoord2fv"), gl.Count("glVertex3fv"));
    }
    // A spline polygon sends more points than it has nodes.
    TGLRecorder gl(true);
    TPolygon round;
    for (int i = 0; i < 5; ++i)
        round.AddNode(float(std::cos(i * 1.2566)), float(std::sin(i * 1.2566)), 0);
    round.SetParts(ppTop);
    Compile(round, gl);
    const int plain = gl.Count("glVertex3fv");
    round.SetSplineMode(lsmCubicSpline);
    round.SetDivision(4);
    Compile(round, gl);
    EXPECT_GT(gl.Count("glVertex3fv"), plain);
}

TEST(GLSolids, WritersAndAssign)
{
    TTorus t;
    t.SetMajorRadius(2);
    t.SetSides(7);
    TTorus t2;
    t2.Assign(t);
    EXPECT_EQ(t2.MajorRadius(), 2);
    EXPECT_EQ(t2.Sides(), 7);

    TArrowLine a;
    a.SetHeadStackingStyle(ahssIncluded);
    a.SetLoops(3);
    TArrowLine a2;
    a2.Assign(a);
    EXPECT_EQ(a2.HeadStackingStyle(), ahssIncluded);
    EXPECT_EQ(a2.Loops(), 3) << "and the cylinder base's own";

    TPolygon p;
    p.AddNode(1, 2, 3);
    p.SetDivision(0);
    EXPECT_EQ(p.Division(), 1);
    TPolygon p2;
    p2.Assign(p);
    ASSERT_EQ(p2.Nodes().Count(), 1);
    EXPECT_EQ(p2.Nodes().NodeAt(0).Y(), 2);
}

} // namespace
} // namespace orv
