#include "platform/RealText.h"

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include <limits>

namespace orv {
namespace {

TEST(RealText, ShortestTextOfUpToFifteenDigits)
{
    struct Row {
        const char *Name;
        long double Value;
        const char *Text;
    } rows[] = {
        {"zero", 0.0L, "0"},
        {"negative zero", -0.0L, "0"},
        {"integer", 42.0L, "42"},
        {"half", 0.5L, "0.5"},
        {"negative", -2.25L, "-2.25"},
        {"a third keeps 15 digits", 1.0L / 3.0L, "0.333333333333333"},
        {"two thirds rounds the last digit", 2.0L / 3.0L, "0.666666666666667"},
        {"a tenth has no binary tail", 0.1L, "0.1"},
        {"smallest plain value", 0.00001L, "0.00001"},
        {"below it goes to exponent form", 0.000001L, "1E-6"},
        {"fifteen integer digits stay plain", 123456789012345.0L, "123456789012345"},
        {"sixteen integer digits", 1234567890123456.0L, "1.23456789012346E15"},
        {"the not-programmed marker", 9e9L, "9000000000"},
        {"large", 1.5e20L, "1.5E20"},
        {"not a number", std::numeric_limits<long double>::quiet_NaN(), "NAN"},
        {"infinite", -std::numeric_limits<long double>::infinity(), "-INF"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(RealToText(row.Value), row.Text);
    }
}

TEST(RealText, ReadingTexts)
{
    struct Row {
        const char *Text;
        bool Ok;
        long double Value;
    } rows[] = {
        {"1.5", true, 1.5L},   {"-0.25", true, -0.25L}, {"+3", true, 3},     {" 7 ", true, 7},
        {"5.", true, 5},       {".5", true, 0.5L},      {"1E3", true, 1000}, {"2e-2", true, 0.02L},
        {"", false, 0},        {".", false, 0},         {"-", false, 0},     {"1,5", false, 0},
        {"1.2.3", false, 0},   {"abc", false, 0},       {"1E", false, 0},    {"1e5000", false, 0},
        {"NAN", false, 0},     {"0x10", false, 0},      {"1 2", false, 0},
        // 19 digits are read at once; 20 would overflow that reading.
        {"-.9999999999999999999", true, -1.0L}, {"99999999999999999999", true, 1e20L},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Text);
        long double value = -99;
        EXPECT_EQ(TextToReal(row.Text, value), row.Ok);
        if (row.Ok)
            EXPECT_NEAR(static_cast<double>(value), static_cast<double>(row.Value), 1e-15);
        else
            EXPECT_EQ(value, -99);
    }
    EXPECT_EQ(TextToRealDef("x", 4), 4);
}

// Short decimals (what NC words hold) read to the very value the C library
// gives, the sign of a zero included.
TEST(RealText, ShortDecimalsReadAsTheCLibraryReadsThem)
{
    std::vector<std::string> texts = {"0", "-0", "-0.000", "5.", "-.5", "0.1", "123456789",
                                      "9999999999999999999", "1234567890.123456789",
                                      "0.0000000000000000001", "-12.345", "+7.25"};
    std::mt19937 random(16);
    for (int i = 0; i < 20000; ++i) {
        std::string digits = std::to_string(random() % 1000000000);
        digits.insert(random() % (digits.size() + 1), ".");
        texts.push_back((i % 2 ? "-" : "") + digits);
    }
    for (const std::string &text : texts) {
        SCOPED_TRACE(text);
        long double value = 0;
        ASSERT_TRUE(TextToReal(text, value));
        long double expected = std::strtold(text.c_str(), nullptr);
        ASSERT_EQ(value, expected);
        ASSERT_EQ(std::signbit(value), std::signbit(expected));
    }
}

TEST(RealText, ShownTextReadsBackAsTheFifteenDigitValue)
{
    long double third = 1.0L / 3.0L;
    long double back = 0;
    ASSERT_TRUE(TextToReal(RealToText(third), back));
    EXPECT_NE(back, third);
    EXPECT_EQ(back, 0.333333333333333L);
}

} // namespace
} // namespace orv
