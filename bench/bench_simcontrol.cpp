// Speed of the simulation control's material model on a stated workload:
// 50,000 equal-angle chords of an Archimedean spiral from the centre out
// to a radius of 65 mm with a 4 mm pitch, a 10 mm flat-bottomed tool, a
// 140 x 140 x 20 mm billet in 0.25 mm cells (560 x 560, rotation 0); once
// at Z -1 and once ramping from Z -1 to Z -5. Reported: moves per second
// of dexel cutting (no rendering) and bytes per cell in use; the same for
// a plain height-map simulator at the same cell size (the comparison);
// and moves per second in Mode 2 (cut, clear, full render) at 640 x 480.

#include "simcontrol/VelmaroxOCXCtrl.h"
#include "simcontrol/model/DexelModel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int Moves = 50000;
constexpr double Centre = 70, OuterRadius = 65, Pitch = 4, ToolRadius = 5, Height = 20;
constexpr double Scale = 4; // cells per mm

struct TPoint {
    double X, Y, Z;
};

// The spiral's chord ends, Z in host terms (billet top at 0).
std::vector<TPoint> Spiral(int Count, double ZStart, double ZEnd)
{
    const double turns = OuterRadius / Pitch;
    const double total = turns * 2 * M_PI;
    std::vector<TPoint> p(Count + 1);
    for (int i = 0; i <= Count; ++i) {
        const double a = total * i / Count;
        const double r = Pitch * a / (2 * M_PI);
        p[i] = {Centre + r * std::cos(a), Centre + r * std::sin(a),
                ZStart + (ZEnd - ZStart) * i / Count};
    }
    return p;
}

void DexelSpiral(benchmark::State &State, double ZEnd)
{
    const std::vector<TPoint> path = Spiral(Moves, -1, ZEnd);
    orv::CDexelModel model;
    for (auto _ : State) {
        State.PauseTiming();
        model.SetScale(Scale);
        model.SetRotation(0);
        model.SetTilt(0.5);
        model.BuildBillet(0, 0, 140, 140, Height, 192);
        model.SetToolSize(ToolRadius);
        model.SetBallNosed(false);
        State.ResumeTiming();
        for (int i = 0; i < Moves; ++i) {
            const TPoint &a = path[i], &b = path[i + 1];
            model.CutPoint(a.X, a.Y, a.Z + Height);
            model.CutLine(a.X, a.Y, a.Z + Height, b.X, b.Y, b.Z + Height);
            model.CutPoint(b.X, b.Y, b.Z + Height);
        }
    }
    State.SetItemsProcessed(State.iterations() * Moves);
    const double cells = static_cast<double>(model.CellCount());
    State.counters["moves_per_s"] = benchmark::Counter(
        static_cast<double>(Moves) * State.iterations(), benchmark::Counter::kIsRate);
    State.counters["bytes_per_cell"] =
        (model.NodesInUse() * sizeof(orv::DexelNode) + cells * orv::CDexelModel::CellBytes()) / cells;
}

// The comparison: a height map of floats, each move lowering every cell
// whose centre lies within the tool radius of the chord to the chord's
// height there.
void HeightMapSpiral(benchmark::State &State, double ZEnd)
{
    const std::vector<TPoint> path = Spiral(Moves, -1, ZEnd);
    const int n = static_cast<int>(140 * Scale);
    std::vector<float> map;
    for (auto _ : State) {
        State.PauseTiming();
        map.assign(static_cast<size_t>(n) * n, 0.0f);
        State.ResumeTiming();
        for (int i = 0; i < Moves; ++i) {
            const TPoint &a = path[i], &b = path[i + 1];
            const double ax = a.X * Scale, ay = a.Y * Scale, bx = b.X * Scale, by = b.Y * Scale;
            const double r = ToolRadius * Scale;
            const int x0 = std::max(0, static_cast<int>(std::min(ax, bx) - r));
            const int x1 = std::min(n - 1, static_cast<int>(std::max(ax, bx) + r) + 1);
            const int y0 = std::max(0, static_cast<int>(std::min(ay, by) - r));
            const int y1 = std::min(n - 1, static_cast<int>(std::max(ay, by) + r) + 1);
            const double dx = bx - ax, dy = by - ay, l2 = dx * dx + dy * dy;
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x) {
                    const double px = x + 0.5 - ax, py = y + 0.5 - ay;
                    const double f = l2 > 0 ? std::clamp((px * dx + py * dy) / l2, 0.0, 1.0) : 0.0;
                    const double ex = px - f * dx, ey = py - f * dy;
                    if (ex * ex + ey * ey > r * r)
                        continue;
                    float &h = map[static_cast<size_t>(y) * n + x];
                    h = std::min(h, static_cast<float>(a.Z + f * (b.Z - a.Z)));
                }
        }
        benchmark::DoNotOptimize(map.data());
    }
    State.counters["moves_per_s"] = benchmark::Counter(
        static_cast<double>(Moves) * State.iterations(), benchmark::Counter::kIsRate);
    State.counters["bytes_per_cell"] = sizeof(float);
}

void Mode2Render(benchmark::State &State)
{
    constexpr int Count = 400;
    const std::vector<TPoint> path = Spiral(Count, -1, -1);
    for (auto _ : State) {
        State.PauseTiming();
        orv::CVelmaroxOCXCtrl ctrl;
        ctrl.OnDraw(640, 480);
        ctrl.SetBillet(0, 0, -20, 140, 140, 0);
        ctrl.Redraw(orv::dfClear | orv::dfRender);
        ctrl.Tool(1, 5, false, 0x00FF00);
        ctrl.Mode = 2;
        State.ResumeTiming();
        for (int i = 0; i < Count; ++i)
            ctrl.Linear(path[i].X, path[i].Y, path[i].Z, path[i + 1].X, path[i + 1].Y,
                        path[i + 1].Z);
    }
    State.counters["moves_per_s"] = benchmark::Counter(
        static_cast<double>(Count) * State.iterations(), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(DexelSpiral, level_z1, -1.0)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(DexelSpiral, ramp_z1_z5, -5.0)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(HeightMapSpiral, level_z1, -1.0)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(HeightMapSpiral, ramp_z1_z5, -5.0)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Mode2Render)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
