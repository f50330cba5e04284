#pragma once
// Assembles received bytes into lines: CR ends a line, every other code
// from 0 to 13 is dropped (NUL, LF and TAB included) and the rest of the
// chunk kept; codes other than TAB and LF count as dropped garbage. A line
// still without its CR is handed on 3 s after the first chunk that left it
// pending (the far side stopped mid-line).

#include "platform/EventLoop.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orv {

class TReceiveAssembly {
public:
    TReceiveAssembly();

    void AppendReceived(const uint8_t *Data, int Size);
    void AppendReceived(const std::string &Chunk);
    // The pending line as a line now (the 3-second timer does this).
    void Flush();
    // Forgets the pending text and stops the timer.
    void Reset();

    const std::string &Pending() const { return FPending; }
    bool TimerRunning() const { return FTimer.Enabled(); }
    // Dropped control codes other than TAB and LF since construction.
    int Dropped() const { return FDropped; }

    // A complete line; WithoutCR when the flush ended it.
    std::function<void(const std::string &Line, bool WithoutCR)> OnLine;

    static constexpr int FlushMs = 3000;

private:
    void Emit(const std::string &Line, bool WithoutCR);
    std::string FPending;
    int FDropped = 0;
    TTimer FTimer;
};

// The text without characters of code 13 or less.
std::string StripControlChars(const std::string &Text);

} // namespace orv
