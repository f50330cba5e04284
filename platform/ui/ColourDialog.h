#pragma once
// The colour dialog with its custom colours kept in a ".col" file: read
// before the dialog opens, written after a choice; failures of either file
// operation are ignored.

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace orv {

// The dialog's custom colours from File, and back to it.
void LoadCustomColours(const std::string &File);
void SaveCustomColours(const std::string &File);

// The dialog that asks for a colour (the program's localised one); unset:
// Qt's own. Colour in and out; true when one was chosen.
using TColourDialogFunc = std::function<bool(QWidget *Parent, uint32_t &Colour)>;
void SetColourDialog(TColourDialogFunc Dialog);

// Colour is a colour value (0x00BBGGRR); true when one was chosen.
bool ChooseColour(QWidget *Parent, uint32_t &Colour, const std::string &CustomColoursFile);

} // namespace orv
