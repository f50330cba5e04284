// The Fanuc 21 station without a window: pages, status line, key-in line,
// keypad routing, PRESET, knob, emergency stop, operator buttons, the
// program memory and its source, and the runs that ncrun drives.
#include "fanuc/FanucButtons.h"
#include "fanuc/FanucOffsets.h"
#include "fanuc/FanucScript.h"
#include "fanuc/fanuc21/Fanuc21Input.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "fanuc/fanuc21/FanucControlPanel.h"
#include "fanuc/tests/FanucTestFolder.h"
#include "machine/MachineCommands.h"
#include "platform/EventLoop.h"
#include "platform/HelpService.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace orv::fanuc {
namespace {

namespace fs = std::filesystem;

// A settings folder of its own (the default data copied), scripted dialogs
// and a test clock.
class StationTest : public ::testing::Test {
protected:
    void TearDown() override { Station.reset(); }
    TFanucScreen &Make()
    {
        Station = std::make_unique<TFanucScreen>();
        Station->OnOpsCommand = [this](int Code) { Sent.push_back(Code); };
        Station->Initialise();
        return *Station;
    }
    std::string Write(const std::string &Name, const std::string &Text)
    {
        std::ofstream(Folder / Name, std::ios::binary) << Text;
        return (Folder / Name).string();
    }
    void Keys(const std::string &Script)
    {
        std::string error;
        ASSERT_TRUE(RunKeyScript(*Station, Script, nullptr, error)) << error;
    }
    test::TSettingsFolder Settings;
    const fs::path &Folder = Settings.Path;
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessageScope{Messages};
    THelpService HelpService;
    std::unique_ptr<TFanucScreen> Station;
    std::vector<int> Sent;
};

TEST_F(StationTest, FreshStationShowsPositionEditAndAnEmptyProgram)
{
    TFanucScreen &s = Make();
    EXPECT_EQ(s.FunctionPage, fpPosition);
    EXPECT_EQ(s.Text("TopLabel"), "ACTUAL POSITION (ABSOLUTE)");
    EXPECT_EQ(s.Text("StatDisp1"), "EDIT");
    EXPECT_EQ(s.Program.Words, (std::vector<std::string>{"O0000", "%"}));
    EXPECT_EQ(s.Text("EditLine"), ">_");
    EXPECT_EQ(s.Text("OverrideLabel"), "OS50%");
    EXPECT_EQ(s.KnobFrame, 6);
    EXPECT_TRUE(s.Leds[Fanuc21Leds.Increments[0]]);
}

TEST_F(StationTest, StatusLineTable)
{
    TFanucScreen &s = Make();
    const struct {
        int Code;
        const char *Fields[5];
    } cases[] = {
        {16, {"****", "****", "*** ", "***", ""}}, {3, {"JOG", "****", "*** ", "***", ""}},
        {4, {"REF", "****", "*** ", "***", ""}},   {7, {"REF", "HOLD", "*** ", "***", ""}},
        {9, {"REF", "HOLD", "MTN ", "***", ""}},   {11, {"REF", "HOLD", "--EM", "G--", ""}},
        {13, {"REF", "HOLD", "*** ", "FIN", ""}},  {15, {"REF", "HOLD", "*** ", "***", "BAT"}},
        {18, {"REF", "****", "*** ", "***", "BAT"}}, {21, {"REF", "****", "*** ", "***", ""}},
        {99, {"REF", "****", "*** ", "***", ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Code);
        s.ShowStatusItem(c.Code);
        for (int f = 0; f < 5; ++f)
            EXPECT_EQ(s.Text("StatDisp" + std::to_string(f + 1)), c.Fields[f]);
    }
}

TEST_F(StationTest, PosCyclesAbsoluteRelativeAll)
{
    TFanucScreen &s = Make();
    const char *titles[] = {"ACTUAL POSITION (RELATIVE)", "ACTUAL POSITION (ALL)",
                            "ACTUAL POSITION (ABSOLUTE)"};
    for (const char *title : titles) {
        Keys("POS");
        EXPECT_EQ(s.Text("TopLabel"), title);
    }
}

TEST_F(StationTest, PresetReadsTheKeyInInTheStationsUnits)
{
    const struct {
        TUnits Units;
        const char *Typed;
        const char *Shown;
    } cases[] = {{Metric, "12.5", "12.500"}, {Inch, "0.5", "0.5000"}};
    for (const auto &c : cases) {
        TFanucScreen &s = Make();
        s.SetUnits(c.Units);
        TMachineReadout report{};
        report.Machine = {40, 0, 0};
        s.ShowPositions(report);
        Keys("POS \"U\" CAN"); // U on the relative page selects X
        EXPECT_EQ(s.SelectedAxis, 0);
        Keys(std::string("\"") + c.Typed + "\" SK2");
        s.ShowPositions(report);
        EXPECT_EQ(s.Text("XRObig"), c.Shown);
        EXPECT_EQ(s.Text("EditLine"), ">_");
    }
}

TEST_F(StationTest, PresetWithoutAnAxisIsAFormatError)
{
    TFanucScreen &s = Make();
    Keys("POS SK6 \"1\" SK2");
    EXPECT_EQ(s.ErrorText, "FORMAT ERROR");
}

TEST_F(StationTest, EstopReleaseRewindsAndUpdatesTheBillet)
{
    TFanucScreen &s = Make();
    Keys("ESTOP");
    EXPECT_TRUE(Sent.empty());
    Keys("ESTOP");
    EXPECT_EQ(Sent, (std::vector<int>{28, 32}));
    EXPECT_EQ(s.Text("StatDisp3"), "-RES");
    EXPECT_EQ(s.Text("StatDisp4"), "ET-");
}

TEST_F(StationTest, KnobStopsAtFrames1And21)
{
    TFanucScreen &s = Make();
    for (int i = 0; i < 30; ++i)
        s.KnobStep(true);
    EXPECT_EQ(s.KnobFrame, 21);
    EXPECT_EQ(s.Text("OverrideLabel"), "OS200%");
    for (int i = 0; i < 30; ++i)
        s.KnobStep(false);
    EXPECT_EQ(s.KnobFrame, 1);
    EXPECT_EQ(s.Text("OverrideLabel"), "OS0%");
}

TEST_F(StationTest, HelpModeSendsNothing)
{
    TFanucScreen &s = Make();
    Keys("HELP");
    EXPECT_EQ(s.Text("TopLabel"), "HELP SYSTEM");
    SetHelpService(&HelpService);
    Keys("CYCLE/START AUTO ESTOP SK2 POS");
    SetHelpService(nullptr);
    EXPECT_TRUE(Sent.empty());
    // Each press asks the help file for its topic instead.
    std::vector<int> contexts;
    for (const auto &request : HelpService.Requests()) {
        EXPECT_EQ(request.HelpFile, s.HelpFile);
        contexts.push_back(request.Context);
    }
    EXPECT_EQ(contexts, (std::vector<int>{521, 503, 1001, 1000, 24}));
    EXPECT_NE(s.HelpFile.find("FanucHelp.hlp"), std::string::npos);
}

TEST_F(StationTest, OperatorButtons)
{
    TFanucScreen &s = Make();
    const auto &table = Fanuc21Buttons();
    ASSERT_EQ(table.size(), 44u);
    s.DisplayedMode = 0; // home
    Keys("+X");
    EXPECT_EQ(Sent.back(), 17);
    EXPECT_TRUE(s.Leds[Fanuc21Leds.HomeX]);
    s.DisplayedMode = 1; // jog
    Keys("+X");
    EXPECT_EQ(Sent.back(), 4);
    EXPECT_FALSE(s.Leds[Fanuc21Leds.HomeX]);
    Keys("MPG");
    EXPECT_TRUE(s.Leds[FindButton(table, "MPG")]);
    Keys("MEDH/X1K");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(s.Leds[Fanuc21Leds.Increments[i]], i == 3);
    const struct { const char *Text1, *Text2; int Tag; } rows[] = {
        {"AUTO", "", 3}, {"EDIT", "", 39}, {"CYCLE", "START", 21}, {"CYCLE", "STOP", 22},
        {"SPDL", "CW", 24}, {"CLNT", "OFF", 16}, {"SINGL", "BLOCK", 26}, {"-Y", "", 41}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.Text1);
        EXPECT_EQ(table[FindButton(table, r.Text1, r.Text2)].Tag, r.Tag);
    }
    EXPECT_EQ(table[FindButton(table, "CYCLE", "STOP")].FontColor, WhiteText);
}

TEST_F(StationTest, EditingOnTheProgramPage)
{
    TFanucScreen &s = Make();
    s.ShowMachineMode(modeEdit);
    Keys("\"G01\" INSERT");
    EXPECT_EQ(s.Program.Words, (std::vector<std::string>{"O0000", "G01", "%"}));
    EXPECT_TRUE(s.Modified);
    s.Modified = false;
    Keys("INSERT");
    EXPECT_FALSE(s.Modified);
    Keys("\"G0\" CAN");
    EXPECT_EQ(s.Text("EditLine"), ">G_");
    Keys("CAN CAN CAN");
    EXPECT_EQ(s.Text("EditLine"), ">_");
    // Minus and point type characters; they never delete or insert.
    Keys("\"X-12.5\"");
    EXPECT_EQ(s.KeyInText(), "X-12.5");
    EXPECT_EQ(s.Program.Words.size(), 3u);
}

TEST_F(StationTest, ButtonMapElementsThatAreNoIntegerReadAsMinusOne)
{
    {
        std::ofstream ini(Folder / "Tarnwick.ini", std::ios::trunc);
        ini << "[Button Map]\n0=abc,80\n1=78\n";
    }
    TFanucScreen &s = Make();
    EXPECT_EQ(s.KeyCodes[0], (std::pair<int, int>{-1, 80}));
    EXPECT_EQ(s.KeyCodes[1], (std::pair<int, int>{78, -1}));
}

TEST_F(StationTest, LongAlterWordPagesSavesAndReloads)
{
    TFanucScreen &s = Make();
    s.ShowMachineMode(modeEdit);
    const std::string word = "X" + std::string(44, '1');
    s.EditKey(233, word);
    ASSERT_EQ(s.Program.Words[0], word);
    for (const auto &row : s.ProgramPane.Rows)
        EXPECT_FALSE(row.Labels.empty());
    s.ProgramPane.CursorDown();
    EXPECT_EQ(s.Program.Words[s.ProgramPane.CursorWord], "%");
    const std::string file = (Folder / "long.fnc").string();
    ASSERT_TRUE(s.SaveProgram(file));
    ASSERT_TRUE(s.LoadProgram(file));
    EXPECT_EQ(s.Program.Words.size(), 3u);
}

TEST_F(StationTest, LoadFailuresKeepTheMemory)
{
    TFanucScreen &s = Make();
    std::string good = Write("good.fnc", "O0001\r\nG00 X1.\r\n");
    std::string name = good;
    ASSERT_TRUE(s.Input()->LoadFile(name));
    const auto words = s.Program.Words;
    std::string missing = (Folder / "missing.fnc").string();
    EXPECT_FALSE(s.Input()->LoadFile(missing));
    EXPECT_EQ(Messages.Log().back().Text, "Error trying to open file " + missing);
    EXPECT_EQ(s.Program.Words, words);
    EXPECT_EQ(s.FileName, good);
    std::string xnc = (Folder / "prog.Xnc").string();
    EXPECT_FALSE(s.Input()->LoadFile(xnc));
    EXPECT_EQ(s.Program.Words, words);
    EXPECT_TRUE(s.FileName.empty());
    std::string empty = Write("empty.fnc", "%\r\n");
    ASSERT_TRUE(s.Input()->LoadFile(empty));
    EXPECT_EQ(s.Program.Words, std::vector<std::string>{";"});
    s.ShowFunctionPage(fpProgram);
    s.ProgramPane.CursorRight();
    EXPECT_EQ(s.ProgramPane.CursorWord, 0);
}

TEST_F(StationTest, LoadingWritesTheOldFileOnlyWhenEdited)
{
    TFanucScreen &s = Make();
    const std::string text = "%\r\nO0001\r\n\r\nG00 X1.\r\n%\r\n";
    std::string first = Write("first.fnc", text);
    std::string second = Write("second.fnc", "O0002\r\n");
    std::string name = first;
    ASSERT_TRUE(s.Input()->LoadFile(name));
    name = second;
    ASSERT_TRUE(s.Input()->LoadFile(name));
    std::ifstream in(first, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
}

TEST_F(StationTest, CancelledSaveAsKeepsTheEditAndCloseAsksAgain)
{
    TFanucScreen &s = Make();
    s.ShowMachineMode(modeEdit);
    Keys("\"G01\" INSERT");
    Messages.Answer(""); // Cancel
    s.SaveProgramAs();
    EXPECT_TRUE(s.Modified);
    EXPECT_TRUE(s.FileName.empty());
    const std::string file = (Folder / "kept.fnc").string();
    Messages.Answer(file);
    Station.reset(); // closing asks
    std::ifstream in(file, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(text.find("G01"), std::string::npos);
}

TEST_F(StationTest, FindLabelMatchesLetterAndNumber)
{
    TFanucScreen &s = Make();
    std::string name = Write("labels.fnc", "N10 G00\r\nN1 M99\r\n");
    ASSERT_TRUE(s.Input()->LoadFile(name));
    EXPECT_EQ(s.Input()->FindLabel("N1"), 1);
    EXPECT_EQ(s.Input()->FindLabel("N10"), 0);
    EXPECT_EQ(s.Input()->FindLabel("N2"), -1);
}

TEST_F(StationTest, ReadLineGivesTheLinesThenTheEnd)
{
    TFanucScreen &s = Make();
    std::string name = Write("read.fnc", "G00 X1.\r\nM30\r\n");
    ASSERT_TRUE(s.Input()->LoadFile(name));
    std::string line;
    int number = 0, level = 0;
    EXPECT_EQ(s.Input()->ReadLine(line, number, level), 0);
    EXPECT_EQ(line, "G00 X1.");
    int five = 1;
    s.Input()->GotoLine(five);
    EXPECT_EQ(s.Input()->ReadLine(line, number, level), 1);
    EXPECT_EQ(line, "M30");
    EXPECT_EQ(s.Input()->ReadLine(line, number, level), EndOfMainProgram);
}

TEST_F(StationTest, HighlightFollowsLinesPastPercentAndBlankLines)
{
    TFanucScreen &s = Make();
    std::string name = Write("pct.fnc", "%\r\n\r\nO0002\r\nG00 X1.\r\nG00 Y2.\r\nM30\r\n%\r\n");
    ASSERT_TRUE(s.Input()->LoadFile(name));
    s.ShowMachineMode(modeAuto);
    const struct { int Line; const char *First; } steps[] = {
        {2, "O0002"}, {3, "G00"}, {4, "G00"}, {5, "M30"}};
    for (const auto &step : steps) {
        s.Input()->HiliteLine(step.Line, 0);
        EXPECT_EQ(s.ProgramPane.GetBlockLine(), step.Line);
        EXPECT_EQ(s.Program.Words[s.ProgramPane.CursorWord], step.First);
    }
}

TEST_F(StationTest, ProgramSoftKeysOpenSaveAndStartPrograms)
{
    TFanucScreen &s = Make();
    s.ShowMachineMode(modeEdit);
    EXPECT_EQ(s.Text("SoftKey2"), " DIR  ");
    const std::string file = Write("open.fnc", "O0007\r\nG00 X1.\r\n");
    Messages.Answer(file);
    Keys("SK3"); // DIR opens
    EXPECT_EQ(s.FileName, file);
    EXPECT_EQ(s.Program.Words.front(), "O0007");
    Keys("SK6 SK7"); // (OPRT), continue
    EXPECT_EQ(s.Text("SoftKey3"), "PUNCH ");
    Keys("\"G01\" INSERT");
    const std::string saved = (Folder / "saved.fnc").string();
    Messages.Answer(saved);
    Keys("SK4"); // PUNCH saves as
    EXPECT_EQ(s.FileName, saved);
    EXPECT_FALSE(s.Modified);
    Keys("SK5"); // DELETE starts a new program
    EXPECT_EQ(s.Program.Words, (std::vector<std::string>{"O0000", ";"}));
    EXPECT_TRUE(s.FileName.empty());
}

TEST_F(StationTest, OffsetPagesWithoutToolingShowTheMessage)
{
    TFanucScreen &s = Make();
    Keys("OFFSET");
    EXPECT_EQ(Messages.Log().back().Text, "Fanuc Offsets not available yet. Please use normal offsets");
}

TEST(FanucOffs, PageKeysWrapAndInputAnswersWithTheMessage)
{
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    TFanucOffs offs;
    offs.Setup(nullptr, Metric);
    EXPECT_EQ(offs.Cells[0], "-1.000");
    offs.Cursor = 12;
    offs.PageKey(34, "");
    EXPECT_EQ(offs.Cursor, 3);
    offs.PageKey(29, "");
    EXPECT_EQ(messages.Log().back().Text,
              "To alter tool offsets use normal TOOLING button\rThis page is shown for reference only");
    TFanucWShiftForm shift;
    shift.Setup(nullptr, Metric);
    shift.PageKey(38, "");
    EXPECT_EQ(shift.Cursor, 2);
    shift.PageKey(151, "");
    EXPECT_EQ(messages.Log().back().Text,
              "To alter work offsets use normal OFFSETS button\rThis page is shown for reference only");
}

// --- Runs through ncrun ---

using test::RunNcrun;

std::string Data(const char *Name) { return std::string(ORV_SOURCE_DIR) + "/fanuc/tests/data/" + Name; }

TEST(FanucNcrun, ProgramTypedOnTheKeypadRunsAsTheFile)
{
    int status = 0;
    const std::string golden = RunNcrun("--machine " + Data("golden.fnc"), status);
    ASSERT_EQ(status, 0);
    const std::string typed = "'\"O0001\" EOB INSERT \"G00 X10. Y5.\" EOB INSERT \"G01 Z-1. F100\" "
                              "EOB INSERT \"M30\" EOB INSERT ";
    const fs::path screen = fs::temp_directory_path() / ("fanuc_screen_" + std::to_string(::getpid()));
    const std::string edited = RunNcrun("--machine --screen " + screen.string() +
                                            " --fanuc21 'EDIT PROG DELETE " + typed.substr(1) +
                                            "AUTO CYCLE/START'",
                                        status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(edited, golden);
    std::ifstream in(screen);
    std::string dump(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(dump.find("StatDisp1=MEM\n"), std::string::npos);
    EXPECT_NE(dump.find("XRObig=10.000\n"), std::string::npos);
    EXPECT_NE(dump.find("ZRObig=-1.000\n"), std::string::npos);
    fs::remove(screen);
    // The same in MDI: the blocks and the end point of the run.
    const std::string mdi = RunNcrun("--machine --fanuc21 'MDI " + typed.substr(1) + "CYCLE/START'", status);
    EXPECT_EQ(status, 0);
    auto machineLines = [](const std::string &Text) {
        std::string lines;
        for (size_t at = Text.find("\nM "); at != std::string::npos; at = Text.find("\nM ", at + 1))
            lines += Text.substr(at + 1, Text.find('\n', at + 1) - at);
        return lines + Text.substr(Text.find("POS "));
    };
    EXPECT_EQ(machineLines(mdi).substr(machineLines(mdi).find("M B0")),
              machineLines(golden).substr(machineLines(golden).find("M B0")));
}

TEST(FanucNcrun, AutoStartsAtTheHighlightedBlockPastPercentAndBlankLines)
{
    int status = 0;
    const std::string out =
        RunNcrun("--machine --fanuc21 'EDIT PROG DOWN DOWN AUTO CYCLE/START' " + Data("percent.fnc"), status);
    EXPECT_EQ(status, 0);
    // The third block (G00 Y2.) is the first run: no X move before it.
    EXPECT_EQ(out.find(" 0 1.0000 "), std::string::npos) << out;
    EXPECT_NE(out.find("2.0000"), std::string::npos) << out;
}

TEST(FanucNcrun, UnknownKeyIsAClearError)
{
    int status = 0;
    RunNcrun("--fanuc21 'PROG NOSUCHKEY'", status);
    EXPECT_EQ(status, 1);
}

} // namespace
} // namespace orv::fanuc
