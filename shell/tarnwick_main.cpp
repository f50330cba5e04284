// Tarnwick: the main program. Starts the user-interface thread's services,
// creates the message module and then the path module, as every later part
// expects them, and shows the first window the program has: the macro
// variables over the main settings file of the working folder.
#include "engine/MacroVars.h"
#include "engine/Mess.h"
#include "engine/NetUtil.h"
#include "engine/ui/MacroVarsForm.h"
#include "platform/ui/QtEventLoop.h"
#include "platform/ui/QtMessageService.h"

#include <QApplication>
#include <QEvent>

#include <clocale>
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

    orv::TMacroVars macroVars(netUtil.MainIniFileName());
    orv::TMacroVarsForm window(macroVars);
    TQuitOnHide quitOnHide;
    window.installEventFilter(&quitOnHide);
    window.show();
    return app.exec();
}
