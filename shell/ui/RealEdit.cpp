#include "shell/ui/RealEdit.h"

#include "platform/NumberText.h"

#include <QKeyEvent>

namespace orv {

TRealEdit::TRealEdit(QWidget *Parent) : QLineEdit(Parent) { setText("0"); }

void TRealEdit::SetEditType(TEditType Type)
{
    FEditType = Type;
    if (Type == etInt)
        setText(text().remove('.'));
}

void TRealEdit::SetPosOnly(bool PosOnly)
{
    FPosOnly = PosOnly;
    if (PosOnly)
        setText(text().remove('-'));
}

bool TRealEdit::Accepts(QChar Character) const
{
    if (Character.isDigit())
        return true;
    if (Character == '.')
        return FEditType == etReal && !text().contains('.');
    if (Character == '-')
        // A sign goes only in front, and only once.
        return !FPosOnly && (hasSelectedText() ? selectionStart() : cursorPosition()) == 0 &&
               (!text().contains('-') || selectedText().contains('-'));
    return false;
}

void TRealEdit::keyPressEvent(QKeyEvent *Event)
{
    const bool ctrl = Event->modifiers() & Qt::ControlModifier;
    if (ctrl && (Event->key() == Qt::Key_C || Event->key() == Qt::Key_X || Event->key() == Qt::Key_V)) {
        QLineEdit::keyPressEvent(Event);
        return;
    }
    const QString typed = Event->text();
    const bool editing = Event->key() == Qt::Key_Backspace || Event->key() == Qt::Key_Delete ||
                         Event->key() == Qt::Key_Left || Event->key() == Qt::Key_Right ||
                         Event->key() == Qt::Key_Home || Event->key() == Qt::Key_End ||
                         Event->key() == Qt::Key_Tab || Event->key() == Qt::Key_Backtab;
    if (editing || typed.isEmpty() || (typed.size() == 1 && Accepts(typed[0]))) {
        QLineEdit::keyPressEvent(Event);
        return;
    }
    Event->ignore();
}

void TRealEdit::keyReleaseEvent(QKeyEvent *Event)
{
    QLineEdit::keyReleaseEvent(Event);
    const bool modified = isModified();
    ApplyLimits();
    if (modified && OnChange)
        OnChange();
}

void TRealEdit::ApplyLimits()
{
    if (Max == 0 && Min == 0)
        return;
    long double value = 0;
    if (!TryStrToFloat(text().toStdString(), value))
        return;
    if (Max != 0 && value > Max)
        setText(QString::fromStdString(FloatToStr(Max)));
    else if (Min != 0 && value < Min)
        setText(QString::fromStdString(FloatToStr(Min)));
}

long double TRealEdit::ValueR()
{
    long double value = 0;
    if (!TryStrToFloat(text().toStdString(), value)) {
        setText("0");
        return 0;
    }
    return value;
}

void TRealEdit::SetValueR(long double Value)
{
    setText(QString::fromStdString(FloatToStr(Value)));
    ApplyLimits();
}

int TRealEdit::ValueI() const { return StrToIntDef(text().toStdString(), 0); }

void TRealEdit::SetValueI(int Value)
{
    setText(QString::number(Value));
    ApplyLimits();
}

} // namespace orv
