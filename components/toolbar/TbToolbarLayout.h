#pragma once
// How a toolbar lines up its controls: one row when docked, wrapped lines
// when floating (at FloatRightX, preferably after a separator), and the list
// of window sizes a floating toolbar steps through while its frame is
// dragged. Pixels; controls are given in toolbar order.

#include "components/toolbar/TbTypes.h"

#include <vector>

namespace orv {

struct TToolbarItem {
    bool IsSeparator = false;
    bool Blank = false; // separator that draws nothing
    int SizeHorz = 6;   // separator length along a horizontal toolbar
    int SizeVert = 6;   // ... along a vertical one
    int Width = 0;      // control size (separators: ignored)
    int Height = 0;
    // Result: client-area rectangle the control gets.
    TRect Bounds;
};

// A wrapped line that begins after a separator: its across offset and the
// separator's Blank flag.
struct TLineSeparator {
    int Offset = 0;
    bool Blank = false;
    bool operator==(const TLineSeparator &) const = default;
};

struct TToolbarLayoutResult {
    TSize ClientSize;
    std::vector<TLineSeparator> LineSeparators;
    int Lines = 1;
};

// Largest height (width on a vertical dock) of the non-separator items, at least 8.
int ToolbarBarThickness(const std::vector<TToolbarItem> &Items, TDockAxis Axis);

// Lays Items out for Axis (daFloating wraps at FloatRightX unless it is 0).
// CentreThickness > 0 centres the controls in a thicker dock row. Fills each
// item's Bounds; a separator that ends a wrapped line gets zero width.
TToolbarLayoutResult LayOutToolbarItems(std::vector<TToolbarItem> &Items, TDockAxis Axis,
                                        int FloatRightX, int CentreThickness = 0);

// Frame of a floating window: border thickness on each side and caption height.
struct TFloatingFrame {
    int Frame = 3;
    int Caption = 15;
    TSize WindowSize(TSize Client) const
    {
        return {Client.Width + 2 * Frame, Client.Height + 2 * Frame + Caption};
    }
};

// Which edge a sizing drag moves.
enum TSizingEdge : uint8_t { seLeft, seRight, seTop, seBottom };

// The sizing of a floating toolbar's frame: the potential sizes built at the
// start, then each pointer position snapped to one of them.
class TToolbarSizing {
public:
    // Builds the potential window sizes of Items (FloatRightX is not used:
    // the single-line shape comes first, then each narrower wrap).
    TToolbarSizing(const std::vector<TToolbarItem> &Items, const TFloatingFrame &Frame,
                   TSizingEdge Edge, TSize CurrentWindowSize, int CurrentFloatRightX);

    // The candidate shapes, window sizes, largest first along the edge's axis.
    const std::vector<TSize> &PotentialSizes() const { return FSizes; }
    int SnapDistance() const { return FSnap; }

    // Pointer distance from the fixed edge; returns the new window size.
    TSize Track(int Distance);
    // FloatRightX of the current candidate (0 for the single-line shape).
    int CandidateFloatRightX() const { return FCandidate; }

private:
    int AxisOf(TSize S) const { return FVertical ? S.Height : S.Width; }
    TSize Choose(int Distance) const;
    std::vector<TSize> FSizes;
    TSize FSingleLine;
    TFloatingFrame FFrame;
    bool FVertical;
    TSize FCurrent;
    int FSnap = 12;
    int FCandidate = 0;
    bool FMoved = false;
    bool FLastOutside = false;
    int FLastDistance = -1;
};

} // namespace orv
