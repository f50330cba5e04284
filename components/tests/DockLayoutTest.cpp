// Dock rows and positions: sorting, blank rows, FullSize, overflow, the row
// lookup of a drop and the opening of new rows.
#include "components/toolbar/TbDockLayout.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace orv {
namespace {

struct TBarSetup {
    int Row, Pos, Length, Thickness;
    bool FullSize = false;
};

struct TDockFixture {
    std::deque<TDockBarPlace> Places;
    std::vector<TDockBarPlace *> List;
    TDockLayout Layout;

    explicit TDockFixture(const std::vector<TBarSetup> &Setups)
    {
        for (const TBarSetup &s : Setups) {
            TDockBarPlace p;
            p.DockRow = s.Row;
            p.DockPos = s.Pos;
            p.Length = s.Length;
            p.Thickness = s.Thickness;
            p.FullSize = s.FullSize;
            Places.push_back(p);
        }
        for (TDockBarPlace &p : Places)
            List.push_back(&p);
    }
    TDockBarPlace &Bar(size_t I) { return Places[I]; }
};

TEST(DockLayout, ArrangesRowsAndPositions)
{
    struct TWant {
        int Row, Pos, Across, AcrossSize, AlongSize;
    };
    struct TCase {
        const char *Name;
        std::vector<TBarSetup> Bars;
        int ClientLength;
        bool OneRow;
        int WantAcross;
        std::vector<TWant> Want; // in the order of Bars
    };
    const TCase cases[] = {
        {"rows 0 and 3 come up as 0 and 1",
         {{0, 0, 100, 22}, {3, 0, 100, 22}},
         500,
         false,
         52,
         {{0, 0, 0, 26, 100}, {1, 0, 26, 26, 100}}},
        {"overlapping positions are pushed apart",
         {{0, 0, 100, 22}, {0, 50, 80, 22}},
         500,
         false,
         26,
         {{0, 0, 0, 26, 100}, {0, 100, 0, 26, 80}}},
        {"negative position becomes 0", {{0, -8, 100, 22}}, 500, false, 26, {{0, 0, 0, 26, 100}}},
        {"overflowing row slides back without overlap",
         {{0, 0, 50, 22}, {0, 100, 50, 22}},
         120,
         false,
         26,
         {{0, 0, 0, 26, 50}, {0, 70, 0, 26, 50}}},
        {"last window may still stick out",
         {{0, 0, 80, 22}, {0, 80, 80, 22}},
         120,
         false,
         26,
         {{0, 0, 0, 26, 80}, {0, 80, 0, 26, 80}}},
        {"a row exactly as long as the dock stays",
         {{0, 0, 60, 22}, {0, 60, 60, 22}},
         120,
         false,
         26,
         {{0, 0, 0, 26, 60}, {0, 60, 0, 26, 60}}},
        {"row size is the thickest window, at least 8",
         {{0, 0, 40, 5}, {1, 0, 40, 30}, {1, 50, 40, 10}},
         500,
         false,
         12 + 34,
         {{0, 0, 0, 12, 40}, {1, 0, 12, 34, 40}, {1, 50, 12, 34, 40}}},
        {"FullSize sharing a row keeps it alone",
         {{0, 0, 100, 22}, {0, 200, 100, 22, true}, {1, 0, 100, 22}},
         500,
         false,
         78,
         {{1, 0, 26, 26, 100}, {0, 0, 0, 26, 500}, {2, 0, 52, 26, 100}}},
        {"LimitToOneRow forces row 0",
         {{0, 0, 100, 22}, {2, 0, 100, 22}},
         500,
         true,
         26,
         {{0, 0, 0, 26, 100}, {0, 100, 0, 26, 100}}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TDockFixture f(c.Bars);
        EXPECT_EQ(f.Layout.LayOutRows(f.List, c.ClientLength, c.OneRow, 0), c.WantAcross);
        for (size_t i = 0; i < c.Want.size(); ++i) {
            SCOPED_TRACE(i);
            const TDockBarPlace &bar = f.Bar(i);
            EXPECT_EQ(bar.DockRow, c.Want[i].Row);
            EXPECT_EQ(bar.DockPos, c.Want[i].Pos);
            EXPECT_EQ(bar.Along, c.Want[i].Pos);
            EXPECT_EQ(bar.Across, c.Want[i].Across);
            EXPECT_EQ(bar.AcrossSize, c.Want[i].AcrossSize);
            EXPECT_EQ(bar.AlongSize, c.Want[i].AlongSize);
        }
    }
}

TEST(DockLayout, ListIsSortedByRowThenPosition)
{
    TDockFixture f({{1, 0, 10, 22}, {0, 50, 10, 22}, {0, 10, 10, 22}});
    f.Layout.LayOutRows(f.List, 500, false, 0);
    EXPECT_EQ(f.List[0], &f.Bar(2));
    EXPECT_EQ(f.List[1], &f.Bar(1));
    EXPECT_EQ(f.List[2], &f.Bar(0));
}

TEST(DockLayout, EmptyDockTakesTheGivenThickness)
{
    std::vector<TDockBarPlace *> none;
    TDockLayout layout;
    EXPECT_EQ(layout.LayOutRows(none, 500, false, 0), 0);
    EXPECT_EQ(layout.LayOutRows(none, 500, false, 1), 1);
    EXPECT_TRUE(layout.RowSizes().empty());
}

TEST(DockLayout, RowAtPointAroundRowEdges)
{
    TDockFixture f({{0, 0, 100, 22}, {1, 0, 100, 22}});
    f.Layout.LayOutRows(f.List, 500, false, 0); // rows at 0 and 26, each 26 thick
    struct TCase {
        int XY, Row;
        bool Before;
    };
    const TCase cases[] = {
        {-10, 0, true}, {0, 0, true},   {5, 0, true},    {6, 0, false},  {20, 0, false},
        {21, 1, true},  {31, 1, true},  {32, 1, false},  {46, 1, false}, {47, 2, true},
        {57, 2, true},  {58, 2, false}, {500, 2, false},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.XY);
        bool before = !c.Before;
        EXPECT_EQ(f.Layout.RowAtPoint(c.XY, before), c.Row);
        EXPECT_EQ(before, c.Before);
    }
}

TEST(DockLayout, DesignRowAtPoint)
{
    TDockFixture f({{0, 0, 100, 22}, {1, 0, 100, 22}});
    f.Layout.LayOutRows(f.List, 500, false, 0);
    EXPECT_EQ(f.Layout.DesignRowAtPoint(0), 0);
    EXPECT_EQ(f.Layout.DesignRowAtPoint(25), 0);
    EXPECT_EQ(f.Layout.DesignRowAtPoint(26), 1);
    EXPECT_EQ(f.Layout.DesignRowAtPoint(52), 2);
}

TEST(DockLayout, DropNearARowTopOpensANewRowInFront)
{
    TDockFixture f({{0, 0, 100, 22}, {1, 0, 100, 22}, {0, 0, 50, 22}});
    std::vector<TDockBarPlace *> docked{&f.Bar(0), &f.Bar(1)};
    f.Layout.LayOutRows(docked, 500, false, 0);
    TDockBarPlace &dropped = f.Bar(2);
    EXPECT_EQ(PlaceDroppedBar(docked, f.Layout, dropped, 29, 40), 1);
    EXPECT_EQ(dropped.DockPos, 40);
    EXPECT_EQ(f.Bar(1).DockRow, 2) << "the row it was dropped on moves down";
    EXPECT_EQ(f.Bar(0).DockRow, 0);

    docked.push_back(&dropped);
    f.Layout.LayOutRows(docked, 500, false, 0);
    EXPECT_EQ(f.Layout.RowSizes().size(), 3u);
}

TEST(DockLayout, DropInsideARowJoinsIt)
{
    TDockFixture f({{0, 0, 100, 22}, {0, 0, 50, 22}});
    std::vector<TDockBarPlace *> docked{&f.Bar(0)};
    f.Layout.LayOutRows(docked, 500, false, 0);
    EXPECT_EQ(PlaceDroppedBar(docked, f.Layout, f.Bar(1), 13, 150), 0);
    docked.push_back(&f.Bar(1));
    f.Layout.LayOutRows(docked, 500, false, 0);
    EXPECT_EQ(f.Bar(1).Along, 150);
    EXPECT_EQ(f.Bar(1).DockRow, 0);
}

TEST(DockLayout, FullSizeDroppedIntoAnOccupiedRowGoesAloneIntoTheNext)
{
    TDockFixture f({{0, 0, 100, 22}, {1, 0, 100, 22}, {0, 0, 60, 22, true}});
    std::vector<TDockBarPlace *> docked{&f.Bar(0), &f.Bar(1)};
    f.Layout.LayOutRows(docked, 500, false, 0);
    EXPECT_EQ(PlaceDroppedBar(docked, f.Layout, f.Bar(2), 13, 30), 1);
    docked.push_back(&f.Bar(2));
    f.Layout.LayOutRows(docked, 500, false, 0);
    EXPECT_EQ(f.Bar(2).DockRow, 1);
    EXPECT_EQ(f.Bar(2).Along, 0);
    EXPECT_EQ(f.Bar(2).AlongSize, 500);
    EXPECT_EQ(f.Bar(1).DockRow, 2);
}

} // namespace
} // namespace orv
