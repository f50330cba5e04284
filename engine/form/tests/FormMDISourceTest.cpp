// The panel's MDI source in the engine: it becomes the source (kind 8)
// while the MDI page is up and gives the previous one back after; a source
// chosen meanwhile waits until the page is left.

#include "engine/chain/MDIInput.h"
#include "engine/form/tests/FormEngine.h"
#include "machine/ControlPanelStd.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

class TStandardPanelHost : public test::TLogHost {
public:
    std::unique_ptr<TBasicControlPanel> CreateStandardPanel(TBaseForm &) override
    {
        return std::make_unique<TControlPanelStd>();
    }
};

class FormMDISource : public ::testing::Test {
protected:
    FormMDISource()
    {
        test::CopyDefaultData(Folder);
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
        EXPECT_TRUE(test::LoadProgram(*Engine, Folder.Write("p.fnc", "M30\n")));
    }
    test::TFormFolder Folder;
    TStandardPanelHost Host;
    std::unique_ptr<TBaseForm> Engine;
};

TEST_F(FormMDISource, TheMDISourceReplacesTheSourceWhileItsPageIsUp)
{
    TBasicInput *editor = Engine->Source();
    TMDIInput mdi;
    TBasicInput *input = &mdi;
    Engine->MDISourceChanged(nullptr, input, true);
    EXPECT_EQ(Engine->SourceKind(), skMDI);
    EXPECT_EQ(Engine->Source(), &mdi);
    Engine->MDISourceChanged(nullptr, input, false);
    EXPECT_EQ(Engine->SourceKind(), skEditor);
    EXPECT_EQ(Engine->Source(), editor);
}

TEST_F(FormMDISource, ASourceChosenOnTheMDIPageTakesOverWhenThePageIsLeft)
{
    TMDIInput mdi;
    TBasicInput *input = &mdi;
    Engine->MDISourceChanged(nullptr, input, true);
    Engine->SelectSource(skCompiled);
    EXPECT_EQ(Engine->SourceKind(), skMDI) << "the MDI page stays the source";
    EXPECT_EQ(Engine->Source(), &mdi);
    Engine->MDISourceChanged(nullptr, input, false);
    EXPECT_EQ(Engine->SourceKind(), skCompiled);
    EXPECT_NE(Engine->Source(), nullptr);
    EXPECT_NE(Engine->Source(), &mdi);
}

TEST_F(FormMDISource, TheStandardPanelsMDIPageHandsItsSourceToTheEngine)
{
    TBasicInput *editor = Engine->Source();
    Engine->MakeSimulatedMachine();
    Engine->MakeStandardPanel();
    auto &panel = *static_cast<TControlPanelStd *>(Engine->Panel());
    panel.SetMachineMode(modeMDI);
    EXPECT_EQ(Engine->SourceKind(), skMDI);
    EXPECT_EQ(Engine->Source(), panel.MDI());
    panel.SetMachineMode(modeHome);
    EXPECT_EQ(Engine->Source(), editor);
    panel.SetMachineMode(modeMDI);
    Engine.reset(); // the panel goes with the engine and gives the source back first
}

} // namespace
} // namespace orv
