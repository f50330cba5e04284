#include "engine/expand/tests/CutterCompRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace orv {
namespace {

using test::TCompRig;

std::map<int, TCNC_Groups> ByLine(const std::vector<TCNC_Groups> &Out)
{
    std::map<int, TCNC_Groups> Lines;
    for (const auto &Block : Out)
        Lines[Block.LineNumber] = Block;
    return Lines;
}

// Lines 2 to 4 run 100 mm each along X, lines 5 and 6 are 1 mm steps, line
// 7 turns by 45 degrees, line 8 carries on in its direction. Feed 100 mm/min
// and a braking time of 0.6 s give a braking distance of 1 mm.
void CornerProgram(TCompRig &Rig)
{
    const double Root = std::sqrt(0.5);
    Rig.Feed.Block().Move(1, 0, 0).F(100);
    Rig.Feed.Block().Move(1, 100, 0);
    Rig.Feed.Block().Move(1, 200, 0);
    Rig.Feed.Block().Move(1, 300, 0);
    Rig.Feed.Block().Move(1, 301, 0);
    Rig.Feed.Block().Move(1, 302, 0);
    Rig.Feed.Block().Move(1, 302 + 10 * Root, 10 * Root);
    Rig.Feed.Block().Move(1, 302 + 20 * Root, 20 * Root);
}

TEST(CutterCompLookAhead, SharpCornerClearsTheMarksBackToABlockLongEnoughToBrake)
{
    struct TCase {
        const char *Name;
        double ContourAngle;
        int ControlType;
        std::map<int, bool> Marks;
    };
    const TCase Cases[] = {
        {"45 degrees against 30: stop",
         30, 0,
         {{1, false}, {2, false}, {3, true}, {4, false}, {5, false}, {6, false}, {7, true}}},
        {"45 degrees against 50: run on",
         50, 0,
         {{1, false}, {2, false}, {3, true}, {4, true}, {5, true}, {6, true}, {7, true}}},
        {"control type 7 runs on everywhere",
         30, 7,
         {{1, false}, {2, false}, {3, true}, {4, true}, {5, true}, {6, true}, {7, true}}},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TCompRig Rig;
        Rig.Comp.ContourAngle = Case.ContourAngle;
        Rig.Comp.ControlType = Case.ControlType;
        Rig.Comp.ShortestTime = 0.6;
        CornerProgram(Rig);
        const auto Lines = ByLine(Rig.Run());
        for (const auto &[Line, Mark] : Case.Marks) {
            SCOPED_TRACE("line " + std::to_string(Line));
            EXPECT_EQ(Lines.at(Line).LookAheadMark, Mark);
        }
        EXPECT_NEAR(Lines.at(6).CornerAngle, 45, 1e-9);
        EXPECT_NEAR(Lines.at(3).CornerAngle, 0, 1e-9);
        EXPECT_NEAR(Lines.at(4).MoveLength, 100, 1e-9);
        EXPECT_NEAR(Lines.at(5).MoveLength, 1, 1e-9);
        EXPECT_NEAR(Lines.at(7).MoveLength, 10, 1e-9);
    }
}

TEST(CutterCompLookAhead, ChangesOfFeedSpeedOrMStopAtTheCorner)
{
    struct TCase {
        const char *Name;
        int Word;
        double Value;
    };
    const TCase Cases[] = {{"S", wS, 1200}, {"M", wM, 8}, {"F", wF, 80}};
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TCompRig Rig;
        Rig.Comp.ContourAngle = 30;
        Rig.Feed.Block().Move(1, 0, 0).F(100);
        Rig.Feed.Block().Move(1, 100, 0);
        Rig.Feed.Block().Move(1, 200, 0);
        Rig.Feed.Block().Move(1, 300, 0).W(Case.Word, Case.Value);
        Rig.Feed.Block().Move(1, 400, 0);
        Rig.Feed.Block().Move(1, 500, 0);
        const auto Lines = ByLine(Rig.Run());
        EXPECT_FALSE(Lines.at(3).LookAheadMark); // the feed move before the change
        EXPECT_TRUE(Lines.at(4).LookAheadMark);
    }
}

TEST(CutterCompLookAhead, RapidsAndZAgainstAnArcStop)
{
    TCompRig Rig;
    Rig.Comp.ContourAngle = 30;
    Rig.Feed.Block().Move(1, 0, 0).F(100);
    Rig.Feed.Block().Move(1, 100, 0);
    Rig.Feed.Block().Move(1, 200, 0);
    Rig.Feed.Block().Move(1, 300, 0).Z(-1);              // Z move into...
    Rig.Feed.Block().Arc(3, 300, 20, 300, 10, -180, 10); // ...an arc
    Rig.Feed.Block().Move(0, 200, 20);
    Rig.Feed.Block().Move(1, 100, 20);
    const auto Lines = ByLine(Rig.Run());
    EXPECT_TRUE(Lines.at(3).LookAheadMark);
    EXPECT_FALSE(Lines.at(4).LookAheadMark);
    EXPECT_FALSE(Lines.at(5).LookAheadMark); // a rapid follows
    EXPECT_FALSE(Lines.at(6).LookAheadMark); // the rapid itself
}

TEST(CutterCompLookAhead, TurboModeHoldsContourMovesBelowTheContourFeed)
{
    for (bool Turbo : {false, true}) {
        SCOPED_TRACE(Turbo ? "turbo" : "normal");
        TCompRig Rig;
        Rig.Comp.SetTurboMode(Turbo);
        Rig.Comp.ContourFeed = 500;
        for (int Step = 0; Step < 5; ++Step)
            Rig.Feed.Block().Move(1, Step * 100, 0).F(1000);
        Rig.Feed.Block().Move(0, 600, 0);
        const auto Lines = ByLine(Rig.Run());
        // Feeds are limited where corners are rated: from the window's
        // second block on.
        for (int Line : {3, 4, 5})
            EXPECT_DOUBLE_EQ(WordValue(Lines.at(Line), wF), Turbo ? 499 : 1000);
        EXPECT_DOUBLE_EQ(WordValue(Lines.at(6), wF), 1000); // a rapid keeps its word
    }
}

TEST(CutterCompLookAhead, SizeBelowTheMinimumIsRaised)
{
    struct TCase {
        int Asked, Kept;
    };
    const TCase Cases[] = {{-5, 3}, {0, 3}, {2, 3}, {3, 3}, {4, 4}, {30, 30}};
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Asked);
        TCompRig Rig(10, Case.Asked);
        EXPECT_EQ(Rig.Comp.LookAhead(), Case.Kept);
        Rig.Feed.Block().Move(0, -20, 0);
        Rig.Feed.Block().G(gCutterComp, 41).Move(1, 0, 0).F(100);
        Rig.Feed.Block().Move(1, 0, 50);
        Rig.Feed.Block().Move(1, 50, 50);
        Rig.Feed.Block().G(gCutterComp, 40).Move(0, 50, 70);
        const auto Out = Rig.Run();
        ASSERT_EQ(Out.size(), 5u);
        EXPECT_NEAR(WordValue(Out[2], wX), -5, 1e-9);
        EXPECT_NEAR(WordValue(Out[2], wY), 55, 1e-9);
        // The first request fills the block to work on and the whole window.
        EXPECT_GE(Rig.Feed.Pulls(), 1 + Case.Kept);
    }
}

TEST(CutterCompLookAhead, StoppedStageHandsNothingOutAndARestartPrimesAgain)
{
    TCompRig Rig(10, 3);
    for (int Step = 1; Step <= 6; ++Step)
        Rig.Feed.Block().Move(1, Step * 10, 0).F(100);
    TCNC_Groups Block;
    Rig.Comp.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 1);
    EXPECT_EQ(Rig.Feed.Pulls(), 4);
    Rig.Comp.Stopped = true;
    Block.LineNumber = 99;
    Rig.Comp.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 99);
    EXPECT_EQ(Rig.Feed.Pulls(), 4);
    Rig.Comp.Stopped = false;
    Rig.Comp.Primed = false; // a new run
    Rig.Comp.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 5); // lines 2 to 4 were the old run's window
    EXPECT_EQ(Rig.Feed.Pulls(), 8);
}

} // namespace
} // namespace orv
