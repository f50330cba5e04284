#include "platform/LocalSocket.h"

#include "platform/EventLoop.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace orv {

namespace {

std::string SystemError(const std::string &What, const std::string &Path)
{
    return What + " " + Path + ": " + std::strerror(errno);
}

// A folder the sockets may live in: a real folder (a link is refused,
// lstat does not follow it), the user's own, closed to group and others.
bool FolderIsPrivate(const std::string &Folder, std::string &Error)
{
    struct stat st {};
    if (::lstat(Folder.c_str(), &st) != 0) {
        Error = SystemError("Cannot examine the runtime folder", Folder);
        return false;
    }
    if (S_ISLNK(st.st_mode) || !S_ISDIR(st.st_mode)) {
        Error = "The runtime folder " + Folder + " is not a folder of its own (a link or a file)";
        return false;
    }
    if (st.st_uid != ::getuid()) {
        Error = "The runtime folder " + Folder + " belongs to another user";
        return false;
    }
    if ((st.st_mode & 077) != 0) {
        Error = "The runtime folder " + Folder + " is open to other users";
        return false;
    }
    return true;
}

bool FillAddress(const std::string &Path, sockaddr_un &Address, std::string &Error)
{
    Address = {};
    Address.sun_family = AF_UNIX;
    if (Path.size() >= sizeof Address.sun_path) {
        Error = "The socket path is too long: " + Path;
        return false;
    }
    std::memcpy(Address.sun_path, Path.c_str(), Path.size() + 1);
    return true;
}

bool PeerUid(int Handle, unsigned &Uid)
{
    ucred cred{};
    socklen_t size = sizeof cred;
    if (::getsockopt(Handle, SOL_SOCKET, SO_PEERCRED, &cred, &size) != 0)
        return false;
    Uid = cred.uid;
    return true;
}

// True when a live server answers on Path.
bool ServerAnswers(const sockaddr_un &Address)
{
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    bool live = ::connect(probe, reinterpret_cast<const sockaddr *>(&Address), sizeof Address) == 0;
    ::close(probe);
    return live;
}

} // namespace

std::string RuntimeFolder(std::string &Error)
{
    const char *xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg && *xdg)
        return FolderIsPrivate(xdg, Error) ? std::string(xdg) : std::string();
    const char *tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    std::string folder = base + "/orvellan-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        Error = SystemError("Cannot make the runtime folder", folder);
        return {};
    }
    return FolderIsPrivate(folder, Error) ? folder : std::string();
}

std::string LocalSocketPath(const std::string &Name, std::string &Error)
{
    if (Name.empty() || Name.find('/') != std::string::npos || Name == "." || Name == "..") {
        Error = "Not a socket name: \"" + Name + "\"";
        return {};
    }
    std::string folder = RuntimeFolder(Error);
    return folder.empty() ? std::string() : folder + "/" + Name;
}

// --- Server ---

TLocalServer::TLocalServer() : AllowedUid(::getuid()) {}

TLocalServer::~TLocalServer() { Close(); }

bool TLocalServer::Listen(const std::string &Name, std::string &Error, int PollingDelay)
{
    Close();
    std::string path = LocalSocketPath(Name, Error);
    sockaddr_un address{};
    if (path.empty() || !FillAddress(path, address, Error))
        return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            Error = "The socket name " + path + " is taken by a file that is no socket";
            return false;
        }
        if (ServerAnswers(address)) {
            Error = "Another program serves " + path;
            return false;
        }
        ::unlink(path.c_str()); // left behind by a program that ended
    }
    int handle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (handle < 0) {
        Error = SystemError("Cannot make the socket", path);
        return false;
    }
    if (::bind(handle, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::chmod(path.c_str(), 0600) != 0 || ::listen(handle, 16) != 0) {
        Error = SystemError("Cannot listen on", path);
        ::close(handle);
        ::unlink(path.c_str());
        return false;
    }
    FHandle = handle;
    FPath = path;
    if (PollingDelay > 0) {
        FTimer = std::make_unique<TTimer>();
        FTimer->OnTimer = [this] { Poll(); };
        FTimer->SetInterval(PollingDelay);
        FTimer->SetEnabled(true);
    }
    return true;
}

void TLocalServer::Close()
{
    FTimer.reset();
    for (auto &entry : FConnections)
        ::close(entry.second.Handle);
    FConnections.clear();
    if (FHandle >= 0) {
        ::close(FHandle);
        ::unlink(FPath.c_str());
    }
    FHandle = -1;
    FPath.clear();
}

void TLocalServer::AcceptWaiting()
{
    for (;;) {
        int handle = ::accept4(FHandle, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (handle < 0)
            return;
        unsigned uid = 0;
        if (!PeerUid(handle, uid) || uid != AllowedUid) {
            ++RefusedPeers;
            ::close(handle);
            continue;
        }
        if (int(FConnections.size()) >= MaxConnections) {
            RefuseBusy(handle);
            continue;
        }
        int id = FNextId++;
        FConnections[id] = TConnection{handle, EventLoop().NowMs(), false};
        if (OnConnect)
            OnConnect(id);
    }
}

void TLocalServer::RefuseBusy(int Handle)
{
    ++BusyPeers;
    if (!BusyReply.empty())
        ::send(Handle, BusyReply.data(), BusyReply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::close(Handle);
}

void TLocalServer::KeepOpen(int Connection, bool Kept)
{
    auto it = FConnections.find(Connection);
    if (it == FConnections.end() || it->second.Kept == Kept)
        return;
    it->second.Kept = Kept;
    it->second.Since = EventLoop().NowMs();
}

// A peer whose request has not come whole in time is answered as the owner
// decides, then closed: it holds a descriptor for nothing.
void TLocalServer::DropIdle()
{
    if (IdleTimeoutMs <= 0)
        return;
    const int64_t now = EventLoop().NowMs();
    std::vector<int> late;
    for (const auto &[id, c] : FConnections)
        if (!c.Kept && now - c.Since >= IdleTimeoutMs)
            late.push_back(id);
    for (int id : late) {
        if (!FConnections.count(id))
            continue; // a handler of an earlier one closed it
        ++TimedOutPeers;
        if (OnTimeOut)
            OnTimeOut(id);
        else if (OnDisconnect)
            OnDisconnect(id);
        CloseConnection(id);
    }
}

// Reads until nothing waits; false when the connection is gone (the peer
// ended it, or a handler closed it).
bool TLocalServer::ReadConnection(int Id)
{
    uint8_t buffer[4096];
    for (;;) {
        auto it = FConnections.find(Id);
        if (it == FConnections.end())
            return false;
        ssize_t n = ::recv(it->second.Handle, buffer, sizeof buffer, 0);
        if (n > 0) {
            if (OnData)
                OnData(Id, buffer, size_t(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return true;
        // The end of the peer's data (or a broken connection): the handler
        // may still answer what came, then the connection is closed.
        if (OnDisconnect)
            OnDisconnect(Id);
        CloseConnection(Id);
        return false;
    }
}

void TLocalServer::Poll()
{
    // A handler that serves messages (a run started by a command) must not
    // read the next message in the middle of the one it handles.
    if (FHandle < 0 || FPolling)
        return;
    struct TBusy {
        bool &Flag;
        explicit TBusy(bool &F) : Flag(F) { Flag = true; }
        ~TBusy() { Flag = false; }
    } busy(FPolling);
    AcceptWaiting();
    std::vector<int> ids;
    for (const auto &entry : FConnections)
        ids.push_back(entry.first);
    for (int id : ids)
        ReadConnection(id);
    DropIdle();
}

// A peer that takes nothing for SendWaitMs is dropped, so one client that
// does not read cannot hold the user-interface thread.
bool TLocalServer::Send(int Connection, const void *Data, size_t Count)
{
    auto it = FConnections.find(Connection);
    if (it == FConnections.end())
        return false;
    const int handle = it->second.Handle;
    const auto *p = static_cast<const uint8_t *>(Data);
    while (Count > 0) {
        ssize_t n = ::send(handle, p, Count, MSG_NOSIGNAL);
        if (n > 0) {
            p += n;
            Count -= size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wait{handle, POLLOUT, 0};
            if (::poll(&wait, 1, SendWaitMs) > 0)
                continue;
        }
        // Gone before the owner hears of it, so a handler that answers
        // finds no connection to write to.
        CloseConnection(Connection);
        if (OnDisconnect)
            OnDisconnect(Connection);
        return false;
    }
    return true;
}

void TLocalServer::CloseConnection(int Connection)
{
    auto it = FConnections.find(Connection);
    if (it == FConnections.end())
        return;
    ::close(it->second.Handle);
    FConnections.erase(it);
}

// --- Client ---

TLocalClient::~TLocalClient() { Close(); }

bool TLocalClient::Connect(const std::string &NameOrPath, std::string &Error)
{
    Close();
    std::string path = NameOrPath.find('/') == std::string::npos
                           ? LocalSocketPath(NameOrPath, Error)
                           : NameOrPath;
    sockaddr_un address{};
    if (path.empty() || !FillAddress(path, address, Error))
        return false;
    int handle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0 ||
        ::connect(handle, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        Error = SystemError("Cannot connect to", path);
        if (handle >= 0)
            ::close(handle);
        return false;
    }
    FHandle = handle;
    return true;
}

void TLocalClient::Close()
{
    if (FHandle >= 0)
        ::close(FHandle);
    FHandle = -1;
}

bool TLocalClient::Send(const void *Data, size_t Count)
{
    const auto *p = static_cast<const uint8_t *>(Data);
    while (FHandle >= 0 && Count > 0) {
        ssize_t n = ::send(FHandle, p, Count, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        Count -= size_t(n);
    }
    return FHandle >= 0;
}

void TLocalClient::FinishSending()
{
    if (FHandle >= 0)
        ::shutdown(FHandle, SHUT_WR);
}

std::string TLocalClient::Receive(int TimeoutMs, bool *Closed)
{
    if (Closed)
        *Closed = FHandle < 0;
    std::string out;
    if (FHandle < 0)
        return out;
    pollfd wait{FHandle, POLLIN, 0};
    if (::poll(&wait, 1, TimeoutMs) <= 0)
        return out;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::recv(FHandle, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            out.append(buffer, size_t(n));
            continue;
        }
        // A server that closes with our data unread resets the connection.
        if (Closed && (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)))
            *Closed = true;
        return out;
    }
}

} // namespace orv
