// ncrun --machine: a program run on the simulated machine of the default
// data to its end (blocks in steps and the final position printed), a move
// beyond the travel stopping the run with the limit error, and the tooling
// on the machine: a tool change to tool 3 and a G55 shift in the blocks
// sent to the machine, and the question for a tool the changer lacks.

#include "engine/form/tests/NcrunProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace orv {
namespace {

using TMachineRun = test::TNcrunResult;

class NcrunMachineTest : public ::testing::Test {
protected:
    // Options go before the program; Answers, one a line, answer the
    // system's questions in turn.
    TMachineRun Run(const std::string &Program, const std::string &Options = "",
                    const std::string &Answers = "")
    {
        std::string prog = Temp.Write("prog.fnc", Program);
        std::string answers;
        if (!Answers.empty())
            answers = " --answers '" + Temp.Write("answers.txt", Answers) + "'";
        return test::RunNcrun(Temp, "--machine " + Options + answers + " '" + prog + "'");
    }

    test::TTempDir Temp;
};

// The bench mill of the default data: 400 steps per mm, travel X 0..310,
// Y 0..160, Z -130..0; Z steps count down into the work. Tool 1 (length
// offset 41.2 mm) is in the spindle; G54, the offset in use at start,
// shifts by X150 Y100 Z-80.
TEST_F(NcrunMachineTest, ProgramRunsToItsEndWithTheFinalPosition)
{
    TMachineRun r = Run("G21 G17 G90\nG54\nG00 X10 Y10 Z-1\nG01 X40 F300\nG01 Y30\nM30\n");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\nM "), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("X76000"), std::string::npos) << "the G01 X40 block in steps";
    EXPECT_NE(r.Out.find("POS X76000 Y52000 Z15920 X190.000 Y130.000 Z-39.800\n"),
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
    EXPECT_NE(r.Out.find("POS X64000 Y44000 "), std::string::npos)
        << "the rejected move never started";
}

// The blocks sent to the machine, one "M ..." line each, in order.
std::vector<std::string> MachineBlocks(const std::string &Out)
{
    std::vector<std::string> blocks;
    std::istringstream in(Out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("M ", 0) == 0)
            blocks.push_back(line);
    return blocks;
}

bool HasBlock(const std::vector<std::string> &Blocks, const std::string &Part)
{
    for (const std::string &b : Blocks)
        if (b.find(Part) != std::string::npos)
            return true;
    return false;
}

// The 2D output changes the tool (M06 T3); the converter takes tool 3's
// "Tool Length offset" (52.35 mm against tool 1's 41.2) for every later
// block. G55 of the default data: X60 Y40 Z-85.5.
TEST_F(NcrunMachineTest, ToolThreesLengthOffsetReachesTheBlocksSentToTheMachine)
{
    TMachineRun r = Run("G21 G17 G90\nG55\nG00 X10 Y10 Z-1\nM06 T3\nG00 Z-1\nG01 X40 F300\n"
                        "M30\n",
                        "--2d");
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::vector<std::string> blocks = MachineBlocks(r.Out);
    // Z: -1 - 85.5 + 41.2 = -45.3 mm with tool 1, -1 - 85.5 + 52.35 = -34.15 with tool 3.
    EXPECT_TRUE(HasBlock(blocks, "M B0 X28000 Y20000 Z18120 ")) << r.Out;
    EXPECT_TRUE(HasBlock(blocks, "M B0 X28000 Y20000 Z13660 ")) << r.Out;
    EXPECT_TRUE(HasBlock(blocks, "M B1 X40000 Y20000 Z13660 ")) << r.Out;
    EXPECT_NE(r.Out.find("POS X40000 Y20000 Z13660 X100.000 Y50.000 Z-34.150\n"),
              std::string::npos)
        << r.Out;
    EXPECT_EQ(r.Err.find("Failed to Find"), std::string::npos) << r.Err;
}

// A settings folder made from the default data whose [G55] differs from
// the default, so the shift can only come from the file.
TEST_F(NcrunMachineTest, G55LoadsItsOffsetFromTheFileAndShiftsTheBlocks)
{
    std::string settings = Temp.File("settings");
    std::filesystem::copy(ORV_DATA_DIR, settings, std::filesystem::copy_options::recursive);
    std::ofstream(settings + "/Tarnwick.MOL", std::ios::binary)
        << "[G54]\nX=150\nY=100\nZ=-80\nType=Machine\n"
        << "[g55]\nX=20\nY=30\nZ=-100\nType=Machine\n";
    TMachineRun r = Run("G21 G17 G90\nG00 X10 Y10 Z-50\nG55\nG00 X10 Y10 Z-1\nM30\n",
                        "--settings '" + settings + "'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::vector<std::string> rapids;
    for (const std::string &b : MachineBlocks(r.Out))
        if (b.rfind("M B0 ", 0) == 0)
            rapids.push_back(b);
    // G54 from the start: X 160, Y 110, Z -50 - 80 + 41.2 = -88.8 mm;
    // [g55]: X 30, Y 40, Z -1 - 100 + 41.2 = -59.8.
    ASSERT_EQ(rapids.size(), 2u) << r.Out;
    EXPECT_EQ(rapids[0].rfind("M B0 X64000 Y44000 Z35520 ", 0), 0u) << rapids[0];
    EXPECT_EQ(rapids[1].rfind("M B0 X12000 Y16000 Z23920 ", 0), 0u) << rapids[1];
}

// "M06 T29": the changer has no tool 29, so the 2D output asks message 40
// and 41. No: the run goes on with tool 1. Yes: the machine-tooling window
// is wanted, which ncrun does not have, so the run stops there. The first
// answer is the manual changer's question for tool 1 as the machine starts.
TEST_F(NcrunMachineTest, MissingToolAsksWhetherToEditTheTooling)
{
    struct TCase {
        const char *Name;
        const char *Answer;
        int Status;
        bool RunsOn;
    };
    const TCase cases[] = {
        {"No: the run goes on with tool 1", "No", 0, true},
        {"Yes: no tooling window, the run stops", "Yes", 1, false},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TMachineRun r = Run("G21 G17 G90\nG54\nG00 X10 Y10 Z-1\nM06 T29\nG01 X40 F300\nM30\n",
                            "--2d", std::string("OK\n") + c.Answer + "\n");
        EXPECT_EQ(r.Status, c.Status) << r.Err;
        EXPECT_NE(r.Err.find("Change the tool in the machine to Tool Number 1\n"),
                  std::string::npos)
            << r.Err;
        EXPECT_NE(r.Err.find("Failed to Find a valid Tool-29\nEdit Tooling Now\n"),
                  std::string::npos)
            << r.Err;
        bool stopped = r.Err.find("no Machine Tooling window") != std::string::npos;
        EXPECT_EQ(stopped, !c.RunsOn) << r.Err;
        // Tool 1's length offset stays: Z -1 - 80 + 41.2 = -39.8 mm.
        EXPECT_EQ(HasBlock(MachineBlocks(r.Out), "M B1 X76000 Y44000 Z15920 "), c.RunsOn)
            << r.Out;
    }
}

// --mdi: homes, asks for MDI mode and runs the typed lines through the
// panel's MDI source: every line runs (the empty third one too), the last
// one without a line end as well, and the records and machine blocks match
// the golden file.
TEST_F(NcrunMachineTest, MdiLinesRunOnTheMachineAsTheGoldenFileSays)
{
    const std::string fixtures = std::string(ORV_SOURCE_DIR) + "/engine/form/tests/data/";
    TMachineRun r = test::RunNcrun(Temp, "--machine --mdi '" + fixtures + "mdi_blocks.mdi'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, test::ReadFile(fixtures + "mdi_blocks.records"));
}

// The stages read ahead past the end of the MDI lines; a macro assignment
// among them still runs once.
TEST_F(NcrunMachineTest, MdiLinesRunOnceDespiteTheLookAhead)
{
    std::string settings = Temp.File("settings");
    std::filesystem::copy(ORV_DATA_DIR, settings, std::filesystem::copy_options::recursive);
    std::string mdi = Temp.Write("count.mdi", "#500=[#500+1]\r\nG00 X#500");
    TMachineRun r = test::RunNcrun(Temp, "--settings '" + settings + "' --machine --mdi '" + mdi + "'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::ifstream ini(settings + "/Tarnwick.ini");
    std::string line, value;
    while (std::getline(ini, line))
        if (line.rfind("500=", 0) == 0)
            value = line.substr(4);
    EXPECT_EQ(value.substr(0, 1), "1") << value;
    EXPECT_EQ(value.find_first_not_of("1\r"), std::string::npos) << value;
}

TEST_F(NcrunMachineTest, MdiWithoutTheMachineOrWithAProgramIsRefused)
{
    std::string mdi = Temp.Write("lines.mdi", "G00 X1\r\n");
    std::string prog = Temp.Write("prog.fnc", "M30\n");
    EXPECT_EQ(test::RunNcrun(Temp, "--mdi '" + mdi + "'").Status, 2);
    EXPECT_EQ(test::RunNcrun(Temp, "--machine --mdi '" + mdi + "' '" + prog + "'").Status, 2);
    // A file that is missing, or a folder: a read error, and nothing runs.
    std::filesystem::create_directory(Temp.File("folder.mdi"));
    for (const char *name : {"none.mdi", "folder.mdi"}) {
        SCOPED_TRACE(name);
        TMachineRun r = test::RunNcrun(Temp, "--machine --mdi '" + Temp.File(name) + "'");
        EXPECT_EQ(r.Status, 1);
        EXPECT_NE(r.Err.find(name), std::string::npos) << r.Err;
        EXPECT_EQ(r.Out, "");
    }
}

} // namespace
} // namespace orv
