#include "localise/LxErrors.h"
#include "localise/LxTextDictionary.h"
#include "localise/tests/LxTestSupport.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

using namespace orv;
using orv::test::LxFixture;

namespace {

class LxDictionaryTest : public test::TLxEnvironmentTest {
protected:
    // A dictionary on the fixture tables, with no check level so that every
    // language of them can be chosen.
    void UseFixture(const std::string &Languages, const std::string &Translations,
                    TLxTextFormat Format = lxtfDetect)
    {
        Dictionary.SetLanguageFileName(LxFixture(Languages));
        Dictionary.SetFileName(LxFixture(Translations));
        Dictionary.SetFormat(Format);
        Dictionary.SetCheckLevel(lxclNone);
    }
    std::string Write(const std::string &Name, const std::string &Content)
    {
        return Dir.Write(Name, Content);
    }
    int StateOf(const std::string &Source)
    {
        const int index = Dictionary.IndexOfText(Source);
        return index < 0 ? -1 : Dictionary.Translation(index).State;
    }

    test::TTempDir Dir;
    TLxTextDictionary Dictionary;
};

template <typename TException, typename TCall> std::string ErrorOf(TCall Call)
{
    try {
        Call();
    } catch (const TException &e) {
        return e.what();
    }
    return "(no error)";
}

// A locale table row: the German defaults with some fields (numbered from 1)
// replaced; Count fields in all.
std::string LocaleRow(std::map<int, std::string> Fields, int Count = 72)
{
    const char *base[] = {"7",           "1",    "0", "German", "Deutsch",    "Germany",
                          "Deutschland", "1252", "0", "EUR",    "3",          "8",
                          ".",           ",",    "2", ".",      "dd.MM.yyyy", "dddd, d. MMMM yyyy",
                          ":",           "",     "",  "1",      "1",          "1",
                          "0",           "0",    "0"};
    std::string row;
    for (int i = 1; i <= Count; ++i) {
        std::string field = i <= 27 ? base[i - 1] : i >= 68 ? "0" : "N" + std::to_string(i);
        if (auto found = Fields.find(i); found != Fields.end())
            field = found->second;
        row += (i > 1 ? "\t" : "") + field;
    }
    return row;
}

const std::string NativeRow = "English\tEnglish\t0\t\t0";

} // namespace

TEST_F(LxDictionaryTest, ReadsEveryEncoding)
{
    struct Case {
        const char *Name;
        std::string Languages;
        std::string Translations;
        TLxTextFormat Format;
        TLxByteOrder Order;
        bool Mark;
        bool KeepsEmptyRows;
    };
    const Case cases[] = {
        {"ANSI, code pages 1252 and 1251", "lang_ansi.txt", "trans_ansi.txt", lxtfDetect,
         lxboLittleEndian, true, true},
        {"UTF-8", "lang_utf8.txt", "trans_utf8.txt", lxtfUTF8, lxboLittleEndian, true, false},
        {"UTF-16 with FF FE", "lang_utf16le.txt", "trans_utf16le.txt", lxtfDetect, lxboLittleEndian,
         true, false},
        {"UTF-16 with FE FF", "lang_utf16be.txt", "trans_utf16be.txt", lxtfDetect, lxboLittleEndian,
         true, false},
        {"UTF-16 big endian without mark", "lang_utf16be_nomark.txt", "trans_utf16be_nomark.txt",
         lxtfUTF16, lxboBigEndian, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxTextDictionary &dictionary = Dictionary;
        UseFixture(c.Languages, c.Translations, c.Format);
        dictionary.SetByteOrder(c.Order);
        dictionary.SetByteOrderMark(c.Mark);
        dictionary.SetLanguage(1);
        dictionary.Open();
        ASSERT_TRUE(dictionary.Active());
        EXPECT_EQ(dictionary.GetLanguageCount(), 4); // blank lines add no rows
        EXPECT_EQ(dictionary.LanguageInfo(0).Name, "Native");
        EXPECT_EQ(dictionary.LanguageInfo(1).NativeName, "Deutsch");
        EXPECT_EQ(dictionary.LanguageInfo(3).NativeName, "Русский");
        EXPECT_EQ(dictionary.LanguageInfo(3).CodePage, 1251);
        EXPECT_EQ(TranslateText(&dictionary, "Open"), "Öffnen");
        EXPECT_EQ(TranslateText(&dictionary, "Size"), "Größe");
        EXPECT_EQ(TranslateText(&dictionary, "Two\tlines\r\n"), "Zwei\tZeilen\r\n");
        EXPECT_EQ(TranslateText(&dictionary, "Exit"), "Exit");
        EXPECT_EQ(StateOf("Exit"), c.KeepsEmptyRows ? 2 : -1);
        dictionary.SetLanguage(3);
        EXPECT_EQ(TranslateText(&dictionary, "File"), "Файл");
        EXPECT_EQ(TranslateText(&dictionary, "Exit"), "Выход");
        dictionary.SetLanguage(2);
        EXPECT_EQ(TranslateText(&dictionary, "File"), "Datei (CH)");
        EXPECT_EQ(TranslateText(&dictionary, "Open"), "Öffnen");
        EXPECT_EQ(StateOf("Open"), 1);
        EXPECT_EQ(StateOf("File"), 0);
        dictionary.Close();
        dictionary.SetLanguage(-1);
    }
}

TEST_F(LxDictionaryTest, MissingPoliciesTellEmptyRowsFromAbsentRows)
{
    for (const auto &[languages, translations, error] :
         {std::tuple{"lang_ansi.txt", "trans_ansi.txt",
                     "Translation for the word \"Exit\" is missing"},
          std::tuple{"lang_utf16le.txt", "trans_utf16le.txt",
                     "Dictionary does not contain a translation for the word \"Exit\""}}) {
        SCOPED_TRACE(languages);
        UseFixture(languages, translations);
        Dictionary.SetLanguage(1);
        Dictionary.Open();
        Dictionary.SetMissingTranslation(lxmtRaiseException);
        EXPECT_EQ(ErrorOf<ELxError>([&] { TranslateText(&Dictionary, "Exit"); }), error);
        Dictionary.SetMissingTranslation(lxmtTagNative);
        EXPECT_EQ(TranslateText(&Dictionary, "Exit"), "@Exit@");
        Dictionary.Close();
    }
}

TEST_F(LxDictionaryTest, SourceLanguageKeepsTheSources)
{
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    Dictionary.SetLanguage(0);
    Dictionary.Open();
    EXPECT_EQ(Dictionary.GetTranslationCount(), 5);
    for (int i = 0; i < Dictionary.GetTranslationCount(); ++i)
        EXPECT_EQ(Dictionary.Translation(i).Translation, Dictionary.Translation(i).Source);
    EXPECT_EQ(TranslateText(&Dictionary, "Exit"), "Exit");
}

TEST_F(LxDictionaryTest, ChoosesTheLanguageOfTheUsersOrSystemsLocale)
{
    struct Case {
        const char *Name;
        int User;
        int System;
        int Language;
        int Index;
        int Locale;
    };
    const Case cases[] = {
        {"user German", MakeLCID(7, 1), MakeLCID(9, 1), -1, 1, MakeLCID(7, 1)},
        {"user Swiss German: default sublanguage of row 2", MakeLCID(7, 2), MakeLCID(9, 1), -1, 2,
         MakeLCID(7, 2)},
        {"user Austrian German: row without sublanguages", MakeLCID(7, 3), MakeLCID(9, 1), -1, 1,
         MakeLCID(7, 3)},
        {"user French: first supported row after the source", MakeLCID(12, 1), MakeLCID(9, 1), -1,
         1, MakeLCID(7, 1)},
        {"system Russian", MakeLCID(7, 1), MakeLCID(25, 1), -2, 3, MakeLCID(25, 1)},
        {"an index", MakeLCID(25, 1), MakeLCID(25, 1), 2, 2, MakeLCID(7, 2)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        LxSystem().UserDefaultLocale = c.User;
        LxSystem().SystemDefaultLocale = c.System;
        UseFixture("lang_ansi.txt", "trans_ansi.txt");
        Dictionary.SetLanguage(c.Language);
        Dictionary.Open();
        EXPECT_EQ(Dictionary.CurrentLanguageIndex(), c.Index);
        EXPECT_EQ(Dictionary.CurrentLocaleId(), c.Locale);
        EXPECT_EQ(ProcessLocale().ThreadLocale, c.Locale);
        EXPECT_EQ(Dictionary.Language(), c.Language);
        Dictionary.Close();
    }
}

TEST_F(LxDictionaryTest, SublanguageListsDecideBetweenRowsOfOneLanguage)
{
    const std::string languages =
        Write("l.txt", NativeRow + "\nEnglish UK\tEnglish\t9\t1,2\t1\nEnglish\tEnglish\t9\t\t1\n");
    const std::string translations = Write("t.txt", "File\tFile UK\tFile\n");
    for (const auto &[sub, index] : {std::pair{2, 1}, std::pair{9, 2}, std::pair{1, 1}}) {
        SCOPED_TRACE(sub);
        Dictionary.SetLanguageFileName(languages);
        Dictionary.SetFileName(translations);
        EXPECT_EQ(Dictionary.FindLanguage(MakeLCID(9, sub)), index);
    }
    EXPECT_EQ(Dictionary.FindLanguage(0), 0);
    EXPECT_EQ(Dictionary.FindLanguage(MakeLCID(7, 1)), -1);
    LxSystem().UserDefaultLocale = MakeLCID(9, 2);
    EXPECT_EQ(Dictionary.FindLanguage(UserDefaultLocaleMarker), 1);
}

TEST_F(LxDictionaryTest, LanguageIndexOutOfRangeIsRefused)
{
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    for (int index : {-1, -2, 4, 100}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(ErrorOf<lx::ERangeError>([&] { Dictionary.LanguageInfo(index); }),
                  "Out of language range");
    }
    EXPECT_EQ(Dictionary.LanguageInfo(3).Name, "Russian"); // the last row passes
    EXPECT_EQ(ErrorOf<lx::ERangeError>([&] { Dictionary.LocaleInfo(0); }), "Out of locale range");
    Dictionary.SetLanguage(1);
    Dictionary.Open();
    EXPECT_EQ(ErrorOf<lx::ERangeError>([&] { Dictionary.LanguageInfo(-1); }),
              "Out of language range");
    for (int value : {4, -3}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(ErrorOf<lx::ERangeError>([&] { Dictionary.SetLanguage(value); }),
                  "Language index " + std::to_string(value) + " is out of range");
        EXPECT_EQ(Dictionary.CurrentLanguageIndex(), 1);
        EXPECT_EQ(TranslateText(&Dictionary, "Open"), "Öffnen");
    }
    Dictionary.SetLanguage(3); // the last index passes
    Dictionary.SetLanguage(-2);
    EXPECT_TRUE(Dictionary.Active());
}

TEST_F(LxDictionaryTest, StoredIndexTooLargeFailsTheOpen)
{
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    Dictionary.SetLanguage(9); // closed: only stored
    EXPECT_EQ(ErrorOf<lx::ERangeError>([&] { Dictionary.Open(); }),
              "Language index 9 is out of range");
    EXPECT_FALSE(Dictionary.Active());
}

TEST_F(LxDictionaryTest, SettingTheSameLanguageDoesNothing)
{
    LxSystem().UserDefaultLocale = MakeLCID(7, 1);
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    int languageChanges = 0, localeChanges = 0;
    Dictionary.OnLanguageChange = [&](void *) { ++languageChanges; };
    Dictionary.OnLocaleChange = [&](void *) { ++localeChanges; };
    Dictionary.Open();
    EXPECT_EQ(languageChanges, 1);
    EXPECT_EQ(localeChanges, 1);
    LxSystem().UserDefaultLocale = MakeLCID(25, 1);
    Dictionary.SetLanguage(-1);
    EXPECT_EQ(Dictionary.CurrentLanguageIndex(), 1);
    EXPECT_EQ(languageChanges, 1);
    Dictionary.SetLanguage(3);
    EXPECT_EQ(languageChanges, 2);
    EXPECT_EQ(localeChanges, 2);
}

namespace {

class TFakeTranslator : public TLxTranslatorLink {
public:
    explicit TFakeTranslator(TLxDictionary &Dictionary) : FDictionary(Dictionary)
    {
        Dictionary.RegisterTranslator(this);
    }
    void DictionaryChanged(bool Language, bool Locale) override
    {
        Changes.push_back({Language, Locale});
    }
    void CloseTranslator() override
    {
        ++Closed;
        FDictionary.UnregisterTranslator(this);
    }
    std::vector<std::pair<bool, bool>> Changes;
    int Closed = 0;

private:
    TLxDictionary &FDictionary;
};

} // namespace

TEST_F(LxDictionaryTest, RegisteredTranslatorsFollowChangesAndClose)
{
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    TFakeTranslator translator(Dictionary);
    Dictionary.RegisterTranslator(&translator); // only once
    Dictionary.SetLanguage(1);
    Dictionary.Open();
    Dictionary.SetLanguage(2);
    EXPECT_EQ(translator.Changes, (std::vector<std::pair<bool, bool>>{{true, true}, {true, true}}));
    Dictionary.Close();
    EXPECT_EQ(translator.Closed, 1);
    Dictionary.Open();
    EXPECT_EQ(translator.Changes.size(), 2u); // no longer registered
}

TEST_F(LxDictionaryTest, ALanguageBringsItsFormatSettings)
{
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    Dictionary.SetLanguage(1);
    Dictionary.Open();
    const TFormatSettings &format = FormatSettings();
    EXPECT_EQ(format.DecimalSeparator, ",");
    EXPECT_EQ(format.ThousandSeparator, ".");
    EXPECT_EQ(format.ShortDateFormat, "dd.MM.yyyy");
    EXPECT_EQ(format.ShortTimeFormat, "hh:mm");
    EXPECT_EQ(format.LongTimeFormat, "hh:mm:ss");
    EXPECT_EQ(format.ShortMonthNames[2], "Mrz");
    EXPECT_EQ(format.LongDayNames[0], "Sonntag"); // Sunday first
    EXPECT_EQ(format.LongDayNames[1], "Montag");
    EXPECT_EQ(format.CurrencyString, "\u20AC");
    EXPECT_EQ(ProcessLocale().PrimaryLanguage, 7);
    EXPECT_FALSE(ProcessLocale().RightToLeft);
    Dictionary.SetLanguage(3);
    EXPECT_EQ(format.LongMonthNames[0], "январь");
    EXPECT_EQ(format.ThousandSeparator, "\u00A0");
    Dictionary.SetLanguage(0); // the source language: the user's locale's conventions
    EXPECT_EQ(ProcessLocale().ThreadLocale, 0);
    EXPECT_EQ(format.DecimalSeparator, ".");
    EXPECT_EQ(format.ShortDateFormat, "M/d/yyyy");
    EXPECT_EQ(format.LongDayNames[0], "Sunday");
}

TEST_F(LxDictionaryTest, WithoutLocaleVariablesTheFormatSettingsStay)
{
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    Dictionary.SetOptions(lxdoAll & ~lxdoUpdateLocaleVariables);
    Dictionary.SetLanguage(1);
    Dictionary.Open();
    EXPECT_EQ(FormatSettings().DecimalSeparator, ".");
    EXPECT_EQ(ProcessLocale().ThreadLocale, MakeLCID(7, 1));
}

TEST_F(LxDictionaryTest, LocaleTableRowsOverrideTheSystemsLocales)
{
    const std::string locales = Write(
        "locale.txt",
        LocaleRow(
            {{17, "d/M/yy"}, {18, "MMMM d"}, {20, "vorm."}, {21, "nachm."}, {23, "0"}, {68, "1"}}) +
            "\n" + LocaleRow({{2, "9"}, {6, "Liechtenstein"}, {17, "dd/MM/yyyy"}, {23, "0"}}, 65) +
            "\n");
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    Dictionary.SetLocaleFileName(locales);
    Dictionary.SetLanguage(1);
    Dictionary.Open();
    EXPECT_EQ(Dictionary.GetLocaleCount(), 2);
    EXPECT_EQ(FormatSettings().ShortDateFormat, "d/M/yyyy"); // two-digit years made four-digit
    EXPECT_EQ(FormatSettings().LongDateFormat, "MMMM d");
    EXPECT_EQ(FormatSettings().ShortTimeFormat, "AMPM hh:mm");
    EXPECT_EQ(FormatSettings().LongTimeFormat, "AMPM hh:mm:ss");
    EXPECT_EQ(FormatSettings().TimeAMString, "vorm.");
    EXPECT_EQ(FormatSettings().ShortMonthNames[0], "N28");
    const TLxLocale &second = Dictionary.LocaleInfo(1);
    EXPECT_EQ(second.EnglishCountryName, "Liechtenstein");
    EXPECT_EQ(second.AMPMPosition, 0); // absent: after the time
    EXPECT_EQ(second.CharSet, 0);      // absent: derived
    EXPECT_EQ(LocaleTimeFormat(second, false), "hh:mm AMPM");
    EXPECT_TRUE(Dictionary.IsKnownLocale(MakeLCID(7, 9)));
    EXPECT_FALSE(Dictionary.IsKnownLocale(MakeLCID(7, 10)));
    const auto merged = MergedLocales(&Dictionary);
    EXPECT_EQ(merged.size(), SystemLocaleIds().size() + 1);
    Dictionary.Close();
    Dictionary.SetOptions(lxdoAll & ~lxdoYear2000);
    Dictionary.Open();
    EXPECT_EQ(FormatSettings().ShortDateFormat, "d/M/yy");
}

TEST_F(LxDictionaryTest, Year2000AndTimeFormatRules)
{
    EXPECT_EQ(Year2000Format("d/M/yy"), "d/M/yyyy");
    EXPECT_EQ(Year2000Format("dd/MM/yyyy"), "dd/MM/yyyy");
    EXPECT_EQ(Year2000Format("MMMM d"), "MMMM d");
    EXPECT_EQ(Year2000Format("yy-MM yy"), "yyyy-MM yy");
    TLxLocale locale;
    locale.Clock = 0;
    locale.LeadingZero = true;
    locale.AMPMPosition = 1;
    EXPECT_EQ(LocaleTimeFormat(locale, false), "AMPM hh:mm");
    locale.AMPMPosition = 0;
    EXPECT_EQ(LocaleTimeFormat(locale, false), "hh:mm AMPM");
    locale.Clock = 1;
    locale.LeadingZero = false;
    EXPECT_EQ(LocaleTimeFormat(locale, true), "h:mm:ss");
}

TEST_F(LxDictionaryTest, ErrorMessagesOfTheTables)
{
    const std::string missing = Dir.File("none.txt");
    const std::string badLocale = Write("badlocale.txt", LocaleRow({{22, "maybe"}}) + "\n");
    const std::string badLanguage =
        Write("badlang.txt", NativeRow + "\nGerman\tDeutsch\tseven\t\t1\n");
    const auto withFiles = [&](const std::string &Languages, const std::string &Translations,
                               const std::string &Locales = "") {
        Dictionary.Close();
        Dictionary.SetLanguageFileName(Languages);
        Dictionary.SetFileName(Translations);
        Dictionary.SetLocaleFileName(Locales);
        Dictionary.SetLanguage(1);
    };
    std::vector<std::unique_ptr<TLxLanguage>> rows;
    withFiles("", LxFixture("trans_ansi.txt"));
    EXPECT_EQ(ErrorOf<ELxError>([&] { Dictionary.LoadLanguages(rows); }), "No language file given");
    withFiles(missing, LxFixture("trans_ansi.txt"));
    EXPECT_EQ(ErrorOf<ELxError>([&] { Dictionary.LoadLanguages(rows); }),
              "Language file \"" + missing + "\" not found");
    withFiles(LxFixture("lang_ansi.txt"), "");
    EXPECT_EQ(ErrorOf<ELxError>([&] { Dictionary.Open(); }), "No translation file given");
    EXPECT_FALSE(Dictionary.Active());
    withFiles(LxFixture("lang_ansi.txt"), missing);
    EXPECT_EQ(ErrorOf<ELxError>([&] { Dictionary.LoadTranslations(); }),
              "Translation file \"" + missing + "\" not found");
    withFiles(LxFixture("lang_ansi.txt"), LxFixture("trans_ansi.txt"), missing);
    EXPECT_EQ(ErrorOf<ELxError>([&] { Dictionary.Open(); }),
              "Locale file \"" + missing + "\" not found");
    withFiles(LxFixture("lang_ansi.txt"), LxFixture("trans_ansi.txt"), badLocale);
    EXPECT_EQ(ErrorOf<lx::Exception>([&] { Dictionary.LocaleInfo(0); }),
              "maybe is not a boolean value");
    withFiles(badLanguage, LxFixture("trans_ansi.txt"));
    EXPECT_EQ(ErrorOf<lx::EConvertError>([&] { Dictionary.Open(); }),
              "'seven' is not a valid integer value");
    EXPECT_FALSE(Dictionary.Active());
}

TEST_F(LxDictionaryTest, MissingLanguageFileLeavesTheDictionaryClosedQuietly)
{
    Dictionary.SetLanguageFileName(Dir.File("none.txt"));
    Dictionary.SetFileName(LxFixture("trans_ansi.txt"));
    Dictionary.Open();
    EXPECT_FALSE(Dictionary.Active());
    Dictionary.SetLanguageFileName("");
    Dictionary.Open();
    EXPECT_FALSE(Dictionary.Active());
}

TEST_F(LxDictionaryTest, CheckLevels)
{
    const std::string onlySource = Write("only.txt", NativeRow + "\n");
    const std::string korean =
        Write("ko.txt", NativeRow + "\nKorean\tKorean\t18\t\t1\t\t0\t0\t0\t1361\n");
    const std::string koreanLocale = Write("kol.txt", LocaleRow({{1, "18"}, {8, "1361"}}) + "\n");
    const std::string translations = LxFixture("trans_ansi.txt");
    struct Case {
        const char *Name;
        std::string Languages;
        std::string Locales;
        TLxCheckLevel Level;
        TLxBinding Binding;
        int Language;
        int Locale;
        int AnsiCodePage;
        std::string Error;
    };
    const Case cases[] = {
        {"no language the system supports", onlySource, "", lxclNone, lxbiLocaleToLanguage, -1, 0,
         1252, "System does not support any language of the dicitonary!"},
        {"German under a Cyrillic code page", LxFixture("lang_ansi.txt"), "", lxclCodePage,
         lxbiLocaleToLanguage, 1, 0, 1251, "German is not supported by the code page"},
        {"German under its own code page", LxFixture("lang_ansi.txt"), "", lxclCodePage,
         lxbiLocaleToLanguage, 1, 0, 1252, ""},
        {"Russian under the system check", LxFixture("lang_ansi.txt"), "", lxclSystem,
         lxbiLocaleToLanguage, 3, 0, 1252, ""},
        {"Korean Johab under the system check", korean, "", lxclSystem, lxbiNone, 1, MakeLCID(9, 1),
         1252, "Korean is not supported by the system"},
        {"a locale outside the code page", LxFixture("lang_ansi.txt"), "", lxclCodePage, lxbiNone,
         0, MakeLCID(7, 1), 1251, "The locale (7, 1) is not supported by the current code page"},
        {"a locale the system lacks", LxFixture("lang_ansi.txt"), koreanLocale, lxclSystem,
         lxbiNone, 0, MakeLCID(18, 1), 1252, "The locale (18, 1) is not supported by the system"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        LxSystem().UserDefaultLocale = MakeLCID(12, 1);
        LxSystem().AnsiCodePage = c.AnsiCodePage;
        TLxTextDictionary dictionary;
        dictionary.SetLanguageFileName(c.Languages);
        dictionary.SetFileName(translations);
        dictionary.SetLocaleFileName(c.Locales);
        dictionary.SetCheckLevel(c.Level);
        dictionary.SetBinding(c.Binding);
        dictionary.SetLanguage(c.Language);
        if (c.Locale != 0)
            dictionary.SetLocaleId(c.Locale);
        EXPECT_EQ(ErrorOf<ELxError>([&] { dictionary.Open(); }),
                  c.Error.empty() ? "(no error)" : c.Error);
        EXPECT_EQ(dictionary.Active(), c.Error.empty());
    }
}

TEST_F(LxDictionaryTest, UnicodeLanguageFileDecidesForTheTranslationFile)
{
    UseFixture("lang_utf16le.txt", "trans_ansi.txt");
    Dictionary.SetLanguage(1);
    EXPECT_EQ(ErrorOf<ELxNotUnicodeFile>([&] { Dictionary.Open(); }), "Not a Unicode file");
    EXPECT_FALSE(Dictionary.Active());
    EXPECT_TRUE(TLxTextDictionary::DetectFileFormat(LxFixture("lang_utf16be.txt")));
    EXPECT_FALSE(TLxTextDictionary::DetectFileFormat(LxFixture("lang_utf8.txt")));
    EXPECT_FALSE(TLxTextDictionary::DetectFileFormat(Dir.File("none.txt")));
}

TEST_F(LxDictionaryTest, ContextColumnsFromTheFirstRow)
{
    const std::string languages = Write("l.txt", NativeRow + "\nGerman\tDeutsch\t7\t\t1\n");
    struct Case {
        const char *Name;
        std::string Translations;
        int Flags;
        std::string Context2;
        std::string Expected;
    };
    const Case cases[] = {
        // Two rows of one source without contexts: the sort puts the second first.
        {"one TAB per language: no context", "Open\tOeffnen\nOpen\tAufmachen\tignored\n", 0, "",
         "Aufmachen"},
        {"TABs equal to the language count: context 2",
         "Open\t65500\tAufmachen\nOpen\tMenu\tOeffnen\nSave\t\tSpeichern\n", 2, "Menu", "Oeffnen"},
        {"more TABs: both contexts", "Open\tTForm1\tMenu\tOeffnen\nOpen\t\t65500\tAufmachen\n", 3,
         "65500", "Aufmachen"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxTextDictionary dictionary;
        dictionary.SetLanguageFileName(languages);
        dictionary.SetFileName(Write("t.txt", c.Translations));
        dictionary.SetCheckLevel(lxclNone);
        dictionary.SetLanguage(1);
        dictionary.Open();
        EXPECT_EQ(dictionary.ContextFlags(), c.Flags);
        EXPECT_EQ(TranslateInContext(&dictionary, "Open", "", c.Context2), c.Expected);
    }
}

TEST_F(LxDictionaryTest, TheShippedTablesSwitchBetweenEnglishAndGerman)
{
    Dictionary.SetLanguageFileName(std::string(ORV_DATA_DIR) + "/language.txt");
    Dictionary.SetFileName(std::string(ORV_DATA_DIR) + "/translat.txt");
    Dictionary.SetBinding(lxbiLanguageToLocale);
    Dictionary.SetLanguage(-1);
    Dictionary.Open();
    ASSERT_TRUE(Dictionary.Active());
    EXPECT_NE(
        UpperCase(Dictionary.LanguageInfo(Dictionary.CurrentLanguageIndex()).Name).find("ENGLISH"),
        std::string::npos);
    EXPECT_EQ(TranslateText(&Dictionary, "File not found."), "File not found.");
    Dictionary.SetLanguage(1);
    EXPECT_EQ(Dictionary.LanguageInfo(1).Name, "German");
    EXPECT_EQ(TranslateText(&Dictionary, "File not found."), "Datei nicht gefunden.");
    EXPECT_EQ(TranslateText(&Dictionary, "Tool"), "Werkzeug");
    Dictionary.SetLanguage(0);
    EXPECT_EQ(TranslateText(&Dictionary, "File not found."), "File not found.");
}

TEST_F(LxDictionaryTest, TablesFromProgramResources)
{
    test::TMemoryResources resources;
    resources.Add("LINGVARD", "MlLanguage", NativeRow + "\r\nGerman\tDeutsch\t7\t\t1\r\n");
    std::string wide = "\xFF\xFE";
    for (char c : std::string("Open\t\xC3\x96"
                              "ffnen\r\n"))
        wide += std::string(1, c) + '\0';
    resources.Add("LINGVARD", "MlTranslation",
                  "Open\t\xD6"
                  "ffnen\r\n");
    Dictionary.SetStorage(lxsResource);
    Dictionary.SetFileName("ignored");
    Dictionary.SetLanguage(1);
    Dictionary.Open();
    EXPECT_EQ(TranslateText(&Dictionary, "Open"), "Öffnen");
    // No locale table among the resources: no locale rows, but counting
    // them reports the missing resource.
    EXPECT_EQ(ErrorOf<lx::EInOutError>([&] { Dictionary.GetLocaleCount(); }),
              "Could not open the resource MlLocale");
    EXPECT_FALSE(TLxTextDictionary::DetectResourceFormat("MlTranslation"));
    resources.Add("LINGVARD", "MlTranslation",
                  "\xFF\xFE"
                  "O\0p\0" +
                      std::string(1, '\0'));
    EXPECT_TRUE(TLxTextDictionary::DetectResourceFormat("MlTranslation"));
}

TEST_F(LxDictionaryTest, FileNamesResolveAgainstTheCurrentAndProgramFolders)
{
    const std::string current = CurrentFolder();
    Write("progtable.txt", "x");
    SetProgramPathOverride(Dir.Path(), "Tarnwick");
    Dictionary.SetFileName("progtable.txt");
    EXPECT_EQ(Dictionary.FileName(), Dir.Path() + "progtable.txt");
    Dictionary.SetFileName("elsewhere/none.txt");
    EXPECT_EQ(Dictionary.FileName(), "elsewhere/none.txt");
    Dictionary.SetStorage(lxsResource);
    Dictionary.SetFileName("progtable.txt");
    EXPECT_EQ(Dictionary.FileName(), "progtable.txt");
    SetProgramPathOverride("", "");
    EXPECT_EQ(CurrentFolder(), current);
}

TEST_F(LxDictionaryTest, TheProcessWideListOfDictionaries)
{
    TLxTextDictionary second;
    EXPECT_EQ(TLxDictionaries::Find(Dictionary.DictionaryName()), &Dictionary);
    EXPECT_EQ(TLxDictionaries::Find(second.DictionaryName()), &second);
    EXPECT_NE(Dictionary.DictionaryName(), second.DictionaryName());
    EXPECT_EQ(TLxDictionaries::Find("dictionary1"), nullptr); // exact case
    EXPECT_EQ(DefaultDictionary(), TLxDictionaries::Item(0));
    EXPECT_EQ(TLxDictionaries::Item(TLxDictionaries::Count()), nullptr);
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    Dictionary.SetLanguage(1);
    Dictionary.Open();
    if (DefaultDictionary() == &Dictionary) {
        EXPECT_TRUE(IsDefaultDictionaryOpen());
        EXPECT_EQ(TranslateDefault("Open"), "Öffnen");
    }
    std::vector<std::pair<std::string, int>> languages;
    Dictionary.EnumLanguages(
        [&](const std::string &Name, int Id) { languages.emplace_back(Name, Id); }, true);
    EXPECT_EQ(languages, (std::vector<std::pair<std::string, int>>{
                             {"Native", 0}, {"Deutsch", 7}, {"Русский", 25}}));
}

TEST_F(LxDictionaryTest, ReadingDirectionAndMDIChildFollowTheLanguage)
{
    const std::string languages =
        Write("l.txt", NativeRow + "\nHebrew\tHebrew\t13\t\t1\nGerman\tDeutsch\t7\t\t1\n");
    Dictionary.SetLanguageFileName(languages);
    Dictionary.SetFileName(Write("t.txt", "Open\tFtach\tOeffnen\n"));
    Dictionary.SetCheckLevel(lxclNone);
    std::vector<bool> directions;
    int recreated = 0;
    LxApplication().OnReadingDirection = [&](bool RightToLeft) {
        directions.push_back(RightToLeft);
    };
    LxApplication().OnRecreateMDIChild = [&] { ++recreated; };
    Dictionary.SetLanguage(1);
    Dictionary.Open();
    EXPECT_TRUE(ProcessLocale().RightToLeft);
    Dictionary.SetLanguage(2);
    EXPECT_FALSE(ProcessLocale().RightToLeft);
    Dictionary.SetOptions(lxdoAll & ~lxdoRecreateMDIChild);
    Dictionary.SetLanguage(1);
    EXPECT_EQ(directions, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(recreated, 2);
    LxApplication() = TLxApplicationHooks();
}

TEST_F(LxDictionaryTest, LanguageFollowsTheLocaleWhenBoundSo)
{
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    Dictionary.SetBinding(lxbiLanguageToLocale);
    Dictionary.SetPrimaryLanguage(25); // closed: only stored
    Dictionary.Open();
    EXPECT_EQ(Dictionary.CurrentLanguageIndex(), 3);
    EXPECT_EQ(TranslateText(&Dictionary, "File"), "Файл");
    Dictionary.SetLocaleId(MakeLangId(7, 2));
    EXPECT_EQ(Dictionary.CurrentLanguageIndex(), 2);
    EXPECT_EQ(Dictionary.CurrentLocaleId(), MakeLCID(7, 2));
    Dictionary.SetSubLanguage(3); // Austria: the German row without sublanguages
    EXPECT_EQ(Dictionary.CurrentLanguageIndex(), 1);
    Dictionary.SetLocaleId(MakeLangId(12, 1)); // French: no row, the first supported one
    EXPECT_EQ(Dictionary.CurrentLanguageIndex(), 1);
    EXPECT_EQ(Dictionary.CurrentLocaleId(), MakeLCID(12, 1));
}

TEST_F(LxDictionaryTest, SynchronisingLocaleAndLanguage)
{
    UseFixture("lang_ansi.txt", "trans_ansi.txt");
    Dictionary.SetBinding(lxbiNone);
    Dictionary.SetLanguage(1);
    Dictionary.SetLocaleId(MakeLangId(12, 1));
    Dictionary.Open();
    EXPECT_EQ(Dictionary.CurrentLocaleId(), MakeLCID(12, 1));
    Dictionary.SyncLocaleToLanguage();
    EXPECT_EQ(Dictionary.CurrentLocaleId(), MakeLCID(7, 1));
    Dictionary.SetLocaleId(MakeLangId(25, 1));
    EXPECT_EQ(Dictionary.CurrentLanguageIndex(), 1); // not bound: the language stays
    Dictionary.SyncLanguageToLocale();
    EXPECT_EQ(Dictionary.CurrentLanguageIndex(), 3);
    EXPECT_EQ(TranslateText(&Dictionary, "Open"), "Открыть");
}
