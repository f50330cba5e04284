#include "bench/BenchPrograms.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>

namespace orv::bench {

namespace {

constexpr double Pi = 3.14159265358979323846;

// A length in millimetres to three places ("-12.345"), never "-0.000".
std::string Mm(double Value)
{
    long thousandths = std::lround(Value * 1000);
    char text[24];
    std::snprintf(text, sizeof text, "%s%ld.%03ld", thousandths < 0 ? "-" : "",
                  std::labs(thousandths) / 1000, std::labs(thousandths) % 1000);
    return text;
}

void Header(std::ostream &Out, const char *Title)
{
    Out << "(" << Title << ")\n"
        << "G21 G17 G90 G94\n"
        << "G40 G49 G80\n"
        << "T01 M06\n"
        << "S1200 M03\n"
        << "G00 X0.000 Y0.000 Z5.000\n";
}

void Footer(std::ostream &Out)
{
    Out << "G00 Z25.000\n"
        << "M05\n"
        << "M30\n";
}

// Rows along X over a 200 mm square, one point every 0.5 mm; the height
// follows a seeded sum of waves, as a finishing pass over a surface.
void Raster(std::ostream &Out, long Moves, std::mt19937 &Random)
{
    std::uniform_real_distribution<double> phase(0, 2 * Pi);
    const double p1 = phase(Random), p2 = phase(Random);
    constexpr int PointsPerRow = 400;
    constexpr double Step = 0.5;
    Header(Out, "RASTER FINISH");
    Out << "G01 Z-1.000 F800\n";
    for (long i = 0; i < Moves; ++i) {
        long row = i / PointsPerRow;
        long at = i % PointsPerRow;
        double x = (row % 2 ? PointsPerRow - 1 - at : at) * Step;
        double y = (row % 400) * Step;
        double z = -1 - 0.8 * std::sin(x / 17 + p1) * std::cos(y / 23 + p2);
        if (at == 0)
            Out << "G01 X" << Mm(x) << " Y" << Mm(y) << " Z" << Mm(z) << "\n";
        else
            Out << "X" << Mm(x) << " Z" << Mm(z) << "\n";
    }
    Footer(Out);
}

// Rows of half circles along X, each 2 to 4 mm across, turned by a half
// circle into the next row; odd arcs end by R, even ones by I and J.
void Arcs(std::ostream &Out, long Moves, std::mt19937 &Random)
{
    const double Widths[4] = {2, 2.5, 3, 4};
    std::uniform_int_distribution<int> pick(0, 3);
    constexpr double RowLength = 300;
    Header(Out, "HALF CIRCLE ARCS");
    Out << "G01 Z-1.000 F600\n";
    double x = 0, y = 0;
    int direction = 1;
    for (long i = 0; i < Moves; ++i) {
        double width = Widths[pick(Random)];
        bool turn = (direction > 0 && x + width > RowLength) || (direction < 0 && x - width < 0);
        double endX = turn ? x : x + direction * width;
        double endY = turn ? (y + width > 2000 ? 0 : y + width) : y;
        bool clockwise = turn ? direction < 0 : i % 2 == 0;
        if (turn && endY < y) { // back to the first row: a jump, then go on
            Out << "G00 Z5.000\nX" << Mm(x) << " Y0.000\nG01 Z-1.000\n";
            y = 0;
            endY = width;
        }
        Out << (clockwise ? "G02" : "G03") << " X" << Mm(endX) << " Y" << Mm(endY);
        if (i % 2)
            Out << " R" << Mm(width / 2);
        else
            Out << " I" << Mm((endX - x) / 2) << " J" << Mm((endY - y) / 2);
        Out << "\n";
        if (turn)
            direction = -direction;
        x = endX;
        y = endY;
    }
    Footer(Out);
}

// An outward spiral of chords, 96 to the turn, 0.5 mm apart, from a radius
// of 20 mm; G42 with tool 1 keeps the cutter outside. The spiral starts again
// beside the last one every 300 turns, so that the numbers stay short.
void Spiral(std::ostream &Out, long Moves, std::mt19937 &Random)
{
    std::uniform_real_distribution<double> start(0, 2 * Pi);
    const double a0 = start(Random);
    constexpr long ChordsPerTurn = 96, ChordsPerRing = 300 * ChordsPerTurn;
    constexpr double Pitch = 0.5, Inner = 20, RingSpacing = 400;
    auto centreX = [&](long k) { return RingSpacing * ((k / ChordsPerRing) % 2); };
    auto pointX = [&](long k) {
        long at = k % ChordsPerRing;
        return centreX(k) + (Inner + Pitch * at / ChordsPerTurn) * std::cos(a0 + 2 * Pi * at / ChordsPerTurn);
    };
    auto pointY = [&](long k) {
        long at = k % ChordsPerRing;
        return (Inner + Pitch * at / ChordsPerTurn) * std::sin(a0 + 2 * Pi * at / ChordsPerTurn);
    };
    // Down at half the radius, then out onto the spiral with compensation on.
    auto enter = [&](long k) {
        double cx = centreX(k);
        Out << "G00 X" << Mm(cx + (pointX(k) - cx) / 2) << " Y" << Mm(pointY(k) / 2) << "\n"
            << "G01 Z-1.000 F900\n"
            << "G42 G01 X" << Mm(pointX(k)) << " Y" << Mm(pointY(k)) << " D01\n";
    };
    Header(Out, "SPIRAL UNDER G42");
    enter(0);
    for (long k = 1; k <= Moves; ++k) {
        if (k % ChordsPerRing == 0) {
            Out << "G40 G00 Z5.000\n";
            enter(k);
            continue;
        }
        Out << "X" << Mm(pointX(k)) << " Y" << Mm(pointY(k)) << "\n";
    }
    Out << "G40 G00 Z5.000\n";
    Footer(Out);
}

} // namespace

const char *ShapeName(TBenchShape Shape)
{
    switch (Shape) {
    case TBenchShape::Raster: return "raster";
    case TBenchShape::Arcs: return "arcs";
    case TBenchShape::Spiral: return "spiral";
    }
    return "";
}

void WriteBenchProgram(std::ostream &Out, TBenchShape Shape, long Moves, uint32_t Seed)
{
    std::mt19937 random(Seed);
    switch (Shape) {
    case TBenchShape::Raster: Raster(Out, Moves, random); break;
    case TBenchShape::Arcs: Arcs(Out, Moves, random); break;
    case TBenchShape::Spiral: Spiral(Out, Moves, random); break;
    }
}

bool WriteBenchProgramFile(const std::string &FileName, TBenchShape Shape, long Moves,
                           uint32_t Seed)
{
    std::ofstream out(FileName, std::ios::binary);
    WriteBenchProgram(out, Shape, Moves, Seed);
    out.close();
    return static_cast<bool>(out);
}

} // namespace orv::bench
