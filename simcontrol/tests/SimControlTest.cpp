#include "simcontrol/VelmaroxOCXCtrl.h"

#include "platform/CursorService.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/TempDir.h"
#include "simcontrol/render/SavedImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iterator>
#include <sys/stat.h>

namespace orv {
namespace {

// The window side as a test sees it: repaints draw offscreen at a fixed
// client size; progress windows are counted and can be cancelled.
class CTestWindow : public CControlWindow, public CSceneWindows {
public:
    CTestWindow(CVelmaroxOCXCtrl &Ctrl, int W, int H) : FCtrl(Ctrl), Width(W), Height(H)
    {
        Ctrl.SetWindow(this);
        Ctrl.SetSceneWindows(this);
    }
    void RepaintNow() override
    {
        ++Repaints;
        FCtrl.OnDraw(Width, Height);
    }
    void *Handle() override { return this; }
    class CProgress : public CReplayProgress {
    public:
        explicit CProgress(CTestWindow &W) : FW(W) {}
        void Step() override { ++FW.Steps; }
        bool Cancelled() const override {
            return FW.CancelAfter >= 0 && FW.Steps >= FW.CancelAfter;
        }

    private:
        CTestWindow &FW;
    };
    std::unique_ptr<CReplayProgress> CreateProgress(long long Count) override
    {
        ++ProgressWindows;
        ProgressRange = Count;
        return std::make_unique<CProgress>(*this);
    }
    void ServeProgressMessage() override
    {
        if (OnServe)
            OnServe();
    }

    CVelmaroxOCXCtrl &FCtrl;
    int Width, Height;
    int Repaints = 0;
    int ProgressWindows = 0;
    long long ProgressRange = 0;
    int Steps = 0;
    int CancelAfter = -1;
    std::function<void()> OnServe;
};

TEST(SimControlDispatch, PropertiesAndMethodsByIdWithTheirTypes)
{
    CVelmaroxOCXCtrl ctrl;
    TVariant out;
    EXPECT_EQ(ctrl.Invoke(dispMode, DISPATCH_PROPERTYPUT, {TVariant::I2(2)}, nullptr), S_OK);
    EXPECT_EQ(ctrl.Invoke(dispMode, DISPATCH_PROPERTYGET, {}, &out), S_OK);
    EXPECT_EQ(out.Type, VT_I2);
    EXPECT_EQ(out.AsI2(), 2);
    EXPECT_EQ(ctrl.Invoke(dispRapid, DISPATCH_PROPERTYPUT, {TVariant::Bool(true)}, nullptr), S_OK);
    EXPECT_EQ(ctrl.Invoke(dispRapid, DISPATCH_PROPERTYGET, {}, &out), S_OK);
    EXPECT_TRUE(out.AsBool());
    // Colours read back exactly as written.
    const struct {
        int32_t Id;
        int32_t Colour;
    } colours[] = {{dispBackgroundColour, 0x123456}, {dispBilletColour, 0xC0C0C0},
                   {dispSurfaceColour, 0x000080}, {dispBackgroundColour, 0xFF0000}};
    for (const auto &c : colours) {
        SCOPED_TRACE(c.Id);
        EXPECT_EQ(ctrl.Invoke(c.Id, DISPATCH_PROPERTYPUT, {TVariant::I4(c.Colour)}, nullptr), S_OK);
        EXPECT_EQ(ctrl.Invoke(c.Id, DISPATCH_PROPERTYGET, {}, &out), S_OK);
        EXPECT_EQ(out.Type, VT_I4);
        EXPECT_EQ(out.AsI4(), c.Colour);
    }
    // Before any write the billet colour is the default ramp's.
    CVelmaroxOCXCtrl fresh;
    EXPECT_EQ(fresh.Invoke(dispBilletColour, DISPATCH_PROPERTYGET, {}, &out), S_OK);
    EXPECT_EQ(out.AsI4(), 235 | (255 << 8) | (230 << 16));
}

TEST(SimControlDispatch, EveryMemberTakesItsTypes)
{
    test::TTempDir dir;
    CVelmaroxOCXCtrl ctrl;
    ctrl.OnDraw(120, 90);
    const auto R4 = [](float V) { return TVariant::R4(V); };
    const struct {
        int32_t Id;
        TInvokeKind Kind;
        std::vector<TVariant> Args;
        TVarType ResultType;
    } cases[] = {
        {dispTilt, DISPATCH_PROPERTYPUT, {TVariant::R8(0.3)}, VT_EMPTY},
        {dispTilt, DISPATCH_PROPERTYGET, {}, VT_R8},
        {dispRotation, DISPATCH_PROPERTYPUT, {TVariant::R8(0.2)}, VT_EMPTY},
        {dispRotation, DISPATCH_PROPERTYGET, {}, VT_R8},
        {dispSetBillet, DISPATCH_METHOD, {R4(0), R4(0), R4(-10), R4(50), R4(40), R4(0)}, VT_EMPTY},
        {dispTool,
         DISPATCH_METHOD,
         {TVariant::I2(2), R4(3), TVariant::Bool(true), TVariant::I4(255)},
         VT_EMPTY},
        {dispLinear, DISPATCH_METHOD, {R4(5), R4(5), R4(-2), R4(45), R4(35), R4(-2)}, VT_EMPTY},
        {dispArc,
         DISPATCH_METHOD,
         {R4(25), R4(20), R4(-2), R4(10), R4(0), R4(90), TVariant::Bool(true)},
         VT_EMPTY},
        {dispShowViewer, DISPATCH_METHOD, {TVariant::Bool(true)}, VT_EMPTY},
        {dispRedraw, DISPATCH_METHOD, {TVariant::I2(13)}, VT_EMPTY},
        {dispSave, DISPATCH_METHOD, {TVariant::Str(dir.File("a.bmp"))}, VT_BOOL},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Id);
        TVariant out;
        EXPECT_EQ(ctrl.Invoke(c.Id, c.Kind, c.Args, &out), S_OK);
        EXPECT_EQ(out.Type, c.ResultType);
    }
    EXPECT_DOUBLE_EQ(ctrl.Tilt(), 0.3);
    EXPECT_DOUBLE_EQ(ctrl.Rotation(), 0.2);
    EXPECT_EQ(ctrl.Scene().Moves().LineCount(), 1);
    EXPECT_EQ(ctrl.Scene().Moves().ArcCount(), 1);
    EXPECT_TRUE(std::filesystem::exists(dir.File("a.bmp")));
    // Host z values have the billet top at 0: the record is raised by its height.
    const auto &line = std::get<LineMoveRecord>(ctrl.Scene().Moves()[1]);
    EXPECT_DOUBLE_EQ(line.Z1, 8);
}

TEST(SimControlDispatch, ErrorsForUnknownIdsCountsAndTypes)
{
    CVelmaroxOCXCtrl ctrl;
    TVariant out;
    const struct {
        const char *Name;
        int32_t Id;
        TInvokeKind Kind;
        std::vector<TVariant> Args;
        TComResult Expected;
    } cases[] = {
        {"unknown id", 15, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND},
        {"id 0", 0, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
        {"method as property", dispRedraw, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
        {"Redraw without argument", dispRedraw, DISPATCH_METHOD, {}, DISP_E_BADPARAMCOUNT},
        {"SetBillet with five", dispSetBillet, DISPATCH_METHOD,
         {TVariant::R4(0), TVariant::R4(0), TVariant::R4(0), TVariant::R4(1), TVariant::R4(1)},
         DISP_E_BADPARAMCOUNT},
        {"Save with a number", dispSave, DISPATCH_METHOD, {TVariant::I4(3)}, DISP_E_TYPEMISMATCH},
        {"Mode out of range", dispMode, DISPATCH_PROPERTYPUT, {TVariant::I4(70000)},
         DISP_E_TYPEMISMATCH},
        {"Mode from a double", dispMode, DISPATCH_PROPERTYPUT, {TVariant::R8(1.0)}, S_OK},
        {"AboutBox", dispAboutBox, DISPATCH_METHOD, {}, S_OK},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ctrl.Invoke(c.Id, c.Kind, c.Args, &out), c.Expected);
    }
}

TEST(SimControlScene, EachControlHasItsOwnMoveList)
{
    auto first = std::make_unique<CVelmaroxOCXCtrl>();
    CVelmaroxOCXCtrl second;
    first->Linear(0, 0, -1, 10, 0, -1);
    second.Linear(0, 0, -1, 10, 10, -1);
    second.Linear(10, 10, -1, 20, 10, -1);
    first.reset(); // the host frees one control
    EXPECT_EQ(second.Scene().Moves().Size(), 2u);
    EXPECT_EQ(second.Scene().Moves().LineCount(), 2);
}

TEST(SimControlScene, BilletSetBeforeTheFirstPaintIsKept)
{
    CVelmaroxOCXCtrl ctrl;
    ctrl.SetBillet(0, 0, -40, 100, 75, 0);
    ctrl.OnDraw(232, 186);
    ctrl.SetRotation(0);
    ctrl.OnDraw(232, 186);
    EXPECT_DOUBLE_EQ(ctrl.Scene().Model().Scale(), 2.0);
    EXPECT_EQ(ctrl.Scene().Model().Top(), 80);
    EXPECT_EQ(ctrl.Scene().Model().ColumnCount(), 200);
}

TEST(SimControlScene, DefaultBilletOnlyWhenNoneWasSet)
{
    CVelmaroxOCXCtrl ctrl;
    ctrl.OnDraw(400, 300);
    EXPECT_TRUE(ctrl.Scene().Model().ColumnCount() > 0);
    EXPECT_DOUBLE_EQ(ctrl.Scene().Tilt(), 0.5);
    EXPECT_DOUBLE_EQ(ctrl.Scene().Rotation(), 0.5);
}

TEST(SimControlScene, UnusableBilletsDrawAndCutNothing)
{
    const struct {
        const char *Name;
        float B[6];
    } cases[] = {
        {"zero length", {0, 0, -20, 0, 100, 0}},
        {"negative width", {0, 100, -20, 100, 0, 0}},
        {"no depth", {0, 0, 0, 100, 100, 0}},
        {"infinite", {0, 0, -20, INFINITY, 100, 0}},
        {"not a number", {0, 0, -20, 100, NAN, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        CVelmaroxOCXCtrl ctrl;
        CTestWindow window(ctrl, 200, 150);
        ctrl.SetBillet(c.B[0], c.B[1], c.B[2], c.B[3], c.B[4], c.B[5]);
        ctrl.Mode = 2;
        ctrl.Linear(0, 0, -5, 50, 50, -5);
        ctrl.Redraw(dfClear | dfReplay | dfRender);
        EXPECT_EQ(ctrl.Scene().Model().ColumnCount(), 0);
        const auto &bytes = ctrl.Scene().Image().Bytes();
        EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 204; }));
    }
}

TEST(SimControlScene, TiltStaysWithinZeroToOne)
{
    CVelmaroxOCXCtrl ctrl;
    ctrl.OnDraw(200, 150);
    const struct {
        double Set, Expected;
    } cases[] = {{0.25, 0.25}, {1.5, 1.0}, {-0.5, 0.0}, {NAN, 0.0}, {0.7, 0.7}, {INFINITY, 0.7}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Set);
        EXPECT_EQ(ctrl.Invoke(dispTilt, DISPATCH_PROPERTYPUT, {TVariant::R8(c.Set)}, nullptr),
                  S_OK);
        EXPECT_DOUBLE_EQ(ctrl.Tilt(), c.Expected);
    }
}

TEST(SimControlScene, ModeZeroChangesNoPixelUntilReplayed)
{
    CVelmaroxOCXCtrl ctrl;
    CTestWindow window(ctrl, 240, 180);
    ctrl.OnDraw(240, 180);
    ctrl.Redraw(dfClear | dfRender);
    const std::vector<uint8_t> before = ctrl.Scene().Image().Bytes();
    ctrl.Tool(1, 5, false, 0x00FF00);
    ctrl.Linear(10, 10, -5, 90, 90, -5);
    EXPECT_EQ(ctrl.Scene().Image().Bytes(), before);
    ctrl.Redraw(dfReplay);
    ctrl.Redraw(dfClear | dfRender);
    EXPECT_NE(ctrl.Scene().Image().Bytes(), before);
}

TEST(SimControlScene, ProgressWindowFrom26CountedMoves)
{
    for (int n : {25, 26}) {
        SCOPED_TRACE(n);
        CVelmaroxOCXCtrl ctrl;
        CTestWindow window(ctrl, 200, 150);
        ctrl.OnDraw(200, 150);
        ctrl.Tool(1, 3, false, 0);
        for (int i = 0; i < n; ++i)
            ctrl.Linear(10 + i, 10, -2, 11 + i, 10, -2);
        ctrl.Redraw(dfReplay);
        EXPECT_EQ(window.ProgressWindows, n >= 26 ? 1 : 0);
        if (n >= 26) {
            EXPECT_EQ(window.ProgressRange, n);
            EXPECT_EQ(window.Steps, n + 1); // tool records step the bar too
        }
    }
}

TEST(SimControlScene, CancelStopsAfterTheRecordInHand)
{
    CVelmaroxOCXCtrl ctrl;
    CTestWindow window(ctrl, 200, 150);
    ctrl.OnDraw(200, 150);
    for (int i = 0; i < 40; ++i)
        ctrl.Linear(10 + i, 10, -2, 11 + i, 10, -2);
    window.CancelAfter = 5;
    ctrl.Redraw(dfReplay);
    EXPECT_EQ(window.Steps, 5);
    EXPECT_EQ(ctrl.Scene().Moves().Size(), 40u); // the rest stays for the next replay
}

TEST(SimControlScene, ReplayIsNeverReenteredAndSetBilletEndsIt)
{
    CVelmaroxOCXCtrl ctrl;
    CTestWindow window(ctrl, 200, 150);
    ctrl.OnDraw(200, 150);
    for (int i = 0; i < 30; ++i)
        ctrl.Linear(10 + i, 10, -2, 11 + i, 10, -2);
    int served = 0;
    window.OnServe = [&] {
        if (++served == 3) {
            ctrl.Redraw(dfReplay | dfRender); // a repaint while replaying
            ctrl.SetBillet(0, 0, -10, 50, 50, 0);
        }
    };
    ctrl.Redraw(dfReplay);
    EXPECT_EQ(window.ProgressWindows, 1);
    EXPECT_EQ(served, 3);
    EXPECT_EQ(ctrl.Scene().Moves().Size(), 0u);
    EXPECT_FALSE(ctrl.Scene().Replaying());
}

TEST(SimControlScene, ReleaseDuringAReplayEndsIt)
{
    auto ctrl = std::make_unique<CVelmaroxOCXCtrl>();
    CTestWindow window(*ctrl, 200, 150);
    ctrl->OnDraw(200, 150);
    for (int i = 0; i < 30; ++i)
        ctrl->Linear(10 + i, 10, -2, 11 + i, 10, -2);
    int served = 0;
    window.OnServe = [&] {
        if (++served == 2)
            ctrl.reset();
    };
    window.FCtrl.Redraw(dfReplay);
    EXPECT_EQ(served, 2);
    EXPECT_FALSE(ctrl);
}

TEST(SimControlSave, BeforeTheFirstPaintFalseAndNoFile)
{
    test::TTempDir dir;
    CVelmaroxOCXCtrl ctrl;
    EXPECT_FALSE(ctrl.Save(dir.File("a.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.bmp")));
}

TEST(SimControlSave, LayoutAndWidthRaisedToAMultipleOfFour)
{
    test::TTempDir dir;
    CVelmaroxOCXCtrl ctrl;
    ctrl.OnDraw(101, 50);
    ASSERT_TRUE(ctrl.Save(dir.File("a.bmp")));
    EXPECT_EQ(std::filesystem::file_size(dir.File("a.bmp")), 6158u);
    CSavedBitmap bmp;
    std::string error;
    ASSERT_TRUE(ReadSavedBitmap(dir.File("a.bmp"), bmp, error)) << error;
    EXPECT_EQ(bmp.Width, 104);
    EXPECT_EQ(bmp.Height, 50);
    EXPECT_EQ(bmp.Colours.size(), 226u);
    // Colour v of the file is the colour of pixel value v.
    EXPECT_EQ(bmp.Colours[204], ctrl.Scene().Palette().Get(194) >> 16 |
                                    (ctrl.Scene().Palette().Get(194) & 0xFF00) |
                                    (ctrl.Scene().Palette().Get(194) & 0xFF) << 16);
}

TEST(SimControlSave, FailedSaveKeepsTheOldFile)
{
    test::TTempDir dir;
    CVelmaroxOCXCtrl ctrl;
    ctrl.OnDraw(64, 48);
    const std::string name = dir.Write("old.bmp", "old picture");
    // The disk refuses the picture part way: the save fails and the old file
    // stays, with nothing left beside it.
    {
        test::TFileSizeLimit limit(1000);
        EXPECT_FALSE(ctrl.Save(name));
    }
    EXPECT_EQ(dir.Read("old.bmp"), "old picture");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    // A folder in the way of the name: nothing is left behind.
    std::filesystem::create_directory(dir.File("folder.bmp"));
    EXPECT_FALSE(ctrl.Save(dir.File("folder.bmp")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("folder.bmp")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
    EXPECT_FALSE(ctrl.Save(dir.File("no/such/folder/a.bmp")));
    // Saving twice leaves only the second picture.
    ASSERT_TRUE(ctrl.Save(name));
    ctrl.OnDraw(32, 16);
    ASSERT_TRUE(ctrl.Save(name));
    EXPECT_EQ(std::filesystem::file_size(name), 32u * 16 + 958);
}

TEST(SimControlSave, ThroughALinkTheLinkAndTheModeStay)
{
    test::TTempDir dir;
    CVelmaroxOCXCtrl ctrl;
    ctrl.OnDraw(32, 16);
    const std::string real = dir.Write("real.bmp", "old picture");
    ::chmod(real.c_str(), 0600);
    std::filesystem::create_symlink("real.bmp", dir.File("shown.bmp"));
    ASSERT_TRUE(ctrl.Save(dir.File("shown.bmp")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("shown.bmp")));
    EXPECT_EQ(std::filesystem::file_size(real), 32u * 16 + 958);
    EXPECT_EQ(std::filesystem::status(real).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(SimControlMouse, DragsFollowTheFormulasAndCursorJumps)
{
    TRecordingCursor cursor;
    SetCursorService(&cursor);
    CVelmaroxOCXCtrl ctrl;
    CTestWindow window(ctrl, 201, 101);
    ctrl.OnDraw(201, 101);
    ctrl.LeftButtonDown(50, 25, mkLeft);
    EXPECT_EQ(ctrl.DragMode(), 1);
    ctrl.MouseMove(150, 50, mkLeft);
    EXPECT_DOUBLE_EQ(ctrl.Tilt(), 0.5);
    EXPECT_NEAR(ctrl.Rotation(), (300.0 - 201) * 1.570796 / 201, 1e-12);
    ctrl.LeftButtonUp(150, 50);
    // Control: a light drag from where the last one ended (the first press).
    ctrl.LeftButtonDown(10, 10, mkLeft | mkControl);
    ctrl.MouseMove(100, 40, mkLeft | mkControl);
    const double g = 200.0 / 201 - 1, d = 40.0 / 101;
    EXPECT_NEAR(ctrl.Scene().Viewer().Light[0], g * d, 1e-12);
    ctrl.LeftButtonUp(100, 40);
    // Shift: tilt only; the cursor stays.
    ctrl.LeftButtonDown(7, 7, mkLeft | mkShift);
    ctrl.MouseMove(7, 75, mkLeft | mkShift);
    EXPECT_DOUBLE_EQ(ctrl.Tilt(), 0.75);
    ctrl.LeftButtonUp(7, 75);
    ctrl.LeftButtonDown(1, 1, mkLeft | mkControl);
    ctrl.LeftButtonUp(1, 1);
    const std::vector<std::string> expected = {
        "confine", "capture", "move 50,25", "release capture", "release confine",
        "confine", "capture", "move 50,25", "release capture", "release confine",
        "confine", "capture", "release capture", "release confine",
        "confine", "capture", "move 100,40", "release capture", "release confine"};
    EXPECT_EQ(cursor.Calls, expected);
    SetCursorService(nullptr);
}

TEST(SimControlMouse, ZeroLengthDragStillReplaysAndOnePixelHighIsSafe)
{
    CVelmaroxOCXCtrl ctrl;
    CTestWindow window(ctrl, 200, 1);
    ctrl.OnDraw(200, 1);
    ctrl.Linear(10, 10, -2, 50, 10, -2);
    ctrl.LeftButtonDown(20, 0, mkLeft);
    ctrl.MouseMove(20, 0, mkLeft);
    EXPECT_TRUE(std::isfinite(ctrl.Tilt()));
    const int before = window.Repaints;
    ctrl.LeftButtonUp(20, 0);
    EXPECT_EQ(window.Repaints - before, 2);
    ctrl.Invoke(dispTilt, DISPATCH_PROPERTYPUT, {TVariant::R8(0)}, nullptr);
    ctrl.RightButtonDown(20, 0); // the probe at tilt 0 does nothing
}

TEST(SimControlTools, NumbersAboveFifteenAreClamped)
{
    CVelmaroxOCXCtrl ctrl;
    ctrl.Mode = 1;
    ctrl.OnDraw(100, 80);
    ctrl.Tool(99, 3, false, 0x0000FF);
    EXPECT_EQ(ctrl.Scene().Palette().Get(215), 0x0000FFu);
    EXPECT_EQ(ctrl.Scene().Model().ToolNumber, 15);
    ctrl.Tool(-4, 3, false, 0x00FF00);
    EXPECT_EQ(ctrl.Scene().Palette().Get(200), 0x00FF00u);
}

} // namespace
} // namespace orv
