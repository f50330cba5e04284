#pragma once
// Where a toolbar button puts its glyph, caption and drop-down arrow inside
// its content rectangle (pixels), and which strip image a draw state shows.
// The caption is measured by the caller's text-measuring routine.

#include "components/toolbar/TbTypes.h"

#include <functional>

namespace orv {

// Measures the caption inside a rectangle MaxWidth wide; WordBreak allows
// several lines. Returns the text's width and height.
using TMeasureText = std::function<TSize(int MaxWidth, bool WordBreak)>;

struct TGlyphLayoutInput {
    TRect Client;          // content rectangle
    TSize GlyphSize;       // one image of the strip (or of the image list)
    bool ShowGlyph = true; // DisplayMode shows the glyph
    bool ShowText = true;  // DisplayMode shows the caption
    bool HasCaption = false;
    bool ShowArrow = false; // drop-down arrow drawn beside the content
    TButtonLayout Layout = blGlyphLeft;
    int Margin = -1; // -1 centres the content
    int Spacing = 4; // -1 spreads the free space evenly
    bool WordWrap = false;
    TPoint Offset; // pushed offset, (1, 1) while pushed
};

struct TGlyphLayoutResult {
    TPoint GlyphPos;
    TRect TextRect;
    TPoint ArrowPos;
    TSize GlyphSize; // zero when no glyph is shown
};

constexpr int DropdownArrowWidth = 9;
constexpr int DropdownArrowHeight = 3;

TGlyphLayoutResult CalcButtonLayout(const TGlyphLayoutInput &In, const TMeasureText &Measure);

// Images in a strip Width x Height: the quotient when the width is a whole
// multiple of a non-zero height below 6, else 1; always 1 with an image list.
int DeriveNumGlyphs(int Width, int Height, bool UsesImageList);

// NumGlyphs as the writer stores it: 0 becomes 1, above 5 becomes 5.
int ClampNumGlyphs(int Value);

// Strip index of a draw state: bsDisabled keeps 1; another state at or above
// NumGlyphs shows image 0.
int GlyphIndexOfState(TButtonDrawState State, int NumGlyphs);

} // namespace orv
