#pragma once
// Texts of real values as the real-valued edit fields show and read them:
// the shortest general form of up to 15 significant digits ("0.5", "1E20"),
// and typed text read back with "." as separator. Locale-independent.

#include <string>
#include <string_view>

namespace orv {

// Shortest general text of Value with up to 15 significant digits: plain
// decimal while the value has at most 15 integer digits and is at least
// 0.00001 in size, else mantissa + "E" + exponent ("1.5E-7", "1E20").
// "NAN", "INF" and "-INF" for values that are no finite number.
std::string RealToText(long double Value);

// Reads a whole text as a real: optional sign, digits with one ".",
// optional exponent ("E", "e", optional sign, digits); blanks around it are
// allowed. False (Value untouched) for anything else or an overflow.
bool TextToReal(std::string_view Text, long double &Value);

// TextToReal, or Default when the text is no number.
long double TextToRealDef(std::string_view Text, long double Default);

} // namespace orv
