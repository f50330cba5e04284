// The message-driven driver: sizes and time-outs as their writers store
// them (a packet size past the largest input size ends there), packets out
// of what waits with the rest kept until it completes or times out, ports
// by "COMn" through the port map or by path, custom rates, and a window
// procedure that reads only on WM_TIMER.

#include "links/MsgDrv.h"
#include "platform/tests/Pty.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace orv {
namespace {

class MsgDrvTest : public ::testing::Test {
protected:
    MsgDrvTest() {
        Driver.SettingsFile = Temp.Write("ports.ini", "[Serial Ports]\nCOM12=" + Pty.Slave + "\n");
        Driver.SetPort(msgdrv::pnCOM12);
        Driver.Clock = [this] { return Now; };
        Driver.OnReceiveData = [this](TObject *, const uint8_t *Data, unsigned Size) {
            Data_.append(reinterpret_cast<const char *>(Data), Size);
        };
        Driver.OnReceivePacket = [this](TObject *, const uint8_t *Data, unsigned Size) {
            Packets.emplace_back(reinterpret_cast<const char *>(Data), Size);
        };
        Driver.OnPortError = [this](TObject *, const std::string &Reason) {
            Errors.push_back(Reason);
        };
    }
    ~MsgDrvTest() override {
        Driver.Disconnect();
    }
    test::TTempDir Temp;
    test::TPty Pty;
    int64_t Now = 1000;
    TMsgCommPortDriver Driver;
    std::string Data_;
    std::vector<std::string> Packets;
    std::vector<std::string> Errors;
};

TEST(MsgDrvSizes, WritersStoreWhatTheyMayHold) {
    struct {
        const char *Name;
        void (*Set)(TMsgCommPortDriver &);
        unsigned (*Get)(const TMsgCommPortDriver &);
        unsigned Want;
    } rows[] = {
        {"InBufSize 100", [](TMsgCommPortDriver &d) { d.SetInBufSize(100); },
         [](const TMsgCommPortDriver &d) { return d.InBufSize(); }, 128},
        {"InBufSize 10000", [](TMsgCommPortDriver &d) { d.SetInBufSize(10000); },
         [](const TMsgCommPortDriver &d) { return d.InBufSize(); }, 8192},
        {"OutBufSize 5", [](TMsgCommPortDriver &d) { d.SetOutBufSize(5); },
         [](const TMsgCommPortDriver &d) { return d.OutBufSize(); }, 12},
        {"PacketTimeout 20 below PollingDelay 50",
         [](TMsgCommPortDriver &d) { d.SetPacketTimeout(20); },
         [](const TMsgCommPortDriver &d) { return unsigned(d.PacketTimeout()); }, 70},
        {"PacketTimeout 500", [](TMsgCommPortDriver &d) { d.SetPacketTimeout(500); },
         [](const TMsgCommPortDriver &d) { return unsigned(d.PacketTimeout()); }, 500},
        {"PacketTimeout follows PollingDelay 100",
         [](TMsgCommPortDriver &d) {
             d.SetPacketTimeout(60);
             d.SetPollingDelay(100);
         },
         [](const TMsgCommPortDriver &d) { return unsigned(d.PacketTimeout()); }, 140},
        {"PacketSize 10000", [](TMsgCommPortDriver &d) { d.SetPacketSize(10000); },
         [](const TMsgCommPortDriver &d) { return unsigned(d.PacketSize()); }, 8192},
        {"PacketSize 10000 raises InBufSize", [](TMsgCommPortDriver &d) { d.SetPacketSize(10000); },
         [](const TMsgCommPortDriver &d) { return d.InBufSize(); }, 8192},
        {"PacketSize 3000 raises InBufSize", [](TMsgCommPortDriver &d) { d.SetPacketSize(3000); },
         [](const TMsgCommPortDriver &d) { return d.InBufSize(); }, 3000},
        {"PacketSize 0 is off", [](TMsgCommPortDriver &d) { d.SetPacketSize(0); },
         [](const TMsgCommPortDriver &d) { return unsigned(d.PacketSize()); }, unsigned(-1)},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.Name);
        TMsgCommPortDriver d;
        r.Set(d);
        EXPECT_EQ(r.Get(d), r.Want);
    }
}

TEST(MsgDrvSizes, PortsAndRates) {
    TMsgCommPortDriver d;
    EXPECT_EQ(d.Port(), msgdrv::pnCOM2);
    EXPECT_EQ(d.PortName(), "COM2");
    d.SetPort(msgdrv::pnCOM12);
    EXPECT_EQ(d.PortName(), "COM12");
    d.SetPortName("/dev/ttyUSB0");
    EXPECT_EQ(d.Port(), msgdrv::pnCustom);
    EXPECT_EQ(d.PortName(), "/dev/ttyUSB0");
    d.SetBaudRate(msgdrv::br19200);
    EXPECT_EQ(d.BaudRateValue(), 19200u);
    d.SetBaudRateValue(31250);
    EXPECT_EQ(d.BaudRate(), msgdrv::brCustom);
    EXPECT_EQ(d.BaudRateValue(), 31250u);
}

TEST_F(MsgDrvTest, Com12OpensThroughThePortMapAtACustomRate) {
    Driver.SetBaudRateValue(31250);
    ASSERT_TRUE(Driver.Connect()) << Driver.LastError;
    EXPECT_EQ(CurrentBaud(Pty.Master), 31250);
    // A pseudo-terminal has no modem lines.
    EXPECT_EQ(Driver.GetLineStatus(), 0u);
    // The port is fixed while open.
    Driver.SetPort(msgdrv::pnCOM3);
    EXPECT_EQ(Driver.PortName(), "COM12");
    EXPECT_TRUE(Driver.SendString("abc"));
    char buffer[8] = {};
    pollfd p{Pty.Master, POLLIN, 0};
    ::poll(&p, 1, 1000);
    EXPECT_EQ(::read(Pty.Master, buffer, sizeof buffer), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST_F(MsgDrvTest, AClosedDriverAndOtherMessages) {
    TMessage m;
    m.Msg = WM_TIMER;
    m.Result = 7;
    Driver.TimerWndProc(m);
    EXPECT_EQ(m.Result, 0);
    EXPECT_EQ(Driver.OutFreeSpace(), -1);
    EXPECT_FALSE(Driver.FlushBuffers(true, true));
    EXPECT_EQ(Driver.SendBuffer(reinterpret_cast<const uint8_t *>("x"), 1), 0u);
    ASSERT_TRUE(Driver.Connect());
    EXPECT_EQ(Driver.OutFreeSpace(), 2048);
    // Nothing waiting: no event.
    Driver.Poll();
    EXPECT_TRUE(Data_.empty());
    ASSERT_EQ(::write(Pty.Master, "hello", 5), 5);
    // Only WM_TIMER reads; the bytes stay for the next poll.
    TMessage paint;
    paint.Msg = 15;
    paint.Result = 9;
    for (int i = 0; i < 200; ++i) {
        Driver.TimerWndProc(paint);
        ::usleep(500);
    }
    EXPECT_EQ(paint.Result, 0);
    EXPECT_TRUE(Data_.empty());
    while (Data_.size() < 5 && Driver.WaitForData(10000))
        Driver.Poll();
    EXPECT_EQ(Data_, "hello");
    EXPECT_TRUE(Errors.empty());
}

// A far side that reads nothing stalls a send at its time-out; one that
// hung up fails it with the system's reason, and a poll reports the
// hang-up instead of taking it for silence.
TEST_F(MsgDrvTest, AStalledLineAndAHungUpOneAreToldApart) {
    ASSERT_TRUE(Driver.Connect());
    std::vector<uint8_t> block(1 << 20, 'x');
    unsigned written = Driver.SendData(block.data(), unsigned(block.size()), 100);
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, block.size());
    EXPECT_EQ(Driver.LastSendEnd, sdStalled);
    EXPECT_TRUE(Driver.LastSendError.empty());
    Driver.Poll();
    EXPECT_TRUE(Errors.empty());

    ::close(Pty.Master);
    Pty.Master = -1;
    EXPECT_LT(Driver.SendData(block.data(), 16, 100), 16u);
    EXPECT_EQ(Driver.LastSendEnd, sdFailed);
    EXPECT_EQ(Driver.LastSendError, std::strerror(EIO));
    Driver.Poll();
    ASSERT_FALSE(Errors.empty());
    EXPECT_EQ(Errors.front(), std::strerror(EIO));
    EXPECT_TRUE(Driver.Connected()); // its owner closes it
    EXPECT_TRUE(Data_.empty());

    Driver.Disconnect();
    EXPECT_EQ(Driver.SendData(block.data(), 1, 100), 0u);
    EXPECT_EQ(Driver.LastSendEnd, sdFailed);
}

// Packet size 10 with 25 bytes waiting: two packets, 5 bytes kept until
// more come or the packet time-out passes.
TEST_F(MsgDrvTest, PacketsAndTheRestAtItsTimeOut) {
    for (TPacketMode mode : {pmPass, pmDiscard}) {
        SCOPED_TRACE(mode == pmPass ? "pmPass" : "pmDiscard");
        Packets.clear();
        Driver.Disconnect();
        Driver.SetPacketSize(10);
        Driver.SetPacketTimeout(200);
        Driver.PacketMode = mode;
        ASSERT_TRUE(Driver.Connect());
        ASSERT_EQ(::write(Pty.Master, "0123456789abcdefghijKLMNO", 25), 25);
        // The line delivers at its pace: poll as input comes until both
        // packets are in.
        while (Packets.size() < 2 && Driver.WaitForData(10000))
            Driver.Poll();
        ASSERT_EQ(Packets.size(), 2u);
        EXPECT_EQ(Packets[0], "0123456789");
        EXPECT_EQ(Packets[1], "abcdefghij");
        // The rest waits: polls within the time-out deliver nothing.
        for (int i = 0; i < 20; ++i) {
            Driver.Poll();
            Now += 10;
        }
        EXPECT_EQ(Packets.size(), 2u);
        // Five more complete a third packet.
        ASSERT_EQ(::write(Pty.Master, "PQRST", 5), 5);
        while (Packets.size() < 3 && Driver.WaitForData(10000))
            Driver.Poll();
        ASSERT_EQ(Packets.size(), 3u);
        EXPECT_EQ(Packets[2], "KLMNOPQRST");
        // A partial packet past its time-out: passed or dropped.
        ASSERT_EQ(::write(Pty.Master, "uvw", 3), 3);
        // Taken once the line has delivered them: the packet's time starts.
        ASSERT_TRUE(Driver.WaitForData(10000));
        Driver.Poll();
        EXPECT_EQ(Packets.size(), 3u);
        Now += 201;
        Driver.Poll();
        if (mode == pmPass) {
            ASSERT_EQ(Packets.size(), 4u);
            EXPECT_EQ(Packets[3], "uvw");
        } else {
            EXPECT_EQ(Packets.size(), 3u);
        }
        // Nothing is left behind either way.
        ASSERT_EQ(::write(Pty.Master, "0123456789", 10), 10);
        size_t before = Packets.size();
        while (Packets.size() == before && Driver.WaitForData(10000))
            Driver.Poll();
        ASSERT_EQ(Packets.size(), before + 1);
        EXPECT_EQ(Packets.back(), "0123456789");
        EXPECT_TRUE(Data_.empty());
    }
}

} // namespace
} // namespace orv
