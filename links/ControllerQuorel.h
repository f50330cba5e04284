#pragma once
// The controller of Control Type 2: a router control box that takes
// G-code-like text lines over the threaded serial component (9600 7E2).
// Every character is echoed by the box before the next goes (1 s each);
// a line ends with CR and its answer with DC1 (within the "M Code
// TimeOut", a park line within the homing time-out). A wait that runs out
// reports the line once and stops the run. Positions come from the answer
// to "xz?", with the line's echo removed; until the first one there is no
// position and no jog. Lines wait in a queue that a 30 ms timer works off;
// nothing waits inside the timer.

#include "links/LineController.h"
#include "links/LineTiming.h"

#include <deque>
#include <memory>
#include <string>

namespace orv {

class TLineDebugView;
class TTimer;

namespace quorel {
constexpr char DC1 = 17;
// The arc line: "G02X" (Sweep > 0) or "G03X", the end with the one-step
// shifts of full circles (X) and quarter arcs (Y), "I" CentreY, "K"
// CentreX, "R", "F".
std::string ArcLine(int32_t X, int32_t Y, int32_t CentreX, int32_t CentreY, int32_t Radius,
                    double Sweep, int Feed);
// The line of M code M with the machine file's code C and speed S; empty
// when nothing goes ("M03 S1000", "M05" for M30, "M08" ...).
std::string MCodeLine(int M, int C, int S);
// A status answer without its echo: "x" X "y" Y "z" Z and a tail. False
// when it lacks "x", "y" or "z" or a number is not one.
struct TStatus {
    int32_t X = 0, Y = 0, Z = 0;
    std::string Tail;
};
bool ParseStatus(const std::string &Answer, TStatus &Status);
} // namespace quorel

class TControllerQuorel : public TLineController {
public:

    TControllerQuorel();
    ~TControllerQuorel() override;

    void SetDebug(bool On) override;
    // "COM" + Port at 9600 baud, even parity, 7 data bits, 2 stop bits;
    // false (the component's error through OnError) when it cannot open.
    bool Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) override;
    // Index 2 sets the box mode (2 automatic, else manual); 18 sends the M code.
    void WriteComms(int Index, Extended Value) override;
    void GetVersion(std::string &Text) override { Text = "Quorel Router V1.0"; }
    bool IsStopped() override { return FEStop; }
    bool IsSafe() override { return !FGuardOpen; }
    // "park-y" (Direction 2) or "park+y", then "ydY" with the offset; waits
    // for the park answer, Escape or the homing time-out.
    void Home(int Axis, int Direction) override;
    // False until the box has answered a status request.
    bool GetPosition(int32_t &X, int32_t &Y, int32_t &Z) override;
    void MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) override;
    void SetTurboMode(bool On) override { Turbo = On; }
    // Jogs need a reported position: refused (nothing sent) before one.
    void MoveAxisAbsolute(int Axis, int32_t Position) override;
    void MoveAxisRelative(int Axis, int32_t Distance) override;
    void Stop() override;
    void MoveRapid(int32_t X, int32_t Y, int32_t Z) override;
    void MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY, int32_t CentreZ,
                 int32_t Radius, double Sweep, bool LookAhead, int Plane) override;
    bool IsIdle() override { return FIdle; }
    bool Pending() const override { return FStage != stIdle || !FQueue.empty(); }
    bool ReadInput(int Index) override { return true; }

    void ReceiveData(const uint8_t *Data, int Size);
    // Bytes of the answer being collected (never more than MaxReplyBytes).
    size_t PendingReplyBytes() const { return FBuffer.size(); }
    void QueueLine(const std::string &Line);
    size_t Queued() const { return FQueue.size(); }
    const std::deque<std::string> &QueuedLines() const { return FQueue; }

    int AnswerTimeOutMs = 10000; // the machine file's "M Code TimeOut"
    int EchoTimeOutMs = RouterEchoMs().load(); // for each character from CR up
    int ParkTimeOutMs = 120000;  // the homing time-out

private:
    enum TStage { stIdle, stEcho, stAnswer };
    void SetMode(int Mode);
    void MoveTo(int32_t X, int32_t Y, int32_t Z, bool LookAhead);
    void Tick();
    void StartLine();
    void SendChar();
    void LineWritten();
    void FinishLine();
    void Fail(const std::string &What);
    void Answer(const std::string &Text);
    void Status(const std::string &Answer);
    void NoteOverlong(bool Cut);

    std::unique_ptr<TLineDebugView> FDebug;
    std::unique_ptr<TTimer> FTimer;
    std::deque<std::string> FQueue, FLookAhead;
    int32_t FX = 50000, FY = 50000, FZ = 15000;
    bool FPositionKnown = false;
    int FMode = 2;
    bool FIdle = true, FMoving = false, FGuardOpen = false, FEStop = false;
    bool FResetPending = false, FPolling = false, FParkDone = false;
    bool FClosing = false, FLost = false;
    bool FOverlong = false; // noise was cut from the answer being collected
    TStage FStage = stIdle;
    std::string FLine, FLastLine, FBuffer, FLastAnswer;
    size_t FChar = 0;
    char FExpected = 0;
    int64_t FDeadline = 0;
};

} // namespace orv
