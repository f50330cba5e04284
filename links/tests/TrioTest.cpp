// The Trio protocol and controller: command lines, the table answer, the
// poll rhythm, moves completed once when the axes are idle, homing of the
// asked axis, arcs refused, a port that fails, and one "Major Timeout"
// report after 20 resends on a test clock.

#include "links/ControllerTRIO.h"
#include "links/LineControllers.h"
#include "links/LowLevelTRIO.h"
#include "links/sim/TrioSim.h"
#include "links/tests/PtyPair.h"
#include "platform/MessageService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace orv {
namespace {

void Feed(TLowLevelTRIO &W, const std::string &Text) {
    W.ReceiveData(reinterpret_cast<const uint8_t *>(Text.data()), int(Text.size()));
}

TEST(TrioLines, CommandLines) {
    struct {
        const char *Command, *Payload;
        int Axis;
        const char *Line;
    } cases[] = {
        {"MA", "5", 1, "MA(5) AXIS(1)"},       {"MO", "(-5)", 1, "MO((-5)) AXIS(1)"},
        {"OP", "2,1", 6, "OP(2,1)"},           {"SP", "300", 6, "SP(300)"},
        {"DATUM", "3", 2, "DATUM(3) AXIS(2)"}, {"RS", "", 6, "RS"},
        {"MA", "1,-2,3", 6, "MA(1,-2,3)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TLowLevelTRIO::CommandLine(c.Command, c.Payload, c.Axis), c.Line) << c.Line;
}

TEST(TrioLines, TableAnswerGivesPositionIdleAndUnreportedEntries) {
    TControllerTRIO c;
    TLowLevelTRIO &w = c.Worker();
    int32_t x, y, z;
    EXPECT_FALSE(c.GetPosition(x, y, z)); // nothing reported yet
    Feed(w, "TABLEVALUES(0,20,0)\r\n10,20,30,0,0,0\r\n>");
    ASSERT_TRUE(c.GetPosition(x, y, z));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(z, 30);
    EXPECT_TRUE(c.IsIdle());
    for (int i = 6; i < 16; ++i)
        EXPECT_EQ(w.Table(i), 9999999) << i;

    struct {
        const char *Answer;
        bool Idle, Valid;
    } rows[] = {
        {"TABLEVALUES(0,20,0)\r\n1,2,3,0,1,0\r\n>", false, true},
        {"tablevalues(0,20,0)\r\n1,2,3,0,0,0.6\r\n>", false, true}, // 0.6 rounds to 1
        {"TABLEVALUES(0,20,0)\r\n1,,3,0,0,0\r\n>", true, false},
        {"TABLEVALUES(0,20,0)\r\nx1,2,3,0,0,0\r\n>", true, false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.Answer);
        w.ClearIdle();
        Feed(w, r.Answer);
        EXPECT_EQ(c.IsIdle(), r.Idle);
        EXPECT_EQ(c.GetPosition(x, y, z), r.Valid);
    }
}

TEST(TrioLines, AnErAnswerIsShownToTheOperator) {
    TPlainEventLoop loop;
    TEventLoopScope scope(loop);
    TScriptedMessages messages;
    TMessageServiceScope messageScope(messages);
    TLowLevelTRIO w;
    Feed(w, "er12: bad axis\r\n>");
    Feed(w, "TABLEVALUES(0,20,0)\r\n1,2,3,0,0,0\r\n>"); // not an error
    for (int i = 0; i < 5; ++i)
        loop.ProcessMessages();
    ASSERT_EQ(messages.Log().size(), 1u);
    EXPECT_EQ(messages.Log()[0].Text, "er12: bad axis");
}

TEST(TrioLines, TablePollOnTheFirstIdleTurnThenEveryThresholdPlusOne) {
    int turns = 0;
    std::vector<int> due;
    for (int turn = 1; turn <= 200; ++turn)
        if (TLowLevelTRIO::TablePollDue(turns, 70))
            due.push_back(turn);
    EXPECT_EQ(due, (std::vector<int>{1, 72, 143}));
}

// The controller against the simulator on a pseudo-terminal, on the real
// clock (motion sped up).
class TrioLinkTest : public ::testing::Test {
protected:
    TrioLinkTest() : Scope(Loop) {
        std::string error;
        EXPECT_TRUE(Sim.Open(Slave, error)) << error;
        Sim.SpeedUp = 20;
        Sim.Start();
        Settings = Temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM1=" + Slave + "\n");
        Controller.SettingsFile = Settings;
        Controller.NotifyWindow = [this](int Message) { Notes.push_back(Message); };
        Controller.SetErrorHandler([this](TObject *, int, const std::string &Caption,
                                          const std::string &Message, const std::string &) {
            Errors.push_back(Caption + ": " + Message);
        });
        Controller.SetPollingDelay(5);
    }
    ~TrioLinkTest() override { Sim.Stop(); }

    // Lines the simulator received that are not table polls.
    std::vector<std::string> Commands() const {
        std::vector<std::string> out;
        for (const std::string &l : Sim.Lines())
            if (l != "TABLEVALUES(0,20,0)")
                out.push_back(l);
        return out;
    }
    int Count(int Message) const { return int(std::count(Notes.begin(), Notes.end(), Message)); }

    TPlainEventLoop Loop;
    TEventLoopScope Scope;
    test::TTempDir Temp;
    TTrioSim Sim;
    std::string Slave, Settings;
    TControllerTRIO Controller;
    std::vector<int> Notes;
    std::vector<std::string> Errors;
};

TEST_F(TrioLinkTest, MoveCompletesOnceWhenTheTableShowsTheAxesIdle) {
    ASSERT_TRUE(Controller.Open(1, 9600, 1, false));
    Controller.SetFeedRate(2000);
    Controller.MoveLinear(400, -200, 100, false);
    EXPECT_FALSE(Controller.IsIdle()); // at once, before any table answer
    ASSERT_TRUE(test::ServeUntil([&] { return Count(WM_USER_MESSAGE + 1) == 1; }));
    int32_t x, y, z;
    ASSERT_TRUE(test::ServeUntil([&] { return Controller.GetPosition(x, y, z) && x == 400; }));
    EXPECT_EQ(y, -200);
    EXPECT_EQ(z, 100);
    EXPECT_TRUE(Controller.IsIdle());
    // Many more table answers, no second completion.
    size_t lines = Sim.Lines().size();
    ASSERT_TRUE(test::ServeUntil([&] { return Sim.Lines().size() > lines + 5; }));
    EXPECT_EQ(Count(WM_USER_MESSAGE + 1), 1);
    EXPECT_EQ(Count(WM_USER_MESSAGE), 0);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"SP(2000)", "MA(400,-200,100)"}));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(TrioLinkTest, TurboMovePostsUnderWayOnceRightAfterItsPrompt) {
    ASSERT_TRUE(Controller.Open(1, 9600, 1, false));
    Controller.SetTurboMode(true);
    Controller.SetFeedRate(500);
    Controller.MoveRapid(1000, 0, 0);
    ASSERT_TRUE(test::ServeUntil([&] { return Count(WM_USER_MESSAGE) == 1; }));
    ASSERT_TRUE(test::ServeUntil([&] { return Count(WM_USER_MESSAGE + 1) == 1; }));
    EXPECT_EQ(Count(WM_USER_MESSAGE), 1);
}

TEST_F(TrioLinkTest, HomingNamesTheAskedAxisAndJogsCarryTheirAxis) {
    ASSERT_TRUE(Controller.Open(1, 9600, 1, false));
    Controller.Home(1, 2);
    Controller.MoveAxisRelative(1, -5);
    Controller.MoveAxisAbsolute(2, 40);
    Controller.SetOutput(2, "1");
    Controller.SetOutput(8, "1"); // no such output: nothing
    Controller.Stop();
    EXPECT_EQ(Commands(), (std::vector<std::string>{"SP(10000)", "DATUM(3) AXIS(1)",
                                                    "MO((-5)) AXIS(1)", "MA(40) AXIS(2)",
                                                    "OP(2,1)", "RS"}));
    EXPECT_EQ(Sim.Outputs(), std::vector<std::string>{"2,1"});
}

TEST_F(TrioLinkTest, AnArcStopsTheRunWithAMachineError) {
    ASSERT_TRUE(Controller.Open(1, 9600, 1, false));
    Controller.MoveArc(10, 0, 0, 5, 0, 0, 5, 180, false, 17);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], "Machine Error: The Trio controller cuts no arcs");
    EXPECT_TRUE(Commands().empty());
}

TEST_F(TrioLinkTest, OpenFailsForABadPortOrAMissingDevice) {
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    EXPECT_FALSE(Controller.Open(7, 38400, 2, false));
    ASSERT_EQ(messages.Log().size(), 1u);
    EXPECT_EQ(messages.Log()[0].Text, "COM Port Number unsupported");
    TControllerTRIO other;
    other.SettingsFile = Temp.Write("Other.ini", "[Serial Ports]\nCOM2=" + Temp.File("none") + "\n");
    EXPECT_FALSE(other.Open(2, 38400, 2, false));
    EXPECT_FALSE(other.Worker().Running());
}

TEST(TrioLines, LinkCreatesTheTrioForControlType3) {
    auto c = CreateLineController(3, "");
    ASSERT_NE(c, nullptr);
    EXPECT_NE(dynamic_cast<TControllerTRIO *>(c.get()), nullptr);
}

// A test loop whose clock the worker shares: each step waits until the
// worker has looked at the time, so no deadline is skipped.
class TWorkerClockLoop : public TTestEventLoop {
public:
    void ProcessMessages() override {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (Worker && Worker->ClockSeen() < NowMs() && std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
        TTestEventLoop::ProcessMessages();
        Now = NowMs();
    }
    std::atomic<int64_t> Now{0};
    const TLowLevelTRIO *Worker = nullptr;
};

TEST(TrioTimeout, TwentyResendsThenOneMajorTimeoutPerLoss) {
    TWorkerClockLoop loop;
    TEventLoopScope scope(loop);
    test::TPtyPair pty; // the far side never answers
    TControllerTRIO c;
    c.SettingsFile = pty.Settings;
    c.Worker().Clock = [&loop] { return loop.Now.load(); };
    loop.Worker = &c.Worker();
    std::vector<std::string> errors;
    c.SetErrorHandler([&](TObject *, int, const std::string &Caption, const std::string &Message,
                          const std::string &) { errors.push_back(Caption + "|" + Message); });
    c.SetPollingDelay(1000000); // no table polls in the way
    ASSERT_TRUE(c.Open(1, 38400, 2, false));
    auto sends = [&pty](const std::string &Line) {
        std::string far = pty.Read();
        size_t n = 0;
        for (size_t at = 0; (at = far.find(Line + "\r", at)) != std::string::npos; ++at)
            ++n;
        return n;
    };
    // The first idle turn polls the table; unanswered, it is given up.
    for (int i = 0; i < 2500 && errors.empty(); ++i)
        loop.ProcessMessages();
    EXPECT_EQ(sends("TABLEVALUES(0,20,0)"), 21u);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "ERROR|Major Timeout Problem sending - TABLEVALUES(0,20,0)()");
    EXPECT_GE(loop.NowMs(), 21000);
    // Still silent: the next line goes once, given up after 1 s, and
    // the loss is not reported again.
    int64_t start = loop.NowMs();
    c.SetFeedRate(300);
    EXPECT_EQ(sends("SP(300)"), 1u);
    EXPECT_LT(loop.NowMs() - start, 1500);
    EXPECT_EQ(errors.size(), 1u);
    // A prompt again: full resends and a report of their own.
    pty.Write(">");
    c.Stop();
    for (int i = 0; i < 2500 && errors.size() < 2; ++i)
        loop.ProcessMessages();
    // Heard again, the worker may poll the table on an idle turn before the
    // stop goes out: whichever frame comes first gets the full resends and
    // the report.
    ASSERT_EQ(errors.size(), 2u);
    std::string far = pty.Read();
    auto count = [&far](const std::string &Line) {
        size_t n = 0;
        for (size_t at = 0; (at = far.find(Line + "\r", at)) != std::string::npos; ++at)
            ++n;
        return n;
    };
    if (errors[1] == "ERROR|Major Timeout Problem sending - RS(RS)")
        EXPECT_EQ(count("RS"), 21u);
    else {
        EXPECT_EQ(errors[1], "ERROR|Major Timeout Problem sending - TABLEVALUES(0,20,0)()");
        EXPECT_EQ(count("TABLEVALUES(0,20,0)"), 21u);
    }
}

} // namespace
} // namespace orv
