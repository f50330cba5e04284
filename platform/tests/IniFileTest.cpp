#include "platform/IniFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace orv;

TEST(IniFile, NamesMatchWithoutCaseAndKeepTheirOrder)
{
    test::TTempDir dir;
    std::string name = dir.Write("a.ini", "[Graphics]\r\nZoom=2\nColour=red\n[Other]\nk=v\n");
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("graphics", "ZOOM", ""), "2");
    ini.WriteString("GRAPHICS", "New", "x");
    ini.WriteString("graphics", "zoom", "3");
    EXPECT_EQ(ini.ReadSection("Graphics"), (std::vector<std::string>{"Zoom", "Colour", "New"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Graphics", "Other"}));
    EXPECT_EQ(dir.Read("a.ini"), "[Graphics]\r\nZoom=3\r\nColour=red\r\nNew=x\r\n[Other]\r\nk=v\r\n");
}

TEST(IniFile, DuplicateKeysAreReadInOrderAndSurviveAWrite)
{
    test::TTempDir dir;
    std::string name = dir.Write("cycles.ini", "[G81]\nMove=1\nMove=2\nMove=3\n");
    TIniFile ini(name);
    ini.WriteString("G81", "Name", "Drill");
    EXPECT_EQ(ini.ReadValues("g81", "move"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(ini.ReadSectionValues("G81"),
              (std::vector<std::string>{"Move=1", "Move=2", "Move=3", "Name=Drill"}));
    EXPECT_EQ(ini.ReadString("G81", "Move", ""), "1");
}

TEST(IniFile, BytesOutsideAsciiAndCommentsPassThrough)
{
    test::TTempDir dir;
    std::string content = "; top\r\n[Lang]\r\n; note\r\nName=Fran\xe7" "ais \xc3\xa9\r\n";
    std::string name = dir.Write("l.ini", content);
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString("Lang", "Name", ""), "Fran\xe7" "ais \xc3\xa9");
    ini.WriteString("Lang", "Name", ini.ReadString("Lang", "Name", ""));
    EXPECT_EQ(dir.Read("l.ini"), content);
}

TEST(IniFile, TypedValuesAndDefaults)
{
    test::TTempDir dir;
    TIniFile ini(dir.File("new.ini")); // no file yet
    EXPECT_EQ(ini.ReadInteger("S", "I", 42), 42);
    EXPECT_EQ(ini.ReadFloat("S", "F", 1.5), 1.5);
    ini.WriteFloat("S", "F", 0.25);
    ini.WriteBool("S", "B", true);
    ini.WriteInteger("S", "I", -3);
    ini.WriteString("S", "Bad", "12,5");
    EXPECT_EQ(ini.ReadString("S", "F", ""), "0.25");
    EXPECT_EQ(ini.ReadFloat("S", "Bad", 7.0), 7.0);
    EXPECT_TRUE(ini.ReadBool("S", "B", false));
    EXPECT_EQ(ini.ReadString("S", "B", ""), "1");
    EXPECT_EQ(ini.ReadInteger("S", "I", 0), -3);
}

TEST(IniFile, TwoObjectsOnOneFileSeeEachOthersWrites)
{
    test::TTempDir dir;
    TIniFile a(dir.File("s.ini")), b(dir.File("s.ini"));
    a.WriteString("X", "k", "1");
    EXPECT_EQ(b.ReadString("x", "K", ""), "1");
    b.WriteString("X", "k", "22");
    EXPECT_EQ(a.ReadString("X", "k", ""), "22");
    a.DeleteKey("X", "K");
    EXPECT_FALSE(b.ValueExists("X", "k"));
    EXPECT_TRUE(b.SectionExists("x"));
    b.EraseSection("X");
    EXPECT_FALSE(a.SectionExists("X"));
}

TEST(IniFile, AWriteThatCannotReachTheDiskIsReported)
{
    TIniFile ini("/nonexistent-folder/x.ini");
    ini.WriteString("S", "k", "v");
    EXPECT_FALSE(ini.LastWriteOk());
    EXPECT_NE(ini.LastError().find("/nonexistent-folder/x.ini"), std::string::npos);
}
