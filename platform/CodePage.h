#pragma once
// Conversions between byte texts in a numbered code page (1252, 1251, 932,
// 65001 for UTF-8, ... as Windows numbers them) and UTF-16 text. The
// converters are the toolkit's; a code page they lack is reported
// unsupported and converts nothing. Code page 0 is not a code page here:
// callers resolve it to the one they mean first.

#include <string>
#include <string_view>

namespace orv {

// True when texts in that code page can be converted both ways.
bool CodePageAvailable(int CodePage);

// Bytes in CodePage to UTF-16. False (Text empty) when the code page is not
// available. In a code page of one byte per character no byte is lost: a
// byte the converter leaves undefined is read as a character of our own,
// and that character is saved as the byte again. Bytes 0x80..0x9F take the
// control character of the same number (as Windows-1252's five undefined
// bytes do); bytes from 0xA0 take the private-use character U+F700 + byte
// (1253's 0xD2 is U+F7D2). In other code pages (932, 936, 949, 950, UTF-8)
// malformed bytes become U+FFFD.
bool DecodeCodePage(int CodePage, std::string_view Bytes, std::u16string &Text);

// UTF-16 to bytes in CodePage. False (Bytes empty) when the code page is not
// available. Characters the code page cannot hold become "?".
bool EncodeCodePage(int CodePage, std::u16string_view Text, std::string &Bytes);

} // namespace orv
