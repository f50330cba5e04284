// The drawing surface of one viewer: its context and the render pass.
#include "view3d/geometry/Assertion.h"
#include "view3d/scene/GLCrossPlatform.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLWorld.h"
#include "view3d/scene/GLWorldRegistry.h"
#include "view3d/scene/XOpenGL.h"

#include <chrono>
#include <cmath>

namespace orv {

namespace {

int64_t CounterNow()
{
    int64_t value;
    QueryCounter(value);
    return value;
}

int64_t CounterHz()
{
    int64_t value;
    QueryCounterFrequency(value);
    return value;
}

struct TRenderingFlag {
    bool &Flag;
    explicit TRenderingFlag(bool &F) : Flag(F) { Flag = true; }
    ~TRenderingFlag() { Flag = false; }
};

void ReadMatrix(GLenum Name, TMatrix4x4f &M) { GL().glGetFloatv(Name, &M[0].X); }

void SetState(TGLStates &Set, TGLState S, bool On)
{
    GLenum name = GLStateName(S);
    if (On) {
        GL().glEnable(name);
        Set |= 1u << unsigned(S);
    } else {
        GL().glDisable(name);
        Set &= ~(1u << unsigned(S));
    }
}

} // namespace

TGLWorldBuffer::TGLWorldBuffer(TPersistent *Owner)
    : TGLUpdateAbleObject(Owner), QueryCounter(CounterNow), CounterFrequency(CounterHz()),
      FFog(this)
{
    BufferCreated(this);
}

TGLWorldBuffer::~TGLWorldBuffer()
{
    BufferFreed(this);
    if (FCamera && FCamera->Scene())
        FCamera->Scene()->UnregisterBuffer(this);
    FreeBufferContext();
}

void TGLWorldBuffer::SignalChange(TObject *Sender)
{
    if (OnChange)
        OnChange(this);
}

void TGLWorldBuffer::Fire(const TNotifyEvent &Event)
{
    if (Event && GetOwner())
        Event(this);
}

void TGLWorldBuffer::SetContextAttributes(TGLContext &C)
{
    unsigned options = 0;
    if (FContextOptions & roDoubleBuffer)
        options |= coDoubleBuffered;
    if (FContextOptions & roStereo)
        options |= coStereo;
    C.SetOptions(options);
    static constexpr int colours[] = {24, 8, 16, 24};
    static constexpr int depths[] = {24, 16, 24, 32};
    C.SetColorBits((FContextOptions & roNoColorBuffer) ? 0 : colours[FColorDepth]);
    C.SetDepthBits(depths[FDepthPrecision]);
    C.SetStencilBits((FContextOptions & roStencilBuffer) ? 8 : 0);
    C.SetAlphaBits((FContextOptions & roDestinationAlpha) ? 8 : 0);
    C.SetAccumBits(0);
    C.SetAuxBuffers(0);
    C.SetAntiAliasing(FAntiAliasing);
}

void TGLWorldBuffer::CreateBufferContext(void *DeviceContext, bool Memory)
{
    FreeBufferContext();
    TRenderingFlag rendering(FRendering);
    std::unique_ptr<TGLContext> context = GLContextManager().CreateContext();
    if (!context)
        throw std::runtime_error("Failed to create RenderingContext.");
    SetContextAttributes(*context);
    if (OnPrepareContext)
        OnPrepareContext(this);
    if (Memory)
        context->CreateOffscreenContext(DeviceContext, FViewPort[2], FViewPort[3]);
    else
        context->CreateContext(DeviceContext);
    FContext = std::move(context);
    TGLActivation active(*FContext);
    if (!GL().OpenGL11)
        throw EOpenGLError("Need at least OpenGL version 1.1");
    GL().glViewport(0, 0, FViewPort[2], FViewPort[3]);
    PrepareFrameState();
    SendClearColor();
}

void TGLWorldBuffer::FreeBufferContext()
{
    if (!FContext)
        return;
    if (FCamera && FCamera->Scene())
        FCamera->Scene()->UnregisterBuffer(this);
    FContext.reset();
}

void TGLWorldBuffer::Resize(int Width, int Height)
{
    FViewPort[2] = std::max(Width, 1);
    FViewPort[3] = std::max(Height, 1);
    if (!FContext)
        return;
    TGLActivation active(*FContext);
    GL().glViewport(0, 0, FViewPort[2], FViewPort[3]);
}

void TGLWorldBuffer::SetViewPort(int Left, int Top, int Width, int Height)
{
    FViewPort[0] = Left;
    FViewPort[1] = Top;
    FViewPort[2] = Width;
    FViewPort[3] = Height;
    SignalChange(this);
}

void TGLWorldBuffer::SetCamera(TGLCamera *Camera)
{
    if (Camera == FCamera)
        return;
    if (FCamera && FCamera->Scene())
        FCamera->Scene()->UnregisterBuffer(this);
    FCamera = nullptr;
    if (Camera && Camera->Scene()) {
        FCamera = Camera;
        FCamera->InvalidateLocalMatrix();
    }
    SignalChange(this);
}

void TGLWorldBuffer::SendClearColor()
{
    const TVector4f c = WinColorToVector(FBackgroundColor, 1);
    GL().glClearColor(c.X, c.Y, c.Z, 1);
}

void TGLWorldBuffer::PrepareFrameState()
{
    const TGLEntryTable &g = GL();
    g.glLightModeli(gl::LIGHT_MODEL_TWO_SIDE, (FContextOptions & roTwoSideLighting) ? 1 : 0);
    SetState(FStateSet, TGLState::Normalize, true);
    SetState(FStateSet, TGLState::DepthTest, FDepthTest);
    SetState(FStateSet, TGLState::CullFace, FFaceCulling);
    SetState(FStateSet, TGLState::Lighting, FLighting);
    SetState(FStateSet, TGLState::Fog, FFogEnable);
    GLint blueBits = 0;
    g.glGetIntegerv(gl::BLUE_BITS, &blueBits);
    SetState(FStateSet, TGLState::Dither, blueBits <= 7);
    g.glDepthFunc(gl::LESS);
    g.glHint(gl::PERSPECTIVE_CORRECTION_HINT, gl::NICEST);
    Check(FShadeModel == smDefault || FShadeModel == smSmooth || FShadeModel == smFlat,
          "Assertion failure");
    g.glShadeModel(FShadeModel == smFlat ? gl::FLAT : gl::SMOOTH);
}

void TGLWorldBuffer::ClearBuffers()
{
    GLbitfield mask = gl::COLOR_BUFFER_BIT | gl::DEPTH_BUFFER_BIT;
    if (FContextOptions & roStencilBuffer)
        mask |= gl::STENCIL_BUFFER_BIT;
    GL().glClear(mask);
}

void TGLWorldBuffer::ApplyCamera(const int Viewport[4], int Dpi)
{
    const TGLEntryTable &g = GL();
    g.glMatrixMode(gl::PROJECTION);
    g.glLoadIdentity();
    ReadMatrix(gl::PROJECTION_MATRIX, FProjectionPrefix);
    FCamera->ApplyProjection(Viewport, Viewport[2], Viewport[3], Dpi);
    ReadMatrix(gl::PROJECTION_MATRIX, FProjectionMatrix);
    g.glMatrixMode(gl::MODELVIEW);
    g.glLoadIdentity();
    FCamera->Scene()->SetActiveCamera(FCamera);
    FCamera->Apply();
    ReadMatrix(gl::MODELVIEW_MATRIX, FModelViewMatrix);
    FCameraPosition = FCamera->WorldPosition();
}

void TGLWorldBuffer::RenderFrame(const int Viewport[4], int Dpi, TDrawState DrawState)
{
    if (!FCamera || !FCamera->Scene())
        return;
    ApplyCamera(Viewport, Dpi);
    SetDisabledMode();
    SetStandardMode();
    Fire(BeforeRender);
    FCamera->Scene()->PrepareLights(ImplementationLimit(2));
    if (FFogEnable) {
        GL().glEnable(gl::FOG);
        FFog.Apply();
    } else {
        GL().glDisable(gl::FOG);
    }
    FCamera->Scene()->RenderFrame(*this, Viewport[2], Viewport[3], DrawState);
    Fire(PostRender);
}

void TGLWorldBuffer::CountFrame()
{
    ++FFrameCount;
    const int64_t previous = FLastFrameCounter;
    FLastFrameCounter = QueryCounter();
    if (FFrameCount > 1) {
        uint64_t delta = uint64_t(FLastFrameCounter - previous);
        if (FFrameCount == 2)
            delta *= 2; // the first frame had no measurement: it counts as long as the second
        FFrameTicks += delta;
        if (FFrameTicks != 0)
            FFrameRate = float(double(FFrameCount) * double(CounterFrequency) / double(FFrameTicks));
    }
}

void TGLWorldBuffer::Render()
{
    if (FRendering || !FContext)
        return;
    if (FCamera && FCamera->Scene()) {
        FCamera->WorldMatrix();
        FCamera->Scene()->RegisterBuffer(this);
    }
    {
        TGLActivation active(*FContext);
        TRenderingFlag rendering(FRendering);
        FRenderResolution = 96;
        ClearGLErrors();
        PrepareFrameState();
        SendClearColor();
        CheckGLError();
        ClearBuffers();
        CheckGLError();
        RenderFrame(FViewPort, FRenderResolution, dsRendering);
        CheckGLError();
        GL().glFlush();
        FContext->SwapBuffers();
        CountFrame();
        CheckGLError();
    }
    Fire(AfterRender);
}

void TGLWorldBuffer::RenderBitmap(TGLBitmapTarget &Target, int Dpi)
{
    Check(!FRendering, "Already rendering");
    TRenderingFlag rendering(FRendering);
    int colourBits;
    switch (Target.BitsPerPixel()) {
    case 1:
    case 4:
        colourBits = 4;
        break;
    case 8:
    case 15:
    case 16:
    case 24:
    case 32:
        colourBits = Target.BitsPerPixel();
        break;
    case 0:
        colourBits = CurrentScreenDepth(); // device-dependent: the screen's
        break;
    default:
        colourBits = 24;
    }
    std::unique_ptr<TGLContext> context = GLContextManager().CreateContext();
    if (!context)
        throw std::runtime_error("Failed to create RenderingContext.");
    context->SetColorBits(colourBits);
    context->CreateContext(Target.DeviceContext());
    const TGLStates savedStates = FStateSet;
    GLContextManager().ReleaseAllHandles();
    // Fog settings live in each context: the picture's gets them, and the
    // window's gets them again at its next frame.
    FFog.MarkChanged();
    struct TFogAgain {
        TGLFogEnvironment &F;
        ~TFogAgain() { F.MarkChanged(); }
    } fogAgain{FFog};
    int savedViewPort[4];
    std::copy(FViewPort, FViewPort + 4, savedViewPort);
    try {
        TGLActivation active(*context);
        PrepareFrameState();
        SendClearColor();
        FViewPort[0] = FViewPort[1] = 0;
        FViewPort[2] = Target.Width();
        FViewPort[3] = Target.Height();
        GL().glViewport(0, 0, FViewPort[2], FViewPort[3]);
        ClearBuffers();
        ClearPolygonModeCache();
        ClearMaterialCache();
        ClearTextureBindCache();
        FRenderResolution = Dpi != 0 ? Dpi : Target.PixelsPerInch();
        RenderFrame(FViewPort, FRenderResolution, dsPrinting);
        GL().glFinish();
    } catch (...) {
        std::copy(savedViewPort, savedViewPort + 4, FViewPort);
        FStateSet = savedStates;
        GLContextManager().ReleaseAllHandles();
        throw;
    }
    std::copy(savedViewPort, savedViewPort + 4, FViewPort);
    FStateSet = savedStates;
    GLContextManager().ReleaseAllHandles();
    context.reset();
    Fire(AfterRender);
}

int TGLWorldBuffer::ImplementationLimit(int Limit)
{
    static constexpr GLenum names[] = {
        gl::MAX_CLIP_PLANES,          gl::MAX_EVAL_ORDER,         gl::MAX_LIGHTS,
        gl::MAX_LIST_NESTING,         gl::MAX_MODELVIEW_STACK_DEPTH,
        gl::MAX_NAME_STACK_DEPTH,     gl::MAX_PIXEL_MAP_TABLE,
        gl::MAX_PROJECTION_STACK_DEPTH, gl::MAX_TEXTURE_SIZE,     gl::MAX_TEXTURE_STACK_DEPTH,
        gl::MAX_VIEWPORT_DIMS,        gl::ACCUM_ALPHA_BITS,       gl::ACCUM_BLUE_BITS,
        gl::ACCUM_GREEN_BITS,         gl::ACCUM_RED_BITS,         gl::ALPHA_BITS,
        gl::AUX_BUFFERS,              gl::BLUE_BITS,              gl::GREEN_BITS,
        gl::RED_BITS,                 gl::INDEX_BITS,             gl::STEREO,
        gl::DOUBLEBUFFER,             gl::SUBPIXEL_BITS,          gl::DEPTH_BITS,
        gl::STENCIL_BITS};
    if (Limit < 0 || Limit >= int(std::size(names)))
        return 0;
    GLint values[2] = {0, 0};
    GL().glGetIntegerv(names[Limit], values);
    if (Limit == 10)
        return std::max(values[0], values[1]);
    return values[0];
}

void TGLWorldBuffer::ResetFrameStatistics()
{
    FFrameRate = 0;
    FFrameCount = 0;
    FFrameTicks = 0;
}

} // namespace orv
