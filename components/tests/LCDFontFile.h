#pragma once
// Writes a custom font file for the dot-matrix label's tests: the four
// little-endian header integers, then the glyph bytes as given.

#include <cstdint>
#include <fstream>
#include <string>

namespace orv::test {

inline void WriteLCDFont(const std::string &Path, int Cols, int Rows, int First, int Last,
                         const std::string &Glyphs) {
    std::ofstream f(Path, std::ios::binary | std::ios::trunc);
    for (int v : {Cols, Rows, First, Last})
        for (int b = 0; b < 4; ++b)
            f.put(char((uint32_t(v) >> (8 * b)) & 0xFF));
    f << Glyphs;
}

} // namespace orv::test
