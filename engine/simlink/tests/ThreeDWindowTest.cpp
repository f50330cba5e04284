// The "3D Simulation" window with the control from the plug-in library:
// the control sits in the panel, the link's moves reach its picture, and
// the rapid-feed dialog follows its tick box.

#include "engine/simlink/SimLink.h"
#include "engine/simlink/ui/RapidFeed.h"
#include "engine/simlink/ui/ThreeDWindow.h"
#include "machine/tests/ToolingFixture.h"
#include "platform/ClassRegistry.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace orv {
namespace {

class ThreeDWindowTest : public test::TToolingFixture {
protected:
    ThreeDWindowTest()
    {
        ::setenv("ORV_CLASS_REGISTRY", Dir.File("classes.reg").c_str(), 1);
    }
    ~ThreeDWindowTest() override { ::unsetenv("ORV_CLASS_REGISTRY"); }
};

TEST_F(ThreeDWindowTest, ControlFillsThePanelAndCuts)
{
    ASSERT_EQ(CallRegistrationExport(ORV_VELMAROX_OCX, "DllRegisterServer"), S_OK);
    TSimLink link;
    TThreeDWindow *window = nullptr;
    link.ViewFactory = [&window] {
        auto w = std::make_unique<TThreeDWindow>();
        window = w.get();
        return w;
    };
    ASSERT_TRUE(link.Initialise());
    ASSERT_TRUE(window);
    ASSERT_TRUE(link.Window()->Control()) << "the control comes from the registry";
    window->resize(500, 400);
    window->show();
    ASSERT_TRUE(window->ControlWindow());
    EXPECT_EQ(window->ControlWindow()->geometry(),
              window->Container()->rect().adjusted(1, 1, -1, -1));
    EXPECT_EQ(window->windowTitle(), "3D Simulation");
    link.SetBillet(0, 0, 100, 60, 20);
    link.Window()->Redraw(9);
    const QImage before = window->ControlWindow()->grab().toImage();
    link.LinearMove(10, 10, 5);
    link.LinearMove(10, 10, -5);
    link.LinearMove(80, 40, -5);
    EXPECT_EQ(window->StatusText(0), "X= 80.000");
    const QImage after = window->ControlWindow()->grab().toImage();
    EXPECT_NE(before, after);
    EXPECT_TRUE(window->SavePicture(Dir.File("window.bmp")));
}

TEST(RapidFeedDialog, TickBoxAndFeed)
{
    TRapidFeed ticked(-1);
    EXPECT_TRUE(ticked.RapidOnly->isChecked());
    EXPECT_FALSE(ticked.Feed->isEnabled());
    EXPECT_DOUBLE_EQ(ticked.Threshold(), -1);
    TRapidFeed above(1200);
    EXPECT_FALSE(above.RapidOnly->isChecked());
    EXPECT_TRUE(above.Feed->isEnabled());
    EXPECT_EQ(above.Feed->text(), "1200");
    above.Feed->setText("900");
    EXPECT_DOUBLE_EQ(above.Threshold(), 900);
    above.RapidOnly->setChecked(true);
    EXPECT_FALSE(above.Feed->isEnabled());
    EXPECT_DOUBLE_EQ(above.Threshold(), -1);
}

} // namespace
} // namespace orv
