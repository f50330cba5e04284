// Blocks per second from NC source text to move records: a generated
// milling program of lines and arcs (no cycles) is read from disk by the
// file source, parsed, made metric and absolute and turned into records by
// the move calculator, one block at a time as the engine pulls them.
// "peak heap" is the most memory the run holds beyond what it held before
// it started; it must not grow with the program (the chain streams).
#include "engine/core/CNCLineParser.h"
#include "engine/chain/CNC_ABS.h"
#include "engine/chain/CNC_Metric.h"
#include "engine/chain/Calc_CNC.h"
#include "engine/chain/FileInput.h"
#include "engine/core/data_types.h"
#include "platform/MessageService.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

namespace {

// Live heap bytes, counted by the replaced global operators below.
std::atomic<long long> LiveBytes{0};
std::atomic<long long> PeakBytes{0};

void Count(long long Bytes)
{
    const long long Now = LiveBytes.fetch_add(Bytes) + Bytes;
    long long Peak = PeakBytes.load();
    while (Now > Peak && !PeakBytes.compare_exchange_weak(Peak, Now)) {
    }
}

} // namespace

// Each block carries its size in front so that delete can count it.
void *operator new(std::size_t Size)
{
    void *Block = std::malloc(Size + 16);
    if (!Block)
        throw std::bad_alloc();
    *static_cast<std::size_t *>(Block) = Size;
    Count(static_cast<long long>(Size));
    return static_cast<char *>(Block) + 16;
}

void operator delete(void *Pointer) noexcept
{
    if (!Pointer)
        return;
    void *Block = static_cast<char *>(Pointer) - 16;
    Count(-static_cast<long long>(*static_cast<std::size_t *>(Block)));
    std::free(Block);
}

void operator delete(void *Pointer, std::size_t) noexcept
{
    operator delete(Pointer);
}

namespace {

std::string Fixed(double Value)
{
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.3f", Value);
    return Text;
}

// Line I of a pocketing program: a closed contour of lines and arcs (R and
// I/J, both directions), repeated at shifting origins, with feeds, spindle
// words, comments and short incremental stretches.
std::string ProgramLine(int I)
{
    const std::string N = "N" + std::to_string(10 * (I + 1)) + " ";
    const double Ox = ((I / 16) % 50) * 40.0;
    const double Oy = ((I / 800) % 20) * 40.0;
    auto At = [&](double X, double Y) { return "X" + Fixed(Ox + X) + " Y" + Fixed(Oy + Y); };
    switch (I % 16) {
    case 0:
        return N + "G00 " + At(0, 0) + " Z5.000";
    case 1:
        return N + "G01 Z-1.000 F120 S" + std::to_string(1000 + I % 3000) + " M03";
    case 2:
        return N + "G01 " + At(10, 0) + " F300";
    case 3:
        return N + "G02 " + At(20, 0) + " I5.000 J0";
    case 4:
        return N + "G03 " + At(30, 0) + " R5.000";
    case 5:
        return N + "G01 " + At(30, 10);
    case 6:
        return N + "G02 " + At(30, 30) + " R10.000";
    case 7:
        return N + "(CONTOUR " + std::to_string(I / 16) + ")";
    case 8:
        return N + "G01 " + At(0, 30);
    case 9:
        return N + "G91 G01 X0.500 Y-0.500";
    case 10:
        return N + "X-0.500 Y0.500";
    case 11:
        return N + "G90 G03 " + At(0, 0) + " R15.000";
    case 12:
        return N + "G01 " + At(5, 5) + " F250";
    case 13:
        return N + "G02 " + At(5, 5) + " I2.000 J0";
    case 14:
        return N + "G01 " + At(0, 0);
    default:
        return N + "G00 Z5.000";
    }
}

std::string WriteProgram(int Lines)
{
    const std::string Path = (std::filesystem::temp_directory_path() /
                              ("orv_bench_chain_" + std::to_string(Lines) + ".fnc"))
                                 .string();
    std::ofstream Out(Path, std::ios::binary);
    for (int I = 0; I < Lines; ++I)
        Out << ProgramLine(I) << "\r\n";
    Out << "M30\r\n";
    return Path;
}

// The stages wired as the engine wires them; Run pulls every record.
class TChain {
public:
    explicit TChain(const std::string &Program) : FProgram(Program)
    {
        auto Fail = [this](orv::TObject *, int, const std::string &, const std::string &) {
            ++Errors;
        };
        Parser.OnErrorEvent = Fail;
        Abs.OnErrorEvent = Fail;
        Calc.OnNextNotify = [this](orv::TObject *) { NextBlock(); };
    }

    long Run()
    {
        std::string Name = FProgram;
        Input.Rewind();
        if (!Input.LoadFile(Name))
            return 0;
        Abs.Rewind();
        Calc.Rewind();
        Calc.ClearQueue();
        FDone = false;
        long Records = 0;
        orv::TCNC_data Data;
        while (!FDone && Calc.GetNextData(Data))
            ++Records;
        return Records;
    }

    long Blocks = 0;
    long Errors = 0;

private:
    void NextBlock()
    {
        std::string Line;
        int LineNumber = 0, Level = 0;
        const int Position = Input.ReadLine(Line, LineNumber, Level);
        if (Position < 0) {
            FDone = true;
            return;
        }
        ++Blocks;
        Shared.InputPosition = Position;
        Shared.LineNumber = LineNumber;
        if (!Parser.ParseLine(Line.empty() ? "(Blank" : Line, Shared))
            return;
        if (Metric.ConvertToMetric(Shared))
            Abs.MakeAbsolute(Shared);
        Block = Shared;
        Calc.Calculate(Block);
    }

    std::string FProgram;
    orv::TFileInput Input;
    orv::CNCLineParser Parser;
    orv::TCNC_Metric Metric;
    orv::TCNC_ABS Abs;
    orv::TCalc_CNC Calc;
    orv::TCNC_Groups Shared;
    orv::TCNC_Groups Block;
    bool FDone = false;
};

void BM_SourceToRecords(benchmark::State &State)
{
    const int Lines = static_cast<int>(State.range(0));
    const std::string Program = WriteProgram(Lines);
    orv::TScriptedMessages Boxes;
    orv::TMessageServiceScope Scope(Boxes);
    TChain Chain(Program);
    long long PeakAbove = 0;
    long Records = 0;
    for (auto _ : State) {
        const long long Before = LiveBytes.load();
        PeakBytes.store(Before);
        Records = Chain.Run();
        PeakAbove = std::max(PeakAbove, PeakBytes.load() - Before);
    }
    std::filesystem::remove(Program);
    State.SetItemsProcessed(static_cast<int64_t>(State.iterations()) * (Lines + 1));
    State.counters["blocks/s"] = benchmark::Counter(
        static_cast<double>(State.iterations()) * (Lines + 1), benchmark::Counter::kIsRate);
    State.counters["records"] = static_cast<double>(Records);
    State.counters["errors"] = static_cast<double>(Chain.Errors);
    State.counters["peak heap bytes"] = static_cast<double>(PeakAbove);
}
BENCHMARK(BM_SourceToRecords)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
