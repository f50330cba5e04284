// The Keplin console on a pseudo-terminal ("COM3"; the test is the key
// pad): buttons mapped to main-window controls press and release them,
// buttons with keys type them on the press, nothing happens before the
// first non-zero byte, and entries that are no button are skipped.

#include "links/ComDrv32.h"
#include "links/KeplinDriverNew.h"
#include "shell/tests/RemoteRig.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace orv {
namespace {

using test::TRemoteRig;
using TKeyPad = test::TPty;

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
    // Sends Bytes from the key pad and serves the loop until the console
    // has taken them.
    void Press(const std::string &Bytes)
    {
        ASSERT_EQ(::write(Pad.Master, Bytes.data(), Bytes.size()), ssize_t(Bytes.size()));
        TCommPortDriver *port = Rig.Inputs->Keplin()->Port();
        const uint64_t before = port->BytesReceived();
        for (int i = 0; i < 400 && port->BytesReceived() < before + Bytes.size(); ++i) {
            Rig.Folder.Loop.Advance(50);
            ::usleep(1000);
        }
    }

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

TEST(KeplinFile, AMissingDataFileLeavesThePortShut)
{
    TRemoteRig rig{{{"Keplin File", "none.dat"}, {"Com Port", "3"}}};
    ASSERT_NE(rig.Inputs->Keplin(), nullptr);
    EXPECT_EQ(rig.Inputs->Keplin()->Port(), nullptr);
    EXPECT_TRUE(rig.Folder.Messages.Log().empty()); // no "Error Locating COM3"
}

} // namespace
} // namespace orv
