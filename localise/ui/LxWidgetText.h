#pragma once
// A widget's caption as a window text the runtime can translate: buttons,
// check boxes and radio buttons, labels, group boxes and top-level windows.

#include "localise/LxHooks.h"

class QWidget;

namespace orv {

class TLxWidgetText : public TLxWindowText {
public:
    explicit TLxWidgetText(QWidget *Widget) : FWidget(Widget) {}
    std::string Text() const override;
    void SetText(const std::string &Text) override;
    int TextWidth(const std::string &Text) const override;
    int Width() const override;
    void SetWidth(int Width) override;
    bool HasMark() const override;

private:
    QWidget *FWidget;
};

} // namespace orv
