#include "engine/expand/CircularExpand.h"

#include "engine/core/DUtils.h"
#include "engine/chain/StageBlocks.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace orv {

namespace {

constexpr double Pi = std::numbers::pi;

const char *const ChordTextHead = "Arc to linear expansion-chord length:";

bool IsPlaneArc(const TCNC_Groups &Block, bool ExpandArcs)
{
    const bool HasEnd = ProgramsXYZ(Block) || Block.WordSet[wRadius];
    return ExpandArcs && HasEnd && IsArcMotion(Block);
}

// An arc whose perpendicular axis moves cannot be run as an arc downstream.
bool IsHelicalArc(const TCNC_Groups &Block)
{
    return IsArcMotion(Block) && Block.WordSet[PlaneWordsOf(PlaneOf(Block)).Perpendicular];
}

// Bring an angle in degrees into 0 to 360 by one turn at most.
double OneTurnIntoRange(double Angle)
{
    if (Angle > 360)
        return Angle - 360;
    if (Angle < 0)
        return Angle + 360;
    return Angle;
}

} // namespace

TCircularExpand::TCircularExpand(TComponent *Owner) : TBase_cnc(Owner) {}

void TCircularExpand::GetNext(TCNC_Groups &Data)
{
    while (FList.empty()) {
        if (FRun.Active) {
            EmitNextPoint();
            continue;
        }
        if (!OnNextCycleNotify)
            return;
        // The block is pulled into Data itself: one that passes as it is
        // goes on from there without a copy.
        PullBlock(Data, [&] { OnNextCycleNotify(this, Data); });
        if (Expand(Data))
            return;
    }
    Data = std::move(FList.front());
    FList.pop_front();
}

void TCircularExpand::ClearPending()
{
    FList.clear();
    FRun.Active = false;
    // A new run starts from the origin, not where the last one ended.
    FX = FY = FZ = 0;
}

bool TCircularExpand::Expand(const TCNC_Groups &Block)
{
    if (IsEndOfProgram(Block))
        return true;
    const bool Helical = IsHelicalArc(Block);
    if (Helical || IsPlaneArc(Block, ExpandArcs)) {
        StartChords(Block, Helical);
        Remember(Block);
        return false;
    }
    Remember(Block);
    return true;
}

void TCircularExpand::Remember(const TCNC_Groups &Block)
{
    FX = WordValue(Block, wX);
    FY = WordValue(Block, wY);
    FZ = WordValue(Block, wZ);
}

// Points on the circle from the start (the remembered position) stepping by
// equal angles towards the end, then the exact end point:
//
//        * . . *          n chords give n + 1 points on the circle, the
//      *         *        first being the start point itself; the exact
//     S           E       end follows as one more straight move.
void TCircularExpand::StartChords(const TCNC_Groups &Block, bool Helical)
{
    FRun = TChordRun{};
    FRun.Axes = PlaneWordsOf(PlaneOf(Block));
    const double Start[4] = {0, FX, FY, FZ}; // by word index wX..wZ
    const double First = Start[FRun.Axes.First], Second = Start[FRun.Axes.Second];
    const double CentreFirst = WordValue(Block, FRun.Axes.CentreFirst);
    const double CentreSecond = WordValue(Block, FRun.Axes.CentreSecond);
    double StartAngle = std::atan2(Second - CentreSecond, First - CentreFirst) * 180 / Pi;
    if (StartAngle < 0)
        StartAngle += 360;
    const double Sweep = WordValue(Block, wSweep);
    FRun.Radius = std::hypot(First - CentreFirst, Second - CentreSecond);
    FRun.CentreFirst = static_cast<float>(CentreFirst);
    FRun.CentreSecond = static_cast<float>(CentreSecond);
    FRun.Angle = StartAngle;
    FRun.Clockwise = Sweep >= 0;
    FRun.Helical = Helical;
    FRun.Count = ChordCount(Block, FRun.Radius);
    FRun.Step = FRun.Count >= 1 ? std::fabs(Sweep) / FRun.Count : 0;
    FRun.Arc = Block;
    FRun.Working = Block;
    FRun.Working.Groups[gMotion] = 1;
    FRun.Working.WordSet[FRun.Axes.First] = true;
    FRun.Working.WordSet[FRun.Axes.Second] = true;
    if (Helical) {
        const int Perpendicular = FRun.Axes.Perpendicular;
        FRun.Working.WordSet[Perpendicular] = true;
        FRun.PerpendicularStart = Start[Perpendicular];
        if (FRun.Count >= 1)
            FRun.PerpendicularStep =
                (WordValue(Block, Perpendicular) - FRun.PerpendicularStart) / FRun.Count;
    }
    FRun.Working.GeneratedText =
        ChordTextHead + FloatToUnitsText(false, MinimumChordLength) + "mm";
    FRun.Active = true;
}

// Chords of MinimumChordLength along the arc, counted in single precision and
// truncated; an arc that would need more than MaximumChords is reported and
// gets none (it goes to its end in one straight move).
int TCircularExpand::ChordCount(const TCNC_Groups &Block, double Radius)
{
    const double Sweep = std::fabs(WordValue(Block, wSweep));
    const float ArcLength = static_cast<float>(Radius * 2 * Pi * Sweep / 360);
    const float Chords = ArcLength / static_cast<float>(MinimumChordLength);
    if (Chords < MaximumChords + 1.0f)
        return Trunc(Chords);
    const std::string Needed = std::isfinite(Chords) ? FloatToStr(std::floor(Chords)) : "endless";
    ReportError(Block.LineNumber,
                "Arc expansion exceeds limits: " + Needed + " chords of " +
                    FloatToStr(MinimumChordLength) + "mm, at most " +
                    IntToStr(MaximumChords),
                "Check parameters and units are correct");
    return 0;
}

void TCircularExpand::EmitNextPoint()
{
    if (FRun.Index > FRun.Count || FRun.Count < 1) {
        EmitEndPoint();
        return;
    }
    FRun.Angle = OneTurnIntoRange(FRun.Angle);
    const double Radians = FRun.Angle * Pi / 180;
    TCNC_Groups &Working = FRun.Working;
    Working.Words[FRun.Axes.First] = FRun.CentreFirst + FRun.Radius * std::cos(Radians);
    Working.Words[FRun.Axes.Second] = FRun.CentreSecond + FRun.Radius * std::sin(Radians);
    if (FRun.Helical)
        Working.Words[FRun.Axes.Perpendicular] =
            FRun.PerpendicularStart + FRun.Index * FRun.PerpendicularStep;
    FList.push_back(Working);
    FRun.Angle += FRun.Clockwise ? -FRun.Step : FRun.Step;
    ++FRun.Index;
}

void TCircularExpand::EmitEndPoint()
{
    TCNC_Groups &Working = FRun.Working;
    Working.Words[wX] = FRun.Arc.Words[wX];
    Working.Words[wY] = FRun.Arc.Words[wY];
    Working.Words[wZ] = FRun.Arc.Words[wZ];
    FList.push_back(Working);
    FRun.Active = false;
}

} // namespace orv
