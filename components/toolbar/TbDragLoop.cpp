#include "components/toolbar/TbDragLoop.h"

#include <algorithm>

namespace orv {

namespace {

// Horizontal and vertical reach (pixels) around a dock within which the
// pointer may dock a window, scaled by where the window was grabbed.
constexpr int DockReachX = 32;
constexpr int DockReachY = 20;

bool IsVerticalDock(TDockPosition P) { return P == dpLeft || P == dpRight; }

TRect ThickenEmptyDock(TRect R, TDockPosition P)
{
    switch (P) {
    case dpTop:
        ++R.Bottom;
        break;
    case dpBottom:
        --R.Top;
        break;
    case dpLeft:
        ++R.Right;
        break;
    case dpRight:
        --R.Left;
        break;
    }
    return R;
}

int ScaleGrab(int Reach, int Grab, int SizeMinusOne)
{
    return SizeMinusOne > 0 ? MulDiv(Reach, Grab, SizeMinusOne) : 0;
}

TPoint ClampToRect(TPoint P, TRect R)
{
    P.X = std::clamp(P.X, R.Left, std::max(R.Left, R.Right - 1));
    P.Y = std::clamp(P.Y, R.Top, std::max(R.Top, R.Bottom - 1));
    return P;
}

} // namespace

// ------------------------------------------------------------------ TDragLoop

TDragLoop::TDragLoop(TDragLoopSetup Setup) : FSetup(std::move(Setup)), FNoDocking(FSetup.CtrlDown)
{
    Track(FSetup.Start);
}

void *TDragLoop::TargetDock() const
{
    return FTarget >= 0 ? FSetup.Candidates[size_t(FTarget)].Dock : nullptr;
}

int TDragLoop::OutlineThickness() const { return FTarget >= 0 ? 1 : FSetup.FrameThickness; }

TRect TDragLoop::PlaceRect(TPoint P, TSize Size) const
{
    // The grab point keeps its relative place within the new size.
    const int w1 = FSetup.OuterSize.Width - 1;
    const int h1 = FSetup.OuterSize.Height - 1;
    const int dx = w1 > 0 ? MulDiv(FSetup.Grab.X, Size.Width - 1, w1) : FSetup.Grab.X;
    const int dy = h1 > 0 ? MulDiv(FSetup.Grab.Y, Size.Height - 1, h1) : FSetup.Grab.Y;
    return TRect::FromSize(P.X - dx, P.Y - dy, Size.Width, Size.Height);
}

bool TDragLoop::DockAccepts(const TDragCandidate &C, TPoint P) const
{
    const TRect r = C.Empty ? ThickenEmptyDock(C.DockRect, C.Position) : C.DockRect;
    const int a = ScaleGrab(DockReachX, FSetup.Grab.X, FSetup.OuterSize.Width - 1);
    const int c = ScaleGrab(DockReachY, FSetup.Grab.Y, FSetup.OuterSize.Height - 1);
    if (P.X < r.Left - DockReachX + a || P.X > r.Right - 1 + a)
        return false;
    if (IsVerticalDock(C.Position) && (P.Y < r.Top || P.Y >= r.Bottom))
        return false;
    if (P.Y < r.Top - DockReachY + c || P.Y > r.Bottom - 1 + c)
        return false;
    return PlaceRect(P, C.DockedSize).Intersects(r);
}

TRect TDragLoop::KeepFloatingReachable(TRect R) const
{
    if (!FSetup.WorkAreaAt)
        return R;
    const TRect work = FSetup.WorkAreaAt(FLast);
    const int inset = FSetup.FrameThickness + 4;
    const TRect w{work.Left + inset, work.Top + inset, work.Right - inset, work.Bottom - inset};
    if (R.Right <= w.Left)
        R = R.Offset(w.Left - R.Right + 1, 0);
    if (R.Left >= w.Right)
        R = R.Offset(w.Right - 1 - R.Left, 0);
    if (R.Bottom <= w.Top)
        R = R.Offset(0, w.Top - R.Bottom + 1);
    if (R.Top >= w.Bottom)
        R = R.Offset(0, w.Bottom - 1 - R.Top);
    // The caption must stay where the pointer can take it again.
    const int highest = work.Top + 4 - FSetup.FrameThickness - FSetup.CaptionHeight;
    if (R.Top < highest)
        R = R.Offset(0, highest - R.Top);
    return R;
}

void TDragLoop::Track(TPoint P)
{
    FLast = P;
    FHasPoint = true;
    int target = -1;
    for (size_t i = 0; !FNoDocking && i < FSetup.Candidates.size(); ++i) {
        const TDragCandidate &c = FSetup.Candidates[i];
        if (!DockAccepts(c, P))
            continue;
        bool accept = true;
        Fire(c.RequestDock, accept);
        if (accept) {
            target = int(i);
            break;
        }
    }
    TRect outline;
    if (target >= 0) {
        outline = PlaceRect(P, FSetup.Candidates[size_t(target)].DockedSize);
    } else {
        TPoint q = FSetup.WorkAreaAt ? ClampToRect(P, FSetup.WorkAreaAt(P)) : P;
        outline = KeepFloatingReachable(PlaceRect(q, FSetup.FloatingSize));
    }
    const bool changed = target != FTarget || !(outline == FOutline);
    FTarget = target;
    FOutline = outline;
    if (changed)
        Fire(OnOutlineChanged);
}

void TDragLoop::MouseMove(TPoint Screen)
{
    if (FState == lsRunning)
        Track(Screen);
}

void TDragLoop::SetCtrl(bool Down)
{
    if (FState != lsRunning || Down == FNoDocking)
        return;
    FNoDocking = Down;
    if (FHasPoint)
        Track(FLast);
}

void TDragLoop::Cancel()
{
    if (FState == lsRunning)
        FState = lsCancelled;
}

void TDragLoop::Release()
{
    if (FState == lsRunning)
        FState = FHasPoint ? lsAccepted : lsCancelled;
}

// ----------------------------------------------------------- TCloseButtonLoop

void TCloseButtonLoop::Release(TPoint P)
{
    if (FState != lsRunning)
        return;
    FPushed = false;
    FState = FButton.Contains(P) ? lsAccepted : lsCancelled;
}

// ------------------------------------------------------------------- hit test

bool IsSizingCode(THitCode Code) { return Code >= htLeft && Code <= htBottomRight; }

THitCode FloatingHitTest(TRect Window, TPoint P, int Frame, int Caption, bool Resizable,
                         bool EightWay, TRect CloseButton)
{
    if (!Window.Contains(P))
        return htNowhere;
    if (CloseButton.Contains(P))
        return htClose;
    const int x = P.X - Window.Left;
    const int y = P.Y - Window.Top;
    const int w = Window.Width();
    const int h = Window.Height();
    if (Resizable) {
        const int span = EightWay ? Caption + Frame - 1 : 0;
        const bool left = x < Frame, right = x >= w - Frame - 1;
        const bool top = y < Frame, bottom = y >= h - Frame - 1;
        if (top || bottom) {
            if (x < span)
                return top ? htTopLeft : htBottomLeft;
            if (span > 0 && x >= w - span)
                return top ? htTopRight : htBottomRight;
            return top ? htTop : htBottom;
        }
        if (left || right) {
            if (y < span)
                return left ? htTopLeft : htTopRight;
            if (span > 0 && y >= h - span)
                return left ? htBottomLeft : htBottomRight;
            return left ? htLeft : htRight;
        }
    }
    if (y >= Frame && y < Frame + Caption)
        return htCaption;
    return htClient;
}

// ------------------------------------------------------------------ TSizeLoop

TSizeLoop::TSizeLoop(THitCode Code, TRect Start, TPoint PressPoint, TSize MinSize)
    : FCode(Code), FStart(Start), FPress(PressPoint), FMin(MinSize), FRect(Start)
{
}

void TSizeLoop::MouseMove(TPoint Screen)
{
    if (FState != lsRunning)
        return;
    const int dx = Screen.X - FPress.X;
    const int dy = Screen.Y - FPress.Y;
    const bool movesLeft = FCode == htLeft || FCode == htTopLeft || FCode == htBottomLeft;
    const bool movesRight = FCode == htRight || FCode == htTopRight || FCode == htBottomRight;
    const bool movesTop = FCode == htTop || FCode == htTopLeft || FCode == htTopRight;
    const bool movesBottom = FCode == htBottom || FCode == htBottomLeft || FCode == htBottomRight;
    TRect r = FStart;
    if (movesLeft)
        r.Left = std::min(r.Left + dx, r.Right - FMin.Width);
    if (movesRight)
        r.Right = std::max(r.Right + dx, r.Left + FMin.Width);
    if (movesTop)
        r.Top = std::min(r.Top + dy, r.Bottom - FMin.Height);
    if (movesBottom)
        r.Bottom = std::max(r.Bottom + dy, r.Top + FMin.Height);
    Fire(OnTrack, r, FStart);
    FRect = r;
}

// --------------------------------------------------------------- on screen

TRect KeepRectOnScreen(TRect Window, TRect WorkArea, bool OnlyWhenOffScreen)
{
    if (OnlyWhenOffScreen && Window.Intersects(WorkArea))
        return Window;
    if (Window.Right > WorkArea.Right)
        Window = Window.Offset(WorkArea.Right - Window.Right, 0);
    if (Window.Bottom > WorkArea.Bottom)
        Window = Window.Offset(0, WorkArea.Bottom - Window.Bottom);
    if (Window.Left < WorkArea.Left)
        Window = Window.Offset(WorkArea.Left - Window.Left, 0);
    if (Window.Top < WorkArea.Top)
        Window = Window.Offset(0, WorkArea.Top - Window.Top);
    return Window;
}

} // namespace orv
