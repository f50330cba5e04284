// The CIM port component on a pseudo-terminal: [RS232] read at every
// connect, the settings dialog's groups written back on OK only, the
// handshaking pair both ways, and an open port kept on its number.

#include "links/ComDrv32_Visual.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace orv {
namespace {

class ComDrv32Visual : public ::testing::Test {
protected:
    ComDrv32Visual()
    {
        for (int &m : Master) {
            m = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
            ::grantpt(m);
            ::unlockpt(m);
        }
        char a[128] = {}, b[128] = {};
        ::ptsname_r(Master[0], a, sizeof a);
        ::ptsname_r(Master[1], b, sizeof b);
        Port.ini_name = Temp.Write("Tarnwick.ini", std::string("[Serial Ports]\nCOM2=") + a +
                                                       "\nCOM3=" + b + "\n");
    }
    ~ComDrv32Visual() override
    {
        Port.Disconnect();
        for (int m : Master)
            ::close(m);
    }
    speed_t Speed(int Which)
    {
        termios t{};
        ::tcgetattr(Master[Which], &t);
        return ::cfgetospeed(&t);
    }

    TTestEventLoop Loop;
    TEventLoopScope Scope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    test::TTempDir Temp;
    int Master[2] = {-1, -1};
    TCommPortDriverVisual Port;
};

TEST_F(ComDrv32Visual, TheDialogWritesOnOkOnlyAndAnOpenPortKeepsItsNumber)
{
    ASSERT_TRUE(Port.Connect());
    EXPECT_EQ(Port.ComPort(), 1);
    EXPECT_EQ(Speed(0), speed_t(B9600));

    TRs232Groups shown;
    Port.Dialog = [&](TRs232Groups &G) {
        shown = G;
        G.ComPortRG = 2;     // COM3
        G.BaudRateRG = 8;    // 19200
        G.HandshakingRG = 3; // RTS/CTS + XON/XOFF
        return int(mrCancel);
    };
    EXPECT_EQ(Port.ShowSettingsDialog(), mrCancel);
    EXPECT_EQ(shown.ComPortRG, 1);
    EXPECT_EQ(shown.ParityRG, 2);
    EXPECT_EQ(TIniFile(Port.ini_name).ReadString("RS232", "Baud Rate", "none"), "none");

    Port.Dialog = [&](TRs232Groups &G) {
        G.ComPortRG = 2;
        G.BaudRateRG = 8;
        G.HandshakingRG = 3;
        return int(mrOk);
    };
    EXPECT_EQ(Port.ShowSettingsDialog(), mrOk);
    EXPECT_EQ(TIniFile(Port.ini_name).ReadInteger("RS232", "com port", -1), 2);
    EXPECT_EQ(TIniFile(Port.ini_name).ReadInteger("RS232", "Hand Shaking", -1), 3);
    // The rate applies at once; the port stays COM2 until it is opened again.
    EXPECT_EQ(Speed(0), speed_t(B19200));
    EXPECT_EQ(Port.ComPort(), 1);
    EXPECT_EQ(Port.Driver().ComPortHwHandshaking(), hhRTSCTS);
    EXPECT_EQ(Port.Driver().ComPortSwHandshaking(), shXONXOFF);

    Port.Dialog = [&](TRs232Groups &G) {
        shown = G;
        return int(mrCancel);
    };
    Port.ShowSettingsDialog();
    EXPECT_EQ(shown.HandshakingRG, 3);

    Port.Disconnect();
    ASSERT_TRUE(Port.Connect());
    EXPECT_EQ(Port.ComPort(), 2);
    EXPECT_EQ(Speed(1), speed_t(B19200));
}

TEST_F(ComDrv32Visual, FlushingInputKeepsWhatIsToBeSent)
{
    std::string got;
    Port.OnReceiveData = [&](TObject *, const uint8_t *Data, int Size) {
        got.append(reinterpret_cast<const char *>(Data), size_t(Size));
    };
    ASSERT_TRUE(Port.Connect());
    ASSERT_EQ(::write(Master[0], "old", 3), 3);
    ASSERT_TRUE(Port.Driver().WaitForData(5000)); // "old" is waiting
    Port.FlushBuffers(true, false);
    EXPECT_TRUE(Port.SendString("kept"));
    ASSERT_EQ(::write(Master[0], "new", 3), 3);
    for (int i = 0; i < 200 && got.empty(); ++i) {
        Loop.Advance(50);
        ::usleep(1000);
    }
    EXPECT_EQ(got, "new");
    char buffer[16] = {};
    ssize_t n = 0;
    for (int i = 0; i < 200 && n <= 0; ++i) {
        n = ::read(Master[0], buffer, sizeof buffer);
        ::usleep(1000);
    }
    EXPECT_EQ(std::string(buffer, size_t(n > 0 ? n : 0)), "kept");
}

} // namespace
} // namespace orv
