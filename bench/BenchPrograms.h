#pragma once
// Generated NC programs of the three shapes the engine is timed on, in the
// system's dialect (at most four G codes a line, every number at most nine
// characters). The same shape, size and seed give the same text.

#include <cstdint>
#include <ostream>
#include <string>

namespace orv::bench {

enum class TBenchShape {
    Raster, // G01 moves zig-zagging over a bumpy surface
    Arcs,   // half-circle arcs in rows, alternately given by R and by I/J
    Spiral, // chords of an outward spiral under G42 compensation
};

// Name of a shape as the generator's files use it ("raster", "arcs", "spiral").
const char *ShapeName(TBenchShape Shape);

// Writes a program of Shape with Moves moves of its kind (G01 moves, arcs,
// chords) to Out, plus a few lines of set-up and end. The spiral uses tool 1
// with a diameter of 6 mm.
void WriteBenchProgram(std::ostream &Out, TBenchShape Shape, long Moves, uint32_t Seed);

// The same into a file; false when it cannot be written.
bool WriteBenchProgramFile(const std::string &FileName, TBenchShape Shape, long Moves,
                           uint32_t Seed);

} // namespace orv::bench
