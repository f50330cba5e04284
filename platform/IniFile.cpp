#include "platform/IniFile.h"

#include "platform/CodePage.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/SafeSave.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace orv {

namespace {

bool FileStamp(const std::string &Name, int64_t &Stamp, int64_t &Size)
{
    struct stat st {};
    if (::stat(Name.c_str(), &st) != 0)
        return false;
    Stamp = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    Size = static_cast<int64_t>(st.st_size);
    return true;
}

// The whole file; what cannot be read (a folder) reads as nothing.
std::string ReadBytes(const std::string &Name)
{
    std::string bytes;
    std::FILE *f = std::fopen(Name.c_str(), "rb");
    if (!f)
        return bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, got);
    std::fclose(f);
    return bytes;
}

constexpr int Utf8CodePage = 65001;
const std::string Utf8Mark = "\xEF\xBB\xBF";

bool StartsWith(const std::string &Bytes, const char *Mark)
{
    return Bytes.compare(0, std::strlen(Mark), Mark) == 0;
}

// By the byte-order mark, as the platform's ini access tells UTF-16 files
// from byte files.
TIniEncoding DetectEncoding(const std::string &Bytes)
{
    if (StartsWith(Bytes, "\xFF\xFE"))
        return TIniEncoding::Utf16LE;
    if (StartsWith(Bytes, "\xFE\xFF"))
        return TIniEncoding::Utf16BE;
    if (StartsWith(Bytes, Utf8Mark.c_str()))
        return TIniEncoding::Utf8Mark;
    return TIniEncoding::Bytes;
}

bool IsUtf16(TIniEncoding Encoding) { return Encoding >= TIniEncoding::Utf16LE; }
bool IsBigEndian(TIniEncoding Encoding) { return Encoding == TIniEncoding::Utf16BE; }

// The file's bytes as the text the sections are read from: UTF-16 becomes
// UTF-8; other bytes stay as they are, without a UTF-8 mark.
std::string DecodeFile(const std::string &Bytes, TIniEncoding Encoding)
{
    if (Encoding == TIniEncoding::Utf8Mark)
        return Bytes.substr(Utf8Mark.size());
    if (!IsUtf16(Encoding))
        return Bytes;
    size_t start = 2; // the mark
    int high = IsBigEndian(Encoding) ? 0 : 1;
    std::u16string wide;
    for (size_t i = start; i + 1 < Bytes.size(); i += 2)
        wide += char16_t((uint8_t)Bytes[i + high] << 8 | (uint8_t)Bytes[i + 1 - high]);
    std::string text;
    EncodeCodePage(Utf8CodePage, wide, text);
    return text;
}

// The text back in the encoding the file was read in.
std::string EncodeFile(const std::string &Text, TIniEncoding Encoding)
{
    if (Encoding == TIniEncoding::Utf8Mark)
        return Utf8Mark + Text;
    if (!IsUtf16(Encoding))
        return Text;
    std::u16string wide;
    DecodeCodePage(Utf8CodePage, Text, wide);
    wide.insert(wide.begin(), char16_t(0xFEFF));
    bool big = IsBigEndian(Encoding);
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (char16_t c : wide) {
        char hi = char(c >> 8), lo = char(c & 0xFF);
        bytes += big ? hi : lo;
        bytes += big ? lo : hi;
    }
    return bytes;
}

std::string StripLineEnd(std::string Line)
{
    while (!Line.empty() && (Line.back() == '\r' || Line.back() == '\n'))
        Line.pop_back();
    return Line;
}

} // namespace

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)) {}

TIniFile::~TIniFile() = default;

void TIniFile::Load() const
{
    int64_t stamp = -1, size = -1;
    if (!FileStamp(FFileName, stamp, size)) {
        FSections.clear();
        FPreamble.clear();
        FStamp = FSize = -1;
        return;
    }
    if (stamp == FStamp && size == FSize)
        return;
    FSections.clear();
    FPreamble.clear();
    std::string bytes = ReadBytes(FFileName);
    FEncoding = DetectEncoding(bytes);
    std::istringstream in(DecodeFile(bytes, FEncoding));
    std::string line;
    TSection *current = nullptr;
    while (std::getline(in, line)) {
        line = StripLineEnd(line);
        std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[' && trimmed.find(']') != std::string::npos) {
            std::string name = Trim(trimmed.substr(1, trimmed.find(']') - 1));
            FSections.push_back({name, {}});
            current = &FSections.back();
            continue;
        }
        if (!current) {
            FPreamble.push_back(line);
            continue;
        }
        auto eq = line.find('=');
        bool comment = trimmed.empty() || trimmed[0] == ';' || eq == std::string::npos;
        if (comment) {
            current->Entries.push_back({line, "", true});
        } else {
            current->Entries.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)), false});
        }
    }
    FStamp = stamp;
    FSize = size;
}

void TIniFile::Save()
{
    std::ostringstream out;
    for (const auto &l : FPreamble)
        out << l << "\r\n";
    for (const auto &s : FSections) {
        out << '[' << s.Name << "]\r\n";
        for (const auto &e : s.Entries) {
            if (e.IsComment)
                out << e.Key << "\r\n";
            else
                out << e.Key << '=' << e.Value << "\r\n";
        }
    }
    const TSaveResult saved =
        SaveFileReplacing(FFileName, EncodeFile(out.str(), FEncoding), TSaveSync::Cached);
    if (!saved) {
        const std::string what = saved.Failed == TSaveStep::Replace ? "Cannot replace settings file "
                                                                    : "Cannot write settings file ";
        WriteFailed(what + FFileName + ": " + saved.Reason);
        return;
    }
    FLastWriteOk = true;
    FLastError.clear();
    FileStamp(FFileName, FStamp, FSize);
}

void TIniFile::WriteFailed(const std::string &Text)
{
    bool first = FLastWriteOk;
    FLastWriteOk = false;
    FLastError = Text;
    // Every write saves the whole file, so one refusal is reported once per
    // object; what was written stays in memory and goes with the next save.
    if (first)
        MessageDlg("File Error", Text, mtError, mbOK);
}

TIniFile::TSection *TIniFile::FindSection(const std::string &Section) const
{
    for (auto &s : FSections)
        if (SameText(s.Name, Section))
            return &s;
    return nullptr;
}

TIniFile::TEntry *TIniFile::FindEntry(TSection *Section, const std::string &Ident) const
{
    if (!Section)
        return nullptr;
    for (auto &e : Section->Entries)
        if (!e.IsComment && SameText(e.Key, Ident))
            return &e;
    return nullptr;
}

std::string TIniFile::ReadString(const std::string &Section, const std::string &Ident,
                                 const std::string &Default) const
{
    Load();
    TEntry *e = FindEntry(FindSection(Section), Ident);
    return e ? e->Value : Default;
}

void TIniFile::WriteString(const std::string &Section, const std::string &Ident,
                           const std::string &Value)
{
    Load();
    TSection *s = FindSection(Section);
    if (!s) {
        FSections.push_back({Section, {}});
        s = &FSections.back();
    }
    if (TEntry *e = FindEntry(s, Ident)) {
        // The disk already holds this value: nothing to write.
        if (e->Value == Value && FLastWriteOk)
            return;
        e->Value = Value;
    } else {
        // New keys go after the last real key, ahead of trailing blank lines.
        auto pos = s->Entries.end();
        while (pos != s->Entries.begin() && std::prev(pos)->IsComment && Trim(std::prev(pos)->Key).empty())
            --pos;
        s->Entries.insert(pos, {Ident, Value, false});
    }
    Save();
}

int32_t TIniFile::ReadInteger(const std::string &Section, const std::string &Ident,
                              int32_t Default) const
{
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

void TIniFile::WriteInteger(const std::string &Section, const std::string &Ident, int32_t Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TIniFile::ReadBool(const std::string &Section, const std::string &Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string &Section, const std::string &Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TIniFile::ReadFloat(const std::string &Section, const std::string &Ident, double Default) const
{
    double v;
    return TryStrToFloat(ReadString(Section, Ident, ""), v) ? v : Default;
}

void TIniFile::WriteFloat(const std::string &Section, const std::string &Ident, double Value)
{
    WriteString(Section, Ident, FloatToStr(Value));
}

bool TIniFile::SectionExists(const std::string &Section) const
{
    Load();
    return FindSection(Section) != nullptr;
}

bool TIniFile::ValueExists(const std::string &Section, const std::string &Ident) const
{
    Load();
    return FindEntry(FindSection(Section), Ident) != nullptr;
}

std::vector<std::string> TIniFile::ReadSection(const std::string &Section) const
{
    Load();
    std::vector<std::string> keys;
    if (TSection *s = FindSection(Section))
        for (const auto &e : s->Entries)
            if (!e.IsComment)
                keys.push_back(e.Key);
    return keys;
}

std::vector<std::string> TIniFile::ReadSections() const
{
    Load();
    std::vector<std::string> names;
    for (const auto &s : FSections)
        names.push_back(s.Name);
    return names;
}

std::vector<std::string> TIniFile::ReadSectionValues(const std::string &Section) const
{
    Load();
    std::vector<std::string> lines;
    if (TSection *s = FindSection(Section))
        for (const auto &e : s->Entries)
            if (!e.IsComment)
                lines.push_back(e.Key + "=" + e.Value);
    return lines;
}

std::vector<std::string> TIniFile::ReadValues(const std::string &Section, const std::string &Ident) const
{
    Load();
    std::vector<std::string> values;
    if (TSection *s = FindSection(Section))
        for (const auto &e : s->Entries)
            if (!e.IsComment && SameText(e.Key, Ident))
                values.push_back(e.Value);
    return values;
}

void TIniFile::EraseSection(const std::string &Section)
{
    Load();
    bool changed = false;
    for (auto it = FSections.begin(); it != FSections.end();) {
        if (SameText(it->Name, Section)) {
            it = FSections.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    if (changed)
        Save();
}

void TIniFile::DeleteKey(const std::string &Section, const std::string &Ident)
{
    Load();
    TSection *s = FindSection(Section);
    if (!s)
        return;
    auto &entries = s->Entries;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (!it->IsComment && SameText(it->Key, Ident)) {
            entries.erase(it);
            Save();
            return;
        }
    }
}

} // namespace orv
