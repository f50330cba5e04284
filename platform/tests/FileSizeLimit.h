#pragma once
// A real write failure part way through a file: while an object of this class
// lives, the process may not make any file larger than the given size, and a
// write past it fails with EFBIG (SIGXFSZ is ignored meanwhile). Only the
// soft limit is lowered, so the old one comes back afterwards.

#include <csignal>
#include <sys/resource.h>

namespace orv::test {

class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t Bytes) {
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = FOld;
        lower.rlim_cur = Bytes;
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~TFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = SIG_DFL;
};

} // namespace orv::test
