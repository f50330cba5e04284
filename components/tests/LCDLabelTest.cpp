// The dot-matrix label on the offscreen platform: its size from the cells,
// the counts a resize gives, rejected property values, and its dots compared
// pixel for pixel with the tables on small displays.
#include "components/lcd/ui/LCD_Lab.h"

#include "platform/MessageService.h"

#include "components/tests/LCDFontFile.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include <QImage>

#include <cstdio>
#include <fstream>
#include <functional>

namespace orv {
namespace {

constexpr uint32_t KOn = 0x0000FF, KOff = 0x00FF00, KBack = 0xFF0000;

QRgb Rgb(uint32_t C) {
    return qRgb(int(C & 0xFF), int(C >> 8 & 0xFF), int(C >> 16 & 0xFF));
}

// One-pixel dots without gaps or border, so dot (c, r) of character n on
// line l sits at pixel (1 + n x (columns + 1) + c, 1 + l x (rows + 1) + r).
void Plain(TLCDLabel &L, TDotMatrix Matrix, int Chars, int Lines = 1) {
    L.SetDotMatrix(Matrix);
    L.SetPixelSize(pix1x1);
    L.SetPixelSpacing(0);
    L.SetBorderStyle(frNone);
    L.SetBorderSpace(0);
    L.SetCharSpacing(1);
    L.SetLineSpacing(1);
    L.SetNoOfChars(Chars);
    L.SetTextLines(Lines);
    L.SetPixelOn(KOn);
    L.SetPixelOff(KOff);
    L.SetBackGround(KBack);
}

QImage Shot(TLCDLabel &L) {
    return L.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The dots of one cell as rows of '#' (on), '.' (off) and '?' (neither).
std::string Cell(const QImage &Image, int Left, int Top, int Columns, int Rows) {
    std::string s;
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            QRgb p = Image.pixel(Left + c, Top + r);
            s += p == Rgb(KOn) ? '#' : p == Rgb(KOff) ? '.' : '?';
        }
        s += '/';
    }
    return s;
}

std::string Blank(int Columns, int Rows) {
    std::string s;
    for (int r = 0; r < Rows; ++r)
        s += std::string(size_t(Columns), '.') + '/';
    return s;
}

const char *KLetterA = ".###./#...#/#...#/#...#/#####/#...#/#...#/";

TEST(LCDLabel, DefaultsSizeTheControlToTenCharacters) {
    TLCDLabel l;
    EXPECT_EQ(l.DotMatrix(), mat5x7);
    EXPECT_EQ(l.PixelSize(), pix2x2);
    EXPECT_EQ(l.PixelWidth(), 2);
    EXPECT_EQ(l.NoOfChars(), 10);
    EXPECT_EQ(l.BackGround(), 0xC0C0C0u);
    EXPECT_EQ(l.PixelOff(), 0xAAAAAAu);
    // Cell 5 x 2 + 4 = 14 by 7 x 2 + 6 = 20.
    EXPECT_EQ(l.size(), QSize(6 + 18 + 140 + 2, 6 + 20 + 2));
    EXPECT_EQ(l.sizeHint(), l.size());
}

TEST(LCDLabel, NineByTwelveWithThreeCharacters) {
    TLCDLabel l;
    l.SetDotMatrix(mat9x12);
    l.SetPixelSize(pix1x1);
    l.SetNoOfChars(3);
    EXPECT_EQ(l.size(), QSize(63, 31));
}

TEST(LCDLabel, AResizeTakesTheCharactersThatFitAndSizesExactly) {
    TLCDLabel l;
    l.show();
    l.resize(120, l.height());
    EXPECT_EQ(l.NoOfChars(), 7);
    EXPECT_EQ(l.TextLines(), 1);
    EXPECT_EQ(l.size(), QSize(118, 28));
    l.resize(118, 28 + 22);
    EXPECT_EQ(l.TextLines(), 2);
    EXPECT_EQ(l.size(), QSize(118, 50));
}

TEST(LCDLabel, ValuesBelowTheLimitAreRefusedWithTheirMessage) {
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    TLCDLabel l;
    l.SetPixelSize(pixCustom);
    struct Row {
        const char *Message;
        int Lowest;
        std::function<void(int)> Set;
        std::function<int()> Get;
    } rows[] = {
        {"Pixel spacing can't be less than zero!", 0, [&](int v) { l.SetPixelSpacing(v); },
         [&] { return l.PixelSpacing(); }},
        {"Display pixel width must be 1 or greater!", 1, [&](int v) { l.SetPixelWidth(v); },
         [&] { return l.PixelWidth(); }},
        {"Display pixel height must be 1 or greate!", 1, [&](int v) { l.SetPixelHeight(v); },
         [&] { return l.PixelHeight(); }},
        {"Character spacing can't be less than zero!", 0, [&](int v) { l.SetCharSpacing(v); },
         [&] { return l.CharSpacing(); }},
        {"Line spacing can't be less than zero!", 0, [&](int v) { l.SetLineSpacing(v); },
         [&] { return l.LineSpacing(); }},
        {"Border spacing can't be less than zero!", 0, [&](int v) { l.SetBorderSpace(v); },
         [&] { return l.BorderSpace(); }},
        {"Display needs at least on line!", 1, [&](int v) { l.SetTextLines(v); },
         [&] { return l.TextLines(); }},
        {"Display needs at least one character!", 1, [&](int v) { l.SetNoOfChars(v); },
         [&] { return l.NoOfChars(); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.Message);
        messages.ClearLog();
        row.Set(5);
        row.Set(row.Lowest - 1);
        ASSERT_EQ(messages.Log().size(), 1u);
        EXPECT_EQ(messages.Log()[0].Text, row.Message);
        EXPECT_EQ(row.Get(), 5);
        row.Set(row.Lowest);
        EXPECT_EQ(row.Get(), row.Lowest);
        EXPECT_EQ(messages.Log().size(), 1u);
    }
}

TEST(LCDLabel, PixelWidthFollowsThePixelSizeUnlessCustom) {
    TLCDLabel l;
    l.SetPixelWidth(7);
    EXPECT_EQ(l.PixelWidth(), 2);
    l.SetPixelSize(pix4x4);
    EXPECT_EQ(l.PixelWidth(), 4);
    EXPECT_EQ(l.PixelHeight(), 4);
    l.SetPixelSize(pixCustom);
    l.SetPixelWidth(3);
    l.SetPixelHeight(1);
    // Cell 5 x 3 + 4 = 19 by 7 x 1 + 6 = 13.
    EXPECT_EQ(l.size(), QSize(6 + 18 + 190 + 2, 6 + 13 + 2));
}

TEST(LCDLabel, DotsOfTheLetterAndTheBackground) {
    TLCDLabel l;
    Plain(l, mat5x7, 2);
    l.SetCaption("A");
    QImage img = Shot(l);
    ASSERT_EQ(img.size(), QSize(0 + 1 + 10 + 2, 7 + 2));
    EXPECT_EQ(Cell(img, 1, 1, 5, 7), KLetterA);
    EXPECT_EQ(Cell(img, 7, 1, 5, 7), Blank(5, 7)) << "after the caption: blank";
    for (QPoint p : {QPoint(0, 0), QPoint(6, 3), QPoint(12, 8)})
        EXPECT_EQ(img.pixel(p), Rgb(KBack)) << p.x() << "," << p.y();
    // Disabled: background and no dots.
    l.setEnabled(false);
    img = Shot(l);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ASSERT_EQ(img.pixel(x, y), Rgb(KBack)) << x << "," << y;
}

TEST(LCDLabel, CellsFillLineByLineAndCodesAreClampedToTheTable) {
    TLCDLabel l;
    Plain(l, mat5x7, 2, 2);
    l.SetCaption(std::string("A\rA") + char(200)); // CR is a character, 200 shows 126
    QImage img = Shot(l);
    EXPECT_EQ(Cell(img, 1, 1, 5, 7), KLetterA);
    EXPECT_EQ(Cell(img, 7, 1, 5, 7), Blank(5, 7)) << "CR shows the lowest code";
    EXPECT_EQ(Cell(img, 1, 9, 5, 7), KLetterA);
    std::string high = Cell(img, 7, 9, 5, 7);
    l.SetCaption("   ~");
    EXPECT_EQ(high, Cell(Shot(l), 7, 9, 5, 7));
    EXPECT_NE(high, Blank(5, 7));
    // dos5x7 has a glyph of its own for 200.
    l.SetDotMatrix(dos5x7);
    l.SetCaption(std::string(1, char(200)));
    std::string own = Cell(Shot(l), 1, 1, 5, 7);
    EXPECT_NE(own, high);
    EXPECT_NE(own, Blank(5, 7));
}

TEST(LCDLabel, ACaptionShorterThanTheDisplayLeavesBlankCells) {
    TLCDLabel l;
    Plain(l, Hitachi, 10);
    l.SetCaption("X 000.000");
    QImage img = Shot(l);
    EXPECT_EQ(img.width(), 1 + 9 + 50 + 1);
    EXPECT_NE(Cell(img, 1, 1, 5, 7), Blank(5, 7));
    EXPECT_EQ(Cell(img, 1 + 6, 1, 5, 7), Blank(5, 7));
    EXPECT_EQ(Cell(img, 1 + 9 * 6, 1, 5, 7), Blank(5, 7));
    // The caption keeps at most 255 characters.
    l.SetCaption(std::string(300, 'A'));
    EXPECT_EQ(l.Caption().size(), 255u);
}

TEST(LCDLabel, ShapedAndRoundDots) {
    TLCDLabel l;
    Plain(l, mat5x7, 1);
    l.SetPixelSize(pix8x8);
    l.SetPixelOn(0x0000FE);
    l.SetCaption("A");
    l.SetPixelShape(spShaped);
    QImage img = Shot(l);
    // The top-left dot of A is off, the second is on: a corner in the
    // shaded colour, the middle in the lit colour.
    EXPECT_EQ(img.pixel(1, 1), Rgb(KOff));
    EXPECT_EQ(img.pixel(1 + 8 + 4, 1 + 4), Rgb(0x0000FE));
    EXPECT_EQ(img.pixel(1 + 8, 1), Rgb(0x00007F));
    l.SetPixelShape(spRound);
    img = Shot(l);
    EXPECT_EQ(img.pixel(1 + 8 + 4, 1 + 4), Rgb(0x0000FE));
    EXPECT_EQ(img.pixel(1 + 8, 1), Rgb(KBack)) << "outside the round dot";
}

class LCDLabelFontTest : public ::testing::Test {
protected:
    // One file per test process: ctest runs the tests of this fixture side by side.
    std::string Path =
        ::testing::TempDir() + "lcd_label_font_" + std::to_string(::getpid()) + ".bin";
    void TearDown() override { std::remove(Path.c_str()); }
    void Write(int Cols, int Rows, int First, int Last, const std::string &Glyphs) {
        test::WriteLCDFont(Path, Cols, Rows, First, Last, Glyphs);
    }
};

TEST_F(LCDLabelFontTest, NoFileNameKeepsTheMatrix) {
    TLCDLabel l;
    l.SetDotMatrix(Hitachi);
    l.SetDotMatrix(CustomFont);
    EXPECT_EQ(l.DotMatrix(), Hitachi);
}

TEST_F(LCDLabelFontTest, ACustomFontShowsItsCodesAndLeavesOthersBlank) {
    // 2 x 3 dots: A a column on the left, B the top row; 0 is on.
    Write(2, 3, 65, 66, std::string("\0\1\0\1\0\1\0\0\1\1\1\1", 12));
    TLCDLabel l;
    Plain(l, mat5x7, 4);
    l.Setfilename(Path);
    ASSERT_EQ(l.DotMatrix(), CustomFont);
    l.SetCaption("ABC");
    QImage img = Shot(l);
    ASSERT_EQ(img.size(), QSize(4 * 2 + 3 + 2, 3 + 2));
    EXPECT_EQ(Cell(img, 1, 1, 2, 3), "#./#./#./");
    EXPECT_EQ(Cell(img, 4, 1, 2, 3), "##/../../");
    EXPECT_EQ(Cell(img, 7, 1, 2, 3), Blank(2, 3)) << "C is not in the file";
    EXPECT_EQ(Cell(img, 10, 1, 2, 3), Blank(2, 3)) << "after the caption";
}

TEST_F(LCDLabelFontTest, AFaultyFontFileKeepsThePreviousMatrix) {
    TLCDLabel l;
    Plain(l, mat7x9, 1);
    Write(2, 2, 65, 70, std::string(4, '\0')); // fewer glyphs than announced
    l.Setfilename(Path);
    EXPECT_EQ(l.DotMatrix(), mat7x9);
    EXPECT_EQ(l.size(), QSize(7 + 2, 9 + 2));
    // A good font, then a faulty one: the good one stays on show.
    Write(2, 2, 65, 65, std::string("\0\1\1\0", 4));
    l.SetDotMatrix(CustomFont);
    ASSERT_EQ(l.DotMatrix(), CustomFont);
    l.SetCaption("A");
    Write(2, 2, 65, 300, std::string(2000, '\0'));
    l.SetDotMatrix(CustomFont);
    EXPECT_EQ(l.DotMatrix(), CustomFont);
    EXPECT_EQ(Cell(Shot(l), 1, 1, 2, 2), "#./.#/");
}

} // namespace
} // namespace orv
