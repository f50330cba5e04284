#include "engine/chain/ui/MDIMemo.h"

#include "engine/core/Mess.h"
#include "platform/ui/VirtualKeys.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>

namespace orv {

namespace {

QString Tr(const char *Text) { return QString::fromStdString(Mess().Translate(Text)); }

// Menu tags of the edit commands.
enum TEditTag { etUndo = 1, etCut, etCopy, etPaste, etDelete, etSelectAll };

} // namespace

TMDIMemo::TMDIMemo(QWidget *Parent) : QPlainTextEdit(Parent)
{
    setObjectName("Memo");
    setLineWrapMode(QPlainTextEdit::NoWrap);
    hide();
    connect(this, &QPlainTextEdit::textChanged, this, &TMDIMemo::TextEdited);
    connect(this, &QPlainTextEdit::undoAvailable, this, [this](bool On) { FCanUndo = On; });
    BuildMenu();
}

void TMDIMemo::SetText(const std::string &Text)
{
    FSetting = true;
    std::string plain;
    for (char c : Text)
        if (c != '\r')
            plain += c;
    setPlainText(QString::fromStdString(plain));
    FSetting = false;
}

// The source counts CR LF as two characters, the widget a line end as one.
int TMDIMemo::QtOffset(int CrLfOffset) const
{
    const std::string text = FInput ? FInput->Text() : std::string();
    int crs = 0;
    for (int i = 0; i < CrLfOffset && i < (int)text.size(); ++i)
        if (text[i] == '\r')
            ++crs;
    return CrLfOffset - crs;
}

void TMDIMemo::SetSelection(int Start, int Length)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(QtOffset(Start));
    cursor.setPosition(QtOffset(Start + Length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void TMDIMemo::ClearSelection()
{
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    setTextCursor(cursor);
}

void TMDIMemo::Place(int Left, int Top, int Width, int Height)
{
    setGeometry(Left, Top, Width, Height);
}

void TMDIMemo::TextEdited()
{
    if (FSetting || !FInput)
        return;
    FInput->TextChanged(toPlainText().toStdString());
}

void TMDIMemo::keyPressEvent(QKeyEvent *Event)
{
    // Keys that type something (Enter among them) count against the limit;
    // moving the caret does not.
    const bool types = !Event->text().isEmpty() || Event->key() == Qt::Key_Return ||
                       Event->key() == Qt::Key_Enter;
    if (FInput && types && FInput->RefuseKey(VirtualKeyOf(*Event)))
        return;
    QPlainTextEdit::keyPressEvent(Event);
}

void TMDIMemo::insertFromMimeData(const QMimeData *Source)
{
    QPlainTextEdit::insertFromMimeData(Source);
    if (FInput && FInput->Lines() > TMDIInput::LineLimit)
        FInput->CutToLineLimit();
}

void TMDIMemo::SetMCodeItems(const std::vector<std::pair<std::string, int>> &Items)
{
    FMCodes = Items;
    BuildMenu();
}

void TMDIMemo::BuildMenu()
{
    delete FMenu;
    FMenu = new QMenu(this);
    FMenu->setObjectName("MemoMenu");
    QMenu *codes = FMenu->addMenu(Tr("M Codes"));
    for (const auto &[caption, number] : FMCodes) {
        int code = number;
        codes->addAction(QString::fromStdString(caption), this,
                         [this, code] { insertPlainText("M" + QString::number(code)); });
    }
    QMenu *edit = FMenu->addMenu(Tr("Edit"));
    auto add = [this, edit](const char *Caption, int Tag, auto Slot) {
        QAction *a = edit->addAction(Tr(Caption), this, [this, Slot] {
            Slot();
            setFocus();
        });
        a->setData(Tag);
    };
    add("Undo", etUndo, [this] { undo(); });
    edit->addSeparator();
    add("Cut", etCut, [this] { cut(); });
    add("Copy", etCopy, [this] { copy(); });
    add("Paste", etPaste, [this] { paste(); });
    add("Delete", etDelete, [this] { textCursor().removeSelectedText(); });
    edit->addSeparator();
    add("Select All", etSelectAll, [this] { selectAll(); });
    FMenu->addAction(Tr("Clear all MDI"), this, [this] { clear(); });
}

void TMDIMemo::SetReadOnly(bool ReadOnly)
{
    setReadOnly(ReadOnly);
    // The running line stays marked in a memo that takes no keys.
    setTextInteractionFlags(ReadOnly ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                     : Qt::TextEditorInteraction);
}

void TMDIMemo::UpdateMenu()
{
    const QTextCursor cursor = textCursor();
    const bool selected = cursor.hasSelection();
    const bool all = selected && cursor.selectedText().size() == toPlainText().size();
    const bool edits = !isReadOnly();
    const QList<QAction *> top = FMenu->actions();
    top.at(0)->setEnabled(edits); // M Codes
    top.back()->setEnabled(edits); // Clear all MDI
    for (QAction *a : top.at(1)->menu()->actions()) {
        switch (a->data().toInt()) {
        case etUndo: a->setEnabled(edits && FCanUndo); break;
        case etCut:
        case etDelete: a->setEnabled(edits && selected); break;
        case etCopy: a->setEnabled(selected); break;
        case etPaste: a->setEnabled(edits); break;
        case etSelectAll: a->setEnabled(!all); break;
        default: break;
        }
    }
}

QMenu *TMDIMemo::MemoMenu()
{
    UpdateMenu();
    return FMenu;
}

void TMDIMemo::contextMenuEvent(QContextMenuEvent *Event)
{
    MemoMenu()->exec(Event->globalPos());
}

} // namespace orv
