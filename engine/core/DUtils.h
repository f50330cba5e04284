#pragma once
// Path, settings and number-text functions shared by the whole program:
// files beside the program, the main settings file, lengths shown in the
// operator's units, number texts typed by the operator, key names.
// Waiting while serving messages (DelayMs, EscapePressed) is in platform/EventLoop.h.

#include <cstdint>
#include <string>

namespace orv {

// --- Paths (folders end with "/") ---
std::string MainIniPath();                       // same as TNetUtil::MainIniFileName
std::string WorkingFolder();                     // TNetUtil's working folder
std::string ExeFolder();                         // folder of the program file
std::string ExeFileWithExt(const std::string &Ext); // program path with "." + Ext
std::string ChangeExtension(const std::string &Path, const std::string &Ext); // "." + Ext
bool CopyFileTo(const std::string &Source, const std::string &Target); // overwrites
// Every "\\" pair reduced to one "\", repeated until none is left.
std::string RemoveDoubleBackslashes(const std::string &Path);

// Loads the library, calls its "DllRegisterServer" when present and frees
// it; true only when that call returned 0. No library or no entry: false.
bool RegisterActiveXServer(const std::string &FileName);
// True when the volume the path lives on can be used: its top folder exists.
bool DriveReady(const std::string &Path);

struct TOSVersionInfo {
    std::string SystemName;
    std::string Release;
    std::string Version;
    std::string Machine;
};
TOSVersionInfo GetOSVersionInfo();

// --- Lengths in the operator's units (millimetres inside the program) ---
// Inch: Value / 25.4 with 4 decimals (6 significant digits); metric: 3
// decimals (7 significant digits); "?.???" for NoValue; "NAN" when the value
// cannot be formatted.
std::string FloatToUnitsText(bool Inch, double Value);
// Value as text; in inch Round(Value / 25.4).
std::string IntToUnitsText(int Value, bool Inch);
// The number in Text (0 when it is no number), times 25.4 when Units is 1.
double UnitsTextToMM(const std::string &Text, uint8_t Units);
double UnitsToMM(uint8_t Units, double Value);
// Inch: Round(Value / 25.4 * 10000) / 10000 in inches; metric: Round(Value * 100) / 100.
double RoundToUnits(uint8_t Units, double Value);
// Digits and "-" kept, the first "." or "," becomes ".", all else dropped;
// an empty result, "-" or "+" becomes "0".
std::string CleanNumberText(const std::string &Text);
bool SameLength(long double A, long double B);                          // |B - A| < 0.0001
bool WithinBand(long double Centre, long double HalfWidth, long double Value); // open band

// The decimal separator the program asks the user's settings for. It is
// kept inside the process: the user's locale is never changed.
void SetUserDecimalSeparator(const std::string &Text);
std::string GetUserDecimalSeparator();

// Status-bar text of an axis position: "X= ", "Y= " or "Z= " (Index 0 to 2,
// translated) + Value as "0.0000" after dividing by 25.4 when Decimals is 4,
// else "0.000".
std::string AxisPositionText(int Index, int Decimals, double Value);

// Writes an integer into the main settings file.
void WriteIniInteger(const std::string &Section, const std::string &Key, int Value);

// "SUBPROGRAM 1000 PART": Number 1000, Name "PART"; Number 1 without digits.
void ParseSubprogramHeader(int &Number, std::string &Name, const std::string &Text);

// Display name of a virtual key ("ENTER key", "A key", "F5 key"); empty for
// a key that has none.
std::string VirtualKeyName(uint16_t Key);

} // namespace orv
