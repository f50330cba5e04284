#pragma once
// Rows and positions of the tool windows in a dock: the arrangement rule
// (sort by row and position, close blank rows, FullSize windows alone in
// their row, no overlaps, overflowing rows slide back), the row lookup used
// while dragging and the opening of a free row. Lengths in pixels; "along"
// is the direction of a row, "across" the other one.

#include "components/toolbar/TbTypes.h"

#include <vector>

namespace orv {

// One tool window's place in a dock. DockRow, DockPos and FullSize are the
// window's own properties; Thickness (its BarThickness for the dock's type)
// and Length (its outer length along) are filled in before arranging; the
// rest is the arrangement's answer.
struct TDockBarPlace {
    int DockRow = 0;
    int DockPos = -1;
    bool FullSize = false;
    int Thickness = 0;
    int Length = 0;
    // Results: outer rectangle in the dock's client area, along/across.
    int Along = 0;
    int Across = 0;
    int AlongSize = 0;
    int AcrossSize = 0;
};

// Smallest row size; rows are stacked row size + RowGap apart.
constexpr int MinRowSize = 8;
constexpr int RowGap = 4;
// A drop this close to a row's top opens a new row in front of it.
constexpr int NewRowZone = 5;

class TDockLayout {
public:
    // Arranges Bars (the dock list, re-ordered by row and position) in a dock
    // ClientLength long; returns the dock's client size across. Without bars
    // the answer is EmptyThickness (0 at run time, 1 with FixAlign, 9 at
    // design time).
    int LayOutRows(std::vector<TDockBarPlace *> &Bars, int ClientLength, bool LimitToOneRow,
                   int EmptyThickness);

    const std::vector<int> &RowSizes() const { return FRowSizes; }

    // Row at the across coordinate XY (dock client area) while dragging;
    // Before is set when a new row should open in front of that row.
    int RowAtPoint(int XY, bool &Before) const;
    // Design-time lookup: the first row whose accumulated size exceeds XY.
    int DesignRowAtPoint(int XY) const;

private:
    std::vector<int> FRowSizes;
};

// Moves every bar whose row is Row or later one row down.
void OpenRowBefore(std::vector<TDockBarPlace *> &Bars, int Row);

// Puts a dropped bar into Bars' rows: the row from RowAtPoint of the
// outline's centre across (a new row when Before), a FullSize bar whose row
// is taken by another bar goes into a new row after it; DockPos = Along.
// Bar may or may not be in Bars already. Returns the chosen row.
int PlaceDroppedBar(std::vector<TDockBarPlace *> &Bars, const TDockLayout &Layout,
                    TDockBarPlace &Bar, int CentreAcross, int Along);

} // namespace orv
