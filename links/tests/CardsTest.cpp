// The motion-card controllers against the recording cards, on the test
// clock: the call sequences of creation, Open (the "does not exist !"
// texts in order), moves, arcs per plane, homing and command entries;
// input 31; a failing call reported, never thrown; the first card's wait
// for its move count; the newer card's port search, inspection, suspend
// and resume, data events, near targets and closing.

#include "links/ControllerNextMove.h"
#include "links/ControllerNextMoveES.h"
#include "links/sim/RecordingCards.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv {
namespace {

// The calls of Card from From on, without the status reads.
std::vector<std::string> Moves(const TRecordingCard &Card, size_t From = 0) {
    std::vector<std::string> out;
    for (size_t i = From; i < Card.Calls.size(); ++i) {
        const std::string &c = Card.Calls[i];
        bool read = false;
        for (const char *r : {"464(", "465(", "368(", "369(", "552(0)", "104(19)", "105("})
            read = read || c.rfind(r, 0) == 0;
        if (!read)
            out.push_back(c);
    }
    return out;
}

class CardTest : public ::testing::Test {
protected:
    CardTest() : Scope(Loop), Messages(Box) {
        MintFactories().CardA = [this]() -> std::unique_ptr<TMintControl> {
            auto c = std::make_unique<TRecordingCardA>();
            A = c.get();
            return c;
        };
        MintFactories().CardB = [this]() -> std::unique_ptr<TMintControl5023> {
            auto c = std::make_unique<TRecordingCardB>();
            c->CardPort = CardPort;
            B = c.get();
            return c;
        };
        Mint = Temp.Write("prog.mnt", "");
        Data.MachineFile = Temp.Write("MILL.ini", "[Communications]\nCom Port=5\n");
        Data.Feed.MaxContourAngle = 30;
        Data.Feed.StepsF = 400;
    }
    ~CardTest() override { MintFactories() = {}; }
    template <typename C> void Wire(C &Controller) {
        Controller.ProgramFile = Mint;
        Controller.MachineData = &Data;
        Controller.SpindleMaximum = 12000;
        Controller.OnDone = [this](TObject *, bool) { ++Done; };
        Controller.NotifyWindow = [this](int Message) { Notes.push_back(Message); };
        Controller.SetErrorHandler([this](TObject *, int, const std::string &,
                                          const std::string &Message, const std::string &) {
            Errors.push_back(Message);
        });
    }
    void Serve(int Ms) {
        int64_t end = Loop.NowMs() + Ms;
        while (Loop.NowMs() < end)
            Loop.ProcessMessages();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const TRecordedMessage &m : Box.Log())
            out.push_back(m.Text);
        return out;
    }

    TTestEventLoop Loop;
    TEventLoopScope Scope;
    TScriptedMessages Box;
    TMessageServiceScope Messages;
    test::TTempDir Temp;
    TRead_Machinedata_file Data;
    std::string Mint;
    TRecordingCardA *A = nullptr;
    TRecordingCardB *B = nullptr;
    int CardPort = 1;
    int Done = 0;
    std::vector<int> Notes;
    std::vector<std::string> Errors;
};

// ---------------------------------------------------------------- card A

TEST_F(CardTest, FirstCardOpenChecksItsFilesInOrder) {
    TControllerNextMove c;
    Wire(c);
    c.FirmwareFolder = Temp.Path();
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(A->Calls, std::vector<std::string>{"941(2,1,57600,1)"});
    EXPECT_FALSE(c.Open(1, 9600, 1, false));
    Temp.Write("nmpci.chx", "");
    EXPECT_FALSE(c.Open(1, 9600, 1, false));
    Temp.Write("prog.cfg", "");
    std::filesystem::remove(Mint);
    EXPECT_FALSE(c.Open(1, 9600, 1, false));
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Firmware file:" + Temp.File("nmpci.chx") + " does not exist !",
                           "Config file:" + Temp.File("prog.cfg") + " does not exist !",
                           "Mint file:" + Mint + " does not exist !"}));
    EXPECT_EQ(A->Calls, std::vector<std::string>{"941(2,1,57600,1)"}); // drives still off
}

TEST_F(CardTest, FirstCardOpenMovesArcsHomingAndCommands) {
    Temp.Write("nmpci.chx", "");
    Temp.Write("prog.cfg", "");
    TControllerNextMove c;
    Wire(c);
    c.FirmwareFolder = Temp.Path();
    ASSERT_TRUE(c.Open(1, 9600, 1, false));
    EXPECT_EQ(Moves(*A), (std::vector<std::string>{
                             "941(2,1,57600,1)", "96()", "203(0)", "203(1)", "203(2)", "264(0,1)",
                             "264(1,1)", "264(2,1)", "236(0,3)", "236(1,3)", "236(2,3)", "306(0,3)",
                             "306(1,3)", "306(2,3)", "103(15,12000)", "611(1)", "606(1)"}));
    size_t from = A->Calls.size();
    c.MoveLinear(0, 0, 0, false); // where it is: done at once, nothing loaded
    EXPECT_EQ(Done, 1);
    c.SetFeedRate(1000);
    c.MoveLinear(100, 200, 0, false);
    EXPECT_EQ(Done, 1);
    Serve(400); // the axes stop; the idle event completes the move
    EXPECT_EQ(Done, 2);
    int32_t x, y, z;
    ASSERT_TRUE(c.GetPosition(x, y, z));
    EXPECT_EQ(y, 200);
    struct {
        int Plane;
        const char *Call;
    } arcs[] = {{17, "218(0,1,10,20,-90)"}, {18, "218(0,2,10,30,-90)"}, {19, "218(1,2,20,30,-90)"}};
    for (const auto &a : arcs) {
        size_t at = A->Calls.size();
        c.MoveArc(0, 0, 0, 10, 20, 30, 5, 90, false, a.Plane);
        EXPECT_EQ(Moves(*A, at), (std::vector<std::string>{a.Call, "331(3,[1,2,3])"}));
    }
    size_t at = A->Calls.size();
    c.Home(0, 2);
    c.Home(1, 0);
    c.WriteComms(18, 30);
    EXPECT_EQ(Moves(*A, at), (std::vector<std::string>{"347(0,0)", "347(1,2)", "103(18,30)",
                                                         "103(1,18)"}));
    EXPECT_EQ(Moves(*A, from)[0], "431(0)");
    EXPECT_TRUE(Errors.empty());
}

// A move so short that it starts and ends between two ticks of the card
// still ends with the idle event, on both cards: the link would otherwise
// wait for its done for ever.
TEST_F(CardTest, AMoveShorterThanATickStillEndsWithTheIdleEvent) {
    Temp.Write("nmpci.chx", "");
    Temp.Write("prog.cfg", "");
    Temp.Write("prog.MEX", "");
    TControllerNextMove a;
    TControllerNextMoveES b;
    Wire(a);
    Wire(b);
    a.FirmwareFolder = b.FirmwareFolder = Temp.Path();
    ASSERT_TRUE(a.Open(1, 9600, 1, false));
    ASSERT_TRUE(b.Open(1, 9600, 1, false));
    Serve(50);
    // Card A reports through OnDone, card B through its notification.
    for (TBasicController *c : {static_cast<TBasicController *>(&a), static_cast<TBasicController *>(&b)}) {
        SCOPED_TRACE(c == &a ? "card A" : "card B");
        c->SetFeedRate(1000000); // one step in a microsecond
        Serve(50);
        Done = 0;
        Notes.clear();
        c->MoveLinear(1, 0, 0, false);
        Serve(50);
        EXPECT_EQ(Done + int(Notes.size()), 1);
    }
}

// The move's done starts the next block, which may be an M code that
// waits, serving the loop, for the card to clear its handshake. The done
// must not come from inside the card's own timer: the loop's timers do
// not fire inside their own handler (as Qt's), and the handshake is
// cleared by that same timer.
TEST_F(CardTest, AnMCodeStartedByTheMovesDoneCompletes) {
    Temp.Write("nmpci.chx", "");
    Temp.Write("prog.cfg", "");
    TControllerNextMove c;
    Wire(c);
    c.FirmwareFolder = Temp.Path();
    ASSERT_TRUE(c.Open(1, 9600, 1, false));
    bool waited = false, cleared = false;
    c.OnDone = [&](TObject *, bool) {
        ++Done;
        waited = true;
        c.WriteComms(18, 3);
        int64_t deadline = Loop.NowMs() + 1000;
        while (Loop.NowMs() < deadline && !cleared) {
            Loop.ProcessMessages();
            cleared = c.ReadComms(1) == 0;
        }
    };
    c.SetFeedRate(1000);
    c.MoveLinear(100, 0, 0, false);
    Serve(400);
    EXPECT_TRUE(waited);
    EXPECT_TRUE(cleared) << "M3 operation Timed Out";
    EXPECT_EQ(Done, 1);
}

TEST_F(CardTest, InputThirtyOneReadsOnBothCards) {
    TControllerNextMove a;
    TControllerNextMoveES b;
    A->Inputs = B->Inputs = 0x80000001u;
    for (TBasicController *c : {static_cast<TBasicController *>(&a), static_cast<TBasicController *>(&b)}) {
        EXPECT_TRUE(c->ReadInput(31));
        EXPECT_TRUE(c->ReadInput(0));
        EXPECT_FALSE(c->ReadInput(30));
    }
}

TEST_F(CardTest, AFailingCallIsReportedNotThrown) {
    TControllerNextMove c;
    Wire(c);
    A->FailOn(464);
    int32_t x, y, z;
    EXPECT_FALSE(c.GetPosition(x, y, z));
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], "Motion card call failed: 464");
    EXPECT_TRUE(c.GetPosition(x, y, z));
}

// The move waits for a count of 3 whatever the cycle state when it began
// (the link's first positioning move after connecting is made while the
// cycle is stopped); only Escape, a stop made during the wait or the
// deadline (with its error) end it without the move.
TEST_F(CardTest, TheMoveCountWaitEndsOnlyOnEscapeAStopOrItsDeadline) {
    const std::string move = "572(3,[1,2,3],[60000,60000,0])";
    enum TEnd { CountReached, Deadline, Escape, StopCall, RunStopped };
    struct TCase {
        const char *Name;
        TCycleState State;
        TEnd End;
    } cases[] = {
        {"stopped, the count comes", csStopped, CountReached},
        {"running, the count comes", csRunning, CountReached},
        {"stopped, the count never comes", csStopped, Deadline},
        {"running, the count never comes", csRunning, Deadline},
        {"Escape", csStopped, Escape},
        {"Stop during the wait", csStopped, StopCall},
        {"the run stops during the wait", csRunning, RunStopped},
    };
    for (const TCase &k : cases) {
        SCOPED_TRACE(k.Name);
        TControllerNextMove c;
        Wire(c);
        c.CycleState = k.State;
        A->MoveCount = 2;
        Errors.clear();
        int64_t start = Loop.NowMs();
        int timer = Loop.StartTimer(500, [&] {
            if (k.End == CountReached)
                A->MoveCount = 3;
            else if (k.End == Escape)
                Loop.SetKeyDown(VK_ESCAPE, true);
            else if (k.End == StopCall)
                c.Stop();
            else if (k.End == RunStopped)
                c.SetCycleState(csStopped);
        });
        c.MoveLinear(60000, 60000, 0, false);
        Loop.StopTimer(timer);
        Loop.SetKeyDown(VK_ESCAPE, false);
        int64_t waited = Loop.NowMs() - start;
        bool moved = std::count(A->Calls.begin(), A->Calls.end(), move) == 1;
        EXPECT_EQ(moved, k.End == CountReached);
        if (k.End == Deadline) {
            EXPECT_EQ(Errors, std::vector<std::string>{"Motion card move buffer Timed Out"});
            EXPECT_GE(waited, c.MoveCountTimeOutMs);
        } else {
            EXPECT_TRUE(Errors.empty());
            EXPECT_GE(waited, 500);
            EXPECT_LT(waited, 600);
        }
    }
}

TEST_F(CardTest, NoCardMeansNotAvailable) {
    MintFactories() = {};
    TControllerNextMove a;
    TControllerNextMoveES b;
    Wire(a);
    Wire(b);
    EXPECT_FALSE(a.Open(1, 9600, 1, false));
    EXPECT_FALSE(b.Open(1, 9600, 1, false));
    EXPECT_EQ(Errors, std::vector<std::string>(2, "Motion card not available"));
}

// ---------------------------------------------------------------- card B

TEST_F(CardTest, NewerCardSearchesThePortsAndSavesTheOneFound) {
    Temp.Write("prog.MEX", "");
    CardPort = 3;
    TControllerNextMoveES c;
    Wire(c);
    ASSERT_TRUE(c.Open(5, 9600, 1, false));
    std::vector<std::string> connects;
    for (const std::string &call : B->Calls)
        if (call.rfind("942(", 0) == 0)
            connects.push_back(call);
    EXPECT_EQ(connects, (std::vector<std::string>{"942(2,5,9600,1)", "942(2,1,9600,1)",
                                                  "942(2,2,9600,1)", "942(2,3,9600,1)"}));
    EXPECT_EQ(c.PortInUse(), 3);
    EXPECT_EQ(TIniFile(Data.MachineFile).ReadInteger("Communications", "Com Port", 0), 3);
    std::string version;
    c.GetVersion(version);
    EXPECT_EQ(version, "Ver: 5023");
}

TEST_F(CardTest, NewerCardSearchThatFailsLeavesTheMachineFile) {
    Temp.Write("prog.MEX", "");
    CardPort = 9;
    TControllerNextMoveES c;
    Wire(c);
    EXPECT_FALSE(c.Open(5, 9600, 1, false));
    EXPECT_EQ(std::count_if(B->Calls.begin(), B->Calls.end(),
                            [](const std::string &s) { return s.rfind("942(", 0) == 0; }),
              9); // the given port, then 1 to 8
    EXPECT_EQ(TIniFile(Data.MachineFile).ReadInteger("Communications", "Com Port", 0), 5);
}

TEST_F(CardTest, UnderInspectionAMissingFirmwareFailsWithoutASearch) {
    Temp.Write("prog.MEX", "");
    TControllerNextMoveES c;
    Wire(c);
    c.UnderInspection = true;
    c.FirmwareFolder = Temp.Path();
    EXPECT_FALSE(c.Open(4, 9600, 1, false));
    EXPECT_EQ(B->Calls, std::vector<std::string>{"942(2,4,9600,1)"});
    EXPECT_EQ(Texts(), std::vector<std::string>{"Firmware file: " + Temp.File("nStep.chx") +
                                                " does not exist !"});
}

class NewerCardTest : public CardTest {
protected:
    NewerCardTest() {
        Temp.Write("prog.MEX", "");
        Wire(C);
        EXPECT_TRUE(C.Open(1, 9600, 1, false));
        From = B->Calls.size();
    }
    TControllerNextMoveES C;
    size_t From = 0;
};

TEST_F(NewerCardTest, SuspendAtFeedZeroAndResume) {
    C.SetFeedRate(100);
    size_t at = B->Calls.size();
    C.SetFeedRate(0);
    EXPECT_TRUE(C.Suspended());
    EXPECT_EQ(Moves(*B, at), (std::vector<std::string>{"559(0,1)", "559(1,1)", "559(2,1)"}));
    at = B->Calls.size();
    Notes.clear();
    C.SetFeedRate(200);
    EXPECT_FALSE(C.Suspended());
    EXPECT_EQ(Moves(*B, at), (std::vector<std::string>{"559(0,0)", "559(1,0)", "559(2,0)",
                                                         "305(0,200)", "305(1,200)", "305(2,200)"}));
    EXPECT_EQ(Notes, std::vector<int>{WM_USER_MESSAGE + 1}); // idle: completion reported
}

TEST_F(NewerCardTest, DataEventsSetOverrideGuardAndStop) {
    B->RaiseData(6, 80);
    EXPECT_EQ(C.GetSpindleOverride(), 80);
    EXPECT_TRUE(C.IsSafe());
    B->RaiseData(19, 0);
    EXPECT_FALSE(C.IsSafe());
    C.ToolChanging = true;
    EXPECT_TRUE(C.IsSafe());
    C.ToolChanging = false;
    size_t at = B->Calls.size();
    B->RaiseData(37, 0);
    EXPECT_TRUE(C.IsStopped());
    EXPECT_TRUE(C.IsStopped());
    std::vector<std::string> calls = Moves(*B, at);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "207()"), 1);
    B->RaiseData(37, 1);
    EXPECT_FALSE(C.IsStopped());
    calls = Moves(*B, at);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "265(0,1)"), calls.end());
}

TEST_F(NewerCardTest, MovesRapidsArcsAndNearTargets) {
    C.SetFeedRate(1000);
    Notes.clear();
    C.MoveLinear(2, -2, 1, false); // within 2 steps of 0, 0, 0
    EXPECT_EQ(Notes, std::vector<int>{WM_USER_MESSAGE + 1});
    size_t at = B->Calls.size();
    C.MoveRapid(300, 0, 0);
    EXPECT_EQ(Moves(*B, at), (std::vector<std::string>{"431(0,300)", "431(1,0)", "431(2,0)",
                                                         "332(3,[0,1,2])"}));
    Serve(600);
    EXPECT_EQ(Notes.size(), 2u); // the rapid completed by the idle event
    at = B->Calls.size();
    C.MoveArc(0, 0, 0, 10, 20, 30, 5, 45, false, 18);
    EXPECT_EQ(Moves(*B, at), std::vector<std::string>{"219(0,2,10,30,-45)"});
    C.Close(1, 9600);
    EXPECT_EQ(C.ReadComms(19), NoCommsValue);
    int32_t x, y, z;
    EXPECT_FALSE(C.GetPosition(x, y, z));
}

} // namespace
} // namespace orv
