#pragma once
// The virtual-key code (the numbering the settings files store for keys:
// 'A' to 'Z', '0' to '9', 112 for F1, 96 for numeric 0 ...) of a Qt key
// event; 0 for a key that has none.

class QKeyEvent;

namespace orv {

int VirtualKeyOf(const QKeyEvent &Event);

} // namespace orv
