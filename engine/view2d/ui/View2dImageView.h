#pragma once
// The drawing window's three pictures as images: background (table,
// billet, animated cutter), drawing (elements; white is transparent) and
// the composite that is shown and saved. Without a screen it serves ncrun
// and the benchmarks; the window (Form2DWindow.h) builds on it.

#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/ui/View2dQtCanvas.h"

#include <QImage>

namespace orv {

class TImageView2D : public TForm2DView {
public:
    // ClientWidth x ClientHeight: the scroll area the billet is fitted in.
    explicit TImageView2D(int ClientWidth = 800, int ClientHeight = 600);
    ~TImageView2D() override;

    void ResizePictures(int Width, int Height) override;
    int PictureWidth() const override { return FBackground.width(); }
    int PictureHeight() const override { return FBackground.height(); }
    TCanvas2D &Background() override { return FBackgroundCanvas; }
    TCanvas2D &Drawing() override { return FDrawingCanvas; }
    void ClearDrawing() override;
    void Present(bool ShowDatum, TPixel Datum) override;
    bool SavePicture(const std::string &FileName) override;
    // Pictures of up to MaxPicturePixels pixels each (four of that size
    // are about a gigabyte).
    bool CanHoldPictures(long long Width, long long Height) const override;
    static constexpr long long MaxPicturePixels = 1LL << 26;
    int ScrollClientWidth() const override { return FClientWidth; }
    int ScrollClientHeight() const override { return FClientHeight; }

    // The composite as it is now (built when something changed).
    const QImage &Composite();

protected:
    // Called when the composite changed; the window repaints.
    virtual void CompositeChanged() {}
    int FClientWidth, FClientHeight;

private:
    void Compose();

    QImage FBackground, FDrawing, FComposite;
    TQtCanvas2D FBackgroundCanvas, FDrawingCanvas;
    bool FDirty = true;
    bool FShowDatum = false;
    TPixel FDatum;
};

// The datum symbol (32 x 32) centred on a pixel of the picture.
void PaintDatumSymbol(QImage &Image, TPixel Centre);

} // namespace orv
