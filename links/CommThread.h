#pragma once
// The machine finder's request/reply worker: a thread that writes the
// request the user-interface thread hands over (a framed read or command,
// or raw text), polls the polled driver and collects the answer. Requests,
// states, errors and the reply buffer are under one lock; the answer timer
// (5 s) and the notify event live in the user-interface thread, which the
// worker reaches only through posted messages.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <shared_mutex>
#include <string>
#include <thread>

namespace orv {

class TCommPortDriver;
class TObject;
class TTimer;

class TCommThread {
public:
    TCommThread(); // created suspended
    ~TCommThread();
    TCommThread(const TCommThread &) = delete;
    TCommThread &operator=(const TCommThread &) = delete;

    // Opens "COM<Port>" (1 to 6) at Baud: errors 2, 3 or 4 when it cannot.
    void OpenLink(int Port, int Baud);
    // Moves the open link to "COM<Port>" (1 to 8; others: error 2).
    void ChangePort(int Port);
    void CloseLink();
    // Hands a request to the worker and serves messages until it is out.
    void ReadRequest(int Channel, const std::string &Command, const std::string &Payload);
    void CommandRequest(int Channel, const std::string &Command, const std::string &Payload);
    void RawRequest(const std::string &Text);

    std::string Reply() const;
    void ClearReply();
    // 0 "No error", 1 "Timed out waiting for reply", 2 "Com port number is
    // invalid", 3 "Baud rate is invalid", 4 "Could not open com port".
    int ErrorCode() const;
    std::string ErrorText() const;
    void ClearError();
    // The port open when a time-out or NAK came; -1 when none.
    int FailedPort() const;
    void SetFailedPort(int Port);
    int LinkState() const;
    // True while a request waits for the worker or the turn that wrote it
    // runs.
    bool Busy() const;
    // The port of the open link; 0 when the link is closed. User-interface
    // thread.
    int OpenPort() const;

    // Called in the user-interface thread after each error is recorded.
    std::function<void(TCommThread *Sender)> OnNotify;
    // The settings file of the [Serial Ports] map; empty: the main settings.
    std::string SettingsFile;

    // Frames as the worker writes them (channel character "0" + channel).
    static std::string CommandFrame(int Channel, const std::string &Command,
                                    const std::string &Payload);
    static std::string ReadFrame(int Channel, const std::string &Command,
                                 const std::string &Payload);

private:
    void Execute();
    void Request(int Kind, int Channel, const std::string &Command, const std::string &Payload,
                 bool WaitReady);
    void ReceiveBytes(const uint8_t *Data, int Size);
    void RecordError(int Code);
    void Suspend();
    void Resume();
    void PostToUser(std::function<void()> Message);

    std::unique_ptr<TCommPortDriver> FDriver;
    std::unique_ptr<TTimer> FAnswerTimer;
    mutable std::shared_mutex FLock;
    std::condition_variable_any FChanged;
    std::thread FThread;
    std::atomic<bool> FTerminated{false};
    bool FSuspended = true, FParked = true; // L
    int FLinkState = 1, FReplyState = 1;    // L
    int FPendingKind = 0;                   // L
    int FChannel = 0;                       // L
    std::string FCommand, FPayload;         // L
    std::string FReplyBuffer;               // L: at most MaxReplyBytes
    bool FInFrame = false;                  // L: STX came, its ETX not yet
    bool FDropping = false;                 // L: an overlong frame went
    int FErrorCode = 0;                     // L
    int FFailedPort = -1;                   // L
    int FPort = 0;                          // L
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};

} // namespace orv
