#include "engine/core/DUtils.h"

#include "engine/core/DIniFile.h"
#include "engine/core/NetUtil.h"
#include "engine/core/data_types.h"
#include "platform/Paths.h"
#include "platform/tests/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(DUtils, UnitTexts)
{
    struct Row {
        const char *Name;
        bool Inch;
        double Value;
        const char *Text;
    } rows[] = {
        {"inch", true, 25.4, "1.0000"},
        {"inch negative", true, -12.7, "-0.5000"},
        {"metric", false, 12.3456, "12.346"},
        {"metric zero", false, 0, "0.000"},
        {"metric rounds to 7 digits", false, 12345.6789, "12345.680"},
        {"not programmed", false, NoValue, "?.???"},
        {"not programmed in inch", true, NoValue, "?.???"},
        {"not a number", false, std::numeric_limits<double>::quiet_NaN(), "NAN"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(FloatToUnitsText(row.Inch, row.Value), row.Text);
    }
    EXPECT_EQ(IntToUnitsText(254, true), "10");
    EXPECT_EQ(IntToUnitsText(38, true), "1"); // 1.496 rounds to 1
    EXPECT_EQ(IntToUnitsText(254, false), "254");
}

TEST(DUtils, UnitConversionsAndRounding)
{
    EXPECT_DOUBLE_EQ(UnitsTextToMM("2", 1), 50.8);
    EXPECT_DOUBLE_EQ(UnitsTextToMM("2.5", 0), 2.5);
    EXPECT_DOUBLE_EQ(UnitsTextToMM("abc", 1), 0);
    EXPECT_DOUBLE_EQ(UnitsToMM(1, 1), 25.4);
    EXPECT_DOUBLE_EQ(UnitsToMM(0, 1), 1);
    EXPECT_DOUBLE_EQ(RoundToUnits(0, 1.23456), 1.23);
    EXPECT_DOUBLE_EQ(RoundToUnits(0, 0.125), 0.12); // half to even
    EXPECT_DOUBLE_EQ(RoundToUnits(1, 25.4 * 1.23456), 1.2346);
    EXPECT_TRUE(SameLength(1, 1.00009L));
    EXPECT_FALSE(SameLength(1, 1.0001L));
    EXPECT_TRUE(WithinBand(10, 1, 10.99L));
    EXPECT_FALSE(WithinBand(10, 1, 11));
    EXPECT_FALSE(WithinBand(10, 1, 9));
}

TEST(DUtils, CleanNumberText)
{
    struct Row {
        const char *In, *Out;
    } rows[] = {{"1,234.5", "1.2345"}, {"abc", "0"}, {"-", "0"}, {"+", "0"}, {"", "0"},
                {"+12", "12"},        {"-3.5mm", "-3.5"}, {"1.2.3", "1.23"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.In);
        EXPECT_EQ(CleanNumberText(row.In), row.Out);
    }
}

TEST(DUtils, SubprogramHeader)
{
    struct Row {
        const char *Text;
        int Number;
        const char *Name;
    } rows[] = {{"SUBPROGRAM 1000 PART.FNC", 1000, "PART.FNC"},
                {"[SUBPROGRAM   22   A B", 22, "A B"},
                {"SUBPROGRAM NAME", 1, "NAME"},
                {"1000 PART", 1000, "PART"},
                {"SUBPROGRAM", 1, ""},
                {"SUBPROGRAM 99999999999 BIG", 1, "BIG"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Text);
        int number = -5;
        std::string name = "x";
        ParseSubprogramHeader(number, name, row.Text);
        EXPECT_EQ(number, row.Number);
        EXPECT_EQ(name, row.Name);
    }
}

TEST(DUtils, VirtualKeyNames)
{
    struct Row {
        uint16_t Key;
        const char *Name;
    } rows[] = {{13, "ENTER key"},   {27, "ESC key"},        {32, "SPACEBAR"},
                {'0', "0 key"},      {'Z', "Z key"},         {96, "Numeric 0 key"},
                {105, "Numeric 9 key"}, {107, "Add key"},    {112, "F1 key"},
                {135, "F24 key"},    {144, "NUM LOCK key"},  {186, "; key"},
                {7, ""},             {136, ""}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Key);
        EXPECT_EQ(VirtualKeyName(row.Key), row.Name);
    }
}

TEST(DUtils, PathsOfTheProgram)
{
    EXPECT_EQ(RemoveDoubleBackslashes("C:\\\\NC\\\\"), "C:\\NC\\");
    EXPECT_EQ(RemoveDoubleBackslashes("C:\\\\\\\\NC"), "C:\\NC");
    EXPECT_EQ(ChangeExtension("/a/prog.fnc", "XNC"), "/a/prog.XNC");
    SetProgramPathOverride("/opt/orv", "Tarnwick");
    EXPECT_EQ(ExeFolder(), "/opt/orv/");
    EXPECT_EQ(ExeFileWithExt("MOL"), "/opt/orv/Tarnwick.MOL");
    SetProgramPathOverride("", "");
    EXPECT_TRUE(DriveReady("/tmp/whatever/file"));
    EXPECT_FALSE(DriveReady("/no-such-volume-here/file"));
    EXPECT_TRUE(DriveReady("relative/file"));
    EXPECT_FALSE(GetOSVersionInfo().SystemName.empty());
}

TEST(DUtils, RegisteringSomethingThatIsNoLibraryFails)
{
    test::TTempDir dir;
    EXPECT_FALSE(RegisterActiveXServer(dir.Write("Velmarox.OCX", "not a library")));
    EXPECT_FALSE(RegisterActiveXServer(dir.File("missing.so")));
}

TEST(DUtils, DecimalSeparatorStaysInsideTheProgram)
{
    std::string before = GetUserDecimalSeparator();
    SetUserDecimalSeparator(",");
    EXPECT_EQ(GetUserDecimalSeparator(), ",");
    SetUserDecimalSeparator(before);
    EXPECT_EQ(GetUserDecimalSeparator(), before);
}

TEST(DUtils, AxisPositionText)
{
    EXPECT_EQ(AxisPositionText(0, 3, 12.5), "X= 12.500");
    EXPECT_EQ(AxisPositionText(2, 4, 25.4), "Z= 1.0000");
}

class NetUtilTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FOldFolder = std::filesystem::current_path();
        std::filesystem::current_path(FDir.Path());
        SetProgramPathOverride("/opt/orv", "Tarnwick");
    }
    void TearDown() override
    {
        std::filesystem::current_path(FOldFolder);
        SetProgramPathOverride("", "");
    }
    test::TTempDir FDir;
    std::filesystem::path FOldFolder;
};

TEST_F(NetUtilTest, MainSettingsFileIsTheProgramNameInTheStartFolder)
{
    TNetUtil util({"programs/demo.fnc", "second"});
    std::string folder = IncludeTrailingDelimiter(std::filesystem::current_path().string());
    EXPECT_EQ(util.WorkingFolder, folder);
    EXPECT_EQ(util.ExeName, "Tarnwick");
    EXPECT_EQ(util.Param1, "programs/demo.fnc");
    EXPECT_EQ(util.Param2, "second");
    EXPECT_EQ(util.MainIniFileName(), folder + "Tarnwick.ini");
    EXPECT_EQ(&NetUtil(), &util);
    EXPECT_EQ(MainIniPath(), folder + "Tarnwick.ini");
    EXPECT_EQ(WorkingFolder(), folder);

    WriteIniInteger("Default Settings", "ScreenUpdate", 250);
    TDIniFile ini(folder + "Tarnwick.ini");
    EXPECT_EQ(ini.ReadInteger("default settings", "screenupdate", 0), 250);
}

TEST_F(NetUtilTest, NoArgumentsLeaveTheParametersEmpty)
{
    TNetUtil util;
    EXPECT_EQ(util.Param1, "");
    EXPECT_EQ(util.Param2, "");
}

} // namespace
} // namespace orv
