#include "engine/expand/CircularExpand.h"

#include "engine/core/DUtils.h"
#include "engine/chain/StageBlocks.h"
#include "engine/expand/tests/ExpandTestFeed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace orv {
namespace {

using test::Drain;
using test::TErrorLog;
using test::TFeed;

double DistanceFrom(const TCNC_Groups &Block, int First, int Second, double C1, double C2)
{
    return std::hypot(WordValue(Block, First) - C1, WordValue(Block, Second) - C2);
}

struct TStageUnderTest {
    TFeed Feed;
    TErrorLog Errors;
    TCircularExpand Stage;
    explicit TStageUnderTest(bool ExpandArcs = true)
    {
        Stage.ExpandArcs = ExpandArcs;
        Stage.OnNextCycleNotify = Feed.Handler();
        Stage.OnErrorEvent = Errors.Handler();
    }
};

TEST(ArcExpand, HalfCircleOfRadius10BecomesChordsOf02)
{
    TStageUnderTest T;
    T.Feed.Block().Move(1, 0, 0).Z(-1);
    T.Feed.Block().Arc(2, 20, 0, 10, 0, 180, 10).F(150);
    const auto Out = Drain(T.Stage);
    // 31.42 mm of arc: 157 chords, 158 points and the exact end point.
    ASSERT_EQ(Out.size(), 1u + 158u + 1u);
    const std::string Text = "Arc to linear expansion-chord length:" +
                             FloatToUnitsText(false, 0.2) + "mm";
    for (size_t Index = 1; Index < Out.size(); ++Index) {
        SCOPED_TRACE(Index);
        const auto &Block = Out[Index];
        EXPECT_EQ(Block.Groups[gMotion], 1);
        EXPECT_TRUE(Block.WordSet[wX] && Block.WordSet[wY]);
        EXPECT_NEAR(DistanceFrom(Block, wX, wY, 10, 0), 10, 1e-5);
        EXPECT_GE(WordValue(Block, wY), -1e-5); // clockwise from (0, 0) runs over the top
        EXPECT_EQ(Block.LineNumber, 2);
        EXPECT_EQ(Block.GeneratedText, Text);
        EXPECT_DOUBLE_EQ(WordValue(Block, wZ), -1);
    }
    EXPECT_NEAR(WordValue(Out[1], wX), 0, 1e-5); // the first point is the start itself
    EXPECT_NEAR(WordValue(Out[80], wY), 10, 0.01); // half way: the top of the circle
    EXPECT_EQ(WordValue(Out.back(), wX), 20);
    EXPECT_EQ(WordValue(Out.back(), wY), 0);
    EXPECT_TRUE(T.Errors.Reports.empty());
}

TEST(ArcExpand, ChordCountsAndDirections)
{
    struct TCase {
        const char *Name;
        int Motion;
        double EndX, EndY, CentreX, CentreY, Sweep, Radius;
        size_t Blocks; // n + 1 points and the exact end
        double MidX, MidY;
    };
    const TCase Cases[] = {
        {"quarter counter-clockwise", 3, 0, 10, 0, 0, -90, 10, 78 + 2, 7.0711, 7.0711},
        {"quarter clockwise", 2, 0, -10, 0, 0, 90, 10, 78 + 2, 7.0711, -7.0711},
        {"shorter than one chord", 2, 9.99, -0.1, 0, 0, 0.01, 10, 1, 9.99, -0.1},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TStageUnderTest T;
        T.Feed.Block().Move(1, 10, 0);
        T.Feed.Block().Arc(Case.Motion, Case.EndX, Case.EndY, Case.CentreX, Case.CentreY,
                           Case.Sweep, Case.Radius);
        const auto Out = Drain(T.Stage);
        ASSERT_EQ(Out.size(), 1 + Case.Blocks);
        const auto &Mid = Out[1 + (Case.Blocks - 1) / 2];
        EXPECT_NEAR(WordValue(Mid, wX), Case.MidX, 0.1);
        EXPECT_NEAR(WordValue(Mid, wY), Case.MidY, 0.1);
        EXPECT_EQ(Out.back().Groups[gMotion], 1);
    }
}

TEST(ArcExpand, FullCircleClosesOnItsStart)
{
    TStageUnderTest T;
    T.Feed.Block().Move(1, 5, 0);
    T.Feed.Block().Arc(3, 5, 0, 0, 0, -360, 5);
    const auto Out = Drain(T.Stage);
    // 31.42 mm: 157 chords.
    ASSERT_EQ(Out.size(), 1u + 158u + 1u);
    EXPECT_NEAR(WordValue(Out[1], wX), 5, 1e-5);
    EXPECT_NEAR(WordValue(Out[158], wX), 5, 1e-5);
    EXPECT_NEAR(WordValue(Out[158], wY), 0, 1e-5);
    EXPECT_NEAR(WordValue(Out[40], wY), 5, 0.05); // a quarter round counter-clockwise
}

TEST(ArcExpand, PlaneArcsPassWhenExpansionIsOffButHelicalArcsAreExpanded)
{
    TStageUnderTest T(false);
    T.Feed.Block().Move(1, 10, 0).Z(0);
    T.Feed.Block().Arc(3, 0, 10, 0, 0, -90, 10);
    T.Feed.Block().Arc(3, -10, 0, 0, 0, -90, 10).Z(-7.8);
    const auto Out = Drain(T.Stage);
    ASSERT_EQ(Out.size(), 1u + 1u + 80u);
    EXPECT_EQ(Out[1].Groups[gMotion], 3); // the plane arc unchanged
    EXPECT_EQ(Out[1].GeneratedText, "");
    // 78 chords: Z falls by 0.1 per point from 0 at the start to -7.8.
    for (int Point = 0; Point <= 78; ++Point) {
        SCOPED_TRACE(Point);
        const auto &Block = Out[2 + Point];
        EXPECT_EQ(Block.Groups[gMotion], 1);
        EXPECT_TRUE(Block.WordSet[wX] && Block.WordSet[wY] && Block.WordSet[wZ]);
        EXPECT_NEAR(WordValue(Block, wZ), -0.1 * Point, 1e-9);
        EXPECT_NEAR(DistanceFrom(Block, wX, wY, 0, 0), 10, 1e-5);
    }
    EXPECT_DOUBLE_EQ(WordValue(Out.back(), wZ), -7.8);
}

TEST(ArcExpand, OtherPlanesUseTheirAxesAndCentres)
{
    struct TCase {
        const char *Name;
        int Plane;
        int First, Second, CentreFirst, CentreSecond;
    };
    const TCase Cases[] = {
        {"G18: X and Z about I, K", 18, wX, wZ, wI, wK},
        {"G19: Y and Z about J, K", 19, wY, wZ, wJ, wK},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TStageUnderTest T;
        T.Feed.Block().G(gPlane, Case.Plane).G(gMotion, 1).W(Case.First, 10).W(Case.Second, 0);
        T.Feed.Block().G(gMotion, 3).W(Case.First, 0).W(Case.Second, 10);
        T.Feed.Current().Words[Case.CentreFirst] = 0;
        T.Feed.Current().Words[Case.CentreSecond] = 0;
        T.Feed.Current().Words[wSweep] = -90;
        T.Feed.W(wRadius, 10);
        const auto Out = Drain(T.Stage);
        ASSERT_EQ(Out.size(), 1u + 80u);
        for (size_t Index = 1; Index < Out.size(); ++Index)
            EXPECT_NEAR(DistanceFrom(Out[Index], Case.First, Case.Second, 0, 0), 10, 1e-5);
        EXPECT_NEAR(WordValue(Out[40], Case.First), 7.07, 0.1);
        EXPECT_NEAR(WordValue(Out[40], Case.Second), 7.07, 0.1);
    }
}

struct TCapCase {
    const char *Name;
    double Radius;
    bool Expanded;
};

// Chords of 1 mm round a full circle: 100000 chords are the most one arc gets.
TEST(ArcExpand, ChordsOfOneArcAreCapped)
{
    const TCapCase Cases[] = {
        {"100000 chords pass", 15915.5, true},
        {"100001 chords are refused", 15915.7, false},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TStageUnderTest T;
        T.Stage.MinimumChordLength = 1;
        T.Feed.Block().Move(1, Case.Radius, 0);
        T.Feed.Block().Arc(2, Case.Radius, 0, 0, 0, 360, Case.Radius);
        const auto Out = Drain(T.Stage);
        if (Case.Expanded) {
            EXPECT_EQ(Out.size(), 1u + 100001u + 1u);
            EXPECT_TRUE(T.Errors.Reports.empty());
            continue;
        }
        ASSERT_EQ(Out.size(), 2u); // one straight move to the end
        EXPECT_EQ(Out[1].Groups[gMotion], 1);
        ASSERT_EQ(T.Errors.Reports.size(), 1u);
        EXPECT_EQ(T.Errors.Reports[0].Line, 2);
        EXPECT_EQ(T.Errors.Reports[0].Message, "Check parameters and units are correct");
        EXPECT_NE(T.Errors.Reports[0].Detail.find("Arc expansion exceeds limits"),
                  std::string::npos);
    }
}

TEST(ArcExpand, ClearPendingDropsTheRestOfAnArc)
{
    TStageUnderTest T;
    T.Feed.Block().Move(1, 10, 0);
    T.Feed.Block().Arc(2, 0, -10, 0, 0, 90, 10);
    T.Feed.Block().Move(1, 0, -20);
    TCNC_Groups Block;
    T.Stage.GetNext(Block);
    T.Stage.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 2);
    T.Stage.ClearPending();
    EXPECT_EQ(T.Stage.PendingCount(), 0);
    T.Stage.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 3);
}

TEST(ArcExpand, EndRecordAndPlainBlocksPassUnchanged)
{
    TStageUnderTest T;
    T.Feed.Block().Move(0, 3, 4).Z(5);
    const auto Out = Drain(T.Stage);
    ASSERT_EQ(Out.size(), 1u);
    EXPECT_EQ(Out[0].Groups[gMotion], 0);
    TCNC_Groups Block;
    T.Stage.GetNext(Block);
    EXPECT_TRUE(IsEndOfProgram(Block));
    TCircularExpand Alone;
    Block.LineNumber = 42;
    Alone.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 42);
}

} // namespace
} // namespace orv
