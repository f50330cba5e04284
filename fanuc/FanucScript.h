#pragma once
// Key scripts for the Fanuc stations, as an operator would work them:
//   "G00 X10."  typed on the keypad, character by character (SHIFT as needed)
//   EOB INSERT ALTER DELETE CAN INPUT POS PROG OFFSET SHIFT RESET HELP
//   PAGEUP PAGEDOWN LEFT RIGHT UP DOWN GRAPH SYSTEM MESSAGE   keypad keys
//   (0M: RESET ALTER INSERT UP DELETE DOWN EOB CAN PAGEUP POS PROG OFFSET
//   INPUT PAGEDOWN DIAG HELP GRAPH START; characters cycle on their key)
//   SK1 .. SK7  soft keys (return, the five keys, continue)
//   AUTO EDIT MDI CYCLE/START +X ...  operator buttons by Text1[/Text2]
//   PC13  a key of the PC keyboard by virtual-key code
//   ESTOP  the emergency-stop button; KNOB+ KNOB-  one step of the knob
//   HIDE  the keypad panel hidden or shown (the 21's "Hide -->", the 0M's button)
//   WAIT ms  lets the clock run
// Tokens are separated by blanks; a quoted token keeps its blanks.

#include <functional>
#include <string>
#include <vector>

namespace orv::fanuc {

class TFanucScreen;

// Splits a script into tokens; false with Error on an unclosed quote.
bool ScriptTokens(const std::string &Script, std::vector<std::string> &Tokens, std::string &Error);

// Works the script on the station; Wait lets the clock run for ms. False
// with Error naming the first token that is no key, button or command.
bool RunKeyScript(TFanucScreen &Station, const std::string &Script,
                  const std::function<void(int Ms)> &Wait, std::string &Error);

} // namespace orv::fanuc
