#include "engine/expand/CycleExpand.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "engine/chain/StageBlocks.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <climits>
#include <cmath>
#include <utility>

namespace orv {

namespace {

constexpr int msgFileNotFound = 1;

struct TStepWord {
    const char *Word;
    int Kind;
};

// A block inside an active cycle drills only when it gives a hole position
// or depth; a line with only an M, S, F or a comment passes as it is.
bool DrillsAHole(const TCNC_Groups &Block)
{
    return ProgramsXYZ(Block) || Block.WordSet[wR];
}

double RetractDistance(const std::string &Value)
{
    double Retract = 1;
    if (!Trim(Value).empty() && !TryStrToFloat(Value, Retract))
        Retract = 1; // a value that is no number counts as absent
    return Retract;
}

} // namespace

TCycleExpand::TCycleExpand(TComponent *Owner) : TBase_cnc(Owner) {}

TCycleExpand::~TCycleExpand() = default;

std::string TCycleExpand::CyclesFileName()
{
    return FindFileNoCase(ExeFolder() + "cycles.ini");
}

void TCycleExpand::GetNext(TCNC_Groups &Data)
{
    while (FBuffer.empty() && OnNextCycleNotify) {
        // The block is pulled into Data itself: one that passes on goes
        // from there without a copy.
        PullBlock(Data, [&] { OnNextCycleNotify(this, Data); });
        if (Expand(Data))
            return;
    }
    if (FBuffer.empty())
        return;
    Data = std::move(FBuffer.front());
    FBuffer.pop_front();
}

void TCycleExpand::ClearPending()
{
    FBuffer.clear();
    FReported.clear();
}

bool TCycleExpand::Expand(TCNC_Groups &Working)
{
    if (IsEndOfProgram(Working))
        return true;
    // A motion code cancels the cycle for this block only; the cycle stays
    // active for the blocks that follow.
    if (Working.GroupSet[gMotion])
        Working.Groups[gCannedCycle] = 80;
    if (Working.Groups[gCannedCycle] != 80) {
        if (DrillsAHole(Working)) {
            ExpandCycle(Working);
            return false;
        }
        PassOn(Working);
        return true;
    }
    if (ProgramsGroup(Working, gNonModal, 28)) {
        ReferenceReturn(Working);
        return false;
    }
    // The initial level is where the tool stands: after a cycle the block's
    // Z word still holds the cycle's depth, so a block without Z keeps the
    // height the cycle left the tool at.
    if (Working.WordSet[wZ] || !FCycleRan)
        FToolZ = WordValue(Working, wZ);
    if (Working.WordSet[wZ])
        FCycleRan = false;
    FInitialLevel = FToolZ;
    PassOn(Working);
    return true;
}

// Texts of earlier stages (the chord text of arc expansion) do not travel on.
void TCycleExpand::PassOn(TCNC_Groups &Block)
{
    Block.GeneratedText.clear();
}

// G28: a rapid to the intermediate point when one is given, then the
// reference return itself.
void TCycleExpand::ReferenceReturn(const TCNC_Groups &Block)
{
    TCNC_Groups Move = Block;
    Move.Groups[gNonModal] = 28;
    if (ProgramsXYZ(Block)) {
        Move.GeneratedText = FormatMoveText(0, IsMetricBlock(Block), WordValue(Block, wX),
                                            WordValue(Block, wY), WordValue(Block, wZ), NoValue);
        FBuffer.push_back(Move);
    }
    Move.Words[wX] = NoValue;
    Move.Words[wY] = NoValue;
    Move.Words[wZ] = NoValue;
    Move.GeneratedText.clear();
    FBuffer.push_back(Move);
}

// Levels of the cycle (R and Z of a G91 block count from the initial level):
//   hole bottom  G90: Z              G91: R + initial level + Z
//   return G98   the initial level
//   return G99   G90: R              G91: R + initial level
void TCycleExpand::ExpandCycle(const TCNC_Groups &Block)
{
    std::vector<TStep> Steps;
    if (!ReadSteps(Block, Steps))
        return;
    const double R = WordValue(Block, wR);
    const bool Incremental = IsIncremental(Block);
    if (Block.WordSet[wZ])
        FHoleBottom = Incremental ? R + FInitialLevel + WordValue(Block, wZ) : WordValue(Block, wZ);
    const bool ToRLevel = Block.Groups[gReturnLevel] == 99;
    FReturnLevel = !ToRLevel ? FInitialLevel : (Incremental ? R + FInitialLevel : R);
    const int Repeats = Block.WordSet[wK] ? Round(Block.Words[wK]) : 1;
    FOverflow = false;
    FCycleRan = true;
    for (int Repeat = 1; Repeat <= Repeats; ++Repeat) {
        // G91 repeats step on by the programmed increment; in G90 the same
        // hole is drilled again.
        TCNC_Groups Hole = Block;
        Hole.Words[wX] += (Repeat - 1) * Block.Words[wIncX];
        Hole.Words[wY] += (Repeat - 1) * Block.Words[wIncY];
        for (const TStep &Step : Steps)
            if (!ApplyStep(Step, Hole))
                return;
    }
}

// The steps of the cycle's section in file order; unknown keys do nothing.
bool TCycleExpand::ReadSteps(const TCNC_Groups &Block, std::vector<TStep> &Steps)
{
    static const TStepWord Words[] = {
        {"RAPID XYZ", int(TStepKind::RapidXYZ)},
        {"RAPID R", int(TStepKind::RapidR)},
        {"CUT Z", int(TStepKind::CutZ)},
        {"CUT R", int(TStepKind::CutR)},
        {"RAPID PECK Z", int(TStepKind::RapidPeckZ)},
        {"PECK Z", int(TStepKind::PeckZ)},
        {"DWELL", int(TStepKind::Dwell)},
        {"SPINDLE CCW", int(TStepKind::SpindleCCW)},
        {"SPINDLE CW", int(TStepKind::SpindleCW)},
        {"SPINDLE ORIENTATE+", int(TStepKind::OrientatePlus)},
        {"SPINDLE ORIENTATE-", int(TStepKind::OrientateMinus)},
    };
    const std::string FileName = CyclesFileName();
    if (!FileExists(FileName)) {
        ReportOnce(Block, "", FileName, Mess().MessageText(msgFileNotFound));
        return false;
    }
    const std::string Section = IntToStr(Block.Groups[gCannedCycle]);
    if (!FCycles || FCycles->FileName() != FileName)
        FCycles = std::make_unique<TIniFile>(FileName);
    const TIniFile &Ini = *FCycles;
    if (!Ini.SectionExists(Section)) {
        ReportOnce(Block, Section, "cycles.ini [" + Section + "]", "Canned cycle not defined");
        return false;
    }
    for (const std::string &Line : Ini.ReadSectionValues(Section)) {
        const auto Equals = Line.find('=');
        const std::string Key = Trim(Line.substr(0, Equals));
        const std::string Value = Equals == std::string::npos ? "" : Line.substr(Equals + 1);
        for (const TStepWord &Word : Words)
            if (SameText(Key, Word.Word))
                Steps.push_back({TStepKind(Word.Kind), Value});
    }
    return true;
}

void TCycleExpand::ReportOnce(const TCNC_Groups &Block, const std::string &Key,
                              const std::string &Detail, const std::string &Message)
{
    if (!FReported.insert(Key).second)
        return;
    ReportError(Block.LineNumber, Detail, Message);
}

bool TCycleExpand::ApplyStep(const TStep &Step, const TCNC_Groups &Hole)
{
    switch (Step.Kind) {
    case TStepKind::RapidXYZ: {
        TCNC_Groups Working = Hole;
        Working.Groups[gMotion] = 0;
        Working.Words[wZ] = FReturnLevel;
        Working.WordSet[wX] = Working.WordSet[wY] = Working.WordSet[wZ] = true;
        Working.GeneratedText = FormatMoveText(0, IsMetricBlock(Hole), WordValue(Hole, wX),
                                               WordValue(Hole, wY), FReturnLevel, NoValue);
        FToolZ = FReturnLevel;
        return Emit(Working);
    }
    case TStepKind::RapidR: return Move(Hole, 0, FReturnLevel);
    case TStepKind::CutZ: return Move(Hole, 1, FHoleBottom);
    case TStepKind::CutR: return Move(Hole, 1, FReturnLevel);
    case TStepKind::RapidPeckZ:
    case TStepKind::PeckZ: return Pecks(Step, Hole);
    case TStepKind::Dwell: return Dwell(Hole, Step.Value);
    case TStepKind::SpindleCCW: return Spindle(Hole, 4);
    case TStepKind::SpindleCW: return Spindle(Hole, 3);
    case TStepKind::OrientatePlus: return MoveX(Hole, WordValue(Hole, wX) + WordValue(Hole, wQ));
    case TStepKind::OrientateMinus: return MoveX(Hole, WordValue(Hole, wX) - WordValue(Hole, wQ));
    }
    return true;
}

// A rapid (0) or feed (1) move of the hole's block to a Z level.
bool TCycleExpand::Move(const TCNC_Groups &Hole, int Motion, double Z)
{
    TCNC_Groups Working = Hole;
    Working.Groups[gMotion] = Motion;
    Working.Words[wZ] = Z;
    Working.WordSet[wZ] = true;
    Working.GeneratedText = FormatMoveText(Motion, IsMetricBlock(Hole), NoValue, NoValue, Z, NoValue);
    FToolZ = Z;
    return Emit(Working);
}

// Spindle orientation shift: a rapid in X at the Z the tool stands at.
bool TCycleExpand::MoveX(const TCNC_Groups &Hole, double X)
{
    TCNC_Groups Working = Hole;
    Working.Groups[gMotion] = 0;
    Working.Words[wX] = X;
    Working.WordSet[wX] = true;
    Working.Words[wZ] = FToolZ;
    Working.GeneratedText = FormatMoveText(0, IsMetricBlock(Hole), X, NoValue, NoValue, NoValue);
    return Emit(Working);
}

// Spindle and dwell steps keep the block's motion and end point but stay at
// the Z the tool has reached: the cycle block's own Z (the programmed depth,
// or an increment in G91) would otherwise move the tool.
bool TCycleExpand::Spindle(const TCNC_Groups &Hole, int MCode)
{
    TCNC_Groups Working = Hole;
    Working.Words[wM] = MCode;
    Working.WordSet[wM] = true;
    Working.Groups[gMCode] = MCode;
    Working.GroupSet[gMCode] = true;
    Working.Words[wZ] = FToolZ;
    Working.GeneratedText = MCode == 4 ? "M04" : "M03";
    return Emit(Working);
}

bool TCycleExpand::Dwell(const TCNC_Groups &Hole, const std::string &Value)
{
    int Milliseconds = StrToIntDef(Trim(Value), 0);
    if (Milliseconds == 0)
        Milliseconds = Round(Hole.Words[wP]);
    TCNC_Groups Working = Hole;
    Working.Groups[gNonModal] = 4;
    Working.GroupSet[gNonModal] = true;
    Working.Words[wP] = Milliseconds;
    Working.WordSet[wP] = true;
    Working.Words[wZ] = FToolZ;
    Working.GeneratedText = "G04 P" + IntToStr(Milliseconds);
    return Emit(Working);
}

// Peck depths count from Z 0 downwards in steps of Q; a peck never goes
// below the hole bottom. Both peck steps start alike: without Q there is no
// pecking, and a hole whose bottom is at or above Z 0 is fed straight to the
// bottom (pecks from Z 0 down would cut below it).
bool TCycleExpand::Pecks(const TStep &Step, const TCNC_Groups &Hole)
{
    const double Q = WordValue(Hole, wQ);
    if (Q == 0)
        return true;
    if (FHoleBottom >= 0)
        return Move(Hole, 1, FHoleBottom);
    const int Count = Trunc(static_cast<float>(std::fabs(FHoleBottom)) / static_cast<float>(Q),
                            INT_MAX);
    const double Retract = RetractDistance(Step.Value);
    if (Step.Kind == TStepKind::RapidPeckZ)
        return RapidPecks(Hole, Q, Count, Retract);
    return FullRetractPecks(Hole, Q, Count, Retract);
}

//   RAPID PECK Z: feed to -q*i, rapid back up by d (chips break), ...
bool TCycleExpand::RapidPecks(const TCNC_Groups &Hole, double Q, int Count, double Retract)
{
    for (int Peck = 1; Peck <= Count; ++Peck) {
        const double Depth = std::max(-Q * Peck, FHoleBottom);
        if (!Move(Hole, 1, Depth) || !Move(Hole, 0, Depth + Retract))
            return false;
    }
    return Move(Hole, 1, FHoleBottom);
}

//   PECK Z: feed to -q*i, rapid out to the return level (chips clear), rapid
//   back down to d above the last depth before the next peck.
bool TCycleExpand::FullRetractPecks(const TCNC_Groups &Hole, double Q, int Count,
                                    double Retract)
{
    for (int Peck = 1; Peck <= Count; ++Peck) {
        if (Peck >= 2 && !Move(Hole, 0, std::max(-Q * (Peck - 1), FHoleBottom) + Retract))
            return false;
        if (!Move(Hole, 1, std::max(-Q * Peck, FHoleBottom)) || !Move(Hole, 0, FReturnLevel))
            return false;
    }
    if (Count * Q >= std::fabs(FHoleBottom))
        return true;
    if (Count >= 2 && !Move(Hole, 0, -Q * Count + Retract))
        return false;
    return Move(Hole, 1, FHoleBottom);
}

bool TCycleExpand::Emit(TCNC_Groups &Block)
{
    if (FOverflow)
        return false;
    if (static_cast<int>(FBuffer.size()) >= MaximumBlocks) {
        FOverflow = true;
        ReportError(Block.LineNumber, "Cycle expansion exceeds limits",
                    "Check parameters and units are correct");
        return false;
    }
    FBuffer.push_back(Block);
    return true;
}

} // namespace orv
