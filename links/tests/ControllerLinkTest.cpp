// The Control Type 5 controller over a pseudo-terminal to the simulator:
// the connection sequence, comms writes and reads, moves, outputs and
// inputs, and the line's faults (NAKs, garbled and lost bytes, bad check
// bytes, late acknowledgements, a frame never acknowledged); and the
// simulator keeping an open guard readable through entry 99.

#include "links/Controller.h"
#include "links/LinkViews.h"
#include "links/LowLevel.h"
#include "links/tests/LinkRig.h"

#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace orv {
namespace {

struct TErrorReport {
    std::string Caption, Message, Details;
};

class ControllerLinkTest : public ::testing::Test {
protected:
    ControllerLinkTest() {
        Controller.SettingsFile = Rig.Settings;
        Controller.Worker().Clock = [this] { return Rig.Now.load(); };
        Controller.Worker().KeepSendLog = true;
        Controller.SpindleMaximum = 10000;
        Controller.SetErrorHandler([this](TObject *, int, const std::string &Caption,
                                          const std::string &Message, const std::string &Details) {
            Errors.push_back({Caption, Message, Details});
        });
        Controller.NotifyWindow = [this](int Message) { Notes.push_back(Message); };
        Controller.SetPollingDelay(5);
        Loop.Worker = &Controller.Worker();
    }

    bool Open() {
        Rig.Start();
        bool ok = Controller.Open(1, 19200, 2, false);
        Baseline = Rig.Frames().size();
        return ok;
    }
    // Write frames since Open.
    std::vector<std::string> Written() const {
        std::vector<std::string> all = Rig.Frames();
        return {all.begin() + long(std::min(Baseline, all.size())), all.end()};
    }
    static std::string W(const std::string &Command, int Channel, const std::string &Payload) {
        return frames::Printable(frames::WriteFrame(Command, Channel, Payload));
    }
    void Fault(TSimFault::TKind Kind, const std::string &Match, int Count = 1,
               int NakValue = 0x81) {
        TSimFault f;
        f.Kind = Kind;
        f.Match = Match;
        f.Count = Count;
        f.NakValue = NakValue;
        Rig.Sim.AddFault(f);
    }
    // Serves messages until Done, for at most 5 s of real time.
    bool Until(const std::function<bool()> &Done) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            if (Done())
                return true;
            Loop.ProcessMessages();
        }
        return Done();
    }

    test::TSimRig Rig;
    test::TSimLoop Loop{Rig};
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    TController Controller;
    std::vector<TErrorReport> Errors;
    std::vector<int> Notes;
    size_t Baseline = 0;
};

TEST_F(ControllerLinkTest, OpenAsksVersionAndSendsTheStartSequence) {
    ASSERT_TRUE(Open());
    std::vector<std::string> reads;
    for (const std::string &r : Rig.Frames("read"))
        if (r != "<EOT>ZZ6<ENQ>")
            reads.push_back(r);
    ASSERT_GE(reads.size(), 4u);
    reads.resize(4);
    EXPECT_EQ(reads, (std::vector<std::string>{"<EOT>VN6<ENQ>", "<EOT>MB619<ENQ>", "<EOT>MB65<ENQ>",
                                               "<EOT>MB66<ENQ>"}));
    EXPECT_EQ(Rig.Frames(), (std::vector<std::string>{W("MB", 6, "20,60"), W("MB", 6, "01,20"),
                                                      W("MB", 6, "15,10000"), W("CT", 6, "")}));
    std::string version;
    Controller.GetVersion(version);
    EXPECT_EQ(version, "vnCorvane Mint 5.04");
    EXPECT_EQ(Controller.FeedOverride, 100);
    EXPECT_TRUE(Controller.IsSafe());
}

TEST_F(ControllerLinkTest, CommsWrites) {
    ASSERT_TRUE(Open());
    struct TCase {
        int Index;
        Extended Value;
        std::vector<std::string> Frames;
    } cases[] = {
        {18, 3, {W("MB", 6, "18,3"), W("MB", 6, "01,18")}},
        {7, 3, {W("MB", 6, "07,3"), W("MB", 6, "01,07")}},
        {5, 100, {W("MB", 6, "05,100")}},
        {3, 2.5, {W("MB", 6, "03,2.5")}},
        {120, 1, {}},
        {255, 1, {}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Index);
        Baseline = Rig.Frames().size();
        Controller.WriteComms(c.Index, c.Value);
        EXPECT_EQ(Written(), c.Frames);
    }
    EXPECT_EQ(double(Controller.Worker().Comms(7)), 3.0);
    EXPECT_EQ(double(Controller.ReadComms(5)), 100.0);
    EXPECT_FALSE(HasCommsValue(Controller.ReadComms(150)));
}

TEST_F(ControllerLinkTest, MovesOutputsAndInputs) {
    ASSERT_TRUE(Open());
    Controller.MoveArc(0, 0, 0, 100, 200, 0, 50, 90, false, 17);
    Controller.MoveArc(0, 0, 0, 100, 200, 0, 50, 360, false, 17);
    Controller.MoveRapid(1, 2, 3);
    Controller.MoveLinear(4, 5, 6, true);
    Controller.MoveAxisAbsolute(2, -40);
    Controller.MoveAxisRelative(1, 25);
    Controller.SetOutput(3, "1");
    Controller.SetOutput(9, "0");
    Controller.Stop();
    EXPECT_EQ(Written(), (std::vector<std::string>{
                             W("CA", 3, "100,200,-90.0"), W("CA", 3, "100,200,-360.0"),
                             W("MA", 6, "1,2,3"), W("VA", 6, "4,5,6"), W("MA", 2, "-40"),
                             W("MR", 1, "25"), W("O", 0, "31"), W("X", 0, "10"), W("ST", 6, "")}));
    // Inputs 0, 9 and 24 on: field 9 bit 0, field 13 bit 1, field 15 bit 0.
    Rig.Sim.SetInputs(0x01000201);
    ASSERT_TRUE(Until([this] { return Controller.Worker().StatusField(13) == "2"; }));
    struct TCase {
        int Input;
        bool On;
    } cases[] = {{0, true},  {1, false},  {9, true},   {8, false},
                 {24, true}, {31, false}, {40, false}, {-1, false}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Input);
        EXPECT_EQ(Controller.ReadInput(c.Input), c.On);
    }
}

TEST_F(ControllerLinkTest, HomingAndIdle) {
    ASSERT_TRUE(Open());
    Controller.HomeFeed = 4000;
    Rig.Sim.SpeedUp = 1000;
    Controller.Home(2, 0);
    EXPECT_EQ(Written(), (std::vector<std::string>{W("HS", 6, "4000,4000,4000"), W("HM", 2, "0")}));
    EXPECT_FALSE(Controller.IsIdle());
    ASSERT_TRUE(Until([this] { return Controller.IsIdle(); }));
    int32_t x, y, z;
    EXPECT_TRUE(Controller.GetPosition(x, y, z));
    EXPECT_EQ(z, 0);
    // The worker tells the engine form when the axes became idle.
    Loop.ProcessMessages();
    EXPECT_NE(std::find(Notes.begin(), Notes.end(), WM_USER_MESSAGE + 1), Notes.end());
}

TEST_F(ControllerLinkTest, MissingFeedAndTheFeedAfterBackReady) {
    ASSERT_TRUE(Open());
    Controller.SetFeedRate(500);
    Controller.SetFeedRate(9999999);
    EXPECT_EQ(Written(), std::vector<std::string>{W("MB", 6, "03,500")});
    Rig.Sim.ChangeEntry(19, 0);
    ASSERT_TRUE(Until([this] { return !Controller.Worker().Ready(); }));
    EXPECT_FALSE(Controller.IsSafe());
    Rig.Sim.ChangeEntry(19, 1);
    ASSERT_TRUE(Until([this] { return Controller.Worker().BackReady(); }));
    Baseline = Rig.Frames().size();
    Controller.SetFeedRate(9999999);
    EXPECT_EQ(Written(), std::vector<std::string>{W("MB", 6, "03,500")});
    EXPECT_FALSE(Controller.Worker().BackReady());
}

// A changed entry is read through entry 99; an index outside the table is
// not read at all.
TEST_F(ControllerLinkTest, ChangedEntriesOutsideTheTableAreNotRead) {
    ASSERT_TRUE(Open());
    Rig.Sim.ChangeEntry(6, 80);
    ASSERT_TRUE(Until([this] { return Controller.GetSpindleOverride() == 80; }));
    Rig.Sim.SetCommsValue(99, 150);
    Rig.Sim.ChangeEntry(0, 1); // announces entry 0
    ASSERT_TRUE(Until(
        [this] { return Rig.Count("<EOT>MB60<ENQ>") == 0 && Rig.Count("<EOT>MB699<ENQ>") >= 2; }));
    for (int i = 0; i < 20; ++i)
        Loop.ProcessMessages();
    EXPECT_EQ(Rig.Count("<EOT>MB60<ENQ>"), 0);
}

// The status bytes carry no frame number: a late duplicate ACK of one
// frame can come while the next is open and take its place. The next
// frame's refusal, finding no frame open, is noted and makes that write
// doubtful: it is read back and sent again before any other frame goes
// out. Every write is carried out once, in order.
TEST_F(ControllerLinkTest, AStaleAcknowledgementTakesNoFramesPlace) {
    ASSERT_TRUE(Open());
    // The machine's Debug setting shows the link's notes in a trace window.
    std::vector<std::string> notes;
    struct TTrace : TCardTraceView {
        std::vector<std::string> &Lines;
        explicit TTrace(std::vector<std::string> &L) : Lines(L) {}
        void Trace(const std::string &Line) override { Lines.push_back(Line); }
    };
    TLinkViews saved = LinkViews();
    LinkViews().Trace = [&notes] { return std::make_unique<TTrace>(notes); };
    Controller.SetDebug(true);
    LinkViews() = saved;
    struct TCase {
        const char *Name;
        TSimFault::TKind Kind;
        int NakValue;
    } cases[] = {
        {"refused", TSimFault::Nak, 0x81},
        {"refused with status bits", TSimFault::Nak, 0x83},
        {"garbled on the way", TSimFault::GarbleByte, 0},
    };
    int value = 10;
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        std::string first = "04," + IntToStr(++value), second = "04," + IntToStr(++value);
        TSimFault duplicate;
        duplicate.Kind = TSimFault::LateDuplicateAck;
        duplicate.Match = first + "<ETX>";
        duplicate.DelayMs = -1; // it comes just before the next frame's answer
        Rig.Sim.AddFault(duplicate);
        Fault(c.Kind, second + "<ETX>", 1, c.NakValue);
        notes.clear();
        size_t before = Written().size();
        Controller.WriteComms(4, value - 1);
        Controller.WriteComms(4, value);
        Controller.WriteComms(3, value);
        ASSERT_TRUE(Until([&] { return Rig.Sim.CommsValue(3) == value; }));
        EXPECT_EQ(Rig.Sim.CommsValue(4), value);
        std::vector<std::string> written = Written();
        written.erase(written.begin(), written.begin() + long(before));
        EXPECT_EQ(written, (std::vector<std::string>{W("MB", 6, first), W("MB", 6, second),
                                                     W("MB", 6, second),
                                                     W("MB", 6, "03," + IntToStr(value))}));
        // Noted for the debug view: the answer out of turn, then the check.
        std::string resent = frames::Printable(frames::WriteFrame("MB", 6, second));
        ASSERT_TRUE(Until([&] {
            return !notes.empty() && notes.back() == resent + " refused: sent again";
        }));
        EXPECT_EQ(notes.front().rfind("NAK ", 0), 0u) << notes.front();
        EXPECT_NE(notes.front().find("out of turn"), std::string::npos) << notes.front();
    }
    EXPECT_TRUE(Errors.empty());
}

// A write carried out whose acknowledgement is lost is found on the
// controller and not sent again: two deliberate identical jogs move the
// axis twice, an arc turns once, and the M-code handshake (entry 1, back
// at 0 when its command completed) starts one command.
TEST_F(ControllerLinkTest, AWriteWhoseAcknowledgementIsLostIsCarriedOutOnce) {
    ASSERT_TRUE(Open());
    auto idleAt = [this](int32_t X, int32_t Y) {
        return Until([&] {
            int32_t x = 0, y = 0, z = 0;
            return Controller.IsIdle() && Controller.GetPosition(x, y, z) && x == X && y == Y;
        });
    };
    Rig.Sim.SetCommsValue(3, 100000); // moves take a few ms
    ASSERT_TRUE(idleAt(0, 0));
    Fault(TSimFault::NoAck, "MR1", 1);
    Controller.MoveAxisRelative(1, 25);
    ASSERT_TRUE(idleAt(0, 25));
    Controller.MoveAxisRelative(1, 25);
    EXPECT_TRUE(idleAt(0, 50));
    EXPECT_EQ(Rig.Count(W("MR", 1, "25")), 2);

    Fault(TSimFault::DropByte, "CA3", 1);
    Controller.MoveArc(0, 0, 0, 0, 0, 0, 0, 90, false, 17);
    EXPECT_TRUE(idleAt(50, 0)) << "a quarter turn about the origin, clockwise";
    EXPECT_EQ(Rig.Count(W("CA", 3, "0,0,-90.0")), 1);

    Fault(TSimFault::NoAck, "01,18<ETX>", 1);
    Controller.WriteComms(18, 3);
    EXPECT_TRUE(Controller.LastSendOk());
    EXPECT_EQ(Rig.Count(W("MB", 6, "01,18")), 1);
    EXPECT_TRUE(Errors.empty());
}

// A plain NAK sends the frame again. A write whose answer is lost, or
// comes as a NAK with status bits that may be a damaged ACK, is read back
// first (the simulator carries out every write it takes, so a blind resend
// would carry it out twice).
TEST_F(ControllerLinkTest, LineFaultsCostAResendEach) {
    ASSERT_TRUE(Open());
    struct TCase {
        const char *Name;
        TSimFault::TKind Kind;
        int NakValue;
        int Sends, Checks;
    } cases[] = {
        {"NAK 0x81", TSimFault::Nak, 0x81, 2, 0},
        {"NAK 0x83", TSimFault::Nak, 0x83, 2, 1},
        {"NAK 0xA9", TSimFault::Nak, 0xA9, 2, 1},
        {"garbled frame", TSimFault::GarbleByte, 0, 2, 0},
        {"garbled acknowledgement", TSimFault::GarbleAnswer, 0, 1, 1},
        {"lost acknowledgement", TSimFault::DropByte, 0, 1, 1},
        {"no acknowledgement", TSimFault::NoAck, 0, 1, 1},
        {"late duplicate acknowledgement", TSimFault::LateDuplicateAck, 0, 1, 0},
        {"delayed byte", TSimFault::DelayByte, 0, 1, 0},
    };
    int value = 1;
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        std::string payload = "04," + IntToStr(++value);
        int checks = Rig.Count("<EOT>MB64<ENQ>");
        Fault(c.Kind, payload + "<ETX>", 1, c.NakValue);
        Controller.WriteComms(4, value);
        EXPECT_TRUE(Controller.LastSendOk());
        // The simulator's thread applies the frame after it acknowledges it.
        EXPECT_TRUE(Until([&] { return Rig.Sim.CommsValue(4) == value; }))
            << Rig.Sim.CommsValue(4);
        EXPECT_EQ(Rig.Count(W("MB", 6, payload)), c.Sends);
        EXPECT_EQ(Rig.Count("<EOT>MB64<ENQ>") - checks, c.Checks);
    }
    // The late acknowledgement took nothing from the next frame.
    Controller.WriteComms(3, 700);
    EXPECT_TRUE(Until([&] { return Rig.Sim.CommsValue(3) == 700; }));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ControllerLinkTest, RepliesWithFaults) {
    ASSERT_TRUE(Open());
    Rig.Sim.SetCommsValue(5, 90);
    struct TCase {
        const char *Name;
        TSimFault::TKind Kind;
        int Sends;
    } cases[] = {
        {"bad check byte", TSimFault::BadCheck, 2},
        {"status byte before the check byte", TSimFault::StatusBeforeCheck, 1},
        {"garbled reply", TSimFault::GarbleAnswer, 2},
        {"lost reply byte", TSimFault::DropByte, 2},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        int before = Rig.Count("<EOT>MB65<ENQ>");
        Fault(c.Kind, "MB65<ENQ>");
        EXPECT_EQ(double(Controller.ReadComms(5)), 90.0);
        EXPECT_EQ(Rig.Count("<EOT>MB65<ENQ>") - before, c.Sends);
    }
}

// The frame goes 21 times, 1 s apart, then one error report (the link
// shows it: no box of the worker's own); the command's handshake is never
// sent. The first time-out reads the entry back once (no answer: the check
// is not tried again). The line is dead from then on: no write, read or
// status poll goes out, only one stop (with its resends) however often the
// stop is asked for, and its give-up is not reported again.
TEST_F(ControllerLinkTest, AFrameNeverAcknowledgedFailsTheLineOnce) {
    ASSERT_TRUE(Open());
    // The controller hangs as the write arrives: a status poll still open
    // when the write is asked for gets its answer first.
    Fault(TSimFault::Freeze, "07,3<ETX>");
    Messages.ClearLog();
    int64_t start = Rig.Now.load();
    Controller.WriteComms(7, 3);
    EXPECT_FALSE(Controller.LastSendOk());
    std::string frame = W("MB", 6, "07,3");
    std::vector<int64_t> times;
    for (const TLowLevel::TSent &s : Controller.Worker().SendLog())
        if (frames::Printable(s.Frame) == frame)
            times.push_back(s.Time);
    ASSERT_EQ(times.size(), 21u);
    EXPECT_EQ(Rig.Count(frame), 21);
    EXPECT_EQ(Rig.Count("<EOT>MB67<ENQ>"), 1);
    EXPECT_LT(times[0] - start, 100);
    // 1 s without an answer (the first also 1 s for the check's reply), then
    // the 10 ms pause before the frame goes again. The check's read and the
    // resend after it each take the clock afresh once the worker has seen
    // the time-out, so each may start one 10 ms step of the test clock late.
    EXPECT_GE(times[1] - times[0], 2010);
    EXPECT_LE(times[1] - times[0], 2030);
    for (size_t i = 2; i < times.size(); ++i)
        EXPECT_EQ(times[i] - times[i - 1], 1010) << i;
    EXPECT_EQ(Rig.Count(W("MB", 6, "01,07")), 0);
    Loop.ProcessMessages();
    EXPECT_TRUE(Messages.Log().empty());
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Caption, "ERROR");
    EXPECT_EQ(Errors[0].Message, "LowLevel Timed Out");
    EXPECT_EQ(Errors[0].Details, "Major problem sending" + frame + "(MB)");
    EXPECT_FALSE(Controller.Connected());

    size_t sent = Controller.Worker().SendLog().size();
    Controller.WriteComms(7, 4);
    EXPECT_FALSE(Controller.LastSendOk());
    EXPECT_FALSE(HasCommsValue(Controller.ReadComms(19)));
    Controller.MoveLinear(1, 2, 3, false);
    for (int i = 0; i < 200; ++i)
        Loop.ProcessMessages(); // 2 s: 40 status polls on a live line
    EXPECT_EQ(Controller.Worker().SendLog().size(), sent);

    Controller.Stop();
    Controller.Stop();
    EXPECT_EQ(Rig.Count(W("ST", 6, "")), 21);
    EXPECT_EQ(Controller.Worker().SendLog().size(), sent + 21);
    for (int i = 0; i < 10; ++i)
        Loop.ProcessMessages();
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_TRUE(Messages.Log().empty());
}

// A write asked for while the status poll goes unanswered waits for the
// poll's give-up, which fails the line: it is not sent on the dead line.
TEST_F(ControllerLinkTest, AWriteWaitingWhileThePollIsGivenUpIsNotSent) {
    ASSERT_TRUE(Open());
    Fault(TSimFault::NoAck, "ZZ6<ENQ>", -1);
    const std::string poll = "<EOT>ZZ6<ENQ>";
    // A poll gone a second without its answer gets none.
    ASSERT_TRUE(Until([&] {
        return frames::Printable(Controller.Worker().LastFrame()) == poll &&
               Controller.Worker().ResendCount() >= 1;
    }));
    Controller.WriteComms(7, 3);
    EXPECT_FALSE(Controller.LastSendOk());
    EXPECT_FALSE(Controller.Connected());
    EXPECT_EQ(Rig.Count(W("MB", 6, "07,3")), 0);
    Loop.ProcessMessages();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].Details, "Major problem sending" + poll + "(ZZ)");
}

// A read that gets no reply gives no value: never the previous reply.
TEST_F(ControllerLinkTest, AnUnansweredReadGivesNoValue) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(double(Controller.ReadComms(1)), 0.0);
    Fault(TSimFault::NoAck, "MB61<ENQ>", -1);
    int before = Rig.Count("<EOT>MB61<ENQ>");
    EXPECT_FALSE(HasCommsValue(Controller.ReadComms(1)));
    EXPECT_EQ(Rig.Count("<EOT>MB61<ENQ>") - before, 21);
}

TEST_F(ControllerLinkTest, UnsupportedPortOrRateFailsTheConnection) {
    Rig.Start();
    struct TCase {
        int Port, Baud;
        const char *Text;
    } cases[] = {{7, 19200, "COM Port Number unsupported"},
                 {0, 19200, "COM Port Number unsupported"},
                 {1, 57600, "Baud Rate Number unsupported"},
                 {1, 300, "Baud Rate Number unsupported"}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Text);
        Messages.ClearLog();
        TController other;
        other.SettingsFile = Rig.Settings;
        EXPECT_FALSE(other.Open(c.Port, c.Baud, 1, false));
        ASSERT_EQ(Messages.Log().size(), 1u);
        EXPECT_NE(Messages.Log()[0].Text.find(c.Text), std::string::npos);
    }
    EXPECT_TRUE(Rig.Frames("read").empty());
}

TEST_F(ControllerLinkTest, AMissingDeviceIsNamedByItsPort) {
    Rig.Start();
    TController other;
    other.SettingsFile =
        Rig.Temp.Write("missing.ini", "[Serial Ports]\nCOM2=/dev/orv-no-such-port\n");
    Messages.ClearLog();
    EXPECT_FALSE(other.Open(2, 9600, 1, false));
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_EQ(Messages.Log()[0].Text.rfind("Error Locating COM2", 0), 0u);
    EXPECT_NE(Messages.Log()[0].Text.find("/dev/orv-no-such-port"), std::string::npos);
}

// The far side of the line written by hand, for what a worker cannot
// be made to do: read late.
class TRawLine {
public:
    explicit TRawLine(const std::string &Device)
        : FFd(::open(Device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~TRawLine() {
        if (FFd >= 0)
            ::close(FFd);
    }
    bool IsOpen() const { return FFd >= 0; }
    // Writes the frame; true once its acknowledgement (a status byte 0x80
    // to 0xBF) has come, within 5 s.
    bool Write(const std::string &Frame) {
        Send(Frame);
        return Await([](const std::string &In) {
            return std::any_of(In.begin(), In.end(),
                               [](char B) { return (uint8_t(B) & 0xC0) == 0x80; });
        });
    }
    // The reply's text to the read frame, status bytes left out; "" after 5 s.
    std::string Read(const std::string &Frame) {
        Send(Frame);
        if (!Await([](const std::string &In) {
                size_t etx = In.find(char(frames::ETX));
                return etx != std::string::npos && etx + 1 < In.size();
            }))
            return "";
        size_t stx = FIn.find(char(frames::STX)), etx = FIn.find(char(frames::ETX));
        return stx < etx ? FIn.substr(stx + 1, etx - stx - 1) : "";
    }

private:
    void Send(const std::string &Bytes) {
        FIn.clear();
        EXPECT_EQ(::write(FFd, Bytes.data(), Bytes.size()), ssize_t(Bytes.size()));
    }
    bool Await(const std::function<bool(const std::string &)> &Done) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!Done(FIn) && std::chrono::steady_clock::now() < end) {
            char buffer[64];
            ssize_t n = ::read(FFd, buffer, sizeof buffer);
            if (n > 0)
                FIn.append(buffer, size_t(n));
            else
                std::this_thread::yield();
        }
        return Done(FIn);
    }
    int FFd;
    std::string FIn;
};

// The guard opens as an M code is handed over; the PC reads entry 99 only
// after the code's time to complete has passed. Entry 99 still names the
// guard, and the code completes once entry 19 has been read.
TEST(ControllerSimTest, AnOpenGuardIsNotHiddenByTheCommandCompletedAfterIt) {
    test::TSimRig rig;
    TSimFault guard;
    guard.Kind = TSimFault::GuardOpen;
    guard.Match = "MB618,8";
    rig.Sim.AddFault(guard);
    rig.Start();
    TRawLine line(rig.Slave);
    ASSERT_TRUE(line.IsOpen());
    auto read = [&line](int Index) {
        return line.Read(frames::ReadFrame("MB", 6, IntToStr(Index)));
    };
    ASSERT_TRUE(line.Write(frames::WriteFrame("MB", 6, "18,8")));
    ASSERT_TRUE(line.Write(frames::WriteFrame("MB", 6, "01,18")));
    rig.Now += 10 * rig.Sim.ClearDelayMs;
    // Each reply leaves the simulator a turn of its timers before the next.
    EXPECT_EQ(read(1), "mb18");
    EXPECT_EQ(read(99), "mb19");
    EXPECT_EQ(read(1), "mb18");
    EXPECT_EQ(read(19), "mb0");
    std::string handshake;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((handshake = read(1)) != "mb0" && std::chrono::steady_clock::now() < end) {
    }
    EXPECT_EQ(handshake, "mb0");
    EXPECT_EQ(read(99), "mb1");
}

} // namespace
} // namespace orv
