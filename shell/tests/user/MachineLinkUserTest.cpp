// Tarnwick driving a machine over the serial link, as its user meets it:
// the simulated controller sits on a pseudo-terminal that [Serial Ports]
// maps to COM1. A controller whose program is not running gets it
// downloaded when the Machine button connects, with "Setting Up Machine
// [file]" showing the lines going in.
#include "shell/tests/user/TarnwickUser.h"

#include "components/toolbar/ui/TbCtls.h"
#include "engine/form/base.h"
#include "links/tests/LinkRig.h"
#include "machine/Read_Machinedata_file.h"
#include "machine/ui/Progress.h"
#include "platform/IniFile.h"
#include "platform/ui/QtEventLoop.h"
#include "shell/ui/TarnwickApp.h"
#include "shell/ui/main_form3_2.h"

#include <QApplication>
#include <QPointer>
#include <QMenu>
#include <QProgressBar>

#include <filesystem>
#include <fstream>

namespace orv::test {
namespace {

class MachineLink : public TarnwickUser {
protected:
    // The controller on the pty, COM1 in the main settings, on the test
    // clock: before each turn of the loop it has answered what it got; the
    // bench mill made a real machine of Control Type 5 with ProgramFile.
    void Prepare(bool ProgramRunning, const std::string &ProgramFile = "NONE")
    {
        Rig = std::make_unique<TSimRig>(ProgramRunning);
        Rig->Sim.VersionText = "vn2.1"; // a program the finder knows as running
        Rig->Start();
        Loop.BeforeTurn = [this] {
            Rig->Sync();
            Rig->Now = Loop.NowMs();
        };
        TIniFile(Dir.File("Tarnwick.ini")).WriteString("Serial Ports", "COM1", Rig->Slave);
        TIniFile machine(Dir.File("machines/BENCHMILL.ini"));
        machine.WriteString("Machine Capability", "Real Machine Available", "TRUE");
        machine.WriteString("Communications", "Control Type", "5");
        machine.WriteString("Communications", "Com Port", "1");
        machine.WriteString("Communications", "Mint File", ProgramFile);
    }
    ~MachineLink() override
    {
        // The link's worker goes before the controller it talks to.
        App.reset();
        Loop.BeforeTurn = nullptr;
    }

    int MachinePort() const
    {
        return TIniFile(Dir.File("machines/BENCHMILL.ini")).ReadInteger("Communications", "Com Port", 0);
    }

    std::unique_ptr<TSimRig> Rig;
};

// Right button on Machine, "Search for machine . . .": the finder tries the
// ports in turn, finds the controller on COM1, closes by itself and keeps
// COM1 as the machine's port.
TEST_F(MachineLink, SearchForMachineFindsTheControllerOnItsPort)
{
    Prepare(true);
    TIniFile(Dir.File("machines/BENCHMILL.ini")).WriteString("Communications", "Com Port", "7");
    Start();
    ASSERT_EQ(MachinePort(), 7);
    std::string finder;
    WhenModal([&](QWidget &Dialog) { finder = Dialog.windowTitle().toStdString(); });
    RightClick(ToolbarButton("Machine"));
    QMenu *popup = OpenPopup();
    ASSERT_NE(popup, nullptr) << "the Machine button's popup did not open";
    {
        // The finder's worker thread talks to the port in real time: the
        // search runs on the program's own loop and clock, as in Tarnwick.
        TQtEventLoop programLoop;
        TEventLoopScope scope(programLoop);
        PickFromPopup(popup, {"Search for machine . . ."});
    }
    EXPECT_EQ(MachinePort(), 1) << "the machine's own file keeps the port";
    for (const auto &e : std::filesystem::directory_iterator(Dir.Path()))
        EXPECT_EQ(e.path().filename().string().find('\\'), std::string::npos)
            << "a stray file " << e.path().filename();
    EXPECT_FALSE(finder.empty()) << "the finder did not show";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the finder stayed open";
    EXPECT_EQ(Form().Engine()->MachineData()->Communications.ComPort, 1);
    EXPECT_GT(Rig->Sim.FramesReceived(), 0);
    EXPECT_TRUE(ToolbarButton("Machine")->isEnabled());
    EXPECT_TRUE(Unexpected.empty());
}

// A controller that does not answer the version frame gets the program
// file over its command line: "Setting Up Machine [mill.mnt]" shows over
// the main window with its bar stepping through the file's lines, and goes
// once the program runs.
TEST_F(MachineLink, AControllerProgramDownloadShowsItsProgress)
{
    const std::string program = Dir.File("mill.mnt");
    std::ofstream(program, std::ios::binary) << "one\ntwo\n\nthree\nfour\n";
    Prepare(false, program);
    Start();

    // The window as it shows: its title, its bar's range and every step.
    struct TWatch : QObject {
        std::vector<std::string> Titles;
        std::vector<int> Steps;
        int Maximum = -1;
        bool Fitted = true;
        QPointer<Tprogress> Window;
        QWidget *Main = nullptr;
        bool eventFilter(QObject *O, QEvent *E) override
        {
            auto *w = qobject_cast<Tprogress *>(O);
            if (w && E->type() == QEvent::Show && !Window) {
                Window = w;
                Titles.push_back(w->windowTitle().toStdString());
                Maximum = w->Gauge->maximum();
                Fitted = w->isWindow() && w->parentWidget() == Main;
                QObject::connect(w->Gauge, &QProgressBar::valueChanged,
                                 [this](int V) { Steps.push_back(V); });
            }
            return false;
        }
    } watch;
    watch.Main = &Form();
    qApp->installEventFilter(&watch);
    WhenModal([this](QWidget &Box) { Answer(Box, "OK"); }); // the first tool
    ClickToolbarButton("Machine");
    WaitFor([&] { return WindowTitled("Control Panel") != nullptr; }, 20000);
    qApp->removeEventFilter(&watch);
    ForgetModalHandlers();

    EXPECT_EQ(watch.Titles, std::vector<std::string>{"Setting Up Machine [mill.mnt]"});
    EXPECT_TRUE(watch.Fitted) << "a window of its own over the main window";
    EXPECT_EQ(watch.Maximum, 5) << "the file's lines";
    EXPECT_EQ(watch.Steps, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(watch.Window.isNull()) << "the window stayed";
    EXPECT_TRUE(ToolbarButton("Machine")->Down()) << "the machine is on line";
    EXPECT_NE(WindowTitled("Control Panel"), nullptr) << "shown: " << ShownWindows();
    ClickToolbarButton("Machine"); // off line again
    EXPECT_TRUE(Unexpected.empty());
}

} // namespace
} // namespace orv::test
