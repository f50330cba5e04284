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
    FStamp.Valid = false; // the image may change elsewhere
    if (FPainter)
        FPainter->end();
    FPainter.reset();
    FPenDirty = true;
    FBits = nullptr; // the image may be shared, resized or replaced until the next shape
}

QPainter *TQtCanvas2D::Painter()
{
    FStamp.Valid = false; // whatever QPainter draws may cover it
    if (!FPainter && FDevice && FDevice->width() > 0 && FDevice->height() > 0) {
        FPainter = std::make_unique<QPainter>(FDevice);
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        ApplyClip();
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
    FMinX = FClipped ? std::max(0, FClip.Left) : 0;
    FMinY = FClipped ? std::max(0, FClip.Top) : 0;
    FMaxX = FClipped ? std::min(FImage->width(), FClip.Right) : FImage->width();
    FMaxY = FClipped ? std::min(FImage->height(), FClip.Bottom) : FImage->height();
}

void TQtCanvas2D::ClipTo(const TPixelRect &Rect)
{
    FStamp.Valid = false;
    FClipped = true;
    FClip = Rect;
    FBits = nullptr; // the plotting limits are taken again
    ApplyClip();
}

void TQtCanvas2D::Unclip()
{
    FStamp.Valid = false;
    FClipped = false;
    FBits = nullptr;
    ApplyClip();
}

void TQtCanvas2D::ApplyClip()
{
    if (!FPainter)
        return;
    if (FClipped)
        FPainter->setClipRect(
            QRect(FClip.Left, FClip.Top, FClip.Right - FClip.Left, FClip.Bottom - FClip.Top));
    else
        FPainter->setClipping(false);
}

inline void TQtCanvas2D::PlotPixel(int X, int Y, QRgb Colour, bool NotXor)
{
    if (X < FMinX || Y < FMinY || X >= FMaxX || Y >= FMaxY)
        return;
    QRgb *Pixel = reinterpret_cast<QRgb *>(FBits + static_cast<ptrdiff_t>(Y) * FStride) + X;
    *Pixel = NotXor ? (~(Colour ^ *Pixel) & 0xFFFFFF) | 0xFF000000 : Colour;
}

bool TQtCanvas2D::InsideImage(const TPixelRect &Box, int Margin) const
{
    return Box.Left - Margin >= FMinX && Box.Top - Margin >= FMinY &&
           Box.Right + Margin <= FMaxX && Box.Bottom + Margin <= FMaxY;
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
    LineOverStamp(From, To, Colour, NotXor);
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
    const bool Inside = Box.Left + Arc->Reach.Left >= FMinX &&
                        Box.Top + Arc->Reach.Top >= FMinY && Box.Left + Arc->Reach.Right < FMaxX &&
                        Box.Top + Arc->Reach.Bottom < FMaxY;
    if (!Inside)
        return false;
    const QRgb Colour = PixelOf(FPenColour);
    ShapeOverStamp({Box.Left + Arc->Reach.Left, Box.Top + Arc->Reach.Top,
                    Box.Left + Arc->Reach.Right + 1, Box.Top + Arc->Reach.Bottom + 1},
                   Colour, false);
    PlotInside(Arc->Pixels, {Box.Left, Box.Top}, Colour, false);
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
    Pixels.MaskWidth = Scratch.width();
    Pixels.MaskHeight = Scratch.height();
    Pixels.Mask.assign(static_cast<size_t>(Pixels.MaskWidth) * Pixels.MaskHeight, 0);
    for (int Y = 0; Y < Scratch.height(); ++Y) {
        for (int X = 0; X < Scratch.width(); ++X) {
            const QRgb C = Scratch.pixel(X, Y) & 0xFFFFFF;
            unsigned char &Mark = Pixels.Mask[static_cast<size_t>(Y) * Pixels.MaskWidth + X];
            if (C == 0) {
                Pixels.Outline.emplace_back(X - Margin, Y - Margin);
                Mark = 1;
            } else if (C == 0xFF0000) {
                Pixels.Inside.emplace_back(X - Margin, Y - Margin);
                Mark = 2;
            }
        }
    }
    return Pixels;
}

// Pixels of the stamp's own pen colour over its unfilled outline leave it
// as it is.
bool TQtCanvas2D::LeavesStamp(QRgb Colour, bool NotXor) const
{
    return !FStamp.Valid || (!NotXor && !FStamp.Filled && Colour == FStamp.Pen);
}

bool TQtCanvas2D::NearStamp(const TPixelRect &Reach) const
{
    const TPixelRect &B = FStamp.Box;
    const int M = EllipseMargin;
    return Reach.Right > B.Left - M && Reach.Left < B.Right + M && Reach.Bottom > B.Top - M &&
           Reach.Top < B.Bottom + M;
}

void TQtCanvas2D::ShapeOverStamp(const TPixelRect &Reach, QRgb Colour, bool NotXor)
{
    if (!LeavesStamp(Colour, NotXor) && NearStamp(Reach))
        FStamp.Valid = false;
}

// The line's pixels (as PlotLine walks them) against the stamp's own.
void TQtCanvas2D::LineOverStamp(TPixel From, TPixel To, QRgb Colour, bool NotXor)
{
    if (LeavesStamp(Colour, NotXor))
        return;
    const TPixelRect Reach{std::min(From.X, To.X), std::min(From.Y, To.Y),
                           std::max(From.X, To.X) + 1, std::max(From.Y, To.Y) + 1};
    if (!NearStamp(Reach))
        return;
    constexpr int LongestWalked = 64;
    const int Dx = std::abs(To.X - From.X), Sx = From.X < To.X ? 1 : -1;
    const int Dy = -std::abs(To.Y - From.Y), Sy = From.Y < To.Y ? 1 : -1;
    if (std::max(Dx, -Dy) > LongestWalked) {
        FStamp.Valid = false;
        return;
    }
    const TEllipsePixels &P = *FStamp.Pixels;
    const int OriginX = FStamp.Box.Left - EllipseMargin, OriginY = FStamp.Box.Top - EllipseMargin;
    const unsigned char Own = FStamp.Filled ? 2 : 1; // marks up to this are the stamp's
    int Error = Dx + Dy;
    int X = From.X, Y = From.Y;
    for (;;) {
        const int Mx = X - OriginX, My = Y - OriginY;
        if (Mx >= 0 && My >= 0 && Mx < P.MaskWidth && My < P.MaskHeight) {
            const unsigned char Mark = P.Mask[static_cast<size_t>(My) * P.MaskWidth + Mx];
            if (Mark != 0 && Mark <= Own) {
                FStamp.Valid = false;
                return;
            }
        }
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

void TQtCanvas2D::PlotEllipse(const TPixelRect &Box)
{
    BeginPlot();
    const int W = Box.Right - Box.Left;
    const int H = Box.Bottom - Box.Top;
    if (W <= 0 || H <= 0)
        return;
    const TEllipsePixels &Pixels = EllipsePixels(W, H);
    const bool NotXor = FPenMode == TPenMode::NotXor;
    const bool Filled = FBrushStyle == TBrushStyle::Solid && FBrushColour != clNone;
    const QRgb Pen = PixelOf(FPenColour), Brush = Filled ? PixelOf(FBrushColour) : 0;
    if (!NotXor && FStamp.Valid && FStamp.Box == Box && FStamp.Pen == Pen &&
        FStamp.Filled == Filled && FStamp.Brush == Brush)
        return; // its pixels are there already
    const bool Inside = InsideImage(Box, EllipseMargin);
    auto Plot = [&](const std::vector<std::pair<int, int>> &List, QRgb Colour) {
        if (Inside) {
            PlotInside(List, {Box.Left, Box.Top}, Colour, NotXor);
            return;
        }
        for (const auto &[Dx, Dy] : List)
            PlotPixel(Box.Left + Dx, Box.Top + Dy, Colour, NotXor);
    };
    if (Filled)
        Plot(Pixels.Inside, Brush);
    Plot(Pixels.Outline, Pen);
    if (NotXor)
        FStamp.Valid = false;
    else
        FStamp = {true, Box, Pen, Brush, Filled, &Pixels};
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
