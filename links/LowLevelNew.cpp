#include "links/LowLevelNew.h"

#include "links/LineTiming.h"
#include "links/LinkViews.h"
#include "links/ReplyLimit.h"
#include "links/LowLevel.h"
#include "links/ThreadComm32.h"
#include "platform/EventLoop.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace queued {

std::string CommandFrame(const std::string &Text) {
    uint8_t check = frames::EOT;
    for (char c : Text)
        check ^= uint8_t(c);
    check ^= frames::ETX;
    return char(frames::EOT) + Text + char(frames::ETX) + char(check);
}

std::string ReadFrame(const std::string &Text) {
    return char(frames::EOT) + Text + char(frames::ENQ);
}

std::string ArcText(int32_t X, int32_t Y, int32_t CentreX, int32_t CentreY, int32_t Radius,
                    double Sweep, int Feed) {
    int32_t x = X + (Sweep == 360 ? 1 : Sweep == -360 ? -1 : 0);
    int32_t y = Y + (std::fabs(Sweep - 90) <= 0.001 ? 1 : std::fabs(Sweep + 90) <= 0.001 ? -1 : 0);
    return std::string(Sweep > 0 ? "G02X" : "G03X") + IntToStr(x) + "Y" + IntToStr(y) + "I" +
           IntToStr(CentreY) + "K" + IntToStr(CentreX) + "R" + IntToStr(Radius) + "F" +
           IntToStr(Feed);
}

} // namespace queued

namespace {

bool IsMoveFrame(const std::string &Frame) {
    for (const char *m : {"\x04VA", "\x04MA", "\x04G02", "\x04G03", "\x04HM"})
        if (Frame.rfind(m, 0) == 0)
            return true;
    return false;
}

bool IsReadFrame(const std::string &Frame) {
    return !Frame.empty() && uint8_t(Frame.back()) == frames::ENQ;
}

bool IsAcknowledgement(uint8_t B) {
    return (B & 0xC1) == 0x80;
}
bool IsNak(uint8_t B) {
    return (B & 0xC1) == 0x81;
}

// Field N of a status reply: after the N-th comma up to the next, only the
// characters 14 to 57 (digits, "-", space) kept.
std::string StatusField(const std::string &Reply, int N) {
    size_t from = 0;
    for (int i = 0; i < N; ++i) {
        from = Reply.find(',', from);
        if (from == std::string::npos)
            return "";
        ++from;
    }
    std::string out;
    for (size_t i = from; i < Reply.size() && Reply[i] != ','; ++i)
        if (uint8_t(Reply[i]) >= 14 && uint8_t(Reply[i]) <= 57)
            out += Reply[i];
    return out;
}

int32_t StatusInt(const std::string &Reply, int N) {
    int32_t v = 0;
    return TryStrToInt(Trim(StatusField(Reply, N)), v) ? v : TControllerLowLevelNew::NoPosition;
}

} // namespace

TControllerLowLevelNew::TControllerLowLevelNew()
    : FTimer(std::make_unique<TTimer>()), FResendMs(LineResendMs().load()) {
    if (LinkViews().LineDebug) {
        FDebug = LinkViews().LineDebug("LowLevelNewDebugForm");
        if (FDebug)
            FDebug->OnCommand = [this](const std::string &Text) { QueueCommandLine(Text); };
    }
    FTimer->SetInterval(50);
    FTimer->OnTimer = [this] { Tick(); };
    FTimer->SetEnabled(true);
    FPort->OnReceiveData = [this](const uint8_t *Data, uint16_t Size) { ReceiveData(Data, Size); };
    FPort->OnRequestHangup = [this](TObject *) {
        ReportError("ERROR", "LowLevel Timed Out", "The serial port " + FPort->NewComport +
                                                       " failed");
    };
}

// Frames still queued are dropped unwritten.
TControllerLowLevelNew::~TControllerLowLevelNew() {
    FClosing = true;
    FQueue.clear();
    FWaiting = false;
    FTimer->SetEnabled(false);
    FPort->ClosePort();
}

bool TControllerLowLevelNew::Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) {
    FX = FY = FZ = 0;
    FWaiting = true;
    FIdle = true;
    FWasBusy = false;
    FBuffer.clear();
    if (!OpenLine(Port, TBaudRate::__19200, TParity::None, TDataBits::_8, HardwareHandshaking,
                  "Control Type 4"))
        return false;
    Queue("zz6", false);
    return true;
}

// ---------------------------------------------------------------- queue

// A queued move makes the axes busy at once: a wait for idle must not end
// before its frame is even written.
void TControllerLowLevelNew::Queue(const std::string &Text, bool Command) {
    if (FClosing)
        return;
    FQueue.push_back(Command ? queued::CommandFrame(Text) : queued::ReadFrame(Text));
    if (IsMoveFrame(FQueue.back()))
        FIdle = false;
}

void TControllerLowLevelNew::QueueCommandLine(const std::string &Text) {
    Queue(Text, false);
}

// The 50 ms tick: the frame awaited is finished, written again or given
// up; then the next frame goes. Nothing waits inside the tick, so a done
// notification that starts the next block finds the queue free.
void TControllerLowLevelNew::Tick() {
    if (FClosing)
        return;
    if (FSending && (!FWaiting || FReplyReceived || EventLoop().KeyDown(VK_ESCAPE)))
        Finish();
    if (FSending && (FNak || EventLoop().NowMs() >= FDeadline)) {
        if (FLost || ++FResends > MaxResends) {
            GiveUp(FCurrent);
        } else {
            Transmit(FCurrent);
            FDeadline = EventLoop().NowMs() + FResendMs;
        }
    }
    if (!FSending)
        SendNext();
}

void TControllerLowLevelNew::SendNext() {
    if (FQueue.empty() || FClosing)
        return;
    FSending = true;
    FCurrent = FQueue.front();
    FResends = 0;
    Transmit(FCurrent);
    FDeadline = EventLoop().NowMs() + FResendMs;
}

void TControllerLowLevelNew::Finish() {
    FSending = false;
    FReplyReceived = true;
    if (!FQueue.empty() && FQueue.front() == FCurrent)
        FQueue.pop_front();
}

void TControllerLowLevelNew::Transmit(const std::string &Frame) {
    if (FDebug)
        FDebug->AddSent(frames::Printable(Frame));
    FReplyReceived = false;
    FNak = false;
    for (char c : Frame) {
        uint8_t b = uint8_t(c);
        FPort->SendData(&b, 1);
    }
    if (Frame.find("VA") != std::string::npos || Frame.find("MA") != std::string::npos)
        FIdle = false;
    // A move that ends between two status polls is still done once.
    if (IsMoveFrame(Frame))
        FWasBusy = true;
}

void TControllerLowLevelNew::GiveUp(const std::string &Frame) {
    FQueue.clear();
    FSending = false;
    if (FLost)
        return; // reported when the controller fell silent
    FLost = true;
    ReportError("ERROR", "LowLevel Timed Out",
                "No answer to " + frames::Printable(Frame) + " after " +
                    IntToStr(MaxResends + 1) + " sends");
}

// ---------------------------------------------------------------- receive

void TControllerLowLevelNew::ReceiveData(const uint8_t *Data, int Size) {
    if (Size > 0)
        FLost = false;
    for (int i = 0; i < Size; ++i) {
        uint8_t b = Data[i];
        // After ETX the next byte is the check byte, whatever it looks like.
        if (FAwaitCheck) {
            FAwaitCheck = false;
            std::string text = FBuffer.size() >= 2 ? FBuffer.substr(1, FBuffer.size() - 2) : "";
            uint8_t check = frames::ETX;
            for (char c : text)
                check ^= uint8_t(c);
            std::string reply = FBuffer;
            FBuffer.clear();
            if (check != b) {
                if (FDebug)
                    FDebug->AddReceived("[BAD CHECK] " + frames::Printable(reply + char(b)));
                continue; // dropped: 1 s of silence writes the frame again
            }
            // A reply that comes while a command frame awaits its
            // acknowledgement is a late second reply to a read frame written
            // again: taken before that command, it tells nothing about now.
            if (FSending && !IsReadFrame(FCurrent)) {
                if (FDebug)
                    FDebug->AddReceived("[LATE] " + frames::Printable(reply));
                continue;
            }
            FLastReply = reply;
            if (FDebug)
                FDebug->AddReceived(frames::Printable(reply));
            if (FSending)
                Finish();
            if (reply.find("zz") != std::string::npos)
                StatusReply(reply);
            continue;
        }
        if (b == frames::STX) {
            FBuffer.assign(1, char(b));
            FAwaitCheck = false;
            continue;
        }
        if (FBuffer.empty() && IsAcknowledgement(b)) {
            if (FDebug)
                FDebug->AddReceived("[EVENT ACK]");
            if (FSending && !IsReadFrame(FCurrent))
                Finish(); // a read frame waits for its reply, not an acknowledgement
            continue;
        }
        if (FBuffer.empty() && IsNak(b)) {
            if (FDebug)
                FDebug->AddReceived("[EVENT NAK]");
            FNak = true;
            continue;
        }
        if (FBuffer.empty())
            continue; // noise between replies
        FBuffer += char(b);
        if (FBuffer.size() > MaxReplyBytes) {
            // Not a reply: dropped, and the next STX starts again.
            FBuffer.clear();
            if (FDebug)
                FDebug->AddReceived("[OVERLONG]");
            continue;
        }
        if (b == frames::ETX)
            FAwaitCheck = true;
    }
}

// The status was taken before any frame still queued was written: a move
// waiting there keeps the axes busy, whatever the flags say.
void TControllerLowLevelNew::StatusReply(const std::string &Reply) {
    FX = StatusInt(Reply, 0);
    FY = StatusInt(Reply, 1);
    FZ = StatusInt(Reply, 2);
    bool idle = StatusField(Reply, 3) == "1" && StatusField(Reply, 4) == "1" &&
                StatusField(Reply, 5) == "1";
    FIdle = idle && std::none_of(FQueue.begin(), FQueue.end(), IsMoveFrame);
    if (idle && FWasBusy) {
        FHomeDone = true;
        FWasBusy = false;
        NotifyDone(this, true);
    } else if (!idle) {
        FWasBusy = true;
    }
}

// ---------------------------------------------------------------- slots

void TControllerLowLevelNew::Home(int Axis, int Direction) {
    FWaiting = true;
    while (FSending && !FClosing && !EventLoop().KeyDown(VK_ESCAPE))
        EventLoop().ProcessMessages();
    std::string f = IntToStr(int(std::lround(HomeFeed)));
    Queue("HS6" + f + "," + f + "," + f, true);
    FHomeDone = false;
    if (Axis < 0 || Axis > 2)
        return;
    Queue("HM" + IntToStr(Axis) + (Direction == 2 ? "2" : "0"), true);
    int64_t deadline = EventLoop().NowMs() + HomeTimeOutMs;
    while (!FHomeDone && !FClosing && !EventLoop().KeyDown(VK_ESCAPE)) {
        if (EventLoop().NowMs() >= deadline) {
            ReportError("Machine Error", "\"Home\" operation Timed Out",
                        "The axes did not stop within " + IntToStr(HomeTimeOutMs / 1000) + " s");
            return;
        }
        if (FQueue.empty())
            Queue("zz6", false); // the status shows when the axis is home
        EventLoop().ProcessMessages();
    }
}

bool TControllerLowLevelNew::GetPosition(int32_t &X, int32_t &Y, int32_t &Z) {
    if (FWaiting && FQueue.empty())
        Queue("zz6", false);
    X = FX;
    Y = FY;
    Z = FZ;
    return FX != NoPosition && FY != NoPosition && FZ != NoPosition;
}

void TControllerLowLevelNew::MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) {
    Queue("VA6" + IntToStr(X) + "," + IntToStr(Y) + "," + IntToStr(Z), true);
}

void TControllerLowLevelNew::MoveRapid(int32_t X, int32_t Y, int32_t Z) {
    Queue("MA6" + IntToStr(X) + "," + IntToStr(Y) + "," + IntToStr(Z), true);
}

void TControllerLowLevelNew::MoveAxisAbsolute(int Axis, int32_t Position) {
    if (FDebug)
        FDebug->AddSent(std::string("SENDING") + (FSending ? "1" : "0"));
    Queue("MA" + IntToStr(Axis) + IntToStr(Position), true);
}

void TControllerLowLevelNew::Stop() {
    Queue("ST6", true);
}

void TControllerLowLevelNew::MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX,
                                     int32_t CentreY, int32_t CentreZ, int32_t Radius,
                                     double Sweep, bool LookAhead, int Plane) {
    Queue(queued::ArcText(X, Y, CentreX, CentreY, Radius, Sweep, FeedRate), true);
}

} // namespace orv
