#include "components/gauge/FlatUtilitys.h"

#include "components/gauge/HSLUtils.h"

#include <algorithm>

namespace orv {

uint32_t AdjustedBorderColor(uint32_t Colour, uint32_t Current, int Percentage, bool Darker) {
    if (Percentage == 0)
        return Current;
    int h, s, l;
    ColorToHSLScale(Colour, h, s, l);
    l += 10;
    l = Darker ? std::max(l - Percentage, 0) : std::min(l + Percentage, 100);
    return HSLScaleToColor(h, s, l);
}

std::vector<TBevelLine> BevelFrameLines(int Left, int Top, int Right, int Bottom,
                                        uint32_t TopColour, int Width, uint32_t BottomColour) {
    std::vector<TBevelLine> lines;
    --Right;
    --Bottom;
    for (int i = 0; i < Width; ++i) {
        lines.push_back({Left, Bottom, Left, Top, TopColour});
        lines.push_back({Left, Top, Right, Top, TopColour});
        lines.push_back({Right, Top, Right, Bottom, BottomColour});
        lines.push_back({Right, Bottom, Left + 1, Bottom, BottomColour});
        ++Left;
        ++Top;
        --Right;
        --Bottom;
    }
    return lines;
}

} // namespace orv
