#pragma once
// The localised common dialogs on Qt: Qt's own file and colour dialogs,
// never the desktop's, so that their texts can be set: the caption and the
// labels by control role from the dialogs' tables, inner texts (list
// columns, tool tips, the colour dialog's labels) through a Qt translator
// that maps Qt's texts to the tables' sources. Dialogs are centred over
// their parent when asked. Also the dialog factory for the file choices of
// the message service.

#include "localise/dialogs/LxMlDlgs.h"
#include "platform/MessageService.h"

#include <memory>
#include <optional>
#include <string>

class QFont;
class QPrinter;
class QWidget;

namespace orv {

class TFindDialog;
class TLxDictionary;

// Installs the Qt dialog host and the translator of Qt's own texts (once).
void InstallLxDialogs();

// Sets the caption and the texts of the controls that carry a control id
// (property "lxControlId"; id 65535 labels in their order) from the table
// of Kind, widening controls their translation does not fit.
void TranslateDialogWidgets(QWidget *Dialog, TLxDialogKind Kind,
                            const TLxDictionary *Dictionary, const std::string &Title = {},
                            bool ModuleTexts = false);

// Centres Dialog over Parent (over the screen without one), size kept.
void CentreDialog(QWidget *Dialog, QWidget *Parent);

// The find (or replace) dialog as the dialog module makes it: its texts
// from the dialog tables through the default dictionary.
std::unique_ptr<TFindDialog> MakeFindDialog(QWidget *Parent, bool Replace = false);

// A colour chosen with the localised colour dialog made by the dialog
// module (the custom colours as the dialog holds them).
bool LxChooseColour(QWidget *Parent, uint32_t &Colour);

// A font chosen with the font dialog made by the dialog module: caption and
// controls from the font table through the default dictionary, centred
// over Parent. False when cancelled (Font unchanged).
bool LxChooseFont(QWidget *Parent, QFont &Font);

// The text the message service asks for (InputQuery), in an input dialog
// made by the dialog module: Caption and Prompt as given (the caller's own,
// in the language), OK and Cancel from the dialog tables through the
// default dictionary, centred over Parent. False when cancelled (Value
// unchanged).
bool LxInputQuery(QWidget *Parent, const std::string &Caption, const std::string &Prompt,
                  std::string &Value);

// A file choice of the message service as a localised dialog made by the
// dialog module: the whole path, or nothing when cancelled.
std::optional<std::string> LxChooseFile(QWidget *Parent, const TFileRequest &Request);

// A Qt printer as the printer of the print dialogs: the dialogs work on it
// directly.
class TLxQtPrinter : public TLxPrinter {
public:
    explicit TLxQtPrinter(QPrinter &Printer) : FPrinter(Printer) {}
    int Copies() const override;
    void SetCopies(int Copies) override;
    std::string DeviceName() const override;
    void SetDevice(const std::string &Name) override;
    QPrinter &Printer() const { return FPrinter; }

private:
    QPrinter &FPrinter;
};

// The print dialog over Printer, made by the dialog module. Copies: how
// many times the program prints the document itself (1 when the printer
// makes the copies). False when cancelled.
bool LxPrint(QWidget *Parent, QPrinter &Printer, int &Copies);
// The printer set-up dialog over Printer; false when cancelled.
bool LxPrinterSetup(QWidget *Parent, QPrinter &Printer);

} // namespace orv
