#include "components/toolbar/ui/PanelToolWindow.h"

namespace orv {

TPanelToolWindow::TPanelToolWindow(QWidget *Form, const char *Name, const char *Caption,
                                   QWidget *Content)
    : TToolWindow(Form), FContent(Content)
{
    setObjectName(Name);
    SetCaption(Caption);
    Content->setParent(this);
    // The content's layout may prefer less than the content's own minimum.
    const QSize size = Content->sizeHint().expandedTo(Content->minimumSize());
    SetClientAreaWidth(size.width());
    SetClientAreaHeight(size.height());
    SetDockedTo(nullptr);
    SetVisible(false);
}

// A minimum client size set after the window was made holds from its first
// show on.
void TPanelToolWindow::showEvent(QShowEvent *Event)
{
    TToolWindow::showEvent(Event);
    const QSize client = rect().marginsRemoved(NonClientMargins()).size();
    if (client.width() < MinClientWidth())
        SetClientAreaWidth(MinClientWidth());
    if (client.height() < MinClientHeight())
        SetClientAreaHeight(MinClientHeight());
}

void TPanelToolWindow::resizeEvent(QResizeEvent *Event)
{
    TToolWindow::resizeEvent(Event);
    FContent->setGeometry(rect().marginsRemoved(NonClientMargins()));
}

} // namespace orv
