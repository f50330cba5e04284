// What a user met at the seams between Tarnwick's windows and its user:
// each case drives the program through real input only and checks what the
// user sees and keeps.
#include "shell/tests/user/TarnwickUser.h"

#include "components/toolbar/ui/TbCtls.h"
#include "engine/simlink/ui/ThreeDWindow.h"
#include "shell/ui/main_form3_2.h"

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include <cstdlib>

namespace orv::test {
namespace {

// Pixels that differ between two pictures of one size.
int ChangedPixels(const QImage &Before, const QImage &After)
{
    int changed = 0;
    for (int y = 0; y < Before.height(); ++y)
        for (int x = 0; x < Before.width(); ++x)
            changed += Before.pixel(x, y) != After.pixel(x, y);
    return changed;
}

TEST_F(TarnwickUser, TheStandard3DButtonShowsTheSimulationAndARunDrawsTheDemo)
{
    Start();
    ClickToolbarButton("3D Simulation");
    QWidget *window = WindowTitled("3D Simulation");
    ASSERT_NE(window, nullptr) << "shown: " << ShownWindows();
    ExpectWindowFits(window);
    auto *simulation = dynamic_cast<TThreeDWindow *>(window);
    ASSERT_NE(simulation, nullptr);
    ASSERT_NE(simulation->ControlWindow(), nullptr) << "the control sits in the window";
    const QImage before = simulation->ControlWindow()->grab().toImage();

    ClickToolbarButton("startbutton");
    EXPECT_FALSE(ToolbarButton("startbutton")->isEnabled()) << "the run went to its end";
    EXPECT_TRUE(ToolbarButton("rewindbutton")->isEnabled());
    Serve();
    const QImage after = simulation->ControlWindow()->grab().toImage();
    if (const char *shot = std::getenv("ORV_SCREENSHOT"))
        after.save(shot);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_GT(ChangedPixels(before, after), 500) << "the billet was cut where the demo goes";
}

} // namespace
} // namespace orv::test
