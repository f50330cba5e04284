// The MDI source over the memo's text: reading with CR LF offsets (every
// line runs, a final line without a line end too, the end once no text is
// left), the 100-line limit on keys and pastes, labels, and the running
// line shown as the memo's selection.

#include "engine/chain/MDIInput.h"

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

namespace orv {
namespace {

struct TRead {
    int Position;
    std::string Line;
};

std::vector<TRead> ReadAll(TMDIInput &Input)
{
    std::vector<TRead> reads;
    for (int guard = 0; guard < 300; ++guard) {
        std::string line;
        int number = 0, level = 7;
        int at = Input.ReadLine(line, number, level);
        EXPECT_EQ(level, 0);
        reads.push_back({at, line});
        if (at < 0)
            break;
    }
    return reads;
}

std::string Lines(int Count)
{
    std::string text;
    for (int i = 1; i <= Count; ++i)
        text += (i > 1 ? "\r\n" : "") + std::string("G01 X") + std::to_string(i);
    return text;
}

TEST(ChainMDITest, ReadsEveryLineWithItsOffsetAndEndsOnceNoTextIsLeft)
{
    struct TCase {
        const char *Name;
        const char *Text;
        std::vector<TRead> Reads;
    };
    const TCase cases[] = {
        {"two blocks", "G00 X10\r\nM03", {{0, "G00 X10"}, {9, "M03"}, {-1, ""}}},
        {"typed with LF only", "G00 X10\nM03", {{0, "G00 X10"}, {9, "M03"}, {-1, ""}}},
        {"an empty middle line runs", "G00 X1\r\n\r\nM03",
         {{0, "G00 X1"}, {8, ""}, {10, "M03"}, {-1, ""}}},
        {"an empty memo ends at once", "", {{-1, ""}}},
        {"a final one-character line runs", "G00 X1\r\nM", {{0, "G00 X1"}, {8, "M"}, {-1, ""}}},
        {"a trailing line end adds no line", "M03\r\n", {{0, "M03"}, {-1, ""}}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TMDIInput input;
        input.TextChanged(c.Text);
        std::vector<TRead> reads = ReadAll(input);
        ASSERT_EQ(reads.size(), c.Reads.size());
        for (size_t i = 0; i < reads.size(); ++i) {
            EXPECT_EQ(reads[i].Position, c.Reads[i].Position) << i;
            EXPECT_EQ(reads[i].Line, c.Reads[i].Line) << i;
        }
    }
}

// The stages read ahead past the end: those reads get the end again, never
// a second pass of the memo (whose macro assignments would run again).
TEST(ChainMDITest, ReadsAfterTheEndGetTheEndUntilANewPassStarts)
{
    TMDIInput input;
    input.TextChanged("G00 X10\r\nM03");
    ReadAll(input);
    EXPECT_EQ(input.ReadPos(), -1);
    for (int i = 0; i < 3; ++i) {
        std::string line = "x";
        int number = 0, level = 0;
        EXPECT_EQ(input.ReadLine(line, number, level), -1);
        EXPECT_EQ(line, "");
    }
    struct TRestart {
        const char *Name;
        std::function<void(TMDIInput &)> Start;
    };
    const TRestart restarts[] = {
        {"rewound", [](TMDIInput &I) { I.Rewind(); }},
        {"stopped", [](TMDIInput &I) { I.SetCycleState(csStopped); }},
        {"rewind state", [](TMDIInput &I) { I.SetCycleState(csRewind); }},
    };
    for (const TRestart &r : restarts) {
        SCOPED_TRACE(r.Name);
        ReadAll(input);
        r.Start(input);
        std::vector<TRead> again = ReadAll(input);
        ASSERT_EQ(again.size(), 3u);
        EXPECT_EQ(again[0].Position, 0);
    }

    std::string line;
    int number = 0, level = 0;
    input.ReadLine(line, number, level);
    EXPECT_EQ(number, 1);
    input.TextChanged("M05\r\nM03");
    EXPECT_EQ(input.ReadPos(), 0);
    EXPECT_EQ(input.ReadLine(line, number, level), 0);
    EXPECT_EQ(line, "M05");
    EXPECT_EQ(number, 1);
}

class ChainMDILimitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Input.OnChange = [this](TObject *, const std::string &Text) { Changes.push_back(Text); };
    }
    TMDIInput Input;
    std::vector<std::string> Changes;
};

TEST_F(ChainMDILimitTest, EnterOnTheHundredthLineIsRefused)
{
    const int Enter = 13;
    Input.TextChanged(Lines(99));
    EXPECT_FALSE(Input.RefuseKey(Enter)) << "the 100th line may still be started";
    Input.TextChanged(Lines(100));
    EXPECT_FALSE(Input.RefuseKey('X')) << "typing on the last line goes on";
    Changes.clear();
    EXPECT_TRUE(Input.RefuseKey(Enter));
    ASSERT_EQ(Changes.size(), 1u);
    EXPECT_EQ(Changes[0], "Reached MDI Line Limit");
}

TEST_F(ChainMDILimitTest, APasteOfHundredAndFiftyLinesKeepsTheFirstHundred)
{
    Input.TextChanged(Lines(150));
    EXPECT_TRUE(Changes.empty()) << "no change is reported above the limit";
    EXPECT_TRUE(Input.RefuseKey('A')) << "any key is refused above the limit";
    Changes.clear();
    Input.CutToLineLimit();
    EXPECT_EQ(Input.Lines(), 100);
    EXPECT_EQ(Input.Text(), Lines(100));
    ASSERT_FALSE(Changes.empty());
    EXPECT_EQ(Changes.back(), "");
}

class TFakeMemo : public TMDIMemoView {
public:
    explicit TFakeMemo(std::string &Log) : FLog(Log) {}
    void SetText(const std::string &Text) override { FLog += "text;"; }
    void SetSelection(int Start, int Length) override
    {
        FLog += "select " + std::to_string(Start) + "," + std::to_string(Length) + ";";
    }
    void ClearSelection() override { FLog += "clear;"; }
    void SetFocus() override { FLog += "focus;"; }
    void Place(int, int, int, int) override {}
    void Show() override {}
    void SetMCodeItems(const std::vector<std::pair<std::string, int>> &) override {}

private:
    std::string &FLog;
};

TEST(ChainMDITest, TheRunningLineAndAFlashedLineAreSelectedInTheMemo)
{
    std::string log;
    TMDIInput input;
    input.SetView(std::make_unique<TFakeMemo>(log));
    input.TextChanged("G00 X10\r\nM03\r\nN20 G01 X5");
    log.clear();
    input.HiliteLine(9, 0);
    input.HiliteLine(14, 0);
    EXPECT_EQ(log, "select 9,3;select 14,10;") << "up to the CR, the last line to the end";
    log.clear();
    input.FlashLine(2);
    EXPECT_EQ(log, "focus;select 14,10;");
    EXPECT_EQ(input.FindLabel("N20"), 2);
    EXPECT_EQ(input.FindLabel("N30"), -1);
    std::string text;
    input.GetLine(1, text);
    EXPECT_EQ(text, "M03");
}

// The memo is read-only while the cycle runs or is paused; a change that
// still reaches the source then (a line added at the end after three were
// handed to the stages) keeps those three read, and the run goes on with
// the fourth. Once stopped, the memo is open again and a change starts
// from the first line.
TEST(ChainMDITest, AChangeDuringTheCycleRunsNoBlockTwiceAndTheMemoIsReadOnlyMeanwhile)
{
    class TLockMemo : public TFakeMemo {
    public:
        TLockMemo(std::string &Log, bool &Locked) : TFakeMemo(Log), FLocked(Locked) {}
        void SetReadOnly(bool ReadOnly) override { FLocked = ReadOnly; }

    private:
        bool &FLocked;
    };
    for (TCycleState state : {csRunning, csPaused}) {
        SCOPED_TRACE(state == csRunning ? "running" : "paused");
        std::string log;
        bool locked = false;
        TMDIInput input;
        input.SetView(std::make_unique<TLockMemo>(log, locked));
        input.TextChanged(Lines(5));
        EXPECT_FALSE(locked);
        input.SetCycleState(csRunning);
        EXPECT_TRUE(locked);
        std::string line;
        int number = 0, level = 0;
        for (int i = 0; i < 3; ++i)
            input.ReadLine(line, number, level);
        ASSERT_EQ(line, "G01 X3");
        input.SetCycleState(state);
        EXPECT_TRUE(locked);
        input.TextChanged(Lines(5) + "\r\nM05");
        std::vector<TRead> rest = ReadAll(input);
        ASSERT_EQ(rest.size(), 4u);
        EXPECT_EQ(rest[0].Line, "G01 X4");
        EXPECT_EQ(rest[1].Line, "G01 X5");
        EXPECT_EQ(rest[2].Line, "M05");
        EXPECT_EQ(rest[3].Position, -1);
        // A change after the end was reported keeps the end.
        input.TextChanged(Lines(6));
        EXPECT_EQ(input.ReadLine(line, number, level), -1);

        input.SetCycleState(csStopped);
        EXPECT_FALSE(locked);
        input.ReadLine(line, number, level);
        input.TextChanged(Lines(2));
        EXPECT_EQ(input.ReadPos(), 0) << "stopped: the next start reads from the top";
    }
}

TEST(ChainMDITest, SetupAppendsTheKeptLinesAndSaveLinesGivesThemBack)
{
    TMDIInput input;
    input.SetupMenus({}, {"G00 X10", "", "M03"});
    EXPECT_EQ(input.Text(), "G00 X10\r\n\r\nM03");
    std::vector<std::string> saved;
    input.SaveLines(saved);
    EXPECT_EQ(saved, (std::vector<std::string>{"G00 X10", "", "M03"}));
    input.NewFile();
    input.SaveLines(saved);
    EXPECT_TRUE(saved.empty());
}

} // namespace
} // namespace orv
