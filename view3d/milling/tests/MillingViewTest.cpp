#include "view3d/milling/MillingView.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace orv {
namespace {

// A window on the view: records which hook fires, with what the model
// holds at that moment.
struct TWatchingView : TMillingView {
    std::vector<std::string> Heard;
    void UnitsChanged() override { Heard.push_back(Units() == Inch ? "units inch" : "units"); }
    void PathChanged() override { Heard.push_back("path " + std::to_string(Billet.Path().size())); }
    void SurfaceReset() override { Heard.push_back("reset " + std::to_string(Billet.BilletX())); }
    void RunFinished() override { Heard.push_back("finished"); }
    void PanelChanged(int Index) override
    {
        Heard.push_back("panel " + std::to_string(Index) + " " + PanelText(Index) + " " +
                        std::to_string(PanelWidth(Index)));
    }
};

TEST(MillingView, WindowHearsEachChangeOnceAfterTheModel)
{
    struct {
        const char *Name;
        std::function<void(TMillingView &)> Call;
        std::vector<std::string> Heard;
    } cases[] = {
        {"units", [](TMillingView &V) { V.SetUnits(Inch); }, {"units inch"}},
        {"billet", [](TMillingView &V) { V.SetBilletSize(40, 10, 5); }, {"reset 40.000000"}},
        {"straight", [](TMillingView &V) { V.AddStraightMove(2, 0, 0, 5, 1, 1, 5, 1); },
         {"path 1"}},
        {"arc: 16 chords", [](TMillingView &V) { V.AddArcMove(17, 10, 0, 5, 0, 0, 5, 10, 90, 1); },
         {"path 17"}},
        {"end of run", [](TMillingView &V) { V.FinishRun(); }, {"finished"}},
        {"panel text", [](TMillingView &V) { V.SetPanelText(3, "1.5"); }, {"panel 3 1.5 50"}},
        {"panel width", [](TMillingView &V) { V.SetPanelWidth(2, 33); }, {"panel 2 Y: 33"}},
        {"panel out of range", [](TMillingView &V) { V.SetPanelText(15, "x"); }, {}},
        {"tool and name", [](TMillingView &V) {
             V.SetToolShape(ToolShapeFlat);
             V.SetProgramName("A.FNC");
         }, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TWatchingView view;
        c.Call(view);
        EXPECT_EQ(view.Heard, c.Heard);
    }
}

TEST(MillingView, SettingsGiveThePathColoursAndKinds)
{
    TMillingView view;
    TG3D_settings s;
    s.RapidColour = 1;
    s.LinearColour = 2;
    s.CircularColour = 3;
    s.ShowRapids = false;
    view.ApplySetup(s);
    EXPECT_EQ(view.Billet.PathColours, (std::array<int32_t, 3>{2, 3, 1}));
    EXPECT_EQ(view.Billet.PathShown, (std::array<bool, 3>{true, true, false}));
    EXPECT_EQ(view.Billet.TurboCount, 9999);
}

TEST(MillingView, GridChangeOfMoreThanTheToleranceResetsTheBillet)
{
    struct {
        const char *Name;
        double BilletX, BilletY, NewGrid;
        bool Reset;
    } cases[] = {
        {"large billet, 0.6 to 0.7", 100, 50, 0.7, true},
        {"large billet, 0.6 to 0.65", 100, 50, 0.65, false},
        {"small billet (0.2), 0.6 to 0.7", 60, 30, 0.7, true},
        {"small billet (0.2), to 0.25", 60, 30, 0.25, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TMillingView view;
        TG3D_settings s;
        view.ApplySetup(s);
        view.SetBilletSize(c.BilletX, c.BilletY, 10);
        view.Billet.ToolShape = ToolShapeFlat;
        view.AddStraightMove(0, 10, 10, -1, 20, 10, -1, 1);
        ASSERT_LT(view.Billet.SurfaceAt(15, 10), 0);
        s.GridSize = c.NewGrid;
        view.OptionsAccepted(s);
        EXPECT_EQ(view.Billet.SurfaceAt(15, 10) == 0, c.Reset);
        EXPECT_EQ(view.Billet.Path().empty(), c.Reset);
    }
}

TEST(MillingView, StatusBarLabelsAndWidths)
{
    TMillingView view;
    EXPECT_EQ(view.PanelText(0), "X :");
    EXPECT_EQ(view.PanelText(12), "T :");
    EXPECT_EQ(view.PanelWidth(0), 20);
    EXPECT_EQ(view.PanelWidth(1), 50);
}

TEST(MillingView, SinkWithoutAViewStillPacesTheRun)
{
    T3DOutput sink(nullptr);
    int asked = 0;
    sink.OnNextNotify = [&](TObject *) { ++asked; };
    sink.Initialise();
    sink.SetBillet(0, 0, 10, 10, 10);
    TCNC_data d;
    d.Motion = 1;
    d.X = 5;
    sink.Execute(d);
    sink.SetStatusPanel(14, "text");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(sink.LastX, 5);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST(MillingView, ProbeRidesOnTheCutSurfaceAndStaysOnTheBillet)
{
    TMillingView view;
    view.SetBilletSize(100, 50, 10); // grid 0.6: a pixel is 0.3 mm
    view.Billet.ToolShape = ToolShapeFlat;
    view.AddStraightMove(0, 0, 3, -2, 40, 3, -2, 2);
    struct {
        const char *Name;
        int DX, DY;
        float X, Y, Z;
    } steps[] = {
        {"right 10, down 10: Y clamps at 0, beside the cut", -10, -10, 3, 0, 0},
        {"up 10", 0, 10, 3, 3, -2},
        {"up 20: out of the cut", 0, 20, 3, 9, 0},
        {"far left: clamped at 0", 1000, 0, 0, 9, 0},
        {"far right and up: the corner", -1000, 1000, 100, 50, 0},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.Name);
        view.DragProbe(s.DX, s.DY);
        EXPECT_NEAR(view.ProbeX, s.X, 1e-4);
        EXPECT_NEAR(view.ProbeY, s.Y, 1e-4);
        EXPECT_FLOAT_EQ(view.ProbeZ, s.Z);
    }
    EXPECT_EQ(view.MeasureText(0), "X: 100.000");
    view.SetUnits(Inch);
    EXPECT_EQ(view.MeasureText(1), "Y: 1.9685");
}

TEST(MillingView, DatumEditsReadInTheViewsUnits)
{
    struct {
        const char *Name;
        TUnits Units;
        const char *Text;
        double Mm;
        const char *Shown;
    } cases[] = {
        {"metric", Metric, "5", 5, "5.000"},
        {"metric with a comma", Metric, "-1,5", -1.5, "-1.500"},
        {"inch", Inch, "1", 25.4, "1.0000"},
        {"no number", Metric, "abc", 0, "0.000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TMillingView view;
        view.SetUnits(c.Units);
        view.SetDatumText(0, c.Text);
        EXPECT_DOUBLE_EQ(view.Billet.DatumX, c.Mm);
        EXPECT_EQ(view.DatumText(0), c.Shown);
    }
}

} // namespace
} // namespace orv
