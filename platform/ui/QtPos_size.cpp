#include "platform/ui/QtPos_size.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace orv {

TQtPos_size::TQtPos_size(QWidget *Window, const std::string &ClassName, TPosBorder Border,
                         const std::string &ControlName)
    : QObject(Window), FWindow(Window), FClassName(ClassName), FBorder(Border) {
    FPos.ControlName = ControlName;
    QSize screen(1024, 768);
    if (QScreen *s = QGuiApplication::primaryScreen())
        screen = s->size();
    const TPosBounds b = FPos.Loaded(Owner(), screen.width(), screen.height());
    FWindow->setGeometry(b.Left, b.Top, b.Width, b.Height);
}

// Destroyed with its window, whose bounds are still there to read.
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
