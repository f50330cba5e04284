#pragma once
// Puts a TPos_size on a Qt window: places the window at once from its
// stored bounds (a top-level window never placed before opens over the
// middle of its main window) and writes its last bounds back when the
// keeper is destroyed with the window.
#include "platform/Pos_size.h"

#include <QObject>

class QWidget;

namespace orv {

class TQtPos_size : public QObject {
public:
    // Window is the widget whose geometry is kept (a top-level window or an
    // MDI sub-window); ClassName the form's class ("TB_Size"); ControlName
    // the section when the form fixes one.
    TQtPos_size(QWidget *Window, const std::string &ClassName, TPosBorder Border,
                const std::string &ControlName = "");
    ~TQtPos_size() override;

    TPos_size &Component() { return FPos; }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void CentreOnMainWindow();
    TPos_sizeOwner Owner() const;
    QWidget *FWindow;
    std::string FClassName;
    TPosBorder FBorder;
    TPos_size FPos;
};

} // namespace orv
