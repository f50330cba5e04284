// The editor's rewriting commands on lines: numbering, padding, line-end
// tokens, case and the alteration of values.

#include "shell/EditorCommands.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct TRenumberCase {
    const char *Name;
    TLines In;
    TNumbering Numbering;
    std::string Padding;
    TLines Out;
};

TEST(EditorCommands, Renumber)
{
    const TRenumberCase cases[] = {
        {"comment line gets no number and uses none",
         {"G1 X10", "(ROUGH", "G1 X20"}, {"N", 10, 10, 0, false}, " ",
         {"N10 G1 X10", "(ROUGH", "N20 G1 X20"}},
        {"old number replaced, size 4", {"N0005G1"}, {"N", 1, 1, 4, false}, " ", {"N0001 G1"}},
        {"remove flag drops numbers and empty lines", {"N10 G1", "", "N20 G0 X5"},
         {"N", 0, 1, 0, true}, " ", {"G1", "G0 X5"}},
        {"a line of only removed characters", {"N10", "G1"}, {"N", 5, 5, 0, false}, " ",
         {"N5", "N10 G1"}},
        {"the same line when removing", {"N10 ", "G1"}, {"N", 0, 1, 0, true}, " ", {"G1"}},
        {"keyword lines keep their text", {"[BILLET X10", "G0"}, {"N", 1, 1, 0, false}, "",
         {"[BILLET X10", "N1G0"}},
    };
    for (const TRenumberCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Renumber(c.In, c.Numbering, c.Padding), c.Out);
    }
}

TEST(EditorCommands, AddPaddingSeparatesWords)
{
    const TLines once = AddPadding({"G1X10Y-5", "(COMMENT", ""}, " ");
    EXPECT_EQ(once, (TLines{"G1 X10 Y-5", "(COMMENT", ""}));
    // Every character that is no number gets the padding, the blanks too.
    EXPECT_EQ(AddPadding(once, " ")[0], "G1   X10   Y-5");
    EXPECT_EQ(AddPadding({"G1X\xD8" "5"}, "_")[0], "G1_X\xD8" "5") << "216 belongs to the number";
}

TEST(EditorCommands, RemovePaddingRemovesWholeOccurrences)
{
    struct {
        const char *Name;
        std::string Line, Padding, Out;
    } cases[] = {
        {"one blank", "G1 X10 Y-5", " ", "G1X10Y-5"},
        {"two characters", "G1__X10__Y-5", "__", "G1X10Y-5"},
        {"odd run keeps the rest", "G1___X10", "__", "G1_X10"},
        {"empty padding removes nothing", "G1 X10", "", "G1 X10"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(RemovePadding({c.Line}, c.Padding)[0], c.Out);
    }
}

TEST(EditorCommands, EscapeKeepsTheLinesNotYetProcessed)
{
    int polls = 0;
    TStopCheck stopAfterTwo = [&polls] { return ++polls > 2; };
    const TLines out = AddPadding({"G1X1", "G1X2", "G1X3", "G1X4"}, " ", stopAfterTwo);
    EXPECT_EQ(out, (TLines{"G1 X1", "G1 X2", "G1X3", "G1X4"}));
}

TEST(EditorCommands, LineEndTokens)
{
    struct {
        const char *Name;
        std::string Token;
        TLines In, Appended, Removed;
    } cases[] = {
        {"one character", ";", {"G1 X1", "G1 X2;", "(NOTE", ""},
         {"G1 X1;", "G1 X2;", "(NOTE", ""}, {"G1 X1", "G1 X2", "(NOTE", ""}},
        {"two characters", "%;", {"G1 X1", "G1 X2%;", "G1 X3;"},
         {"G1 X1%;", "G1 X2%;", "G1 X3;%;"}, {"G1 X1", "G1 X2", "G1 X3;"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TLines appended = AppendLineEnd(c.In, c.Token);
        EXPECT_EQ(appended, c.Appended);
        EXPECT_EQ(AppendLineEnd(appended, c.Token), c.Appended) << "appending twice adds nothing";
        EXPECT_EQ(RemoveLineEnd(c.In, c.Token), c.Removed);
    }
}

TEST(EditorCommands, ChangeCase)
{
    EXPECT_EQ(ChangeCase({"g1 x10", "(Note"}, true), (TLines{"G1 X10", "(NOTE"}));
    EXPECT_EQ(ChangeCase({"G1 X10"}, false), (TLines{"g1 x10"}));
}

struct TAlterCase {
    const char *Name;
    TAlterValues Values;
    TLines In;
    std::vector<TAlterAnswer> Answers;
    TLines Out;
    bool Completed;
    int Questions;
};

TAlterValues Percent(char Letter, int Percentage, bool Confirm = false)
{
    TAlterValues v;
    v.Letter = Letter;
    v.Percentage = Percentage;
    v.Confirm = Confirm;
    return v;
}

TAlterValues Shift(char Letter, double Amount, double Beta, bool Above, bool Below, bool At)
{
    TAlterValues v;
    v.Letter = Letter;
    v.Shift = Amount;
    v.Beta = Beta;
    v.Above = Above, v.Below = Below, v.At = At;
    return v;
}

TEST(EditorCommands, AlterValues)
{
    using A = TAlterAnswer;
    const TAlterCase cases[] = {
        {"150 % of X10", Percent('X', 150), {"G1 X10 Y10"}, {}, {"G1 X15 Y10"}, true, 0},
        {"+1 at 5 leaves 5.1", Shift('Z', 1, 5, false, false, true), {"Z5", "Z5.1"}, {},
         {"Z6", "Z5.1"}, true, 0},
        {"above", Shift('Z', -2, 5, true, false, false), {"Z4 Z5 Z6"}, {}, {"Z4 Z5 Z4"}, true, 0},
        {"below", Shift('Z', -2, 5, false, true, false), {"Z4 Z5 Z6"}, {}, {"Z2 Z5 Z6"}, true, 0},
        {"yes and no", Percent('X', 200, true), {"X1 X2", "X3"}, {A::Yes, A::No, A::Yes},
         {"X2 X2", "X6"}, true, 3},
        {"all stops the questions", Percent('X', 200, true), {"X1 X2", "X3"}, {A::All},
         {"X2 X4", "X6"}, true, 1},
        {"cancel keeps what was changed", Percent('X', 200, true), {"X1 X2", "X3"},
         {A::Yes, A::Cancel}, {"X2 X2", "X3"}, false, 2},
        {"X#1 is left and the command goes on", Percent('X', 200), {"G1 X#1 X2", "X3"}, {},
         {"G1 X#1 X4", "X6"}, true, 0},
        {"a letter in a remark after a block", Percent('X', 200), {"G1 X2 (MAX", "X3"}, {},
         {"G1 X4 (MAX", "X6"}, true, 0},
        {"comment lines are skipped", Percent('F', 50), {"(F100", "F100"}, {}, {"(F100", "F50"},
         true, 0},
        {"padding after the letter is dropped", Percent('X', 200), {"X 10"}, {}, {"X20"}, true,
         0},
    };
    for (const TAlterCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TLines lines = c.In;
        size_t asked = 0;
        TValueAlterer alterer;
        alterer.Ask = [&](int, const TTokenExtent &) {
            return asked < c.Answers.size() ? c.Answers[asked++] : TAlterAnswer::Yes;
        };
        EXPECT_EQ(alterer.Run(lines, c.Values, " "), c.Completed);
        EXPECT_EQ(lines, c.Out);
        EXPECT_EQ((int)asked, c.Questions);
    }
}

TEST(EditorCommands, ShiftRewritesAWordWithItsPadding)
{
    TLines lines{"G1 X 10 Y5"};
    std::vector<std::string> told;
    TValueAlterer alterer;
    alterer.Changed = [&told](int Line, const TTokenExtent &Old, const std::string &Text) {
        told.push_back(std::to_string(Old.Start) + ":" + std::to_string(Old.Length) + ":" + Text);
    };
    EXPECT_TRUE(alterer.Run(lines, Shift('X', 2.5, 10, false, false, true), " "));
    EXPECT_EQ(lines[0], "G1 X12.5 Y5");
    EXPECT_EQ(told, (std::vector<std::string>{"3:4:X12.5"}));
}

} // namespace
} // namespace orv
