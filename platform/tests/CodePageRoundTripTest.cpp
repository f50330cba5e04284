// Every byte of a single-byte code page comes back from a load and a save:
// the five bytes Windows-1252 leaves undefined are read as the control
// characters of the same number, as the desktop's converter reads them.
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
    for (int codePage : {1252, 28591, 1250, 1251, 1254, 1258}) {
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
