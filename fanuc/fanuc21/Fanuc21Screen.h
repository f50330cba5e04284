#pragma once
// The Fanuc 21i-MA operator station as a model with no window: the CRT's
// function pages (OFFSET, POSITION, PROGRAM, WORK SHIFT, HELP), soft keys,
// status line, key-in line and readouts; the 44-key MDI keypad, the 44 LED
// operator buttons, the emergency stop and the feed-override knob; the
// program and MDI memories. It is the engine's program source of kind 4
// (its TFanuc21Input) and control panel (its TFanucControlPanel); it reaches
// the engine only through OnOpsCommand / OnOpsCommandStop with a
// panel-command code. The window (fanuc/ui) paints Labels, Leds and the
// current pane and passes mouse and keys in.

#include "engine/core/data_types.h"
#include "engine/form/FanucScreen.h"
#include "fanuc/FScreenUnit.h"
#include "fanuc/FanucMemory.h"
#include "fanuc/PCKeys.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orv {
struct TMachineReadout;
class TTimer;
} // namespace orv

namespace orv::fanuc {

class TFanuc21Input;
class TFanucControlPanel;
class TFanucOffs;
class TFanucWShiftForm;
struct TButtType;
struct TLedRows;

// The five soft-key labels of a page.
using TSoftKeyLabels = std::array<const char *, 5>;

// One text of the screen model: label, caption or panel.
struct TScreenLabel {
    std::string Text;
    bool Visible = true;
    bool Inverted = false;
};

enum TFunctionPage : uint8_t { fpOffset, fpPosition, fpProgram, fpWorkShift, fpHelp };

// The controls that open a help popup in help mode.
enum THelpControl : uint8_t { hcKeypadKey, hcOperatorButton, hcSoftKey, hcEstop };

// A help popup: the topic Context of HelpFile, shown with its top-left
// corner at X, Y (screen pixels: the top-left corner of the control asked about).
struct THelpPopup {
    std::string HelpFile;
    int Context = 0;
    THelpControl Control = hcKeypadKey;
    int Index = 0; // keypad key, operator-button row or soft-key Tag
    int X = 0, Y = 0;
};

class TFanucScreen : public orv::TFanucScreen {
public:
    // Creation and show: memories "O0000" "%" and "%", POSITION page, status
    // "EDIT", the key codes from [Button Map] of the main settings file.
    TFanucScreen();
    // Asks for a file name with the save dialog when the memory was edited.
    ~TFanucScreen() override;

    TBasicInput *Input() override;
    TBasicControlPanel *ControlPanel() override;
    void Initialise() override;
    void SetUnits(TUnits Value) override;
    void RefreshOffsetPage() override;
    void RefreshWorkShiftPage() override;
    void SetConvertor(TConvert *Value) override { Convertor = Value; }
    void SetMachineTooling(TMachine_Tooling *Value) override { MachineTooling = Value; }
    void SetWorkOffset(TWork_piece_offset *Value) override { WorkOffset = Value; }

    // --- What the panel calls ---
    virtual void ShowMachineMode(TMachineMode Mode);
    // Positions in mm, shown in the station's units.
    void ShowPositions(const TMachineReadout &Report);
    virtual void ShowCycleState(TCycleState State);
    virtual void ShowStatusItem(int Code);
    virtual void ShowKnob(int Percent);
    virtual void ShowOverride(int Percent);
    void SendCommand(int Code);
    void SetLed(int Row, bool On);

    // --- Program memory ---
    // False with "Error trying to open file" and the name when the file
    // cannot be read; memory and FileName then stay.
    bool LoadProgram(const std::string &Name);
    bool SaveProgram(const std::string &Name);
    void NewProgram();
    void OpenProgram();
    // The input's save-as; a cancelled dialog leaves Modified and FileName.
    void SaveProgramAs();
    void ResetControl();

    // --- Input ---
    // A keypad key (0 to 43) pressed and released.
    virtual void KeypadMouseDown(int Key);
    virtual void KeypadMouseUp(int Key);
    // A key of the PC keyboard (virtual key; Character as the layout gives
    // it, 0: the plain keyboard's character of the key).
    virtual void KeyDown(int Key, char Character = 0);
    virtual void EditKey(int Code, const std::string &Text);
    virtual std::string KeyInText() const { return FKeyIn; }
    virtual void ClearKeyIn();
    // Soft key by Tag: 1 return, 2 to 6 under labels 1 to 5, 7 continue.
    virtual void SoftKey(int Tag);
    // Operator button by row of the table.
    virtual void OpButtMouseDown(int Row);
    void OpButtMouseUp(int Row);
    void EstopClick();
    void KnobMouseDown(int X, int Y);
    void KnobMouseMove(int X, int Y);
    void KnobMouseUp();
    void KnobStep(bool Up);
    // A key of the PC keyboard let go: status fields 3 and 4 back to idle.
    void KeyUp();
    // "Hide -->": the keypad panel on or off (width 732 or 508).
    virtual void ToggleRightPanel();
    // "Hide Buttons" of the "View Buttons" menu: the whole window, 732 px,
    // so the keypad panel shows again.
    void HideButtons();
    // The 500 ms display timer's tick.
    void TimerTick();

    // --- Pages ---
    virtual void ShowFunctionPage(int Page);
    virtual void ShowSoftKeyPage(int Page);
    // The labels of a soft-key page (none: a page without labels).
    virtual const TSoftKeyLabels *SoftKeyPageLabels(int Page) const;
    virtual void SetPositionDisplay(int Kind);
    void PresetRelative(bool WithValue);
    void ShowProgramCheck(bool On);

    // The screen model.
    TScreenLabel &Label(const std::string &Name) { return Labels[Name]; }
    std::string Text(const std::string &Name) const;
    bool Visible(const std::string &Name) const;
    // Every label, LED and the current pane as text, one item a line.
    std::string Dump() const;
    virtual const std::vector<TButtType> &Buttons() const;
    // The rows whose LEDs the station and its panel drive.
    const TLedRows *LedRows = nullptr;
    // Pixels of vertical drag for a knob step.
    int KnobStepPixels = 2;
    // The 0M writes its end marker "%" as a line of its own.
    bool WriteEndMarker = false;

    std::map<std::string, TScreenLabel> Labels;
    std::vector<bool> Leds;
    TFanucMemory Program, MDI;
    TFScreen ProgramPane, MDIPane;
    TFScreen *CurrentPane = &ProgramPane;
    std::vector<std::pair<int, int>> KeyCodes; // per keypad key: code, shifted code
    bool Shift = false;
    int FunctionPage = fpPosition;
    int SoftKeyPage = -1;
    uint8_t SelectedAxis = 4; // 0 X, 1 Y, 2 Z, 3 all, 4 none
    uint8_t PositionDisplay = 0; // 0 absolute, 1 relative, 2 all
    TUnits Units = Metric;
    uint8_t DisplayedMode = 0; // 0 home, 1 jog, 2 auto, 3 MDI, 4 edit, 7 inc jog
    std::string FileName;
    bool Modified = false;
    int ProgramIndex = 0, MDIIndex = 0;
    uint8_t IncrementIndex = 0;
    double Origin[3] = {0, 0, 0};   // relative origins, mm
    double Machine[3] = {0, 0, 0};  // last machine position, mm
    bool CheckRelative = false;     // program check shows relative readings
    bool ProgramCheckOn = false;
    bool EstopReleased = true;
    int EstopPicture = 1;
    int KnobFrame = 1;
    int KnobPercent = 0;
    int Width = 732;
    bool RightPanelHidden = false;
    bool ShowButtons = true, LeftSide = false;
    bool BlinkPhase = false;
    std::string ErrorText;
    std::string HelpFile;
    TConvert *Convertor = nullptr;
    TMachine_Tooling *MachineTooling = nullptr;
    TWork_piece_offset *WorkOffset = nullptr;
    std::unique_ptr<TFanucOffs> OffsetPage;
    std::unique_ptr<TFanucWShiftForm> WorkShiftPage;

    // The screen model changed: the window repaints.
    std::function<void()> OnScreenChange;
    // The top-left corner of a control in screen pixels, given by the window
    // (none: 0, 0).
    std::function<std::pair<int, int>(THelpControl Control, int Index)> ControlOrigin;
    // The last help popup shown (Context 0: none yet).
    THelpPopup LastHelpPopup;
    // The clock's text for TimeLabel (tests fix it).
    std::function<std::string()> Clock;

    TFanuc21Input &Source() { return *FInput; }
    TFanucControlPanel &Panel() { return *FPanel; }

protected:
    // Every status item first puts these fields back (21: "*** ", "***" in 3 and 4).
    virtual void ResetStatusLine();
    // The idle texts of the five status fields and the home mode's text.
    const char *StatusIdle[5] = {"****", "****", "*** ", "***", ""};
    const char *StatusHomeText = "REF";
    // A home command (17, 18, 42) of the +X, +Z, +Y buttons in home mode.
    virtual void SendHomeCommand(int Code) { SendCommand(Code); }
    void ShowModeLeds(TMachineMode Mode);
    void PositionKey();
    void HelpKey();
    void SelectAxisByLetter(int Letter, char First);
    void WriteBack();
    void ProgramEditKey(int Code, const std::string &Text);
    void SetTitle(const std::string &Text);
    void ShowPanes();
    void SetHelpTexts(const std::vector<std::string> &Texts);
    void ShowSmallReadout(bool On);
    void ShowError(const std::string &Text);
    // Every help popup goes through here: placed at the control's corner,
    // recorded in LastHelpPopup, opened from HelpFile by the help service.
    void ShowHelpPopup(THelpControl Control, int Index, int Context);
    void TypeCharacter(char C);
    // Settings section of the window ("FanucScreen").
    std::string FSection = "FanucScreen";
    std::unique_ptr<TFanucControlPanel> FPanel;
    std::unique_ptr<TFanuc21Input> FInput;
    int FCycleState = 0;
    int FSavedPage = fpPosition;

private:
    void LayOut();
    void ReadButtonMap();
    void Changed();
    void ShowMainDisplay(int Page);
    void SoftKeyPage0to2(int Tag);
    void SoftKeyPosition(int Tag);
    void SoftKeyOther(int Tag);
    void StepKnob(bool Up);
    void WriteReadout(const char *Name, double Value);
    void ShowStartReadouts();

    std::unique_ptr<TTimer> FTimer;
    std::string FKeyIn;
    char FCursorChar = '_';
    int FPreviousCycleState = 0, FBeforePrevious = 0;
    int FDragX = 0, FDragY = 0;
    bool FDragging = false;
    bool FPositionReported = false; // a position report came from the machine
};

} // namespace orv::fanuc
