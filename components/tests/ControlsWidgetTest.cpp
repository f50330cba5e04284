// The flat gauge, the track bar and the scroll panel as widgets, offscreen.

#include "components/gauge/ui/TFlatGaugeUnit.h"
#include "components/scpanel/ui/ScPanel.h"
#include "components/trkbar/ui/TrkBar.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
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

// Owner-drawn ticks: OnDrawTick once per value, at (offset, 0) on a
// horizontal bar and (0, offset) on a vertical one, the offset being
// (i - Min) x S / (Max - Min) + margin + half the thumb; no standard lines.
TEST(ControlsWidget, TrackBarOwnerDrawnTicks) {
    const struct {
        const char *Name;
        QSize Size;
        int Min, Max;
    } cases[] = {
        {"horizontal", QSize(200, 50), 0, 10},
        {"vertical", QSize(30, 150), -2, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TTrkBar bar;
        bar.resize(c.Size);
        bar.SetMin(c.Min);
        bar.SetMax(c.Max);
        bar.TrkColortop = 0x00FF00; // a green groove
        bar.SetTransparent(false);
        EXPECT_EQ(bar.TickStyle(), tkStandard);
        bar.SetTickStyle(tkOwnerDraw);
        std::vector<std::pair<QPoint, int>> drawn;
        bar.OnDrawTick = [&](TTrkBar *Bar, QPainter &, QPoint Location, int Index) {
            EXPECT_EQ(Bar, &bar);
            drawn.push_back({Location, Index});
        };
        const QImage shot = bar.grab().toImage();
        const bool vertical = c.Size.width() < c.Size.height();
        const int along = vertical ? c.Size.height() : c.Size.width();
        const int thumb = bar.Model().ThumbLength();
        const int span = along - thumb - 2 * TTrkBarModel::Margin;
        std::vector<std::pair<QPoint, int>> expected;
        for (int i = c.Min; i <= c.Max; ++i) {
            const int offset =
                (i - c.Min) * span / (c.Max - c.Min) + TTrkBarModel::Margin + thumb / 2;
            expected.push_back({vertical ? QPoint(0, offset) : QPoint(offset, 0), i});
        }
        EXPECT_EQ(drawn, expected);
        // Where a standard tick would be, the background shows.
        const QPoint tick = vertical ? QPoint(7, expected[0].first.y())
                                     : QPoint(expected[0].first.x(), 7);
        EXPECT_NE(shot.pixelColor(tick), QColor(Qt::black));
        bar.SetTickStyle(tkStandard);
        EXPECT_EQ(bar.grab().toImage().pixelColor(tick), QColor(Qt::black));
    }
}

// Over the thumb the cursor is the sizing one along the bar, elsewhere the
// default one.
TEST(ControlsWidget, TrackBarThumbCursors) {
    for (QSize size : {QSize(200, 50), QSize(30, 200)}) {
        TTrkBar bar;
        bar.resize(size);
        bar.show();
        const TTrkRect t = bar.Model().ThumbRect();
        auto moveTo = [&](QPoint P) {
            QMouseEvent move(QEvent::MouseMove, P, bar.mapToGlobal(P), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&bar, &move);
        };
        moveTo(QPoint((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2));
        EXPECT_EQ(bar.cursor().shape(),
                  size.width() < size.height() ? Qt::SizeVerCursor : Qt::SizeHorCursor);
        moveTo(QPoint(size.width() - 2, size.height() - 2));
        EXPECT_EQ(bar.cursor().shape(), Qt::ArrowCursor);
    }
}

// Round thumbs are drawn through their mask: around the shape the bar's
// background shows; box and square thumbs cover their whole rectangle.
TEST(ControlsWidget, TrackBarMaskedThumbs) {
    const struct {
        TThumbStyle Style;
        const char *Mask;
        bool CornerShowsBackground;
    } cases[] = {
        {tsCircle, "CIRCLE_SIZE5M", true},
        {tsDiamond, "DIAMOND_SIZE5M", true},
        {tsPointer, "POINTER_HSIZE5M", true},
        {tsBox, "", false},
        {tsSquare, "", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Mask);
        QWidget parent;
        parent.resize(220, 60);
        QPalette green = parent.palette();
        green.setColor(QPalette::Window, QColor(0, 0xFF, 0));
        parent.setPalette(green);
        parent.setAutoFillBackground(true);
        TTrkBar &bar = *new TTrkBar(&parent);
        bar.SetThumbStyle(c.Style);
        bar.SetThumbSize(tsSize5);
        bar.TLTicks = false;
        EXPECT_EQ(bar.MaskName().toStdString(), c.Mask);
        EXPECT_EQ(bar.Mask().isNull(), std::string(c.Mask).empty());
        if (!bar.Mask().isNull())
            EXPECT_EQ(bar.Mask().size(), bar.Thumb().size());
        const QImage shot = parent.grab().toImage();
        const TTrkRect t = bar.Model().ThumbRect();
        const QColor corner = shot.pixelColor(t.Left, t.Bottom - 1); // bottom left
        EXPECT_EQ(corner == QColor(0, 0xFF, 0), c.CornerShowsBackground) << corner.name().toStdString();
        EXPECT_EQ(shot.pixelColor((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2),
                  QColor(0xC0, 0xC0, 0xC0))
            << "the silver face";
    }
}

// A horizontal bar's groove is in the lower colour from end to end.
TEST(ControlsWidget, TrackBarHorizontalGrooveInTheLowerColour) {
    TTrkBar bar;
    bar.TLTicks = false;
    bar.TrkColortop = 0xC0C0C0;
    bar.TrkColorbottom = 0x0000FF; // red
    bar.Model().TrkColorDivide = 50;
    bar.SetPosition(5);
    const QImage shot = bar.grab().toImage();
    const TTrkRect g = bar.Model().GrooveRect();
    const int y = (g.Top + g.Bottom) / 2;
    for (int x : {g.Left, g.Left + 20, g.Right - 20, g.Right - 1})
        EXPECT_EQ(shot.pixelColor(x, y), QColor(0xFF, 0, 0)) << x;
}

// Disabled, the groove and the thumb's face show the pattern made when the
// bar was created: with the first colours, silver and maroon in a
// checkerboard, whatever colours were set afterwards.
TEST(ControlsWidget, TrackBarDisabledLook) {
    TTrkBar bar;
    bar.resize(40, 200);
    bar.SetThumbStyle(tsBox);
    bar.SetThumbSize(tsSize5);
    bar.TLTicks = false;
    bar.TrkColortop = 0x000080;
    bar.TrkColorbottom = 0x00FF00;
    const QImage pattern = bar.DisabledPattern();
    ASSERT_EQ(pattern.size(), QSize(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pattern.pixelColor(x, y),
                      (x + y) % 2 ? QColor(0x80, 0, 0) : QColor(0xC0, 0xC0, 0xC0));
    bar.SetPosition(bar.Max()); // the thumb at the top, the groove free below it
    bar.setEnabled(false);
    const QImage shot = bar.grab().toImage();
    const TTrkRect g = bar.Model().GrooveRect();
    const TTrkRect t = bar.Model().ThumbRect();
    const int x = (g.Left + g.Right) / 2;
    for (int y = t.Bottom + 2; y < t.Bottom + 6; ++y)
        EXPECT_EQ(shot.pixelColor(x, y), pattern.pixelColor(x % 8, y % 8)) << "groove at " << y;
    const QPoint face(t.Right - 4, t.Bottom - 4);
    const QPoint inThumb = face - QPoint(t.Left, t.Top);
    EXPECT_EQ(shot.pixelColor(face), pattern.pixelColor(inThumb.x() % 8, inThumb.y() % 8));
    EXPECT_EQ(shot.pixelColor(face + QPoint(1, 0)).name(),
              pattern.pixelColor((inThumb.x() + 1) % 8, inThumb.y() % 8).name());

    // The mix of the two colours a form sets before the bar is made.
    const QImage mixed = TTrkBar::MakeDisabledPattern(0x000080, 0x00FF00, 200);
    EXPECT_EQ(mixed.pixelColor(0, 0), QColor(0x80, 0, 0)) << "top rows: 4";
    EXPECT_EQ(mixed.pixelColor(0, 4), QColor(0, 0xFF, 0));
    EXPECT_EQ(mixed.pixelColor(1, 4), QColor(0xC0, 0xC0, 0xC0)) << "silver between";
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

// A single border puts a sunken 2-pixel edge around the panel, outside the
// bevels: the aligned child moves in by it and comes back when the border
// goes. Alignment is kept; a locked panel is no tool control.
TEST(ControlsWidget, ScrollPanelBorderStyleAlignmentAndLocked) {
    QWidget form;
    form.resize(300, 200);
    TScrollPanel &panel = *new TScrollPanel(&form);
    panel.resize(100, 60);
    form.show();
    auto *child = new QWidget;
    panel.SetClient(child);
    panel.SetBevelWidth(2); // raised outer bevel: 2 pixels
    EXPECT_EQ(panel.BorderStyle(), bsNone);
    EXPECT_EQ(child->mapTo(&panel, QPoint(0, 0)), QPoint(2, 2));
    EXPECT_EQ(panel.ClientWidth(), 100);

    panel.SetBorderStyle(bsSingle);
    EXPECT_EQ(panel.frameWidth(), 2);
    EXPECT_EQ(child->mapTo(&panel, QPoint(0, 0)), QPoint(4, 4));
    EXPECT_EQ(child->size(), QSize(92, 52));
    EXPECT_EQ(panel.ClientWidth(), 96) << "the border is outside the client area";
    const QImage shot = panel.grab().toImage();
    EXPECT_EQ(shot.pixel(0, 30), panel.palette().color(QPalette::Dark).rgb()) << "sunken edge";
    EXPECT_EQ(shot.pixel(2, 30), panel.palette().color(QPalette::Light).rgb()) << "raised bevel";

    panel.FullRepaint = false;
    panel.SetBevelWidth(1);
    panel.resize(110, 60);
    ASSERT_EQ(panel.LastRepaint().size(), 2u);
    EXPECT_EQ(panel.LastRepaint()[1].Right, 106) << "strips in the client area";

    panel.SetBorderStyle(bsNone);
    EXPECT_EQ(panel.frameWidth(), 0);
    EXPECT_EQ(child->mapTo(&panel, QPoint(0, 0)), QPoint(1, 1));
    EXPECT_EQ(child->size(), QSize(108, 58));

    EXPECT_EQ(panel.Alignment(), taCenter);
    panel.SetAlignment(taRightJustify);
    EXPECT_EQ(panel.Alignment(), taRightJustify);
    EXPECT_FALSE(panel.Locked);
    EXPECT_TRUE(panel.IsToolControl());
    panel.Locked = true;
    EXPECT_FALSE(panel.IsToolControl());
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
