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

void THeightField::FillRow(TRow &Row, float Y, const std::vector<float> &Xs, size_t From,
                           size_t To)
{
    for (size_t i = From; i < To; ++i) {
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

void THeightField::GeometryChanged()
{
    FAllStale = true;
    TGLWorldObject::GeometryChanged();
}

void THeightField::SamplesChanged(float XMin, float XMax, float YMin, float YMax)
{
    float *b = FStaleBox;
    if (b[0] > b[1]) {
        b[0] = XMin, b[1] = XMax, b[2] = YMin, b[3] = YMax;
    } else {
        b[0] = std::min(b[0], XMin), b[1] = std::max(b[1], XMax);
        b[2] = std::min(b[2], YMin), b[3] = std::max(b[3], YMax);
    }
    // The list is stale, the kept samples outside the box are not.
    TGLWorldObject::GeometryChanged();
}

// Sample positions are Base + k x Step: a running sum in single precision
// drifts, and could give a row more samples than it holds.
THeightField::TLattice THeightField::Lattice() const
{
    TLattice l;
    const size_t capacity = size_t(std::max(FXSamplingScale.MaxStepCount(), 0)) + 1;
    const float xBase = FXSamplingScale.StepBase(), xStep = FXSamplingScale.Step();
    for (int i = 0; l.Xs.size() < capacity; ++i) {
        const float x = TGLSamplingScale::LatticeValue(xBase, xStep, i);
        if (!(x < FXSamplingScale.Max()))
            break;
        l.Xs.push_back(x);
    }
    const float yBase = FYSamplingScale.StepBase(), yStep = FYSamplingScale.Step();
    for (int k = 0;; ++k) {
        const float y = TGLSamplingScale::LatticeValue(yBase, yStep, k);
        if (!(y <= FYSamplingScale.Max()))
            break;
        l.Ys.push_back(y);
    }
    return l;
}

size_t THeightField::UpdateSamples()
{
    if (!FXSamplingScale.IsValid() || !FYSamplingScale.IsValid())
        return 0;
    // A change of a scale marks every sample stale: kept samples that are
    // not stale lie on the lattice of the scales as they are.
    if (!FAllStale && !FKept.empty())
        return SampleStaleBox();
    TLattice lattice = Lattice();
    const size_t count = lattice.Xs.size() * lattice.Ys.size();
    FStaleBox[0] = 0, FStaleBox[1] = -1;
    if (count > MaxKeptSamples || count == 0) {
        FKept = {};
        FKeptLattice = {};
        return 0; // sampled row by row while drawing
    }
    if (!(lattice == FKeptLattice)) { // else the rows are taken again in place
        FKept.assign(lattice.Ys.size(), TRow(lattice.Xs.size()));
        FKeptLattice = std::move(lattice);
    }
    // Marked fresh first: a callback that raises leaves the whole surface stale.
    FAllStale = true;
    for (size_t k = 0; k < FKept.size(); ++k)
        FillRow(FKept[k], FKeptLattice.Ys[k], FKeptLattice.Xs, 0, FKeptLattice.Xs.size());
    FAllStale = false;
    return count;
}

// The kept samples inside the stale box are taken again.
size_t THeightField::SampleStaleBox()
{
    float *b = FStaleBox;
    if (b[0] > b[1] || b[2] > b[3])
        return 0;
    const std::vector<float> &xs = FKeptLattice.Xs, &ys = FKeptLattice.Ys;
    const size_t i0 = size_t(std::lower_bound(xs.begin(), xs.end(), b[0]) - xs.begin());
    const size_t i1 = size_t(std::upper_bound(xs.begin(), xs.end(), b[1]) - xs.begin());
    const size_t k0 = size_t(std::lower_bound(ys.begin(), ys.end(), b[2]) - ys.begin());
    const size_t k1 = size_t(std::upper_bound(ys.begin(), ys.end(), b[3]) - ys.begin());
    FAllStale = true;
    for (size_t k = k0; k < k1; ++k)
        FillRow(FKept[k], ys[k], xs, i0, i1);
    FAllStale = false;
    b[0] = 0, b[1] = -1;
    return i1 > i0 ? (i1 - i0) * (k1 > k0 ? k1 - k0 : 0) : 0;
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
    // A list made again with nothing changed (its context went, a picture
    // is drawn) samples everything: the surface's source may have moved on
    // without a notice, as the milling view's does in Turbo.
    if (!ListStale())
        FAllStale = true;
    TEnableStateGuard guard((FOptions & hfoTwoSided) || FColorMode != hfcmNone);
    if (FOptions & hfoTwoSided)
        g.glDisable(gl::CULL_FACE);
    if (FColorMode != hfcmNone) {
        g.glEnable(gl::COLOR_MATERIAL);
        g.glColorMaterial(gl::FRONT_AND_BACK, cColorMaterialModes[FColorMode]);
        ClearMaterialCache();
    }
    UpdateSamples();
    // Without kept samples (a lattice too large to keep) every row is
    // sampled now, into three buffers in turn.
    const bool kept = !FKept.empty();
    const TLattice streamed = kept ? TLattice{} : Lattice();
    const TLattice &lattice = kept ? FKeptLattice : streamed;
    const std::vector<float> &xs = lattice.Xs, &ys = lattice.Ys;
    std::vector<TRow> spare(kept ? 0 : 3, TRow(xs.size()));
    auto row = [&](size_t K) -> TRow & {
        if (kept)
            return FKept[K];
        TRow &r = spare[K % 3]; // the buffer of row K - 3, no longer drawn
        FillRow(r, ys[K], xs, 0, xs.size());
        return r;
    };

    // Normals need the rows before and after: a row is drawn one row late.
    TRow *before = nullptr, *previous = nullptr, *current = nullptr;
    const size_t rowCount = ys.size();
    for (size_t k = 0; k < rowCount; ++k) {
        before = previous;
        previous = current;
        current = &row(k);
        if (k >= 1)
            ComputeNormals(*previous, before, current);
        if (k >= 2)
            DrawStrip(*before, ys[k - 2], *previous, ys[k - 1], xs);
    }
    if (rowCount >= 1) {
        ComputeNormals(*current, previous, nullptr);
        if (rowCount >= 2)
            DrawStrip(*previous, ys[rowCount - 2], *current, ys[rowCount - 1], xs);
    }
    FTriangleCount = xs.empty() || rowCount < 1 ? 0 : int(xs.size() - 1) * (int(rowCount) * 2 - 2);
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
    TGLWorldObject::AssignTo(Dest);
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
