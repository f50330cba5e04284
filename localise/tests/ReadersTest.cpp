#include "localise/LxErrors.h"
#include "localise/LxParsers.h"
#include "localise/LxReaders.h"
#include "localise/LxResources.h"
#include "localise/tests/LxTestSupport.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

using namespace orv;

namespace {

std::vector<std::string> AnsiLines(TLxBaseAnsiReader &Reader)
{
    Reader.Open();
    std::vector<std::string> lines;
    while (!Reader.AtEnd())
        lines.push_back(Reader.ReadLine());
    return lines;
}

std::vector<std::string> WideLines(TLxBaseWideReader &Reader)
{
    Reader.Open();
    std::vector<std::string> lines;
    while (!Reader.AtEnd())
        lines.push_back(WideToText(Reader.ReadLine()));
    return lines;
}

std::string Utf16(const std::u16string &Text, bool BigEndian)
{
    std::string bytes;
    for (char16_t c : Text) {
        const char high = static_cast<char>(c >> 8);
        const char low = static_cast<char>(c & 0xFF);
        bytes += BigEndian ? high : low;
        bytes += BigEndian ? low : high;
    }
    return bytes;
}

} // namespace

TEST(LxAnsiReader, LineEnds)
{
    struct Case {
        const char *Name;
        std::string Content;
        std::vector<std::string> Lines;
    };
    const Case cases[] = {
        {"CR LF CR LF between two rows yields two lines", "one\r\n\r\ntwo\r\n", {"one", "two"}},
        {"LF LF and CR alone", "a\n\nb\rc", {"a", "b", "c"}},
        {"last line without a line end", "a\r\nb", {"a", "b"}},
        {"an empty line at the very start is one empty line", "\r\nrow", {"", "row"}},
        {"empty file", "", {}},
        {"only line ends", "\r\n\n\r", {""}},
        {"bytes above 127 pass untouched", "\xD6\xE4\tx", {"\xD6\xE4\tx"}},
        {"line longer than the 256-byte buffer",
         std::string(700, 'x') + "\nend",
         {std::string(700, 'x'), "end"}},
        {"line end on the buffer border",
         std::string(255, 'y') + "\r\nz",
         {std::string(255, 'y'), "z"}},
    };
    test::TTempDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxAnsiReader reader(dir.Write("table.txt", c.Content));
        EXPECT_EQ(AnsiLines(reader), c.Lines);
    }
}

TEST(LxAnsiReader, MissingFileIsReportedByName)
{
    TLxAnsiReader reader("/no/such/folder/language.txt");
    try {
        reader.Open();
        FAIL() << "opened";
    } catch (const lx::EInOutError &e) {
        EXPECT_STREQ(e.what(), "Could not open the file /no/such/folder/language.txt");
    }
    EXPECT_TRUE(reader.AtEnd());
}

TEST(LxUTF8Reader, DecodesEachLine)
{
    test::TTempDir dir;
    TLxUTF8Reader reader(dir.Write("t.txt", "caf\xC3\xA9\r\n\xE2\x82\xAC 5\n"));
    EXPECT_EQ(WideLines(reader), (std::vector<std::string>{"caf\u00E9", "\u20AC 5"}));
}

TEST(LxUTF8Reader, LoneLeadByteAtTheEndOfALineIsRefused)
{
    test::TTempDir dir;
    TLxUTF8Reader reader(dir.Write("t.txt", "ok\n\xC3\nnext"));
    reader.Open();
    EXPECT_EQ(reader.ReadLine(), u"ok");
    try {
        reader.ReadLine();
        FAIL() << "decoded";
    } catch (const ELxUTF8 &e) {
        EXPECT_STREQ(e.what(), "Invalid UTF-8 string");
    }
}

TEST(LxUTF16Reader, ByteOrderMarks)
{
    const std::u16string text = u"Datei\t\u0424\u0430\u0439\u043B\r\nZweite\n";
    struct Case {
        const char *Name;
        std::string Content;
        TLxByteOrder Configured;
        bool Mark;
        TLxByteOrder Read;
    };
    const Case cases[] = {
        {"FF FE is little endian", "\xFF\xFE" + Utf16(text, false), lxboBigEndian, true,
         lxboLittleEndian},
        {"FE FF is big endian", "\xFE\xFF" + Utf16(text, true), lxboLittleEndian, true,
         lxboBigEndian},
        {"no mark, big endian configured", Utf16(text, true), lxboBigEndian, false, lxboBigEndian},
        {"no mark, little endian configured", Utf16(text, false), lxboLittleEndian, false,
         lxboLittleEndian},
    };
    test::TTempDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxUTF16Reader reader(dir.Write("t.txt", c.Content), c.Configured, c.Mark);
        EXPECT_EQ(WideLines(reader),
                  (std::vector<std::string>{"Datei\t\u0424\u0430\u0439\u043B", "Zweite"}));
        EXPECT_EQ(reader.ByteOrder(), c.Read);
    }
}

TEST(LxUTF16Reader, RequiredMarkMissing)
{
    struct Case {
        const char *Name;
        std::string Content;
    };
    const Case cases[] = {
        {"ANSI text", "Datei\tFile\r\n"},
        {"one byte only", "\xFF"},
        {"empty file", ""},
        {"mark bytes swapped into the text", "a\xFF\xFE"},
    };
    test::TTempDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxUTF16Reader reader(dir.Write("t.txt", c.Content));
        try {
            reader.Open();
            FAIL() << "opened";
        } catch (const ELxNotUnicodeFile &e) {
            EXPECT_STREQ(e.what(), "Not a Unicode file");
        }
        EXPECT_TRUE(reader.AtEnd()); // closed again
    }
}

TEST(LxUTF16Reader, OddLastByteIsDropped)
{
    test::TTempDir dir;
    TLxUTF16Reader reader(dir.Write("t.txt", "\xFF\xFE" + Utf16(u"ab", false) + "\x41"));
    EXPECT_EQ(WideLines(reader), (std::vector<std::string>{"ab"}));
}

TEST(LxResourceReaders, ReadWholeResources)
{
    test::TMemoryResources resources;
    resources.Add("LINGVARD", "MlAnsi", "one\r\n\r\ntwo");
    resources.Add("LINGVARD", "MlUtf8", "caf\xC3\xA9\ntwo\n");
    resources.Add("LINGVARD", "MlUtf16", "\xFF\xFE" + Utf16(u"one\r\n\r\nthree\nlast", false));
    TLxResourceAnsiReader ansi("MlAnsi");
    EXPECT_EQ(AnsiLines(ansi), (std::vector<std::string>{"one", "two"}));
    TLxResourceUTF8Reader utf8("MlUtf8");
    EXPECT_EQ(WideLines(utf8), (std::vector<std::string>{"caf\u00E9", "two"}));
    // UTF-16 resources keep empty lines and end a line at CR plus one character.
    TLxResourceUTF16Reader utf16("MlUtf16");
    EXPECT_EQ(WideLines(utf16), (std::vector<std::string>{"one", "", "three", "last"}));
}

TEST(LxResourceReaders, MissingResourceIsReportedByName)
{
    test::TMemoryResources resources;
    TLxResourceAnsiReader ansi("MlLanguage");
    try {
        ansi.Open();
        FAIL() << "opened";
    } catch (const lx::EInOutError &e) {
        EXPECT_STREQ(e.what(), "Could not open the resource MlLanguage");
    }
    TLxResourceUTF16Reader wide("MlTranslation");
    EXPECT_THROW(wide.Open(), lx::EInOutError);
}
