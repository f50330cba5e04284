#include "links/sim/PtyMaster.h"

#include "links/LowLevel.h"
#include "platform/NumberText.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace orv {

int OpenPtyMaster(std::string &Slave, std::string &Error) {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        Error = std::string("no pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0)
            ::close(master);
        return -1;
    }
    char name[128];
    if (::ptsname_r(master, name, sizeof name) != 0) {
        Error = std::string("no pseudo-terminal name: ") + std::strerror(errno);
        ::close(master);
        return -1;
    }
    Slave = name;
    // The master side passes bytes as they are.
    termios t{};
    if (::tcgetattr(master, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(master, TCSANOW, &t);
    }
    return master;
}

TPtySim::TPtySim() : Clock(SteadyClockMs) {}

TPtySim::~TPtySim() {
    Stop();
    if (FMaster >= 0)
        ::close(FMaster);
}

bool TPtySim::Open(std::string &SlavePath, std::string &Error) {
    FMaster = OpenPtyMaster(SlavePath, Error);
    termios t{};
    if (FMaster >= 0 && ::tcgetattr(FMaster, &t) == 0) {
        const auto *bytes = reinterpret_cast<const uint8_t *>(&t);
        FFreshLine.assign(bytes, bytes + sizeof t);
    }
    return FMaster >= 0;
}

void TPtySim::ResetLine() {
    termios t{};
    if (FMaster < 0 || FFreshLine.size() != sizeof t)
        return;
    std::memcpy(&t, FFreshLine.data(), sizeof t);
    ::tcsetattr(FMaster, TCSANOW, &t);
}

void TPtySim::Start() {
    FStop = false;
    FThread = std::thread([this] { Run(); });
}

void TPtySim::Stop() {
    FStop = true;
    if (FThread.joinable())
        FThread.join();
}

int64_t TPtySim::Now() const {
    return Clock();
}

std::vector<TSimLogEntry> TPtySim::Log() const {
    std::lock_guard lock(FLock);
    return FLog;
}

std::string TPtySim::LogText() const {
    std::string text;
    for (const TSimLogEntry &e : Log())
        text += IntToStr(e.Time) + " " + e.Direction + " " + e.Kind + " " + e.Bytes + "\n";
    return text;
}

void TPtySim::Record(char Direction, const std::string &Kind, const std::string &Bytes) {
    std::lock_guard lock(FLock);
    FLog.push_back({Now(), Direction, Kind, frames::Printable(Bytes)});
}

} // namespace orv
