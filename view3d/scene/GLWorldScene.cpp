// Cameras, lights, the scene and its buffers: the render pass.
#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLWorld.h"
#include "view3d/scene/GLWorldRegistry.h"
#include "view3d/scene/XOpenGL.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace orv {

namespace {

std::vector<TGLCamera *> &Cameras()
{
    static std::vector<TGLCamera *> c;
    return c;
}

std::vector<TGLProxyObject *> &Proxies()
{
    static std::vector<TGLProxyObject *> p;
    return p;
}

std::vector<TGLWorldBuffer *> &Buffers()
{
    static std::vector<TGLWorldBuffer *> b;
    return b;
}

template <class T> void Erase(std::vector<T *> &List, T *Item)
{
    List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}


} // namespace

void SceneObjectFreed(TGLBaseSceneObject *Object)
{
    for (TGLCamera *c : Cameras())
        c->TargetFreed(Object);
    for (TGLProxyObject *p : Proxies())
        p->Notification(Object);
}
void ProxyCreated(TGLProxyObject *Proxy) { Proxies().push_back(Proxy); }
void ProxyFreed(TGLProxyObject *Proxy) { Erase(Proxies(), Proxy); }
void CameraCreated(TGLCamera *Camera) { Cameras().push_back(Camera); }
void CameraFreed(TGLCamera *Camera)
{
    Erase(Cameras(), Camera);
    for (TGLWorldBuffer *b : Buffers())
        if (b->Camera() == Camera)
            b->SetCamera(nullptr);
}
void BufferCreated(TGLWorldBuffer *Buffer) { Buffers().push_back(Buffer); }
void BufferFreed(TGLWorldBuffer *Buffer) { Erase(Buffers(), Buffer); }

// ---- camera ----

TGLCamera::TGLCamera(TComponent *Owner) : TGLBaseSceneObject(Owner)
{
    *Direction().CoordsAddress() = {0, -1, 0, 0};
    CameraCreated(this);
}

TGLCamera::~TGLCamera() { CameraFreed(this); }

void TGLCamera::SetFocalLength(float Value)
{
    if (Value <= 0)
        Value = 1;
    if (StoreChanged(FFocalLength, Value))
        InvalidateLocalMatrix();
}

void TGLCamera::SetDepthOfView(float Value)
{
    if (StoreChanged(FDepthOfView, Value))
        InvalidateLocalMatrix();
}

void TGLCamera::SetSceneScale(float Value)
{
    if (Value == 0)
        Value = 1;
    if (StoreChanged(FSceneScale, Value))
        SignalChange(this);
}

void TGLCamera::SetCameraStyle(TGLCameraStyle Value)
{
    if (StoreChanged(FCameraStyle, Value))
        SignalChange(this);
}

void TGLCamera::SetTargetObject(TGLBaseSceneObject *Target)
{
    if (Target == FTarget)
        return;
    FTarget = Target;
    InvalidateLocalMatrix();
}

void TGLCamera::TargetFreed(TGLBaseSceneObject *Target)
{
    if (Target == FTarget)
        FTarget = nullptr;
}

void TGLCamera::ApplyProjection(const int Viewport[4], int Width, int Height, int Dpi)
{
    if (Width < 1 || Height < 1)
        return;
    const double halfDiagonal = std::sqrt(double(Width) * Width + double(Height) * Height) / 2;
    if (FCameraStyle == csOrtho2D) {
        GL().gluOrtho2D(0, Width, 0, Height);
        FNearPlane = -1;
        FViewRadius = float(halfDiagonal);
        return;
    }
    if (FCameraStyle == csCustom) {
        FViewRadius = float(halfDiagonal);
        if (OnCustomPerspective)
            OnCustomPerspective(Viewport, Width, Height, Dpi, FViewRadius);
        return;
    }
    Check(FCameraStyle == csPerspective || FCameraStyle == csOrthogonal, "Assertion failure");
    const double m = std::max(Width, Height);
    const double scale = FCameraStyle == csPerspective ? 1.0 : 100.0 / FFocalLength;
    const double fx = scale / (double(Width) * FSceneScale);
    const double fy = scale / (double(Height) * FSceneScale);
    const double left = -Width * (Width - 2.0 * Viewport[0]) * fx / (2 * m);
    const double right = Width * (2.0 * (Viewport[0] + Viewport[2]) - Width) * fx / (2 * m);
    const double bottom = -Height * (Height - 2.0 * Viewport[1]) * fy / (2 * m);
    const double top = Height * (2.0 * (Viewport[1] + Viewport[3]) - Height) * fy / (2 * m);
    const double nearPlane = double(FFocalLength) * 2 * Dpi / (25.4 * m);
    const double farPlane = nearPlane + FDepthOfView;
    FNearPlane = float(nearPlane);
    if (FCameraStyle == csPerspective)
        GL().glFrustum(left, right, bottom, top, nearPlane, farPlane);
    else
        GL().glOrtho(left, right, bottom, top, nearPlane, farPlane);
    FViewRadius = float(std::sqrt(right * right + top * top) / nearPlane);
}

void TGLCamera::Apply()
{
    if (OnCustomView) {
        OnCustomView(this);
        return;
    }
    const TVector4f s = WorldPosition();
    if (FTarget) {
        const TVector4f t = FTarget->AbsolutePosition();
        FWorldDirection = HomogeneousSubtract(t, s);
        HomogeneousNormalize(FWorldDirection);
        GL().gluLookAt(s.X, s.Y, s.Z, t.X, t.Y, t.Z, Up().X(), Up().Y(), Up().Z());
    } else {
        const TMatrix4x4f &m = Parent() ? Parent()->WorldMatrix() : IdentityHmgMatrix;
        FWorldDirection = TransformByMatrix(Direction().AsVector(), m);
        const TVector4f u = TransformByMatrix(Up().AsVector(), m);
        GL().gluLookAt(s.X, s.Y, s.Z, s.X + FWorldDirection.X, s.Y + FWorldDirection.Y,
                       s.Z + FWorldDirection.Z, u.X, u.Y, u.Z);
    }
    FChanges &= uint8_t(~cListStale);
}

void TGLCamera::ScaleTargetDistance(float Factor)
{
    if (!FTarget)
        return;
    const TVector4f t = FTarget->AbsolutePosition();
    TVector4f p = HomogeneousAdd(t, HomogeneousScaled(HomogeneousSubtract(WorldPosition(), t),
                                                      Factor));
    p.W = 1;
    if (Parent())
        p = Parent()->WorldToLocal(p);
    Position().SetFromVector(p);
}

// ---- light ----

TGLLightSource::TGLLightSource(TComponent *Owner)
    : TGLBaseSceneObject(Owner), FSpotDirection(this, {0, -1, 0, 0}, ckVector),
      FAmbient(this, ColorBlack), FDiffuse(this, ColorWhite), FSpecular(this, ColorBlack)
{
}

TGLLightSource::~TGLLightSource()
{
    if (Scene())
        Scene()->UnregisterLight(this);
}

void TGLLightSource::TransformChanged(TObject *Sender)
{
    if (Sender == &FSpotDirection) {
        InvalidateLocalMatrix();
        SignalChange(this);
        return;
    }
    TGLBaseSceneObject::TransformChanged(Sender);
    InvalidateLocalMatrix();
}

// ---- scene ----

TGLWorld::TGLWorld(TComponent *Owner)
    : TGLUpdateAbleComponent(Owner), FObjects(std::make_unique<TGLWorldRootObject>(this)),
      FCameras(std::make_unique<TGLWorldRootObject>(this))
{
    FObjects->Name = "ObjectRoot";
    FCameras->Name = "CameraRoot";
    FObjects->FScene = this;
    FCameras->FScene = this;
}

TGLWorld::~TGLWorld()
{
    FDestroying = true;
    FObjects->ReleaseHandles();
    FCameras.reset();
    std::fill(FLights.begin(), FLights.end(), nullptr);
    FObjects.reset();
    for (TGLWorldBuffer *b : std::vector<TGLWorldBuffer *>(FBuffers))
        UnregisterBuffer(b);
}

void TGLWorld::SetObjectsSorting(TGLObjectsSorting V)
{
    FObjectsSorting = V == osInherited ? osRenderBlendedLast : V;
    SignalChange(this);
}

void TGLWorld::SetVisibilityCulling(TGLVisibilityCulling V)
{
    FVisibilityCulling = V == vcInherited ? vcNone : V;
    SignalChange(this);
}

void TGLWorld::RegisterLight(TGLLightSource *Light)
{
    if (std::find(FLights.begin(), FLights.end(), Light) != FLights.end())
        return;
    auto slot = std::find(FLights.begin(), FLights.end(), nullptr);
    if (slot == FLights.end())
        return; // a ninth light never shines
    *slot = Light;
    Light->FLightSlot = gl::LIGHT0 + GLenum(slot - FLights.begin());
}

void TGLWorld::UnregisterLight(TGLLightSource *Light)
{
    auto slot = std::find(FLights.begin(), FLights.end(), Light);
    if (slot == FLights.end())
        return;
    *slot = nullptr;
    Light->FLightSlot = 0;
}

void TGLWorld::RegisterBuffer(TGLWorldBuffer *Buffer)
{
    if (std::find(FBuffers.begin(), FBuffers.end(), Buffer) != FBuffers.end())
        return;
    FBuffers.push_back(Buffer);
    if (!FSharedContext)
        FSharedContext = Buffer->BufferContext();
    if (FBuffers.size() >= 2 && FSharedContext && Buffer->BufferContext() &&
        Buffer->BufferContext() != FSharedContext)
        FSharedContext->ShareLists(*Buffer->BufferContext());
}

void TGLWorld::UnregisterBuffer(TGLWorldBuffer *Buffer)
{
    auto it = std::find(FBuffers.begin(), FBuffers.end(), Buffer);
    if (it == FBuffers.end())
        return;
    FBuffers.erase(it);
    FSharedContext = FBuffers.empty() ? nullptr : FBuffers.front()->BufferContext();
}

void TGLWorld::BeginUpdate() { ++FUpdateCount; }

void TGLWorld::EndUpdate()
{
    Check(FUpdateCount > 0, "Assertion failure");
    if (--FUpdateCount == 0)
        SignalChange(this);
}

void TGLWorld::SignalChange(TObject *Sender)
{
    if (IsUpdating() || FBuffers.empty())
        return;
    for (TGLWorldBuffer *b : std::vector<TGLWorldBuffer *>(FBuffers))
        b->SignalChange(Sender);
}

namespace {

void CastRayInto(TGLBaseSceneObject &Node, const TVector4f &Origin, const TVector4f &Direction,
                 TGLBaseSceneObject *&Best, float &BestDistance, TVector4f *HitPoint,
                 TVector4f *HitNormal)
{
    for (int i = 0; i < Node.ChildCount(); ++i) {
        TGLBaseSceneObject *c = Node.ChildAt(i);
        if (!c->Visible())
            continue;
        TVector4f point, normal;
        if (c->RayHit(Origin, Direction, &point, &normal)) {
            const float d = float(HomogeneousDistance2(Origin, point));
            if (d < BestDistance) {
                Best = c;
                BestDistance = d;
                if (HitPoint)
                    *HitPoint = point;
                if (HitNormal)
                    *HitNormal = normal;
            }
        } else {
            CastRayInto(*c, Origin, Direction, Best, BestDistance, HitPoint, HitNormal);
        }
    }
}

} // namespace

TGLBaseSceneObject *TGLWorld::CastRay(const TVector4f &RayOrigin, const TVector4f &RayDirection,
                                      TVector4f *HitPoint, TVector4f *HitNormal)
{
    TGLBaseSceneObject *best = nullptr;
    float bestDistance = 1e20f;
    CastRayInto(*FObjects, RayOrigin, RayDirection, best, bestDistance, HitPoint, HitNormal);
    return best;
}

void TGLWorld::PrepareLights(int MaxLights)
{
    const TGLEntryTable &g = GL();
    g.glPushMatrix();
    const int n = std::min(MaxLights, 8);
    for (int slot = 0; slot < n; ++slot) {
        TGLLightSource *light = FLights[size_t(slot)];
        if (!light) {
            g.glDisable(gl::LIGHT0 + GLenum(slot));
            continue;
        }
        const GLenum id = light->LightSlot();
        if (!light->Shining()) {
            g.glDisable(id);
            continue;
        }
        g.glEnable(id);
        g.glPopMatrix();
        g.glPushMatrix();
        light->LocalMatrix();
        if (light->LightStyle() == lsParallel) {
            g.glMultMatrixf(&light->WorldMatrix()[0].X);
            g.glLightfv(id, gl::POSITION, &light->SpotDirection().AsVector().X);
        } else {
            const TMatrix4x4f &parent =
                light->Parent() ? light->Parent()->WorldMatrix() : IdentityHmgMatrix;
            g.glMultMatrixf(&parent[0].X);
            g.glLightfv(id, gl::POSITION, &light->Position().AsVector().X);
        }
        g.glLightfv(id, gl::AMBIENT, light->Ambient().ColorAddress());
        g.glLightfv(id, gl::DIFFUSE, light->Diffuse().ColorAddress());
        g.glLightfv(id, gl::SPECULAR, light->Specular().ColorAddress());
        if (light->LightStyle() == lsSpot) {
            if (light->SpotCutOff() != 180) {
                g.glLightfv(id, gl::SPOT_DIRECTION, &light->SpotDirection().AsVector().X);
                g.glLightf(id, gl::SPOT_EXPONENT, light->SpotExponent());
            }
            g.glLightf(id, gl::SPOT_CUTOFF, light->SpotCutOff());
        } else if (light->LightStyle() == lsOmni) {
            g.glLightf(id, gl::SPOT_CUTOFF, 180);
        }
        g.glLightf(id, gl::CONSTANT_ATTENUATION, light->ConstAttenuation());
        g.glLightf(id, gl::LINEAR_ATTENUATION, light->LinearAttenuation());
        g.glLightf(id, gl::QUADRATIC_ATTENUATION, light->QuadraticAttenuation());
    }
    g.glPopMatrix();
}

void TGLWorld::RenderFrame(TGLWorldBuffer &Buffer, int Width, int Height, TDrawState DrawState)
{
    ClearPolygonModeCache();
    ClearMaterialCache();
    ClearTextureBindCache();
    ClearFrontFace();
    FActiveBuffer = &Buffer;
    TGLCamera *camera = Buffer.Camera();
    TRenderContextInfo rci;
    rci.CameraPosition = Buffer.CameraPosition();
    rci.CameraDirection = camera->WorldDirection();
    HomogeneousNormalize(rci.CameraDirection);
    rci.ModelViewMatrix = &Buffer.ModelViewMatrix();
    rci.ViewportWidth = Width;
    rci.ViewportHeight = Height;
    rci.RenderResolution = Buffer.RenderResolution();
    rci.DrawState = DrawState;
    rci.ObjectsSorting = FObjectsSorting;
    rci.VisibilityCulling = FVisibilityCulling;
    rci.StateSet = Buffer.FStateSet;
    rci.FaceCulling = Buffer.FaceCulling();
    rci.IgnoreMaterials = Buffer.ContextOptions() & roNoColorBuffer;
    rci.ViewCone.CameraPosition = rci.CameraPosition;
    rci.ViewCone.CameraDirection = rci.CameraDirection;
    rci.ViewCone.ViewPortRadius = camera->ViewRadius();
    rci.ViewCone.FarClippingDistance = camera->NearPlaneDistance() + camera->DepthOfView();
    rci.Buffer = &Buffer;
    rci.Scene = this;
    const GLboolean on = rci.IgnoreMaterials ? 0 : 1;
    GL().glColorMask(on, on, on, on);
    struct TKeepStates {
        TGLWorldBuffer &B;
        TRenderContextInfo &R;
        ~TKeepStates() { B.FStateSet = R.StateSet; }
    } keep{Buffer, rci};
    Buffer.AfterEffects.clear();
    FObjects->Render(rci);
    for (TGLObjectAfterEffect *e : Buffer.AfterEffects)
        e->Render(&Buffer, rci);
    DisableCapability(rci.StateSet, TGLState::Blend);
    DisableCapability(rci.StateSet, TGLState::Texture2D);
}

// ---- fog ----

TGLFogEnvironment::TGLFogEnvironment(TGLWorldBuffer *Buffer)
    : TGLUpdateAbleObject(Buffer), FBuffer(Buffer), FFogColor(this, ColorBlack)
{
}

void TGLFogEnvironment::SignalChange(TObject *Sender)
{
    FChanged = true;
    TGLUpdateAbleObject::SignalChange(Sender);
}

void TGLFogEnvironment::AssignFrom(const TGLFogEnvironment &Source)
{
    FFogColor.AssignRGBA(Source.FFogColor.Color());
    FFogStart = Source.FFogStart;
    FFogEnd = Source.FFogEnd;
    FFogMode = Source.FFogMode;
    FFogDistance = Source.FFogDistance;
    FChanged = true;
}

void TGLFogEnvironment::Apply()
{
    // Sent to the context of the frame being drawn: a picture's context
    // during RenderBitmap, else the buffer's own.
    TGLContext *current = CurrentGLContext();
    if (!FChanged || (!current && !FBuffer->BufferContext()))
        return;
    TGLContext &context = current ? *current : *FBuffer->BufferContext();
    TGLActivation active(context);
    struct TDone {
        bool &Changed;
        ~TDone() { Changed = false; }
    } done{FChanged};
    const TGLEntryTable &g = GL();
    static constexpr GLenum modes[] = {gl::LINEAR, gl::EXP, gl::EXP2};
    g.glFogi(gl::FOG_MODE, GLint(modes[FFogMode]));
    if (FFogMode != fmLinear)
        g.glFogf(gl::FOG_DENSITY, FFogColor.Alpha());
    g.glFogfv(gl::FOG_COLOR, FFogColor.ColorAddress());
    g.glFogf(gl::FOG_START, FFogStart);
    g.glFogf(gl::FOG_END, FFogEnd);
    if (g.NVFogDistance) {
        static GLint driverMode = -1;
        if (FFogDistance == fdEyeRadial) {
            g.glFogi(gl::FOG_DISTANCE_MODE_NV, GLint(gl::EYE_RADIAL_NV));
        } else if (FFogDistance == fdEyePlane) {
            g.glFogi(gl::FOG_DISTANCE_MODE_NV, GLint(gl::EYE_PLANE_ABSOLUTE_NV));
        } else {
            if (driverMode < 0)
                g.glGetIntegerv(gl::FOG_DISTANCE_MODE_NV, &driverMode);
            g.glFogi(gl::FOG_DISTANCE_MODE_NV, driverMode);
        }
    }
}

} // namespace orv
