#include "platform/CodePage.h"
#include "platform/FormatSettings.h"

#include <gtest/gtest.h>

using namespace orv;

TEST(CodePage, KnownAndUnknownCodePages)
{
    struct Case {
        const char *Name;
        int CodePage;
        bool Available;
    };
    const Case cases[] = {
        {"Western", 1252, true},
        {"Cyrillic", 1251, true},
        {"UTF-8", 65001, true},
        {"Japanese", 932, true},
        {"Johab", 1361, false},
        {"no such code page", 12345, false},
        {"zero is no code page", 0, false},
        {"negative", -5, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(CodePageAvailable(c.CodePage), c.Available);
        std::u16string text = u"x";
        std::string bytes = "x";
        EXPECT_EQ(DecodeCodePage(c.CodePage, "ab", text), c.Available);
        EXPECT_EQ(EncodeCodePage(c.CodePage, u"ab", bytes), c.Available);
        if (c.Available)
            EXPECT_EQ(bytes, "ab");
        else
            EXPECT_TRUE(text.empty() && bytes.empty());
    }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks)
{
    std::string bytes;
    ASSERT_TRUE(EncodeCodePage(1252, u"\u20AC\u0424\U0001F600!", bytes));
    EXPECT_EQ(bytes, "\x80?"
                     "?!");
    std::u16string text;
    ASSERT_TRUE(DecodeCodePage(1251, "\xC0\xFF", text));
    EXPECT_EQ(text, u"\u0410\u044F");
}

TEST(FormatSettings, StartsWithUnitedStatesConventions)
{
    const TFormatSettings settings;
    EXPECT_EQ(settings.DecimalSeparator, ".");
    EXPECT_EQ(settings.ShortDayNames[0], "Sun");
    EXPECT_EQ(TProcessLocale().ThreadLocale, 0x0409);
}
