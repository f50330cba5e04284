// Button glyphs: content layout, NumGlyphs, state images, the embossed
// disabled image, the shared glyph lists and their error texts.
#include "components/toolbar/TbGlyphImage.h"
#include "components/toolbar/TbGlyphLayout.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TMeasureText FixedText(TSize Size)
{
    return [Size](int, bool) { return Size; };
}

TEST(GlyphLayout, PlacesGlyphCaptionAndArrow)
{
    struct TCase {
        const char *Name;
        TGlyphLayoutInput In;
        TSize Text;
        TPoint Glyph;
        TPoint TextPos;
        TPoint Arrow;
    };
    auto in = [](TRect Client, TSize Glyph, bool Caption, TButtonLayout Layout, int Margin,
                 int Spacing, bool Arrow) {
        TGlyphLayoutInput i;
        i.Client = Client;
        i.GlyphSize = Glyph;
        i.HasCaption = Caption;
        i.Layout = Layout;
        i.Margin = Margin;
        i.Spacing = Spacing;
        i.ShowArrow = Arrow;
        return i;
    };
    const TRect c60 = TRect::FromSize(0, 0, 60, 22);
    const TCase cases[] = {
        {"free space in three equal parts",
         in(c60, {16, 16}, true, blGlyphLeft, -1, -1, false),
         {20, 13},
         {8, 3},
         {32, 5},
         {52, 11}},
        {"centred with spacing 4",
         in(c60, {16, 16}, true, blGlyphLeft, -1, 4, false),
         {20, 13},
         {10, 3},
         {30, 5},
         {50, 11}},
        {"glyph top without glyph lays out as glyph left",
         in(TRect::FromSize(0, 0, 40, 22), {0, 0}, true, blGlyphTop, -1, 4, false),
         {20, 13},
         {10, 11},
         {10, 5},
         {30, 11}},
        {"glyph right with arrow",
         in(TRect::FromSize(0, 0, 40, 22), {16, 16}, false, blGlyphRight, -1, 4, true),
         {0, 0},
         {7, 3},
         {7, 11},
         {23, 9}},
        {"glyph left with arrow",
         in(TRect::FromSize(0, 0, 40, 22), {16, 16}, false, blGlyphLeft, -1, 4, true),
         {0, 0},
         {8, 3},
         {24, 11},
         {24, 9}},
        {"glyph bottom, margin given, spacing spread",
         in(TRect::FromSize(0, 0, 30, 40), {16, 16}, true, blGlyphBottom, 2, -1, false),
         {20, 13},
         {7, 22},
         {5, 5},
         {23, 30}},
        {"glyph top",
         in(TRect::FromSize(0, 0, 30, 40), {16, 16}, true, blGlyphTop, -1, 4, false),
         {20, 13},
         {7, 4},
         {5, 24},
         {23, 12}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TGlyphLayoutResult r = CalcButtonLayout(c.In, FixedText(c.Text));
        EXPECT_EQ(r.GlyphPos, c.Glyph);
        EXPECT_EQ(r.TextRect.Left, c.TextPos.X);
        EXPECT_EQ(r.TextRect.Top, c.TextPos.Y);
        EXPECT_EQ(r.ArrowPos, c.Arrow);
    }
}

TEST(GlyphLayout, OffsetsByClientOriginAndPushedOffset)
{
    TGlyphLayoutInput in;
    in.Client = TRect::FromSize(1, 1, 21, 20);
    in.GlyphSize = {16, 16};
    in.Offset = {1, 1};
    TGlyphLayoutResult r = CalcButtonLayout(in, nullptr);
    EXPECT_EQ(r.GlyphPos, (TPoint{1 + 3 + 1, 1 + 2 + 1}));
}

TEST(GlyphLayout, WordWrapNarrowsTheMeasuringWidth)
{
    TGlyphLayoutInput in;
    in.Client = TRect::FromSize(0, 0, 80, 40);
    in.GlyphSize = {16, 16};
    in.HasCaption = true;
    in.WordWrap = true;
    in.Margin = -1;
    in.Spacing = -1;
    int asked = 0;
    bool wrap = false;
    CalcButtonLayout(in, [&](int W, bool B) {
        asked = W;
        wrap = B;
        return TSize{10, 10};
    });
    // 80 less glyph and default spacing (16 + 4) less twice the default margin (4).
    EXPECT_EQ(asked, 80 - 20 - 8);
    EXPECT_TRUE(wrap);
}

TEST(GlyphLayout, TextOnlyShowsNoGlyph)
{
    TGlyphLayoutInput in;
    in.Client = TRect::FromSize(0, 0, 50, 22);
    in.GlyphSize = {16, 16};
    in.ShowGlyph = false;
    in.HasCaption = true;
    TGlyphLayoutResult r = CalcButtonLayout(in, FixedText({30, 13}));
    EXPECT_EQ(r.GlyphSize, (TSize{0, 0}));
    EXPECT_EQ(r.TextRect.Left, 10);
}

TEST(NumGlyphs, DerivedFromTheStripAndClamped)
{
    struct TCase {
        const char *Name;
        int Width, Height;
        bool ImageList;
        int Want;
    };
    const TCase cases[] = {
        {"64x16 is four images", 64, 16, false, 4},
        {"80x16 is five images", 80, 16, false, 5},
        {"96x16 (six squares) is one", 96, 16, false, 1},
        {"40x16 is no multiple", 40, 16, false, 1},
        {"empty", 0, 0, false, 1},
        {"image list", 64, 16, true, 1},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(DeriveNumGlyphs(c.Width, c.Height, c.ImageList), c.Want);
    }
    EXPECT_EQ(ClampNumGlyphs(0), 1);
    EXPECT_EQ(ClampNumGlyphs(9), 5);
    EXPECT_EQ(ClampNumGlyphs(5), 5);
}

TEST(NumGlyphs, StateIndexFallsBackToImageZero)
{
    EXPECT_EQ(GlyphIndexOfState(bsHot, 4), 0);
    EXPECT_EQ(GlyphIndexOfState(bsHot, 5), 4);
    EXPECT_EQ(GlyphIndexOfState(bsHeldDown, 4), 3);
    EXPECT_EQ(GlyphIndexOfState(bsPressed, 1), 0);
    EXPECT_EQ(GlyphIndexOfState(bsDisabled, 1), 1);
}

constexpr uint32_t Magenta = 0xFF00FF;
constexpr uint32_t Black = 0x000000;
constexpr uint32_t Red = 0xFF0000;
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Silver = 0xC0C0C0;
constexpr uint32_t Grey = 0x808080;

// One cell, 3 x 2, whose bottom-left pixel is the transparent colour.
TBitmap32 Cell(std::initializer_list<uint32_t> Rgb, int W, int H)
{
    TBitmap32 b(W, H);
    size_t i = 0;
    for (uint32_t c : Rgb)
        b.Pixels[i++] = 0xFF000000u | c;
    return b;
}

uint32_t Rgb(const TBitmap32 &B, int X, int Y) { return B.Opaque(X, Y) ? B.Rgb(X, Y) : 0xDEAD; }

TEST(DisabledGlyph, OneImageStripGetsAnEmbossedImage)
{
    TButtonGlyph g;
    g.SetGlyph(Cell({Black, Red, White, Magenta, Silver, Magenta}, 3, 2));
    ASSERT_EQ(g.NumGlyphs(), 1);
    const TBitmap32 *up = g.StateImage(bsUp);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->Width, 3);
    EXPECT_EQ(Rgb(*up, 0, 1), 0xDEADu) << "the bottom-left colour is transparent";
    EXPECT_EQ(Rgb(*up, 1, 0), Red);

    const TBitmap32 *dis = g.StateImage(bsDisabled);
    ASSERT_NE(dis, nullptr);
    ASSERT_EQ(dis->Width, 4);
    ASSERT_EQ(dis->Height, 3);
    const TSysColors &c = SysColors();
    // Black and red make the shape; white, silver and the transparent colour do not.
    EXPECT_EQ(Rgb(*dis, 0, 0), c.BtnShadow);
    EXPECT_EQ(Rgb(*dis, 1, 0), c.BtnShadow);
    EXPECT_EQ(Rgb(*dis, 2, 0), 0xDEADu);
    EXPECT_EQ(Rgb(*dis, 2, 1), c.BtnHighlight) << "highlight one pixel right and down of red";
    EXPECT_EQ(Rgb(*dis, 1, 1), c.BtnHighlight);
    EXPECT_EQ(Rgb(*dis, 0, 1), 0xDEADu);
    EXPECT_EQ(Rgb(*dis, 3, 2), 0xDEADu);
}

TEST(DisabledGlyph, OldStyleTakesOnlyBlackPixels)
{
    TButtonGlyph g;
    g.SetOldDisabledStyle(true);
    g.SetGlyph(Cell({Black, Red, White, Magenta, Silver, Magenta}, 3, 2));
    const TBitmap32 *dis = g.StateImage(bsDisabled);
    ASSERT_NE(dis, nullptr);
    EXPECT_EQ(Rgb(*dis, 0, 0), SysColors().BtnShadow);
    EXPECT_EQ(Rgb(*dis, 1, 0), 0xDEADu) << "red is no part of the old-style shape";
    EXPECT_EQ(Rgb(*dis, 1, 1), SysColors().BtnHighlight);
    EXPECT_EQ(Rgb(*dis, 2, 1), 0xDEADu);
}

TEST(DisabledGlyph, StripWithTwoImagesUsesItsOwnDisabledCell)
{
    TButtonGlyph g;
    // Two 2 x 2 cells: the second is the disabled one (white and grey recoloured).
    TBitmap32 strip = Cell({Red, Red, White, Grey, Magenta, Red, Grey, Magenta}, 4, 2);
    g.SetGlyph(strip);
    ASSERT_EQ(g.NumGlyphs(), 2);
    const TBitmap32 *dis = g.StateImage(bsDisabled);
    ASSERT_NE(dis, nullptr);
    EXPECT_EQ(dis->Width, 2);
    EXPECT_EQ(Rgb(*dis, 0, 0), SysColors().BtnHighlight);
    EXPECT_EQ(Rgb(*dis, 1, 0), SysColors().BtnShadow);
    EXPECT_EQ(Rgb(*dis, 0, 1), SysColors().BtnShadow);
    EXPECT_EQ(Rgb(*dis, 1, 1), 0xDEADu);
    EXPECT_EQ(Rgb(*g.StateImage(bsHot), 0, 0), Red) << "bsHot beyond NumGlyphs shows image 0";
}

TEST(DisabledGlyph, ExplicitMaskDecidesTransparency)
{
    TButtonGlyph g;
    g.SetGlyph(Cell({Red, Red, Red, Red}, 2, 2));
    g.SetGlyphMask(Cell({White, Black, Black, Black}, 2, 2));
    const TBitmap32 *up = g.StateImage(bsUp);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(Rgb(*up, 0, 0), 0xDEADu);
    EXPECT_EQ(Rgb(*up, 0, 1), Red) << "the bottom-left colour is no key with a mask";
}

TEST(GlyphImages, ImageListEntryAndMissingIndex)
{
    TImageList list(2, 2);
    list.AddMasked(Cell({Red, Black, Magenta, Red}, 2, 2));
    TButtonGlyph g;
    g.SetGlyph(Cell({Red, Red, Red, Red, Red, Red, Red, Red}, 4, 2));
    g.SetImages(&list);
    EXPECT_EQ(g.NumGlyphs(), 1) << "an image list always has one image per entry";
    g.SetNumGlyphs(3);
    EXPECT_EQ(g.NumGlyphs(), 1);
    EXPECT_EQ(g.StateImage(bsUp), nullptr) << "ImageIndex -1 draws nothing";
    g.SetImageIndex(0);
    const TBitmap32 *up = g.StateImage(bsUp);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(Rgb(*up, 1, 0), Black);
    EXPECT_EQ(Rgb(*up, 0, 1), 0xDEADu);
    g.SetImageIndex(1);
    EXPECT_EQ(g.StateImage(bsUp), nullptr);
}

TEST(GlyphImages, ImageListChangeAndFreeReachTheGlyph)
{
    auto list = std::make_unique<TImageList>(2, 2);
    TButtonGlyph g;
    int changes = 0;
    g.OnChange = [&] { ++changes; };
    g.SetImages(list.get());
    int before = changes;
    list->AddMasked(Cell({Red, Red, Magenta, Red}, 2, 2));
    EXPECT_EQ(changes, before + 1);
    list.reset();
    EXPECT_EQ(g.Images(), nullptr);
}

TEST(GlyphCache, SameSizeSharesOneListAndTheCacheGoesWithTheLastGlyph)
{
    {
        TButtonGlyph a, b;
        a.SetGlyph(Cell({Red, Red, Magenta, Red}, 2, 2));
        b.SetGlyph(Cell({Black, Black, Magenta, Black}, 2, 2));
        a.StateImage(bsUp);
        b.StateImage(bsUp);
        ASSERT_NE(GlyphCache(), nullptr);
        EXPECT_EQ(GlyphCache()->ListCount(), 2) << "one normal and one disabled list of that size";
        a.SetGlyph(Cell({Red, Red, Magenta, Red}, 2, 2));
        EXPECT_EQ(GlyphCache()->ListCount(), 2)
            << "b still points at both lists, the disabled one empty as it is";
        b.StateImage(bsDisabled);
        b.SetGlyph(Cell({Black, Black, Magenta, Black}, 2, 2));
    }
    EXPECT_EQ(GlyphCache(), nullptr);
}

TEST(GlyphList, ErrorTexts)
{
    TGlyphList list(4, 4);
    try {
        list.Add(TBitmap32(3, 4));
        FAIL();
    } catch (const EInvalidOperation &e) {
        EXPECT_STREQ(e.what(), "Invalid image size");
    }
    int i = list.Add(TBitmap32(4, 4));
    EXPECT_NO_THROW(list.Replace(i, TBitmap32(4, 4)));
    try {
        list.Replace(i, TBitmap32(5, 4));
        FAIL();
    } catch (const EInvalidOperation &e) {
        EXPECT_STREQ(e.what(), "Unable to Replace Image");
    }
    list.Delete(i);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Add(TBitmap32(4, 4)), i) << "the first free slot is reused";
}

} // namespace
} // namespace orv
