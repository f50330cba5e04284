#include "links/ControllerQuorel.h"

#include "links/LinkViews.h"
#include "links/LowLevelNew.h"
#include "links/ReplyLimit.h"
#include "links/ThreadComm32.h"
#include "machine/BasicMachine.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace orv {

namespace quorel {

std::string ArcLine(int32_t X, int32_t Y, int32_t CentreX, int32_t CentreY, int32_t Radius,
                    double Sweep, int Feed) {
    return queued::ArcText(X, Y, CentreX, CentreY, Radius, Sweep, Feed);
}

std::string MCodeLine(int M, int C, int S) {
    std::string s = IntToStr(S);
    if (M == 3)
        return C < 1 ? "M03 S" + s : "M0" + IntToStr(C) + " S" + s;
    if (M == 4)
        return C < 1 ? "M04 S" + s : "M0" + IntToStr(C) + " S" + s;
    if (M == 30)
        return "M05";
    if (C <= 0)
        return "";
    return C < 10 ? "M0" + IntToStr(C) : "M" + IntToStr(C);
}

namespace {

// A sign or digit, then digits; false when no digit came.
bool ReadNumber(const std::string &Text, size_t &At, int32_t &Value) {
    size_t from = At;
    if (At < Text.size() && (Text[At] == '-' || Text[At] == '+'))
        ++At;
    while (At < Text.size() && std::isdigit(uint8_t(Text[At])))
        ++At;
    return TryStrToInt(Text.substr(from, At - from), Value);
}

} // namespace

bool ParseStatus(const std::string &Answer, TStatus &Status) {
    if (Answer.find('x') == std::string::npos || Answer.find('y') == std::string::npos ||
        Answer.find('z') == std::string::npos)
        return false;
    size_t at = 1; // the "x"
    TStatus s;
    if (!ReadNumber(Answer, at, s.X))
        return false;
    ++at; // "y"
    if (!ReadNumber(Answer, at, s.Y))
        return false;
    ++at; // "z"
    if (!ReadNumber(Answer, at, s.Z))
        return false;
    s.Tail = Answer.substr(std::min(at, Answer.size()));
    Status = s;
    return true;
}

} // namespace quorel

TControllerQuorel::TControllerQuorel()
    : FTimer(std::make_unique<TTimer>()) {
    FTimer->SetInterval(30);
    FTimer->OnTimer = [this] { Tick(); };
    FTimer->SetEnabled(true);
    FPort->OnReceiveData = [this](const uint8_t *Data, uint16_t Size) { ReceiveData(Data, Size); };
    FPort->OnRequestHangup = [this](TObject *) { Fail("the serial port failed"); };
}

TControllerQuorel::~TControllerQuorel() {
    FClosing = true;
    FPolling = false;
    FTimer->SetEnabled(false);
    FPort->ClosePort();
}

void TControllerQuorel::SetDebug(bool On) {
    Debug = On;
    if (!On) {
        FDebug.reset();
        return;
    }
    if (FDebug || !LinkViews().LineDebug)
        return;
    FDebug = LinkViews().LineDebug("QuorelDebugForm");
    if (FDebug)
        FDebug->OnCommand = [this](const std::string &Text) { QueueLine(Text); };
}

bool TControllerQuorel::Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) {
    FX = 50000;
    FY = 50000;
    FZ = 15000;
    FPositionKnown = false;
    FPolling = FGuardOpen = FEStop = false;
    FIdle = true;
    FBuffer.clear();
    FOverlong = false;
    if (MachineData) {
        AnswerTimeOutMs = MachineData->Communications.MCodeTimeOut;
        ParkTimeOutMs = TBasicMachine::HomingTimeOutMs(MachineData);
    }
    if (!OpenLine(Port, TBaudRate::___9600, TParity::Even, TDataBits::_7, HardwareHandshaking,
                  "Control Type 2"))
        return false;
    FMode = 2;
    for (const char *line : {"xz?", "mode0", "lathe", "o", "S200"})
        QueueLine(line);
    FPolling = true;
    return true;
}

void TControllerQuorel::SetMode(int Mode) {
    if (Mode != FMode)
        QueueLine(Mode == 0 ? "man" : "auto");
    FMode = Mode;
}

void TControllerQuorel::WriteComms(int Index, Extended Value) {
    if (Index < 0 || Index >= 100)
        return;
    TLineController::WriteComms(Index, Value);
    if (Index == comms::Mode)
        SetMode(Value == 2 ? 1 : 0);
    if (Index != comms::MCode)
        return;
    int m = int(std::lround(double(Value)));
    if (m < 0 || m >= TRead_Machinedata_file::MCodeCount)
        return;
    SetMode(1);
    int c = MachineData ? MachineData->MCodes[m].Code : 0;
    std::string line = quorel::MCodeLine(m, c, SpindleSpeed);
    if (!line.empty()) {
        QueueLine(line);
        // The code is carried out once the box has answered its line: an M05
        // at the end of the program must not wait in the queue as the link
        // closes. A line that fails empties the queue.
        while (!FClosing && !EventLoop().KeyDown(VK_ESCAPE) &&
               std::find(FQueue.begin(), FQueue.end(), line) != FQueue.end())
            EventLoop().ProcessMessages();
    }
    DelayMs(50);
}

// ---------------------------------------------------------------- lines

// A move waiting behind other lines already makes the box busy: a wait
// for idle must not end before the move has even been sent.
void TControllerQuorel::QueueLine(const std::string &Line) {
    if (FClosing)
        return;
    FQueue.push_back(Line);
    if (Line.rfind("G0", 0) == 0)
        FIdle = false;
}

void TControllerQuorel::Tick() {
    if (FClosing)
        return;
    bool escape = EventLoop().KeyDown(VK_ESCAPE);
    if (FStage != stIdle && escape) {
        FinishLine(); // abandoned: the next line follows
    } else if (FStage != stIdle && EventLoop().NowMs() >= FDeadline) {
        Fail(FStage == stEcho ? "no echo" : "no answer");
    }
    if (FStage == stIdle && !FQueue.empty())
        StartLine();
}

void TControllerQuorel::StartLine() {
    FLine = FQueue.front();
    if (FDebug)
        FDebug->AddSent(FLine);
    FLastLine = FLine;
    FBuffer.clear();
    FOverlong = false;
    FChar = 0;
    SendChar();
}

// One character; CR and above wait for their echo.
void TControllerQuorel::SendChar() {
    std::string text = FLine + "\r";
    while (FChar < text.size()) {
        uint8_t c = uint8_t(text[FChar++]);
        FPort->SendData(&c, 1);
        FExpected = char(c);
        if (c >= 13) {
            FStage = stEcho;
            FDeadline = EventLoop().NowMs() + EchoTimeOutMs;
            return;
        }
    }
    LineWritten();
}

void TControllerQuorel::LineWritten() {
    bool arc = FLine.find("G02") != std::string::npos || FLine.find("G03") != std::string::npos;
    if (FLine.find("G01") != std::string::npos || arc) {
        EarlyDone = !FLookAhead.empty() && FLookAhead.front() == "Y";
        if (!FLookAhead.empty())
            FLookAhead.pop_front();
    }
    if (FLine.find('G') != std::string::npos) {
        FIdle = false;
        FMoving = true;
    }
    FStage = stAnswer;
    bool park = FLine.find("park") != std::string::npos;
    FDeadline = EventLoop().NowMs() + (park ? ParkTimeOutMs : AnswerTimeOutMs);
}

void TControllerQuorel::FinishLine() {
    FStage = stIdle;
    if (!FQueue.empty())
        FQueue.pop_front();
}

// One report per silence: the queue is dropped and the run stops; until
// the box is heard again a later line fails quietly.
void TControllerQuorel::Fail(const std::string &What) {
    std::string line = FLine;
    FStage = stIdle;
    FQueue.clear();
    FLookAhead.clear();
    if (FLost)
        return;
    FLost = true;
    ReportError("Machine Error", "Router box: " + What + " for \"" + line + "\"",
                What == "no echo" ? "No echo within " + IntToStr(EchoTimeOutMs / 1000) + " s"
                                  : "No answer in time");
}

void TControllerQuorel::ReceiveData(const uint8_t *Data, int Size) {
    if (FClosing)
        return;
    for (int i = 0; i < Size && !FClosing; ++i) {
        char b = char(Data[i]);
        FLost = false;
        if (FStage == stEcho && b == FExpected) {
            SendChar();
        }
        if (uint8_t(b) > 19)
            FBuffer += b;
        if (b == quorel::DC1) {
            NoteOverlong(KeepReplyTail(FBuffer));
            std::string answer;
            answer.swap(FBuffer);
            // After noise the answer starts at the echo of its line.
            if (FOverlong)
                answer = AfterLastEcho(answer, FLastLine);
            FOverlong = false;
            Answer(answer);
        }
    }
    NoteOverlong(KeepReplyTail(FBuffer));
}

// Noise longer than a reply is shown once until the next answer ends.
void TControllerQuorel::NoteOverlong(bool Cut) {
    if (!Cut || FOverlong)
        return;
    FOverlong = true;
    if (FDebug)
        FDebug->AddReceived("[OVERLONG]");
}

void TControllerQuorel::Answer(const std::string &Text) {
    FLastAnswer = Text;
    if (FDebug)
        FDebug->AddReceived(Text);
    // The box echoes the line first; the answer proper follows it.
    std::string answer = Text.rfind(FLastLine, 0) == 0 ? Text.substr(FLastLine.size()) : Text;
    if (FStage == stAnswer)
        FinishLine();
    if (FLastLine == "xz?")
        Status(answer);
    else if (FLastLine.find("park") != std::string::npos)
        FParkDone = true;
}

void TControllerQuorel::Status(const std::string &Answer) {
    quorel::TStatus s;
    if (!quorel::ParseStatus(Answer, s))
        return; // not a status answer: nothing changes
    FX = s.X;
    FY = s.Y;
    FZ = s.Z;
    FPositionKnown = true;
    FGuardOpen = s.Tail.find("go") != std::string::npos;
    if (FGuardOpen)
        FMode = 0; // the box went to manual itself
    bool stopped = s.Tail.find("es") != std::string::npos;
    bool newStop = stopped && !FEStop;
    FEStop = stopped;
    if (newStop) {
        // The move did not end where it was sent: no done, the link stops.
        FMoving = false;
        EarlyDone = false;
        if (OnStopped)
            OnStopped(this);
        return;
    }
    if (!FIdle && FMoving && s.Tail.find('G') == std::string::npos)
        FIdle = true;
    if ((FIdle || EarlyDone) && FMoving) {
        EarlyDone = false;
        FMoving = false;
        NotifyDone(this, true);
    }
}

// ---------------------------------------------------------------- slots

void TControllerQuorel::Home(int Axis, int Direction) {
    FPolling = false;
    DelayMs(300);
    SetMode(0);
    if (FClosing || Axis < 0 || Axis > 2) {
        FPolling = true;
        return;
    }
    FParkDone = false;
    static const char *names = "xyz";
    std::string axis(1, names[Axis]);
    int offsets[] = {HomeOffsetX, HomeOffsetY, HomeOffsetZ};
    QueueLine(std::string("park") + (Direction == 2 ? "-" : "+") + axis);
    QueueLine(axis + "d" + char(std::toupper(names[Axis])) + IntToStr(offsets[Axis]));
    while (!FParkDone && !FClosing && !EventLoop().KeyDown(VK_ESCAPE) &&
           (FStage != stIdle || !FQueue.empty()))
        EventLoop().ProcessMessages();
    FPolling = true;
}

bool TControllerQuorel::GetPosition(int32_t &X, int32_t &Y, int32_t &Z) {
    X = FX;
    Y = FY;
    Z = FZ;
    if (FClosing)
        return FPositionKnown;
    if (FEStop && FQueue.size() < 3) {
        QueueLine("reset");
        QueueLine("xz?");
        FResetPending = true;
    }
    if (!FEStop && FResetPending) {
        FResetPending = false;
        QueueLine("mode0");
        QueueLine("lathe");
        FMode = 0;
    }
    if (FPolling && FQueue.size() < 2)
        QueueLine("xz?");
    return FPositionKnown;
}

void TControllerQuorel::MoveTo(int32_t X, int32_t Y, int32_t Z, bool LookAhead) {
    SetMode(1);
    QueueLine("G01X" + IntToStr(X) + "Y" + IntToStr(Y) + "Z" + IntToStr(Z) + "F" +
              IntToStr(FeedRate));
    FLookAhead.push_back(LookAhead ? "Y" : "N");
}

void TControllerQuorel::MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) {
    MoveTo(X, Y, Z, LookAhead);
}

void TControllerQuorel::MoveAxisAbsolute(int Axis, int32_t Position) {
    if (!FPositionKnown || Axis < 0 || Axis > 2)
        return;
    int32_t p[3] = {FX, FY, FZ};
    p[Axis] = Position;
    MoveTo(p[0], p[1], p[2], false);
}

void TControllerQuorel::MoveAxisRelative(int Axis, int32_t Distance) {
    if (!FPositionKnown || Axis < 0 || Axis > 2)
        return;
    int32_t p[3] = {FX, FY, FZ};
    p[Axis] += Distance;
    MoveTo(p[0], p[1], p[2], false);
}

// The moves still waiting in the queue do not go after a stop (the line
// being sent finishes); with none on its way the box counts as idle.
void TControllerQuorel::Stop() {
    auto first = FQueue.begin();
    if (FStage != stIdle && first != FQueue.end())
        ++first;
    size_t contours = 0;
    auto move = [&contours](const std::string &Line) {
        if (Line.rfind("G0", 0) != 0)
            return false;
        if (Line.rfind("G00", 0) != 0)
            ++contours; // G01, G02, G03 carry a look-ahead mark each
        return true;
    };
    FQueue.erase(std::remove_if(first, FQueue.end(), move), FQueue.end());
    for (; contours > 0 && !FLookAhead.empty(); --contours)
        FLookAhead.pop_back();
    if (!FMoving && std::none_of(FQueue.begin(), FQueue.end(), [](const std::string &Line) {
            return Line.rfind("G0", 0) == 0;
        }))
        FIdle = true;
    QueueLine("q");
}

void TControllerQuorel::MoveRapid(int32_t X, int32_t Y, int32_t Z) {
    SetMode(1);
    int rate = MachineData ? int(std::lround(MachineData->Feed.MaximumRateZ)) : 0;
    QueueLine("G00X" + IntToStr(X) + "Y" + IntToStr(Y) + "Z" + IntToStr(Z) + "F" + IntToStr(rate));
}

void TControllerQuorel::MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY,
                                int32_t CentreZ, int32_t Radius, double Sweep, bool LookAhead,
                                int Plane) {
    SetMode(1);
    QueueLine(quorel::ArcLine(X, Y, CentreX, CentreY, Radius, Sweep, FeedRate));
    FLookAhead.push_back("N");
}

} // namespace orv
