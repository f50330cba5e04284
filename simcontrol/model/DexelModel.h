#pragma once
// The simulation's material: the billet as seen from the current view,
// one cell per pixel column (x across the picture) and row (depth, away
// from the viewer), each holding a list of surface nodes ordered by height
// (the top surface and, below it, the stacked nodes of a wall facing the
// viewer). Tool moves (DexelSweeps.cpp) add the nodes of the tool's lower
// surface, then each touched cell is settled and the exposed walls are
// completed. Heights, rows and columns are whole pixels; host lengths are
// millimetres with z measured from the billet bottom.
//
// Storage is sized from the billet at BuildBillet and grows on demand up
// to a fixed ceiling; a node that would pass it is refused (the cell keeps
// what it had) and Overflowed() says so.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv {

struct DexelNode {
    int16_t z = 0;       // pixels above the billet bottom
    uint8_t colour = 0;  // image index (palette entry + 10)
    uint8_t settled = 0; // 0 while the cut in progress added it
    int32_t next = -1;   // next node of the cell (lower z), -1 none
};

struct CCellRange {
    int LowZ = 0;
    int LowColour = 0;
    int HighZ = 0;
};

// A point in grid coordinates: column, row, height (pixels, not truncated).
struct CGridPoint {
    double x = 0, y = 0, z = 0;
};

// Image index of surfaces cut by rapid moves (palette entry 195).
constexpr int RapidColour = 205;

// A grid value truncated towards zero, held within +-1e9 (0 for a
// non-number), so far-off points never overflow an integer.
inline int TruncGrid(double V)
{
    if (V >= -1e9 && V <= 1e9) [[likely]]
        return static_cast<int>(V);
    if (!(V == V))
        return 0;
    return V > 0 ? 1000000000 : -1000000000;
}

class CDexelModel {
    struct CColumn {
        int First = 1000, Last = -1000, Offset = -1;
    };

public:
    CDexelModel();

    // --- View and tool ---
    void SetScale(double PixelsPerUnit);
    double Scale() const { return FScale; }
    // Tilt t is the sine of the viewing elevation; c = sqrt(1 - t^2).
    void SetTilt(double T);
    double Tilt() const { return FTilt; }
    double CosTilt() const { return FCos; }
    // Rotation of the billet about the vertical axis, radians.
    void SetRotation(double Angle);
    double Rotation() const { return FRotation; }
    void SetLight(double X, double Y, double Z);
    const double *Light() const { return FLight; }
    // Tool radius in host units (kept in pixels).
    void SetToolSize(double Radius) { FToolRadius = Radius * FScale; }
    void SetToolRadiusPixels(double Radius) { FToolRadius = Radius; }
    double ToolRadius() const { return FToolRadius; }
    // Set: a ball-nosed tool; clear: flat-bottomed.
    void SetBallNosed(bool Ball) { FBallNosed = Ball; }
    bool BallNosed() const { return FBallNosed; }
    bool Rapid = false;   // surfaces of the current move take RapidColour
    int ToolNumber = 1;   // marker colour
    int ToolColumn = 0, ToolRow = 0, ToolZ = 0; // grid position of the last stamp

    // --- Billet ---
    // Rebuilds the uncut billet; host units, height above its bottom. A
    // billet with a zero, negative or non-finite extent leaves the model
    // empty (no columns) and returns false.
    bool BuildBillet(double LowX, double LowY, double HighX, double HighY, double Height,
                     int ColourBase);

    // --- Grid ---
    int ColumnCount() const { return FColumnCount; }
    int Columns() const { return static_cast<int>(FCols.size()); } // slots with rows
    int FirstRow(int C) const { return FCols[C].First; }
    int LastRow(int C) const { return FCols[C].Last; }
    int Top() const { return FTop; }
    int ColumnOffset() const { return FColumnOffset; }
    int RowOffset() const { return FRowOffset; }
    bool IsCuttable(int C, int R) const
    {
        return C >= 0 && C < FColumnCount && R > FCols[C].First && R < FCols[C].Last;
    }
    // Host point (z above the billet bottom) to grid coordinates.
    CGridPoint ToGrid(double X, double Y, double Z) const;
    // The head (highest node) of a cell; -1 when the cell has none.
    int HeadIndex(int C, int R) const
    {
        const int *head = CellHead(C, R);
        return head ? *head : -1;
    }
    const DexelNode &Node(int Index) const { return FNodes[Index]; }
    // Highest z of a cell, or the given default when it is empty.
    int SurfaceZ(int C, int R, int Empty = -32768) const;
    size_t NodesInUse() const { return FInUse; }
    size_t NodeCapacity() const { return FNodes.size(); }
    size_t CellCount() const { return FTable.size(); }
    bool Overflowed() const { return FOverflowed; }
    // Bytes the model keeps per cell (head and height summary).
    static constexpr size_t CellBytes() { return sizeof(int) + sizeof(uint32_t); }

    // While set (the default), a stamp or a level sweep leaves alone the
    // cells it provably cannot change: rows lying at its height with
    // neighbours at it too, and whole columns that it was found to leave
    // as they are, unchanged since. Clear, every stamped cell goes through
    // the full settle and wall pass; the result is the same.
    bool FastCuts = true;

    // --- Nodes ---
    // A Foot node (the lowest of a wall's nodes in a column) never takes
    // over the colour of a node already at its height: a wall standing on
    // a floor leaves the floor's shade.
    bool InsertNode(int C, int R, int Z, int Colour, bool Settled, bool Foot = false);
    void StageCellNode(int C, int R, int Z, int Colour, bool Foot = false);
    void FlushCellStage();
    void CutCell(int C, int R, int Z);
    void Settle(int C, int R);
    void ColumnFill(int C);
    void FinishColumns();
    CCellRange CellRange(int C, int R) const;
    bool Overwrite = true;

    // --- Shading ---
    // Image index for a normal pointing into the material: 10..201, 205
    // while Rapid is set.
    int Shade(double X, double Y, double Z) const;
    int ShadeUnit(double X, double Y, double Z) const;

    // --- Tool sweeps (DexelSweeps.cpp); host units, z above the bottom ---
    void CutPoint(double X, double Y, double Z);
    void CutLine(double X1, double Y1, double Z1, double X2, double Y2, double Z2);
    // Directions are unit vectors (cos, sin) in the host plan.
    void CutArc(double CX, double CY, double CZ, double Radius, double SX, double SY, double EX,
                double EY, bool Clockwise);
    void CutFullCircle(double CX, double CY, double CZ, double Radius);
    // Stamps the current tool at a grid point (the probe) and settles the cells.
    void StampGrid(const CGridPoint &P, double RadiusPixels);
    struct CQuadCorner {
        double x, y, z;
        int shade;
    };
    void RasterQuad(const CQuadCorner &P1, const CQuadCorner &P2, const CQuadCorner &P3,
                    const CQuadCorner &P4);
    // A convex polygon of Count corners, scan-converted as RasterQuad does.
    void RasterPolygon(const CQuadCorner *Corners, int Count);

    // --- Edge extremes (RasterQuad and BuildBillet scratch) ---
    static constexpr int NoRowNear = 1000000;
    struct CEdgeExtremes {
        int NearRow, NearZ, NearShade;
        int FarRow, FarZ, FarShade;
    };

private:
    struct CTouched {
        int First = 1000, Last = -1000;
    };
    int AllocNode();
    void FreeNode(int Index);
    bool InsertStageInOneWalk();
    // OverColour -1: an existing node keeps its colour.
    int PlaceNode(int Cell, int &Prev, int &At, int Z, int NewColour, int OverColour, bool Settled);
    // Cutting only takes material away: a cut puts no node above a cell's
    // head, or the settled cell would stand higher than before (a rim
    // cell's wall reaching the billet top over a head one below it).
    bool AboveHead(int Cell, int Z) const
    {
        return FTable[Cell] >= 0 && Z > FNodes[FTable[Cell]].z;
    }
    int CellIndex(int C, int R) const
    {
        if (C < 0 || C >= static_cast<int>(FCols.size()))
            return -1;
        const CColumn &col = FCols[C];
        if (R < col.First || R > col.Last)
            return -1;
        return col.Offset + R - col.First;
    }
    int *CellHead(int C, int R)
    {
        const int i = CellIndex(C, R);
        return i < 0 ? nullptr : &FTable[i];
    }
    // Highest and lowest z of a cell from the summary; 0, 0 when empty.
    CCellRange Span(int C, int R) const;
    void ColumnFillRows(int C, int From, int To);
    bool FlatStampFast(const CGridPoint &P, double R);
    void RimPolygon(const CGridPoint &P, double R, CQuadCorner *Rim) const;
    void ShankWalls(const CGridPoint &P, double R, double RimZ, CQuadCorner (*Walls)[4]) const;
    // The shades of the shank's sector edges (horizontal normals at k pi / 8)
    // under the current light, worked out when the light is set.
    void ShadeSectors();
    int FSectorShade[17] = {};
    bool FastFacets(const CQuadCorner *Floor, int FloorCount, const CQuadCorner (*Walls)[4],
                    int WallCount, int SharedWalls, int Z, int FloorColour);
    void StagePolygonRows(int C, const CEdgeExtremes &E);
    const int *CellHead(int C, int R) const
    {
        return const_cast<CDexelModel *>(this)->CellHead(C, R);
    }
    void TouchRow(int C, int R);
    void ClearExtremes(int From, int To);
    void EnterExtreme(int C, int R, int Z, int Shade);
    static void EnterExtremeAt(CEdgeExtremes &E, int R, int Z, int Shade);
    void WalkEdge(const CQuadCorner &A, const CQuadCorner &B);
    // A vertical facet whose lowest node in each column is a foot.
    void RasterWall(const CQuadCorner &P1, const CQuadCorner &P2, const CQuadCorner &P3,
                    const CQuadCorner &P4);
    bool FWallFeet = false;
    void StageSegment(int C, const CEdgeExtremes &E);
    void Stamp(const CGridPoint &P, double R);
    void SweepSegment(const CGridPoint &P1, const CGridPoint &P2, double R, bool Radial,
                      double CentreX, double CentreY);
    void PlanarSweep(const CGridPoint &P1, const CGridPoint &P2, double R);
    void ArcChord(const CGridPoint &A, const CGridPoint &B, double R, const CGridPoint &Centre);
    bool AboveTop(double Z) const;
    void WidenTouchedColumns(int From, int To);

    // The last stamp of CutPoint while nothing else has cut since: the
    // next move's start stamp at the same point would change nothing.
    struct CStampKey {
        double X, Y, Z, R;
        bool Ball, Rapid;
        bool operator==(const CStampKey &) const = default;
    };
    bool FLastStampValid = false;
    CStampKey FLastStamp{};

    std::vector<DexelNode> FNodes;
    int FFree = -1;
    size_t FInUse = 0;
    bool FOverflowed = false;
    std::vector<int> FTable;
    // Per cell, the heights of its head and of its last node packed as
    // (high << 16 | low & 0xffff); EmptyCell when the cell has none.
    static constexpr uint32_t EmptyCell = 0x80007fffu;
    static uint32_t PackSpan(int High, int Low)
    {
        return (static_cast<uint32_t>(static_cast<uint16_t>(High)) << 16) |
               static_cast<uint16_t>(Low);
    }
    std::vector<uint32_t> FSpans;
    // The rows of each column a fast stamp stages into: up to four row
    // ranges, or the whole column.
    struct CStampRows {
        int Count = 0;
        bool All = false;
        int From[4], To[4];
        int Lo = 1000000, Hi = -1000000; // rows the stamp touches
        // Rows the shank's walls touch, near and far group (first > last: none).
        int RimLo[2] = {1000000, 1000000}, RimHi[2] = {-1000000, -1000000};
        CEdgeExtremes Floor; // the floor's segment in this column
    };
    std::vector<CStampRows> FStampRows;
    // The shank walls' column segments of a fast stamp, wall after wall.
    std::vector<CEdgeExtremes> FWallSegments;
    bool FRowFilter = false;
    bool RowAllowed(int C, int R) const;
    // Each column's count of changes (a node added, taken away or
    // recoloured; between cuts every node is settled), and what cuts that
    // left it alone found there: rows whose cells reach down to a height
    // (flat stamps), rows whose heads stand at or below a height with the
    // floor's colour at it (level sweeps), and rows over which the settle
    // and wall pass changes nothing. All of it holds while the column does
    // not change, so a later cut within those rows is passed over at once.
    struct CQuietRows {
        int Z = 0, Colour = -1, Lo = 0, Hi = -1; // none while Lo > Hi
        void Join(int NewZ, int NewColour, int NewLo, int NewHi);
    };
    struct CQuietColumn {
        uint64_t Change = 0;
        CQuietRows Reach, Heads;
        int FillLo = 0, FillHi = -1;
    };
    std::vector<uint64_t> FColumnChange;
    std::vector<CQuietColumn> FQuiet;
    uint64_t FChangeCount = 0;
    void MarkChanged(int C) { FColumnChange[C] = ++FChangeCount; }
    bool PassesOver(int C, int Z, int FloorColour, int Lo, int Hi);
    bool RowsReachDownTo(int C, int Z, int Lo, int Hi) const;
    bool HeadsAtOrBelow(int C, int Z, int Colour, int Lo, int Hi) const;
    bool FillLeavesAlone(int C, int From, int To) const;
    std::vector<CColumn> FCols;
    std::vector<CTouched> FTouched;
    std::vector<CEdgeExtremes> FExtremes;
    int FTouchedFirst = 1000, FTouchedLast = -1000;
    int FColumnCount = 0;
    int FColumnOffset = 0, FRowOffset = 0;
    int FTop = 0;
    double FScale = 1.0;
    double FTilt = 0.8660254, FCos = 0.5;
    double FRotation = 0;
    double FCosR = 1, FSinR = 0;
    double FLight[3];
    double FToolRadius = 5.0;
    bool FBallNosed = false;
    bool FInsertAnywhere = true;
    // The cell stage: nodes of one cell collected before insertion.
    int FStageC = -1, FStageR = 0;
    struct CStaged {
        int Colour, Z;
        bool Foot;
    };
    std::vector<CStaged> FStage;
};

// Integer line stepper (Bresenham) from (X0, Y0) to (X1, Y1); Visit(x, y)
// for every point, both ends included.
template <typename F> void StepLine(int X0, int Y0, int X1, int Y1, F &&Visit)
{
    int dx = X1 > X0 ? X1 - X0 : X0 - X1;
    int dy = Y1 > Y0 ? Y1 - Y0 : Y0 - Y1;
    const int sx = X1 >= X0 ? 1 : -1;
    const int sy = Y1 >= Y0 ? 1 : -1;
    const bool steep = dy > dx;
    const int major = steep ? dy : dx;
    const int minor = steep ? dx : dy;
    int d = 2 * minor - major;
    int x = X0, y = Y0;
    Visit(x, y);
    for (int i = 0; i < major; ++i) {
        if (d > 0) {
            if (steep)
                x += sx;
            else
                y += sy;
            d += 2 * (minor - major);
        }
        else {
            d += 2 * minor;
        }
        if (steep)
            y += sy;
        else
            x += sx;
        Visit(x, y);
    }
}

} // namespace orv
