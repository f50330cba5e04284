#pragma once
// The engine form TBaseForm: owns the parser, the processing stages, the
// shared block and move records, one program source, six output slots, and
// runs the pull loop that moves one record at a time from the source through
// the chain to every active output. It has no window: what it needs of the
// main window goes through TEngineHost.

#include "engine/form/CompiledRecord.h"
#include "engine/chain/EngineHost.h"
#include "engine/form/FanucScreen.h"
#include "engine/core/data_types.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TEngineHost;
class TBasicInput;
class TEditorInput;
class TBasicOutput;
class TCompilerOutput;
class TCNC_to_Generic;
class TBlockSearchOutput;
class TSplashView;
class TDIniFile;
class CNCLineParser;
class TMacroVars;
class TCNC_ABS;
class TCNC_Metric;
class TCalc_CNC;
class TOptimise;
class TCircularExpand;
class TCutter_comp;
class TCycleExpand;
class TMachine_Tooling;
class TTooling_Library;
class TWork_piece_offset;
class TRead_Machinedata_file;
class TConvert;
class TBasicMachine;
class TBasicControlPanel;
struct TChangeData;
struct TMachineReadout;

// Source kinds.
enum : uint8_t {
    skNone = 0,
    skFile = 1,
    skEditor = 2,
    skCompiled = 3,
    skFanuc21 = 4,
    skMDI = 8,
    skFanuc0M = 9,
};

// Output slots, in the order every record is handed out.
enum : int {
    slot2D = 0,
    slotSimulation = 1,
    slotCompiled = 2,
    slotPost = 3,
    slotOpenGL = 4,
    slotBlockSearch = 5,
    SlotCount = 6,
};

// Raised for a state the engine cannot go on from
// ("NextNotify Input Type not supported").
class EBaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TBaseForm : public TComponent {
public:
    static constexpr int SubIdentityCapacity = 11;
    // Sub-programs nested deeper than this stop the run: no real program
    // comes near it, and a sub-program calling itself would otherwise
    // nest until the files run out.
    static constexpr int MaxSubprogramNesting = 64;

    explicit TBaseForm(TEngineHost &Host);
    ~TBaseForm() override;
    TBaseForm(const TBaseForm &) = delete;
    TBaseForm &operator=(const TBaseForm &) = delete;

    // --- Construction and wiring ---
    // Creates and wires every owned object and reads the main settings file.
    void FormCreate();
    // Writes the settings back and frees everything (also run by the destructor).
    void FormDestroy();

    // Makes the source of a kind (1 file, 2 editor, 3 compiled, 4 Fanuc 21,
    // 9 Fanuc 0M; any other kind leaves no source).
    void SelectSource(uint8_t Kind);
    // Output switches, one per slot: On creates and wires the output, off
    // frees it.
    void Set2DOutput(bool On);
    void Set3DSimOutput(bool On);
    void SetCompiledOutput(bool On);
    void SetPostOutput(bool On);
    void SetOpenGLOutput(bool On);
    void SetBlockSearchOutput(bool On);
    // Units of the program display and every output: true inch, false metric.
    void SetUnits(bool Inch);
    // Takes the main window's default billet and gives it to every output.
    void UpdateBillet();

    // --- Run control ---
    void CycleStart();
    void CyclePause(); // toggles between paused and running
    void CycleStop();
    void CycleRewind();
    void SetCycleState(TCycleState State);
    void StopAll();
    void SetSingleStep(bool On);
    void SetBlockSkip(bool On);
    // A consumer (an output, or the machine in automatic or MDI mode) is
    // ready for the next move.
    void NextNotify(TObject *Sender);
    // The main window reports a loaded program.
    void ProgramLoaded(const std::string &FileName, bool IsMainProgram, int Level);
    void CompiledProgramLoaded(const std::string &FileName);
    void NewFile();
    void EditorChanged();

    // Pipeline handlers: each stage's request for its next block.
    void Calc_CNCNextNotify(TObject *Sender);
    void Cutter_compNextCompNotify(TObject *Sender, TCNC_Groups &Data);
    void CycleExpandNextCycleNotify(TObject *Sender, TCNC_Groups &Data);
    void CircularExpandNextCycleNotify(TObject *Sender, TCNC_Groups &Data);
    void OptimiseNextNotify(TObject *Sender, TCNC_Groups &Data);
    void CNC_ABSNextNotify(TObject *Sender);
    void KeepReferencePoint();
    // Stage failures: "Line #" + line + " : " + detail + " : " + message in
    // status bar 2 panel 4, stop, flash the line.
    void FM_ParserErrorEvent(TObject *Sender, int Error_pos, const std::string &error_string,
                             const std::string &error_message);
    void Calc_CNCErrorEvent(TObject *Sender, int Error_pos, const std::string &error_string,
                            const std::string &error_message);

    void ShowModalData(const TCNC_Groups &Groups);
    void ResetModalGroups();
    void ShowBlockEvents(TCNC_data &Data);
    // True when the run may start: an output is chosen or the machine runs
    // (a real machine only after its warning is accepted).
    bool CheckOutputs();
    void ShowPausedText(bool Paused);

    // Block search: the source's line selection sets the target line; the
    // output reports the target reached.
    void BlockSearchLineSelected(TObject *Sender, int SelectedLine);
    void BlockSearchReached(TObject *Sender);
    // A machine exists and is in automatic or MDI mode.
    bool MachineInRunMode() const;

    // --- Machine and control panel (base_machine.cpp) ---
    TBasicMachine *Machine() const { return FMachine.get(); }
    TBasicControlPanel *Panel() const { return FPanel; }
    // Puts a machine into the machine slot (freeing the one there), wires
    // it and initialises it; false when it did not initialise (a link that
    // could not connect stays in the slot, not connected).
    // IsVRLink: the machine is the VR link of the "VR Machine" button.
    bool InsertMachine(std::unique_ptr<TBasicMachine> Machine, bool IsVRLink = false);
    bool MachineIsVRLink() const { return FMachine && FMachineIsVR; }
    // The host's machine for its "Machine" button (the real-machine link)
    // into the machine slot, where it stays through changes of source; false
    // when the host has none or it did not connect.
    bool MakeMachineLink();
    void FreeMachine();
    // The simulated machine, only when the slot is empty.
    void MakeSimulatedMachine();
    bool HasSimulatedMachine() const;
    // The host's standard control panel becomes the panel.
    void MakeStandardPanel();
    // Frees the standard control panel (and its window); no panel after it
    // unless another one is in use.
    void FreeStandardPanel();
    // The panel's requests to the machine; ignored without a machine.
    void MachineRequest(TObject *Sender, TChangeData &Data);
    // The machine's (and the engine's) events to the panel and the buttons.
    void PanelRequest(TObject *Sender, TChangeData &Data);
    void ShowPosition(TObject *Sender, TMachineReadout &Position);
    void TurboChanged(TObject *Sender, bool On);
    // Stops the run and shows the "Machine Error" dialog; Line counts from 1.
    void MachineError(TObject *Sender, int Line, const std::string &Caption,
                      const std::string &Msg, const std::string &Details);
    // The machine joins the run and asks for its first record.
    void MachineClick();
    // Panel command codes of the Fanuc screens and the hidden buttons.
    void PanelCommand(int Code);
    // The panel's MDI source: Show true makes it the source (kind 8) and
    // keeps the one it replaces; Show false gives that one back.
    void MDISourceChanged(TObject *Sender, TBasicInput *&MDIInput, bool Show);
    void StopJog();
    void EngineKeyDown(int Key);
    // Set&up > "Jog Keys": the key setup dialog.
    void JogKeySetup() { FHost.ShowJogKeySetup(); }
    TJogKeyTable *JogKeys() const { return FJogKeys; }
    // Jog increment of the panel commands, mm.
    long double JogIncrement() const { return FJogIncrement; }
    // Messages of the controller threads (WM_USER to WM_USER + 3): post
    // from any thread; handled in the user-interface thread.
    static constexpr int WM_USER = 0x0400;
    void PostControllerMessage(int Message);
    void ControllerMessage(int Message);

    // --- State ---
    TCycleState RunState() const { return FRunState; }
    TBasicInput *Source() const { return FSource; }
    uint8_t SourceKind() const { return FSourceKind; }
    TBasicOutput *Output(int Slot) const;
    TCNC_Groups &Groups() { return FGroups; }
    TCNC_data &Data() { return FData; }
    bool Inch() const { return FInch; }
    int Decimals() const { return FDecimals; }
    bool SingleStep() const { return FSingleStep; }
    bool BlockSkip() const { return FBlockSkip; }
    int CurrentLine() const { return FCurrentLine; }
    const std::string &ProgramFile() const { return FProgramFile; }
    void SetProgramFile(const std::string &FileName) { FProgramFile = FileName; }
    const std::vector<TSubProgram> &SubPrograms() const { return FSubPrograms; }
    int SubIdentityCount() const { return FSubIdentityCount; }
    const TSubIdentity &SubIdentity(int Index) const { return FSubIdentities.at(Index); }
    bool ResetOnRewind() const { return FResetOnRewind; }
    TEngineHost &Host() const { return FHost; }
    CNCLineParser *Parser() const { return FParser.get(); }
    TRead_Machinedata_file *MachineData() const { return FMachineData.get(); }
    TMachine_Tooling *Tooling() const { return FTooling.get(); }
    TWork_piece_offset *WorkOffsets() const { return FWorkOffsets.get(); }
    TConvert *Convertor() const { return FConvertor.get(); }
    TMacroVars *MacroVars() const { return FMacroVars.get(); }

    // The main window's settings button: the password check, then the
    // "Machine Properties Editor" (read-only after a wrong password), then
    // the machine data read and applied again. Any other answer shows
    // "Password Incorrect !" / "You may not change any parameters".
    void SetupClick();
    // 1 without asking while the machine is "Under Inspection"; else the
    // password dialog's answer (1 right, 7 wrong, 2 cancelled).
    int CheckSettingsPassword();

    // --- Tooling and work offsets (base_tooling.cpp) ---
    // The changer asks for a tool change: the machine changes the tool, the
    // changer commits it, the modal-data label shows the tool.
    void Machine_tooling1ToolChangeRequiredNotify(TObject *Sender, int Tool);
    // The tool at a changer position changed (-1: every position).
    void Machine_tooling1DataChanged(TObject *Sender, int Position);
    // The current tool's length offset or diameter may have changed: the
    // converter, the panel's H and D and the machine's readout follow.
    void Machine_tooling1Tool_Z_offsetChanged(TObject *Sender);
    // The current machine offset changed (also after a G54 to G59 block):
    // the converter takes MX, MY, MZ, the billet goes out again, status bar
    // 2 panel 1 shows the offset's name.
    void Work_piece_offset1WorkDataChanged(TObject *Sender, const std::string &OldWorkName,
                                           const std::string &NewWorkName);
    // An output needs a tool that the changer does not hold: the main
    // window shows the machine-tooling window (its Tooling button goes down).
    void OutputNeedsToolPage(TObject *Sender);
    // The main window's Tool Library button: shows (down) or closes the
    // "Tooling Library" window.
    void ShowToolLibrary(bool Show);
    // The main window's Tooling button: shows (Show) or closes the "Machine
    // Tooling" window of the changer.
    void ShowMachineTooling(bool Show);
    void ChangeToolForRun(const TCNC_data &Data);
    bool WaitForToolInChanger(int Tool, TCycleState StateAtAsk);
    // The main window's Offsets button: down opens the "Work Piece Offsets"
    // window with the machine attached, up closes it.
    void WorkPieceOffsetClick();

    // --- DDE status (the shell's DDE server binds OnDDESend) ---
    // The DDE command state: State 0 busy, 1 idle, 2 not connected, 3 error.
    Tdevice_type DDEDevice;
    // A status text for the DDE clients.
    std::function<void(const std::string &Text)> OnDDESend;
    // "BUSY " when DDE input is on and the state is not busy (run commands).
    void DDEBusy();
    // "IDLE " + command + argument when DDE input is on and not idle.
    void DDEIdle();

    // Show generated blocks in the source's expanded-code strip.
    bool ShowExpanded = false;

    // Events to the main window.
    std::function<void(TObject *Sender)> OnProgramEnded;
    std::function<void(TObject *Sender)> OnInputStateChanged;
    std::function<void(TObject *Sender)> OnCycleStateChanged;
    // A record is about to be handed to the outputs (before the first one
    // sees it); for traces and the headless driver.
    std::function<void(const TCNC_data &Data)> OnHandOut;

private:
    // The source's next line (ReadLine's result); Error says why it failed.
    int ReadSourceLine(std::string &Line, int &LineNumber, int &Level, std::string &Error);
    // Brackets a call into the machine that may serve messages.
    class TMachineCall {
    public:
        explicit TMachineCall(TBaseForm &Form) : FForm(Form) { ++FForm.FMachineCalls; }
        ~TMachineCall() { FForm.LeaveMachineCall(); }
        TMachineCall(const TMachineCall &) = delete;
        TMachineCall &operator=(const TMachineCall &) = delete;

    private:
        TBaseForm &FForm;
    };
    void LeaveMachineCall();

    // Consumers that take part in the rendezvous, by kind.
    enum TConsumer : int {
        cnMachineLink,
        cnSimulation,
        cn2D,
        cnPost,
        cnCompiled,
        cnVR,
        cnOpenGL,
        cnBlockSearch,
        ConsumerCount
    };

    // The units every part is told.
    TUnits Units() const { return FInch ? TUnits::Inch : TUnits::Metric; }

    bool ConfirmRealMachineRun();

    // Construction helpers.
    void Splash(const std::string &Text);
    void CreateStages();
    void CreateExpansions();
    void LoadMachineData();
    void ApplyMachineData();
    void CreateTooling();
    void LoadToolFiles(TDIniFile &Settings);
    void ApplyToolCount();
    void SaveToolSettings(TDIniFile &Settings);
    void WireTooling();
    void ResetWorkShift();
    // The chain's blocks read ahead of the run are dropped: the next start
    // reads from where the source stands.
    void ForgetReadAhead();
    // The run's position, modal state, sub-program calls and read-ahead are
    // forgotten, as at a rewind.
    void ForgetRunState();
    void AttachMachineToOffsets();
    void SelectWorkOffsetByCode(const TCNC_data &Data);
    bool FanucScreenIsSource() const;
    void ReadSettings(TDIniFile &Settings);
    void WireSink(int Slot);
    void WireHiliteTo2D();
    void SwitchOutput(int Slot, bool On, std::unique_ptr<TBasicOutput> (TBaseForm::*Make)());
    std::unique_ptr<TBasicOutput> MakeCompiledOutput();
    std::unique_ptr<TBasicOutput> MakePostOutput();
    std::unique_ptr<TBasicOutput> MakeBlockSearchOutput();
    std::unique_ptr<TBasicOutput> Make2DOutput();
    std::unique_ptr<TBasicOutput> MakeSimOutput();
    std::unique_ptr<TBasicOutput> MakeOpenGLOutput();
    void ReleaseOutput(int Slot);
    void OutputGone();
    void ReleaseThroughHost(int Slot);
    void OutputSaveCancelled(int Slot);
    void OutputFileError(const std::string &Text);
    void BuryOutput(std::unique_ptr<TBasicOutput> Output);
    void FreeBuriedOutputs();
    void CreateSource(uint8_t Kind);
    void WireSource();

    // Pull loop.
    int ConsumerOf(TObject *Sender) const;
    bool ConsumerExpected(int Consumer) const;
    using TConsumerSet = std::array<bool, ConsumerCount>;
    bool RendezvousComplete(const TConsumerSet &Expected) const;
    bool HasConsumer(const TConsumerSet &Expected) const;
    void ClearWaiting();
    void WireEditorInput(TEditorInput &Editor);
    void PullLoop();
    void HandOut();
    bool TakeNextMove();
    bool TakeCompiledMove();
    void ReplayArcShape();
    void WaitWhilePaused();
    void HandToOutputs();
    void AfterHandOut(int EndMark);
    void CloseCompiledOutput();
    void StartOutputs();

    // Block reading and sub-programs.
    bool JumpInMainProgram();
    void CallSubprogram();
    std::string ResolveSubprogramFile(TSubProgram &Entry);
    void ReturnFromSubprogram(bool LevelEnded);
    void RegisterSubprogram(const std::string &Text);
    void SubprogramMessage(const std::string &Text);

    // Screen saver, saved once when a run leaves the stopped state.
    void SaveScreenSaver();
    void RestoreScreenSaver();
    void ShowTransform();

    // Machine and panel helpers (base_machine.cpp).
    void WireMachine();
    void TakeOverPanel(TBasicControlPanel *Panel);
    void OtherMachineRequest(TChangeData &Data);
    void ShowEventOnPanel(TBasicControlPanel &P, TChangeData &Data);
    void SendPanelEvent(uint8_t Kind, int32_t IntValue, bool Flag);
    void ButtonsByMode(TMachineMode Mode);
    bool RunCommand(int Code);
    bool ModeCommand(int Code);
    bool MachineCommand(int Code);
    void Request(uint8_t Kind, int32_t IntValue, long double Value = 0);
    void RequestMode(TMachineMode Mode);
    void JogCommand(int Axis, bool Positive);
    void FeedOverrideCommand(int Step);
    void SpeedOverrideCommand(int Step);
    void ManualMCodeCommand();

    TEngineHost &FHost;
    bool FCreated = false;
    bool FDestroyed = false;
    std::unique_ptr<TSplashView> FSplash;

    std::unique_ptr<TMacroVars> FMacroVars;
    std::unique_ptr<CNCLineParser> FParser;
    std::unique_ptr<TCNC_ABS> FABS;
    std::unique_ptr<TCNC_Metric> FMetric;
    std::unique_ptr<TCalc_CNC> FCalc;
    std::unique_ptr<TCutter_comp> FCutter;
    std::unique_ptr<TCycleExpand> FCycle;
    std::unique_ptr<TCircularExpand> FCircular;
    std::unique_ptr<TOptimise> FOptimise;
    std::unique_ptr<TRead_Machinedata_file> FMachineData;
    std::unique_ptr<TConvert> FConvertor;
    // The changer owns the tool library; the work offsets read the changer.
    std::unique_ptr<TMachine_Tooling> FTooling;
    std::unique_ptr<TWork_piece_offset> FWorkOffsets;

    TCNC_Groups FGroups;
    std::string FSourceLine; // the source line being parsed
    TCNC_Groups FEmptyBlock; // calculated when the compensation hands on none
    // Group values (1 to 25) the modal labels show, so that only changed
    // labels are written; not valid after another writer or while hidden.
    int32_t FModalShown[26] = {};
    bool FModalShownValid = false;
    TCNC_data FData;
    TCompiledRecord FCompiledRecord{};
    double FReplayPosition[3] = {0, 0, 0};

    TBasicInput *FSource = nullptr;
    std::unique_ptr<TBasicInput> FOwnedSource;
    std::unique_ptr<TFanucScreen> FFanucScreen;
    uint8_t FSourceKind = skNone;
    std::array<std::unique_ptr<TBasicOutput>, SlotCount> FOutputs;
    std::vector<std::unique_ptr<TBasicOutput>> FBuried;
    bool FBuryPosted = false;

    bool FInch = false;
    int FDecimals = 3;
    TBilletBox FBillet;

    TCycleState FRunState = csStopped;
    std::array<bool, ConsumerCount> FWaiting{};
    bool FPulling = false;
    bool FCallPending = false;
    int FEndMark = 0;
    bool FSingleStep = false;
    bool FBlockSkip = false;
    bool FResetOnRewind = true;
    int FCurrentLine = -1;
    std::string FProgramFile;
    std::vector<TSubProgram> FSubPrograms;
    std::array<TSubIdentity, SubIdentityCapacity> FSubIdentities;
    int FSubIdentityCount = 0;
    bool FPausedShown = false;
    std::string FSavedDecimalSeparator;
    bool FScreenSaverSaved = false;
    bool FSavedScreenSaver = true;
    int FLookAhead = 30;
    TTransformPanels FTransform;

    std::unique_ptr<TBasicMachine> FMachine;
    bool FMachineInRun = false; // the machine joined the current run
    bool FMachineIsVR = false;  // the machine is the VR link
    // The machine came from the host's machine button (MakeMachineLink): a
    // change of source keeps it, even when it is a simulated machine.
    bool FOperatorMachine = false;
    // Calls into the machine that may serve messages (homing waits, a block
    // in progress). A machine freed meanwhile is parked here and destroyed
    // when the outermost call has returned, never under its own feet.
    int FMachineCalls = 0;
    std::vector<std::unique_ptr<TBasicMachine>> FRetiredMachines;
    TBasicControlPanel *FPanel = nullptr;
    // The MDI source while it is current, and the source and kind it replaced.
    TBasicInput *FMDISource = nullptr;
    TBasicInput *FKeptSource = nullptr;
    uint8_t FKeptSourceKind = skNone;
    TJogKeyTable *FJogKeys = nullptr; // owned by the host's key setup dialog
    std::unique_ptr<TBasicControlPanel> FStandardPanel;
    std::unique_ptr<TChangeData> FRequestBuffer;
    std::unique_ptr<TChangeData> FEventBuffer;
    long double FJogIncrement = 0.001;
    double FSavedFeed = 0;
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};

} // namespace orv
