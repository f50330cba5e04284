// The Fanuc 21 station as the engine's source, in the engine form with the
// default settings: the offset and work-shift pages follow the tooling and
// the work offsets, and the runs follow them too.
#include "engine/chain/BasicInput.h"
#include "machine/BasicControlPanel.h"
#include "machine/BasicMachine.h"
#include "engine/chain/BasicOutput.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "engine/form/HeadlessHost.h"
#include "engine/form/base.h"
#include "fanuc/FanucOffsets.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "fanuc/tests/FanucTestFolder.h"
#include "machine/DummyLinkMill.h"
#include "machine/Machine_Tooling.h"
#include "machine/Work_piece_offset.h"
#include "machine/convert.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace orv::fanuc {
namespace {

namespace fs = std::filesystem;

// Dialogs take their default answers; the compiled output's file is given.
class TMessages : public TScriptedMessages {
public:
    std::optional<std::string> ChooseFile(const TFileRequest &Request) override
    {
        if (Request.Kind == TFileDialogKind::Save && Request.DefaultExt == "XNC")
            return XncFile;
        return TScriptedMessages::ChooseFile(Request);
    }
    std::string XncFile;
};

class TStationHost : public THeadlessHost {
public:
    std::unique_ptr<orv::TFanucScreen> CreateFanucScreen(TBaseForm &, int Kind) override
    {
        auto station = std::make_unique<TFanucScreen>();
        Station = station.get();
        return station;
    }
    TFanucScreen *Station = nullptr;
};

class FanucEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Tool 1 is 25 mm long in this fixture.
        std::ifstream in(Folder / "Tarnwick.MTD", std::ios::binary);
        std::string library(std::istreambuf_iterator<char>(in), {});
        in.close();
        library = std::regex_replace(library, std::regex("Tool Length offset=41.2"), "Tool Length offset=25");
        std::ofstream(Folder / "Tarnwick.MTD", std::ios::binary) << library;
        std::ofstream(Folder / "prog.fnc", std::ios::binary) << "G00 X10. Y5.\r\nG01 Z-1. F100\r\nM30\r\n";
        Mess = std::make_unique<TMess>();
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
        Messages.XncFile = (Folder / "out.xnc").string();
        Host.ClickButton(TMainButton::Compiled);
        Engine->SelectSource(skFanuc21);
        ASSERT_NE(Host.Station, nullptr);
        for (int i = 0; i < 5; ++i)
            Host.Station->KnobStep(true); // 100 %
        Loop.Advance(400);
    }
    void TearDown() override
    {
        if (Host.Station)
            Host.Station->Modified = false;
        Engine.reset();
        Mess.reset();
    }
    // Runs prog.fnc from the station's memory; the machine's Z at the end (mm).
    double RunZ()
    {
        std::string name = (Folder / "prog.fnc").string();
        EXPECT_TRUE(Engine->Source()->LoadFile(name));
        Engine->PanelCommand(2);
        Loop.Advance(100);
        Engine->PanelCommand(19);
        Loop.Advance(200);
        Engine->PanelCommand(3);
        Loop.Advance(100);
        Engine->PanelCommand(21);
        for (int i = 0; i < 6000 && Engine->RunState() != csStopped; ++i)
            Loop.Advance(100);
        EXPECT_EQ(Engine->RunState(), csStopped);
        auto *mill = dynamic_cast<TDummyLinkMill *>(Engine->Machine());
        TXYZ position = mill->Current;
        mill->Convertor->PositionFromSteps(position);
        Engine->PanelCommand(39);
        Loop.Advance(100);
        return position.Z;
    }
    test::TSettingsFolder Settings{test::TWholeData::Copy};
    const fs::path &Folder = Settings.Path;
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TMessages Messages;
    TMessageServiceScope MessageScope{Messages};
    std::unique_ptr<TMess> Mess;
    std::unique_ptr<TNetUtil> Net;
    TStationHost Host;
    std::unique_ptr<TBaseForm> Engine;
};

TEST_F(FanucEngine, OffsetPageFollowsTheToolingAndTheRunsToo)
{
    TFanucScreen &s = *Host.Station;
    s.ShowFunctionPage(fpOffset);
    ASSERT_TRUE(s.OffsetPage);
    EXPECT_EQ(s.OffsetPage->Cells[0], "25.000");
    EXPECT_EQ(s.OffsetPage->Cells[6], "-1.000");  // GEOM(H) of empty position 7
    EXPECT_EQ(s.OffsetPage->Cells[14], "-1.000"); // GEOM(D)
    const double before = RunZ();
    Engine->Tooling()->ZOffsetPrompt = [](const std::string &, std::string &Value) {
        Value = "30";
        return true;
    };
    Engine->Tooling()->EditZOffset(1, 25);
    EXPECT_EQ(s.OffsetPage->Cells[0], "30.000");
    const double after = RunZ();
    EXPECT_NEAR(after - before, 5.0, 0.01);
}

TEST_F(FanucEngine, WorkShiftPageFollowsTheWorkOffset)
{
    TFanucScreen &s = *Host.Station;
    TWork_piece_offset &offsets = *Engine->WorkOffsets();
    ASSERT_GE(offsets.Names.size(), 2u);
    s.ShowFunctionPage(fpWorkShift);
    ASSERT_TRUE(s.WorkShiftPage);
    const std::vector<std::string> first = s.WorkShiftPage->Cells;
    const double before = RunZ();
    const std::string other = offsets.Names[0] == offsets.CurrentMOffset() ? offsets.Names[1] : offsets.Names[0];
    offsets.SetCurrentMOffset(other);
    EXPECT_NE(s.WorkShiftPage->Cells, first);
    EXPECT_EQ(s.WorkShiftPage->Cells[2], FloatToUnitsText(false, offsets.MZ()));
    const double after = RunZ();
    EXPECT_NE(before, after);
    // Page keys answer with the message and change nothing.
    s.ShowFunctionPage(fpWorkShift);
    Messages.ClearLog();
    s.EditKey(29, "");
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_EQ(Messages.Log()[0].Text,
              "To alter work offsets use normal OFFSETS button\rThis page is shown for reference only");
    EXPECT_EQ(s.WorkShiftPage->Cells[2], FloatToUnitsText(false, offsets.MZ()));
}

} // namespace
} // namespace orv::fanuc
