#pragma once
// The keys of the PC keyboard as the Fanuc stations take them: virtual-key
// codes (65 "A", 45 Insert, 46 Delete, 189 "-" ...), typed as the plain
// keyboard types them. The stations' windows and ncrun's key scripts both
// hand the stations these codes, so a key does the same on either path.

namespace orv::fanuc {

// The character a virtual key types on a plain keyboard (0: none, the key
// acts instead): letters, digits (also of the numeric keypad), blank, and
// ";" 186, "=" 187, "," 188, "-" 189, "." 190, "/" 191, "[" 219, "]" 221,
// "#" 222, "*" 106, "+" 107, "-" 109, "." 110, "/" 111.
char VirtualKeyCharacter(int Key);

// The virtual key that types the symbol C on the plain keyboard (0: none).
// Used for characters a layout types with a shift ("#", "*", "+").
int VirtualKeyOfSymbol(char C);

} // namespace orv::fanuc
