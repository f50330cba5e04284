#pragma once
// A test loop that counts how a wait asks it for messages. Serving in a
// loop (ProcessMessages) returns at once when nothing is there, so a wait
// built that way spins a core; a wait that sleeps asks for WaitForMessages,
// once per thing that happens.

#include "platform/EventLoop.h"

namespace orv::test {

class TCountingLoop : public TTestEventLoop {
public:
    void ProcessMessages() override
    {
        ++Serves;
        TTestEventLoop::ProcessMessages();
    }
    void WaitForMessages() override
    {
        ++Waits;
        TTestEventLoop::WaitForMessages();
    }
    int Serves = 0, Waits = 0;
};

} // namespace orv::test
