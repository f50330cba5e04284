// Sub-programs and jumps in a run: M98 with P and repeat counts, M99
// returns and M99 P jumps, "SUBPROGRAM" registrations, GOTO and IF loops,
// and what a run does when a call cannot be served.

#include "engine/form/tests/FormEngine.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::TEngineRun;

using TXs = std::vector<double>;

class FormSubprogramTest : public ::testing::Test {
protected:
    void Run(const std::string &Main, uint8_t Kind = skEditor)
    {
        R.Load("main.fnc", Main, Kind);
        R.CompiledInto("main.xnc");
        R.Start();
    }
    TEngineRun R;
};

TEST_F(FormSubprogramTest, CallRunsTheFileNamedByPAndReturns)
{
    R.Folder.Write("1234.fnc", "G00 X11\nG00 X12\nM99\n");
    Run("G00 X1\nM98 P1234\nG00 X2\nM30\n");
    EXPECT_EQ(R.Xs(), (TXs{1, 11, 12, 2}));
    EXPECT_GE(R.Ended, 1);
    EXPECT_TRUE(R.Engine->SubPrograms().empty());
}

TEST_F(FormSubprogramTest, DigitsBeforeTheNumberAreTheRunCount)
{
    struct TCase {
        const char *P;
        TXs Xs;
    } cases[] = {
        {"P21234", {1, 11, 11, 2}},
        {"P31234", {1, 11, 11, 11, 2}},
        {"P1234", {1, 11, 2}},
        {"P01234", {1, 11, 2}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.P);
        TEngineRun run;
        run.Folder.Write("1234.fnc", "G00 X11\nM99\n");
        run.Load("main.fnc", std::string("G00 X1\nM98 ") + c.P + "\nG00 X2\n");
        run.CompiledInto("main.xnc");
        run.Start();
        EXPECT_EQ(run.Xs(), c.Xs);
    }
}

TEST_F(FormSubprogramTest, ShortNumbersArePaddedToFourDigits)
{
    R.Folder.Write("0012.fnc", "G00 X12\nM99\n");
    Run("M98 P12\nG00 X2\n");
    EXPECT_EQ(R.Xs(), (TXs{12, 2}));
}

// A second, different call at a level used before loads its own file, not
// the one the level held.
TEST_F(FormSubprogramTest, EveryCallLoadsItsOwnFile)
{
    R.Folder.Write("1111.fnc", "G00 X11\nM99\n");
    R.Folder.Write("2222.fnc", "G00 X22\nM99\n");
    Run("M98 P1111\nM98 P2222\nM98 P1111\nG00 X3\n");
    EXPECT_EQ(R.Xs(), (TXs{11, 22, 11, 3}));
}

TEST_F(FormSubprogramTest, NestedCallsGoOneLevelDeeperEach)
{
    R.Folder.Write("1000.fnc", "G00 X10\nM98 P2000\nG00 X12\nM99\n");
    R.Folder.Write("2000.fnc", "G00 X20\nM99\n");
    Run("M98 P1000\nG00 X1\n");
    EXPECT_EQ(R.Xs(), (TXs{10, 20, 12, 1}));
    EXPECT_GE(R.Ended, 1);
}

// A sub-program file that ends without M99 goes back to its caller; the
// rest of the main program still runs.
TEST_F(FormSubprogramTest, SubprogramWithoutM99ReturnsAtItsEnd)
{
    R.Folder.Write("1234.fnc", "G00 X11\nG00 X12\n");
    Run("M98 P21234\nG00 X2\n");
    EXPECT_EQ(R.Xs(), (TXs{11, 12, 11, 12, 2}));
    EXPECT_GE(R.Ended, 1);
}

TEST_F(FormSubprogramTest, RegisteredIdentityNamesAnotherFile)
{
    R.Folder.Write("part.fnc", "G00 X7\nM99\n");
    R.Folder.Write("1234.fnc", "G00 X99\nM99\n");
    Run("[SUBPROGRAM 1234 part]\nM98 P1234\nG00 X2\n");
    EXPECT_EQ(R.Xs(), (TXs{7, 2}));
    ASSERT_EQ(R.Engine->SubIdentityCount(), 0) << "the end of the program rewinds the table";
}

TEST_F(FormSubprogramTest, RegistrationKeepsIdentityAndFileName)
{
    R.Load("main.fnc", "[SUBPROGRAM 12 other.nc]\n[SUBPROGRAM 5678 plain\nG00 X1\n");
    R.Host.ClickButton(TMainButton::Output2D);
    R.Host.Made[slot2D]->Hold = true;
    R.Start();
    // The optimiser reads three blocks ahead: both registrations are in.
    ASSERT_EQ(R.Engine->SubIdentityCount(), 2);
    EXPECT_EQ(R.Engine->SubIdentity(0).Identity, "0012");
    EXPECT_EQ(R.Engine->SubIdentity(0).FileName, "other.nc");
    EXPECT_EQ(R.Engine->SubIdentity(1).Identity, "5678");
    EXPECT_EQ(R.Engine->SubIdentity(1).FileName, "plain");
}

// The table holds 11 entries; a twelfth is refused with a message.
TEST_F(FormSubprogramTest, TwelfthRegistrationIsRefused)
{
    std::string text;
    for (int i = 1; i <= 12; ++i)
        text += "[SUBPROGRAM " + std::to_string(1000 + i) + " f" + std::to_string(i) + "]\n";
    Run(text + "G00 X1\n");
    auto messages = R.MessageTexts();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Too many SUBPROGRAM entries: at most 11 can be registered; ignored: "
                           "1012 f12]");
    EXPECT_EQ(R.Xs(), (TXs{1}));
}

TEST_F(FormSubprogramTest, MissingSubprogramFileStopsTheRun)
{
    Run("G00 X1\nM98 P4321\nG00 X2\n");
    auto messages = R.MessageTexts();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Sub Program: " + R.Folder.File("4321.fnc") +
                               " not found - check file and path.\r\n"
                               "Subprog directory must be same as the calling program");
    EXPECT_EQ(R.Engine->RunState(), csStopped);
    EXPECT_EQ(R.Ended, 0);
}

TEST_F(FormSubprogramTest, FileInputRefusesSubprograms)
{
    R.Folder.Write("1234.fnc", "G00 X11\nM99\n");
    Run("G00 X1\nM98 P1234\nG00 X2\n", skFile);
    auto messages = R.MessageTexts();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Sub-programming is not supported with the File Input");
    EXPECT_EQ(R.Engine->RunState(), csStopped);
}

TEST_F(FormSubprogramTest, M99WithPJumpsToTheBlockInTheMainProgram)
{
    Run("G00 X1\nM99 P30\nN20 G00 X5\nN30 G00 X3\nM30\n");
    EXPECT_EQ(R.Xs(), (TXs{1, 3}));
    EXPECT_GE(R.Ended, 1);
}

TEST_F(FormSubprogramTest, MissingJumpTargetStopsWithItsNumber)
{
    Run("G00 X1\nM99 P120\nG00 X2\n");
    auto messages = R.MessageTexts();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Block N120 Not found");
    EXPECT_EQ(R.Engine->RunState(), csStopped);
    EXPECT_EQ(R.Ended, 0);
}

TEST_F(FormSubprogramTest, GotoAndIfMakeALoop)
{
    Run("#1=0\n"
        "N10 #1=#1+1\n"
        "G00 X#1\n"
        "IF [#1 LT 3] THEN GOTO 10\n"
        "G00 X9\n"
        "M30\n");
    EXPECT_EQ(R.Xs(), (TXs{1, 2, 3, 9}));
    EXPECT_GE(R.Ended, 1);
}

// A call whose file was missing leaves its entry behind; a later M99 in the
// main program must not take it for a return from a level below 0.
TEST_F(FormSubprogramTest, ReturnAtTheMainLevelIsGuarded)
{
    Run("G00 X1\nM98 P7777\nM99 P30\nN20 G00 X5\nN30 G00 X3\n");
    ASSERT_EQ(R.Engine->RunState(), csStopped);
    ASSERT_EQ(R.Engine->SubPrograms().size(), 1u);
    R.Folder.Messages.Answer(R.Folder.File("again.xnc"));
    R.Start();
    ASSERT_FALSE(R.Xs().empty());
    EXPECT_EQ(R.Xs().back(), 3);
    EXPECT_GE(R.Ended, 1);
}

// A new call entry starts with no repeats: P1234 runs its file once.
TEST_F(FormSubprogramTest, NewCallEntryStartsWithoutRepeats)
{
    R.Folder.Write("1234.fnc", "G00 X11\nM99\n");
    R.Folder.Write("5678.fnc", "G00 X56\nM99\n");
    Run("M98 P35678\nM98 P1234\nG00 X2\n");
    EXPECT_EQ(R.Xs(), (TXs{56, 56, 56, 11, 2}));
}

} // namespace
} // namespace orv
