// Serial devices through a pseudo-terminal pair: raw bytes both ways,
// exclusive open, line settings (custom rates, mark and space parity),
// modem lines a pseudo-terminal lacks, and the "COMn" port map.

#include "platform/SerialPort.h"
#include "platform/tests/Pty.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
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

TEST_F(SerialPortTest, OpenIsExclusive) {
    std::string error;
    ASSERT_TRUE(Port.Open(Slave, error)) << error;
    TSerialPort second;
    if (::geteuid() != 0) {
        EXPECT_FALSE(second.Open(Slave, error));
        EXPECT_NE(error.find(Slave), std::string::npos);
    }
    Port.Close();
    EXPECT_TRUE(second.Open(Slave, error)) << error;
}

TEST_F(SerialPortTest, LineSettings) {
    std::string error;
    ASSERT_TRUE(Port.Open(Slave, error)) << error;
    struct TCase {
        TSerialSettings Settings;
        bool Accepted;
    } cases[] = {
        {Line(9600, 8, 'N', 1), true},  {Line(115200, 7, 'E', 2), true},
        {Line(4800, 8, 'O', 1), true},  {Line(19200, 8, 'M', 2), true},
        {Line(19200, 8, 'S', 1), true}, {Line(9600, 9, 'N', 1), false},
        {Line(9600, 4, 'N', 1), false},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.Settings.Baud) + " " + c.Settings.Parity);
        EXPECT_EQ(Port.Apply(c.Settings, error), c.Accepted) << error;
    }
    // Rates outside the fixed table go through the custom-rate call, or are
    // refused with the rate named.
    for (int rate : {14400, 56000}) {
        SCOPED_TRACE(rate);
        error.clear();
        if (!Port.Apply(Line(rate, 8, 'N', 1), error)) {
            EXPECT_NE(error.find(std::to_string(rate)), std::string::npos);
        }
    }
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
