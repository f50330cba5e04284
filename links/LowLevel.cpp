#include "links/LowLevel.h"

#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "links/ComDrv32.h"
#include "links/LineTiming.h"
#include "links/ReplyLimit.h"
#include "links/StdMint.h"
#include "links/WorkerPark.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr int MaxSends = 21;
constexpr int VersionAttempts = 3;
constexpr int VersionWaitMs = 1000;
constexpr int NotifyMoveDone = WM_USER_MESSAGE + 1;
constexpr int NotifyNotReady = WM_USER_MESSAGE + 2;
constexpr int NotifyUnderWay = WM_USER_MESSAGE;
// The fewest bits a byte takes on the line (start, 8 data, 1 stop).
constexpr int64_t BitsPerByte = 10;
constexpr int64_t Never = INT64_MAX;

bool IsStatusByte(uint8_t B) {
    return (B & 0x80) != 0;
}
// 0x80 to 0xBF acknowledge the last write frame by bit 0; 0xC0 and up
// carry flags only.
bool IsAcknowledgement(uint8_t B) {
    return (B & 0xC0) == 0x80;
}

std::vector<std::string> SplitFields(const std::string &Text) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : Text) {
        if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

void Beep() {
    std::fputc('\a', stderr);
}

// A NAK with no status bits besides: a refusal. Other acknowledgement
// bytes with bit 0 set may be an ACK that a noisy line changed.
bool PlainNak(uint8_t B) {
    return B == 0x81 || B == frames::NAK;
}

std::string ByteText(uint8_t B) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X", B);
    return hex;
}

bool SameValue(double A, double B) {
    return std::fabs(A - B) <= 1e-9 * std::max(1.0, std::fabs(B));
}

} // namespace

bool SetLinkBaud(TCommPortDriver &Driver, int Baud) {
    static const struct {
        int Baud;
        TComPortBaudRate Rate;
    } rates[] = {{1200, br1200},   {2400, br2400},   {4800, br4800},
                 {9600, br9600},   {14400, br14400}, {19200, br19200},
                 {38400, br38400}, {56000, br56000}, {115200, br115200}};
    for (const auto &r : rates)
        if (r.Baud == Baud) {
            Driver.SetComPortSpeed(r.Rate);
            return true;
        }
    return false;
}

int64_t SteadyClockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t LineClockMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// ---------------------------------------------------------------- frames

namespace frames {

uint8_t Check(const std::string &Bytes) {
    uint8_t x = 0;
    for (char c : Bytes)
        x ^= uint8_t(c);
    return x;
}

std::string WriteFrame(const std::string &Command, int Channel, const std::string &Payload) {
    std::string f;
    f += char(EOT);
    f += Command;
    f += char('0' + Channel);
    f += Payload;
    f += char(ETX);
    f += char(Check(f));
    return f;
}

std::string ReadFrame(const std::string &Command, int Channel, const std::string &Payload) {
    std::string f;
    f += char(EOT);
    f += Command;
    f += char('0' + Channel);
    f += Payload;
    f += char(ENQ);
    return f;
}

std::string Reply(const std::string &Text) {
    std::string body = Text + char(ETX);
    return char(STX) + body + char(Check(body));
}

std::string CommsIndexText(int Index) {
    return (Index < 10 ? "0" : "") + IntToStr(Index);
}

std::string CommsWritePayload(int Index, Extended Value) {
    return CommsIndexText(Index) + "," + FloatToStr(Value);
}

std::string Printable(const std::string &Bytes) {
    static const char *names[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK"};
    std::string s;
    for (char c : Bytes) {
        uint8_t b = uint8_t(c);
        if (b <= ACK)
            s += std::string("<") + names[b] + ">";
        else if (b == NAK)
            s += "<NAK>";
        else if (b < 32 || b > 126) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", b);
            s += hex;
        } else
            s += c;
    }
    return s;
}

} // namespace frames

// ---------------------------------------------------------------- life

TLowLevel::TLowLevel() : FDriver(std::make_unique<TCommPortDriver>()) {
    FComms[comms::ReadySafe] = 1;
    if (::pipe2(FWake, O_NONBLOCK | O_CLOEXEC) != 0)
        FWake[0] = FWake[1] = -1;
}

void TLowLevel::Wake() {
    if (FWake[1] >= 0) {
        char b = 1;
        [[maybe_unused]] ssize_t n = ::write(FWake[1], &b, 1);
    }
}

TLowLevel::~TLowLevel() {
    {
        std::unique_lock lock(FLock);
        FTerminated = true;
    }
    FChanged.notify_all();
    if (FThread.joinable())
        FThread.join();
    FAlive.reset();
    FDriver->Disconnect();
    // A derived worker's port is closed by its own destructor.
    for (int fd : FWake)
        if (fd >= 0)
            ::close(fd);
}

void TLowLevel::StartWorker() {
    if (!FThread.joinable()) {
        {
            std::unique_lock lock(FLock);
            FSuspendRequested = false;
        }
        FThread = std::thread([this] { Execute(); });
        FRunning = true;
        return;
    }
    Resume();
}

// Parks the worker between two turns; it makes no driver call until resumed.
void TLowLevel::Suspend() {
    if (!FThread.joinable())
        return;
    std::unique_lock lock(FLock);
    FSuspendRequested = true;
    FChanged.notify_all();
    FChanged.wait(lock, [this] { return FParked || FTerminated.load(); });
    FRunning = false;
}

void TLowLevel::Resume() {
    std::unique_lock lock(FLock);
    FSuspendRequested = false;
    FRunning = true;
    FChanged.notify_all();
}

// ---------------------------------------------------------------- connect

bool TLowLevel::ConfigureDriver() {
    TCommPortDriver &d = *FDriver;
    d.SettingsFile = SettingsFile;
    if (Port < 1 || Port > 6) {
        Mess().ShowMessageByIndex(49, mtError, mbOK);
        return false;
    }
    d.SetComPort(TComPortNumber(Port - 1));
    d.SetComPortHwHandshaking(Handshake ? hhRTSCTS : hhNONE);
    if (!SetLinkBaud(d, Baud)) {
        Mess().ShowMessageByIndex(50, mtError, mbOK);
        return false;
    }
    d.SetComPortStopBits(StopBits == 1                    ? sb1BITS
                         : StopBits == 0 || StopBits == 3 ? sb1HALFBITS
                                                          : sb2BITS);
    d.SetComPortInBufSize(2048);
    d.SetComPortOutBufSize(2048);
    d.SetComPortPollingDelay(0);
    d.OnReceiveData = [this](TObject *, const uint8_t *Data, int Size) { ReceiveData(Data, Size); };
    return true;
}

bool TLowLevel::Connect(const std::string &ProgramFile, bool UnderInspection) {
    std::string main = SettingsFile.empty() ? NetUtil().MainIniFileName() : SettingsFile;
    ChecksumBeep =
        SameText(TIniFile(main).ReadString("Default Settings", "ChecksumBeep", "False"), "TRUE");
    Suspend();
    if (!OpenPort())
        return false;
    SetTurbo(true);
    if (UnderInspection) {
        SendBytes(BuildWriteFrame("M3", 1, "0"), true);
        EventLoop().ProcessMessages();
        SendBytes(std::string(1, char(frames::ENQ)), true);
    }
    FVersionDamaged = false;
    bool ok = VersionQuery();
    if (!ok && !FVersionDamaged)
        ok = Download(ProgramFile);
    if (ok)
        StartWorker();
    SetTurbo(false);
    return ok;
}

// One version frame, not resent; no reply within 1 s: a beep and false
// (the caller loads the program). A reply that came damaged (a wrong check
// byte, bytes lost or changed) is asked for again, three times in all: a
// read changes nothing on the controller. Three damaged replies fail the
// connection with a message saying what came instead.
bool TLowLevel::VersionQuery() {
    StartWorker();
    std::string came;
    for (int attempt = 0; attempt < VersionAttempts; ++attempt) {
        TRequest r;
        r.Kind = rkRead;
        r.Command = "VN";
        r.Channel = 6;
        r.NoResend = true;
        {
            std::unique_lock lock(FLock);
            FVersionBytes.clear();
        }
        bool done = false;
        std::optional<std::string> reply = Post(r, done);
        if (reply && reply->rfind("vn", 0) == 0)
            return true;
        {
            std::shared_lock lock(FLock);
            came = FVersionBytes;
        }
        if (came.empty())
            break;
    }
    if (came.empty()) {
        Beep();
        return false;
    }
    FVersionDamaged = true;
    MessageDlg("",
               Mess().Translate("The controller's version reply came damaged ") +
                   IntToStr(VersionAttempts) + Mess().Translate(" times (the last: ") +
                   frames::Printable(came) + Mess().Translate("); the connection failed."),
               mtError, mbOK);
    return false;
}

bool TLowLevel::OpenPort() {
    return ConfigureDriver() && FDriver->Connect();
}

void TLowLevel::ClosePort() {
    FDriver->Disconnect();
}

bool TLowLevel::PortOpen() const {
    return FDriver->Connected();
}

void TLowLevel::SendBytes(const std::string &Bytes, bool) {
    FDriver->SendString(Bytes);
}

void TLowLevel::PollPort(int WaitMs) {
    FDriver->WaitForData(WaitMs, FWake[0]);
    FDriver->Poll();
}

void TLowLevel::EndTurn() {
    PollDriver(1);
}

bool TLowLevel::TimedLine() const {
    return FDriver->TimedLine();
}

// The line's rate when its bytes take their time; 0 when they pass at once.
int TLowLevel::LineRate() const {
    return TimedLine() || PacedPseudoTerminal().load() ? Baud : 0;
}

std::string TLowLevel::BuildWriteFrame(const std::string &Command, int Channel,
                                       const std::string &Payload) const {
    return frames::WriteFrame(Command, Channel, Payload);
}

void TLowLevel::SleepTurn(int Ms) {
    pollfd p{FWake[0], POLLIN, 0};
    if (FWake[0] < 0 || ::poll(&p, 1, Ms) <= 0)
        return;
    char drain[64];
    while (::read(FWake[0], drain, sizeof drain) > 0) {
    }
}

bool TLowLevel::Download(const std::string &ProgramFile) {
    Suspend();
    FDriver->Disconnect();
    bool ok;
    {
        TStdMint loader;
        loader.SettingsFile = SettingsFile;
        loader.ProgressFactory = ProgressFactory;
        ok = loader.Download(Port, ProgramFile);
    }
    if (!FDriver->Connect())
        return false;
    EventLoop().ProcessMessages();
    return ok;
}

// ---------------------------------------------------------------- requests

// The worker's notification ends the wait at once; the message queue is
// served between the waits on it.
bool TLowLevel::WaitPumping(const std::function<bool()> &Done) {
    for (;;) {
        {
            std::shared_lock lock(FLock);
            if (Done())
                return true;
            if (FTerminated || !FRunning || EventLoop().KeyDown(VK_ESCAPE))
                return false;
            FChanged.wait_for(lock, std::chrono::milliseconds(1));
            if (Done())
                return true;
        }
        EventLoop().ProcessMessages();
    }
}

// One request at a time: the slot is taken when the worker has picked up
// the previous one, and the caller waits for this request's own result.
std::optional<std::string> TLowLevel::Post(TRequest Request, bool &Done) {
    Done = false;
    if (FLineFailed && !Request.EvenIfFailed)
        return std::nullopt;
    if (!WaitPumping([this] { return !FPending.has_value(); }))
        return std::nullopt;
    uint64_t seq;
    {
        std::unique_lock lock(FLock);
        seq = Request.Seq = ++FNextSeq;
        FPending = std::move(Request);
    }
    FChanged.notify_all();
    Wake();
    if (!WaitPumping([this, seq] { return FDoneSeq >= seq; }))
        return std::nullopt;
    std::shared_lock lock(FLock);
    Done = FDone.Done;
    return FDone.Reply;
}

std::optional<std::string> TLowLevel::Query(int Channel, const std::string &Command,
                                            const std::string &Payload) {
    TRequest r;
    r.Kind = rkRead;
    r.Channel = Channel;
    r.Command = Command;
    r.Payload = Payload;
    bool done;
    return Post(r, done);
}

bool TLowLevel::PostWrite(int Channel, const std::string &Payload, const std::string &Command) {
    TRequest r;
    r.Kind = rkWrite;
    r.Channel = Channel;
    r.Command = Command;
    r.Payload = Payload;
    bool done;
    Post(r, done);
    return done;
}

bool TLowLevel::PostStop(int Channel, const std::string &Payload, const std::string &Command) {
    TRequest r;
    r.Kind = rkWrite;
    r.Channel = Channel;
    r.Command = Command;
    r.Payload = Payload;
    r.EvenIfFailed = true;
    bool done;
    Post(r, done);
    return done;
}

bool TLowLevel::PostMove(int Channel, const std::string &Payload, const std::string &Command) {
    TRequest r;
    r.Kind = rkMove;
    r.Channel = Channel;
    r.Command = Command;
    r.Payload = Payload;
    bool done;
    Post(r, done);
    return done;
}

void TLowLevel::SetTurbo(bool On) {
    std::unique_lock lock(FLock);
    FTurbo = On;
}

// ---------------------------------------------------------------- readers

std::string TLowLevel::StatusField(int N) const {
    std::shared_lock lock(FLock);
    std::vector<std::string> fields = SplitFields(FStatusList);
    if (N < 0 || N >= int(fields.size()) || FStatusList.empty())
        return {};
    return fields[size_t(N)];
}

int32_t TLowLevel::StatusInt(int N) const {
    int32_t v;
    return TryStrToInt(StatusField(N), v) ? v : 9999999;
}

uint8_t TLowLevel::StatusByte(int N) const {
    int32_t v;
    return TryStrToInt(StatusField(N), v) ? uint8_t(v) : 0;
}

Extended TLowLevel::Comms(int Index) const {
    if (!comms::InTable(Index))
        return 0;
    std::shared_lock lock(FLock);
    return FComms[Index];
}

void TLowLevel::SetComms(int Index, Extended Value) {
    if (!comms::InTable(Index))
        return;
    std::unique_lock lock(FLock);
    FComms[Index] = Value;
}

bool TLowLevel::ChangePending() const {
    std::shared_lock lock(FLock);
    return FChangePending;
}

bool TLowLevel::IdleLatch() const {
    std::shared_lock lock(FLock);
    return FIdleLatch;
}

void TLowLevel::ClearIdleLatch() {
    std::unique_lock lock(FLock);
    FIdleLatch = false;
}

bool TLowLevel::Ready() const {
    std::shared_lock lock(FLock);
    return FReady;
}

bool TLowLevel::BackReady() const {
    std::shared_lock lock(FLock);
    return FBackReady;
}

void TLowLevel::ClearBackReady() {
    std::unique_lock lock(FLock);
    FBackReady = false;
}

std::string TLowLevel::VersionReply() const {
    std::shared_lock lock(FLock);
    return FVersionReply;
}

std::string TLowLevel::LastFrame() const {
    std::shared_lock lock(FLock);
    return FLastFrame;
}

int TLowLevel::ResendCount() const {
    std::shared_lock lock(FLock);
    return FResendCount;
}

std::vector<TLowLevel::TSent> TLowLevel::SendLog() const {
    std::shared_lock lock(FLock);
    return FSendLog;
}

int TLowLevel::ReplyState() const {
    std::shared_lock lock(FLock);
    return FReplyState;
}

void TLowLevel::ExpectReply(TRequestKind Kind, const std::string &Command,
                            const std::string &Frame) {
    std::unique_lock lock(FLock);
    FOutstandingKind = Kind;
    FOutstandingCommand = Command;
    FReplyState = Kind == rkRead ? 2 : 0;
    FAnswered = false;
    FAnswer.reset();
    FGivenUp = false;
    FLastFrame = Frame;
    FLastCommand = Command;
    FResendCount = 0;
    if (Kind == rkRead && Command == "MB")
        TryStrToInt(Frame.substr(4, Frame.size() - 5), FLastIndex);
}

// ---------------------------------------------------------------- worker

void TLowLevel::Execute() {
    int idleTurns = 0;
    bool reported = false;
    while (!FTerminated) {
        FClockSeen = Clock();
        std::optional<TRequest> request;
        {
            std::unique_lock lock(FLock);
            if (ParkWhileSuspended(lock, FChanged, FSuspendRequested, FParked, FTerminated))
                continue;
            FParked = false;
            request = FPending;
        }
        if (request) {
            // A request that waited while the line failed does not go out
            // on the dead line: it ends not done, as one posted after.
            TExchangeResult result;
            if (!FLineFailed || request->EvenIfFailed)
                result = Exchange(*request);
            {
                std::unique_lock lock(FLock);
                FPending.reset();
                FDone = result;
                FDoneSeq = request->Seq;
            }
            FChanged.notify_all();
            if (request->Kind == rkMove)
                reported = false;
            idleTurns = 0;
        } else {
            IdleWork(idleTurns);
        }
        Notifications(reported);
        EndTurn();
    }
    std::unique_lock lock(FLock);
    FParked = true;
    FChanged.notify_all();
}

// Status poll after PollingDelay idle turns; a comms entry the controller
// announced as changed is read through entry 99.
bool TLowLevel::StatusPollDue(int &IdleTurns, int Delay) {
    if (++IdleTurns <= Delay)
        return false;
    IdleTurns = 0;
    return true;
}

void TLowLevel::IdleWork(int &IdleTurns) {
    if (FLineFailed)
        return; // a dead line is not polled
    if (StatusPollDue(IdleTurns, PollingDelay))
        Exchange({rkRead, 6, "ZZ", "", 0, false});
    bool pending;
    {
        std::shared_lock lock(FLock);
        pending = FChangePending;
    }
    if (!pending)
        return;
    Exchange({rkRead, 6, "MB", "99", 0, false});
    int changed = Trunc(Comms(comms::LastChanged), 0);
    // An index outside the table is the controller's mistake: not read.
    if (comms::InTable(changed) && changed != comms::LastChanged)
        Exchange({rkRead, 6, "MB", IntToStr(changed), 0, false});
    std::unique_lock lock(FLock);
    FChangePending = false;
}

void TLowLevel::Notifications(bool &Reported) {
    bool changed, ready, turbo;
    {
        std::unique_lock lock(FLock);
        changed = FStatusChanged;
        FStatusChanged = false;
        ready = FReady;
        turbo = FTurbo;
    }
    if (changed) {
        if (!Stopped() && ready) {
            Reported = true;
            Notify(NotifyMoveDone);
        } else if (!ready) {
            Notify(NotifyNotReady);
        }
    }
    if (MotionState() != 0 && turbo && !Stopped() && !Reported && ready) {
        Reported = true;
        Notify(NotifyUnderWay);
    }
}

void TLowLevel::Notify(int Message) {
    if (NotifyWindow)
        NotifyWindow(Message);
}

void TLowLevel::PostToUser(std::function<void()> Message) {
    std::weak_ptr<int> alive = FAlive;
    EventLoop().Post([alive, Message = std::move(Message)] {
        if (alive.lock())
            Message();
    });
}

// Answers already waiting belong to earlier frames: they are taken before
// the frame goes out, and a write they made doubtful is checked first.
TLowLevel::TExchangeResult TLowLevel::Exchange(const TRequest &R) {
    PollDriver(0);
    RepairDoubtedWrite();
    return Transfer(R);
}

// Sends the request's frame and polls the driver until it is acknowledged
// (a write), answered by its own reply (a read) or given up. A write whose
// answer does not come in time, or comes as a doubtful NAK, is checked on
// the controller before it goes again.
TLowLevel::TExchangeResult TLowLevel::Transfer(const TRequest &R) {
    bool read = R.Kind == rkRead;
    std::string frame = read ? frames::ReadFrame(R.Command, R.Channel, R.Payload)
                             : BuildWriteFrame(R.Command, R.Channel, R.Payload);
    std::optional<TWrite> write;
    if (!read)
        write = TWrite{R, frame, StatusAxes(), FAnnouncements.load(), false};
    {
        std::unique_lock lock(FLock);
        if (R.Kind == rkMove)
            FIdleLatch = false;
        FOutstandingKind = R.Kind;
        FOutstandingCommand = R.Command;
        FReplyState = read ? 2 : 0;
        FAnswered = false;
        FAnswer.reset();
        FGivenUp = false;
        FNoResend = R.NoResend;
        FWriteDoubt = false;
        FLastFrame = frame;
        FLastCommand = R.Command;
        FResendCount = 0;
    }
    if (read && R.Command == "MB") {
        int32_t index = 0;
        FLastIndex = TryStrToInt(R.Payload, index) ? index : 0;
    }
    bool checkOnTimeout = true;
    if (write)
        FOpenWrite = write;
    SendFrame(frame);
    for (;;) {
        {
            std::shared_lock lock(FLock);
            if (FReplyState == 1 || FTerminated)
                break;
        }
        PollDriver(1);
        int64_t deadline;
        bool doubted;
        {
            std::unique_lock lock(FLock);
            deadline = FDeadline;
            doubted = FWriteDoubt;
            FWriteDoubt = false;
        }
        int64_t now = Clock();
        FClockSeen = now;
        if (write && (doubted || now >= deadline))
            CheckOpenWrite(*write, doubted, checkOnTimeout, now);
        else if (now >= deadline && R.Check)
            Unanswered();
        else if (now >= deadline)
            Resend(now);
    }
    std::unique_lock lock(FLock);
    TExchangeResult result;
    result.Done = !FGivenUp && (!read || FAnswered);
    result.Reply = read && FAnswered ? FAnswer : std::nullopt;
    FOutstandingKind = rkNone;
    if (write) {
        // Closed by its acknowledgement or its check; given up: nothing
        // later can make it doubtful.
        if (!result.Done)
            FLastClosed.reset();
        FOpenWrite.reset();
    }
    return result;
}

// Asking first costs a read; sending again a write the controller carried
// out would carry it out twice (a move made twice, a command run twice).
// A check that gets no answer (a dead line) is not asked again on later
// time-outs, so a dead line is given up in its usual time.
void TLowLevel::CheckOpenWrite(const TWrite &W, bool Doubted, bool &CheckOnTimeout,
                               int64_t Now) {
    if (!Doubted && !CheckOnTimeout) {
        Resend(Now);
        return;
    }
    TOpen open = SaveOpen();
    TVerdict verdict = Verify(W);
    RestoreOpen(open);
    CheckOnTimeout = verdict != TVerdict::Unknown;
    if (verdict == TVerdict::Done) {
        Note(frames::Printable(W.Frame) + " carried out: found on the controller");
        FLastClosed = W;
        FLastClosed->Checked = true;
        std::unique_lock lock(FLock);
        FReplyState = 1;
        return;
    }
    if (verdict == TVerdict::NotDone)
        Note(frames::Printable(W.Frame) + " not carried out: sent again");
    Resend(Clock());
}

void TLowLevel::RepairDoubtedWrite() {
    if (!FDoubted)
        return;
    TWrite w = *FDoubted;
    FDoubted.reset();
    if (FLineFailed)
        return;
    // A NAK made it doubtful: most likely it was refused. A write that does
    // the same however often it is carried out goes again as it is; one
    // that would do more (a relative move, an arc, a command) is checked,
    // and what cannot be checked (a homing) goes again.
    TVerdict verdict = Repeatable(w.Request) ? TVerdict::NotDone : Verify(w);
    if (verdict == TVerdict::Done) {
        if (FLastClosed && FLastClosed->Frame == w.Frame)
            FLastClosed->Checked = true;
        return;
    }
    Note(frames::Printable(w.Frame) + " refused: sent again");
    Transfer(w.Request);
}

// Sets a value or a target: carried out twice, it does what it did once.
bool TLowLevel::Repeatable(const TRequest &R) {
    if (R.Command == "MR" || R.Command == "CA")
        return false;
    if (R.Command != "MB")
        return true;
    std::vector<std::string> f = SplitFields(R.Payload);
    int32_t index = 0;
    double value = 0;
    return f.size() == 2 && TryStrToInt(f[0], index) && TryStrToFloat(f[1], value) &&
           (index != comms::Handshake || value == 0);
}

TLowLevel::TOpen TLowLevel::SaveOpen() const {
    std::shared_lock lock(FLock);
    return {FOutstandingKind, FLastCommand, FLastFrame, FResendCount};
}

// The write is open again, but nothing answers it until it goes again.
void TLowLevel::RestoreOpen(const TOpen &Open) {
    std::unique_lock lock(FLock);
    FOutstandingKind = Open.Kind;
    FOutstandingCommand = FLastCommand = Open.Command;
    FLastFrame = Open.Frame;
    FResendCount = Open.Resends;
    FReplyState = 0;
    FAnswered = false;
    FAnswer.reset();
    FGivenUp = false;
    FNoResend = false;
    FWriteDoubt = false;
    FEarliestAnswerUs = Never;
}

// ---------------------------------------------------------------- checks

TLowLevel::TVerdict TLowLevel::Verify(const TWrite &W) {
    struct TFlag {
        bool &F;
        explicit TFlag(bool &Flag) : F(Flag) { F = true; }
        ~TFlag() { F = false; }
    } verifying(FVerifying);
    const std::string &c = W.Request.Command;
    if (c == "MB")
        return VerifyComms(W);
    if (c == "VA" || c == "MA" || c == "MR" || c == "CA" || c == "HM")
        return VerifyMotion(W);
    return TVerdict::Unknown; // a stop, a setting: sent again as it is
}

// The entry read back holds the value written. The command handshake
// (entry 1) may already be back at 0: then the controller announced a
// changed entry since the write went out, and entry 99 names entry 1.
TLowLevel::TVerdict TLowLevel::VerifyComms(const TWrite &W) {
    std::vector<std::string> f = SplitFields(W.Request.Payload);
    int32_t index = 0;
    double value = 0, now = 0;
    if (f.size() != 2 || !TryStrToInt(f[0], index) || !comms::InTable(index) ||
        !TryStrToFloat(f[1], value))
        return TVerdict::Unknown;
    std::optional<std::string> reply = CheckRead("MB", IntToStr(index));
    if (!reply || !TryStrToFloat(reply->substr(2), now))
        return TVerdict::Unknown;
    if (SameValue(now, value))
        return TVerdict::Done;
    if (index != comms::Handshake || now != 0 || FAnnouncements.load() == W.Announcements)
        return TVerdict::NotDone;
    double last = 0;
    reply = CheckRead("MB", IntToStr(comms::LastChanged));
    if (!reply || !TryStrToFloat(reply->substr(2), last))
        return TVerdict::Unknown;
    return last == comms::Handshake ? TVerdict::Done : TVerdict::NotDone;
}

// From rest, a move carried out has the axes moving or somewhere else. Idle
// where they stood: not carried out, unless the move ends there.
TLowLevel::TVerdict TLowLevel::VerifyMotion(const TWrite &W) {
    if (!W.Before.Valid || !W.Before.Idle)
        return TVerdict::Unknown;
    std::optional<std::string> reply = CheckRead("ZZ", "");
    if (!reply)
        return TVerdict::Unknown;
    TAxes now;
    std::vector<std::string> f = SplitFields(reply->substr(2));
    if (f.size() < 6)
        return TVerdict::Unknown;
    for (int i = 0; i < 3; ++i)
        if (!TryStrToInt(f[size_t(i)], now.At[i]))
            return TVerdict::Unknown;
    if (f[3] != "1" || f[4] != "1" || f[5] != "1")
        return TVerdict::Done;
    if (!std::equal(now.At, now.At + 3, W.Before.At))
        return TVerdict::Done;
    const TRequest &r = W.Request;
    std::vector<std::string> p = SplitFields(r.Payload);
    std::vector<double> v;
    for (const std::string &t : p) {
        double d;
        if (!TryStrToFloat(t, d))
            return TVerdict::Unknown;
        v.push_back(d);
    }
    bool moves;
    if ((r.Command == "VA" || r.Command == "MA") && r.Channel == 6 && v.size() == 3)
        moves = v[0] != W.Before.At[0] || v[1] != W.Before.At[1] || v[2] != W.Before.At[2];
    else if (r.Command == "MA" && r.Channel >= 0 && r.Channel <= 2 && v.size() == 1)
        moves = v[0] != W.Before.At[r.Channel];
    else if (r.Command == "MR" && v.size() == 1)
        moves = v[0] != 0;
    else if (r.Command == "CA" && v.size() == 3) {
        double radius = std::hypot(W.Before.At[0] - v[0], W.Before.At[1] - v[1]);
        moves = 2 * radius * std::fabs(std::sin(v[2] * M_PI / 360)) >= 1;
    } else
        return TVerdict::Unknown; // homing: it may end where it began
    return moves ? TVerdict::NotDone : TVerdict::Done;
}

// A check that goes unanswered in time says nothing (the line may be
// dead); one refused or damaged is asked again, as any read.
void TLowLevel::Unanswered() {
    std::unique_lock lock(FLock);
    FGivenUp = true;
    FReplyState = 1;
}

std::optional<std::string> TLowLevel::CheckRead(const std::string &Command,
                                                const std::string &Payload) {
    TRequest r;
    r.Kind = rkRead;
    r.Channel = 6;
    r.Command = Command;
    r.Payload = Payload;
    r.Check = true;
    TExchangeResult result = Transfer(r);
    if (!result.Done || !result.Reply || result.Reply->size() < 2)
        return std::nullopt;
    return result.Reply;
}

TLowLevel::TAxes TLowLevel::StatusAxes() const {
    TAxes a;
    std::vector<std::string> f;
    {
        std::shared_lock lock(FLock);
        if (FStatusList.empty())
            return a;
        f = SplitFields(FStatusList);
    }
    if (f.size() < 6)
        return a;
    for (int i = 0; i < 3; ++i)
        if (!TryStrToInt(f[size_t(i)], a.At[i]))
            return a;
    a.Valid = true;
    a.Idle = f[3] == "1" && f[4] == "1" && f[5] == "1";
    return a;
}

void TLowLevel::Note(const std::string &Text) {
    if (!OnNote)
        return;
    auto onNote = OnNote;
    PostToUser([onNote, Text] { onNote(Text); });
}

// A frame's own answer comes after its last byte has reached the
// controller (on a real line: its bytes' time after it went out).
void TLowLevel::SendFrame(const std::string &Frame, bool Again) {
    int64_t now = Clock();
    int64_t startUs = LineClockUs();
    {
        std::unique_lock lock(FLock);
        // The version query waits its 1 s even when frames go again sooner.
        int wait = LineResendMs().load();
        FDeadline = now + (FNoResend ? std::max(wait, VersionWaitMs) : wait);
        if (KeepSendLog)
            FSendLog.push_back({now, Frame});
    }
    int rate = LineRate();
    FEarliestAnswerUs =
        startUs + (rate > 0 ? int64_t(Frame.size()) * BitsPerByte * 1000000 / rate : 0);
    if (!PortOpen())
        return;
    FSending = true;
    SendBytes(Frame, Again);
    FSending = false;
    if (FResendWanted) {
        FResendWanted = false;
        Resend(Clock());
    }
}

void TLowLevel::PollDriver(int WaitMs) {
    if (PortOpen())
        PollPort(WaitMs);
}

// The frame goes again after a short pause, up to 21 sends in all; the
// version query is never resent.
void TLowLevel::Resend(int64_t Now) {
    if (FSending) {
        FResendWanted = true;
        return;
    }
    std::string frame;
    {
        std::unique_lock lock(FLock);
        if (FReplyState == 1)
            return;
        if (FNoResend) {
            FGivenUp = true;
            FReplyState = 1;
            return;
        }
        ++FResendCount;
        if (FResendCount >= MaxSends) {
            lock.unlock();
            GiveUp();
            return;
        }
        frame = FLastFrame;
    }
    // The line settles for 10 ms before the frame goes again.
    if (PortOpen()) {
        int64_t until = Now + 10;
        for (int64_t now = Clock(); now < until && !FTerminated; now = Clock()) {
            FClockSeen = now;
            PollDriver(1);
        }
    }
    SendFrame(frame, true);
}

void TLowLevel::GiveUp() {
    std::string frame, command;
    {
        std::unique_lock lock(FLock);
        FGivenUp = true;
        FReplyState = 1;
        frame = frames::Printable(FLastFrame);
        command = FLastCommand;
    }
    FChanged.notify_all();
    // The line is dead: said once, in one box (the machine error when the
    // link listens, else the worker's own).
    if (FLineFailed.exchange(true))
        return;
    std::string sent = frame + "(" + command + ")";
    std::string details = "Major problem sending" + sent;
    TControllerErrorEvent onError = OnError;
    // Translated where it is shown, in the user-interface thread.
    PostToUser([this, sent, details, onError] {
        const std::string box = Mess().Translate("Major Timeout Problem sending - ") + sent;
        if (onError)
            onError(this, -1, "ERROR", "LowLevel Timed Out", details);
        else
            MessageDlg("", box, mtError, mbOK);
    });
}

// ---------------------------------------------------------------- receiver

// Every byte with bit 7 set is a status byte, never reply text: bits 3, 1,
// 2, 4 give the stop flag and the motion state; 0x80 to 0xBF acknowledge
// the last write frame by bit 0; 0xC0 and up announce a changed comms entry
// by bit 5. Other bytes build replies: STX text ETX check.
void TLowLevel::ReceiveData(const uint8_t *Data, int Size) {
    KeepVersionBytes(Data, Size);
    for (int i = 0; i < Size; ++i) {
        uint8_t b = Data[i];
        if (IsStatusByte(b)) {
            ApplyStatus(b);
            if (!IsAcknowledgement(b)) {
                if (b & 0x20) {
                    ++FAnnouncements;
                    std::unique_lock lock(FLock);
                    FChangePending = true;
                }
                continue;
            }
            Answer(b, (b & 1) != 0);
            continue;
        }
        if (FAwaitCheck) {
            FAwaitCheck = false;
            CheckByte(b);
            continue;
        }
        switch (b) {
        case frames::STX:
            FReceiveBuffer.clear();
            FDropping = false;
            break;
        case frames::ETX:
            FAwaitCheck = !FDropping;
            break;
        case frames::ACK:
            Answer(b, false);
            break;
        case frames::NAK:
            Answer(b, true);
            break;
        default:
            if (FDropping)
                break;
            FReceiveBuffer += char(b);
            if (FReceiveBuffer.size() > MaxReplyBytes) {
                // Not a reply: dropped up to the next STX.
                FReceiveBuffer.clear();
                FDropping = true;
            }
            break;
        }
    }
    FChanged.notify_all();
}

// What answers the version query, kept for the message when it is damaged.
void TLowLevel::KeepVersionBytes(const uint8_t *Data, int Size) {
    std::unique_lock lock(FLock);
    if (!FNoResend || FReplyState == 1)
        return;
    for (int i = 0; i < Size && FVersionBytes.size() < 80; ++i)
        FVersionBytes += char(Data[i]);
}

void TLowLevel::ApplyStatus(uint8_t B) {
    FStopped = (B & 0x08) != 0;
    if (B & 0x02)
        FMotionState = 0;
    else if (B & 0x10)
        FMotionState = 1;
    else if ((B & 0x16) == 0x04)
        FMotionState = 2;
}

// An answer ends the open write only when it can be the write's own: not
// sooner than its bytes could have reached the controller. A plain NAK sends the write again; a NAK with other status
// bits may be a damaged ACK, so the write is checked first.
void TLowLevel::Answer(uint8_t B, bool Nak) {
    int state;
    {
        std::shared_lock lock(FLock);
        state = FReplyState;
    }
    if (state == 1) {
        OutOfTurn(B, Nak, "with no frame open");
        return;
    }
    if (LineClockUs() < FEarliestAnswerUs) {
        OutOfTurn(B, Nak, "before the frame could have reached the controller");
        return;
    }
    if (state == 2) {
        // A refused read goes again: a read changes nothing. An ACK
        // belongs to an earlier write.
        if (Nak)
            Resend(Clock());
        else
            Note("ACK " + ByteText(B) + " out of turn, during a read");
        return;
    }
    if (Nak && PlainNak(B)) {
        Resend(Clock());
        return;
    }
    if (!Nak)
        FLastClosed = FOpenWrite;
    std::unique_lock lock(FLock);
    if (Nak)
        FWriteDoubt = true;
    else
        FReplyState = 1;
}

// A late duplicate answer belongs to an earlier frame. A NAK out of turn
// may be the refusal of the last write, whose place a stale ACK took: that
// write is checked before the next frame goes out.
void TLowLevel::OutOfTurn(uint8_t B, bool Nak, const std::string &Why) {
    Note(std::string(Nak ? "NAK " : "ACK ") + ByteText(B) + " out of turn, " + Why);
    if (!Nak || FVerifying || !FLastClosed || FLastClosed->Checked)
        return;
    FDoubted = FLastClosed;
    FLastClosed.reset();
}

void TLowLevel::CheckByte(uint8_t B) {
    std::string text = FReceiveBuffer;
    FReceiveBuffer.clear();
    if (frames::Check(text + char(frames::ETX)) == B) {
        HandleReply(text);
        return;
    }
    if (ChecksumBeep)
        Beep();
    bool reading;
    {
        std::shared_lock lock(FLock);
        reading = FReplyState == 2;
    }
    if (reading)
        Resend(Clock());
}

void TLowLevel::HandleReply(const std::string &Text) {
    std::string letters = Text.substr(0, 2);
    std::string body = Text.size() > 2 ? Text.substr(2) : std::string();
    if (letters == "zz") {
        std::vector<std::string> f = SplitFields(body);
        bool idle = f.size() > 5 && f[3] == "1" && f[4] == "1" && f[5] == "1";
        std::unique_lock lock(FLock);
        FStatusList = body;
        if (idle && !FIdleLatch)
            FStatusChanged = FIdleLatch = true;
    } else if (letters == "mb") {
        HandleComms(body);
    } else if (letters == "er") {
        PostToUser([Text] { MessageDlg("", Text, mtError, mbOK); });
    } else if (letters == "vn") {
        std::unique_lock lock(FLock);
        FVersionReply = Text;
    }
    // The outstanding read ends with its own reply; an error reply ends it
    // without a value.
    std::unique_lock lock(FLock);
    if (FReplyState != 2)
        return;
    if (letters == LowerCase(FOutstandingCommand)) {
        FAnswered = true;
        FAnswer = Text;
        FReplyState = 1;
    } else if (letters == "er") {
        FReplyState = 1;
    }
}

void TLowLevel::HandleComms(const std::string &Body) {
    double value;
    if (!TryStrToFloat(Body, value) || !comms::InTable(FLastIndex))
        return;
    std::unique_lock lock(FLock);
    FComms[FLastIndex] = value;
    if (FLastIndex != comms::ReadySafe)
        return;
    FReady = value == 1;
    if (!FReady && !FWentNotReady) {
        FWentNotReady = true;
        FBackReady = false;
    } else if (FWentNotReady && FReady && !FBackReady) {
        FWentNotReady = false;
        FBackReady = true;
    }
}

} // namespace orv
