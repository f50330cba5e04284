// The 2D output: records into drawing elements, remembered coordinates,
// billet events, tool changes and their colours, the end record, and the
// wait for a missing tool that a stop or the release of the output ends.

#include "engine/view2d/Draw_2D.h"

#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/tests/View2dFixture.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "engine/core/DUtils.h"
#include "platform/IniFile.h"
#include "platform/tests/CountingLoop.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::MoveRecord;

const char *const Library = "[End 6]\r\nDiameter=6\r\nlength=50\r\nType=1\r\ncolour=255\r\n"
                            "[Drill 3]\r\nDiameter=3\r\nlength=40\r\nType=4\r\ncolour=65280\r\n";
const char *const Changer = "[Global]\r\nCurrent Tool=1\r\n"
                            "[Tool1]\r\nTool Name=End 6\r\n[Tool2]\r\nTool Name=Drill 3\r\n";

TCNC_data ToolChange(int Tool)
{
    TCNC_data Data;
    Data.MCode = 6;
    Data.Tool = Tool;
    return Data;
}

class View2dSink : public test::TView2dFixture {
protected:
    View2dSink()
    {
        auto Lib = std::make_unique<TTooling_Library>();
        Lib->SetDataFile(Dir.Write("lib.MTD", Library));
        Tooling.SetToolLibrary(std::move(Lib));
        Tooling.SetToolCapacity(8);
        Tooling.SetMachineToolCount(8);
        Tooling.SetDataFile(Dir.Write("mill.MTF", Changer));
        Sink = std::make_unique<TDraw_2D>();
        Sink->ViewFactory = [this] { return std::make_unique<test::TRecordingView>(View); };
        Sink->Tooling = &Tooling;
        Sink->OnNextNotify = [this](TObject *) { ++Requests; };
        Sink->Initialise();
        Sink->SetBillet(0, 0, 100, 50, 20);
        Sink->Start();
        Requests = 0;
    }

    void Run(TCNC_data Data) { Sink->Execute(Data); }
    const TElementList &Elements() const { return Sink->Window()->Elements(); }

    TMachine_Tooling Tooling;
    test::TViewRecord View;
    std::unique_ptr<TDraw_2D> Sink;
    int Requests = 0;
};

TEST_F(View2dSink, FirstMoveStartsAtZ1000WhichIsNotShown)
{
    Run(MoveRecord(0, 10, 20, NoValue));
    ASSERT_EQ(Elements().size(), 1u);
    const TDD_Type &E = Elements()[0];
    EXPECT_EQ(E.Kind, ekRapid);
    EXPECT_DOUBLE_EQ(E.StartX, 0);
    EXPECT_DOUBLE_EQ(E.StartY, 50);
    EXPECT_DOUBLE_EQ(E.StartZ, 1000);
    EXPECT_DOUBLE_EQ(E.EndZ, 1000) << "an unset Z keeps the last one";
    EXPECT_DOUBLE_EQ(E.CutterRadius, 2) << "a 4 mm tool until the first change";
    EXPECT_EQ(View.Status[0], "X= 10.000");
    EXPECT_EQ(View.Status.count(2), 0u) << "Z 1000 is not shown";
    EXPECT_EQ(Requests, 1);
}

TEST_F(View2dSink, UnsetCoordinatesKeepTheLastValue)
{
    Run(MoveRecord(1, 10, 20, -1, 5));
    Run(MoveRecord(1, NoValue, 30, NoValue, 6));
    ASSERT_EQ(Elements().size(), 2u);
    EXPECT_DOUBLE_EQ(Elements()[1].EndX, 10);
    EXPECT_DOUBLE_EQ(Elements()[1].EndY, 20);
    EXPECT_DOUBLE_EQ(Elements()[1].EndZ, -1);
    EXPECT_EQ(Elements()[1].LineNumber, 6);
    EXPECT_EQ(View.Status[2], "Z= -1.000");
}

TEST_F(View2dSink, ArcRecordsBecomeArcElements)
{
    Run(MoveRecord(0, 0, 10, -1));
    TCNC_data Arc = MoveRecord(2, 10, 0, -1);
    Arc.I = 0;
    Arc.J = 0;
    Arc.K = NoValue;
    Arc.Sweep = 90;
    Arc.Radius = 10;
    Run(Arc);
    Arc.Sweep = 5.9;
    Arc.X = NoValue;
    Run(Arc);
    ASSERT_EQ(Elements().size(), 3u);
    EXPECT_EQ(Elements()[1].Kind, ekArc);
    EXPECT_DOUBLE_EQ(Elements()[1].Sweep, -90);
    EXPECT_DOUBLE_EQ(Elements()[1].StartX, 10);
    EXPECT_EQ(Elements()[2].Kind, ekChordArc);
}

TEST_F(View2dSink, BilletRecordSetsTheAreaAndEmptiesTheView)
{
    Run(MoveRecord(1, 10, 20, -1));
    Run(MoveRecord(-1, 100, 50, 20));
    EXPECT_TRUE(Elements().empty());
    EXPECT_EQ(Sink->Window()->AreaWidth, 100);
    EXPECT_EQ(Sink->Window()->AreaHeight, 50);
    EXPECT_DOUBLE_EQ(Sink->Window()->FitScale, 4) << "client width 400 over 100 mm";
    EXPECT_EQ(View.Width, 400);
    EXPECT_EQ(View.Height, 200);
    EXPECT_TRUE(View.Drawing.Shapes.empty());
    Run(MoveRecord(-1, 50, 100, 20));
    EXPECT_DOUBLE_EQ(Sink->Window()->FitScale, 3) << "taller than wide: client height 300";
}

TEST_F(View2dSink, ToolChangesOnceUntilToolDef)
{
    Sink->Window()->ElementColour = 7;
    Run(ToolChange(2));
    EXPECT_EQ(Sink->Window()->ElementColour, 65280);
    EXPECT_DOUBLE_EQ(Sink->ToolDiameter, 3);
    EXPECT_EQ(View.Status[3], "Tool= 2");
    Sink->Window()->ElementColour = 7;
    Run(ToolChange(2));
    EXPECT_EQ(Sink->Window()->ElementColour, 7) << "the same T changes nothing";
    Run(MoveRecord(-3, NoValue, NoValue, NoValue));
    Run(ToolChange(2));
    EXPECT_EQ(Sink->Window()->ElementColour, 65280) << "TOOLDEF reads the tool again";
    Run(MoveRecord(1, 5, 5, -1));
    EXPECT_EQ(Elements().back().Colour, 65280);
    EXPECT_DOUBLE_EQ(Elements().back().CutterRadius, 1.5);
}

TEST_F(View2dSink, EndRecordOfAStoppedOutputIsHiddenFromTheLaterOnes)
{
    TCNC_data End = MoveRecord(EndOfProgramCode, NoValue, NoValue, NoValue);
    Sink->Execute(End);
    EXPECT_EQ(End.Motion, EndOfProgramCode);
    EXPECT_EQ(Requests, 0) << "no request after the end";
    Sink->Stop();
    End.Motion = EndOfProgramCode;
    Sink->Execute(End);
    EXPECT_EQ(End.Motion, NoMoveCode);
}

TEST_F(View2dSink, EndOfProgramSavesThePictureWhenAsked)
{
    Sink->FileName = Dir.File("PART.FNC");
    Sink->Rewind();
    Sink->Start();
    Sink->Window()->AutoSaveBitmap = true;
    Run(MoveRecord(EndOfProgramCode, NoValue, NoValue, NoValue));
    EXPECT_EQ(View.Saved, std::vector<std::string>{Dir.File("PART.bm2")});
}

TEST_F(View2dSink, BlockDeleteLinesAreSkippedWithBlockSkipOn)
{
    TCNC_data Data = MoveRecord(1, 10, 10, -1);
    Data.BlockDelete = true;
    Sink->BlockSkip = true;
    Run(Data);
    EXPECT_TRUE(Elements().empty());
    EXPECT_EQ(Requests, 1);
    Sink->BlockSkip = false;
    Run(Data);
    EXPECT_EQ(Elements().size(), 1u);
}

TEST_F(View2dSink, RewindClearsTheDrawingAtTheNextStart)
{
    Run(MoveRecord(1, 10, 10, -1));
    Sink->Start();
    EXPECT_EQ(Elements().size(), 1u) << "elements stay until a start after a rewind";
    Sink->Rewind();
    Sink->Start();
    EXPECT_TRUE(Elements().empty());
    EXPECT_TRUE(Sink->Window()->Running);
    Sink->Stop();
    EXPECT_FALSE(Sink->Window()->Running);
}

// The operator answers Yes to "Edit Tooling Now"; the wait for the tool
// ends when the run stops, when the output is released, or when the tool
// is put in the changer (then it is taken).
TEST_F(View2dSink, WaitForAMissingToolEnds)
{
    struct TCase {
        const char *Name;
        std::function<void()> Action;
        bool OutputGone;
        TColor Colour;
    } Cases[] = {
        {"stop", [this] { Sink->Stop(); }, false, 7},
        {"run state changes", [this] { Sink->SetCycleState(csStopped); }, false, 7},
        {"output released", [this] { Sink.reset(); }, true, 7},
        {"tool put in", [this] { Tooling.SetToolName(5, "End 6"); }, false, 255},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        Tooling.ClearPosition(5);
        if (!Sink) {
            Sink = std::make_unique<TDraw_2D>();
            Sink->Tooling = &Tooling;
            Sink->Initialise();
        }
        Sink->SetCycleState(csRunning);
        Sink->Start();
        Sink->Window()->ElementColour = 7;
        Msgs.Answer("Yes");
        int Asked = 0;
        Sink->OnNeedsToolPage = [&](TObject *) {
            ++Asked;
            Loop.Post(C.Action);
        };
        Run(ToolChange(5));
        EXPECT_EQ(Asked, 1);
        ASSERT_FALSE(Msgs.Log().empty());
        EXPECT_EQ(Msgs.Log().back().Text, "Failed to Find a valid Tool-5\nEdit Tooling Now");
        EXPECT_EQ(Sink == nullptr, C.OutputGone);
        if (Sink) {
            EXPECT_EQ(Sink->Window()->ElementColour, C.Colour);
        }
    }
}

// The operator takes two seconds to put the tool in: the output sleeps
// that whole time in one wait (no timer of its own runs while it waits).
TEST_F(View2dSink, WaitForAMissingToolSleepsUntilTheToolIsPutIn)
{
    test::TCountingLoop Loop;
    TEventLoopScope Scope(Loop);
    TTimer Operator;
    Operator.SetInterval(2000);
    Operator.OnTimer = [&] {
        Operator.SetEnabled(false);
        Tooling.SetToolName(5, "End 6");
    };
    Operator.SetEnabled(true);
    Sink->Window()->ElementColour = 7;
    Msgs.Answer("Yes");
    Run(ToolChange(5));
    EXPECT_EQ(Loop.NowMs(), 2000);
    EXPECT_EQ(Loop.Serves, 0) << "the wait served messages in a loop";
    EXPECT_EQ(Loop.Waits, 1);
    EXPECT_EQ(Sink->Window()->ElementColour, 255) << "the tool put in is taken";
}

TEST_F(View2dSink, MissingToolAnsweredNoKeepsThePreviousTool)
{
    Sink->Window()->ElementColour = 7;
    Msgs.Answer("No");
    bool Asked = false;
    Sink->OnNeedsToolPage = [&](TObject *) { Asked = true; };
    Run(ToolChange(6));
    EXPECT_FALSE(Asked);
    EXPECT_EQ(Sink->Window()->ElementColour, 7);
    EXPECT_EQ(Sink->LastToolNumber, 6);
    EXPECT_EQ(Requests, 1);
}

TEST_F(View2dSink, ShowLineHighlightsTheLinesElement)
{
    Run(MoveRecord(1, 10, 10, -1, 3));
    Run(MoveRecord(1, 20, 10, -1, 4));
    Sink->ShowLine(nullptr, 3);
    EXPECT_EQ(Sink->Window()->Selected(), 1);
    Sink->SetCycleState(csRunning);
    EXPECT_EQ(Sink->Window()->Selected(), -1) << "the highlight is dropped";
    EXPECT_FALSE(Sink->Window()->PickingAllowed);
}

TEST_F(View2dSink, WindowBoundsAreKeptInTheSettings)
{
    Sink.reset();
    TIniFile Ini(MainIniPath());
    EXPECT_TRUE(Ini.ValueExists("2D Window", "Top"));
    EXPECT_TRUE(Ini.ValueExists("graphics", "Z Width"));
}

} // namespace
} // namespace orv
