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
    TPty()
    {
        Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(Master);
        ::unlockpt(Master);
        char name[128] = {};
        ::ptsname_r(Master, name, sizeof name);
        Slave = name;
    }
    ~TPty()
    {
        if (Master >= 0)
            ::close(Master);
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
};

} // namespace orv::test
