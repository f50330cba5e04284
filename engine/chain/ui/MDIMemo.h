#pragma once
// The MDI memo on the control panel's MDI page: the operator types blocks
// here; every edit goes to the MDI source (TMDIInput), which may refuse a
// key at the 100-line limit and cuts a long paste. Its popup menu offers
// the machine's M codes, the edit commands and "Clear all MDI".

#include "engine/chain/MDIInput.h"

#include <QPlainTextEdit>

class QMenu;

namespace orv {

class TMDIMemo : public QPlainTextEdit, public TMDIMemoView {
    Q_OBJECT
public:
    explicit TMDIMemo(QWidget *Parent = nullptr);

    void Bind(TMDIInput *Input) override { FInput = Input; }
    void SetText(const std::string &Text) override;
    void SetSelection(int Start, int Length) override;
    void ClearSelection() override;
    void SetFocus() override { setFocus(); }
    void Place(int Left, int Top, int Width, int Height) override;
    void Show() override { show(); }
    void SetReadOnly(bool ReadOnly) override;
    void SetMCodeItems(const std::vector<std::pair<std::string, int>> &Items) override;

    // The popup menu as it shows now (enabling refreshed).
    QMenu *MemoMenu();

protected:
    void keyPressEvent(QKeyEvent *Event) override;
    void insertFromMimeData(const QMimeData *Source) override;
    void contextMenuEvent(QContextMenuEvent *Event) override;

private:
    void TextEdited();
    void BuildMenu();
    void UpdateMenu();
    int QtOffset(int CrLfOffset) const;

    TMDIInput *FInput = nullptr;
    bool FSetting = false;
    std::vector<std::pair<std::string, int>> FMCodes;
    QMenu *FMenu = nullptr;
    bool FCanUndo = false;
};

} // namespace orv
