#include "links/LowLevelTRIO.h"

#include "engine/core/Mess.h"
#include "links/ComDrv32.h"
#include "links/LineTiming.h"
#include "links/LowLevel.h"
#include "links/ReplyLimit.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"

#include <chrono>
#include <cmath>
#include <mutex>
#include <vector>

namespace orv {

namespace {

const char *const TablePoll = "TABLEVALUES(0,20,0)";

bool Busy(double Entry) {
    return std::lround(Entry) == 1;
}

} // namespace

TLowLevelTRIO::TLowLevelTRIO()
    : FDriver(std::make_unique<TCommPortDriver>()), Clock(SteadyClockMs),
      FResendMs(LineResendMs().load()) {
    for (double &v : FTable)
        v = NoValue;
}

TLowLevelTRIO::~TLowLevelTRIO() {
    FTerminated = true;
    if (FThread.joinable())
        FThread.join();
    FAlive.reset();
    FDriver->Disconnect();
}

std::string TLowLevelTRIO::CommandLine(const std::string &Command, const std::string &Payload,
                                       int Axis) {
    if (Payload.empty())
        return Command;
    std::string line = Command + "(" + Payload + ")";
    if (Axis != NoAxis)
        line += " AXIS(" + IntToStr(Axis) + ")";
    return line;
}

bool TLowLevelTRIO::TablePollDue(int &Turns, int Threshold) {
    if (++Turns > std::max(Threshold, 1))
        Turns = 0;
    return Turns == 1;
}

// ---------------------------------------------------------------- open

bool TLowLevelTRIO::OpenLink() {
    TCommPortDriver &d = *FDriver;
    d.SettingsFile = SettingsFile;
    if (Port < 1 || Port > 6) {
        Mess().ShowMessageByIndex(49, mtError, mbOK);
        return false;
    }
    d.SetComPort(TComPortNumber(Port - 1));
    static const struct {
        int Baud;
        TComPortBaudRate Rate;
    } rates[] = {{1200, br1200},   {2400, br2400},   {4800, br4800},   {9600, br9600},
                 {14400, br14400}, {19200, br19200}, {38400, br38400}, {56000, br56000}};
    bool known = false;
    for (const auto &r : rates)
        if (r.Baud == Baud) {
            d.SetComPortSpeed(r.Rate);
            known = true;
        }
    if (!known) {
        Mess().ShowMessageByIndex(50, mtError, mbOK);
        return false;
    }
    d.SetComPortDataBits(db7BITS);
    d.SetComPortParity(ptEVEN);
    d.SetComPortStopBits(sb2BITS);
    d.SetComPortInBufSize(2048);
    d.SetComPortOutBufSize(2048);
    d.SetComPortPollingDelay(0);
    d.OnReceiveData = [this](TObject *, const uint8_t *Data, int Size) { ReceiveData(Data, Size); };
    {
        std::unique_lock lock(FLock);
        FPromptSeen = true;
    }
    if (FThread.joinable())
        return d.Connected();
    if (!d.Connect())
        return false;
    {
        std::unique_lock lock(FLock);
        FLinkState = 1;
    }
    FRunning = true;
    FThread = std::thread([this] { Execute(); });
    return true;
}

// ---------------------------------------------------------------- hand-over

bool TLowLevelTRIO::WaitPumping(const std::function<bool()> &Done) {
    for (;;) {
        {
            std::shared_lock lock(FLock);
            if (Done())
                return true;
        }
        if (!FRunning)
            return false;
        EventLoop().ProcessMessages();
        std::this_thread::yield();
    }
}

bool TLowLevelTRIO::SendWithWait(const std::string &Command, const std::string &Payload, int Axis) {
    if (!WaitPumping([this] { return FPendingKind == pkNone; }))
        return false;
    {
        std::unique_lock lock(FLock);
        FPendingKind = pkCommand;
        FPendingCommand = Command;
        FPendingPayload = Payload;
        FPendingAxis = Axis;
    }
    return WaitPumping([this] { return FLinkState == 1 && FPendingKind == pkNone; });
}

bool TLowLevelTRIO::SendMove(const std::string &Command, const std::string &Payload, int Axis) {
    if (!WaitPumping([this] { return FPendingKind == pkNone; }))
        return false;
    {
        std::unique_lock lock(FLock);
        FPendingKind = pkMove;
        FPendingCommand = Command;
        FPendingPayload = Payload;
        FPendingAxis = Axis;
        FIdle = false; // a table answer from before the move says nothing of it
    }
    return WaitPumping([this] { return FLinkState == 1; });
}

double TLowLevelTRIO::Table(int Index) const {
    std::shared_lock lock(FLock);
    return Index >= 0 && Index < 16 ? FTable[Index] : NoValue;
}

bool TLowLevelTRIO::Idle() const {
    std::shared_lock lock(FLock);
    return FIdle;
}

void TLowLevelTRIO::ClearIdle() {
    std::unique_lock lock(FLock);
    FIdle = false;
}

int TLowLevelTRIO::ResendCount() const {
    std::shared_lock lock(FLock);
    return FResendCount;
}

// ---------------------------------------------------------------- worker

void TLowLevelTRIO::Execute() {
    int turns = 0;
    bool turboNotified = true;
    while (!FTerminated) {
        FClockSeen = Clock();
        TPendingKind kind;
        std::string line;
        {
            std::unique_lock lock(FLock);
            kind = FPendingKind;
            if (kind != pkNone) {
                FLinkState = 0;
                FInFlight = true;
                line = CommandLine(FPendingCommand, FPendingPayload, FPendingAxis);
                if (kind == pkMove)
                    FIdle = false;
            }
        }
        if (kind != pkNone) {
            WriteLine(line);
            AwaitPrompt();
            {
                std::unique_lock lock(FLock);
                if (kind == pkMove && FInFlight)
                    FMoveOutstanding = true; // its prompt came: it runs
                FPendingKind = pkNone;
                FInFlight = false;
            }
            if (kind == pkMove)
                turboNotified = false;
            turns = 0;
        } else {
            int before = turns;
            if (TablePollDue(turns, PollThreshold)) {
                WriteLine(TablePoll);
                AwaitPrompt();
            }
            if (turns == 0 && before != 0) {
                std::unique_lock lock(FLock);
                FLinkState = 2;
            }
        }
        bool done = false;
        {
            std::unique_lock lock(FLock);
            if (FNewValues) {
                FNewValues = false;
                done = FMoveOutstanding && FIdle;
                if (done)
                    FMoveOutstanding = false;
            }
        }
        if (done) {
            Notify(WM_USER_MESSAGE + 1);
            turboNotified = true;
        }
        if (kind == pkMove && FTurbo && !turboNotified) {
            Notify(WM_USER_MESSAGE);
            turboNotified = true;
        }
        PollDriver();
        std::unique_lock lock(FLock);
        FLinkState = 1;
    }
}

void TLowLevelTRIO::WriteLine(const std::string &Line) {
    {
        std::unique_lock lock(FLock);
        FPromptSeen = false;
        FLastLine = Line;
        FResendCount = 0;
        FDeadline = Clock() + FResendMs;
    }
    FDriver->SendString(Line + "\r");
}

// Polls until the prompt; the resend deadline is the worker's own.
void TLowLevelTRIO::AwaitPrompt() {
    for (;;) {
        int64_t deadline;
        {
            std::shared_lock lock(FLock);
            if (FPromptSeen || FTerminated)
                return;
            deadline = FDeadline;
        }
        PollDriver();
        int64_t now = Clock();
        FClockSeen = now;
        if (now >= deadline)
            Resend(now);
    }
}

void TLowLevelTRIO::Resend(int64_t Now) {
    std::string line, command;
    {
        std::unique_lock lock(FLock);
        if (FPromptSeen)
            return;
        if (++FResendCount <= MaxResends && !FLost) {
            FDeadline = Now + 10 + FResendMs;
            line = FLastLine;
        } else {
            // Given up: the waiting caller and the worker go on. A table
            // poll given up leaves the command waiting for its turn.
            line = FLastLine;
            if (FInFlight) {
                command = FPendingCommand;
                FPendingKind = pkNone;
                FInFlight = false;
                FLinkState = 1;
            }
            FPromptSeen = true;
            bool reported = FLost;
            FLost = true;
            lock.unlock();
            if (reported)
                return;
            TControllerErrorEvent onError = OnError;
            PostToUser([this, line, command, onError] {
                const std::string text =
                    Mess().Translate("Major Timeout Problem sending - ") + line + "(" + command + ")";
                if (onError)
                    onError(this, -1, "ERROR", text, "The Trio controller gave no prompt");
                else
                    MessageDlg("", text, mtError, mbOK);
            });
            return;
        }
    }
    // The line settles for 10 ms before it goes again.
    for (int64_t now = Clock(); now < Now + 10 && !FTerminated; now = Clock()) {
        FClockSeen = now;
        PollDriver();
    }
    FDriver->SendString(line + "\r");
}

void TLowLevelTRIO::PollDriver() {
    if (!FDriver->Connected()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return;
    }
    FDriver->WaitForData(1);
    FDriver->Poll();
}

// ---------------------------------------------------------------- receiver

void TLowLevelTRIO::ReceiveData(const uint8_t *Data, int Size) {
    for (int i = 0; i < Size; ++i) {
        char c = char(Data[i]);
        if (c == '>') {
            {
                std::unique_lock lock(FLock);
                FPromptSeen = true;
                FLost = false;
            }
            FOverlong |= KeepReplyTail(FBuffer);
            std::string answer;
            answer.swap(FBuffer);
            if (FOverlong) {
                // After noise the answer starts at the echo of its line.
                std::shared_lock lock(FLock);
                answer = AfterLastEcho(answer, FLastLine);
            }
            FOverlong = false;
            Interpret(answer);
        } else if (c != '\r' && c != '\n') {
            FBuffer += c;
        }
    }
    FOverlong |= KeepReplyTail(FBuffer);
}

// The answer is the echoed line followed by the controller's output.
void TLowLevelTRIO::Interpret(const std::string &Answer) {
    std::string upper = UpperCase(Answer);
    if (upper.find("TABLEVALUES") != std::string::npos) {
        size_t close = Answer.find(')');
        std::string rest = close == std::string::npos ? "" : Answer.substr(close + 1);
        std::vector<std::string> fields;
        std::string f;
        for (char c : rest) {
            if (c == ',') {
                fields.push_back(f);
                f.clear();
            } else
                f += c;
        }
        fields.push_back(f);
        std::unique_lock lock(FLock);
        for (int i = 0; i < 16; ++i) {
            double v = NoValue;
            // A field that is not a number counts as not reported.
            if (i < int(fields.size()) && !TryStrToFloat(Trim(fields[size_t(i)]), v))
                v = NoValue;
            FTable[i] = v;
        }
        FNewValues = true;
        if (!Busy(FTable[3]) && !Busy(FTable[4]) && !Busy(FTable[5]) && FPendingKind != pkMove)
            FIdle = true;
        return;
    }
    std::string last;
    {
        std::shared_lock lock(FLock);
        last = FLastLine;
    }
    std::string output = Answer.rfind(last, 0) == 0 ? Answer.substr(last.size()) : Answer;
    if (Answer.rfind("er", 0) == 0 || output.rfind("er", 0) == 0)
        PostToUser([output] { MessageDlg("", output, mtError, mbOK); });
}

void TLowLevelTRIO::Notify(int Message) {
    if (NotifyWindow)
        NotifyWindow(Message);
}

void TLowLevelTRIO::PostToUser(std::function<void()> Message) {
    std::weak_ptr<int> alive = FAlive;
    EventLoop().Post([alive, Message = std::move(Message)] {
        if (alive.lock())
            Message();
    });
}

} // namespace orv
