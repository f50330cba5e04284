#include "platform/NumberText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace orv {

namespace {

long double RoundHalfEven(long double Value)
{
    long double floorValue = std::floor(Value);
    long double diff = Value - floorValue;
    if (diff > 0.5L)
        return floorValue + 1;
    if (diff < 0.5L)
        return floorValue;
    // Exactly half: go to the even neighbour.
    return std::fmod(floorValue, 2.0L) == 0 ? floorValue : floorValue + 1;
}

// |Value| as Mantissa / 2^Shift with the full 64-bit mantissa, for a value
// below 2^63 (Shift is then at least 1; zero gives 0 and 1).
void ExactParts(long double Value, uint64_t &Mantissa, int &Shift)
{
    if (Value == 0) {
        Mantissa = 0;
        Shift = 1;
        return;
    }
    if constexpr (std::numeric_limits<long double>::digits == 64) {
        // x87 extended: 64-bit mantissa with its leading bit, then the
        // biased exponent and the sign.
        unsigned char bytes[sizeof(long double)];
        std::memcpy(bytes, &Value, sizeof bytes);
        uint64_t mantissa = 0;
        std::memcpy(&mantissa, bytes, 8);
        const int biased = (bytes[8] | (bytes[9] << 8)) & 0x7FFF;
        Mantissa = mantissa;
        Shift = 16383 + 63 - (biased == 0 ? 1 : biased);
    } else {
        int exponent = 0;
        const long double fraction = std::frexp(std::fabs(Value), &exponent);
        Mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
        Shift = 64 - exponent;
    }
}

constexpr char DigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233"
                             "34353637383940414243444546474849505152535455565758596061626364656667"
                             "6869707172737475767778798081828384858687888990919293949596979899";

} // namespace

bool FitsInt32(long double Value)
{
    if (!std::isfinite(Value))
        return false;
    long double r = RoundHalfEven(Value);
    return r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max();
}

int32_t Round(long double Value, int32_t Fallback)
{
    // Inside the range: the fraction left by cutting toward zero is exact,
    // and decides the step away from zero (ties to the even neighbour).
    if (Value > -2147483648.5L && Value < 2147483647.5L) {
        long long whole = static_cast<long long>(Value);
        long double fraction = Value - static_cast<long double>(whole);
        bool odd = (whole & 1) != 0;
        if (fraction > 0.5L || (fraction == 0.5L && odd))
            ++whole;
        else if (fraction < -0.5L || (fraction == -0.5L && odd))
            --whole;
        return static_cast<int32_t>(whole);
    }
    if (!FitsInt32(Value))
        return Fallback;
    return static_cast<int32_t>(RoundHalfEven(Value));
}

int64_t Round64(long double Value, int64_t Fallback)
{
    if (!std::isfinite(Value))
        return Fallback;
    long double r = RoundHalfEven(Value);
    if (r < -9.2e18L || r > 9.2e18L)
        return Fallback;
    return static_cast<int64_t>(r);
}

int32_t Trunc(long double Value, int32_t Fallback)
{
    if (!std::isfinite(Value))
        return Fallback;
    long double t = std::trunc(Value);
    if (t < std::numeric_limits<int32_t>::min() || t > std::numeric_limits<int32_t>::max())
        return Fallback;
    return static_cast<int32_t>(t);
}

namespace {

// FormatFixedTo for one number of decimals: the powers of ten are constants,
// so the divisions by them are multiplications.
template <int Decimals>
char *FixedTextTo(char *Out, long double Value)
{
    // Up to nine decimals, below 2^63, without the C library's general path;
    // the digits are the same: the exact binary value times 10^Decimals,
    // rounded to the nearest integer, ties to even.
    if (!(std::fabs(Value) < 0x1p63L))
        return nullptr;
    constexpr uint64_t Ten = [] {
        uint64_t ten = 1;
        for (int i = 0; i < Decimals; ++i)
            ten *= 10;
        return ten;
    }();
    uint64_t mantissa = 0;
    int shift = 0; // |Value| = mantissa / 2^shift, shift >= 1
    ExactParts(Value, mantissa, shift);
    unsigned __int128 whole = 0;
    if (Value != 0 && shift < 128) {
        const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * Ten;
        whole = scaled >> shift;
        const unsigned __int128 rest = scaled - (whole << shift);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        if (rest > half || (rest == half && (whole & 1) != 0))
            ++whole;
    } // else below 2^-64 and so below half a unit of the last digit
    // Integer part and decimals apart, each within 64 bits; most values need
    // no 128-bit division.
    uint64_t integer = 0;
    uint64_t decimals = 0;
    if ((whole >> 64) == 0) {
        const auto small = static_cast<uint64_t>(whole);
        integer = small / Ten;
        decimals = small - integer * Ten;
    } else {
        integer = static_cast<uint64_t>(whole / Ten);
        decimals = static_cast<uint64_t>(whole % Ten);
    }
    // Written straight into Out from its end backwards, the length known
    // first: a text built elsewhere and copied over would be read back
    // before its bytes are stored.
    const bool negative = whole != 0 && std::signbit(Value); // "-0.000" reads as "0.000"
    int integerDigits = 1;
    for (uint64_t ten = 10; integerDigits < 20 && integer >= ten; ten *= 10)
        ++integerDigits;
    char *const end = Out + (negative ? 1 : 0) + integerDigits + (Decimals > 0 ? Decimals + 1 : 0);
    char *at = end;
    // Two digits at a time.
    int left = Decimals;
    for (; left >= 2; left -= 2) {
        at -= 2;
        std::memcpy(at, DigitPairs + 2 * (decimals % 100), 2);
        decimals /= 100;
    }
    if (left > 0)
        *--at = static_cast<char>('0' + decimals % 10);
    if (Decimals > 0)
        *--at = '.';
    const char *const integerEnd = at;
    while (integer >= 10) {
        at -= 2;
        std::memcpy(at, DigitPairs + 2 * (integer % 100), 2);
        integer /= 100;
    }
    if (integer > 0 || at == integerEnd) // at least one integer digit
        *--at = static_cast<char>('0' + integer);
    if (negative)
        *--at = '-';
    return end;
}

} // namespace

char *FormatFixedTo(char *Out, long double Value, int Decimals)
{
    switch (Decimals) {
    case 0: return FixedTextTo<0>(Out, Value);
    case 1: return FixedTextTo<1>(Out, Value);
    case 2: return FixedTextTo<2>(Out, Value);
    case 3: return FixedTextTo<3>(Out, Value);
    case 4: return FixedTextTo<4>(Out, Value);
    case 5: return FixedTextTo<5>(Out, Value);
    case 6: return FixedTextTo<6>(Out, Value);
    case 7: return FixedTextTo<7>(Out, Value);
    case 8: return FixedTextTo<8>(Out, Value);
    case 9: return FixedTextTo<9>(Out, Value);
    default: return nullptr;
    }
}

void AppendFixed(std::string &Text, long double Value, int Decimals)
{
    char digits[FixedTextSize];
    if (char *end = FormatFixedTo(digits, Value, Decimals))
        Text.append(digits, end);
    else
        Text += FormatFixed(Value, Decimals);
}

std::string FormatFixed(long double Value, int Decimals, int MinDigits)
{
    if (!std::isfinite(Value))
        return std::isnan(Value) ? "NAN" : (Value > 0 ? "INF" : "-INF");
    if (MinDigits <= 0) {
        char digits[FixedTextSize];
        if (char *end = FormatFixedTo(digits, Value, Decimals))
            return std::string(digits, end);
    }
    char buffer[128];
    int width = MinDigits > 0 ? MinDigits + (Decimals > 0 ? 1 : 0) : 0;
    // Delphi's format counts the "0" placeholders; a sign adds to the width.
    if (Value < 0 && width > 0)
        ++width;
    std::snprintf(buffer, sizeof buffer, "%0*.*Lf", width, Decimals, Value);
    std::string text = buffer;
    // "-0.000" reads as "0.000" in the system's displays.
    bool allZero = text.find_first_not_of("-0.") == std::string::npos;
    if (allZero && !text.empty() && text[0] == '-')
        text.erase(0, 1);
    return text;
}

std::string FloatToStr(long double Value, int Significant)
{
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value > 0 ? "INF" : "-INF";
    if (Value == 0)
        return "0";
    char buffer[128];
    long double magnitude = std::fabs(Value);
    if (magnitude >= 1e15L || magnitude < 1e-5L) {
        std::snprintf(buffer, sizeof buffer, "%.*LE", Significant - 1, Value);
        // Trim trailing zeros of the mantissa: 1.5000E+020 -> 1.5E+020 style.
        std::string text = buffer;
        auto e = text.find('E');
        std::string mantissa = text.substr(0, e), exponent = text.substr(e);
        if (mantissa.find('.') != std::string::npos) {
            while (!mantissa.empty() && mantissa.back() == '0')
                mantissa.pop_back();
            if (!mantissa.empty() && mantissa.back() == '.')
                mantissa.pop_back();
        }
        return mantissa + exponent;
    }
    std::snprintf(buffer, sizeof buffer, "%.*Lg", Significant, Value);
    return buffer;
}

bool TryStrToFloat(std::string_view Text, long double &Value)
{
    std::string text = Trim(Text);
    if (text.empty())
        return false;
    for (char c : text)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
              c == 'e' || c == 'E'))
            return false;
    errno = 0;
    char *end = nullptr;
    // strtold honours LC_NUMERIC; the program never changes it from "C".
    long double v = std::strtold(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(v))
        return false;
    Value = v;
    return true;
}

bool TryStrToFloat(std::string_view Text, double &Value)
{
    long double v;
    if (!TryStrToFloat(Text, v) || std::fabs(v) > std::numeric_limits<double>::max())
        return false;
    Value = static_cast<double>(v);
    return true;
}

bool TryStrToInt(std::string_view Text, int32_t &Value)
{
    std::string text = Trim(Text);
    if (text.empty())
        return false;
    bool negative = false;
    size_t pos = 0;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        pos = 1;
    }
    int base = 10;
    if (pos < text.size() && text[pos] == '$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size())
        return false;
    long long v = 0;
    auto [ptr, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), v, base);
    if (ec != std::errc() || ptr != text.data() + text.size())
        return false;
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return false;
    Value = static_cast<int32_t>(v);
    return true;
}

int32_t StrToIntDef(std::string_view Text, int32_t Default)
{
    int32_t v;
    return TryStrToInt(Text, v) ? v : Default;
}

std::string IntToStr(long long Value) { return std::to_string(Value); }

std::string UpperCase(std::string_view Text)
{
    std::string s(Text);
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string LowerCase(std::string_view Text)
{
    std::string s(Text);
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool SameText(std::string_view A, std::string_view B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i) {
        char a = A[i], b = B[i];
        if (a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

std::string Trim(std::string_view Text)
{
    size_t b = 0, e = Text.size();
    while (b < e && static_cast<unsigned char>(Text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(Text[e - 1]) <= ' ')
        --e;
    return std::string(Text.substr(b, e - b));
}

} // namespace orv
