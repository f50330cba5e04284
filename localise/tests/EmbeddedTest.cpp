#include "localise/LxEmbedded.h"
#include "localise/LxErrors.h"
#include "localise/LxTextDictionary.h"
#include "localise/tests/LxTestSupport.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

using namespace orv;
using orv::test::LxFixture;

namespace {

class LxEmbeddedTest : public test::TLxEnvironmentTest {
protected:
    // Stores the fixture tables with the owner "TMess" as its data resource.
    void StoreFixtureTables(const std::string &Locales = "")
    {
        TLxTextDictionary source;
        source.SetDictionaryName("Dictionary1");
        source.SetLanguageFileName(LxFixture("lang_ansi.txt"));
        source.SetFileName(LxFixture("trans_ansi.txt"));
        source.SetLocaleFileName(Locales);
        source.SetCheckLevel(lxclNone);
        const TLxEmbeddedTables tables = SaveEmbeddedTables(source);
        ASSERT_TRUE(tables.HasLanguages && tables.HasTranslations);
        std::vector<TLxStoredProperty> properties{
            {"TLxTextDictionary", "Dictionary1", "Languages", tables.Languages},
            {"TLxTextDictionary", "Dictionary1", "Translations", tables.Translations}};
        if (tables.HasLocales)
            properties.push_back({"TLxTextDictionary", "Dictionary1", "Locales", tables.Locales});
        Resources.Add("FORMDATA", "TMess", BuildFormData("TMess", "Mess", properties));
        Tables = tables;
    }
    void UseEmbedded(TLxTextDictionary &Dictionary)
    {
        Dictionary.SetStorage(lxsEmbedded);
        Dictionary.SetOwnerClassName("TMess");
        Dictionary.SetDictionaryName("Dictionary1");
        Dictionary.SetCheckLevel(lxclNone);
    }

    test::TMemoryResources Resources;
    TLxEmbeddedTables Tables;
};

} // namespace

TEST_F(LxEmbeddedTest, StoredTablesTranslateLikeTheFiles)
{
    StoreFixtureTables();
    TLxTextDictionary dictionary;
    UseEmbedded(dictionary);
    dictionary.SetLanguage(1);
    dictionary.Open();
    ASSERT_TRUE(dictionary.Active());
    EXPECT_EQ(dictionary.GetLanguageCount(), 4);
    EXPECT_EQ(dictionary.LanguageInfo(3).NativeName, "Русский");
    EXPECT_EQ(TranslateText(&dictionary, "Open"), "Öffnen");
    EXPECT_EQ(dictionary.IndexOfText("Exit"), -1); // rows without a text are dropped
    // Escapes stay as written on this path.
    EXPECT_EQ(TranslateText(&dictionary, "Two#Tlines#C#L"), "Zwei#TZeilen#C#L");
    dictionary.SetLanguage(2);
    EXPECT_EQ(TranslateText(&dictionary, "Open"), "Öffnen"); // the fallback language's text
    dictionary.SetLanguage(0);
    EXPECT_EQ(dictionary.GetTranslationCount(), 0); // the source language has no column
    EXPECT_EQ(dictionary.GetLocaleCount(), 0);
}

TEST_F(LxEmbeddedTest, LocalesAreStoredToo)
{
    test::TTempDir dir;
    const std::string locales = dir.Write(
        "locale.txt",
        "7\t9\t0\tGerman\tDeutsch\tLiechtenstein\tLiechtenstein\t1252\t0\tCHF\t2\t2\t'\t.\t2\t.\t"
        "dd.MM.yyyy\tdddd, d. MMMM yyyy\t:\t\t\t1\t1\t1\t0\t0\t0" +
            std::string(38, '\t') + "\n");
    StoreFixtureTables(locales);
    ASSERT_TRUE(Tables.HasLocales);
    TLxTextDictionary dictionary;
    UseEmbedded(dictionary);
    EXPECT_EQ(dictionary.GetLocaleCount(), 1);
    EXPECT_EQ(dictionary.LocaleInfo(0).EnglishCountryName, "Liechtenstein");
    EXPECT_EQ(dictionary.LocaleInfo(0).ThousandSeparator, "'");
    dictionary.ReadLocalesData(Tables.Locales);
    dictionary.ReadLanguagesData(Tables.Languages);
    dictionary.ReadTranslationsData(Tables.Translations);
}

TEST_F(LxEmbeddedTest, MissingComponentOrPropertyIsReported)
{
    StoreFixtureTables();
    struct Case {
        const char *Name;
        std::string Owner;
        std::string Component;
    };
    const Case cases[] = {
        {"owner without stored data", "TMainForm", "Dictionary1"},
        {"no such component", "TMess", "Dictionary2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TLxTextDictionary dictionary;
        UseEmbedded(dictionary);
        dictionary.SetOwnerClassName(c.Owner);
        dictionary.SetDictionaryName(c.Component);
        try {
            dictionary.GetLanguageCount();
            FAIL() << "found";
        } catch (const lx::EResNotFound &e) {
            EXPECT_STREQ(e.what(), "Could not find the property");
        }
    }
}

TEST_F(LxEmbeddedTest, UnknownVersionsAndDamagedData)
{
    TLxStoredWriter future;
    future.ListBegin();
    future.Integer(3);
    future.Integer(0);
    future.ListEnd();
    TLxTextDictionary dictionary;
    struct Case {
        const char *Name;
        void (TLxTextDictionary::*Read)(const std::string &);
        std::string Message;
    };
    const Case cases[] = {
        {"languages", &TLxTextDictionary::ReadLanguagesData, "Unknown language data version: 3"},
        {"translations", &TLxTextDictionary::ReadTranslationsData,
         "Unknown translation data version: 3"},
        {"locales", &TLxTextDictionary::ReadLocalesData, "Unknown locale data version: 3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            (dictionary.*c.Read)(future.Data());
            FAIL() << "read";
        } catch (const lx::Exception &e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
        EXPECT_THROW((dictionary.*c.Read)(future.Data().substr(0, 3)), lx::Exception);
        EXPECT_THROW((dictionary.*c.Read)(""), lx::Exception);
    }
}

TEST_F(LxEmbeddedTest, SavingRefusesHalfNamedAndUnusableFiles)
{
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    TLxTextDictionary dictionary;
    dictionary.SetFileName(LxFixture("trans_ansi.txt"));
    try {
        SaveEmbeddedTables(dictionary);
        FAIL() << "saved";
    } catch (const lx::Exception &e) {
        EXPECT_STREQ(e.what(), "No language file assigned");
    }
    dictionary.SetFileName("");
    dictionary.SetLanguageFileName(LxFixture("lang_ansi.txt"));
    try {
        SaveEmbeddedTables(dictionary);
        FAIL() << "saved";
    } catch (const lx::Exception &e) {
        EXPECT_STREQ(e.what(), "No translation file assigned");
    }
    dictionary.SetLanguageFileName(LxFixture("lang_utf16le.txt"));
    dictionary.SetFileName(LxFixture("none.txt"));
    const TLxEmbeddedTables tables = SaveEmbeddedTables(dictionary);
    EXPECT_FALSE(tables.HasLanguages || tables.HasTranslations || tables.HasLocales);
    ASSERT_EQ(messages.Log().size(), 2u);
    EXPECT_EQ(messages.Log()[0].Caption, "UTF-16 not supported");
    EXPECT_EQ(messages.Log()[0].Text, "Can not use a UTF-16 file " + LxFixture("lang_utf16le.txt") +
                                          ". No table data was stored!");
    EXPECT_EQ(messages.Log()[1].Caption, "File not found");
    EXPECT_EQ(messages.Log()[1].Text, "Can not find the file name " + LxFixture("none.txt") +
                                          ". No table data was stored!");
}

TEST(LxStoredValues, RoundTrip)
{
    TLxStoredWriter writer;
    writer.ListBegin();
    writer.Integer(-5);
    writer.String("Größe");
    writer.Boolean(true);
    writer.ListBegin();
    writer.ListEnd();
    writer.ListEnd();
    TLxStoredReader reader(writer.Data());
    reader.ListBegin();
    EXPECT_EQ(reader.Integer(), -5);
    EXPECT_EQ(reader.String(), "Größe");
    EXPECT_TRUE(reader.Boolean());
    reader.SkipValue();
    EXPECT_TRUE(reader.EndOfList());
    reader.ListEnd();
    TLxStoredReader wrongKind(writer.Data());
    wrongKind.ListBegin();
    EXPECT_THROW(wrongKind.String(), lx::Exception);
    std::string damaged = writer.Data();
    damaged[7] = '\x7F'; // a string length far past the data
    TLxStoredReader longString(damaged);
    longString.ListBegin();
    longString.Integer();
    EXPECT_THROW(longString.String(), lx::Exception);
}
