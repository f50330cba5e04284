// The start-up check: which support files are listed as missing, by label
// or path, in which order, and what happens to the VR and 3D buttons.
#include "shell/SupportCheck.h"
#include "shell/SourceMenu.h"

#include "engine/core/Mess.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

class SupportCheck : public ::testing::Test {
protected:
    // Every file present: the program files, settings, machine files.
    TSupportPaths AllPresent() {
        for (const char *name : {"language.txt", "TRANSLAT.TXT", "cycles.ini", "Default1.ini",
                                 "Default2.ini", "Default3.ini", "help.ini", "mill.hlp"})
            Dir.Write(name, "x");
        TSupportPaths p;
        p.ProgramFolder = Dir.Path();
        p.MainSettingsFile = Dir.Write("Tarnwick.ini", "");
        p.MachineListFile = Dir.Write("Machines.ini", "");
        p.MachineFile = Dir.Write("BENCHMILL.ini", "");
        p.KeplinFile = Dir.Write("keplin.dat", "");
        p.ToolFile = Dir.Write("tools.mtf", "");
        p.MintFile = Dir.Write("prog.mnt", "");
        return p;
    }
    TMess Mess;
    test::TTempDir Dir;
};

TEST_F(SupportCheck, NothingMissingGivesAnEmptyListAndBothButtons) {
    const TSupportResult r = CheckSupportFiles(AllPresent(), {});
    EXPECT_TRUE(r.Missing.empty());
    EXPECT_TRUE(r.VRAvailable);
    EXPECT_TRUE(r.Sim3DAvailable);
}

TEST_F(SupportCheck, MissingFilesAreListedByLabelOrPathInCheckOrder) {
    TSupportPaths p = AllPresent();
    p.MainSettingsFile = Dir.File("gone.ini");
    std::filesystem::remove(Dir.File("Default2.ini"));
    p.MachineListFile = Dir.File("nolist.ini");
    p.MachineFile = "";
    p.KeplinFile = Dir.Path();     // an empty Keplin setting: the program folder alone
    p.ToolFile = Dir.File("none"); // "NONE" in any case: not used
    p.MintFile = Dir.File("missing.mnt");
    const TSupportResult r = CheckSupportFiles(p, {});
    const std::vector<std::string> expected = {Dir.File("gone.ini"), Dir.File("Default2.ini"),
                                               "Machine list file",  "Machine specific INI File",
                                               "Keplin Data File",   "Mint Program file"};
    EXPECT_EQ(r.Missing, expected);
}

TEST(SupportFile, NoneInAnyCaseIsNotMissing) {
    const struct {
        const char *Path;
        bool Missing;
    } rows[] = {{"NONE", false},
                {"none", false},
                {"/data/NoNe", false},
                {"", true},
                {"/no/such/file.ini", true},
                {"/data/", true},
                {"/tmp", true}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Path);
        EXPECT_EQ(IsMissingSupportFile(row.Path), row.Missing);
    }
}

TEST_F(SupportCheck, OutsideControlsAreProbedInOrderAndTheirFailuresShow) {
    TSupportPaths p = AllPresent();
    p.MainSettingsFile = Dir.File("gone.ini");
    std::filesystem::remove(Dir.File("cycles.ini"));
    std::vector<std::string> calls;
    TSupportProbes probes;
    probes.CreateVR = [&] {
        calls.push_back("VR");
        return false;
    };
    probes.CreateSimulation = [&] {
        calls.push_back("create");
        return false;
    };
    probes.RegisterSimulation = [&] {
        calls.push_back("register");
        return false;
    };
    const TSupportResult r = CheckSupportFiles(p, probes);
    EXPECT_EQ(calls, (std::vector<std::string>{"VR", "create", "register"}));
    EXPECT_FALSE(r.VRAvailable);
    EXPECT_FALSE(r.Sim3DAvailable);
    ASSERT_EQ(r.Missing.size(), 2u);
    EXPECT_EQ(r.Missing[0], Dir.File("gone.ini"));
    EXPECT_EQ(r.Missing[1], Dir.File("Cycles.ini")) << "named as the check spells it";
}

TEST_F(SupportCheck, SimulationThatRegistersKeepsThe3DButton) {
    TSupportProbes probes;
    int registrations = 0;
    probes.CreateSimulation = [] { return false; };
    probes.RegisterSimulation = [&] {
        ++registrations;
        return true;
    };
    const TSupportResult r = CheckSupportFiles(AllPresent(), probes);
    EXPECT_TRUE(r.Sim3DAvailable);
    EXPECT_EQ(registrations, 1);
}

TEST(SourceMenu, KeysInFileOrderWithTheirValuesOrTheirPosition) {
    test::TTempDir dir;
    const std::string ini =
        dir.Write("Tarnwick.ini", "[source]\nFile=1\nEditor=2\nCompiled Program=3\nFanuc=abc\n");
    const std::vector<TSourceItem> items = ReadSourceMenu(ini);
    ASSERT_EQ(items.size(), 4u);
    const struct {
        const char *Name, *Caption;
        int Tag;
    } expected[] = {{"MenuSource1", "File", 1},
                    {"MenuSource2", "Editor", 2},
                    {"MenuSource3", "Compiled Program", 3},
                    {"MenuSource4", "Fanuc", 4}};
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i].Name, expected[i].Name);
        EXPECT_EQ(items[i].Caption, expected[i].Caption);
        EXPECT_EQ(items[i].Tag, expected[i].Tag);
    }
    EXPECT_TRUE(ReadSourceMenu(dir.Write("empty.ini", "")).empty());
}

} // namespace
} // namespace orv
