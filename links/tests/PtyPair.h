#pragma once
// A pseudo-terminal pair for the serial component tests: the test holds the
// master (the far side of the line), the component opens the slave through
// a settings file whose [Serial Ports] maps COM1 to it. Waits are bounded
// "until" loops that serve the installed event loop.

#include "platform/EventLoop.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>

namespace orv::test {

class TPtyPair {
public:
    TPtyPair() {
        Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        EXPECT_GE(Master, 0);
        ::grantpt(Master);
        ::unlockpt(Master);
        Slave = ::ptsname(Master);
        Settings = Temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM1=" + Slave + "\n");
    }
    ~TPtyPair() { CloseMaster(); }
    void CloseMaster() {
        if (Master >= 0)
            ::close(Master);
        Master = -1;
    }
    void Write(const std::string &Bytes) {
        size_t at = 0;
        while (at < Bytes.size()) {
            ssize_t n = ::write(Master, Bytes.data() + at, Bytes.size() - at);
            if (n > 0)
                at += size_t(n);
            else
                std::this_thread::yield();
        }
    }
    // What the far side has received so far.
    std::string Read() {
        std::string out;
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(Master, buffer, sizeof buffer)) > 0)
            out.append(buffer, size_t(n));
        return out;
    }

    TTempDir Temp;
    int Master = -1;
    std::string Slave, Settings;
};

// Serves the event loop until Done; Done's last answer. The real-time cap
// only keeps a broken test from hanging: a loaded machine must never reach
// it while the awaited thing is on its way.
inline bool ServeUntil(const std::function<bool()> &Done, int Seconds = 60) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > end)
            return Done();
        EventLoop().ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace orv::test
