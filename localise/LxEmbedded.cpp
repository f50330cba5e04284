#include "localise/LxEmbedded.h"

#include "localise/LxErrors.h"
#include "localise/LxLanguage.h"
#include "localise/LxLocales.h"
#include "localise/LxReaders.h"
#include "localise/LxResources.h"
#include "localise/LxTableReader.h"
#include "localise/LxTextDictionary.h"
#include "platform/NumberText.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <cstring>

namespace orv {

namespace {

constexpr char TagListBegin = 'L';
constexpr char TagListEnd = 'E';
constexpr char TagInteger = 'I';
constexpr char TagString = 'S';
constexpr char TagTrue = 'T';
constexpr char TagFalse = 'F';
constexpr const char *FormSignature = "LXF2";

[[noreturn]] void Damaged()
{
    throw lx::Exception("Stored data is damaged");
}

void AppendUInt32(std::string &Data, uint32_t Value)
{
    for (int i = 0; i < 4; ++i)
        Data += static_cast<char>((Value >> (8 * i)) & 0xFF);
}

std::string JoinInts(const std::vector<int> &Values)
{
    std::string text;
    for (int value : Values)
        text += (text.empty() ? "" : ",") + std::to_string(value);
    return text;
}

std::vector<int> SplitInts(const std::string &Text)
{
    TLxStringParser parser(',');
    parser.SetText(Text);
    std::vector<int> values;
    while (!Text.empty() && !parser.AtEnd()) {
        const int value = parser.NextInteger();
        if (value >= 1)
            values.push_back(value);
    }
    return values;
}

// A file that can be embedded; reports why not in a message box.
bool UsableFile(const std::string &Name)
{
    if (!FileExists(Name)) {
        Messages().Show({"File not found",
                         "Can not find the file name " + Name + ". No table data was stored!",
                         mtError, mbOK});
        return false;
    }
    if (TLxTextDictionary::DetectFileFormat(Name)) {
        Messages().Show({"UTF-16 not supported",
                         "Can not use a UTF-16 file " + Name + ". No table data was stored!",
                         mtError, mbOK});
        return false;
    }
    return true;
}

// The translation file as stored: context kind from the first row's TAB
// count, then every row's fields as written (no escape decoding).
std::string WriteTranslationsTable(const std::string &FileName, int LanguageCount, bool Utf8)
{
    std::unique_ptr<TLxTableReader> reader;
    if (Utf8)
        reader = std::make_unique<TLxTableReader>(std::make_unique<TLxUTF8Reader>(FileName));
    else
        reader = std::make_unique<TLxTableReader>(std::make_unique<TLxAnsiReader>(FileName));
    std::vector<std::vector<std::string>> rows;
    int kind = 0;
    TLxRow row;
    while (!reader->AtEnd()) {
        reader->ReadRow(row, false);
        if (rows.empty()) {
            const int tabs = row.TabCount();
            kind = tabs == LanguageCount ? 2 : tabs > LanguageCount ? 1 : 0;
        }
        const int contexts = kind == 1 ? 2 : kind == 0 ? 0 : 1;
        std::vector<std::string> fields;
        for (int i = 0; i < 1 + contexts + LanguageCount - 1; ++i)
            fields.push_back(row.NextText());
        rows.push_back(std::move(fields));
    }
    TLxStoredWriter writer;
    writer.ListBegin();
    writer.Integer(2);
    writer.Integer(kind);
    writer.Integer(static_cast<int32_t>(rows.size()));
    for (const auto &fields : rows) {
        writer.ListBegin();
        for (const std::string &field : fields)
            writer.String(field);
        writer.ListEnd();
    }
    writer.ListEnd();
    return writer.Data();
}

} // namespace

void TLxStoredWriter::ListBegin()
{
    FData += TagListBegin;
}
void TLxStoredWriter::ListEnd()
{
    FData += TagListEnd;
}

void TLxStoredWriter::Integer(int32_t Value)
{
    FData += TagInteger;
    AppendUInt32(FData, static_cast<uint32_t>(Value));
}

void TLxStoredWriter::String(const std::string &Value)
{
    FData += TagString;
    AppendUInt32(FData, static_cast<uint32_t>(Value.size()));
    FData += Value;
}

void TLxStoredWriter::Boolean(bool Value)
{
    FData += Value ? TagTrue : TagFalse;
}

char TLxStoredReader::NextTag()
{
    if (FPos >= FData.size())
        Damaged();
    return FData[FPos++];
}

void TLxStoredReader::ListBegin()
{
    if (NextTag() != TagListBegin)
        Damaged();
}

bool TLxStoredReader::EndOfList() const
{
    return FPos >= FData.size() || FData[FPos] == TagListEnd;
}

void TLxStoredReader::ListEnd()
{
    if (NextTag() != TagListEnd)
        Damaged();
}

int32_t TLxStoredReader::Integer()
{
    if (NextTag() != TagInteger || FData.size() - FPos < 4)
        Damaged();
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(FData[FPos + i])) << (8 * i);
    FPos += 4;
    return static_cast<int32_t>(value);
}

std::string TLxStoredReader::String()
{
    if (NextTag() != TagString || FData.size() - FPos < 4)
        Damaged();
    uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<uint32_t>(static_cast<unsigned char>(FData[FPos + i])) << (8 * i);
    FPos += 4;
    if (FData.size() - FPos < length)
        Damaged();
    std::string value = FData.substr(FPos, length);
    FPos += length;
    return value;
}

bool TLxStoredReader::Boolean()
{
    const char tag = NextTag();
    if (tag != TagTrue && tag != TagFalse)
        Damaged();
    return tag == TagTrue;
}

void TLxStoredReader::SkipValue()
{
    if (FPos >= FData.size())
        Damaged();
    switch (FData[FPos]) {
    case TagInteger:
        Integer();
        return;
    case TagString:
        String();
        return;
    case TagTrue:
    case TagFalse:
        Boolean();
        return;
    case TagListBegin:
        ListBegin();
        while (!EndOfList())
            SkipValue();
        ListEnd();
        return;
    default:
        Damaged();
    }
}

std::string BuildFormData(const std::string &RootClass, const std::string &RootName,
                          const std::vector<TLxStoredProperty> &Properties)
{
    TLxStoredWriter writer;
    writer.String(RootClass);
    writer.String(RootName);
    writer.ListBegin();
    for (const TLxStoredProperty &property : Properties) {
        writer.String(property.ComponentClass);
        writer.String(property.ComponentName);
        writer.String(property.Property);
        writer.String(property.Value);
    }
    writer.ListEnd();
    return FormSignature + writer.Data();
}

std::string ReadStoredProperty(const std::string &OwnerClass, const std::string &ComponentClass,
                               const std::string &ComponentName, const std::string &Property)
{
    std::string data;
    const size_t signatureLength = std::strlen(FormSignature);
    if (!LoadLxResource("FORMDATA", OwnerClass, data) ||
        data.compare(0, signatureLength, FormSignature) != 0)
        throw lx::EResNotFound("Could not find the property");
    TLxStoredReader reader(data.substr(signatureLength));
    reader.String();
    reader.String();
    reader.ListBegin();
    while (!reader.EndOfList()) {
        const std::string componentClass = reader.String();
        const std::string componentName = reader.String();
        const std::string property = reader.String();
        std::string value = reader.String();
        if (componentClass == ComponentClass && componentName == ComponentName &&
            property == Property)
            return value;
    }
    throw lx::EResNotFound("Could not find the property");
}

int ReadStoredHeader(TLxStoredReader &Reader, const std::string &Kind)
{
    Reader.ListBegin();
    const int version = Reader.Integer();
    if (version > 2)
        throw lx::Exception("Unknown " + Kind + " data version: " + std::to_string(version));
    return version;
}

void WriteStoredLanguage(TLxStoredWriter &Writer, const TLxLanguage &Language)
{
    Writer.ListBegin();
    Writer.Integer(Language.PrimaryId);
    Writer.String(JoinInts(Language.SubLanguages));
    Writer.Integer(Language.DefaultSubLanguage);
    Writer.Integer(Language.CharSet);
    Writer.Integer(Language.CodePage);
    Writer.String(Language.Name);
    Writer.String(Language.NativeName);
    Writer.String(Language.FontName);
    Writer.Integer(Language.FontSize);
    Writer.Boolean((Language.Flags & 1) != 0);
    Writer.Boolean((Language.Flags & 2) != 0);
    Writer.ListEnd();
}

void ReadStoredLanguage(TLxStoredReader &Reader, int Version, TLxLanguage &Language)
{
    Language = TLxLanguage();
    Reader.ListBegin();
    Language.PrimaryId = Reader.Integer();
    Language.SubLanguages = SplitInts(Reader.String());
    Language.DefaultSubLanguage = Reader.Integer();
    if (Version >= 2)
        Reader.Integer(); // the character set follows from the code page
    Language.CodePage = Reader.Integer();
    Language.CharSet = CharSetOfCodePage(Language.CodePage);
    Language.Name = Reader.String();
    Language.NativeName = Reader.String();
    Language.FontName = Reader.String();
    Language.FontSize = Reader.Integer();
    Language.Flags = (Reader.Boolean() ? 1 : 0) | (Reader.Boolean() ? 2 : 0);
    Reader.ListEnd();
    Language.Complete();
}

void WriteStoredLocale(TLxStoredWriter &Writer, const TLxLocale &Locale)
{
    Writer.ListBegin();
    for (int value : {Locale.PrimaryId, Locale.SubLanguageId, Locale.CharSet, Locale.CodePage})
        Writer.Integer(value);
    Writer.Boolean(Locale.Kept);
    for (const std::string *text :
         {&Locale.EnglishLanguageName, &Locale.EnglishCountryName, &Locale.NativeLanguageName,
          &Locale.NativeCountryName, &Locale.AbbrevLanguageName, &Locale.LocalisedCountryName})
        Writer.String(*text);
    Writer.Integer(Locale.Measure);
    Writer.String(Locale.CurrencySymbol);
    for (int value : {Locale.CurrencyFormat, Locale.NegCurrencyFormat, Locale.CurrencyDigits})
        Writer.Integer(value);
    for (const std::string *text :
         {&Locale.ThousandSeparator, &Locale.DecimalSeparator, &Locale.DateSeparator,
          &Locale.ShortDateFormat, &Locale.LongDateFormat, &Locale.TimeSeparator, &Locale.AMText,
          &Locale.PMText})
        Writer.String(*text);
    Writer.Boolean(Locale.LeadingZero);
    for (int value : {Locale.Clock, Locale.AMPMPosition, Locale.CalendarType,
                      Locale.OptionalCalendar, Locale.FirstDayOfWeek, Locale.FirstWeekOfYear})
        Writer.Integer(value);
    for (const auto *names : {&Locale.ShortMonthNames, &Locale.LongMonthNames})
        for (const std::string &name : *names)
            Writer.String(name);
    for (const auto *names : {&Locale.ShortDayNames, &Locale.LongDayNames})
        for (const std::string &name : *names)
            Writer.String(name);
    Writer.ListEnd();
}

void ReadStoredLocale(TLxStoredReader &Reader, int Version, TLxLocale &Locale)
{
    Locale = TLxLocale();
    Reader.ListBegin();
    Locale.PrimaryId = Reader.Integer();
    Locale.SubLanguageId = Reader.Integer();
    if (Version >= 2)
        Locale.CharSet = Reader.Integer();
    Locale.CodePage = Reader.Integer();
    Locale.Kept = Reader.Boolean();
    for (std::string *text :
         {&Locale.EnglishLanguageName, &Locale.EnglishCountryName, &Locale.NativeLanguageName,
          &Locale.NativeCountryName, &Locale.AbbrevLanguageName, &Locale.LocalisedCountryName})
        *text = Reader.String();
    Locale.Measure = Reader.Integer();
    Locale.CurrencySymbol = Reader.String();
    for (int *value : {&Locale.CurrencyFormat, &Locale.NegCurrencyFormat, &Locale.CurrencyDigits})
        *value = Reader.Integer();
    for (std::string *text :
         {&Locale.ThousandSeparator, &Locale.DecimalSeparator, &Locale.DateSeparator,
          &Locale.ShortDateFormat, &Locale.LongDateFormat, &Locale.TimeSeparator, &Locale.AMText,
          &Locale.PMText})
        *text = Reader.String();
    Locale.LeadingZero = Reader.Boolean();
    for (int *value : {&Locale.Clock, &Locale.AMPMPosition, &Locale.CalendarType,
                       &Locale.OptionalCalendar, &Locale.FirstDayOfWeek, &Locale.FirstWeekOfYear})
        *value = Reader.Integer();
    for (auto *names : {&Locale.ShortMonthNames, &Locale.LongMonthNames})
        for (std::string &name : *names)
            name = Reader.String();
    for (auto *names : {&Locale.ShortDayNames, &Locale.LongDayNames})
        for (std::string &name : *names)
            name = Reader.String();
    Reader.ListEnd();
    Locale.Complete();
}

namespace {

// Reads the dictionary's tables from its files for the time of a save, and
// closes it and puts its storage back afterwards, also on a failure.
class TFileStorageScope {
public:
    explicit TFileStorageScope(TLxTextDictionary &Dictionary)
        : FDictionary(Dictionary), FStorage(Dictionary.Storage())
    {
        Dictionary.SetStorage(lxsFile);
    }
    ~TFileStorageScope()
    {
        FDictionary.Close();
        FDictionary.SetStorage(FStorage);
    }
    TFileStorageScope(const TFileStorageScope &) = delete;
    TFileStorageScope &operator=(const TFileStorageScope &) = delete;

private:
    TLxTextDictionary &FDictionary;
    TLxStorage FStorage;
};

std::string WriteLanguagesTable(TLxTextDictionary &Dictionary)
{
    TLxStoredWriter writer;
    writer.ListBegin();
    writer.Integer(2);
    const int count = Dictionary.GetLanguageCount();
    writer.Integer(count);
    for (int i = 0; i < count; ++i)
        WriteStoredLanguage(writer, Dictionary.LanguageInfo(i));
    writer.ListEnd();
    return writer.Data();
}

std::string WriteLocalesTable(TLxTextDictionary &Dictionary)
{
    TLxStoredWriter writer;
    writer.ListBegin();
    writer.Integer(2);
    const int count = Dictionary.GetLocaleCount();
    writer.Integer(count);
    for (int i = 0; i < count; ++i)
        WriteStoredLocale(writer, Dictionary.LocaleInfo(i));
    writer.ListEnd();
    return writer.Data();
}

} // namespace

TLxEmbeddedTables SaveEmbeddedTables(TLxTextDictionary &Dictionary)
{
    TFileStorageScope scope(Dictionary);
    const std::string languageFile = Dictionary.LanguageFileName();
    const std::string translationFile = Dictionary.FileName();
    if (!translationFile.empty() && languageFile.empty())
        throw lx::Exception("No language file assigned");
    if (!languageFile.empty() && translationFile.empty())
        throw lx::Exception("No translation file assigned");
    TLxEmbeddedTables tables;
    const std::string localeFile = Dictionary.LocaleFileName();
    const bool localesUsable = !localeFile.empty() && UsableFile(localeFile);
    const bool languagesUsable = !languageFile.empty() && UsableFile(languageFile);
    const bool translationsUsable = !translationFile.empty() && UsableFile(translationFile);
    if (!languagesUsable || !translationsUsable)
        return tables;
    Dictionary.Open();
    tables.Languages = WriteLanguagesTable(Dictionary);
    tables.HasLanguages = true;
    if (localesUsable) {
        tables.Locales = WriteLocalesTable(Dictionary);
        tables.HasLocales = true;
    }
    tables.Translations = WriteTranslationsTable(translationFile, Dictionary.GetLanguageCount(),
                                                 Dictionary.Format() == lxtfUTF8);
    tables.HasTranslations = true;
    return tables;
}

} // namespace orv
