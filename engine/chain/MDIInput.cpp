#include "engine/chain/MDIInput.h"

#include "engine/core/Mess.h"

#include <algorithm>

namespace orv {

namespace {

constexpr int KeyEnter = 13;
const std::string CrLf = "\r\n";

} // namespace

std::string WithCrLf(const std::string &Text)
{
    std::string out;
    out.reserve(Text.size() + Text.size() / 16);
    for (size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        if (c == '\r') {
            if (i + 1 < Text.size() && Text[i + 1] == '\n')
                ++i;
            out += CrLf;
        } else if (c == '\n') {
            out += CrLf;
        } else {
            out += c;
        }
    }
    return out;
}

TMDIInput::TMDIInput(TComponent *Owner) : TBasicInput(Owner) {}

TMDIInput::~TMDIInput() = default;

void TMDIInput::SetView(std::unique_ptr<TMDIMemoView> View)
{
    FView = std::move(View);
    if (!FView)
        return;
    FView->Bind(this);
    FView->SetText(FText);
    FView->SetReadOnly(CycleState() == csRunning || CycleState() == csPaused);
}

void TMDIInput::SetupMenus(const std::vector<std::pair<std::string, int>> &MCodes,
                           const std::vector<std::string> &Lines)
{
    if (FView)
        FView->SetMCodeItems(MCodes);
    if (Lines.empty())
        return;
    std::string text = FText;
    for (const std::string &line : Lines) {
        if (!text.empty())
            text += CrLf;
        text += line;
    }
    SetTextQuietly(text);
    TextChanged(text);
}

void TMDIInput::ShowMemo(int Left, int Top, int Width, int Height)
{
    if (!FView)
        return;
    FView->Place(Left, Top, Width, Height);
    FView->Show();
}

std::vector<std::string> TMDIInput::SplitLines() const
{
    std::vector<std::string> lines;
    if (FText.empty())
        return lines;
    size_t start = 0;
    for (;;) {
        size_t at = FText.find(CrLf, start);
        if (at == std::string::npos) {
            lines.push_back(FText.substr(start));
            return lines;
        }
        lines.push_back(FText.substr(start, at - start));
        start = at + CrLf.size();
    }
}

void TMDIInput::SaveLines(std::vector<std::string> &List) const { List = SplitLines(); }

int TMDIInput::Lines() const
{
    if (FText.empty())
        return 0;
    int breaks = 0;
    for (size_t at = FText.find(CrLf); at != std::string::npos; at = FText.find(CrLf, at + 2))
        ++breaks;
    return breaks + 1;
}

// --- Edits ---

void TMDIInput::SetTextQuietly(const std::string &Text)
{
    FText = Text;
    if (FView)
        FView->SetText(FText);
}

void TMDIInput::FireChange(const std::string &Text)
{
    if (OnChange)
        OnChange(this, Text);
}

void TMDIInput::Restart()
{
    FReadPos = 0;
    FLineCount = 0;
}

int TMDIInput::LineOffset(int Count) const
{
    size_t at = 0;
    for (int n = 0; n < Count; ++n) {
        size_t cr = FText.find(CrLf, at);
        if (cr == std::string::npos)
            return (int)FText.size();
        at = cr + CrLf.size();
    }
    return (int)at;
}

void TMDIInput::TextChanged(const std::string &Text)
{
    FText = WithCrLf(Text);
    const bool inCycle = CycleState() == csRunning || CycleState() == csPaused;
    if (!inCycle)
        Restart();
    else if (FReadPos != -1)
        FReadPos = LineOffset(FLineCount);
    if (Lines() <= LineLimit)
        FireChange("");
}

bool TMDIInput::RefuseKey(int Key)
{
    int lines = Lines();
    bool refuse = (Key == KeyEnter && lines == LineLimit) || lines > LineLimit;
    if (refuse)
        FireChange(Mess().Translate(LineLimitText));
    return refuse;
}

void TMDIInput::CutToLineLimit()
{
    if (Lines() <= LineLimit)
        return;
    size_t at = 0;
    for (int n = 0; n < LineLimit; ++n)
        at = FText.find(CrLf, n == 0 ? 0 : at + 2);
    SetTextQuietly(FText.substr(0, at));
    TextChanged(FText);
}

// --- Source contract ---

void TMDIInput::NewFile()
{
    SetTextQuietly("");
    Restart();
}

void TMDIInput::Rewind()
{
    if (FView)
        FView->ClearSelection();
    Restart();
}

// Every line runs, an empty one too; the end is reported on the read after
// the last line, once no text is left past the read position. Reads after
// the end keep reporting it until the source is rewound or stopped: the
// stages read ahead past the end, and must not run the memo's blocks (and
// their macro assignments) a second time.
int TMDIInput::ReadLine(std::string &Line, int &LineNumber, int &Level)
{
    LineNumber = ++FLineCount;
    Level = 0;
    Line.clear();
    if (FReadPos == -1) {
        FLineCount = 0;
        return EndOfMainProgram;
    }
    std::string rest = FReadPos < (int)FText.size() ? FText.substr(FReadPos) : std::string();
    size_t cr = rest.find('\r');
    FLineLength = cr == std::string::npos ? (int)rest.size() : (int)cr;
    Line = rest.substr(0, FLineLength);
    if (rest.empty()) {
        FReadPos = -1;
        FLineCount = 0;
        return EndOfMainProgram;
    }
    int position = FReadPos;
    FReadPos += FLineLength + 2;
    return position;
}

int TMDIInput::FindLabel(const std::string &Text)
{
    std::vector<std::string> lines = SplitLines();
    for (size_t i = 0; i < lines.size(); ++i)
        if (LineCarriesLabel(lines[i], Text))
            return (int)i;
    return -1;
}

void TMDIInput::GetLine(int Index, std::string &Text)
{
    std::vector<std::string> lines = SplitLines();
    Text = Index >= 0 && Index < (int)lines.size() ? lines[Index] : std::string();
}

void TMDIInput::HiliteLine(int Position, int Level)
{
    if (!FView || Position < 0 || Position > (int)FText.size())
        return;
    size_t cr = FText.find('\r', Position);
    int end = cr == std::string::npos ? (int)FText.size() : (int)cr;
    FView->SetSelection(Position, end - Position);
}

void TMDIInput::FlashLine(int Line)
{
    if (!FView)
        return;
    std::vector<std::string> lines = SplitLines();
    if (Line < 0 || Line >= (int)lines.size())
        return;
    int start = 0;
    for (int i = 0; i < Line; ++i)
        start += (int)lines[i].size() + 2;
    FView->SetFocus();
    FView->SetSelection(start, (int)lines[Line].size());
}

void TMDIInput::SetCycleState(TCycleState State)
{
    TBasicInput::SetCycleState(State);
    if (FView)
        FView->SetReadOnly(State == csRunning || State == csPaused);
    if (State == csStopped) {
        if (Lines() <= LineLimit)
            FireChange("");
        Restart();
        if (FView)
            FView->ClearSelection();
    } else if (State == csRewind) {
        Rewind();
    }
}

} // namespace orv
