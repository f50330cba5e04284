#include "components/rspin/RSpinRules.h"

namespace orv {

long double SpinClamp(long double Value, long double MinValue, long double MaxValue) {
    if (MaxValue == MinValue)
        return Value;
    if (Value < MinValue)
        return MinValue;
    if (Value > MaxValue)
        return MaxValue;
    return Value;
}

bool SpinAcceptsChar(char Key, bool EditorEnabled) {
    const unsigned char k = static_cast<unsigned char>(Key);
    const bool control = k < 32 || k == 127;
    if (!EditorEnabled && (Key == '\b' || !control))
        return false;
    if (control)
        return Key != '\r';
    return Key == '+' || Key == '-' || Key == '.' || (Key >= '0' && Key <= '9');
}

} // namespace orv
