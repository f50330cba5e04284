#include "shell/ColourFormat.h"

#include "platform/IniFile.h"

namespace orv {

namespace {
constexpr const char *Section = "EditForm";
constexpr const char *SpaceWord = "SPACE";
} // namespace

std::string TokenKey(char Token, const std::string &Field)
{
    return std::string("Token ") + Token + " " + Field;
}

void TTokenColours::Load(const TIniFile &Ini)
{
    for (int i = 0; i < EditorTokenCount; ++i) {
        const char token = EditorTokens[i];
        TTokenFormat &format = Tokens[i];
        format.Colour = (uint32_t)Ini.ReadInteger(Section, TokenKey(token, "Colour"), ColourBlack);
        format.BackColour =
            (uint32_t)Ini.ReadInteger(Section, TokenKey(token, "BackColour"), ColourWhite);
        format.Style = (uint8_t)(Ini.ReadInteger(Section, TokenKey(token, "Style"), 0) & 3);
    }
    WindowColour = (uint32_t)Ini.ReadInteger(Section, "background colour", ColourWhite);
}

void TTokenColours::Save(TIniFile &Ini) const
{
    Ini.WriteInteger(Section, "background colour", (int32_t)WindowColour);
    for (int i = 0; i < EditorTokenCount; ++i) {
        const char token = EditorTokens[i];
        Ini.WriteInteger(Section, TokenKey(token, "Colour"), (int32_t)Tokens[i].Colour);
        Ini.WriteInteger(Section, TokenKey(token, "BackColour"), (int32_t)Tokens[i].BackColour);
        Ini.WriteInteger(Section, TokenKey(token, "Style"), Tokens[i].Style);
    }
}

std::vector<std::pair<char, TTokenFormat>> TTokenColours::ActiveTokens() const
{
    std::vector<std::pair<char, TTokenFormat>> active;
    for (int i = 0; i < EditorTokenCount; ++i)
        if (!Tokens[i].AtDefaults())
            active.emplace_back(EditorTokens[i], Tokens[i]);
    return active;
}

std::vector<TTokenExtent> TokenExtents(const std::string &Line, char Token,
                                       const std::string &Padding)
{
    if (Token == '(' || Token == '[') {
        if (Line.find(Token) == std::string::npos)
            return {};
        return {{0, (int)Line.size()}};
    }
    return LetterExtents(Line, Token, Padding);
}

std::vector<TFormatSpan> ColourLine(const std::string &Line,
                                    const std::vector<std::pair<char, TTokenFormat>> &Active,
                                    const std::string &Padding)
{
    std::vector<TFormatSpan> spans;
    for (const auto &[token, format] : Active) {
        if (Line.find(token) == std::string::npos)
            continue;
        for (const TTokenExtent &extent : TokenExtents(Line, token, Padding))
            spans.push_back({extent.Start, extent.Length, format});
    }
    return spans;
}

void TEditorFormat::Load(const TIniFile &Ini)
{
    Padding = Ini.ReadString(Section, "padding", SpaceWord);
    if (Padding == SpaceWord)
        Padding = " ";
    LineEnd = Ini.ReadString(Section, "LineEnd", ";");
    Numbering.NumberString = Ini.ReadString(Section, "NumberString", "N");
    Numbering.Start = Ini.ReadInteger(Section, "numberstart", 0);
    Numbering.Increment = Ini.ReadInteger(Section, "numberInc", 1);
    Numbering.Size = Ini.ReadInteger(Section, "NumberSize", 0);
    Formatting = Ini.ReadBool(Section, "formatting", true);
}

void TEditorFormat::Save(TIniFile &Ini) const
{
    Ini.WriteString(Section, "padding", Padding == " " ? SpaceWord : Padding);
    Ini.WriteString(Section, "LineEnd", LineEnd);
    Ini.WriteString(Section, "NumberString", Numbering.NumberString);
    Ini.WriteInteger(Section, "numberstart", Numbering.Start);
    Ini.WriteInteger(Section, "numberInc", Numbering.Increment);
    Ini.WriteInteger(Section, "NumberSize", Numbering.Size);
    Ini.WriteBool(Section, "formatting", Formatting);
    Ini.WriteInteger(Section, "Font size", FontSize);
    Ini.WriteString(Section, "Font name", FontName);
}

} // namespace orv
