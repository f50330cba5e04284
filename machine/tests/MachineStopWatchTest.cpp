// The dwell countdown on a test clock: its display, its callback and the
// window it drives.

#include "machine/StopWatch.h"
#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

class MachineStopWatchTest : public ::testing::Test {
protected:
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
};

TEST_F(MachineStopWatchTest, CountsDownInTenthsAndCallsBackAtZero) {
    TDownCounter counter;
    int done = 0;
    counter.OnDone = [&](TDownCounter &Sender) {
        EXPECT_EQ(&Sender, &counter);
        ++done;
    };
    counter.SetDuration(1000);
    counter.SetEnabled(true);
    EXPECT_EQ(counter.CountText(), "1.0");
    Loop.Advance(100);
    EXPECT_EQ(counter.CountText(), "0.9");
    Loop.Advance(800);
    EXPECT_EQ(done, 0);
    Loop.Advance(99);
    EXPECT_EQ(done, 0) << "999 ms";
    Loop.Advance(1);
    EXPECT_EQ(done, 1) << "tenth tick";
    EXPECT_EQ(counter.Remaining(), 0);
    Loop.Advance(1000);
    EXPECT_EQ(done, 1) << "the timer stopped";
}

TEST_F(MachineStopWatchTest, DurationsAtTheEdges) {
    struct TCase {
        const char *Name;
        int Duration;
        int DoneAtMs;
    };
    const TCase cases[] = {{"zero calls back at the first tick", 0, 100},
                           {"one millisecond takes a tick", 1, 100},
                           {"just over a tick takes two", 101, 200},
                           {"negative is over at once", -500, 100}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TDownCounter counter;
        int64_t doneAt = -1;
        counter.OnDone = [&](TDownCounter &) { doneAt = Loop.NowMs(); };
        counter.SetDuration(c.Duration);
        int64_t start = Loop.NowMs();
        counter.SetEnabled(true);
        Loop.Advance(1000);
        EXPECT_EQ(doneAt - start, c.DoneAtMs);
    }
}

TEST_F(MachineStopWatchTest, WithoutHandlerTheCountRunsOnBelowZero) {
    TDownCounter counter;
    counter.SetDuration(200);
    counter.SetEnabled(true);
    Loop.Advance(300);
    EXPECT_EQ(counter.CountText(), "-0.1");
    EXPECT_TRUE(counter.Enabled());
}

class TRecordingView : public TDownCounterView {
public:
    explicit TRecordingView(std::vector<std::string> &Log) : FLog(Log) {}
    void ShowCounter() override { FLog.push_back("show"); }
    void ShowCount(const std::string &Text) override { FLog.push_back(Text); }
    void HideCounter() override { FLog.push_back("hide"); }

private:
    std::vector<std::string> &FLog;
};

TEST_F(MachineStopWatchTest, WindowShowsTheCountAndHidesWhenFreed) {
    std::vector<std::string> log;
    SetDownCounterViewFactory([&] { return std::make_unique<TRecordingView>(log); });
    {
        TDownCounter counter;
        counter.SetDuration(200);
        counter.OnDone = [](TDownCounter &) {};
        counter.SetEnabled(true);
        Loop.Advance(200);
    }
    SetDownCounterViewFactory(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"show", "0.2", "0.1", "0.0", "hide"}));
}

} // namespace
} // namespace orv
