#include "shell/ui/WizNoSupportUnit.h"

#include "engine/core/Mess.h"
#include "localise/ui/LxQtTranslator.h"
#include "shell/WizardText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace orv {

TWizNoSuportForm::TWizNoSuportForm(QWidget *Parent) : QDialog(Parent)
{
    setObjectName("WizNoSuportForm");
    auto *layout = new QVBoxLayout(this);
    Text = new QLabel(this);
    Text->setWordWrap(true);
    layout->addWidget(Text);
    auto *buttons = new QHBoxLayout;
    auto *close = new QPushButton("Close", this);
    auto *help = new QPushButton("Help", this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        FHelpAsked = true;
        accept();
    });
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    layout->addLayout(buttons);
    // English texts; the translator gives the window its language.
    AttachTranslator(this, "TWizNoSuportForm");
}

void TWizNoSuportForm::Show(char Letter, int Code)
{
    const std::string caption = NotSupportedCaption(Letter, Code);
    const std::string code = caption.substr(0, caption.find(' '));
    setWindowTitle(QString::fromStdString(
        Mess().Translate(" Not Supported").empty() ? caption
                                                   : code + Mess().Translate(" Not Supported")));
    const std::string format =
        Mess().Translate("The %s Code you have selected to edit, %s is not currently supported by "
                         "the Wizard.") +
        "\n\n" + Mess().Translate("Click Close to continue or click Help to show help on %s.");
    const std::string letter(1, Letter);
    std::string text = format;
    for (const std::string *arg : {&letter, &code, &code}) {
        const size_t at = text.find("%s");
        if (at != std::string::npos)
            text.replace(at, 2, *arg);
    }
    Text->setText(QString::fromStdString(text));
    FHelpAsked = false;
}

} // namespace orv
