// Toolbar layout: one row when docked, wrapping when floating, separators
// collapsing at a wrap, and the sizes a floating toolbar's frame steps through.
#include "components/toolbar/TbToolbarLayout.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TToolbarItem Button(int W = 23, int H = 22)
{
    TToolbarItem i;
    i.Width = W;
    i.Height = H;
    return i;
}

TToolbarItem Sep(bool Blank = false)
{
    TToolbarItem i;
    i.IsSeparator = true;
    i.Blank = Blank;
    return i;
}

// Two buttons, a separator, one button.
std::vector<TToolbarItem> FourItems() { return {Button(), Button(), Sep(), Button()}; }

TEST(ToolbarLayout, DockedLinesUpOneRowWhateverFloatRightX)
{
    for (int floatRightX : {0, 30}) {
        SCOPED_TRACE(floatRightX);
        std::vector<TToolbarItem> items = FourItems();
        TToolbarLayoutResult r = LayOutToolbarItems(items, daHorizontal, floatRightX);
        EXPECT_EQ(r.ClientSize, (TSize{75, 22}));
        EXPECT_EQ(r.Lines, 1);
        EXPECT_EQ(items[1].Bounds, TRect::FromSize(23, 0, 23, 22));
        EXPECT_EQ(items[2].Bounds, TRect::FromSize(46, 0, 6, 22));
        EXPECT_EQ(items[3].Bounds, TRect::FromSize(52, 0, 23, 22));
    }
}

TEST(ToolbarLayout, VerticalDockRunsDownAndCentresInTheRow)
{
    std::vector<TToolbarItem> items = {Button(23, 22), Sep(), Button(19, 22)};
    items[1].SizeVert = 8;
    TToolbarLayoutResult r = LayOutToolbarItems(items, daVertical, 0, 27);
    EXPECT_EQ(r.ClientSize, (TSize{23, 52}));
    EXPECT_EQ(items[0].Bounds, TRect::FromSize(2, 0, 23, 22));
    EXPECT_EQ(items[1].Bounds, TRect::FromSize(0, 22, 27, 8));
    EXPECT_EQ(items[2].Bounds, TRect::FromSize(4, 30, 19, 22));
}

TEST(ToolbarLayout, ThicknessIsTheLargestControlAtLeast8)
{
    EXPECT_EQ(ToolbarBarThickness({Button(23, 22), Button(40, 30), Sep()}, daHorizontal), 30);
    EXPECT_EQ(ToolbarBarThickness({Button(23, 22), Button(40, 30)}, daVertical), 40);
    EXPECT_EQ(ToolbarBarThickness({Sep()}, daFloating), 8);
}

TEST(ToolbarLayout, FloatingWrapWidths)
{
    struct TCase {
        const char *Name;
        int FloatRightX;
        TSize Client;
        int Lines;
        std::vector<TLineSeparator> LineSeps;
        TRect LastButton;
        int SepWidth;
    };
    const TCase cases[] = {
        {"0 is one line", 0, {83, 25}, 1, {}, TRect::FromSize(56, 2, 23, 22), 6},
        {"exactly wide enough stays one line",
         83,
         {83, 25},
         1,
         {},
         TRect::FromSize(56, 2, 23, 22),
         6},
        {"one pixel less wraps after the separator",
         82,
         {54, 53},
         2,
         {{30, false}},
         TRect::FromSize(4, 30, 23, 22),
         0},
        {"54 still keeps the first group together",
         54,
         {54, 53},
         2,
         {{30, false}},
         TRect::FromSize(4, 30, 23, 22),
         0},
        {"53 breaks the group itself",
         53,
         {31, 75},
         3,
         {{52, false}},
         TRect::FromSize(4, 52, 23, 22),
         0},
        {"below the widest control + 8 acts as that",
         10,
         {31, 75},
         3,
         {{52, false}},
         TRect::FromSize(4, 52, 23, 22),
         0},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TToolbarItem> items = FourItems();
        TToolbarLayoutResult r = LayOutToolbarItems(items, daFloating, c.FloatRightX);
        EXPECT_EQ(r.ClientSize, c.Client);
        EXPECT_EQ(r.Lines, c.Lines);
        EXPECT_EQ(r.LineSeparators, c.LineSeps);
        EXPECT_EQ(items[3].Bounds, c.LastButton);
        EXPECT_EQ(items[2].Bounds.Width(), c.SepWidth);
    }
}

TEST(ToolbarLayout, BlankSeparatorRecordsNoLine)
{
    std::vector<TToolbarItem> items = {Button(), Sep(true), Button()};
    TToolbarLayoutResult r = LayOutToolbarItems(items, daFloating, 40);
    ASSERT_EQ(r.LineSeparators.size(), 1u);
    EXPECT_TRUE(r.LineSeparators[0].Blank);
}

TEST(ToolbarLayout, EmptyToolbar)
{
    std::vector<TToolbarItem> none;
    EXPECT_EQ(LayOutToolbarItems(none, daFloating, 0).ClientSize, (TSize{16, 11}));
    EXPECT_EQ(LayOutToolbarItems(none, daHorizontal, 0).ClientSize, (TSize{8, 8}));
}

class ToolbarSizing : public ::testing::Test {
protected:
    TFloatingFrame Frame{3, 15};
};

TEST_F(ToolbarSizing, PotentialSizesStepThroughEachWrap)
{
    TToolbarSizing s(FourItems(), Frame, seRight, {89, 46}, 0);
    const std::vector<TSize> want = {{89, 46}, {60, 74}, {37, 96}};
    EXPECT_EQ(s.PotentialSizes(), want);
    EXPECT_EQ(s.SnapDistance(), 12);
}

TEST_F(ToolbarSizing, BottomEdgeSortsByHeight)
{
    TToolbarSizing s(FourItems(), Frame, seBottom, {60, 74}, 54);
    const std::vector<TSize> want = {{37, 96}, {60, 74}, {89, 46}};
    EXPECT_EQ(s.PotentialSizes(), want);
}

TEST_F(ToolbarSizing, SnapShrinksToTheNeighbourDistance)
{
    std::vector<TToolbarItem> items = {Button(), Sep(), Button(4, 22)};
    items[1].SizeHorz = 2;
    TToolbarSizing s(items, Frame, seRight, {43, 46}, 0);
    const std::vector<TSize> want = {{43, 46}, {37, 74}};
    EXPECT_EQ(s.PotentialSizes(), want);
    EXPECT_EQ(s.SnapDistance(), 5);
}

TEST_F(ToolbarSizing, TrackSnapsShrinksAndGrows)
{
    TToolbarSizing s(FourItems(), Frame, seRight, {89, 46}, 0);
    EXPECT_EQ(s.Track(80), (TSize{89, 46})) << "within the snap distance";
    EXPECT_EQ(s.Track(70), (TSize{60, 74}));
    EXPECT_EQ(s.CandidateFloatRightX(), 54);
    EXPECT_EQ(s.Track(72), (TSize{60, 74})) << "crossing the edge snaps again";
    EXPECT_EQ(s.Track(75), (TSize{89, 46}));
    EXPECT_EQ(s.CandidateFloatRightX(), 0) << "the single line";
    EXPECT_EQ(s.Track(76), (TSize{89, 46})) << "no flicker back while the pointer moves on";
    EXPECT_EQ(s.Track(70), (TSize{60, 74}));
    EXPECT_EQ(s.Track(10), (TSize{37, 96})) << "below every shape: the smallest";
    EXPECT_EQ(s.CandidateFloatRightX(), 31);
    EXPECT_EQ(s.Track(400), (TSize{89, 46})) << "beyond every shape: the largest";
}

} // namespace
} // namespace orv
