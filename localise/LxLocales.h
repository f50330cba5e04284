#pragma once
// What the runtime knows about languages besides its tables: code pages and
// character sets of locales, whether a language or locale can be shown, the
// euro rule and currency text, filling a locale from the program's locale
// table, the lists of known locales, and language and locale names shaped
// for display ("Chinese, Traditional", "Serbian, Cyrillic (Serbia)").

#include <string>
#include <utility>
#include <vector>

namespace orv {

class TLxDictionary;
class TLxLanguage;
class TLxLocale;

enum TLxEuro { lxeNormal, lxeBusiness, lxeIgnore };

struct TLxDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
};
TLxDate LxToday();

int LocaleAnsiCodePage(int LocaleId);
// 0 and every code page the converters hold.
bool IsCodePageSupported(int CodePage);
int CharSetOfCodePage(int CodePage);
int CharSetOfLocale(int LocaleId);
// 2 right-to-left (Arabic, Hebrew, Farsi), 1 Far-East (Chinese, Japanese,
// Korean), 0 others; of a locale or language id.
int TextClass(int Id);

bool LanguageSupportedBySystem(const TLxLanguage &Language);
bool LanguageSupportedByCodePage(const TLxLanguage &Language);
bool LocaleSupportedBySystem(const TLxLocale &Locale);
bool LocaleSupportedByCodePage(const TLxLocale &Locale);

// The process-wide euro rule (TLxDictionary.Euro sets it).
TLxEuro EuroRule();
void SetEuroRule(TLxEuro Rule);
// 0 not a euro country; 1 before 1999, 2 before 2002, 3 before July 2002, 4 later.
int EuroPhase(int LocaleId, TLxDate Today = LxToday());
// The currency symbol to show for a locale under the euro rule.
std::string CurrencyText(const TLxLocale &Locale, TLxDate Today = LxToday());

// Fills Locale from the program's locale table; false when it has no row.
bool FillLocaleFromWindows(int LocaleId, TLxLocale &Locale);

std::vector<TLxLocale> SystemLocales();
std::vector<int> SystemLocaleIds();
// The system locales with the dictionary's own rows laid over them; rows for
// ids the system does not know are appended.
std::vector<TLxLocale> MergedLocales(TLxDictionary *Dictionary);
std::vector<int> MergedLocaleIds(TLxDictionary *Dictionary);
// Country names (native ones with Native) and locale ids of a language, for
// the language choice.
std::vector<std::pair<std::string, int>>
LocalesOfLanguage(TLxDictionary *Dictionary, const TLxLanguage &Language, bool Native);

std::string LanguageDisplayName(const std::string &Name, int Primary,
                                const TLxDictionary *Dictionary, bool Translate, int CodePage);
std::string LocaleDisplayName(const std::string &LanguageName, const std::string &CountryName,
                              const TLxDictionary *Dictionary, bool Translate, int CodePage,
                              int Sub, int Primary);
std::string LocaleShortName(const std::string &CountryName, int Primary,
                            const TLxDictionary *Dictionary, bool Translate, int CodePage, int Sub);

} // namespace orv
