#include "transfer/ui/About.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace orv {

std::string VersionText(int Major, int Minor, int Release, int Build, bool SpecialBuild,
                        bool PreRelease) {
    std::string text = "Ver: " + std::to_string(Major) + "." + std::to_string(Minor) + "." +
                       std::to_string(Release) + "." + std::to_string(Build);
    if (SpecialBuild)
        text += "a ";
    if (PreRelease)
        text += " *BETA*";
    return text;
}

std::string TAboutBox::GetVersionText() {
    return VersionText(ROSTREL_VERSION_MAJOR, ROSTREL_VERSION_MINOR, ROSTREL_VERSION_RELEASE,
                       ROSTREL_VERSION_BUILD, ROSTREL_SPECIAL_BUILD != 0, ROSTREL_PRE_RELEASE != 0);
}

TAboutBox::TAboutBox(QWidget *Parent) : QDialog(Parent) {
    setWindowTitle("About Rostrel");
    auto *layout = new QVBoxLayout(this);
    auto *icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    layout->addWidget(icon);
    layout->addWidget(new QLabel("Rostrel RS232 Utility", this));
    FVersion = new QLabel(this);
    FVersion->setObjectName("Version");
    layout->addWidget(FVersion);
    auto *ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok);
    FormShow();
}

void TAboutBox::FormShow() {
    FVersion->setText(QString::fromStdString(GetVersionText()));
}

QString TAboutBox::Version() const {
    return FVersion->text();
}

} // namespace orv
