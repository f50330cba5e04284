#pragma once
// The controller of Control Type 4: framed host protocol frames over the
// threaded serial component (19200 8N2), one at a time from a send queue
// that a 50 ms timer works off in the user-interface thread. Each frame
// waits for its acknowledgement or reply; a NAK or 1 s of silence writes it
// again, 20 times at most, then the run stops with "LowLevel Timed Out"
// (until the controller is heard again, frames then go once).
// Replies are checked (check byte as in the framed protocol) and a "zz"
// status reply gives positions and the done notification. No M codes or
// tools go to this controller. Nothing waits inside the timer: a frame is
// written on one tick and finished by its answer or a later tick.

#include "links/LineController.h"

#include <deque>
#include <memory>
#include <string>

namespace orv {

class TLineDebugView;
class TTimer;

namespace queued {
// EOT, text, ETX and the check byte (4 XORed with the text and ETX).
std::string CommandFrame(const std::string &Text);
// EOT, text, ENQ.
std::string ReadFrame(const std::string &Text);
// The arc command: "G02X" (clockwise, Sweep > 0) or "G03X", the end with the
// one-step shifts of full circles (X) and quarter arcs (Y), "I" CentreY,
// "K" CentreX, "R", "F".
std::string ArcText(int32_t X, int32_t Y, int32_t CentreX, int32_t CentreY, int32_t Radius,
                    double Sweep, int Feed);
} // namespace queued

class TControllerLowLevelNew : public TLineController {
public:
    static constexpr int MaxResends = 20;
    static constexpr int32_t NoPosition = 9999999;

    TControllerLowLevelNew();
    ~TControllerLowLevelNew() override;

    // "COM" + Port at 19200 baud, no parity, 8 data bits, 2 stop bits; false
    // (the component's error through OnError) when the port cannot be opened.
    bool Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) override;
    void GetVersion(std::string &Text) override { Text = "New Lowlevel V1.0"; }
    bool IsStopped() override { return false; }
    bool IsSafe() override { return true; }
    // "HS6" home speed, "HM" axis and direction (0, or 2 negative); waits for
    // the done notification, Escape, or HomeTimeOutMs (a machine error).
    void Home(int Axis, int Direction) override;
    // The last status positions; false while one of them is not known.
    bool GetPosition(int32_t &X, int32_t &Y, int32_t &Z) override;
    void MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) override;
    void SetTurboMode(bool On) override { Turbo = On; }
    void MoveAxisAbsolute(int Axis, int32_t Position) override;
    void Stop() override;
    void MoveRapid(int32_t X, int32_t Y, int32_t Z) override;
    void MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY, int32_t CentreZ,
                 int32_t Radius, double Sweep, bool LookAhead, int Plane) override;
    bool IsIdle() override { return FIdle; }
    bool Pending() const override { return FSending || !FQueue.empty(); }
    bool ReadInput(int Index) override { return true; }

    // Hands received bytes to the protocol as the port's event does.
    void ReceiveData(const uint8_t *Data, int Size);
    // Bytes of the frame being collected, STX to ETX (at most MaxReplyBytes).
    size_t PendingReplyBytes() const { return FBuffer.size(); }
    // Queues typed text as a read frame (the debug window's command line).
    void QueueCommandLine(const std::string &Text);
    size_t Queued() const { return FQueue.size(); }

    int HomeTimeOutMs = 120000;

private:
    void Queue(const std::string &Text, bool Command);
    void Tick();
    void SendNext();
    void Finish();
    void Transmit(const std::string &Frame);
    void StatusReply(const std::string &Reply);
    void GiveUp(const std::string &Frame);

    std::unique_ptr<TLineDebugView> FDebug;
    std::unique_ptr<TTimer> FTimer;
    std::deque<std::string> FQueue;
    int32_t FX = 0, FY = 0, FZ = 0;
    bool FIdle = true, FWasBusy = false, FHomeDone = false;
    bool FWaiting = false, FReplyReceived = false, FNak = false;
    bool FSending = false, FClosing = false;
    bool FAwaitCheck = false; // the reply's ETX came; its check byte is next
    bool FLost = false;       // given up; nothing heard since: no resends
    std::string FBuffer, FLastReply;
    std::string FCurrent; // the frame awaited
    int FResends = 0;
    int64_t FDeadline = 0;
    int FResendMs; // LineResendMs when made
};

} // namespace orv
