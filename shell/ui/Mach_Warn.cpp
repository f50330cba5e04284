#include "shell/ui/Mach_Warn.h"

#include "shell/ui/TranslatedText.h"


#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

TMach_Warn::TMach_Warn(QWidget *Owner) : QDialog(Owner) {
    setObjectName("Mach_Warn");
    setWindowTitle("Warning");
    auto *layout = new QVBoxLayout(this);
    auto *memo = new QPlainTextEdit(this);
    memo->setReadOnly(true);
    memo->setStyleSheet("background: black; color: red;");
    memo->setPlainText(QTr("You have pressed Play") + "\n" + QTr("and") + "\n" +
                       QTr("The Real Machine is Selected!") + "\n");
    layout->addWidget(memo);
    ShowAGain = new QCheckBox("Don't Show This Again", this);
    ShowAGain->setObjectName("ShowAGain");
    layout->addWidget(ShowAGain);
    auto *row = new QHBoxLayout;
    Button1 = new QPushButton("Run", this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("Stop", this);
    Button2->setObjectName("Button2");
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(Button1);
    row->addWidget(Button2);
    layout->addLayout(row);
    resize(247, 123);
}

} // namespace orv
