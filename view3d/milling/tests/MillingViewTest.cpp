#include "view3d/milling/MillingView.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

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
