// The Utilities menu's list in [Menu Tools]: its order, the list model of
// "Configure Utilities", the rule of "&OK" in "Utility Properties", and
// starting a utility (a small script writes where it ran and with what).
#include "shell/UtilityMenu.h"

#include "platform/IniFile.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace orv {
namespace {

using TTitles = std::vector<std::string>;

TEST(UtilityMenu, TitlesInMenuOrder)
{
    const struct {
        const char *Name;
        const char *Section;
        TTitles Titles;
    } rows[] = {
        {"two titles at places 1 and 0",
         "First_Title=1\nFirst_Prog=a\nFirst_Work=\nFirst_Param=\n"
         "Second_Title=0\nSecond_Prog=b\nSecond_Work=\nSecond_Param=\n",
         {"Second", "First"}},
        {"a place that is no number counts as 0",
         "A_Title=x\nA_Prog=\nA_Work=\nA_Param=\nB_Title=1\nB_Prog=\nB_Work=\nB_Param=\n",
         {"A", "B"}},
        {"a place past the list follows the placed ones",
         "A_Title=7\nA_Prog=\nA_Work=\nA_Param=\nB_Title=0\nB_Prog=\nB_Work=\nB_Param=\n",
         {"B", "A"}},
        {"two on one place: the later one takes the free place",
         "A_Title=1\nA_Prog=\nA_Work=\nA_Param=\nB_Title=1\nB_Prog=\nB_Work=\nB_Param=\n",
         {"B", "A"}},
        {"keys no multiple of 4: nothing past the list",
         "A_Title=0\nA_Prog=\nA_Work=\nA_Param=\nB_Title=1\nB_Prog=\n", {"A"}},
        {"\"_Title\" needs a character before it", "_Title=0\nX=1\nY=2\nZ=3\n", {""}},
        {"no section", "", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        test::TTempDir dir;
        const std::string ini =
            dir.Write("Tarnwick.ini", std::string("[Menu Tools]\n") + row.Section);
        EXPECT_EQ(ReadUtilityTitles(ini), row.Titles);
    }
}

class UtilityList : public ::testing::Test {
protected:
    UtilityList()
    {
        Ini = Dir.Write("Tarnwick.ini", "");
        TUtilityList list(Ini);
        for (const char *title : {"Calc", "Notes", "Backup"})
            list.Add({title, "/bin/" + std::string(title), "/tmp", "-" + std::string(title)});
    }
    std::string Place(const std::string &Title)
    {
        return TIniFile(Ini).ReadString("Menu Tools", Title + "_Title", "<none>");
    }
    test::TTempDir Dir;
    std::string Ini;
};

TEST_F(UtilityList, AddWritesFourKeysAtTheEnd)
{
    EXPECT_EQ(ReadUtilityTitles(Ini), (TTitles{"Calc", "Notes", "Backup"}));
    const TUtility u = ReadUtility(Ini, "Notes");
    EXPECT_EQ(u.Program, "/bin/Notes");
    EXPECT_EQ(u.WorkFolder, "/tmp");
    EXPECT_EQ(u.Parameters, "-Notes");
    EXPECT_EQ(Place("Backup"), "2");
}

TEST_F(UtilityList, EditRenamesTheFourKeysInPlace)
{
    TUtilityList list(Ini);
    list.Edit(1, {"Editor", "/bin/ed", "", "-p"});
    EXPECT_EQ(list.Titles(), (TTitles{"Calc", "Editor", "Backup"}));
    TIniFile ini(Ini);
    for (const char *suffix : {"_Title", "_Prog", "_Work", "_Param"})
        EXPECT_FALSE(ini.ValueExists("Menu Tools", std::string("Notes") + suffix)) << suffix;
    EXPECT_EQ(ini.ReadSection("Menu Tools").size(), 12u);
    EXPECT_EQ(Place("Editor"), "1");
    EXPECT_EQ(ReadUtility(Ini, "Editor").Program, "/bin/ed");
    EXPECT_EQ(ReadUtilityTitles(Ini), list.Titles());

    list.Edit(0, {"CALC", "/bin/bc", "", ""}); // its own title in other letters
    EXPECT_EQ(ReadUtilityTitles(Ini), (TTitles{"CALC", "Editor", "Backup"}));
}

TEST_F(UtilityList, DeleteRewritesThePlacesOfTheRest)
{
    TUtilityList list(Ini);
    list.Delete(0);
    EXPECT_EQ(list.Titles(), (TTitles{"Notes", "Backup"}));
    EXPECT_EQ(Place("Calc"), "<none>");
    EXPECT_EQ(Place("Notes"), "0");
    EXPECT_EQ(Place("Backup"), "1");
    EXPECT_EQ(ReadUtilityTitles(Ini), list.Titles());
    list.Delete(5); // none selected: nothing
    EXPECT_EQ(ReadUtilityTitles(Ini), list.Titles());
}

TEST_F(UtilityList, UpAndDownSwapTwoPlacesAndStopAtTheEnds)
{
    TUtilityList list(Ini);
    EXPECT_EQ(list.MoveUp(0), 0);
    EXPECT_EQ(list.MoveDown(2), 2);
    EXPECT_EQ(ReadUtilityTitles(Ini), (TTitles{"Calc", "Notes", "Backup"}));
    EXPECT_EQ(list.MoveUp(2), 1);
    EXPECT_EQ(ReadUtilityTitles(Ini), (TTitles{"Calc", "Backup", "Notes"}));
    EXPECT_EQ(list.MoveDown(0), 1);
    EXPECT_EQ(ReadUtilityTitles(Ini), (TTitles{"Backup", "Calc", "Notes"}));
    EXPECT_EQ(list.MoveUp(-1), -1) << "none selected";
}

TEST(UtilityMenu, OkNeedsAFreeTitleAndAnExistingProgram)
{
    test::TTempDir dir;
    const std::string program = dir.Write("tool.sh", "");
    const TTitles titles{"Calc", "Notes"};
    const struct {
        const char *Name;
        std::string Title, Program, Own;
        bool Ok;
    } rows[] = {
        {"new title, existing program", "Backup", program, "", true},
        {"empty title", "", program, "", false},
        {"missing program", "Backup", dir.File("missing"), "", false},
        {"another utility's title", "Notes", program, "", false},
        {"another utility's title in other letters", "nOTES", program, "", false},
        {"taken by another while editing", "Notes", program, "Calc", false},
        {"its own title while editing", "Calc", program, "Calc", true},
        {"its own title in other letters", "CALC", program, "Calc", true},
        {"an equals sign ends the key", "Calc=2", program, "", false},
        {"an opening bracket", "[Calc", program, "", false},
        {"a closing bracket", "Calc]", program, "", false},
        {"the title key's suffix inside", "My_Title tool", program, "", false},
        {"the suffix at the end", "Report_Title", program, "", false},
        {"a comment's mark at the start", ";Calc", program, "", false},
        {"other suffixes and marks are plain text", "Calc_Prog 2.0 (x)", program, "", true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(UtilityPropertiesValid(row.Title, row.Program, titles, row.Own), row.Ok);
    }
}

// The script writes its working folder and its parameters into a file.
// The utility runs on its own, so the test waits (bounded) for the file.
TEST(UtilityMenu, AUtilityWithoutAWorkingFolderRunsInItsProgramsFolder)
{
    test::TTempDir dir;
    std::filesystem::create_directories(dir.File("tools"));
    const std::string out = dir.File("out.txt");
    const std::string script =
        dir.Write("tools/report.sh", "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > \"" +
                                         out + ".part\" && mv \"" + out + ".part\" \"" + out + "\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    const std::string ini = dir.Write("Tarnwick.ini", "");
    TUtilityList(ini).Add({"Report", script, "", "-x \"two words\""});
    ASSERT_TRUE(StartUtility(ini, "Report"));
    for (int i = 0; i < 2000 && !std::filesystem::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::string folder = std::filesystem::canonical(dir.File("tools")).string();
    EXPECT_EQ(dir.Read("out.txt"), folder + "\n[-x]\n[two words]\n");
    EXPECT_FALSE(StartUtility(ini, "NoSuchUtility"));
}

} // namespace
} // namespace orv
