// The program-source contract and the file source: lines, line numbers and
// the end of the program, read errors, nested levels, the open dialog and
// what the progress windows show.

#include "engine/chain/EngineHost.h"
#include "engine/chain/FileInput.h"
#include "engine/chain/tests/FailingFile.h"
#include "platform/MessageService.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

using orv::test::TTempDir;

struct TRead {
    std::string Line;
    int Number;
    int Result;
};

// Every ReadLine up to and including the first negative result.
std::vector<TRead> ReadAll(TBasicInput &Input)
{
    std::vector<TRead> Out;
    for (int Guard = 0; Guard < 100; ++Guard) {
        TRead R{"", 0, 0};
        int Level = -1;
        R.Result = Input.ReadLine(R.Line, R.Number, Level);
        Out.push_back(R);
        if (R.Result < 0)
            break;
    }
    return Out;
}

class TFakeExpanded : public TExpandedView {
public:
    explicit TFakeExpanded(std::vector<std::string> &Log) : FLog(Log) {}
    void SetCode(const std::string &Text) override { FLog.push_back("code " + Text); }
    void Show() override { FLog.push_back("show"); }
    void Hide() override { FLog.push_back("hide"); }

private:
    std::vector<std::string> &FLog;
};

TEST(ChainSource, ASourceThatImplementsNothingIsAnEmptyProgram)
{
    TBasicInput Input;
    std::string Line = "old";
    int Number = 5, Level = 5;
    EXPECT_EQ(Input.ReadLine(Line, Number, Level), EndOfMainProgram);
    EXPECT_TRUE(Line.empty());
    EXPECT_EQ(Input.GetState(), 0);
    EXPECT_EQ(Input.FindLabel("N100"), -1);
    std::string Name = "x.fnc";
    EXPECT_FALSE(Input.LoadFile(Name));
    Input.SaveFileAs(Name);
    EXPECT_TRUE(Name.empty());
    TCompiledRecord Rec{};
    EXPECT_FALSE(Input.ReadRecord(Rec));
    EXPECT_FALSE(Input.PushLevel(0));
    // No expanded-code strip: showing and hiding do nothing.
    Input.ShowExpanded(false);
    Input.HideExpanded();
    Input.ShowExpandedText("G1 X1");
    Input.SetCycleState(csRunning);
    EXPECT_EQ(Input.CycleState(), csRunning);
}

TEST(ChainSource, TheExpandedCodeStrip)
{
    std::vector<std::string> Log;
    TBasicInput Input;
    Input.Expanded = std::make_unique<TFakeExpanded>(Log);
    Input.ShowExpandedText("G01 X1.000 ");
    Input.ShowExpanded(true);
    Input.ShowExpanded(false);
    const std::vector<std::string> Expected = {"code G01 X1.000 ", "show", "hide"};
    EXPECT_EQ(Log, Expected);
}

TEST(ChainSource, StoredEvents)
{
    TBasicInput Input;
    int Selected = -1, Shown = -1;
    Input.SetLineSelectChanged([&](TObject *, int Line) { Selected = Line; });
    Input.SetOnHiliteOutput([&](TObject *, int Line) { Shown = Line; });
    Input.OnLineSelectChanged(&Input, 4);
    Input.OnHiliteOutput(&Input, 7);
    EXPECT_EQ(Selected, 4);
    EXPECT_EQ(Shown, 7);
}

struct TFileCase {
    const char *Name;
    std::string Content;
    std::vector<TRead> Expected;
};

TEST(ChainFileSource, LinesAndTheEnd)
{
    const TFileCase Cases[] = {
        {"three lines with LF",
         "G0 X1\nG1 X2\nM30\n",
         {{"G0 X1", 1, 6}, {"G1 X2", 2, 12}, {"M30", 3, 16}, {"", 3, EndOfMainProgram}}},
        {"CR LF ends one line", "N1\r\nN2\r\n", {{"N1", 1, 4}, {"N2", 2, 8}, {"", 2, -1}}},
        {"CR alone ends a line, as old controllers write",
         "X10\rX20\rY5\rM30\r",
         {{"X10", 1, 4}, {"X20", 2, 8}, {"Y5", 3, 11}, {"M30", 4, 15}, {"", 4, -1}}},
        {"LF CR is two line ends", "A\n\rB", {{"A", 1, 2}, {"", 2, 3}, {"B", 3, 4}, {"", 3, -1}}},
        {"no final line break", "N1\nM30", {{"N1", 1, 3}, {"M30", 2, 6}, {"", 2, -1}}},
        {"empty file", "", {{"", 0, -1}}},
        {"tab and control characters dropped", "G1\tX1\x07;\n", {{"G1X1;", 1, 8}, {"", 1, -1}}},
        {"a zero byte ends a line",
         std::string("A\0B\n", 4),
         {{"A", 1, 2}, {"B", 2, 4}, {"", 2, -1}}},
        {"empty lines are lines", "\n\nX\n", {{"", 1, 1}, {"", 2, 2}, {"X", 3, 4}, {"", 3, -1}}},
    };
    for (const TFileCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TTempDir Dir;
        TFileInput Input;
        std::string Name = Dir.Write("PART.FNC", C.Content);
        ASSERT_TRUE(Input.LoadFile(Name));
        const std::vector<TRead> Got = ReadAll(Input);
        ASSERT_EQ(Got.size(), C.Expected.size());
        for (size_t i = 0; i < Got.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(Got[i].Line, C.Expected[i].Line);
            EXPECT_EQ(Got[i].Number, C.Expected[i].Number);
            EXPECT_EQ(Got[i].Result, C.Expected[i].Result);
        }
    }
}

TEST(ChainFileSource, StatusPanelsStateAndRewind)
{
    TTempDir Dir;
    TFileInput Input;
    std::string Name = Dir.Write("part.fnc", "N1\nN2\nN3\n");
    EXPECT_EQ(Input.GetState(), 0);
    ASSERT_TRUE(Input.LoadFile(Name));
    EXPECT_EQ(Input.Current().Caption(), "File Input - " + Name);
    EXPECT_EQ(Input.Current().Maximum(), 9);
    EXPECT_EQ(Input.GetState(), 0);

    std::string Line;
    int Number = 0, Level = -1;
    EXPECT_EQ(Input.ReadLine(Line, Number, Level), 3);
    EXPECT_EQ(Level, 0);
    EXPECT_EQ(Input.Current().Panel(0), "Line Number = 1");
    EXPECT_EQ(Input.Current().Panel(1), "Current Line = N1");
    EXPECT_EQ(Input.Current().Position(), 3);
    EXPECT_EQ(Input.GetState(), 1);
    Input.ReadLine(Line, Number, Level);
    EXPECT_EQ(Input.ReadLine(Line, Number, Level), 9);
    EXPECT_EQ(Line, "N3");
    EXPECT_EQ(Input.GetState(), 2);
    EXPECT_EQ(Input.ReadLine(Line, Number, Level), EndOfMainProgram);
    EXPECT_EQ(Input.Current().Panel(1), "Total Lines = 3");
    EXPECT_EQ(Input.Current().Panel(0), "Done");

    Input.Rewind();
    EXPECT_EQ(Input.Current().Panel(0), "");
    EXPECT_EQ(Input.Current().Position(), 0);
    EXPECT_EQ(ReadAll(Input).size(), 4u); // the same three lines and the end
}

TEST(ChainFileSource, FilesThatCannotBeRun)
{
    TTempDir Dir;
    TFileInput Input;
    struct TCase {
        const char *Name;
        std::string File;
    } Cases[] = {
        {"missing file", Dir.File("none.fnc")},
        {"a folder", Dir.Path() + "."},
        {"compiled file", Dir.Write("p.xnc", "x")},
        {"compiled file in capitals", Dir.Write("P2.XNC", "x")},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        std::string Name = C.File;
        EXPECT_FALSE(Input.LoadFile(Name));
        EXPECT_EQ(Input.GetState(), 0);
        std::string Line;
        int Number = 0, Level = 0;
        EXPECT_EQ(Input.ReadLine(Line, Number, Level), EndOfMainProgram);
    }
}

TEST(ChainFileSource, TheOpenDialog)
{
    TTempDir Dir;
    const std::string Program = Dir.Write("a.fnc", "G0 X0\n");
    const std::string Compiled = Dir.Write("a.xnc", "x");
    struct TCase {
        const char *Name;
        std::string Answer;
        bool Loaded;
    } Cases[] = {
        {"a program", Program, true},
        {"a compiled file", Compiled, false},
        {"cancelled", "", false},
    };
    for (const TCase &C : Cases) {
        SCOPED_TRACE(C.Name);
        TScriptedMessages Script;
        TMessageServiceScope Scope(Script);
        Script.Answer(C.Answer);
        TFileInput Input;
        std::string Name = Dir.Path();
        EXPECT_EQ(Input.LoadFile(Name), C.Loaded);
        ASSERT_EQ(Script.Log().size(), 1u);
        EXPECT_EQ(Script.Log()[0].Kind, "file");
        EXPECT_EQ(Script.Log()[0].Caption, "Open CNC File");
        if (!C.Answer.empty())
            EXPECT_EQ(Name, C.Answer);
    }
}

using test::TFailingInput;

TEST(ChainFileSource, AReadErrorIsAnErrorNotTheEnd)
{
    TFailingInput Input;
    std::string Name = "/disk/part.fnc";
    ASSERT_TRUE(Input.LoadFile(Name));
    const std::vector<TRead> Got = ReadAll(Input);
    ASSERT_EQ(Got.size(), 2u);
    EXPECT_EQ(Got[0].Line, "G1 X1");
    EXPECT_EQ(Got[1].Result, ReadLineFailed);
    EXPECT_EQ(Input.LastError(), "Error reading file /disk/part.fnc");
    EXPECT_EQ(Input.Current().Panel(1), Input.LastError());
    // Afterwards the program has ended, so no caller loops on the error.
    std::string Line;
    int Number = 0, Level = 0;
    EXPECT_EQ(Input.ReadLine(Line, Number, Level), EndOfMainProgram);
}

TEST(ChainFileSource, NestedLevels)
{
    TTempDir Dir;
    TFileInput Input;
    std::string Main = Dir.Write("main.fnc", "M98 P1000\nM30\n");
    std::string Sub = Dir.Write("1000.fnc", "G1 X5\nM99\n");
    ASSERT_TRUE(Input.LoadFile(Main));
    std::string Line;
    int Number = 0, Level = -1;
    Input.ReadLine(Line, Number, Level);

    EXPECT_FALSE(Input.PushLevel(3)); // no holder below it
    EXPECT_EQ(Input.LevelIndex(), 0);
    EXPECT_TRUE(Input.PushLevel(0));
    EXPECT_EQ(Input.WindowCount(), 2);
    EXPECT_EQ(Input.Current().Caption(), "File Input");
    ASSERT_TRUE(Input.LoadFile(Sub));
    EXPECT_EQ(Input.ReadLine(Line, Number, Level), 6);
    EXPECT_EQ(Level, 1);
    EXPECT_EQ(Number, 1);
    Input.ReadLine(Line, Number, Level);
    EXPECT_EQ(Line, "M99");
    EXPECT_EQ(Input.ReadLine(Line, Number, Level), EndOfLevel);

    // Repeat the sub-program, then go back to the main program.
    Input.RewindLevel(1);
    EXPECT_EQ(Input.ReadLine(Line, Number, Level), 6);
    Input.DecLevel();
    EXPECT_EQ(Input.LevelIndex(), 0);
    EXPECT_EQ(Input.ReadLine(Line, Number, Level), 14);
    EXPECT_EQ(Line, "M30");
    EXPECT_EQ(Number, 2);
    EXPECT_FALSE(Input.PushLevel(0)); // the window of level 1 is reused
    EXPECT_EQ(Input.WindowCount(), 2);
    Input.PopLevel();
    EXPECT_EQ(Input.WindowCount(), 1);
    EXPECT_EQ(Input.LevelIndex(), 0);

    Input.PushLevel(0);
    Input.Rewind();
    EXPECT_EQ(Input.WindowCount(), 1);
    EXPECT_EQ(Input.LevelIndex(), 0);
}

// A window that writes down what it is told.
class TFakeProgress : public TProgressView {
public:
    explicit TFakeProgress(std::vector<std::string> &Log) : FLog(Log) {}
    void SetCaption(const std::string &Text) override { FLog.push_back("caption " + Text); }
    void SetMaximum(long long Value) override { FLog.push_back("max " + std::to_string(Value)); }
    void SetPosition(long long Value) override { FLog.push_back("pos " + std::to_string(Value)); }
    void SetPanel(int Index, const std::string &Text) override
    {
        FLog.push_back("panel" + std::to_string(Index) + " " + Text);
    }
    void Show() override { FLog.push_back("show"); }

private:
    std::vector<std::string> &FLog;
};

TEST(ChainFileSource, TheProgressWindowShowsWhatTheSourceDoes)
{
    TTempDir Dir;
    std::vector<std::string> Log;
    int Made = 0;
    TFileInput Input(nullptr, [&] {
        ++Made;
        return std::make_unique<TFakeProgress>(Log);
    });
    EXPECT_EQ(Made, 1);
    std::string Name = Dir.Write("p.fnc", "X1\n");
    ASSERT_TRUE(Input.LoadFile(Name));
    ReadAll(Input);
    const std::vector<std::string> Expected = {"caption File Input",
                                               "caption File Input - " + Name,
                                               "max 3",
                                               "pos 0",
                                               "panel0 Line Number = 1",
                                               "panel1 Current Line = X1",
                                               "pos 3",
                                               "panel1 Total Lines = 1",
                                               "panel0 Done"};
    EXPECT_EQ(Log, Expected);
    Input.PushLevel(0);
    EXPECT_EQ(Made, 2);
}

} // namespace
} // namespace orv
