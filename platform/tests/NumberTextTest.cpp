#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace orv;

TEST(NumberText, RoundGoesToEvenOnHalves)
{
    struct {
        long double In;
        int32_t Out;
    } rows[] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {2.4999L, 2},
                {2.5001L, 3}, {-2.6L, -3}, {2147483647.0L, 2147483647}};
    for (auto r : rows) {
        SCOPED_TRACE(static_cast<double>(r.In));
        EXPECT_EQ(Round(r.In), r.Out);
    }
}

TEST(NumberText, ConversionsOutOfRangeGiveTheFallback)
{
    long double nan = std::numeric_limits<long double>::quiet_NaN();
    EXPECT_EQ(Round(nan, -7), -7);
    EXPECT_EQ(Round(9e9L, -7), -7);
    EXPECT_EQ(Round(2147483647.5L, -7), -7); // rounds to 2^31: one past the edge
    EXPECT_EQ(Trunc(-2.9L), -2);
    EXPECT_EQ(Trunc(std::numeric_limits<long double>::infinity(), 5), 5);
    EXPECT_FALSE(FitsInt32(-2147483649.0L));
    EXPECT_TRUE(FitsInt32(-2147483648.0L));
}

TEST(NumberText, FixedTextUsesPointAndPadsDigits)
{
    EXPECT_EQ(FormatFixed(1.0L, 4), "1.0000");
    EXPECT_EQ(FormatFixed(1.0L, 4, 6), "01.0000");
    EXPECT_EQ(FormatFixed(12.5L, 3, 7), "0012.500");
    EXPECT_EQ(FormatFixed(-12.5L, 3, 7), "-0012.500");
    EXPECT_EQ(FormatFixed(-0.0001L, 3), "0.000");
    EXPECT_EQ(FormatFixed(3.14159L, 0), "3");
}

TEST(NumberText, NumberTextsParseWholeOrNotAtAll)
{
    long double v = 0;
    EXPECT_TRUE(TryStrToFloat(" 12.5 ", v));
    EXPECT_EQ(v, 12.5L);
    EXPECT_TRUE(TryStrToFloat("-1e3", v));
    EXPECT_EQ(v, -1000.0L);
    for (const char *bad : {"", "1,5", "12a", "--1", "1.2.3", "nan", "inf"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(TryStrToFloat(bad, v));
    }
    int32_t i = 0;
    EXPECT_TRUE(TryStrToInt("$1F", i));
    EXPECT_EQ(i, 31);
    EXPECT_FALSE(TryStrToInt("2147483648", i));
    EXPECT_EQ(StrToIntDef("x", 9), 9);
}

TEST(NumberText, FloatToStrIsShortest)
{
    EXPECT_EQ(FloatToStr(0.1L), "0.1");
    EXPECT_EQ(FloatToStr(25.0L), "25");
    EXPECT_EQ(FloatToStr(-3.25L), "-3.25");
}
