#pragma once
// The border of a window that the forms choose: none, or a single line (a
// sunken edge where the desktop draws controls in 3-D). Shared by the
// toolbar family's tool windows and the scroll panel.

#include <cstdint>

namespace orv {

enum TBorderStyle : uint8_t { bsNone, bsSingle };

} // namespace orv
