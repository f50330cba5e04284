#include "machine/ToolOffsetTable.h"

#include "engine/core/DUtils.h"
#include "machine/tests/ToolingFixture.h"
#include "platform/IniFile.h"

namespace orv {
namespace {

using test::TToolingFixture;

class ToolOffsetTable : public TToolingFixture {};

TEST_F(ToolOffsetTable, EntriesFillFourTabsInTwoColumnsOfEight)
{
    TToolOffsetTable table;
    struct Row {
        const char *Name;
        int Number;
        int Tab, LabelLeft, LabelTop, EditLeft, EditTop;
    } rows[] = {
        {"first", 1, 0, 5, 7, 40, 5},
        {"last of the left column", 8, 0, 5, 147, 40, 145},
        {"first of the right column", 9, 0, 110, 7, 150, 5},
        {"last of the first tab", 16, 0, 110, 147, 150, 145},
        {"second tab starts at 17", 17, 1, 5, 7, 40, 5},
        {"24 in the left column", 24, 1, 5, 147, 40, 145},
        {"25 in the right column", 25, 1, 110, 7, 150, 5},
        {"32 ends the second tab", 32, 1, 110, 147, 150, 145},
        {"last entry", 64, 3, 110, 147, 150, 145},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TOffsetEntryPlace p = table.Place(row.Number);
        EXPECT_EQ(p.Tab, row.Tab);
        EXPECT_EQ(p.LabelLeft, row.LabelLeft);
        EXPECT_EQ(p.LabelTop, row.LabelTop);
        EXPECT_EQ(p.EditLeft, row.EditLeft);
        EXPECT_EQ(p.EditTop, row.EditTop);
    }
    EXPECT_EQ(table.PanelHeight(), 180);
}

TEST_F(ToolOffsetTable, TextsAreKeptExactlyAsTyped)
{
    TToolOffsetTable table;
    table.Load(MainIniPath());
    ASSERT_EQ(table.Texts.size(), 64u);
    table.Texts[0] = "12.5";
    table.Texts[1] = "not a number";
    table.Texts[63] = " 7 ";
    ASSERT_TRUE(table.Save(MainIniPath()));

    TToolOffsetTable again;
    again.Load(MainIniPath());
    EXPECT_EQ(again.Texts[0], "12.5");
    EXPECT_EQ(again.Texts[1], "not a number");
    EXPECT_EQ(again.Texts[63], "7"); // ini values lose their outer blanks
    EXPECT_EQ(again.Texts[2], "");
}

TEST_F(ToolOffsetTable, ImportWithoutTheSectionEmptiesAndSavesNothing)
{
    TIniFile(MainIniPath()).WriteString("Tool Offset Table", "5", "3.2");
    const std::string before = Dir.Read("Tarnwick.ini");
    TToolOffsetTable table;
    table.Load(MainIniPath());
    table.Load(Dir.Write("other.TOF", "[Something else]\r\n5=9\r\n"));
    for (const auto &t : table.Texts)
        EXPECT_EQ(t, "");
    // Cancel: the dialog writes nothing back.
    EXPECT_EQ(Dir.Read("Tarnwick.ini"), before);
}

TEST_F(ToolOffsetTable, ExportWritesTheTofFileByteForByte)
{
    TToolOffsetTable table;
    table.OffsetCount = 4;
    table.Clear();
    table.Texts = {"1.5", "", "-2", "x"};
    ASSERT_TRUE(table.Save(Dir.File("shop.TOF")));
    EXPECT_EQ(Dir.Read("shop.TOF"), "[Tool Offset Table]\r\n1=1.5\r\n2=\r\n3=-2\r\n4=x\r\n");
    table.Clear();
    EXPECT_EQ(table.Texts, std::vector<std::string>(4, ""));
}

} // namespace
} // namespace orv
