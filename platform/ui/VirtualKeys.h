#pragma once
// Stored key codes are the platform's virtual-key codes (65 "A", 112 "F1",
// 96 numeric 0 ...); these map them to and from Qt's keys. 0 / Qt::Key_unknown
// where there is no counterpart.
#include <QKeyEvent>

#include <cstdint>

namespace orv {

uint16_t VirtualKeyOf(int QtKey, Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
uint16_t VirtualKeyOf(const QKeyEvent &Event);
// The Qt key and whether it is on the numeric keypad.
int QtKeyOf(uint16_t VirtualKey, bool *Keypad = nullptr);

} // namespace orv
