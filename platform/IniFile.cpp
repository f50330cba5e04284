#include "platform/IniFile.h"

#include "platform/NumberText.h"

#include <cstdio>
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
    std::ifstream in(FFileName, std::ios::binary);
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
    std::string tmp = FFileName + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f << out.str();
        f.flush();
        if (!f) {
            FLastWriteOk = false;
            FLastError = "Cannot write settings file " + FFileName;
            std::remove(tmp.c_str());
            return;
        }
    }
    if (std::rename(tmp.c_str(), FFileName.c_str()) != 0) {
        FLastWriteOk = false;
        FLastError = "Cannot replace settings file " + FFileName;
        std::remove(tmp.c_str());
        return;
    }
    FLastWriteOk = true;
    FLastError.clear();
    FileStamp(FFileName, FStamp, FSize);
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
