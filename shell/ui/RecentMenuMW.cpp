#include "shell/ui/RecentMenuMW.h"

#include "engine/core/Mess.h"

#include "platform/MessageService.h"

#include <QMenu>

namespace orv {

namespace {
std::string Tr(const std::string &Text) { return Mess().Translate(Text); }
} // namespace

TMenu2::TMenu2(const std::string &ListFile) : FListFile(ListFile) {}

TMenu2::~TMenu2() {
    if (!FList.SaveHistory(FListFile))
        MessageDlg("", Tr("Could not save History List"), mtWarning, mbOK);
}

void TMenu2::LoadHistory() {
    FList.LoadHistory(FListFile);
    RebuildMenu();
}

void TMenu2::AddFile(const std::string &FileName) {
    FList.AddFile(FileName);
    RebuildMenu();
}

void TMenu2::RebuildMenu() {
    if (!TheMenu)
        return;
    for (QAction *a : FItems) {
        TheMenu->removeAction(a);
        a->deleteLater();
    }
    FItems.clear();
    const std::vector<std::string> captions = FList.Captions();
    for (size_t i = 0; i < captions.size(); ++i) {
        QAction *a = TheMenu->addAction(QString::fromStdString(captions[i]));
        const int index = static_cast<int>(i);
        QObject::connect(a, &QAction::triggered, a,
                         [this, a, index] { RecentItemClick(a, index); });
        FItems.push_back(a);
    }
    if (!FItems.empty()) {
        QAction *bottom = TheMenu->addSeparator();
        bottom->setVisible(false);
        FItems.push_back(bottom);
    }
}

void TMenu2::RecentItemClick(QAction *Item, int Index) {
    const std::string path = FList.Clicked(Index);
    RebuildMenu();
    if (OnRecentclick)
        OnRecentclick(Item, path);
}

} // namespace orv
