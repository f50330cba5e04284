#include "platform/CodePage.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace orv {

namespace {

// Names under which the converters may know a Windows code page, most
// specific first.
std::vector<std::string> CandidateNames(int CodePage)
{
    switch (CodePage) {
    case 65001:
        return {"UTF-8"};
    case 1200:
        return {"UTF-16LE"};
    case 1201:
        return {"UTF-16BE"};
    case 20127:
        return {"US-ASCII"};
    default:
        break;
    }
    if (CodePage >= 28591 && CodePage <= 28605)
        return {"ISO-8859-" + std::to_string(CodePage - 28590)};
    const std::string number = std::to_string(CodePage);
    return {"windows-" + number, "cp" + number, "ibm-" + number};
}

// The converter name of a code page, looked up once per code page; every
// conversion asks, so the kept name is handed out, not a copy.
const std::optional<std::string> &ConverterName(int CodePage)
{
    static std::map<int, std::optional<std::string>> cache;
    auto found = cache.find(CodePage);
    if (found != cache.end())
        return found->second;
    std::optional<std::string> name;
    if (CodePage > 0) {
        for (const std::string &candidate : CandidateNames(CodePage)) {
            if (QStringDecoder(candidate.c_str()).isValid() &&
                QStringEncoder(candidate.c_str()).isValid()) {
                name = candidate;
                break;
            }
        }
    }
    return cache.emplace(CodePage, std::move(name)).first->second;
}

std::string EncodeWith(const std::string &Name, std::u16string_view Text)
{
    QStringEncoder encoder(Name.c_str(), QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder(QStringView(reinterpret_cast<const QChar *>(Text.data()),
                                                 static_cast<qsizetype>(Text.size())));
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace

bool CodePageAvailable(int CodePage)
{
    return ConverterName(CodePage).has_value();
}

bool DecodeCodePage(int CodePage, std::string_view Bytes, std::u16string &Text)
{
    Text.clear();
    const auto &name = ConverterName(CodePage);
    if (!name)
        return false;
    QStringDecoder decoder(name->c_str(), QStringConverter::Flag::Stateless);
    const QString wide =
        decoder(QByteArrayView(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
    Text.assign(reinterpret_cast<const char16_t *>(wide.utf16()), static_cast<size_t>(wide.size()));
    return true;
}

bool EncodeCodePage(int CodePage, std::u16string_view Text, std::string &Bytes)
{
    Bytes.clear();
    const auto &name = ConverterName(CodePage);
    if (!name)
        return false;
    Bytes = EncodeWith(*name, Text);
    std::u16string back;
    DecodeCodePage(CodePage, Bytes, back);
    if (back == Text)
        return true;
    // Some characters have no place in the code page: encode one character
    // (or surrogate pair) at a time and put "?" for those that do not come back.
    Bytes.clear();
    for (size_t i = 0; i < Text.size();) {
        const bool pair = Text[i] >= 0xD800 && Text[i] < 0xDC00 && i + 1 < Text.size();
        const std::u16string_view one = Text.substr(i, pair ? 2 : 1);
        const std::string bytes = EncodeWith(*name, one);
        DecodeCodePage(CodePage, bytes, back);
        Bytes += back == one ? bytes : std::string("?");
        i += one.size();
    }
    return true;
}

} // namespace orv
