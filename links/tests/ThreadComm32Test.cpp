// The threaded serial component on a pseudo-terminal: the device it opens,
// byte-per-message delivery both ways, line errors as empty deliveries,
// the exception texts, closing while a write blocks, the far side going
// away, and a component destroyed while open.

#include "links/ThreadComm32.h"

#include "links/tests/PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <chrono>
#include <thread>

namespace orv {
namespace {

// Counts the messages posted from the threads.
class TCountingLoop : public TPlainEventLoop {
public:
    void Post(std::function<void()> Message) override {
        ++Posted;
        TPlainEventLoop::Post(std::move(Message));
    }
    std::atomic<int> Posted{0};
};

class ThreadComm32Test : public ::testing::Test {
protected:
    ThreadComm32Test() : Scope(Loop) {
        Comm = std::make_unique<TThreadComm32>();
        Comm->SettingsFile = Pty.Settings;
        Comm->DataBits = TDataBits::_8;
        Comm->BaudRate = TBaudRate::__19200;
        Comm->OnReceiveData = [this](const uint8_t *Buffer, uint16_t Length) {
            Lengths.push_back(Length);
            Received.append(reinterpret_cast<const char *>(Buffer), Length);
            ASSERT_EQ(Buffer[Length], 0); // a zero after the bytes
        };
        Comm->OnRequestHangup = [this](TObject *Sender) {
            EXPECT_EQ(Sender, Comm.get());
            ++Hangups;
        };
    }

    TCountingLoop Loop;
    TEventLoopScope Scope;
    test::TPtyPair Pty;
    std::unique_ptr<TThreadComm32> Comm;
    std::string Received;
    std::vector<int> Lengths;
    int Hangups = 0;
};

TEST_F(ThreadComm32Test, OpensNewComportWhateverCommPortSays) {
    Comm->CommPort = TCommPort::Com3;
    Comm->NewComport = "COM1";
    ASSERT_TRUE(Comm->OpenPort());
    Pty.Write(std::string("AB\xff\x00C", 5));
    ASSERT_TRUE(test::ServeUntil([&] { return Received.size() == 5; })) << Received;
    EXPECT_EQ(Received, std::string("AB\xff\x00C", 5));
    EXPECT_EQ(Lengths, std::vector<int>(5, 1)); // one delivery per byte

    const uint8_t frame[] = {4, 'z', 'z', '6', 5};
    ASSERT_TRUE(Comm->SendData(frame, sizeof frame));
    std::string far;
    ASSERT_TRUE(test::ServeUntil([&] {
        far += Pty.Read();
        return far.size() == 5;
    }));
    EXPECT_EQ(far, std::string(reinterpret_cast<const char *>(frame), 5));
    Comm->ClosePort();
    EXPECT_FALSE(Comm->IsOpen());
    EXPECT_EQ(Hangups, 0);
}

TEST_F(ThreadComm32Test, ClosedComponentSendsNothingAndClosesQuietly) {
    const uint8_t byte = 'x';
    Comm->ClosePort();
    EXPECT_FALSE(Comm->SendData(&byte, 1));
    ASSERT_TRUE(Comm->OpenPort());
    Comm->ClosePort();
    Comm->ClosePort();
    EXPECT_FALSE(Comm->SendData(&byte, 1));
    // The port can be opened again after closing.
    EXPECT_TRUE(Comm->OpenPort());
}

TEST_F(ThreadComm32Test, LineErrorIsOneEmptyDeliveryAndReadingGoesOn) {
    ASSERT_TRUE(Comm->OpenPort());
    Comm->InjectLineError();
    ASSERT_TRUE(test::ServeUntil([&] { return Lengths.size() == 1; }));
    EXPECT_EQ(Lengths[0], 0);
    Pty.Write("ok");
    ASSERT_TRUE(test::ServeUntil([&] { return Received == "ok"; }));
    EXPECT_EQ(Lengths, (std::vector<int>{0, 1, 1}));
}

TEST_F(ThreadComm32Test, OpenErrorsInTheComponentsWords) {
    test::TTempDir temp;
    std::string plain = temp.Write("plain.txt", "not a port");
    struct TCase {
        const char *Name;
        std::function<void(TThreadComm32 &)> Setup;
        std::string Message;
    } cases[] = {
        {"plain file", [&](TThreadComm32 &C) { C.NewComport = plain; },
         "File handle is not a comm handle. "},
        {"missing device", [&](TThreadComm32 &C) { C.NewComport = temp.File("none"); },
         "Error opening com port: " + temp.File("none")},
        {"four data bits", [](TThreadComm32 &C) { C.DataBits = TDataBits::_4; },
         "Unsupported data bits: 4"},
        {"already open", [](TThreadComm32 &C) { C.OpenPort(); }, "Already have a comm file open"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TThreadComm32 comm;
        comm.SettingsFile = Pty.Settings;
        comm.DataBits = TDataBits::_8;
        c.Setup(comm);
        try {
            comm.OpenPort();
            ADD_FAILURE() << "no exception";
        } catch (const ECommsError &e) {
            EXPECT_EQ(e.what(), c.Message);
        }
    }
}

// A port that failed after it was taken for itself is shared again, so the
// next open (not only root's) gets it.
TEST_F(ThreadComm32Test, AFailedOpenLeavesThePortShared) {
    {
        TThreadComm32 comm;
        comm.SettingsFile = Pty.Settings;
        comm.DataBits = TDataBits::_4;
        EXPECT_THROW(comm.OpenPort(), ECommsError);
    }
    const int fd = ::open(Pty.Slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    int exclusive = -1;
    ASSERT_EQ(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
    ::close(fd);
    EXPECT_EQ(exclusive, 0);
    Comm->DataBits = TDataBits::_8;
    EXPECT_TRUE(Comm->OpenPort());
}

TEST_F(ThreadComm32Test, CustomRatesOpen) {
    for (TBaudRate rate : {TBaudRate::_128000, TBaudRate::_256000, TBaudRate::__56000}) {
        SCOPED_TRACE(BaudRateBits(rate));
        Comm->BaudRate = rate;
        EXPECT_TRUE(Comm->OpenPort());
        Comm->ClosePort();
    }
}

TEST_F(ThreadComm32Test, ClosingDuringABlockedWriteEndsTheWriterWithoutHangup) {
    ASSERT_TRUE(Comm->OpenPort());
    // Far more than the line buffers hold; the far side reads nothing.
    std::vector<uint8_t> block(60000, 'w');
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(Comm->SendData(block.data(), uint16_t(block.size())));
    Comm->ClosePort(); // joins the writer, which waits in poll()
    EXPECT_FALSE(Comm->IsOpen());
    Loop.ProcessMessages();
    EXPECT_EQ(Hangups, 0);
}

TEST_F(ThreadComm32Test, FarSideClosingGivesOneHangupPerThreadThatNotices) {
    ASSERT_TRUE(Comm->OpenPort());
    Pty.Write("a");
    ASSERT_TRUE(test::ServeUntil([&] { return Received == "a"; }));
    Pty.CloseMaster();
    ASSERT_TRUE(test::ServeUntil([&] { return Hangups == 1; })); // the reader
    const uint8_t byte = 'x';
    ASSERT_TRUE(Comm->SendData(&byte, 1)); // still open until ClosePort
    ASSERT_TRUE(test::ServeUntil([&] { return Hangups == 2; })); // the writer
    for (int i = 0; i < 20; ++i)
        Loop.ProcessMessages();
    EXPECT_EQ(Hangups, 2);
    EXPECT_THROW(Comm->OpenPort(), ECommsError);
    Comm->ClosePort();
}

TEST_F(ThreadComm32Test, DestroyedOpenComponentJoinsItsThreadsAndDropsQueuedMessages) {
    ASSERT_TRUE(Comm->OpenPort());
    Pty.Write("late bytes");
    // Wait until the reader has posted them; none is served yet.
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Loop.Posted < 10 && std::chrono::steady_clock::now() < end)
        std::this_thread::yield();
    ASSERT_EQ(Loop.Posted, 10);
    Comm.reset(); // closes: both threads joined, the port free again
    for (int i = 0; i < 20; ++i)
        Loop.ProcessMessages(); // the queued deliveries find no component
    EXPECT_TRUE(Received.empty());
    TThreadComm32 again;
    again.SettingsFile = Pty.Settings;
    again.DataBits = TDataBits::_8;
    EXPECT_TRUE(again.OpenPort());
}

} // namespace
} // namespace orv
