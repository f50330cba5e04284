#pragma once
// What the engine form needs of the main window: its buttons and menu items,
// its status bars, the modal-data labels, the coordinate-transformation
// panels, the default billet, the system settings it touches and the windows
// and outputs that live outside the engine. The main window implements it;
// THeadlessHost (HeadlessHost.h) stands in for it in tests and in ncrun.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TBasicInput;
class TBasicOutput;
class TBaseForm;
class TFanucScreen;
class TBasicControlPanel;
class TBasicMachine;
class TJogKeyTable;

// Buttons of the main window that the engine reads or clicks.
enum class TMainButton {
    Start,
    Pause,
    Stop,
    Rewind,
    SingleBlock,
    BlockSkip,
    Output2D,     // "2D Simulation"
    Output3D,     // "3D Simulation"; item 0 or 1 of its choice menu says which
    Compiled,     // compiled ".XNC" output
    PostOutput,   // ".GNC" post-processor output
    BlockSearch,  // "NC Program Restart"
    MachineOutput,
    VROutput,
    File,
    SaveAs,
    Units,
    Offsets,
    Tooling,
    ToolLibrary,
};

// Items of the 3D simulation button's choice menu.
constexpr int Choice3DSimulationControl = 0;
constexpr int Choice3DOpenGL = 1;

// Menu items whose visibility follows the machine data.
enum class TMainMenuItem { CimSettings, DdeConnection };
// Menus of the main window that the machine mode enables.
enum class TMainMenu { File, Setup };

// Billet of the main window's default billet, millimetres.
struct TBilletBox {
    double XPos = 0;
    double YPos = 0;
    double XSize = 100;
    double YSize = 100;
    double ZSize = 20;
};

// The coordinate-transformation window and its panels (mirror, scaling,
// rotation); texts are what the panels show.
struct TTransformPanels {
    bool MirrorX = false;
    bool MirrorY = false;
    bool ScalingVisible = false;
    std::string ScalingText;
    bool RotationVisible = false;
    std::string RotationText;
};

// A progress window of a source: caption, a bar and two status panels.
class TProgressView {
public:
    virtual ~TProgressView() = default;
    virtual void SetCaption(const std::string &Caption) = 0;
    virtual void SetMaximum(long long Maximum) = 0;
    virtual void SetPosition(long long Position) = 0;
    virtual void SetPanel(int Index, const std::string &Text) = 0;
    virtual void Show() = 0;
};

// The "NC Program Restart" window of the block search output: the values
// as they are to be shown (lengths already as length texts).
struct TBlockSearchShown {
    std::string G, X, Y, Z, F, T, M, S;
    std::string SearchBlock;
    std::string TargetBlock;
    std::vector<std::string> MCodes;
};

class TBlockSearchView {
public:
    virtual ~TBlockSearchView() = default;
    virtual void ShowValues(const TBlockSearchShown &Values) = 0;
    virtual void Show() = 0;
};

// The splash window shown while the engine form starts.
class TSplashView {
public:
    virtual ~TSplashView() = default;
    virtual void ShowProgress(const std::string &Text) = 0;
};

class TEngineHost {
public:
    virtual ~TEngineHost() = default;

    // Buttons and menus.
    virtual bool ButtonDown(TMainButton Button) const = 0;
    // Clicks a button as the operator would (toggles a toggle button).
    virtual void ClickButton(TMainButton Button) = 0;
    virtual bool Choice3DChecked(int Item) const = 0;
    virtual void SetMenuItemVisible(TMainMenuItem Item, bool Visible) = 0;
    // The main window's open command (asks for a program for the new source).
    virtual void OpenCommand() = 0;

    // Status bars: Bar 1 or 2, Panel from 0; OwnerDrawn marks the red
    // message style of panel 4 of bar 2.
    virtual void SetStatusText(int Bar, int Panel, const std::string &Text, bool OwnerDrawn) = 0;

    // Modal-data window: labels 1 to 22 G groups, 23 M, 24 S, 25 T.
    virtual bool ModalDataVisible() const = 0;
    virtual void SetModalLabel(int Index, const std::string &Text) = 0;

    virtual void ShowTransformPanels(const TTransformPanels &Panels) = 0;
    virtual void ResetCycleTime() = 0;
    // Single-block ("STEP") or continuous execution shown on the main window.
    virtual void ShowExecuteMode(bool SingleStep) = 0;
    virtual TBilletBox DefaultBillet() const = 0;

    // The system's screen-saver-active setting (changed for the session
    // only, never written to the user profile).
    virtual bool ScreenSaverActive() const = 0;
    virtual void SetScreenSaverActive(bool Active) = 0;

    // The output choice shown when a run starts with no output: true with
    // the chosen buttons on OK.
    virtual bool ChooseOutputs(std::vector<TMainButton> &Chosen) = 0;

    // Windows of the engine form; null where there is none to show.
    virtual std::unique_ptr<TSplashView> CreateSplash() = 0;
    virtual std::unique_ptr<TProgressView> CreateProgressView() = 0;
    virtual std::unique_ptr<TBlockSearchView> CreateBlockSearchView() = 0;

    // Sources and outputs that live outside the engine form. Slot 0 is the
    // 2D view, 1 the simulation control, 4 the OpenGL 3D view; null when
    // that output is not available.
    virtual std::unique_ptr<TBasicOutput> CreateOutput(int Slot) = 0;
    // The editor source (kind 2) with its editor windows.
    virtual std::unique_ptr<TBasicInput> CreateEditorInput(TBaseForm &Engine) = 0;
    // The Fanuc 21 (kind 4) or Fanuc 0M (kind 9) screen; null while those
    // screens are not available.
    virtual std::unique_ptr<TFanucScreen> CreateFanucScreen(TBaseForm &Engine, int Kind) = 0;

    // The machine side. Buttons and menus the machine mode enables or
    // disables; the engine's key handler (Escape stops a run); the standard
    // control panel (null while there is none).
    virtual void SetButtonEnabled(TMainButton Button, bool Enabled) {}
    virtual void SetMenuEnabled(TMainMenu Menu, bool Enabled) {}
    virtual void SetKeyHandler(std::function<void(int Key)> Handler) {}
    virtual std::unique_ptr<TBasicControlPanel> CreateStandardPanel(TBaseForm &Engine);
    // The real-machine link of the "Machine" button, its notifications
    // going to the engine form; null where the program has none.
    virtual std::unique_ptr<TBasicMachine> CreateMachineLink(TBaseForm &Engine);

    // Tooling: shows the "Machine Tooling" window (the main window's Tooling
    // button goes down and calls TBaseForm::ShowMachineTooling(true)), for
    // an output that needs a tool the changer lacks; the output waits until
    // the tool is in.
    virtual void ShowMachineTooling() {}

    // The jog-key setup dialog, made once when the engine starts: its key
    // table, which every panel the engine takes over reads live (null
    // without a dialog); and its modal show.
    virtual TJogKeyTable *CreateJogKeyForm() { return nullptr; }
    virtual void ShowJogKeySetup() {}
    // The warning before a real machine runs: false for "Stop";
    // DontShowAgain when the operator ticked "Don't Show This Again".
    virtual bool ConfirmMachineRun(bool &DontShowAgain) { return true; }

    // The engine applied the machine data (at start and after the machine
    // properties were edited): the remote inputs follow its switches.
    virtual void MachineDataApplied() {}
};

} // namespace orv
