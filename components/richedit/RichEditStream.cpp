// The rich edit's streams: plain text, 16-bit units and the control's own
// RTF (text, paragraphs, tabs and characters outside ASCII as \u escapes;
// fonts and colours are read past).

#include "components/richedit/RichEditW.h"
#include "components/richedit/RichEditStrings.h"
#include "components/widestrings/Langs.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>
#include <string>

namespace orv {

namespace {

constexpr int BlockSize = 4096;

// CR LF, CR and LF each end a paragraph.
QString FromLineEnds(QString Text) {
    Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text.replace(u'\r', u'\n');
    return Text;
}

std::string ToUnits(const QString &Text) {
    std::string bytes;
    bytes.reserve(size_t(Text.size()) * 2);
    for (QChar c : Text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

bool FromUnits(const std::string &Bytes, QString &Text) {
    // The usual mark FF FE, or FE FF as the wide string lists write it:
    // both begin little-endian units.
    const bool mark = Bytes.size() >= 2 && ((uint8_t(Bytes[0]) == 0xFF && uint8_t(Bytes[1]) == 0xFE) ||
                                            (uint8_t(Bytes[0]) == 0xFE && uint8_t(Bytes[1]) == 0xFF));
    size_t at = mark ? 2 : 0;
    if ((Bytes.size() - at) % 2 != 0)
        return false;
    Text.clear();
    for (; at < Bytes.size(); at += 2)
        Text += QChar(char16_t(uint8_t(Bytes[at]) | uint8_t(Bytes[at + 1]) << 8));
    return true;
}

std::string WriteRtf(const QString &Text, int CodePage, const QString &Font, int Points,
                     bool Plain) {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg" + std::to_string(CodePage ? CodePage : 1252) + "\\deff0";
    if (!Plain)
        rtf += "{\\fonttbl{\\f0 " + Font.toStdString() + ";}}";
    rtf += "\\uc1\\pard\\f0\\fs" + std::to_string(Points * 2) + " ";
    for (QChar c : Text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}')
            rtf += std::string("\\") + char(u);
        else if (u == '\n')
            rtf += "\\par\r\n";
        else if (u == '\t')
            rtf += "\\tab ";
        else if (u >= 0x20 && u < 0x7F)
            rtf += char(u);
        else
            rtf += "\\u" + std::to_string(int(int16_t(u))) + "?";
    }
    return rtf + "}";
}

// Reads RTF text; false when Bytes is no RTF or its groups do not close.
bool ReadRtf(const std::string &Bytes, QString &Text) {
    if (Bytes.rfind("{\\rtf", 0) != 0)
        return false;
    Text.clear();
    int depth = 0, skipDepth = 0, codePage = 1252, skipChars = 0;
    size_t i = 0;
    auto put = [&](QChar C) {
        if (skipChars > 0)
            --skipChars;
        else if (skipDepth == 0)
            Text += C;
    };
    while (i < Bytes.size()) {
        const char c = Bytes[i++];
        if (c == '{') {
            ++depth;
            if (Bytes.compare(i, 2, "\\*") == 0 && skipDepth == 0)
                skipDepth = depth;
        } else if (c == '}') {
            if (depth == skipDepth)
                skipDepth = 0;
            if (--depth == 0)
                return i == Bytes.size() ||
                       Bytes.find_first_not_of("\r\n\0", i, 3) == std::string::npos;
        } else if (c == '\r' || c == '\n') {
        } else if (c != '\\') {
            put(QChar(char16_t(uint8_t(c))));
        } else if (i < Bytes.size() && !std::isalpha(uint8_t(Bytes[i]))) {
            const char s = Bytes[i++];
            if (s == '\'') {
                if (i + 2 > Bytes.size() || !std::isxdigit(uint8_t(Bytes[i])) ||
                    !std::isxdigit(uint8_t(Bytes[i + 1])))
                    return false;
                const std::string byte(1, char(std::stoi(Bytes.substr(i, 2), nullptr, 16)));
                i += 2;
                const std::u16string wide = TextToWide(byte, codePage);
                put(wide.empty() ? QChar(u'?') : QChar(wide[0]));
            } else if (s == '~') {
                put(QChar(u'\u00A0'));
            } else if (s == '\\' || s == '{' || s == '}') {
                put(QChar(char16_t(s)));
            }
        } else {
            size_t start = i;
            while (i < Bytes.size() && std::isalpha(uint8_t(Bytes[i])))
                ++i;
            const std::string word = Bytes.substr(start, i - start);
            start = i;
            if (i < Bytes.size() && (Bytes[i] == '-' || std::isdigit(uint8_t(Bytes[i]))))
                ++i;
            while (i < Bytes.size() && std::isdigit(uint8_t(Bytes[i])))
                ++i;
            const bool hasValue = i > start && std::isdigit(uint8_t(Bytes[i - 1]));
            if (i - start > 9)
                return false;
            const int value = hasValue ? std::stoi(Bytes.substr(start, i - start)) : 0;
            if (i < Bytes.size() && Bytes[i] == ' ')
                ++i;
            if (word == "par" || word == "line") {
                put(QChar(u'\n'));
            } else if (word == "tab") {
                put(QChar(u'\t'));
            } else if (word == "u" && hasValue) {
                put(QChar(char16_t(value < 0 ? value + 65536 : value)));
                skipChars = 1;
            } else if (word == "ansicpg" && hasValue) {
                codePage = value;
            } else if ((word == "fonttbl" || word == "colortbl" || word == "stylesheet" ||
                        word == "info" || word == "pict") &&
                       skipDepth == 0) {
                skipDepth = depth;
            }
        }
    }
    return false;
}

} // namespace

bool TRichEditW::LoadFromStream(std::istream &In, TConversion *Conversion) {
    StreamError.clear();
    In.seekg(0, std::ios::end);
    const std::streamoff end = In.tellg();
    In.clear();
    In.seekg(0, std::ios::beg);
    In.clear();
    const int size = end > 0 ? int(end) : 0;
    TConversion plain;
    TConversion &conversion = Conversion ? *Conversion : plain;
    std::string bytes;
    char block[BlockSize];
    bool read = true;
    for (int n = 1; n > 0;) {
        if (OnLoadProgress)
            OnLoadProgress(int(bytes.size()), size);
        n = conversion.ConvertReadStream(In, block, BlockSize);
        read = n >= 0;
        if (n > 0)
            bytes.append(block, size_t(n));
    }
    QString text;
    if (read && InputFormat == ifUnicode)
        read = FromUnits(bytes, text);
    else if (read && !(InputFormat == ifRTF && ReadRtf(bytes, text)))
        text = Widen(bytes);
    if (!read) {
        StreamError = "Failed to Load Stream";
        return false;
    }
    // A new text takes the caret's format: never that of a link.
    if (currentCharFormat().isAnchor()) {
        QTextCharFormat format = currentCharFormat();
        format.setAnchor(false);
        format.setFontUnderline(false);
        format.clearForeground();
        setCurrentCharFormat(format);
    }
    FLoading = true;
    setPlainText(FromLineEnds(text));
    FLoading = false;
    if (FAutoURLDetect != adNone)
        ScanLinks(0, TextLength());
    return true;
}

bool TRichEditW::SaveToStream(std::ostream &Out, TConversion *Conversion) {
    StreamError.clear();
    QString text = SelectedInOut ? QString::fromStdU16String(GetWideSelText()) : PlainText();
    std::string bytes;
    if (OutputFormat == ofRTF || OutputFormat == ofRTFNoObjs) {
        const QFont font = document()->defaultFont();
        bytes = WriteRtf(text, FCodePage, font.family(), std::max(1, font.pointSize()), PlainRTF);
    } else {
        text.replace(u'\n', QStringLiteral("\r\n"));
        bytes = OutputFormat == ofUnicode ? ToUnits(text) : Narrow(text);
    }
    TConversion plain;
    TConversion &conversion = Conversion ? *Conversion : plain;
    bool written = bool(Out);
    for (size_t at = 0; at < bytes.size() && written; at += BlockSize) {
        const int n = int(std::min(bytes.size() - at, size_t(BlockSize)));
        written = conversion.ConvertWriteStream(Out, bytes.data() + at, n) == n;
        if (written && OnSaveProgress)
            OnSaveProgress(int(at) + n, int(bytes.size()));
    }
    if (!written) {
        StreamError = "Failed to Save Stream";
        return false;
    }
    return true;
}

} // namespace orv
