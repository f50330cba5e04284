// Rostrel: the RS232 program-transfer utility. Starts the user-interface
// thread's services, finds its working folder (the current folder, else
// the program's) and runs the MDI frame until it closes. Nothing is taken
// from the command line.
#include "platform/ui/QtCursorService.h"
#include "platform/ui/QtEventLoop.h"
#include "platform/ui/QtMessageService.h"
#include "transfer/ui/Main.h"

#include <QApplication>
#include <QDir>

#include <clocale>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Corvane RS232 communication utility");
    orv::TQtEventLoop loop;
    orv::SetEventLoop(&loop);
    orv::TQtMessageService messages;
    orv::SetMessageService(&messages);
    orv::TQtCursorService cursors;
    orv::SetCursorService(&cursors);
    QString folder = QDir::currentPath();
    if (folder.isEmpty())
        folder = QApplication::applicationDirPath();
    std::string working = QDir::cleanPath(folder).toStdString() + "/";
    orv::TMainForm form(working);
    messages.SetParent(&form);
    form.show();
    return app.exec();
}
