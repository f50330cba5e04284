#pragma once
// How long the frame, queued and Trio protocols wait for an answer before
// they write a frame or a line again, and how long the router box may take
// to echo a character: 1 s each on the machine. Only a test harness changes
// them (ncrun's hooks, from the environment), before any controller is
// made; the controllers read them once, when they are made.

#include <atomic>

namespace orv {

inline std::atomic<int> &LineResendMs() {
    static std::atomic<int> ms{1000};
    return ms;
}

inline std::atomic<int> &RouterEchoMs() {
    static std::atomic<int> ms{1000};
    return ms;
}

} // namespace orv
