// The engine form's tooling: a G41 contour through ncrun with the settings'
// tool files, an M06 tool change reaching the 2D output with the tool's
// diameter, and a rewound incremental program with arcs that runs the same
// twice.

#include "engine/DIniFile.h"
#include "engine/DUtils.h"
#include "engine/Draw_2D.h"
#include "engine/tests/FormEngine.h"
#include "engine/tests/View2dFixture.h"
#include "machine/Machine_Tooling.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifndef ORV_NCRUN
#error "ORV_NCRUN names the ncrun executable"
#endif

namespace orv {
namespace {

const std::string Fixtures = std::string(ORV_SOURCE_DIR) + "/engine/tests/data/form/";

std::string ReadFile(const std::string &Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FormToolingNcrun, G41ContourRunsWithTheCurrentToolsDiameter)
{
    test::TTempDir Temp;
    std::string settings = Temp.File("settings");
    std::filesystem::copy(Fixtures + "settings", settings);
    std::string out = Temp.File("out.txt");
    std::string err = Temp.File("err.txt");
    std::string command = "cd '" + Fixtures + "' && '" + ORV_NCRUN + "' --settings '" + settings +
                          "' contour_g41.fnc >'" + out + "' 2>'" + err + "'";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0) << ReadFile(err);
    EXPECT_EQ(ReadFile(err), "");
    EXPECT_EQ(ReadFile(out), ReadFile(Fixtures + "contour_g41.records"));
}

// An engine whose folder holds the tool files before the form is made, with
// a real 2D output (drawing into a recording view) in slot 0.
class FormTooling : public ::testing::Test {
protected:
    class THost : public test::TLogHost {
    public:
        test::TViewRecord View;
        std::unique_ptr<TBasicOutput> CreateOutput(int Slot) override
        {
            if (Slot != slot2D)
                return test::TLogHost::CreateOutput(Slot);
            auto draw = std::make_unique<TDraw_2D>();
            draw->ViewFactory = [this] { return std::make_unique<test::TRecordingView>(View); };
            return draw;
        }
    };
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
        std::string path = Folder.Write(Name, Text);
        Engine->SetProgramFile(path);
        Engine->SelectSource(skEditor);
        std::string name = path;
        ASSERT_TRUE(Engine->Source() && Engine->Source()->LoadFile(name));
        Engine->ProgramLoaded(path, true, 0);
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
    EXPECT_TRUE(Folder.Messages.Log().empty());
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

} // namespace
} // namespace orv
