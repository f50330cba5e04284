#pragma once
// The 2D view's canvas on a Qt paint device (a picture of the drawing
// window, or a widget while it paints): the view's shapes with QPainter,
// no antialiasing, the NotXor pen as a raster operation.

#include "engine/View2dCanvas.h"

#include <memory>

class QPaintDevice;
class QPainter;
class QColor;

namespace orv {

QColor ToQColor(TColor Colour);

class TQtCanvas2D : public TCanvas2D {
public:
    explicit TQtCanvas2D(QPaintDevice *Device = nullptr);
    ~TQtCanvas2D() override;

    // Ends painting on the present device and paints on another from the
    // next shape on (null: none).
    void SetDevice(QPaintDevice *Device);
    // Ends painting, so that the device can be read, resized or saved.
    void Flush();

    void SetPen(TColor Colour, int Width, TPenStyle Style, TPenMode Mode) override;
    void SetBrush(TColor Colour, TBrushStyle Style) override;
    void Line(TPixel From, TPixel To) override;
    void Arc(const TPixelRect &Box, TPixel From, TPixel To) override;
    void Ellipse(const TPixelRect &Box) override;
    void FillRect(const TPixelRect &Box, TColor Colour) override;

private:
    QPainter *Painter();
    void ApplyPen();

    QPaintDevice *FDevice = nullptr;
    std::unique_ptr<QPainter> FPainter;
    TColor FPenColour = clBlack;
    int FPenWidth = 1;
    TPenStyle FPenStyle = TPenStyle::Solid;
    TPenMode FPenMode = TPenMode::Copy;
    TColor FBrushColour = clWhite;
    TBrushStyle FBrushStyle = TBrushStyle::Clear;
    bool FPenDirty = true;
};

} // namespace orv
