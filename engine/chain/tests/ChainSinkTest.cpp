// The output-sink contract: dispatch of a record to the per-kind
// operations, the end record, the dwell wait, the material clamp, and the
// pull "sink asks -> engine hands out -> sink asks" running as a loop.

#include "engine/chain/BasicOutput.h"
#include "platform/EventLoop.h"
#include "platform/tests/CountingLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace orv {
namespace {

// A sink that writes down every operation the base calls.
class TLoggingSink : public TBasicOutput {
public:
    std::vector<std::string> Log;

    void RapidMove(double X, double Y, double Z) override { Add("rapid", X); }
    void LinearMove(double X, double Y, double Z) override { Add("linear", X); }
    void ArcMove(double X, double Y, double Z, double CX, double CY, double CZ, Extended Sweep,
                 Extended Radius) override
    {
        Add("arc", X, static_cast<double>(Sweep));
    }
    void HomeMove(double X, double Y, double Z) override { Add("home", X); }
    void Dwell(double Ms) override { Add("dwell", Ms); }
    void MCodeHook(int &MCode) override { Add("mcode", MCode); }
    void SpindleChange(TCNC_data &Data) override { Add("spindle", Data.Spindle); }
    void ToolChange(TCNC_data &Data) override { Add("tool", Data.Tool); }
    void FeedChange(TCNC_data &Data) override { Add("feed", Data.Feed); }

private:
    void Add(const char *What, double A, double B = 0)
    {
        std::string Text = std::string(What) + " " + std::to_string(static_cast<long long>(A));
        if (B != 0)
            Text += " " + std::to_string(static_cast<long long>(B));
        Log.push_back(Text);
    }
};

TCNC_data MoveRecord(int Motion, double X)
{
    TCNC_data Data;
    Data.Motion = Motion;
    Data.X = X;
    Data.LineNumber = 1;
    return Data;
}

TEST(ChainSink, DoMoveDispatchesByMotionCode)
{
    struct TCase {
        const char *Name;
        int Motion;
        std::string Expected; // "" : nothing called
    } Cases[] = {
        {"rapid", 0, "rapid 7"},           {"linear", 1, "linear 7"},
        {"clockwise arc", 2, "arc 7 90"},  {"counter-clockwise", 3, "arc 7 90"},
        {"dwell time in X", 4, "dwell 7"}, {"reference return", 28, "home 7"},
        {"code 5 does nothing", 5, ""},    {"work offset does nothing", 54, ""},
        {"nothing to do", NoMoveCode, ""},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TLoggingSink Sink;
        TCNC_data Data = MoveRecord(C.Motion, 7);
        Data.Sweep = 90;
        Sink.DoMove(Data);
        if (C.Expected.empty())
            EXPECT_TRUE(Sink.Log.empty());
        else
            EXPECT_EQ(Sink.Log, std::vector<std::string>{C.Expected});
    }
}

TEST(ChainSink, ProcessDataCallsInItsOrder)
{
    TLoggingSink Sink;
    TCNC_data Data = MoveRecord(1, 3);
    Data.Tool = 2, Data.MCode = 8, Data.Spindle = 900, Data.Feed = 150;
    EXPECT_TRUE(Sink.ProcessData(Data));
    const std::vector<std::string> Expected = {"tool 2",   "mcode 8",  "spindle 900",
                                               "feed 150", "linear 3", "mcode 8"};
    EXPECT_EQ(Sink.Log, Expected);
}

TEST(ChainSink, ABaseSinkPassesEveryRecordAndAsksForTheNext)
{
    TBasicOutput Sink;
    int Asked = 0;
    Sink.OnNextNotify = [&](TObject *Sender) {
        EXPECT_EQ(Sender, &Sink);
        ++Asked;
    };
    Sink.Start();
    EXPECT_EQ(Asked, 1);
    TCNC_data Move = MoveRecord(5, 0);
    Sink.Execute(Move);
    EXPECT_EQ(Asked, 2);
    TCNC_data End = MoveRecord(EndOfProgramCode, 0);
    Sink.Execute(End);
    EXPECT_EQ(Asked, 2); // no request after the end record
}

TEST(ChainSink, AStoppedRunHidesTheEndFromLaterSinks)
{
    struct TCase {
        const char *Name;
        TCycleState State;
        int SeenBySecond;
    } Cases[] = {
        {"stopped: the end becomes nothing to do", csStopped, NoMoveCode},
        {"running: the end stays", csRunning, EndOfProgramCode},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TBasicOutput First;
        TLoggingSink Second;
        First.SetCycleState(C.State);
        TCNC_data End = MoveRecord(EndOfProgramCode, 0);
        First.Execute(End);
        EXPECT_EQ(End.Motion, C.SeenBySecond);
    }
}

TEST(ChainSink, ClampToLimitsCutsOnlyAboveTheMaximum)
{
    TBasicOutput Sink;
    Sink.MaterialMaximum = {250, 200, 50};
    struct TCase {
        const char *Name;
        double X, Y, Z, ExpX, ExpY, ExpZ;
    } Cases[] = {
        {"above", 300, 201, 60, 250, 200, 50},
        {"negative stays", -50, -1, -100, -50, -1, -100},
        {"exactly the maximum stays", 250, 200, 50, 250, 200, 50},
        {"just above", 250.001, 200.001, 50.001, 250, 200, 50},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        double X = C.X, Y = C.Y, Z = C.Z;
        Sink.ClampToLimits(X, Y, Z);
        EXPECT_EQ(X, C.ExpX);
        EXPECT_EQ(Y, C.ExpY);
        EXPECT_EQ(Z, C.ExpZ);
    }
}

TEST(ChainSink, UnitsBilletAndRunFlags)
{
    TBasicOutput Sink;
    Sink.SetUnits(Inch);
    EXPECT_EQ(Sink.Units, Inch);
    EXPECT_EQ(Sink.Decimals, 4);
    Sink.SetUnits(Metric);
    EXPECT_EQ(Sink.Decimals, 3);
    Sink.SetBillet(1, 2, 3, 4, 5);
    EXPECT_EQ(Sink.BilletXPos, 1);
    EXPECT_EQ(Sink.BilletYPos, 2);
    EXPECT_EQ(Sink.BilletXSize, 3);
    EXPECT_EQ(Sink.BilletYSize, 4);
    EXPECT_EQ(Sink.BilletZSize, 5);
    Sink.SetCycleState(csPaused);
    EXPECT_EQ(Sink.RunState, csPaused);
    Sink.Stop();
    EXPECT_TRUE(Sink.Stopped);
    EXPECT_TRUE(Sink.Initialise());
}

// The dwell sleeps in the event loop: it serves what comes and wakes for
// its timer, and never serves in a loop, which would spin a core.
TEST(ChainSink, DwellWaitsServingMessages)
{
    test::TCountingLoop Loop;
    TEventLoopScope Scope(Loop);
    TBasicOutput Sink;
    int Served = 0;
    Loop.Post([&] { ++Served; });
    TCNC_data Dwell = MoveRecord(4, 1500);
    Sink.Execute(Dwell);
    EXPECT_GE(Loop.NowMs(), 1500);
    EXPECT_LT(Loop.NowMs(), 1500 + 2 * Loop.StepMs);
    EXPECT_EQ(Served, 1); // the user interface stayed responsive
    EXPECT_FALSE(Sink.Dwelling());
    EXPECT_EQ(Loop.Serves, 0) << "the dwell served messages in a loop";
    EXPECT_EQ(Loop.Waits, 2) << "one wait for the message, one for the timer";
}

TEST(ChainSink, ADwellEndsWhenTheRunStops)
{
    test::TCountingLoop Loop;
    TEventLoopScope Scope(Loop);
    TBasicOutput Sink;
    Loop.StartTimer(100, [&] { Sink.Stop(); });
    Sink.Dwell(3600000); // an hour
    EXPECT_EQ(Loop.NowMs(), 100);
    EXPECT_EQ(Loop.Serves, 0) << "the dwell served messages in a loop";
    EXPECT_FALSE(Sink.Dwelling());

    const int64_t Before = Loop.NowMs();
    Sink.Stopped = false;
    Sink.Dwell(-5);
    Sink.Dwell(std::nan(""));
    EXPECT_EQ(Loop.NowMs(), Before); // nothing to wait for
}

// An engine in miniature: waits until every sink has asked, then hands the
// next record to every sink in slot order, as the engine form does.
class TFakeEngine {
public:
    explicit TFakeEngine(long Moves) : FMoves(Moves) {}

    // A machine that answers each record at once, through the same loop.
    void AddMachine()
    {
        HasMachine = true;
        Consumers++;
    }

    void Add(TBasicOutput &Sink)
    {
        Consumers++;
        Sinks.push_back(&Sink);
        Sink.SetCycleState(csRunning);
        Sink.OnNextNotify = [this](TObject *Sender) { NextNotify(Sender); };
    }

    void NextNotify(TObject *Sender)
    {
        ++Depth;
        MaxDepth = std::max(MaxDepth, Depth);
        Waiting.insert(Sender);
        if (Waiting.size() == Consumers) {
            Waiting.clear();
            Record = ++Handed <= FMoves ? MoveRecord(1, Handed) : MoveRecord(EndOfProgramCode, 0);
            for (TBasicOutput *Sink : Sinks)
                Sink->Execute(Record);
            if (HasMachine && Record.Motion != EndOfProgramCode) {
                ++MachineBlocks;
                RunNextNotify([this] { NextNotify(&Machine); });
            }
        }
        --Depth;
    }

    std::vector<TBasicOutput *> Sinks;
    size_t Consumers = 0;
    bool HasMachine = false;
    TObject Machine;
    long MachineBlocks = 0;
    std::set<TObject *> Waiting;
    TCNC_data Record;
    long Handed = 0;
    int Depth = 0;
    int MaxDepth = 0;

private:
    long FMoves;
};

// Counts linear moves and keeps the first few, tagged with its slot.
class TCountingSink : public TBasicOutput {
public:
    TCountingSink(int Slot, std::vector<std::string> &Order) : FSlot(Slot), FOrder(Order) {}
    void LinearMove(double X, double Y, double Z) override
    {
        ++Moves;
        if (FOrder.size() < 6)
            FOrder.push_back(std::to_string(FSlot) + ":" + std::to_string(long(X)));
    }
    long Moves = 0;

private:
    int FSlot;
    std::vector<std::string> &FOrder;
};

TEST(ChainSink, AMillionMovesRunInConstantStackDepth)
{
    const long Moves = 1000000;
    std::vector<std::string> Order;
    TCountingSink Slot0(0, Order), Slot1(1, Order);
    TFakeEngine Engine(Moves);
    Engine.Add(Slot0);
    Engine.Add(Slot1);
    Slot0.Start();
    Slot1.Start();
    EXPECT_EQ(Slot0.Moves, Moves);
    EXPECT_EQ(Slot1.Moves, Moves);
    EXPECT_EQ(Engine.Record.Motion, EndOfProgramCode);
    EXPECT_EQ(Engine.MaxDepth, 1);
    const std::vector<std::string> Expected = {"0:1", "1:1", "0:2", "1:2", "0:3", "1:3"};
    EXPECT_EQ(Order, Expected); // every record to every sink in slot order
}

TEST(ChainSink, TheMachineAnswersThroughTheSameLoop)
{
    const long Moves = 200000;
    std::vector<std::string> Order;
    TCountingSink Slot0(0, Order);
    TFakeEngine Engine(Moves);
    Engine.Add(Slot0);
    Engine.AddMachine();
    RunNextNotify([&] { Engine.NextNotify(&Engine.Machine); }); // the machine's cycle start
    Slot0.Start();
    EXPECT_EQ(Slot0.Moves, Moves);
    EXPECT_EQ(Engine.MachineBlocks, Moves);
    EXPECT_EQ(Engine.MaxDepth, 1);
}

TEST(ChainSink, ASinkFreedWhileItsRequestWaitsIsSkipped)
{
    TBasicOutput First;
    auto Second = std::make_unique<TBasicOutput>();
    std::vector<std::string> Calls;
    Second->OnNextNotify = [&](TObject *) { Calls.push_back("second"); };
    First.OnNextNotify = [&](TObject *) {
        Calls.push_back("first");
        TCNC_data Move = MoveRecord(1, 0);
        Second->Execute(Move); // queued behind this call
        Second.reset();        // and freed before it runs
    };
    First.Start();
    EXPECT_EQ(Calls, std::vector<std::string>{"first"});
}

TEST(ChainSink, AHandlerThatThrowsLeavesTheLoopUsable)
{
    TBasicOutput Sink;
    Sink.OnNextNotify = [](TObject *) {
        throw std::runtime_error("NextNotify Input Type not supported");
    };
    EXPECT_THROW(Sink.Start(), std::runtime_error);
    int Asked = 0;
    Sink.OnNextNotify = [&](TObject *) { ++Asked; };
    Sink.Start();
    EXPECT_EQ(Asked, 1);
    bool Ran = false;
    RunNextNotify([&] { Ran = true; });
    EXPECT_TRUE(Ran);
}

} // namespace
} // namespace orv
