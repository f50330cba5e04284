#pragma once
// The "Mint Information" window of the controller probe: one line of text
// and a flat gauge from 0 to 100 along the bottom, centred on the screen.

#include "links/GetMintVersion.h"

#include <QWidget>

namespace orv {

class TFlatGauge;
class TLCDLabel;

class TMintInformationWindow : public QWidget, public TMintInfoView {
public:
    explicit TMintInformationWindow(QWidget *Parent = nullptr);

    void SetText(const std::string &Text) override;
    void SetGauge(int Percent) override;
    void SetVisible(bool Visible) override;

    TLCDLabel *LCD = nullptr;
    TFlatGauge *Gauge = nullptr;
};

// Makes the probe show this window.
void InstallMintInformationWindow();

} // namespace orv
