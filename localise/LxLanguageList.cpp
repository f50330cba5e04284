#include "localise/LxLanguageList.h"

#include "localise/LxDictionary.h"
#include "localise/LxErrors.h"
#include "localise/LxLanguage.h"
#include "localise/LxLocales.h"

#include <algorithm>

namespace orv {

namespace {

bool Listed(const TLxDictionary &Dictionary, const TLxLanguage &Language, int Flags)
{
    const bool codePage = (Flags & lxldAllLanguages) != 0 ||
                          Dictionary.CheckLevel() != lxclCodePage ||
                          LanguageSupportedByCodePage(Language);
    const bool system =
        Dictionary.CheckLevel() != lxclSystem || LanguageSupportedBySystem(Language);
    return codePage && system;
}

} // namespace

std::vector<TLxLanguageNode> ListLanguages(TLxDictionary &Dictionary, int Flags)
{
    std::vector<TLxLanguageNode> nodes;
    const int count = Dictionary.GetLanguageCount();
    if (count == 0)
        return nodes;
    const int first = Dictionary.LanguageInfo(0).PrimaryId == 0 ? 1 : 0;
    for (int i = first; i < count; ++i) {
        const TLxLanguage &language = Dictionary.LanguageInfo(i);
        if (!Listed(Dictionary, language, Flags))
            continue;
        nodes.push_back(
            {(Flags & lxldNativeNames) != 0 ? language.NativeName : language.Name, i, {}});
    }
    return nodes;
}

std::vector<TLxLanguageNode> ListSublanguages(TLxDictionary &Dictionary, int Flags)
{
    std::vector<TLxLanguageNode> nodes;
    const bool native = (Flags & lxldNativeNames) != 0;
    for (const TLxLanguageNode &row : ListLanguages(Dictionary, Flags)) {
        const TLxLanguage language = Dictionary.LanguageInfo(row.Value);
        auto top = std::find_if(nodes.begin(), nodes.end(), [&](const TLxLanguageNode &N) {
            return N.Value == language.PrimaryId;
        });
        if (top == nodes.end()) {
            nodes.push_back({native ? language.NativeName : language.Name, language.PrimaryId, {}});
            top = nodes.end() - 1;
        }
        for (const auto &[country, localeId] : LocalesOfLanguage(&Dictionary, language, native)) {
            const auto id = localeId; // older compilers cannot capture a structured binding
            const bool present =
                std::any_of(top->Children.begin(), top->Children.end(),
                            [id](const TLxLanguageNode &N) { return N.Value == id; });
            if (!present)
                top->Children.push_back({country, id, {}});
        }
    }
    return nodes;
}

namespace {

bool LocaleListed(const TLxDictionary &Dictionary, const TLxLocale &Locale, int Flags)
{
    if ((Flags & lxldAllLanguages) != 0)
        return true;
    return (Dictionary.CheckLevel() != lxclCodePage || LocaleSupportedByCodePage(Locale)) &&
           (Dictionary.CheckLevel() != lxclSystem || IsCodePageSupported(Locale.CodePage));
}

std::string LocaleNodeText(const TLxLocale &Locale, bool Native)
{
    if (!Native)
        return LocaleShortName(Locale.EnglishCountryName, Locale.PrimaryId, nullptr, false,
                               Locale.CodePage, Locale.SubLanguageId);
    std::string text = Locale.NativeCountryName;
    if (Locale.PrimaryId == 20 && Locale.SubLanguageId == 1)
        text += " (bokm\xC3\xA5l)";
    else if (Locale.PrimaryId == 20 && Locale.SubLanguageId == 2)
        text += " (nynorsk)";
    return text;
}

} // namespace

std::vector<TLxLanguageNode> ListLocales(TLxDictionary &Dictionary, int Flags)
{
    std::vector<TLxLanguageNode> nodes;
    const bool native = (Flags & lxldNativeNames) != 0;
    for (const TLxLocale &locale : MergedLocales(&Dictionary)) {
        if (!LocaleListed(Dictionary, locale, Flags))
            continue;
        auto top = std::find_if(nodes.begin(), nodes.end(), [&](const TLxLanguageNode &N) {
            return N.Value == locale.PrimaryId;
        });
        if (top == nodes.end()) {
            const std::string name =
                native ? locale.NativeLanguageName
                       : LanguageDisplayName(locale.EnglishLanguageName, locale.PrimaryId,
                                             nullptr, false, locale.CodePage);
            nodes.push_back({name, locale.PrimaryId, {}});
            top = nodes.end() - 1;
        }
        top->Children.push_back({LocaleNodeText(locale, native), locale.LocaleId(), {}});
    }
    return nodes;
}

std::vector<TLxLanguageNode> ListOfKind(TLxDictionary &Dictionary, int ListKind, int Flags)
{
    switch (ListKind) {
    case 1:
        return ListSublanguages(Dictionary, Flags);
    case 2:
        return ListLocales(Dictionary, Flags);
    default:
        return ListLanguages(Dictionary, Flags);
    }
}

int CurrentValueOfKind(TLxDictionary &Dictionary, int ListKind)
{
    switch (ListKind) {
    case 1:
        return Dictionary.Active() ? Dictionary.CurrentLanguage().LocaleId() : -1;
    case 2:
        return Dictionary.CurrentLocaleId();
    default:
        return Dictionary.CurrentLanguageIndex();
    }
}

std::string LanguageDialogCaption(int ListKind)
{
    switch (ListKind) {
    case 1:
        return "Select Sublanguage";
    case 2:
        return "Select Locale";
    default:
        return "Select Language";
    }
}

void CheckDictionaryOpen(const TLxDictionary *Dictionary)
{
    if (!Dictionary || !Dictionary->Active())
        throw ELxError("Dictionary is not open\n\rYou must open the dictionary before you can "
                       "change the language");
}

TLxBounds CentreOnForm(const TLxBounds *Form, const TLxBounds &Dialog, int ScreenWidth,
                       int ScreenHeight)
{
    TLxBounds result = Dialog;
    if (Form) {
        result.Left = Form->Left + (Form->Width - Dialog.Width) / 2;
        result.Top = Form->Top + (Form->Height - Dialog.Height) / 2;
    } else {
        result.Left = (ScreenWidth - Dialog.Width) / 2;
        result.Top = (ScreenHeight - Dialog.Height) / 2;
    }
    result.Left = std::max(result.Left, 0);
    result.Top = std::max(result.Top, 0);
    return result;
}

} // namespace orv
