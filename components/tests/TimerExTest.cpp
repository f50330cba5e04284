// The thread-capable timer: ticks from the event loop or from its worker,
// none without an interval or a handler, none once disabled, and a timer
// freed in the middle of a tick's wait returns.
#include "components/TimerEx.h"

#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace orv {
namespace {

// Serves the loop until Done holds, for at most 10 s of real time.
template <class F>
bool ServeUntil(TTestEventLoop &Loop, F Done)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Done() && std::chrono::steady_clock::now() < end) {
        Loop.ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return Done();
}

// Counts the messages posted to it, from any thread.
class TCountingLoop : public TTestEventLoop {
public:
    void Post(std::function<void()> Message) override
    {
        TTestEventLoop::Post(std::move(Message));
        ++Posted;
    }
    std::atomic<int> Posted{0};
};

// Waits, without serving the loop, until Done holds, for at most 10 s.
template <class F>
bool WaitUntil(F Done)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return Done();
}

class TimerEx : public ::testing::Test {
protected:
    TCountingLoop Loop;
    TEventLoopScope Scope{Loop};
};

TEST_F(TimerEx, NoTicksWithoutIntervalOrHandler)
{
    for (bool threaded : {false, true}) {
        int ticks = 0;
        TTimerEx zero;
        zero.SetThreaded(threaded);
        zero.SetInterval(0);
        zero.SetOnTimer([&] { ++ticks; });
        TTimerEx silent;
        silent.SetThreaded(threaded);
        silent.SetInterval(1);
        Loop.Advance(50);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Loop.ProcessMessages();
        EXPECT_EQ(ticks, 0);
        EXPECT_EQ(Loop.Posted, 0) << "no worker posts ticks nobody takes";
    }
}

TEST_F(TimerEx, WindowTimerTicksOnTheClock)
{
    int ticks = 0;
    TTimerEx timer;
    timer.SetInterval(100);
    timer.SetOnTimer([&] { ++ticks; });
    Loop.Advance(350);
    EXPECT_EQ(ticks, 3);
}

TEST_F(TimerEx, ThreadedTicksRunInTheUserInterfaceThreadAndThenTheWindowTimerGoesOn)
{
    const auto ui = std::this_thread::get_id();
    std::atomic<int> ticks{0};
    std::atomic<bool> elsewhere{false};
    TTimerEx timer;
    timer.SetInterval(5);
    timer.SetThreaded(true);
    timer.SetOnTimer([&] {
        if (std::this_thread::get_id() != ui)
            elsewhere = true;
        ++ticks;
    });
    ASSERT_TRUE(ServeUntil(Loop, [&] { return ticks >= 3; }));
    EXPECT_FALSE(elsewhere);
    // Threading goes off while the worker's next tick waits in the queue
    // (posted, not yet run): that tick belongs to the worker that ended and
    // is dropped.
    ASSERT_TRUE(WaitUntil([&] { return Loop.Posted > ticks; }));
    timer.SetThreaded(false);
    const int before = ticks;
    Loop.Advance(20);
    EXPECT_EQ(ticks, before + 4);
}

TEST_F(TimerEx, DisablingDropsAWaitingTick)
{
    std::atomic<int> ticks{0};
    auto timer = std::make_unique<TTimerEx>();
    timer->SetInterval(1);
    timer->SetThreaded(true);
    timer->SetOnTimer([&] { ++ticks; });
    // The worker posts a tick and waits; the queue is not served meanwhile.
    ASSERT_TRUE(WaitUntil([&] { return Loop.Posted > 0; }));
    timer->SetEnabled(false);
    Loop.ProcessMessages();
    EXPECT_EQ(ticks, 0);
    // Freeing with a tick still queued returns, and the tick does nothing.
    const int posted = Loop.Posted;
    timer->SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return Loop.Posted > posted; }));
    timer.reset();
    Loop.ProcessMessages();
    EXPECT_EQ(ticks, 0);
}

TEST_F(TimerEx, ThreadSafeTicksRunInTheWorker)
{
    std::atomic<int> ticks{0};
    TTimerEx timer;
    timer.ThreadSafe = true;
    timer.SetInterval(2);
    timer.SetThreaded(true);
    timer.SetOnTimer([&] { ++ticks; });
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ticks < 3 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GE(ticks, 3);
}

} // namespace
} // namespace orv
