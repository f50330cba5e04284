#include "localise/dialogs/LxMlDlgs.h"

#include "localise/LxDictionary.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace orv {

namespace {

TLxDialogHost *gHost = nullptr;

const char *const ColorNames = "ABCDEFGHIJKLMNOP";

bool IsHexadecimal(const std::string &Text)
{
    if (Text.empty() || Text.size() > 8)
        return false;
    for (char c : Text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool IsAbsolute(const std::string &Name)
{
    return (!Name.empty() && (Name[0] == '/' || Name[0] == '\\')) ||
           (Name.size() > 2 && Name[1] == ':' && (Name[2] == '\\' || Name[2] == '/'));
}

} // namespace

// --- Texts ----------------------------------------------------------------------

std::vector<TLxControlText> DialogControlTexts(TLxDialogKind Kind)
{
    switch (Kind) {
    case TLxDialogKind::OpenNew:
        return {{1, "&Open"},          {2, "Cancel"},      {1038, "&Help"},
                {1040, "Open as &read-only"}, {1089, "Files of &type:"},
                {1090, "File &name:"}, {1091, "Look &in:"}};
    case TLxDialogKind::SaveNew:
        return {{1, "&Save"},          {2, "Cancel"},      {1038, "&Help"},
                {1040, "Open as &read-only"}, {1089, "Save as &type:"},
                {1090, "File &name:"}, {1091, "Save &in:"}};
    case TLxDialogKind::OpenOld:
    case TLxDialogKind::SaveOld:
        return {{1, "OK"},
                {2, "Cancel"},
                {1037, "Net&work..."},
                {1038, "&Help"},
                {1040, "&Read only"},
                {1089, Kind == TLxDialogKind::OpenOld ? "List files of &type:"
                                                      : "Save file as &type:"},
                {1090, "File &name:"},
                {1091, "Dri&ves:"},
                {65535, "&Folders:"}};
    case TLxDialogKind::Color:
        return {{1, "OK"},          {2, "Cancel"},          {1038, "&Help"},
                {65535, "&Basic colors:"}, {65535, "&Custom colors:"},
                {712, "&Add to Custom Colors"}, {719, "&Define Custom Colors >>"},
                {723, "Hu&e:"},     {724, "&Sat:"},         {725, "&Lum:"},
                {726, "&Red:"},     {727, "&Green:"},       {728, "Bl&ue:"},
                {730, "Color"},     {731, "|S&olid"}};
    case TLxDialogKind::Print:
        return {{1, "OK"},           {2, "Cancel"},         {1040, "Print to fi&le"},
                {1041, "C&ollate"},  {1089, "&from:"},      {1090, "&to:"},
                {1025, "&Properties"}, {1056, "&All"},      {1057, "&Selection"},
                {1058, "Pa&ges"},    {1072, "Print range"}, {1073, "Copies"},
                {1075, "Printer"},   {1092, "Number of &copies:"}, {1093, "&Name:"},
                {1094, "Type:"},     {1095, "Status:"},     {1096, "Comment:"},
                {1097, "Where:"}};
    case TLxDialogKind::PrintSetup:
        return {{1, "OK"},          {2, "Cancel"},      {1037, "Net&work..."},
                {1089, "Si&ze:"},   {1090, "&Source:"}, {1025, "&Properties"},
                {1056, "P&ortrait"}, {1057, "L&andscape"}, {1072, "Orientation"},
                {1073, "Paper"},    {1075, "Printer"},  {1093, "&Name:"},
                {1094, "Type:"},    {1095, "Status:"},  {1096, "Comment:"},
                {1097, "Where:"}};
    case TLxDialogKind::Font:
        return {{1, "OK"},           {2, "Cancel"},        {1026, "&Apply"},
                {1038, "&Help"},     {1040, "Stri&keout"}, {1041, "&Underline"},
                {1072, "Effects"},   {1073, "Sample"},     {1088, "&Font:"},
                {1089, "Font st&yle:"}, {1090, "&Size:"},  {1091, "&Color:"},
                {1094, "Sc&ript:"}};
    case TLxDialogKind::Find:
        return {{1, "&Find Next"},  {2, "Cancel"},    {1038, "&Help"},
                {1040, "Match &whole word only"}, {1041, "Match &case"},
                {1056, "&Up"},      {1057, "&Down"},  {1072, "Direction"},
                {65535, "Fi&nd what:"}};
    case TLxDialogKind::Replace:
        return {{1, "&Find Next"},  {2, "Cancel"},    {1024, "&Replace"},
                {1025, "Replace &All"}, {1038, "&Help"},
                {1040, "Match &whole word only"}, {1041, "Match &case"},
                {65535, "Fi&nd what:"}, {65535, "Re&place with:"}};
    }
    return {};
}

std::string DialogCaptionSource(TLxDialogKind Kind)
{
    switch (Kind) {
    case TLxDialogKind::OpenNew:
    case TLxDialogKind::OpenOld:
        return "Open";
    case TLxDialogKind::SaveNew:
    case TLxDialogKind::SaveOld:
        return "Save As";
    case TLxDialogKind::Color:
        return "Color";
    case TLxDialogKind::Print:
        return "Print";
    case TLxDialogKind::PrintSetup:
        return "Print Setup";
    case TLxDialogKind::Font:
        return "Font";
    case TLxDialogKind::Find:
        return "Find";
    case TLxDialogKind::Replace:
        return "Replace";
    }
    return {};
}

const std::vector<std::string> &FileListColumns()
{
    static const std::vector<std::string> columns = {"Name", "Size", "Type", "Modified",
                                                     "Attributes"};
    return columns;
}

const std::vector<std::string> &FileToolTips()
{
    static const std::vector<std::string> tips = {"Up One Level", "Create New Folder", "List",
                                                  "Details"};
    return tips;
}

TLxDialogHost *LxDialogHost()
{
    return gHost;
}

void SetLxDialogHost(TLxDialogHost *Host)
{
    gHost = Host;
}

// --- Helpers ----------------------------------------------------------------------

std::vector<std::pair<std::string, std::string>> SplitFilter(const std::string &Filter)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= Filter.size() && !Filter.empty()) {
        const size_t bar = Filter.find('|', start);
        parts.push_back(Filter.substr(start, bar == std::string::npos ? std::string::npos
                                                                      : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
        pairs.emplace_back(parts[i], parts[i + 1]);
    return pairs;
}

std::string EffectiveDefaultExt(const std::string &DefaultExt, const std::string &FileName,
                                bool OldStyle)
{
    if (!DefaultExt.empty() || !OldStyle)
        return DefaultExt;
    const size_t slash = FileName.find_last_of("/\\");
    const size_t dot = FileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return FileName.substr(dot + 1);
}

std::vector<std::string> ChosenPaths(const std::vector<std::string> &Names)
{
    if (Names.size() <= 1)
        return Names;
    std::string folder = Names.front();
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    std::vector<std::string> paths;
    for (size_t i = 1; i < Names.size(); ++i)
        paths.push_back(IsAbsolute(Names[i]) ? Names[i] : folder + Names[i]);
    return paths;
}

int CustomColorValue(const std::vector<std::string> &List, int Index)
{
    const std::string key = std::string("Color") + ColorNames[Index] + "=";
    for (const std::string &line : List) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        const std::string value = line.substr(key.size());
        return IsHexadecimal(value) ? static_cast<int>(std::strtoul(value.c_str(), nullptr, 16))
                                    : -1;
    }
    return -1;
}

// --- Components -------------------------------------------------------------------

void TLxCommonDialog::SetDictionaryName(const std::string &Name)
{
    FDictionary = TLxDictionaries::Find(Name);
    FDictionaryName = Name;
}

void TLxCommonDialog::SetDictionary(TLxDictionary *Dictionary)
{
    if (Dictionary == FDictionary)
        return;
    FDictionary = Dictionary;
    if (Dictionary)
        FDictionaryName = Dictionary->DictionaryName();
}

bool TLxCommonDialog::DictionaryOpen() const
{
    return FDictionary->Active();
}

void TLxCommonDialog::ChooseDictionary()
{
    if (TLxDictionary *named = TLxDictionaries::Find(FDictionaryName))
        FDictionary = named;
    else if (!FDictionary && TLxDictionaries::Count() > 0)
        FDictionary = TLxDictionaries::Item(0);
}

void TLxOpenDialog::SetInitialDir(const std::string &Dir)
{
    std::string dir = Dir;
    const bool delimiter = !dir.empty() && (dir.back() == '/' || dir.back() == '\\');
    const bool root = dir.size() == 1 || (dir.size() >= 2 && dir[dir.size() - 2] == ':');
    if (delimiter && !root)
        dir.pop_back();
    FInitialDir = dir;
}

bool TLxOpenDialog::Execute()
{
    ChooseDictionary();
    FFiles.clear();
    TLxDialogHost *host = LxDialogHost();
    if (!host)
        return false;
    TLxFileDialogSpec spec;
    spec.Save = IsSave();
    spec.OldStyle = (Options & ofOldStyleDialog) != 0;
    spec.Title = Title;
    spec.Filters = SplitFilter(Filter);
    spec.FilterIndex = FilterIndex;
    spec.InitialDir = FInitialDir;
    spec.FileName = FileName;
    spec.DefaultExt = EffectiveDefaultExt(DefaultExt, FileName, spec.OldStyle);
    spec.Options = Options;
    FillCommon(spec);
    spec.ModuleTexts = ModuleTexts;
    TLxFileDialogAnswer answer;
    if (OnShow)
        OnShow(this);
    const bool confirmed = host->RunFileDialog(spec, answer);
    if (OnClose)
        OnClose(this);
    if (!confirmed)
        return false;
    FFiles = (Options & ofAllowMultiSelect) != 0 ? ChosenPaths(answer.Names) : answer.Names;
    if (!FFiles.empty())
        FileName = FFiles.front();
    Options = answer.ExtensionDifferent ? Options | ofExtensionDifferent
                                        : Options & ~static_cast<unsigned>(ofExtensionDifferent);
    Options = answer.ReadOnly ? Options | ofReadOnly
                              : Options & ~static_cast<unsigned>(ofReadOnly);
    FilterIndex = answer.FilterIndex;
    return true;
}

bool TLxColorDialog::Execute()
{
    ChooseDictionary();
    TLxDialogHost *host = LxDialogHost();
    if (!host)
        return false;
    TLxColorDialogSpec spec;
    spec.Color = Color;
    for (int i = 0; i < 16; ++i)
        spec.CustomColors[i] = CustomColorValue(CustomColors, i);
    spec.Options = Options;
    FillCommon(spec);
    if (!host->RunColorDialog(spec))
        return false;
    Color = spec.Color;
    CustomColors.clear();
    for (int i = 0; i < 16; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "Color%c=%06X", ColorNames[i],
                      static_cast<unsigned>(spec.CustomColors[i]) & 0xFFFFFFu);
        CustomColors.push_back(line);
    }
    return true;
}

void TLxPrintDialog::SetCopies(int Value)
{
    FCopies = Value;
    if (FPrinter)
        FPrinter->SetCopies(Value);
}

bool TLxPrintDialog::Run(bool Setup, TLxPrintDialogAnswer &Answer)
{
    ChooseDictionary();
    TLxDialogHost *host = LxDialogHost();
    if (!host)
        return false;
    TLxPrintDialogSpec spec;
    spec.Setup = Setup;
    spec.Printer = FPrinter;
    if (!Setup) {
        spec.Collate = Collate;
        spec.Copies = FCopies;
        spec.FromPage = FromPage;
        spec.ToPage = ToPage;
        spec.MinPage = MinPage;
        spec.MaxPage = MaxPage;
        spec.Options = Options;
        spec.PrintRange = PrintRange;
        spec.PrintToFile = PrintToFile;
    }
    FillCommon(spec);
    spec.ModuleTexts = ModuleTexts;
    if (!host->RunPrintDialog(spec, Answer))
        return false;
    if (FPrinter && !Answer.Device.empty())
        FPrinter->SetDevice(Answer.Device);
    return true;
}

bool TLxPrintDialog::Execute()
{
    TLxPrintDialogAnswer answer;
    if (!Run(false, answer))
        return false;
    Collate = answer.Collate;
    PrintToFile = answer.PrintToFile;
    PrintRange = answer.PrintRange;
    FromPage = answer.FromPage;
    ToPage = answer.ToPage;
    // One copy back from the dialog leaves the count to the printer.
    FCopies = answer.Copies == 1 && FPrinter ? FPrinter->Copies() : answer.Copies;
    return true;
}

bool TLxPrinterSetupDialog::Execute()
{
    TLxPrintDialogAnswer answer;
    return Run(true, answer);
}

} // namespace orv
