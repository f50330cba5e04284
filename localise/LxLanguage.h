#pragma once
// The language and locale records of a dictionary: one row of its language
// table (TLxLanguage) and one locale with its names and formats (TLxLocale).
// Ids follow Windows: a language id holds the primary language in its low 10
// bits and the sublanguage in the next 6; a locale id adds sort id 0.

#include <array>
#include <string>
#include <vector>

namespace orv {

class TLxDictionary;

constexpr int MakeLangId(int Primary, int Sub)
{
    return (Sub << 10) | Primary;
}
constexpr int MakeLCID(int Primary, int Sub)
{
    return MakeLangId(Primary, Sub);
}
constexpr int PrimaryLangId(int Id)
{
    return Id & 0x3FF;
}
constexpr int SubLangId(int Id)
{
    return (Id >> 10) & 0x3F;
}

// Markers of a requested locale: primary 0 with sublanguage 1 or 2.
constexpr int UserDefaultLocaleMarker = MakeLCID(0, 1);
constexpr int SystemDefaultLocaleMarker = MakeLCID(0, 2);

class TLxLanguage {
public:
    std::string Name;       // in the source language; "Native" for primary id 0
    std::string NativeName; // in the language itself
    int PrimaryId = 0;      // 0 = the untranslated source language
    std::vector<int> SubLanguages;
    int DefaultSubLanguage = 0;
    int CurrentSubLanguage = 0;
    std::string FontName; // empty = keep the form's own
    int FontSize = 0;     // points; 0 = keep the form's own
    int Flags = 0;        // 2: always counts as supported; 1: kept only
    int CharSet = 0;
    int CodePage = 0;
    std::string Iso639Name;
    std::string Iso3166Name;
    std::vector<std::string> ExtraTexts;

    int LocaleId() const { return MakeLCID(PrimaryId, CurrentSubLanguage); }
    int DefaultLocaleId() const;
    // The locale id the system's facts about the language are asked for.
    int QueryLocaleId() const;
    // 2 right-to-left, 1 Far-East multi-byte, 0 other.
    int TextClass() const;
    bool AlwaysSupported() const { return (Flags & 2) != 0; }

    // Fills what the row left empty from the locale table, after loading.
    void Complete();
    // 0 empties the sublanguage and extra-text lists; another value becomes
    // the default sublanguage and joins the list.
    void SetSubLanguage(int Value);
    // Chooses the current sublanguage from an offered one: it is taken when
    // the list holds it (or is empty) and it is not negative, else the default.
    void OfferSubLanguage(int Offered);
    // Same primary id and, for translated languages, the same code page.
    bool Equals(const TLxLanguage &Other) const;
    // Kind 0: name; 1: native name; 2: name translated through Dictionary.
    std::string DisplayName(int Kind, const TLxDictionary *Dictionary = nullptr) const;
};

class TLxLocale {
public:
    int PrimaryId = 0;
    int SubLanguageId = 0;
    int CodePage = 0;
    bool Kept = false; // flag kept with the row, read by nothing else
    int CharSet = 0;
    std::string EnglishLanguageName;
    std::string EnglishCountryName;
    std::string NativeLanguageName;
    std::string NativeCountryName;
    std::string AbbrevLanguageName;
    std::string LocalisedCountryName;
    std::string KeptText1;
    std::string KeptText2;
    int Measure = 0;
    std::string CurrencySymbol;
    int CurrencyFormat = 0;
    int NegCurrencyFormat = 0;
    int CurrencyDigits = 0;
    std::string ThousandSeparator = " "; // one character each
    std::string DecimalSeparator = " ";
    std::string DateSeparator = " ";
    std::string ShortDateFormat;
    std::string LongDateFormat;
    std::string TimeSeparator = " ";
    std::string AMText;
    std::string PMText;
    bool LeadingZero = true;
    int Clock = 0;        // 0 = 12-hour clock
    int AMPMPosition = 0; // 0 after, 1 before the time
    int CalendarType = 0;
    int OptionalCalendar = 0;
    int FirstDayOfWeek = 0;
    int FirstWeekOfYear = 0;
    std::array<std::string, 12> ShortMonthNames;
    std::array<std::string, 12> LongMonthNames;
    std::array<std::string, 7> ShortDayNames; // Monday first
    std::array<std::string, 7> LongDayNames;

    int LocaleId() const { return MakeLCID(PrimaryId, SubLanguageId); }
    void Complete();
    std::string DisplayName(int Kind, const TLxDictionary *Dictionary = nullptr) const;
};

} // namespace orv
