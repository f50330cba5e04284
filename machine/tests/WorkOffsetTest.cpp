#include "machine/Work_piece_offset.h"

#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/tests/ToolingFixture.h"
#include "platform/IniFile.h"

#include <gmock/gmock.h>

namespace orv {
namespace {

using test::TToolingFixture;
using ::testing::ElementsAre;

const char *const Offsets = "[G54]\r\nX=100\r\nY=50\r\nZ=-20\r\nType=Machine\r\n"
                            "[g55]\r\nX=200\r\nY=60\r\nZ=-30\r\n"
                            "[G56]\r\nX=1\r\nY=2\r\nZ=3\r\nType=Simulation\r\n"
                            "[Vice]\r\nX=10.5\r\nType=Machine\r\n";

class WorkOffset : public TToolingFixture {
protected:
    WorkOffset()
    {
        Work.SetFilename(Dir.Write("Tarnwick.MOL", Offsets));
        Work.WorkDataChanged = [this](TObject *, const std::string &Old, const std::string &New) {
            EXPECT_EQ(Old, New);
            Changes.push_back(New);
        };
    }
    void SimUse(bool On)
    {
        TIniFile(ExeFileWithExt("ini")).WriteString("Default Settings", "SimUseWorkOffset",
                                                    On ? "TRUE" : "FALSE");
    }
    std::string Key(const std::string &Section, const std::string &Key) const
    {
        return TIniFile(Work.Filename()).ReadString(Section, Key, "<missing>");
    }
    void Type(int Field, const std::string &Text, int64_t GapMs)
    {
        double v = 0;
        ASSERT_TRUE(TryStrToFloat(Text, v));
        Work.ChangeEdit(Field, v);
        Loop.Advance(GapMs);
    }

    TWork_piece_offset Work;
    std::vector<std::string> Changes;
};

TEST_F(WorkOffset, DefaultFileLivesBesideTheProgram)
{
    TWork_piece_offset w;
    EXPECT_EQ(w.Filename(), Dir.Path() + "Tarnwick.MOL");
    EXPECT_EQ(w.NewOffsetName, "New Offset");
}

TEST_F(WorkOffset, GCodesPickOffsetsByNameInAnyLetterCase)
{
    struct Row {
        const char *Name;
        int Code;
        bool Found;
        const char *Offset;
        double X;
    } rows[] = {
        {"G53 picks nothing", 53, false, "", 0},     {"G54", 54, true, "G54", 100},
        {"g55 in lower case", 55, true, "g55", 200}, {"G56", 56, true, "G56", 0},
        {"G57 not in the file", 57, false, "", 0},   {"G60 picks nothing", 60, false, "", 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        TWork_piece_offset w;
        w.SetFilename(Work.Filename());
        EXPECT_EQ(w.SelectByCode(row.Code), row.Found);
        // The shown name and the active values stay in step.
        EXPECT_EQ(w.CurrentMOffset(), row.Offset);
        EXPECT_EQ(w.MX(), row.X);
    }
}

TEST_F(WorkOffset, G55LoadsItsOffsetAndAnnouncesIt)
{
    ASSERT_TRUE(Work.SelectByCode(55));
    EXPECT_EQ(Work.CurrentMOffset(), "g55");
    EXPECT_EQ(Work.MX(), 200);
    EXPECT_EQ(Work.MY(), 60);
    EXPECT_EQ(Work.MZ(), -30);
    EXPECT_THAT(Changes, ElementsAre("g55"));
}

TEST_F(WorkOffset, SelectByCodeWithTheWindowOpenSelectsTheNode)
{
    Work.ShowWindow(false);
    ASSERT_TRUE(Work.SelectByCode(54));
    EXPECT_EQ(Work.SelectedName(), "G54");
    EXPECT_EQ(Work.CurrentMOffset(), "G54");
    EXPECT_EQ(Work.EditValue(1), 100);
}

TEST_F(WorkOffset, TypesDecideWhichSetsAreLoaded)
{
    SimUse(false);
    Work.SelectOffset("G56", false); // a simulation offset
    EXPECT_EQ(Work.MX(), 0);
    EXPECT_EQ(Work.SX(), 1);
    Work.SelectOffset("g55", false); // no type: both sets
    EXPECT_EQ(Work.MX(), 200);
    EXPECT_EQ(Work.SX(), 200);
    EXPECT_EQ(Work.CurrentSOffset(), ""); // the sets load, the names stay apart
    Work.SelectOffset("G54", false);
    EXPECT_EQ(Work.SX(), 200); // a machine offset leaves the simulation set alone
    Work.SelectOffset("Nowhere", false);
    EXPECT_EQ(Work.MX(), 0);
    EXPECT_EQ(Work.MY(), 0);
    EXPECT_EQ(Work.MZ(), 0);
}

TEST_F(WorkOffset, SimulationFollowsTheMachineOffsetWhenSet)
{
    SimUse(true);
    Work.SelectOffset("G54", false);
    EXPECT_EQ(Work.CurrentSOffset(), "G54");
    EXPECT_EQ(Work.SX(), 100);
    SimUse(false);
    Work.SelectOffset("Vice", false);
    EXPECT_EQ(Work.CurrentSOffset(), "G54");
    EXPECT_EQ(Work.SX(), 100);
}

TEST_F(WorkOffset, QuickTypingWritesOnceAfterTheLastKey)
{
    Work.SelectOffset("G54", false);
    Work.ShowWindow(true);
    Changes.clear();
    const std::string before = Dir.Read("Tarnwick.MOL");
    Type(1, "1", 3);
    Type(1, "12", 3);
    Type(1, "123", 9);
    EXPECT_EQ(Dir.Read("Tarnwick.MOL"), before);
    EXPECT_TRUE(Changes.empty());
    Loop.Advance(1); // 10 ms after the last key
    EXPECT_EQ(Key("G54", "X"), "123");
    EXPECT_EQ(Work.MX(), 123);
    EXPECT_THAT(Changes, ElementsAre("G54"));
    Loop.Advance(100);
    EXPECT_EQ(Changes.size(), 1u);
}

TEST_F(WorkOffset, EditsOfSeveralAxesAreAllWritten)
{
    Work.ShowWindow(false);
    Work.SelectNode("Vice");
    Work.CopyOffset();
    Work.SelectNode("G54");
    Work.PasteOffset();
    Loop.Advance(10);
    EXPECT_EQ(Key("G54", "X"), "10.5");
    EXPECT_EQ(Key("G54", "Y"), "0");
    EXPECT_EQ(Key("G54", "Z"), "0");

    // Changing the node writes the pending edit to the node it belongs to.
    Type(2, "7", 1);
    Work.SelectNode("g55");
    EXPECT_EQ(Key("G54", "Y"), "7");
    EXPECT_EQ(Key("g55", "Y"), "60");
}

TEST_F(WorkOffset, InchEditsAreStoredInMillimetres)
{
    Work.SetUnits(Inch);
    Work.ShowWindow(false);
    Work.SelectNode("g55");
    EXPECT_NEAR(Work.EditValue(1), 7.874, 1e-9); // 200 mm to 0.0001 in
    Type(3, "-1", 10);
    EXPECT_EQ(Key("g55", "Z"), "-25.4");
}

TEST_F(WorkOffset, NoEditingWhileACycleRuns)
{
    Work.ShowWindow(false);
    Work.SelectNode("G54");
    Work.SetCycleState(csRunning);
    EXPECT_FALSE(Work.EditingEnabled());
    Type(1, "5", 20);
    EXPECT_EQ(Key("G54", "X"), "100");
}

TEST_F(WorkOffset, AddRenameAndDelete)
{
    Work.ShowWindow(false);
    Work.SelectNode("Vice");
    ASSERT_TRUE(Work.AddOffset());
    EXPECT_EQ(Work.SelectedName(), "New Offset");
    EXPECT_THAT(Work.Names, ElementsAre("G54", "g55", "G56", "Vice", "New Offset"));
    EXPECT_EQ(Key("New Offset", "X"), "0");
    EXPECT_EQ(Key("New Offset", "Type"), "Machine");

    EXPECT_FALSE(Work.AddOffset());
    EXPECT_THAT(Shown(), ElementsAre("The name \"New Offset\" already exists"));

    const std::string before = Dir.Read("Tarnwick.MOL");
    EXPECT_FALSE(Work.RenameOffset("New Offset", "G55"));
    EXPECT_EQ(Shown().back(), "The name \"G55\" already exists");
    EXPECT_EQ(Dir.Read("Tarnwick.MOL"), before);

    ASSERT_TRUE(Work.RenameOffset("Vice", "Fixture"));
    EXPECT_EQ(Key("Fixture", "X"), "10.5");
    EXPECT_EQ(Key("Vice", "X"), "<missing>");

    Work.SelectNode("New Offset");
    Work.DeleteOffset();
    EXPECT_EQ(Work.SelectedName(), "G56"); // the node before it
    EXPECT_EQ(Key("New Offset", "X"), "<missing>");
}

TEST_F(WorkOffset, RenamingTheCurrentOffsetKeepsItCurrent)
{
    Work.SelectOffset("G54", false);
    Work.ShowWindow(true);
    ASSERT_TRUE(Work.RenameOffset("G54", "Plate"));
    EXPECT_EQ(Work.CurrentMOffset(), "Plate");
    EXPECT_EQ(Work.MX(), 100);
    EXPECT_EQ(Work.SelectedName(), "Plate");
}

TEST_F(WorkOffset, WorkOffsetFileRoundTripIsByteExact)
{
    Dir.Write("Tarnwick.MOL", "");
    Work.ShowWindow(false);
    ASSERT_TRUE(Work.AddOffset());
    Type(1, "12.5", 0);
    Type(2, "-3", 0);
    Type(3, "0.125", 10);
    ASSERT_TRUE(Work.RenameOffset("New Offset", "G54"));
    EXPECT_EQ(Dir.Read("Tarnwick.MOL"), "[G54]\r\nX=12.5\r\nY=-3\r\nZ=0.125\r\nType=Machine\r\n");
    Dir.Write("Tarnwick.MOL", Offsets);
    Work.ShowWindow(false);
    Work.SelectNode("G56");
    Type(1, "1", 10);
    EXPECT_EQ(Dir.Read("Tarnwick.MOL"), Offsets); // same value, every key kept
}

class WorkOffsetOnMachine : public WorkOffset {
protected:
    WorkOffsetOnMachine()
    {
        auto lib = std::make_unique<TTooling_Library>();
        lib->SetDataFile(Dir.Write("lib.MTD", "[Slot 10]\r\nDiameter=10\r\n"
                                              "Tool Length offset=40\r\n"));
        Tooling.SetToolLibrary(std::move(lib));
        Tooling.SetMachineToolCount(4);
        Tooling.SetDataFile(Dir.Write("mill.MTF", "[Global]\r\nCurrent Tool=1\r\n"
                                                  "[Tool1]\r\nTool Name=Slot 10\r\n"));
        Work.Tooling = &Tooling;
        Work.MachinePosition = [this](TPoint3D &P) {
            P = Position;
            return true;
        };
        Work.ShowWindow(false);
        Work.SelectNode("G54");
    }
    TMachine_Tooling Tooling;
    TPoint3D Position{100, 50, 60};
};

TEST_F(WorkOffsetOnMachine, ZeroingAnAxisAtTheMachinePosition)
{
    struct Row {
        const char *Name;
        int Axis, Picture;
        bool Radius;
        const char *Other;
        double Expected;
    } rows[] = {
        {"X beside the edge with the cutter radius", 1, 2, true, "", 105},
        {"X on the other side", 1, 3, true, "", 95},
        {"X on the edge", 1, 1, true, "", 100},
        {"Y with another value", 2, 2, false, "2.5", 52.5},
        {"Z at the tool end", 3, 1, true, "", 20},
        {"Z on a 3 mm block", 3, 1, false, "3", 17},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        ASSERT_TRUE(Work.ZeroAxis(row.Axis, row.Picture, row.Radius, row.Other));
        EXPECT_DOUBLE_EQ(Work.EditValue(row.Axis), row.Expected);
    }
    Loop.Advance(10);
    EXPECT_EQ(Key("G54", "X"), "100");
    EXPECT_EQ(Key("G54", "Z"), "17");
}

TEST_F(WorkOffsetOnMachine, ZeroingRefusesAValueThatIsNoNumber)
{
    EXPECT_FALSE(Work.ZeroAxis(1, 2, false, "ten"));
    EXPECT_THAT(Shown(), ElementsAre("'ten' is not a valid floating point value"));
    EXPECT_EQ(Work.EditValue(1), 100);
    Work.MachinePosition = nullptr;
    EXPECT_FALSE(Work.CanZero());
    EXPECT_FALSE(Work.ZeroAxis(1, 2, true, ""));
}

// The program's own conversion error is a resource string: with the
// message dictionary open in German it comes out in German.
TEST_F(WorkOffsetOnMachine, ConversionErrorSpeaksTheOperatorsLanguage)
{
    TMess German;
    std::string Error;
    ASSERT_TRUE(German.OpenDictionary(ORV_DATA_DIR "/language.txt", ORV_DATA_DIR "/translat.txt",
                                      1, Error))
        << Error;
    EXPECT_FALSE(Work.ZeroAxis(1, 2, false, "ten"));
    EXPECT_THAT(Shown(), ElementsAre("'ten' ist kein gültiger Gleitkommawert"));
}

TEST_F(WorkOffsetOnMachine, ZeroingWithAnEmptySpindleUsesNoTool)
{
    Tooling.SetCurrentTool(2);
    ASSERT_TRUE(Work.ZeroAxis(1, 2, true, ""));
    EXPECT_EQ(Work.EditValue(1), 100);
    ASSERT_TRUE(Work.ZeroAxis(3, 1, true, ""));
    EXPECT_EQ(Work.EditValue(3), 60);
}

TEST_F(WorkOffsetOnMachine, CircleCentreFromThreeTouchedPoints)
{
    Work.SelectOffset("G54", false);
    Changes.clear();
    Work.ShowCentreFinder();
    const TPoint3D touched[3] = {{10, 0, 5}, {0, 10, 5}, {-10, 0, 5}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(Work.CentreFinder().Lamp, TCentreFinder::LampGreen);
        Position = touched[i];
        Work.TakeCentrePoint(i);
    }
    const TCentreFinder &finder = Work.CentreFinder();
    ASSERT_TRUE(finder.HasCentre);
    EXPECT_NEAR(finder.Centre.X, 0, 1e-12);
    EXPECT_NEAR(finder.Centre.Y, 0, 1e-12);
    EXPECT_DOUBLE_EQ(finder.Diameter, 20);
    EXPECT_EQ(finder.Lamp, TCentreFinder::LampGreen);
    Work.AcceptCentre();
    EXPECT_FALSE(Work.CentreFinder().Visible);
    EXPECT_EQ(Key("G54", "X"), "0");
    EXPECT_EQ(Key("G54", "Y"), "0");
    EXPECT_EQ(Key("G54", "Z"), "-20");
    EXPECT_THAT(Changes, ElementsAre("G54"));
}

TEST_F(WorkOffsetOnMachine, PointsOnALineTurnTheLampRed)
{
    Work.ShowCentreFinder();
    for (int i = 0; i < 3; ++i) {
        Position = TPoint3D{double(i), double(i), 0};
        Work.TakeCentrePoint(i);
    }
    EXPECT_EQ(Work.CentreFinder().Lamp, TCentreFinder::LampRed);
    const std::string before = Dir.Read("Tarnwick.MOL");
    Work.AcceptCentre();
    EXPECT_EQ(Dir.Read("Tarnwick.MOL"), before);
}

TEST_F(WorkOffset, BrokenWorkOffsetFilesLoadWithoutCrashing)
{
    struct Row {
        const char *Name;
        std::string Content;
        double X;
    } rows[] = {
        {"empty file", "", 0},
        {"value not a number", "[G54]\r\nX=abc\r\n", 0},
        {"blank section name", "[]\r\nX=5\r\n[G54]\r\nX=4\r\n", 4},
        {"unknown type", "[G54]\r\nX=4\r\nType=Other\r\n", 0},
        {"binary junk", std::string("\x00[G54]\xff\nX=\x01", 11), 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Name);
        Dir.Write("Tarnwick.MOL", row.Content);
        TWork_piece_offset w;
        w.SetFilename(Work.Filename());
        w.SelectByCode(54);
        EXPECT_EQ(w.MX(), row.X);
        w.ShowWindow(true);
        w.SelectNode("G54");
        w.ChangeEdit(1, 1);
        w.CloseWindow();
    }
    TWork_piece_offset missing;
    missing.SetFilename(Dir.File("none.MOL"));
    EXPECT_TRUE(missing.ReadNames().empty());
    EXPECT_FALSE(missing.SelectByCode(54));
}

} // namespace
} // namespace orv
