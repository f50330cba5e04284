#pragma once
// The Utilities menu's outside programs, kept in section [Menu Tools] of
// the main settings file with four keys per utility named after its title:
// "<title>_Title" (its place in the menu, from 0), "<title>_Prog" (the
// program), "<title>_Work" (working folder; empty: the program's folder)
// and "<title>_Param" (command-line parameters). Titles are unique without
// regard to case (the keys are). The list model below is the "Configure
// Utilities" dialog's: every change is written at once.
#include <string>
#include <vector>

namespace orv {

struct TUtility {
    std::string Title;
    std::string Program;
    std::string WorkFolder;
    std::string Parameters;
};

// The titles in menu order. The list has (number of keys) / 4 entries; a
// title whose "_Title" value lies outside the list or on a place already
// taken goes into the free places after the placed ones (then those
// before), in file order; one that finds no free place is left out. Places
// no key fills stay empty.
std::vector<std::string> ReadUtilityTitles(const std::string &SettingsFile);
TUtility ReadUtility(const std::string &SettingsFile, const std::string &Title);
void WriteUtility(const std::string &SettingsFile, const TUtility &Utility, int Position);
void DeleteUtility(const std::string &SettingsFile, const std::string &Title);

// What the menu item starts: the program, in "_Work" or else the program's
// own folder, with "_Param". False when it could not be started.
bool StartUtility(const std::string &SettingsFile, const std::string &Title);

// "&OK" of "Utility Properties": a title that no other utility has
// (compared without case; Own, the title being edited, is free) and a
// program that names an existing file.
bool UtilityPropertiesValid(const std::string &Title, const std::string &Program,
                            const std::vector<std::string> &Titles, const std::string &Own);

class TUtilityList {
public:
    explicit TUtilityList(std::string SettingsFile);

    const std::vector<std::string> &Titles() const { return FTitles; }
    TUtility Utility(int Index) const;
    // Appended at the end.
    void Add(const TUtility &Utility);
    // The entry takes the new title: the old four keys go, the new four are
    // written with the entry's place.
    void Edit(int Index, const TUtility &Utility);
    // The four keys go and every later entry's place is written again.
    void Delete(int Index);
    // One place up or down, not past either end; the two entries' places
    // are written. Returns the entry's new index (Index when it stays).
    int MoveUp(int Index);
    int MoveDown(int Index);

private:
    bool Valid(int Index) const { return Index >= 0 && Index < int(FTitles.size()); }
    void WritePlace(int Index);
    int Swap(int Index, int Other);

    std::string FFile;
    std::vector<std::string> FTitles;
};

} // namespace orv
