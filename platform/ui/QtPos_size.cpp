#include "platform/ui/QtPos_size.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace orv {

TQtPos_size::TQtPos_size(QWidget *Window, const std::string &ClassName, TPosBorder Border,
                         const std::string &ControlName)
    : QObject(Window), FWindow(Window), FClassName(ClassName), FBorder(Border) {
    FPos.ControlName = ControlName;
    QSize screen(1024, 768);
    if (QScreen *s = QGuiApplication::primaryScreen())
        screen = s->size();
    const TPosBounds b = FPos.Loaded(Owner(), screen.width(), screen.height());
    if (FPos.PositionStored()) {
        FWindow->setGeometry(b.Left, b.Top, b.Width, b.Height);
        return;
    }
    // Never placed before: its stored size, if any, and a place at its
    // first show (a top-level window over the middle of its main window).
    FWindow->resize(b.Width, b.Height);
    if (FWindow->isWindow())
        FWindow->installEventFilter(this);
}

bool TQtPos_size::eventFilter(QObject *Watched, QEvent *Event) {
    if (Watched == FWindow && Event->type() == QEvent::Show) {
        FWindow->removeEventFilter(this);
        if (!FWindow->testAttribute(Qt::WA_Moved))
            CentreOnMainWindow();
    }
    return QObject::eventFilter(Watched, Event);
}

// The main window is the owner's window, else the active one; the window
// stays on its screen. A window with neither (the main window itself) keeps
// the place the window system gives it.
void TQtPos_size::CentreOnMainWindow() {
    QWidget *main = FWindow->parentWidget() ? FWindow->parentWidget()->window()
                                            : QApplication::activeWindow();
    if (!main || main == FWindow)
        return;
    QRect frame = FWindow->frameGeometry();
    frame.moveCenter(main->frameGeometry().center());
    if (QScreen *s = FWindow->screen()) {
        const QRect room = s->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), room.left(),
                                  std::max(room.left(), room.right() - frame.width() + 1)));
        frame.moveTop(std::clamp(frame.top(), room.top(),
                                 std::max(room.top(), room.bottom() - frame.height() + 1)));
    }
    FWindow->move(frame.topLeft());
}

TQtPos_size::~TQtPos_size() {
    const QRect g = FWindow->geometry();
    FPos.SavePosition(Owner(), TPosBounds{g.left(), g.top(), g.width(), g.height()});
}

TPos_sizeOwner TQtPos_size::Owner() const {
    TPos_sizeOwner o;
    o.Name = FWindow->objectName().toStdString();
    o.Caption = FWindow->windowTitle().toStdString();
    o.ClassName = FClassName;
    o.Border = FBorder;
    const QRect g = FWindow->geometry();
    o.Designed = TPosBounds{g.left(), g.top(), g.width(), g.height()};
    return o;
}

} // namespace orv
