#pragma once
// The manual-data-input source: the blocks the operator types into the
// control panel's MDI memo (at most 100 lines), run at once in MDI mode.
// The text is kept here with CR LF line ends, and character offsets count
// them; the memo widget (TMDIMemoView) shows it, reports every edit back and
// shows the running line as its selection. No files, no nested levels.

#include "engine/chain/BasicInput.h"
#include "engine/core/data_types.h"

#include <memory>
#include <string>
#include <vector>

namespace orv {

// The memo as the source sees it. Offsets are characters of the CR LF text.
class TMDIInput;

class TMDIMemoView {
public:
    virtual ~TMDIMemoView() = default;
    // The source the memo reports its edits and keys to.
    virtual void Bind(TMDIInput *Input) {}
    // Replaces the shown text (CR LF line ends) without reporting it back.
    virtual void SetText(const std::string &Text) = 0;
    virtual void SetSelection(int Start, int Length) = 0;
    virtual void ClearSelection() = 0;
    virtual void SetFocus() = 0;
    virtual void Place(int Left, int Top, int Width, int Height) = 0;
    virtual void Show() = 0;
    // The memo takes no edits while the cycle runs or is paused (its popup
    // then offers only what reads the text).
    virtual void SetReadOnly(bool ReadOnly) {}
    // Rebuilds the popup menu: "M Codes" (one item per entry), "Edit",
    // "Clear all MDI".
    virtual void SetMCodeItems(const std::vector<std::pair<std::string, int>> &Items) = 0;
};

class TMDIInput : public TBasicInput {
public:
    static constexpr int LineLimit = 100;
    static constexpr const char *LineLimitText = "Reached MDI Line Limit";

    explicit TMDIInput(TComponent *Owner = nullptr);
    ~TMDIInput() override;

    // Binds the memo (owned); it starts hidden until ShowMemo.
    void SetView(std::unique_ptr<TMDIMemoView> View);
    TMDIMemoView *View() const { return FView.get(); }

    // The popup's "M Codes" items (caption, M number) and Lines appended to
    // the memo.
    void SetupMenus(const std::vector<std::pair<std::string, int>> &MCodes,
                    const std::vector<std::string> &Lines);
    void ShowMemo(int Left, int Top, int Width, int Height);
    // List := the memo's lines.
    void SaveLines(std::vector<std::string> &List) const;

    // --- The memo's edits ---
    // The memo's whole text after an edit (LF or CR LF line ends). A change
    // restarts reading at the first line; one that still comes while the
    // cycle runs or is paused keeps the lines already read as read, so no
    // block runs twice. OnChange fires with an empty text while the memo
    // holds at most 100 lines.
    void TextChanged(const std::string &Text);
    // A key about to be typed: true when it is refused ("Reached MDI Line
    // Limit" through OnChange): Enter on exactly 100 lines, any key on more.
    bool RefuseKey(int Key);
    // After a paste: a memo of more than 100 lines loses everything from
    // its 100th line break on.
    void CutToLineLimit();
    const std::string &Text() const { return FText; }
    // Lines of the memo: line breaks + 1 (an empty memo has none).
    int Lines() const;

    // --- The source contract ---
    void NewFile() override;
    bool LoadFile(std::string &FileName) override { return false; }
    void Rewind() override;
    // The next memo line: its character offset, or -1 once no text is left
    // (a final line without a line end is still run); -1 again on every read
    // after that until Rewind, a stop or an edit starts a new pass.
    int ReadLine(std::string &Line, int &LineNumber, int &Level) override;
    // Index (from 0) of the first line carrying the label, -1 when none.
    int FindLabel(const std::string &Text) override;
    void GetLine(int Index, std::string &Text) override;
    uint8_t GetState() override { return 0; }
    // Selects from Position up to the line's end.
    void HiliteLine(int Position, int Level) override;
    // Focuses the memo and selects line Line (from 0).
    void FlashLine(int Line) override;
    void SetCycleState(TCycleState State) override;

    int ReadPos() const { return FReadPos; }
    int LineCount() const { return FLineCount; }
    int LineLength() const { return FLineLength; }

    // Empty text on every change; "Reached MDI Line Limit" when a key is refused.
    EStringNotify OnChange;

private:
    std::vector<std::string> SplitLines() const;
    void Restart();
    // The offset after the first Count lines (the text's length when it has
    // fewer).
    int LineOffset(int Count) const;
    void FireChange(const std::string &Text);
    void SetTextQuietly(const std::string &Text);

    std::string FText; // CR LF line ends
    int FReadPos = 0;
    int FLineCount = 0;
    int FLineLength = 0;
    std::unique_ptr<TMDIMemoView> FView;
};

// Text with every line end as CR LF (from LF, CR LF or lone CR).
std::string WithCrLf(const std::string &Text);

} // namespace orv
