#include "machine/Machine_Tooling.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/Tooling_lib.h"
#include "machine/tests/ToolingFixture.h"
#include "platform/IniFile.h"

#include <gmock/gmock.h>

namespace orv {
namespace {

using test::TToolingFixture;
using ::testing::ElementsAre;

const char *const Library = "[End 6]\r\nDiameter=6\r\nlength=50\r\nTool Length offset=42.5\r\n"
                            "Type=1\r\ncolour=255\r\n"
                            "[Drill 3]\r\nDiameter=3\r\nlength=40\r\nTool Length offset=30\r\n"
                            "Type=4\r\n";
const char *const Changer = "[Global]\r\nCurrent Tool=2\r\n"
                            "[Tool1]\r\nTool Name=End 6\r\nFile Location=rack A\r\n"
                            "[Tool2]\r\nTool Name=Drill 3\r\n"
                            "[Tool4]\r\nTool Name=Gone\r\n"
                            "[Tool5]\r\nTool Name=\r\n";

class ToolChanger : public TToolingFixture {
protected:
    ToolChanger()
    {
        LoadTooling(Tooling, Library, Changer);
        Tooling.Tool_Z_offsetChanged = [this](TObject *) {
            Events.push_back("Z " + FloatToStr(Tooling.CurrentLengthOffset));
        };
        Tooling.OnDataChanged = [this](TObject *, int P) { Events.push_back("data " + IntToStr(P)); };
    }

    TMachine_Tooling Tooling;
    std::vector<std::string> Events;
};

TEST_F(ToolChanger, CurrentToolIsKeptWithinTheCount)
{
    TMachine_Tooling t;
    t.SetCurrentTool(0);
    EXPECT_EQ(t.CurrentTool(), 0); // no count yet
    t.SetToolCapacity(16);
    t.SetMachineToolCount(8);
    struct Row {
        const char *Name;
        int Value, Expected;
    } rows[] = {{"above the count", 12, 8}, {"negative", -3, 1}, {"zero", 0, 1},
                {"the count itself", 8, 8}, {"inside", 5, 5}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        t.SetCurrentTool(row.Value);
        EXPECT_EQ(t.CurrentTool(), row.Expected);
    }
}

TEST_F(ToolChanger, CapacityStaysWithinOneToThirtyTwo)
{
    struct Row {
        const char *Name;
        int Capacity, Expected;
    } rows[] = {{"zero", 0, 1},     {"negative", -4, 1}, {"one", 1, 1},
                {"thirty-two", 32, 32}, {"thirty-three", 33, 32}, {"huge", 1000000, 32}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TMachine_Tooling t;
        t.SetToolCapacity(row.Capacity);
        EXPECT_EQ(t.ToolCapacity(), row.Expected);
        t.SetMachineToolCount(row.Capacity);
        EXPECT_EQ(t.MachineToolCount(), row.Expected);
    }
    // Lowering the capacity lowers the count and the current tool with it.
    Tooling.SetCurrentTool(7);
    Tooling.SetToolCapacity(4);
    EXPECT_EQ(Tooling.MachineToolCount(), 4);
    EXPECT_EQ(Tooling.CurrentTool(), 4);
}

TEST_F(ToolChanger, ChangerFileGivesTheCurrentToolAndTheNames)
{
    EXPECT_EQ(Tooling.CurrentTool(), 2);
    struct Row {
        const char *Name;
        int Position;
        bool Has;
        const char *Tool;
    } rows[] = {{"tool 1", 1, true, "End 6"},     {"tool 2", 2, true, "Drill 3"},
                {"missing section", 3, false, ""}, {"tool not in library", 4, true, "Gone"},
                {"empty name", 5, false, ""},      {"position 0", 0, false, ""},
                {"past the file", 33, false, ""}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        std::string name = "old";
        EXPECT_EQ(Tooling.HasTool(row.Position), row.Has);
        EXPECT_EQ(Tooling.GetToolName(row.Position, name, false), row.Has);
        EXPECT_EQ(name, row.Tool);
    }
    EXPECT_TRUE(Shown().empty());
    std::string name;
    EXPECT_FALSE(Tooling.GetToolName(3, name, true));
    EXPECT_THAT(Shown(), ElementsAre("Value was not acceptable"));
}

TEST_F(ToolChanger, ToolDataByPosition)
{
    Tooling.CurrentLengthOffset = 99;
    TTool_data data;
    Tooling.GetToolData(1, data); // not the current position
    EXPECT_EQ(data.TypeName, "End Mill");
    EXPECT_EQ(data.Diameter, 6);
    EXPECT_EQ(data.LengthOffset, 42.5);
    EXPECT_EQ(data.Colour, 255);
    EXPECT_EQ(Tooling.CurrentLengthOffset, 99);

    Tooling.GetToolData(2, data); // the current position
    EXPECT_EQ(Tooling.CurrentLengthOffset, 30);
    EXPECT_EQ(Tooling.CurrentDiameter, 3);

    TTool_data empty;
    empty.Length = 123;
    Tooling.GetToolData(3, empty);
    EXPECT_EQ(empty.Diameter, -1);
    EXPECT_EQ(empty.Length, 123); // left as given
    Tooling.GetToolData(4, empty);
    EXPECT_EQ(empty.Diameter, -1); // the library does not hold "Gone"

    Tooling.SetCurrentTool(3);
    Tooling.GetToolData(3, empty);
    EXPECT_EQ(Tooling.CurrentLengthOffset, 0);
    EXPECT_EQ(Tooling.CurrentDiameter, 0);
}

TEST_F(ToolChanger, RequestAndCommitInTwoSteps)
{
    Tooling.ConfirmationToolChange = true;
    EXPECT_TRUE(Tooling.RequestToolChange(1, false));
    EXPECT_EQ(Tooling.CurrentTool(), 2);
    EXPECT_EQ(Tooling.PendingTool(), 1);
    Tooling.CommitToolChange();
    EXPECT_EQ(Tooling.CurrentTool(), 1);
    EXPECT_EQ(Tooling.PendingTool(), 0);
    EXPECT_EQ(Tooling.CurrentLengthOffset, 42.5);
    EXPECT_EQ(Tooling.CurrentDiameter, 6);
    EXPECT_THAT(Events, ElementsAre("Z 42.5"));
    EXPECT_EQ(TIniFile(Tooling.DataFile()).ReadString("Global", "Current Tool", ""), "1");
    Tooling.CommitToolChange(); // nothing pending
    EXPECT_EQ(Events.size(), 1u);
}

TEST_F(ToolChanger, EngineCommitsInsideTheNotification)
{
    std::vector<int> requested;
    Tooling.ToolChangeRequiredNotify = [&](TObject *, int Tool) {
        requested.push_back(Tool);
        Tooling.CommitToolChange();
    };
    EXPECT_TRUE(Tooling.RequestToolChange(1, true));
    EXPECT_THAT(requested, ElementsAre(1));
    EXPECT_EQ(Tooling.CurrentTool(), 1);
    EXPECT_THAT(Events, ElementsAre("Z 42.5")); // committed once
}

TEST_F(ToolChanger, WarningAnsweredNoChangesNothing)
{
    Tooling.WarnBeforeToolChange = true;
    Msgs.Answer("No");
    EXPECT_FALSE(Tooling.RequestToolChange(1, true));
    EXPECT_EQ(Tooling.CurrentTool(), 2);
    EXPECT_EQ(Tooling.PendingTool(), 0);
    EXPECT_THAT(Shown(), ElementsAre("Do you really want to change to Tool?"));
    Msgs.Answer("Yes");
    EXPECT_TRUE(Tooling.RequestToolChange(1, false));
    EXPECT_EQ(Tooling.CurrentTool(), 1);
}

TEST_F(ToolChanger, ChangeToAPositionWithoutAUsableToolClearsTheToolData)
{
    struct Row {
        const char *Name;
        int Position;
    } rows[] = {{"empty position", 3}, {"tool gone from the library", 4}, {"empty name", 5}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        ASSERT_TRUE(Tooling.RequestToolChange(1, false));
        ASSERT_EQ(Tooling.CurrentLengthOffset, 42.5);
        Events.clear();
        Msgs.ClearLog();
        EXPECT_TRUE(Tooling.RequestToolChange(row.Position, false));
        EXPECT_EQ(Tooling.CurrentTool(), row.Position);
        EXPECT_EQ(Tooling.PendingTool(), 0);
        EXPECT_EQ(Tooling.CurrentLengthOffset, 0);
        EXPECT_EQ(Tooling.CurrentDiameter, 0);
        EXPECT_THAT(Events, ElementsAre("Z 0"));
        EXPECT_THAT(Shown(), ElementsAre("Failed to Find a valid Tool-" + IntToStr(row.Position)));
    }
}

TEST_F(ToolChanger, ToolLengthOffsetMakesTheToolCurrentInTheLibrary)
{
    EXPECT_EQ(Tooling.ToolLengthOffset(1), 42.5);
    EXPECT_EQ(Tooling.ToolLibrary()->CurrentTool(), "End 6");
    EXPECT_EQ(Tooling.CurrentDiameter, 6);
    EXPECT_EQ(Tooling.ToolLengthOffset(3), 0);
    EXPECT_EQ(Tooling.CurrentLengthOffset, 0);
    EXPECT_EQ(Tooling.CurrentDiameter, 0);
}

TEST_F(ToolChanger, SetZOffsetPrompt)
{
    std::string prompt;
    std::string answer;
    Tooling.ZOffsetPrompt = [&](const std::string &Prompt, std::string &Value) {
        prompt = Prompt + " [" + Value + "]";
        Value = answer;
        return true;
    };
    Tooling.SetUnits(Inch);
    answer = "1";
    Tooling.EditZOffset(2, 25.4);
    EXPECT_EQ(prompt, "Set Z offset for tool : 2 \nDrill 3 [1.0000]");
    EXPECT_EQ(Tooling.CurrentLengthOffset, 25.4);
    EXPECT_EQ(TIniFile(Dir.File("lib.MTD")).ReadString("Drill 3", "Tool Length offset", ""),
              "25.4");
    EXPECT_EQ(TIniFile(Dir.File("lib.MTD")).ReadString("Drill 3", "OffSET Set", ""), "1");

    // Not the current tool: the library takes it, the cached offset stays.
    answer = "2";
    Tooling.EditZOffset(1, 0);
    EXPECT_EQ(TIniFile(Dir.File("lib.MTD")).ReadString("End 6", "Tool Length offset", ""),
              "50.8");
    EXPECT_EQ(Tooling.CurrentLengthOffset, 25.4);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(ToolChanger, SetZOffsetRefusals)
{
    const std::string before = Dir.Read("lib.MTD");
    struct Row {
        const char *Name;
        int Position;
        const char *Typed;
        std::string Message;
    } rows[] = {
        {"text that does not convert", 2, "4,5x", "Value was not acceptable"},
        {"empty position", 3, "4", "Value was not acceptable"},
        {"tool gone from the library", 4, "4", "Failed to Find a valid Tool-4"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        Msgs.ClearLog();
        Tooling.ZOffsetPrompt = [&](const std::string &, std::string &Value) {
            Value = row.Typed;
            return true;
        };
        Tooling.EditZOffset(row.Position, 0);
        EXPECT_THAT(Shown(), ElementsAre(row.Message));
        EXPECT_EQ(Dir.Read("lib.MTD"), before);
    }
    Tooling.ZOffsetPrompt = [](const std::string &, std::string &) { return false; };
    Tooling.EditZOffset(2, 0); // cancelled
    EXPECT_EQ(Dir.Read("lib.MTD"), before);
}

TEST_F(ToolChanger, LibraryChangesReachTheChanger)
{
    TTooling_Library &lib = *Tooling.ToolLibrary();
    TTool_data data;
    Tooling.GetToolData(2, data);
    ASSERT_EQ(Tooling.CurrentLengthOffset, 30);
    TIniFile(lib.DataFile()).WriteString("Drill 3", "Tool Length offset", "31");
    lib.SetToolColour("Drill 3", 7, true);
    EXPECT_THAT(Events, ElementsAre("data -1", "Z 31"));

    ASSERT_TRUE(lib.RenameTool("Drill 3", "Drill 3.2"));
    std::string name;
    EXPECT_TRUE(Tooling.GetToolName(2, name, false));
    EXPECT_EQ(name, "Drill 3.2");
    EXPECT_EQ(Tooling.CurrentLengthOffset, 31);
}

TEST_F(ToolChanger, PositionsAndTheirNames)
{
    EXPECT_TRUE(Tooling.ToolNameUsed("End 6", 1));
    EXPECT_FALSE(Tooling.ToolNameUsed("End 6", 2));
    EXPECT_FALSE(Tooling.ToolNameUsed("end 6", 1)); // names compare exactly
    EXPECT_FALSE(Tooling.ToolNameUsed("", 1));
    Tooling.SetToolName(6, "End 6");
    EXPECT_TRUE(Tooling.ToolNameUsed("End 6", 2));
    Tooling.ClearPosition(1);
    EXPECT_FALSE(TIniFile(Tooling.DataFile()).SectionExists("Tool1"));
    EXPECT_THAT(Events, ElementsAre("data 1"));
}

TEST_F(ToolChanger, ChangerFileRoundTripKeepsEveryKey)
{
    {
        TMachine_Tooling t;
        t.SetToolCapacity(8);
        t.SetMachineToolCount(8);
        t.SetDataFile(Dir.Write("copy.MTF", Changer));
        t.SetCurrentTool(5);
    }
    std::string expected = Changer;
    expected.replace(expected.find("Current Tool=2"), 14, "Current Tool=5");
    EXPECT_EQ(Dir.Read("copy.MTF"), expected);
    {
        TMachine_Tooling t; // a missing changer file is not made at exit
        t.SetDataFile(Dir.File("none.MTF"));
    }
    EXPECT_FALSE(FileExists(Dir.File("none.MTF")));
}

TEST_F(ToolChanger, ImportDialogSwitchesTheChangerFile)
{
    const std::string other = Dir.Write("other.MTF", "[Global]\r\nCurrent Tool=1\r\n"
                                                     "[Tool2]\r\nTool Name=End 6\r\n");
    Msgs.Answer(other);
    Tooling.OpenToolingFile();
    EXPECT_EQ(Tooling.DataFile(), other);
    EXPECT_EQ(Tooling.CurrentTool(), 2); // the file's "Current Tool" is not read
    EXPECT_EQ(Tooling.CurrentLengthOffset, 42.5);
    TIniFile main(MainIniPath());
    EXPECT_EQ(main.ReadString("Tooling", "Tool File Name", ""), other);
    EXPECT_EQ(main.ReadString("directories", "Last Tooling", ""), Dir.Path());
    EXPECT_THAT(Events, ElementsAre("data -1"));
    ASSERT_EQ(Msgs.Log().size(), 1u);
    EXPECT_EQ(Msgs.Log()[0].Kind, "file");

    Msgs.Answer(""); // cancelled
    Tooling.OpenToolingFile();
    EXPECT_EQ(Tooling.DataFile(), other);
}

TEST_F(ToolChanger, BrokenChangerFilesLoadWithoutCrashing)
{
    struct Row {
        const char *Name;
        std::string Content;
        int CurrentTool;
    } rows[] = {
        {"empty file", "", 1},
        {"current tool not a number", "[Global]\r\nCurrent Tool=two\r\n", 1},
        {"current tool past the count", "[Global]\r\nCurrent Tool=99\r\n", 8},
        {"negative current tool", "[Global]\r\nCurrent Tool=-7\r\n", 1},
        {"binary junk", std::string("\x00\xff[Tool1\n=\x01", 11), 1},
        {"tool name of blanks", "[Tool1]\r\nTool Name=   \r\n", 1},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        Tooling.SetDataFile(Dir.Write("broken.MTF", row.Content));
        EXPECT_EQ(Tooling.CurrentTool(), row.CurrentTool);
        TTool_data data;
        for (int p = 0; p <= 33; ++p)
            Tooling.GetToolData(p, data);
        EXPECT_TRUE(Tooling.RequestToolChange(1, false));
    }
}

} // namespace
} // namespace orv
