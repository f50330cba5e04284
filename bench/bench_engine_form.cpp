// Moves per second from program text to a compiled ".XNC" file: the whole
// engine form (source, parser, stages, pull loop, compiled output) over a
// generated 100,000-move milling program and over the three timing shapes
// (raster, arcs, spiral under G42), no window.
#include "bench/BenchPrograms.h"
#include "engine/chain/BasicInput.h"
#include "engine/form/FanucScreen.h"
#include "engine/form/HeadlessHost.h"
#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "engine/form/base.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int ProgramMoves = 100000;

// Serves what is posted without waiting for input that never comes.
class TBenchLoop : public orv::TPlainEventLoop {
public:
    void ProcessMessages() override
    {
        ServePosted();
        FireDueTimers(NowMs());
    }
};

// Pockets of straight moves with an arc at every corner.
void WriteProgram(const std::string &Path)
{
    std::ofstream out(Path);
    out << "G21 G17 G90\nG00 X0 Y0 Z5\nG01 Z-1 F300\n";
    for (int i = 0; i < ProgramMoves; ++i) {
        double x = (i / 4 % 100) * 0.5;
        switch (i % 4) {
        case 0: out << "G01 X" << x << " Y0\n"; break;
        case 1: out << "G01 Y20\n"; break;
        case 2: out << "G02 X" << x + 10 << " Y20 I5 J0\n"; break;
        default: out << "G01 Y0\n"; break;
        }
    }
    out << "M30\n";
}

// One run of Program through the engine form into a compiled file, Moves
// moves counted per run.
void RunToXnc(benchmark::State &State, const std::function<void(const std::string &)> &Write,
              int64_t Moves)
{
    std::string folder = (fs::temp_directory_path() / "orv-bench-form").string() + "/";
    fs::create_directories(folder);
    // The shipped settings: machine data and tooling (the spiral's cutter).
    fs::copy(ORV_DATA_DIR, folder, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::current_path(folder);
    orv::SetProgramPathOverride(folder, "Tarnwick");
    std::string program = folder + "bench.fnc";
    Write(program);
    TBenchLoop loop;
    orv::TEventLoopScope loopScope(loop);
    orv::TScriptedMessages boxes;
    orv::TMessageServiceScope boxScope(boxes);
    orv::TMess mess;
    orv::TNetUtil net;
    for (auto _ : State) {
        orv::THeadlessHost host;
        orv::TBaseForm engine(host);
        host.SetEngine(&engine);
        engine.FormCreate();
        engine.SetProgramFile(program);
        engine.SelectSource(orv::skEditor);
        std::string name = program;
        engine.Source()->LoadFile(name);
        engine.ProgramLoaded(program, true, 0);
        boxes.Answer(folder + "bench.xnc");
        host.ClickButton(orv::TMainButton::Compiled);
        host.ClickButton(orv::TMainButton::Start);
        if (!host.StatusText(2, 4).empty())
            State.SkipWithError(host.StatusText(2, 4).c_str());
    }
    State.SetItemsProcessed(State.iterations() * Moves);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
}

void BM_TextToXnc(benchmark::State &State) { RunToXnc(State, WriteProgram, ProgramMoves); }
BENCHMARK(BM_TextToXnc)->Unit(benchmark::kMillisecond);

// The three shapes the engine is timed on against other interpreters
// (bench/compare_rs274.sh), at their full sizes.
void BM_Shape(benchmark::State &State, orv::bench::TBenchShape Shape, long Moves)
{
    RunToXnc(
        State,
        [Shape, Moves](const std::string &Path) {
            orv::bench::WriteBenchProgramFile(Path, Shape, Moves, 16);
        },
        Moves);
}
BENCHMARK_CAPTURE(BM_Shape, raster, orv::bench::TBenchShape::Raster, 200000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Shape, arcs, orv::bench::TBenchShape::Arcs, 100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Shape, spiral, orv::bench::TBenchShape::Spiral, 50000)
    ->Unit(benchmark::kMillisecond);

} // namespace
