#pragma once
// "Axis Key Definition": the operator picks a jog function, then presses
// the key for it. Owns the jog-key table that every panel reads; a key is
// live from the moment it is assigned, OK writes the table to [Jog Keys].
#include "machine/JogKeyTable.h"
#include "shell/KeySetup.h"

#include <QDialog>

#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orv {

class TQtPos_size;

class TKey_def_form : public QDialog {
public:
    // Reads the table from the settings file.
    TKey_def_form(QWidget *Owner, const std::string &SettingsFile);
    ~TKey_def_form() override;

    TJogKeyTable &Table() { return FTable; }
    // Function buttons (Tag 1 to 10) and the key edits (index 0 to 9).
    QPushButton *FunctionButton(int Tag) const { return FButtons[Tag - 1]; }
    QLineEdit *KeyEdit(int Index) const { return FEdits[Index]; }
    QLabel *Hint() const { return FHint; }

    void FunctionClick(int Tag);
    // A key in the dialog (virtual-key code): stored when it has a name
    // and a function is chosen; always consumed.
    void KeyPressed(uint16_t VirtualKey);
    void OKClick();

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;
    void keyPressEvent(QKeyEvent *Event) override;
    void showEvent(QShowEvent *Event) override;

private:
    void ShowTable();
    std::string FSettingsFile;
    TJogKeyTable FTable;
    TJogKeySetup FSetup{FTable};
    QPushButton *FButtons[TJogKeyTable::Count] = {};
    QLineEdit *FEdits[TJogKeyTable::Count] = {};
    QLabel *FHint = nullptr;
    TQtPos_size *FPos = nullptr;
};

} // namespace orv
