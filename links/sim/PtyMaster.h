#pragma once
// The master side of a new pseudo-terminal pair for the simulators: raw,
// non-blocking; Slave is the device the PC side opens.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace orv {

// The master's handle, or -1 with Error set.
int OpenPtyMaster(std::string &Slave, std::string &Error);

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

    std::function<int64_t()> Clock; // ms; default the steady clock

protected:
    TPtySim();
    virtual ~TPtySim();
    virtual void Run() = 0;
    int64_t Now() const;

    int FMaster = -1;
    std::thread FThread;
    std::atomic<bool> FStop{false};
};

} // namespace orv
