#include "view3d/milling/3DOutput.h"

#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/tests/ToolingFixture.h"
#include "platform/tests/CountingLoop.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace orv {
namespace {

// Records every call of the sink as a line of text.
class TFakeView : public T3DView {
public:
    explicit TFakeView(std::vector<std::string> &Log) : FLog(Log) {}
    void SetUnits(TUnits Units) override { Say("units", {double(Units)}); }
    void AddStraightMove(uint8_t Kind, double X1, double Y1, double Z1, double X2, double Y2,
                         double Z2, double R) override
    {
        Say("line", {double(Kind), X1, Y1, Z1, X2, Y2, Z2, R});
    }
    void AddArcMove(int Plane, double X1, double Y1, double Z1, double CX, double CY, double CZ,
                    double Radius, double Sweep, double R) override
    {
        Say("arc", {double(Plane), X1, Y1, Z1, CX, CY, CZ, Radius, Sweep, R});
    }
    void SetBilletSize(double X, double Y, double Z) override { Say("billet", {X, Y, Z}); }
    void FinishRun() override { Say("finish", {}); }
    void SetToolShape(uint8_t Shape) override { Say("shape", {double(Shape)}); }
    void SetProgramName(const std::string &Name) override { FLog.push_back("program " + Name); }
    bool TurboDown() const override { return Turbo; }
    void SetPanelText(int Index, const std::string &Text) override { Panels[Index] = Text; }
    void SetPanelWidth(int Index, int Width) override { Widths[Index] = Width; }
    int PanelTextWidth(const std::string &Text) const override { return 7 * int(Text.size()); }

    bool Turbo = false;
    std::map<int, std::string> Panels;
    std::map<int, int> Widths;

private:
    void Say(const char *What, std::initializer_list<double> Values)
    {
        std::ostringstream s;
        s << What;
        for (double v : Values)
            s << ' ' << v;
        FLog.push_back(s.str());
    }
    std::vector<std::string> &FLog;
};

const char *const Library = "[End 6]\r\nDiameter=6\r\nlength=50\r\nType=1\r\n"
                            "[Ball 8]\r\nDiameter=8\r\nlength=40\r\nType=2\r\n"
                            "[Drill 5]\r\nDiameter=5\r\nlength=40\r\nType=4\r\n"
                            "[Ball 10]\r\nDiameter=10\r\nlength=40\r\nType=2\r\n";
const char *const Changer = "[Global]\r\nCurrent Tool=1\r\n[Tool1]\r\nTool Name=End 6\r\n"
                            "[Tool2]\r\nTool Name=Ball 8\r\n[Tool3]\r\nTool Name=Drill 5\r\n";

TCNC_data Record(int Motion, double X = NoValue, double Y = NoValue, double Z = NoValue)
{
    TCNC_data d;
    d.Motion = Motion;
    d.X = X;
    d.Y = Y;
    d.Z = Z;
    return d;
}

TCNC_data ToolChange(int Tool)
{
    TCNC_data d;
    d.Tool = Tool;
    d.MCode = 6;
    return d;
}

class T3DOutputTest : public test::TToolingFixture {
protected:
    T3DOutputTest()
    {
        LoadTooling(Tooling, Library, Changer);
        auto view = std::make_unique<TFakeView>(Log);
        View = view.get();
        Sink = std::make_unique<T3DOutput>(std::move(view));
        Sink->Tooling = &Tooling;
        Sink->OnNextNotify = [this](TObject *) { ++Requests; };
        Sink->Initialise();
        Sink->Start();
        Log.clear();
        Requests = 0;
    }
    void Run(TCNC_data Data) { Sink->Execute(Data); }

    TMachine_Tooling Tooling;
    std::vector<std::string> Log;
    TFakeView *View = nullptr;
    std::unique_ptr<T3DOutput> Sink;
    int Requests = 0;
};

TEST_F(T3DOutputTest, FirstMoveStartsHighAboveTheBilletAndUnsetWordsKeepTheLastValues)
{
    Run(Record(0, 10, 20, NoValue));
    Run(Record(1, NoValue, 25, -1));
    const std::vector<std::string> expected = {"line 2 0 0 1000 10 20 1000 1.5",
                                               "line 0 10 20 1000 10 25 -1 1.5"};
    EXPECT_EQ(Log, expected);
    EXPECT_EQ(Requests, 2);
}

TEST_F(T3DOutputTest, ArcsKeepTheLastCentreWordsAndUseTheRecordsPlane)
{
    TCNC_data a = Record(2, 20, 0, 0);
    a.I = 10;
    a.J = 0;
    a.K = 0;
    a.Sweep = 180;
    a.Radius = 10;
    a.Plane = 18;
    Run(a);
    TCNC_data b = Record(3, 0, NoValue, NoValue);
    b.I = NoValue;
    b.J = 5;
    b.K = NoValue;
    b.Sweep = -90;
    b.Radius = 10;
    b.Plane = 17;
    Run(b);
    ASSERT_EQ(Log.size(), 2u);
    EXPECT_EQ(Log[0], "arc 18 0 0 1000 10 0 0 10 180 1.5");
    EXPECT_EQ(Log[1], "arc 17 20 0 0 10 5 0 10 -90 1.5");
}

TEST_F(T3DOutputTest, BlockDeletedLineWithSkipOnDrawsNothingButAsksForTheNext)
{
    Sink->BlockSkip = true;
    TCNC_data d = Record(1, 5, 5, 5);
    d.BlockDelete = true;
    d.Feed = 100;
    Run(d);
    EXPECT_TRUE(Log.empty());
    EXPECT_TRUE(View->Panels.empty());
    EXPECT_EQ(Requests, 1);
    Sink->BlockSkip = false;
    Run(d);
    EXPECT_EQ(Log.size(), 1u);
}

TEST_F(T3DOutputTest, ToolShapeFollowsTheCutterType)
{
    struct {
        int Tool;
        int Shape;
        double Radius;
    } cases[] = {{2, 2, 4}, {3, 4, 2.5}, {1, 0, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Tool);
        Log.clear();
        Run(ToolChange(c.Tool));
        Run(Record(1, 1, 1, 1));
        ASSERT_EQ(Log.size(), 2u);
        EXPECT_EQ(Log[0], "shape " + std::to_string(c.Shape));
        EXPECT_NE(Log[1].find(" " + (std::ostringstream() << c.Radius).str()), std::string::npos)
            << Log[1];
    }
    EXPECT_EQ(ToolShapeOf(BallNose), 2);
    EXPECT_EQ(ToolShapeOf(Engrave), 4);
    EXPECT_EQ(ToolShapeOf(centreDrill), 4);
    EXPECT_EQ(ToolShapeOf(SlabMill), 0);
}

TEST_F(T3DOutputTest, MissingToolAnsweredNoAsksOnceUntilAToolDefinition)
{
    Msgs.Answer("No");
    Run(ToolChange(5));
    EXPECT_EQ(Msgs.Log().size(), 1u);
    EXPECT_EQ(View->Panels[13], "5");
    Run(ToolChange(5));
    EXPECT_EQ(Msgs.Log().size(), 1u);
    Run(Record(-3));
    Msgs.Answer("No");
    Run(ToolChange(5));
    EXPECT_EQ(Msgs.Log().size(), 2u);
    EXPECT_EQ(Sink->ToolDiameter, 3.0); // the previous tool goes on
}

TEST_F(T3DOutputTest, WaitForAMissingToolEndsOnStopAndOnRelease)
{
    int pages = 0;
    Sink->OnNeedsToolPage = [&](TObject *) { ++pages; };
    // The stop arrives while the wait serves messages.
    Msgs.Answer("Yes");
    Loop.Post([this] { Sink->Stop(); });
    Run(ToolChange(6));
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(Requests, 0); // stopped: no next record
    // The engine releases the output: it unwires it first.
    Sink->Stopped = false;
    Run(Record(-3));
    Requests = 0;
    Msgs.Answer("Yes");
    Loop.Post([this] { Sink->OnNextNotify = nullptr; });
    Run(ToolChange(6));
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(Requests, 0);
}

TEST_F(T3DOutputTest, WaitEndsWhenTheToolArrives)
{
    Msgs.Answer("Yes");
    Loop.Post([this] { Tooling.InsertTool(6, "Ball 10"); });
    Run(ToolChange(6));
    EXPECT_EQ(Sink->ToolDiameter, 10);
    EXPECT_EQ(Log.back(), "shape 2");
}

// The operator answers Yes and takes two seconds to put the tool in: the
// output sleeps that whole time in one wait, and then takes the tool.
TEST_F(T3DOutputTest, WaitForAMissingToolSleepsUntilTheToolIsPutIn)
{
    test::TCountingLoop loop;
    TEventLoopScope scope(loop);
    TTimer operatorAtTheChanger;
    operatorAtTheChanger.SetInterval(2000);
    operatorAtTheChanger.OnTimer = [&] {
        operatorAtTheChanger.SetEnabled(false);
        Tooling.SetToolName(5, "Ball 8");
    };
    operatorAtTheChanger.SetEnabled(true);
    Msgs.Answer("Yes");
    Run(ToolChange(5));
    EXPECT_EQ(loop.NowMs(), 2000);
    EXPECT_EQ(loop.Serves, 0) << "the wait served messages in a loop";
    EXPECT_EQ(loop.Waits, 1);
    EXPECT_EQ(Sink->ToolDiameter, 8) << "the tool put in is taken";
    EXPECT_EQ(Log.back(), "shape 2");
}

TEST_F(T3DOutputTest, EndRecordOfAStoppedRunGoesOnAsNone)
{
    TCNC_data end = Record(EndOfProgramCode);
    Sink->Execute(end);
    EXPECT_EQ(Log.back(), "finish");
    EXPECT_EQ(end.Motion, EndOfProgramCode);
    EXPECT_EQ(Requests, 0);
    Sink->Stop();
    Sink->Execute(end);
    EXPECT_EQ(end.Motion, NoMoveCode);
}

TEST_F(T3DOutputTest, StatusReadoutAndPanelWidths)
{
    TCNC_data d = Record(1, 12.5, NoValue, -2);
    d.Feed = 300;
    d.MCode = 3;
    d.Spindle = 1200;
    Run(d);
    EXPECT_EQ(View->Panels[1], "12.500");
    EXPECT_EQ(View->Panels.count(3), 0u);
    EXPECT_EQ(View->Panels[5], "-2.000");
    EXPECT_EQ(View->Panels[7], "300.000");
    EXPECT_EQ(View->Panels[9], "3");
    EXPECT_EQ(View->Panels[11], "1200");
    EXPECT_EQ(View->Panels.count(13), 0u);
    // In Turbo the readout is skipped.
    View->Turbo = true;
    Run(Record(1, 40, 0, 0));
    EXPECT_EQ(View->Panels[1], "12.500");
    Sink->SetStatusPanel(14, "Program end");
    EXPECT_EQ(View->Widths[14], 7 * 11 + 12);
    EXPECT_EQ(View->Panels[14], "Program end");
}

TEST_F(T3DOutputTest, BilletSizesAreLimitedToTheMaterialMaximum)
{
    Sink->MaterialMaximum = {80, 1e300, 30};
    Run(Record(-1, 100, 50, 40));
    EXPECT_EQ(Log.back(), "billet 80 50 30");
    EXPECT_EQ(Sink->BilletXSize, 100);
}

} // namespace
} // namespace orv
