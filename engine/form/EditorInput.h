#pragma once
// The editor source (kind 2): runs the program open in an NC editor window,
// reading its text line by line from the caret's line on, marking the line
// that runs, flashing a line after an error and locking the text while a
// run is active. Each sub-program level runs in an editor window of its
// own, placed right of the one before. The windows come from a factory the
// main window gives (TEditorWindow).

#include "engine/chain/BasicInput.h"
#include "engine/form/EditorWindow.h"

#include "platform/EventLoop.h"

#include <functional>
#include <memory>
#include <vector>

namespace orv {

class TEditorInput : public TBasicInput {
public:
    using TWindowFactory = std::function<std::unique_ptr<TEditorWindow>()>;
    // Makes editor window 0 at once, with its expanded-code strip.
    TEditorInput(TComponent *Owner, TWindowFactory Factory);
    ~TEditorInput() override;

    void SetOnHiliteOutput(THiliteEvent Event) override;
    // Locks the text and the Editor menu while State is csRunning.
    void SetCycleState(TCycleState State) override;
    void SetLineSelectChanged(TLineChangeNotifyEvent Event) override;
    void NewFile() override;
    // A name with a file part is loaded into the current window (not an
    // ".XNC" file); without one the open dialog asks.
    bool LoadFile(std::string &FileName) override;
    void SaveFile() override;
    void SaveFileAs(std::string &FileName) override;
    void Rewind() override;
    // The next line of the current level. The first read of a run in the
    // main level starts at the caret's line when the caret is not at the
    // very start and nothing is selected. Result: the line's first
    // character position, or -1 one read after the last line of the main
    // program.
    int ReadLine(std::string &Line, int &LineNumber, int &Level) override;
    void GotoLine(int &Line) override;
    // Index (from 0) of the first line of the main program that carries the
    // label (letter, then a number equal to the label's); -1 when none.
    int FindLabel(const std::string &Text) override;
    uint8_t GetState() override;
    void HiliteLine(int Position, int Level) override;
    // Selects the line (index from 0) for 250 ms, twice deselected and
    // selected again, on the platform clock.
    void FlashLine(int Line) override;
    bool PushLevel(int Level) override;
    void PopLevel() override;
    void DecLevel() override;
    void RewindLevel(int Level) override;

    // Values the engine form passes on to the window and its wizard.
    void SetUnits(TUnits Units);
    void SetBillet(const TBilletSize &Billet);
    void SetMachineName(const std::string &Name);
    void SetToolCount(int Count);
    void SetToolingFile(const std::string &FileName);
    void UpdateEditor();
    // The engine form's EditorChanged; every window fires it on a change.
    std::function<void(TObject *Sender)> OnChange;

    int LevelIndex() const { return FLevelIndex; }
    int EditorCount() const { return (int)FEditors.size(); }
    TEditorWindow &Editor(int Level) const { return *FEditors.at(Level); }
    TEditorWindow &CurrentEditor() const { return *FEditors.at(FCurrent); }
    bool Flashing() const { return FFlashTimer.Enabled(); }

private:
    std::unique_ptr<TEditorWindow> MakeEditor();
    void SelectLine(TEditorWindow &Window, int Line);
    void FlashStep();

    TWindowFactory FFactory;
    std::vector<std::unique_ptr<TEditorWindow>> FEditors;
    int FCurrent = 0;
    int FLevelIndex = 0;
    bool FReadStarted = false;
    TUnits FUnits = Metric;
    TBilletSize FBillet;
    std::string FMachineName;
    int FToolCount = 0;
    std::string FToolingFile;
    THiliteEvent FHilite;
    TTimer FFlashTimer;
    int FFlashLine = 0;
    int FFlashPhase = 0;
};

} // namespace orv
