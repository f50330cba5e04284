#include "links/ThreadComm32.h"

#include "engine/core/NetUtil.h"
#include "platform/EventLoop.h"
#include "platform/NumberText.h"
#include "platform/SerialPort.h"

#include <atomic>
#include <cerrno>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace orv {

int BaudRateBits(TBaudRate Rate) {
    static const int bits[] = {110,  300,   600,   1200,  2400,   4800,  9600,
                               14400, 19200, 38400, 56000, 128000, 256000};
    return bits[int(Rate)];
}

namespace {

bool FixedRate(int Baud, speed_t &Code) {
    static const std::pair<int, speed_t> rates[] = {
        {110, B110},     {300, B300},     {600, B600},     {1200, B1200},
        {2400, B2400},   {4800, B4800},   {9600, B9600},   {19200, B19200},
        {38400, B38400}, {57600, B57600}, {115200, B115200}};
    for (auto &r : rates)
        if (r.first == Baud) {
            Code = r.second;
            return true;
        }
    return false;
}

void Signal(int Event) {
    uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(Event, &one, sizeof one);
}

void Drain(int Event) {
    uint64_t value;
    [[maybe_unused]] ssize_t n = ::read(Event, &value, sizeof value);
}

} // namespace

// What the posted messages reach: the component's events while it lives.
// The destructor cuts the link, so a message still queued then does nothing
// (its block is freed with the message).
struct TThreadComm32::TShared {
    std::mutex Lock;
    TThreadComm32 *Owner = nullptr;

    void Deliver(std::vector<uint8_t> Block, uint16_t Count) {
        TReceiveDataEvent handler;
        {
            std::lock_guard<std::mutex> g(Lock);
            if (!Owner || !Owner->OnReceiveData)
                return;
            handler = Owner->OnReceiveData;
        }
        handler(Block.data(), Count);
    }
    void Hangup() {
        TCommNotifyEvent handler;
        TThreadComm32 *sender = nullptr;
        {
            std::lock_guard<std::mutex> g(Lock);
            if (!Owner || !Owner->OnRequestHangup)
                return;
            handler = Owner->OnRequestHangup;
            sender = Owner;
        }
        handler(sender);
    }
};

// The port, the events and the two threads of an open component. The
// threads hold copies of the handles and the message target only.
struct TThreadComm32::TThreads {
    int Port = -1;
    int Stop = -1;      // the stop event: set once by ClosePort
    int NewInput = -1;  // new input for the writer
    int LineError = -1; // the test hook of the reader
    TEventLoop *Loop = nullptr;
    std::weak_ptr<TShared> Target;
    std::mutex QueueLock;
    std::deque<std::vector<uint8_t>> Queue;
    std::atomic<uint64_t> Queued{0}, Written{0};
    std::thread Reader, Writer;

    ~TThreads() {
        // A port given up half way through opening is left shared again:
        // its exclusive mode outlives our handle while anyone else has the
        // device open, and would lock out every later open but root's.
        if (Port >= 0)
            ::ioctl(Port, TIOCNXCL);
        for (int h : {Stop, NewInput, LineError, Port})
            if (h >= 0)
                ::close(h);
    }

    void PostBlock(std::vector<uint8_t> Block, uint16_t Count) {
        std::weak_ptr<TShared> target = Target;
        Loop->Post([target, Block = std::move(Block), Count]() mutable {
            if (auto shared = target.lock())
                shared->Deliver(std::move(Block), Count);
        });
    }
    void PostHangup() {
        std::weak_ptr<TShared> target = Target;
        Loop->Post([target] {
            if (auto shared = target.lock())
                shared->Hangup();
        });
    }

    // Every byte becomes a message of its own, a line error a zero-filled
    // block of 256 bytes with count 0.
    void DeliverBytes(const uint8_t *Data, int Count) {
        for (int i = 0; i < Count; ++i)
            PostBlock({Data[i], 0}, 1);
    }
    void DeliverLineError() { PostBlock(std::vector<uint8_t>(256, 0), 0); }

    // A parity or framing error arrives marked as 0xFF 0x00 x (PARMRK); a
    // data byte 0xFF as 0xFF 0xFF. Pending holds an incomplete mark.
    void Unmark(const uint8_t *Data, int Count, std::vector<uint8_t> &Pending) {
        std::vector<uint8_t> out;
        for (int i = 0; i < Count; ++i) {
            Pending.push_back(Data[i]);
            if (Pending[0] != 0xFF) {
                out.push_back(Pending[0]);
                Pending.clear();
            } else if (Pending.size() == 2 && Pending[1] == 0xFF) {
                out.push_back(0xFF);
                Pending.clear();
            } else if (Pending.size() == 2 && Pending[1] != 0x00) {
                out.insert(out.end(), Pending.begin(), Pending.end());
                Pending.clear();
            } else if (Pending.size() == 3) {
                DeliverBytes(out.data(), int(out.size()));
                out.clear();
                DeliverLineError();
                Pending.clear();
            }
        }
        DeliverBytes(out.data(), int(out.size()));
    }

    void Read() {
        std::vector<uint8_t> pending;
        uint8_t buffer[256];
        for (;;) {
            pollfd p[3] = {{Stop, POLLIN, 0}, {LineError, POLLIN, 0}, {Port, POLLIN, 0}};
            int n = ::poll(p, 3, -1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 || (p[0].revents & POLLIN))
                break; // stopped (or the wait failed: below)
            if (p[1].revents & POLLIN) {
                Drain(LineError);
                DeliverLineError();
            }
            if (!(p[2].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            ssize_t got = ::read(Port, buffer, sizeof buffer);
            if (got > 0) {
                Unmark(buffer, int(got), pending);
                continue;
            }
            if (got < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (got < 0 && errno == EBADF)
                return; // the port was closed under the thread
            PostHangup(); // the device went away
            return;
        }
        if (!Stopped())
            PostHangup();
    }

    bool Stopped() const {
        pollfd p = {Stop, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0;
    }

    // False when the block could not be written: stopped (quietly) or a
    // device failure (hang-up posted).
    bool WriteBlock(const std::vector<uint8_t> &Block) {
        size_t offset = 0;
        while (offset < Block.size()) {
            ssize_t n = ::write(Port, Block.data() + offset, Block.size() - offset);
            if (n > 0) {
                offset += size_t(n);
                Written += uint64_t(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN) {
                if (errno != EBADF)
                    PostHangup();
                return false;
            }
            pollfd p[2] = {{Stop, POLLIN, 0}, {Port, POLLOUT, 0}};
            if (::poll(p, 2, -1) < 0 && errno != EINTR) {
                PostHangup();
                return false;
            }
            if (p[0].revents & POLLIN)
                return false;
            if ((p[1].revents & (POLLHUP | POLLERR)) && !(p[1].revents & POLLOUT)) {
                PostHangup();
                return false;
            }
        }
        return true;
    }

    bool TakeBlock(std::vector<uint8_t> &Block) {
        std::lock_guard<std::mutex> g(QueueLock);
        if (Queue.empty())
            return false;
        Block = std::move(Queue.front());
        Queue.pop_front();
        return true;
    }

    void Write() {
        for (;;) {
            std::vector<uint8_t> block;
            if (TakeBlock(block)) {
                if (Stopped() || !WriteBlock(block))
                    return;
                continue;
            }
            pollfd p[2] = {{Stop, POLLIN, 0}, {NewInput, POLLIN, 0}};
            int n = ::poll(p, 2, -1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                PostHangup();
                return;
            }
            if (p[0].revents & POLLIN)
                return;
            Drain(NewInput);
        }
    }
};

TThreadComm32::TThreadComm32() : FShared(std::make_shared<TShared>()) {
    FShared->Owner = this;
}

TThreadComm32::~TThreadComm32() {
    ClosePort();
    std::lock_guard<std::mutex> g(FShared->Lock);
    FShared->Owner = nullptr;
}

bool TThreadComm32::IsOpen() const {
    return FThreads != nullptr;
}

void TThreadComm32::ApplyLine(int Handle) {
    if (DataBits == TDataBits::_4)
        throw ECommsError("Unsupported data bits: 4");
    termios t{};
    if (::tcgetattr(Handle, &t) != 0)
        throw ECommsError("File handle is not a comm handle. ");
    ::cfmakeraw(&t);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    static const tcflag_t sizes[] = {CS5, CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[int(DataBits)];
    // Line errors come marked (0xFF 0x00 x), not dropped.
    t.c_iflag &= ~(IGNPAR | ISTRIP);
    t.c_iflag |= PARMRK;
    switch (Parity) {
    case TParity::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case TParity::Even:
        t.c_cflag |= PARENB;
        break;
    case TParity::Mark:
        t.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case TParity::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    case TParity::None:
        break;
    }
    if (Parity != TParity::None)
        t.c_iflag |= INPCK;
    if (StopBits != TStopBits::_1)
        t.c_cflag |= CSTOPB;
    if (HandShaking)
        t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    int baud = BaudRateBits(BaudRate);
    speed_t code;
    bool fixed = FixedRate(baud, code);
    if (fixed) {
        ::cfsetispeed(&t, code);
        ::cfsetospeed(&t, code);
    }
    if (::tcsetattr(Handle, TCSANOW, &t) != 0 || (!fixed && !SetCustomBaud(Handle, baud)))
        throw ECommsError("Unsupported baud rate: " + IntToStr(baud));
    ::tcflush(Handle, TCIOFLUSH);
}

bool TThreadComm32::OpenPort() {
    if (FThreads)
        throw ECommsError("Already have a comm file open");
    std::string settings = SettingsFile.empty() ? NetUtil().MainIniFileName() : SettingsFile;
    std::string device = SerialDevicePath(NewComport, settings);
    auto threads = std::make_unique<TThreads>();
    threads->Port = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (threads->Port < 0)
        throw ECommsError("Error opening com port: " + NewComport);
    struct stat info {};
    if (::fstat(threads->Port, &info) != 0 || !S_ISCHR(info.st_mode) || !::isatty(threads->Port))
        throw ECommsError("File handle is not a comm handle. ");
    if (::ioctl(threads->Port, TIOCEXCL) != 0)
        throw ECommsError("Error opening com port: " + NewComport);
    ApplyLine(threads->Port);
    threads->Stop = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    threads->NewInput = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    threads->LineError = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (threads->Stop < 0 || threads->NewInput < 0 || threads->LineError < 0)
        return false;
    threads->Loop = &EventLoop();
    threads->Target = FShared;
    TThreads *t = threads.get();
    try {
        t->Reader = std::thread([t] { t->Read(); });
    } catch (const std::system_error &) {
        throw ECommsError("Unable to create Read thread");
    }
    try {
        t->Writer = std::thread([t] { t->Write(); });
    } catch (const std::system_error &) {
        Signal(t->Stop);
        t->Reader.join();
        throw ECommsError("Unable to create Write thread");
    }
    FThreads = std::move(threads);
    return true;
}

void TThreadComm32::ClosePort() {
    if (!FThreads)
        return;
    Signal(FThreads->Stop);
    ::tcflush(FThreads->Port, TCIOFLUSH);
    FThreads->Reader.join();
    FThreads->Writer.join();
    ::ioctl(FThreads->Port, TIOCNXCL);
    FThreads.reset();
}

bool TThreadComm32::SendData(const uint8_t *Data, uint16_t Count) {
    if (!FThreads)
        return false;
    {
        std::lock_guard<std::mutex> g(FThreads->QueueLock);
        FThreads->Queue.emplace_back(Data, Data + Count);
    }
    FThreads->Queued += Count;
    Signal(FThreads->NewInput);
    return true;
}

uint64_t TThreadComm32::BytesQueued() const {
    return FThreads ? FThreads->Queued.load() : 0;
}

uint64_t TThreadComm32::BytesWritten() const {
    return FThreads ? FThreads->Written.load() : 0;
}

void TThreadComm32::InjectLineError() {
    if (FThreads)
        Signal(FThreads->LineError);
}

} // namespace orv
