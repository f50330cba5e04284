// The machine finder over three pseudo-terminals, the simulator on the
// second, in real time (its worker is a thread): the search and the
// running test, the question and the download of a controller that is not
// running, a missing prompt, an unreadable file, "Break Mint" on the wire,
// and a search that finds nothing, with the hint after a NAK.

#include "links/MintFind.h"
#include "links/CommThread.h"
#include "links/sim/ControllerSim.h"
#include "links/tests/PtyPair.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>

namespace orv {
namespace {

// A pseudo-terminal nobody answers on.
using TDeadPort = test::TPtyPair;

// What the PC side wrote to Port, waiting up to 1 s for Count bytes.
std::string ReadFar(TDeadPort &Port, size_t Count) {
    std::string all;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (all.size() < Count && std::chrono::steady_clock::now() < end) {
        all += Port.Read();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return all;
}

class MintFindTest : public ::testing::Test {
protected:
    MintFindTest() {
        std::string error;
        EXPECT_TRUE(Sim.Open(SimSlave, error)) << error;
        Sim.VersionText = "vn2.1";
    }
    void Start(bool SimOnSecond = true) {
        Sim.Start();
        Settings = Temp.Write("Tarnwick.ini", "[Serial Ports]\nCOM1=" + First.Slave + "\nCOM2=" +
                                                  (SimOnSecond ? SimSlave : Second.Slave) +
                                                  "\nCOM3=" + Third.Slave + "\n");
        Form = std::make_unique<TMintFindForm>(nullptr, Settings);
        Form->FormCreate();
        Form->Ports = {"COM1", "COM2", "COM3"};
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

    TPlainEventLoop Loop;
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
    auto start = std::chrono::steady_clock::now();
    Form->BreakClick();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
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
