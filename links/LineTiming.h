#pragma once
// How long the frame, queued and Trio protocols wait for an answer before
// they write a frame or a line again: 1 s on the machine. Only a test
// harness changes it (ncrun's hooks, from the environment), before any
// controller is made; the queued and Trio controllers read it once, when
// they are made.

#include <atomic>

namespace orv {

inline std::atomic<int> &LineResendMs() {
    static std::atomic<int> ms{1000};
    return ms;
}

} // namespace orv
