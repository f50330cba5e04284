// The metric stage alone: which words of an inch block become millimetres.

#include "engine/chain/CNC_Metric.h"
#include "engine/chain/tests/ChainBlocks.h"

#include <gtest/gtest.h>

#include <functional>

namespace orv {
namespace {

using namespace orv::test;

struct TMetricCase {
    const char *Name;
    std::function<void(TCNC_Groups &)> Line;
    int Word;
    Extended Expected;
};

TEST(ChainMetric, InchWordsAndTheirExceptions)
{
    const TMetricCase Cases[] = {
        {"X of a feed move",
         [](TCNC_Groups &G) {
             SetG(G, gMotion, 1), SetWords(G, {{wX, 1}, {wF, 10}});
         },
         wX, 25.4},
        {"F becomes mm/min",
         [](TCNC_Groups &G) {
             SetG(G, gMotion, 1), SetWords(G, {{wX, 1}, {wF, 10}});
         },
         wF, 254},
        {"dwell P stays", [](TCNC_Groups &G) { SetG(G, gNonModal, 4), SetWord(G, wP, 2); }, wP, 2},
        {"A is scaled like a length", [](TCNC_Groups &G) { SetWord(G, wA, 2); }, wA, 50.8},
        {"D and L",
         [](TCNC_Groups &G) {
             SetWords(G, {{wD, 1}, {wL, 2}});
         },
         wL, 50.8},
        {"U", [](TCNC_Groups &G) { SetWord(G, wU, -1); }, wU, -25.4},
        {"polar Y is an angle",
         [](TCNC_Groups &G) {
             G.Groups[gPolar] = 16, SetWords(G, {{wX, 1}, {wY, 45}});
         },
         wY, 45},
        {"polar X is a length",
         [](TCNC_Groups &G) {
             G.Groups[gPolar] = 16, SetWords(G, {{wX, 1}, {wY, 45}});
         },
         wX, 25.4},
        {"G51 block keeps centre",
         [](TCNC_Groups &G) {
             SetG(G, gScaling, 51), SetWords(G, {{wX, 1}, {wI, 2}});
         },
         wX, 1},
        {"G51 block keeps factors",
         [](TCNC_Groups &G) {
             SetG(G, gScaling, 51), SetWords(G, {{wX, 1}, {wI, 2}});
         },
         wI, 2},
        {"scaling active but not programmed converts",
         [](TCNC_Groups &G) { G.Groups[gScaling] = 51, SetWord(G, wX, 1); }, wX, 25.4},
        {"G68 keeps the angle R",
         [](TCNC_Groups &G) {
             SetG(G, gRotation, 68), SetWords(G, {{wX, 1}, {wR, 30}});
         },
         wR, 30},
        {"G68 converts its centre",
         [](TCNC_Groups &G) {
             SetG(G, gRotation, 68), SetWords(G, {{wX, 1}, {wR, 30}});
         },
         wX, 25.4},
        {"R of an arc converts", [](TCNC_Groups &G) { SetG(G, gMotion, 2), SetWord(G, wR, 1); }, wR,
         25.4},
        {"G83 converts its peck depth Q",
         [](TCNC_Groups &G) {
             G.Groups[gCannedCycle] = 83, SetWords(G, {{wQ, 2}, {wK, 3}, {wZ, -1}});
         },
         wQ, 50.8},
        {"G73 converts its peck depth Q",
         [](TCNC_Groups &G) { G.Groups[gCannedCycle] = 73, SetWord(G, wQ, 0.1); }, wQ, 2.54},
        {"G81 keeps its repeat count K",
         [](TCNC_Groups &G) { G.Groups[gCannedCycle] = 81, SetWord(G, wK, 3); }, wK, 3},
        {"K of an arc while a cycle is modal converts",
         [](TCNC_Groups &G) {
             G.Groups[gCannedCycle] = 81, SetG(G, gMotion, 2), SetWord(G, wK, 1);
         },
         wK, 25.4},
        {"a dwell keeps its seconds X",
         [](TCNC_Groups &G) { SetG(G, gNonModal, 4), SetWord(G, wX, 2); }, wX, 2},
        {"G83 keeps K",
         [](TCNC_Groups &G) {
             G.Groups[gCannedCycle] = 83, SetWords(G, {{wQ, 2}, {wK, 3}, {wZ, -1}});
         },
         wK, 3},
        {"G83 converts Z",
         [](TCNC_Groups &G) {
             G.Groups[gCannedCycle] = 83, SetWords(G, {{wQ, 2}, {wK, 3}, {wZ, -1}});
         },
         wZ, -25.4},
        {"G81 converts Q", [](TCNC_Groups &G) { G.Groups[gCannedCycle] = 81, SetWord(G, wQ, 2); },
         wQ, 50.8},
        {"a word not programmed keeps its modal value",
         [](TCNC_Groups &G) { G.Words[wY] = 3, SetWord(G, wX, 1); }, wY, 3},
    };
    for (const TMetricCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TCNC_Groups G = StartBlock();
        G.Groups[gUnits] = 20;
        NewLine(G);
        C.Line(G);
        TCNC_Metric Metric;
        EXPECT_TRUE(Metric.ConvertToMetric(G));
        EXPECT_NEAR(static_cast<double>(G.Words[C.Word]), static_cast<double>(C.Expected), 1e-9);
    }
}

TEST(ChainMetric, MetricBlocksStayAndTheStageAsksForMore)
{
    TCNC_Groups G = StartBlock();
    NewLine(G);
    SetWords(G, {{wX, 1}, {wF, 10}});
    TCNC_Metric Metric;
    int Asked = 0;
    Metric.OnNextNotify = [&](TObject *Sender) {
        EXPECT_EQ(Sender, &Metric);
        ++Asked;
    };
    EXPECT_TRUE(Metric.ConvertToMetric(G));
    EXPECT_EQ(G.Words[wX], 1);
    EXPECT_EQ(G.Words[wF], 10);
    EXPECT_EQ(Asked, 1);
}

} // namespace
} // namespace orv
