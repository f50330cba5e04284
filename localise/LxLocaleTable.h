#pragma once
// The locales the program knows of its own, by Windows locale id: names,
// code page, currency, separators, date and time formats, calendar and the
// month and day names. It stands where the operating system's locale
// database would: the runtime never asks the user's system locale.

#include <array>
#include <cstddef>

namespace orv {

struct TLxLocaleNames {
    std::array<const char *, 12> ShortMonths;
    std::array<const char *, 12> LongMonths;
    std::array<const char *, 7> ShortDays; // Monday first
    std::array<const char *, 7> LongDays;
};

struct TLxLocaleData {
    int Primary;
    int Sub;
    int CodePage;
    const char *EnglishLanguage;
    const char *EnglishCountry;
    const char *NativeLanguage;
    const char *NativeCountry;
    const char *AbbrevLanguage;
    const char *Iso639;
    const char *Iso3166;
    int Measure; // 0 metric, 1 US
    const char *Currency;
    int CurrencyFormat;
    int NegCurrencyFormat;
    int CurrencyDigits;
    const char *Thousand;
    const char *Decimal;
    const char *DateSeparator;
    const char *ShortDate;
    const char *LongDate;
    const char *TimeSeparator;
    const char *AM;
    const char *PM;
    bool LeadingZero;
    int Clock;        // 0 = 12-hour clock
    int AMPMPosition; // 0 after, 1 before the time
    int Calendar;
    int FirstDayOfWeek; // 0 Monday .. 6 Sunday
    int FirstWeekOfYear;
    const TLxLocaleNames *Names;
};

inline int MakeLocaleIdOf(const TLxLocaleData &Row)
{
    return (Row.Sub << 10) | Row.Primary;
}

// All rows, in table order.
const TLxLocaleData *LocaleTable(size_t &Count);
// The row of a locale id (sort id ignored), or none.
const TLxLocaleData *FindLocaleData(int LocaleId);

} // namespace orv
