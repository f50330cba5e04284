#include "machine/ui/Progress.h"

#include "engine/core/Mess.h"
#include "machine/ui/QtText.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace orv {

Tprogress::Tprogress(QWidget *Parent) : QWidget(Parent, Qt::Dialog)
{
    setObjectName("progress");
    setWindowTitle(Q(Mess().Translate("Setting Up Machine")));
    Message = new QLabel(this);
    Gauge = new QProgressBar(this);
    Gauge->setObjectName("Gauge");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Message);
    layout->addWidget(Gauge);
    resize(300, 80);
}

void Tprogress::SetCaption(const std::string &Caption) { setWindowTitle(Q(Caption)); }

void Tprogress::SetMaximum(long long Maximum)
{
    Gauge->setMaximum(int(std::clamp<long long>(Maximum, 0, INT_MAX)));
}

void Tprogress::SetPosition(long long Position)
{
    Gauge->setValue(int(std::clamp<long long>(Position, 0, Gauge->maximum())));
}

void Tprogress::SetPanel(int Index, const std::string &Text)
{
    if (Index == 0)
        Message->setText(Q(Text));
}

} // namespace orv
