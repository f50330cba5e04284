#include "localise/LxTextDictionary.h"

#include "localise/LxEmbedded.h"
#include "localise/LxErrors.h"
#include "localise/LxLocales.h"
#include "localise/LxResources.h"
#include "localise/LxTableReader.h"
#include "platform/Paths.h"

#include <algorithm>
#include <fstream>

namespace orv {

namespace {

constexpr const char *ComponentClass = "TLxTextDictionary";

bool StartsWithByteOrderMark(const std::string &Bytes)
{
    if (Bytes.size() < 2)
        return false;
    const auto first = static_cast<unsigned char>(Bytes[0]);
    const auto second = static_cast<unsigned char>(Bytes[1]);
    return (first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF);
}

std::string Quoted(const std::string &Name)
{
    return "\"" + Name + "\"";
}

std::vector<std::string> SplitTexts(const std::string &Text)
{
    std::vector<std::string> texts;
    if (Text.empty())
        return texts;
    TLxStringParser parser(',');
    parser.SetText(Text);
    while (!parser.AtEnd())
        texts.push_back(parser.NextField());
    return texts;
}

std::vector<int> SplitSubLanguages(const std::string &Text)
{
    std::vector<int> values;
    if (Text.empty())
        return values;
    TLxStringParser parser(',');
    parser.SetText(Text);
    while (!parser.AtEnd()) {
        const int value = parser.NextInteger();
        if (value >= 1)
            values.push_back(value);
    }
    return values;
}

// Context flags from the first row's TAB count against the language count.
int ContextFlagsOf(int Tabs, int LanguageCount)
{
    if (Tabs == LanguageCount)
        return 2;
    return Tabs > LanguageCount ? 3 : 0;
}

// Context flags of a stored context kind (0 none, 1 both, 2 second, 3 first).
int ContextFlagsOfKind(int Kind)
{
    static const int flags[] = {0, 3, 2, 1};
    return Kind >= 0 && Kind <= 3 ? flags[Kind] : 0;
}

void SetTranslation(TLxTranslation &Row, const std::string &Current, const std::string &Fallback)
{
    if (!Current.empty()) {
        Row.Translation = Current;
        Row.State = 0;
    } else if (!Fallback.empty()) {
        Row.Translation = Fallback;
        Row.State = 1;
    } else {
        Row.Translation.clear();
        Row.State = 2;
    }
}

} // namespace

TLxTextDictionary::TLxTextDictionary() = default;
TLxTextDictionary::~TLxTextDictionary() = default;

bool TLxTextDictionary::DetectFileFormat(const std::string &FileName)
{
    std::ifstream file(FileName, std::ios::binary);
    char bytes[2] = {};
    if (!file.read(bytes, 2))
        return false;
    return StartsWithByteOrderMark(std::string(bytes, 2));
}

bool TLxTextDictionary::DetectResourceFormat(const std::string &ResourceName)
{
    std::string data;
    return LoadLxResource("LINGVARD", ResourceName, data) && StartsWithByteOrderMark(data);
}

std::string TLxTextDictionary::TableName(TTable Table)
{
    if (Storage() == lxsResource)
        return Table == TTable::Language ? "MlLanguage"
               : Table == TTable::Locale ? "MlLocale"
                                         : "MlTranslation";
    if (Table == TTable::Language)
        return ResolveFileName(FLanguageFileName);
    if (Table == TTable::Locale)
        return ResolveFileName(FLocaleFileName);
    return FileName();
}

TLxTextFormat TLxTextDictionary::TableFormat(TTable Table)
{
    if (FFormat != lxtfDetect)
        return FFormat;
    if (Storage() == lxsResource)
        return DetectResourceFormat(TableName(Table)) ? lxtfUTF16 : lxtfAnsi;
    return DetectFileFormat(TableName(TTable::Language)) ? lxtfUTF16 : lxtfAnsi;
}

std::unique_ptr<TLxTableReader> TLxTextDictionary::OpenTable(TTable Table)
{
    const std::string name = TableName(Table);
    const TLxTextFormat format = TableFormat(Table);
    if (Storage() == lxsResource) {
        if (format == lxtfUTF16)
            return std::make_unique<TLxTableReader>(std::make_unique<TLxResourceUTF16Reader>(name));
        if (format == lxtfUTF8)
            return std::make_unique<TLxTableReader>(std::make_unique<TLxResourceUTF8Reader>(name));
        return std::make_unique<TLxTableReader>(std::make_unique<TLxResourceAnsiReader>(name));
    }
    if (format == lxtfUTF16)
        return std::make_unique<TLxTableReader>(
            std::make_unique<TLxUTF16Reader>(name, FByteOrder, FByteOrderMark));
    if (format == lxtfUTF8)
        return std::make_unique<TLxTableReader>(std::make_unique<TLxUTF8Reader>(name));
    return std::make_unique<TLxTableReader>(std::make_unique<TLxAnsiReader>(name));
}

int TLxTextDictionary::CountRows(TTable Table)
{
    auto reader = OpenTable(Table);
    int rows = 0;
    for (; !reader->AtEnd(); ++rows)
        reader->SkipRow();
    return rows;
}

void TLxTextDictionary::CheckLanguageFile()
{
    if (Storage() != lxsFile)
        return;
    if (FLanguageFileName.empty())
        throw ELxError("No language file given");
    const std::string name = ResolveFileName(FLanguageFileName);
    if (!FileExists(name))
        throw ELxError("Language file " + Quoted(name) + " not found");
}

// False when there is no locale table at all.
bool TLxTextDictionary::CheckLocaleFile()
{
    if (Storage() == lxsResource) {
        std::string data;
        return LoadLxResource("LINGVARD", "MlLocale", data);
    }
    if (FLocaleFileName.empty())
        return false;
    const std::string name = ResolveFileName(FLocaleFileName);
    if (!FileExists(name))
        throw ELxError("Locale file " + Quoted(name) + " not found");
    return true;
}

void TLxTextDictionary::CheckTranslationFile()
{
    if (Storage() != lxsFile)
        return;
    const std::string name = FileName();
    if (name.empty())
        throw ELxError("No translation file given");
    if (!FileExists(name))
        throw ELxError("Translation file " + Quoted(name) + " not found");
}

bool TLxTextDictionary::IsAvailable()
{
    if (Storage() != lxsFile)
        return true;
    return !FLanguageFileName.empty() && FileExists(ResolveFileName(FLanguageFileName));
}

int TLxTextDictionary::GetLanguageCount()
{
    if (Storage() == lxsEmbedded) {
        TLxStoredReader reader(
            ReadStoredProperty(FOwnerClassName, ComponentClass, DictionaryName(), "Languages"));
        ReadStoredHeader(reader, "language");
        return reader.Integer();
    }
    return CountRows(TTable::Language);
}

void TLxTextDictionary::LoadLanguage(int Index, TLxLanguage &Language)
{
    Language = TLxLanguage();
    if (Storage() == lxsEmbedded) {
        std::vector<std::unique_ptr<TLxLanguage>> list;
        LoadLanguages(list);
        if (Index >= 0 && Index < static_cast<int>(list.size()))
            Language = *list[Index];
        return;
    }
    auto reader = OpenTable(TTable::Language);
    TLxRow row;
    row.SetAnsi(std::string(), false);
    for (int i = 0; i <= Index && !reader->AtEnd(); ++i)
        reader->ReadRow(row, false);
    ParseLanguageRow(row, Language);
}

void TLxTextDictionary::LoadLanguages(std::vector<std::unique_ptr<TLxLanguage>> &List)
{
    if (Storage() == lxsEmbedded) {
        TLxStoredReader reader(
            ReadStoredProperty(FOwnerClassName, ComponentClass, DictionaryName(), "Languages"));
        const int version = ReadStoredHeader(reader, "language");
        const int count = reader.Integer();
        for (int i = 0; i < count; ++i) {
            auto language = std::make_unique<TLxLanguage>();
            ReadStoredLanguage(reader, version, *language);
            List.push_back(std::move(language));
        }
        return;
    }
    CheckLanguageFile();
    auto reader = OpenTable(TTable::Language);
    TLxRow row;
    while (!reader->AtEnd()) {
        reader->ReadRow(row, false);
        auto language = std::make_unique<TLxLanguage>();
        ParseLanguageRow(row, *language);
        List.push_back(std::move(language));
    }
}

bool TLxTextDictionary::ParseLanguageRow(TLxRow &Row, TLxLanguage &Language) const
{
    Language = TLxLanguage();
    Language.Name = Row.NextText();
    const std::string nativeName = Row.NextRaw();
    Language.PrimaryId = Row.NextInteger();
    Language.SubLanguages = SplitSubLanguages(Row.NextText());
    Language.DefaultSubLanguage = Row.NextInteger();
    Language.FontName = Row.NextText();
    Language.FontSize = Row.NextIntegerDef(0);
    Language.Flags = Row.NextIntegerDef(0) & 3;
    Row.NextIntegerDef(0); // the character set follows from the code page
    Language.CodePage = Row.NextIntegerDef(0);
    Language.CharSet = CharSetOfCodePage(Language.CodePage);
    const bool missing = Row.AtEnd();
    Language.Iso639Name = Row.NextText();
    Language.ExtraTexts = SplitTexts(Row.NextText());
    Language.Iso3166Name = Row.NextText();
    if (Row.IsWide()) {
        Language.NativeName = nativeName;
    } else if (!nativeName.empty()) {
        const int codePage =
            Language.CodePage != 0
                ? Language.CodePage
                : LocaleAnsiCodePage(MakeLCID(Language.PrimaryId, Language.DefaultSubLanguage));
        Language.NativeName = AnsiToText(nativeName, codePage);
    }
    Language.Complete();
    return missing;
}

int TLxTextDictionary::GetLocaleCount()
{
    if (Storage() == lxsEmbedded) {
        std::string data;
        try {
            data = ReadStoredProperty(FOwnerClassName, ComponentClass, DictionaryName(), "Locales");
        } catch (const lx::EResNotFound &) {
            return 0;
        }
        TLxStoredReader reader(data);
        ReadStoredHeader(reader, "locale");
        return reader.Integer();
    }
    if (Storage() == lxsFile && FLocaleFileName.empty())
        return 0;
    return CountRows(TTable::Locale);
}

void TLxTextDictionary::LoadLocale(int Index, TLxLocale &Locale)
{
    Locale = TLxLocale();
    std::vector<std::unique_ptr<TLxLocale>> list;
    LoadLocales(list);
    if (Index >= 0 && Index < static_cast<int>(list.size()))
        Locale = *list[Index];
}

void TLxTextDictionary::LoadLocales(std::vector<std::unique_ptr<TLxLocale>> &List)
{
    if (Storage() == lxsEmbedded) {
        if (GetLocaleCount() == 0)
            return;
        TLxStoredReader reader(
            ReadStoredProperty(FOwnerClassName, ComponentClass, DictionaryName(), "Locales"));
        const int version = ReadStoredHeader(reader, "locale");
        const int count = reader.Integer();
        for (int i = 0; i < count; ++i) {
            auto locale = std::make_unique<TLxLocale>();
            ReadStoredLocale(reader, version, *locale);
            List.push_back(std::move(locale));
        }
        return;
    }
    if (!CheckLocaleFile())
        return;
    auto reader = OpenTable(TTable::Locale);
    TLxRow row;
    while (!reader->AtEnd()) {
        reader->ReadRow(row, false);
        auto locale = std::make_unique<TLxLocale>();
        ParseLocaleRow(row, *locale);
        List.push_back(std::move(locale));
    }
}

namespace {

// Fields 9 to 27 of a locale row: measure, currency, separators, date and
// time formats, clock and calendar; texts in the row's code page.
void ParseLocaleFormats(TLxRow &Row, TLxLocale &Locale)
{
    const int cp = Locale.CodePage;
    Locale.Measure = Row.NextInteger();
    Locale.CurrencySymbol = Row.NextText(cp);
    Locale.CurrencyFormat = Row.NextInteger();
    Locale.NegCurrencyFormat = Row.NextInteger();
    Locale.ThousandSeparator = Row.NextCharText(cp);
    Locale.DecimalSeparator = Row.NextCharText(cp);
    Locale.CurrencyDigits = Row.NextInteger();
    Locale.DateSeparator = Row.NextCharText(cp);
    Locale.ShortDateFormat = Row.NextText(cp);
    Locale.LongDateFormat = Row.NextText(cp);
    Locale.TimeSeparator = Row.NextCharText(cp);
    Locale.AMText = Row.NextText(cp);
    Locale.PMText = Row.NextText(cp);
    Locale.LeadingZero = Row.NextBoolean();
    for (int *value : {&Locale.Clock, &Locale.CalendarType, &Locale.OptionalCalendar,
                       &Locale.FirstDayOfWeek, &Locale.FirstWeekOfYear})
        *value = Row.NextInteger();
}

// Fields 28 to 65: month names, then day names from Monday.
void ParseLocaleNames(TLxRow &Row, TLxLocale &Locale)
{
    for (auto *names : {&Locale.ShortMonthNames, &Locale.LongMonthNames})
        for (std::string &name : *names)
            name = Row.NextText(Locale.CodePage);
    for (auto *names : {&Locale.ShortDayNames, &Locale.LongDayNames})
        for (std::string &name : *names)
            name = Row.NextText(Locale.CodePage);
}

// Fields 66 to 72, each optional.
void ParseLocaleOptional(TLxRow &Row, TLxLocale &Locale)
{
    const int cp = Locale.CodePage;
    Locale.AbbrevLanguageName = Row.NextText(cp);
    Locale.LocalisedCountryName = Row.NextText(cp);
    Locale.AMPMPosition = Row.NextIntegerDef(0);
    Locale.KeptText1 = Row.NextText(cp);
    Locale.KeptText2 = Row.NextText(cp);
    const std::string kept = Row.NextText(cp);
    TLxStringParser keptParser;
    keptParser.SetText(kept);
    Locale.Kept = !kept.empty() && keptParser.NextBoolean();
    Locale.CharSet = Row.NextIntegerDef(0);
}

} // namespace

bool TLxTextDictionary::ParseLocaleRow(TLxRow &Row, TLxLocale &Locale) const
{
    Locale = TLxLocale();
    Locale.PrimaryId = Row.NextInteger();
    Locale.SubLanguageId = Row.NextInteger();
    Row.NextInteger();
    Locale.EnglishLanguageName = Row.NextText();
    const std::string nativeLanguage = Row.NextRaw();
    Locale.EnglishCountryName = Row.NextText();
    const std::string nativeCountry = Row.NextRaw();
    Locale.CodePage = Row.NextInteger();
    // Native names are written in the row's own code page.
    Locale.NativeLanguageName =
        Row.IsWide() ? nativeLanguage : AnsiToText(nativeLanguage, Locale.CodePage);
    Locale.NativeCountryName =
        Row.IsWide() ? nativeCountry : AnsiToText(nativeCountry, Locale.CodePage);
    ParseLocaleFormats(Row, Locale);
    ParseLocaleNames(Row, Locale);
    const bool missing = Row.AtEnd();
    ParseLocaleOptional(Row, Locale);
    Locale.Complete();
    return missing;
}

void TLxTextDictionary::LoadTranslations()
{
    ClearTranslations();
    if (Storage() == lxsEmbedded) {
        LoadEmbeddedTranslations();
        return;
    }
    CheckTranslationFile();
    auto reader = OpenTable(TTable::Translation);
    LoadTranslationRows(*reader);
    SortTranslations();
}

// Rows of the current language: its column, else the fallback language's;
// wide tables leave out rows that have neither.
void TLxTextDictionary::LoadTranslationRows(TLxTableReader &Reader)
{
    const int languageCount = GetLanguageCount();
    const int current = CurrentLanguageIndex();
    const int fallback = FallbackLanguageIndex();
    const int currentCodePage = CurrentLanguage().CodePage;
    const int fallbackCodePage = fallback > 0 ? LanguageInfo(fallback).CodePage : 0;
    const int lastColumn = std::max(current, fallback);
    bool firstRow = true;
    TLxRow row;
    while (!Reader.AtEnd()) {
        Reader.ReadRow(row, FConvert);
        if (firstRow)
            SetContextFlags(ContextFlagsOf(row.TabCount(), languageCount));
        firstRow = false;
        TLxTranslation translation;
        translation.Source = row.NextText();
        if ((ContextFlags() & 1) != 0)
            translation.Context1 = row.NextText();
        if ((ContextFlags() & 2) != 0)
            translation.Context2 = row.NextText();
        if (current == 0) {
            translation.Translation = translation.Source;
            AddTranslation(std::move(translation));
            continue;
        }
        std::string currentText, fallbackText;
        for (int column = 1; column <= lastColumn; ++column) {
            const std::string raw = row.NextRaw();
            if (column == current)
                currentText = row.IsWide() ? raw : AnsiToText(raw, currentCodePage);
            if (column == fallback)
                fallbackText = row.IsWide() ? raw : AnsiToText(raw, fallbackCodePage);
        }
        SetTranslation(translation, currentText, fallbackText);
        if (translation.State != 2 || !Reader.IsWide())
            AddTranslation(std::move(translation));
    }
}

void TLxTextDictionary::LoadEmbeddedTranslations()
{
    TLxStoredReader reader(
        ReadStoredProperty(FOwnerClassName, ComponentClass, DictionaryName(), "Translations"));
    const int version = ReadStoredHeader(reader, "translation");
    const int kind = version >= 2 ? reader.Integer() : 0;
    SetContextFlags(ContextFlagsOfKind(kind));
    const int count = reader.Integer();
    const int current = CurrentLanguageIndex();
    const int fallback = FallbackLanguageIndex();
    for (int i = 0; i < count; ++i) {
        reader.ListBegin();
        TLxTranslation translation;
        translation.Source = reader.String();
        if ((ContextFlags() & 1) != 0)
            translation.Context1 = reader.String();
        if ((ContextFlags() & 2) != 0)
            translation.Context2 = reader.String();
        std::string currentText, fallbackText;
        for (int column = 1; !reader.EndOfList(); ++column) {
            const std::string text = reader.String();
            if (column == current)
                currentText = text;
            if (column == fallback && fallback > 0)
                fallbackText = text;
        }
        reader.ListEnd();
        SetTranslation(translation, currentText, fallbackText);
        if (translation.State != 2)
            AddTranslation(std::move(translation));
    }
    SortTranslations();
}

void TLxTextDictionary::ReadLanguagesData(const std::string &Data)
{
    TLxStoredReader reader(Data);
    const int version = ReadStoredHeader(reader, "language");
    FStoredLanguageCount = reader.Integer();
    TLxLanguage dropped;
    for (int i = 0; i < FStoredLanguageCount; ++i)
        ReadStoredLanguage(reader, version, dropped);
}

void TLxTextDictionary::ReadTranslationsData(const std::string &Data)
{
    TLxStoredReader reader(Data);
    const int version = ReadStoredHeader(reader, "translation");
    if (version >= 2)
        reader.Integer();
    const int count = reader.Integer();
    for (int i = 0; i < count; ++i)
        reader.SkipValue();
}

void TLxTextDictionary::ReadLocalesData(const std::string &Data)
{
    TLxStoredReader reader(Data);
    const int version = ReadStoredHeader(reader, "locale");
    FStoredLocaleCount = reader.Integer();
    TLxLocale dropped;
    for (int i = 0; i < FStoredLocaleCount; ++i)
        ReadStoredLocale(reader, version, dropped);
}

} // namespace orv
