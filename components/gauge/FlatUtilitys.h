#pragma once
// The flat controls' frame and colour helpers: the border colour derived
// from a background colour, and the lines of a bevelled frame (painted by
// the ui part).

#include <cstdint>
#include <vector>

namespace orv {

struct TBevelLine {
    int X1, Y1, X2, Y2; // inclusive end points
    uint32_t Colour;
};

// Lightness of Colour on the 240 scale + 10, then less (Darker) or more
// Percentage, kept within 0 to 100; Percentage 0 keeps Current.
uint32_t AdjustedBorderColor(uint32_t Colour, uint32_t Current, int Percentage, bool Darker);

// The lines of Width rings inside Left..Right-1, Top..Bottom-1: left and top
// in TopColour, right and bottom in BottomColour, each ring one pixel in.
std::vector<TBevelLine> BevelFrameLines(int Left, int Top, int Right, int Bottom,
                                        uint32_t TopColour, int Width, uint32_t BottomColour);

} // namespace orv
