#pragma once
// The numbered macro variables that NC programs read and write (#n words,
// assignments and IF tests): #0 to #33 and #100 to #149 start at 0 each run,
// #500 to #531 are kept in [Macro Variables] of the main settings file.
// Each value is held as the text its edit field shows (15 significant digits).

#include <functional>
#include <string>
#include <vector>

namespace orv {

class TMacroVars {
public:
    static constexpr int LastVar = 531;

    // Reads #500 to #531 from the settings file (missing or unreadable: 0).
    explicit TMacroVars(std::string IniFileName);
    // Writes #500 to #531 to the settings file.
    ~TMacroVars();
    TMacroVars(const TMacroVars &) = delete;
    TMacroVars &operator=(const TMacroVars &) = delete;

    // Number := Text read as a decimal integer (-1 when it is none); true
    // for 0 to 33, 100 to 149 and 500 to 531.
    static bool IsValidVar(const std::string &Text, int &Number);
    static bool IsVarNumber(int Number);
    // #500 to #531 are kept between runs.
    static bool IsKeptVar(int Number) { return Number >= 500 && Number <= LastVar; }

    // Value of a valid number (0 for #0); 9999999 for a number that is no variable.
    long double GetVarValue(int Number) const;
    // Nearest integer (halves to even) of the variable named by Text;
    // 9999999 when Text names no variable or the value fits no integer.
    int GetVarInt(const std::string &Text) const;
    // Value of the variable named by Text; 9e9 when Text names no variable.
    long double GetVarReal(const std::string &Text) const;
    // Stores Value (as its 15-digit text) in a valid variable; #0 is left alone.
    void SetVarValue(int Number, long double Value);
    // False when Number is no variable (nothing stored), else SetVarValue and true.
    bool SetVar(int Number, long double Value);

    // The text of a variable's field as shown and typed (empty for no
    // variable); a typed text that is no number reads as 0.
    std::string VarText(int Number) const;
    void SetVarText(int Number, const std::string &Text);

    // Writes #500 to #531 to the settings file (the window's "OK" and exit).
    void Save();

    // Fired after a program or the operator changed a variable.
    std::function<void(int Number)> OnChange;

private:
    static int Slot(int Number); // index into FTexts, -1 for no variable
    void Load();

    static constexpr int SlotCount = 34 + 50 + 32;
    std::string FIniFileName;
    std::vector<std::string> FTexts;
};

} // namespace orv
