#include "machine/ui/zoffset_.h"

#include "platform/ui/QtPos_size.h"

#include "localise/ui/LxQtTranslator.h"
#include "machine/ToolingMessages.h"
#include "machine/ui/QtText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orv {

namespace {

constexpr int HelpContext = 3140;

} // namespace

TZoffset_form::TZoffset_form(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("Zoffset_form");
    setWindowTitle("Set Offset");
    setProperty("HelpContext", HelpContext);
    TextBox = new QLabel(this);
    TextBox->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ZOffSet = new QLineEdit("0", this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TextBox);
    layout->addWidget(new QLabel("Z Offset", this));
    layout->addWidget(ZOffSet);
    layout->addWidget(buttons);
    // English texts; the translator gives the window its language.
    AttachTranslator(this, "TZoffset_form");
    // It keeps its position between uses.
    adjustSize();
    new TQtPos_size(this, "TZoffset_form", TPosBorder::Fixed);
}

bool ZOffsetPrompt(const std::string &Prompt, std::string &Value)
{
    TZoffset_form form;
    form.TextBox->setText(Q(Prompt));
    form.ZOffSet->setText(Q(Value));
    if (form.exec() != QDialog::Accepted)
        return false;
    Value = form.ZOffSet->text().toStdString();
    return true;
}

} // namespace orv
