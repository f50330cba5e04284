// The machine's windows as Tarnwick installs them (InstallMachineWindows),
// reached from a run on the simulated machine, offscreen: a move beyond the
// travel shows the "Machine Error" dialog, a dwell its countdown window,
// and the tool Z-offset request asks with the "Set Offset" dialog.

#include "engine/form/HeadlessPanel.h"
#include "engine/form/tests/FormEngine.h"
#include "machine/BasicMachine.h"
#include "machine/Machine_Tooling.h"
#include "machine/MachineProblem.h"
#include "machine/StopWatch.h"
#include "machine/ui/DownCounterWindow.h"
#include "machine/ui/MachProbDialog.h"
#include "machine/ui/zoffset_.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace orv {
namespace {

class TPanelHost : public test::TLogHost {
public:
    std::unique_ptr<TBasicControlPanel> CreateStandardPanel(TBaseForm &) override
    {
        return std::make_unique<THeadlessPanel>();
    }
};

class FormMachineWindows : public ::testing::Test {
protected:
    FormMachineWindows()
    {
        InstallMachineWindows();
        std::filesystem::copy(ORV_DATA_DIR, Folder.Dir().Path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
    }
    ~FormMachineWindows() override
    {
        Engine.reset();
        SetMachineProblemPresenter(nullptr);
        SetDownCounterViewFactory(nullptr);
        SetDefaultZOffsetPrompt(nullptr);
    }

    // Loaded, on the simulated machine, homed, automatic, started.
    void Start(const char *Program)
    {
        ASSERT_TRUE(test::LoadProgram(*Engine, Folder.Write("prog.fnc", Program)));
        Engine->MakeSimulatedMachine();
        Engine->MakeStandardPanel();
        Folder.Loop.Advance(400);
        Engine->PanelCommand(19);
        Engine->PanelCommand(3);
        Engine->PanelCommand(21);
    }

    // Runs Action on the next modal window the program opens, then closes it.
    template <class TWindow>
    void OnNextModal(std::function<void(TWindow &)> Action)
    {
        QTimer::singleShot(0, [Action] {
            QWidget *Modal = QApplication::activeModalWidget();
            if (auto *Window = qobject_cast<TWindow *>(Modal))
                Action(*Window);
            if (Modal)
                Modal->close();
        });
    }

    test::TFormFolder Folder;
    TPanelHost Host;
    std::unique_ptr<TBaseForm> Engine;
};

TEST_F(FormMachineWindows, MoveBeyondTheTravelShowsTheMachineErrorDialog)
{
    std::string Title, Message, Details;
    OnNextModal<TMachProbDlg>([&](TMachProbDlg &Dialog) {
        Title = Dialog.windowTitle().toStdString();
        Message = Dialog.Panel1->text().toStdString();
        Details = Dialog.DetailsLabel->text().toStdString();
    });
    Start("G21 G90\nG00 X10 Y10\nG00 Y250\nG00 X20\nM30\n");
    for (int i = 0; i < 600 && Engine->RunState() != csStopped; ++i)
        Folder.Loop.Advance(100);
    EXPECT_EQ(Engine->RunState(), csStopped);
    EXPECT_EQ(Title, "M/C Limit Error");
    EXPECT_EQ(Message, "Machine Error: Move Exceeds Limits");
    EXPECT_NE(Details.find("(Machine Units)"), std::string::npos) << Details;
    for (const auto &M : Folder.Messages.Log())
        EXPECT_EQ(M.Text.find("Move Exceeds Limits"), std::string::npos)
            << "the dialog, not a message box";
}

TEST_F(FormMachineWindows, DwellShowsItsCountdownWindow)
{
    Start("G21 G90\nG00 X10 Y10\nG04 X3\nM30\n");
    bool Shown = false;
    for (int i = 0; i < 600 && Engine->RunState() != csStopped && !Shown; ++i) {
        Folder.Loop.Advance(50);
        for (QWidget *W : QApplication::topLevelWidgets())
            Shown = Shown || (qobject_cast<TDownCounterWindow *>(W) && W->isVisible());
    }
    EXPECT_TRUE(Shown);
}

TEST_F(FormMachineWindows, ToolZOffsetAsksWithTheSetOffsetDialog)
{
    Start("G21 G90\nM30\n");
    std::string Title, Prompt;
    OnNextModal<TZoffset_form>([&](TZoffset_form &Dialog) {
        Title = Dialog.windowTitle().toStdString();
        Prompt = Dialog.TextBox->text().toStdString();
    });
    ASSERT_NE(Engine->Machine(), nullptr);
    Engine->Machine()->SetToolZOffset();
    EXPECT_EQ(Title, "Set Offset");
    EXPECT_NE(Prompt.find("Set Z offset for tool : 1"), std::string::npos) << Prompt;
}

} // namespace
} // namespace orv
