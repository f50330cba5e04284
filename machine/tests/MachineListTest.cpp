// The machine list and parameter files behind the "Machine Properties
// Editor": key pictures and row kinds, M-code section pictures, finished
// edits with the "Com Port" swap, copying and deleting machines against
// expected files, and the settings password.

#include "machine/MachineList.h"
#include "machine/SettingsPassword.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace orv {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string &Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string Expected = std::string(ORV_SOURCE_DIR) + "/machine/tests/data/";

TEST(MachineListPictures, KeysGetTheirPictureAndRow)
{
    struct TCase {
        const char *Value;
        int Picture;
        TRowKind Kind;
    };
    const TCase cases[] = {
        {"TRUE", picFlag, TRowKind::Check},   {"false", picFlag, TRowKind::Check},
        {"1.5", picNumber, TRowKind::Edit},   {"-3", picNumber, TRowKind::Edit},
        {"1,2", picTextWithComma, TRowKind::None}, {"COM1", picText, TRowKind::Edit},
        {"", picText, TRowKind::Edit},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(KeyPicture(c.Value), c.Picture);
        EXPECT_EQ(RowKind(KeyPicture(c.Value)), c.Kind);
    }
}

class MachineListTest : public ::testing::Test {
protected:
    MachineListTest()
    {
        fs::copy(ORV_DATA_DIR, Dir.Path(), fs::copy_options::recursive);
        Machine = Dir.File("machines/BENCHMILL.ini");
    }
    TMachineList List() const { return TMachineList(Dir.File("Tarnwick.ini")); }
    std::string Folder() const
    {
        std::string names;
        for (const auto &e : fs::directory_iterator(Dir.File("machines")))
            names += e.path().filename().string() + ";";
        return names;
    }

    test::TTempDir Dir;
    TScriptedMessages Messages;
    TMessageServiceScope Scope{Messages};
    std::string Machine;
};

TEST_F(MachineListTest, MachinesSectionsAndMCodePictures)
{
    TMachineList list = List();
    EXPECT_EQ(list.Machines(), std::vector<std::string>{"BENCHMILL"});
    EXPECT_TRUE(list.IsActive("benchmill"));
    EXPECT_EQ(fs::path(list.ParameterFile("BENCHMILL")).filename(), "BENCHMILL.ini");
    {
        TIniFile ini(Machine);
        ini.WriteString("m50", "enabled", "true");
        ini.WriteString("M51", "Enabled", "no");
    }
    std::vector<std::string> sections = list.Sections("BENCHMILL");
    auto picture = [&](const std::string &Section) {
        auto at = std::find(sections.begin(), sections.end(), Section);
        EXPECT_NE(at, sections.end()) << Section;
        return list.SectionPicture("BENCHMILL", int(at - sections.begin()));
    };
    EXPECT_EQ(picture(sections[0]), 1) << "other sections: their place from 1";
    EXPECT_EQ(picture("Communications"),
              int(std::find(sections.begin(), sections.end(), "Communications") - sections.begin()) + 1);
    EXPECT_EQ(picture("m50"), picMCodeEnabled) << "a lower-case M-code section";
    EXPECT_EQ(picture("M51"), picMCodeDisabled);
    EXPECT_TRUE(list.Sections("NOSUCH").empty()) << "a missing file shows no sections";
}

TEST_F(MachineListTest, AFinishedPortEditSwapsWithTheOtherDevice)
{
    TMachineList list = List();
    // The link on 1, the console on 2: the link takes 2, the console gets 1.
    list.WriteValue("BENCHMILL", "Communications", "Com Port", "2");
    TIniFile ini(Machine);
    EXPECT_EQ(ini.ReadString("Communications", "Com Port", ""), "2");
    EXPECT_EQ(ini.ReadString("Input/Output Devices", "Com Port", ""), "1");
    // A value that no other device uses swaps nothing; an unchanged one writes nothing.
    list.WriteValue("BENCHMILL", "Input/Output Devices", "Com Port", "12");
    EXPECT_EQ(TIniFile(Machine).ReadString("Communications", "Com Port", ""), "2");
    EXPECT_EQ(TIniFile(Machine).ReadString("Input/Output Devices", "Com Port", ""), "12");
    list.WriteValue("BENCHMILL", "Communications", "Com Port", "2");
    EXPECT_EQ(TIniFile(Machine).ReadString("Input/Output Devices", "Com Port", ""), "12");
    list.WriteFlag("BENCHMILL", "Machine Capability", "Feed Pot", true);
    EXPECT_EQ(TIniFile(Machine).ReadString("Machine Capability", "Feed Pot", ""), "TRUE");
}

TEST_F(MachineListTest, CopyThenDeleteMatchTheExpectedFiles)
{
    TMachineList list = List();
    const std::string original = ReadAll(Machine);
    ASSERT_TRUE(list.Copy("BENCHMILL", "MILL2"));
    EXPECT_EQ(ReadAll(list.ListFile()), ReadAll(Expected + "Machines_copied.ini"));
    EXPECT_EQ(Folder(), "BENCHMILL.ini;MILL2.ini;");
    EXPECT_EQ(ReadAll(Dir.File("machines/MILL2.ini")), original);

    Messages.Answer("Yes");
    ASSERT_TRUE(list.Delete("MILL2"));
    ASSERT_FALSE(Messages.Log().empty());
    EXPECT_EQ(Messages.Log().back().Text, "Delete the item entitled MILL2?");
    EXPECT_EQ(Messages.Log().back().Caption, "Confirm");
    EXPECT_EQ(ReadAll(list.ListFile()), ReadAll(Expected + "Machines_deleted.ini"));
    EXPECT_EQ(Folder(), "BENCHMILL.ini;");
}

TEST_F(MachineListTest, CopyOntoAnExistingOrEmptyNameChangesNothing)
{
    TMachineList list = List();
    ASSERT_TRUE(list.Copy("BENCHMILL", "MILL2"));
    TIniFile(Dir.File("machines/MILL2.ini")).WriteString("Feed", "Marker", "kept");
    const std::string listBefore = ReadAll(list.ListFile());
    const std::string folderBefore = Folder();
    // "machines/../../outside.ini": the folder above the test's own.
    const fs::path above = fs::path(Dir.Path()).parent_path().parent_path() / "outside.ini";
    const bool aboveBefore = fs::exists(above);
    // Taken or empty names, and names the list file cannot hold as a key or
    // that lead out of the machines folder.
    for (const char *name : {"MILL2", "mill2", "", "  ", "BENCHMILL", "A=B", "[X]", "X]", "[X",
                             ";quiet", "../outside", "../../outside", "..", "up/down", "up\\down", "tab\there",
                             "bell\a ring", "del\x7f"}) {
        SCOPED_TRACE(name);
        Messages.ClearLog();
        EXPECT_FALSE(list.Copy("BENCHMILL", name));
        ASSERT_EQ(Messages.Log().size(), 1u);
        EXPECT_EQ(Messages.Log()[0].Text, "Sorry Error in creating that name");
        EXPECT_EQ(ReadAll(list.ListFile()), listBefore);
        EXPECT_EQ(Folder(), folderBefore);
        EXPECT_FALSE(fs::exists(Dir.File("outside.ini")));
        EXPECT_EQ(fs::exists(above), aboveBefore);
    }
    EXPECT_EQ(list.Machines(), (std::vector<std::string>{"BENCHMILL", "MILL2"}));
    EXPECT_EQ(TIniFile(Dir.File("machines/MILL2.ini")).ReadString("Feed", "Marker", ""), "kept");
    // A name with blanks and dots inside is a name like any other.
    EXPECT_TRUE(list.Copy("BENCHMILL", "Mill 3.5 left"));
    EXPECT_TRUE(fs::exists(Dir.File("machines/Mill 3.5 left.ini")));
}

TEST_F(MachineListTest, TheActiveMachineIsNeverDeletedAndNoKeepsTheMachine)
{
    TMachineList list = List();
    EXPECT_FALSE(list.Delete("BENCHMILL"));
    EXPECT_TRUE(Messages.Log().empty()) << "not even asked";
    ASSERT_TRUE(list.Copy("BENCHMILL", "MILL2"));
    Messages.Answer("No");
    EXPECT_FALSE(list.Delete("MILL2"));
    EXPECT_EQ(Folder(), "BENCHMILL.ini;MILL2.ini;");
    list.SetActive("MILL2");
    EXPECT_TRUE(list.IsActive("MILL2"));
    EXPECT_EQ(TIniFile(Dir.File("Tarnwick.ini")).ReadString("Default Settings", "Active Machine", ""),
              "MILL2");
}

TEST(SettingsPasswordTest, TheDefaultPasswordGivesTheDefaultCode)
{
    EXPECT_EQ(PasswordCode("orvellan"), DefaultPasswordCode);
    EXPECT_NE(PasswordCode("Orvellan"), DefaultPasswordCode);
    EXPECT_EQ(PasswordCode("x").size(), 18u);
}

TEST(SettingsPasswordTest, AnswersAndChanges)
{
    test::TTempDir dir;
    const std::string file = dir.File("Tarnwick.ini");
    EXPECT_EQ(PasswordAnswer(true, "orvellan", file), 1) << "no Access key: the default";
    EXPECT_EQ(PasswordAnswer(true, "guess", file), 7);
    EXPECT_EQ(PasswordAnswer(false, "orvellan", file), 2);
    EXPECT_FALSE(CheckPassword("", file));

    EXPECT_EQ(ChangePassword("orvellan", "spindle", "spindel", file), "Confirm password incorrect");
    EXPECT_EQ(ChangePassword("orvellan", "", "", file), "Confirm password incorrect");
    EXPECT_EQ(ChangePassword("wrong", "spindle", "spindle", file), "Old password incorrect");
    EXPECT_EQ(StoredPasswordCode(file), DefaultPasswordCode) << "nothing changed";
    EXPECT_EQ(ChangePassword("orvellan", "spindle", "spindle", file), "");
    EXPECT_EQ(TIniFile(file).ReadString("Default Settings", "Access", ""), PasswordCode("spindle"));
    EXPECT_EQ(PasswordAnswer(true, "spindle", file), 1);
    EXPECT_EQ(PasswordAnswer(true, "orvellan", file), 7);
}

} // namespace
} // namespace orv
