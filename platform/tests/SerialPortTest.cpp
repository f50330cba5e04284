// Serial devices through a pseudo-terminal pair: raw bytes both ways,
// exclusive open (also against root), line settings read back (custom
// rates, stop bits) and their flags (mark and space parity),
// modem lines a pseudo-terminal lacks, and the "COMn" port map.

#include "platform/SerialPort.h"
#include "platform/tests/Pty.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orv {
namespace {

TSerialSettings Line(int Baud, int DataBits, char Parity, int StopBits) {
    TSerialSettings s;
    s.Baud = Baud;
    s.DataBits = DataBits;
    s.Parity = Parity;
    s.StopBits = StopBits;
    return s;
}

class SerialPortTest : public ::testing::Test {
protected:
    std::string ReadMaster() { return Pty.ReadWithin(1000); }

    test::TPty Pty;
    const int Master = Pty.Master;
    const std::string &Slave = Pty.Slave;
    TSerialPort Port;
};

TEST_F(SerialPortTest, RawBytesBothWays) {
    std::string error;
    ASSERT_TRUE(Port.Open(Slave, error)) << error;
    ASSERT_TRUE(Port.Apply(Line(19200, 8, 'N', 2), error)) << error;
    const uint8_t frame[] = {0x04, 'M', 'B', '6', '\n', '\r', 0x03, 0x8A};
    EXPECT_EQ(Port.Write(frame, sizeof frame), int(sizeof frame));
    EXPECT_EQ(ReadMaster(), std::string(reinterpret_cast<const char *>(frame), sizeof frame));
    uint8_t buffer[16];
    EXPECT_EQ(Port.Read(buffer, sizeof buffer), 0); // nothing waits: no block
    EXPECT_FALSE(Port.WaitReadable(0));
    const char answer[] = "\x02zz\r\n\x03\x81";
    ASSERT_EQ(::write(Master, answer, 7), 7);
    ASSERT_TRUE(Port.WaitReadable(1000));
    EXPECT_EQ(Port.Read(buffer, sizeof buffer), 7);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(buffer), 7), std::string(answer, 7));
}

// A second open fails while the port is held and works once it is closed.
// Root passes the exclusive lock, so the second open is made by a child
// process that runs as nobody (CI runs as root).
TEST_F(SerialPortTest, OpenIsExclusive) {
    std::string error;
    ASSERT_TRUE(Port.Open(Slave, error)) << error;
    ASSERT_EQ(::chmod(Slave.c_str(), 0666), 0);
    // 0: opened; 1: refused, naming the device; 2: refused otherwise.
    auto secondOpen = [this] {
        pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
            TSerialPort second;
            std::string e;
            ::_exit(second.Open(Slave, e) ? 0 : e.find(Slave) != std::string::npos ? 1 : 2);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(secondOpen(), 1);
    Port.Close();
    EXPECT_EQ(secondOpen(), 0);
}

// Each setting reaches the device: the rate (the fixed table's, or any
// other through the custom-rate call) and the stop bits, read back on the
// other end of the line; a data size out of 5 to 8 is refused.
TEST_F(SerialPortTest, LineSettings) {
    std::string error;
    ASSERT_TRUE(Port.Open(Slave, error)) << error;
    struct TCase {
        TSerialSettings Settings;
        bool Accepted;
    } cases[] = {
        {Line(9600, 8, 'N', 1), true},  {Line(115200, 7, 'E', 2), true},
        {Line(4800, 8, 'O', 1), true},  {Line(19200, 8, 'M', 2), true},
        {Line(19200, 8, 'S', 1), true}, {Line(14400, 8, 'N', 1), true},
        {Line(56000, 8, 'N', 2), true}, {Line(9600, 9, 'N', 1), false},
        {Line(9600, 4, 'N', 1), false},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.Settings.Baud) + " " + c.Settings.Parity);
        ASSERT_EQ(Port.Apply(c.Settings, error), c.Accepted) << error;
        if (!c.Accepted)
            continue;
        EXPECT_EQ(CurrentBaud(Master), c.Settings.Baud);
        termios t{};
        ASSERT_EQ(::tcgetattr(Master, &t), 0);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.Settings.StopBits == 2);
    }
}

// The flags of each parity, data size and flow control (a pseudo-terminal
// drops the parity bits, so they are checked before they go to the device).
TEST(SerialLineFlagsTest, ParityDataSizeAndFlowControl) {
    struct TCase {
        char Parity;
        tcflag_t Set, Clear;
    } parities[] = {
        {'N', 0, PARENB | PARODD | CMSPAR},
        {'E', PARENB, PARODD | CMSPAR},
        {'O', PARENB | PARODD, CMSPAR},
        {'M', PARENB | PARODD | CMSPAR, 0},
        {'S', PARENB | CMSPAR, PARODD},
    };
    for (const TCase &c : parities) {
        SCOPED_TRACE(c.Parity);
        termios t{};
        t.c_cflag = PARENB | PARODD | CMSPAR; // what a previous setting left
        LineFlags(Line(9600, 8, c.Parity, 1), t);
        EXPECT_EQ(t.c_cflag & c.Set, c.Set);
        EXPECT_EQ(t.c_cflag & c.Clear, 0u);
        EXPECT_EQ((t.c_iflag & INPCK) != 0, c.Parity != 'N');
    }
    for (int bits : {5, 6, 7, 8}) {
        termios t{};
        LineFlags(Line(9600, bits, 'N', 1), t);
        EXPECT_EQ(t.c_cflag & CSIZE, bits == 5 ? CS5 : bits == 6 ? CS6 : bits == 7 ? CS7 : CS8);
    }
    TSerialSettings flow = Line(9600, 8, 'N', 2);
    flow.RtsCts = flow.XonXoff = true;
    termios t{};
    LineFlags(flow, t);
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    flow.RtsCts = flow.XonXoff = false;
    LineFlags(flow, t);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY), 0u);
}

TEST_F(SerialPortTest, ModemLinesAPseudoTerminalLacksAreHarmless) {
    std::string error;
    ASSERT_TRUE(Port.Open(Slave, error)) << error;
    Port.SetDTR(true);
    Port.SetRTS(false);
    Port.Flush(true, true);
    EXPECT_GE(Port.OutQueued(), 0);
    EXPECT_TRUE(Port.IsOpen());
}

TEST_F(SerialPortTest, FailuresNameTheDevice) {
    std::string error;
    EXPECT_FALSE(Port.Open("/dev/orv-no-such-device", error));
    EXPECT_NE(error.find("/dev/orv-no-such-device"), std::string::npos);
    test::TTempDir temp;
    std::string plain = temp.Write("plain.txt", "x");
    EXPECT_FALSE(Port.Open(plain, error));
    EXPECT_FALSE(Port.IsOpen());
    uint8_t b = 0;
    EXPECT_EQ(Port.Read(&b, 1), -1);
    EXPECT_LT(Port.Write(&b, 1), 0);
}

TEST(SerialDevicePathTest, PortMap) {
    test::TTempDir temp;
    std::string ini =
        temp.Write("Tarnwick.ini", "[serial ports]\ncom3=/dev/pts/7\nCOM4=/dev/ttyUSB0\n");
    struct TCase {
        const char *Name, *Path;
    } cases[] = {{"COM3", "/dev/pts/7"}, {"COM4", "/dev/ttyUSB0"},         {"COM1", "/dev/ttyS0"},
                 {"COM8", "/dev/ttyS7"}, {"/dev/ttyACM0", "/dev/ttyACM0"}, {"COM0", "COM0"}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(SerialDevicePath(c.Name, ini), c.Path);
    }
    EXPECT_EQ(SerialDevicePath("COM2", ""), "/dev/ttyS1");
    EXPECT_EQ(SerialDevicePath("COM2", temp.File("missing.ini")), "/dev/ttyS1");
}

} // namespace
} // namespace orv
