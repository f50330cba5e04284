#pragma once
// The control's saved picture: an uncompressed 8-bit bitmap file written
// straight from the image (stride, bottom-up rows) with a colour table of
// 226 entries (the first ten palette entries, then all 216), so that file
// colour v is the colour of pixel value v. Pixels start at byte 958.

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

class CDibSurface;
class CPaletteTable;

constexpr uint32_t SavedPixelOffset = 958;

// Saves the picture by replacing the file (platform/SafeSave.h), so a
// failed save leaves any old file as it was, a link stays a link and an old
// file keeps its permissions. False when there is no image yet or the file
// cannot be written.
bool SaveBitmap(const std::string &FileName, const CDibSurface &Image,
                const CPaletteTable &Palette);

// A saved picture read back and checked against the layout above.
struct CSavedBitmap {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Colours; // 226 entries, 0x00RRGGBB as stored (B, G, R, 0)
    std::vector<uint8_t> Pixels;   // bottom row first
};
// False with Error set when the file is not in that layout.
bool ReadSavedBitmap(const std::string &FileName, CSavedBitmap &Bitmap, std::string &Error);

} // namespace orv
