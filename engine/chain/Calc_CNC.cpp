#include "engine/chain/Calc_CNC.h"

#include "engine/chain/CNC_ABS.h"
#include "engine/core/Mess.h"
#include "engine/chain/StageBlocks.h"
#include "platform/EventLoop.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <typeinfo>
#include <utility>
#include <vector>

namespace orv {

namespace {

constexpr int MsgValueNotAcceptable = 2;

// Motion codes of the records this stage makes.
constexpr int MotionDwell = 4;
constexpr int MotionHome = 28;
constexpr int MotionSetPosition = 92;
constexpr int MotionBillet = -1;
constexpr int MotionToolDef = -3;
constexpr int MotionStep = -4;
constexpr int MotionNoStep = -5;
constexpr int MotionEdgeMove = -6;
constexpr int MotionQuestion = -11;
constexpr int MotionMessage = -12;
constexpr int MotionClear = -13;

// Bracket keyword indexes.
constexpr int KeyBillet = 0, KeyEdgeMove = 1, KeyToolDef = 2, KeyClear = 3, KeyStep = 4,
              KeyNoStep = 5;

bool IsMove(int Motion)
{
    return Motion >= 0 && Motion <= 3;
}
bool IsArc(int Motion)
{
    return Motion == 2 || Motion == 3;
}

bool ProgramsAnyAxis(const TCNC_Groups &G)
{
    const int Axes[] = {wX, wY, wZ, wA, wB, wC};
    for (int W : Axes) {
        if (G.WordSet[W])
            return true;
    }
    return false;
}

double WordOrNone(const TCNC_Groups &G, int Word)
{
    return G.WordSet[Word] ? static_cast<double>(G.Words[Word]) : NoValue;
}

// Scaling settings are kept in single precision; a value beyond its range
// would turn every scaled coordinate into infinity.
float ToSingle(Extended Value, float Fallback)
{
    const bool Fits = std::fabs(Value) <= std::numeric_limits<float>::max();
    return Fits ? static_cast<float>(Value) : Fallback;
}

int RoundCode(Extended Value)
{
    return Round(Value, NoMoveCode);
}

// Mirror, rotation and scaling act on finished moves only: a dwell time or
// an event's values are no coordinates.
bool IsTransformable(const TCNC_data &Rec, const TCNC_Groups &G)
{
    return IsMove(Rec.Motion) && IsMove(G.Groups[gMotion]);
}

void ReverseArc(TCNC_data &Rec, TCNC_Groups &G)
{
    if (!IsArc(Rec.Motion))
        return;
    Rec.Motion = 5 - Rec.Motion;
    G.Groups[gMotion] = 5 - G.Groups[gMotion];
    Rec.Sweep = -Rec.Sweep;
}

// Event codes a block carries besides its move, in the order they are
// handed out: feed mode, operator message, work offset.
std::vector<int> EventCodesOf(const TCNC_Groups &G)
{
    std::vector<int> Codes;
    if (ProgramsGroup(G, gFeedMode, 94) || ProgramsGroup(G, gFeedMode, 95))
        Codes.push_back(G.Groups[gFeedMode]);
    if (G.WordSet[wMessage])
        Codes.push_back(MotionMessage);
    else if (G.WordSet[wQuestion])
        Codes.push_back(MotionQuestion);
    if (G.GroupSet[gWorkOffset] && G.Groups[gWorkOffset] >= 54 && G.Groups[gWorkOffset] <= 59)
        Codes.push_back(G.Groups[gWorkOffset]);
    return Codes;
}

// An event handed out ahead of the move carries no end point, M code or
// tool, so that nothing reads it as a move or runs the M code twice.
TCNC_data EventRecord(const TCNC_data &Move, int Code)
{
    TCNC_data Event = Move;
    Event.Motion = Code;
    Event.X = Event.Y = Event.Z = Event.FourthAxis = NoValue;
    Event.I = Event.J = Event.K = NoValue;
    Event.MCode = NoMoveCode;
    Event.Tool = NoMoveCode;
    Event.Sweep = 0;
    Event.Radius = 0;
    return Event;
}

} // namespace

bool TCalc_CNC::GetNextData(TCNC_data &Data)
{
    if (Stopped) {
        FResult = false;
        return true;
    }
    if (FCount == 0)
        NotifyNext();
    if (FCount < 0) {
        FResult = false;
        return false;
    }
    // The queue is a ring: a slot handed out holds what the move left of
    // its record until a record is pushed into it again, so an empty queue
    // hands out an empty record.
    TCNC_data &first = Slot(0);
    if (FCount == 0)
        first = TCNC_data();
    // The end stays in its slot for the next ask; a plain record takes any
    // other by move, and a record of another kind refuses it as Assign does.
    const bool end = first.Motion == EndOfProgramCode || first.LineNumber < 0;
    if (!end && typeid(Data) == typeid(TCNC_data))
        Data = std::move(first);
    else
        Data.Assign(first);
    if (end) {
        FResult = false;
        return false;
    }
    FFirst = (FFirst + 1) % QueueSize;
    --FCount;
    if (FCount < 0)
        FResult = false;
    return FResult;
}

bool TCalc_CNC::Calculate(TCNC_Groups &Groups)
{
    // The consumers take the queued records, and a stop comes, by messages:
    // the wait sleeps between them.
    while (FCount > 0 && !Stopped)
        EventLoop().WaitForMessages();
    if (FCount != 0)
        ClearQueue(); // left over from a run that was stopped

    TCNC_data Rec;
    FillHeader(Rec, Groups);
    FillMove(Rec, Groups);
    if (Groups.GroupSet[gKeyword])
        FillKeyword(Rec, Groups);
    FillModal(Rec, Groups);
    Rec.Plane = Groups.Groups[gPlane];
    ApplyMirror(Rec, Groups);
    ApplyRotation(Rec, Groups);
    ApplyScaling(Rec, Groups);
    Remember(Groups);

    // An arc that failed its checks has no valid centre, and a value beyond
    // the range of a coordinate is no place to go: nothing may draw or run it.
    const bool ValuesUsable = CheckValues(Rec);
    if (Groups.WordSet[wArcUnresolved] || !ValuesUsable) {
        Rec.Motion = NoMoveCode;
        Push(std::move(Rec));
        return true;
    }
    std::vector<int> Events = EventCodesOf(Groups);
    if (Rec.Motion == NoMoveCode && !Events.empty()) {
        Rec.Motion = Events.back(); // the event is the block's record
        Events.pop_back();
    }
    for (int Code : Events)
        Push(EventRecord(Rec, Code));
    Push(std::move(Rec));
    return true;
}

void TCalc_CNC::ClearQueue()
{
    FSlots.fill(TCNC_data());
    FCount = 0;
    FFirst = 0;
}

void TCalc_CNC::Rewind()
{
    FLastX = FLastY = FLastZ = 0;
    FLastA = FLastB = FLastC = 0;
}

void TCalc_CNC::FillHeader(TCNC_data &Rec, const TCNC_Groups &G) const
{
    Rec.Motion = NoMoveCode;
    Rec.LineNumber = G.LineNumber;
    Rec.InputPosition = G.InputPosition;
    Rec.Level = G.Level;
    Rec.Text = G.RestOfLine;
    Rec.MoveLength = G.MoveLength;
    Rec.CornerAngle = G.CornerAngle;
}

// End point, arc data, dwell, reference return and set position.
bool TCalc_CNC::FillMove(TCNC_data &Rec, const TCNC_Groups &G) const
{
    if (!ProgramsAnyAxis(G) && !G.WordSet[wRadius] && !G.WordSet[wP])
        return false;
    const int Motion = G.Groups[gMotion];
    if (IsMove(Motion)) {
        Rec.X = WordOrNone(G, wX);
        Rec.Y = WordOrNone(G, wY);
        Rec.Z = WordOrNone(G, wZ);
        const int Rotary[] = {wA, wB, wC};
        Rec.FourthAxis =
            FourthAxis >= 1 && FourthAxis <= 3 ? WordOrNone(G, Rotary[FourthAxis - 1]) : NoValue;
        Rec.Motion = Motion;
    }
    if (IsArc(Motion)) {
        Rec.I = G.Words[wI];
        Rec.J = G.Words[wJ];
        Rec.K = G.Words[wK];
        Rec.Radius = G.Words[wRadius];
        Rec.Sweep = G.Words[wSweep];
    }
    if (ProgramsGroup(G, gNonModal, 4)) {
        // Dwell time in ms: X in seconds (never a length), or P in ms.
        if (G.WordSet[wX])
            Rec.X = static_cast<double>(G.Words[wX] * 1000);
        if (G.WordSet[wP])
            Rec.X = G.Words[wP];
        Rec.Motion = MotionDwell;
    }
    if (ProgramsGroup(G, gNonModal, 28))
        Rec.Motion = MotionHome;
    if (ProgramsGroup(G, gNonModal, 92)) {
        if (G.WordSet[wX])
            Rec.X = G.Words[wX];
        if (G.WordSet[wY])
            Rec.Y = G.Words[wY];
        if (G.WordSet[wZ])
            Rec.Z = G.Words[wZ];
        Rec.Motion = MotionSetPosition;
    }
    return true;
}

// Keyword records: X, Y, Z of BILLET and EDGEMOVE are sizes, not a
// position, so the scratch block forgets them.
void TCalc_CNC::FillKeyword(TCNC_data &Rec, TCNC_Groups &G) const
{
    switch (G.Groups[gKeyword]) {
    case KeyBillet:
    case KeyEdgeMove:
        Rec.Motion = G.Groups[gKeyword] == KeyBillet ? MotionBillet : MotionEdgeMove;
        Rec.X = G.Words[wX];
        Rec.Y = G.Words[wY];
        Rec.Z = G.Words[wZ];
        G.Words[wX] = G.Words[wY] = G.Words[wZ] = NoValue;
        break;
    case KeyToolDef:
        Rec.Motion = MotionToolDef;
        Rec.Tool = RoundCode(G.Words[wT]);
        Rec.X = G.Words[wD]; // tool diameter
        Rec.Z = G.Words[wL]; // tool length
        G.WordSet[wT] = false;
        G.GroupSet[gTool] = false;
        break;
    case KeyClear:
        Rec.Motion = MotionClear;
        break;
    case KeyStep:
        Rec.Motion = MotionStep;
        break;
    case KeyNoStep:
        Rec.Motion = MotionNoStep;
        break;
    default:
        break; // SHOW, NOSHOW, SUBPROGRAM add nothing here
    }
}

// Tool, M code, spindle, feed and the other modal values of the record.
void TCalc_CNC::FillModal(TCNC_data &Rec, TCNC_Groups &G) const
{
    if (G.WordSet[wT] || G.GroupSet[gTool])
        Rec.Tool = RoundCode(G.Words[wT]);
    Rec.LookAhead = G.LookAheadMark;
    if (G.GroupSet[gMCode])
        Rec.MCode = RoundCode(G.Words[wM]);
    Rec.Spindle = RoundCode(G.Words[wS]);
    Rec.LengthOffset = RoundCode(G.Words[wH]);
    Rec.Feed = static_cast<double>(G.Words[wF]);
    if (G.GroupSet[gLengthComp])
        Rec.LengthComp = G.Groups[gLengthComp];
    Rec.BlockDelete = G.Groups[gBlockDelete] == 1;
    Rec.WorkOffset = G.Groups[gWorkOffset];
    Rec.P = static_cast<double>(G.Words[wP]);
}

// M70 mirrors X, M71 mirrors Y, about the program zero; a mirrored arc
// turns the other way.
void TCalc_CNC::ApplyMirror(TCNC_data &Rec, TCNC_Groups &G) const
{
    if (!IsTransformable(Rec, G))
        return;
    const int Bits = G.Groups[gMirror];
    const struct {
        int Bit;
        double TCNC_data::*End;
        double TCNC_data::*Centre;
        int EndWord, CentreWord;
    } Axes[] = {{1, &TCNC_data::X, &TCNC_data::I, wX, wI},
                {2, &TCNC_data::Y, &TCNC_data::J, wY, wJ}};
    for (const auto &Axis : Axes) {
        if ((Bits & Axis.Bit) == 0)
            continue;
        if (Rec.*Axis.End != NoValue) {
            Rec.*Axis.End = -(Rec.*Axis.End);
            G.Words[Axis.EndWord] = -G.Words[Axis.EndWord];
        }
        if (Rec.*Axis.Centre != NoValue) {
            Rec.*Axis.Centre = -(Rec.*Axis.Centre);
            G.Words[Axis.CentreWord] = -G.Words[Axis.CentreWord];
        }
        ReverseArc(Rec, G);
    }
}

// G68 turns later moves counter-clockwise by R degrees about its centre
// (X, Y of the G68 block, or the position reached when it gives none).
// The angle is measured from +Y towards +X, hence atan2(dx, dy).
void TCalc_CNC::ApplyRotation(TCNC_data &Rec, TCNC_Groups &G)
{
    if (ProgramsGroup(G, gRotation, 68)) {
        FRotationX = G.Words[wX] != NoValue ? static_cast<double>(G.Words[wX]) : FLastX;
        FRotationY = G.Words[wY] != NoValue ? static_cast<double>(G.Words[wY]) : FLastY;
        FRotationAngle = static_cast<double>(-G.Words[wR]);
        Rec.Motion = 68;
        Rec.R = G.Words[wR];
    }
    if (ProgramsGroup(G, gRotation, 69))
        Rec.Motion = 69;
    if (G.Groups[gRotation] != 68 || !IsTransformable(Rec, G))
        return;
    const double Angle = FRotationAngle * std::numbers::pi / 180;
    auto Turn = [&](int WordX, int WordY, double &OutX, double &OutY) {
        if (G.Words[WordX] == NoValue || G.Words[WordY] == NoValue)
            return;
        const double Dx = static_cast<double>(G.Words[WordX]) - FRotationX;
        const double Dy = static_cast<double>(G.Words[WordY]) - FRotationY;
        const double R = std::sqrt(Dx * Dx + Dy * Dy);
        const double Theta = std::atan2(Dx, Dy) + Angle;
        OutX = FRotationX + R * std::sin(Theta);
        OutY = FRotationY + R * std::cos(Theta);
        G.Words[WordX] = OutX;
        G.Words[WordY] = OutY;
    };
    Turn(wX, wY, Rec.X, Rec.Y);
    if (IsArc(Rec.Motion))
        Turn(wI, wJ, Rec.I, Rec.J);
}

// G51 scales later moves about its centre (X, Y, Z of the G51 block, 0 when
// not given) by the factors I, J, K (1 when not given).
void TCalc_CNC::ApplyScaling(TCNC_data &Rec, TCNC_Groups &G)
{
    if (ProgramsGroup(G, gScaling, 51)) {
        auto Centre = [&](int W) { return G.Words[W] != NoValue ? ToSingle(G.Words[W], 0) : 0.0f; };
        auto Factor = [&](int W) {
            return G.WordSet[W] && G.Words[W] != NoValue ? ToSingle(G.Words[W], 1) : 1.0f;
        };
        FScaleCentreX = Centre(wX);
        FScaleCentreY = Centre(wY);
        FScaleCentreZ = Centre(wZ);
        FScaleX = Factor(wI);
        FScaleY = Factor(wJ);
        FScaleZ = Factor(wK);
        Rec.Motion = 51;
        Rec.X = FScaleCentreX;
        Rec.Y = FScaleCentreY;
        Rec.Z = FScaleCentreZ;
        Rec.I = FScaleX;
        Rec.J = FScaleY;
        Rec.K = FScaleZ;
    }
    if (ProgramsGroup(G, gScaling, 50))
        Rec.Motion = 50;
    if (G.Groups[gScaling] != 51 || G.GroupSet[gKeyword] || !IsTransformable(Rec, G))
        return;
    auto Scale = [&](int W, float Centre, float Factor) {
        if (G.Words[W] != NoValue)
            G.Words[W] = (G.Words[W] - Centre) * Factor + Centre;
    };
    Scale(wX, FScaleCentreX, FScaleX);
    Scale(wY, FScaleCentreY, FScaleY);
    Scale(wZ, FScaleCentreZ, FScaleZ);
    if (IsArc(Rec.Motion)) {
        Scale(wI, FScaleCentreX, FScaleX);
        Scale(wJ, FScaleCentreY, FScaleY);
        Scale(wK, FScaleCentreZ, FScaleZ);
        const Extended Dx = G.Words[wX] - G.Words[wI];
        const Extended Dy = G.Words[wY] - G.Words[wJ];
        Rec.Radius = std::sqrt(Dx * Dx + Dy * Dy);
        G.Words[wRadius] = Rec.Radius;
    }
    Rec.X = G.Words[wX];
    Rec.Y = G.Words[wY];
    Rec.Z = G.Words[wZ];
    Rec.I = G.Words[wI];
    Rec.J = G.Words[wJ];
    Rec.K = G.Words[wK];
    Rec.R = G.Words[wR];
}

bool TCalc_CNC::CheckValues(TCNC_data &Rec)
{
    // Nearly every record: all finite, nothing to name.
    const double Max = std::numeric_limits<double>::max();
    if (std::isfinite(Rec.Feed) && std::isfinite(Rec.X) && std::isfinite(Rec.Y) &&
        std::isfinite(Rec.Z) && std::isfinite(Rec.FourthAxis) && std::isfinite(Rec.I) &&
        std::isfinite(Rec.J) && std::isfinite(Rec.K) && std::isfinite(Rec.R) &&
        std::isfinite(Rec.P) && std::fabs(Rec.Sweep) <= Max && std::fabs(Rec.Radius) <= Max)
        return true;
    const struct {
        const char *Name;
        double TCNC_data::*Field;
    } Fields[] = {{"F", &TCNC_data::Feed}, {"X", &TCNC_data::X},          {"Y", &TCNC_data::Y},
                  {"Z", &TCNC_data::Z},    {"A", &TCNC_data::FourthAxis}, {"I", &TCNC_data::I},
                  {"J", &TCNC_data::J},    {"K", &TCNC_data::K},          {"R", &TCNC_data::R},
                  {"P", &TCNC_data::P}};
    std::string Bad;
    for (const auto &F : Fields) {
        if (std::isfinite(Rec.*F.Field))
            continue;
        Bad += Bad.empty() ? F.Name : std::string(" ") + F.Name;
        Rec.*F.Field = NoValue;
    }
    for (Extended *Arc : {&Rec.Sweep, &Rec.Radius}) {
        if (std::fabs(*Arc) <= std::numeric_limits<double>::max())
            continue;
        Bad += Bad.empty() ? "R" : " R";
        *Arc = 0;
    }
    if (Bad.empty())
        return true;
    ReportError(Rec.LineNumber, Bad, Mess().MessageText(MsgValueNotAcceptable));
    return false;
}

void TCalc_CNC::Remember(const TCNC_Groups &G)
{
    FLastX = G.Words[wX];
    FLastY = G.Words[wY];
    FLastZ = G.Words[wZ];
    FLastA = G.Words[wA];
    FLastB = G.Words[wB];
    FLastC = G.Words[wC];
}

void TCalc_CNC::Push(TCNC_data &&Rec)
{
    if (FCount >= QueueSize)
        return; // cannot happen: a block gives at most four records
    Slot(FCount++) = std::move(Rec);
    FResult = true;
}

} // namespace orv
