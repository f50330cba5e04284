#include "links/sim/LineSim.h"

#include "links/LowLevel.h"
#include "links/sim/PtyMaster.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace orv {

TLineSim::TLineSim() = default;

TLineSim::~TLineSim() {
    Stop();
}

std::vector<std::string> TLineSim::Received(const std::string &Kind) const {
    std::vector<std::string> out;
    for (const TSimLogEntry &e : Log())
        if (e.Direction == '<' && e.Kind == Kind)
            out.push_back(e.Bytes);
    return out;
}

void TLineSim::Run() {
    int64_t closedSince = -1;
    uint8_t buffer[512];
    while (!FStop) {
        pollfd p{FMaster, POLLIN, 0};
        int n = ::poll(&p, 1, 1);
        bool hangUp = n > 0 && (p.revents & POLLHUP) && !(p.revents & POLLIN);
        if (!hangUp)
            closedSince = -1;
        if (n > 0 && (p.revents & POLLIN)) {
            ssize_t got = ::read(FMaster, buffer, sizeof buffer);
            if (got > 0)
                FTalked = true;
            for (ssize_t i = 0; i < got; ++i)
                if (!FSilent)
                    Byte(buffer[i]);
            if (got > 0)
                FBytesIn += uint64_t(got);
        } else if (hangUp) {
            int64_t now = SteadyClockMs();
            if (closedSince < 0) {
                closedSince = now;
                if (FTalked) {
                    ++FClosed;
                    ResetLine();
                }
                FTalked = false;
            }
            if (FClosed >= Sessions && now - closedSince > 3000)
                FPeerGone = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        Timers();
    }
}

void TLineSim::Send(const std::string &Bytes, const std::string &Kind) {
    if (FSilent)
        return;
    if (!Kind.empty())
        Record('>', Kind, Bytes);
    size_t done = 0;
    while (done < Bytes.size() && !FStop) {
        ssize_t n = ::write(FMaster, Bytes.data() + done, Bytes.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (errno != EAGAIN && errno != EINTR)
            break;
        else {
            pollfd p{FMaster, POLLOUT, 0};
            ::poll(&p, 1, 1);
        }
    }
    FBytesOut += done;
}

// Terminal settings made through the master apply to the slave, the PC
// side's end; with IXON there the XOFF stops its output.
void TLineSim::HoldPeerOutput() {
    termios t{};
    if (::tcgetattr(FMaster, &t) == 0) {
        t.c_iflag |= IXON;
        ::tcsetattr(FMaster, TCSANOW, &t);
    }
    const char xoff = 0x13;
    if (::write(FMaster, &xoff, 1) == 1)
        Record('>', "xoff", std::string(1, xoff));
}

TLineSim::TAxesState TLineSim::AxesAt(int64_t At) const {
    TAxesState s;
    bool running = FMs > 0 && At - FStart < FMs;
    double t = FMs <= 0 ? 1 : std::clamp(double(At - FStart) / FMs, 0.0, 1.0);
    for (int i = 0; i < 3; ++i) {
        s.At[i] = std::round(FFrom[i] + (FTo[i] - FFrom[i]) * t);
        s.Moving[i] = running && FFrom[i] != FTo[i];
    }
    return s;
}

TLineSim::TAxesState TLineSim::Axes() const {
    std::lock_guard lock(FLock);
    return AxesAt(Now());
}

void TLineSim::Position(double &X, double &Y, double &Z) const {
    TAxesState s = Axes();
    X = s.At[0];
    Y = s.At[1];
    Z = s.At[2];
}

bool TLineSim::Moving() const {
    std::lock_guard lock(FLock);
    return FMs > 0 && Now() - FStart < FMs;
}

void TLineSim::StartMotion(double X, double Y, double Z, double Feed) {
    double x, y, z;
    Position(x, y, z);
    std::lock_guard lock(FLock);
    double from[3] = {x, y, z}, to[3] = {X, Y, Z};
    double d = 0;
    for (int i = 0; i < 3; ++i) {
        FFrom[i] = from[i];
        FTo[i] = to[i];
        d = std::max(d, std::fabs(to[i] - from[i]));
    }
    FStart = Now();
    FMs = Feed > 0 ? d / Feed * 1000 / SpeedUp : 0;
}

void TLineSim::StopMotion() {
    double x, y, z;
    Position(x, y, z);
    std::lock_guard lock(FLock);
    double at[3] = {x, y, z};
    for (int i = 0; i < 3; ++i)
        FFrom[i] = FTo[i] = at[i];
    FMs = 0;
}

} // namespace orv
