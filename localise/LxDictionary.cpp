#include "localise/LxDictionary.h"

#include "localise/LxCustomDictionary.h"
#include "localise/LxErrors.h"
#include "localise/LxHooks.h"
#include "localise/LxSystem.h"
#include "platform/FormatSettings.h"

#include <algorithm>

namespace orv {

namespace {

std::vector<TLxDictionary *> &DictionaryList()
{
    static std::vector<TLxDictionary *> list;
    return list;
}

int ResolveLocaleMarker(int LocaleId)
{
    if (LocaleId == UserDefaultLocaleMarker)
        return LxSystem().UserDefaultLocale;
    if (LocaleId == SystemDefaultLocaleMarker)
        return LxSystem().SystemDefaultLocale;
    return LocaleId;
}

bool IsFarEastSystem()
{
    const int codePage = LxSystem().AnsiCodePage;
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
           codePage == 1361;
}

// First row in order that Matches; -1 when none.
template <typename TMatch>
int FirstRow(const std::vector<std::unique_ptr<TLxLanguage>> &Rows, TMatch Matches)
{
    for (size_t i = 0; i < Rows.size(); ++i)
        if (Matches(*Rows[i]))
            return static_cast<int>(i);
    return -1;
}

bool ListsSubLanguage(const TLxLanguage &Language, int Sub)
{
    return std::find(Language.SubLanguages.begin(), Language.SubLanguages.end(), Sub) !=
           Language.SubLanguages.end();
}

} // namespace

TLxApplicationHooks &LxApplication()
{
    static TLxApplicationHooks hooks;
    return hooks;
}

TLxDictionary::TLxDictionary()
    : FCurrentLanguage(std::make_unique<TLxLanguage>()),
      FCurrentLocale(std::make_unique<TLxLocale>())
{
    TLxDictionaries::Add(this);
    for (int n = TLxDictionaries::Count();; ++n) {
        const std::string name = "Dictionary" + std::to_string(n);
        if (TLxDictionaries::Find(name) == nullptr) {
            FDictionaryName = name;
            break;
        }
    }
    if (!ApplicationOnException())
        ApplicationOnException() = ShowTranslatedException;
}

TLxDictionary::~TLxDictionary()
{
    if (FActive && TranslationHooksInstalled())
        RemoveTranslationHooks();
    CloseTranslators();
    TLxDictionaries::Remove(this);
}

void TLxDictionary::LoadLanguages(std::vector<std::unique_ptr<TLxLanguage>> &List)
{
    const int count = GetLanguageCount();
    for (int i = 0; i < count; ++i) {
        auto language = std::make_unique<TLxLanguage>();
        LoadLanguage(i, *language);
        List.push_back(std::move(language));
    }
}

void TLxDictionary::LoadLocales(std::vector<std::unique_ptr<TLxLocale>> &List)
{
    const int count = GetLocaleCount();
    for (int i = 0; i < count; ++i) {
        auto locale = std::make_unique<TLxLocale>();
        LoadLocale(i, *locale);
        List.push_back(std::move(locale));
    }
}

bool TLxDictionary::Lookup(const std::string &Source, std::string &Translation) const
{
    return LookupInContext(Source, std::string(), Translation, std::string());
}

const TLxLanguage &TLxDictionary::LanguageInfo(int Index)
{
    if (Index < 0 || Index >= GetLanguageCount())
        throw lx::ERangeError("Out of language range");
    if (Index == FCurrentIndex)
        return *FCurrentLanguage;
    FScratchLanguage = std::make_unique<TLxLanguage>();
    LoadLanguage(Index, *FScratchLanguage);
    return *FScratchLanguage;
}

const TLxLocale &TLxDictionary::LocaleInfo(int Index)
{
    if (Index < 0 || Index >= GetLocaleCount())
        throw lx::ERangeError("Out of locale range");
    FScratchLocale = std::make_unique<TLxLocale>();
    LoadLocale(Index, *FScratchLocale);
    return *FScratchLocale;
}

int TLxDictionary::FindLanguage(int LocaleId)
{
    if (LocaleId == 0)
        return 0;
    const int id = ResolveLocaleMarker(LocaleId);
    const int primary = PrimaryLangId(id);
    const int sub = SubLangId(id);
    std::vector<std::unique_ptr<TLxLanguage>> rows;
    LoadLanguages(rows);
    int index = FirstRow(rows, [&](const TLxLanguage &l) {
        return l.PrimaryId == primary && (l.DefaultSubLanguage == sub || ListsSubLanguage(l, sub));
    });
    if (index < 0)
        index = FirstRow(rows, [&](const TLxLanguage &l) {
            return l.PrimaryId == primary && l.SubLanguages.empty();
        });
    if (index < 0)
        index = FirstRow(rows, [&](const TLxLanguage &l) { return l.PrimaryId == primary; });
    return index;
}

int TLxDictionary::FirstSupportedLanguage()
{
    std::vector<std::unique_ptr<TLxLanguage>> rows;
    LoadLanguages(rows);
    const size_t start = !rows.empty() && rows[0]->PrimaryId == 0 ? 1 : 0;
    for (size_t i = start; i < rows.size(); ++i) {
        const TLxLanguage &language = *rows[i];
        const bool passes = FCheckLevel == lxclNone ||
                            (FCheckLevel == lxclSystem && LanguageSupportedBySystem(language)) ||
                            (FCheckLevel == lxclCodePage && LanguageSupportedByCodePage(language));
        if (passes)
            return static_cast<int>(i);
    }
    return -1;
}

bool TLxDictionary::FindLocale(int LocaleId, TLxLocale &Locale)
{
    std::vector<std::unique_ptr<TLxLocale>> rows;
    LoadLocales(rows);
    for (const auto &row : rows) {
        if (row->LocaleId() == LocaleId) {
            Locale = *row;
            return true;
        }
    }
    return FillLocaleFromWindows(LocaleId, Locale);
}

void TLxDictionary::SetCurrentLanguage(int Value)
{
    FFallbackIndex = 0;
    int index = Value;
    if (Value == -2)
        index = FindLanguage(LxSystem().SystemDefaultLocale);
    else if (Value == -1)
        index = FindLanguage(LxSystem().UserDefaultLocale);
    if (index < 0)
        index = FirstSupportedLanguage();
    if (index < 0)
        throw ELxError("System does not support any language of the dicitonary!");
    const int count = GetLanguageCount();
    if (index >= count)
        throw lx::ERangeError("Language index " + std::to_string(index) + " is out of range");
    FCurrentIndex = index;
    FCurrentLanguage = std::make_unique<TLxLanguage>();
    LoadLanguage(index, *FCurrentLanguage);
    TLxLanguage &language = *FCurrentLanguage;
    if (FBinding == lxbiLocaleToLanguage) {
        const int user =
            FOpenLanguage == -2 ? LxSystem().SystemDefaultLocale : LxSystem().UserDefaultLocale;
        const bool samePrimary = PrimaryLangId(user) == language.PrimaryId;
        language.OfferSubLanguage(samePrimary ? SubLangId(user) : language.DefaultSubLanguage);
    }
    if (!language.SubLanguages.empty())
        FFallbackIndex = FindLanguage(MakeLCID(language.PrimaryId, 0));
    FLanguageLocaleId = language.LocaleId();
    CheckLanguageSupported();
}

void TLxDictionary::CheckLanguageSupported() const
{
    const TLxLanguage &language = *FCurrentLanguage;
    if (FCheckLevel == lxclSystem && !LanguageSupportedBySystem(language))
        throw ELxError(language.Name + " is not supported by the system");
    if (FCheckLevel == lxclCodePage && !LanguageSupportedByCodePage(language))
        throw ELxError(language.Name + " is not supported by the code page");
}

void TLxDictionary::SetCurrentLocale(int LocaleId)
{
    FCurrentLocaleId = ResolveLocaleMarker(LocaleId);
    FCurrentLocale = std::make_unique<TLxLocale>();
    FindLocale(FCurrentLocaleId, *FCurrentLocale);
    CheckLocaleSupported(LocaleId);
}

void TLxDictionary::CheckLocaleSupported(int RequestedId) const
{
    const std::string ids = "(" + std::to_string(PrimaryLangId(RequestedId)) + ", " +
                            std::to_string(SubLangId(RequestedId)) + ")";
    if (FCheckLevel == lxclSystem && !LocaleSupportedBySystem(*FCurrentLocale))
        throw ELxError("The locale " + ids + " is not supported by the system");
    if (FCheckLevel == lxclCodePage && !LocaleSupportedByCodePage(*FCurrentLocale))
        throw ELxError("The locale " + ids + " is not supported by the current code page");
}

// With the language following the locale: the language of the current
// locale, else the first supported one.
void TLxDictionary::ChooseLanguageFromLocale()
{
    const int index = FindLanguage(FCurrentLocaleId);
    if (index == -1) {
        SetCurrentLanguage(FirstSupportedLanguage());
        return;
    }
    SetCurrentLanguage(index);
    FLanguageLocaleId = FCurrentLocaleId;
}

void TLxDictionary::Open()
{
    if (FActive || !IsAvailable())
        return;
    try {
        FOpenLanguage = FLanguage;
        if (FBinding == lxbiLanguageToLocale) {
            SetCurrentLocale(FLocaleId);
            ChooseLanguageFromLocale();
        } else {
            SetCurrentLanguage(FLanguage);
            SetCurrentLocale(FBinding == lxbiNone ? FLocaleId : FLanguageLocaleId);
        }
        if ((FOptions & lxdoTranslateResourceStrings) != 0 && !TranslationHooksInstalled())
            InstallTranslationHooks();
        FActive = true;
        ApplyLanguageAndLocale(true, true);
    } catch (...) {
        Close();
        throw;
    }
}

void TLxDictionary::Close()
{
    if (TranslationHooksInstalled())
        RemoveTranslationHooks();
    CloseTranslators();
    FActive = false;
}

void TLxDictionary::CloseTranslators()
{
    const std::vector<TLxTranslatorLink *> translators = FTranslators;
    for (TLxTranslatorLink *translator : translators)
        translator->CloseTranslator();
    FTranslators.clear();
}

void TLxDictionary::SetLanguage(int Value)
{
    if (!FActive) {
        FLanguage = Value;
        return;
    }
    if (Value < -2 || Value >= GetLanguageCount())
        throw lx::ERangeError("Language index " + std::to_string(Value) + " is out of range");
    if (Value == FLanguage)
        return;
    FLanguage = Value;
    const int oldLocale = FCurrentLocaleId;
    SetCurrentLanguage(Value);
    if (FBinding == lxbiLocaleToLanguage)
        SetCurrentLocale(FLanguageLocaleId);
    ApplyLanguageAndLocale(true, FCurrentLocaleId != oldLocale);
}

void TLxDictionary::SetLocaleId(int LangId)
{
    if (!FActive) {
        FLocaleId = LangId;
        return;
    }
    if (LangId == FLocaleId)
        return;
    FLocaleId = LangId;
    const int oldIndex = FCurrentIndex;
    SetCurrentLocale(LangId);
    if (FBinding == lxbiLanguageToLocale)
        ChooseLanguageFromLocale();
    ApplyLanguageAndLocale(FCurrentIndex != oldIndex, true);
}

void TLxDictionary::SetPrimaryLanguage(int Value)
{
    SetLocaleId(MakeLangId(Value, SubLanguage()));
}
void TLxDictionary::SetSubLanguage(int Value)
{
    SetLocaleId(MakeLangId(PrimaryLanguage(), Value));
}

void TLxDictionary::SetEuro(TLxEuro Value)
{
    FEuro = Value;
    SetEuroRule(Value);
    FormatSettings().CurrencyString = CurrencyText(*FCurrentLocale);
}

void TLxDictionary::SyncLocaleToLanguage()
{
    if (!FActive)
        return;
    const int id = FCurrentLanguage->DefaultLocaleId();
    if (id == FCurrentLocaleId)
        return;
    SetCurrentLocale(id);
    ApplyLanguageAndLocale(false, true);
}

void TLxDictionary::SyncLanguageToLocale()
{
    if (!FActive)
        return;
    const int index = FindLanguage(FCurrentLocaleId);
    if (index == FCurrentIndex)
        return;
    SetCurrentLanguage(index);
    ApplyLanguageAndLocale(true, false);
}

void TLxDictionary::EnumLanguages(const std::function<void(const std::string &, int)> &Add,
                                  bool NativeNames)
{
    std::vector<std::unique_ptr<TLxLanguage>> rows;
    LoadLanguages(rows);
    std::vector<int> seen;
    for (const auto &row : rows) {
        if (std::find(seen.begin(), seen.end(), row->PrimaryId) != seen.end())
            continue;
        seen.push_back(row->PrimaryId);
        Add(NativeNames ? row->NativeName : row->Name, row->PrimaryId);
    }
}

bool TLxDictionary::IsKnownLocale(int LocaleId)
{
    const std::vector<int> ids = MergedLocaleIds(this);
    return std::find(ids.begin(), ids.end(), LocaleId) != ids.end();
}

void TLxDictionary::ApplyLanguageAndLocale(bool LanguageChanged, bool LocaleChanged)
{
    const bool rightToLeft = FCurrentLanguage->TextClass() == 2;
    ProcessLocale().RightToLeft = rightToLeft;
    if (LxApplication().OnReadingDirection)
        LxApplication().OnReadingDirection(rightToLeft);
    if (LocaleChanged) {
        ProcessLocale().ThreadLocale = FCurrentLocaleId;
        if ((FOptions & lxdoUpdateLocaleVariables) != 0)
            ApplyFormatSettings();
    }
    if ((FOptions & lxdoAutoTranslate) != 0) {
        const std::vector<TLxTranslatorLink *> translators = FTranslators;
        for (TLxTranslatorLink *translator : translators)
            translator->DictionaryChanged(LanguageChanged, LocaleChanged);
    }
    if (LanguageChanged && OnLanguageChange)
        OnLanguageChange(this);
    if (LocaleChanged && OnLocaleChange)
        OnLocaleChange(this);
    if (LanguageChanged && (FOptions & lxdoRecreateMDIChild) != 0)
        RecreateMDIChild();
}

void TLxDictionary::RecreateMDIChild() const
{
    if (LxApplication().OnRecreateMDIChild)
        LxApplication().OnRecreateMDIChild();
}

void TLxDictionary::ApplyFormatSettings() const
{
    const TLxLocale &locale = *FCurrentLocale;
    TProcessLocale &process = ProcessLocale();
    process.DefaultLCID = FCurrentLocaleId;
    process.PrimaryLanguage = PrimaryLangId(FCurrentLocaleId);
    process.SubLanguage = SubLangId(FCurrentLocaleId);
    process.FarEast = IsFarEastSystem();
    TFormatSettings &format = FormatSettings();
    format.CurrencyString = CurrencyText(locale);
    format.CurrencyFormat = locale.CurrencyFormat;
    format.NegCurrFormat = locale.NegCurrencyFormat;
    format.CurrencyDecimals = locale.CurrencyDigits;
    format.ThousandSeparator = locale.ThousandSeparator;
    format.DecimalSeparator = locale.DecimalSeparator;
    format.DateSeparator = locale.DateSeparator;
    const bool year2000 = (FOptions & lxdoYear2000) != 0;
    format.ShortDateFormat =
        year2000 ? Year2000Format(locale.ShortDateFormat) : locale.ShortDateFormat;
    format.LongDateFormat =
        year2000 ? Year2000Format(locale.LongDateFormat) : locale.LongDateFormat;
    format.TimeSeparator = locale.TimeSeparator;
    format.TimeAMString = locale.AMText;
    format.TimePMString = locale.PMText;
    format.ShortTimeFormat = LocaleTimeFormat(locale, false);
    format.LongTimeFormat = LocaleTimeFormat(locale, true);
    format.ShortMonthNames = locale.ShortMonthNames;
    format.LongMonthNames = locale.LongMonthNames;
    for (size_t day = 0; day < 7; ++day) {
        // Monday-first locale days 0..5 are runtime days 1..6; Sunday is 0.
        const size_t runtimeDay = (day + 1) % 7;
        format.ShortDayNames[runtimeDay] = locale.ShortDayNames[day];
        format.LongDayNames[runtimeDay] = locale.LongDayNames[day];
    }
}

void TLxDictionary::RegisterTranslator(TLxTranslatorLink *Translator)
{
    if (std::find(FTranslators.begin(), FTranslators.end(), Translator) == FTranslators.end())
        FTranslators.push_back(Translator);
}

void TLxDictionary::UnregisterTranslator(TLxTranslatorLink *Translator)
{
    FTranslators.erase(std::remove(FTranslators.begin(), FTranslators.end(), Translator),
                       FTranslators.end());
}

int TLxDictionaries::Count()
{
    return static_cast<int>(DictionaryList().size());
}

TLxDictionary *TLxDictionaries::Item(int Index)
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return DictionaryList()[Index];
}

TLxDictionary *TLxDictionaries::Find(const std::string &Name)
{
    for (TLxDictionary *dictionary : DictionaryList())
        if (dictionary->DictionaryName() == Name)
            return dictionary;
    return nullptr;
}

void TLxDictionaries::Add(TLxDictionary *Dictionary)
{
    DictionaryList().push_back(Dictionary);
}

void TLxDictionaries::Remove(TLxDictionary *Dictionary)
{
    auto &list = DictionaryList();
    list.erase(std::remove(list.begin(), list.end(), Dictionary), list.end());
}

TLxDictionary *DefaultDictionary()
{
    return TLxDictionaries::Item(0);
}

bool IsDefaultDictionaryOpen()
{
    const TLxDictionary *dictionary = DefaultDictionary();
    return dictionary != nullptr && dictionary->Active();
}

std::string TranslateDefault(const std::string &Text)
{
    return TranslateText(DefaultDictionary(), Text);
}

std::string LocaleTimeFormat(const TLxLocale &Locale, bool Long)
{
    const std::string hour = Locale.LeadingZero ? "hh" : "h";
    const bool twelveHour = Locale.Clock == 0;
    const std::string prefix = twelveHour && Locale.AMPMPosition == 1 ? "AMPM " : "";
    const std::string suffix = twelveHour && Locale.AMPMPosition == 0 ? " AMPM" : "";
    return prefix + hour + (Long ? ":mm:ss" : ":mm") + suffix;
}

std::string Year2000Format(const std::string &Format)
{
    if (Format.find("yyyy") != std::string::npos)
        return Format;
    const size_t at = Format.find("yy");
    if (at == std::string::npos)
        return Format;
    std::string result = Format;
    result.insert(at, "yy");
    return result;
}

} // namespace orv
