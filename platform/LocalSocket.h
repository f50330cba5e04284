#pragma once
// Local (AF_UNIX) stream sockets in the user's runtime folder: the server
// that other programs reach by name (copy-data requests, the DDE server)
// and a small client. The server never blocks: it is served by Poll from a
// user-interface timer, so its events run in that thread. Sockets are made
// 0600 in a folder only the user may enter, and a peer of another user is
// refused at accept. A server holds at most MaxConnections peers, and drops
// one whose request has not come whole within IdleTimeoutMs, so idle peers
// cannot use up the descriptors the program needs for its own files.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TTimer;

// The folder the program's sockets live in: XDG_RUNTIME_DIR when set, else
// "<TMPDIR or /tmp>/orvellan-<uid>", made with mode 0700. Either is taken
// only when it is a real folder (no link), owned by the user, and neither
// group nor others may enter it. Empty with Error set otherwise.
std::string RuntimeFolder(std::string &Error);

// The path of the socket called Name in the runtime folder.
std::string LocalSocketPath(const std::string &Name, std::string &Error);

class TLocalServer {
public:
    TLocalServer();
    ~TLocalServer();
    TLocalServer(const TLocalServer &) = delete;
    TLocalServer &operator=(const TLocalServer &) = delete;

    // Listens on the socket Name in the runtime folder, replacing a stale
    // socket file of that name. False with Error set (the folder refused, the
    // name taken by a live server, the system's refusal). PollingDelay > 0
    // starts a timer that calls Poll; 0 leaves polling to the owner.
    bool Listen(const std::string &Name, std::string &Error, int PollingDelay = 20);
    void Close();
    bool Listening() const { return FHandle >= 0; }
    const std::string &Path() const { return FPath; }

    // Accepts waiting peers (refusing those of another user) and hands what
    // each connection sent to OnData; a peer that went away fires
    // OnDisconnect.
    void Poll();
    // Writes all of Data to a connection (waits for room while the peer
    // reads); false when the connection is gone. A peer that takes nothing
    // for SendWaitMs, or whose side is broken, is dropped: the connection
    // is closed, then OnDisconnect fires.
    bool Send(int Connection, const void *Data, size_t Count);
    int SendWaitMs = 200;
    // Ends a connection from this side (no OnDisconnect).
    void CloseConnection(int Connection);
    int ConnectionCount() const { return int(FConnections.size()); }

    // Peers beyond MaxConnections are accepted only to get BusyReply (sent
    // without waiting) and be closed at once.
    static constexpr int DefaultMaxConnections = 64;
    static constexpr int DefaultIdleTimeoutMs = 10000;
    int MaxConnections = DefaultMaxConnections;
    std::string BusyReply;
    int BusyPeers = 0;
    // A connection's request must come whole within IdleTimeoutMs (on the
    // event loop's clock) of its accept, or of the moment it stopped being
    // kept open; else OnTimeOut (OnDisconnect when unset) may answer, and
    // the connection is closed. 0: no time-out.
    int IdleTimeoutMs = DefaultIdleTimeoutMs;
    // Kept: the peer is between requests (a DDE conversation waiting for its
    // next transaction) and no time-out applies. Clearing it starts the
    // clock for the next request.
    void KeepOpen(int Connection, bool Kept);
    std::function<void(int Connection)> OnTimeOut;
    int TimedOutPeers = 0;

    // The user id a peer must have; the process's own by default.
    unsigned AllowedUid;
    std::function<void(int Connection)> OnConnect;
    // Bytes from a connection; the handler may close the connection.
    std::function<void(int Connection, const uint8_t *Data, size_t Count)> OnData;
    // The peer ended its data (closed, or only its sending side): the
    // handler may still answer; the connection is closed afterwards.
    std::function<void(int Connection)> OnDisconnect;
    // Peers refused because they belong to another user.
    int RefusedPeers = 0;

private:
    struct TConnection {
        int Handle = -1;
        int64_t Since = 0; // when the current request's clock started
        bool Kept = false;
    };
    void AcceptWaiting();
    bool ReadConnection(int Id);
    void RefuseBusy(int Handle);
    void DropIdle();

    int FHandle = -1;
    bool FPolling = false;
    std::string FPath;
    int FNextId = 1;
    std::map<int, TConnection> FConnections;
    std::unique_ptr<TTimer> FTimer;
};

// A blocking client for the local servers (tests and small tools).
class TLocalClient {
public:
    TLocalClient() = default;
    ~TLocalClient();
    TLocalClient(const TLocalClient &) = delete;
    TLocalClient &operator=(const TLocalClient &) = delete;

    // Connects to the socket Name in the runtime folder, or to a path.
    bool Connect(const std::string &NameOrPath, std::string &Error);
    void Close();
    bool Connected() const { return FHandle >= 0; }
    bool Send(const void *Data, size_t Count);
    bool Send(const std::string &Data) { return Send(Data.data(), Data.size()); }
    // Ends the sending side; the server sees the end of the data.
    void FinishSending();
    // Reads what is waiting, waiting up to TimeoutMs for the first byte:
    // the bytes read; empty on time-out. Closed is set when the server
    // ended the connection.
    std::string Receive(int TimeoutMs, bool *Closed = nullptr);

private:
    int FHandle = -1;
};

} // namespace orv
