#pragma once
// The far end of a pseudo-terminal, standing in for a machine control: the
// slave is named in a [Serial Ports] entry, the master is read or written
// here at the line rate (10 bits a character), from a thread of its own.

#include "platform/tests/Pty.h"
#include "platform/tests/TempDir.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace orv::test {

class TPtyFarSide : public TPty {
public:
    ~TPtyFarSide() {
        Stop = true;
        if (Worker.joinable())
            Worker.join();
        CloseMaster();
    }
    void CloseMaster() {
        std::lock_guard<std::mutex> lock(FMutex);
        if (Master >= 0)
            ::close(Master);
        Master = -1;
    }

    // Reads at Baud until Want bytes came or Stop; each read waits at most
    // 10 s for input, so a stuck send ends the thread. With HangUpAt, the
    // master is closed once that many bytes came (a cable pulled mid-send).
    void StartReading(int Baud, size_t Want, size_t HangUpAt = 0) {
        Worker = std::thread([this, Baud, Want, HangUpAt] {
            const auto start = std::chrono::steady_clock::now();
            while (!Stop && Size() < Want) {
                std::string chunk = ReadSome(10000, 64);
                if (chunk.empty())
                    return;
                Append(chunk);
                if (HangUpAt && Size() >= HangUpAt) {
                    CloseMaster();
                    return;
                }
                if (!Unpaced)
                    PaceUntil(start, Baud, Size());
            }
        });
    }
    // Writes Data at Baud in pieces of 16 bytes.
    void StartWriting(int Baud, std::string Data) {
        Worker = std::thread([this, Baud, Data] {
            const auto start = std::chrono::steady_clock::now();
            for (size_t i = 0; i < Data.size() && !Stop; i += 16) {
                std::string piece = Data.substr(i, 16);
                WriteAll(piece);
                PaceUntil(start, Baud, i + piece.size());
            }
            Done = true;
        });
    }
    void WriteAll(const std::string &Data) {
        size_t at = 0;
        while (at < Data.size() && !Stop) {
            ssize_t n;
            {
                std::lock_guard<std::mutex> lock(FMutex);
                n = Master >= 0 ? ::write(Master, Data.data() + at, Data.size() - at) : -1;
            }
            if (n > 0)
                at += size_t(n);
            else if (Master < 0)
                return;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // One read of at most Max bytes, waiting up to TimeoutMs.
    std::string ReadSome(int TimeoutMs, size_t Max) {
        pollfd p{Master, POLLIN, 0};
        if (::poll(&p, 1, TimeoutMs) <= 0)
            return {};
        char buffer[256];
        ssize_t n = ::read(Master, buffer, std::min(Max, sizeof buffer));
        return n > 0 ? std::string(buffer, size_t(n)) : std::string();
    }
    // Sleeps until Bytes characters would have passed since Start, so the
    // pacing does not drift with the sleeps' own overshoot.
    static void PaceUntil(std::chrono::steady_clock::time_point Start, int Baud, size_t Bytes) {
        std::this_thread::sleep_until(
            Start + std::chrono::microseconds(int64_t(Bytes) * 10 * 1000000 / Baud));
    }
    static void Pace(int Baud, size_t Bytes) {
        std::this_thread::sleep_for(
            std::chrono::microseconds(int64_t(Bytes) * 10 * 1000000 / Baud));
    }
    std::string Received() {
        std::lock_guard<std::mutex> lock(FMutex);
        return FReceived;
    }
    size_t Size() {
        std::lock_guard<std::mutex> lock(FMutex);
        return FReceived.size();
    }
    void Append(const std::string &Chunk) {
        std::lock_guard<std::mutex> lock(FMutex);
        FReceived += Chunk;
    }
    void Join() {
        if (Worker.joinable())
            Worker.join();
    }

    // What a pseudo-terminal takes from a raw slave before the far side
    // reads anything (the kernel's buffers, which vary between kernels).
    static size_t Capacity() {
        TPty pty;
        int slave = ::open(pty.Slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (slave < 0)
            return 0;
        termios t{};
        ::tcgetattr(slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave, TCSANOW, &t);
        const std::string block(1024, 'x');
        size_t taken = 0;
        for (ssize_t n; (n = ::write(slave, block.data(), block.size())) > 0;)
            taken += size_t(n);
        ::close(slave);
        return taken;
    }

    // Set while reading: the far side reads as fast as it can from then on.
    std::atomic<bool> Unpaced{false};
    std::atomic<bool> Stop{false};
    std::atomic<bool> Done{false};
    std::thread Worker;

private:
    std::mutex FMutex;
    std::string FReceived;
};

// Waits (bounded) until Condition holds, serving Step between checks.
template <class TCond, class TStep> bool WaitUntil(TCond Condition, TStep Step, int Ms = 20000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    while (!Condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace orv::test
