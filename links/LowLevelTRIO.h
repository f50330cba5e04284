#pragma once
// The Trio command protocol and its worker thread: the user-interface
// thread hands over one command at a time; the worker writes it as an ASCII
// line ending in CR through the polled port driver, collects the answer up
// to the prompt ">", writes a line again after 1 s without a prompt (20
// times, then reports "Major Timeout Problem sending - " and drops it; until
// a prompt comes again, later lines are sent once and dropped quietly),
// polls the controller's table of values while idle and posts WM_USER + 1
// to the notification window once per move, on the first table answer that
// shows all three axes idle (WM_USER right after a move's prompt in turbo
// mode). The shared state, the table and the idle flag sit under one lock.

#include "links/BasicController.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <shared_mutex>
#include <string>
#include <thread>

namespace orv {

class TCommPortDriver;

class TLowLevelTRIO : public TObject {
public:
    enum TPendingKind { pkNone = 0, pkCommand = 2, pkMove = 4 };
    // Axis 6: the line names no axis.
    static constexpr int NoAxis = 6;
    static constexpr int MaxResends = 20;
    static constexpr double NoValue = 9999999;

    TLowLevelTRIO();
    ~TLowLevelTRIO() override;

    // Opens the port (COM1 to COM6; the numbered message "COM Port Number
    // unsupported" or "Baud Rate Number unsupported" otherwise) and starts
    // the worker. False when the port cannot be used.
    bool OpenLink();

    // The line of a command: "MA(5) AXIS(1)", "SP(300)", "RS" (no CR).
    static std::string CommandLine(const std::string &Command, const std::string &Payload,
                                   int Axis);
    // Hands a command over and waits, serving messages, until its prompt
    // came or it was given up; false when the worker is not running.
    bool SendWithWait(const std::string &Command, const std::string &Payload, int Axis);
    // Hands a move over (clearing idle) and returns once the worker has it
    // in hand; completion arrives as a posted message.
    bool SendMove(const std::string &Command, const std::string &Payload, int Axis);

    // One idle turn: true when the table poll goes out on this turn (the
    // first idle turn, then every Threshold + 1 turns).
    static bool TablePollDue(int &Turns, int Threshold);

    // Entry 0 to 15 of the last table answer; 9999999 when not reported.
    double Table(int Index) const;
    bool Idle() const;
    void ClearIdle();
    void SetTurbo(bool On) { FTurbo = On; }
    bool Running() const { return FRunning.load(); }
    int64_t ClockSeen() const { return FClockSeen.load(); }
    int ResendCount() const;

    // Hands received characters to the protocol as the driver's event does
    // (the worker polls the driver; tests feed characters here).
    void ReceiveData(const uint8_t *Data, int Size);
    // Characters of the answer being collected (worker only; never more
    // than MaxReplyBytes between two calls of ReceiveData).
    size_t PendingReplyBytes() const { return FBuffer.size(); }

    int Port = 1;
    int Baud = 38400;
    std::atomic<int> PollThreshold{70};
    TNotifyWindow NotifyWindow;
    TControllerErrorEvent OnError;
    std::function<int64_t()> Clock;
    std::string SettingsFile;

private:
    void Execute();
    void WriteLine(const std::string &Line);
    void AwaitPrompt();
    void Resend(int64_t Now);
    void Interpret(const std::string &Answer);
    void PollDriver();
    void Notify(int Message);
    void PostToUser(std::function<void()> Message);
    bool WaitPumping(const std::function<bool()> &Done);

    std::unique_ptr<TCommPortDriver> FDriver;
    std::thread FThread;
    std::atomic<bool> FTerminated{false}, FRunning{false}, FTurbo{false};
    std::atomic<int64_t> FClockSeen{0};
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);

    mutable std::shared_mutex FLock; // guards everything below but the buffer
    TPendingKind FPendingKind = pkNone;
    std::string FPendingCommand, FPendingPayload;
    int FPendingAxis = NoAxis;
    int FLinkState = 1; // 0 sending, 1 ready, 2 idle turn counted
    bool FPromptSeen = true;
    bool FNewValues = false;
    bool FMoveOutstanding = false; // a move awaits its all-idle table answer
    bool FInFlight = false;        // the line awaited is the pending command
    bool FLost = false;            // given up; no prompt since: one send a line
    double FTable[16];
    bool FIdle = true;
    std::string FLastLine;
    int FResendCount = 0;
    int64_t FDeadline = 0;
    const int FResendMs; // LineResendMs when made
    std::string FBuffer;    // worker only
    bool FOverlong = false; // worker only: noise was cut from FBuffer
};

} // namespace orv
