#pragma once
// The editor's colour formatting and its format file: per address letter a
// text colour, background and style, the spans of a line those colours
// cover, and the editor's format settings (padding, line-end token, block
// numbering) with their keys in section "EditForm" of the format file.
// Colours are Windows colour numbers (red 255, white 16777215).

#include "shell/EditorCommands.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

class TIniFile;

// The twelve tokens in their order, numbered 1 to 12.
constexpr const char *EditorTokens = "GMTFSXYZIJ([";
constexpr int EditorTokenCount = 12;
constexpr uint32_t ColourBlack = 0;
constexpr uint32_t ColourRed = 255;
constexpr uint32_t ColourWhite = 16777215;

// Style bits: 1 bold, 2 italic.
struct TTokenFormat {
    uint32_t Colour = ColourBlack;
    uint32_t BackColour = ColourWhite;
    uint8_t Style = 0;

    bool AtDefaults() const
    {
        return Colour == ColourBlack && BackColour == ColourWhite && Style == 0;
    }
    bool operator==(const TTokenFormat &) const = default;
};

// The highlight of the Hi Light menu: bold red on white.
constexpr TTokenFormat HighlightFormat{ColourRed, ColourWhite, 1};

// Key of a token's field: "Token G Colour", "Token ( BackColour".
std::string TokenKey(char Token, const std::string &Field);

struct TTokenColours {
    std::array<TTokenFormat, EditorTokenCount> Tokens{};
    uint32_t WindowColour = ColourWhite; // "background colour"

    void Load(const TIniFile &Ini);
    void Save(TIniFile &Ini) const;
    // The tokens not at their defaults, in token order.
    std::vector<std::pair<char, TTokenFormat>> ActiveTokens() const;
};

// A run of characters of a line and the format it takes.
struct TFormatSpan {
    int Start = 0;
    int Length = 0;
    TTokenFormat Format;
};

// Where one token lies in a line: for "(" and "[" the whole line when the
// character occurs anywhere; for letters every word of the letter (found
// case-blind) unless the line is a comment or keyword line.
std::vector<TTokenExtent> TokenExtents(const std::string &Line, char Token,
                                       const std::string &Padding);

// The spans of a line in the whole-text pass: each active token whose
// character occurs in the line as written (case matters here), in token
// order, so a later token's span lies over an earlier one's.
std::vector<TFormatSpan> ColourLine(const std::string &Line,
                                    const std::vector<std::pair<char, TTokenFormat>> &Active,
                                    const std::string &Padding);

// The format settings of the editor window.
struct TEditorFormat {
    std::string Padding = " "; // stored as "SPACE" when it is one blank
    std::string LineEnd = ";";
    TNumbering Numbering;
    bool Formatting = true;
    int FontSize = 10;
    std::string FontName;

    void Load(const TIniFile &Ini);
    void Save(TIniFile &Ini) const;
};

} // namespace orv
