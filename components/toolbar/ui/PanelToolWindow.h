#pragma once
// TPanelToolWindow: a floating tool window, hidden at first, whose client
// area is one content widget; the window takes the content's preferred
// size and keeps the content filling the area inside its borders.

#include "components/toolbar/ui/TbTlwn.h"

namespace orv {

class TPanelToolWindow : public TToolWindow {
    Q_OBJECT
public:
    // The window takes Content over (Content's parent becomes the window).
    TPanelToolWindow(QWidget *Form, const char *Name, const char *Caption, QWidget *Content);

protected:
    void showEvent(QShowEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;

private:
    QWidget *FContent;
};

} // namespace orv
