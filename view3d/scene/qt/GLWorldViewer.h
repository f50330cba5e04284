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

#include <functional>
#include <memory>

class QKeyEvent;
class QMenu;
class QMouseEvent;
class QWheelEvent;
class QWindow;

namespace orv {

class TGLScreen;

enum TVSyncMode { vsmSync, vsmNoSync };

// Puts the swap interval asked of the window's surface after Mode (1 for
// vsmSync, 0 for vsmNoSync), changing only what differs. Qt takes a
// window's swap interval when its native window is made, so a change
// shows from the next one on (a full-screen form is made with its own).
void ApplyVSync(QWindow *Window, TVSyncMode Mode);

// The display modes of this screen, built at first use (on X: the mode in
// force only, as nothing here switches modes).
TGLScreen &GLScreen();

class TGLWorldViewer : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit TGLWorldViewer(QWidget *Parent = nullptr);
    ~TGLWorldViewer() override;

    TGLWorldBuffer &Buffer() { return *FBuffer; }
    TGLCamera *Camera() const { return FBuffer->Camera(); }
    void SetCamera(TGLCamera *Camera) { FBuffer->SetCamera(Camera); }
    // Applied before every frame (the buffer's BeforeRender, until a
    // handler of its own is assigned there).
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

enum TGLScreenDepth { sd8bits, sd16bits, sd24bits, sd32bits };

class TGLFullScreenForm;

// Shows the scene in a borderless form of its own that covers the screen
// (the program itself makes none). Width x Height (800 x 600) at
// ScreenDepth is the least display mode it needs. The form's events are
// the viewer's On... handlers; a frame is drawn on every paint.
class TGLFullScreenViewer : public TGLNonVisualViewer {
public:
    explicit TGLFullScreenViewer(TComponent *Owner = nullptr);
    ~TGLFullScreenViewer() override;

    // True: the nearest display mode of at least Width x Height x depth is
    // chosen ("Unsupported video mode" when none is, or when the switch to
    // it fails), the screen switches to it unless it is in force, and the
    // form shows maximised with a context on it. False: closes the form.
    bool Active() const { return FForm != nullptr; }
    void SetActive(bool Value);
    void Render() override; // a frame now, when the form shows with its context
    QWidget *Form() const;
    bool DisplayModeSwitched() const { return FSwitched; }

    TGLScreenDepth ScreenDepth = sd32bits;
    bool StayOnTop = false;
    TVSyncMode VSync = vsmSync;
    Qt::CursorShape Cursor = Qt::ArrowCursor;
    QMenu *PopupMenu = nullptr; // on a right click

    std::function<void(TGLFullScreenViewer &Sender)> OnClose, OnClick, OnDblClick;
    // False keeps the form open.
    std::function<bool(TGLFullScreenViewer &Sender)> OnCloseQuery;
    std::function<void(TGLFullScreenViewer &Sender, QKeyEvent *Event)> OnKeyDown, OnKeyUp;
    std::function<void(TGLFullScreenViewer &Sender, QChar Key)> OnKeyPress;
    std::function<void(TGLFullScreenViewer &Sender, QMouseEvent *Event)> OnMouseDown, OnMouseUp,
        OnMouseMove;
    std::function<void(TGLFullScreenViewer &Sender, QWheelEvent *Event)> OnMouseWheel;

protected:
    void BufferChanged(TObject *Sender) override; // the form repaints

private:
    friend class TGLFullScreenForm;
    void FormClosed();
    void ReleaseForm();
    TGLFullScreenForm *FForm = nullptr; // deletes itself when closed
    bool FSwitched = false;
};

} // namespace orv
