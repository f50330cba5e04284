#pragma once
// The rules of the real-valued spin edit that need no window: the clamping
// range and the characters a user may type. Texts follow platform/RealText
// ("." as the decimal separator).

namespace orv {

// Value kept within [MinValue, MaxValue]; equal bounds mean no clamping.
long double SpinClamp(long double Value, long double MinValue, long double MaxValue);

// True for a character the edit takes: "+", "-", the digits, "." and the
// control characters other than carriage return. With the editor disabled
// backspace and every printable character are refused as well.
bool SpinAcceptsChar(char Key, bool EditorEnabled);

} // namespace orv
