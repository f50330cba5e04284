#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/GLWorld.h"
#include "view3d/scene/tests/FakeContext.h"
#include "view3d/scene/tests/SceneFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orv {
namespace {

void ExpectOrthonormal(TGLBaseSceneObject &O)
{
    const TVector4f d = O.Direction().AsVector(), u = O.Up().AsVector();
    EXPECT_NEAR(double(HomogeneousLength(d)), 1, 1e-6);
    EXPECT_NEAR(double(HomogeneousLength(u)), 1, 1e-6);
    EXPECT_NEAR(double(HomogeneousDot(d, u)), 0, 1e-6);
}

// An object whose geometry is a counted quad.
class TCountedQuad : public TGLCustomSceneObject {
public:
    using TGLCustomSceneObject::TGLCustomSceneObject;
    int Compiles = 0;
    bool Fail = false;
    std::string Label;
    void CompileGeometry(TRenderContextInfo &) override
    {
        ++Compiles;
        if (Fail)
            throw std::runtime_error("broken geometry");
        GL().glBegin(gl::QUADS);
        GL().glEnd();
    }
};

TEST(GLWorld, DirectionAndUpStayOrthonormal)
{
    struct Case {
        const char *Name;
        TVector4f Direction;
    } cases[] = {{"along up", {0, 1, 0, 0}},
                 {"against up", {0, -3, 0, 0}},
                 {"oblique", {1, 1, 0, 0}},
                 {"z", {0, 0, 5, 0}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TGLBaseSceneObject o;
        o.SetDirection(c.Direction);
        ExpectOrthonormal(o);
        TVector4f d = c.Direction;
        HomogeneousNormalize(d);
        EXPECT_TRUE(HomogeneousEquals(o.Direction().AsVector(), d));
    }
    // Direction (0, 1, 0) with Up (0, 1, 0): right falls back to (0, 0, 1) x Up.
    TGLBaseSceneObject o;
    o.SetDirection({0, 1, 0, 0});
    EXPECT_TRUE(HomogeneousEquals(o.Up().AsVector(), {0, 0, -1, 0}));
    // A null vector is ignored.
    o.SetUp({0, 0, 0, 0});
    EXPECT_TRUE(HomogeneousEquals(o.Up().AsVector(), {0, 0, -1, 0}));
}

TEST(GLWorld, PitchAngleRotatesOnceAndIsStoredNormalized)
{
    TGLBaseSceneObject o;
    o.SetPitchAngle(90);
    const TVector4f once = o.Direction().AsVector();
    o.SetPitchAngle(90);
    EXPECT_TRUE(HomogeneousEquals(o.Direction().AsVector(), once));
    // About Direction x Up = -X by (old - new) = -90 degrees: (0, 0, 1) to (0, 1, 0).
    EXPECT_NEAR(once.Y, 1, 1e-6);
    o.SetPitchAngle(270);
    EXPECT_EQ(o.PitchAngle(), -90);
    ExpectOrthonormal(o);
}

TEST(GLWorld, LocalAndWorldMatrices)
{
    TGLWorld scene;
    auto *parent = scene.Objects().NewChild<TGLBaseSceneObject>();
    parent->SetPosition({1, 2, 3, 1});
    auto *child = parent->NewChild<TGLBaseSceneObject>();
    child->SetPosition({0, 0, 1, 1});
    // A child of a root: the world matrix is the local one.
    const TMatrix4x4f &pw = parent->WorldMatrix();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(HomogeneousEquals(pw[i], parent->LocalMatrix()[i]));
    EXPECT_TRUE(HomogeneousEquals(child->WorldPosition(), {1, 2, 4, 1}));
    parent->SetPosition({0, 0, 0, 1});
    EXPECT_TRUE(HomogeneousEquals(child->WorldPosition(), {0, 0, 1, 1}));
    const TVector4f back = child->WorldToLocal({0, 0, 1, 1});
    EXPECT_NEAR(back.Z, 0, 1e-6);
    child->SetScale({2, 2, 2, 0});
    EXPECT_NEAR(child->WorldToLocal({0, 0, 3, 1}).Z, 1, 1e-6);
}

TEST(GLWorld, RemoveChildKeepingItsSubtree)
{
    TGLBaseSceneObject root;
    auto *a = root.NewChild<TGLBaseSceneObject>();
    auto *b = root.NewChild<TGLBaseSceneObject>();
    auto *b1 = b->NewChild<TGLBaseSceneObject>();
    auto *b2 = b->NewChild<TGLBaseSceneObject>();
    root.RemoveChild(b, true);
    EXPECT_EQ(b->ChildCount(), 0);
    EXPECT_EQ(b->Parent(), nullptr);
    ASSERT_EQ(root.ChildCount(), 3);
    EXPECT_EQ(root.ChildAt(0), a);
    EXPECT_EQ(root.ChildAt(1), b1);
    EXPECT_EQ(root.ChildAt(2), b2);
    delete b;
    b1->SetIndexInParent(0);
    EXPECT_EQ(root.ChildAt(0), b1);
    EXPECT_EQ(a->IndexInParent(), 1);
}

// Records the order in which nodes go.
std::vector<std::string> *gFreed = nullptr;
class TNamed : public TGLBaseSceneObject {
public:
    using TGLBaseSceneObject::TGLBaseSceneObject;
    ~TNamed() override
    {
        if (gFreed)
            gFreed->push_back(Name);
    }
};
class TNamedCamera : public TGLCamera {
public:
    using TGLCamera::TGLCamera;
    ~TNamedCamera() override
    {
        if (gFreed)
            gFreed->push_back(Name);
    }
};

TEST(GLWorld, CamerasAreFreedFirst)
{
    std::vector<std::string> freed;
    gFreed = &freed;
    auto *node = new TNamed;
    node->Name = "node";
    auto *a = node->NewChild<TNamed>();
    a->Name = "a";
    auto *cam = a->NewChild<TNamedCamera>();
    cam->Name = "camera";
    auto *underCam = cam->NewChild<TNamed>();
    underCam->Name = "under camera";
    auto *b = node->NewChild<TNamed>();
    b->Name = "b";
    delete node;
    gFreed = nullptr;
    // The node's own destructor body runs first; then its cameras go
    // before any other descendant.
    ASSERT_EQ(freed.size(), 5u);
    EXPECT_EQ(freed[0], "node");
    EXPECT_EQ(freed[1], "camera");
    // The camera's child stayed with its parent and went with it.
    EXPECT_NE(std::find(freed.begin(), freed.end(), "under camera"), freed.end());
}

TEST(GLWorld, UpdatesAreBalanced)
{
    TGLBaseSceneObject o;
    try {
        o.LeaveUpdate();
        FAIL();
    } catch (const EAssertionFailed &e) {
        EXPECT_STREQ(e.what(), "Assertion failed: Unbalanced Begin/EndUpdate");
    }
    TGLWorld scene;
    EXPECT_THROW(scene.EndUpdate(), EAssertionFailed);
}

// A buffer registered with the scene counts the signals that reach it.
TEST(GLWorld, GeometryChangedSignalsOncePerDraw)
{
    TSceneFixture f;
    auto *quad = f.Scene.Objects().NewChild<TCountedQuad>();
    f.Buffer.Render();
    EXPECT_EQ(quad->Compiles, 1);
    f.Signals = 0;
    quad->GeometryChanged();
    quad->GeometryChanged();
    EXPECT_EQ(f.Signals, 1);
    f.Buffer.Render();
    EXPECT_EQ(quad->Compiles, 2);
    quad->GeometryChanged();
    EXPECT_EQ(f.Signals, 2);
    f.Buffer.Render();
    f.Buffer.Render(); // no change: the list is replayed
    EXPECT_EQ(quad->Compiles, 3);
    EXPECT_EQ(f.Gl.Count("glNewList"), 3);

    // An immediate-draw object signals every time and never makes a list.
    auto *direct = f.Scene.Objects().NewChild<TDirectOpenGL>();
    int draws = 0;
    direct->OnRender = [&](TRenderContextInfo &) { ++draws; };
    f.Signals = 0;
    direct->GeometryChanged();
    direct->GeometryChanged();
    EXPECT_EQ(f.Signals, 2);
    f.Buffer.Render();
    f.Buffer.Render();
    EXPECT_EQ(draws, 2);
    EXPECT_EQ(direct->ListHandle().Handle(), 0u);
}

TEST(GLWorld, AFailingCompileStillEndsItsList)
{
    TSceneFixture f;
    auto *quad = f.Scene.Objects().NewChild<TCountedQuad>();
    quad->Fail = true;
    EXPECT_THROW(f.Buffer.Render(), std::runtime_error);
    EXPECT_EQ(f.Gl.Count("glNewList"), 1);
    EXPECT_EQ(f.Gl.Count("glEndList"), 1);
    EXPECT_TRUE(quad->ListStale());
    EXPECT_FALSE(f.Buffer.Rendering());
    EXPECT_FALSE(f.Buffer.BufferContext()->Active());
    quad->Fail = false;
    f.Buffer.Render(); // compiles again
    EXPECT_EQ(quad->Compiles, 2);
    EXPECT_FALSE(quad->ListStale());
}

// The order in which children are drawn, by the list each one calls.
std::vector<std::string> DrawOrder(TGLRecorder &Gl, const std::vector<TCountedQuad *> &Quads)
{
    std::vector<std::string> order;
    for (const TGLCall &c : Gl.Of("glCallList"))
        for (TCountedQuad *q : Quads)
            if (q->ListHandle().Handle() == GLuint(c.Args[0]))
                order.push_back(q->Label);
    return order;
}

TEST(GLWorld, ChildOrder)
{
    TSceneFixture f;
    auto add = [&](const char *Label, float Z, bool Blended) {
        auto *q = f.Scene.Objects().NewChild<TCountedQuad>();
        q->Label = Label;
        q->SetPosition({0, 0, Z, 1});
        if (Blended)
            q->Material().SetBlendingMode(bmTransparency);
        return q;
    };
    // The camera sits at z = 10.
    auto *nearGlass = add("near glass", 5, true);
    auto *opaque1 = add("opaque 1", -5, false);
    auto *farGlass = add("far glass", -20, true);
    auto *opaque2 = add("opaque 2", 8, false);
    auto *hiddenGlass = add("hidden glass", -30, true);
    hiddenGlass->SetVisible(false);
    std::vector<TCountedQuad *> all = {nearGlass, opaque1, farGlass, opaque2, hiddenGlass};

    f.Buffer.Render(); // compiles every list
    f.Gl.Clear();
    f.Buffer.Render();
    EXPECT_EQ(DrawOrder(f.Gl, all),
              (std::vector<std::string>{"opaque 1", "opaque 2", "far glass", "near glass"}));

    f.Scene.SetObjectsSorting(osRenderFarthestFirst);
    f.Gl.Clear();
    f.Buffer.Render();
    EXPECT_EQ(DrawOrder(f.Gl, all), (std::vector<std::string>{"far glass", "opaque 1",
                                                              "near glass", "opaque 2"}));
    f.Scene.SetObjectsSorting(osNone);
    f.Gl.Clear();
    f.Buffer.Render();
    EXPECT_EQ(DrawOrder(f.Gl, all), (std::vector<std::string>{"near glass", "opaque 1",
                                                              "far glass", "opaque 2"}));
    // Writing osInherited stores osRenderBlendedLast, vcInherited stores vcNone.
    f.Scene.SetObjectsSorting(osInherited);
    EXPECT_EQ(f.Scene.ObjectsSorting(), osRenderBlendedLast);
    f.Scene.SetVisibilityCulling(vcInherited);
    EXPECT_EQ(f.Scene.VisibilityCulling(), vcNone);
}

TEST(GLWorld, CullingHidesObjectsBehindTheCamera)
{
    TSceneFixture f;
    auto *parent = f.Scene.Objects().NewChild<TCountedQuad>();
    parent->Label = "parent";
    parent->SetPosition({0, 0, 20, 1}); // behind the camera at z = 10 looking down -z
    auto *child = parent->NewChild<TCountedQuad>();
    child->Label = "child";
    child->SetPosition({0, 0, -25, 1}); // world z = -5, in front
    std::vector<TCountedQuad *> all = {parent, child};
    f.Scene.SetVisibilityCulling(vcObjectBased);
    f.Buffer.Render();
    f.Gl.Clear();
    f.Buffer.Render();
    EXPECT_EQ(DrawOrder(f.Gl, all), (std::vector<std::string>{"child"}));
    // Hierarchical: the parent's box (its child included, in world
    // coordinates) reaches in front of the camera, so both draw.
    f.Scene.SetVisibilityCulling(vcHierarchical);
    f.Gl.Clear();
    f.Buffer.Render();
    EXPECT_EQ(DrawOrder(f.Gl, all), (std::vector<std::string>{"parent", "child"}));
    child->SetPosition({0, 0, 1, 1});
    f.Gl.Clear();
    f.Buffer.Render();
    EXPECT_TRUE(DrawOrder(f.Gl, all).empty());
}

TEST(GLWorld, LightSlots)
{
    TGLWorld scene;
    std::vector<TGLLightSource *> lights;
    for (int i = 0; i < 9; ++i)
        lights.push_back(scene.Objects().NewChild<TGLLightSource>());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(lights[size_t(i)]->LightSlot(), gl::LIGHT0 + GLenum(i));
    EXPECT_EQ(lights[8]->LightSlot(), 0u); // the ninth never shines
    delete lights[3];
    auto *tenth = scene.Objects().NewChild<TGLLightSource>();
    EXPECT_EQ(tenth->LightSlot(), gl::LIGHT0 + 3);
    EXPECT_EQ(scene.Light(3), tenth);
}

TEST(GLWorld, LightSetUp)
{
    TGLRecorder gl;
    TGLWorld scene;
    auto *spot = scene.Objects().NewChild<TGLLightSource>();
    auto *parallel = scene.Objects().NewChild<TGLLightSource>();
    parallel->SetLightStyle(lsParallel);
    auto *off = scene.Objects().NewChild<TGLLightSource>();
    off->SetShining(false);
    gl.Clear();
    scene.PrepareLights(8);
    // A spot with cut-off 180 sends the cut-off only.
    EXPECT_EQ(gl.Count("glLightf"), 2 * 3 + 1);
    EXPECT_TRUE(gl.Has("glLightf", {gl::LIGHT0, gl::SPOT_CUTOFF, 180}));
    EXPECT_EQ(gl.Of("glLightfv").size(), 2u * 4);
    EXPECT_TRUE(gl.Has("glLightfv", {gl::LIGHT0 + 1, gl::POSITION, 0, -1, 0, 0}));
    EXPECT_TRUE(gl.Has("glDisable", {gl::LIGHT0 + 2}));
    EXPECT_TRUE(gl.Has("glDisable", {gl::LIGHT0 + 7}));
    EXPECT_EQ(gl.Count("glPushMatrix"), gl.Count("glPopMatrix"));
    spot->SetSpotCutOff(30);
    gl.Clear();
    scene.PrepareLights(8);
    EXPECT_TRUE(gl.Has("glLightfv", {gl::LIGHT0, gl::SPOT_DIRECTION, 0, -1, 0, 0}));
    EXPECT_TRUE(gl.Has("glLightf", {gl::LIGHT0, gl::SPOT_EXPONENT, 0}));
}

TEST(GLWorld, CameraNearPlane)
{
    TGLRecorder gl;
    TGLWorld scene;
    auto *camera = scene.Cameras().NewChild<TGLCamera>();
    camera->SetFocalLength(60);
    const int viewport[4] = {0, 0, 604, 310};
    camera->ApplyProjection(viewport, 604, 310, 96);
    EXPECT_NEAR(camera->NearPlaneDistance(), 0.7509, 5e-5);
    ASSERT_EQ(gl.Count("glFrustum"), 1);
    const TGLCall frustum = gl.Of("glFrustum")[0];
    EXPECT_NEAR(frustum.Args[1], 0.5, 1e-9);            // right = width / (2m)
    EXPECT_NEAR(frustum.Args[3], 310.0 / 1208, 1e-9);   // top
    EXPECT_NEAR(frustum.Args[5] - frustum.Args[4], 100, 1e-4); // far = near + DepthOfView
    camera->SetFocalLength(-5);
    EXPECT_EQ(camera->FocalLength(), 1);
    camera->SetSceneScale(0);
    EXPECT_EQ(camera->SceneScale(), 1);
    gl.Clear();
    camera->ApplyProjection(viewport, 0, 310, 96); // nothing for an empty area
    EXPECT_TRUE(gl.Calls.empty());
}

TEST(GLWorld, CameraOrbitStaysOffThePoles)
{
    TGLWorld scene;
    auto *target = scene.Objects().NewChild<TGLBaseSceneObject>();
    auto *camera = scene.Cameras().NewChild<TGLCamera>();
    camera->SetPosition({0, 0, 10, 1});
    camera->SetTargetObject(target);
    camera->OrbitTarget(500, 0); // far past the lower pole
    TVector4f p = camera->WorldPosition();
    EXPECT_NEAR(double(AffineLength(AffinePart(p))), 10, 1e-4);
    // The angle from the up axis stays within 0.025 .. pi - 0.025.
    EXPECT_NEAR(std::acos(p.Y / 10), 3.1165926, 1e-4);
    camera->OrbitTarget(-1000, 0);
    p = camera->WorldPosition();
    EXPECT_NEAR(std::acos(p.Y / 10), 0.025, 1e-4);
    camera->ScaleTargetDistance(0.9f);
    EXPECT_NEAR(double(AffineLength(AffinePart(camera->WorldPosition()))), 9, 1e-4);
    delete target;
    EXPECT_EQ(camera->TargetObject(), nullptr);
}

TEST(GLWorld, OneSignalPerUpdateBracket)
{
    TSceneFixture f;
    auto *o = f.Scene.Objects().NewChild<TGLBaseSceneObject>();
    f.Signals = 0;
    f.Scene.BeginUpdate();
    o->SetVisible(false);
    o->SetShowAxes(true);
    o->SetVisible(true);
    EXPECT_EQ(f.Signals, 0);
    f.Scene.EndUpdate();
    EXPECT_EQ(f.Signals, 1);
}

TEST(GLWorld, BufferRegistrationAndSharedContext)
{
    TGLRecorder gl;
    TFakeContextClass contexts;
    TGLWorld scene;
    auto *camera = scene.Cameras().NewChild<TGLCamera>();
    TGLBaseSceneObject owner;
    TGLWorldBuffer a(&owner), b(&owner);
    for (TGLWorldBuffer *buffer : {&a, &b}) {
        buffer->SetCamera(camera);
        buffer->CreateBufferContext(nullptr);
        buffer->Render();
    }
    scene.RegisterBuffer(&a); // already listed
    EXPECT_EQ(scene.Buffers().size(), 2u);
    EXPECT_EQ(scene.SharedContext(), a.BufferContext());
    EXPECT_EQ(a.BufferContext()->SharedContexts().size(), 2u);
    scene.UnregisterBuffer(&a);
    EXPECT_EQ(scene.SharedContext(), b.BufferContext());
    // A camera outside any scene is refused.
    TGLCamera loose;
    b.SetCamera(&loose);
    EXPECT_EQ(b.Camera(), nullptr);
}

TEST(GLWorld, FrameTicksDoNotWrapAt32Bits)
{
    TSceneFixture f;
    int64_t now = 0;
    f.Buffer.QueryCounter = [&] { return now; };
    f.Buffer.CounterFrequency = 1000000000; // nanoseconds
    f.Buffer.ResetFrameStatistics();
    for (int i = 0; i < 4; ++i) {
        now += 3000000000LL; // 3 s per frame: more than 32 bits of nanoseconds
        f.Buffer.Render();
    }
    EXPECT_EQ(f.Buffer.FrameTicks(), 12000000000ull);
    EXPECT_NEAR(f.Buffer.FrameRate(), 1.0 / 3, 1e-6);
}

TEST(GLWorld, RenderPassWithoutCameraClearsOnly)
{
    TSceneFixture f;
    f.Buffer.SetCamera(nullptr);
    f.Buffer.Render();
    EXPECT_EQ(f.Gl.Count("glClear"), 1);
    EXPECT_EQ(f.Gl.Count("glFrustum"), 0);
    EXPECT_EQ(f.Gl.Count("glClearColor"), 1);
    f.Buffer.Resize(0, 0);
    EXPECT_EQ(f.Buffer.ViewPort()[2], 1);
    EXPECT_EQ(f.Buffer.ViewPort()[3], 1);
}

// A picture for RenderBitmap on the fake contexts.
class TFakeBitmap : public TGLBitmapTarget {
public:
    int Width() const override { return 64; }
    int Height() const override { return 48; }
    int BitsPerPixel() const override { return 24; }
    int PixelsPerInch() const override { return 150; }
    void *DeviceContext() override { return this; }
};

TEST(GLWorld, RenderBitmapDrawsInAContextOfItsOwn)
{
    TSceneFixture f;
    auto *quad = f.Scene.Objects().NewChild<TCountedQuad>();
    f.Buffer.Render();
    ASSERT_NE(quad->ListHandle().Handle(), 0u);
    TFakeBitmap bitmap;
    const int contexts = GLContextManager().ContextCount();
    f.Gl.Clear();
    f.Buffer.RenderBitmap(bitmap, 0);
    EXPECT_EQ(f.Buffer.RenderResolution(), 150); // dpi 0: the picture's own
    EXPECT_TRUE(f.Gl.Has("glViewport", {0, 0, 64, 48}));
    // Lists are rebuilt in the picture's context and freed after it.
    EXPECT_EQ(quad->Compiles, 2);
    EXPECT_EQ(quad->ListHandle().Handle(), 0u);
    EXPECT_EQ(GLContextManager().ContextCount(), contexts);
    EXPECT_EQ(f.Buffer.ViewPort()[2], 200); // the window's viewport is back
    f.Buffer.Render();
    EXPECT_EQ(quad->Compiles, 3);

    // A picture asked for during a frame is refused.
    f.Buffer.BeforeRender = [&](TObject *) { f.Buffer.RenderBitmap(bitmap, 96); };
    try {
        f.Buffer.Render();
        FAIL();
    } catch (const EAssertionFailed &e) {
        EXPECT_STREQ(e.what(), "Assertion failed: Already rendering");
    }
    EXPECT_FALSE(f.Buffer.Rendering());
}

TEST(GLWorld, RayCastStopsAtAHitParent)
{
    TGLWorld scene;
    auto *parent = scene.Objects().NewChild<TGLBaseSceneObject>();
    parent->SetScale({4, 4, 4, 0});
    auto *child = parent->NewChild<TGLBaseSceneObject>();
    child->SetPosition({0, 0, 0.5f, 1}); // nearer the ray's start
    TVector4f hit;
    EXPECT_EQ(scene.CastRay(PointOf(0, 0, 10), {0, 0, -1, 0}, &hit, nullptr), parent);
    EXPECT_NEAR(hit.Z, 2, 1e-5);
    EXPECT_EQ(scene.CastRay(PointOf(10, 10, 10), {0, 0, -1, 0}, nullptr, nullptr), nullptr);
}

} // namespace
} // namespace orv
