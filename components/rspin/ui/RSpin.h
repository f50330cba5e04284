#pragma once
// TRSpinEdit: an edit box for one real number with an up/down spin button
// inside its right edge. The arrow keys and the button step Value by
// Increment; MinValue and MaxValue (when they differ) keep it in range.
// OnChange fires on every change of the text and on every key release.

#include <QLineEdit>

#include <functional>

class QToolButton;

namespace orv {

class TRSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TRSpinEdit(QWidget *Parent = nullptr);

    // The text as a real; MinValue when the text is no number.
    long double Value() const;
    // Writes the clamped value in the shortest general form.
    void SetValue(long double Value);
    long double MinValue() const { return FMinValue; }
    void SetMinValue(long double Value) { FMinValue = Value; }
    long double MaxValue() const { return FMaxValue; }
    void SetMaxValue(long double Value) { FMaxValue = Value; }
    long double Increment() const { return FIncrement; }
    void SetIncrement(long double Value) { FIncrement = Value; }
    // False: only the spin button and the arrow keys change the value.
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }

    virtual bool AcceptsChar(char Key) const;
    // Value +/- Increment; a read-only edit only beeps.
    virtual void StepUp();
    virtual void StepDown();

    QToolButton *UpButton() const { return FUp; }
    QToolButton *DownButton() const { return FDown; }

    std::function<void()> OnChange;

protected:
    void keyPressEvent(QKeyEvent *Event) override;
    void keyReleaseEvent(QKeyEvent *Event) override;
    void focusInEvent(QFocusEvent *Event) override;
    void focusOutEvent(QFocusEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;

private:
    void Change();
    void Step(long double By);
    bool MayEdit() const { return FEditorEnabled && !isReadOnly(); }

    long double FMinValue = 0;
    long double FMaxValue = 0;
    long double FIncrement = 1.0;
    bool FEditorEnabled = true;
    bool FAutoSelect = true;
    QToolButton *FUp = nullptr;
    QToolButton *FDown = nullptr;
};

} // namespace orv
