#include "view3d/scene/qt/GLWorldViewer.h"

#include "platform/MessageService.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/qt/GLQtScreen.h"

#include <QOpenGLContext>
#include <QTimer>

namespace orv {

TGLWorldViewer::TGLWorldViewer(QWidget *Parent)
    : QOpenGLWidget(Parent), FBuffer(std::make_unique<TGLWorldBuffer>(&FOwnerComponent))
{
    TGLQtContext::Register();
    InstallQtScreenServices();
    resize(100, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FDevice.Widget = this;
    FBuffer->OnChange = [this](TObject *) {
        if (!FBuffer->Rendering())
            update();
    };
    FBuffer->OnStructuralChange = [this](TObject *) { RecreateContext(); };
}

TGLWorldViewer::~TGLWorldViewer()
{
    // The context goes before the window under it; the widget's context
    // must not call back once the buffer is gone.
    FreeContext();
    if (context())
        disconnect(context(), nullptr, this, nullptr);
}

void TGLWorldViewer::SetVSync(TVSyncMode Mode)
{
    FVSync = Mode;
    QSurfaceFormat f = format();
    f.setSwapInterval(Mode == vsmSync ? 1 : 0);
    setFormat(f); // takes effect when the window is made
}

void TGLWorldViewer::FreeContext()
{
    if (!FBuffer->BufferContext())
        return;
    makeCurrent();
    try {
        FBuffer->FreeBufferContext();
    } catch (const std::exception &e) {
        FLastError = e.what();
    }
    doneCurrent();
}

void TGLWorldViewer::initializeGL()
{
    FOpenGLAvailable = LoadQtGLEntries(context()) && GL().OpenGL11;
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { FreeContext(); },
            Qt::DirectConnection);
    if (!FOpenGLAvailable)
        return;
    FBuffer->Resize(width(), height());
    try {
        FBuffer->CreateBufferContext(&FDevice);
    } catch (const std::exception &e) {
        FOpenGLAvailable = false;
        ReportFrameError(e.what());
    }
}

// The widget's context stays; the buffer's context is made again on it
// with the new attributes, so every display list is rebuilt at the next frame.
void TGLWorldViewer::RecreateContext()
{
    if (!FBuffer->BufferContext())
        return;
    FreeContext();
    makeCurrent();
    try {
        FBuffer->CreateBufferContext(&FDevice);
    } catch (const std::exception &e) {
        ReportFrameError(e.what());
    }
    update();
}

void TGLWorldViewer::resizeGL(int Width, int Height)
{
    FBuffer->Resize(Width, Height);
}

void TGLWorldViewer::paintGL()
{
    if (!FOpenGLAvailable || !FBuffer->BufferContext()) {
        return;
    }
    try {
        FBuffer->Render();
        ++FFramesDrawn;
    } catch (const std::exception &e) {
        ReportFrameError(e.what());
    }
}

void TGLWorldViewer::ReportFrameError(const std::string &Text)
{
    FLastError = Text;
    if (FErrorReported)
        return;
    FErrorReported = true;
    // After the paint, from the event loop: a message box inside a paint
    // would paint again.
    QTimer::singleShot(0, this, [Text] {
        MessageDlg("OpenGL", Text, mtError, mbOK);
    });
}

} // namespace orv
