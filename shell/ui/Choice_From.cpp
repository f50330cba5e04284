#include "shell/ui/Choice_From.h"

#include "components/toolbar/ui/TbCtls.h"
#include "shell/ui/TranslatedText.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

TChoice_From::TChoice_From(QWidget *Owner) : QDialog(Owner) {
    setObjectName("Choice_From");
    setWindowTitle(QTr("Please Choose!"));
    auto *layout = new QVBoxLayout(this);
    auto *panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *row = new QHBoxLayout(panel);
    struct {
        TToolbarButton **Button;
        const char *Name;
        const char *Caption;
    } toggles[] = {{&threeD, "threeD", "3D Simulation"},
                   {&twoD, "twoD", "2D Simulation"},
                   {&compiles, "compiles", "Compiled"},
                   {&Post_out, "Post_out", "Post Output"}};
    int group = 1;
    for (auto &t : toggles) {
        auto *b = new TToolbarButton(panel);
        b->setObjectName(t.Name);
        b->SetCaption(QTr(t.Caption));
        b->SetLayout(blGlyphTop);
        b->SetFlat(false);
        b->SetGroupIndex(group++);
        b->SetAllowAllUp(true);
        b->setFixedSize(72, 50);
        b->OnClick = [this](TToolbarButton *) { threeDClick(); };
        row->addWidget(b);
        *t.Button = b;
    }
    layout->addWidget(panel);
    auto *label = new QLabel(QTr("No output has been selected please choose one now."), this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    auto *buttons = new QHBoxLayout;
    Ok = new QPushButton(QTr("OK"), this);
    Ok->setObjectName("Ok");
    Cancel = new QPushButton(QTr("Cancel"), this);
    Cancel->setObjectName("Cancel");
    connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    layout->addLayout(buttons);
    FormCreate();
}

void TChoice_From::FormCreate() {
    Ok->setEnabled(false);
}

void TChoice_From::threeDClick() {
    Ok->setEnabled(threeD->Down() || twoD->Down() || compiles->Down() || Post_out->Down());
}

void TChoice_From::keyPressEvent(QKeyEvent *Event) {
    if (Event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(Event);
}

} // namespace orv
