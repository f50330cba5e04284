// The Fanuc program display with a 50,000-block memory: a jump to the end,
// an insert there, and following a whole run's block highlight.
// Goals: a jump or an insert under 10 ms; a whole run's highlight under 1 s.
#include "fanuc/FScreenUnit.h"
#include "fanuc/FanucMemory.h"

#include <benchmark/benchmark.h>

namespace {

using namespace orv::fanuc;

constexpr int Blocks = 50000;

TFanucMemory BigMemory()
{
    TFanucMemory memory;
    memory.Lines.push_back("%");
    for (int b = 0; b < Blocks; ++b)
        memory.Lines.push_back("N" + std::to_string(b) + " G01 X" + std::to_string(b % 100) +
                               ". Y" + std::to_string(b % 37) + ". F100");
    memory.Lines.push_back("%");
    memory.LinesToWords();
    return memory;
}

void JumpToEnd(benchmark::State &State)
{
    TFanucMemory memory = BigMemory();
    TFScreen pane;
    pane.SetWords(&memory.Words);
    for (auto _ : State) {
        pane.GotoWord(int(memory.Words.size()) - 1);
        pane.GotoStart();
    }
}
BENCHMARK(JumpToEnd)->Unit(benchmark::kMillisecond);

void InsertAtTheEnd(benchmark::State &State)
{
    TFanucMemory memory = BigMemory();
    TFScreen pane;
    pane.SetWords(&memory.Words);
    pane.GotoWord(int(memory.Words.size()) - 2);
    for (auto _ : State) {
        pane.InsertWord("X1.");
        State.PauseTiming();
        pane.DeleteWord();
        State.ResumeTiming();
    }
}
BENCHMARK(InsertAtTheEnd)->Unit(benchmark::kMillisecond);

void FollowAWholeRun(benchmark::State &State)
{
    TFanucMemory memory = BigMemory();
    TFScreen pane;
    pane.SetWords(&memory.Words);
    pane.SetBlockLines(&memory.BlockLines);
    pane.SetBlockMode(true);
    for (auto _ : State) {
        pane.GotoStart();
        for (int line = 0; line < int(memory.Lines.size()); ++line)
            pane.GotoBlock(memory.BlockOfLine(line));
        benchmark::DoNotOptimize(pane.GetBlockLine());
    }
}
BENCHMARK(FollowAWholeRun)->Unit(benchmark::kMillisecond);

} // namespace
