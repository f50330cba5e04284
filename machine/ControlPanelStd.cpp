#include "machine/ControlPanelStd.h"

#include "engine/chain/MDIInput.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "engine/core/ResStrings.h"
#include "machine/JogKeyTable.h"
#include "machine/Machine_Tooling.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/EventLoop.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orv {

namespace {

constexpr double E = 2.718281828459045;
constexpr int StepCount = 7;
constexpr double MetricSteps[StepCount] = {0.01, 0.05, 0.1, 0.5, 1, 5, 10};
constexpr double InchSteps[StepCount] = {0.001, 0.005, 0.01, 0.05, 0.1, 0.25, 0.5};
constexpr const char *MetricStepTexts[StepCount] = {"0.01", "0.05", "0.1", "0.5", "1", "5", "10"};
constexpr const char *InchStepTexts[StepCount] = {"0.001", "0.005", "0.01", "0.05",
                                                  "0.1",   "0.25",  "0.5"};
constexpr int FeedBarMax = 150;
constexpr int SpindleBarMin = 50;
constexpr int SpindleBarMax = 120;
constexpr int OverrideKeyStep = 5;
constexpr int StatusSettleMs = 200;
constexpr int BackgroundNear = 6;
constexpr int DigitsNear = 10;
constexpr TColor Red = 255, Green = 0x8000, Blue = 0xFF0000, Black = 0;

// Jog keys in the order they are tested, with the jog button each sends.
constexpr std::pair<int, uint8_t> JogKeyButtons[] = {
    {TJogKeyTable::XPlus, 0}, {TJogKeyTable::XMinus, 1}, {TJogKeyTable::YPlus, 2},
    {TJogKeyTable::YMinus, 3}, {TJogKeyTable::ZMinus, 5}, {TJogKeyTable::ZPlus, 4}};

int ClampStep(int Position) { return std::clamp(Position, 0, StepCount - 1); }

std::string Translate(const std::string &Text) { return Mess().Translate(Text); }

bool Homed(bool X, bool Y, bool Z, bool XY, bool All) { return (X && Y && Z) || All || (XY && Z); }

} // namespace

bool ModePage(TMachineMode Mode, TModePage &Page)
{
    switch (Mode) {
    case modeHome: Page = {pgHome, true, false, false, false, false}; return true;
    case modeJog:
    case modeIncJog: Page = {pgJog, true, true, false, true, true}; return true;
    case modeAuto: Page = {pgAuto, false, false, true, false, true}; return true;
    case modeMDI: Page = {pgMDI, true, true, false, true, true}; return true;
    default: return false;
    }
}

int JogFeedFromPosition(int Position, int JogRapidFeed)
{
    if (JogRapidFeed <= 0)
        return 0;
    double max = JogRapidFeed;
    return Round((std::exp(Position / max) - 1) * max / (E - 1));
}

int JogPositionFromFeed(int Feed, int JogRapidFeed)
{
    if (JogRapidFeed <= 0)
        return 0;
    double max = JogRapidFeed;
    double inner = (E - 1) * Feed / max + 1;
    if (inner <= 0)
        return 0;
    return Round(std::log(inner) * max);
}

double JogStepMm(int Position, TUnits Units)
{
    int p = ClampStep(Position);
    return Units == Inch ? InchSteps[p] * 25.4 : MetricSteps[p];
}

std::string JogStepText(int Position, TUnits Units)
{
    int p = ClampStep(Position);
    return Units == Inch ? InchStepTexts[p] : MetricStepTexts[p];
}

TColor ContrastColour(TColor Colour)
{
    uint32_t c = (~uint32_t(Colour) & 0xFFFFFFu) | 0x00FF00u;
    return TColor((c * 16u) & 0xFFFFFFu);
}

int ManualMCode(const std::string &Text)
{
    std::string clean = CleanNumberText(Text);
    int32_t code = -1;
    if (!TryStrToInt(clean, code)) {
        ShowMessage(ResString(SInvalidInteger, {clean}));
        return -1;
    }
    return code;
}

TStatusLine StatusLine(int Index)
{
    switch (Index) {
    case 1: return {" " + Translate("Machine Status: Not Ready"), Red, -1};
    case 2: return {" " + Translate("Machine Status: Ready"), Green, -1};
    case 3: return {" " + Translate("Machine Status: Emergency Stop Pressed"), Black, Red};
    default: return {" " + Translate("Machine Status: Unknown"), Blue, -1};
    }
}

namespace {

TStatusLine InitialisingLine()
{
    return {" " + Translate("Initialising . . ."), Black, -1};
}

const char *const CycleTexts[] = {"Stop", "Pause", "Run", "Rewind"};

} // namespace

TControlPanelStd::TControlPanelStd(TComponent *Owner) : TBasicControlPanel(Owner)
{
    FShown.Status = InitialisingLine();
    FShown.CycleText = Translate(CycleTexts[csStopped]);
}

void TControlPanelStd::LanguageChanged()
{
    FShown.Status = FStatusIndex < 0 ? InitialisingLine() : StatusLine(FStatusIndex);
    const TCycleState state = CycleState();
    if (state >= csStopped && state <= csRewind)
        FShown.CycleText = Translate(CycleTexts[state]);
    Changed();
}

TControlPanelStd::~TControlPanelStd()
{
    if (FMDI) {
        TBasicInput *input = FMDI.get();
        if (MDISourceIP)
            MDISourceIP(this, input, false);
        MDIInput = nullptr;
        FMDI.reset(); // its memo sits in the window: gone first
    }
    FForm.reset();
}

void TControlPanelStd::SetForm(std::unique_ptr<TControlPanelStdView> Form)
{
    FForm = std::move(Form);
    Changed();
}

void TControlPanelStd::Changed()
{
    if (FForm)
        FForm->Refresh();
    if (OnViewChanged)
        OnViewChanged();
}

int TControlPanelStd::JogRapidFeed() const { return MachData ? MachData->Feed.JogRapidFeed : 0; }

std::string TControlPanelStd::UnitsText(double Mm) const
{
    return FloatToUnitsText(Units() == Inch, Mm);
}

// --- Initialisation ---

void TControlPanelStd::Initialise()
{
    TBasicControlPanel::Initialise();
    TIniFile ini(SettingsFile.empty() ? MainIniPath() : SettingsFile);
    FShown.JogFeedMax = JogRapidFeed();
    int lastFeed = ini.ReadInteger(FormName, "last feed", 100);
    FShown.JogText = IntToStr(JogFeedFromPosition(lastFeed, JogRapidFeed()));
    FShown.JogStepPosition = ClampStep(ini.ReadInteger(FormName, "last jog", 4));
    FShown.ToolChangeAllowed =
        UpperCase(ini.ReadString("Default Settings", "ToolChangeButton", "False")) == "TRUE";
    FShown.ReadOutPanelColor = ini.ReadInteger("ControlPanel", "ReadOutPanelColor", 16777215);
    FShown.ReadOutAxesColor = ini.ReadInteger("ControlPanel", "ReadOutAxesColor", 0);
    FShown.McodeButton = true;
    FShown.SpeedMin = MachData ? MachData->Spindle.MinimumSpeed : 0;
    FShown.SpeedMax = MachData ? MachData->Spindle.MaximumSpeed : 0;
    FShown.SpeedPosition = FShown.SpeedMin;
    FShown.ProgramDisplay = !FShown.ProgramDisplay;
    FShown.MCodeItems.clear();
    if (MachData)
        for (const TMCodeData &m : MachData->MCodes)
            if (m.Enabled && !m.Name.empty())
                FShown.MCodeItems.emplace_back(m.Name + " - " + m.Description,
                                               StrToIntDef(m.Name.substr(1), 0));
    RefreshOverrides();
    FShown.JogFeedPosition = JogPositionFromFeed(JogFeed, JogRapidFeed());
    RequestStateRefresh(this);
    RequestPositionRefresh(this);
    RefreshOffsetText();
    Changed();
}

// --- State from the engine ---

void TControlPanelStd::SetMachineMode(TMachineMode Mode)
{
    TBasicControlPanel::SetMachineMode(Mode);
    TModePage page;
    if (ModePage(Mode, page)) {
        FShown.Page = page.Page;
        FShown.McodeButton = page.Mcode;
        FShown.ToolChangeButton = page.ToolChange && FShown.ToolChangeAllowed;
        FShown.TurboButton = page.Turbo;
        FShown.ZOffsetsButton = page.ZOffsets;
        FShown.CoolantButton = page.Coolant;
        if (page.Page == pgJog) {
            FShown.JogPanelGreen = true;
            ShowJogDisplay(Mode == modeIncJog);
        }
    }
    if (Mode == modeMDI)
        OpenMDI();
    else if (FMDI)
        CloseMDI();
    Changed();
}

void TControlPanelStd::ShowJogDisplay(bool Incremental)
{
    FShown.Incremental = Incremental;
    if (Incremental) {
        FShown.JogText = JogStepText(FShown.JogStepPosition, Units());
        JogIncrement = JogStepMm(FShown.JogStepPosition, Units());
    } else {
        FShown.JogText = IntToStr(JogFeedFromPosition(FShown.JogFeedPosition, JogRapidFeed()));
    }
}

void TControlPanelStd::ShowPosition(TMachineReadout &Readout)
{
    const TXYZ *triples[2] = {&Readout.Machine, &Readout.Work};
    std::array<std::string, 3> *shown[2] = {&FShown.Machine, &FShown.Program};
    for (int t = 0; t < 2; ++t) {
        (*shown[t])[0] = UnitsText((double)triples[t]->X);
        (*shown[t])[1] = UnitsText((double)triples[t]->Y);
        (*shown[t])[2] = UnitsText((double)triples[t]->Z);
    }
    Changed();
}

void TControlPanelStd::SetHasHomed(int Code)
{
    TBasicControlPanel::SetHasHomed(Code);
    FShown.HomeButtonsEnabled = true;
    auto green = [this](int Axis) { FShown.Lamps[Axis] = LampGreen; };
    switch (Code) {
    case HomeX: green(0); break;
    case HomeY: green(1); break;
    case HomeZ: green(2); break;
    case HomeXY: green(0), green(1); break;
    case HomeAll: green(0), green(1), green(2); break;
    default: break;
    }
    if (Homed(HomedX, HomedY, HomedZ, HomedXY, AllHomed))
        FShown.TabsVisible = true;
    Changed();
}

void TControlPanelStd::ClearHomed()
{
    TBasicControlPanel::ClearHomed();
    FShown.HomeButtonsEnabled = true;
    FShown.Lamps = {LampRed, LampRed, LampRed};
    Changed();
}

void TControlPanelStd::RefreshOverrides()
{
    FShown.FeedOverrideText = IntToStr(FShown.FeedBarPosition) + "%";
    FShown.SpindleOverrideText = IntToStr(FShown.SpindleBarPosition) + "%";
    FShown.FeedOverrideColour = FShown.FeedBarPosition == 0 ? Red : OverrideTextColour;
    FShown.StatusPanels[3] = "F:" + IntToStr(FShown.FeedBarPosition) + "% " + "S:" +
                             IntToStr(FShown.SpindleBarPosition) + "%";
}

void TControlPanelStd::SetFeedOverride(int Value)
{
    TBasicControlPanel::SetFeedOverride(Value);
    FShown.FeedBarPosition = Value;
    RefreshOverrides();
    Changed();
}

void TControlPanelStd::SetSpeedOverride(int Value)
{
    TBasicControlPanel::SetSpeedOverride(Value);
    FShown.SpindleBarPosition = Value;
    RefreshOverrides();
    Changed();
}

void TControlPanelStd::RefreshFeedPanel()
{
    FShown.StatusPanels[0] = "F:" + UnitsText(Feedrate()) + " " + FFeedUnitText;
}

void TControlPanelStd::SetFeedrate(int Value)
{
    TBasicControlPanel::SetFeedrate(Value);
    RefreshFeedPanel();
    if (MachineMode() == modeJog) {
        FShown.JogFeedPosition = JogPositionFromFeed(Value, JogRapidFeed());
        FShown.JogText = IntToStr(Value);
    }
    Changed();
}

void TControlPanelStd::SetSpeedrate(int Value)
{
    TBasicControlPanel::SetSpeedrate(Value);
    FShown.SpeedText = IntToStr(Value);
    FShown.StatusPanels[1] = "S:" + IntToStr(Value) + " RPM";
    FShown.SpeedPosition = Value;
    Changed();
}

void TControlPanelStd::SetToolNumber(int Value)
{
    TBasicControlPanel::SetToolNumber(Value);
    FShown.StatusPanels[2] = "T " + IntToStr(Value);
    Changed();
}

void TControlPanelStd::SetUnits(TUnits Units)
{
    TBasicControlPanel::SetUnits(Units);
    FFeedUnitText = Units == Inch ? "inch/min" : "mm/min";
    if (MachineMode() == modeJog) {
        ShowJogDisplay(false);
    } else if (MachineMode() == modeIncJog) {
        ShowJogDisplay(true);
        RequestJogIncrement();
    }
    RefreshFeedPanel();
    RefreshOffsetText();
    Changed();
}

void TControlPanelStd::ToggleCoordinates()
{
    FShown.ProgramDisplay = !FShown.ProgramDisplay;
    Changed();
}

void TControlPanelStd::SetCycleState(TCycleState State)
{
    TBasicControlPanel::SetCycleState(State);
    if (State >= csStopped && State <= csRewind)
        FShown.CycleText = Translate(CycleTexts[State]);
    FShown.PagesLocked = State == csRunning;
    Changed();
}

void TControlPanelStd::ToggleTurbo()
{
    TBasicControlPanel::ToggleTurbo();
    FShown.TurboDown = Turbo;
    RequestTurbo(Turbo);
    Changed();
}

void TControlPanelStd::ShowStatus(int Index)
{
    FStatusIndex = Index;
    FShown.Status = StatusLine(Index);
    Changed();
}

void TControlPanelStd::SetEstop(bool Value)
{
    TBasicControlPanel::SetEstop(Value);
    ShowStatus(Value ? 3 : 2);
    if (Safe())
        return;
    DelayMs(StatusSettleMs);
    ShowStatus(1);
}

void TControlPanelStd::SetSafe(bool Value)
{
    TBasicControlPanel::SetSafe(Value);
    ShowStatus(Value ? 2 : 1);
    if (!Estop())
        return;
    DelayMs(StatusSettleMs);
    ShowStatus(3);
}

void TControlPanelStd::SetMachineIsReal(bool Value)
{
    TBasicControlPanel::SetMachineIsReal(Value);
    bool feedPot = MachData && MachData->MachineCapability.FeedPot;
    bool speedPot = MachData && MachData->MachineCapability.SpeedPot;
    FShown.FeedBarEnabled = !(Value && feedPot);
    FShown.SpindleBarEnabled = !(Value && speedPot);
    Changed();
}

void TControlPanelStd::RefreshOffsetText()
{
    FShown.OffsetText = "H" + IntToStr(LengthOffsetH) + ": " + UnitsText(LengthOffsetValue) +
                        "  D" + IntToStr(DiameterOffsetD) + ": " + UnitsText(DiameterOffsetValue);
}

void TControlPanelStd::SetLengthOffset(int H, double Value)
{
    TBasicControlPanel::SetLengthOffset(H, Value);
    RefreshOffsetText();
    Changed();
}

void TControlPanelStd::SetDiameterOffset(int D, double Value)
{
    TBasicControlPanel::SetDiameterOffset(D, Value);
    RefreshOffsetText();
    Changed();
}

// --- Operator actions ---

void TControlPanelStd::PageChosen(int Page)
{
    // The tabs show the machine's mode: a refused or pending choice puts
    // the page back until the machine reports its new mode.
    if (CycleState() != csRunning && Page >= pgHome && Page <= pgMDI) {
        static const TMachineMode modes[] = {modeHome, modeJog, modeAuto, modeMDI};
        TMachineMode mode = modes[Page];
        if (Page == pgJog && FShown.Incremental)
            mode = modeIncJog;
        RequestMachineMode(mode);
    }
    Changed();
}

void TControlPanelStd::JogButtonClick()
{
    bool incremental = !FShown.Incremental;
    ShowJogDisplay(incremental);
    RequestMachineMode(incremental ? modeIncJog : modeJog);
    Changed();
}

void TControlPanelStd::JogFeedMoved(int Position)
{
    FShown.JogFeedPosition = Position;
    int feed = JogFeedFromPosition(Position, JogRapidFeed());
    FShown.JogText = IntToStr(feed);
    RequestValue(rqJogFeed, feed);
    Changed();
}

void TControlPanelStd::SpeedBarMoved(int Position)
{
    FShown.SpeedPosition = Position;
    FShown.SpeedText = IntToStr(Position);
    RequestValue(rqSpindleSpeed, Position);
    Changed();
}

void TControlPanelStd::JogStepMoved(int Position)
{
    FShown.JogStepPosition = ClampStep(Position);
    FShown.JogText = JogStepText(Position, Units());
    JogIncrement = JogStepMm(Position, Units());
    RequestJogIncrement();
    Changed();
}

void TControlPanelStd::FeedBarMoved(int Position)
{
    FShown.FeedBarPosition = std::clamp(Position, 0, FeedBarMax);
    RefreshOverrides();
    RequestValue(rqFeedOverride, FShown.FeedBarPosition);
    Changed();
}

void TControlPanelStd::SpindleBarMoved(int Position)
{
    FShown.SpindleBarPosition = std::clamp(Position, SpindleBarMin, SpindleBarMax);
    RefreshOverrides();
    RequestValue(rqSpeedOverride, FShown.SpindleBarPosition);
    Changed();
}

void TControlPanelStd::HomeClick(int Code)
{
    FShown.HomeButtonsEnabled = false;
    Changed();
    RequestHome(Code);
}

void TControlPanelStd::MCodeChosen(int Code)
{
    if (Code >= 0)
        RequestMCode(this, Code);
}

void TControlPanelStd::CoolantClick()
{
    FShown.Coolant = !FShown.Coolant;
    Changed();
    RequestMCode(this, FShown.Coolant ? 8 : 9);
}

void TControlPanelStd::SpeedButtonClick() { RequestMCode(this, 5); }

void TControlPanelStd::TurboReleased(int X, int Y)
{
    if (X < 0 || X > 71 || Y < 0 || Y > 49)
        return;
    FShown.TurboDown = !FShown.TurboDown;
    Changed();
    RequestTurbo(FShown.TurboDown);
}

std::vector<std::pair<std::string, int>> TControlPanelStd::ToolMenuItems() const
{
    std::vector<std::pair<std::string, int>> items;
    if (!MachineTooling)
        return items;
    bool inch = Units() == Inch;
    for (int p = 1; p <= MachineTooling->MachineToolCount(); ++p) {
        TTool_data data;
        MachineTooling->GetToolData(p, data);
        if (data.Diameter <= 0)
            continue;
        std::string caption = "T " + IntToStr(p) + " : " + FloatToUnitsText(inch, data.Diameter) +
                              (inch ? "\" " : "mm ") + data.TypeName;
        items.emplace_back(caption, p == MachineTooling->CurrentTool() ? -p : p);
    }
    return items;
}

void TControlPanelStd::ToolChosen(int Position)
{
    if (!MachineTooling)
        return;
    std::string text = Translate("Are you sure you want to change to Tool: ") + IntToStr(Position) +
                       " ?";
    if (MessageDlg("", text, mtConfirmation, mbYesNo) == mrYes)
        MachineTooling->RequestToolChange(Position, true);
}

void TControlPanelStd::ColourPicked(bool Background, TColor Colour, bool Ok)
{
    TIniFile ini(SettingsFile.empty() ? MainIniPath() : SettingsFile);
    if (Background) {
        if (Ok) {
            bool near = std::abs(Colour - FShown.ReadOutAxesColor) <= BackgroundNear;
            FShown.ReadOutPanelColor = near ? ContrastColour(Colour) : Colour;
        }
        ini.WriteInteger("ControlPanel", "ReadOutPanelColor", FShown.ReadOutPanelColor);
    } else if (Ok) {
        bool near = std::abs(Colour - FShown.ReadOutPanelColor) <= DigitsNear;
        FShown.ReadOutAxesColor = near ? ContrastColour(Colour) : Colour;
        ini.WriteInteger("ControlPanel", "ReadOutAxesColor", FShown.ReadOutAxesColor);
    }
    Changed();
}

void TControlPanelStd::JogTrapFocused()
{
    FShown.JogPanelGreen = true;
    Changed();
}

// --- Jog keys ---

bool TControlPanelStd::OverrideKey(int Key)
{
    if (!JogKeys || Key == 0)
        return false;
    bool feedOwned = MachineIsReal() && MachData && MachData->MachineCapability.FeedPot;
    bool speedOwned = MachineIsReal() && MachData && MachData->MachineCapability.SpeedPot;
    if (Key == JogKeys->Key(TJogKeyTable::FeedUp) || Key == JogKeys->Key(TJogKeyTable::FeedDown)) {
        int step = Key == JogKeys->Key(TJogKeyTable::FeedUp) ? OverrideKeyStep : -OverrideKeyStep;
        if (!feedOwned)
            FeedBarMoved(FShown.FeedBarPosition + step);
        return true;
    }
    if (Key == JogKeys->Key(TJogKeyTable::SpeedUp) || Key == JogKeys->Key(TJogKeyTable::SpeedDown)) {
        int step = Key == JogKeys->Key(TJogKeyTable::SpeedUp) ? OverrideKeyStep : -OverrideKeyStep;
        if (!speedOwned)
            SpindleBarMoved(FShown.SpindleBarPosition + step);
        return true;
    }
    return false;
}

bool TControlPanelStd::KeyDown(int Key, bool JogTrapHasFocus)
{
    if (OverrideKey(Key))
        return true;
    if (Key == VK_ESCAPE) {
        RequestJog(JogButtonStop);
        return true;
    }
    if (!JogTrapHasFocus || !JogKeys || Key == 0)
        return false;
    for (auto [function, button] : JogKeyButtons) {
        if (Key != JogKeys->Key(function))
            continue;
        if (FHandlingKey || FHeldKey == Key)
            return true; // a held key does not repeat while its jog runs
        FHandlingKey = true;
        FKeyReleased = false;
        FHeldKey = Key;
        RequestJog(button);
        FHandlingKey = false;
        if (FKeyReleased)
            StopHandling();
        return true;
    }
    return false;
}

void TControlPanelStd::KeyUp(int Key)
{
    FHeldKey = 0;
    if (FHandlingKey) {
        FKeyReleased = true;
        return;
    }
    StopHandling();
}

// An incremental jog runs to its end; homing has no jog to stop.
void TControlPanelStd::StopHandling()
{
    if (MachineMode() == modeIncJog || MachineMode() == modeHome)
        return;
    RequestJog(JogButtonStop);
}

void TControlPanelStd::FocusLost()
{
    FHeldKey = 0;
    FShown.JogPanelGreen = false;
    Changed();
    StopHandling();
}

// --- MDI ---

void TControlPanelStd::OpenMDI()
{
    if (FMDI)
        return;
    FMDI = std::make_unique<TMDIInput>(this);
    MDIInput = FMDI.get();
    if (MemoFactory)
        FMDI->SetView(MemoFactory());
    FMDI->OnChange = [this](TObject *, const std::string &Text) {
        FShown.MDIMessage = Text;
        Changed();
    };
    FMDI->SetupMenus(FShown.MCodeItems, MDILines);
    FMDI->ShowMemo(MDILeft, MDITop, MDIWidth - 8, MDIHeight - 8);
    TBasicInput *input = FMDI.get();
    if (MDISourceIP)
        MDISourceIP(this, input, true);
}

void TControlPanelStd::CloseMDI()
{
    FShown.MDIMessage.clear();
    FMDI->SaveLines(MDILines);
    TBasicInput *input = FMDI.get();
    if (MDISourceIP)
        MDISourceIP(this, input, false);
    MDIInput = nullptr;
    FMDI.reset();
}

} // namespace orv
