#pragma once
// The dwell countdown's window: borderless, on top, centred on the main
// window, "Dwell" above the remaining seconds.

#include "machine/StopWatch.h"

#include <QWidget>

class QLabel;

namespace orv {

class TDownCounterWindow : public QWidget, public TDownCounterView {
    Q_OBJECT
public:
    explicit TDownCounterWindow(QWidget *Parent = nullptr);

    void ShowCounter() override;
    void ShowCount(const std::string &Text) override;
    void HideCounter() override;

    QLabel *Count; // "0.0"
};

} // namespace orv
