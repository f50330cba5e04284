#pragma once
// The window that shows a scene: an OpenGL widget whose context is its
// buffer's TGLContext. It draws one frame per paint, repaints when the
// scene or the buffer signals a change, and keeps the viewport on its size.
// A frame that raises ends the paint; the error is reported once through
// the platform's message service after the paint, never through Qt's
// event loop.

#include "view3d/scene/GLWorld.h"
#include "view3d/scene/qt/GLQtContext.h"

#include <QOpenGLWidget>

namespace orv {

enum TVSyncMode { vsmSync, vsmNoSync };

class TGLWorldViewer : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit TGLWorldViewer(QWidget *Parent = nullptr);
    ~TGLWorldViewer() override;

    TGLWorldBuffer &Buffer() { return *FBuffer; }
    TGLCamera *Camera() const { return FBuffer->Camera(); }
    void SetCamera(TGLCamera *Camera) { FBuffer->SetCamera(Camera); }
    TVSyncMode VSync() const { return FVSync; }
    void SetVSync(TVSyncMode Mode);
    bool OpenGLAvailable() const { return FOpenGLAvailable; }
    int FramesDrawn() const { return FFramesDrawn; }
    const std::string &LastError() const { return FLastError; }

protected:
    void initializeGL() override;
    void resizeGL(int Width, int Height) override;
    void paintGL() override;

private:
    void RecreateContext();
    void FreeContext();
    void ReportFrameError(const std::string &Text);

    TComponent FOwnerComponent; // the buffer fires its events only with an owner
    std::unique_ptr<TGLWorldBuffer> FBuffer;
    TGLQtDevice FDevice;
    TVSyncMode FVSync = vsmNoSync;
    bool FOpenGLAvailable = false;
    int FFramesDrawn = 0;
    bool FErrorReported = false;
    std::string FLastError;
};

} // namespace orv
