#include "components/richedit/WideRichEditStrings.h"

#include "components/richedit/RichEditStrings.h"
#include "components/richedit/RichEditW.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace orv {

namespace {
QString ToQ(const std::u16string &S) {
    return QString::fromUtf16(S.data(), qsizetype(S.size()));
}
std::u16string FromQ(const QString &S) {
    return S.toStdU16String();
}
} // namespace

std::u16string TWideRichEditStringsW::Get(int Index) const {
    return FromQ(FEditor.document()->findBlockByNumber(Index).text());
}

int TWideRichEditStringsW::GetCount() const {
    return FEditor.LineCount();
}

void TWideRichEditStringsW::Put(int Index, const std::u16string &S) {
    QTextBlock block = FEditor.document()->findBlockByNumber(Index);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(ToQ(S));
}

void TWideRichEditStringsW::Clear() {
    FEditor.clear();
}

void TWideRichEditStringsW::Delete(int Index) {
    FEditor.DeleteLine(Index);
}

void TWideRichEditStringsW::Insert(int Index, const std::u16string &S) {
    QTextDocument *doc = FEditor.document();
    if (Index < 0 || Index >= GetCount()) {
        QTextCursor cursor(doc);
        cursor.movePosition(QTextCursor::End);
        // A list that already holds lines gets a new one, even when the last
        // line is empty.
        if (GetCount() > 0)
            cursor.insertBlock();
        cursor.insertText(ToQ(S));
        return;
    }
    QTextCursor cursor(doc->findBlockByNumber(Index));
    cursor.insertText(ToQ(S));
    cursor.insertBlock();
}

std::u16string TWideRichEditStringsW::GetTextStr() const {
    std::u16string text;
    for (QTextBlock b = FEditor.document()->begin(); GetCount() > 0 && b.isValid(); b = b.next())
        text += FromQ(b.text()) + u"\r\n";
    return text;
}

void TWideRichEditStringsW::SetTextStr(const std::u16string &Text) {
    TWideStringList lines;
    lines.SetTextStr(Text);
    QString joined;
    for (int i = 0; i < lines.GetCount(); ++i)
        joined += (i ? "\n" : "") + ToQ(lines.Get(i));
    ++FEditor.FChangeOff;
    FEditor.setPlainText(joined);
    --FEditor.FChangeOff;
}

void TWideRichEditStringsW::SetUpdateState(bool Updating) {
    if (Updating) {
        FEditor.Lines().BeginUpdate();
        return;
    }
    FEditor.Lines().EndUpdate();
}

TLanguage TWideRichEditStringsW::Language() const {
    return FEditor.Language();
}

void TWideRichEditStringsW::SetLanguage(TLanguage Value) {
    FEditor.SetLanguage(Value);
}

void TWideRichEditStringsW::AddStrings(const TWideStrings &Other) {
    std::function<void()> selectionChange = std::move(FEditor.OnSelectionChange);
    FEditor.OnSelectionChange = nullptr;
    TWideStrings::AddStrings(Other);
    FEditor.OnSelectionChange = std::move(selectionChange);
}

bool TWideRichEditStringsW::LoadFromStream(std::istream &In) {
    return FEditor.Lines().LoadFromStream(In);
}

bool TWideRichEditStringsW::SaveToStream(std::ostream &Out) const {
    return FEditor.Lines().SaveToStream(Out);
}

bool TWideRichEditStringsW::LoadFromFile(const std::string &FileName) {
    return FEditor.Lines().LoadFromFile(FileName);
}

bool TWideRichEditStringsW::SaveToFile(const std::string &FileName) const {
    return FEditor.Lines().SaveToFile(FileName);
}

} // namespace orv
