// The node classes the program never makes, on the recording fake: the
// proxy, Assign of a node, the classes a form may name and the viewer
// without a window.
#include "view3d/geometry/Assertion.h"
#include "view3d/scene/GLObjects.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/GLWorld.h"
#include "view3d/scene/tests/FakeContext.h"
#include "view3d/scene/tests/SceneFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv {
namespace {

// A master whose drawing is counted, with the render info it saw.
struct TMaster {
    TDirectOpenGL *Object;
    int Draws = 0;
    std::vector<bool> Nested;
    explicit TMaster(TGLBaseSceneObject &Parent) : Object(Parent.NewChild<TDirectOpenGL>())
    {
        Object->OnRender = [this](TRenderContextInfo &Rci) {
            ++Draws;
            Nested.push_back(Rci.NestedNames);
        };
        Object->SetPosition({1, 2, 3, 1});
    }
};

class TCountingPostEffect : public TGLObjectPostEffect {
public:
    using TGLObjectPostEffect::TGLObjectPostEffect;
    static inline int Renders = 0;
    void Render(TGLWorldBuffer *, TRenderContextInfo &) override { ++Renders; }
};

bool Same(const TVector4f &A, const TVector4f &B)
{
    return A.X == B.X && A.Y == B.Y && A.Z == B.Z && A.W == B.W;
}

// glMultMatrixf calls whose translation row is (X, Y, Z).
int Translations(const TGLRecorder &Gl, double X, double Y, double Z)
{
    int n = 0;
    for (const TGLCall &c : Gl.Of("glMultMatrixf"))
        n += c.Args.size() == 16 && c.Args[12] == X && c.Args[13] == Y && c.Args[14] == Z;
    return n;
}

TEST(GLProxyObject, DrawsItsMasterInItsOwnPlace)
{
    struct Case {
        const char *Name;
        unsigned Options;
        int MasterDraws, MasterTransforms, ChildDraws, Effects;
    } cases[] = {
        {"all options", pooEffects | pooObjects | pooTransformation, 2, 2, 1, 2},
        {"without the master's transform", pooEffects | pooObjects, 2, 1, 1, 2},
        {"without objects: the proxy's children only", pooEffects | pooTransformation, 1, 1, 1, 2},
        {"without effects", pooObjects | pooTransformation, 2, 2, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TSceneFixture f;
        TMaster master(f.Scene.Objects());
        TCountingPostEffect::Renders = 0;
        new TCountingPostEffect(&master.Object->Effects());
        auto *proxy = f.Scene.Objects().NewChild<TGLProxyObject>();
        proxy->SetMasterObject(master.Object);
        proxy->SetProxyOptions(c.Options);
        TMaster own(*proxy); // the proxy's own child, drawn after the master
        f.Gl.Clear();
        f.Buffer.Render();
        EXPECT_EQ(master.Draws, c.MasterDraws);
        EXPECT_EQ(Translations(f.Gl, 1, 2, 3), c.MasterTransforms + 1) << "own child too";
        EXPECT_EQ(own.Draws, c.ChildDraws);
        EXPECT_EQ(TCountingPostEffect::Renders, c.Effects);
        // Names nest only inside the proxy.
        EXPECT_FALSE(master.Nested.front());
        if (c.MasterDraws == 2)
            EXPECT_TRUE(master.Nested.back());
        EXPECT_FALSE(proxy->ListStale());
    }
}

TEST(GLProxyObject, AProxyInsideItsMasterDrawsNothingThere)
{
    TSceneFixture f;
    TMaster master(f.Scene.Objects());
    auto *proxy = master.Object->NewChild<TGLProxyObject>();
    proxy->SetMasterObject(master.Object);
    f.Buffer.Render();
    // The master itself, then once through the proxy; the proxy met again
    // inside that drawing draws nothing.
    EXPECT_EQ(master.Draws, 2);
    f.Buffer.Render();
    EXPECT_EQ(master.Draws, 4);
}

TEST(GLProxyObject, ForgetsAMasterThatIsFreed)
{
    TSceneFixture f;
    TMaster master(f.Scene.Objects());
    auto *proxy = f.Scene.Objects().NewChild<TGLProxyObject>();
    proxy->SetMasterObject(master.Object);
    f.Signals = 0;
    delete master.Object;
    EXPECT_EQ(proxy->MasterObject(), nullptr);
    EXPECT_GT(f.Signals, 0) << "the proxy's picture changed";
    f.Buffer.Render(); // draws nothing, and nothing freed is touched
}

TEST(GLProxyObject, HalfExtentsAreTheMastersTimesItsScale)
{
    TGLProxyObject proxy;
    proxy.SetScale({1, 2, 3, 0});
    EXPECT_TRUE(Same(proxy.HalfExtents(), {0.5f, 1, 1.5f, 0})) << "its own without a master";
    TDummyCube master;
    master.SetScale({2, 4, 6, 0});
    proxy.SetMasterObject(&master);
    EXPECT_TRUE(Same(proxy.HalfExtents(), {1, 4, 9, 0}));
    proxy.SetMasterObject(nullptr);
}

TEST(GLProxyObject, AssignCopiesTheMasterAndTheNode)
{
    TGLWorld scene;
    TMaster master(scene.Objects());
    auto *source = scene.Objects().NewChild<TGLProxyObject>();
    source->SetMasterObject(master.Object);
    source->SetVisible(false);
    source->SetPosition({4, 5, 6, 1});
    source->SetShowAxes(true);
    source->TagFloat = 2.5f;
    source->Tag = 7;
    source->NewChild<TDummyCube>()->SetCubeSize(3);
    TGLProxyObject copy;
    copy.NewChild<TGLCamera>(); // its own children go
    copy.Assign(*source);
    EXPECT_EQ(copy.MasterObject(), master.Object);
    EXPECT_FALSE(copy.Visible());
    EXPECT_TRUE(copy.ShowAxes());
    EXPECT_TRUE(Same(copy.Position().AsVector(), {4, 5, 6, 1}));
    EXPECT_EQ(copy.Scene(), &scene);
    EXPECT_EQ(copy.TagFloat, 2.5f);
    EXPECT_EQ(copy.Tag, 7);
    ASSERT_EQ(copy.ChildCount(), 1);
    auto *cube = dynamic_cast<TDummyCube *>(copy.ChildAt(0));
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->CubeSize(), 3);
    EXPECT_NE(cube, source->ChildAt(0));
    // A node of a class no form can name cannot be copied.
    class TUnnamed : public TGLBaseSceneObject {
    public:
        using TGLBaseSceneObject::TGLBaseSceneObject;
    };
    source->NewChild<TUnnamed>();
    EXPECT_THROW(copy.Assign(*source), EClassNotFound);
}

TEST(GLDirectOpenGL, AssignCopiesUseBuildList)
{
    TDirectOpenGL source, copy;
    source.SetUseBuildList(true);
    copy.Assign(source);
    EXPECT_TRUE(copy.UseBuildList());
}

TEST(FormStreaming, TheSceneGraphsClassesAreRegistered)
{
    const std::vector<std::string> mine = {"TGLLightSource", "TGLCamera",       "TGLProxyObject",
                                           "TGLWorld",       "TDirectOpenGL",   "TGLMemoryViewer"};
    std::vector<std::string> found;
    for (const std::string &name : RegisteredComponentClasses())
        if (std::find(mine.begin(), mine.end(), name) != mine.end())
            found.push_back(name);
    EXPECT_EQ(found, mine) << "in the order of the unit's start-up";
    for (const std::string &name : mine) {
        SCOPED_TRACE(name);
        const std::unique_ptr<TComponent> made = CreateComponent(name);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->ClassName(), name);
    }
    EXPECT_NE(dynamic_cast<TGLProxyObject *>(CreateSceneObject("TGLProxyObject").get()), nullptr);
    // The scene and the viewer are components, not scene objects.
    for (const char *name : {"TGLWorld", "TGLMemoryViewer"})
        EXPECT_THROW(CreateSceneObject(name), EClassNotFound) << name;
    EXPECT_THROW(CreateComponent("TGLNoSuchClass"), EClassNotFound);
}

TEST(GLMemoryViewer, DrawsIntoAnOffscreenContextOfItsSize)
{
    TGLRecorder gl;
    TFakeContextClass contexts;
    TGLWorld scene;
    auto *camera = scene.Cameras().NewChild<TGLCamera>();
    TGLMemoryViewer viewer;
    EXPECT_EQ(viewer.Width(), 256);
    EXPECT_EQ(viewer.Height(), 256);
    viewer.SetCamera(camera);
    viewer.Render();
    auto *context = dynamic_cast<TFakeContext *>(viewer.Buffer().BufferContext());
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->Width, 256);
    EXPECT_EQ(context->Height, 256);
    EXPECT_TRUE(gl.Has("glViewport", {0, 0, 256, 256}));
    viewer.Render();
    EXPECT_EQ(viewer.Buffer().BufferContext(), context) << "made once";
    // A size of 0 or less is 1; a new size makes the context again.
    viewer.SetWidth(0);
    viewer.SetHeight(-5);
    EXPECT_EQ(viewer.Width(), 1);
    EXPECT_EQ(viewer.Height(), 1);
    viewer.SetWidth(64);
    viewer.SetHeight(32);
    viewer.Render();
    context = dynamic_cast<TFakeContext *>(viewer.Buffer().BufferContext());
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->Width, 64);
    EXPECT_EQ(context->Height, 32);
    // A change of the context's attributes frees it; the next frame makes it.
    viewer.Buffer().SetAntiAliasing(aa4x);
    EXPECT_EQ(viewer.Buffer().BufferContext(), nullptr);
    viewer.Render();
    EXPECT_NE(viewer.Buffer().BufferContext(), nullptr);
}

TEST(GLMemoryViewer, CopiesItsPictureIntoATexture)
{
    TGLRecorder gl;
    TFakeContextClass contexts;
    TGLWorld scene;
    TGLMemoryViewer viewer;
    viewer.SetCamera(scene.Cameras().NewChild<TGLCamera>());
    viewer.SetWidth(32);
    viewer.SetHeight(16);
    TGLBaseSceneObject owner;
    TGLTexture texture(&owner);
    viewer.CopyToTexture(texture); // no context yet: nothing
    EXPECT_EQ(gl.Count("glReadPixels") + gl.Count("glCopyTexSubImage2D"), 0);
    viewer.Render();

    // An empty texture is too small: the picture is read back and sent.
    gl.Clear();
    viewer.CopyToTexture(texture);
    EXPECT_TRUE(gl.Has("glReadPixels", {0, 0, 32, 16, gl::RGBA, gl::UNSIGNED_BYTE}));
    EXPECT_EQ(texture.Image().GetWidth(), 32);
    EXPECT_EQ(texture.Image().GetHeight(), 16);
    EXPECT_EQ(gl.Count("glCopyTexSubImage2D"), 0);
    // Now the texture object holds the frame: it is copied in place.
    gl.Clear();
    viewer.CopyToTexture(texture);
    EXPECT_TRUE(gl.Has("glCopyTexSubImage2D", {gl::TEXTURE_2D, 0, 0, 0, 0, 0, 32, 16}));
    EXPECT_EQ(gl.Count("glReadPixels"), 0);
}

} // namespace
} // namespace orv
