#include "localise/LxErrors.h"
#include "localise/LxHooks.h"
#include "localise/LxTextDictionary.h"
#include "localise/tests/LxTestSupport.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

using namespace orv;

namespace {

constexpr uint16_t Shift = 0x2000, Ctrl = 0x4000, Alt = 0x8000;

class LxHooksTest : public test::TLxEnvironmentTest {
protected:
    // A German dictionary whose translation table carries the resource id
    // as its one context column.
    void OpenGerman(const std::string &Translations)
    {
        Dictionary.SetLanguageFileName(
            Dir.Write("l.txt", "English\tEnglish\t0\t\t0\nGerman\tDeutsch\t7\t\t1\n"));
        Dictionary.SetFileName(Dir.Write("t.txt", Translations));
        Dictionary.SetLanguage(1);
        Dictionary.Open();
        ASSERT_TRUE(Dictionary.Active());
        ASSERT_EQ(DefaultDictionary(), &Dictionary);
    }

    test::TTempDir Dir;
    TLxTextDictionary Dictionary;
};

const std::string KeyNames = "Shift+\t65320\tUmschalt+\n"
                             "Ctrl+\t65321\tStrg+\n"
                             "BkSp\t65337\tRueck\n"
                             "Del\t65319\tEntf\n"
                             "Entf\t\tEntfernen\n"
                             "Hello\t1000\tHallo\n"
                             "Hello\t\tServus\n"
                             "Error\t\tFehler\n";

} // namespace

TEST_F(LxHooksTest, ResourceStringsComeFromTheRegistry)
{
    RegisterResourceString(1000, "Hello");
    RegisterResourceString(70000, "Above the 16-bit range"); // an identifier, never an address
    const std::string longText(3000, 'x');
    RegisterResourceString(1001, longText);
    const TResStringRec hello{1000}, high{70000}, longRec{1001}, unknown{4242};
    EXPECT_EQ(LoadResString(&hello), "Hello");
    EXPECT_EQ(LoadResString(&high), "Above the 16-bit range");
    EXPECT_EQ(LoadResString(&longRec), longText); // not cut at 1023 characters
    EXPECT_EQ(LoadResString(&unknown), "");
    EXPECT_EQ(LoadResString(nullptr), "");
    EXPECT_EQ(LoadStr(1000), "Hello");
    EXPECT_EQ(ResourceStringText(SmkcCtrl), "Ctrl+");
}

TEST_F(LxHooksTest, OpenDictionaryTranslatesResourceStringsInContext)
{
    RegisterResourceString(1000, "Hello");
    RegisterResourceString(1002, "Hello");
    OpenGerman(KeyNames);
    ASSERT_TRUE(TranslationHooksInstalled());
    const TResStringRec hello{1000}, other{1002};
    EXPECT_EQ(LoadResString(&hello), "Hallo");
    // No row of its own: any row of the text; the bisection meets the row
    // without a context first.
    EXPECT_EQ(LoadResString(&other), "Servus");
    EXPECT_EQ(LoadStr(1000), "Hallo");
    Dictionary.Close();
    EXPECT_FALSE(TranslationHooksInstalled());
    EXPECT_EQ(LoadResString(&hello), "Hello");
}

TEST_F(LxHooksTest, WithoutTheResourceStringOptionNoHooks)
{
    RegisterResourceString(1000, "Hello");
    Dictionary.SetOptions(lxdoAll & ~lxdoTranslateResourceStrings);
    OpenGerman(KeyNames);
    EXPECT_FALSE(TranslationHooksInstalled());
    EXPECT_EQ(LoadStr(1000), "Hello");
}

namespace {

class LxHooks : public test::TLxEnvironmentTest {};

// Loads another resource string while it translates one.
class TReentrantDictionary : public TLxDictionary {
public:
    int GetLanguageCount() override { return 1; }
    void LoadLanguage(int, TLxLanguage &Language) override { Language.Complete(); }
    int GetLocaleCount() override { return 0; }
    void LoadLocale(int, TLxLocale &) override {}
    bool LookupInContext(const std::string &Source, const std::string &, std::string &Translation,
                         const std::string &) const override
    {
        Inner = LoadStr(2001);
        Translation = "T(" + Source + ")";
        return true;
    }
    mutable std::string Inner;
};

} // namespace

TEST_F(LxHooks, StringsLoadedDuringATranslationStayUntranslated)
{
    RegisterResourceString(2000, "Outer");
    RegisterResourceString(2001, "Inner");
    TReentrantDictionary dictionary;
    dictionary.SetLanguage(0);
    dictionary.Open();
    ASSERT_EQ(DefaultDictionary(), &dictionary);
    EXPECT_EQ(LoadStr(2000), "T(Outer)");
    EXPECT_EQ(dictionary.Inner, "Inner");
    EXPECT_EQ(LoadStr(2001), "T(Inner)"); // translation enabled again afterwards
    dictionary.Close();
}

TEST_F(LxHooksTest, TranslationEnabledAgainAfterAFailure)
{
    RegisterResourceString(1000, "Hello");
    RegisterResourceString(1003, "Missing");
    OpenGerman(KeyNames);
    Dictionary.SetMissingTranslation(lxmtRaiseException);
    EXPECT_THROW(LoadStr(1003), ELxError);
    Dictionary.SetMissingTranslation(lxmtUseNative);
    EXPECT_EQ(LoadStr(1000), "Hallo");
}

TEST_F(LxHooksTest, ShortCutTexts)
{
    struct Case {
        const char *Name;
        uint16_t ShortCut;
        std::string Plain;
        std::string Translated;
    };
    const Case cases[] = {
        {"Ctrl+Shift+F5 in the order Shift, Ctrl", Ctrl | Shift | 116, "Shift+Ctrl+F5",
         "Umschalt+Strg+F5"},
        {"Alt+A", Alt | 'A', "Alt+A", "Alt+A"},
        {"digit", '7', "7", "7"},
        {"numeric keypad 0", 96, "0", "0"},
        {"F1", 112, "F1", "F1"},
        {"F24", 135, "F24", "F24"},
        {"backspace", 8, "BkSp", "Rueck"},
        {"Del: in context, then once more", Ctrl | 46, "Ctrl+Del", "Strg+Entfernen"},
        {"page up", 33, "PgUp", "PgUp"},
        {"full stop key", 190, ".", "."},
        {"key without a name", Ctrl | 255, "", ""},
        {"modifiers alone", Shift | 16, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ShortCutToText(c.ShortCut), c.Plain);
    }
    OpenGerman(KeyNames);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ShortCutToText(c.ShortCut), c.Translated);
        EXPECT_EQ(TranslatedShortCutToText(c.ShortCut), c.Translated);
    }
}

TEST_F(LxHooksTest, ExceptionMessagesGetTheirPeriod)
{
    struct Case {
        const char *Name;
        std::string Message;
        std::string Shown;
    };
    const Case cases[] = {
        {"letter", "Disk full", "Disk full."},
        {"question mark", "Why?", "Why?."},
        {"exclamation mark", "Stop!", "Stop!"},
        {"period", "Done.", "Done."},
        {"closing bracket sorts below the period", "Bad value (3)", "Bad value (3)"},
        {"digit", "Error 5", "Error 5."},
        {"non-ASCII last character", "Größe", "Größe."},
        {"empty", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(TranslatedExceptionText(std::runtime_error(c.Message)), c.Shown);
    }
}

TEST_F(LxHooksTest, TheFirstDictionaryInstallsTheTranslatingExceptionHandler)
{
    ApplicationOnException() = nullptr;
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    HandleApplicationException(nullptr, std::runtime_error("Error"));
    OpenGerman(KeyNames); // the fixture's dictionary came first, before the handler was cleared
    TLxTextDictionary second;
    ASSERT_TRUE(static_cast<bool>(ApplicationOnException()));
    HandleApplicationException(nullptr, std::runtime_error("Error"));
    ASSERT_EQ(messages.Log().size(), 2u);
    EXPECT_EQ(messages.Log()[0].Text, "Error");
    EXPECT_EQ(messages.Log()[1].Text, "Fehler.");
    EXPECT_EQ(messages.Log()[1].Buttons, static_cast<unsigned>(mbOK));
}

namespace {

class TFakeWindow : public TLxWindowText {
public:
    std::string Caption;
    int WindowWidth = 50;
    bool Mark = false;
    std::string Text() const override { return Caption; }
    void SetText(const std::string &Text) override { Caption = Text; }
    int TextWidth(const std::string &Text) const override
    {
        return 7 * static_cast<int>(Text.size());
    }
    int Width() const override { return WindowWidth; }
    void SetWidth(int Width) override { WindowWidth = Width; }
    bool HasMark() const override { return Mark; }
};

} // namespace

TEST_F(LxHooksTest, WindowTexts)
{
    OpenGerman("Open\tOeffnen und lesen\nSave\tSp\n");
    struct Case {
        const char *Name;
        std::string Own;
        std::string Given;
        bool Mark;
        bool Widen;
        std::string Caption;
        int Width;
    };
    const Case cases[] = {
        {"own text, widened", "Open", "", false, true, "Oeffnen und lesen", 119},
        {"given text, check box widened by its mark", "x", "Open", true, true, "Oeffnen und lesen",
         139},
        {"no widening asked", "Open", "", true, false, "Oeffnen und lesen", 50},
        {"narrower text keeps the width", "Save", "", true, true, "Sp", 50},
        {"no translation", "Cancel", "", false, true, "Cancel", 50},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeWindow window;
        window.Caption = c.Own;
        window.Mark = c.Mark;
        TranslateWindowText(&Dictionary, window, c.Given, c.Widen);
        EXPECT_EQ(window.Caption, c.Caption);
        EXPECT_EQ(window.WindowWidth, c.Width);
    }
}
