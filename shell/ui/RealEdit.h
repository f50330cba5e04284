#pragma once
// A one-line numeric edit for the wizard's fields: only digits, one
// decimal separator (reals only) and a leading "-" (unless positive only)
// get in; the value is kept within Min and Max when either is set.

#include <QLineEdit>

#include <functional>

namespace orv {

enum TEditType { etReal, etInt };

class TRealEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TRealEdit(QWidget *Parent = nullptr);

    TEditType EditType() const { return FEditType; }
    // etInt drops a decimal separator from the text.
    void SetEditType(TEditType Type);
    bool PosOnly() const { return FPosOnly; }
    // Drops a "-" from the text.
    void SetPosOnly(bool PosOnly);
    long double Max = 0; // both 0: no limit
    long double Min = 0;

    // The text as a real; text that is no number becomes "0".
    long double ValueR();
    void SetValueR(long double Value);
    // The text as an integer, 0 when it is none.
    int ValueI() const;
    void SetValueI(int Value);

    // True when the character may go in at the caret.
    bool Accepts(QChar Character) const;

    std::function<void()> OnChange;

protected:
    void keyPressEvent(QKeyEvent *Event) override;
    void keyReleaseEvent(QKeyEvent *Event) override;

private:
    void ApplyLimits();
    TEditType FEditType = etReal;
    bool FPosOnly = false;
};

} // namespace orv
