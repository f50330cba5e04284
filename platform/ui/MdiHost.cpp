#include "platform/ui/MdiHost.h"

#include <QDesktopServices>
#include <QMdiSubWindow>
#include <QUrl>
#include <QWidget>

namespace orv {

namespace {
TMdiAdopter &Adopter() {
    static TMdiAdopter adopter;
    return adopter;
}
TDocumentOpener &Opener() {
    static TDocumentOpener opener;
    return opener;
}
} // namespace

void SetMdiAdopter(TMdiAdopter Adopter_) {
    Adopter() = std::move(Adopter_);
}

bool AdoptAsMdiChild(QWidget *Window) {
    return Window && Adopter() && Adopter()(Window);
}

void ShowWindowOrChild(QWidget *Window) {
    if (!Window)
        return;
    Window->show();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(Window->parentWidget())) {
        sub->show();
        sub->raise();
    }
}

void SetDocumentOpener(TDocumentOpener Opener_) {
    Opener() = std::move(Opener_);
}

bool OpenDocument(const std::string &Path, const std::string &Anchor) {
    if (Opener())
        return Opener()(Anchor.empty() ? Path : Path + "#" + Anchor);
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(Path));
    if (!Anchor.empty())
        url.setFragment(QString::fromStdString(Anchor));
    return QDesktopServices::openUrl(url);
}

} // namespace orv
