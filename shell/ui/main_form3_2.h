#pragma once
// TMainForm: Tarnwick's MDI main window. Menus, the docked toolbars (File
// Control, Machine Control, Outputs, Options, Modal Data), two status bars
// and the MDI area the program's windows open in. It creates the engine
// form at its first show and is the engine's host (TEngineHost): the engine
// reads and presses its buttons, writes its status panels and labels, and
// asks it for the windows and outputs that live outside the engine.
#include "engine/chain/EngineHost.h"
#include "platform/Pos_size.h"
#include "shell/CycleClock.h"
#include "shell/ProgramOpener.h"
#include "shell/RunButtons.h"

#include <QImage>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QGroupBox;
class QPushButton;

namespace orv {

class TBaseForm;
class TDDEServerWindow;
class TDock;
class TRemoteInputs;
class TRemoteWindow;
class TScreenSaver;
class TKey_def_form;
class TMenu2;
class TQtPos_size;
class TShellStatusBar;
class TTimer;
class TToolbar;
class TToolbarButton;

class TMainForm : public QMainWindow, public TEngineHost, private TProgramOpenerHost {
    Q_OBJECT
public:
    // Builds the window (FormCreate); the engine comes with the first show.
    explicit TMainForm(QWidget *Parent = nullptr);
    // FormDestroy: frees the recent list (it saves itself), the engine and
    // the windows it made.
    ~TMainForm() override;

    // --- Life (the show and close events call these) ---
    void FormShow();
    void FormClose();
    bool CheckSupportFiles();
    void UpdateCaption();

    // --- Commands ---
    // Opens a program in the current source (see ProgramOpener.h). Mode 0
    // for the operator's commands, 1 for source changes and remote inputs.
    bool OpenProgramFile(int Mode, std::string &FileName);
    // The run buttons (Tag 1 Start, 2 Pause, 3 Stop, 4 Rewind).
    void ToolbarbuttonClick(TToolbarButton *Sender);
    // Selects the item's source; true when the engine's program file was
    // opened again there.
    bool SourceSelectClick(QAction *Item);
    void OutputClick(TToolbarButton *Sender);
    void MachineClick(TToolbarButton *Sender);
    // File > "Save Project..." and "Open Project...": the job's set-up in a
    // ".PRJ" file; OpenProject reads and applies one.
    void SaveProjectMnuClick();
    void OpenProject1Click();
    void OpenProject(const std::string &FileName);
    void UnitsClick();
    void skipBlockClick();
    void progContClick();
    void FileOpenClick();
    void BilletSizeClick();
    void OpenGlClick(bool OpenGL);
    void Show2DWindow();
    void ShowMacroVariables();
    void HelpClick(bool Programming);
    // Files dropped on the window (local paths); nothing while a run is on.
    void DropFiles(const std::vector<std::string> &Files);

    // --- Engine callbacks ---
    void InputStateChanged();
    void CycleStateChanged();
    void ProgramEnded();

    // --- Status bars and labels ---
    // Bar 1 or 2.
    void SetStatusPanel(int Bar, int Index, const std::string &Text);
    std::string StatusPanelText(int Bar, int Index) const;
    void ShowUnits();
    void UpdateStatusBar();
    QLabel *ModalLabel(int Index) const { return FModalLabels.at(Index - 1); }

    // --- Parts for the engine, the remote inputs and tests ---
    TBaseForm *Engine() const { return FEngine.get(); }
    TToolbarButton *Button(TMainButton Which) const;
    TToolbarButton *ButtonByName(const QString &Name) const;
    QAction *MenuItem(const QString &Name) const;
    QMenu *Menu(const QString &Name) const;
    QMdiArea *MdiArea() const { return FMdi; }
    TKey_def_form *KeyForm() const { return FKeyForm; }
    const TBilletBox &Billet() const { return FDefaultBillet; }
    bool OutputsEnabled() const { return FOutputsEnabled; }
    TShellStatusBar *StatusBar(int Bar) const { return Bar == 1 ? FStatusBar1 : FStatusBar2; }
    // Presses a button as a remote input does: only while it is enabled.
    bool PressButton(TMainButton Which);
    // Clicks a hidden command button ("HomeAllButt", "FileM", "SetXOffset"
    // ...) as the Keplin console and the remote inputs do; false when there
    // is none of that name.
    bool PressCommand(const QString &Name);
    // Makes Window an MDI child with its menus merged while it is active.
    QMdiSubWindow *AdoptChild(QWidget *Window);
    // The same, and its frame keeps its position (section: the window's
    // object name).
    QMdiSubWindow *KeepPosition(QWidget *Window, const std::string &ClassName, TPosBorder Border);

    // --- Toolbar and Utilities setup (main_form3_2_toolbars.cpp) ---
    // The toolbar's buttons sized and drawn by its IconSize and ShowCaption.
    void ApplyToolbarButtonStyle(TToolbar *Bar);
    // The popup of a toolbar (a right button released on it).
    void ToolbarPopup(TToolbar *Bar);
    // Set&up > ToolBars > "View..." and "Load Level n Defaults" (1 to 3):
    // behind the settings password; the hidden buttons are saved anyway.
    void ToolBars2Click();
    void SetDefaultToolBar11Click(int Tag);
    void HideListedButtons(const std::string &SettingsFile);
    void SaveHiddenButtons(const std::string &SettingsFile);
    void BuildUtilitiesMenu(const std::vector<std::string> &Titles);
    void UtilityItemClick(QAction *Item);
    void ConfigureTools1Click();
    // File Control, Outputs, Machine Control, Options, Modal Data.
    std::vector<TToolbar *> Toolbars() const;

    // --- TEngineHost ---
    bool ButtonDown(TMainButton Which) const override;
    void ClickButton(TMainButton Which) override;
    bool Choice3DChecked(int Item) const override;
    void SetMenuItemVisible(TMainMenuItem Item, bool Visible) override;
    // Asked while the engine changes its source: runs once that is done.
    void OpenCommand() override;
    void SetStatusText(int Bar, int Panel, const std::string &Text, bool OwnerDrawn) override;
    bool ModalDataVisible() const override;
    void SetModalLabel(int Index, const std::string &Text) override;
    void ShowTransformPanels(const TTransformPanels &Panels) override;
    void ResetCycleTime() override;
    void ShowExecuteMode(bool SingleStep) override;
    TBilletBox DefaultBillet() const override { return FDefaultBillet; }
    // The desktop's screen saver, held off while a program runs.
    bool ScreenSaverActive() const override;
    void SetScreenSaverActive(bool Active) override;
    bool ChooseOutputs(std::vector<TMainButton> &Chosen) override;
    std::unique_ptr<TSplashView> CreateSplash() override;
    std::unique_ptr<TProgressView> CreateProgressView() override;
    std::unique_ptr<TBlockSearchView> CreateBlockSearchView() override;
    std::unique_ptr<TBasicOutput> CreateOutput(int Slot) override;
    std::unique_ptr<TBasicInput> CreateEditorInput(TBaseForm &Engine) override;
    std::unique_ptr<TFanucScreen> CreateFanucScreen(TBaseForm &Engine, int Kind) override;
    void SetButtonEnabled(TMainButton Which, bool Enabled) override;
    void SetMenuEnabled(TMainMenu Which, bool Enabled) override;
    void SetKeyHandler(std::function<void(int Key)> Handler) override;
    void ShowMachineTooling() override;
    std::unique_ptr<TBasicControlPanel> CreateStandardPanel(TBaseForm &Engine) override;
    std::unique_ptr<TBasicMachine> CreateMachineLink(TBaseForm &Engine) override;
    TJogKeyTable *CreateJogKeyForm() override;
    void ShowJogKeySetup() override;
    bool ConfirmMachineRun(bool &DontShowAgain) override;
    void MachineDataApplied() override;

    // --- Remote inputs (main_form3_2_remote.cpp) ---
    // The CIM port, copy-data requests, DDE server and Keplin console.
    TRemoteInputs *RemoteInputs() const { return FRemote.get(); }
    TDDEServerWindow *DDEWindow() const;
    // The Keplin console's press (mouse down and activate) or release on
    // the control of that name; its key, with modifiers, to the focus.
    void KeplinPress(const std::string &Control, bool Press);
    void KeplinKey(uint8_t Key, unsigned Shift);

protected:
    void showEvent(QShowEvent *Event) override;
    void closeEvent(QCloseEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    // Creation (main_form3_2.cpp).
    void FormCreate();
    void AssignCommandTags();
    void BuildMenus();
    void BuildFileMenu();
    void BuildSetupMenu();
    void BuildPopupMenus();
    QMenu *NewMenu(QMenu *Parent, const char *Name, const char *Caption);
    QAction *NewItem(QMenu *Parent, const char *Name, const char *Caption,
                     std::function<void()> Action);
    void BuildToolbars();
    void BuildStatusBars();
    void BuildModalLabels();
    void BuildTransformations();
    TToolbarButton *AddButton(TToolbar *Bar, const char *Name, const char *Caption,
                              const char *Hint, int Tag, int Glyph, bool Toggle);
    struct TButtonDef {
        TMainButton Which;
        const char *Name, *Caption, *Hint;
        int Tag, Glyph;
        bool Toggle;
        std::function<void(TToolbarButton *)> Click;
    };
    TToolbar *AddToolbar(const char *Name, const char *Caption, int Row, int Pos);
    void AddButtons(TToolbar *Bar, std::initializer_list<TButtonDef> Buttons);
    void BuildRunButtons();
    void BuildOutputButtons();
    void BuildMachineButtons();
    void BuildOptionButtons();
    void LayOutClient();
    void PaintBackground();
    void ListWindows();
    void BringBack(QMdiSubWindow *Sub);
    void ReadBackground();
    void InstallChildWindows();
    void OpenMessageDictionary();
    void BuildSourceMenu();
    void BindHelpItems();
    // Language: the window's translator, the "Select Language" command and
    // the texts the window sets while it runs (main_form3_2_language.cpp).
    void AttachFormTranslator();
    void SelectLanguageClick();
    void RefreshChangingTexts();
    void RefreshModalLabels();
    void PanelButton(QPushButton *Button, bool Down);
    void ApplySupportResult(bool VRAvailable, bool Sim3DAvailable);
    void MergeChildMenus(QMdiSubWindow *Window);
    bool EditorsMayClose();
    void ReleaseOnClose(QWidget *Window, TMainButton Which);

    // Toolbar and Utilities setup (main_form3_2_toolbars.cpp).
    void BuildToolbarSetupMenus();
    void SetUpToolbarPopups();
    void RestoreToolbarLayout(const std::string &LayoutFile);
    void PopupIconSizeClick(int IconSize);
    void PopupCaptionsClick();
    void SetButtonGlyph(TToolbarButton *Button, int Glyph);
    std::vector<TToolbarButton *> ToolbarButtons() const;
    bool FullSettingsAccess();

    // Commands (main_form3_2_commands.cpp).
    void SetRunButtons(const TRunButtons &Buttons);
    TRunButtons RunButtons() const;
    TRunContext RunContext() const;
    void AfterProgramLoadedShell(const std::string &FileName);
    void AfterCompiledLoadedShell(const std::string &FileName);
    void ToolingClick(TToolbarButton *Sender);
    void ToolLibraryClick(TToolbarButton *Sender);
    void OffsetsClick();
    void RecentClick(const std::string &FileName);
    void SaveAsClick();
    void SetOffsetClick(int Axis);
    void SearchForMachine();
    void EscapePressedDuringRun();
    void StartCycleTimer(bool On);

    // Remote inputs (main_form3_2_remote.cpp).
    void CreateRemoteInputs();
    void StartRemoteInputs();
    void FreeRemoteInputs();
    void ShowDDEWindow();
    void VRClick(TToolbarButton *Sender);

    // TProgramOpenerHost.
    bool EngineStopped() const override;
    TRunButtons DisableRunButtons() override;
    void RestoreRunButtons(const TRunButtons &Before) override;
    int SourceTag() const override;
    void ReportNotFound(const std::string &FileName) override;
    bool LoadInSource(std::string &FileName) override;
    void ShowProgramPath(const std::string &FileName) override;
    void AfterProgramLoaded(const std::string &FileName) override;
    void AfterCompiledLoaded(const std::string &FileName) override;
    std::string ProgramFile() const override;
    void SetProgramFile(const std::string &FileName) override;
    void UpdateBillet() override;
    bool SelectSourceByTag(int Tag) override;

    std::string FMainIni;
    std::unique_ptr<TBaseForm> FEngine;
    bool FShown = false;
    bool FClosed = false;
    TBilletBox FDefaultBillet;
    bool FBackgroundOn = false;
    std::string FBackgroundPicture;
    QImage FBackground; // the picture behind the MDI children
    std::unique_ptr<TMenu2> FRecent;
    bool FOutputsEnabled = true;
    int FCycleStateChanges = 0; // tells a refused start from one that ran
    bool FEnded = false;        // ran to its end; Start waits for Rewind
    TCycleClock FCycleClock;
    std::unique_ptr<TTimer> FStatUpdate;
    std::string FHelpPath;
    int FFoundPort = 0;
    TScreenSaver *FScreenSaver = nullptr;
    std::function<void(int Key)> FKeyHandler;

    QWidget *FClient = nullptr;
    QMdiArea *FMdi = nullptr;
    std::array<TDock *, 4> FDocks{};
    TToolbar *FFileControl = nullptr;
    TToolbar *FMachineBar = nullptr;
    TToolbar *FOutputsBar = nullptr;
    TToolbar *FOptionsBar = nullptr;
    TToolbar *FDataInfo = nullptr;
    TToolbar *FPopupToolbar = nullptr; // the toolbar whose popup is open
    std::map<TMainButton, TToolbarButton *> FButtons;
    std::vector<QLabel *> FModalLabels;
    QWidget *FTransformations = nullptr;
    QGroupBox *FMirror = nullptr, *FScaling = nullptr, *FRotation = nullptr;
    QLabel *FMirrorText = nullptr, *FScalingText = nullptr, *FRotationText = nullptr;
    TShellStatusBar *FStatusBar1 = nullptr;
    TShellStatusBar *FStatusBar2 = nullptr;
    QWidget *FDummyButtons = nullptr;
    std::map<QString, QAction *> FActions;
    std::map<QString, QMenu *> FMenus;
    QAction *FStandard3D = nullptr;
    QAction *FOpenGL3D = nullptr;
    std::vector<QAction *> FSourceItems;
    std::vector<QPointer<QAction>> FMergedActions; // a closed child takes its actions along
    std::vector<QAction *> FWindowItems;
    TKey_def_form *FKeyForm = nullptr;
    QPointer<QWidget> FOffsetsForm; // the work offsets' window while it is open
    QWidget *FMacroForm = nullptr;  // made at first use, goes before the engine
    TQtPos_size *FPos = nullptr;
    std::unique_ptr<TRemoteWindow> FRemoteWindow;
    std::unique_ptr<TRemoteInputs> FRemote;
    QPointer<QWidget> FDDEWindow; // the "CIM DDE Server" window once shown
};

// True when the VR control (the simulated world) can be made.
bool CanCreateVRControl();

// The program's main window while it exists (null before and after).
TMainForm *MainForm();

} // namespace orv
