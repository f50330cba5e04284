#include "links/ComDrv32.h"

#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

namespace {

const int RateValues[] = {110,   300,   600,   1200,  2400,  4800,  9600,
                          14400, 19200, 38400, 56000, 57600, 115200};

char ParityLetter(TComPortParity P) {
    static const char letters[] = {'N', 'O', 'E', 'M', 'S'};
    return letters[P];
}

// A stalled line is a matter of real time, whatever clock the program runs on.
int64_t SteadyNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::atomic<uint64_t> gTotalSent{0}, gTotalReceived{0};

} // namespace

uint64_t TCommPortDriver::TotalBytesSent() {
    return gTotalSent.load();
}
uint64_t TCommPortDriver::TotalBytesReceived() {
    return gTotalReceived.load();
}

int BaudRateValue(TComPortBaudRate Rate) {
    return RateValues[Rate];
}

TCommPortDriver::TCommPortDriver()
    : FBuffer(size_t(FInBufSize)), FTimer(std::make_unique<TTimer>()) {
    FTimer->OnTimer = [this] { Poll(); };
}

TCommPortDriver::~TCommPortDriver() {
    Disconnect();
}

std::string TCommPortDriver::PortName() const {
    return "COM" + IntToStr(int(FComPort) + 1);
}

bool TCommPortDriver::Connect() {
    if (Connected())
        return true;
    std::string settings = SettingsFile.empty() ? NetUtil().MainIniFileName() : SettingsFile;
    std::string device = SerialDevicePath(PortName(), settings);
    std::string error;
    if (!FPort.Open(device, error)) {
        MessageDlg("", Tr("Error Locating ") + PortName() + "\n" + error, mtError, mbOK);
        return false;
    }
    if (!ApplySettings()) {
        FPort.Close();
        return false;
    }
    RestartTimer();
    return true;
}

void TCommPortDriver::Disconnect() {
    if (!Connected())
        return;
    FTimer->SetEnabled(false);
    FPort.Close();
}

// A pseudo-terminal has no modem lines: DTR is tried and a refusal ignored.
bool TCommPortDriver::ApplySettings() {
    TSerialSettings s;
    s.Baud = BaudRateValue(FSpeed);
    s.DataBits = 5 + int(FDataBits);
    s.Parity = ParityLetter(FParity);
    s.StopBits = FStopBits == sb1BITS ? 1 : 2; // 1.5 stop bits run as 2
    s.RtsCts = FHw == hhRTSCTS;
    s.XonXoff = FSw == shXONXOFF;
    s.XonLimit = FInBufSize / 4;
    s.XoffLimit = 1;
    std::string error;
    if (!FPort.Apply(s, error)) {
        MessageDlg("", Tr("Baud Rate Number unsupported") + "\n" + PortName() + " " + error, mtError,
                   mbOK);
        return false;
    }
    if (EnableDTROnOpen)
        FPort.SetDTR(true);
    return true;
}

void TCommPortDriver::RestartTimer() {
    FTimer->SetEnabled(false);
    if (FPollingDelay <= 0 || !Connected())
        return;
    FTimer->SetInterval(FPollingDelay);
    FTimer->SetEnabled(true);
}

void TCommPortDriver::FlushBuffers(bool Input, bool Output) {
    FPort.Flush(Input, Output);
}

int TCommPortDriver::OutFreeSpace() const {
    if (!Connected())
        return -1;
    return std::max(0, FOutBufSize - FPort.OutQueued());
}

int TCommPortDriver::SendData(const uint8_t *Buffer, int Count) {
    if (!Connected())
        return 0;
    int written = 0;
    int64_t start = SteadyNowMs();
    while (Count > 0) {
        int free = OutFreeSpace();
        if (free > 0) {
            int n = FPort.Write(Buffer + written, std::min(free, Count));
            if (n < 0)
                return written > 0 ? -written : -1;
            if (n > 0) {
                written += n;
                Count -= n;
                FBytesSent += uint64_t(n);
                gTotalSent += uint64_t(n);
                start = SteadyNowMs();
                continue;
            }
        }
        if (SteadyNowMs() - start > OutputTimeout)
            return written > 0 ? -written : -1;
        std::this_thread::yield();
    }
    return written;
}

bool TCommPortDriver::SendString(const std::string &S) {
    if (S.empty())
        return true;
    return SendData(reinterpret_cast<const uint8_t *>(S.data()), int(S.size())) == int(S.size());
}

void TCommPortDriver::SetDTR(bool On) {
    FPort.SetDTR(On);
}
void TCommPortDriver::SetRTS(bool On) {
    FPort.SetRTS(On);
}

void TCommPortDriver::Poll() {
    if (!Connected())
        return;
    int n = FPort.Read(FBuffer.data(), int(FBuffer.size()));
    if (n <= 0)
        return;
    // Counted once handed on: a count that has grown means the receiver
    // has the bytes.
    if (OnReceiveData) {
        try {
            OnReceiveData(nullptr, FBuffer.data(), n);
        } catch (...) {
            // A fault in the receiver costs this chunk only.
        }
    }
    FBytesReceived += uint64_t(n);
    gTotalReceived += uint64_t(n);
}

bool TCommPortDriver::WaitForData(int Ms, int WakeHandle) {
    return FPort.WaitReadable(Ms, WakeHandle);
}

void TCommPortDriver::SetComPort(TComPortNumber Port) {
    if (!Connected())
        FComPort = Port;
}

#define ORV_LINE_SETTER(Name, Type, Field)                                                         \
    void TCommPortDriver::Name(Type Value) {                                                       \
        Field = Value;                                                                             \
        if (Connected())                                                                           \
            ApplySettings();                                                                       \
    }
ORV_LINE_SETTER(SetComPortSpeed, TComPortBaudRate, FSpeed)
ORV_LINE_SETTER(SetComPortDataBits, TComPortDataBits, FDataBits)
ORV_LINE_SETTER(SetComPortStopBits, TComPortStopBits, FStopBits)
ORV_LINE_SETTER(SetComPortParity, TComPortParity, FParity)
ORV_LINE_SETTER(SetComPortHwHandshaking, TComPortHwHandshaking, FHw)
ORV_LINE_SETTER(SetComPortSwHandshaking, TComPortSwHandshaking, FSw)
#undef ORV_LINE_SETTER

void TCommPortDriver::SetComPortInBufSize(int Size) {
    if (Connected() || Size <= 0)
        return;
    FInBufSize = Size;
    FBuffer.assign(size_t(Size), 0);
}

void TCommPortDriver::SetComPortOutBufSize(int Size) {
    if (!Connected() && Size > 0)
        FOutBufSize = Size;
}

void TCommPortDriver::SetComPortPollingDelay(int Ms) {
    if (Ms == FPollingDelay)
        return;
    FPollingDelay = Ms;
    RestartTimer();
}

} // namespace orv
