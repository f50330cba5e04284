#include "fanuc/fanuc21/Fanuc21Screen.h"

#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "engine/core/Mess.h"
#include "fanuc/FanucButtons.h"
#include "fanuc/FanucOffsets.h"
#include "fanuc/fanuc21/Fanuc21Input.h"
#include "fanuc/fanuc21/FanucControlPanel.h"
#include "machine/MachineCommands.h"
#include "platform/EventLoop.h"
#include "platform/HelpService.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <tuple>

namespace orv::fanuc {

namespace {

constexpr int KeypadKeys = 44;
constexpr int MaxKnobFrame = 21;

const char *const SoftKeyLabels[] = {"Softkey1", "SoftKey2", "SoftKey3", "SoftKey4", "SoftKey5"};

// Labels 1 to 5 of the soft-key pages; pages without labels are empty.
const TSoftKeyLabels *Fanuc21SoftKeyLabels(int Page)
{
    static const std::map<int, TSoftKeyLabels> pages = {
        {0, {" PRGM ", " DIR  ", "      ", "      ", "(OPRT)"}},
        {1, {"      ", "O SRH ", "SRH \xBF ", "SRH ? ", "REWIND"}},
        {2, {"F SRH ", " READ ", "PUNCH ", "DELETE", "      "}},
        {5, {" ABS  ", " REL  ", " ALL  ", "      ", "(OPRT)"}},
        {6, {" ABS  ", " REL  ", " ALL  ", "      ", "      "}},
        {7, {"PRESET", "OFFSET", "      ", "      ", "      "}},
        {8, {"OFFSET", "SETING", "      ", "      ", "(OPRT)"}},
        {9, {"      ", "      ", "ALLEXE", "      ", " EXEC "}},
        {10, {"      ", "W.SHFT", "      ", "      ", "(OPRT)"}},
        {11, {"NO.SRH", "MEASUR", "INP.C.", "+INPUT", "INPUT "}},
        {12, {"PRGRM ", "CHECK ", "CURRNT", " NEXT ", "(OPRT)"}},
        {13, {" ABS  ", " REL  ", "      ", "      ", "(OPRT)"}},
    };
    auto it = pages.find(Page);
    return it == pages.end() ? nullptr : &it->second;
}

// "Button Map" elements that are no integer read as -1 (a key nothing uses).
int ButtonMapCode(const std::string &Text)
{
    int32_t value = -1;
    return TryStrToInt(Trim(Text), value) ? value : -1;
}

const char *const BigValues[3] = {"XRObig", "YROBig", "ZRObig"};
const char *const Letters[3][3] = {{"X", "Y", "Z"}, {"U", "V", "W"}, {"X", "Y", "Z"}};

} // namespace

// --- Creation and show ---

TFanucScreen::TFanucScreen()
    : FPanel(std::make_unique<TFanucControlPanel>(*this)),
      FInput(std::make_unique<TFanuc21Input>(*this)), FTimer(std::make_unique<TTimer>())
{
    LedRows = &Fanuc21Leds;
    Leds.assign(Fanuc21Buttons().size(), false);
    Program.Words = {"O0000", "%"};
    MDI.Words = {"%"};
    ProgramPane.SetRowsMode(2);
    MDIPane.SetRowsMode(2);
    ProgramPane.SetWords(&Program.Words);
    MDIPane.SetWords(&MDI.Words);
    ProgramPane.SetBlockLines(&Program.BlockLines);
    MDIPane.SetBlockLines(&MDI.BlockLines);
    ProgramPane.OnRepaint = MDIPane.OnRepaint = [this] { Changed(); };
    for (const char *name : {"TopLabel", "OverrideLabel", "ToolLabel", "OffsetLabel", "EditLine",
                             "StatDisp1", "StatDisp2", "StatDisp3", "StatDisp4", "StatDisp5",
                             "TimeLabel", "Panel2", "OutputsPanel"})
        Labels[name];
    Label("OverrideLabel").Text = "OS100%";
    Label("ToolLabel").Text = "00";
    Label("OffsetLabel").Text = "00";
    Label("ErrorLabel").Visible = false;
    Label("HelpPanel").Visible = false;
    Label("MainDisplay").Visible = false;
    Label("ProgramCheck").Visible = false;
    Label("SmallReadout").Visible = false;
    SetHelpTexts({"* HELP *", "In this mode - select an item you want",
                  "to know more about by clicking it", "with the ? mouse pointer.",
                  "Press HELP key again to leave help mode"});
    ShowStartReadouts();
    ClearKeyIn();
    ShowStatusItem(16);
    ShowStatusItem(0);
    HelpFile = ExeFolder() + "FanucHelp.hlp";
    FTimer->SetInterval(500);
    FTimer->OnTimer = [this] { TimerTick(); };
    // Show.
    TDIniFile settings(MainIniPath());
    ShowButtons = settings.ReadBool(FSection, "Show Buttons", true);
    LeftSide = settings.ReadBool(FSection, "Left Side", false);
    Width = 732;
    ReadButtonMap();
    EstopPicture = 1;
    KnobFrame = 1;
    KnobPercent = 0;
    ShowFunctionPage(fpPosition);
}

TFanucScreen::~TFanucScreen()
{
    FTimer->SetEnabled(false);
    if (Modified)
        FInput->SaveAsFile();
    TDIniFile settings(MainIniPath());
    settings.WriteBool(FSection, "Show Buttons", ShowButtons);
    settings.WriteBool(FSection, "Left Side", LeftSide);
    ProgramPane.OnRepaint = MDIPane.OnRepaint = nullptr;
}

void TFanucScreen::ReadButtonMap()
{
    TDIniFile settings(MainIniPath());
    KeyCodes.assign(KeypadKeys, {-1, -1});
    for (int k = 0; k < KeypadKeys; ++k) {
        std::string code, shifted;
        settings.ReadListItem("Button Map", IntToStr(k), 0, code, "-1");
        settings.ReadListItem("Button Map", IntToStr(k), 1, shifted, "-1");
        KeyCodes[k] = {ButtonMapCode(code), ButtonMapCode(shifted)};
    }
}

TBasicInput *TFanucScreen::Input() { return FInput.get(); }
TBasicControlPanel *TFanucScreen::ControlPanel() { return FPanel.get(); }
const std::vector<TButtType> &TFanucScreen::Buttons() const { return Fanuc21Buttons(); }

// The knob starts at 50 %: the label and what is pushed to the machine agree.
void TFanucScreen::Initialise()
{
    LayOut();
    FInput->ResetSource();
    std::fill(Leds.begin(), Leds.end(), false);
    SetLed(LedRows->Increments[0], true);
    ShowKnob(50);
    ShowOverride(50);
    FPanel->RequestStateRefresh(nullptr);
    FPanel->RequestPositionRefresh(nullptr);
    FTimer->SetEnabled(true);
}

void TFanucScreen::LayOut() { Changed(); }

void TFanucScreen::SetUnits(TUnits Value)
{
    Units = Value;
    if (!FPositionReported)
        ShowStartReadouts();
    if (OffsetPage)
        OffsetPage->SetUnits(Value);
    if (WorkShiftPage)
        WorkShiftPage->SetUnits(Value);
    FPanel->RequestPositionRefresh(nullptr);
}

void TFanucScreen::RefreshOffsetPage()
{
    if (OffsetPage)
        OffsetPage->RefreshPage();
}

void TFanucScreen::RefreshWorkShiftPage()
{
    if (WorkShiftPage)
        WorkShiftPage->RefreshPage();
}

void TFanucScreen::Changed()
{
    if (OnScreenChange)
        OnScreenChange();
}

void TFanucScreen::SetLed(int Row, bool On)
{
    if (Row >= 0 && Row < int(Leds.size()) && Leds[Row] != On) {
        Leds[Row] = On;
        Changed();
    }
}

void TFanucScreen::SendCommand(int Code)
{
    if (OnOpsCommand)
        OnOpsCommand(Code);
}

void TFanucScreen::ShowError(const std::string &Text)
{
    ErrorText = Text;
    Label("ErrorLabel").Text = Text;
    Label("ErrorLabel").Visible = !Text.empty();
    Changed();
}

void TFanucScreen::ShowHelpPopup(THelpControl Control, int Index, int Context)
{
    LastHelpPopup = {HelpFile, Context, Control, Index, 0, 0};
    if (ControlOrigin)
        std::tie(LastHelpPopup.X, LastHelpPopup.Y) = ControlOrigin(Control, Index);
    Help().ShowContext(HelpFile, Context);
}

std::string TFanucScreen::Text(const std::string &Name) const
{
    auto it = Labels.find(Name);
    return it == Labels.end() ? std::string() : it->second.Text;
}

bool TFanucScreen::Visible(const std::string &Name) const
{
    auto it = Labels.find(Name);
    return it == Labels.end() || it->second.Visible;
}

// --- Status line, override, knob ---

// Each status code writes one field (or two); codes 16 to 21 put fields
// back to their idle text (StatusIdle: "****" etc. on the 21, empty on the 0M).
void TFanucScreen::ShowStatusItem(int Code)
{
    static const char *const fields[5] = {"StatDisp1", "StatDisp2", "StatDisp3", "StatDisp4",
                                          "StatDisp5"};
    ResetStatusLine();
    auto set = [this](int Field, const char *Text) { Label(fields[Field - 1]).Text = Text; };
    switch (Code) {
    case 0: set(1, "EDIT"); break;
    case 1:
        set(1, "MEM");
        ProgramPane.SetBlockMode(true);
        // The end marker holds no block of the program: the run starts at the top.
        if (ProgramPane.CursorWord >= int(Program.Words.size()) - 1 ||
            ProgramPane.GetBlockLine() >= int(Program.Lines.size()))
            ProgramPane.GotoStart();
        ProgramIndex = FInput->HighlightIndex = std::max(ProgramPane.GetBlockLine(), 0);
        break;
    case 2: set(1, "MDI"); MDIIndex = std::max(MDIPane.GetBlockLine(), 0); break;
    case 3: set(1, "JOG"); break;
    case 4: set(1, StatusHomeText); break;
    case 5: set(2, "STRT"); break;
    case 6: set(2, "STOP"); break;
    case 7: set(2, "HOLD"); break;
    case 8: set(2, "INC"); break;
    case 9: set(3, "MTN "); break;
    case 10: set(3, "DWL "); break;
    case 11: set(3, "--EM"); set(4, "G--"); break;
    case 12: set(3, "-RES"); set(4, "ET-"); break;
    case 13: set(4, "FIN"); break;
    case 14: set(5, "ALM"); break;
    case 15: set(5, "BAT"); break;
    case 16:
        for (int field = 1; field <= 5; ++field)
            set(field, StatusIdle[field - 1]);
        break;
    case 17: case 18: case 19: case 20: case 21: set(Code - 16, StatusIdle[Code - 17]); break;
    default: break;
    }
    Changed();
}

void TFanucScreen::ResetStatusLine()
{
    Label("StatDisp3").Text = "*** ";
    Label("StatDisp4").Text = "***";
}

void TFanucScreen::ShowOverride(int Percent)
{
    Label("OverrideLabel").Text = "OS" + IntToStr(Percent) + "%";
    FPanel->PushOverride(1);
    FPanel->PushOverride(3);
    Changed();
}

void TFanucScreen::ShowKnob(int Percent)
{
    KnobPercent = Percent;
    KnobFrame = std::clamp(KnobPercent / 10 + 1, 1, MaxKnobFrame);
    Changed();
}

void TFanucScreen::KnobStep(bool Up)
{
    if (Up && KnobFrame <= MaxKnobFrame - 1) {
        ++KnobFrame;
        KnobPercent += 10;
        ShowOverride(KnobPercent);
    } else if (!Up && KnobFrame >= 2) {
        --KnobFrame;
        KnobPercent -= 10;
        ShowOverride(KnobPercent);
    }
}

void TFanucScreen::KnobMouseDown(int X, int Y)
{
    FDragX = X;
    FDragY = Y;
    FDragging = true;
}

void TFanucScreen::KnobMouseMove(int X, int Y)
{
    if (!FDragging)
        return;
    if (X != FDragX) {
        FDragX = X;
        return;
    }
    if (Y > FDragY + KnobStepPixels) {
        FDragY = Y;
        KnobStep(false);
    } else if (Y < FDragY - KnobStepPixels) {
        FDragY = Y;
        KnobStep(true);
    }
}

void TFanucScreen::KnobMouseUp() { FDragging = false; }

// --- Machine mode, readouts, run state ---

void TFanucScreen::ShowMachineMode(TMachineMode Mode)
{
    FInput->MDIFlag = false;
    switch (Mode) {
    case modeHome:
        Label("HideToGo").Visible = true;
        if (DisplayedMode != 0)
            ShowStatusItem(4);
        DisplayedMode = 0;
        break;
    case modeJog:
        Label("HideToGo").Visible = true;
        if (DisplayedMode != 1) {
            ShowOverride(KnobPercent);
            ShowStatusItem(3);
        }
        DisplayedMode = 1;
        break;
    case modeAuto:
        CurrentPane = &ProgramPane;
        if (FunctionPage == fpProgram) {
            ShowSoftKeyPage(12);
            Label("HideToGo").Visible = false;
        }
        if (DisplayedMode != 2)
            ShowStatusItem(1);
        DisplayedMode = 2;
        break;
    case modeMDI:
        FInput->MDIFlag = true;
        if (DisplayedMode != 3) {
            ShowStatusItem(2);
            ShowFunctionPage(fpProgram);
            DisplayedMode = 3;
            Label("HideToGo").Visible = true;
            CurrentPane = &MDIPane;
            Label("SmallReadout").Visible = false;
            ShowSoftKeyPage(0);
            ShowProgramCheck(false);
            SetTitle("MDI");
            Label("BigReadout").Visible = false;
        }
        break;
    case modeEdit:
        CurrentPane = &ProgramPane;
        if (DisplayedMode != 4) {
            ShowStatusItem(0);
            DisplayedMode = 4;
            ProgramPane.SetBlockMode(false);
            ShowFunctionPage(fpProgram);
        }
        break;
    case modeIncJog:
        if (DisplayedMode != 7) {
            ShowOverride(KnobPercent);
            ShowStatusItem(3);
            DisplayedMode = 7;
        }
        break;
    default:
        break;
    }
    ShowModeLeds(Mode);
}

// The mode LEDs; the program pane runs in block mode in every mode but edit.
void TFanucScreen::ShowModeLeds(TMachineMode Mode)
{
    SetLed(LedRows->Auto, Mode == modeAuto);
    SetLed(LedRows->Edit, Mode == modeEdit);
    SetLed(LedRows->MDI, Mode == modeMDI);
    SetLed(LedRows->Home, Mode == modeHome);
    SetLed(LedRows->Jog, Mode == modeJog || Mode == modeIncJog);
    SetLed(LedRows->IncJog, Mode == modeIncJog);
    ProgramPane.SetBlockMode(Mode != modeEdit);
    if (FunctionPage == fpProgram)
        ShowPanes();
    Changed();
}

void TFanucScreen::WriteReadout(const char *Name, double Value)
{
    Label(Name).Text = FloatToUnitsText(Units == Inch, Value);
}

// Until the machine's first position report every readout shows the
// station's start position: machine and relative origins at 0.
void TFanucScreen::ShowStartReadouts()
{
    static const char *const names[] = {
        "XRObig", "YROBig", "ZRObig", "RelX", "RelY", "RelZ", "AbsX", "AbsY", "AbsZ",
        "ActX", "ActY", "ActZ", "ToGoX", "ToGoY", "ToGoZ", "USmall", "VSmall", "WSmall",
        "UCheck", "VCheck", "WCheck", "XTogoCheck", "YTogoCheck", "ZTogoCheck"};
    for (const char *name : names)
        WriteReadout(name, 0.0);
}

void TFanucScreen::ShowPositions(const TMachineReadout &Report)
{
    const double machine[3] = {double(Report.Machine.X), double(Report.Machine.Y),
                               double(Report.Machine.Z)};
    const double work[3] = {double(Report.Work.X), double(Report.Work.Y), double(Report.Work.Z)};
    const double togo[3] = {double(Report.ToGo.X), double(Report.ToGo.Y), double(Report.ToGo.Z)};
    double relative[3];
    static const char *const axes = "XYZ";
    FPositionReported = true;
    for (int a = 0; a < 3; ++a) {
        Machine[a] = machine[a];
        relative[a] = machine[a] - Origin[a];
    }
    for (int a = 0; a < 3; ++a) {
        const std::string axis(1, axes[a]);
        if (PositionDisplay == 0)
            WriteReadout(BigValues[a], work[a]);
        else if (PositionDisplay == 1)
            WriteReadout(BigValues[a], relative[a]);
        else if (PositionDisplay == 2) {
            WriteReadout(("Act" + axis).c_str(), machine[a]);
            WriteReadout(("Rel" + axis).c_str(), relative[a]);
            WriteReadout(("Abs" + axis).c_str(), work[a]);
            WriteReadout(("ToGo" + axis).c_str(), togo[a]);
        }
        static const char *const small[3] = {"USmall", "VSmall", "WSmall"};
        static const char *const check[3] = {"UCheck", "VCheck", "WCheck"};
        static const char *const checkToGo[3] = {"XTogoCheck", "YTogoCheck", "ZTogoCheck"};
        if (Visible("SmallReadout"))
            WriteReadout(small[a], relative[a]);
        if (Label("ProgramCheck").Visible) {
            WriteReadout(check[a], CheckRelative ? relative[a] : work[a]);
            WriteReadout(checkToGo[a], togo[a]);
        }
    }
    Changed();
}

void TFanucScreen::ShowCycleState(TCycleState State)
{
    if (FBeforePrevious == csRunning && FPreviousCycleState == csStopped && State == csRewind) {
        SelectedAxis = 4;
        SendCommand(28);
        CurrentPane->GotoStart();
    }
    FBeforePrevious = FPreviousCycleState;
    FPreviousCycleState = FCycleState;
    FCycleState = State;
    if (State == csRunning) {
        ShowStatusItem(5);
        MDIPane.SetBlockMode(true);
    } else if (State == csStopped) {
        ShowStatusItem(6);
        MDIPane.SetBlockMode(false);
    } else if (State == csPaused) {
        ShowStatusItem(7);
    }
}

void TFanucScreen::TimerTick()
{
    FTimer->SetEnabled(false);
    BlinkPhase = !BlinkPhase;
    if (Clock) {
        Label("TimeLabel").Text = Clock();
    } else {
        char text[16];
        std::time_t now = std::time(nullptr);
        std::strftime(text, sizeof text, "%H:%M:%S", std::localtime(&now));
        Label("TimeLabel").Text = text;
    }
    SetLed(LedRows->CycleStart, FCycleState == csRunning || (FCycleState == csPaused && BlinkPhase));
    SetLed(LedRows->CycleStop, FCycleState == csStopped || FCycleState == csRewind);
    if (FPanel->Estop())
        ShowStatusItem(11);
    if (!ErrorText.empty()) {
        Label("ErrorLabel").Visible = true;
        Label("ErrorLabel").Text = BlinkPhase ? std::string() : ErrorText;
    }
    const char *const letters[3][2] = {{"UCaption", "BigXorU"}, {"VCaption", "BigYorV"}, {"WCaption", "BigZorW"}};
    for (int a = 0; a < 3; ++a) {
        bool shown = SelectedAxis != a || BlinkPhase;
        Label(letters[a][0]).Visible = Label(letters[a][1]).Visible = shown;
    }
    Changed();
    FTimer->SetEnabled(true);
}

// --- Pages ---

void TFanucScreen::SetTitle(const std::string &Text) { Label("TopLabel").Text = Text; }

// The program pane or the MDI pane, whichever is current, with its panel.
void TFanucScreen::ShowPanes()
{
    const bool mdi = CurrentPane == &MDIPane;
    Label("FanucEditorPanel").Visible = !mdi;
    Label("FanucMDIPanel").Visible = mdi;
    ProgramPane.SetShown(!mdi);
    MDIPane.SetShown(mdi);
}

void TFanucScreen::ShowMainDisplay(int Page)
{
    const bool offsets = Page == fpOffset;
    if (offsets ? !MachineTooling : !WorkOffset) {
        MessageDlg("", Mess().Translate("Fanuc Offsets not available yet. Please use normal offsets"),
                   mtInformation, mbOK);
        return;
    }
    Label("MainDisplay").Visible = true;
    Label("FanucEditorPanel").Visible = Label("FanucMDIPanel").Visible = false;
    ProgramPane.SetShown(false);
    MDIPane.SetShown(false);
    if (offsets) {
        if (WorkShiftPage)
            Label("WorkShiftPage").Visible = false;
        SetTitle("OFFSET");
        if (!OffsetPage) {
            OffsetPage = std::make_unique<TFanucOffs>();
            OffsetPage->OnError = [this](const std::string &Text) { ShowError(Text); };
            OffsetPage->OnChange = [this] { Changed(); };
            OffsetPage->Setup(MachineTooling, Units);
        }
        Label("OffsetPage").Visible = true;
        OffsetPage->RefreshPage();
        ShowSoftKeyPage(8);
    } else {
        if (OffsetPage)
            Label("OffsetPage").Visible = false;
        SetTitle("WORK SHIFT");
        if (!WorkShiftPage) {
            WorkShiftPage = std::make_unique<TFanucWShiftForm>();
            WorkShiftPage->OnError = [this](const std::string &Text) { ShowError(Text); };
            WorkShiftPage->OnChange = [this] { Changed(); };
            WorkShiftPage->Setup(WorkOffset, Units);
        }
        Label("WorkShiftPage").Visible = true;
        WorkShiftPage->RefreshPage();
        ShowSoftKeyPage(10);
    }
}

void TFanucScreen::ShowFunctionPage(int Page)
{
    Label("MainDisplay").Visible = false;
    Label("HelpPanel").Visible = false;
    Label("ProgramCheck").Visible = false;
    switch (Page) {
    case fpOffset:
    case fpWorkShift:
        ShowSmallReadout(true);
        ShowMainDisplay(Page);
        break;
    case fpPosition:
        Label("FanucEditorPanel").Visible = Label("FanucMDIPanel").Visible = false;
        ProgramPane.SetShown(false);
        MDIPane.SetShown(false);
        Label("SmallReadout").Visible = false;
        FunctionPage = Page;
        SetPositionDisplay(PositionDisplay);
        break;
    case fpProgram: {
        const bool wasProgram = FunctionPage == fpProgram;
        Label("SmallReadout").Visible = false;
        FunctionPage = Page;
        ShowPanes();
        if (DisplayedMode == 2) {
            ShowSoftKeyPage(12);
            if (wasProgram)
                ProgramCheckOn = !ProgramCheckOn;
            ShowProgramCheck(ProgramCheckOn);
        } else {
            ShowSoftKeyPage(0);
            ShowProgramCheck(false);
        }
        SetTitle(CurrentPane == &MDIPane ? "MDI" : "PROGRAM");
        Label("BigReadout").Visible = false;
        break;
    }
    case fpHelp:
        SetTitle("HELP SYSTEM");
        Label("HelpPanel").Visible = true;
        break;
    default:
        break;
    }
    FunctionPage = Page;
    Changed();
}

// The HELP page's lines ("HelpText1" ...), each on a line of its own; a
// long one wraps.
void TFanucScreen::SetHelpTexts(const std::vector<std::string> &Texts)
{
    for (size_t i = 0; i < Texts.size(); ++i)
        Label("HelpText" + IntToStr(int(i) + 1)).Text = Texts[i];
    for (size_t i = Texts.size() + 1; Labels.erase("HelpText" + IntToStr(int(i))); ++i)
        ;
}

// "ACTUAL POSITION (RELATIVE)" beside the OFFSET and WORK SHIFT pages: shown
// with the relative reading of the last position report, not a stale one.
void TFanucScreen::ShowSmallReadout(bool On)
{
    Label("SmallReadout").Visible = On;
    if (!On)
        return;
    static const char *const small[3] = {"USmall", "VSmall", "WSmall"};
    for (int a = 0; a < 3; ++a)
        WriteReadout(small[a], Machine[a] - Origin[a]);
}

void TFanucScreen::ShowProgramCheck(bool On)
{
    Label("ProgramCheck").Visible = On;
    if (On)
        ShowSoftKeyPage(13);
    ProgramPane.SetRowsMode(On ? 0 : 2);
    Changed();
}

void TFanucScreen::SetPositionDisplay(int Kind)
{
    PositionDisplay = uint8_t(Kind);
    auto letters = [this](int Set) {
        Label("BigXorU").Text = Letters[Set][0];
        Label("BigYorV").Text = Letters[Set][1];
        Label("BigZorW").Text = Letters[Set][2];
    };
    switch (Kind) {
    case 0:
        ShowSoftKeyPage(6);
        Label(SoftKeyLabels[0]).Inverted = true;
        letters(0);
        SetTitle("ACTUAL POSITION (ABSOLUTE)");
        Label("BigReadout").Visible = true;
        Label("AllReadout").Visible = false;
        break;
    case 1:
        ShowSoftKeyPage(5);
        Label(SoftKeyLabels[1]).Inverted = true;
        letters(1);
        SetTitle("ACTUAL POSITION (RELATIVE)");
        Label("BigReadout").Visible = true;
        Label("AllReadout").Visible = false;
        break;
    case 2:
        ShowSoftKeyPage(5);
        Label(SoftKeyLabels[2]).Inverted = true;
        SetTitle("ACTUAL POSITION (ALL)");
        Label("BigReadout").Visible = Label("AllReadout").Visible = true;
        break;
    default:
        Label("BigReadout").Visible = Label("AllReadout").Visible = false;
        break;
    }
    FPanel->RequestPositionRefresh(nullptr);
    Changed();
}

// PRESET (WithValue): the selected axis's relative reading becomes the
// keyed-in length, read in the station's units. ORIGIN: the reading becomes 0.
void TFanucScreen::PresetRelative(bool WithValue)
{
    if (WithValue) {
        const double v = UnitsTextToMM(CleanNumberText(KeyInText()), Units);
        if (SelectedAxis <= 2) {
            Origin[SelectedAxis] = Machine[SelectedAxis] - v;
            SelectedAxis = 4;
        } else {
            ShowError("FORMAT ERROR");
        }
    } else if (SelectedAxis <= 2) {
        Origin[SelectedAxis] = Machine[SelectedAxis];
    } else if (SelectedAxis == 3) {
        for (int a = 0; a < 3; ++a)
            Origin[a] = Machine[a];
    } else {
        ShowSoftKeyPage(9);
    }
    if (SelectedAxis == 4)
        ClearKeyIn();
    FPanel->RequestPositionRefresh(nullptr);
}

// --- Soft keys ---

const TSoftKeyLabels *TFanucScreen::SoftKeyPageLabels(int Page) const
{
    return Fanuc21SoftKeyLabels(Page);
}

void TFanucScreen::ShowSoftKeyPage(int Page)
{
    for (const char *name : SoftKeyLabels)
        Label(name).Inverted = false;
    const TSoftKeyLabels *texts = SoftKeyPageLabels(Page);
    if (!texts)
        return Changed();
    for (int i = 0; i < 5; ++i)
        Label(SoftKeyLabels[i]).Text = (*texts)[i];
    SoftKeyPage = Page;
    if (Page == 13)
        Label(SoftKeyLabels[1]).Inverted = true;
    Changed();
}

void TFanucScreen::SoftKey(int Tag)
{
    if (FunctionPage == fpHelp)
        return ShowHelpPopup(hcSoftKey, Tag, 1000);
    switch (SoftKeyPage) {
    case 0: case 1: case 2: SoftKeyPage0to2(Tag); break;
    case 5: case 6: case 7: case 9: SoftKeyPosition(Tag); break;
    default: SoftKeyOther(Tag); break;
    }
}

void TFanucScreen::SoftKeyPage0to2(int Tag)
{
    const int page = SoftKeyPage;
    if (Tag == 3)
        return OpenProgram();
    if (page == 0 && Tag == 6)
        return ShowSoftKeyPage(1);
    if (page == 1) {
        switch (Tag) {
        case 1: return ShowSoftKeyPage(DisplayedMode == 2 ? 12 : 0);
        case 4: case 5:
            CurrentPane->SearchText = KeyInText();
            Tag == 4 ? CurrentPane->CursorUp() : CurrentPane->CursorDown();
            return ClearKeyIn();
        case 6: CurrentPane->GotoStart(); FInput->Rewind(); return Changed();
        case 7: return ShowSoftKeyPage(2);
        default: return;
        }
    }
    if (page == 2) {
        switch (Tag) {
        case 1: return ShowSoftKeyPage(1);
        case 4: return SaveProgramAs();
        case 5: return NewProgram();
        case 7: return ShowSoftKeyPage(3);
        default: return;
        }
    }
}

void TFanucScreen::SoftKeyPosition(int Tag)
{
    const int page = SoftKeyPage;
    if ((page == 5 || page == 6) && Tag >= 2 && Tag <= 4)
        return SetPositionDisplay(Tag - 2);
    if (page == 5 && Tag == 6)
        return ShowSoftKeyPage(7);
    if ((page == 7 || page == 9) && Tag == 1)
        return ShowSoftKeyPage(5);
    if (page == 7 && (Tag == 2 || Tag == 3))
        return PresetRelative(Tag == 2);
    if (page == 9 && Tag == 4) {
        SelectedAxis = 3;
        return PresetRelative(false);
    }
    if (page == 9 && Tag == 6)
        return PresetRelative(false);
}

void TFanucScreen::SoftKeyOther(int Tag)
{
    switch (SoftKeyPage) {
    case 8:
        if (Tag == 2 && FunctionPage != fpOffset)
            ShowFunctionPage(fpOffset);
        else if (Tag == 6)
            ShowSoftKeyPage(11);
        else if (Tag == 7)
            ShowSoftKeyPage(10);
        break;
    case 10:
        if (Tag == 3)
            ShowFunctionPage(fpWorkShift);
        else if (Tag == 7)
            ShowSoftKeyPage(8);
        break;
    case 11:
        if (Tag == 1)
            ShowSoftKeyPage(8);
        else if (Tag == 3 || Tag == 5 || Tag == 6)
            EditKey(Tag == 3 ? 235 : Tag == 5 ? 233 : 29, KeyInText());
        break;
    case 12:
        if (Tag == 2 || Tag == 3) {
            ProgramCheckOn = Tag == 3;
            ShowProgramCheck(ProgramCheckOn);
        } else if (Tag == 6) {
            ShowSoftKeyPage(1);
        }
        break;
    case 13:
        if (Tag == 1) {
            ShowSoftKeyPage(12);
        } else if (Tag == 2 || Tag == 3) {
            CheckRelative = Tag == 3;
            Label("CheckType").Text = CheckRelative ? "(RELATIVE)" : "(ABSOLUTE)";
            const char *const *set = Letters[CheckRelative ? 1 : 0];
            Label("CheckX").Text = set[0];
            Label("CheckY").Text = set[1];
            Label("CheckZ").Text = set[2];
            Label(SoftKeyLabels[0]).Inverted = !CheckRelative;
            Label(SoftKeyLabels[1]).Inverted = CheckRelative;
            FPanel->RequestPositionRefresh(nullptr);
        } else if (Tag == 6) {
            ShowSoftKeyPage(1);
        }
        break;
    default:
        break;
    }
    Changed();
}

// --- Keypad and keys ---

void TFanucScreen::ClearKeyIn()
{
    FKeyIn.clear();
    FCursorChar = Shift ? '^' : '_';
    Label("EditLine").Text = ">" + FKeyIn + FCursorChar;
    Changed();
}

void TFanucScreen::TypeCharacter(char C)
{
    FKeyIn += char(std::toupper(static_cast<unsigned char>(C)));
    Shift = false;
    FCursorChar = '_';
    Label("EditLine").Text = ">" + FKeyIn + FCursorChar;
    Changed();
}

void TFanucScreen::KeypadMouseDown(int Key)
{
    if (Key < 0 || Key >= KeypadKeys)
        return;
    const int c = (Shift ? KeyCodes[Key].second : KeyCodes[Key].first) & 0xFFFF;
    ShowError("");
    if (FunctionPage == fpHelp && c != 0 && c != 42)
        return ShowHelpPopup(hcKeypadKey, Key, c);
    if (c != 0) {
        switch (c) {
        case 24: PositionKey(); break;
        case 25: ShowFunctionPage(fpProgram); break;
        case 26: ShowFunctionPage(FunctionPage == fpOffset ? fpWorkShift : fpOffset); break;
        case 33: case 34: case 37: case 38: case 39: case 40: EditKey(c, ""); break;
        case 42: HelpKey(); break;
        case 43: ResetControl(); break;
        case 232: SendCommand(31); break;
        case 233: case 234: EditKey(c, KeyInText()); break;
        default: KeyDown(c); break; // typed as a key of the keyboard
        }
    }
    SelectAxisByLetter(c & 0xFF, 'U');
}

// POS: on the POSITION page the next display (absolute, relative, all).
void TFanucScreen::PositionKey()
{
    if (FunctionPage == fpPosition)
        SetPositionDisplay((PositionDisplay + 1) % 3);
    else
        ShowFunctionPage(fpPosition);
}

void TFanucScreen::HelpKey()
{
    if (FunctionPage == fpHelp) {
        ShowFunctionPage(FSavedPage);
    } else {
        FSavedPage = FunctionPage;
        ShowFunctionPage(fpHelp);
    }
}

// The axis letter of a key on the relative or all display selects the axis
// for PRESET and ORIGIN (First: the letter of X).
void TFanucScreen::SelectAxisByLetter(int Letter, char First)
{
    if (Letter < First || Letter > First + 2 || FunctionPage != fpPosition || PositionDisplay == 0)
        return;
    SelectedAxis = uint8_t(Letter - First);
    ShowSoftKeyPage(7);
}

void TFanucScreen::KeypadMouseUp(int Key)
{
    ShowStatusItem(19);
    ShowStatusItem(20);
}

void TFanucScreen::KeyDown(int Key, char Character)
{
    ShowError("");
    switch (Key) {
    case 8:
        if (!FKeyIn.empty())
            FKeyIn.pop_back();
        Shift = false;
        FCursorChar = '_';
        Label("EditLine").Text = ">" + FKeyIn + FCursorChar;
        return Changed();
    case 13:
        if (FunctionPage == fpProgram)
            return EditKey(234, KeyInText());
        SelectedAxis = 4;
        EditKey(13, KeyInText());
        return ClearKeyIn();
    case 16:
        Shift = !Shift;
        FCursorChar = Shift ? '^' : '_';
        Label("EditLine").Text = ">" + FKeyIn + FCursorChar;
        return Changed();
    case 27:
        ShowStatusItem(12);
        return ClearKeyIn();
    case 29:
        SelectedAxis = 4;
        return EditKey(29, KeyInText());
    case 33: case 34: case 37: case 38: case 39: case 40: return EditKey(Key, "");
    case 45: return EditKey(234, KeyInText());
    case 46: return EditKey(46, "");
    case 108: return TypeCharacter(',');
    default: break;
    }
    const char c = Character ? Character : VirtualKeyCharacter(Key);
    if (static_cast<unsigned char>(c) > 13)
        TypeCharacter(c);
}

void TFanucScreen::EditKey(int Code, const std::string &Text)
{
    switch (FunctionPage) {
    case fpOffset:
        if (OffsetPage)
            OffsetPage->PageKey(Code, Text);
        return ClearKeyIn();
    case fpWorkShift:
        if (WorkShiftPage)
            WorkShiftPage->PageKey(Code, Text);
        return ClearKeyIn();
    case fpProgram: return ProgramEditKey(Code, Text);
    default: return;
    }
}

void TFanucScreen::ProgramEditKey(int Code, const std::string &Text)
{
    TFScreen &pane = *CurrentPane;
    switch (Code) {
    case 33: pane.PageUp(); return;
    case 34: pane.PageDown(); return;
    case 37: pane.CursorLeft(); return;
    case 38: pane.CursorUp(); return;
    case 39: pane.CursorRight(); return;
    case 40: pane.CursorDown(); return;
    case 46: pane.DeleteWord(); break;
    case 233:
        if (!Text.empty())
            pane.AlterWord(Text);
        ClearKeyIn();
        break;
    case 234:
        if (Text.empty())
            return;
        for (const std::string &word : SplitToWords(Text))
            pane.InsertWord(word);
        ClearKeyIn();
        break;
    default: return;
    }
    if (pane.BlockMode)
        return;
    WriteBack();
}

// The word list edited goes back into its lines; the program memory is then
// modified and the engine told.
void TFanucScreen::WriteBack()
{
    if (CurrentPane == &ProgramPane) {
        Program.WordsToLines(WriteEndMarker);
        Modified = true;
    } else {
        MDI.WordsToLines(WriteEndMarker);
    }
    if (OnChange)
        OnChange();
    Changed();
}

// --- Operator buttons, emergency stop ---

void TFanucScreen::OpButtMouseDown(int Row)
{
    const auto &table = Buttons();
    if (Row < 0 || Row >= int(table.size()))
        return;
    const int tag = table[Row].Tag;
    if (FunctionPage == fpHelp)
        return ShowHelpPopup(hcOperatorButton, Row, tag + 500);
    // A button without a function keeps its LED lit once pressed.
    SetLed(Row, tag == NoFunction);
    int command = NoFunction;
    const TLedRows &rows = *LedRows;
    if (DisplayedMode == 0) {
        if (tag == 4)
            SetLed(rows.HomeX, true), command = 17;
        else if (tag == 6)
            SetLed(rows.HomeZ, true), command = 18;
        else if (tag == 40)
            SetLed(rows.HomeY, true), command = 42;
    } else {
        SetLed(rows.HomeX, false);
        SetLed(rows.HomeY, false);
        SetLed(rows.HomeZ, false);
    }
    if (command != NoFunction)
        SendHomeCommand(command);
    else
        SendCommand(tag);
    if (tag >= 34 && tag <= 38) {
        IncrementIndex = uint8_t(tag - 34);
        for (int i = 0; i < 5; ++i)
            SetLed(rows.Increments[i], i == IncrementIndex);
    }
}

void TFanucScreen::OpButtMouseUp(int Row)
{
    if (OnOpsCommandStop)
        OnOpsCommandStop();
}

void TFanucScreen::EstopClick()
{
    if (FunctionPage == fpHelp)
        return ShowHelpPopup(hcEstop, 0, 1001);
    EstopPicture = EstopReleased ? 0 : 1;
    EstopReleased = !EstopReleased;
    if (EstopReleased)
        ResetControl();
    Changed();
}

void TFanucScreen::ResetControl()
{
    SelectedAxis = 4;
    ShowStatusItem(12);
    SendCommand(28);
    SendCommand(32);
    FInput->RestartSource();
}

void TFanucScreen::KeyUp()
{
    ShowStatusItem(19);
    ShowStatusItem(20);
}

void TFanucScreen::HideButtons()
{
    if (RightPanelHidden)
        ToggleRightPanel();
    Width = 732;
    Changed();
}

void TFanucScreen::ToggleRightPanel()
{
    RightPanelHidden = !RightPanelHidden;
    Label("OutputsPanel").Visible = !RightPanelHidden;
    Width = RightPanelHidden ? 508 : 732;
    Changed();
}

// --- Program memory ---

bool TFanucScreen::LoadProgram(const std::string &Name)
{
    std::vector<std::string> lines;
    if (!ReadLines(Name, lines)) {
        MessageDlg("", Mess().Translate("Error trying to open file") + " " + Name, mtError, mbOK);
        return false;
    }
    Program.Lines = std::move(lines);
    Program.LinesToWords();
    ProgramPane.SetWords(&Program.Words);
    Modified = false;
    if (OnChange)
        OnChange();
    Changed();
    return true;
}

bool TFanucScreen::SaveProgram(const std::string &Name)
{
    Program.WordsToLines(WriteEndMarker);
    if (!WriteLines(Name, Program.Lines)) {
        MessageDlg("", Mess().Translate("Error trying to save file") + " " + Name, mtError, mbOK);
        return false;
    }
    Modified = false;
    return true;
}

void TFanucScreen::NewProgram()
{
    if (!FileName.empty() && Modified)
        SaveProgram(FileName);
    ProgramIndex = MDIIndex = 0;
    Program.Lines = {"O0000%"};
    Program.LinesToWords();
    ProgramPane.SetWords(&Program.Words);
    FileName.clear();
    Label("Panel2").Text.clear();
    Modified = false;
    if (OnChange)
        OnChange();
    Changed();
}

void TFanucScreen::OpenProgram()
{
    FInput->OpenFile();
    Label("Panel2").Text = FileName;
}

void TFanucScreen::SaveProgramAs()
{
    FInput->SaveAsFile();
    Label("Panel2").Text = FileName;
}

// --- Screen dump ---

std::string TFanucScreen::Dump() const
{
    std::string out;
    for (const auto &[name, label] : Labels) {
        out += name + "=" + label.Text;
        if (!label.Visible)
            out += " [hidden]";
        if (label.Inverted)
            out += " [inverted]";
        out += "\n";
    }
    out += "LEDS=";
    for (int i = 0; i < int(Leds.size()); ++i)
        if (Leds[i])
            out += " " + IntToStr(i);
    out += "\nKNOB=" + IntToStr(KnobFrame) + "\nWIDTH=" + IntToStr(Width) + "\n";
    for (const TLabelList &row : CurrentPane->Rows) {
        out += row.Filled ? "ROW* " : "ROW  ";
        for (const TScreenWord &word : row.Labels)
            out += (word.Inverted ? "[" + word.Text + "]" : word.Text) + " ";
        out += "\n";
    }
    if (FunctionPage == fpOffset && OffsetPage)
        for (int t = 0; t < TFanucOffs::ToolCount; ++t)
            out += "OFFSET " + OffsetPage->Numbers[t] + " " + OffsetPage->Cells[t] + " " +
                   OffsetPage->Cells[t + TFanucOffs::ToolCount] + "\n";
    if (FunctionPage == fpWorkShift && WorkShiftPage)
        out += "SHIFT " + WorkShiftPage->Cells[0] + " " + WorkShiftPage->Cells[1] + " " +
               WorkShiftPage->Cells[2] + "\n";
    return out;
}

} // namespace orv::fanuc
