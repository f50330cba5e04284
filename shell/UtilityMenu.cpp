#include "shell/UtilityMenu.h"

#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/Paths.h"
#include "platform/ProcessStart.h"

#include <utility>

namespace orv {

namespace {

const char *const Section = "Menu Tools";
const char *const Suffixes[] = {"_Title", "_Prog", "_Work", "_Param"};

// The free places after the last placed one, then those before it.
std::vector<size_t> FreePlaces(const std::vector<std::string> &Titles,
                               const std::vector<bool> &Placed)
{
    size_t last = 0;
    bool any = false;
    for (size_t i = 0; i < Placed.size(); ++i)
        if (Placed[i]) {
            last = i;
            any = true;
        }
    std::vector<size_t> after, before;
    for (size_t i = 0; i < Titles.size(); ++i)
        if (!Placed[i])
            (any && i < last ? before : after).push_back(i);
    after.insert(after.end(), before.begin(), before.end());
    return after;
}

} // namespace

std::vector<std::string> ReadUtilityTitles(const std::string &SettingsFile)
{
    TIniFile ini(SettingsFile);
    const std::vector<std::string> keys = ini.ReadSection(Section);
    std::vector<std::string> titles(keys.size() / 4);
    std::vector<bool> placed(titles.size(), false);
    std::vector<std::string> unplaced;
    for (const std::string &key : keys) {
        const size_t at = key.find("_Title");
        if (at == std::string::npos || at == 0)
            continue;
        int32_t place = 0;
        if (!TryStrToInt(Trim(ini.ReadString(Section, key, "")), place))
            place = 0;
        const std::string title = key.substr(0, at);
        if (place >= 0 && place < int(titles.size()) && !placed[place]) {
            titles[place] = title;
            placed[place] = true;
        } else {
            unplaced.push_back(title);
        }
    }
    const std::vector<size_t> free = FreePlaces(titles, placed);
    for (size_t i = 0; i < unplaced.size() && i < free.size(); ++i)
        titles[free[i]] = unplaced[i];
    return titles;
}

TUtility ReadUtility(const std::string &SettingsFile, const std::string &Title)
{
    TIniFile ini(SettingsFile);
    TUtility u;
    u.Title = Title;
    u.Program = ini.ReadString(Section, Title + "_Prog", "");
    u.WorkFolder = ini.ReadString(Section, Title + "_Work", "");
    u.Parameters = ini.ReadString(Section, Title + "_Param", "");
    return u;
}

void WriteUtility(const std::string &SettingsFile, const TUtility &Utility, int Position)
{
    TIniFile ini(SettingsFile);
    ini.WriteInteger(Section, Utility.Title + "_Title", Position);
    ini.WriteString(Section, Utility.Title + "_Prog", Utility.Program);
    ini.WriteString(Section, Utility.Title + "_Work", Utility.WorkFolder);
    ini.WriteString(Section, Utility.Title + "_Param", Utility.Parameters);
}

void DeleteUtility(const std::string &SettingsFile, const std::string &Title)
{
    TIniFile ini(SettingsFile);
    for (const char *suffix : Suffixes)
        ini.DeleteKey(Section, Title + suffix);
}

bool StartUtility(const std::string &SettingsFile, const std::string &Title)
{
    const TUtility u = ReadUtility(SettingsFile, Title);
    const std::string folder = u.WorkFolder.empty() ? ExtractFilePath(u.Program) : u.WorkFolder;
    return StartDetached(u.Program, u.Parameters, folder);
}

bool UtilityPropertiesValid(const std::string &Title, const std::string &Program,
                            const std::vector<std::string> &Titles, const std::string &Own)
{
    // The title is the stem of four keys of [Menu Tools]: a key may not hold
    // "=" or brackets nor start a comment, and "_Title" inside it would cut
    // the title there.
    if (Title.empty() || Title[0] == ';' || !FileExists(Program) ||
        Title.find_first_of("=[]") != std::string::npos ||
        Title.find("_Title") != std::string::npos)
        return false;
    for (const std::string &t : Titles)
        if (SameText(t, Title) && !SameText(t, Own))
            return false;
    return true;
}

TUtilityList::TUtilityList(std::string SettingsFile)
    : FFile(std::move(SettingsFile)), FTitles(ReadUtilityTitles(FFile))
{
}

TUtility TUtilityList::Utility(int Index) const
{
    return Valid(Index) ? ReadUtility(FFile, FTitles[Index]) : TUtility();
}

void TUtilityList::Add(const TUtility &Utility)
{
    FTitles.push_back(Utility.Title);
    WriteUtility(FFile, Utility, int(FTitles.size()) - 1);
}

void TUtilityList::Edit(int Index, const TUtility &Utility)
{
    if (!Valid(Index))
        return;
    DeleteUtility(FFile, FTitles[Index]);
    FTitles[Index] = Utility.Title;
    WriteUtility(FFile, Utility, Index);
}

void TUtilityList::Delete(int Index)
{
    if (!Valid(Index))
        return;
    DeleteUtility(FFile, FTitles[Index]);
    FTitles.erase(FTitles.begin() + Index);
    for (int i = Index; i < int(FTitles.size()); ++i)
        WritePlace(i);
}

int TUtilityList::MoveUp(int Index)
{
    return Swap(Index, Index - 1);
}

int TUtilityList::MoveDown(int Index)
{
    return Swap(Index, Index + 1);
}

int TUtilityList::Swap(int Index, int Other)
{
    if (!Valid(Index) || !Valid(Other))
        return Index;
    std::swap(FTitles[Index], FTitles[Other]);
    WritePlace(Index);
    WritePlace(Other);
    return Other;
}

void TUtilityList::WritePlace(int Index)
{
    if (!FTitles[Index].empty())
        TIniFile(FFile).WriteInteger(Section, FTitles[Index] + "_Title", Index);
}

} // namespace orv
