#include "engine/ui/View2dQtCanvas.h"

#include <QPainter>
#include <QPen>

#include <cmath>

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

TQtCanvas2D::~TQtCanvas2D()
{
    Flush();
}

void TQtCanvas2D::SetDevice(QPaintDevice *Device)
{
    Flush();
    FDevice = Device;
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
    FPenColour = Colour;
    FPenWidth = Width;
    FPenStyle = Style;
    FPenMode = Mode;
    FPenDirty = true;
}

void TQtCanvas2D::SetBrush(TColor Colour, TBrushStyle Style)
{
    FBrushColour = Colour;
    FBrushStyle = Style;
    FPenDirty = true;
}

void TQtCanvas2D::Line(TPixel From, TPixel To)
{
    if (QPainter *P = Painter())
        P->drawLine(From.X, From.Y, To.X, To.Y);
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
    if (QPainter *P = Painter())
        P->drawEllipse(OutlineRect(Box));
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
