#pragma once
// The bitmap track bar's rules without a window: range and position (always
// within Min..Max, OnChange after each change), the orientation a size
// gives, the thumb's resource names and size, the groove and thumb places,
// tick offsets, paging and dragging. Pixels of the control; a vertical bar
// has Min at the bottom. A bar whose ends meet has one tick at the minimum
// end and does not page.

#include <functional>
#include <string>
#include <vector>

namespace orv {

enum TTrackOrientation { toHorizontal, toVertical };
enum TThumbSize { tsSize1, tsSize2, tsSize3, tsSize4, tsSize5 };
enum TThumbStyle { tsBox, tsCircle, tsDiamond, tsPointer, tsSquare };
// tkOwnerDraw: the owner draws each tick (OnDrawTick).
enum TTickStyle { tkStandard, tkOwnerDraw };

struct TTrkRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Contains(int X, int Y) const { return X >= Left && X < Right && Y >= Top && Y < Bottom; }
};

class TTrkBarModel {
public:
    static constexpr int Margin = 4;

    int Max() const { return FMax; }
    int Min() const { return FMin; }
    int Position() const { return FPosition; }
    // Max and Min pull Position into the new range (one OnChange when it moves).
    void SetMax(int Value);
    void SetMin(int Value);
    void SetPosition(int Value);
    int PageSize = 1;

    TTrackOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackOrientation Value) { FOrientation = Value; }
    TThumbSize ThumbSize = tsSize3;
    TThumbStyle ThumbStyle = tsPointer;
    int TrkWidth() const { return FTrkWidth; }
    void SetTrkWidth(int Value) { FTrkWidth = Value < 6 ? 6 : Value; }
    int TrkColorDivide = 1;

    // Control size; a resize turns the bar vertical when narrower than high.
    void Resize(int Width, int Height);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    // "POINTER_VSIZE3" and its mask "POINTER_VSIZE3M" ("" when none).
    std::string ThumbResource() const;
    std::string MaskResource() const;
    // Bitmap size of the current thumb (our own pictures).
    int ThumbBitmapWidth() const;
    int ThumbBitmapHeight() const;
    int ThumbLength() const; // along the groove
    int ThumbThickness() const;

    TTrkRect GrooveRect() const;
    // The part of the groove in TrkColorbottom: on a vertical bar from
    // B x (100 - TrkColorDivide) / 100 down to B (the groove's lower end,
    // edges in ascending order); on a horizontal bar the whole groove.
    TTrkRect LowerColourRect() const;
    TTrkRect ThumbRect() const;
    bool OverThumb(int X, int Y) const { return ThumbRect().Contains(X, Y); }
    // Offsets of the ticks from the top (vertical) or left.
    std::vector<int> TickOffsets() const;

    // A left press: starts a drag on the thumb, pages on the groove.
    void MouseDown(int X, int Y);
    void MouseMove(int X, int Y);
    void MouseUp() { FDragging = false; }
    bool Dragging() const { return FDragging; }

    std::function<void()> OnChange;

private:
    int Span() const; // S: size along less the thumb and both margins
    int FMax = 10;
    int FMin = 0;
    int FPosition = 0;
    TTrackOrientation FOrientation = toHorizontal;
    int FTrkWidth = 8;
    int FWidth = 200;
    int FHeight = 50;
    bool FDragging = false;
};

} // namespace orv
