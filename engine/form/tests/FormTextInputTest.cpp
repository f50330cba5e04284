// The headless host's program source: the editor source's reading rules
// over a file that streams from disk.

#include "engine/form/TextInput.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace orv {
namespace {

struct TRead {
    int Position;
    std::string Line;
    int LineNumber;
    int Level;
};

TRead Next(TTextInput &In)
{
    TRead r;
    r.Position = In.ReadLine(r.Line, r.LineNumber, r.Level);
    return r;
}

TEST(FormTextInput, EveryLineRunsAndTheEndComesAfterTheLast)
{
    test::TTempDir dir;
    std::string path = dir.Write("p.fnc", "G00 X1\r\nG01\tX2\nM30");
    TTextInput in;
    ASSERT_TRUE(in.LoadFile(path));
    TRead a = Next(in), b = Next(in), c = Next(in), end = Next(in);
    EXPECT_EQ(a.Position, 0);
    EXPECT_EQ(a.Line, "G00 X1");
    EXPECT_EQ(b.Position, 8);
    EXPECT_EQ(b.Line, "G01X2") << "control characters are dropped";
    EXPECT_EQ(c.Line, "M30");
    EXPECT_EQ(c.LineNumber, 3);
    EXPECT_EQ(end.Position, -1);
    EXPECT_EQ(in.GetState(), 2);
    in.Rewind();
    EXPECT_EQ(Next(in).Line, "G00 X1");
}

TEST(FormTextInput, NestedLevelEndsWithMinusTwo)
{
    test::TTempDir dir;
    std::string main = dir.Write("m.fnc", "M98 P1\nG00 X9\n");
    std::string sub = dir.Write("0001.fnc", "G00 X5\n");
    TTextInput in;
    ASSERT_TRUE(in.LoadFile(main));
    Next(in);
    EXPECT_TRUE(in.PushLevel(0));
    ASSERT_TRUE(in.LoadFile(sub));
    TRead s = Next(in);
    EXPECT_EQ(s.Line, "G00 X5");
    EXPECT_EQ(s.Level, 1);
    EXPECT_EQ(Next(in).Position, -2);
    in.RewindLevel(1);
    in.DecLevel();
    EXPECT_EQ(Next(in).Line, "G00 X9");
    EXPECT_FALSE(in.PushLevel(0)) << "the level holder is reused";
}

TEST(FormTextInput, LabelsLinesAndJumps)
{
    test::TTempDir dir;
    std::string path = dir.Write("l.fnc", "N10 G00\nN200 X1\nn20 X2\nN20 X3\n");
    TTextInput in;
    ASSERT_TRUE(in.LoadFile(path));
    EXPECT_EQ(in.FindLabel("N20"), 2) << "lower case after upper case; N200 is no match";
    EXPECT_EQ(in.FindLabel("N30"), -1);
    std::string text;
    in.GetLine(3, text);
    EXPECT_EQ(text, "N20 X3");
    in.GetLine(9, text);
    EXPECT_EQ(text, "");
    int line = 2;
    in.GotoLine(line);
    TRead r = Next(in);
    EXPECT_EQ(r.Line, "n20 X2");
    EXPECT_EQ(r.LineNumber, 3);
}

TEST(FormTextInput, RefusesCompiledAndMissingFiles)
{
    test::TTempDir dir;
    TTextInput in;
    std::string xnc = dir.Write("a.xnc", "");
    std::string missing = dir.File("none.fnc");
    EXPECT_FALSE(in.LoadFile(xnc));
    EXPECT_FALSE(in.LoadFile(missing));
    EXPECT_EQ(Next(in).Position, -1);
}

// One line model for reading, jumping and label lookup: whatever ends a
// line when it runs ends it when a label is looked up, so a jump lands on
// the labelled line.
TEST(FormTextInput, LineEndsAreTheSameForReadingAndLabels)
{
    struct TCase {
        const char *Name;
        std::string Content;
        std::vector<std::string> Lines;
    } cases[] = {
        {"LF", "X10\nN20 X20\nY5\nM30\n", {"X10", "N20 X20", "Y5", "M30"}},
        {"CR alone, as old controllers write", "X10\rN20 X20\rY5\rM30\r",
         {"X10", "N20 X20", "Y5", "M30"}},
        {"CR LF once", "X10\r\nN20 X20\r\nY5\r\nM30", {"X10", "N20 X20", "Y5", "M30"}},
        {"a zero byte", std::string("X10\0N20 X20\nY5\nM30\n", 19),
         {"X10", "N20 X20", "Y5", "M30"}},
        {"LF CR is two ends", "X10\n\rN20 X20\nM30", {"X10", "", "N20 X20", "M30"}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        test::TTempDir dir;
        TTextInput in;
        std::string path = dir.Write("p.fnc", c.Content);
        ASSERT_TRUE(in.LoadFile(path));
        std::vector<std::string> lines;
        for (TRead r = Next(in); r.Position >= 0; r = Next(in))
            lines.push_back(r.Line);
        EXPECT_EQ(lines, c.Lines);
        int label = in.FindLabel("N20");
        ASSERT_NE(label, -1);
        EXPECT_EQ(lines.at(label), "N20 X20");
        std::string text;
        in.GetLine(label, text);
        EXPECT_EQ(text, "N20 X20");
        in.GotoLine(label);
        TRead jumped = Next(in);
        EXPECT_EQ(jumped.Line, "N20 X20");
        EXPECT_EQ(jumped.LineNumber, label + 1);
    }
}

TEST(FormTextInput, AFolderIsNoProgram)
{
    test::TTempDir dir;
    std::filesystem::create_directory(dir.File("folder.fnc"));
    std::string folder = dir.File("folder.fnc");
    TTextInput in;
    EXPECT_FALSE(in.LoadFile(folder)) << "refused at the start, not thrown at the first read";
    EXPECT_EQ(Next(in).Position, -1);
}

} // namespace
} // namespace orv
