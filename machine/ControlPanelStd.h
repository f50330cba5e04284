#pragma once
// The standard operator panel used with every source but the Fanuc screens:
// mode pages (Home, Jog, Auto, MDI), position readout, override and jog
// sliders, M codes, coolant, turbo, tool change and the machine status line.
// The panel keeps what its "Control Panel" window shows as plain state and
// fires OnViewChanged after each change; the window (machine/ui) draws that
// state and forwards the operator's actions to the methods below. In MDI
// mode the panel owns the MDI source and hands it to the engine form.

#include "machine/BasicControlPanel.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TMDIInput;
class TMDIMemoView;
using TColor = int32_t;

// Mode pages and the buttons each shows.
enum TPanelPage : int { pgHome = 0, pgJog = 1, pgAuto = 2, pgMDI = 3 };

struct TModePage {
    TPanelPage Page = pgHome;
    bool Mcode = true, ToolChange = false, Turbo = false, ZOffsets = false, Coolant = false;
};

// The page and buttons of a mode; false for a mode that changes no page.
bool ModePage(TMachineMode Mode, TModePage &Page);

// Jog feed slider position (0 to JogRapidFeed) and feed (mm/min); finer at
// low feeds. A JogRapidFeed of 0 maps 0 to 0 both ways.
int JogFeedFromPosition(int Position, int JogRapidFeed);
int JogPositionFromFeed(int Feed, int JogRapidFeed);

// Incremental jog step of slider position 0 to 6, mm (inch steps times
// 25.4), and its display text ("0.01", "0.25" ...).
double JogStepMm(int Position, TUnits Units);
std::string JogStepText(int Position, TUnits Units);

// A readout colour that contrasts with Colour: the 24-bit complement with
// its middle byte 255, times 16, within 24 bits.
TColor ContrastColour(TColor Colour);

// The code typed into "Enter an M code": the text cleaned to a number;
// -1 (and the conversion error shown) when that is no integer.
int ManualMCode(const std::string &Text);

// Machine status lines 0 to 3.
struct TStatusLine {
    std::string Text; // with its leading blank
    TColor Font = 0;
    TColor Background = -1; // -1: the button face colour
};
TStatusLine StatusLine(int Index);

// Override percent text and its colour (red at 0, dark cyan otherwise).
constexpr TColor OverrideTextColour = 8421376;

// The panel's window: draws the panel's state after each change.
class TControlPanelStdView {
public:
    virtual ~TControlPanelStdView() = default;
    virtual void Refresh() = 0;
};

class TControlPanelStd : public TBasicControlPanel {
public:
    static constexpr const char *FormName = "ControlPanelStdForm";
    static constexpr TColor LampRed = 255;
    static constexpr TColor LampGreen = 0x8000;
    static constexpr TColor JogPanelGreen = 65280;

    explicit TControlPanelStd(TComponent *Owner = nullptr);
    ~TControlPanelStd() override;

    // --- What the window shows ---
    struct TShown {
        TPanelPage Page = pgHome;
        bool TabsVisible = false; // Jog, Auto and MDI
        bool HomeButtonsEnabled = false;
        std::array<TColor, 3> Lamps{LampRed, LampRed, LampRed};
        bool McodeButton = true, ToolChangeButton = false, TurboButton = false;
        bool ZOffsetsButton = false, CoolantButton = false, ToolChangeAllowed = false;
        bool Coolant = false, TurboDown = false;
        bool PagesLocked = false; // while the cycle runs
        bool Incremental = false; // the Jog page shows the step slider
        bool JogPanelGreen = false;
        int JogFeedMax = 1000, JogFeedPosition = 0, JogStepPosition = 4;
        std::string JogText; // feed or step shown on the Jog page
        int SpeedMin = 0, SpeedMax = 0, SpeedPosition = 0;
        std::string SpeedText;
        int FeedBarPosition = 100, SpindleBarPosition = 100;
        std::string FeedOverrideText = "100%", SpindleOverrideText = "100%";
        TColor FeedOverrideColour = OverrideTextColour;
        bool FeedBarEnabled = true, SpindleBarEnabled = true;
        std::array<std::string, 4> StatusPanels;
        TStatusLine Status = StatusLine(0);
        std::array<std::string, 3> Machine{"0.000", "0.000", "0.000"};
        std::array<std::string, 3> Program{"0.000", "0.000", "0.000"};
        bool ProgramDisplay = false; // else the Machine display
        std::string CycleText = "Stop";
        std::string OffsetText = "H: 0.000  D: 0.000";
        TColor ReadOutPanelColor = 16777215, ReadOutAxesColor = 0;
        std::string MDIMessage; // shown under the MDI memo while non-empty
        std::vector<std::pair<std::string, int>> MCodeItems; // after "Manual M code entry"
    };
    const TShown &Shown() const { return FShown; }
    // The "Control Panel" window, owned and freed with the panel.
    void SetForm(std::unique_ptr<TControlPanelStdView> Form);
    TControlPanelStdView *Form() const { return FForm.get(); }
    std::function<void()> OnViewChanged;
    // Makes the MDI memo inside the MDI page; null: the MDI source has none.
    std::function<std::unique_ptr<TMDIMemoView>()> MemoFactory;
    // The MDI memo's place on its page (the page's panel less 8 pixels).
    int MDILeft = 0, MDITop = 0, MDIWidth = 400, MDIHeight = 200;
    // Settings file of the panel's keys (the main settings file); empty:
    // the one MainIniFileName names.
    std::string SettingsFile;

    // --- Panel model overrides ---
    void Initialise() override;
    void SetMachineMode(TMachineMode Mode) override;
    void ShowPosition(TMachineReadout &Readout) override;
    void SetHasHomed(int Code) override;
    void ClearHomed() override;
    void SetFeedOverride(int Value) override;
    void SetSpeedOverride(int Value) override;
    void SetFeedrate(int Value) override;
    void SetSpeedrate(int Value) override;
    void SetToolNumber(int Value) override;
    void SetUnits(TUnits Units) override;
    void SetWorkOffsetName(const std::string &Name) override {}
    void ToggleCoordinates() override;
    void SetCycleState(TCycleState State) override;
    void ToggleTurbo() override;
    // Shows status line 3 or 2; with the guard open, line 1 after 200 ms
    // (messages served meanwhile).
    void SetEstop(bool Value) override;
    void SetSafe(bool Value) override;
    void SetMachineIsReal(bool Value) override;
    void SetLengthOffset(int H, double Value) override;
    void SetDiameterOffset(int D, double Value) override;

    // --- Operator actions ---
    // A page chosen on the tabs (refused while the cycle runs).
    void PageChosen(int Page);
    void JogButtonClick();
    void JogFeedMoved(int Position);
    void SpeedBarMoved(int Position);
    void JogStepMoved(int Position);
    void FeedBarMoved(int Position);
    void SpindleBarMoved(int Position);
    // Home button released: 0 X, 1 Y, 2 Z, 6 all.
    void HomeClick(int Code);
    // "Manual M code entry" (ManualMCode: the "Enter an M code" dialog's
    // code, -1 cancelled) or an M-code item.
    void MCodeChosen(int Code);
    void CoolantClick();
    void SpeedButtonClick();
    // Mouse released on the turbo button at X, Y (pixels, inside 72 x 50).
    void TurboReleased(int X, int Y);
    // Items of the tool menu (caption, position); the current tool's item
    // is listed disabled (second: -position).
    std::vector<std::pair<std::string, int>> ToolMenuItems() const;
    // A tool chosen: asks to confirm, then the changer's tool change.
    void ToolChosen(int Position);
    // A colour picked on a readout: Background (right button) or digits.
    void ColourPicked(bool Background, TColor Colour, bool Ok);
    void JogTrapFocused();
    // "Machine Information", the secret homing panel, "Z Offset".
    void VersionInfoClick() { SendRequest(rqShowVersion); }
    void SecretHomeDoubleClick() { SendRequest(rqSetHomed); }
    void ZToolOffsetsClick() { RequestToolZOffset(this); }
    // Keys of the window's key preview (virtual-key codes); true when consumed.
    bool KeyDown(int Key, bool JogTrapHasFocus);
    void KeyUp(int Key);
    void FocusLost();
    // The texts made from translated words (the machine status, the cycle
    // state) made again in the language now in use.
    void LanguageChanged();

    // --- MDI ---
    TMDIInput *MDI() const { return FMDI.get(); }
    // Lines kept while the MDI page is closed.
    std::vector<std::string> MDILines;

private:
    void Changed();
    void ShowStatus(int Index);
    void RefreshOverrides();
    void RefreshFeedPanel();
    void RefreshOffsetText();
    void ShowJogDisplay(bool Incremental);
    int JogRapidFeed() const;
    void OpenMDI();
    void CloseMDI();
    void StopHandling();
    bool OverrideKey(int Key);
    std::string UnitsText(double Mm) const;

    TShown FShown;
    std::unique_ptr<TMDIInput> FMDI;
    std::unique_ptr<TControlPanelStdView> FForm;
    std::string FFeedUnitText = "mm/min";
    bool FHandlingKey = false;
    bool FKeyReleased = false;
    int FHeldKey = 0;
    int FStatusIndex = -1; // the status shown; -1 while initialising
};

} // namespace orv
