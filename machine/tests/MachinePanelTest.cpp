// The operator panel model: requests it sends, the 60 ms debounce of the
// feed and spindle sliders on a test clock, jog filtering and homed marks.

#include "machine/BasicControlPanel.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv {
namespace {

class TTestPanel : public TBasicControlPanel {
public:
    void SetWorkOffsetName(const std::string &Name) override { WorkOffset = Name; }
    void ToggleCoordinates() override {}
    std::string WorkOffset;
};

class MachinePanelTest : public ::testing::Test {
protected:
    MachinePanelTest() {
        Data.Spindle.MinimumSpeed = 150;
        Data.Spindle.MaximumSpeed = 6000;
        Panel.MachData = &Data;
        Panel.OnMachineRequest = [this](TObject *Sender, TRequestData &R) {
            EXPECT_EQ(Sender, &Panel);
            Sent.push_back(R);
        };
    }

    std::vector<uint8_t> SentKinds() const {
        std::vector<uint8_t> kinds;
        for (const TRequestData &r : Sent)
            kinds.push_back(r.Kind);
        return kinds;
    }

    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TRead_Machinedata_file Data;
    TTestPanel Panel;
    std::vector<TRequestData> Sent;
};

TEST_F(MachinePanelTest, SliderChangesSendOneRequest60msAfterTheLast) {
    struct TCase {
        const char *Name;
        uint8_t Kind;
    };
    for (const TCase &c : {TCase{"spindle speed", rqSpindleSpeed}, TCase{"jog feed", rqJogFeed}}) {
        SCOPED_TRACE(c.Name);
        Sent.clear();
        Panel.RequestValue(c.Kind, 1000);
        Loop.Advance(20);
        Panel.RequestValue(c.Kind, 1100);
        Loop.Advance(20);
        Panel.RequestValue(c.Kind, 1234.4);
        Loop.Advance(59);
        EXPECT_TRUE(Sent.empty()) << "59 ms after the last change";
        Loop.Advance(1);
        ASSERT_EQ(Sent.size(), 1u);
        EXPECT_EQ(Sent[0].Kind, c.Kind);
        EXPECT_EQ(Sent[0].IntValue, 1234);
        Loop.Advance(500);
        EXPECT_EQ(Sent.size(), 1u) << "the timer stops after it fired";
    }
    EXPECT_EQ(Panel.JogFeed, 1234);
    EXPECT_EQ(Panel.PendingSpeed, 1234);
}

TEST_F(MachinePanelTest, OverridesAreDroppedWhileARealMachinesKnobOwnsThem) {
    struct TCase {
        const char *Name;
        bool Real, FeedPot, SpeedPot;
        uint8_t Kind;
        bool Sent;
    };
    const TCase cases[] = {
        {"feed, real machine with feed pot", true, true, false, rqFeedOverride, false},
        {"feed, simulated machine with feed pot", false, true, false, rqFeedOverride, true},
        {"feed, real machine without pot", true, false, true, rqFeedOverride, true},
        {"speed, real machine with speed pot", true, false, true, rqSpeedOverride, false},
        {"speed, simulated machine with speed pot", false, true, true, rqSpeedOverride, true},
        {"M code goes at once whatever the pots", true, true, true, rqMCode, true},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Sent.clear();
        Panel.SetMachineIsReal(c.Real);
        Data.MachineCapability.FeedPot = c.FeedPot;
        Data.MachineCapability.SpeedPot = c.SpeedPot;
        Panel.RequestValue(c.Kind, 80);
        ASSERT_EQ(Sent.size(), c.Sent ? 1u : 0u);
        if (c.Sent) {
            EXPECT_EQ(Sent[0].Kind, c.Kind);
            EXPECT_EQ(Sent[0].Value, 80);
        }
    }
}

TEST_F(MachinePanelTest, JogButtonsAreFilteredByMode) {
    struct TCase {
        const char *Name;
        TMachineMode Mode;
        int MachineFeed;
        uint8_t Button;
        std::vector<uint8_t> Kinds;
    };
    const TCase cases[] = {
        {"Y+ in auto sends nothing", modeAuto, 400, 2, {}},
        {"stop in auto still stops", modeAuto, 400, JogButtonStop, {rqJogStop}},
        {"X+ in jog", modeJog, 400, 0, {rqJogXPlus}},
        {"X+ in jog after a feed change", modeJog, 250, 0, {rqJogFeed, rqJogXPlus}},
        {"Z- in incremental jog", modeIncJog, 400, 5, {rqJogZMinus}},
        {"stop in jog", modeJog, 400, JogButtonStop, {rqJogStop}},
        {"unknown button in jog", modeJog, 400, 7, {}},
        {"Y- in home mode", modeHome, 400, 3, {}},
    };
    Panel.JogIncrement = 0.1L;
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Sent.clear();
        Panel.SetMachineMode(c.Mode);
        Panel.SetFeedrate(c.MachineFeed);
        Panel.RequestJog(c.Button);
        EXPECT_EQ(SentKinds(), c.Kinds);
        if (!Sent.empty() && Sent.back().Kind != rqJogFeed && c.Mode != modeAuto)
            EXPECT_EQ(Sent.back().Value, 0.1L);
        if (!Sent.empty() && Sent.front().Kind == rqJogFeed)
            EXPECT_EQ(Sent.front().IntValue, 400);
    }
}

TEST_F(MachinePanelTest, RequestsCarryTheirPayload) {
    Panel.RequestMachineMode(modeAuto);
    Panel.RequestHome(HomeAll);
    Panel.RequestTurbo(true);
    Panel.RequestMCode(nullptr, 8);
    Panel.JogIncrement = 5;
    Panel.RequestJogIncrement();
    Panel.RequestToolZOffset(nullptr);
    Panel.RequestPositionRefresh(nullptr);
    Panel.RequestStateRefresh(nullptr);
    ASSERT_EQ(SentKinds(),
              (std::vector<uint8_t>{rqMachineMode, rqHome, rqTurbo, rqMCode, rqJogIncrement,
                                    rqToolZOffset, rqRefreshPosition, rqRefreshState}));
    EXPECT_EQ(Sent[0].IntValue, modeAuto);
    EXPECT_EQ(Sent[1].IntValue, HomeAll);
    EXPECT_TRUE(Sent[2].Flag);
    EXPECT_TRUE(Panel.Turbo);
    EXPECT_EQ(Sent[3].IntValue, 8);
    EXPECT_EQ(Sent[4].Value, 5);
}

TEST_F(MachinePanelTest, HomedMarksSetAndClear) {
    Panel.SetHasHomed(HomeXY);
    EXPECT_TRUE(Panel.HomedXY);
    Panel.SetHasHomed(HomeZ);
    Panel.SetHasHomed(HomeAll);
    EXPECT_TRUE(Panel.HomedZ && Panel.AllHomed);
    Panel.ClearHomed();
    EXPECT_FALSE(Panel.HomedX || Panel.HomedY || Panel.HomedZ || Panel.HomedXY || Panel.AllHomed);
}

TEST_F(MachinePanelTest, InitialiseStartsAtTheMinimumSpeed) {
    EXPECT_EQ(Panel.JogFeed, 400);
    EXPECT_EQ(Panel.JogIncrement, 1.0L);
    Panel.Initialise();
    EXPECT_EQ(Panel.Speedrate(), 150);
    EXPECT_EQ(Panel.PendingSpeed, 150);
    Panel.ToggleTurbo();
    EXPECT_TRUE(Panel.Turbo);
    EXPECT_TRUE(Sent.empty()) << "toggling turbo sends nothing from the base panel";
}

// Without a machine to take them, requests are dropped, not kept: a handler
// attached later gets none of them, only what is asked after it came.
TEST_F(MachinePanelTest, RequestsWithoutAHandlerAreDropped) {
    auto handler = Panel.OnMachineRequest;
    Panel.OnMachineRequest = nullptr;
    Panel.RequestValue(rqSpindleSpeed, 500);
    Loop.Advance(100);
    Panel.RequestMachineMode(modeJog);
    EXPECT_EQ(Panel.PendingSpeed, 500) << "the slider keeps its value";
    Panel.OnMachineRequest = handler;
    Loop.Advance(1000);
    EXPECT_TRUE(Sent.empty()) << "nothing dropped is sent late";
    Panel.RequestMachineMode(modeAuto);
    ASSERT_EQ(Sent.size(), 1u);
    EXPECT_EQ(Sent[0].Kind, rqMachineMode);
    EXPECT_EQ(Sent[0].IntValue, modeAuto);
}

} // namespace
} // namespace orv
