// Feeds arbitrary bytes to the dot-matrix label as a custom font file. A
// font it takes must hold every glyph its header names; a file it refuses
// must leave the font it had.
#include "components/lcd/LCDFonts.h"
#include "platform/fuzz/FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// A 1 x 1 font of the codes 65 and 66: A lit, B dark.
std::string KnownFont()
{
    const uint8_t bytes[] = {1, 0, 0, 0, 1, 0, 0, 0, 65, 0, 0, 0, 66, 0, 0, 0, 0, 1};
    return orv::FuzzFile("known.fnt", bytes, sizeof bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static const std::string known = KnownFont();
    const std::string name = orv::FuzzFile("fuzz.fnt", Data, Size);
    orv::TLCDCustomFont font;
    if (!font.Load(known))
        std::abort();
    if (!font.Load(name)) {
        const orv::TLCDTableShape &s = font.Shape();
        if (s.Columns != 1 || s.Rows != 1 || s.First != 65 || s.Last != 66 ||
            font.Glyph('A')[0] != 0 || font.Glyph('B')[0] != 1)
            std::abort();
        return 0;
    }
    const orv::TLCDTableShape &s = font.Shape();
    if (s.Columns <= 0 || s.Rows <= 0 || s.First < 0 || s.Last > 255 || s.First > s.Last)
        std::abort();
    const size_t glyph = size_t(s.Columns) * size_t(s.Rows);
    if (16 + glyph * size_t(s.Last - s.First + 1) > Size)
        std::abort();
    // Every code's dots can be read, the file's bytes for its own codes.
    for (int code = 0; code < 256; ++code) {
        const uint8_t *dots = font.Glyph(code);
        const bool own = code >= s.First && code <= s.Last;
        const uint8_t *expected = own ? Data + 16 + size_t(code - s.First) * glyph : nullptr;
        if (own ? dots[0] != expected[0] || dots[glyph - 1] != expected[glyph - 1]
                : dots[0] != 1 || dots[glyph - 1] != 1)
            std::abort();
    }
    return 0;
}
