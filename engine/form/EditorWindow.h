#pragma once
// An NC editor window as the editor source sees it: the program text by
// lines and character positions (lines end with one break character), the
// caret and selection, the file commands, the run position the source keeps
// in it, and what the run locks. The shell's editor window implements it;
// tests use a window held in memory.

#include "engine/chain/BasicInput.h"

#include <string>

namespace orv {

// Billet X, Y, Z sizes (mm) and a fourth value carried unchanged.
struct TBilletSize {
    double X = 0;
    double Y = 0;
    double Z = 0;
    double Spare = 0;
};

class TEditorWindow {
public:
    virtual ~TEditorWindow() = default;

    // Text: lines from 0, positions in characters. A line's text is in the
    // program's 8-bit code page, without its break.
    virtual int TextLength() const = 0;
    virtual int LineCount() const = 0;
    virtual int LineStart(int Line) const = 0;
    // The line that holds character Position (the last line past the end).
    virtual int LineOfChar(int Position) const = 0;
    virtual std::string LineText(int Line) const = 0;

    // Caret and selection.
    virtual int SelStart() const = 0;
    virtual int SelLength() const = 0;
    virtual void Select(int Start, int Length) = 0;
    // Moves the caret to a line, keeping its column.
    virtual void SetCaretLine(int Line) = 0;
    virtual bool TextHasFocus() const = 0;
    virtual void ReleaseTextFocus() = 0;

    // File commands (see the editor window).
    virtual void NewFile() = 0;
    virtual bool LoadFromFile(const std::string &FileName) = 0;
    virtual void SaveFile() = 0;
    virtual void SaveFileAs(std::string &FileName) = 0;
    // True when the text may go (saved or not wanted); AllowCancel offers
    // Cancel, which answers false.
    virtual bool CheckSaveChanges(bool AllowCancel) = 0;

    // What a run locks: the Editor menu's items and the text.
    virtual void SetMenuEnabled(bool Enabled) = 0;
    virtual void SetReadOnly(bool ReadOnly) = 0;

    // Values the block wizard uses.
    virtual void SetUnits(TUnits Units) = 0;
    virtual void SetBillet(const TBilletSize &Billet) = 0;
    virtual void SetMachineName(const std::string &Name) = 0;
    virtual void SetToolCount(int Count) = 0;
    virtual void SetToolingFile(const std::string &FileName) = 0;
    virtual void UpdateWizard() = 0;

    // Events of the window: the "Show 2D Draw Element" line, every text
    // change, and the caret's line (from 1) when it moves below the first.
    virtual void SetOnHiliteOutput(THiliteEvent Event) = 0;
    virtual void SetOnEditorChange(std::function<void(TObject *Sender)> Event) = 0;
    virtual void SetLineSelectChanged(TLineChangeNotifyEvent Event) = 0;

    // Placement (pixels), for the windows of nested levels.
    struct TBounds {
        int Left = 0, Top = 0, Width = 0, Height = 0;
    };
    virtual TBounds Bounds() const = 0;
    virtual void SetBounds(const TBounds &Bounds) = 0;
    virtual void ShowWindow() = 0;
    // The expanded-code strip, as a child of the window; null without one.
    virtual std::unique_ptr<TExpandedView> CreateExpandedView() { return nullptr; }

    // The source's run position: character offset of the next line to read
    // (-1 past the end) and its number (from 1).
    int RunCharPos = 0;
    int RunLine = 0;
};

} // namespace orv
