#include "machine/ToolEditValues.h"

#include "machine/tests/ToolingFixture.h"
#include "platform/IniFile.h"

#include <gmock/gmock.h>

namespace orv {
namespace {

using test::TToolingFixture;
using ::testing::ElementsAre;

class ToolEditValues : public TToolingFixture {
protected:
    std::string File = Dir.Write("lib.MTD", "[End 6]\r\nDiameter=6\r\nlength=50.8\r\n"
                                            "Flute Count=x\r\nOffSET Set=1\r\n");
};

TEST_F(ToolEditValues, LoadsWithUnitsAndDefaults)
{
    TToolEditValues v;
    v.Load(File, "End 6", Metric);
    // Flute length takes the length; a count that is no number shows its default.
    EXPECT_THAT(v.Texts, ElementsAre("6.000", "50.800", "1.000", "50.800", "2", "50", "0"));
    v.Load(File, "End 6", Inch);
    EXPECT_EQ(v.Texts[1], "2.0000");
}

TEST_F(ToolEditValues, AcceptsRealsForLengthsAndWholeNumbersForCounts)
{
    struct Row {
        const char *Name;
        int Number;
        const char *Text;
        bool Accepted;
    } rows[] = {
        {"real diameter", 1, "6.35", true},
        {"negative length", 2, "-1", true},
        {"letters", 3, "abc", false},
        {"empty", 4, "", false},
        {"whole count", 5, "4", true},
        {"real count", 5, "4.5", false},
        {"life", 7, "12", true},
        {"edit past the last", 8, "1", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(TToolEditValues::IsAcceptable(row.Number, row.Text), row.Accepted);
    }
}

TEST_F(ToolEditValues, StoresMillimetresAndLeavesTheOffsetMark)
{
    TToolEditValues v;
    v.Load(File, "End 6", Inch);
    v.Texts[0] = "0.25";
    v.Texts[4] = "3";
    ASSERT_TRUE(v.Store(File, "End 6", Inch));
    TIniFile ini(File);
    EXPECT_EQ(ini.ReadString("End 6", "Diameter", ""), "6.35");
    EXPECT_EQ(ini.ReadString("End 6", "length", ""), "50.8");
    EXPECT_EQ(ini.ReadString("End 6", "Flute Count", ""), "3");
    EXPECT_EQ(ini.ReadString("End 6", "OffSET Set", ""), "1");

    v.Texts[2] = "x";
    const std::string before = Dir.Read("lib.MTD");
    EXPECT_FALSE(v.Store(File, "End 6", Inch));
    EXPECT_EQ(Dir.Read("lib.MTD"), before);
}

} // namespace
} // namespace orv
