// The rich edit's links: the scan after each change, the Link effect with
// the type's colour and underline, the cursor over a link and its events,
// and the selection lock the scan works under.

#include "components/richedit/RichEditW.h"

#include "platform/CursorService.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace orv {

namespace {

// The schemes of the standard detection (adDefault): the default types.
const TURLCollection &StandardURLs()
{
    static const TURLCollection types;
    return types;
}

// The format of the character at Position.
QTextCharFormat FormatOfChar(const QTextDocument &Document, int Position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&Document));
    // The cursor reports the format of the character before it.
    cursor.setPosition(Position);
    cursor.setPosition(Position + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

bool IsLinkFormat(const QTextCharFormat &Format) { return Format.isAnchor(); }

} // namespace

void TRichEditW::TextChanged()
{
    if (FScanning || FChangeOff > 0)
        return;
    ScanChange();
    if (OnChange)
        OnChange();
}

void TRichEditW::SelectionChanged()
{
    if (!FScanning && OnSelectionChange)
        OnSelectionChange();
}

void TRichEditW::SetAutoURLDetect(TAutoURLDetect Value)
{
    FAutoURLDetect = Value;
}

void TRichEditW::ScanChange()
{
    if (FAutoURLDetect == adNone || FLoading || SelectionLocked())
        return;
    // An undo or redo (steps left to redo) brings its own formats back; a
    // scan now would add a step and wipe the redo steps.
    if (document()->availableRedoSteps() > 0)
        return;
    const QTextCursor cursor = textCursor();
    const int start = std::min(FLastSelStart, cursor.selectionStart());
    const int end = std::max(FLastSelEnd, cursor.selectionEnd());
    FLastSelStart = cursor.selectionStart();
    FLastSelEnd = cursor.selectionEnd();
    ScanLinks(start, end);
}

void TRichEditW::ScanLinks(int Start, int End)
{
    const TURLCollection &types = FAutoURLDetect == adExtended ? FCustomURLs : StandardURLs();
    if (types.Count() == 0)
        return;
    const std::u16string text = GetWideText();
    int start = Start, end = End;
    WidenToLinkWords(text, start, end);
    if (start > end || text.size() <= 2)
        return;
    if (start == end) {
        start = 0;
        end = int(text.size());
    }
    LockSelection();
    FScanning = true;
    // The formats are one undo step of their own, after the edit: an undo
    // takes back the link first, the next one the typing.
    QTextCursor edit(document());
    edit.beginEditBlock();
    int at = start;
    for (const TLinkWord &word : ScanLinkWords(text, start, end, types)) {
        // Characters between words never keep a link's format (Qt hands a
        // link's format on to text typed after it).
        FormatWord(at, word.Start - at, -1, types);
        FormatWord(word.Start, word.Length, word.Type, types);
        at = word.Start + word.Length;
    }
    FormatWord(at, end - at, -1, types);
    edit.endEditBlock();
    FScanning = false;
    UnlockSelection();
}

// Type -1: the words lose the Link effect, their colour and underline; the
// format is only touched where it differs.
void TRichEditW::FormatWord(int Start, int Length, int Type, const TURLCollection &Types)
{
    if (Length <= 0)
        return;
    const bool link = Type >= 0;
    const QColor colour = link ? ToQColor(Types.ColorOf(Type, URLColor)) : QColor();
    const bool underline = link && Types.Items(Type).Underline;
    for (int at = Start; at < Start + Length;) {
        QTextCharFormat format = FormatOfChar(*document(), at);
        int run = at + 1;
        while (run < Start + Length && FormatOfChar(*document(), run) == format)
            ++run;
        const bool same = format.isAnchor() == link && format.fontUnderline() == underline &&
                          (link ? format.foreground().color() == colour
                                : !format.hasProperty(QTextFormat::ForegroundBrush));
        if (!same) {
            format.setAnchor(link);
            format.setFontUnderline(underline);
            if (link)
                format.setForeground(colour);
            else
                format.clearForeground();
            QTextCursor cursor(document());
            cursor.setPosition(at);
            cursor.setPosition(run, QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
        at = run;
    }
}

void TRichEditW::LockSelection()
{
    if (FLockCount++ > 0)
        return;
    viewport()->setUpdatesEnabled(false);
    FLockSelStart = SelStart();
    FLockSelLength = SelLength();
    FLockFirstLine = FirstVisibleLine();
}

void TRichEditW::UnlockSelection()
{
    if (FLockCount == 0 || --FLockCount > 0)
        return;
    SetSelection(FLockSelStart, FLockSelLength);
    QScrollBar *bar = verticalScrollBar();
    for (int line = FirstVisibleLine(); line != FLockFirstLine; line = FirstVisibleLine()) {
        const int before = bar->value();
        bar->triggerAction(line < FLockFirstLine ? QAbstractSlider::SliderSingleStepAdd
                                                 : QAbstractSlider::SliderSingleStepSub);
        if (bar->value() == before)
            break;
    }
    viewport()->setUpdatesEnabled(true);
    viewport()->update();
}

int TRichEditW::FirstVisibleLine() const
{
    return cursorForPosition(QPoint(0, 0)).blockNumber();
}

void TRichEditW::paintEvent(QPaintEvent *Event)
{
    if (SelectionLocked())
        return;
    QTextEdit::paintEvent(Event);
}

std::u16string TRichEditW::LinkAt(const QPoint &Position) const
{
    const QPointF inDocument(Position.x() + horizontalScrollBar()->value(),
                             Position.y() + verticalScrollBar()->value());
    int at = document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
    if (at < 0)
        return {};
    // The hit is the boundary nearest the point: the character under it is
    // the one before when the point lies left of that boundary.
    QTextCursor boundary(document());
    boundary.setPosition(at);
    if (at > 0 && Position.x() < cursorRect(boundary).left())
        --at;
    const QTextDocument &doc = *document();
    if (at >= TextLength() || !IsLinkFormat(FormatOfChar(doc, at)))
        return {};
    int first = at, last = at + 1;
    while (first > 0 && IsLinkFormat(FormatOfChar(doc, first - 1)))
        --first;
    while (last < TextLength() && IsLinkFormat(FormatOfChar(doc, last)))
        ++last;
    return GetWideText().substr(size_t(first), size_t(last - first));
}

void TRichEditW::mouseReleaseEvent(QMouseEvent *Event)
{
    QTextEdit::mouseReleaseEvent(Event);
    if (OnMouseUp)
        OnMouseUp(Event->position().toPoint(), Event->button());
    if (Event->button() != Qt::LeftButton || !OnURLClick)
        return;
    const std::u16string url = LinkAt(Event->position().toPoint());
    if (url.size() > 1)
        OnURLClick(Narrow(QString::fromStdU16String(url)));
}

void TRichEditW::mouseMoveEvent(QMouseEvent *Event)
{
    QTextEdit::mouseMoveEvent(Event);
    const std::u16string url = LinkAt(Event->position().toPoint());
    if (url.empty()) {
        if (FOverLink)
            CursorService().SetShape(viewport(), crIBeam);
        FOverLink = false;
        return;
    }
    const TURLCollection &types = FAutoURLDetect == adDefault ? StandardURLs() : FCustomURLs;
    CursorService().SetShape(viewport(), types.CursorOf(types.TypeOfURL(url), URLCursor));
    FOverLink = true;
    if (OnURLMove && url.size() > 1)
        OnURLMove(Narrow(QString::fromStdU16String(url)));
}

} // namespace orv
