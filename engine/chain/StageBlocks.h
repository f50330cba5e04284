#pragma once
// Questions that the block stages (the absolute stage, the move calculator,
// optimiser, arc and cycle expansion, cutter compensation) ask of a block
// record, so that each machining rule reads the same way in every stage.
// Past the absolute stage blocks are absolute, in millimetres.

#include "engine/core/data_types.h"

#include <climits>
#include <cstdint>

namespace orv {

// The end record of a program: the engine writes -101 into the G word when
// the source has no more lines; downstream a negative line index ends a run.
inline bool IsEndOfProgram(const TCNC_Groups &Block)
{
    const bool EndWord = Block.WordSet[wG] && Block.Words[wG] == EndOfProgramCode;
    return EndWord || Block.LineNumber < 0;
}

inline bool ProgramsXY(const TCNC_Groups &Block)
{
    return Block.WordSet[wX] || Block.WordSet[wY];
}

inline bool ProgramsXYZ(const TCNC_Groups &Block)
{
    return ProgramsXY(Block) || Block.WordSet[wZ];
}

// Motion group 1: G00 rapid, G01 feed, G02 clockwise, G03 counter-clockwise.
inline bool IsStraightMotion(const TCNC_Groups &Block)
{
    return Block.Groups[gMotion] == 0 || Block.Groups[gMotion] == 1;
}

inline bool IsArcMotion(const TCNC_Groups &Block)
{
    return Block.Groups[gMotion] == 2 || Block.Groups[gMotion] == 3;
}

inline bool IsClockwise(const TCNC_Groups &Block)
{
    return Block.Groups[gMotion] == 2;
}

// The block programs a group value (G code, M, S, T) itself.
inline bool ProgramsGroup(const TCNC_Groups &Block, int Group, int Value)
{
    return Block.GroupSet[Group] && Block.Groups[Group] == Value;
}

// Plane of group 2; anything but G18 and G19 counts as G17.
inline int PlaneOf(const TCNC_Groups &Block)
{
    const int Plane = Block.Groups[gPlane];
    return (Plane == 18 || Plane == 19) ? Plane : 17;
}

// Word indexes of a plane: the two axes in it, the axis square to it and
// the centre words of the two in it.
//   G17: X Y, Z, I J      G18: X Z, Y, I K      G19: Y Z, X, J K
struct TPlaneWords {
    int First, Second, Perpendicular, CentreFirst, CentreSecond;
};

// Anything but G18 and G19 counts as G17.
inline TPlaneWords PlaneWordsOf(int Plane)
{
    if (Plane == 18)
        return {wX, wZ, wY, wI, wK};
    if (Plane == 19)
        return {wY, wZ, wX, wJ, wK};
    return {wX, wY, wZ, wI, wJ};
}

// G91: the block's axis words are distances from where the tool stands.
inline bool IsIncremental(const TCNC_Groups &Block)
{
    return Block.Groups[gAbsInc] == 91;
}

inline bool IsMetricBlock(const TCNC_Groups &Block)
{
    return Block.Groups[gUnits] == 21;
}

inline double WordValue(const TCNC_Groups &Block, int Word)
{
    return static_cast<double>(Block.Words[Word]);
}

// Pulls a block into Data through Pull, an event that either assigns a whole
// record to Data or leaves it alone (a stopped stage): Data is then a new,
// empty record, as if it had been made fresh for the pull. The mark in the
// line number (which no block carries) saves clearing the record first.
template <class TPull>
inline void PullBlock(TCNC_Groups &Data, TPull &&Pull)
{
    constexpr int32_t NotPulled = INT32_MIN;
    Data.LineNumber = NotPulled;
    Pull();
    if (Data.LineNumber == NotPulled)
        Data.Reset();
}

} // namespace orv
