#include "localise/LxCustomDictionary.h"

#include "localise/LxErrors.h"
#include "platform/Paths.h"

#include <utility>

namespace orv {

namespace {

// Sorts above every ASCII character and below every byte from 128 up.
constexpr char ContextMark = '\x7F';

} // namespace

void TLxCustomDictionary::ApplyLanguageAndLocale(bool LanguageChanged, bool LocaleChanged)
{
    if (LanguageChanged)
        LoadTranslations();
    TLxDictionary::ApplyLanguageAndLocale(LanguageChanged, LocaleChanged);
}

std::string TLxCustomDictionary::RowKey(const TLxTranslation &Row) const
{
    if (!IsContextTable())
        return Row.Source;
    return Row.Source + ContextMark + Row.Context1 + Row.Context2;
}

// Rows with equal keys land where this exact partition puts them, so that
// a bisection meets the same one of several equal rows every time.
void TLxCustomDictionary::QuickSort(int Left, int Right)
{
    int i = Left;
    int j = Right;
    const std::string pivot = RowKey(FTranslations[(Left + Right) / 2]);
    do {
        while (RowKey(FTranslations[i]) < pivot)
            ++i;
        while (RowKey(FTranslations[j]) > pivot)
            --j;
        if (i <= j) {
            std::swap(FTranslations[i], FTranslations[j]);
            ++i;
            --j;
        }
    } while (i <= j);
    if (Left < j)
        QuickSort(Left, j);
    if (i < Right)
        QuickSort(i, Right);
}

void TLxCustomDictionary::SortTranslations()
{
    if (!FTranslations.empty())
        QuickSort(0, static_cast<int>(FTranslations.size()) - 1);
}

// FullKey: compare source + mark + contexts; else source (+ mark in a
// context table), so that any row of the source matches.
int TLxCustomDictionary::Bisect(const std::string &Key, bool FullKey) const
{
    int lo = 0;
    int hi = static_cast<int>(FTranslations.size()) - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const TLxTranslation &row = FTranslations[mid];
        std::string rowKey = IsContextTable() ? row.Source + ContextMark : row.Source;
        if (FullKey && IsContextTable())
            rowKey += row.Context1 + row.Context2;
        if (rowKey == Key)
            return mid;
        if (rowKey < Key)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return -1;
}

int TLxCustomDictionary::IndexOfText(const std::string &Source) const
{
    return Bisect(IsContextTable() ? Source + ContextMark : Source, false);
}

int TLxCustomDictionary::IndexOfContext(const std::string &Source, const std::string &Context1,
                                        const std::string &Context2) const
{
    if (!IsContextTable())
        return IndexOfText(Source);
    return Bisect(Source + ContextMark + Context1 + Context2, true);
}

bool TLxCustomDictionary::Lookup(const std::string &Source, std::string &Translation) const
{
    const int index = IndexOfText(Source);
    if (index < 0)
        return false;
    Translation = FTranslations[index].Translation;
    return true;
}

bool TLxCustomDictionary::LookupInContext(const std::string &Source, const std::string &Context1,
                                          std::string &Translation,
                                          const std::string &Context2) const
{
    const int index = IndexOfContext(Source, Context1, Context2);
    if (index < 0)
        return false;
    Translation = FTranslations[index].Translation;
    return true;
}

const std::string &TLxCustomFileDictionary::FileName()
{
    FFileName = ResolveFileName(FFileName);
    return FFileName;
}

bool TLxCustomFileDictionary::IsAvailable()
{
    if (FStorage != lxsFile)
        return true;
    const std::string &name = FileName();
    return !name.empty() && FileExists(name);
}

std::string TLxCustomFileDictionary::ResolveFileName(const std::string &Name) const
{
    if (FStorage != lxsFile || Name.empty())
        return Name;
    const std::string normalised = NormalisePath(Name);
    const bool absolute = !normalised.empty() && normalised[0] == '/';
    const std::string expanded = absolute ? normalised : CurrentFolder() + normalised;
    if (FileExists(expanded))
        return expanded;
    const bool bare = ExtractFilePath(normalised).empty();
    if (bare && FileExists(ProgramFolder() + normalised))
        return ProgramFolder() + normalised;
    return Name;
}

std::string ApplyMissingTranslation(const TLxDictionary &Dictionary, const std::string &Source,
                                    const std::string &Translation, bool Found)
{
    if (Found && !Translation.empty())
        return Translation;
    switch (Dictionary.MissingTranslation()) {
    case lxmtUseNative:
        return Source;
    case lxmtUseNull:
        return std::string();
    case lxmtTagNative:
        return "@" + Source + "@";
    case lxmtRaiseException:
        break;
    }
    if (Found)
        throw ELxError("Translation for the word \"" + Source + "\" is missing");
    throw ELxError("Dictionary does not contain a translation for the word \"" + Source + "\"");
}

std::string TranslateText(const TLxDictionary *Dictionary, const std::string &Source)
{
    if (Dictionary == nullptr || Source.empty())
        return Source;
    std::string translation;
    const bool found = Dictionary->Lookup(Source, translation);
    return ApplyMissingTranslation(*Dictionary, Source, translation, found);
}

std::string TranslateInContext(const TLxDictionary *Dictionary, const std::string &Source,
                               const std::string &Context1, const std::string &Context2)
{
    if (Dictionary == nullptr)
        return Source;
    std::string translation;
    bool found = false;
    if (Dictionary->IsContextTable())
        found = Dictionary->LookupInContext(Source, Context1, translation, Context2);
    if (!found)
        found = Dictionary->Lookup(Source, translation);
    return ApplyMissingTranslation(*Dictionary, Source, translation, found);
}

} // namespace orv
