#include "machine/ui/ToolEdit.h"

#include "platform/ui/QtPos_size.h"

#include "machine/ToolingMessages.h"
#include "machine/ui/QtText.h"

#include <QEvent>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

namespace {

constexpr int HelpContext = 3130;
constexpr int KeyF24 = Qt::Key_F24; // virtual key 135 also confirms the dialog

} // namespace

TToolEditForm::TToolEditForm(QWidget *Owner, TUnits Units, int FocusNumber,
                             const std::string &ToolName, const std::string &LibraryFile)
    : QDialog(Owner), FUnits(Units), FToolName(ToolName), FLibraryFile(LibraryFile)
{
    FormCreate(FocusNumber);
}

void TToolEditForm::FormCreate(int FocusNumber)
{
    setObjectName("ToolEditForm");
    setWindowTitle(Q(Tr("Tool Data")) + " - " + Q(FToolName));
    setProperty("HelpContext", HelpContext);
    auto *form = new QFormLayout;
    FValues.Load(FLibraryFile, FToolName, FUnits);
    for (int n = 1; n <= TToolEditValues::EditCount; ++n) {
        auto *edit = new QLineEdit(Q(FValues.Texts[n - 1]), this);
        edit->setProperty("Tag", n);
        FEdits[n - 1] = edit;
        FLastGood[n - 1] = FValues.Texts[n - 1];
        form->addRow(TToolEditValues::Captions[n - 1], edit);
        connect(edit, &QLineEdit::textEdited, this, [this, n] { EditChanged(n); });
    }
    auto *ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TToolEditForm::OkClick);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ok);
    const bool validFocus = FocusNumber >= 1 && FocusNumber <= TToolEditValues::EditCount;
    FEdits[validFocus ? FocusNumber - 1 : 0]->setFocus();
    // It keeps its position between uses.
    adjustSize();
    new TQtPos_size(this, "TToolEditForm", TPosBorder::Fixed);
}

void TToolEditForm::EditChanged(int Number)
{
    QLineEdit *edit = FEdits[Number - 1];
    const std::string text = edit->text().toStdString();
    if (TToolEditValues::IsAcceptable(Number, text)) {
        FLastGood[Number - 1] = text;
        return;
    }
    // An empty edit is let be while typing; anything else goes back.
    if (!text.empty() && text != "-")
        edit->setText(Q(FLastGood[Number - 1]));
}

void TToolEditForm::OkClick()
{
    for (int n = 1; n <= TToolEditValues::EditCount; ++n) {
        std::string text = FEdits[n - 1]->text().toStdString();
        FValues.Texts[n - 1] = TToolEditValues::IsAcceptable(n, text) ? text : FLastGood[n - 1];
    }
    FValues.Store(FLibraryFile, FToolName, FUnits);
    accept();
}

void TToolEditForm::keyPressEvent(QKeyEvent *Event)
{
    if (Event->key() == KeyF24) {
        OkClick();
        return;
    }
    QDialog::keyPressEvent(Event);
}

} // namespace orv
