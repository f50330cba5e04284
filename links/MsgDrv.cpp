#include "links/MsgDrv.h"

#include "engine/core/NetUtil.h"
#include "links/LowLevel.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <sys/ioctl.h>
#include <thread>

namespace orv {

namespace {

constexpr unsigned MinInBuf = 128, MaxInBuf = 8192, MinOutBuf = 12, MaxOutBuf = 8192;

std::atomic<uint64_t> gSent{0}, gReceived{0};

int64_t SteadyClockUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

char ParityLetter(TComPortParity P) {
    static const char letters[] = {'N', 'O', 'E', 'M', 'S'};
    return letters[P];
}

} // namespace

namespace msgdrv {
int RateOf(TBaudRate Rate) {
    static const int rates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return rates[Rate];
}
} // namespace msgdrv

uint64_t TMsgCommPortDriver::TotalBytesSent() {
    return gSent.load();
}
uint64_t TMsgCommPortDriver::TotalBytesReceived() {
    return gReceived.load();
}

TMsgCommPortDriver::TMsgCommPortDriver() : Clock(SteadyClockMs), FBuffer(FInBufSize, 0) {}

TMsgCommPortDriver::~TMsgCommPortDriver() {
    Disconnect();
}

bool TMsgCommPortDriver::Connect() {
    if (Connected())
        return true;
    std::string settings = SettingsFile.empty() ? NetUtil().MainIniFileName() : SettingsFile;
    std::string device = SerialDevicePath(FPortName, settings);
    LastError.clear();
    if (!FPort.Open(device, LastError))
        return false;
    if (!ApplySettings()) {
        FPort.Close();
        return false;
    }
    return true;
}

void TMsgCommPortDriver::Disconnect() {
    FPort.Close();
    FPacketStart = -1;
    FLineFreeUs = 0;
}

bool TMsgCommPortDriver::ApplySettings() {
    if (!Connected())
        return false;
    TSerialSettings s;
    s.Baud = int(FBaudRateValue);
    s.DataBits = 5 + int(FDataBits);
    s.Parity = ParityLetter(FParity);
    s.StopBits = FStopBits == sb1BITS ? 1 : 2; // 1.5 stop bits run as 2
    s.RtsCts = FHwFlow == hfRTSCTS;
    s.XonXoff = FSwFlow == sfXONXOFF;
    s.XonLimit = s.XoffLimit = int(std::min(FInBufSize / 4, 4096u));
    if (!FPort.Apply(s, LastError))
        return false;
    if (EnableDTROnOpen)
        FPort.SetDTR(true);
    if (FHwFlow == hfNONERTSON)
        FPort.SetRTS(true);
    FPort.Flush(true, true);
    FPacketStart = -1;
    FLineFreeUs = 0;
    return true;
}

unsigned TMsgCommPortDriver::GetLineStatus() const {
    int bits = 0;
    if (!FPort.ModemStatus(bits))
        return 0;
    unsigned set = 0;
    if (bits & TIOCM_CTS)
        set |= lsCTS;
    if (bits & TIOCM_DSR)
        set |= lsDSR;
    if (bits & TIOCM_RNG)
        set |= lsRING;
    if (bits & TIOCM_CAR)
        set |= lsRLSD;
    return set;
}

bool TMsgCommPortDriver::FlushBuffers(bool Input, bool Output) {
    if (!Connected())
        return false;
    FPort.Flush(Input, Output);
    FPacketStart = -1;
    if (Output)
        FLineFreeUs = 0;
    return true;
}

int TMsgCommPortDriver::OutFreeSpace() const {
    if (!Connected())
        return -1;
    return int(uint16_t(FOutBufSize - unsigned(FPort.OutQueued())));
}

unsigned TMsgCommPortDriver::SendData(const uint8_t *Buffer, unsigned Count, unsigned TimeoutMs) {
    LastSendEnd = sdDone;
    LastSendError.clear();
    if (!Connected()) {
        LastSendEnd = sdFailed;
        LastSendError = std::strerror(EBADF);
        return 0;
    }
    unsigned written = 0;
    // A stalled line is a matter of real time, whatever clock the owner uses.
    int64_t deadline = StallDeadlineMs(SteadyClockMs(), TimeoutMs);
    while (Count > 0) {
        int free = OutFreeSpace();
        if (free != 0) {
            if (CheckLineStatus && GetLineStatus() == 0) {
                LastSendEnd = sdStalled;
                break;
            }
            int n =
                FPort.Write(Buffer + written, int(std::min(unsigned(std::max(free, 1)), Count)));
            if (n < 0) {
                // The device failed: what went out is the answer.
                LastSendEnd = sdFailed;
                LastSendError = std::strerror(-n);
                break;
            }
            if (n > 0) {
                written += unsigned(n);
                Count -= unsigned(n);
                gSent += uint64_t(n);
                const int64_t nowUs = SteadyClockUs();
                FLineFreeUs = std::max(FLineFreeUs, nowUs) + LineTimeUs(n);
                deadline = StallDeadlineMs(nowUs / 1000, TimeoutMs);
                continue;
            }
        }
        if (SteadyClockMs() > deadline) {
            LastSendEnd = sdStalled;
            break;
        }
        // A slow line may keep us waiting for seconds: do not spin.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return written;
}

int64_t TMsgCommPortDriver::LineTimeUs(int64_t Bytes) const {
    if (FBaudRateValue == 0)
        return 0;
    // Start bit, data bits, parity, stop bits (1.5 runs as 2).
    const int64_t bits =
        1 + 5 + int64_t(FDataBits) + (FParity == ptNONE ? 0 : 1) + (FStopBits == sb1BITS ? 1 : 2);
    return Bytes * bits * 1000000 / int64_t(FBaudRateValue);
}

int64_t TMsgCommPortDriver::StallDeadlineMs(int64_t NowMs, unsigned TimeoutMs) const {
    const int64_t queuedDoneMs = NowMs + LineTimeUs(FPort.OutQueued()) / 1000;
    return std::max(queuedDoneMs, FLineFreeUs / 1000) + int64_t(TimeoutMs);
}

unsigned TMsgCommPortDriver::SendBuffer(const uint8_t *Buffer, unsigned Count) {
    return SendData(Buffer, Count, OutputTimeout);
}

bool TMsgCommPortDriver::SendByte(uint8_t Value) {
    return SendBuffer(&Value, 1) == 1;
}

bool TMsgCommPortDriver::SendString(const std::string &S) {
    return SendBuffer(reinterpret_cast<const uint8_t *>(S.data()), unsigned(S.size())) == S.size();
}

void TMsgCommPortDriver::Poll() {
    TMessage m;
    m.Msg = WM_TIMER;
    TimerWndProc(m);
}

bool TMsgCommPortDriver::WaitForData(int Ms, int WakeHandle) {
    return FPort.WaitReadable(Ms, WakeHandle);
}

unsigned TMsgCommPortDriver::ReadInto(unsigned Count) {
    errno = 0;
    int n = FPort.Read(FBuffer.data(), int(std::min<size_t>(Count, FBuffer.size())));
    if (n < 0)
        PortFailed(errno);
    if (n <= 0)
        return 0;
    gReceived += uint64_t(n);
    return unsigned(n);
}

void TMsgCommPortDriver::TimerWndProc(TMessage &Message) {
    Message.Result = 0;
    if (Message.Msg != WM_TIMER || !Connected())
        return;
    unsigned waiting = unsigned(FPort.InQueued());
    if (FPacketSize < 1) {
        if (waiting == 0) {
            ReadLateInput();
            return;
        }
        unsigned n = ReadInto(std::min(waiting, FInBufSize));
        if (n > 0 && OnReceiveData)
            OnReceiveData(nullptr, FBuffer.data(), n);
        return;
    }
    PacketPoll(waiting);
}

void TMsgCommPortDriver::ReadLateInput() {
    // A terminal reports a hang-up as input ready that reads as nothing.
    if (!FPort.WaitReadable(0))
        return;
    errno = 0;
    int n = FPort.Read(FBuffer.data(), int(FInBufSize));
    if (n <= 0) {
        PortFailed(n < 0 && errno ? errno : EIO);
        return;
    }
    gReceived += uint64_t(n);
    if (OnReceiveData)
        OnReceiveData(nullptr, FBuffer.data(), unsigned(n));
}

void TMsgCommPortDriver::PortFailed(int Error) {
    if (OnPortError)
        OnPortError(nullptr, std::strerror(Error ? Error : EIO));
}

// Whole packets go at once; a partial one waits for its rest until
// PacketTimeout has passed since its first byte, then is passed on or
// dropped as PacketMode says.
void TMsgCommPortDriver::PacketPoll(unsigned Waiting) {
    unsigned size = unsigned(FPacketSize);
    if (Waiting < size) {
        int64_t now = Clock();
        if (FPacketTimeout > 0 && FPacketStart >= 0 && now - FPacketStart > FPacketTimeout) {
            unsigned n = ReadInto(Waiting);
            if (PacketMode == pmPass && n > 0 && OnReceivePacket)
                OnReceivePacket(nullptr, FBuffer.data(), n);
            FPacketStart = -1;
        } else if (Waiting > 0 && FPacketStart < 0) {
            FPacketStart = now;
        }
        return;
    }
    int rate = FBaudRate == msgdrv::brCustom ? int(FBaudRateValue) : msgdrv::RateOf(FBaudRate);
    int64_t packetMs = rate > 0 ? std::llround(double(size) / (rate / 10.0) * 1000) : 0;
    while (Waiting >= size) {
        unsigned n = ReadInto(size);
        if (n > 0 && OnReceivePacket)
            OnReceivePacket(nullptr, FBuffer.data(), n);
        if (n < size)
            break;
        // The rest began arriving about one packet's line time later.
        if (FPacketStart >= 0)
            FPacketStart += packetMs;
        Waiting -= size;
    }
    if (Waiting == 0)
        FPacketStart = -1;
    else if (FPacketStart < 0)
        FPacketStart = Clock();
}

void TMsgCommPortDriver::SetPort(msgdrv::TPortNumber Port) {
    if (Connected())
        return;
    FPortNumber = Port;
    if (Port != msgdrv::pnCustom)
        FPortName = "COM" + IntToStr(int(Port));
}

void TMsgCommPortDriver::SetPortName(const std::string &Name) {
    if (Connected())
        return;
    FPortName = Name;
    FPortNumber = msgdrv::pnCustom;
}

void TMsgCommPortDriver::SetBaudRate(msgdrv::TBaudRate Rate) {
    FBaudRate = Rate;
    if (Rate != msgdrv::brCustom)
        FBaudRateValue = unsigned(msgdrv::RateOf(Rate));
    if (Connected())
        ApplySettings();
}

void TMsgCommPortDriver::SetBaudRateValue(unsigned Rate) {
    FBaudRateValue = Rate;
    FBaudRate = msgdrv::brCustom;
    if (Connected())
        ApplySettings();
}

#define ORV_MSG_LINE_SETTER(Name, Type, Field)                                                     \
    void TMsgCommPortDriver::Name(Type Value) {                                                    \
        Field = Value;                                                                             \
        if (Connected())                                                                           \
            ApplySettings();                                                                       \
    }
ORV_MSG_LINE_SETTER(SetDataBits, TComPortDataBits, FDataBits)
ORV_MSG_LINE_SETTER(SetStopBits, TComPortStopBits, FStopBits)
ORV_MSG_LINE_SETTER(SetParity, TComPortParity, FParity)
ORV_MSG_LINE_SETTER(SetHwFlow, THwFlowControl, FHwFlow)
ORV_MSG_LINE_SETTER(SetSwFlow, TSwFlowControl, FSwFlow)
#undef ORV_MSG_LINE_SETTER

void TMsgCommPortDriver::SetInBufSize(unsigned Size) {
    if (Connected())
        return;
    FInBufSize = std::clamp(Size, MinInBuf, MaxInBuf);
    FBuffer.assign(FInBufSize, 0);
    SetPacketSize(FPacketSize);
}

void TMsgCommPortDriver::SetOutBufSize(unsigned Size) {
    if (!Connected())
        FOutBufSize = std::clamp(Size, MinOutBuf, MaxOutBuf);
}

// A packet never outgrows the largest input size, so raising the input
// size to hold it ends there.
void TMsgCommPortDriver::SetPacketSize(int Size) {
    if (Size <= 0) {
        FPacketSize = -1;
        return;
    }
    FPacketSize = std::min(Size, int(MaxInBuf));
    if (unsigned(FPacketSize) > FInBufSize && !Connected()) {
        FInBufSize = unsigned(FPacketSize);
        FBuffer.assign(FInBufSize, 0);
    }
}

void TMsgCommPortDriver::SetPacketTimeout(int Ms) {
    if (Ms <= 0)
        FPacketTimeout = -1;
    else if (Ms < int(FPollingDelay))
        FPacketTimeout = int(FPollingDelay + FPollingDelay * 40 / 100);
    else
        FPacketTimeout = Ms;
}

void TMsgCommPortDriver::SetPollingDelay(unsigned Ms) {
    if (Ms == FPollingDelay)
        return;
    FPollingDelay = Ms;
    SetPacketTimeout(FPacketTimeout);
}

} // namespace orv
