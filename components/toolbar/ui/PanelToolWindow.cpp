#include "components/toolbar/ui/PanelToolWindow.h"

namespace orv {

TPanelToolWindow::TPanelToolWindow(QWidget *Form, const char *Name, const char *Caption,
                                   QWidget *Content)
    : TToolWindow(Form), FContent(Content)
{
    setObjectName(Name);
    SetCaption(Caption);
    Content->setParent(this);
    const QSize size = Content->sizeHint();
    SetClientAreaWidth(size.width());
    SetClientAreaHeight(size.height());
    SetDockedTo(nullptr);
    SetVisible(false);
}

void TPanelToolWindow::resizeEvent(QResizeEvent *Event)
{
    TToolWindow::resizeEvent(Event);
    FContent->setGeometry(rect().marginsRemoved(NonClientMargins()));
}

} // namespace orv
