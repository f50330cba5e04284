// Expansion fixtures through ncrun, the engine form with no window, over
// a fresh copy of the fixtures' own settings (no machine, so no feed limits
// and chords of 0.2 mm; the default "cycles.ini"), so that the expected files
// do not follow the default data: the
// printed records, the ".XNC" bytes and the ".GNC" text must equal the
// expected files beside each program (<name>.ncrun, .xnc, .gnc), and a bad
// program stops with the message its first comment names.
// ORV_UPDATE_GOLDEN=1 rewrites the expected files.

#include "engine/form/tests/NcrunProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace orv {
namespace {

using test::ReadFile;

const std::string Fixtures = std::string(ORV_SOURCE_DIR) + "/engine/expand/tests/data/";

struct TExpansionRun : test::TNcrunResult {
    std::string Xnc, Gnc;
};

TExpansionRun RunProgram(const test::TTempDir &Temp, const std::string &Program)
{
    const std::string Settings = test::CopyFixtureSettings(Temp, Fixtures);
    const std::string Args = "--settings '" + Settings + "' --xnc '" + Temp.File("out.xnc") +
                             "' --gnc '" + Temp.File("out.gnc") + "' " + Program;
    // Braced members are made in order: the run first, then its files.
    return TExpansionRun{test::RunNcrun(Temp, Args, Fixtures), ReadFile(Temp.File("out.xnc")),
                         ReadFile(Temp.File("out.gnc"))};
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
        const auto Result = RunProgram(Temp, std::string(Name) + ".fnc");
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
        const auto Result = RunProgram(Temp, std::string(Name) + ".fnc");
        std::string First = ReadFile(Fixtures + Name + ".fnc");
        First = First.substr(1, First.find(')') - 1);
        EXPECT_EQ(Result.Status, 1);
        EXPECT_NE(Result.Err.find(First), std::string::npos) << Result.Err;
        EXPECT_NE(Result.Err.find("Line #"), std::string::npos) << Result.Err;
    }
}

} // namespace
} // namespace orv
