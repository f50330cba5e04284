#pragma once
// Canned-cycle expansion driven alone: a hand-made previous stage, an error
// log, and the program folder pointed at the folder whose "cycles.ini" the
// test wants (the default one in data/, or one of the test's own).

#include "engine/expand/CycleExpand.h"
#include "engine/chain/StageBlocks.h"
#include "engine/expand/tests/ExpandTestFeed.h"
#include "platform/Paths.h"

#include <cstdio>
#include <string>
#include <vector>

namespace orv::test {

class TProgramFolderScope {
public:
    explicit TProgramFolderScope(const std::string &Folder)
    {
        SetProgramPathOverride(Folder, "Tarnwick");
    }
    ~TProgramFolderScope() { SetProgramPathOverride("", ""); }
    TProgramFolderScope(const TProgramFolderScope &) = delete;
    TProgramFolderScope &operator=(const TProgramFolderScope &) = delete;
};

struct TCycleRig {
    TProgramFolderScope Folder;
    TFeed Feed;
    TErrorLog Errors;
    TCycleExpand Cycles;

    explicit TCycleRig(const std::string &ProgramFolder = ORV_DATA_DIR) : Folder(ProgramFolder)
    {
        Cycles.OnNextCycleNotify = Feed.Handler();
        Cycles.OnErrorEvent = Errors.Handler();
    }

    // The tool at X 0, Y 0 and the initial level Z 20.
    void StartAbove()
    {
        Feed.Block().G(gMotion, 0).X(0).Y(0).Z(20);
    }

    std::vector<TCNC_Groups> Run() { return Drain(Cycles); }
};

// One emitted block as a short text: "G0 X10 Y10 Z2" for a move, "G4 P250
// Z-5" for a dwell, "M3 Z2" for a spindle step (values as %g).
inline std::string Describe(const TCNC_Groups &Block)
{
    auto Num = [](long double Value) {
        char Text[32];
        std::snprintf(Text, sizeof Text, "%g", static_cast<double>(Value));
        return std::string(Text);
    };
    const std::string Z = " Z" + Num(Block.Words[wZ]);
    if (Block.GroupSet[gNonModal] && Block.Groups[gNonModal] == 4)
        return "G4 P" + Num(Block.Words[wP]) + Z;
    if (Block.GroupSet[gMCode])
        return "M" + Num(Block.Words[wM]) + Z;
    return "G" + std::to_string(Block.Groups[gMotion]) + " X" + Num(Block.Words[wX]) + " Y" +
           Num(Block.Words[wY]) + Z;
}

inline std::string DescribeAll(const std::vector<TCNC_Groups> &Blocks, size_t From = 0)
{
    std::string Text;
    for (size_t Index = From; Index < Blocks.size(); ++Index)
        Text += (Text.empty() ? "" : "; ") + Describe(Blocks[Index]);
    return Text;
}

} // namespace orv::test
