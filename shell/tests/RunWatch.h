#pragma once
// For tests of requests that come while a run goes on: a program long
// enough to still be running when they come, and a watch that notes on the
// test clock the first moment something holds, with the run state then.
// The watch is a 10 ms timer, so it is served inside a run as the remote
// inputs' own timers are.

#include "engine/form/base.h"
#include "platform/EventLoop.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orv::test {

// A zigzag of Moves feed moves inside 50 x 5 mm, then M30. Every hand-out
// serves the loop once, so a run takes about Moves * 10 ms of test clock.
inline std::string LongProgram(int Moves)
{
    std::string text = "G1 X0 Y0 F300\n";
    for (int i = 1; i <= Moves; ++i)
        text += "X" + std::to_string(i % 100 / 2) + "." + (i % 2 ? "5" : "0") + " Y" +
                std::to_string(i % 2 * 5) + "\n";
    return text + "M30\n";
}

class TWatch {
public:
    static constexpr int TickMs = 10;

    TWatch(const TBaseForm &Engine, std::function<bool()> Seen)
        : FEngine(Engine), FSeen(std::move(Seen))
    {
        FTimer.SetInterval(TickMs);
        FTimer.OnTimer = [this] { Look(); };
        FTimer.SetEnabled(true);
    }
    // Starts watching (the moment the cause happened is From).
    void Arm() { From = EventLoop().NowMs(); }
    bool Seen() const { return At >= 0; }
    int64_t Delay() const { return At - From; }

    int64_t From = -1;
    int64_t At = -1;
    TCycleState State = csStopped;

private:
    void Look()
    {
        if (From < 0 || At >= 0 || !FSeen())
            return;
        At = EventLoop().NowMs();
        State = FEngine.RunState();
    }
    const TBaseForm &FEngine;
    std::function<bool()> FSeen;
    TTimer FTimer;
};

} // namespace orv::test
