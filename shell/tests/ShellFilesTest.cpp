// What the shell keeps in files: the recent list, window positions, the
// default billet and the close keys, the jog keys; and the billet dialog's
// unit texts and the help files by language.
#include "machine/JogKeyTable.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Pos_size.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/TempDir.h"
#include "shell/KeySetup.h"
#include "shell/RecentFiles.h"
#include "shell/ShellSettings.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(RecentFiles, LetterCaseEleventhEntryAndCaptions) {
    TRecentFiles list;
    for (int i = 1; i <= 10; ++i)
        list.AddFile("/p/prog" + std::to_string(i) + ".fnc");
    ASSERT_EQ(list.Files().size(), 10u);
    EXPECT_EQ(list.Captions().back(), "&10 /p/prog1.fnc");
    EXPECT_EQ(list.Captions().front(), "&1 /p/prog10.fnc");

    list.AddFile("/P/PROG5.FNC");
    EXPECT_EQ(list.Files().size(), 10u) << "a file listed in other letter case moves up";
    EXPECT_EQ(list.Files().front(), "/P/PROG5.FNC");
    EXPECT_EQ(list.Files().back(), "/p/prog1.fnc");

    list.AddFile("/p/eleven.fnc");
    EXPECT_EQ(list.Files().size(), 10u);
    EXPECT_EQ(list.Files().back(), "/p/prog2.fnc") << "the oldest goes";

    EXPECT_EQ(list.Clicked(3), "/p/prog9.fnc");
    EXPECT_EQ(list.Files().front(), "/p/prog9.fnc");
    EXPECT_EQ(list.LastFile(), "/p/prog9.fnc");
}

TEST(RecentFiles, KeptBetweenRuns) {
    test::TTempDir dir;
    TRecentFiles first;
    first.AddFile("/p/a.fnc");
    first.AddFile("/p/b.fnc");
    ASSERT_TRUE(first.SaveHistory(dir.File("Tarnwick.HST")));
    EXPECT_EQ(dir.Read("Tarnwick.HST"), "/p/b.fnc\n/p/a.fnc\n");
    TRecentFiles second;
    second.LoadHistory(dir.File("Tarnwick.HST"));
    EXPECT_EQ(second.Files(), first.Files());
    TRecentFiles none;
    none.LoadHistory(dir.File("missing.HST"));
    EXPECT_TRUE(none.Files().empty());
    EXPECT_FALSE(first.SaveHistory(dir.File("no/such/folder/x.HST")));
    {
        test::TFileSizeLimit limit(4); // the disk full after a few bytes
        first.AddFile("/p/c.fnc");
        EXPECT_FALSE(first.SaveHistory(dir.File("Tarnwick.HST")));
    }
    EXPECT_EQ(dir.Read("Tarnwick.HST"), "/p/b.fnc\n/p/a.fnc\n") << "the old list stays whole";
}

class PosSize : public ::testing::Test {
protected:
    void SetUp() override { SetProgramPathOverride(Dir.Path(), "Tarnwick"); }
    void TearDown() override { SetProgramPathOverride("", ""); }
    TPos_sizeOwner Owner(TPosBorder Border, const std::string &Name = "Form1") {
        TPos_sizeOwner o;
        o.Name = Name;
        o.ClassName = "TForm1";
        o.Border = Border;
        o.Designed = {10, 20, 300, 200};
        return o;
    }
    test::TTempDir Dir;
};

TEST_F(PosSize, StoredBoundsAreCheckedAgainstTheScreen) {
    const struct {
        const char *Name;
        const char *Stored;
        TPosBorder Border;
        int Left, Top, Width, Height;
        bool Placed; // a position was stored
    } rows[] = {
        {"sizeable", "Top=50\nLeft=60\nWidth=400\nHeight=250\n", TPosBorder::Sizeable, 60, 50, 400,
         250, true},
        {"top 2000 on a 1024 high screen", "Top=2000\nLeft=60\n", TPosBorder::Sizeable, 60, 0, 300,
         200, true},
        {"wholly left of the screen", "Top=5\nLeft=-500\n", TPosBorder::Sizeable, 0, 5, 300, 200,
         true},
        {"partly off the screen stays", "Top=-50\nLeft=-100\n", TPosBorder::Sizeable, -100, -50,
         300, 200, true},
        {"fixed border keeps its size", "Top=5\nLeft=6\nWidth=999\nHeight=999\n", TPosBorder::Fixed,
         6, 5, 300, 200, true},
        {"sizeable tool window", "Width=123\nHeight=45\n", TPosBorder::SizeableToolWindow, 10, 20,
         123, 45, false},
        {"zero or negative size", "Width=0\nHeight=-4\n", TPosBorder::Sizeable, 10, 20, 300, 200,
         false},
        {"never stored", "", TPosBorder::Fixed, 10, 20, 300, 200, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        Dir.Write("Tarnwick.ini", std::string("[Form1]\n") + row.Stored);
        TPos_size pos;
        const TPosBounds b = pos.Loaded(Owner(row.Border), 1280, 1024);
        EXPECT_EQ(b.Left, row.Left);
        EXPECT_EQ(b.Top, row.Top);
        EXPECT_EQ(b.Width, row.Width);
        EXPECT_EQ(b.Height, row.Height);
        EXPECT_EQ(pos.PositionStored(), row.Placed);
    }
}

TEST_F(PosSize, SavesSizeOnlyForASizeableBorder) {
    Dir.Write("TARNWICK.INI", "");
    for (TPosBorder border : {TPosBorder::Sizeable, TPosBorder::SizeableToolWindow}) {
        TPos_size pos;
        const std::string name = border == TPosBorder::Sizeable ? "A" : "B";
        pos.Loaded(Owner(border, name), 1280, 1024);
        EXPECT_EQ(pos.SettingsFile(), Dir.File("TARNWICK.INI")) << "found without regard to case";
        pos.SavePosition(Owner(border, name), {1, 2, 3, 4});
    }
    TIniFile ini(Dir.File("TARNWICK.INI"));
    EXPECT_EQ(ini.ReadInteger("A", "Width", -1), 3);
    EXPECT_EQ(ini.ReadInteger("B", "Left", -1), 1);
    EXPECT_FALSE(ini.ValueExists("B", "Width"));
}

TEST_F(PosSize, DataDestinationRedirectsAndSectionNames) {
    Dir.Write("Tarnwick.ini", "[Auto Save]\nData Destination=" + Dir.File("other.ini") + "\n");
    Dir.Write("other.ini", "[B_Size]\nTop=77\n");
    TPos_size pos;
    TPos_sizeOwner o = Owner(TPosBorder::Fixed, "");
    o.ClassName = "TB_Size";
    EXPECT_EQ(pos.Loaded(o, 1280, 1024).Top, 77);
    EXPECT_EQ(pos.SectionName(o), "B_Size");
    TPos_size named;
    named.ControlName = "BlockSearchForm";
    EXPECT_EQ(named.SectionName(o), "BlockSearchForm");
    TPos_size captioned;
    o.Caption = "Billet Size";
    EXPECT_EQ(captioned.SectionName(o), "Billet Size");
}

TEST(DefaultBillet, ANonNumberKeepsItsDefaultAndZeroSizesAreNotWritten) {
    test::TTempDir dir;
    const std::string ini =
        dir.Write("Tarnwick.ini", "[Default Settings]\nBillet X=abc\n"
                                  "Billet Y=55.5\nBillet Z=7\nBillet X Pos=1,5\n");
    TBilletBox b = ReadDefaultBillet(ini);
    EXPECT_DOUBLE_EQ(b.XSize, 100);
    EXPECT_DOUBLE_EQ(b.YSize, 55.5);
    EXPECT_DOUBLE_EQ(b.ZSize, 7);
    EXPECT_DOUBLE_EQ(b.XPos, 0);
    b.XSize = 0;
    b.YSize = 12;
    b.XPos = 0;
    WriteDefaultBillet(ini, b);
    TIniFile file(ini);
    EXPECT_EQ(file.ReadString("Default Settings", "Billet X", ""), "abc");
    EXPECT_EQ(file.ReadString("Default Settings", "Billet Y", ""), "12");
    EXPECT_EQ(file.ReadString("Default Settings", "Billet X Pos", ""), "0");
}

TEST(BilletDialog, InchTextsAndEntries) {
    EXPECT_EQ(BilletValueText(true, 100), "3.9370");
    EXPECT_EQ(BilletValueText(false, 100), "100.000");
    double v = 1;
    EXPECT_TRUE(BilletTextToMM("4", true, v));
    EXPECT_DOUBLE_EQ(v, 101.6);
    EXPECT_FALSE(BilletTextToMM("x", true, v));
    EXPECT_DOUBLE_EQ(v, 101.6);
    EXPECT_TRUE(BilletTextToMM(" 25 ", false, v));
    EXPECT_DOUBLE_EQ(v, 25);
}

TEST(HelpFiles, EnglishOpensTheHelpFilesOtherLanguagesTheWebPage) {
    const THelpFiles en = HelpFilesFor("English (UK)", "/prog/", "Tarnwick", "/prog/mill.hlp");
    EXPECT_TRUE(en.WinHelp);
    EXPECT_EQ(en.ProductHelp, "/prog/Tarnwick.hlp");
    EXPECT_EQ(en.ProgrammingHelp, "/prog/mill.hlp");
    const THelpFiles de = HelpFilesFor("Deutsch", "/prog/", "Tarnwick", "/prog/mill.hlp");
    EXPECT_FALSE(de.WinHelp);
    EXPECT_EQ(de.ApplicationHelpFile, "");
    EXPECT_EQ(de.ProductHelp, "/prog/help.htm");
    EXPECT_EQ(de.ProgrammingHelp, "/prog/help.htm");
}

TEST(JogKeys, AssignedLiveKeptBetweenRuns) {
    test::TTempDir dir;
    const std::string ini = dir.Write("Tarnwick.ini", "[Jog Keys]\nX+=37\n");
    TJogKeyTable table;
    table.Load(ini);
    EXPECT_EQ(table.Key(TJogKeyTable::XPlus), 37);
    TJogKeySetup setup(table);
    EXPECT_FALSE(setup.KeyPressed(65)) << "no function chosen yet";
    EXPECT_EQ(table.Key(TJogKeyTable::XMinus), 0);
    setup.SelectFunction(2);
    EXPECT_TRUE(setup.KeyPressed(39));
    EXPECT_EQ(table.Key(TJogKeyTable::XMinus), 39) << "live before OK";
    EXPECT_FALSE(setup.KeyPressed(255)) << "a key without a name";
    EXPECT_EQ(table.Key(TJogKeyTable::XMinus), 39);
    setup.SelectFunction(3);
    EXPECT_TRUE(setup.KeyPressed(39)) << "one key for two functions";
    EXPECT_EQ(table.Key(TJogKeyTable::YPlus), 39);
    EXPECT_EQ(setup.ShownKey(TJogKeyTable::YPlus).empty(), false);
    table.Save(ini);
    TJogKeyTable again;
    again.Load(ini);
    EXPECT_EQ(again.Key(TJogKeyTable::XMinus), 39);
    EXPECT_EQ(again.Key(TJogKeyTable::YPlus), 39);
    EXPECT_EQ(TIniFile(ini).ReadString("Jog Keys", "Sdn", ""), "0");
}

} // namespace
} // namespace orv
