// Under a private X server with Mesa's software renderer: contexts, the
// reference scenes through RenderBitmap against pictures checked by eye,
// and the viewer window.
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLGraph.h"
#include "view3d/scene/qt/GLQtContext.h"
#include "view3d/scene/qt/GLWorldViewer.h"
#include "view3d/scene/qt/ReferenceScenes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QOpenGLContext>
#include <gtest/gtest.h>

#include <cstdlib>

namespace orv {
namespace {

const std::string cExpected = std::string(ORV_DATA_DIR) + "/pictures/expected/";

// Runs the event loop until Done holds, for at most five seconds.
bool WaitUntil(const std::function<bool()> &Done)
{
    QElapsedTimer timer;
    timer.start();
    while (!Done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return Done();
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
