#pragma once
// The process's own number, currency, date and time conventions and its
// current locale, as the language choice sets them. The suite never changes
// the user's system locale: everything that formats for display reads these.
// Defaults are those of English (United States). Separators are one
// character each, held as text because a locale's may lie outside ASCII.

#include <array>
#include <string>

namespace orv {

struct TFormatSettings {
    std::string CurrencyString = "$";
    int CurrencyFormat = 0;
    int NegCurrFormat = 0;
    int CurrencyDecimals = 2;
    std::string ThousandSeparator = ",";
    std::string DecimalSeparator = ".";
    std::string DateSeparator = "/";
    std::string ShortDateFormat = "M/d/yyyy";
    std::string LongDateFormat = "dddd, MMMM d, yyyy";
    std::string TimeSeparator = ":";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortTimeFormat = "h:mm AMPM";
    std::string LongTimeFormat = "h:mm:ss AMPM";
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    // Sunday first, as the runtime counts days.
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
};

// The locale the process runs in: a Windows locale id (primary language in
// the low 10 bits, sublanguage in the next 6), and the reading direction.
struct TProcessLocale {
    int ThreadLocale = 0x0409;
    int DefaultLCID = 0x0409;
    int PrimaryLanguage = 9;
    int SubLanguage = 1;
    bool FarEast = false;
    bool RightToLeft = false;
};

TFormatSettings &FormatSettings();
TProcessLocale &ProcessLocale();

} // namespace orv
