#include "engine/core/DUtils.h"

#include "engine/core/DIniFile.h"
#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "engine/core/data_types.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

#include <cmath>
#include <cstdio>
#include <dlfcn.h>
#include <sys/utsname.h>

namespace orv {

namespace {

std::string DecimalSeparator = ".";

// Fixed text with Digits decimals of Value rounded first to Precision
// significant digits, as the fixed display formats give it; values too
// large for Precision digits fall back to the general form.
std::string FixedWithPrecision(double Value, int Precision, int Digits)
{
    if (!std::isfinite(Value))
        return "NAN";
    if (Value == 0)
        return FormatFixed(0, Digits);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", Precision - 1, Value);
    long double rounded = 0;
    if (!TryStrToFloat(buffer, rounded))
        return "NAN";
    if (std::fabs(rounded) >= std::pow(10.0L, Precision))
        return FloatToStr(rounded);
    return FormatFixed(rounded, Digits);
}

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

} // namespace

std::string MainIniPath() { return NetUtil().MainIniFileName(); }

std::string WorkingFolder() { return NetUtil().WorkingFolder; }

std::string ExeFolder() { return ProgramFolder(); }

std::string ExeFileWithExt(const std::string &Ext)
{
    return ChangeFileExt(ProgramFolder() + ProgramFileName(), "." + Ext);
}

std::string ChangeExtension(const std::string &Path, const std::string &Ext)
{
    return ChangeFileExt(Path, "." + Ext);
}

bool CopyFileTo(const std::string &Source, const std::string &Target)
{
    return CopyFile(Source, Target);
}

std::string RemoveDoubleBackslashes(const std::string &Path)
{
    std::string text = Path;
    for (auto at = text.find("\\\\"); at != std::string::npos; at = text.find("\\\\"))
        text.erase(at, 1);
    return text;
}

bool RegisterActiveXServer(const std::string &FileName)
{
    void *library = ::dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    using TRegister = long (*)();
    auto entry = reinterpret_cast<TRegister>(::dlsym(library, "DllRegisterServer"));
    bool registered = entry && entry() == 0;
    ::dlclose(library);
    return registered;
}

bool DriveReady(const std::string &Path)
{
    std::string path = NormalisePath(Path);
    if (path.empty() || path[0] != '/')
        return true; // relative paths live on the working folder's volume
    auto next = path.find('/', 1);
    std::string top = next == std::string::npos ? path : path.substr(0, next);
    return DirectoryExists(top.empty() ? "/" : top);
}

TOSVersionInfo GetOSVersionInfo()
{
    TOSVersionInfo info;
    struct utsname name {};
    if (::uname(&name) != 0)
        return info;
    info.SystemName = name.sysname;
    info.Release = name.release;
    info.Version = name.version;
    info.Machine = name.machine;
    return info;
}

std::string FloatToUnitsText(bool Inch, double Value)
{
    if (Value == NoValue)
        return "?.???";
    if (Inch)
        return FixedWithPrecision(Value / MmPerInch, 6, 4);
    return FixedWithPrecision(Value, 7, 3);
}

std::string IntToUnitsText(int Value, bool Inch)
{
    if (!Inch)
        return IntToStr(Value);
    return IntToStr(Round(Value / MmPerInch));
}

double UnitsTextToMM(const std::string &Text, uint8_t Units)
{
    double value = 0;
    if (!TryStrToFloat(Text, value))
        value = 0;
    return UnitsToMM(Units, value);
}

double UnitsToMM(uint8_t Units, double Value) { return Units == Inch ? Value * MmPerInch : Value; }

double RoundToUnits(uint8_t Units, double Value)
{
    if (Units == Inch)
        return Round64(Value / MmPerInch * 10000) / 10000.0;
    return Round64(Value * 100) / 100.0;
}

std::string CleanNumberText(const std::string &Text)
{
    std::string result;
    bool pointSeen = false;
    for (char c : Text) {
        if (IsDigit(c) || c == '-') {
            result += c;
        } else if ((c == '.' || c == ',') && !pointSeen) {
            result += '.';
            pointSeen = true;
        }
    }
    if (result.empty() || result == "-" || result == "+")
        return "0";
    return result;
}

bool SameLength(long double A, long double B) { return std::fabs(B - A) < 0.0001L; }

bool WithinBand(long double Centre, long double HalfWidth, long double Value)
{
    return Centre - HalfWidth < Value && Value < Centre + HalfWidth;
}

void SetUserDecimalSeparator(const std::string &Text)
{
    if (!Text.empty())
        DecimalSeparator = Text.substr(0, 1);
}

std::string GetUserDecimalSeparator() { return DecimalSeparator; }

std::string AxisPositionText(int Index, int Decimals, double Value)
{
    static const char *const Labels[3] = {"X= ", "Y= ", "Z= "};
    std::string label = Index >= 0 && Index < 3 ? Mess().Translate(Labels[Index]) : std::string();
    if (Decimals == 4)
        return label + FormatFixed(Value / MmPerInch, 4);
    return label + FormatFixed(Value, 3);
}

void WriteIniInteger(const std::string &Section, const std::string &Key, int Value)
{
    TDIniFile ini(MainIniPath());
    ini.WriteInteger(Section, Key, Value);
}

void ParseSubprogramHeader(int &Number, std::string &Name, const std::string &Text)
{
    size_t at = 0;
    if (Text.find("SUBPROGRAM") != std::string::npos) {
        at = Text.find(' ');
        if (at == std::string::npos)
            at = Text.size();
    }
    while (at < Text.size() && Text[at] == ' ')
        ++at;
    size_t digits = at;
    while (at < Text.size() && IsDigit(Text[at]))
        ++at;
    int32_t number = 1;
    if (at == digits || !TryStrToInt(Text.substr(digits, at - digits), number))
        number = 1;
    while (at < Text.size() && Text[at] == ' ')
        ++at;
    Number = number;
    Name = Text.substr(at);
}

namespace {

struct TKeyName {
    uint16_t Key;
    const char *Name;
};

// Windows virtual-key codes of the keys that have a name of their own.
constexpr TKeyName NamedKeys[] = {
    {8, "BACKSPACE key"}, {9, "TAB key"}, {12, "CLEAR key"}, {13, "ENTER key"},
    {16, "SHIFT key"}, {17, "CTRL key"}, {20, "CAPS LOCK key"}, {27, "ESC key"},
    {32, "SPACEBAR"}, {33, "PAGE UP key"}, {34, "PAGE DOWN key"}, {35, "END key"},
    {36, "HOME key"}, {37, "LEFT ARROW key"}, {38, "UP ARROW key"}, {39, "RIGHT ARROW key"},
    {40, "DOWN ARROW key"}, {41, "SELECT key"}, {43, "EXECUTE key"}, {44, "PRINT SCREEN key"},
    {45, "INS key"}, {46, "DEL key"}, {47, "HELP key"}, {106, "Multiply key"},
    {107, "Add key"}, {108, "Separator key"}, {109, "Subtract key"}, {110, "Decimal key"},
    {111, "Divide key"}, {144, "NUM LOCK key"}, {145, "SCROLL LOCK key"},
};

// Characters of the punctuation keys on the standard keyboard layout.
constexpr TKeyName LayoutKeys[] = {
    {186, ";"}, {187, "="}, {188, ","}, {189, "-"}, {190, "."}, {191, "/"},
    {192, "`"}, {219, "["}, {220, "\\"}, {221, "]"}, {222, "'"},
};

} // namespace

std::string VirtualKeyName(uint16_t Key)
{
    for (const auto &named : NamedKeys)
        if (named.Key == Key)
            return named.Name;
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return std::string(1, static_cast<char>(Key)) + " key";
    if (Key >= 96 && Key <= 105)
        return "Numeric " + std::to_string(Key - 96) + " key";
    if (Key >= 112 && Key <= 135)
        return "F" + std::to_string(Key - 111) + " key";
    for (const auto &layout : LayoutKeys)
        if (layout.Key == Key)
            return std::string(layout.Name) + " key";
    return std::string();
}

} // namespace orv
