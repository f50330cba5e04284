#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>
#include <limits>

using namespace orv;

TEST(NumberText, RoundGoesToEvenOnHalves)
{
    struct {
        long double In;
        int32_t Out;
    } rows[] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {2.4999L, 2},
                {2.5001L, 3}, {-2.6L, -3}, {2147483647.0L, 2147483647}, {3.5L, 4}, {-3.5L, -4},
                {-0.4999L, 0}, {1e-30L, 0}, {-2147483648.5L, -2147483647 - 1},
                {2147483646.5L, 2147483646}, {-2147483647.5L, -2147483647 - 1}};
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

// Every text is the C library's "%.*Lf" of the value (with "-0.000" read as
// "0.000") for every count of decimals from 0 to 9: ties go to even on the
// exact binary value, values a double cannot hold keep their extra digits.
TEST(NumberText, FixedTextMatchesTheCLibrary)
{
    auto reference = [](long double Value, int Decimals) {
        char text[128];
        std::snprintf(text, sizeof text, "%.*Lf", Decimals, Value);
        std::string s = text;
        if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
            s.erase(0, 1);
        return s;
    };
    const long double fixed[] = {0.0L, -0.0L, 0.125L, 0.375L, 2.5L, -2.5L, 1e-5L, -1e-5L,
                                 0.00005L, -0.00005L, 123456789.0005L, 1e22L, -9e9L,
                                 1.0L / 3, 2.0L / 3 * 1e-3L, 0.1L, 1e29L, 5e-324L, 0x1p62L,
                                 -0x1p63L + 1024, 9e18L / 7, 0.5L, 1.5L, -0.5L, 1e-25L};
    std::mt19937_64 random(16);
    std::vector<long double> values(std::begin(fixed), std::end(fixed));
    for (int i = 0; i < 5000; ++i) {
        double magnitude = std::pow(10.0, static_cast<int>(random() % 16) - 6);
        double value = (static_cast<double>(random() % 2000001) - 1000000) / 1000000 * magnitude;
        values.push_back(i % 4 == 0 ? value / 1000.0L : value);
        values.push_back(std::round(value * 1000) / 1000 + (i % 2 ? 0.0005 : -0.00005));
        values.push_back(std::atan2(static_cast<long double>(value), 7.0L) * 180 / 3.14159L);
        values.push_back(std::ldexp(static_cast<long double>(random() % 100000), -17) *
                         (i % 2 ? 1 : -1)); // exact ties at several decimals
    }
    for (long double v : values)
        for (int decimals = 0; decimals <= 9; ++decimals) {
            SCOPED_TRACE(reference(v, 25));
            ASSERT_EQ(FormatFixed(v, decimals), reference(v, decimals)) << decimals;
            std::string line = "X";
            AppendFixed(line, v, decimals);
            ASSERT_EQ(line, "X" + reference(v, decimals)) << decimals;
        }
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
