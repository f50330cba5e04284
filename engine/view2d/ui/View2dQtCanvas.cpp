#include "engine/view2d/ui/View2dQtCanvas.h"

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

// The image's 0xAARRGGBB pixel of a colour kept as 0x00BBGGRR.
QRgb PixelOf(TColor Colour)
{
    const auto C = static_cast<uint32_t>(Colour);
    return 0xFF000000u | ((C & 0xFFu) << 16) | (C & 0xFF00u) | ((C >> 16) & 0xFFu);
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

TQtCanvas2D::TQtCanvas2D(QImage *Image) : FImage(Image), FDevice(Image) {}

TQtCanvas2D::~TQtCanvas2D()
{
    Flush();
}

void TQtCanvas2D::SetDevice(QPaintDevice *Device)
{
    Flush();
    FDevice = Device;
    FImage = nullptr;
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
    FBits = nullptr; // the image may be shared, resized or replaced until the next shape
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

// The image is written directly beside an open painter: painting on an
// image goes straight to its pixels, so both see each other's work.
void TQtCanvas2D::BeginPlot()
{
    if (FBits)
        return; // nothing but this canvas touched the image since
    FBits = FImage->bits();
    FStride = FImage->bytesPerLine();
    FWidth = FImage->width();
    FHeight = FImage->height();
}

inline void TQtCanvas2D::PlotPixel(int X, int Y, QRgb Colour, bool NotXor)
{
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return;
    QRgb *Pixel = reinterpret_cast<QRgb *>(FBits + static_cast<ptrdiff_t>(Y) * FStride) + X;
    *Pixel = NotXor ? (~(Colour ^ *Pixel) & 0xFFFFFF) | 0xFF000000 : Colour;
}

bool TQtCanvas2D::InsideImage(const TPixelRect &Box, int Margin) const
{
    return Box.Left - Margin >= 0 && Box.Top - Margin >= 0 && Box.Right + Margin <= FWidth &&
           Box.Bottom + Margin <= FHeight;
}

// Pixels of a cached shape at an offset that keeps them all on the image.
void TQtCanvas2D::PlotInside(const std::vector<std::pair<int, int>> &List, TPixel At, QRgb Colour,
                             bool NotXor)
{
    unsigned char *Origin = FBits + static_cast<ptrdiff_t>(At.Y) * FStride +
                            static_cast<ptrdiff_t>(At.X) * sizeof(QRgb);
    if (NotXor) {
        for (const auto &[Dx, Dy] : List) {
            QRgb *Pixel = reinterpret_cast<QRgb *>(Origin + Dy * FStride) + Dx;
            *Pixel = (~(Colour ^ *Pixel) & 0xFFFFFF) | 0xFF000000;
        }
        return;
    }
    for (const auto &[Dx, Dy] : List)
        *(reinterpret_cast<QRgb *>(Origin + Dy * FStride) + Dx) = Colour;
}

// A thin line, both ends included, one pixel a step along its longer axis.
void TQtCanvas2D::PlotLine(TPixel From, TPixel To)
{
    BeginPlot();
    const QRgb Colour = PixelOf(FPenColour);
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
    const double Start = ScreenDegrees(Box, From);
    double Span = ScreenDegrees(Box, To) - Start;
    while (Span <= 0)
        Span += 360; // the same direction twice: the whole ellipse
    const int Start16 = static_cast<int>(std::lround(Start * 16));
    const int Span16 = static_cast<int>(std::lround(Span * 16));
    if (CanPlotArc() && PlotCachedArc(Box, Start16, Span16))
        return;
    if (QPainter *P = Painter())
        P->drawArc(OutlineRect(Box), Start16, Span16);
}

bool TQtCanvas2D::CanPlotArc() const
{
    return CanPlotEllipse() && FPenMode == TPenMode::Copy;
}

// An arc met before is put down from the pixels QPainter gave it, when
// they all fall on the image (clipping is QPainter's business).
bool TQtCanvas2D::PlotCachedArc(const TPixelRect &Box, int Start16, int Span16)
{
    const TArcPixels *Arc = ArcPixels(Box.Right - Box.Left, Box.Bottom - Box.Top, Start16, Span16);
    if (!Arc)
        return false;
    BeginPlot();
    const bool Inside = Box.Left + Arc->Reach.Left >= 0 && Box.Top + Arc->Reach.Top >= 0 &&
                        Box.Left + Arc->Reach.Right < FWidth &&
                        Box.Top + Arc->Reach.Bottom < FHeight;
    if (!Inside)
        return false;
    PlotInside(Arc->Pixels, {Box.Left, Box.Top}, PixelOf(FPenColour), false);
    return true;
}

// The pixels of an arc of that box size and those angles, kept from its
// second drawing on (most arcs of a program are met once); null while
// unknown or not kept.
const TQtCanvas2D::TArcPixels *TQtCanvas2D::ArcPixels(int Width, int Height, int Start16,
                                                      int Span16)
{
    if (Width > MaxCachedArc || Height > MaxCachedArc)
        return nullptr;
    if (FArcs.size() >= MaxCachedArcCount)
        FArcs.clear();
    TArcPixels &Arc = FArcs[{Width, Height, Start16, Span16}];
    if (++Arc.Seen == 2)
        CaptureArc(Arc, Width, Height, Start16, Span16);
    return Arc.Usable ? &Arc : nullptr;
}

void TQtCanvas2D::CaptureArc(TArcPixels &Arc, int Width, int Height, int Start16, int Span16)
{
    const int Margin = ArcMargin;
    const int W = std::max(Width, 0) + 2 * Margin, H = std::max(Height, 0) + 2 * Margin;
    QImage Scratch(W, H, QImage::Format_RGB32);
    Scratch.fill(Qt::white);
    {
        QPainter P(&Scratch);
        P.setRenderHint(QPainter::Antialiasing, false);
        QPen Pen(Qt::black, 1);
        Pen.setCapStyle(Qt::FlatCap); // as the canvas's thin pen
        Pen.setJoinStyle(Qt::RoundJoin);
        P.setPen(Pen);
        P.drawArc(OutlineRect({Margin, Margin, Margin + Width, Margin + Height}), Start16, Span16);
    }
    Arc.Reach = {W, H, -W, -H};
    bool OnBorder = false;
    for (int Y = 0; Y < H; ++Y) {
        const QRgb *Row = reinterpret_cast<const QRgb *>(Scratch.constScanLine(Y));
        for (int X = 0; X < W; ++X) {
            if ((Row[X] & 0xFFFFFF) != 0)
                continue;
            OnBorder = OnBorder || X == 0 || Y == 0 || X == W - 1 || Y == H - 1;
            Arc.Pixels.emplace_back(X - Margin, Y - Margin);
            Arc.Reach = {std::min(Arc.Reach.Left, X - Margin), std::min(Arc.Reach.Top, Y - Margin),
                         std::max(Arc.Reach.Right, X - Margin),
                         std::max(Arc.Reach.Bottom, Y - Margin)};
        }
    }
    // Pixels on the scratch border may have had neighbours cut off.
    Arc.Usable = !OnBorder && !Arc.Pixels.empty();
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
    // Pixels already written directly: the format was checked then.
    const bool Plain = FImage && (FBits || FImage->format() == QImage::Format_RGB32);
    return Plain && FPenWidth <= 1 &&
           FPenStyle == TPenStyle::Solid && FPenColour != clNone;
}

// The pixels QPainter gives an ellipse of that box size, found once by
// drawing it on a scratch picture: outline in black, inside in red.
const TQtCanvas2D::TEllipsePixels &TQtCanvas2D::EllipsePixels(int Width, int Height)
{
    const auto Key = std::make_pair(Width, Height);
    if (FLastEllipse && FLastEllipseKey == Key)
        return *FLastEllipse; // a list's circles are mostly of one size
    FLastEllipseKey = Key;
    const auto Found = FEllipses.find(Key);
    if (Found != FEllipses.end()) {
        FLastEllipse = &Found->second;
        return Found->second;
    }
    TEllipsePixels &Pixels = FEllipses[Key];
    FLastEllipse = &Pixels;
    const int Margin = EllipseMargin;
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
    const bool Inside = InsideImage(Box, EllipseMargin);
    auto Plot = [&](const std::vector<std::pair<int, int>> &List, QRgb Colour) {
        if (Inside) {
            PlotInside(List, {Box.Left, Box.Top}, Colour, NotXor);
            return;
        }
        for (const auto &[Dx, Dy] : List)
            PlotPixel(Box.Left + Dx, Box.Top + Dy, Colour, NotXor);
    };
    const bool Filled = FBrushStyle == TBrushStyle::Solid && FBrushColour != clNone;
    if (Filled)
        Plot(Pixels.Inside, PixelOf(FBrushColour));
    Plot(Pixels.Outline, PixelOf(FPenColour));
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
