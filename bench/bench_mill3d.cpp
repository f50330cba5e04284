// Speed of the milling 3D view's billet: a 140 x 140 x 20 mm billet at a
// grid size of 0.25 mm (561 x 561 cells), cut with a 6 mm ball tool along
// the spiral of the simulation control's benchmark (50,000 equal-angle
// chords out to a radius of 65 mm at a 4 mm pitch, Z -1). Reported: moves
// per second of cutting including the surface's sampling, without OpenGL:
// the window's height field (its scales, a height callback like the
// window's) takes its samples as a frame would before it draws. In Turbo
// the whole surface is sampled at the first cut and every 1001st; in
// normal mode every chord samples again the cells it lowered (the whole
// spiral, and its first 1,000 chords), and "whole_surface" samples the
// whole surface after every chord as the view did before it kept its
// samples (first 1,000 chords).
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
#include "view3d/scene/GLGraph.h"
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

// The window's height callback on the billet: the surface of the height
// map, textured every 100 mm, the material's colour where it is cut.
void ShowBillet(orv::TMillingScene &Scene, const TMillingBillet &B)
{
    Scene.SetBillet(B.BilletX(), B.BilletY(), B.BilletZ(), B.GridStep());
    Scene.SetOnGetHeight([&B](float X, float Y, float &Z, orv::TVector4f &Colour,
                              orv::TTexPoint &Tex) {
        Tex.S *= 0.01f;
        Tex.T *= 0.01f;
        Z = B.SurfaceAt(X, Y);
        Colour = Z < 0 ? orv::TVector4f{0.8f, 0.6f, 0.4f, 1} : orv::TVector4f{1, 1, 1, 1};
    });
}

enum TSampling { WholeSurface, CellsCut };

void Cut(benchmark::State &State, bool Turbo, int Count, TSampling Sampling)
{
    const std::vector<TPoint> path = Spiral(Moves);
    double samples = 0;
    for (auto _ : State) {
        TMillingBillet billet;
        billet.GridSizeSetting = 0.25;
        billet.SetBilletSize(140, 140, 20);
        billet.ToolShape = orv::ToolShapeBall;
        billet.Turbo = Turbo;
        orv::TMillingScene scene;
        ShowBillet(scene, billet);
        int rebuilds = 0;
        billet.OnSurfaceChanged = [&] {
            ++rebuilds;
            scene.SurfaceChanged();
            samples += static_cast<double>(scene.VisGrid->UpdateSamples());
        };
        if (Sampling == CellsCut)
            billet.OnCellsCut = [&](int I0, int J0, int I1, int J1) {
                ++rebuilds;
                scene.CellsCut(billet.GridStep(), I0, J0, I1, J1);
                samples += static_cast<double>(scene.VisGrid->UpdateSamples());
            };
        for (int i = 0; i < Count; ++i)
            billet.AddStraightMove(0, path[i].X, path[i].Y, path[i].Z, path[i + 1].X,
                                   path[i + 1].Y, path[i + 1].Z, ToolRadius);
        billet.FinishRun();
        State.counters["cells"] = billet.NX() * billet.NY();
        State.counters["rebuilds"] = rebuilds;
        State.counters["path nodes"] = static_cast<double>(billet.Path().size());
    }
    State.counters["samples/move"] = samples / (static_cast<double>(Count) * State.iterations());
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

BENCHMARK_CAPTURE(Cut, turbo_50000, true, Moves, CellsCut)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Cut, normal_50000, false, Moves, CellsCut)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Cut, normal_first_1000, false, 1000, CellsCut)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Cut, normal_whole_surface_first_1000, false, 1000, WholeSurface)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

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
