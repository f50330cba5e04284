// Parser throughput over a realistic 100,000-line milling program: pockets
// of linear and arc moves, drilling cycles, tool changes, comments and a
// sprinkling of macro statements. Reports lines per second.
#include "engine/core/CNCLineParser.h"
#include "engine/core/MacroVars.h"
#include "engine/core/data_types.h"
#include "platform/MessageService.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int ProgramLines = 100000;

std::string Number(double Value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", Value);
    return text;
}

// One line of the program at position I: a repeating mix of what CAM
// output and hand-written macro programs hold.
std::string ProgramLine(int I)
{
    std::string n = "N" + std::to_string(10 * (I + 1)) + " ";
    double x = (I % 400) * 0.25, y = (I % 170) * 0.5;
    switch (I % 20) {
    case 0: return n + "G00 Z5.000";
    case 1: return n + "G00 X" + Number(x) + " Y" + Number(y);
    case 2: return n + "G01 Z-1.500 F120";
    case 3: return n + "G02 X" + Number(x + 5) + " Y" + Number(y) + " I2.500 J0 F300";
    case 4: return n + "G03 X" + Number(x) + " Y" + Number(y + 5) + " R5.000";
    case 5: return n + "(FINISH PASS " + std::to_string(I) + ")";
    case 6: return n + "T0" + std::to_string(1 + I % 9) + "0" + std::to_string(1 + I % 9) + " M06";
    case 7: return n + "S" + std::to_string(800 + I % 4000) + " M03";
    case 8: return n + "G81 X" + Number(x) + " Y" + Number(y) + " Z-5. R2. F80 G98";
    case 9: return n + "#101=#101+0.5";
    case 10: return n + "G01 X#101 Y" + Number(y) + " F#102";
    case 11: return n + "IF [#101 GT 50] THEN #101=0";
    default: return n + "G01 X" + Number(x) + " Y" + Number(y) + " Z-1.500";
    }
}

void BM_ParseProgram(benchmark::State &State)
{
    std::vector<std::string> program;
    program.reserve(ProgramLines);
    for (int i = 0; i < ProgramLines; ++i)
        program.push_back(ProgramLine(i));
    orv::TScriptedMessages boxes;
    orv::TMessageServiceScope scope(boxes);
    orv::TMacroVars vars("/dev/null/bench.ini");
    vars.SetVar(102, 250);
    orv::CNCLineParser parser;
    parser.SetMacrovars(&vars);
    orv::TCNC_Groups block;
    block.Clear(orv::NoValue);
    for (auto _ : State) {
        for (const auto &line : program)
            benchmark::DoNotOptimize(parser.ParseLine(line, block));
    }
    State.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(State.iterations()) * ProgramLines,
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParseProgram)->Unit(benchmark::kMillisecond);

} // namespace
