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

    void Attach(TForm2D &Form) override { FForm = &Form; }
    bool PaintsOnDemand() const override { return true; }
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
    void SetScrollPosition(double AnchorX, double AnchorY) override;

    // The composite as it is now, the whole picture painted (built when
    // something changed).
    const QImage &Composite();
    // The composite as it is now within Part (the rest may be out of date
    // or not painted yet).
    const QImage &Composite(const QRect &Part);
    // The part of the picture the client area shows, scrolled as the last
    // layout asked.
    QRect ShownPart() const;

protected:
    // Called when the composite changed; the window repaints.
    virtual void CompositeChanged() {}
    int FClientWidth, FClientHeight;

private:
    void Compose(const QRect &Part);

    TForm2D *FForm = nullptr;
    QImage FBackground, FDrawing, FComposite;
    TQtCanvas2D FBackgroundCanvas, FDrawingCanvas;
    bool FDirty = true;
    QRect FComposed; // the part of the composite built since the last change
    double FAnchorX = 0, FAnchorY = 0;
    bool FShowDatum = false;
    TPixel FDatum;
};

// The datum symbol (32 x 32) centred on a pixel of the picture.
void PaintDatumSymbol(QImage &Image, TPixel Centre);

} // namespace orv
