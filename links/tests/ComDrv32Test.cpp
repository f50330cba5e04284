// The polled driver on a pseudo-terminal: a closed driver does nothing
// harmful, received bytes reach OnReceiveData from the owner's poll or the
// driver's own timer, the port is fixed while open, and a send to a line
// whose other end is gone ends with a negative count.

#include "links/ComDrv32.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace orv {
namespace {

class ComDrv32Test : public ::testing::Test {
protected:
    ComDrv32Test() {
        Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(Master);
        ::unlockpt(Master);
        char name[128] = {};
        ::ptsname_r(Master, name, sizeof name);
        Driver.SettingsFile =
            Temp.Write("ports.ini", std::string("[Serial Ports]\nCOM2=") + name + "\n");
        Driver.SetComPort(pnCOM2);
        Driver.OnReceiveData = [this](TObject *, const uint8_t *Data, int Size) {
            Received.append(reinterpret_cast<const char *>(Data), size_t(Size));
            ++Events;
        };
    }
    ~ComDrv32Test() override {
        Driver.Disconnect();
        if (Master >= 0)
            ::close(Master);
    }
    std::string ReadMaster() {
        pollfd p{Master, POLLIN, 0};
        ::poll(&p, 1, 1000);
        char buffer[64];
        ssize_t n = ::read(Master, buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, size_t(n)) : std::string();
    }

    TTestEventLoop Loop;
    TEventLoopScope Scope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    test::TTempDir Temp;
    int Master = -1;
    TCommPortDriver Driver;
    std::string Received;
    int Events = 0;
};

TEST_F(ComDrv32Test, AClosedDriverDoesNothing) {
    EXPECT_FALSE(Driver.Connected());
    EXPECT_EQ(Driver.OutFreeSpace(), -1);
    const uint8_t b[] = {1, 2};
    EXPECT_EQ(Driver.SendData(b, 2), 0);
    EXPECT_TRUE(Driver.SendString(""));
    Driver.FlushBuffers(true, true);
    Driver.SetDTR(true);
    Driver.Poll();
    EXPECT_EQ(Events, 0);
}

TEST_F(ComDrv32Test, OwnerPolls) {
    Driver.SetComPortPollingDelay(0);
    ASSERT_TRUE(Driver.Connect());
    EXPECT_EQ(Driver.PortName(), "COM2");
    Driver.SetComPort(pnCOM3); // ignored while open
    EXPECT_EQ(Driver.PortName(), "COM2");
    Driver.Poll();
    EXPECT_EQ(Events, 0); // nothing waiting, no event
    EXPECT_TRUE(Driver.SendString("ver\n"));
    EXPECT_EQ(ReadMaster(), "ver\n");
    ASSERT_EQ(::write(Master, "\x02mb1\x03=", 6), 6);
    ASSERT_TRUE(Driver.WaitForData(1000));
    Driver.Poll();
    EXPECT_EQ(Received, "\x02mb1\x03=");
    EXPECT_EQ(Events, 1);
    EXPECT_GT(Driver.OutFreeSpace(), 0);
    Driver.Disconnect();
    Driver.SetComPort(pnCOM3);
    EXPECT_EQ(Driver.PortName(), "COM3");
}

TEST_F(ComDrv32Test, TheDriversTimerPolls) {
    Driver.SetComPortPollingDelay(50);
    ASSERT_TRUE(Driver.Connect());
    ASSERT_EQ(::write(Master, ">", 1), 1);
    ASSERT_TRUE(Driver.WaitForData(1000));
    Loop.Advance(49);
    EXPECT_EQ(Events, 0);
    Loop.Advance(1);
    EXPECT_EQ(Received, ">");
}

// A line has no 1.5 stop bits: they run as 2; 1 stays 1.
TEST_F(ComDrv32Test, OneAndAHalfStopBitsRunAsTwo) {
    struct TCase {
        TComPortStopBits Bits;
        bool Two;
    } cases[] = {{sb1BITS, false}, {sb1HALFBITS, true}, {sb2BITS, true}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(int(c.Bits));
        Driver.SetComPortStopBits(c.Bits);
        ASSERT_TRUE(Driver.Connect());
        termios t{};
        ASSERT_EQ(::tcgetattr(Master, &t), 0);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.Two);
        Driver.Disconnect();
    }
}

TEST_F(ComDrv32Test, ASendToAGoneLineEndsNegative) {
    ASSERT_TRUE(Driver.Connect());
    ::close(Master);
    Master = -1;
    const uint8_t b[] = {4, 'C', 'T', '6', 3, 0x26};
    EXPECT_LT(Driver.SendData(b, 6), 0);
    EXPECT_FALSE(Driver.SendString("abc"));
}

TEST_F(ComDrv32Test, ANameWithoutADevice) {
    Driver.SettingsFile =
        Temp.Write("none.ini", "[Serial Ports]\nCOM2=" + Temp.File("gone") + "\n");
    EXPECT_FALSE(Driver.Connect());
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_EQ(Messages.Log()[0].Text.rfind("Error Locating COM2", 0), 0u);
}

} // namespace
} // namespace orv
