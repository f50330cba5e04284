// Colour formatting: which characters of a line each token colours, the
// active tokens and the keys of the format file.

#include "shell/ColourFormat.h"
#include "platform/IniFile.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

std::vector<std::pair<char, TTokenFormat>> Active(const std::string &Tokens)
{
    TTokenColours colours;
    for (char t : Tokens)
        colours.Tokens[std::string(EditorTokens).find(t)].Colour = ColourRed;
    return colours.ActiveTokens();
}

// Spans as "start+length" in token order.
std::vector<std::string> Spans(const std::string &Line, const std::string &Tokens,
                               const std::string &Padding)
{
    std::vector<std::string> out;
    for (const TFormatSpan &s : ColourLine(Line, Active(Tokens), Padding))
        out.push_back(std::to_string(s.Start) + "+" + std::to_string(s.Length));
    return out;
}

TEST(ColourFormat, TokenExtents)
{
    struct {
        const char *Name;
        std::string Line, Tokens, Padding;
        std::vector<std::string> Spans;
    } cases[] = {
        {"G01 X-12.5, the blank between stays", "G01 X-12.5", "GX", " ", {"0+3", "4+6"}},
        {"the same with an empty padding", "G01 X-12.5", "GX", "", {"0+3", "4+6"}},
        {"X 10 with a blank padding", "G1 X 10", "X", " ", {"3+4"}},
        {"216 in a number", "X\xD8" "12", "X", " ", {"0+4"}},
        {"a comment line keeps its letters", "(G1 X10", "GX", " ", {}},
        {"the whole comment line in the ( colours", "(G1 X10", "G(", " ", {"0+7"}},
        {"( later in the line too", "G1 (X10", "(", " ", {"0+7"}},
        {"lower case g1 untouched by the pass", "g1 x10", "GX", " ", {}},
        {"present once, every word found case-blind", "G1 g2", "G", " ", {"0+2", "3+2"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Spans(c.Line, c.Tokens, c.Padding), c.Spans);
    }
}

TEST(ColourFormat, TokensAtTheirDefaultsAreNeverColoured)
{
    TTokenColours colours;
    EXPECT_TRUE(colours.ActiveTokens().empty());
    EXPECT_TRUE(ColourLine("G1 X10", colours.ActiveTokens(), " ").empty());
    colours.Tokens[0].Style = 1;
    ASSERT_EQ(colours.ActiveTokens().size(), 1u);
    EXPECT_EQ(colours.ActiveTokens()[0].first, 'G');
}

TEST(ColourFormat, FormatFileKeys)
{
    EXPECT_EQ(TokenKey('G', "Colour"), "Token G Colour");
    EXPECT_EQ(TokenKey('(', "BackColour"), "Token ( BackColour");
    test::TTempDir dir;
    TIniFile ini(dir.File("format.ncf"));
    TEditorFormat format;
    format.Padding = " ";
    format.LineEnd = "%;";
    format.Numbering = {"N", 10, 5, 3, false};
    format.Save(ini);
    EXPECT_EQ(ini.ReadString("EditForm", "padding", ""), "SPACE");
    TTokenColours colours;
    colours.Tokens[0] = {ColourRed, 65535, 3};
    colours.WindowColour = 123;
    colours.Save(ini);
    EXPECT_EQ(ini.ReadInteger("EditForm", "Token G Colour", -1), 255);
    EXPECT_EQ(ini.ReadInteger("EditForm", "Token G Style", -1), 3);

    TEditorFormat read;
    read.Padding = "?";
    read.Load(ini);
    EXPECT_EQ(read.Padding, " ");
    EXPECT_EQ(read.LineEnd, "%;");
    EXPECT_EQ(read.Numbering.Start, 10);
    EXPECT_EQ(read.Numbering.Increment, 5);
    EXPECT_EQ(read.Numbering.Size, 3);
    TTokenColours back;
    back.Load(ini);
    EXPECT_EQ(back.Tokens[0], (TTokenFormat{ColourRed, 65535, 3}));
    EXPECT_EQ(back.WindowColour, 123u);
    EXPECT_TRUE(back.Tokens[1].AtDefaults());
}

} // namespace
} // namespace orv
