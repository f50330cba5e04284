// The command line of ncrun: every option, and the bad arguments that make
// it exit with status 2.

#include "ncrun/NcRunOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv {
namespace {

bool Parse(std::vector<const char *> Args, TNcRunOptions &Options, std::string &Error)
{
    Args.insert(Args.begin(), "ncrun");
    return ParseNcRunOptions((int)Args.size(), Args.data(), Options, Error);
}

TEST(NcrunOptions, ReadsEveryOption)
{
    TNcRunOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--settings", "/s", "--compiled", "--xnc", "a.xnc", "--gnc", "b.gnc",
                       "--search", "12", "--answers", "ans.txt", "--single-step", "--block-skip",
                       "prog.fnc"},
                      o, error))
        << error;
    EXPECT_EQ(o.Program, "prog.fnc");
    EXPECT_EQ(o.SettingsDir, "/s");
    EXPECT_TRUE(o.Compiled);
    EXPECT_EQ(o.XncFile, "a.xnc");
    EXPECT_EQ(o.GncFile, "b.gnc");
    EXPECT_TRUE(o.Search);
    EXPECT_EQ(o.SearchLine, 12);
    EXPECT_EQ(o.AnswersFile, "ans.txt");
    EXPECT_TRUE(o.SingleStep);
    EXPECT_TRUE(o.BlockSkip);
}

TEST(NcrunOptions, TheMachineLink)
{
    TNcRunOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--link", "--machine", "p.fnc"}, o, error)) << error;
    EXPECT_TRUE(o.Machine);
    EXPECT_TRUE(o.Link);
}

TEST(NcrunOptions, TheVRMachineRunsOnTheMachineClock)
{
    TNcRunOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--vr", "p.fnc"}, o, error)) << error;
    EXPECT_TRUE(o.VR);
    EXPECT_TRUE(o.Machine);
    EXPECT_FALSE(o.Link);
}

TEST(NcrunOptions, TheMillingWindowAndItsHeightMapTogether)
{
    TNcRunOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--3d", "w.bmp", "--3d-grid", "g.txt", "p.fnc"}, o, error)) << error;
    EXPECT_EQ(o.Capture3DFile, "w.bmp");
    EXPECT_EQ(o.Grid3DFile, "g.txt");
}

TEST(NcrunOptions, DefaultsWithOnlyAProgram)
{
    TNcRunOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"p.fnc"}, o, error));
    EXPECT_FALSE(o.Compiled);
    EXPECT_FALSE(o.Search);
    EXPECT_TRUE(o.XncFile.empty());
    EXPECT_TRUE(o.SettingsDir.empty());
}

TEST(NcrunOptions, RefusesBadArguments)
{
    struct TCase {
        const char *Name;
        std::vector<const char *> Args;
        const char *Error;
    } cases[] = {
        {"no program", {"--compiled"}, "no program named"},
        {"two programs", {"a", "b"}, "more than one program named: a, b"},
        {"unknown option", {"--fast", "a"}, "unknown option --fast"},
        {"missing value", {"a", "--xnc"}, "missing value after --xnc"},
        {"search not a number", {"--search", "x", "a"},
         "--search needs a line number of 0 or more, not \"x\""},
        {"search negative", {"--search", "-1", "a"},
         "--search needs a line number of 0 or more, not \"-1\""},
        {"link without machine", {"--link", "a"}, "--link drives the machine: it needs --machine"},
        {"vr with the link", {"--vr", "--machine", "--link", "a"},
         "--vr runs the VR machine alone: no --link, --mdi or --fanuc21"},
        {"vr with mdi", {"--vr", "--mdi", "m.txt"},
         "--vr runs the VR machine alone: no --link, --mdi or --fanuc21"},
        {"sim with the 3D window", {"--sim", "s.bmp", "--3d", "w.bmp", "a"},
         "--sim and --3d or --3d-grid share the 3D button: name one of them"},
        {"3D window without its file", {"a", "--3d"}, "missing value after --3d"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TNcRunOptions o;
        std::string error;
        EXPECT_FALSE(Parse(c.Args, o, error));
        EXPECT_EQ(error, c.Error);
    }
}

} // namespace
} // namespace orv
