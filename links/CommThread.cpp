#include "links/CommThread.h"

#include "links/ComDrv32.h"
#include "links/LowLevel.h"
#include "links/ReplyLimit.h"
#include "links/WorkerPark.h"
#include "platform/EventLoop.h"

#include <mutex>

namespace orv {

namespace {

enum { pkNone = 0, pkCommandAck = 2, pkRead = 3, pkCommand = 4, pkRaw = 5 };
constexpr int AnswerMs = 5000;

const char *ErrorTexts[] = {"No error", "Timed out waiting for reply", "Com port number is invalid",
                            "Baud rate is invalid", "Could not open com port"};

} // namespace

std::string TCommThread::CommandFrame(int Channel, const std::string &Command,
                                      const std::string &Payload) {
    return frames::WriteFrame(Command, Channel, Payload);
}

std::string TCommThread::ReadFrame(int Channel, const std::string &Command,
                                   const std::string &Payload) {
    return frames::ReadFrame(Command, Channel, Payload);
}

TCommThread::TCommThread() : FAnswerTimer(std::make_unique<TTimer>()) {
    FAnswerTimer->SetInterval(AnswerMs);
    FAnswerTimer->OnTimer = [this] {
        FAnswerTimer->SetEnabled(false);
        RecordError(1);
    };
    FThread = std::thread([this] { Execute(); });
}

TCommThread::~TCommThread() {
    {
        std::unique_lock lock(FLock);
        FTerminated = true;
    }
    FChanged.notify_all();
    FThread.join();
    FAlive.reset();
    FAnswerTimer->SetEnabled(false);
    if (FDriver)
        FDriver->Disconnect();
}

void TCommThread::PostToUser(std::function<void()> Message) {
    std::weak_ptr<int> alive = FAlive;
    EventLoop().Post([alive, Message = std::move(Message)] {
        if (alive.lock())
            Message();
    });
}

// ---------------------------------------------------------------- state

std::string TCommThread::Reply() const {
    std::shared_lock lock(FLock);
    return FReplyBuffer;
}
void TCommThread::ClearReply() {
    std::unique_lock lock(FLock);
    FReplyBuffer.clear();
    FInFrame = FDropping = false;
}
int TCommThread::ErrorCode() const {
    std::shared_lock lock(FLock);
    return FErrorCode;
}
std::string TCommThread::ErrorText() const {
    return ErrorTexts[ErrorCode()];
}
void TCommThread::ClearError() {
    std::unique_lock lock(FLock);
    FErrorCode = 0;
}
int TCommThread::FailedPort() const {
    std::shared_lock lock(FLock);
    return FFailedPort;
}
void TCommThread::SetFailedPort(int Port) {
    std::unique_lock lock(FLock);
    FFailedPort = Port;
}
int TCommThread::LinkState() const {
    std::shared_lock lock(FLock);
    return FLinkState;
}

int TCommThread::OpenPort() const {
    if (!FDriver || !FDriver->Connected())
        return 0;
    std::shared_lock lock(FLock);
    return FPort;
}

bool TCommThread::Busy() const {
    std::shared_lock lock(FLock);
    return FPendingKind != pkNone || FLinkState == 0;
}

// Any thread: the code under the lock; the notify event in the
// user-interface thread.
void TCommThread::RecordError(int Code) {
    {
        std::unique_lock lock(FLock);
        FErrorCode = Code;
        if (Code == 1)
            FFailedPort = FPort;
        FLinkState = 1;
    }
    FChanged.notify_all();
    PostToUser([this] {
        if (OnNotify)
            OnNotify(this);
    });
}

// ---------------------------------------------------------------- links

void TCommThread::Suspend() {
    std::unique_lock lock(FLock);
    FSuspended = true;
    FChanged.wait(lock, [this] { return FParked; });
}

void TCommThread::Resume() {
    std::unique_lock lock(FLock);
    FSuspended = false;
    FChanged.notify_all();
}

void TCommThread::OpenLink(int Port, int Baud) {
    if (!FDriver)
        FDriver = std::make_unique<TCommPortDriver>();
    Suspend();
    TCommPortDriver &d = *FDriver;
    d.Disconnect();
    d.SettingsFile = SettingsFile;
    bool portOk = Port >= 1 && Port <= 6;
    if (portOk)
        d.SetComPort(TComPortNumber(Port - 1));
    else
        RecordError(2);
    bool rateOk = SetLinkBaud(d, Baud);
    if (!rateOk)
        RecordError(3);
    d.SetComPortHwHandshaking(hhNONE);
    d.SetComPortStopBits(sb2BITS);
    d.SetComPortInBufSize(2048);
    d.SetComPortOutBufSize(2048);
    d.SetComPortPollingDelay(0);
    d.OnReceiveData = [this](TObject *, const uint8_t *Data, int Size) {
        ReceiveBytes(Data, Size);
    };
    if (portOk && rateOk && !d.Connect())
        RecordError(4);
    {
        std::unique_lock lock(FLock);
        FPort = Port;
    }
    Resume();
    std::unique_lock lock(FLock);
    FLinkState = 1;
}

// The polled driver names COM1 to COM8; another number is no port of its.
void TCommThread::ChangePort(int Port) {
    if (!FDriver)
        FDriver = std::make_unique<TCommPortDriver>();
    Suspend();
    FDriver->Disconnect();
    {
        std::unique_lock lock(FLock);
        FPort = Port;
    }
    if (Port < 1 || Port > 8)
        RecordError(2);
    else {
        FDriver->SetComPort(TComPortNumber(Port - 1));
        if (!FDriver->Connect())
            RecordError(4);
    }
    EventLoop().ProcessMessages();
    Resume();
    EventLoop().ProcessMessages();
}

void TCommThread::CloseLink() {
    if (!FDriver)
        return;
    Suspend();
    FDriver->Disconnect();
    Resume();
}

// ---------------------------------------------------------------- requests

void TCommThread::Request(int Kind, int Channel, const std::string &Command,
                          const std::string &Payload, bool WaitReady) {
    {
        std::unique_lock lock(FLock);
        FPendingKind = Kind;
        FChannel = Channel;
        FCommand = Command;
        FPayload = Payload;
    }
    FChanged.notify_all();
    FAnswerTimer->SetEnabled(true);
    for (;;) {
        {
            std::shared_lock lock(FLock);
            bool out =
                FPendingKind == pkNone && (FLinkState == 1 || (!WaitReady && FLinkState == 5));
            if (out || FSuspended || FTerminated)
                break;
        }
        EventLoop().ProcessMessages();
    }
    FAnswerTimer->SetEnabled(false);
}

void TCommThread::ReadRequest(int Channel, const std::string &Command, const std::string &Payload) {
    Request(pkRead, Channel, Command, Payload, false);
}

void TCommThread::CommandRequest(int Channel, const std::string &Command,
                                 const std::string &Payload) {
    Request(pkCommand, Channel, Command, Payload, true);
}

void TCommThread::RawRequest(const std::string &Text) {
    Request(pkRaw, 0, "", Text, false);
}

// ---------------------------------------------------------------- worker

void TCommThread::Execute() {
    while (!FTerminated) {
        int kind, channel;
        std::string command, payload;
        {
            std::unique_lock lock(FLock);
            if (ParkWhileSuspended(lock, FChanged, FSuspended, FParked, FTerminated))
                continue;
            kind = FPendingKind;
            channel = FChannel;
            command = FCommand;
            payload = FPayload;
            if (kind != pkNone)
                FLinkState = kind == pkRead ? 5 : 0;
            FReplyState = kind == pkRead ? 2 : kind == pkRaw ? 1 : 0;
        }
        bool open = FDriver && FDriver->Connected();
        if (kind == pkRead && open)
            FDriver->SendString(ReadFrame(channel, command, payload));
        else if (kind == pkCommand && open)
            FDriver->SendString(CommandFrame(channel, command, payload));
        else if (kind == pkRaw && open)
            FDriver->SendString(payload);
        if (kind != pkNone) {
            std::unique_lock lock(FLock);
            FPendingKind = pkNone;
        }
        if (open) {
            FDriver->WaitForData(1);
            FDriver->Poll();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        {
            std::unique_lock lock(FLock);
            if (FLinkState != 5)
                FLinkState = 1;
        }
        FChanged.notify_all();
    }
    std::unique_lock lock(FLock);
    FParked = true;
    FChanged.notify_all();
}

void TCommThread::ReceiveBytes(const uint8_t *Data, int Size) {
    for (int i = 0; i < Size; ++i) {
        uint8_t b = Data[i];
        if (b == frames::NAK) {
            PostToUser([this] { FAnswerTimer->SetEnabled(false); });
            RecordError(1);
            continue;
        }
        std::unique_lock lock(FLock);
        if (b == frames::STX) {
            FReplyBuffer.clear();
            FInFrame = true;
            FDropping = false;
        } else if (b == frames::ETX) {
            if (!FDropping)
                FReplyState = 3;
            FInFrame = false;
        } else if (b == frames::ACK) {
            FReplyState = 1;
            lock.unlock();
            PostToUser([this] { FAnswerTimer->SetEnabled(false); });
        } else if (!FDropping) {
            FReplyBuffer += char(b);
            if (FInFrame && FReplyBuffer.size() > MaxReplyBytes) {
                // Not a reply: the frame goes and the next STX starts again.
                FReplyBuffer.clear();
                FInFrame = false;
                FDropping = true;
            } else {
                TrimReplyTail(FReplyBuffer); // raw text: the newest bytes stay
            }
        }
    }
    std::unique_lock lock(FLock);
    KeepReplyTail(FReplyBuffer);
}

} // namespace orv
