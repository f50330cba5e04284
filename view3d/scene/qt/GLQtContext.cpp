#include "view3d/scene/qt/GLQtContext.h"

#include "view3d/scene/GLEntries.h"
#include "view3d/scene/PixelFormat.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLWidget>
#include <QSurfaceFormat>

#include <algorithm>

#include <dlfcn.h>

namespace orv {

namespace {

QOpenGLContext *gLoadedFrom = nullptr;

template <class F> bool Resolve(F &Slot, QOpenGLContext *Context, const char *Name)
{
    Slot = reinterpret_cast<F>(Context->getProcAddress(Name));
    return Slot != nullptr;
}

template <class F> bool ResolveGLU(F &Slot, void *Library, const char *Name)
{
    Slot = reinterpret_cast<F>(dlsym(Library, Name));
    return Slot != nullptr;
}

bool IsGLU(const char *Name) { return Name[0] == 'g' && Name[1] == 'l' && Name[2] == 'u'; }

// The root every context of this class shares with: the application's
// global share context when it has one, else one of our own.
QOpenGLContext *ShareRoot()
{
    if (QOpenGLContext *global = QOpenGLContext::globalShareContext())
        return global;
    static QOpenGLContext *root = [] {
        auto *c = new QOpenGLContext;
        c->create();
        return c;
    }();
    return root->isValid() ? root : nullptr;
}

QSurfaceFormat FormatFor(const TPixelAttributes &Attributes)
{
    QSurfaceFormat f;
    f.setRenderableType(QSurfaceFormat::OpenGL);
    f.setProfile(QSurfaceFormat::CompatibilityProfile);
    for (const auto &[key, value] : Attributes)
        switch (key) {
        case paDoubleBuffer:
            f.setSwapBehavior(value ? QSurfaceFormat::DoubleBuffer : QSurfaceFormat::SingleBuffer);
            break;
        case paStereo:
            f.setStereo(value != 0);
            break;
        case paColorBits:
            f.setRedBufferSize(value >= 24 ? 8 : value >= 15 ? 5 : 4);
            f.setGreenBufferSize(value >= 24 ? 8 : value >= 15 ? 5 : 4);
            f.setBlueBufferSize(value >= 24 ? 8 : value >= 15 ? 5 : 4);
            break;
        case paAlphaBits:
            f.setAlphaBufferSize(value);
            break;
        case paDepthBits:
            f.setDepthBufferSize(value);
            break;
        case paStencilBits:
            f.setStencilBufferSize(value);
            break;
        case paSamples:
            f.setSamples(value);
            break;
        default:
            break;
        }
    return f;
}

} // namespace

bool LoadQtGLEntries(QOpenGLContext *Context)
{
    static void *glu = dlopen("libGLU.so.1", RTLD_NOW | RTLD_LOCAL);
    TGLEntryTable t;
    bool ok = Context && glu;
    if (ok) {
#define ORV_GL_LOAD(R, N, P)                                                                       \
    ok = (IsGLU(#N) ? ResolveGLU(t.N, glu, #N) : Resolve(t.N, Context, #N)) && ok;
        ORV_GL_ENTRIES(ORV_GL_LOAD)
#undef ORV_GL_LOAD
    }
    const QSurfaceFormat f = Context ? Context->format() : QSurfaceFormat();
    t.OpenGL11 = ok && (f.majorVersion() > 1 || (f.majorVersion() == 1 && f.minorVersion() >= 1));
    t.NVFogDistance = ok && Context->hasExtension("GL_NV_fog_distance");
    // Multitexturing is asked of the context: every OpenGL since 1.3 has it,
    // older ones may offer the extension.
    bool multi = ok && (Context->hasExtension("GL_ARB_multitexture") ||
                        f.majorVersion() > 1 || f.minorVersion() >= 3);
    if (multi) {
#define ORV_GL_LOAD_OPTIONAL(R, N, P) multi = Resolve(t.N, Context, #N) && multi;
        ORV_GL_MULTITEXTURE_ENTRIES(ORV_GL_LOAD_OPTIONAL)
#undef ORV_GL_LOAD_OPTIONAL
    }
    t.ARBMultitexture = multi;
    SetGLEntries(t);
    gLoadedFrom = Context;
    return ok;
}

TGLQtContext::TGLQtContext(TGLContextManager *Manager) : TGLContext(Manager) {}

TGLQtContext::~TGLQtContext()
{
    try {
        if (IsValid())
            DestroyContext();
    } catch (...) {
    }
}

bool TGLQtContext::IsValid() const { return FWidget || (FContext && FContext->isValid()); }

QOpenGLContext *TGLQtContext::QtContext() const
{
    return FWidget ? FWidget->context() : FContext.get();
}

void TGLQtContext::Register()
{
    TGLContextManager::ClearContextClasses();
    TGLContextManager::RegisterContextClass(
        [](TGLContextManager &M) { return std::make_unique<TGLQtContext>(&M); });
}

void TGLQtContext::PlatformCreateContext(void *DeviceContext)
{
    auto *device = static_cast<TGLQtDevice *>(DeviceContext);
    if (!device || (!device->Widget && !device->Image))
        throw EGLContext("Context not created: no window or picture to draw on");
    if (device->Widget) {
        if (!device->Widget->context())
            throw EGLContext("Context not created: the window has no OpenGL context");
        FWidget = device->Widget;
        FAcceleration = chaHardware;
        return;
    }
    FImage = device->Image;
    CreateOwnContext(FImage->width(), FImage->height());
}

void TGLQtContext::PlatformCreateOffscreenContext(void *, int Width, int Height)
{
    CreateOwnContext(Width, Height);
}

void TGLQtContext::CreateOwnContext(int Width, int Height)
{
    TPixelFormatRequest request;
    request.ColorBits = ColorBits();
    request.AlphaBits = AlphaBits();
    request.DepthBits = DepthBits();
    request.StencilBits = StencilBits();
    request.AntiAliasing = AntiAliasing();
    request.DoubleBuffered = false; // drawn into a framebuffer object
    request.Window = false;
    auto surface = std::make_unique<QOffscreenSurface>();
    std::unique_ptr<QOpenGLContext> made;
    // Qt picks the nearest format itself; a context whose depth falls short
    // of what is asked counts as none, so the chain goes on to ask less.
    const TPixelFormatChoice choice =
        SelectExtendedFormat(request, [&](const TPixelAttributes &A) -> std::vector<int> {
            auto c = std::make_unique<QOpenGLContext>();
            c->setFormat(FormatFor(A));
            c->setShareContext(ShareRoot());
            if (!c->create())
                return {};
            int depth = 0;
            for (const auto &[key, value] : A)
                if (key == paDepthBits)
                    depth = value;
            const bool last = std::none_of(A.begin(), A.end(),
                                           [](auto &p) { return p.first == paAcceleration; });
            if (!last && c->format().depthBufferSize() < depth)
                return {};
            made = std::move(c);
            return {0};
        });
    if (!made)
        throw EGLContext("Context not created: no pixel format offered");
    surface->setFormat(made->format());
    surface->create();
    if (!made->makeCurrent(surface.get()))
        throw EGLContext("Context activation failed: 0");
    QOpenGLFramebufferObjectFormat fboFormat;
    fboFormat.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
    auto fbo = std::make_unique<QOpenGLFramebufferObject>(std::max(Width, 1), std::max(Height, 1),
                                                          fboFormat);
    made->doneCurrent();
    if (!fbo->isValid())
        throw EGLContext("Context not created: no framebuffer object");
    (void)choice;
    FContext = std::move(made);
    FSurface = std::move(surface);
    FFrameBuffer = std::move(fbo);
    FAcceleration = chaSoftware;
}

void TGLQtContext::PlatformActivate()
{
    QOpenGLContext *context = QtContext();
    if (FWidget) {
        FWidget->makeCurrent();
    } else if (!FContext->makeCurrent(FSurface.get()) || !FFrameBuffer->bind()) {
        throw EGLContext("Context activation failed: 0");
    }
    if (context != gLoadedFrom)
        LoadQtGLEntries(context);
}

void TGLQtContext::PlatformDeactivate()
{
    // A widget's context stays current: Qt composes the frame after paintGL.
    if (FWidget)
        return;
    if (FImage && FFrameBuffer) {
        GL().glFinish();
        *FImage = FFrameBuffer->toImage(true).convertToFormat(FImage->format());
    }
    FFrameBuffer->release();
    FContext->doneCurrent();
}

void TGLQtContext::PlatformShareLists(TGLContext &Other)
{
    // Qt joins share groups only at creation: the bookkeeping is the caller's.
}

void TGLQtContext::PlatformDestroyContext()
{
    if (FWidget) {
        FWidget = nullptr;
        return;
    }
    if (FContext && FSurface && FContext->makeCurrent(FSurface.get())) {
        FFrameBuffer.reset();
        FContext->doneCurrent();
    }
    FFrameBuffer.reset();
    if (gLoadedFrom == FContext.get())
        gLoadedFrom = nullptr;
    FContext.reset();
    FSurface.reset();
    FImage = nullptr;
}

TGLQtBitmap::TGLQtBitmap(int Width, int Height, int Dpi)
    : Image(std::max(Width, 1), std::max(Height, 1), QImage::Format_RGB32), FDpi(Dpi)
{
    Image.fill(Qt::black);
    FDevice.Image = &Image;
}

} // namespace orv
