#include "transfer/TransferPort.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace orv {

namespace {
int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
bool IsWouldBlock(int Error) {
    return Error == EAGAIN || Error == EWOULDBLOCK || Error == EINTR;
}
} // namespace

bool TSerialTransferPort::Open(const std::string &Device, const TSerialSettings &Line,
                               std::string &Error) {
    FPort.Close();
    if (!FPort.Open(Device, Error))
        return false;
    if (!FPort.Apply(Line, Error)) {
        FPort.Close();
        return false;
    }
    FPort.Flush(true, true);
    return true;
}

void TSerialTransferPort::Close() {
    FPort.Close();
}

TSendOutcome TSerialTransferPort::SendString(const std::string &Text) {
    TSendOutcome out;
    if (!FPort.IsOpen()) {
        out.Status = TSendStatus::Closed;
        return out;
    }
    const auto *data = reinterpret_cast<const uint8_t *>(Text.data());
    int64_t lastProgress = NowMs();
    while (out.Written < int(Text.size())) {
        int n = FPort.Write(data + out.Written, int(Text.size()) - out.Written);
        if (n > 0) {
            out.Written += n;
            lastProgress = NowMs();
            continue;
        }
        if (n < 0 && !IsWouldBlock(-n)) {
            out.Status = TSendStatus::Lost;
            out.Reason = std::strerror(-n);
            return out;
        }
        if (NowMs() - lastProgress >= OutputTimeoutMs) {
            out.Status = TSendStatus::Stalled;
            return out;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return out;
}

int TSerialTransferPort::Read(uint8_t *Buffer, int Size, std::string &Reason) {
    if (!FPort.IsOpen())
        return 0;
    errno = 0;
    int n = FPort.Read(Buffer, Size);
    if (n < 0) {
        int e = errno;
        Reason = std::strerror(e ? e : EIO);
        return -1;
    }
    // A terminal in raw mode reads 0 both when nothing waits and when the
    // far side hung up; only the hang-up also reports input ready. Input
    // that arrived after the read is ready too: read once more, and only a
    // second empty read is the hang-up.
    if (n != 0 || !FPort.WaitReadable(0))
        return n;
    n = FPort.Read(Buffer, Size);
    if (n <= 0) {
        Reason = std::strerror(n < 0 && errno ? errno : EIO);
        return -1;
    }
    return n;
}

} // namespace orv
