#pragma once
// The message module: translation of texts and the numbered message boxes of
// the whole program. One TMess exists from start-up to exit and is reached
// through Mess(); texts pass through a translator that the localisation
// dictionary provides (none installed: texts stay as they are).

#include <memory>
#include <string>

namespace orv {

class TLxTextDictionary;

// What TMess needs of the translation dictionary.
class TTextTranslator {
public:
    virtual ~TTextTranslator() = default;
    // The text in the chosen language, or the text itself when unknown.
    virtual std::string TranslateText(const std::string &Text) const = 0;
};

class TMess {
public:
    static constexpr int MessageCount = 53; // numbered messages 0 to 52

    // The first TMess made becomes the global one until it is destroyed.
    TMess();
    ~TMess();
    TMess(const TMess &) = delete;
    TMess &operator=(const TMess &) = delete;

    // The translation dictionary ("Dictionary1", language bound to the
    // locale). Texts go through it once it is open.
    TLxTextDictionary &Dictionary() { return *FDictionary; }

    // Points the dictionary at its language and translation files, opens it
    // and applies Language (-1: the language of the user's locale). "." stays
    // the decimal separator whatever the language brings. False, with the
    // dictionary's own message in ErrorText, when a file is missing or
    // broken or the language does not exist; texts then stay as they are.
    bool OpenDictionary(const std::string &LanguageFile, const std::string &TranslationFile,
                        int Language, std::string &ErrorText);

    // A translator used instead of the dictionary (tests); null: the dictionary.
    void SetTranslator(const TTextTranslator *Translator) { FTranslator = Translator; }
    const TTextTranslator *Translator() const { return FTranslator; }

    // Any text through the dictionary.
    std::string Translate(const std::string &Text) const;

    // Untranslated title of the standard message dialog of a dialog type.
    static std::string DialogCaption(int DlgType);

    // True when Index names a message of the table (0 to 52).
    static bool IsMessageIndex(int Index) { return Index >= 0 && Index < MessageCount; }
    // The untranslated table text; empty for a number outside the table.
    static std::string TableText(int Index);

    // The translated table text. A number outside the table gives the
    // error text "Message number <n> is not in the message table".
    std::string MessageText(int Index) const;

    // Message box with the translated table text; DlgType 0 warning, 1 error,
    // 2 information, 3 confirmation; Buttons a TMsgDlgBtn set. Returns the
    // modal result (6 for Yes). A number outside the table shows the error
    // text above in an error box instead and returns 0 (no answer).
    int ShowMessageByIndex(int Index, int DlgType, unsigned Buttons, int HelpCtx = 0) const;

    // Does nothing; the dictionary calls it when the language changes.
    void DictionaryLanguageChange() {}

private:
    friend TMess &Mess();
    struct TUnregistered {};
    explicit TMess(TUnregistered);
    const TTextTranslator *FTranslator = nullptr;
    std::unique_ptr<TLxTextDictionary> FDictionary;
};

// The program's message module; a pass-through one when none was created.
TMess &Mess();

// Text of a program quoted in a message: at most Max characters, a longer
// one cut with "..." and its length, so a runaway line cannot flood the
// status bar or a log.
std::string QuoteForMessage(const std::string &Text, size_t Max = 80);

} // namespace orv
