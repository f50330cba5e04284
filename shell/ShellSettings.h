#pragma once
// The main window's keys of the main settings file: the default billet,
// the background, the keys written at close, and which help files the help
// items open for a language.
#include "engine/chain/EngineHost.h"

#include <string>

namespace orv {

// [Default Settings] "Billet X", "Billet Y", "Billet Z", "Billet X Pos",
// "Billet Y Pos" (mm); a value that is no number keeps its default.
TBilletBox ReadDefaultBillet(const std::string &MainSettingsFile);
// Sizes only when not 0 (the file keeps its old value), positions always.
void WriteDefaultBillet(const std::string &MainSettingsFile, const TBilletBox &Billet);

// The keys the main window writes when it closes (besides the billet).
struct TCloseKeys {
    std::string MachineOffset;
    std::string SimulationOffset;
    bool ExpandedCycles = true;
};
void WriteCloseKeys(const std::string &MainSettingsFile, const TCloseKeys &Keys);

// What the two help items open for a language.
struct THelpFiles {
    bool WinHelp = true;             // the language's name contains "ENGLISH"
    std::string ApplicationHelpFile; // empty for other languages
    std::string ProductHelp;         // "&Orvellan"
    std::string ProgrammingHelp;     // "CNC &Programming"
};
// HelpPath: program folder + [Default Settings] "Help File".
THelpFiles HelpFilesFor(const std::string &LanguageName, const std::string &ProgramFolder,
                        const std::string &ProgramName, const std::string &HelpPath);

// Billet values in the billet dialog: text in the dialog's units, and back
// to millimetres (false, Value untouched, when the text is no number).
std::string BilletValueText(bool Inch, double Millimetres);
bool BilletTextToMM(const std::string &Text, bool Inch, double &Millimetres);

} // namespace orv
