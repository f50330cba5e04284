#pragma once
// The translation table of a dictionary: for the current language one
// translation per source text (or per source and context), sorted and found
// by bisection; and TranslateText, the one call through which the program
// translates a text. A missing translation follows the dictionary's policy.

#include "localise/LxDictionary.h"

#include <string>
#include <vector>

namespace orv {

struct TLxTranslation {
    int State = 0; // 0 current language, 1 fallback language, 2 no translation
    std::string Source;
    std::string Context1;
    std::string Context2;
    std::string Translation;
};

class TLxCustomDictionary : public TLxDictionary {
public:
    int GetTranslationCount() const override { return static_cast<int>(FTranslations.size()); }
    void ApplyLanguageAndLocale(bool LanguageChanged, bool LocaleChanged) override;
    bool LookupInContext(const std::string &Source, const std::string &Context1,
                         std::string &Translation, const std::string &Context2) const override;
    bool Lookup(const std::string &Source, std::string &Translation) const override;
    // Empties the table and fills it for the current language.
    virtual void LoadTranslations() = 0;

    void SortTranslations();
    int IndexOfText(const std::string &Source) const;
    int IndexOfContext(const std::string &Source, const std::string &Context1,
                       const std::string &Context2) const;
    const TLxTranslation &Translation(int Index) const { return FTranslations[Index]; }

protected:
    void ClearTranslations() { FTranslations.clear(); }
    void AddTranslation(TLxTranslation Row) { FTranslations.push_back(std::move(Row)); }

private:
    std::string RowKey(const TLxTranslation &Row) const;
    void QuickSort(int Left, int Right);
    int Bisect(const std::string &Key, bool FullKey) const;

    std::vector<TLxTranslation> FTranslations;
};

enum TLxStorage { lxsFile, lxsEmbedded, lxsResource };

class TLxCustomFileDictionary : public TLxCustomDictionary {
public:
    // Outside design time the stored name is resolved and kept resolved.
    const std::string &FileName();
    void SetFileName(const std::string &Value) { FFileName = Value; }
    TLxStorage Storage() const { return FStorage; }
    void SetStorage(TLxStorage Value) { FStorage = Value; }
    bool IsAvailable() override;
    // File storage: the name against the current folder when that file
    // exists, else a bare name in the program folder when it exists there,
    // else unchanged. Other storages leave names alone.
    std::string ResolveFileName(const std::string &Name) const;

private:
    std::string FFileName;
    TLxStorage FStorage = lxsFile;
};

// Found and not empty: Translation; otherwise by the dictionary's policy:
// the source, nothing, "@" + source + "@", or ELxError "Dictionary does not
// contain a translation for the word \"...\"" / "Translation for the word
// \"...\" is missing".
std::string ApplyMissingTranslation(const TLxDictionary &Dictionary, const std::string &Source,
                                    const std::string &Translation, bool Found);
// The text itself when there is no dictionary or the text is empty.
std::string TranslateText(const TLxDictionary *Dictionary, const std::string &Source);
// In a context table the row of those contexts, else any row of the source.
std::string TranslateInContext(const TLxDictionary *Dictionary, const std::string &Source,
                               const std::string &Context1, const std::string &Context2);

} // namespace orv
