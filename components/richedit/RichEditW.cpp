#include "components/richedit/RichEditW.h"

#include "components/richedit/RichEditStrings.h"
#include "components/richedit/WideRichEditStrings.h"
#include "components/widestrings/Langs.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMimeData>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace orv {

QString FromBytes(const std::string &Bytes)
{
    return QString::fromLatin1(Bytes.data(), (qsizetype)Bytes.size());
}

std::string ToBytes(const QString &Text)
{
    const QByteArray bytes = Text.toLatin1();
    return std::string(bytes.constData(), (size_t)bytes.size());
}

QColor TRichEditW::ToQColor(uint32_t Colour)
{
    return QColor(Colour & 0xFF, (Colour >> 8) & 0xFF, (Colour >> 16) & 0xFF);
}

uint32_t TRichEditW::FromQColor(const QColor &Colour)
{
    return (uint32_t)Colour.red() | ((uint32_t)Colour.green() << 8) |
           ((uint32_t)Colour.blue() << 16);
}

namespace {

void SetStyleOf(QTextCharFormat &Format, uint8_t Style)
{
    Format.setFontWeight(Style & 1 ? QFont::Bold : QFont::Normal);
    Format.setFontItalic(Style & 2);
    Format.setFontUnderline(Style & 4);
    Format.setFontStrikeOut(Style & 8);
}

QTextCharFormat FormatOf(uint32_t Colour, uint32_t BackColour, uint8_t Style)
{
    QTextCharFormat format;
    format.setForeground(TRichEditW::ToQColor(Colour));
    format.setBackground(TRichEditW::ToQColor(BackColour));
    SetStyleOf(format, Style);
    return format;
}

uint8_t StyleOf(const QTextCharFormat &Format)
{
    return (Format.fontWeight() >= QFont::Bold ? 1 : 0) | (Format.fontItalic() ? 2 : 0) |
           (Format.fontUnderline() ? 4 : 0) | (Format.fontStrikeOut() ? 8 : 0);
}

} // namespace

// --- Attributes ---

uint32_t TTextAttributesW::Color() const
{
    const QTextCharFormat format =
        FDefault ? FOwner.currentCharFormat() : FOwner.textCursor().charFormat();
    if (!format.hasProperty(QTextFormat::ForegroundBrush))
        return TRichEditW::FromQColor(FOwner.palette().color(QPalette::Text));
    return TRichEditW::FromQColor(format.foreground().color());
}

void TTextAttributesW::Merge(const QTextCharFormat &Format)
{
    QTextCursor cursor = FOwner.textCursor();
    if (FDefault || cursor.hasSelection()) {
        if (FDefault)
            FOwner.mergeCurrentCharFormat(Format);
        else
            cursor.mergeCharFormat(Format);
        return;
    }
    // No selection: what is typed next takes the format, and with
    // WordFormatting so does the word at the caret.
    FOwner.mergeCurrentCharFormat(Format);
    if (!FOwner.WordFormatting)
        return;
    cursor.select(QTextCursor::WordUnderCursor);
    if (cursor.hasSelection() && !cursor.selectedText().trimmed().isEmpty())
        cursor.mergeCharFormat(Format);
}

void TTextAttributesW::SetColor(uint32_t Colour)
{
    QTextCharFormat format;
    format.setForeground(TRichEditW::ToQColor(Colour));
    Merge(format);
}

uint32_t TTextAttributesW::BackColor() const
{
    const QTextCharFormat format = Format();
    if (!format.hasProperty(QTextFormat::BackgroundBrush) ||
        format.background().style() == Qt::NoBrush)
        return FOwner.Color();
    return TRichEditW::FromQColor(format.background().color());
}

void TTextAttributesW::SetBackColor(uint32_t Colour)
{
    QTextCharFormat format;
    format.setBackground(TRichEditW::ToQColor(Colour));
    Merge(format);
}

uint8_t TTextAttributesW::Style() const
{
    return StyleOf(FDefault ? FOwner.currentCharFormat() : FOwner.textCursor().charFormat());
}

void TTextAttributesW::SetStyle(uint8_t Style)
{
    QTextCharFormat format;
    SetStyleOf(format, Style);
    Merge(format);
}

void TTextAttributesW::Assign(const QFont &Font)
{
    QTextCharFormat format;
    format.setFont(Font);
    if (FDefault) {
        FOwner.document()->setDefaultFont(Font);
        FOwner.mergeCurrentCharFormat(format);
    } else {
        FOwner.textCursor().mergeCharFormat(format);
    }
}

// --- The control ---

TRichEditW::TRichEditW(QWidget *Parent) : QTextEdit(Parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setAcceptDrops(true);
    viewport()->setMouseTracking(true); // the cursor over links
    document()->setUndoRedoEnabled(true);
    connect(this, &QTextEdit::textChanged, this, [this] { TextChanged(); });
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] { SelectionChanged(); });
    connect(this, &QTextEdit::selectionChanged, this, [this] { SelectionChanged(); });
    ApplyWindowOptions();
}

void TRichEditW::SetShowSelectionBar(bool Value)
{
    if (Value == FShowSelectionBar)
        return;
    FShowSelectionBar = Value;
    RecreateWnd();
}

void TRichEditW::SetLangOptions(TLangOptions Value)
{
    FLangOptions = Value & 0x0F;
    ApplyWindowOptions();
}

void TRichEditW::RecreateWnd()
{
    // The text, its formats and the selection live in the document, which
    // a re-created window keeps; the window's own options are set again.
    ++FRecreateCount;
    ApplyWindowOptions();
}

void TRichEditW::ApplyWindowOptions()
{
    setViewportMargins(FShowSelectionBar ? SelectionBarWidth : 0, 0, 0, 0);
    QFont font = document()->defaultFont();
    font.setStyleStrategy((FLangOptions & loAutoFont)
                              ? QFont::StyleStrategy(font.styleStrategy() & ~QFont::NoFontMerging)
                              : QFont::StyleStrategy(font.styleStrategy() | QFont::NoFontMerging));
    document()->setDefaultFont(font);
}

bool TRichEditW::SelectionBarPress(const QPoint &Position)
{
    if (!FShowSelectionBar || Position.x() >= viewport()->x() || Position.y() < viewport()->y() ||
        Position.y() >= viewport()->y() + viewport()->height())
        return false;
    QTextCursor line = cursorForPosition(QPoint(0, Position.y() - viewport()->y()));
    line.movePosition(QTextCursor::StartOfBlock);
    line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    setTextCursor(line);
    return true;
}

bool TRichEditW::event(QEvent *Event)
{
    // The selection bar lies outside the viewport, where the scroll area
    // ignores the mouse.
    if (Event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(Event);
        if (mouse->button() == Qt::LeftButton && SelectionBarPress(mouse->position().toPoint()))
            return true;
    }
    const bool handled = QTextEdit::event(Event);
    // A new font reaches the document without the language options.
    if (Event->type() == QEvent::FontChange)
        ApplyWindowOptions();
    return handled;
}

int TRichEditW::LineCount() const
{
    // An empty control has no lines, as the operator sees it.
    return document()->isEmpty() ? 0 : document()->blockCount();
}

std::string TRichEditW::Line(int Index) const
{
    return Narrow(document()->findBlockByNumber(Index).text());
}

void TRichEditW::SetLine(int Index, const std::string &Text)
{
    QTextBlock block = document()->findBlockByNumber(Index);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(Widen(Text));
}

void TRichEditW::InsertLine(int Index, const std::string &Text)
{
    if (Index >= LineCount()) {
        QTextCursor cursor(document());
        cursor.movePosition(QTextCursor::End);
        if (!document()->isEmpty())
            cursor.insertBlock();
        cursor.insertText(Widen(Text));
        return;
    }
    QTextCursor cursor(document()->findBlockByNumber(std::max(0, Index)));
    cursor.insertText(Widen(Text));
    cursor.insertBlock();
}

void TRichEditW::DeleteLine(int Index)
{
    QTextBlock block = document()->findBlockByNumber(Index);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    if (cursor.position() == block.position()) { // the last line: take the break before it
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        if (block.position() > 0) {
            cursor.setPosition(block.position() - 1);
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        }
    }
    cursor.removeSelectedText();
}

void TRichEditW::SetText(const std::string &Text) { setPlainText(Widen(Text)); }

QString TRichEditW::PlainText() const
{
    QString text = document()->toRawText();
    for (QChar &c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xFDD0: // the start and end of a frame
        case 0xFDD1: c = u'\n'; break;
        default: break;
        }
    }
    return text;
}

std::string TRichEditW::Text() const { return Narrow(PlainText()); }

int TRichEditW::LineStart(int Index) const
{
    const QTextBlock block = document()->findBlockByNumber(Index);
    return block.isValid() ? block.position() : TextLength();
}

int TRichEditW::LineOfChar(int Position) const
{
    const QTextBlock block = document()->findBlock(std::clamp(Position, 0, TextLength()));
    return block.isValid() ? block.blockNumber() : std::max(0, document()->blockCount() - 1);
}

int TRichEditW::TextLength() const { return document()->characterCount() - 1; }

int TRichEditW::SelStart() const { return textCursor().selectionStart(); }

int TRichEditW::SelLength() const
{
    return textCursor().selectionEnd() - textCursor().selectionStart();
}

QTextCursor TRichEditW::CursorAt(int Start, int Length) const
{
    QTextCursor cursor(document());
    const int length = TextLength();
    cursor.setPosition(std::clamp(Start, 0, length));
    cursor.setPosition(std::clamp(Start + std::max(0, Length), 0, length),
                       QTextCursor::KeepAnchor);
    return cursor;
}

void TRichEditW::SetSelection(int Start, int Length) { setTextCursor(CursorAt(Start, Length)); }

std::string TRichEditW::SelText() const
{
    return Narrow(textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'));
}

void TRichEditW::ClearSelection()
{
    QTextCursor cursor = textCursor();
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

int TRichEditW::CaretLine() const { return textCursor().block().blockNumber(); }

void TRichEditW::SetCaretLine(int Line)
{
    SetCaretPos(Line, CaretColumn());
}

int TRichEditW::CaretColumn() const { return SelStart() - textCursor().block().position(); }

void TRichEditW::SetCaretPos(int Line, int Column)
{
    const QTextBlock block = document()->findBlockByNumber(Line);
    if (!block.isValid())
        return;
    SetSelection(block.position() + std::clamp(Column, 0, block.length() - 1), 0);
}

bool TRichEditW::CanUndo() const { return document()->isUndoAvailable(); }

bool TRichEditW::CanRedo() const { return document()->isRedoAvailable(); }

void TRichEditW::SetUndoLimit(int Limit)
{
    FUndoLimit = Limit;
    // Qt keeps every step; the limit is stored for the forms that read it.
}

bool TRichEditW::Modified() const { return document()->isModified(); }

void TRichEditW::SetModified(bool Modified) { document()->setModified(Modified); }

std::u16string TRichEditW::GetWideText() const { return PlainText().toStdU16String(); }

std::u16string TRichEditW::GetWideSelText() const
{
    return textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n').toStdU16String();
}

void TRichEditW::SetLanguage(int Language)
{
    FLanguage = Language;
    FCodePage = Language ? LocaleCodePage(Language) : 0;
}

QString TRichEditW::Widen(const std::string &Text) const
{
    if (FCodePage == 0)
        return FromBytes(Text);
    return QString::fromStdU16String(TextToWide(Text, FCodePage));
}

std::string TRichEditW::Narrow(const QString &Text) const
{
    if (FCodePage == 0)
        return ToBytes(Text);
    return WideToText(Text.toStdU16String(), FCodePage);
}

namespace {
bool IsWordChar(QChar C)
{
    return C.isLetterOrNumber() || C == u'_';
}
} // namespace

int TRichEditW::FindText(const std::string &Text, int StartPos, int Length, int Options) const
{
    const QString needle = Widen(Text);
    const QString text = PlainText();
    const int n = (int)needle.size(), size = (int)text.size();
    if (n == 0)
        return -1;
    const Qt::CaseSensitivity cs = Options & FindMatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int start = std::clamp(StartPos, 0, size);
    const bool backward = Options & FindBackward;
    const int lo = backward ? (Length > 0 ? std::max(0, start - Length) : 0) : start;
    const int hi = backward ? start : (Length > 0 ? std::min(size, start + Length) : size);
    auto whole = [&](int At) {
        return !(Options & FindWholeWord) ||
               ((At == 0 || !IsWordChar(text[At - 1])) &&
                (At + n == size || !IsWordChar(text[At + n])));
    };
    if (backward) {
        for (int at = hi - n; at >= lo; --at) {
            at = (int)text.lastIndexOf(needle, at, cs);
            if (at < lo)
                break;
            if (whole(at))
                return at;
        }
        return -1;
    }
    for (int at = (int)text.indexOf(needle, lo, cs); at >= 0 && at + n <= hi;
         at = (int)text.indexOf(needle, at + 1, cs))
        if (whole(at))
            return at;
    return -1;
}

void TRichEditW::FormatRange(int Start, int Length, uint32_t Colour, uint32_t BackColour,
                             uint8_t Style)
{
    const QTextCharFormat format = FormatOf(Colour, BackColour, Style);
    if (FUpdates > 0) {
        const int length = TextLength();
        FUpdateCursor.setPosition(std::clamp(Start, 0, length));
        FUpdateCursor.setPosition(std::clamp(Start + Length, 0, length), QTextCursor::KeepAnchor);
        FUpdateCursor.mergeCharFormat(format);
        return;
    }
    QTextCursor cursor = CursorAt(Start, Length);
    cursor.mergeCharFormat(format);
}

void TRichEditW::CharFormatAt(int Position, uint32_t &Colour, uint32_t &BackColour,
                              uint8_t &Style) const
{
    // The format of a character is the one the cursor reports just after it.
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(Position + 1, 0, TextLength()));
    const QTextCharFormat format = cursor.charFormat();
    Colour = format.hasProperty(QTextFormat::ForegroundBrush)
                 ? FromQColor(format.foreground().color())
                 : FromQColor(palette().color(QPalette::Text));
    BackColour = format.hasProperty(QTextFormat::BackgroundBrush)
                     ? FromQColor(format.background().color())
                     : FColour;
    Style = StyleOf(format);
}

void TRichEditW::BeginUpdate()
{
    if (FUpdates++ == 0) {
        FUpdateCursor = QTextCursor(document());
        FUpdateCursor.beginEditBlock();
    }
}

void TRichEditW::EndUpdate()
{
    if (FUpdates > 0 && --FUpdates == 0)
        FUpdateCursor.endEditBlock();
}

void TRichEditW::SetIncludeOLE(bool Value)
{
    if (Value)
        throw EOleError("Unable to get interface");
}

void TRichEditW::SetColor(uint32_t Colour)
{
    FColour = Colour;
    QPalette p = palette();
    p.setColor(QPalette::Base, ToQColor(Colour));
    setPalette(p);
}

void TRichEditW::Print(const std::string &Title, QPrinter &Printer) const
{
    Printer.setDocName(QString::fromStdString(Title));
    document()->print(&Printer);
}

void TRichEditW::keyPressEvent(QKeyEvent *Event)
{
    if (OnKeyDown && OnKeyDown(Event->key(), Event->modifiers()))
        return;
    QTextEdit::keyPressEvent(Event);
}

// Only files may be dropped; text is never dragged within the control.
void TRichEditW::dragEnterEvent(QDragEnterEvent *Event)
{
    if (Event->mimeData()->hasUrls())
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void TRichEditW::dragMoveEvent(QDragMoveEvent *Event)
{
    if (Event->mimeData()->hasUrls())
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void TRichEditW::dropEvent(QDropEvent *Event)
{
    if (!Event->mimeData()->hasUrls()) {
        Event->ignore();
        return;
    }
    QStringList files;
    for (const QUrl &url : Event->mimeData()->urls())
        files << url.toLocalFile();
    Event->acceptProposedAction();
    if (OnFilesDropped)
        OnFilesDropped(files);
}

bool TRichEditW::canInsertFromMimeData(const QMimeData *Source) const
{
    return Source->hasText();
}

// Pasted text arrives as plain text in the control's current format.
void TRichEditW::insertFromMimeData(const QMimeData *Source)
{
    if (Source->hasText())
        textCursor().insertText(Source->text());
}

} // namespace orv

namespace orv {

TWideStrings &TRichEditW::WideLines()
{
    if (!FWideLines)
        FWideLines = std::make_shared<TWideRichEditStringsW>(*this);
    return *FWideLines;
}

TRichEditStringsW &TRichEditW::Lines()
{
    if (!FLines)
        FLines = std::make_shared<TRichEditStringsW>(*this);
    return *FLines;
}

} // namespace orv
