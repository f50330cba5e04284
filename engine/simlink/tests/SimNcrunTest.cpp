// ncrun --sim: the run with the simulation output on, the control made
// through a fresh class registry (registered from its library on the way)
// and its picture saved at the end, byte for byte.

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

TEST(SimNcrun, WritesTheExpectedPicture)
{
    test::TTempDir dir;
    const std::string data = std::string(ORV_SOURCE_DIR) + "/engine/simlink/tests/data/";
    const std::string picture = dir.File("cuts.bmp");
    const std::string command = "ORV_CLASS_REGISTRY=" + dir.File("classes.reg") + " " +
                                ORV_NCRUN + " --sim " + picture + " " + data +
                                "sim_cuts.fnc > " + dir.File("out.txt") + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << dir.Read("out.txt");
    EXPECT_EQ(ReadFile(picture), ReadFile(data + "sim_cuts.bmp"));
    // The registry now holds the control, so a second run creates it at once.
    ASSERT_EQ(std::system(command.c_str()), 0) << dir.Read("out.txt");
    EXPECT_EQ(ReadFile(picture), ReadFile(data + "sim_cuts.bmp"));
}

TEST(SimNcrun, UnwritablePictureFails)
{
    test::TTempDir dir;
    const std::string data = std::string(ORV_SOURCE_DIR) + "/engine/simlink/tests/data/";
    const std::string command = "ORV_CLASS_REGISTRY=" + dir.File("classes.reg") + " " +
                                ORV_NCRUN + " --sim " + dir.File("no/folder/x.bmp") + " " + data +
                                "sim_cuts.fnc > " + dir.File("out.txt") + " 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(dir.Read("out.txt").find("cannot save the simulation picture"), std::string::npos);
}

} // namespace
} // namespace orv
