#include "engine/form/EditorInput.h"

#include "platform/NumberText.h"
#include "platform/Paths.h"

namespace orv {

namespace {
constexpr int FlashPhaseMs = 250;
constexpr int FlashPhases = 5; // selected, off, on, off, on
} // namespace

TEditorInput::TEditorInput(TComponent *Owner, TWindowFactory Factory)
    : TBasicInput(Owner), FFactory(std::move(Factory))
{
    OpenDialog.Filter = "Fanuc Miller File (*.fnc)|*.FNC|All Files (*.*)|*.*";
    OpenDialog.DefaultExt = "FNC";
    OpenDialog.Title = "Open CNC File";
    FEditors.push_back(MakeEditor());
    Expanded = FEditors[0]->CreateExpandedView();
    FFlashTimer.SetInterval(FlashPhaseMs);
    FFlashTimer.OnTimer = [this] { FlashStep(); };
}

TEditorInput::~TEditorInput()
{
    FFlashTimer.SetEnabled(false);
    Expanded.reset();
    for (auto &editor : FEditors)
        editor->CheckSaveChanges(false);
    FEditors.clear();
}

std::unique_ptr<TEditorWindow> TEditorInput::MakeEditor()
{
    std::unique_ptr<TEditorWindow> editor = FFactory();
    editor->SetOnHiliteOutput(FHilite);
    editor->SetOnEditorChange([this](TObject *Sender) {
        if (OnChange)
            OnChange(Sender);
    });
    editor->SetLineSelectChanged(OnLineSelectChanged);
    editor->SetUnits(FUnits);
    editor->SetBillet(FBillet);
    editor->SetMachineName(FMachineName);
    editor->SetToolCount(FToolCount);
    editor->SetToolingFile(FToolingFile);
    editor->ShowWindow();
    return editor;
}

void TEditorInput::SetOnHiliteOutput(THiliteEvent Event)
{
    FHilite = Event;
    CurrentEditor().SetOnHiliteOutput(std::move(Event));
}

void TEditorInput::SetCycleState(TCycleState State)
{
    TBasicInput::SetCycleState(State);
    for (auto &editor : FEditors) {
        editor->SetMenuEnabled(State != csRunning);
        editor->SetReadOnly(State == csRunning);
    }
}

void TEditorInput::SetLineSelectChanged(TLineChangeNotifyEvent Event)
{
    TBasicInput::SetLineSelectChanged(Event);
    CurrentEditor().SetLineSelectChanged(std::move(Event));
}

void TEditorInput::NewFile()
{
    TEditorWindow &editor = CurrentEditor();
    editor.NewFile();
    editor.RunCharPos = 0;
    editor.RunLine = 0;
}

bool TEditorInput::LoadFile(std::string &FileName)
{
    TEditorWindow &editor = CurrentEditor();
    bool loaded = false;
    if (!ExtractFileName(NormalisePath(FileName)).empty()) {
        if (UpperCase(ExtractFileExt(FileName)) == ".XNC")
            return false;
        loaded = editor.LoadFromFile(FileName);
    } else {
        OpenDialog.InitialDir = ExtractFilePath(NormalisePath(FileName));
        if (ExecuteOpenDialog(FileName))
            loaded = editor.LoadFromFile(FileName);
    }
    editor.RunCharPos = 0;
    editor.RunLine = 0;
    return loaded;
}

void TEditorInput::SaveFile() { CurrentEditor().SaveFile(); }

void TEditorInput::SaveFileAs(std::string &FileName) { CurrentEditor().SaveFileAs(FileName); }

void TEditorInput::Rewind()
{
    while (FEditors.size() > 1) {
        FEditors.back()->CheckSaveChanges(false);
        FEditors.pop_back();
    }
    FCurrent = 0;
    FLevelIndex = 0;
    TEditorWindow &editor = *FEditors[0];
    editor.RunCharPos = 0;
    editor.RunLine = 0;
    editor.Select(0, 0);
    FReadStarted = false;
}

int TEditorInput::ReadLine(std::string &Line, int &LineNumber, int &Level)
{
    FCurrent = std::min(FLevelIndex, (int)FEditors.size() - 1);
    TEditorWindow &editor = CurrentEditor();
    const bool nested = FLevelIndex > 0;
    Level = FLevelIndex;
    // An empty main program has no line at all, so its first read ends it.
    if (editor.RunCharPos < 0 || editor.RunCharPos > editor.TextLength() ||
        (!nested && editor.TextLength() == 0)) {
        editor.RunCharPos = -1;
        LineNumber = editor.RunLine;
        Line.clear();
        return nested ? EndOfLevel : EndOfMainProgram;
    }
    editor.RunLine += 1;
    if (!nested && !FReadStarted) {
        // The operator starts the program from the line the caret is on.
        const int caretLineStart = editor.LineStart(editor.LineOfChar(editor.SelStart()));
        if (caretLineStart != editor.RunCharPos && editor.SelStart() != 0 &&
            editor.SelLength() == 0) {
            editor.RunLine = editor.LineOfChar(editor.SelStart()) + 1;
            editor.RunCharPos = caretLineStart;
        }
    }
    FReadStarted = true;
    LineNumber = editor.RunLine;
    const int start = editor.RunCharPos;
    const int line = editor.LineOfChar(start);
    Line = editor.LineStart(line) == start ? editor.LineText(line) : std::string();
    if (Line.size() == 1 && Line[0] == '\0')
        Line.clear();
    editor.RunCharPos = start + (int)Line.size() + 1;
    if (nested && editor.RunCharPos > editor.TextLength())
        editor.RunCharPos = -1;
    return start;
}

void TEditorInput::GotoLine(int &Line)
{
    if (Line <= 0)
        return;
    TEditorWindow &editor = CurrentEditor();
    editor.SetCaretLine(Line);
    editor.RunLine = Line;
    editor.RunCharPos = editor.LineStart(std::min(Line, editor.LineCount() - 1));
}

int TEditorInput::FindLabel(const std::string &Text)
{
    if (Text.empty())
        return -1;
    const TEditorWindow &editor = *FEditors[0];
    const std::string lowerLetter = LowerCase(Text.substr(0, 1));
    long double wanted = 0;
    if (!TryStrToFloat(Text.substr(1), wanted))
        return -1;
    for (int i = 0; i < editor.LineCount(); ++i) {
        const std::string line = editor.LineText(i);
        size_t at = line.find(Text[0]);
        if (at == std::string::npos)
            at = line.find(lowerLetter);
        if (at == std::string::npos)
            continue;
        size_t end = at + 1;
        while (end < line.size() && (line[end] == '+' || line[end] == '-' || line[end] == '.' ||
                                     (line[end] >= '0' && line[end] <= '9')))
            ++end;
        long double number = 0;
        if (TryStrToFloat(line.substr(at + 1, end - at - 1), number) && number == wanted)
            return i;
    }
    return -1;
}

uint8_t TEditorInput::GetState()
{
    if (FEditors.empty())
        return 0;
    const TEditorWindow &editor = CurrentEditor();
    const int caretLine = editor.LineOfChar(editor.SelStart());
    // The first line before the run has read it is the start, also when it
    // is the program's only line (else a one-line program could never
    // start again after its rewind).
    if (caretLine == 0 && editor.RunCharPos == 0)
        return 0;
    if (caretLine >= editor.LineCount() - 1)
        return 2;
    return caretLine >= 1 ? 1 : 0;
}

void TEditorInput::SelectLine(TEditorWindow &Window, int Line)
{
    const int start = Window.LineStart(Line);
    const int length = std::max(1, (int)Window.LineText(Line).size());
    Window.Select(start, length);
}

void TEditorInput::HiliteLine(int Position, int Level)
{
    if (Level < 0 || Level >= (int)FEditors.size())
        return;
    TEditorWindow &editor = *FEditors[Level];
    if (editor.TextHasFocus())
        editor.ReleaseTextFocus();
    const int line = editor.LineOfChar(Position);
    // Past the end first, then back: the line scrolls into view.
    editor.Select(std::min(Position + 100, editor.TextLength()), 0);
    editor.Select(Position, 0);
    SelectLine(editor, line);
    FCurrent = std::min(FLevelIndex, (int)FEditors.size() - 1);
}

void TEditorInput::FlashLine(int Line)
{
    TEditorWindow &editor = CurrentEditor();
    if (Line < 0 || Line >= editor.LineCount())
        return;
    FFlashLine = Line;
    FFlashPhase = 0;
    editor.Select(editor.LineStart(Line), 0);
    SelectLine(editor, Line);
    FFlashTimer.SetEnabled(true);
}

void TEditorInput::FlashStep()
{
    TEditorWindow &editor = CurrentEditor();
    ++FFlashPhase;
    if (FFlashPhase >= FlashPhases || FFlashLine >= editor.LineCount()) {
        FFlashTimer.SetEnabled(false);
        return;
    }
    if (FFlashPhase % 2 == 1)
        editor.Select(editor.LineStart(FFlashLine), 0);
    else
        SelectLine(editor, FFlashLine);
}

bool TEditorInput::PushLevel(int Level)
{
    bool made = false;
    if ((int)FEditors.size() == Level + 1) {
        const TEditorWindow::TBounds current = CurrentEditor().Bounds();
        std::unique_ptr<TEditorWindow> editor = MakeEditor();
        editor->SetBounds({current.Left + current.Width, current.Top, current.Width, current.Height});
        FEditors.push_back(std::move(editor));
        made = true;
    }
    FLevelIndex = Level + 1;
    FCurrent = std::min(FLevelIndex, (int)FEditors.size() - 1);
    return made;
}

void TEditorInput::PopLevel()
{
    if (FEditors.size() > 1) {
        FEditors[FCurrent]->CheckSaveChanges(false);
        FEditors.erase(FEditors.begin() + FCurrent);
        FCurrent = std::max(0, FCurrent - 1);
    }
    FLevelIndex = std::max(0, FLevelIndex - 1);
}

void TEditorInput::DecLevel() { FLevelIndex = std::max(0, FLevelIndex - 1); }

void TEditorInput::RewindLevel(int Level)
{
    if (Level < 0 || Level >= (int)FEditors.size())
        return;
    FEditors[Level]->RunCharPos = 0;
    FEditors[Level]->RunLine = 0;
}

void TEditorInput::SetUnits(TUnits Units)
{
    FUnits = Units;
    for (auto &editor : FEditors)
        editor->SetUnits(Units);
}

void TEditorInput::SetBillet(const TBilletSize &Billet)
{
    FBillet = Billet;
    for (auto &editor : FEditors)
        editor->SetBillet(Billet);
}

void TEditorInput::SetMachineName(const std::string &Name)
{
    FMachineName = Name;
    for (auto &editor : FEditors)
        editor->SetMachineName(Name);
}

void TEditorInput::SetToolCount(int Count)
{
    FToolCount = Count;
    for (auto &editor : FEditors)
        editor->SetToolCount(Count);
}

void TEditorInput::SetToolingFile(const std::string &FileName)
{
    FToolingFile = FileName;
    for (auto &editor : FEditors)
        editor->SetToolingFile(FileName);
}

void TEditorInput::UpdateEditor()
{
    for (auto &editor : FEditors) {
        editor->SetUnits(FUnits);
        editor->SetMachineName(FMachineName);
        editor->SetBillet(FBillet);
        editor->UpdateWizard();
    }
}

} // namespace orv
