#include "fanuc/fanuc0m/FanucOMScreen.h"

#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "fanuc/FanucButtons.h"
#include "fanuc/fanuc0m/FanucOMInput.h"
#include "fanuc/fanuc21/Fanuc21Input.h"
#include "platform/EventLoop.h"
#include "platform/NumberText.h"

#include <cstdio>

namespace orv::fanuc {

namespace {

constexpr uint32_t Green = 65280;

std::string Formatted(const char *Format, int Value)
{
    char text[32];
    std::snprintf(text, sizeof text, Format, Value);
    return text;
}

// Help contexts of the keypad's codes: the character keys share one topic.
int HelpContext(int Code)
{
    if (Code == 33 || Code == 34)
        return 33;
    if (Code >= 37 && Code <= 40)
        return 37;
    const bool character = (Code >= 48 && Code <= 57) || (Code >= 65 && Code <= 68) ||
                           (Code >= 70 && Code <= 73) || (Code >= 75 && Code <= 90) ||
                           Code == 109 || Code == 110 || Code == 186 || Code == 188 ||
                           Code == 191 || Code == 222;
    return character ? 2000 : Code;
}

// The character a keypad code types: 45 and 46 are the keypad's "-" and "."
// (as keys of the PC keyboard they are Insert and Delete, which act).
char CodeCharacter(int Code)
{
    if (Code == 45)
        return '-';
    if (Code == 46)
        return '.';
    return VirtualKeyCharacter(Code);
}

} // namespace

TFanucScreenOM::TFanucScreenOM() : HomeKeyDelay(std::make_unique<TTimer>())
{
    FSection = "FanucScreenOM";
    for (const char *&idle : StatusIdle)
        idle = "";
    StatusHomeText = "ZRN";
    TDIniFile settings(MainIniPath());
    ShowButtons = settings.ReadBool(FSection, "Show Buttons", true);
    LeftSide = settings.ReadBool(FSection, "Left Side", false);
    LedRows = &FanucOMLeds;
    Leds.assign(FanucOMButtons().size(), false);
    FPanel = std::make_unique<TFanucOMControlPanel>(*this);
    FInput = std::make_unique<TFanucOMInput>(*this);
    KeyCodes.clear();
    KnobStepPixels = 1;
    WriteEndMarker = true;
    HelpFile = ExeFolder() + "FanucOM.hlp";
    Program.Words = {"O0000", ";", "%"};
    MDI.Words = {"%"};
    for (TFScreen *pane : {&ProgramPane, &MDIPane}) {
        pane->SetBackColor(0);
        pane->SetTextColor(Green);
        pane->OnRowChange = [this](const std::string &Text) { ShowBlockNumber(Text); };
    }
    ProgramPane.SetWords(&Program.Words);
    MDIPane.SetWords(&MDI.Words);
    Label("BigO").Text = "O0000";
    Label("BigN").Text = "N0000";
    Label("SmallOffsetToolL") = {"O0000 N0000", false, false};
    Label("ShowHideBtn").Text = "Hide Edit Panel";
    SetHelpTexts({"* HELP *",
                  "In this mode - select an item you want to know more about by clicking it "
                  "with the ? mouse pointer.",
                  "Press HELP (OPR ALARM) key again to leave help mode",
                  "You have pressed the 'Operators Alarm' button. This button would normally "
                  "show the alarm number display, on this simulator it enables help mode."});
    EditLine.OnChange = [this] { ShowEditLine(); };
    EditLine.OnDelChar = [this] {
        if (!EditLine.HasAdrs())
            Keypad.ResetCycle();
    };
    EditLine.Visible = false;
    ShowEditLine();
    HomeKeyDelay->SetInterval(300);
    HomeKeyDelay->OnTimer = [this] {
        HomeKeyDelay->SetEnabled(false);
        SendCommand(HomeKeyTag);
    };
    ShowStatusItem(16);
    ShowStatusItem(4);
}

TFanucScreenOM::~TFanucScreenOM()
{
    HomeKeyDelay->SetEnabled(false);
    EditLine.OnChange = nullptr;
}

const std::vector<TButtType> &TFanucScreenOM::Buttons() const { return FanucOMButtons(); }

void TFanucScreenOM::Initialise()
{
    TFanucScreen::Initialise();
    ShowFunctionPage(fpPosition);
}

void TFanucScreenOM::ShowEditLine()
{
    Label("EditLine").Text = EditLine.Caption();
    Label("EditLine").Visible = EditLine.Visible;
    if (OnScreenChange)
        OnScreenChange();
}

void TFanucScreenOM::ClearKeyIn()
{
    EditLine.SetANCaption("");
}

// --- Status line, override ---

// As the 21's, on an emptied line; EDIT and MDI clear the key-in.
void TFanucScreenOM::ShowStatusItem(int Code)
{
    TFanucScreen::ShowStatusItem(Code);
    if (Code == 0 || Code == 2)
        ClearKeyIn();
}

void TFanucScreenOM::ResetStatusLine()
{
    for (const char *name : {"StatDisp2", "StatDisp3", "StatDisp4"})
        Label(name).Text.clear();
}

void TFanucScreenOM::ShowOverride(int)
{
    Label("OverrideLabel").Text = "OS" + Formatted("%.3d", KnobPercent) + "%";
    FPanel->PushOverride(1);
    FPanel->PushOverride(3);
    if (OnScreenChange)
        OnScreenChange();
}

void TFanucScreenOM::ShowKnob(int Percent)
{
    TFanucScreen::ShowKnob(Percent);
    Label("OverrideLabel").Text = "OS" + Formatted("%.3d", KnobPercent) + "%";
}

// --- Mode and pages ---

// The 0M's own soft keys on the program search and the offset pages.
const TSoftKeyLabels *TFanucScreenOM::SoftKeyPageLabels(int Page) const
{
    static const TSoftKeyLabels search = {"      ", "O SRH ", "SRH <-", "SRH ->", "REWIND"};
    static const TSoftKeyLabels offsets = {"OFFSET", "      ", "W.SHFT", "      ", "      "};
    if (Page == 1)
        return &search;
    if (Page == 8 || Page == 10)
        return &offsets;
    return TFanucScreen::SoftKeyPageLabels(Page);
}

void TFanucScreenOM::ShowMachineMode(TMachineMode Mode)
{
    EditLine.Visible = false;
    if (Mode == modeMDI || Mode == modeEdit) {
        Source().MDIFlag = Mode == modeMDI;
        const bool mdi = Mode == modeMDI;
        if (!mdi)
            CurrentPane = &ProgramPane;
        ShowStatusItem(mdi ? 2 : 0);
        DisplayedMode = mdi ? 3 : 4;
        EditLine.Visible = true;
        if (FunctionPage == fpProgram) {
            CurrentPane = mdi ? &MDIPane : &ProgramPane;
            ShowPanes();
            ShowSoftKeyPage(0);
            ShowProgramCheck(false);
            SetTitle(mdi ? "MDI" : "PROGRAM");
            if (mdi)
                Label("BigReadout").Visible = false;
        }
        ShowModeLeds(Mode);
    } else {
        TFanucScreen::ShowMachineMode(Mode);
        if (Mode == modeAuto && FunctionPage == fpProgram)
            EditLine.Visible = false;
    }
    ShowEditLine();
}

void TFanucScreenOM::ShowFunctionPage(int Page)
{
    Label("SmallOffsetToolL").Visible = false;
    EditLine.Offset = false;
    if (Page == fpProgram) {
        CurrentPane = DisplayedMode == 3 ? &MDIPane : &ProgramPane;
        Label("SmallOffsetToolL").Visible = true;
        EditLine.Visible = true;
        Label("HideToGo").Visible = true;
        ShowStatusItem(DisplayedMode == 3 ? 2 : 0);
        TFanucScreen::ShowFunctionPage(Page);
        Label("SmallOffsetToolL").Visible = true;
    } else {
        TFanucScreen::ShowFunctionPage(Page);
    }
    if (Page == fpPosition)
        EditLine.Visible = false;
    if (Page == fpOffset)
        ShowSmallReadout(MachineTooling != nullptr);
    if (Page == fpHelp) {
        Label("SmallOffsetToolL").Visible = true;
        Label("BigReadout").Visible = false;
        EditLine.Visible = false;
    }
    ShowEditLine();
}

void TFanucScreenOM::SetPositionDisplay(int Kind)
{
    Label("SmallOffsetToolL").Visible = false;
    TFanucScreen::SetPositionDisplay(Kind);
    Label("BigXorU").Text = "X";
    Label("BigYorV").Text = "Y";
    Label("BigZorW").Text = "Z";
    if (Kind == 1 || Kind == 2)
        EditLine.Visible = true;
    if (Kind == 2)
        Label("SmallOffsetToolL").Visible = true;
    ShowEditLine();
}

void TFanucScreenOM::SoftKey(int Tag)
{
    if (FunctionPage == fpHelp)
        return TFanucScreen::SoftKey(Tag);
    switch (SoftKeyPage) {
    case 1:
        if (Tag == 4 || Tag == 5) {
            CurrentPane->SearchText = EditLine.ANCaption();
            Tag == 4 ? CurrentPane->CursorUp() : CurrentPane->CursorDown();
            return ClearKeyIn();
        }
        [[fallthrough]];
    case 0:
    case 2:
        TFanucScreen::SoftKey(Tag);
        if (Tag == 3)
            ShowProgramNumber();
        return;
    case 8:
    case 10:
        if (Tag == 2 && FunctionPage != fpOffset)
            ShowFunctionPage(fpOffset);
        else if (Tag == 4 && FunctionPage != fpWorkShift)
            ShowFunctionPage(fpWorkShift);
        return;
    case 11:
        if (Tag == 1)
            ShowSoftKeyPage(8);
        else if (Tag == 5 || Tag == 6)
            EditKey(Tag == 5 ? 146 : 151, EditLine.ANCaption());
        return;
    default: return TFanucScreen::SoftKey(Tag);
    }
}

// --- Keys ---

void TFanucScreenOM::KeypadMouseDown(int Key)
{
    if (Key < 0 || Key >= FanucOMKeyCount)
        return;
    const int code = Keypad.DecodeKey(Key, EditLine, FunctionPage == fpOffset);
    ShowError("");
    if (FunctionPage == fpHelp && code != 0 && code != 235)
        return ShowHelpPopup(hcKeypadKey, Key, HelpContext(code));
    if (code != 0) {
        switch (code) {
        case 27: ResetControl(); break;
        case 33: case 34: case 37: case 38: case 39: case 40: EditKey(code, ""); break;
        case 146: case 147: case 151: EditKey(code, EditLine.ANCaption()); break;
        case 148: PositionKey(); break;
        case 149: ShowFunctionPage(fpProgram); break;
        case 150: ShowFunctionPage(FunctionPage == fpOffset ? fpWorkShift : fpOffset); break;
        case 154: SendCommand(31); break;
        case 235: HelpKey(); break;
        default:
            // A character key types its character; a function key acts.
            if (Keypad.Keys[Key].Kind == kkFunction)
                KeyCode(code);
            else
                TypeCode(code);
            break;
        }
    }
    SelectAxisByLetter(code & 0xFF, 'X');
}

// The PC key decoded as the keypad key that carries it: a character is
// typed by the address and number rules, a key that acts acts. A character
// without a key code of its own (Key 0) is typed as it is.
void TFanucScreenOM::KeyDown(int Key, char Character)
{
    ShowError("");
    if (Key == 0) {
        if (static_cast<unsigned char>(Character) > 32)
            EditLine.SetANCaption(EditLine.ANCaption() +
                                  char(std::toupper(static_cast<unsigned char>(Character))));
        return;
    }
    const TPCKey key = Keypad.MapPCKey(Key, EditLine, FunctionPage == fpOffset);
    if (key.Typed)
        TypeCode(key.Code);
    else
        KeyCode(key.Code);
}

void TFanucScreenOM::TypeCode(int Code)
{
    const char c = CodeCharacter(Code);
    if (Code > 13 && c)
        EditLine.SetANCaption(EditLine.ANCaption() + c);
}

void TFanucScreenOM::KeyCode(int Code)
{
    switch (Code) {
    case 8:
        // Cancel removes one character; on the POSITION page it also zeroes
        // the selected relative axis.
        EditLine.DelChar(true);
        if (FunctionPage == fpPosition)
            PresetRelative(false);
        return;
    case 13:
        if (FunctionPage == fpProgram)
            return EditKey(147, EditLine.ANCaption());
        SelectedAxis = 4;
        EditKey(13, EditLine.ANCaption());
        return ClearKeyIn();
    case 27:
        ShowStatusItem(12);
        return ClearKeyIn();
    case 33: case 34: case 37: case 38: case 39: case 40: case 46: return EditKey(Code, "");
    case 45: return EditKey(147, EditLine.ANCaption());
    case 108: return TypeCode(188);
    case 112: return KeypadMouseDown(30);
    case 125: case 126: case 127: return KeypadMouseDown(Code - 101);
    case 128: case 129: case 130: case 131: case 132: case 133: case 134: return SoftKey(Code - 127);
    case 146: return KeypadMouseDown(4);
    case 147: return KeypadMouseDown(8);
    case 148: return KeypadMouseDown(24);
    case 149: return KeypadMouseDown(25);
    case 150: return KeypadMouseDown(26);
    case 154: return KeypadMouseDown(31);
    case 151:
        SelectedAxis = 4;
        return EditKey(151, EditLine.ANCaption());
    default: return; // a key without an action here (SYSTEM, OUTPUT, Shift ...)
    }
}

void TFanucScreenOM::EditKey(int Code, const std::string &Text)
{
    if (FunctionPage != fpProgram)
        return TFanucScreen::EditKey(Code, Text);
    TFScreen &pane = *CurrentPane;
    switch (Code) {
    case 33: return pane.PageUp();
    case 34: return pane.PageDown();
    case 37: case 38: return pane.CursorLeft();
    case 39: case 40: return pane.CursorRight();
    case 46: pane.DeleteWord(); break;
    case 146:
        if (!Text.empty())
            pane.AlterWord(Text);
        ClearKeyIn();
        break;
    case 147:
    case 151:
        if (Text.empty())
            return;
        for (const std::string &word : SplitToWords(Text))
            Code == 147 ? pane.InsertWord(word) : pane.InsertBeforeEnd(word);
        ClearKeyIn();
        break;
    default: return;
    }
    if (!pane.BlockMode)
        WriteBack();
}

// --- Buttons, knob window, numbers ---

// In home mode the home command goes out 300 ms after the press, so the
// button's release comes first.
void TFanucScreenOM::SendHomeCommand(int Code)
{
    HomeKeyTag = Code;
    HomeKeyDelay->SetEnabled(false);
    HomeKeyDelay->SetEnabled(true);
}

void TFanucScreenOM::ToggleRightPanel()
{
    TFanucScreen::ToggleRightPanel();
    FloatKnobShown = RightPanelHidden;
    Label("FloatKnob") = {"Feed Override", FloatKnobShown, false};
    Label("ShowHideBtn").Text = RightPanelHidden ? "Show Edit Panel" : "Hide Edit Panel";
    if (OnScreenChange)
        OnScreenChange();
}

void TFanucScreenOM::ShowProgramNumber()
{
    std::string line;
    Source().GetLine(0, line);
    int number = 0;
    const std::vector<std::string> words = SplitToWords(line);
    if (!words.empty() && words[0].find('O') != std::string::npos) {
        std::string digits = words[0];
        digits.erase(digits.find('O'), 1);
        int32_t value = 0;
        number = TryStrToInt(digits, value) ? value : 0;
    }
    Label("BigO").Text = Formatted("O%.4d", number);
    Label("SmallOffsetToolL").Text = Label("BigO").Text + " " + Label("BigN").Text;
}

void TFanucScreenOM::ShowBlockNumber(const std::string &Text)
{
    std::string digits = Text;
    const size_t n = digits.find('N');
    if (n != std::string::npos)
        digits.erase(n, 1);
    int32_t value = 0;
    Label("BigN").Text = Formatted("N%.4d", TryStrToInt(digits, value) ? value : 0);
    Label("SmallOffsetToolL").Text = Label("BigO").Text + " " + Label("BigN").Text;
}

} // namespace orv::fanuc
