#include "components/richedit/URLCollection.h"

#include <algorithm>

namespace orv {

namespace {

char16_t Upper(char16_t C) { return C >= u'a' && C <= u'z' ? char16_t(C - 32) : C; }
char16_t Lower(char16_t C) { return C >= u'A' && C <= u'Z' ? char16_t(C + 32) : C; }

// Does Word begin with Name (ASCII, any case)?
bool StartsWithName(const std::u16string &Word, const std::string &Name)
{
    if (Word.size() < Name.size())
        return false;
    for (size_t i = 0; i < Name.size(); ++i)
        if (Upper(Word[i]) != Upper(char16_t(uint8_t(Name[i]))))
            return false;
    return true;
}

// "name@domain.x": the first "@" neither first nor last, and the first "."
// after it not right after it.
bool IsMailWord(const std::u16string &Word)
{
    const size_t at = Word.find(u'@');
    if (at == std::u16string::npos || at == 0 || at + 1 >= Word.size())
        return false;
    const size_t dot = Word.find(u'.', at + 1);
    return dot != std::u16string::npos && dot > at + 1;
}

} // namespace

TURLCollection::TURLCollection()
{
    for (const char *name : {"e-mail", "http", "file", "mailto", "ftp", "https", "gopher", "nntp",
                             "prospero", "telnet", "news", "wais"})
        Add().Name = name;
}

TURLType &TURLCollection::Add()
{
    FItems.emplace_back();
    return FItems.back();
}

void TURLCollection::AddURLType(const std::string &Name, uint32_t Color, bool Underline,
                                int Cursor)
{
    auto it = std::find_if(FItems.begin(), FItems.end(),
                           [&](const TURLType &T) { return T.Name == Name; });
    TURLType &type = it == FItems.end() ? Add() : *it;
    type.Name = Name;
    type.Color = Color;
    type.Underline = Underline;
    type.Cursor = Cursor;
}

int TURLCollection::LinkTypeOfWord(const std::u16string &Word) const
{
    for (int i = 1; i < Count(); ++i) {
        const std::string &name = FItems[size_t(i)].Name;
        if (Word.size() > name.size() + 1 && StartsWithName(Word, name) &&
            Word[name.size()] == u':')
            return i;
    }
    return Count() > 0 && IsMailWord(Word) ? 0 : -1;
}

int TURLCollection::TypeOfURL(const std::u16string &URL) const
{
    const size_t colon = URL.find(u':');
    if (colon != std::u16string::npos && colon > 0) {
        std::string scheme;
        for (size_t i = 0; i < colon; ++i)
            scheme += char(Lower(URL[i]) < 0x80 ? Lower(URL[i]) : '?');
        for (int i = 1; i < Count(); ++i)
            if (FItems[size_t(i)].Name == scheme)
                return i;
        return -1;
    }
    const size_t at = URL.find(u'@');
    return at != std::u16string::npos && at > 0 && Count() > 0 ? 0 : -1;
}

int TURLCollection::CursorOf(int Type, int URLCursor) const
{
    if (Type < 0 || Type >= Count())
        return URLCursor;
    if (FItems[size_t(Type)].Cursor != crDefault)
        return FItems[size_t(Type)].Cursor;
    return URLCursor != crDefault ? URLCursor : crHandPoint;
}

uint32_t TURLCollection::ColorOf(int Type, uint32_t URLColor) const
{
    if (Type < 0 || Type >= Count() || FItems[size_t(Type)].Color == clWindowText)
        return URLColor;
    return FItems[size_t(Type)].Color;
}

bool IsLinkChar(char16_t C)
{
    return C == u'.' || C == u'/' || C == u':' || C == u'@' || C == u'\\' ||
           (C >= u'0' && C <= u'9') || (C >= u'A' && C <= u'Z') || (C >= u'a' && C <= u'z');
}

void WidenToLinkWords(const std::u16string &Text, int &Start, int &End)
{
    const int size = int(Text.size());
    Start = std::clamp(Start, 0, size);
    End = std::clamp(End, 0, size);
    while (Start > 0 && IsLinkChar(Text[size_t(Start - 1)]))
        --Start;
    while (End < size && IsLinkChar(Text[size_t(End)]))
        ++End;
}

std::vector<TLinkWord> ScanLinkWords(const std::u16string &Text, int Start, int End,
                                     const TURLCollection &Types)
{
    std::vector<TLinkWord> words;
    const int end = std::clamp(End, 0, int(Text.size()));
    int at = std::clamp(Start, 0, end);
    while (at < end) {
        while (at < end && !IsLinkChar(Text[size_t(at)]))
            ++at;
        const int first = at;
        while (at < end && IsLinkChar(Text[size_t(at)]))
            ++at;
        if (at == first)
            break;
        const std::u16string word = Text.substr(size_t(first), size_t(at - first));
        words.push_back({first, at - first, Types.LinkTypeOfWord(word)});
    }
    return words;
}

} // namespace orv
