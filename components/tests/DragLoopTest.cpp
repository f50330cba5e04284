// The drag, sizing and close-button loops of tool windows, driven by pointer
// positions, Ctrl and Escape; frame hit testing; keeping windows on screen.
#include "components/toolbar/TbDragLoop.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

const TRect Work{0, 0, 1000, 760};

class DragLoop : public ::testing::Test {
protected:
    TDragLoopSetup Setup(TPoint Start, TPoint Grab = {40, 8})
    {
        TDragLoopSetup s;
        s.Grab = Grab;
        s.OuterSize = {89, 46};
        s.FloatingSize = {89, 46};
        s.FrameThickness = 3;
        s.CaptionHeight = 15;
        s.Start = Start;
        s.WorkAreaAt = [](TPoint) { return Work; };
        TDragCandidate top;
        top.Dock = &TopDock;
        top.Position = dpTop;
        top.DockRect = {0, 0, 1000, 30};
        top.DockedSize = {88, 26};
        TDragCandidate left;
        left.Dock = &LeftDock;
        left.Position = dpLeft;
        left.DockRect = {0, 30, 0, 700};
        left.Empty = true;
        left.DockedSize = {26, 88};
        s.Candidates = {top, left};
        return s;
    }
    int TopDock = 0;
    int LeftDock = 0;
};

TEST_F(DragLoop, DocksFloatsAndFollowsThePointer)
{
    struct TCase {
        const char *Name;
        TPoint P;
        void *Dock;
        TRect Outline;
        int Thickness;
    };
    const TCase cases[] = {
        {"over the top dock", {300, 10}, &TopDock, TRect::FromSize(260, 6, 88, 26), 1},
        {"top reach ends 4 below the dock",
         {300, 33},
         &TopDock,
         TRect::FromSize(260, 29, 88, 26),
         1},
        {"one past the reach floats", {300, 34}, nullptr, TRect::FromSize(260, 26, 89, 46), 3},
        {"far away floats", {300, 200}, nullptr, TRect::FromSize(260, 192, 89, 46), 3},
        {"empty left dock counts one pixel thick",
         {5, 300},
         &LeftDock,
         TRect::FromSize(-6, 285, 26, 88),
         1},
        {"docked outline must still touch the left dock",
         {11, 300},
         &LeftDock,
         TRect::FromSize(0, 285, 26, 88),
         1},
        {"one past the left reach floats",
         {12, 300},
         nullptr,
         TRect::FromSize(-28, 292, 89, 46),
         3},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TDragLoop loop(Setup({500, 500}));
        loop.MouseMove(c.P);
        EXPECT_EQ(loop.TargetDock(), c.Dock);
        EXPECT_EQ(loop.Outline(), c.Outline);
        EXPECT_EQ(loop.OutlineThickness(), c.Thickness);
        EXPECT_EQ(loop.State(), lsRunning);
    }
}

TEST_F(DragLoop, CtrlHeldNeverDocksAndReleasingItDocksAtOnce)
{
    TDragLoopSetup s = Setup({500, 500});
    s.CtrlDown = true;
    TDragLoop loop(s);
    int redraws = 0;
    loop.OnOutlineChanged = [&] { ++redraws; };
    loop.MouseMove({300, 10});
    EXPECT_EQ(loop.TargetDock(), nullptr);
    loop.SetCtrl(false);
    EXPECT_EQ(loop.TargetDock(), &TopDock) << "no pointer move needed";
    EXPECT_EQ(redraws, 2);
    loop.SetCtrl(true);
    EXPECT_EQ(loop.TargetDock(), nullptr);
    loop.Release();
    EXPECT_EQ(loop.State(), lsAccepted);
    EXPECT_EQ(loop.TargetIndex(), -1);
}

TEST_F(DragLoop, RequestDockRefusalTriesTheNextDock)
{
    TDragLoopSetup s = Setup({500, 500});
    int second = 0;
    TDragCandidate other = s.Candidates[0];
    other.Dock = &second;
    s.Candidates.insert(s.Candidates.begin() + 1, other);
    int asked = 0;
    s.Candidates[0].RequestDock = [&](bool &Accept) {
        ++asked;
        Accept = false;
    };
    TDragLoop loop(s);
    loop.MouseMove({300, 10});
    EXPECT_GE(asked, 1);
    EXPECT_EQ(loop.TargetDock(), &second);
}

TEST_F(DragLoop, EscapeAndSecondPressCancel)
{
    TDragLoop loop(Setup({500, 500}));
    loop.MouseMove({300, 10});
    loop.Cancel();
    EXPECT_EQ(loop.State(), lsCancelled);
    loop.Release();
    EXPECT_EQ(loop.State(), lsCancelled) << "a release after the cancel changes nothing";
    loop.MouseMove({300, 300});
    EXPECT_EQ(loop.TargetDock(), &TopDock) << "the cancelled loop no longer tracks";
}

TEST_F(DragLoop, FloatingOutlineStaysReachable)
{
    // Grabbed at the bottom: a pointer at the top edge would leave the whole
    // outline above the work area.
    TDragLoop loop(Setup({500, 500}, {40, 40}));
    loop.MouseMove({300, -100});
    EXPECT_EQ(loop.TargetDock(), nullptr);
    EXPECT_EQ(loop.Outline().Top, 0 + 4 - 3 - 15);
    loop.MouseMove({-500, 400});
    EXPECT_EQ(loop.Outline().Left, -40) << "pointer clamped to the work area";
}

TEST(CloseButtonLoop, HidesOnlyWhenReleasedOverTheButton)
{
    const TRect button = TRect::FromSize(80, 3, 14, 14);
    TCloseButtonLoop a(button);
    EXPECT_TRUE(a.Pushed());
    a.MouseMove({10, 10});
    EXPECT_FALSE(a.Pushed());
    a.MouseMove({85, 10});
    EXPECT_TRUE(a.Pushed());
    a.Release({85, 10});
    EXPECT_EQ(a.State(), lsAccepted);

    TCloseButtonLoop b(button);
    b.Release({10, 10});
    EXPECT_EQ(b.State(), lsCancelled);

    TCloseButtonLoop c(button);
    c.Cancel();
    c.Release({85, 10});
    EXPECT_EQ(c.State(), lsCancelled);
}

TEST(FloatingHitTest, EdgesCornersCaptionAndClose)
{
    const TRect win{0, 0, 100, 60};
    const TRect close = TRect::FromSize(84, 3, 14, 14);
    struct TCase {
        TPoint P;
        bool Resizable, EightWay;
        THitCode Want;
    };
    const TCase cases[] = {
        {{50, 0}, true, true, htTop},        {{5, 0}, true, true, htTopLeft},
        {{16, 0}, true, true, htTopLeft},    {{17, 0}, true, true, htTop},
        {{5, 0}, true, false, htTop},        {{99, 30}, true, true, htRight},
        {{96, 30}, true, true, htRight},     {{95, 30}, true, true, htClient},
        {{0, 50}, true, true, htBottomLeft}, {{50, 59}, true, true, htBottom},
        {{50, 56}, true, true, htBottom},    {{50, 55}, true, true, htClient},
        {{50, 10}, true, true, htCaption},   {{90, 10}, true, true, htClose},
        {{50, 0}, false, true, htClient},    {{50, 40}, true, true, htClient},
        {{100, 30}, true, true, htNowhere},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.P.X << "," << c.P.Y);
        EXPECT_EQ(FloatingHitTest(win, c.P, 3, 15, c.Resizable, c.EightWay, close), c.Want);
    }
}

TEST(SizeLoop, MovesEdgesKeepsTheMinimumAndCancels)
{
    const TRect start{100, 100, 200, 160};
    TSizeLoop right(htRight, start, {200, 130}, {50, 40});
    right.MouseMove({150, 130});
    EXPECT_EQ(right.Rect(), (TRect{100, 100, 150, 160}));
    right.MouseMove({120, 130});
    EXPECT_EQ(right.Rect(), (TRect{100, 100, 150, 160})) << "held at the minimum width";
    right.Release();
    EXPECT_EQ(right.State(), lsAccepted);

    TSizeLoop corner(htTopLeft, start, {100, 100}, {50, 40});
    corner.MouseMove({90, 80});
    EXPECT_EQ(corner.Rect(), (TRect{90, 80, 200, 160}));
    corner.MouseMove({180, 150});
    EXPECT_EQ(corner.Rect(), (TRect{150, 120, 200, 160}));
    corner.Cancel();
    EXPECT_EQ(corner.State(), lsCancelled);

    TSizeLoop tracked(htBottom, start, {150, 160}, {50, 40});
    tracked.OnTrack = [](TRect &R, const TRect &Orig) { R.Bottom = Orig.Bottom + 30; };
    tracked.MouseMove({150, 170});
    EXPECT_EQ(tracked.Rect().Bottom, 190);
}

TEST(KeepOnScreen, ShiftsOnlyWindowsThatLeftTheWorkArea)
{
    struct TCase {
        const char *Name;
        TRect Window;
        bool OnlyWhenOff;
        TRect Want;
    };
    const TCase cases[] = {
        {"inside stays", TRect::FromSize(10, 10, 100, 50), true, TRect::FromSize(10, 10, 100, 50)},
        {"touching stays", TRect::FromSize(999, 10, 100, 50), true,
         TRect::FromSize(999, 10, 100, 50)},
        {"just off moves in", TRect::FromSize(1000, 10, 100, 50), true,
         TRect::FromSize(900, 10, 100, 50)},
        {"above moves down", TRect::FromSize(10, -60, 100, 50), true,
         TRect::FromSize(10, 0, 100, 50)},
        {"without the flag any overhang moves", TRect::FromSize(-5, 10, 100, 50), false,
         TRect::FromSize(0, 10, 100, 50)},
        {"larger than the work area keeps its top-left inside", TRect::FromSize(50, 50, 1200, 900),
         false, TRect::FromSize(0, 0, 1200, 900)},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(KeepRectOnScreen(c.Window, Work, c.OnlyWhenOff), c.Want);
    }
}

} // namespace
} // namespace orv
