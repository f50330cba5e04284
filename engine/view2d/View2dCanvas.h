#pragma once
// What the 2D view draws with: colours as the settings store them
// (0x00BBGGRR), pens with a raster mode (copy, or NotXor so that drawing a
// shape twice removes it), brushes, and a canvas of whole pixels that the
// window's pictures implement. The view's geometry computes every pixel
// position; a canvas only puts the shapes on its picture.

#include <cstdint>

namespace orv {

using TColor = int32_t;

constexpr TColor clNone = 536870911; // "no colour"
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlack = 0;
constexpr TColor clRed = 255;
constexpr TColor clBtnFace = 0xF0F0F0; // the button-face colour of the window scheme

enum class TPenMode : uint8_t { Copy, NotXor };
enum class TPenStyle : uint8_t { Solid, Dash };
enum class TBrushStyle : uint8_t { Clear, Solid };

struct TPixel {
    int X = 0;
    int Y = 0;
    bool operator==(const TPixel &) const = default;
};

// A rectangle of pixels, right and bottom excluded (as the platform's
// rectangles are).
struct TPixelRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TPixelRect &) const = default;
};

class TCanvas2D {
public:
    virtual ~TCanvas2D() = default;

    virtual void SetPen(TColor Colour, int Width, TPenStyle Style, TPenMode Mode) = 0;
    virtual void SetBrush(TColor Colour, TBrushStyle Style) = 0;
    // A straight line from From to To with the pen.
    virtual void Line(TPixel From, TPixel To) = 0;
    // The part of the ellipse in Box that runs anticlockwise on the screen
    // from the direction of From to the direction of To (both seen from the
    // box's centre); the whole ellipse when the two directions are the same.
    virtual void Arc(const TPixelRect &Box, TPixel From, TPixel To) = 0;
    // The ellipse in Box, outlined with the pen and filled with the brush.
    virtual void Ellipse(const TPixelRect &Box) = 0;
    // Fills the rectangle with a colour (no pen).
    virtual void FillRect(const TPixelRect &Box, TColor Colour) = 0;
    // From now on only the pixels inside Rect change (each shape keeps the
    // pixels it has there without the clip), until Unclip.
    virtual void ClipTo(const TPixelRect &Rect) {}
    virtual void Unclip() {}
};

} // namespace orv
