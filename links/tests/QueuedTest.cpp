// The queued framed controller (Control Type 4): frames and check bytes,
// arc texts, status replies and the done notification, checked replies,
// NAKs and silence written again (20 times, then "LowLevel Timed Out"),
// queued frames dropped at destruction, and the port errors of Open.

#include "links/LineTiming.h"
#include "links/LinkViews.h"
#include "links/LowLevel.h"
#include "links/LowLevelNew.h"
#include "links/ThreadComm32.h"
#include "links/sim/QueuedSim.h"
#include "links/tests/PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace orv {
namespace {

void Feed(TControllerLowLevelNew &C, const std::string &Bytes) {
    C.ReceiveData(reinterpret_cast<const uint8_t *>(Bytes.data()), int(Bytes.size()));
}

// Records what the controller shows in its debug window.
class TRecordingDebug : public TLineDebugView {
public:
    void AddSent(const std::string &Line) override { Sent->push_back(Line); }
    void AddReceived(const std::string &Line) override { Received->push_back(Line); }
    std::vector<std::string> *Sent, *Received;
};

// Installs the recording debug window for a test's lifetime.
struct TDebugScope {
    TDebugScope() {
        LinkViews().LineDebug = [this](const std::string &Caption) {
            Captions.push_back(Caption);
            auto v = std::make_unique<TRecordingDebug>();
            v->Sent = &Sent;
            v->Received = &Received;
            Views.push_back(v.get());
            return v;
        };
    }
    ~TDebugScope() { LinkViews().LineDebug = nullptr; }
    std::vector<std::string> Captions, Sent, Received;
    std::vector<TRecordingDebug *> Views;
};

TEST(QueuedFrames, FramesAndCheckBytes) {
    struct {
        std::string Frame, Printable;
    } cases[] = {
        {queued::CommandFrame("ST6"), "<EOT>ST6<ETX>" + frames::Printable(std::string(1, char(4 ^ 'S' ^ 'T' ^ '6' ^ 3)))},
        {queued::CommandFrame("VA610,-20,30"), ""},
        {queued::ReadFrame("zz6"), "<EOT>zz6<ENQ>"},
    };
    EXPECT_EQ(frames::Printable(cases[0].Frame), cases[0].Printable);
    // The check byte makes the XOR of the whole frame 0.
    EXPECT_EQ(frames::Check(cases[1].Frame), 0);
    EXPECT_EQ(frames::Printable(cases[2].Frame), cases[2].Printable);
}

TEST(QueuedFrames, ArcTextShiftsFullCirclesAndQuarterArcsOneStep) {
    struct {
        double Sweep;
        const char *Text;
    } cases[] = {
        {360, "G02X101Y200I50K40R10F300"},     {-360, "G03X99Y200I50K40R10F300"},
        {90.0005, "G02X100Y201I50K40R10F300"}, {90.002, "G02X100Y200I50K40R10F300"},
        {-90, "G03X100Y199I50K40R10F300"},     {45, "G02X100Y200I50K40R10F300"},
        {-180, "G03X100Y200I50K40R10F300"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(queued::ArcText(100, 200, 40, 50, 10, c.Sweep, 300), c.Text) << c.Sweep;
}

TEST(QueuedFrames, StatusRepliesPositionsAndOneDoneAfterBusy) {
    TPlainEventLoop loop;
    TEventLoopScope scope(loop);
    TDebugScope debug;
    TControllerLowLevelNew c;
    int done = 0;
    c.OnDone = [&](TObject *, bool InPos) { done += InPos ? 1 : 0; };
    Feed(c, frames::Reply("zz10,20,30,0,1,1"));
    EXPECT_FALSE(c.IsIdle());
    Feed(c, frames::Reply("zz11,21,31,1,1,1"));
    Feed(c, frames::Reply("zz11,21,31,1,1,1"));
    EXPECT_EQ(done, 1);
    EXPECT_TRUE(c.IsIdle());
    int32_t x, y, z;
    ASSERT_TRUE(c.GetPosition(x, y, z));
    EXPECT_EQ(x, 11);
    EXPECT_EQ(z, 31);

    // A reply with a wrong check byte is dropped, and shown.
    std::string bad = frames::Reply("zz99,99,99,0,0,0");
    bad.back() = char(bad.back() ^ 1);
    Feed(c, bad);
    ASSERT_TRUE(c.GetPosition(x, y, z));
    EXPECT_EQ(x, 11);
    ASSERT_FALSE(debug.Received.empty());
    EXPECT_EQ(debug.Received.back().rfind("[BAD CHECK]", 0), 0u);
    // A check byte that looks like STX or an acknowledgement is still one.
    for (std::string text : {"zz,20,30,1,1,1", "zz5,6,7,1,1,1"}) {
        Feed(c, frames::Reply(text));
    }
    ASSERT_TRUE(c.GetPosition(x, y, z));
    EXPECT_EQ(x, 5);
    Feed(c, frames::Reply("zz,20,30,1,1,1"));
    EXPECT_FALSE(c.GetPosition(x, y, z)); // X not a number: no position
    EXPECT_EQ(x, TControllerLowLevelNew::NoPosition);
    EXPECT_EQ(debug.Captions, std::vector<std::string>{"LowLevelNewDebugForm"});
}

// A test loop (10 ms a turn) on which the test plays the far side: before
// each turn it looks at the frames that arrived and may answer; an answer
// waits (bounded) until the reader has posted all of it, so the clock never
// outruns it.
class TFarSideLoop : public TTestEventLoop {
public:
    void Post(std::function<void()> Message) override {
        ++Posted;
        TTestEventLoop::Post(std::move(Message));
    }
    void ProcessMessages() override {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (Port && Port->BytesWritten() < Port->BytesQueued() &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
        if (OnTurn)
            OnTurn();
        TTestEventLoop::ProcessMessages();
    }
    void Answer(test::TPtyPair &Pty, const std::string &Bytes) {
        int want = Posted + int(Bytes.size());
        Pty.Write(Bytes);
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (Posted < want && std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
    }
    std::function<void()> OnTurn;
    std::atomic<int> Posted{0};
    const TThreadComm32 *Port = nullptr; // the writer it waits for
};

class QueuedWireTest : public ::testing::Test {
protected:
    QueuedWireTest() : Scope(Loop) {
        C = std::make_unique<TControllerLowLevelNew>();
        C->SettingsFile = Pty.Settings;
        Loop.Port = &C->Port();
        C->SetErrorHandler([this](TObject *, int, const std::string &Caption,
                                  const std::string &Message, const std::string &) {
            Errors.push_back(Caption + "|" + Message);
        });
    }
    // Frames the far side has received so far (printable), in order.
    const std::vector<std::string> &FarFrames() {
        Far += Pty.Read();
        std::string f;
        size_t i = 0;
        for (; i < Far.size(); ++i) {
            if (Far[i] == frames::ETX && i + 1 >= Far.size())
                break; // its check byte is still on the way
            f += Far[i];
            if (Far[i] == frames::ETX)
                f += Far[++i];
            if (Far[i] == frames::ENQ || f.size() > 1 && Far[i - 1] == frames::ETX) {
                Frames.push_back(frames::Printable(f));
                f.clear();
            }
        }
        Far.erase(0, i - f.size());
        return Frames;
    }
    TFarSideLoop Loop;
    TEventLoopScope Scope;
    test::TPtyPair Pty;
    std::unique_ptr<TControllerLowLevelNew> C;
    std::vector<std::string> Errors, Frames;
    std::string Far;
};

TEST_F(QueuedWireTest, NakAndSilenceWriteTheFrameAgainThenTheRunStops) {
    int64_t nakAt = -1, secondAt = -1;
    Loop.OnTurn = [&] {
        size_t n = FarFrames().size();
        if (n == 1 && nakAt < 0) {
            nakAt = Loop.NowMs();
            Loop.Answer(Pty, std::string(1, char(0x81))); // a NAK: written again at once
        }
        if (n == 2 && secondAt < 0)
            secondAt = Loop.NowMs();
    };
    ASSERT_TRUE(C->Open(1, 9600, 1, false));
    for (int i = 0; i < 3000 && Errors.empty(); ++i)
        Loop.ProcessMessages();
    EXPECT_LE(secondAt - nakAt, 60); // on the next tick, not after 1 s
    // The first send and 20 more, the NAK's among them.
    EXPECT_EQ(FarFrames(), std::vector<std::string>(21, "<EOT>zz6<ENQ>"));
    EXPECT_EQ(Errors, std::vector<std::string>{"ERROR|LowLevel Timed Out"});
    EXPECT_GE(Loop.NowMs(), 20000);
    // Still silent: a later frame goes once, and no second report.
    Loop.OnTurn = nullptr;
    C->Stop();
    int64_t start = Loop.NowMs();
    while (Loop.NowMs() - start < 3000)
        Loop.ProcessMessages();
    std::vector<std::string> frames = FarFrames();
    EXPECT_EQ(std::count(frames.begin(), frames.end(),
                         frames::Printable(queued::CommandFrame("ST6"))),
              1);
    EXPECT_EQ(Errors.size(), 1u);
}

TEST_F(QueuedWireTest, AnAcknowledgementByteCompletesTheWait) {
    size_t answered = 0;
    Loop.OnTurn = [&] {
        const std::vector<std::string> &f = FarFrames();
        for (; answered < f.size(); ++answered)
            Loop.Answer(Pty, f[answered] == "<EOT>zz6<ENQ>" ? frames::Reply("zz0,0,0,1,1,1")
                                                             : std::string(1, char(0x80)));
    };
    ASSERT_TRUE(C->Open(1, 9600, 1, false));
    C->MoveRapid(1, 2, 3);
    for (int i = 0; i < 100; ++i)
        Loop.ProcessMessages();
    EXPECT_EQ(FarFrames(), (std::vector<std::string>{
                               "<EOT>zz6<ENQ>", frames::Printable(queued::CommandFrame("MA61,2,3"))}));
    EXPECT_FALSE(C->IsIdle());
    EXPECT_TRUE(Errors.empty());
}

// The status asked for before an arc was queued shows the axes idle: the
// arc waiting behind it keeps them busy, so a wait for idle does not end
// before the arc has even been written.
TEST_F(QueuedWireTest, AStatusTakenBeforeAQueuedMoveLeavesTheAxesBusy) {
    int done = 0;
    C->OnDone = [&](TObject *, bool) { ++done; };
    size_t answered = 0;
    Loop.OnTurn = [&] {
        const std::vector<std::string> &f = FarFrames();
        if (answered == 0 && f.size() == 1) {
            C->MoveArc(10, 10, 0, 0, 10, 0, 10, 90, false, 17);
            Loop.Answer(Pty, frames::Reply("zz0,0,0,1,1,1"));
            answered = 1;
        }
        for (; answered > 0 && answered < f.size(); ++answered)
            Loop.Answer(Pty, std::string(1, char(0x80))); // the arc acknowledged
    };
    ASSERT_TRUE(C->Open(1, 9600, 1, false));
    for (int i = 0; i < 30; ++i) {
        Loop.ProcessMessages();
        if (answered > 0)
            ASSERT_FALSE(C->IsIdle()) << "turn " << i;
    }
    ASSERT_EQ(FarFrames().size(), 2u);
    EXPECT_EQ(FarFrames()[1].rfind("<EOT>G02X10Y11", 0), 0u) << FarFrames()[1];
    EXPECT_EQ(done, 0);
}

// The status frame goes twice (1 s without a reply) and both replies come,
// the second once the next frame, a move, awaits its acknowledgement: that
// late reply is shown, but neither acknowledges the move nor completes it.
TEST_F(QueuedWireTest, ALateSecondReplyIsNotTakenForTheNextFrame) {
    TDebugScope debug;
    C = std::make_unique<TControllerLowLevelNew>();
    C->SettingsFile = Pty.Settings;
    Loop.Port = &C->Port();
    int done = 0, replies = 0;
    C->OnDone = [&](TObject *, bool) { ++done; };
    Loop.OnTurn = [&] {
        const std::vector<std::string> &f = FarFrames();
        if (f.size() == 2 && replies == 0) {
            C->MoveRapid(1, 2, 3);
            Loop.Answer(Pty, frames::Reply("zz0,0,0,1,1,1")); // the first reply
            replies = 1;
        }
        if (f.size() == 3 && replies == 1) {
            Loop.Answer(Pty, frames::Reply("zz0,0,0,1,1,1")); // the second, late
            replies = 2;
        }
    };
    ASSERT_TRUE(C->Open(1, 9600, 1, false));
    for (int i = 0; i < 250 && FarFrames().size() < 4; ++i)
        Loop.ProcessMessages();
    // Unacknowledged, the move is written again after 1 s.
    std::string move = frames::Printable(queued::CommandFrame("MA61,2,3"));
    EXPECT_EQ(FarFrames(), (std::vector<std::string>{"<EOT>zz6<ENQ>", "<EOT>zz6<ENQ>", move, move}));
    ASSERT_EQ(debug.Received.size(), 2u);
    EXPECT_EQ(debug.Received[1].rfind("[LATE] ", 0), 0u) << debug.Received[1];
    EXPECT_EQ(done, 0);
    EXPECT_FALSE(C->IsIdle());
}

TEST_F(QueuedWireTest, FramesQueuedAtDestructionAreDropped) {
    ASSERT_TRUE(C->Open(1, 9600, 1, false));
    for (int i = 0; i < 10; ++i)
        C->MoveLinear(i, i, i, false);
    EXPECT_EQ(C->Queued(), 11u);
    Loop.Port = nullptr;
    C.reset();
    EXPECT_TRUE(FarFrames().empty());
}

TEST_F(QueuedWireTest, OpenReportsThePortError) {
    C->SettingsFile =
        Pty.Temp.Write("Other.ini", "[Serial Ports]\nCOM2=" + Pty.Temp.File("none") + "\n");
    EXPECT_FALSE(C->Open(2, 9600, 1, false));
    EXPECT_EQ(Errors, std::vector<std::string>{"ERROR|Error opening com port: COM2"});
}

// An axis move shows in the debug window whether a frame is on its way
// ("SENDING1") or not ("SENDING0") before its own frame is queued.
TEST_F(QueuedWireTest, AnAxisMoveShowsWhetherAFrameIsBeingSent) {
    Loop.Port = nullptr;
    TDebugScope debug;
    C = std::make_unique<TControllerLowLevelNew>();
    C->SettingsFile = Pty.Settings;
    Loop.Port = &C->Port();
    C->MoveAxisAbsolute(1, 250);
    ASSERT_TRUE(C->Open(1, 9600, 1, false));
    for (int i = 0; i < 200 && FarFrames().empty(); ++i)
        Loop.ProcessMessages();
    ASSERT_FALSE(FarFrames().empty()); // written, its reply never comes
    C->MoveAxisAbsolute(2, -40);
    std::vector<std::string> sending;
    for (const std::string &l : debug.Sent)
        if (l.rfind("SENDING", 0) == 0)
            sending.push_back(l);
    EXPECT_EQ(sending, (std::vector<std::string>{"SENDING0", "SENDING1"}));
    EXPECT_EQ(C->Queued(), 3u); // the two axis moves behind the status request
}

// Against the simulator, on the real clock.
// While it lives, the controllers made write a frame again only after Ms
// (on the machine after 1 s): a late answer of a loaded test machine is no
// lost one.
struct TResendAfter {
    explicit TResendAfter(int Ms) : Was(LineResendMs().load()) { LineResendMs() = Ms; }
    ~TResendAfter() { LineResendMs() = Was; }
    int Was;
};

class QueuedSimTest : public ::testing::Test {
protected:
    QueuedSimTest() : Scope(Loop) {
        std::string error, slave;
        EXPECT_TRUE(Sim.Open(slave, error)) << error;
        Sim.SpeedUp = 20;
        Sim.Start();
        C.SettingsFile = Temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM1=" + slave + "\n");
        C.OnDone = [this](TObject *, bool) { ++Done; };
        C.SetErrorHandler([this](TObject *, int, const std::string &, const std::string &Message,
                                 const std::string &) { Errors.push_back(Message); });
    }
    ~QueuedSimTest() override { Sim.Stop(); }
    TPlainEventLoop Loop;
    TEventLoopScope Scope;
    test::TTempDir Temp;
    TQueuedSim Sim;
    // Long enough for a late acknowledgement, short enough for the status
    // answers with a wrong check byte (asked again at this time) to pass.
    TResendAfter Resend{3000};
    TControllerLowLevelNew C;
    int Done = 0;
    std::vector<std::string> Errors;
};

TEST_F(QueuedSimTest, MoveAndHomeCompleteThroughStatusPolls) {
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    C.HomeFeed = 2000;
    C.MoveLinear(400, 300, -100, false);
    int32_t x, y, z;
    ASSERT_TRUE(test::ServeUntil([&] {
        C.GetPosition(x, y, z);
        return Done == 1;
    }));
    ASSERT_TRUE(test::ServeUntil([&] { return C.GetPosition(x, y, z) && x == 400; }));
    EXPECT_EQ(y, 300);
    C.Home(1, 2);
    EXPECT_EQ(Done, 2);
    C.GetPosition(x, y, z);
    ASSERT_TRUE(test::ServeUntil([&] { return C.GetPosition(x, y, z) && y == 0; }));
    std::vector<std::string> writes = Sim.Received("write");
    EXPECT_EQ(writes, (std::vector<std::string>{
                          frames::Printable(queued::CommandFrame("VA6400,300,-100")),
                          frames::Printable(queued::CommandFrame("HS62000,2000,2000")),
                          frames::Printable(queued::CommandFrame("HM12"))}));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(QueuedSimTest, AWrongCheckByteIsNakedAndWrittenAgain) {
    Sim.AddFault(TQueuedSim::Nak, "VA6");
    Sim.AddFault(TQueuedSim::BadCheck, "zz6", 2);
    ASSERT_TRUE(C.Open(1, 9600, 1, false));
    C.MoveLinear(40, 30, 0, false);
    int32_t x, y, z;
    ASSERT_TRUE(test::ServeUntil([&] {
        C.GetPosition(x, y, z);
        return Done == 1;
    }));
    std::vector<std::string> writes = Sim.Received("write");
    EXPECT_EQ(writes, std::vector<std::string>(
                          2, frames::Printable(queued::CommandFrame("VA640,30,0"))));
    EXPECT_TRUE(Errors.empty());
}

} // namespace
} // namespace orv
