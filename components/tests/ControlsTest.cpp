// The flat gauge's values and colours, the track bar's range, geometry and
// mouse rules, and the scroll panel's frame, without windows.

#include "components/gauge/FlatGaugeValues.h"
#include "components/gauge/FlatUtilitys.h"
#include "components/gauge/HSLUtils.h"
#include "components/scpanel/ScPanelFrame.h"
#include "components/trkbar/TrkBarModel.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(FlatGauge, BarAndTextOfTheValues) {
    struct Case {
        const char *Name;
        int Min, Max, Progress;
        int Bar;
        std::string Text;
        int Stored;
    };
    const Case cases[] = {
        {"defaults", 0, 100, 25, 35, "25 %", 25},
        {"70.5 rounds to even", 50, 150, 100, 70, "50 %", 100},
        {"above the range is stored as the maximum", 0, 100, 500, 141, "100 %", 100},
        {"ends that meet: empty bar", 40, 40, 40, 0, "0 %", 40},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TFlatGaugeValues v;
        v.SetMaxValue(c.Max);
        v.SetMinValue(c.Min);
        v.SetProgress(c.Progress);
        EXPECT_EQ(v.Progress(), c.Stored);
        EXPECT_EQ(v.BarLength(141), c.Bar);
        EXPECT_EQ(v.Text(), c.Text);
    }
}

TEST(FlatGauge, WritersKeepProgressInTheStoredRange) {
    TFlatGaugeValues v;              // 0..100, 25
    EXPECT_TRUE(v.SetMinValue(150)); // held at MaxValue
    EXPECT_EQ(v.MinValue(), 100);
    EXPECT_EQ(v.Progress(), 100);   // not 150, above MaxValue
    EXPECT_TRUE(v.SetMaxValue(50)); // not below MinValue
    EXPECT_EQ(v.MaxValue(), 100);
    EXPECT_FALSE(v.SetProgress(500));
    EXPECT_FALSE(v.SetMinValue(100)); // unchanged: nothing happens
}

TEST(HSLUtils, ConversionsAndTheDarkerBorder) {
    struct Case {
        uint32_t Colour;
        int H, S, L;
    };
    const Case cases[] = {{0x0000FF, 0, 240, 120},   // red
                          {0x00FF00, 80, 240, 120},  // green ($00BBGGRR)
                          {0xFF0000, 159, 240, 120}, // blue
                          {0xC0C0C0, 0, 0, 181},     // silver
                          {0xFFFFFF, 0, 0, 240}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Colour);
        int h, s, l;
        ColorToHSLScale(c.Colour, h, s, l);
        EXPECT_EQ(h, c.H);
        EXPECT_EQ(s, c.S);
        EXPECT_EQ(l, c.L);
        double hr, sr, lr;
        ColorToHSL(c.Colour, hr, sr, lr);
        EXPECT_EQ(HSLToColor(lr, sr, hr), c.Colour);
    }
    EXPECT_EQ(HSLScaleToColor(0, 240, 120), 0x0000FFu);
    EXPECT_EQ(HSLScaleToColor(0, 0, 240), 0xFFFFFFu);
    // Light grey with 30 %: 20 lightness steps darker than the colour.
    const uint32_t grey = 0x646464; // lightness 94 on the scale
    int h, s, l;
    ColorToHSLScale(grey, h, s, l);
    uint32_t border = AdjustedBorderColor(grey, 0x8396A0, 30, true);
    int h2, s2, l2;
    ColorToHSLScale(border, h2, s2, l2);
    EXPECT_EQ(l2, l - 20);
    EXPECT_EQ(AdjustedBorderColor(grey, 0x8396A0, 0, true), 0x8396A0u);
    EXPECT_EQ(HueToChannel(1.5, 0, 1), HueToChannel(0.5, 0, 1));
}

TEST(FlatUtilitys, BevelRingsStepInward) {
    auto lines = BevelFrameLines(0, 0, 10, 6, 1, 2, 2);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].X1, 0);
    EXPECT_EQ(lines[0].Y1, 5); // the bottom is taken one pixel inside
    EXPECT_EQ(lines[2].X1, 9);
    EXPECT_EQ(lines[3].X2, 1); // the bottom edge stops one pixel right of the corner
    EXPECT_EQ(lines[4].X1, 1);
    EXPECT_EQ(lines[6].X1, 8);
    EXPECT_EQ(lines[6].Colour, 2u);
}

TEST(TrkBar, MaxBelowPositionFiresOnChangeOnce) {
    TTrkBarModel bar;
    int changes = 0;
    bar.OnChange = [&] { ++changes; };
    bar.SetPosition(8);
    changes = 0;
    bar.SetMax(5);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(changes, 1);
    bar.SetPosition(-3);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetPosition(0);
    EXPECT_EQ(changes, 2);
}

TEST(TrkBar, ResizeTurnsVerticalWithItsThumb) {
    TTrkBarModel bar;
    EXPECT_EQ(bar.ThumbResource(), "POINTER_HSIZE3");
    bar.Resize(25, 100);
    EXPECT_EQ(bar.Orientation(), toVertical);
    EXPECT_EQ(bar.ThumbResource(), "POINTER_VSIZE3");
    EXPECT_EQ(bar.MaskResource(), "POINTER_VSIZE3M");
    bar.ThumbStyle = tsBox;
    EXPECT_EQ(bar.MaskResource(), "");
    bar.ThumbStyle = tsCircle;
    bar.ThumbSize = tsSize5;
    EXPECT_EQ(bar.ThumbResource(), "CIRCLE_SIZE5");
}

// The lower-colour area: on a vertical bar from B x (100 - divide) / 100
// (halves to even) down to the groove's lower end B, edges in ascending
// order; on a horizontal bar the whole groove, whatever the divide.
TEST(TrkBar, LowerColourArea) {
    constexpr int G = -100000; // the groove's own edge
    const struct {
        const char *Name;
        int Width, Height, Divide;
        int Top, Bottom;
    } cases[] = {
        // 200 high: B = 200 - 4 - 13 / 2 = 190.
        {"vertical, half", 30, 200, 50, 95, 190},
        {"vertical, all", 30, 200, 100, 0, 190},
        {"vertical, new bar's 1", 30, 200, 1, 188, 190}, // 188.1
        {"vertical, 0: nothing", 30, 200, 0, 190, 190},
        {"vertical, 150: ascending edges", 30, 200, 150, -95, 190},
        {"vertical, half to even", 30, 200, 85, 28, 190}, // 28.5
        {"horizontal, half", 200, 50, 50, G, G},
        {"horizontal, 1", 200, 50, 1, G, G},
        {"horizontal, 150", 200, 50, 150, G, G},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TTrkBarModel bar;
        bar.Resize(c.Width, c.Height);
        bar.TrkColorDivide = c.Divide;
        const TTrkRect groove = bar.GrooveRect();
        const TTrkRect lower = bar.LowerColourRect();
        EXPECT_EQ(lower.Top, c.Top == G ? groove.Top : c.Top);
        EXPECT_EQ(lower.Bottom, c.Bottom == G ? groove.Bottom : c.Bottom);
        EXPECT_EQ(lower.Left, groove.Left);
        EXPECT_EQ(lower.Right, groove.Right);
    }
}

TEST(TrkBar, GeometryPagingAndDragging) {
    TTrkBarModel bar;
    bar.Resize(30, 200); // vertical
    bar.PageSize = 2;
    bar.SetPosition(4);
    TTrkRect thumb = bar.ThumbRect();
    EXPECT_EQ(thumb.Bottom, 200 - (4 * (200 - bar.ThumbLength() - 8) / 10) - 4);
    TTrkRect groove = bar.GrooveRect();
    int x = (groove.Left + groove.Right) / 2;
    bar.MouseDown(x, thumb.Top - 3); // above the thumb raises
    EXPECT_EQ(bar.Position(), 6);
    bar.MouseDown(x, bar.ThumbRect().Bottom + 3);
    EXPECT_EQ(bar.Position(), 4);
    bar.MouseDown(x, bar.ThumbRect().Top + 1);
    EXPECT_TRUE(bar.Dragging());
    bar.MouseMove(x, 0);
    EXPECT_EQ(bar.Position(), 10);
    bar.MouseUp();

    // TrkColorDivide 100: the lower colour from the top to the groove's end.
    bar.TrkColorDivide = 100;
    EXPECT_EQ(bar.LowerColourRect().Top, 0);
    EXPECT_EQ(bar.LowerColourRect().Bottom, groove.Bottom);

    // Ends that meet: one tick at the minimum end, the thumb there, no paging.
    // (The lower colour's own rows are in LowerColourArea.)
    bar.SetMin(3);
    bar.SetMax(3);
    EXPECT_EQ(bar.TickOffsets(), (std::vector<int>{4 + bar.ThumbLength() / 2}));
    EXPECT_EQ(bar.ThumbRect().Bottom, 196);
    bar.MouseDown(x, 5);
    EXPECT_EQ(bar.Position(), 3);
    EXPECT_EQ(TTrkBarModel().TickOffsets().size(), 11u);
}

TEST(ScrollPanel, FrameAndResizeStrips) {
    TScrollPanelFrame f;
    f.BevelOuter = bvRaised;
    f.BevelInner = bvLowered;
    f.BevelWidth = 2;
    f.BorderWidth = 3;
    EXPECT_EQ(f.AlignArea(100, 50), (TPanelRect{7, 7, 93, 43}));
    TScrollPanelFrame one; // raised outer bevel of 1
    auto strips = one.ResizeStrips(100, 40, 110, 40);
    ASSERT_EQ(strips.size(), 2u);
    EXPECT_EQ(strips[0], (TPanelRect{98, 0, 100, 40}));
    EXPECT_EQ(strips[1], (TPanelRect{108, 0, 110, 40}));
    one.BevelOuter = bvNone;
    EXPECT_TRUE(one.ResizeStrips(100, 40, 110, 40).empty());
}

// The scroll bars keep the position within what can be scrolled, however
// range, position and shown part are set and in whichever order.
TEST(ScrollPanel, ScrollBarKeepsItsPositionInRange) {
    struct Case {
        const char *Name;
        int Range, ClientSize, Position;
        int Expected;
        bool Visible;
    };
    const Case cases[] = {
        {"within", 1000, 300, 250, 250, true},
        {"the last page", 1000, 300, 700, 700, true},
        {"one past the last page", 1000, 300, 701, 700, true},
        {"negative", 1000, 300, -5, 0, true},
        {"all of it fits", 300, 300, 50, 0, false},
        {"nothing to scroll", 0, 300, 50, 0, false},
        {"nothing shown", 100, 0, 150, 100, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TControlScrollBar bar;
        bar.SetClientSize(c.ClientSize);
        bar.SetRange(c.Range);
        bar.SetPosition(c.Position);
        EXPECT_EQ(bar.Position(), c.Expected);
        EXPECT_EQ(bar.Visible(), c.Visible);
    }
    // A smaller range or a larger shown part pulls the position back.
    TControlScrollBar bar;
    bar.SetClientSize(300);
    bar.SetRange(1000);
    bar.SetPosition(700);
    bar.SetRange(800);
    EXPECT_EQ(bar.Position(), 500);
    bar.SetClientSize(600);
    EXPECT_EQ(bar.Position(), 200);
    bar.SetRange(-10);
    EXPECT_EQ(bar.Range(), 0);
    EXPECT_EQ(bar.Position(), 0);
}

TEST(ScrollPanel, ScrollBarSteps) {
    TControlScrollBar bar;
    bar.SetClientSize(250);
    EXPECT_EQ(bar.LineStep(), 8);
    EXPECT_EQ(bar.PageStep(), 250);
    bar.Smooth = true;
    EXPECT_EQ(bar.LineStep(), 25);
    bar.SetClientSize(5);
    EXPECT_EQ(bar.LineStep(), 1) << "a step of at least one pixel";
    bar.SetClientSize(0);
    EXPECT_EQ(bar.PageStep(), 1);
}

} // namespace
} // namespace orv
