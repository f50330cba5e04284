#pragma once
// The 2D view's canvas on a Qt paint device (a picture of the drawing
// window, or a widget while it paints): the view's shapes with QPainter,
// no antialiasing, the NotXor pen as a raster operation.

#include "engine/view2d/View2dCanvas.h"

#include <array>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class QImage;
class QPaintDevice;
class QPainter;
class QColor;

namespace orv {

QColor ToQColor(TColor Colour);

class TQtCanvas2D : public TCanvas2D {
public:
    explicit TQtCanvas2D(QPaintDevice *Device = nullptr);
    // A canvas on an image draws its thin ellipses from a cache of their
    // pixels (the same pixels QPainter gives them), which keeps a redraw of
    // a long list fast.
    explicit TQtCanvas2D(QImage *Image);
    ~TQtCanvas2D() override;

    // Ends painting on the present device and paints on another from the
    // next shape on (null: none).
    void SetDevice(QPaintDevice *Device);
    void SetImage(QImage *Image);
    // Ends painting, so that the device can be read, resized or saved.
    void Flush();

    void SetPen(TColor Colour, int Width, TPenStyle Style, TPenMode Mode) override;
    void SetBrush(TColor Colour, TBrushStyle Style) override;
    void Line(TPixel From, TPixel To) override;
    void Arc(const TPixelRect &Box, TPixel From, TPixel To) override;
    void Ellipse(const TPixelRect &Box) override;
    void FillRect(const TPixelRect &Box, TColor Colour) override;
    void ClipTo(const TPixelRect &Rect) override;
    void Unclip() override;

private:
    // Pixels of an ellipse outline and of its inside, relative to its box.
    struct TEllipsePixels {
        std::vector<std::pair<int, int>> Outline, Inside;
        // Per pixel of the box and its margin: 1 outline, 2 inside, 0 neither.
        std::vector<unsigned char> Mask;
        int MaskWidth = 0, MaskHeight = 0;
    };
    // The last ellipse plotted with the copy pen, while its pixels on the
    // image are still the ones it gave them: the same ellipse again would
    // change nothing (a path's elements meet at their cutter circles).
    struct TStamp {
        bool Valid = false;
        TPixelRect Box;
        unsigned int Pen = 0, Brush = 0;
        bool Filled = false;
        const TEllipsePixels *Pixels = nullptr;
    };
    // Pixels of an arc, relative to its box; Reach is their extent, both
    // ends included.
    struct TArcPixels {
        int Seen = 0;
        bool Usable = false;
        std::vector<std::pair<int, int>> Pixels;
        TPixelRect Reach;
    };
    QPainter *Painter();
    bool CanPlotArc() const;
    bool PlotCachedArc(const TPixelRect &Box, int Start16, int Span16);
    const TArcPixels *ArcPixels(int Width, int Height, int Start16, int Span16);
    static void CaptureArc(TArcPixels &Arc, int Width, int Height, int Start16, int Span16);
    void ApplyPen();
    bool CanPlotEllipse() const;
    const TEllipsePixels &EllipsePixels(int Width, int Height);
    void PlotEllipse(const TPixelRect &Box);
    void PlotLine(TPixel From, TPixel To);
    void PlotPixel(int X, int Y, unsigned int Colour, bool NotXor);
    bool InsideImage(const TPixelRect &Box, int Margin) const;
    void PlotInside(const std::vector<std::pair<int, int>> &List, TPixel At, unsigned int Colour,
                    bool NotXor);
    void BeginPlot();
    void ApplyClip();
    // Forgets the stamp when pixels in Colour (NotXor: any) from From to To
    // may have changed some of its pixels.
    void LineOverStamp(TPixel From, TPixel To, unsigned int Colour, bool NotXor);
    void ShapeOverStamp(const TPixelRect &Reach, unsigned int Colour, bool NotXor);
    bool LeavesStamp(unsigned int Colour, bool NotXor) const;
    bool NearStamp(const TPixelRect &Reach) const;

    // An ellipse's pixels reach this far outside its box at most.
    static constexpr int EllipseMargin = 2;
    // Arcs kept as pixels: boxes up to this size, this many at most.
    static constexpr int ArcMargin = 4;
    static constexpr int MaxCachedArc = 128;
    static constexpr size_t MaxCachedArcCount = 4096;

    QImage *FImage = nullptr;
    unsigned char *FBits = nullptr; // the image's pixels while plotting
    long long FStride = 0;
    // The pixels plotted directly may change: the image, within the clip.
    int FMinX = 0, FMinY = 0, FMaxX = 0, FMaxY = 0;
    bool FClipped = false;
    TPixelRect FClip;
    std::map<std::pair<int, int>, TEllipsePixels> FEllipses;
    std::map<std::array<int, 4>, TArcPixels> FArcs;
    std::pair<int, int> FLastEllipseKey{-1, -1};
    TStamp FStamp;
    const TEllipsePixels *FLastEllipse = nullptr;
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
