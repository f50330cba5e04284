#include "platform/Paths.h"

#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace orv;

TEST(Paths, BackslashesAndDoubledSeparatorsAreNormalised)
{
    EXPECT_EQ(NormalisePath("C:\\\\NC\\\\prog.fnc"), "C:/NC/prog.fnc");
    EXPECT_EQ(NormalisePath("a//b\\c"), "a/b/c");
}

TEST(Paths, ExistingFilesAreFoundWhateverTheirCase)
{
    test::TTempDir dir;
    std::filesystem::create_directory(dir.File("Tools"));
    dir.Write("Tools/Cycles.INI", "x");
    EXPECT_EQ(FindFileNoCase(dir.File("tools/cycles.ini")), dir.File("Tools/Cycles.INI"));
    EXPECT_TRUE(FileExistsNoCase(dir.Path() + "TOOLS\\CYCLES.ini"));
    EXPECT_FALSE(FileExistsNoCase(dir.File("tools/missing.ini")));
}

TEST(Paths, PartsAndExtensions)
{
    EXPECT_EQ(ChangeFileExt("/a/b.c/prog.fnc", ".bmp"), "/a/b.c/prog.bmp");
    EXPECT_EQ(ChangeFileExt("/a/prog.jpeg", ".bmp"), "/a/prog.bmp");
    EXPECT_EQ(ChangeFileExt("/a/prog", ".bmp"), "/a/prog.bmp");
    EXPECT_EQ(ExtractFileName("dir\\x.fnc"), "x.fnc");
    EXPECT_EQ(ExtractFilePath("/a/b/x.fnc"), "/a/b/");
    EXPECT_EQ(ExtractFileExt("/a.b/x"), "");
    EXPECT_EQ(IncludeTrailingDelimiter("/a"), "/a/");
}

TEST(Paths, TheProgramFolderCanBeTheInstallationsFolder)
{
    std::string exeFolder = ProgramFolder();
    ::setenv("ORVELLAN_PROGRAM_DIR", "/opt/orvellan", 1);
    EXPECT_EQ(ProgramFolder(), "/opt/orvellan/");
    ::unsetenv("ORVELLAN_PROGRAM_DIR");
    EXPECT_EQ(ProgramFolder(), exeFolder);
    EXPECT_NE(exeFolder.find("platform"), std::string::npos); // the test binary's folder
}
