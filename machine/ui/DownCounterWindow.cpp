#include "machine/ui/DownCounterWindow.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace orv {

TDownCounterWindow::TDownCounterWindow(QWidget *Parent)
    : QWidget(Parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("TimeDisplay");
    auto *title = new QLabel("Dwell", this);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Count = new QLabel("0.0", this);
    Count->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    QFont big = Count->font();
    big.setPointSize(big.pointSize() * 2);
    Count->setFont(big);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(Count);
    resize(120, 70);
}

void TDownCounterWindow::ShowCounter() {
    QWidget *main = QApplication::activeWindow();
    QRect area = main ? main->geometry()
                      : (screen() ? screen()->availableGeometry() : QRect(0, 0, 640, 480));
    move(area.center() - rect().center());
    show();
}

void TDownCounterWindow::ShowCount(const std::string &Text) {
    Count->setText(QString::fromStdString(Text));
}

void TDownCounterWindow::HideCounter() {
    hide();
}

} // namespace orv
