// The Keplin console on a pseudo-terminal ("COM3"; the test is the key
// pad): buttons mapped to main-window controls press and release them,
// buttons with keys type them on the press, nothing happens before the
// first non-zero byte, and entries that are no button are skipped.

#include "links/ComDrv32.h"
#include "links/KeplinDriverNew.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/SettingsPassword.h"
#include "shell/tests/RemoteRig.h"
#include "shell/tests/RunWatch.h"

#include <gtest/gtest.h>

#include <map>

#include <fcntl.h>
#include <unistd.h>

namespace orv {
namespace {

using test::TRemoteRig;
using TKeyPad = test::TPty;

// Sends Bytes from the key pad and serves the loop until the console has
// taken them and what they press (posted to the loop) has been done.
void PressOn(TRemoteRig &Rig, const TKeyPad &Pad, const std::string &Bytes)
{
    ASSERT_EQ(::write(Pad.Master, Bytes.data(), Bytes.size()), ssize_t(Bytes.size()));
    TCommPortDriver *port = Rig.Inputs->Keplin()->Port();
    ASSERT_NE(port, nullptr);
    const uint64_t before = port->BytesReceived();
    for (int i = 0; i < 400 && port->BytesReceived() < before + Bytes.size(); ++i) {
        Rig.Folder.Loop.Advance(50);
        ::usleep(1000);
    }
    Rig.Folder.Loop.Advance(0);
}

// Set&up > machine editor: the operator edits the bench mill's
// [Input/Output Devices] and confirms; the machine data is applied again.
void EditMachineData(TRemoteRig &Rig, const std::map<std::string, std::string> &Keys)
{
    SetPasswordDialog([](int) { return 1; });
    TRead_Machinedata_file::EditorWindow = [&](TRead_Machinedata_file &, bool) {
        TIniFile machine(Rig.Folder.File("machines/BENCHMILL.ini"));
        for (const auto &k : Keys)
            machine.WriteString("Input/Output Devices", k.first, k.second);
    };
    Rig.Engine->SetupClick();
    SetPasswordDialog(nullptr);
    TRead_Machinedata_file::EditorWindow = nullptr;
}

const char *const KeplinData = "[buttons]\n"
                               "3=112,2\n"
                               "4=65,0\n"
                               "6=x,2\n"
                               "[Control]\n"
                               "CycleStart=5\n"
                               "HomeAll=,,12\n"
                               "CycleStop=200\n"
                               "CyclePause=abc,7\n";

class Keplin : public ::testing::Test {
protected:
    Keplin()
    {
        std::string program = Rig.Program;
        Rig.Remote.OpenProgramFile(0, program);
    }
    void Press(const std::string &Bytes) { PressOn(Rig, Pad, Bytes); }

    TKeyPad Pad;
    TRemoteRig Rig{{{"Keplin File", "keplin.dat"}, {"Com Port", "3"}},
                   {{"COM3", Pad.Slave}},
                   [this] { Rig.Folder.Write("keplin.dat", KeplinData); }};
};

TEST_F(Keplin, APressAndReleaseOfCycleStartStartsOneRun)
{
    ASSERT_NE(Rig.Inputs->Keplin()->Port(), nullptr);
    ASSERT_TRUE(Rig.Inputs->Keplin()->Port()->Connected());
    Press("\x05\x85");
    EXPECT_EQ(Rig.Remote.Controls,
              (std::vector<std::string>{"startbutton down", "startbutton up"}));
    EXPECT_EQ(Rig.Starts(), 1);
    EXPECT_EQ(Rig.Ended, 1);
}

TEST_F(Keplin, AKeyButtonTypesOnThePressOnly)
{
    Press(std::string("\x03") + char(0x83) + "\x04");
    EXPECT_EQ(Rig.Remote.Keys, (std::vector<std::string>{"112+4", "65+1"})); // Ctrl+F1, Shift+A
    EXPECT_TRUE(Rig.Remote.Controls.empty());
}

TEST_F(Keplin, NothingHappensBeforeTheFirstNonZeroByte)
{
    Press(std::string("\x00\x07", 2));
    EXPECT_FALSE(Rig.Inputs->Keplin()->Started());
    EXPECT_TRUE(Rig.Remote.Controls.empty());
    // Once started, a zero byte is button 0 (which does nothing here) and
    // the bytes after it count.
    Press(std::string("\x0c\x00\x8c", 3));
    EXPECT_TRUE(Rig.Inputs->Keplin()->Started());
    EXPECT_EQ(Rig.Remote.Controls,
              (std::vector<std::string>{"HomeAllButt down", "HomeAllButt up"}));
}

TEST_F(Keplin, TheDataFileMapsButtonsAndSkipsWhatIsNoButton)
{
    const TKeplinDriver &k = *Rig.Inputs->Keplin();
    struct TCase {
        int Button;
        uint8_t Key;
        unsigned Shift;
        std::string Control;
    } cases[] = {
        {3, 112, ksCtrl, ""},      {4, 65, ksShift, ""},
        {5, 0, 0, "startbutton"},  {12, 0, 0, "HomeAllButt"}, // ",,12": the first non-empty field
        {6, 0, 0, ""},             // a key that does not parse
        {7, 0, 0, ""},             // "abc,7": the first field is no number
        {0, 0, 0, ""},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Button);
        EXPECT_EQ(k.Button(c.Button).Key, c.Key);
        EXPECT_EQ(k.Button(c.Button).Shift, c.Shift);
        EXPECT_EQ(k.Button(c.Button).Control, c.Control);
    }
    for (int b = 0; b < TKeplinDriver::ButtonCount; ++b)
        EXPECT_NE(k.Button(b).Control, "stopbutton") << b; // button 200 does not exist
    EXPECT_EQ(KeplinButtonNumber("127"), 127);
    EXPECT_EQ(KeplinButtonNumber("128"), -1);
    EXPECT_EQ(KeplinButtonNumber("-1"), -1);
}

// The console stops or pauses a run it started itself: the press reaches
// the engine at the port's next poll while the run goes on. After a pause
// its Start goes on with the run to the end.
TEST(KeplinRun, CycleStopAndCyclePauseActDuringARunTheConsoleStarted)
{
    constexpr int Moves = 1000;
    struct TCase {
        const char *Name;
        std::string Bytes; // pressed and released at the 50th move
        TCycleState State; // the run's state at the console's next poll
        int Ended;
    } cases[] = {
        {"CycleStop", "\x08\x88", csStopped, 0},
        {"CyclePause, then CycleStart", "\x09\x89", csPaused, 1},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TKeyPad pad(true);
        TRemoteRig rig{{{"Keplin File", "keplin.dat"}, {"Com Port", "3"}},
                       {{"COM3", pad.Slave}},
                       [&] {
                           rig.Folder.Write("keplin.dat",
                                            "[Control]\nCycleStart=5\nCycleStop=8\nCyclePause=9\n");
                       }};
        std::string program = rig.Folder.Write("progs/long.FNC", test::LongProgram(Moves));
        ASSERT_TRUE(rig.Remote.OpenProgramFile(0, program));
        test::TWatch acted(*rig.Engine, [&] { return rig.Engine->RunState() != csRunning; });
        TTimer resume; // the operator presses Start on the console again
        resume.SetInterval(2000);
        resume.OnTimer = [&] {
            resume.SetEnabled(false);
            ASSERT_TRUE(pad.Write("\x05\x85"));
        };
        rig.Engine->OnHandOut = [&](const TCNC_data &) {
            if (++rig.Records != 50)
                return;
            ASSERT_TRUE(pad.Write(c.Bytes));
            ASSERT_TRUE(pad.AwaitDelivered());
            acted.Arm();
            resume.SetEnabled(c.State == csPaused);
        };
        ASSERT_TRUE(pad.Write("\x05\x85"));
        for (int i = 0; i < 400 && rig.Ended == 0 && !(acted.Seen() && c.Ended == 0); ++i) {
            rig.Folder.Loop.Advance(50);
            ::usleep(1000);
        }
        ASSERT_TRUE(acted.Seen()) << "the run went on to its end";
        // The console's poll, the posted press, the watch's turn.
        EXPECT_LE(acted.Delay(), rig.Inputs->Keplin()->Port()->ComPortPollingDelay() +
                                     2 * test::TWatch::TickMs);
        EXPECT_EQ(acted.State, c.State);
        rig.Folder.Loop.Advance(1000);
        EXPECT_EQ(rig.Ended, c.Ended);
        EXPECT_EQ(rig.Engine->RunState(), csStopped);
        if (c.Ended == 0) {
            EXPECT_LT(rig.Records, Moves / 2);
        } else {
            EXPECT_EQ(rig.Records, Moves + 3); // the first move, the zigzag, M30, the end
        }
    }
}

// Each machine data brings the console's table of its own file: switching
// to another file leaves nothing of the first, and a missing file gives an
// empty table and lets the port go; the port follows the data's number.
TEST(KeplinFile, TheTableAndThePortFollowTheMachineDataFile)
{
    TKeyPad pad3(true), pad4(true);
    TRemoteRig rig{{{"Keplin File", "first.dat"}, {"Com Port", "3"}},
                   {{"COM3", pad3.Slave}, {"COM4", pad4.Slave}},
                   [&] {
                       rig.Folder.Write("first.dat", "[buttons]\n3=112,2\n[Control]\nCycleStart=5\n");
                       rig.Folder.Write("second.dat", "[Control]\nCycleStart=6\n");
                   }};
    std::string program = rig.Program;
    ASSERT_TRUE(rig.Remote.OpenProgramFile(0, program));
    const TKeplinDriver &k = *rig.Inputs->Keplin();
    ASSERT_EQ(k.Button(5).Control, "startbutton");

    EditMachineData(rig, {{"Keplin File", "second.dat"}});
    EXPECT_EQ(k.Button(5).Control, "");
    EXPECT_EQ(k.Button(3).Key, 0);
    EXPECT_EQ(k.Button(6).Control, "startbutton");
    PressOn(rig, pad3, "\x05\x85\x03");
    EXPECT_EQ(rig.Starts(), 0);
    EXPECT_TRUE(rig.Remote.Keys.empty());
    PressOn(rig, pad3, "\x06\x86");
    EXPECT_EQ(rig.Starts(), 1);

    EditMachineData(rig, {{"Com Port", "4"}});
    ASSERT_NE(k.Port(), nullptr);
    EXPECT_EQ(k.Port()->PortName(), "COM4");
    PressOn(rig, pad4, "\x06\x86");
    EXPECT_EQ(rig.Starts(), 2);

    EditMachineData(rig, {{"Keplin File", "missing.dat"}});
    EXPECT_FALSE(k.Port()->Connected());
    for (int b = 0; b < TKeplinDriver::ButtonCount; ++b) {
        EXPECT_EQ(k.Button(b).Control, "") << b;
        EXPECT_EQ(k.Button(b).Key, 0) << b;
    }
}

TEST(KeplinFile, AMissingDataFileLeavesThePortShut)
{
    TRemoteRig rig{{{"Keplin File", "none.dat"}, {"Com Port", "3"}}};
    ASSERT_NE(rig.Inputs->Keplin(), nullptr);
    EXPECT_EQ(rig.Inputs->Keplin()->Port(), nullptr);
    EXPECT_TRUE(rig.Folder.Messages.Log().empty()); // no "Error Locating COM3"
}

} // namespace
} // namespace orv
