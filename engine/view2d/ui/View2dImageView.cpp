#include "engine/view2d/ui/View2dImageView.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

namespace orv {

namespace {

constexpr QRgb White = 0xFFFFFFFF;

// Composite := the background with every pixel of the drawing that is not
// white over it, within Part (the composite's buffer is kept when its size
// is the same).
void ComposeInto(QImage &Composite, const QImage &Background, const QImage &Drawing,
                 const QRect &Part)
{
    if (Composite.size() != Background.size() || Composite.format() != Background.format())
        Composite = QImage(Background.size(), Background.format());
    const QRect Rows = Part & Background.rect();
    if (Rows.isEmpty())
        return;
    const int Left = Rows.left(), W = Rows.width();
    const int OverRight = std::min(Rows.right() + 1, Drawing.width());
    const int OverH = std::min(Background.height(), Drawing.height());
    for (int Y = Rows.top(); Y <= Rows.bottom(); ++Y) {
        const QRgb *Back = reinterpret_cast<const QRgb *>(Background.constScanLine(Y));
        QRgb *To = reinterpret_cast<QRgb *>(Composite.scanLine(Y));
        std::memcpy(To + Left, Back + Left, static_cast<size_t>(W) * sizeof(QRgb));
        if (Y >= OverH)
            continue;
        const QRgb *From = reinterpret_cast<const QRgb *>(Drawing.constScanLine(Y));
        for (int X = Left; X < OverRight; ++X) {
            if (From[X] != White)
                To[X] = From[X];
        }
    }
}

} // namespace

void PaintDatumSymbol(QImage &Image, TPixel Centre)
{
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setPen(QPen(Qt::black, 1));
    P.setBrush(Qt::NoBrush);
    P.drawEllipse(QRect(Centre.X - 8, Centre.Y - 8, 16, 16));
    P.drawLine(Centre.X - 16, Centre.Y, Centre.X + 15, Centre.Y);
    P.drawLine(Centre.X, Centre.Y - 16, Centre.X, Centre.Y + 15);
}

TImageView2D::TImageView2D(int ClientWidth, int ClientHeight)
    : FClientWidth(ClientWidth), FClientHeight(ClientHeight)
{
}

TImageView2D::~TImageView2D()
{
    FBackgroundCanvas.SetDevice(nullptr);
    FDrawingCanvas.SetDevice(nullptr);
}

// The pictures' pixels are left as they are: the form paints each part
// before it is shown.
void TImageView2D::ResizePictures(int Width, int Height)
{
    Width = std::max(0, Width);
    Height = std::max(0, Height);
    if (FBackground.size() == QSize(Width, Height) && FDrawing.size() == FBackground.size()) {
        FBackgroundCanvas.Flush(); // the same size again: the pictures are kept
        FDrawingCanvas.Flush();
        FDirty = true;
        return;
    }
    FBackgroundCanvas.SetDevice(nullptr);
    FDrawingCanvas.SetDevice(nullptr);
    FBackground = QImage(Width, Height, QImage::Format_RGB32);
    FDrawing = QImage(Width, Height, QImage::Format_RGB32);
    FBackgroundCanvas.SetImage(&FBackground);
    FDrawingCanvas.SetImage(&FDrawing);
    FDirty = true;
}

void TImageView2D::ClearDrawing()
{
    FDrawingCanvas.Flush();
    FDrawing.fill(Qt::white);
    FDirty = true;
}

void TImageView2D::Present(bool ShowDatum, TPixel Datum)
{
    FShowDatum = ShowDatum;
    FDatum = Datum;
    FDirty = true;
    CompositeChanged();
}

const QImage &TImageView2D::Composite()
{
    return Composite(FBackground.rect());
}

const QImage &TImageView2D::Composite(const QRect &Part)
{
    const QRect Wanted = Part & FBackground.rect();
    if (FForm && !Wanted.isEmpty())
        FForm->PaintPart({Wanted.left(), Wanted.top(), Wanted.right() + 1, Wanted.bottom() + 1});
    if (FDirty || !FComposed.contains(Wanted))
        Compose(Wanted);
    return FComposite;
}

void TImageView2D::Compose(const QRect &Part)
{
    FBackgroundCanvas.Flush();
    FDrawingCanvas.Flush();
    ComposeInto(FComposite, FBackground, FDrawing, Part);
    if (FShowDatum && !FComposite.isNull())
        PaintDatumSymbol(FComposite, FDatum);
    FComposed = Part;
    FDirty = false;
}

void TImageView2D::SetScrollPosition(double AnchorX, double AnchorY)
{
    FAnchorX = AnchorX;
    FAnchorY = AnchorY;
}

QRect TImageView2D::ShownPart() const
{
    const int W = PictureWidth(), H = PictureHeight();
    const int ShownW = std::min(W, FClientWidth), ShownH = std::min(H, FClientHeight);
    return QRect(AnchoredScrollPosition(W, ShownW, FAnchorX),
                 AnchoredScrollPosition(H, ShownH, FAnchorY), ShownW, ShownH);
}

bool TImageView2D::CanHoldPictures(long long Width, long long Height) const
{
    return Width >= 0 && Height >= 0 && Width * Height <= MaxPicturePixels;
}

bool TImageView2D::SavePicture(const std::string &FileName)
{
    const QImage &Picture = Composite();
    if (Picture.isNull())
        return false;
    return Picture.save(QString::fromStdString(FileName), "BMP");
}

} // namespace orv
