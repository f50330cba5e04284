// Expansion fixtures through ncrun, the engine form with no window, over
// a fresh copy of the fixtures' own settings (no machine, so no feed limits
// and chords of 0.2 mm; the default "cycles.ini"), so that the expected files
// do not follow the default data: the
// printed records, the ".XNC" bytes and the ".GNC" text must equal the
// expected files beside each program (<name>.ncrun, .xnc, .gnc), and a bad
// program stops with the message its first comment names.
// ORV_UPDATE_GOLDEN=1 rewrites the expected files.

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifndef ORV_NCRUN
#error "ORV_NCRUN names the ncrun executable"
#endif

namespace orv {
namespace {

const std::string Fixtures = std::string(ORV_SOURCE_DIR) + "/engine/tests/data/expand/";

std::string ReadFile(const std::string &Path)
{
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

struct TNcrunResult {
    int Status = -1;
    std::string Out, Err, Xnc, Gnc;
};

TNcrunResult RunNcrun(const test::TTempDir &Temp, const std::string &Program)
{
    const std::string Settings = Temp.File("settings");
    std::filesystem::remove_all(Settings);
    std::filesystem::copy(Fixtures + "settings", Settings);
    const std::string Command = "cd '" + Fixtures + "' && SOURCE_DATE_EPOCH=1700000000 '" +
                                ORV_NCRUN + "' --settings '" + Settings + "' --xnc '" +
                                Temp.File("out.xnc") + "' --gnc '" + Temp.File("out.gnc") +
                                "' " + Program + " >'" + Temp.File("out.txt") + "' 2>'" +
                                Temp.File("err.txt") + "'";
    const int Raw = std::system(Command.c_str());
    TNcrunResult Result;
    Result.Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
    Result.Out = Temp.Read("out.txt");
    Result.Err = Temp.Read("err.txt");
    Result.Xnc = Temp.Read("out.xnc");
    Result.Gnc = Temp.Read("out.gnc");
    return Result;
}

void ExpectGolden(const std::string &Actual, const std::string &File, bool Update)
{
    if (Update)
        std::ofstream(File, std::ios::binary) << Actual;
    EXPECT_EQ(Actual, ReadFile(File)) << File;
}

TEST(CutterCompNcrun, CyclesAndArcsGiveTheirRecordsXncAndGnc)
{
    const bool Update = std::getenv("ORV_UPDATE_GOLDEN") != nullptr;
    // (Compensated contours run with the diameter of the tool in the spindle:
    // the G41 contour's fixture is run by the engine form's tooling tests.
    // Message 46 stops them only when that tool has no diameter.)
    for (const char *Name : {"drilling", "helix_arcs"}) {
        SCOPED_TRACE(Name);
        test::TTempDir Temp;
        const auto Result = RunNcrun(Temp, std::string(Name) + ".fnc");
        EXPECT_EQ(Result.Status, 0) << Result.Err;
        EXPECT_EQ(Result.Err, "");
        ExpectGolden(Result.Out, Fixtures + Name + ".ncrun", Update);
        ExpectGolden(Result.Xnc, Fixtures + Name + ".xnc", Update);
        ExpectGolden(Result.Gnc, Fixtures + Name + ".gnc", Update);
    }
}

TEST(CutterCompNcrun, BadProgramsStopWithTheMessageTheyName)
{
    for (const char *Name : {"bad_comp_on_arc", "bad_cycle_limits"}) {
        SCOPED_TRACE(Name);
        test::TTempDir Temp;
        const auto Result = RunNcrun(Temp, std::string(Name) + ".fnc");
        std::string First = ReadFile(Fixtures + Name + ".fnc");
        First = First.substr(1, First.find(')') - 1);
        EXPECT_EQ(Result.Status, 1);
        EXPECT_NE(Result.Err.find(First), std::string::npos) << Result.Err;
        EXPECT_NE(Result.Err.find("Line #"), std::string::npos) << Result.Err;
    }
}

} // namespace
} // namespace orv
