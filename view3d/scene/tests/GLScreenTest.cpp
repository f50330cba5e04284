#include "view3d/scene/GLScreen.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace orv {
namespace {

// A fake driver: a list of modes it reports and accepts.
class TFakeModes : public TDisplayModePlatform {
public:
    std::vector<TVideoMode> Reported;
    std::set<std::tuple<int, int, int>> Accepted;
    bool TrustsEverything = false;
    std::vector<std::string> Log;

    TVideoMode DesktopMode() override { return {1280, 1024, 24, {}}; }
    std::vector<TVideoMode> EnumModes() override { return Reported; }
    bool TestMode(int W, int H, int D) override
    {
        return TrustsEverything || Accepted.count({W, H, D}) > 0;
    }
    bool ChangeMode(int W, int H, int D) override
    {
        Log.push_back("change " + std::to_string(W));
        return TestMode(W, H, D);
    }
    void RestoreMode() override { Log.push_back("restore"); }
};

TEST(GLScreen, TableAndNearestMode)
{
    TFakeModes driver;
    driver.Reported = {{640, 480, 32, {}}, {640, 480, 32, {}}, {800, 600, 16, {}},
                       {1024, 768, 8, {}}};
    driver.Accepted = {{640, 480, 32}, {800, 600, 16}, {320, 200, 8}};
    TGLScreen screen(driver);
    // The desktop, the two accepted reported modes once each, one standard mode.
    ASSERT_EQ(screen.ModeCount(), 4);
    EXPECT_EQ(screen.Mode(0).Description, "default");
    EXPECT_EQ(screen.Mode(1).Description, "640 x 480, 32 bpp");
    EXPECT_EQ(screen.Mode(3).Description, "320 x 200, 8 bpp");
    // 640 x 480 x 32 stays: 800 x 600 x 16 is farther in width and height.
    EXPECT_EQ(screen.NearestMode(640, 480, 16), 1);
    EXPECT_EQ(screen.NearestMode(2000, 2000, 8), 0);
}

TEST(GLScreen, ADriverThatAcceptsAnythingGetsNoStandardModes)
{
    TFakeModes driver;
    driver.TrustsEverything = true;
    TGLScreen screen(driver);
    EXPECT_EQ(screen.ModeCount(), 1);
}

TEST(GLScreen, SwitchingAndRestoring)
{
    TFakeModes driver;
    driver.Reported = {{1280, 1024, 24, {}}};
    driver.Accepted = {{1280, 1024, 24}};
    {
        TGLScreen screen(driver);
        ASSERT_EQ(screen.ModeCount(), 2);
        EXPECT_TRUE(screen.SwitchDisplayMode(1));
        EXPECT_EQ(screen.CurrentMode(), 1);
        driver.Accepted.clear();
        EXPECT_FALSE(screen.SwitchDisplayMode(1));
        EXPECT_EQ(screen.CurrentMode(), 1);
    }
    EXPECT_EQ(driver.Log.back(), "restore"); // shut-down restores the desktop
}

} // namespace
} // namespace orv
