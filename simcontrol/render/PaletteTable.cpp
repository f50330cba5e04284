#include "simcontrol/render/PaletteTable.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

uint32_t Rgb(int R, int G, int B)
{
    return static_cast<uint32_t>(R) | (static_cast<uint32_t>(G) << 8) |
           (static_cast<uint32_t>(B) << 16);
}

} // namespace

CPaletteTable::CPaletteTable()
{
    BuildShadeRamp(235, 255, 230);
    Set(EntrySurface, Rgb(140, 0, 0));
    Set(EntryCross, Rgb(255, 255, 0));
    Set(EntryBackground, Rgb(0, 0, 128));
    Set(EntryRapid, Rgb(255, 0, 0));
    Set(EntryTool0 + 1, Rgb(0, 255, 0));
}

// shade(i) = i + 30 + 34 sin(i * 0.00822...)^48: even up to the last few
// entries, where the highlight brings entry 191 to full brightness.
void CPaletteTable::BuildShadeRamp(int R, int G, int B)
{
    const double k = 0.00392156862745098;
    for (int i = 0; i < 192; ++i) {
        const double shade = i + 30 + 34 * std::pow(std::sin(i * 0.008224064536649214), 48);
        CPaletteEntry &e = FEntries[i];
        e.Red = static_cast<uint8_t>(std::clamp(std::trunc(R * k * shade), 0.0, 255.0));
        e.Green = static_cast<uint8_t>(std::clamp(std::trunc(G * k * shade), 0.0, 255.0));
        e.Blue = static_cast<uint8_t>(std::clamp(std::trunc(B * k * shade), 0.0, 255.0));
        e.Reserved = 0;
    }
    ++FVersion;
}

uint32_t CPaletteTable::Get(int Entry) const
{
    if (Entry < 0 || Entry >= PaletteSize)
        return 0;
    const CPaletteEntry &e = FEntries[Entry];
    return Rgb(e.Red, e.Green, e.Blue);
}

void CPaletteTable::Set(int Entry, uint32_t Colour)
{
    if (Entry < 0 || Entry >= PaletteSize)
        return;
    CPaletteEntry &e = FEntries[Entry];
    e.Red = Colour & 0xFF;
    e.Green = (Colour >> 8) & 0xFF;
    e.Blue = (Colour >> 16) & 0xFF;
    e.Reserved = 0;
    ++FVersion;
}

int CPaletteTable::ToolEntry(int ToolNumber) { return EntryTool0 + std::clamp(ToolNumber, 0, 15); }

uint32_t SystemColour(int Index)
{
    // Black, white and a grey scale in between for the fixed entries.
    static const uint32_t Low[10] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000,
                                     0x800080, 0x808000, 0xC0C0C0, 0xC0DCC0, 0xF0CAA6};
    static const uint32_t High[10] = {0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF, 0x00FF00,
                                      0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    if (Index >= 0 && Index < 10)
        return Low[Index];
    if (Index >= 246 && Index < 256)
        return High[Index - 246];
    const int g = std::clamp((Index - 226) * 12, 0, 255);
    return Rgb(g, g, g);
}

} // namespace orv
