#include "platform/SafeSave.h"

#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr int MaxLinkHops = 40; // as the kernel allows
constexpr size_t MaxNameLength = NAME_MAX;
constexpr std::string_view TemporaryTail = ".XXXXXX";

TSaveResult Failure(TSaveStep Step, int Error) {
    return {Step, std::strerror(Error)};
}

// The file a chain of symbolic links ends at, so that the link survives the
// save; Path itself when it is no link. False (ELOOP) for a circle of links.
bool FollowLinks(std::string &Path, int &Error) {
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        struct stat st;
        if (::lstat(Path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        char target[PATH_MAX];
        const ssize_t size = ::readlink(Path.c_str(), target, sizeof target - 1);
        if (size < 0) {
            Error = errno;
            return false;
        }
        const std::string next(target, static_cast<size_t>(size));
        Path = !next.empty() && next.front() == '/' ? next : ExtractFilePath(Path) + next;
    }
    Error = ELOOP;
    return false;
}

// The process's umask, read without changing it (umask() would, for every
// thread, for a moment).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "Umask:") == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 022;
}

// A hidden name beside Target for mkstemp, kept within the file-name limit.
std::string TemporaryPattern(const std::string &Target) {
    const std::string folder = ExtractFilePath(Target);
    std::string name = "." + Target.substr(folder.size());
    name.resize(std::min(name.size(), MaxNameLength - TemporaryTail.size()));
    return folder + name + std::string(TemporaryTail);
}

bool WriteAll(int Fd, std::string_view Bytes) {
    while (!Bytes.empty()) {
        const ssize_t n = ::write(Fd, Bytes.data(), Bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        Bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The rename is on the disk only once the folder is.
void SyncFolder(const std::string &Target) {
    const std::string folder = ExtractFilePath(Target);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

TSaveResult SaveFileReplacing(const std::string &FileName, std::string_view Bytes,
                              TSaveSync Sync) {
    std::string target = FileName;
    int error = 0;
    if (!FollowLinks(target, error))
        return Failure(TSaveStep::Create, error);
    struct stat old;
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode))
        return Failure(TSaveStep::Create, EISDIR);
    const mode_t mode = existed ? old.st_mode & 07777 : 0666 & ~CurrentUmask();

    std::string temporary = TemporaryPattern(target);
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return Failure(TSaveStep::Create, errno);
    const bool toDisk = Sync == TSaveSync::ToDisk;
    bool written = WriteAll(fd, Bytes) && (!toDisk || ::fsync(fd) == 0) && ::fchmod(fd, mode) == 0;
    if (!written)
        error = errno;
    // close reports what a network file system could not store.
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return Failure(TSaveStep::Write, error);
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        return Failure(TSaveStep::Replace, error);
    }
    if (toDisk)
        SyncFolder(target);
    return {};
}

} // namespace orv
