#include "fanuc/FanucScript.h"

#include "fanuc/FanucButtons.h"
#include "fanuc/fanuc0m/FanucOMScreen.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#include "platform/NumberText.h"

#include <map>

namespace orv::fanuc {

namespace {

const std::map<std::string, int> &KeypadNames()
{
    static const std::map<std::string, int> names = {
        {"EOB", 20},     {"POS", 24},      {"PROG", 25},   {"OFFSET", 26},  {"SHIFT", 27},
        {"CAN", 28},     {"INPUT", 29},    {"SYSTEM", 30}, {"MESSAGE", 31}, {"GRAPH", 32},
        {"ALTER", 33},   {"INSERT", 34},   {"DELETE", 35}, {"PAGEUP", 36},  {"PAGEDOWN", 37},
        {"LEFT", 38},    {"RIGHT", 39},    {"UP", 40},     {"DOWN", 41},    {"HELP", 42},
        {"RESET", 43},
    };
    return names;
}

const std::map<std::string, int> &KeypadNamesOM()
{
    static const std::map<std::string, int> names = {
        {"RESET", 0},  {"ALTER", 4},     {"INSERT", 8},   {"UP", 9},        {"DELETE", 13},
        {"DOWN", 14},  {"EOB", 18},      {"CAN", 22},     {"PAGEUP", 23},   {"POS", 24},
        {"PROG", 25},  {"OFFSET", 26},   {"INPUT", 27},   {"PAGEDOWN", 28}, {"DIAG", 29},
        {"HELP", 30},  {"GRAPH", 31},    {"START", 32},
    };
    return names;
}

// Types one character on the 0M keypad: the key whose characters hold it,
// pressed again while it cycles to another of its characters.
bool TypeOnOMKeypad(TFanucScreenOM &Station, char C)
{
    const char wanted = char(std::toupper(static_cast<unsigned char>(C)));
    const std::string before = Station.EditLine.ANCaption();
    for (int k = 0; k < FanucOMKeyCount; ++k) {
        const TKeypadRow &row = FanucOMKeypad()[k];
        if (row.Kind == kkFunction)
            continue;
        bool holds = false;
        for (int code : row.Codes)
            holds = holds || (code >= 0 && (code == 45 ? '-' : code == 46 ? '.' : VirtualKeyCharacter(code)) == wanted);
        if (!holds)
            continue;
        for (int press = 0; press < 4; ++press) {
            Station.KeypadMouseDown(k);
            Station.KeypadMouseUp(k);
            if (Station.EditLine.ANCaption() == before + wanted)
                return true;
        }
        Station.EditLine.SetANCaption(before);
        Station.Keypad.ResetCycle();
    }
    return false;
}

// Types one character with the keypad key whose face carries it.
bool TypeOnKeypad(TFanucScreen &Station, char C)
{
    if (auto *om = dynamic_cast<TFanucScreenOM *>(&Station))
        return TypeOnOMKeypad(*om, C);
    const char wanted = char(std::toupper(static_cast<unsigned char>(C)));
    for (int k = 0; k < int(Station.KeyCodes.size()); ++k) {
        const auto [code, shifted] = Station.KeyCodes[k];
        const bool plain = VirtualKeyCharacter(code) == wanted;
        if (!plain && VirtualKeyCharacter(shifted) != wanted)
            continue;
        if (Station.Shift != !plain) {
            Station.KeypadMouseDown(KeypadNames().at("SHIFT"));
            Station.KeypadMouseUp(KeypadNames().at("SHIFT"));
        }
        Station.KeypadMouseDown(k);
        Station.KeypadMouseUp(k);
        return true;
    }
    return false;
}

bool PressButton(TFanucScreen &Station, const std::string &Token)
{
    const size_t slash = Token.find('/');
    const std::string text1 = Token.substr(0, slash);
    const std::string text2 = slash == std::string::npos ? std::string() : Token.substr(slash + 1);
    const int row = FindButton(Station.Buttons(), text1, text2);
    if (row < 0 || text1.empty())
        return false;
    Station.OpButtMouseDown(row);
    Station.OpButtMouseUp(row);
    return true;
}

} // namespace

bool ScriptTokens(const std::string &Script, std::vector<std::string> &Tokens, std::string &Error)
{
    Tokens.clear();
    size_t i = 0;
    while (i < Script.size()) {
        if (std::isspace(static_cast<unsigned char>(Script[i]))) {
            ++i;
            continue;
        }
        if (Script[i] == '"') {
            size_t end = Script.find('"', i + 1);
            if (end == std::string::npos) {
                Error = "unclosed quote in the key script: " + Script.substr(i);
                return false;
            }
            Tokens.push_back(Script.substr(i, end - i + 1));
            i = end + 1;
            continue;
        }
        size_t end = i;
        while (end < Script.size() && !std::isspace(static_cast<unsigned char>(Script[end])))
            ++end;
        Tokens.push_back(Script.substr(i, end - i));
        i = end;
    }
    return true;
}

bool RunKeyScript(TFanucScreen &Station, const std::string &Script,
                  const std::function<void(int Ms)> &Wait, std::string &Error)
{
    std::vector<std::string> tokens;
    if (!ScriptTokens(Script, tokens, Error))
        return false;
    const auto &names = dynamic_cast<TFanucScreenOM *>(&Station) ? KeypadNamesOM() : KeypadNames();
    for (size_t t = 0; t < tokens.size(); ++t) {
        const std::string &token = tokens[t];
        const std::string upper = UpperCase(token);
        int32_t number = 0;
        if (token.front() == '"') {
            for (char c : token.substr(1, token.size() - 2))
                if (!TypeOnKeypad(Station, c)) {
                    Error = std::string("no keypad key types \"") + c + "\"";
                    return false;
                }
        } else if (names.count(upper)) {
            Station.KeypadMouseDown(names.at(upper));
            Station.KeypadMouseUp(names.at(upper));
        } else if (upper.size() == 3 && upper.rfind("SK", 0) == 0 && upper[2] >= '1' && upper[2] <= '7') {
            Station.SoftKey(upper[2] - '0');
        } else if (upper.rfind("PC", 0) == 0 && TryStrToInt(upper.substr(2), number)) {
            Station.KeyDown(number);
        } else if (upper == "WAIT" && t + 1 < tokens.size() && TryStrToInt(tokens[t + 1], number)) {
            if (Wait)
                Wait(number);
            ++t;
        } else if (upper == "ESTOP") {
            Station.EstopClick();
        } else if (upper == "KNOB+" || upper == "KNOB-") {
            Station.KnobStep(upper == "KNOB+");
        } else if (upper == "HIDE") {
            Station.ToggleRightPanel();
        } else if (!PressButton(Station, token)) {
            Error = "no key, button or command \"" + token + "\" in the key script";
            return false;
        }
        if (Wait)
            Wait(0);
    }
    return true;
}

} // namespace orv::fanuc
