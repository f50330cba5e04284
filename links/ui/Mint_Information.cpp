#include "links/ui/Mint_Information.h"

#include "components/gauge/ui/TFlatGaugeUnit.h"
#include "components/lcd/ui/LCD_Lab.h"

#include <QGuiApplication>
#include <QScreen>

namespace orv {

TMintInformationWindow::TMintInformationWindow(QWidget *Parent)
    : QWidget(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle("Mint Information");
    setFixedSize(471, 46);
    // One line of 29 characters, 5 x 7 dots of 2 x 2 pixels: 470 x 28.
    LCD = new TLCDLabel(this);
    LCD->setObjectName("LCD");
    LCD->SetNoOfChars(29);
    LCD->SetBackGround(0x000000);
    LCD->SetBorderStyle(frSingle);
    LCD->SetBorderColor(0x008000);
    LCD->SetPixelOn(2237183);
    LCD->SetPixelOff(119);
    Gauge = new TFlatGauge(this);
    Gauge->setObjectName("Gauge");
    Gauge->setGeometry(0, 29, 471, 17);
    Gauge->SetColorBorder(8623776);
    Gauge->SetProgress(0);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TMintInformationWindow::SetText(const std::string &Text) {
    LCD->SetCaption(Text);
}

void TMintInformationWindow::SetGauge(int Percent) {
    Gauge->SetProgress(Percent);
}

void TMintInformationWindow::SetVisible(bool Visible) {
    setVisible(Visible);
}

void InstallMintInformationWindow() {
    SetMintInfoViewFactory([] { return std::make_unique<TMintInformationWindow>(); });
}

} // namespace orv
