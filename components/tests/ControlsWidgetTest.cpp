// The flat gauge, the track bar and the scroll panel as widgets, offscreen.

#include "components/gauge/ui/TFlatGaugeUnit.h"
#include "components/scpanel/ui/ScPanel.h"
#include "components/trkbar/ui/TrkBar.h"

#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>

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

// The operator panel's bars: box thumbs of the largest size on a 6-pixel
// maroon groove, drawn over their parent's background.
TEST(ControlsWidget, TrackBarThumbGrooveAndBackground) {
    QWidget parent;
    parent.resize(60, 200);
    QPalette green = parent.palette();
    green.setColor(QPalette::Window, QColor(0, 0xFF, 0));
    parent.setPalette(green);
    parent.setAutoFillBackground(true);
    TTrkBar &bar = *new TTrkBar(&parent);
    bar.resize(40, 200);
    parent.show();
    bar.SetThumbStyle(tsBox);
    bar.SetThumbSize(tsSize5);
    EXPECT_EQ(bar.ThumbName(), "BOX_VSIZE5");
    EXPECT_EQ(bar.Thumb().size(), QSize(bar.Model().ThumbThickness(), bar.Model().ThumbLength()));
    bar.SetTrkWidth(2);
    EXPECT_EQ(bar.Model().GrooveRect().Right - bar.Model().GrooveRect().Left, 6);
    bar.TrkColortop = 0x000080;
    bar.SetPosition(bar.Max()); // the thumb at the top, out of the groove's middle

    auto colourAt = [&](int X, int Y) { return parent.grab().toImage().pixelColor(X, Y); };
    const int middle = (bar.Model().GrooveRect().Top + bar.Model().GrooveRect().Bottom) / 2;
    EXPECT_EQ(colourAt(20, middle), QColor(0x80, 0, 0)) << "maroon groove";
    EXPECT_EQ(colourAt(2, middle), QColor(0, 0xFF, 0)) << "transparent";
    bar.SetTransparent(false);
    EXPECT_NE(colourAt(2, middle), QColor(0, 0xFF, 0)) << "opaque";
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

// A picture larger than the panel scrolls under the two bars: positions
// set by the program and by the operator move it, and stay in range.
// The scroll area shows or hides its bars once the event loop runs.
void SettleBars(TScrollPanel &Panel, bool Horizontal, bool Vertical) {
    for (int i = 0; i < 100; ++i) {
        if (Panel.horizontalScrollBar()->isVisible() == Horizontal &&
            Panel.verticalScrollBar()->isVisible() == Vertical)
            return;
        QCoreApplication::processEvents();
    }
}

TEST(ControlsWidget, ScrollPanelScrollsItsPicture) {
    TScrollPanel panel;
    panel.SetBevelOuter(bvNone);
    panel.resize(200, 150);
    auto *picture = new QWidget;
    picture->resize(500, 400);
    panel.SetScrolled(picture);
    panel.show();
    TPanelScrollBar &h = panel.HorzScrollBar();
    TPanelScrollBar &v = panel.VertScrollBar();
    EXPECT_FALSE(panel.horizontalScrollBar()->isVisible()) << "no range, no bar";
    h.SetRange(500);
    v.SetRange(400);
    SettleBars(panel, true, true);
    ASSERT_TRUE(panel.horizontalScrollBar()->isVisible());
    ASSERT_TRUE(panel.verticalScrollBar()->isVisible());
    const int shownWidth = 200 - panel.verticalScrollBar()->width();
    EXPECT_EQ(panel.ClientWidth(), shownWidth);
    EXPECT_EQ(panel.ClientHeight(), 150 - panel.horizontalScrollBar()->height());
    EXPECT_EQ(panel.horizontalScrollBar()->maximum(), 500 - shownWidth);

    h.SetPosition(120);
    v.SetPosition(1000);
    EXPECT_EQ(h.Position(), 120);
    EXPECT_EQ(v.Position(), 400 - panel.ClientHeight()) << "the last page";
    EXPECT_EQ(picture->pos(), QPoint(-120, -v.Position()));

    panel.horizontalScrollBar()->setValue(40); // the operator drags the bar
    EXPECT_EQ(h.Position(), 40);
    EXPECT_EQ(picture->x(), -40);

    h.SetRange(shownWidth + 10); // the picture shrank
    EXPECT_EQ(h.Position(), 10);
    EXPECT_EQ(picture->x(), -10);
    h.SetRange(100);
    SettleBars(panel, false, true);
    EXPECT_FALSE(panel.horizontalScrollBar()->isVisible());
    EXPECT_EQ(picture->x(), 0);

    EXPECT_EQ(v.Model().LineStep(), 8);
    v.SetSmooth(true);
    EXPECT_EQ(panel.verticalScrollBar()->singleStep(), panel.ClientHeight() / 10);
    v.SetTracking(true);
    EXPECT_TRUE(panel.verticalScrollBar()->hasTracking());
    v.SetTracking(false);
    EXPECT_FALSE(panel.verticalScrollBar()->hasTracking());
}

// The shown part is what lies inside the frame; the picture scrolls inside it.
TEST(ControlsWidget, ScrollPanelScrollsInsideItsFrame) {
    TScrollPanel panel; // raised outer bevel of 1
    panel.resize(100, 80);
    auto *picture = new QWidget;
    picture->resize(300, 40);
    panel.SetScrolled(picture);
    panel.show();
    panel.HorzScrollBar().SetRange(300);
    SettleBars(panel, true, false);
    EXPECT_EQ(panel.HorzScrollBar().Model().ClientSize(), panel.ClientWidth() - 2);
    panel.HorzScrollBar().SetPosition(300);
    EXPECT_EQ(panel.HorzScrollBar().Position(), 300 - 98);
    EXPECT_EQ(picture->mapTo(&panel, QPoint(0, 0)).x(), 1 - (300 - 98));
}

} // namespace
} // namespace orv
