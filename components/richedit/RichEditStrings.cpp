#include "components/richedit/RichEditStrings.h"

#include "components/richedit/RichEditW.h"
#include "components/widestrings/WStrList.h"
#include "platform/SafeSave.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <istream>
#include <map>
#include <ostream>
#include <sstream>

namespace orv {

namespace {

std::map<std::string, TConversionFactory> &Conversions()
{
    static std::map<std::string, TConversionFactory> formats = {
        {"rtf", [] { return std::make_unique<TConversion>(); }},
        {"txt", [] { return std::make_unique<TConversion>(); }},
    };
    return formats;
}

std::string Lower(std::string Text)
{
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char C) { return char(std::tolower(C)); });
    return Text;
}

std::u16string ToU16(const QString &Text) { return Text.toStdU16String(); }

} // namespace

int TConversion::ConvertReadStream(std::istream &In, char *Buffer, int Size)
{
    In.read(Buffer, Size);
    return In.bad() ? -1 : int(In.gcount());
}

int TConversion::ConvertWriteStream(std::ostream &Out, const char *Buffer, int Size)
{
    Out.write(Buffer, Size);
    return Out ? Size : -1;
}

void TRichEditStringsW::RegisterConversionFormat(const std::string &Extension,
                                                 TConversionFactory Factory)
{
    Conversions()[Lower(Extension)] = std::move(Factory);
}

std::unique_ptr<TConversion> TRichEditStringsW::ConversionFor(const std::string &FileName)
{
    std::string extension = std::filesystem::path(FileName).extension().string();
    if (!extension.empty())
        extension.erase(0, 1);
    const auto it = Conversions().find(Lower(extension));
    if (it == Conversions().end() || !it->second)
        return std::make_unique<TConversion>();
    return it->second();
}

int TRichEditStringsW::GetCount() const
{
    const int count = FEditor.LineCount();
    return count > 0 && FEditor.WideLines().Get(count - 1).empty() ? count - 1 : count;
}

std::string TRichEditStringsW::Get(int Index) const
{
    return FEditor.Narrow(QString::fromStdU16String(FEditor.WideLines().Get(Index)));
}

void TRichEditStringsW::Put(int Index, const std::string &S)
{
    FEditor.WideLines().Put(Index, ToU16(FEditor.Widen(S)));
}

void TRichEditStringsW::Insert(int Index, const std::string &S)
{
    FEditor.WideLines().Insert(Index, ToU16(FEditor.Widen(S)));
}

int TRichEditStringsW::Add(const std::string &S)
{
    const int index = GetCount();
    Insert(index, S);
    return index;
}

void TRichEditStringsW::Delete(int Index) { FEditor.WideLines().Delete(Index); }

void TRichEditStringsW::Clear() { FEditor.clear(); }

std::string TRichEditStringsW::GetTextStr() const
{
    std::string text;
    for (int i = 0; i < GetCount(); ++i)
        text += Get(i) + "\r\n";
    return text;
}

void TRichEditStringsW::SetTextStr(const std::string &Text)
{
    ++FEditor.FChangeOff;
    BeginUpdate();
    FEditor.WideLines().SetTextStr(ToU16(FEditor.Widen(Text)));
    EndUpdate();
    --FEditor.FChangeOff;
}

std::vector<std::string> TRichEditStringsW::Strings() const
{
    std::vector<std::string> strings;
    for (int i = 0; i < GetCount(); ++i)
        strings.push_back(Get(i));
    return strings;
}

void TRichEditStringsW::AddStrings(const std::vector<std::string> &Strings)
{
    std::function<void()> selectionChange = std::move(FEditor.OnSelectionChange);
    FEditor.OnSelectionChange = nullptr;
    BeginUpdate();
    for (const std::string &s : Strings)
        Add(s);
    EndUpdate();
    FEditor.OnSelectionChange = std::move(selectionChange);
}

void TRichEditStringsW::Assign(const std::vector<std::string> &Strings)
{
    BeginUpdate();
    Clear();
    AddStrings(Strings);
    EndUpdate();
}

void TRichEditStringsW::Assign(const TRichEditStringsW &Source)
{
    if (&Source != this)
        Assign(Source.Strings());
}

void TRichEditStringsW::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        FEditor.viewport()->setUpdatesEnabled(false);
}

void TRichEditStringsW::EndUpdate()
{
    if (FUpdateCount == 0 || --FUpdateCount > 0)
        return;
    FEditor.viewport()->setUpdatesEnabled(true);
    FEditor.viewport()->update();
}

bool TRichEditStringsW::LoadFromStream(std::istream &In) { return FEditor.LoadFromStream(In); }

bool TRichEditStringsW::SaveToStream(std::ostream &Out) { return FEditor.SaveToStream(Out); }

bool TRichEditStringsW::LoadFromFile(const std::string &FileName)
{
    std::ifstream in(FileName, std::ios::binary);
    if (!in || std::filesystem::is_directory(FileName)) {
        FEditor.StreamError = "Cannot open file " + FileName;
        return false;
    }
    const std::unique_ptr<TConversion> conversion = ConversionFor(FileName);
    return FEditor.LoadFromStream(in, conversion.get());
}

bool TRichEditStringsW::SaveToFile(const std::string &FileName, const std::string &Ending)
{
    // The whole file is made in memory first, so a conversion or a disk that
    // fails part way leaves the old file as it was.
    std::ostringstream out;
    const std::unique_ptr<TConversion> conversion = ConversionFor(FileName);
    if (!FEditor.SaveToStream(out, conversion.get()))
        return false;
    out << Ending;
    const TSaveResult saved = SaveFileReplacing(FileName, out.str());
    if (!saved) {
        FEditor.StreamError = saved.Failed == TSaveStep::Create ? "Cannot create file " + FileName
                                                                : "Failed to Save Stream";
        return false;
    }
    return true;
}

} // namespace orv
