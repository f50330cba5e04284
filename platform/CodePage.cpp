#include "platform/CodePage.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
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

// What is kept of a code page: the converter's name and, for a code page of
// one byte per character, the character of every byte (the undefined ones
// given ours) and those characters sorted with their bytes for saving.
struct TCodePageEntry {
    std::optional<std::string> Name;
    bool SingleByte = false;
    bool HasUndefined = false;
    std::array<char16_t, 256> Chars{};
    std::vector<std::pair<char16_t, char>> Bytes;
};

QString DecodeWith(QStringDecoder &Decoder, std::string_view Bytes)
{
    return Decoder(QByteArrayView(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
}

// The character we give a byte the code page leaves undefined.
char16_t UndefinedByteChar(unsigned char Byte)
{
    return Byte >= 0x80 && Byte < 0xA0 ? char16_t(Byte) : char16_t(0xF700 + Byte);
}

// Asks the converter for every byte. A code page is taken as one of a byte
// per character when each byte alone is one character, the 256 bytes in a
// row are the same characters, and no byte read as unknown joins any byte
// after it into one character (as the lead byte of a double-byte code page
// or UTF-8 does). Entry is left as it was for any other code page.
void LearnSingleByte(TCodePageEntry &Entry)
{
    QStringDecoder decoder(Entry.Name->c_str(), QStringConverter::Flag::Stateless);
    std::string all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[size_t(b)] = char(b);
    const QString row = DecodeWith(decoder, all);
    if (row.size() != 256)
        return;
    std::array<char16_t, 256> chars{};
    bool undefined = false;
    for (int b = 0; b < 256; ++b) {
        const QString one = DecodeWith(decoder, std::string_view(&all[size_t(b)], 1));
        if (one.size() != 1 || one[0] != row[b])
            return;
        chars[size_t(b)] = row[b].unicode();
    }
    for (int b = 0; b < 256; ++b) {
        if (chars[size_t(b)] != u'\xFFFD')
            continue;
        std::string pairs;
        for (int next = 0; next < 256; ++next) {
            pairs += char(b);
            pairs += char(next);
        }
        if (DecodeWith(decoder, pairs).size() != 512)
            return;
        chars[size_t(b)] = UndefinedByteChar(static_cast<unsigned char>(b));
        undefined = true;
    }
    Entry.SingleByte = true;
    Entry.HasUndefined = undefined;
    Entry.Chars = chars;
    for (int b = 0; b < 256; ++b)
        Entry.Bytes.emplace_back(chars[size_t(b)], char(b));
    // A character two bytes read as saves as the lower of them.
    std::stable_sort(Entry.Bytes.begin(), Entry.Bytes.end(),
                     [](const auto &A, const auto &B) { return A.first < B.first; });
}

// A code page looked up once: every conversion asks, so the kept entry is
// handed out, not a copy. Entries are never removed, so the reference stays
// good after the lock is left.
const TCodePageEntry &CodePageEntry(int CodePage)
{
    static std::mutex lock;
    static std::map<int, TCodePageEntry> cache;
    const std::lock_guard<std::mutex> guard(lock);
    auto found = cache.find(CodePage);
    if (found != cache.end())
        return found->second;
    TCodePageEntry entry;
    if (CodePage > 0) {
        for (const std::string &candidate : CandidateNames(CodePage)) {
            if (QStringDecoder(candidate.c_str()).isValid() &&
                QStringEncoder(candidate.c_str()).isValid()) {
                entry.Name = candidate;
                break;
            }
        }
    }
    if (entry.Name)
        LearnSingleByte(entry);
    return cache.emplace(CodePage, std::move(entry)).first->second;
}

// The byte of a character in a code page of one byte per character, "?"
// when the code page does not hold it.
char SingleByteOf(const TCodePageEntry &Entry, char16_t C)
{
    const auto found = std::lower_bound(
        Entry.Bytes.begin(), Entry.Bytes.end(), C,
        [](const std::pair<char16_t, char> &A, char16_t B) { return A.first < B; });
    return found != Entry.Bytes.end() && found->first == C ? found->second : '?';
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
    return CodePageEntry(CodePage).Name.has_value();
}

bool DecodeCodePage(int CodePage, std::string_view Bytes, std::u16string &Text)
{
    Text.clear();
    const TCodePageEntry &entry = CodePageEntry(CodePage);
    if (!entry.Name)
        return false;
    QStringDecoder decoder(entry.Name->c_str(), QStringConverter::Flag::Stateless);
    const QString wide = DecodeWith(decoder, Bytes);
    Text.assign(reinterpret_cast<const char16_t *>(wide.utf16()), static_cast<size_t>(wide.size()));
    // Bytes the converter does not define (it says so) take our characters.
    if (decoder.hasError() && entry.HasUndefined && Text.size() == Bytes.size()) {
        for (size_t i = 0; i < Text.size(); ++i)
            if (Text[i] == u'\xFFFD')
                Text[i] = entry.Chars[static_cast<unsigned char>(Bytes[i])];
    }
    return true;
}

bool EncodeCodePage(int CodePage, std::u16string_view Text, std::string &Bytes)
{
    Bytes.clear();
    const TCodePageEntry &entry = CodePageEntry(CodePage);
    if (!entry.Name)
        return false;
    Bytes = EncodeWith(*entry.Name, Text);
    std::u16string back;
    DecodeCodePage(CodePage, Bytes, back);
    if (back == Text)
        return true;
    Bytes.clear();
    if (entry.SingleByte) {
        // Every character is in the table of the bytes, ours for the bytes the
        // converter does not define among them; a surrogate pair is one "?".
        Bytes.reserve(Text.size());
        for (size_t i = 0; i < Text.size(); ++i) {
            const bool pair = Text[i] >= 0xD800 && Text[i] < 0xDC00 && i + 1 < Text.size() &&
                              Text[i + 1] >= 0xDC00 && Text[i + 1] < 0xE000;
            Bytes += pair ? '?' : SingleByteOf(entry, Text[i]);
            i += pair ? 1 : 0;
        }
        return true;
    }
    // Some characters have no place in the code page: encode one character
    // (or surrogate pair) at a time and put "?" for those that do not come back.
    for (size_t i = 0; i < Text.size();) {
        const bool pair = Text[i] >= 0xD800 && Text[i] < 0xDC00 && i + 1 < Text.size();
        const std::u16string_view one = Text.substr(i, pair ? 2 : 1);
        const std::string bytes = EncodeWith(*entry.Name, one);
        DecodeCodePage(CodePage, bytes, back);
        Bytes += back == one ? bytes : std::string("?");
        i += one.size();
    }
    return true;
}

} // namespace orv
