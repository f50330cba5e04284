#pragma once
// Rendering contexts on Qt: a context either adopts the one of a viewer's
// OpenGL widget (window contexts) or owns a QOpenGLContext on an offscreen
// surface with a framebuffer object (bitmap and memory contexts), whose
// pixels go to the target picture when the context is deactivated. Every
// context this class makes shares with one process-wide root context (Qt
// shares lists only at creation; ShareLists keeps the bookkeeping). The
// entry table is filled from the context that becomes current.

#include "view3d/scene/GLContext.h"
#include "view3d/scene/GLWorld.h"

#include <QImage>
#include <memory>

class QOpenGLContext;
class QOpenGLWidget;
class QOffscreenSurface;
class QOpenGLFramebufferObject;

namespace orv {

// What a context is created on (the "device context" of the scene graph).
struct TGLQtDevice {
    QOpenGLWidget *Widget = nullptr; // a window context on this widget's context
    QImage *Image = nullptr;         // a bitmap context drawing into this picture
};

// Fills the entry table from a current context (GLU from the system's
// library); false when OpenGL or GLU cannot be had.
bool LoadQtGLEntries(QOpenGLContext *Context);

class TGLQtContext : public TGLContext {
public:
    explicit TGLQtContext(TGLContextManager *Manager = nullptr);
    ~TGLQtContext() override;
    bool IsValid() const override;
    void SwapBuffers() override {}
    QOpenGLContext *QtContext() const;

    // Makes this class the context manager's context class.
    static void Register();

protected:
    void PlatformActivate() override;
    void PlatformDeactivate() override;
    void PlatformCreateContext(void *DeviceContext) override;
    void PlatformCreateOffscreenContext(void *DeviceContext, int Width, int Height) override;
    void PlatformShareLists(TGLContext &Other) override;
    void PlatformDestroyContext() override;

private:
    void CreateOwnContext(int Width, int Height);
    QOpenGLWidget *FWidget = nullptr;
    QImage *FImage = nullptr;
    std::unique_ptr<QOpenGLContext> FContext;
    std::unique_ptr<QOffscreenSurface> FSurface;
    std::unique_ptr<QOpenGLFramebufferObject> FFrameBuffer;
};

// A picture RenderBitmap draws into (32 bits per pixel).
class TGLQtBitmap : public TGLBitmapTarget {
public:
    TGLQtBitmap(int Width, int Height, int Dpi = 96);
    int Width() const override { return Image.width(); }
    int Height() const override { return Image.height(); }
    int BitsPerPixel() const override { return 32; }
    int PixelsPerInch() const override { return FDpi; }
    void *DeviceContext() override { return &FDevice; }
    QImage Image;

private:
    int FDpi;
    TGLQtDevice FDevice;
};

} // namespace orv
