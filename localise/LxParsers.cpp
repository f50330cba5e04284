#include "localise/LxParsers.h"

#include "localise/LxErrors.h"
#include "localise/LxSystem.h"
#include "platform/CodePage.h"
#include "platform/NumberText.h"

namespace orv {

namespace {

constexpr int CpUtf8 = 65001;

int ResolveCodePage(int CodePage)
{
    return CodePage == 0 ? LxSystem().AnsiCodePage : CodePage;
}

int ParseInteger(const std::string &Field)
{
    int32_t value = 0;
    if (!TryStrToInt(Field, value))
        throw lx::EConvertError("'" + Field + "' is not a valid integer value");
    return value;
}

int ParseIntegerDef(const std::string &Field, int Default)
{
    int32_t value = 0;
    return TryStrToInt(Field, value) ? value : Default;
}

bool ParseBoolean(const std::string &Field)
{
    if (Field == "0" || SameText(Field, "false") || SameText(Field, "no"))
        return false;
    if (Field == "1" || SameText(Field, "true") || SameText(Field, "yes"))
        return true;
    throw lx::Exception(Field + " is not a boolean value");
}

// The field from Position up to the separator; Position moves one past it.
template <typename TString, typename TChar>
TString CutField(const TString &Text, size_t &Position, TChar Separator)
{
    if (Text.empty() || Position > Text.size())
        return {};
    const size_t start = Position - 1;
    size_t end = Text.find(Separator, start);
    if (end == TString::npos)
        end = Text.size();
    Position = end + 2;
    return Text.substr(start, end - start);
}

template <typename TString, typename TChar>
TString DecodeEscapesOf(std::basic_string_view<TChar> Text)
{
    TString result;
    result.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        const TChar c = Text[i];
        if (c != TChar('#') || i + 1 >= Text.size()) {
            result += c;
            continue;
        }
        const TChar next = Text[i + 1];
        if (next == TChar('C'))
            result += TChar(13);
        else if (next == TChar('L'))
            result += TChar(10);
        else if (next == TChar('T'))
            result += TChar(9);
        else if (next == TChar('#'))
            result += TChar('#');
        else {
            result += c;
            result += next;
        }
        ++i;
    }
    return result;
}

bool IsContinuation(unsigned char Byte)
{
    return Byte >= 0x80 && Byte <= 0xBF;
}

bool IsValidUtf8(std::string_view Bytes)
{
    std::u16string ignored;
    if (!DecodeCodePage(CpUtf8, Bytes, ignored))
        return false;
    for (char16_t c : ignored)
        if (c == 0xFFFD)
            return false;
    return true;
}

} // namespace

TLxStringParser::TLxStringParser(char Separator, bool Convert)
    : FSeparator(Separator), FConvert(Convert)
{
}

void TLxStringParser::SetText(std::string Text)
{
    FText = std::move(Text);
    FPosition = 1;
    FSize = FText.size() + 1;
}

std::string TLxStringParser::NextField()
{
    std::string field = CutField(FText, FPosition, FSeparator);
    if (FConvert && field.find('#') != std::string::npos)
        field = DecodeEscapes(field);
    return field;
}

char TLxStringParser::NextChar(char Default)
{
    const std::string field = NextField();
    return field.empty() ? Default : field[0];
}

int TLxStringParser::NextInteger()
{
    return ParseInteger(NextField());
}
int TLxStringParser::NextIntegerDef(int Default)
{
    return ParseIntegerDef(NextField(), Default);
}
bool TLxStringParser::NextBoolean()
{
    return ParseBoolean(NextField());
}

TLxWideParser::TLxWideParser(char16_t Separator, bool Convert, int CodePage)
    : FSeparator(Separator), FConvert(Convert), FCodePage(CodePage)
{
}

void TLxWideParser::SetText(std::u16string Text)
{
    FText = std::move(Text);
    FPosition = 1;
    FSize = FText.size() + 1;
}

std::u16string TLxWideParser::NextWideField()
{
    std::u16string field = CutField(FText, FPosition, FSeparator);
    if (FConvert && field.find(u'#') != std::u16string::npos)
        field = DecodeEscapes(field);
    return field;
}

std::string TLxWideParser::NextField()
{
    return WideToAnsi(NextWideField(), FCodePage);
}
std::string TLxWideParser::NextTextField()
{
    return WideToText(NextWideField());
}

char TLxWideParser::NextChar(char Default)
{
    const std::string field = NextField();
    return field.empty() ? Default : field[0];
}

int TLxWideParser::NextInteger()
{
    return ParseInteger(NextTextField());
}
int TLxWideParser::NextIntegerDef(int Default)
{
    return ParseIntegerDef(NextTextField(), Default);
}
bool TLxWideParser::NextBoolean()
{
    return ParseBoolean(NextTextField());
}

std::string DecodeEscapes(std::string_view Text)
{
    return DecodeEscapesOf<std::string, char>(Text);
}

std::u16string DecodeEscapes(std::u16string_view Text)
{
    return DecodeEscapesOf<std::u16string, char16_t>(Text);
}

std::u16string UTF8ToWide(std::string_view Bytes)
{
    std::u16string result;
    result.reserve(Bytes.size());
    const auto fail = [&]() -> std::u16string {
        throw ELxUTF8("Invalid UTF-8 string", std::string(Bytes));
    };
    for (size_t i = 0; i < Bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(Bytes[i]);
        if (lead < 0x80) {
            result += static_cast<char16_t>(lead);
        } else if (lead >= 0xC0 && lead <= 0xDF) {
            if (i + 1 >= Bytes.size() || !IsContinuation(static_cast<unsigned char>(Bytes[i + 1])))
                return fail();
            const auto second = static_cast<unsigned char>(Bytes[++i]);
            result += static_cast<char16_t>(((lead * 64) & 0x7FF) | (second & 0x3F));
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            if (i + 2 >= Bytes.size() ||
                !IsContinuation(static_cast<unsigned char>(Bytes[i + 1])) ||
                !IsContinuation(static_cast<unsigned char>(Bytes[i + 2])))
                return fail();
            const auto second = static_cast<unsigned char>(Bytes[i + 1]);
            const auto third = static_cast<unsigned char>(Bytes[i + 2]);
            i += 2;
            result += static_cast<char16_t>(lead * 4096 + (second & 0x3F) * 64 + (third & 0x3F));
        } else {
            return fail();
        }
    }
    return result;
}

std::string WideToAnsi(std::u16string_view Text, int CodePage)
{
    std::string bytes;
    if (!Text.empty())
        EncodeCodePage(ResolveCodePage(CodePage), Text, bytes);
    return bytes;
}

std::u16string AnsiToWide(std::string_view Text, int CodePage)
{
    std::u16string wide;
    if (!Text.empty())
        DecodeCodePage(ResolveCodePage(CodePage), Text, wide);
    return wide;
}

size_t CopyWideToBuffer(char16_t *Buffer, size_t Room, std::u16string_view Text)
{
    if (Buffer == nullptr || Room == 0)
        return 0;
    const size_t count = std::min(Text.size(), Room - 1);
    Text.copy(Buffer, count);
    Buffer[count] = u'\0';
    return count;
}

std::string WideToText(std::u16string_view Text)
{
    std::string text;
    EncodeCodePage(CpUtf8, Text, text);
    return text;
}

std::u16string TextToWide(std::string_view Text)
{
    std::u16string wide;
    DecodeCodePage(CpUtf8, Text, wide);
    return wide;
}

std::string AnsiToText(std::string_view Bytes, int CodePage)
{
    const int codePage = ResolveCodePage(CodePage);
    if (codePage == CpUtf8 || Bytes.empty())
        return std::string(Bytes);
    std::u16string wide;
    if (DecodeCodePage(codePage, Bytes, wide))
        return WideToText(wide);
    if (IsValidUtf8(Bytes))
        return std::string(Bytes);
    wide.clear();
    for (char b : Bytes)
        wide += static_cast<char16_t>(static_cast<unsigned char>(b));
    return WideToText(wide);
}

std::string TextToAnsi(std::string_view Text, int CodePage)
{
    const int codePage = ResolveCodePage(CodePage);
    if (codePage == CpUtf8)
        return std::string(Text);
    return WideToAnsi(TextToWide(Text), codePage);
}

} // namespace orv
