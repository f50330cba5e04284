// Loading and saving a 1 MB program text in a single-byte code page: the
// whole text through the converter at once, with and without bytes the code
// page leaves undefined (1253's 0xD2 and 0xFF), which take a fix-up pass.

#include "platform/CodePage.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string Program(bool Undefined)
{
    std::string text;
    for (int n = 10; text.size() < 1000000; n += 10)
        text += "N" + std::to_string(n) + " G1 X12.5 Y-3 F200 (\xC1\xE2\xE3" +
                (Undefined && n % 1000 == 0 ? "\xD2\xFF" : "") + ")\r\n";
    return text;
}

void BM_Decode(benchmark::State &State)
{
    const std::string bytes = Program(State.range(1) != 0);
    std::u16string text;
    for (auto _ : State) {
        orv::DecodeCodePage(int(State.range(0)), bytes, text);
        benchmark::DoNotOptimize(text.data());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(bytes.size()));
}

void BM_Encode(benchmark::State &State)
{
    std::u16string text;
    orv::DecodeCodePage(int(State.range(0)), Program(State.range(1) != 0), text);
    std::string bytes;
    for (auto _ : State) {
        orv::EncodeCodePage(int(State.range(0)), text, bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(text.size()));
}

// Arguments: code page, whether the text holds undefined bytes.
BENCHMARK(BM_Decode)
    ->Args({1252, 0})
    ->Args({1253, 0})
    ->Args({1253, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)
    ->Args({1252, 0})
    ->Args({1253, 0})
    ->Args({1253, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
