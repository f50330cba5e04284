// Control Types 0 and 6 over the message-driven driver to the simulator:
// the length byte of the newer chip (and the frames that go without it),
// the version texts, overrides kept from a machine with potentiometers,
// ports and rates the worker refuses, and a controller whose program does
// not answer: Control Type 0 waits and connects, Control Type 6 loads the
// program through the new-chip loader, which sees the prompt only because
// it polls its driver.

#include "links/ControllerNewComms.h"
#include "links/ControllerNewCommsNewChip.h"
#include "links/LowLevelNewCommsNewChip.h"
#include "links/tests/LinkRig.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

std::string Hex(const std::string &Bytes) {
    std::string s;
    char b[4];
    for (char c : Bytes) {
        std::snprintf(b, sizeof b, "%02X ", uint8_t(c));
        s += b;
    }
    if (!s.empty())
        s.pop_back();
    return s;
}

TEST(NewChipFrames, LengthByteAndTheFramesWithout) {
    struct {
        const char *Command;
        int Channel;
        const char *Payload;
        const char *Want;
    } rows[] = {
        {"MB", 6, "07,3", "04 4D 42 36 25 30 37 2C 33 03 03"},
        {"M3", 1, "0", "04 4D 33 31 22 30 03 5A"},
        {"HM", 0, "", "04 48 4D 30 21 03 13"}, // an empty payload: 33
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.Command);
        EXPECT_EQ(Hex(frames::LengthWriteFrame(r.Command, r.Channel, r.Payload)), r.Want);
    }
    // "ST" and "CT" are those of Control Type 0 byte for byte.
    for (const char *c : {"ST", "CT"})
        EXPECT_EQ(frames::LengthWriteFrame(c, 6, ""), frames::WriteFrame(c, 6, ""));
}

struct TErrorReport {
    std::string Caption, Message, Details;
};

// A controller of Control Type 0 or 6 on the rig's simulator.
template <class TCtrl> class TNewCommsRig {
public:
    explicit TNewCommsRig(bool ProgramRunning = true, bool LengthByte = false)
        : Rig(ProgramRunning) {
        Rig.Sim.LengthByte = LengthByte;
        Rig.Sim.VersionText = LengthByte ? "vn2.1" : "vn2.0.4";
        Controller.SettingsFile = Rig.Settings;
        Controller.Worker().Clock = [this] { return Rig.Now.load(); };
        Controller.SpindleMaximum = 10000;
        Controller.MachineData = &Data;
        Controller.SetErrorHandler([this](TObject *, int, const std::string &Caption,
                                          const std::string &Message, const std::string &Details) {
            Errors.push_back({Caption, Message, Details});
        });
        Controller.SetPollingDelay(5);
        Loop.Worker = &Controller.Worker();
        Rig.Start();
    }
    bool Open(int Port = 1, int Baud = 19200) { return Controller.Open(Port, Baud, 2, false); }
    std::vector<std::string> WrittenSince(size_t From) const {
        std::vector<std::string> all = Rig.Frames();
        return {all.begin() + long(std::min(From, all.size())), all.end()};
    }

    test::TSimRig Rig;
    test::TSimLoop Loop{Rig};
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    TRead_Machinedata_file Data;
    TCtrl Controller;
    std::vector<TErrorReport> Errors;
};

std::string P(const std::string &Bytes) {
    return frames::Printable(Bytes);
}

TEST(NewCommsLink, Type6WritesCarryTheLengthByteTheSimulatorChecks) {
    TNewCommsRig<TControllerNewCommsNewChip> r(true, true);
    ASSERT_TRUE(r.Open());
    size_t from = r.Rig.Frames().size();
    r.Controller.WriteComms(7, 3);
    EXPECT_TRUE(r.Controller.LastSendOk());
    EXPECT_EQ(r.WrittenSince(from),
              (std::vector<std::string>{P(frames::LengthWriteFrame("MB", 6, "07,3")),
                                        P(frames::LengthWriteFrame("MB", 6, "01,07"))}));
    r.Rig.Sync();
    EXPECT_EQ(r.Rig.Sim.CommsValue(7), 3);
    // Stop and the status poll go without it.
    r.Controller.Stop();
    EXPECT_EQ(r.Rig.Frames().back(), P(frames::WriteFrame("ST", 6, "")));
    EXPECT_TRUE(r.Errors.empty());
    std::string version;
    r.Controller.GetVersion(version);
    EXPECT_EQ(version, "Chip with data length checking\nvn2.1");
}

// A frame whose length byte is wrong is refused: without the length byte,
// a Control Type 0 controller gets NAKs from a Control Type 6 machine.
TEST(NewCommsLink, AWrongLengthByteGetsANak) {
    TNewCommsRig<TControllerNewComms> r(true, true);
    // The version read needs no length byte; the start entry never arrives.
    EXPECT_FALSE(r.Open());
    r.Rig.Sync();
    std::vector<TSimLogEntry> log = r.Rig.Sim.Log();
    bool nak = false;
    for (const TSimLogEntry &e : log)
        nak = nak || (e.Direction == '>' && e.Kind == "nak");
    EXPECT_TRUE(nak) << r.Rig.Sim.LogText();
    EXPECT_NE(r.Rig.Sim.CommsValue(20), 60); // the start entry never arrived
}

// The workers of Control Types 0 and 6 keep the receiver's rules: every
// status byte from 0x80 to 0xBF acknowledges by bit 0, a status byte
// before the check byte is a status byte, a bad check byte makes a read
// go again; nothing is lost or done twice.
TEST(NewCommsLink, Type6LineFaults) {
    struct {
        const char *Name;
        TSimFault::TKind Kind;
        const char *Match;
        int NakValue;
    } rows[] = {{"NAK 0x83", TSimFault::Nak, "07,3", 0x83},
                {"NAK 0xBF", TSimFault::Nak, "07,3", 0xBF},
                {"status before check", TSimFault::StatusBeforeCheck, "MB63<ENQ>", 0x81},
                {"bad check", TSimFault::BadCheck, "MB63<ENQ>", 0x81},
                {"no ack", TSimFault::NoAck, "07,3", 0x81}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TNewCommsRig<TControllerNewCommsNewChip> r(true, true);
        ASSERT_TRUE(r.Open());
        TSimFault f;
        f.Kind = row.Kind;
        f.Match = row.Match;
        f.NakValue = row.NakValue;
        r.Rig.Sim.AddFault(f);
        r.Rig.Sim.SetCommsValue(3, 1234);
        r.Controller.WriteComms(7, 3);
        EXPECT_TRUE(r.Controller.LastSendOk());
        EXPECT_EQ(r.Controller.ReadComms(3), 1234);
        r.Rig.Sync();
        EXPECT_EQ(r.Rig.Sim.CommsValue(7), 3);
        EXPECT_EQ(r.Rig.Count(P(frames::LengthWriteFrame("MB", 6, "01,07"))), 1);
        EXPECT_TRUE(r.Errors.empty());
    }
}

TEST(NewCommsLink, Type0FramesVersionAndOverrides) {
    TNewCommsRig<TControllerNewComms> r;
    ASSERT_TRUE(r.Open());
    std::string version;
    r.Controller.GetVersion(version);
    EXPECT_EQ(version, "Chip without data length checking\nvn2.0.4");
    size_t from = r.Rig.Frames().size();
    r.Controller.WriteComms(7, 3);
    EXPECT_EQ(r.WrittenSince(from),
              (std::vector<std::string>{P(frames::WriteFrame("MB", 6, "07,3")),
                                        P(frames::WriteFrame("MB", 6, "01,07"))}));
    // Overrides: sent without a potentiometer, kept with one.
    struct {
        const char *Name;
        bool FeedPot, SpeedPot;
        const char *Entries; // comms entries written
    } rows[] = {{"no pots", false, false, "05 06 "},
                {"Feed Pot", true, false, "06 "},
                {"Speed Pot", false, true, "05 "},
                {"both", true, true, ""}};
    int percent = 50;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        r.Data.MachineCapability.FeedPot = row.FeedPot;
        r.Data.MachineCapability.SpeedPot = row.SpeedPot;
        size_t before = r.Rig.Frames().size();
        ++percent;
        r.Controller.SetFeedOverride(percent);
        r.Controller.SetSpindleOverride(percent);
        std::string entries;
        for (const std::string &f : r.WrittenSince(before))
            entries += f.substr(8, 2) + " "; // "<EOT>MB6" then the index
        EXPECT_EQ(entries, row.Entries);
        EXPECT_EQ(r.Controller.FeedOverride, percent);
        EXPECT_EQ(r.Controller.SpindleOverride, percent);
    }
}

TEST(NewCommsLink, PortsAndRatesTheWorkerRefuses) {
    struct {
        const char *Name;
        int Port, Baud, Message;
    } rows[] = {{"port 16", 16, 19200, 49}, {"port 0", 0, 19200, 49}, {"31250 baud", 1, 31250, 50}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TNewCommsRig<TControllerNewComms> r;
        EXPECT_FALSE(r.Open(row.Port, row.Baud));
        ASSERT_FALSE(r.Messages.Log().empty());
        EXPECT_EQ(r.Rig.Sim.FramesReceived(), 0);
    }
}

TEST(NewCommsLink, Port12OpensCom12) {
    TNewCommsRig<TControllerNewComms> r;
    TIniFile(r.Rig.Settings).WriteString("Serial Ports", "COM12", r.Rig.Slave);
    TIniFile(r.Rig.Settings).WriteString("Serial Ports", "COM1", r.Rig.Temp.File("none"));
    ASSERT_TRUE(r.Open(12));
    EXPECT_EQ(static_cast<TLowLevelNewComms &>(r.Controller.Worker()).MsgDriver().PortName(),
              "COM12");
}

// Control Type 0 keeps the program the probe found: an unanswered version
// query costs a pause and the connection goes on.
TEST(NewCommsLink, Type0ConnectsAfterAPauseWhenTheVersionGoesUnanswered) {
    TNewCommsRig<TControllerNewComms> r(false);
    int64_t start = r.Loop.NowMs();
    TLowLevel &w = r.Controller.Worker();
    w.Port = 1;
    w.Baud = 19200;
    w.SettingsFile = r.Rig.Settings;
    EXPECT_TRUE(w.Connect("", false));
    EXPECT_GE(r.Loop.NowMs() - start, 1000);
    EXPECT_EQ(r.Rig.Count("<EOT>VN6<ENQ>"), 1);
    EXPECT_TRUE(r.Rig.Frames("line").empty()); // nothing was loaded
}

// Control Type 6 loads the program: "ver", the prompt (seen because the
// loader polls its driver), the lines, "RUN"; then frames are answered.
TEST(NewCommsLink, Type6LoadsTheProgramWhenTheVersionGoesUnanswered) {
    TNewCommsRig<TControllerNewCommsNewChip> r(false, true);
    std::string program = r.Rig.Temp.Write("mill.mnt", "one\n|\ntwo 328\nthree\n");
    TLowLevel &w = r.Controller.Worker();
    w.Port = 1;
    w.Baud = 19200;
    w.SettingsFile = r.Rig.Settings;
    int64_t start = r.Loop.NowMs();
    ASSERT_TRUE(w.Connect(program, false));
    EXPECT_GE(r.Loop.NowMs() - start, 4000); // the new chip's pause
    EXPECT_EQ(r.Rig.Frames("line"),
              (std::vector<std::string>{"ver", "one", "<1A>", "two 328", "three", "", "RUN"}));
    EXPECT_TRUE(w.PostWrite(6, "05,100", "MB"));
    r.Rig.Sync();
    EXPECT_EQ(r.Rig.Sim.CommsValue(5), 100);
}

// A damaged version reply (a changed byte, a lost byte) is asked for again,
// three times in all; it does not send the link to load a program into a
// controller whose program answers. Three damaged replies fail the
// connection with a message that shows what came.
TEST(NewCommsLink, ADamagedVersionReplyIsAskedForAgain) {
    struct TCase {
        const char *Name;
        TSimFault::TKind Kind;
        int Count;
        bool Connects;
    } cases[] = {{"a byte changed twice", TSimFault::GarbleAnswer, 2, true},
                 {"a bad check byte twice", TSimFault::BadCheck, 2, true},
                 {"a byte lost twice", TSimFault::DropByte, 2, true},
                 {"damaged every time", TSimFault::GarbleAnswer, -1, false}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TNewCommsRig<TControllerNewCommsNewChip> r(true, true);
        TSimFault f;
        f.Kind = c.Kind;
        f.Match = "VN6<ENQ>";
        f.Count = c.Count;
        r.Rig.Sim.AddFault(f);
        EXPECT_EQ(r.Open(), c.Connects);
        EXPECT_EQ(r.Rig.Count("<EOT>VN6<ENQ>"), 3);
        EXPECT_TRUE(r.Rig.Frames("line").empty()); // nothing was loaded
        if (c.Connects) {
            EXPECT_TRUE(r.Messages.Log().empty());
            continue;
        }
        ASSERT_EQ(r.Messages.Log().size(), 1u);
        const std::string &text = r.Messages.Log()[0].Text;
        EXPECT_NE(text.find("version reply came damaged 3 times"), std::string::npos) << text;
        EXPECT_NE(text.find("<STX>vn2"), std::string::npos) << text;
    }
}

TEST(NewCommsLink, Type6FailsWhenTheLoaderGetsNoPrompt) {
    TNewCommsRig<TControllerNewCommsNewChip> r(false, true);
    TLowLevel &w = r.Controller.Worker();
    w.Port = 1;
    w.Baud = 19200;
    w.SettingsFile = r.Rig.Settings;
    r.Rig.Sim.Silent = true; // nobody answers at all
    EXPECT_FALSE(w.Connect(r.Rig.Temp.Write("mill.mnt", "one\n"), false));
}

} // namespace
} // namespace orv
