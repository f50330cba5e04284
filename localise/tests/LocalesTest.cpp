#include "localise/LxLanguage.h"
#include "localise/LxLocaleTable.h"
#include "localise/LxLocales.h"
#include "localise/LxSystem.h"
#include "localise/tests/LxTestSupport.h"

#include <gtest/gtest.h>

using namespace orv;

namespace {

class LxLocalesTest : public test::TLxEnvironmentTest {};

TLxLanguage Language(int Primary, int CodePage, int Flags = 0)
{
    TLxLanguage language;
    language.PrimaryId = Primary;
    language.CodePage = CodePage;
    language.Flags = Flags;
    return language;
}

} // namespace

TEST_F(LxLocalesTest, AnsiCodePageOfALocale)
{
    struct Case {
        const char *Name;
        int Primary;
        int Sub;
        int CodePage;
    };
    const Case cases[] = {
        {"German, from the table", 7, 1, 1252},
        {"Russian, from the table", 25, 1, 1251},
        {"Serbian Cyrillic, not in the table", 26, 3, 1251},
        {"Serbian Latin", 26, 2, 1250},
        {"Chinese Taiwan", 4, 1, 950},
        {"Chinese PRC", 4, 2, 936},
        {"Chinese Singapore", 4, 4, 936},
        {"Chinese Macao", 4, 5, 950},
        {"Azeri Cyrillic", 44, 2, 1251},
        {"Azeri Latin", 44, 1, 1254},
        {"Thai", 30, 1, 874},
        {"Latvian", 38, 1, 1257},
        {"Farsi", 41, 1, 1256},
        {"unknown primary", 99, 1, 1252},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(LocaleAnsiCodePage(MakeLCID(c.Primary, c.Sub)), c.CodePage);
    }
}

TEST_F(LxLocalesTest, CharacterSetsAndTextClasses)
{
    EXPECT_EQ(CharSetOfCodePage(1251), 204);
    EXPECT_EQ(CharSetOfCodePage(1361), 130);
    EXPECT_EQ(CharSetOfCodePage(0), 0);
    EXPECT_EQ(CharSetOfCodePage(437), 1);
    EXPECT_EQ(CharSetOfLocale(MakeLCID(8, 1)), 161);
    EXPECT_EQ(CharSetOfLocale(MakeLCID(99, 1)), 0);
    struct Case {
        int Primary;
        int Class;
    };
    for (const Case &c : {Case{1, 2}, Case{13, 2}, Case{41, 2}, Case{4, 1}, Case{17, 1},
                          Case{18, 1}, Case{7, 0}, Case{0, 0}}) {
        SCOPED_TRACE(c.Primary);
        EXPECT_EQ(TextClass(MakeLCID(c.Primary, 1)), c.Class);
    }
}

TEST_F(LxLocalesTest, SupportTests)
{
    LxSystem().AnsiCodePage = 1252;
    struct Case {
        const char *Name;
        TLxLanguage Language;
        bool System;
        bool CodePage;
    };
    const Case cases[] = {
        {"source language", Language(0, 1361), true, true},
        {"English always", Language(9, 1361), true, true},
        {"Catalan always", Language(33, 1251), true, true},
        {"German in the system code page", Language(7, 1252), true, true},
        {"Russian in another code page", Language(25, 1251), true, false},
        {"Korean Johab: the converters lack it", Language(18, 1361), false, false},
        {"Korean Johab flagged always supported", Language(18, 1361, 2), true, true},
        {"code page 0", Language(25, 0), true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(LanguageSupportedBySystem(c.Language), c.System);
        EXPECT_EQ(LanguageSupportedByCodePage(c.Language), c.CodePage);
    }
    TLxLocale russian;
    russian.PrimaryId = 25;
    russian.CodePage = 1251;
    EXPECT_TRUE(LocaleSupportedBySystem(russian));
    EXPECT_FALSE(LocaleSupportedByCodePage(russian));
    LxSystem().AnsiCodePage = 1251;
    EXPECT_TRUE(LocaleSupportedByCodePage(russian));
}

TEST_F(LxLocalesTest, EuroPhasesAndCurrencyText)
{
    TLxLocale german;
    german.PrimaryId = 7;
    german.SubLanguageId = 1;
    german.CurrencySymbol = "DM";
    TLxLocale american = german;
    american.PrimaryId = 9;
    american.CurrencySymbol = "$";
    struct Case {
        const char *Name;
        const TLxLocale &Locale;
        TLxDate Date;
        TLxEuro Rule;
        int Phase;
        std::string Text;
    };
    const Case cases[] = {
        {"before 1999", german, {1998, 12, 31}, lxeNormal, 1, "DM"},
        {"2001, normal rule", german, {2001, 3, 1}, lxeNormal, 2, "DM"},
        {"2001, business rule", german, {2001, 3, 1}, lxeBusiness, 2, "\u20AC"},
        {"first day of 2002", german, {2002, 1, 1}, lxeNormal, 3, "\u20AC"},
        {"March 2002", german, {2002, 3, 1}, lxeNormal, 3, "\u20AC"},
        {"July 2002", german, {2002, 7, 1}, lxeNormal, 4, "\u20AC"},
        {"ignore rule", german, {2010, 1, 1}, lxeIgnore, 4, "DM"},
        {"not a euro country", american, {2010, 1, 1}, lxeBusiness, 0, "$"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        SetEuroRule(c.Rule);
        EXPECT_EQ(EuroPhase(c.Locale.LocaleId(), c.Date), c.Phase);
        EXPECT_EQ(CurrencyText(c.Locale, c.Date), c.Text);
    }
}

TEST_F(LxLocalesTest, FillsALocaleFromTheTable)
{
    TLxLocale locale;
    ASSERT_TRUE(FillLocaleFromWindows(MakeLCID(7, 1), locale));
    EXPECT_EQ(locale.EnglishLanguageName, "German");
    EXPECT_EQ(locale.NativeCountryName, "Deutschland");
    EXPECT_EQ(locale.CodePage, 1252);
    EXPECT_EQ(locale.CharSet, 0);
    EXPECT_EQ(locale.DecimalSeparator, ",");
    EXPECT_EQ(locale.ShortDateFormat, "dd.MM.yyyy");
    EXPECT_EQ(locale.LongMonthNames[2], "März");
    EXPECT_EQ(locale.LongDayNames[0], "Montag");
    EXPECT_EQ(locale.Clock, 1);
    ASSERT_TRUE(FillLocaleFromWindows(MakeLCID(0, 0), locale)); // neutral: the user's locale
    EXPECT_EQ(locale.EnglishCountryName, "United States");
    EXPECT_FALSE(FillLocaleFromWindows(MakeLCID(7, 9), locale));
    EXPECT_FALSE(FillLocaleFromWindows(MakeLCID(26, 3), locale));
}

TEST_F(LxLocalesTest, EveryTableRowIsComplete)
{
    size_t count = 0;
    const TLxLocaleData *table = LocaleTable(count);
    ASSERT_GT(count, 20u);
    for (size_t i = 0; i < count; ++i) {
        const TLxLocaleData &row = table[i];
        SCOPED_TRACE(std::string(row.EnglishLanguage) + " (" + row.EnglishCountry + ")");
        EXPECT_EQ(FindLocaleData(MakeLocaleIdOf(row)), &row); // no id twice
        EXPECT_TRUE(IsCodePageSupported(row.CodePage));
        EXPECT_EQ(std::string(row.Iso639).size(), 2u);
        EXPECT_EQ(std::string(row.Decimal).empty(), false);
        for (const char *name : row.Names->LongMonths)
            EXPECT_FALSE(std::string(name).empty());
    }
    EXPECT_EQ(SystemLocaleIds().size(), count);
}

TEST_F(LxLocalesTest, LocaleIdsFromEnvironmentNames)
{
    EXPECT_EQ(LocaleIdFromPosixName("de_DE.UTF-8"), MakeLCID(7, 1));
    EXPECT_EQ(LocaleIdFromPosixName("de_AT"), MakeLCID(7, 3));
    EXPECT_EQ(LocaleIdFromPosixName("de_LU.UTF-8@euro"), MakeLCID(7, 1)); // first German row
    EXPECT_EQ(LocaleIdFromPosixName("ru"), MakeLCID(25, 1));
    EXPECT_EQ(LocaleIdFromPosixName("C"), 0);
    EXPECT_EQ(LocaleIdFromPosixName("POSIX"), 0);
    EXPECT_EQ(LocaleIdFromPosixName(nullptr), 0);
}

TEST_F(LxLocalesTest, LanguageDisplayNames)
{
    struct Case {
        const char *Name;
        std::string Text;
        int Primary;
        int CodePage;
        std::string Display;
    };
    const Case cases[] = {
        {"Chinese Traditional", "Chinese (Taiwan)", 4, 950, "Chinese , Traditional"},
        {"Chinese Simplified", "Chinese", 4, 936, "Chinese, Simplified"},
        {"Spanish cut at the space", "Spanish Modern", 10, 1252, "Spanish"},
        {"Korean Johab", "Korean", 18, 1361, "Korean, Johab"},
        {"Korean Wansung", "Korean (Wansung)", 18, 949, "Korean , Wansung"},
        {"Serbian Cyrillic", "Serbian Cyrillic", 26, 1251, "Serbian, Cyrillic"},
        {"Serbian Latin", "Serbian", 26, 1250, "Serbian, Latin"},
        {"Uzbek Latin", "Uzbek Latin", 67, 1254, "Uzbek, Latin"},
        {"German whole name", "German (Standard)", 7, 1252, "German (Standard)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(LanguageDisplayName(c.Text, c.Primary, nullptr, false, c.CodePage), c.Display);
    }
}

TEST_F(LxLocalesTest, LocaleDisplayAndShortNames)
{
    EXPECT_EQ(LocaleDisplayName("Chinese", "Taiwan", nullptr, false, 950, 1, 4),
              "Chinese, Traditional (Taiwan)");
    EXPECT_EQ(LocaleDisplayName("Chinese", "Singapore", nullptr, false, 0, 4, 4),
              "Chinese (Singapore)");
    EXPECT_EQ(LocaleDisplayName("Korean", "Korea", nullptr, false, 949, 2, 18), "Korean (Johab)");
    EXPECT_EQ(LocaleDisplayName("Norwegian", "Norway", nullptr, false, 1252, 2, 20),
              "Norwegian (Nynorsk)");
    EXPECT_EQ(LocaleDisplayName("Serbian", "Serbia", nullptr, false, 1251, 3, 26),
              "Serbian, Cyrillic (Serbia)");
    EXPECT_EQ(LocaleDisplayName("Croatian", "Croatia", nullptr, false, 1250, 1, 26),
              "Croatian (Croatia)");
    EXPECT_EQ(LocaleDisplayName("German", "Germany", nullptr, false, 1252, 0, 7), "German");
    EXPECT_EQ(LocaleShortName("Korea", 18, nullptr, false, 949, 1), "Korea, Wansung");
    EXPECT_EQ(LocaleShortName("Norway", 20, nullptr, false, 1252, 1), "Norway, Bokmal");
    EXPECT_EQ(LocaleShortName("Serbia", 26, nullptr, false, 1250, 2), "Serbia, Latin");
    EXPECT_EQ(LocaleShortName("Serbia", 26, nullptr, false, 1250, 1), "Serbia");
    EXPECT_EQ(LocaleShortName("Azerbaijan", 44, nullptr, false, 1251, 2), "Azerbaijan, Cyrillic");
}

TEST_F(LxLocalesTest, LanguageCompletion)
{
    TLxLanguage source = Language(0, 0);
    source.Name = "English";
    source.SubLanguages = {1, 2};
    source.Complete();
    EXPECT_EQ(source.Name, "Native");
    EXPECT_EQ(source.NativeName, "Native");
    EXPECT_TRUE(source.SubLanguages.empty());
    EXPECT_EQ(source.Flags, 2);
    EXPECT_EQ(source.DefaultLocaleId(), 0);

    TLxLanguage russian = Language(25, 0);
    russian.SubLanguages = {1};
    russian.Complete();
    EXPECT_EQ(russian.Name, "Russian");
    EXPECT_EQ(russian.NativeName, "русский");
    EXPECT_EQ(russian.CodePage, 1251);
    EXPECT_EQ(russian.CharSet, 204);
    EXPECT_EQ(russian.DefaultSubLanguage, 1);
    EXPECT_EQ(russian.Iso639Name, "ru");
    EXPECT_EQ(russian.LocaleId(), MakeLCID(25, 1));

    TLxLanguage negative = Language(-4, 0);
    negative.Complete();
    EXPECT_EQ(negative.PrimaryId, 0);
}

TEST_F(LxLocalesTest, SubLanguageChoice)
{
    TLxLanguage german = Language(7, 1252);
    german.SubLanguages = {1, 3};
    german.DefaultSubLanguage = 1;
    german.OfferSubLanguage(3);
    EXPECT_EQ(german.CurrentSubLanguage, 3);
    german.OfferSubLanguage(2);
    EXPECT_EQ(german.CurrentSubLanguage, 1);
    german.OfferSubLanguage(-1);
    EXPECT_EQ(german.CurrentSubLanguage, 1);
    german.SetSubLanguage(2);
    EXPECT_EQ(german.DefaultSubLanguage, 2);
    EXPECT_EQ(german.SubLanguages, (std::vector<int>{1, 3, 2}));
    german.ExtraTexts = {"x"};
    german.SetSubLanguage(0);
    EXPECT_TRUE(german.SubLanguages.empty());
    EXPECT_TRUE(german.ExtraTexts.empty());
    EXPECT_TRUE(german.Equals(Language(7, 1252)));
    EXPECT_FALSE(german.Equals(Language(7, 1250)));
    EXPECT_TRUE(Language(0, 1).Equals(Language(0, 2)));
}
