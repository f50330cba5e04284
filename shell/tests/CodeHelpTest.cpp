// Code help and syntax check: the code of a block, its help context and
// the check's walk over the lines.

#include "shell/CodeHelp.h"
#include "platform/IniFile.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(CodeHelp, CodeOfBlock)
{
    struct {
        const char *Line;
        THelpCode Code;
    } cases[] = {
        {"N10 G01 X5", {"G", "01"}},
        {"M03", {"M", "03"}},
        {"(A COMMENT", {"", "00"}},
        {"G98 G83 X1 Y1 Z-5 R1 Q1 F50", {"G", "83"}},
        {"N20 G00 X5\rrest", {"G", "00"}},
        {"@@ G02 X1", {"G", "02"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Line);
        EXPECT_EQ(CodeOfBlock(c.Line), c.Code);
    }
}

TEST(CodeHelp, HelpContexts)
{
    test::TTempDir dir;
    struct {
        const char *Name;
        std::string Ini;
        THelpCode Code;
        std::optional<int> Context;
    } cases[] = {
        {"NUMBER appends the code", "[Standard Code]\nG=2000,NUMBER\n", {"G", "01"}, 200001},
        {"prefix alone", "[Standard Code]\nG=2000\n", {"G", "01"}, 2000},
        {"letter section renames the code", "[Standard Code]\nG=20,NUMBER\n[G]\n01=77\n",
         {"G", "01"}, 2077},
        {"default context", "[Standard Code]\n*=3010\n", {"M", "03"}, 3010},
        {"nothing at all", "", {"", "00"}, 0},
        {"no integer shows no help", "[Standard Code]\nG=ABC,NUMBER\n", {"G", "01"},
         std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = dir.Write("Help.ini", c.Ini);
        EXPECT_EQ(HelpContext(TIniFile(path), c.Code), c.Context);
    }
}

TEST(SyntaxCheck, CleanProgramGoesToTheEnd)
{
    const std::vector<std::string> lines{"G00 X0 Y0", "G01 X10 F100", "M30"};
    std::vector<int> moved;
    TSyntaxCheck check;
    check.OnLineChecked = [&moved](int Line) { moved.push_back(Line); };
    const auto result = check.Run([&](int i) { return lines[i]; }, 2);
    EXPECT_TRUE(result.Clean());
    EXPECT_EQ(result.LastChecked, 2);
}

TEST(SyntaxCheck, EveryFailingLineIsCheckedOnceAndTheCheckGoesOn)
{
    const std::vector<std::string> lines{"G00 X0", "G01 X1 &&", "G01 X2", "G01 Q$", "M30"};
    std::vector<int> errors;
    TSyntaxCheck check;
    check.OnError = [&errors](const TSyntaxError &Error) {
        errors.push_back(Error.Line);
        return true;
    };
    const auto result = check.Run([&](int i) { return lines[i]; }, 4);
    EXPECT_EQ(errors, (std::vector<int>{1, 3}));
    EXPECT_EQ(result.ErrorCount, 2);
    EXPECT_FALSE(result.Stopped);
    EXPECT_EQ(result.LastChecked, 4);
}

TEST(SyntaxCheck, CancelStopsOnTheFailingLine)
{
    const std::vector<std::string> lines{"G00 X0", "G01 X1", "G01 X1 &&", "M30"};
    TSyntaxCheck check;
    std::string shown;
    check.OnError = [&shown](const TSyntaxError &Error) {
        shown = SyntaxErrorText(Error);
        return false;
    };
    const auto result = check.Run([&](int i) { return lines[i]; }, 3);
    EXPECT_TRUE(result.Stopped);
    EXPECT_EQ(result.LastChecked, 2);
    EXPECT_NE(shown.find("Press Cancel to stop checking"), std::string::npos);
}

TEST(SyntaxCheck, EscapeStops)
{
    int polls = 0;
    TSyntaxCheck check;
    check.Stop = [&polls] { return ++polls > 1; };
    const auto result = check.Run([](int) { return std::string("G00 X0"); }, 100);
    EXPECT_TRUE(result.Stopped);
    EXPECT_EQ(result.LastChecked, 1);
}

} // namespace
} // namespace orv
