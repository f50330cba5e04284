#pragma once
// The colour dialog's sixteen custom colours, kept between runs in the
// program's ".col" file: lines "ColorA" to "ColorP" = six hexadecimal
// digits of the colour value (0x00BBGGRR). A missing or unreadable entry
// is -1 (the dialog keeps its own colour there).

#include <array>
#include <cstdint>
#include <string>

namespace orv {

using TCustomColours = std::array<int32_t, 16>;

// All -1 when the file is missing or unreadable.
TCustomColours ReadCustomColours(const std::string &File);
// Entries of -1 are left out. False when the file cannot be written.
bool WriteCustomColours(const std::string &File, const TCustomColours &Colours);

} // namespace orv
