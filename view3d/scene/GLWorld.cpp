// The scene-object tree: ownership, transforms and change propagation.
#include "view3d/scene/GLWorld.h"

#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"
#include "view3d/scene/GLObjects.h"
#include "view3d/scene/GLWorldRegistry.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr TVector4f cDefaultDirection = {0, 0, 1, 0}, cDefaultUp = {0, 1, 0, 0};

bool IsNull(const TVector4f &V) { return V.X == 0 && V.Y == 0 && V.Z == 0; }

// Right = A x B, with the two fall-backs when A and B are (nearly) parallel.
TVector4f RightOf(const TVector4f &A, const TVector4f &B)
{
    TVector4f right = HomogeneousCross(A, B);
    if (HomogeneousLength(right) < 1e-5)
        right = HomogeneousCross({0, 0, 1, 0}, B);
    if (HomogeneousLength(right) < 1e-5)
        right = HomogeneousCross({1, 0, 0, 0}, B);
    return right;
}

} // namespace

// ---- construction and the tree ----

TGLBaseSceneObject::TGLBaseSceneObject(TComponent *Owner)
    : TGLUpdateAbleComponent(Owner), FLocalMatrix(IdentityHmgMatrix),
      FPosition(this, NullHmgPoint, ckPoint), FDirection(this, cDefaultDirection, ckVector),
      FUp(this, cDefaultUp, ckVector), FScale(this, {1, 1, 1, 0}, ckVector),
      FRotation(this, {0, 0, 0, 0}, ckVector)
{
}

TGLBaseSceneObject::~TGLBaseSceneObject()
{
    FreeCameraDescendants();
    SceneObjectFreed(this);
    FEffects.reset();
    FBehaviours.reset();
    FListHandle.ReleaseHandle();
    if (FParent)
        FParent->RemoveChild(this, false);
    FreeAllChildren();
}

int TGLBaseSceneObject::IndexInParent() const
{
    if (!FParent)
        return -1;
    auto &c = FParent->FChildren;
    return int(std::find(c.begin(), c.end(), this) - c.begin());
}

void TGLBaseSceneObject::AppendChild(TGLBaseSceneObject *Child)
{
    if (Child->FParent)
        Child->FParent->RemoveChild(Child, false);
    if (FScene)
        if (auto *light = dynamic_cast<TGLLightSource *>(Child))
            FScene->RegisterLight(light);
    FChildren.push_back(Child);
    Child->FParent = this;
    Child->SetSceneRecursive(FScene);
    InvalidateLocalMatrix();
}

void TGLBaseSceneObject::InsertChild(int Index, TGLBaseSceneObject *Child)
{
    if (Child->FParent)
        Child->FParent->RemoveChild(Child, false);
    Index = std::clamp(Index, 0, ChildCount());
    FChildren.insert(FChildren.begin() + Index, Child);
    Child->FParent = this;
    if (Child->FScene != FScene)
        Child->ReleaseHandles();
    Child->SetSceneRecursive(FScene);
    if (FScene)
        if (auto *light = dynamic_cast<TGLLightSource *>(Child))
            FScene->RegisterLight(light);
    InvalidateLocalMatrix();
}

void TGLBaseSceneObject::RemoveChild(TGLBaseSceneObject *Child, bool KeepSubtree)
{
    auto it = std::find(FChildren.begin(), FChildren.end(), Child);
    if (it == FChildren.end())
        return;
    if (FScene)
        if (auto *light = dynamic_cast<TGLLightSource *>(Child))
            FScene->UnregisterLight(light);
    FChildren.erase(it);
    Child->FParent = nullptr;
    if (KeepSubtree) {
        EnterUpdate();
        while (Child->ChildCount() > 0)
            Child->ChildAt(0)->MoveToParent(this);
        LeaveUpdate();
    } else {
        SignalChange(this);
    }
}

void TGLBaseSceneObject::FreeAllChildren()
{
    FreeCameraDescendants();
    while (!FChildren.empty()) {
        TGLBaseSceneObject *c = FChildren.back();
        FChildren.pop_back();
        if (FScene)
            if (auto *light = dynamic_cast<TGLLightSource *>(c))
                FScene->UnregisterLight(light);
        c->FParent = nullptr;
        delete c;
    }
}

void TGLBaseSceneObject::FreeCameraDescendants()
{
    for (size_t i = 0; i < FChildren.size();) {
        TGLBaseSceneObject *c = FChildren[i];
        c->FreeCameraDescendants();
        if (dynamic_cast<TGLCamera *>(c)) {
            RemoveChild(c, true); // its children stay with this node
            delete c;
            continue;
        }
        ++i;
    }
}

void TGLBaseSceneObject::MoveToParent(TGLBaseSceneObject *NewParent)
{
    if (FParent)
        FParent->RemoveChild(this, false);
    if (NewParent)
        NewParent->AppendChild(this);
    else
        SetSceneRecursive(nullptr);
}

void TGLBaseSceneObject::SetIndexInParent(int Index)
{
    if (!FParent)
        return;
    Index = std::clamp(Index, 0, FParent->ChildCount() - 1);
    if (Index == IndexInParent())
        return;
    TGLWorld *scene = FScene;
    if (scene)
        scene->BeginUpdate();
    TGLBaseSceneObject *parent = FParent;
    parent->RemoveChild(this, false);
    parent->InsertChild(Index, this);
    if (scene)
        scene->EndUpdate();
}

void TGLBaseSceneObject::SetSceneRecursive(TGLWorld *Scene)
{
    if (Scene == FScene)
        return;
    ReleaseHandles();
    FScene = Scene;
    for (TGLBaseSceneObject *c : FChildren)
        c->SetSceneRecursive(Scene);
}

void TGLBaseSceneObject::ReleaseHandle() { FListHandle.ReleaseHandle(); }

void TGLBaseSceneObject::ReleaseHandles()
{
    for (TGLBaseSceneObject *c : FChildren)
        c->ReleaseHandles();
    ReleaseHandle();
}

// ---- transforms ----

void TGLBaseSceneObject::RebuildLocalMatrix()
{
    const TVector4f right = HomogeneousCross(FUp.AsVector(), FDirection.AsVector());
    FLocalMatrix[0] = HomogeneousScaled(right, FScale.X());
    FLocalMatrix[1] = HomogeneousScaled(FUp.AsVector(), FScale.Y());
    FLocalMatrix[2] = HomogeneousScaled(FDirection.AsVector(), FScale.Z());
    FLocalMatrix[0].W = FLocalMatrix[1].W = FLocalMatrix[2].W = 0;
    FLocalMatrix[3] = FPosition.AsVector();
    FLocalMatrix[3].W = 1;
    FChanges &= uint8_t(~cLocalMatrixStale);
}

const TMatrix4x4f &TGLBaseSceneObject::LocalMatrix()
{
    if (FChanges & cLocalMatrixStale)
        RebuildLocalMatrix();
    return FLocalMatrix;
}

void TGLBaseSceneObject::SetLocalMatrix(const TMatrix4x4f &M)
{
    FLocalMatrix = M;
    *FDirection.CoordsAddress() = HomogeneousNormalized(M[2]);
    *FUp.CoordsAddress() = HomogeneousNormalized(M[1]);
    *FScale.CoordsAddress() = {float(AffineLength(AffinePart(M[0]))),
                               float(AffineLength(AffinePart(M[1]))),
                               float(AffineLength(AffinePart(M[2]))), 0};
    *FPosition.CoordsAddress() = M[3];
    InvalidateLocalMatrix();
}

const TMatrix4x4f &TGLBaseSceneObject::WorldMatrix()
{
    if (!FWorldMatrices)
        FWorldMatrices.reset(new TMatrix4x4f[2]{IdentityHmgMatrix, IdentityHmgMatrix});
    if (FChanges & cWorldMatrixStale) {
        const TMatrix4x4f &local = LocalMatrix();
        if (!FParent || dynamic_cast<TGLWorldRootObject *>(FParent))
            FWorldMatrices[0] = local;
        else
            FWorldMatrices[0] = MatrixProduct(local, FParent->WorldMatrix());
        FChanges &= uint8_t(~cWorldMatrixStale);
        FChanges |= cInverseMatrixStale;
    }
    return FWorldMatrices[0];
}

const TMatrix4x4f &TGLBaseSceneObject::InverseWorldMatrix()
{
    WorldMatrix();
    if (FChanges & cInverseMatrixStale) {
        if (FScale.X() == 1 && FScale.Y() == 1 && FScale.Z() == 1) {
            TMatrix4x4f inverse = InvertRigidMatrix(LocalMatrix());
            if (FParent && !dynamic_cast<TGLWorldRootObject *>(FParent))
                inverse = MatrixProduct(FParent->InverseWorldMatrix(), inverse);
            FWorldMatrices[1] = inverse;
        } else {
            FWorldMatrices[1] = FWorldMatrices[0];
            MatrixInverse(FWorldMatrices[1]);
        }
        FChanges &= uint8_t(~cInverseMatrixStale);
    }
    return FWorldMatrices[1];
}

TVector4f TGLBaseSceneObject::WorldPosition() { return AbsolutePosition(); }

TVector4f TGLBaseSceneObject::WorldUp()
{
    TVector4f up = WorldMatrix()[1];
    HomogeneousNormalize(up);
    return up;
}

TVector4f TGLBaseSceneObject::WorldToLocal(const TVector4f &V)
{
    return TransformByMatrix(V, InverseWorldMatrix());
}

TVector4f TGLBaseSceneObject::LocalToWorld(const TVector4f &V)
{
    return TransformByMatrix(V, WorldMatrix());
}

void TGLBaseSceneObject::SetDirection(const TVector4f &V)
{
    if (!IsNull(V))
        FDirection.AssignXYZ(V.X, V.Y, V.Z);
}

void TGLBaseSceneObject::SetUp(const TVector4f &V)
{
    if (!IsNull(V))
        FUp.AssignXYZ(V.X, V.Y, V.Z);
}

void TGLBaseSceneObject::SetScale(const TVector4f &V)
{
    FScale.AssignXYZ(V.X, V.Y, V.Z);
    InvalidateLocalMatrix();
}

void TGLBaseSceneObject::FrameVectors(TVector4f &Up, TVector4f &Direction)
{
    if (FTransformationMode != tmLocal && FParent) {
        Up = FParent->FUp.AsVector();
        Direction = FParent->FDirection.AsVector();
    } else {
        Up = FUp.AsVector();
        Direction = FDirection.AsVector();
    }
}

// Index 0 pitch (about Direction x Up), 1 turn (about Up), 2 roll (about Direction).
void TGLBaseSceneObject::SetAngle(int Index, float Degrees)
{
    const float old = FRotation.AsVector()[Index];
    if (old == Degrees)
        return;
    TVector4f up, direction;
    FrameVectors(up, direction);
    TAffineVec3f axis;
    if (Index == 0)
        axis = AffinePart(HomogeneousCross(direction, up));
    else if (Index == 1)
        axis = AffinePart(up);
    else
        axis = AffinePart(direction);
    const TMatrix4x4f rotation =
        AxisRotationMatrix(axis, float(DegreesToRadians((long double)old - Degrees)));
    TVector4f *u = FUp.CoordsAddress(), *d = FDirection.CoordsAddress();
    *u = TransformByMatrix(*u, rotation);
    HomogeneousNormalize(*u);
    *d = TransformByMatrix(*d, rotation);
    HomogeneousNormalize(*d);
    if (FTransformationMode == tmParentWithPos)
        *FPosition.CoordsAddress() = TransformByMatrix(FPosition.AsVector(), rotation);
    InvalidateLocalMatrix();
    FRotation.CoordsAddress()->operator[](Index) = NormalizeDegreesSingle(Degrees);
}

void TGLBaseSceneObject::SetPitchAngle(float Degrees) { SetAngle(0, Degrees); }
void TGLBaseSceneObject::SetTurnAngle(float Degrees) { SetAngle(1, Degrees); }
void TGLBaseSceneObject::SetRollAngle(float Degrees) { SetAngle(2, Degrees); }

void TGLBaseSceneObject::OrbitAround(TGLBaseSceneObject *Target, float PitchStep, float TurnStep)
{
    if (!Target)
        return;
    const TVector4f t = Target->AbsolutePosition(), s = AbsolutePosition();
    const TVector4f v = HomogeneousSubtract(s, t);
    const float d = float(AffineLength(AffinePart(v)));
    TVector4f n = v;
    HomogeneousNormalize(n);
    const TVector4f u = WorldUp();
    TVector4f r = HomogeneousCross(u, n);
    if (AffineLength(AffinePart(r)) < 0.001)
        r = {1, 0, 0, 0};
    else
        HomogeneousNormalize(r);
    long double a = ArcCosine(AffineDot(AffinePart(u), AffinePart(n))) +
                    DegreesToRadians(PitchStep);
    a = std::clamp(a, 0.025L, 3.1165926L);
    TVector4f dir = u;
    dir.W = 0;
    RotateAroundAxis(dir, AffinePart(r), float(-a));
    RotateAroundAxis(dir, AffinePart(u), float(-DegreesToRadians(TurnStep)));
    dir = HomogeneousScaled(dir, d);
    TVector4f p = HomogeneousAdd(s, HomogeneousSubtract(dir, v));
    p.W = 1;
    if (FParent)
        p = FParent->WorldToLocal(p);
    FPosition.SetFromVector(p);
}

// ---- properties ----

void TGLBaseSceneObject::SetVisible(bool V)
{
    if (StoreChanged(FVisible, V))
        SignalChange(this);
}

void TGLBaseSceneObject::SetShowAxes(bool V)
{
    if (StoreChanged(FShowAxes, V))
        SignalChange(this);
}

void TGLBaseSceneObject::SetObjectsSorting(TGLObjectsSorting V)
{
    if (StoreChanged(FObjectsSorting, V))
        SignalChange(this);
}

void TGLBaseSceneObject::SetVisibilityCulling(TGLVisibilityCulling V)
{
    if (StoreChanged(FVisibilityCulling, V))
        SignalChange(this);
}

// ---- geometry queries ----

TVector4f TGLBaseSceneObject::HalfExtents() { return HomogeneousScaled(FScale.AsVector(), 0.5f); }

float TGLBaseSceneObject::EnclosingRadius()
{
    const TVector4f h = HalfExtents();
    return MaxOfThree(h.X, h.Y, h.Z);
}

bool TGLBaseSceneObject::ContainsPoint(const TVector4f &Point)
{
    const TVector4f local = WorldToLocal(Point);
    const TVector4f h = HalfExtents();
    return std::abs(local.X) <= h.X && std::abs(local.Y) <= h.Y && std::abs(local.Z) <= h.Z;
}

bool TGLBaseSceneObject::RayHit(const TVector4f &RayOrigin, const TVector4f &RayDirection,
                                TVector4f *HitPoint, TVector4f *HitNormal)
{
    const TVector4f centre = WorldPosition();
    TVector4f i1, i2;
    if (RaySphereIntersect(RayOrigin, RayDirection, centre, EnclosingRadius(), i1, i2) == 0)
        return false;
    if (HitPoint)
        *HitPoint = i1;
    if (HitNormal) {
        *HitNormal = HomogeneousSubtract(i1, centre);
        HomogeneousNormalize(*HitNormal);
    }
    return true;
}

TCornerBox TGLBaseSceneObject::BoundingBox()
{
    TCornerBox box;
    BoxFromHalfExtents(box, HalfExtents());
    for (TGLBaseSceneObject *c : FChildren) {
        TCornerBox child = c->BoundingBox();
        TransformBox(child, c->LocalMatrix());
        GrowBox(box, child);
    }
    return box;
}

TAxisBox TGLBaseSceneObject::AxisAlignedBox() { return BoxToAxisBox(BoundingBox()); }

float TGLBaseSceneObject::DistanceToCameraSquared(const TRenderContextInfo &Rci)
{
    return float(AffineDistance2(AffinePart(WorldPosition()), AffinePart(Rci.CameraPosition)));
}

// ---- updates and change propagation ----

void TGLBaseSceneObject::EnterUpdate() { ++FUpdateCount; }

void TGLBaseSceneObject::LeaveUpdate()
{
    Check(FUpdateCount > 0, "Unbalanced Begin/EndUpdate");
    if (--FUpdateCount == 0)
        SignalChange(this);
}

void TGLBaseSceneObject::SignalChange(TObject *Sender)
{
    if (FScene && !IsUpdating())
        FScene->SignalChange(this);
}

void TGLBaseSceneObject::InvalidateLocalMatrix()
{
    if (FChanges & cLocalMatrixStale)
        return;
    FChanges |= cLocalMatrixStale;
    InvalidateWorldMatrices();
    SignalChange(this);
}

void TGLBaseSceneObject::InvalidateWorldMatrices()
{
    if ((FChanges & cWorldMatrixStale) && (FChanges & cInverseMatrixStale))
        return;
    FChanges |= cWorldMatrixStale | cInverseMatrixStale;
    for (TGLBaseSceneObject *c : FChildren)
        c->InvalidateWorldMatrices();
}

void TGLBaseSceneObject::GeometryChanged()
{
    if (!(FChanges & cListStale)) {
        FChanges |= cListStale;
        SignalChange(this);
    } else if (FStyle & osImmediateDraw) {
        SignalChange(this);
    }
}

// Keeps Direction and Up orthonormal after one of them was written.
void TGLBaseSceneObject::FixOrthonormal(TObject *Sender)
{
    TVector4f *d = FDirection.CoordsAddress(), *u = FUp.CoordsAddress();
    if (Sender == &FDirection) {
        if (HomogeneousLength(*d) == 0)
            *d = cDefaultDirection;
        HomogeneousNormalize(*d);
        const TVector4f right = RightOf(*d, *u);
        *u = HomogeneousCross(right, *d);
        HomogeneousNormalize(*u);
    } else if (Sender == &FUp) {
        if (IsNull(*u))
            *u = cDefaultUp;
        HomogeneousNormalize(*u);
        const TVector4f right = RightOf(*d, *u);
        *d = HomogeneousCross(*u, right);
        HomogeneousNormalize(*d);
    }
}

void TGLBaseSceneObject::TransformChanged(TObject *Sender)
{
    if (FInTransformChange)
        return;
    FInTransformChange = true;
    try {
        FixOrthonormal(Sender);
        InvalidateLocalMatrix();
    } catch (...) {
        FInTransformChange = false;
        throw;
    }
    FInTransformChange = false;
}

void TGLBaseSceneObject::ReportProgress(double DeltaTime, double NewTime)
{
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
        (*it)->ReportProgress(DeltaTime, NewTime);
    if (FBehaviours)
        FBehaviours->Advance(DeltaTime, NewTime);
    if (FEffects)
        FEffects->Advance(DeltaTime, NewTime);
    if (OnProgress)
        OnProgress(this, DeltaTime, NewTime);
}

// ---- behaviours and effects ----

void TGLBaseBehaviour::WriteItemData(TVirtualWriter &Writer) const { Writer.PutInteger(0); }

void TGLBaseBehaviour::ReadItemData(TVirtualReader &Reader)
{
    Check(Reader.GetInteger() == 0, "Assertion failure");
}

TGLBaseSceneObject *TGLBaseBehaviour::OwnerObject() const
{
    return Owner() ? dynamic_cast<TGLBaseSceneObject *>(Owner()->GetOwner()) : nullptr;
}

namespace {

bool IsEffectClass(const TXCollectionItemClass &Class)
{
    std::unique_ptr<TXCollectionItem> probe(Class.Create(nullptr));
    return dynamic_cast<TGLObjectEffect *>(probe.get()) != nullptr;
}

std::string PathOf(TGLBaseSceneObject *Owner)
{
    Check(Owner != nullptr, "Assertion failure");
    return {};
}

std::string NamePathOf(const TPersistent *Owner)
{
    auto *o = dynamic_cast<const TGLBaseSceneObject *>(Owner);
    return o ? o->Name : std::string();
}

const bool gBehaviourClasses = [] {
    RegisterXCollectionItemClass<TGLBehaviour>("TGLBehaviour");
    RegisterXCollectionItemClass<TGLObjectEffect>("TGLObjectEffect");
    RegisterXCollectionItemClass<TGLObjectPreEffect>("TGLObjectPreEffect");
    RegisterXCollectionItemClass<TGLObjectPostEffect>("TGLObjectPostEffect");
    RegisterXCollectionItemClass<TGLObjectAfterEffect>("TGLObjectAfterEffect");
    return true;
}();

} // namespace

TGLBehaviours::TGLBehaviours(TGLBaseSceneObject *Owner) : TXCollection(Owner, PathOf(Owner)) {}

bool TGLBehaviours::AcceptsClass(const TXCollectionItemClass &Class) const
{
    return !IsEffectClass(Class) && TXCollection::AcceptsClass(Class);
}

std::string TGLBehaviours::OwnerPath() const { return NamePathOf(GetOwner()); }
std::string TGLObjectEffects::OwnerPath() const { return NamePathOf(GetOwner()); }

void TGLBehaviours::Advance(double DeltaTime, double NewTime)
{
    for (int i = 0; i < Count(); ++i)
        if (auto *b = dynamic_cast<TGLBaseBehaviour *>(Items(i)))
            b->Advance(DeltaTime, NewTime);
}

TGLObjectEffects::TGLObjectEffects(TGLBaseSceneObject *Owner)
    : TXCollection(Owner, PathOf(Owner))
{
}

bool TGLObjectEffects::AcceptsClass(const TXCollectionItemClass &Class) const
{
    return IsEffectClass(Class) && TXCollection::AcceptsClass(Class);
}

void TGLObjectEffects::Advance(double DeltaTime, double NewTime)
{
    for (int i = 0; i < Count(); ++i)
        if (auto *b = dynamic_cast<TGLBaseBehaviour *>(Items(i)))
            b->Advance(DeltaTime, NewTime);
}

void TGLObjectEffects::DrawPreEffects(TGLWorldBuffer *Buffer, TRenderContextInfo &Rci)
{
    for (int i = 0; i < Count(); ++i)
        if (auto *e = dynamic_cast<TGLObjectPreEffect *>(Items(i)))
            e->Render(Buffer, Rci);
}

void TGLObjectEffects::DrawPostEffects(TGLWorldBuffer *Buffer, TRenderContextInfo &Rci)
{
    for (int i = 0; i < Count(); ++i)
        if (auto *e = dynamic_cast<TGLObjectPostEffect *>(Items(i)))
            e->Render(Buffer, Rci);
        else if (auto *a = dynamic_cast<TGLObjectAfterEffect *>(Items(i)); a && Buffer)
            Buffer->AfterEffects.push_back(a);
}

TGLBehaviours &TGLBaseSceneObject::Behaviours()
{
    if (!FBehaviours)
        FBehaviours = std::make_unique<TGLBehaviours>(this);
    return *FBehaviours;
}

TGLObjectEffects &TGLBaseSceneObject::Effects()
{
    if (!FEffects)
        FEffects = std::make_unique<TGLObjectEffects>(this);
    return *FEffects;
}

std::string TGLBaseSceneObject::BehavioursData() const
{
    return FBehaviours && FBehaviours->Count() > 0 ? FBehaviours->SaveToText() : std::string();
}

std::string TGLBaseSceneObject::EffectsData() const
{
    return FEffects && FEffects->Count() > 0 ? FEffects->SaveToText() : std::string();
}

// ---- the other node classes ----

TGLWorldRootObject::TGLWorldRootObject(TComponent *Owner) : TGLBaseSceneObject(Owner)
{
    FStyle |= osImmediateDraw;
}

TGLCustomSceneObject::TGLCustomSceneObject(TComponent *Owner)
    : TGLBaseSceneObject(Owner), FMaterial(this)
{
}

void TGLCustomSceneObject::ReleaseHandle()
{
    TGLBaseSceneObject::ReleaseHandle();
    FMaterial.ReleaseTextureObject();
}

void TGLCustomSceneObject::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TGLCustomSceneObject *>(&Dest)) {
        d->FMaterial.AssignFrom(FMaterial);
        d->Hint = Hint;
    }
    TGLBaseSceneObject::AssignTo(Dest);
}

TDirectOpenGL::TDirectOpenGL(TComponent *Owner) : TGLImmaterialSceneObject(Owner)
{
    FStyle |= osImmediateDraw | osRestoresStateCaches;
}

void TDirectOpenGL::SetUseBuildList(bool Value)
{
    if (Value)
        FStyle &= uint8_t(~osImmediateDraw);
    else
        FStyle |= osImmediateDraw;
}

void TDirectOpenGL::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TDirectOpenGL *>(&Dest))
        d->SetUseBuildList(UseBuildList());
    TGLImmaterialSceneObject::AssignTo(Dest);
}

// ---- the proxy ----

TGLProxyObject::TGLProxyObject(TComponent *Owner) : TGLBaseSceneObject(Owner)
{
    ProxyCreated(this);
}

TGLProxyObject::~TGLProxyObject() { ProxyFreed(this); }

void TGLProxyObject::SetMasterObject(TGLBaseSceneObject *Master)
{
    if (Master == FMaster)
        return;
    FMaster = Master;
    GeometryChanged();
}

void TGLProxyObject::SetProxyOptions(unsigned Options)
{
    if (StoreChanged(FOptions, Options))
        GeometryChanged();
}

void TGLProxyObject::Notification(TGLBaseSceneObject *Freed)
{
    if (Freed == FMaster)
        SetMasterObject(nullptr);
}

TVector4f TGLProxyObject::HalfExtents()
{
    if (!FMaster)
        return TGLBaseSceneObject::HalfExtents();
    const TVector4f m = FMaster->HalfExtents();
    const TVector4f &s = Scale().AsVector();
    return {m.X * s.X, m.Y * s.Y, m.Z * s.Z, m.W * s.W};
}

void TGLProxyObject::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TGLProxyObject *>(&Dest))
        d->SetMasterObject(FMaster);
    TGLBaseSceneObject::AssignTo(Dest);
}

// ---- Assign ----

void TGLBaseSceneObject::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TGLBaseSceneObject *>(&Dest);
    if (!d)
        return TGLUpdateAbleComponent::AssignTo(Dest);
    // The local matrix is rebuilt on demand: the source's cache is brought
    // up to date, which changes nothing it shows.
    auto &source = const_cast<TGLBaseSceneObject &>(*this);
    d->ReleaseHandles();
    d->SetVisible(FVisible);
    d->SetLocalMatrix(source.LocalMatrix());
    d->SetShowAxes(FShowAxes);
    d->SetObjectsSorting(FObjectsSorting);
    d->SetVisibilityCulling(FVisibilityCulling);
    *d->FRotation.CoordsAddress() = FRotation.AsVector();
    d->FTransformationMode = FTransformationMode;
    d->FreeAllChildren();
    d->SetSceneRecursive(FScene);
    if (FScene)
        FScene->BeginUpdate();
    try {
        for (TGLBaseSceneObject *child : FChildren) {
            std::unique_ptr<TGLBaseSceneObject> copy = CreateSceneObject(child->ClassName());
            copy->Assign(*child);
            d->AppendChild(copy.release());
        }
    } catch (...) {
        if (FScene)
            FScene->EndUpdate();
        throw;
    }
    if (FScene)
        FScene->EndUpdate();
    d->OnProgress = OnProgress;
    if (FBehaviours)
        d->Behaviours().AssignFrom(*FBehaviours);
    else
        d->FBehaviours.reset();
    if (FEffects)
        d->Effects().AssignFrom(*FEffects);
    else
        d->FEffects.reset();
    d->Tag = Tag;
    d->TagFloat = TagFloat;
}

// ---- form streaming ----

// The node classes a form may hold, besides the primitives' own.
const bool gStreamedClasses = [] {
    RegisterSceneObjectClass<TGLLightSource>("TGLLightSource");
    RegisterSceneObjectClass<TGLCamera>("TGLCamera");
    RegisterSceneObjectClass<TGLProxyObject>("TGLProxyObject");
    RegisterComponentClass<TGLWorld>("TGLWorld");
    RegisterSceneObjectClass<TDirectOpenGL>("TDirectOpenGL");
    RegisterComponentClass<TGLMemoryViewer>("TGLMemoryViewer");
    return true;
}();

} // namespace orv
