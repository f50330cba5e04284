// Writes the three timing programs (raster.fnc, arcs.fnc, spiral.fnc) into a
// folder: make_bench_programs [--seed N] [--raster N] [--arcs N]
// [--spiral N] FOLDER. The counts are moves of each shape.
#include "bench/BenchPrograms.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int Argc, char **Argv)
{
    using orv::bench::TBenchShape;
    uint32_t seed = 16;
    long counts[3] = {200000, 100000, 50000};
    const char *options[3] = {"--raster", "--arcs", "--spiral"};
    std::string folder;
    for (int i = 1; i < Argc; ++i) {
        std::string arg = Argv[i];
        bool known = false;
        for (int s = 0; s < 3; ++s)
            if (arg == options[s] && i + 1 < Argc) {
                counts[s] = std::atol(Argv[++i]);
                known = true;
            }
        if (arg == "--seed" && i + 1 < Argc) {
            seed = static_cast<uint32_t>(std::strtoul(Argv[++i], nullptr, 10));
            known = true;
        }
        if (!known && folder.empty() && arg.rfind("--", 0) != 0)
            folder = arg;
        else if (!known) {
            std::fprintf(stderr, "usage: make_bench_programs [--seed N] [--raster N] [--arcs N] "
                                 "[--spiral N] FOLDER\n");
            return 2;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "make_bench_programs: no folder given\n");
        return 2;
    }
    const TBenchShape shapes[3] = {TBenchShape::Raster, TBenchShape::Arcs, TBenchShape::Spiral};
    for (int s = 0; s < 3; ++s) {
        if (counts[s] <= 0)
            continue;
        std::string file = folder + "/" + orv::bench::ShapeName(shapes[s]) + ".fnc";
        if (!orv::bench::WriteBenchProgramFile(file, shapes[s], counts[s], seed)) {
            std::fprintf(stderr, "make_bench_programs: cannot write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
