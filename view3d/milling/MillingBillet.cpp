#include "view3d/milling/MillingBillet.h"

#include "view3d/geometry/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace orv {

namespace {

constexpr double NoContact = std::numeric_limits<double>::infinity();

// The largest billet side kept (mm, a kilometre) and the most cells the
// height map may hold (64 MB of heights): a billet beyond them would have
// the map take gigabytes, so its grid is coarsened until it fits.
constexpr double MaxBilletSize = 1e6;
constexpr double MaxCells = 16.0 * 1024 * 1024;

// A billet size as the view keeps it: whole millimetres, nothing below 0.
float WholeSize(double Size)
{
    if (!std::isfinite(Size) || Size <= 0)
        return 0;
    return static_cast<float>(NearestInteger(static_cast<float>(std::min(Size, MaxBilletSize))));
}

// Cells of the height map for the billet at Step, with its five spare
// columns and rows.
double CellsAt(double X, double Y, double Step)
{
    return (std::nearbyint(X / Step) + 6) * (std::nearbyint(Y / Step) + 6);
}

bool IsFinitePoint(const TMillPoint &P)
{
    return std::isfinite(P.X) && std::isfinite(P.Y) && std::isfinite(P.Z);
}

// The cell index range [First, Last] of coordinates Low..High at Step,
// clipped to 0..Count before it is narrowed to int.
void CellRange(double Low, double High, double Step, int Count, int &First, int &Last)
{
    const double eps = 1e-9;
    First = static_cast<int>(std::clamp(std::ceil(Low / Step - eps), 0.0, double(Count) + 1));
    Last = static_cast<int>(std::clamp(std::floor(High / Step + eps), -1.0, double(Count)));
}

// Z along the move at T (0 start, 1 end), exact at both ends.
double ZAlong(const TMillPoint &A, const TMillPoint &B, double T)
{
    return (1 - T) * A.Z + T * B.Z;
}

} // namespace

TMillingBillet::TMillingBillet()
{
    // The first Turbo cut after the view starts rebuilds at once.
    TurboCount = 9999;
    ResetHeightMap(0);
}

int TMillingBillet::RoundHalfUp(long double V)
{
    int r = NearestInteger(static_cast<float>(V));
    if (FractionalPart(V) == 0.5L && std::fmod(IntegerPart(V), 2.0L) == 0)
        ++r;
    return r;
}

void TMillingBillet::SetBilletSize(double X, double Y, double Z)
{
    FBilletX = WholeSize(X);
    FBilletY = WholeSize(Y);
    FBilletZ = WholeSize(Z);
    ResetHeightMap(0);
}

void TMillingBillet::ResetHeightMap(double Fill)
{
    const double area = static_cast<double>(FBilletX) * FBilletY;
    const double setting = std::isfinite(GridSizeSetting) ? std::clamp(GridSizeSetting, 0.1, 3.0)
                                                           : 0.6;
    FStep = area >= 4000 ? setting : 0.2;
    if (area < 500)
        FStep = 0.1;
    if (CellsAt(FBilletX, FBilletY, FStep) > MaxCells) {
        FStep = std::sqrt(area / MaxCells) * 1.01;
        while (CellsAt(FBilletX, FBilletY, FStep) > MaxCells)
            FStep *= 1.01;
    }
    FNX = NearestInteger(static_cast<float>(FBilletX / FStep)) + 1;
    FNY = NearestInteger(static_cast<float>(FBilletY / FStep)) + 1;
    FRows = FNY + 5;
    FHeights.assign(static_cast<size_t>(FNX + 5) * FRows, static_cast<float>(Fill));
    FPath.clear();
    FSurfaceBehind = true;
}

TMillPoint TMillingBillet::ApplyDatumOffset(double X, double Y, double Z) const
{
    if (UseOffsets) {
        X += DatumX;
        Y += DatumY;
        Z += DatumZ;
    }
    return {static_cast<float>(X), static_cast<float>(Y), static_cast<float>(Z)};
}

void TMillingBillet::AddPathNode(uint8_t Kind, const TMillPoint &P)
{
    if (Kind < PathShown.size() && PathShown[Kind])
        FPath.push_back({P, PathColours[Kind], Kind});
}

void TMillingBillet::AddStraightMove(uint8_t Kind, double X1, double Y1, double Z1, double X2,
                                     double Y2, double Z2, double ToolRadius)
{
    const TMillPoint from = ApplyDatumOffset(X1, Y1, Z1);
    const TMillPoint to = ApplyDatumOffset(X2, Y2, Z2);
    // A move the program cannot place (a coordinate out of single range
    // or not a number) is neither drawn nor cut.
    if (!IsFinitePoint(from) || !IsFinitePoint(to) || !std::isfinite(ToolRadius))
        return;
    AddPathNode(Kind, to);
    CutSegment(from, to, ToolRadius);
    if (!Turbo && OnPlaceTool)
        OnPlaceTool(to, ToolRadius);
}

TMillPoint TMillingBillet::ArcPoint(const TMillPoint &Centre, int Plane, float Angle, float R)
{
    const double a = static_cast<double>(DegreesToRadiansSingle(Angle));
    const float c = static_cast<float>(R * std::cos(a));
    const float s = static_cast<float>(R * std::sin(a));
    switch (Plane) {
    case 18: return {Centre.X + c, Centre.Y, Centre.Z + s};
    case 19: return {Centre.X, Centre.Y + c, Centre.Z + s};
    default: return {Centre.X + c, Centre.Y + s, Centre.Z};
    }
}

void TMillingBillet::AddArcMove(int Plane, double X1, double Y1, double Z1, double CentreX,
                                double CentreY, double CentreZ, double, double Sweep,
                                double ToolRadius)
{
    const TMillPoint start = ApplyDatumOffset(X1, Y1, Z1);
    const TMillPoint centre = ApplyDatumOffset(CentreX, CentreY, CentreZ);
    if (!IsFinitePoint(start) || !IsFinitePoint(centre) || !std::isfinite(Sweep) ||
        !std::isfinite(ToolRadius))
        return;
    if (Plane < 17 || Plane > 19)
        Plane = 17;
    // The plane's two axes (A, B): XY, XZ or YZ.
    auto axes = [Plane](const TMillPoint &P) -> std::pair<double, double> {
        if (Plane == 18)
            return {P.X, P.Z};
        if (Plane == 19)
            return {P.Y, P.Z};
        return {P.X, P.Y};
    };
    const auto [sa, sb] = axes(start);
    const auto [ca, cb] = axes(centre);
    const double r = std::hypot(sa - ca, sb - cb);
    double angle = static_cast<double>(RadiansToDegrees(ArcTangentYX(sb - cb, sa - ca)));
    if (angle < 0)
        angle += 360;
    // About one chord per millimetre of arc.
    // An arc longer than the largest billet round still gets no more chords
    // than a millimetre each of that billet's perimeter.
    const double length = std::clamp(r * 2 * std::numbers::pi * Sweep / 360, -4 * MaxBilletSize,
                                     4 * MaxBilletSize);
    const int n = std::abs(NearestInteger(static_cast<float>(length)));
    TMillPoint prev = start;
    if (n == 0) {
        AddPathNode(PathCircular, start);
    }
    else {
        const double step = Sweep / n;
        for (int k = 0; k <= n; ++k) {
            if (angle > 360)
                angle -= 360;
            if (angle < 0)
                angle += 360;
            const TMillPoint p = ArcPoint(centre, Plane, static_cast<float>(std::fabs(angle)),
                                          static_cast<float>(r));
            CutSegment(prev, p, ToolRadius);
            prev = p;
            AddPathNode(PathCircular, p);
            angle -= step;
        }
    }
    if (!Turbo && OnPlaceTool)
        OnPlaceTool(prev, ToolRadius);
}

void TMillingBillet::FinishRun()
{
    Turbo = false;
    WholeSurfaceChanged();
}

void TMillingBillet::WholeSurfaceChanged()
{
    FSurfaceBehind = false;
    if (OnSurfaceChanged)
        OnSurfaceChanged();
}

void TMillingBillet::TCellBox::Add(int I, int J)
{
    if (I0 > I1) {
        I0 = I1 = I;
        J0 = J1 = J;
        return;
    }
    I0 = std::min(I0, I), I1 = std::max(I1, I);
    J0 = std::min(J0, J), J1 = std::max(J1, J);
}

// Every cell within the tool's reach of the move takes the lowest point of
// the tool swept from From to exactly To, at the cell's own position.
void TMillingBillet::CutSegment(const TMillPoint &From, const TMillPoint &To, double ToolRadius)
{
    if (From == To || (From.Z >= 0 && To.Z >= 0))
        return;
    const double r = std::fabs(ToolRadius);
    const double step = FStep;
    int i0, i1, j0, j1;
    CellRange(double(std::min(From.X, To.X)) - r, double(std::max(From.X, To.X)) + r, step, FNX,
              i0, i1);
    CellRange(double(std::min(From.Y, To.Y)) - r, double(std::max(From.Y, To.Y)) + r, step, FNY,
              j0, j1);
    const bool ball = ToolShape == ToolShapeBall;
    TCellBox lowered;
    for (int i = i0; i <= i1; ++i) {
        const double cx = i * step;
        for (int j = j0; j <= j1; ++j) {
            const double cy = j * step;
            const double h = ball ? SweptBall(cx, cy, From, To, r) : SweptFlat(cx, cy, From, To, r);
            if (h != NoContact && LowerHeight(i, j, static_cast<float>(h)))
                lowered.Add(i, j);
        }
    }
    SurfaceCut(lowered);
}

// Flat end (and pointed tools): the tip's height while the axis is within
// R of the cell, lowest over the move.
double TMillingBillet::SweptFlat(double Cx, double Cy, const TMillPoint &A, const TMillPoint &B,
                                 double R) const
{
    const double dx = B.X - A.X, dy = B.Y - A.Y;
    const double wx = Cx - A.X, wy = Cy - A.Y;
    const double a = dx * dx + dy * dy;
    const double b = dx * wx + dy * wy;
    const double c = wx * wx + wy * wy - R * R;
    double lo = 0, hi = 1;
    if (a == 0) {
        if (c > 0)
            return NoContact;
    }
    else {
        const double disc = b * b - a * c;
        if (disc < 0)
            return NoContact;
        const double root = std::sqrt(disc);
        lo = std::max(0.0, (b - root) / a);
        hi = std::min(1.0, (b + root) / a);
        if (lo > hi)
            return NoContact;
    }
    return std::min(ZAlong(A, B, lo), ZAlong(A, B, hi));
}

// Ball nose: the lowest point, over the vertical line through the cell, of
// the capsule that the ball's centre (tip + R) sweeps along the move.
double TMillingBillet::SweptBall(double Cx, double Cy, const TMillPoint &A, const TMillPoint &B,
                                 double R) const
{
    double best = NoContact;
    auto sphere = [&](const TMillPoint &P) {
        const double rho2 = (Cx - P.X) * (Cx - P.X) + (Cy - P.Y) * (Cy - P.Y);
        if (rho2 <= R * R)
            best = std::min(best, P.Z + R - std::sqrt(R * R - rho2));
    };
    sphere(A);
    sphere(B);
    // The cylinder between the two end spheres: with s the height above
    // A's centre, |w|^2 - (w.d)^2 / |d|^2 <= R^2 is a quadratic in s.
    const double dx = B.X - A.X, dy = B.Y - A.Y, dz = static_cast<double>(B.Z) - A.Z;
    const double horizontal = dx * dx + dy * dy;
    if (horizontal == 0)
        return best;
    const double dd = horizontal + dz * dz;
    const double wx = Cx - A.X, wy = Cy - A.Y;
    const double e = wx * dx + wy * dy;
    const double h = wx * wx + wy * wy;
    const double qb = e * dz;
    const double qc = h * dd - e * e - R * R * dd;
    const double disc = qb * qb - horizontal * qc;
    if (disc < 0)
        return best;
    const double root = std::sqrt(disc);
    double lo = (qb - root) / horizontal;
    double hi = (qb + root) / horizontal;
    // Only where the foot of the perpendicular lies on the move (0..1).
    if (dz == 0) {
        const double t = e / dd;
        if (t < 0 || t > 1)
            return best;
    }
    else {
        double s0 = -e / dz, s1 = (dd - e) / dz;
        if (s0 > s1)
            std::swap(s0, s1);
        lo = std::max(lo, s0);
        hi = std::min(hi, s1);
        if (lo > hi)
            return best;
    }
    return std::min(best, A.Z + R + lo);
}

bool TMillingBillet::LowerHeight(int I, int J, float H)
{
    if (I < 0 || J < 0 || I > FNX || J > FNY)
        return false;
    float &cell = FHeights[Index(I, J)];
    if (!(H < cell))
        return false;
    cell = H;
    return true;
}

void TMillingBillet::SurfaceCut(const TCellBox &Lowered)
{
    if (Turbo) {
        FSurfaceBehind = true;
        if (++TurboCount <= 1000)
            return;
        TurboCount = 0;
        WholeSurfaceChanged();
        return;
    }
    if (!OnCellsCut || FSurfaceBehind) {
        WholeSurfaceChanged();
        return;
    }
    if (Lowered.I0 <= Lowered.I1)
        OnCellsCut(Lowered.I0, Lowered.J0, Lowered.I1, Lowered.J1);
}

bool TMillingBillet::HeightAt(float &Z, float X, float Y) const
{
    // Written so that a coordinate that is not a number is outside too.
    if (!(X >= 0 && Y >= 0 && X <= FBilletX && Y <= FBilletY))
        return false;
    Z = Cell(NearestInteger(static_cast<float>(X / FStep)), NearestInteger(static_cast<float>(Y / FStep)));
    return true;
}

float TMillingBillet::SurfaceAt(float X, float Y) const
{
    float z = -FBilletZ;
    HeightAt(z, X, Y);
    return z;
}

} // namespace orv
