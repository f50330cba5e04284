// Speed of the simulation control's material model on a stated workload:
// 50,000 equal-angle chords of an Archimedean spiral from the centre out
// to a radius of 65 mm with a 4 mm pitch, a 10 mm flat-bottomed tool, a
// 140 x 140 x 20 mm billet in 0.25 mm cells (560 x 560, rotation 0); once
// at Z -1 and once ramping from Z -1 to Z -5; the same again with a 10 mm
// ball-nosed tool. Reported: moves per second of dexel cutting (no
// rendering) and bytes per cell in use; the same for a height-map
// simulator at the same cell size (the comparison); and moves per second
// in Mode 2 (cut, clear, full render) at 640 x 480.

#include "simcontrol/VelmaroxOCXCtrl.h"
#include "simcontrol/model/DexelModel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>
#ifdef __SSE2__
#include <xmmintrin.h>
#endif

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

void DexelSpiral(benchmark::State &State, double ZEnd, bool Ball)
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
        model.SetBallNosed(Ball);
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

// The comparison: a height-map simulator of floats (4 bytes a cell), the
// way a competent one cuts. Each move stamps the swept capsule (the two
// end discs and the band between them) once: row by row it works out the
// run of cells whose centres lie within the tool radius of the chord and
// lowers them. A level flat-bottomed cut takes the chord's height over the
// run (a loop the compiler vectorises); a ramp takes, per cell, the
// lowest height the tool reaches while the cell lies under it (the far end
// of the stretch of the chord within reach); a ball-nosed tool the ball's
// lower surface over the nearest point of the chord's axis (exact for a
// level chord; the ramp chords here fall 0.0003 cells a move).
struct THeightMap {
    int N = 0;
    std::vector<float> Map;

    void Reset(int Cells)
    {
        N = Cells;
        Map.assign(static_cast<size_t>(N) * N, 0.0f);
    }

    // The run of columns [X0, X1] of row Y (cell centres) within R of the
    // chord A-B; false when it is empty. The capsule is convex, so the run
    // is the hull of the runs of its three parts.
    static bool RowRun(double Ax, double Ay, double Bx, double By, double R, double Y, double &X0,
                       double &X1)
    {
        X0 = 1e300;
        X1 = -1e300;
        for (const double *c : {&Ax, &Bx}) {
            const double cy = c == &Ax ? Ay : By, dy = Y - cy, h = R * R - dy * dy;
            if (h >= 0) {
                const double w = std::sqrt(h);
                X0 = std::min(X0, *c - w);
                X1 = std::max(X1, *c + w);
            }
        }
        // The band: points whose projection falls within the chord and
        // whose distance from its line is at most R.
        const double dx = Bx - Ax, dy = By - Ay, l = std::hypot(dx, dy);
        if (l > 1e-12) {
            // Along the row, x(s) = Ax + s; projection and offset are linear in s.
            double lo = -1e300, hi = 1e300;
            auto within = [&](double Slope, double Value, double Low, double High) {
                // Low <= Value + Slope * s <= High
                if (std::fabs(Slope) < 1e-15) {
                    if (Value < Low || Value > High)
                        hi = -1e300;
                    return;
                }
                double a = (Low - Value) / Slope, b = (High - Value) / Slope;
                if (a > b)
                    std::swap(a, b);
                lo = std::max(lo, a);
                hi = std::min(hi, b);
            };
            const double py = Y - Ay;
            within(dx / l, py * dy / l, 0, l);          // projection
            within(-dy / l, py * dx / l, -R, R);        // signed offset
            if (lo <= hi) {
                X0 = std::min(X0, Ax + lo);
                X1 = std::max(X1, Ax + hi);
            }
        }
        return X0 <= X1;
    }

    void Cut(const TPoint &A, const TPoint &B, bool Ball)
    {
        const double ax = A.X * Scale, ay = A.Y * Scale, bx = B.X * Scale, by = B.Y * Scale;
        const double r = ToolRadius * Scale, az = A.Z * Scale, bz = B.Z * Scale;
        const double dx = bx - ax, dy = by - ay, l2 = dx * dx + dy * dy, l = std::sqrt(l2);
        const int y0 = std::max(0, static_cast<int>(std::ceil(std::min(ay, by) - r - 0.5)));
        const int y1 = std::min(N - 1, static_cast<int>(std::floor(std::max(ay, by) + r - 0.5)));
        const bool level = az == bz;
        for (int y = y0; y <= y1; ++y) {
            const double cy = y + 0.5;
            double xa, xb;
            if (!RowRun(ax, ay, bx, by, r, cy, xa, xb))
                continue;
            const int x0 = std::max(0, static_cast<int>(std::ceil(xa - 0.5)));
            const int x1 = std::min(N - 1, static_cast<int>(std::floor(xb - 0.5)));
            float *row = &Map[static_cast<size_t>(y) * N];
            auto lower = [&](int From, int To, float Z) {
                int x = From;
#ifdef __SSE2__
                const __m128 z4 = _mm_set1_ps(Z);
                for (; x + 4 <= To + 1; x += 4)
                    _mm_storeu_ps(row + x, _mm_min_ps(_mm_loadu_ps(row + x), z4));
#endif
                for (; x <= To; ++x)
                    row[x] = std::min(row[x], Z);
            };
            if (level && !Ball) {
                lower(x0, x1, static_cast<float>(az));
                continue;
            }
            // A flat-bottomed ramp: every cell the lower end's disc covers
            // takes that end's height; only the rest needs working out.
            int d0 = x1 + 1, d1 = x1;
            if (!Ball) {
                const double lx = az < bz ? ax : bx, ly = az < bz ? ay : by;
                const double h = r * r - (cy - ly) * (cy - ly);
                if (h >= 0) {
                    const double w = std::sqrt(h);
                    d0 = std::max(x0, static_cast<int>(std::ceil(lx - w - 0.5)));
                    d1 = std::min(x1, static_cast<int>(std::floor(lx + w - 0.5)));
                    lower(d0, d1, static_cast<float>(std::min(az, bz)));
                }
            }
            for (int x = x0; x <= x1; ++x) {
                if (x == d0 && d1 >= d0) {
                    x = d1;
                    continue;
                }
                const double px = x + 0.5 - ax, py = cy - ay;
                const double t = l2 > 0 ? (px * dx + py * dy) / l : 0;
                const double e2 = px * px + py * py - t * t;
                double z;
                if (Ball) {
                    const double f = l > 0 ? std::clamp(t / l, 0.0, 1.0) : 0;
                    const double ex = px - f * dx, ey = py - f * dy;
                    z = az + f * (bz - az) + r - std::sqrt(std::max(0.0, r * r - ex * ex - ey * ey));
                }
                else {
                    // The stretch of the chord within reach ends at t + w;
                    // the tool is lowest at whichever end is lower.
                    const double w = std::sqrt(std::max(0.0, r * r - e2));
                    const double fLo = l > 0 ? std::clamp((t - w) / l, 0.0, 1.0) : 0;
                    const double fHi = l > 0 ? std::clamp((t + w) / l, 0.0, 1.0) : 0;
                    z = std::min(az + fLo * (bz - az), az + fHi * (bz - az));
                }
                row[x] = std::min(row[x], static_cast<float>(z));
            }
        }
    }
};

void HeightMapSpiral(benchmark::State &State, double ZEnd, bool Ball)
{
    const std::vector<TPoint> path = Spiral(Moves, -1, ZEnd);
    THeightMap map;
    for (auto _ : State) {
        State.PauseTiming();
        map.Reset(static_cast<int>(140 * Scale));
        State.ResumeTiming();
        for (int i = 0; i < Moves; ++i)
            map.Cut(path[i], path[i + 1], Ball);
        benchmark::DoNotOptimize(map.Map.data());
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

BENCHMARK_CAPTURE(DexelSpiral, level_z1, -1.0, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(DexelSpiral, ramp_z1_z5, -5.0, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(DexelSpiral, ball_level_z1, -1.0, true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(DexelSpiral, ball_ramp_z1_z5, -5.0, true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(HeightMapSpiral, level_z1, -1.0, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(HeightMapSpiral, ramp_z1_z5, -5.0, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(HeightMapSpiral, ball_level_z1, -1.0, true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(HeightMapSpiral, ball_ramp_z1_z5, -5.0, true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Mode2Render)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
