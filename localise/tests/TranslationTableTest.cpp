#include "localise/LxCustomDictionary.h"
#include "localise/LxErrors.h"

#include <gtest/gtest.h>

using namespace orv;

namespace {

// A dictionary whose translation table a test fills row by row.
class TTableDictionary : public TLxCustomDictionary {
public:
    int GetLanguageCount() override { return 2; }
    void LoadLanguage(int, TLxLanguage &) override {}
    int GetLocaleCount() override { return 0; }
    void LoadLocale(int, TLxLocale &) override {}
    void LoadTranslations() override {}

    void Fill(int ContextFlags, const std::vector<TLxTranslation> &Rows)
    {
        ClearTranslations();
        SetContextFlags(ContextFlags);
        for (const TLxTranslation &row : Rows)
            AddTranslation(row);
        SortTranslations();
    }
};

TLxTranslation Row(const std::string &Source, const std::string &Translation,
                   const std::string &Context1 = "", const std::string &Context2 = "")
{
    TLxTranslation row;
    row.Source = Source;
    row.Context1 = Context1;
    row.Context2 = Context2;
    row.Translation = Translation;
    row.State = Translation.empty() ? 2 : 0;
    return row;
}

} // namespace

TEST(LxTranslationTable, PlainLookups)
{
    TTableDictionary dictionary;
    dictionary.Fill(0,
                    {Row("Open", "Öffnen"), Row("Close", "Schließen"), Row("Exit", ""),
                     Row("Zoom", "Zoom"), Row("\xC3\x84nderung", "Change"), Row("About", "Über")});
    struct Case {
        const char *Name;
        std::string Source;
        bool Found;
        std::string Translation;
    };
    const Case cases[] = {
        {"first in sort order", "About", true, "Über"},
        {"last in sort order (bytes above 127 sort last)", "\xC3\x84nderung", true, "Change"},
        {"middle", "Open", true, "Öffnen"},
        {"case matters", "open", false, ""},
        {"found with an empty translation", "Exit", true, ""},
        {"absent", "Save", false, ""},
        {"empty source", "", false, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        std::string translation;
        EXPECT_EQ(dictionary.Lookup(c.Source, translation), c.Found);
        EXPECT_EQ(translation, c.Translation);
        EXPECT_EQ(dictionary.IndexOfText(c.Source) >= 0, c.Found);
    }
}

TEST(LxTranslationTable, EmptyTableFindsNothing)
{
    TTableDictionary dictionary;
    dictionary.Fill(0, {});
    std::string translation;
    EXPECT_FALSE(dictionary.Lookup("Open", translation));
    EXPECT_EQ(dictionary.IndexOfContext("Open", "a", "b"), -1);
    dictionary.Fill(3, {});
    EXPECT_FALSE(dictionary.LookupInContext("Open", "a", translation, "b"));
}

TEST(LxTranslationTable, DuplicatesResolveTheSameWayEveryTime)
{
    // Load order A/1, B/x, A/2, A/3: the partition leaves A/2, A/3, A/1, B,
    // and the bisection for "A" meets A/3 first.
    TTableDictionary dictionary;
    dictionary.Fill(0, {Row("A", "1"), Row("B", "x"), Row("A", "2"), Row("A", "3")});
    std::vector<std::string> order;
    for (int i = 0; i < dictionary.GetTranslationCount(); ++i)
        order.push_back(dictionary.Translation(i).Translation);
    EXPECT_EQ(order, (std::vector<std::string>{"2", "3", "1", "x"}));
    EXPECT_EQ(TranslateText(&dictionary, "A"), "3");
}

TEST(LxTranslationTable, ContextLookups)
{
    TTableDictionary dictionary;
    dictionary.Fill(2, {Row("Open", "Öffnen", "", "Menu"), Row("Open", "Aufmachen", "", "Button"),
                        Row("Save", "Speichern", "", ""), Row("Cut", "", "", "Menu")});
    struct Case {
        const char *Name;
        std::string Source;
        std::string Context2;
        std::string Translated;
    };
    const Case cases[] = {
        {"exact context", "Open", "Button", "Aufmachen"},
        {"other exact context", "Open", "Menu", "Öffnen"},
        // Sorted: Cut/Menu, Open/Button, Open/Menu, Save; the bisection for
        // any "Open" row meets Open/Button first.
        {"unknown context falls back to any row of the source", "Open", "Toolbar", "Aufmachen"},
        {"row without context", "Save", "", "Speichern"},
        {"row without context, asked with one", "Save", "65001", "Speichern"},
        {"found empty: the source by the default policy", "Cut", "Menu", "Cut"},
        {"absent", "Paste", "Menu", "Paste"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(TranslateInContext(&dictionary, c.Source, "", c.Context2), c.Translated);
    }
}

TEST(LxTranslationTable, ContextsAreSimplyJoined)
{
    // A row with context 1 "Form1" and an empty context 2 is met by a search
    // with an empty context 1 and "Form1" as context 2.
    TTableDictionary dictionary;
    dictionary.Fill(
        3, {Row("Caption", "Titel", "Form1", ""), Row("Caption", "Kopf", "TForm2", "Label1")});
    std::string translation;
    EXPECT_TRUE(dictionary.LookupInContext("Caption", "", translation, "Form1"));
    EXPECT_EQ(translation, "Titel");
    EXPECT_TRUE(dictionary.LookupInContext("Caption", "TForm2", translation, "Label1"));
    EXPECT_EQ(translation, "Kopf");
    EXPECT_EQ(dictionary.IndexOfContext("Caption", "TForm2", "Label2"), -1);
}

TEST(LxTranslationTable, MissingTranslationPolicies)
{
    TTableDictionary dictionary;
    dictionary.Fill(0, {Row("Open", "Öffnen"), Row("Exit", "")});
    struct Case {
        const char *Name;
        TLxMissingTranslation Policy;
        std::string Source;
        std::string Result;
        std::string Error;
    };
    const Case cases[] = {
        {"native, absent", lxmtUseNative, "Save", "Save", ""},
        {"native, empty", lxmtUseNative, "Exit", "Exit", ""},
        {"null, absent", lxmtUseNull, "Save", "", ""},
        {"null, empty", lxmtUseNull, "Exit", "", ""},
        {"tag, absent", lxmtTagNative, "Save", "@Save@", ""},
        {"tag, empty", lxmtTagNative, "Exit", "@Exit@", ""},
        {"raise, absent", lxmtRaiseException, "Save", "",
         "Dictionary does not contain a translation for the word \"Save\""},
        {"raise, empty", lxmtRaiseException, "Exit", "",
         "Translation for the word \"Exit\" is missing"},
        {"raise, found", lxmtRaiseException, "Open", "Öffnen", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        dictionary.SetMissingTranslation(c.Policy);
        if (c.Error.empty()) {
            EXPECT_EQ(TranslateText(&dictionary, c.Source), c.Result);
            continue;
        }
        try {
            TranslateText(&dictionary, c.Source);
            FAIL() << "no error";
        } catch (const ELxError &e) {
            EXPECT_EQ(std::string(e.what()), c.Error);
        }
    }
}

TEST(LxTranslationTable, NoDictionaryOrEmptyTextPassesUnchanged)
{
    EXPECT_EQ(TranslateText(nullptr, "Open"), "Open");
    EXPECT_EQ(TranslateInContext(nullptr, "Open", "a", "b"), "Open");
    TTableDictionary dictionary;
    dictionary.Fill(0, {});
    dictionary.SetMissingTranslation(lxmtRaiseException);
    EXPECT_EQ(TranslateText(&dictionary, ""), ""); // the policy is not asked
}
