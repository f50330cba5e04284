// The operator's windows of the machine as their user meets them in
// Tarnwick on the demo with the default data (the bench mill, driven as the
// simulated machine): the "Control Panel" from the Machine button through
// homing to a run of the demo on the machine, and its MDI page.
#include "shell/tests/user/TarnwickUser.h"

#include "components/toolbar/ui/TbCtls.h"
#include "engine/form/base.h"
#include "machine/BasicMachine.h"
#include "machine/ui/ControlPanelStdForm.h"
#include "shell/ui/main_form3_2.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace orv::test {
namespace {

class OperatorWindows : public TarnwickUser {
protected:
    // The Control Panel as the Machine button opens it: the machine asks
    // for the first tool, the operator puts it in (the machine's timers go
    // on meanwhile, as they do under a modal box) and says OK.
    TControlPanelStdForm *OpenControlPanel()
    {
        WhenModal([this](QWidget &Box) {
            ToolChangeAsked.push_back(Text(Box));
            Serve(2000);
            Answer(Box, "OK");
        });
        ClickToolbarButton("Machine");
        WaitFor([this] { return WindowTitled("Control Panel") != nullptr; }, 1000);
        return dynamic_cast<TControlPanelStdForm *>(WindowTitled("Control Panel"));
    }
    static std::string Text(QWidget &Box)
    {
        auto *box = qobject_cast<QMessageBox *>(&Box);
        return box ? box->text().toStdString() : Box.windowTitle().toStdString();
    }
    TBasicMachine *Machine() const { return Form().Engine() ? Form().Engine()->Machine() : nullptr; }
    bool Homed(TControlPanelStdForm &Panel) const
    {
        for (QLabel *lamp : Panel.Shapes)
            if (!lamp->styleSheet().contains("#008000"))
                return false;
        return true;
    }
    // A page of the panel chosen by a click on its tab.
    void ChoosePage(TControlPanelStdForm &Panel, int Page)
    {
        QTabBar *tabs = Panel.PageControl->tabBar();
        ASSERT_TRUE(Panel.PageControl->isTabVisible(Page)) << "tab " << Page << " is hidden";
        Click(tabs, tabs->tabRect(Page).center());
    }

    std::vector<std::string> ToolChangeAsked;
};

// The Machine button opens the Control Panel; once the simulated machine
// is up, the panel leaves "Initialising", the home buttons can be pressed,
// Home All homes the machine and shows the Jog, Auto and MDI pages, and
// Start on the Auto page runs the demo on the machine to its end.
TEST_F(OperatorWindows, TheMachineButtonHomesAndRunsTheDemoOnTheMachine)
{
    Start();
    TControlPanelStdForm *panel = OpenControlPanel();
    ASSERT_NE(panel, nullptr) << "shown: " << ShownWindows();
    EXPECT_EQ(ToolChangeAsked, std::vector<std::string>{"Change the tool in the machine to Tool Number 1"});
    ExpectWindowFits(panel);

    // The machine reports its state: ready, nothing homed, homing open.
    EXPECT_TRUE(WaitFor([&] { return panel->BothHome->isEnabled(); }, 2000))
        << "status: " << panel->MachStatusBar->text().toStdString();
    EXPECT_EQ(panel->MachStatusBar->text().toStdString(), " Machine Status: Ready");
    for (QPushButton *b : {panel->XHome, panel->YHome, panel->ZHome, panel->BothHome})
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    EXPECT_FALSE(Homed(*panel));
    EXPECT_FALSE(panel->PageControl->isTabVisible(pgAuto));

    Click(panel->BothHome);
    ASSERT_TRUE(WaitFor([&] { return Homed(*panel); }, 60000)) << "the machine did not home";
    ASSERT_NE(Machine(), nullptr);
    EXPECT_TRUE(Machine()->HomedZ && Machine()->HomedXY) << "Z first, then X and Y together";
    for (int page : {pgJog, pgAuto, pgMDI})
        EXPECT_TRUE(panel->PageControl->isTabVisible(page)) << page;

    ChoosePage(*panel, pgAuto);
    ASSERT_TRUE(WaitFor([&] { return Machine()->Mode == modeAuto; }, 1000));
    EXPECT_EQ(panel->PageControl->currentIndex(), pgAuto);

    // The demo changes to tool 4 half way: the operator puts it in.
    WhenModal([this](QWidget &Box) {
        ToolChangeAsked.push_back(Text(Box));
        Answer(Box, "OK");
    });
    ClickToolbarButton("startbutton");
    EXPECT_TRUE(WaitFor([&] { return ToolbarButton("rewindbutton")->isEnabled(); }, 600000))
        << "the run did not end; cycle: " << panel->CycleState1->text().toStdString();
    EXPECT_EQ(ToolChangeAsked.back(), "Change the tool in the machine to Tool Number 4");
    EXPECT_FALSE(ToolbarButton("startbutton")->isEnabled()) << "Rewind comes before a new Start";
    // The machine stands where the demo ends: over the second hole, Z up.
    EXPECT_EQ(panel->ProgValues[0]->text().toStdString(), "55.000");
    EXPECT_EQ(panel->ProgValues[1]->text().toStdString(), "40.000");
    EXPECT_EQ(panel->ProgValues[2]->text().toStdString(), "5.000");
    EXPECT_TRUE(Unexpected.empty());
}

} // namespace
} // namespace orv::test
