// Tarnwick: the main program. Starts the user-interface thread's services,
// then the main routine (message module, path module, main window), shows
// the main window and runs the message loop until it closes.
#include "localise/ui/LxApplication.h"
#include "platform/ui/QtEventLoop.h"
#include "platform/ui/QtMessageService.h"
#include "shell/ui/TarnwickApp.h"

#include <QApplication>

#include <clocale>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    orv::TLxApplication app(argc, argv);
    // Numbers are read and written with "." whatever the user's locale;
    // Qt has taken the user's locale for the whole process, so put it back.
    std::setlocale(LC_NUMERIC, "C");
    orv::TQtEventLoop loop;
    orv::SetEventLoop(&loop);
    orv::TQtMessageService messages;
    orv::InstallProgramDialogs(messages);
    orv::SetMessageService(&messages);

    std::vector<std::string> args;
    const QStringList all = app.arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        args.push_back(all[i].toStdString());
    orv::TTarnwickApp tarnwick(args);
    tarnwick.Show();
    return app.exec();
}
