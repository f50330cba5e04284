// The move calculator alone, fed hand-made absolute blocks: records for
// moves, dwells and events, the transformations of finished moves, and the
// queue that the engine pulls from.

#include "engine/chain/CNC_ABS.h"
#include "engine/chain/Calc_CNC.h"
#include "engine/chain/tests/ChainBlocks.h"
#include "platform/EventLoop.h"
#include "platform/tests/CountingLoop.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace orv {
namespace {

using namespace orv::test;
using TLine = std::function<void(TCNC_Groups &)>;

class ChainCalc : public ::testing::Test {
protected:
    // One block through Calculate; every record it queued, in order.
    std::vector<TCNC_data> Records(const TLine &Line)
    {
        NewLine(G, ++LineNumber);
        Line(G);
        Scratch = G;
        EXPECT_TRUE(Calc.Calculate(Scratch));
        std::vector<TCNC_data> Out;
        while (Calc.QueueCount() > 0) {
            TCNC_data Data;
            EXPECT_TRUE(Calc.GetNextData(Data));
            Out.push_back(Data);
        }
        return Out;
    }

    TCNC_data Record(const TLine &Line)
    {
        std::vector<TCNC_data> Out = Records(Line);
        EXPECT_EQ(Out.size(), 1u);
        return Out.empty() ? TCNC_data() : Out.back();
    }

    TCalc_CNC Calc;
    TCNC_Groups G = StartBlock();
    TCNC_Groups Scratch;
    int LineNumber = 0;
};

TLine Move(int Motion, double X, double Y)
{
    return [=](TCNC_Groups &G) { SetG(G, gMotion, Motion), SetWords(G, {{wX, X}, {wY, Y}}); };
}

// A resolved arc as the absolute stage leaves it.
TLine ArcTo(int Motion, double X, double Y, double I, double J, double Sweep, double Radius)
{
    return [=](TCNC_Groups &G) {
        SetG(G, gMotion, Motion);
        SetWords(G, {{wX, X}, {wY, Y}, {wRadius, Radius}});
        G.Words[wI] = I, G.Words[wJ] = J, G.Words[wK] = 0, G.Words[wSweep] = Sweep;
    };
}

TEST_F(ChainCalc, MovesCarryTheirEndPointAndHeader)
{
    G.RestOfLine = "";
    TCNC_data R = Record([](TCNC_Groups &G) {
        SetG(G, gMotion, 1), SetWords(G, {{wX, 10}, {wZ, -1}, {wF, 200}, {wS, 1000}, {wH, 2}});
        G.InputPosition = 42, G.Level = 1, G.LookAheadMark = true;
        G.MoveLength = 3, G.CornerAngle = 90;
    });
    EXPECT_EQ(R.Motion, 1);
    EXPECT_EQ(R.X, 10);
    EXPECT_EQ(R.Y, NoValue);
    EXPECT_EQ(R.Z, -1);
    EXPECT_EQ(R.Feed, 200);
    EXPECT_EQ(R.Spindle, 1000);
    EXPECT_EQ(R.LengthOffset, 2);
    EXPECT_EQ(R.LineNumber, LineNumber);
    EXPECT_EQ(R.InputPosition, 42);
    EXPECT_EQ(R.Level, 1);
    EXPECT_TRUE(R.LookAhead);
    EXPECT_EQ(R.MoveLength, 3);
    EXPECT_EQ(R.CornerAngle, 90);
    EXPECT_EQ(R.Plane, 17);
    EXPECT_EQ(R.WorkOffset, 54);
    EXPECT_EQ(R.MCode, NoMoveCode);
    EXPECT_EQ(R.Tool, NoMoveCode);

    TCNC_data Arc = Record(ArcTo(3, 0, 0, 5, 0, -360, 5));
    EXPECT_EQ(Arc.Motion, 3);
    EXPECT_EQ(Arc.I, 5);
    EXPECT_EQ(Arc.K, 0);
    EXPECT_EQ(Arc.Sweep, -360);
    EXPECT_EQ(Arc.Radius, 5);
}

TEST_F(ChainCalc, SettingsOnlyBlocksMoveNothing)
{
    TCNC_data R = Record([](TCNC_Groups &G) { SetM(G, 3), SetWord(G, wS, 1200); });
    EXPECT_EQ(R.Motion, NoMoveCode);
    EXPECT_EQ(R.MCode, 3);
    EXPECT_EQ(R.Spindle, 1200);
    EXPECT_EQ(R.X, NoValue);
    EXPECT_EQ(R.Y, NoValue);
    EXPECT_EQ(R.Z, NoValue);
}

TEST_F(ChainCalc, DwellTimesInMilliseconds)
{
    struct TCase {
        const char *Name;
        TLine Line;
        double Ms;
    } Cases[] = {
        {"X in seconds", [](TCNC_Groups &G) { SetG(G, gNonModal, 4), SetWord(G, wX, 1.5); }, 1500},
        {"P in milliseconds", [](TCNC_Groups &G) { SetG(G, gNonModal, 4), SetWord(G, wP, 500); },
         500},
        {"inch X is seconds too",
         [](TCNC_Groups &G) {
             G.Groups[gUnits] = 20, SetG(G, gNonModal, 4), SetWord(G, wX, 2);
         },
         2000},
        {"P wins over X",
         [](TCNC_Groups &G) {
             SetG(G, gNonModal, 4), SetWords(G, {{wX, 3}, {wP, 250}});
         },
         250},
        {"dwell under mirror stays positive",
         [](TCNC_Groups &G) { G.Groups[gMirror] = 3, SetG(G, gNonModal, 4), SetWord(G, wX, 1); },
         1000},
        {"dwell under scaling is no length",
         [](TCNC_Groups &G) { G.Groups[gScaling] = 51, SetG(G, gNonModal, 4), SetWord(G, wX, 1); },
         1000},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        TCNC_data R = Record(C.Line);
        EXPECT_EQ(R.Motion, 4);
        EXPECT_NEAR(R.X, C.Ms, 1e-9);
    }
}

TEST_F(ChainCalc, NonModalCodesAndKeywords)
{
    struct TCase {
        const char *Name;
        TLine Line;
        int Motion;
    } Cases[] = {
        {"reference return", [](TCNC_Groups &G) { SetG(G, gNonModal, 28), SetWord(G, wZ, 0); }, 28},
        {"set position",
         [](TCNC_Groups &G) {
             SetG(G, gNonModal, 92), SetWords(G, {{wX, 0}, {wY, 0}});
         },
         92},
        {"CLEAR", [](TCNC_Groups &G) { SetKeyword(G, 3); }, -13},
        {"STEP", [](TCNC_Groups &G) { SetKeyword(G, 4); }, -4},
        {"NOSTEP", [](TCNC_Groups &G) { SetKeyword(G, 5); }, -5},
        {"SHOW adds nothing", [](TCNC_Groups &G) { SetKeyword(G, 6); }, NoMoveCode},
        {"SUBPROGRAM adds nothing", [](TCNC_Groups &G) { SetKeyword(G, 8); }, NoMoveCode},
        {"work offset", [](TCNC_Groups &G) { SetG(G, gWorkOffset, 55); }, 55},
        {"feed per revolution", [](TCNC_Groups &G) { SetG(G, gFeedMode, 95); }, 95},
        {"rotation off", [](TCNC_Groups &G) { SetG(G, gRotation, 69); }, 69},
        {"scaling off", [](TCNC_Groups &G) { SetG(G, gScaling, 50); }, 50},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        EXPECT_EQ(Record(C.Line).Motion, C.Motion);
    }
}

TEST_F(ChainCalc, BilletEdgeMoveAndToolDefinition)
{
    TCNC_data Billet = Record([](TCNC_Groups &G) {
        SetKeyword(G, 0), SetWords(G, {{wX, 100}, {wY, 80}, {wZ, 20}});
    });
    EXPECT_EQ(Billet.Motion, -1);
    EXPECT_EQ(Billet.X, 100);
    EXPECT_EQ(Billet.Y, 80);
    EXPECT_EQ(Billet.Z, 20);
    EXPECT_EQ(Scratch.Words[wX], NoValue); // sizes are no position to remember
    EXPECT_EQ(Scratch.Words[wZ], NoValue);

    TCNC_data Edge = Record([](TCNC_Groups &G) { SetKeyword(G, 1), SetWords(G, {{wX, 1}}); });
    EXPECT_EQ(Edge.Motion, -6);
    EXPECT_EQ(Edge.X, 1);

    TCNC_data Tool = Record([](TCNC_Groups &G) {
        SetKeyword(G, 2), SetWords(G, {{wT, 4}, {wD, 6}, {wL, 50}});
        G.Groups[gTool] = 4, G.GroupSet[gTool] = true;
    });
    EXPECT_EQ(Tool.Motion, -3);
    EXPECT_EQ(Tool.Tool, 4);
    EXPECT_EQ(Tool.X, 6);
    EXPECT_EQ(Tool.Z, 50);
    EXPECT_FALSE(Scratch.WordSet[wT]);
    EXPECT_FALSE(Scratch.GroupSet[gTool]);
}

TEST_F(ChainCalc, OperatorMessages)
{
    TCNC_data Message =
        Record([](TCNC_Groups &G) { SetWord(G, wMessage, 0), G.RestOfLine = "CHECK TOOL"; });
    EXPECT_EQ(Message.Motion, -12);
    EXPECT_EQ(Message.Text, "CHECK TOOL");
    TCNC_data Question =
        Record([](TCNC_Groups &G) { SetWord(G, wQuestion, 0), G.RestOfLine = "READY?"; });
    EXPECT_EQ(Question.Motion, -11);
    EXPECT_EQ(Question.Text, "READY?");
}

struct TSplitCase {
    const char *Name;
    TLine Line;
    std::vector<int> Motions;
};

TEST_F(ChainCalc, ABlockWithAMoveAndAnEventGivesBoth)
{
    const TSplitCase Cases[] = {
        {"G95 with a feed move",
         [](TCNC_Groups &G) {
             SetG(G, gFeedMode, 95), SetG(G, gMotion, 1), SetWords(G, {{wX, 10}, {wF, 0.1}});
         },
         {95, 1}},
        {"G94 with a rapid",
         [](TCNC_Groups &G) { SetG(G, gFeedMode, 94), SetWord(G, wX, 1); },
         {94, 0}},
        {"G55 with a move",
         [](TCNC_Groups &G) { SetG(G, gWorkOffset, 55), SetWord(G, wX, 1); },
         {55, 0}},
        {"message with a move",
         [](TCNC_Groups &G) {
             SetWords(G, {{wX, 1}, {wMessage, 0}}), G.RestOfLine = "HI";
         },
         {-12, 0}},
        {"question with a dwell",
         [](TCNC_Groups &G) {
             SetG(G, gNonModal, 4), SetWords(G, {{wP, 9}, {wQuestion, 0}});
         },
         {-11, 4}},
        {"feed mode and work offset alone",
         [](TCNC_Groups &G) { SetG(G, gFeedMode, 95), SetG(G, gWorkOffset, 56); },
         {95, 56}},
        {"all three with a move",
         [](TCNC_Groups &G) {
             SetG(G, gFeedMode, 94), SetG(G, gWorkOffset, 59),
                 SetWords(G, {{wX, 1}, {wMessage, 0}});
         },
         {94, -12, 59, 0}},
    };
    for (const TSplitCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        std::vector<TCNC_data> Out = Records(C.Line);
        ASSERT_EQ(Out.size(), C.Motions.size());
        for (size_t i = 0; i < Out.size(); ++i) {
            EXPECT_EQ(Out[i].Motion, C.Motions[i]) << "record " << i;
            EXPECT_EQ(Out[i].LineNumber, LineNumber);
        }
    }
}

TEST_F(ChainCalc, TheEventAheadOfAMoveCarriesNoMoveOrMCode)
{
    std::vector<TCNC_data> Out = Records([](TCNC_Groups &G) {
        SetG(G, gWorkOffset, 55), SetG(G, gMotion, 1), SetM(G, 3),
            SetWords(G, {{wX, 10}, {wY, 5}, {wT, 2}});
    });
    ASSERT_EQ(Out.size(), 2u);
    EXPECT_EQ(Out[0].Motion, 55);
    EXPECT_EQ(Out[0].WorkOffset, 55);
    EXPECT_EQ(Out[0].X, NoValue);
    EXPECT_EQ(Out[0].MCode, NoMoveCode);
    EXPECT_EQ(Out[0].Tool, NoMoveCode);
    EXPECT_EQ(Out[1].Motion, 1);
    EXPECT_EQ(Out[1].X, 10);
    EXPECT_EQ(Out[1].Y, 5);
    EXPECT_EQ(Out[1].MCode, 3);
    EXPECT_EQ(Out[1].Tool, 2);
    EXPECT_EQ(Out[1].WorkOffset, 55);
}

TEST_F(ChainCalc, MirrorImaging)
{
    struct TCase {
        const char *Name;
        int Bits;
        TLine Line;
        int Motion;
        double X, Y, I, J, Sweep;
    } Cases[] = {
        {"M70 line", 1, Move(1, 10, 5), 1, -10, 5, NoValue, NoValue, 0},
        {"M71 line", 2, Move(1, 10, 5), 1, 10, -5, NoValue, NoValue, 0},
        {"both line", 3, Move(0, 10, 5), 0, -10, -5, NoValue, NoValue, 0},
        {"M70 arc turns the other way", 1, ArcTo(2, 10, 0, 5, 0, 180, 5), 3, -10, 0, -5, 0, -180},
        {"M71 arc turns the other way", 2, ArcTo(3, 10, 2, 5, 1, -90, 5), 2, 10, -2, 5, -1, 90},
        {"both keep the direction", 3, ArcTo(2, 10, 2, 5, 1, 90, 5), 2, -10, -2, -5, -1, 90},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        G = StartBlock();
        G.Groups[gMirror] = C.Bits;
        TCNC_data R = Record(C.Line);
        EXPECT_EQ(R.Motion, C.Motion);
        EXPECT_EQ(Scratch.Groups[gMotion], C.Motion);
        EXPECT_EQ(R.X, C.X);
        EXPECT_EQ(R.Y, C.Y);
        EXPECT_EQ(R.I, C.I);
        EXPECT_EQ(R.J, C.J);
        EXPECT_EQ(R.Sweep, C.Sweep);
        EXPECT_EQ(static_cast<double>(Scratch.Words[wX]), C.X);
    }
}

TEST_F(ChainCalc, RotationTurnsLaterMovesAboutItsCentre)
{
    TCNC_data On = Record([](TCNC_Groups &G) {
        SetG(G, gRotation, 68), SetWords(G, {{wX, 0}, {wY, 0}, {wR, 90}});
    });
    EXPECT_EQ(On.Motion, 68);
    EXPECT_EQ(On.R, 90);
    TCNC_data Line = Record(Move(1, 10, 0));
    EXPECT_NEAR(Line.X, 0, 1e-9);
    EXPECT_NEAR(Line.Y, 10, 1e-9);
    EXPECT_NEAR(static_cast<double>(Scratch.Words[wY]), 10, 1e-9);
    TCNC_data Arc = Record(ArcTo(2, 10, 10, 10, 5, 180, 5));
    EXPECT_NEAR(Arc.X, -10, 1e-9);
    EXPECT_NEAR(Arc.Y, 10, 1e-9);
    EXPECT_NEAR(Arc.I, -5, 1e-9);
    EXPECT_NEAR(Arc.J, 10, 1e-9);
    EXPECT_EQ(Arc.Sweep, 180);

    // A G68 without a centre turns about the position reached.
    G = StartBlock();
    Record(Move(0, 5, 5));
    G.Words[wX] = NoValue, G.Words[wY] = NoValue;
    Record([](TCNC_Groups &G) { SetG(G, gRotation, 68), SetWord(G, wR, 180); });
    TCNC_data Turned = Record(Move(1, 10, 5));
    EXPECT_NEAR(Turned.X, 0, 1e-9);
    EXPECT_NEAR(Turned.Y, 5, 1e-9);
}

TEST_F(ChainCalc, ScalingAboutItsCentre)
{
    TCNC_data On = Record([](TCNC_Groups &G) {
        SetG(G, gScaling, 51), SetWords(G, {{wX, 0}, {wY, 0}, {wI, 2}, {wJ, 2}, {wK, 1}});
    });
    EXPECT_EQ(On.Motion, 51);
    EXPECT_EQ(On.I, 2);
    TCNC_data Line = Record(Move(1, 5, 5));
    EXPECT_FLOAT_EQ(Line.X, 10);
    EXPECT_FLOAT_EQ(Line.Y, 10);
    TCNC_data Arc = Record(ArcTo(2, 10, 0, 5, 0, 180, 5));
    EXPECT_FLOAT_EQ(Arc.X, 20);
    EXPECT_FLOAT_EQ(Arc.I, 10);
    EXPECT_FLOAT_EQ(static_cast<double>(Arc.Radius), 10);

    // Factors not given are 1, whatever the I, J, K words held before.
    G = StartBlock();
    G.Words[wI] = 7;
    Record([](TCNC_Groups &G) {
        SetG(G, gScaling, 51), SetWords(G, {{wX, 10}, {wY, 0}, {wJ, 3}});
    });
    TCNC_data Scaled = Record(Move(1, 12, 1));
    EXPECT_FLOAT_EQ(Scaled.X, 12);
    EXPECT_FLOAT_EQ(Scaled.Y, 3);
    EXPECT_EQ(Record([](TCNC_Groups &G) { SetG(G, gScaling, 50); }).Motion, 50);
}

TEST_F(ChainCalc, FourthAxisFollowsTheMachineData)
{
    struct TCase {
        const char *Name;
        int Axis;
        double Expected;
    } Cases[] = {{"none", 0, NoValue},
                 {"A", 1, 10},
                 {"B", 2, 20},
                 {"C", 3, 30},
                 {"out of range", 4, NoValue}};
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        Calc.FourthAxis = C.Axis;
        TCNC_data R = Record([](TCNC_Groups &G) {
            SetG(G, gMotion, 1), SetWords(G, {{wA, 10}, {wB, 20}, {wC, 30}});
        });
        EXPECT_EQ(R.FourthAxis, C.Expected);
    }
}

TEST_F(ChainCalc, AnUnresolvedArcIsNeitherDrawnNorRun)
{
    std::vector<TCNC_data> Out = Records([](TCNC_Groups &G) {
        ArcTo(2, 10, 10, 3, 0, 90, 5)(G);
        SetG(G, gWorkOffset, 55);
        G.WordSet[wRadius] = false;
        G.WordSet[wArcUnresolved] = true;
    });
    ASSERT_EQ(Out.size(), 1u);
    EXPECT_EQ(Out[0].Motion, NoMoveCode);
}

TEST_F(ChainCalc, ValuesBeyondTheRangeOfARealAreNotRun)
{
    std::vector<std::string> Reports;
    Calc.OnErrorEvent = [&](TObject *, int Line, const std::string &Detail,
                            const std::string &Message) {
        Reports.push_back(std::to_string(Line) + " " + Detail + " : " + Message);
    };
    Record([](TCNC_Groups &G) {
        SetG(G, gScaling, 51), SetWords(G, {{wX, 0}, {wY, 0}, {wI, 3}, {wJ, 3}});
    });
    EXPECT_TRUE(Reports.empty());
    TCNC_data R = Record([](TCNC_Groups &G) {
        SetG(G, gMotion, 1), SetWords(G, {{wX, 1e308L}, {wY, 1}});
    });
    EXPECT_EQ(R.Motion, NoMoveCode);
    EXPECT_EQ(R.X, NoValue);
    EXPECT_EQ(R.Y, 3);
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0], std::to_string(LineNumber) + " X : Value was not acceptable");

    // A scale factor beyond single precision leaves that axis unscaled.
    G = StartBlock();
    Record([](TCNC_Groups &G) {
        SetG(G, gScaling, 51), SetWords(G, {{wX, 0}, {wY, 0}, {wI, 1e39L}, {wJ, 2}});
    });
    TCNC_data Scaled = Record(Move(1, 4, 4));
    EXPECT_EQ(Scaled.Motion, 1);
    EXPECT_FLOAT_EQ(Scaled.X, 4);
    EXPECT_FLOAT_EQ(Scaled.Y, 8);
}

TEST_F(ChainCalc, GetNextDataPullsThroughItsEvent)
{
    int Asked = 0;
    Calc.OnNextNotify = [&](TObject *Sender) {
        EXPECT_EQ(Sender, &Calc);
        ++Asked;
        NewLine(G, ++LineNumber);
        Move(1, Asked, 0)(G);
        TCNC_Groups Block = G;
        Calc.Calculate(Block);
    };
    TCNC_data Data;
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(Calc.GetNextData(Data));
        EXPECT_EQ(Data.X, i);
    }
    EXPECT_EQ(Asked, 3);

    // A stopped calculator hands out nothing and leaves Data alone.
    Calc.Stopped = true;
    Data.X = 77;
    EXPECT_TRUE(Calc.GetNextData(Data));
    EXPECT_EQ(Data.X, 77);
    EXPECT_EQ(Asked, 3);
}

// A block calculated while records of the one before are still queued
// waits until the consumers took them (each ask comes as a message) and
// sleeps in the event loop meanwhile; a stop ends the wait and the stopped
// run's records are dropped.
TEST_F(ChainCalc, ABlockWaitsAsleepUntilTheQueueIsTaken)
{
    test::TCountingLoop Loop;
    TEventLoopScope Scope(Loop);
    auto Queue = [&](double X) {
        NewLine(G, ++LineNumber);
        Move(1, X, 0)(G);
        TCNC_Groups Block = G;
        return Calc.Calculate(Block);
    };
    Queue(1);
    std::vector<double> Taken;
    TTimer Consumer;
    Consumer.SetInterval(2000);
    Consumer.OnTimer = [&] {
        Consumer.SetEnabled(false);
        TCNC_data Data;
        Calc.GetNextData(Data);
        Taken.push_back(Data.X);
    };
    Consumer.SetEnabled(true);
    EXPECT_TRUE(Queue(2));
    EXPECT_EQ(Taken, std::vector<double>{1});
    EXPECT_EQ(Loop.NowMs(), 2000);
    EXPECT_EQ(Loop.Serves, 0) << "the wait served messages in a loop";
    EXPECT_EQ(Loop.Waits, 1);
    ASSERT_EQ(Calc.QueueCount(), 1);

    TTimer Stop;
    Stop.SetInterval(500);
    Stop.OnTimer = [&] {
        Stop.SetEnabled(false);
        Calc.Stopped = true;
    };
    Stop.SetEnabled(true);
    Queue(3);
    EXPECT_EQ(Loop.NowMs(), 2500);
    EXPECT_EQ(Loop.Serves, 0);
    ASSERT_EQ(Calc.QueueCount(), 1) << "the stopped run's record is dropped";
    Calc.Stopped = false;
    TCNC_data Next;
    Calc.GetNextData(Next);
    EXPECT_EQ(Next.X, 3);
}

TEST_F(ChainCalc, GetNextDataReportsTheEnd)
{
    TCNC_data Data;
    // Nobody fills the queue: nothing delivered.
    EXPECT_FALSE(Calc.GetNextData(Data));
    EXPECT_FALSE(Calc.GetNextData(Data));
    Calc.ClearQueue();

    // The engine marks the last block with line index -1.
    NewLine(G);
    G.LineNumber = -1;
    SetWord(G, wG, -101);
    TCNC_Groups Block = G;
    Calc.Calculate(Block);
    EXPECT_FALSE(Calc.GetNextData(Data));
    EXPECT_EQ(Data.LineNumber, -1);
}

TEST_F(ChainCalc, RewindForgetsThePositionReached)
{
    Record(Move(0, 8, 6));
    Calc.Rewind();
    G.Words[wX] = NoValue, G.Words[wY] = NoValue;
    Record([](TCNC_Groups &G) { SetG(G, gRotation, 68), SetWord(G, wR, 180); });
    TCNC_data Turned = Record(Move(1, 1, 0));
    EXPECT_NEAR(Turned.X, -1, 1e-9); // about (0, 0), not about (8, 6)
    EXPECT_NEAR(Turned.Y, 0, 1e-9);
}

} // namespace
} // namespace orv
