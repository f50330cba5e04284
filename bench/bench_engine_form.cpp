// Moves per second from program text to a compiled ".XNC" file: the whole
// engine form (source, parser, stages, pull loop, compiled output) over a
// generated 100,000-move milling program, no window.
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

void BM_TextToXnc(benchmark::State &State)
{
    std::string folder = (fs::temp_directory_path() / "orv-bench-form").string() + "/";
    fs::create_directories(folder);
    fs::current_path(folder);
    orv::SetProgramPathOverride(folder, "Tarnwick");
    std::string program = folder + "bench.fnc";
    WriteProgram(program);
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
    State.SetItemsProcessed(State.iterations() * int64_t(ProgramMoves));
    fs::remove_all(folder);
}
BENCHMARK(BM_TextToXnc)->Unit(benchmark::kMillisecond);

} // namespace
