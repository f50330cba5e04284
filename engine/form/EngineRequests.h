#pragma once
// The engine's two outside command channels as plain functions: the DDE
// command state (a poked "DoCommand" text read into a Tdevice_type and the
// status texts sent back) and the assembly of CIM serial lines into the name
// of a program to run. The DDE server and the serial port call these.

#include "engine/core/data_types.h"

#include <string>

namespace orv {

// What a poked DDE command asks the engine to do.
enum class TDDEAction {
    None,       // no "DoCommand" in the text: nothing is run
    MCode10,    // command 1: M code 10, then "IDLE "
    MCode11,    // command 2: M code 11, then "IDLE "
    RunProgram, // command 3: M code 39 and cycle start (once per new argument)
    Rewind,     // command 4: rewind, M code 38, then "IDLE "
    LoadFile,   // command 5: open FileName
    Unknown,    // any other code: "ERROR "
};

// The poked text that only closes the conversation.
bool IsDDEDisconnect(const std::string &Text);

// Reads a poked text into Device and returns the status reply. Without
// "DoCommand" in Text: "IDLE ", State 1. Otherwise the text after its first
// 10 characters is "<command> <file name>": Command is the code, blanks are
// dropped from the name; a non-empty name becomes FileName and Argument
// (" " + name); the reply is "BUSY " + Command + Argument, State 0.
// PreviousArgument always keeps the Argument of the command before.
std::string ParseDDECommand(Tdevice_type &Device, const std::string &Text);

// The action of the command last parsed (None after an "IDLE " reply).
TDDEAction DDECommandAction(const Tdevice_type &Device, const std::string &Reply);

// Command 3 runs the program only when a file is known and the argument
// is not the one of the command before (so a repeated poke runs it once).
bool DDEShouldRunProgram(const Tdevice_type &Device);

// Status texts: "IDLE " + Command + Argument and "ERROR " + Command +
// Argument, each with its one trailing blank after the keyword.
std::string DDEIdleText(const Tdevice_type &Device);
std::string DDEErrorText(const Tdevice_type &Device);

// The file of command 5: FileName, in FncFolder when it names no folder.
std::string DDEFilePath(const Tdevice_type &Device, const std::string &FncFolder);

// The folder of NC programs: the main settings' [directories] "FNC Folder",
// the program's folder when unset; with a trailing separator.
std::string FncFolder();

// Appends the received characters to CimLine up to the first CR or LF. At
// that line end a line holding "$$MACHINE FROM" (any case) names a program:
// FileName := the line from its 16th character on, in FncFolder when it
// names no folder; the line is then emptied and the rest of Data dropped.
// FileName is empty when no request line ended in Data (a partial line
// stays in CimLine for the next chunk). Returns !FileName.empty().
bool ParseCimLine(std::string &CimLine, const char *Data, int Count,
                  const std::string &FncFolder, std::string &FileName);

} // namespace orv
