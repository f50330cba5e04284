#include "machine/Tooling_lib.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/ToolEditValues.h"
#include "machine/tests/ToolingFixture.h"
#include "platform/IniFile.h"

#include <gmock/gmock.h>

#include <string>

namespace orv {
namespace {

using test::TToolingFixture;
using ::testing::ElementsAre;

// The first tool with all eleven keys, in the order and the shortest text a
// tool is written in.
const std::string EndSixSection = "[End 6]\r\n"
                                  "Diameter=6\r\n"
                                  "length=50\r\n"
                                  "Tool Length offset=42.5\r\n"
                                  "Flute length=20\r\n"
                                  "Flute Count=3\r\n"
                                  "Maximum tool Life=100\r\n"
                                  "Current tool Life=7\r\n"
                                  "colour=255\r\n"
                                  "Type=1\r\n"
                                  "OffSET Set=1\r\n"
                                  "Tool In Use=0\r\n";

const std::string LibraryText = EndSixSection +
                                "[Drill 3]\r\n"
                                "Diameter=3\r\n"
                                "length=40\r\n"
                                "Tool Length offset=30\r\n"
                                "Type=4\r\n"
                                "[Bare]\r\n"
                                "[Zero]\r\n"
                                "Diameter=0\r\n"
                                "[tool]\r\n"
                                "Diameter=5\r\n"
                                "[Tool]\r\n"
                                "Diameter=5\r\n"
                                "[Broken]\r\n"
                                "Diameter=6\r\n"
                                "length=abc\r\n"
                                "[Negative]\r\n"
                                "Diameter=-2\r\n";

class ToolLibrary : public TToolingFixture {
protected:
    ToolLibrary()
    {
        Lib.SetDataFile(Dir.Write("lib.MTD", LibraryText));
        Lib.ToolDataChanged = [this](TObject *, const std::string &Old, const std::string &New) {
            Changes.push_back(Old + ">" + New);
        };
    }
    std::string Key(const std::string &Tool, const std::string &Key) const
    {
        return TIniFile(Lib.DataFile()).ReadString(Tool, Key, "<missing>");
    }

    TTooling_Library Lib;
    std::vector<std::string> Changes;
};

TEST_F(ToolLibrary, ReadsToolsByExactName)
{
    struct Row {
        const char *Name;
        const char *Tool;
        bool Reads;
    } rows[] = {
        {"full section", "End 6", true},
        {"section name in other case", "end 6", true},
        {"lower-case tool never reads", "tool", false},
        {"Tool reads", "Tool", true},
        {"empty name", "", false},
        {"missing section", "Nowhere", false},
        {"section without keys", "Bare", false},
        {"diameter 0 reads", "Zero", true},
        {"negative diameter", "Negative", false},
        {"value that does not convert", "Broken", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(Lib.ReadTool(row.Tool), row.Reads);
    }
    EXPECT_EQ(Lib.CurrentTool(), "");
}

TEST_F(ToolLibrary, MissingKeysTakeTheirDefaults)
{
    ASSERT_TRUE(Lib.ReadTool("Drill 3"));
    EXPECT_EQ(Lib.Diameter, 3);
    EXPECT_EQ(Lib.Length, 40);
    EXPECT_EQ(Lib.OffSet(), 30);
    EXPECT_EQ(Lib.FluteLength, 40); // the length read
    EXPECT_EQ(Lib.FluteCount, 2);
    EXPECT_EQ(Lib.MaximumToolLife, 50);
    EXPECT_EQ(Lib.CurrentToolLife, 0);
    EXPECT_EQ(Lib.Colour, 12632256);
    EXPECT_EQ(Lib.CutterType(), Drill);
    EXPECT_FALSE(Lib.OffsetSet());
    EXPECT_FALSE(Lib.ToolInUse());

    EXPECT_FALSE(Lib.ReadTool("Bare"));
    EXPECT_EQ(Lib.Diameter, -1);
    EXPECT_EQ(Lib.Length, 1);
    EXPECT_EQ(Lib.OffSet(), 1);
    EXPECT_EQ(Lib.FluteLength, 1);
}

TEST_F(ToolLibrary, FailedReadNeverKeepsAnotherToolsValues)
{
    ASSERT_TRUE(Lib.ReadTool("End 6"));
    EXPECT_FALSE(Lib.ReadTool("Broken")); // length does not convert
    EXPECT_EQ(Lib.FluteCount, 2);         // the default, not End 6's 3
    EXPECT_EQ(Lib.Colour, 12632256);
}

TEST_F(ToolLibrary, WritesElevenKeysInShortestText)
{
    ASSERT_TRUE(Lib.ReadTool("End 6"));
    const std::string target = Dir.File("out.MTD");
    ASSERT_TRUE(Lib.WriteTool("End 6", target, false));
    EXPECT_EQ(Dir.Read("out.MTD"), EndSixSection);
}

TEST_F(ToolLibrary, UnknownTypeIsWrittenAsTen)
{
    ASSERT_TRUE(Lib.SetToolType("Drill 3", Unknown));
    EXPECT_EQ(Key("Drill 3", "Type"), "10");
    TIniFile(Lib.DataFile()).WriteString("Drill 3", "Type", "42");
    ASSERT_TRUE(Lib.ReadTool("Drill 3"));
    EXPECT_EQ(Lib.CutterType(), Unknown);
    EXPECT_EQ(CutterTypeName(Unknown), "UnDefined");
}

TEST_F(ToolLibrary, HeldValuesAreNeverWrittenIntoAnotherToolsSection)
{
    const std::string drillBefore = TIniFile(Lib.DataFile()).ReadSectionValues("Drill 3")[0];
    ASSERT_TRUE(Lib.SetCurrentTool("End 6"));
    ASSERT_TRUE(Lib.ReadTool("Drill 3")); // the tool changer reads another tool
    ASSERT_TRUE(Lib.SetToolInUse(true));
    EXPECT_EQ(Key("End 6", "Tool In Use"), "1");
    EXPECT_EQ(Key("End 6", "Diameter"), "6");
    EXPECT_EQ(Key("End 6", "Tool Length offset"), "42.5");
    EXPECT_EQ(Key("Drill 3", "Tool In Use"), "<missing>");

    ASSERT_TRUE(Lib.ReadTool("Drill 3"));
    ASSERT_TRUE(Lib.SetOffSet(44));
    EXPECT_EQ(Key("End 6", "Tool Length offset"), "44");
    EXPECT_EQ(Key("End 6", "Flute Count"), "3");
    EXPECT_EQ(Key("Drill 3", "Tool Length offset"), "30");

    // A plain write of a tool that is not held reads that tool first.
    ASSERT_TRUE(Lib.ReadTool("End 6"));
    ASSERT_TRUE(Lib.WriteTool("Drill 3", Lib.DataFile(), false));
    EXPECT_EQ(Key("Drill 3", "Diameter"), "3");
    EXPECT_EQ(Key("Drill 3", "Tool Length offset"), "30");
    EXPECT_EQ(TIniFile(Lib.DataFile()).ReadSectionValues("Drill 3")[0], drillBefore);
}

TEST_F(ToolLibrary, ValuesEditedInTheDialogAreNotOverwrittenLater)
{
    ASSERT_TRUE(Lib.SetCurrentTool("End 6"));
    TToolEditValues dialog;
    dialog.Load(Lib.DataFile(), "End 6", Metric);
    dialog.Texts[2] = "44";
    ASSERT_TRUE(dialog.Store(Lib.DataFile(), "End 6", Metric));
    Lib.ToolEdited("End 6");
    EXPECT_THAT(Changes, ElementsAre("End 6>"));
    ASSERT_TRUE(Lib.SetToolInUse(true));
    EXPECT_EQ(Key("End 6", "Tool Length offset"), "44");
    EXPECT_EQ(Lib.OffSet(), 44);
}

TEST_F(ToolLibrary, ToolThatCannotBeMadeCurrentReceivesNothing)
{
    ASSERT_TRUE(Lib.SetCurrentTool("End 6"));
    EXPECT_FALSE(Lib.SetCurrentTool("Nowhere"));
    EXPECT_EQ(Lib.CurrentTool(), "End 6");
    ASSERT_TRUE(Lib.SetOffSet(12));
    EXPECT_EQ(Key("End 6", "Tool Length offset"), "12");
    EXPECT_FALSE(TIniFile(Lib.DataFile()).SectionExists("Nowhere"));

    TTooling_Library fresh;
    fresh.SetDataFile(Lib.DataFile());
    EXPECT_FALSE(fresh.SetToolInUse(true)); // no current tool: nothing to write
    EXPECT_FALSE(fresh.WriteTool("Nowhere", fresh.DataFile(), true));
    EXPECT_FALSE(TIniFile(Lib.DataFile()).SectionExists("Nowhere"));
}

TEST_F(ToolLibrary, SetOffSetMarksTheOffsetOnlyOnAChange)
{
    ASSERT_TRUE(Lib.SetCurrentTool("Drill 3"));
    ASSERT_TRUE(Lib.SetOffSet(30));
    EXPECT_EQ(Key("Drill 3", "OffSET Set"), "<missing>");
    ASSERT_TRUE(Lib.SetOffSet(31.25));
    EXPECT_EQ(Key("Drill 3", "OffSET Set"), "1");
    EXPECT_EQ(Key("Drill 3", "Tool Length offset"), "31.25");
}

TEST_F(ToolLibrary, RenameKeepsEveryValue)
{
    TIniFile(Lib.DataFile()).WriteString("End 6", "Note", "kept");
    ASSERT_TRUE(Lib.RenameTool("End 6", "Finisher"));
    EXPECT_FALSE(Lib.ToolExists("End 6"));
    ASSERT_TRUE(Lib.ReadTool("Finisher"));
    EXPECT_EQ(Lib.Diameter, 6);
    EXPECT_EQ(Lib.OffSet(), 42.5);
    EXPECT_EQ(Lib.FluteCount, 3);
    EXPECT_EQ(Lib.Colour, 255);
    EXPECT_EQ(Key("Finisher", "Note"), "kept");
    EXPECT_THAT(Changes, ElementsAre("End 6>Finisher"));
}

TEST_F(ToolLibrary, NameClashOnRenameOrAddChangesNothing)
{
    const std::string before = Dir.Read("lib.MTD");
    EXPECT_FALSE(Lib.RenameTool("End 6", "drill 3"));
    EXPECT_THAT(Shown(), ElementsAre("The name \"drill 3\" already exists"));
    EXPECT_EQ(Dir.Read("lib.MTD"), before);

    ASSERT_TRUE(Lib.AddTool());
    EXPECT_EQ(Key("New Tool", "Diameter"), "-1");
    EXPECT_EQ(Key("New Tool", "Tool In Use"), "0");
    EXPECT_FALSE(Lib.AddTool());
    EXPECT_EQ(Shown().back(), "The name \"New Tool\" already exists");
    EXPECT_TRUE(Changes.empty());
}

TEST_F(ToolLibrary, DeletingAToolInUseGivesMessage15)
{
    ASSERT_TRUE(Lib.SetCurrentTool("End 6"));
    ASSERT_TRUE(Lib.SetToolInUse(true));
    EXPECT_FALSE(Lib.DeleteTool("End 6"));
    EXPECT_THAT(Shown(), ElementsAre("This tool can not be delete as it in use by the machine"));
    EXPECT_TRUE(Lib.ToolExists("End 6"));

    EXPECT_TRUE(Lib.DeleteTool("Drill 3"));
    EXPECT_FALSE(Lib.ToolExists("Drill 3"));
}

TEST_F(ToolLibrary, TreeListsToolsWithADiameterAndCopiesTheFile)
{
    std::vector<std::string> names;
    for (const auto &tool : Lib.ListTools())
        names.push_back(tool.Name);
    EXPECT_THAT(names, ElementsAre("End 6", "Drill 3", "Tool"));
    EXPECT_EQ(Dir.Read("data.tmp"), LibraryText);
}

TEST_F(ToolLibrary, DetailRowsShowUnitsAndStoredIntegers)
{
    Lib.Units = Inch;
    EXPECT_THAT(Lib.DetailTexts("Drill 3"),
                ElementsAre("Diameter = 0.1181", "length = 1.5748", "Tool Length offset = 1.1811",
                            "Flute length = 1.5748", "Flute Count = -1",
                            "Maximum tool Life = -1", "Current tool Life = -1"));
}

TEST_F(ToolLibrary, ColourAndTypeCommands)
{
    Lib.SetToolColour("Drill 3", 0x00FF00, true);
    EXPECT_EQ(Key("Drill 3", "colour"), "65280");
    Lib.SetToolColour("Drill 3", 0x0000FF, false); // dialog cancelled
    EXPECT_EQ(Key("Drill 3", "colour"), "65280");
    EXPECT_THAT(Changes, ElementsAre("Drill 3>", "Drill 3>"));

    ASSERT_TRUE(Lib.SetToolType("End 6", BallNose));
    EXPECT_EQ(Key("End 6", "Type"), "2");
    EXPECT_EQ(Key("End 6", "Tool Length offset"), "42.5");
}

struct TImportRow {
    const char *Name;
    std::vector<std::string> Answers;
    const char *End6Diameter;  // after the merge
    const char *Drill3Diameter;
    bool NewToolCopied;
    int Questions;
};

class ToolLibraryImport : public ToolLibrary {};

TEST_F(ToolLibraryImport, MergesIntoTheLibraryFileAndStaysOnIt)
{
    // Import order: "End 6" (exists), "Slot 10" (new), "Drill 3" (exists).
    const std::string imported = Dir.Write("other.MTD", "[End 6]\r\nDiameter=8\r\nTool In Use=1\r\n"
                                                        "[Slot 10]\r\nDiameter=10\r\n"
                                                        "[Drill 3]\r\nDiameter=3.5\r\n");
    const TImportRow rows[] = {
        {"yes to each", {"Yes", "Yes"}, "8", "3.5", true, 2},
        {"no to each", {"No", "No"}, "6", "3", true, 2},
        {"all at the first", {"All"}, "8", "3.5", true, 1},
        {"cancel at the first", {"Cancel"}, "6", "3", false, 1},
        {"cancel at the second", {"No", "Cancel"}, "6", "3", true, 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        Dir.Write("lib.MTD", LibraryText);
        Msgs.ClearLog();
        for (const auto &a : row.Answers)
            Msgs.Answer(a);
        const std::string library = Lib.DataFile();
        Lib.ImportFile(imported);
        EXPECT_EQ(Lib.DataFile(), library);
        EXPECT_EQ(Key("End 6", "Diameter"), row.End6Diameter);
        EXPECT_EQ(Key("Drill 3", "Diameter"), row.Drill3Diameter);
        EXPECT_EQ(Lib.ToolExists("Slot 10"), row.NewToolCopied);
        EXPECT_EQ(static_cast<int>(Msgs.Log().size()), row.Questions);
        EXPECT_EQ(Msgs.Log()[0].Text,
                  "A Tool called End 6 already exists.  Overwrite the current data with the "
                  "imported data?");
        EXPECT_EQ(TIniFile(MainIniPath()).ReadString("Tooling", "Tool Library", ""), library);
    }
}

TEST_F(ToolLibraryImport, InUseFlagsFollowThisLibrarysChanger)
{
    ASSERT_TRUE(Lib.SetCurrentTool("End 6"));
    ASSERT_TRUE(Lib.SetToolInUse(true)); // the machine holds End 6
    const std::string imported = Dir.Write("other.MTD", "[Slot 10]\r\nDiameter=10\r\n"
                                                        "Tool In Use=1\r\nExtra=x\r\n"
                                                        "[End 6]\r\nDiameter=6.2\r\n"
                                                        "Tool In Use=0\r\n");
    Msgs.Answer("Yes");
    Lib.ImportFile(imported);
    EXPECT_EQ(Key("Slot 10", "Tool In Use"), "0");
    EXPECT_EQ(Key("Slot 10", "Extra"), "x");
    EXPECT_EQ(Key("End 6", "Diameter"), "6.2");
    EXPECT_EQ(Key("End 6", "Tool In Use"), "1");
    EXPECT_EQ(Lib.CurrentTool(), "End 6");
    EXPECT_THAT(Changes, ElementsAre(">")); // the changer takes the new values
    std::vector<std::string> names;
    for (const auto &tool : Lib.ListTools())
        names.push_back(tool.Name);
    EXPECT_THAT(names, ElementsAre("End 6", "Drill 3", "Tool", "Slot 10"));
}

TEST_F(ToolLibrary, ExportCopiesListedToolsAndSwitchesToTheCopy)
{
    const std::string target = Dir.File("export.MTD");
    Lib.ExportFile(target);
    EXPECT_EQ(Lib.DataFile(), target);
    EXPECT_THAT(TIniFile(target).ReadSections(), ElementsAre("End 6", "Drill 3", "Tool"));
    EXPECT_EQ(TIniFile(target).ReadString("Drill 3", "Flute Count", ""), "2");
}

TEST_F(ToolLibrary, NewDataFileDoesWhatItsQuestionAsks)
{
    ASSERT_TRUE(Lib.SetCurrentTool("End 6"));
    ASSERT_TRUE(Lib.SetToolInUse(true));
    const std::string before = Dir.Read("lib.MTD");

    Msgs.Answer("No");
    Lib.NewDataFile();
    EXPECT_EQ(Dir.Read("lib.MTD"), before);
    EXPECT_THAT(Shown(), ElementsAre("Do you really want to delete all the tooling data?"));

    Msgs.Answer("Yes");
    Lib.NewDataFile();
    // Every tool is gone but the one the machine holds, which message 15 names.
    EXPECT_THAT(Lib.SectionNames(), ElementsAre("End 6"));
    EXPECT_EQ(Shown().back(), "This tool can not be delete as it in use by the machine");
    EXPECT_THAT(Changes, ElementsAre(">"));
}

TEST_F(ToolLibrary, DataFileWithoutFolderLivesBesideTheProgram)
{
    TTooling_Library lib;
    lib.SetDataFile("shop.MTD");
    EXPECT_EQ(lib.DataFile(), Dir.Path() + "shop.MTD");
    lib.SetDataFile("C:\\NC\\shop.MTD");
    EXPECT_EQ(lib.DataFile(), "C:/NC/shop.MTD");
}

TEST_F(ToolLibrary, BrokenLibraryFilesLoadWithoutCrashing)
{
    struct Row {
        const char *Name;
        std::string Content;
    } rows[] = {
        {"empty file", ""},
        {"no sections", "Diameter=6\r\n"},
        {"binary junk", std::string("\x00\xff\x01[\x02=\n\n[", 9)},
        {"unterminated section", "[End 6\r\nDiameter=6\r\n"},
        {"key without value", "[End 6]\r\nDiameter\r\nlength=\r\n"},
        {"huge number", "[End 6]\r\nDiameter=1e999\r\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TTooling_Library lib;
        lib.SetDataFile(Dir.Write("broken.MTD", row.Content));
        for (const auto &name : lib.SectionNames())
            lib.ReadTool(name);
        lib.ListTools();
        EXPECT_FALSE(lib.SetCurrentTool("End 6"));
    }
    TTooling_Library missing;
    missing.SetDataFile(Dir.File("none.MTD"));
    EXPECT_TRUE(missing.ListTools().empty());
    EXPECT_FALSE(missing.ReadTool("End 6"));
}

} // namespace
} // namespace orv
