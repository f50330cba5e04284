#include "engine/chain/CNC_ABS.h"

#include "engine/core/Mess.h"
#include "engine/chain/StageBlocks.h"
#include "engine/chain/Vectors.h"
#include "engine/core/data_types.h"

#include <cmath>
#include <numbers>

namespace orv {

namespace {

constexpr int MsgInvalidRadius = 33;
constexpr int MsgBadArcEndPoint = 34;
constexpr int MsgRadius = 35;

constexpr long double MinimumRadiusR = 0.05L;    // mm, arcs given by R
constexpr long double MaximumRadiusR = 30000.0L; // mm
constexpr long double MinimumRadiusIJK = 0.01L;  // mm, arcs given by I, J, K
constexpr long double EndPointTolerance = 0.01L; // mm, end point off the circle
constexpr long double ChordSlack = 0.0001L;      // mm an R may fall short of half the chord
constexpr long double SamePointLimit = 0.001L;   // mm: start and end coincide
constexpr long double FullCircleAngle = 0.0001L; // degrees

double RememberedOf(const TAxisPosition &P, int Word)
{
    switch (Word) {
    case wX:
        return P.X;
    case wY:
        return P.Y;
    case wZ:
        return P.Z;
    case wA:
        return P.A;
    case wB:
        return P.B;
    default:
        return P.C;
    }
}

bool IsSkippedBlock(const TCNC_Groups &G, bool BlockSkip)
{
    return BlockSkip && G.Groups[gBlockDelete] == 1;
}

bool IsPolar(const TCNC_Groups &G)
{
    return G.Groups[gPolar] == 16;
}
bool InCannedCycle(const TCNC_Groups &G)
{
    return G.Groups[gCannedCycle] != 80;
}

// G4, G28 and G92 carry no end point to remember and no arc.
bool ProgramsNonModalCode(const TCNC_Groups &G)
{
    if (!G.GroupSet[gNonModal])
        return false;
    const int Code = G.Groups[gNonModal];
    return Code == 4 || Code == 28 || Code == 92;
}

bool IsDwell(const TCNC_Groups &G)
{
    return ProgramsGroup(G, gNonModal, 4);
}

// The axis words of these blocks name no end point: a dwell's X is its time,
// G68's X and Y the centre of rotation, G51's X, Y, Z the centre of scaling,
// G28's the intermediate point (the tool ends at the reference point). The
// tool does not stay there, so they are neither an arc's end nor the
// position later blocks start from.
bool NamesNoEndPoint(const TCNC_Groups &G)
{
    return IsDwell(G) || ProgramsGroup(G, gNonModal, 28) || ProgramsGroup(G, gRotation, 68) ||
           ProgramsGroup(G, gScaling, 51);
}

bool ProgramsArcWord(const TCNC_Groups &G)
{
    const int Words[] = {wX, wY, wZ, wA, wB, wC, wI, wJ, wK, wR};
    for (int W : Words) {
        if (G.WordSet[W])
            return true;
    }
    return false;
}

bool ProgramsOffsets(const TCNC_Groups &G)
{
    return G.WordSet[wI] || G.WordSet[wJ] || G.WordSet[wK];
}

// Degrees between two directions, the short way round.
long double CircularGap(long double A, long double B)
{
    long double Gap = std::fabs(A - B);
    return Gap > 180 ? 360 - Gap : Gap;
}

} // namespace

bool TCNC_ABS::MakeAbsolute(TCNC_Groups &Groups)
{
    // A bracket keyword's X, Y, Z are sizes ("[BILLET X40 Y40 Z10]"): no end
    // point either.
    if (Groups.GroupSet[gKeyword]) {
        FCarriedStale = true;
        return false;
    }
    RestoreUnexchangedMotion(Groups);
    FPlane = PlaneOf(Groups);

    const bool Skipped = IsSkippedBlock(Groups, BlockSkip);
    const double PolarRadius = FPolarRadius;
    const double PolarAngle = FPolarAngle;
    RestoreCarriedAxes(Groups);
    // A dwell's time is never made absolute, nor a polar radius.
    if (!IsDwell(Groups)) {
        MakeIncrementalAbsolute(Groups);
        ApplyPolar(Groups);
    }
    if (InCannedCycle(Groups) && Groups.Words[wK] == 0)
        Groups.Words[wK] = 1; // K is the repeat count inside a cycle
    ApplyUVW(Groups);

    // A block skipped by block delete is not run: it must not shift where
    // later incremental or unprogrammed axes start from.
    if (Skipped) {
        RestorePosition(Groups);
        FPolarRadius = PolarRadius;
        FPolarAngle = PolarAngle;
        return true;
    }
    if (NamesNoEndPoint(Groups)) {
        FCarriedStale = true;
        if (ProgramsGroup(Groups, gNonModal, 28))
            RememberReferencePoint(Groups);
    } else if (!ProgramsNonModalCode(Groups)) {
        ResolveArc(Groups);
        Remember(Groups);
    }
    if (Groups.WordSet[wM]) {
        switch (Round(Groups.Words[wM], -1)) {
        case 70:
            Groups.Groups[gMirror] |= 1;
            break;
        case 71:
            Groups.Groups[gMirror] |= 2;
            break;
        case 80:
            Groups.Groups[gMirror] &= ~1;
            break;
        case 81:
            Groups.Groups[gMirror] &= ~2;
            break;
        default:
            break;
        }
    }
    return true;
}

void TCNC_ABS::Rewind()
{
    FPosition = {};
    FPolarRadius = 0;
    FPolarAngle = 0;
    FPlane = 17;
    FExchangedFrom = 0;
    FCarriedStale = false;
}

// The record carries the last block's words on: after a block whose axis
// words named no end point, the axes this block leaves out start from the
// position the tool really stands at.
void TCNC_ABS::RestoreCarriedAxes(TCNC_Groups &G)
{
    if (!FCarriedStale)
        return;
    FCarriedStale = false;
    const int Axes[] = {wX, wY, wZ, wA, wB, wC};
    for (int W : Axes) {
        if (!G.WordSet[W])
            G.Words[W] = RememberedOf(FPosition, W);
    }
}

// G28: the axes it names end at the reference point.
void TCNC_ABS::RememberReferencePoint(const TCNC_Groups &G)
{
    if (G.WordSet[wX])
        FPosition.X = ReferencePoint.X;
    if (G.WordSet[wY])
        FPosition.Y = ReferencePoint.Y;
    if (G.WordSet[wZ])
        FPosition.Z = ReferencePoint.Z;
}

// In G18 the arc direction is exchanged in the block passed on; a later
// block that programs no motion code inherits the code as programmed.
void TCNC_ABS::RestoreUnexchangedMotion(TCNC_Groups &G)
{
    if (FExchangedFrom != 0 && !G.GroupSet[gMotion])
        G.Groups[gMotion] = FExchangedFrom;
    FExchangedFrom = 0;
}

void TCNC_ABS::MakeIncrementalAbsolute(TCNC_Groups &G) const
{
    G.Words[wIncX] = 0;
    G.Words[wIncY] = 0;
    if (!IsIncremental(G))
        return;
    if (!IsPolar(G)) {
        // Canned cycles step repeated holes by the distances as programmed.
        G.Words[wIncX] = G.WordSet[wX] ? G.Words[wX] : 0;
        G.Words[wIncY] = G.WordSet[wY] ? G.Words[wY] : 0;
        if (G.WordSet[wX])
            G.Words[wX] += FPosition.X;
        if (G.WordSet[wY])
            G.Words[wY] += FPosition.Y;
    }
    // Inside a canned cycle Z is the hole depth and stays as programmed.
    if (G.WordSet[wZ] && !InCannedCycle(G))
        G.Words[wZ] += FPosition.Z;
    if (G.WordSet[wA])
        G.Words[wA] += FPosition.A;
    if (G.WordSet[wB])
        G.Words[wB] += FPosition.B;
    if (G.WordSet[wC])
        G.Words[wC] += FPosition.C;
}

// G16: X is the radius and Y the angle in degrees, about the program zero
// (G90) or about the position reached (G91). A polar block that gives only
// one of them keeps the other from the last polar block.
void TCNC_ABS::ApplyPolar(TCNC_Groups &G)
{
    if (G.WordSet[wX])
        FPolarRadius = G.Words[wX];
    const int Motion = G.Groups[gMotion];
    if (!IsPolar(G) || (Motion != 0 && Motion != 1))
        return;
    if (!G.WordSet[wX] && !G.WordSet[wY])
        return;
    if (G.WordSet[wY])
        FPolarAngle = G.Words[wY];
    const double Cx = IsIncremental(G) ? FPosition.X : 0;
    const double Cy = IsIncremental(G) ? FPosition.Y : 0;
    const double Angle = FPolarAngle * std::numbers::pi / 180;
    G.Words[wX] = Cx + FPolarRadius * std::cos(Angle);
    G.Words[wY] = Cy + FPolarRadius * std::sin(Angle);
    G.WordSet[wX] = true;
    G.WordSet[wY] = true;
}

// U, V, W are incremental forms of X, Y, Z: each moves its axis by its
// distance from where the block's X, Y, Z leave it (the position reached
// when the block does not program the axis), in G90 and G91 alike. The
// U, V, W words keep the absolute end point too.
void TCNC_ABS::ApplyUVW(TCNC_Groups &G) const
{
    const struct {
        int Incremental, Axis;
        double Reached;
    } Pairs[] = {{wU, wX, FPosition.X}, {wV, wY, FPosition.Y}, {wW, wZ, FPosition.Z}};
    for (const auto &P : Pairs) {
        if (!G.WordSet[P.Incremental])
            continue;
        const Extended From = G.WordSet[P.Axis] ? G.Words[P.Axis] : Extended(P.Reached);
        G.Words[P.Axis] = From + G.Words[P.Incremental];
        G.WordSet[P.Axis] = true;
        G.Words[P.Incremental] = G.Words[P.Axis];
    }
}

void TCNC_ABS::RestorePosition(TCNC_Groups &G) const
{
    const int Axes[] = {wX, wY, wZ, wA, wB, wC};
    for (int W : Axes)
        G.Words[W] = RememberedOf(FPosition, W);
}

// Axes the block does not program keep their modal values.
void TCNC_ABS::Remember(const TCNC_Groups &G)
{
    FPosition.X = G.Words[wX];
    FPosition.Y = G.Words[wY];
    FPosition.Z = G.Words[wZ];
    FPosition.A = G.Words[wA];
    FPosition.B = G.Words[wB];
    FPosition.C = G.Words[wC];
}

void TCNC_ABS::ResolveArc(TCNC_Groups &G)
{
    if (!IsArcMotion(G) || !ProgramsArcWord(G))
        return;
    if (FPlane == 18) {
        FExchangedFrom = G.Groups[gMotion];
        G.Groups[gMotion] = 5 - G.Groups[gMotion];
    }
    const int Motion = G.Groups[gMotion];
    const TPlaneWords Axes = PlaneWordsOf(FPlane);
    FStartFirst = RememberedOf(FPosition, Axes.First);
    FStartSecond = RememberedOf(FPosition, Axes.Second);
    FEndFirst = G.Words[Axes.First];
    FEndSecond = G.Words[Axes.Second];

    const bool ByRadius = G.WordSet[wR] || !ProgramsOffsets(G);
    const bool Resolved = ByRadius ? CentreFromRadius(G, Motion) : CentreFromOffsets(G);
    if (!Resolved)
        return;
    if (G.Groups[gRotation] == 68 && FPlane != 17) {
        G.WordSet[wArcUnresolved] = true;
        if (OnErrorEvent)
            OnErrorEvent(this, G.LineNumber, Mess().Translate("Rotation error"),
                         Mess().Translate("Cannot rotate arcs in current plane"));
        return;
    }
    WriteArc(G, Motion);
}

// The centre lies on the perpendicular through the chord's midpoint: to the
// right of the chord (seen from start to end) when R > 0 and G02, or R < 0
// and G03, else to the left. A positive R gives the arc of at most 180
// degrees, a negative R the longer one.
//
//          centre (G03, R > 0)
//              +
//   start o----+----o end        chord, half length c
//              +
//          centre (G02, R > 0)
bool TCNC_ABS::CentreFromRadius(TCNC_Groups &G, int Motion)
{
    const long double R = G.Words[wR];
    const long double AbsR = std::fabs(R);
    if (!(AbsR >= MinimumRadiusR && AbsR <= MaximumRadiusR)) {
        ReportArcError(G, MsgInvalidRadius);
        return false;
    }
    const long double Hx = (FEndFirst - FStartFirst) / 2;
    const long double Hy = (FEndSecond - FStartSecond) / 2;
    const long double C = std::sqrt(Hx * Hx + Hy * Hy);
    if (AbsR + ChordSlack < C) {
        ReportArcError(G, MsgBadArcEndPoint);
        return false;
    }
    FRadius = R;
    if (std::fabs(Hx) < SamePointLimit && std::fabs(Hy) < SamePointLimit) {
        FCentreFirst = FStartFirst + (Motion == 2 ? AbsR : -AbsR);
        FCentreSecond = FStartSecond;
        return true;
    }
    const long double Slack = AbsR + 1e-7L;
    const long double D = AbsR >= C ? std::sqrt(Slack * Slack - C * C) : 0;
    const long double Ux = Hx / C;
    const long double Uy = Hy / C;
    const bool Right = (R > 0) == (Motion == 2);
    FCentreFirst = FStartFirst + Hx + D * (Right ? Uy : -Uy);
    FCentreSecond = FStartSecond + Hy + D * (Right ? -Ux : Ux);
    return true;
}

bool TCNC_ABS::CentreFromOffsets(TCNC_Groups &G)
{
    const TPlaneWords Axes = PlaneWordsOf(FPlane);
    const long double OffFirst = G.WordSet[Axes.CentreFirst] ? G.Words[Axes.CentreFirst] : 0;
    const long double OffSecond = G.WordSet[Axes.CentreSecond] ? G.Words[Axes.CentreSecond] : 0;
    const long double Radius = std::sqrt(OffFirst * OffFirst + OffSecond * OffSecond);
    if (!(Radius >= MinimumRadiusIJK)) {
        ReportArcError(G, MsgInvalidRadius);
        return false;
    }
    FCentreFirst = FStartFirst + OffFirst;
    FCentreSecond = FStartSecond + OffSecond;
    const long double Ex = FEndFirst - FCentreFirst;
    const long double Ey = FEndSecond - FCentreSecond;
    const long double EndRadius = std::sqrt(Ex * Ex + Ey * Ey);
    if (!(std::fabs(EndRadius - Radius) <= EndPointTolerance)) {
        ReportArcError(G, MsgBadArcEndPoint);
        return false;
    }
    FRadius = Radius;
    return true;
}

void TCNC_ABS::WriteArc(TCNC_Groups &G, int Motion)
{
    long double StartAngle = AngleDegrees(static_cast<double>(FStartFirst - FCentreFirst),
                                          static_cast<double>(FStartSecond - FCentreSecond));
    long double EndAngle = AngleDegrees(static_cast<double>(FEndFirst - FCentreFirst),
                                        static_cast<double>(FEndSecond - FCentreSecond));
    long double Sweep = 0;
    if (ProgramsOffsets(G) && CircularGap(StartAngle, EndAngle) < FullCircleAngle) {
        Sweep = Motion == 2 ? 360 : -360; // start = end with a centre: a full circle
    } else if (Motion == 2) {
        if (StartAngle < EndAngle)
            StartAngle += 360;
        Sweep = std::fabs(StartAngle - EndAngle);
    } else {
        if (StartAngle > EndAngle)
            EndAngle += 360;
        Sweep = -std::fabs(StartAngle - EndAngle);
    }

    if (FPlane == 18) {
        G.Words[wI] = FCentreFirst;
        G.Words[wJ] = FPosition.Y;
        G.Words[wK] = FCentreSecond;
    } else if (FPlane == 19) {
        G.Words[wI] = FPosition.X;
        G.Words[wJ] = FCentreFirst;
        G.Words[wK] = FCentreSecond;
    } else {
        G.Words[wI] = FCentreFirst;
        G.Words[wJ] = FCentreSecond;
        G.Words[wK] = FPosition.Z;
    }
    G.Words[wRadius] = FRadius;
    G.WordSet[wRadius] = true;
    G.Words[wSweep] = Sweep;
}

void TCNC_ABS::ReportArcError(TCNC_Groups &G, int Message)
{
    G.WordSet[wArcUnresolved] = true;
    ReportError(G.LineNumber, Mess().MessageText(MsgRadius), Mess().MessageText(Message));
}

} // namespace orv
