// The engine form's run control and pull loop: a program pulled through
// the chain to every active output in slot order, the rendezvous, the end of
// the program, single block, block skip, rewind, pause and the screen saver,
// released outputs, block search and stage errors.

#include "engine/form/BlockSearchOutput.h"
#include "engine/core/CNCLineParser.h"
#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/chain/tests/FailingFile.h"
#include "engine/form/tests/FormEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <ios>

namespace orv {
namespace {

using test::TEngineRun;

const char *Square = "G21 G17 G90\n"
                     "G00 X0 Y0 Z5\n"
                     "G01 Z-1 F100\n"
                     "G01 X10\n"
                     "G01 Y10\n"
                     "G00 Z5\n"
                     "M30\n";

TEST(FormRun, RunsAProgramToItsEndThroughTheChain)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.CompiledInto("square.xnc");
    run.Start();
    EXPECT_EQ(run.Motions(), (std::vector<int>{NoMoveCode, 0, 1, 1, 1, 0, NoMoveCode, -101}));
    EXPECT_EQ(run.Records[3].X, 10);
    EXPECT_EQ(run.Records[6].MCode, 30);
    EXPECT_EQ(run.Records[2].LineNumber, 3);
    EXPECT_EQ(run.Engine->RunState(), csStopped);
    EXPECT_GE(run.Ended, 1);
    // The end closes the compiled output and raises its button.
    EXPECT_EQ(run.Engine->Output(slotCompiled), nullptr);
    EXPECT_FALSE(run.Host.ButtonDown(TMainButton::Compiled));
    EXPECT_EQ(std::filesystem::file_size(run.Folder.File("square.xnc")), 8u * 120);
}

TEST(FormRun, EveryOutputGetsEveryRecordInSlotOrder)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.Host.Set3DChoice(Choice3DOpenGL, true);
    run.Host.ClickButton(TMainButton::Output2D);
    run.Host.ClickButton(TMainButton::Output3D);
    run.Engine->Set3DSimOutput(true);
    run.Start();
    ASSERT_EQ(run.Host.Log.size(), 3 * run.Records.size() - 2)
        << "the end record reaches only the first output: it turns it into -1000";
    for (size_t i = 0; i + 1 < run.Records.size(); ++i) {
        std::string line = std::to_string(run.Records[i].LineNumber);
        SCOPED_TRACE(i);
        EXPECT_EQ(run.Host.Log[3 * i], "0:" + line);
        EXPECT_EQ(run.Host.Log[3 * i + 1], "1:" + line);
        EXPECT_EQ(run.Host.Log[3 * i + 2], "4:" + line);
    }
}

// An output whose button is down and that has not asked holds the run;
// its request lets the run go on.
TEST(FormRun, RendezvousWaitsForEveryActiveOutput)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.Host.ClickButton(TMainButton::Output2D);
    run.CompiledInto("held.xnc");
    run.Host.Made[slot2D]->Hold = true;
    run.Start();
    EXPECT_EQ(run.Records.size(), 1u);
    EXPECT_EQ(run.Engine->RunState(), csRunning);
    run.Host.Made[slot2D]->Hold = false;
    run.Engine->NextNotify(run.Host.Made[slot2D]);
    EXPECT_EQ(run.Records.size(), 8u);
    EXPECT_EQ(run.Engine->RunState(), csStopped);
}

// Each move is handed out from the same frame of the loop, however long
// the program: the stack does not grow with the number of moves.
TEST(FormRun, LongProgramRunsInConstantStackDepth)
{
    TEngineRun run;
    std::string text = "G21 G90 G01 F500\n";
    for (int i = 0; i < 20000; ++i)
        text += "X" + std::to_string(i % 100) + " Y" + std::to_string(i % 7) + "\n";
    run.Load("long.fnc", text);
    run.CompiledInto("long.xnc");
    uintptr_t lowest = UINTPTR_MAX, highest = 0;
    run.Engine->OnHandOut = [&](const TCNC_data &) {
        int marker = 0;
        auto at = reinterpret_cast<uintptr_t>(&marker);
        lowest = std::min(lowest, at);
        highest = std::max(highest, at);
    };
    run.Start();
    EXPECT_GE(run.Ended, 1);
    EXPECT_LT(highest - lowest, 256u);
}

TEST(FormRun, SingleBlockHoldsEachMoveUntilTheNextStart)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.CompiledInto("step.xnc");
    run.Host.ClickButton(TMainButton::SingleBlock);
    std::vector<size_t> handedWhenPaused;
    run.Folder.Loop.Hook = [&] {
        if (run.Engine->RunState() != csPaused)
            return;
        handedWhenPaused.push_back(run.Records.size());
        run.Engine->CycleStart();
    };
    run.Start();
    // One pause before each record but the end record.
    std::vector<size_t> expected;
    for (size_t i = 0; i < run.Records.size() - 1; ++i)
        expected.push_back(i);
    EXPECT_EQ(handedWhenPaused, expected);
    EXPECT_GE(run.Ended, 1);
}

TEST(FormRun, StepKeywordSwitchesSingleBlockOn)
{
    TEngineRun run;
    run.Load("step.fnc", "G00 X1\n[STEP]\nG00 X2\nG00 X3\n");
    run.CompiledInto("step.xnc");
    int pauses = 0;
    run.Folder.Loop.Hook = [&] {
        if (run.Engine->RunState() == csPaused) {
            ++pauses;
            run.Engine->CycleStart();
        }
    };
    run.Start();
    EXPECT_TRUE(run.Engine->SingleStep());
    EXPECT_TRUE(run.Host.ExecuteModeSingleStep());
    EXPECT_EQ(pauses, 3) << "the STEP record itself and the two moves after it";
}

TEST(FormRun, BlockSkipDropsSlashBlocksFromThePostOutput)
{
    for (bool skip : {false, true}) {
        SCOPED_TRACE(skip);
        TEngineRun run;
        run.Load("skip.fnc", "G00 X1\n/G00 X7\nG00 X2\n");
        run.Folder.Messages.Answer(run.Folder.File("skip.gnc"));
        run.Host.ClickButton(TMainButton::PostOutput);
        if (skip)
            run.Host.ClickButton(TMainButton::BlockSkip);
        run.Start();
        std::string gnc = run.Folder.Read("skip.gnc");
        EXPECT_EQ(gnc.find("x =    7.000") != std::string::npos, !skip);
        EXPECT_NE(gnc.find("x =    2.000"), std::string::npos);
    }
}

TEST(FormRun, RewindResetsTheModalGroups)
{
    TEngineRun run;
    run.Load("modal.fnc", "G91 G18 G95 G41 G43 H1\nG81 G99 G51 X0 Y0 I2 J2\n");
    run.CompiledInto("modal.xnc");
    run.Start();
    run.Engine->CycleRewind();
    const TCNC_Groups &g = run.Engine->Groups();
    const int32_t expected[12] = {-1000, 0, 17, 90, 22, 94, 21, 40, 49, 80, 98, 50};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(g.Groups[i], expected[i]) << "group " << i;
    EXPECT_EQ(g.Groups[16], 69);
    EXPECT_EQ(g.Groups[17], 15);
    EXPECT_EQ(g.Groups[22], 0);
    EXPECT_EQ(run.Engine->CurrentLine(), -1);
}

TEST(FormRun, ResetOnRewindCountsOnlyTrue)
{
    struct TCase {
        const char *Text;
        bool Reset;
    } cases[] = {{"TRUE", true}, {"true", true}, {"yes", false}, {"0", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        test::TFormFolder folder;
        TDIniFile(MainIniPath()).WriteString("Default Settings", "Reset On Rewind", c.Text);
        THeadlessHost host;
        TBaseForm engine(host);
        engine.FormCreate();
        EXPECT_EQ(engine.ResetOnRewind(), c.Reset);
    }
}

// The screen-saver setting is saved once, when the run leaves the stopped
// state: pausing and resuming does not save the switched-off state over it.
TEST(FormRun, ScreenSaverComesBackAfterPauseAndResume)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.Host.ClickButton(TMainButton::Output2D);
    run.Host.Made[slot2D]->Hold = true;
    run.Host.ScreenSaver = true;
    run.Start();
    EXPECT_FALSE(run.Host.ScreenSaver);
    run.Engine->CyclePause();
    EXPECT_EQ(run.Engine->RunState(), csPaused);
    EXPECT_EQ(run.Host.StatusText(2, 4), "Program Paused");
    run.Engine->CycleStart();
    run.Engine->CyclePause();
    run.Engine->CyclePause();
    run.Engine->CycleStart();
    EXPECT_EQ(run.Engine->RunState(), csRunning);
    run.Engine->CycleStop();
    EXPECT_TRUE(run.Host.ScreenSaver);
    EXPECT_EQ(run.Host.ScreenSaverWrites, 2);
    run.Engine->CycleStop();
    EXPECT_EQ(run.Host.ScreenSaverWrites, 2) << "a second stop has nothing to restore";
}

// The operator pauses between two moves, then goes on: the run resumes
// with the next move and hands out the whole program, as it does without
// the pause, wherever the pause falls.
TEST(FormRun, APauseBetweenMovesLosesNothingOfTheProgram)
{
    TEngineRun plain;
    plain.Load("square.fnc", Square);
    plain.Host.ClickButton(TMainButton::Output2D);
    plain.Start();
    ASSERT_EQ(plain.Ended, 1);
    for (size_t at = 1; at + 1 < plain.Records.size(); ++at) {
        SCOPED_TRACE(at);
        TEngineRun run;
        run.Load("square.fnc", Square);
        run.Host.ClickButton(TMainButton::Output2D);
        bool paused = false;
        int turns = 0;
        run.Folder.Loop.Hook = [&] {
            if (!paused && run.Records.size() == at) {
                paused = true;
                run.Host.ClickButton(TMainButton::Pause);
            } else if (paused && run.Engine->RunState() == csPaused && ++turns == 5) {
                run.Host.ClickButton(TMainButton::Start);
            }
        };
        run.Start();
        EXPECT_TRUE(paused);
        EXPECT_EQ(run.Lines, plain.Lines);
        EXPECT_EQ(run.Ended, 1);
        EXPECT_EQ(run.Engine->RunState(), csStopped);
    }
}

// The operator pauses the run and comes back two seconds later: the paused
// run sleeps that whole time in one wait of the event loop, where serving
// messages in a loop would spin a core, and then goes on to its end.
TEST(FormRun, APausedRunSleepsUntilTheOperatorStartsItAgain)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.Host.ClickButton(TMainButton::Output2D);
    auto &loop = run.Folder.Loop;
    struct TMark {
        int64_t Ms = -1;
        int Serves = 0, Waits = 0;
    } paused, started;
    auto mark = [&](TMark &M) { M = {loop.NowMs(), loop.Serves, loop.Waits}; };
    TTimer operatorBack;
    operatorBack.SetInterval(2000);
    operatorBack.OnTimer = [&] {
        operatorBack.SetEnabled(false);
        mark(started);
        run.Host.ClickButton(TMainButton::Start);
    };
    loop.Hook = [&] {
        if (paused.Ms >= 0 || run.Records.size() != 3)
            return;
        run.Host.ClickButton(TMainButton::Pause);
        mark(paused);
        operatorBack.SetEnabled(true);
    };
    run.Start();
    ASSERT_GE(paused.Ms, 0) << "never paused";
    ASSERT_GE(started.Ms, 0) << "never started again";
    EXPECT_EQ(started.Ms - paused.Ms, 2000);
    EXPECT_EQ(started.Serves - paused.Serves, 0) << "the pause served messages in a loop";
    EXPECT_EQ(started.Waits - paused.Waits, 1);
    EXPECT_EQ(run.Ended, 1);
    EXPECT_EQ(run.Engine->RunState(), csStopped);
}

TEST(FormRun, CancelledSaveDialogReleasesTheOutputAndTheRunGoesOn)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.Host.ClickButton(TMainButton::Compiled);
    run.Host.ClickButton(TMainButton::PostOutput);
    // The compiled output asks first (slot 2), the post output second.
    run.Folder.Messages.Answer("");
    run.Folder.Messages.Answer("OK");
    run.Folder.Messages.Answer(run.Folder.File("post.gnc"));
    run.Start();
    EXPECT_FALSE(run.Host.ButtonDown(TMainButton::Compiled));
    EXPECT_EQ(run.Engine->Output(slotCompiled), nullptr);
    auto texts = run.MessageTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "No file was chosen, so this output has been switched off.");
    EXPECT_GE(run.Ended, 1);
    EXPECT_NE(run.Folder.Read("post.gnc").find("EPILOGUE"), std::string::npos);
}

TEST(FormRun, CancelledSaveDialogOfTheOnlyOutputStopsTheRun)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.Host.ClickButton(TMainButton::Compiled);
    run.Folder.Messages.Answer("");
    run.Start();
    EXPECT_EQ(run.Engine->RunState(), csStopped);
    EXPECT_TRUE(run.Records.empty());
    EXPECT_EQ(run.MessageTexts().size(), 1u);
}

TEST(FormRun, BlockSearchStopsAtTheTargetAndTheRunGoesOnWithoutIt)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.Host.ClickButton(TMainButton::Output2D);
    run.Host.ClickButton(TMainButton::BlockSearch);
    run.Engine->BlockSearchLineSelected(nullptr, 4);
    run.Start();
    auto *search = dynamic_cast<TBlockSearchOutput *>(run.Engine->Output(slotBlockSearch));
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(search->Reached());
    EXPECT_EQ(run.Records.back().LineNumber, 4);
    EXPECT_EQ(search->X(), 10);
    EXPECT_EQ(run.Engine->RunState(), csRunning);
    run.Host.ClickButton(TMainButton::BlockSearch);
    EXPECT_EQ(run.Engine->RunState(), csStopped);
    EXPECT_GE(run.Ended, 1);
    EXPECT_EQ(run.Records.back().Motion, EndOfProgramCode);
}

TEST(FormRun, ParseErrorStopsTheRunWithTheLineInTheStatusBar)
{
    TEngineRun run;
    run.Load("bad.fnc", "G00 X1\nG00 X2\nG00 Q\nG00 X4\nG00 X5\n");
    run.CompiledInto("bad.xnc");
    run.Start();
    EXPECT_EQ(run.Engine->RunState(), csStopped);
    EXPECT_EQ(run.Ended, 0);
    EXPECT_EQ(run.Host.StatusText(2, 4).rfind("Line #3 : ", 0), 0u) << run.Host.StatusText(2, 4);
    EXPECT_TRUE(run.Host.StatusOwnerDrawn(2, 4));
}

TEST(FormRun, StartWithNoOutputAsksForOne)
{
    TEngineRun run;
    run.Load("square.fnc", Square);
    run.Start();
    EXPECT_EQ(run.Engine->RunState(), csStopped) << "the choice was cancelled";
    EXPECT_TRUE(run.Records.empty());
    run.Host.OfferedOutputs = {TMainButton::Compiled};
    run.Folder.Messages.Answer(run.Folder.File("chosen.xnc"));
    run.Start();
    EXPECT_GE(run.Ended, 1);
}

TEST(FormRun, ReadErrorOfTheSourceStopsTheRun)
{
    // The program file reads "G1 X1", then fails: the run stops with the
    // file's error and never claims a program end or a move past the error.
    TEngineRun run;
    run.Host.EditorInput = [] { return std::make_unique<test::TFailingInput>(); };
    run.Load("part.fnc", "G1 X1\nG1 X2\n");
    run.CompiledInto("part.xnc");
    run.Start();
    EXPECT_EQ(run.Engine->RunState(), csStopped);
    EXPECT_EQ(run.Ended, 0);
    const std::string status = run.Host.StatusText(2, 4);
    EXPECT_NE(status.find("Error reading file "), std::string::npos) << status;
    for (const TCNC_data &r : run.Records)
        EXPECT_NE(double(r.X), 2) << "nothing after the failed line";
}

// A source whose stream raises on a read error (as a file stream does):
// the run stops on the error as with a reported one, and nothing it throws
// reaches the event loop.
class TThrowingInput : public TBasicInput {
public:
    bool LoadFile(std::string &) override { return true; }
    int ReadLine(std::string &Line, int &LineNumber, int &Level) override
    {
        Level = 0;
        LineNumber = ++FLines;
        if (FLines > 1)
            throw std::ios_base::failure("read error");
        Line = "G1 X1 F100";
        return 0;
    }

private:
    int FLines = 0;
};

TEST(FormRun, ASourceThatThrowsStopsTheRunWithAReadError)
{
    TEngineRun run;
    run.Host.EditorInput = [] { return std::make_unique<TThrowingInput>(); };
    run.Load("part.fnc", "G1 X1\n");
    run.CompiledInto("part.xnc");
    EXPECT_NO_THROW(run.Start());
    EXPECT_EQ(run.Engine->RunState(), csStopped);
    EXPECT_EQ(run.Ended, 0);
    const std::string status = run.Host.StatusText(2, 4);
    EXPECT_NE(status.find("Error reading file "), std::string::npos) << status;
    EXPECT_NE(status.find("read error"), std::string::npos) << status;
}

TEST(FormRun, UnknownSourceKindIsRefused)
{
    TEngineRun run;
    run.Engine->SelectSource(7);
    run.CompiledInto("x.xnc");
    EXPECT_THROW(run.Start(), EBaseError);
}

TEST(FormRun, ModalDataLabels)
{
    TEngineRun run;
    run.Engine->ShowModalData(run.Engine->Groups());
    EXPECT_EQ(run.Host.ModalLabel(1), " G00");
    EXPECT_EQ(run.Host.ModalLabel(2), " G17");
    EXPECT_EQ(run.Host.ModalLabel(18), " G--");
    EXPECT_EQ(run.Host.ModalLabel(23), "M0");
    run.Engine->SetUnits(true);
    EXPECT_EQ(run.Host.ModalLabel(6), " G20");
    EXPECT_EQ(run.Engine->Decimals(), 4);
}

TEST(FormRun, OperatorMessagesAndTransformPanels)
{
    TEngineRun run;
    run.Load("msg.fnc", "! CHECK TOOL\nM70\nG51 X0 Y0 I2 J2\nG00 X1\nG50\nM80\n? READY\n");
    run.CompiledInto("msg.xnc");
    std::vector<std::string> statuses;
    run.Host.OnStatusText = [&](int, int, const std::string &Text) { statuses.push_back(Text); };
    // The panels as each block shows them (the rewind at the end clears them
    // anyway, so the end state alone proves nothing).
    std::vector<std::string> shown;
    run.Host.OnTransformPanels = [&](const TTransformPanels &P) {
        shown.push_back(std::string(P.MirrorX ? "mirror X" : "no mirror") +
                        (P.ScalingVisible ? ", scaling " + P.ScalingText : ", no scaling"));
    };
    run.Start();
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "CHECK TOOL"), statuses.end());
    auto texts = run.MessageTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "READY"), texts.end());
    const std::vector<std::string> expected{
        "mirror X, no scaling",                                               // M70
        "mirror X, scaling X 0.000 Y 0.000 Z 0.000 I 2.000 J 2.000 K 1.000", // G51
        "mirror X, no scaling",                                               // G50
        "no mirror, no scaling",                                              // M80
        "no mirror, no scaling", // the rewind at the end of the run
    };
    EXPECT_EQ(shown, expected);
}

TEST(FormRun, CompiledReplayCarriesEachArcsOwnShape)
{
    TEngineRun writer;
    writer.Load("arcs.fnc", "G17 G90 G00 X0 Y0 Z0\n"
                            "G02 X10 Y0 I5 J0\n"
                            "G03 X20 Y10 R10\n"
                            "G18 G02 X30 Z-10 R10\n"
                            "G17 G01 X0 Y0\n");
    writer.CompiledInto("arcs.xnc");
    writer.Start();
    std::string path = writer.Folder.File("arcs.xnc");
    ASSERT_TRUE(std::filesystem::exists(path));

    TEngineRun replay;
    std::filesystem::copy_file(path, replay.Folder.File("arcs.xnc"));
    replay.Engine->SetProgramFile(replay.Folder.File("arcs.xnc"));
    replay.Engine->SelectSource(skCompiled);
    std::string name = replay.Folder.File("arcs.xnc");
    ASSERT_TRUE(replay.Engine->Source()->LoadFile(name));
    replay.Engine->CompiledProgramLoaded(name);
    replay.CompiledInto("again.xnc");
    replay.Start();
    ASSERT_EQ(replay.Records.size(), writer.Records.size());
    for (size_t i = 0; i < writer.Records.size(); ++i) {
        const TCNC_data &w = writer.Records[i];
        const TCNC_data &r = replay.Records[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(r.Motion, w.Motion);
        EXPECT_EQ(r.X, w.X);
        if (w.Motion != 2 && w.Motion != 3)
            continue;
        EXPECT_EQ(r.Plane, w.Plane);
        EXPECT_NEAR((double)r.Sweep, (double)w.Sweep, 1e-6);
        EXPECT_NEAR((double)r.Radius, std::fabs((double)w.Radius), 1e-6);
    }
}

} // namespace
} // namespace orv
