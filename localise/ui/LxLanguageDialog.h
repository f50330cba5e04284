#pragma once
// The modal "Select Language" window: the dictionary's languages in a tree,
// translated into the current language by the dialog's own translator,
// sorted, the current one selected. SelectLanguage runs it for the program's
// "Select Language" command.

#include <QDialog>

#include <string>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {

class TLxDictionary;
class TLxQtTranslator;

class TLxLanguageDialog : public QDialog {
public:
    // ListKind 0 lists languages (the only list the program asks for);
    // Flags as SelectLanguage's. Exceptions of the dictionary propagate.
    TLxLanguageDialog(QWidget *Owner, int HelpContext, int ListKind, int Flags,
                      const std::string &Caption, TLxDictionary *Dictionary);

    QTreeWidget *TreeView = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *HelpButton = nullptr;
    TLxQtTranslator *Translator = nullptr;

    // The value of the selected node; false when no node is selected.
    bool ChosenValue(int &Value) const;
    void TreeViewDblClick(QTreeWidgetItem *Item);
    void HelpButtonClick();

protected:
    void showEvent(QShowEvent *Event) override;

private:
    void FormActivate();
    int FHelpContext;
};

// False when the user cancelled or confirmed without a selected language.
// Raises ELxError "Dictionary is not open"... for a closed dictionary.
bool SelectLanguage(QWidget *Owner, TLxDictionary *Dictionary, const std::string &Caption,
                    int &Chosen, int HelpContext, int Flags);

// Centres Dialog over Form (over the screen without one), never at a
// negative position.
void CentreOnForm(QWidget *Form, QWidget *Dialog);

} // namespace orv
