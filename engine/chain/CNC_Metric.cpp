#include "engine/chain/CNC_Metric.h"

#include "engine/chain/StageBlocks.h"
#include "engine/core/data_types.h"

namespace orv {

namespace {

bool IsInchBlock(const TCNC_Groups &G)
{
    return G.Groups[gUnits] == 20;
}

// Words that carry something other than a length in this block.
bool KeepsWord(const TCNC_Groups &G, int Word)
{
    if (Word == wP)
        return true;
    if (ProgramsGroup(G, gScaling, 51))
        return true;
    if (Word == wY && G.Groups[gPolar] == 16)
        return true;
    if (Word == wR && ProgramsGroup(G, gRotation, 68))
        return true;
    // A dwell's X is a time in seconds.
    if (Word == wX && ProgramsGroup(G, gNonModal, 4))
        return true;
    // Inside a canned cycle K is the repeat count; Q (peck depth, shift) is
    // a length like the others.
    return Word == wK && G.Groups[gCannedCycle] != 80 && !G.GroupSet[gMotion];
}

} // namespace

bool TCNC_Metric::ConvertToMetric(TCNC_Groups &Groups)
{
    if (IsInchBlock(Groups)) {
        for (int Word = wX; Word <= wC; ++Word) {
            if (Groups.WordSet[Word] && !KeepsWord(Groups, Word))
                Groups.Words[Word] *= MmPerInch;
        }
    }
    NotifyNext();
    return true;
}

} // namespace orv
