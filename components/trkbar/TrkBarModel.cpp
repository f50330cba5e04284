#include "components/trkbar/TrkBarModel.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {
int RoundHalfEven(double V) {
    return int(std::nearbyint(V));
}
} // namespace

void TTrkBarModel::SetMax(int Value) {
    FMax = Value;
    SetPosition(FPosition);
}

void TTrkBarModel::SetMin(int Value) {
    FMin = Value;
    SetPosition(FPosition);
}

void TTrkBarModel::SetPosition(int Value) {
    // With Min above Max (while a form sets both) the lower end wins.
    int v = std::max(std::min(Value, FMax), FMin);
    if (v == FPosition)
        return;
    FPosition = v;
    if (OnChange)
        OnChange();
}

void TTrkBarModel::Resize(int Width, int Height) {
    FWidth = Width;
    FHeight = Height;
    FOrientation = Width < Height ? toVertical : toHorizontal;
}

std::string TTrkBarModel::ThumbResource() const {
    static const char *const names[] = {"BOX", "CIRCLE", "DIAMOND", "POINTER", "SQUARE"};
    std::string digit = std::to_string(int(ThumbSize) + 1);
    bool oriented = ThumbStyle == tsBox || ThumbStyle == tsPointer;
    if (!oriented)
        return std::string(names[ThumbStyle]) + "_SIZE" + digit;
    return std::string(names[ThumbStyle]) + (FOrientation == toVertical ? "_VSIZE" : "_HSIZE") +
           digit;
}

std::string TTrkBarModel::MaskResource() const {
    if (ThumbStyle == tsBox || ThumbStyle == tsSquare)
        return "";
    return ThumbResource() + "M";
}

int TTrkBarModel::ThumbBitmapWidth() const {
    int n = int(ThumbSize) + 1;
    if (ThumbStyle == tsBox || ThumbStyle == tsPointer)
        return FOrientation == toVertical ? 12 + 4 * n : 7 + 2 * n;
    return 7 + 3 * n;
}

int TTrkBarModel::ThumbBitmapHeight() const {
    int n = int(ThumbSize) + 1;
    if (ThumbStyle == tsBox || ThumbStyle == tsPointer)
        return FOrientation == toVertical ? 7 + 2 * n : 12 + 4 * n;
    return 7 + 3 * n;
}

int TTrkBarModel::ThumbLength() const {
    return FOrientation == toVertical ? ThumbBitmapHeight() : ThumbBitmapWidth();
}

int TTrkBarModel::ThumbThickness() const {
    return FOrientation == toVertical ? ThumbBitmapWidth() : ThumbBitmapHeight();
}

int TTrkBarModel::Span() const {
    int along = FOrientation == toVertical ? FHeight : FWidth;
    return along - ThumbLength() - 2 * Margin;
}

TTrkRect TTrkBarModel::GrooveRect() const {
    int l = ThumbLength() / 2 + Margin;
    bool vertical = FOrientation == toVertical;
    int along = vertical ? FHeight : FWidth;
    int across = vertical ? FWidth : FHeight;
    int start = (across - FTrkWidth) / 2;
    if (vertical)
        return {start, l, start + FTrkWidth, along - l};
    return {l, start, along - l, start + FTrkWidth};
}

TTrkRect TTrkBarModel::LowerColourRect() const {
    const TTrkRect g = GrooveRect();
    if (FOrientation != toVertical)
        return g;
    const int b = g.Bottom;
    const int top = RoundHalfEven(b * (100 - TrkColorDivide) / 100.0);
    return {g.Left, std::min(top, b), g.Right, std::max(top, b)};
}

TTrkRect TTrkBarModel::ThumbRect() const {
    int a = FMax == FMin ? 0 : (FPosition - FMin) * Span() / (FMax - FMin);
    int w = ThumbBitmapWidth(), h = ThumbBitmapHeight();
    if (FOrientation == toVertical) {
        int left = (FWidth - w) / 2;
        int bottom = FHeight - a - Margin;
        return {left, bottom - h, left + w, bottom};
    }
    int top = (FHeight - h) / 2;
    return {a + Margin, top, a + Margin + w, top + h};
}

std::vector<int> TTrkBarModel::TickOffsets() const {
    std::vector<int> offsets;
    int base = Margin + ThumbLength() / 2;
    if (FMax <= FMin)
        return {base};
    for (int i = FMin; i <= FMax; ++i)
        offsets.push_back(int(int64_t(i - FMin) * Span() / (FMax - FMin)) + base);
    return offsets;
}

void TTrkBarModel::MouseDown(int X, int Y) {
    TTrkRect thumb = ThumbRect();
    if (thumb.Contains(X, Y)) {
        FDragging = true;
        return;
    }
    if (!GrooveRect().Contains(X, Y) || FMax == FMin)
        return;
    if (FOrientation == toVertical)
        SetPosition(Y < thumb.Top ? FPosition + PageSize : FPosition - PageSize);
    else
        SetPosition(X < thumb.Left ? FPosition - PageSize : FPosition + PageSize);
}

void TTrkBarModel::MouseMove(int X, int Y) {
    if (!FDragging)
        return;
    double f;
    int half = ThumbLength() / 2;
    if (FOrientation == toVertical) {
        double d = FHeight - half;
        f = (d - Y) / d;
    } else {
        f = double(X - half) / (FWidth - half);
    }
    SetPosition(RoundHalfEven(f * (FMax - FMin) + FMin));
}

} // namespace orv
