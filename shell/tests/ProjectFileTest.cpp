// Project files: the six keys written in order and read back, defaults for
// missing keys, and applying a project (no program for a ".PRJ" name, the
// other keys all the same).

#include "shell/ProjectFile.h"

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orv {
namespace {

const std::string Expected = std::string(ORV_SOURCE_DIR) + "/shell/tests/data/";

std::string ReadAll(const std::string &Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TProjectData Bracket()
{
    TProjectData data;
    data.Filename = "/jobs/bracket.fnc";
    data.ToolSetup = "/jobs/bracket.MTF";
    data.MachineWorkPiece = "G55";
    data.SimulationWorkPiece = "G54";
    data.Metric = false;
    data.ExpandedCycles = true;
    return data;
}

class TRecordTarget : public TProjectTarget {
public:
    void OpenProgram(std::string FileName) override { Log += "open " + FileName + ";"; }
    void SetToolFile(const std::string &FileName) override { Log += "tools " + FileName + ";"; }
    void SetMachineOffset(const std::string &Name) override { Log += "machine " + Name + ";"; }
    void SetSimulationOffset(const std::string &Name) override { Log += "sim " + Name + ";"; }
    void SetInch(bool Inch) override { Log += Inch ? "inch;" : "mm;"; }
    void SetCycleExpansion(bool On) override { Log += On ? "expand;" : "no expand;"; }
    std::string Log;
};

TEST(ProjectFile, SavedProjectMatchesTheExpectedFileAndReadsBack)
{
    test::TTempDir dir;
    ASSERT_TRUE(WriteProjectFile(dir.File("job.prj"), Bracket()));
    EXPECT_EQ(ReadAll(dir.File("job.prj")), ReadAll(Expected + "bracket.prj"));
    TProjectData read = ReadProjectFile(dir.File("job.prj"));
    EXPECT_EQ(read.Filename, "/jobs/bracket.fnc");
    EXPECT_EQ(read.ToolSetup, "/jobs/bracket.MTF");
    EXPECT_EQ(read.MachineWorkPiece, "G55");
    EXPECT_EQ(read.SimulationWorkPiece, "G54");
    EXPECT_FALSE(read.Metric);
    EXPECT_TRUE(read.ExpandedCycles);
}

TEST(ProjectFile, MissingKeysGiveMillimetresAndTheCheckMark)
{
    test::TTempDir dir;
    TProjectData read = ReadProjectFile(dir.Write("empty.prj", "[Data]\r\n"));
    EXPECT_EQ(read.Filename, "");
    EXPECT_TRUE(read.Metric);
    EXPECT_TRUE(read.ExpandedCycles);
}

TEST(ProjectFile, ApplyingOpensTheProgramThenSetsTheRestInOrder)
{
    struct TCase {
        const char *Name;
        const char *Filename;
        const char *Log;
    };
    const TCase cases[] = {
        {"a program", "/jobs/bracket.fnc",
         "open /jobs/bracket.fnc;tools /jobs/bracket.MTF;machine G55;sim G54;inch;expand;"},
        {"another project opens nothing", "/jobs/other.PRJ",
         "tools /jobs/bracket.MTF;machine G55;sim G54;inch;expand;"},
        {"no program", "", "tools /jobs/bracket.MTF;machine G55;sim G54;inch;expand;"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TProjectData data = Bracket();
        data.Filename = c.Filename;
        TRecordTarget target;
        ApplyProject(data, target);
        EXPECT_EQ(target.Log, c.Log);
    }
}

} // namespace
} // namespace orv
