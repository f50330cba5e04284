// Speed of the milling 3D view's billet: a 140 x 140 x 20 mm billet at a
// grid size of 0.25 mm (561 x 561 cells), cut with a 6 mm ball tool along
// the spiral of the simulation control's benchmark (50,000 equal-angle
// chords out to a radius of 65 mm at a 4 mm pitch, Z -1). Reported: moves
// per second of cutting including the surface rebuilds, in normal mode
// (a rebuild after every chord) and in Turbo (one per 1001 chords). A
// rebuild here is the height field's sampling pass over the grid (every
// lattice point through the view's height callback), without OpenGL;
// normal mode runs the first 1,000 chords only, its rebuilds dominate.

#include "view3d/milling/MillingBillet.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using orv::TMillingBillet;

constexpr int Moves = 50000;
constexpr double Centre = 70, OuterRadius = 65, Pitch = 4, ToolRadius = 3;

struct TPoint {
    double X, Y, Z;
};

std::vector<TPoint> Spiral(int Count)
{
    const double total = OuterRadius / Pitch * 2 * M_PI;
    std::vector<TPoint> p(Count + 1);
    for (int i = 0; i <= Count; ++i) {
        const double a = total * i / Count;
        const double r = Pitch * a / (2 * M_PI);
        p[i] = {Centre + r * std::cos(a), Centre + r * std::sin(a), -1};
    }
    return p;
}

// The height field's pass: samples from -step to billet + step.
float SampleSurface(const TMillingBillet &B)
{
    const double s = B.GridStep();
    float sum = 0;
    for (int j = -1; j * s <= B.BilletY() + s; ++j)
        for (int i = -1; i * s < B.BilletX() + s; ++i)
            sum += B.SurfaceAt(static_cast<float>(i * s), static_cast<float>(j * s));
    return sum;
}

void Cut(benchmark::State &State, bool Turbo, int Count)
{
    const std::vector<TPoint> path = Spiral(Moves);
    for (auto _ : State) {
        TMillingBillet billet;
        billet.GridSizeSetting = 0.25;
        billet.SetBilletSize(140, 140, 20);
        billet.ToolShape = orv::ToolShapeBall;
        billet.Turbo = Turbo;
        int rebuilds = 0;
        billet.OnSurfaceChanged = [&] {
            ++rebuilds;
            benchmark::DoNotOptimize(SampleSurface(billet));
        };
        for (int i = 0; i < Count; ++i)
            billet.AddStraightMove(0, path[i].X, path[i].Y, path[i].Z, path[i + 1].X,
                                   path[i + 1].Y, path[i + 1].Z, ToolRadius);
        billet.FinishRun();
        State.counters["cells"] = billet.NX() * billet.NY();
        State.counters["rebuilds"] = rebuilds;
        State.counters["path nodes"] = static_cast<double>(billet.Path().size());
    }
    State.counters["moves/s"] =
        benchmark::Counter(static_cast<double>(Count) * State.iterations(), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK_CAPTURE(Cut, turbo_50000, true, Moves)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(Cut, normal_first_1000, false, 1000)->Unit(benchmark::kMillisecond)->Iterations(1);
