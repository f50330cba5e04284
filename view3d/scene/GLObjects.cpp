#include "view3d/scene/GLObjects.h"

#include "view3d/geometry/Assertion.h"
#include "view3d/geometry/Geometry.h"
#include "view3d/geometry/PersistentClasses.h"
#include "view3d/geometry/Spline.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLObjectsStore.h"
#include "view3d/scene/XOpenGL.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace orv {

namespace {

constexpr GLbitfield cLineStateBits =
    gl::ENABLE_BIT | gl::CURRENT_BIT | gl::LIGHTING_BIT | gl::LINE_BIT | gl::COLOR_BUFFER_BIT;

void EnableAlphaBlending()
{
    GL().glEnable(gl::BLEND);
    GL().glBlendFunc(gl::SRC_ALPHA, gl::ONE_MINUS_SRC_ALPHA);
}

} // namespace

// ---- shared drawings ----

void DrawWireframeCube(float Size, const TVector4f &Color)
{
    const TGLEntryTable &g = GL();
    const float h = Size / 2;
    g.glPushAttrib(cLineStateBits);
    g.glDisable(gl::LIGHTING);
    g.glEnable(gl::LINE_SMOOTH);
    g.glLineWidth(1);
    g.glEnable(gl::LINE_STIPPLE);
    g.glLineStipple(1, 0xCCCC);
    EnableAlphaBlending();
    g.glColorMaterial(gl::FRONT, gl::EMISSION);
    g.glEnable(gl::COLOR_MATERIAL);
    g.glColor4fv(&Color.X);
    // The top square, one vertical edge and the bottom square...
    const float strip[10][3] = {{h, h, h},   {-h, h, h},  {-h, h, -h}, {h, h, -h},
                                {h, h, h},   {h, -h, h},  {-h, -h, h}, {-h, -h, -h},
                                {h, -h, -h}, {h, -h, h}};
    g.glBegin(gl::LINE_STRIP);
    for (const auto &v : strip)
        g.glVertex3f(v[0], v[1], v[2]);
    g.glEnd();
    // ...then the three other vertical edges.
    const float lines[6][3] = {{-h, h, h},  {-h, -h, h}, {-h, h, -h},
                               {-h, -h, -h}, {h, h, -h},  {h, -h, -h}};
    g.glBegin(gl::LINES);
    for (const auto &v : lines)
        g.glVertex3f(v[0], v[1], v[2]);
    g.glEnd();
    g.glPopAttrib();
}

namespace {

struct TDodecahedronFace {
    TAffineVec3f Normal;
    std::array<TAffineVec3f, 5> Corners; // counter-clockwise seen from outside
};

// The twenty corners of a regular dodecahedron and its twelve faces, whose
// normals point at the corners of the dual icosahedron.
std::array<TDodecahedronFace, 12> MakeDodecahedron()
{
    const float phi = (1 + std::sqrt(5.0f)) / 2, iphi = 1 / phi;
    std::vector<TAffineVec3f> corners;
    for (float a : {-1.0f, 1.0f})
        for (float b : {-1.0f, 1.0f}) {
            for (float c : {-1.0f, 1.0f})
                corners.push_back({a, b, c});
            corners.push_back({0, a * iphi, b * phi});
            corners.push_back({a * iphi, b * phi, 0});
            corners.push_back({a * phi, 0, b * iphi});
        }
    std::array<TDodecahedronFace, 12> faces;
    int k = 0;
    for (float a : {-1.0f, 1.0f})
        for (float b : {-1.0f, 1.0f})
            for (TAffineVec3f n : {TAffineVec3f{0, a * phi, b}, TAffineVec3f{b, 0, a * phi},
                                   TAffineVec3f{a * phi, b, 0}}) {
                TDodecahedronFace &f = faces[size_t(k++)];
                f.Normal = AffineNormalized(n);
                std::vector<TAffineVec3f> near = corners;
                std::sort(near.begin(), near.end(), [&](const auto &p, const auto &q) {
                    return AffineDot(p, f.Normal) > AffineDot(q, f.Normal);
                });
                TAffineVec3f centre;
                for (int i = 0; i < 5; ++i)
                    AffineAddTo(centre, AffineScaled(near[size_t(i)], 0.2f));
                const TAffineVec3f u = AffineSubtract(near[0], centre);
                const TAffineVec3f w = AffineCross(f.Normal, u);
                auto angle = [&](const TAffineVec3f &p) {
                    const TAffineVec3f d = AffineSubtract(p, centre);
                    return std::atan2(float(AffineDot(d, w)), float(AffineDot(d, u)));
                };
                std::sort(near.begin(), near.begin() + 5,
                          [&](const auto &p, const auto &q) { return angle(p) < angle(q); });
                std::copy(near.begin(), near.begin() + 5, f.Corners.begin());
            }
    return faces;
}

} // namespace

void DrawDodecahedron()
{
    static const std::array<TDodecahedronFace, 12> faces = MakeDodecahedron();
    const TGLEntryTable &g = GL();
    for (const TDodecahedronFace &f : faces) {
        g.glNormal3fv(&f.Normal.X);
        g.glBegin(gl::POLYGON);
        for (const TAffineVec3f &p : f.Corners)
            g.glVertex3fv(&p.X);
        g.glEnd();
    }
}

// ---- the scene's classes by name ----

namespace {

struct TRegisteredClass {
    std::string Name;
    TComponentFactory Factory;
    bool SceneObject;
};

std::vector<TRegisteredClass> &RegisteredClasses()
{
    static std::vector<TRegisteredClass> classes;
    return classes;
}

const TRegisteredClass &FindRegistered(const std::string &Name)
{
    for (const TRegisteredClass &c : RegisteredClasses())
        if (c.Name == Name)
            return c;
    throw EClassNotFound("Class " + Name + " not found");
}

} // namespace

void RegisterComponentClass(const std::string &Name, TComponentFactory Factory, bool SceneObject)
{
    for (TRegisteredClass &c : RegisteredClasses())
        if (c.Name == Name) {
            c.Factory = std::move(Factory);
            c.SceneObject = SceneObject;
            return;
        }
    RegisteredClasses().push_back({Name, std::move(Factory), SceneObject});
}

std::vector<std::string> RegisteredComponentClasses()
{
    std::vector<std::string> names;
    for (const TRegisteredClass &c : RegisteredClasses())
        names.push_back(c.Name);
    return names;
}

std::vector<std::string> RegisteredSceneObjectClasses()
{
    std::vector<std::string> names;
    for (const TRegisteredClass &c : RegisteredClasses())
        if (c.SceneObject)
            names.push_back(c.Name);
    return names;
}

std::unique_ptr<TComponent> CreateComponent(const std::string &Name)
{
    return FindRegistered(Name).Factory();
}

std::unique_ptr<TGLBaseSceneObject> CreateSceneObject(const std::string &Name)
{
    const TRegisteredClass &c = FindRegistered(Name);
    if (!c.SceneObject)
        throw EClassNotFound("Class " + Name + " not found");
    return std::unique_ptr<TGLBaseSceneObject>(
        dynamic_cast<TGLBaseSceneObject *>(c.Factory().release()));
}

// ---- TDummyCube ----

TDummyCube::TDummyCube(TComponent *Owner)
    : TGLImmaterialSceneObject(Owner), FEdgeColor(this, ColorWhite)
{
    FStyle |= osImmediateDraw;
}

void TDummyCube::SetCubeSize(float Value) { StoreGeometry(*this, FCubeSize, Value); }

void TDummyCube::SetVisibleAtRunTime(bool Value)
{
    StoreGeometry(*this, FVisibleAtRunTime, Value);
}

void TDummyCube::CompileGeometry(TRenderContextInfo &)
{
    if (FVisibleAtRunTime)
        DrawWireframeCube(FCubeSize, FEdgeColor.Color());
}

TVector4f TDummyCube::HalfExtents()
{
    const float h = std::abs(FCubeSize) / 2;
    return ScaledBy(*this, h, h, h);
}

TVector4f TDummyCube::WorldPosition()
{
    if (ChildCount() == 0)
        return TGLImmaterialSceneObject::WorldPosition();
    TVector4f sum{0, 0, 0, 0};
    for (int i = 0; i < ChildCount(); ++i)
        HomogeneousAddTo(sum, ChildAt(i)->WorldPosition());
    return HomogeneousScaled(sum, 1.0f / float(ChildCount()));
}

void TDummyCube::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TDummyCube *>(&Dest);
    if (!d)
        return TGLImmaterialSceneObject::AssignTo(Dest);
    d->SetCubeSize(FCubeSize);
    d->FEdgeColor.Assign(FEdgeColor);
    d->SetVisibleAtRunTime(FVisibleAtRunTime);
    TGLImmaterialSceneObject::AssignTo(Dest);
}

// ---- TPlane ----

TPlane::TPlane(TComponent *Owner) : TGLWorldObject(Owner) { FStyle |= osImmediateDraw; }

void TPlane::SetXOffset(float Value) { StoreGeometry(*this, FXOffset, Value); }
void TPlane::SetYOffset(float Value) { StoreGeometry(*this, FYOffset, Value); }
void TPlane::SetWidth(float Value) { StoreGeometry(*this, FWidth, Value); }
void TPlane::SetHeight(float Value) { StoreGeometry(*this, FHeight, Value); }
void TPlane::SetXTiles(int Value) { StoreGeometry(*this, FXTiles, Value); }
void TPlane::SetYTiles(int Value) { StoreGeometry(*this, FYTiles, Value); }

void TPlane::CompileGeometry(TRenderContextInfo &)
{
    const TGLEntryTable &g = GL();
    const float w = FWidth / 2, h = FHeight / 2;
    const float s = float(FXTiles) + FXOffset, t = float(FYTiles) + FYOffset;
    g.glNormal3f(0, 0, 1);
    g.glBegin(gl::QUADS);
    xgl().TexCoord2f(s, t);
    g.glVertex3f(w, h, 0);
    xgl().TexCoord2f(0, t);
    g.glVertex3f(-w, h, 0);
    xgl().TexCoord2f(0, 0);
    g.glVertex3f(-w, -h, 0);
    xgl().TexCoord2f(s, 0);
    g.glVertex3f(w, -h, 0);
    g.glEnd();
}

TVector4f TPlane::HalfExtents()
{
    return ScaledBy(*this, std::abs(FWidth) / 2, std::abs(FHeight) / 2, 0);
}

void TPlane::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TPlane *>(&Dest);
    if (!d)
        return TGLWorldObject::AssignTo(Dest);
    d->SetXOffset(FXOffset);
    d->SetYOffset(FYOffset);
    d->SetWidth(FWidth);
    d->SetHeight(FHeight);
    d->SetXTiles(FXTiles);
    d->SetYTiles(FYTiles);
    TGLWorldObject::AssignTo(Dest);
}

// ---- TLineBase ----

TLineBase::TLineBase(TComponent *Owner)
    : TGLImmaterialSceneObject(Owner), FLineColor(this, ColorWhite)
{
}

void TLineBase::SetLinePattern(uint16_t Value) { StoreGeometry(*this, FLinePattern, Value); }
void TLineBase::SetLineWidth(float Value) { StoreGeometry(*this, FLineWidth, Value); }
void TLineBase::SetAntiAliased(bool Value) { StoreGeometry(*this, FAntiAliased, Value); }

void TLineBase::SetupLineStyle()
{
    const TGLEntryTable &g = GL();
    g.glPushAttrib(cLineStateBits);
    g.glDisable(gl::LIGHTING);
    if (FLinePattern != 0xFFFF) {
        g.glEnable(gl::LINE_STIPPLE);
        EnableAlphaBlending();
        g.glLineStipple(1, FLinePattern);
    }
    if (FAntiAliased)
        g.glEnable(gl::LINE_SMOOTH);
    else
        g.glDisable(gl::LINE_SMOOTH);
    g.glLineWidth(FLineWidth);
    if (FLineColor.Alpha() != 1) {
        EnableAlphaBlending();
        g.glColor4fv(FLineColor.ColorAddress());
    } else {
        g.glColor3fv(FLineColor.ColorAddress());
    }
}

void TLineBase::RestoreLineStyle() { GL().glPopAttrib(); }

void TLineBase::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TLineBase *>(&Dest);
    if (!d)
        return TGLImmaterialSceneObject::AssignTo(Dest);
    d->FLineColor.Assign(FLineColor);
    d->SetLinePattern(FLinePattern);
    d->SetLineWidth(FLineWidth);
    d->SetAntiAliased(FAntiAliased);
    TGLImmaterialSceneObject::AssignTo(Dest);
}

// ---- TLines ----

TGLLinesNode::TGLLinesNode(TGLLinesNodes *Collection, const TVector4f &Color)
    : TGLNode(Collection), FColor(this, Color, [Collection](TObject *) {
          Collection->NodesChanged();
      })
{
}

TGLObjectNodes::TGLObjectNodes(TGLBaseSceneObject *Owner, TNodeFactory Factory)
    : TGLNodes(Owner, std::move(Factory)), FObject(Owner)
{
}

void TGLObjectNodes::NodesChanged()
{
    if (!IsUpdating() && FObject)
        FObject->GeometryChanged();
}

TGLLinesNodes::TGLLinesNodes(TGLBaseSceneObject *Owner, std::function<TVector4f()> NodeColor)
    : TGLObjectNodes(Owner, [NodeColor](TGLNodes *Nodes) {
          return std::make_unique<TGLLinesNode>(static_cast<TGLLinesNodes *>(Nodes), NodeColor());
      })
{
}

TLines::TLines(TComponent *Owner)
    : TLineBase(Owner), FNodes(this, [this] { return FNodeColor.Color(); }),
      FNodeColor(this, ColorBlue, [this](TObject *) { NodeColorChanged(); }),
      FOldNodeColor(ColorBlue)
{
}

void TLines::NodeColorChanged()
{
    const TVector4f now = FNodeColor.Color();
    FNodes.BeginUpdate();
    for (int i = 0; i < FNodes.Count(); ++i) {
        TGLColor &c = FNodes.Node(i).Color();
        if (HomogeneousEquals(c.Color(), FOldNodeColor))
            c.AssignRGBA(now);
    }
    FNodes.EndUpdate();
    FOldNodeColor = now;
}

void TLines::SetNodesAspect(TLineNodesAspect Value) { StoreGeometry(*this, FNodesAspect, Value); }
void TLines::SetDivision(int Value) { StoreGeometry(*this, FDivision, Value < 1 ? 1 : Value); }
void TLines::SetSplineMode(TLineSplineMode Value) { StoreGeometry(*this, FSplineMode, Value); }
void TLines::SetOptions(unsigned Value) { StoreGeometry(*this, FOptions, Value); }
void TLines::SetNodeSize(float Value) { StoreGeometry(*this, FNodeSize, Value <= 0 ? 1.0f : Value); }

void TLines::DrawSpline()
{
    const TGLEntryTable &g = GL();
    const bool colours = FOptions & loUseNodeColorForLines;
    const std::unique_ptr<TCubicSpline> spline = FNodes.BuildSpline();
    const int last = FNodes.Count() - 1;
    for (int i = 0; i <= last * FDivision; ++i) {
        if (colours) {
            const int k = i / FDivision;
            const TVector4f c =
                k >= last ? FNodes.Node(last).Color().Color()
                          : HomogeneousLerp(FNodes.Node(k).Color().Color(),
                                            FNodes.Node(k + 1).Color().Color(),
                                            float(i % FDivision) / float(FDivision));
            g.glColor4fv(&c.X);
        }
        const TAffineVec3f p = spline->EvalAffine(float(i) / float(FDivision));
        g.glVertex3f(p.X, p.Y, p.Z);
    }
}

void TLines::CompileGeometry(TRenderContextInfo &)
{
    if (FNodes.Count() < 2)
        return;
    const TGLEntryTable &g = GL();
    SetupLineStyle();
    g.glBegin(gl::LINE_STRIP);
    if (FDivision > 1 && FSplineMode == lsmCubicSpline) {
        DrawSpline();
    } else {
        for (int i = 0; i < FNodes.Count(); ++i) {
            TGLLinesNode &n = FNodes.Node(i);
            if (FOptions & loUseNodeColorForLines)
                g.glColor4fv(n.Color().ColorAddress());
            g.glVertex3f(n.X(), n.Y(), n.Z());
        }
    }
    g.glEnd();
    RestoreLineStyle();
    if (FNodesAspect != lnaInvisible)
        DrawNodeMarkers();
}

void TLines::DrawNodeMarkers()
{
    const TGLEntryTable &g = GL();
    g.glPushAttrib(gl::ENABLE_BIT | gl::COLOR_BUFFER_BIT);
    EnableAlphaBlending();
    for (int i = 0; i < FNodes.Count(); ++i) {
        TGLLinesNode &n = FNodes.Node(i);
        g.glPushMatrix();
        g.glTranslatef(n.X(), n.Y(), n.Z());
        switch (FNodesAspect) {
        case lnaAxes:
            RenderAxes(0xCCCC, FNodeSize / 2);
            break;
        case lnaCube:
            DrawWireframeCube(FNodeSize, n.Color().Color());
            break;
        case lnaDodecahedron:
            g.glScalef(FNodeSize, FNodeSize, FNodeSize);
            g.glPushAttrib(gl::ENABLE_BIT | gl::CURRENT_BIT | gl::LIGHTING_BIT);
            g.glColorMaterial(gl::FRONT_AND_BACK, gl::AMBIENT_AND_DIFFUSE);
            g.glEnable(gl::COLOR_MATERIAL);
            g.glColor4fv(n.Color().ColorAddress());
            DrawDodecahedron();
            g.glPopAttrib();
            break;
        case lnaInvisible:
            break;
        }
        g.glPopMatrix();
    }
    g.glPopAttrib();
}

void TLines::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TLines *>(&Dest)) {
        d->FNodes.BeginUpdate();
        d->FNodes.Clear();
        for (int i = 0; i < FNodes.Count(); ++i) {
            auto &from = const_cast<TGLLinesNodes &>(FNodes).Node(i);
            d->FNodes.AddNode(from.X(), from.Y(), from.Z());
            d->FNodes.Node(i).Color().AssignRGBA(from.Color().Color());
        }
        d->FNodes.EndUpdate();
        d->SetNodesAspect(FNodesAspect);
        d->FNodeColor.Assign(FNodeColor);
        d->SetDivision(FDivision);
        d->SetSplineMode(FSplineMode);
        d->SetOptions(FOptions);
        d->SetNodeSize(FNodeSize);
    }
    TLineBase::AssignTo(Dest);
}

// ---- quadrics ----

TGLQuadric::TGLQuadric() : FHandle(GL().gluNewQuadric())
{
    Check(FHandle != nullptr, "gluNewQuadric");
}

TGLQuadric::~TGLQuadric() { GL().gluDeleteQuadric(FHandle); }

void TQuadricObject::SetNormals(TNormalSmoothing Value) { StoreGeometry(*this, FNormals, Value); }

void TQuadricObject::SetNormalDirection(TNormalDirection Value)
{
    StoreGeometry(*this, FNormalDirection, Value);
}

void TQuadricObject::SetupQuadricParams(const TGLQuadric &Quadric) const
{
    static constexpr GLenum normals[] = {gl::GLU_FLAT, gl::GLU_SMOOTH, gl::GLU_NONE};
    const TGLEntryTable &g = GL();
    g.gluQuadricDrawStyle(Quadric.Handle(), gl::GLU_FILL);
    g.gluQuadricNormals(Quadric.Handle(), normals[FNormals]);
    SetNormalQuadricOrientation(Quadric);
    g.gluQuadricTexture(Quadric.Handle(), 1);
}

void TQuadricObject::SetNormalQuadricOrientation(const TGLQuadric &Quadric) const
{
    GL().gluQuadricOrientation(Quadric.Handle(),
                               FNormalDirection == ndOutside ? gl::GLU_OUTSIDE : gl::GLU_INSIDE);
}

void TQuadricObject::SetInvertedQuadricOrientation(const TGLQuadric &Quadric) const
{
    GL().gluQuadricOrientation(Quadric.Handle(),
                               FNormalDirection == ndOutside ? gl::GLU_INSIDE : gl::GLU_OUTSIDE);
}

void TQuadricObject::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TQuadricObject *>(&Dest);
    if (!d)
        return TGLWorldObject::AssignTo(Dest);
    d->SetNormals(FNormals);
    d->SetNormalDirection(FNormalDirection);
    TGLWorldObject::AssignTo(Dest);
}

// ---- TSphere ----

TSphere::TSphere(TComponent *Owner) : TQuadricObject(Owner) {}

void TSphere::SetRadius(float Value) { StoreGeometry(*this, FRadius, Value); }
void TSphere::SetSlices(int Value) { StoreGeometry(*this, FSlices, Value == 0 ? 1 : Value); }
void TSphere::SetStacks(int Value) { StoreGeometry(*this, FStacks, Value == 0 ? 1 : Value); }
void TSphere::SetTop(int16_t Value) { StoreGeometry(*this, FTop, Value); }
void TSphere::SetBottom(int16_t Value) { StoreGeometry(*this, FBottom, Value); }
void TSphere::SetTopCap(TCapType Value) { StoreGeometry(*this, FTopCap, Value); }
void TSphere::SetBottomCap(TCapType Value) { StoreGeometry(*this, FBottomCap, Value); }

void TSphere::SetStart(int16_t Value)
{
    Check(Value <= FStop, "Start must not be above Stop");
    StoreGeometry(*this, FStart, Value);
}

void TSphere::SetStop(int16_t Value)
{
    Check(Value >= FStart, "Stop must not be below Start");
    StoreGeometry(*this, FStop, Value);
}

namespace {

// The unit-sphere point at latitude Phi and longitude Lambda (radians).
TAffineVec3f SpherePoint(float Phi, float Lambda)
{
    return {std::cos(Phi) * std::sin(Lambda), std::sin(Phi), std::cos(Phi) * std::cos(Lambda)};
}

float Radians(float Degrees) { return float(DegreesToRadians(Degrees)); }

} // namespace

void TSphere::DrawCap(bool AtTop)
{
    const TGLEntryTable &g = GL();
    const bool inside = NormalDirection() == ndInside;
    const TCapType cap = AtTop ? FTopCap : FBottomCap;
    const float phi = Radians(AtTop ? FTop : FBottom);
    const TAffineVec3f pole{0, AtTop ? 1.0f : -1.0f, 0};
    const float sign = inside ? -1.0f : 1.0f;
    g.glBegin(gl::TRIANGLE_FAN);
    g.glNormal3f(0, pole.Y * sign, 0);
    xgl().TexCoord2f(0.5f, 0.5f);
    if (cap == ctCenter)
        g.glVertex3f(0, 0, 0);
    else
        g.glVertex3f(0, std::sin(phi), 0);
    const float start = Radians(FStart), stop = Radians(FStop);
    for (int j = 0; j <= FSlices; ++j) {
        const float k = float(AtTop ? j : FSlices - j) / float(FSlices);
        const float lambda = start + (stop - start) * k;
        const TAffineVec3f p = SpherePoint(phi, lambda);
        if (cap == ctCenter) {
            TAffineVec3f n = AffineNormalized(AffinePlaneProject(pole, p));
            AffineScaleBy(n, sign);
            g.glNormal3fv(&n.X);
        }
        xgl().TexCoord2f(std::sin(lambda) / 2 + 0.5f, std::cos(lambda) / 2 + 0.5f);
        g.glVertex3fv(&p.X);
    }
    g.glEnd();
}

void TSphere::DrawBands()
{
    const TGLEntryTable &g = GL();
    const float sign = NormalDirection() == ndInside ? -1.0f : 1.0f;
    const float top = Radians(FTop), bottom = Radians(FBottom);
    const float start = Radians(FStart), stop = Radians(FStop);
    for (int i = 0; i < FStacks; ++i) {
        const float upper = top + (bottom - top) * float(i) / float(FStacks);
        const float lower = top + (bottom - top) * float(i + 1) / float(FStacks);
        g.glBegin(gl::TRIANGLE_STRIP);
        for (int j = 0; j <= FSlices; ++j) {
            const float s = float(j) / float(FSlices);
            const float lambda = start + (stop - start) * s;
            for (const auto &[phi, t] : {std::pair{upper, 1 - float(i) / float(FStacks)},
                                         std::pair{lower, 1 - float(i + 1) / float(FStacks)}}) {
                const TAffineVec3f p = SpherePoint(phi, lambda);
                g.glNormal3f(p.X * sign, p.Y * sign, p.Z * sign);
                xgl().TexCoord2f(s, t);
                g.glVertex3fv(&p.X);
            }
        }
        g.glEnd();
    }
}

void TSphere::CompileGeometry(TRenderContextInfo &)
{
    const TGLEntryTable &g = GL();
    g.glPushAttrib(gl::POLYGON_BIT);
    if (NormalDirection() == ndInside)
        g.glFrontFace(gl::CW);
    g.glPushMatrix();
    g.glScalef(FRadius, FRadius, FRadius);
    if (FTop < 90 && FTopCap != ctNone)
        DrawCap(true);
    DrawBands();
    if (FBottom > -90 && FBottomCap != ctNone)
        DrawCap(false);
    g.glPopMatrix();
    g.glPopAttrib();
}

TVector4f TSphere::HalfExtents()
{
    const float r = std::abs(FRadius);
    return ScaledBy(*this, r, r, r);
}

bool TSphere::RayHit(const TVector4f &RayOrigin, const TVector4f &RayDirection,
                     TVector4f *HitPoint, TVector4f *HitNormal)
{
    const TVector4f origin = WorldToLocal(PointFromAffine(AffinePart(RayOrigin)));
    TVector4f direction = WorldToLocal(DirectionFromAffine(AffinePart(RayDirection)));
    HomogeneousNormalize(direction);
    TVector4f i1, i2;
    if (RaySphereIntersect(origin, direction, NullHmgPoint, FRadius, i1, i2) == 0)
        return false;
    if (HitPoint)
        *HitPoint = LocalToWorld(i1);
    if (HitNormal) {
        *HitNormal = LocalToWorld(DirectionFromAffine(AffinePart(i1)));
        HomogeneousNormalize(*HitNormal);
    }
    return true;
}

void TSphere::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TSphere *>(&Dest)) {
        d->SetRadius(FRadius);
        d->SetSlices(FSlices);
        d->SetStacks(FStacks);
        d->SetTop(FTop);
        d->SetBottom(FBottom);
        d->FStart = FStart; // as a pair: either order of the writers could refuse
        d->FStop = FStop;
        d->SetTopCap(FTopCap);
        d->SetBottomCap(FBottomCap);
        d->GeometryChanged();
    }
    TQuadricObject::AssignTo(Dest);
}

// ---- TDisk ----

TDisk::TDisk(TComponent *Owner) : TQuadricObject(Owner) {}

void TDisk::SetStartAngle(float Value) { StoreGeometry(*this, FStartAngle, Value); }
void TDisk::SetSweepAngle(float Value) { StoreGeometry(*this, FSweepAngle, Value); }
void TDisk::SetOuterRadius(float Value) { StoreGeometry(*this, FOuterRadius, Value); }
void TDisk::SetInnerRadius(float Value) { StoreGeometry(*this, FInnerRadius, Value); }
void TDisk::SetSlices(int Value) { StoreGeometry(*this, FSlices, Value); }
void TDisk::SetLoops(int Value) { StoreGeometry(*this, FLoops, Value); }

void TDisk::CompileGeometry(TRenderContextInfo &)
{
    TGLQuadric q;
    SetupQuadricParams(q);
    GL().gluPartialDisk(q.Handle(), FInnerRadius, FOuterRadius, FSlices, FLoops, FStartAngle,
                        FSweepAngle);
}

TVector4f TDisk::HalfExtents()
{
    const float r = std::abs(FOuterRadius);
    return ScaledBy(*this, r, r, 0);
}

void TDisk::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TDisk *>(&Dest)) {
        d->SetStartAngle(FStartAngle);
        d->SetSweepAngle(FSweepAngle);
        d->SetOuterRadius(FOuterRadius);
        d->SetInnerRadius(FInnerRadius);
        d->SetSlices(FSlices);
        d->SetLoops(FLoops);
    }
    TQuadricObject::AssignTo(Dest);
}

// ---- cylinders and cones ----

void TCylinderBase::SetBottomRadius(float Value) { StoreGeometry(*this, FBottomRadius, Value); }
void TCylinderBase::SetSlices(int Value) { StoreGeometry(*this, FSlices, Value); }
void TCylinderBase::SetStacks(int Value) { StoreGeometry(*this, FStacks, Value); }
void TCylinderBase::SetHeight(float Value) { StoreGeometry(*this, FHeight, Value); }

void TCylinderBase::SetLoops(int Value)
{
    if (Value > 0)
        StoreGeometry(*this, FLoops, Value);
}

void TCylinderBase::EnterGLUFrame() const
{
    GL().glRotatef(-90, 1, 0, 0);
    GL().glTranslatef(0, 0, -FHeight / 2);
}

TVector4f TCylinderBase::TubeHalfExtents(float TopRadius)
{
    const float r = std::max(std::abs(TopRadius), std::abs(FBottomRadius));
    return ScaledBy(*this, r, FHeight / 2, r);
}

void TCylinderBase::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TCylinderBase *>(&Dest)) {
        d->SetBottomRadius(FBottomRadius);
        d->SetSlices(FSlices);
        d->SetStacks(FStacks);
        d->SetLoops(FLoops);
        d->SetHeight(FHeight);
    }
    TQuadricObject::AssignTo(Dest);
}

namespace {

// Sides from the bottom radius to the top radius, and the end discs asked for.
void DrawTube(const TQuadricObject &Object, float Bottom, float Top, float Height, int Slices,
              int Stacks, int Loops, bool Sides, bool BottomDisk, bool TopDisk)
{
    const TGLEntryTable &g = GL();
    TGLQuadric q;
    Object.SetupQuadricParams(q);
    if (Sides)
        g.gluCylinder(q.Handle(), Bottom, Top, Height, Slices, Stacks);
    if (TopDisk) {
        g.glPushMatrix();
        g.glTranslatef(0, 0, Height);
        g.gluDisk(q.Handle(), 0, Top, Slices, Loops);
        g.glPopMatrix();
    }
    if (BottomDisk) {
        Object.SetInvertedQuadricOrientation(q);
        g.gluDisk(q.Handle(), 0, Bottom, Slices, Loops);
    }
}

} // namespace

TCylinder::TCylinder(TComponent *Owner) : TCylinderBase(Owner) {}

void TCylinder::SetTopRadius(float Value) { StoreGeometry(*this, FTopRadius, Value); }
void TCylinder::SetParts(unsigned Value) { StoreGeometry(*this, FParts, Value); }

void TCylinder::CompileGeometry(TRenderContextInfo &)
{
    GL().glPushMatrix();
    EnterGLUFrame();
    DrawTube(*this, FBottomRadius, FTopRadius, FHeight, FSlices, FStacks, FLoops,
             FParts & cySides, FParts & cyBottom, FParts & cyTop);
    GL().glPopMatrix();
}

TVector4f TCylinder::HalfExtents() { return TubeHalfExtents(FTopRadius); }

void TCylinder::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TCylinder *>(&Dest)) {
        d->SetTopRadius(FTopRadius);
        d->SetParts(FParts);
    }
    TCylinderBase::AssignTo(Dest);
}

TCone::TCone(TComponent *Owner) : TCylinderBase(Owner) {}

void TCone::SetParts(unsigned Value) { StoreGeometry(*this, FParts, Value); }

void TCone::CompileGeometry(TRenderContextInfo &)
{
    GL().glPushMatrix();
    EnterGLUFrame();
    DrawTube(*this, FBottomRadius, 0, FHeight, FSlices, FStacks, FLoops, FParts & coSides,
             FParts & coBottom, false);
    GL().glPopMatrix();
}

TVector4f TCone::HalfExtents()
{
    const float r = std::abs(FBottomRadius);
    return ScaledBy(*this, r, FHeight / 2, r);
}

void TCone::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TCone *>(&Dest))
        d->SetParts(FParts);
    TCylinderBase::AssignTo(Dest);
}

namespace {
// The classes of this unit by name, in the order the scene files know them.
const bool gRegistered = [] {
    RegisterSceneObjectClass<TSphere>("TSphere");
    RegisterSceneObjectClass<TCube>("TCube");
    RegisterSceneObjectClass<TFrustrum>("TFrustrum");
    RegisterSceneObjectClass<TCylinder>("TCylinder");
    RegisterSceneObjectClass<TCone>("TCone");
    RegisterSceneObjectClass<TTorus>("TTorus");
    RegisterSceneObjectClass<TTeapot>("TTeapot");
    RegisterSceneObjectClass<TDodecahedron>("TDodecahedron");
    RegisterSceneObjectClass<TDisk>("TDisk");
    RegisterSceneObjectClass<TPlane>("TPlane");
    RegisterSceneObjectClass<TSprite>("TSprite");
    RegisterSceneObjectClass<TDummyCube>("TDummyCube");
    RegisterSceneObjectClass<TLines>("TLines");
    RegisterSceneObjectClass<TAnnulus>("TAnnulus");
    RegisterSceneObjectClass<TArrowLine>("TArrowLine");
    RegisterSceneObjectClass<TPolygon>("TPolygon");
    return true;
}();
} // namespace

} // namespace orv
