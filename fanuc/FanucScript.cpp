#include "fanuc/FanucScript.h"

#include "fanuc/FanucButtons.h"
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

// Types one character with the keypad key whose face carries it.
bool TypeOnKeypad(TFanucScreen &Station, char C)
{
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
        } else if (KeypadNames().count(upper)) {
            Station.KeypadMouseDown(KeypadNames().at(upper));
            Station.KeypadMouseUp(KeypadNames().at(upper));
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
