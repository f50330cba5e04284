#include "engine/expand/Optimise.h"

#include "engine/chain/StageBlocks.h"
#include "engine/chain/Vectors.h"

#include <cmath>
#include <utility>

namespace orv {

namespace {

TPoint3D EndPoint(const TCNC_Groups &Block)
{
    return {WordValue(Block, wX), WordValue(Block, wY), WordValue(Block, wZ)};
}

TPoint3D Minus(const TPoint3D &A, const TPoint3D &B)
{
    return {A.X - B.X, A.Y - B.Y, A.Z - B.Z};
}

// A maximum of 0 or less is a limit the machine data does not set; clamping
// to it would stop every move.
bool ExceedsLimit(double Feed, double Maximum)
{
    return Maximum > 0 && Feed > Maximum;
}

// Only a plain straight feed move can be merged away or merged into: a dwell,
// a reference return, a keyword or a block without an axis word would lose
// its action, and a rapid or an arc after the dropped point would take a
// different path (an arc's centre was resolved from the dropped end point).
bool IsMergeableMove(const TCNC_Groups &Block)
{
    const bool Linear = Block.Groups[gMotion] == 1;
    const bool Plain = !Block.GroupSet[gNonModal] && !Block.GroupSet[gKeyword];
    return Linear && Plain && ProgramsXYZ(Block) && !IsEndOfProgram(Block);
}

} // namespace

TOptimise::TOptimise(TComponent *Owner) : TBase_cnc(Owner) {}

void TOptimise::SetLimits(double MinimumFeed, double MaximumZFeed, double MaximumYFeed,
                          double MaximumXFeed, double MergeAngle, double MergeLength)
{
    FMinimumFeed = MinimumFeed;
    FMaximumZFeed = MaximumZFeed;
    FMaximumYFeed = MaximumYFeed;
    FMaximumXFeed = MaximumXFeed;
    FMergeAngle = MergeAngle;
    FMergeLength = MergeLength;
    FLastFeed = 0;
    ResetMergeRun();
}

void TOptimise::ResetMergeRun()
{
    FRunLength = 0;
    FRunS = 0;
    FRunM = -1;
    FRunT = -1;
    FRunF = -1;
}

void TOptimise::GetNext(TCNC_Groups &Data)
{
    if (FCount == 0)
        ResetMergeRun();
    while (!Stopped && FCount < WindowSize && FillSlot(FCount)) {
        if (FCount == WindowSize)
            Optimise();
    }
    if (FCount == 0)
        return;
    // The window is a ring: the first block leaves, the others stay where
    // they are.
    Data = std::move(Slot(0));
    FFirst = (FFirst + 1) % WindowSize;
    --FCount;
}

bool TOptimise::FillSlot(int At)
{
    if (!OnNextOptimiseNotify)
        return false;
    OnNextOptimiseNotify(this, this->Slot(At));
    ++FCount;
    if (At == 0)
        LimitFirstFeed(this->Slot(0));
    return true;
}

// The first block of a window has no block before it here: every axis it
// programs counts as moving, so it is held to the limits like any other.
void TOptimise::LimitFirstFeed(TCNC_Groups &First)
{
    TCNC_Groups Before = First;
    for (int Axis : {wX, wY, wZ}) {
        if (First.WordSet[Axis])
            Before.Words[Axis] = First.Words[Axis] == NoValue ? 0 : NoValue;
    }
    LimitFeed(Before, First);
}

void TOptimise::Optimise()
{
    LimitFeed(Slot(0), Slot(1));
    if (MergesCurrent(Slot(0), Slot(1), Slot(2)))
        DropCurrent();
}

void TOptimise::DropCurrent()
{
    Slot(1) = std::move(Slot(2));
    FCount = 2;
}

// Axis limits in the order Z, X, Y, then the machine's minimum; a feed that
// differs from the one last handed on is marked as programmed so that the
// machine is told about the change.
void TOptimise::LimitFeed(const TCNC_Groups &Previous, TCNC_Groups &Current)
{
    double Feed = WordValue(Current, wF);
    if (Current.Words[wZ] != Previous.Words[wZ] && ExceedsLimit(Feed, FMaximumZFeed))
        Feed = FMaximumZFeed;
    if (Current.Words[wX] != Previous.Words[wX] && ExceedsLimit(Feed, FMaximumXFeed))
        Feed = FMaximumXFeed;
    if (Current.Words[wY] != Previous.Words[wY] && ExceedsLimit(Feed, FMaximumYFeed))
        Feed = FMaximumYFeed;
    if (Feed < FMinimumFeed)
        Feed = FMinimumFeed;
    if (Feed != FLastFeed) {
        Current.WordSet[wF] = true;
        FLastFeed = Feed;
    }
    Current.Words[wF] = Feed;
}

// The current block is dropped when it and its neighbours are short (at most
// the merge length), the run it belongs to is still within the merge length,
// the path turns at it by at most the merge angle, and it changes none of
// S, M, T, F.
bool TOptimise::MergesCurrent(const TCNC_Groups &Previous, const TCNC_Groups &Current,
                              const TCNC_Groups &Next)
{
    if (FMergeLength <= 0)
        return false;
    const TPoint3D P = EndPoint(Previous), C = EndPoint(Current), N = EndPoint(Next);
    const double A = Distance3D(P, C);
    const double B = Distance3D(N, C);
    const bool BothShort = A <= FMergeLength && B <= FMergeLength;
    if (BothShort) {
        FRunLength += A;
        const double Angle = RadToDeg(AngleBetween3D(Minus(C, P), Minus(C, N)));
        const double Turn = (A == 0 || B == 0) ? 0 : std::fabs(180 - std::fabs(Angle));
        const bool Candidate = FRunLength <= FMergeLength && Turn <= FMergeAngle &&
                               IsMergeableMove(Current) && IsMergeableMove(Next);
        if (Candidate && SameWordsAsRun(Current))
            return true;
    }
    FRunLength = 0;
    return false;
}

// Compares S, M, T, F (nearest integers) with those last seen in the run;
// the first one that differs, in that order, is remembered.
bool TOptimise::SameWordsAsRun(const TCNC_Groups &Current)
{
    const int S = Round(Current.Words[wS]);
    const int M = Round(Current.Words[wM]);
    const int T = Round(Current.Words[wT]);
    const int F = Round(Current.Words[wF]);
    if (S != FRunS)
        FRunS = S;
    else if (M != FRunM)
        FRunM = M;
    else if (T != FRunT)
        FRunT = T;
    else if (F != FRunF)
        FRunF = F;
    else
        return true;
    return false;
}

} // namespace orv
