#pragma once
// A titled group of exclusive choices addressed by item index (-1: none).

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QVBoxLayout;

namespace orv {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString &Title, const QStringList &Items, QWidget *Parent = nullptr);
    void SetItems(const QStringList &Items);
    int Count() const;
    int ItemIndex() const;
    // An index at or above the count selects the last entry; a negative one
    // selects none.
    void SetItemIndex(int Index);
    QString Item(int Index) const;

private:
    QButtonGroup *FGroup;
    QVBoxLayout *FLayout;
};

} // namespace orv
