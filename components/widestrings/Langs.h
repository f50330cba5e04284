#pragma once
// Locale text functions: a locale id's 8-bit code page and character set,
// and text between 8 and 16 bits in a code page.

#include <string>

namespace orv {

// The locale's ANSI code page (1251 for 1049), else the system's (1252).
int LocaleCodePage(int Language);
int LocaleCharset(int Language);
// Characters the code page cannot hold become "?"; empty in, empty out.
std::u16string TextToWide(const std::string &Text, int CodePage);
std::string WideToText(const std::u16string &Text, int CodePage);
// The user's default locale.
int DefaultLanguage();

} // namespace orv
