#include "components/rspin/ui/RSpin.h"

#include "components/rspin/RSpinRules.h"
#include "platform/RealText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QToolButton>

namespace orv {

namespace {

constexpr int KButtonWidth = 15;

QToolButton *MakeArrow(QWidget *Parent, Qt::ArrowType Arrow, const char *Name) {
    auto *b = new QToolButton(Parent);
    b->setObjectName(Name);
    b->setArrowType(Arrow);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::ArrowCursor);
    // One click on press, again after 400 ms, then every 100 ms while held.
    b->setAutoRepeat(true);
    b->setAutoRepeatDelay(400);
    b->setAutoRepeatInterval(100);
    return b;
}

} // namespace

TRSpinEdit::TRSpinEdit(QWidget *Parent) : QLineEdit(Parent) {
    FUp = MakeArrow(this, Qt::UpArrow, "SpinUp");
    FDown = MakeArrow(this, Qt::DownArrow, "SpinDown");
    connect(FUp, &QToolButton::clicked, this, [this] { StepUp(); });
    connect(FDown, &QToolButton::clicked, this, [this] { StepDown(); });
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
    setText("0");
    setTextMargins(0, 0, KButtonWidth + 2, 0);
}

void TRSpinEdit::Change() {
    if (OnChange)
        OnChange();
}

long double TRSpinEdit::Value() const {
    return TextToRealDef(text().toStdString(), FMinValue);
}

void TRSpinEdit::SetValue(long double Value) {
    setText(QString::fromStdString(RealToText(SpinClamp(Value, FMinValue, FMaxValue))));
}

void TRSpinEdit::SetEditorEnabled(bool Value) {
    FEditorEnabled = Value;
    setAcceptDrops(Value);
    setContextMenuPolicy(Value ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

bool TRSpinEdit::AcceptsChar(char Key) const {
    return SpinAcceptsChar(Key, FEditorEnabled);
}

void TRSpinEdit::Step(long double By) {
    if (isReadOnly()) {
        QApplication::beep();
        return;
    }
    SetValue(Value() + By);
}

void TRSpinEdit::StepUp() {
    Step(FIncrement);
}

void TRSpinEdit::StepDown() {
    Step(-FIncrement);
}

void TRSpinEdit::keyPressEvent(QKeyEvent *Event) {
    if (Event->key() == Qt::Key_Up)
        StepUp();
    else if (Event->key() == Qt::Key_Down)
        StepDown();
    if (Event->key() == Qt::Key_Up || Event->key() == Qt::Key_Down) {
        Event->accept();
        return;
    }
    const bool cutOrPaste =
        Event->matches(QKeySequence::Paste) || Event->matches(QKeySequence::Cut);
    if (cutOrPaste && !MayEdit()) {
        Event->accept();
        return;
    }
    const QString typed = Event->text();
    if (!cutOrPaste && typed.size() == 1) {
        const QChar c = typed.at(0);
        const char key = c.unicode() < 128 ? char(c.unicode()) : 'x';
        if (!AcceptsChar(key)) {
            QApplication::beep();
            Event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(Event);
}

void TRSpinEdit::keyReleaseEvent(QKeyEvent *Event) {
    QLineEdit::keyReleaseEvent(Event);
    Change();
}

void TRSpinEdit::focusInEvent(QFocusEvent *Event) {
    QLineEdit::focusInEvent(Event);
    if (FAutoSelect && Event->reason() != Qt::MouseFocusReason)
        selectAll();
}

void TRSpinEdit::focusOutEvent(QFocusEvent *Event) {
    QLineEdit::focusOutEvent(Event);
    const long double v = Value();
    if (SpinClamp(v, FMinValue, FMaxValue) != v)
        SetValue(v);
}

// The spin button sits inside the right edge, the text stops short of it.
void TRSpinEdit::resizeEvent(QResizeEvent *Event) {
    QLineEdit::resizeEvent(Event);
    const int h = std::max(height() - 3, 2);
    const int x = width() - KButtonWidth;
    FUp->setGeometry(x, 1, KButtonWidth, h / 2);
    FDown->setGeometry(x, 1 + h / 2, KButtonWidth, h - h / 2);
}

} // namespace orv
