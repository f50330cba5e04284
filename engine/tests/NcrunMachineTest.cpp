// ncrun --machine: a program run on the simulated machine of the default
// data to its end (blocks in steps and the final position printed), and a
// move beyond the travel stopping the run with the limit error.

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#ifndef ORV_NCRUN
#error "ORV_NCRUN names the ncrun executable"
#endif

namespace orv {
namespace {

struct TMachineRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string ReadAll(const std::string &Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class NcrunMachineTest : public ::testing::Test {
protected:
    TMachineRun Run(const std::string &Program)
    {
        std::string prog = Temp.File("prog.fnc");
        std::ofstream(prog, std::ios::binary) << Program;
        std::string out = Temp.File("out.txt");
        std::string err = Temp.File("err.txt");
        std::string command = std::string("'") + ORV_NCRUN + "' --machine '" + prog + "' >'" +
                              out + "' 2>'" + err + "'";
        int raw = std::system(command.c_str());
        TMachineRun r;
        r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.Out = ReadAll(out);
        r.Err = ReadAll(err);
        return r;
    }

    test::TTempDir Temp;
};

// The bench mill of the default data: 400 steps per mm, travel X 0..310,
// Y 0..160, Z -130..0; Z steps count down into the work.
TEST_F(NcrunMachineTest, ProgramRunsToItsEndWithTheFinalPosition)
{
    TMachineRun r = Run("G21 G17 G90\nG00 X10 Y10 Z-1\nG01 X40 F300\nG01 Y30\nM30\n");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\nM "), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("X16000"), std::string::npos) << "the G01 X40 block in steps";
    EXPECT_NE(r.Out.find("POS X16000 Y12000 Z400 X40.000 Y30.000 Z-1.000\n"),
              std::string::npos)
        << r.Out;
    EXPECT_EQ(r.Err.find("Limit"), std::string::npos) << r.Err;
}

TEST_F(NcrunMachineTest, MoveBeyondTheTravelStopsTheRunWithTheLimitError)
{
    TMachineRun r = Run("G21 G90\nG00 X10 Y10\nG00 Y250\nG00 X20\nM30\n");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("M/C Limit Error"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("Move Exceeds Limits"), std::string::npos) << r.Err;
    EXPECT_NE(r.Out.find("POS X4000 Y4000 "), std::string::npos)
        << "the rejected move never started";
}

} // namespace
} // namespace orv
