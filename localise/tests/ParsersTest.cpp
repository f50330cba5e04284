#include "localise/LxErrors.h"
#include "localise/LxParsers.h"
#include "localise/LxSystem.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace orv;

namespace {

std::vector<std::string> AllFields(TLxStringParser &Parser)
{
    std::vector<std::string> fields;
    while (!Parser.AtEnd())
        fields.push_back(Parser.NextField());
    return fields;
}

} // namespace

TEST(LxStringParser, CutsFieldsAtTheSeparator)
{
    struct Case {
        const char *Name;
        std::string Text;
        char Separator;
        std::vector<std::string> Fields;
    };
    const Case cases[] = {
        {"three tab fields", "a\tb\tc", '\t', {"a", "b", "c"}},
        {"empty middle item in a comma list", "1,,3", ',', {"1", "", "3"}},
        {"consecutive tabs", "a\t\t\tb", '\t', {"a", "", "", "b"}},
        {"trailing separator gives no further field", "a\tb\t", '\t', {"a", "b"}},
        {"leading separator", "\tb", '\t', {"", "b"}},
        {"empty text", "", '\t', {}},
        {"space separator", "Chinese Traditional", ' ', {"Chinese", "Traditional"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxStringParser parser(c.Separator);
        parser.SetText(c.Text);
        EXPECT_EQ(AllFields(parser), c.Fields);
    }
}

TEST(LxStringParser, FieldsPastTheEndAreEmpty)
{
    TLxStringParser parser;
    parser.SetText("only");
    EXPECT_EQ(parser.NextField(), "only");
    EXPECT_TRUE(parser.AtEnd());
    EXPECT_EQ(parser.NextField(), "");
    EXPECT_EQ(parser.NextIntegerDef(7), 7);
    EXPECT_EQ(parser.NextChar('x'), 'x');
}

TEST(LxStringParser, DecodesEscapesOnlyWhenConverting)
{
    TLxStringParser plain;
    plain.SetText("A#CB\tC##");
    EXPECT_EQ(plain.NextField(), "A#CB");
    TLxStringParser converting('\t', true);
    converting.SetText("A#CB\tC##\tend#T");
    EXPECT_EQ(converting.NextField(), "A\rB");
    EXPECT_EQ(converting.NextField(), "C#");
    EXPECT_EQ(converting.NextField(), "end\t");
}

TEST(LxStringParser, TypedReads)
{
    TLxStringParser parser;
    parser.SetText("42\t-7\tyes\tFALSE\tNo\t1\tabc\t\tmaybe");
    EXPECT_EQ(parser.NextInteger(), 42);
    EXPECT_EQ(parser.NextInteger(), -7);
    EXPECT_TRUE(parser.NextBoolean());
    EXPECT_FALSE(parser.NextBoolean());
    EXPECT_FALSE(parser.NextBoolean());
    EXPECT_TRUE(parser.NextBoolean());
    try {
        parser.NextInteger();
        FAIL() << "abc read as an integer";
    } catch (const lx::EConvertError &e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
    EXPECT_THROW(parser.NextInteger(), lx::EConvertError); // the empty field
    try {
        parser.NextBoolean();
        FAIL() << "maybe read as a boolean";
    } catch (const lx::Exception &e) {
        EXPECT_STREQ(e.what(), "maybe is not a boolean value");
    }
}

TEST(LxDecodeEscapes, Table)
{
    struct Case {
        const char *Name;
        std::string Text;
        std::string Decoded;
    };
    const Case cases[] = {
        {"CR between letters", "A#CB", "A\rB"},
        {"LF", "#L", "\n"},
        {"TAB at the end", "x#T", "x\t"},
        {"double hash at the end", "x##", "x#"},
        {"hash before another letter stays", "#x#c", "#x#c"},
        {"lower-case letters are no escapes", "#t#l", "#t#l"},
        {"lone hash at the end stays", "end#", "end#"},
        {"one pass, left to right", "###C", "#\r"},
        {"no hash", "plain", "plain"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(DecodeEscapes(c.Text), c.Decoded);
        EXPECT_EQ(DecodeEscapes(TextToWide(c.Text)), TextToWide(c.Decoded));
    }
}

TEST(LxUTF8ToWide, DecodesOneToThreeByteSequences)
{
    EXPECT_EQ(UTF8ToWide("abc"), u"abc");
    EXPECT_EQ(UTF8ToWide("\xC3\xA9"), u"\u00E9");
    EXPECT_EQ(UTF8ToWide("\xE2\x82\xAC"), u"\u20AC");
    EXPECT_EQ(UTF8ToWide(""), u"");
}

TEST(LxUTF8ToWide, RejectsBrokenSequences)
{
    struct Case {
        const char *Name;
        std::string Bytes;
    };
    const Case cases[] = {
        {"lone lead byte at the end", "ab\xC3"},
        {"lead byte followed by ASCII", "\xC3"
                                        "A"},
        {"continuation byte first", "\x80"},
        {"three-byte sequence cut short", "\xE2\x82"},
        {"four-byte sequence", "\xF0\x9F\x98\x80"},
        {"invalid lead byte", "\xFF"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            UTF8ToWide(c.Bytes);
            FAIL() << "decoded";
        } catch (const ELxUTF8 &e) {
            EXPECT_STREQ(e.what(), "Invalid UTF-8 string");
            EXPECT_EQ(e.Text(), c.Bytes);
        }
    }
}

TEST(LxCodePages, ConvertBothWays)
{
    struct Case {
        const char *Name;
        int CodePage;
        std::string Bytes;
        std::u16string Wide;
    };
    const Case cases[] = {
        {"Western euro sign", 1252, "\x80", u"\u20AC"},
        {"Western umlaut", 1252,
         "\xD6"
         "ffnen",
         u"\u00D6ffnen"},
        {"Cyrillic", 1251, "\xD4\xE0\xE9\xEB", u"\u0424\u0430\u0439\u043B"},
        {"Central European", 1250, "\xB9", u"\u0105"},
        {"UTF-8", 65001, "\xC3\xA9", u"\u00E9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(AnsiToWide(c.Bytes, c.CodePage), c.Wide);
        EXPECT_EQ(WideToAnsi(c.Wide, c.CodePage), c.Bytes);
    }
}

TEST(LxCodePages, CodePageZeroIsTheSystemAnsiCodePage)
{
    const TLxSystem saved = LxSystem();
    LxSystem().AnsiCodePage = 1251;
    EXPECT_EQ(AnsiToWide("\xD4", 0), u"\u0424");
    EXPECT_EQ(AnsiToText("\xD4", 0), "\u0424");
    LxSystem() = saved;
}

TEST(LxCodePages, UnsupportedCodePageConvertsNothing)
{
    EXPECT_FALSE(CodePageAvailable(1361)); // Johab: the converters lack it
    EXPECT_EQ(AnsiToWide("abc", 1361), u"");
    EXPECT_EQ(WideToAnsi(u"abc", 1361), "");
    // Program text keeps the bytes rather than dropping them.
    EXPECT_EQ(AnsiToText("abc", 1361), "abc");
    EXPECT_EQ(AnsiToText("\xE9", 1361), "\u00E9");
}

TEST(LxCodePages, CharactersACodePageLacksBecomeQuestionMarks)
{
    EXPECT_EQ(TextToAnsi("\u0424x", 1252), "?x");
}

TEST(LxCopyWideToBuffer, NeverWritesPastTheRoom)
{
    char16_t buffer[6];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(CopyWideToBuffer(buffer, 4, u"abcdef"), 3u);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(buffer[4], u'#');
    EXPECT_EQ(CopyWideToBuffer(buffer, 6, u"ab"), 2u);
    EXPECT_EQ(std::u16string(buffer), u"ab");
    EXPECT_EQ(CopyWideToBuffer(buffer, 0, u"ab"), 0u);
}

TEST(LxWideParser, FieldsAsAnsiWideAndText)
{
    TLxWideParser parser(u'\t', true, 1251);
    parser.SetText(u"\u0424#T\t12\ttrue\t\u00E9");
    EXPECT_EQ(parser.NextField(), "\xD4\t");
    EXPECT_EQ(parser.NextInteger(), 12);
    EXPECT_TRUE(parser.NextBoolean());
    EXPECT_EQ(parser.NextTextField(), "\u00E9");
    EXPECT_TRUE(parser.AtEnd());
}
