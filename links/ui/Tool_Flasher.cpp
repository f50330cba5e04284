#include "links/ui/Tool_Flasher.h"

#include <QGuiApplication>
#include <QScreen>

namespace orv {

TVr_flash::TVr_flash(QWidget *Parent)
    : QWidget(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setFixedSize(148, 59);
    Panel1 = new QLabel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(8, 8, 129, 41);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignCenter);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
}

} // namespace orv
