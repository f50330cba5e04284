#include "view3d/milling/MillingBillet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace orv {
namespace {

// A billet of 40 x 10 x 10 (0.1 mm cells) and a tool of radius R.
class MillingBilletTest : public ::testing::Test {
protected:
    MillingBilletTest()
    {
        Billet.OnSurfaceChanged = [this] { ++Rebuilds; };
        Billet.SetBilletSize(40, 10, 10);
    }
    // The cell at (X, Y) mm.
    float At(double X, double Y) const
    {
        return Billet.Cell(static_cast<int>(std::lround(X / Billet.GridStep())),
                           static_cast<int>(std::lround(Y / Billet.GridStep())));
    }
    void Line(double X1, double Y1, double Z1, double X2, double Y2, double Z2, double R)
    {
        Billet.AddStraightMove(PathLinear, X1, Y1, Z1, X2, Y2, Z2, R);
    }

    TMillingBillet Billet;
    int Rebuilds = 0;
};

TEST_F(MillingBilletTest, GridFollowsTheBilletArea)
{
    struct {
        double X, Y, Setting;
        int NX, NY;
        double Step;
    } cases[] = {
        {40, 10, 0.6, 401, 101, 0.1},  // 400 mm^2
        {100, 50, 0.6, 168, 84, 0.6},  // 166.67 -> 167 + 1
        {100, 40, 0.6, 168, 68, 0.6},  // exactly 4000: the setting
        {60, 30, 0.6, 301, 151, 0.2},  // 1800 mm^2
        {20, 25, 0.6, 101, 126, 0.2},  // exactly 500: not below it
        {0, 0, 0.6, 1, 1, 0.1},        // one cell
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.X << " x " << c.Y);
        Billet.GridSizeSetting = c.Setting;
        Billet.SetBilletSize(c.X, c.Y, 10);
        EXPECT_EQ(Billet.NX(), c.NX);
        EXPECT_EQ(Billet.NY(), c.NY);
        EXPECT_DOUBLE_EQ(Billet.GridStep(), c.Step);
    }
}

TEST_F(MillingBilletTest, BilletSizesAreWholeMillimetresAndNeverNegative)
{
    struct {
        double In;
        float Out;
    } cases[] = {{20.5, 20}, {21.5, 22}, {20.4, 20}, {-5, 0}, {NAN, 0}, {INFINITY, 0}, {-INFINITY, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.In);
        Billet.SetBilletSize(c.In, 30, c.In);
        EXPECT_EQ(Billet.BilletX(), c.Out);
        EXPECT_EQ(Billet.BilletZ(), c.Out);
    }
    Billet.SetBilletSize(-1e300, NAN, 10);
    EXPECT_EQ(Billet.NX(), 1);
    EXPECT_EQ(Billet.NY(), 1);
}

TEST_F(MillingBilletTest, RoundHalfUp)
{
    struct {
        long double V;
        int R;
    } cases[] = {{2.5L, 3}, {3.5L, 4}, {-2.5L, -2}, {-3.5L, -4}, {2.4L, 2}, {0.5L, 1}, {4.0L, 4}};
    for (const auto &c : cases)
        EXPECT_EQ(TMillingBillet::RoundHalfUp(c.V), c.R) << static_cast<double>(c.V);
}

TEST_F(MillingBilletTest, PlungeLeavesTheToolShape)
{
    const double r = 1.5;
    // Ball: the axis at the tip's depth, 1 mm off on the sphere.
    Billet.ToolShape = ToolShapeBall;
    Line(10, 5, 5, 10, 5, -1, r);
    EXPECT_NEAR(At(10, 5), -1.0, 1e-5);
    EXPECT_NEAR(At(11, 5), 0.5 - std::sqrt(1.25), 1e-5);
    EXPECT_NEAR(At(10, 4), 0.5 - std::sqrt(1.25), 1e-5);
    EXPECT_EQ(At(12, 5), 0); // beyond the radius
    // Flat and pointed: the tip's depth over the whole radius.
    for (uint8_t shape : {ToolShapeFlat, ToolShapePointed}) {
        SCOPED_TRACE(int(shape));
        Billet.ResetHeightMap(0);
        Billet.ToolShape = shape;
        Line(10, 5, 5, 10, 5, -1, r);
        EXPECT_NEAR(At(10, 5), -1.0, 1e-6);
        EXPECT_NEAR(At(11, 5), -1.0, 1e-6);
        EXPECT_NEAR(At(11.4, 5), -1.0, 1e-6); // near the rim
        EXPECT_EQ(At(11.6, 5), 0);
    }
}

TEST_F(MillingBilletTest, StraightCutsReachExactlyTheEnd)
{
    struct {
        const char *Name;
        uint8_t Shape;
        double X1, Z1, X2, Z2;
        double CellX, CellY, Height;
    } cases[] = {
        {"flat, level: on the path", ToolShapeFlat, 5, -2, 15, -2, 10, 5, -2},
        {"flat, level: within the tool past the end", ToolShapeFlat, 5, -2, 15, -2, 15.9, 5, -2},
        {"flat, level: past the end", ToolShapeFlat, 5, -2, 15, -2, 16.1, 5, 0},
        {"flat, level: the side", ToolShapeFlat, 5, -2, 15, -2, 10, 6, -2},
        {"flat, ramp: deepest point within reach", ToolShapeFlat, 0, 0, 10, -2, 5, 5, -1.2},
        {"flat, ramp: at the end", ToolShapeFlat, 0, 0, 10, -2, 10, 5, -2},
        {"pointed, ramp", ToolShapePointed, 0, 0, 10, -2, 5, 5, -1.2},
        {"ball, level: on the path", ToolShapeBall, 5, -2, 15, -2, 10, 5, -2},
        {"ball, level: 0.6 to the side", ToolShapeBall, 5, -2, 15, -2, 10, 5.6, -1 - std::sqrt(1 - 0.36)},
        {"ball, level: the end's sphere", ToolShapeBall, 5, -2, 15, -2, 15.6, 5, -1 - std::sqrt(1 - 0.36)},
        {"ball, ramp down: under the end", ToolShapeBall, 0, 0, 10, -2, 10, 5, -2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        Billet.ResetHeightMap(0);
        Billet.ToolShape = c.Shape;
        Line(c.X1, 5, c.Z1, c.X2, 5, c.Z2, 1.0);
        EXPECT_NEAR(At(c.CellX, c.CellY), c.Height, 1e-5);
    }
}

TEST_F(MillingBilletTest, BallRampFollowsTheSweptSphere)
{
    // A ramp of slope 1 : 5 with a ball of radius 1: a point of the cut
    // directly below the path lies where the capsule meets the vertical,
    // deeper than the tip line by R (1 / cos a - 1).
    Billet.ToolShape = ToolShapeBall;
    Line(0, 5, 0, 10, 5, -2, 1.0);
    const double slope = 0.2;
    const double expected = -slope * 5 + 1 - std::sqrt(1 + slope * slope);
    EXPECT_NEAR(At(5, 5), expected, 1e-5);
    EXPECT_LT(At(5, 5), -1.0);
}

TEST_F(MillingBilletTest, MovesAboveTheTopCutNothingButLeaveAPathNode)
{
    Line(10, 5, 5, 20, 5, 5, 1.0);
    EXPECT_EQ(Rebuilds, 0);
    EXPECT_EQ(At(15, 5), 0);
    ASSERT_EQ(Billet.Path().size(), 1u);
    EXPECT_EQ(Billet.Path()[0].Point, (TMillPoint{20, 5, 5}));
    EXPECT_EQ(Billet.Path()[0].Colour, 65280);
}

TEST_F(MillingBilletTest, CuttingNeverRaisesTheSurface)
{
    Billet.ToolShape = ToolShapeFlat;
    Line(5, 5, -3, 15, 5, -3, 1.0);
    Line(5, 5, -1, 15, 5, -1, 1.0);
    EXPECT_NEAR(At(10, 5), -3, 1e-6);
}

TEST_F(MillingBilletTest, PathNodesOfHiddenKindsAreLeftOut)
{
    Billet.PathShown = {true, false, false};
    Billet.AddStraightMove(PathRapid, 0, 0, 5, 10, 0, 5, 1);
    Billet.AddStraightMove(PathLinear, 10, 0, 5, 10, 5, 5, 1);
    Billet.AddArcMove(17, 10, 5, 5, 10, 0, 5, 5, 90, 1);
    ASSERT_EQ(Billet.Path().size(), 1u);
    EXPECT_EQ(Billet.Path()[0].Kind, PathLinear);
}

TEST_F(MillingBilletTest, ArcChordsAndPoints)
{
    Billet.SetBilletSize(100, 100, 20);
    Billet.PathShown = {false, true, false};
    // Radius 10, sweep 90 clockwise from (60, 50): 16 chords, ending at
    // (50, 40).
    Billet.AddArcMove(17, 60, 50, -1, 50, 50, -1, 10, 90, 1);
    const auto &path = Billet.Path();
    ASSERT_EQ(path.size(), 17u);
    EXPECT_NEAR(path.front().Point.X, 60, 1e-4);
    EXPECT_NEAR(path.front().Point.Y, 50, 1e-4);
    EXPECT_NEAR(path.back().Point.X, 50, 1e-4);
    EXPECT_NEAR(path.back().Point.Y, 40, 1e-4);
    for (const TPathNode &n : path)
        EXPECT_NEAR(std::hypot(n.Point.X - 50, n.Point.Y - 50), 10, 1e-4);
    // Sweep 2 (0.35 mm of arc): only the start point.
    Billet.ResetHeightMap(0);
    Billet.AddArcMove(17, 60, 50, -1, 50, 50, -1, 10, 2, 1);
    ASSERT_EQ(Billet.Path().size(), 1u);
    EXPECT_EQ(Billet.Path()[0].Point, (TMillPoint{60, 50, -1}));
}

TEST_F(MillingBilletTest, ArcCutsAlongItsChords)
{
    Billet.SetBilletSize(100, 100, 20);
    Billet.ToolShape = ToolShapeFlat;
    Billet.AddArcMove(17, 60, 50, -1, 50, 50, -1, 10, 90, 0.5);
    // On the arc at 315 degrees; the centre and beyond the sweep untouched.
    const double a = 315 * M_PI / 180;
    const double x = 50 + 10 * std::cos(a), y = 50 + 10 * std::sin(a);
    EXPECT_NEAR(Billet.SurfaceAt(x, y), -1, 1e-6);
    EXPECT_EQ(Billet.SurfaceAt(50, 50), 0);
    EXPECT_EQ(Billet.SurfaceAt(50, 60), 0);
}

TEST_F(MillingBilletTest, ArcPointsByPlane)
{
    const TMillPoint c{1, 2, 3};
    struct {
        int Plane;
        TMillPoint At90;
    } cases[] = {{17, {1, 4, 3}}, {18, {1, 2, 5}}, {19, {1, 2, 5}}};
    for (const auto &k : cases) {
        SCOPED_TRACE(k.Plane);
        const TMillPoint p = TMillingBillet::ArcPoint(c, k.Plane, 90, 2);
        EXPECT_NEAR(p.X, k.At90.X, 1e-5);
        EXPECT_NEAR(p.Y, k.At90.Y, 1e-5);
        EXPECT_NEAR(p.Z, k.At90.Z, 1e-5);
    }
    const TMillPoint p = TMillingBillet::ArcPoint(c, 19, 0, 2);
    EXPECT_NEAR(p.Y, 4, 1e-5);
}

TEST_F(MillingBilletTest, TurboRebuildsAtOnceThenEvery1001stSegment)
{
    Billet.Turbo = true;
    Line(1, 1, -1, 2, 1, -1, 0.5);
    EXPECT_EQ(Rebuilds, 1); // the count starts at 9999
    for (int k = 0; k < 1000; ++k)
        Line(1, 1, -1, 2, 1, -1, 0.5);
    EXPECT_EQ(Rebuilds, 1);
    Line(1, 1, -1, 2, 1, -1, 0.5);
    EXPECT_EQ(Rebuilds, 2);
    Billet.FinishRun();
    EXPECT_FALSE(Billet.Turbo);
    EXPECT_EQ(Rebuilds, 3);
    Line(1, 1, -1, 2, 1, -1, 0.5);
    EXPECT_EQ(Rebuilds, 4); // after the run every segment again
}

// Outside Turbo, with OnCellsCut set, a segment reports the cells it
// lowered; the whole surface is asked for only when the view is behind.
TEST_F(MillingBilletTest, CutsReportTheCellsTheyLowered)
{
    struct TBox {
        int I0, J0, I1, J1;
        bool operator==(const TBox &) const = default;
    };
    std::vector<TBox> boxes;
    Billet.OnCellsCut = [&](int I0, int J0, int I1, int J1) { boxes.push_back({I0, J0, I1, J1}); };
    Billet.ToolShape = ToolShapeFlat;
    // The first cut after the billet was made: the whole surface.
    Line(10, 5, -1, 12, 5, -1, 0.5);
    EXPECT_EQ(Rebuilds, 1);
    EXPECT_TRUE(boxes.empty());
    // From then on the cells the flat tool lowered: x 19.45..22.55, y 4.45..5.55 mm.
    Line(20, 5, -1, 22, 5, -1, 0.55);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], (TBox{195, 45, 225, 55}));
    EXPECT_EQ(At(21, 5), -1);
    // The same cut again lowers nothing, and reports nothing.
    Line(20, 5, -1, 22, 5, -1, 0.55);
    EXPECT_EQ(boxes.size(), 1u);
    // Deeper along half of it: only that half.
    Line(21, 5, -2, 22, 5, -2, 0.55);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], (TBox{205, 45, 225, 55}));
    EXPECT_EQ(Rebuilds, 1);
    // Cuts in Turbo leave the view behind: the next cut after them asks
    // for the whole surface, once.
    Billet.Turbo = true;
    Line(30, 5, -1, 32, 5, -1, 0.5); // Turbo's first cut rebuilds at once
    Line(30, 7, -1, 32, 7, -1, 0.5); // this one waits
    const int turbo = Rebuilds;
    Billet.Turbo = false;
    Line(35, 5, -1, 36, 5, -1, 0.5);
    EXPECT_EQ(Rebuilds, turbo + 1);
    EXPECT_EQ(boxes.size(), 2u);
    Line(35, 7, -1, 36, 7, -1, 0.5);
    EXPECT_EQ(boxes.size(), 3u);
    // So does a new billet.
    Billet.SetBilletSize(40, 10, 10);
    Line(35, 5, -1, 36, 5, -1, 0.5);
    EXPECT_EQ(Rebuilds, turbo + 2);
    EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(MillingBilletTest, ToolIsPlacedOutsideTurboOnly)
{
    int placed = 0;
    Billet.OnPlaceTool = [&](const TMillPoint &, double) { ++placed; };
    Line(1, 1, 1, 2, 1, 1, 0.5);
    Billet.Turbo = true;
    Line(1, 1, 1, 2, 1, 1, 0.5);
    EXPECT_EQ(placed, 1);
}

TEST_F(MillingBilletTest, DatumOffsetsMoveTheCut)
{
    Billet.ToolShape = ToolShapeFlat;
    Billet.UseOffsets = true;
    Billet.DatumX = 5;
    Line(0, 5, 5, 0, 5, -1, 0.5);
    EXPECT_NEAR(At(5, 5), -1, 1e-6);
    EXPECT_EQ(At(0, 5), 0);
    Billet.UseOffsets = false;
    Line(0, 5, 5, 0, 5, -2, 0.5);
    EXPECT_NEAR(At(0, 5), -2, 1e-6);
}

TEST_F(MillingBilletTest, SamplesOutsideTheBilletReadItsBottom)
{
    float z = 7;
    EXPECT_FALSE(Billet.HeightAt(z, -0.1f, 5));
    EXPECT_EQ(z, 7);
    EXPECT_TRUE(Billet.HeightAt(z, 40, 10));
    EXPECT_EQ(Billet.SurfaceAt(41, 5), -10);
    EXPECT_EQ(Billet.SurfaceAt(20, 5), 0);
}

TEST_F(MillingBilletTest, CutsAtTheBilletEdgesStayInsideTheGrid)
{
    Billet.ToolShape = ToolShapeFlat;
    Line(-50, -50, -5, 100, 100, -5, 30);
    EXPECT_LT(At(40, 10), 0);
    EXPECT_LT(At(0, 0), 0);
}

TEST_F(MillingBilletTest, HugeBilletsAndGridSettingsKeepTheMapBounded)
{
    struct {
        const char *Name;
        double X, Y, Setting;
        double MinStep; // the step at least
    } cases[] = {
        {"a kilometre square at 0.6", 1e6, 1e6, 0.6, 1e6 / 4096},
        {"size beyond single range", 1e300, 1e300, 0.6, 1e6 / 4096},
        {"long and thin", 1e6, 10, 0.6, 0.6},
        {"zero grid setting", 5000, 5000, 0, 0.1},
        {"grid setting not a number", 200, 200, NAN, 0.6},
        {"negative grid setting", 200, 200, -1, 0.1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        Billet.GridSizeSetting = c.Setting;
        Billet.SetBilletSize(c.X, c.Y, 10);
        EXPECT_LE(Billet.BilletX(), 1e6f);
        EXPECT_GE(Billet.GridStep(), c.MinStep);
        EXPECT_LE(double(Billet.NX() + 5) * (Billet.NY() + 5), 16.0 * 1024 * 1024);
        // The whole billet is still covered.
        EXPECT_GE((Billet.NX() - 1) * Billet.GridStep() + Billet.GridStep() / 2, Billet.BilletX());
    }
    // A billet of realistic size keeps the chosen grid.
    Billet.GridSizeSetting = 0.25;
    Billet.SetBilletSize(140, 140, 20);
    EXPECT_EQ(Billet.NX(), 561);
}

TEST_F(MillingBilletTest, MovesThatCannotBePlacedAreIgnored)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct {
        const char *Name;
        double X1, Y1, Z1, X2, Y2, Z2, R;
    } straight[] = {
        {"end X not a number", 1, 1, -1, nan, 5, -1, 1},
        {"start Z not a number", 1, 1, nan, 5, 5, -1, 1},
        {"infinite end", 1, 1, -1, inf, 5, -1, 1},
        {"beyond single range", 1, 1, -1, 1e300, 5, -1, 1},
        {"radius not a number", 1, 1, -1, 5, 5, -1, nan},
        {"infinite radius", 1, 1, -1, 5, 5, -1, inf},
    };
    for (const auto &c : straight) {
        SCOPED_TRACE(c.Name);
        Billet.SetBilletSize(40, 10, 10);
        Rebuilds = 0;
        Line(c.X1, c.Y1, c.Z1, c.X2, c.Y2, c.Z2, c.R);
        EXPECT_TRUE(Billet.Path().empty());
        EXPECT_EQ(Rebuilds, 0);
        EXPECT_EQ(At(1, 1), 0);
    }
    struct {
        const char *Name;
        double X1, CentreX, Sweep, R;
    } arcs[] = {
        {"sweep not a number", 5, 10, nan, 1},
        {"infinite sweep", 5, 10, inf, 1},
        {"centre not a number", 5, nan, 90, 1},
        {"radius not a number", 5, 10, 90, nan},
    };
    for (const auto &c : arcs) {
        SCOPED_TRACE(c.Name);
        Billet.SetBilletSize(40, 10, 10);
        Billet.AddArcMove(17, c.X1, 5, -1, c.CentreX, 5, -1, 5, c.Sweep, c.R);
        EXPECT_TRUE(Billet.Path().empty());
        EXPECT_EQ(At(5, 5), 0);
    }
}

TEST_F(MillingBilletTest, FarMovesAndHugeArcsStayBounded)
{
    Billet.ToolShape = ToolShapeFlat;
    // Far outside on either side, and across the whole billet with a huge
    // finite coordinate: indexes are clipped before they become integers.
    Line(-1e30, 5, -1, -1e29, 5, -1, 1);
    EXPECT_EQ(At(0, 5), 0);
    Line(1e30, 5, -1, 2e30, 5, -1, 1);
    EXPECT_EQ(At(40, 5), 0);
    Line(-1e30, 5, -2, 1e30, 5, -2, 1);
    EXPECT_EQ(At(0, 5), -2);
    EXPECT_EQ(At(40, 5), -2);
    // An arc of a radius far beyond any billet gets a bounded number of
    // chords (about one a millimetre of the largest billet's perimeter).
    Billet.PathShown[PathCircular] = false;
    Billet.AddArcMove(17, 1e12, 5, -1, 0, 5, -1, 1e12, 360, 1);
    EXPECT_EQ(Billet.Path().size(), 3u);
}

TEST_F(MillingBilletTest, ReadingAtANonNumberIsOutside)
{
    float z = 7;
    EXPECT_FALSE(Billet.HeightAt(z, NAN, 5));
    EXPECT_FALSE(Billet.HeightAt(z, 5, NAN));
    EXPECT_EQ(z, 7);
    EXPECT_EQ(Billet.SurfaceAt(NAN, NAN), -10);
}

} // namespace
} // namespace orv
