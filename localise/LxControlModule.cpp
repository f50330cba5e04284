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

std::string Translated(TLxTranslator &Translator, TLxObject *Object, TLxComponent *Control,
                       const std::string &Text, const char *Property)
{
    return Text.empty() ? Text : Translator.TranslateValue(Object, Control->Name(), Text, Property);
}

// Sorting comes back as it was, also when a translation fails.
template <typename TView> class TUpdateBatch {
public:
    explicit TUpdateBatch(TView &View) : FView(View) { FView.BeginUpdate(); }
    ~TUpdateBatch() { FView.EndUpdate(); }

private:
    TView &FView;
};

void TranslateListView(TLxTranslator &Translator, TLxComponent *Control, TLxListView &List)
{
    TUpdateBatch<TLxListView> batch(List);
    for (int i = 0; i < List.ItemCount(); ++i) {
        TLxObject *item = List.Item(i);
        List.SetCaption(i, Translated(Translator, item, Control, List.Caption(i), "Caption"));
        for (int k = 0; k < List.SubItemCount(i); ++k)
            List.SetSubItem(i, k, Translated(Translator, item, Control, List.SubItem(i, k), "Items"));
    }
}

void TranslateTreeView(TLxTranslator &Translator, TLxComponent *Control, TLxTreeView &Tree)
{
    TUpdateBatch<TLxTreeView> batch(Tree);
    for (int i = 0; i < Tree.NodeCount(); ++i)
        Tree.SetNodeText(i, Translated(Translator, Control, Control, Tree.NodeText(i), "Items"));
}

} // namespace

bool TLxControlModule::TranslateItems(TLxTranslator &Translator, TLxComponent *Control)
{
    const bool items = Translator.Targets().IsTarget(Control->ClassName(), "Items");
    if (auto *list = dynamic_cast<TLxListView *>(Control)) {
        if (items)
            TranslateListView(Translator, Control, *list);
        return true;
    }
    if (auto *tree = dynamic_cast<TLxTreeView *>(Control)) {
        if (items)
            TranslateTreeView(Translator, Control, *tree);
        return true;
    }
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
