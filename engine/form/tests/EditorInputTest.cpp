// The editor source: which lines a run reads from the editor window, where
// it starts, labels, levels, the lock while running and the flash.

#include "engine/form/EditorInput.h"
#include "engine/form/tests/MemoryEditor.h"
#include "platform/EventLoop.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct TRead {
    int Position;
    std::string Line;
    int LineNumber;
    int Level;
};

class EditorInputTest : public ::testing::Test {
protected:
    EditorInputTest()
        : Input(nullptr, [this] {
              auto window = std::make_unique<test::TMemoryEditor>();
              Windows.push_back(window.get());
              return window;
          })
    {
    }
    TRead Next()
    {
        TRead r;
        r.Position = Input.ReadLine(r.Line, r.LineNumber, r.Level);
        return r;
    }
    test::TMemoryEditor &Main() { return *Windows[0]; }

    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    std::vector<test::TMemoryEditor *> Windows;
    TEditorInput Input;
};

TEST_F(EditorInputTest, ThreeLinesThenTheEnd)
{
    Main().Text = "G00 X1\nG01 X2\nM30";
    TRead a = Next(), b = Next(), c = Next(), end = Next();
    EXPECT_EQ(a.Position, 0);
    EXPECT_EQ(a.Line, "G00 X1");
    EXPECT_EQ(b.Position, 7);
    EXPECT_EQ(b.LineNumber, 2);
    EXPECT_EQ(c.Position, 14);
    EXPECT_EQ(c.Line, "M30");
    EXPECT_EQ(c.LineNumber, 3);
    EXPECT_EQ(end.Position, EndOfMainProgram);
}

TEST_F(EditorInputTest, EmptyProgramEndsAtOnce)
{
    EXPECT_EQ(Next().Position, EndOfMainProgram);
}

std::string TwelveLines()
{
    std::string text;
    for (int i = 1; i <= 12; ++i)
        text += "G01 X" + std::to_string(i) + (i < 12 ? "\n" : "");
    return text;
}

TEST_F(EditorInputTest, RunStartsAtTheCaretsLine)
{
    Main().Text = TwelveLines();
    Main().Start = Main().LineStart(9) + 2; // caret inside line 10
    TRead first = Next();
    EXPECT_EQ(first.Line, "G01 X10");
    EXPECT_EQ(first.LineNumber, 10);
    EXPECT_EQ(Next().LineNumber, 11);
}

TEST_F(EditorInputTest, SelectionOrCaretAtStartRunsFromLineOne)
{
    struct TCase {
        const char *Name;
        int Start;
        int Length;
    } cases[] = {{"caret at the very start", 0, 0}, {"a selection on line 10", 70, 3}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Main().Text = TwelveLines();
        Input.Rewind();
        Main().Start = c.Start, Main().Length = c.Length;
        TRead first = Next();
        EXPECT_EQ(first.LineNumber, 1);
        EXPECT_EQ(first.Line, "G01 X1");
    }
}

TEST_F(EditorInputTest, FindsLabelsByTheirNumber)
{
    Main().Text = "N10 G00 X0\nN200 G01 X1\nn20 G01 X2\nN20 X3";
    EXPECT_EQ(Input.FindLabel("N20"), 2) << "lower case letter found when the written one is not";
    Main().Text = "N10 G00 X0\nN200 G01 X1";
    EXPECT_EQ(Input.FindLabel("N20"), -1);
    EXPECT_EQ(Input.FindLabel("N200"), 1);
}

TEST_F(EditorInputTest, RunningLocksTextAndMenu)
{
    Input.SetCycleState(csRunning);
    EXPECT_TRUE(Main().ReadOnly);
    EXPECT_FALSE(Main().MenuEnabled);
    Input.SetCycleState(csStopped);
    EXPECT_FALSE(Main().ReadOnly);
    EXPECT_TRUE(Main().MenuEnabled);
}

TEST_F(EditorInputTest, SubProgramRunsInAWindowRightOfTheFirst)
{
    Main().Text = "M98 P1\nM30";
    Next();
    EXPECT_TRUE(Input.PushLevel(0));
    ASSERT_EQ(Windows.size(), 2u);
    EXPECT_EQ(Windows[1]->Box.Left, Main().Box.Left + Main().Box.Width);
    EXPECT_EQ(Windows[1]->Box.Top, Main().Box.Top);
    Windows[1]->Text = "G01 X5\nM99";
    TRead sub = Next();
    EXPECT_EQ(sub.Line, "G01 X5");
    EXPECT_EQ(sub.Level, 1);
    Input.HiliteLine(sub.Position, 1);
    EXPECT_EQ(Windows[1]->Length, 6);
    EXPECT_EQ(Next().Line, "M99");
    EXPECT_EQ(Next().Position, EndOfLevel);
    Input.RewindLevel(1);
    Input.DecLevel();
    EXPECT_EQ(Next().Line, "M30");
    Input.Rewind();
    EXPECT_EQ(Input.EditorCount(), 1);
}

TEST_F(EditorInputTest, HiliteSelectsTheLineEvenWhenEmpty)
{
    Main().Text = "G00 X1\n\nM30";
    Main().Focus = true;
    Input.HiliteLine(7, 0);
    EXPECT_FALSE(Main().Focus);
    EXPECT_EQ(Main().Start, 7);
    EXPECT_EQ(Main().Length, 1);
}

TEST_F(EditorInputTest, FlashSelectsTheLineThreeTimesOnTheClock)
{
    Main().Text = "G00 X1\nG01 Y2\nM30";
    Input.FlashLine(1);
    std::vector<int> lengths{Main().Length};
    for (int i = 0; i < 4; ++i) {
        Loop.Advance(250);
        lengths.push_back(Main().Length);
    }
    EXPECT_EQ(lengths, (std::vector<int>{6, 0, 6, 0, 6}));
    EXPECT_EQ(Main().Start, 7);
    Loop.Advance(1000);
    EXPECT_FALSE(Input.Flashing());
    EXPECT_EQ(Main().Length, 6);
}

TEST_F(EditorInputTest, ValuesReachEveryWindow)
{
    Input.SetUnits(Inch);
    Input.SetMachineName("MILL1");
    Input.SetToolCount(8);
    Input.SetBillet({100, 50, 20, 0});
    Input.PushLevel(0);
    ASSERT_EQ(Windows.size(), 2u);
    for (auto *w : Windows) {
        EXPECT_EQ(w->Units, Inch);
        EXPECT_EQ(w->MachineName, "MILL1");
        EXPECT_EQ(w->ToolCount, 8);
        EXPECT_EQ(w->Billet.X, 100);
    }
    int changes = 0;
    Input.OnChange = [&changes](TObject *) { ++changes; };
    Windows[1]->Changed(nullptr);
    EXPECT_EQ(changes, 1);
}

TEST_F(EditorInputTest, StateFollowsTheCaretsLine)
{
    Main().Text = "G00 X1\nG01 X2\nM30";
    struct {
        int Line;
        int State;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Line);
        Main().SetCaretLine(c.Line);
        EXPECT_EQ(Input.GetState(), c.State);
    }
}

TEST_F(EditorInputTest, GotoLineContinuesThere)
{
    Main().Text = "G00 X1\nG01 X2\nG01 X3";
    int line = 2;
    Input.GotoLine(line);
    TRead r = Next();
    EXPECT_EQ(r.Line, "G01 X3");
    EXPECT_EQ(r.LineNumber, 3);
}

} // namespace
} // namespace orv
