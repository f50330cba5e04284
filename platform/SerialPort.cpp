#include "platform/SerialPort.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace orv {

namespace {

struct TRate {
    int Baud;
    speed_t Code;
};

const TRate FixedRates[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
};

bool FixedRate(int Baud, speed_t &Code) {
    for (const TRate &r : FixedRates)
        if (r.Baud == Baud) {
            Code = r.Code;
            return true;
        }
    return false;
}

std::string SystemText(int Code) {
    return std::strerror(Code);
}

tcflag_t DataSize(int Bits) {
    switch (Bits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

void SetParity(termios &T, char Parity) {
    T.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    T.c_iflag &= ~(INPCK);
    switch (Parity) {
    case 'O':
        T.c_cflag |= PARENB | PARODD;
        break;
    case 'E':
        T.c_cflag |= PARENB;
        break;
    case 'M':
        T.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 'S':
        T.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        return;
    }
    T.c_iflag |= INPCK;
}

} // namespace

void LineFlags(const TSerialSettings &S, termios &T) {
    ::cfmakeraw(&T);
    T.c_cflag |= CREAD | CLOCAL;
    T.c_cflag &= ~CSIZE;
    T.c_cflag |= DataSize(S.DataBits);
    SetParity(T, S.Parity);
    if (S.StopBits >= 2)
        T.c_cflag |= CSTOPB;
    else
        T.c_cflag &= ~CSTOPB;
    if (S.RtsCts)
        T.c_cflag |= CRTSCTS;
    else
        T.c_cflag &= ~CRTSCTS;
    if (S.XonXoff)
        T.c_iflag |= IXON | IXOFF;
    else
        T.c_iflag &= ~(IXON | IXOFF | IXANY);
    T.c_cc[VSTART] = 17;
    T.c_cc[VSTOP] = 19;
    T.c_cc[VMIN] = 0;
    T.c_cc[VTIME] = 0;
}

TSerialPort::~TSerialPort() {
    Close();
}

bool TSerialPort::Open(const std::string &Device, std::string &Error) {
    Close();
    int fd = ::open(Device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Error = Device + ": " + SystemText(errno);
        return false;
    }
    if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
        Error = Device + ": " + SystemText(errno);
        ::close(fd);
        return false;
    }
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        Error = Device + ": not a serial device (" + SystemText(errno) + ")";
        ::close(fd);
        return false;
    }
    FHandle = fd;
    FDevice = Device;
    return true;
}

void TSerialPort::Close() {
    if (FHandle < 0)
        return;
    ::ioctl(FHandle, TIOCNXCL);
    ::close(FHandle);
    FHandle = -1;
}

bool TSerialPort::Apply(const TSerialSettings &S, std::string &Error) {
    if (FHandle < 0) {
        Error = "the port is not open";
        return false;
    }
    if (S.DataBits < 5 || S.DataBits > 8) {
        Error = "unsupported data size " + IntToStr(S.DataBits);
        return false;
    }
    termios t{};
    if (::tcgetattr(FHandle, &t) != 0) {
        Error = FDevice + ": " + SystemText(errno);
        return false;
    }
    LineFlags(S, t);
    speed_t code;
    bool fixed = FixedRate(S.Baud, code);
    if (fixed) {
        ::cfsetispeed(&t, code);
        ::cfsetospeed(&t, code);
    }
    if (::tcsetattr(FHandle, TCSANOW, &t) != 0) {
        Error = FDevice + ": " + SystemText(errno);
        return false;
    }
    if (!fixed && !SetCustomBaud(FHandle, S.Baud)) {
        Error = FDevice + ": the rate " + IntToStr(S.Baud) + " is not supported";
        return false;
    }
    ::tcflush(FHandle, TCIOFLUSH);
    return true;
}

int TSerialPort::Read(uint8_t *Buffer, int Size) {
    if (FHandle < 0)
        return -1;
    ssize_t n = ::read(FHandle, Buffer, size_t(Size));
    if (n >= 0)
        return int(n);
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

int TSerialPort::Write(const uint8_t *Buffer, int Count) {
    if (FHandle < 0)
        return -EBADF;
    ssize_t n = ::write(FHandle, Buffer, size_t(Count));
    if (n >= 0)
        return int(n);
    return errno == EAGAIN || errno == EINTR ? 0 : -errno;
}

bool TSerialPort::WaitReadable(int TimeoutMs, int WakeHandle) {
    if (FHandle < 0)
        return false;
    pollfd p[2] = {{FHandle, POLLIN, 0}, {WakeHandle, POLLIN, 0}};
    int count = WakeHandle >= 0 ? 2 : 1;
    if (::poll(p, nfds_t(count), TimeoutMs) <= 0)
        return false;
    if (count == 2 && (p[1].revents & POLLIN)) {
        char drain[64];
        while (::read(WakeHandle, drain, sizeof drain) > 0) {
        }
    }
    return (p[0].revents & POLLIN) != 0;
}

int TSerialPort::OutQueued() const {
    int queued = 0;
    if (FHandle < 0 || ::ioctl(FHandle, TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

int TSerialPort::InQueued() const {
    int waiting = 0;
    if (FHandle < 0 || ::ioctl(FHandle, FIONREAD, &waiting) != 0)
        return 0;
    return waiting;
}

// Slaves of the pseudo-terminal multiplexer have majors 136 to 143; the
// old BSD slaves (ttyp0 ...) major 3.
bool TSerialPort::IsPseudoTerminal() const {
    struct stat s;
    if (FHandle < 0 || ::fstat(FHandle, &s) != 0 || !S_ISCHR(s.st_mode))
        return false;
    unsigned m = major(s.st_rdev);
    return (m >= 136 && m <= 143) || m == 3;
}

bool TSerialPort::ModemStatus(int &Bits) const {
    Bits = 0;
    return FHandle >= 0 && ::ioctl(FHandle, TIOCMGET, &Bits) == 0;
}

void TSerialPort::Flush(bool Input, bool Output) {
    if (FHandle < 0)
        return;
    if (Input && Output)
        ::tcflush(FHandle, TCIOFLUSH);
    else if (Input)
        ::tcflush(FHandle, TCIFLUSH);
    else if (Output)
        ::tcflush(FHandle, TCOFLUSH);
}

bool TSerialPort::SetDTR(bool On) {
    int bit = TIOCM_DTR;
    return FHandle >= 0 && ::ioctl(FHandle, On ? TIOCMBIS : TIOCMBIC, &bit) == 0;
}

bool TSerialPort::SetRTS(bool On) {
    int bit = TIOCM_RTS;
    return FHandle >= 0 && ::ioctl(FHandle, On ? TIOCMBIS : TIOCMBIC, &bit) == 0;
}

std::string SerialDevicePath(const std::string &PortName, const std::string &SettingsFile) {
    if (!SettingsFile.empty()) {
        std::string mapped = TIniFile(SettingsFile).ReadString("Serial Ports", PortName, "");
        if (!mapped.empty())
            return mapped;
    }
    int32_t n = 0;
    if (PortName.size() > 3 && SameText(PortName.substr(0, 3), "COM") &&
        TryStrToInt(PortName.substr(3), n) && n >= 1)
        return "/dev/ttyS" + IntToStr(n - 1);
    return PortName;
}

std::vector<std::string> SerialDevices() {
    namespace fs = std::filesystem;
    std::vector<std::string> result;
    std::error_code ec;
    for (const fs::directory_entry &e : fs::directory_iterator("/sys/class/tty", ec)) {
        if (!fs::exists(e.path() / "device", ec))
            continue;
        result.push_back("/dev/" + e.path().filename().string());
    }
    std::sort(result.begin(), result.end());
    return result;
}

} // namespace orv
