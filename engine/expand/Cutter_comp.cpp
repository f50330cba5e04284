#include "engine/expand/Cutter_comp.h"

#include "engine/core/Mess.h"
#include "engine/chain/StageBlocks.h"
#include "engine/chain/Vectors.h"
#include "machine/Machine_Tooling.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace orv {

namespace {

constexpr int msgCompensationError = 42;
constexpr int msgNoMovement = 43;
constexpr int msgArcStartOrEnd = 44;
constexpr int msgZeroOffset = 46;

TPoint2D operator+(const TPoint2D &A, const TPoint2D &B) { return {A.X + B.X, A.Y + B.Y}; }
TPoint2D operator-(const TPoint2D &A, const TPoint2D &B) { return {A.X - B.X, A.Y - B.Y}; }
TPoint2D operator*(const TPoint2D &V, double S) { return {V.X * S, V.Y * S}; }

double Cross(const TPoint2D &A, const TPoint2D &B) { return A.X * B.Y - A.Y * B.X; }
double Dot(const TPoint2D &A, const TPoint2D &B) { return A.X * B.X + A.Y * B.Y; }

// Lines closer to parallel than this have no usable intersection.
bool IsParallel(const TPoint2D &D1, const TPoint2D &D2)
{
    return std::fabs(Cross(D1, D2)) < 0.0001;
}

using TPlaneAxes = TCutter_comp::TPlaneAxes;

TPoint3D End3D(const TCNC_Groups &Block)
{
    return {WordValue(Block, wX), WordValue(Block, wY), WordValue(Block, wZ)};
}
TPoint3D Centre3D(const TCNC_Groups &Block)
{
    return {WordValue(Block, wI), WordValue(Block, wJ), WordValue(Block, wK)};
}

// Unit vector from B to A with its length; zero below 0.0001 mm.
TPoint2D UnitFrom(const TPoint2D &B, const TPoint2D &A, double &Len)
{
    TPoint2D D;
    Direction2D(D, A, B, Len);
    return D;
}

TPoint2D UnitFrom(const TPoint2D &B, const TPoint2D &A)
{
    double Len = 0;
    return UnitFrom(B, A, Len);
}

bool ProgramsPlane(const TCNC_Groups &Block, const TPlaneAxes &Plane)
{
    return Block.WordSet[Plane.First] || Block.WordSet[Plane.Second];
}

// A straight move that travels in the plane (not only along its normal).
bool IsStraightMove(const TCNC_Groups &Block, const TPlaneAxes &Plane)
{
    return ProgramsPlane(Block, Plane) && IsStraightMotion(Block);
}

bool IsArcMove(const TCNC_Groups &Block, const TPlaneAxes &Plane)
{
    return (ProgramsPlane(Block, Plane) || Block.WordSet[wRadius]) && IsArcMotion(Block);
}

bool IsArcMove(const TCNC_Groups &Block)
{
    return IsArcMove(Block, TCutter_comp::PlaneAxesOf(Block));
}

// Index of an axis word (X, Y, Z) in the remembered positions.
int AxisIndex(int Word) { return Word - wX; }

bool IsFeedMove(const TCNC_Groups &Block)
{
    const int Motion = Block.Groups[gMotion];
    return Motion >= 1 && Motion <= 3;
}

// Offset normal of a straight move: left of travel for G41 (side 1), right
// for G42 (side 2).
TPoint2D OffsetNormal(const TPoint2D &Direction, int Side)
{
    TPoint2D N;
    Perpendicular2D(N, Direction, Side == 2);
    return N;
}

TPoint2D Intersection(const TPoint2D &P1, const TPoint2D &D1, const TPoint2D &P2,
                      const TPoint2D &D2)
{
    TPoint2D P;
    IntersectLines2D(P, P1, D1, P2, D2);
    return P;
}

// Direction against an arc's travel at a point whose radial unit vector
// (towards the centre) is U.
TPoint2D BackTangent(const TPoint2D &U, bool Clockwise)
{
    return Clockwise ? TPoint2D{U.Y, -U.X} : TPoint2D{-U.Y, U.X};
}

// Where an offset straight line meets an offset circle: the foot of the
// perpendicular from the centre, moved along the line by sqrt|R'^2 - d^2|
// (a point also when the line misses the circle).
TPoint2D LineCircleMeeting(const TPoint2D &OnLine, const TPoint2D &Direction,
                           const TPoint2D &Centre, double OffsetRadius, bool TowardsStart)
{
    const TPoint2D Foot = OnLine + Direction * Dot(Centre - OnLine, Direction);
    const double D = std::hypot(Centre.X - Foot.X, Centre.Y - Foot.Y);
    const double Along = std::sqrt(std::fabs(OffsetRadius * OffsetRadius - D * D));
    return Foot + Direction * (TowardsStart ? -Along : Along);
}

// A crossing point of two circles: from the first centre towards the second
// by G, then across by sqrt|R1^2 - G^2|, turned clockwise or not. Circles
// that do not reach each other (or share their centre) leave P unchanged.
void CircleCrossing(TPoint2D &P, const TPoint2D &C1, double R1, const TPoint2D &C2, double R2,
                    bool Clockwise)
{
    double Apart = 0;
    const TPoint2D D = UnitFrom(C1, C2, Apart);
    if (Apart == 0 || R1 + R2 < Apart)
        return;
    const double G = (Apart * Apart + R1 * R1 - R2 * R2) / (2 * Apart);
    TPoint2D Across;
    Perpendicular2D(Across, D, Clockwise);
    P = C1 + D * G + Across * std::sqrt(std::fabs(R1 * R1 - G * G));
}

double IntoTurn(double Angle)
{
    return Angle < 0 ? Angle + 360 : Angle;
}

double ArcTurn(bool Clockwise) { return Clockwise ? 90 : -90; }

// Corner kinds: 1 the offset elements meet, 2 they are joined through the
// tangent intersection, 3 an outside corner rounded by two inserted moves.
int StraightArcKind(int Side, double H, bool Clockwise)
{
    if (Side == 1)
        return (H >= 90 && H < 180) ? 2 : (H < 90 ? 3 : 1);
    const bool Two = Clockwise ? (H >= 180 && H <= 270) : (H > 180 && H <= 270);
    return Two ? 2 : (H > 270 ? 3 : 1);
}

int ArcArcKind(int Side, double H, bool Clockwise)
{
    if (Side == 2)
        return (H >= 90 && H < 180) ? 2 : (H < 90 ? 3 : 1);
    const bool Two = Clockwise ? (H >= 180 && H <= 270) : (H > 180 && H <= 270);
    return Two ? 2 : (H > 270 ? 3 : 1);
}

} // namespace

// An arc as compensation sees it: centre, radius, direction, and the offset
// amount M (+r when the tool runs inside the arc, -r outside) with the
// offset radius R - M.
struct TCutter_comp::TArcShape {
    TPoint2D Centre;
    double Radius = 0;
    bool Clockwise = true;
    double M = 0;
    double OffsetRadius = 0;

    TPoint2D Radial(const TPoint2D &P) const { return UnitFrom(P, Centre); }
    TPoint2D OffsetPoint(const TPoint2D &P) const { return P + Radial(P) * M; }
    TPoint2D Back(const TPoint2D &P) const { return BackTangent(Radial(P), Clockwise); }
};

// The element a block is joined to: the next straight move (a G40 block or
// the end of the program counting as one) or the next arc.
struct TCutter_comp::TJoin {
    const TCNC_Groups *Next = nullptr;
    bool NextIsArc = false;
    TPoint2D P2; // programmed end of the next straight move
};

TCutter_comp::TCutter_comp(TComponent *Owner) : TBase_cnc(Owner) {}

TCutter_comp::~TCutter_comp() = default;

TCutter_comp::TPlaneAxes TCutter_comp::PlaneAxesOf(const TCNC_Groups &Block)
{
    switch (Block.Groups[gPlane]) {
    case 18:
        return {wX, wZ, wI, wK, true};
    case 19:
        return {wY, wZ, wJ, wK, false};
    default:
        return {};
    }
}

void TCutter_comp::SetLookAhead(int Value)
{
    FLookAhead = Value < MinimumLookAhead ? MinimumLookAhead : Value;
}

TCNC_Groups *TCutter_comp::Next()
{
    if (Stopped)
        return nullptr;
    while (FOutput.empty()) {
        if (!OnNextCompNotify)
            return nullptr;
        // The block is worked on where it lies: one that goes on alone
        // needs no copy through the output queue.
        TCNC_Groups &Block = Primed ? Advance() : Prime();
        if (Compensate(Block))
            return &Block;
    }
    // Taken out, the record stays in its slot until the queue fills it again
    // (not before the next call).
    TCNC_Groups &Front = FOutput.front();
    FOutput.pop_front();
    return &Front;
}

void TCutter_comp::GetNext(TCNC_Groups &Data)
{
    if (TCNC_Groups *Block = Next())
        Data = std::move(*Block);
}

// First request of a run: one block to work on and a full window behind it.
TCNC_Groups &TCutter_comp::Prime()
{
    Primed = true;
    FWindow.clear();
    FWindow.reserve(FLookAhead + 1);
    PullBlock(FFirst, [&] { OnNextCompNotify(this, FFirst); });
    while (static_cast<int>(FWindow.size()) < FLookAhead)
        PullIntoWindow();
    return FFirst;
}

// The window's first block leaves it and is worked on in its slot, which the
// window, kept one slot larger than the look-ahead, fills again only at the
// next call.
TCNC_Groups &TCutter_comp::Advance()
{
    FWindow.reserve(FLookAhead + 1);
    TCNC_Groups &Block = FWindow.front();
    FWindow.pop_front();
    while (static_cast<int>(FWindow.size()) < FLookAhead)
        PullIntoWindow();
    return Block;
}

// A block joins the window's end and the corner it makes with the two before
// it is rated.
void TCutter_comp::PullIntoWindow()
{
    TCNC_Groups &Block = FWindow.push_back_reused();
    PullBlock(Block, [&] { OnNextCompNotify(this, Block); });
    const int Size = static_cast<int>(FWindow.size());
    if (Size >= 3)
        RateCorner(Size - 2);
}

// The corner at the end of the middle block. Directions point at the middle
// block's end from the earlier end and from the later end (an arc uses its
// centre instead), so a straight run on gives 180 degrees between them.
void TCutter_comp::RateCorner(int Middle)
{
    const TCNC_Groups &Earlier = FWindow[Middle - 1];
    TCNC_Groups &Mid = FWindow[Middle];
    TCNC_Groups &Later = FWindow[Middle + 1];
    const bool MidArc = IsArcMove(Mid), LaterArc = IsArcMove(Later);
    const TPoint3D Corner = End3D(Mid);
    const TPoint3D From = MidArc ? Centre3D(Mid) : End3D(Earlier);
    const TPoint3D To = LaterArc ? Centre3D(Later) : End3D(Later);
    const TPoint3D D1{Corner.X - From.X, Corner.Y - From.Y, Corner.Z - From.Z};
    const TPoint3D D2{Corner.X - To.X, Corner.Y - To.Y, Corner.Z - To.Z};
    double Angle = RadToDeg(AngleBetween3D(D1, D2));
    if (!MidArc && !LaterArc)
        Angle = std::fabs(180 - std::fabs(Angle));
    if (MidArc)
        Angle = std::fabs(90 - std::fabs(Angle));
    if (LaterArc)
        Angle = std::fabs(90 - std::fabs(Angle));
    Mid.MoveLength = Distance3D(From, Corner);
    Later.MoveLength = Distance3D(LaterArc ? Centre3D(Later) : Corner, End3D(Later));
    Mid.CornerAngle = Angle;
    LimitContourFeed(Mid);
    LimitContourFeed(Later);
    if (RunsOn(Mid, Later, Angle))
        Mid.LookAheadMark = true;
    else
        StopBefore(Middle);
}

void TCutter_comp::LimitContourFeed(TCNC_Groups &Block) const
{
    if (FTurboMode && IsFeedMove(Block) && Block.Words[wF] > ContourFeed)
        Block.Words[wF] = ContourFeed - 1;
}

// The machine may run through the corner without stopping when the later
// block changes no feed, speed or M function, both are feed moves, the
// corner is gentle enough, and Z does not start or stop against an arc.
bool TCutter_comp::RunsOn(const TCNC_Groups &Middle, const TCNC_Groups &Later,
                          double Angle) const
{
    const bool LaterChanges = Later.WordSet[wF] || Later.WordSet[wS] || Later.WordSet[wM];
    const bool BothFeed = IsFeedMove(Middle) && IsFeedMove(Later);
    const bool Gentle = Angle < ContourAngle || Angle >= 180 || ControlType == 7;
    const bool ZAgainstArc = (Middle.WordSet[wZ] && IsArcMove(Later)) ||
                             (IsArcMove(Middle) && Later.WordSet[wZ]);
    return !LaterChanges && BothFeed && Gentle && !ZAgainstArc;
}

// The machine stops at the corner: the block ending there and the blocks
// before it lose their run-on mark until one is long enough to brake in
// (feed x braking time / 60 mm); that one loses it too.
void TCutter_comp::StopBefore(int Middle)
{
    for (int Index = Middle; Index >= 0; --Index) {
        TCNC_Groups &Block = FWindow[Index];
        Block.LookAheadMark = false;
        const double Braking = WordValue(Block, wF) * ShortestTime / 60;
        if (Block.MoveLength > Braking)
            return;
    }
}

bool TCutter_comp::Compensate(TCNC_Groups &Block)
{
    if (IsEndOfProgram(Block))
        return true;
    int Side = Block.Groups[gCutterComp] - 40;
    if (Side < 0 || Side > 2)
        Side = 0;
    CurrentComp = static_cast<TComp_type>(Side);
    FPlane = PlaneAxesOf(Block);
    const bool Arc = IsArcMove(Block, FPlane);
    CheckSwitches(Block, Arc);
    if (Side != 0 && (Arc || IsStraightMove(Block, FPlane)))
        return CompensateMove(Block, Side, Arc);
    PassUnchanged(Block, Side);
    return true;
}

// G41/G42 on a straight move starts compensation, G40 cancels it; neither
// may be programmed on an arc.
void TCutter_comp::CheckSwitches(const TCNC_Groups &Block, bool Arc)
{
    if (!Block.GroupSet[gCutterComp])
        return;
    if (Arc) {
        ReportComp(Block, msgArcStartOrEnd);
        return;
    }
    if (IsStraightMotion(Block))
        FState = Block.Groups[gCutterComp] == 40 ? 2 : 0;
}

// A block without movement in the plane keeps the offset position, so that
// a move along the plane's normal (Z in G17) under compensation does not
// lose the offset.
void TCutter_comp::PassUnchanged(TCNC_Groups &Block, int Side)
{
    Remember(Block);
    if (Side != 0) {
        Block.Words[FPlane.First] = FCompensated[AxisIndex(FPlane.First)];
        Block.Words[FPlane.Second] = FCompensated[AxisIndex(FPlane.Second)];
    } else {
        std::copy(std::begin(FProgrammed), std::end(FProgrammed), std::begin(FCompensated));
    }
}

TPoint2D TCutter_comp::EndOf(const TCNC_Groups &Block) const
{
    return {WordValue(Block, FPlane.First), WordValue(Block, FPlane.Second)};
}

TPoint2D TCutter_comp::Programmed() const
{
    return {FProgrammed[AxisIndex(FPlane.First)], FProgrammed[AxisIndex(FPlane.Second)]};
}

void TCutter_comp::Remember(const TCNC_Groups &Block)
{
    for (int Word : {wX, wY, wZ})
        FProgrammed[AxisIndex(Word)] = WordValue(Block, Word);
}

// The point's two coordinates into the block's plane axes, marked present.
void TCutter_comp::SetPlanePoint(TCNC_Groups &Block, const TPoint2D &P) const
{
    Block.Words[FPlane.First] = P.X;
    Block.Words[FPlane.Second] = P.Y;
    Block.WordSet[FPlane.First] = true;
    Block.WordSet[FPlane.Second] = true;
}

double TCutter_comp::ToolRadius(const TCNC_Groups &Block)
{
    double Diameter = Tooling ? Tooling->CurrentDiameter : 0;
    if (!(Diameter > 0)) {
        ReportComp(Block, msgZeroOffset);
        Diameter = 0;
    }
    CompensationAmount = Diameter / 2;
    return CompensationAmount;
}

bool TCutter_comp::CompensateMove(TCNC_Groups &Block, int Side, bool Arc)
{
    FSide = FPlane.SidesSwapped ? 3 - Side : Side;
    FRadius = ToolRadius(Block);
    if (FState == 0 && Arc && !Block.GroupSet[gCutterComp]) {
        ReportComp(Block, msgNoMovement);
        FState = 1;
    }
    double Length = 0;
    UnitFrom(Programmed(), EndOf(Block), Length);
    if (!Arc && Length == 0) {
        // No travel in the plane: the block stays on the offset path.
        Block.Words[FPlane.First] = FCompensated[AxisIndex(FPlane.First)];
        Block.Words[FPlane.Second] = FCompensated[AxisIndex(FPlane.Second)];
        return true;
    }
    TJoin Join;
    if (FindNext(Join, Block)) {
        if (!Arc)
            Join.NextIsArc ? JoinStraightArc(Block, Join) : JoinStraightStraight(Block, Join);
        else
            Join.NextIsArc ? JoinArcArc(Block, Join) : JoinArcStraight(Block, Join);
    }
    Remember(Block);
    return false;
}

// The first element of the window the block is joined to. A G40 block ends
// the search as the next straight move; so does the end of the program,
// whose compensated blocks end on their own offset line.
bool TCutter_comp::FindNext(TJoin &Join, const TCNC_Groups &Block) const
{
    for (const TCNC_Groups &Next : FWindow) {
        if (ProgramsGroup(Next, gCutterComp, 40)) {
            Join = {&Next, false, EndOf(Next)};
            return true;
        }
        if (IsEndOfProgram(Next)) {
            Join = {&Next, false, EndOf(Block)};
            return true;
        }
        if (IsStraightMove(Next, FPlane) || IsArcMove(Next, FPlane)) {
            Join = {&Next, IsArcMove(Next, FPlane), EndOf(Next)};
            return true;
        }
    }
    return false;
}

//   inside corner (one block)        outside corner sharper than 90 degrees
//   ----------+                      ----------+ . +   the offset end carried
//             |                                |       on by r, then the next
//   ------+   |                      ------+   .       line's offset start
//         |   |                            |   +       moved back by r
void TCutter_comp::JoinStraightStraight(const TCNC_Groups &Block, const TJoin &Join)
{
    const double R = FRadius;
    const TPoint2D P0 = Programmed(), P1 = EndOf(Block), P2 = Join.P2;
    const TPoint2D D1 = UnitFrom(P0, P1);
    const TPoint2D N1 = OffsetNormal(D1, FSide);
    double NextLength = 0;
    const TPoint2D D2 = UnitFrom(P1, P2, NextLength);
    const TPoint2D N2 = NextLength > 0 ? OffsetNormal(D2, FSide) : N1;
    const double Turn =
        NextLength > 0 ? CornerTurnAngle(P0.X, P0.Y, P1.X, P1.Y, P2.X, P2.Y) : 180;
    const bool Inside = (FSide == 1 && Turn < 0) || (FSide == 2 && Turn > 0);
    if (Inside || std::fabs(Turn) >= 90) {
        TPoint2D End = P1 + N2 * R;
        if (FState == 2)
            End = P1 + N1 * R;
        else if (FState == 1 && Turn != 180 && NextLength > 0 && !IsParallel(D1, D2))
            End = Intersection(P0 + N1 * R, D1, P1 + N2 * R, D2);
        EmitStraight(Block, End, 0, false);
    } else {
        EmitStraight(Block, P1 + N1 * R + D1 * R, 1, true);
        EmitStraight(Block, P1 + N2 * R - D2 * R, 0, true);
    }
    if (FState == 0)
        FState = 1;
}

void TCutter_comp::JoinStraightArc(const TCNC_Groups &Block, const TJoin &Join)
{
    const double R = FRadius;
    const TPoint2D P0 = Programmed(), P1 = EndOf(Block);
    const TPoint2D D1 = UnitFrom(P0, P1);
    const TPoint2D OffsetEnd = P1 + OffsetNormal(D1, FSide) * R;
    const TArcShape Arc = ArcShape(*Join.Next);
    const TPoint2D A = Arc.OffsetPoint(P1), Back = Arc.Back(P1);
    const double Turn = CornerTurnAngle(P0.X, P0.Y, P1.X, P1.Y, Arc.Centre.X, Arc.Centre.Y);
    switch (StraightArcKind(FSide, IntoTurn(Turn + ArcTurn(Arc.Clockwise)), Arc.Clockwise)) {
    case 1: {
        const bool TowardsStart = (FSide == 1) == Arc.Clockwise;
        EmitStraight(Block,
                     LineCircleMeeting(OffsetEnd, D1, Arc.Centre, Arc.OffsetRadius, TowardsStart),
                     0, false);
        break;
    }
    case 2:
        if (!IsParallel(D1, Back))
            EmitStraight(Block, Intersection(OffsetEnd, D1, A, Back), 0, false);
        EmitStraight(Block, A, 1, true);
        break;
    default:
        // Round the outside corner, then step onto the arc's offset start so
        // that the arc begins on its own offset circle.
        EmitStraight(Block, OffsetEnd + D1 * R, 1, true);
        EmitStraight(Block, A + Back * R, 0, true);
        EmitStraight(Block, A, 0, true);
        break;
    }
    if (FState == 0)
        FState = 1;
}

void TCutter_comp::JoinArcStraight(const TCNC_Groups &Block, const TJoin &Join)
{
    const double R = FRadius;
    const TPoint2D P1 = EndOf(Block);
    const TArcShape Arc = ArcShape(Block);
    const TPoint2D E = Arc.OffsetPoint(P1), Back = Arc.Back(P1);
    double NextLength = 0;
    const TPoint2D D2 = UnitFrom(P1, Join.P2, NextLength);
    if (NextLength == 0) {
        EmitArc(Block, E, Arc); // nothing follows on the XY path
        return;
    }
    const TPoint2D S = P1 + OffsetNormal(D2, FSide) * R;
    const double Turn = CornerTurnAngle(Arc.Centre.X, Arc.Centre.Y, P1.X, P1.Y, Join.P2.X,
                                        Join.P2.Y);
    switch (StraightArcKind(FSide, IntoTurn(Turn + ArcTurn(Arc.Clockwise)), Arc.Clockwise)) {
    case 1: {
        const bool TowardsStart = (FSide == 1) != Arc.Clockwise;
        EmitArc(Block, LineCircleMeeting(S, D2, Arc.Centre, Arc.OffsetRadius, TowardsStart), Arc);
        break;
    }
    case 2:
        EmitArc(Block, E, Arc);
        if (!SamePoint2D(E, S) && !IsParallel(Back, D2))
            EmitStraight(*Join.Next, Intersection(E, Back, S, D2), 1, true);
        break;
    default:
        EmitArc(Block, E, Arc);
        EmitStraight(*Join.Next, E - Back * R, 1, true);
        EmitStraight(*Join.Next, S - D2 * R, 0, true);
        break;
    }
}

void TCutter_comp::JoinArcArc(const TCNC_Groups &Block, const TJoin &Join)
{
    const double R = FRadius;
    const TPoint2D P1 = EndOf(Block);
    const TArcShape This = ArcShape(Block), Next = ArcShape(*Join.Next);
    const TPoint2D E = This.OffsetPoint(P1), S = Next.OffsetPoint(P1);
    const TPoint2D Back1 = This.Back(P1), Back2 = Next.Back(P1);
    double H = CornerTurnAngle(This.Centre.X, This.Centre.Y, P1.X, P1.Y, Next.Centre.X,
                               Next.Centre.Y);
    H = IntoTurn(H + ArcTurn(This.Clockwise) + ArcTurn(Next.Clockwise));
    if (This.Clockwise || Next.Clockwise)
        H = 360 - H;
    switch (ArcArcKind(FSide, H, This.Clockwise)) {
    case 1: {
        // Crossing of the two offset circles on the side the path runs.
        const bool Clockwise = (FSide == 1) != (This.Clockwise == Next.Clockwise);
        TPoint2D Crossing = E;
        CircleCrossing(Crossing, This.Centre, This.OffsetRadius, Next.Centre, Next.OffsetRadius,
                       Clockwise);
        EmitArc(Block, Crossing, This);
        break;
    }
    case 2:
        EmitArc(Block, E, This);
        if (!SamePoint2D(E, S) && !IsParallel(Back1, Back2))
            EmitStraight(*Join.Next, Intersection(E, Back1, S, Back2), 1, true);
        break;
    default:
        EmitArc(Block, E, This);
        EmitStraight(*Join.Next, E - Back1 * R, 1, true);
        EmitStraight(*Join.Next, S + Back2 * R, 0, true);
        EmitStraight(*Join.Next, S, 0, true);
        break;
    }
}

TCutter_comp::TArcShape TCutter_comp::ArcShape(const TCNC_Groups &Arc) const
{
    TArcShape Shape;
    Shape.Centre = {WordValue(Arc, FPlane.CentreFirst), WordValue(Arc, FPlane.CentreSecond)};
    Shape.Radius = std::fabs(WordValue(Arc, wRadius));
    Shape.Clockwise = IsClockwise(Arc);
    const bool Inside = (FSide == 1) != Shape.Clockwise;
    Shape.M = Inside ? FRadius : -FRadius;
    Shape.OffsetRadius = Shape.Radius - Shape.M;
    return Shape;
}

// Every compensated straight block leaves as a G01 feed move, a rapid one
// included; inserted corner moves carry their own move text.
void TCutter_comp::EmitStraight(const TCNC_Groups &Template, const TPoint2D &P, int Mark,
                                bool Inserted)
{
    FOutput.push_back(Template);
    TCNC_Groups &Out = FOutput.back();
    SetPlanePoint(Out, P);
    Out.Words[wG] = 1;
    Out.WordSet[wG] = true;
    Out.Groups[gMotion] = 1;
    Out.GeneratedMark = Mark == 1;
    if (Inserted) {
        double Axes[3] = {NoValue, NoValue, NoValue};
        Axes[AxisIndex(FPlane.First)] = P.X;
        Axes[AxisIndex(FPlane.Second)] = P.Y;
        Out.GeneratedText =
            FormatMoveText(1, IsMetricBlock(Out), Axes[0], Axes[1], Axes[2], NoValue);
    }
    FCompensated[AxisIndex(FPlane.First)] = P.X;
    FCompensated[AxisIndex(FPlane.Second)] = P.Y;
}

// An arc keeps its centre, sweep and direction; it ends at P on its offset
// circle and its radius word grows or shrinks by the offset (sign kept).
void TCutter_comp::EmitArc(const TCNC_Groups &Arc, const TPoint2D &P, const TArcShape &Shape)
{
    FOutput.push_back(Arc);
    TCNC_Groups &Out = FOutput.back();
    SetPlanePoint(Out, P);
    const Extended Radius = Arc.Words[wRadius];
    Out.Words[wRadius] = Radius >= 0 ? Radius - Shape.M : Radius + Shape.M;
    Out.WordSet[wRadius] = true;
    Out.GeneratedMark = false;
    FCompensated[AxisIndex(FPlane.First)] = P.X;
    FCompensated[AxisIndex(FPlane.Second)] = P.Y;
}

void TCutter_comp::ReportComp(const TCNC_Groups &Block, int Message)
{
    ReportError(Block.LineNumber, Mess().MessageText(msgCompensationError),
                Mess().MessageText(Message));
}

} // namespace orv
