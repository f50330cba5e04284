#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <thread>

using namespace orv;

TEST(EventLoop, TimersFireAsTheTestClockAdvances)
{
    TTestEventLoop loop;
    TEventLoopScope scope(loop);
    std::vector<std::pair<char, int64_t>> fired;
    TTimer fast, slow;
    fast.SetInterval(100);
    slow.SetInterval(250);
    fast.OnTimer = [&] { fired.push_back({'f', loop.NowMs()}); };
    slow.OnTimer = [&] { fired.push_back({'s', loop.NowMs()}); };
    fast.SetEnabled(true);
    slow.SetEnabled(true);
    loop.Advance(300);
    std::vector<std::pair<char, int64_t>> expected{{'f', 100}, {'f', 200}, {'s', 250}, {'f', 300}};
    EXPECT_EQ(fired, expected);
    fast.SetEnabled(false);
    loop.Advance(200);
    EXPECT_EQ(fired.back(), (std::pair<char, int64_t>{'s', 500}));
}

TEST(EventLoop, DelayServesMessagesUntilTheTimeHasPassed)
{
    TTestEventLoop loop;
    TEventLoopScope scope(loop);
    int served = 0;
    std::thread worker([&] { loop.Post([&] { ++served; }); });
    worker.join();
    DelayMs(60);
    EXPECT_EQ(served, 1);
    EXPECT_GE(loop.NowMs(), 60);
}

TEST(EventLoop, EscapeIsSeenAfterServingMessages)
{
    TTestEventLoop loop;
    TEventLoopScope scope(loop);
    EXPECT_FALSE(EscapePressed());
    loop.SetKeyDown(VK_ESCAPE, true);
    EXPECT_TRUE(EscapePressed());
}

// A handler that serves messages (a run started from a port's poll) must
// not hear its own timer again before it returns, as in the program's Qt
// loop; other timers go on firing.
TEST(EventLoop, ATimerDoesNotFireInsideItsOwnHandler)
{
    TTestEventLoop loop;
    TEventLoopScope scope(loop);
    TTimer poll, other;
    int depth = 0, deepest = 0, polls = 0, others = 0;
    poll.SetInterval(50);
    other.SetInterval(50);
    poll.OnTimer = [&] {
        ++polls;
        deepest = std::max(deepest, ++depth);
        if (polls == 1)
            DelayMs(500); // a long wait inside the handler
        --depth;
    };
    other.OnTimer = [&] { ++others; };
    poll.SetEnabled(true);
    other.SetEnabled(true);
    loop.Advance(50);
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(polls, 1);
    EXPECT_GE(others, 10); // served all through the wait
    loop.Advance(1);
    EXPECT_EQ(polls, 2); // once, not a burst of the ticks it missed
}

// A wait inside a timer's handler moves on to the other timers, never to
// its own: that one cannot fire before the handler returns.
TEST(EventLoop, AWaitInsideATimersHandlerDoesNotWaitForThatTimer)
{
    TTestEventLoop loop;
    TEventLoopScope scope(loop);
    TTimer poll, other;
    poll.SetInterval(50);
    other.SetInterval(300);
    int others = 0;
    other.OnTimer = [&] { ++others; };
    poll.OnTimer = [&] {
        while (others == 0)
            loop.WaitForMessages();
    };
    poll.SetEnabled(true);
    other.SetEnabled(true);
    loop.Advance(50);
    EXPECT_EQ(others, 1);
    EXPECT_EQ(loop.NowMs(), 300);
}
