#pragma once
// The control's 216 own colours; an image pixel value is always entry + 10.
// Entries 0..191 are the shade ramp of the billet colour, then the uncut
// top surface, the origin cross, the background, rapid cuts, four unused
// entries and one marker colour per tool number 0..15.

#include <array>
#include <cstdint>

namespace orv {

struct CPaletteEntry {
    uint8_t Blue = 0, Green = 0, Red = 0, Reserved = 0;
};

constexpr int PaletteSize = 216;
constexpr int EntrySurface = 192;
constexpr int EntryCross = 193;
constexpr int EntryBackground = 194;
constexpr int EntryRapid = 195;
constexpr int EntryTool0 = 200;
constexpr int ImageBackground = EntryBackground + 10;

class CPaletteTable {
public:
    // The default ramp of (235, 255, 230) and the fixed colours.
    CPaletteTable();
    // Ramp entries 0..191 from the billet colour (R, G, B 0..255).
    void BuildShadeRamp(int R, int G, int B);
    // An entry as 0x00BBGGRR; out-of-range indices read 0 and are not written.
    uint32_t Get(int Entry) const;
    void Set(int Entry, uint32_t Colour);
    // Tool number n's marker entry, n clamped into 0..15.
    static int ToolEntry(int ToolNumber);
    const std::array<CPaletteEntry, PaletteSize> &Entries() const { return FEntries; }
    // Bumped on every change, so a view knows to reload its colour table.
    int Version() const { return FVersion; }

private:
    std::array<CPaletteEntry, PaletteSize> FEntries{};
    int FVersion = 0;
};

// Colours of the 256-entry display table for pixel values outside 10..225
// (the system's fixed entries): 0x00BBGGRR.
uint32_t SystemColour(int Index);

} // namespace orv
