// Throughput of the whole block chain (parse, metric, absolute, optimiser,
// arc and cycle expansion, cutter compensation, move calculator) for two
// shop programs: a 50,000-block contour under G42 and 10,000 drilled holes.
// Reports program lines per second.
#include "engine/expand/tests/ExpandChain.h"
#include "platform/Paths.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Number(double Value)
{
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.3f", Value);
    return Text;
}

// A wavy contour of short feed moves, cut on the right with a 10 mm tool.
std::vector<std::string> ContourProgram(int Blocks)
{
    std::vector<std::string> Lines{"G21 G90 G17", "G00 X-10 Y0 Z5", "G01 Z-2 F600",
                                   "G42 G01 X0 Y0"};
    for (int I = 1; I < Blocks - 6; ++I)
        Lines.push_back("X" + Number(I * 0.5) + " Y" + Number(10 * std::sin(I * 0.05)));
    Lines.push_back("G40 G00 X" + Number(Blocks * 0.5) + " Y-20");
    Lines.push_back("M30");
    return Lines;
}

// A grid of 100 x 100 holes drilled by G81 at the R level.
std::vector<std::string> DrillingProgram(int Holes)
{
    std::vector<std::string> Lines{"G21 G90 G17", "G00 X0 Y0 Z20",
                                   "G99 G81 X0 Y0 Z-5 R2 F100"};
    for (int I = 1; I < Holes; ++I)
        Lines.push_back("X" + Number((I % 100) * 5.0) + " Y" + Number((I / 100) * 5.0));
    Lines.push_back("G80");
    Lines.push_back("M30");
    return Lines;
}

void RunChain(benchmark::State &State, const std::vector<std::string> &Program)
{
    orv::SetProgramPathOverride(ORV_DATA_DIR, "Tarnwick");
    long long Records = 0;
    for (auto _ : State) {
        orv::test::TExpandChain Chain(Program);
        orv::TCNC_data Data;
        while (Chain.Next(Data))
            ++Records;
    }
    orv::SetProgramPathOverride("", "");
    State.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(State.iterations()) * Program.size(),
                           benchmark::Counter::kIsRate);
    State.counters["records"] = static_cast<double>(Records) / State.iterations();
}

void BM_ChainContourG42(benchmark::State &State)
{
    RunChain(State, ContourProgram(50000));
}
BENCHMARK(BM_ChainContourG42)->Unit(benchmark::kMillisecond);

void BM_ChainDrilledHoles(benchmark::State &State)
{
    RunChain(State, DrillingProgram(10000));
}
BENCHMARK(BM_ChainDrilledHoles)->Unit(benchmark::kMillisecond);

} // namespace
