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
