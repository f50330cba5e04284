// The dot-matrix label's tables, custom font files and size rules, headless.
#include "components/lcd/LCDFonts.h"

#include "components/tests/LCDFontFile.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace orv {
namespace {

std::string GlyphRows(const uint8_t *Dots, int Columns, int Rows, uint8_t On = 1) {
    std::string s;
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c)
            s += Dots[r * Columns + c] == On ? '#' : '.';
        s += '/';
    }
    return s;
}

const char *KLetterA = ".###./#...#/#...#/#...#/#####/#...#/#...#/";

TEST(LCDFonts, TablesHaveTheirShapesTheLetterAAndABlankSpace) {
    struct Row {
        TDotMatrix Matrix;
        TLCDTableShape Shape;
    } rows[] = {
        {mat5x7, {5, 7, 32, 126}},   {mat5x8, {5, 8, 32, 126}},   {mat7x9, {7, 9, 32, 126}},
        {mat9x12, {9, 12, 32, 126}}, {Hitachi, {5, 7, 32, 223}},  {Hitachi2, {5, 10, 32, 223}},
        {dos5x7, {5, 7, 0, 255}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.Matrix);
        TLCDTableShape s = BuiltInShape(row.Matrix);
        EXPECT_EQ(s.Columns, row.Shape.Columns);
        EXPECT_EQ(s.Rows, row.Shape.Rows);
        EXPECT_EQ(s.First, row.Shape.First);
        EXPECT_EQ(s.Last, row.Shape.Last);
        const uint8_t *blank = BuiltInGlyph(row.Matrix, 32);
        for (int i = 0; i < s.Columns * s.Rows; ++i)
            ASSERT_EQ(blank[i], 0) << "dot " << i << " of the space";
        if (s.Columns == 5 && s.Rows == 7) {
            EXPECT_EQ(GlyphRows(BuiltInGlyph(row.Matrix, 'A'), 5, 7), KLetterA);
        }
    }
}

TEST(LCDFonts, TallTablesKeepTheLetterShapes) {
    // 5 x 8 and the Hitachi codes below 194 in 5 x 10: the 5 x 7 glyph, lower rows off.
    EXPECT_EQ(GlyphRows(BuiltInGlyph(mat5x8, 'A'), 5, 8), std::string(KLetterA) + "...../");
    EXPECT_EQ(GlyphRows(BuiltInGlyph(Hitachi2, 'A'), 5, 10),
              std::string(KLetterA) + "...../...../...../");
    // Code 200 has a glyph of its own in the PC set.
    const uint8_t *g = BuiltInGlyph(dos5x7, 200);
    int lit = 0;
    for (int i = 0; i < 35; ++i)
        lit += g[i];
    EXPECT_GT(lit, 0);
}

class LCDCustomFontTest : public ::testing::Test {
protected:
    // One file per test process: ctest runs the tests of this fixture side by side.
    std::string Path = ::testing::TempDir() + "lcd_font_" + std::to_string(::getpid()) + ".bin";
    void TearDown() override { std::remove(Path.c_str()); }

    void Write(int Cols, int Rows, int First, int Last, const std::string &Glyphs) {
        test::WriteLCDFont(Path, Cols, Rows, First, Last, Glyphs);
    }
};

TEST_F(LCDCustomFontTest, CodesOfTheFileShowTheirDotsOthersAreOff) {
    // 2 x 2 dots, codes 65 and 66: A is a diagonal, B is full.
    Write(2, 2, 65, 66, std::string("\0\1\1\0\0\0\0\0", 8));
    TLCDCustomFont font;
    ASSERT_TRUE(font.Load(Path));
    EXPECT_EQ(font.Shape().Columns, 2);
    EXPECT_EQ(font.Shape().Rows, 2);
    EXPECT_EQ(font.Shape().First, 65);
    EXPECT_EQ(font.Shape().Last, 66);
    EXPECT_EQ(GlyphRows(font.Glyph(65), 2, 2, 0), "#./.#/");
    EXPECT_EQ(GlyphRows(font.Glyph(66), 2, 2, 0), "##/##/");
    for (int code : {0, 32, 64, 67, 255})
        EXPECT_EQ(GlyphRows(font.Glyph(code), 2, 2, 0), "../../") << code;
}

TEST_F(LCDCustomFontTest, AFaultyFileIsNotLoadedAndTheFontKeepsItsGlyphs) {
    Write(2, 2, 65, 65, std::string("\0\1\1\0", 4));
    TLCDCustomFont font;
    ASSERT_TRUE(font.Load(Path));
    struct Row {
        const char *Name;
        int Cols, Rows, First, Last;
        size_t Bytes; // glyph bytes written
    } rows[] = {
        {"code below 0", 1, 1, -1, 0, 2},
        {"code above 255", 1, 1, 255, 256, 2},
        {"first after last", 1, 1, 66, 65, 4},
        {"no columns", 0, 1, 65, 65, 4},
        {"negative rows", 1, -3, 65, 65, 4},
        {"one byte short", 3, 3, 65, 66, 17},
        {"huge sizes", 0x10000, 0x10000, 0, 255, 4},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.Name);
        Write(row.Cols, row.Rows, row.First, row.Last, std::string(row.Bytes, '\0'));
        EXPECT_FALSE(font.Load(Path));
        EXPECT_EQ(font.Shape().Columns, 2);
        EXPECT_EQ(font.Shape().First, 65);
        EXPECT_EQ(GlyphRows(font.Glyph(65), 2, 2, 0), "#./.#/");
    }
    {
        std::ofstream f(Path, std::ios::binary | std::ios::trunc);
        f << "short";
    }
    EXPECT_FALSE(font.Load(Path)) << "header cut short";
    EXPECT_FALSE(font.Load(Path + ".missing"));
    EXPECT_TRUE(font.Loaded());
    // The exact size the header announces loads.
    Write(3, 3, 65, 66, std::string(18, '\1'));
    EXPECT_TRUE(font.Load(Path));
}

TEST(LCDGeometry, CellsControlSizesAndFittingCounts) {
    // 9 x 12 dots of one pixel, spacing 1, three characters, border space 3.
    EXPECT_EQ(LCDCellExtent(9, 1, 1), 17);
    EXPECT_EQ(LCDCellExtent(12, 1, 1), 23);
    EXPECT_EQ(LCDControlExtent(3, 2, 3, 17), 63);
    EXPECT_EQ(LCDControlExtent(1, 2, 3, 23), 31);
    // 5 x 7 at 2 x 2 resized to 120 wide: 7 characters, then 118 wide.
    EXPECT_EQ(LCDCellExtent(5, 2, 1), 14);
    EXPECT_EQ(LCDFittingCount(120, 2, 3, 14), 7);
    EXPECT_EQ(LCDControlExtent(7, 2, 3, 14), 118);
    // Too small for one: still one.
    EXPECT_EQ(LCDFittingCount(5, 2, 3, 14), 1);
    EXPECT_EQ(LCDShadedColour(0x12FF8845u), 0x127F4422u);
}

} // namespace
} // namespace orv
