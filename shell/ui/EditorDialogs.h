#pragma once
// Every dialog the editor windows open goes through this one place: the
// "Request", "Line Numbering", "Change " and "Colour Preferences" dialogs,
// the wizard's dialogs, find, font, colour and printing. The program uses
// the Qt dialogs; a test installs its own answers.

#include "shell/ColourFormat.h"
#include "shell/EditorCommands.h"
#include "shell/WizardText.h"

#include <QFont>

#include <string>

class QPrinter;
class QWidget;

namespace orv {

// The "Request" dialog's fields.
struct TRequestValues {
    std::string Description;
    std::string Token;
    bool NumberShown = false;
    int Number = 0;
    int Minimum = 0;
    int Maximum = 0; // 0: no limit
    int HelpContext = 0;
};

class TEditorDialogs {
public:
    virtual ~TEditorDialogs() = default;
    virtual bool Request(QWidget *Parent, TRequestValues &Values);
    virtual bool LineNumbering(QWidget *Parent, TNumbering &Numbering);
    // Tag 1 to 5: F, S, X, Y, Z.
    virtual bool AlterValues(QWidget *Parent, int Tag, TAlterValues &Values);
    virtual bool FindText(QWidget *Parent, std::string &Text);
    virtual bool Font(QWidget *Parent, QFont &Font);
    virtual bool Colour(QWidget *Parent, uint32_t &Colour);
    virtual bool ColourPreferences(QWidget *Parent, TTokenColours &Colours);
    // Copies wanted; false when cancelled.
    virtual bool Print(QWidget *Parent, QPrinter &Printer, int &Copies);
    virtual bool PrinterSetup(QWidget *Parent, QPrinter &Printer);
    // The block wizard's dialog over the model; Help asks for the code help.
    virtual bool Wizard(QWidget *Parent, TWizardModel &Model, const TLines &Text);
    virtual bool Header(QWidget *Parent, THeaderValues &Values);
    // True when the operator asked for help on the code.
    virtual bool NotSupported(QWidget *Parent, char Letter, int Code);
};

TEditorDialogs &EditorDialogs();
void SetEditorDialogs(TEditorDialogs *Dialogs);

} // namespace orv
