#include "components/toolbar/TbDockLayout.h"

#include "components/toolbar/TbCmn.h"

#include <algorithm>
#include <climits>

namespace orv {

namespace {

int CompareRowPos(const void *Item1, const void *Item2, void *)
{
    auto *a = static_cast<const TDockBarPlace *>(Item1);
    auto *b = static_cast<const TDockBarPlace *>(Item2);
    if (a->DockRow != b->DockRow)
        return a->DockRow < b->DockRow ? -1 : 1;
    if (a->DockPos != b->DockPos)
        return a->DockPos < b->DockPos ? -1 : 1;
    return 0;
}

void SortBars(std::vector<TDockBarPlace *> &Bars)
{
    std::vector<void *> list(Bars.begin(), Bars.end());
    SortPointerList(list, CompareRowPos, nullptr);
    for (size_t i = 0; i < list.size(); ++i)
        Bars[i] = static_cast<TDockBarPlace *>(list[i]);
}

// Renumbers the rows 0, 1, 2 ... without gaps; Bars is sorted by row.
void CloseBlankRows(std::vector<TDockBarPlace *> &Bars)
{
    int next = -1;
    int previous = INT_MIN;
    for (TDockBarPlace *b : Bars) {
        if (b->DockRow != previous) {
            previous = b->DockRow;
            ++next;
        }
        b->DockRow = next;
    }
}

int HighestRow(const std::vector<TDockBarPlace *> &Bars)
{
    int row = -1;
    for (const TDockBarPlace *b : Bars)
        row = std::max(row, b->DockRow);
    return row;
}

std::vector<TDockBarPlace *> BarsInRow(const std::vector<TDockBarPlace *> &Bars, int Row)
{
    std::vector<TDockBarPlace *> row;
    for (TDockBarPlace *b : Bars)
        if (b->DockRow == Row)
            row.push_back(b);
    return row;
}

// A FullSize bar that shares its row pushes every other bar of that row and
// of all later rows one row down, so it keeps the row alone.
void IsolateFullSizeBars(std::vector<TDockBarPlace *> &Bars)
{
    bool moved = false;
    for (int row = 0; row <= HighestRow(Bars); ++row) {
        std::vector<TDockBarPlace *> inRow = BarsInRow(Bars, row);
        if (inRow.size() < 2)
            continue;
        TDockBarPlace *full = nullptr;
        for (TDockBarPlace *b : inRow)
            if (b->FullSize) {
                full = b;
                break;
            }
        if (!full)
            continue;
        for (TDockBarPlace *b : Bars)
            if (b != full && b->DockRow >= row)
                ++b->DockRow;
        moved = true;
    }
    // Keep the order within rows; only the moved rows change places.
    if (moved)
        std::stable_sort(
            Bars.begin(), Bars.end(),
            [](const TDockBarPlace *a, const TDockBarPlace *b) { return a->DockRow < b->DockRow; });
}

void RemoveOverlaps(const std::vector<TDockBarPlace *> &Row)
{
    for (size_t i = 1; i < Row.size(); ++i) {
        const TDockBarPlace *prev = Row[i - 1];
        Row[i]->DockPos = std::max(Row[i]->DockPos, prev->DockPos + prev->Length);
    }
}

// When the row's last bar ends beyond the dock, every bar moves back by that
// overhang; a FullSize bar goes to 0. Later positioning keeps them apart, so
// the last bar may still stick out.
void SlideBack(const std::vector<TDockBarPlace *> &Row, int ClientLength)
{
    for (TDockBarPlace *b : Row) {
        const TDockBarPlace *last = Row.back();
        int overhang = last->DockPos + last->Length - ClientLength;
        if (overhang > 0)
            b->DockPos -= overhang;
        if (b->FullSize)
            b->DockPos = 0;
    }
}

} // namespace

int TDockLayout::LayOutRows(std::vector<TDockBarPlace *> &Bars, int ClientLength,
                            bool LimitToOneRow, int EmptyThickness)
{
    FRowSizes.clear();
    if (Bars.empty())
        return EmptyThickness;
    SortBars(Bars);
    if (LimitToOneRow)
        for (TDockBarPlace *b : Bars)
            b->DockRow = 0;
    CloseBlankRows(Bars);
    IsolateFullSizeBars(Bars);

    const int rows = HighestRow(Bars) + 1;
    FRowSizes.assign(size_t(rows), MinRowSize);
    for (TDockBarPlace *b : Bars)
        FRowSizes[b->DockRow] = std::max(FRowSizes[b->DockRow], b->Thickness);

    int across = 0;
    for (int row = 0; row < rows; ++row) {
        std::vector<TDockBarPlace *> inRow = BarsInRow(Bars, row);
        RemoveOverlaps(inRow);
        SlideBack(inRow, ClientLength);
        int end = 0;
        for (TDockBarPlace *b : inRow) {
            b->DockPos = std::max({b->DockPos, end, 0});
            b->Across = across;
            b->Along = b->DockPos;
            b->AcrossSize = FRowSizes[row] + RowGap;
            b->AlongSize = b->FullSize ? ClientLength : b->Length;
            end = b->DockPos + b->Length;
        }
        across += FRowSizes[row] + RowGap;
    }
    return across;
}

int TDockLayout::RowAtPoint(int XY, bool &Before) const
{
    const int last = int(FRowSizes.size()) - 1;
    int top = 0;
    for (int row = 0; row <= last + 1; ++row) {
        const bool beyondLast = row > last;
        const int next = beyondLast ? INT_MAX : top + FRowSizes[row] + RowGap;
        if (XY <= top + NewRowZone) {
            Before = true;
            return row;
        }
        if (beyondLast || XY < next - NewRowZone) {
            Before = false;
            return row;
        }
        top = next;
    }
    Before = false;
    return last + 1;
}

int TDockLayout::DesignRowAtPoint(int XY) const
{
    int total = 0;
    for (size_t row = 0; row < FRowSizes.size(); ++row) {
        total += FRowSizes[row] + RowGap;
        if (total > XY)
            return int(row);
    }
    return int(FRowSizes.size());
}

void OpenRowBefore(std::vector<TDockBarPlace *> &Bars, int Row)
{
    for (TDockBarPlace *b : Bars)
        if (b->DockRow >= Row)
            ++b->DockRow;
}

int PlaceDroppedBar(std::vector<TDockBarPlace *> &Bars, const TDockLayout &Layout,
                    TDockBarPlace &Bar, int CentreAcross, int Along)
{
    std::vector<TDockBarPlace *> others;
    for (TDockBarPlace *b : Bars)
        if (b != &Bar)
            others.push_back(b);
    bool before = false;
    int row = Layout.RowAtPoint(CentreAcross, before);
    if (before)
        OpenRowBefore(others, row);
    else if (Bar.FullSize && !BarsInRow(others, row).empty())
        OpenRowBefore(others, ++row);
    Bar.DockRow = row;
    Bar.DockPos = Along;
    return row;
}

} // namespace orv
