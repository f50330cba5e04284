#include "engine/ui/View2dQtCanvas.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orv {

namespace {

constexpr double Pi = 3.14159265358979323846;

// Direction of a pixel seen from the box's centre, degrees anticlockwise
// on the screen from the 3 o'clock direction.
double ScreenDegrees(const TPixelRect &Box, TPixel P)
{
    const double Cx = (Box.Left + Box.Right) / 2.0;
    const double Cy = (Box.Top + Box.Bottom) / 2.0;
    return std::atan2(Cy - P.Y, P.X - Cx) * 180 / Pi;
}

QRectF OutlineRect(const TPixelRect &Box)
{
    return QRectF(Box.Left, Box.Top, Box.Right - Box.Left - 1, Box.Bottom - Box.Top - 1);
}

} // namespace

QColor ToQColor(TColor Colour)
{
    return QColor(Colour & 0xFF, (Colour >> 8) & 0xFF, (Colour >> 16) & 0xFF);
}

TQtCanvas2D::TQtCanvas2D(QPaintDevice *Device) : FDevice(Device) {}

TQtCanvas2D::TQtCanvas2D(QImage *Image) : FDevice(Image), FImage(Image) {}

TQtCanvas2D::~TQtCanvas2D()
{
    Flush();
}

void TQtCanvas2D::SetDevice(QPaintDevice *Device)
{
    Flush();
    FDevice = Device;
}

void TQtCanvas2D::SetImage(QImage *Image)
{
    SetDevice(Image);
    FImage = Image;
}

void TQtCanvas2D::Flush()
{
    if (FPainter)
        FPainter->end();
    FPainter.reset();
    FPenDirty = true;
}

QPainter *TQtCanvas2D::Painter()
{
    if (!FPainter && FDevice && FDevice->width() > 0 && FDevice->height() > 0) {
        FPainter = std::make_unique<QPainter>(FDevice);
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        FPenDirty = true;
    }
    if (FPainter && FPenDirty)
        ApplyPen();
    return FPainter.get();
}

void TQtCanvas2D::ApplyPen()
{
    FPenDirty = false;
    const bool NoPenColour = FPenColour == clNone;
    QPen Pen(NoPenColour ? QColor(Qt::black) : ToQColor(FPenColour));
    Pen.setWidth(std::max(1, FPenWidth));
    Pen.setStyle(NoPenColour ? Qt::NoPen
                             : (FPenStyle == TPenStyle::Dash ? Qt::DashLine : Qt::SolidLine));
    Pen.setCapStyle(FPenWidth > 1 ? Qt::RoundCap : Qt::FlatCap);
    Pen.setJoinStyle(Qt::RoundJoin);
    FPainter->setPen(Pen);
    const bool Solid = FBrushStyle == TBrushStyle::Solid && FBrushColour != clNone;
    FPainter->setBrush(Solid ? QBrush(ToQColor(FBrushColour)) : QBrush(Qt::NoBrush));
    FPainter->setCompositionMode(FPenMode == TPenMode::NotXor
                                     ? QPainter::RasterOp_NotSourceXorDestination
                                     : QPainter::CompositionMode_Source);
}

void TQtCanvas2D::SetPen(TColor Colour, int Width, TPenStyle Style, TPenMode Mode)
{
    if (Colour == FPenColour && Width == FPenWidth && Style == FPenStyle && Mode == FPenMode)
        return;
    FPenColour = Colour;
    FPenWidth = Width;
    FPenStyle = Style;
    FPenMode = Mode;
    FPenDirty = true;
}

void TQtCanvas2D::SetBrush(TColor Colour, TBrushStyle Style)
{
    if (Colour == FBrushColour && Style == FBrushStyle)
        return;
    FBrushColour = Colour;
    FBrushStyle = Style;
    FPenDirty = true;
}

void TQtCanvas2D::Line(TPixel From, TPixel To)
{
    if (CanPlotEllipse()) {
        PlotLine(From, To);
        return;
    }
    if (QPainter *P = Painter())
        P->drawLine(From.X, From.Y, To.X, To.Y);
}

void TQtCanvas2D::BeginPlot()
{
    if (FPainter)
        Flush(); // the image is written directly
    FBits = FImage->bits();
    FStride = FImage->bytesPerLine();
    FWidth = FImage->width();
    FHeight = FImage->height();
}

void TQtCanvas2D::PlotPixel(int X, int Y, QRgb Colour, bool NotXor)
{
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return;
    QRgb *Pixel = reinterpret_cast<QRgb *>(FBits + static_cast<ptrdiff_t>(Y) * FStride) + X;
    *Pixel = NotXor ? (~(Colour ^ *Pixel) & 0xFFFFFF) | 0xFF000000 : Colour;
}

// A thin line, both ends included, one pixel a step along its longer axis.
void TQtCanvas2D::PlotLine(TPixel From, TPixel To)
{
    BeginPlot();
    const QRgb Colour = ToQColor(FPenColour).rgb();
    const bool NotXor = FPenMode == TPenMode::NotXor;
    const int Dx = std::abs(To.X - From.X), Sx = From.X < To.X ? 1 : -1;
    const int Dy = -std::abs(To.Y - From.Y), Sy = From.Y < To.Y ? 1 : -1;
    int Error = Dx + Dy;
    int X = From.X, Y = From.Y;
    const long long Longest = std::max(Dx, -Dy);
    if (Longest > 100000)
        return; // far outside any picture
    for (;;) {
        PlotPixel(X, Y, Colour, NotXor);
        if (X == To.X && Y == To.Y)
            return;
        const int E2 = 2 * Error;
        if (E2 >= Dy) {
            Error += Dy;
            X += Sx;
        }
        if (E2 <= Dx) {
            Error += Dx;
            Y += Sy;
        }
    }
}

void TQtCanvas2D::Arc(const TPixelRect &Box, TPixel From, TPixel To)
{
    QPainter *P = Painter();
    if (!P)
        return;
    const double Start = ScreenDegrees(Box, From);
    double Span = ScreenDegrees(Box, To) - Start;
    while (Span <= 0)
        Span += 360; // the same direction twice: the whole ellipse
    P->drawArc(OutlineRect(Box), static_cast<int>(std::lround(Start * 16)),
               static_cast<int>(std::lround(Span * 16)));
}

void TQtCanvas2D::Ellipse(const TPixelRect &Box)
{
    if (CanPlotEllipse()) {
        PlotEllipse(Box);
        return;
    }
    if (QPainter *P = Painter())
        P->drawEllipse(OutlineRect(Box));
}

bool TQtCanvas2D::CanPlotEllipse() const
{
    return FImage && FImage->format() == QImage::Format_RGB32 && FPenWidth <= 1 &&
           FPenStyle == TPenStyle::Solid && FPenColour != clNone;
}

// The pixels QPainter gives an ellipse of that box size, found once by
// drawing it on a scratch picture: outline in black, inside in red.
const TQtCanvas2D::TEllipsePixels &TQtCanvas2D::EllipsePixels(int Width, int Height)
{
    const auto Key = std::make_pair(Width, Height);
    const auto Found = FEllipses.find(Key);
    if (Found != FEllipses.end())
        return Found->second;
    TEllipsePixels &Pixels = FEllipses[Key];
    const int Margin = 2;
    QImage Scratch(Width + 2 * Margin, Height + 2 * Margin, QImage::Format_RGB32);
    Scratch.fill(Qt::white);
    {
        QPainter P(&Scratch);
        P.setRenderHint(QPainter::Antialiasing, false);
        P.setPen(QPen(Qt::black, 1));
        P.setBrush(QBrush(Qt::red));
        P.drawEllipse(OutlineRect({Margin, Margin, Margin + Width, Margin + Height}));
    }
    for (int Y = 0; Y < Scratch.height(); ++Y) {
        for (int X = 0; X < Scratch.width(); ++X) {
            const QRgb C = Scratch.pixel(X, Y) & 0xFFFFFF;
            if (C == 0)
                Pixels.Outline.emplace_back(X - Margin, Y - Margin);
            else if (C == 0xFF0000)
                Pixels.Inside.emplace_back(X - Margin, Y - Margin);
        }
    }
    return Pixels;
}

void TQtCanvas2D::PlotEllipse(const TPixelRect &Box)
{
    BeginPlot();
    const int W = Box.Right - Box.Left;
    const int H = Box.Bottom - Box.Top;
    if (W <= 0 || H <= 0)
        return;
    const TEllipsePixels &Pixels = EllipsePixels(W, H);
    const bool NotXor = FPenMode == TPenMode::NotXor;
    auto Plot = [&](const std::vector<std::pair<int, int>> &List, QRgb Colour) {
        for (const auto &[Dx, Dy] : List)
            PlotPixel(Box.Left + Dx, Box.Top + Dy, Colour, NotXor);
    };
    const bool Filled = FBrushStyle == TBrushStyle::Solid && FBrushColour != clNone;
    if (Filled)
        Plot(Pixels.Inside, ToQColor(FBrushColour).rgb());
    Plot(Pixels.Outline, ToQColor(FPenColour).rgb());
}

void TQtCanvas2D::FillRect(const TPixelRect &Box, TColor Colour)
{
    QPainter *P = Painter();
    if (!P || Colour == clNone)
        return;
    P->setCompositionMode(QPainter::CompositionMode_Source);
    P->fillRect(QRect(Box.Left, Box.Top, Box.Right - Box.Left, Box.Bottom - Box.Top),
                ToQColor(Colour));
    FPenDirty = true;
}

} // namespace orv
