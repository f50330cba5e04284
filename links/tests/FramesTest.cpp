// The framed protocol byte by byte: frames the PC sends, and the receiver
// fed the controller's bytes directly (no port, no worker thread).

#include "links/Controller.h"
#include "links/LineTiming.h"
#include "links/LowLevel.h"
#include "platform/EventLoop.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

std::string Bytes(std::initializer_list<int> Values) {
    std::string s;
    for (int v : Values)
        s += char(v);
    return s;
}

TEST(FramesTest, WriteAndReadFrames) {
    struct TCase {
        const char *Name;
        std::string Frame, Expected;
    } cases[] = {
        {"comms 7 := 3", frames::WriteFrame("MB", 6, frames::CommsWritePayload(7, 3)),
         Bytes({0x04, 0x4D, 0x42, 0x36, 0x30, 0x37, 0x2C, 0x33, 0x03, 0x26})},
        {"handshake 7", frames::WriteFrame("MB", 6, "01," + frames::CommsIndexText(7)),
         Bytes({0x04, 'M', 'B', '6', '0', '1', ',', '0', '7', 0x03,
                0x04 ^ 'M' ^ 'B' ^ '6' ^ '0' ^ '1' ^ ',' ^ '0' ^ '7' ^ 0x03})},
        {"mode frame", frames::WriteFrame("M3", 1, "0"),
         Bytes({0x04, 'M', '3', '1', '0', 0x03, 'x'})},
        {"start frame", frames::WriteFrame("M3", 1, "2"),
         Bytes({0x04, 'M', '3', '1', '2', 0x03, 'z'})},
        {"one-letter output", frames::WriteFrame("O", 0, "31"),
         Bytes({0x04, 'O', '0', '3', '1', 0x03, 0x04 ^ 'O' ^ '0' ^ '3' ^ '1' ^ 0x03})},
        {"status poll", frames::ReadFrame("ZZ", 6, ""), Bytes({0x04, 'Z', 'Z', '6', 0x05})},
        {"comms read", frames::ReadFrame("MB", 6, "99"),
         Bytes({0x04, 'M', 'B', '6', '9', '9', 0x05})},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(frames::Printable(c.Frame), frames::Printable(c.Expected));
    }
}

TEST(FramesTest, PayloadTexts) {
    EXPECT_EQ(frames::CommsWritePayload(5, 100), "05,100");
    EXPECT_EQ(frames::CommsWritePayload(18, 3), "18,3");
    EXPECT_EQ(frames::CommsWritePayload(3, 2.5), "03,2.5");
    EXPECT_EQ(frames::CommsWritePayload(15, 0.1), "15,0.1");
    EXPECT_EQ(ArcAngleText(-90), "-90.0");
    EXPECT_EQ(ArcAngleText(-360), "-360.0");
    EXPECT_EQ(ArcAngleText(45.04), "45.0");
    EXPECT_EQ(frames::Reply("mb3"), Bytes({0x02, 'm', 'b', '3', 0x03, 'm' ^ 'b' ^ '3' ^ 0x03}));
}

// With PollingDelay 70 the status poll goes after every 71st idle turn.
TEST(FramesTest, StatusPollEveryDelayPlusOneTurns) {
    int turns = 0;
    for (int round = 0; round < 3; ++round) {
        for (int i = 1; i <= 70; ++i)
            EXPECT_FALSE(TLowLevel::StatusPollDue(turns, 70)) << "turn " << i;
        EXPECT_TRUE(TLowLevel::StatusPollDue(turns, 70));
    }
}

class ReceiverTest : public ::testing::Test {
protected:
    ReceiverTest() {
        Worker.KeepSendLog = true;
        Worker.Clock = [] { return int64_t(0); };
    }
    void Feed(const std::string &Bytes) {
        Worker.ReceiveData(reinterpret_cast<const uint8_t *>(Bytes.data()), int(Bytes.size()));
    }
    // A write frame the controller has yet to acknowledge.
    void AwaitWrite() {
        Worker.ExpectReply(TLowLevel::rkWrite, "MB", frames::WriteFrame("MB", 6, "07,3"));
    }
    void AwaitRead(const std::string &Command, const std::string &Payload) {
        Worker.ExpectReply(TLowLevel::rkRead, Command, frames::ReadFrame(Command, 6, Payload));
    }

    TTestEventLoop Loop;
    TEventLoopScope Scope{Loop};
    TLowLevel Worker;
};

// Every byte from 0x80 to 0xBF acknowledges by bit 0; bit 3 stops; 0xC0 and
// up only carry flags, bit 5 announcing a changed entry. A plain NAK sends
// the frame again at once; a NAK with other status bits may be an ACK a
// noisy line changed: the write stays open, to be checked before it goes.
TEST_F(ReceiverTest, StatusBytes) {
    struct TCase {
        int Byte;
        bool Acknowledged;
        bool Resent;
        bool Stopped;
        bool ChangeAnnounced;
        int Motion;
    } cases[] = {
        {0x80, true, false, false, false, 2 /* unchanged */},
        {0x81, false, true, false, false, 2},
        {0x83, false, false, false, false, 0},
        {0x88, true, false, true, false, 2},
        {0x90, true, false, false, false, 1},
        {0x82, true, false, false, false, 0},
        {0x84, true, false, false, false, 2},
        {0xA0, true, false, false, false, 2},
        {0xBF, false, false, true, false, 0},
        {0xE0, false, false, false, true, 2},
        {0xC0, false, false, false, false, 2},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Byte);
        TLowLevel w;
        w.KeepSendLog = true;
        w.Clock = [] { return int64_t(0); };
        w.ReceiveData(reinterpret_cast<const uint8_t *>("\x84"), 1); // motion state 2
        w.ExpectReply(TLowLevel::rkWrite, "MB", frames::WriteFrame("MB", 6, "07,3"));
        uint8_t b = uint8_t(c.Byte);
        w.ReceiveData(&b, 1);
        EXPECT_EQ(w.ReplyState() == 1, c.Acknowledged);
        EXPECT_EQ(w.ResendCount(), c.Resent ? 1 : 0);
        EXPECT_EQ(w.SendLog().size(), c.Resent ? 1u : 0u);
        EXPECT_EQ(w.Stopped(), c.Stopped);
        EXPECT_EQ(w.ChangePending(), c.ChangeAnnounced);
        EXPECT_EQ(w.MotionState(), c.Motion);
    }
}

// On a line whose bytes take their time, an acknowledgement that comes
// sooner than the frame's bytes could have reached the controller belongs
// to an earlier frame: it is noted for the debug view and the frame stays
// open until its own answer. On a line that passes bytes at once (a plain
// pseudo-terminal) the same answer acknowledges.
TEST_F(ReceiverTest, AnAcknowledgementSoonerThanItsFrameCouldArriveIsStale) {
    struct TPacedLine {
        explicit TPacedLine(bool Paced) { PacedPseudoTerminal() = Paced; }
        ~TPacedLine() { PacedPseudoTerminal() = false; }
    };
    for (bool paced : {true, false}) {
        SCOPED_TRACE(paced ? "paced line" : "bytes at once");
        TPacedLine line(paced);
        TLowLevel w;
        w.Clock = [] { return int64_t(0); };
        w.Baud = 19200; // a byte takes about 0.5 ms, the frame over 5 ms
        int64_t us = 1000000;
        w.LineClockUs = [&us] { return us; };
        std::vector<std::string> notes;
        w.OnNote = [&notes](const std::string &Note) { notes.push_back(Note); };
        w.ExpectReply(TLowLevel::rkWrite, "MB", frames::WriteFrame("MB", 6, "07,3"));
        const uint8_t nak = 0x81, ack = 0x80;
        w.ReceiveData(&nak, 1); // refused: the frame goes again now
        ASSERT_EQ(w.ResendCount(), 1);
        us += 1000;
        w.ReceiveData(&ack, 1);
        Loop.ProcessMessages();
        if (paced) {
            EXPECT_NE(w.ReplyState(), 1);
            ASSERT_EQ(notes.size(), 1u);
            EXPECT_NE(
                notes[0].find("out of turn, before the frame could have reached the controller"),
                std::string::npos)
                << notes[0];
            us += 10000;
            w.ReceiveData(&ack, 1);
        }
        EXPECT_EQ(w.ReplyState(), 1);
        EXPECT_EQ(w.ResendCount(), 1);
        Loop.ProcessMessages();
        EXPECT_EQ(notes.size(), paced ? 1u : 0u);
    }
}

TEST_F(ReceiverTest, StatusBytesNeverEnterReplyText) {
    AwaitRead("MB", "5");
    std::string reply = frames::Reply("mb100");
    reply.insert(3, 1, char(0xA0)); // inside the text
    Feed(reply);
    EXPECT_EQ(Worker.ReplyState(), 1);
    EXPECT_EQ(double(Worker.Comms(5)), 100.0);
    EXPECT_EQ(Worker.ResendCount(), 0);
}

TEST_F(ReceiverTest, StatusByteBeforeTheCheckByteIsAStatusByte) {
    AwaitRead("MB", "6");
    std::string reply = frames::Reply("mb87");
    reply.insert(reply.size() - 1, 1, char(0xE8));
    Feed(reply);
    EXPECT_EQ(Worker.ReplyState(), 1);
    EXPECT_EQ(double(Worker.Comms(6)), 87.0);
    EXPECT_TRUE(Worker.Stopped());
    EXPECT_TRUE(Worker.ChangePending());
    EXPECT_EQ(Worker.ResendCount(), 0);
}

TEST_F(ReceiverTest, BadCheckByteResendsTheRead) {
    AwaitRead("MB", "5");
    std::string reply = frames::Reply("mb100");
    reply.back() = char(reply.back() ^ 0x10);
    Feed(reply);
    EXPECT_EQ(Worker.ReplyState(), 2);
    EXPECT_EQ(Worker.ResendCount(), 1);
    ASSERT_EQ(Worker.SendLog().size(), 1u);
    EXPECT_EQ(Worker.SendLog()[0].Frame, frames::ReadFrame("MB", 6, "5"));
    EXPECT_EQ(double(Worker.Comms(5)), 0.0);
}

// A read ends with its own reply only: an acknowledgement or a reply of
// another kind leaves it waiting.
TEST_F(ReceiverTest, ReadEndsOnlyWithItsOwnReply) {
    AwaitRead("MB", "1");
    Feed("\x80");
    Feed(frames::Reply("zz1,2,3,1,1,1"));
    EXPECT_EQ(Worker.ReplyState(), 2);
    Feed(frames::Reply("mb0"));
    EXPECT_EQ(Worker.ReplyState(), 1);
    EXPECT_EQ(double(Worker.Comms(1)), 0.0);
}

TEST_F(ReceiverTest, StatusListAndIdleLatch) {
    AwaitRead("ZZ", "");
    Feed(frames::Reply("zz10,20,30"));
    EXPECT_EQ(Worker.ReplyState(), 1);
    EXPECT_FALSE(Worker.IdleLatch());
    EXPECT_EQ(Worker.StatusInt(1), 20);
    EXPECT_EQ(Worker.StatusInt(5), 9999999);
    AwaitRead("ZZ", "");
    Feed(frames::Reply("zz10,20,30,1,1,0"));
    EXPECT_FALSE(Worker.IdleLatch());
    AwaitRead("ZZ", "");
    Feed(frames::Reply("zz10,20,30,1,1,1,0,0,0,5,0,0,0,x,3,4"));
    EXPECT_TRUE(Worker.IdleLatch());
    EXPECT_EQ(Worker.StatusByte(9), 5);
    EXPECT_EQ(Worker.StatusByte(13), 0); // not a number
    EXPECT_EQ(Worker.StatusField(16), "");
}

// Entries outside 1..99 are not the table's: a reply for them is dropped.
TEST_F(ReceiverTest, CommsIndexesOutsideTheTableAreIgnored) {
    for (const char *index : {"0", "120", "255"}) {
        SCOPED_TRACE(index);
        AwaitRead("MB", index);
        Feed(frames::Reply("mb42"));
        EXPECT_EQ(Worker.ReplyState(), 1);
    }
    for (int i = 1; i <= 99; ++i)
        EXPECT_NE(double(Worker.Comms(i)), 42.0) << i;
    EXPECT_EQ(double(Worker.Comms(120)), 0.0);
}

TEST_F(ReceiverTest, ReadyFallsAndComesBack) {
    EXPECT_TRUE(Worker.Ready());
    AwaitRead("MB", "19");
    Feed(frames::Reply("mb0"));
    EXPECT_FALSE(Worker.Ready());
    EXPECT_FALSE(Worker.BackReady());
    AwaitRead("MB", "19");
    Feed(frames::Reply("mb1"));
    EXPECT_TRUE(Worker.Ready());
    EXPECT_TRUE(Worker.BackReady());
}

TEST_F(ReceiverTest, NothingOutstandingNothingResent) {
    Feed("\x81");
    Feed(frames::Reply("mb1").substr(0, 5) + "\x7f");
    EXPECT_TRUE(Worker.SendLog().empty());
}

// The 21st time-out or NAK gives the frame up: no further send.
TEST_F(ReceiverTest, TwentyOneSendsAtMost) {
    AwaitWrite();
    for (int i = 0; i < 25; ++i)
        Feed("\x81");
    EXPECT_EQ(Worker.SendLog().size(), 20u); // 20 resends after the first send
    EXPECT_EQ(Worker.ReplyState(), 1);
}

} // namespace
} // namespace orv
