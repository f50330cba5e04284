// Under a private X server with Mesa's software renderer: contexts, the
// reference scenes through RenderBitmap against pictures checked by eye,
// and the viewer window.
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLGraph.h"
#include "view3d/scene/qt/GLQtContext.h"
#include "view3d/scene/qt/GLWorldViewer.h"
#include "view3d/scene/qt/ReferenceScenes.h"
#include "view3d/scene/XOpenGL.h"
#include "view3d/scene/GLObjects.h"
#include "view3d/scene/GLScreen.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QOpenGLContext>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <cstdlib>

namespace orv {
namespace {

const std::string cExpected = std::string(ORV_DATA_DIR) + "/pictures/expected/";

// Serves the event loop until Done holds. Each thing waited for (a frame,
// a texture made at a paint) comes with an event, so the loop sleeps in
// between instead of polling; however slow a loaded machine draws, the
// wait ends when the event has come. The cap of a minute only turns a wait
// that can never end into a failure.
bool WaitUntil(const std::function<bool()> &Done)
{
    QTimer cap;
    cap.setSingleShot(true);
    cap.start(60000);
    while (!Done() && cap.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return Done();
}

// A closed form (deleted on close) goes at once, not at some later turn
// of the loop: the next step of a test, and its end, find it gone.
void DeleteClosedForms()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Differences a software rasteriser may make: at most 24 per channel on
// all but 1 % of the pixels.
std::string Compare(const QImage &Actual, const QImage &Expected)
{
    if (Actual.size() != Expected.size())
        return "size differs";
    const QImage a = Actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = Expected.convertToFormat(QImage::Format_RGB32);
    int off = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = e.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 24 || std::abs(qGreen(p) - qGreen(q)) > 24 ||
                std::abs(qBlue(p) - qBlue(q)) > 24)
                ++off;
        }
    if (off * 100 > a.width() * a.height())
        return std::to_string(off) + " pixels differ";
    return "";
}

TEST(GLQt, ContextsCreateNestAndShare)
{
    TGLQtContext::Register();
    QImage pa(8, 8, QImage::Format_RGB32), pb(8, 8, QImage::Format_RGB32);
    TGLQtDevice da, db;
    da.Image = &pa;
    db.Image = &pb;
    TGLQtContext a, b;
    a.SetDepthBits(24);
    a.CreateContext(&da);
    b.CreateContext(&db);
    ASSERT_TRUE(a.IsValid());
    EXPECT_TRUE(QOpenGLContext::areSharing(a.QtContext(), b.QtContext()));
    a.Activate();
    a.Activate();
    EXPECT_EQ(QOpenGLContext::currentContext(), a.QtContext());
    EXPECT_TRUE(GL().OpenGL11);
    TGLListHandle list;
    list.ObtainHandle();
    ASSERT_NE(list.Handle(), 0u);
    a.Deactivate();
    a.Deactivate();
    a.ShareLists(b);
    // The list outlives its maker: it now belongs to the sharing context.
    a.DestroyContext();
    EXPECT_EQ(list.BufferContext(), &b);
    b.Activate();
    EXPECT_EQ(GL().glGetError(), 0u);
    b.Deactivate();
    EXPECT_THROW(a.Deactivate(), EGLContext);
}

// The texture-coordinate layer's modes against the driver's own state:
// the current coordinates and the 2D-texture enable of each unit.
TEST(GLQt, MultitexturingModesReachTheirUnits)
{
    TGLQtContext::Register();
    QImage picture(8, 8, QImage::Format_RGB32);
    TGLQtDevice device;
    device.Image = &picture;
    TGLQtContext context;
    context.CreateContext(&device);
    TGLActivation active(context);
    const TGLEntryTable &g = GL();
    ASSERT_TRUE(g.ARBMultitexture) << "every OpenGL since 1.3 has multitexturing";
    const GLenum u0 = gl::TEXTURE0_ARB, u1 = gl::TEXTURE1_ARB;
    struct TUnit {
        float S, T;
        bool Textured;
    };
    auto unit = [&](GLenum Unit) {
        g.glActiveTextureARB(Unit);
        GLfloat v[4] = {};
        g.glGetFloatv(gl::CURRENT_TEXTURE_COORDS, v);
        GLint on = 0;
        g.glGetIntegerv(gl::TEXTURE_2D, &on);
        g.glActiveTextureARB(u0);
        return TUnit{v[0], v[1], on != 0};
    };
    struct {
        const char *Name;
        void (*Set)();
        bool Unit0, Unit1;
    } cases[] = {{"standard", SetStandardMode, true, false},
                 {"dual texture: TexCoord2f goes to both units", SetDualTextureMode, true, true},
                 {"second unit only", SetSecondUnitMode, false, true},
                 {"disabled", SetDisabledMode, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        for (GLenum u : {u0, u1}) {
            g.glActiveTextureARB(u);
            g.glDisable(gl::TEXTURE_2D);
            g.glMultiTexCoord2fARB(u, 0, 0);
        }
        g.glActiveTextureARB(u0);
        c.Set();
        xgl().TexCoord2f(0.25f, 0.75f);
        xgl().Enable(gl::TEXTURE_2D);
        GLint activeUnit = 0;
        g.glGetIntegerv(gl::ACTIVE_TEXTURE_ARB, &activeUnit);
        EXPECT_EQ(GLenum(activeUnit), u0) << "the layer ends on unit 0";
        const bool sent[2] = {c.Unit0, c.Unit1};
        for (int k = 0; k < 2; ++k) {
            SCOPED_TRACE(k == 0 ? "unit 0" : "unit 1");
            const TUnit got = unit(k == 0 ? u0 : u1);
            EXPECT_EQ(got.S, sent[k] ? 0.25f : 0.0f);
            EXPECT_EQ(got.T, sent[k] ? 0.75f : 0.0f);
            EXPECT_EQ(got.Textured, sent[k]);
        }
        EXPECT_EQ(g.glGetError(), 0u);
    }
    SetDisabledMode();
}

// Two quads side by side on a dark background: a red master at x -1.5 and
// its proxy 3 to the right (the master's own offset applied after the
// proxy's), seen from z 8.
struct TProxyScene {
    TGLWorld Scene;
    TGLCamera *Camera = Scene.Cameras().NewChild<TGLCamera>();
    TGLProxyObject *Proxy;
    TProxyScene()
    {
        Camera->SetPosition({0, 0, 8, 1});
        Camera->SetDirection({0, 0, -1, 0});
        auto *light = Scene.Objects().NewChild<TGLLightSource>();
        light->SetPosition({0, 0, 10, 1});
        TDirectOpenGL *master = AddQuad(Scene.Objects(), 0, {1, 0, 0, 1});
        master->SetPosition({-1.5f, 0, 0, 1});
        master->SetScale({0.5f, 0.5f, 1, 0});
        Proxy = Scene.Objects().NewChild<TGLProxyObject>();
        Proxy->SetMasterObject(master);
        Proxy->SetPosition({3, 0, 0, 1});
    }
};

// The pixels of the current context's frame, top row first.
QImage ReadFrame(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_RGBA8888);
    GL().glPixelStorei(gl::PACK_ALIGNMENT, 1);
    GL().glReadPixels(0, 0, Width, Height, gl::RGBA, gl::UNSIGNED_BYTE, image.bits());
    return image.mirrored();
}

bool Reddish(QRgb P) { return qRed(P) > 100 && qGreen(P) < 60 && qBlue(P) < 60; }

// Red pixels of the middle row left and right of the centre.
std::pair<int, int> RedHalves(const QImage &Frame)
{
    std::pair<int, int> n{0, 0};
    const int y = Frame.height() / 2, centre = Frame.width() / 2;
    for (int x = 0; x < Frame.width(); ++x)
        if (Reddish(Frame.pixel(x, y)))
            ++(x < centre ? n.first : n.second);
    return n;
}

TEST(GLQt, MemoryViewerDrawsOffscreenAsABitmapDoes)
{
    TGLQtContext::Register();
    TProxyScene p;
    TGLMemoryViewer viewer;
    viewer.SetWidth(160);
    viewer.SetHeight(120);
    viewer.SetCamera(p.Camera);
    viewer.Buffer().SetBackgroundColor(0x00102030);
    viewer.Render();
    ASSERT_NE(viewer.Buffer().BufferContext(), nullptr);
    QImage frame;
    {
        TGLActivation active(*viewer.Buffer().BufferContext());
        frame = ReadFrame(160, 120);
    }
    // The master on the left, the proxy drawing it again on the right,
    // the background between them.
    const auto [left, right] = RedHalves(frame);
    EXPECT_GT(left, 5);
    EXPECT_EQ(right, left);
    EXPECT_FALSE(Reddish(frame.pixel(80, 60)));
    // The same picture as RenderBitmap draws from a window's buffer.
    TComponent owner;
    TGLWorldBuffer buffer(&owner);
    buffer.SetBackgroundColor(0x00102030);
    buffer.SetCamera(p.Camera);
    buffer.Resize(160, 120);
    TGLQtBitmap bitmap(160, 120);
    buffer.RenderBitmap(bitmap, 96);
    EXPECT_EQ(Compare(frame, bitmap.Image), "");
    // Without its master the proxy draws nothing.
    p.Proxy->SetProxyOptions(pooEffects | pooTransformation);
    viewer.Render();
    TGLActivation active(*viewer.Buffer().BufferContext());
    frame = ReadFrame(160, 120);
    EXPECT_EQ(RedHalves(frame), std::make_pair(left, 0));
}

TEST(GLQt, MemoryViewerCopiesItsFrameIntoATexture)
{
    TGLQtContext::Register();
    TProxyScene p;
    TGLMemoryViewer viewer;
    viewer.SetWidth(64);
    viewer.SetHeight(64);
    viewer.SetCamera(p.Camera);
    viewer.Render();
    TGLBaseSceneObject owner;
    TGLTexture texture(&owner);
    viewer.CopyToTexture(texture); // read back: the texture had no picture
    EXPECT_EQ(texture.Image().GetWidth(), 64);
    EXPECT_GE(texture.SentWidth(), 64);
    EXPECT_NO_THROW(viewer.CopyToTexture(texture)); // copied in place
    TGLActivation active(*viewer.Buffer().BufferContext());
    EXPECT_EQ(GL().glGetError(), 0u);
}

TEST(GLQt, FullScreenViewerShowsTheSceneOnABorderlessForm)
{
    TProxyScene p;
    TGLFullScreenViewer viewer;
    EXPECT_EQ(viewer.Width(), 800);
    EXPECT_EQ(viewer.Height(), 600);
    viewer.SetCamera(p.Camera);
    std::vector<std::string> events;
    viewer.OnMouseDown = [&](TGLFullScreenViewer &, QMouseEvent *) { events.push_back("down"); };
    viewer.OnMouseUp = [&](TGLFullScreenViewer &, QMouseEvent *) { events.push_back("up"); };
    viewer.OnClick = [&](TGLFullScreenViewer &) { events.push_back("click"); };
    viewer.OnKeyDown = [&](TGLFullScreenViewer &, QKeyEvent *) { events.push_back("key down"); };
    viewer.OnKeyPress = [&](TGLFullScreenViewer &, QChar K) {
        events.push_back(QString(K).toStdString());
    };
    viewer.OnKeyUp = [&](TGLFullScreenViewer &, QKeyEvent *) { events.push_back("key up"); };
    viewer.OnDblClick = [&](TGLFullScreenViewer &) { events.push_back("double click"); };
    viewer.OnMouseWheel = [&](TGLFullScreenViewer &, QWheelEvent *) { events.push_back("wheel"); };
    bool mayClose = false;
    viewer.OnCloseQuery = [&](TGLFullScreenViewer &) { return mayClose; };
    viewer.OnClose = [&](TGLFullScreenViewer &) { events.push_back("close"); };

    viewer.SetActive(true);
    ASSERT_TRUE(viewer.Active());
    QWidget *form = viewer.Form();
    ASSERT_TRUE(WaitUntil([&] { return viewer.Buffer().FrameCount() > 0; }));
    // X keeps its mode: the desktop's is the one chosen, the form covers it.
    EXPECT_FALSE(viewer.DisplayModeSwitched());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(form->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(viewer.Buffer().ViewPort()[2], form->width());
    EXPECT_EQ(form->windowHandle()->requestedFormat().swapInterval(), 1) << "VSync by default";

    const QPointF at(40, 30);
    QMouseEvent press(QEvent::MouseButtonPress, at, form->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, form->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form, &release);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(form, &key);
    QKeyEvent keyUp(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(form, &keyUp);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, form->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &twice);
    QWheelEvent wheel(at, form->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form, &wheel);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up", "click", "key down", "a", "key up",
                                                "double click", "wheel"}));
    // The popup menu opens on a right click.
    QMenu menu;
    menu.addAction("Close");
    viewer.PopupMenu = &menu;
    QMouseEvent right(QEvent::MouseButtonPress, at, form->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(form, &right);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    viewer.PopupMenu = nullptr;

    // VSync follows the viewer from frame to frame.
    viewer.VSync = vsmNoSync;
    const int frames = viewer.Buffer().FrameCount();
    viewer.Render();
    ASSERT_GT(viewer.Buffer().FrameCount(), frames);
    EXPECT_EQ(form->windowHandle()->requestedFormat().swapInterval(), 0);

    // Closing asks first; a closed form has no context left.
    form->close();
    EXPECT_TRUE(viewer.Active());
    mayClose = true;
    viewer.SetActive(false);
    EXPECT_FALSE(viewer.Active());
    EXPECT_EQ(viewer.Buffer().BufferContext(), nullptr);
    EXPECT_EQ(events.back(), "close");
    DeleteClosedForms();
}

TEST(GLQt, AFullScreenViewerFreedWhileItsFormShowsTakesTheFormAlong)
{
    TProxyScene p;
    QPointer<QWidget> form;
    bool closed = false;
    {
        TGLFullScreenViewer viewer;
        viewer.SetCamera(p.Camera);
        viewer.OnClose = [&](TGLFullScreenViewer &) { closed = true; };
        viewer.SetActive(true);
        form = viewer.Form();
        ASSERT_TRUE(WaitUntil([&] { return viewer.Buffer().FrameCount() > 0; }));
    }
    EXPECT_FALSE(closed) << "no event reaches a viewer that is gone";
    DeleteClosedForms();
    EXPECT_TRUE(form.isNull());
}

TEST(GLQt, FullScreenViewerRefusesAModeTheScreenCannotTake)
{
    TGLFullScreenViewer viewer;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    struct {
        const char *Name;
        int Width, Height;
        TGLScreenDepth Depth;
        bool Fits;
    } cases[] = {{"the screen's own size", screen.width(), screen.height(), sd32bits, true},
                 {"one pixel wider", screen.width() + 1, 600, sd32bits, false},
                 {"one pixel taller", 800, screen.height() + 1, sd16bits, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        viewer.SetWidth(c.Width);
        viewer.SetHeight(c.Height);
        viewer.ScreenDepth = c.Depth;
        if (c.Fits) {
            viewer.StayOnTop = true;
            viewer.SetActive(true);
            EXPECT_TRUE(viewer.Active());
            QPointer<QWidget> form = viewer.Form();
            EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
            // Shown and drawn before it closes, and gone before the next
            // case (Mesa's software renderer may hang at exit on a form
            // closed before its first frame).
            ASSERT_TRUE(WaitUntil([&] { return viewer.Buffer().FrameCount() > 0; }));
            viewer.SetActive(false);
            DeleteClosedForms();
            EXPECT_TRUE(form.isNull());
            continue;
        }
        try {
            viewer.SetActive(true);
            ADD_FAILURE() << "activated";
        } catch (const std::exception &e) {
            EXPECT_STREQ(e.what(), "Unsupported video mode");
        }
        EXPECT_FALSE(viewer.Active());
    }
    EXPECT_EQ(GLScreen().CurrentMode(), 0);
}

TEST(GLQt, ReferenceScenesMatchTheirPictures)
{
    for (const std::string &name : ReferenceSceneNames()) {
        SCOPED_TRACE(name);
        TReferenceScene scene = BuildReferenceScene(name);
        const QImage image = RenderReferenceScene(scene, 160, 120);
        const QString file = QString::fromStdString(cExpected + name + ".png");
        if (std::getenv("ORV_WRITE_EXPECTED"))
            image.save(file);
        QImage expected(file);
        ASSERT_FALSE(expected.isNull()) << "no expected picture " << file.toStdString();
        EXPECT_EQ(Compare(image, expected), "");
    }
}

TEST(GLQt, FogChangesThePicture)
{
    TReferenceScene off = BuildReferenceScene("fog_off"), on = BuildReferenceScene("fog_on");
    EXPECT_NE(Compare(RenderReferenceScene(off, 160, 120), RenderReferenceScene(on, 160, 120)),
              "");
}

// The reference scene's height field, re-sampled: -0.5..10.5 by 0.5 on
// both axes, shrunk to fit the view and facing the camera.
THeightField &LatticeField(TReferenceScene &Scene)
{
    auto &field = dynamic_cast<THeightField &>(*Scene.Scene->Objects().ChildAt(1));
    for (TGLSamplingScale *s : {&field.XSamplingScale(), &field.YSamplingScale()}) {
        s->SetMax(10.5f);
        s->SetMin(-0.5f);
        s->SetStep(0.5f);
    }
    field.SetPitchAngle(0);
    field.SetScale({0.25f, 0.25f, 0.25f, 0});
    field.SetPosition({-1.25f, -1.25f, 0, 1});
    return field;
}

TEST(GLQt, HeightFieldOnARealContext)
{
    TReferenceScene scene = BuildReferenceScene("height_field");
    THeightField &field = LatticeField(scene);
    RenderReferenceScene(scene, 160, 120);
    EXPECT_EQ(field.TriangleCount(), 21 * (23 * 2 - 2)) << "22 columns, 23 rows";

    // A tilted plane under a parallel light: away from the edges every
    // sample has the same normal, so the surface there is one colour.
    dynamic_cast<TGLLightSource &>(*scene.Scene->Objects().ChildAt(0)).SetLightStyle(lsParallel);
    field.SetOnGetHeight(
        [](float X, float Y, float &Z, TVector4f &, TTexPoint &) { Z = 0.3f * X + 0.2f * Y; });
    const QImage flat = RenderReferenceScene(scene, 160, 120);
    const QRgb centre = flat.pixel(80, 60);
    EXPECT_NE(centre, flat.pixel(2, 2)) << "the field covers the middle";
    for (int y = 45; y <= 75; y += 5)
        for (int x = 60; x <= 100; x += 5) {
            const QRgb p = flat.pixel(x, y);
            EXPECT_LE(std::abs(qRed(p) - qRed(centre)) + std::abs(qGreen(p) - qGreen(centre)) +
                          std::abs(qBlue(p) - qBlue(centre)),
                      3)
                << x << ", " << y;
        }
}

struct TViewerFixture {
    TReferenceScene Scene = BuildReferenceScene("lit_quad");
    TGLWorldViewer Viewer;
    TViewerFixture()
    {
        Viewer.resize(120, 90);
        Viewer.Buffer().SetBackgroundColor(0x00203040);
        Viewer.SetCamera(Scene.Camera);
        Viewer.show();
        WaitUntil([&] { return Viewer.FramesDrawn() > 0; });
    }
};

TEST(GLQt, ViewerDrawsOneFramePerBurstOfChanges)
{
    TViewerFixture f;
    ASSERT_TRUE(f.Viewer.OpenGLAvailable()) << f.Viewer.LastError();
    ASSERT_GT(f.Viewer.FramesDrawn(), 0) << f.Viewer.LastError();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    const int before = f.Viewer.FramesDrawn();
    f.Scene.Camera->SetPosition({0, 0, 7, 1}); // two changes, one repaint
    f.Scene.Camera->SetPosition({0, 0, 8, 1});
    ASSERT_TRUE(WaitUntil([&] { return f.Viewer.FramesDrawn() > before; }));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.Viewer.FramesDrawn(), before + 1);
}

TEST(GLQt, ViewerKeepsAOneByOneViewport)
{
    TViewerFixture f;
    f.Viewer.resize(0, 0);
    QCoreApplication::processEvents();
    f.Viewer.Buffer().Resize(f.Viewer.width(), f.Viewer.height());
    EXPECT_EQ(f.Viewer.Buffer().ViewPort()[2], 1);
    EXPECT_EQ(f.Viewer.Buffer().ViewPort()[3], 1);
}

TEST(GLQt, AntiAliasingChangeRebuildsTheLists)
{
    TViewerFixture f;
    auto *quad = static_cast<TDirectOpenGL *>(f.Scene.Scene->Objects().ChildAt(1));
    quad->SetUseBuildList(true);
    quad->GeometryChanged();
    ASSERT_TRUE(WaitUntil([&] { return quad->ListHandle().Handle() != 0; }));
    const int frames = f.Viewer.FramesDrawn();
    f.Viewer.Buffer().SetAntiAliasing(aa4x);
    EXPECT_EQ(quad->ListHandle().Handle(), 0u); // freed with the old context
    ASSERT_TRUE(WaitUntil([&] { return f.Viewer.FramesDrawn() > frames; }));
    EXPECT_NE(quad->ListHandle().Handle(), 0u); // compiled again
}

TEST(GLQt, ViewerAppliesVSyncBeforeEveryFrame)
{
    TViewerFixture f;
    QWindow *window = f.Viewer.window()->windowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->requestedFormat().swapInterval(), 0) << "no VSync by default";
    f.Viewer.SetVSync(vsmSync);
    int frames = f.Viewer.FramesDrawn();
    f.Viewer.update();
    ASSERT_TRUE(WaitUntil([&] { return f.Viewer.FramesDrawn() > frames; }));
    EXPECT_EQ(window->requestedFormat().swapInterval(), 1);
    // A BeforeRender of the user's own replaces the binding.
    f.Viewer.Buffer().BeforeRender = [](TObject *) {};
    f.Viewer.SetVSync(vsmNoSync);
    frames = f.Viewer.FramesDrawn();
    f.Viewer.update();
    ASSERT_TRUE(WaitUntil([&] { return f.Viewer.FramesDrawn() > frames; }));
    EXPECT_EQ(window->requestedFormat().swapInterval(), 1);
}

TEST(GLQt, WithoutACameraTheViewerClearsToTheBackground)
{
    TViewerFixture f;
    f.Viewer.SetCamera(nullptr);
    const int frames = f.Viewer.FramesDrawn();
    ASSERT_TRUE(WaitUntil([&] { return f.Viewer.FramesDrawn() > frames; }));
    const QImage shot = f.Viewer.grabFramebuffer();
    ASSERT_FALSE(shot.isNull());
    int other = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            other += (shot.pixel(x, y) & 0xFFFFFF) != 0x403020;
    EXPECT_EQ(other, 0);
}

} // namespace
} // namespace orv

#include "view3d/scene/GLCrossPlatform.h"
#include "view3d/scene/GLTexture.h"
#include "view3d/scene/qt/GLQtScreen.h"

#include <QPalette>
#include <QGuiApplication>

namespace orv {
namespace {

TEST(GLQtScreen, OnlyTheDesktopMode)
{
    TGLQtDisplayModes modes;
    TGLScreen screen(modes);
    const TVideoMode desktop = screen.Mode(0);
    ASSERT_GT(desktop.Width, 0);
    ASSERT_EQ(screen.ModeCount(), 2);
    EXPECT_EQ(screen.NearestMode(desktop.Width, desktop.Height, desktop.ColorDepth), 1);
    EXPECT_EQ(screen.NearestMode(desktop.Width + 1, desktop.Height, 8), 0);
    EXPECT_TRUE(screen.SwitchDisplayMode(1));
}

TEST(GLQtScreen, SystemColoursFollowThePalette)
{
    InstallQtScreenServices();
    const QColor button = QGuiApplication::palette().color(QPalette::Button);
    const TVector4f v = WinColorToVector(clBtnFace, 1);
    EXPECT_NEAR(v.X, button.redF(), 1e-6);
    EXPECT_NEAR(v.Z, button.blueF(), 1e-6);
    EXPECT_GT(ScreenPixelsPerInch(), 0);
}

} // namespace
} // namespace orv
