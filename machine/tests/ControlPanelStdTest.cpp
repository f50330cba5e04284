// The standard control panel's core: jog feed mapping, jog steps, the mode
// page table, contrast colours, status lines on a test clock, jog keys,
// page choices while running, coolant, and the MDI page handing its source
// to the engine and taking it back.

#include "machine/ControlPanelStd.h"

#include "engine/chain/MDIInput.h"
#include "engine/core/Mess.h"
#include "machine/JogKeyTable.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace orv {
namespace {

TEST(ControlPanelStdTables, JogFeedMapsBothWaysAndZeroRapidFeedMapsZero)
{
    struct TCase {
        const char *Name;
        int Max, Position, Feed;
    };
    const TCase toFeed[] = {
        {"top of the slider", 1000, 1000, 1000},
        {"bottom of the slider", 1000, 0, 0},
        {"no rapid feed: no division", 0, 0, 0},
        {"no rapid feed, slider moved", 0, 500, 0},
    };
    for (const TCase &c : toFeed) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(JogFeedFromPosition(c.Position, c.Max), c.Feed);
    }
    const TCase toPosition[] = {
        {"full feed", 1000, 1000, 1000},
        {"no feed", 1000, 0, 0},
        {"half feed sits above the middle", 1000, 620, 500},
        {"no rapid feed", 0, 0, 500},
    };
    for (const TCase &c : toPosition) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(JogPositionFromFeed(c.Feed, c.Max), c.Position);
    }
}

TEST(ControlPanelStdTables, JogStepsInMillimetres)
{
    EXPECT_DOUBLE_EQ(JogStepMm(2, Inch), 0.254);
    EXPECT_EQ(JogStepText(2, Inch), "0.01");
    EXPECT_DOUBLE_EQ(JogStepMm(0, Metric), 0.01);
    EXPECT_DOUBLE_EQ(JogStepMm(6, Metric), 10);
    EXPECT_DOUBLE_EQ(JogStepMm(5, Inch), 0.25 * 25.4);
    EXPECT_EQ(JogStepText(9, Metric), "10") << "past the end: the last step";
}

TEST(ControlPanelStdTables, ModePages)
{
    struct TCase {
        TMachineMode Mode;
        TModePage Page;
    };
    const TCase cases[] = {
        {modeHome, {pgHome, true, false, false, false, false}},
        {modeJog, {pgJog, true, true, false, true, true}},
        {modeIncJog, {pgJog, true, true, false, true, true}},
        {modeAuto, {pgAuto, false, false, true, false, true}},
        {modeMDI, {pgMDI, true, true, false, true, true}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Mode);
        TModePage p;
        ASSERT_TRUE(ModePage(c.Mode, p));
        EXPECT_EQ(p.Page, c.Page.Page);
        EXPECT_EQ(p.Mcode, c.Page.Mcode);
        EXPECT_EQ(p.ToolChange, c.Page.ToolChange);
        EXPECT_EQ(p.Turbo, c.Page.Turbo);
        EXPECT_EQ(p.ZOffsets, c.Page.ZOffsets);
        EXPECT_EQ(p.Coolant, c.Page.Coolant);
    }
    TModePage p;
    EXPECT_FALSE(ModePage(modeEdit, p));
    EXPECT_FALSE(ModePage(modeCanJog, p));
}

TEST(ControlPanelStdTables, ContrastColourStaysWithin24Bits)
{
    // ~0x000000 = 0xFFFFFF, times 16 = 0xFFFFFF0: the top nibble is dropped.
    EXPECT_EQ(ContrastColour(0x000000), 0xFFFFF0);
    // White: complement 0, middle byte 255 -> 0x00FF00 * 16 = 0x0FF000.
    EXPECT_EQ(ContrastColour(0xFFFFFF), 0x0FF000);
    for (TColor c : {0x123456, 0xFF00FF, 0x808080})
        EXPECT_EQ(ContrastColour(c) & ~0xFFFFFF, 0) << c;
}

class ControlPanelStdTest : public ::testing::Test {
protected:
    ControlPanelStdTest()
    {
        Data.Feed.JogRapidFeed = 1000;
        Data.Spindle.MinimumSpeed = 100;
        Data.Spindle.MaximumSpeed = 5000;
        Data.MCodes[8] = {"M8", "Coolant On", 0, true, 8};
        Data.MCodes[9] = {"M9", "Coolant Off", 0, false, 9};
        Keys.SetKey(TJogKeyTable::XPlus, 'D');
        Keys.SetKey(TJogKeyTable::XMinus, 'A');
        Keys.SetKey(TJogKeyTable::FeedUp, 0x6B);
        Panel.MachData = &Data;
        Panel.JogKeys = &Keys;
        Panel.SettingsFile = Dir.File("Tarnwick.ini");
        Panel.OnMachineRequest = [this](TObject *, TRequestData &R) { Sent.push_back(R); };
        Panel.Initialise();
        Sent.clear();
    }
    std::vector<uint8_t> Kinds() const
    {
        std::vector<uint8_t> k;
        for (const TRequestData &r : Sent)
            k.push_back(r.Kind);
        return k;
    }

    test::TTempDir Dir;
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TRead_Machinedata_file Data;
    TJogKeyTable Keys;
    TControlPanelStd Panel;
    std::vector<TRequestData> Sent;
};

TEST_F(ControlPanelStdTest, InitialisationShowsTheProgramDisplayAndTheEnabledMCodes)
{
    EXPECT_TRUE(Panel.Shown().ProgramDisplay);
    ASSERT_EQ(Panel.Shown().MCodeItems.size(), 1u);
    EXPECT_EQ(Panel.Shown().MCodeItems[0].first, "M8 - Coolant On");
    EXPECT_EQ(Panel.Shown().MCodeItems[0].second, 8);
    EXPECT_EQ(Panel.Shown().JogFeedMax, 1000);
    EXPECT_EQ(Panel.Shown().SpeedPosition, 100);
}

TEST_F(ControlPanelStdTest, EstopWithTheGuardOpenShowsNotReady200msLater)
{
    std::vector<std::string> lines;
    Panel.OnViewChanged = [&] {
        if (lines.empty() || lines.back() != Panel.Shown().Status.Text)
            lines.push_back(Panel.Shown().Status.Text);
    };
    int64_t start = Loop.NowMs();
    Panel.SetEstop(true);
    EXPECT_GE(Loop.NowMs() - start, 200);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], " Machine Status: Emergency Stop Pressed");
    EXPECT_EQ(lines[1], " Machine Status: Not Ready");
    EXPECT_EQ(Panel.Shown().Status.Font, 255);
}

TEST_F(ControlPanelStdTest, HomingAllShowsGreenLampsAndTheModeTabs)
{
    EXPECT_FALSE(Panel.Shown().TabsVisible);
    Panel.SetHasHomed(HomeZ);
    EXPECT_FALSE(Panel.Shown().TabsVisible);
    Panel.SetHasHomed(HomeXY);
    EXPECT_TRUE(Panel.Shown().TabsVisible) << "X and Y together with Z make the machine homed";
    for (TColor lamp : Panel.Shown().Lamps)
        EXPECT_EQ(lamp, TControlPanelStd::LampGreen);
    Panel.ClearHomed();
    EXPECT_EQ(Panel.Shown().Lamps[0], TControlPanelStd::LampRed);
    EXPECT_TRUE(Panel.Shown().TabsVisible);
}

TEST_F(ControlPanelStdTest, PageChoicesRequestModesExceptWhileRunning)
{
    Panel.PageChosen(pgAuto);
    ASSERT_EQ(Sent.size(), 1u);
    EXPECT_EQ(Sent[0].Kind, rqMachineMode);
    EXPECT_EQ(Sent[0].IntValue, modeAuto);

    Panel.SetMachineMode(modeJog);
    Sent.clear();
    Panel.JogButtonClick();
    ASSERT_EQ(Sent.size(), 1u);
    EXPECT_EQ(Sent[0].IntValue, modeIncJog);
    Sent.clear();
    Panel.PageChosen(pgJog);
    ASSERT_EQ(Sent.size(), 1u);
    EXPECT_EQ(Sent[0].IntValue, modeIncJog) << "the incremental display is on";

    Panel.SetCycleState(csRunning);
    Sent.clear();
    Panel.PageChosen(pgHome);
    EXPECT_TRUE(Sent.empty());
    EXPECT_EQ(Panel.Shown().Page, pgJog);
}

TEST_F(ControlPanelStdTest, InchStepTwoSendsTheIncrementInMillimetres)
{
    Panel.SetUnits(Inch);
    Panel.JogStepMoved(2);
    ASSERT_FALSE(Sent.empty());
    EXPECT_EQ(Sent.back().Kind, rqJogIncrement);
    EXPECT_NEAR((double)Sent.back().Value, 0.254, 1e-12);
}

TEST_F(ControlPanelStdTest, AJogKeySendsOneJogAndItsReleaseStopsIt)
{
    Panel.SetMachineMode(modeJog);
    Sent.clear();
    EXPECT_TRUE(Panel.KeyDown('D', true));
    EXPECT_TRUE(Panel.KeyDown('D', true)) << "auto-repeat of the held key";
    std::vector<uint8_t> jogs;
    for (uint8_t k : Kinds())
        if (k == rqJogXPlus)
            jogs.push_back(k);
    EXPECT_EQ(jogs.size(), 1u);
    Sent.clear();
    Panel.KeyUp('D');
    ASSERT_FALSE(Sent.empty());
    EXPECT_EQ(Sent.back().Kind, rqJogStop);

    Sent.clear();
    EXPECT_FALSE(Panel.KeyDown('D', false)) << "only while the jog field has the focus";
    EXPECT_TRUE(Sent.empty());
}

TEST_F(ControlPanelStdTest, AKeyReleaseInIncrementalJogSendsNothing)
{
    Panel.SetMachineMode(modeIncJog);
    Panel.KeyDown('A', true);
    Sent.clear();
    Panel.KeyUp('A');
    EXPECT_TRUE(Sent.empty());
}

TEST_F(ControlPanelStdTest, FeedKeyMovesTheOverrideUnlessTheKnobOwnsIt)
{
    Panel.SetFeedOverride(100);
    Panel.KeyDown(0x6B, false);
    EXPECT_EQ(Panel.Shown().FeedBarPosition, 105);
    ASSERT_FALSE(Sent.empty());
    EXPECT_EQ(Sent.back().Kind, rqFeedOverride);
    Data.MachineCapability.FeedPot = true;
    Panel.SetMachineIsReal(true);
    Sent.clear();
    Panel.KeyDown(0x6B, false);
    EXPECT_EQ(Panel.Shown().FeedBarPosition, 105);
    EXPECT_TRUE(Sent.empty());
    EXPECT_FALSE(Panel.Shown().FeedBarEnabled);
}

TEST_F(ControlPanelStdTest, CoolantSendsM8ThenM9)
{
    Panel.CoolantClick();
    Panel.CoolantClick();
    ASSERT_EQ(Sent.size(), 2u);
    EXPECT_EQ(Sent[0].IntValue, 8);
    EXPECT_EQ(Sent[1].IntValue, 9);
}

TEST_F(ControlPanelStdTest, TurboGoesByTheReleaseInsideTheButton)
{
    Panel.TurboReleased(71, 49);
    Panel.TurboReleased(72, 10);
    Panel.TurboReleased(0, 0);
    ASSERT_EQ(Sent.size(), 2u) << "a release outside sends nothing";
    EXPECT_EQ(Sent[0].Kind, rqTurbo);
    EXPECT_TRUE(Sent[0].Flag);
    EXPECT_FALSE(Sent[1].Flag);
    EXPECT_FALSE(Panel.Shown().TurboDown);
}

TEST_F(ControlPanelStdTest, ColoursTooCloseGetTheContrastAndAreStored)
{
    Panel.ColourPicked(false, 0x000005, true);
    EXPECT_EQ(Panel.Shown().ReadOutAxesColor, 0x000005);
    Panel.ColourPicked(true, 0x000008, true);
    EXPECT_EQ(Panel.Shown().ReadOutPanelColor, ContrastColour(0x000008));
    TIniFile ini(Panel.SettingsFile);
    EXPECT_EQ(ini.ReadInteger("ControlPanel", "ReadOutPanelColor", 0), ContrastColour(0x000008));
    EXPECT_EQ(ini.ReadInteger("ControlPanel", "ReadOutAxesColor", 1), 5);
}

TEST_F(ControlPanelStdTest, TheMDIPageHandsItsSourceOverAndKeepsItsLines)
{
    std::vector<std::pair<TBasicInput *, bool>> handed;
    Panel.MDISourceIP = [&](TObject *, TBasicInput *&Input, bool Show) {
        handed.emplace_back(Input, Show);
    };
    Panel.MDILines = {"G00 X10"};
    Panel.SetMachineMode(modeMDI);
    ASSERT_NE(Panel.MDI(), nullptr);
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_TRUE(handed[0].second);
    EXPECT_EQ(handed[0].first, Panel.MDI());
    EXPECT_EQ(Panel.MDI()->Text(), "G00 X10");
    Panel.MDI()->TextChanged("G00 X10\r\nM03");
    Panel.SetMachineMode(modeJog);
    EXPECT_EQ(Panel.MDI(), nullptr);
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_FALSE(handed[1].second);
    EXPECT_EQ(Panel.MDILines, (std::vector<std::string>{"G00 X10", "M03"}));
}

// "Enter an M code" takes a number after cleaning; a text that is no
// integer shows the program's own conversion error, in the operator's
// language, and gives no code.
TEST(ControlPanelStdManualMCode, ANumberIsTakenAndAnythingElseShowsTheConversionError)
{
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    EXPECT_EQ(ManualMCode("8"), 8);
    EXPECT_EQ(ManualMCode(" 30 "), 30);
    EXPECT_TRUE(messages.Log().empty());
    EXPECT_EQ(ManualMCode("x5.5"), -1);
    ASSERT_EQ(messages.Log().size(), 1u);
    EXPECT_EQ(messages.Log()[0].Text, "'5.5' is not a valid integer value");

    TMess german;
    std::string error;
    ASSERT_TRUE(german.OpenDictionary(ORV_DATA_DIR "/language.txt", ORV_DATA_DIR "/translat.txt", 1,
                                      error))
        << error;
    messages.ClearLog();
    EXPECT_EQ(ManualMCode("x5.5"), -1);
    ASSERT_EQ(messages.Log().size(), 1u);
    EXPECT_EQ(messages.Log()[0].Text, "'5.5' ist kein g\xC3\xBCltiger ganzzahliger Wert");
}

} // namespace
} // namespace orv
