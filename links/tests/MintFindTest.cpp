// The machine finder over three pseudo-terminals, the simulator on the
// second: the search and the running test, the question and the download
// of a controller that is not running, a missing prompt, an unreadable
// file, "Break Mint" on the wire, and a search that finds nothing, with the
// hint after a NAK. The finder's waits, its worker's answer timer and the
// simulator's delays all run on the test clock, which moves on only once
// the worker and the simulator have done what they had to, so a time-out
// falls by that clock alone however slowly the threads run.

#include "links/MintFind.h"
#include "links/ComDrv32.h"
#include "links/CommThread.h"
#include "links/sim/ControllerSim.h"
#include "links/tests/PtyPair.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace orv {
namespace {

// A pseudo-terminal nobody answers on; it knows how many bytes the PC
// side has written to it.
class TDeadPort : public test::TPtyPair {
public:
    std::string Take() {
        std::string bytes = Read();
        Taken += bytes.size();
        return bytes;
    }
    uint64_t Arrived() const {
        int waiting = 0;
        ::ioctl(Master, FIONREAD, &waiting);
        return Taken + uint64_t(waiting);
    }

private:
    std::atomic<uint64_t> Taken{0};
};

// What the PC side wrote to Port, waiting up to 1 s for Count bytes.
std::string ReadFar(TDeadPort &Port, size_t Count) {
    std::string all;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (all.size() < Count && std::chrono::steady_clock::now() < end) {
        all += Port.Take();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return all;
}

// The test loop: before each step of its clock it waits (at most 2 s of
// real time) until the worker has written what it was handed, the
// simulator has answered all the PC wrote to it (all written less what
// reached the ports nobody answers on) and sent what fell due, and the
// worker has read its answers (or they wait on its port while the link is
// elsewhere).
class TMintLoop : public TTestEventLoop {
public:
    void ProcessMessages() override {
        Settle();
        TTestEventLoop::ProcessMessages();
        Now = NowMs();
    }
    std::atomic<int64_t> Now{0};
    TControllerSim *Sim = nullptr;
    TCommThread *Worker = nullptr;
    int Probe = -1; // the simulator's device, opened before the PC side
    int SimPort = 0;
    std::vector<const TDeadPort *> Dead;
    uint64_t SentBase = TCommPortDriver::TotalBytesSent();
    uint64_t ReceivedBase = TCommPortDriver::TotalBytesReceived();

private:
    void Settle() const {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            int waiting = 0;
            ::ioctl(Probe, FIONREAD, &waiting);
            uint64_t received = TCommPortDriver::TotalBytesReceived() - ReceivedBase;
            uint64_t sent = TCommPortDriver::TotalBytesSent() - SentBase;
            for (const TDeadPort *port : Dead)
                sent -= std::min(sent, port->Arrived());
            // What waits on the simulator's port is read while the link is
            // open there.
            bool reading = Worker && Worker->OpenPort() == SimPort && SimPort > 0;
            if ((!Worker || !Worker->Busy()) && Sim->Quiet() && Sim->BytesIn() >= sent &&
                received + uint64_t(reading ? 0 : waiting) >= Sim->BytesOut())
                return;
            std::this_thread::yield();
        }
    }
};

class MintFindTest : public ::testing::Test {
protected:
    MintFindTest() {
        Sim.Clock = [this] { return Loop.Now.load(); };
        std::string error;
        EXPECT_TRUE(Sim.Open(SimSlave, error)) << error;
        Sim.VersionText = "vn2.1";
        Loop.Probe = ::open(SimSlave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        Loop.Sim = &Sim;
        Loop.Dead = {&First, &Second, &Third};
    }
    ~MintFindTest() override {
        Loop.Worker = nullptr;
        Form.reset();
        Sim.Stop();
        if (Loop.Probe >= 0)
            ::close(Loop.Probe);
    }
    void Start(bool SimOnSecond = true) {
        Sim.Start();
        Settings = Temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM1=" + First.Slave + "\nCOM2=" +
                                                  (SimOnSecond ? SimSlave : Second.Slave) +
                                                  "\nCOM3=" + Third.Slave + "\n");
        Form = std::make_unique<TMintFindForm>(nullptr, Settings);
        Form->FormCreate();
        Form->Ports = {"COM1", "COM2", "COM3"};
        Loop.Worker = &Form->Worker();
        Loop.SimPort = SimOnSecond ? 2 : 0;
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const TSimLogEntry &e : Sim.Log())
            if (e.Direction == '<' && e.Kind == "line")
                lines.push_back(e.Bytes);
        return lines;
    }
    // Serves the loop until the simulator has taken Line: its thread reads
    // the port at its own pace, after the download has written the line.
    bool Took(const std::string &Line) const {
        return test::ServeUntil([&] {
            std::vector<std::string> lines = Lines();
            return std::find(lines.begin(), lines.end(), Line) != lines.end();
        });
    }
    bool Said(const std::string &Text) const {
        for (const TRecordedMessage &m : Messages.Log())
            if (m.Text == Text)
                return true;
        return false;
    }

    TMintLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    test::TTempDir Temp;
    TDeadPort First, Second, Third;
    TControllerSim Sim;
    std::string SimSlave, Settings;
    std::unique_ptr<TMintFindForm> Form;
};

TEST(MintFindPorts, NumbersOfListEntries) {
    struct {
        const char *Item;
        int Number;
    } rows[] = {{"COM2", 2}, {"COM12", 12}, {"Com 3:", 3}, {"COMx", 0}, {"", 0}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.Item);
        EXPECT_EQ(TMintFindForm::PortNumber(r.Item), r.Number);
    }
}

TEST(MintFindPorts, TheListHoldsThePortMapAndTheSystemDevices) {
    test::TTempDir temp;
    std::string settings =
        temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM12=/dev/null\nCOM3=/dev/null\n");
    std::vector<std::string> ports = TMintFindForm::PortList(settings);
    EXPECT_NE(std::find(ports.begin(), ports.end(), "COM3"), ports.end());
    EXPECT_NE(std::find(ports.begin(), ports.end(), "COM12"), ports.end());
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end(), [](const auto &A, const auto &B) {
        return TMintFindForm::PortNumber(A) < TMintFindForm::PortNumber(B);
    }));
}

TEST_F(MintFindTest, FindsTheRunningControllerOnTheSecondPort) {
    Start();
    Form->FindButtClick();
    EXPECT_EQ(Form->FoundPort, 2);
    EXPECT_TRUE(Form->ProgramRunning);
    EXPECT_TRUE(Messages.Log().empty());
    EXPECT_EQ(ReadFar(First, 5), "\x04VN6\x05");
}

// An answer without "vn2." is a controller whose program does not run.
// The NC program named on the command line is no Mint file: the operator
// is asked and chooses the file; the download waits 25 ms before each
// prompted line, streams the "LOAD" block and closes it with Ctrl-Z.
TEST_F(MintFindTest, NotRunningAsksAndLoadsTheChosenFile) {
    Sim.VersionText = "vn1.9";
    Start();
    Form->ArgumentFile = Temp.Write("part.fnc", "G0 X0\n");
    std::string mint = Temp.Write("prog.mnt", "auto\nLOAD main\nprint 1\nend\n|\nlast\n");
    Messages.Answer("Yes");
    Messages.Answer(mint);
    Form->FindButtClick();
    EXPECT_EQ(Form->FoundPort, 2);
    EXPECT_FALSE(Form->ProgramRunning);
    ASSERT_FALSE(Messages.Log().empty());
    EXPECT_EQ(Messages.Log()[0].Text, "Machine found but not running - download Mint file now ?");
    ASSERT_TRUE(Took("run"));
    // "Break Mint" leaves the program: its second ENQ CR LF is an empty line.
    EXPECT_EQ(Lines(), (std::vector<std::string>{"", "auto", "LOAD main", "print 1", "end", "<1A>",
                                                 "last", "run"}));
    std::vector<TSimLogEntry> log = Sim.Log();
    auto at = [&log](const std::string &Text) -> int64_t {
        for (const TSimLogEntry &e : log)
            if (e.Direction == '<' && e.Kind == "line" && e.Bytes == Text)
                return e.Time;
        return -1;
    };
    // "LOAD main" is written 25 ms after the prompt that answers "auto",
    // and that prompt goes out only once "auto" has been taken.
    EXPECT_GE(at("LOAD main") - at("auto"), 25);
    EXPECT_TRUE(test::ServeUntil([&] { return Sim.ProgramRunning; }));
    EXPECT_FALSE(Said("Download of Mint file failed"));
}

// The prompt the break leaves in the reply does not answer the first line
// of the file, also when it comes well after the break's pauses: a line the
// controller never answers fails the download, and nothing after it goes
// out.
TEST_F(MintFindTest, AnEarlierPromptDoesNotAnswerTheNextLine) {
    Sim.VersionText = "vn1.9";
    TSimFault mute;
    mute.Kind = TSimFault::NoPrompt;
    mute.Match = "auto";
    Sim.AddFault(mute);
    TSimFault late; // the break's second ENQ CR LF is the first command line
    late.Kind = TSimFault::LatePrompt;
    late.DelayMs = 300;
    Sim.AddFault(late);
    Start();
    Form->FindMachine();
    ASSERT_EQ(Form->FoundPort, 2);
    Form->DownloadMint(Temp.Write("prog.mnt", "auto\nprint 1\n"));
    EXPECT_TRUE(Said("Download of Mint file failed"));
    std::vector<std::string> lines = Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "auto"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "print 1"), lines.end());
}

// A Mint file named on the command line goes without a question.
TEST_F(MintFindTest, AMintFileOnTheCommandLineLoadsAtOnce) {
    Sim.VersionText = "vn1.9";
    Start();
    Form->ArgumentFile = Temp.Write("prog.mnt", "auto\n");
    Form->FindButtClick();
    EXPECT_FALSE(Said("Machine found but not running - download Mint file now ?"));
    ASSERT_TRUE(Took("run"));
    std::vector<std::string> lines = Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "auto"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "run"), lines.end());
}

TEST_F(MintFindTest, AMissingPromptFailsTheDownload) {
    Start();
    Form->FindMachine();
    ASSERT_EQ(Form->FoundPort, 2);
    Sim.Silent = true;
    Form->DownloadMint(Temp.Write("prog.mnt", "auto\n"));
    EXPECT_TRUE(Said("Download of Mint file failed"));
}

TEST_F(MintFindTest, AnUnreadableFile) {
    Start();
    Form->FindMachine();
    Form->DownloadMint(Temp.File("missing.mnt"));
    EXPECT_TRUE(Said("File read error"));
}

TEST_F(MintFindTest, BreakMintOnTheWire) {
    Start();
    Form->BreakClick();
    EXPECT_TRUE(Said("Find Machine first !"));
    Form->FoundPort = 1;
    Form->Worker().ChangePort(1);
    int64_t start = Loop.NowMs();
    Form->BreakClick();
    EXPECT_GE(Loop.NowMs() - start, 150);
    EXPECT_EQ(ReadFar(First, 17), "\x05\r\n\x04M300,0,0\x03y\x05\r\n");
}

TEST_F(MintFindTest, NoControllerAnywhere) {
    Start(false);
    Form->FindButtClick();
    EXPECT_EQ(Form->FoundPort, -1);
    EXPECT_TRUE(Said("Machine not found !"));
}

TEST_F(MintFindTest, ANakNamesThePortInUse) {
    TSimFault nak;
    nak.Kind = TSimFault::Nak;
    nak.Match = "VN6";
    nak.NakValue = 21;
    Sim.AddFault(nak);
    Start();
    Form->FindButtClick();
    EXPECT_EQ(Form->FoundPort, -1);
    EXPECT_TRUE(Said("Machine not found !\r\nCom2: maybe in use by another application"));
}

} // namespace
} // namespace orv
