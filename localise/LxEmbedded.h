#pragma once
// Dictionary tables stored with the data of the module that owns the
// dictionary, kept as a program resource ("FORMDATA", named after the
// owner's class): "Languages", "Translations" and "Locales", each a stored
// list whose first item is a version (2 when written; 1 and 2 are read).
// Also the writer that builds the three values from the dictionary's files.

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

class TLxLanguage;
class TLxLocale;
class TLxTextDictionary;

// Typed values in a byte string: lists, integers, texts, booleans.
class TLxStoredWriter {
public:
    void ListBegin();
    void ListEnd();
    void Integer(int32_t Value);
    void String(const std::string &Value);
    void Boolean(bool Value);
    const std::string &Data() const { return FData; }

private:
    std::string FData;
};

// Reads what TLxStoredWriter wrote; malformed or short data raises
// lx::Exception "Stored data is damaged".
class TLxStoredReader {
public:
    explicit TLxStoredReader(std::string Data) : FData(std::move(Data)) {}
    void ListBegin();
    bool EndOfList() const;
    void ListEnd();
    int32_t Integer();
    std::string String();
    bool Boolean();
    void SkipValue();

private:
    char NextTag();
    std::string FData;
    size_t FPos = 0;
};

// One stored property of a component of the owner's data.
struct TLxStoredProperty {
    std::string ComponentClass;
    std::string ComponentName;
    std::string Property;
    std::string Value;
};

// The owner's stored data: its class and name and its components' values.
std::string BuildFormData(const std::string &RootClass, const std::string &RootName,
                          const std::vector<TLxStoredProperty> &Properties);
// The value of a property from the owner's data resource; lx::EResNotFound
// "Could not find the property" when the resource, component or property is
// not there.
std::string ReadStoredProperty(const std::string &OwnerClass, const std::string &ComponentClass,
                               const std::string &ComponentName, const std::string &Property);

// Table layouts. ReadStoredHeader opens the table's list and checks its
// version: above 2 raises lx::Exception "Unknown language data version: " +
// the number ("translation", "locale" likewise for Kind).
int ReadStoredHeader(TLxStoredReader &Reader, const std::string &Kind);
void WriteStoredLanguage(TLxStoredWriter &Writer, const TLxLanguage &Language);
void ReadStoredLanguage(TLxStoredReader &Reader, int Version, TLxLanguage &Language);
void WriteStoredLocale(TLxStoredWriter &Writer, const TLxLocale &Locale);
void ReadStoredLocale(TLxStoredReader &Reader, int Version, TLxLocale &Locale);

struct TLxEmbeddedTables {
    bool HasLanguages = false;
    bool HasTranslations = false;
    bool HasLocales = false;
    std::string Languages;
    std::string Translations;
    std::string Locales;
};

// Writes the three tables from the dictionary's files for storing with the
// owner. Raises lx::Exception "No language file assigned" / "No translation
// file assigned" when only one of the two names is set; a missing or UTF-16
// file is reported in a message box and its table is left out.
TLxEmbeddedTables SaveEmbeddedTables(TLxTextDictionary &Dictionary);

} // namespace orv
