#pragma once
// The dictionary: which languages and locales a translation source offers,
// which are current, and what a change does to the process: the process
// locale, the program's format settings, reading direction, registered
// translators and the change events. Where the tables come from is left to
// descendants (TLxTextDictionary); lookups are TLxCustomDictionary's.
// Failures raise ELxError or lx::ERangeError with the texts given below.

#include "localise/LxLanguage.h"
#include "localise/LxLocales.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

enum TLxDictionaryOption : unsigned {
    lxdoUpdateLocaleVariables = 1u << 0,
    lxdoAutoTranslate = 1u << 1,
    lxdoYear2000 = 1u << 2,
    lxdoTranslateResourceStrings = 1u << 3,
    lxdoRecreateMDIChild = 1u << 4,
};
using TLxDictionaryOptions = unsigned;
constexpr TLxDictionaryOptions lxdoAll = 0x1F;

enum TLxMissingTranslation { lxmtUseNative, lxmtUseNull, lxmtTagNative, lxmtRaiseException };
enum TLxBinding { lxbiNone, lxbiLocaleToLanguage, lxbiLanguageToLocale };
enum TLxCheckLevel { lxclNone, lxclSystem, lxclCodePage };

// A form translator as the dictionary sees it: told of every change while
// registered, closed (and so unregistered) when the dictionary closes.
class TLxTranslatorLink {
public:
    virtual ~TLxTranslatorLink() = default;
    virtual void DictionaryChanged(bool LanguageChanged, bool LocaleChanged) = 0;
    virtual void CloseTranslator() = 0;
};

// What the windowing layer does for a language change: apply a reading
// direction to every form, recreate the maximised MDI child.
struct TLxApplicationHooks {
    std::function<void(bool RightToLeft)> OnReadingDirection;
    std::function<void()> OnRecreateMDIChild;
};
TLxApplicationHooks &LxApplication();

using TNotifyEvent = std::function<void(void *Sender)>;

class TLxDictionary {
public:
    TLxDictionary();
    virtual ~TLxDictionary();
    TLxDictionary(const TLxDictionary &) = delete;
    TLxDictionary &operator=(const TLxDictionary &) = delete;

    // Table access, in the order descendants override it.
    virtual int GetLanguageCount() = 0;
    virtual void LoadLanguage(int Index, TLxLanguage &Language) = 0;
    virtual int GetLocaleCount() = 0;
    virtual void LoadLocale(int Index, TLxLocale &Locale) = 0;
    virtual int GetTranslationCount() const { return 0; }
    virtual void ApplyLanguageAndLocale(bool LanguageChanged, bool LocaleChanged);
    virtual bool LookupInContext(const std::string &Source, const std::string &Context1,
                                 std::string &Translation, const std::string &Context2) const = 0;
    // Nothing when active or the tables are not available; a failure closes
    // the dictionary again and propagates.
    virtual void Open();
    virtual void Close();
    virtual bool IsAvailable() { return true; }
    virtual void LoadLanguages(std::vector<std::unique_ptr<TLxLanguage>> &List);
    virtual void LoadLocales(std::vector<std::unique_ptr<TLxLocale>> &List);
    virtual bool Lookup(const std::string &Source, std::string &Translation) const;
    virtual void SyncLocaleToLanguage();
    virtual void SyncLanguageToLocale();
    // Calls Add(name or native name, primary id) once per primary id.
    virtual void EnumLanguages(const std::function<void(const std::string &, int)> &Add,
                               bool NativeNames);
    virtual bool IsKnownLocale(int LocaleId);

    const std::string &DictionaryName() const { return FDictionaryName; }
    void SetDictionaryName(const std::string &Name) { FDictionaryName = Name; }
    int PrimaryLanguage() const { return PrimaryLangId(FLocaleId); }
    void SetPrimaryLanguage(int Value);
    int SubLanguage() const { return SubLangId(FLocaleId); }
    void SetSubLanguage(int Value);
    void SetLocaleId(int LangId);
    // The requested language: an index, -1 the user's default locale's
    // language, -2 the system's. Raises lx::ERangeError "Language index " +
    // value + " is out of range" while active for a value below -2 or not
    // below the language count.
    int Language() const { return FLanguage; }
    void SetLanguage(int Value);
    TLxBinding Binding() const { return FBinding; }
    void SetBinding(TLxBinding Value) { FBinding = Value; }
    TLxDictionaryOptions Options() const { return FOptions; }
    void SetOptions(TLxDictionaryOptions Value) { FOptions = Value; }
    TLxMissingTranslation MissingTranslation() const { return FMissingTranslation; }
    void SetMissingTranslation(TLxMissingTranslation Value) { FMissingTranslation = Value; }
    TLxEuro Euro() const { return FEuro; }
    void SetEuro(TLxEuro Value);
    TLxCheckLevel CheckLevel() const { return FCheckLevel; }
    void SetCheckLevel(TLxCheckLevel Value) { FCheckLevel = Value; }

    bool Active() const { return FActive; }
    int CurrentLanguageIndex() const { return FCurrentIndex; }
    int FallbackLanguageIndex() const { return FFallbackIndex; }
    int CurrentLocaleId() const { return FCurrentLocaleId; }
    const TLxLanguage &CurrentLanguage() const { return *FCurrentLanguage; }
    const TLxLocale &CurrentLocale() const { return *FCurrentLocale; }
    // Bit 0: rows carry context 1; bit 1: rows carry context 2.
    int ContextFlags() const { return FContextFlags; }
    bool IsContextTable() const { return FContextFlags != 0; }

    // lx::ERangeError "Out of language range" / "Out of locale range" for an
    // index that is negative or not below the count.
    const TLxLanguage &LanguageInfo(int Index);
    const TLxLocale &LocaleInfo(int Index);
    int FindLanguage(int LocaleId);
    int FirstSupportedLanguage();
    bool FindLocale(int LocaleId, TLxLocale &Locale);

    void RegisterTranslator(TLxTranslatorLink *Translator);
    void UnregisterTranslator(TLxTranslatorLink *Translator);

    TNotifyEvent OnLanguageChange;
    TNotifyEvent OnLocaleChange;

protected:
    void SetCurrentLanguage(int Value);
    void SetCurrentLocale(int LocaleId);
    void SetContextFlags(int Flags) { FContextFlags = Flags; }

private:
    void ChooseLanguageFromLocale();
    void CheckLanguageSupported() const;
    void CheckLocaleSupported(int RequestedId) const;
    void ApplyFormatSettings() const;
    void RecreateMDIChild() const;
    void CloseTranslators();

    std::string FDictionaryName;
    int FLocaleId = UserDefaultLocaleMarker;
    int FLanguage = -1;
    TLxBinding FBinding = lxbiLocaleToLanguage;
    TLxDictionaryOptions FOptions = lxdoAll;
    TLxMissingTranslation FMissingTranslation = lxmtUseNative;
    TLxEuro FEuro = lxeNormal;
    TLxCheckLevel FCheckLevel = lxclCodePage;
    bool FActive = false;
    int FOpenLanguage = -1;
    int FCurrentIndex = -1;
    int FFallbackIndex = 0;
    int FCurrentLocaleId = 0;
    int FLanguageLocaleId = 0;
    std::unique_ptr<TLxLanguage> FCurrentLanguage;
    std::unique_ptr<TLxLocale> FCurrentLocale;
    std::unique_ptr<TLxLanguage> FScratchLanguage;
    std::unique_ptr<TLxLocale> FScratchLocale;
    std::vector<TLxTranslatorLink *> FTranslators;
    int FContextFlags = 0;
};

// The process-wide list of dictionaries (not owning them).
class TLxDictionaries {
public:
    static int Count();
    static TLxDictionary *Item(int Index);
    // Exact, case-sensitive name; none when absent.
    static TLxDictionary *Find(const std::string &Name);
    static void Add(TLxDictionary *Dictionary);
    static void Remove(TLxDictionary *Dictionary);
};

TLxDictionary *DefaultDictionary();
bool IsDefaultDictionaryOpen();
std::string TranslateDefault(const std::string &Text);

// Short and long time formats as a locale gives them: "hh:mm", "h:mm:ss AMPM".
std::string LocaleTimeFormat(const TLxLocale &Locale, bool Long);
// A date format with two-digit years made four-digit ("d/M/yy" to "d/M/yyyy").
std::string Year2000Format(const std::string &Format);

} // namespace orv
