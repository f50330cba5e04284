// Runs arbitrary bytes as an NC program, one line per "\n", through the whole
// block chain with the expansion stages: arcs expanded into chords, canned
// cycles from the default "cycles.ini", cutter compensation with a 10 mm
// tool. Nothing may crash or loop, and no move may get a coordinate that is
// not a number.
#include "engine/expand/tests/ExpandChain.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool IsMove(const orv::TCNC_data &Record)
{
    return Record.Motion >= 0 && Record.Motion <= 3;
}

bool HasNaN(const orv::TCNC_data &Record)
{
    return std::isnan(Record.X) || std::isnan(Record.Y) || std::isnan(Record.Z);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static orv::TScriptedMessages Boxes;
    static orv::TMessageServiceScope Scope(Boxes);
    orv::SetProgramPathOverride(ORV_DATA_DIR, "Tarnwick");
    std::vector<std::string> Lines(1);
    for (size_t Index = 0; Index < Size; ++Index) {
        if (Data[Index] == '\n')
            Lines.emplace_back();
        else
            Lines.back() += static_cast<char>(Data[Index]);
    }
    orv::test::TExpandChain Chain(Lines);
    Chain.Circular.ExpandArcs = true;
    Chain.Circular.MinimumChordLength = 2;
    Chain.Optimise.SetLimits(1, 2000, 5000, 5000, 5, 0.2);
    Chain.Comp.SetLookAhead(6);
    orv::TCNC_data Record;
    for (int Count = 0; Count < 20000 && Chain.Next(Record); ++Count)
        if (IsMove(Record) && HasNaN(Record))
            std::abort();
    return 0;
}
