#include "links/ui/LineDebugForm.h"

#include "links/ui/CardForms.h"

#include "platform/ui/MdiHost.h"
#include "platform/ui/QtPos_size.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
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
    : QWidget(Parent, Qt::Window), FClassName(ClassName) {
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

namespace {

// A window the controller holds may be an MDI child that the main window
// frees first when it closes: the controller's handle lets go of it then.
template <class Form> class TWindowRef {
public:
    explicit TWindowRef(Form *Window) : FWindow(Window) {}
    ~TWindowRef() { delete FWindow.data(); }
    TWindowRef(const TWindowRef &) = delete;
    TWindowRef &operator=(const TWindowRef &) = delete;

protected:
    QPointer<Form> FWindow;
};

class TLineDebugRef : public TLineDebugView, TWindowRef<TLineDebugForm> {
public:
    explicit TLineDebugRef(TLineDebugForm *Window) : TWindowRef(Window) {
        Window->OnCommand = [this](const std::string &Text) {
            if (OnCommand)
                OnCommand(Text);
        };
    }
    void AddSent(const std::string &Line) override {
        if (FWindow)
            FWindow->AddSent(Line);
    }
    void AddReceived(const std::string &Line) override {
        if (FWindow)
            FWindow->AddReceived(Line);
    }
};

class TTraceRef : public TCardTraceView, TWindowRef<TNextStepdebug> {
public:
    using TWindowRef::TWindowRef;
    void Trace(const std::string &Line) override {
        if (FWindow)
            FWindow->Trace(Line);
    }
};

// An MDI child of the main window when there is one, else a window of its
// own; either way its frame keeps its position under the window's name.
void ShowKeptWindow(QWidget *Window, const std::string &ClassName, bool MdiChild) {
    QWidget *frame = MdiChild && AdoptAsMdiChild(Window) ? Window->parentWidget() : Window;
    new TQtPos_size(frame, ClassName, TPosBorder::Sizeable, Window->objectName().toStdString());
    ShowWindowOrChild(Window);
}

} // namespace

// The queued controller's window and "Next Step DEBUG" are MDI children;
// the router box's window and the splash stand on their own.
void InstallLinkViews() {
    LinkViews().LineDebug = [](const std::string &Caption) -> std::unique_ptr<TLineDebugView> {
        TLineDebugForm *form = nullptr;
        if (Caption == "QuorelDebugForm")
            form = new TQuorelDebugForm;
        else
            form = new TLowLevelNewDebugForm;
        ShowKeptWindow(form, form->ClassName(), Caption != "QuorelDebugForm");
        return std::make_unique<TLineDebugRef>(form);
    };
    LinkViews().Trace = []() -> std::unique_ptr<TCardTraceView> {
        auto *form = new TNextStepdebug;
        ShowKeptWindow(form, "TNextStepdebug", true);
        return std::make_unique<TTraceRef>(form);
    };
    LinkViews().Splash = []() -> std::unique_ptr<TCardSplashView> {
        auto splash = std::make_unique<TMintSplash>();
        splash->show();
        return splash;
    };
}

} // namespace orv
