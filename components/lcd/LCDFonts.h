#pragma once
// The character tables and geometry of the dot-matrix label: the seven
// built-in tables (one byte per dot, 1 = on), the custom font read from a
// file (one byte per dot, 0 = on) and the size rules of the control. No Qt
// here; the widget (ui/LCD_Lab) draws what these functions describe.

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

enum TDotMatrix { mat5x7, mat5x8, mat7x9, mat9x12, Hitachi, Hitachi2, dos5x7, CustomFont };

// pix1x1 ... pix16x16: a dot edge of ordinal + 1 pixels; pixCustom: PixelWidth x PixelHeight.
enum TPixelSize {
    pix1x1, pix2x2, pix3x3, pix4x4, pix5x5, pix6x6, pix7x7, pix8x8,
    pix9x9, pix10x10, pix11x11, pix12x12, pix13x13, pix14x14, pix15x15, pix16x16,
    pixCustom
};

enum TPixelShape { spSquare, spShaped, spRound };
enum TMyBorder { frRaised, frLowered, frSingle, frNone };

// Dot columns and rows of a character and the lowest and highest code shown.
struct TLCDTableShape {
    int Columns = 5;
    int Rows = 7;
    int First = 32;
    int Last = 126;
};

// The shape of a built-in table (not CustomFont).
TLCDTableShape BuiltInShape(TDotMatrix Matrix);

// The dots of Code in a built-in table, Columns x Rows bytes row by row from
// the top (1 = on). Code must lie in the table's range.
const uint8_t *BuiltInGlyph(TDotMatrix Matrix, int Code);

// A custom font file: four little-endian 32-bit integers (dot columns, dot
// rows, first code, last code), then Columns x Rows bytes per code from
// first to last (0 = on, 1 = off). Codes the file does not hold show off.
class TLCDCustomFont {
public:
    // Reads FileName. A file that cannot be opened, whose codes lie outside
    // 0..255 (or first after last), whose sizes are not positive or which
    // holds fewer glyph bytes than its header announces is not loaded:
    // the result is false and the font keeps what it had.
    bool Load(const std::string &FileName);
    bool Loaded() const { return !FGlyphs.empty(); }
    const TLCDTableShape &Shape() const { return FShape; }
    // The raw dot bytes of Code (0..255), Columns x Rows of them; all 1
    // (off) for a code the file does not hold. Only valid once loaded.
    const uint8_t *Glyph(int Code) const;

private:
    TLCDTableShape FShape;
    std::vector<uint8_t> FGlyphs; // the file's glyphs, first to last
    std::vector<uint8_t> FOff;    // every dot off, for the codes the file lacks
};

// Size of a character cell in pixels: Dots x DotSize + (Dots - 1) x Spacing.
int LCDCellExtent(int Dots, int DotSize, int PixelSpacing);

// Characters (or lines) that fit a control extent: (Extent + Gap - 2 x Border)
// div (Gap + Cell), at least 1.
int LCDFittingCount(int Extent, int Gap, int BorderSpace, int Cell);

// The exact control extent for Count characters (or lines):
// 2 x Border + (Count - 1) x Gap + Count x Cell + 2.
int LCDControlExtent(int Count, int Gap, int BorderSpace, int Cell);

// The shaded colour of a lit dot: red, green and blue halved, top byte kept.
uint32_t LCDShadedColour(uint32_t Colour);

} // namespace orv
