#pragma once
// Numeric conventions the NC engine relies on: Extended reals, rounding with
// halves to the even neighbour, truncation toward zero, and number texts that
// always use "." whatever the user's locale. Every real-to-integer conversion
// of a value that may be out of range or not a number goes through these.

#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

using Extended = long double;

// Nearest integer, halves to the even neighbour. Values outside the 32-bit
// range or not a number give Fallback.
int32_t Round(long double Value, int32_t Fallback = 0);
int64_t Round64(long double Value, int64_t Fallback = 0);

// Cut toward zero; out of range or not a number gives Fallback.
int32_t Trunc(long double Value, int32_t Fallback = 0);

// True when Value fits a 32-bit integer after rounding.
bool FitsInt32(long double Value);

// Fixed-point text with Decimals digits after "." (C locale), as the
// "0.000" style formats give it; MinDigits > 0 pads with leading zeros until
// the text holds that many digits. "-0.000" comes out as "0.000".
std::string FormatFixed(long double Value, int Decimals, int MinDigits = 0);
// FormatFixed(Value, Decimals) written at Out (room for FixedTextSize chars)
// for Decimals 0 to 9 and |Value| below 2^63; returns the end of the text,
// or nullptr (nothing written) for other values.
constexpr int FixedTextSize = 32;
char *FormatFixedTo(char *Out, long double Value, int Decimals);
// FormatFixed(Value, Decimals) added to the end of Text.
void AppendFixed(std::string &Text, long double Value, int Decimals);

// Shortest text of a real with up to Significant digits, "." as separator
// (Delphi's FloatToStr: 15 digits, no exponent for ordinary magnitudes).
std::string FloatToStr(long double Value, int Significant = 15);

// Parses a whole text as a real with "." as separator; leading and trailing
// blanks are allowed. False when the text is not a number.
bool TryStrToFloat(std::string_view Text, long double &Value);
bool TryStrToFloat(std::string_view Text, double &Value);

// Parses a whole text as a 32-bit integer (optional sign, leading and
// trailing blanks allowed; "$" hexadecimal accepted as Delphi does).
bool TryStrToInt(std::string_view Text, int32_t &Value);
int32_t StrToIntDef(std::string_view Text, int32_t Default);

std::string IntToStr(long long Value);

// Text helpers with ASCII case rules.
std::string UpperCase(std::string_view Text);
std::string LowerCase(std::string_view Text);
bool SameText(std::string_view A, std::string_view B);
std::string Trim(std::string_view Text);

} // namespace orv
