#pragma once
// The machine list and the machines' parameter files as the "Machine
// Properties Editor" shows and edits them: the machines of [Millers] in file
// order, each file's sections and keys with their tree pictures and row
// kinds, finished edits written at once (the link's and the console's
// "Com Port" swapped rather than shared), and copying, deleting and
// activating machines. Copy and Delete report through the message service.

#include <string>
#include <vector>

namespace orv {

// Tree pictures of the editor.
enum TMachinePicture : int {
    picMachine = 0,
    picTextWithComma = 11,
    picMCodeEnabled = 12,
    picFlag = 13,
    picText = 14,
    picNumber = 15,
    picActiveMachine = 16,
    picMCodeDisabled = 17,
};

// How a key's row edits it.
enum class TRowKind { None, Check, Edit };

struct TMachineKey {
    std::string Name, Value;
    int Picture = picText;
    TRowKind Kind = TRowKind::Edit;
};

// Picture of a key by its value: 13 "TRUE"/"FALSE" (any case), 15 a number,
// 11 a non-number holding a comma, 14 otherwise.
int KeyPicture(const std::string &Value);
TRowKind RowKind(int KeyPicture);

class TMachineList {
public:
    // Reads [directories] "machine list file" and [Default Settings]
    // "Active Machine" (both upper-cased) from the main settings file.
    explicit TMachineList(const std::string &MainSettingsFile);

    const std::string &ListFile() const { return FListFile; }
    const std::string &ActiveMachine() const { return FActive; }
    // Keys of [Millers] in file order.
    std::vector<std::string> Machines() const;
    bool IsActive(const std::string &Machine) const;
    // Path of a machine's parameter file: the [Millers] value + the name + ".ini".
    std::string ParameterFile(const std::string &Machine) const;
    std::vector<std::string> Sections(const std::string &Machine) const;
    // Picture of the section at Index (from 0): Index + 1, or 12/17 for "M0"
    // to "M99" by their "enabled" key.
    int SectionPicture(const std::string &Machine, int Index) const;
    std::vector<TMachineKey> Keys(const std::string &Machine, const std::string &Section) const;

    // Writes "TRUE" or "FALSE".
    void WriteFlag(const std::string &Machine, const std::string &Section, const std::string &Key,
                   bool Value);
    // Writes a finished edit; nothing when it equals the stored value. A
    // "Com Port" that the other device ("Communications" against
    // "Input/Output Devices") uses gives that device this one's old port.
    void WriteValue(const std::string &Machine, const std::string &Section,
                    const std::string &Key, const std::string &Value);

    // Copies the machine's file to NewName under the same [Millers] value;
    // an empty or existing name (or a failed copy) shows "Sorry Error in
    // creating that name" and changes nothing.
    bool Copy(const std::string &Machine, const std::string &NewName);
    // Asks "Delete the item entitled <name>?" (Yes/No, "Confirm"); Yes
    // deletes the file and the [Millers] key. The active machine is never
    // deleted.
    bool Delete(const std::string &Machine);
    // Writes [Default Settings] "Active Machine".
    void SetActive(const std::string &Machine);

private:
    std::string Prefix(const std::string &Machine) const;
    bool Listed(const std::string &Machine) const;

    std::string FMainSettings;
    std::string FListFile;
    std::string FActive;
};

} // namespace orv
