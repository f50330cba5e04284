#include "components/widestrings/WStrList.h"

#include "components/widestrings/Langs.h"
#include "platform/SafeSave.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace orv {

namespace {
// Lower case for comparing, whatever the process's C locale: ASCII,
// Latin-1, Greek and Cyrillic capitals.
char16_t Folded(char16_t C) {
    if ((C >= u'A' && C <= u'Z') || (C >= 0xC0 && C <= 0xDE && C != 0xD7) ||
        (C >= 0x391 && C <= 0x3A9) || (C >= 0x410 && C <= 0x42F))
        return char16_t(C + 0x20);
    if (C >= 0x400 && C <= 0x40F)
        return char16_t(C + 0x50);
    return C;
}

// Holds an update for a scope.
struct TUpdate {
    explicit TUpdate(TWideStrings &L) : List(L) { List.BeginUpdate(); }
    ~TUpdate() { List.EndUpdate(); }
    TWideStrings &List;
};
} // namespace

TWideStrings::TWideStrings() : FLanguage(DefaultLanguage()) {}

void *TWideStrings::GetObject(int) const {
    return nullptr;
}

void TWideStrings::Put(int Index, const std::u16string &S) {
    void *object = GetObject(Index);
    Delete(Index);
    Insert(Index, S);
    PutObject(Index, object);
}

void TWideStrings::PutObject(int, void *) {}

std::u16string TWideStrings::GetTextStr() const {
    std::u16string text;
    for (int i = 0; i < GetCount(); ++i)
        text += Get(i) + u"\r\n";
    return text;
}

void TWideStrings::SetTextStr(const std::u16string &Text) {
    TUpdate update(*this);
    Clear();
    size_t start = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != u'\r' && Text[i] != u'\n')
            continue;
        Add(Text.substr(start, i - start));
        if (Text[i] == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < Text.size())
        Add(Text.substr(start));
}

int TWideStrings::Add(const std::u16string &S) {
    int index = GetCount();
    Insert(index, S);
    return index;
}

int TWideStrings::AddObject(const std::u16string &S, void *Object) {
    int index = Add(S);
    PutObject(index, Object);
    return index;
}

void TWideStrings::AddStrings(const TWideStrings &Other) {
    TUpdate update(*this);
    for (int i = 0; i < Other.GetCount(); ++i)
        AddObject(Other.Get(i), Other.GetObject(i));
}

void TWideStrings::Assign(const TWideStrings &Other) {
    if (&Other == this)
        return;
    TUpdate update(*this);
    Clear();
    AddStrings(Other);
}

void TWideStrings::Assign(const std::vector<std::string> &Other) {
    TUpdate update(*this);
    for (const std::string &s : Other)
        Add(TextToWide(s, LocaleCodePage(DefaultLanguage())));
}

void TWideStrings::Exchange(int A, int B) {
    TUpdate update(*this);
    std::u16string sa = Get(A), sb = Get(B);
    void *oa = GetObject(A), *ob = GetObject(B);
    Put(A, sb);
    PutObject(A, ob);
    Put(B, sa);
    PutObject(B, oa);
}

void TWideStrings::Move(int From, int To) {
    if (From == To)
        return;
    TUpdate update(*this);
    std::u16string s = Get(From);
    void *o = GetObject(From);
    Delete(From);
    Insert(To, s);
    PutObject(To, o);
}

int TWideStrings::IndexOf(const std::u16string &S) const {
    for (int i = 0; i < GetCount(); ++i) {
        std::u16string item = Get(i);
        if (item.size() != S.size())
            continue;
        bool same = true;
        for (size_t k = 0; same && k < S.size(); ++k)
            same = Folded(item[k]) == Folded(S[k]);
        if (same)
            return i;
    }
    return -1;
}

bool TWideStrings::Equals(const TWideStrings &Other) const {
    if (GetCount() != Other.GetCount())
        return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != Other.Get(i))
            return false;
    return true;
}

void TWideStrings::BeginUpdate() {
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TWideStrings::EndUpdate() {
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

bool TWideStrings::LoadFromStream(std::istream &In) {
    std::string bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    size_t at = 0;
    // Our own files start FE FF, the usual mark is FF FE; both hold
    // little-endian units.
    if (bytes.size() >= 2 && ((uint8_t(bytes[0]) == 0xFE && uint8_t(bytes[1]) == 0xFF) ||
                              (uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE)))
        at = 2;
    std::u16string text;
    for (; at + 1 < bytes.size(); at += 2)
        text += char16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
    SetTextStr(text);
    return !In.bad();
}

bool TWideStrings::SaveToStream(std::ostream &Out) const {
    std::string bytes = "\xFE\xFF";
    for (char16_t c : GetTextStr()) {
        bytes += char(c & 0xFF);
        bytes += char(c >> 8);
    }
    Out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(Out);
}

bool TWideStrings::LoadFromFile(const std::string &FileName) {
    std::ifstream in(FileName, std::ios::binary);
    return in && LoadFromStream(in);
}

bool TWideStrings::SaveToFile(const std::string &FileName) const {
    std::ostringstream out;
    return SaveToStream(out) && SaveFileReplacing(FileName, out.str());
}

std::string TWideStrings::WideStringsProperty() const {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (char16_t c : GetTextStr())
        for (int shift = 12; shift >= 0; shift -= 4)
            hex += digits[(c >> shift) & 0xF];
    return hex;
}

namespace {
int HexDigit(char C) {
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}
} // namespace

bool TWideStrings::ReadWideStringsProperty(const std::string &Hex, std::string *Error) {
    std::u16string text;
    for (size_t i = 0; i + 4 <= Hex.size(); i += 4) {
        unsigned unit = 0;
        for (size_t k = i; k < i + 4; ++k) {
            const int digit = HexDigit(Hex[k]);
            if (digit < 0) {
                if (Error)
                    *Error = "Error reading WideStrings: \"" + Hex.substr(i, 4) +
                             "\" is not a hexadecimal character code";
                return false;
            }
            unit = unit << 4 | unsigned(digit);
        }
        text += char16_t(unit);
    }
    SetTextStr(text);
    if (Error)
        Error->clear();
    return true;
}

void TWideStringList::Delete(int Index) {
    FItems.erase(FItems.begin() + Index);
}

void TWideStringList::Insert(int Index, const std::u16string &S) {
    if (Index < 0 || Index >= int(FItems.size()))
        FItems.push_back({S, nullptr});
    else
        FItems.insert(FItems.begin() + Index, {S, nullptr});
}

} // namespace orv
