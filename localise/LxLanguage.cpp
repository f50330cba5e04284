#include "localise/LxLanguage.h"

#include "localise/LxLocaleTable.h"
#include "localise/LxLocales.h"

#include <algorithm>

namespace orv {

namespace {

// The table row for a locale id, else the first row of its primary language.
const TLxLocaleData *RowForLanguage(int LocaleId)
{
    if (const TLxLocaleData *row = FindLocaleData(LocaleId))
        return row;
    size_t count = 0;
    const TLxLocaleData *table = LocaleTable(count);
    for (size_t i = 0; i < count; ++i)
        if (table[i].Primary == PrimaryLangId(LocaleId))
            return &table[i];
    return nullptr;
}

void SetIfEmpty(std::string &Field, const char *Value)
{
    if (Field.empty() && Value != nullptr)
        Field = Value;
}

} // namespace

int TLxLanguage::DefaultLocaleId() const
{
    return PrimaryId == 0 ? 0 : MakeLCID(PrimaryId, DefaultSubLanguage);
}

int TLxLanguage::QueryLocaleId() const
{
    if (PrimaryId == 0)
        return 0;
    return MakeLCID(PrimaryId, SubLanguages.empty() ? DefaultSubLanguage : SubLanguages.front());
}

int TLxLanguage::TextClass() const
{
    return orv::TextClass(PrimaryId);
}

void TLxLanguage::Complete()
{
    if (PrimaryId < 0)
        PrimaryId = 0;
    if (PrimaryId == 0) {
        SubLanguages.clear();
        DefaultSubLanguage = 0;
        Flags = 2;
        Name = "Native";
        NativeName = "Native";
    } else {
        if (DefaultSubLanguage < 1)
            DefaultSubLanguage = SubLanguages.empty() ? 1 : SubLanguages.front();
        const int query = QueryLocaleId();
        if (const TLxLocaleData *row = RowForLanguage(query)) {
            SetIfEmpty(Iso639Name, row->Iso639);
            SetIfEmpty(Iso3166Name, row->Iso3166);
            if (Name.empty())
                Name =
                    LanguageDisplayName(row->EnglishLanguage, PrimaryId, nullptr, false, CodePage);
            SetIfEmpty(NativeName, row->NativeLanguage);
        }
        if (CodePage == 0)
            CodePage = LocaleAnsiCodePage(query);
        if (CodePage == 0)
            CodePage = 1252;
    }
    if (CurrentSubLanguage == 0)
        CurrentSubLanguage = DefaultSubLanguage;
    if (CharSet == 0)
        CharSet = CharSetOfCodePage(CodePage);
}

void TLxLanguage::SetSubLanguage(int Value)
{
    if (PrimaryId == 0 || Value == DefaultSubLanguage)
        return;
    if (Value == 0) {
        SubLanguages.clear();
        ExtraTexts.clear();
        return;
    }
    DefaultSubLanguage = Value;
    if (std::find(SubLanguages.begin(), SubLanguages.end(), Value) == SubLanguages.end())
        SubLanguages.push_back(Value);
}

void TLxLanguage::OfferSubLanguage(int Offered)
{
    const bool listed = SubLanguages.empty() || std::find(SubLanguages.begin(), SubLanguages.end(),
                                                          Offered) != SubLanguages.end();
    CurrentSubLanguage = listed && Offered >= 0 ? Offered : DefaultSubLanguage;
}

bool TLxLanguage::Equals(const TLxLanguage &Other) const
{
    if (PrimaryId != Other.PrimaryId)
        return false;
    return PrimaryId == 0 || CodePage == Other.CodePage;
}

std::string TLxLanguage::DisplayName(int Kind, const TLxDictionary *Dictionary) const
{
    if (Kind == 1)
        return LanguageDisplayName(NativeName, PrimaryId, nullptr, false, CodePage);
    return LanguageDisplayName(Name, PrimaryId, Dictionary, Kind == 2, CodePage);
}

void TLxLocale::Complete()
{
    if (PrimaryId != 0) {
        if (const TLxLocaleData *row = FindLocaleData(LocaleId())) {
            SetIfEmpty(EnglishLanguageName, row->EnglishLanguage);
            SetIfEmpty(EnglishCountryName, row->EnglishCountry);
            SetIfEmpty(NativeLanguageName, row->NativeLanguage);
            SetIfEmpty(NativeCountryName, row->NativeCountry);
        }
        if (CodePage == 0)
            CodePage = LocaleAnsiCodePage(LocaleId());
        if (CodePage == 0)
            CodePage = 1252;
    }
    if (CharSet == 0)
        CharSet = CharSetOfLocale(LocaleId());
}

std::string TLxLocale::DisplayName(int Kind, const TLxDictionary *Dictionary) const
{
    if (Kind == 1)
        return LocaleDisplayName(NativeLanguageName, NativeCountryName, nullptr, false, CodePage,
                                 SubLanguageId, PrimaryId);
    return LocaleDisplayName(EnglishLanguageName, EnglishCountryName, Dictionary, Kind == 2,
                             CodePage, SubLanguageId, PrimaryId);
}

} // namespace orv
