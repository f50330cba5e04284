// The CIM RS232 command line on a pseudo-terminal (the test is the cell
// controller at the far end of "COM2"), the port conflict check, and
// copy-data requests from local-socket clients.

#include "shell/tests/RemoteRig.h"
#include "shell/tests/RunWatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace orv {
namespace {

using test::TPty;
using test::TRemoteRig;

class CimLine : public ::testing::Test {
protected:
    TPty Pty{true};
    TRemoteRig Rig{{{"CIM RS232 Input", "TRUE"}, {"Com Port", "3"}}, {{"COM2", Pty.Slave}}};

    // Sends Bytes, then serves the loop until Expected has come back (or a
    // bounded number of turns has passed); returns all that came back.
    std::string Exchange(const std::string &Bytes, const std::string &Expected = "\n")
    {
        EXPECT_TRUE(Pty.Write(Bytes));
        return Await(Expected);
    }
    std::string Await(const std::string &Expected)
    {
        std::string got;
        for (int i = 0; i < 400 && got.find(Expected) == std::string::npos; ++i) {
            Rig.Folder.Loop.Advance(50);
            got += Pty.ReadNow();
            ::usleep(1000);
        }
        // Anything the program would wrongly send after its reply.
        for (int i = 0; i < 3; ++i) {
            Rig.Folder.Loop.Advance(50);
            got += Pty.ReadNow();
        }
        return got;
    }
};

TEST_F(CimLine, ARequestOpensFromTheFncFolderAnswersExecAndStartsTheRun)
{
    ASSERT_TRUE(Rig.Inputs->RS232InputDialog.Connected());
    EXPECT_EQ(Exchange("$$machine from prog\r"), "EXEC\r\n");
    ASSERT_EQ(Rig.Remote.Opened, std::vector<std::string>{Rig.Program});
    EXPECT_EQ(Rig.Starts(), 1);
    EXPECT_GT(Rig.Records, 0);
    EXPECT_EQ(Rig.Ended, 1);
}

TEST_F(CimLine, ARequestInTwoWritesAndOneEndingInCrLf)
{
    ASSERT_TRUE(Pty.Write("$$MACHINE FR"));
    Await("never");
    EXPECT_EQ(Exchange("OM prog\r\n"), "EXEC\r\n"); // the LF goes with the rest of the block
    EXPECT_EQ(Exchange("$$MACHINE FROM prog.fnc\r\n"), "EXEC\r\n");
    EXPECT_EQ(Rig.Remote.Opened.size(), 2u);
    EXPECT_EQ(Rig.Starts(), 2);
}

TEST_F(CimLine, RefusedRequestsAnswerErrorAndOpenNothing)
{
    struct TCase {
        const char *Name;
        std::string Line;
        bool NotFoundBox;
    };
    const TCase cases[] = {
        {"missing file", "$$MACHINE FROM nothing\r", true},
        {"a parent folder", "$$MACHINE FROM ../secret\r", true},
        {"an absolute path outside", "$$MACHINE FROM " + Rig.Outside + "\r", true},
        {"a link leading outside", "$$MACHINE FROM link\r", true},
        {"a file the source cannot open", "$$MACHINE FROM prog.XNC\r", false},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Rig.Folder.Messages.ClearLog();
        EXPECT_EQ(Exchange(c.Line), "ERROR\r\n");
        EXPECT_EQ(!Rig.Folder.Messages.Log().empty() &&
                      Rig.Folder.Messages.Log()[0].Text.rfind("RS232 cim file not found.", 0) == 0,
                  c.NotFoundBox);
    }
    EXPECT_TRUE(Rig.Remote.Opened.empty());
    EXPECT_EQ(Rig.Starts(), 0);
    EXPECT_EQ(Exchange("just a line\r"), ""); // no request: no reply
}

// The cell controller's first request starts a long run; its second comes
// while that run goes on (or is paused by the operator): it is answered
// "ERROR" at the port's next poll, nothing of it is opened, and nothing
// runs once the first run has ended.
TEST_F(CimLine, ARequestDuringTheRunTheFirstStartedAnswersErrorAtTheNextPoll)
{
    constexpr int Moves = 1000;
    Rig.Folder.Write("progs/long.FNC", test::LongProgram(Moves));
    TCommPortDriver &port = Rig.Inputs->RS232InputDialog.Driver();
    struct TCase {
        const char *Name;
        bool Pause;
        TCycleState State; // when the answer goes
    } cases[] = {{"running", false, csRunning}, {"paused", true, csPaused}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Rig.Remote.Opened.clear();
        Rig.Host.Clicks.clear();
        Rig.Records = Rig.Ended = 0;
        uint64_t sent = 0;
        test::TWatch answer(*Rig.Engine, [&] { return port.BytesSent() > sent; });
        TTimer resume; // the operator goes on two seconds after the pause
        resume.SetInterval(2000);
        resume.OnTimer = [&] {
            resume.SetEnabled(false);
            Rig.Host.ClickButton(TMainButton::Start);
        };
        Rig.Engine->OnHandOut = [&](const TCNC_data &) {
            if (++Rig.Records != 50)
                return;
            if (c.Pause) {
                Rig.Host.ClickButton(TMainButton::Pause);
                resume.SetEnabled(true);
            }
            ASSERT_TRUE(Pty.Write("$$MACHINE FROM prog\r"));
            ASSERT_TRUE(Pty.AwaitDelivered());
            sent = port.BytesSent();
            answer.Arm();
        };
        ASSERT_TRUE(Pty.Write("$$MACHINE FROM long\r"));
        for (int i = 0; i < 400 && Rig.Ended == 0; ++i) {
            Rig.Folder.Loop.Advance(50);
            ::usleep(1000);
        }
        ASSERT_TRUE(answer.Seen()) << "no answer came while the run went on";
        EXPECT_LE(answer.Delay(), port.ComPortPollingDelay() + test::TWatch::TickMs);
        EXPECT_EQ(answer.State, c.State);
        std::string got;
        for (int i = 0; i < 200 && got.size() < 13; ++i)
            got += Pty.ReadWithin(10);
        EXPECT_EQ(got, "EXEC\r\nERROR\r\n");
        EXPECT_EQ(Rig.Records, Moves + 3); // the first move, the zigzag, M30, the end
        // Nothing of the refused request is left to run.
        Rig.Folder.Loop.Advance(1000);
        EXPECT_EQ(Rig.Remote.Opened, std::vector<std::string>{Rig.Folder.File("progs/long.FNC")});
        EXPECT_EQ(Rig.Ended, 1);
        EXPECT_EQ(Pty.ReadWithin(10), "");
    }
}

// The box of a refused request stands as long as the operator leaves it;
// the line is served meanwhile: a request that comes then is answered and
// its program runs.
TEST_F(CimLine, TheBoxOfARefusedRequestLeavesTheLineServed)
{
    test::TBoxLeftOpen box;
    TMessageServiceScope scope(box);
    std::string got, whileOpen;
    box.WhileOpen = [&] {
        ASSERT_TRUE(Pty.Write("$$MACHINE FROM prog\r"));
        ASSERT_TRUE(Pty.AwaitDelivered());
        for (int i = 0; i < 100 && whileOpen.find("EXEC") == std::string::npos; ++i) {
            Rig.Folder.Loop.Advance(50);
            whileOpen += Pty.ReadNow();
            ::usleep(1000);
        }
        got += whileOpen;
    };
    ASSERT_TRUE(Pty.Write("$$MACHINE FROM nothing\r"));
    for (int i = 0; i < 400 && Rig.Ended == 0; ++i) {
        Rig.Folder.Loop.Advance(50);
        got += Pty.ReadNow();
        ::usleep(1000);
    }
    got += Pty.ReadNow();
    ASSERT_EQ(box.Log().size(), 1u);
    EXPECT_EQ(box.Log()[0].Text.rfind("RS232 cim file not found.", 0), 0u);
    EXPECT_NE(whileOpen.find("EXEC\r\n"), std::string::npos) << "the line waited for the box";
    EXPECT_EQ(got, "ERROR\r\nEXEC\r\n");
    EXPECT_EQ(Rig.Remote.Opened, std::vector<std::string>{Rig.Program});
    EXPECT_EQ(Rig.Ended, 1);
}

TEST_F(CimLine, AnOverlongLineAnswersErrorOnceAndIsDroppedToItsEnd)
{
    EXPECT_EQ(Exchange(std::string(2000, 'A')), "ERROR\r\n");
    EXPECT_EQ(Exchange(std::string(1500, 'B') + "$$MACHINE FROM prog\r"), "");
    EXPECT_TRUE(Rig.Remote.Opened.empty());
    // The line after it is read again; a line at the limit is still a line
    // (a name padded with separators to fill it).
    auto line = [](size_t Length) {
        const std::string head = "$$MACHINE FROM .", tail = "prog.FNC";
        return head + std::string(Length - head.size() - tail.size(), '/') + tail + "\r";
    };
    EXPECT_EQ(Exchange(line(TRemoteInputs::MaxCimLine)), "EXEC\r\n");
    EXPECT_EQ(Exchange(line(TRemoteInputs::MaxCimLine + 1)), "ERROR\r\n");
    EXPECT_EQ(Rig.Remote.Opened.size(), 1u);
}

TEST_F(CimLine, AnEmptyRs232SectionOpensCom2At9600Even8Data2Stop)
{
    termios t{};
    ASSERT_EQ(::tcgetattr(Pty.Master, &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    // The pseudo-terminal keeps no parity (the kernel clears it), so the
    // parity is read from the driver that set it.
    EXPECT_EQ(Rig.Inputs->RS232InputDialog.Driver().ComPortParity(), ptEVEN);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_EQ(Rig.Inputs->RS232InputDialog.ComPort(), 1);
}

TEST(CimPortConflict, NamesThePortInUseTheMachineFirst)
{
    test::TFormFolder folder;
    test::TRemoteHost host;
    THeadlessRemote remote(host);
    TRemoteInputs inputs(remote);
    inputs.RS232InputDialog.ini_name = folder.File("Tarnwick.ini");
    inputs.RS232InputDialog.LoadSettings(); // COM2
    const std::string machine =
        "The com port selected for CIM RS232 Input is already in use by the milling machine.\r"
        "Please select a different com port before using CIM RS232 Input.";
    const std::string keplin =
        "The com port selected for CIM RS232 Input is already in use by the keplin key pad.\r"
        "Please select a different com port before using CIM RS232 Input.";
    struct TCase {
        int Machine, Keplin;
        bool Passes;
        std::string Text;
    } cases[] = {
        {2, 3, false, machine}, {1, 2, false, keplin}, {2, 2, false, machine},
        {1, 3, true, ""},       {258, 0, false, machine}, // compared as bytes
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.Machine) + "/" + std::to_string(c.Keplin));
        folder.Messages.ClearLog();
        EXPECT_EQ(inputs.CheckCIMPortConflict(c.Machine, c.Keplin), c.Passes);
        if (c.Passes) {
            EXPECT_TRUE(folder.Messages.Log().empty());
            continue;
        }
        ASSERT_EQ(folder.Messages.Log().size(), 1u);
        EXPECT_EQ(folder.Messages.Log()[0].Caption, "Com Port Configuration Error");
        EXPECT_EQ(folder.Messages.Log()[0].Text, c.Text);
    }
}

// --- Copy-data ---

std::string U32(uint32_t V)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[size_t(i)] = char((V >> (8 * i)) & 0xFF);
    return s;
}

class CopyData : public ::testing::Test {
protected:
    CopyData()
    {
        std::string error;
        EXPECT_TRUE(Rig.Inputs->ListenCopyData(error, 0)) << error;
    }
    // Sends Bytes (then ends the sending side when Finish) and returns the
    // reply: "1", "0", or "" when none came.
    std::string Request(const std::string &Bytes, bool Finish = false)
    {
        TLocalClient client;
        std::string error;
        if (!client.Connect(TRemoteInputs::CopyDataSocket, error))
            return "no server: " + error;
        client.Send(Bytes);
        if (Finish)
            client.FinishSending();
        std::string got;
        bool closed = false;
        for (int i = 0; i < 500 && !closed; ++i) {
            Rig.Inputs->PollCopyData();
            got += client.Receive(2, &closed);
        }
        return got.size() == 1 ? std::to_string(int(got[0])) : got;
    }
    static std::string Message(uint32_t Id, const std::string &Text)
    {
        return U32(Id) + U32(uint32_t(Text.size())) + Text;
    }

    TRemoteRig Rig{{}};
};

TEST_F(CopyData, OpensANameAfterThreeCharactersAndAnswers1)
{
    EXPECT_EQ(Request(Message(231166, std::string("abcprog.FNC") + '\0' + "junk")), "1");
    EXPECT_EQ(Request(Message(231166, "xyz" + Rig.Program)), "1");
    EXPECT_EQ(Rig.Remote.Opened, (std::vector<std::string>{Rig.Program, Rig.Program}));
    EXPECT_EQ(Rig.Starts(), 0);
}

TEST_F(CopyData, EveryOtherRequestAnswers0AndOpensNothing)
{
    struct TCase {
        const char *Name;
        std::string Bytes;
        bool Finish;
    };
    const TCase cases[] = {
        {"another identifier", Message(231167, "abcprog.FNC"), false},
        {"a name outside the folder", Message(231166, "abc../secret.FNC"), false},
        {"a link leading outside", Message(231166, "abclink.FNC"), false},
        {"a missing file", Message(231166, "abcnothing.FNC"), false},
        {"three characters only", Message(231166, "abc"), false},
        {"fewer than three", Message(231166, "ab"), false},
        {"a name past the declared length", U32(231166) + U32(3) + "abcprog.FNC", false},
        {"an oversized request", U32(231166) + U32(5000) + "abcprog.FNC", false},
        {"a header cut short", U32(231166) + "\x08", true},
        {"a text cut short", U32(231166) + U32(40) + "abcprog.FNC", true},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Request(c.Bytes, c.Finish), "0");
    }
    EXPECT_TRUE(Rig.Remote.Opened.empty());
}

// The process's descriptor limit lowered for a scope.
class TDescriptorLimit {
public:
    explicit TDescriptorLimit(rlim_t Soft)
    {
        ::getrlimit(RLIMIT_NOFILE, &FSaved);
        rlimit lowered = FSaved;
        lowered.rlim_cur = std::min(Soft, FSaved.rlim_cur);
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~TDescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &FSaved); }

private:
    rlimit FSaved{};
};

rlim_t OpenDescriptors()
{
    return rlim_t(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                std::filesystem::directory_iterator()));
}

// Peers that connect and send nothing cannot use up the program's
// descriptors: those past the cap are answered 0 at once, the held ones are
// answered 0 and dropped after the idle time-out, and then a request and
// the program it names open again. The limit leaves room for the clients,
// the cap and a little more: holding every idle peer would not fit.
TEST_F(CopyData, IdlePeersAreCappedThenTimedOutSoRequestsAndFilesKeepWorking)
{
    const int cap = TLocalServer::DefaultMaxConnections;
    const int peers = 2 * cap + 20;
    TDescriptorLimit limit(OpenDescriptors() + rlim_t(peers + cap + 32));
    const TLocalServer &server = Rig.Inputs->CopyDataServer();
    // Each peer is taken (held or refused) before the next connects: one
    // left waiting would hold the ones after it in the socket's queue.
    std::vector<std::unique_ptr<TLocalClient>> idle;
    for (int i = 0; i < peers; ++i) {
        idle.push_back(std::make_unique<TLocalClient>());
        std::string error;
        ASSERT_TRUE(idle.back()->Connect(TRemoteInputs::CopyDataSocket, error)) << i << error;
        Rig.Inputs->PollCopyData();
        if (server.ConnectionCount() + server.BusyPeers != i + 1) {
            ADD_FAILURE() << "peer " << i << " was neither held nor refused";
            break;
        }
    }
    EXPECT_EQ(server.ConnectionCount(), cap);
    EXPECT_EQ(server.BusyPeers, peers - cap);
    auto answer = [](TLocalClient &Client) {
        bool closed = false;
        std::string got = Client.Receive(2000, &closed);
        if (!closed)
            Client.Receive(2000, &closed);
        return closed ? got : "(still open) " + got;
    };
    EXPECT_EQ(answer(*idle.back()), std::string(1, '\0'));
    EXPECT_EQ(Request(Message(231166, "abcprog.FNC")), "0"); // no room yet

    Rig.Folder.Loop.Advance(TLocalServer::DefaultIdleTimeoutMs - 1);
    Rig.Inputs->PollCopyData();
    EXPECT_EQ(server.ConnectionCount(), cap);
    Rig.Folder.Loop.Advance(1);
    Rig.Inputs->PollCopyData();
    EXPECT_EQ(server.ConnectionCount(), 0);
    EXPECT_EQ(answer(*idle.front()), std::string(1, '\0'));
    EXPECT_TRUE(Rig.Remote.Opened.empty());

    EXPECT_EQ(Request(Message(231166, "abcprog.FNC")), "1");
    EXPECT_EQ(Rig.Remote.Opened, std::vector<std::string>{Rig.Program});
}

TEST_F(CopyData, ARunAnswers0)
{
    Rig.Engine->SetCycleState(csRunning);
    EXPECT_EQ(Request(Message(231166, "abcprog.FNC")), "0");
    EXPECT_TRUE(Rig.Remote.Opened.empty());
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST(CimSettings, TheMenuItemSavesThePortThenConnectsOrSaysWhy)
{
    test::TRemoteRig rig{{}, {{"COM4", "/nonexistent/tty"}}};
    struct TCase {
        int Port;
        std::string Last; // the last message's caption
    } cases[] = {
        {0, "Com Port Configuration Error"}, // COM1: the machine's port
        {3, "CIM RS232"},                    // COM4: no such device
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Port);
        rig.Inputs->RS232InputDialog.Dialog = [&](TRs232Groups &G) {
            G.ComPortRG = c.Port;
            return int(mrOk);
        };
        rig.Folder.Messages.ClearLog();
        rig.Inputs->CIMRS232Settings1Click();
        EXPECT_EQ(TIniFile(rig.Folder.File("Tarnwick.ini")).ReadInteger("RS232", "com port", -1),
                  c.Port);
        ASSERT_FALSE(rig.Folder.Messages.Log().empty());
        EXPECT_EQ(rig.Folder.Messages.Log().back().Caption, c.Last);
        EXPECT_FALSE(rig.Inputs->RS232InputDialog.Connected());
    }
    EXPECT_EQ(rig.Folder.Messages.Log().back().Text, "Unable to connect to CIM RS232");
}

} // namespace
} // namespace orv
