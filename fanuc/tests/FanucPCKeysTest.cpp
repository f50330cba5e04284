// Every key of the PC keyboard on both Fanuc stations, in both key-in modes
// (an empty key-in, where the 0M takes an address, and "X1", where it takes
// digits), through the two paths an operator has: the station's window (Qt
// key events) and ncrun's key script ("PCn", virtual keys). Both paths must
// give the same result.
#include "fanuc/FanucScript.h"
#include "fanuc/fanuc0m/FanucOMScreen.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "fanuc/tests/FanucTestFolder.h"
#include "fanuc/ui/Fanuc21Form.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include <fstream>

namespace orv::fanuc {
namespace {

// What a key did, from the state after it: the key-in text, then only what
// changed: " ^" shift on (21), " @n" the cursor word (it starts on word 2,
// "G00"), " {...}" the program's words, " page n" the function page, " sk n"
// the soft-key page, " send n" commands to the engine.
struct TPCKeyRow {
    const char *Name;
    int Vk;          // ncrun's "PCn"; 0: a character with no key of its own (window only)
    int QtKey;       // 0: a code no keyboard key gives (ncrun only)
    Qt::KeyboardModifiers Modifiers;
    const char *Text;
    const char *Fanuc21[2]; // key-in empty, key-in "X1"
    const char *ZeroM[2];
};

constexpr auto None = Qt::NoModifier;
constexpr auto Pad = Qt::KeypadModifier;

// The memory after inserting X1 behind the cursor, after deleting G00, after
// altering G00 to X1, and after INPUT of X1 before the end marker.
#define INSERTED " @3 {O0001 ; G00 X1 X1. ; M30 ;}"
#define DELETED " {O0001 ; X1. ; M30 ;}"
#define ALTERED " {O0001 ; X1 X1. ; M30 ;}"
#define APPENDED " @4 {O0001 ; G00 X1. ; M30 X1 ;}"

const TPCKeyRow Rows[] = {
    // Letters: the 21 types them; the 0M types a letter of the keypad key
    // that carries it (its first, the address) on an empty key-in, and that
    // key's digit after an address. Letter-cycle keys type nothing after two
    // characters; letters on no key are typed as they are.
    {"A", 65, Qt::Key_A, None, "a", {"A", "X1A"}, {"C", "X1"}},
    {"B", 66, Qt::Key_B, None, "b", {"B", "X1B"}, {"C", "X1"}},
    {"C", 67, Qt::Key_C, None, "c", {"C", "X1C"}, {"C", "X1"}},
    {"D", 68, Qt::Key_D, None, "d", {"D", "X1D"}, {"C", "X1"}},
    {"E", 69, Qt::Key_E, None, "e", {"E", "X1E"}, {"E", "X1E"}},
    {"F", 70, Qt::Key_F, None, "f", {"F", "X1F"}, {"F", "X12"}},
    {"G", 71, Qt::Key_G, None, "g", {"G", "X1G"}, {"G", "X19"}},
    {"H", 72, Qt::Key_H, None, "h", {"H", "X1H"}, {"H", "X11"}},
    {"I", 73, Qt::Key_I, None, "i", {"I", "X1I"}, {"K", "X1"}},
    {"J", 74, Qt::Key_J, None, "j", {"J", "X1J"}, {"K", "X1"}},
    {"K", 75, Qt::Key_K, None, "k", {"K", "X1K"}, {"K", "X1"}},
    {"L", 76, Qt::Key_L, None, "l", {"L", "X1L"}, {"L", "X1"}},
    {"M", 77, Qt::Key_M, None, "m", {"M", "X1M"}, {"M", "X1-"}},
    {"N", 78, Qt::Key_N, None, "n", {"N", "X1N"}, {"N", "X18"}},
    {"O", 79, Qt::Key_O, None, "o", {"O", "X1O"}, {"O", "X17"}},
    {"P", 80, Qt::Key_P, None, "p", {"P", "X1P"}, {"L", "X1"}},
    {"Q", 81, Qt::Key_Q, None, "q", {"Q", "X1Q"}, {"L", "X1"}},
    {"R", 82, Qt::Key_R, None, "r", {"R", "X1R"}, {"R", "X13"}},
    {"S", 83, Qt::Key_S, None, "s", {"S", "X1S"}, {"S", "X10"}},
    {"T", 84, Qt::Key_T, None, "t", {"T", "X1T"}, {"T", "X1."}},
    {"U", 85, Qt::Key_U, None, "u", {"U", "X1U"}, {"U", "X1U"}},
    {"V", 86, Qt::Key_V, None, "v", {"V", "X1V"}, {"V", "X1V"}},
    {"W", 87, Qt::Key_W, None, "w", {"W", "X1W"}, {"W", "X1W"}},
    {"X", 88, Qt::Key_X, None, "x", {"X", "X1X"}, {"X", "X14"}},
    {"Y", 89, Qt::Key_Y, None, "y", {"Y", "X1Y"}, {"Y", "X15"}},
    {"Z", 90, Qt::Key_Z, None, "z", {"Z", "X1Z"}, {"Z", "X16"}},
    // Digits: on the 0M the address of their key first.
    {"0", 48, Qt::Key_0, None, "0", {"0", "X10"}, {"S", "X10"}},
    {"1", 49, Qt::Key_1, None, "1", {"1", "X11"}, {"H", "X11"}},
    {"2", 50, Qt::Key_2, None, "2", {"2", "X12"}, {"F", "X12"}},
    {"3", 51, Qt::Key_3, None, "3", {"3", "X13"}, {"R", "X13"}},
    {"4", 52, Qt::Key_4, None, "4", {"4", "X14"}, {"X", "X14"}},
    {"5", 53, Qt::Key_5, None, "5", {"5", "X15"}, {"Y", "X15"}},
    {"6", 54, Qt::Key_6, None, "6", {"6", "X16"}, {"Z", "X16"}},
    {"7", 55, Qt::Key_7, None, "7", {"7", "X17"}, {"O", "X17"}},
    {"8", 56, Qt::Key_8, None, "8", {"8", "X18"}, {"N", "X18"}},
    {"9", 57, Qt::Key_9, None, "9", {"9", "X19"}, {"G", "X19"}},
    // The numeric keypad's digits are on no 0M key: typed as they are.
    {"numeric 0", 96, Qt::Key_0, Pad, "0", {"0", "X10"}, {"0", "X10"}},
    {"numeric 1", 97, Qt::Key_1, Pad, "1", {"1", "X11"}, {"1", "X11"}},
    {"numeric 2", 98, Qt::Key_2, Pad, "2", {"2", "X12"}, {"2", "X12"}},
    {"numeric 3", 99, Qt::Key_3, Pad, "3", {"3", "X13"}, {"3", "X13"}},
    {"numeric 4", 100, Qt::Key_4, Pad, "4", {"4", "X14"}, {"4", "X14"}},
    {"numeric 5", 101, Qt::Key_5, Pad, "5", {"5", "X15"}, {"5", "X15"}},
    {"numeric 6", 102, Qt::Key_6, Pad, "6", {"6", "X16"}, {"6", "X16"}},
    {"numeric 7", 103, Qt::Key_7, Pad, "7", {"7", "X17"}, {"7", "X17"}},
    {"numeric 8", 104, Qt::Key_8, Pad, "8", {"8", "X18"}, {"8", "X18"}},
    {"numeric 9", 105, Qt::Key_9, Pad, "9", {"9", "X19"}, {"9", "X19"}},
    {"numeric *", 106, Qt::Key_Asterisk, Pad, "*", {"*", "X1*"}, {"*", "X1*"}},
    {"numeric +", 107, Qt::Key_Plus, Pad, "+", {"+", "X1+"}, {"+", "X1+"}},
    {"numeric -", 109, Qt::Key_Minus, Pad, "-", {"-", "X1-"}, {"-", "X1-"}},
    {"numeric .", 110, Qt::Key_Period, Pad, ".", {".", "X1."}, {".", "X1."}},
    {"numeric /", 111, Qt::Key_Slash, Pad, "/", {"/", "X1/"}, {"/", "X1/"}},
    {"numeric separator", 108, 0, None, "", {",", "X1,"}, {",", "X1,"}},
    // Symbols: "-" and "." are typed, never Insert or Delete. ";" "/" ","
    // and "#" are the 0M's End Of Block key: ";" first, "#" after an address.
    {"space", 32, Qt::Key_Space, None, " ", {" ", "X1 "}, {" ", "X1 "}},
    {";", 186, Qt::Key_Semicolon, None, ";", {";", "X1;"}, {";", "X1#"}},
    {"=", 187, Qt::Key_Equal, None, "=", {"=", "X1="}, {"=", "X1="}},
    {",", 188, Qt::Key_Comma, None, ",", {",", "X1,"}, {";", "X1#"}},
    {"-", 189, Qt::Key_Minus, None, "-", {"-", "X1-"}, {"-", "X1-"}},
    {".", 190, Qt::Key_Period, None, ".", {".", "X1."}, {".", "X1."}},
    {"/", 191, Qt::Key_Slash, None, "/", {"/", "X1/"}, {";", "X1#"}},
    {"[", 219, Qt::Key_BracketLeft, None, "[", {"[", "X1["}, {"[", "X1["}},
    {"]", 221, Qt::Key_BracketRight, None, "]", {"]", "X1]"}, {"]", "X1]"}},
    {"# key", 222, Qt::Key_Apostrophe, None, "'", {"#", "X1#"}, {";", "X1#"}},
    {"shifted #", 0, Qt::Key_NumberSign, Qt::ShiftModifier, "#", {"#", "X1#"}, {";", "X1#"}},
    {"shifted *", 0, Qt::Key_Asterisk, Qt::ShiftModifier, "*", {"*", "X1*"}, {"*", "X1*"}},
    {"(", 0, Qt::Key_ParenLeft, Qt::ShiftModifier, "(", {"(", "X1("}, {"(", "X1("}},
    {":", 0, Qt::Key_Colon, Qt::ShiftModifier, ":", {":", "X1:"}, {":", "X1:"}},
    // Keys that act.
    {"Backspace", 8, Qt::Key_Backspace, None, "\b", {"", "X"}, {"", "X"}},
    {"Tab", 9, Qt::Key_Tab, None, "\t", {"", "X1"}, {"", "X1"}},
    {"Enter", 13, Qt::Key_Return, None, "\r", {"", INSERTED}, {"", INSERTED}},
    {"numeric Enter", 13, Qt::Key_Enter, Pad, "\r", {"", INSERTED}, {"", INSERTED}},
    {"Shift", 16, Qt::Key_Shift, None, "", {" ^", "X1 ^"}, {"", "X1"}},
    {"Control", 17, Qt::Key_Control, None, "", {"", "X1"}, {"", "X1"}},
    {"Alt", 18, Qt::Key_Alt, None, "", {"", "X1"}, {"", "X1"}},
    {"Pause", 19, Qt::Key_Pause, None, "", {"", "X1"}, {"", "X1"}},
    {"Caps Lock", 20, Qt::Key_CapsLock, None, "", {"", "X1"}, {"", "X1"}},
    {"Escape", 27, Qt::Key_Escape, None, "\x1b", {"", ""}, {"", ""}},
    {"29", 29, 0, None, "", {"", "X1"}, {"", "X1"}},
    {"Page Up", 33, Qt::Key_PageUp, None, "", {"", "X1"}, {"", "X1"}}, // one page only
    {"Page Down", 34, Qt::Key_PageDown, None, "", {"", "X1"}, {"", "X1"}},
    {"End", 35, Qt::Key_End, None, "", {"", "X1"}, {"", "X1"}},
    {"Home", 36, Qt::Key_Home, None, "", {"", "X1"}, {"", "X1"}},
    {"Left", 37, Qt::Key_Left, None, "", {" @1", "X1 @1"}, {" @1", "X1 @1"}},
    {"Up", 38, Qt::Key_Up, None, "", {" @0", "X1 @0"}, {" @1", "X1 @1"}},
    {"Right", 39, Qt::Key_Right, None, "", {" @3", "X1 @3"}, {" @3", "X1 @3"}},
    {"Down", 40, Qt::Key_Down, None, "", {" @5", "X1 @5"}, {" @3", "X1 @3"}},
    {"Print", 44, Qt::Key_Print, None, "", {"", "X1"}, {"", "X1"}},
    {"Insert", 45, Qt::Key_Insert, None, "", {"", INSERTED}, {"", INSERTED}},
    {"Delete", 46, Qt::Key_Delete, None, "\x7f", {DELETED, "X1" DELETED}, {DELETED, "X1" DELETED}},
    {"F1", 112, Qt::Key_F1, None, "", {"", "X1"}, {" page 4", "X1 page 4"}},
    {"F2", 113, Qt::Key_F2, None, "", {"", "X1"}, {"", "X1"}},
    {"F13", 124, Qt::Key_F13, None, "", {"", "X1"}, {"", "X1"}},
    {"F14", 125, Qt::Key_F14, None, "", {"", "X1"}, {" page 1 sk 6", "X1 page 1 sk 6"}},
    {"F15", 126, Qt::Key_F15, None, "", {"", "X1"}, {"", ""}},
    {"F16", 127, Qt::Key_F16, None, "", {"", "X1"}, {" page 0", "X1 page 0"}},
    {"F17", 128, Qt::Key_F17, None, "", {"", "X1"}, {"", "X1"}},
    {"F18", 129, Qt::Key_F18, None, "", {"", "X1"}, {"", "X1"}},
    {"F19", 130, Qt::Key_F19, None, "", {"", "X1"}, {" @0", "X1 @0"}},
    {"F20", 131, Qt::Key_F20, None, "", {"", "X1"}, {"", "X1"}},
    {"F21", 132, Qt::Key_F21, None, "", {"", "X1"}, {"", "X1"}},
    {"F22", 133, Qt::Key_F22, None, "", {"", "X1"}, {" sk 1", "X1 sk 1"}},
    {"F23", 134, Qt::Key_F23, None, "", {"", "X1"}, {"", "X1"}},
    {"F24", 135, Qt::Key_F24, None, "", {"", "X1"}, {"", "X1"}},
    {"Num Lock", 144, Qt::Key_NumLock, None, "", {"", "X1"}, {"", "X1"}},
    {"Scroll Lock", 145, Qt::Key_ScrollLock, None, "", {"", "X1"}, {"", "X1"}},
    {"`", 192, Qt::Key_QuoteLeft, None, "`", {"", "X1"}, {"", "X1"}},
    {"\\", 220, Qt::Key_Backslash, None, "\\", {"", "X1"}, {"", "X1"}},
    // The 0M's own codes of its function keys.
    {"146 ALTER", 146, 0, None, "", {"", "X1"}, {"", ALTERED}},
    {"147 INSERT", 147, 0, None, "", {"", "X1"}, {"", INSERTED}},
    {"148 POS", 148, 0, None, "", {"", "X1"}, {" page 1 sk 6", "X1 page 1 sk 6"}},
    {"149 PROG", 149, 0, None, "", {"", "X1"}, {"", ""}},
    {"150 OFFSET", 150, 0, None, "", {"", "X1"}, {" page 0", "X1 page 0"}},
    {"151 INPUT", 151, 0, None, "", {"", "X1"}, {"", APPENDED}},
    {"152 DIAG", 152, 0, None, "", {"", "X1"}, {"", "X1"}},
    {"154 GRAPH", 154, 0, None, "", {"", "X1"}, {" send 31", "X1 send 31"}},
    {"155 START", 155, 0, None, "", {"", "X1"}, {"", "X1"}},
};

class FanucPCKeys : public ::testing::Test {
protected:
    // A station in EDIT on the PROGRAM page with the program loaded, the
    // cursor on "G00" and KeyIn keyed in on its keypad.
    std::unique_ptr<TFanucScreen> Make(bool ZeroM, const std::string &KeyIn)
    {
        std::unique_ptr<TFanucScreen> s;
        if (ZeroM)
            s = std::make_unique<TFanucScreenOM>();
        else
            s = std::make_unique<TFanucScreen>();
        s->Initialise();
        s->ShowMachineMode(modeEdit);
        s->LoadProgram(Program);
        Keys(*s, ZeroM ? "PROG DOWN DOWN" : "PROG RIGHT RIGHT");
        if (!KeyIn.empty())
            Keys(*s, "\"" + KeyIn + "\"");
        Start = s->Program.Words;
        Sent.clear();
        s->OnOpsCommand = [this](int Code) { Sent.push_back(Code); };
        return s;
    }
    void Keys(TFanucScreen &S, const std::string &Script)
    {
        std::string error;
        ASSERT_TRUE(RunKeyScript(S, Script, nullptr, error)) << error;
    }
    std::string Outcome(TFanucScreen &S)
    {
        std::string out = S.KeyInText();
        if (S.Shift)
            out += " ^";
        if (S.ProgramPane.CursorWord != 2)
            out += " @" + std::to_string(S.ProgramPane.CursorWord);
        if (S.Program.Words != Start) {
            out += " {";
            for (const std::string &w : S.Program.Words)
                out += w + (&w == &S.Program.Words.back() ? "}" : " ");
        }
        if (S.FunctionPage != fpProgram)
            out += " page " + std::to_string(S.FunctionPage);
        if (S.SoftKeyPage != 0)
            out += " sk " + std::to_string(S.SoftKeyPage);
        for (int code : Sent)
            out += " send " + std::to_string(code);
        S.Modified = false; // nothing to save on close
        return out;
    }
    test::TSettingsFolder Settings{"Tarnwick.ini", "FanucKnob.gif"};
    std::string Program = [this] {
        const std::string name = (Settings.Path / "keys.fnc").string();
        std::ofstream(name, std::ios::binary) << "O0001\r\nG00 X1.\r\nM30\r\n";
        return name;
    }();
    TTestEventLoop Loop;
    TEventLoopScope LoopScope{Loop};
    TScriptedMessages Messages;
    TMessageServiceScope MessageScope{Messages};
    std::vector<std::string> Start;
    std::vector<int> Sent;
};

TEST_F(FanucPCKeys, EveryKeyInEachModeOnBothPaths)
{
    for (const TPCKeyRow &row : Rows)
        for (bool zeroM : {false, true})
            for (int mode = 0; mode < 2; ++mode) {
                const std::string keyIn = mode ? "X1" : "";
                const char *expected = (zeroM ? row.ZeroM : row.Fanuc21)[mode];
                SCOPED_TRACE(std::string(row.Name) + (zeroM ? " on the 0M" : " on the 21") +
                             (mode ? " after X1" : " on an empty key-in"));
                if (row.Vk) {
                    auto station = Make(zeroM, keyIn);
                    Keys(*station, "PC" + std::to_string(row.Vk));
                    EXPECT_EQ(Outcome(*station), expected) << "ncrun's PC" << row.Vk;
                }
                if (row.QtKey) {
                    auto station = Make(zeroM, keyIn);
                    TFanuc21Form form(*station);
                    QKeyEvent press(QEvent::KeyPress, row.QtKey, row.Modifiers, row.Text);
                    QApplication::sendEvent(&form, &press);
                    QKeyEvent release(QEvent::KeyRelease, row.QtKey, row.Modifiers, row.Text);
                    QApplication::sendEvent(&form, &release);
                    EXPECT_EQ(Outcome(*station), expected) << "the window";
                }
            }
}
} // namespace
} // namespace orv::fanuc
