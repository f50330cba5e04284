#pragma once
// "Billet Size": the default billet's three sizes and its X and Y position,
// shown and entered in the operator's units, kept in millimetres.
#include <QDialog>

#include <memory>

class QLineEdit;

namespace orv {

class TQtPos_size;

class TB_Size : public QDialog {
public:
    TB_Size(QWidget *Owner, bool Inch);
    ~TB_Size() override;

    // Millimetres: X size, Y size, Z size, X position, Y position.
    double Values[5] = {100, 100, 20, 0, 0};
    // Shows the values in the edits (done by the show).
    void FormShow();
    QLineEdit *Edit(int Index) const { return FEdits[Index]; }
    // OK: each edit that holds a number is stored; the others keep their value.
    void OKClick();

protected:
    void showEvent(QShowEvent *Event) override;

private:
    bool FInch;
    QLineEdit *FEdits[5] = {};
    TQtPos_size *FPos = nullptr;
};

} // namespace orv
