#include "simcontrol/model/DexelModel.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

// Ceiling of the node pool (8 bytes a node) and of the cell table; a
// billet whose grid would pass the table's ceiling is not built.
constexpr size_t MaxNodes = size_t(1) << 25;
constexpr size_t MaxCells = size_t(1) << 24;
constexpr int MaxExtent = 30000; // columns or rows, pixels
constexpr int NoRow = 1000000;

} // namespace

CDexelModel::CDexelModel()
{
    SetLight(0.6, -0.5, 0.4);
}

void CDexelModel::SetScale(double PixelsPerUnit)
{
    if (std::isfinite(PixelsPerUnit) && PixelsPerUnit > 0)
        FScale = PixelsPerUnit;
}

void CDexelModel::SetTilt(double T)
{
    if (!std::isfinite(T))
        return;
    FTilt = std::clamp(T, 0.0, 1.0);
    FCos = std::sqrt(1 - FTilt * FTilt);
}

void CDexelModel::SetRotation(double Angle)
{
    if (!std::isfinite(Angle))
        return;
    FRotation = Angle;
    FCosR = std::cos(Angle);
    FSinR = std::sin(Angle);
}

void CDexelModel::SetLight(double X, double Y, double Z)
{
    const double L = std::sqrt(X * X + Y * Y + Z * Z);
    if (!std::isfinite(L) || L < 1e-12)
        return;
    FLight[0] = X / L;
    FLight[1] = Y / L;
    FLight[2] = Z / L;
    ShadeSectors();
}

CGridPoint CDexelModel::ToGrid(double X, double Y, double Z) const
{
    const double x = X * FScale, y = Y * FScale;
    return {x * FCosR - y * FSinR + FColumnOffset, x * FSinR + y * FCosR + FRowOffset, Z * FScale};
}

// --- Shading ------------------------------------------------------------------

int CDexelModel::ShadeUnit(double X, double Y, double Z) const
{
    if (Rapid)
        return RapidColour;
    const double d = -(FLight[0] * X + FLight[1] * Y + FLight[2] * Z);
    if (!(d >= 0))
        return 10;
    return 10 + static_cast<int>(191 * std::min(d, 1.0));
}

int CDexelModel::Shade(double X, double Y, double Z) const
{
    const double L = std::sqrt(X * X + Y * Y + Z * Z);
    if (L >= 0.001)
        return ShadeUnit(X / L, Y / L, Z / L);
    return ShadeUnit(X, Y, Z);
}

// --- Node pool ------------------------------------------------------------------

int CDexelModel::AllocNode()
{
    if (FFree < 0) {
        if (FNodes.size() >= MaxNodes) {
            FOverflowed = true;
            return -1;
        }
        const size_t grown = std::min(MaxNodes, std::max<size_t>(1024, FNodes.size() * 2));
        const size_t from = FNodes.size();
        FNodes.resize(grown);
        for (size_t i = grown; i-- > from;) {
            FNodes[i].next = FFree;
            FFree = static_cast<int>(i);
        }
    }
    const int n = FFree;
    FFree = FNodes[n].next;
    FNodes[n].next = -1;
    ++FInUse;
    return n;
}

void CDexelModel::FreeNode(int Index)
{
    FNodes[Index].next = FFree;
    FFree = Index;
    --FInUse;
}

// --- Cells ------------------------------------------------------------------------

int CDexelModel::SurfaceZ(int C, int R, int Empty) const
{
    const int head = HeadIndex(C, R);
    return head < 0 ? Empty : FNodes[head].z;
}

void CDexelModel::TouchRow(int C, int R)
{
    CTouched &t = FTouched[C];
    t.First = std::min(t.First, R);
    t.Last = std::max(t.Last, R);
}

bool CDexelModel::InsertNode(int C, int R, int Z, int Colour, bool Settled, bool Foot)
{
    if (Z > FTop)
        return false;
    Z = std::max(Z, -30000); // nothing lies further below the bottom
    if (!FInsertAnywhere && !IsCuttable(C, R))
        return false;
    const int cell = CellIndex(C, R);
    if (cell < 0)
        return false;
    TouchRow(C, R);
    if (!FInsertAnywhere && AboveHead(cell, Z))
        return false;
    int prev = -1, at = FTable[cell];
    const int placed = PlaceNode(cell, prev, at, Z, Colour, Foot ? -1 : Colour, Settled);
    if (placed == 2)
        MarkChanged(C);
    if (placed != 1)
        return placed >= 0;
    MarkChanged(C);
    uint32_t &span = FSpans[cell];
    const int high = FTable[cell] == prev ? Z : static_cast<int16_t>(span >> 16);
    const int low = FNodes[prev].next < 0 ? Z : static_cast<int16_t>(span & 0xffff);
    span = PackSpan(high, low);
    return true;
}

// Walks Prev and At (the node above and the node at or below) down the
// cell to height Z and puts a node there: an existing one takes OverColour
// and Settled while Overwrite is set; a new one, NewColour, becomes Prev.
// 1 for a new node, 2 for an existing one that took a new colour, 0 for
// one that did not, -1 when the pool is full. Walks by index: a growing
// pool moves the nodes.
int CDexelModel::PlaceNode(int Cell, int &Prev, int &At, int Z, int NewColour, int OverColour,
                           bool Settled)
{
    while (At >= 0 && FNodes[At].z > Z) {
        Prev = At;
        At = FNodes[At].next;
    }
    if (At >= 0 && FNodes[At].z == Z) {
        if (!Overwrite)
            return 0;
        // Between cuts every node is settled: only a new colour is a change
        // that stays.
        DexelNode &n = FNodes[At];
        const uint8_t colour = OverColour >= 0 ? static_cast<uint8_t>(OverColour) : n.colour;
        n.settled = Settled;
        if (n.colour == colour)
            return 0;
        n.colour = colour;
        return 2;
    }
    const int n = AllocNode();
    if (n < 0)
        return -1;
    FNodes[n].z = static_cast<int16_t>(Z);
    FNodes[n].colour = static_cast<uint8_t>(NewColour);
    FNodes[n].settled = Settled;
    FNodes[n].next = At;
    if (Prev < 0)
        FTable[Cell] = n;
    else
        FNodes[Prev].next = n;
    Prev = n;
    return 1;
}

void CDexelModel::StageCellNode(int C, int R, int Z, int Colour, bool Foot)
{
    if (C < 0) {
        FlushCellStage();
        return;
    }
    if ((!FInsertAnywhere && !IsCuttable(C, R)) || Z > FTop + 1)
        return;
    if (FRowFilter && !RowAllowed(C, R))
        return;
    if (!FStage.empty() && (C != FStageC || R != FStageR))
        FlushCellStage();
    FStageC = C;
    FStageR = R;
    FStage.push_back({Colour, Z, Foot});
}

void CDexelModel::FlushCellStage()
{
    if (!InsertStageInOneWalk())
        for (const CStaged &n : FStage)
            InsertNode(FStageC, FStageR, n.Z, n.Colour, false, n.Foot);
    FStage.clear();
}

// The stage of one cell holds a column segment's nodes, so its heights run
// one way. Such a stage goes into the cell in a single walk down its nodes,
// top first, and leaves the cell as inserting node after node in the
// stage's order does: a height staged twice takes, on a new node, the
// colour staged first, and with Overwrite set the colour staged last that
// is no foot's.
// False (nothing done) when the heights turn back, or when the pool might
// run short (then which nodes are refused depends on the order).
bool CDexelModel::InsertStageInOneWalk()
{
    const int count = static_cast<int>(FStage.size());
    if (count < 2 || FInUse + FStage.size() > MaxNodes)
        return false;
    auto heightAt = [&](int K) { return std::max(FStage[K].Z, -30000); };
    const bool rising = heightAt(count - 1) > heightAt(0);
    for (int k = 1; k < count; ++k)
        if (rising ? heightAt(k) < heightAt(k - 1) : heightAt(k) > heightAt(k - 1))
            return false;
    if (!FInsertAnywhere && !IsCuttable(FStageC, FStageR))
        return true;
    const int cell = CellIndex(FStageC, FStageR);
    if (cell < 0)
        return true;
    // Runs of equal heights, highest first.
    const int step = rising ? -1 : 1;
    int k = rising ? count - 1 : 0;
    while (k >= 0 && k < count && FStage[k].Z > FTop)
        k += step;
    if (k < 0 || k >= count)
        return true;
    TouchRow(FStageC, FStageR);
    while (k >= 0 && k < count && !FInsertAnywhere && AboveHead(cell, heightAt(k)))
        k += step;
    int prev = -1, at = FTable[cell];
    bool grewTail = false, changed = false;
    while (k >= 0 && k < count) {
        const int z = heightAt(k);
        int end = k;
        while (end + step >= 0 && end + step < count && heightAt(end + step) == z)
            end += step;
        // In stage order the run is [from, to]: its first entry makes a new
        // node; with Overwrite the last entry that is no foot colours it.
        const int from = std::min(k, end), to = std::max(k, end);
        k = end + step;
        int lastColour = -1;
        for (int n = to; n >= from && lastColour < 0; --n)
            if (!FStage[n].Foot)
                lastColour = FStage[n].Colour;
        const int firstColour = FStage[from].Colour;
        const int newColour = Overwrite && lastColour >= 0 ? lastColour : firstColour;
        const int placed = PlaceNode(cell, prev, at, z, newColour, lastColour, false);
        changed = changed || placed > 0;
        if (placed == 1)
            grewTail = grewTail || at < 0;
    }
    if (changed)
        MarkChanged(FStageC);
    const int head = FTable[cell];
    if (head < 0)
        return true; // an empty cell and a full pool
    int low = static_cast<int16_t>(FSpans[cell] & 0xffff);
    if (grewTail || FSpans[cell] == EmptyCell)
        low = FNodes[prev].z;
    FSpans[cell] = PackSpan(FNodes[head].z, low);
    return true;
}

void CDexelModel::CutCell(int C, int R, int Z)
{
    const int cell = CellIndex(C, R);
    if (cell < 0)
        return;
    int &head = FTable[cell];
    if (head < 0 || FNodes[head].z <= Z)
        return;
    while (head >= 0 && FNodes[head].z > Z) {
        const int n = head;
        head = FNodes[n].next;
        FreeNode(n);
    }
    MarkChanged(C);
    FSpans[cell] = head < 0 ? EmptyCell
                            : PackSpan(FNodes[head].z, static_cast<int16_t>(FSpans[cell] & 0xffff));
}

// New nodes below an older surface, or more than one pixel below the node
// above them, take away everything above them.
void CDexelModel::Settle(int C, int R)
{
    int *head = CellHead(C, R);
    if (!head || *head < 0)
        return;
    int p = *head;
    bool pWas = FNodes[p].settled;
    FNodes[p].settled = 1;
    for (int n = FNodes[p].next; n >= 0; n = FNodes[n].next) {
        const bool nWas = FNodes[n].settled;
        if (FNodes[p].z - FNodes[n].z > 1 || (pWas && !nWas))
            CutCell(C, R, FNodes[n].z);
        FNodes[n].settled = 1;
        p = n;
        pWas = nWas;
    }
}

CCellRange CDexelModel::CellRange(int C, int R) const
{
    CCellRange range;
    const int head = HeadIndex(C, R);
    if (head < 0)
        return range;
    range.HighZ = FNodes[head].z;
    int n = head;
    while (FNodes[n].next >= 0)
        n = FNodes[n].next;
    range.LowZ = FNodes[n].z;
    range.LowColour = FNodes[n].colour;
    return range;
}

CCellRange CDexelModel::Span(int C, int R) const
{
    CCellRange range;
    const int cell = CellIndex(C, R);
    if (cell < 0 || FSpans[cell] == EmptyCell)
        return range;
    range.HighZ = static_cast<int16_t>(FSpans[cell] >> 16);
    range.LowZ = static_cast<int16_t>(FSpans[cell] & 0xffff);
    return range;
}

// Levels each touched cell of the column against its neighbours in depth
// and builds the wall that faces the viewer where a cell stands above the
// cell in front of it. The row behind the last touched one is visited too:
// it holds the far wall of a slot.
void CDexelModel::ColumnFill(int C)
{
    const CTouched t = FTouched[C];
    ColumnFillRows(C, std::max(t.First - 1, FCols[C].First + 1), t.Last + 1);
    FTouched[C] = CTouched{};
}

// The settle and wall pass over rows From..To of a column (never the two
// border rows and the row in front of the back border).
void CDexelModel::ColumnFillRows(int C, int From, int To)
{
    const CColumn &col = FCols[C];
    int i = From;
    Settle(C, i);
    // The ranges slide along the column: the front of row i is row i - 1
    // as it was left, here is what the last step saw behind.
    CCellRange front = Span(C, i - 1);
    CCellRange here = Span(C, i);
    while (i <= To && i < col.Last - 1) {
        Settle(C, i + 1);
        const CCellRange back = Span(C, i + 1);
        if (here.HighZ >= front.LowZ && here.HighZ >= back.LowZ) {
            const int level =
                std::max(here.LowZ, front.LowZ > back.LowZ ? front.LowZ : back.LowZ);
            if (here.HighZ > level) {
                CutCell(C, i, level);
                here = Span(C, i);
            }
        }
        if (front.HighZ < here.LowZ) {
            const int head = HeadIndex(C, i - 1);
            const int colour = head >= 0 ? FNodes[head].colour : 0;
            for (int z = front.HighZ; z < here.LowZ; ++z)
                InsertNode(C, i, z, colour, true);
            here = Span(C, i);
        }
        front = here;
        here = back;
        ++i;
    }
}

void CDexelModel::FinishColumns()
{
    FlushCellStage();
    const int from = std::max(FTouchedFirst, 0);
    const int to = std::min(FTouchedLast, static_cast<int>(FCols.size()) - 1);
    for (int c = from; c <= to; ++c)
        if (FTouched[c].First <= FTouched[c].Last)
            ColumnFill(c);
    FTouchedFirst = 1000000;
    FTouchedLast = -1000000;
}

void CDexelModel::WidenTouchedColumns(int From, int To)
{
    FTouchedFirst = std::min(FTouchedFirst, From);
    FTouchedLast = std::max(FTouchedLast, To);
}

// --- Billet --------------------------------------------------------------------

bool CDexelModel::BuildBillet(double LowX, double LowY, double HighX, double HighY,
                              double Height, int ColourBase)
{
    FLastStampValid = false;
    FNodes.clear();
    FFree = -1;
    FInUse = 0;
    FOverflowed = false;
    FTable.clear();
    FSpans.clear();
    FStampRows.clear();
    FColumnChange.clear();
    FQuiet.clear();
    FRowFilter = false;
    FCols.clear();
    FTouched.clear();
    FExtremes.clear();
    FStage.clear();
    FColumnCount = 0;
    FTop = 0;
    Rapid = false;
    FTouchedFirst = 1000000;
    FTouchedLast = -1000000;
    const double values[] = {LowX, LowY, HighX, HighY, Height};
    for (double v : values)
        if (!std::isfinite(v * FScale))
            return false;
    if (!(HighX > LowX && HighY > LowY && Height > 0))
        return false;
    const double top = std::trunc(Height * FScale);
    if (top < 1 || top > 30000)
        return false;
    FTop = static_cast<int>(top);

    // Corners in the order whose edge normals point into the billet.
    const double cx[4] = {LowX, LowX, HighX, HighX};
    const double cy[4] = {LowY, HighY, HighY, LowY};
    double rx[4], ry[4];
    FColumnOffset = FRowOffset = 0;
    for (int k = 0; k < 4; ++k) {
        const CGridPoint g = ToGrid(cx[k], cy[k], 0);
        rx[k] = g.x;
        ry[k] = g.y;
    }
    const double minX = *std::min_element(rx, rx + 4), maxX = *std::max_element(rx, rx + 4);
    const double minY = *std::min_element(ry, ry + 4), maxY = *std::max_element(ry, ry + 4);
    if (maxX - minX > MaxExtent || maxY - minY > MaxExtent) {
        FTop = 0;
        return false;
    }
    const int minCol = static_cast<int>(std::trunc(minX));
    const int maxCol = static_cast<int>(std::trunc(maxX));
    FColumnOffset = -minCol;
    FRowOffset = 8 - static_cast<int>(std::trunc(minY));
    const int count = maxCol - minCol;
    FCols.assign(count + 1, CColumn{});
    FTouched.assign(count + 1, CTouched{});
    FExtremes.assign(count + 1, CEdgeExtremes{});

    // Front and back rows of every column, from the outline.
    std::vector<int> front(count + 1, NoRow), back(count + 1, -NoRow), frontShade(count + 1, 10);
    int gx[4], gy[4];
    for (int k = 0; k < 4; ++k) {
        gx[k] = static_cast<int>(std::trunc(rx[k] + FColumnOffset));
        gy[k] = static_cast<int>(std::trunc(ry[k] + FRowOffset));
    }
    for (int k = 0; k < 4; ++k) {
        const int a = k, b = (k + 1) % 4;
        if (gx[a] == gx[b])
            continue;
        const double dx = rx[b] - rx[a], dy = ry[b] - ry[a];
        const int shade = Shade(dy, -dx, 0);
        StepLine(gx[a], gy[a], gx[b], gy[b], [&](int c, int r) {
            if (c < 0 || c > count)
                return;
            if (r < front[c]) {
                front[c] = r;
                frontShade[c] = shade;
            }
            back[c] = std::max(back[c], r);
        });
    }
    size_t cells = 0;
    for (int c = 0; c <= count; ++c) {
        if (front[c] == NoRow) { // a column the outline missed: its neighbour's rows
            front[c] = c > 0 ? front[c - 1] : 8;
            back[c] = c > 0 ? back[c - 1] : 8;
        }
        cells += static_cast<size_t>(back[c] - front[c] + 2);
    }
    if (cells > MaxCells) {
        FCols.clear();
        FTop = 0;
        return false;
    }
    FTable.assign(cells, -1);
    FSpans.assign(cells, EmptyCell);
    FColumnChange.assign(count + 1, 0);
    FQuiet.assign(count + 1, CQuietColumn{});
    FStampRows.assign(count + 1, CStampRows{});
    FNodes.reserve(std::min(MaxNodes, cells * 2 + static_cast<size_t>(FTop) * (count + 1)));
    FInsertAnywhere = true;
    size_t fill = 0;
    for (int c = 0; c <= count; ++c) {
        CColumn &col = FCols[c];
        col.First = front[c] - 1;
        col.Last = back[c];
        col.Offset = static_cast<int>(fill);
        fill += static_cast<size_t>(col.Last - col.First + 1);
        for (int r = col.First; r <= col.Last; ++r)
            InsertNode(c, r, FTop, ColourBase + 10, true);
        for (int z = 1; z < FTop; ++z)
            InsertNode(c, front[c], z, frontShade[c], true);
        InsertNode(c, front[c] - 1, 1, 0, true);
        FTouched[c] = CTouched{};
    }
    FColumnCount = count;
    FInsertAnywhere = false;
    return true;
}

} // namespace orv
