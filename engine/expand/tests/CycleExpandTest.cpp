#include "engine/expand/tests/CycleExpandRig.h"

#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::DescribeAll;
using test::TCycleRig;
using test::TTempDir;

std::string Replace(std::string Text, const std::string &From, const std::string &To)
{
    for (size_t At = Text.find(From); At != std::string::npos; At = Text.find(From, At + To.size()))
        Text.replace(At, From.size(), To);
    return Text;
}

struct TMode {
    const char *Name;
    int AbsInc, ReturnLevel;
    double R;
    const char *Return, *Bottom; // expected levels
};

// Every cycle of the default "cycles.ini" on the hole X 10 Y 10 from the
// initial level Z 20, with R and Z as the block gives them (R 2 Z -5 in
// G90; R -18 Z -5 from the initial level in G91), Q 10 and P 250.
TEST(CycleExpandDefaults, EveryCycleInG98G99G90G91)
{
    const TMode Modes[] = {
        {"G90 G99", 90, 99, 2, "2", "-5"},
        {"G90 G98", 90, 98, 2, "20", "-5"},
        {"G91 G99", 91, 99, -18, "2", "-3"},
        {"G91 G98", 91, 98, -18, "20", "-3"},
    };
    const std::pair<int, const char *> Cycles[] = {
        {73, "G0 H Zr; G1 H Zb; G0 H Zr"},
        {74, "G0 H Zr; G1 H Zb; G4 P250 Zb; M3 Zb; G1 H Zr; M4 Zr"},
        {76, "G0 H Zr; G1 H Zb; G4 P250 Zb; G0 X20 Y10 Zb; G0 H Zr; M3 Zr"},
        {81, "G0 H Zr; G1 H Zb; G0 H Zr"},
        {82, "G0 H Zr; G1 H Zb; G4 P250 Zb; G0 H Zr"},
        {83, "G0 H Zr; G1 H Zb; G0 H Zr"},
        {84, "G0 H Zr; G1 H Zb; G4 P250 Zb; M4 Zb; G1 H Zr; M3 Zr"},
        {85, "G0 H Zr; G1 H Zb; G1 H Zr"},
        {86, "G0 H Zr; G1 H Zb; G0 H Zr"},
        {87, "G0 H Zr; G1 H Zb; G4 P250 Zb; G0 X0 Y10 Zb; G0 H Zr; M3 Zr"},
        {89, "G0 H Zr; G1 H Zb; G4 P250 Zb; G1 H Zr"},
    };
    for (const auto &Mode : Modes) {
        for (const auto &[Cycle, Steps] : Cycles) {
            SCOPED_TRACE(std::string(Mode.Name) + " G" + std::to_string(Cycle));
            TCycleRig Rig;
            Rig.StartAbove();
            Rig.Feed.Block()
                .G(gAbsInc, Mode.AbsInc)
                .G(gReturnLevel, Mode.ReturnLevel)
                .G(gCannedCycle, Cycle)
                .X(10)
                .Y(10)
                .Z(-5)
                .W(wR, Mode.R)
                .W(wQ, 10)
                .W(wP, 250)
                .F(100);
            Rig.Feed.Current().Words[wIncX] = Mode.AbsInc == 91 ? 10 : 0;
            Rig.Feed.Current().Words[wIncY] = Mode.AbsInc == 91 ? 10 : 0;
            std::string Expected = Replace(Steps, "H", "X10 Y10");
            Expected = Replace(Expected, "Zr", std::string("Z") + Mode.Return);
            Expected = Replace(Expected, "Zb", std::string("Z") + Mode.Bottom);
            const auto Out = Rig.Run();
            EXPECT_EQ(DescribeAll(Out, 1), Expected);
            EXPECT_TRUE(Rig.Errors.Reports.empty());
            for (size_t Index = 1; Index < Out.size(); ++Index)
                EXPECT_EQ(Out[Index].LineNumber, 2);
        }
    }
}

TEST(CycleExpand, DrillingAtTheRLevelAndTheInitialLevel)
{
    for (int ReturnLevel : {99, 98}) {
        SCOPED_TRACE(ReturnLevel);
        TCycleRig Rig;
        Rig.StartAbove();
        Rig.Feed.Block().G(gReturnLevel, ReturnLevel).G(gCannedCycle, 81).X(10).Y(10).Z(-5).W(wR, 2).F(100);
        Rig.Feed.Block().X(20); // the next hole keeps the bottom -5
        const auto Out = Rig.Run();
        const std::string Level = ReturnLevel == 99 ? "2" : "20";
        EXPECT_EQ(DescribeAll(Out, 1),
                  "G0 X10 Y10 Z" + Level + "; G1 X10 Y10 Z-5; G0 X10 Y10 Z" + Level +
                      "; G0 X20 Y10 Z" + Level + "; G1 X20 Y10 Z-5; G0 X20 Y10 Z" + Level);
        EXPECT_EQ(Out[1].GeneratedText, "G0 X10.000 Y10.000 Z" + Level + ".000 ");
        EXPECT_EQ(Out[2].GeneratedText, "G1 Z-5.000 ");
    }
}

TEST(CycleExpand, G91RepeatsStepOnByTheIncrement)
{
    TCycleRig Rig;
    Rig.Feed.Block().G(gMotion, 0).X(0).Y(0).Z(20);
    Rig.Feed.Block().G(gAbsInc, 91).G(gReturnLevel, 99).G(gCannedCycle, 81).X(10).Z(-5).W(wR, -18).W(wK, 3);
    Rig.Feed.Current().Words[wIncX] = 10;
    Rig.Feed.Current().Words[wIncY] = 0;
    EXPECT_EQ(DescribeAll(Rig.Run(), 1),
              "G0 X10 Y0 Z2; G1 X10 Y0 Z-3; G0 X10 Y0 Z2; "
              "G0 X20 Y0 Z2; G1 X20 Y0 Z-3; G0 X20 Y0 Z2; "
              "G0 X30 Y0 Z2; G1 X30 Y0 Z-3; G0 X30 Y0 Z2");
}

TEST(CycleExpand, G90RepeatsDrillTheSameHole)
{
    TCycleRig Rig;
    Rig.StartAbove();
    Rig.Feed.Block().G(gReturnLevel, 99).G(gCannedCycle, 81).X(10).Y(10).Z(-5).W(wR, 2).W(wK, 2);
    EXPECT_EQ(DescribeAll(Rig.Run(), 1),
              "G0 X10 Y10 Z2; G1 X10 Y10 Z-5; G0 X10 Y10 Z2; "
              "G0 X10 Y10 Z2; G1 X10 Y10 Z-5; G0 X10 Y10 Z2");
}

struct TPeckCase {
    const char *Name;
    int Cycle;
    double Bottom, Q;
    const char *Expected; // after RAPID XYZ to Z 2, before RAPID R
};

TEST(CycleExpandPecks, PecksFromZ0NeverGoBelowTheBottom)
{
    const TPeckCase Cases[] = {
        {"PECK Z", 83, -10, 3,
         "G1 Z-3; G0 Z2; G0 Z-2; G1 Z-6; G0 Z2; G0 Z-5; G1 Z-9; G0 Z2; G0 Z-8; G1 Z-10"},
        {"RAPID PECK Z", 73, -10, 3, "G1 Z-3; G0 Z-2; G1 Z-6; G0 Z-5; G1 Z-9; G0 Z-8; G1 Z-10"},
        {"PECK Z, bottom a multiple of Q", 83, -9, 3,
         "G1 Z-3; G0 Z2; G0 Z-2; G1 Z-6; G0 Z2; G0 Z-5; G1 Z-9; G0 Z2"},
        {"PECK Z, one peck", 83, -4, 3, "G1 Z-3; G0 Z2; G1 Z-4"},
        {"RAPID PECK Z, bottom a multiple of Q", 73, -6, 3, "G1 Z-3; G0 Z-2; G1 Z-6; G0 Z-5; G1 Z-6"},
        {"PECK Z, bottom above Z 0", 83, 5, 3, "G1 Z5"},
        {"RAPID PECK Z, bottom above Z 0", 73, 5, 3, "G1 Z5"},
        {"PECK Z, bottom at Z 0", 83, 0, 3, "G1 Z0"},
        {"PECK Z, Q 0 does nothing", 83, -10, 0, ""},
        {"PECK Z, rounding of Q 0.1 into 0.3", 83, -0.3, 0.1,
         "G1 Z-0.1; G0 Z2; G0 Z0.9; G1 Z-0.2; G0 Z2; G0 Z0.8; G1 Z-0.3; G0 Z2"},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TCycleRig Rig;
        Rig.StartAbove();
        Rig.Feed.Block().G(gReturnLevel, 99).G(gCannedCycle, Case.Cycle).X(0).Y(0).Z(Case.Bottom).W(wR, 2).W(wQ, Case.Q);
        const auto Out = Rig.Run();
        ASSERT_GE(Out.size(), 3u);
        std::string Pecks;
        for (size_t Index = 2; Index + 1 < Out.size(); ++Index) {
            const auto &Block = Out[Index];
            char Text[40];
            std::snprintf(Text, sizeof Text, "G%d Z%g", Block.Groups[gMotion],
                          static_cast<double>(Block.Words[wZ]));
            Pecks += (Pecks.empty() ? "" : "; ") + std::string(Text);
            EXPECT_GE(WordValue(Block, wZ), Case.Bottom - 1e-12);
        }
        EXPECT_EQ(Pecks, Case.Expected);
    }
}

TEST(CycleExpand, ExpansionBeyondTheBufferStopsWithTheMessagePair)
{
    struct TCase {
        int Repeats;
        size_t Blocks;
        bool Error;
    };
    const TCase Cases[] = {{99, 297, false}, {100, 299, true}, {400, 299, true}};
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Repeats);
        TCycleRig Rig;
        Rig.StartAbove();
        Rig.Feed.Block().G(gCannedCycle, 81).X(10).Y(10).Z(-5).W(wR, 2).W(wK, Case.Repeats);
        Rig.Feed.Block().G(gCannedCycle, 80).G(gMotion, 0).Z(50);
        const auto Out = Rig.Run();
        ASSERT_EQ(Out.size(), 1 + Case.Blocks + 1); // the blocks made so far are handed out
        EXPECT_EQ(Out.back().LineNumber, 3);
        ASSERT_EQ(Rig.Errors.Reports.size(), Case.Error ? 1u : 0u);
        if (!Case.Error)
            continue;
        EXPECT_EQ(Rig.Errors.Reports[0].Line, 2);
        EXPECT_EQ(Rig.Errors.Reports[0].Detail, "Cycle expansion exceeds limits");
        EXPECT_EQ(Rig.Errors.Reports[0].Message, "Check parameters and units are correct");
    }
}

TEST(CycleExpand, MotionCodeInterruptsTheCycleForItsBlockOnly)
{
    TCycleRig Rig;
    Rig.StartAbove();
    Rig.Feed.Block().G(gReturnLevel, 99).G(gCannedCycle, 81).X(10).Y(10).Z(-5).W(wR, 2);
    Rig.Feed.Block().G(gMotion, 0).X(0).Y(0);
    Rig.Feed.Block().X(5).Y(5);
    const auto Out = Rig.Run();
    EXPECT_EQ(DescribeAll(Out, 4),
              "G0 X0 Y0 Z-5; G0 X5 Y5 Z2; G1 X5 Y5 Z-5; G0 X5 Y5 Z2");
}

// A line with no hole position inside an active cycle (an M code, a comment)
// drills nothing: repeated with its M05 the cycle would feed a stopped drill.
TEST(CycleExpand, BlockWithoutAHolePositionDrillsNothing)
{
    TCycleRig Rig;
    Rig.StartAbove();
    Rig.Feed.Block().G(gReturnLevel, 99).G(gCannedCycle, 81).X(10).Y(10).Z(-5).W(wR, 2);
    Rig.Feed.Block().W(wM, 5).G(gMCode, 5);
    Rig.Feed.Block().X(20);
    const auto Out = Rig.Run();
    ASSERT_EQ(Out.size(), 1u + 3u + 1u + 3u);
    EXPECT_EQ(Out[4].LineNumber, 3);
    EXPECT_EQ(Out[4].Words[wM], 5);
    EXPECT_EQ(DescribeAll(Out, 5), "G0 X20 Y10 Z2; G1 X20 Y10 Z-5; G0 X20 Y10 Z2");
}

TEST(CycleExpand, DwellTakesTheStepsValueOrTheBlocksP)
{
    struct TCase {
        const char *Value;
        const char *Text;
        double P;
    };
    const TCase Cases[] = {{"500", "G04 P500", 500}, {"0", "G04 P250", 250}, {"", "G04 P250", 250}};
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Value);
        TTempDir Folder;
        Folder.Write("cycles.ini", std::string("[82]\r\nCUT Z=\r\nDWELL=") + Case.Value + "\r\n");
        TCycleRig Rig(Folder.Path());
        Rig.StartAbove();
        Rig.Feed.Block().G(gCannedCycle, 82).X(1).Y(1).Z(-2).W(wR, 2).W(wP, 249.6);
        const auto Out = Rig.Run();
        ASSERT_EQ(Out.size(), 3u);
        EXPECT_EQ(Out[2].GeneratedText, Case.Text);
        EXPECT_EQ(Out[2].Groups[gNonModal], 4);
        EXPECT_TRUE(Out[2].WordSet[wP]);
        EXPECT_DOUBLE_EQ(WordValue(Out[2], wP), Case.P);
    }
}

TEST(CycleExpand, StepWordsIgnoreCaseAndUnknownKeysDoNothing)
{
    TTempDir Folder;
    Folder.Write("cycles.ini", "[81]\r\nrapid xyz=\r\nDRILL FAST=\r\nCut Z=\r\n; a comment\r\n"
                               "Rapid Peck Z=abc\r\n");
    TCycleRig Rig(Folder.Path());
    Rig.StartAbove();
    Rig.Feed.Block().G(gReturnLevel, 99).G(gCannedCycle, 81).X(1).Y(1).Z(-2).W(wR, 2).W(wQ, 1);
    // A peck retract that is no number counts as absent: 1 mm.
    EXPECT_EQ(DescribeAll(Rig.Run(), 1),
              "G0 X1 Y1 Z2; G1 X1 Y1 Z-2; G1 X1 Y1 Z-1; G0 X1 Y1 Z0; G1 X1 Y1 Z-2; "
              "G0 X1 Y1 Z-1; G1 X1 Y1 Z-2");
}

TEST(CycleExpandFiles, MissingFileOrSectionIsReportedOnce)
{
    struct TCase {
        const char *Name;
        const char *Content; // nullptr: no file
        const char *Detail;
        const char *Message;
    };
    const TCase Cases[] = {
        {"no cycles.ini", nullptr, "cycles.ini", "File not found."},
        {"no section [83]", "[81]\r\nCUT Z=\r\n", "cycles.ini [83]", "Canned cycle not defined"},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TTempDir Folder;
        if (Case.Content)
            Folder.Write("cycles.ini", Case.Content);
        TCycleRig Rig(Folder.Path());
        Rig.StartAbove();
        Rig.Feed.Block().G(gCannedCycle, 83).X(1).Y(1).Z(-2).W(wR, 2).W(wQ, 1);
        Rig.Feed.Block().X(2);
        Rig.Feed.Block().X(3);
        Rig.Run();
        ASSERT_EQ(Rig.Errors.Reports.size(), 1u);
        EXPECT_EQ(Rig.Errors.Reports[0].Line, 2);
        EXPECT_NE(Rig.Errors.Reports[0].Detail.find(Case.Detail), std::string::npos);
        EXPECT_EQ(Rig.Errors.Reports[0].Message, Case.Message);
        // After a reset the next run reports it again.
        Rig.Cycles.ClearPending();
        TCycleRig Again(Folder.Path());
        Again.StartAbove();
        Again.Feed.Block().G(gCannedCycle, 83).X(1).Y(1).Z(-2);
        Rig.Cycles.OnNextCycleNotify = Again.Feed.Handler();
        Rig.Run();
        EXPECT_EQ(Rig.Errors.Reports.size(), 2u);
    }
}

TEST(CycleExpand, ReferenceReturnThroughAnIntermediatePoint)
{
    TCycleRig Rig;
    Rig.StartAbove();
    Rig.Feed.Block().G(gNonModal, 28).Z(30);
    Rig.Feed.Block().G(gNonModal, 28);
    const auto Out = Rig.Run();
    ASSERT_EQ(Out.size(), 4u);
    EXPECT_EQ(Out[1].Groups[gNonModal], 28);
    EXPECT_DOUBLE_EQ(WordValue(Out[1], wZ), 30);
    EXPECT_EQ(Out[1].GeneratedText, "G0 X0.000 Y0.000 Z30.000 ");
    for (int Index : {2, 3}) {
        EXPECT_EQ(Out[Index].Groups[gNonModal], 28);
        EXPECT_EQ(WordValue(Out[Index], wX), NoValue);
        EXPECT_EQ(WordValue(Out[Index], wZ), NoValue);
    }
}

TEST(CycleExpand, PassedBlocksLoseEarlierGeneratedTexts)
{
    TCycleRig Rig;
    Rig.Feed.Block().G(gMotion, 1).X(3);
    Rig.Feed.Current().GeneratedText = "Arc to linear expansion-chord length:  0.200mm";
    const auto Out = Rig.Run();
    ASSERT_EQ(Out.size(), 1u);
    EXPECT_EQ(Out[0].GeneratedText, "");
    TCycleExpand Alone;
    TCNC_Groups Block;
    Block.LineNumber = 12;
    Alone.GetNext(Block);
    EXPECT_EQ(Block.LineNumber, 12);
}

TEST(CycleExpand, InchProgramsShowGeneratedMovesInInches)
{
    TCycleRig Rig;
    Rig.Feed.Block().G(gUnits, 20).G(gMotion, 0).X(0).Y(0).Z(25.4);
    Rig.Feed.Block().G(gReturnLevel, 99).G(gCannedCycle, 81).X(25.4).Y(50.8).Z(-12.7).W(wR, 2.54);
    const auto Out = Rig.Run();
    ASSERT_EQ(Out.size(), 4u);
    EXPECT_EQ(Out[1].GeneratedText, "G0 X1.000 Y2.000 Z0.100 ");
    EXPECT_EQ(Out[2].GeneratedText, "G1 Z-0.500 ");
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// "cycles.ini" is read afresh for every cycle block: an edit between two
// holes changes the second one.
TEST(CycleExpandFiles, EditsOfTheFileApplyFromTheNextCycleBlock)
{
    test::TTempDir Folder;
    Folder.Write("cycles.ini", "[81]\r\nCUT Z=\r\n");
    test::TCycleRig Rig(Folder.Path());
    Rig.StartAbove();
    Rig.Feed.Block().G(gReturnLevel, 99).G(gCannedCycle, 81).X(1).Y(1).Z(-2).W(wR, 2);
    Rig.Feed.Block().X(2);
    TCNC_Groups Block;
    Rig.Cycles.GetNext(Block); // the start
    Rig.Cycles.GetNext(Block); // the first hole: one step
    EXPECT_EQ(test::Describe(Block), "G1 X1 Y1 Z-2");
    Folder.Write("cycles.ini", "[81]\r\nRAPID XYZ=\r\nCUT Z=\r\nRAPID R=\r\n");
    EXPECT_EQ(test::DescribeAll(Rig.Run()), "G0 X2 Y1 Z2; G1 X2 Y1 Z-2; G0 X2 Y1 Z2");
}

} // namespace
} // namespace orv

namespace orv {
namespace {

// After a cycle the block record's Z still holds the cycle's depth; a block
// that programs no Z leaves the tool where the cycle left it, and that is
// the initial level the next G98 cycle returns to.
TEST(CycleExpand, InitialLevelAfterACycleIsWhereTheToolStands)
{
    test::TCycleRig Rig;
    Rig.StartAbove();
    Rig.Feed.Block().G(gReturnLevel, 99).G(gCannedCycle, 81).X(10).Y(10).Z(-5).W(wR, 2);
    Rig.Feed.Block().G(gCannedCycle, 80).G(gMotion, 0).X(0).Y(0); // record Z is still -5
    Rig.Feed.Block().G(gReturnLevel, 98).G(gCannedCycle, 81).X(20).Y(10).Z(-5).W(wR, 2);
    Rig.Feed.Block().G(gCannedCycle, 80).G(gMotion, 0).Z(30);
    Rig.Feed.Block().G(gCannedCycle, 81).X(30).Y(10).Z(-5).W(wR, 2);
    EXPECT_EQ(test::DescribeAll(Rig.Run(), 5),
              "G0 X20 Y10 Z2; G1 X20 Y10 Z-5; G0 X20 Y10 Z2; G0 X20 Y10 Z30; "
              "G0 X30 Y10 Z30; G1 X30 Y10 Z-5; G0 X30 Y10 Z30");
}

} // namespace
} // namespace orv
