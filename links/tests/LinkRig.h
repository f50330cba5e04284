#pragma once
// A controller simulator on a pseudo-terminal for the tests: a settings
// file whose [Serial Ports] maps COM1 to its device, one clock for the
// event loop, the protocol worker and the simulator, and an event loop
// that lets the simulator catch up before each turn, so the test clock
// alone decides when time-outs fall.

#include "links/ComDrv32.h"
#include "links/LowLevel.h"
#include "links/MsgDrv.h"
#include "links/sim/ControllerSim.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace orv::test {

class TSimRig {
public:
    explicit TSimRig(bool ProgramRunning = true) {
        Sim.Clock = [this] { return Now.load(); };
        Sim.ProgramRunning = ProgramRunning;
        std::string error;
        Opened = Sim.Open(Slave, error);
        EXPECT_TRUE(Opened) << error;
        // Held before the PC side opens (which then locks the device): it
        // only looks at how many bytes wait on the PC side.
        Probe = ::open(Slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        Settings = Temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM1=" + Slave + "\n");
        SentBase = TotalSent();
        ReceivedBase = TotalReceived();
    }
    ~TSimRig() {
        Sim.Stop();
        if (Probe >= 0)
            ::close(Probe);
    }
    void Start() { Sim.Start(); }

    // Waits (at most 2 s of real time) until the simulator has answered
    // everything sent and its answers wait on the PC side or were read.
    void Sync() {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            int waiting = 0;
            ::ioctl(Probe, FIONREAD, &waiting);
            uint64_t sent = TotalSent() - SentBase;
            uint64_t received = TotalReceived() - ReceivedBase;
            if (Sim.BytesIn() == sent && received + uint64_t(waiting) >= Sim.BytesOut() &&
                Sim.Quiet())
                return;
            std::this_thread::yield();
        }
    }

    // Frames the PC wrote, in order (printable), of one kind.
    std::vector<std::string> Frames(const std::string &Kind = "write") const {
        std::vector<std::string> out;
        for (const TSimLogEntry &e : Sim.Log())
            if (e.Direction == '<' && e.Kind == Kind)
                out.push_back(e.Bytes);
        return out;
    }
    int Count(const std::string &Frame) const {
        int n = 0;
        for (const TSimLogEntry &e : Sim.Log())
            if (e.Direction == '<' && e.Bytes == Frame)
                ++n;
        return n;
    }

    TTempDir Temp;
    TControllerSim Sim;
    std::string Slave, Settings;
    std::atomic<int64_t> Now{0};
    bool Opened = false;

private:
    // Bytes through both kinds of driver.
    static uint64_t TotalSent() {
        return TCommPortDriver::TotalBytesSent() + TMsgCommPortDriver::TotalBytesSent();
    }
    static uint64_t TotalReceived() {
        return TCommPortDriver::TotalBytesReceived() + TMsgCommPortDriver::TotalBytesReceived();
    }
    int Probe = -1;
    uint64_t SentBase = 0, ReceivedBase = 0;
};

// The test loop, with the simulator and the worker on its clock.
// With a worker, each step waits until the worker has seen the time.
class TSimLoop : public TTestEventLoop {
public:
    explicit TSimLoop(TSimRig &Rig) : FRig(Rig) {}
    void ProcessMessages() override {
        FRig.Sync();
        WaitForWorker();
        TTestEventLoop::ProcessMessages();
        FRig.Now = NowMs();
    }
    const TLowLevel *Worker = nullptr;

private:
    void WaitForWorker() {
        if (!Worker)
            return;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (Worker->Running() && Worker->ClockSeen() < NowMs() &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::yield();
    }
    TSimRig &FRig;
};

} // namespace orv::test
