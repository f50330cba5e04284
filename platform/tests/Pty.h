#pragma once
// A pseudo-terminal for serial tests: the test holds the master side (the
// far end of the line), the code under test opens Slave as its serial port.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace orv::test {

class TPty {
public:
    // WatchSlave: the test keeps a handle on the slave side too (opened
    // before the code under test takes the port exclusively), only to see
    // when bytes written to the master have reached it (AwaitDelivered).
    explicit TPty(bool WatchSlave = false)
    {
        Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(Master);
        ::unlockpt(Master);
        char name[128] = {};
        ::ptsname_r(Master, name, sizeof name);
        Slave = name;
        if (WatchSlave)
            FWatch = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }
    ~TPty()
    {
        if (FWatch >= 0)
            ::close(FWatch);
        if (Master >= 0)
            ::close(Master);
    }
    // Waits up to TimeoutMs until the slave side has bytes to read (the
    // kernel hands them over a moment after the write), so the next poll
    // of the port finds them. Needs WatchSlave.
    bool AwaitDelivered(int TimeoutMs = 2000) const
    {
        pollfd p{FWatch, POLLIN, 0};
        return FWatch >= 0 && ::poll(&p, 1, TimeoutMs) > 0 && (p.revents & POLLIN);
    }
    TPty(const TPty &) = delete;
    TPty &operator=(const TPty &) = delete;
    bool Write(const std::string &Bytes) const
    {
        return ::write(Master, Bytes.data(), Bytes.size()) == ssize_t(Bytes.size());
    }
    // What waits on the master side now; empty when nothing does.
    std::string ReadNow() const
    {
        char buffer[256];
        ssize_t n = ::read(Master, buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, size_t(n)) : std::string();
    }
    // As ReadNow, after waiting up to TimeoutMs for the first byte.
    std::string ReadWithin(int TimeoutMs) const
    {
        pollfd p{Master, POLLIN, 0};
        ::poll(&p, 1, TimeoutMs);
        return ReadNow();
    }
    int Master = -1;
    std::string Slave;

private:
    int FWatch = -1;
};

} // namespace orv::test
