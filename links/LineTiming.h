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

// The framed protocol takes an answer that comes sooner than its frame's
// bytes could have reached the controller for a stale one, on real lines
// only: a pseudo-terminal passes bytes at once. A simulator that paces its
// pseudo-terminal at the line's rate makes it a line (ncrun's hooks set
// this for such runs).
inline std::atomic<bool> &PacedPseudoTerminal() {
    static std::atomic<bool> paced{false};
    return paced;
}

inline std::atomic<int> &RouterEchoMs() {
    static std::atomic<int> ms{1000};
    return ms;
}

} // namespace orv
