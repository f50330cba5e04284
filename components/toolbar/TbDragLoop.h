#pragma once
// The interactive loops of the tool windows as state machines fed with
// screen positions (pixels), the Ctrl key and Escape: dragging a window
// between docks and the floating state, sizing a floating window by its
// frame, and tracking its close button. The widget layer turns mouse and key
// events into these calls and shows the outline; tests drive them directly.

#include "components/toolbar/TbTypes.h"

#include <functional>
#include <vector>

namespace orv {

// A dock that may receive the dragged window.
struct TDragCandidate {
    void *Dock = nullptr; // the caller's dock, handed back as the target
    TDockPosition Position = dpTop;
    TRect DockRect;     // screen rectangle of the dock
    bool Empty = false; // an empty dock counts as 1 pixel thicker across
    TSize DockedSize;   // outer size of the window docked there
    // OnRequestDock: clearing Accept refuses (the next candidate is tried).
    std::function<void(bool &Accept)> RequestDock;
};

enum TLoopState : uint8_t { lsRunning, lsAccepted, lsCancelled };

struct TDragLoopSetup {
    TPoint Grab;                            // press point relative to the outer rectangle
    TSize OuterSize;                        // current outer size of the window
    TSize FloatingSize;                     // outer size when floating
    std::vector<TDragCandidate> Candidates; // in search order
    int FrameThickness = 3;                 // floating frame
    int CaptionHeight = 15;
    bool CtrlDown = false; // Ctrl held at the start: no docking
    TPoint Start;          // press point on the screen
    // Work area of the monitor that holds a point.
    std::function<TRect(TPoint)> WorkAreaAt;
};

class TDragLoop {
public:
    // Starts the drag; the first outline follows Setup.Start.
    explicit TDragLoop(TDragLoopSetup Setup);

    // Pointer moved to Screen.
    void MouseMove(TPoint Screen);
    // Ctrl pressed or released during the drag: the outline follows at once.
    void SetCtrl(bool Down);
    // Escape, a second left press or a left double-click.
    void Cancel();
    // The left button came up.
    void Release();
    // The window lost the mouse capture.
    void CaptureLost() { Cancel(); }

    TLoopState State() const { return FState; }
    // Index of the accepting candidate, -1 while floating.
    int TargetIndex() const { return FTarget; }
    void *TargetDock() const;
    // Outline in screen coordinates; one pixel thick over a dock, frame-thick floating.
    const TRect &Outline() const { return FOutline; }
    int OutlineThickness() const;

    // Fired whenever the outline moves or changes thickness.
    std::function<void()> OnOutlineChanged;

private:
    bool DockAccepts(const TDragCandidate &C, TPoint P) const;
    TRect PlaceRect(TPoint P, TSize Size) const;
    TRect KeepFloatingReachable(TRect R) const;
    void Track(TPoint P);

    TDragLoopSetup FSetup;
    TPoint FLast;
    bool FHasPoint = false;
    bool FNoDocking;
    TLoopState FState = lsRunning;
    int FTarget = -1;
    TRect FOutline;
};

// The close-button loop: pushed while the pointer is over the button.
class TCloseButtonLoop {
public:
    explicit TCloseButtonLoop(TRect Button) : FButton(Button) {}
    void MouseMove(TPoint P) { FPushed = FButton.Contains(P); }
    // Left release: accepted (the window hides) only over the button.
    void Release(TPoint P);
    void Cancel()
    {
        FState = lsCancelled;
        FPushed = false;
    }
    bool Pushed() const { return FPushed; }
    TLoopState State() const { return FState; }

private:
    TRect FButton;
    bool FPushed = true;
    TLoopState FState = lsRunning;
};

// Hit-test codes of a floating window's frame.
enum THitCode : uint8_t {
    htNowhere,
    htClient,
    htCaption,
    htClose,
    htLeft,
    htRight,
    htTop,
    htTopLeft,
    htTopRight,
    htBottom,
    htBottomLeft,
    htBottomRight
};

bool IsSizingCode(THitCode Code);

// The floating window's frame zones: Window is the outer rectangle (screen
// or window coordinates, as P). Left and top zones are Frame wide, right
// and bottom ones a pixel wider; with EightWay the ends of each edge
// (caption + frame - 1 pixels) answer the corner codes.
THitCode FloatingHitTest(TRect Window, TPoint P, int Frame, int Caption, bool Resizable,
                         bool EightWay, TRect CloseButton);

// The sizing loop of a floating window.
class TSizeLoop {
public:
    TSizeLoop(THitCode Code, TRect Start, TPoint PressPoint, TSize MinSize);
    void MouseMove(TPoint Screen);
    void Cancel() { FState = lsCancelled; }
    void Release() { FState = lsAccepted; }
    TLoopState State() const { return FState; }
    const TRect &Rect() const { return FRect; }
    THitCode Code() const { return FCode; }

    // May adjust the new rectangle (NewRect, OrigRect), as SizingTrack does.
    std::function<void(TRect &NewRect, const TRect &OrigRect)> OnTrack;

private:
    THitCode FCode;
    TRect FStart;
    TPoint FPress;
    TSize FMin;
    TRect FRect;
    TLoopState FState = lsRunning;
};

// Where a floating window goes so it is on its work area again. With
// OnlyWhenOffScreen a window that still touches the work area stays.
TRect KeepRectOnScreen(TRect Window, TRect WorkArea, bool OnlyWhenOffScreen);

} // namespace orv
