#pragma once
// The block wizard's dialog ("Milling Wizard - " and the code's name): a
// picture of the operation with its dimensions marked, one field per word
// of the working block, and the option groups of the kind. The model
// (TWizardModel) holds the block; OK leaves the text to the editor.

#include "shell/WizardText.h"

#include <QDialog>

#include <map>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;

namespace orv {

class TRealEdit;

class TMillWizForm : public QDialog {
    Q_OBJECT
public:
    TMillWizForm(TWizardModel &Model, const TLines &Text, QWidget *Parent = nullptr);

    // Builds the page of the model's kind.
    void SetupPage();
    // The field of a word on the page; null when it is not shown.
    TRealEdit *Field(int Word) const;
    // Arcs: shows the centre (true) or the radius page, converting.
    void ShowCentrePage(bool Centre);
    // The code for the help: "G" and the kind's code, or "M" and the
    // sub-kind's, two digits below 10.
    std::pair<std::string, std::string> HelpCode() const;

    std::function<void(const std::string &Letter, const std::string &Code)> OnHelp;

    QComboBox *ComboGCode;
    QPushButton *BtnChangeE;
    QLabel *LabelNote;
    QLabel *Image;
    QTabWidget *PCCenterRadius = nullptr;

protected:
    // F1 asks for the help of the code, as the "Help" button does.
    void keyPressEvent(QKeyEvent *Event) override;

private:
    void AskHelp();
    void AddWordField(QFormLayout *Form, int Word, const QString &Caption);
    void AddOptions(QFormLayout *Form);
    void DrawPicture(int FocusWord);
    void KindChosen(int Item);

    TWizardModel &FModel;
    TLines FText;
    QWidget *FPage = nullptr;
    QHBoxLayout *FMiddle = nullptr;
    std::map<int, TRealEdit *> FFields;
};

} // namespace orv
