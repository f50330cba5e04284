#include "links/ui/Mint_Information.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

namespace orv {

TMintInformationWindow::TMintInformationWindow(QWidget *Parent)
    : QWidget(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle("Mint Information");
    setFixedSize(471, 46);
    LCD = new QLabel(this);
    LCD->setObjectName("LCD");
    LCD->setGeometry(0, 0, 470, 28);
    LCD->setStyleSheet("background: black; color: #ffdd22; border: 1px solid green;");
    Gauge = new QProgressBar(this);
    Gauge->setObjectName("Gauge");
    Gauge->setGeometry(0, 29, 471, 17);
    Gauge->setRange(0, 100);
    Gauge->setTextVisible(false);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TMintInformationWindow::SetText(const std::string &Text) {
    LCD->setText(QString::fromStdString(Text));
}

void TMintInformationWindow::SetGauge(int Percent) {
    Gauge->setValue(Percent);
}

void TMintInformationWindow::SetVisible(bool Visible) {
    setVisible(Visible);
}

void InstallMintInformationWindow() {
    SetMintInfoViewFactory([] { return std::make_unique<TMintInformationWindow>(); });
}

} // namespace orv
