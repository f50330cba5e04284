// The engine form's tooling: a G41 contour through ncrun with the settings'
// tool files, an M06 tool change reaching the 2D output with the tool's
// diameter and the converter with its length offset, a missing tool put in
// through the machine-tooling window, a rewound incremental program with
// arcs that runs the same twice, and the work offsets that G54 to G59
// blocks select.

#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/view2d/Draw_2D.h"
#include "engine/form/tests/FormDraw2DHost.h"
#include "engine/form/tests/FormEngine.h"
#include "engine/form/tests/NcrunProcess.h"
#include "engine/view2d/tests/View2dFixture.h"
#include "machine/BasicMachine.h"
#include "machine/Machine_Tooling.h"
#include "machine/Tooling_lib.h"
#include "machine/Work_piece_offset.h"
#include "machine/convert.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::ReadFile;

const std::string Fixtures = std::string(ORV_SOURCE_DIR) + "/engine/form/tests/data/";

TEST(FormToolingNcrun, G41ContourRunsWithTheCurrentToolsDiameter)
{
    test::TTempDir Temp;
    std::string settings = test::CopyFixtureSettings(Temp, Fixtures);
    test::TNcrunResult r =
        test::RunNcrun(Temp, "--settings '" + settings + "' contour_g41.fnc", Fixtures);
    ASSERT_NE(r.Status, -1) << "ncrun exits";
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out, ReadFile(Fixtures + "contour_g41.records"));
}

// An engine whose folder holds the tool files before the form is made, with
// a real 2D output (drawing into a recording view) in slot 0.
class FormTooling : public ::testing::Test {
protected:
    using THost = test::TDraw2DHost;
    FormTooling()
    {
        test::WriteToolFiles(Folder);
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
        Engine->OnHandOut = [this](const TCNC_data &Data) {
            Lines.push_back(RecordLine(Data));
        };
    }
    ~FormTooling() override { Engine.reset(); }
    void Load(const std::string &Name, const std::string &Text)
    {
        ASSERT_TRUE(test::LoadProgram(*Engine, Folder.Write(Name, Text)));
    }
    test::TFormFolder Folder;
    THost Host;
    std::unique_ptr<TBaseForm> Engine;
    std::vector<std::string> Lines;
};

TEST_F(FormTooling, ToolFilesLoadWithoutAskingAndToolOneIsInTheSpindle)
{
    ASSERT_NE(Engine->Tooling(), nullptr);
    EXPECT_EQ(Engine->Tooling()->CurrentTool(), 1);
    EXPECT_DOUBLE_EQ(Engine->Tooling()->CurrentDiameter, 10.0);
    EXPECT_DOUBLE_EQ(Engine->Convertor()->ToolLength, 25.5) << "tool 1's length offset";
    EXPECT_EQ(Host.ModalLabel(25), "T1");
    EXPECT_TRUE(Folder.Messages.Log().empty());
}

TEST_F(FormTooling, UnitsReachTheChangerTheLibraryAndTheOffsets)
{
    Engine->SetUnits(true);
    EXPECT_EQ(Engine->Tooling()->Units(), Inch);
    EXPECT_EQ(Engine->Tooling()->ToolLibrary()->Units, Inch);
    EXPECT_EQ(Engine->WorkOffsets()->Units(), Inch);
    Engine->SetUnits(false);
    EXPECT_EQ(Engine->Tooling()->Units(), Metric);
    EXPECT_EQ(Engine->WorkOffsets()->Units(), Metric);
}

// "Edit Tooling Now": the output asks for the machine-tooling window and
// waits; the operator puts the ball nose at position 3 there, and the run
// goes on with it.
TEST_F(FormTooling, MissingToolIsPutInThroughTheMachineToolingWindow)
{
    Load("missing.fnc", "G21 G90 G17\nG00 X0 Y0 Z5\nT3 M06\nG01 X10 F100\nM30\n");
    Host.ClickButton(TMainButton::Output2D);
    Folder.Messages.Answer("Yes");
    Folder.Loop.Hook = [this] {
        if (Host.MachineToolingShown == 1 && !Engine->Tooling()->HasTool(3))
            TDIniFile(Folder.File("Tools.MTF")).WriteString("Tool3", "Tool Name", "Ball Nose 4");
    };
    Host.ClickButton(TMainButton::Start);
    Folder.Loop.Hook = nullptr;
    ASSERT_FALSE(Folder.Messages.Log().empty());
    EXPECT_EQ(Folder.Messages.Log()[0].Text, "Failed to Find a valid Tool-3\nEdit Tooling Now");
    EXPECT_EQ(Host.MachineToolingShown, 1);
    EXPECT_EQ(Engine->Tooling()->CurrentTool(), 3);
    EXPECT_DOUBLE_EQ(Engine->Convertor()->ToolLength, 40.75);
    EXPECT_EQ(Engine->RunState(), csStopped);
    EXPECT_FALSE(Lines.empty());
}

TEST_F(FormTooling, ToolChangeReachesTheOutputWithThatToolsDiameter)
{
    Load("change.fnc", "G21 G90 G17\nG00 X0 Y0 Z5\nT2 M06\nG01 X10 F100\nM30\n");
    Host.ClickButton(TMainButton::Output2D);
    auto *draw = dynamic_cast<TDraw_2D *>(Engine->Output(slot2D));
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->Tooling, Engine->Tooling());
    Host.ClickButton(TMainButton::Start);
    EXPECT_EQ(Engine->Tooling()->CurrentTool(), 2);
    EXPECT_DOUBLE_EQ(Engine->Tooling()->CurrentDiameter, 6.0);
    EXPECT_DOUBLE_EQ(draw->ToolDiameter, 6.0);
    EXPECT_DOUBLE_EQ(Engine->Convertor()->ToolLength, 31.25) << "tool 2's length offset";
    // At exit the settings keep the tool in the spindle and the changer file.
    Engine->FormDestroy();
    TDIniFile settings(MainIniPath());
    EXPECT_EQ(settings.ReadInteger("Tooling", "Last Tool", 0), 2);
    EXPECT_EQ(settings.ReadString("Tooling", "Tool File Name", ""), Folder.File("Tools.MTF"));
}

TEST_F(FormTooling, RewoundIncrementalArcsRunTheSameTwice)
{
    Load("incremental_arcs.fnc", ReadFile(Fixtures + "incremental_arcs.fnc"));
    Host.ClickButton(TMainButton::Output2D);
    Host.ClickButton(TMainButton::Start);
    std::vector<std::string> first = Lines;
    ASSERT_GT(first.size(), 5u);
    Lines.clear();
    Engine->CycleRewind();
    Host.ClickButton(TMainButton::Start);
    EXPECT_EQ(Lines, first);
}

// The standard panel's tool change on the simulated machine with a manual
// changer: the operator's Cancel keeps tool 1 and its length offset in use
// (the machine still holds it); OK puts tool 2 in.
TEST_F(FormTooling, CancelledManualToolChangeKeepsTheToolInTheSpindle)
{
    Engine->MakeSimulatedMachine(); // asks for tool 1: the default answer OK
    ASSERT_EQ(Engine->Machine()->GetCurrentTool(), 1);
    Folder.Messages.Answer("Cancel");
    Engine->Tooling()->RequestToolChange(2, true);
    EXPECT_EQ(Engine->Machine()->GetCurrentTool(), 1);
    EXPECT_EQ(Engine->Tooling()->CurrentTool(), 1);
    EXPECT_EQ(Engine->Tooling()->PendingTool(), 0);
    EXPECT_DOUBLE_EQ(Engine->Convertor()->ToolLength, 25.5);
    EXPECT_EQ(Host.ModalLabel(25), "T1");

    Folder.Messages.Answer("OK");
    Engine->Tooling()->RequestToolChange(2, true);
    EXPECT_EQ(Engine->Machine()->GetCurrentTool(), 2);
    EXPECT_EQ(Engine->Tooling()->CurrentTool(), 2);
    EXPECT_DOUBLE_EQ(Engine->Convertor()->ToolLength, 31.25);
    EXPECT_EQ(Host.ModalLabel(25), "T2");
}

// A work offset file beside the settings: [G54], [g55] written in lower
// case, and no [G56]. Every selection the offsets announce is recorded
// (and still reaches the engine's handler).
class FormWorkOffsets : public FormTooling {
protected:
    FormWorkOffsets()
    {
        Folder.Write("Tarnwick.MOL", "[G54]\nX=150\nY=100\nZ=-80\nType=Machine\n"
                                     "[g55]\nX=60\nY=40\nZ=-85.5\nType=Machine\n");
        TWork_piece_offset &offsets = *Engine->WorkOffsets();
        auto engineHandler = offsets.WorkDataChanged;
        offsets.WorkDataChanged = [this, engineHandler](TObject *Sender, const std::string &Old,
                                                        const std::string &New) {
            Selected.push_back(New);
            engineHandler(Sender, Old, New);
        };
    }
    void Run(const std::string &Program)
    {
        Load("offsets.fnc", Program);
        if (!Engine->Output(slot2D))
            Host.ClickButton(TMainButton::Output2D);
        Host.ClickButton(TMainButton::Start);
    }
    std::vector<double> Shift() const
    {
        const TConvert &c = *Engine->Convertor();
        return {c.OffsetX, c.OffsetY, c.OffsetZ};
    }
    std::vector<std::string> Selected;
};

TEST_F(FormWorkOffsets, ProgramsSelectTheirOffsetInAnyLetterCase)
{
    struct TCase {
        const char *Name;
        const char *Program;
        std::vector<std::string> Selected;
        std::vector<double> Shift;
    };
    const TCase cases[] = {
        {"lower-case g54 through the parser", "g21 g90\ng54 g00 x10 y10\nm30\n", {"G54"},
         {150, 100, -80}},
        {"G55 finds the section written g55", "G21 G90\nG55\nG00 X10\nM30\n", {"g55"},
         {60, 40, -85.5}},
        {"G56 without a section keeps G54", "G21 G90\nG54\nG01 X5 F100\nG56\nM30\n", {"G54"},
         {150, 100, -80}},
        {"G54 then G55 in one program", "G21 G90\nG54 G00 X1\nG55 G00 X2\nM30\n",
         {"G54", "g55"}, {60, 40, -85.5}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Selected.clear();
        Run(c.Program);
        EXPECT_EQ(Engine->RunState(), csStopped);
        EXPECT_EQ(Selected, c.Selected);
        EXPECT_EQ(Shift(), c.Shift);
        EXPECT_EQ(Host.StatusText(2, 1), c.Selected.back());
        EXPECT_EQ(Engine->WorkOffsets()->CurrentMOffset(), c.Selected.back());
    }
}

// WorkOffset is modal: every record after the G55 block carries 55, and
// only the record that programs it may select.
TEST_F(FormWorkOffsets, PlainMovesAfterG55DoNotSelectAgain)
{
    Run("G21 G90\nG55\nG00 X10 Y10\nG01 X20 F100\nG01 Y20\nM30\n");
    EXPECT_EQ(Selected, std::vector<std::string>{"g55"});
    EXPECT_EQ(Shift(), (std::vector<double>{60, 40, -85.5}));
}

TEST_F(FormWorkOffsets, OnlyMotionFiftyFourToFiftyNineSelects)
{
    struct TCase {
        const char *Name;
        int Motion;
        int WorkOffset;
        std::vector<std::string> Selected;
    };
    const TCase cases[] = {
        {"G53 selects nothing", 53, 53, {}},
        {"G60 selects nothing", 60, 60, {}},
        {"a move carrying the modal 55", 1, 55, {}},
        {"an M code record carrying 55", NoMoveCode, 55, {}},
        {"G54", 54, 54, {"G54"}},
        {"G55", 55, 55, {"g55"}},
        {"G59 without a section", 59, 59, {}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        Selected.clear();
        TCNC_data record;
        record.Motion = c.Motion;
        record.WorkOffset = c.WorkOffset;
        Engine->ShowBlockEvents(record);
        EXPECT_EQ(Selected, c.Selected);
    }
}

// The Offsets button opens the window with the machine attached (its
// position in mm through the engine's converter) and closes it again; a
// machine that goes away is detached.
TEST_F(FormWorkOffsets, OffsetsButtonAttachesTheMachine)
{
    Engine->MakeSimulatedMachine();
    TWork_piece_offset &offsets = *Engine->WorkOffsets();
    Host.ClickButton(TMainButton::Offsets);
    EXPECT_TRUE(offsets.WindowOpen());
    ASSERT_TRUE(offsets.HasMachine());
    TPoint3D at{1, 2, 3};
    EXPECT_TRUE(offsets.MachinePosition(at));
    EXPECT_DOUBLE_EQ(at.X, 0);
    EXPECT_DOUBLE_EQ(at.Z, 0);
    Host.ClickButton(TMainButton::Offsets);
    EXPECT_FALSE(offsets.WindowOpen());
    Engine->FreeMachine();
    EXPECT_FALSE(offsets.HasMachine());
}

} // namespace
} // namespace orv
