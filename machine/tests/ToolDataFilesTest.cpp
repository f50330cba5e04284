// The default tool library, tool changer, tool offset and work offset files
// that ship in data/ for a small bench mill: they load, hang together and
// come back unchanged when written again.

#include "machine/Machine_Tooling.h"
#include "machine/ToolOffsetTable.h"
#include "machine/Tooling_lib.h"
#include "machine/Work_piece_offset.h"
#include "machine/tests/BenchMillTooling.h"

#include <gmock/gmock.h>

namespace orv {
namespace {

using test::TBenchMillTooling;

class ToolDataFiles : public TBenchMillTooling {};

TEST_F(ToolDataFiles, EveryChangerPositionHoldsALibraryTool)
{
    EXPECT_EQ(Tooling.ToolLibrary()->ListTools().size(), 8u);
    EXPECT_EQ(Tooling.CurrentTool(), 1);
    for (int p = 1; p <= 6; ++p) {
        SCOPED_TRACE(p);
        TTool_data data;
        Tooling.GetToolData(p, data);
        EXPECT_GT(data.Diameter, 0);
        EXPECT_GT(data.LengthOffset, 0);
        std::string name;
        ASSERT_TRUE(Tooling.GetToolName(p, name, false));
        EXPECT_TRUE(Tooling.ToolNameUsed(name, 1));
        EXPECT_FALSE(Tooling.ToolNameUsed(name, 2));
    }
    EXPECT_FALSE(Tooling.HasTool(7));
    ASSERT_TRUE(Tooling.RequestToolChange(3, false));
    EXPECT_EQ(Tooling.CurrentLengthOffset, 52.35);
    EXPECT_EQ(Tooling.CurrentDiameter, 4);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(ToolDataFiles, LibraryWrittenAgainIsByteForByteTheSame)
{
    TTooling_Library &lib = *Tooling.ToolLibrary();
    for (const auto &name : lib.SectionNames())
        ASSERT_TRUE(lib.WriteTool(name, Dir.File("copy.MTD"), true));
    EXPECT_EQ(Dir.Read("copy.MTD"), Dir.Read("Tarnwick.MTD"));
}

TEST_F(ToolDataFiles, ChangerOffsetsAndWorkOffsetsComeBackUnchanged)
{
    const std::string changer = Dir.Read("Tarnwick.MTF");
    {
        TMachine_Tooling again;
        again.SetToolCapacity(8);
        again.SetMachineToolCount(8);
        again.SetDataFile("Tarnwick.MTF");
    }
    EXPECT_EQ(Dir.Read("Tarnwick.MTF"), changer);

    TToolOffsetTable table;
    table.Load(Dir.File("Tarnwick.TOF"));
    EXPECT_EQ(table.Texts[2], "52.35");
    ASSERT_TRUE(table.Save(Dir.File("copy.TOF")));
    EXPECT_EQ(Dir.Read("copy.TOF"), Dir.Read("Tarnwick.TOF"));

    const std::string offsets = Dir.Read("Tarnwick.MOL");
    TWork_piece_offset work;
    for (int code = 54; code <= 59; ++code)
        EXPECT_TRUE(work.SelectByCode(code)) << code;
    work.SelectByCode(55);
    EXPECT_EQ(work.MX(), 60);
    work.ShowWindow(true);
    work.ChangeEdit(1, work.EditValue(1));
    work.FlushEdits();
    EXPECT_EQ(Dir.Read("Tarnwick.MOL"), offsets);
}

} // namespace
} // namespace orv
