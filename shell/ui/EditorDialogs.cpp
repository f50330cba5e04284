#include "shell/ui/EditorDialogs.h"

#include "components/richedit/RichEditW.h"
#include "engine/core/DUtils.h"
#include "platform/ui/ColourDialog.h"
#include "shell/ui/CNC_Editor_pref_form.h"
#include "shell/ui/HeaderUnit.h"
#include "shell/ui/Line_numbering_form.h"
#include "shell/ui/MillWizUnit.h"
#include "shell/ui/WizNoSupportUnit.h"
#include "shell/ui/ask_for_token_form.h"
#include "shell/ui/editor.h"
#include "shell/ui/global_change.h"
#include "localise/ui/LxQtDialogs.h"
#include "platform/ui/FindDialogs.h"
#include "platform/ui/ModalRunner.h"

#include <QInputDialog>

namespace orv {

namespace {
TEditorDialogs QtDialogs;
TEditorDialogs *Installed = nullptr;
} // namespace

TEditorDialogs &EditorDialogs() { return Installed ? *Installed : QtDialogs; }
void SetEditorDialogs(TEditorDialogs *Dialogs) { Installed = Dialogs; }

bool TEditorDialogs::Request(QWidget *Parent, TRequestValues &Values)
{
    TGet_token_form form(Parent);
    form.Load(Values);
    const bool ok = form.exec() == QDialog::Accepted;
    // The text is taken whatever the answer (the line-end command keeps it).
    form.Store(Values);
    return ok;
}

bool TEditorDialogs::LineNumbering(QWidget *Parent, TNumbering &Numbering)
{
    TLine_numbering form(Parent);
    form.Load(Numbering);
    if (form.exec() != QDialog::Accepted)
        return false;
    Numbering = form.Values();
    return true;
}

bool TEditorDialogs::AlterValues(QWidget *Parent, int Tag, TAlterValues &Values)
{
    TGlobal_changer form(Tag, Parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    form.Store(Values);
    return true;
}

bool TEditorDialogs::FindText(QWidget *Parent, std::string &Text)
{
    std::unique_ptr<TFindDialog> dialog = MakeFindDialog(Parent);
    dialog->FindEdit->setText(FromBytes(Text));
    const bool ok = RunModal(*dialog) == QDialog::Accepted;
    if (ok)
        Text = ToBytes(dialog->FindEdit->text());
    return ok && !Text.empty();
}

bool TEditorDialogs::Font(QWidget *Parent, QFont &Font)
{
    return LxChooseFont(Parent, Font);
}

bool TEditorDialogs::Colour(QWidget *Parent, uint32_t &Colour)
{
    // The custom colours are the program's, kept in its ".col" file.
    return ChooseColour(Parent, Colour, ExeFileWithExt("col"));
}

bool TEditorDialogs::ColourPreferences(QWidget *Parent, TTokenColours &Colours)
{
    TCol_pref form(Colours, Parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    Colours = form.Colours();
    return true;
}

bool TEditorDialogs::Print(QWidget *Parent, QPrinter &Printer, int &Copies)
{
    return LxPrint(Parent, Printer, Copies);
}

bool TEditorDialogs::PrinterSetup(QWidget *Parent, QPrinter &Printer)
{
    return LxPrinterSetup(Parent, Printer);
}

bool TEditorDialogs::Wizard(QWidget *Parent, TWizardModel &Model, const TLines &Text)
{
    TMillWizForm form(Model, Text, Parent);
    if (auto *editor = dynamic_cast<TEditorForm *>(Parent))
        form.OnHelp = [editor](const std::string &Letter, const std::string &Code) {
            editor->HelpOnCode(Letter, Code);
        };
    return form.exec() == QDialog::Accepted;
}

bool TEditorDialogs::Header(QWidget *Parent, THeaderValues &Values)
{
    THeaderForm form(Values, Parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    Values = form.Values();
    return true;
}

bool TEditorDialogs::NotSupported(QWidget *Parent, char Letter, int Code)
{
    TWizNoSuportForm form(Parent);
    form.Show(Letter, Code);
    form.exec();
    return form.HelpAsked();
}

} // namespace orv
