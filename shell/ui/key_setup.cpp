#include "shell/ui/key_setup.h"

#include "platform/ui/QtPos_size.h"
#include "platform/ui/VirtualKeys.h"
#include "shell/ui/TranslatedText.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orv {

namespace {
const char *const ButtonNames[] = {"x1", "x2", "y1", "y2", "z1", "z2", "F1", "F2", "S1", "S2"};
const char *const Captions[] = {"X+", "X-", "Y+", "Y-", "Z+", "Z-", "F+", "F-", "Sp+", "Sp-"};
const char *const EditNames[] = {"Xp", "Xm", "Yp", "Ym", "Zp", "Zm", "Fup", "Fdn", "Sup", "Sdn"};
void Paint(QLineEdit *Edit, const QColor &Colour) {
    QPalette p = Edit->palette();
    p.setColor(QPalette::Base, Colour);
    Edit->setPalette(p);
}
} // namespace

TKey_def_form::TKey_def_form(QWidget *Owner, const std::string &SettingsFile)
    : QDialog(Owner), FSettingsFile(SettingsFile) {
    setObjectName("Key_def_form");
    setWindowTitle("Axis Key Definition");
    auto *grid = new QGridLayout(this);
    for (int i = 0; i < TJogKeyTable::Count; ++i) {
        FButtons[i] = new QPushButton(Captions[i], this);
        FButtons[i]->setObjectName(ButtonNames[i]);
        FButtons[i]->setProperty("Tag", i + 1);
        FButtons[i]->setAutoDefault(false);
        connect(FButtons[i], &QPushButton::clicked, this, [this, i] { FunctionClick(i + 1); });
        FEdits[i] = new QLineEdit(this);
        FEdits[i]->setObjectName(EditNames[i]);
        FEdits[i]->setReadOnly(true);
        FEdits[i]->setProperty("Tag", i + 21);
        const int panel = i / 2;
        grid->addWidget(FButtons[i], panel, (i % 2) * 2);
        grid->addWidget(FEdits[i], panel, (i % 2) * 2 + 1);
    }
    FHint = new QLabel("Press A Key On the KeyBoard Now", this);
    FHint->setObjectName("hint1");
    FHint->hide();
    grid->addWidget(FHint, 5, 0, 1, 4);
    auto *ok = new QPushButton("OK", this);
    ok->setObjectName("OK");
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, [this] { OKClick(); });
    grid->addWidget(ok, 6, 1, 1, 2);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    FTable.Load(FSettingsFile);
    ShowTable();
    adjustSize();
    FPos = new TQtPos_size(this, "TKey_def_form", TPosBorder::Fixed);
}

TKey_def_form::~TKey_def_form() = default;

void TKey_def_form::ShowTable() {
    for (int i = 0; i < TJogKeyTable::Count; ++i) {
        FEdits[i]->setText(QString::fromStdString(FSetup.ShownKey(i)));
        if (FSetup.Selected() != i + 1)
            Paint(FEdits[i], Qt::white);
    }
}

void TKey_def_form::FunctionClick(int Tag) {
    FSetup.SelectFunction(Tag);
    for (QLineEdit *e : FEdits)
        Paint(e, Qt::white);
    QLineEdit *chosen = FEdits[Tag - 1];
    Paint(chosen, Qt::red);
    chosen->setFocus();
    FHint->show();
}

void TKey_def_form::KeyPressed(uint16_t VirtualKey) {
    if (FSetup.KeyPressed(VirtualKey))
        ShowTable();
    FHint->hide();
}

void TKey_def_form::OKClick() {
    FTable.Save(FSettingsFile);
    accept();
}

bool TKey_def_form::eventFilter(QObject *Watched, QEvent *Event) {
    if (Event->type() == QEvent::KeyPress) {
        KeyPressed(VirtualKeyOf(*static_cast<QKeyEvent *>(Event)));
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}

void TKey_def_form::keyPressEvent(QKeyEvent *Event) {
    KeyPressed(VirtualKeyOf(*Event));
}

void TKey_def_form::showEvent(QShowEvent *Event) {
    FHint->hide();
    QDialog::showEvent(Event);
}

} // namespace orv
