#include "components/toolbar/ui/TbPaint.h"

#include "components/toolbar/TbGlyphImage.h"

#include <QBrush>
#include <QPainter>
#include <QPixmap>

#include <memory>

namespace orv {

namespace {

std::unique_ptr<QBrush> GDither;
TSysColors GDitherColours;

void Ring(QPainter &P, const QRect &R, QColor TopLeft, QColor BottomRight)
{
    const int l = R.left(), t = R.top(), r = R.left() + R.width() - 1, b = R.top() + R.height() - 1;
    P.setPen(TopLeft);
    P.drawLine(l, b - 1, l, t);
    P.drawLine(l, t, r - 1, t);
    P.setPen(BottomRight);
    P.drawLine(l, b, r, b);
    P.drawLine(r, b, r, t);
}

} // namespace

QColor SysColor(uint32_t Rgb) { return QColor(QRgb(0xFF000000u | Rgb)); }

void DrawEdge(QPainter &P, const QRect &R, TEdgeKind Kind)
{
    const TSysColors &c = SysColors();
    const QColor face = SysColor(c.BtnFace), hi = SysColor(c.BtnHighlight);
    const QColor sh = SysColor(c.BtnShadow), dk = SysColor(c.BtnDkShadow);
    P.save();
    switch (Kind) {
    case ekRaised:
        Ring(P, R, face, dk);
        Ring(P, R.adjusted(1, 1, -1, -1), hi, sh);
        break;
    case ekSunken:
        Ring(P, R, sh, hi);
        Ring(P, R.adjusted(1, 1, -1, -1), dk, face);
        break;
    case ekRaisedInner:
        Ring(P, R, hi, sh);
        break;
    case ekSunkenOuter:
        Ring(P, R, sh, hi);
        break;
    }
    P.restore();
}

const QBrush &DitherBrush()
{
    if (GDither && !(GDitherColours == SysColors()))
        GDither.reset();
    if (!GDither) {
        QImage img(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                img.setPixel(x, y,
                             ((x + y) % 2 == 0) ? SysColor(SysColors().BtnHighlight).rgb()
                                                : SysColor(SysColors().BtnFace).rgb());
        GDither = std::make_unique<QBrush>(QPixmap::fromImage(img));
        GDitherColours = SysColors();
    }
    return *GDither;
}

void DropDitherBrush() { GDither.reset(); }

QImage ToQImage(const TBitmap32 &Bitmap)
{
    QImage img(Bitmap.Width, Bitmap.Height, QImage::Format_ARGB32);
    for (int y = 0; y < Bitmap.Height; ++y)
        for (int x = 0; x < Bitmap.Width; ++x)
            img.setPixel(x, y, Bitmap.Pixel(x, y));
    return img;
}

TBitmap32 FromQImage(const QImage &Image)
{
    const QImage img = Image.convertToFormat(QImage::Format_ARGB32);
    TBitmap32 b(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            b.SetPixel(x, y, 0xFF000000u | (img.pixel(x, y) & 0xFFFFFFu));
    return b;
}

QRect ToQRect(const TRect &R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }

TRect FromQRect(const QRect &R) { return TRect::FromSize(R.x(), R.y(), R.width(), R.height()); }

} // namespace orv
