// The simulation-control link on a recording control: what each record
// sends by dispatch id, the rapid threshold, billets and offsets, tools and
// the wait for a missing one, and the window's settings.

#include "engine/simlink/SimLink.h"

#include "machine/Machine_Tooling.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/Tooling_lib.h"
#include "machine/tests/ToolingFixture.h"
#include "engine/core/DUtils.h"
#include "platform/IniFile.h"
#include "platform/tests/CountingLoop.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>

namespace orv {
namespace {

// Records every call as "id kind args"; Mode reads back as set.
class TRecordingControl : public TComObject {
public:
    explicit TRecordingControl(std::vector<std::string> &Log) : FLog(Log) {}
    TComResult Invoke(int32_t Id, TInvokeKind Kind, const std::vector<TVariant> &Args,
                      TVariant *Result) override
    {
        std::ostringstream line;
        line << Id
             << (Kind == DISPATCH_METHOD        ? " call"
                 : Kind == DISPATCH_PROPERTYPUT ? " put"
                                                : " get");
        for (const TVariant &a : Args) {
            line << ' ';
            if (a.Type == VT_R4 || a.Type == VT_R8)
                line << a.Real;
            else if (a.Type == VT_BSTR)
                line << a.Text;
            else
                line << a.Int;
        }
        if (Kind == DISPATCH_PROPERTYGET) {
            if (Result)
                *Result = TVariant::I2(static_cast<int16_t>(Id == 1 ? Mode : 0));
            return S_OK;
        }
        if (Id == 1 && !Args.empty())
            Mode = Args[0].Int;
        FLog.push_back(line.str());
        return S_OK;
    }
    void Release() override { delete this; }
    int Mode = 0;

private:
    std::vector<std::string> &FLog;
};

class TRecordingThreeDView : public TThreeDView {
public:
    explicit TRecordingThreeDView(std::map<int, std::string> &Status) : FStatus(Status) {}
    void SetStatusText(int Panel, const std::string &Text) override { FStatus[Panel] = Text; }

private:
    std::map<int, std::string> &FStatus;
};

const char *const Library = "[End 6]\r\nDiameter=6\r\nlength=50\r\nType=1\r\ncolour=255\r\n"
                            "[Ball 8]\r\nDiameter=8\r\nlength=40\r\nType=2\r\ncolour=65280\r\n";
const char *const Changer = "[Global]\r\nCurrent Tool=1\r\n"
                            "[Tool1]\r\nTool Name=End 6\r\n[Tool2]\r\nTool Name=Ball 8\r\n";

TCNC_data Move(int Motion, double X, double Y, double Z)
{
    TCNC_data d;
    d.Motion = Motion;
    d.X = X;
    d.Y = Y;
    d.Z = Z;
    return d;
}

class SimLinkTest : public test::TToolingFixture {
protected:
    SimLinkTest()
    {
        LoadTooling(Tooling, Library, Changer);
        Link = std::make_unique<TSimLink>();
        Link->ControlFactory = [this] { return TComPtr(new TRecordingControl(Calls)); };
        Link->ViewFactory = [this] { return std::make_unique<TRecordingThreeDView>(Status); };
        Link->Tooling = &Tooling;
        Link->OnNextNotify = [this](TObject *) { ++Requests; };
        Link->Initialise();
        Link->SetBillet(0, 0, 100, 50, 20);
        Link->Start();
        Calls.clear();
        Requests = 0;
    }
    void Run(TCNC_data Data) { Link->Execute(Data); }
    void Feed(double F)
    {
        TCNC_data d;
        d.Feed = F;
        Run(d);
    }

    TMachine_Tooling Tooling;
    std::unique_ptr<TSimLink> Link;
    std::vector<std::string> Calls;
    std::map<int, std::string> Status;
    int Requests = 0;
};

TEST_F(SimLinkTest, RapidBelowTheBilletIsRaisedToItsBottom)
{
    Run(Move(0, 10, 20, -50));
    const std::vector<std::string> expected = {"2 put 1", "9 call 0 0 0 10 20 -20"};
    EXPECT_EQ(Calls, expected);
    EXPECT_EQ(Requests, 1);
    EXPECT_DOUBLE_EQ(Link->LastZ, -20);
}

TEST_F(SimLinkTest, ArcsAreRaisedAndSweepGivesTheDirection)
{
    Run(Move(0, 10, 0, -5));
    Calls.clear();
    TCNC_data arc = Move(3, 0, 10, -60);
    arc.I = 0;
    arc.J = 0;
    arc.K = 0;
    arc.Sweep = -90;
    arc.Radius = 10;
    Run(arc);
    const std::vector<std::string> expected = {"2 put 0", "10 call 0 0 -20 10 0 90 0"};
    EXPECT_EQ(Calls, expected);
    arc.Sweep = 90;
    arc.X = 10;
    arc.Y = 0;
    Calls.clear();
    Run(arc);
    EXPECT_EQ(Calls.back(), "10 call 0 0 -20 10 90 0 1");
}

// The "9 call" lines sent, as their six numbers.
std::vector<std::array<double, 6>> Lines(const std::vector<std::string> &Calls)
{
    std::vector<std::array<double, 6>> lines;
    for (const std::string &c : Calls) {
        if (c.rfind("9 call ", 0) != 0)
            continue;
        std::istringstream in(c.substr(7));
        std::array<double, 6> l{};
        for (double &v : l)
            in >> v;
        lines.push_back(l);
    }
    return lines;
}

// Arcs of the XZ and YZ planes reach the control as short lines in their
// plane, end to end on the circle, none longer than the machine's "Min
// Chord Length"; a helix moves the third axis evenly. The control's own
// arc lies in its plan, so it is not used for them.
TEST_F(SimLinkTest, ArcsOutsideTheXYPlaneGoAsChordsInTheirPlane)
{
    TRead_Machinedata_file machine;
    machine.MachineCapability.MinChordLength = 0.5;
    const struct {
        const char *Name;
        int Plane;
        double Chord;     // the machine's chord length (0: none given)
        double Start[3], End[3], Centre[3];
        double Sweep;
        double Middle[3]; // the arc's middle point
        size_t Chords;
    } cases[] = {
        // G18 G02 from X20 to X30 at Z-2 about X25: the engine's sweep -180
        // turns it through the bottom, Z-7.
        {"G18 clockwise", 18, 0.5, {20, 40, -2}, {30, 40, -2}, {25, 40, -2}, -180, {25, 40, -7},
         32},
        {"G18 anticlockwise", 18, 0.5, {20, 40, -2}, {30, 40, -2}, {25, 40, -2}, 180,
         {25, 40, 3}, 32},
        // G19 quarter helix: Y30 Z-2 to Y25 Z-7 about Y30 Z-7, X from 10 to 12.
        {"G19 helix", 19, 0.5, {10, 30, -2}, {12, 25, -7}, {10, 30, -7}, -90,
         {11, 26.4645, -3.4645}, 17},
        {"no chord length given", 18, 0, {20, 40, -2}, {30, 40, -2}, {25, 40, -2}, -180,
         {25, 40, -7}, 79},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        machine.MachineCapability.MinChordLength = c.Chord;
        Link->MachineData = &machine;
        Run(Move(0, c.Start[0], c.Start[1], c.Start[2]));
        Calls.clear();
        TCNC_data arc = Move(2, c.End[0], c.End[1], c.End[2]);
        arc.Plane = c.Plane;
        arc.I = c.Centre[0];
        arc.J = c.Centre[1];
        arc.K = c.Centre[2];
        arc.Sweep = c.Sweep;
        arc.Radius = 5;
        Run(arc);
        for (const std::string &call : Calls)
            EXPECT_NE(call.rfind("10 call", 0), 0u) << call;
        const auto lines = Lines(Calls);
        ASSERT_EQ(lines.size(), c.Chords);
        const double chord = c.Chord > 0 ? c.Chord : 0.2;
        const int a = c.Plane == 18 ? 0 : 1, off = c.Plane == 18 ? 1 : 0;
        double from[3] = {c.Start[0], c.Start[1], c.Start[2]};
        for (size_t k = 0; k < lines.size(); ++k) {
            SCOPED_TRACE(k);
            const auto &l = lines[k];
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(l[i], from[i], 1e-4) << "lines follow on";
            EXPECT_LE(std::hypot(l[3] - l[0], l[4] - l[1], l[5] - l[2]), chord + 1e-4);
            const double r = std::hypot(l[3 + a] - c.Centre[a], l[5] - c.Centre[2]);
            EXPECT_NEAR(r, 5, 1e-4) << "on the circle in the arc's plane";
            const double along = (l[3 + off] - c.Start[off]) / (c.End[off] - c.Start[off] + 1e-300);
            if (c.End[off] != c.Start[off])
                EXPECT_NEAR(along, double(k + 1) / lines.size(), 1e-4) << "an even helix";
            else
                EXPECT_NEAR(l[3 + off], c.Start[off], 1e-4);
            for (int i = 0; i < 3; ++i)
                from[i] = l[3 + i];
        }
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(from[i], c.End[i], 1e-4) << "ends at the end point";
        double nearest = 1e9;
        for (const auto &l : lines)
            nearest = std::min(nearest, std::hypot(l[3] - c.Middle[0], l[4] - c.Middle[1],
                                                   l[5] - c.Middle[2]));
        EXPECT_LE(nearest, chord / 2) << "through the arc's middle";
        EXPECT_DOUBLE_EQ(Link->LastX, c.End[0]);
        EXPECT_DOUBLE_EQ(Link->LastZ, c.End[2]);
    }
    // Below the billet the chords are raised to its bottom, as lines are.
    Run(Move(0, 20, 40, -17));
    Calls.clear();
    TCNC_data deep = Move(2, 30, 40, -17);
    deep.Plane = 18;
    deep.I = 25;
    deep.J = 40;
    deep.K = -17;
    deep.Sweep = -180;
    Run(deep);
    double lowest = 0;
    for (const auto &l : Lines(Calls))
        lowest = std::min(lowest, l[5]);
    EXPECT_DOUBLE_EQ(lowest, -20);
    Link->MachineData = nullptr;
}

TEST_F(SimLinkTest, RapidThresholdTurnsFastFeedsIntoRapids)
{
    Link->Window()->RapidFeed = 1000;
    const struct {
        double F;
        const char *Rapid;
    } cases[] = {{1500, "2 put 1"}, {500, "2 put 0"}, {1000, "2 put 1"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.F);
        Calls.clear();
        Feed(c.F);
        Run(Move(1, 5, 5, -1));
        ASSERT_FALSE(Calls.empty());
        EXPECT_EQ(Calls.front(), c.Rapid);
    }
    Link->Window()->RapidFeed = -1;
    Calls.clear();
    Feed(5000);
    Run(Move(1, 6, 6, -1));
    EXPECT_EQ(Calls.front(), "2 put 0");
}

TEST_F(SimLinkTest, BilletWithAndWithoutOffsetsAndEdgeMove)
{
    Link->SetBillet(30, 40, 100, 50, 20);
    EXPECT_EQ(Calls.front(), "8 call 0 0 -20 100 50 0");
    Calls.clear();
    Link->Window()->ToggleOffsets();
    EXPECT_EQ(Calls.front(), "8 call 30 40 -20 130 90 0");
    Calls.clear();
    Run(Move(-6, 5, -10, NoValue));
    EXPECT_EQ(Calls.front(), "8 call 35 30 -20 135 80 0");
    EXPECT_DOUBLE_EQ(Link->BilletXPos, 30) << "the stored position stays";
    Calls.clear();
    Run(Move(-1, 60, 70, 15));
    EXPECT_EQ(Calls.front(), "8 call 30 40 -15 90 110 0");
}

TEST_F(SimLinkTest, ToolShapeFollowsTheCutterType)
{
    TCNC_data change;
    change.MCode = 6;
    change.Tool = 2;
    Run(change);
    EXPECT_EQ(Calls.back(), "13 call 2 4 1 65280");
    change.Tool = 1;
    Run(change);
    EXPECT_EQ(Calls.back(), "13 call 1 3 0 255");
    EXPECT_EQ(Status[3], "Tool =1");
}

TEST_F(SimLinkTest, MissingToolAskedNoKeepsTheTool)
{
    TCNC_data change;
    change.MCode = 6;
    change.Tool = 1;
    Run(change);
    Calls.clear();
    Msgs.Answer("No");
    change.Tool = 99;
    Run(change);
    ASSERT_EQ(Msgs.Log().size(), 1u);
    EXPECT_NE(Msgs.Log()[0].Text.find("99"), std::string::npos);
    EXPECT_EQ(Link->CurrentTool, 1);
    EXPECT_TRUE(Calls.empty());
}

TEST_F(SimLinkTest, WaitForAMissingToolEndsOnStopAndOnRelease)
{
    TCNC_data change;
    change.MCode = 6;
    change.Tool = 99;
    Msgs.Answer("Yes");
    int pages = 0;
    Link->OnNeedsToolPage = [&](TObject *) {
        ++pages;
        Loop.Post([this] { Link->Stop(); });
    };
    Run(change);
    EXPECT_EQ(pages, 1);
    Msgs.Answer("Yes");
    Link->Stopped = false;
    Link->OnNeedsToolPage = [&](TObject *) { Loop.Post([this] { Link.reset(); }); };
    Run(change);
    EXPECT_FALSE(Link);
}

// The operator answers Yes and takes two seconds to put the tool in: the
// link sleeps that whole time in one wait, and then takes the tool.
TEST_F(SimLinkTest, WaitForAMissingToolSleepsUntilTheToolIsPutIn)
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
    TCNC_data change;
    change.MCode = 6;
    change.Tool = 5;
    Run(change);
    EXPECT_EQ(loop.NowMs(), 2000);
    EXPECT_EQ(loop.Serves, 0) << "the wait served messages in a loop";
    EXPECT_EQ(loop.Waits, 1);
    EXPECT_EQ(Calls.back(), "13 call 5 4 1 65280");
    EXPECT_EQ(Status[3], "Tool =5");
}

TEST_F(SimLinkTest, StopRepaintsAndEndRecord)
{
    // Drawing nothing while it ran (Mode 0): the stop replays and redraws.
    Link->Window()->SetDrawMode(0);
    Link->SetCycleState(csRunning);
    Calls.clear();
    Link->SetCycleState(csStopped);
    const std::vector<std::string> expected = {"14 call 4", "14 call 9"};
    EXPECT_EQ(Calls, expected);
    Link->Window()->SetDrawMode(2);
    Link->SetCycleState(csRunning);
    Calls.clear();
    Link->SetCycleState(csPaused);
    EXPECT_EQ(Calls, std::vector<std::string>{"14 call 9"});
    TCNC_data end;
    end.Motion = EndOfProgramCode;
    Link->Stop();
    Link->Execute(end);
    EXPECT_EQ(end.Motion, NoMoveCode);
}

TEST_F(SimLinkTest, SettingsRoundTripWithDefaults)
{
    // Created with the defaults, the control got them.
    Calls.clear();
    auto link = std::make_unique<TSimLink>();
    link->ControlFactory = [this] { return TComPtr(new TRecordingControl(Calls)); };
    link->Initialise();
    const std::vector<std::string> defaults = {"1 put 2", "5 put 16711680", "6 put 12632256",
                                               "7 put 128"};
    EXPECT_EQ(std::vector<std::string>(Calls.begin(), Calls.begin() + 4), defaults);
    link->Window()->RapidFeed = 750;
    link->Window()->ToggleAutoSave();
    link->Window()->ToggleOffsets();
    link->Window()->SetDrawMode(1);
    link.reset();
    TIniFile ini(MainIniPath());
    EXPECT_EQ(ini.ReadString("3D Graphics", "Rapid Feed", ""), "750");
    EXPECT_TRUE(ini.ReadBool("3D Graphics", "AutoSave Bitmap", false));
    link = std::make_unique<TSimLink>();
    link->ControlFactory = [this] { return TComPtr(new TRecordingControl(Calls)); };
    link->Initialise();
    EXPECT_DOUBLE_EQ(link->Window()->RapidFeed, 750);
    EXPECT_TRUE(link->Window()->UseOffsets);
    EXPECT_TRUE(link->Window()->AutoSave);
    EXPECT_EQ(link->Window()->DrawMode, 1);
}

TEST(SimLinkAngle, QuadrantsAndAxes)
{
    const struct {
        double X, Y, Degrees;
    } cases[] = {{1, 0, 0}, {0, 1, 90}, {-1, 0, 180}, {0, -1, 270}, {0, 0, 90}, {1, -1, 315}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y));
        EXPECT_NEAR(SimLinkAngle(c.X, c.Y), c.Degrees, 1e-9);
    }
}

} // namespace
} // namespace orv
