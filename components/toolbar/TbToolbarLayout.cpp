#include "components/toolbar/TbToolbarLayout.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace orv {

namespace {

// Layout constants, indexed [docked, floating].
constexpr int FirstLineOffset[2] = {0, 2};
constexpr int LineStart[2] = {0, 4};
constexpr int EndMarginAlong[2] = {0, 4};
constexpr int EndMarginAcross[2] = {0, 1};
// Extra gap across between lines that a separator divides.
constexpr int SeparatorLineGap = 6;

struct TGroup {
    size_t First = 0;
    size_t Last = 0; // inclusive; a separator, when the group has one, is last
    int Length = 0;  // along, non-separator items only
};

int LengthAlong(const TToolbarItem &Item, bool Vertical)
{
    if (Item.IsSeparator)
        return Vertical ? Item.SizeVert : Item.SizeHorz;
    return Vertical ? Item.Height : Item.Width;
}

std::vector<TGroup> CutIntoGroups(const std::vector<TToolbarItem> &Items, bool Vertical)
{
    std::vector<TGroup> groups;
    TGroup g;
    bool open = false;
    for (size_t i = 0; i < Items.size(); ++i) {
        if (!open) {
            g = TGroup{i, i, 0};
            open = true;
        }
        g.Last = i;
        if (!Items[i].IsSeparator)
            g.Length += LengthAlong(Items[i], Vertical);
        if (Items[i].IsSeparator) {
            groups.push_back(g);
            open = false;
        }
    }
    if (open)
        groups.push_back(g);
    return groups;
}

int WrapLimit(const std::vector<TToolbarItem> &Items, TDockAxis Axis, int FloatRightX)
{
    if (Axis != daFloating || FloatRightX == 0)
        return INT_MAX;
    int widest = 0;
    for (const TToolbarItem &it : Items)
        if (!it.IsSeparator)
            widest = std::max(widest, it.Width);
    return std::max(FloatRightX, widest + 8);
}

TRect MakeBounds(int Along, int Across, int AlongSize, int AcrossSize, bool Vertical)
{
    if (Vertical)
        return TRect::FromSize(Across, Along, AcrossSize, AlongSize);
    return TRect::FromSize(Along, Across, AlongSize, AcrossSize);
}

bool PassesLimit(int Pos, int Length, int Margin, int Limit)
{
    return Limit != INT_MAX && (long long)Pos + Length + Margin > Limit;
}

} // namespace

int ToolbarBarThickness(const std::vector<TToolbarItem> &Items, TDockAxis Axis)
{
    int size = 0;
    for (const TToolbarItem &it : Items)
        if (!it.IsSeparator)
            size = std::max(size, Axis == daVertical ? it.Width : it.Height);
    return std::max(size, 8);
}

namespace {

// The running state of one layout pass (along/across in the toolbar's axis).
struct TPlacer {
    int F; // 0 docked, 1 floating
    bool Vertical;
    int Limit; // wrap limit along
    int RowThickness;
    int Centre; // thickness the controls are centred in
    TToolbarLayoutResult &Result;
    int Pos = 0;
    int Across = 0;
    int Widest = 0;
    int WidestBeforeSep = 0;
    bool PreviousWrapped = false;
    TToolbarItem *PreviousSep = nullptr;

    bool AtLineStart() const { return Pos == LineStart[F]; }

    // A floating group that would pass the limit, or follows a group that
    // wrapped, starts a new line; after a separator the lines are 6 pixels
    // further apart and the separator collapses.
    void StartGroup(const TGroup &G)
    {
        const bool wraps = PreviousWrapped || PassesLimit(Pos, G.Length, EndMarginAlong[F], Limit);
        PreviousWrapped = false;
        if (!F || AtLineStart() || !wraps)
            return;
        Pos = LineStart[F];
        ++Result.Lines;
        if (!PreviousSep) {
            Across += RowThickness;
            return;
        }
        Across += RowThickness + SeparatorLineGap;
        Widest = WidestBeforeSep;
        PreviousSep->Bounds.Right = PreviousSep->Bounds.Left;
        Result.LineSeparators.push_back({Across, PreviousSep->Blank});
    }

    void Place(TToolbarItem &It)
    {
        const int len = LengthAlong(It, Vertical);
        if (!It.IsSeparator && !AtLineStart() && PassesLimit(Pos, len, EndMarginAlong[F], Limit)) {
            Pos = LineStart[F];
            Across += RowThickness;
            PreviousWrapped = true;
            ++Result.Lines;
        }
        if (It.IsSeparator) {
            WidestBeforeSep = Widest;
            It.Bounds = MakeBounds(Pos, Across, len, Centre, Vertical);
        } else {
            const int size = Vertical ? It.Width : It.Height;
            It.Bounds = MakeBounds(Pos, Across + (Centre - size) / 2, len, size, Vertical);
        }
        Pos += len;
        Widest = std::max(Widest, Pos);
    }
};

} // namespace

TToolbarLayoutResult LayOutToolbarItems(std::vector<TToolbarItem> &Items, TDockAxis Axis,
                                        int FloatRightX, int CentreThickness)
{
    TToolbarLayoutResult r;
    const int f = Axis == daFloating ? 1 : 0;
    const bool vertical = Axis == daVertical;
    const int rowThickness = ToolbarBarThickness(Items, Axis);
    TPlacer p{f,
              vertical,
              WrapLimit(Items, Axis, FloatRightX),
              rowThickness,
              CentreThickness > 0 ? CentreThickness : rowThickness,
              r};
    p.Pos = LineStart[f];
    p.Across = FirstLineOffset[f];
    for (const TGroup &g : CutIntoGroups(Items, vertical)) {
        p.StartGroup(g);
        for (size_t i = g.First; i <= g.Last; ++i)
            p.Place(Items[i]);
        p.PreviousSep = Items[g.Last].IsSeparator ? &Items[g.Last] : nullptr;
    }
    if (Items.empty())
        p.Widest = LineStart[f] + 8;
    const int along = p.Widest + EndMarginAlong[f];
    const int across = p.Across + rowThickness + EndMarginAcross[f];
    r.ClientSize = vertical ? TSize{across, along} : TSize{along, across};
    return r;
}

// ------------------------------------------------------------ TToolbarSizing

TToolbarSizing::TToolbarSizing(const std::vector<TToolbarItem> &Items, const TFloatingFrame &Frame,
                               TSizingEdge Edge, TSize CurrentWindowSize, int CurrentFloatRightX)
    : FFrame(Frame), FVertical(Edge == seTop || Edge == seBottom), FCurrent(CurrentWindowSize),
      FCandidate(CurrentFloatRightX)
{
    std::vector<TToolbarItem> work = Items;
    const TSize single = LayOutToolbarItems(work, daFloating, 0).ClientSize;
    FSingleLine = Frame.WindowSize(single);
    FSizes.push_back(FSingleLine);
    const int minWidth = ToolbarBarThickness(work, daFloating) + 8;
    int lastComputed = single.Width;
    for (int i = single.Width - 1; i >= minWidth; --i) {
        if (i > lastComputed)
            continue;
        const TSize client = LayOutToolbarItems(work, daFloating, i).ClientSize;
        if (client.Width != i) {
            lastComputed = client.Width;
            continue;
        }
        const TSize size = Frame.WindowSize(client);
        if (std::find(FSizes.begin(), FSizes.end(), size) != FSizes.end())
            continue;
        if (FSizes.back().Height == size.Height && !(FSizes.back() == FSingleLine))
            FSizes.back() = size;
        else
            FSizes.push_back(size);
    }
    std::stable_sort(FSizes.begin(), FSizes.end(),
                     [this](TSize a, TSize b) { return AxisOf(a) > AxisOf(b); });

    auto at = std::find(FSizes.begin(), FSizes.end(), FCurrent);
    if (at == FSizes.end())
        return;
    const size_t k = size_t(at - FSizes.begin());
    if (k > 0)
        FSnap = std::min(FSnap, std::abs(AxisOf(FSizes[k - 1]) - AxisOf(FSizes[k])) - 1);
    if (k + 1 < FSizes.size())
        FSnap = std::min(FSnap, std::abs(AxisOf(FSizes[k + 1]) - AxisOf(FSizes[k])) - 1);
    FSnap = std::max(FSnap, 0);
}

TSize TToolbarSizing::Choose(int Distance) const
{
    const int current = AxisOf(FCurrent);
    if (Distance > current) {
        // Growing: the smallest shape larger than the distance, else the largest.
        for (auto it = FSizes.rbegin(); it != FSizes.rend(); ++it)
            if (AxisOf(*it) > Distance)
                return *it;
        return FSizes.front();
    }
    // Shrinking: the largest shape not larger than the distance, else the smallest.
    for (const TSize &s : FSizes)
        if (AxisOf(s) <= Distance)
            return s;
    return FSizes.back();
}

TSize TToolbarSizing::Track(int Distance)
{
    const int current = AxisOf(FCurrent);
    const bool outside = Distance > current;
    if ((!FMoved || outside != FLastOutside) && std::abs(Distance - current) <= FSnap)
        Distance = current;
    FLastOutside = outside;
    // A shape chosen while growing may reach beyond the pointer; it changes
    // again only when the pointer moves the same way as the change it asks
    // for, so a still pointer never makes the frame flicker between shapes.
    const int direction = FLastDistance < 0 ? 0 : Distance - FLastDistance;
    FLastDistance = Distance;
    if (Distance == current)
        return FCurrent;
    if ((Distance > current && direction < 0) || (Distance < current && direction > 0))
        return FCurrent;
    const TSize chosen = Choose(Distance);
    if (chosen == FCurrent)
        return FCurrent;
    FMoved = true;
    FCurrent = chosen;
    FCandidate = chosen == FSingleLine ? 0 : chosen.Width - 2 * FFrame.Frame;
    return FCurrent;
}

} // namespace orv
