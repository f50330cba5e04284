#include "localise/LxControlModule.h"

#include <memory>

namespace orv {

namespace {

void TranslateCell(TLxTranslator &Translator, TLxComponent *Grid, TLxGridCells &Cells, int Col,
                   int Row)
{
    const std::string text = Cells.Cell(Col, Row);
    if (!text.empty())
        Cells.SetCell(Col, Row, Translator.TranslateValue(Grid, Grid->Name(), text, "Cells"));
}

} // namespace

bool TLxControlModule::TranslateItems(TLxTranslator &Translator, TLxComponent *Control)
{
    auto *cells = dynamic_cast<TLxGridCells *>(Control);
    if (!cells)
        return false;
    if (!Translator.Targets().IsTarget(Control->ClassName(), "Cells"))
        return true;
    for (int col = 0; col < cells->FixedCols(); ++col)
        for (int row = 0; row < cells->RowCount(); ++row)
            TranslateCell(Translator, Control, *cells, col, row);
    for (int row = 0; row < cells->FixedRows(); ++row)
        for (int col = cells->FixedCols(); col < cells->ColCount(); ++col)
            TranslateCell(Translator, Control, *cells, col, row);
    return true;
}

bool TLxControlModule::MirrorControl(TLxTranslator &, TLxComponent *Control,
                                     TLxTranslator::TBidirectionalState &State)
{
    if (dynamic_cast<TLxTabSheet *>(Control))
        return true;
    auto *sheet = dynamic_cast<TLxTabSheet *>(Control->ParentControl());
    if (!sheet)
        return false;
    State.Mirrored = true;
    State.Layout = 1;
    Control->SetLeft(sheet->ActivePageClientWidth() - Control->Width() - Control->Left());
    return true;
}

bool TLxControlModule::MirrorSpecial(TLxTranslator &, TLxComponent *Control)
{
    auto *panels = dynamic_cast<TLxStatusPanels *>(Control);
    if (!panels)
        return false;
    for (int i = 0; i < panels->PanelCount(); ++i) {
        const TLxAlignment alignment = panels->PanelAlignment(i);
        if (alignment == lxaLeftJustify)
            panels->SetPanelAlignment(i, lxaRightJustify);
        else if (alignment == lxaRightJustify)
            panels->SetPanelAlignment(i, lxaLeftJustify);
    }
    return true;
}

void RegisterControlModule()
{
    TLxModules::Add(std::make_unique<TLxControlModule>());
}

} // namespace orv
