// ncrun over what a bad day brings: a folder given as the program, outputs
// and settings on a disk that refuses writes, line ends of old controllers,
// stray zero bytes before a jump, a sub-program that calls itself, answers
// no dialog takes, runaway lines, a machine file that cannot drive a
// machine. Each ends with a clear message and the right exit status.

#include "engine/form/tests/NcrunProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace orv {
namespace {

using test::ReadFile;
using test::TNcrunResult;

namespace fs = std::filesystem;

const std::string Fixtures = std::string(ORV_SOURCE_DIR) + "/engine/form/tests/data/";

class NcrunBadInputTest : public ::testing::Test {
protected:
    // Runs ncrun with Args over a fresh copy of the fixtures' settings.
    TNcrunResult Run(const std::string &Args)
    {
        Settings = test::CopyFixtureSettings(Temp, Fixtures);
        return test::RunNcrun(Temp, "--settings '" + Settings + "' " + Args);
    }
    std::string Program(const std::string &Name, const std::string &Text)
    {
        return "'" + Temp.Write(Name, Text) + "'";
    }
    // Records that moved to X Value (the third field of a record line).
    static int MovesToX(const std::string &Records, const std::string &Value)
    {
        std::regex move("^-?[0-9]+ -?[0-9]+ " + Value + " ", std::regex::multiline);
        return (int)std::distance(std::sregex_iterator(Records.begin(), Records.end(), move),
                                  std::sregex_iterator());
    }

    test::TTempDir Temp;
    std::string Settings;
};

TEST_F(NcrunBadInputTest, AFolderAsProgramIsAnOpenError)
{
    fs::create_directory(Temp.File("folder.fnc"));
    TNcrunResult r = Run("'" + Temp.File("folder.fnc") + "'");
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("Error trying to open file"), std::string::npos) << r.Err;
}

TEST_F(NcrunBadInputTest, AFolderAsCompiledFileIsAReadError)
{
    fs::create_directory(Temp.File("folder.xnc"));
    TNcrunResult r = Run("--compiled '" + Temp.File("folder.xnc") + "'");
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("Error reading file"), std::string::npos) << r.Err;
}

// The full device takes every write into its buffer and refuses it when the
// buffer goes to disk, at the flush or the close after the program's end.
TEST_F(NcrunBadInputTest, AnOutputTheDiskRefusesFailsTheRun)
{
    struct TCase {
        const char *Name;
        const char *Args;
        const char *Message;
    } cases[] = {
        {"compiled file", "--xnc /dev/full", "Cannot write /dev/full"},
        {"post-processor file", "--gnc /dev/full", "Cannot write /dev/full"},
        {"2D drawing list", "--2d --2d-list /dev/full", "cannot write the 2D list /dev/full"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TNcrunResult r = Run(std::string(c.Args) + " '" + Fixtures + "contour.fnc'");
        EXPECT_EQ(r.Status, 1) << r.Err;
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
    }
}

TEST_F(NcrunBadInputTest, RecordsThatCannotBeWrittenFailTheRun)
{
    Settings = test::CopyFixtureSettings(Temp, Fixtures);
    std::string command = std::string("'") + ORV_NCRUN + "' --settings '" + Settings + "' '" +
                          Fixtures + "contour.fnc' >/dev/full 2>'" + Temp.File("err.txt") + "'";
    int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << raw;
    EXPECT_NE(Temp.Read("err.txt").find("cannot write the records"), std::string::npos);
}

// A read-only settings folder. Root writes there anyway, so then ncrun runs
// as the user nobody, with the test's own folder open to it.
TEST_F(NcrunBadInputTest, SettingsThatCannotBeSavedAreReported)
{
    Settings = test::CopyFixtureSettings(Temp, Fixtures);
    std::string ini = Settings + "/Tarnwick.ini";
    std::string before = ReadFile(ini);
    ::chmod(Settings.c_str(), 0555);
    std::string runner;
    if (::geteuid() == 0) {
        ::chmod(Temp.Path().c_str(), 0777);
        runner = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        // The other user must reach ncrun, the program and the settings.
        const std::string probe = runner + "sh -c \"test -x '" + ORV_NCRUN + "' && test -r '" +
                                  ini + "' && test -w '" + Temp.Path() + "'\" 2>/dev/null";
        if (std::system(probe.c_str()) != 0) {
            ::chmod(Settings.c_str(), 0755);
            GTEST_SKIP() << "root here cannot run ncrun as another user";
        }
    }
    std::string xnc = Temp.File("out.xnc");
    TNcrunResult r = test::RunNcrun(Temp,
                                    "--settings '" + Settings + "' --xnc '" + xnc + "' " +
                                        Program("var.fnc", "#500=42\nG1 X1 F100\nM30\n"),
                                    "", runner);
    ::chmod(Settings.c_str(), 0755);
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("Cannot write settings file " + ini), std::string::npos) << r.Err;
    EXPECT_EQ(ReadFile(ini), before) << "the file on disk is left as it was";
    EXPECT_EQ(std::distance(fs::directory_iterator(Settings), {}),
              std::distance(fs::directory_iterator(Fixtures + "settings"), {}))
        << "no temporary file stays";
    EXPECT_NE(r.Out.find(" 1.0000 "), std::string::npos) << "the program itself ran";
}

TEST_F(NcrunBadInputTest, EveryLineEndEndsOneLine)
{
    struct TCase {
        const char *Name;
        std::string Text;
    } cases[] = {
        {"CR alone", "G90 G21 G1 F100\rX10\rX20\rY5\rM30\r"},
        {"CR LF", "G90 G21 G1 F100\r\nX10\r\nX20\r\nY5\r\nM30\r\n"},
        {"LF", "G90 G21 G1 F100\nX10\nX20\nY5\nM30\n"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TNcrunResult r = Run(Program("ends.fnc", c.Text));
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_EQ(MovesToX(r.Out, "10.0000"), 1) << r.Out;
        EXPECT_EQ(MovesToX(r.Out, "20.0000"), 1) << r.Out;
    }
}

// The zero byte ends a line for the reader; the jump must count it too, or
// GOTO 30 lands on N20 and runs its move.
TEST_F(NcrunBadInputTest, AZeroByteDoesNotMoveAJump)
{
    std::string text("G90 G21 G1 F100 X1\0Y7\nGOTO 30\nN20 X5\nN30 X6\nM30\n", 48);
    TNcrunResult r = Run(Program("nul.fnc", text));
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(MovesToX(r.Out, "5.0000"), 0) << r.Out;
    EXPECT_EQ(MovesToX(r.Out, "6.0000"), 1) << r.Out;
}

TEST_F(NcrunBadInputTest, ASubProgramCallingItselfStopsAtTheNestingLimit)
{
    Temp.Write("0001.fnc", "G91 G1 X1 F100\nM98 P1\nM99\n");
    TNcrunResult r = Run(Program("main.fnc", "G90 G21\nM98 P1\nM30\n"));
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("M98 P1 (" + Temp.File("0001.fnc") + ") would nest more than 64 levels"),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(r.Err.find("Error trying to open file"), std::string::npos) << r.Err;
    EXPECT_EQ(MovesToX(r.Out, "1.0000"), 1) << "the first level ran";
    EXPECT_EQ(MovesToX(r.Out, "65.0000"), 0) << "no 65th level";
}

TEST_F(NcrunBadInputTest, ARunawayLineIsQuotedShort)
{
    std::string text = "G1 X1 " + std::string(1000000, 'Y') + "\nM30\n";
    TNcrunResult r = Run(Program("long.fnc", text));
    EXPECT_EQ(r.Status, 1);
    EXPECT_LT(r.Err.size(), 2000u);
    EXPECT_NE(r.Err.find("(1000006 characters)"), std::string::npos) << r.Err;
}

TEST_F(NcrunBadInputTest, AnswersNoDialogTakesAreAUsageError)
{
    fs::create_directory(Temp.File("folder"));
    std::string prog = " '" + Fixtures + "contour.fnc'";
    TNcrunResult folder = Run("--answers '" + Temp.File("folder") + "'" + prog);
    EXPECT_EQ(folder.Status, 2) << folder.Err;
    EXPECT_NE(folder.Err.find("cannot read the answers file"), std::string::npos);

    std::string answers = Temp.Write("answers.txt", "Maybe\n");
    TNcrunResult bad = test::RunNcrun(Temp, "--machine --answers '" + answers + "'" + prog);
    EXPECT_EQ(bad.Status, 2) << bad.Err;
    EXPECT_NE(bad.Err.find("the answer \"Maybe\" is no button of this message"), std::string::npos)
        << bad.Err;
}

// The default data's bench mill, tool 1 in the spindle: the first question
// is the change to it as the machine starts.
TEST_F(NcrunBadInputTest, CancelAtTheFirstToolChangeAbortsTheRun)
{
    std::string answers = Temp.Write("answers.txt", "Cancel\n");
    TNcrunResult r = test::RunNcrun(Temp, "--machine --answers '" + answers + "' " +
                                              Program("p.fnc", "G90 G21 G0 X10\nM30\n"));
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("Program Aborted"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out.find("M B"), std::string::npos) << "no block reached the machine: " << r.Out;
}

TEST_F(NcrunBadInputTest, TheMachineTimeLimitSaysWhyItStopped)
{
    TNcrunResult r = test::RunNcrun(
        Temp, "--machine " + Program("loop.fnc", "G90 G21\nG1 X50 F50\nG1 X0\nM99\n"));
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("had not ended after 60 minutes of machine time"), std::string::npos)
        << r.Err;
}

// The default data with its bench mill's file changed or gone.
TEST_F(NcrunBadInputTest, MachineDataThatCannotDriveAMachineIsReportedAtLoad)
{
    struct TCase {
        const char *Name;
        const char *StepsX; // nullptr: no machine file
        const char *Message;
    } cases[] = {
        {"zero steps", "0", "[Feed] \"Steps per mill X\" is missing or zero"},
        {"NaN steps", "nan", "\"Steps per mill X\" = \"nan\" is not a number"},
        {"text for steps", "four hundred", "\"Steps per mill X\" is missing or zero"},
        {"no machine file", nullptr, "Machine parameter file not found"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        std::string settings = Temp.File("data");
        fs::remove_all(settings);
        fs::copy(ORV_DATA_DIR, settings, fs::copy_options::recursive);
        std::string machine = settings + "/machines/BENCHMILL.ini";
        std::string text = ReadFile(machine);
        fs::remove(machine);
        if (c.StepsX)
            std::ofstream(machine, std::ios::binary)
                << std::regex_replace(text, std::regex("Steps per mill X=400"),
                                      std::string("Steps per mill X=") + c.StepsX);
        TNcrunResult r = test::RunNcrun(Temp, "--settings '" + settings + "' --machine " +
                                                  Program("p.fnc", "G90 G21 G0 X10\nM30\n"));
        EXPECT_NE(r.Err.find("Machine Data Warning"), std::string::npos) << r.Err;
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
        EXPECT_LT(r.Err.find("Machine Data Warning"), r.Err.find("M/C Limit Error"))
            << "said before any move is refused";
    }
}

} // namespace
} // namespace orv
