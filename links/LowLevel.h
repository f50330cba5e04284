#pragma once
// The framed serial protocol of the Control Type 5 controller and its
// worker thread. The worker makes every driver call: it sends the request
// the user-interface thread posts (write, move or read frame), resends a
// frame not acknowledged within 1 s (at most 21 sends in all), polls the
// status list when idle, follows the comms entries the controller changes
// and posts the move notifications (WM_USER + n) to the engine form.
// Boxes and the error report reach the user-interface thread through the
// event loop.
//
// The status bytes that acknowledge carry no frame number, so an answer
// counts only for a frame it can belong to: what waits before a frame goes
// out is taken first, and on a real line an answer sooner than the frame's
// bytes could have reached the controller belongs to an earlier frame.
// Such answers, and answers with no write open, are out of turn: they are
// noted (OnNote) and cast doubt on the last write. A write in doubt, or
// one whose answer did not come, or a NAK that may be a damaged ACK, is
// checked on the controller before it goes again (a comms write by reading
// the entry back, a move by the status), so no write is carried out twice
// and none is lost.

#include "links/BasicController.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

namespace orv {

class TCommPortDriver;
class TProgressView;

// Milliseconds on a monotonic clock; the resend deadlines read it.
using TLinkClock = std::function<int64_t()>;
int64_t SteadyClockMs();
// Microseconds on the same clock: when an answer came, against the time
// its frame's bytes take on the line.
int64_t LineClockMicros();

// Sets Driver's speed to Baud when it is one of the rates a link offers
// (1200 to 115200 baud); false, with the speed untouched, otherwise.
bool SetLinkBaud(TCommPortDriver &Driver, int Baud);

namespace frames {
constexpr uint8_t STX = 2, ETX = 3, EOT = 4, ENQ = 5, ACK = 6, NAK = 21, CtrlZ = 26;
// XOR of every byte of Bytes.
uint8_t Check(const std::string &Bytes);
// EOT, command, "0" + channel, payload, ETX and the check byte (XOR of
// everything before it).
std::string WriteFrame(const std::string &Command, int Channel, const std::string &Payload);
// EOT, command, "0" + channel, payload, ENQ; no check byte.
std::string ReadFrame(const std::string &Command, int Channel, const std::string &Payload);
// STX, text, ETX and the check byte (XOR of text and ETX).
std::string Reply(const std::string &Text);
// Index text of a comms entry: two digits below 10 ("07").
std::string CommsIndexText(int Index);
// Payload of a comms write: index text, ",", the value in the general
// format with "." ("07,3", "05,2.5").
std::string CommsWritePayload(int Index, Extended Value);
// A frame for logs and messages: control bytes as <EOT>, <ETX>, ... and
// other bytes outside printable ASCII as <xx>.
std::string Printable(const std::string &Bytes);
} // namespace frames

class TLowLevel : public TObject {
public:
    enum TRequestKind { rkNone = 0, rkWrite = 2, rkRead = 3, rkMove = 4 };

    TLowLevel();
    ~TLowLevel() override;

    // Opens the port (COM1 to COM6, the rates of the table, 1, 1.5 or 2
    // stop bits) and makes sure the controller program answers its version
    // query, downloading the program through its command line when it does
    // not. Message 49 or 50 and false for a port or rate it cannot use.
    bool Connect(const std::string &ProgramFile, bool UnderInspection);

    // Sends a read frame and waits for its own reply: the reply text,
    // letters included; no value when the frame was given up, the reply
    // was an error, Escape was held or the worker is not running.
    std::optional<std::string> Query(int Channel, const std::string &Command,
                                     const std::string &Payload);
    // Sends a write frame and waits for its acknowledgement: false when it
    // was given up after 21 sends (the error is reported) or the wait ended
    // without it.
    bool PostWrite(int Channel, const std::string &Payload, const std::string &Command);
    // As PostWrite for a frame that starts a motion (clears the idle latch).
    bool PostMove(int Channel, const std::string &Payload, const std::string &Command);
    // As PostWrite, also on a failed line (the stop).
    bool PostStop(int Channel, const std::string &Payload, const std::string &Command);
    // True once a frame was given up after its 21 sends: the line counts as
    // dead until the link connects again. Posts other than PostStop then
    // fail at once, the worker polls no more, and no further give-up is
    // reported (the first one was).
    bool LineFailed() const { return FLineFailed.load(); }
    void SetTurbo(bool On);

    // Field N (from 0) of the last status list; empty when it has fewer.
    std::string StatusField(int N) const;
    // Integer form: 9999999 for a missing or non-numeric field.
    int32_t StatusInt(int N) const;
    // Byte form: 0 for a missing or non-numeric field.
    uint8_t StatusByte(int N) const;
    bool StatusFlag(int N) const { return StatusField(N) == "1"; }

    // The local comms copy (entries 1 to 99; others read 0 and are not kept).
    Extended Comms(int Index) const;
    void SetComms(int Index, Extended Value);
    bool IdleLatch() const;
    void ClearIdleLatch();
    bool Stopped() const { return FStopped.load(); }
    int MotionState() const { return FMotionState.load(); }
    bool Ready() const;
    bool BackReady() const;
    void ClearBackReady();
    std::string VersionReply() const;
    bool Running() const { return FRunning.load(); }
    // A status byte announced a changed comms entry not yet read.
    bool ChangePending() const;
    // One idle turn of the worker: true when the status poll is due (after
    // PollingDelay turns, on the next one), counting IdleTurns.
    static bool StatusPollDue(int &IdleTurns, int PollingDelay);

    // Hands bytes received to the protocol as the driver's receive event
    // does (the worker polls the driver; tests feed bytes here).
    void ReceiveData(const uint8_t *Data, int Size);
    // Bytes of the reply being collected (at most MaxReplyBytes).
    size_t PendingReplyBytes() const { return FReceiveBuffer.size(); }
    // The last frame sent and how often it has been resent.
    std::string LastFrame() const;
    int ResendCount() const;
    // Every frame sent, with the clock's time, while KeepSendLog is set.
    struct TSent {
        int64_t Time;
        std::string Frame;
    };
    std::vector<TSent> SendLog() const;
    bool KeepSendLog = false;
    // Sets up an outstanding request as the worker would before the bytes
    // of its answer arrive (tests of the receiver).
    void ExpectReply(TRequestKind Kind, const std::string &Command, const std::string &Frame);
    // 1 done or idle, 0 a write is unanswered, 2 a read is unanswered.
    int ReplyState() const;
    // The clock's time the worker last looked at (a test loop waits for it
    // before moving its clock on, so no time-out is skipped).
    int64_t ClockSeen() const { return FClockSeen.load(); }

    int Port = 1;
    int Baud = 9600;
    int StopBits = 1;
    bool Handshake = false;
    std::atomic<int> PollingDelay{70};
    TNotifyWindow NotifyWindow;
    TControllerErrorEvent OnError;
    TLinkClock Clock = SteadyClockMs;
    // Microseconds, for the timing of answers on the line.
    TLinkClock LineClockUs = LineClockMicros;
    // Notes for the debug view (answers out of turn, writes checked and sent
    // again), on the user-interface thread.
    std::function<void(const std::string &Note)> OnNote;
    bool ChecksumBeep = false;
    // The settings file of the port map; empty: the main settings file.
    std::string SettingsFile;
    // The loader's progress window; none: no window.
    std::function<std::unique_ptr<TProgressView>()> ProgressFactory;
    TCommPortDriver &Driver() { return *FDriver; }

protected:
    // The port seams a worker over another driver replaces. OpenPort
    // configures and opens (message 49 or 50 and false for a port or rate
    // it cannot use); SendBytes writes a frame (Resend: LastFrame again);
    // PollPort reads what waits, waiting at most WaitMs for it; EndTurn
    // ends an idle or busy turn of the loop.
    virtual bool OpenPort();
    virtual void ClosePort();
    virtual bool PortOpen() const;
    virtual void SendBytes(const std::string &Bytes, bool Resend);
    virtual void PollPort(int WaitMs);
    virtual void EndTurn();
    // A real line, whose bytes take their time at the set rate.
    virtual bool TimedLine() const;
    // The write frame of Command (a worker of a newer chip adds a length).
    virtual std::string BuildWriteFrame(const std::string &Command, int Channel,
                                        const std::string &Payload) const;
    // Loads the controller program when the version query went unanswered.
    virtual bool Download(const std::string &ProgramFile);
    void Suspend();
    void Resume();
    // Sleeps up to Ms; a posted request ends it early.
    void SleepTurn(int Ms);
    int WakeHandle() const { return FWake[0]; }

private:
    struct TRequest {
        TRequestKind Kind = rkNone;
        int Channel = 6;
        std::string Command, Payload;
        uint64_t Seq = 0;
        bool NoResend = false;    // the version query: one send, 1 s
        bool EvenIfFailed = false; // the stop of a failed line
        bool Check = false;        // a read that checks a write: one wait
    };
    // The axes as a status list gave them.
    struct TAxes {
        bool Valid = false, Idle = false;
        int32_t At[3] = {0, 0, 0};
    };
    // A write as sent, with what is needed to check it on the controller.
    struct TWrite {
        TRequest Request;
        std::string Frame;
        TAxes Before;          // the last status before it went out
        int Announcements = 0; // changed-entry announcements before it
        bool Checked = false;  // found carried out on the controller
    };
    enum class TVerdict { Done, NotDone, Unknown };
    // What an open write frame needs again after a read that checked it.
    struct TOpen {
        TRequestKind Kind;
        std::string Command, Frame;
        int Resends;
    };
    struct TExchangeResult {
        bool Done = false; // acknowledged, or a read answered
        std::optional<std::string> Reply;
    };

    bool ConfigureDriver();
    bool VersionQuery();
    std::optional<std::string> Post(TRequest Request, bool &Done);
    bool WaitPumping(const std::function<bool()> &Done);
    void StartWorker();

    // Worker side.
    void Execute();
    TExchangeResult Exchange(const TRequest &Request);
    TExchangeResult Transfer(const TRequest &Request);
    // An open write without its answer: checked, then done or sent again.
    void CheckOpenWrite(const TWrite &W, bool Doubted, bool &CheckOnTimeout, int64_t Now);
    // The last write, made doubtful by an answer out of turn: checked and
    // sent again when the controller did not carry it out.
    void RepairDoubtedWrite();
    static bool Repeatable(const TRequest &Request);
    TVerdict Verify(const TWrite &W);
    TVerdict VerifyComms(const TWrite &W);
    TVerdict VerifyMotion(const TWrite &W);
    std::optional<std::string> CheckRead(const std::string &Command, const std::string &Payload);
    void Unanswered();
    TAxes StatusAxes() const;
    TOpen SaveOpen() const;
    void RestoreOpen(const TOpen &Open);
    int LineRate() const;
    void Answer(uint8_t B, bool Nak);
    void OutOfTurn(uint8_t B, bool Nak, const std::string &Why);
    void Note(const std::string &Text);
    void IdleWork(int &IdleTurns);
    void Notifications(bool &Reported);
    void SendFrame(const std::string &Frame, bool Again = false);
    // Now: the clock's time that found the frame unanswered.
    void Resend(int64_t Now);
    void GiveUp();
    void PollDriver(int WaitMs);
    void ApplyStatus(uint8_t B);
    void KeepVersionBytes(const uint8_t *Data, int Size);
    void CheckByte(uint8_t B);
    void HandleReply(const std::string &Text);
    void HandleComms(const std::string &Text);
    void Notify(int Message);
    void PostToUser(std::function<void()> Message);

    std::unique_ptr<TCommPortDriver> FDriver;
    std::thread FThread;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FRunning{false};
    std::atomic<bool> FLineFailed{false};
    bool FSuspendRequested = false; // L
    bool FParked = true;            // L
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);

    mutable std::shared_mutex FLock;
    std::condition_variable_any FChanged;
    // Request slot and results (L).
    std::optional<TRequest> FPending;
    uint64_t FNextSeq = 0, FDoneSeq = 0;
    TExchangeResult FDone;
    // Exchange state (L).
    int FReplyState = 1;
    TRequestKind FOutstandingKind = rkNone;
    std::string FOutstandingCommand;
    bool FAnswered = false;
    std::optional<std::string> FAnswer;
    bool FGivenUp = false;
    bool FNoResend = false;
    bool FIdleLatch = false, FStatusChanged = false, FChangePending = false;
    bool FReady = true, FWentNotReady = false, FBackReady = false;
    bool FTurbo = false;
    std::string FStatusList, FVersionReply;
    std::string FVersionBytes; // L: what came for the version query
    bool FVersionDamaged = false;
    Extended FComms[100] = {};
    std::string FLastFrame, FLastCommand;
    int FResendCount = 0;
    int64_t FDeadline = 0;
    std::vector<TSent> FSendLog;
    // A NAK that came while a frame was going out byte by byte: the frame
    // goes again once it is out (worker only).
    bool FSending = false, FResendWanted = false;
    // Answers to the open frame come no sooner (line clock, worker only).
    int64_t FEarliestAnswerUs = 0;
    bool FWriteDoubt = false; // L
    std::atomic<int> FAnnouncements{0};
    // The write open, the last write closed, and one an answer out of turn
    // made doubtful (worker only).
    std::optional<TWrite> FOpenWrite, FLastClosed, FDoubted;
    bool FVerifying = false;
    // Receiver state (worker only).
    std::string FReceiveBuffer;
    bool FAwaitCheck = false;
    bool FDropping = false; // an overlong reply: bytes wait for the next STX
    int FLastIndex = 0;
    std::atomic<bool> FStopped{false};
    std::atomic<int> FMotionState{0};
    std::atomic<int64_t> FClockSeen{0};
    int FWake[2] = {-1, -1}; // a posted request wakes the worker's wait on the port
    void Wake();
};

} // namespace orv
