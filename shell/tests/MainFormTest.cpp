// Tarnwick started as the program starts, through its main routine, in a
// prepared settings folder on the test clock: start-up, a whole run cycle
// with its buttons, panels and labels, Escape, dropped files, the output
// choice, help, and what close keeps for the next start.
#include "shell/ui/TarnwickApp.h"
#include "shell/ui/main_form3_2.h"

#include "components/toolbar/ui/TbCtls.h"
#include "engine/chain/BasicInput.h"
#include "engine/core/ui/MacroVarsForm.h"
#include "engine/form/base.h"
#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/Draw_2D.h"
#include "machine/JogKeyTable.h"
#include "platform/EventLoop.h"
#include "machine/Machine_Tooling.h"
#include "machine/Work_piece_offset.h"
#include "machine/ui/NewPass.h"
#include "machine/ui/Tool_Holder2.h"
#include "machine/ControlPanelStd.h"
#include "machine/DummyLinkMill.h"
#include "machine/ui/ControlPanelStdForm.h"
#include "machine/ui/property_editor.h"
#include "platform/HelpService.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"
#include "platform/tests/TempDir.h"
#include "platform/ui/MdiHost.h"
#include "platform/ui/ModalRunner.h"
#include "shell/ui/Choice_From.h"
#include "shell/ui/ShellStatusBar.h"
#include "shell/ui/key_setup.h"
#include "components/richedit/RichEditW.h"
#include "shell/ui/editor.h"
#include "shell/ToolbarSetup.h"
#include "shell/ui/Config_Menu_Tools.h"
#include "shell/ui/MenuToolProp.h"
#include "shell/ui/toolbar_setup.h"
#include "components/toolbar/ui/TbTlbr.h"
#include "components/toolbar/TbGlyphImage.h"
#include "view3d/milling/ui/GLWorld3D.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QCheckBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

namespace orv {
namespace {

// The MDI children other than the program's editor windows, which the
// editor source keeps open beside them.
QList<QMdiSubWindow *> OtherChildren(TMainForm &Form)
{
    QList<QMdiSubWindow *> list;
    for (QMdiSubWindow *w : Form.MdiArea()->subWindowList())
        if (!qobject_cast<TEditorForm *>(w->widget()))
            list.push_back(w);
    return list;
}

// Forty cuts round a square, more than the chain reads ahead, and long
// enough for the animated cutter to keep a run going for several seconds
// of the test clock. It ends at the end of the file (no M30, which would
// rewind it).
std::string Program() {
    std::string text = "G21 G17 G90\nG00 X0 Y0 Z2\nG01 Z-1 F100\n";
    for (int i = 0; i < 10; ++i)
        text += "G01 X60\nG01 Y60\nG01 X0\nG01 Y0\n";
    return text + "G00 Z2\n";
}

std::string ReadAll(const std::string &Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What the window shows at one moment.
struct TShown {
    std::string Run;     // Start, Pause, sTop, Rewind enabled: "SPTR" / "-"
    std::string Outputs; // 2D, Compiled, Post Output, Units enabled
    bool FileMenu = false;
    std::string Mode, Skip, Cycle;
    std::string Label3; // modal label 3 (distance mode)
    TCycleState State = csStopped;
};

class MainForm : public ::testing::Test {
protected:
    MainForm() {
        std::filesystem::copy(ORV_DATA_DIR, Dir.Path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        TIniFile(Dir.File("Tarnwick.ini")).WriteString("Graphics", "show cutter", "1");
        ProgramFile = Dir.Write("square.fnc", Program());
        FPrevious = std::filesystem::current_path();
        std::filesystem::current_path(Dir.Path());
        SetProgramPathOverride(Dir.Path(), "Tarnwick");
        SetModalScript([this](QDialog &D) {
            Dialogs.push_back(D.objectName().toStdString());
            return Answer ? Answer(D) : int(QDialog::Rejected);
        });
        SetDocumentOpener([this](const std::string &Path) {
            Opened.push_back(Path);
            return true;
        });
    }
    ~MainForm() override {
        App.reset();
        SetModalScript(nullptr);
        SetDocumentOpener(nullptr);
        SetProgramPathOverride("", "");
        std::filesystem::current_path(FPrevious);
    }

    void Start(std::vector<std::string> Args) {
        App = std::make_unique<TTarnwickApp>(Args);
        App->Show();
        Messages.ClearLog();
    }
    TMainForm &Form() { return App->MainForm(); }
    TToolbarButton *B(TMainButton Which) { return Form().Button(Which); }

    TShown Shown() {
        TShown s;
        for (auto [b, c] : {std::pair{TMainButton::Start, 'S'}, std::pair{TMainButton::Pause, 'P'},
                            std::pair{TMainButton::Stop, 'T'}, std::pair{TMainButton::Rewind, 'R'}})
            s.Run += B(b)->isEnabled() ? c : '-';
        for (auto [b, c] :
             {std::pair{TMainButton::Output2D, '2'}, std::pair{TMainButton::Compiled, 'C'},
              std::pair{TMainButton::PostOutput, 'P'}, std::pair{TMainButton::Units, 'U'}})
            s.Outputs += B(b)->isEnabled() ? c : '-';
        s.FileMenu = Form().Menu("File")->isEnabled();
        s.Mode = Form().StatusPanelText(1, 1);
        s.Skip = Form().StatusPanelText(1, 2);
        s.Cycle = Form().StatusPanelText(1, 3);
        s.Label3 = Form().ModalLabel(3)->text().toStdString();
        s.State = Form().Engine()->RunState();
        return s;
    }

    // Runs Action once the clock has moved on by Ms (while the run serves
    // messages, or while the test advances the clock).
    void At(int64_t Ms, std::function<void()> Action) {
        auto timer = std::make_shared<TTimer>();
        timer->SetInterval(static_cast<int>(Ms));
        // FTimers owns it; the handler holding it too would keep it for ever.
        timer->OnTimer = [t = timer.get(), Action] {
            t->SetEnabled(false);
            Action();
        };
        timer->SetEnabled(true);
        FTimers.push_back(timer);
    }

    void Drop(const std::vector<std::string> &Files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string &f : Files)
            urls << QUrl::fromLocalFile(QString::fromStdString(f));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&Form(), &enter);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Form(), &drop);
    }

    void Key(int QtKey) {
        QKeyEvent press(QEvent::KeyPress, QtKey, Qt::NoModifier);
        QApplication::sendEvent(&Form(), &press);
    }

    std::string Setting(const char *Section, const char *Key) {
        return TIniFile(Dir.File("Tarnwick.ini")).ReadString(Section, Key, "<none>");
    }

    test::TTempDir Dir;
    // Class registrations go to a registry file of the test's own.
    struct TRegistryScope {
        explicit TRegistryScope(const std::string &File)
        {
            ::setenv("ORV_CLASS_REGISTRY", File.c_str(), 1);
        }
        ~TRegistryScope() { ::unsetenv("ORV_CLASS_REGISTRY"); }
    } Registry{Dir.File("classes.reg")};
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessageScope{Messages};
    std::string ProgramFile;
    std::unique_ptr<TTarnwickApp> App;
    std::vector<std::string> Dialogs;
    std::function<int(QDialog &)> Answer;
    std::vector<std::string> Opened;

private:
    std::filesystem::path FPrevious;
    std::vector<std::shared_ptr<TTimer>> FTimers;
};

TEST_F(MainForm, StartsWithTheProgramOpenAndRunsAWholeCycle) {
    Start({ProgramFile});
    EXPECT_EQ(Form().windowTitle().toStdString(), "Orvellan  -  BENCHMILL");
    EXPECT_TRUE(Dialogs.empty()) << "the support files are all there";
    QMenu *source = Form().Menu("Source");
    ASSERT_EQ(source->actions().size(), 5);
    // The menus give each item a hot key of its own.
    const char *captions[] = {"&File", "&Editor", "&Compiled Program", "F&anuc 21i", "Fa&nuc 0M"};
    const int tags[] = {1, 2, 3, 4, 9};
    for (int i = 0; i < 5; ++i) {
        QAction *item = source->actions()[i];
        EXPECT_EQ(item->objectName().toStdString(), "MenuSource" + std::to_string(i + 1));
        EXPECT_EQ(item->text().toStdString(), captions[i]);
        EXPECT_EQ(item->data().toInt(), tags[i]);
        EXPECT_EQ(item->isChecked(), i == 1) << "the editor source is chosen at start";
    }
    EXPECT_EQ(Form().Engine()->SourceKind(), skEditor);
    EXPECT_EQ(Form().StatusPanelText(2, 2), "File:");
    EXPECT_EQ(Form().StatusPanelText(2, 3), ProgramFile);
    EXPECT_EQ(Shown().Run, "S-T-");
    EXPECT_TRUE(B(TMainButton::VROutput)->isEnabled()) << "the simulated VR world is there";
    EXPECT_FALSE(B(TMainButton::Output3D)->isHidden())
        << "the simulation control was registered from beside the program";
    EXPECT_FALSE(Form().MenuItem("CIMSettings")->isVisible()) << "the bench mill has no CIM input";
    EXPECT_FALSE(Form().MenuItem("DDEConnection")->isVisible());

    B(TMainButton::Output2D)->Click();
    ASSERT_NE(Form().Engine()->Output(slot2D), nullptr);
    ASSERT_EQ(OtherChildren(Form()).size(), 1);
    EXPECT_EQ(OtherChildren(Form())[0]->widget()->objectName(), "Form2D");

    std::vector<TShown> steps;
    At(1000, [&] {
        steps.push_back(Shown()); // running
        Form().PressButton(TMainButton::Pause);
        steps.push_back(Shown());
    });
    At(2000, [&] {
        Form().PressButton(TMainButton::Start);
        steps.push_back(Shown());
    });
    At(3200, [&] {
        Form().PressButton(TMainButton::Stop);
        steps.push_back(Shown());
    });
    const int64_t started = Loop.NowMs();
    Form().PressButton(TMainButton::Start);
    ASSERT_EQ(steps.size(), 4u) << "the run outlasted the script";
    EXPECT_GE(Loop.NowMs() - started, 3200);

    const struct {
        const char *Name;
        const char *Run;
        const char *Outputs;
        bool FileMenu;
        TCycleState State;
    } expected[] = {
        {"running", "-PT-", "----", false, csRunning},
        {"paused", "S-T-", "2CPU", true, csPaused},
        {"running again", "-PT-", "----", false, csRunning},
        {"stopped", "S-TR", "2CPU", true, csStopped},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(expected[i].Name);
        EXPECT_EQ(steps[i].Run, expected[i].Run);
        EXPECT_EQ(steps[i].Outputs, expected[i].Outputs);
        EXPECT_EQ(steps[i].FileMenu, expected[i].FileMenu);
        EXPECT_EQ(steps[i].State, expected[i].State);
        EXPECT_EQ(steps[i].Mode, "Continuous Mode");
        EXPECT_EQ(steps[i].Skip, "Skip Block OFF");
        EXPECT_EQ(steps[i].Label3, " G90");
    }
    EXPECT_EQ(steps[3].Cycle, " Cycle time 00:00:03") << "the paused second counts";

    Form().PressButton(TMainButton::Rewind);
    EXPECT_EQ(Shown().Run, "S-T-");
    At(700, [&] { steps.push_back(Shown()); });
    Form().PressButton(TMainButton::Start); // to the end this time
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[4].Cycle, " Cycle time 00:00:00") << "counted from the new start";
    // The end leaves Start and Pause disabled and Rewind enabled: the
    // operator rewinds before a new start, even though the engine has put
    // the program back to its start already.
    const TShown end = Shown();
    EXPECT_EQ(end.State, csStopped);
    EXPECT_EQ(end.Run, "--TR");
    EXPECT_EQ(Form().Engine()->Source()->GetState(), 0);
    EXPECT_FALSE(Form().PressButton(TMainButton::Start));
    Form().PressButton(TMainButton::Stop);
    EXPECT_EQ(Shown().Run, "--TR") << "Stop does not skip the rewind";
    Form().PressButton(TMainButton::Rewind);
    EXPECT_EQ(Shown().Run, "S-T-");
}

// The demo program drawn in the "2D Simulation" MDI child. With
// ORV_SCREENSHOT naming a file the whole window is saved there (run under
// Xvfb on xcb to see it as the desktop shows it).
TEST_F(MainForm, TheDemoProgramIsDrawnInThe2DChild) {
    const std::string demo = Dir.File("programs/demo.fnc");
    Start({demo});
    EXPECT_EQ(Form().StatusPanelText(2, 3), demo);
    B(TMainButton::Output2D)->Click();
    Form().PressButton(TMainButton::Start);
    auto *draw = dynamic_cast<TDraw_2D *>(Form().Engine()->Output(slot2D));
    ASSERT_NE(draw, nullptr);
    ASSERT_NE(draw->Window(), nullptr);
    EXPECT_GT(draw->Window()->Elements().size(), 10u);
    QMdiSubWindow *child = OtherChildren(Form()).value(0);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->windowTitle().toStdString(), "2D Simulation");
    if (const char *shot = std::getenv("ORV_SCREENSHOT")) {
        Form().resize(1100, 760);
        child->resize(700, 480);
        QApplication::processEvents();
        Form().grab().save(shot);
    }
}

TEST_F(MainForm, TheSourceMenuOpensTheFanucStationsAsChildren) {
    Start({ProgramFile});
    auto pick = [&](int Tag) {
        for (QAction *a : Form().Menu("Source")->actions())
            if (a->data().toInt() == Tag)
                a->trigger();
    };
    auto titles = [&] {
        // A station's sub-window goes after its window, later.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::vector<std::string> out;
        for (QMdiSubWindow *w : OtherChildren(Form()))
            out.push_back(w->windowTitle().toStdString());
        return out;
    };
    auto has = [&](const char *Title) {
        auto all = titles();
        return std::find(all.begin(), all.end(), Title) != all.end();
    };
    pick(4);
    EXPECT_EQ(Form().Engine()->SourceKind(), skFanuc21);
    EXPECT_TRUE(has("Fanuc 21i MA"));
    for (QMdiSubWindow *w : OtherChildren(Form()))
        if (w->windowTitle() == "Fanuc 21i MA")
            EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint) << "a borderless child";
    if (const char *shot = std::getenv("ORV_SCREENSHOT")) {
        Form().resize(1100, 760);
        QApplication::processEvents();
        Form().grab().save(shot);
    }
    pick(9);
    EXPECT_EQ(Form().Engine()->SourceKind(), skFanuc0M);
    EXPECT_TRUE(has("Fanuc OM"));
    EXPECT_FALSE(has("Fanuc 21i MA"));
    pick(2);
    EXPECT_FALSE(has("Fanuc OM"));
}

TEST_F(MainForm, EscapeStopsOnlyARunningProgram) {
    Start({ProgramFile});
    B(TMainButton::Output2D)->Click();
    Key(Qt::Key_Escape);
    EXPECT_EQ(Form().Engine()->RunState(), csStopped);
    TCycleState during = csStopped;
    At(800, [&] { Key(Qt::Key_Escape); });
    At(810, [&] { during = Form().Engine()->RunState(); });
    Form().PressButton(TMainButton::Start);
    EXPECT_EQ(during, csStopped);
    EXPECT_LT(Loop.NowMs(), 3000) << "Escape ended the run";
    EXPECT_EQ(Shown().Run, "S-TR");
}

TEST_F(MainForm, DroppedFiles) {
    Start({});
    const std::string second = Dir.Write("second.fnc", "G00 X1\nM30\n");
    Drop({ProgramFile, second});
    EXPECT_EQ(Form().Engine()->ProgramFile(), ProgramFile);
    ASSERT_EQ(Messages.Log().size(), 1u);
    EXPECT_EQ(Messages.Log()[0].Text, "Sorry Only Single Files can be Dropped");

    // A long path is opened whole.
    const std::string folder =
        Dir.Path() + std::string(200, 'd') + "/" + std::string(100, 'e') + "/";
    std::filesystem::create_directories(folder);
    const std::string deep = folder + "deep.fnc";
    std::filesystem::copy_file(ProgramFile, deep);
    Drop({deep});
    EXPECT_EQ(Form().Engine()->ProgramFile(), deep);

    B(TMainButton::Output2D)->Click();
    At(500, [&] { Drop({second}); });
    At(600, [&] { Form().PressButton(TMainButton::Stop); });
    Form().PressButton(TMainButton::Start);
    EXPECT_EQ(Form().Engine()->ProgramFile(), deep) << "a drop during a run does nothing";
}

TEST_F(MainForm, StartWithNoOutputAsksForOne) {
    Start({ProgramFile});
    bool okAtFirst = true, okAfter2D = false, okAfterToggleOff = true;
    Answer = [&](QDialog &D) {
        auto &choice = dynamic_cast<TChoice_From &>(D);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&choice, &escape);
        return choice.result();
    };
    Form().PressButton(TMainButton::Start);
    EXPECT_EQ(Dialogs, std::vector<std::string>{"Choice_From"});
    EXPECT_EQ(Form().Engine()->RunState(), csStopped) << "Escape starts nothing";
    EXPECT_EQ(Shown().Run, "S-T-") << "and Start can be pressed again";

    Messages.Answer(Dir.File("square.xnc")); // the compiled output's file
    Answer = [&](QDialog &D) {
        auto &choice = dynamic_cast<TChoice_From &>(D);
        okAtFirst = choice.Ok->isEnabled();
        choice.twoD->Click();
        okAfter2D = choice.Ok->isEnabled();
        choice.twoD->Click();
        okAfterToggleOff = choice.Ok->isEnabled();
        choice.twoD->Click();
        choice.compiles->Click();
        return int(QDialog::Accepted);
    };
    Form().PressButton(TMainButton::Start);
    EXPECT_FALSE(okAtFirst);
    EXPECT_TRUE(okAfter2D);
    EXPECT_FALSE(okAfterToggleOff);
    EXPECT_TRUE(B(TMainButton::Output2D)->Down());
    EXPECT_FALSE(B(TMainButton::Compiled)->Down()) << "the end of the program releases it";
    EXPECT_TRUE(std::filesystem::exists(Dir.File("square.xnc"))) << "the run went through both";
}

TEST_F(MainForm, HelpOpensTheHelpFilesInEnglishAndTheWebPageOtherwise) {
    Start({});
    Form().MenuItem("HelpProduct")->trigger();
    Form().MenuItem("HelpProgramming")->trigger();
    // The programming help's topics are the page beside its help file.
    EXPECT_EQ(Opened, (std::vector<std::string>{Dir.File("Tarnwick.hlp"), Dir.File("Mill.htm")}));
    EXPECT_EQ(Help().HelpFile(), Dir.File("Tarnwick.hlp")) << "the application's help file";
    // Ctrl+F1 in the editor opens the topic of the caret's code: the anchor
    // the program's "Help.ini" gives G01 in the page beside "mill.hlp".
    const auto codeHelp = [this] {
        TEditorForm *editor = nullptr;
        for (QMdiSubWindow *w : Form().MdiArea()->subWindowList())
            if (auto *e = qobject_cast<TEditorForm *>(w->widget()))
                editor = e;
        ASSERT_NE(editor, nullptr);
        editor->RichEdit()->SetText("N10 G01 X5");
        editor->RichEdit()->SetCaretPos(0, 5);
        editor->CodeHelp(true);
    };
    Opened.clear();
    codeHelp();
    EXPECT_EQ(Opened, std::vector<std::string>{Dir.File("Mill.htm") + "#200001"});
    App.reset();
    Opened.clear();
    TIniFile(Dir.File("Tarnwick.ini")).WriteInteger("Default Settings", "PrimaryLanguage", 1);
    Start({});
    Form().MenuItem("HelpProduct")->trigger();
    EXPECT_EQ(Opened, std::vector<std::string>{Dir.File("help.htm")});
    codeHelp();
    EXPECT_EQ(Opened, std::vector<std::string>{Dir.File("help.htm")})
        << "no code help in other languages";
}

TEST_F(MainForm, CloseKeepsTheSettingsForTheNextStart) {
    TIniFile(Dir.File("Tarnwick.ini")).WriteString("Default Settings", "NFM", "1");
    Start({});
    Form().setGeometry(30, 40, 700, 450);
    // The billet dialog: X size 0 is not written back.
    Answer = [](QDialog &D) {
        auto *x = D.findChild<QLineEdit *>("X");
        auto *yp = D.findChild<QLineEdit *>("Yp");
        x->setText("0");
        yp->setText("12.5");
        D.findChild<QPushButton *>("OK")->click();
        return D.result();
    };
    Form().MenuItem("BilletSize")->trigger();
    EXPECT_DOUBLE_EQ(Form().Billet().XSize, 0);
    std::string name = ProgramFile;
    Form().MenuItem("FileOpen")->trigger(); // cancelled: no answer
    Messages.Answer(ProgramFile);
    Form().MenuItem("FileOpen")->trigger();
    EXPECT_EQ(Setting("directories", "FNC Folder"), Dir.Path());
    // A jog key, set in the key dialog.
    Answer = [](QDialog &D) {
        auto &keys = dynamic_cast<TKey_def_form &>(D);
        keys.FunctionButton(1)->click();
        QKeyEvent f5(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
        QApplication::sendEvent(keys.KeyEdit(0), &f5);
        keys.findChild<QPushButton *>("OK")->click();
        return keys.result();
    };
    Form().MenuItem("JogKeys")->trigger();
    EXPECT_EQ(Form().Engine()->JogKeys()->Key(TJogKeyTable::XPlus), 116);
    Form().close();
    App.reset();

    EXPECT_EQ(Setting("Default Settings", "Billet X"), "<none>");
    EXPECT_EQ(Setting("Default Settings", "Billet Y Pos"), "12.5");
    EXPECT_EQ(Setting("Default Settings", "Machine Offset"), "G54");
    EXPECT_EQ(Setting("Data", "Expanded Cycles"), "1");
    EXPECT_EQ(Setting("Toolbar_File_Control", "DockRow"), "<none>") << "NFM: layout not saved";
    EXPECT_EQ(Setting("MainForm", "Left"), "30");

    Start({});
    EXPECT_EQ(Form().geometry().topLeft(), QPoint(30, 40));
    EXPECT_EQ(Form().Engine()->JogKeys()->Key(TJogKeyTable::XPlus), 116);
    QMenu *reopen = Form().Menu("ReOpen");
    ASSERT_FALSE(reopen->actions().isEmpty());
    EXPECT_EQ(reopen->actions()[0]->text().toStdString(), "&1 " + ProgramFile);
    EXPECT_DOUBLE_EQ(Form().Billet().YPos, 12.5);
}

TEST_F(MainForm, OpenFailuresLeaveNothingLoaded) {
    Start({ProgramFile});
    Form().PressButton(TMainButton::Rewind);
    const std::string missing = Dir.File("missing.fnc");
    Messages.Answer(missing);
    Form().MenuItem("FileOpen")->trigger();
    EXPECT_EQ(Form().Engine()->ProgramFile(), ProgramFile);
    EXPECT_EQ(Setting("directories", "FNC Folder"), "<none>");
    EXPECT_TRUE(Form().Menu("ReOpen")->actions().isEmpty());
}

TEST_F(MainForm, HiddenCommandsAndToolWindowsAsChildren) {
    Start({});
    Messages.Answer(ProgramFile);
    EXPECT_TRUE(Form().PressCommand("FileM")) << "does what File > Open does";
    EXPECT_EQ(Form().Engine()->ProgramFile(), ProgramFile);
    EXPECT_FALSE(Form().PressCommand("NoSuchButton"));

    auto children = [this] { return OtherChildren(Form()).size(); };
    B(TMainButton::ToolLibrary)->Click();
    ASSERT_EQ(children(), 1);
    B(TMainButton::ToolLibrary)->Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(children(), 0) << "released: the window goes";

    Form().MenuItem("MacroVariables")->trigger();
    ASSERT_EQ(children(), 1);
    QMdiSubWindow *macros = OtherChildren(Form())[0];
    EXPECT_TRUE(macros->isVisible());
    static_cast<TMacroVarsForm *>(macros->widget())->OKButton()->click();
    EXPECT_FALSE(macros->isVisible()) << "its OK hides the window and the frame";

    B(TMainButton::Offsets)->Click();
    ASSERT_EQ(children(), 2);
    OtherChildren(Form())[1]->close();
    Loop.ProcessMessages();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(B(TMainButton::Offsets)->Down()) << "closing the window releases its button";
    EXPECT_EQ(children(), 1);
}

TEST_F(MainForm, OptionButtonsShowTheirStateInTheStatusBar) {
    Start({ProgramFile});
    B(TMainButton::BlockSkip)->Click();
    EXPECT_EQ(Form().StatusPanelText(1, 2), "Skip Block ON");
    EXPECT_TRUE(Form().Engine()->BlockSkip());
    B(TMainButton::BlockSkip)->Click();
    EXPECT_EQ(Form().StatusPanelText(1, 2), "Skip Block OFF");

    B(TMainButton::SingleBlock)->Click();
    EXPECT_TRUE(Form().Engine()->SingleStep());
    EXPECT_EQ(Form().StatusPanelText(1, 1), "Single Step");
    EXPECT_TRUE(Form().MenuItem("ModeStep")->isChecked());
    B(TMainButton::SingleBlock)->Click();
    EXPECT_EQ(Form().StatusPanelText(1, 1), "Continuous");

    Form().MenuItem("UnitsMetric")->trigger(); // the checked item switches too
    EXPECT_TRUE(Form().Engine()->Inch());
    EXPECT_EQ(Form().StatusPanelText(1, 0), "Inch");
    EXPECT_TRUE(Form().MenuItem("UnitsInch")->isChecked());
    B(TMainButton::Units)->Click();
    EXPECT_FALSE(Form().Engine()->Inch());
    EXPECT_EQ(Form().StatusPanelText(1, 0), "Metric");
}

TEST_F(MainForm, ARecentEntryWhoseFileWentEmptiesTheProgram) {
    const std::string gone = Dir.Write("gone.fnc", "G00 X1\n");
    std::ofstream(Dir.File("Tarnwick.HST")) << gone << "\n" << ProgramFile << "\n";
    Start({});
    QMenu *reopen = Form().Menu("ReOpen");
    ASSERT_GE(reopen->actions().size(), 2);
    reopen->actions()[1]->trigger();
    EXPECT_EQ(Form().Engine()->ProgramFile(), ProgramFile);
    EXPECT_EQ(reopen->actions()[0]->text().toStdString(), "&1 " + ProgramFile);
    std::filesystem::remove(gone);
    reopen->actions()[1]->trigger();
    std::string line;
    int number = 0, level = 0;
    EXPECT_LT(Form().Engine()->Source()->ReadLine(line, number, level), 0)
        << "a new, empty program";
}

TEST_F(MainForm, BackgroundPictureStretchedFrom400PixelsWideElseTiled) {
    for (int width : {400, 399}) {
        SCOPED_TRACE(width);
        QImage picture(width, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        const std::string file = Dir.File("back" + std::to_string(width) + ".png");
        ASSERT_TRUE(picture.save(QString::fromStdString(file)));
        TIniFile ini(Dir.File("Tarnwick.ini"));
        ini.WriteString("Default Settings", "BackGround On", "true");
        ini.WriteString("Default Settings", "BackGround Picture", file);
        Start({});
        const QImage shown = Form().MdiArea()->background().textureImage();
        if (width == 400)
            EXPECT_EQ(shown.size(), Form().MdiArea()->size());
        else
            EXPECT_EQ(shown.size(), QSize(399, 30));
        App.reset();
    }
}

TEST_F(MainForm, AnErrorShowsRedInTheStatusBarUntilStop)
{
    const std::string bad = Dir.Write("bad.fnc", "G21 G90\nG01 X10 F100\nG999 X5\nG01 Y5\n");
    Start({bad});
    B(TMainButton::Output2D)->Click();
    Form().PressButton(TMainButton::Start);
    EXPECT_EQ(Form().Engine()->RunState(), csStopped);
    const TShellStatusBar::TPanel &panel = Form().StatusBar(2)->Panel(4);
    EXPECT_EQ(Form().StatusPanelText(2, 4).rfind("Line #", 0), 0u) << Form().StatusPanelText(2, 4);
    EXPECT_TRUE(panel.OwnerDrawn);
    EXPECT_EQ(panel.Fill, QColor(Qt::red));
    Form().PressButton(TMainButton::Stop);
    EXPECT_EQ(Form().StatusPanelText(2, 4), "");
    EXPECT_FALSE(panel.OwnerDrawn);
}

TEST_F(MainForm, ACancelledSaveAsKeepsTheProgram) {
    Start({ProgramFile});
    Form().MenuItem("FileSaveAs")->trigger(); // the source hands back no name
    EXPECT_EQ(Form().Engine()->ProgramFile(), ProgramFile);
    EXPECT_TRUE(Form().Menu("ReOpen")->actions().isEmpty());
}

TEST_F(MainForm, MachinePopupTurnsTheWarningBackOn) {
    TIniFile(Dir.File("Tarnwick.ini")).WriteBool("Default Settings", "Warn ON Play", false);
    Start({});
    Form().MenuItem("WarnOnPlay")->trigger();
    EXPECT_EQ(Setting("Default Settings", "Warn ON Play"), "1");
}

// File > Save Project... keeps the job's set-up; after the settings change,
// Open Project... brings it all back. A project opened during a run cannot
// open its program, but its other keys still apply.
TEST_F(MainForm, AProjectSavedAndOpenedAgainRestoresTheJob)
{
    Start({ProgramFile});
    TBaseForm &engine = *Form().Engine();
    const std::string tools = engine.Tooling()->DataFile();
    engine.WorkOffsets()->SetCurrentMOffset("G55");
    const std::string sim = engine.WorkOffsets()->CurrentSOffset();
    QAction *expansion = Form().MenuItem("CycleExpansion");
    expansion->setChecked(false);
    Messages.Answer(Dir.File("job.prj"));
    Form().SaveProjectMnuClick();
    EXPECT_EQ(ReadAll(Dir.File("job.prj")),
              "[Data]\r\nFilename=" + ProgramFile + "\r\nTool setup=" + tools +
                  "\r\nMachine Work Piece=G55\r\nSimulation Work Piece=" + sim + "\r\nMetric=1\r\n"
                  "Expanded Cycles=0\r\n");
    EXPECT_EQ(Setting("directories", "FNC Folder"), ExtractFilePath(ProgramFile));

    const std::string other = Dir.Write("other.fnc", "G00 X1\n");
    std::string name = other;
    Form().OpenProgramFile(0, name);
    engine.Tooling()->SetDataFile(Dir.Write("other.MTF", "[Global]\r\nCurrent Tool=1\r\n"));
    engine.WorkOffsets()->SetCurrentMOffset("G54");
    engine.WorkOffsets()->SetCurrentSOffset("G56");
    ASSERT_NE(engine.WorkOffsets()->CurrentSOffset(), sim);
    Form().UnitsClick();
    expansion->setChecked(true);
    ASSERT_TRUE(engine.Inch());

    Form().OpenProject(Dir.File("job.prj"));
    EXPECT_EQ(engine.ProgramFile(), ProgramFile);
    EXPECT_EQ(engine.Tooling()->DataFile(), tools);
    EXPECT_EQ(engine.WorkOffsets()->CurrentMOffset(), "G55");
    EXPECT_EQ(engine.WorkOffsets()->CurrentSOffset(), sim);
    EXPECT_EQ(Form().StatusPanelText(2, 1), "G55");
    EXPECT_FALSE(engine.Inch());
    EXPECT_FALSE(expansion->isChecked());

    // A "Filename" that names a project opens nothing; the rest applies.
    TIniFile(Dir.File("job.prj")).WriteString("Data", "Filename", Dir.File("job.PRJ"));
    TIniFile(Dir.File("job.prj")).WriteString("Data", "Metric", "0");
    Form().OpenProject(Dir.File("job.prj"));
    EXPECT_EQ(engine.ProgramFile(), ProgramFile);
    EXPECT_TRUE(engine.Inch());
}

// The Tooling button shows the carousel as an MDI child and closes it; Set&up
// > "Setup Machine Parameters..." asks for the password and opens the editor.
TEST_F(MainForm, ToolingButtonAndMachineParametersOpenTheirWindows)
{
    Start({ProgramFile});
    TMachine_Tooling &tooling = *Form().Engine()->Tooling();
    B(TMainButton::Tooling)->Click();
    ASSERT_TRUE(tooling.DeckOpen());
    auto *deck = dynamic_cast<QWidget *>(tooling.Deck());
    ASSERT_NE(deck, nullptr);
    EXPECT_NE(qobject_cast<QMdiSubWindow *>(deck->parentWidget()), nullptr);
    B(TMainButton::Tooling)->Click();
    EXPECT_FALSE(tooling.DeckOpen());

    bool readOnly = true;
    Answer = [&](QDialog &D) {
        if (auto *password = dynamic_cast<TNewPassword *>(&D)) {
            password->OldPassword->setText("orvellan");
            return password->OkClick();
        }
        if (auto *editor = dynamic_cast<TVis_form *>(&D))
            readOnly = !editor->NewPass->isEnabled();
        return int(QDialog::Accepted);
    };
    Form().MenuItem("SetupMachine")->trigger();
    EXPECT_EQ(Dialogs, (std::vector<std::string>{"NewPassword", "Vis_form"}));
    EXPECT_FALSE(readOnly) << "the default password opens the editor for editing";
}

// The Machine button connects the machine link; a controller that cannot
// be reached is reported and the button comes up again, with no machine.
TEST_F(MainForm, MachineButtonWithoutAControllerComesUpAgain)
{
    TIniFile machine(Dir.File("machines/BENCHMILL.ini"));
    machine.WriteString("Machine Capability", "Real Machine Available", "TRUE");
    machine.WriteInteger("Communications", "Control Type", 5);
    TIniFile(Dir.File("Tarnwick.ini")).WriteString("Serial Ports", "COM1", Dir.File("no-port"));
    Start({});
    ASSERT_TRUE(B(TMainButton::MachineOutput)->isEnabled());
    B(TMainButton::MachineOutput)->Click();
    EXPECT_FALSE(B(TMainButton::MachineOutput)->Down());
    EXPECT_EQ(Form().Engine()->Machine(), nullptr);
    bool named = false;
    for (const TRecordedMessage &m : Messages.Log())
        named = named || m.Text.find("Error Locating COM1") != std::string::npos;
    EXPECT_TRUE(named);
}

// The toolbar popup: a right button released on the Outputs toolbar. Its
// items follow the toolbar's icon size and captions, and each choice sizes
// the buttons at once; the next start keeps the choice.
TEST_F(MainForm, TheToolbarPopupSizesTheButtons)
{
    Start({});
    TToolbar *outputs = Form().Toolbars()[1];
    ASSERT_EQ(outputs->objectName(), "Toolbar_output");
    auto popup = [&] {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2),
                            Qt::RightButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(outputs, &release);
        QMenu *menu = Form().Menu("PopupMenu2");
        EXPECT_TRUE(menu->isVisible());
        std::string state;
        for (const char *name : {"IconLarge", "IconSmall", "IconNone", "ToolBarCaptions"}) {
            QAction *a = Form().MenuItem(name);
            state += std::string(a->isChecked() ? "x" : ".") + (a->isEnabled() ? "" : "-") + " ";
        }
        menu->hide();
        return state;
    };
    TToolbarButton *twoD = B(TMainButton::Output2D);
    auto size = [&] { return twoD->size(); };
    const struct {
        const char *Item; // chosen after the popup showed Before
        const char *Before;
        QSize After;
        int GlyphWidth;
    } steps[] = {
        {"IconSmall", "x . . x ", QSize(72, 50), 16},
        {"ToolBarCaptions", ". x . x ", QSize(35, 20), 16},       // captions off
        {"IconLarge", ". x .- . ", QSize(65, 35), 24},            // "None" disabled
        {"ToolBarCaptions", "x . .- . ", QSize(72, 50), 24},      // captions on
        {"IconNone", "x . . x ", QSize(72, 15), 24},
    };
    EXPECT_EQ(size(), QSize(72, 50)) << "large glyphs with captions as built";
    for (const auto &step : steps) {
        SCOPED_TRACE(step.Item);
        EXPECT_EQ(popup(), step.Before);
        Form().MenuItem(step.Item)->trigger();
        EXPECT_EQ(size(), step.After);
        EXPECT_EQ(twoD->Glyph().Width, step.GlyphWidth);
    }
    EXPECT_EQ(popup(), ". . x x- ") << "\"None\" marked: captions cannot go";
    EXPECT_EQ(twoD->DisplayMode(), dmTextOnly);
    Form().close();
    App.reset();
    Start({});
    EXPECT_EQ(B(TMainButton::Output2D)->size(), QSize(72, 15)) << "the layout keeps the choice";
}

// "View..." behind the settings password: without full access no dialog,
// but the hidden buttons are still saved; with it, "Hidden" hides the
// selected button at once, also when the dialog is left by its close box.
TEST_F(MainForm, HiddenButtonsAreSavedAndRestoredWithoutCase)
{
    Start({});
    B(TMainButton::Compiled)->hide();
    Form().MenuItem("ToolBarsView")->trigger(); // the password is not given
    EXPECT_EQ(Dialogs, std::vector<std::string>{"NewPassword"});
    EXPECT_EQ(Setting("Hidden Buttons", "Comp_output"), "0");
    EXPECT_EQ(Setting("Hidden Buttons", "startbutton"), "<none>");

    std::string before, after;
    Answer = [&](QDialog &D) {
        if (auto *password = dynamic_cast<TNewPassword *>(&D)) {
            password->OldPassword->setText("orvellan");
            return password->OkClick();
        }
        auto &setup = dynamic_cast<TToolbar_SetupForm &>(D);
        QTreeWidgetItem *post = setup.FindNode("Post_output");
        QTreeWidgetItem *compiled = setup.FindNode("Comp_output");
        EXPECT_EQ(post->text(0).toStdString(), "Post Output");
        EXPECT_TRUE(TToolbar_SetupForm::NodeVisible(post));
        EXPECT_FALSE(TToolbar_SetupForm::NodeVisible(compiled));
        EXPECT_EQ(setup.FindNode("startbutton")->text(0).toStdString(), "Start")
            << "a button without a caption is listed by its hint";
        EXPECT_NE(setup.FindNode("dataInfo"), nullptr) << "a toolbar of labels has a node";
        setup.TreeView1->setCurrentItem(compiled);
        setup.TreeMouseUp();
        EXPECT_TRUE(setup.Hidden->isChecked());
        setup.TreeView1->setCurrentItem(post);
        setup.TreeMouseUp();
        EXPECT_FALSE(setup.Hidden->isChecked());
        setup.Hidden->click();
        EXPECT_TRUE(B(TMainButton::PostOutput)->isHidden()) << "hidden at once";
        return int(QDialog::Rejected); // the close box
    };
    Dialogs.clear();
    Form().MenuItem("ToolBarsView")->trigger();
    EXPECT_EQ(Dialogs, (std::vector<std::string>{"NewPassword", "Toolbar_SetupForm"}));
    EXPECT_TRUE(B(TMainButton::PostOutput)->isHidden());
    EXPECT_EQ(Setting("Hidden Buttons", "Post_output"), "0");
    App.reset();

    TIniFile ini(Dir.File("Tarnwick.ini"));
    ini.EraseSection("Hidden Buttons");
    ini.WriteString("Hidden Buttons", "POST_OUTPUT", "0");
    ini.WriteString("Hidden Buttons", "no_such_button", "0");
    Start({});
    EXPECT_TRUE(B(TMainButton::PostOutput)->isHidden());
    EXPECT_FALSE(B(TMainButton::Compiled)->isHidden());

    Answer = [&](QDialog &D) {
        if (auto *password = dynamic_cast<TNewPassword *>(&D)) {
            password->OldPassword->setText("orvellan");
            return password->OkClick();
        }
        auto &setup = dynamic_cast<TToolbar_SetupForm &>(D);
        setup.ShowAllBtn->click();
        setup.OKBtn->click();
        return D.result();
    };
    Form().MenuItem("ToolBarsView")->trigger();
    EXPECT_FALSE(B(TMainButton::PostOutput)->isHidden());
    EXPECT_FALSE(B(TMainButton::BlockSearch)->isHidden()) << "Show All shows every button";
    EXPECT_FALSE(TIniFile(Dir.File("Tarnwick.ini")).SectionExists("Hidden Buttons"));
}

// The Utilities menu: two utilities at places 1 and 0 list the second
// first; "Configure Utilities" refuses a title already taken, adds one and
// deletes one after asking; the menu follows, and its item runs the
// utility in its program's folder with its parameters.
TEST_F(MainForm, UtilitiesAreConfiguredAndRunFromTheMenu)
{
    TIniFile ini(Dir.File("Tarnwick.ini"));
    for (auto [title, place] : {std::pair{"Calc", 1}, std::pair{"Notes", 0}}) {
        ini.WriteInteger("Menu Tools", std::string(title) + "_Title", place);
        for (const char *key : {"_Prog", "_Work", "_Param"})
            ini.WriteString("Menu Tools", std::string(title) + key, "");
    }
    std::filesystem::create_directories(Dir.File("tools"));
    const std::string out = Dir.File("out.txt");
    const std::string script = Dir.Write(
        "tools/report.sh", "#!/bin/sh\n{ pwd; echo \"$@\"; } > \"" + out + ".part\" && mv \"" +
                               out + ".part\" \"" + out + "\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    Start({});
    auto items = [&] {
        std::vector<std::string> texts;
        for (QAction *a : Form().Menu("Utilities")->actions())
            texts.push_back(a->isSeparator() ? "-" : a->text().toStdString());
        return texts;
    };
    // The window's translator gave the items it found hot keys.
    EXPECT_EQ(items(),
              (std::vector<std::string>{"Configure &Utilities...", "-", "&Notes", "&Calc"}));

    bool okForTakenTitle = true, okAtLast = false;
    Messages.Answer(script); // the program's "..."
    Messages.Answer("");     // the folder's "...", cancelled
    Messages.Answer("Yes");  // "Delete the item entitled Calc?"
    Answer = [&](QDialog &D) {
        if (auto *properties = dynamic_cast<TToolPropForm *>(&D)) {
            properties->BrowseProgram->click();
            properties->BrowseFolder->click();
            EXPECT_EQ(properties->WorkEdit->text(), "");
            properties->TitleEdit->setText("cALC");
            okForTakenTitle = properties->OKBtn->isEnabled();
            properties->TitleEdit->setText("Report");
            properties->ParamEdit->setText("-v now");
            okAtLast = properties->OKBtn->isEnabled();
            return int(QDialog::Accepted);
        }
        auto &config = dynamic_cast<TMenuConfigTools &>(D);
        EXPECT_FALSE(config.EditBtn->isEnabled()) << "nothing selected yet";
        config.AddBtn->click();
        config.ToolList->setCurrentRow(1);
        EXPECT_TRUE(config.DeleteBtn->isEnabled());
        config.DeleteBtn->click();
        return int(QDialog::Accepted);
    };
    Form().MenuItem("ConfigureTools")->trigger();
    EXPECT_FALSE(okForTakenTitle) << "a title already taken, in other letters";
    EXPECT_TRUE(okAtLast);
    ASSERT_EQ(Messages.Log().size(), 3u);
    EXPECT_EQ(Messages.Log()[1].Caption, "Select Working Directory");
    EXPECT_EQ(Messages.Log()[2].Text, "Delete the item entitled Calc?");
    EXPECT_EQ(Messages.Log()[2].Caption, "Confirm");
    EXPECT_EQ(items(),
              (std::vector<std::string>{"Configure &Utilities...", "-", "&Notes", "&Report"}))
        << "the items made now get hot keys at once";
    EXPECT_EQ(Setting("Menu Tools", "Report_Title"), "1") << "its place rewritten";

    Form().Menu("Utilities")->actions().back()->trigger();
    for (int i = 0; i < 2000 && !std::filesystem::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadAll(out),
              std::filesystem::canonical(Dir.File("tools")).string() + "\n-v now\n");
}

// A layout saved as "Level 2 Default" from the setup dialog comes back with
// "Load Level 2 Defaults", behind the settings password; the File Control
// and Machine Control toolbars keep their visibility.
TEST_F(MainForm, LevelPresetsAreSavedAndLoadedBehindThePassword)
{
    Start({});
    TToolbar *outputs = Form().Toolbars()[1];
    TToolbar *machine = Form().Toolbars()[2];
    bool givePassword = true;
    std::function<void(TToolbar_SetupForm &)> inSetup;
    Answer = [&](QDialog &D) {
        if (auto *password = dynamic_cast<TNewPassword *>(&D)) {
            if (!givePassword)
                return int(QDialog::Rejected);
            password->OldPassword->setText("orvellan");
            return password->OkClick();
        }
        inSetup(dynamic_cast<TToolbar_SetupForm &>(D));
        return int(QDialog::Accepted);
    };
    outputs->IconSize = iconSmall;
    Form().ApplyToolbarButtonStyle(outputs);
    inSetup = [](TToolbar_SetupForm &Setup) {
        ASSERT_EQ(Setup.SaveMenu->actions().size(), 4);
        Setup.SaveMenu->actions()[2]->trigger();
    };
    Form().MenuItem("ToolBarsView")->trigger();
    EXPECT_EQ(TIniFile(Dir.File("Default2.ini")).ReadString("Toolbar_output", "IconSize", ""),
              "1") << "the preset found without regard to case";

    outputs->IconSize = iconLarge;
    Form().ApplyToolbarButtonStyle(outputs);
    machine->SetVisible(false);
    givePassword = false;
    Form().MenuItem("LoadLevel2")->trigger();
    EXPECT_EQ(B(TMainButton::Output2D)->Glyph().Width, 24) << "no access: nothing loaded";
    givePassword = true;
    Form().MenuItem("LoadLevel2")->trigger();
    EXPECT_EQ(outputs->IconSize, iconSmall);
    EXPECT_EQ(B(TMainButton::Output2D)->Glyph().Width, 16);
    EXPECT_FALSE(machine->Visible()) << "kept as it was";
}

// The bench mill has no real machine: "Machine" drives the simulated
// machine, and the "Control Panel" opens as an MDI child with the main
// window's jog keys. The main window's Home All homes it; a change of
// source keeps it; releasing "Machine" takes machine and panel away.
TEST_F(MainForm, TheMachineButtonBringsTheControlPanel)
{
    Start({ProgramFile});
    TBaseForm &engine = *Form().Engine();
    EXPECT_EQ(engine.Panel(), nullptr) << "no panel without a machine";
    B(TMainButton::MachineOutput)->Click();
    ASSERT_TRUE(B(TMainButton::MachineOutput)->Down());
    ASSERT_NE(dynamic_cast<TDummyLinkMill *>(engine.Machine()), nullptr);
    auto *panel = dynamic_cast<TControlPanelStd *>(engine.Panel());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->JogKeys, engine.JogKeys()) << "the main window's jog-key table";
    auto *form = dynamic_cast<TControlPanelStdForm *>(panel->Form());
    ASSERT_NE(form, nullptr);
    auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget());
    ASSERT_NE(sub, nullptr) << "an MDI child";
    EXPECT_TRUE(sub->isVisible());
    EXPECT_EQ(sub->windowTitle().toStdString(), "Control Panel");

    Loop.Advance(400); // the first poll reports the machine's state
    EXPECT_FALSE(form->PageControl->isTabVisible(pgJog));
    ASSERT_TRUE(Form().PressCommand("HomeAllButt"));
    Loop.Advance(200);
    for (QLabel *lamp : form->Shapes)
        EXPECT_TRUE(lamp->styleSheet().contains("#008000")) << lamp->styleSheet().toStdString();
    for (int tab : {pgJog, pgAuto, pgMDI})
        EXPECT_TRUE(form->PageControl->isTabVisible(tab)) << tab;

    Form().Menu("Source")->actions()[0]->trigger(); // "File"
    EXPECT_EQ(engine.SourceKind(), skFile);
    EXPECT_NE(engine.Machine(), nullptr) << "the operator's machine stays";
    EXPECT_EQ(engine.Panel(), panel);

    B(TMainButton::MachineOutput)->Click();
    EXPECT_EQ(engine.Machine(), nullptr);
    EXPECT_EQ(engine.Panel(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QMdiSubWindow *w : OtherChildren(Form()))
        EXPECT_NE(w->windowTitle().toStdString(), "Control Panel");
}

// A run whose "M06 T5" finds position 5 empty, answered Yes to "Edit
// Tooling Now", shows the carousel with the Tooling button down; a
// library tool inserted at 5 lets the run reach its end.
TEST_F(MainForm, ARunWaitingForAToolGoesOnOnceTheCarouselHasIt)
{
    TIniFile(Dir.File("Tarnwick.MTF")).EraseSection("Tool5");
    const std::string program =
        Dir.Write("t5.fnc", "G21 G90 G17\nG00 X0 Y0 Z5\nM06 T5\nG01 X10 F100\nM30\n");
    Start({program});
    B(TMainButton::Output2D)->Click();
    Messages.Answer("Yes");
    bool inserted = false, toolingDown = false;
    auto poll = std::make_shared<TTimer>();
    poll->SetInterval(50);
    poll->OnTimer = [&] {
        auto *deck = dynamic_cast<TTool_Deck *>(Form().Engine()->Tooling()->Deck());
        if (inserted || !deck)
            return;
        inserted = true;
        toolingDown = B(TMainButton::Tooling)->Down();
        auto find = [](QMenu *Menu, const char *Text) -> QAction * {
            for (QAction *a : Menu->actions())
                if (a->text() == Text)
                    return a;
            return nullptr;
        };
        QAction *insert = find(deck->PositionMenu(5), "Insert Tool");
        QAction *tool = insert ? find(insert->menu(), "End Mill 10") : nullptr;
        ASSERT_NE(tool, nullptr);
        tool->trigger();
    };
    poll->SetEnabled(true);
    Form().PressButton(TMainButton::Start);
    poll->SetEnabled(false);
    ASSERT_FALSE(Messages.Log().empty());
    EXPECT_EQ(Messages.Log()[0].Text, "Failed to Find a valid Tool-5\nEdit Tooling Now");
    EXPECT_TRUE(inserted) << "the carousel showed while the run waited";
    EXPECT_TRUE(toolingDown);
    EXPECT_EQ(Form().Engine()->Tooling()->CurrentTool(), 5);
    EXPECT_EQ(Shown().Run, "--TR") << "the run reached its end";
}

TEST_F(MainForm, TheOpenGLChoiceOpensTheMilling3DWindowAndARunCutsIt)
{
    Start({ProgramFile});
    QAction *openGL = nullptr;
    for (QAction *a : Form().Menu("Select3Dpopup")->actions())
        if (a->text().remove('&') == "OpenGL enhanced 3D")
            openGL = a;
    ASSERT_NE(openGL, nullptr);
    openGL->trigger();
    EXPECT_EQ(Setting("3DGraphics", "Use OpenGl"), "1");
    ASSERT_TRUE(B(TMainButton::Output3D)->Down());
    auto *sink = dynamic_cast<T3DOutput *>(Form().Engine()->Output(slotOpenGL));
    ASSERT_NE(sink, nullptr);
    QPointer<TGLWorld3D> window = dynamic_cast<TGLWorld3D *>(sink->View());
    ASSERT_NE(window, nullptr);
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    ASSERT_NE(sub, nullptr) << "an MDI child of the main window";
    EXPECT_EQ(sub->windowTitle(), "Milling 3D Simulation");
    Form().MdiArea()->setActiveSubWindow(sub);
    QStringList menus;
    for (QAction *a : Form().menuBar()->actions())
        menus << a->text();
    EXPECT_TRUE(menus.contains("&3D Setup")) << menus.join(",").toStdString();

    Form().PressButton(TMainButton::Start);
    EXPECT_EQ(Shown().Run, "--TR") << "the run reached its end";
    EXPECT_LT(window->Model().Billet.SurfaceAt(30, 0), 0) << "the square was cut";
    EXPECT_EQ(window->PanelCaption(1), "0.000");

    // Released: the output goes at once, its window once the click is over.
    B(TMainButton::Output3D)->Click();
    EXPECT_EQ(Form().Engine()->Output(slotOpenGL), nullptr);
    QCoreApplication::processEvents();
    EventLoop().ProcessMessages();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

} // namespace
} // namespace orv
