#pragma once
// Field parsers that cut one table row into fields at a separator (TAB
// unless told otherwise), with optional "#" escape decoding and typed reads,
// and the text conversions under them: UTF-8 to wide text, wide text to and
// from bytes in a code page, and both to the program's own text (UTF-8).

#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

// Row texts as ANSI bytes: TLxAnsiParser is the same class.
class TLxStringParser {
public:
    explicit TLxStringParser(char Separator = '\t', bool Convert = false);

    void SetText(std::string Text);
    const std::string &Text() const { return FText; }
    bool AtEnd() const { return FPosition >= FSize; }
    bool Convert() const { return FConvert; }
    void SetConvert(bool Value) { FConvert = Value; }

    // The characters up to the next separator or the end ("" past the end).
    std::string NextField();
    // The first character of the next field; Default when the field is empty.
    char NextChar(char Default = ' ');
    // The next field as a decimal integer; EConvertError when it is not one.
    int NextInteger();
    // The next field as an integer, 0 when it is empty or not a number.
    int NextIntegerDef(int Default = 0);
    // "0", "false", "no" / "1", "true", "yes" in any letter case; anything
    // else raises lx::Exception field + " is not a boolean value".
    bool NextBoolean();

private:
    std::string FText;
    size_t FPosition = 1;
    size_t FSize = 1;
    char FSeparator;
    bool FConvert;
};

using TLxAnsiParser = TLxStringParser;

// Row texts as wide (UTF-16) characters. Text results are ANSI bytes in the
// parser's code page (0 = the system's ANSI code page); the wide field itself
// and the field as program text are there too.
class TLxWideParser {
public:
    explicit TLxWideParser(char16_t Separator = u'\t', bool Convert = false, int CodePage = 0);

    void SetText(std::u16string Text);
    const std::u16string &Text() const { return FText; }
    bool AtEnd() const { return FPosition >= FSize; }
    void SetConvert(bool Value) { FConvert = Value; }
    int CodePage() const { return FCodePage; }
    void SetCodePage(int Value) { FCodePage = Value; }

    std::u16string NextWideField();
    std::string NextField();     // ANSI bytes in the parser's code page
    std::string NextTextField(); // program text (UTF-8), nothing lost
    char NextChar(char Default = ' ');
    int NextInteger();
    int NextIntegerDef(int Default = 0);
    bool NextBoolean();

private:
    std::u16string FText;
    size_t FPosition = 1;
    size_t FSize = 1;
    char16_t FSeparator;
    bool FConvert;
    int FCodePage;
};

// "#C" CR, "#L" LF, "#T" TAB, "##" "#"; a "#" before anything else (or at
// the end) stays as written. One pass, left to right.
std::string DecodeEscapes(std::string_view Text);
std::u16string DecodeEscapes(std::u16string_view Text);

// One- to three-byte UTF-8 sequences to 16-bit characters; any other lead
// byte or a missing continuation raises ELxUTF8 "Invalid UTF-8 string".
std::u16string UTF8ToWide(std::string_view Bytes);

// Wide text to bytes in CodePage and back (0 = the system's ANSI code page).
// A code page the converters lack gives an empty result.
std::string WideToAnsi(std::u16string_view Text, int CodePage);
std::u16string AnsiToWide(std::string_view Text, int CodePage);

// Copies Text and a terminating zero into Buffer, which holds Room
// characters; a text that does not fit is cut, never written past the room.
// Returns the characters copied (without the zero).
size_t CopyWideToBuffer(char16_t *Buffer, size_t Room, std::u16string_view Text);

// The program's own text is UTF-8.
std::string WideToText(std::u16string_view Text);
std::u16string TextToWide(std::string_view Text);
// ANSI bytes in CodePage (0 = system ANSI) as program text. Bytes in a code
// page the converters lack are kept when they are valid UTF-8, else read as
// ISO-8859-1, so that no text is dropped.
std::string AnsiToText(std::string_view Bytes, int CodePage);
// Program text as ANSI bytes in CodePage ("?" for what it cannot hold).
std::string TextToAnsi(std::string_view Text, int CodePage);

} // namespace orv
