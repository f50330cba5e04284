#pragma once
// The program-source contract: whatever holds the NC program (a file read
// line by line, the editor, a compiled move file, the panel's MDI memo, a
// Fanuc screen's memory) is one TBasicInput to the engine, which reads its
// lines during a run, has it highlight the running line and flash a line
// after an error, and tells it the run state. Sub-programs run as nested
// levels. The expanded-code strip shows the text of generated blocks.

#include "engine/core/data_types.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orv {

// One record of a compiled move file (".XNC"), 120 bytes.
using TCompiledRecord = std::array<uint8_t, 120>;

// Line-selection and highlight events of a source.
using TLineChangeNotifyEvent = std::function<void(TObject *sender, int SelectedLine)>;
using THiliteEvent = std::function<void(TObject *sender, int CNCLine)>;

class TBasicInput;
// A control panel that brings its own MDI source asks the engine to take it
// (Show true) or to give it back (Show false).
using TMDISourceIP = std::function<void(TObject *Sender, TBasicInput *&MDIInput, bool Show)>;

// Results of ReadLine besides a line's position.
constexpr int EndOfMainProgram = -1;
constexpr int EndOfLevel = -2;
// The source could not be read; LastError() says why. The next call gives
// the end of the program.
constexpr int ReadLineFailed = -3;

// The strip that shows generated code ("Expanded Code"), as a source sees it.
class TExpandedView {
public:
    virtual ~TExpandedView() = default;
    virtual void SetCode(const std::string &Text) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
};

// What the open dialog of a source shows.
struct TOpenDialogSettings {
    std::string Filter = "Fanuc Mill File (*.fnc)|*.fnc|All Files (*.*)|*.*";
    std::string DefaultExt = "fnc";
    std::string Title = "Open Fanuc Mill File";
    std::string InitialDir;
};

// True when the line carries the label ("N120"): the label's letter (either
// case), then a number ("+", "-", "." and digits) equal to the label's.
bool LineCarriesLabel(const std::string &Line, const std::string &Label);

class TBasicInput : public TObject {
public:
    explicit TBasicInput(TComponent *Owner = nullptr) : FOwner(Owner) {}
    ~TBasicInput() override;
    TBasicInput(const TBasicInput &) = delete;
    TBasicInput &operator=(const TBasicInput &) = delete;

    virtual void SetOnHiliteOutput(THiliteEvent Event) { OnHiliteOutput = std::move(Event); }
    virtual void SetCycleState(TCycleState State) { FCycleState = State; }
    virtual void SetLineSelectChanged(TLineChangeNotifyEvent Event);
    // Empties the program.
    virtual void NewFile() {}
    // Opens FileName, or asks for a file when FileName has no file part
    // (FileName returns the choice). True when a program was loaded.
    virtual bool LoadFile(std::string &FileName) { return false; }
    virtual void SaveFile() {}
    // Saves under a new name, returned in FileName (the base clears it).
    virtual void SaveFileAs(std::string &FileName) { FileName.clear(); }
    // Continues at the first line of the main program.
    virtual void Rewind() {}
    // Next line of the current level, with its line number (from 1) and
    // level. Result: the line's character position in the source, or
    // EndOfMainProgram, EndOfLevel or ReadLineFailed. The base is an empty
    // program.
    virtual int ReadLine(std::string &Line, int &LineNumber, int &Level);
    // Continues reading at a line index (from 0).
    virtual void GotoLine(int &Line) {}
    // Next compiled record; false when there is none.
    virtual bool ReadRecord(TCompiledRecord &Rec) { return false; }
    // Index of the first line that carries the label ("N100"), -1 when none.
    virtual int FindLabel(const std::string &Text) { return -1; }
    virtual void GetLine(int Index, std::string &Text) {}
    // 0 not started, 1 within the program, 2 at its end.
    virtual uint8_t GetState() { return 0; }
    // Marks the running line by character position and level.
    virtual void HiliteLine(int Position, int Level) {}
    // Draws the operator's eye to a line (index from 0) after an error.
    virtual void FlashLine(int Line) {}
    // False hides the expanded-code strip; true does nothing here.
    virtual void ShowExpanded(bool Show);
    // Shows Text in the expanded-code strip, when the source has one.
    virtual void ShowExpandedText(const std::string &Text);
    virtual void HideExpanded();
    // Opens nested level Level for a sub-program; true when a new level
    // holder was made.
    virtual bool PushLevel(int Level) { return false; }
    // Closes the current nested level.
    virtual void PopLevel() {}
    // Back to the previous level without closing the current one.
    virtual void DecLevel() {}
    // Sets a level back to its first line.
    virtual void RewindLevel(int Level) {}

    // Why the last ReadLine gave ReadLineFailed.
    const std::string &LastError() const { return FLastError; }
    TCycleState CycleState() const { return FCycleState; }
    TComponent *Owner() const { return FOwner; }

    TLineChangeNotifyEvent OnLineSelectChanged;
    THiliteEvent OnHiliteOutput;
    // The open dialog; descendants set their filter and title.
    TOpenDialogSettings OpenDialog;
    // The expanded-code strip; only the editor source has one.
    std::unique_ptr<TExpandedView> Expanded;

protected:
    // Shows the open dialog (through the message service); true with the
    // chosen file in FileName.
    bool ExecuteOpenDialog(std::string &FileName) const;
    std::string FLastError;

private:
    TComponent *FOwner;
    TCycleState FCycleState = csStopped;
};

} // namespace orv
