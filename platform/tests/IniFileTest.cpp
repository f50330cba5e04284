#include "platform/IniFile.h"
#include "platform/MessageService.h"

#include "TempDir.h"
#include "platform/tests/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

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

namespace {

std::string Utf16(const std::u16string &Text, bool BigEndian, bool Mark)
{
    std::u16string all = Mark ? u"\uFEFF" + Text : Text;
    std::string bytes;
    for (char16_t c : all) {
        char hi = char(c >> 8), lo = char(c & 0xFF);
        bytes += BigEndian ? hi : lo;
        bytes += BigEndian ? lo : hi;
    }
    return bytes;
}

} // namespace

// A file in UTF-16 or with a UTF-8 mark is read as text and written back in
// the encoding it came in; nothing of it is lost on the way.
TEST(IniFile, AFileKeepsItsEncoding)
{
    const std::u16string before = u"[Tools]\r\nName=Fr\u00e4ser \u00d86\r\n";
    const std::u16string after = u"[Tools]\r\nName=Fr\u00e4ser \u00d86\r\nDiameter=6\r\n";
    struct TCase {
        const char *Name;
        std::string Before;
        std::string After;
    } cases[] = {
        {"UTF-16 little endian", Utf16(before, false, true), Utf16(after, false, true)},
        {"UTF-16 big endian", Utf16(before, true, true), Utf16(after, true, true)},
        {"UTF-8 with a mark", "\xEF\xBB\xBF[Tools]\r\nName=Fr\xC3\xA4ser \xC3\x98" "6\r\n",
         "\xEF\xBB\xBF[Tools]\r\nName=Fr\xC3\xA4ser \xC3\x98" "6\r\nDiameter=6\r\n"},
        {"ANSI bytes", "[Tools]\r\nName=Fr\xE4ser \xD8" "6\r\n",
         "[Tools]\r\nName=Fr\xE4ser \xD8" "6\r\nDiameter=6\r\n"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TTempDir dir;
        TIniFile ini(dir.Write("tools.ini", c.Before));
        EXPECT_EQ(ini.ReadSection("Tools"), std::vector<std::string>{"Name"});
        ini.WriteInteger("Tools", "Diameter", 6);
        EXPECT_TRUE(ini.LastWriteOk()) << ini.LastError();
        EXPECT_EQ(dir.Read("tools.ini"), c.After);
        EXPECT_EQ(TIniFile(dir.File("tools.ini")).ReadInteger("tools", "diameter", 0), 6);
    }
    test::TTempDir dir;
    TIniFile ini(dir.Write("tools.ini", Utf16(before, false, true)));
    EXPECT_EQ(ini.ReadString("Tools", "Name", ""), "Fr\xC3\xA4ser \xC3\x98" "6")
        << "UTF-16 text reads as UTF-8";
}

// A save the disk refuses part way (here the file-size limit; a full disk or
// quota alike) leaves the file as it was, says which file, once, and keeps
// the value for the next save.
TEST(IniFile, ARefusedSaveKeepsTheFileAndIsShownOnce)
{
    test::TTempDir dir;
    std::string before = Utf16(u"[S]\r\na=1\r\n", false, true);
    std::string name = dir.Write("x.ini", before);
    TScriptedMessages messages;
    TMessageServiceScope scope(messages);
    TIniFile ini(name);
    {
        test::TFileSizeLimit limit(before.size());
        ini.WriteString("S", "b", "2");
        ini.WriteString("S", "c", "3");
    }
    EXPECT_FALSE(ini.LastWriteOk());
    EXPECT_EQ(dir.Read("x.ini"), before);
    ASSERT_EQ(messages.Log().size(), 1u);
    EXPECT_EQ(messages.Log()[0].Caption, "File Error");
    EXPECT_NE(messages.Log()[0].Text.find("Cannot write settings file " + name + ": " +
                                          std::strerror(EFBIG)),
              std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1)
        << "no temporary file stays";
    ini.WriteString("S", "d", "4");
    EXPECT_TRUE(ini.LastWriteOk());
    EXPECT_EQ(dir.Read("x.ini"), Utf16(u"[S]\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\n", false, true));
}

// The settings reached through a link (a shared machine file) stay behind
// the link, with the permissions they had.
TEST(IniFile, ASaveThroughALinkKeepsTheLinkAndTheMode)
{
    test::TTempDir dir;
    std::filesystem::create_directory(dir.File("shared"));
    const std::string real = dir.Write("shared/Tarnwick.ini", "[S]\r\na=1\r\n");
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_symlink("shared/Tarnwick.ini", dir.File("Tarnwick.ini"));
    TIniFile ini(dir.File("Tarnwick.ini"));
    ini.WriteString("S", "b", "2");
    ASSERT_TRUE(ini.LastWriteOk()) << ini.LastError();
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("Tarnwick.ini")));
    EXPECT_EQ(dir.Read("shared/Tarnwick.ini"), "[S]\r\na=1\r\nb=2\r\n");
    struct stat st {};
    ::stat(real.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}
