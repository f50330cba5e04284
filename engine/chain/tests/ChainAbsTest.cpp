// The absolute stage alone, fed hand-made metric blocks in sequence through
// the one shared record, as the engine does.

#include "engine/chain/CNC_ABS.h"
#include "engine/core/Mess.h"
#include "engine/chain/tests/ChainBlocks.h"
#include "platform/MessageService.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace orv {
namespace {

using namespace orv::test;
using TLine = std::function<void(TCNC_Groups &)>;

struct TReport {
    int Line;
    std::string Detail;
    std::string Message;
};

class ChainAbs : public ::testing::Test {
protected:
    ChainAbs()
    {
        Abs.OnErrorEvent = [this](TObject *Sender, int Pos, const std::string &Detail,
                                  const std::string &Message) {
            EXPECT_EQ(Sender, &Abs);
            Reports.push_back({Pos, Detail, Message});
        };
    }

    // One line through the stage; returns MakeAbsolute's result.
    bool Run(const TLine &Line)
    {
        NewLine(G, ++LineNumber);
        Line(G);
        return Abs.MakeAbsolute(G);
    }

    void RunAll(const std::vector<TLine> &Lines)
    {
        for (const TLine &Line : Lines)
            Run(Line);
    }

    double Word(int W) const { return static_cast<double>(G.Words[W]); }

    TCNC_ABS Abs;
    TCNC_Groups G = StartBlock();
    int LineNumber = 0;
    std::vector<TReport> Reports;
};

TLine Rapid(double X, double Y)
{
    return [=](TCNC_Groups &G) { SetG(G, gMotion, 0), SetWords(G, {{wX, X}, {wY, Y}}); };
}

using TWords = std::vector<std::pair<int, Extended>>;

void SetAll(TCNC_Groups &G, const TWords &Words)
{
    for (auto [Word, Value] : Words)
        SetWord(G, Word, Value);
}

TEST_F(ChainAbs, IncrementalMovesAddToThePositionReached)
{
    RunAll({Rapid(5, 0), [](TCNC_Groups &G) { SetG(G, gAbsInc, 91), SetWord(G, wX, 10); }});
    EXPECT_EQ(Word(wX), 15);
    EXPECT_EQ(Word(wIncX), 10);
    EXPECT_EQ(Word(wIncY), 0);
    EXPECT_EQ(Word(wY), 0);
    EXPECT_EQ(Abs.Position().X, 15);

    Run([](TCNC_Groups &G) { SetWords(G, {{wY, -2}, {wZ, 3}, {wA, 90}}); });
    EXPECT_EQ(Word(wX), 15);
    EXPECT_EQ(Word(wY), -2);
    EXPECT_EQ(Word(wIncY), -2);
    EXPECT_EQ(Word(wZ), 3);
    EXPECT_EQ(Word(wA), 90);
    Run([](TCNC_Groups &G) { SetWords(G, {{wZ, 3}, {wA, 90}}); });
    EXPECT_EQ(Word(wZ), 6);
    EXPECT_EQ(Word(wA), 180);

    Run([](TCNC_Groups &G) { SetG(G, gAbsInc, 90), SetWord(G, wX, 1); });
    EXPECT_EQ(Word(wX), 1);
    EXPECT_EQ(Word(wIncX), 0);
}

TEST_F(ChainAbs, InsideACannedCycleZStaysAsProgrammed)
{
    RunAll({[](TCNC_Groups &G) {
                SetWords(G, {{wX, 1}, {wY, 2}, {wZ, 5}});
            },
            [](TCNC_Groups &G) {
                SetG(G, gAbsInc, 91), SetG(G, gCannedCycle, 81);
                SetWords(G, {{wX, 10}, {wY, 10}, {wZ, -3}, {wK, 0}});
            }});
    EXPECT_EQ(Word(wX), 11);
    EXPECT_EQ(Word(wY), 12);
    EXPECT_EQ(Word(wZ), -3);
    EXPECT_EQ(Word(wK), 1); // repeat count 0 means once
}

TEST_F(ChainAbs, PolarCoordinates)
{
    auto Polar = [](TWords Words) {
        return TLine(
            [=](TCNC_Groups &G) { G.Groups[gPolar] = 16, SetG(G, gMotion, 1), SetAll(G, Words); });
    };
    Run(Polar({{wX, 10}, {wY, 90}}));
    EXPECT_NEAR(Word(wX), 0, 1e-9);
    EXPECT_NEAR(Word(wY), 10, 1e-9);
    Run(Polar({{wY, 180}}));
    EXPECT_NEAR(Word(wX), -10, 1e-9);
    EXPECT_NEAR(Word(wY), 0, 1e-9);
    EXPECT_TRUE(G.WordSet[wX]);
    // A new radius alone keeps the angle of the last polar block.
    Run(Polar({{wX, 20}}));
    EXPECT_NEAR(Word(wX), -20, 1e-9);
    EXPECT_NEAR(Word(wY), 0, 1e-9);
    // Under G91 the pole is the position reached; Z stays incremental.
    Run([](TCNC_Groups &G) { SetWord(G, wZ, 4); });
    Run([](TCNC_Groups &G) {
        G.Groups[gPolar] = 16, SetG(G, gAbsInc, 91), SetWords(G, {{wX, 5}, {wY, 90}, {wZ, -1}});
    });
    EXPECT_NEAR(Word(wX), -20, 1e-9);
    EXPECT_NEAR(Word(wY), 5, 1e-9);
    EXPECT_NEAR(Word(wZ), 3, 1e-9);
}

// From X10 Y20 Z30: the block's end point and the position it leaves.
TEST_F(ChainAbs, UVWMoveXYZByTheirDistances)
{
    struct TCase {
        const char *Name;
        TLine Line;
        double X, Y, Z;
    } Cases[] = {
        {"U, V, W in G90", [](TCNC_Groups &G) { SetWords(G, {{wU, 5}, {wV, -5}, {wW, 1}}); }, 15,
         15, 31},
        {"U and W in G91",
         [](TCNC_Groups &G) { SetG(G, gAbsInc, 91), SetWords(G, {{wU, 5}, {wW, -1}}); }, 15, 20,
         29},
        {"U adds to the X of the same block",
         [](TCNC_Groups &G) { SetWords(G, {{wX, 40}, {wU, 2}}); }, 42, 20, 30},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        Abs.Rewind();
        Run([](TCNC_Groups &G) { SetWords(G, {{wX, 10}, {wY, 20}, {wZ, 30}}); });
        Run(C.Line);
        EXPECT_TRUE(G.WordSet[wX]) << "the axis is programmed";
        EXPECT_NEAR(Word(wX), C.X, 1e-9);
        EXPECT_NEAR(Word(wY), C.Y, 1e-9);
        EXPECT_NEAR(Word(wZ), C.Z, 1e-9);
        EXPECT_NEAR(Abs.Position().X, C.X, 1e-9);
        EXPECT_NEAR(Abs.Position().Z, C.Z, 1e-9);
    }
}

TEST_F(ChainAbs, KeywordBlocksAndNonModalCodes)
{
    Run(Rapid(5, 5));
    NewLine(G);
    SetG(G, gAbsInc, 91);
    SetKeyword(G, 0);
    SetWords(G, {{wX, 100}, {wY, 80}});
    G.Words[wIncX] = 7;
    const TCNC_Groups Keyword = G;
    EXPECT_FALSE(Abs.MakeAbsolute(G));
    for (int W = 0; W < WordCount; ++W)
        EXPECT_EQ(G.Words[W], Keyword.Words[W]) << "word " << W;
    EXPECT_EQ(Abs.Position().X, 5);
    Run([](TCNC_Groups &G) { SetWord(G, wY, 8); });
    EXPECT_EQ(Word(wX), 5) << "the billet's X is a size, not where the tool stands";
    EXPECT_EQ(Abs.Position().X, 5);
    G.Groups[gAbsInc] = 90;

    // The X of these blocks is no end point: the position stays (G28: the
    // axis ends at the reference point), and the next block, which leaves
    // X out, starts from there, not from the X word carried on.
    Abs.ReferencePoint.X = -40;
    struct TCase {
        const char *Name;
        TLine Line;
        double After;
    } Cases[] = {
        {"dwell", [](TCNC_Groups &G) { SetG(G, gNonModal, 4), SetWord(G, wX, 50); }, 5},
        {"dwell in G91",
         [](TCNC_Groups &G) { SetG(G, gAbsInc, 91), SetG(G, gNonModal, 4), SetWord(G, wX, 50); },
         5},
        {"rotation centre",
         [](TCNC_Groups &G) { SetG(G, gRotation, 68), SetWords(G, {{wX, 50}, {wR, 5}}); }, 5},
        {"scaling centre",
         [](TCNC_Groups &G) { SetG(G, gScaling, 51), SetWords(G, {{wX, 50}, {wI, 2}}); }, 5},
        {"set position", [](TCNC_Groups &G) { SetG(G, gNonModal, 92), SetWord(G, wX, 50); }, 5},
        {"reference return",
         [](TCNC_Groups &G) { SetG(G, gNonModal, 28), SetWord(G, wX, 50); }, -40},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        Abs.Rewind();
        Run(Rapid(5, 5));
        EXPECT_TRUE(Run(C.Line));
        EXPECT_EQ(Abs.Position().X, C.After);
        if (std::string(C.Name) == "set position")
            continue; // the position is now called X50
        Run([](TCNC_Groups &G) { SetWord(G, wY, 8); });
        EXPECT_EQ(Word(wX), C.After);
        EXPECT_EQ(Abs.Position().X, C.After);
    }
}

TEST_F(ChainAbs, DwellTimeIsNeverMadeAbsolute)
{
    Run(Rapid(100, 0));
    Run([](TCNC_Groups &G) { SetG(G, gAbsInc, 91), SetG(G, gNonModal, 4), SetWord(G, wX, 2); });
    EXPECT_EQ(Word(wX), 2);
}

TEST_F(ChainAbs, MirrorBits)
{
    auto M = [](int Code) { return TLine([=](TCNC_Groups &G) { SetM(G, Code); }); };
    struct TCase {
        const char *Name;
        std::vector<int> Codes;
        int Bits;
    } Cases[] = {
        {"M70 sets bit 1", {70}, 1},
        {"M71 sets bit 2", {71}, 2},
        {"M70 then M80 clears it", {70, 80}, 0},
        {"M71 alone leaves bit 1", {70, 71}, 3},
        {"M81 clears bit 2 only", {70, 71, 81}, 1},
        {"other M codes leave the bits", {70, 3}, 1},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        for (int Code : C.Codes)
            Run(M(Code));
        EXPECT_EQ(G.Groups[gMirror], C.Bits);
    }
}

struct TArcCase {
    const char *Name;
    std::vector<TLine> Lines;
    double I, J, K, Sweep, Radius;
    int Motion;
};

TLine Arc(int Motion, TWords Words, int Plane = 17)
{
    return
        [=](TCNC_Groups &G) { SetG(G, gPlane, Plane), SetG(G, gMotion, Motion), SetAll(G, Words); };
}

TEST_F(ChainAbs, EveryWayOfGivingAnArc)
{
    const double Quarter = std::sqrt(50.0);
    const TArcCase Cases[] = {
        {"R half circle clockwise",
         {Arc(2, {{wX, 10}, {wY, 0}, {wR, 5}})},
         5,
         -0.001,
         0,
         180,
         5,
         2},
        {"negative R half circle",
         {Arc(2, {{wX, 10}, {wY, 0}, {wR, -5}})},
         5,
         0.001,
         0,
         180,
         -5,
         2},
        {"R quarter to the right",
         {Arc(2, {{wX, 10}, {wY, 0}, {wR, Quarter}})},
         5,
         -5,
         0,
         90,
         Quarter,
         2},
        {"negative R takes the long way",
         {Arc(2, {{wX, 10}, {wY, 0}, {wR, -Quarter}})},
         5,
         5,
         0,
         270,
         -Quarter,
         2},
        {"R counter-clockwise",
         {Arc(3, {{wX, 10}, {wY, 0}, {wR, Quarter}})},
         5,
         5,
         0,
         -90,
         Quarter,
         3},
        {"R start equals end", {Arc(2, {{wX, 0}, {wY, 0}, {wR, 4}})}, 4, 0, 0, 0, 4, 2},
        {"R kept from an earlier block",
         {Arc(2, {{wX, 10}, {wY, 0}, {wR, 5}}), Arc(2, {{wX, 20}, {wY, 0}})},
         15,
         -0.001,
         0,
         180,
         5,
         2},
        {"IJK full circle counter-clockwise",
         {Arc(3, {{wX, 0}, {wY, 0}, {wI, 5}, {wJ, 0}})},
         5,
         0,
         0,
         -360,
         5,
         3},
        {"IJK full circle clockwise", {Arc(2, {{wI, -5}})}, -5, 0, 0, 360, 5, 2},
        {"IJK quarter", {Arc(3, {{wX, 5}, {wY, 5}, {wJ, 5}})}, 0, 5, 0, -90, 5, 3},
        {"G18 exchanges the direction",
         {[](TCNC_Groups &G) {
              SetWords(G, {{wY, 7}});
          },
          Arc(2, {{wX, 10}, {wZ, 0}, {wI, 5}}, 18)},
         5,
         7,
         0,
         -180,
         5,
         3},
        {"G19 centre in J and K",
         {[](TCNC_Groups &G) {
              SetWords(G, {{wX, 3}});
          },
          Arc(3, {{wY, 0}, {wZ, 10}, {wK, 5}}, 19)},
         3,
         0,
         5,
         -180,
         5,
         3},
    };
    for (const TArcCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        Abs.Rewind();
        Reports.clear();
        RunAll(C.Lines);
        EXPECT_TRUE(Reports.empty());
        EXPECT_NEAR(Word(wI), C.I, 2e-3);
        EXPECT_NEAR(Word(wJ), C.J, 2e-3);
        EXPECT_NEAR(Word(wK), C.K, 2e-3);
        EXPECT_NEAR(Word(wSweep), C.Sweep, 0.05);
        EXPECT_NEAR(Word(wRadius), C.Radius, 1e-9);
        EXPECT_TRUE(G.WordSet[wRadius]);
        EXPECT_FALSE(G.WordSet[wArcUnresolved]);
        EXPECT_EQ(G.Groups[gMotion], C.Motion);
    }
}

TEST_F(ChainAbs, TwoG18ArcsTurnTheSameWay)
{
    RunAll({Arc(2, {{wX, 10}, {wZ, 0}, {wR, 5}}, 18)});
    const double FirstSweep = Word(wSweep);
    EXPECT_EQ(G.Groups[gMotion], 3);
    // The second block programs no motion code: it inherits G02 as programmed.
    Run([](TCNC_Groups &G) { SetWords(G, {{wX, 20}, {wZ, 0}}); });
    EXPECT_EQ(G.Groups[gMotion], 3);
    EXPECT_NEAR(Word(wSweep), FirstSweep, 1e-6);
    EXPECT_LT(FirstSweep, 0);
}

struct TArcErrorCase {
    const char *Name;
    TLine Line;
    int Message; // 0: the arc resolves
};

TEST_F(ChainAbs, ArcChecksAtTheirLimits)
{
    const TArcErrorCase Cases[] = {
        {"R below 0.05", Arc(2, {{wX, 0.02}, {wR, 0.0499}}), 33},
        {"R of exactly 0.05", Arc(2, {{wX, 0.02}, {wR, 0.05}}), 0},
        {"R of 30000", Arc(2, {{wX, 10}, {wR, 30000}}), 0},
        {"R above 30000", Arc(2, {{wX, 10}, {wR, 30000.01}}), 33},
        {"R short of half the chord", Arc(2, {{wX, 10}, {wY, 10}, {wR, 5}}), 34},
        {"R within the chord slack", Arc(2, {{wX, 10}, {wR, 4.9999}}), 0},
        {"R just past the chord slack", Arc(2, {{wX, 10}, {wR, 4.9998}}), 34},
        {"IJK radius below 0.01", Arc(2, {{wX, 0}, {wI, 0.0099}}), 33},
        {"IJK radius of 0.01", Arc(2, {{wX, 0.02}, {wI, 0.01}}), 0},
        {"IJK end point 0.01 off the circle", Arc(2, {{wX, 10.01}, {wI, 5}}), 0},
        {"IJK end point 0.011 off the circle", Arc(2, {{wX, 10.011}, {wI, 5}}), 34},
    };
    for (const TArcErrorCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        Abs.Rewind();
        Reports.clear();
        Run(C.Line);
        if (C.Message == 0) {
            EXPECT_TRUE(Reports.empty());
            EXPECT_FALSE(G.WordSet[wArcUnresolved]);
            continue;
        }
        ASSERT_EQ(Reports.size(), 1u);
        EXPECT_EQ(Reports[0].Line, LineNumber);
        EXPECT_EQ(Reports[0].Detail, "Radius");
        EXPECT_EQ(Reports[0].Message, TMess::TableText(C.Message));
        EXPECT_TRUE(G.WordSet[wArcUnresolved]);
        EXPECT_FALSE(G.WordSet[wRadius]);
    }
}

TEST_F(ChainAbs, AFailedArcKeepsTheLastResolvedValues)
{
    Run(Arc(2, {{wX, 10}, {wY, 0}, {wR, 5}}));
    const double Sweep = Word(wSweep);
    Run(Arc(2, {{wX, 30}, {wY, 10}, {wR, 5}}));
    EXPECT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Word(wRadius), 5);
    EXPECT_EQ(Word(wSweep), Sweep);
    EXPECT_TRUE(G.WordSet[wArcUnresolved]);
    // The next good block carries no mark (the parser clears the flags).
    Run(Rapid(0, 0));
    EXPECT_FALSE(G.WordSet[wArcUnresolved]);
}

TEST_F(ChainAbs, ArcErrorsShowABoxOnlyWhenAsked)
{
    TScriptedMessages Script;
    TMessageServiceScope Scope(Script);
    Run(Arc(2, {{wX, 10}, {wY, 10}, {wR, 5}}));
    EXPECT_TRUE(Script.Log().empty());
    Abs.ShowErrorDialogueBox = true;
    Run(Arc(2, {{wX, 30}, {wY, 30}, {wR, 5}}));
    ASSERT_EQ(Script.Log().size(), 1u);
    EXPECT_NE(Script.Log()[0].Text.find("Bad ARC End Point"), std::string::npos);
}

TEST_F(ChainAbs, ArcsOutsideG17CannotBeRotated)
{
    TScriptedMessages Script;
    TMessageServiceScope Scope(Script);
    Abs.ShowErrorDialogueBox = true;
    G.Groups[gRotation] = 68;
    Run(Arc(2, {{wX, 10}, {wZ, 0}, {wR, 5}}, 18));
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].Detail, "Rotation error");
    EXPECT_EQ(Reports[0].Message, "Cannot rotate arcs in current plane");
    EXPECT_TRUE(G.WordSet[wArcUnresolved]);
    EXPECT_TRUE(Script.Log().empty()); // never shown in a box
    Run(Arc(2, {{wX, 20}, {wY, 0}, {wR, 5}}, 17));
    EXPECT_EQ(Reports.size(), 1u);
}

TEST_F(ChainAbs, RewindForgetsThePositionReached)
{
    const std::vector<TLine> Program = {
        [](TCNC_Groups &G) { SetG(G, gAbsInc, 91), SetWord(G, wX, 10); },
        [](TCNC_Groups &G) {
            SetWords(G, {{wX, 10}, {wY, 5}});
        },
    };
    RunAll(Program);
    EXPECT_EQ(Word(wX), 20);
    EXPECT_EQ(Word(wY), 5);
    Abs.Rewind();
    G = StartBlock();
    RunAll(Program);
    EXPECT_EQ(Word(wX), 20);
    EXPECT_EQ(Word(wY), 5);
    EXPECT_EQ(Abs.Position().X, 20);
}

TEST_F(ChainAbs, RewindRestartsPolarPrograms)
{
    const std::vector<TLine> Program = {
        [](TCNC_Groups &G) {
            G.Groups[gPolar] = 16, SetG(G, gMotion, 1), SetWords(G, {{wX, 10}, {wY, 0}});
        },
        [](TCNC_Groups &G) { G.Groups[gPolar] = 16, SetG(G, gAbsInc, 91), SetWord(G, wY, 90); },
    };
    RunAll(Program);
    const double X = Word(wX), Y = Word(wY);
    Abs.Rewind();
    G = StartBlock();
    RunAll(Program);
    EXPECT_NEAR(Word(wX), X, 1e-9);
    EXPECT_NEAR(Word(wY), Y, 1e-9);
}

TEST_F(ChainAbs, BlockSkipLeavesThePositionAlone)
{
    struct TCase {
        const char *Name;
        bool Switch;
        double X, Y;
        int Mirror;
    } Cases[] = {
        {"switch on: the skipped block is not counted", true, 15, 0, 0},
        {"switch off: the block runs", false, 115, 50, 1},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        Abs.Rewind();
        Abs.BlockSkip = C.Switch;
        RunAll({Rapid(5, 0),
                [](TCNC_Groups &G) {
                    SetG(G, gAbsInc, 91), SetWords(G, {{wX, 100}, {wY, 50}}), SetM(G, 70);
                    G.Groups[gBlockDelete] = 1, G.GroupSet[gBlockDelete] = true;
                },
                [](TCNC_Groups &G) { SetWord(G, wX, 10); }});
        EXPECT_EQ(Word(wX), C.X);
        EXPECT_EQ(Word(wY), C.Y);
        EXPECT_EQ(Abs.Position().X, C.X);
        EXPECT_EQ(Abs.Position().Y, C.Y);
        EXPECT_EQ(G.Groups[gMirror], C.Mirror);
    }
}

} // namespace
} // namespace orv
