#pragma once
// The master side of a new pseudo-terminal pair for the simulators: raw,
// non-blocking; Slave is the device the PC side opens.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orv {

// The master's handle, or -1 with Error set.
int OpenPtyMaster(std::string &Slave, std::string &Error);

struct TSimLogEntry {
    int64_t Time;      // ms on the simulator's clock
    char Direction;    // '<' from the PC, '>' to the PC, '=' a write carried out
    std::string Kind;  // "write", "read", "line", "ack", "nak", "reply", "status"
    std::string Bytes; // printable
};

// A simulator on the master side of a pseudo-terminal pair, served by a
// thread of its own that runs Run until Stop. A derived simulator calls
// Stop in its own destructor, before its members go.
class TPtySim {
public:
    TPtySim(const TPtySim &) = delete;
    TPtySim &operator=(const TPtySim &) = delete;

    // Opens the pseudo-terminal pair; SlavePath is the device the PC side
    // opens. False with Error set.
    bool Open(std::string &SlavePath, std::string &Error);
    // Runs the simulator in a thread of its own until Stop.
    void Start();
    void Stop();

    std::vector<TSimLogEntry> Log() const;
    // The log as text lines "time dir kind bytes".
    std::string LogText() const;

    std::function<int64_t()> Clock; // ms; default the steady clock

protected:
    TPtySim();
    virtual ~TPtySim();
    virtual void Run() = 0;
    int64_t Now() const;
    // Puts the line's settings back as they were when the pair was made,
    // as a port is when it is opened again after the PC side closed it
    // (on a pseudo-terminal the settings of the last session stay, and
    // the C library then refuses a parity setting the terminal ignores).
    void ResetLine();
    void Record(char Direction, const std::string &Kind, const std::string &Bytes);

    int FMaster = -1;
    std::vector<uint8_t> FFreshLine; // the termios of a new pair
    std::thread FThread;
    std::atomic<bool> FStop{false};
    mutable std::mutex FLock; // the log and what the simulator keeps beside it
    std::vector<TSimLogEntry> FLog;
};

} // namespace orv
