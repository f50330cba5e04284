// The framed link at line speed: blocks sent by the Control Type 5
// controller over a pseudo-terminal to the simulator, which paces every
// byte at 19200 baud 8N2 (11 bits a byte). Reports blocks per second,
// bytes per block both ways, and the line's limit for those bytes; the
// goal is that a block costs no more than its bytes on the line plus one
// polling interval of the worker.
//   Streamed: 10,000 feed moves, each done once acknowledged (look-ahead).
//   Waited: moves that each wait for the axes to be idle (a status poll).

#include "links/ComDrv32.h"
#include "links/Controller.h"
#include "links/LowLevel.h"
#include "links/sim/ControllerSim.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

namespace {

constexpr int Baud = 19200;
constexpr double ByteMs = 11.0 * 1000 / Baud;
constexpr double PollingIntervalMs = 1.0; // one worker turn

struct TLine {
    orv::TPlainEventLoop Loop;
    orv::TEventLoopScope LoopScope{Loop};
    orv::test::TTempDir Temp;
    orv::TControllerSim Sim;
    orv::TController Controller;
    bool Ok = false;

    explicit TLine(int PollingDelay, bool Paced = true) {
        std::string slave, error;
        Sim.PaceBaud = Paced ? Baud : 0;
        Sim.SpeedUp = 1e6; // motion is instant: the line is what is measured
        if (!Sim.Open(slave, error))
            return;
        Sim.Start();
        Controller.SettingsFile =
            Temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM1=" + slave + "\n");
        Controller.SetPollingDelay(PollingDelay);
        Ok = Controller.Open(1, Baud, 2, false);
    }
    uint64_t Bytes() const {
        return orv::TCommPortDriver::TotalBytesSent() + orv::TCommPortDriver::TotalBytesReceived();
    }
};

void Report(benchmark::State &State, int Blocks, uint64_t Bytes, double Ms) {
    double bytesPerBlock = double(Bytes) / Blocks;
    double msPerBlock = Ms / Blocks;
    State.counters["blocks_per_s"] = 1000.0 / msPerBlock;
    State.counters["bytes_per_block"] = bytesPerBlock;
    State.counters["line_limit_blocks_per_s"] = 1000.0 / (bytesPerBlock * ByteMs);
    State.counters["ms_per_block"] = msPerBlock;
    State.counters["goal_ms_per_block"] = bytesPerBlock * ByteMs + PollingIntervalMs;
}

void BM_StreamedBlocks(benchmark::State &State) {
    const int blocks = int(State.range(0));
    TLine line(70);
    if (!line.Ok) {
        State.SkipWithError("no controller on the pseudo-terminal");
        return;
    }
    line.Controller.SetTurboMode(true);
    for (auto _ : State) {
        uint64_t before = line.Bytes();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < blocks; ++i)
            line.Controller.MoveLinear(1000 + i % 4000, 2000 + i % 3000, -(i % 500), true);
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        Report(State, blocks, line.Bytes() - before, ms);
    }
}
BENCHMARK(BM_StreamedBlocks)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond);

// The same without pacing: what a block costs the program itself.
void BM_StreamedBlocksUnpaced(benchmark::State &State) {
    const int blocks = int(State.range(0));
    TLine line(70, false);
    if (!line.Ok) {
        State.SkipWithError("no controller on the pseudo-terminal");
        return;
    }
    line.Controller.SetTurboMode(true);
    for (auto _ : State) {
        uint64_t before = line.Bytes();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < blocks; ++i)
            line.Controller.MoveLinear(1000 + i % 4000, 2000 + i % 3000, -(i % 500), true);
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        Report(State, blocks, line.Bytes() - before, ms);
    }
}
BENCHMARK(BM_StreamedBlocksUnpaced)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond);

void BM_WaitedBlocks(benchmark::State &State) {
    const int blocks = int(State.range(0));
    TLine line(1);
    if (!line.Ok) {
        State.SkipWithError("no controller on the pseudo-terminal");
        return;
    }
    for (auto _ : State) {
        uint64_t before = line.Bytes();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < blocks; ++i) {
            line.Controller.MoveLinear(1000 + i, 2000, 0, false);
            while (!line.Controller.IsIdle())
                line.Loop.ProcessMessages();
        }
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        Report(State, blocks, line.Bytes() - before, ms);
    }
}
BENCHMARK(BM_WaitedBlocks)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
