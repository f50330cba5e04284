#pragma once
// One row of a dictionary table, whatever the file's encoding, and the
// reader that hands rows out. Text fields come out as program text (UTF-8):
// ANSI bytes are decoded with the code page a field is written in, wide
// fields are taken as they are, so no character is lost.

#include "localise/LxParsers.h"

#include <memory>
#include <string>

namespace orv {

class TLxBaseAnsiReader;
class TLxBaseWideReader;

class TLxRow {
public:
    void SetAnsi(std::string Line, bool Convert);
    void SetWide(std::u16string Line, bool Convert);
    bool IsWide() const { return FWide; }
    bool AtEnd() const { return FWide ? FWideParser.AtEnd() : FAnsi.AtEnd(); }
    // TAB characters in the raw line.
    int TabCount() const;

    // ANSI: the field's bytes; wide: the field as program text.
    std::string NextRaw();
    // The field as program text; ANSI bytes decoded with CodePage (0 = the
    // system's ANSI code page).
    std::string NextText(int CodePage = 0);
    // The first character of the field as program text; " " when empty.
    std::string NextCharText(int CodePage = 0);
    int NextInteger();
    int NextIntegerDef(int Default = 0);
    bool NextBoolean();

private:
    bool FWide = false;
    TLxAnsiParser FAnsi;
    TLxWideParser FWideParser;
};

class TLxTableReader {
public:
    explicit TLxTableReader(std::unique_ptr<TLxBaseAnsiReader> Reader);
    explicit TLxTableReader(std::unique_ptr<TLxBaseWideReader> Reader);
    ~TLxTableReader();
    TLxTableReader(const TLxTableReader &) = delete;
    TLxTableReader &operator=(const TLxTableReader &) = delete;

    bool IsWide() const { return FWide != nullptr; }
    bool AtEnd();
    void ReadRow(TLxRow &Row, bool Convert);
    void SkipRow();

private:
    std::unique_ptr<TLxBaseAnsiReader> FAnsi;
    std::unique_ptr<TLxBaseWideReader> FWide;
};

} // namespace orv
