#include "engine/core/CNCLineParser.h"

#include "engine/core/MacroVars.h"
#include "engine/core/Mess.h"
#include "engine/core/data_types.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <vector>

namespace orv {
namespace {

struct TReport {
    int Line;
    std::string Detail;
    int Message; // table number of the reported text, -1 when none matches
};

int MessageNumber(const std::string &Text)
{
    for (int i = 0; i < TMess::MessageCount; ++i)
        if (TMess::TableText(i) == Text)
            return i;
    return -1;
}

class ParserTest : public ::testing::Test {
protected:
    ParserTest()
    {
        FParser.SetMacrovars(&FVars);
        FParser.OnErrorEvent = [this](TObject *Sender, int Line, const std::string &Detail,
                                      const std::string &Message) {
            EXPECT_EQ(Sender, &FParser);
            FReports.push_back({Line, Detail, MessageNumber(Message)});
        };
        FBlock.Clear(NoValue);
    }

    bool Parse(const std::string &Line)
    {
        FReports.clear();
        FBoxes.ClearLog();
        return FParser.ParseLine(Line, FBlock);
    }
    std::vector<int> Reported() const
    {
        std::vector<int> numbers;
        for (const auto &r : FReports)
            numbers.push_back(r.Message);
        return numbers;
    }
    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto &m : FBoxes.Log())
            texts.push_back(m.Text);
        return texts;
    }
    // Index of every word whose present flag is set.
    std::vector<int> WordsSet() const
    {
        std::vector<int> set;
        for (int i = 0; i < WordCount; ++i)
            if (FBlock.WordSet[i])
                set.push_back(i);
        return set;
    }
    std::vector<int> GroupsSet() const
    {
        std::vector<int> set;
        for (int i = 0; i < GroupCount; ++i)
            if (FBlock.GroupSet[i])
                set.push_back(i);
        return set;
    }

    test::TTempDir FDir;
    TMacroVars FVars{FDir.File("Tarnwick.ini")};
    TScriptedMessages FBoxes;
    TMessageServiceScope FScope{FBoxes};
    CNCLineParser FParser;
    TCNC_Groups FBlock;
    std::vector<TReport> FReports;
};

// --- tokens ---

TEST(ParserTokens, SplittingLines)
{
    using V = std::vector<std::string>;
    struct Row {
        const char *Line;
        V Tokens;
    } rows[] = {
        {"X-5", {"X", "-5"}},
        {"3-2", {"3", "-2"}},
        {"n10g1x-5.5", {"N", "10", "G", "1", "X", "-5.5"}},
        {"G01 ;X+.5", {"G", "01", "X", "+.5"}},
        {"#1=##2*-#3", {"#1", "=", "##2", "*", "-#3"}},
        {":1000", {"O", "1000"}},
        {"X5 (A COMMENT X6", {"X", "5", "(", "1"}},
        {"[Billet X1]", {"[", "BILLET", "X", "1", "]"}},
        {"% \t\x01X1\x7f\xe9Y2", {"X", "1", "Y", "2"}},
        {"X1\xd8\xd8 Y\xc3\x98.5", {"X", "100", "Y", "0.5"}},
        {"X1-2-3", {"X", "1", "-2", "-3"}},
        {"!?/=", {"!", "?", "/", "="}},
        // Long lines are upper-cased eight characters at a time: the
        // neighbours of "a" and "z" stay, a character from 128 up anywhere.
        {"abcdefgh`{xyz@[]", {"ABCDEFGH", "`", "{", "XYZ", "@", "[", "]"}},
        {"x1.5 y2.5 z\xd8", {"X", "1.5", "Y", "2.5", "Z", "0"}},
        {"x\xd8 y1.25 g01", {"X", "0", "Y", "1.25", "G", "01"}},
        {"", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Line);
        EXPECT_EQ(CNCLineParser::SplitLine(row.Line), row.Tokens);
    }
}

TEST(ParserTokens, LongRunsAreCutIntoPieces)
{
    std::string letters(40, 'a');
    auto tokens = CNCLineParser::SplitLine(letters);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0], std::string(31, 'A'));
    EXPECT_EQ(tokens[1], std::string(9, 'A'));
    std::string digits(40, '7');
    tokens = CNCLineParser::SplitLine(digits);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].size(), 32u);
    EXPECT_EQ(tokens[1].size(), 8u);
}

// --- ordinary lines ---

struct TLineCase {
    const char *Name;
    const char *Line;
    bool Result;
    std::map<int, long double> Words;  // word index -> value, present flag set
    std::map<int, int> Groups;         // group index -> value, present flag set
    std::vector<int> Messages;         // numbered messages reported, in order
};

TEST_F(ParserTest, OrdinaryLines)
{
    FVars.SetVar(101, 7.25L);
    FVars.SetVar(2, 3);
    const TLineCase cases[] = {
        {"empty line", "", true, {}, {}, {}},
        {"blanks and semicolons", "   ;  ;", true, {}, {}, {}},
        {"percent alone", "%", true, {}, {}, {}},
        {"move with comment", "N10 G1 X-5.5 Y#101 F200 (FEED)", true,
         {{wN, 10}, {wG, -1000}, {wX, -5.5L}, {wY, 7.25L}, {wF, 200}, {wComment, -1000}},
         {{gMotion, 1}}, {}},
        {"same in lower case", "n10 g1 x-5.5 y#101 f200 (feed)", true,
         {{wN, 10}, {wG, -1000}, {wX, -5.5L}, {wY, 7.25L}, {wF, 200}, {wComment, -1000}},
         {{gMotion, 1}}, {}},
        {"negative variable", "X-#101 Z+#101", true, {{wX, -7.25L}, {wZ, 7.25L}}, {}, {}},
        {"all real letters", "U1 V2 W3 P4 Q5 R6 I7 J8 K9 D10 L11 A12 B13 C14", true,
         {{wU, 1}, {wV, 2}, {wW, 3}, {wP, 4}, {wQ, 5}, {wR, 6}, {wI, 7}, {wJ, 8}, {wK, 9},
          {wD, 10}, {wL, 11}, {wA, 12}, {wB, 13}, {wC, 14}}, {}, {}},
        {"several letters read as the first", "XY5", true, {{wX, 5}}, {}, {}},
        {"colon program number", ":1000", true, {{wO, 1000}}, {}, {}},
        {"integer words", "H12 N2147483646 O1", true,
         {{wH, 12}, {wN, 2147483646.0L}, {wO, 1}}, {}, {}},
        {"M and S into their groups", "M173 S50000", true, {{wM, 173}, {wS, 50000}},
         {{gMCode, 173}, {gSpindle, 50000}}, {}},
        {"integer word from a variable", "M#2", true, {{wM, 3}}, {{gMCode, 3}}, {}},
        {"nine-character literal", "X-12345.78", true, {{wX, -12345.78L}}, {}, {}},
        {"slashed zero", "X1\xd8", true, {{wX, 10}}, {}, {}},
        {"block delete", "/N10 X5", true, {{wSlash, 0}, {wN, 10}, {wX, 5}},
         {{gBlockDelete, 1}}, {}},
        {"close bracket ends the line", "X1 ] Y2", true, {{wX, 1}, {wCloseBracket, 0}}, {}, {}},
        {"copyright notice is a comment", "G1 X5 (C) Copyright 2001", true,
         {{wComment, -1000}}, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        FBlock.Clear(NoValue);
        FBlock.Groups[gNonModal] = FBlock.Groups[gBlockDelete] = 5;
        EXPECT_EQ(Parse(c.Line), c.Result);
        EXPECT_EQ(Reported(), c.Messages);
        std::vector<int> words, groups;
        for (const auto &[index, value] : c.Words) {
            words.push_back(index);
            if (index != wSlash && index != wCloseBracket && index != wComment) {
                EXPECT_EQ(FBlock.Words[index], value) << CNCLetters[index];
            }
        }
        if (c.Words.count(wComment)) {
            EXPECT_EQ(FBlock.Words[wG], -1000);
        }
        for (const auto &[index, value] : c.Groups) {
            groups.push_back(index);
            EXPECT_EQ(FBlock.Groups[index], value) << "group " << index;
        }
        EXPECT_EQ(WordsSet(), words);
        EXPECT_EQ(GroupsSet(), groups);
        EXPECT_EQ(FBlock.Groups[gNonModal], c.Groups.count(gNonModal) ? c.Groups.at(gNonModal) : 0);
        EXPECT_EQ(FBlock.Groups[gBlockDelete], c.Groups.count(gBlockDelete) ? 1 : 0);
    }
}

TEST_F(ParserTest, ValuesCarryOverButFlagsDoNot)
{
    ASSERT_TRUE(Parse("G1 X5 F100"));
    ASSERT_TRUE(Parse("Y3"));
    EXPECT_EQ(FBlock.Groups[gMotion], 1);
    EXPECT_EQ(FBlock.Words[wX], 5);
    EXPECT_EQ(FBlock.Words[wF], 100);
    EXPECT_EQ(WordsSet(), std::vector<int>{wY});
    EXPECT_TRUE(GroupsSet().empty());
}

// --- G codes ---

TEST_F(ParserTest, EveryGCodeGoesToItsGroup)
{
    const std::map<int, std::vector<int>> groups = {
        {gNonModal, {4, 28, 92}},        {gMotion, {0, 1, 2, 3}},
        {gPlane, {17, 18, 19}},          {gAbsInc, {90, 91}},
        {gFeedMode, {94, 95}},           {gUnits, {20, 21}},
        {gCutterComp, {40, 41, 42}},     {gLengthComp, {43, 44, 49}},
        {gCannedCycle, {73, 74, 76, 80, 81, 82, 83, 84, 85, 86, 87, 89}},
        {gReturnLevel, {98, 99}},        {gScaling, {50, 51}},
        {gWorkOffset, {54, 55, 56, 57, 58, 59}},
        {gRotation, {68, 69}},           {gPolar, {15, 16}},
    };
    std::map<int, int> groupOf;
    for (const auto &[group, codes] : groups)
        for (int g : codes)
            groupOf[g] = group;
    for (int g = 0; g <= 100; ++g) {
        SCOPED_TRACE(g);
        FBlock.Clear(NoValue);
        bool valid = groupOf.count(g) > 0;
        EXPECT_EQ(Parse("G" + std::to_string(g)), valid);
        if (valid) {
            EXPECT_EQ(GroupsSet(), std::vector<int>{groupOf[g]});
            EXPECT_EQ(FBlock.Groups[groupOf[g]], g);
            EXPECT_EQ(FBlock.Words[wG], g);
            EXPECT_TRUE(FReports.empty());
        } else {
            EXPECT_EQ(Reported(), std::vector<int>{31});
            EXPECT_TRUE(GroupsSet().empty());
            EXPECT_FALSE(FBlock.WordSet[wG]);
        }
    }
}

TEST_F(ParserTest, MoreThanFourGCodesAreReportedButAllSet)
{
    EXPECT_TRUE(Parse("G01 G90 G17 G94 G54"));
    EXPECT_EQ(Reported(), std::vector<int>{29});
    EXPECT_EQ(FReports[0].Detail, "");
    EXPECT_EQ(GroupsSet(), (std::vector<int>{gMotion, gPlane, gAbsInc, gFeedMode, gWorkOffset}));

    EXPECT_TRUE(Parse("G0 G17 G90 G94 G21 G40"));
    EXPECT_EQ(Reported(), (std::vector<int>{29, 29}));
    EXPECT_TRUE(Parse("G0 G17 G90 G94"));
    EXPECT_TRUE(FReports.empty()); // exactly four is allowed
}

// --- word errors ---

struct TErrorCase {
    const char *Name;
    const char *Line;
    bool Result;
    int Message;
    const char *Detail;
};

TEST_F(ParserTest, WordErrorsWithTheirTextsAndDetails)
{
    const TErrorCase cases[] = {
        {"G code that does not exist", "G05", false, 31, "G05"},
        {"G code above 99", "G100", false, 31, "G100"},
        {"negative G code", "G-1", false, 31, "G-1"},
        {"unknown letter", "E5", false, 32, "\"E\" in line:E5"},
        {"unknown mark", "X5 = 3", false, 32, "\"=\" in line:X5 = 3"},
        {"bare number", "12", false, 32, "\"12\" in line:12"},
        {"tilde", "~", false, 32, "\"~\" in line:~"},
        {"bad real then a good word", "X1.2.3 Y10", true, 31, "X1.2.3"},
        {"ten-character literal", "X1234567890", false, 31, "X1234567890"},
        {"missing value", "X", false, 31, "X"},
        {"M above 173", "M174", false, 31, "M174"},
        {"S above 50000", "S50001", false, 31, "S50001"},
        {"N above the integer range", "N2147483647", false, 31, "N2147483647"},
        {"H not an integer", "H1.5", false, 31, "H1.5"},
        {"tool number too large", "T12345", false, 30, "T12345"},
        {"tool variable cut to #", "T#10", false, 30, "T#10"},
        {"unknown keyword then bracket", "[FOO]", true, 31, "[FOO"},
        {"ERROR is no keyword", "[ERROR] X1", true, 31, "[ERROR"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        FBlock.LineNumber = 42;
        EXPECT_EQ(Parse(c.Line), c.Result);
        ASSERT_EQ(FReports.size(), 1u);
        EXPECT_EQ(FReports[0].Message, c.Message);
        EXPECT_EQ(FReports[0].Detail, c.Detail);
        EXPECT_EQ(FReports[0].Line, 42);
        EXPECT_TRUE(FBoxes.Log().empty()); // no boxes unless asked for
    }
}

TEST_F(ParserTest, ErrorBoxesWhenAskedShowTheValueMessage)
{
    FParser.ShowErrorDialogueBox = true;
    EXPECT_FALSE(Parse("T12345"));
    EXPECT_EQ(Reported(), std::vector<int>{30});
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error in code, Value is invalid"});
    EXPECT_EQ(FBoxes.Log()[0].Buttons, static_cast<unsigned>(mbOK));
    Parse("E5");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error in code, Token not recognised"});
    Parse("G0 G17 G90 G94 G21");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error too many G codes on one line"});
}

TEST_F(ParserTest, AFailedRealWordLeavesTheMarkerAndNoFlag)
{
    FBlock.Words[wX] = 3;
    Parse("X1.2.3");
    EXPECT_EQ(FBlock.Words[wX], NoValue);
    EXPECT_FALSE(FBlock.WordSet[wX]);
}

TEST_F(ParserTest, AnInvalidVariableIsAnInvalidValueNotItsNumber)
{
    struct Row {
        const char *Line;
        const char *Detail;
    } rows[] = {{"X#600", "X#600"}, {"X-#600", "X-#600"}, {"Y#34", "Y#34"},
                {"N#150", "N#150"}, {"G#600", "G#600"}, {"X#", "X#"}, {"X##5", "X##5"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Line);
        FBlock.Clear(NoValue);
        EXPECT_FALSE(Parse(row.Line));
        EXPECT_EQ(Reported(), std::vector<int>{31});
        EXPECT_EQ(FReports[0].Detail, row.Detail);
        EXPECT_TRUE(WordsSet().empty());
    }
}

TEST_F(ParserTest, ToolNumbers)
{
    FVars.SetVar(1, 4);
    FVars.SetVar(5, 100);
    FVars.SetVar(6, 101);
    struct Row {
        const char *Line;
        bool Ok;
        int Tool;
    } rows[] = {{"T0305", true, 3}, {"T305", true, 3},  {"T999", true, 9},  {"T12", true, 12},
                {"T#100", true, 4}, {"T#5", true, 100}, {"T#6", false, 0},  {"T12345", false, 0},
                {"T100", true, 1},  {"T0", true, 0}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Line);
        FBlock.Clear(NoValue);
        EXPECT_EQ(Parse(row.Line), row.Ok);
        EXPECT_EQ(FBlock.GroupSet[gTool], row.Ok);
        if (row.Ok) {
            EXPECT_EQ(FBlock.Groups[gTool], row.Tool);
            EXPECT_EQ(FBlock.Words[wT], row.Tool);
        } else {
            EXPECT_EQ(Reported(), std::vector<int>{30});
        }
    }
}

// --- keywords and operator texts ---

TEST_F(ParserTest, BracketKeywords)
{
    const char *names[] = {"BILLET", "EDGEMOVE", "TOOLDEF", "CLEAR", "STEP", "NOSTEP",
                           "SHOW", "NOSHOW"};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(names[i]);
        FBlock.Clear(NoValue);
        EXPECT_TRUE(Parse(std::string("[") + names[i] + "]"));
        EXPECT_EQ(FBlock.Groups[gKeyword], i);
        EXPECT_TRUE(FBlock.GroupSet[gKeyword]);
        EXPECT_EQ(FBlock.Words[wG], -1000);
        EXPECT_FALSE(FBlock.WordSet[wG]);
    }
    EXPECT_TRUE(Parse("[billet X100 Y50 Z-20]"));
    EXPECT_EQ(FBlock.Groups[gKeyword], 0);
    EXPECT_EQ(FBlock.Words[wX], 100);
    EXPECT_EQ(FBlock.Words[wZ], -20);
}

TEST_F(ParserTest, SubprogramAndOperatorTexts)
{
    struct Row {
        const char *Line;
        int Word;
        const char *Rest;
    } rows[] = {{"[SUBPROGRAM 1000 PART]", wBracket, "1000 PART]"},
                {"[subprogram 22 lower.fnc]", wBracket, "22 lower.fnc]"},
                {"! CHECK TOOL", wMessage, "CHECK TOOL"},
                {"N5 ? Ready to go?", wQuestion, "Ready to go?"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Line);
        FBlock.Clear(NoValue);
        EXPECT_TRUE(Parse(row.Line));
        EXPECT_EQ(FBlock.RestOfLine, row.Rest);
        EXPECT_TRUE(FBlock.WordSet[row.Word]);
        EXPECT_EQ(FBlock.Words[wG], -1000);
    }
    EXPECT_TRUE(Parse("[SUBPROGRAM 1000 PART]"));
    EXPECT_EQ(FBlock.Groups[gKeyword], 8);
    EXPECT_FALSE(FBlock.WordSet[wN]); // the text after the keyword is not parsed
    EXPECT_TRUE(Parse("! X5 Y6"));
    EXPECT_FALSE(FBlock.WordSet[wX]);
}

// --- macro statements ---

TEST_F(ParserTest, AssignmentsEvaluateLeftToRight)
{
    FVars.SetVar(2, 10);
    FVars.SetVar(3, 4);
    FVars.SetVar(5, 7);
    struct Row {
        const char *Line;
        int Var;
        const char *Text;
    } rows[] = {
        {"#1=-2+3", 1, "1"},
        {"#1 = 10 / 4", 1, "2.5"},
        {"#1=SIN 30", 1, "0.5"},
        {"#1=5+SIN 30", 1, "5.5"},
        {"#1=2+3*4", 1, "20"},
        {"#1=1+2*3-4/2", 1, "2.5"},
        {"#1=3-2", 1, "1"},
        {"#1=#2-#3", 1, "6"},
        {"#1=5-#3", 1, "1"},
        {"#1=-#3", 1, "-4"},
        {"#1=2*-3", 1, "-6"},
        {"#1=COS 60", 1, "0.5"},
        {"#1=TAN 45", 1, "1"},
        {"#1=ATAN 1 1", 1, "0.785398163397448"},
        {"#1=ATAN 1 -1", 1, "2.35619449019234"},
        {"#1=SQRT 16", 1, "4"},
        {"#1=ABS -3", 1, "3"},
        {"#1=ROUND 2.5", 1, "2"},
        {"#1=ROUND 3.5", 1, "4"},
        {"#1=ROUND -2.5", 1, "-2"},
        {"#1=SQRT ABS -9", 1, "3"},
        {"#1=1/3", 1, "0.333333333333333"},
        {"#1=[#2+1]*2", 1, "22"},
        {"#1=5 (SET FIVE", 1, "5"},
        {"N10 #101=4", 101, "4"},
        {"##5=9", 7, "9"},
        {"#500=-1.5", 500, "-1.5"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Line);
        FVars.SetVar(1, 99);
        EXPECT_TRUE(Parse(row.Line));
        EXPECT_TRUE(FReports.empty());
        EXPECT_EQ(FVars.VarText(row.Var), row.Text);
    }
}

TEST_F(ParserTest, AssignmentsToNoVariableAreIgnoredQuietly)
{
    EXPECT_TRUE(Parse("#0=5"));
    EXPECT_EQ(FVars.GetVarValue(0), 0);
    EXPECT_TRUE(Parse("#600=5"));
    EXPECT_TRUE(FReports.empty());
    EXPECT_TRUE(FBoxes.Log().empty());
}

TEST_F(ParserTest, MacroFaultsReportMessage52AndStoreNothing)
{
    FVars.SetVar(2, 0);
    const char *lines[] = {"#1=5/0",      "#1=5/#2",   "#1=SQRT -4", "#1=TAN 90",
                           "#1=TAN -90",  "#1=TAN 270", "#1=2+",     "#1=5+SIN",
                           "#1=2 3",      "#1=* 5",    "#1=5+#600",  "#1=12345678901",
                           "#1=ROUND 1E39"};
    for (const char *line : lines) {
        SCOPED_TRACE(line);
        FVars.SetVar(1, 99);
        EXPECT_TRUE(Parse(line));
        EXPECT_EQ(Reported(), std::vector<int>{52});
        EXPECT_EQ(FReports[0].Line, FBlock.LineNumber);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Macro programming structure is invalid"});
        EXPECT_EQ(FVars.VarText(1), "99");
    }
    EXPECT_TRUE(Parse("#1 = 5/0"));
    EXPECT_EQ(FReports[0].Detail, "#1 = 5 / 0");
}

TEST_F(ParserTest, AnAssignmentWithNoValueStoresZero)
{
    for (const char *line : {"#1=", "#1 = SIN", "#1 = [ ]"}) {
        SCOPED_TRACE(line);
        FVars.SetVar(1, 99);
        EXPECT_TRUE(Parse(line));
        EXPECT_EQ(Reported(), std::vector<int>{52});
        EXPECT_EQ(FVars.GetVarValue(1), 0);
    }
}

TEST_F(ParserTest, AnUnreadableVariableNumberFallsBackToAnOrdinaryParse)
{
    EXPECT_FALSE(Parse("#X=5"));
    EXPECT_EQ(Reported(), std::vector<int>{32});
    EXPECT_FALSE(Parse("##600=5")); // #600 holds no number to address by
    EXPECT_EQ(Reported(), std::vector<int>{32});
}

TEST_F(ParserTest, GotoCarriesItsTargetAsPWithM99)
{
    FVars.SetVar(5, 30);
    struct Row {
        const char *Line;
        int Target;
    } rows[] = {{"GOTO 20", 20}, {"N10 GOTO 20", 20}, {"goto #5", 30}, {"GOTO X 40", 40}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Line);
        FBlock.Clear(NoValue);
        EXPECT_TRUE(Parse(row.Line));
        EXPECT_TRUE(FReports.empty());
        EXPECT_EQ(FBlock.Words[wP], row.Target);
        EXPECT_EQ(FBlock.Words[wM], 99);
        EXPECT_EQ(WordsSet(), (std::vector<int>{wP, wM}));
        EXPECT_TRUE(GroupsSet().empty());
    }
    for (const char *line : {"GOTO", "GOTO X", "GOTO #600", "GOTO -5"}) {
        SCOPED_TRACE(line);
        FBlock.Clear(NoValue);
        EXPECT_TRUE(Parse(line));
        EXPECT_EQ(Reported(), std::vector<int>{52});
        EXPECT_TRUE(WordsSet().empty());
    }
}

TEST_F(ParserTest, IfRunsItsStatementWhenTheComparisonHolds)
{
    struct Row {
        const char *Cmp;
        bool Less, Equal, Greater; // holds for 4, 5 and 6 against 5
    } rows[] = {{"EQ", false, true, false}, {"NE", true, false, true},
                {"GT", false, false, true}, {"GE", false, true, true},
                {"LT", true, false, false}, {"LE", true, true, false}};
    for (const auto &row : rows) {
        for (int left : {4, 5, 6}) {
            SCOPED_TRACE(std::string(row.Cmp) + " " + std::to_string(left));
            FVars.SetVar(1, left);
            FVars.SetVar(2, 0);
            EXPECT_TRUE(Parse(std::string("IF [#1 ") + row.Cmp + " 5] THEN #2=1"));
            bool holds = left < 5 ? row.Less : left == 5 ? row.Equal : row.Greater;
            EXPECT_EQ(FVars.GetVarValue(2), holds ? 1 : 0);
            EXPECT_TRUE(FReports.empty());
        }
    }
}

TEST_F(ParserTest, IfStatementsMayMoveJumpOrFail)
{
    EXPECT_TRUE(Parse("N5 IF [1 LT 2] THEN G1 X5"));
    EXPECT_EQ(FBlock.Groups[gMotion], 1);
    EXPECT_EQ(FBlock.Words[wX], 5);
    EXPECT_TRUE(Parse("IF [1 EQ 1] THEN GOTO 100"));
    EXPECT_EQ(FBlock.Words[wP], 100);
    EXPECT_TRUE(FBlock.WordSet[wM]);
    EXPECT_TRUE(Parse("IF [#600 EQ 9000000000] THEN #3=1")); // no variable reads as 9e9
    EXPECT_EQ(FVars.GetVarValue(3), 1);

    for (const char *line : {"IF #1 EQ 5", "IF [#1 XX 5] THEN #2=1", "IF [#1 EQ", "IF"}) {
        SCOPED_TRACE(line);
        FVars.SetVar(2, 0);
        EXPECT_TRUE(Parse(line));
        EXPECT_EQ(Reported(), std::vector<int>{52});
        EXPECT_EQ(FVars.GetVarValue(2), 0);
    }
}

TEST_F(ParserTest, ParserWithoutAStoreReadsZeroAndDropsAssignments)
{
    CNCLineParser editorParser;
    TCNC_Groups block;
    EXPECT_TRUE(editorParser.ParseLine("X#101 Y-#2", block));
    EXPECT_EQ(block.Words[wX], 0);
    EXPECT_EQ(block.Words[wY], 0);
    EXPECT_FALSE(editorParser.ParseLine("X#600", block));
    EXPECT_TRUE(editorParser.ParseLine("#1=5", block));
    EXPECT_TRUE(editorParser.ParseLine("IF [#1 EQ 0] THEN X7", block));
    EXPECT_EQ(block.Words[wX], 7);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// Every line of the demo program parses without a report: its set-up codes
// are spread over two blocks, as a block takes at most four G codes.
TEST_F(ParserTest, TheDemoProgramParses)
{
    std::ifstream file(std::string(ORV_DATA_DIR) + "/programs/demo.fnc");
    ASSERT_TRUE(file.good());
    std::string line;
    int lines = 0;
    while (std::getline(file, line)) {
        SCOPED_TRACE(line);
        FBlock.LineNumber = ++lines;
        EXPECT_TRUE(Parse(line));
        EXPECT_EQ(Reported(), std::vector<int>{});
    }
    EXPECT_GT(lines, 5);
    EXPECT_EQ(FBlock.Groups[gMCode], 30); // the program ends with M30
}

} // namespace
} // namespace orv
