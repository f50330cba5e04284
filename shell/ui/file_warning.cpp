#include "shell/ui/file_warning.h"


#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

TFile_warn::TFile_warn(QWidget *Owner) : QDialog(Owner) {
    setObjectName("File_warn");
    setWindowTitle("Warning");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        "WARNING - The following File(s) are not present",
        this));
    List = new QPlainTextEdit(this);
    List->setReadOnly(true);
    List->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(List);
    auto *ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    resize(360, 240);
}

} // namespace orv
