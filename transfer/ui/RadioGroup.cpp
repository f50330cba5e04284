#include "transfer/ui/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orv {

TRadioGroup::TRadioGroup(const QString &Title, const QStringList &Items, QWidget *Parent)
    : QGroupBox(Title, Parent), FGroup(new QButtonGroup(this)), FLayout(new QVBoxLayout(this)) {
    SetItems(Items);
}

void TRadioGroup::SetItems(const QStringList &Items) {
    for (QAbstractButton *b : FGroup->buttons()) {
        FGroup->removeButton(b);
        delete b;
    }
    for (int i = 0; i < Items.size(); ++i) {
        auto *b = new QRadioButton(Items[i], this);
        FGroup->addButton(b, i);
        FLayout->addWidget(b);
    }
}

int TRadioGroup::Count() const {
    return int(FGroup->buttons().size());
}

int TRadioGroup::ItemIndex() const {
    return FGroup->checkedId();
}

void TRadioGroup::SetItemIndex(int Index) {
    if (Index < 0 || Count() == 0) {
        FGroup->setExclusive(false);
        for (QAbstractButton *b : FGroup->buttons())
            b->setChecked(false);
        FGroup->setExclusive(true);
        return;
    }
    FGroup->button(std::min(Index, Count() - 1))->setChecked(true);
}

QString TRadioGroup::Item(int Index) const {
    QAbstractButton *b = FGroup->button(Index);
    return b ? b->text() : QString();
}

} // namespace orv
