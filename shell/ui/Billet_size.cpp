#include "shell/ui/Billet_size.h"

#include "platform/ui/QtPos_size.h"
#include "shell/ShellSettings.h"
#include "shell/ui/TranslatedText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

namespace {
const char *const Labels[5] = {"X Size", "Y Size", "Z Size", "X Position", "Y Position"};
const char *const Names[5] = {"X", "Y", "Z", "Xp", "Yp"};
} // namespace

TB_Size::TB_Size(QWidget *Owner, bool Inch) : QDialog(Owner), FInch(Inch) {
    // The form's component name: its position's section is "B_Size".
    setObjectName("B_Size");
    setWindowTitle("Billet Size");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    auto *form = new QFormLayout(this);
    for (int i = 0; i < 5; ++i) {
        FEdits[i] = new QLineEdit(this);
        FEdits[i]->setObjectName(Names[i]);
        form->addRow(Labels[i], FEdits[i]);
    }
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("OK");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OKClick(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    adjustSize();
    FPos = new TQtPos_size(this, "TB_Size", TPosBorder::Fixed);
}

TB_Size::~TB_Size() = default;

void TB_Size::FormShow() {
    for (int i = 0; i < 5; ++i)
        FEdits[i]->setText(QString::fromStdString(BilletValueText(FInch, Values[i])));
}

void TB_Size::showEvent(QShowEvent *Event) {
    FormShow();
    QDialog::showEvent(Event);
}

void TB_Size::OKClick() {
    for (int i = 0; i < 5; ++i)
        BilletTextToMM(FEdits[i]->text().toStdString(), FInch, Values[i]);
    accept();
}

} // namespace orv
