#include "localise/LxLanguageList.h"

#include "localise/LxDictionary.h"
#include "localise/LxErrors.h"
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
            {(Flags & lxldNativeNames) != 0 ? language.NativeName : language.Name, i});
    }
    return nodes;
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
