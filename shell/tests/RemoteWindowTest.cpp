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
#include "platform/tests/TempDir.h"
#include "platform/ui/ModalRunner.h"
#include "shell/RemoteInputs.h"
#include "shell/simple_server_one.h"
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

namespace orv {
namespace {

class RemoteWindow : public ::testing::Test {
protected:
    RemoteWindow()
    {
        std::filesystem::copy(ORV_DATA_DIR, Dir.Path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        std::filesystem::create_directory(Dir.File("progs"));
        Program = Dir.Write("progs/prog.fnc", "G1 X10 F300\nM30\n");
        TIniFile(Dir.File("Tarnwick.ini")).WriteString("directories", "FNC Folder", Dir.File("progs"));
        TIniFile(Dir.File("machines/BENCHMILL.ini"))
            .WriteString("Input/Output Devices", "CIM DDE Input", "TRUE");
        FPrevious = std::filesystem::current_path();
        std::filesystem::current_path(Dir.Path());
        SetProgramPathOverride(Dir.Path(), "Tarnwick");
        SetModalScript([](QDialog &) { return int(QDialog::Rejected); });
        ::setenv("XDG_RUNTIME_DIR", Runtime.Path().substr(0, Runtime.Path().size() - 1).c_str(), 1);
        ::setenv("ORV_CLASS_REGISTRY", Dir.File("classes.reg").c_str(), 1);
        App = std::make_unique<TTarnwickApp>(std::vector<std::string>{"Tarnwick"});
        App->Show();
    }
    ~RemoteWindow() override
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

} // namespace
} // namespace orv
