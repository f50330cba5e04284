#include "shell/ui/Choice_From.h"

#include "components/toolbar/ui/TbCtls.h"
#include "shell/ui/ShellGlyphs.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace orv {

TChoice_From::TChoice_From(QWidget *Owner) : QDialog(Owner) {
    setObjectName("Choice_From");
    setWindowTitle("Please Choose!");
    auto *layout = new QVBoxLayout(this);
    auto *panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *row = new QHBoxLayout(panel);
    // The output buttons as the main window's Outputs bar shows them.
    struct {
        TToolbarButton **Button;
        const char *Name;
        const char *Caption;
        int Glyph;
    } toggles[] = {{&threeD, "threeD", "3D Simulation", gl3D},
                   {&twoD, "twoD", "2D Simulation", gl2D},
                   {&compiles, "compiles", "Compiled", glCompiled},
                   {&Post_out, "Post_out", "Post Output", glPost}};
    int group = 1;
    for (auto &t : toggles) {
        auto *b = new TToolbarButton(panel);
        b->setObjectName(t.Name);
        b->SetCaption(t.Caption);
        b->SetGlyph(ShellGlyph(t.Glyph));
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
    auto *label = new QLabel("No output has been selected please choose one now.", this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    auto *buttons = new QHBoxLayout;
    Ok = new QPushButton("OK", this);
    Ok->setObjectName("Ok");
    Cancel = new QPushButton("Cancel", this);
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

// Each output button as wide as its caption needs, in the language it
// shows now.
void TChoice_From::FitButtons() {
    for (TToolbarButton *b : {threeD, twoD, compiles, Post_out})
        b->setFixedWidth(std::max(72, b->fontMetrics().horizontalAdvance(b->Caption()) + 12));
    adjustSize();
}

void TChoice_From::showEvent(QShowEvent *Event) {
    FitButtons();
    QDialog::showEvent(Event);
}

void TChoice_From::keyPressEvent(QKeyEvent *Event) {
    if (Event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(Event);
}

} // namespace orv
