// The controller probe against the simulator on a pseudo-terminal, on the
// test clock: the framed version question and the command line's, the
// search of COM1 to COM8 that saves the port it finds, comms reads, the
// comparison of the running program with the file, and the download with
// its waits for the prompt, the "LOAD" block and the start banner.

#include "links/GetMintVersion.h"
#include "links/tests/LinkRig.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/IniFile.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

class GetMintVersionTest : public ::testing::Test {
protected:
    explicit GetMintVersionTest(bool Running = true) : Rig(Running) {}
    void SetUp() override {
        Probe.SettingsFile = Rig.Settings;
        Rig.Start();
    }
    // The lines the simulator took on its command line.
    std::vector<std::string> Lines() const { return Rig.Frames("line"); }

    test::TSimRig Rig;
    test::TSimLoop Loop{Rig};
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    TGetMintVer Probe;
};

class GetMintVersionLineTest : public GetMintVersionTest {
protected:
    GetMintVersionLineTest() : GetMintVersionTest(false) {}
};

TEST_F(GetMintVersionTest, TheFramedQuestionEndsAtTheEtx) {
    struct {
        const char *Version;
        int Type;
    } rows[] = {{"vn2.0.4", 0}, {"vn2.1", 6}, {"vn2.0/3", 0}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.Version);
        Rig.Sim.VersionText = r.Version;
        std::string reply;
        Probe.QueryVersion(1, true, false, reply);
        // The STX and the check byte (below 14) are not part of the text.
        EXPECT_EQ(reply, r.Version);
        EXPECT_EQ(TGetMintVer::ControlTypeOf(reply), r.Type);
    }
    EXPECT_EQ(Rig.Count("<EOT>VN6<ENQ>"), 3);
}

TEST_F(GetMintVersionTest, ReadsTheToolAndSendsTheStartFrame) {
    Rig.Sim.SetCommsValue(7, 3);
    std::string reply;
    Probe.QueryVersion(1, true, false, reply);
    EXPECT_EQ(Probe.ReadCurrentTool(), 3);
    EXPECT_EQ(Rig.Count("<EOT>MB67<ENQ>"), 2);
    EXPECT_EQ(Probe.ReadComms(31), 5);
    Probe.SendStartFrame();
    Rig.Sync();
    EXPECT_EQ(Rig.Frames().back(), "<EOT>M312<ETX>z");
}

TEST_F(GetMintVersionLineTest, TheCommandLineAnswersWhenTheFrameDoesNot) {
    Rig.Sim.VersionText = "vn2.0.4";
    std::string reply;
    int64_t start = Loop.NowMs();
    Probe.QueryVersion(1, true, false, reply);
    EXPECT_EQ(reply, NotConnected);
    EXPECT_GE(Loop.NowMs() - start, 1100);
    Probe.QueryVersion(1, false, false, reply);
    EXPECT_NE(reply.find("MINT 2.0.4"), std::string::npos) << reply;
    EXPECT_EQ(TGetMintVer::ControlTypeOf(reply), 0);
    EXPECT_EQ(Lines(), std::vector<std::string>{"ver"});
}

// No device on COM1 to COM4; the simulator on COM5 answers its command
// line. The link saves the port it found.
TEST_F(GetMintVersionLineTest, TheSearchFindsTheControllerAndSavesItsPort) {
    TIniFile ini(Rig.Settings);
    for (int n = 1; n <= 8; ++n)
        ini.WriteString("Serial Ports", "COM" + IntToStr(n),
                        n == 5 ? Rig.Slave : Rig.Temp.File("none"));
    TRead_Machinedata_file data;
    data.MachineFile = Rig.Temp.Write("MILL.ini", "[Communications]\nCom Port=1\n");
    data.Communications.ComPort = 1;
    data.Communications.MintFile = Rig.Temp.File("missing.mnt");
    int type = -1, tool = -1;
    std::string version;
    // Found on its command line: the program is not running, and as it
    // answers no comms read the connection fails after the search.
    EXPECT_FALSE(ProbeMintController(data, Rig.Settings, type, version, tool));
    EXPECT_NE(version.find("MINT"), std::string::npos);
    EXPECT_EQ(data.Communications.ComPort, 5);
    EXPECT_EQ(TIniFile(data.MachineFile).ReadInteger("Communications", "Com Port", 0), 5);
}

TEST_F(GetMintVersionLineTest, NoAnswerAnywhereIsNotConnected) {
    Rig.Sim.Silent = true;
    std::string reply;
    Probe.QueryVersion(1, false, false, reply);
    EXPECT_EQ(reply, NotConnected);
    TIniFile ini(Rig.Settings);
    for (int n = 1; n <= 8; ++n)
        ini.WriteString("Serial Ports", "COM" + IntToStr(n),
                        n == 1 ? Rig.Slave : Rig.Temp.File("none"));
    int64_t start = Loop.NowMs();
    EXPECT_EQ(Probe.FindMachinePort(reply), -1);
    EXPECT_EQ(reply, NotConnected);
    EXPECT_GE(Loop.NowMs() - start, 2 * 1100); // COM1 asked both ways
}

TEST(GetMintVersionFile, VersionsOfTheProgramFile) {
    test::TTempDir temp;
    struct {
        const char *Name, *Text;
        int Major, Minor;
    } rows[] = {
        {"plain", "comms(31) = 4\ncomms(32) = 12\n", 4, 12},
        {"any case, sorted lines", "zz\nCOMMS(32)=7 rev\nComms(31)=3\nComms(31)=9\n", 3, 7},
        {"first digits after =", "comms(31) = v4.2\ncomms(32)=\n", 4, 0},
        {"no =", "comms(31) 4\n", 0, 0},
        {"no line", "print 1\n", 0, 0},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.Name);
        std::string file = temp.Write("prog.mnt", r.Text);
        EXPECT_EQ(TGetMintVer::FileVersion(file, 31), r.Major);
        EXPECT_EQ(TGetMintVer::FileVersion(file, 32), r.Minor);
    }
    EXPECT_EQ(TGetMintVer::FileVersion(temp.File("missing.mnt"), 31), 0);
}

TEST_F(GetMintVersionTest, MatchingVersionsAskNothing) {
    Rig.Sim.SetCommsValue(31, 4);
    Rig.Sim.SetCommsValue(32, 12);
    std::string file = Rig.Temp.Write("prog.mnt", "comms(32)=12\ncomms(31)=4\n");
    EXPECT_TRUE(Probe.CheckProgramVersion(1, file, false));
    EXPECT_TRUE(Messages.Log().empty());
    EXPECT_EQ(Rig.Count("<EOT>MB631<ENQ>"), 2);
    EXPECT_EQ(Rig.Count("<EOT>MB632<ENQ>"), 2);
}

TEST_F(GetMintVersionTest, DifferingVersionsAskAndNoKeepsTheProgram) {
    std::string file = Rig.Temp.Write("prog.mnt", "comms(31)=6\ncomms(32)=1\n");
    Messages.Answer("No");
    EXPECT_TRUE(Probe.CheckProgramVersion(1, file, false));
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_EQ(Messages.Log()[0].Text,
              "PC Mint Version (on hard disk) = 6.1\n\rMint Card Version (on machine) = 5.4\n\r\n\r"
              "Mint program on machine is different - download the new one from the PC ?");
    EXPECT_TRUE(Rig.Frames("line").empty());
}

TEST_F(GetMintVersionTest, AMissingFileIsNamedAndTheProgramKept) {
    std::string file = Rig.Temp.File("gone.mnt");
    EXPECT_TRUE(Probe.CheckProgramVersion(1, file, false));
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_NE(Messages.Log()[0].Text.find("gone.mnt"), std::string::npos);
    EXPECT_TRUE(Rig.Frames("line").empty());
}

// "NONE" (any letter case, bare or completed with the program folder, as
// the machine data does) names no program file: nothing is said, nothing
// loaded, the running program kept.
TEST_F(GetMintVersionTest, AFileNamedNoneIsNoFile) {
    for (const std::string &file : {std::string("NONE"), Rig.Temp.File("NONE"),
                                    Rig.Temp.File("none")}) {
        SCOPED_TRACE(file);
        EXPECT_TRUE(Probe.CheckProgramVersion(1, file, false));
        EXPECT_TRUE(Messages.Log().empty());
    }
    EXPECT_TRUE(Rig.Frames("line").empty());
}

// A damaged answer to the version reads (a byte changed, the ETX lost) is
// read again, three reads at most; three damaged answers fail the check
// with a message naming the entry and what came.
TEST_F(GetMintVersionTest, DamagedVersionReadsAreReadAgain) {
    std::string file = Rig.Temp.Write("prog.mnt", "comms(31)=5\ncomms(32)=4\n");
    struct TCase {
        const char *Name;
        TSimFault::TKind Kind;
        int Count;
        bool Ok;
    } cases[] = {{"a digit changed twice", TSimFault::GarbleAnswer, 3, true},
                 {"the end lost twice", TSimFault::DropByte, 3, true},
                 {"always damaged", TSimFault::GarbleAnswer, -1, false}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Messages.ClearLog();
        TSimFault f;
        f.Kind = c.Kind;
        f.Match = "MB631<ENQ>";
        f.Count = c.Count; // the first of the two reads does not count
        Rig.Sim.AddFault(f);
        EXPECT_EQ(Probe.CheckProgramVersion(1, file, false), c.Ok);
        if (c.Ok) {
            EXPECT_TRUE(Messages.Log().empty());
            continue;
        }
        ASSERT_EQ(Messages.Log().size(), 1u);
        EXPECT_NE(Messages.Log()[0].Text.find("comms 31"), std::string::npos)
            << Messages.Log()[0].Text;
        EXPECT_NE(Messages.Log()[0].Text.find("the last: mb"), std::string::npos)
            << Messages.Log()[0].Text;
    }
}

// The operator accepts a download that fails: the check fails too.
TEST_F(GetMintVersionTest, AFailedDownloadFailsTheCheck) {
    std::string file = Rig.Temp.Write("prog.mnt", "comms(31)=6\ncomms(32)=1\n");
    Messages.Answer("Yes");
    Rig.Sim.SetCommsValue(31, 5);
    // The program keeps running: the command line never prompts.
    EXPECT_FALSE(Probe.CheckProgramVersion(1, file, false));
    ASSERT_EQ(Messages.Log().size(), 2u);
    EXPECT_NE(Messages.Log()[1].Text.find("prog.mnt"), std::string::npos);
    EXPECT_NE(Messages.Log()[1].Text.find("COM1"), std::string::npos);
}

TEST_F(GetMintVersionTest, DownloadFailsWithoutPortOrFile) {
    std::string file = Rig.Temp.Write("prog.mnt", "a\n");
    TIniFile(Rig.Settings).WriteString("Serial Ports", "COM2", Rig.Temp.File("none"));
    EXPECT_FALSE(Probe.DownloadProgram(2, file, false));
    EXPECT_FALSE(Probe.DownloadProgram(1, Rig.Temp.File("none.mnt"), false));
    EXPECT_EQ(Rig.Sim.FramesReceived(), 0);
}

TEST_F(GetMintVersionLineTest, DownloadWaitsForPromptsStreamsTheLoadBlockAndStarts) {
    std::string file = Rig.Temp.Write("prog.mnt", "auto\ncomms(31)=4\n\nload prog\nline a\nline b\n"
                                                  "|\ncomms(32)=12\nLOAD two\nlast\n");
    ASSERT_TRUE(Probe.DownloadProgram(1, file, false)) << Rig.Sim.LogText();
    // The two forms of the mode frame, then the file.
    EXPECT_EQ(Rig.Frames(), (std::vector<std::string>{"<EOT>M310<ETX>x", "<EOT>M31\"0<ETX>Z"}));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"auto", "comms(31)=4", "load prog", "line a",
                                                 "line b", "<1A>", "comms(32)=12", "LOAD two",
                                                 "last", "<1A>", "run"}));
    // Streamed lines go without a wait; each mode send waits its full 1 s.
    std::vector<TSimLogEntry> log = Rig.Sim.Log();
    auto at = [&log](const std::string &Text) -> int64_t {
        for (const TSimLogEntry &e : log)
            if (e.Direction == '<' && e.Kind == "line" && e.Bytes == Text)
                return e.Time;
        return -1;
    };
    EXPECT_LT(at("line b") - at("line a"), 20);
    EXPECT_GE(at("auto") - log.front().Time, 4 * 1000);
    EXPECT_TRUE(Rig.Sim.ProgramRunning);
    EXPECT_EQ(Rig.Sim.CommsValue(31), 4);
    EXPECT_EQ(Rig.Sim.CommsValue(32), 12);
}

// The banner never comes: the download fails.
TEST_F(GetMintVersionLineTest, DownloadFailsWithoutTheBanner) {
    Rig.Sim.Banner = "ready";
    std::string file = Rig.Temp.Write("prog.mnt", "a\n");
    int64_t start = Loop.NowMs();
    EXPECT_FALSE(Probe.DownloadProgram(1, file, false));
    EXPECT_GE(Loop.NowMs() - start, 12000);
}

} // namespace
} // namespace orv
