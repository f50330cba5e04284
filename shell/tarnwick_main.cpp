// Tarnwick: the main program. Starts the user-interface thread's services,
// creates the message module and then the path module, as every later part
// expects them, then the engine form with the editor source and the 2D
// output, opens the program named on the command line (the demo program
// when none is named) in an editor window beside the "2D Simulation"
// window and runs it from the editor; the program ends when the 2D window
// is closed and the editor windows agree.
#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/Draw_2D.h"
#include "engine/form/EditorInput.h"
#include "engine/form/HeadlessHost.h"
#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "engine/chain/BasicInput.h"
#include "engine/form/base.h"
#include "engine/view2d/ui/Form2DWindow.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ui/QtEventLoop.h"
#include "components/richedit/RichEditW.h"
#include "platform/ui/QtMessageService.h"
#include "shell/ui/editor.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Ends the program when the watched window is hidden or closed; a close
// waits for the editor windows' agreement (an unsaved program may stay).
class TQuitOnHide : public QObject {
public:
    using QObject::QObject;
    std::function<bool()> CanClose;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override
    {
        if (Event->type() == QEvent::Close && CanClose && !CanClose()) {
            Event->ignore();
            return true;
        }
        if (Event->type() == QEvent::Hide)
            QApplication::quit();
        return QObject::eventFilter(Watched, Event);
    }
};

// The main window as the engine sees it until the real one exists: its
// 2D output draws in the "2D Simulation" window.
class TTarnwickHost : public orv::THeadlessHost {
public:
    std::unique_ptr<orv::TBasicOutput> CreateOutput(int Slot) override
    {
        if (Slot != orv::slot2D)
            return THeadlessHost::CreateOutput(Slot);
        auto Output = std::make_unique<orv::TDraw_2D>();
        Output->ViewFactory = [] { return std::make_unique<orv::TForm2DWindow>(); };
        return Output;
    }
    // The editor source, its windows top-level until the main window
    // takes them in.
    std::unique_ptr<orv::TBasicInput> CreateEditorInput(orv::TBaseForm &) override
    {
        return std::make_unique<orv::TEditorInput>(
            nullptr, [] { return std::make_unique<orv::TEditorForm>(); });
    }
    // A missing tool can only be put into the changer from the "Machine
    // Tooling" window, which this program does not have yet: rather than
    // wait for a tool that cannot come, the run stops and says why.
    void ShowMachineTooling() override
    {
        THeadlessHost::ShowMachineTooling();
        orv::MessageDlg("", "The Machine Tooling window is not available; the run stops.",
                        orv::mtWarning, orv::mbOK);
        if (EngineForm())
            EngineForm()->CycleStop();
    }
};

std::vector<std::string> CommandLineArguments(const QApplication &App)
{
    std::vector<std::string> args;
    const QStringList all = App.arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        args.push_back(all[i].toStdString());
    return args;
}

// Loads the program into the editor source; false when it cannot be read.
bool LoadProgram(orv::TBaseForm &Engine, const std::string &FileName)
{
    std::string name = std::filesystem::absolute(FileName).string();
    Engine.SetProgramFile(name);
    Engine.SelectSource(orv::skEditor);
    if (!Engine.Source() || !Engine.Source()->LoadFile(name)) {
        orv::MessageDlg("", orv::Mess().MessageText(37) + " " + name, orv::mtError, orv::mbOK);
        return false;
    }
    Engine.ProgramLoaded(name, true, 0);
    return true;
}

// Points the message dictionary at the language and translation files the
// main settings name and picks the operator's language; without them the
// program speaks the language its texts are written in.
void OpenMessageDictionary(orv::TMess &Mess, const std::string &MainIni)
{
    orv::TIniFile ini(MainIni);
    const std::string folder = orv::ProgramFolder();
    std::string error;
    if (!Mess.OpenDictionary(ini.ReadString("directories", "Language File", folder + "language.txt"),
                             ini.ReadString("directories", "Translate File", folder + "translat.txt"),
                             ini.ReadInteger("Default Settings", "PrimaryLanguage", -1), error))
        std::fprintf(stderr, "%s\n", error.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setApplicationName("Orvellan");
    // Numbers are read and written with "." whatever the user's locale;
    // Qt has taken the user's locale for the whole process, so put it back.
    std::setlocale(LC_NUMERIC, "C");
    orv::TQtEventLoop loop;
    orv::SetEventLoop(&loop);
    orv::TQtMessageService messages;
    orv::SetMessageService(&messages);

    orv::TMess mess;
    orv::TNetUtil netUtil(CommandLineArguments(app));
    OpenMessageDictionary(mess, netUtil.MainIniFileName());

    TTarnwickHost host;
    orv::TBaseForm engine(host);
    host.SetEngine(&engine);
    engine.FormCreate();
    const std::string program = netUtil.Param1.empty() ? "programs/demo.fnc" : netUtil.Param1;
    const bool loaded = LoadProgram(engine, program);
    host.ClickButton(orv::TMainButton::Output2D);
    auto *output = dynamic_cast<orv::TDraw_2D *>(engine.Output(orv::slot2D));
    if (!output || !output->Window())
        return 1;
    auto *window = dynamic_cast<orv::TForm2DWindow *>(output->Window()->View());
    if (!window)
        return 1;
    TQuitOnHide quitOnHide;
    auto *editor = dynamic_cast<orv::TEditorInput *>(engine.Source());
    quitOnHide.CanClose = [editor] {
        for (int i = 0; editor && i < editor->EditorCount(); ++i)
            if (auto *form = dynamic_cast<orv::TEditorForm *>(&editor->Editor(i)))
                if (!form->CloseQuery())
                    return false;
        // Answered once: the editors go without asking again.
        for (int i = 0; editor && i < editor->EditorCount(); ++i)
            if (auto *form = dynamic_cast<orv::TEditorForm *>(&editor->Editor(i)))
                form->RichEdit()->SetModified(false);
        return true;
    };
    window->installEventFilter(&quitOnHide);
    if (editor) {
        // The editor on the left, the 2D window beside it.
        editor->Editor(0).SetBounds({20, 40, 520, 600});
        window->move(560, 40);
    }
    window->show();
    if (loaded)
        QTimer::singleShot(0, [&host] { host.ClickButton(orv::TMainButton::Start); });
    const int status = app.exec();
    window->removeEventFilter(&quitOnHide);
    return status;
}
