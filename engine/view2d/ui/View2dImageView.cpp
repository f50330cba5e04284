#include "engine/view2d/ui/View2dImageView.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

namespace orv {

namespace {

constexpr QRgb White = 0xFFFFFFFF;

// Composite := the background with every pixel of the drawing that is not
// white over it (the composite's buffer is kept when its size is the same).
void ComposeInto(QImage &Composite, const QImage &Background, const QImage &Drawing)
{
    if (Composite.size() != Background.size() || Composite.format() != Background.format())
        Composite = QImage(Background.size(), Background.format());
    const int W = Background.width();
    const int OverW = std::min(W, Drawing.width());
    const int OverH = std::min(Background.height(), Drawing.height());
    for (int Y = 0; Y < Background.height(); ++Y) {
        const QRgb *Back = reinterpret_cast<const QRgb *>(Background.constScanLine(Y));
        QRgb *To = reinterpret_cast<QRgb *>(Composite.scanLine(Y));
        std::memcpy(To, Back, static_cast<size_t>(W) * sizeof(QRgb));
        if (Y >= OverH)
            continue;
        const QRgb *From = reinterpret_cast<const QRgb *>(Drawing.constScanLine(Y));
        for (int X = 0; X < OverW; ++X) {
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

void TImageView2D::ResizePictures(int Width, int Height)
{
    Width = std::max(0, Width);
    Height = std::max(0, Height);
    if (FBackground.size() == QSize(Width, Height) && FDrawing.size() == FBackground.size()) {
        FBackgroundCanvas.Flush(); // the same size again: the pictures are kept
        FDrawingCanvas.Flush();
        FBackground.fill(Qt::white);
        FDrawing.fill(Qt::white);
        FDirty = true;
        return;
    }
    FBackgroundCanvas.SetDevice(nullptr);
    FDrawingCanvas.SetDevice(nullptr);
    FBackground = QImage(Width, Height, QImage::Format_RGB32);
    FBackground.fill(Qt::white);
    FDrawing = QImage(Width, Height, QImage::Format_RGB32);
    FDrawing.fill(Qt::white);
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
    if (FDirty)
        Compose();
    return FComposite;
}

void TImageView2D::Compose()
{
    FBackgroundCanvas.Flush();
    FDrawingCanvas.Flush();
    ComposeInto(FComposite, FBackground, FDrawing);
    if (FShowDatum && !FComposite.isNull())
        PaintDatumSymbol(FComposite, FDatum);
    FDirty = false;
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
