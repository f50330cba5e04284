#include "simcontrol/ui/ProgressDlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>

namespace orv {

namespace {
// The bar counts in steps of at most INT_MAX, so any move count fits.
int BarValue(long long Done, long long Count)
{
    if (Count <= INT_MAX)
        return static_cast<int>(Done);
    return static_cast<int>(Done * static_cast<double>(INT_MAX) / Count);
}
} // namespace

CProgressDlg::CProgressDlg(long long Count)
    : QDialog(nullptr, Qt::FramelessWindowHint), FCount(Count) {
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Working...", this));
    FBar = new QProgressBar(this);
    FBar->setObjectName("Progress1");
    FBar->setRange(0, BarValue(Count, Count));
    FBar->setValue(0);
    layout->addWidget(FBar);
    auto *cancel = new QPushButton("Cancel", this);
    layout->addWidget(cancel);
    connect(cancel, &QPushButton::clicked, this, [this] {
        FCancelled = true;
        reject();
    });
    show();
}

void CProgressDlg::Step()
{
    ++FDone;
    FBar->setValue(BarValue(std::min(FDone, FCount), FCount));
}

} // namespace orv
