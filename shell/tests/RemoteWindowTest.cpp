// The remote inputs in the running main window: the "CIM DDE Server"
// window shows the last poke and offers "Disconnect"; a copy-data request
// opens a program in the window's source; the Keplin console's press and
// release reach the window's buttons as a click.
#include "shell/ui/TarnwickApp.h"
#include "shell/ui/main_form3_2.h"

#include "components/toolbar/ui/TbCtls.h"
#include "engine/form/base.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/LocalSocket.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/tests/Pty.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/ModalRunner.h"
#include "shell/RemoteInputs.h"
#include "shell/simple_server_one.h"
#include "shell/tests/RunWatch.h"
#include "links/ComDrv32.h"
#include "links/KeplinDriverNew.h"
#include "links/ui/vrt_form_display.h"
#include "shell/ui/DDEServerWindow.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

namespace orv {
namespace {

// Tarnwick in its main window on its own copy of the data, with programs
// in "progs/" (the "FNC Folder"), MachineKeys in the bench mill's
// [Input/Output Devices] and SerialPorts in [Serial Ports].
class RemoteWindowBase : public ::testing::Test {
protected:
    RemoteWindowBase(const std::map<std::string, std::string> &MachineKeys,
                     const std::map<std::string, std::string> &SerialPorts,
                     const std::map<std::string, std::string> &Files = {})
    {
        std::filesystem::copy(ORV_DATA_DIR, Dir.Path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        std::filesystem::create_directory(Dir.File("progs"));
        Program = Dir.Write("progs/prog.fnc", "G1 X10 F300\nM30\n");
        for (const auto &f : Files)
            Dir.Write(f.first, f.second);
        TIniFile main(Dir.File("Tarnwick.ini"));
        main.WriteString("directories", "FNC Folder", Dir.File("progs"));
        for (const auto &p : SerialPorts)
            main.WriteString("Serial Ports", p.first, p.second);
        TIniFile machine(Dir.File("machines/BENCHMILL.ini"));
        for (const auto &k : MachineKeys)
            machine.WriteString("Input/Output Devices", k.first, k.second);
        FPrevious = std::filesystem::current_path();
        std::filesystem::current_path(Dir.Path());
        SetProgramPathOverride(Dir.Path(), "Tarnwick");
        SetModalScript([](QDialog &) { return int(QDialog::Rejected); });
        ::setenv("XDG_RUNTIME_DIR", Runtime.Path().substr(0, Runtime.Path().size() - 1).c_str(), 1);
        ::setenv("ORV_CLASS_REGISTRY", Dir.File("classes.reg").c_str(), 1);
        App = std::make_unique<TTarnwickApp>(std::vector<std::string>{"Tarnwick"});
        App->Show();
    }
    ~RemoteWindowBase() override
    {
        App.reset();
        ::unsetenv("ORV_CLASS_REGISTRY");
        ::unsetenv("XDG_RUNTIME_DIR");
        SetModalScript(nullptr);
        SetProgramPathOverride("", "");
        std::filesystem::current_path(FPrevious);
    }
    TMainForm &Form() { return App->MainForm(); }
    // Serves the window (its socket timers) until Done, a bounded number of turns.
    template <class F> bool ServeUntil(F Done)
    {
        for (int i = 0; i < 400 && !Done(); ++i) {
            Loop.Advance(20);
            ::usleep(1000);
        }
        return Done();
    }

    test::TTempDir Dir;
    test::TTempDir Runtime;
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessageScope{Messages};
    std::string Program;
    std::unique_ptr<TTarnwickApp> App;

private:
    std::filesystem::path FPrevious;
};

class RemoteWindow : public RemoteWindowBase {
protected:
    RemoteWindow() : RemoteWindowBase({{"CIM DDE Input", "TRUE"}}, {}) {}
};

TEST_F(RemoteWindow, TheDDEWindowShowsTheLastPokeAndOffersDisconnect)
{
    ASSERT_TRUE(Form().MenuItem("DDEConnection")->isVisible());
    TLocalClient client;
    std::string error;
    ASSERT_TRUE(client.Connect("miller", error)) << error;
    client.Send(DDEFrame(ddeConnect, {"miller", "data"}));
    client.Send(DDEFrame(ddePoke, {"status"}, std::string("hello") + '\0'));
    TDDEServer *server = Form().RemoteInputs()->DDEServer();
    ASSERT_NE(server, nullptr);
    ASSERT_TRUE(ServeUntil([&] { return server->DDE_Input() == "hello"; }));

    Form().MenuItem("DDEConnection")->trigger();
    TDDEServerWindow *w = Form().DDEWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "CIM DDE Server");
    EXPECT_EQ(w->DDE_Input->text(), "hello");
    EXPECT_EQ(w->DDE_output->text(), "IDLE ");
    EXPECT_EQ(w->Con_Discon->text(), "Disconnect");

    w->Con_Discon->click();
    EXPECT_FALSE(server->Connected());
    EXPECT_EQ(w->Con_Discon->text(), "Connect");
    EXPECT_EQ(w->DDE_output->text(), "NOT CONNECTED");
    w->Con_Discon->click();
    EXPECT_TRUE(server->Connected());
    EXPECT_EQ(w->Con_Discon->text(), "Disconnect");
    EXPECT_EQ(w->DDE_output->text(), "IDLE ");
}

TEST_F(RemoteWindow, ACopyDataRequestOpensTheProgram)
{
    TLocalClient client;
    std::string error;
    ASSERT_TRUE(client.Connect(TRemoteInputs::CopyDataSocket, error)) << error;
    const std::string text = "abcprog.fnc";
    std::string request(8, '\0');
    const uint32_t values[2] = {TRemoteInputs::CopyDataIdentifier, uint32_t(text.size())};
    for (int v = 0; v < 2; ++v)
        for (int i = 0; i < 4; ++i)
            request[size_t(4 * v + i)] = char((values[v] >> (8 * i)) & 0xFF);
    client.Send(request + text);
    std::string reply;
    ASSERT_TRUE(ServeUntil([&] { return !(reply += client.Receive(1)).empty(); }));
    EXPECT_EQ(reply, std::string(1, '\1'));
    EXPECT_EQ(std::filesystem::path(Form().Engine()->ProgramFile()),
              std::filesystem::canonical(Program));
}

// Records the keys a widget gets.
class TKeyLog : public QObject {
public:
    std::vector<std::pair<int, int>> Keys; // key, modifiers
    bool eventFilter(QObject *, QEvent *E) override
    {
        if (E->type() == QEvent::KeyPress) {
            auto *k = static_cast<QKeyEvent *>(E);
            Keys.push_back({k->key(), int(k->modifiers())});
        }
        return false;
    }
};

TEST_F(RemoteWindow, AKeplinKeyGoesToTheFocusWithItsModifiers)
{
    QLineEdit edit;
    edit.show();
    edit.setFocus();
    QApplication::setActiveWindow(&edit);
    TKeyLog log;
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &Form();
    target->installEventFilter(&log);
    Form().KeplinKey(112, 4); // F1 with Ctrl
    Form().KeplinKey(65, 1);  // A with Shift
    target->removeEventFilter(&log);
    EXPECT_EQ(log.Keys, (std::vector<std::pair<int, int>>{
                            {Qt::Key_F1, int(Qt::ControlModifier)},
                            {Qt::Key_A, int(Qt::ShiftModifier)}}));
}

TEST_F(RemoteWindow, AKeplinPressAndReleaseClickTheButton)
{
    TToolbarButton *single = Form().Button(TMainButton::SingleBlock);
    const bool before = single->Down();
    Form().KeplinPress("progCont", true);
    EXPECT_EQ(single->Down(), before); // a toolbar button clicks on its release
    Form().KeplinPress("progCont", false);
    EXPECT_NE(single->Down(), before);
}

} // namespace
} // namespace orv

namespace orv {
namespace {

TEST_F(RemoteWindow, TheVRButtonPutsTheVRLinkIntoTheMachineSlot)
{
    TToolbarButton *vr = Form().Button(TMainButton::VROutput);
    ASSERT_TRUE(vr->isEnabled());
    vr->Click();
    ASSERT_TRUE(vr->Down());
    ASSERT_TRUE(Form().Engine()->MachineIsVRLink());
    EXPECT_EQ(Form().Engine()->MachineData()->Feed.StepsX, 10);
    auto *window = Form().findChild<TVRT_form *>("VRT_form");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Corvane Virtual Reality.  Ver: 1.250");
    EXPECT_EQ(window->ViewBar->actions().size(), 4); // "Setup" and three views
    EXPECT_FALSE(Form().Button(TMainButton::MachineOutput)->isEnabled());

    vr->Click();
    EXPECT_FALSE(Form().Engine()->Machine());
    EXPECT_EQ(Form().Engine()->MachineData()->Feed.StepsX, 400);
    EXPECT_EQ(Form().findChild<TVRT_form *>("VRT_form"), nullptr);
    EXPECT_TRUE(Form().Button(TMainButton::MachineOutput)->isEnabled());
}

// The far ends of the serial lines, made before the window opens its ports:
// the cell controller on COM2 (the CIM port) and the Keplin key pad on COM3.
struct TRemoteLines {
    test::TPty Cim{true};
    test::TPty Pad{true};
};

// The remote inputs during a run they started themselves, in the main
// window: the run goes through the window's engine and its 2D view, and
// the requests come while it goes on.
class RemoteRunWindow : private TRemoteLines, public RemoteWindowBase {
protected:
    static constexpr int Moves = 1000;
    static constexpr int AskAt = 50; // the move at which the second request comes

    RemoteRunWindow()
        : RemoteWindowBase({{"CIM RS232 Input", "TRUE"},
                            {"CIM DDE Input", "TRUE"},
                            {"Keplin File", "keplin.dat"},
                            {"Com Port", "3"}},
                           {{"COM2", Cim.Slave}, {"COM3", Pad.Slave}},
                           {{"keplin.dat", "[Control]\nCycleStart=5\nCycleStop=8\n"}})
    {
        Dir.Write("progs/long.FNC", test::LongProgram(Moves));
        Form().Button(TMainButton::Output2D)->Click();
        Engine().OnHandOut = [this](const TCNC_data &) {
            if (++Records == AskAt && OnAsk)
                OnAsk();
        };
        Engine().OnProgramEnded = [this, ended = Engine().OnProgramEnded](TObject *Sender) {
            ++Ended;
            ended(Sender);
        };
    }
    TBaseForm &Engine() { return *Form().Engine(); }
    // Serves the window until the run that Start begins is over.
    void ServeRun()
    {
        for (int i = 0; i < 400 && !(Records > 0 && Engine().RunState() == csStopped); ++i) {
            Loop.Advance(50);
            ::usleep(1000);
        }
    }
    using TRemoteLines::Cim;
    using TRemoteLines::Pad;
    int Records = 0;
    int Ended = 0;
    std::function<void()> OnAsk;
};

TEST_F(RemoteRunWindow, ACimRequestDuringTheRunTheFirstStartedAnswersErrorAtTheNextPoll)
{
    TCommPortDriver &port = Form().RemoteInputs()->RS232InputDialog.Driver();
    ASSERT_TRUE(port.Connected());
    uint64_t sent = 0;
    test::TWatch answer(Engine(), [&] { return port.BytesSent() > sent; });
    OnAsk = [&] {
        ASSERT_TRUE(Cim.Write("$$MACHINE FROM prog\r"));
        ASSERT_TRUE(Cim.AwaitDelivered());
        sent = port.BytesSent();
        answer.Arm();
    };
    ASSERT_TRUE(Cim.Write("$$MACHINE FROM long\r"));
    ServeRun();
    ASSERT_TRUE(answer.Seen()) << "no answer came while the run went on";
    EXPECT_EQ(answer.State, csRunning);
    EXPECT_LE(answer.Delay(), port.ComPortPollingDelay() + test::TWatch::TickMs);
    EXPECT_EQ(Records, Moves + 3); // the first move, the zigzag, M30, the end
    const int ended = Ended;
    EXPECT_GE(ended, 1);
    std::string got;
    for (int i = 0; i < 200 && got.size() < 13; ++i)
        got += Cim.ReadWithin(10);
    EXPECT_EQ(got, "EXEC\r\nERROR\r\n");
    Loop.Advance(1000); // nothing of the refused request runs later
    EXPECT_EQ(Ended, ended);
    EXPECT_EQ(std::filesystem::path(Engine().ProgramFile()).filename(), "long.FNC");
}

TEST_F(RemoteRunWindow, TheKeplinConsoleStopsTheRunItStarted)
{
    std::string program = Dir.File("progs/long.FNC");
    ASSERT_TRUE(Form().OpenProgramFile(0, program));
    test::TWatch stopped(Engine(), [&] { return Engine().RunState() == csStopped; });
    OnAsk = [&] {
        ASSERT_TRUE(Pad.Write("\x08\x88"));
        ASSERT_TRUE(Pad.AwaitDelivered());
        stopped.Arm();
    };
    ASSERT_TRUE(Pad.Write("\x05\x85"));
    ServeRun();
    ASSERT_TRUE(stopped.Seen());
    // The console's poll, the posted press, the watch's turn.
    EXPECT_LE(stopped.Delay(), Form().RemoteInputs()->Keplin()->Port()->ComPortPollingDelay() +
                                   2 * test::TWatch::TickMs);
    EXPECT_EQ(Ended, 0);
    EXPECT_LT(Records, Moves / 2);
}

TEST_F(RemoteRunWindow, ADDECommandDuringTheRunACommandStartedIsRefusedAtOnce)
{
    std::string program = Dir.File("progs/long.FNC");
    ASSERT_TRUE(Form().OpenProgramFile(0, program));
    Engine().MakeSimulatedMachine(); // command 3 sends its M code to a machine
    auto client = [](const std::string &Poke) {
        auto c = std::make_unique<TLocalClient>();
        std::string error;
        EXPECT_TRUE(c->Connect("miller", error)) << error;
        c->Send(DDEFrame(ddeConnect, {"miller", "data"}));
        c->Send(DDEFrame(ddeAdviseStart, {"status"}));
        if (!Poke.empty())
            c->Send(DDEFrame(ddePoke, {"status"}, Poke + '\0'));
        return c;
    };
    std::unique_ptr<TLocalClient> other;
    std::string advised;
    test::TWatch refused(Engine(), [&] {
        advised += other ? other->Receive(0) : std::string();
        return advised.find("ERROR 3 prog.fnc") != std::string::npos;
    });
    OnAsk = [&] {
        other = client("DoCommand 3 prog.fnc");
        refused.Arm();
    };
    std::unique_ptr<TLocalClient> first = client("DoCommand 3 long.FNC");
    ServeRun();
    ASSERT_TRUE(refused.Seen()) << "no answer came while the run went on";
    EXPECT_EQ(refused.State, csRunning);
    // The server's poll, the posted command's turn, the watch's.
    EXPECT_LE(refused.Delay(), 20 + 2 * test::TWatch::TickMs);
    EXPECT_EQ(Records, Moves + 3);
    const int ended = Ended;
    EXPECT_GE(ended, 1);
    Loop.Advance(1000); // nothing of the refused command runs later
    EXPECT_EQ(Ended, ended);
}

} // namespace
} // namespace orv
