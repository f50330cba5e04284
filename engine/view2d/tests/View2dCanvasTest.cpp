// The 2D view's canvas on an image puts thin circles and arcs down from
// kept pixels once it has met their size: the picture must be the one
// QPainter gives, pixel for pixel, wherever the shape lies on the image
// (also half off it).

#include "engine/view2d/ui/View2dQtCanvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace orv {
namespace {

constexpr double Pi = 3.14159265358979323846;

struct TArcCase {
    const char *Name;
    int Width, Height;
    int FromDegrees, ToDegrees; // directions of the end points from the centre
};

// The pen the canvas draws thin lines with.
QPen ThinPen(TColor Colour)
{
    QPen Pen(ToQColor(Colour), 1);
    Pen.setCapStyle(Qt::FlatCap);
    Pen.setJoinStyle(Qt::RoundJoin);
    return Pen;
}

QImage WhiteImage()
{
    QImage Image(160, 120, QImage::Format_RGB32);
    Image.fill(Qt::white);
    return Image;
}

// A point far out in the direction Degrees (anticlockwise on the screen).
TPixel Towards(const TPixelRect &Box, int Degrees)
{
    const double Cx = (Box.Left + Box.Right) / 2.0, Cy = (Box.Top + Box.Bottom) / 2.0;
    const double A = Degrees * Pi / 180;
    return {static_cast<int>(std::lround(Cx + 1000 * std::cos(A))),
            static_cast<int>(std::lround(Cy - 1000 * std::sin(A)))};
}

int DifferentPixels(const QImage &A, const QImage &B)
{
    int Different = 0;
    for (int Y = 0; Y < A.height(); ++Y) {
        for (int X = 0; X < A.width(); ++X)
            Different += A.pixel(X, Y) != B.pixel(X, Y) ? 1 : 0;
    }
    return Different;
}

// Places on the 160 x 120 image: inside, across each edge.
const TPixel Places[] = {{20, 30}, {90, 50}, {-7, 40}, {150, 10}, {60, -5}, {40, 112}, {5, 5}};

TEST(View2dCanvas, ArcsMetAgainMatchThePainter)
{
    const TArcCase Cases[] = {
        {"quarter", 14, 14, 0, 90},        {"three quarters", 15, 15, 200, 110},
        {"whole circle", 12, 12, 45, 45},  {"one pixel box", 1, 1, 90, 180},
        {"empty box", 0, 0, 10, 100},      {"flat ellipse", 40, 9, 300, 20},
        {"tall ellipse", 7, 33, 180, 270}, {"small sweep", 50, 50, 10, 13},
    };
    for (const TArcCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        QImage Drawn = WhiteImage(), Expected = WhiteImage();
        {
            TQtCanvas2D Canvas(&Drawn);
            QPainter P(&Expected);
            P.setPen(ThinPen(0x203040));
            P.setCompositionMode(QPainter::CompositionMode_Source);
            Canvas.SetPen(0x203040, 1, TPenStyle::Solid, TPenMode::Copy);
            for (TPixel At : Places) {
                const TPixelRect Box{At.X, At.Y, At.X + C.Width, At.Y + C.Height};
                const TPixel From = Towards(Box, C.FromDegrees), To = Towards(Box, C.ToDegrees);
                Canvas.Arc(Box, From, To);
                const double Cx = (Box.Left + Box.Right) / 2.0, Cy = (Box.Top + Box.Bottom) / 2.0;
                const double Start = std::atan2(Cy - From.Y, From.X - Cx) * 180 / Pi;
                double Span = std::atan2(Cy - To.Y, To.X - Cx) * 180 / Pi - Start;
                while (Span <= 0)
                    Span += 360;
                P.drawArc(QRectF(Box.Left, Box.Top, C.Width - 1, C.Height - 1),
                          static_cast<int>(std::lround(Start * 16)),
                          static_cast<int>(std::lround(Span * 16)));
            }
        }
        EXPECT_EQ(DifferentPixels(Drawn, Expected), 0);
    }
}

TEST(View2dCanvas, CirclesMatchThePainter)
{
    for (int Size : {1, 2, 7, 14, 31}) {
        SCOPED_TRACE(Size);
        QImage Drawn = WhiteImage(), Expected = WhiteImage();
        {
            TQtCanvas2D Canvas(&Drawn);
            QPainter P(&Expected);
            P.setPen(ThinPen(0x00FF00));
            P.setBrush(ToQColor(0x0000FF));
            P.setCompositionMode(QPainter::CompositionMode_Source);
            Canvas.SetPen(0x00FF00, 1, TPenStyle::Solid, TPenMode::Copy);
            Canvas.SetBrush(0x0000FF, TBrushStyle::Solid);
            for (TPixel At : Places) {
                Canvas.Ellipse({At.X, At.Y, At.X + Size, At.Y + Size});
                P.drawEllipse(QRectF(At.X, At.Y, Size - 1, Size - 1));
            }
        }
        EXPECT_EQ(DifferentPixels(Drawn, Expected), 0);
    }
}

// A circle drawn again with the same pen and brush must be on top of
// whatever was drawn since: the picture of circle, shape, circle is the
// picture of shape, circle (the first circle's pixels are all covered). The
// canvas may leave out the second circle only when the shape between left
// the first one's pixels as they were.
TEST(View2dCanvas, ACircleDrawnAgainIsOnTopOfWhatCameBetween)
{
    const TPixelRect Box{40, 30, 70, 60}; // a 30 pixel circle about (55, 45)
    struct TCase {
        const char *Name;
        bool Filled;
        std::function<void(TQtCanvas2D &)> Between;
    } Cases[] = {
        {"another colour across the outline", false,
         [](TQtCanvas2D &C) {
             C.SetPen(0x0000FF, 1, TPenStyle::Solid, TPenMode::Copy);
             C.Line({30, 45}, {80, 46});
         }},
        {"another colour ending on the outline", false,
         [](TQtCanvas2D &C) {
             C.SetPen(0x0000FF, 1, TPenStyle::Solid, TPenMode::Copy);
             C.Line({55, 45}, {55, 30});
         }},
        {"another colour inside only", false,
         [](TQtCanvas2D &C) {
             C.SetPen(0x0000FF, 1, TPenStyle::Solid, TPenMode::Copy);
             C.Line({52, 44}, {58, 47});
         }},
        {"another colour inside a filled circle", true,
         [](TQtCanvas2D &C) {
             C.SetPen(0x0000FF, 1, TPenStyle::Solid, TPenMode::Copy);
             C.Line({52, 44}, {58, 47});
         }},
        {"its own colour across", false,
         [](TQtCanvas2D &C) {
             C.SetPen(0x00FF00, 1, TPenStyle::Solid, TPenMode::Copy);
             C.Line({30, 45}, {80, 46});
         }},
        {"NotXor in its own colour across", false,
         [](TQtCanvas2D &C) {
             C.SetPen(0x00FF00, 1, TPenStyle::Solid, TPenMode::NotXor);
             C.Line({30, 45}, {80, 46});
         }},
        {"a long line across", false,
         [](TQtCanvas2D &C) {
             C.SetPen(0x0000FF, 1, TPenStyle::Solid, TPenMode::Copy);
             C.Line({0, 0}, {159, 119});
         }},
        {"a wide pen across", false,
         [](TQtCanvas2D &C) {
             C.SetPen(0x0000FF, 5, TPenStyle::Solid, TPenMode::Copy);
             C.Line({30, 45}, {80, 46});
         }},
        {"an arc across, twice (kept pixels the second time)", false,
         [](TQtCanvas2D &C) {
             C.SetPen(0x0000FF, 1, TPenStyle::Solid, TPenMode::Copy);
             C.Arc({45, 20, 85, 60}, {85, 40}, {65, 60});
             C.Arc({45, 20, 85, 60}, {85, 40}, {65, 60});
         }},
        {"a filled rectangle over it", false,
         [](TQtCanvas2D &C) { C.FillRect({50, 25, 60, 65}, 0xFF0000); }},
        {"another circle over it", false,
         [](TQtCanvas2D &C) {
             C.SetPen(0x0000FF, 1, TPenStyle::Solid, TPenMode::Copy);
             C.Ellipse({50, 35, 80, 65});
             C.SetPen(0x00FF00, 1, TPenStyle::Solid, TPenMode::Copy);
         }},
        {"a clip in between", false,
         [](TQtCanvas2D &C) {
             C.ClipTo({0, 0, 55, 120});
             C.Unclip();
         }},
    };
    for (const TCase &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        auto Circle = [&](TQtCanvas2D &C) {
            C.SetPen(0x00FF00, 1, TPenStyle::Solid, TPenMode::Copy);
            C.SetBrush(Case.Filled ? 0xFF00FF : clNone,
                       Case.Filled ? TBrushStyle::Solid : TBrushStyle::Clear);
            C.Ellipse(Box);
        };
        QImage Twice = WhiteImage(), Once = WhiteImage();
        {
            TQtCanvas2D Canvas(&Twice);
            Circle(Canvas);
            Case.Between(Canvas);
            Circle(Canvas);
        }
        {
            TQtCanvas2D Canvas(&Once);
            Case.Between(Canvas);
            Circle(Canvas);
        }
        EXPECT_EQ(DifferentPixels(Twice, Once), 0);
    }
}

} // namespace
} // namespace orv
