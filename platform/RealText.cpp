#include "platform/RealText.h"

#include "platform/NumberText.h"

#include <charconv>
#include <cstddef>
#include <cmath>
#include <cstdlib>

namespace orv {

namespace {

constexpr int Significant = 15;

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Digits "d1d2...d15" and decimal exponent of Value rounded to 15 digits.
bool DecimalDigits(long double Value, std::string &Digits, int &Exponent)
{
    char buffer[64];
    // A value a double holds exactly has the same digits by the double's
    // (much faster) conversion.
    const double Narrow = static_cast<double>(Value);
    auto [end, ec] = Narrow == Value
                         ? std::to_chars(buffer, buffer + sizeof buffer, Narrow,
                                         std::chars_format::scientific, Significant - 1)
                         : std::to_chars(buffer, buffer + sizeof buffer, Value,
                                         std::chars_format::scientific, Significant - 1);
    if (ec != std::errc())
        return false;
    std::string text(buffer, end); // "-1.23456789012345e+02"
    auto e = text.find('e');
    Exponent = std::atoi(text.c_str() + e + 1);
    for (size_t i = 0; i < e; ++i)
        if (IsDigit(text[i]))
            Digits += text[i];
    while (Digits.size() > 1 && Digits.back() == '0')
        Digits.pop_back();
    return true;
}

std::string FixedText(const std::string &Digits, int Exponent)
{
    if (Exponent < 0)
        return "0." + std::string(-Exponent - 1, '0') + Digits;
    size_t integerDigits = static_cast<size_t>(Exponent) + 1;
    if (Digits.size() <= integerDigits)
        return Digits + std::string(integerDigits - Digits.size(), '0');
    return Digits.substr(0, integerDigits) + "." + Digits.substr(integerDigits);
}

std::string ScientificText(const std::string &Digits, int Exponent)
{
    std::string mantissa = Digits.substr(0, 1);
    if (Digits.size() > 1)
        mantissa += "." + Digits.substr(1);
    return mantissa + "E" + std::to_string(Exponent);
}

// Sign, digits with at most one ".", at least one digit, optional exponent.
bool IsRealSyntax(std::string_view Text)
{
    size_t i = 0;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < Text.size() && (IsDigit(Text[i]) || (Text[i] == '.' && !point)); ++i) {
        point = point || Text[i] == '.';
        digits += IsDigit(Text[i]) ? 1 : 0;
    }
    if (digits == 0)
        return false;
    if (i == Text.size())
        return true;
    if (Text[i] != 'E' && Text[i] != 'e')
        return false;
    ++i;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-'))
        ++i;
    size_t exponentStart = i;
    while (i < Text.size() && IsDigit(Text[i]))
        ++i;
    return i > exponentStart && i == Text.size();
}

std::string_view Stripped(std::string_view Text)
{
    while (!Text.empty() && Text.front() == ' ')
        Text.remove_prefix(1);
    while (!Text.empty() && Text.back() == ' ')
        Text.remove_suffix(1);
    return Text;
}

// A plain decimal of at most 19 digits without exponent, the texts NC
// programs are made of: the digits and the power of ten are exact, so one
// division rounds the quotient once, to the same value the general reader
// gives.
bool ShortDecimal(std::string_view Text, long double &Value)
{
    static constexpr long double Powers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                             1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                             1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};
    const char *at = Text.data();
    const char *const end = at + Text.size();
    if (at == end)
        return false;
    const bool negative = *at == '-';
    if (negative || *at == '+')
        ++at;
    // The digits before the point, then those after it; more than 19 wrap
    // the mantissa, but such a text is refused anyway.
    unsigned long long mantissa = 0;
    const char *const first = at;
    while (at < end && IsDigit(*at))
        mantissa = mantissa * 10 + static_cast<unsigned>(*at++ - '0');
    const auto whole = at - first;
    std::ptrdiff_t decimals = 0;
    if (at < end && *at == '.') {
        const char *const fraction = ++at;
        while (at < end && IsDigit(*at))
            mantissa = mantissa * 10 + static_cast<unsigned>(*at++ - '0');
        decimals = at - fraction;
    }
    if (at != end || whole + decimals == 0 || whole + decimals > 19)
        return false;
    long double v = static_cast<long double>(mantissa);
    if (decimals > 0)
        v /= Powers[decimals];
    Value = negative ? -v : v;
    return true;
}

} // namespace

std::string RealToText(long double Value)
{
    // "NAN", "INF", "-INF" and "0" read as every other number text shows them.
    if (!std::isfinite(Value) || Value == 0)
        return FloatToStr(Value);
    std::string digits;
    int exponent = 0;
    if (!DecimalDigits(std::fabs(Value), digits, exponent))
        return "NAN";
    bool fixed = exponent >= -5 && exponent < Significant;
    std::string text = fixed ? FixedText(digits, exponent) : ScientificText(digits, exponent);
    return Value < 0 ? "-" + text : text;
}

bool TextToReal(std::string_view Text, long double &Value)
{
    std::string_view text = Stripped(Text);
    if (ShortDecimal(text, Value))
        return true;
    if (!IsRealSyntax(text))
        return false;
    if (text.front() == '+')
        text.remove_prefix(1);
    long double v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return false;
    Value = v;
    return true;
}

long double TextToRealDef(std::string_view Text, long double Default)
{
    long double v = Default;
    return TextToReal(Text, v) ? v : Default;
}

} // namespace orv
