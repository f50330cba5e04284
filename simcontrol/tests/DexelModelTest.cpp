#include "simcontrol/model/DexelModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>

namespace orv {
namespace {

// A 100 x 75 x 40 billet at 1 pixel per mm, seen at rotation 0.
class DexelModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        M.SetScale(1.0);
        M.SetTilt(0.5);
        M.SetRotation(0);
        M.SetLight(1, -2, 2);
        ASSERT_TRUE(M.BuildBillet(0, 0, 100, 75, 40, 192));
    }
    int Surface(double X, double Y) const
    {
        const CGridPoint g = M.ToGrid(X, Y, 0);
        return M.SurfaceZ(static_cast<int>(g.x), static_cast<int>(g.y));
    }
    CDexelModel M;
};

TEST_F(DexelModelTest, NewBilletHasTopWallAndBorder)
{
    EXPECT_EQ(M.Top(), 40);
    EXPECT_EQ(M.ColumnCount(), 100);
    for (int c = 0; c < M.ColumnCount(); ++c) {
        SCOPED_TRACE(c);
        const int first = M.FirstRow(c);
        EXPECT_EQ(M.SurfaceZ(c, first + 5), 40);
        const CCellRange front = M.CellRange(c, first + 1);
        EXPECT_EQ(front.HighZ, 40);
        EXPECT_EQ(front.LowZ, 1);
        const CCellRange border = M.CellRange(c, first);
        EXPECT_EQ(border.LowZ, 1);
        EXPECT_EQ(border.LowColour, 0);
    }
}

TEST_F(DexelModelTest, FlatLevelSlotHasExactFloor)
{
    M.SetToolRadiusPixels(5);
    M.CutPoint(20, 30, 30);
    M.CutLine(20, 30, 30, 80, 30, 30);
    M.CutPoint(80, 30, 30);
    for (int x = 20; x <= 80; ++x)
        for (int y = 27; y <= 33; ++y) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(Surface(x, y), 30);
        }
    EXPECT_EQ(Surface(50, 45), 40);
    EXPECT_EQ(Surface(50, 15), 40);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// Distance from a plan point to a segment.
double SegmentDistance(double PX, double PY, double AX, double AY, double BX, double BY)
{
    const double dx = BX - AX, dy = BY - AY;
    const double l2 = dx * dx + dy * dy;
    double f = l2 > 0 ? ((PX - AX) * dx + (PY - AY) * dy) / l2 : 0;
    f = std::clamp(f, 0.0, 1.0);
    return std::hypot(PX - AX - f * dx, PY - AY - f * dy);
}

struct CSweepCase {
    const char *Name;
    bool Ball;
    // Moves: kind 0 stamp, 1 line (with end stamps), 2 arc, 3 full circle.
    std::function<void(CDexelModel &)> Cut;
    // Expected surface at a cell centre, or nullopt where the cell is not
    // well inside the cut (rims are not checked).
    std::function<std::optional<double>(double X, double Y)> Expected;
    double Tolerance;
};

class DexelSweepTest : public ::testing::TestWithParam<CSweepCase> {};

TEST_P(DexelSweepTest, SurfaceFollowsTheTool)
{
    const CSweepCase &c = GetParam();
    CDexelModel m;
    m.SetScale(1.0);
    m.SetTilt(0.5);
    m.SetLight(1, -2, 2);
    ASSERT_TRUE(m.BuildBillet(0, 0, 120, 100, 40, 192));
    m.SetToolRadiusPixels(6);
    m.SetBallNosed(c.Ball);
    c.Cut(m);
    int checked = 0;
    for (int col = 0; col < m.ColumnCount(); ++col)
        for (int row = m.FirstRow(col) + 2; row < m.LastRow(col) - 1; ++row) {
            const double x = col - m.ColumnOffset() + 0.5, y = row - m.RowOffset() + 0.5;
            const std::optional<double> want = c.Expected(x, y);
            if (!want)
                continue;
            ++checked;
            const int got = m.SurfaceZ(col, row);
            if (std::fabs(got - *want) > c.Tolerance)
                ADD_FAILURE() << c.Name << " at " << x << "," << y << ": surface " << got
                              << ", expected " << *want;
        }
    EXPECT_GT(checked, 20);
}

std::optional<double> Inside(double Distance, double Limit, double Z)
{
    if (Distance < Limit)
        return Z;
    if (Distance > Limit + 3)
        return 40.0;
    return std::nullopt;
}

// Ball-nosed tool of radius 6 with its tip at Z: the sphere's lower surface.
std::optional<double> BallAt(double Distance, double Z)
{
    if (Distance < 4.5)
        return Z + 6 - std::sqrt(36 - Distance * Distance);
    if (Distance > 9)
        return 40.0;
    return std::nullopt;
}

const CSweepCase SweepCases[] = {
    {"flat stamp", false, [](CDexelModel &m) { m.CutPoint(50, 50, 25); },
     [](double x, double y) { return Inside(std::hypot(x - 50, y - 50), 4.5, 25); }, 0},
    {"ball stamp", true, [](CDexelModel &m) { m.CutPoint(50, 50, 25); },
     [](double x, double y) { return BallAt(std::hypot(x - 50, y - 50), 25); }, 1.5},
    {"flat level line", false,
     [](CDexelModel &m) {
         m.CutPoint(20, 60, 30);
         m.CutLine(20, 60, 30, 90, 40, 30);
         m.CutPoint(90, 40, 30);
     },
     [](double x, double y) { return Inside(SegmentDistance(x, y, 20, 60, 90, 40), 4.5, 30); }, 0},
    {"ball line", true,
     [](CDexelModel &m) {
         m.CutPoint(20, 50, 30);
         m.CutLine(20, 50, 30, 90, 50, 30);
         m.CutPoint(90, 50, 30);
     },
     [](double x, double y) { return BallAt(SegmentDistance(x, y, 20, 50, 90, 50), 30); }, 1.5},
    // A ramp from Z 35 down to Z 20: within one unit of the plane, never
    // below its lower end.
    {"flat ramp", false,
     [](CDexelModel &m) {
         m.CutPoint(20, 50, 35);
         m.CutLine(20, 50, 35, 95, 50, 20);
         m.CutPoint(95, 50, 20);
     },
     [](double x, double y) -> std::optional<double> {
         if (x < 27 || x > 88)
             return std::nullopt;
         const double plane = 35 - 15 * (x - 0.5 - 20) / 75;
         return Inside(std::fabs(y - 50), 4.5, plane - 0.5);
     },
     0.5},
    {"plunge", false,
     [](CDexelModel &m) {
         m.CutPoint(60, 50, 45);
         m.CutLine(60, 50, 45, 60, 50, 10);
         m.CutPoint(60, 50, 10);
     },
     [](double x, double y) { return Inside(std::hypot(x - 60, y - 50), 4.5, 10); }, 0},
    {"move above the billet", false,
     [](CDexelModel &m) {
         m.CutPoint(20, 50, 45);
         m.CutLine(20, 50, 45, 90, 50, 45);
         m.CutPoint(90, 50, 45);
     },
     [](double, double) { return std::optional<double>(40.0); }, 0},
    {"full circle", false, [](CDexelModel &m) { m.CutFullCircle(60, 50, 20, 25); },
     [](double x, double y) {
         return Inside(std::fabs(std::hypot(x - 60, y - 50) - 25), 4.5, 20);
     },
     0},
    {"arc upper half", false,
     [](CDexelModel &m) { m.CutArc(60, 50, 20, 25, 1, 0, -1, 0, false); },
     [](double x, double y) {
         const double d = std::fabs(std::hypot(x - 60, y - 50) - 25);
         if (y > 55 && d < 4.5)
             return std::optional<double>(20);
         if (d > 9 || y < 44)
             return std::optional<double>(40);
         return std::optional<double>();
     },
     0},
    {"same directions clockwise: the lower half", false,
     [](CDexelModel &m) { m.CutArc(60, 50, 20, 25, 1, 0, -1, 0, true); },
     [](double x, double y) {
         const double d = std::fabs(std::hypot(x - 60, y - 50) - 25);
         if (y < 45 && d < 4.5)
             return std::optional<double>(20);
         if (d > 9 || y > 56)
             return std::optional<double>(40);
         return std::optional<double>();
     },
     0},
};

INSTANTIATE_TEST_SUITE_P(Sweeps, DexelSweepTest, ::testing::ValuesIn(SweepCases),
                         [](const auto &Info) {
                             std::string n = Info.param.Name;
                             for (char &ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST_F(DexelModelTest, LevelSlotHasItsFarWall)
{
    M.SetToolRadiusPixels(5);
    M.CutPoint(20, 30, 30);
    M.CutLine(20, 30, 30, 80, 30, 30);
    M.CutPoint(80, 30, 30);
    // The first uncut row behind the slot stands from the floor to the top.
    for (int x = 30; x <= 70; x += 10) {
        SCOPED_TRACE(x);
        const CGridPoint g = M.ToGrid(x, 30, 0);
        const int c = static_cast<int>(g.x);
        int r = static_cast<int>(g.y);
        while (M.SurfaceZ(c, r) < 40)
            ++r;
        const CCellRange wall = M.CellRange(c, r);
        EXPECT_EQ(wall.HighZ, 40);
        EXPECT_LE(wall.LowZ, 31);
    }
}

// A plunge with a 6 mm flat tool, then full circles (or arcs) of radius 3
// and 6 about it, at one depth: the floor they leave is one flat shade. The
// walls of the larger circle stand on floor the smaller one cut; their
// feet must not paint it in wall shades.
TEST(DexelWallFeet, ArcsLeaveTheFloorInTheFloorsShade)
{
    const struct {
        const char *Name;
        double Rotation;
        bool FullCircles;
    } cases[] = {{"full circles", 0, true},
                 {"full circles, turned view", 0.5, true},
                 {"half arcs both ways", 0.5, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        CDexelModel m;
        m.SetScale(4);
        m.SetTilt(0.5);
        m.SetRotation(c.Rotation);
        m.SetLight(0.6, -0.5, 0.4);
        ASSERT_TRUE(m.BuildBillet(0, 0, 100, 80, 20, 192));
        m.SetToolSize(3);
        auto line = [&](double X1, double Y1, double Z1, double X2, double Y2, double Z2) {
            m.CutPoint(X1, Y1, Z1);
            m.CutLine(X1, Y1, Z1, X2, Y2, Z2);
            m.CutPoint(X2, Y2, Z2);
        };
        auto circle = [&](double R) {
            if (c.FullCircles) {
                m.CutFullCircle(70, 50, 16, R);
                return;
            }
            m.CutArc(70, 50, 16, R, 1, 0, -1, 0, false);
            m.CutArc(70, 50, 16, R, 1, 0, -1, 0, true);
        };
        line(70, 50, 25, 70, 50, 16);
        line(70, 50, 16, 73, 50, 16);
        circle(3);
        line(73, 50, 16, 76, 50, 16);
        circle(6);
        const int floor = 16 * 4, down = m.Shade(0, 0, -1);
        int cells = 0, walled = 0;
        for (int col = 0; col < m.Columns(); ++col)
            for (int r = m.FirstRow(col) + 1; r < m.LastRow(col); ++r) {
                const int head = m.HeadIndex(col, r);
                if (head < 0 || m.Node(head).z != floor)
                    continue;
                ++cells;
                walled += m.Node(head).colour != down;
            }
        EXPECT_GT(cells, 3000);
        EXPECT_EQ(walled, 0) << "of " << cells << " floor cells";
    }
}

TEST(DexelModelStorage, GrowsWithTheCutsAndRefusesHugeBillets)
{
    CDexelModel m;
    m.SetScale(1.0);
    ASSERT_TRUE(m.BuildBillet(0, 0, 400, 300, 100, 192));
    const size_t before = m.NodeCapacity();
    m.SetToolRadiusPixels(20);
    for (int y = 30; y < 280; y += 30) {
        m.CutPoint(20, y, 50);
        m.CutLine(20, y, 50, 380, y, 10);
        m.CutPoint(380, y, 10);
    }
    EXPECT_GT(m.NodeCapacity(), before);
    EXPECT_FALSE(m.Overflowed());
    EXPECT_EQ(m.SurfaceZ(static_cast<int>(m.ToGrid(380, 270, 0).x),
                         static_cast<int>(m.ToGrid(380, 270, 0).y)),
              10);
    // A grid past the cell table's ceiling is not built; nothing is cut.
    m.SetScale(100.0);
    EXPECT_FALSE(m.BuildBillet(0, 0, 250, 250, 10, 192));
    EXPECT_EQ(m.ColumnCount(), 0);
    m.CutLine(10, 10, 5, 200, 200, 5);
    EXPECT_EQ(m.NodesInUse(), 0u);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST_F(DexelModelTest, FarOffAndDeepMovesStayInRange)
{
    M.SetToolRadiusPixels(5);
    M.CutPoint(1e30, -1e30, 10);
    M.CutLine(-1e30, 50, 10, 1e30, 50, 10);
    M.CutPoint(50, 40, -1e6);
    M.CutLine(50, 40, -1e6, 60, 40, -1e6);
    const CGridPoint g = M.ToGrid(55, 40, 0);
    EXPECT_EQ(M.SurfaceZ(static_cast<int>(g.x), static_cast<int>(g.y)), -30000);
    M.CutArc(50, 40, 10, 1e30, 1, 0, 0, 1, false);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// Every cell's nodes (height, colour, settled; or the heights alone) in
// order, column by column.
std::vector<int> CellContents(const CDexelModel &M, bool HeightsOnly = false)
{
    std::vector<int> out;
    for (int c = 0; c < M.Columns(); ++c)
        for (int r = M.FirstRow(c); r <= M.LastRow(c); ++r) {
            out.push_back(-1000000 - r);
            for (int n = M.HeadIndex(c, r); n >= 0; n = M.Node(n).next)
                out.push_back(HeightsOnly ? M.Node(n).z
                                          : M.Node(n).z * 1000 + M.Node(n).colour * 2 +
                                                M.Node(n).settled);
        }
    return out;
}

struct CMoveScript {
    const char *Name;
    double Scale, Radius;
    bool Ball;
    std::function<void(CDexelModel &)> Run;
};

// A line as the scene applies it: a stamp at each end and the sweep.
void CutMove(CDexelModel &M, double X1, double Y1, double Z1, double X2, double Y2, double Z2)
{
    M.CutPoint(X1, Y1, Z1);
    M.CutLine(X1, Y1, Z1, X2, Y2, Z2);
    M.CutPoint(X2, Y2, Z2);
}

// The spiral of the speed bench, shortened: chords of an Archimedean
// spiral from the centre out, each cut as the scene applies a line.
void Spiral(CDexelModel &M, int Count, double Turns, double Pitch, double ZStart, double ZEnd)
{
    double px = 70, py = 70, pz = ZStart;
    for (int i = 1; i <= Count; ++i) {
        const double a = Turns * 2 * M_PI * i / Count;
        const double r = Pitch * a / (2 * M_PI);
        const double x = 70 + r * std::cos(a), y = 70 + r * std::sin(a);
        const double z = ZStart + (ZEnd - ZStart) * i / Count;
        CutMove(M, px, py, pz, x, y, z);
        px = x;
        py = y;
        pz = z;
    }
}

// Lines, plunges, rapids and arcs from a fixed pseudo-random sequence.
void Scatter(CDexelModel &M, unsigned Seed, int Count)
{
    unsigned s = Seed;
    auto next = [&](double Low, double High) {
        s = s * 1103515245u + 12345u;
        return Low + (High - Low) * ((s >> 8) & 0xffff) / 65535.0;
    };
    double x = 70, y = 70, z = 15;
    for (int i = 0; i < Count; ++i) {
        const double nx = next(5, 135), ny = next(5, 135);
        const double nz = next(0, 1) < 0.3 ? z : next(8, 21);
        M.Rapid = next(0, 1) < 0.1;
        if (next(0, 1) < 0.2) {
            const double a = next(0, 6.28), b = next(0, 6.28);
            M.CutArc(x, y, nz, next(2, 20), std::cos(a), std::sin(a), std::cos(b), std::sin(b),
                     next(0, 1) < 0.5);
        }
        else
            CutMove(M, x, y, z, nx, ny, nz);
        x = nx;
        y = ny;
        z = nz;
    }
}

// A tool wandering over the billet in short steps, as a pocketing or
// finishing path does: most steps shorter than the tool radius (so they end
// inside the disc they start from), level at whole height units or ramping
// between them, with reversals along the last step, plunges and lifts on
// the spot, arcs and full circles, rapids, and now and then a change of
// tool shape or size. Heights lie between the billet's bottom and just
// above its top.
struct CWander {
    bool SwitchShapes = false;
    double Scale = 2;
};

void Wander(CDexelModel &M, unsigned Seed, int Count, CWander Options)
{
    unsigned s = Seed;
    auto next = [&](double Low, double High) {
        s = s * 1103515245u + 12345u;
        return Low + (High - Low) * ((s >> 8) & 0xffff) / 65535.0;
    };
    // A whole height unit (a grid z), or anywhere between two.
    auto height = [&](double Low, double High) {
        const double z = next(Low, High);
        return next(0, 1) < 0.7 ? std::floor(z * Options.Scale) / Options.Scale : z;
    };
    double x = 70, y = 70, z = 19, px = x, py = y, pz = z;
    for (int i = 0; i < Count; ++i) {
        const double kind = next(0, 1);
        M.Rapid = next(0, 1) < 0.05;
        if (Options.SwitchShapes && next(0, 1) < 0.02) {
            M.SetBallNosed(!M.BallNosed());
            M.SetToolSize(next(1.5, 6));
        }
        double nx = x, ny = y, nz = z;
        if (kind < 0.1) { // back along the last step
            nx = px;
            ny = py;
            nz = pz;
        }
        else if (kind < 0.18) { // plunge or lift on the spot
            nz = height(10, 20.5);
            M.CutPoint(x, y, z);
            M.CutPoint(x, y, nz);
            px = x;
            py = y;
            pz = z;
            z = nz;
            continue;
        }
        else if (kind < 0.26) {
            const double a = next(0, 6.28), b = next(0, 6.28), r = next(0.3, 15);
            const double cx = std::clamp(x - r * std::cos(a), 20.0, 120.0);
            const double cy = std::clamp(y - r * std::sin(a), 20.0, 120.0);
            if (next(0, 1) < 0.2)
                M.CutFullCircle(cx, cy, z, r);
            else
                M.CutArc(cx, cy, z, r, std::cos(a), std::sin(a), std::cos(b), std::sin(b),
                         next(0, 1) < 0.5);
            continue;
        }
        else {
            // A step: short (inside the disc) or long, level or ramping.
            const double a = next(0, 6.28);
            const double l = next(0, 1) < 0.7 ? next(0.02, 5) : next(5, 40);
            nx = std::clamp(x + l * std::cos(a), 2.0, 138.0);
            ny = std::clamp(y + l * std::sin(a), 2.0, 138.0);
            if (next(0, 1) < 0.35)
                nz = height(10, 20.5);
        }
        CutMove(M, x, y, z, nx, ny, nz);
        px = x;
        py = y;
        pz = z;
        x = nx;
        y = ny;
        z = nz;
    }
}

// Level moves far shorter than a cell, as a fine spiral or a finishing
// pass makes them, cut as the scene applies lines: a heading that drifts,
// now and then turns sharply or reverses onto the cells just cut; steps
// down a height unit and back up; rapids; the light moved between moves.
struct CTinySteps {
    double Step = 0.05;      // mm a move
    double Turn = 0.15;      // chance of a sharp turn a move
    double Reverse = 0.03;   // chance of turning back a move
    double Scale = 4;        // height units per mm
    bool MoveLight = false;
};

void TinySteps(CDexelModel &M, unsigned Seed, int Count, CTinySteps Options)
{
    unsigned s = Seed;
    auto next = [&](double Low, double High) {
        s = s * 1103515245u + 12345u;
        return Low + (High - Low) * ((s >> 8) & 0xffff) / 65535.0;
    };
    const double level = std::floor(19 * Options.Scale) / Options.Scale;
    double x = 70, y = 70, z = level, a = 0.3;
    for (int i = 0; i < Count; ++i) {
        const double kind = next(0, 1);
        if (kind < Options.Reverse)
            a += M_PI;
        else if (kind < Options.Reverse + Options.Turn)
            a += next(-2.5, 2.5);
        else
            a += next(-0.05, 0.05);
        M.Rapid = next(0, 1) < 0.03;
        if (Options.MoveLight && next(0, 1) < 0.01)
            M.SetLight(next(-1, 1), next(-1, 1), next(0.2, 1));
        double nz = z;
        if (next(0, 1) < 0.02)
            nz = z == level ? level - 1 / Options.Scale : level;
        double nx = x + Options.Step * std::cos(a), ny = y + Options.Step * std::sin(a);
        if (nx < 40 || nx > 100 || ny < 40 || ny > 100) {
            a += M_PI;
            nx = x;
            ny = y;
        }
        CutMove(M, x, y, z, nx, ny, nz);
        x = nx;
        y = ny;
        z = nz;
    }
}

const CMoveScript Scripts[] = {
    {"spiral_level", 2, 5, false, [](CDexelModel &M) { Spiral(M, 6000, 6, 4, 19, 19); }},
    {"spiral_ramp", 2, 5, false, [](CDexelModel &M) { Spiral(M, 6000, 6, 4, 19, 15); }},
    {"spiral_up_rotated", 2.7, 4, false,
     [](CDexelModel &M) {
         M.SetRotation(-0.9);
         M.BuildBillet(0, 0, 140, 140, 20, 192);
         Spiral(M, 8000, 6, 3, 14, 19);
     }},
    {"spiral_fine", 4, 5, false, [](CDexelModel &M) { Spiral(M, 3000, 3, 4, 19.3, 18.1); }},
    {"spiral_ball", 2, 4, true, [](CDexelModel &M) { Spiral(M, 2000, 3, 3, 18, 16); }},
    // A level floor, grooved by other cuts (ball-nosed, ramp, plunge) and
    // then passed over again at its own height: stamps there must see
    // every cell the other cuts changed.
    {"level_regrooved", 2, 5, false,
     [](CDexelModel &M) {
         Spiral(M, 1500, 3, 4, 19, 19);
         M.SetBallNosed(true);
         M.SetToolSize(2);
         CutMove(M, 55, 70, 18, 85, 70, 18);
         CutMove(M, 70, 55, 19, 70, 85, 19);
         M.SetBallNosed(false);
         CutMove(M, 60, 60, 19, 80, 80, 17);
         M.CutPoint(75, 65, 16);
         M.CutPoint(62, 76, 19.5);
         M.SetToolSize(5);
         Spiral(M, 1500, 3, 4, 19, 19);
     }},
    {"scatter_flat", 1.5, 4, false, [](CDexelModel &M) { Scatter(M, 7, 400); }},
    {"scatter_rotated", 2.5, 3, false,
     [](CDexelModel &M) {
         M.SetRotation(0.7);
         M.BuildBillet(0, 0, 140, 140, 20, 192);
         Scatter(M, 11, 300);
     }},
    {"wander_flat", 2, 4, false, [](CDexelModel &M) { Wander(M, 3, 3000, {false, 2}); }},
    {"wander_ball", 2, 3, true, [](CDexelModel &M) { Wander(M, 5, 1500, {false, 2}); }},
    {"wander_both_shapes", 3, 5, false, [](CDexelModel &M) { Wander(M, 9, 2500, {true, 3}); }},
    {"wander_fine_rotated", 4, 2.5, false,
     [](CDexelModel &M) {
         M.SetRotation(2.2);
         M.BuildBillet(0, 0, 140, 140, 20, 192);
         Wander(M, 13, 2500, {true, 4});
     }},
    // A tool much smaller than a cell, and one near the billet's size.
    {"wander_tiny_tool", 1, 0.3, false, [](CDexelModel &M) { Wander(M, 17, 2000, {false, 1}); }},
    {"wander_huge_tool", 1.5, 30, false, [](CDexelModel &M) { Wander(M, 19, 300, {true, 1.5}); }},
    // Chords of a fifth of a cell and less, as the speed bench cuts them.
    {"spiral_tiny_steps", 4, 5, false, [](CDexelModel &M) { Spiral(M, 8000, 3, 4, 19, 19); }},
    {"spiral_tiny_steps_ramp", 4, 5, false,
     [](CDexelModel &M) { Spiral(M, 6000, 2, 4, 19, 18.25); }},
    {"tiny_steps", 4, 5, false, [](CDexelModel &M) { TinySteps(M, 23, 6000, {}); }},
    {"tiny_steps_reversing", 4, 3, false,
     [](CDexelModel &M) { TinySteps(M, 29, 5000, {0.08, 0.05, 0.2, 4}); }},
    {"tiny_steps_small_tool_light", 4, 1.2, false,
     [](CDexelModel &M) { TinySteps(M, 31, 5000, {0.03, 0.2, 0.05, 4, true}); }},
    {"tiny_steps_rotated", 3, 4, false,
     [](CDexelModel &M) {
         M.SetRotation(0.45);
         M.BuildBillet(0, 0, 140, 140, 20, 192);
         TinySteps(M, 37, 5000, {0.1, 0.1, 0.05, 3, true});
     }},
};

void PrintTo(const CMoveScript &Script, std::ostream *Out) { *Out << Script.Name; }

class DexelFastCutTest : public ::testing::TestWithParam<CMoveScript> {};

// The stamp's shortcut leaves every cell exactly as the full settle and
// wall pass does.
TEST_P(DexelFastCutTest, SameCellsAsTheFullPass)
{
    const CMoveScript &script = GetParam();
    std::vector<int> result[2];
    for (int fast = 0; fast < 2; ++fast) {
        CDexelModel m;
        m.FastCuts = fast == 1;
        m.SetScale(script.Scale);
        m.SetTilt(0.5);
        m.SetRotation(0);
        m.SetLight(0.6, -0.5, 0.4);
        ASSERT_TRUE(m.BuildBillet(0, 0, 140, 140, 20, 192));
        m.SetToolSize(script.Radius);
        m.SetBallNosed(script.Ball);
        script.Run(m);
        EXPECT_FALSE(m.Overflowed());
        result[fast] = CellContents(m);
    }
    ASSERT_EQ(result[0].size(), result[1].size());
    size_t differ = 0;
    while (differ < result[0].size() && result[0][differ] == result[1][differ])
        ++differ;
    EXPECT_EQ(differ, result[0].size()) << "first difference at entry " << differ;
}

INSTANTIATE_TEST_SUITE_P(Scripts, DexelFastCutTest, ::testing::ValuesIn(Scripts),
                         [](const auto &Info) { return std::string(Info.param.Name); });

// A cell's stage goes in as inserting its nodes one by one in order does:
// the same nodes, colours and settled marks, the same rows touched (seen
// through the settle and wall pass afterwards).
// A wall's foot at a height the cell has keeps that node's colour (it is
// still marked as cut, so the settle pass treats it as before); at a new
// height it is a node of its own colour.
TEST(DexelStageTest, AFootKeepsTheColourOfTheNodeThere)
{
    CDexelModel m;
    m.SetScale(1.0);
    m.SetTilt(0.5);
    ASSERT_TRUE(m.BuildBillet(0, 0, 100, 75, 40, 192));
    const int c = 30, r = m.FirstRow(c) + 20;
    m.InsertNode(c, r, 10, 90, true);
    m.CutCell(c, r, 10); // the cell's head is now the node at 10
    m.Overwrite = true;
    m.StageCellNode(c, r, 10, 55, true);
    m.StageCellNode(c, r, 9, 56, true);
    m.FlushCellStage();
    const DexelNode &at10 = m.Node(m.HeadIndex(c, r));
    EXPECT_EQ(at10.z, 10);
    EXPECT_EQ(at10.colour, 90);
    EXPECT_EQ(at10.settled, 0);
    ASSERT_GE(at10.next, 0);
    const DexelNode &at9 = m.Node(at10.next);
    EXPECT_EQ(at9.z, 9);
    EXPECT_EQ(at9.colour, 56);
}

TEST(DexelStageTest, FlushEqualsInsertingInOrder)
{
    struct CStaged {
        int Colour, Z;
        bool Foot = false; // a wall's foot: keeps the colour of a node there
    };
    struct CCase {
        const char *Name;
        std::vector<CStaged> Stage;
        bool Overwrite;
        bool BorderRow = false;
    };
    const std::vector<CStaged> rising = {{30, 8},  {31, 9},  {32, 10}, {33, 11},
                                         {34, 12}, {35, 13}, {36, 20}, {37, 22}};
    const std::vector<CStaged> falling(rising.rbegin(), rising.rend());
    const std::vector<CStaged> twice = {{40, 9},  {41, 10}, {42, 10}, {43, 10},
                                        {44, 12}, {45, 12}, {46, 13}};
    const std::vector<CStaged> twiceFalling(twice.rbegin(), twice.rend());
    // Feet at heights the cell has (10, 12) and has not (9, 13), first,
    // last and alone in a run of one height.
    const std::vector<CStaged> feet = {{40, 9, true},  {41, 10, true}, {42, 10},
                                       {43, 10, true}, {44, 12, true}, {45, 12, true},
                                       {46, 13, true}, {47, 14}};
    const std::vector<CStaged> feetFalling(feet.rbegin(), feet.rend());
    const CCase cases[] = {
        {"rising", rising, false},
        {"rising_overwrite", rising, true},
        {"falling", falling, false},
        {"falling_overwrite", falling, true},
        {"twice", twice, false},
        {"twice_overwrite", twice, true},
        {"twice_falling", twiceFalling, false},
        {"twice_falling_overwrite", twiceFalling, true},
        {"through_the_top", {{50, 38}, {51, 39}, {52, 40}, {53, 41}}, false},
        {"down_from_above_the_top", {{50, 41}, {51, 40}, {52, 39}}, true},
        {"only_above_the_top", {{50, 41}, {51, 41}}, false},
        {"below_the_floor", {{60, -30005}, {61, -30002}, {62, -30000}, {63, -29999}}, false},
        {"below_the_floor_overwrite", {{60, -29999}, {61, -30000}, {62, -30004}}, true},
        {"turning_back", {{70, 10}, {71, 15}, {72, 12}, {73, 12}}, false},
        {"one_node", {{80, 11}}, true},
        {"border_row", rising, true, true},
        {"feet", feet, false},
        {"feet_overwrite", feet, true},
        {"feet_falling", feetFalling, false},
        {"feet_falling_overwrite", feetFalling, true},
        {"one_foot_overwrite", {{80, 10, true}}, true},
    };
    for (const CCase &k : cases)
        for (bool deep : {false, true}) {
            SCOPED_TRACE(std::string(k.Name) + (deep ? " deep" : ""));
            std::vector<int> result[2][2];
            for (int staged = 0; staged < 2; ++staged) {
                CDexelModel m;
                m.SetScale(1.0);
                m.SetTilt(0.5);
                ASSERT_TRUE(m.BuildBillet(0, 0, 100, 75, 40, 192));
                const int c = 30, mid = m.FirstRow(c) + 20;
                const int r = k.BorderRow ? m.FirstRow(c) : mid;
                // A cell settled at height 10 (its rows untouched since); deep,
                // its neighbours are then cut far below it, so that the wall
                // pass levels it down to its lowest node.
                for (int z : {10, 12, 20})
                    m.InsertNode(c, mid, z, 90, true);
                m.ColumnFill(c);
                if (deep) {
                    m.InsertNode(c, mid - 1, -20, 91, true);
                    m.InsertNode(c, mid + 1, -20, 91, true);
                }
                m.Overwrite = k.Overwrite;
                for (const CStaged &n : k.Stage) {
                    if (staged)
                        m.StageCellNode(c, r, n.Z, n.Colour, n.Foot);
                    else
                        m.InsertNode(c, r, n.Z, n.Colour, false, n.Foot);
                }
                m.FlushCellStage();
                result[staged][0] = CellContents(m);
                m.ColumnFill(c);
                result[staged][1] = CellContents(m);
                EXPECT_FALSE(m.Overflowed());
            }
            EXPECT_EQ(result[0][0], result[1][0]);
            EXPECT_EQ(result[0][1], result[1][1]);
        }
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// A rapid move cuts exactly as a feed move, every surface it leaves red.
TEST_F(DexelModelTest, RapidsLeaveTheirSurfacesRed)
{
    for (bool ball : {false, true}) {
        SCOPED_TRACE(ball ? "ball" : "flat");
        SetUp();
        M.SetToolRadiusPixels(5);
        M.SetBallNosed(ball);
        M.Rapid = true;
        M.CutPoint(20, 30, 30);
        M.CutLine(20, 30, 30, 80, 30, 30);
        M.CutPoint(80, 30, 30);
        M.Rapid = false;
        int walls = 0;
        for (int x = 22; x <= 78; ++x) {
            const CGridPoint g = M.ToGrid(x + 0.5, 30.5, 0);
            const int c = static_cast<int>(g.x), r = static_cast<int>(g.y);
            SCOPED_TRACE(x);
            EXPECT_EQ(M.SurfaceZ(c, r), 30);
            EXPECT_EQ(M.Node(M.HeadIndex(c, r)).colour, RapidColour);
            // Up the column to the uncut top: every node the cut made is red.
            for (int rr = r; M.SurfaceZ(c, rr) < 40; ++rr)
                for (int n = M.HeadIndex(c, rr); n >= 0; n = M.Node(n).next, ++walls)
                    EXPECT_EQ(M.Node(n).colour, RapidColour) << "row " << rr;
        }
        EXPECT_GT(walls, 100);
    }
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// Cutting only takes material away. A case is a run of cuts on a 100 x 75 x
// 20 billet at 2 pixels per mm (programmed heights on whole pixels), tool
// radius 5 mm; after every cut no cell stands higher than before it, and a
// cut marked Again (one already made, so the tool passes through air)
// leaves every node's height as it was (a sweep may shade them anew).
struct CRiseStep {
    std::function<void(CDexelModel &)> Cut;
    bool Again = false;
};

struct CRiseCase {
    const char *Name;
    std::vector<CRiseStep> Steps;
};

std::vector<int> Heads(const CDexelModel &M)
{
    std::vector<int> out;
    for (int c = 0; c < M.ColumnCount(); ++c)
        for (int r = M.FirstRow(c) + 1; r < M.LastRow(c); ++r)
            out.push_back(M.SurfaceZ(c, r));
    return out;
}

CRiseStep Stamp(double X, double Y, double Z, bool Again = false)
{
    return {[=](CDexelModel &M) { M.CutPoint(X, Y, Z); }, Again};
}

CRiseStep Move(double X1, double Y1, double Z1, double X2, double Y2, double Z2,
               bool Again = false)
{
    return {[=](CDexelModel &M) { CutMove(M, X1, Y1, Z1, X2, Y2, Z2); }, Again};
}

// A stamp far from the others: the next stamp is not the same as the last.
const CRiseStep Elsewhere = Stamp(85, 60, 15);

const CRiseCase RiseCases[] = {
    {"stamp_twice", {Stamp(40, 30.3, 12), Elsewhere, Stamp(40, 30.3, 12, true)}},
    {"stamp_three_times",
     {Stamp(33.7, 41.2, 8), Elsewhere, Stamp(33.7, 41.2, 8, true), Stamp(20, 20, 15),
      Stamp(33.7, 41.2, 8, true)}},
    {"stamp_sweep_stamp",
     {Stamp(20, 30, 12),
      {[](CDexelModel &M) { M.CutLine(20, 30, 12, 60, 30, 12); }},
      Stamp(60, 30, 12), Stamp(20, 30, 12, true), Stamp(60, 30, 12, true)}},
    {"level_line_twice", {Move(15, 25, 10, 70, 45, 10), Move(15, 25, 10, 70, 45, 10, true)}},
    {"level_line_back", {Move(15, 25, 10, 70, 45, 10), Move(70, 45, 10, 15, 25, 10, true)}},
    {"ramp_twice_then_stamps",
     {Move(15, 35, 18, 80, 35, 8), Move(15, 35, 18, 80, 35, 8, true),
      Stamp(15, 35, 18, true), Stamp(80, 35, 8, true)}},
    {"ramp_then_level_over_it",
     {Move(15, 35, 18, 80, 35, 8), Move(15, 35, 14, 80, 35, 14), Stamp(47, 35, 13)}},
    {"arc_twice",
     {{[](CDexelModel &M) { M.CutArc(50, 35, 10, 20, 1, 0, -1, 0, false); }},
      {[](CDexelModel &M) { M.CutArc(50, 35, 10, 20, 1, 0, -1, 0, false); }, true}}},
    {"deeper_then_shallower",
     {Stamp(50, 35, 6), Stamp(53, 36, 12), Move(40, 35, 14, 60, 35, 14), Stamp(50, 35, 6)}},
};

void PrintTo(const CRiseCase &Case, std::ostream *Out) { *Out << Case.Name; }

class DexelNoRiseTest : public ::testing::TestWithParam<CRiseCase> {};

TEST_P(DexelNoRiseTest, NoCutRaisesACell)
{
    const CRiseCase &k = GetParam();
    for (bool ball : {false, true})
        for (double rotation : {0.0, 0.7})
            for (bool fast : {true, false}) {
                SCOPED_TRACE(std::string(ball ? "ball" : "flat") + " rotation " +
                             std::to_string(rotation) + (fast ? " fast" : " full"));
                CDexelModel m;
                m.FastCuts = fast;
                m.SetScale(2.0);
                m.SetTilt(0.5);
                m.SetRotation(rotation);
                m.SetLight(0.6, -0.5, 0.4);
                ASSERT_TRUE(m.BuildBillet(0, 0, 100, 75, 20, 192));
                m.SetToolSize(5);
                m.SetBallNosed(ball);
                for (size_t s = 0; s < k.Steps.size(); ++s) {
                    SCOPED_TRACE("step " + std::to_string(s));
                    const std::vector<int> heads = Heads(m);
                    const std::vector<int> cells = CellContents(m, true);
                    k.Steps[s].Cut(m);
                    const std::vector<int> after = Heads(m);
                    int risen = 0;
                    for (size_t i = 0; i < heads.size(); ++i)
                        risen += after[i] > heads[i];
                    EXPECT_EQ(risen, 0) << "cells standing higher than before the cut";
                    if (k.Steps[s].Again) {
                        EXPECT_TRUE(CellContents(m, true) == cells) << "a repeated cut changed heights";
                    }
                }
            }
}

INSTANTIATE_TEST_SUITE_P(Cuts, DexelNoRiseTest, ::testing::ValuesIn(RiseCases),
                         [](const auto &Info) { return std::string(Info.param.Name); });

} // namespace
} // namespace orv
