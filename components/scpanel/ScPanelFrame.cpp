#include "components/scpanel/ScPanelFrame.h"

#include <algorithm>

namespace orv {

int TScrollPanelFrame::FrameWidth() const {
    return BorderWidth + (BevelOuter != bvNone ? BevelWidth : 0) +
           (BevelInner != bvNone ? BevelWidth : 0);
}

TPanelRect TScrollPanelFrame::AlignArea(int ClientWidth, int ClientHeight) const {
    int f = FrameWidth();
    return {f, f, ClientWidth - f, ClientHeight - f};
}

std::vector<TPanelRect> TScrollPanelFrame::ResizeStrips(int OldWidth, int OldHeight, int NewWidth,
                                                        int NewHeight) const {
    std::vector<TPanelRect> strips;
    int f = FrameWidth();
    if (f <= 0)
        return strips;
    int high = NewHeight > OldHeight ? NewHeight : OldHeight;
    int wide = NewWidth > OldWidth ? NewWidth : OldWidth;
    if (NewWidth != OldWidth) {
        strips.push_back({OldWidth - f - 1, 0, OldWidth, high});
        strips.push_back({NewWidth - f - 1, 0, NewWidth, high});
    }
    if (NewHeight != OldHeight) {
        strips.push_back({0, OldHeight - f - 1, wide, OldHeight});
        strips.push_back({0, NewHeight - f - 1, wide, NewHeight});
    }
    return strips;
}

void TControlScrollBar::SetRange(int Value) {
    FRange = std::max(0, Value);
    SetPosition(FPosition);
}

void TControlScrollBar::SetClientSize(int Value) {
    FClientSize = std::max(0, Value);
    SetPosition(FPosition);
}

void TControlScrollBar::SetPosition(int Value) {
    FPosition = std::clamp(Value, 0, MaxPosition());
}

int TControlScrollBar::MaxPosition() const {
    return std::max(0, FRange - FClientSize);
}

int TControlScrollBar::LineStep() const {
    return Smooth ? std::max(1, FClientSize / 10) : std::max(1, Increment);
}

int TControlScrollBar::PageStep() const {
    return std::max(1, FClientSize);
}

} // namespace orv
