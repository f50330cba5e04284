#pragma once
// The scroll panel's frame without a window: bevels and the border ring,
// the area left for aligned children, and the strips a resize must repaint
// when the panel does not repaint in full.

#include <vector>

namespace orv {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

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

} // namespace orv
