// Splitting lines into words, joining words into lines, and the block table
// of the program memory.
#include "fanuc/FanucMemory.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv::fanuc {
namespace {

using Words = std::vector<std::string>;

TEST(SplitToWords, Table)
{
    const struct {
        const char *Name;
        std::string Line;
        Words Expected;
    } cases[] = {
        {"addresses and end of block", "G01X-10.5Y3;", {"G01", "X-10.5", "Y3", ";"}},
        {"colon is a program number", ":1234", {"O1234"}},
        {"blanks and percent separate", "% G00  X10. %", {"G00", "X10."}},
        {"lower case is upper-cased", "g1 x.5", {"G1", "X.5"}},
        {"slashed O byte 216 is zero", std::string("X1\xD8") + "0", {"X100"}},
        {"slashed O in UTF-8 is zero", "Y\xC3\x98.5", {"Y0.5"}},
        {"control characters separate", "G0\tX1\x7fY2", {"G0", "X1", "Y2"}},
        {"a lone symbol is a word", "N10 #", {"N10", "#"}},
        {"plus sign starts a number", "Z+2.", {"Z+2."}},
        {"empty line", "", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(SplitToWords(c.Line), c.Expected);
    }
}

TEST(SplitToWords, LongLetterRunsAndNumbersStopAt32Characters)
{
    const std::string letters(40, 'A');
    Words words = SplitToWords(letters);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].size(), 32u);
    EXPECT_EQ(words[1], std::string(8, 'A'));
    words = SplitToWords("X" + std::string(40, '1'));
    EXPECT_EQ(words[0].size(), 32u);
}

TEST(JoinWords, BlocksBecomeLinesWithoutTheEndMarker)
{
    EXPECT_EQ(JoinWords({"O0001", ";", "G00", "X10.", ";", "M30", ";"}),
              (Words{"O0001 ", "G00 X10. ", "M30 "}));
    EXPECT_EQ(JoinWords({"O0000", "%"}), (Words{"O0000 "}));
    EXPECT_EQ(JoinWords({"O0000", ";", "%"}, true), (Words{"O0000 ", "%"}));
    EXPECT_EQ(JoinWords({";"}), Words{});
}

TEST(FanucMemory, LinesToWordsKeepsTheBlockLines)
{
    TFanucMemory memory;
    memory.Lines = {"%", "", "O0001", "G00 X10.;G01 Z-1.", "", "M30", "%"};
    memory.LinesToWords();
    EXPECT_EQ(memory.Words, (Words{"O0001", ";", "G00", "X10.", ";", "G01", "Z-1.", ";", "M30", ";"}));
    EXPECT_EQ(memory.BlockLines, (std::vector<int>{2, 3, 3, 5}));
    EXPECT_EQ(memory.BlockOfLine(0), 0);
    EXPECT_EQ(memory.BlockOfLine(3), 2);
    EXPECT_EQ(memory.BlockOfLine(4), 2);
    EXPECT_EQ(memory.BlockOfLine(6), 3);
}

TEST(FanucMemory, AFileWithoutWordsHoldsTheLoneEndMarker)
{
    for (const Words &lines : {Words{}, Words{"%"}, Words{"", "%", "  "}}) {
        TFanucMemory memory;
        memory.Lines = lines;
        memory.LinesToWords();
        EXPECT_EQ(memory.Words, Words{";"});
        EXPECT_EQ(memory.BlockLines.size(), 1u);
    }
}

// A program written back to its file that the disk refuses part way stays
// as it was on disk; one that fits replaces it whole.
TEST(FanucMemory, WritingLinesReplacesTheFileOrLeavesItWhole)
{
    test::TTempDir dir;
    const std::string name = dir.Write("O1234.fnc", "O1234\r\nG00 X10.\r\nM30\r\n");
    const std::vector<std::string> longer(200, "G01 X123.456 Y654.321 F500.");
    {
        test::TFileSizeLimit limit(512);
        EXPECT_FALSE(WriteLines(name, longer));
    }
    EXPECT_EQ(dir.Read("O1234.fnc"), "O1234\r\nG00 X10.\r\nM30\r\n");
    EXPECT_TRUE(WriteLines(name, {"O1234", "M30"}));
    EXPECT_EQ(dir.Read("O1234.fnc"), "O1234\r\nM30\r\n");
}

} // namespace
} // namespace orv::fanuc
