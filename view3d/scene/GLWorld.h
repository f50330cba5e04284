#pragma once
// The scene graph: scene objects in a tree (local transforms from position,
// direction, up and scale, cached absolute matrices, display lists), their
// rendering with culling and child order, cameras and lights, the scene
// TGLWorld with its light slots and buffers, and TGLWorldBuffer, the
// drawing surface of one viewer, which runs the render pass. OpenGL is
// reached only through the entry table; contexts come from the context
// manager. Changes climb from a property to its object, to the scene, to
// every buffer, whose viewer repaints: the scene never draws by itself.

#include "view3d/geometry/GeometryBB.h"
#include "view3d/geometry/VectorLists.h"
#include "view3d/scene/GLContext.h"
#include "view3d/scene/GLTexture.h"
#include "view3d/scene/RenderContextInfo.h"
#include "view3d/scene/XCollection.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orv {

class TGLWorld;
class TGLCamera;
class TGLLightSource;
class TGLWorldBuffer;

enum TTransformationMode { tmLocal, tmParentNoPos, tmParentWithPos };

// Object style flags, set by constructors.
enum TGLObjectStyle : uint8_t {
    osImmediateDraw = 1,       // no display list: the geometry is sent every draw
    osRestoresStateCaches = 2, // the state caches are reset after drawing
    osIgnoresDepthTest = 4,
    osNeverCulled = 8,
};

using TGLProgressEvent = std::function<void(TObject *Sender, double DeltaTime, double NewTime)>;

class TGLBaseSceneObject;

// ---- behaviours and effects (items of the node's two collections) ----

// Stream data: the version 0 only (another is an assertion failure).
class TGLBaseBehaviour : public TXCollectionItem {
public:
    using TXCollectionItem::TXCollectionItem;
    virtual void Advance(double DeltaTime, double NewTime) {}
    void WriteItemData(TVirtualWriter &Writer) const override;
    void ReadItemData(TVirtualReader &Reader) override;
    TGLBaseSceneObject *OwnerObject() const;
};

class TGLBehaviour : public TGLBaseBehaviour {
public:
    using TGLBaseBehaviour::TGLBaseBehaviour;
    std::string ItemTitle() const override { return "Behaviour"; }
};

class TGLObjectEffect : public TGLBehaviour {
public:
    using TGLBehaviour::TGLBehaviour;
    std::string ItemTitle() const override { return "Effect"; }
    virtual void Render(TGLWorldBuffer *Buffer, TRenderContextInfo &Rci) {}
};
class TGLObjectPreEffect : public TGLObjectEffect {
public:
    using TGLObjectEffect::TGLObjectEffect;
};
class TGLObjectPostEffect : public TGLObjectEffect {
public:
    using TGLObjectEffect::TGLObjectEffect;
};
// Rendered once the whole scene is drawn.
class TGLObjectAfterEffect : public TGLObjectEffect {
public:
    using TGLObjectEffect::TGLObjectEffect;
};

// Owner must be a scene object (assertion failure otherwise).
class TGLBehaviours : public TXCollection {
public:
    explicit TGLBehaviours(TGLBaseSceneObject *Owner);
    bool AcceptsClass(const TXCollectionItemClass &Class) const override; // no effects
    void Advance(double DeltaTime, double NewTime);

protected:
    std::string OwnerPath() const override;
};

class TGLObjectEffects : public TXCollection {
public:
    explicit TGLObjectEffects(TGLBaseSceneObject *Owner);
    bool AcceptsClass(const TXCollectionItemClass &Class) const override; // effects only
    void Advance(double DeltaTime, double NewTime);
    std::string OwnerPath() const override;
    void DrawPreEffects(TGLWorldBuffer *Buffer, TRenderContextInfo &Rci);
    // Post-effects now; after-effects queue in the buffer for the end of the frame.
    void DrawPostEffects(TGLWorldBuffer *Buffer, TRenderContextInfo &Rci);
};

class TGLBaseSceneObject : public TGLUpdateAbleComponent {
public:
    explicit TGLBaseSceneObject(TComponent *Owner = nullptr);
    // Frees the cameras below first, leaves the parent, frees the children.
    ~TGLBaseSceneObject() override;
    bool IsSceneObject() const override { return true; }
    uint8_t StyleFlags() const { return FStyle; }

    // ---- tree ----
    TGLBaseSceneObject *Parent() const { return FParent; }
    TGLWorld *Scene() const { return FScene; }
    int ChildCount() const { return int(FChildren.size()); }
    TGLBaseSceneObject *ChildAt(int Index) const { return FChildren.at(size_t(Index)); }
    int IndexInParent() const;
    void AppendChild(TGLBaseSceneObject *Child); // takes ownership
    void InsertChild(int Index, TGLBaseSceneObject *Child);
    // The child leaves (its Parent cleared, owned by the caller). With
    // KeepSubtree its own children move to this node, in order, at the end.
    void RemoveChild(TGLBaseSceneObject *Child, bool KeepSubtree);
    void FreeAllChildren();
    void MoveToParent(TGLBaseSceneObject *NewParent);
    void SetIndexInParent(int Index);
    template <class T> T *NewChild()
    {
        auto *c = new T(this);
        AppendChild(c);
        return c;
    }
    template <class T> T *NewChildFirst()
    {
        auto *c = new T(this);
        InsertChild(0, c);
        return c;
    }
    virtual void ReleaseHandle(); // the display list
    void ReleaseHandles();        // of the whole subtree

    // ---- transforms ----
    const TMatrix4x4f &LocalMatrix();
    void SetLocalMatrix(const TMatrix4x4f &M);
    const TMatrix4x4f &WorldMatrix();
    const TMatrix4x4f &InverseWorldMatrix();
    // Row 3 of the world matrix: where the object itself stands. Cameras aim
    // at and orbit about this, since a grouping node's WorldPosition is the
    // centre of its children (a camera below its target would aim at itself).
    TVector4f AbsolutePosition() { return WorldMatrix()[3]; }
    virtual TVector4f WorldPosition();
    TVector4f WorldUp();
    TVector4f WorldToLocal(const TVector4f &V);
    TVector4f LocalToWorld(const TVector4f &V);

    TGLCoordinates &Position() { return FPosition; }
    TGLCoordinates &Direction() { return FDirection; }
    TGLCoordinates &Up() { return FUp; }
    TGLCoordinates &Scale() { return FScale; }
    void SetPosition(const TVector4f &V) { FPosition.AssignPoint(V.X, V.Y, V.Z); }
    void SetDirection(const TVector4f &V); // a null vector is ignored
    void SetUp(const TVector4f &V);        // a null vector is ignored
    void SetScale(const TVector4f &V);
    float PitchAngle() const { return FRotation.X(); } // degrees
    float TurnAngle() const { return FRotation.Y(); }
    float RollAngle() const { return FRotation.Z(); }
    void SetPitchAngle(float Degrees);
    void SetTurnAngle(float Degrees);
    void SetRollAngle(float Degrees);
    TTransformationMode TransformationMode() const { return FTransformationMode; }
    void SetTransformationMode(TTransformationMode M) { FTransformationMode = M; }
    // Moves about Target's position by angles in degrees; the pitch stays
    // 0.025 rad away from the poles.
    void OrbitAround(TGLBaseSceneObject *Target, float PitchStep, float TurnStep);

    // ---- properties ----
    bool Visible() const { return FVisible; }
    void SetVisible(bool V);
    bool ShowAxes() const { return FShowAxes; }
    void SetShowAxes(bool V);
    TGLObjectsSorting ObjectsSorting() const { return FObjectsSorting; }
    void SetObjectsSorting(TGLObjectsSorting V);
    TGLVisibilityCulling VisibilityCulling() const { return FVisibilityCulling; }
    void SetVisibilityCulling(TGLVisibilityCulling V);
    float TagFloat = 0;
    TGLProgressEvent OnProgress;
    TGLBehaviours &Behaviours(); // made on first use
    TGLObjectEffects &Effects();
    bool HasEffects() const { return FEffects && FEffects->Count() > 0; }
    // The "BehavioursData" and "EffectsData" form properties: empty unless
    // the collection exists and holds an item.
    std::string BehavioursData() const;
    std::string EffectsData() const;
    void ReadBehavioursData(const std::string &Data) { Behaviours().LoadFromText(Data); }
    void ReadEffectsData(const std::string &Data) { Effects().LoadFromText(Data); }

    // ---- geometry queries ----
    virtual TVector4f HalfExtents();
    float EnclosingRadius();
    virtual bool ContainsPoint(const TVector4f &Point);
    virtual bool RayHit(const TVector4f &RayOrigin, const TVector4f &RayDirection,
                        TVector4f *HitPoint, TVector4f *HitNormal);
    TCornerBox BoundingBox();
    TAxisBox AxisAlignedBox();
    float DistanceToCameraSquared(const TRenderContextInfo &Rci);
    virtual bool HasBlending() const { return false; }

    // ---- updates and changes ----
    virtual void EnterUpdate();
    // EAssertionFailed "Unbalanced Begin/EndUpdate" when none is held.
    virtual void LeaveUpdate();
    bool IsUpdating() const { return FUpdateCount > 0; }
    void SignalChange(TObject *Sender) override;
    void TransformChanged(TObject *Sender) override;
    void GeometryChanged() override;
    void InvalidateLocalMatrix();
    void RebuildLocalMatrix();
    bool ListStale() const { return FChanges & cListStale; }
    void ReportProgress(double DeltaTime, double NewTime) override;

    // ---- rendering ----
    void Render(TRenderContextInfo &Rci);
    virtual void RenderObject(TRenderContextInfo &Rci, bool DrawSelf, bool DrawChildren);
    virtual GLuint CompiledListHandle(TRenderContextInfo &Rci);
    virtual void RenderChildRange(int First, int Last, TRenderContextInfo &Rci);
    virtual void CompileGeometry(TRenderContextInfo &Rci) {}
    static void RenderAxes(uint16_t Pattern, float Length);
    const TGLListHandle &ListHandle() const { return FListHandle; }

protected:
    // Into another scene object: its handles go, it takes the visibility,
    // local matrix, axes, sorting, culling, angles, transformation mode,
    // progress event, behaviours, effects and tags, this object's scene,
    // and copies of the children (each of its own class, which must be
    // registered: EClassNotFound otherwise); its own children are freed.
    void AssignTo(TPersistent &Dest) const override;
    static constexpr uint8_t cLocalMatrixStale = 1, cWorldMatrixStale = 2,
                             cInverseMatrixStale = 4, cListStale = 8;
    uint8_t FStyle = 0;
    uint8_t FChanges = cLocalMatrixStale | cWorldMatrixStale | cInverseMatrixStale | cListStale;
    void DrawGeometry(TRenderContextInfo &Rci);

private:
    friend class TGLWorld;
    void SetAngle(int Index, float Degrees);
    void InvalidateWorldMatrices();
    void SetSceneRecursive(TGLWorld *Scene);
    void FreeCameraDescendants();
    void FixOrthonormal(TObject *Sender);
    void FrameVectors(TVector4f &Up, TVector4f &Direction);
    void RenderSorted(int First, int Last, TRenderContextInfo &Rci);

    TMatrix4x4f FLocalMatrix;
    std::unique_ptr<TMatrix4x4f[]> FWorldMatrices; // world, inverse
    TGLListHandle FListHandle;
    TGLCoordinates FPosition, FDirection, FUp, FScale, FRotation;
    TGLBaseSceneObject *FParent = nullptr;
    TGLWorld *FScene = nullptr;
    std::vector<TGLBaseSceneObject *> FChildren; // owned
    bool FVisible = true;
    int FUpdateCount = 0;
    bool FShowAxes = false;
    bool FInTransformChange = false;
    TTransformationMode FTransformationMode = tmLocal;
    TGLObjectsSorting FObjectsSorting = osInherited;
    TGLVisibilityCulling FVisibilityCulling = vcInherited;
    TSingleList FSortKeys;
    std::unique_ptr<TGLBehaviours> FBehaviours;
    std::unique_ptr<TGLObjectEffects> FEffects;
};

// The two roots of every scene.
class TGLWorldRootObject : public TGLBaseSceneObject {
public:
    explicit TGLWorldRootObject(TComponent *Owner = nullptr);
};

// A scene object with a material applied around its geometry.
class TGLCustomSceneObject : public TGLBaseSceneObject {
public:
    explicit TGLCustomSceneObject(TComponent *Owner = nullptr);
    TGLMaterial &Material() { return FMaterial; }
    std::string Hint;
    bool HasBlending() const override { return FMaterial.BlendingMode() != bmOpaque; }
    void RenderObject(TRenderContextInfo &Rci, bool DrawSelf, bool DrawChildren) override;
    void ReleaseHandle() override;

protected:
    void AssignTo(TPersistent &Dest) const override; // also the material and the hint

private:
    TGLMaterial FMaterial;
};

class TGLImmaterialSceneObject : public TGLCustomSceneObject {
public:
    using TGLCustomSceneObject::TGLCustomSceneObject;
};

class TGLWorldObject : public TGLImmaterialSceneObject {
public:
    using TGLImmaterialSceneObject::TGLImmaterialSceneObject;
};

// Draws what its OnRender sends, every frame, or once into a list with
// UseBuildList. The program itself makes none.
class TDirectOpenGL : public TGLImmaterialSceneObject {
public:
    explicit TDirectOpenGL(TComponent *Owner = nullptr);
    bool UseBuildList() const { return !(FStyle & osImmediateDraw); }
    void SetUseBuildList(bool Value);
    std::function<void(TRenderContextInfo &Rci)> OnRender;
    void CompileGeometry(TRenderContextInfo &Rci) override;

protected:
    void AssignTo(TPersistent &Dest) const override; // also UseBuildList
};

enum TGLProxyObjectOption : unsigned {
    pooEffects = 1,        // the master's post-effects after the proxy
    pooObjects = 2,        // the master (and its children) drawn in the proxy's place
    pooTransformation = 4, // with the master's own local transform
};

// Draws its master object again in its own place, with its own children
// after it. A proxy inside its master's subtree draws nothing there (the
// guard against drawing itself for ever). The program itself makes none.
class TGLProxyObject : public TGLBaseSceneObject {
public:
    explicit TGLProxyObject(TComponent *Owner = nullptr);
    ~TGLProxyObject() override;
    TGLBaseSceneObject *MasterObject() const { return FMaster; }
    void SetMasterObject(TGLBaseSceneObject *Master);
    unsigned ProxyOptions() const { return FOptions; }
    void SetProxyOptions(unsigned Options); // TGLProxyObjectOption bits
    // A scene object is being freed: the master that goes is forgotten.
    void Notification(TGLBaseSceneObject *Freed);
    // The master's, times the proxy's own scale; the node's own without a master.
    TVector4f HalfExtents() override;
    void RenderObject(TRenderContextInfo &Rci, bool DrawSelf, bool DrawChildren) override;

protected:
    void AssignTo(TPersistent &Dest) const override; // also the master

private:
    TGLBaseSceneObject *FMaster = nullptr;
    unsigned FOptions = pooEffects | pooObjects | pooTransformation;
    bool FRendering = false;
};

enum TGLCameraStyle { csPerspective, csOrthogonal, csOrtho2D, csCustom };
using TOnCustomPerspective = std::function<void(const int Viewport[4], int Width, int Height,
                                                int Dpi, float &ViewRadius)>;

class TGLCamera : public TGLBaseSceneObject {
public:
    explicit TGLCamera(TComponent *Owner = nullptr);
    ~TGLCamera() override;
    float FocalLength() const { return FFocalLength; }
    void SetFocalLength(float Value); // <= 0 stores 1
    float DepthOfView() const { return FDepthOfView; }
    void SetDepthOfView(float Value);
    float SceneScale() const { return FSceneScale; }
    void SetSceneScale(float Value); // 0 stores 1
    TGLCameraStyle CameraStyle() const { return FCameraStyle; }
    void SetCameraStyle(TGLCameraStyle Value);
    TGLBaseSceneObject *TargetObject() const { return FTarget; }
    void SetTargetObject(TGLBaseSceneObject *Target);
    float NearPlaneDistance() const { return FNearPlane; }
    float ViewRadius() const { return FViewRadius; }
    const TVector4f &WorldDirection() const { return FWorldDirection; }
    TNotifyEvent OnCustomView;
    TOnCustomPerspective OnCustomPerspective;

    // Viewport: left, top, width, height; Dpi: the buffer's resolution.
    void ApplyProjection(const int Viewport[4], int Width, int Height, int Dpi);
    void Apply();
    void OrbitTarget(float PitchStep, float TurnStep) { OrbitAround(FTarget, PitchStep, TurnStep); }
    void ScaleTargetDistance(float Factor);
    // The target was freed: forget it.
    void TargetFreed(TGLBaseSceneObject *Target);

    bool RayHit(const TVector4f &, const TVector4f &, TVector4f *, TVector4f *) override
    {
        return false;
    }
    void RenderObject(TRenderContextInfo &Rci, bool DrawSelf, bool DrawChildren) override;

private:
    float FFocalLength = 50, FDepthOfView = 100, FNearPlane = 0, FViewRadius = 0;
    TGLBaseSceneObject *FTarget = nullptr;
    TVector4f FWorldDirection;
    TGLCameraStyle FCameraStyle = csPerspective;
    float FSceneScale = 1;
};

enum TLightStyle { lsSpot, lsOmni, lsParallel };

class TGLLightSource : public TGLBaseSceneObject {
public:
    explicit TGLLightSource(TComponent *Owner = nullptr);
    ~TGLLightSource() override;
    GLenum LightSlot() const { return FLightSlot; } // 0 while it has none
    TGLCoordinates &SpotDirection() { return FSpotDirection; }
    TGLColor &Ambient() { return FAmbient; }
    TGLColor &Diffuse() { return FDiffuse; }
    TGLColor &Specular() { return FSpecular; }
    bool Shining() const { return FShining; }
    void SetShining(bool V) { Store(FShining, V); }
    float SpotExponent() const { return FSpotExponent; }
    void SetSpotExponent(float V) { Store(FSpotExponent, V); }
    float SpotCutOff() const { return FSpotCutOff; }
    void SetSpotCutOff(float V) { Store(FSpotCutOff, V); }
    float ConstAttenuation() const { return FConst; }
    void SetConstAttenuation(float V) { Store(FConst, V); }
    float LinearAttenuation() const { return FLinear; }
    void SetLinearAttenuation(float V) { Store(FLinear, V); }
    float QuadraticAttenuation() const { return FQuadratic; }
    void SetQuadraticAttenuation(float V) { Store(FQuadratic, V); }
    TLightStyle LightStyle() const { return FLightStyle; }
    void SetLightStyle(TLightStyle V) { Store(FLightStyle, V); }

    GLuint CompiledListHandle(TRenderContextInfo &) override { return 0; }
    bool RayHit(const TVector4f &, const TVector4f &, TVector4f *, TVector4f *) override
    {
        return false;
    }
    void RenderObject(TRenderContextInfo &Rci, bool DrawSelf, bool DrawChildren) override;
    void TransformChanged(TObject *Sender) override;

private:
    friend class TGLWorld;
    template <class T> void Store(T &Field, T Value)
    {
        if (StoreChanged(Field, Value))
            SignalChange(this);
    }
    GLenum FLightSlot = 0;
    TGLCoordinates FSpotDirection;
    float FSpotExponent = 0, FSpotCutOff = 180, FConst = 1, FLinear = 0, FQuadratic = 0;
    bool FShining = true;
    TGLColor FAmbient, FDiffuse, FSpecular;
    TLightStyle FLightStyle = lsSpot;
};

// ---- the scene ----

class TGLWorld : public TGLUpdateAbleComponent {
public:
    explicit TGLWorld(TComponent *Owner = nullptr);
    ~TGLWorld() override;

    TGLWorldRootObject &Objects() { return *FObjects; }
    TGLWorldRootObject &Cameras() { return *FCameras; }
    TGLContext *SharedContext() const { return FSharedContext; }
    TGLLightSource *Light(int Slot) const { return FLights[size_t(Slot)]; }
    const std::vector<TGLWorldBuffer *> &Buffers() const { return FBuffers; }
    TGLCamera *ActiveCamera() const { return FActiveCamera; }
    TGLWorldBuffer *ActiveBuffer() const { return FActiveBuffer; }
    void SetActiveCamera(TGLCamera *Camera) { FActiveCamera = Camera; }

    TGLObjectsSorting ObjectsSorting() const { return FObjectsSorting; }
    void SetObjectsSorting(TGLObjectsSorting V); // osInherited stores osRenderBlendedLast
    TGLVisibilityCulling VisibilityCulling() const { return FVisibilityCulling; }
    void SetVisibilityCulling(TGLVisibilityCulling V); // vcInherited stores vcNone
    TGLProgressEvent OnProgress;

    // A ninth light gets no slot and never shines.
    void RegisterLight(TGLLightSource *Light);
    void UnregisterLight(TGLLightSource *Light);
    void RegisterBuffer(TGLWorldBuffer *Buffer);
    void UnregisterBuffer(TGLWorldBuffer *Buffer);
    void BeginUpdate();
    void EndUpdate(); // EAssertionFailed "Assertion failure" when none is held
    bool IsUpdating() const { return FUpdateCount > 0 || FDestroying; }
    // Every registered buffer hears it, unless updates are held.
    void SignalChange(TObject *Sender) override;
    TGLBaseSceneObject *CastRay(const TVector4f &RayOrigin, const TVector4f &RayDirection,
                                TVector4f *HitPoint, TVector4f *HitNormal);
    void PrepareLights(int MaxLights);
    void RenderFrame(TGLWorldBuffer &Buffer, int Width, int Height, TDrawState DrawState);

private:
    int FUpdateCount = 0;
    bool FDestroying = false;
    std::unique_ptr<TGLWorldRootObject> FObjects, FCameras;
    TGLContext *FSharedContext = nullptr;
    std::vector<TGLLightSource *> FLights = std::vector<TGLLightSource *>(8, nullptr);
    std::vector<TGLWorldBuffer *> FBuffers;
    TGLCamera *FActiveCamera = nullptr;
    TGLWorldBuffer *FActiveBuffer = nullptr;
    TGLObjectsSorting FObjectsSorting = osRenderBlendedLast;
    TGLVisibilityCulling FVisibilityCulling = vcNone;
};

enum TFogMode { fmLinear, fmExp, fmExp2 };
enum TFogDistance { fdDefault, fdEyeRadial, fdEyePlane };

class TGLFogEnvironment : public TGLUpdateAbleObject {
public:
    explicit TGLFogEnvironment(TGLWorldBuffer *Buffer);
    TGLColor &FogColor() { return FFogColor; }
    float FogStart() const { return FFogStart; }
    void SetFogStart(float V) { Store(FFogStart, V); }
    float FogEnd() const { return FFogEnd; }
    void SetFogEnd(float V) { Store(FFogEnd, V); }
    TFogMode FogMode() const { return FFogMode; }
    void SetFogMode(TFogMode V) { Store(FFogMode, V); }
    TFogDistance FogDistance() const { return FFogDistance; }
    void SetFogDistance(TFogDistance V) { Store(FFogDistance, V); }
    bool Changed() const { return FChanged; }
    void MarkChanged() { FChanged = true; } // the settings go again to the next context
    void SignalChange(TObject *Sender) override;
    void AssignFrom(const TGLFogEnvironment &Source);
    // Sends the settings when they changed and the buffer has a context.
    void Apply();

private:
    template <class T> void Store(T &Field, T Value)
    {
        if (StoreChanged(Field, Value))
            SignalChange(this);
    }
    TGLWorldBuffer *FBuffer;
    TGLColor FFogColor;
    float FFogStart = 10, FFogEnd = 1000;
    TFogMode FFogMode = fmLinear;
    TFogDistance FFogDistance = fdDefault;
    bool FChanged = true;
};

enum TGLShadeModel { smDefault, smSmooth, smFlat };
enum TGLDepthPrecision { dpDefault, dp16bits, dp24bits, dp32bits };
enum TGLColorDepth { cdDefault, cd8bits, cd16bits, cd24bits };
enum TContextOption : unsigned {
    roDoubleBuffer = 1, roStencilBuffer = 2, roRenderToWindow = 4, roTwoSideLighting = 8,
    roStereo = 16, roDestinationAlpha = 32, roNoColorBuffer = 64
};

// Where RenderBitmap draws: the platform's picture with its device context.
class TGLBitmapTarget {
public:
    virtual ~TGLBitmapTarget() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual int BitsPerPixel() const = 0; // 0: device-dependent
    virtual int PixelsPerInch() const = 0;
    virtual void *DeviceContext() = 0;
};

class TGLWorldBuffer : public TGLUpdateAbleObject {
public:
    explicit TGLWorldBuffer(TPersistent *Owner);
    ~TGLWorldBuffer() override;

    TGLContext *BufferContext() const { return FContext.get(); }
    bool Rendering() const { return FRendering; }
    // Memory: an off-screen context of the viewport's size. Errors of the
    // context pass on after the half-made context is freed; no context
    // class: "Failed to create RenderingContext."
    void CreateBufferContext(void *DeviceContext, bool Memory = false);
    void FreeBufferContext();
    void Resize(int Width, int Height); // each at least 1
    void SetViewPort(int Left, int Top, int Width, int Height);
    const int *ViewPort() const { return FViewPort; }
    TGLCamera *Camera() const { return FCamera; }
    void SetCamera(TGLCamera *Camera); // a camera outside any scene is refused
    // One frame: nothing while a frame is drawn or without a context.
    void Render();
    // Into a picture (dpi 0: the target's own); "Already rendering" during a frame.
    void RenderBitmap(TGLBitmapTarget &Target, int Dpi);
    int ImplementationLimit(int Limit);
    void ResetFrameStatistics();
    void SignalChange(TObject *Sender) override; // fires OnChange instead of climbing

    bool FaceCulling() const { return FFaceCulling; }
    void SetFaceCulling(bool V) { Store(FFaceCulling, V); }
    bool FogEnable() const { return FFogEnable; }
    void SetFogEnable(bool V) { Store(FFogEnable, V); }
    bool Lighting() const { return FLighting; }
    void SetLighting(bool V) { Store(FLighting, V); }
    bool DepthTest() const { return FDepthTest; }
    void SetDepthTest(bool V) { Store(FDepthTest, V); }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor V) { Store(FBackgroundColor, V); }
    TGLShadeModel ShadeModel() const { return FShadeModel; }
    void SetShadeModel(TGLShadeModel V) { Store(FShadeModel, V); }
    TGLAntiAliasing AntiAliasing() const { return FAntiAliasing; }
    void SetAntiAliasing(TGLAntiAliasing V) { Structural(FAntiAliasing, V); }
    TGLDepthPrecision DepthPrecision() const { return FDepthPrecision; }
    void SetDepthPrecision(TGLDepthPrecision V) { Structural(FDepthPrecision, V); }
    TGLColorDepth ColorDepth() const { return FColorDepth; }
    void SetColorDepth(TGLColorDepth V) { Structural(FColorDepth, V); }
    unsigned ContextOptions() const { return FContextOptions; }
    void SetContextOptions(unsigned V) { Structural(FContextOptions, V); }
    TGLFogEnvironment &FogEnvironment() { return FFog; }
    int RenderResolution() const { return FRenderResolution; }
    TGLStates StateSet() const { return FStateSet; }
    const TMatrix4x4f &ProjectionMatrix() const { return FProjectionMatrix; }
    const TMatrix4x4f &ModelViewMatrix() const { return FModelViewMatrix; }
    const TVector4f &CameraPosition() const { return FCameraPosition; }
    // Effects to render once the whole scene is drawn (this frame).
    std::vector<TGLObjectAfterEffect *> AfterEffects;

    int FrameCount() const { return FFrameCount; }
    uint64_t FrameTicks() const { return FFrameTicks; }
    float FrameRate() const { return FFrameRate; }

    TNotifyEvent OnChange, OnStructuralChange, OnPrepareContext;
    TNotifyEvent BeforeRender, PostRender, AfterRender;
    // The performance counter (ticks) and its frequency; a test may replace them.
    std::function<int64_t()> QueryCounter;
    int64_t CounterFrequency = 0;

private:
    friend class TGLWorld;
    template <class T> void Store(T &Field, T Value)
    {
        if (StoreChanged(Field, Value))
            SignalChange(this);
    }
    template <class T> void Structural(T &Field, T Value)
    {
        if (StoreChanged(Field, Value) && OnStructuralChange)
            OnStructuralChange(this);
    }
    void SetContextAttributes(TGLContext &Context);
    void PrepareFrameState();
    void ClearBuffers();
    void SendClearColor();
    void ApplyCamera(const int Viewport[4], int Dpi);
    void RenderFrame(const int Viewport[4], int Dpi, TDrawState DrawState);
    void CountFrame();
    void Fire(const TNotifyEvent &Event);

    TGLStates FStateSet = 0;
    bool FRendering = false;
    std::unique_ptr<TGLContext> FContext;
    TMatrix4x4f FProjectionMatrix, FModelViewMatrix, FProjectionPrefix;
    TVector4f FCameraPosition;
    int FViewPort[4] = {0, 0, 1, 1};
    bool FFaceCulling = true, FFogEnable = false, FLighting = true, FDepthTest = true;
    TColor FBackgroundColor = clBtnFace;
    TGLAntiAliasing FAntiAliasing = aaDefault;
    TGLDepthPrecision FDepthPrecision = dpDefault;
    TGLColorDepth FColorDepth = cdDefault;
    unsigned FContextOptions = roDoubleBuffer | roRenderToWindow;
    TGLShadeModel FShadeModel = smDefault;
    int FRenderResolution = 96;
    TGLFogEnvironment FFog;
    TGLCamera *FCamera = nullptr;
    int FFrameCount = 0;
    uint64_t FFrameTicks = 0; // 64 bits: a nanosecond counter wraps 32 bits in seconds
    float FFrameRate = 0;
    int64_t FLastFrameCounter = 0;
};

// ---- viewers without a window (the program itself makes none) ----

// Owns a buffer that shows its camera's scene without a window. Width and
// Height default to 256; a value of 0 or less becomes 1. The events
// BeforeRender, PostRender and AfterRender are the buffer's. A change of
// the buffer's context attributes frees the context: the next frame makes
// it again.
class TGLNonVisualViewer : public TComponent {
public:
    explicit TGLNonVisualViewer(TComponent *Owner = nullptr);
    ~TGLNonVisualViewer() override;
    TGLWorldBuffer &Buffer() { return FBuffer; }
    TGLCamera *Camera() const { return FBuffer.Camera(); }
    void SetCamera(TGLCamera *Camera) { FBuffer.SetCamera(Camera); }
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Draws one frame into the viewer's surface.
    virtual void Render() = 0;
    // Copies the last frame (Width x Height from the lower left corner)
    // into the texture: into its texture object when that is at least as
    // large, else the texture's image becomes the frame and is sent again.
    // Nothing without a context.
    void CopyToTexture(TGLTexture &Texture);

protected:
    virtual void BufferChanged(TObject *Sender) {}
    virtual void BufferStructuralChange(TObject *Sender) { FBuffer.FreeBufferContext(); }
    virtual void PrepareContext(TObject *Sender) {}

private:
    TGLWorldBuffer FBuffer;
    int FWidth = 256, FHeight = 256;
};

// Draws into an off-screen context of its own (a framebuffer object on an
// offscreen surface), made at the first frame at the viewer's size and
// made again when the size has changed.
class TGLMemoryViewer : public TGLNonVisualViewer {
public:
    explicit TGLMemoryViewer(TComponent *Owner = nullptr) : TGLNonVisualViewer(Owner) {}
    void Render() override;

private:
    int FContextWidth = 0, FContextHeight = 0;
};

} // namespace orv
