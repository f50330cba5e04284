// A controller whose program is not running answers no version frame: the
// worker loads the program through the command line, line by line with
// its pauses on the test clock, starts it with "RUN" and then talks frames.

#include "engine/chain/EngineHost.h"
#include "links/LowLevel.h"
#include "links/StdMint.h"
#include "links/tests/LinkRig.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

class TRecordingProgress : public TProgressView {
public:
    explicit TRecordingProgress(std::vector<std::string> &Log) : FLog(Log) {}
    void SetCaption(const std::string &Caption) override { FLog.push_back("caption " + Caption); }
    void SetMaximum(long long Maximum) override { FLog.push_back("max " + IntToStr(Maximum)); }
    void SetPosition(long long Position) override { FLog.push_back("pos " + IntToStr(Position)); }
    void SetPanel(int, const std::string &) override {}
    void Show() override { FLog.push_back("show"); }

private:
    std::vector<std::string> &FLog;
};

class LoaderTest : public ::testing::Test {
protected:
    LoaderTest() {
        Worker.Port = 1;
        Worker.Baud = 19200;
        Worker.SettingsFile = Rig.Settings;
        Worker.Clock = [this] { return Rig.Now.load(); };
        Worker.ProgressFactory = [this] { return std::make_unique<TRecordingProgress>(Progress); };
        Loop.Worker = &Worker;
        Rig.Start();
    }
    struct TLine {
        int64_t Time;
        std::string Text;
    };
    std::vector<TLine> LinesSent() const {
        std::vector<TLine> lines;
        for (const TSimLogEntry &e : Rig.Sim.Log())
            if (e.Direction == '<' && e.Kind == "line")
                lines.push_back({e.Time, e.Bytes});
        return lines;
    }

    test::TSimRig Rig{false};
    test::TSimLoop Loop{Rig};
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessagesScope{Messages};
    TLowLevel Worker;
    std::vector<std::string> Progress;
};

TEST_F(LoaderTest, ASilentVersionQueryLeadsToTheDownload) {
    std::string program = Rig.Temp.Write("mill.mnt", "one\ntwo\n\n|\nthree 328\nfour\nfive\n");
    ASSERT_TRUE(Worker.Connect(program, false));
    std::vector<TLine> lines = LinesSent();
    std::vector<std::string> texts;
    for (const TLine &l : lines)
        texts.push_back(l.Text);
    EXPECT_EQ(texts, (std::vector<std::string>{"ver", "one", "two", "<1A>", "three 328", "four",
                                               "five", "", "RUN"}));
    ASSERT_EQ(lines.size(), 9u);
    // The version frame went once, unanswered, 1 s before the loader began.
    EXPECT_EQ(Rig.Count("<EOT>VN6<ENQ>"), 1);
    auto gap = [&lines](size_t I) { return lines[I + 1].Time - lines[I].Time; };
    EXPECT_GE(gap(0), 150); // "ver", then 150 ms for the prompt
    EXPECT_GE(gap(1), 50);  // 50 ms after each line ...
    EXPECT_LT(gap(1), 80);
    EXPECT_GE(gap(2), 50);   // ... the empty line skipped
    EXPECT_GE(gap(3), 1500); // Ctrl-Z, then 1.5 s
    EXPECT_LT(gap(3), 1530);
    EXPECT_GE(gap(4), 50); // the "328" line still has its pause
    EXPECT_LT(gap(5), 50); // after it none
    EXPECT_LT(gap(6), 50);
    EXPECT_GE(Loop.NowMs() - lines.back().Time, 6500); // "RUN", then 6.5 s
    EXPECT_EQ(Progress.front(), "caption Setting Up Machine [mill.mnt]");
    EXPECT_EQ(Progress[1], "max 7");
    EXPECT_EQ(Progress.back(), "pos 7");
    // The program runs: frames are answered now.
    EXPECT_TRUE(Worker.PostWrite(6, "05,100", "MB"));
    EXPECT_EQ(Rig.Sim.CommsValue(5), 100);
}

TEST_F(LoaderTest, AMissingProgramFileFailsTheConnection) {
    EXPECT_FALSE(Worker.Connect(Rig.Temp.File("missing.mnt"), false));
    ASSERT_FALSE(Messages.Log().empty());
    EXPECT_NE(Messages.Log().back().Text.find("missing.mnt"), std::string::npos);
}

} // namespace
} // namespace orv
