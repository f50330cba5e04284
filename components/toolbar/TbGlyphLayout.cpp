#include "components/toolbar/TbGlyphLayout.h"

namespace orv {

namespace {

bool IsHorizontal(TButtonLayout Layout) { return Layout == blGlyphLeft || Layout == blGlyphRight; }

int WrapMargin(int Margin, int Spacing)
{
    if (Margin != -1)
        return Margin;
    return Spacing == -1 ? 4 : Spacing;
}

TSize MeasureCaption(const TGlyphLayoutInput &In, TSize Glyph, int ArrowW, TButtonLayout Layout,
                     const TMeasureText &Measure)
{
    if (!In.ShowText || !In.HasCaption || !Measure)
        return {};
    int width = In.Client.Width();
    if (IsHorizontal(Layout))
        width -= ArrowW;
    if (In.WordWrap) {
        if (IsHorizontal(Layout) && Glyph.Width > 0)
            width -= Glyph.Width + (In.Spacing == -1 ? 4 : In.Spacing);
        width -= 2 * WrapMargin(In.Margin, In.Spacing);
    }
    return Measure(width, In.WordWrap);
}

// Margin and spacing along the layout axis (see the distribution rules).
void Distribute(int ClientLen, int GlyphLen, int TextLen, int ArrowLen, int &Margin, int &Spacing)
{
    if (TextLen == 0 || GlyphLen == 0)
        Spacing = 0;
    if (Margin == -1) {
        if (Spacing == -1) {
            Margin = (ClientLen - GlyphLen - TextLen - ArrowLen) / 3;
            Spacing = Margin;
        } else {
            Margin = (ClientLen - GlyphLen - Spacing - TextLen - ArrowLen + 1) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = (ClientLen - Margin - GlyphLen - ArrowLen - TextLen) / 2;
    }
}

} // namespace

namespace {

// Positions (relative to the content rectangle) of glyph, caption and arrow.
struct TParts {
    TSize Glyph;
    TSize Text;
    int ArrowW = 0;
    int ArrowH = 0;
    TPoint G, T, A;
};

// Everything is centred across the layout axis.
void CentreAcross(TParts &P, TButtonLayout Layout, int W, int H)
{
    if (IsHorizontal(Layout)) {
        P.G.Y = (H - P.Glyph.Height + 1) / 2;
        P.T.Y = (H - P.Text.Height + 1) / 2;
    } else {
        P.G.X = (W - P.Glyph.Width - P.ArrowW + 1) / 2;
        P.T.X = (W - P.Text.Width + 1) / 2;
    }
}

void PlaceAlong(TParts &P, TButtonLayout Layout, int W, int H, int Margin, int Spacing)
{
    switch (Layout) {
    case blGlyphLeft:
        P.G.X = Margin;
        P.T.X = P.G.X + P.Glyph.Width + Spacing;
        P.A.X = P.T.X + P.Text.Width;
        break;
    case blGlyphRight:
        P.A.X = W - Margin - P.ArrowW;
        P.G.X = P.A.X - P.Glyph.Width;
        P.T.X = P.G.X - Spacing - P.Text.Width;
        break;
    case blGlyphTop:
        P.G.Y = Margin;
        P.T.Y = P.G.Y + P.Glyph.Height + Spacing;
        P.A.X = P.G.X + P.Glyph.Width;
        break;
    case blGlyphBottom:
        P.G.Y = H - Margin - P.Glyph.Height;
        P.T.Y = P.G.Y - Spacing - P.Text.Height;
        P.A.X = P.G.X + P.Glyph.Width;
        break;
    }
    // The arrow's three rows centre on the glyph, else on the caption.
    if (P.Glyph.Width > 0)
        P.A.Y = P.G.Y + (P.Glyph.Height - P.ArrowH) / 2;
    else
        P.A.Y = P.T.Y + (P.Text.Height - P.ArrowH) / 2;
}

} // namespace

TGlyphLayoutResult CalcButtonLayout(const TGlyphLayoutInput &In, const TMeasureText &Measure)
{
    const int w = In.Client.Width();
    const int h = In.Client.Height();
    TParts p;
    p.Glyph = In.ShowGlyph ? In.GlyphSize : TSize{};
    if (p.Glyph.Width <= 0 || p.Glyph.Height <= 0)
        p.Glyph = {};
    p.ArrowW = In.ShowArrow ? DropdownArrowWidth : 0;
    p.ArrowH = In.ShowArrow ? DropdownArrowHeight : 0;
    TButtonLayout layout = In.Layout;
    if (!IsHorizontal(layout) && p.Glyph.Width == 0)
        layout = blGlyphLeft;
    p.Text = MeasureCaption(In, p.Glyph, p.ArrowW, layout, Measure);

    CentreAcross(p, layout, w, h);
    int margin = In.Margin;
    int spacing = In.Spacing;
    if (IsHorizontal(layout))
        Distribute(w, p.Glyph.Width, p.Text.Width, p.ArrowW, margin, spacing);
    else
        Distribute(h, p.Glyph.Height, p.Text.Height, 0, margin, spacing);
    PlaceAlong(p, layout, w, h, margin, spacing);

    const int dx = In.Client.Left + In.Offset.X;
    const int dy = In.Client.Top + In.Offset.Y;
    TGlyphLayoutResult r;
    r.GlyphSize = p.Glyph;
    r.GlyphPos = {p.G.X + dx, p.G.Y + dy};
    r.TextRect = TRect::FromSize(p.T.X + dx, p.T.Y + dy, p.Text.Width, p.Text.Height);
    r.ArrowPos = {p.A.X + dx, p.A.Y + dy};
    return r;
}

int DeriveNumGlyphs(int Width, int Height, bool UsesImageList)
{
    if (UsesImageList || Width <= 0 || Height <= 0 || Width % Height != 0)
        return 1;
    int n = Width / Height;
    return n < 6 ? n : 1;
}

int ClampNumGlyphs(int Value)
{
    if (Value <= 0)
        return 1;
    return Value > 5 ? 5 : Value;
}

int GlyphIndexOfState(TButtonDrawState State, int NumGlyphs)
{
    int index = int(State);
    if (State != bsDisabled && index >= NumGlyphs)
        return 0;
    return index;
}

} // namespace orv
