#include "engine/form/EngineRequests.h"

#include "engine/core/DIniFile.h"
#include "engine/core/DUtils.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

namespace orv {

namespace {

// "DoCommand" and the blank after it: the command starts after these.
constexpr size_t DDEPrefixLength = 10;
// "$$MACHINE FROM" and one separator: the name starts at the 16th character.
constexpr size_t CimNameStart = 15;

bool IsLineEnd(char C) { return C == '\r' || C == '\n'; }

bool NamesFolder(const std::string &Name)
{
    std::string norm = NormalisePath(Name);
    return norm.find('/') != std::string::npos || norm.find(':') != std::string::npos;
}

std::string InFolder(const std::string &Name, const std::string &Folder)
{
    if (Name.empty() || NamesFolder(Name) || Folder.empty())
        return Name;
    return IncludeTrailingDelimiter(NormalisePath(Folder)) + Name;
}

std::string WithoutBlanks(const std::string &Text)
{
    std::string out;
    for (char c : Text)
        if (c != ' ')
            out += c;
    return out;
}

// The file name of a request line; empty for any other line.
std::string CimRequestName(const std::string &Line, const std::string &Folder)
{
    if (UpperCase(Line).find("$$MACHINE FROM") == std::string::npos)
        return {};
    if (Line.size() <= CimNameStart)
        return {}; // the request names no file
    return InFolder(Line.substr(CimNameStart), Folder);
}

} // namespace

bool IsDDEDisconnect(const std::string &Text) { return Text == "disconnect"; }

std::string ParseDDECommand(Tdevice_type &Device, const std::string &Text)
{
    Device.PreviousArgument = Device.Argument;
    Device.Argument.clear();
    if (Text.find("DoCommand") == std::string::npos) {
        Device.State = 1;
        return "IDLE ";
    }
    std::string work = Text + " ";
    work = work.size() > DDEPrefixLength ? work.substr(DDEPrefixLength) : std::string();
    size_t blank = work.find(' ');
    Device.Command = work.substr(0, blank);
    std::string name = blank == std::string::npos ? std::string() : WithoutBlanks(work.substr(blank + 1));
    if (!name.empty()) {
        Device.FileName = name;
        Device.Argument = " " + name;
    }
    Device.State = 0;
    return "BUSY " + Device.Command + Device.Argument;
}

TDDEAction DDECommandAction(const Tdevice_type &Device, const std::string &Reply)
{
    if (Reply == "IDLE ")
        return TDDEAction::None;
    int32_t code = 0;
    if (!TryStrToInt(Device.Command, code))
        return TDDEAction::Unknown;
    switch (code) {
    case 1: return TDDEAction::MCode10;
    case 2: return TDDEAction::MCode11;
    case 3: return TDDEAction::RunProgram;
    case 4: return TDDEAction::Rewind;
    case 5: return TDDEAction::LoadFile;
    default: return TDDEAction::Unknown;
    }
}

bool DDEShouldRunProgram(const Tdevice_type &Device)
{
    return !Device.FileName.empty() && Device.Argument != Device.PreviousArgument;
}

std::string DDEIdleText(const Tdevice_type &Device)
{
    return "IDLE " + Device.Command + Device.Argument;
}

std::string DDEErrorText(const Tdevice_type &Device)
{
    return "ERROR " + Device.Command + Device.Argument;
}

std::string DDEFilePath(const Tdevice_type &Device, const std::string &FncFolder)
{
    return InFolder(Device.FileName, FncFolder);
}

std::string FncFolder()
{
    TDIniFile settings(MainIniPath());
    std::string folder = settings.ReadString("directories", "FNC Folder", "");
    if (Trim(folder).empty())
        folder = ExeFolder();
    return IncludeTrailingDelimiter(NormalisePath(folder));
}

bool ParseCimLine(std::string &CimLine, const char *Data, int Count,
                  const std::string &FncFolder, std::string &FileName)
{
    FileName.clear();
    for (int i = 0; Data && i < Count; ++i) {
        if (!IsLineEnd(Data[i])) {
            CimLine += Data[i];
            continue;
        }
        FileName = CimRequestName(CimLine, FncFolder);
        CimLine.clear();
        break; // the rest of this chunk is dropped
    }
    return !FileName.empty();
}

} // namespace orv
