// Golden files: each fixture program in tests/data/expand/*.fnc runs through
// the whole chain with the expansion stages (tool of diameter 10, look-ahead
// 30, the default "cycles.ini"); the records as ncrun prints them, the
// errors reported and the end must equal the .rec file beside it. A bad
// program names on its first line (a comment) the message it must produce.
// ORV_UPDATE_GOLDEN=1 rewrites the .rec files.

#include "ncrun/RecordLine.h"
#include "engine/expand/tests/CycleExpandRig.h"
#include "engine/expand/tests/ExpandChain.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orv {
namespace {

const std::string DataDir = std::string(ORV_SOURCE_DIR) + "/engine/expand/tests/data/";

std::vector<std::string> ReadLines(const std::string &FileName)
{
    std::ifstream In(FileName, std::ios::binary);
    std::vector<std::string> Lines;
    std::string Line;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        Lines.push_back(Line);
    }
    return Lines;
}

struct TFixture {
    const char *Name;
    bool ExpandArcs;
    double ChordLength;
};

std::vector<std::string> RunFixture(const TFixture &Fixture)
{
    test::TProgramFolderScope Folder(ORV_DATA_DIR);
    test::TExpandChain Chain(ReadLines(DataDir + Fixture.Name + ".fnc"));
    Chain.Circular.ExpandArcs = Fixture.ExpandArcs;
    Chain.Circular.MinimumChordLength = Fixture.ChordLength;
    std::vector<std::string> Out;
    size_t Reported = 0;
    auto TakeErrors = [&] {
        for (; Reported < Chain.Errors.size(); ++Reported) {
            const auto &Error = Chain.Errors[Reported];
            Out.push_back("error " + std::to_string(Error.Line) + " " + Error.Detail + " : " +
                          Error.Message);
        }
    };
    TCNC_data Data;
    while (Chain.Next(Data) && Out.size() < 5000) {
        TakeErrors();
        Out.push_back(RecordLine(Data));
    }
    TakeErrors();
    Out.push_back("end");
    return Out;
}

TEST(CutterCompGolden, FixtureProgramsThroughTheWholeChain)
{
    const TFixture Fixtures[] = {
        {"contour_g41", false, 0.2},
        {"contour_g18", false, 0.2},
        {"arcs_g18_g19", false, 0.2},
        {"drilling", false, 0.2},
        {"helix_open", true, 2},
        {"bad_comp_on_arc", false, 0.2},
        {"bad_cycle_limits", false, 0.2},
    };
    const bool Update = std::getenv("ORV_UPDATE_GOLDEN") != nullptr;
    for (const auto &Fixture : Fixtures) {
        SCOPED_TRACE(Fixture.Name);
        const auto Out = RunFixture(Fixture);
        const std::string RecFile = DataDir + Fixture.Name + ".rec";
        if (Update) {
            std::ofstream Rec(RecFile, std::ios::binary);
            for (const auto &Line : Out)
                Rec << Line << "\n";
        }
        EXPECT_EQ(Out, ReadLines(RecFile));
        const std::string First = ReadLines(DataDir + Fixture.Name + ".fnc").at(0);
        const bool Bad = std::string(Fixture.Name).rfind("bad_", 0) == 0;
        bool Named = false;
        for (const auto &Line : Out)
            if (Line.rfind("error ", 0) == 0 &&
                Line.find(First.substr(1, First.size() - 2)) != std::string::npos)
                Named = true;
        EXPECT_EQ(Named, Bad) << First;
    }
}

} // namespace
} // namespace orv
