// ncrun --vr: the VR link over the simulated world of the bench mill runs a
// program with a billet, tool changes round an 8-place carousel (2 to 7:
// three places back; 2 to 4: two forward),
// spindle and coolant; every world call and event is compared with the
// expected file. A world that never finishes an M code stops the run with
// a machine error, and the machine data's steps per mm are the file's
// again once the link has left the slot.

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

#ifndef ORV_NCRUN
#error "ORV_NCRUN names the ncrun executable"
#endif

namespace orv {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string &Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Append(const std::string &Path, const std::string &Text)
{
    std::ofstream(Path, std::ios::binary | std::ios::app) << Text;
}

void Replace(const std::string &Path, const std::string &From, const std::string &To)
{
    std::string text = ReadFile(Path);
    const size_t at = text.find(From);
    ASSERT_NE(at, std::string::npos) << From;
    text.replace(at, From.size(), To);
    std::ofstream(Path, std::ios::binary) << text;
}

struct TRun {
    int Status = -1;
    std::string Out, Err;
};

class VRRunTest : public ::testing::Test {
protected:
    // The default data with an automatic tool change of "M5, then the
    // carousel" and a tool in place 7.
    VRRunTest()
    {
        Settings = Temp.File("settings");
        fs::copy(ORV_DATA_DIR, Settings, fs::copy_options::recursive);
        Append(Settings + "/machines/BENCHMILL.ini", "\n[Auto Tool Change]\n1=M5\n2=CAROUSEL\n");
        Append(Settings + "/Tarnwick.MTF", "[Tool7]\nTool Name=Slot Drill 3\nFile Location=Tarnwick.MTD\n");
    }
    TRun Run()
    {
        TRun r;
        const std::string out = Temp.File("out.txt"), err = Temp.File("err.txt");
        const std::string command = std::string("'") + ORV_NCRUN + "' --settings '" + Settings +
                                    "' --vr '" + ORV_SOURCE_DIR +
                                    "/links/tests/data/vr_demo.fnc' >'" + out + "' 2>'" + err +
                                    "' </dev/null";
        const int status = std::system(command.c_str());
        r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Out = ReadFile(out);
        r.Err = ReadFile(err);
        return r;
    }

    test::TTempDir Temp;
    std::string Settings;
};

TEST_F(VRRunTest, RunsTheProgramOnTheWorldAsExpected)
{
    TRun r = Run();
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, ReadFile(std::string(ORV_SOURCE_DIR) + "/links/tests/data/vr_demo.expected"));
}

TEST_F(VRRunTest, AWorldThatNeverFinishesAnMCodeStopsTheRun)
{
    Replace(Settings + "/Router.xvr", "[never]\nmcodes=", "[never]\nmcodes=8");
    Replace(Settings + "/machines/BENCHMILL.ini", "M Code TimeOut=10000", "M Code TimeOut=3000");
    TRun r = Run();
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("The virtual machine did not finish M code M8"), std::string::npos)
        << r.Err;
    EXPECT_NE(r.Err.find("within 3000 ms (M Code TimeOut)"), std::string::npos) << r.Err;
    // Nothing after the coolant: no move of the program reached the world.
    const size_t coolant = r.Out.find("VR set Mcode.Mcode = 8");
    ASSERT_NE(coolant, std::string::npos);
    EXPECT_EQ(r.Out.find("VR set MillerData.xaxis_go", coolant), std::string::npos);
    EXPECT_NE(r.Out.find("STEPS world X10 Y10 Z10 F10\n"), std::string::npos);
    EXPECT_NE(r.Out.find("STEPS after X400 Y400 Z400 F400\n"), std::string::npos) << r.Out;
}

TEST_F(VRRunTest, AMissingWorldIsAMachineErrorAndChangesNothing)
{
    fs::remove(Settings + "/Router.xvr");
    TRun r = Run();
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("World file not found"), std::string::npos) << r.Err;
    EXPECT_NE(r.Out.find("STEPS after X400 Y400 Z400 F400\n"), std::string::npos) << r.Out;
}

} // namespace
} // namespace orv
