// Small programs through ncrun on a fresh copy of the default data, as an
// operator would try them: sub-program calls that keep cutter compensation
// and stop nothing, dwells, blocks whose words name no end point, rotation
// after an arc, inch pecks, U V W, feed limits on the first block, tool
// changes without the 2D output, reference returns and single block on the
// simulated machine.

#include "engine/form/tests/NcrunProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace orv {
namespace {

using TFields = std::vector<std::string>;

// The record lines (one field a word) with that line number and motion.
std::vector<TFields> RecordsOf(const std::string &Out, const std::string &Line,
                               const std::string &Motion)
{
    std::vector<TFields> found;
    std::istringstream lines(Out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        TFields fields;
        for (std::string word; words >> word;)
            fields.push_back(word);
        if (fields.size() > 15 && fields[0] == Line && fields[1] == Motion)
            found.push_back(fields);
    }
    return found;
}

// Fields of a record line: 2 X, 3 Y, 4 Z, 5 I, 6 J, 9 sweep, 12 feed,
// 14 M code.
enum { fX = 2, fY = 3, fZ = 4, fI = 5, fJ = 6, fSweep = 9, fFeed = 12, fM = 14 };

double Number(const TFields &Fields, int Field)
{
    return std::atof(Fields.at(Field).c_str());
}

class NcrunProgramsTest : public ::testing::Test {
protected:
    // Writes the extra files beside the program (sub-programs) first.
    test::TNcrunResult Run(const std::string &Program, const std::string &Options = "",
                           const std::vector<std::pair<std::string, std::string>> &Files = {})
    {
        for (const auto &file : Files)
            Temp.Write(file.first, file.second);
        std::string prog = Temp.Write("prog.fnc", Program);
        return test::RunNcrun(Temp, Options + " '" + prog + "'");
    }

    test::TTempDir Temp;
};

// With tool 1 (diameter 3) a G41 contour runs 1.5 mm inside: the moves of
// the sub-program and those after its return stay compensated.
TEST_F(NcrunProgramsTest, SubProgramCallKeepsCutterCompensation)
{
    test::TNcrunResult r = Run("G90 G17 G00 X0 Y0 Z5 F100\nG41 G01 X20 Y0\nM98 P5555\n"
                               "G01 X20 Y20\nG01 X0 Y20\nG40 G01 X-10 Y-10\nM30\n",
                               "", {{"5555.fnc", "G01 X20 Y10\nM99\n"}});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto inSub = RecordsOf(r.Out, "1", "1");
    ASSERT_EQ(inSub.size(), 1u) << r.Out;
    EXPECT_EQ(inSub[0][fX], "18.5000");
    EXPECT_EQ(inSub[0][fY], "10.0000");
    const auto after = RecordsOf(r.Out, "4", "1");
    ASSERT_EQ(after.size(), 1u) << r.Out;
    EXPECT_EQ(after[0][fX], "18.5000");
    EXPECT_EQ(after[0][fY], "18.5000");
    EXPECT_TRUE(RecordsOf(r.Out, "3", "0").empty()) << "the call is no move: " << r.Out;
}

TEST_F(NcrunProgramsTest, SubProgramCallAndReturnDoNotStopTheMachine)
{
    test::TNcrunResult r = Run("G90 G01 F100\nM98 P21234\nG01 X50\nM30\n", "--machine",
                               {{"1234.fnc", "G91 G01 X1\nM99\n"}});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err.find("Program Paused"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out.find(" M0 "), std::string::npos) << "no M00 reaches the machine: " << r.Out;
    // Called twice (X1, X2), then X50 in the G91 the sub-program left:
    // X52 plus the G54 shift of 150 mm.
    EXPECT_NE(r.Out.find("POS X80800 "), std::string::npos) << r.Out;
}

TEST_F(NcrunProgramsTest, DwellTimeIsSecondsWhateverTheModes)
{
    struct TCase {
        const char *Name;
        const char *Program;
    } cases[] = {
        {"G91 adds no position", "G91 G01 X100 F100\nG04 X2\nM30\n"},
        {"G20 converts no inch", "G20 G90 G01 X1 F10\nG04 X2\nM30\n"},
        {"P in milliseconds", "G91 G01 X100 F100\nG04 P2000\nM30\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TNcrunResult r = Run(c.Program);
        ASSERT_EQ(r.Status, 0) << r.Err;
        const auto dwell = RecordsOf(r.Out, "2", "4");
        ASSERT_EQ(dwell.size(), 1u) << r.Out;
        EXPECT_EQ(dwell[0][fX], "2000.0000");
    }
}

// G02 X10 Y0 R5 from X0 Y0 is the half circle about (5, 0), whatever
// blocks without an end point came between.
TEST_F(NcrunProgramsTest, BlocksWithoutAnEndPointLeaveThePositionAlone)
{
    struct TCase {
        const char *Name;
        const char *Between;
    } cases[] = {
        {"dwell", "G04 X5\n"},
        {"rotation on and off", "G68 X7 Y3 R0\nG69\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TNcrunResult r = Run(std::string("G90 G01 X0 Y0 F100\n") + c.Between +
                                   "M03 S1000\nN9 G02 X10 Y0 R5\nM30\n");
        ASSERT_EQ(r.Status, 0) << r.Err;
        std::vector<TFields> arcs;
        for (const char *line : {"4", "5"})
            for (const TFields &f : RecordsOf(r.Out, line, "2"))
                arcs.push_back(f);
        ASSERT_EQ(arcs.size(), 1u) << r.Out;
        EXPECT_NEAR(Number(arcs[0], fI), 5, 0.01);
        EXPECT_NEAR(Number(arcs[0], fJ), 0, 0.01);
        EXPECT_NEAR(Number(arcs[0], fSweep), 180, 0.05);
    }
}

// G28 leaves the axis at the reference point: [Home] X0 of the bench mill,
// less the G54 shift of 150 mm, is X-150 in the program; G91 X5 goes on
// from there.
TEST_F(NcrunProgramsTest, AfterAReferenceReturnTheToolStandsAtTheReferencePoint)
{
    test::TNcrunResult r = Run("G90 G00 X10 Y10\nG28 X500\nG91 G01 X5 F100\nM30\n");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto move = RecordsOf(r.Out, "3", "1");
    ASSERT_EQ(move.size(), 1u) << r.Out;
    EXPECT_EQ(move[0][fX], "-145.0000");
}

TEST_F(NcrunProgramsTest, RotationAfterAnArcIsNoArc)
{
    test::TNcrunResult r =
        Run("G90 G01 X0 Y0 F100\nG02 X40 Y0 R20\nG68 X0 Y0 R5\nG01 X10 Y0\nG69\nM30\n");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err.find("Bad ARC End Point"), std::string::npos) << r.Err;
    const auto move = RecordsOf(r.Out, "4", "1");
    ASSERT_EQ(move.size(), 1u) << r.Out;
    EXPECT_EQ(move[0][fX], "9.9619") << "X10 turned by 5 degrees about the origin";
    EXPECT_EQ(move[0][fY], "0.8716");
}

// Q0.1 inch is 2.54 mm: five pecks down to Z-0.5 inch, as G73 gives.
TEST_F(NcrunProgramsTest, InchPeckDepthIsALength)
{
    for (const char *cycle : {"G83", "G73"}) {
        SCOPED_TRACE(cycle);
        test::TNcrunResult r = Run(std::string("G20 G90 G00 X0 Y0 Z1\nG99 ") + cycle +
                                   " X1 Y1 Z-0.5 R0.1 Q0.1 F5\nG80\nM30\n");
        ASSERT_EQ(r.Status, 0) << r.Err;
        const auto pecks = RecordsOf(r.Out, "2", "1");
        ASSERT_GE(pecks.size(), 5u) << r.Out;
        const char *depths[] = {"-2.5400", "-5.0800", "-7.6200", "-10.1600", "-12.7000"};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(pecks[i][fZ], depths[i]) << "peck " << i + 1;
        EXPECT_EQ(pecks.back()[fZ], "-12.7000");
    }
}

TEST_F(NcrunProgramsTest, UVWMoveTheirAxes)
{
    test::TNcrunResult r = Run("G90 G01 X0 Y0 Z0 F100\nG91 G01 U5 W-1\nM30\n");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto move = RecordsOf(r.Out, "2", "1");
    ASSERT_EQ(move.size(), 1u) << r.Out;
    EXPECT_EQ(move[0][fX], "5.0000");
    EXPECT_EQ(move[0][fZ], "-1.0000");
}

// The default data: "Maximum Rate X" 2000, minimum feed 1 mm/min.
TEST_F(NcrunProgramsTest, TheFirstBlockIsHeldToTheFeedLimitsToo)
{
    struct TCase {
        const char *Name;
        const char *Feed;
        const char *Limited;
    } cases[] = {
        {"above the X rate", "F5000", "2000.0000"},
        {"below the minimum", "F0.1", "1.0000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TNcrunResult r = Run(std::string("G01 X10 ") + c.Feed + "\nG01 X20\nM30\n");
        ASSERT_EQ(r.Status, 0) << r.Err;
        for (const char *line : {"1", "2"}) {
            const auto move = RecordsOf(r.Out, line, "1");
            ASSERT_EQ(move.size(), 1u) << r.Out;
            EXPECT_EQ(move[0][fFeed], c.Limited) << "line " << line;
        }
    }
}

// Tool 4 of the default library is a drill of diameter 5: after T4 M6 a
// G41 offsets by 2.5, with no output but the compiled file.
TEST_F(NcrunProgramsTest, ToolChangeReachesCutterCompensation)
{
    test::TNcrunResult r = Run("G90 G17 G00 X0 Y0 Z5 F100\nT4 M6\nG41 G01 X20 Y0\n"
                               "G01 X20 Y20\nG40 G01 X30 Y30\nM30\n");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto entry = RecordsOf(r.Out, "3", "1");
    ASSERT_EQ(entry.size(), 1u) << r.Out;
    EXPECT_EQ(entry[0][fX], "17.5000");
}

// After M06 T3 the same Z5 is moved with tool 3's length offset: Z9060
// steps instead of tool 1's Z13520, with or without the 2D output.
TEST_F(NcrunProgramsTest, ToolChangeReachesTheMachineWithoutThe2DOutput)
{
    for (const char *options : {"--machine", "--machine --2d"}) {
        SCOPED_TRACE(options);
        test::TNcrunResult r =
            Run("G21 G90 G54\nG00 X10 Y10 Z5\nM06 T3\nG00 X10 Y10 Z5\nM30\n", options);
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_NE(r.Err.find("Change the tool in the machine to Tool Number 3"), std::string::npos)
            << r.Err;
        EXPECT_NE(r.Out.find("POS X64000 Y44000 Z9060 "), std::string::npos) << r.Out;
    }
}

// A position without a tool is asked for by the engine itself: without
// the 2D output too, and only once with it.
TEST_F(NcrunProgramsTest, MissingToolIsAskedForWhateverOutputsAreOn)
{
    for (const char *options : {"--machine", "--machine --2d"}) {
        SCOPED_TRACE(options);
        std::string answers = Temp.Write("answers.txt", "OK\nNo\n");
        test::TNcrunResult r = Run("G21 G90 G54\nG00 X10 Y10 Z5\nM06 T29\nG00 X20\nM30\n",
                                   std::string(options) + " --answers '" + answers + "'");
        EXPECT_EQ(r.Status, 0) << r.Err;
        const std::string asked = "Failed to Find a valid Tool-29\nEdit Tooling Now\n";
        const size_t first = r.Err.find(asked);
        ASSERT_NE(first, std::string::npos) << r.Err;
        EXPECT_EQ(r.Err.find(asked, first + 1), std::string::npos) << "asked once: " << r.Err;
        EXPECT_NE(r.Out.find("POS X68000 Y44000 Z13520 "), std::string::npos)
            << "answered No, tool 1 stays: " << r.Out;
    }
}

TEST_F(NcrunProgramsTest, ReferenceReturnOnTheMachine)
{
    struct TCase {
        const char *Name;
        const char *Program;
        int Status;
        const char *Shows;
        const char *Position;
    } cases[] = {
        {"an intermediate point past the travel is a limit error",
         "G21 G90 G54\nG00 X10 Y10 Z5\nG28 X500\nM30\n", 1, "Move Exceeds Limits",
         "POS X64000 Y44000 Z13520 "},
        {"the return leg takes Z to [Home] Z0", "G21 G90 G54\nG00 X10 Y10 Z5\nG91 G28 Z0\nM30\n",
         0, "", "POS X64000 Y44000 Z0 "},
        {"the next move starts from the reference point",
         "G21 G90 G54\nG00 X10 Y10 Z5\nG91 G28 Z0\nG90 G00 X20\nM30\n", 0, "",
         "POS X68000 Y44000 Z0 "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TNcrunResult r = Run(c.Program, "--machine");
        EXPECT_EQ(r.Status, c.Status) << r.Err;
        EXPECT_NE(r.Err.find(c.Shows), std::string::npos) << r.Err;
        EXPECT_NE(r.Out.find(c.Position), std::string::npos) << r.Out;
    }
}

TEST_F(NcrunProgramsTest, SingleBlockOnTheMachineRunsToTheEnd)
{
    test::TNcrunResult r = Run("G91 G01 X100 F100\nG04 X2\nG01 Y10\nM30\n",
                               "--machine --single-step");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("POS X100000 Y44000 "), std::string::npos) << r.Out;
}

} // namespace
} // namespace orv
