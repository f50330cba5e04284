// The NC editor on a 1 MB program (about 50,000 blocks, every token
// coloured): loading the text, colouring it, and the syntax check, each
// measured on its own. Goal: load and colour under 2 s on one core.

#include "components/richedit/RichEditW.h"
#include "engine/form/tests/FormTestSupport.h"
#include "shell/ui/editor.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string Program()
{
    const char *blocks[] = {"G01 X12.5 Y-3 F300\n", "G02 X5 Y5 I2.5 J0\n",
                            "M03 S1200 T1 Z-2\n", "(ROUGHING [X\n"};
    std::string text;
    for (int n = 0; text.size() < 1024 * 1024; ++n)
        text += blocks[n % 4];
    return text;
}

// Every one of the twelve tokens away from its defaults.
void WriteFormat(const orv::test::TFormFolder &Folder)
{
    std::string format = "[EditForm]\n";
    for (char token : std::string(orv::EditorTokens))
        format += std::string("Token ") + token + " Colour=255\n";
    Folder.Write("format.ncf", format);
    Folder.Write("Tarnwick.ini", "[EditForm]\nFormatFile=" + Folder.File("format.ncf") + "\n");
}

struct TEditorBench {
    TEditorBench()
    {
        WriteFormat(Folder);
        Folder.Messages.Answer("No"); // keep colouring on for the large file
        Editor = std::make_unique<orv::TEditorForm>();
    }
    orv::test::TFormFolder Folder;
    std::unique_ptr<orv::TEditorForm> Editor;
};

void BM_EditorLoad(benchmark::State &State)
{
    TEditorBench bench;
    const std::string text = Program();
    for (auto _ : State)
        bench.Editor->RichEdit()->SetText(text);
    State.counters["lines"] = bench.Editor->LineCount();
}

void BM_EditorColour(benchmark::State &State)
{
    TEditorBench bench;
    bench.Editor->RichEdit()->SetText(Program());
    for (auto _ : State)
        bench.Editor->ColourWholeText();
}

void BM_EditorLoadAndColourFile(benchmark::State &State)
{
    TEditorBench bench;
    const std::string path = bench.Folder.Write("big.fnc", Program());
    for (auto _ : State) {
        bench.Folder.Messages.Answer("No");
        bench.Editor->LoadFromFile(path);
    }
}

void BM_EditorSyntaxCheck(benchmark::State &State)
{
    TEditorBench bench;
    bench.Editor->RichEdit()->SetText(Program());
    for (auto _ : State)
        bench.Editor->CheckSyntax();
}

BENCHMARK(BM_EditorLoad)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EditorColour)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EditorLoadAndColourFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EditorSyntaxCheck)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
