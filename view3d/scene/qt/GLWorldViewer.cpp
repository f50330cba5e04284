#include "view3d/scene/qt/GLWorldViewer.h"

#include "platform/MessageService.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/qt/GLQtScreen.h"

#include "view3d/scene/GLObjects.h"
#include "view3d/scene/GLScreen.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <stdexcept>
#include <utility>

namespace orv {

void ApplyVSync(QWindow *Window, TVSyncMode Mode)
{
    if (!Window)
        return;
    const int wanted = Mode == vsmSync ? 1 : 0;
    QSurfaceFormat f = Window->requestedFormat();
    if (f.swapInterval() == wanted)
        return;
    f.setSwapInterval(wanted);
    Window->setFormat(f);
}

// The full-screen viewer is a component a form may name.
const bool gStreamedViewer = [] {
    RegisterComponentClass<TGLFullScreenViewer>("TGLFullScreenViewer");
    return true;
}();

TGLScreen &GLScreen()
{
    static TGLQtDisplayModes modes;
    static TGLScreen screen(modes);
    return screen;
}

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
    FBuffer->BeforeRender = [this](TObject *) {
        QWidget *top = window();
        ApplyVSync(top ? top->windowHandle() : nullptr, FVSync);
    };
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
    if (context())
        return; // the next frame applies it
    QSurfaceFormat f = format();
    f.setSwapInterval(Mode == vsmSync ? 1 : 0);
    setFormat(f); // before the widget's context is made
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

// ---- the full-screen viewer ----

// The borderless form of a full-screen viewer: its context is the
// viewer's buffer's, its events are the viewer's.
class TGLFullScreenForm : public QOpenGLWidget {
public:
    explicit TGLFullScreenForm(TGLFullScreenViewer &Viewer) : FViewer(&Viewer)
    {
        setAttribute(Qt::WA_OpaquePaintEvent); // the background is never erased
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_DeleteOnClose);
        setMouseTracking(true);
        FDevice.Widget = this;
    }
    ~TGLFullScreenForm() override { FreeContext(); }
    // The viewer goes first: the form only frees its context.
    void Release()
    {
        FreeContext();
        FViewer = nullptr;
    }

protected:
    void initializeGL() override
    {
        if (!FViewer || !LoadQtGLEntries(context()) || !GL().OpenGL11)
            return;
        connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { FreeContext(); },
                Qt::DirectConnection);
        FViewer->Buffer().Resize(width(), height());
        FViewer->Buffer().CreateBufferContext(&FDevice);
    }
    void resizeGL(int Width, int Height) override
    {
        if (FViewer)
            FViewer->Buffer().Resize(Width, Height);
    }
    void paintGL() override
    {
        if (!FViewer || !FViewer->Buffer().BufferContext())
            return;
        FViewer->Buffer().Render();
    }
    void closeEvent(QCloseEvent *Event) override
    {
        if (FViewer && FViewer->OnCloseQuery && !FViewer->OnCloseQuery(*FViewer)) {
            Event->ignore();
            return;
        }
        Event->accept();
        FreeContext();
        if (TGLFullScreenViewer *v = std::exchange(FViewer, nullptr))
            v->FormClosed();
    }
    void keyPressEvent(QKeyEvent *Event) override
    {
        if (!FViewer)
            return;
        Fire(FViewer->OnKeyDown, Event);
        if (!Event->text().isEmpty())
            Fire(FViewer->OnKeyPress, Event->text().at(0));
    }
    void keyReleaseEvent(QKeyEvent *Event) override
    {
        if (FViewer)
            Fire(FViewer->OnKeyUp, Event);
    }
    void mousePressEvent(QMouseEvent *Event) override
    {
        if (!FViewer)
            return;
        FPressed = Event->button();
        Fire(FViewer->OnMouseDown, Event);
        if (Event->button() == Qt::RightButton && FViewer->PopupMenu)
            FViewer->PopupMenu->popup(Event->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent *Event) override
    {
        if (!FViewer)
            return;
        Fire(FViewer->OnMouseUp, Event);
        // A click: pressed and released with the same button over the form.
        const bool inside = rect().contains(Event->position().toPoint());
        if (FViewer && Event->button() == FPressed && inside && FViewer->OnClick)
            FViewer->OnClick(*FViewer);
        FPressed = Qt::NoButton;
    }
    void mouseDoubleClickEvent(QMouseEvent *) override
    {
        if (FViewer && FViewer->OnDblClick)
            FViewer->OnDblClick(*FViewer);
    }
    void mouseMoveEvent(QMouseEvent *Event) override
    {
        if (FViewer)
            Fire(FViewer->OnMouseMove, Event);
    }
    void wheelEvent(QWheelEvent *Event) override
    {
        if (FViewer)
            Fire(FViewer->OnMouseWheel, Event);
    }

private:
    template <class F, class A> void Fire(const F &Handler, A Argument)
    {
        if (Handler && FViewer)
            Handler(*FViewer, Argument);
    }
    void FreeContext()
    {
        if (!FViewer || !FViewer->Buffer().BufferContext())
            return;
        makeCurrent();
        FViewer->Buffer().FreeBufferContext();
        doneCurrent();
    }
    TGLFullScreenViewer *FViewer;
    TGLQtDevice FDevice;
    Qt::MouseButton FPressed = Qt::NoButton;
};

TGLFullScreenViewer::TGLFullScreenViewer(TComponent *Owner) : TGLNonVisualViewer(Owner)
{
    TGLQtContext::Register();
    InstallQtScreenServices();
    SetWidth(800);
    SetHeight(600);
    Buffer().BeforeRender = [this](TObject *) {
        if (FForm)
            ApplyVSync(FForm->windowHandle(), VSync);
    };
}

TGLFullScreenViewer::~TGLFullScreenViewer() { ReleaseForm(); }

QWidget *TGLFullScreenViewer::Form() const { return FForm; }

void TGLFullScreenViewer::SetActive(bool Value)
{
    if (Value == Active())
        return;
    if (!Value) {
        FForm->close(); // OnCloseQuery may keep it open
        return;
    }
    static constexpr int depths[] = {8, 16, 24, 32};
    TGLScreen &screen = GLScreen();
    const int index = screen.NearestMode(Width(), Height(), depths[ScreenDepth]);
    if (index == 0)
        throw std::runtime_error("Unsupported video mode");
    const TVideoMode &wanted = screen.Mode(index), &now = screen.Mode(screen.CurrentMode());
    if (wanted.Width != now.Width || wanted.Height != now.Height ||
        wanted.ColorDepth != now.ColorDepth) {
        if (!screen.SwitchDisplayMode(index))
            throw std::runtime_error("Unsupported video mode");
        FSwitched = true;
    }
    FForm = new TGLFullScreenForm(*this);
    FForm->setObjectName("GLFullScreenForm");
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    if (StayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    FForm->setWindowFlags(flags);
    QSurfaceFormat f = FForm->format();
    f.setSwapInterval(VSync == vsmSync ? 1 : 0);
    FForm->setFormat(f);
    FForm->setCursor(Cursor);
    if (QScreen *s = QGuiApplication::primaryScreen())
        FForm->setGeometry(s->geometry());
    FForm->setWindowState(Qt::WindowMaximized);
    FForm->show();
}

// Drawn now into the form's surface; the screen shows it at the form's
// next paint.
void TGLFullScreenViewer::Render()
{
    if (!FForm || !Buffer().BufferContext())
        return;
    FForm->makeCurrent();
    Buffer().Render();
    FForm->doneCurrent();
    FForm->update();
}

void TGLFullScreenViewer::BufferChanged(TObject *)
{
    if (FForm && !Buffer().Rendering())
        FForm->update();
}

void TGLFullScreenViewer::FormClosed()
{
    FForm = nullptr;
    if (FSwitched) {
        GLScreen().RestoreDisplayMode();
        FSwitched = false;
    }
    if (OnClose)
        OnClose(*this);
}

// The viewer goes while its form shows: the form loses its context and
// closes without calling back.
void TGLFullScreenViewer::ReleaseForm()
{
    if (!FForm)
        return;
    TGLFullScreenForm *form = std::exchange(FForm, nullptr);
    form->Release();
    form->close();
    if (FSwitched) {
        GLScreen().RestoreDisplayMode();
        FSwitched = false;
    }
}

} // namespace orv
