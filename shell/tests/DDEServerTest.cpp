// The DDE server on its local socket ("miller"), with clients speaking the
// length-prefixed transactions: the engine's commands and status texts, the
// server's transaction rules, and malformed messages.

#include "machine/Read_Machinedata_file.h"
#include "machine/SettingsPassword.h"
#include "shell/simple_server_one.h"
#include "shell/tests/RemoteRig.h"
#include "shell/tests/RunWatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <sys/stat.h>

namespace orv {
namespace {

using test::TRemoteRig;

struct TFrame {
    uint8_t Type = 0;
    std::string Body;
};

// A DDE client: sends transactions, collects the frames that come back
// while the server is served.
class TDDEClient {
public:
    explicit TDDEClient(TRemoteRig &Rig) : FRig(Rig)
    {
        std::string error;
        Connected = FSocket.Connect("miller", error);
    }
    void Send(uint8_t Type, const std::vector<std::string> &Fields, const std::string &Tail = {})
    {
        FSocket.Send(DDEFrame(Type, Fields, Tail));
    }
    void SendRaw(const std::string &Bytes) { FSocket.Send(Bytes); }
    void Finish() { FSocket.FinishSending(); }
    // Serves the server, and the commands it posted (the clock stands),
    // until Count frames have come (or the server closed).
    std::vector<TFrame> Await(size_t Count)
    {
        for (int i = 0; i < 500 && Frames().size() < Count && !FClosed; ++i) {
            FRig.Inputs->DDEServer()->Poll();
            FRig.Folder.Loop.Advance(0);
            bool closed = false;
            FPending += FSocket.Receive(2, &closed);
            FClosed = FClosed || closed;
        }
        std::vector<TFrame> out = Frames();
        FPending.erase(0, FConsumed);
        FConsumed = 0;
        return out;
    }
    // What has come, without serving the server (its timer does that).
    std::vector<TFrame> Take()
    {
        bool closed = false;
        FPending += FSocket.Receive(0, &closed);
        FClosed = FClosed || closed;
        std::vector<TFrame> out = Frames();
        FPending.erase(0, FConsumed);
        FConsumed = 0;
        return out;
    }
    // A reply's result byte after a transaction.
    int Transact(uint8_t Type, const std::vector<std::string> &Fields, const std::string &Tail = {})
    {
        Send(Type, Fields, Tail);
        std::vector<TFrame> f = Await(1);
        for (const TFrame &r : f)
            if (r.Type == (ddeReply | Type))
                return r.Body.empty() ? -1 : r.Body[0];
        return -1;
    }
    // Texts of the advise frames among Frames.
    static std::vector<std::string> Advised(const std::vector<TFrame> &Frames)
    {
        std::vector<std::string> out;
        for (const TFrame &f : Frames)
            if (f.Type == ddeAdviseData)
                out.push_back(f.Body.substr(f.Body.find('\0') + 1));
        return out;
    }
    bool Connected = false;
    bool Closed() const { return FClosed; }

private:
    std::vector<TFrame> Frames()
    {
        std::vector<TFrame> out;
        size_t at = 0;
        while (FPending.size() >= at + 4) {
            uint32_t n = 0;
            for (int i = 3; i >= 0; --i)
                n = (n << 8) | uint8_t(FPending[at + size_t(i)]);
            if (FPending.size() < at + 4 + n || n == 0)
                break;
            out.push_back({uint8_t(FPending[at + 4]), FPending.substr(at + 5, n - 1)});
            at += 4 + n;
        }
        FConsumed = at;
        return out;
    }
    TRemoteRig &FRig;
    TLocalClient FSocket;
    std::string FPending;
    size_t FConsumed = 0;
    bool FClosed = false;
};

class DDEServer : public ::testing::Test {
protected:
    DDEServer()
    {
        Rig.Inputs->DDEServer()->PollingDelay = 0;
        Client.Transact(ddeConnect, {"miller", "data"});
    }
    // Pokes Text and returns the status texts advised until Count came.
    std::vector<std::string> Poke(const std::string &Text, size_t Count)
    {
        Client.Send(ddePoke, {"status"}, Text + '\0');
        std::vector<std::string> advised;
        for (int i = 0; i < 20 && advised.size() < Count; ++i)
            for (const std::string &a : TDDEClient::Advised(Client.Await(1)))
                advised.push_back(a.substr(0, a.find('\0')));
        return advised;
    }
    std::string Request()
    {
        Client.Send(ddeRequest, {"status"});
        for (const TFrame &f : Client.Await(1))
            if (f.Type == (ddeReply | ddeRequest))
                return f.Body.substr(1, f.Body.find('\0', 1) - 1);
        return "(none)";
    }

    TRemoteRig Rig{{{"CIM DDE Input", "TRUE"}}};
    TDDEClient Client{Rig};
};

TEST_F(DDEServer, RegistersAtStartIdleIn0600Socket)
{
    ASSERT_NE(Rig.Inputs->DDEServer(), nullptr);
    EXPECT_TRUE(Rig.Inputs->DDEServer()->Connected());
    EXPECT_EQ(Rig.Engine->DDEDevice.State, 1);
    EXPECT_EQ(Request(), "IDLE ");
    struct stat st {};
    ASSERT_EQ(::stat(Rig.Inputs->DDEServer()->SocketPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(DDEServer, Command5OpensTheFileBusyThenIdle)
{
    ASSERT_EQ(Client.Transact(ddeAdviseStart, {"status"}), 1);
    // The poke's own advise of the status, then the command's texts.
    EXPECT_EQ(Poke("DoCommand 5 prog.fnc", 3),
              (std::vector<std::string>{"IDLE ", "BUSY 5 prog.fnc", "IDLE 5 prog.fnc"}));
    EXPECT_EQ(Rig.Remote.Opened, std::vector<std::string>{Rig.Folder.File("progs/prog.fnc")});
    EXPECT_EQ(Rig.Engine->DDEDevice.State, 1);
}

TEST_F(DDEServer, Command3RunsOnceForTheSameArgument)
{
    std::string program = Rig.Program;
    ASSERT_TRUE(Rig.Remote.OpenProgramFile(0, program));
    Rig.Engine->MakeSimulatedMachine(); // after the source: a new source frees it
    ASSERT_EQ(Client.Transact(ddeAdviseStart, {"status"}), 1);
    // The poke's own advise, the command, the run's end, then the rewind of
    // its M30 (busy, idle again).
    EXPECT_EQ(Poke("DoCommand 3 prog.fnc", 5),
              (std::vector<std::string>{"IDLE ", "BUSY 3 prog.fnc", "IDLE 3 prog.fnc", "BUSY ",
                                        "IDLE 3 prog.fnc"}));
    EXPECT_EQ(Rig.Starts(), 1);
    EXPECT_EQ(Rig.Ended, 1);
    Request(); // the same text is passed on again after a request
    EXPECT_EQ(Poke("DoCommand 3 prog.fnc", 2),
              (std::vector<std::string>{"IDLE 3 prog.fnc", "BUSY 3 prog.fnc"}));
    EXPECT_EQ(Rig.Starts(), 1);
}

TEST_F(DDEServer, RepliesToCommandsAndTexts)
{
    struct TCase {
        const char *Poke;
        std::string Reply;
    } cases[] = {
        {"DoCommand 9", "ERROR "},
        {"hello", "IDLE "},
        {"DoCommand 5 ../secret.FNC", "ERROR 5 ../secret.FNC"},
        {"DoCommand 5 nothing.fnc", "ERROR 5 nothing.fnc"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Poke);
        Client.Transact(ddePoke, {"status"}, std::string(c.Poke) + '\0');
        EXPECT_EQ(Request(), c.Reply);
    }
    EXPECT_TRUE(Rig.Remote.Opened.empty());
    EXPECT_EQ(Rig.Texts(), (std::vector<std::string>{
                               "DDE File Download Error: Unable to find file, ../secret.FNC",
                               "DDE File Download Error: Unable to find file, nothing.fnc"}));
}

TEST_F(DDEServer, AnMCodeWithoutAMachineIsAnError)
{
    Client.Transact(ddePoke, {"status"}, std::string("DoCommand 1") + '\0');
    EXPECT_EQ(Request(), "ERROR ");
    EXPECT_EQ(Rig.Engine->DDEDevice.State, 3);
    EXPECT_EQ(Rig.Texts(),
              std::vector<std::string>{"DDE Input Error: Machine not ready, unable to carry out "
                                       "the required M Code (M10)."});
}

TEST_F(DDEServer, PokesAdvisesAndWildConnects)
{
    int pokes = 0;
    Rig.Inputs->DDEServer()->OnPoke = [&](int, const std::string &) { ++pokes; };
    EXPECT_EQ(Client.Transact(ddePoke, {"status"}, "same"), 1);
    EXPECT_EQ(Client.Transact(ddePoke, {"status"}, "same"), 1);
    EXPECT_EQ(pokes, 1);
    Request();
    EXPECT_EQ(Client.Transact(ddePoke, {"status"}, "same"), 1);
    EXPECT_EQ(pokes, 2);
    EXPECT_EQ(Client.Transact(ddePoke, {"other"}, "text"), 0); // not processed
    EXPECT_EQ(pokes, 2);
    EXPECT_EQ(Client.Transact(ddeAdviseStart, {"other"}), 0);

    for (int i = 0; i < TDDEServer::MaxAdviseLinks; ++i)
        ASSERT_EQ(Client.Transact(ddeAdviseStart, {"status"}), 1) << i;
    EXPECT_EQ(Client.Transact(ddeAdviseStart, {"status"}), 0); // the 201st
    EXPECT_EQ(Client.Transact(ddeAdviseStop, {"status"}), 1);
    EXPECT_EQ(Client.Transact(ddeAdviseStart, {"status"}), 1);

    struct TCase {
        const char *Service, *Topic;
        std::vector<std::string> Pairs;
    } cases[] = {
        {"", "data", {"miller", "data"}},
        {"miller", "", {"miller", "data"}},
        {"", "", {"miller", "data"}},
        {"miller", "data", {}},
        {"", "other", {}},
    };
    TDDEClient wild(Rig);
    for (const TCase &c : cases) {
        SCOPED_TRACE(std::string(c.Service) + "/" + c.Topic);
        wild.Send(ddeWildConnect, {c.Service, c.Topic});
        std::vector<TFrame> f = wild.Await(1);
        ASSERT_EQ(f.size(), 1u);
        std::vector<std::string> pairs = c.Pairs;
        pairs.push_back("");
        pairs.push_back("");
        std::string expected;
        for (const std::string &p : pairs)
            expected += p + '\0';
        EXPECT_EQ(f[0].Body, expected);
    }
}

TEST_F(DDEServer, AdviseLinksEndWithTheirConnection)
{
    ASSERT_EQ(Client.Transact(ddeAdviseStart, {"status"}), 1);
    {
        TDDEClient other(Rig);
        other.Transact(ddeConnect, {"miller", "data"});
        ASSERT_EQ(other.Transact(ddeAdviseStart, {"status"}), 1);
        EXPECT_EQ(Rig.Inputs->DDEServer()->AdviseLinks(), 2);
    }
    for (int i = 0; i < 500 && Rig.Inputs->DDEServer()->AdviseLinks() != 1; ++i)
        Rig.Inputs->DDEServer()->Poll();
    EXPECT_EQ(Rig.Inputs->DDEServer()->AdviseLinks(), 1);
    EXPECT_EQ(Client.Transact(ddeDisconnect, {}), 1);
    Client.Await(1);
    EXPECT_TRUE(Client.Closed());
    EXPECT_EQ(Rig.Inputs->DDEServer()->AdviseLinks(), 0);
}

TEST_F(DDEServer, MalformedMessagesGetTheErrorAndTheirConnectionEnds)
{
    auto u32 = [](uint32_t v) {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i)
            s[size_t(i)] = char((v >> (8 * i)) & 0xFF);
        return s;
    };
    struct TCase {
        const char *Name;
        std::string Bytes;
        bool Connect, Finish;
    } cases[] = {
        {"oversized", u32(5000) + std::string(5000, 'x'), true, false},
        {"empty", u32(0), true, false},
        {"unknown type", u32(2) + "\x09" + "x", true, false},
        {"poke without its item's end", u32(5) + "\x03" + "stat", true, false},
        {"request with a field too many", DDEFrame(ddeRequest, {"status", "x"}), true, false},
        {"poke before a connect", DDEFrame(ddePoke, {"status"}, "DoCommand 5 prog.fnc"), false,
         false},
        {"short", u32(20) + "\x03" + "sta", true, true},
    };
    int pokes = 0;
    Rig.Inputs->DDEServer()->OnPoke = [&](int, const std::string &) { ++pokes; };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TDDEClient bad(Rig);
        if (c.Connect)
            ASSERT_EQ(bad.Transact(ddeConnect, {"miller", "data"}), 1);
        bad.SendRaw(c.Bytes);
        if (c.Finish)
            bad.Finish();
        std::vector<TFrame> f = bad.Await(1);
        ASSERT_EQ(f.size(), 1u);
        EXPECT_EQ(f[0].Type, ddeError);
        bad.Await(2);
        EXPECT_TRUE(bad.Closed());
    }
    EXPECT_EQ(pokes, 0);
    EXPECT_TRUE(Rig.Remote.Opened.empty());
    EXPECT_EQ(Request(), "IDLE "); // the server goes on
}

// A command poked while the run another command started goes on is
// refused at once: its error status reaches the advise links at the next
// poll while the run goes on, the run ends with its own texts, and nothing
// of the refused command runs afterwards.
TEST_F(DDEServer, ACommandDuringTheRunACommandStartedIsRefusedAtOnce)
{
    constexpr int Moves = 1000;
    std::string program = Rig.Folder.Write("progs/long.fnc", test::LongProgram(Moves));
    ASSERT_TRUE(Rig.Remote.OpenProgramFile(0, program));
    Rig.Engine->MakeSimulatedMachine();
    ASSERT_EQ(Client.Transact(ddeAdviseStart, {"status"}), 1);
    TDDEClient other(Rig);
    ASSERT_EQ(other.Transact(ddeConnect, {"miller", "data"}), 1);
    ASSERT_EQ(other.Transact(ddeAdviseStart, {"status"}), 1);
    std::vector<std::string> seen; // the other client's advised texts
    test::TWatch refused(*Rig.Engine, [&] {
        for (const std::string &a : TDDEClient::Advised(other.Take()))
            seen.push_back(a.substr(0, a.find('\0')));
        return std::find(seen.begin(), seen.end(), "ERROR 3 prog.fnc") != seen.end();
    });
    Rig.Engine->OnHandOut = [&](const TCNC_data &) {
        if (++Rig.Records != 50)
            return;
        other.Send(ddePoke, {"status"}, std::string("DoCommand 3 prog.fnc") + '\0');
        refused.Arm();
    };
    Client.Send(ddePoke, {"status"}, std::string("DoCommand 3 long.fnc") + '\0');
    for (int i = 0; i < 400 && Rig.Ended == 0; ++i)
        Rig.Folder.Loop.Advance(50);
    ASSERT_TRUE(refused.Seen()) << "no answer came while the run went on";
    EXPECT_EQ(refused.State, csRunning);
    // The server's poll, the posted command's turn, the watch's.
    EXPECT_LE(refused.Delay(), 20 + 2 * test::TWatch::TickMs);
    Rig.Folder.Loop.Advance(1000);
    EXPECT_EQ(Rig.Starts(), 1);
    EXPECT_EQ(Rig.Ended, 1);
    std::vector<std::string> after = TDDEClient::Advised(Client.Await(100));
    for (std::string &a : after)
        a = a.substr(0, a.find('\0'));
    const auto error = std::find(after.begin(), after.end(), "ERROR 3 prog.fnc");
    ASSERT_NE(error, after.end());
    EXPECT_NE(std::find(error, after.end(), "IDLE 3 long.fnc"), after.end())
        << "the run ends with its own command's text";
}

// The error box of a command stands as long as the operator leaves it; the
// other clients are served meanwhile.
TEST_F(DDEServer, TheErrorBoxOfACommandLeavesTheOtherClientsServed)
{
    TDDEClient other(Rig);
    ASSERT_EQ(other.Transact(ddeConnect, {"miller", "data"}), 1);
    test::TBoxLeftOpen box;
    TMessageServiceScope scope(box);
    std::vector<TFrame> answered; // what the other client got while the box stood
    box.WhileOpen = [&] {
        other.Send(ddeRequest, {"status"});
        for (int i = 0; i < 100 && answered.empty(); ++i) {
            Rig.Folder.Loop.Advance(20);
            answered = other.Take();
        }
    };
    Client.Send(ddePoke, {"status"}, std::string("DoCommand 5 missing.fnc") + '\0');
    for (int i = 0; i < 100 && box.Log().empty(); ++i)
        Rig.Folder.Loop.Advance(20);
    ASSERT_EQ(box.Log().size(), 1u);
    EXPECT_EQ(box.Log()[0].Caption, "DDE File Download Error");
    ASSERT_EQ(answered.size(), 1u) << "the other client waited for the box";
    EXPECT_EQ(answered[0].Type, ddeReply | ddeRequest);
    EXPECT_TRUE(Rig.Remote.Opened.empty());
}

// Applying the machine data again (the machine editor's OK) registers the
// server again: the conversations on it go on with their advise links, and
// the links go back as the conversations end.
TEST_F(DDEServer, RegisteringAgainKeepsTheConversationsAndTheirLinks)
{
    for (int i = 0; i < TDDEServer::MaxAdviseLinks; ++i)
        ASSERT_EQ(Client.Transact(ddeAdviseStart, {"status"}), 1) << i;
    SetPasswordDialog([](int) { return 1; });
    TRead_Machinedata_file::EditorWindow = [](TRead_Machinedata_file &, bool) {};
    Rig.Engine->SetupClick();
    SetPasswordDialog(nullptr);
    TRead_Machinedata_file::EditorWindow = nullptr;

    EXPECT_EQ(Request(), "IDLE ") << "the conversation was dropped";
    EXPECT_EQ(Rig.Inputs->DDEServer()->AdviseLinks(), TDDEServer::MaxAdviseLinks);
    TDDEClient other(Rig);
    ASSERT_EQ(other.Transact(ddeConnect, {"miller", "data"}), 1);
    EXPECT_EQ(other.Transact(ddeAdviseStart, {"status"}), 0); // all 200 are held
    EXPECT_EQ(Client.Transact(ddeDisconnect, {}), 1);
    EXPECT_EQ(Rig.Inputs->DDEServer()->AdviseLinks(), 0);
    EXPECT_EQ(other.Transact(ddeAdviseStart, {"status"}), 1);
}

// The server holds at most its cap of clients: one more is told so and
// closed at once, and the clients it holds are served as before.
TEST_F(DDEServer, AClientOverTheCapIsToldSoAndClosed)
{
    std::vector<std::unique_ptr<TDDEClient>> held; // with the fixture's client, the cap
    for (int i = 1; i < TLocalServer::DefaultMaxConnections; ++i) {
        held.push_back(std::make_unique<TDDEClient>(Rig));
        ASSERT_TRUE(held.back()->Connected) << i;
        Rig.Inputs->DDEServer()->Poll(); // taken before the next one comes
    }
    TDDEClient extra(Rig);
    ASSERT_TRUE(extra.Connected);
    std::vector<TFrame> f = extra.Await(1);
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].Type, ddeError);
    EXPECT_EQ(f[0].Body, "too many conversations");
    extra.Await(2);
    EXPECT_TRUE(extra.Closed());
    EXPECT_EQ(held.back()->Transact(ddeConnect, {"miller", "data"}), 1);
    EXPECT_EQ(Request(), "IDLE ");
}

// A client that has not connected, or stops in the middle of a message, is
// told why and dropped after the idle time-out; a connected conversation
// between messages may wait as long as it likes.
TEST_F(DDEServer, AClientThatNeverFinishesAMessageIsDropped)
{
    struct TCase {
        const char *Name;
        bool Connect;
        std::string Bytes;
        bool Dropped;
    } cases[] = {
        {"nothing sent", false, "", true},
        {"half a message", true, DDEFrame(ddeRequest, {"status"}).substr(0, 6), true},
        {"a conversation between messages", true, "", false},
    };
    const std::string error = "no whole message within 10 s";
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TDDEClient client(Rig);
        if (c.Connect) {
            ASSERT_EQ(client.Transact(ddeConnect, {"miller", "data"}), 1);
        }
        client.SendRaw(c.Bytes);
        client.Await(1); // the server has it
        Rig.Folder.Loop.Advance(TLocalServer::DefaultIdleTimeoutMs);
        std::vector<TFrame> f = client.Await(1);
        ASSERT_EQ(f.size(), c.Dropped ? 1u : 0u);
        if (c.Dropped) {
            EXPECT_EQ(f[0].Type, ddeError);
            EXPECT_EQ(f[0].Body, error);
            client.Await(2);
        }
        EXPECT_EQ(client.Closed(), c.Dropped);
    }
    EXPECT_EQ(Request(), "IDLE "); // the fixture's own conversation stayed
}

TEST(DDERegistration, ASocketThatCannotBeMadeLeavesDDENotConnected)
{
    TLocalServer squatter;
    std::string error;
    TRemoteRig rig{{{"CIM DDE Input", "TRUE"}}, {}, [&] { squatter.Listen("miller", error, 0); }};
    ASSERT_TRUE(squatter.Listening()) << error;
    EXPECT_FALSE(rig.Inputs->DDEServer()->Connected());
    EXPECT_EQ(rig.Engine->DDEDevice.State, 2);
    ASSERT_EQ(rig.Folder.Messages.Log().size(), 1u);
    EXPECT_EQ(rig.Folder.Messages.Log()[0].Caption, "DDE Server Error");
    EXPECT_NE(rig.Folder.Messages.Log()[0].Text.find("Another program serves"), std::string::npos);
    // A run does not write status texts into a server that is not there.
    rig.Engine->CycleRewind();
    EXPECT_EQ(rig.Engine->DDEDevice.State, 2);
}

} // namespace
} // namespace orv
