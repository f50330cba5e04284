// Tarnwick: the main program. Starts the user-interface thread's services,
// creates the message module and then the path module, as every later part
// expects them, and shows the first window the program has: the macro
// variables over the main settings file of the working folder.
#include "engine/MacroVars.h"
#include "engine/Mess.h"
#include "engine/NetUtil.h"
#include "engine/ui/MacroVarsForm.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ui/QtEventLoop.h"
#include "platform/ui/QtMessageService.h"

#include <QApplication>
#include <QEvent>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Ends the program when its only window is hidden ("OK") or closed.
class TQuitOnHide : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override
    {
        if (Event->type() == QEvent::Hide)
            QApplication::quit();
        return QObject::eventFilter(Watched, Event);
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

    orv::TMacroVars macroVars(netUtil.MainIniFileName());
    orv::TMacroVarsForm window(macroVars);
    TQuitOnHide quitOnHide;
    window.installEventFilter(&quitOnHide);
    window.show();
    return app.exec();
}
