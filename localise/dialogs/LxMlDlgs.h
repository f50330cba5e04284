#pragma once
// The localised common dialogs: open, save, colour, print and printer set-up
// components with the platform dialogs' properties, defaults and results,
// whose caption and control texts are translated through a dictionary as
// the dialog comes up, and which can be centred over their parent. The
// dialogs themselves are shown by a dialog host that the windowing layer
// installs (TLxDialogHost); the texts it sets come from the tables below,
// by control id.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TLxDictionary;

enum TLxDialogPosition : unsigned { lxdpParent = 1u << 0, lxdpCenter = 1u << 1 };
using TLxDialogPositions = unsigned;

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofShowHelp = 1u << 4,
    ofNoValidate = 1u << 5,
    ofAllowMultiSelect = 1u << 6,
    ofExtensionDifferent = 1u << 7,
    ofPathMustExist = 1u << 8,
    ofFileMustExist = 1u << 9,
    ofCreatePrompt = 1u << 10,
    ofShareAware = 1u << 11,
    ofNoReadOnlyReturn = 1u << 12,
    ofNoTestFileCreate = 1u << 13,
    ofNoNetworkButton = 1u << 14,
    ofNoLongNames = 1u << 15,
    ofOldStyleDialog = 1u << 16,
    ofNoDereferenceLinks = 1u << 17,
    ofEnableIncludeNotify = 1u << 18,
    ofEnableSizing = 1u << 19,
};
using TOpenOptions = unsigned;

enum TColorDialogOption : unsigned {
    cdFullOpen = 1u << 0,
    cdPreventFullOpen = 1u << 1,
    cdShowHelp = 1u << 2,
    cdSolidColor = 1u << 3,
    cdAnyColor = 1u << 4,
};
using TColorDialogOptions = unsigned;

enum TPrintDialogOption : unsigned {
    poPrintToFile = 1u << 0,
    poPageNums = 1u << 1,
    poSelection = 1u << 2,
    poWarning = 1u << 3,
    poHelp = 1u << 4,
    poDisablePrintToFile = 1u << 5,
};
using TPrintDialogOptions = unsigned;
enum TPrintRange { prAllPages, prSelection, prPageNums };

// --- The texts of the dialogs ------------------------------------------------

enum class TLxDialogKind {
    OpenNew,
    SaveNew,
    OpenOld,
    SaveOld,
    Color,
    Print,
    PrintSetup,
    Font,
    Find,
    Replace,
};

// A control's source text, by its control id (1 OK, 2 Cancel, 1089 type,
// 1090 name, 1091 folder; 65535 the unnamed labels in their order).
struct TLxControlText {
    int Id;
    const char *Text;
};
std::vector<TLxControlText> DialogControlTexts(TLxDialogKind Kind);
// "Open", "Save As", "Color", "Print", "Print Setup", "Font", "Find", "Replace".
std::string DialogCaptionSource(TLxDialogKind Kind);
// Columns 0 to 4 of the file list: "Name", "Size", "Type", "Modified", "Attributes".
const std::vector<std::string> &FileListColumns();
// Tips of the file dialogs' tool buttons: up, new folder, list, details.
const std::vector<std::string> &FileToolTips();

// --- The host that shows them -------------------------------------------------

struct TLxFileDialogSpec {
    bool Save = false;
    bool OldStyle = false;
    std::string Title; // the component's own; empty: the translated default
    std::vector<std::pair<std::string, std::string>> Filters; // name, patterns
    int FilterIndex = 1;
    std::string InitialDir;
    std::string FileName;
    std::string DefaultExt;
    TOpenOptions Options = 0;
    const TLxDictionary *Dictionary = nullptr; // none: nothing translated
    bool Centre = true;
    void *Parent = nullptr; // the parent window, passed opaquely
    // Made through the dialog module for a dialog that is not one of these
    // components: texts always set, from the default dictionary, and the
    // old-style type box reads "List files of &type:" in both directions.
    bool ModuleTexts = false;
};

struct TLxFileDialogAnswer {
    // The chosen names as the dialog returns them: one path, or a folder
    // followed by names.
    std::vector<std::string> Names;
    int FilterIndex = 1;
    bool ReadOnly = false;
    bool ExtensionDifferent = false;
};

struct TLxColorDialogSpec {
    uint32_t Color = 0; // RGB, red in the low byte
    int CustomColors[16] = {};
    TColorDialogOptions Options = 0;
    const TLxDictionary *Dictionary = nullptr;
    bool Centre = true;
    void *Parent = nullptr;
};

// The printer a print dialog sets up.
class TLxPrinter {
public:
    virtual ~TLxPrinter() = default;
    virtual int Copies() const = 0;
    virtual void SetCopies(int Copies) = 0;
    virtual std::string DeviceName() const = 0;
    virtual void SetDevice(const std::string &Name) = 0;
};

struct TLxPrintDialogSpec {
    bool Setup = false;
    TLxPrinter *Printer = nullptr;
    bool Collate = false;
    int Copies = 1;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    TPrintDialogOptions Options = 0;
    TPrintRange PrintRange = prAllPages;
    bool PrintToFile = false;
    const TLxDictionary *Dictionary = nullptr;
    bool Centre = true;
    void *Parent = nullptr;
    // Made through the dialog module: texts always set (the sources
    // without a dictionary).
    bool ModuleTexts = false;
};

struct TLxPrintDialogAnswer {
    std::string Device;
    bool Collate = false;
    bool PrintToFile = false;
    TPrintRange PrintRange = prAllPages;
    int FromPage = 0, ToPage = 0;
    int Copies = 1;
};

class TLxDialogHost {
public:
    virtual ~TLxDialogHost() = default;
    // True when the user confirmed.
    virtual bool RunFileDialog(const TLxFileDialogSpec &Spec, TLxFileDialogAnswer &Answer) = 0;
    virtual bool RunColorDialog(TLxColorDialogSpec &Spec) = 0;
    virtual bool RunPrintDialog(const TLxPrintDialogSpec &Spec, TLxPrintDialogAnswer &Answer) = 0;
};
// None until the windowing layer installs one; dialogs then fail (false).
TLxDialogHost *LxDialogHost();
void SetLxDialogHost(TLxDialogHost *Host);

// --- The components -------------------------------------------------------------

using TLxNotifyEvent = std::function<void(void *Sender)>;

class TLxCommonDialog {
public:
    virtual ~TLxCommonDialog() = default;
    bool Ctl3D = true;
    int HelpContext = 0;
    TLxDialogPositions Positions = lxdpParent | lxdpCenter;
    void *Parent = nullptr;
    TLxNotifyEvent OnClose;
    TLxNotifyEvent OnShow;
    // Made by the dialog module for a plain platform dialog (TLxFileDialogSpec).
    bool ModuleTexts = false;

    const std::string &DictionaryName() const { return FDictionaryName; }
    // Binds what the process's dictionary list holds under that name (or none).
    void SetDictionaryName(const std::string &Name);
    TLxDictionary *Dictionary() const { return FDictionary; }
    void SetDictionary(TLxDictionary *Dictionary);
    virtual bool Execute() = 0;

protected:
    // The dictionary of DictionaryName, else the first registered one; a
    // bound one is replaced only when the name finds one.
    void ChooseDictionary();
    // The bound dictionary while it is open, the centring and the parent.
    template <typename TSpec> void FillCommon(TSpec &Spec) const
    {
        Spec.Dictionary = FDictionary && DictionaryOpen() ? FDictionary : nullptr;
        Spec.Centre = (Positions & lxdpCenter) != 0;
        Spec.Parent = Parent;
    }

private:
    bool DictionaryOpen() const;
    std::string FDictionaryName;
    TLxDictionary *FDictionary = nullptr;
};

class TLxOpenDialog : public TLxCommonDialog {
public:
    std::string DefaultExt;
    std::string FileName;
    std::string Filter; // "Name|*.ext|Name|*.*"
    int FilterIndex = 1;
    TOpenOptions Options = ofHideReadOnly;
    std::string Title;
    TLxNotifyEvent OnFolderChange;
    TLxNotifyEvent OnSelectionChange;
    TLxNotifyEvent OnTypeChange;

    const std::string &InitialDir() const { return FInitialDir; }
    // Stored without one trailing "/" (or "\"), except a root or drive root.
    void SetInitialDir(const std::string &Dir);
    // The chosen files, whole paths, however long.
    const std::vector<std::string> &Files() const { return FFiles; }
    bool Execute() override;

protected:
    virtual bool IsSave() const { return false; }

private:
    std::string FInitialDir;
    std::vector<std::string> FFiles;
};

class TLxSaveDialog : public TLxOpenDialog {
protected:
    bool IsSave() const override { return true; }
};

class TLxColorDialog : public TLxCommonDialog {
public:
    uint32_t Color = 0;
    // "ColorA=FFFFFF" ... "ColorP=..."; a missing or non-hexadecimal value
    // passes -1.
    std::vector<std::string> CustomColors;
    TColorDialogOptions Options = 0;
    bool Execute() override;
};

class TLxPrintDialog : public TLxCommonDialog {
public:
    explicit TLxPrintDialog(TLxPrinter *Printer = nullptr) : FPrinter(Printer) {}
    bool Collate = false;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    TPrintDialogOptions Options = 0;
    TPrintRange PrintRange = prAllPages;
    bool PrintToFile = false;
    int Copies() const { return FCopies; }
    // Also the printer's number of copies.
    void SetCopies(int Value);
    TLxPrinter *Printer() const { return FPrinter; }
    bool Execute() override;

protected:
    // Runs the print (or printer set-up) dialog; the printer takes the
    // device chosen.
    bool Run(bool Setup, TLxPrintDialogAnswer &Answer);
    TLxPrinter *FPrinter;
    int FCopies = 0;
};

class TLxPrinterSetupDialog : public TLxPrintDialog {
public:
    using TLxPrintDialog::TLxPrintDialog;
    bool Execute() override;
};

// --- Helpers the components follow ------------------------------------------------

// The filter's name and pattern pairs.
std::vector<std::pair<std::string, std::string>> SplitFilter(const std::string &Filter);
// An old-style dialog without DefaultExt takes FileName's extension.
std::string EffectiveDefaultExt(const std::string &DefaultExt, const std::string &FileName,
                                bool OldStyle);
// Names the dialog returned as whole paths: a single entry unchanged; a
// folder followed by names joined, absolute names kept.
std::vector<std::string> ChosenPaths(const std::vector<std::string> &Names);
int CustomColorValue(const std::vector<std::string> &List, int Index);

} // namespace orv
