#include "engine/core/MacroVars.h"

#include "engine/core/DIniFile.h"
#include "engine/core/data_types.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

class MacroVarsTest : public ::testing::Test {
protected:
    std::string Ini() const { return FDir.File("Tarnwick.ini"); }
    test::TTempDir FDir;
};

TEST_F(MacroVarsTest, FreshStartWithoutTheSectionReadsZero)
{
    TMacroVars vars(Ini());
    for (int n : {0, 1, 33, 100, 149, 500, 531}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(vars.GetVarValue(n), 0);
        EXPECT_EQ(vars.VarText(n), "0");
    }
}

TEST_F(MacroVarsTest, ValidNumbersAtTheEdgesOfTheRanges)
{
    struct Row {
        const char *Text;
        bool Valid;
        int Number;
    } rows[] = {{"0", true, 0},      {"33", true, 33},    {"34", false, 34},  {"99", false, 99},
                {"100", true, 100},  {"149", true, 149},  {"150", false, 150}, {"499", false, 499},
                {"500", true, 500},  {"531", true, 531},  {"532", false, 532}, {"-1", false, -1},
                {"abc", false, -1},  {"1.5", false, -1},  {"", false, -1},     {"#5", false, -1}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Text);
        int number = 77;
        EXPECT_EQ(TMacroVars::IsValidVar(row.Text, number), row.Valid);
        EXPECT_EQ(number, row.Number);
    }
}

TEST_F(MacroVarsTest, ReadingAndWritingByName)
{
    TMacroVars vars(Ini());
    EXPECT_TRUE(vars.SetVar(101, 2.5L));
    EXPECT_TRUE(vars.SetVar(3, 3.5L));
    EXPECT_EQ(vars.GetVarInt("101"), 2); // halves to even
    EXPECT_EQ(vars.GetVarInt("3"), 4);
    EXPECT_EQ(vars.GetVarReal("101"), 2.5L);
    for (const char *none : {"600", "34", "150"}) {
        SCOPED_TRACE(none);
        EXPECT_EQ(vars.GetVarInt(none), NoGCode);
        EXPECT_EQ(vars.GetVarReal(none), NoValue);
    }
    EXPECT_EQ(vars.GetVarValue(600), NoGCode);
    EXPECT_TRUE(vars.SetVar(0, 5));
    EXPECT_EQ(vars.GetVarValue(0), 0);
    EXPECT_FALSE(vars.SetVar(600, 5));
    EXPECT_FALSE(vars.SetVar(-1, 5));
    vars.SetVar(1, 1e12L);
    EXPECT_EQ(vars.GetVarInt("1"), NoGCode); // too large for an integer
}

TEST_F(MacroVarsTest, ValuesAreKeptAsTheirFifteenDigitText)
{
    TMacroVars vars(Ini());
    vars.SetVar(1, 1.0L / 3.0L);
    EXPECT_EQ(vars.VarText(1), "0.333333333333333");
    EXPECT_EQ(vars.GetVarValue(1), 0.333333333333333L);
    vars.SetVarText(2, "12abc"); // the operator typed something that is no number
    EXPECT_EQ(vars.GetVarValue(2), 0);
    vars.SetVarText(0, "7");
    EXPECT_EQ(vars.VarText(0), "0");
}

TEST_F(MacroVarsTest, ChangesAreAnnounced)
{
    TMacroVars vars(Ini());
    std::vector<int> changed;
    vars.OnChange = [&](int n) { changed.push_back(n); };
    vars.SetVar(5, 1);
    vars.SetVar(5, 1); // same text: nothing changed
    vars.SetVar(0, 1);
    vars.SetVar(600, 1);
    vars.SetVarText(510, "2");
    EXPECT_EQ(changed, (std::vector<int>{5, 510}));
}

TEST_F(MacroVarsTest, KeptVariablesSurviveARestartWithoutOK)
{
    {
        TMacroVars vars(Ini());
        vars.SetVar(500, -12.5L);
        vars.SetVar(531, 1.0L / 3.0L);
        vars.SetVar(1, 4);
        vars.SetVar(149, 4);
    } // program exit writes #500 to #531
    TDIniFile ini(Ini());
    EXPECT_EQ(ini.ReadString("macro variables", "500", ""), "-12.5");
    EXPECT_EQ(ini.ReadSection("Macro Variables").size(), 32u);
    EXPECT_FALSE(ini.ValueExists("Macro Variables", "1"));
    TMacroVars again(Ini());
    EXPECT_EQ(again.GetVarValue(500), -12.5L);
    EXPECT_EQ(again.VarText(531), "0.333333333333333");
    EXPECT_EQ(again.GetVarValue(1), 0);
    EXPECT_EQ(again.GetVarValue(149), 0);
}

TEST_F(MacroVarsTest, SaveWritesAtOnceAndBadStoredValuesReadZero)
{
    FDir.Write("Tarnwick.ini", "[Macro Variables]\n500=abc\n501=2.75\n502=1,5\n");
    TMacroVars vars(Ini());
    EXPECT_EQ(vars.GetVarValue(500), 0);
    EXPECT_EQ(vars.GetVarValue(501), 2.75L);
    EXPECT_EQ(vars.GetVarValue(502), 0);
    vars.SetVar(502, 8);
    vars.Save();
    EXPECT_EQ(TDIniFile(Ini()).ReadString("Macro Variables", "502", ""), "8");
}

} // namespace
} // namespace orv
