// Rostrel's wire on a pseudo-terminal whose far side reads or writes at the
// line rate: the wire bytes of the send options, software flow holding a
// send, a line the port does not take, a far side that hangs up during a
// send or a receive, receiving into lines, and opening the chosen entry.

#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "transfer/LineSender.h"
#include "transfer/ReceiveAssembly.h"
#include "transfer/SendCursor.h"
#include "transfer/TransferLink.h"
#include "transfer/TransferPort.h"
#include "transfer/tests/PtyFarSide.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

class TransferPtyTest : public ::testing::TestWithParam<int> {
protected:
    TransferPtyTest() { Ports = {{"COM1", "/dev/orv-none"}, {"COM3", Far.Slave}}; }
    ~TransferPtyTest() override { Port.Close(); }

    bool Open(bool XonXoff = false) {
        TSerialSettings line;
        line.Baud = GetParam();
        line.XonXoff = XonXoff;
        return Link.OpenPort(Ports, 1, line);
    }
    // Sends Text (CR-separated editor text) with Options.
    TSendEnd Send(const std::string &Text, const TSendOptions &Options, bool LineByLine = false) {
        TLineSender sender(Port, Options);
        size_t pos = 0;
        sender.GetNextLine = [&](std::string &Line) { return NextSendLine(Text, pos, Line); };
        sender.Cancel = &Cancel;
        sender.LineByLine = LineByLine;
        TSendEnd end = sender.Run();
        Message = sender.EndMessage();
        return end;
    }

    TPlainEventLoop Loop;
    TEventLoopScope Scope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    test::TPtyFarSide Far;
    std::vector<TComPortEntry> Ports;
    TMsgDrvTransferPort Port;
    TTransferLink Link{Port};
    bool Cancel = false;
    std::string Message;
};

INSTANTIATE_TEST_SUITE_P(Rates, TransferPtyTest, ::testing::Values(115200, 9600));

TEST_P(TransferPtyTest, WireBytesOfTheSendOptions) {
    struct Case {
        const char *Name;
        std::string Text;
        TSendOptions Options;
        std::string Wire;
    };
    TSendOptions remStrip;
    remStrip.Comment1 = "rem";
    remStrip.StripBlank = true;
    TSendOptions lfUpper;
    lfUpper.AppendLF = true;
    lfUpper.UpperOnly = true;
    TSendOptions strip;
    strip.StripBlank = true;
    const Case cases[] = {
        {"comment and blank stripped", "G0 X1\rREM tool change\r\rM30", remStrip, "G0 X1\rM30\r"},
        {"percent and blank", "%\r \t \r%", strip, "%\r%\r"},
        {"blank kept", " \t\r%", {}, " \t\r%\r"},
        {"LF after CR and UPPERCASE", "g1 x2\rm30", lfUpper, "G1 X2\r\nM30\r\n"},
        {"closing line break", "N1\r", {}, "N1\r\r"},
        {"closing line break stripped", "N1\r", strip, "N1\r"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TPtyFarSide far;
        Ports[1].Device = far.Slave;
        ASSERT_TRUE(Open());
        far.StartReading(GetParam(), c.Wire.size());
        EXPECT_EQ(Send(c.Text, c.Options), TSendEnd::Completed);
        far.Join();
        EXPECT_EQ(far.Received(), c.Wire);
        Port.Close();
    }
    EXPECT_TRUE(Messages.Log().empty());
}

TEST_P(TransferPtyTest, CancelAtTheFirstConfirmationSendsNothingMore) {
    ASSERT_TRUE(Open());
    Far.StartReading(GetParam(), 3);
    Messages.Answer("Cancel");
    EXPECT_EQ(Send("N1\rN2\rN3", {}, true), TSendEnd::Cancelled);
    EXPECT_EQ(Message, "Data transfer cancelled by user !");
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_EQ(Messages.Log()[0].Text, "Press OK to send next line");
    Far.Join();
    EXPECT_EQ(Far.ReadSome(100, 64), ""); // the send has returned: nothing follows
    Port.Close();
    EXPECT_EQ(Far.Received(), "N1\r");
}

TEST_P(TransferPtyTest, EscapeStopsTheSendAfterTheLineUnderWay) {
    TTestEventLoop keys;
    TEventLoopScope scope(keys);
    keys.SetKeyDown(VK_ESCAPE, true);
    ASSERT_TRUE(Open());
    Far.StartReading(GetParam(), 3);
    EXPECT_EQ(Send("N1\rN2\rN3", {}), TSendEnd::Cancelled);
    Far.Join();
    EXPECT_EQ(Far.ReadSome(100, 64), "");
    EXPECT_EQ(Far.Received(), "N1\r");
    EXPECT_EQ(Message, "Data transfer cancelled by user !");
}

// The editor text of a program several times larger than the pty's buffer.
std::string BigProgram(int Lines) {
    std::string text;
    for (int i = 1; i <= Lines; ++i)
        text += "N" + std::to_string(i) + " G1 X" + std::to_string(i % 500) + ".125 Y-20.5 F300\r";
    return text + "M30";
}

std::string WireOf(const std::string &Text) {
    std::string wire = Text;
    return wire + "\r";
}

// The program is more than the pseudo-terminal holds under way, so part of
// it is still waiting when the XOFF comes, however late the far side gets
// to it; the far side then reads as fast as it can.
TEST_P(TransferPtyTest, XoffHoldsTheSendAndXonResumesIt) {
    std::string text = BigProgram(1500); // about 40 KB
    ASSERT_TRUE(Open(true));
    Port.OutputTimeoutMs = 20000;
    std::string held;
    size_t heldAt = 0;
    Far.Worker = std::thread([&] {
        std::string got = Far.ReadSome(10000, 64);
        Far.WriteAll("\x13"); // XOFF
        // Drain what was already under way, then nothing more may come.
        for (std::string c; !(c = Far.ReadSome(300, 256)).empty();)
            got += c;
        heldAt = got.size();
        Far.WriteAll("\x11"); // XON
        while (got.size() < text.size() + 1) {
            std::string c = Far.ReadSome(10000, 256);
            if (c.empty())
                break;
            got += c;
        }
        held = got;
    });
    EXPECT_EQ(Send(text, {}), TSendEnd::Completed) << Message;
    Far.Join();
    EXPECT_EQ(held, WireOf(text));
    EXPECT_LT(heldAt, held.size());
}

TEST_P(TransferPtyTest, AFarSideThatStopsReadingEndsTheSendAtTheTimeOut) {
    ASSERT_TRUE(Open());
    Port.OutputTimeoutMs = 200;
    std::string text = BigProgram(3000); // far more than the pty buffers
    EXPECT_EQ(Send(text, {}), TSendEnd::Stalled);
    EXPECT_EQ(Message.rfind("Data transfer stopped at line ", 0), 0u) << Message;
    EXPECT_NE(Message.find(": the COM port takes no data !"), std::string::npos);
}

// A far side that reads at the line's own rate: once the pty's buffers are
// full, write room comes back only every few hundred ms or seconds, yet the
// line drains and the send must go on to the end. Once the last line is
// handed over, the far side takes the rest at once.
using TransferPtyPacedTest = TransferPtyTest;
INSTANTIATE_TEST_SUITE_P(SlowRates, TransferPtyPacedTest, ::testing::Values(4800, 9600));

TEST_P(TransferPtyPacedTest, ALineDrainingAtItsRateIsNoStall) {
    const size_t capacity = test::TPtyFarSide::Capacity();
    ASSERT_GT(capacity, 0u);
    std::string text;
    // A few KB more than the buffers hold: the far side has to read those
    // at the line's rate, with the write room coming back in bursts.
    for (int lines = 100; text.size() < capacity + 4096; lines += 20)
        text = BigProgram(lines);
    ASSERT_TRUE(Open());
    const std::string wire = WireOf(text);
    Far.StartReading(GetParam(), wire.size());
    EXPECT_EQ(Send(text, {}), TSendEnd::Completed) << Message;
    Far.Unpaced = true;
    Far.Join();
    EXPECT_EQ(Far.Size(), wire.size());
    EXPECT_TRUE(Far.Received() == wire) << "the program byte for byte";
    EXPECT_TRUE(Messages.Log().empty());
}

TEST_P(TransferPtyTest, AHangUpDuringASendIsReported) {
    ASSERT_TRUE(Open());
    Far.StartReading(GetParam(), 1 << 20, 200);
    EXPECT_EQ(Send(BigProgram(3000), {}), TSendEnd::Lost);
    EXPECT_EQ(Message.rfind("COM port lost: ", 0), 0u) << Message;
    EXPECT_EQ(Message.substr(Message.size() - 2), " !");
}

TEST_P(TransferPtyTest, ReceivingKeepsEveryLineAndReportsAHangUp) {
    ASSERT_TRUE(Open());
    TReceiveAssembly assembly;
    std::vector<std::string> lines;
    assembly.OnLine = [&](const std::string &L, bool) { lines.push_back(L); };
    Link.OnReceiveData = [&](const uint8_t *D, int N) { assembly.AppendReceived(D, N); };
    std::string lost;
    Link.OnPortLost = [&](const std::string &M) { lost = M; };
    std::string program;
    for (int i = 1; i <= 200; ++i)
        program += "N" + std::to_string(i) + " G1 X1\r\n";
    program += std::string("\0\x01garbage\r", 10);
    Far.StartWriting(GetParam(), program);
    ASSERT_TRUE(test::WaitUntil([&] { return lines.size() == 201; }, [&] { Link.Poll(); }, 60000))
        << lines.size() << " lines, last: " << (lines.empty() ? "" : lines.back()) << "; " << lost;
    Far.Join();
    EXPECT_EQ(lines[0], "N1 G1 X1");
    EXPECT_EQ(lines[199], "N200 G1 X1");
    EXPECT_EQ(lines[200], "garbage");
    EXPECT_EQ(assembly.Dropped(), 2);
    Far.CloseMaster();
    ASSERT_TRUE(test::WaitUntil([&] { return !lost.empty(); }, [&] { Link.Poll(); }));
    EXPECT_EQ(lost.rfind("COM port lost: ", 0), 0u);
    EXPECT_FALSE(Link.Connected());
    EXPECT_EQ(lines.size(), 201u);
}

TEST_P(TransferPtyTest, TheChosenEntryIsOpenedAndNoEntryOpensNothing) {
    ASSERT_TRUE(Open()); // the second entry, COM3, is the pty
    Far.StartReading(GetParam(), 4);
    EXPECT_EQ(Port.SendString("WH\r\n").Status, TSendStatus::Sent);
    Far.Join();
    EXPECT_EQ(Far.Received(), "WH\r\n");
    EXPECT_TRUE(Messages.Log().empty());

    EXPECT_FALSE(Link.OpenPort({}, 0, {}));
    EXPECT_FALSE(Link.Connected());
    EXPECT_FALSE(Link.OpenPort(Ports, 0, {})); // COM1 names no device
    ASSERT_EQ(Messages.Log().size(), 2u);
    EXPECT_EQ(Messages.Log()[1].Text, "Could not open COM port !");
}

} // namespace
} // namespace orv
