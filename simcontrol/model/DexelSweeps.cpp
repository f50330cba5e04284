// Tool sweeps of the dexel model: a recorded move becomes flat facets of
// the tool's lower boundary (stamps, line sweeps, arc and circle chords),
// each facet is scan-converted into the cells as staged nodes, and the
// touched columns are settled and their walls completed.
//
//   column (x) ->            facet corners P1..P4 go round the quad; in
//   row (y) away from you    each column the walker keeps the nearest and
//   z up                     the farthest row it met, and the column's
//                            segment between them is staged row by row.
#include "simcontrol/model/DexelModel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace orv {

namespace {

// Pi as the control has always taken it: its arc steps and degree factor
// follow from it.
constexpr double Pi = 3.141592654;
constexpr double ArcStep = 2 * Pi / 28;
constexpr int Sectors = 16;

struct CDir {
    double x, y;
};

// A measure of a unit direction that grows from 0 to 4 once about the circle.
double PseudoAngle(CDir D)
{
    if (D.x >= 0 && D.y >= 0)
        return D.y;
    if (D.x >= 0)
        return D.x + 3;
    if (D.y >= 0)
        return 1 - D.x;
    return 2 - D.y;
}

bool WithinArc(CDir Start, CDir End, CDir D)
{
    const double s = PseudoAngle(Start), e = PseudoAngle(End), d = PseudoAngle(D);
    if (s <= e)
        return d >= s && d <= e;
    return d >= s || d <= e;
}

int Trunc(double V) { return TruncGrid(V); }

// The settle and wall pass of a cut whose rows in a column are Lo..Hi runs
// from row Lo - 1 (never the border row First) to Hi + 1.
int FillFrom(int Lo, int First) { return std::max(Lo - 1, First + 1); }

// Bit k set when Values[k] equals Value (Count at most 64).
uint64_t LevelMask(const uint32_t *Values, int Count, uint32_t Value)
{
    uint64_t mask = 0;
    int k = 0;
#ifdef __SSE2__
    const __m128i want = _mm_set1_epi32(static_cast<int>(Value));
    for (; k + 4 <= Count; k += 4) {
        const __m128i got = _mm_loadu_si128(reinterpret_cast<const __m128i *>(Values + k));
        const int bits = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(got, want)));
        mask |= static_cast<uint64_t>(bits) << k;
    }
#endif
    for (; k < Count; ++k)
        mask |= static_cast<uint64_t>(Values[k] == Value) << k;
    return mask;
}

// The rim's sector directions, k pi / 8 for k = 0..16.
struct CSectorTable {
    double cs[Sectors + 1], sn[Sectors + 1];
    CSectorTable()
    {
        for (int k = 0; k <= Sectors; ++k) {
            cs[k] = std::cos(k * Pi / 8);
            sn[k] = std::sin(k * Pi / 8);
        }
    }
};
const CSectorTable Sector;

} // namespace

bool CDexelModel::AboveTop(double Z) const
{
    return FBallNosed ? Z - FToolRadius > FTop : Z > FTop;
}

// --- Scan conversion ------------------------------------------------------------

void CDexelModel::ClearExtremes(int From, int To)
{
    for (int c = From; c <= To; ++c)
        FExtremes[c] = {NoRowNear, 0, 0, -NoRowNear, 0, 0};
}

inline void CDexelModel::EnterExtreme(int C, int R, int Z, int Shade)
{
    if (C < 0 || C >= static_cast<int>(FExtremes.size()))
        return;
    EnterExtremeAt(FExtremes[C], R, Z, Shade);
}

inline void CDexelModel::EnterExtremeAt(CEdgeExtremes &e, int R, int Z, int Shade)
{
    if (R < e.NearRow || (R == e.NearRow && Z < e.NearZ)) {
        e.NearRow = R;
        e.NearZ = Z;
        e.NearShade = Shade;
    }
    if (R > e.FarRow || (R == e.FarRow && Z > e.FarZ)) {
        e.FarRow = R;
        e.FarZ = Z;
        e.FarShade = Shade;
    }
}

void CDexelModel::WalkEdge(const CQuadCorner &A, const CQuadCorner &B)
{
    const int ca = Trunc(A.x), cb = Trunc(B.x);
    if (ca == cb) {
        EnterExtreme(ca, Trunc(A.y), Trunc(A.z), A.shade);
        EnterExtreme(cb, Trunc(B.y), Trunc(B.z), B.shade);
        return;
    }
    const CQuadCorner &L = ca < cb ? A : B;
    const CQuadCorner &H = ca < cb ? B : A;
    const int c0 = std::min(ca, cb), c1 = std::max(ca, cb);
    const int from = std::max(c0, 0), to = std::min(c1, static_cast<int>(FExtremes.size()) - 1);
    const double span = c1 - c0;
    // Both ends lie within a million pixels of the grid (the callers hold
    // them so), so a plain conversion truncates as TruncGrid does.
    if (L.z == H.z && L.shade == H.shade) {
        // A level edge of one shade (floors, the rims of walls): height
        // and shade are the same all along.
        const int z = Trunc(L.z);
        for (int c = from; c <= to; ++c) {
            const double f = (c - c0) / span;
            EnterExtremeAt(FExtremes[c], static_cast<int>(L.y + f * (H.y - L.y)), z, L.shade);
        }
        return;
    }
    for (int c = from; c <= to; ++c) {
        const double f = (c - c0) / span;
        EnterExtremeAt(FExtremes[c], static_cast<int>(L.y + f * (H.y - L.y)),
                       static_cast<int>(L.z + f * (H.z - L.z)),
                       static_cast<int>(L.shade + f * (H.shade - L.shade)));
    }
}

// The column's segment from its nearest to its farthest row in the (row,
// z) plane, shade interpolated in 8.8 fixed point. A step to a new row
// that rises also stages the new row at the old height, so a rising
// surface has no holes.
void CDexelModel::StageSegment(int C, const CEdgeExtremes &E)
{
    const int steps = std::max(std::abs(E.FarRow - E.NearRow), std::abs(E.FarZ - E.NearZ));
    if (FRowFilter && !FStampRows[C].All) {
        const CStampRows &rows = FStampRows[C];
        bool meets = false;
        for (int k = 0; k < rows.Count && !meets; ++k)
            meets = rows.From[k] <= E.FarRow && rows.To[k] >= E.NearRow;
        if (!meets)
            return;
        if (E.NearZ == E.FarZ && steps > 0) {
            // A level run of rows: only those of the allowed ranges, with
            // the shade the step-by-step walk gives them.
            const int increment = ((E.FarShade - E.NearShade) * 256) / steps;
            for (int k = 0; k < rows.Count; ++k)
                for (int r = std::max(rows.From[k], E.NearRow);
                     r <= std::min(rows.To[k], E.FarRow); ++r)
                    StageCellNode(C, r, E.NearZ,
                                  (E.NearShade * 256 + (r - E.NearRow) * increment) / 256);
            return;
        }
    }
    // A wall's lowest nodes in the column are its feet.
    const int foot = FWallFeet ? std::min(E.NearZ, E.FarZ) : INT_MIN;
    if (steps == 0) {
        StageCellNode(C, E.NearRow, E.NearZ, E.NearShade, E.NearZ == foot);
        return;
    }
    int shade = E.NearShade * 256;
    const int increment = ((E.FarShade - E.NearShade) * 256) / steps;
    int prevRow = E.NearRow, prevZ = E.NearZ;
    bool first = true;
    StepLine(E.NearRow, E.NearZ, E.FarRow, E.FarZ, [&](int r, int z) {
        if (!first && r != prevRow && prevZ < z)
            StageCellNode(C, r, prevZ, shade / 256, prevZ == foot);
        StageCellNode(C, r, z, shade / 256, z == foot);
        first = false;
        prevRow = r;
        prevZ = z;
        shade += increment;
    });
}

void CDexelModel::RasterQuad(const CQuadCorner &P1, const CQuadCorner &P2, const CQuadCorner &P3,
                             const CQuadCorner &P4)
{
    const CQuadCorner corners[4] = {P1, P2, P3, P4};
    RasterPolygon(corners, 4);
}

void CDexelModel::RasterWall(const CQuadCorner &P1, const CQuadCorner &P2,
                             const CQuadCorner &P3, const CQuadCorner &P4)
{
    FWallFeet = true;
    RasterQuad(P1, P2, P3, P4);
    FWallFeet = false;
}

void CDexelModel::RasterPolygon(const CQuadCorner *Corners, int Count)
{
    // Facets far off the grid (a million pixels) are not cut; heights are
    // held between just below the deepest node and just above the top.
    constexpr int MaxCorners = 32;
    if (Count > MaxCorners)
        return;
    CQuadCorner held[MaxCorners];
    double low = 1e300, high = -1e300;
    for (int k = 0; k < Count; ++k) {
        const CQuadCorner &c = Corners[k];
        if (!(std::fabs(c.x) < 1e6 && std::fabs(c.y) < 1e6 && std::isfinite(c.z)))
            return;
        held[k] = c;
        held[k].z = std::clamp(c.z, -30001.0, FTop + 5.0);
        low = std::min(low, c.x);
        high = std::max(high, c.x);
    }
    Corners = held;
    const int from = std::max(Trunc(low), 0);
    const int to = std::min(Trunc(high), FColumnCount - 1);
    if (from > to)
        return;
    WidenTouchedColumns(from, to);
    ClearExtremes(from, to);
    for (int k = 0; k < Count; ++k)
        WalkEdge(Corners[k], Corners[(k + 1) % Count]);
    for (int c = from; c <= to; ++c)
        if (FExtremes[c].NearRow <= FExtremes[c].FarRow)
            StageSegment(c, FExtremes[c]);
    FlushCellStage();
}

// --- Stamps -----------------------------------------------------------------------

bool CDexelModel::RowAllowed(int C, int R) const
{
    const CStampRows &rows = FStampRows[C];
    if (rows.All)
        return true;
    for (int k = 0; k < rows.Count; ++k)
        if (R >= rows.From[k] && R <= rows.To[k])
            return true;
    return false;
}

// A flat-bottomed stamp at height z stages nodes at z and above only.
bool CDexelModel::FlatStampFast(const CGridPoint &P, double R)
{
    if (!FastCuts || FBallNosed || !(P.z >= 0 && P.z < FTop) || !(std::fabs(P.x) < 1e5) ||
        !(std::fabs(P.y) < 1e5) || !(R >= 0 && R < 1e5) || FTouchedFirst <= FTouchedLast)
        return false;
    CQuadCorner rim[Sectors];
    RimPolygon(P, R, rim);
    CQuadCorner walls[Sectors][4];
    ShankWalls(P, R, P.z, walls);
    ToolColumn = Trunc(P.x);
    ToolRow = Trunc(P.y);
    ToolZ = static_cast<int>(P.z);
    // The last wall closes the rim at 2 pi, not at the floor's first corner.
    return FastFacets(rim, Sectors, walls, Sectors, Sectors - 1, static_cast<int>(P.z), -1);
}

// The facets of one cut whose nodes all lie at height z or above: a floor
// polygon level at z, then walls (above z when the floor overwrites).
// A row that stands at exactly z (one node) comes out of the settle and
// wall pass unchanged when it gets only the floor and the row in front of
// it lies nowhere below z; or when it gets walls too, the row in front
// stands at exactly z and the row behind reaches down to z: the new nodes
// settle onto z and level back to it, and no wall is due. With FloorColour
// set (the floor overwrites) its z must already have the floor's colour.
// Only the other rows of each column, in runs, are staged and passed
// over; the result is that of the full pass.
bool CDexelModel::FastFacets(const CQuadCorner *Floor, int FloorCount,
                             const CQuadCorner (*Walls)[4], int WallCount, int SharedWalls,
                             int Z, int FloorColour)
{
    constexpr int MaxWalls = 16;
    if (WallCount > MaxWalls || FloorCount > 32)
        return false;
    const int z = Z;
    const CQuadCorner *rim = Floor;
    // The rows every facet touches, column by column: the floor's own
    // segment is kept for staging; the walls' rows are gathered in a group
    // in front of the floor's middle and one behind it.
    int first = 1000000, last = -1000000;
    int wallFrom[MaxWalls], wallTo[MaxWalls], wall = 0;
    FWallSegments.clear();
    auto spans = [&](const CQuadCorner *Corners, int Count, bool Floor) {
        double low = 1e300, high = -1e300;
        for (int k = 0; k < Count; ++k) {
            low = std::min(low, Corners[k].x);
            high = std::max(high, Corners[k].x);
        }
        const int from = std::max(Trunc(low), 0);
        const int to = std::min(Trunc(high), FColumnCount - 1);
        if (!Floor) {
            wallFrom[wall] = from;
            wallTo[wall] = to;
            ++wall;
        }
        if (from > to)
            return;
        ClearExtremes(from, to);
        for (int k = 0; k < Count; ++k)
            WalkEdge(Corners[k], Corners[(k + 1) % Count]);
        for (int c = from; c <= to; ++c) {
            const CEdgeExtremes &e = FExtremes[c];
            CStampRows &rows = FStampRows[c];
            if (Floor)
                rows.Floor = e;
            else
                FWallSegments.push_back(e);
            if (e.NearRow > e.FarRow)
                continue;
            rows.Lo = std::min(rows.Lo, e.NearRow);
            rows.Hi = std::max(rows.Hi, e.FarRow);
            if (!Floor) {
                const CEdgeExtremes &f = rows.Floor;
                const int g = f.NearRow <= f.FarRow && e.NearRow + e.FarRow > f.NearRow + f.FarRow;
                rows.RimLo[g] = std::min(rows.RimLo[g], e.NearRow);
                rows.RimHi[g] = std::max(rows.RimHi[g], e.FarRow);
            }
        }
        first = std::min(first, from);
        last = std::max(last, to);
    };
    double low = 1e300, high = -1e300;
    for (int k = 0; k < FloorCount; ++k) {
        low = std::min(low, Floor[k].x);
        high = std::max(high, Floor[k].x);
    }
    for (int w = 0; w < WallCount; ++w)
        for (int k = 0; k < 4; ++k) {
            low = std::min(low, Walls[w][k].x);
            high = std::max(high, Walls[w][k].x);
        }
    const int floorFrom = std::max(Trunc(low), 0);
    const int floorTo = std::min(Trunc(high), FColumnCount - 1);
    for (int c = floorFrom; c <= floorTo; ++c)
        FStampRows[c].Floor = {NoRowNear, 0, 0, -NoRowNear, 0, 0};
    spans(rim, FloorCount, true);
    const int stageFrom = first, stageTo = last;
    // A wall standing on floor edge k (its first two corners are those of
    // the floor's edge k to k + 1) meets the rows of that edge and of its
    // two ends, which only add to the floor's; it is walked when staged,
    // if at all. Its rows for the groups are taken a row wider each way.
    bool walkLater[MaxWalls] = {};
    for (int w = 0; w < WallCount; ++w) {
        if (w >= SharedWalls) {
            spans(Walls[w], 4, false);
            continue;
        }
        walkLater[w] = true;
        const CQuadCorner &a = Walls[w][0], &b = Walls[w][1];
        const int from = std::max(Trunc(std::min(a.x, b.x)), 0);
        const int to = std::min(Trunc(std::max(a.x, b.x)), FColumnCount - 1);
        wallFrom[w] = from;
        wallTo[w] = to;
        ++wall;
        if (from > to)
            continue;
        const int rowLo = std::min(Trunc(a.y), Trunc(b.y)) - 1;
        const int rowHi = std::max(Trunc(a.y), Trunc(b.y)) + 1;
        for (const CQuadCorner *end : {&a, &b}) {
            const int c = Trunc(end->x);
            if (c < from || c > to)
                continue;
            FStampRows[c].Lo = std::min(FStampRows[c].Lo, Trunc(end->y));
            FStampRows[c].Hi = std::max(FStampRows[c].Hi, Trunc(end->y));
        }
        for (int c = from; c <= to; ++c) {
            CStampRows &rows = FStampRows[c];
            const CEdgeExtremes &f = rows.Floor;
            const int g = f.NearRow <= f.FarRow && rowLo + rowHi > f.NearRow + f.FarRow;
            rows.RimLo[g] = std::min(rows.RimLo[g], rowLo);
            rows.RimHi[g] = std::max(rows.RimHi[g], rowHi);
        }
        first = std::min(first, from);
        last = std::max(last, to);
    }

    // A row at exactly z (one node) comes out unchanged when it gets only
    // the floor and the row in front of it lies nowhere below z, or when
    // it gets walls too, the row in front stands at exactly z and the row
    // behind reaches down to z: the walls then settle and level back.
    const uint32_t level = PackSpan(z, z);
    for (int c = first; c <= last; ++c) {
        CStampRows &rows = FStampRows[c];
        const CColumn &col = FCols[c];
        const int lo = std::max(rows.Lo, col.First + 1), hi = std::min(rows.Hi, col.Last - 1);
        // Rows away from the column's ends: the full pass touches exactly
        // rows lo..hi there.
        const bool inside = rows.Lo > col.First && rows.Hi < col.Last - 1 && lo <= hi;
        rows.Lo = 1000000;
        rows.Hi = -1000000;
        const int rimLo[2] = {rows.RimLo[0], rows.RimLo[1]};
        const int rimHi[2] = {rows.RimHi[0], rows.RimHi[1]};
        rows.RimLo[0] = rows.RimLo[1] = 1000000;
        rows.RimHi[0] = rows.RimHi[1] = -1000000;
        if (lo > hi)
            continue;
        if (hi >= col.Last - 1) {
            rows.All = true;
            continue;
        }
        if (inside && PassesOver(c, z, FloorColour, lo, hi))
            continue;
        const int from = std::max(lo - 1, col.First + 1), to = std::min(hi + 1, col.Last - 2);
        const uint32_t *span = &FSpans[col.Offset - col.First];
        const int *heads = &FTable[col.Offset - col.First];
        auto low = [&](int R) { return static_cast<int>(static_cast<int16_t>(span[R] & 0xffff)); };
        auto high = [&](int R) { return static_cast<int>(static_cast<int16_t>(span[R] >> 16)); };
        // Rows at z between rows at z are found 62 at a time from a mask;
        // only the others are looked at one by one, front to back.
        int lastLooked = from - 1;
        bool lastQuiet = true; // the row in front of the range is not passed over
        for (int base = from; base <= to && !rows.All; base += 62) {
            const int end = std::min(to, base + 61);
            const uint64_t eq = LevelMask(span + base - 1, end - base + 3, level);
            const int count = end - base + 1;
            uint64_t look = count == 64 ? ~0ull : (1ull << count) - 1;
            if (FloorColour < 0)
                look &= ~(eq & (eq >> 1) & (eq >> 2));
            while (look && !rows.All) {
                const int i = base + __builtin_ctzll(look);
                look &= look - 1;
                const bool prevQuiet = lastLooked == i - 1 ? lastQuiet : true;
                const bool wall =
                    (i >= rimLo[0] && i <= rimHi[0]) || (i >= rimLo[1] && i <= rimHi[1]);
                bool quiet = false;
                if (span[i] == level &&
                    (FloorColour < 0 || FNodes[heads[i]].colour == FloorColour)) {
                    if (wall)
                        quiet =
                            span[i - 1] == level && span[i + 1] != EmptyCell && low(i + 1) <= z;
                    else
                        quiet = span[i - 1] != EmptyCell && low(i - 1) >= z;
                }
                // Otherwise, with the row in front left alone and standing
                // up to this row's bottom: a row the cut does not reach, or
                // a stack reaching from z or below up to z or above (a cut
                // puts nothing above a head, and a settled stack has every
                // height between its ends, so the cut adds no node), stays
                // as it is when a neighbour reaches nowhere below its head
                // (no levelling), or when the neighbours' lowest level it to
                // exactly its head.
                if (!quiet && FloorColour < 0 && prevQuiet && span[i] != EmptyCell &&
                    span[i - 1] != EmptyCell && span[i + 1] != EmptyCell &&
                    high(i - 1) >= low(i)) {
                    const int h = high(i), l = low(i);
                    const bool staged = i >= lo && i <= hi;
                    const int backHigh = low(i + 1);
                    const int backLow = i + 1 >= lo && i + 1 <= hi ? std::min(backHigh, z) : backHigh;
                    const bool holds = !staged || (l <= z && h >= z);
                    quiet = holds && (low(i - 1) >= h || backLow >= h);
                    if (!quiet && staged && wall && l <= z && h >= z)
                        quiet = low(i - 1) <= h && backHigh <= h &&
                                (l == h || low(i - 1) == h || backLow == h);
                }
                lastLooked = i;
                lastQuiet = quiet;
                if (quiet)
                    continue;
                if (rows.Count > 0 && rows.To[rows.Count - 1] == i - 1) {
                    rows.To[rows.Count - 1] = i;
                    continue;
                }
                if (rows.Count == 4) {
                    rows.All = true;
                    break;
                }
                rows.From[rows.Count] = i;
                rows.To[rows.Count] = i;
                ++rows.Count;
            }
        }
    }

    FRowFilter = true;
    // The floor from the segments kept above, as RasterPolygon stages them.
    WidenTouchedColumns(stageFrom, stageTo);
    for (int c = stageFrom; c <= stageTo; ++c) {
        const CStampRows &rows = FStampRows[c];
        if (rows.Floor.NearRow <= rows.Floor.FarRow && (rows.All || rows.Count > 0))
            StageSegment(c, rows.Floor);
    }
    FlushCellStage();
    // The walls, as RasterQuad stages them: from their kept segments, or
    // walked now when they meet a row that is staged.
    size_t segment = 0;
    for (int k = 0; k < WallCount; ++k) {
        if (wallFrom[k] > wallTo[k])
            continue;
        if (walkLater[k]) {
            const CQuadCorner &a = Walls[k][0], &b = Walls[k][1];
            const int rowLo = std::min(Trunc(a.y), Trunc(b.y)) - 1;
            const int rowHi = std::max(Trunc(a.y), Trunc(b.y)) + 1;
            bool meets = false;
            for (int c = wallFrom[k]; c <= wallTo[k] && !meets; ++c) {
                const CStampRows &rows = FStampRows[c];
                meets = rows.All;
                for (int n = 0; n < rows.Count && !meets; ++n)
                    meets = rows.From[n] <= rowHi && rows.To[n] >= rowLo;
            }
            if (meets)
                RasterQuad(Walls[k][0], Walls[k][1], Walls[k][2], Walls[k][3]);
            continue;
        }
        WidenTouchedColumns(wallFrom[k], wallTo[k]);
        for (int c = wallFrom[k]; c <= wallTo[k]; ++c) {
            const CEdgeExtremes &e = FWallSegments[segment++];
            const CStampRows &rows = FStampRows[c];
            if (e.NearRow <= e.FarRow && (rows.All || rows.Count > 0))
                StageSegment(c, e);
        }
        FlushCellStage();
    }
    FRowFilter = false;
    const bool overwrite = Overwrite;
    Overwrite = true;
    for (int c = first; c <= last; ++c) {
        CStampRows &rows = FStampRows[c];
        if (rows.All) {
            if (FTouched[c].First <= FTouched[c].Last)
                ColumnFill(c);
        }
        else {
            for (int k = 0; k < rows.Count; ++k)
                ColumnFillRows(c, rows.From[k], rows.To[k]);
        }
        FTouched[c] = CTouched{};
        rows.Count = 0;
        rows.All = false;
    }
    Overwrite = overwrite;
    FTouchedFirst = 1000000;
    FTouchedLast = -1000000;
    return true;
}

// Every cell of rows Lo..Hi holds nodes, the lowest at Z or below.
bool CDexelModel::RowsReachDownTo(int C, int Z, int Lo, int Hi) const
{
    const CColumn &col = FCols[C];
    const uint32_t *span = &FSpans[col.Offset - col.First];
    // The lowest node's height is the span's low half; shifted up, it
    // compares as a signed number.
    const int32_t limit = static_cast<int32_t>(static_cast<uint32_t>(Z + 1) << 16);
    int r = Lo;
#ifdef __SSE2__
    const __m128i below = _mm_set1_epi32(limit);
    const __m128i empty = _mm_set1_epi32(static_cast<int>(EmptyCell));
    __m128i bad = _mm_setzero_si128();
    for (; r + 4 <= Hi + 1; r += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(span + r));
        bad = _mm_or_si128(bad, _mm_cmpeq_epi32(v, empty));
        const __m128i low = _mm_slli_epi32(v, 16);
        bad = _mm_or_si128(bad, _mm_xor_si128(_mm_cmplt_epi32(low, below), _mm_set1_epi32(-1)));
    }
    if (_mm_movemask_epi8(bad) != 0)
        return false;
#endif
    for (; r <= Hi; ++r)
        if (span[r] == EmptyCell || static_cast<int32_t>(span[r] << 16) >= limit)
            return false;
    return true;
}

// The settle and wall pass over rows From..To would leave the column as it
// is. Between cuts every cell is settled and holds every height between
// its ends, so settling takes nothing away; each row's step then levels it
// or builds its wall only as its neighbours stand, and as no step changes
// anything, each sees them as they are now.
bool CDexelModel::FillLeavesAlone(int C, int From, int To) const
{
    const CColumn &col = FCols[C];
    To = std::min(To, col.Last - 2);
    const uint32_t *span = &FSpans[col.Offset - col.First];
    // As Span reads them: an empty cell stands from 0 to 0.
    auto low = [&](int R) {
        return span[R] == EmptyCell ? 0 : static_cast<int>(static_cast<int16_t>(span[R] & 0xffff));
    };
    auto high = [&](int R) {
        return span[R] == EmptyCell ? 0 : static_cast<int>(static_cast<int16_t>(span[R] >> 16));
    };
    // A row's step changes it when it stands above its own bottom and both
    // neighbours' bottoms (the levelling), or when the row in front ends
    // below its bottom (the wall).
    int i = From;
#ifdef __SSE2__
    const __m128i empty = _mm_set1_epi32(static_cast<int>(EmptyCell));
    for (; i + 4 <= To + 1; i += 4) {
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i *>(span + i - 1));
        const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i *>(span + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(span + i + 1));
        const __m128i anyEmpty = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi32(f, empty), _mm_cmpeq_epi32(h, empty)),
            _mm_cmpeq_epi32(b, empty));
        if (_mm_movemask_epi8(anyEmpty) != 0)
            break;
        const __m128i fLow = _mm_srai_epi32(_mm_slli_epi32(f, 16), 16);
        const __m128i fHigh = _mm_srai_epi32(f, 16);
        const __m128i hLow = _mm_srai_epi32(_mm_slli_epi32(h, 16), 16);
        const __m128i hHigh = _mm_srai_epi32(h, 16);
        const __m128i bLow = _mm_srai_epi32(_mm_slli_epi32(b, 16), 16);
        const __m128i levels = _mm_and_si128(
            _mm_and_si128(_mm_cmpgt_epi32(hHigh, hLow), _mm_cmpgt_epi32(hHigh, fLow)),
            _mm_cmpgt_epi32(hHigh, bLow));
        const __m128i walls = _mm_cmpgt_epi32(hLow, fHigh);
        if (_mm_movemask_epi8(_mm_or_si128(levels, walls)) != 0)
            return false;
    }
#endif
    for (; i <= To; ++i) {
        const int hereHigh = high(i), hereLow = low(i);
        if (hereHigh > std::max(hereLow, std::max(low(i - 1), low(i + 1))))
            return false;
        if (high(i - 1) < hereLow)
            return false;
    }
    return true;
}

// Every cell of rows Lo..Hi holds nodes, the highest at Z or below and
// coloured Colour when at Z.
bool CDexelModel::HeadsAtOrBelow(int C, int Z, int Colour, int Lo, int Hi) const
{
    const CColumn &col = FCols[C];
    const uint32_t *span = &FSpans[col.Offset - col.First];
    const int *heads = &FTable[col.Offset - col.First];
    for (int r = Lo; r <= Hi; ++r) {
        if (span[r] == EmptyCell)
            return false;
        const int high = static_cast<int16_t>(span[r] >> 16);
        if (high > Z || (high == Z && FNodes[heads[r]].colour != Colour))
            return false;
    }
    return true;
}

// A cut at Z over rows Lo..Hi of a column, with nothing pending, leaves the
// column alone when every node it stages is there already or lies above a
// head, and the settle and wall pass over its rows changes nothing. For a
// flat stamp (FloorColour -1, nothing overwritten, nodes at Z and above)
// that holds when the cells reach down to Z; for a level sweep (its floor
// at Z overwrites with FloorColour, its wall starts above Z) when no cell
// stands above Z and those at Z have the floor's colour. What was found
// stays true while the column does not change: it is kept, joined with
// what earlier cuts found.
bool CDexelModel::PassesOver(int C, int Z, int FloorColour, int Lo, int Hi)
{
    CQuietColumn &q = FQuiet[C];
    if (q.Change != FColumnChange[C])
        q = CQuietColumn{FColumnChange[C]};
    const int fillLo = FillFrom(Lo, FCols[C].First), fillHi = Hi + 1;
    const bool stamp = FloorColour < 0;
    CQuietRows &rows = stamp ? q.Reach : q.Heads;
    const bool rowsKnown = rows.Lo <= rows.Hi && rows.Z <= Z && rows.Lo <= Lo && Hi <= rows.Hi &&
                           (stamp || (rows.Z == Z && rows.Colour == FloorColour));
    const bool fillKnown = q.FillLo <= fillLo && fillHi <= q.FillHi;
    if (rowsKnown && fillKnown)
        return true;
    if (!rowsKnown && !(stamp ? RowsReachDownTo(C, Z, Lo, Hi)
                              : HeadsAtOrBelow(C, Z, FloorColour, Lo, Hi)))
        return false;
    if (!fillKnown && !FillLeavesAlone(C, fillLo, fillHi))
        return false;
    if (!rowsKnown)
        rows.Join(Z, FloorColour, Lo, Hi);
    if (!fillKnown) {
        if (q.FillLo <= q.FillHi && q.FillLo <= fillHi + 1 && fillLo <= q.FillHi + 1) {
            q.FillLo = std::min(q.FillLo, fillLo);
            q.FillHi = std::max(q.FillHi, fillHi);
        }
        else {
            q.FillLo = fillLo;
            q.FillHi = fillHi;
        }
    }
    return true;
}

// Rows found to hold for Z (and Colour): overlapping rows join; a stamp's
// reach holds for the higher Z, a sweep's heads only for the same.
void CDexelModel::CQuietRows::Join(int NewZ, int NewColour, int NewLo, int NewHi)
{
    const bool joins = Lo <= Hi && Lo <= NewHi + 1 && NewLo <= Hi + 1 &&
                       (NewColour < 0 || (Z == NewZ && Colour == NewColour));
    if (!joins) {
        *this = {NewZ, NewColour, NewLo, NewHi};
        return;
    }
    Z = std::max(Z, NewZ);
    Lo = std::min(Lo, NewLo);
    Hi = std::max(Hi, NewHi);
}

void CDexelModel::Stamp(const CGridPoint &P, double R)
{
    if (FlatStampFast(P, R))
        return;
    ToolColumn = Trunc(P.x);
    ToolRow = Trunc(P.y);
    ToolZ = Trunc(P.z);
    const double *cs = Sector.cs, *sn = Sector.sn;
    double rimZ = P.z;
    if (FBallNosed) {
        const double qz = P.z + R;
        rimZ = qz;
        for (int k = 0; k < Sectors; ++k)
            for (int j = 0; j < 4; ++j) {
                auto corner = [&](int ring, int sector) {
                    const double s = std::sin(ring * Pi / 8), c = std::cos(ring * Pi / 8);
                    const double ox = s * cs[sector], oy = s * sn[sector], oz = -c;
                    return CQuadCorner{P.x + R * ox, P.y + R * oy, qz + R * oz, Shade(ox, oy, oz)};
                };
                RasterQuad(corner(j, k), corner(j, k + 1), corner(j + 1, k + 1), corner(j + 1, k));
            }
    }
    else {
        // The sixteen sector triangles about the axis tile the rim
        // polygon, so the polygon is staged in one pass.
        CQuadCorner rim[Sectors];
        RimPolygon(P, R, rim);
        RasterPolygon(rim, Sectors);
    }
    if (rimZ >= FTop)
        return;
    CQuadCorner walls[Sectors][4];
    ShankWalls(P, R, rimZ, walls);
    for (const auto &w : walls)
        RasterQuad(w[0], w[1], w[2], w[3]);
}

// The flat-bottomed tool's end face at P: the rim polygon, shaded downward.
void CDexelModel::RimPolygon(const CGridPoint &P, double R, CQuadCorner *Rim) const
{
    const int down = Shade(0, 0, -1);
    for (int k = 0; k < Sectors; ++k)
        Rim[k] = {P.x + R * Sector.cs[k], P.y + R * Sector.sn[k], P.z, down};
}

// The shank from the rim height up to the top, one vertical facet a
// sector, each edge shaded with its horizontal normal.
void CDexelModel::ShankWalls(const CGridPoint &P, double R, double RimZ,
                             CQuadCorner (*Walls)[4]) const
{
    const double *cs = Sector.cs, *sn = Sector.sn;
    const int *shade = FSectorShade;
    for (int k = 0; k < Sectors; ++k) {
        const int s0 = Rapid ? RapidColour : shade[k];
        const int s1 = Rapid ? RapidColour : shade[k + 1];
        const double x0 = P.x + R * cs[k], y0 = P.y + R * sn[k];
        const double x1 = P.x + R * cs[k + 1], y1 = P.y + R * sn[k + 1];
        Walls[k][0] = {x0, y0, RimZ, s0};
        Walls[k][1] = {x1, y1, RimZ, s1};
        Walls[k][2] = {x1, y1, double(FTop), s1};
        Walls[k][3] = {x0, y0, double(FTop), s0};
    }
}

void CDexelModel::ShadeSectors()
{
    static_assert(sizeof(FSectorShade) / sizeof(FSectorShade[0]) == Sectors + 1);
    const bool rapid = Rapid;
    Rapid = false;
    // As the sector table has them (worked out here, as the light may be
    // set before that table is built).
    for (int k = 0; k <= Sectors; ++k)
        FSectorShade[k] = Shade(std::cos(k * Pi / 8), std::sin(k * Pi / 8), 0);
    Rapid = rapid;
}

void CDexelModel::CutPoint(double X, double Y, double Z)
{
    if (FColumnCount <= 0)
        return;
    const CGridPoint P = ToGrid(X, Y, Z);
    const CStampKey key{P.x, P.y, P.z, FToolRadius, FBallNosed, Rapid};
    if (FLastStampValid && key == FLastStamp)
        return;
    Overwrite = false;
    Stamp(P, FToolRadius);
    Overwrite = true;
    FinishColumns();
    FLastStamp = key;
    FLastStampValid = true;
}

void CDexelModel::StampGrid(const CGridPoint &P, double RadiusPixels)
{
    if (FColumnCount <= 0)
        return;
    FLastStampValid = false;
    Overwrite = false;
    Stamp(P, RadiusPixels);
    Overwrite = true;
    // Settled now, so the hole shows at the next render.
    FinishColumns();
}

// --- Line sweeps ------------------------------------------------------------------

void CDexelModel::SweepSegment(const CGridPoint &P1, const CGridPoint &P2, double R, bool Radial,
                               double CentreX, double CentreY)
{
    double dx = P2.x - P1.x, dy = P2.y - P1.y;
    const double plan = std::hypot(dx, dy);
    if (!(plan > 1e-12))
        return;
    dx /= plan;
    dy /= plan;
    const double nx = -dy, ny = dx;
    // The side vector at each end: the move's left normal, or in radial
    // mode the direction from the arc centre, so that chords of an arc
    // meet edge to edge.
    auto sideAt = [&](const CGridPoint &P, double &hx, double &hy) {
        hx = nx;
        hy = ny;
        if (!Radial)
            return;
        const double rx = P.x - CentreX, ry = P.y - CentreY;
        const double l = std::hypot(rx, ry);
        if (l > 1e-12) {
            hx = rx / l;
            hy = ry / l;
        }
    };
    double h1x, h1y, h2x, h2y;
    sideAt(P1, h1x, h1y);
    sideAt(P2, h2x, h2y);
    const double zb1 = FBallNosed ? P1.z + R : P1.z;
    const double zb2 = FBallNosed ? P2.z + R : P2.z;
    if (FBallNosed) {
        double s = 0;
        if (std::fabs(P2.z - P1.z) > 0.01)
            s = (P2.z - P1.z) / std::sqrt(plan * plan + (P2.z - P1.z) * (P2.z - P1.z));
        const double ux = -s * dx, uy = -s * dy, uz = std::sqrt(std::max(0.0, 1 - s * s));
        auto point = [&](const CGridPoint &P, double zb, double hx, double hy, int k) {
            const double ck = std::cos(k * Pi / 16), wk = -R * std::sin(k * Pi / 16);
            const double ox = R * ck * hx + wk * ux, oy = R * ck * hy + wk * uy, oz = wk * uz;
            return CQuadCorner{P.x + ox, P.y + oy, zb + oz, Shade(ox, oy, oz)};
        };
        for (int k = 0; k < 16; ++k)
            RasterQuad(point(P1, zb1, h1x, h1y, k), point(P2, zb2, h2x, h2y, k),
                       point(P2, zb2, h2x, h2y, k + 1), point(P1, zb1, h1x, h1y, k + 1));
    }
    if (!(P1.z < FTop || P2.z < FTop))
        return;
    // The side walls stand on the floor (or on the ball's tube): their feet
    // leave the shade of what is already cut there.
    const int sPlus = Shade(h1x, h1y, 0);
    RasterWall({P1.x + R * h1x, P1.y + R * h1y, zb1, sPlus},
               {P2.x + R * h2x, P2.y + R * h2y, zb2, sPlus},
               {P2.x + R * h2x, P2.y + R * h2y, double(FTop + 4), sPlus},
               {P1.x + R * h1x, P1.y + R * h1y, double(FTop + 4), sPlus});
    if (!FBallNosed) {
        const int down = Shade(0, 0, -1);
        RasterQuad({P1.x - R * h1x, P1.y - R * h1y, P1.z, down},
                   {P2.x - R * h2x, P2.y - R * h2y, P2.z, down},
                   {P2.x + R * h2x, P2.y + R * h2y, P2.z, down},
                   {P1.x + R * h1x, P1.y + R * h1y, P1.z, down});
    }
    const int sMinus = Shade(-h1x, -h1y, 0);
    RasterWall({P1.x - R * h1x, P1.y - R * h1y, zb1, sMinus},
               {P2.x - R * h2x, P2.y - R * h2y, zb2, sMinus},
               {P2.x - R * h2x, P2.y - R * h2y, double(FTop + 1), sMinus},
               {P1.x - R * h1x, P1.y - R * h1y, double(FTop + 1), sMinus});
}

// A flat-bottomed tool moving level: the floor, and the wall on the side
// nearer the viewer; ColumnFill builds the far wall.
void CDexelModel::PlanarSweep(const CGridPoint &P1, const CGridPoint &P2, double R)
{
    double dx = P2.x - P1.x, dy = P2.y - P1.y;
    const double plan = std::hypot(dx, dy);
    if (!(plan > 1e-12))
        return;
    dx /= plan;
    dy /= plan;
    const double nx = -dy, ny = dx;
    const int down = Shade(0, 0, -1);
    const double z = P1.z;
    const CQuadCorner floor[4] = {{P1.x - R * nx, P1.y - R * ny, z, down},
                                  {P2.x - R * nx, P2.y - R * ny, z, down},
                                  {P2.x + R * nx, P2.y + R * ny, z, down},
                                  {P1.x + R * nx, P1.y + R * ny, z, down}};
    const double sx = dx >= 0 ? -nx : nx, sy = dx >= 0 ? -ny : ny;
    const int shade = Shade(sx, sy, 0);
    const CQuadCorner wall[1][4] = {{{P1.x + R * sx, P1.y + R * sy, z + 1, shade},
                                     {P2.x + R * sx, P2.y + R * sy, z + 1, shade},
                                     {P2.x + R * sx, P2.y + R * sy, double(FTop), shade},
                                     {P1.x + R * sx, P1.y + R * sy, double(FTop), shade}}};
    // The floor overwrites; the wall starts above it.
    if (FastCuts && z >= 0 && z < FTop && std::fabs(P1.x) < 1e5 && std::fabs(P1.y) < 1e5 &&
        std::fabs(P2.x) < 1e5 && std::fabs(P2.y) < 1e5 && R >= 0 && R < 1e5 &&
        FTouchedFirst > FTouchedLast && Overwrite &&
        FastFacets(floor, 4, wall, 1, 0, static_cast<int>(z), down))
        return;
    RasterQuad(floor[0], floor[1], floor[2], floor[3]);
    RasterQuad(wall[0][0], wall[0][1], wall[0][2], wall[0][3]);
}

void CDexelModel::CutLine(double X1, double Y1, double Z1, double X2, double Y2, double Z2)
{
    if (FColumnCount <= 0)
        return;
    if (std::fabs(X2 - X1) < 0.001 && std::fabs(Y2 - Y1) < 0.001)
        return;
    FLastStampValid = false;
    const CGridPoint P1 = ToGrid(X1, Y1, Z1), P2 = ToGrid(X2, Y2, Z2);
    if (AboveTop(P1.z) && AboveTop(P2.z))
        return;
    if (FBallNosed || std::fabs(P2.z - P1.z) >= 0.01)
        SweepSegment(P1, P2, FToolRadius, false, 0, 0);
    else
        PlanarSweep(P1, P2, FToolRadius);
    FinishColumns();
}

// --- Arcs -------------------------------------------------------------------------

void CDexelModel::ArcChord(const CGridPoint &A, const CGridPoint &B, double R,
                           const CGridPoint &Centre)
{
    SweepSegment(A, B, R, true, Centre.x, Centre.y);
}

void CDexelModel::CutArc(double CX, double CY, double CZ, double Radius, double SX, double SY,
                         double EX, double EY, bool Clockwise)
{
    if (FColumnCount <= 0)
        return;
    const CGridPoint C = ToGrid(CX, CY, CZ);
    const double R = Radius * FScale;
    if (!std::isfinite(R) || AboveTop(C.z))
        return;
    FLastStampValid = false;
    CDir s{SX * FCosR - SY * FSinR, SX * FSinR + SY * FCosR};
    CDir e{EX * FCosR - EY * FSinR, EX * FSinR + EY * FCosR};
    if (Clockwise)
        std::swap(s, e);
    double a = std::acos(std::clamp(s.x, -1.0, 1.0));
    if (s.y < 0)
        a = 2 * Pi - a;
    const double limit = 4 * Pi;
    CGridPoint prev{C.x + R * s.x, C.y + R * s.y, C.z};
    while (true) {
        a += ArcStep;
        const CDir d{std::cos(a), std::sin(a)};
        if (!WithinArc(s, e, d) || a > limit) {
            ArcChord(prev, {C.x + R * e.x, C.y + R * e.y, C.z}, FToolRadius, C);
            break;
        }
        const CGridPoint next{C.x + R * d.x, C.y + R * d.y, C.z};
        ArcChord(prev, next, FToolRadius, C);
        prev = next;
    }
    FinishColumns();
}

void CDexelModel::CutFullCircle(double CX, double CY, double CZ, double Radius)
{
    if (FColumnCount <= 0)
        return;
    const CGridPoint C = ToGrid(CX, CY, CZ);
    const double R = Radius * FScale;
    if (!std::isfinite(R))
        return;
    FLastStampValid = false;
    CGridPoint prev{C.x, C.y + R, C.z};
    for (int k = 1; k <= 28; ++k) {
        const double a = k * ArcStep;
        const CGridPoint next{C.x + R * std::sin(a), C.y + R * std::cos(a), C.z};
        ArcChord(prev, next, FToolRadius, C);
        prev = next;
    }
    FlushCellStage();
    FinishColumns();
}

} // namespace orv
