#pragma once
// The window of the macro variables: three pages of edit fields (#1 to #33,
// #100 to #149, #500 to #531) over the variable store, which holds the only
// copy of the values. "OK" saves #500 to #531 and hides the window.

#include <QWidget>

#include <map>

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace orv {

class TMacroVars;

class TMacroVarsForm : public QWidget {
    Q_OBJECT
public:
    // Takes over the store's OnChange while the window exists.
    explicit TMacroVarsForm(TMacroVars &Store, QWidget *Parent = nullptr);
    ~TMacroVarsForm() override;

    QLineEdit *Field(int Number) const; // null for a number that is no variable
    QTabWidget *Pages() const { return FPages; }
    QPushButton *OKButton() const { return FOK; }

private:
    QWidget *MakePage(int First, int Last);
    void FieldEdited(int Number, const QString &Text);
    void StoreChanged(int Number);
    void OKClick();

    TMacroVars &FStore;
    QTabWidget *FPages = nullptr;
    QPushButton *FOK = nullptr;
    std::map<int, QLineEdit *> FFields;
};

} // namespace orv
