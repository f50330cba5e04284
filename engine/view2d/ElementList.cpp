#include "engine/view2d/ElementList.h"

#include <algorithm>
#include <cstring>

namespace orv {

namespace {

struct TPoint {
    double X, Y, Z;
};

bool IsArcKind(uint8_t Kind) { return Kind >= 2 && Kind <= 5; }

// Where the tool stands after the element and before it. An arc keeps the
// point from which it runs anticlockwise first, with the new Z, and the
// other point with the previous Z.
TPoint ToOf(const TDD_Type &E)
{
    if (!IsArcKind(E.Kind))
        return {E.EndX, E.EndY, E.EndZ};
    return E.Sweep > 0 ? TPoint{E.EndX, E.EndY, E.StartZ} : TPoint{E.StartX, E.StartY, E.StartZ};
}

TDD_Type Straight(uint8_t Kind, const TPoint &From, const TPoint &To, double CutterRadius,
                  int32_t Line, int32_t Colour)
{
    return TDD_Type(Kind, From.X, From.Y, From.Z, To.X, To.Y, To.Z, 0, 0, 0, 0, 0, 0, 0,
                    CutterRadius, 0, Line, Colour);
}

TDD_Type Arc(uint8_t Kind, const TPoint &From, const TPoint &To, double CentreX, double CentreY,
             double Sweep, double Radius, double CutterRadius, int32_t Line, int32_t Colour)
{
    const TPoint First = Sweep > 0 ? TPoint{From.X, From.Y, To.Z} : To;
    const TPoint Second = Sweep > 0 ? TPoint{To.X, To.Y, From.Z} : From;
    return TDD_Type(Kind, First.X, First.Y, First.Z, Second.X, Second.Y, Second.Z,
                    CentreX + Radius, CentreY - Radius, CentreX - Radius, CentreY + Radius,
                    CentreX, CentreY, Sweep, CutterRadius, Radius, Line, Colour);
}

bool SameBits(double A, double B) { return std::memcmp(&A, &B, sizeof A) == 0; }

// Every field of A equals B's, bit for bit.
bool SameElement(const TDD_Type &A, const TDD_Type &B)
{
    const double Ra[] = {A.StartX,  A.StartY, A.StartZ,  A.EndX,         A.EndY,
                         A.EndZ,    A.BoxRight, A.BoxTop, A.BoxLeft,     A.BoxBottom,
                         A.CentreX, A.CentreY, A.Sweep,  A.CutterRadius, A.Radius};
    const double Rb[] = {B.StartX,  B.StartY, B.StartZ,  B.EndX,         B.EndY,
                         B.EndZ,    B.BoxRight, B.BoxTop, B.BoxLeft,     B.BoxBottom,
                         B.CentreX, B.CentreY, B.Sweep,  B.CutterRadius, B.Radius};
    for (size_t I = 0; I < std::size(Ra); ++I)
        if (!SameBits(Ra[I], Rb[I]))
            return false;
    return A.Kind == B.Kind && A.LineNumber == B.LineNumber && A.Colour == B.Colour;
}

} // namespace

TElementList::TElementList(const std::vector<TDD_Type> &Elements)
{
    FEntries.reserve(Elements.size());
    for (const TDD_Type &E : Elements)
        push_back(E);
}

const TElementList::TRun &TElementList::RunOf(size_t Index) const
{
    const auto After = std::upper_bound(FRuns.begin(), FRuns.end(), Index,
                                        [](size_t I, const TRun &R) { return I < R.First; });
    return *(After - 1);
}

TDD_Type TElementList::operator[](size_t Index) const
{
    return Make(Index, RunOf(Index));
}

TDD_Type TElementList::Make(size_t Index, const TRun &Run) const
{
    const TEntry &Entry = FEntries[Index];
    if (Entry.Form == fmWhole)
        return FWhole[Entry.Extra];
    const TEntry &Before = FEntries[Index - 1];
    const TPoint From{Before.ToX, Before.ToY, Before.ToZ};
    const TPoint To{Entry.ToX, Entry.ToY, Entry.ToZ};
    if (Entry.Form == fmStraight)
        return Straight(Entry.Kind, From, To, Run.CutterRadius, Entry.LineNumber, Run.Colour);
    const TArcData &A = FArcs[Entry.Extra];
    return Arc(Entry.Kind, From, To, A.CentreX, A.CentreY, A.Sweep, A.Radius, Run.CutterRadius,
               Entry.LineNumber, Run.Colour);
}

// The element is kept in the small form that gives it back whole when it
// does; else as it is.
void TElementList::push_back(const TDD_Type &Element)
{
    const size_t Index = FEntries.size();
    if (FRuns.empty() || FRuns.back().Colour != Element.Colour ||
        !SameBits(FRuns.back().CutterRadius, Element.CutterRadius))
        FRuns.push_back({Index, Element.Colour, Element.CutterRadius});
    const TPoint To = ToOf(Element);
    TEntry Entry{To.X, To.Y, To.Z, Element.LineNumber, 0, Element.Kind, fmWhole};
    if (Index > 0) {
        const TEntry &Before = FEntries.back();
        const TPoint From{Before.ToX, Before.ToY, Before.ToZ};
        const bool IsArc = IsArcKind(Element.Kind);
        const TDD_Type Small =
            IsArc ? Arc(Element.Kind, From, To, Element.CentreX, Element.CentreY, Element.Sweep,
                        Element.Radius, Element.CutterRadius, Element.LineNumber, Element.Colour)
                  : Straight(Element.Kind, From, To, Element.CutterRadius, Element.LineNumber,
                             Element.Colour);
        if (SameElement(Small, Element)) {
            Entry.Form = IsArc ? fmArc : fmStraight;
            if (IsArc) {
                Entry.Extra = static_cast<uint32_t>(FArcs.size());
                FArcs.push_back({Element.CentreX, Element.CentreY, Element.Sweep, Element.Radius});
            }
        }
    }
    if (Entry.Form == fmWhole) {
        Entry.Extra = static_cast<uint32_t>(FWhole.size());
        FWhole.push_back(Element);
    }
    FEntries.push_back(Entry);
}

void TElementList::clear()
{
    FEntries.clear();
    FArcs.clear();
    FWhole.clear();
    FRuns.clear();
}

size_t TElementList::MemoryBytes() const
{
    return FEntries.capacity() * sizeof(TEntry) + FArcs.capacity() * sizeof(TArcData) +
           FWhole.capacity() * sizeof(TDD_Type) + FRuns.capacity() * sizeof(TRun);
}

} // namespace orv
