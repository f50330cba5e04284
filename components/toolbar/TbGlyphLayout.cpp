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

TGlyphLayoutResult CalcButtonLayout(const TGlyphLayoutInput &In, const TMeasureText &Measure)
{
    const int w = In.Client.Width();
    const int h = In.Client.Height();
    TSize glyph = In.ShowGlyph ? In.GlyphSize : TSize{};
    if (glyph.Width <= 0 || glyph.Height <= 0)
        glyph = {};
    const int arrowW = In.ShowArrow ? DropdownArrowWidth : 0;
    const int arrowH = In.ShowArrow ? DropdownArrowHeight : 0;
    TButtonLayout layout = In.Layout;
    if (!IsHorizontal(layout) && glyph.Width == 0)
        layout = blGlyphLeft;

    const TSize text = MeasureCaption(In, glyph, arrowW, layout, Measure);
    TPoint g, t, a;
    if (IsHorizontal(layout)) {
        g.Y = (h - glyph.Height + 1) / 2;
        t.Y = (h - text.Height + 1) / 2;
    } else {
        g.X = (w - glyph.Width - arrowW + 1) / 2;
        t.X = (w - text.Width + 1) / 2;
    }

    int margin = In.Margin;
    int spacing = In.Spacing;
    if (IsHorizontal(layout))
        Distribute(w, glyph.Width, text.Width, arrowW, margin, spacing);
    else
        Distribute(h, glyph.Height, text.Height, 0, margin, spacing);

    switch (layout) {
    case blGlyphLeft:
        g.X = margin;
        t.X = g.X + glyph.Width + spacing;
        a.X = t.X + text.Width;
        break;
    case blGlyphRight:
        a.X = w - margin - arrowW;
        g.X = a.X - glyph.Width;
        t.X = g.X - spacing - text.Width;
        break;
    case blGlyphTop:
        g.Y = margin;
        t.Y = g.Y + glyph.Height + spacing;
        a.X = g.X + glyph.Width;
        break;
    case blGlyphBottom:
        g.Y = h - margin - glyph.Height;
        t.Y = g.Y - spacing - text.Height;
        a.X = g.X + glyph.Width;
        break;
    }
    // The arrow's three rows centre on the glyph, else on the caption.
    if (glyph.Width > 0)
        a.Y = g.Y + (glyph.Height - arrowH) / 2;
    else
        a.Y = t.Y + (text.Height - arrowH) / 2;

    const int dx = In.Client.Left + In.Offset.X;
    const int dy = In.Client.Top + In.Offset.Y;
    TGlyphLayoutResult r;
    r.GlyphSize = glyph;
    r.GlyphPos = {g.X + dx, g.Y + dy};
    r.TextRect = TRect::FromSize(t.X + dx, t.Y + dy, text.Width, text.Height);
    r.ArrowPos = {a.X + dx, a.Y + dy};
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
