#pragma once
// The dictionary of the program: language, locale and translation tables in
// tab-separated text files ("language.txt", "translat.txt"; ANSI, UTF-8 or
// UTF-16), in "LINGVARD" program resources, or stored with the owning
// module's data (embedded). Errors: ELxError "No language file given",
// "Language file \"...\" not found" and their kin; reader errors pass on.

#include "localise/LxCustomDictionary.h"
#include "localise/LxReaders.h"

#include <memory>
#include <string>
#include <vector>

namespace orv {

class TLxTableReader;
class TLxRow;

enum TLxTextFormat { lxtfDetect, lxtfAnsi, lxtfUTF8, lxtfUTF16 };

class TLxTextDictionary : public TLxCustomFileDictionary {
public:
    TLxTextDictionary();
    ~TLxTextDictionary() override;

    int GetLanguageCount() override;
    void LoadLanguage(int Index, TLxLanguage &Language) override;
    int GetLocaleCount() override;
    void LoadLocale(int Index, TLxLocale &Locale) override;
    bool IsAvailable() override;
    void LoadLanguages(std::vector<std::unique_ptr<TLxLanguage>> &List) override;
    void LoadLocales(std::vector<std::unique_ptr<TLxLocale>> &List) override;
    void LoadTranslations() override;
    // Readers of the embedded tables while the owner's data loads: each reads
    // its table, drops the records and remembers the counts.
    virtual void ReadLanguagesData(const std::string &Data);
    virtual void ReadTranslationsData(const std::string &Data);
    virtual void ReadLocalesData(const std::string &Data);

    const std::string &LanguageFileName() const { return FLanguageFileName; }
    void SetLanguageFileName(const std::string &Value) { FLanguageFileName = Value; }
    const std::string &LocaleFileName() const { return FLocaleFileName; }
    void SetLocaleFileName(const std::string &Value) { FLocaleFileName = Value; }
    bool Convert() const { return FConvert; }
    void SetConvert(bool Value) { FConvert = Value; }
    TLxTextFormat Format() const { return FFormat; }
    void SetFormat(TLxTextFormat Value) { FFormat = Value; }
    TLxByteOrder ByteOrder() const { return FByteOrder; }
    void SetByteOrder(TLxByteOrder Value) { FByteOrder = Value; }
    bool ByteOrderMark() const { return FByteOrderMark; }
    void SetByteOrderMark(bool Value) { FByteOrderMark = Value; }
    // Embedded tables are found in the stored data of the owner's class.
    const std::string &OwnerClassName() const { return FOwnerClassName; }
    void SetOwnerClassName(const std::string &Value) { FOwnerClassName = Value; }

    // Fill a record from one row; true when optional trailing fields were
    // missing.
    bool ParseLanguageRow(TLxRow &Row, TLxLanguage &Language) const;
    bool ParseLocaleRow(TLxRow &Row, TLxLocale &Locale) const;
    // Whether the file or resource is UTF-16 by its first two bytes.
    static bool DetectFileFormat(const std::string &FileName);
    static bool DetectResourceFormat(const std::string &ResourceName);

private:
    enum class TTable { Language, Locale, Translation };
    TLxTextFormat TableFormat(TTable Table);
    std::unique_ptr<TLxTableReader> OpenTable(TTable Table);
    std::string TableName(TTable Table);
    void CheckLanguageFile();
    bool CheckLocaleFile();
    void CheckTranslationFile();
    int CountRows(TTable Table);
    void LoadTranslationRows(TLxTableReader &Reader);
    void LoadEmbeddedTranslations();

    std::string FLanguageFileName;
    std::string FLocaleFileName;
    bool FConvert = true;
    TLxTextFormat FFormat = lxtfDetect;
    TLxByteOrder FByteOrder = lxboLittleEndian;
    bool FByteOrderMark = true;
    std::string FOwnerClassName;
    int FStoredLanguageCount = 0;
    int FStoredLocaleCount = 0;
};

} // namespace orv
