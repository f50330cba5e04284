#include "view3d/scene/GLGraph.h"

#include "view3d/geometry/Geometry.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/GLObjectsStore.h"
#include "view3d/scene/XOpenGL.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace orv {

// ---- TGLSamplingScale ----

void TGLSamplingScale::SetMin(float Value)
{
    FMin = Value;
    if (FMax < FMin)
        FMax = FMin;
    SignalChange(this);
}

void TGLSamplingScale::SetMax(float Value)
{
    FMax = Value;
    if (FMin > FMax)
        FMin = FMax;
    SignalChange(this);
}

void TGLSamplingScale::SetOrigin(float Value)
{
    FOrigin = Value;
    SignalChange(this);
}

void TGLSamplingScale::SetStep(float Value)
{
    FStep = Value > 0 ? Value : 1;
    SignalChange(this);
}

float TGLSamplingScale::StepBase() const
{
    if (FOrigin == FMin)
        return FMin;
    // Whole steps from Min up to Origin, rounded down: Origin - D x Step is
    // then the lowest lattice point not below Min (also when Origin lies
    // a whole number of steps below Min).
    const long double b = (static_cast<long double>(FOrigin) - FMin) / FStep;
    const long double d = std::floor(b);
    return float(FOrigin - d * FStep);
}

int TGLSamplingScale::MaxStepCount() const
{
    return NearestInteger(float((static_cast<long double>(FMax) - FMin) / FStep + 0.5L));
}

void TGLSamplingScale::SetBaseStepMaxToVars(float &Base, float &Step, float &Max,
                                             bool UseScale) const
{
    Step = FStep;
    if (UseScale) {
        Base = StepBase();
        Max = FMax + (FMax - Base) / FStep * 1e-6f;
    } else {
        Base = Max = FOrigin;
    }
}

float TGLSamplingScale::LatticeValue(float Base, float Step, int K)
{
    return float(double(Base) + double(K) * double(Step));
}

void TGLSamplingScale::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<TGLSamplingScale *>(&Dest);
    if (!d)
        return TGLUpdateAbleObject::AssignTo(Dest);
    d->FMin = FMin;
    d->FMax = FMax;
    d->FOrigin = FOrigin;
    d->FStep = FStep;
    d->SignalChange(d);
}

// ---- THeightField ----

struct THeightField::TSample {
    float Z = 0;
    TVector4f Color;
    TTexPoint TexPoint;
    TAffineVec3f Normal;
};

THeightField::THeightField(TComponent *Owner)
    : TGLWorldObject(Owner), FXSamplingScale(this), FYSamplingScale(this)
{
    FStyle |= osRestoresStateCaches;
}

void THeightField::SetOptions(unsigned Value)
{
    StoreGeometry(*this, FOptions, Value);
}

void THeightField::SetColorMode(THeightFieldColorMode Value)
{
    StoreGeometry(*this, FColorMode, Value);
}

void THeightField::SetOnGetHeight(THeightFieldGetHeightEvent Event)
{
    FOnGetHeight = std::move(Event);
    GeometryChanged();
}

void THeightField::SetOnGetHeight2(THeightFieldGetHeight2Event Event)
{
    FOnGetHeight2 = std::move(Event);
    GeometryChanged();
}

void THeightField::SignalChange(TObject *Sender)
{
    if (Sender == &FXSamplingScale || Sender == &FYSamplingScale)
        GeometryChanged();
    TGLWorldObject::SignalChange(Sender);
}

void THeightField::FillRow(TRow &Row, float Y, const std::vector<float> &Xs)
{
    for (size_t i = 0; i < Xs.size(); ++i) {
        TSample &s = Row[i];
        s.TexPoint = {Xs[i], Y};
        if (FOnGetHeight) {
            FOnGetHeight(Xs[i], Y, s.Z, s.Color, s.TexPoint);
        } else if (FOnGetHeight2) {
            FOnGetHeight2(this, Xs[i], Y, s.Z, s.Color, s.TexPoint);
        } else {
            // The built-in ripple; r is the squared distance from the origin.
            const float r = PlanarNorm(Xs[i], Y);
            s.Z = float(std::cos(12.0L * r) / ((6.28L * r + 1) * 2));
        }
    }
}

void THeightField::ComputeNormals(TRow &Row, const TRow *Before, const TRow *After) const
{
    const float stepX = FXSamplingScale.Step(), stepY = FYSamplingScale.Step();
    const size_t n = Row.size();
    for (size_t i = 0; i < n; ++i) {
        const float z = Row[i].Z;
        float dx = 0, dy = 0;
        if (i > 0)
            dx += (Row[i - 1].Z - z) / stepX;
        if (i + 1 < n)
            dx += (z - Row[i + 1].Z) / stepX;
        if (Before)
            dy += ((*Before)[i].Z - z) / stepY;
        if (After)
            dy += (z - (*After)[i].Z) / stepY;
        Row[i].Normal = AffineNormalized({dx, dy, 1});
    }
}

void THeightField::DrawStrip(const TRow &A, float YA, const TRow &B, float YB,
                             const std::vector<float> &Xs) const
{
    const TGLEntryTable &g = GL();
    const bool colours = FColorMode != hfcmNone;
    const bool textured = FOptions & hfoTextureCoordinates;
    g.glBegin(gl::TRIANGLE_STRIP);
    for (size_t i = 0; i < Xs.size(); ++i)
        for (const auto &[s, y] : {std::pair<const TSample *, float>{&B[i], YB}, {&A[i], YA}}) {
            g.glNormal3fv(&s->Normal.X);
            if (colours)
                g.glColor4fv(&s->Color.X);
            if (textured)
                xgl().TexCoord2fv(&s->TexPoint.S);
            g.glVertex4f(Xs[i], y, s->Z, 1);
        }
    g.glEnd();
}

namespace {

// Saves the enable state around a build that changes it, also when a
// height callback raises.
struct TEnableStateGuard {
    bool Saved;
    explicit TEnableStateGuard(bool Save) : Saved(Save)
    {
        if (Saved)
            GL().glPushAttrib(gl::ENABLE_BIT);
    }
    ~TEnableStateGuard()
    {
        if (Saved)
            GL().glPopAttrib();
    }
};

constexpr GLenum cColorMaterialModes[] = {0, gl::EMISSION, gl::AMBIENT, gl::DIFFUSE,
                                          gl::AMBIENT_AND_DIFFUSE};

} // namespace

void THeightField::CompileGeometry(TRenderContextInfo &)
{
    if (!FXSamplingScale.IsValid() || !FYSamplingScale.IsValid())
        return;
    const TGLEntryTable &g = GL();
    // Sample positions are Base + k x Step: a running sum in single
    // precision drifts, and could give a row more samples than it holds.
    const size_t capacity = size_t(std::max(FXSamplingScale.MaxStepCount(), 0)) + 1;
    const float xBase = FXSamplingScale.StepBase(), xStep = FXSamplingScale.Step();
    std::vector<float> xs;
    for (int i = 0; xs.size() < capacity; ++i) {
        const float x = TGLSamplingScale::LatticeValue(xBase, xStep, i);
        if (!(x < FXSamplingScale.Max()))
            break;
        xs.push_back(x);
    }
    // Three row buffers: the row before the previous, the previous, the current.
    TRow rows[3] = {TRow(xs.size()), TRow(xs.size()), TRow(xs.size())};
    TRow *before = &rows[0], *previous = &rows[1], *current = &rows[2];

    TEnableStateGuard guard((FOptions & hfoTwoSided) || FColorMode != hfcmNone);
    if (FOptions & hfoTwoSided)
        g.glDisable(gl::CULL_FACE);
    if (FColorMode != hfcmNone) {
        g.glEnable(gl::COLOR_MATERIAL);
        g.glColorMaterial(gl::FRONT_AND_BACK, cColorMaterialModes[FColorMode]);
        ClearMaterialCache();
    }
    const float yBase = FYSamplingScale.StepBase(), yStep = FYSamplingScale.Step();
    auto rowY = [&](int K) { return TGLSamplingScale::LatticeValue(yBase, yStep, K); };
    int rowCount = 0;
    for (; rowY(rowCount) <= FYSamplingScale.Max(); ++rowCount) {
        std::swap(before, previous); // the oldest row's buffer takes the new row
        std::swap(previous, current);
        FillRow(*current, rowY(rowCount), xs);
        if (rowCount >= 1)
            ComputeNormals(*previous, rowCount >= 2 ? before : nullptr, current);
        if (rowCount >= 2)
            DrawStrip(*before, rowY(rowCount - 2), *previous, rowY(rowCount - 1), xs);
    }
    if (rowCount >= 1) {
        ComputeNormals(*current, rowCount >= 2 ? previous : nullptr, nullptr);
        if (rowCount >= 2)
            DrawStrip(*previous, rowY(rowCount - 2), *current, rowY(rowCount - 1), xs);
    }
    FTriangleCount = xs.empty() || rowCount < 1 ? 0 : int(xs.size() - 1) * (rowCount * 2 - 2);
}

void THeightField::AssignTo(TPersistent &Dest) const
{
    auto *d = dynamic_cast<THeightField *>(&Dest);
    if (!d)
        return TGLWorldObject::AssignTo(Dest);
    d->FXSamplingScale.Assign(FXSamplingScale);
    d->FYSamplingScale.Assign(FYSamplingScale);
    d->SetOnGetHeight(FOnGetHeight);
    d->SetOptions(FOptions);
    d->SetColorMode(FColorMode);
}

// ---- TXYZGrid ----

TXYZGrid::TXYZGrid(TComponent *Owner)
    : TLineBase(Owner), FScales{TGLSamplingScale(this), TGLSamplingScale(this),
                                TGLSamplingScale(this)}
{
}

void TXYZGrid::SetParts(unsigned Value)
{
    StoreGeometry(*this, FParts, Value);
}

void TXYZGrid::SetLinesStyle(TXYZGridLinesStyle Value)
{
    StoreGeometry(*this, FLinesStyle, Value);
}

void TXYZGrid::SignalChange(TObject *Sender)
{
    for (const TGLSamplingScale &s : FScales)
        if (Sender == &s)
            GeometryChanged();
    TLineBase::SignalChange(Sender);
}

// One line strip along Axis for every lattice pair of the two other axes.
void TXYZGrid::DrawLinesAlong(int Axis, const TAxis (&Axes)[3])
{
    const TGLEntryTable &g = GL();
    const int u = (Axis + 1) % 3, v = (Axis + 2) % 3;
    float p[3];
    for (int i = 0;; ++i) {
        p[u] = TGLSamplingScale::LatticeValue(Axes[u].Base, Axes[u].Step, i);
        if (p[u] > Axes[u].Max)
            break;
        for (int j = 0;; ++j) {
            p[v] = TGLSamplingScale::LatticeValue(Axes[v].Base, Axes[v].Step, j);
            if (p[v] > Axes[v].Max)
                break;
            g.glBegin(gl::LINE_STRIP);
            if (FLinesStyle == glsSegments) {
                for (int k = 0;; ++k) {
                    p[Axis] = TGLSamplingScale::LatticeValue(Axes[Axis].Base, Axes[Axis].Step, k);
                    if (p[Axis] > Axes[Axis].Max)
                        break;
                    g.glVertex3f(p[0], p[1], p[2]);
                }
            } else {
                for (float end : {FScales[Axis].Min(), FScales[Axis].Max()}) {
                    p[Axis] = end;
                    g.glVertex3f(p[0], p[1], p[2]);
                }
            }
            g.glEnd();
        }
    }
}

void TXYZGrid::CompileGeometry(TRenderContextInfo &)
{
    static constexpr unsigned parts[3] = {gpX, gpY, gpZ};
    SetupLineStyle();
    TAxis axes[3];
    for (int a = 0; a < 3; ++a)
        FScales[a].SetBaseStepMaxToVars(axes[a].Base, axes[a].Step, axes[a].Max,
                                        FParts & parts[a]);
    for (int a = 0; a < 3; ++a)
        if (FParts & parts[a])
            DrawLinesAlong(a, axes);
    RestoreLineStyle();
}

void TXYZGrid::AssignTo(TPersistent &Dest) const
{
    if (auto *d = dynamic_cast<TXYZGrid *>(&Dest)) {
        for (int a = 0; a < 3; ++a)
            d->FScales[a].Assign(FScales[a]);
        d->SetParts(FParts);
        d->SetLinesStyle(FLinesStyle);
    }
    TLineBase::AssignTo(Dest);
}

namespace {
const bool gRegistered = [] {
    RegisterSceneObjectClass<THeightField>("THeightField");
    RegisterSceneObjectClass<TXYZGrid>("TXYZGrid");
    return true;
}();
} // namespace

} // namespace orv
