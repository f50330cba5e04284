// The router box controller: status answers with the echo removed, M code
// lines, no position or jog before the first answer, homing with its park
// line and offset, the emergency stop and its recovery, and an echo that
// never comes reported once; echo waits from CR up and the look-ahead
// entries taken in order around an arc, against a far side of the test's own.

#include "links/ControllerQuorel.h"
#include "links/sim/RouterSim.h"
#include "links/tests/PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv {
namespace {

TEST(QuorelLines, StatusAnswers) {
    struct {
        const char *Answer;
        bool Ok;
        int32_t X, Y, Z;
        const char *Tail;
    } cases[] = {
        {"x100y-200z300G", true, 100, -200, 300, "G"},
        {"x0y0z-15000goes", true, 0, 0, -15000, "goes"},
        {"x1y2", false, 0, 0, 0, ""},          // no "z": nothing changes
        {"x-y2z3", false, 0, 0, 0, ""},        // a lone sign is no number
        {"xz?x5y6z7", false, 0, 0, 0, ""},     // the echo must be gone first
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Answer);
        quorel::TStatus s;
        ASSERT_EQ(quorel::ParseStatus(c.Answer, s), c.Ok);
        if (!c.Ok)
            continue;
        EXPECT_EQ(s.X, c.X);
        EXPECT_EQ(s.Y, c.Y);
        EXPECT_EQ(s.Z, c.Z);
        EXPECT_EQ(s.Tail, c.Tail);
    }
}

TEST(QuorelLines, MCodeLines) {
    struct {
        int M, C, S;
        const char *Line;
    } cases[] = {
        {3, 0, 1000, "M03 S1000"}, {3, 5, 1000, "M05 S1000"}, {4, 0, 800, "M04 S800"},
        {30, 0, 0, "M05"},         {8, 8, 0, "M08"},          {8, 0, 0, ""},
        {13, 12, 0, "M12"},        {9, -1, 0, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(quorel::MCodeLine(c.M, c.C, c.S), c.Line) << c.M << " " << c.C;
}

class QuorelSimTest : public ::testing::Test {
protected:
    QuorelSimTest() : Scope(Loop) {
        std::string error, slave;
        EXPECT_TRUE(Sim.Open(slave, error)) << error;
        Sim.SpeedUp = 20;
        // A late echo is no fault here (the tests of a missing one set the
        // box's own second back): on a loaded machine one may take longer.
        C.EchoTimeOutMs = 600000;
        C.SettingsFile = Temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM1=" + slave + "\n");
        C.OnDone = [this](TObject *, bool) { ++Done; };
        C.SetErrorHandler([this](TObject *, int, const std::string &, const std::string &Message,
                                 const std::string &) { Errors.push_back(Message); });
    }
    ~QuorelSimTest() override { Sim.Stop(); }
    // Lines the box got, without status requests.
    std::vector<std::string> Commands() const {
        std::vector<std::string> out;
        for (const std::string &l : Sim.Lines())
            if (l != "xz?")
                out.push_back(l);
        return out;
    }
    bool Poll() {
        int32_t x, y, z;
        return C.GetPosition(x, y, z);
    }
    TPlainEventLoop Loop;
    TEventLoopScope Scope;
    test::TTempDir Temp;
    TRouterSim Sim;
    TControllerQuorel C;
    int Done = 0;
    std::vector<std::string> Errors;
};

TEST_F(QuorelSimTest, NoPositionOrJogBeforeTheFirstStatusAnswer) {
    Sim.Start();
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    int32_t x, y, z;
    EXPECT_FALSE(C.GetPosition(x, y, z));
    EXPECT_EQ(x, 50000);
    C.MoveAxisRelative(0, 100);
    C.MoveAxisAbsolute(1, 100);
    EXPECT_EQ(std::count_if(C.QueuedLines().begin(), C.QueuedLines().end(),
                            [](const std::string &l) { return l.find("G01") != std::string::npos; }),
              0);
    // The box answers: the position is the box's, read past the echo.
    ASSERT_TRUE(test::ServeUntil([&] { return Poll(); }));
    ASSERT_TRUE(C.GetPosition(x, y, z));
    EXPECT_EQ(x, 0);
    C.SetFeedRate(2000);
    C.MoveAxisRelative(0, 100);
    ASSERT_TRUE(test::ServeUntil([&] {
        Poll();
        return Done == 1;
    }));
    ASSERT_TRUE(test::ServeUntil([&] { return Poll() && C.GetPosition(x, y, z) && x == 100; }));
    EXPECT_EQ(Commands(), (std::vector<std::string>{"mode0", "lathe", "o", "S200", "auto",
                                                    "G01X100Y0Z0F2000"}));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(QuorelSimTest, HomingSendsTheParkLineAndOffsetAndWaitsForTheParkAnswer) {
    Sim.Start();
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    C.HomeOffsetY = 125;
    ASSERT_TRUE(test::ServeUntil([&] { return Poll(); }));
    C.Home(1, 2);
    EXPECT_EQ(Sim.Lines().back().rfind("park-y", 0), 0u);
    ASSERT_TRUE(test::ServeUntil([&] { return C.Queued() == 0; }));
    std::vector<std::string> lines = Commands();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"man", "park-y", "ydY125"}));
}

TEST_F(QuorelSimTest, MCodesGoInAutomaticMode) {
    Sim.Start();
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    C.SetSpindleSpeed(1000);
    C.WriteComms(18, 3);
    C.WriteComms(18, 30);
    // Each call returns once the box has answered its line.
    EXPECT_EQ(C.Queued(), 0u);
    std::vector<std::string> lines = Commands();
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"auto", "M03 S1000", "M05"}));
}

TEST_F(QuorelSimTest, EmergencyStopResetsThenRestoresTheBox) {
    Sim.EStopAt("G01", 2);
    Sim.Start();
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    int stops = 0;
    C.OnStopped = [&](TObject *) { ++stops; };
    ASSERT_TRUE(test::ServeUntil([&] { return Poll(); }));
    C.MoveLinear(10, 10, 10, false);
    ASSERT_TRUE(test::ServeUntil([&] {
        Poll();
        return C.IsStopped();
    }));
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(Done, 0); // the move never ended: no done
    ASSERT_TRUE(test::ServeUntil([&] {
        Poll();
        std::vector<std::string> lines = Sim.Lines();
        return !C.IsStopped() && std::count(lines.begin(), lines.end(), "lathe") == 2;
    }));
    std::vector<std::string> lines = Sim.Lines();
    auto reset = std::find(lines.begin(), lines.end(), "reset");
    ASSERT_NE(reset, lines.end());
    EXPECT_EQ(*(reset + 1), "xz?");
    auto mode = std::find(reset, lines.end(), "mode0");
    ASSERT_NE(mode, lines.end());
    EXPECT_EQ(*(mode + 1), "lathe");
    EXPECT_GE(std::count(lines.begin(), lines.end(), "reset"), 2);
}

TEST_F(QuorelSimTest, AMissingEchoIsReportedOnceNamingTheLine) {
    Sim.DropEchoAt("G01X5");
    Sim.Start();
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    ASSERT_TRUE(test::ServeUntil([&] { return Poll(); }));
    C.EchoTimeOutMs = 1000;
    C.SetFeedRate(100);
    C.MoveLinear(5, 5, 5, false);
    ASSERT_TRUE(test::ServeUntil([&] { return !Errors.empty(); }));
    EXPECT_EQ(Errors, std::vector<std::string>{"Router box: no echo for \"G01X5Y5Z5F100\""});
    EXPECT_EQ(C.Queued(), 0u);
}

TEST_F(QuorelSimTest, AnAnswerThatNeverComesIsReportedOnce) {
    Sim.SilenceAt("G01");
    Sim.Start();
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    ASSERT_TRUE(test::ServeUntil([&] { return Poll(); }));
    C.AnswerTimeOutMs = 1500;
    C.MoveLinear(5, 5, 5, false);
    C.QueueLine("q"); // a second line behind the silent one (a stop would drop the move)
    ASSERT_TRUE(test::ServeUntil([&] { return !Errors.empty(); }));
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("G01X5Y5Z5"), std::string::npos) << Errors[0];
}

// The far side played by the test on a bare pseudo-terminal: characters
// from CR up are echoed, and a line is answered after the echo of its CR
// ("x0y0z0G", still moving, for "xz?").
class QuorelWireTest : public ::testing::Test {
protected:
    QuorelWireTest() : Scope(Loop) {
        C.EchoTimeOutMs = 600000; // as above
        C.SettingsFile = Pty.Settings;
        C.OnDone = [this](TObject *, bool) { DoneAtStatus.push_back(Statuses); };
        C.SetErrorHandler([this](TObject *, int, const std::string &, const std::string &Message,
                                 const std::string &) { Errors.push_back(Message); });
    }
    void Serve() {
        for (char b : Pty.Read()) {
            if (uint8_t(b) >= 13)
                Pty.Write(std::string(1, b));
            if (b != '\r') {
                Line += b;
                continue;
            }
            Got.push_back(Line);
            if (Line == "xz?") {
                ++Statuses;
                Pty.Write(std::string("x0y0z0G") + quorel::DC1);
            } else {
                Pty.Write(std::string(1, quorel::DC1));
            }
            Line.clear();
        }
    }
    bool ServeUntilSent() {
        return test::ServeUntil([&] {
            Serve();
            return C.Queued() == 0;
        });
    }
    TPlainEventLoop Loop;
    TEventLoopScope Scope;
    test::TPtyPair Pty;
    TControllerQuorel C;
    std::string Line;
    std::vector<std::string> Got, Errors;
    int Statuses = 0;
    std::vector<int> DoneAtStatus; // statuses answered when each done came
};

// A character below CR is written without waiting for its echo; from CR
// up each one waits, and a lost echo is reported.
TEST_F(QuorelWireTest, EchoWaitsFromCarriageReturnUp) {
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    ASSERT_TRUE(ServeUntilSent());
    C.QueueLine(std::string("P\x01\x0b") + "Q");
    ASSERT_TRUE(ServeUntilSent());
    EXPECT_TRUE(Errors.empty()) << Errors.front();
    EXPECT_EQ(Got.back(), std::string("P\x01\x0b") + "Q");
}

// The far side echoes nothing below CR, so the CR of a line that is never
// echoed is found by its own 1 s wait.
TEST_F(QuorelWireTest, AnUnechoedCarriageReturnIsReported) {
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    ASSERT_TRUE(ServeUntilSent());
    C.EchoTimeOutMs = 1000;
    C.QueueLine("P");
    bool sawP = false;
    ASSERT_TRUE(test::ServeUntil([&] {
        for (char b : Pty.Read()) {
            if (b == 'P' && !sawP) {
                sawP = true;
                Pty.Write("P"); // echoed; the CR after it is not
            }
        }
        return !Errors.empty();
    }));
    EXPECT_EQ(Errors, std::vector<std::string>{"Router box: no echo for \"P\""});
}

// Each G01 line takes the next look-ahead entry and each arc its own "N":
// a status that shows the box still moving completes the look-ahead lines
// only, whatever was queued between them.
TEST_F(QuorelWireTest, LookAheadEntriesAreTakenInOrderAroundAnArc) {
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    ASSERT_TRUE(ServeUntilSent());
    int start = Statuses;
    C.SetFeedRate(600);
    C.MoveLinear(10, 0, 0, true);
    C.QueueLine("xz?");
    C.MoveArc(20, 10, 0, 10, 10, 0, 10, 90, true, 0);
    C.QueueLine("xz?");
    C.MoveLinear(30, 10, 0, false);
    C.QueueLine("xz?");
    C.MoveLinear(40, 10, 0, true);
    C.QueueLine("xz?");
    ASSERT_TRUE(ServeUntilSent());
    EXPECT_EQ(DoneAtStatus, (std::vector<int>{start + 1, start + 4}));
    EXPECT_TRUE(Errors.empty());
}

// A move queued behind other lines makes the box busy at once: a wait for
// idle (the tool change's move) does not end before the move was sent.
TEST_F(QuorelWireTest, AMoveWaitingInTheQueueIsNotIdle) {
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    ASSERT_TRUE(ServeUntilSent());
    EXPECT_TRUE(C.IsIdle());
    C.QueueLine("xz?");
    C.MoveLinear(5, 5, 5, false);
    EXPECT_FALSE(C.IsIdle());
    ASSERT_TRUE(ServeUntilSent());
    EXPECT_FALSE(C.IsIdle()); // the box's answer says "G": still moving
    EXPECT_TRUE(DoneAtStatus.empty());
}

// A stop (an e-stop seen while a move waits, Escape) keeps the moves
// still waiting in the queue from going after it: the line on its way
// finishes, "q" follows, and the box counts as idle again, so a later
// wait for idle (homing) can end.
TEST_F(QuorelWireTest, AStopDropsTheMovesStillQueued) {
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    ASSERT_TRUE(ServeUntilSent());
    C.SetFeedRate(600);
    C.QueueLine("xz?");
    C.MoveLinear(5, 5, 5, true);
    C.MoveArc(20, 10, 0, 10, 10, 0, 10, 90, true, 0);
    C.MoveRapid(0, 0, 0);
    EXPECT_FALSE(C.IsIdle());
    C.Stop();
    EXPECT_TRUE(C.IsIdle());
    // The switch to automatic stays; the three moves are gone.
    EXPECT_EQ(C.QueuedLines(), (std::deque<std::string>{"xz?", "auto", "q"}));
    ASSERT_TRUE(ServeUntilSent());
    EXPECT_EQ(std::vector<std::string>(Got.end() - 3, Got.end()),
              (std::vector<std::string>{"xz?", "auto", "q"}));
    EXPECT_TRUE(C.IsIdle());
    EXPECT_TRUE(Errors.empty());
}

} // namespace
} // namespace orv
