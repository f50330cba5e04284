// The flat gauge, the track bar and the scroll panel as widgets, offscreen.

#include "components/gauge/ui/TFlatGaugeUnit.h"
#include "components/scpanel/ui/ScPanel.h"
#include "components/trkbar/ui/TrkBar.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orv {
namespace {

int BarPixels(TFlatGauge &G) {
    QImage shot = G.grab().toImage();
    int n = 0;
    for (int x = 0; x < shot.width(); ++x)
        if ((shot.pixel(x, shot.height() / 2) & 0xFFFFFF) == 0x336699) // $996633 as RGB
            ++n;
    return n;
}

TEST(ControlsWidget, GaugeDrawsItsBar) {
    TFlatGauge g;
    g.SetShowText(false);
    EXPECT_EQ(g.size(), QSize(145, 25));
    EXPECT_EQ(BarPixels(g), 35);
    EXPECT_EQ(g.Text(), "25 %");
    g.SetMaxValue(150);
    g.SetMinValue(50);
    g.SetProgress(100);
    EXPECT_EQ(BarPixels(g), 70);
    g.setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(g.BarRect().right(), 145 - 3);
}

TEST(ControlsWidget, TrackBarTurnsVerticalOnResize) {
    TTrkBar bar;
    bar.show();
    EXPECT_EQ(bar.ThumbName(), "POINTER_HSIZE3");
    bar.resize(25, 100);
    EXPECT_EQ(bar.Model().Orientation(), toVertical);
    EXPECT_EQ(bar.ThumbName(), "POINTER_VSIZE3");
    EXPECT_EQ(bar.Thumb().height(), bar.Model().ThumbLength());
    int changes = 0;
    bar.OnChange = [&] { ++changes; };
    bar.SetPosition(8);
    bar.SetMax(5);
    EXPECT_EQ(changes, 2);
}

TEST(ControlsWidget, ScrollPanelInsetsItsClient) {
    QWidget form;
    form.resize(300, 200);
    TScrollPanel &panel = *new TScrollPanel(&form);
    panel.resize(100, 60);
    form.show();
    auto *child = new QWidget;
    panel.SetClient(child);
    panel.SetBevelInner(bvLowered);
    panel.SetBevelWidth(2);
    panel.SetBorderWidth(3);
    EXPECT_EQ(child->mapTo(&panel, QPoint(0, 0)), QPoint(7, 7));
    EXPECT_EQ(child->size(), QSize(86, 46));

    panel.FullRepaint = false;
    panel.SetBevelInner(bvNone);
    panel.SetBevelWidth(1);
    panel.SetBorderWidth(0);
    panel.resize(110, 60);
    ASSERT_EQ(panel.LastRepaint().size(), 2u);
    EXPECT_EQ(panel.LastRepaint()[0].Right - panel.LastRepaint()[0].Left, 2);
    EXPECT_EQ(panel.LastRepaint()[1].Right, 110);
}

} // namespace
} // namespace orv
