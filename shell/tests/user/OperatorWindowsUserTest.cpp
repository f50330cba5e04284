// The operator's windows of the machine as their user meets them in
// Tarnwick on the demo with the default data (the bench mill, driven as the
// simulated machine): the "Control Panel" from the Machine button through
// homing to a run of the demo on the machine, its MDI page, its menus,
// dialogs and displays; and the main window's settings that name things
// in the settings files (machine copies, utility titles, projects).
#include "shell/tests/user/TarnwickUser.h"

#include "components/toolbar/ui/TbCtls.h"
#include "engine/chain/ui/MDIMemo.h"
#include "engine/form/base.h"
#include "localise/ui/LxLanguageDialog.h"
#include "machine/BasicControlPanel.h"
#include "machine/BasicMachine.h"
#include "machine/Machine_Tooling.h"
#include "machine/Work_piece_offset.h"
#include "machine/ui/ControlPanelStdForm.h"
#include "machine/ui/McodeEntry.h"
#include "machine/ui/data_entty_form.h"
#include "machine/ui/property_editor.h"
#include "platform/IniFile.h"
#include "shell/ui/Config_Menu_Tools.h"
#include "shell/ui/MenuToolProp.h"
#include "shell/ui/main_form3_2.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTimer>
#include <QTreeWidget>

#include <fstream>
#include <sstream>

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
    // The panel's frame is fixed: whatever its page shows is read whole,
    // the buttons over the readout and the panels of its status bar, side
    // by side.
    void ExpectReadWhole(TControlPanelStdForm &Panel)
    {
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); // as drawn next
        for (QToolButton *b : {Panel.Mcode_but, Panel.View_CoOrds, Panel.ZToolOffsets, Panel.Coolant,
                               Panel.Turbo, Panel.TChangeButt})
            if (b->isVisible())
                EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString() << " is cut";
        int right = 0;
        for (QLabel *p : Panel.StatusPanels) {
            if (!p->isVisible() || p->text().isEmpty())
                continue;
            const std::string text = p->text().toStdString();
            EXPECT_GE(p->width(), p->sizeHint().width()) << text << " is cut";
            EXPECT_GE(p->x(), right) << text << " lies over the panel before it";
            EXPECT_LE(p->geometry().right(), Panel.StatusBar->width()) << text << " runs out of the bar";
            right = p->geometry().right();
        }
    }
    // A page of the panel chosen by a click on its tab.
    void ChoosePage(TControlPanelStdForm &Panel, int Page)
    {
        Serve(); // the tab bar lays out the tabs that came
        QTabBar *tabs = Panel.PageControl->tabBar();
        ASSERT_TRUE(Panel.PageControl->isTabVisible(Page)) << "tab " << Page << " is hidden";
        ASSERT_TRUE(tabs->rect().contains(tabs->tabRect(Page)))
            << "tab " << Page << " lies outside its bar, " << tabs->width() << " wide";
        Click(tabs, tabs->tabRect(Page).center());
    }

    // The panel opened and the machine homed by Home All.
    TControlPanelStdForm *OpenAndHome()
    {
        TControlPanelStdForm *panel = OpenControlPanel();
        if (!panel || !WaitFor([&] { return panel->BothHome->isEnabled(); }, 2000))
            return nullptr;
        Click(panel->BothHome);
        return WaitFor([&] { return Homed(*panel); }, 60000) ? panel : nullptr;
    }
    // Every request the panel sends on its way to the machine.
    void RecordRequests()
    {
        TBasicControlPanel *p = Form().Engine()->Panel();
        auto toEngine = p->OnMachineRequest;
        p->OnMachineRequest = [this, toEngine](TObject *Sender, TRequestData &R) {
            Requests.push_back(R);
            toEngine(Sender, R);
        };
    }
    std::vector<int> MCodesSent() const
    {
        std::vector<int> codes;
        for (const TRequestData &r : Requests)
            if (r.Kind == rqMCode)
                codes.push_back(r.IntValue);
        return codes;
    }
    // The message box that comes next: its text kept, answered with Button.
    void ExpectBox(std::vector<std::string> &Texts, const QString &Button)
    {
        WhenModal([this, &Texts, Button](QWidget &Box) {
            Texts.push_back(Text(Box));
            Answer(Box, Button);
        });
    }
    // "Select Language" from the Setup menu, the language of that number
    // picked in its tree and confirmed.
    void SelectLanguage(int Language)
    {
        ASSERT_TRUE(SelectLanguageFrom(Language, {"Setup", "Select Language"}, true));
    }
    std::string Setting(const char *Section, const char *Key) const
    {
        return TIniFile(Dir.File("Tarnwick.ini")).ReadString(Section, Key, "(none)");
    }

    std::vector<std::string> ToolChangeAsked;
    std::vector<TRequestData> Requests;
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
    // The feed in the status bar is read whole.
    QLabel *feed = panel->StatusPanels[0];
    EXPECT_TRUE(feed->text().startsWith("F:")) << feed->text().toStdString();
    EXPECT_GE(feed->width(), feed->sizeHint().width()) << feed->text().toStdString() << " is cut";

    ChoosePage(*panel, pgAuto);
    ASSERT_TRUE(WaitFor([&] { return Machine()->Mode == modeAuto; }, 1000));
    EXPECT_EQ(panel->PageControl->currentIndex(), pgAuto);

    // The demo changes to tool 4 half way: the operator puts it in. The
    // spindle turns by then: its speed shows in the status bar too.
    WhenModal([this, panel](QWidget &Box) {
        ToolChangeAsked.push_back(Text(Box));
        EXPECT_TRUE(panel->StatusPanels[1]->text().startsWith("S:"))
            << panel->StatusPanels[1]->text().toStdString();
        ExpectReadWhole(*panel);
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

// The MDI page: blocks typed into the memo run on the machine with Start;
// while they run the memo takes no keys (a line typed then would have made
// the blocks already run run again), and afterwards it is open again.
TEST_F(OperatorWindows, WhileTheMDIBlocksRunTheMemoTakesNoKeysAndEachBlockRunsOnce)
{
    Start();
    TControlPanelStdForm *panel = OpenAndHome();
    ASSERT_NE(panel, nullptr) << "shown: " << ShownWindows();
    ChoosePage(*panel, pgMDI);
    ASSERT_TRUE(WaitFor([&] { return Machine()->Mode == modeMDI; }, 1000))
        << "mode " << int(Machine()->Mode) << ", page " << panel->PageControl->currentIndex()
        << " rect " << panel->PageControl->tabBar()->tabRect(pgMDI).x() << ","
        << panel->PageControl->tabBar()->tabRect(pgMDI).width() << " bar "
        << panel->PageControl->tabBar()->width() << " cycle " << panel->CycleState1->text().toStdString()
        << " status " << panel->MachStatusBar->text().toStdString();
    auto *memo = panel->OverRidePanel->findChild<TMDIMemo *>();
    ASSERT_NE(memo, nullptr);
    ExpectWindowFits(panel);
    ExpectReadWhole(*panel);
    Click(memo->viewport());
    Type("G21 G90 G01 F600");
    for (int x = 1; x <= 60; ++x) {
        Key(Qt::Key_Return);
        Type("X" + QString::number(x));
    }
    const QString typed = memo->toPlainText();
    ASSERT_EQ(typed.count('\n'), 60) << typed.left(80).toStdString();

    // Past X3 the readout's X only goes up: no block runs twice.
    double lastX = -1e9;
    bool wentBack = false;
    auto sample = [&] {
        const double x = panel->ProgValues[0]->text().toDouble();
        wentBack = wentBack || (lastX >= 3 && x < lastX);
        lastX = x;
    };
    ClickToolbarButton("startbutton");
    ASSERT_TRUE(WaitFor([&] { return sample(), lastX >= 3; }, 60000))
        << "the blocks did not start: X " << lastX << ", cycle "
        << panel->CycleState1->text().toStdString() << ", unexpected "
        << (Unexpected.empty() ? "" : Unexpected.front()) << ", message "
        << panel->MessageLabel->text().toStdString();
    EXPECT_TRUE(memo->isReadOnly());
    Click(memo->viewport());
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_Return);
    Type("M05");
    EXPECT_EQ(memo->toPlainText(), typed) << "the running memo took the keys";
    // Its popup offers nothing that would change the text.
    bool offered = false;
    WhenModal([&](QWidget &Menu) {
        offered = true;
        for (QAction *a : Menu.actions())
            if (!a->isSeparator())
                EXPECT_FALSE(a->isEnabled() && a->text().remove('&') != "Edit")
                    << a->text().toStdString();
        Key(Qt::Key_Escape);
    });
    RightClick(memo->viewport(), QPoint(20, 10));
    EXPECT_TRUE(WaitFor([&] { return offered; }, 500)) << "no popup";

    ASSERT_TRUE(WaitFor([&] { return sample(), !memo->isReadOnly(); }, 60000))
        << "the blocks did not end";
    EXPECT_TRUE(WaitFor([&] { return sample(), panel->ProgValues[0]->text() == "60.000"; }, 2000))
        << "the last block did not run: X " << lastX;
    EXPECT_FALSE(wentBack) << "the machine went back: blocks ran twice";
    Click(memo->viewport());
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_Return);
    Type("M05");
    EXPECT_TRUE(memo->toPlainText().endsWith("X60\nM05"));
    EXPECT_TRUE(Unexpected.empty());
}

// The displays and dialogs of the panel: "Co Ordinates" swaps the machine
// and program readouts; "M Codes" lists the manual entry and the enabled M
// codes, and "Enter an M code" sends a number and refuses anything else;
// the "Control" menu's "Machine Information" asks the machine.
TEST_F(OperatorWindows, ThePanelsCoordinatesMCodesAndMachineInformation)
{
    Start();
    TControlPanelStdForm *panel = OpenAndHome();
    ASSERT_NE(panel, nullptr) << "shown: " << ShownWindows();
    RecordRequests();

    // The machine's information from the window's "Control" menu (a right
    // click on the window): asked of the machine, which as the simulated
    // machine has none to show.
    bool picked = false;
    WhenModal([this, &picked](QWidget &Menu) {
        PickFromPopup(qobject_cast<QMenu *>(&Menu), {"Control", "Machine Information"});
        picked = true;
    });
    RightClick(panel->MachStatusBar);
    EXPECT_TRUE(WaitFor([&] { return picked; }, 1000)) << "no menu";
    ASSERT_FALSE(Requests.empty());
    EXPECT_EQ(Requests.back().Kind, rqShowVersion);
    Serve(100);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    EXPECT_TRUE(panel->ProgDisp->isVisible());
    EXPECT_FALSE(panel->MachDisp->isVisible());
    Click(panel->View_CoOrds);
    EXPECT_TRUE(panel->MachDisp->isVisible());
    EXPECT_FALSE(panel->ProgDisp->isVisible());
    ExpectWindowFits(panel);
    Click(panel->View_CoOrds);
    EXPECT_TRUE(panel->ProgDisp->isVisible());

    // "Enter an M code": "x5.5" is no integer (the error, nothing sent),
    // then " 8" goes out as M8.
    const struct {
        const char *Typed;
        std::vector<int> Sent;
        std::vector<std::string> Errors;
    } entries[] = {{"x5.5", {}, {"'5.5' is not a valid integer value"}}, {" 8", {8}, {}}};
    for (const auto &e : entries) {
        SCOPED_TRACE(e.Typed);
        Requests.clear();
        std::vector<std::string> errors;
        bool shown = false;
        WhenModal([&](QWidget &Dialog) {
            shown = true;
            EXPECT_EQ(Dialog.windowTitle().toStdString(), "Enter an M code");
            ExpectWindowFits(&Dialog);
            if (!e.Errors.empty())
                ExpectBox(errors, "OK");
            Type(e.Typed);
            Answer(Dialog, "Do It");
        });
        Click(panel->Mcode_but);
        QMenu *codes = OpenPopup();
        ASSERT_NE(codes, nullptr) << "the M code menu did not open";
        QStringList items;
        for (QAction *a : codes->actions())
            items << a->text().remove('&');
        EXPECT_EQ(items.first(), "Manual M code entry");
        EXPECT_GT(items.size(), 1) << "the machine's enabled M codes follow";
        PickFromPopup(codes, {"Manual M code entry"});
        WaitFor([&] { return shown && errors.size() == e.Errors.size(); }, 1000);
        EXPECT_TRUE(shown);
        EXPECT_EQ(errors, e.Errors);
        EXPECT_EQ(MCodesSent(), e.Sent);
    }

    EXPECT_TRUE(Unexpected.empty());
}

// The small panel beside the home buttons: a double click marks the
// machine homed without moving it, and the mode pages show.
TEST_F(OperatorWindows, ADoubleClickOnTheSecretHomeMarksTheMachineHomed)
{
    Start();
    TControlPanelStdForm *panel = OpenControlPanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(WaitFor([&] { return panel->BothHome->isEnabled(); }, 2000));
    EXPECT_FALSE(Homed(*panel));
    DoubleClick(panel->SecretHome);
    Serve(100);
    EXPECT_TRUE(Homed(*panel));
    EXPECT_TRUE(Machine()->AllHomed);
    for (int page : {pgJog, pgAuto, pgMDI})
        EXPECT_TRUE(panel->PageControl->isTabVisible(page)) << page;
}

// With [Default Settings] "ToolChangeButton" the Jog page offers "Tool
// Change": its menu lists the changer's tools (the one in the spindle
// disabled); one chosen and confirmed goes into the machine.
TEST_F(OperatorWindows, TheToolChangeMenuPutsTheChosenToolIntoTheMachine)
{
    TIniFile(Dir.File("Tarnwick.ini")).WriteString("Default Settings", "ToolChangeButton", "True");
    Start();
    TControlPanelStdForm *panel = OpenAndHome();
    ASSERT_NE(panel, nullptr) << "shown: " << ShownWindows();
    EXPECT_FALSE(panel->TChangeButt->isVisible()) << "not on the Home page";
    ChoosePage(*panel, pgJog);
    ASSERT_TRUE(WaitFor([&] { return Machine()->Mode == modeJog; }, 1000));
    ASSERT_TRUE(panel->TChangeButt->isVisible());
    ExpectWindowFits(panel);
    ExpectReadWhole(*panel);

    std::vector<std::string> asked;
    Click(panel->TChangeButt);
    QMenu *tools = OpenPopup();
    ASSERT_NE(tools, nullptr) << "the tool menu did not open";
    ASSERT_GE(tools->actions().size(), 2);
    const QAction *inSpindle = tools->actions().first();
    EXPECT_TRUE(inSpindle->text().startsWith("T 1 : ")) << inSpindle->text().toStdString();
    EXPECT_FALSE(inSpindle->isEnabled()) << "tool 1 is in the spindle";
    QAction *second = tools->actions().at(1);
    const QString caption = second->text();
    EXPECT_TRUE(caption.contains("mm ")) << caption.toStdString();
    const int position = caption.section(' ', 1, 1).toInt();
    ExpectBox(asked, "Yes");
    ExpectBox(asked, "OK");
    PickFromPopup(tools, {caption});
    ASSERT_TRUE(WaitFor([&] { return asked.size() == 2; }, 2000)) << "asked: " << asked.size();
    EXPECT_EQ(asked[0], "Are you sure you want to change to Tool: " + std::to_string(position) + " ?");
    EXPECT_EQ(asked[1], "Change the tool in the machine to Tool Number " + std::to_string(position));
    EXPECT_EQ(Form().Engine()->Tooling()->CurrentTool(), position);
    EXPECT_EQ(panel->StatusPanels[2]->text().toStdString(), "T " + std::to_string(position));
    EXPECT_FALSE(panel->TChangeButt->isChecked());
    EXPECT_TRUE(Unexpected.empty());
}

// In German the captions are longer: the Jog page's buttons, with "Tool
// Change", and all four tabs are still read whole, whether the program
// started in German or the operator chose German with the panel open.
class GermanPanel : public OperatorWindows {
protected:
    void ExpectJogPageReadWhole(bool StartInGerman)
    {
        TIniFile ini(Dir.File("Tarnwick.ini"));
        ini.WriteString("Default Settings", "ToolChangeButton", "True");
        if (StartInGerman)
            ini.WriteInteger("Default Settings", "PrimaryLanguage", 1);
        Start();
        TControlPanelStdForm *panel = OpenAndHome();
        ASSERT_NE(panel, nullptr) << "shown: " << ShownWindows();
        ChoosePage(*panel, pgJog);
        ASSERT_TRUE(WaitFor([&] { return Machine()->Mode == modeJog; }, 1000));
        if (!StartInGerman)
            SelectLanguage(1);
        EXPECT_EQ(panel->PageControl->tabText(pgJog).toStdString(), "Tippen");
        EXPECT_EQ(panel->TChangeButt->text().toStdString(), "Werkzeugwechsel");
        ExpectWindowFits(panel);
        ExpectReadWhole(*panel);
        QTabBar *tabs = panel->PageControl->tabBar();
        EXPECT_GE(tabs->width(), tabs->sizeHint().width()) << "the tabs are cut";
        EXPECT_TRUE(Unexpected.empty());
    }
};

TEST_F(GermanPanel, StartedInGermanTheJogPagesButtonsAreReadWhole)
{
    ExpectJogPageReadWhole(true);
}

TEST_F(GermanPanel, GermanChosenWithThePanelOpenWidensIt)
{
    ExpectJogPageReadWhole(false);
}

// A mouse button on the readout picks its colours through the program's
// colour dialog, which shows the custom colours every colour dialog of the
// program keeps beside it and keeps the ones added there: the right button
// the background, the left the digits; both kept in the settings.
TEST_F(OperatorWindows, TheReadoutColoursComeFromTheProgramsColourDialog)
{
    std::ofstream(Dir.File("Tarnwick.col"), std::ios::binary) << "ColorA=0000FF\r\n";
    Start();
    TControlPanelStdForm *panel = OpenControlPanel();
    ASSERT_NE(panel, nullptr);
    // The background first, its colour added to the custom colours (in the
    // first place); then the digits, with that custom colour kept.
    const struct {
        Qt::MouseButton Button;
        const char *Chosen, *Key;
        int Value;
        QColor Kept;
        bool Add;
    } picks[] = {{Qt::RightButton, "#00ff00", "ReadOutPanelColor", 0x00FF00, QColor(255, 0, 0), true},
                 {Qt::LeftButton, "#0000ff", "ReadOutAxesColor", 0xFF0000, QColor(0, 255, 0), false}};
    for (const auto &p : picks) {
        SCOPED_TRACE(p.Key);
        bool shown = false;
        WhenModal([&](QWidget &Dialog) {
            shown = true;
            EXPECT_NE(qobject_cast<QColorDialog *>(&Dialog), nullptr) << "another dialog";
            EXPECT_EQ(QColorDialog::customColor(0), p.Kept) << "the kept colour";
            QLineEdit *html = nullptr;
            for (QLineEdit *e : Dialog.findChildren<QLineEdit *>())
                if (e->isVisible() && e->text().startsWith('#'))
                    html = e;
            ASSERT_NE(html, nullptr);
            DoubleClick(html);
            Key(Qt::Key_A, Qt::ControlModifier);
            Type(p.Chosen);
            if (p.Add)
                Answer(Dialog, "Add to Custom Colors");
            Answer(Dialog, "OK");
        });
        Click(panel->ProgDisp, QPoint(5, 5), p.Button);
        WaitFor([&] { return shown; }, 1000);
        EXPECT_TRUE(shown) << "no colour dialog";
        Serve();
        EXPECT_EQ(Setting("ControlPanel", p.Key), std::to_string(p.Value));
        EXPECT_TRUE(panel->ProgDisp->styleSheet().contains(p.Chosen))
            << panel->ProgDisp->styleSheet().toStdString();
    }
    std::stringstream kept;
    kept << std::ifstream(Dir.File("Tarnwick.col"), std::ios::binary).rdbuf();
    EXPECT_EQ(kept.str().substr(0, 15), "ColorA=00FF00\r\n") << kept.str();
    EXPECT_TRUE(Unexpected.empty());
}

// --- Names the settings files hold --------------------------------------------

class SettingsNames : public OperatorWindows {
protected:
    std::string Read(const std::string &File) const
    {
        std::stringstream text;
        text << std::ifstream(Dir.File(File), std::ios::binary).rdbuf();
        return text.str();
    }
};

// "Copy..." in the machine editor: a name that the machine list cannot
// hold as a key, or that would put the copy outside the machines folder, is
// refused with the editor's error and changes nothing; a plain one copies.
TEST_F(SettingsNames, TheMachineEditorCopiesOnlyUnderAUsableName)
{
    Start();
    const std::string listBefore = Read("Machines.ini");
    std::vector<std::string> errors;
    bool edited = false;
    WhenModal([this](QWidget &Dialog) {
        Type("orvellan");
        Answer(Dialog, "OK");
    });
    WhenModal([&](QWidget &Dialog) {
        auto &editor = dynamic_cast<TVis_form &>(Dialog);
        ExpectWindowFits(&editor);
        // One copy; a failed check ends it, never the editor (left open,
        // it would hold the test).
        auto copyAs = [&](const char *name) {
            SCOPED_TRACE(name);
            QList<QTreeWidgetItem *> found =
                editor.TV->findItems("BENCHMILL", Qt::MatchFixedString | Qt::MatchRecursive);
            ASSERT_FALSE(found.isEmpty());
            editor.TV->scrollToItem(found.first());
            const size_t before = errors.size();
            WhenModal([&, name](QWidget &Entry) {
                auto &entry = dynamic_cast<TData_entry &>(Entry);
                DoubleClick(entry.FileName);
                Key(Qt::Key_A, Qt::ControlModifier);
                Type(name);
                Answer(Entry, "OK");
            });
            if (std::string(name) != "MILL2")
                ExpectBox(errors, "OK");
            const QRect item = editor.TV->visualItemRect(found.first());
            EXPECT_TRUE(editor.TV->viewport()->rect().contains(item)) << "the machine's name is cut";
            RightClick(editor.TV->viewport(), item.center());
            QMenu *menu = OpenPopup();
            ASSERT_NE(menu, nullptr) << "no machine menu";
            PickFromPopup(menu, {"Copy..."});
            if (std::string(name) != "MILL2") {
                WaitFor([&] { return errors.size() > before; }, 1000);
                ForgetModalHandlers(); // the error's, when it never came
                ASSERT_EQ(errors.size(), before + 1);
                EXPECT_EQ(errors.back(), "Sorry Error in creating that name");
                EXPECT_EQ(Read("Machines.ini"), listBefore);
            }
        };
        // "../outside" aims at the folder above machines/: the test's own.
        for (const char *name : {"A=B", "[X]", "../outside", "MILL2"})
            copyAs(name);
        edited = true;
        CloseByFrame(&Dialog);
    });
    ChooseMenu({"Setup", "Setup Machine Parameters..."});
    ASSERT_TRUE(WaitFor([&] { return edited; }, 2000));
    EXPECT_FALSE(std::filesystem::exists(Dir.File("outside.ini")));
    EXPECT_FALSE(std::filesystem::exists(Dir.File("machines/[X].ini")));
    EXPECT_TRUE(std::filesystem::exists(Dir.File("machines/MILL2.ini")));
    EXPECT_NE(Read("Machines.ini").find("MILL2="), std::string::npos);
    EXPECT_TRUE(Unexpected.empty());
}

// "Utility Properties": a title the [Menu Tools] keys cannot hold keeps
// "OK" disabled as a title already taken does; a plain one enables it.
TEST_F(SettingsNames, AUtilityTitleTheMenuKeysCannotHoldKeepsOKDisabled)
{
    Start();
    const std::string program = Dir.File("Tarnwick.ini"); // a file that exists
    bool closed = false;
    WhenModal([&](QWidget &Dialog) {
        auto &config = dynamic_cast<TMenuConfigTools &>(Dialog);
        WhenModal([&](QWidget &Properties) {
            auto &form = dynamic_cast<TToolPropForm &>(Properties);
            ExpectWindowFits(&form);
            Click(form.ProgramEdit);
            Type(QString::fromStdString(program));
            const struct {
                const char *Title;
                bool Ok;
            } titles[] = {{"Calc=2", false}, {"[Calc]", false}, {"My_Title tool", false},
                          {"Calc 2", true}};
            for (const auto &t : titles) {
                SCOPED_TRACE(t.Title);
                DoubleClick(form.TitleEdit);
                Key(Qt::Key_A, Qt::ControlModifier);
                Type(t.Title);
                EXPECT_EQ(form.OKBtn->isEnabled(), t.Ok);
            }
            Answer(Properties, "Cancel");
        });
        Click(config.AddBtn);
        Answer(Dialog, "Close");
        closed = true;
    });
    ChooseMenu({"Utilities", "Configure Utilities..."});
    EXPECT_TRUE(WaitFor([&] { return closed; }, 2000));
    EXPECT_EQ(Read("Tarnwick.ini").find("Calc"), std::string::npos);
    EXPECT_TRUE(Unexpected.empty());
}

// Save Project with no program loaded keeps the folder the file dialogs
// start in (an empty one would send them to the current directory).
TEST_F(SettingsNames, SaveProjectWithoutAProgramKeepsTheProgramFolder)
{
    const std::string folder = Dir.File("programs/");
    TIniFile(Dir.File("Tarnwick.ini")).WriteString("directories", "FNC Folder", folder);
    Start({});
    ASSERT_TRUE(Form().Engine()->ProgramFile().empty());
    FileAnswers = {Dir.File("job.prj")};
    ChooseMenu({"File", "Save Project..."});
    ASSERT_EQ(FileRequests.size(), 1u);
    EXPECT_EQ(FileRequests[0].InitialDir, folder);
    EXPECT_TRUE(std::filesystem::exists(Dir.File("job.prj")));
    EXPECT_EQ(Setting("directories", "FNC Folder"), folder);
    FileAnswers = {""};
    ChooseMenu({"File", "Open Project..."});
    ASSERT_EQ(FileRequests.size(), 2u);
    EXPECT_EQ(FileRequests[1].InitialDir, folder);
}

// A project opened while a program runs (paused) does not open its
// program, but its other keys still apply.
TEST_F(SettingsNames, AProjectOpenedDuringARunAppliesAllButItsProgram)
{
    const std::string other = Dir.File("programs/other.fnc");
    std::ofstream(other, std::ios::binary) << "G00 X1\nM30\n";
    std::ofstream(Dir.File("job.prj"), std::ios::binary)
        << "[Data]\r\nFilename=" << other
        << "\r\nMachine Work Piece=G55\r\nSimulation Work Piece=G56\r\nMetric=0\r\n";
    Start();
    const std::string program = Form().Engine()->ProgramFile();
    ClickToolbarButton("2D Simulation");
    // The run goes on inside the Start click, serving the operator's input
    // between its blocks: the operator pauses it, opens the project and
    // stops the run.
    TCycleState during = csStopped;
    std::string programThen;
    bool inch = false;
    std::string machineOffset, simulationOffset, shown;
    QTimer::singleShot(0, [&] {
        ClickToolbarButton("pauseButton");
        during = Form().Engine()->RunState();
        FileAnswers = {Dir.File("job.prj")};
        ChooseMenu({"File", "Open Project..."});
        Serve(100);
        programThen = Form().Engine()->ProgramFile();
        inch = Form().Engine()->Inch();
        machineOffset = Form().Engine()->WorkOffsets()->CurrentMOffset();
        simulationOffset = Form().Engine()->WorkOffsets()->CurrentSOffset();
        shown = Form().StatusPanelText(2, 1);
        ClickToolbarButton("stopbutton");
    });
    ClickToolbarButton("startbutton");
    Serve(100);
    EXPECT_NE(during, csStopped) << "the run was not under way";
    EXPECT_EQ(programThen, program) << "the running program stays";
    EXPECT_TRUE(inch);
    EXPECT_EQ(machineOffset, "G55");
    EXPECT_EQ(simulationOffset, "G56");
    EXPECT_EQ(shown, "G55");
    EXPECT_EQ(FileRequests.size(), 1u);
    EXPECT_TRUE(Unexpected.empty());
}

} // namespace
} // namespace orv::test
