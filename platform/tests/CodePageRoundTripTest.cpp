// Every byte of a single-byte code page comes back from a load and a save:
// the five bytes Windows-1252 leaves undefined are read as the control
// characters of the same number, as the desktop's converter reads them; the
// bytes the converters leave undefined in other single-byte code pages are
// read as our characters (controls below 0xA0, U+F700 + byte above) and
// saved as the bytes again, while the defined ones keep their letters and
// the multi-byte code pages are untouched.
// Built against the toolkit's converters and against the built-in table.
#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace orv;

namespace {

std::string AllBytes()
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

} // namespace

TEST(CodePageRoundTrip, EveryByteOfASingleByteCodePageComesBack)
{
    // 1252 and 28591 are in every build; the others where the converters have them.
    for (int codePage : {1252, 28591, 874, 1250, 1251, 1253, 1254, 1255, 1256, 1257, 1258, 28597,
                         28598, 20127}) {
        SCOPED_TRACE(codePage);
        if (!CodePageAvailable(codePage)) {
            EXPECT_NE(codePage, 1252);
            EXPECT_NE(codePage, 28591);
            continue;
        }
        std::u16string text;
        ASSERT_TRUE(DecodeCodePage(codePage, AllBytes(), text));
        ASSERT_EQ(text.size(), 256u);
        EXPECT_EQ(text.find(u'\xFFFD'), std::u16string::npos) << "a byte read as unknown";
        std::string saved;
        ASSERT_TRUE(EncodeCodePage(codePage, text, saved));
        EXPECT_EQ(saved, AllBytes());
    }
}

TEST(CodePageRoundTrip, UndefinedBytesOf1252AreTheirControlCharacters)
{
    struct Case {
        char Byte;
        char16_t Character;
    };
    const Case cases[] = {{'\x81', u'\u0081'}, {'\x8D', u'\u008D'}, {'\x8F', u'\u008F'},
                          {'\x90', u'\u0090'}, {'\x9D', u'\u009D'},
                          // Their neighbours keep their letters.
                          {'\x80', u'\u20AC'}, {'\x8E', u'\u017D'}, {'\x9E', u'\u017E'}};
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c.Byte)));
        std::u16string text;
        ASSERT_TRUE(DecodeCodePage(1252, std::string(1, c.Byte), text));
        EXPECT_EQ(text, std::u16string(1, c.Character));
        std::string bytes;
        ASSERT_TRUE(EncodeCodePage(1252, std::u16string(1, c.Character), bytes));
        EXPECT_EQ(bytes, std::string(1, c.Byte));
    }
    // Control characters 1252 gives other letters still have no place in it.
    std::string bytes;
    ASSERT_TRUE(EncodeCodePage(1252, u"\u0080\u009E", bytes));
    EXPECT_EQ(bytes, "??");
}

TEST(CodePageRoundTrip, BytesReadAsTheConvertersLettersOrOurs)
{
    struct Case {
        int CodePage;
        char Byte;
        char16_t Character;
    };
    const Case cases[] = {
        // Letters the converters define, beside the undefined bytes too.
        {1253, '\xC1', u'\u0391'}, {1253, '\xD1', u'\u03A1'}, {1253, '\xD3', u'\u03A3'},
        {1253, '\xFE', u'\u03CE'}, {1253, '\xA1', u'\u0385'}, {1255, '\xE0', u'\u05D0'},
        {1255, '\xC9', u'\u05B9'}, {1255, '\xCB', u'\u05BB'}, {1255, '\xFD', u'\u200E'},
        {1257, '\xC0', u'\u0104'}, {1257, '\xA2', u'\u00A2'}, {1257, '\xA4', u'\u00A4'},
        {874, '\xA1', u'\u0E01'},
        // Undefined bytes: private-use U+F700 + byte from 0xA0 on.
        {1253, '\xD2', u'\uF7D2'}, {1253, '\xFF', u'\uF7FF'}, {1255, '\xCA', u'\uF7CA'},
        {1255, '\xD9', u'\uF7D9'}, {1255, '\xDF', u'\uF7DF'}, {1255, '\xFB', u'\uF7FB'},
        {1255, '\xFF', u'\uF7FF'}, {1257, '\xA1', u'\uF7A1'}, {1257, '\xA5', u'\uF7A5'},
        {28597, '\xAE', u'\uF7AE'},
        // Below 0xA0 the control character of the same number.
        {20127, '\x81', u'\u0081'}, {20127, '\x9F', u'\u009F'}, {20127, '\xE9', u'\uF7E9'},
        {20127, 'A', u'A'}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.CodePage << " byte "
                                        << static_cast<int>(static_cast<unsigned char>(c.Byte)));
        if (!CodePageAvailable(c.CodePage))
            continue;
        std::u16string text;
        ASSERT_TRUE(DecodeCodePage(c.CodePage, std::string(1, c.Byte), text));
        EXPECT_EQ(text, std::u16string(1, c.Character));
        // In the middle of a text, too (the text is read in one piece).
        ASSERT_TRUE(DecodeCodePage(c.CodePage, std::string("N1 ") + c.Byte + " X", text));
        EXPECT_EQ(text, u"N1 " + std::u16string(1, c.Character) + u" X");
        std::string bytes;
        ASSERT_TRUE(EncodeCodePage(c.CodePage, std::u16string(1, c.Character), bytes));
        EXPECT_EQ(bytes, std::string(1, c.Byte));
    }
}

TEST(CodePageRoundTrip, OurCharactersSaveAsTheirBytesOthersAsQuestionMarks)
{
    if (!CodePageAvailable(1253))
        return; // only where the converters have 1253
    struct Case {
        const char16_t *Text;
        const char *Bytes;
    };
    const Case cases[] = {
        {u"N10 X\uF7D2", "N10 X\xD2"},
        {u"\uF7FF\u0391\uF7D2", "\xFF\xC1\xD2"},
        // Our character for a byte 1253 defines is not that byte.
        {u"A\uF7C1", "A?"},
        // Characters 1253 cannot hold, beside ours.
        {u"\u4E2D\uF7D2\u0410", "?\xD2?"},
        {u"\U0001F600\uF7FF", "?\xFF"},
        // A high surrogate without its pair does not take the next character.
        {u"\xD800Z\uF7D2", "?Z\xD2"},
        // Controls 1253 does not leave undefined stay foreign to it.
        {u"\u0080\u0081", "?\x81"},
    };
    for (const Case &c : cases) {
        const std::u16string text(c.Text);
        SCOPED_TRACE(c.Bytes);
        std::string bytes;
        ASSERT_TRUE(EncodeCodePage(1253, text, bytes));
        EXPECT_EQ(bytes, c.Bytes);
    }
}

TEST(CodePageRoundTrip, MultiByteCodePagesKeepTheirReading)
{
    struct Case {
        int CodePage;
        const char *Bytes;
        const char16_t *Text;
    };
    const Case cases[] = {{65001, "\xC3\xA9", u"\u00E9"}, {65001, "A\xFF", u"A\uFFFD"},
                          {65001, "\xE9", u"\uFFFD"},      {932, "\x82\x9F", u"\u3041"},
                          {936, "\xB0\xA1", u"\u554A"},     {949, "\xB0\xA1", u"\uAC00"},
                          {950, "\xA4\x40", u"\u4E00"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.CodePage << " " << c.Bytes);
        if (!CodePageAvailable(c.CodePage))
            continue;
        std::u16string text;
        ASSERT_TRUE(DecodeCodePage(c.CodePage, c.Bytes, text));
        EXPECT_EQ(text, c.Text);
    }
    // A character a double-byte code page cannot hold is still "?".
    if (CodePageAvailable(932)) {
        std::string bytes;
        ASSERT_TRUE(EncodeCodePage(932, u"A\u0391\uF7D2\u3041", bytes));
        EXPECT_EQ(bytes, "A\x83\x9F?\x82\x9F");
    }
}
