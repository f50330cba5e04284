// ncrun, the headless driver, over the fixture programs: printed records,
// ".XNC" bytes and ".GNC" text against expected files, replay of the
// ".XNC", bad programs (each names its message in its first comment),
// broken compiled files, bad arguments, and a million moves in constant
// memory.

#include "engine/form/tests/NcrunProcess.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orv {
namespace {

using test::ReadFile;
using test::TNcrunResult;

const std::string Fixtures = std::string(ORV_SOURCE_DIR) + "/engine/form/tests/data/";

class NcrunTest : public ::testing::Test {
protected:
    // Runs ncrun with Args (a shell word list) in the fixture folder, over a
    // fresh copy of the fixtures' own settings (no machine: no feed limits),
    // so the expected files do not follow the default data.
    TNcrunResult Run(const std::string &Args)
    {
        std::string settings = test::CopyFixtureSettings(Temp, Fixtures);
        return test::RunNcrun(Temp, "--settings '" + settings + "' " + Args, Fixtures);
    }
    static std::string WithoutLineNumbers(const std::string &Records)
    {
        std::istringstream in(Records);
        std::string line, result;
        while (std::getline(in, line))
            result += line.substr(line.find(' ') + 1) + "\n";
        return result;
    }
    test::TTempDir Temp;
};

TEST_F(NcrunTest, ContourMatchesItsRecordsXncAndGnc)
{
    std::string xnc = Temp.File("c.xnc");
    std::string gnc = Temp.File("c.gnc");
    TNcrunResult r = Run("--xnc '" + xnc + "' --gnc '" + gnc + "' contour.fnc");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out, ReadFile(Fixtures + "contour.records"));
    EXPECT_EQ(ReadFile(xnc), ReadFile(Fixtures + "contour.xnc"));
    EXPECT_EQ(ReadFile(gnc), ReadFile(Fixtures + "contour.gnc"));
}

TEST_F(NcrunTest, ReplayingTheXncGivesTheSameRecords)
{
    TNcrunResult r = Run("--compiled contour.xnc");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(WithoutLineNumbers(r.Out), WithoutLineNumbers(ReadFile(Fixtures + "contour.records")))
        << "the file carries no line numbers; every other field, arcs included, comes back";
}

TEST_F(NcrunTest, GoldenRuns)
{
    struct TCase {
        const char *Name;
        const char *Args;
        const char *Records;
        const char *Gnc;
    } cases[] = {
        {"sub-programs, jumps and loops", "subprog.fnc", "subprog.records", nullptr},
        {"block skip", "--block-skip --gnc OUT.gnc blockskip.fnc", "blockskip.records",
         "blockskip.gnc"},
        {"single step gives the same records", "--single-step --block-skip blockskip.fnc",
         "blockskip.records", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        std::string args = c.Args;
        size_t at = args.find("OUT.gnc");
        if (at != std::string::npos)
            args.replace(at, 7, "'" + Temp.File("out.gnc") + "'");
        TNcrunResult r = Run(args);
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_EQ(r.Out, ReadFile(Fixtures + c.Records));
        if (c.Gnc)
            EXPECT_EQ(ReadFile(Temp.File("out.gnc")), ReadFile(Fixtures + c.Gnc));
    }
}

TEST_F(NcrunTest, BlockSkipLeavesTheSlashBlocksOutOfTheGnc)
{
    TNcrunResult r = Run("--gnc '" + Temp.File("all.gnc") + "' blockskip.fnc");
    EXPECT_EQ(r.Status, 0);
    EXPECT_NE(ReadFile(Temp.File("all.gnc")).find("x =   15.000"), std::string::npos);
    EXPECT_EQ(ReadFile(Fixtures + "blockskip.gnc").find("x =   15.000"), std::string::npos);
}

// Each bad program states on its first line, in a comment, the message
// it must produce.
TEST_F(NcrunTest, BadProgramsStopWithTheirMessage)
{
    for (const char *name : {"bad_jump.fnc", "bad_word.fnc", "bad_sub.fnc", "bad_arc.fnc"}) {
        SCOPED_TRACE(name);
        std::string first;
        std::getline(std::ifstream(Fixtures + name), first);
        std::string expected = first.substr(1, first.rfind(')') - 1);
        if (expected.rfind("NOTE: ", 0) == 0)
            expected = expected.substr(6);
        TNcrunResult r = Run(name);
        EXPECT_EQ(r.Status, 1);
        EXPECT_NE(r.Err.find(expected), std::string::npos) << r.Err;
    }
}

TEST_F(NcrunTest, BrokenCompiledFilesStopCleanly)
{
    std::string contour = ReadFile(Fixtures + "contour.xnc");
    std::string junk(360, '\0');
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 131 + 7) % 256);
    struct TCase {
        const char *Name;
        std::string Bytes;
        const char *Message;
    } cases[] = {
        {"truncated", contour.substr(0, contour.size() - 50),
         "Line #20 : Record 20 is short: 70 of 120 bytes : Sorry File not recognised"},
        {"random bytes", junk, "Line #1 : Record 1: "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        std::string path = Temp.Write(std::string(c.Name) + ".xnc", c.Bytes);
        TNcrunResult r = Run("--compiled '" + path + "'");
        EXPECT_EQ(r.Status, 1);
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
    }
}

TEST_F(NcrunTest, XncOfAStoppedRunEndsAfterItsLastRecord)
{
    std::string contour = ReadFile(Fixtures + "contour.xnc");
    std::string path = Temp.Write("stopped.xnc", contour.substr(0, 7 * 120));
    TNcrunResult r = Run("--compiled '" + path + "'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::istringstream lines(r.Out);
    std::vector<std::string> all;
    for (std::string l; std::getline(lines, l);)
        all.push_back(l);
    ASSERT_EQ(all.size(), 8u) << "seven records and the end";
    EXPECT_EQ(all[6].substr(0, 4), "0 0 ") << "the last record runs: a rapid";
    EXPECT_EQ(all[7].substr(0, 7), "0 -101 ");
}

TEST_F(NcrunTest, UnreadableProgramsAreReported)
{
    TNcrunResult missing = Run("no-such-file.fnc");
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("Error trying to open file"), std::string::npos);
    TNcrunResult notCompiled = Run("--compiled contour.fnc");
    EXPECT_EQ(notCompiled.Status, 1);
}

TEST_F(NcrunTest, BadArgumentsExitWithTwo)
{
    for (const char *args : {"--search x contour.fnc", "--bogus contour.fnc", "a.fnc b.fnc",
                             "--settings /no/such/folder contour.fnc",
                             "--answers /no/such/file contour.fnc"}) {
        SCOPED_TRACE(args);
        TNcrunResult r = Run(args);
        EXPECT_EQ(r.Status, 2);
        EXPECT_NE(r.Err.find("ncrun: "), std::string::npos) << r.Err;
    }
}

TEST_F(NcrunTest, BlockSearchStopsAtItsTarget)
{
    TNcrunResult r = Run("--search 9 contour.fnc");
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::string last = r.Out.substr(r.Out.rfind('\n', r.Out.size() - 2) + 1);
    EXPECT_EQ(last.substr(0, 2), "9 ") << r.Out;
}

TEST_F(NcrunTest, AnswersFileAnswersTheDialogs)
{
    std::string answers = Temp.Write("answers.txt", "OK\n");
    std::string program = Temp.Write("ask.fnc", "G00 X1\n? READY TO CUT\nG00 X2\n");
    TNcrunResult r = Run("--answers '" + answers + "' '" + program + "'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Err.find("CNC Message: READY TO CUT"), std::string::npos) << r.Err;
}

long PeakChildMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

// Nothing of the program is kept as it runs: the peak memory of a run of a
// million moves is that of a run of fifty thousand.
TEST_F(NcrunTest, MillionMovesRunInConstantMemory)
{
    auto generate = [this](const std::string &Name, int Moves) {
        std::ofstream out(Temp.File(Name));
        out << "G21 G90 G01 F500\n";
        for (int i = 0; i < Moves; ++i)
            out << 'X' << (i % 200) << " Y" << (i % 13) << '\n';
        return Temp.File(Name);
    };
    std::string small = generate("small.fnc", 50000);
    TNcrunResult first = Run("--xnc '" + Temp.File("small.xnc") + "' '" + small + "'");
    ASSERT_EQ(first.Status, 0) << first.Err;
    long smallPeak = PeakChildMemoryKb();
    std::string large = generate("large.fnc", 1000000);
    std::string command = std::string("'") + ORV_NCRUN + "' --settings '" + Temp.File("settings") +
                          "' --xnc '" + Temp.File("large.xnc") +
                          "' '" + large + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    long largePeak = PeakChildMemoryKb();
    EXPECT_EQ(std::filesystem::file_size(Temp.File("large.xnc")), (1000000u + 2) * 120);
    EXPECT_LT(largePeak, smallPeak + 4096) << "peak kB " << smallPeak << " then " << largePeak;
}

} // namespace
} // namespace orv
