#include "links/ui/CardForms.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace orv {

TMintSplash::TMintSplash(QWidget *Parent)
    : QWidget(Parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("MintSplash");
    auto *box = new QVBoxLayout(this);
    box->addWidget(new QLabel("Please Wait . . .", this));
    box->addWidget(new QLabel("Initialising controller . . .", this));
    DoingWhat = new QLabel(this);
    DoingWhat->setObjectName("DoingWhat");
    box->addWidget(DoingWhat);
    resize(300, 120);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TMintSplash::SetStatus(const std::string &Text) {
    DoingWhat->setText(QString::fromStdString(Text));
}

TNextStepdebug::TNextStepdebug(QWidget *Parent) : QWidget(Parent, Qt::Window) {
    setObjectName("NextStepdebug");
    setWindowTitle("Next Step DEBUG");
    auto *grid = new QGridLayout(this);
    const char *labels[] = {"Buffer Free Size:", "Buffer Low Events:", "Buffer Full Events:"};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(labels[i], this), i, 0);
        Counters[i] = new QLabel("0", this);
        grid->addWidget(Counters[i], i, 1);
    }
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName("Memo");
    Memo->setReadOnly(true);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    CaptureButton = new QPushButton("Capture -->", this);
    grid->addWidget(Memo, 3, 0, 1, 2);
    grid->addWidget(CaptureButton, 3, 2);
    grid->addWidget(Memo1, 3, 3);
    connect(CaptureButton, &QPushButton::clicked, this, [this] {
        Memo1->clear();
        Memo1->setPlainText(Memo->toPlainText());
    });
    resize(640, 360);
}

void TNextStepdebug::Trace(const std::string &Line) {
    Memo->appendPlainText(QString::fromStdString(Line));
    if (Memo->document()->blockCount() > MaxLines)
        Memo->clear();
}

void TNextStepdebug::SetEventCount(int Count) {
    Counters[1]->setText(QString::number(Count));
}

} // namespace orv
