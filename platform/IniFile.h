#pragma once
// Ini files as every settings file of the suite stores them: "[Section]"
// headers and "Key=Value" lines. Section and key names compare without case;
// keys stay in file order; duplicate keys are kept and readable in order;
// bytes outside ASCII pass through untouched; numbers use "." always. A
// file in UTF-16 (either byte order, with its byte-order mark) or with a
// UTF-8 mark is read as UTF-8 text and written back in its own encoding.
// Every write goes to disk at once, and every read sees what another
// TIniFile on the same file wrote, as the platform's ini access does.

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

// How a settings file was stored; it is written back the same way.
enum class TIniEncoding { Bytes, Utf8Mark, Utf16LE, Utf16BE };

class TIniFile {
public:
    explicit TIniFile(std::string FileName);
    virtual ~TIniFile();

    const std::string &FileName() const { return FFileName; }

    std::string ReadString(const std::string &Section, const std::string &Ident,
                           const std::string &Default) const;
    void WriteString(const std::string &Section, const std::string &Ident, const std::string &Value);

    // Integers: the value text parsed whole, else Default.
    int32_t ReadInteger(const std::string &Section, const std::string &Ident, int32_t Default) const;
    void WriteInteger(const std::string &Section, const std::string &Ident, int32_t Value);

    // Booleans are stored as 1 and 0; any non-zero integer reads as true.
    bool ReadBool(const std::string &Section, const std::string &Ident, bool Default) const;
    void WriteBool(const std::string &Section, const std::string &Ident, bool Value);

    // Reals with "." as separator; a text that is no number gives Default.
    double ReadFloat(const std::string &Section, const std::string &Ident, double Default) const;
    void WriteFloat(const std::string &Section, const std::string &Ident, double Value);

    bool SectionExists(const std::string &Section) const;
    bool ValueExists(const std::string &Section, const std::string &Ident) const;

    // Key names of a section in file order (duplicates listed each time).
    std::vector<std::string> ReadSection(const std::string &Section) const;
    // Section names in file order.
    std::vector<std::string> ReadSections() const;
    // "Key=Value" lines of a section in file order, duplicates included.
    std::vector<std::string> ReadSectionValues(const std::string &Section) const;
    // Every value of a key that occurs more than once, in file order.
    std::vector<std::string> ReadValues(const std::string &Section, const std::string &Ident) const;

    void EraseSection(const std::string &Section);
    void DeleteKey(const std::string &Section, const std::string &Ident);

    // Writes are immediate; kept for callers written against buffered files.
    void UpdateFile() {}

    // False after a write that could not reach the disk (read-only folder,
    // full disk); the message names the file and the reason. The first
    // refused write of an object is shown as a "File Error" message.
    bool LastWriteOk() const { return FLastWriteOk; }
    const std::string &LastError() const { return FLastError; }
    TIniEncoding Encoding() const { return FEncoding; }

protected:
    struct TEntry {
        std::string Key;
        std::string Value;
        bool IsComment = false; // a line kept verbatim (comment or junk)
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };

    void Load() const;
    void Save();
    TSection *FindSection(const std::string &Section) const;
    TEntry *FindEntry(TSection *Section, const std::string &Ident) const;

private:
    void WriteFailed(const std::string &Text);

    std::string FFileName;
    mutable std::vector<TSection> FSections;
    mutable std::vector<std::string> FPreamble; // lines before the first section
    mutable int64_t FStamp = -1;                 // modification stamp of the loaded copy
    mutable int64_t FSize = -1;
    mutable TIniEncoding FEncoding = TIniEncoding::Bytes;
    bool FLastWriteOk = true;
    std::string FLastError;
};

} // namespace orv
