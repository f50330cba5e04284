// The primitives no form of the system uses: sprite, cube, frustrum,
// annulus, torus, teapot, dodecahedron, arrow line and polygon.
#include "view3d/scene/GLObjects.h"

#include "view3d/geometry/Geometry.h"
#include "view3d/geometry/Polynomials.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLObjectsStore.h"
#include "view3d/scene/XOpenGL.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace orv {

namespace {

// The normal of a planar polygon by Newell's method (sound also when two
// corners coincide, as at a frustrum's apex).
TAffineVec3f NewellNormal(const TAffineVec3f *P, int N)
{
    TAffineVec3f n;
    for (int i = 0; i < N; ++i) {
        const TAffineVec3f &a = P[i], &b = P[(i + 1) % N];
        n.X += (a.Y - b.Y) * (a.Z + b.Z);
        n.Y += (a.Z - b.Z) * (a.X + b.X);
        n.Z += (a.X - b.X) * (a.Y + b.Y);
    }
    return AffineNormalized(n);
}

// A box whose top (half sizes TopW x TopD at YTop) may be smaller than its
// bottom (BottomW x BottomD at YBottom). Parts bits: top, bottom, front,
// back, left, right (as TCubePart and TFrustrumPart). Corners run
// counter-clockwise seen from outside; Inside turns the faces inwards.
void DrawBoxFaces(float BottomW, float BottomD, float YBottom, float TopW, float TopD,
                  float YTop, unsigned Parts, bool Inside)
{
    const float bw = BottomW, bd = BottomD, b = YBottom, tw = TopW, td = TopD, t = YTop;
    const TAffineVec3f faces[6][4] = {
        {{tw, t, -td}, {-tw, t, -td}, {-tw, t, td}, {tw, t, td}},     // top
        {{bw, b, bd}, {-bw, b, bd}, {-bw, b, -bd}, {bw, b, -bd}},     // bottom
        {{tw, t, td}, {-tw, t, td}, {-bw, b, bd}, {bw, b, bd}},       // front
        {{-tw, t, -td}, {tw, t, -td}, {bw, b, -bd}, {-bw, b, -bd}},   // back
        {{-tw, t, td}, {-tw, t, -td}, {-bw, b, -bd}, {-bw, b, bd}},   // left
        {{tw, t, -td}, {tw, t, td}, {bw, b, bd}, {bw, b, -bd}},       // right
    };
    static constexpr float tex[4][2] = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
    const TGLEntryTable &g = GL();
    g.glBegin(gl::QUADS);
    for (int f = 0; f < 6; ++f) {
        if (!(Parts & (1u << f)))
            continue;
        TAffineVec3f n = NewellNormal(faces[f], 4);
        if (Inside)
            AffineNegate(n);
        g.glNormal3fv(&n.X);
        for (int k = 0; k < 4; ++k) {
            const int i = Inside ? 3 - k : k;
            xgl().TexCoord2f(tex[i][0], tex[i][1]);
            g.glVertex3fv(&faces[f][i].X);
        }
    }
    g.glEnd();
}

} // namespace

// ---- TSprite ----

TSprite::TSprite(TComponent *Owner) : TGLCustomSceneObject(Owner) { FStyle |= osImmediateDraw; }

void TSprite::SetWidth(float Value) { StoreGeometry(*this, FWidth, Value); }
void TSprite::SetHeight(float Value) { StoreGeometry(*this, FHeight, Value); }
void TSprite::SetRotation(float Value) { StoreGeometry(*this, FRotation, Value); }
void TSprite::SetNoZWrite(bool Value) { StoreGeometry(*this, FNoZWrite, Value); }

void TSprite::SetAlphaChannel(float Value)
{
    const float a = ClampSingle(Value, 0, 1);
    if (!StoreChanged(FAlphaChannel, a))
        return;
    Material().FrontProperties().Diffuse().WriteComponent(3, a);
    GeometryChanged();
}

void TSprite::CompileGeometry(TRenderContextInfo &)
{
    const TGLEntryTable &g = GL();
    // The camera's right and up axes in the sprite's frame are the first
    // two columns of the modelview matrix (OpenGL stores it by columns).
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    g.glGetFloatv(gl::MODELVIEW_MATRIX, m);
    TAffineVec3f right = AffineNormalized({m[0], m[4], m[8]});
    TAffineVec3f up = AffineNormalized({m[1], m[5], m[9]});
    if (FRotation != 0) {
        float s, c;
        SineCosineSingle(float(DegreesToRadians(FRotation)), s, c);
        const TAffineVec3f r = right;
        right = AffineAdd(AffineScaled(r, c), AffineScaled(up, s));
        up = AffineAdd(AffineScaled(r, -s), AffineScaled(up, c));
    }
    const TAffineVec3f normal = AffineCross(right, up);
    AffineScaleBy(right, FWidth / 2);
    AffineScaleBy(up, FHeight / 2);
    if (FNoZWrite)
        g.glDepthMask(0);
    g.glNormal3fv(&normal.X);
    g.glBegin(gl::QUADS);
    const float corners[4][4] = {{1, 1, 1, 1}, {-1, 1, 0, 1}, {-1, -1, 0, 0}, {1, -1, 1, 0}};
    for (const auto &c : corners) {
        xgl().TexCoord2f(c[2], c[3]);
        const TAffineVec3f p = AffineAdd(AffineScaled(right, c[0]), AffineScaled(up, c[1]));
        g.glVertex3fv(&p.X);
    }
    g.glEnd();
    if (FNoZWrite)
        g.glDepthMask(1);
}

void TSprite::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TSprite *>(&Dest);
    if (!d)
        return TGLCustomSceneObject::AssignTo(Dest);
    d->SetWidth(FWidth);
    d->SetHeight(FHeight);
    d->SetRotation(FRotation);
    d->SetAlphaChannel(FAlphaChannel);
    d->SetNoZWrite(FNoZWrite);
    TGLCustomSceneObject::AssignTo(Dest);
}

// ---- TCube ----

TCube::TCube(TComponent *Owner) : TGLWorldObject(Owner) {}

void TCube::SetCubeWidth(float Value) { StoreGeometry(*this, FSize.X, Value); }
void TCube::SetCubeHeight(float Value) { StoreGeometry(*this, FSize.Y, Value); }
void TCube::SetCubeDepth(float Value) { StoreGeometry(*this, FSize.Z, Value); }
void TCube::SetParts(unsigned Value) { StoreGeometry(*this, FParts, Value); }

void TCube::SetNormalDirection(TNormalDirection Value)
{
    StoreGeometry(*this, FNormalDirection, Value);
}

std::string TCube::CubeSizeData() const
{
    if (FSize.X == 1 && FSize.Y == 1 && FSize.Z == 1)
        return {};
    return SinglesData(&FSize.X, 3);
}

void TCube::ReadCubeSizeData(const std::string &Data)
{
    if (ReadSinglesData(Data, &FSize.X, 3))
        GeometryChanged();
}

void TCube::CompileGeometry(TRenderContextInfo &)
{
    const float w = FSize.X / 2, h = FSize.Y / 2, d = FSize.Z / 2;
    DrawBoxFaces(w, d, -h, w, d, h, FParts, FNormalDirection == ndInside);
}

TVector4f TCube::HalfExtents()
{
    return ScaledBy(*this, std::abs(FSize.X) / 2, std::abs(FSize.Y) / 2, std::abs(FSize.Z) / 2);
}

void TCube::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TCube *>(&Dest);
    if (!d)
        return TGLWorldObject::AssignTo(Dest);
    d->FSize = FSize;
    d->SetParts(FParts);
    d->SetNormalDirection(FNormalDirection);
    d->GeometryChanged();
    TGLWorldObject::AssignTo(Dest);
}

// ---- TFrustrum ----

TFrustrum::TFrustrum(TComponent *Owner) : TGLWorldObject(Owner) {}

void TFrustrum::SetApexHeight(float Value) { StoreGeometry(*this, FApexHeight, Value); }
void TFrustrum::SetBaseDepth(float Value) { StoreGeometry(*this, FBaseDepth, Value); }
void TFrustrum::SetBaseWidth(float Value) { StoreGeometry(*this, FBaseWidth, Value); }
void TFrustrum::SetHeight(float Value) { StoreGeometry(*this, FHeight, Value); }
void TFrustrum::SetParts(unsigned Value) { StoreGeometry(*this, FParts, Value); }

void TFrustrum::SetNormalDirection(TNormalDirection Value)
{
    StoreGeometry(*this, FNormalDirection, Value);
}

std::string TFrustrum::FrustrumSizeData() const
{
    if (FApexHeight == 1 && FBaseDepth == 1 && FBaseWidth == 1 && FHeight == 0.5f)
        return {};
    const float values[4] = {FApexHeight, FBaseDepth, FBaseWidth, FHeight};
    return SinglesData(values, 4);
}

void TFrustrum::ReadFrustrumSizeData(const std::string &Data)
{
    float values[4];
    if (!ReadSinglesData(Data, values, 4))
        return;
    FApexHeight = values[0];
    FBaseDepth = values[1];
    FBaseWidth = values[2];
    FHeight = values[3];
    GeometryChanged();
}

void TFrustrum::CompileGeometry(TRenderContextInfo &)
{
    // The sides shrink linearly from the base to the apex.
    const float shrink = FApexHeight != 0 ? std::max(0.0f, 1 - FHeight / FApexHeight) : 0;
    const float bw = FBaseWidth / 2, bd = FBaseDepth / 2;
    unsigned parts = FParts;
    if (!(FHeight < FApexHeight))
        parts &= ~unsigned(fpTop); // cut at or above the apex: no top face
    DrawBoxFaces(bw, bd, -FHeight / 2, bw * shrink, bd * shrink, FHeight / 2, parts,
                 FNormalDirection == ndInside);
}

TVector4f TFrustrum::HalfExtents()
{
    return ScaledBy(*this, std::abs(FBaseWidth) / 2, std::abs(FHeight) / 2,
                    std::abs(FBaseDepth) / 2);
}

void TFrustrum::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TFrustrum *>(&Dest);
    if (!d)
        return TGLWorldObject::AssignTo(Dest);
    d->SetApexHeight(FApexHeight);
    d->SetBaseDepth(FBaseDepth);
    d->SetBaseWidth(FBaseWidth);
    d->SetHeight(FHeight);
    d->SetParts(FParts);
    d->SetNormalDirection(FNormalDirection);
    TGLWorldObject::AssignTo(Dest);
}

// ---- TAnnulus ----

TAnnulus::TAnnulus(TComponent *Owner) : TCylinderBase(Owner) {}

void TAnnulus::SetBottomInnerRadius(float Value) { StoreGeometry(*this, FBottomInnerRadius, Value); }
void TAnnulus::SetTopInnerRadius(float Value) { StoreGeometry(*this, FTopInnerRadius, Value); }
void TAnnulus::SetTopRadius(float Value) { StoreGeometry(*this, FTopRadius, Value); }
void TAnnulus::SetParts(unsigned Value) { StoreGeometry(*this, FParts, Value); }

void TAnnulus::CompileGeometry(TRenderContextInfo &)
{
    const TGLEntryTable &g = GL();
    g.glPushMatrix();
    EnterGLUFrame();
    TGLQuadric q;
    SetupQuadricParams(q);
    if (FParts & anOuterSides)
        g.gluCylinder(q.Handle(), FBottomRadius, FTopRadius, FHeight, FSlices, FStacks);
    if (FParts & anTop) {
        g.glPushMatrix();
        g.glTranslatef(0, 0, FHeight);
        g.gluDisk(q.Handle(), FTopInnerRadius, FTopRadius, FSlices, FLoops);
        g.glPopMatrix();
    }
    SetInvertedQuadricOrientation(q); // the inner wall and the bottom face the other way
    if (FParts & anInnerSides)
        g.gluCylinder(q.Handle(), FBottomInnerRadius, FTopInnerRadius, FHeight, FSlices,
                      FStacks);
    if (FParts & anBottom)
        g.gluDisk(q.Handle(), FBottomInnerRadius, FBottomRadius, FSlices, FLoops);
    g.glPopMatrix();
}

TVector4f TAnnulus::HalfExtents() { return TubeHalfExtents(FTopRadius); }

void TAnnulus::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TAnnulus *>(&Dest)) {
        d->SetBottomInnerRadius(FBottomInnerRadius);
        d->SetTopInnerRadius(FTopInnerRadius);
        d->SetTopRadius(FTopRadius);
        d->SetParts(FParts);
    }
    TCylinderBase::AssignTo(Dest);
}

// ---- TTorus ----

TTorus::TTorus(TComponent *Owner) : TGLWorldObject(Owner) {}

void TTorus::SetMajorRadius(float Value) { StoreGeometry(*this, FMajorRadius, Value); }
void TTorus::SetMinorRadius(float Value) { StoreGeometry(*this, FMinorRadius, Value); }
void TTorus::SetRings(int Value) { StoreGeometry(*this, FRings, std::max(Value, 2)); }
void TTorus::SetSides(int Value) { StoreGeometry(*this, FSides, std::max(Value, 3)); }

void TTorus::CompileGeometry(TRenderContextInfo &)
{
    const TGLEntryTable &g = GL();
    const double pi2 = 2 * std::numbers::pi;
    for (int i = 0; i < FRings; ++i) {
        g.glBegin(gl::QUAD_STRIP);
        for (int j = 0; j <= FSides; ++j) {
            const double phi = pi2 * j / FSides;
            for (int ring : {i, i + 1}) {
                const double theta = pi2 * ring / FRings;
                const float nx = float(std::cos(phi) * std::cos(theta));
                const float ny = float(std::cos(phi) * std::sin(theta));
                const float nz = float(std::sin(phi));
                const double d = FMajorRadius + FMinorRadius * std::cos(phi);
                g.glNormal3f(nx, ny, nz);
                xgl().TexCoord2f(float(ring) / float(FRings), float(j) / float(FSides));
                g.glVertex3f(float(d * std::cos(theta)), float(d * std::sin(theta)),
                             FMinorRadius * nz);
            }
        }
        g.glEnd();
    }
}

TVector4f TTorus::HalfExtents()
{
    const float r = std::abs(FMajorRadius) + std::abs(FMinorRadius);
    return ScaledBy(*this, r, r, std::abs(FMinorRadius));
}

bool TTorus::RayHit(const TVector4f &RayOrigin, const TVector4f &RayDirection,
                    TVector4f *HitPoint, TVector4f *HitNormal)
{
    const TVector4f o4 = WorldToLocal(PointFromAffine(AffinePart(RayOrigin)));
    TVector4f d4 = WorldToLocal(DirectionFromAffine(AffinePart(RayDirection)));
    HomogeneousNormalize(d4);
    const double ox = o4.X, oy = o4.Y, oz = o4.Z, dx = d4.X, dy = d4.Y, dz = d4.Z;
    const double R = FMajorRadius, r = FMinorRadius;
    // (|p|^2 + R^2 - r^2)^2 = 4 R^2 (px^2 + py^2) along p = o + t d:
    // (a t^2 + b t + c)^2 = 4 R^2 (e t^2 + f t + g).
    const double a = dx * dx + dy * dy + dz * dz, b = 2 * (ox * dx + oy * dy + oz * dz);
    const double c = ox * ox + oy * oy + oz * oz + R * R - r * r;
    const double e = dx * dx + dy * dy, f = 2 * (ox * dx + oy * dy), gg = ox * ox + oy * oy;
    const double k = 4 * R * R;
    const TDoubleArray roots = SolveQuartic(c * c - k * gg, 2 * b * c - k * f,
                                            b * b + 2 * a * c - k * e, 2 * a * b, a * a);
    double t = -1;
    for (double root : roots)
        if (root >= 0 && (t < 0 || root < t))
            t = root;
    if (t < 0)
        return false;
    const TAffineVec3f p{float(ox + t * dx), float(oy + t * dy), float(oz + t * dz)};
    if (HitPoint)
        *HitPoint = LocalToWorld(PointFromAffine(p));
    if (HitNormal) {
        // Away from the nearest point of the ring's centre circle.
        const TAffineVec3f radial = AffineNormalized({p.X, p.Y, 0});
        const TAffineVec3f n = AffineSubtract(p, AffineScaled(radial, FMajorRadius));
        *HitNormal = LocalToWorld(DirectionFromAffine(n));
        HomogeneousNormalize(*HitNormal);
    }
    return true;
}

void TTorus::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TTorus *>(&Dest);
    if (!d)
        return TGLWorldObject::AssignTo(Dest);
    d->SetMajorRadius(FMajorRadius);
    d->SetMinorRadius(FMinorRadius);
    d->SetRings(FRings);
    d->SetSides(FSides);
    TGLWorldObject::AssignTo(Dest);
}

// ---- TTeapot ----

namespace {

// Control points of one bicubic patch: [v][u][xyz], u along the profile or
// the centre curve, v around it, so that dP/du x dP/dv points outwards.
using TPatch = std::array<float, 4 * 4 * 3>;

// A quarter circle as a cubic from angle 90 down to 0 degrees (cos, sin).
constexpr float cK = 0.5522847f;
constexpr float cQuarter[4][2] = {{0, 1}, {cK, 1}, {1, cK}, {1, 0}};

// The (cos, sin) of control point J of quadrant Q (turned by Q x 90 degrees).
void QuadrantPoint(int Q, int J, float &C, float &S)
{
    float c = cQuarter[J][0], s = cQuarter[J][1];
    for (int i = 0; i < Q; ++i) {
        const float t = c;
        c = -s;
        s = t;
    }
    C = c;
    S = s;
}

// A profile (radius, height) turned about the Y axis: four patches.
void AddRevolution(std::vector<TPatch> &Patches, const float (&Profile)[4][2])
{
    for (int q = 0; q < 4; ++q) {
        TPatch p;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i) {
                float c, s;
                QuadrantPoint(q, j, c, s);
                float *v = &p[size_t((j * 4 + i) * 3)];
                v[0] = Profile[i][0] * c;
                v[1] = Profile[i][1];
                v[2] = Profile[i][0] * s;
            }
        Patches.push_back(p);
    }
}

// A tube of radii Radius around a centre curve (x, y) in the XY plane:
// four patches.
void AddTube(std::vector<TPatch> &Patches, const float (&Curve)[4][2], const float (&Radius)[4])
{
    // The in-plane normal at each control point, from the control polygon.
    TAffineVec3f normal[4];
    for (int i = 0; i < 4; ++i) {
        const int a = std::max(i - 1, 0), b = std::min(i + 1, 3);
        normal[i] = AffineNormalized({Curve[a][1] - Curve[b][1], Curve[b][0] - Curve[a][0], 0});
    }
    for (int q = 0; q < 4; ++q) {
        TPatch p;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i) {
                float c, s;
                QuadrantPoint(q, j, c, s);
                float *v = &p[size_t((j * 4 + i) * 3)];
                // The angle falls along v (from 90 to 0 degrees in each
                // quadrant), so dP/du x dP/dv points away from the curve.
                v[0] = Curve[i][0] + Radius[i] * c * normal[i].X;
                v[1] = Curve[i][1] + Radius[i] * c * normal[i].Y;
                v[2] = Radius[i] * s;
            }
        Patches.push_back(p);
    }
}

// Our own teapot, 1.22 high before scaling, its bottom at y = 0.
std::vector<TPatch> MakeTeapot()
{
    std::vector<TPatch> patches;
    const float body[3][4][2] = {
        {{0.70f, 0.90f}, {0.78f, 0.85f}, {1.00f, 0.70f}, {1.00f, 0.45f}},
        {{1.00f, 0.45f}, {1.00f, 0.10f}, {0.85f, 0.00f}, {0.70f, 0.00f}},
        {{0.70f, 0.00f}, {0.45f, 0.00f}, {0.20f, 0.00f}, {0.00f, 0.00f}}};
    const float lid[2][4][2] = {
        {{0.00f, 1.22f}, {0.16f, 1.22f}, {0.16f, 1.10f}, {0.06f, 1.05f}},
        {{0.06f, 1.05f}, {0.30f, 1.02f}, {0.60f, 0.98f}, {0.70f, 0.90f}}};
    for (const auto &segment : lid)
        AddRevolution(patches, segment);
    for (const auto &segment : body)
        AddRevolution(patches, segment);
    const float spout[4][2] = {{0.92f, 0.35f}, {1.25f, 0.40f}, {1.25f, 0.80f}, {1.55f, 0.95f}};
    AddTube(patches, spout, {0.20f, 0.15f, 0.10f, 0.07f});
    const float handle[2][4][2] = {
        {{-0.90f, 0.75f}, {-1.30f, 0.90f}, {-1.50f, 0.70f}, {-1.40f, 0.45f}},
        {{-1.40f, 0.45f}, {-1.30f, 0.25f}, {-1.10f, 0.15f}, {-0.95f, 0.22f}}};
    for (const auto &segment : handle)
        AddTube(patches, segment, {0.07f, 0.07f, 0.07f, 0.07f});
    return patches;
}

constexpr GLbitfield cEvalBit = 0x00010000;

} // namespace

TTeapot::TTeapot(TComponent *Owner) : TGLWorldObject(Owner) {}

void TTeapot::CompileGeometry(TRenderContextInfo &)
{
    static const std::vector<TPatch> patches = MakeTeapot();
    static constexpr float tex[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    constexpr int grid = 5;
    const TGLEntryTable &g = GL();
    // The evaluator's normals are dP/du x dP/dv, but its quad strips run
    // clockwise around them: clockwise faces are the front ones here.
    g.glPushAttrib(gl::ENABLE_BIT | cEvalBit | gl::POLYGON_BIT);
    g.glFrontFace(gl::CW);
    g.glEnable(gl::AUTO_NORMAL);
    g.glEnable(gl::NORMALIZE);
    g.glEnable(gl::MAP2_VERTEX_3);
    g.glEnable(gl::MAP2_TEXTURE_COORD_2);
    g.glPushMatrix();
    g.glScalef(0.5f, 0.5f, 0.5f);
    g.glTranslatef(0, -0.61f, 0); // centred on its height
    g.glMapGrid2f(grid, 0, 1, grid, 0, 1);
    g.glMap2f(gl::MAP2_TEXTURE_COORD_2, 0, 1, 2, 2, 0, 1, 4, 2, tex);
    for (const TPatch &p : patches) {
        g.glMap2f(gl::MAP2_VERTEX_3, 0, 1, 3, 4, 0, 1, 12, 4, p.data());
        g.glEvalMesh2(gl::FILL, 0, grid, 0, grid);
    }
    g.glPopMatrix();
    g.glPopAttrib();
}

// ---- TDodecahedron ----

TDodecahedron::TDodecahedron(TComponent *Owner) : TGLWorldObject(Owner) {}

void TDodecahedron::CompileGeometry(TRenderContextInfo &)
{
    const TGLEntryTable &g = GL();
    g.glPushMatrix();
    g.glScalef(0.3f, 0.3f, 0.3f);
    DrawDodecahedron();
    g.glPopMatrix();
}

// ---- TArrowLine ----

TArrowLine::TArrowLine(TComponent *Owner) : TCylinderBase(Owner)
{
    FBottomRadius = 0.1f; // a line, not the cylinder's 0.5
}

void TArrowLine::SetTopRadius(float Value) { StoreGeometry(*this, FTopRadius, Value); }
void TArrowLine::SetParts(unsigned Value) { StoreGeometry(*this, FParts, Value); }

void TArrowLine::SetTopArrowHeadHeight(float Value)
{
    StoreGeometry(*this, FTopArrowHeadHeight, Value);
}

void TArrowLine::SetTopArrowHeadRadius(float Value)
{
    StoreGeometry(*this, FTopArrowHeadRadius, Value);
}

void TArrowLine::SetBottomArrowHeadHeight(float Value)
{
    StoreGeometry(*this, FBottomArrowHeadHeight, Value);
}

void TArrowLine::SetBottomArrowHeadRadius(float Value)
{
    StoreGeometry(*this, FBottomArrowHeadRadius, Value);
}

void TArrowLine::SetHeadStackingStyle(TArrowHeadStackingStyle Value)
{
    StoreGeometry(*this, FHeadStackingStyle, Value);
}

//   stacked:   the heads sit beyond the line's ends
//   centered:  each head's middle is on its end of the line
//   included:  the heads lie within Height, the line between them
void TArrowLine::CompileGeometry(TRenderContextInfo &)
{
    const TGLEntryTable &g = GL();
    const bool top = FParts & alTopArrow, bottom = FParts & alBottomArrow;
    const float th = FTopArrowHeadHeight, bh = FBottomArrowHeadHeight;
    float topBase = FHeight, bottomBase = 0; // along the GLU frame's Z, 0 at the bottom end
    if (FHeadStackingStyle == ahssCentered) {
        topBase = FHeight - th / 2;
        bottomBase = bh / 2;
    } else if (FHeadStackingStyle == ahssIncluded) {
        topBase = FHeight - th;
        bottomBase = bh;
    }
    const float lineStart = bottom ? bottomBase : 0, lineEnd = top ? topBase : FHeight;
    g.glPushMatrix();
    EnterGLUFrame();
    TGLQuadric q;
    SetupQuadricParams(q);
    if (FParts & alLine) {
        g.glPushMatrix();
        g.glTranslatef(0, 0, lineStart);
        g.gluCylinder(q.Handle(), FBottomRadius, FTopRadius, lineEnd - lineStart, FSlices,
                      FStacks);
        if (!top) {
            g.glTranslatef(0, 0, lineEnd - lineStart);
            g.gluDisk(q.Handle(), 0, FTopRadius, FSlices, FLoops);
            g.glTranslatef(0, 0, lineStart - lineEnd);
        }
        if (!bottom) {
            SetInvertedQuadricOrientation(q);
            g.gluDisk(q.Handle(), 0, FBottomRadius, FSlices, FLoops);
            SetNormalQuadricOrientation(q);
        }
        g.glPopMatrix();
    }
    auto head = [&](float Base, bool Down, float Radius, float Height) {
        g.glPushMatrix();
        g.glTranslatef(0, 0, Base);
        if (Down)
            g.glRotatef(180, 1, 0, 0);
        g.gluCylinder(q.Handle(), Radius, 0, Height, FSlices, FStacks);
        SetInvertedQuadricOrientation(q); // the closing disc faces back
        g.gluDisk(q.Handle(), 0, Radius, FSlices, FLoops);
        SetNormalQuadricOrientation(q);
        g.glPopMatrix();
    };
    if (top)
        head(topBase, false, FTopArrowHeadRadius, th);
    if (bottom)
        head(bottomBase, true, FBottomArrowHeadRadius, bh);
    g.glPopMatrix();
}

void TArrowLine::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TArrowLine *>(&Dest)) {
        d->SetTopRadius(FTopRadius);
        d->SetTopArrowHeadHeight(FTopArrowHeadHeight);
        d->SetTopArrowHeadRadius(FTopArrowHeadRadius);
        d->SetBottomArrowHeadHeight(FBottomArrowHeadHeight);
        d->SetBottomArrowHeadRadius(FBottomArrowHeadRadius);
        d->SetHeadStackingStyle(FHeadStackingStyle);
        d->SetParts(FParts);
    }
    TCylinderBase::AssignTo(Dest);
}

// ---- TPolygonBase, TPolygon ----

TPolygonBase::TPolygonBase(TComponent *Owner) : TGLWorldObject(Owner), FNodes(this) {}

void TPolygonBase::SetDivision(int Value) { StoreGeometry(*this, FDivision, std::max(Value, 1)); }

void TPolygonBase::SetSplineMode(TLineSplineMode Value)
{
    StoreGeometry(*this, FSplineMode, Value);
}

void TPolygonBase::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TPolygonBase *>(&Dest);
    if (!d)
        return TGLWorldObject::AssignTo(Dest);
    auto &from = const_cast<TGLObjectNodes &>(FNodes);
    d->FNodes.BeginUpdate();
    d->FNodes.Clear();
    for (int i = 0; i < from.Count(); ++i)
        d->FNodes.AddNode(from.NodeAt(i).X(), from.NodeAt(i).Y(), from.NodeAt(i).Z());
    d->FNodes.EndUpdate();
    d->SetDivision(FDivision);
    d->SetSplineMode(FSplineMode);
    TGLWorldObject::AssignTo(Dest);
}

TPolygon::TPolygon(TComponent *Owner) : TPolygonBase(Owner) {}

void TPolygon::SetParts(unsigned Value) { StoreGeometry(*this, FParts, Value); }

void TPolygon::CompileGeometry(TRenderContextInfo &)
{
    if (FParts & ppTop) {
        const TAffineVec3f up{0, 0, 1};
        FNodes.DrawNodePolygon(true, &up, SplineDivisions(), false);
    }
    if (FParts & ppBottom) {
        const TAffineVec3f down{0, 0, -1};
        FNodes.DrawNodePolygon(true, &down, SplineDivisions(), true);
    }
}

void TPolygon::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TPolygon *>(&Dest))
        d->SetParts(FParts);
    TPolygonBase::AssignTo(Dest);
}

} // namespace orv
