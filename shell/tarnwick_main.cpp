// Tarnwick: the main program. Starts the user-interface thread's services
// and the first window the program has.
#include "platform/ui/QtEventLoop.h"
#include "platform/ui/QtMessageService.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setApplicationName("Orvellan");
    orv::TQtEventLoop loop;
    orv::SetEventLoop(&loop);
    orv::TQtMessageService messages;
    orv::SetMessageService(&messages);

    QLabel window("Orvellan");
    window.setWindowTitle("Orvellan");
    window.resize(400, 200);
    window.show();
    return app.exec();
}
