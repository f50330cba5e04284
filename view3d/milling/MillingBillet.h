#pragma once
// The billet of the milling 3D view: a height map of the billet's top
// surface that every move lowers with the tool swept along it, the coloured
// tool path, the datum offsets and the Turbo rebuild counting. Lengths are
// program millimetres; the billet spans 0..BilletX, 0..BilletY with its top
// at Z = 0 (cut depths negative). The window draws what this holds.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace orv {

struct TMillPoint {
    float X = 0, Y = 0, Z = 0;
    bool operator==(const TMillPoint &) const = default;
};

// One node of the tool path: the end of a shown move and its kind's colour.
struct TPathNode {
    TMillPoint Point;
    int32_t Colour = 0;
    uint8_t Kind = 0; // 0 linear, 1 circular, 2 rapid
};

// Tool shapes: 2 ball nose; 0 flat end and 4 pointed both cut flat at the tip.
constexpr uint8_t ToolShapeFlat = 0;
constexpr uint8_t ToolShapeBall = 2;
constexpr uint8_t ToolShapePointed = 4;

// Path kinds, the indexes of PathColours and PathShown.
constexpr uint8_t PathLinear = 0;
constexpr uint8_t PathCircular = 1;
constexpr uint8_t PathRapid = 2;

class TMillingBillet {
public:
    TMillingBillet();

    // Whole millimetres (ties to even: 20.5 -> 20); a negative or
    // non-finite size counts as 0, one above 1,000,000 mm as that.
    // Resets the height map and the path.
    void SetBilletSize(double X, double Y, double Z);
    // Chooses the grid (the setting from 4000 mm^2 of billet area, 0.2 mm
    // below, 0.1 mm below 500 mm^2; a setting outside 0.1 .. 3 mm is held
    // to it), sets every cell to Fill and empties the tool path. A grid
    // that would take more than 16 Mi cells is coarsened until it fits.
    void ResetHeightMap(double Fill);

    // A straight move (Kind 0 linear, 2 rapid; rapids cut like linears)
    // from point 1 to point 2 with a tool of ToolRadius (mm). A move with
    // a coordinate or radius that is not finite is ignored.
    void AddStraightMove(uint8_t Kind, double X1, double Y1, double Z1, double X2, double Y2,
                         double Z2, double ToolRadius);
    // An arc from (X1, Y1, Z1) round the centre, Sweep in degrees (positive
    // clockwise) in Plane 17 (XY), 18 (XZ) or 19 (YZ; any other: 17). The
    // radius is that of the start point; Radius is not used. Cut as chords
    // of about a millimetre; each chord end is a path node.
    void AddArcMove(int Plane, double X1, double Y1, double Z1, double CentreX, double CentreY,
                    double CentreZ, double Radius, double Sweep, double ToolRadius);
    // The end of the run: the next cut rebuilds the surface.
    void FinishRun();

    // The surface at (X, Y) from the nearest cell; false outside the billet.
    bool HeightAt(float &Z, float X, float Y) const;
    // The height-field sample at (X, Y): the nearest cell inside the billet,
    // the billet bottom outside (its walls).
    float SurfaceAt(float X, float Y) const;
    float Cell(int I, int J) const { return FHeights[Index(I, J)]; }
    int NX() const { return FNX; }
    int NY() const { return FNY; }
    double GridStep() const { return FStep; }
    float BilletX() const { return FBilletX; }
    float BilletY() const { return FBilletY; }
    float BilletZ() const { return FBilletZ; }
    const std::vector<TPathNode> &Path() const { return FPath; }

    // Datum: added to every move when UseOffsets is set.
    TMillPoint ApplyDatumOffset(double X, double Y, double Z) const;

    // Settings the view copies from its setup form.
    double GridSizeSetting = 0.6;
    bool UseOffsets = false;
    double DatumX = 0, DatumY = 0, DatumZ = 0;
    std::array<int32_t, 3> PathColours{65280, 16711680, 255};
    std::array<bool, 3> PathShown{true, true, true};
    uint8_t ToolShape = ToolShapeBall;
    // Turbo: the surface is rebuilt at the first cut, then every 1001st.
    bool Turbo = false;
    int TurboCount = 0;

    // The surface must be sampled again (a cut segment, or every 1001st
    // in Turbo).
    std::function<void()> OnSurfaceChanged;
    // With this set, a cut segment outside Turbo reports only the cells it
    // lowered, I0..I1 x J0..J1 (inclusive; nothing when it lowered none),
    // and OnSurfaceChanged fires only when the whole surface must be
    // sampled again: the first cut after a reset or after Turbo cuts, and
    // at the end of a run.
    std::function<void(int I0, int J0, int I1, int J1)> OnCellsCut;
    // The tool is now at Tip (not in Turbo).
    std::function<void(const TMillPoint &Tip, double Radius)> OnPlaceTool;

    // Positive halves round up (2.5 -> 3), negative ones to even (-2.5 -> -2).
    static int RoundHalfUp(long double V);
    // The point at Angle (degrees) and radius R round Centre in Plane; the
    // coordinate across the plane is the centre's.
    static TMillPoint ArcPoint(const TMillPoint &Centre, int Plane, float Angle, float R);

private:
    size_t Index(int I, int J) const { return static_cast<size_t>(I) * FRows + J; }
    void AddPathNode(uint8_t Kind, const TMillPoint &P);
    // Cells I0..I1 x J0..J1 lowered by one segment; empty when I0 > I1.
    struct TCellBox {
        int I0 = 1, J0 = 1, I1 = 0, J1 = 0;
        void Add(int I, int J);
    };
    void CutSegment(const TMillPoint &From, const TMillPoint &To, double ToolRadius);
    bool LowerHeight(int I, int J, float H);
    void SurfaceCut(const TCellBox &Lowered);
    void WholeSurfaceChanged();
    double SweptFlat(double Cx, double Cy, const TMillPoint &A, const TMillPoint &B, double R) const;
    double SweptBall(double Cx, double Cy, const TMillPoint &A, const TMillPoint &B, double R) const;

    float FBilletX = 0, FBilletY = 0, FBilletZ = 0;
    double FStep = 0.1;
    int FNX = 1, FNY = 1;
    int FRows = 6;
    std::vector<float> FHeights;
    std::vector<TPathNode> FPath;
    // Cells changed that no OnCellsCut reported (Turbo, a reset).
    bool FSurfaceBehind = true;
};

} // namespace orv
