#include "engine/expand/tests/CutterCompRig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orv {
namespace {

using test::TCompRig;

struct TExpectedMove {
    int Line;
    double X, Y;
};

void ExpectMoves(const std::vector<TCNC_Groups> &Out, const std::vector<TExpectedMove> &Expected)
{
    ASSERT_EQ(Out.size(), Expected.size());
    for (size_t Index = 0; Index < Out.size(); ++Index) {
        SCOPED_TRACE("block " + std::to_string(Index));
        EXPECT_EQ(Out[Index].LineNumber, Expected[Index].Line);
        EXPECT_NEAR(WordValue(Out[Index], wX), Expected[Index].X, 1e-6);
        EXPECT_NEAR(WordValue(Out[Index], wY), Expected[Index].Y, 1e-6);
    }
}

// A square of 50 with a tool of diameter 10 under G41, lead-in along the
// first side's extension, lead-out by G40: every corner, inside or outside,
// is one block at the crossing of the offset lines.
TEST(CutterComp, SquareContourUnderG41)
{
    struct TCase {
        const char *Name;
        double Corners[4][2];
        double StartX, StartY;
        std::vector<TExpectedMove> Expected;
    };
    const TCase Cases[] = {
        {"clockwise: the tool runs outside",
         {{0, 50}, {50, 50}, {50, 0}, {0, 0}},
         -20, 0,
         {{1, -20, 0}, {2, -5, 0}, {3, -5, 55}, {4, 55, 55}, {5, 55, -5}, {6, 0, -5}, {7, -20, 0}}},
        {"counter-clockwise: the tool runs inside",
         {{50, 0}, {50, 50}, {0, 50}, {0, 0}},
         0, -20,
         {{1, 0, -20}, {2, 0, 5}, {3, 45, 5}, {4, 45, 45}, {5, 5, 45}, {6, 5, 0}, {7, 0, -20}}},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TCompRig Rig;
        Rig.Feed.Block().Move(0, Case.StartX, Case.StartY);
        Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 0).F(100);
        for (const auto &Corner : Case.Corners)
            Rig.Feed.Block().Move(1, Corner[0], Corner[1]);
        Rig.Feed.Block().G(gCutterComp, 40).Move(0, Case.StartX, Case.StartY);
        const auto Out = Rig.Run();
        ExpectMoves(Out, Case.Expected);
        EXPECT_TRUE(Rig.Errors.Reports.empty());
        EXPECT_DOUBLE_EQ(Rig.Comp.CompensationAmount, 5);
        for (size_t Index = 1; Index + 1 < Out.size(); ++Index)
            EXPECT_EQ(Out[Index].Groups[gMotion], 1);
        EXPECT_EQ(Out.back().Groups[gMotion], 0); // the G40 block is not compensated
    }
}

// G42 is the mirror image: the clockwise square with the tool inside.
TEST(CutterComp, SquareContourUnderG42)
{
    TCompRig Rig;
    Rig.Feed.Block().Move(0, -20, 0);
    Rig.Feed.Block().G(gCutterComp, 42).Move(1, 0, 0).F(100);
    Rig.Feed.Block().Move(1, 0, 50);
    Rig.Feed.Block().Move(1, 50, 50);
    Rig.Feed.Block().G(gCutterComp, 40).Move(1, 50, 70);
    // The turn up into the G40 line is outside for G42: one block to the crossing.
    ExpectMoves(Rig.Run(), {{1, -20, 0}, {2, 5, 0}, {3, 5, 45}, {4, 55, 45}, {5, 50, 70}});
}

TEST(CutterComp, OutsideTurnOf120DegreesGetsTwoCornerMoves)
{
    TCompRig Rig;
    const double Rad = 120.0 * 3.14159265358979323846 / 180;
    Rig.Feed.Block().Move(0, -20, 0);
    Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 0).F(100);
    Rig.Feed.Block().Move(1, 50, 0);
    // The third side turns right by 120 degrees at (50, 0).
    Rig.Feed.Block().Move(1, 50 + 50 * std::cos(-Rad), 50 * std::sin(-Rad));
    Rig.Feed.Block().G(gCutterComp, 40).Move(1, 0, -60);
    const auto Out = Rig.Run();
    ASSERT_EQ(Out.size(), 6u);
    // 5 beyond the corner along the first side's offset line...
    EXPECT_EQ(Out[2].LineNumber, 3);
    EXPECT_NEAR(WordValue(Out[2], wX), 55, 1e-9);
    EXPECT_NEAR(WordValue(Out[2], wY), 5, 1e-9);
    EXPECT_TRUE(Out[2].GeneratedMark);
    EXPECT_EQ(Out[2].GeneratedText, "G1 X55.000 Y5.000 ");
    // ...and 5 before the corner along the second side's offset line.
    EXPECT_EQ(Out[3].LineNumber, 3);
    EXPECT_NEAR(WordValue(Out[3], wX), 50 + 5 * std::sin(Rad) + 5 * 0.5, 1e-9);
    EXPECT_NEAR(WordValue(Out[3], wY), -2.5 + 5 * std::sin(Rad), 1e-9);
    EXPECT_FALSE(Out[3].GeneratedMark);
    EXPECT_EQ(Out[3].GeneratedText, "G1 X56.830 Y1.830 ");
}

struct TArcCase {
    const char *Name;
    int Motion;
    double EndX, CentreX, Sweep;
    double Radius; // expected offset radius
    double OffsetEndX;
};

// A lead-in up +Y to (0, 20), a half circle of radius 20 tangent to it, a
// line down, G40. Under G41 the clockwise arc is outside (radius 25), the
// counter-clockwise one inside (radius 15); centre and sweep stay.
TEST(CutterComp, ArcRadiusGrowsOrShrinksByTheToolRadius)
{
    const TArcCase Cases[] = {
        {"clockwise", 2, 40, 20, 180, 25, 45},
        {"counter-clockwise", 3, -40, -20, -180, 15, -35},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TCompRig Rig;
        Rig.Feed.Block().Move(0, 0, -20);
        Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 20).F(100);
        Rig.Feed.Block().Arc(Case.Motion, Case.EndX, 20, Case.CentreX, 20, Case.Sweep, 20);
        Rig.Feed.Block().Move(1, Case.EndX, 0);
        Rig.Feed.Block().G(gCutterComp, 40).Move(0, Case.EndX, -20);
        const auto Out = Rig.Run();
        ASSERT_EQ(Out.size(), 5u);
        EXPECT_NEAR(WordValue(Out[1], wX), -5, 1e-9); // tangent: the offset line meets the circle
        EXPECT_NEAR(WordValue(Out[1], wY), 20, 1e-9);
        const auto &Arc = Out[2];
        EXPECT_EQ(Arc.Groups[gMotion], Case.Motion);
        EXPECT_DOUBLE_EQ(WordValue(Arc, wRadius), Case.Radius);
        EXPECT_DOUBLE_EQ(WordValue(Arc, wI), Case.CentreX);
        EXPECT_DOUBLE_EQ(WordValue(Arc, wJ), 20);
        EXPECT_DOUBLE_EQ(WordValue(Arc, wSweep), Case.Sweep);
        EXPECT_NEAR(WordValue(Arc, wX), Case.OffsetEndX, 1e-9);
        EXPECT_NEAR(WordValue(Arc, wY), 20, 1e-9);
        EXPECT_FALSE(Arc.GeneratedMark);
        EXPECT_NEAR(WordValue(Out[3], wX), Case.OffsetEndX, 1e-9);
        EXPECT_TRUE(Rig.Errors.Reports.empty());
    }
}

TEST(CutterComp, CompensatedRapidLeavesAsFeedMove)
{
    TCompRig Rig;
    Rig.Feed.Block().Move(0, -20, 0);
    Rig.Feed.Block().G(gCutterComp, 41).Move(0, 0, 0);
    Rig.Feed.Block().Move(0, 50, 0);
    Rig.Feed.Block().G(gCutterComp, 40).Move(0, 70, 0);
    const auto Out = Rig.Run();
    ASSERT_EQ(Out.size(), 4u);
    for (int Index : {1, 2}) {
        EXPECT_EQ(Out[Index].Groups[gMotion], 1);
        EXPECT_TRUE(Out[Index].WordSet[wG]);
        EXPECT_EQ(Out[Index].Words[wG], 1);
    }
    EXPECT_EQ(Out[3].Groups[gMotion], 0);
}

// The errors carry the line of the block that caused them, whatever the
// look-ahead size.
TEST(CutterCompErrors, MessagesCarryTheBlocksLine)
{
    struct TCase {
        const char *Name;
        double Diameter;
        bool WithTooling;
        bool ArcSwitch;
        int Line;
        const char *Message;
    };
    const TCase Cases[] = {
        {"G41 on an arc", 10, true, true, 3, "Cannot Start or End with an Arc"},
        {"tool of diameter 0", 0, true, false, 3, "Offset value can not be zero"},
        {"no usable tool (diameter -1)", -1, true, false, 3, "Offset value can not be zero"},
        {"no tooling at all", 10, false, false, 3, "Offset value can not be zero"},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TCompRig Rig(Case.Diameter, 7);
        if (!Case.WithTooling)
            Rig.Comp.Tooling = nullptr;
        Rig.Feed.Block().Move(0, -20, 0);
        Rig.Feed.Block().Move(1, -10, 0).F(100);
        if (Case.ArcSwitch)
            Rig.Feed.Block().G(gCutterComp, 41).Arc(2, 10, 0, 0, 0, 180, 10);
        else
            Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 0);
        Rig.Feed.Block().Move(1, 0, 50);
        Rig.Feed.Block().G(gCutterComp, 40).Move(1, 0, 70);
        Rig.Run();
        ASSERT_FALSE(Rig.Errors.Reports.empty());
        if (Case.ArcSwitch) {
            EXPECT_EQ(Rig.Errors.Reports.size(), 1u); // the arc says it all
        }
        EXPECT_EQ(Rig.Errors.Reports[0].Line, Case.Line);
        EXPECT_EQ(Rig.Errors.Reports[0].Detail, "Compensation Error");
        EXPECT_EQ(Rig.Errors.Reports[0].Message, Case.Message);
    }
}

// Compensation that starts on an arc has no straight move to step onto the
// offset with.
TEST(CutterCompErrors, StartingOnAnArcHasNoMovementToStartWith)
{
    TCompRig Rig;
    Rig.Feed.Block().Move(0, -10, 0);
    Rig.Feed.Block().G(gCutterComp, 41); // G41 alone, no movement
    Rig.Feed.Block().Arc(2, 10, 0, 0, 0, 180, 10).F(100);
    Rig.Feed.Block().G(gCutterComp, 40).Move(1, 20, 0);
    Rig.Run();
    ASSERT_EQ(Rig.Errors.Reports.size(), 1u);
    EXPECT_EQ(Rig.Errors.Reports[0].Line, 3);
    EXPECT_EQ(Rig.Errors.Reports[0].Message, "No Movement to start Compensation with");
}

// The usual ways of leaving compensation raise nothing: G40 with a move
// followed by a Z retract, and G40 alone.
TEST(CutterCompErrors, LeavingCompensationTheUsualWaysIsNoError)
{
    for (bool G40Alone : {false, true}) {
        SCOPED_TRACE(G40Alone ? "G40 alone" : "G40 with a move");
        TCompRig Rig;
        Rig.Feed.Block().Move(0, -20, 0);
        Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 0).F(100);
        Rig.Feed.Block().Move(1, 50, 0);
        if (G40Alone)
            Rig.Feed.Block().G(gCutterComp, 40);
        else
            Rig.Feed.Block().G(gCutterComp, 40).Move(0, 70, 0);
        Rig.Feed.Block().G(gMotion, 0).Z(50);
        Rig.Feed.Block().W(wM, 30).G(gMCode, 30);
        const auto Out = Rig.Run();
        EXPECT_TRUE(Rig.Errors.Reports.empty());
        ASSERT_EQ(Out.size(), 6u);
        EXPECT_NEAR(WordValue(Out[2], wY), 5, 1e-9);
    }
}

TEST(CutterCompJoin, StraightBeforeAnArcIsJoinedToTheArcOnce)
{
    TCompRig Rig;
    Rig.Feed.Block().Move(0, 0, -20);
    Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 20).F(100);
    Rig.Feed.Block().Arc(2, 40, 20, 20, 20, 180, 20);
    Rig.Feed.Block().G(gCutterComp, 40).Move(1, 40, 0);
    const auto Out = Rig.Run();
    ASSERT_EQ(Out.size(), 4u);
    EXPECT_EQ(Out[1].LineNumber, 2);
    EXPECT_NEAR(WordValue(Out[1], wX), -5, 1e-9);
    EXPECT_EQ(Out[2].LineNumber, 3);
}

// With nothing to join to in the whole window the block is held back, as
// the machine cannot know where its offset end lies.
TEST(CutterCompJoin, BlockWithNothingToJoinInTheWindowIsNotEmitted)
{
    TCompRig Rig(10, 3);
    Rig.Feed.Block().Move(0, -20, 0);
    Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 0).F(100);
    Rig.Feed.Block().Z(-1);
    Rig.Feed.Block().Z(-2);
    Rig.Feed.Block().Z(-3);
    Rig.Feed.Block().Move(1, 50, 0);
    Rig.Feed.Block().G(gCutterComp, 40).Move(1, 70, 0);
    const auto Out = Rig.Run();
    std::vector<int> Lines;
    for (const auto &Block : Out)
        Lines.push_back(Block.LineNumber);
    EXPECT_EQ(Lines, (std::vector<int>{1, 3, 4, 5, 6, 7}));
}

// A program that ends without G40: the blocks still in the window are
// emitted, each ending on its own offset line.
TEST(CutterCompJoin, BlocksInTheWindowAtProgramEndAreEmitted)
{
    for (bool EndOnArc : {false, true}) {
        SCOPED_TRACE(EndOnArc ? "ends on an arc" : "ends on a line");
        TCompRig Rig;
        Rig.Feed.Block().Move(0, -20, 0);
        Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 0).F(100);
        Rig.Feed.Block().Move(1, 50, 0);
        if (EndOnArc)
            Rig.Feed.Block().Arc(3, 50, 20, 50, 10, -180, 10);
        Rig.Feed.Block().W(wM, 30).G(gMCode, 30);
        const auto Out = Rig.Run();
        ASSERT_EQ(Out.size(), EndOnArc ? 5u : 4u);
        EXPECT_NEAR(WordValue(Out[2], wX), 50, 1e-9);
        EXPECT_NEAR(WordValue(Out[2], wY), 5, 1e-9);
        if (EndOnArc) {
            EXPECT_EQ(Out[3].LineNumber, 4);
            EXPECT_NEAR(WordValue(Out[3], wY), 15, 1e-9); // inside the arc: radius 5
            EXPECT_DOUBLE_EQ(WordValue(Out[3], wRadius), 5);
        }
        EXPECT_EQ(Out.back().Words[wM], 30);
    }
}

TEST(CutterCompJoin, MovesWithoutXYTravelKeepTheOffsetPosition)
{
    TCompRig Rig;
    Rig.Feed.Block().Move(0, -20, 0);
    Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 0).F(100);
    Rig.Feed.Block().Z(-5);                 // no XY word
    Rig.Feed.Block().Move(1, 0, 0).Z(-6);   // XY words equal to the position
    Rig.Feed.Block().Move(1, 50, 0);
    Rig.Feed.Block().G(gCutterComp, 40).Move(1, 70, 0);
    const auto Out = Rig.Run();
    ASSERT_EQ(Out.size(), 6u);
    for (int Index : {1, 2, 3}) {
        SCOPED_TRACE(Index);
        EXPECT_NEAR(WordValue(Out[Index], wX), 0, 1e-9);
        EXPECT_NEAR(WordValue(Out[Index], wY), 5, 1e-9);
    }
}

// A straight move into an arc that turns away from the offset side: the
// offset line and the arc's start tangent cross beyond the corner (kind 2),
// or the corner is sharper than a right angle and is rounded by inserted
// moves that end on the arc's offset start (kind 3).
TEST(CutterCompJoin, StraightIntoArcAtAnOutsideCorner)
{
    const double Root = std::sqrt(0.5);
    struct TCase {
        const char *Name;
        double CentreX, CentreY, EndX, EndY;
        std::vector<TExpectedMove> Corner; // blocks of line 2
    };
    const TCase Cases[] = {
        {"right angle: tangent crossing", -20, 0, -20, -20, {{2, 5, 5}, {2, 5, 0}}},
        {"135 degrees: rounded",
         -20 * Root, 20 * Root, -20 * Root - 20 * Root, 20 * Root - 20 * Root,
         {{2, 5, 5}, {2, 5 * Root + 5 * Root, 0}, {2, 5 * Root, -5 * Root}}},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TCompRig Rig;
        Rig.Feed.Block().Move(0, -30, 0);
        Rig.Feed.Block().G(gCutterComp, 41).Move(1, -20, 0).F(100);
        Rig.Feed.Block().Move(1, 0, 0);
        Rig.Feed.Block().Arc(2, Case.EndX, Case.EndY, Case.CentreX, Case.CentreY, 90, 20);
        Rig.Feed.Block().G(gCutterComp, 40).Move(1, Case.EndX - 20, Case.EndY - 20);
        const auto Out = Rig.Run();
        std::vector<TCNC_Groups> Corner;
        const TCNC_Groups *Arc = nullptr;
        for (const auto &Block : Out) {
            if (Block.LineNumber == 3)
                Corner.push_back(Block);
            if (Block.LineNumber == 4)
                Arc = &Block;
        }
        std::vector<TExpectedMove> Expected = Case.Corner;
        for (auto &Move : Expected)
            Move.Line = 3;
        ExpectMoves(Corner, Expected);
        ASSERT_EQ(Corner.size(), Case.Corner.size());
        // The first inserted move of a corner carries mark 1: the tangent
        // crossing is the block's own end, the rounding starts the corner.
        const bool Rounded = Case.Corner.size() == 3;
        EXPECT_EQ(Corner[0].GeneratedMark, Rounded);
        EXPECT_EQ(Corner[1].GeneratedMark, !Rounded);
        // The arc itself runs outside at radius 25.
        ASSERT_NE(Arc, nullptr);
        EXPECT_DOUBLE_EQ(WordValue(*Arc, wRadius), 25);
        EXPECT_NEAR(std::hypot(WordValue(*Arc, wX) - Case.CentreX,
                               WordValue(*Arc, wY) - Case.CentreY),
                    25, 1e-9);
    }
}

// An S-curve of two tangent arcs: the offset circles touch at the joint.
TEST(CutterCompJoin, TangentArcsMeetOnTheirOffsetCircles)
{
    TCompRig Rig;
    Rig.Feed.Block().Move(0, -10, 30);
    Rig.Feed.Block().G(gCutterComp, 41).Move(1, -10, 10).F(100);
    Rig.Feed.Block().Arc(3, 0, 0, 0, 10, -90, 10);
    Rig.Feed.Block().Arc(2, 10, -10, 0, -10, 90, 10);
    Rig.Feed.Block().G(gCutterComp, 40).Move(1, 10, -30);
    const auto Out = Rig.Run();
    ExpectMoves(Out, {{1, -10, 30}, {2, -5, 10}, {3, 0, 5}, {4, 15, -10}, {5, 10, -30}});
    EXPECT_DOUBLE_EQ(WordValue(Out[2], wRadius), 5);
    EXPECT_DOUBLE_EQ(WordValue(Out[3], wRadius), 15);
    EXPECT_TRUE(Rig.Errors.Reports.empty());
}

// Two clockwise arcs meeting at a right-angle outside corner: the offset
// tangents at the arcs' offset end and start cross, and one corner move
// (template: the next arc's block) goes there.
TEST(CutterCompJoin, ArcsMeetingAtAnOutsideCornerJoinThroughTheTangentCrossing)
{
    TCompRig Rig;
    Rig.Feed.Block().Move(0, -10, -20);
    Rig.Feed.Block().G(gCutterComp, 41).Move(1, -10, -10).F(100);
    Rig.Feed.Block().Arc(2, 0, 0, 0, -10, 90, 10);
    Rig.Feed.Block().Arc(2, -10, -10, -10, 0, 90, 10);
    Rig.Feed.Block().G(gCutterComp, 40).Move(1, -30, -10);
    const auto Out = Rig.Run();
    ExpectMoves(Out, {{1, -10, -20}, {2, -15, -10}, {3, 0, 5}, {4, 5, 5}, {4, -10, -15},
                      {5, -30, -10}});
    EXPECT_DOUBLE_EQ(WordValue(Out[2], wRadius), 15);
    EXPECT_EQ(Out[3].Groups[gMotion], 1);
    EXPECT_TRUE(Out[3].GeneratedMark);
    EXPECT_EQ(Out[3].GeneratedText, "G1 X5.000 Y5.000 ");
    EXPECT_DOUBLE_EQ(WordValue(Out[4], wRadius), 15);
    EXPECT_EQ(Out[4].Groups[gMotion], 2);
}

} // namespace
} // namespace orv
