#include "localise/LxLocales.h"

#include "localise/LxCustomDictionary.h"
#include "localise/LxLanguage.h"
#include "localise/LxLocaleTable.h"
#include "localise/LxSystem.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <ctime>
#include <memory>

namespace orv {

namespace {

struct TCharSetRow {
    int CodePage;
    int CharSet;
};

constexpr TCharSetRow CharSets[] = {
    {1252, 0},   {1250, 238}, {1251, 204}, {1253, 161}, {1254, 162},
    {1255, 177}, {1256, 178}, {1257, 186}, {1258, 163}, {874, 222},
    {932, 128},  {936, 134},  {949, 129},  {950, 136},  {1361, 130},
};

struct TEuroRow {
    int Primary;
    std::initializer_list<int> Subs;
};

const TEuroRow EuroCountries[] = {{7, {1, 3, 4}}, {9, {6}},        {10, {1}},
                                  {11, {1}},      {12, {1, 2, 5}}, {16, {1}},
                                  {19, {1, 2}},   {22, {2}},       {29, {2}}};

TLxEuro gEuroRule = lxeNormal;

bool IsAlwaysShown(int Primary)
{
    return Primary == 0 || Primary == 9 || Primary == 33;
}

bool DateBefore(TLxDate Date, int Year, int Month, int Day)
{
    if (Date.Year != Year)
        return Date.Year < Year;
    if (Date.Month != Month)
        return Date.Month < Month;
    return Date.Day < Day;
}

// The code page of a primary language when the locale table has no row.
int FallbackCodePage(int Primary, int Sub)
{
    switch (Primary) {
    case 1:
    case 41:
        return 1256;
    case 5:
    case 14:
    case 21:
    case 24:
    case 27:
    case 28:
    case 36:
        return 1250;
    case 8:
        return 1253;
    case 13:
        return 1255;
    case 17:
        return 932;
    case 18:
        return 949;
    case 26:
        return Sub == 1 || Sub == 2 ? 1250 : 1251;
    case 2:
    case 25:
    case 34:
    case 35:
        return 1251;
    case 30:
        return 874;
    case 37:
    case 38:
    case 39:
        return 1257;
    case 42:
        return 1258;
    case 44:
    case 67:
        return Sub == 2 ? 1251 : 1254;
    case 31:
        return 1254;
    default:
        return 1252;
    }
}

std::string Translated(const std::string &Text, const TLxDictionary *Dictionary, bool Translate)
{
    if (!Translate || Text.empty())
        return Text;
    return TranslateText(Dictionary != nullptr ? Dictionary : DefaultDictionary(), Text);
}

std::string Before(const std::string &Text, char Mark)
{
    const size_t at = Text.find(Mark);
    return at == std::string::npos ? Text : Text.substr(0, at);
}

// The name part of a language name, cut as its primary language needs.
std::string LanguageNamePart(const std::string &Name, int Primary)
{
    switch (Primary) {
    case 4:
    case 18:
        return Before(Name, '(');
    case 10:
    case 20:
    case 26:
    case 44:
    case 67:
        return Before(Name, ' ');
    default:
        return Name;
    }
}

std::string Joined(const std::string &Name, const std::string &Qualifier,
                   const TLxDictionary *Dictionary, bool Translate)
{
    const std::string name = Translated(Name, Dictionary, Translate);
    if (Qualifier.empty())
        return name;
    return name + ", " + Translated(Qualifier, Dictionary, Translate);
}

void FillNames(TLxLocale &Locale, const TLxLocaleNames &Names)
{
    for (size_t i = 0; i < 12; ++i) {
        Locale.ShortMonthNames[i] = Names.ShortMonths[i];
        Locale.LongMonthNames[i] = Names.LongMonths[i];
    }
    for (size_t i = 0; i < 7; ++i) {
        Locale.ShortDayNames[i] = Names.ShortDays[i];
        Locale.LongDayNames[i] = Names.LongDays[i];
    }
}

void FillFormats(TLxLocale &Locale, const TLxLocaleData &Row)
{
    Locale.Measure = Row.Measure;
    Locale.CurrencySymbol = Row.Currency;
    Locale.CurrencyFormat = Row.CurrencyFormat;
    Locale.NegCurrencyFormat = Row.NegCurrencyFormat;
    Locale.CurrencyDigits = Row.CurrencyDigits;
    Locale.ThousandSeparator = Row.Thousand;
    Locale.DecimalSeparator = Row.Decimal;
    Locale.DateSeparator = Row.DateSeparator;
    Locale.ShortDateFormat = Row.ShortDate;
    Locale.LongDateFormat = Row.LongDate;
    Locale.TimeSeparator = Row.TimeSeparator;
    Locale.AMText = Row.AM;
    Locale.PMText = Row.PM;
    Locale.LeadingZero = Row.LeadingZero;
    Locale.Clock = Row.Clock;
    Locale.AMPMPosition = Row.AMPMPosition;
    Locale.CalendarType = Row.Calendar;
    Locale.OptionalCalendar = 0;
    Locale.FirstDayOfWeek = Row.FirstDayOfWeek;
    Locale.FirstWeekOfYear = Row.FirstWeekOfYear;
}

} // namespace

TLxDate LxToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

int LocaleAnsiCodePage(int LocaleId)
{
    const int primary = PrimaryLangId(LocaleId);
    const int sub = SubLangId(LocaleId);
    if (primary == 4)
        return sub == 1 || sub == 3 || sub == 5 ? 950 : 936;
    const TLxLocaleData *row = FindLocaleData(LocaleId);
    if (row != nullptr && row->CodePage >= 1)
        return row->CodePage;
    return FallbackCodePage(primary, sub);
}

bool IsCodePageSupported(int CodePage)
{
    return CodePage == 0 || CodePageAvailable(CodePage);
}

int CharSetOfCodePage(int CodePage)
{
    if (CodePage == 0)
        return 0;
    for (const TCharSetRow &row : CharSets)
        if (row.CodePage == CodePage)
            return row.CharSet;
    return 1;
}

int CharSetOfLocale(int LocaleId)
{
    const TLxLocaleData *row = FindLocaleData(LocaleId);
    if (row == nullptr)
        return 0;
    for (const TCharSetRow &charSet : CharSets)
        if (charSet.CodePage == row->CodePage)
            return charSet.CharSet;
    return 0;
}

int TextClass(int Id)
{
    switch (PrimaryLangId(Id)) {
    case 1:
    case 13:
    case 41:
        return 2;
    case 4:
    case 17:
    case 18:
        return 1;
    default:
        return 0;
    }
}

bool LanguageSupportedBySystem(const TLxLanguage &Language)
{
    if (IsAlwaysShown(Language.PrimaryId) || Language.AlwaysSupported())
        return true;
    return IsCodePageSupported(Language.CodePage);
}

bool LanguageSupportedByCodePage(const TLxLanguage &Language)
{
    if (IsAlwaysShown(Language.PrimaryId) || Language.AlwaysSupported() || Language.CodePage == 0)
        return true;
    return Language.CodePage == LxSystem().AnsiCodePage;
}

bool LocaleSupportedBySystem(const TLxLocale &Locale)
{
    return IsCodePageSupported(Locale.CodePage);
}

bool LocaleSupportedByCodePage(const TLxLocale &Locale)
{
    return IsAlwaysShown(Locale.PrimaryId) || Locale.CodePage == LxSystem().AnsiCodePage;
}

TLxEuro EuroRule()
{
    return gEuroRule;
}
void SetEuroRule(TLxEuro Rule)
{
    gEuroRule = Rule;
}

int EuroPhase(int LocaleId, TLxDate Today)
{
    const int primary = PrimaryLangId(LocaleId);
    const int sub = SubLangId(LocaleId);
    const bool euro =
        std::any_of(std::begin(EuroCountries), std::end(EuroCountries), [&](const TEuroRow &row) {
            return row.Primary == primary &&
                   std::find(row.Subs.begin(), row.Subs.end(), sub) != row.Subs.end();
        });
    if (!euro)
        return 0;
    if (DateBefore(Today, 1999, 1, 1))
        return 1;
    if (DateBefore(Today, 2002, 1, 1))
        return 2;
    if (DateBefore(Today, 2002, 7, 1))
        return 3;
    return 4;
}

std::string CurrencyText(const TLxLocale &Locale, TLxDate Today)
{
    static const std::string euroSign = "\u20AC";
    if (gEuroRule == lxeIgnore)
        return Locale.CurrencySymbol;
    const int phase = EuroPhase(Locale.LocaleId(), Today);
    if (phase >= 3 || (phase == 2 && gEuroRule == lxeBusiness))
        return euroSign;
    return Locale.CurrencySymbol;
}

bool FillLocaleFromWindows(int LocaleId, TLxLocale &Locale)
{
    // A neutral id (primary language 0) stands for the user's default locale.
    const int id = PrimaryLangId(LocaleId) == 0 ? LxSystem().UserDefaultLocale : LocaleId;
    const TLxLocaleData *row = FindLocaleData(id);
    if (row == nullptr || row->CodePage == 0)
        return false;
    Locale = TLxLocale();
    Locale.PrimaryId = row->Primary;
    Locale.SubLanguageId = row->Sub;
    Locale.CodePage = row->CodePage;
    Locale.CharSet = CharSetOfCodePage(row->CodePage);
    Locale.EnglishLanguageName = row->EnglishLanguage;
    Locale.EnglishCountryName = row->EnglishCountry;
    Locale.NativeLanguageName = row->NativeLanguage;
    Locale.NativeCountryName = row->NativeCountry;
    Locale.AbbrevLanguageName = row->AbbrevLanguage;
    Locale.LocalisedCountryName = row->EnglishCountry;
    FillFormats(Locale, *row);
    FillNames(Locale, *row->Names);
    Locale.Complete();
    return true;
}

std::vector<TLxLocale> SystemLocales()
{
    std::vector<TLxLocale> list;
    for (int id : SystemLocaleIds()) {
        TLxLocale locale;
        if (FillLocaleFromWindows(id, locale))
            list.push_back(std::move(locale));
    }
    return list;
}

std::vector<int> SystemLocaleIds()
{
    size_t count = 0;
    const TLxLocaleData *table = LocaleTable(count);
    std::vector<int> ids;
    for (size_t i = 0; i < count; ++i)
        ids.push_back(MakeLocaleIdOf(table[i]));
    return ids;
}

std::vector<TLxLocale> MergedLocales(TLxDictionary *Dictionary)
{
    std::vector<TLxLocale> list = SystemLocales();
    if (Dictionary == nullptr)
        return list;
    std::vector<std::unique_ptr<TLxLocale>> own;
    Dictionary->LoadLocales(own);
    for (const auto &row : own) {
        auto same = std::find_if(list.begin(), list.end(), [&](const TLxLocale &l) {
            return l.LocaleId() == row->LocaleId();
        });
        if (same != list.end())
            *same = *row;
        else
            list.push_back(*row);
    }
    return list;
}

std::vector<int> MergedLocaleIds(TLxDictionary *Dictionary)
{
    std::vector<int> ids;
    for (const TLxLocale &locale : MergedLocales(Dictionary))
        ids.push_back(locale.LocaleId());
    return ids;
}

std::vector<std::pair<std::string, int>> LocalesOfLanguage(TLxDictionary *Dictionary,
                                                           const TLxLanguage &Language, bool Native)
{
    const std::vector<TLxLocale> merged = MergedLocales(Dictionary);
    std::vector<std::pair<std::string, int>> items;
    const auto add = [&](const TLxLocale &locale) {
        const int id = locale.LocaleId();
        if (std::any_of(items.begin(), items.end(),
                        [&](const auto &item) { return item.second == id; }))
            return;
        items.emplace_back(Native ? locale.NativeCountryName : locale.EnglishCountryName, id);
    };
    for (const TLxLocale &locale : merged)
        if (Language.SubLanguages.empty() && locale.PrimaryId == Language.PrimaryId)
            add(locale);
    for (int sub : Language.SubLanguages)
        for (const TLxLocale &locale : merged)
            if (locale.PrimaryId == Language.PrimaryId && locale.SubLanguageId == sub)
                add(locale);
    return items;
}

std::string LanguageDisplayName(const std::string &Name, int Primary,
                                const TLxDictionary *Dictionary, bool Translate, int CodePage)
{
    std::string qualifier;
    if (Primary == 4)
        qualifier = CodePage == 950 ? "Traditional" : CodePage == 936 ? "Simplified" : "";
    else if (Primary == 18)
        qualifier = CodePage == 1361 ? "Johab" : CodePage == 949 ? "Wansung" : "";
    else if (Primary == 26)
        qualifier = CodePage == 1250 ? "Latin" : CodePage == 1251 ? "Cyrillic" : "";
    else if (Primary == 44 || Primary == 67)
        qualifier = CodePage == 1254 ? "Latin" : CodePage == 1251 ? "Cyrillic" : "";
    return Joined(LanguageNamePart(Name, Primary), qualifier, Dictionary, Translate);
}

std::string LocaleDisplayName(const std::string &LanguageName, const std::string &CountryName,
                              const TLxDictionary *Dictionary, bool Translate, int CodePage,
                              int Sub, int Primary)
{
    std::string qualifier;
    std::string country = CountryName;
    if (Primary == 4 && CodePage != 0)
        qualifier = CodePage == 950 ? "Traditional" : "Simplified";
    if (Primary == 18 && CodePage == 1361)
        qualifier = "Johab";
    if (Primary == 18 && Sub == 2)
        country = "Johab";
    if (Primary == 20 && (Sub == 1 || Sub == 2))
        country = Sub == 1 ? "Bokmal" : "Nynorsk";
    if (Primary == 26 && Sub != 1 && CodePage != 0)
        qualifier = CodePage == 1251 ? "Cyrillic" : "Latin";
    if ((Primary == 44 || Primary == 67) && CodePage != 0)
        qualifier = CodePage == 1251 ? "Cyrillic" : "Latin";
    std::string result =
        Joined(LanguageNamePart(LanguageName, Primary), qualifier, Dictionary, Translate);
    if (Sub != 0)
        result += " (" + Translated(country, Dictionary, Translate) + ")";
    return result;
}

std::string LocaleShortName(const std::string &CountryName, int Primary,
                            const TLxDictionary *Dictionary, bool Translate, int CodePage, int Sub)
{
    std::string qualifier;
    if (Primary == 18)
        qualifier = CodePage == 949 ? "Wansung" : CodePage == 1361 ? "Johab" : "";
    else if (Primary == 20)
        qualifier = Sub == 1 ? "Bokmal" : Sub == 2 ? "Nynorsk" : "";
    else if (Primary == 26 && Sub != 1)
        qualifier = CodePage == 1251 ? "Cyrillic" : CodePage == 1250 ? "Latin" : "";
    else if (Primary == 44 || Primary == 67)
        qualifier = CodePage == 1251 ? "Cyrillic" : CodePage == 1254 ? "Latin" : "";
    return Joined(CountryName, qualifier, Dictionary, Translate);
}

} // namespace orv
