#pragma once
// The "Mint Information" window of the controller probe: one line of text
// and a gauge from 0 to 100 along the bottom, centred on the screen. A
// plain label and progress bar stand in for the dot-matrix display and the
// flat gauge of the component library.

#include "links/GetMintVersion.h"

#include <QWidget>

class QProgressBar;

namespace orv {

class TLCDLabel;

class TMintInformationWindow : public QWidget, public TMintInfoView {
public:
    explicit TMintInformationWindow(QWidget *Parent = nullptr);

    void SetText(const std::string &Text) override;
    void SetGauge(int Percent) override;
    void SetVisible(bool Visible) override;

    TLCDLabel *LCD = nullptr;
    QProgressBar *Gauge = nullptr;
};

// Makes the probe show this window.
void InstallMintInformationWindow();

} // namespace orv
