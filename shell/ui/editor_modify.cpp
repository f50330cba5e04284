// The editor window's commands that rewrite or read the program: Modify,
// line numbering, syntax check, code help and the block wizard.

#include "shell/ui/editor.h"

#include "components/richedit/RichEditW.h"
#include "engine/core/Mess.h"
#include "localise/LxLanguage.h"
#include "localise/LxTextDictionary.h"
#include "platform/EventLoop.h"
#include "platform/HelpService.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "shell/CodeHelp.h"
#include "shell/ui/EditorDialogs.h"

#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace orv {

namespace {

std::string Tr(const std::string &Text) { return Mess().Translate(Text); }

constexpr int MessageChangeEntry = 38;

bool EscapeDown() { return EventLoop().KeyDown(VK_ESCAPE); }

TAlterAnswer AnswerOf(int Result)
{
    switch (Result) {
    case mrYes:
        return TAlterAnswer::Yes;
    case mrAll:
        return TAlterAnswer::All;
    case mrCancel:
        return TAlterAnswer::Cancel;
    default:
        return TAlterAnswer::No;
    }
}

} // namespace

TLines TEditorForm::AllLines() const
{
    TLines lines;
    for (QTextBlock b = FRichEdit->document()->begin(); b.isValid(); b = b.next())
        lines.push_back(ToBytes(b.text()));
    return lines;
}

// With a selection, the lines from its first to its last character (a
// selection that ends at a line start leaves that line out); without one,
// from the caret's line to the last.
TEditorForm::TRange TEditorForm::CommandRange() const
{
    const int last = FRichEdit->document()->blockCount() - 1;
    if (FRichEdit->SelLength() == 0)
        return {FRichEdit->CaretLine(), last};
    const int start = FRichEdit->SelStart();
    const int end = start + FRichEdit->SelLength();
    int endLine = FRichEdit->LineOfChar(end);
    if (FRichEdit->LineStart(endLine) == end && endLine > FRichEdit->LineOfChar(start))
        --endLine;
    return {FRichEdit->LineOfChar(start), endLine};
}

// The whole lines of the selection, or every line without one; PutLines
// writes the rewritten lines back in their place.
TLines TEditorForm::TakeLines()
{
    const TLines all = AllLines();
    FTakeFirst = 0;
    FTakeLast = (int)all.size() - 1;
    if (FRichEdit->SelLength() > 0) {
        const TRange range = CommandRange();
        FTakeFirst = range.First;
        FTakeLast = range.Last;
    }
    return TLines(all.begin() + FTakeFirst, all.begin() + FTakeLast + 1);
}

void TEditorForm::PutLines(const TLines &Lines)
{
    std::string text;
    for (size_t i = 0; i < Lines.size(); ++i)
        text += (i ? "\n" : "") + Lines[i];
    QTextCursor cursor(FRichEdit->document());
    cursor.setPosition(FRichEdit->LineStart(FTakeFirst));
    const QTextBlock last = FRichEdit->document()->findBlockByNumber(FTakeLast);
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(FromBytes(text));
}

void TEditorForm::InsertLinesAtCaret(const TLines &Lines)
{
    int line = FRichEdit->CaretLine();
    for (const std::string &text : Lines)
        FRichEdit->InsertLine(line++, text);
}

// --- Modify ---

void TEditorForm::AlterValues(int Tag)
{
    static const char Letters[] = "FSXYZ";
    if (Tag < 1 || Tag > 5)
        return;
    TAlterValues values;
    values.Letter = Letters[Tag - 1];
    if (!EditorDialogs().AlterValues(this, Tag, values))
        return;
    FBulkUpdate = true;
    const int caret = FRichEdit->SelStart();
    const TRange range = CommandRange();
    TLines lines;
    for (int i = range.First; i <= range.Last; ++i)
        lines.push_back(FRichEdit->Line(i));
    TValueAlterer alterer;
    alterer.Ask = [this, &range](int Line, const TTokenExtent &Word) {
        FRichEdit->SetSelection(FRichEdit->LineStart(range.First + Line) + Word.Start, Word.Length);
        return AnswerOf(Mess().ShowMessageByIndex(MessageChangeEntry, mtConfirmation,
                                                  mbYes | mbNo | mbCancel | mbAll));
    };
    alterer.Changed = [this, &range](int Line, const TTokenExtent &Old, const std::string &Text) {
        const int start = FRichEdit->LineStart(range.First + Line) + Old.Start;
        QTextCursor cursor(FRichEdit->document());
        cursor.setPosition(start);
        cursor.setPosition(start + Old.Length, QTextCursor::KeepAnchor);
        cursor.insertText(FromBytes(Text));
        FRichEdit->FormatRange(start, (int)Text.size(), HighlightFormat.Colour,
                               HighlightFormat.BackColour, HighlightFormat.Style);
    };
    alterer.Run(lines, values, FCurrentPadding);
    FRichEdit->SetSelection(std::min(caret, FRichEdit->TextLength()), 0);
    FBulkUpdate = false;
}

void TEditorForm::ChangeCase(bool Upper)
{
    PutLines(orv::ChangeCase(TakeLines(), Upper));
    ResetFormatting();
    ColourWholeText();
    FRichEdit->SetSelection(0, 0);
}

void TEditorForm::AddPadding(bool FromMenu, bool Remove)
{
    std::string padding = FCurrentPadding;
    if (FromMenu) {
        TRequestValues request;
        request.Description = Tr("Enter Padding Token(s) below");
        request.Token = FFormat.Padding;
        request.HelpContext = Remove ? 2130 : 2120;
        if (!EditorDialogs().Request(this, request))
            return;
        padding = FFormat.Padding = FCurrentPadding = request.Token;
    } else {
        Remove = false;
    }
    const int caret = FRichEdit->SelStart();
    const TLines lines = TakeLines();
    FBusy = true;
    SetStatus(Remove ? Tr("Press ESC, to stop line padding removale")
                     : Tr("Press ESC, to stop line padding addition"));
    const TLines rewritten =
        Remove ? RemovePadding(lines, padding, EscapeDown) : orv::AddPadding(lines, padding, EscapeDown);
    PutLines(rewritten);
    FBusy = false;
    if (Remove)
        FCurrentPadding.clear();
    FWizard.Padding = FCurrentPadding;
    FRichEdit->SetSelection(std::min(caret, FRichEdit->TextLength()), 0);
    if (FromMenu) {
        ResetFormatting();
        ColourWholeText();
    }
}

void TEditorForm::AppendLineEndToken()
{
    TRequestValues request;
    request.Description = Tr("Enter Line End Token(s) below");
    request.Token = FFormat.LineEnd;
    request.HelpContext = 2140;
    const bool ok = EditorDialogs().Request(this, request);
    if (ok) {
        SetStatus(Tr("Press ESC, to stop appending line end token."));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        PutLines(AppendLineEnd(TakeLines(), request.Token, EscapeDown));
        ResetFormatting();
        ColourWholeText();
        QApplication::restoreOverrideCursor();
    }
    FFormat.LineEnd = request.Token;
    FRichEdit->SetSelection(0, 0);
}

void TEditorForm::RemoveLineEndToken()
{
    TRequestValues request;
    request.Description = Tr("Enter Line End Token(s) below");
    request.Token = FFormat.LineEnd;
    request.HelpContext = 2150;
    if (EditorDialogs().Request(this, request)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const TLines lines = TakeLines();
        SetStatus(Tr("Press ESC, to stop line end token removal."));
        PutLines(RemoveLineEnd(lines, request.Token, EscapeDown));
        ResetFormatting();
        ColourWholeText();
        QApplication::restoreOverrideCursor();
    }
    FRichEdit->SetSelection(0, 0);
}

void TEditorForm::LineNumbering()
{
    TNumbering numbering = FFormat.Numbering;
    numbering.Remove = false;
    if (!EditorDialogs().LineNumbering(this, numbering))
        return;
    const int caret = FRichEdit->SelStart();
    PutLines(Renumber(TakeLines(), numbering, FCurrentPadding));
    FRichEdit->SetSelection(std::min(caret, FRichEdit->TextLength()), 0);
    ResetFormatting();
    ColourWholeText();
    FFormat.Numbering = numbering;
    FFormat.Numbering.Remove = false;
}

// --- Syntax check ---

void TEditorForm::CheckSyntax()
{
    const int lastLine = FRichEdit->SelLength() > 0 ? CommandRange().Last
                                                    : FRichEdit->document()->blockCount() - 1;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SetStatus(Tr("Press ESC, to stop syntax check."));
    FBusy = true;
    TSyntaxCheck check;
    int polls = 0;
    check.Stop = [&polls] { return ++polls % 256 == 0 ? EscapePressed() : EscapeDown(); };
    check.OnLineChecked = [this](int Line) { FRichEdit->SetCaretLine(Line); };
    check.OnError = [this](const TSyntaxError &Error) {
        FRichEdit->SetSelection(FRichEdit->LineStart(Error.Line),
                                (int)FRichEdit->Line(Error.Line).size());
        QApplication::restoreOverrideCursor();
        const int answer = MessageDlg("", SyntaxErrorText(Error), mtError, mbOK | mbCancel);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return answer != mrCancel;
    };
    const TSyntaxCheck::TResult result =
        check.Run([this](int Line) { return FRichEdit->Line(Line); }, lastLine);
    QApplication::restoreOverrideCursor();
    if (result.ErrorCount == 0) {
        FRichEdit->SetSelection(0, 0);
        SetStatus(Tr("CNC syntax checked, no errors found."));
    } else {
        const int line = result.LastChecked;
        FRichEdit->SetSelection(FRichEdit->LineStart(line), (int)FRichEdit->Line(line).size());
        SetStatus(Tr("CNC syntax checked, error(s) found."));
    }
    FBusy = false;
}

// --- Code help ---

// Help is given in English only; in other languages there is no help file.
void TEditorForm::SetupHelp()
{
    if (HelpInEnglish(Mess().Dictionary())) {
        FRememberedHelpFile = Help().HelpFile();
        return;
    }
    FRememberedHelpFile.clear();
    FHelpFile.clear();
    Help().SetHelpFile("");
}

void TEditorForm::CodeHelp(bool Ctrl)
{
    SetupHelp();
    if (!(Ctrl && FRichEdit->LineCount() > 0)) {
        Help().SetHelpFile(FRememberedHelpFile);
        FHelpContext = 3010;
        if (!Help().HelpFile().empty())
            Help().ShowContext(Help().HelpFile(), FHelpContext);
        return;
    }
    FHelpContext = 0;
    const int start = FRichEdit->SelStart(), length = FRichEdit->SelLength();
    const std::string text = length > 0 ? FRichEdit->SelText()
                                        : FRichEdit->Line(FRichEdit->CaretLine());
    const THelpCode code = CodeOfBlock(text);
    HelpOnCode(code.Letter, code.Code);
    FRichEdit->SetSelection(start, length);
}

void TEditorForm::HelpOnCode(const std::string &Letter, const std::string &Code)
{
    const std::optional<int> context = HelpContext(TIniFile(FHelpReference), {Letter, Code});
    if (context && !FHelpFile.empty())
        Help().ShowContext(FHelpFile, *context);
}

// --- Block wizard ---

void TEditorForm::WizardMenuClick(int Tag)
{
    const TLines lines = AllLines();
    const int caretLine = FRichEdit->CaretLine();
    FWizard.Padding = FCurrentPadding;
    if (Tag == 0) {
        if (!FWizard.StartAlter(lines, caretLine)) {
            const char letter = FWizard.UnsupportedM ? 'M' : 'G';
            const int code = FWizard.UnsupportedM ? FWizard.UnsupportedM : FWizard.UnsupportedG;
            if (code && EditorDialogs().NotSupported(this, letter, code))
                HelpOnCode(std::string(1, letter), HelpCodeText(code));
            return;
        }
    } else {
        int kind = 0, subKind = 0;
        if (!WizardKindOfTag(Tag, kind, subKind))
            return;
        FWizard.StartInsert(lines, caretLine, kind, subKind);
    }
    std::optional<TWizardEdit> edit;
    while (!edit) {
        if (!EditorDialogs().Wizard(this, FWizard, lines))
            return;
        edit = FWizard.Build();
        if (!edit &&
            MessageDlg(Tr("Turning Wizard"),
                       Tr("Values added for this move do not differ from the previous move.") +
                           "\n\n" + Tr("Do you wish to continue anyway?"),
                       mtConfirmation, mbYesNo) == mrYes)
            edit = FWizard.Build(true);
    }
    WriteBlockEdit(*edit);
    if (!FWizard.BlockNumberPlaced() &&
        MessageDlg(Tr("Milling Wizard"),
                   Tr("Unable to add sequential line number at cursor position.") + "\n\n" +
                       Tr("Do you wish to renumber the whole file?"),
                   mtConfirmation, mbYesNo) == mrYes) {
        FRichEdit->SetSelection(0, 0);
        LineNumbering();
        FRichEdit->SetCaretPos(std::max(0, caretLine - 1), 0);
    }
}

void TEditorForm::WriteBlockEdit(const TWizardEdit &Edit)
{
    int headerAt = Edit.HeaderAt;
    if (Edit.Replace) {
        FRichEdit->SetLine(Edit.Line, Edit.Text);
    } else {
        FRichEdit->InsertLine(Edit.Line, Edit.Text);
        if (headerAt >= Edit.Line)
            ++headerAt;
    }
    if (Edit.Header) {
        if (headerAt >= 0)
            FRichEdit->SetLine(headerAt, *Edit.Header);
        else
            FRichEdit->InsertLine(0, *Edit.Header);
    }
    ColourWholeText();
}

void TEditorForm::InsertHeaderFooter(bool Footer)
{
    if (Footer) {
        InsertLinesAtCaret(FooterLines());
        ColourWholeText();
        return;
    }
    THeaderValues header;
    header.MachineName = FMachineName;
    header.Units = FUnits;
    header.BilletX = FBillet.X, header.BilletY = FBillet.Y, header.BilletZ = FBillet.Z;
    if (!EditorDialogs().Header(this, header))
        return;
    InsertLinesAtCaret(HeaderLines(header));
    ColourWholeText();
}

} // namespace orv
