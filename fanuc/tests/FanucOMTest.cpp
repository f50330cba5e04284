// The Fanuc 0M: the keypad decoder and key-in line, the station's
// differences from the 21, and its runs through ncrun.
#include "fanuc/FanucButtons.h"
#include "fanuc/FanucScript.h"
#include "fanuc/fanuc0m/FanucOMInput.h"
#include "fanuc/fanuc0m/FanucOMScreen.h"
#include "fanuc/tests/FanucTestFolder.h"
#include "machine/MachineCommands.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace orv::fanuc {
namespace {

namespace fs = std::filesystem;

class OMKeypad : public ::testing::Test {
protected:
    int Press(int Key, bool OffsetPage = false)
    {
        int code = Keypad.DecodeKey(Key, Line, OffsetPage);
        char c = code == 45 ? '-' : code == 46 ? '.' : VirtualKeyCharacter(code);
        if (code > 13 && c)
            Line.SetANCaption(Line.ANCaption() + c);
        return code;
    }
    TTestEventLoop Loop;
    TEventLoopScope Scope{Loop};
    TEditLine Line;
    TFanucOMKeypad Keypad;
};

TEST_F(OMKeypad, LetterKeysCycleWhileTheKeyInHoldsOneCharacter)
{
    EXPECT_EQ(Press(19), 67);
    EXPECT_EQ(Press(19), 65);
    EXPECT_EQ(Press(19), 66);
    EXPECT_EQ(Line.ANCaption(), "B");
    // EOB cycles ";", "/", "," while the key-in holds only a symbol.
    Line.SetANCaption("");
    Keypad.ResetCycle();
    const std::array<int, 4> symbols{186, 191, 188, 186};
    for (int expected : symbols)
        EXPECT_EQ(Press(18), expected);
    // After an address, EOB gives "#".
    Line.SetANCaption("X");
    EXPECT_EQ(Press(18), 222);
}

TEST_F(OMKeypad, DigitKeysGiveTheAddressFirstThenTheDigit)
{
    EXPECT_EQ(Press(1), 79); // O
    EXPECT_EQ(Press(1), 55); // 7
    EXPECT_EQ(Line.ANCaption(), "O7");
    Line.SetANCaption("");
    EXPECT_EQ(Keypad.MapPCKey('O', Line, false).Code, 79);
    Line.SetANCaption("O");
    EXPECT_EQ(Keypad.MapPCKey('7', Line, false).Code, 55);
    // Delete from the PC is the Delete key; "." and "-" are typed.
    const TPCKey del = Keypad.MapPCKey(46, Line, false);
    EXPECT_EQ(del.Code, 46);
    EXPECT_FALSE(del.Typed);
    EXPECT_EQ(Keypad.Keys[13].Kind, kkFunction);
    const TPCKey point = Keypad.MapPCKey('T', Line, false); // after the address: key 17's "."
    EXPECT_EQ(point.Code, 46);
    EXPECT_TRUE(point.Typed);
}

TEST_F(OMKeypad, KeyInLineShowsAddressAndNumberAndTakesTwelveCharacters)
{
    for (int key : {5, 10, 11, 17, 6}) // X 1 2 . 5
        Press(key);
    EXPECT_EQ(Line.ANCaption(), "X12.5");
    EXPECT_EQ(Line.Caption(), "NUM.  X          12.5_");
    EXPECT_TRUE(Line.Flashing());
    Line.SetANCaption("X12345678901");
    Line.SetANCaption(Line.ANCaption() + "2"); // a 13th character
    EXPECT_EQ(Line.ANCaption(), "X12345678901");
    Line.DelChar(false);
    EXPECT_EQ(Line.ANCaption(), "X1234567890");
    Line.SetANCaption("");
    EXPECT_EQ(Press(21, true), 0); // key 21 on the OFFSET page: number entry
    EXPECT_TRUE(Line.NoChar);
    EXPECT_EQ(Line.Caption(), "NO.   ");
}

class OMStation : public ::testing::Test {
protected:
    void SetUp() override
    {
        Station = std::make_unique<TFanucScreenOM>();
        Station->OnOpsCommand = [this](int Code) {
            Sent.push_back(Code);
            Times.push_back(Loop.NowMs());
        };
        Station->OnOpsCommandStop = [this] { StopAt = Loop.NowMs(); };
        Station->Initialise();
    }
    void TearDown() override { Station.reset(); }
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
    std::unique_ptr<TFanucScreenOM> Station;
    std::vector<int> Sent;
    std::vector<int64_t> Times;
    int64_t StopAt = -1;
};

TEST_F(OMStation, FreshStation)
{
    EXPECT_EQ(Station->Text("StatDisp1"), "ZRN");
    EXPECT_EQ(Station->Text("OverrideLabel"), "OS050%");
    EXPECT_EQ(Station->Program.Words, (std::vector<std::string>{"O0000", ";", "%"}));
    EXPECT_EQ(Station->FunctionPage, fpPosition);
    EXPECT_EQ(Station->Buttons().size(), 46u);
    EXPECT_EQ(Station->ProgramPane.TextColor, 65280u);
    Station->ShowStatusItem(9);
    EXPECT_EQ(Station->Text("StatDisp3"), "MTN ");
    Station->ShowStatusItem(5);
    EXPECT_EQ(Station->Text("StatDisp3"), "") << "every item empties fields 2 to 4 first";
    EXPECT_EQ(Station->Text("StatDisp2"), "STRT");
    Station->ShowStatusItem(17);
    EXPECT_EQ(Station->Text("StatDisp1"), "");
}

TEST(FanucOMButtons, Table)
{
    const auto &table = FanucOMButtons();
    ASSERT_EQ(table.size(), 46u);
    const struct {
        int Row;
        const char *Text1, *Text2;
        int Face;
        uint32_t Colour;
        int Tag;
    } rows[] = {{0, "AUTO", "", 0, 0, 3},      {13, "LOW", "X1", 0, 0, 34},
                {16, "+Z", "", 1, WhiteText, 6}, {18, "-4", "", 1, WhiteText, 46},
                {25, "+X", "", 1, WhiteText, 4}, {34, "+4", "", 1, WhiteText, 45},
                {37, "CYCLE", "START", 3, WhiteText, 21}, {45, "CLNT", "AUTO", 0, 0, 999}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.Row);
        EXPECT_EQ(table[r.Row].Text1, r.Text1);
        EXPECT_EQ(table[r.Row].Text2, r.Text2);
        EXPECT_EQ(table[r.Row].Face, r.Face);
        EXPECT_EQ(table[r.Row].FontColor, r.Colour);
        EXPECT_EQ(table[r.Row].Tag, r.Tag);
    }
}

TEST_F(OMStation, HomeCommandGoesOut300MsAfterThePress)
{
    Station->DisplayedMode = 0;
    Loop.Advance(1000);
    Sent.clear();
    Keys("+X");
    EXPECT_TRUE(Sent.empty());
    EXPECT_EQ(StopAt, 1000);
    Loop.Advance(299);
    EXPECT_TRUE(Sent.empty());
    Loop.Advance(1);
    EXPECT_EQ(Sent, std::vector<int>{17});
    EXPECT_TRUE(Station->Leds[FanucOMLeds.HomeX]);
}

// In help mode the character keys share one topic; function keys have their code's.
TEST_F(OMStation, HelpModeKeysOpenTheirTopics)
{
    Keys("HELP");
    EXPECT_EQ(Station->Text("TopLabel"), "HELP SYSTEM");
    const struct {
        int Key, Context;
    } cases[] = {{5, 2000}, {18, 2000}, {19, 2000}, {4, 146}, {9, 37}, {23, 33}, {0, 27}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Key);
        Station->KeypadMouseDown(c.Key);
        Station->KeypadMouseUp(c.Key);
        EXPECT_EQ(Station->LastHelpPopup.Context, c.Context);
        EXPECT_EQ(Station->LastHelpPopup.Index, c.Key);
        EXPECT_NE(Station->LastHelpPopup.HelpFile.find("FanucOM.hlp"), std::string::npos);
    }
    EXPECT_TRUE(Sent.empty());
    EXPECT_EQ(Station->KeyInText(), "");
    Keys("HELP");
    EXPECT_EQ(Station->FunctionPage, fpPosition);
}

TEST_F(OMStation, XThenCancelZeroesTheRelativeX)
{
    TMachineReadout report{};
    report.Machine = {40, 0, 0};
    Station->ShowPositions(report);
    Keys("POS");
    Station->KeypadMouseDown(5); // "4, X"
    EXPECT_EQ(Station->SelectedAxis, 0);
    EXPECT_EQ(Station->Text("Softkey1"), "PRESET");
    Station->KeypadMouseDown(22); // Cancel
    Station->ShowPositions(report);
    EXPECT_EQ(Station->Text("XRObig"), "0.000");
}

TEST_F(OMStation, TypingANumberNeverEditsTheProgram)
{
    Station->ShowMachineMode(modeEdit);
    Keys("PROG \"X12.5\"");
    EXPECT_EQ(Station->KeyInText(), "X12.5");
    EXPECT_EQ(Station->Program.Words, (std::vector<std::string>{"O0000", ";", "%"}));
    Station->KeyDown(190, '.'); // the PC's point
    Station->KeyDown(189, '-');
    EXPECT_EQ(Station->KeyInText(), "X12.5.-");
    Keys("CAN CAN INPUT");
    EXPECT_EQ(Station->Program.Words, (std::vector<std::string>{"O0000", ";", "X12.5", "%"}));
    EXPECT_TRUE(Station->Modified);
    EXPECT_EQ(Station->Program.Lines.back(), "%"); // the 0M writes its end marker
}

TEST_F(OMStation, ProgramAndBlockNumbers)
{
    std::ofstream(Folder / "o1234.fnc", std::ios::binary) << "O1234\r\nN20 G00 X1.\r\nM30\r\n";
    Messages.Answer((Folder / "o1234.fnc").string());
    Keys("PROG SK3");
    EXPECT_EQ(Station->Text("BigO"), "O1234");
    std::string line;
    Station->Input()->GetLine(0, line);
    EXPECT_EQ(line, "O1234");
    Station->Input()->GetLine(9, line);
    EXPECT_EQ(line, "");
    Station->ShowMachineMode(modeEdit);
    Station->ProgramPane.CursorDown();
    EXPECT_EQ(Station->Text("BigN"), "N0020");
}

TEST_F(OMStation, HidingTheRightPanelFloatsTheKnob)
{
    Station->ToggleRightPanel();
    EXPECT_TRUE(Station->FloatKnobShown);
    EXPECT_EQ(Station->Width, 508);
    EXPECT_EQ(Station->Text("ShowHideBtn"), "Show Edit Panel");
    Station->ToggleRightPanel();
    EXPECT_FALSE(Station->FloatKnobShown);
    EXPECT_EQ(Station->Width, 732);
}

TEST_F(OMStation, CancelledSaveAsKeepsTheFileName)
{
    Station->FileName = (Folder / "kept.fnc").string();
    Station->Modified = true;
    Messages.Answer("");
    Station->SaveProgramAs();
    EXPECT_EQ(Station->FileName, (Folder / "kept.fnc").string());
    EXPECT_TRUE(Station->Modified);
    Station->Modified = false;
}

// PC keys through ncrun's screen dump: "T" and "M" after an address type the
// "." and "-" of their keypad keys, Insert with nothing keyed in does
// nothing, and the program stays as it was.
TEST(OMNcrun, PCLettersAfterAnAddressTypeAndInsertActs)
{
    const struct {
        const char *Keys, *KeyIn;
    } cases[] = {{"EDIT PROG \"S1\" PC84", "EditLine=NUM.  S          1."},
                 {"EDIT PROG \"X1\" PC77", "EditLine=NUM.  X          1-"},
                 {"EDIT PROG PC45", "EditLine=ADRS. \n"}};
    const fs::path screen = fs::temp_directory_path() / ("fanuc_pc_" + std::to_string(::getpid()));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Keys);
        int status = 0;
        test::RunNcrun("--screen " + screen.string() + " --fanuc0m '" + c.Keys + "'", status);
        EXPECT_EQ(status, 0);
        std::ifstream in(screen);
        const std::string dump(std::istreambuf_iterator<char>(in), {});
        EXPECT_NE(dump.find(c.KeyIn), std::string::npos) << dump;
        EXPECT_NE(dump.find("ROW  [O0000] ; \nROW  % \n"), std::string::npos) << dump;
        fs::remove(screen);
    }
}

// ncrun's screen dump as each station shows it: the 0M's own soft keys,
// each station's HELP texts, the relative readout beside both offset pages,
// the keypad panel hidden (the 0M's knob floating) and shown again, and
// operator buttons whose LEDs the engine or the station lights (modes,
// single block, block skip, increments, buttons without a function).
TEST(FanucNcrun, ScreensAsEachStationShowsThem)
{
    const struct {
        const char *Station, *Keys;
        std::vector<std::string> Shown, NotShown;
    } cases[] = {
        {"--fanuc0m", "OFFSET",
         {"TopLabel=OFFSET\n", "Softkey1=OFFSET\n", "SoftKey2=      \n", "SoftKey3=W.SHFT\n",
          "SoftKey5=      \n", "SmallReadout=\n", "USmall=0.000\n"},
         {"SETING", "(OPRT)"}},
        {"--fanuc0m", "OFFSET OFFSET", {"TopLabel=WORK SHIFT\n", "SmallReadout=\n"}, {}},
        {"--fanuc21", "OFFSET OFFSET",
         {"TopLabel=WORK SHIFT\n", "SoftKey2=W.SHFT\n", "SmallReadout=\n"}, {}},
        {"--fanuc0m", "PROG SK6", {"SoftKey3=SRH <-\n", "SoftKey4=SRH ->\n"}, {"SRH ?"}},
        {"--fanuc0m", "HELP",
         {"TopLabel=HELP SYSTEM\n", "HelpPanel=\n", "HelpText1=* HELP *\n",
          "HelpText3=Press HELP (OPR ALARM) key again to leave help mode\n",
          "HelpText4=You have pressed the 'Operators Alarm' button. This button would normally "
          "show the alarm number display, on this simulator it enables help mode.\n"},
         {"HelpText5", "Press HELP key"}},
        {"--fanuc21", "HELP",
         {"HelpPanel=\n", "HelpText2=In this mode - select an item you want\n",
          "HelpText5=Press HELP key again to leave help mode\n"},
         {"OPR ALARM"}},
        {"--fanuc21", "HIDE", {"OutputsPanel= [hidden]\n", "WIDTH=508\n"}, {"FloatKnob"}},
        {"--fanuc21", "HIDE HIDE", {"OutputsPanel=\n", "WIDTH=732\n"}, {}},
        {"--fanuc0m", "HIDE",
         {"OutputsPanel= [hidden]\n", "WIDTH=508\n", "ShowHideBtn=Show Edit Panel\n",
          "FloatKnob=Feed Override\n"},
         {}},
        {"--fanuc0m", "HIDE HIDE",
         {"OutputsPanel=\n", "WIDTH=732\n", "ShowHideBtn=Hide Edit Panel\n",
          "FloatKnob=Feed Override [hidden]\n"},
         {}},
        {"--fanuc21", "SINGL/BLOCK BLOCK/DELET MPG TEACH", {"LEDS= 3 6 8 10 11 13 16 36\n"}, {}},
        {"--fanuc0m", "SINGL/BLOCK BLOCK/DELET MPG TEACH", {"LEDS= 3 6 8 10 11 13 16 38\n"}, {}},
        {"--fanuc21", "INC/JOG HIGH", {"StatDisp1=JOG\n", "LEDS= 4 5 22 36\n"}, {}},
        {"--fanuc0m", "INC/JOG HIGH", {"StatDisp1=JOG\n", "LEDS= 4 5 23 38\n"}, {}},
        {"--fanuc0m", "MDI", {"StatDisp1=MDI\n", "LEDS= 2 13 16 38\n"}, {}},
    };
    const fs::path screen = fs::temp_directory_path() / ("fanuc_pages_" + std::to_string(::getpid()));
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.Station) + " " + c.Keys);
        int status = 0;
        test::RunNcrun("--screen " + screen.string() + " " + c.Station + " '" + c.Keys + "'", status);
        EXPECT_EQ(status, 0);
        std::ifstream in(screen);
        const std::string dump(std::istreambuf_iterator<char>(in), {});
        for (const std::string &text : c.Shown)
            EXPECT_NE(dump.find(text), std::string::npos) << text << dump;
        for (const std::string &text : c.NotShown)
            EXPECT_EQ(dump.find(text), std::string::npos) << text << dump;
        fs::remove(screen);
    }
}

} // namespace
} // namespace orv::fanuc
