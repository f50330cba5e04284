// ncrun --3d-grid: a run with the milling 3D view on and no window; the
// height map it leaves is compared with the expected one exactly.

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace orv {
namespace {

std::string ReadFile(const std::string &Name)
{
    std::ifstream in(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string Data = std::string(ORV_SOURCE_DIR) + "/view3d/milling/tests/data/";

TEST(NcrunGrid, HeightMapsOfTheFixturePrograms)
{
    for (const char *name : {"mill3d_flat", "mill3d_ball_arc"}) {
        SCOPED_TRACE(name);
        test::TTempDir dir;
        const std::string grid = dir.File("grid.txt");
        const std::string command = std::string(ORV_NCRUN) + " --3d-grid " + grid + " " + Data +
                                    name + ".fnc > " + dir.File("out.txt") + " 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << dir.Read("out.txt");
        EXPECT_EQ(ReadFile(grid), ReadFile(Data + name + ".grid"));
    }
}

TEST(NcrunGrid, UnwritableFileFailsAndBothThreeDOutputsAreRefused)
{
    test::TTempDir dir;
    std::string command = std::string(ORV_NCRUN) + " --3d-grid " + dir.File("no/folder/g.txt") +
                          " " + Data + "mill3d_flat.fnc > " + dir.File("out.txt") + " 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(dir.Read("out.txt").find("cannot write the 3D height map"), std::string::npos);
    command = std::string(ORV_NCRUN) + " --sim a.bmp --3d-grid g.txt " + Data +
              "mill3d_flat.fnc > " + dir.File("out.txt") + " 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(dir.Read("out.txt").find("name one of them"), std::string::npos);
}

} // namespace
} // namespace orv
