#include "shell/ui/splash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace orv {

TSplash_form::TSplash_form(QWidget *Parent)
    : QWidget(Parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName("Splash_form");
    setFixedSize(295 + 4, 156 + 4);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    description = new QLabel(this);
    description->setObjectName("description");
    description->setAlignment(Qt::AlignCenter);
    description->setStyleSheet("color: white; background: transparent;");
    VersionInfo = new QLabel("Orvellan", this);
    VersionInfo->setObjectName("VersionInfo");
    VersionInfo->setAlignment(Qt::AlignCenter);
    VersionInfo->setStyleSheet("color: white; background: black; font-weight: bold;");
    layout->addWidget(description, 1);
    layout->addWidget(VersionInfo);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TSplash_form::ShowProgress(const std::string &Text) {
    description->setText(QString::fromStdString(Text));
    show();
    repaint();
}

// The picture: a dark field with the milled outline of a plate.
void TSplash_form::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 160, 120), 2));
    const QRectF plate = QRectF(rect()).adjusted(40, 25, -40, -55);
    p.drawRoundedRect(plate, 12, 12);
    p.drawEllipse(plate.center(), 14, 14);
}

} // namespace orv
