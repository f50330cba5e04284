// The framed link at line speed: blocks sent by the Control Type 5
// controller over a pseudo-terminal to the simulator, which paces every
// byte at 19200 baud 8N2 (11 bits a byte). Reports blocks per second,
// bytes per block both ways, and the line's limit for those bytes; the
// goal is that a block costs no more than its bytes on the line plus one
// polling interval of the worker.
//   Streamed: 10,000 feed moves, each done once acknowledged (look-ahead).
//   Waited: moves that each wait for the axes to be idle (a status poll);
//   the time of a block is split into the move's exchange (frame out, its
//   acknowledgement in) and the wait for idle (the worker's idle turns, the
//   status poll and its reply), each beside its bytes' time on the line.
//   NC blocks: ncrun --machine --link runs a generated program of 2,000
//   short G01 moves through the engine and the Control Type 5 link against
//   the simulator program paced at 19200 baud, at a "Polling Delay" of 70
//   (the machine file's default) and of 10. Each block is one move frame,
//   the status polls until the move is seen done, and their answers; the
//   figures come from the simulator's log, from the first of the
//   program's moves to its last.

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

#ifdef ORV_NCRUN
#include "platform/IniFile.h"

#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

extern char **environ;
#endif

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
    using TClock = std::chrono::steady_clock;
    auto ms = [](TClock::time_point From, TClock::time_point To) {
        return std::chrono::duration<double, std::milli>(To - From).count();
    };
    for (auto _ : State) {
        uint64_t before = line.Bytes(), moveBytes = 0, idleBytes = 0;
        double moveMs = 0, idleMs = 0;
        auto start = TClock::now();
        for (int i = 0; i < blocks; ++i) {
            uint64_t b0 = line.Bytes();
            auto t0 = TClock::now();
            line.Controller.MoveLinear(1000 + i, 2000, 0, false);
            uint64_t b1 = line.Bytes();
            auto t1 = TClock::now();
            while (!line.Controller.IsIdle())
                line.Loop.ProcessMessages();
            moveMs += ms(t0, t1);
            idleMs += ms(t1, TClock::now());
            moveBytes += b1 - b0;
            idleBytes += line.Bytes() - b1;
        }
        Report(State, blocks, line.Bytes() - before, ms(start, TClock::now()));
        // Where a block's time goes: beyond its bytes' time on the line,
        // what is left is the host's (the worker's turns before the poll).
        State.counters["move_ms"] = moveMs / blocks;
        State.counters["move_line_ms"] = double(moveBytes) / blocks * ByteMs;
        State.counters["idle_wait_ms"] = idleMs / blocks;
        State.counters["idle_wait_line_ms"] = double(idleBytes) / blocks * ByteMs;
    }
}
BENCHMARK(BM_WaitedBlocks)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond);

#ifdef ORV_NCRUN
// Bytes of a frame as the simulator's log shows it ("<EOT>", "<0E>": one).
size_t LoggedBytes(const std::string &Text) {
    size_t n = 0;
    for (size_t i = 0; i < Text.size(); ++n) {
        size_t close = Text[i] == '<' ? Text.find('>', i) : std::string::npos;
        i = close != std::string::npos && close - i <= 4 ? close + 1 : i + 1;
    }
    return n;
}

void BM_NcBlocksThroughTheMachineLink(benchmark::State &State) {
    const int pollingDelay = int(State.range(0)), blocks = int(State.range(1));
    orv::test::TTempDir temp;
    std::string settings = temp.File("settings");
    std::filesystem::copy(ORV_DATA_DIR, settings, std::filesystem::copy_options::recursive);
    {
        std::string machine = settings + "/machines/BENCHMILL.ini";
        std::ifstream in(machine, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), {});
        const std::vector<std::pair<std::string, std::string>> edits = {
            {"Control Type=0", "Control Type=5"},
            {"Baud rate=9600", "Baud rate=19200"},
            {"Polling Delay=70", "Polling Delay=" + std::to_string(pollingDelay)}};
        for (const auto &[from, to] : edits) {
            size_t at = text.find(from);
            if (at == std::string::npos) {
                State.SkipWithError(("no \"" + from + "\" in the machine file").c_str());
                return;
            }
            text.replace(at, from.size(), to);
        }
        std::ofstream(machine, std::ios::binary) << text;
    }
    // Moves of 0.1 mm around a square, each a block of its own.
    std::ostringstream program;
    program << "G0 X0 Y0 Z0\nG1 F600\n";
    for (int i = 0; i < blocks; ++i)
        program << "G1 X" << (i % 2 ? "0.1" : "0") << " Y" << (i / 2 % 2 ? "0.1" : "0") << "\n";
    program << "M30\n";
    std::string file = temp.Write("blocks.fnc", program.str());

    for (auto _ : State) {
        std::string portFile = temp.File("port.txt"), log = temp.File("sim.log");
        std::filesystem::remove(portFile);
        std::vector<std::string> args = {ORV_CTRLSIM, "--port-file", portFile, "--log", log,
                                         "--speed", "1000000", "--pace", std::to_string(Baud)};
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            State.SkipWithError("cannot start the simulator");
            return;
        }
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!std::filesystem::exists(portFile) && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::string port;
        std::ifstream named(portFile);
        std::getline(named, port);
        orv::TIniFile(settings + "/Tarnwick.ini").WriteString("Serial Ports", "COM1", port);
        std::string command = "ORV_PACED_PTY=1 '" + std::string(ORV_NCRUN) + "' --settings '" +
                              settings + "' --machine --link '" + file + "' >'" +
                              temp.File("out.txt") + "' 2>'" + temp.File("err.txt") + "'";
        int status = std::system(command.c_str());
        int simStatus = 0;
        ::waitpid(pid, &simStatus, 0);
        if (status != 0) {
            State.SkipWithError("ncrun failed");
            return;
        }
        // "time dir kind bytes": the program's moves are its last "VA" writes.
        struct TLogLine {
            int64_t Ms;
            std::string Kind, Bytes;
        };
        std::vector<TLogLine> lines;
        std::ifstream in(log);
        for (std::string text; std::getline(in, text);) {
            std::istringstream f(text);
            TLogLine l;
            std::string dir;
            f >> l.Ms >> dir >> l.Kind;
            std::getline(f, l.Bytes);
            if (!l.Bytes.empty())
                l.Bytes.erase(0, 1);
            if (l.Kind != "done")
                lines.push_back(l);
        }
        std::vector<size_t> moves;
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].Kind == "write" && lines[i].Bytes.rfind("<EOT>VA", 0) == 0)
                moves.push_back(i);
        if (moves.size() < size_t(blocks)) {
            State.SkipWithError("the simulator's log holds fewer moves than the program");
            return;
        }
        size_t first = moves[moves.size() - blocks], last = moves.back();
        double spanMs = double(lines[last].Ms - lines[first].Ms);
        uint64_t bytes = 0;
        for (size_t i = first; i < last; ++i)
            bytes += LoggedBytes(lines[i].Bytes);
        double msPerBlock = spanMs / (blocks - 1);
        double bytesPerBlock = double(bytes) / (blocks - 1);
        State.counters["blocks_per_s"] = 1000.0 / msPerBlock;
        State.counters["ms_per_block"] = msPerBlock;
        State.counters["bytes_per_block"] = bytesPerBlock;
        State.counters["line_limit_blocks_per_s"] = 1000.0 / (bytesPerBlock * ByteMs);
        State.counters["line_use_percent"] = 100.0 * bytesPerBlock * ByteMs / msPerBlock;
    }
}
BENCHMARK(BM_NcBlocksThroughTheMachineLink)
    ->Args({70, 2000})
    ->Args({10, 2000})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
#endif

} // namespace
