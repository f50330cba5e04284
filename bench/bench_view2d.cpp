// The 2D view with a program of 1,000,000 short moves: moves per second
// through the 2D output into the drawing list (each drawn live), the time
// of a full redraw of that list at 1024 x 768 (the whole picture shown),
// the zoom steps, and the list's memory per element.
#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/Draw_2D.h"
#include "engine/view2d/ui/View2dImageView.h"
#include "platform/MessageService.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int Moves = 1000000;

// Short zig-zag moves over a 300 x 225 mm billet, cutting at Z -1, with a
// quarter arc every tenth move.
orv::TCNC_data MoveRecord(int I)
{
    orv::TCNC_data Data;
    const int Row = (I / 1000) % 225;
    const double X = (I % 1000) * 0.3;
    Data.Motion = I % 10 == 9 ? 3 : 1;
    Data.X = X;
    Data.Y = Row + (I % 2) * 0.5;
    Data.Z = -1;
    Data.LineNumber = I + 1;
    if (Data.Motion == 3) {
        Data.I = X - 0.15;
        Data.J = Data.Y;
        Data.Sweep = -90;
        Data.Radius = 0.15;
    }
    return Data;
}

std::unique_ptr<orv::TDraw_2D> MakeOutput()
{
    auto Output = std::make_unique<orv::TDraw_2D>();
    Output->ViewFactory = [] { return std::make_unique<orv::TImageView2D>(1024, 768); };
    Output->Initialise();
    Output->SetBillet(0, 0, 300, 225, 20);
    Output->Start();
    return Output;
}

void BM_MovesIntoDrawingList(benchmark::State &State)
{
    for (auto _ : State) {
        State.PauseTiming();
        auto Output = MakeOutput();
        State.ResumeTiming();
        for (int I = 0; I < Moves; ++I) {
            orv::TCNC_data Data = MoveRecord(I);
            Output->Execute(Data);
        }
        benchmark::DoNotOptimize(Output->Window()->Elements().size());
        State.PauseTiming();
        Output.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * Moves);
}
BENCHMARK(BM_MovesIntoDrawingList)->Unit(benchmark::kMillisecond)->Iterations(1);

// The drawing list of the million moves, drawn once and kept for the
// redraw and zoom measurements.
orv::TDraw_2D &DrawnOutput()
{
    static std::unique_ptr<orv::TDraw_2D> Output = [] {
        auto Made = MakeOutput();
        for (int I = 0; I < Moves; ++I) {
            orv::TCNC_data Data = MoveRecord(I);
            Made->Execute(Data);
        }
        return Made;
    }();
    return *Output;
}

void BM_FullRedraw1024x768(benchmark::State &State)
{
    orv::TForm2D &Window = *DrawnOutput().Window();
    Window.ShowAll();
    for (auto _ : State) {
        Window.Redraw();
        auto &View = static_cast<orv::TImageView2D &>(*Window.View());
        benchmark::DoNotOptimize(View.Composite(View.ShownPart()).width());
    }
    const auto &List = Window.Elements();
    State.counters["elements"] = static_cast<double>(List.size());
    State.counters["bytes_per_element"] = static_cast<double>(List.MemoryBytes()) / List.size();
    State.counters["picture_width"] = Window.View()->PictureWidth();
}
BENCHMARK(BM_FullRedraw1024x768)->Unit(benchmark::kMillisecond)->Iterations(5);

// "Zoom In" from the fitted view, once or more times (the last step
// timed): the list redrawn at 1.5, 2.25, ... times the scale, up to the
// part of the picture the 1024 x 768 client area shows. Five steps give
// the largest pictures the window keeps (7776 x 5832).
void BM_ZoomIn(benchmark::State &State)
{
    orv::TForm2D &Window = *DrawnOutput().Window();
    for (auto _ : State) {
        State.PauseTiming();
        Window.ShowAll();
        for (int Step = 1; Step < State.range(0); ++Step)
            Window.ZoomIn();
        State.ResumeTiming();
        Window.ZoomIn();
        auto &View = static_cast<orv::TImageView2D &>(*Window.View());
        benchmark::DoNotOptimize(View.Composite(View.ShownPart()).width());
    }
    State.counters["picture_width"] = Window.View()->PictureWidth();
}
BENCHMARK(BM_ZoomIn)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(1)->Arg(2)->Arg(3)->Arg(5);

} // namespace
