// The machine parameter files: finding the active machine's file through the
// main settings and the machine list, the readers' defaults, the M-code
// sections, broken files and the demo bench mill.

#include "machine/Read_Machinedata_file.h"
#include "platform/NumberText.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

std::string Replaced(std::string Text, const std::string &From, const std::string &To) {
    return Text.replace(Text.find(From), From.size(), To);
}

class MachineDataFileTest : public ::testing::Test {
protected:
    // A main settings file naming machine Name, a list file in the temp
    // folder, and the machine's file with Content.
    void WriteMachine(const std::string &Content, const std::string &Name = "Mill1") {
        FMain = Temp.Write("Tarnwick.ini", "[Default Settings]\nActive Machine=" + Name +
                                               "\nMetric=0\n[directories]\nmachine list file=" +
                                               Temp.File("list.ini") + "\n");
        Temp.Write("list.ini", "[Millers]\n" + Name + "=" + Temp.Path() + "\n");
        Temp.Write(Name + ".ini", Content);
    }

    void Load() {
        Data.MainSettingsFile = FMain;
        Data.Load();
    }

    test::TTempDir Temp;
    TRead_Machinedata_file Data;
    std::string FMain;
};

TEST_F(MachineDataFileTest, ListEntryNamesTheFolderOfTheMachinesFile) {
    FMain = Temp.Write("Tarnwick.ini", "[Default Settings]\nActive Machine=Mill1\n"
                                       "[directories]\nmachine list file=" +
                                           Temp.File("list.ini") + "\n");
    Temp.Write("list.ini", "[Millers]\nMILL1=c:\\machines\\\n");
    Load();
    EXPECT_EQ(Data.ActiveMachine, "MILL1");
    EXPECT_EQ(Data.MachineFile, "C:\\MACHINES\\MILL1.ini");
    EXPECT_TRUE(Data.Metric) << "Metric defaults to true";
    ASSERT_FALSE(Data.Warnings().empty());
    EXPECT_NE(Data.Warnings()[0].find("not found"), std::string::npos);
}

TEST_F(MachineDataFileTest, MachineFileIsFoundWithoutRegardToCase) {
    WriteMachine("[Feed]\nDefault=250\n", "Mill1");
    Load();
    EXPECT_EQ(Data.MachineFile, UpperCase(Temp.Path()) + "MILL1.ini");
    EXPECT_DOUBLE_EQ(Data.Feed.Default, 250);
    EXPECT_FALSE(Data.Metric);
}

TEST_F(MachineDataFileTest, MissingKeysTakeTheirDefaults) {
    WriteMachine("[Feed]\nSteps per mill X=80\n[Machine Capability]\nTravel X+=300\n"
                 "Travel X-=-20\nTravel Y+=100\nTravel Z-=-50\nFeed Pot=true\nSpeed Pot=1\n");
    Load();
    EXPECT_DOUBLE_EQ(Data.Feed.StepsIV, 80) << "fourth axis takes the X steps";
    EXPECT_EQ(Data.Feed.MotorDirectionIV, 1);
    EXPECT_EQ(Data.Feed.MotorDirectionX, 0);
    EXPECT_DOUBLE_EQ(Data.Material.MaximumX, 320);
    EXPECT_DOUBLE_EQ(Data.Material.MaximumY, 100);
    EXPECT_DOUBLE_EQ(Data.Material.MaximumZ, 50);
    EXPECT_TRUE(Data.MachineCapability.RealMachineAvailable);
    EXPECT_TRUE(Data.MachineCapability.FeedPot) << "\"true\" in any case is true";
    EXPECT_FALSE(Data.MachineCapability.SpeedPot) << "\"1\" is not \"TRUE\"";
    EXPECT_EQ(Data.Communications.PollingDelay, 70);
    EXPECT_EQ(Data.Communications.MCodeTimeOut, 10000);
    EXPECT_EQ(Data.Communications.TCodeTimeOut, 60000);
    EXPECT_EQ(Data.InputDevices.VirtualWorld, ProgramFolder() + "Router.xvr");
}

TEST_F(MachineDataFileTest, GivenLargestBilletIsKept) {
    WriteMachine("[Material]\nMaximum X=120\n[Machine Capability]\nTravel X+=300\n");
    Load();
    EXPECT_DOUBLE_EQ(Data.Material.MaximumX, 120);
    EXPECT_DOUBLE_EQ(Data.Material.MaximumY, 0);
}

TEST_F(MachineDataFileTest, MCodeSectionsAndTheirTimeOuts) {
    WriteMachine("[Communications]\nM Code TimeOut=4000\n[M3]\nDescription=Spindle on\n"
                 "Timeout=2500\nEnabled=True\nCode=3\n[m173]\nEnabled=TRUE\nCode=99\n");
    Load();
    EXPECT_EQ(Data.MCodes[3].Name, "M3");
    EXPECT_EQ(Data.MCodes[3].Description, "Spindle on");
    EXPECT_TRUE(Data.MCodes[3].Enabled);
    EXPECT_EQ(Data.MCodes[3].Code, 3);
    EXPECT_EQ(Data.MCodes[173].Code, 99);
    EXPECT_FALSE(Data.MCodes[8].Enabled);
    EXPECT_EQ(Data.MCodeTimeOut(3), 2500);
    EXPECT_EQ(Data.MCodeTimeOut(8), 4000) << "no timeout of its own: the file's";
    EXPECT_EQ(Data.MCodeTimeOut(174), 4000);
    EXPECT_EQ(Data.MCodeTimeOut(-1), 4000);
}

TEST_F(MachineDataFileTest, ControllerFileInAMissingFolderIsLookedForBesideTheProgram) {
    WriteMachine("[Communications]\nMint File=" + Temp.Path() +
                 "ctl.mnt\n[Input/Output Devices]\n"
                 "Virtual World=/no/such/folder/world.xvr\n");
    Load();
    EXPECT_EQ(Data.Communications.MintFile, Temp.Path() + "ctl.mnt");
    EXPECT_EQ(Data.InputDevices.VirtualWorld, ProgramFolder() + "world.xvr");
}

// Files that are damaged or incomplete load with warnings and never fault.
TEST_F(MachineDataFileTest, BrokenFilesLoadWithWarnings) {
    const std::string complete = "[Feed]\nSteps per mill X=100\nSteps per mill Y=100\n"
                                 "Steps per mill Z=100\nSteps per mill F=100\nMotor Direction X=1\n"
                                 "Motor Direction Y=1\nMotor Direction Z=-1\nJog Rapid Feed=900\n";
    struct TCase {
        const char *Name;
        std::string Content;
        bool Complete;
        const char *Warning; // text one warning holds; empty: none expected
    };
    const TCase cases[] = {
        {"complete", complete, true, ""},
        {"empty file", "", false, "\"Steps per mill X\" is missing or zero"},
        {"zero direction", Replaced(complete, "Motor Direction Y=1", "Motor Direction Y=0"), false,
         "\"Motor Direction Y\" is missing or zero"},
        {"no jog rapid feed", Replaced(complete, "Jog Rapid Feed=900", "Jog Rapid Feed="), false,
         "\"Jog Rapid Feed\" is missing or zero"},
        {"garbage step count", Replaced(complete, "mill F=100", "mill F=lots"), false,
         "\"Steps per mill F\" = \"lots\" is not a number"},
        {"garbage feed", complete + "Maximum Rate X=12,5\n", true,
         "\"Maximum Rate X\" = \"12,5\" is not a number"},
        {"not a number at all", complete + "Maximum Rate Y=nan\n", true, "\"Maximum Rate Y\""},
        {"garbage integer", complete + "[Communications]\nPolling Delay=fast\n", true,
         "\"Polling Delay\" = \"fast\""},
        {"binary junk", std::string("\x01\x02[Feed\xff\n=\n==\n[\n]]]\nSteps per mill X\n", 34),
         false, "missing or zero"},
        {"section without keys", "[Feed]\n[Spindle]\n", false, "missing or zero"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        WriteMachine(c.Content);
        std::vector<std::string> reported;
        Data.OnErrorEvent = [&](TObject *, int Line, const std::string &Detail,
                                const std::string &) {
            EXPECT_EQ(Line, -1);
            reported.push_back(Detail);
        };
        Load();
        EXPECT_EQ(Data.MotionDataComplete(), c.Complete);
        EXPECT_EQ(reported, Data.Warnings());
        std::string all;
        for (const std::string &w : Data.Warnings())
            all += w + "\n";
        if (*c.Warning)
            EXPECT_NE(all.find(c.Warning), std::string::npos) << all;
        else
            EXPECT_TRUE(all.empty()) << all;
    }
    EXPECT_EQ(Data.Communications.PollingDelay, 70) << "a garbage integer keeps its default";
}

TEST_F(MachineDataFileTest, WarningsShowInOneBoxWhenAsked) {
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    WriteMachine("[Feed]\nSteps per mill X=abc\n");
    Data.ShowErrorDialogueBox = true;
    Load();
    ASSERT_EQ(messages.Log().size(), 1u);
    EXPECT_NE(messages.Log()[0].Text.find("\"abc\""), std::string::npos);
}

TEST_F(MachineDataFileTest, AssignCopiesOnlyIntoTheSameClass) {
    WriteMachine("[Feed]\nDefault=250\n[M7]\nDescription=Mist\n");
    Load();
    TRead_Machinedata_file copy;
    copy.Assign(Data);
    EXPECT_DOUBLE_EQ(copy.Feed.Default, 250);
    EXPECT_EQ(copy.MCodes[7].Description, "Mist");
    EXPECT_EQ(copy.MachineFile, Data.MachineFile);

    class TDerived : public TRead_Machinedata_file {};
    TDerived derived;
    try {
        derived.Assign(Data);
        FAIL() << "assigning into another class must raise";
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TRead_Machinedata_file to a TDerived");
    }
}

// The demo bench mill of the default data folder.
TEST_F(MachineDataFileTest, DemoBenchMillLoadsComplete) {
    FMain = Temp.Write("Tarnwick.ini",
                       "[Default Settings]\nActive Machine=benchmill\n"
                       "[directories]\nmachine list file=" ORV_DATA_DIR "/Machines.ini\n");
    Load();
    EXPECT_TRUE(Data.Warnings().empty()) << Data.Warnings().front();
    EXPECT_TRUE(Data.MotionDataComplete());
    EXPECT_DOUBLE_EQ(Data.MachineCapability.TravelXPlus, 310);
    EXPECT_DOUBLE_EQ(Data.MachineCapability.TravelZMinus, -130);
    EXPECT_DOUBLE_EQ(Data.Feed.StepsIV, Data.Feed.StepsX);
    EXPECT_EQ(Data.Feed.MotorDirectionZ, -1);
    EXPECT_GT(Data.Spindle.MaximumSpeed, Data.Spindle.MinimumSpeed);
    EXPECT_GT(Data.Home.Feed, 0);
    EXPECT_EQ(Data.ToolChange.MaximumNumber, 8);
    EXPECT_EQ(Data.MCodeTimeOut(3), 3000);
}

} // namespace
} // namespace orv
