#include "machine/MachineList.h"

#include "engine/core/Mess.h"
#include "machine/Read_Machinedata_file.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"

namespace orv {

namespace {

constexpr const char *Millers = "Millers";
constexpr const char *ComPortKey = "Com Port";
constexpr const char *LinkSection = "Communications";
constexpr const char *ConsoleSection = "Input/Output Devices";

bool IsMCodeSection(const std::string &Section)
{
    if (Section.size() < 2 || Section.size() > 3 || (Section[0] != 'M' && Section[0] != 'm'))
        return false;
    for (size_t i = 1; i < Section.size(); ++i)
        if (Section[i] < '0' || Section[i] > '9')
            return false;
    return true;
}

std::string Translate(const std::string &Text) { return Mess().Translate(Text); }

void CreationError()
{
    MessageDlg("", Translate("Sorry Error in creating that name"), mtError, mbOK);
}

// A machine's name is a key of the list file and the stem of its parameter
// file in the list's folder: it may not end the key ("="), open a section
// ("[", "]", a leading ";" comment), or leave the folder.
bool UsableName(const std::string &Name)
{
    if (Name.empty() || Name[0] == ';' || Name.find("..") != std::string::npos)
        return false;
    for (unsigned char c : Name)
        if (c < 0x20 || c == 0x7F || c == '=' || c == '[' || c == ']' || c == '/' || c == '\\')
            return false;
    return true;
}

} // namespace

int KeyPicture(const std::string &Value)
{
    std::string upper = UpperCase(Value);
    if (upper == "TRUE" || upper == "FALSE")
        return picFlag;
    long double number = 0;
    if (TryStrToFloat(Value, number))
        return picNumber;
    return Value.find(',') != std::string::npos ? picTextWithComma : picText;
}

TRowKind RowKind(int KeyPicture)
{
    switch (KeyPicture) {
    case picFlag: return TRowKind::Check;
    case picTextWithComma: return TRowKind::None;
    default: return TRowKind::Edit;
    }
}

TMachineList::TMachineList(const std::string &MainSettingsFile)
    : FMainSettings(FindFileNoCase(MainSettingsFile))
{
    TIniFile main(FMainSettings);
    FActive = UpperCase(main.ReadString("Default Settings", "Active Machine", ""));
    std::string list = UpperCase(main.ReadString("directories", "machine list file", ""));
    FListFile = ResolveMachineDataPath(list, ExtractFilePath(FMainSettings), "");
}

std::vector<std::string> TMachineList::Machines() const
{
    return TIniFile(FListFile).ReadSection(Millers);
}

bool TMachineList::IsActive(const std::string &Machine) const { return SameText(Machine, FActive); }

bool TMachineList::Listed(const std::string &Machine) const
{
    for (const std::string &m : Machines())
        if (SameText(m, Machine))
            return true;
    return false;
}

std::string TMachineList::Prefix(const std::string &Machine) const
{
    return TIniFile(FListFile).ReadString(Millers, Machine, "");
}

std::string TMachineList::ParameterFile(const std::string &Machine) const
{
    return ResolveMachineDataPath(Prefix(Machine) + Machine + ".ini",
                                  ExtractFilePath(FMainSettings), ExtractFilePath(FListFile));
}

std::vector<std::string> TMachineList::Sections(const std::string &Machine) const
{
    std::string file = ParameterFile(Machine);
    if (!FileExists(file))
        return {};
    return TIniFile(file).ReadSections();
}

int TMachineList::SectionPicture(const std::string &Machine, int Index) const
{
    std::vector<std::string> sections = Sections(Machine);
    if (Index < 0 || Index >= (int)sections.size())
        return picMachine;
    const std::string &section = sections[Index];
    if (!IsMCodeSection(section))
        return Index + 1;
    TIniFile ini(ParameterFile(Machine));
    return UpperCase(ini.ReadString(section, "enabled", "")) == "TRUE" ? picMCodeEnabled
                                                                      : picMCodeDisabled;
}

std::vector<TMachineKey> TMachineList::Keys(const std::string &Machine,
                                            const std::string &Section) const
{
    std::vector<TMachineKey> keys;
    TIniFile ini(ParameterFile(Machine));
    for (const std::string &name : ini.ReadSection(Section)) {
        TMachineKey key;
        key.Name = name;
        key.Value = ini.ReadString(Section, name, "");
        key.Picture = KeyPicture(key.Value);
        key.Kind = RowKind(key.Picture);
        keys.push_back(key);
    }
    return keys;
}

void TMachineList::WriteFlag(const std::string &Machine, const std::string &Section,
                             const std::string &Key, bool Value)
{
    TIniFile(ParameterFile(Machine)).WriteString(Section, Key, Value ? "TRUE" : "FALSE");
}

void TMachineList::WriteValue(const std::string &Machine, const std::string &Section,
                              const std::string &Key, const std::string &Value)
{
    TIniFile ini(ParameterFile(Machine));
    const std::string previous = ini.ReadString(Section, Key, "");
    if (Value == previous)
        return;
    // The machine link and the push-button console swap ports rather than
    // share one.
    if (SameText(Key, ComPortKey) && !Value.empty()) {
        const char *other = SameText(Section, LinkSection) ? ConsoleSection : LinkSection;
        if (ini.ReadString(other, ComPortKey, "") == Value)
            ini.WriteString(other, ComPortKey, previous);
    }
    ini.WriteString(Section, Key, Value);
}

bool TMachineList::Copy(const std::string &Machine, const std::string &NewName)
{
    std::string name = Trim(NewName);
    std::string prefix = Prefix(Machine);
    std::string target = ResolveMachineDataPath(prefix + name + ".ini",
                                                ExtractFilePath(FMainSettings),
                                                ExtractFilePath(FListFile));
    if (!UsableName(name) || Listed(name) || FileExistsNoCase(target) ||
        !CopyFile(ParameterFile(Machine), target)) {
        CreationError();
        return false;
    }
    TIniFile(FListFile).WriteString(Millers, name, prefix);
    return true;
}

bool TMachineList::Delete(const std::string &Machine)
{
    if (IsActive(Machine) || !Listed(Machine))
        return false;
    std::string text = Translate("Delete the item entitled ") + Machine + "?";
    if (MessageDlg(Translate("Confirm"), text, mtConfirmation, mbYesNo) != mrYes)
        return false;
    DeleteFile(ParameterFile(Machine));
    TIniFile(FListFile).DeleteKey(Millers, Machine);
    return true;
}

void TMachineList::SetActive(const std::string &Machine)
{
    TIniFile(FMainSettings).WriteString("Default Settings", "Active Machine", Machine);
    FActive = UpperCase(Machine);
}

} // namespace orv
