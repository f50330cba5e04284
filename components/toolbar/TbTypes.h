#pragma once
// Plain geometry and the enumerations the toolbar family shares between its
// layout rules (headless) and its widgets: points, sizes and rectangles in
// pixels (right and bottom exclusive), dock positions and button states.

#include <algorithm>
#include <cstdint>
#include <utility>

namespace orv {

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint &) const = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TSize &) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static TRect FromSize(int Left, int Top, int Width, int Height)
    {
        return {Left, Top, Left + Width, Top + Height};
    }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint P) const
    {
        return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom;
    }
    bool Intersects(const TRect &R) const
    {
        return std::max(Left, R.Left) < std::min(Right, R.Right) &&
               std::max(Top, R.Top) < std::min(Bottom, R.Bottom);
    }
    TRect Offset(int DX, int DY) const { return {Left + DX, Top + DY, Right + DX, Bottom + DY}; }
    bool operator==(const TRect &) const = default;
};

// Fires an event handler (a std::function member) unless it is empty.
template <class THandler, class... TArgs> void Fire(const THandler &Handler, TArgs &&...Args)
{
    if (Handler)
        Handler(std::forward<TArgs>(Args)...);
}

// (A * B) / C rounded to the nearest integer, halves away from zero, as the
// platform's multiply-divide; -1 when C is 0.
int MulDiv(int A, int B, int C);

enum TDockPosition : uint8_t { dpTop, dpBottom, dpLeft, dpRight };

// A dock's type, derived from its position; no dock means floating.
enum TDockAxis : uint8_t { daFloating = 0, daHorizontal = 1, daVertical = 2 };

inline TDockAxis DockAxisOf(TDockPosition Position)
{
    return (Position == dpTop || Position == dpBottom) ? daHorizontal : daVertical;
}

// Draw state of a toolbar button; the numbers double as glyph-strip indices
// and are read by the panel LED buttons.
enum TButtonDrawState : uint8_t {
    bsUp = 0,
    bsDisabled = 1,
    bsPressed = 2,
    bsHeldDown = 3,
    bsHot = 4
};

enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

enum TButtonDisplayMode : uint8_t { dmBoth, dmGlyphOnly, dmTextOnly };

enum TDragHandleStyle : uint8_t { dhDouble, dhNone, dhSingle };

} // namespace orv

#include <stdexcept>
#include <string>

namespace orv {

// Invalid-operation error of the components, with their fixed English texts.
class EInvalidOperation : public std::runtime_error {
public:
    explicit EInvalidOperation(const std::string &Message) : std::runtime_error(Message) {}
};

// The system colours the toolbar family paints with, 0xRRGGBB. One set for
// the process; a change counts as a system-colour change (built images of
// buttons are dropped by the caller).
struct TSysColors {
    uint32_t BtnFace = 0xD4D0C8;
    uint32_t BtnHighlight = 0xFFFFFF;
    uint32_t BtnShadow = 0x808080;
    uint32_t BtnDkShadow = 0x404040;
    uint32_t BtnText = 0x000000;
    uint32_t Window = 0xFFFFFF;
    uint32_t WindowText = 0x000000;
    uint32_t ActiveCaption = 0x0A246A;
    uint32_t InactiveCaption = 0x808080;
    uint32_t CaptionText = 0xFFFFFF;
    uint32_t InactiveCaptionText = 0xD4D0C8;
    bool operator==(const TSysColors &) const = default;
};

const TSysColors &SysColors();
void SetSysColors(const TSysColors &Colors);

} // namespace orv
