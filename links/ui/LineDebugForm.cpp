#include "links/ui/LineDebugForm.h"

#include "links/ui/CardForms.h"

#include "platform/ui/QtPos_size.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace orv {

namespace {

void AddLine(QPlainTextEdit *Memo, const std::string &Line) {
    Memo->appendPlainText(QString::fromStdString(Line));
    if (Memo->document()->blockCount() > TLineDebugForm::MaxLines)
        Memo->clear();
}

QPlainTextEdit *Memo(QWidget *Parent, const char *Name) {
    auto *m = new QPlainTextEdit(Parent);
    m->setObjectName(Name);
    m->setReadOnly(true);
    return m;
}

} // namespace

TLineDebugForm::TLineDebugForm(const std::string &Caption, const std::string &ClassName,
                               QWidget *Parent)
    : QWidget(Parent, Qt::Window) {
    setObjectName(QString::fromStdString(Caption));
    setWindowTitle(QString::fromStdString(Caption));
    SentMemo = Memo(this, "SentMemo");
    ReceiveMemo = Memo(this, "ReceiveMemo");
    Capture = Memo(this, "Capture");
    CommandLine = new QLineEdit(this);
    CommandLine->setObjectName("CommandLine");
    Button1 = new QPushButton("Send  ->", this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("Capture Receive", this);
    Button2->setObjectName("Button2");
    auto *grid = new QGridLayout(this);
    grid->addWidget(SentMemo, 0, 0);
    grid->addWidget(ReceiveMemo, 0, 1);
    grid->addWidget(Capture, 0, 2);
    grid->addWidget(new QLabel("Quorel command line:", this), 1, 0);
    grid->addWidget(CommandLine, 2, 0, 1, 2);
    grid->addWidget(Button1, 2, 2);
    grid->addWidget(Button2, 3, 2);
    connect(Button1, &QPushButton::clicked, this, [this] { SendCommand(); });
    connect(CommandLine, &QLineEdit::returnPressed, this, [this] { SendCommand(); });
    connect(Button2, &QPushButton::clicked, this, [this] {
        Capture->clear();
        Capture->setPlainText(ReceiveMemo->toPlainText());
    });
    resize(640, 300);
    FPosSize = new TQtPos_size(this, ClassName, TPosBorder::Sizeable);
    FPosSize->setParent(this);
}

TLineDebugForm::~TLineDebugForm() = default;

void TLineDebugForm::AddSent(const std::string &Line) {
    AddLine(SentMemo, Line);
}

void TLineDebugForm::AddReceived(const std::string &Line) {
    AddLine(ReceiveMemo, Line);
}

void TLineDebugForm::SendCommand() {
    if (OnCommand)
        OnCommand(CommandLine->text().toStdString());
}

void InstallLinkViews() {
    LinkViews().LineDebug = [](const std::string &Caption) -> std::unique_ptr<TLineDebugView> {
        std::unique_ptr<TLineDebugForm> form;
        if (Caption == "QuorelDebugForm")
            form = std::make_unique<TQuorelDebugForm>();
        else
            form = std::make_unique<TLowLevelNewDebugForm>();
        form->show();
        return form;
    };
    LinkViews().Trace = []() -> std::unique_ptr<TCardTraceView> {
        auto form = std::make_unique<TNextStepdebug>();
        form->show();
        return form;
    };
    LinkViews().Splash = []() -> std::unique_ptr<TCardSplashView> {
        auto splash = std::make_unique<TMintSplash>();
        splash->show();
        return splash;
    };
}

} // namespace orv
