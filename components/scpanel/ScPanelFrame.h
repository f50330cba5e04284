#pragma once
// The scroll panel's frame without a window: bevels and the border ring,
// the area left for aligned children, and the strips a resize must repaint
// when the panel does not repaint in full; and the rules of its two scroll
// bars (range, position, steps).

#include <vector>

namespace orv {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

struct TPanelRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TPanelRect &) const = default;
};

struct TScrollPanelFrame {
    TBevelCut BevelOuter = bvRaised;
    TBevelCut BevelInner = bvNone;
    int BevelWidth = 1;
    int BorderWidth = 0;

    // BorderWidth plus BevelWidth for each bevel that is not none.
    int FrameWidth() const;
    // The client area shrunk by the frame on every side.
    TPanelRect AlignArea(int ClientWidth, int ClientHeight) const;
    // Strips to repaint for a resize (none when FullRepaint or a caption
    // asks for everything, or when there is no frame): FrameWidth + 1
    // pixels at the old and the new right edge, and likewise at the bottom.
    std::vector<TPanelRect> ResizeStrips(int OldWidth, int OldHeight, int NewWidth,
                                         int NewHeight) const;
};

// One scroll bar of a scrolling control, in pixels: Range is the extent of
// what scrolls, ClientSize the part of it shown, Position the offset of the
// first pixel shown, always within [0, Range - ClientSize] (0 when all of it
// fits). A line step is Increment, or with Smooth a tenth of the shown part;
// a page step is the shown part. Tracking: the content follows the thumb
// while it is dragged, not only when it is let go.
class TControlScrollBar {
public:
    int Range() const { return FRange; }
    void SetRange(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int ClientSize() const { return FClientSize; }
    void SetClientSize(int Value);
    bool Smooth = false;
    bool Tracking = false;
    int Increment = 8;

    int MaxPosition() const;
    // The bar is shown when the range does not fit the shown part.
    bool Visible() const { return FRange > FClientSize; }
    int LineStep() const;
    int PageStep() const;

private:
    int FRange = 0;
    int FPosition = 0;
    int FClientSize = 0;
};

} // namespace orv
