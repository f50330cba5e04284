#include "platform/ui/ColourDialog.h"

#include "platform/CustomColours.h"

#include <QColorDialog>

namespace orv {

namespace {
QColor ToQColor(uint32_t Colour)
{
    return QColor(Colour & 0xFF, (Colour >> 8) & 0xFF, (Colour >> 16) & 0xFF);
}
TColourDialogFunc &ColourDialog()
{
    static TColourDialogFunc dialog;
    return dialog;
}

uint32_t FromQColor(const QColor &Colour)
{
    return (uint32_t)Colour.red() | ((uint32_t)Colour.green() << 8) |
           ((uint32_t)Colour.blue() << 16);
}
} // namespace

void LoadCustomColours(const std::string &File)
{
    const TCustomColours colours = ReadCustomColours(File);
    for (int k = 0; k < (int)colours.size() && k < QColorDialog::customCount(); ++k)
        if (colours[k] >= 0)
            QColorDialog::setCustomColor(k, ToQColor((uint32_t)colours[k]));
}

void SaveCustomColours(const std::string &File)
{
    TCustomColours colours;
    colours.fill(-1);
    for (int k = 0; k < (int)colours.size() && k < QColorDialog::customCount(); ++k)
        colours[k] = (int32_t)FromQColor(QColorDialog::customColor(k));
    WriteCustomColours(File, colours);
}

void SetColourDialog(TColourDialogFunc Dialog)
{
    ColourDialog() = std::move(Dialog);
}

bool ChooseColour(QWidget *Parent, uint32_t &Colour, const std::string &CustomColoursFile)
{
    LoadCustomColours(CustomColoursFile);
    if (ColourDialog()) {
        if (!ColourDialog()(Parent, Colour))
            return false;
        SaveCustomColours(CustomColoursFile);
        return true;
    }
    const QColor chosen = QColorDialog::getColor(ToQColor(Colour), Parent);
    if (!chosen.isValid())
        return false;
    SaveCustomColours(CustomColoursFile);
    Colour = FromQColor(chosen);
    return true;
}

} // namespace orv
