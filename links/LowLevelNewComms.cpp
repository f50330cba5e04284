#include "links/LowLevelNewComms.h"

#include "engine/core/Mess.h"
#include "links/MsgDrv.h"
#include "links/StdMint.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"

#include <thread>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

namespace {

constexpr int TurnSleepMs = 5;
// A byte waits for an empty output queue at most this long (real time).
constexpr int64_t QueueStallMs = 500;

bool RateFor(int Baud, msgdrv::TBaudRate &Rate) {
    static const struct {
        int Baud;
        msgdrv::TBaudRate Rate;
    } rates[] = {{1200, msgdrv::br1200},   {2400, msgdrv::br2400},   {4800, msgdrv::br4800},
                 {9600, msgdrv::br9600},   {14400, msgdrv::br14400}, {19200, msgdrv::br19200},
                 {38400, msgdrv::br38400}, {56000, msgdrv::br56000}, {115200, msgdrv::br115200}};
    for (const auto &r : rates)
        if (r.Baud == Baud) {
            Rate = r.Rate;
            return true;
        }
    return false;
}

} // namespace

TLowLevelNewComms::TLowLevelNewComms() : FMsg(std::make_unique<TMsgCommPortDriver>()) {}

TLowLevelNewComms::~TLowLevelNewComms() {
    // The worker stops (base destructor) before the driver goes: it is the
    // driver's only caller while it runs.
    Suspend();
}

bool TLowLevelNewComms::OpenPort() {
    TMsgCommPortDriver &d = *FMsg;
    d.Disconnect();
    d.SettingsFile = SettingsFile;
    if (Port < 1 || Port > LastPort()) {
        Mess().ShowMessageByIndex(49, mtError, mbOK);
        return false;
    }
    msgdrv::TBaudRate rate;
    if (!RateFor(Baud, rate)) {
        Mess().ShowMessageByIndex(50, mtError, mbOK);
        return false;
    }
    d.SetPort(msgdrv::TPortNumber(Port));
    d.SetHwFlow(Handshake ? hfRTSCTS : hfNONE);
    d.SetBaudRate(rate);
    d.SetStopBits(StopBits == 1 ? sb1BITS : StopBits == 0 || StopBits == 3 ? sb1HALFBITS : sb2BITS);
    d.SetDataBits(db8BITS);
    d.SetParity(ptNONE);
    d.SetInBufSize(128);
    d.SetOutBufSize(128);
    d.OnReceiveData = [this](TObject *, const uint8_t *Data, unsigned Size) {
        ReceiveData(Data, int(Size));
    };
    if (d.Connect())
        return true;
    MessageDlg("", Tr("Error Locating ") + d.PortName() + "\n" + d.LastError, mtError, mbOK);
    return false;
}

void TLowLevelNewComms::ClosePort() {
    FMsg->Disconnect();
}

bool TLowLevelNewComms::PortOpen() const {
    return FMsg->Connected();
}

void TLowLevelNewComms::PollReceiver() {
    TMessage m;
    m.Msg = WM_TIMER;
    FMsg->TimerWndProc(m);
}

// One byte at a time, each into an empty queue, the receiver polled after
// each; a queue that does not empty within QueueStallMs ends the frame
// there (its resend comes from the missing acknowledgement).
void TLowLevelNewComms::SendBytes(const std::string &Bytes, bool Resend) {
    TMsgCommPortDriver &d = *FMsg;
    if (Resend) {
        if (!Bytes.empty())
            d.SendString(Bytes);
        return;
    }
    for (char c : Bytes) {
        int64_t since = SteadyClockMs();
        for (;;) {
            int free = d.OutFreeSpace();
            if (free == int(d.OutBufSize()) || free == -1) {
                d.SendByte(uint8_t(c));
                PollReceiver();
                break;
            }
            PollReceiver();
            if (SteadyClockMs() - since > QueueStallMs)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void TLowLevelNewComms::PollPort(int WaitMs) {
    FMsg->WaitForData(WaitMs, WakeHandle());
    PollReceiver();
}

void TLowLevelNewComms::EndTurn() {
    if (PortOpen())
        PollReceiver();
    SleepTurn(TurnSleepMs);
}

bool TLowLevelNewComms::Download(const std::string &) {
    Suspend();
    ClosePort();
    EventLoop().ProcessMessages();
    { TStdMint pause; }
    bool open = FMsg->Connect();
    EventLoop().ProcessMessages();
    Resume();
    return open;
}

} // namespace orv
