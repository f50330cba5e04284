#include "transfer/ui/InputWin.h"

#include "components/richedit/RichEditStrings.h"
#include "components/richedit/RichEditW.h"
#include "components/widestrings/Langs.h"
#include "components/widestrings/WStrList.h"
#include "platform/CursorService.h"
#include "platform/MessageService.h"
#include "transfer/SendCursor.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include <algorithm>


namespace orv {

const char *const TInputWin::Filter =
    "Mill Files (*.fnc)|*.fnc|Lathe Files (*.fnl)|*.fnl|All Files (*.*)|*.*";

TInputWin::TInputWin(QWidget *Parent) : QWidget(Parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Input Window");
    FEditor = new TRichEditW(this);
    FEditor->setObjectName("Editor");
    FEditor->setLineWrapMode(QTextEdit::NoWrap);
    FEditor->SetUndoLimit(0);
    // Plain text in and out; the 8-bit lines in code page 1252.
    FEditor->InputFormat = ifText;
    FEditor->OutputFormat = ofText;
    FEditor->SetLanguage(2057);
    // No selection bar; characters the font lacks come from another font.
    FEditor->SetShowSelectionBar(false);
    FEditor->SetLangOptions(loAutoFont);
    FStatusBar1 = new QLabel(this);
    FStatusBar1->setObjectName("StatusBar1");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FEditor);
    layout->addWidget(FStatusBar1);

    FPopUp = new QMenu(this);
    FPopUp->setObjectName("PopUp");
    auto add = [this](const char *Name, const char *Caption, std::function<void()> Action) {
        QAction *a = FPopUp->addAction(Caption);
        a->setObjectName(Name);
        connect(a, &QAction::triggered, this, [Action] { Action(); });
    };
    add("Reopenafile1", "&Open...", [this] {
        if (OnReOpen)
            OnReOpen(this);
    });
    add("SaveFile1", "&Save", [this] { SaveFile(windowTitle().toStdString()); });
    add("Cleareditor1", "Clear editor", [this] { FEditor->clear(); });
    add("Copy1", "&Copy", [this] { FEditor->copy(); });
    add("Paste1", "&Paste", [this] { FEditor->paste(); });
    add("SendtoRS2321", "&Send ---> RS232  ", [this] {
        if (OnSendClick)
            OnSendClick(this);
    });
    add("ReceiveRS2321", "&Receive <--- RS232", [this] {
        if (OnReceiveClick)
            OnReceiveClick(this);
    });
    FEditor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FEditor, &QWidget::customContextMenuRequested, this, [this](const QPoint &P) {
        raise();
        FPopUp->popup(FEditor->mapToGlobal(P));
    });
    FEditor->OnSelectionChange = [this] { EditorSelectionChange(); };
    FAssembly.OnLine = [this](const std::string &Line, bool WithoutCR) {
        AddReceivedLine(Line, WithoutCR);
    };
    FormCreate();
}

void TInputWin::FormCreate() {
    FAssembly.Reset();
}

int TInputWin::NumberOfChars() const {
    int n = 0;
    for (int i = 0; i < FEditor->LineCount(); ++i)
        n += int(FEditor->Line(i).size());
    return n;
}

void TInputWin::SetCaption(const std::string &Name) {
    setWindowTitle(QString::fromStdString(Name));
    setToolTip(windowTitle());
}

void TInputWin::LoadFile(const std::string &FileName) {
    CursorService().SetShape(this, crHourGlass);
    TRichEditStringsW &lines = FEditor->Lines();
    if (!lines.LoadFromFile(FileName)) {
        CursorService().SetShape(this, crDefault);
        ShowMessage("File open error !");
        return;
    }
    // The file's closing line break stays in the text (an empty last
    // paragraph): the send ends with it as a lone CR, and saving does not
    // add a second one.
    FEditor->document()->clearUndoRedoStacks();
    FEditor->SetCaretPos(0, 0);
    SetCaption(FileName);
    FEditor->SetModified(false);
    CursorService().SetShape(this, crDefault);
    FSendPosition = 0;
    EditorSelectionChange(); // the caret may not have moved, the lines have
}

bool TInputWin::EndsWithLineBreak() const {
    const int count = FEditor->LineCount();
    return count > 1 && FEditor->WideLines().Get(count - 1).empty();
}

void TInputWin::SaveFile(const std::string &FileName) {
    std::string name = FileName;
    if (name.empty() || name.find("UNKNOWN") != std::string::npos) {
        TFileRequest request;
        request.Kind = TFileDialogKind::Save;
        request.Filter = Filter;
        request.DefaultExt = "fnc";
        request.FileName = name;
        auto chosen = Messages().ChooseFile(request);
        if (!chosen || chosen->empty())
            return;
        name = *chosen;
    }
    // Every line ends in CR LF, the last one too (a text that ends in a
    // line break has it already).
    const bool closed = FEditor->TextLength() == 0 || EndsWithLineBreak();
    const bool saved = FEditor->Lines().SaveToFile(name, closed ? "" : "\r\n");
    if (!saved) {
        ShowMessage("Cannot save file: " + name);
        return;
    }
    SetCaption(name);
    FEditor->SetModified(false);
}

void TInputWin::ResetSendPosition() {
    FEditor->SetCaretPos(0, 0);
    FSendPosition = 0;
    FSendText.clear();
}

bool TInputWin::GetNextLine(std::string &Line) {
    // The text is taken once per send: paragraphs joined by a single CR,
    // in the system's 8-bit code page.
    if (FSendPosition == 0) {
        TWideStrings &lines = FEditor->WideLines();
        std::u16string wide;
        for (int i = 0; i < lines.GetCount(); ++i)
            wide += (i ? u"\r" : u"") + lines.Get(i);
        FSendText = WideToText(wide, LocaleCodePage(DefaultLanguage()));
    }
    return NextSendLine(FSendText, FSendPosition, Line);
}

void TInputWin::AppendReceived(const uint8_t *Data, int Size) {
    FAssembly.AppendReceived(Data, Size);
}

void TInputWin::AddReceivedLine(const std::string &Line, bool WithoutCR) {
    // A new, empty editor holds one empty line: the first line replaces it.
    bool empty = FEditor->LineCount() <= 1 && FEditor->TextLength() == 0;
    if (empty)
        FEditor->SetLine(0, Line);
    else
        FEditor->InsertLine(FEditor->LineCount(), Line);
    if (WithoutCR)
        FStatusBar1->setText(QString("Line %1 received without CR").arg(FEditor->LineCount()));
}

void TInputWin::SetEditorState(int State) {
    QPalette p = FEditor->palette();
    const QPalette standard = QWidget().palette();
    switch (State) {
    case 0:
        p.setColor(QPalette::Base, QColor(0x00, 0x80, 0x80));
        p.setColor(QPalette::Text, Qt::white);
        break;
    case 1:
        p.setColor(QPalette::Base, QColor(0x80, 0x00, 0x80));
        p.setColor(QPalette::Text, Qt::white);
        break;
    case 2:
        p.setColor(QPalette::Base, standard.color(QPalette::Base));
        p.setColor(QPalette::Text, standard.color(QPalette::Text));
        break;
    default:
        return;
    }
    FEditor->setPalette(p);
}

void TInputWin::EditorSelectionChange() {
    // The line count is that of the lines: a closing break adds none.
    const int line = FEditor->CaretLine() + 1;
    FStatusBar1->setText(QString("Line: %1 / %2, Column: %3")
                             .arg(line)
                             .arg(std::max(FEditor->Lines().GetCount(), line))
                             .arg(FEditor->CaretColumn() + 1));
}

QString TInputWin::Status() const {
    return FStatusBar1->text();
}

void TInputWin::closeEvent(QCloseEvent *Event) {
    if (OnCloseQuery && !OnCloseQuery(this)) {
        Event->ignore();
        return;
    }
    FAssembly.Reset();
    if (OnDestroyed)
        OnDestroyed(this);
    Event->accept();
}

} // namespace orv
