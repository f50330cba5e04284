// The milling window of ncrun --3d as a module of its own: ncrun loads it
// only when a run asks for the window, so other runs start without the
// graphics libraries. The engine's own code comes from ncrun.
#include "engine/core/DUtils.h"
#include "view3d/milling/ui/GLWorld3D.h"
#include "view3d/scene/qt/GLWorldViewer.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Widgets need an application; the run's lives until the process ends.
bool EnsureApplication()
{
    if (QApplication::instance())
        return true;
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const bool offscreen = platform && std::string(platform) == "offscreen";
    if (!offscreen && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "ncrun: --3d draws with OpenGL and needs a display (run it under Xvfb)\n");
        return false;
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    static int argc = 1;
    static char name[] = "ncrun";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return true;
}

} // namespace

extern "C" __attribute__((visibility("default"))) orv::T3DView *
OrvNcrunMillingWindow(int Width, int Height)
{
    if (!EnsureApplication())
        return nullptr;
    auto *window = new orv::TGLWorld3D(orv::MainIniPath());
    // Never shown: the viewer keeps the size it is given.
    window->SceneViewer->resize(Width, Height);
    return window;
}

extern "C" __attribute__((visibility("default"))) orv::TMillingView *
OrvNcrunMillingModel(orv::T3DView *View)
{
    auto *window = dynamic_cast<orv::TGLWorld3D *>(View);
    return window ? &window->Model() : nullptr;
}

extern "C" __attribute__((visibility("default"))) bool OrvNcrunCapture3D(orv::T3DView *View,
                                                                         const char *FileName)
{
    auto *window = dynamic_cast<orv::TGLWorld3D *>(View);
    return window && window->CaptureBitmap(FileName, 1);
}
