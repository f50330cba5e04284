// Speed of the milling 3D view's billet: a 140 x 140 x 20 mm billet at a
// grid size of 0.25 mm (561 x 561 cells), cut with a 6 mm ball tool along
// the spiral of the simulation control's benchmark (50,000 equal-angle
// chords out to a radius of 65 mm at a 4 mm pitch, Z -1). Reported: moves
// per second of cutting including the surface rebuilds, in normal mode
// (a rebuild after every chord) and in Turbo (one per 1001 chords). A
// rebuild here is the height field's sampling pass over the grid (every
// lattice point through the view's height callback), without OpenGL;
// normal mode runs the first 1,000 chords only, its rebuilds dominate.
//
// With a display (run it under scripts/with-xvfb.sh) the milling window is
// measured too, 640 x 480 with the tool path of all 50,000 chords shown:
// frames per second of the view as it stands, and of the view with the
// surface sampled again for every frame (a cut between frames); and moves
// per second through the window with a frame after every rebuild the cut
// asks for, in normal mode (first 100 chords) and in Turbo. Without a
// display these are skipped with a message.

#include "view3d/milling/MillingBillet.h"
#include "view3d/milling/ui/GLWorld3D.h"
#include "view3d/milling/ui/MillingScene.h"
#include "view3d/scene/GLEntries.h"
#include "view3d/scene/qt/GLWorldViewer.h"

#include "components/toolbar/ui/TbCtls.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
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

// --- the window ---

// The window on the benchmark's billet, shown at 640 x 480, its settings in
// a file of its own.
struct TWindow {
    std::string Ini = (std::filesystem::temp_directory_path() / "bench_mill3d.ini").string();
    std::unique_ptr<orv::TGLWorld3D> W;
    TWindow()
    {
        std::filesystem::remove(Ini);
        W = std::make_unique<orv::TGLWorld3D>(Ini);
        W->resize(700, 600);
        W->show();
        W->SceneViewer->resize(640, 480);
        TMillingBillet &b = W->Model().Billet;
        b.GridSizeSetting = 0.25;
        W->SetBilletSize(140, 140, 20);
        W->SetToolShape(orv::ToolShapeBall);
        QApplication::processEvents();
    }
    ~TWindow() { std::filesystem::remove(Ini); }
    // One frame drawn now into the viewer's surface, finished.
    void Frame()
    {
        W->SceneViewer->makeCurrent();
        W->SceneViewer->Buffer().Render();
        orv::GL().glFinish();
        W->SceneViewer->doneCurrent();
        ++FramesDrawn;
    }
    int FramesDrawn = 0;
    void CutSpiral(const std::vector<TPoint> &Path, int Count)
    {
        for (int i = 0; i < Count; ++i)
            W->AddStraightMove(0, Path[i].X, Path[i].Y, Path[i].Z, Path[i + 1].X, Path[i + 1].Y,
                               Path[i + 1].Z, ToolRadius);
    }
};

void Frames(benchmark::State &State, bool Resample)
{
    TWindow window;
    window.W->TurboButt->SetDown(true);
    window.W->Model().Billet.Turbo = true;
    window.CutSpiral(Spiral(Moves), Moves);
    window.W->FinishRun();
    window.W->PathsButt->Click();
    window.Frame(); // lists compiled once
    for (auto _ : State) {
        if (Resample)
            window.W->Scene().SurfaceChanged();
        window.Frame();
    }
    State.counters["path nodes"] = static_cast<double>(window.W->Model().Billet.Path().size());
    State.counters["frames drawn"] = window.FramesDrawn;
    State.counters["fps"] = benchmark::Counter(static_cast<double>(State.iterations()),
                                               benchmark::Counter::kIsRate);
}

// Moves through the window; a frame follows every rebuild the cut asks for.
void CutInWindow(benchmark::State &State, bool Turbo, int Count)
{
    const std::vector<TPoint> path = Spiral(Moves);
    int frames = 0;
    for (auto _ : State) {
        TWindow window;
        window.W->TurboButt->SetDown(Turbo);
        window.W->Model().Billet.Turbo = Turbo;
        orv::TMillingScene &scene = window.W->Scene();
        window.W->Model().Billet.OnSurfaceChanged = [&] {
            scene.SurfaceChanged();
            window.Frame();
            ++frames;
        };
        window.CutSpiral(path, Count);
        window.W->FinishRun();
    }
    State.counters["frames"] = frames;
    State.counters["moves/s"] = benchmark::Counter(static_cast<double>(Count) * State.iterations(),
                                                   benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK_CAPTURE(Cut, turbo_50000, true, Moves)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(Cut, normal_first_1000, false, 1000)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (std::getenv("DISPLAY")) {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        app = std::make_unique<QApplication>(argc, argv);
        benchmark::RegisterBenchmark("View/fps_path_50000", Frames, false)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(50);
        benchmark::RegisterBenchmark("View/fps_path_50000_resampled", Frames, true)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(20);
        benchmark::RegisterBenchmark("Window/cut_turbo_50000", CutInWindow, true, Moves)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);
        benchmark::RegisterBenchmark("Window/cut_normal_first_100", CutInWindow, false, 100)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);
    } else {
        std::fprintf(stderr, "bench_mill3d: no display: the window's frames are skipped "
                             "(run it under scripts/with-xvfb.sh)\n");
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
