#include "engine/core/DIniFile.h"

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(DIniFile, ReadListItem)
{
    test::TTempDir dir;
    TDIniFile ini(dir.Write("s.ini", "[List]\nabc=a,b,c\nempty=\nspaced= x , y\n"));
    struct Row {
        const char *Name;
        const char *Key;
        int Index;
        const char *Item;
    } rows[] = {
        {"first", "abc", 0, "a"},           {"middle", "abc", 1, "b"},
        {"last", "abc", 2, "c"},            {"one past the last", "abc", 3, "dflt"},
        {"negative leaves it", "abc", -1, "before"},
        {"empty value has one empty element", "empty", 0, ""},
        {"elements are not trimmed", "spaced", 1, " y"},
        {"missing key reads the default", "none", 0, "dflt"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        std::string item = "before";
        ini.ReadListItem("List", row.Key, row.Index, item, "dflt");
        EXPECT_EQ(item, row.Item);
    }
}

TEST(DIniFile, ReadListItemReadsAtMost1024Characters)
{
    test::TTempDir dir;
    std::string value(1020, 'a');
    value += ",bcdef,g";
    TDIniFile ini(dir.Write("s.ini", "[L]\nk=" + value + "\n"));
    std::string item;
    ini.ReadListItem("L", "k", 1, item, "x");
    EXPECT_EQ(item, "bcd");
    ini.ReadListItem("L", "k", 2, item, "x");
    EXPECT_EQ(item, "x");
}

TEST(DIniFile, SectionKeyCountErasesAnEmptySectionOnlyWhenAsked)
{
    test::TTempDir dir;
    TDIniFile ini(dir.Write("s.ini", "[Full]\na=1\nb=2\na=3\n[Empty]\n"));
    EXPECT_EQ(ini.SectionKeyCount("full", true), 3);
    EXPECT_EQ(ini.SectionKeyCount("Empty", false), 0);
    EXPECT_TRUE(ini.SectionExists("Empty"));
    EXPECT_EQ(ini.SectionKeyCount("EMPTY", true), 0);
    EXPECT_FALSE(ini.SectionExists("Empty"));
    EXPECT_TRUE(ini.SectionExists("Full"));
    EXPECT_EQ(ini.SectionKeyCount("Missing", true), 0);
}

} // namespace
} // namespace orv
