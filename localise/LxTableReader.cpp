#include "localise/LxTableReader.h"

#include "localise/LxReaders.h"

#include <algorithm>

namespace orv {

namespace {

std::string FirstCharacter(const std::string &Text)
{
    if (Text.empty())
        return " ";
    size_t length = 1;
    while (length < Text.size() && (static_cast<unsigned char>(Text[length]) & 0xC0) == 0x80)
        ++length;
    return Text.substr(0, length);
}

} // namespace

void TLxRow::SetAnsi(std::string Line, bool Convert)
{
    FWide = false;
    FAnsi.SetConvert(Convert);
    FAnsi.SetText(std::move(Line));
}

void TLxRow::SetWide(std::u16string Line, bool Convert)
{
    FWide = true;
    FWideParser.SetConvert(Convert);
    FWideParser.SetText(std::move(Line));
}

int TLxRow::TabCount() const
{
    if (FWide)
        return static_cast<int>(
            std::count(FWideParser.Text().begin(), FWideParser.Text().end(), u'\t'));
    return static_cast<int>(std::count(FAnsi.Text().begin(), FAnsi.Text().end(), '\t'));
}

std::string TLxRow::NextRaw()
{
    return FWide ? FWideParser.NextTextField() : FAnsi.NextField();
}

std::string TLxRow::NextText(int CodePage)
{
    return FWide ? FWideParser.NextTextField() : AnsiToText(FAnsi.NextField(), CodePage);
}

std::string TLxRow::NextCharText(int CodePage)
{
    return FirstCharacter(NextText(CodePage));
}

int TLxRow::NextInteger()
{
    return FWide ? FWideParser.NextInteger() : FAnsi.NextInteger();
}

int TLxRow::NextIntegerDef(int Default)
{
    return FWide ? FWideParser.NextIntegerDef(Default) : FAnsi.NextIntegerDef(Default);
}

bool TLxRow::NextBoolean()
{
    return FWide ? FWideParser.NextBoolean() : FAnsi.NextBoolean();
}

TLxTableReader::TLxTableReader(std::unique_ptr<TLxBaseAnsiReader> Reader) : FAnsi(std::move(Reader))
{
    FAnsi->Open();
}

TLxTableReader::TLxTableReader(std::unique_ptr<TLxBaseWideReader> Reader) : FWide(std::move(Reader))
{
    FWide->Open();
}

TLxTableReader::~TLxTableReader() = default;

bool TLxTableReader::AtEnd()
{
    return FWide ? FWide->AtEnd() : FAnsi->AtEnd();
}

void TLxTableReader::ReadRow(TLxRow &Row, bool Convert)
{
    if (FWide)
        Row.SetWide(FWide->ReadLine(), Convert);
    else
        Row.SetAnsi(FAnsi->ReadLine(), Convert);
}

void TLxTableReader::SkipRow()
{
    if (FWide)
        FWide->ReadLine();
    else
        FAnsi->ReadLine();
}

} // namespace orv
