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
    // Before the machine's first position report the readouts show the start position.
    for (const char *readout : {"XRObig", "YROBig", "ZRObig", "RelX", "AbsY", "ActZ", "ToGoX",
                                "USmall", "WCheck", "ZTogoCheck"}) {
        SCOPED_TRACE(readout);
        EXPECT_EQ(s.Text(readout), "0.000");
    }
    s.SetUnits(Inch);
    EXPECT_EQ(s.Text("XRObig"), "0.0000");
    EXPECT_EQ(s.Text("ToGoZ"), "0.0000");
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
    // The window places each popup at its control's corner; here a corner per control.
    s.ControlOrigin = [](THelpControl Control, int Index) {
        return std::pair<int, int>(100 * Control + Index, 7);
    };
    Keys("HELP");
    EXPECT_EQ(s.Text("TopLabel"), "HELP SYSTEM");
    SetHelpService(&HelpService);
    const struct {
        const char *Key;
        int Context;
        THelpControl Control;
        int Index;
    } cases[] = {
        {"CYCLE/START", 521, hcOperatorButton, 35}, {"AUTO", 503, hcOperatorButton, 0},
        {"ESTOP", 1001, hcEstop, 0},                {"SK2", 1000, hcSoftKey, 2},
        {"POS", 24, hcKeypadKey, 24},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Key);
        Keys(c.Key);
        const THelpPopup &popup = s.LastHelpPopup;
        EXPECT_EQ(popup.HelpFile, s.HelpFile);
        EXPECT_EQ(popup.Context, c.Context);
        EXPECT_EQ(popup.Control, c.Control);
        EXPECT_EQ(popup.Index, c.Index);
        EXPECT_EQ(popup.X, 100 * c.Control + c.Index);
        EXPECT_EQ(popup.Y, 7);
        ASSERT_FALSE(HelpService.Requests().empty());
        EXPECT_EQ(HelpService.Requests().back().HelpFile, s.HelpFile);
        EXPECT_EQ(HelpService.Requests().back().Context, c.Context);
    }
    SetHelpService(nullptr);
    EXPECT_TRUE(Sent.empty());
    EXPECT_EQ(HelpService.Requests().size(), std::size(cases));
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

// The engine's machine state through the panel: homed LEDs, tool numbers,
// the in-position status.
TEST_F(StationTest, PanelShowsTheMachineState)
{
    TFanucScreen &s = Make();
    TFanucControlPanel &panel = s.Panel();
    const struct {
        int Code;
        bool X, Y, Z;
    } homed[] = {{3, false, false, false}, {0, true, false, false}, {1, false, true, false},
                 {2, false, false, true}, {6, true, true, true}};
    for (const auto &h : homed) {
        SCOPED_TRACE(h.Code);
        for (int row : {Fanuc21Leds.HomeX, Fanuc21Leds.HomeY, Fanuc21Leds.HomeZ})
            s.SetLed(row, false);
        panel.SetHasHomed(h.Code);
        EXPECT_EQ(s.Leds[Fanuc21Leds.HomeX], h.X);
        EXPECT_EQ(s.Leds[Fanuc21Leds.HomeY], h.Y);
        EXPECT_EQ(s.Leds[Fanuc21Leds.HomeZ], h.Z);
    }
    EXPECT_EQ(Fanuc21Leds.HomeX, 26);
    const struct {
        int Number;
        const char *Shown;
    } tools[] = {{7, "07"}, {123, "123"}, {0, "00"}};
    for (const auto &t : tools) {
        SCOPED_TRACE(t.Number);
        panel.SetToolNumber(t.Number);
        panel.SetToolOffsetNumber(t.Number);
        EXPECT_EQ(s.Text("ToolLabel"), t.Shown);
        EXPECT_EQ(s.Text("OffsetLabel"), t.Shown);
    }
    panel.SetInPosition(false);
    EXPECT_EQ(s.Text("StatDisp3"), "MTN ");
    panel.SetInPosition(true);
    EXPECT_EQ(s.Text("StatDisp3"), "*** ");
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
    for (const char *text : {"%\r\n", ""}) { // only the end marker; no byte at all
        SCOPED_TRACE(text);
        std::string empty = Write("empty.fnc", text);
        ASSERT_TRUE(s.Input()->LoadFile(empty));
        EXPECT_EQ(s.Program.Words, std::vector<std::string>{";"});
        s.ShowFunctionPage(fpProgram);
        s.ProgramPane.CursorRight();
        EXPECT_EQ(s.ProgramPane.CursorWord, 0);
        s.FileName.clear();
    }
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
    in.close();
    // A new program leaves the unedited file as it was too.
    name = first;
    ASSERT_TRUE(s.Input()->LoadFile(name));
    s.NewProgram();
    std::ifstream again(first, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), text);
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

// The program typed in EDIT and run in AUTO, or typed and run in MDI, gives
// the records and machine blocks of the same text run from a file; the
// screen shows the mode and the end point in the absolute readout.
TEST(FanucNcrun, ProgramTypedOnTheKeypadRunsAsTheFile)
{
    const std::string typed21 = "\"O0001\" EOB INSERT \"G00 X10. Y5.\" EOB INSERT \"G01 Z-1. F100\" "
                                "EOB INSERT \"M30\" EOB INSERT ";
    // The 0M types one word at a time; its INSERT takes the key-in.
    const std::string typed0M = "\"O0001\" INSERT EOB INSERT \"G00\" INSERT \"X10.\" INSERT \"Y5.\" INSERT "
                                "EOB INSERT \"G01\" INSERT \"Z-1.\" INSERT \"F100\" INSERT EOB INSERT "
                                "\"M30\" INSERT EOB INSERT ";
    const struct {
        const char *Name, *Station, *Golden;
        std::string Keys;
        const char *Mode;
    } cases[] = {
        {"21 EDIT then AUTO", "--fanuc21", "golden.fnc", "EDIT PROG DELETE " + typed21 + "AUTO CYCLE/START", "MEM"},
        {"21 MDI", "--fanuc21", "golden.fnc", "MDI " + typed21 + "CYCLE/START", "MDI"},
        {"0M EDIT then AUTO", "--fanuc0m", "golden_om.fnc",
         "EDIT PROG DELETE DELETE " + typed0M + "AUTO CYCLE/START", "MEM"},
        {"0M MDI", "--fanuc0m", "golden_om.fnc", "MDI PROG " + typed0M + "CYCLE/START", "MDI"},
    };
    const fs::path screen = fs::temp_directory_path() / ("fanuc_screen_" + std::to_string(::getpid()));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        int status = 0;
        const std::string golden = RunNcrun("--machine " + Data(c.Golden), status);
        ASSERT_EQ(status, 0);
        ASSERT_NE(golden.find("POS "), std::string::npos);
        const std::string run = RunNcrun("--machine --screen " + screen.string() + " " + c.Station +
                                             " '" + c.Keys + "'",
                                         status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(run, golden);
        std::ifstream in(screen);
        std::string dump(std::istreambuf_iterator<char>(in), {});
        EXPECT_NE(dump.find(std::string("StatDisp1=") + c.Mode + "\n"), std::string::npos) << dump;
        EXPECT_NE(dump.find("XRObig=10.000\n"), std::string::npos) << dump;
        EXPECT_NE(dump.find("YROBig=5.000\n"), std::string::npos) << dump;
        EXPECT_NE(dump.find("ZRObig=-1.000\n"), std::string::npos) << dump;
        fs::remove(screen);
    }
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
