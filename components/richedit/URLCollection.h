#pragma once
// The rich edit's link schemes (TURLCollection of TURLType) and its own link
// scan: which words of a text are links and of which type, and which type,
// colour and cursor a link under the mouse has. Texts are 16-bit; positions
// are character indexes. No window here: the control applies the result.

#include "platform/CursorService.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

// The window text colour of the colour scheme (a system colour number).
constexpr uint32_t clWindowText = 0xFF000008;

struct TURLType {
    std::string Name;
    uint32_t Color = clWindowText;
    int Cursor = crDefault;
    bool Underline = true;
    void Assign(const TURLType &Source) { *this = Source; }
    std::string GetDisplayName() const { return Name; }
};

// Index 0 is the e-mail type (a word with "@"); the others are schemes
// ("http" matches "HTTP:..." in any case).
class TURLCollection {
public:
    // The twelve default types: "e-mail", "http", "file", "mailto", "ftp",
    // "https", "gopher", "nntp", "prospero", "telnet", "news", "wais".
    TURLCollection();
    int Count() const { return int(FItems.size()); }
    TURLType &Items(int Index) { return FItems.at(size_t(Index)); }
    const TURLType &Items(int Index) const { return FItems.at(size_t(Index)); }
    TURLType &Add();
    void Clear() { FItems.clear(); }
    // Updates the type of that name (exact), or appends one.
    void AddURLType(const std::string &Name, uint32_t Color, bool Underline, int Cursor);

    // The type a word of the scan is a link of, -1 when it is none: the
    // first scheme whose name and ":" begin the word with more after it
    // (any case), else 0 for name "@" dotted domain.
    int LinkTypeOfWord(const std::u16string &Word) const;
    // The type of a link's text under the mouse: a scheme by the lower-case
    // text before a ":" past the first character, else 0 for an "@" past
    // the first character; -1 when none.
    int TypeOfURL(const std::u16string &URL) const;
    // The cursor over a link of Type (-1: none matched): the type's cursor,
    // else URLCursor, else the hand point; URLCursor without a type.
    int CursorOf(int Type, int URLCursor) const;
    // The colour of a link of Type: the type's, or URLColor when the type
    // keeps the window text colour.
    uint32_t ColorOf(int Type, uint32_t URLColor) const;

private:
    std::vector<TURLType> FItems;
};

// "." "/" ":" "@" "\" digits and ASCII letters; anything else ends a word.
bool IsLinkChar(char16_t C);
// Moves Start back and End forward over link characters.
void WidenToLinkWords(const std::u16string &Text, int &Start, int &End);

struct TLinkWord {
    int Start = 0;
    int Length = 0;
    int Type = -1; // -1: a word that is no link
};
// Every word of Text[Start, End) (clamped), links and others, in order.
std::vector<TLinkWord> ScanLinkWords(const std::u16string &Text, int Start, int End,
                                     const TURLCollection &Types);

} // namespace orv
