// The ".col" file of the colour dialog's custom colours.
#include "platform/CustomColours.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(CustomColours, WrittenAndReadBack)
{
    test::TTempDir dir;
    TCustomColours colours;
    colours.fill(-1);
    colours[0] = 0x0000FF;  // red as a colour value
    colours[15] = 0xFFFFFF;
    colours[7] = 0x123456;
    ASSERT_TRUE(WriteCustomColours(dir.File("Tarnwick.col"), colours));
    EXPECT_EQ(dir.Read("Tarnwick.col"), "ColorA=0000FF\r\nColorH=123456\r\nColorP=FFFFFF\r\n");
    EXPECT_EQ(ReadCustomColours(dir.File("Tarnwick.col")), colours);
}

TEST(CustomColours, BadEntriesAndMissingFilesAreIgnored)
{
    test::TTempDir dir;
    dir.Write("Tarnwick.col", "ColorB=00ff80\n"   // lower case, LF only
                              "ColorC=zz0000\r\n" // no number
                              "ColorD=1000000\r\n" // more than a colour
                              "ColorQ=000001\r\n" // no such entry
                              "Colour=000002\r\n"
                              "ColorE=\r\n"
                              "ColorF=-1\r\n"
                              "ColorG=0000000000000000001\r\n"
                              "garbage\r\n"
                              "ColorA=0000ff\r\n");
    TCustomColours expected;
    expected.fill(-1);
    expected[0] = 0x0000FF;
    expected[1] = 0x00FF80;
    EXPECT_EQ(ReadCustomColours(dir.File("Tarnwick.col")), expected);

    TCustomColours none;
    none.fill(-1);
    EXPECT_EQ(ReadCustomColours(dir.File("missing.col")), none);
    EXPECT_EQ(ReadCustomColours(dir.Path()), none) << "a folder is no file";
    EXPECT_FALSE(WriteCustomColours(dir.File("no/such/folder.col"), expected));
}

TEST(CustomColours, AFailedWriteKeepsTheOldColours)
{
    test::TTempDir dir;
    const std::string old = dir.Write("Tarnwick.col", "ColorA=0000FF\r\n");
    TCustomColours colours;
    colours.fill(0x123456);
    {
        test::TFileSizeLimit limit(20);
        EXPECT_FALSE(WriteCustomColours(old, colours));
    }
    EXPECT_EQ(dir.Read("Tarnwick.col"), "ColorA=0000FF\r\n");
}

} // namespace
} // namespace orv
