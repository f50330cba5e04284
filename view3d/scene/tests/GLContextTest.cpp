#include "view3d/geometry/Assertion.h"
#include "view3d/scene/GLRecorder.h"
#include "view3d/scene/PixelFormat.h"
#include "view3d/scene/tests/FakeContext.h"

#include <gtest/gtest.h>

#include <thread>

namespace orv {
namespace {

std::string ErrorOf(const std::function<void()> &F)
{
    try {
        F();
    } catch (const std::exception &e) {
        return e.what();
    }
    return "";
}

TEST(GLContext, ErrorsOfTheContext)
{
    TGLRecorder gl;
    TFakeContext c;
    EXPECT_EQ(ErrorOf([&] { c.Activate(); }), "Context not created");
    EXPECT_EQ(ErrorOf([&] { c.Deactivate(); }), "Unbalanced context activations");
    EXPECT_EQ(ErrorOf([&] { c.ShareLists(c); }), "Context not created");
    c.CreateContext(nullptr);
    EXPECT_EQ(ErrorOf([&] { c.CreateContext(nullptr); }), "Context already created");
    c.Activate();
    EXPECT_EQ(ErrorOf([&] { c.SetDepthBits(24); }), "Cannot alter an active context");
    EXPECT_EQ(ErrorOf([&] { c.SetAntiAliasing(aa4x); }), "Cannot alter an active context");
    c.Deactivate();
    c.SetDepthBits(24);
    EXPECT_EQ(c.DepthBits(), 24);
    EXPECT_EQ(ErrorOf([&] { GLContextManager().RegisterContext(c); }),
              "Invalid context registration");
}

TEST(GLContext, ActivationsNestAndBelongToOneThread)
{
    TGLRecorder gl;
    TFakeContext a, b;
    a.CreateContext(nullptr);
    b.CreateContext(nullptr);
    a.Activate();
    a.Activate();
    EXPECT_EQ(CurrentGLContext(), &a);
    a.Deactivate();
    EXPECT_TRUE(a.Active());
    a.Deactivate();
    EXPECT_EQ(CurrentGLContext(), nullptr);
    EXPECT_EQ(a.Log, (std::vector<std::string>{"create", "activate", "deactivate"}));

    // Another thread cannot nest into this thread's activation.
    a.Activate();
    std::string other;
    std::thread t([&] { other = ErrorOf([&] { a.Activate(); }); });
    t.join();
    EXPECT_EQ(other, "Assertion failed: Assertion failure");
    a.Deactivate();

    // Deactivating a context that is not this thread's current one is refused.
    a.Activate();
    b.Activate(); // b is current now; a stays counted
    EXPECT_THROW(a.Deactivate(), EAssertionFailed);
    b.Deactivate();
}

TEST(GLContext, DestroyingMovesHandlesToASharingContext)
{
    TGLRecorder gl;
    TFakeContext a, b;
    a.CreateContext(nullptr);
    b.CreateContext(nullptr);
    a.ShareLists(b);
    EXPECT_EQ(b.SharedContexts(), (std::vector<TGLContext *>{&a, &b}));

    TGLListHandle list;
    a.Activate();
    list.ObtainHandle();
    a.Deactivate();
    ASSERT_NE(list.Handle(), 0u);
    EXPECT_EQ(list.BufferContext(), &a);

    gl.Clear();
    a.DestroyContext();
    EXPECT_EQ(gl.Count("glDeleteLists"), 0); // the list survives
    EXPECT_EQ(list.BufferContext(), &b);
    EXPECT_EQ(b.OwnedHandles().size(), 1u);
    EXPECT_EQ(b.SharedContexts(), (std::vector<TGLContext *>{&b}));

    // Without a sharing context the names are deleted.
    b.DestroyContext();
    EXPECT_EQ(gl.Count("glDeleteLists"), 1);
    EXPECT_EQ(list.Handle(), 0u);
    EXPECT_EQ(list.BufferContext(), nullptr);
}

TEST(GLContext, ReleasingAHandleBorrowsItsOwner)
{
    TGLRecorder gl;
    TFakeContext a, b;
    a.CreateContext(nullptr);
    b.CreateContext(nullptr);
    TGLTextureHandle texture;
    a.Activate();
    texture.ObtainHandle();
    EXPECT_THROW(texture.ObtainHandle(), EAssertionFailed); // already named
    a.Deactivate();
    EXPECT_THROW(texture.ObtainHandle(), EAssertionFailed); // no context either

    b.Activate();
    a.Log.clear();
    b.Log.clear();
    texture.ReleaseHandle();
    EXPECT_EQ(a.Log, (std::vector<std::string>{"activate", "deactivate"}));
    EXPECT_EQ(b.Log, (std::vector<std::string>{"deactivate", "activate"}));
    EXPECT_EQ(CurrentGLContext(), &b);
    EXPECT_EQ(gl.Count("glDeleteTextures"), 1);
    b.Deactivate();

    // A context manager frees every context's objects.
    TGLVirtualHandle v;
    GLuint freed = 0;
    v.OnAllocate = [](TGLVirtualHandle &, GLuint &H) { H = 77; };
    v.OnDestroy = [&](TGLVirtualHandle &, GLuint &H) { freed = H; };
    a.Activate();
    v.ObtainHandle();
    a.Deactivate();
    GLContextManager().ReleaseAllHandles();
    EXPECT_EQ(freed, 77u);
    EXPECT_EQ(v.Handle(), 0u);
}

TEST(GLContext, FreeingTheOwnerClearsHandles)
{
    TGLRecorder gl;
    TGLListHandle list;
    {
        TFakeContext a;
        a.CreateContext(nullptr);
        a.Activate();
        list.ObtainHandle();
        a.Deactivate();
    }
    EXPECT_EQ(list.Handle(), 0u);
    EXPECT_EQ(gl.Count("glDeleteLists"), 1);
}

// A fake format list: what the platform offers, and the chain of attempts.
TEST(PixelFormat, FallBackChain)
{
    struct Case {
        const char *Name;
        TPixelFormatRequest Request;
        std::vector<TPixelFormat> Offered;
        int Attempts;
        int ChosenDepth, ChosenColor;
        bool AccelerationDemanded;
    };
    TPixelFormat d16 = {};
    d16.DepthBits = 16;
    TPixelFormat c16 = d16;
    c16.ColorBits = 16;
    TPixelFormat generic = {};
    generic.Accelerated = false;
    generic.DepthBits = 16;
    generic.ColorBits = 16;
    TPixelFormatRequest r2424;
    r2424.ColorBits = 24;
    r2424.DepthBits = 24;
    TPixelFormatRequest r32 = r2424;
    r32.DepthBits = 32;
    const Case cases[] = {
        {"first try", r2424, {TPixelFormat{}}, 1, 24, 24, true},
        {"depth 16", r2424, {d16}, 2, 16, 24, true},
        {"colour 16 too", r2424, {c16}, 3, 16, 16, true},
        {"generic last", r2424, {generic}, 4, 24, 24, false},
        {"depth 32 steps through 24", r32, {TPixelFormat{}}, 2, 24, 24, true},
        {"nothing at all", r2424, {}, 4, 24, 24, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TPixelFormatChoice choice = SelectExtendedFormat(
            c.Request, [&](const TPixelAttributes &A) { return MatchPixelFormats(c.Offered, A); });
        EXPECT_EQ(int(choice.Attempts.size()), c.Attempts);
        auto value = [&](TPixelAttribute a) {
            for (auto &p : choice.Chosen)
                if (p.first == a)
                    return p.second;
            return -1;
        };
        EXPECT_EQ(value(paDepthBits), c.ChosenDepth);
        EXPECT_EQ(value(paColorBits), c.ChosenColor);
        EXPECT_EQ(value(paAcceleration) == 1, c.AccelerationDemanded);
    }
}

TEST(PixelFormat, SamplesAndTheirFallBack)
{
    TPixelFormatRequest r;
    r.ColorBits = 24;
    r.DepthBits = 24;
    r.AntiAliasing = aa4x;
    r.Multisample = true;
    TPixelFormat plain = {};
    TPixelFormat ms = {};
    ms.SampleBuffers = 1;
    ms.Samples = 4;
    std::vector<TPixelFormat> onlyPlain = {plain};
    TPixelFormatChoice c = SelectExtendedFormat(
        r, [&](const TPixelAttributes &A) { return MatchPixelFormats(onlyPlain, A); });
    ASSERT_EQ(c.Attempts.size(), 2u);
    EXPECT_TRUE(std::count(c.Attempts[0].begin(), c.Attempts[0].end(),
                           std::pair<TPixelAttribute, int>{paSamples, 4}));
    for (auto &p : c.Attempts[1])
        EXPECT_NE(p.first, paSamples);

    // With aaDefault the first format without sample buffers is taken.
    std::vector<TPixelFormat> both = {ms, plain};
    TPixelFormatRequest d = r;
    d.AntiAliasing = aaDefault;
    EXPECT_EQ(PickPixelFormat(d, {0, 1}, both), 1);
    EXPECT_EQ(PickPixelFormat(d, {0}, both), 0); // all multisampled: the last
    EXPECT_EQ(PickPixelFormat(r, {0, 1}, both), 0);
    EXPECT_EQ(PickPixelFormat(r, {}, both), -1);
}

} // namespace
} // namespace orv
