#include "engine/expand/Optimise.h"

#include "engine/chain/StageBlocks.h"
#include "engine/expand/tests/ExpandTestFeed.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv {
namespace {

using test::Drain;
using test::TFeed;

std::vector<int> LinesOf(const std::vector<TCNC_Groups> &Blocks)
{
    std::vector<int> Lines;
    for (const auto &Block : Blocks)
        Lines.push_back(Block.LineNumber);
    return Lines;
}

struct TFeedCase {
    const char *Name;
    double MaxX, MaxY, MaxZ, MinFeed;
    double ToX, ToY, ToZ, Feed;
    double ExpectFeed;
};

// The second block of a program is the first one the optimiser can judge
// (it needs the block before); it moves from (0, 0, 0).
TEST(OptimiseFeed, AxisLimitsAndMinimumRate)
{
    const TFeedCase Cases[] = {
        {"X over its maximum", 500, 0, 0, 0, 10, 0, 0, 1000, 500},
        {"X exactly at its maximum", 500, 0, 0, 0, 10, 0, 0, 500, 500},
        {"Y over its maximum", 0, 300, 0, 0, 0, 10, 0, 1000, 300},
        {"Z over its maximum", 800, 800, 200, 0, 10, 0, -5, 1000, 200},
        {"axis that does not move is not limited", 0, 300, 0, 0, 10, 0, 0, 1000, 1000},
        {"lowest of the moving axes wins", 400, 300, 0, 0, 10, 10, 0, 1000, 300},
        {"minimum rate raises a slow feed", 0, 0, 0, 10, 5, 0, 0, 2, 10},
        {"a maximum of 0 sets no limit", 0, 0, 0, 0, 10, 0, 0, 1000, 1000},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TFeed Feed;
        Feed.Block().Move(1, 0, 0).Z(0).F(100);
        Feed.Block().Move(1, Case.ToX, Case.ToY).Z(Case.ToZ).F(Case.Feed);
        TOptimise Stage;
        Stage.SetLimits(Case.MinFeed, Case.MaxZ, Case.MaxY, Case.MaxX, 5, 0);
        Stage.OnNextOptimiseNotify = Feed.Handler();
        const auto Out = Drain(Stage);
        ASSERT_EQ(Out.size(), 2u);
        EXPECT_DOUBLE_EQ(WordValue(Out[1], wF), Case.ExpectFeed);
        EXPECT_TRUE(Out[1].WordSet[wF]);
    }
}

TEST(OptimiseFeed, OnlyAChangedFeedIsMarkedAsProgrammed)
{
    TFeed Feed;
    Feed.Block().Move(1, 0, 0).F(100);
    Feed.Block().Move(1, 10, 0).F(1000); // limited to 500: a change
    Feed.Block().Move(1, 20, 0);         // modal 1000, limited to 500 again: no change
    Feed.Block().Move(1, 20, 10);        // Y has no limit: 1000 is a change
    TOptimise Stage;
    Stage.SetLimits(0, 0, 0, 500, 5, 0);
    Stage.OnNextOptimiseNotify = Feed.Handler();
    const auto Out = Drain(Stage);
    ASSERT_EQ(Out.size(), 4u);
    EXPECT_TRUE(Out[1].WordSet[wF]);
    EXPECT_DOUBLE_EQ(WordValue(Out[2], wF), 500);
    EXPECT_FALSE(Out[2].WordSet[wF]);
    EXPECT_DOUBLE_EQ(WordValue(Out[3], wF), 1000);
    EXPECT_TRUE(Out[3].WordSet[wF]);
}

// A contour digitised in 0.1 mm steps along X from line 1 (X 0) to line 11
// (X 1), then a long move.
void DigitisedLine(TFeed &Feed, int Steps, double StepLength)
{
    for (int Step = 0; Step <= Steps; ++Step)
        Feed.Block().Move(1, Step * StepLength, 0).F(100);
}

TEST(OptimiseMerge, ShortCollinearStepsMergeUpToTheShortestContour)
{
    TFeed Feed;
    DigitisedLine(Feed, 10, 0.1);
    Feed.Block().Move(1, 20, 0);
    TOptimise Stage;
    Stage.SetLimits(0, 0, 0, 0, 5, 0.5);
    Stage.OnNextOptimiseNotify = Feed.Handler();
    const auto Out = Drain(Stage);
    // Lines 2 to 4 stay while the run learns its S, M, T and F; then every
    // block whose run stays within 0.5 mm is dropped: 5 and 6 into 7, 8 and
    // 9 into 10, and the last short step stays before the long move.
    EXPECT_EQ(LinesOf(Out), (std::vector<int>{1, 2, 3, 4, 7, 10, 11, 12}));
    EXPECT_DOUBLE_EQ(WordValue(Out.back(), wX), 20);
}

TEST(OptimiseMerge, TurnsAndWordChangesKeepTheirBlocks)
{
    struct TCase {
        const char *Name;
        double TurnY; // Y of line 8: a kink in the line
        int ChangeWord;
        double ChangeValue;
        std::vector<int> Expected;
    };
    const TCase Cases[] = {
        {"straight run", 0, 0, 0, {1, 2, 3, 4, 7, 10, 11}},
        // A kink turns the path twice: at line 8 and again at line 9.
        {"turn of more than 5 degrees", 0.05, 0, 0, {1, 2, 3, 4, 7, 8, 9, 11}},
        {"turn of 5.7 degrees", 0.005, 0, 0, {1, 2, 3, 4, 7, 8, 11}},
        {"turn of 4.6 degrees", 0.004, 0, 0, {1, 2, 3, 4, 7, 10, 11}},
        // The change stays; the run restarts from it with the new value.
        {"S changes", 0, wS, 1200, {1, 2, 3, 4, 7, 8, 11}},
        {"F changes", 0, wF, 90, {1, 2, 3, 4, 7, 8, 11}},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TFeed Feed;
        for (int Step = 0; Step <= 10; ++Step) {
            Feed.Block().Move(1, Step * 0.1, Step == 7 ? Case.TurnY : 0);
            if (Step == 7 && Case.ChangeWord != 0)
                Feed.W(Case.ChangeWord, Case.ChangeValue);
        }
        TOptimise Stage;
        Stage.SetLimits(0, 0, 0, 0, 5, 0.5);
        Stage.OnNextOptimiseNotify = Feed.Handler();
        EXPECT_EQ(LinesOf(Drain(Stage)), Case.Expected);
    }
}

TEST(OptimiseMerge, MergeLengthZeroDropsNothing)
{
    TFeed Feed;
    DigitisedLine(Feed, 10, 0.1);
    TOptimise Stage;
    Stage.SetLimits(0, 0, 0, 0, 5, 0);
    Stage.OnNextOptimiseNotify = Feed.Handler();
    EXPECT_EQ(Drain(Stage).size(), 11u);
}

// Dropping a short step is only sound between two straight feed moves: the
// step before a block that does not move (M05, a dwell) would otherwise be
// lost and the tool would never reach it.
TEST(OptimiseMerge, TheLastStepBeforeABlockWithoutMovementIsKept)
{
    TFeed Feed;
    DigitisedLine(Feed, 5, 0.1);
    Feed.Block().G(gNonModal, 4).W(wP, 500); // dwell at X 0.5
    Feed.Block().W(wM, 5).G(gMCode, 5);
    TOptimise Stage;
    Stage.SetLimits(0, 0, 0, 0, 5, 0.5);
    Stage.OnNextOptimiseNotify = Feed.Handler();
    const auto Out = Drain(Stage);
    ASSERT_GE(Out.size(), 3u);
    EXPECT_EQ(Out[Out.size() - 2].LineNumber, 7); // the dwell
    EXPECT_EQ(Out.back().LineNumber, 8);
    EXPECT_DOUBLE_EQ(WordValue(Out[Out.size() - 3], wX), 0.5); // the last step is kept
    EXPECT_EQ(Out[Out.size() - 3].LineNumber, 6);
}

TEST(OptimiseWindow, StoppedStagePullsNothingAndHandsOutWhatItHolds)
{
    TFeed Feed;
    DigitisedLine(Feed, 4, 10);
    TOptimise Stage;
    Stage.SetLimits(0, 0, 0, 0, 5, 0);
    Stage.OnNextOptimiseNotify = Feed.Handler();
    TCNC_Groups Block;
    Stage.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 1);
    EXPECT_EQ(Feed.Pulls(), 3);
    Stage.Stopped = true;
    Stage.GetNext(Block);
    Stage.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 3);
    Block.LineNumber = 77;
    Stage.GetNext(Block); // nothing left: Data unchanged
    EXPECT_EQ(Block.LineNumber, 77);
    EXPECT_EQ(Feed.Pulls(), 3);
}

TEST(OptimiseWindow, WithoutASupplierDataStaysUnchanged)
{
    TOptimise Stage;
    TCNC_Groups Block;
    Block.LineNumber = 5;
    Stage.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 5);
    EXPECT_EQ(Stage.Count(), 0);
}

} // namespace
} // namespace orv
