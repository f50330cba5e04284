// Code-page conversions for builds without the toolkit (the fuzz build):
// only Windows-1252, ISO-8859-1 and UTF-8 are known; every other code page is
// reported unsupported, as the toolkit's converters report the ones they lack.
#include "platform/CodePage.h"

#include <array>

namespace orv {

namespace {

// Windows-1252 characters 0x80..0x9F. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) are the control characters of the
// same number both ways, as the desktop's converter has them, so a text
// holding them is saved as it was read.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsSingleByte(int CodePage)
{
    return CodePage == 1252 || CodePage == 28591;
}

void AppendUtf8(std::string &Out, char32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

// Length of a well-formed UTF-8 sequence at Pos, 0 when it is malformed.
size_t Utf8SequenceLength(std::string_view Bytes, size_t Pos, char32_t &C)
{
    const auto lead = static_cast<unsigned char>(Bytes[Pos]);
    size_t length = lead < 0x80                   ? 1
                    : lead >= 0xF0 && lead < 0xF5 ? 4
                    : lead >= 0xE0                ? 3
                    : lead >= 0xC2                ? 2
                                                  : 0;
    if (length == 0 || Pos + length > Bytes.size())
        return 0;
    C = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(Bytes[Pos + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        C = (C << 6) | (next & 0x3F);
    }
    return length;
}

void DecodeUtf8(std::string_view Bytes, std::u16string &Text)
{
    for (size_t pos = 0; pos < Bytes.size();) {
        char32_t c = 0;
        const size_t length = Utf8SequenceLength(Bytes, pos, c);
        if (length == 0) {
            Text += u'\xFFFD';
            ++pos;
            continue;
        }
        pos += length;
        if (c >= 0x10000) {
            Text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            Text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            Text += static_cast<char16_t>(c);
        }
    }
}

void EncodeUtf8(std::u16string_view Text, std::string &Bytes)
{
    for (size_t i = 0; i < Text.size(); ++i) {
        char32_t c = Text[i];
        const bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < Text.size() &&
                          Text[i + 1] >= 0xDC00 && Text[i + 1] < 0xE000;
        if (pair) {
            c = 0x10000 + ((c - 0xD800) << 10) + (Text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(Bytes, c);
    }
}

char EncodeSingleByte(int CodePage, char16_t C)
{
    if (C < 0x80 || (C >= 0xA0 && C < 0x100) || (CodePage == 28591 && C < 0x100))
        return static_cast<char>(C);
    if (CodePage == 1252)
        for (size_t i = 0; i < Cp1252High.size(); ++i)
            if (Cp1252High[i] == C)
                return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

bool CodePageAvailable(int CodePage)
{
    return IsSingleByte(CodePage) || CodePage == 65001;
}

bool DecodeCodePage(int CodePage, std::string_view Bytes, std::u16string &Text)
{
    Text.clear();
    if (CodePage == 65001) {
        DecodeUtf8(Bytes, Text);
        return true;
    }
    if (!IsSingleByte(CodePage))
        return false;
    for (char b : Bytes) {
        const auto c = static_cast<unsigned char>(b);
        const bool high = CodePage == 1252 && c >= 0x80 && c < 0xA0;
        Text += high ? Cp1252High[c - 0x80] : static_cast<char16_t>(c);
    }
    return true;
}

bool EncodeCodePage(int CodePage, std::u16string_view Text, std::string &Bytes)
{
    Bytes.clear();
    if (CodePage == 65001) {
        EncodeUtf8(Text, Bytes);
        return true;
    }
    if (!IsSingleByte(CodePage))
        return false;
    for (char16_t c : Text)
        Bytes += EncodeSingleByte(CodePage, c);
    return true;
}

} // namespace orv
