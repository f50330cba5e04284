// The expansion stages together with the real parser, metric and absolute
// stages and move calculator, wired as the engine form wires them.
#include "engine/expand/tests/CycleExpandRig.h"
#include "engine/expand/tests/ExpandChain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace orv {
namespace {

using test::TExpandChain;
using test::TProgramFolderScope;

std::vector<TCNC_data> OfLine(const std::vector<TCNC_data> &Records, int Line)
{
    std::vector<TCNC_data> Out;
    for (const auto &Record : Records)
        if (Record.LineNumber == Line)
            Out.push_back(Record);
    return Out;
}

TEST(CutterCompChain, G42ContourWithAnArcAndDrilledHoles)
{
    TProgramFolderScope Folder(ORV_DATA_DIR);
    TExpandChain Chain({
        "G21 G90 G17",               // 1
        "G40 G80 G00 X-20 Y0 Z5",    // 2
        "G01 Z-2 F200",              // 3
        "G42 G01 X0 Y0",             // 4
        "X0 Y40",                    // 5
        "G02 X40 Y40 R20",           // 6
        "G01 X40 Y0",                // 7
        "G40 G00 X60 Y0",            // 8
        "G00 Z20",                   // 9
        "G99 G81 X10 Y10 Z-5 R2 F80", // 10
        "X20",                       // 11
        "G80",                       // 12
        "M30",                       // 13
    });
    const auto Records = Chain.RunAll();
    for (const auto &Error : Chain.Errors)
        ADD_FAILURE() << Error.Stage << " line " << Error.Line << ": " << Error.Detail << " : "
                      << Error.Message;
    // Right of the contour: the lead-in ends on the first side's offset.
    const auto LeadIn = OfLine(Records, 4);
    ASSERT_EQ(LeadIn.size(), 1u);
    EXPECT_EQ(LeadIn[0].Motion, 1);
    EXPECT_NEAR(LeadIn[0].X, 5, 1e-6);
    EXPECT_NEAR(LeadIn[0].Y, 0, 1e-6);
    // G42 runs inside the clockwise arc: radius 15, centre unchanged.
    const auto Arc = OfLine(Records, 6);
    ASSERT_EQ(Arc.size(), 1u);
    EXPECT_EQ(Arc[0].Motion, 2);
    EXPECT_NEAR(static_cast<double>(Arc[0].Radius), 15, 1e-6);
    // (A half circle by R: the absolute stage puts the centre 0.002 mm off
    // the chord, its guard against a root of a negative number.)
    EXPECT_NEAR(Arc[0].I, 20, 1e-6);
    EXPECT_NEAR(Arc[0].J, 40, 0.01);
    EXPECT_NEAR(Arc[0].X, 35, 1e-6);
    EXPECT_NEAR(Arc[0].Y, 40, 0.01);
    // Two holes, each rapid in, feed down, rapid out to R.
    const auto First = OfLine(Records, 10), Second = OfLine(Records, 11);
    ASSERT_EQ(First.size(), 3u);
    ASSERT_EQ(Second.size(), 3u);
    EXPECT_EQ(First[1].Motion, 1);
    EXPECT_DOUBLE_EQ(First[1].Z, -5);
    EXPECT_DOUBLE_EQ(Second[0].X, 20);
    EXPECT_DOUBLE_EQ(Second[2].Z, 2);
    EXPECT_EQ(Records.back().MCode, 30);
}

TEST(CutterCompChain, ExpandedArcsAndAContourLeftOpenAtProgramEnd)
{
    TExpandChain Chain({
        "G00 X-10 Y0 Z0",
        "G41 G01 X0 Y0 F100",
        "G03 X0 Y0 I10 J0",
        "M30",
    });
    Chain.Circular.ExpandArcs = true;
    Chain.Circular.MinimumChordLength = 1;
    const auto Records = Chain.RunAll();
    EXPECT_TRUE(Chain.Errors.empty());
    const auto Circle = OfLine(Records, 3);
    // 62.8 mm of circle: 62 chords, 63 points and the end. Chords reach
    // compensation as straight moves (arcs are expanded below it), so the
    // tool runs inside on the offset polygon, 5 mm in from the chords.
    ASSERT_EQ(Circle.size(), 64u);
    for (size_t Index = 1; Index < Circle.size(); ++Index) {
        EXPECT_EQ(Circle[Index].Motion, 1);
        EXPECT_NEAR(std::hypot(Circle[Index].X - 10, Circle[Index].Y), 5, 0.02);
    }
    EXPECT_EQ(Records.back().MCode, 30);
}

// Compensation works in the plane in use: G18 offsets in X and Z, G19 in Y
// and Z, with left and right seen from the positive end of the plane's
// normal (+Z, +Y, +X), and the axis along the normal is never offset. The
// same contour in each plane: lead-in to (10, 10), along the first axis to
// 50, down the second to 0, out with G40 to (60, -10). Tool of 6.35 mm:
// one side runs at 10 - 3.175 and turns an outside corner (the crossing
// lies 3.175 x tan 22.5 below 0), the other at 10 + 3.175 with an inside
// corner.
TEST(CutterCompChain, CompensationOffsetsInThePlaneInUse)
{
    struct TPlaneCase {
        const char *Plane, *Side;
        char First, Second;
        int Normal; // axis index (X 0, Y 1, Z 2) along the plane's normal
        bool Lower;
    };
    const TPlaneCase Cases[] = {
        {"G17", "G42", 'X', 'Y', 2, true}, {"G17", "G41", 'X', 'Y', 2, false},
        {"G18", "G41", 'X', 'Z', 1, true}, {"G18", "G42", 'X', 'Z', 1, false},
        {"G19", "G42", 'Y', 'Z', 0, true}, {"G19", "G41", 'Y', 'Z', 0, false},
    };
    const double R = 3.175, Corner = R * std::tan(std::numbers::pi / 8);
    for (const TPlaneCase &C : Cases) {
        SCOPED_TRACE(std::string(C.Plane) + " " + C.Side);
        const std::string F(1, C.First), S(1, C.Second);
        TExpandChain Chain({
            "G21 G90 G17 G00 X0 Y0 Z20",                           // 1
            std::string(C.Plane) + " G00 " + F + "0 " + S + "20",  // 2
            std::string(C.Side) + " G01 " + F + "10 " + S + "10 F100", // 3
            "G01 " + F + "50",                                     // 4
            "G01 " + S + "0",                                      // 5
            "G40 G01 " + F + "60 " + S + "-10",                    // 6
            "M30",                                                 // 7
        }, 6.35);
        const auto Records = Chain.RunAll();
        EXPECT_TRUE(Chain.Errors.empty());
        const double Offset = C.Lower ? -R : R;
        const double Expected[4][2] = {{10, 10 + Offset},
                                       {50 + Offset, 10 + Offset},
                                       {50 + Offset, C.Lower ? -Corner : Corner},
                                       {60, -10}};
        const int FirstAxis = C.First - 'X', SecondAxis = C.Second - 'X';
        for (int Line = 3; Line <= 6; ++Line) {
            SCOPED_TRACE("line " + std::to_string(Line));
            const auto Moves = OfLine(Records, Line);
            ASSERT_EQ(Moves.size(), 1u);
            const double At[3] = {Moves[0].X, Moves[0].Y, Moves[0].Z};
            EXPECT_NEAR(At[FirstAxis], Expected[Line - 3][0], 1e-4);
            EXPECT_NEAR(At[SecondAxis], Expected[Line - 3][1], 1e-4);
            EXPECT_EQ(At[C.Normal], NoValue) << "no move along the normal";
            EXPECT_EQ(Moves[0].Motion, 1);
        }
    }
}

} // namespace
} // namespace orv
