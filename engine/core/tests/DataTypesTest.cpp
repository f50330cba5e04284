#include "engine/core/data_types.h"

#include <cstring>
#include <gtest/gtest.h>

namespace orv {
namespace {

class TCNC_GroupsChild : public TCNC_Groups {};
class TCNC_dataChild : public TCNC_data {};

TEST(DataTypes, NewBlockRecordIsAllZero)
{
    TCNC_Groups block;
    for (int i = 0; i < GroupCount; ++i) {
        EXPECT_EQ(block.Groups[i], 0);
        EXPECT_FALSE(block.GroupSet[i]);
    }
    for (int i = 0; i < WordCount; ++i) {
        EXPECT_EQ(block.Words[i], 0);
        EXPECT_FALSE(block.WordSet[i]);
    }
    EXPECT_EQ(block.LineNumber, 0);
    EXPECT_EQ(block.InputPosition, 0);
    EXPECT_TRUE(block.GeneratedText.empty());
}

TEST(DataTypes, ClearWithNoValueMarksEverythingUnset)
{
    TCNC_Groups block;
    block.GroupSet[3] = block.WordSet[5] = block.LookAheadMark = block.GeneratedMark = true;
    block.GeneratedText = "G1 X1";
    block.RestOfLine = "CHECK";
    block.Level = 2;
    block.MoveLength = 7;
    block.Clear(NoValue);
    for (int i = 0; i < GroupCount; ++i) {
        EXPECT_EQ(block.Groups[i], NoGCode);
        EXPECT_FALSE(block.GroupSet[i]);
    }
    for (int i = 0; i < WordCount; ++i) {
        EXPECT_EQ(block.Words[i], NoValue);
        EXPECT_FALSE(block.WordSet[i]);
    }
    EXPECT_FALSE(block.LookAheadMark);
    EXPECT_FALSE(block.GeneratedMark);
    EXPECT_TRUE(block.GeneratedText.empty());
    EXPECT_TRUE(block.RestOfLine.empty());
    EXPECT_EQ(block.LineNumber, -1);
    EXPECT_EQ(block.InputPosition, -1);
    EXPECT_EQ(block.Level, 0);
    EXPECT_EQ(block.MoveLength, 0);
    EXPECT_EQ(block.CornerAngle, 0);
}

TEST(DataTypes, ClearRoundsGroupsHalfToEven)
{
    struct Row {
        const char *Name;
        Extended Value;
        int32_t Group;
    } rows[] = {{"zero", 0, 0}, {"half down to even", 2.5L, 2}, {"half up to even", 3.5L, 4},
                {"negative", -1.5L, -2}, {"too large for a group", 1e12L, NoGCode}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TCNC_Groups block;
        block.Clear(row.Value);
        EXPECT_EQ(block.Groups[0], row.Group);
        EXPECT_EQ(block.Groups[27], row.Group);
        EXPECT_EQ(block.Words[38], row.Value);
    }
}

TEST(DataTypes, NewMoveRecordHoldsTheUnsetMarkers)
{
    TCNC_data move;
    for (int32_t v : {move.Spindle, move.MCode, move.Tool, move.Motion, move.LengthOffset,
                      move.WorkOffset, move.LengthComp})
        EXPECT_EQ(v, NoMoveCode);
    for (double v : {move.Feed, move.X, move.Y, move.Z, move.FourthAxis, move.Spare, move.I, move.J,
                     move.K, move.R, move.P, move.MoveLength, move.CornerAngle})
        EXPECT_EQ(v, NoValue);
    EXPECT_EQ(move.Sweep, 0);
    EXPECT_EQ(move.Radius, 0);
    EXPECT_EQ(move.Plane, 17); // an untouched record still draws in the XY plane
    EXPECT_TRUE(move.LookAhead);
    EXPECT_FALSE(move.BlockDelete);
    EXPECT_EQ(move.LineNumber, 0);
    EXPECT_TRUE(move.Text.empty());
}

TEST(DataTypes, AssignCopiesEveryFieldOfTheSameClass)
{
    TCNC_Groups source;
    source.Clear(1.25L);
    source.GroupSet[27] = source.WordSet[30] = true;
    source.RestOfLine = "CHECK TOOL";
    source.GeneratedText = "G1 X1.000 ";
    source.LineNumber = 12;
    TCNC_Groups target;
    target.Assign(source);
    EXPECT_EQ(target.Words[1], 1.25L);
    EXPECT_TRUE(target.GroupSet[27]);
    EXPECT_TRUE(target.WordSet[30]);
    EXPECT_EQ(target.RestOfLine, "CHECK TOOL");
    EXPECT_EQ(target.GeneratedText, "G1 X1.000 ");
    EXPECT_EQ(target.LineNumber, 12);

    TCNC_data move;
    move.Motion = 2;
    move.Text = "STOP";
    move.Sweep = -90;
    TCNC_data moveCopy;
    moveCopy.Assign(move);
    EXPECT_EQ(moveCopy.Motion, 2);
    EXPECT_EQ(moveCopy.Text, "STOP");
    EXPECT_EQ(moveCopy.Sweep, -90);
}

template <class TTarget, class TSource>
std::string AssignError(TTarget &Target, const TSource &Source)
{
    try {
        Target.Assign(Source);
    } catch (const EConvertError &e) {
        return e.what();
    }
    return "no exception";
}

TEST(DataTypes, AssignIntoAnotherClassIsRefusedAndLeavesTheTargetAlone)
{
    TCNC_data move;
    move.Motion = 1;
    TCNC_Groups block;
    block.Clear(3);
    EXPECT_EQ(AssignError(block, move), "Cannot assign a TCNC_Data to a TCNC_Groups");
    EXPECT_EQ(block.Words[1], 3);

    TCNC_Groups source;
    EXPECT_EQ(AssignError(move, source), "Cannot assign a TCNC_Groups to a TCNC_data");
    EXPECT_EQ(move.Motion, 1);

    TCNC_GroupsChild groupsChild;
    EXPECT_EQ(AssignError(groupsChild, source),
              "Cannot assign a TCNC_Groups to a TCNC_GroupsChild");
    TCNC_dataChild dataChild;
    EXPECT_EQ(AssignError(dataChild, move), "Cannot assign a TCNC_Data to a TCNC_dataChild");
}

TEST(DataTypes, FormatMoveText)
{
    struct Row {
        const char *Name;
        int G;
        bool Metric;
        double X, Y, Z, F;
        const char *Text;
    } rows[] = {
        {"inch divides by 25.4", 0, false, 25.4, NoValue, NoValue, NoValue, "G0 X1.000 "},
        {"no G code", NoGCode, true, 1, NoValue, NoValue, NoValue, "X1.000 "},
        {"all words in order", 1, true, 1.2345, -2, 0, 300, "G1 X1.234 Y-2.000 Z0.000 F300.000 "},
        {"nothing at all", NoGCode, true, NoValue, NoValue, NoValue, NoValue, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(FormatMoveText(row.G, row.Metric, row.X, row.Y, row.Z, row.F), row.Text);
    }
}

TEST(DataTypes, WordIndexesFollowTheLetterOrder)
{
    EXPECT_EQ(std::strlen(CNCLetters), 38u); // words 33 to 38 are never programmed
    struct Row {
        char Letter;
        int Index;
    } rows[] = {{'X', wX}, {'R', wR}, {'F', wF}, {'G', wG}, {'M', wM}, {'[', wBracket},
                {'H', wH}, {'T', wT}, {'N', wN}, {'O', wO}, {'(', wComment}, {'!', wMessage},
                {']', wCloseBracket}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Letter);
        EXPECT_EQ(CNCLetters[row.Index], row.Letter);
    }
    EXPECT_STREQ(BracketKeywords[NoBracketKeyword], "ERROR");
    EXPECT_STREQ(CutterTypeNames[BallNose], "Ball Nose");
    EXPECT_STREQ(CutterTypeNames[Unknown], "UnDefined");
}

TEST(DataTypes, DrawElementConstructorTakesTheCentreBeforeTheSweep)
{
    TDD_Type e(2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 40, 0xFF);
    EXPECT_EQ(e.Kind, 2);
    EXPECT_EQ(e.StartX, 1);
    EXPECT_EQ(e.EndZ, 6);
    EXPECT_EQ(e.BoxBottom, 10);
    EXPECT_EQ(e.CentreX, 11);
    EXPECT_EQ(e.CentreY, 12);
    EXPECT_EQ(e.Sweep, 13);
    EXPECT_EQ(e.CutterRadius, 14);
    EXPECT_EQ(e.Radius, 15);
    EXPECT_EQ(e.LineNumber, 40);
    EXPECT_EQ(e.Colour, 0xFF);
}

} // namespace
} // namespace orv
