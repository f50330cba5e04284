// ncrun: runs one NC program through the engine form with no window.
// Standard output: every record that reaches the outputs, one line each.
// Standard error: errors as the status bar shows them and every dialog.
// Exit status: 0 the run reached the end of the program (or the block
// search target), 1 it stopped on an error or showed an error message, 2
// bad arguments (an answers file that is no file, an answer no button of
// its message takes).
// --machine: the run goes to the simulated machine on a test clock; every
// block the machine gets is printed ("M ...", steps) and the final position
// at the end ("POS ...", steps then mm).
// --mdi FILE (with --machine): homes, asks for MDI mode, types FILE's lines
// into the standard panel's MDI page and starts the cycle; the blocks print
// as for a program.
// --machine --link: the run goes to the machine link (the machine file's
// "Control Type", its "Com Port" mapped by [Serial Ports] of the settings)
// on the real clock, printing the same lines; a link that cannot connect
// ends the run with status 1.
// --fanuc21 KEYS (--fanuc0m KEYS): the Fanuc 21 (0M) station is the source (PROGRAM, when named,
// is loaded into its memory); after homing, the key script is worked on its
// keypad, soft keys and buttons, and the run it starts goes to its end;
// --screen FILE writes the station's screen model there at the end.
// There is no machine-tooling window: an answer that asks for it (a missing
// tool, "Edit Tooling Now") stops the run.

#include "engine/chain/BasicInput.h"
#include "engine/form/BlockSearchOutput.h"
#include "engine/form/FanucScreen.h"
#include "engine/form/CNC_to_Generic.h"
#include "engine/form/HeadlessHost.h"
#include "engine/form/HeadlessPanel.h"
#include "engine/core/Mess.h"
#include "engine/core/NetUtil.h"
#include "engine/form/base.h"
#include "ncrun/NcRunOptions.h"
#include "ncrun/RecordLine.h"
#include "machine/ControlPanelStd.h"
#include "machine/DummyLinkMill.h"
#ifdef ORV_NCRUN_LINK
#include "links/MachLink.h"
#include "links/VRLink.h"
#include "links/VRWorld.h"
#include "machine/Read_Machinedata_file.h"
#endif
#include "machine/convert.h"
#include "platform/NumberText.h"
#include "platform/EventLoop.h"
#include "platform/MessageService.h"
#include "platform/Paths.h"

#ifdef ORV_NCRUN_FANUC
#include "fanuc/FanucScript.h"
#include "fanuc/fanuc0m/FanucOMScreen.h"
#include "fanuc/fanuc21/Fanuc21Screen.h"
#endif

#ifdef ORV_NCRUN_SIM
#include "engine/core/DUtils.h"
#include "engine/simlink/SimLink.h"
#endif

#ifdef ORV_NCRUN_3D
#include "engine/core/DUtils.h"
#include "view3d/milling/MillingView.h"
#include <dlfcn.h>
#include <fstream>
#endif

#ifdef ORV_NCRUN_2D
#include "engine/view2d/DD_Draw_Form.h"
#include "engine/view2d/Draw_2D.h"
#include "engine/view2d/View2dGeometry.h"
#include <dlfcn.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#ifndef ORV_DATA_DIR
#define ORV_DATA_DIR "data"
#endif

namespace orv {
namespace {

namespace fs = std::filesystem;

// Machine time a run on the simulated machine may take.
constexpr int MachineTimeLimitMs = 60 * 60 * 1000;

const char *Usage =
    "usage: ncrun [--settings DIR] [--compiled] [--xnc FILE] [--gnc FILE] [--search LINE]\n"
    "             [--answers FILE] [--single-step] [--block-skip] [--2d] [--bm2 FILE]\n"
    "             [--2d-list FILE] [--sim FILE | --3d-grid FILE] [--3d FILE.bmp]\n"
    "             [--machine [--link] | --vr]\n"
    "             PROGRAM\n"
    "       ncrun [--settings DIR] --machine --mdi FILE\n"
    "       ncrun [--settings DIR] [--machine] --fanuc21|--fanuc0m KEYS [--screen FILE] [PROGRAM]\n";

// The event loop of the run: serves what is posted and due without waiting
// for input (there is none), and starts a paused run (single block) again
// at once, as an operator pressing cycle start after each block.
void RestartPausedRun(TBaseForm *Engine)
{
    if (Engine && Engine->RunState() == csPaused)
        Engine->CycleStart();
}

class TNcRunLoop : public TPlainEventLoop {
public:
    TBaseForm *Engine = nullptr;
    void ProcessMessages() override
    {
        // A run asks at every record: the clock is read at every 32nd ask
        // (a few microseconds apart), or when a message came.
        const bool served = ServePosted() > 0;
        if (served || ++FAsks % 32 == 0)
            FireDueTimers(NowMs());
        RestartPausedRun(Engine);
    }
    // A paused run waits for the operator: he starts it again at once.
    void WaitForMessages() override
    {
        if (Engine && Engine->RunState() == csPaused)
            RestartPausedRun(Engine);
        else
            TPlainEventLoop::WaitForMessages();
    }
    // A wait of the machine link sleeps until a message, a timer or its
    // deadline: the run's only core is not spun while the machine moves.
    void WaitMessages(int MaxMs) override
    {
        TPlainEventLoop::WaitMessages(MaxMs);
        RestartPausedRun(Engine);
    }

private:
    unsigned FAsks = 0;
};

// The same on the machine's test clock: each wait moves the clock on a
// step, so the machine runs while the engine waits.
class TNcRunMachineLoop : public TTestEventLoop {
public:
    TBaseForm *Engine = nullptr;
    void ProcessMessages() override
    {
        TTestEventLoop::ProcessMessages();
        RestartPausedRun(Engine);
    }
    // As above: a paused run is started again at once, before the test
    // clock would jump on to the machine's next timer.
    void WaitForMessages() override
    {
        if (Engine && Engine->RunState() == csPaused)
            RestartPausedRun(Engine);
        else
            TTestEventLoop::WaitForMessages();
    }
};

// Dialogs: printed to standard error and answered from the answers file;
// the save dialogs of the compiled and post outputs get their files.
// The result of a button the message has, named ("OK", "cancel") or by
// number ("6"); mrNone when the answer names none of them.
int AnswerResult(const std::string &Answer, unsigned Buttons)
{
    static const struct {
        const char *Name;
        unsigned Button;
        int Result;
    } buttons[] = {{"OK", mbOK, mrOk},          {"Cancel", mbCancel, mrCancel},
                   {"Abort", mbAbort, mrAbort}, {"Retry", mbRetry, mrRetry},
                   {"Ignore", mbIgnore, mrIgnore}, {"Yes", mbYes, mrYes},
                   {"No", mbNo, mrNo},          {"All", mbAll, mrAll},
                   {"NoToAll", mbNoToAll, mrNoToAll}, {"YesToAll", mbYesToAll, mrYesToAll}};
    std::string text = Trim(Answer);
    for (const auto &b : buttons)
        if ((Buttons & b.Button) && (SameText(text, b.Name) || text == std::to_string(b.Result)))
            return b.Result;
    return mrNone;
}

// An error message (a file that could not be written, a machine error, a
// settings file that could not be saved) means the run failed, whatever
// happened after it.
class TNcRunMessages : public TMessageService {
public:
    std::deque<std::string> Answers;
    std::string XncFile;
    std::string GncFile;
    int ErrorsShown = 0;
    std::string BadAnswer; // an answer no button of its message takes

    int Show(const TMessageRequest &Request) override
    {
        if (Request.Caption.empty())
            std::fprintf(stderr, "%s\n", Request.Text.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", Request.Caption.c_str(), Request.Text.c_str());
        if (Request.Type == mtError)
            ++ErrorsShown;
        if (Answers.empty())
            return DefaultAnswer(Request);
        std::string answer = Next();
        int result = AnswerResult(answer, Request.Buttons);
        if (result != mrNone)
            return result;
        std::fprintf(stderr, "ncrun: the answer \"%s\" is no button of this message\n",
                     answer.c_str());
        if (BadAnswer.empty())
            BadAnswer = answer;
        return Request.Buttons & mbCancel ? (int)mrCancel : DefaultAnswer(Request);
    }
    bool InputQuery(const std::string &Caption, const std::string &Prompt,
                    std::string &Value) override
    {
        std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Prompt.c_str());
        if (Answers.empty())
            return false;
        Value = Next();
        return true;
    }
    std::optional<std::string> ChooseFile(const TFileRequest &Request) override
    {
        bool save = Request.Kind == TFileDialogKind::Save;
        if (save && SameText(Request.DefaultExt, "XNC") && !XncFile.empty())
            return XncFile;
        if (save && SameText(Request.DefaultExt, "GNC") && !GncFile.empty())
            return GncFile;
        std::fprintf(stderr, "%s: %s\n", Request.Title.c_str(), Request.Filter.c_str());
        if (Answers.empty())
            return std::nullopt;
        return Next();
    }

private:
    std::string Next()
    {
        std::string a = Answers.front();
        Answers.pop_front();
        return a;
    }
};

std::string MakeTempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "ncrunXXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return {};
    return pattern;
}

// A run that names no output writes a compiled file of its own, so the
// records still pass through an output.
bool NamesAnOutput(const TNcRunOptions &Options)
{
    return !Options.XncFile.empty() || !Options.GncFile.empty() || Options.Search;
}

bool ReadAnswers(const std::string &FileName, std::deque<std::string> &Answers)
{
    std::ifstream in(FileName);
    if (!in || !fs::is_regular_file(FileName))
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Answers.push_back(line);
    }
    return true;
}

// One block the machine is given (steps; fields the block leaves unset are
// left out).
void PrintMachineBlock(const TMachineBlock &Block)
{
    std::string line = "M";
    auto add = [&line](const char *Name, int32_t Value) {
        if (Value != NoSteps)
            line += std::string(" ") + Name + std::to_string(Value);
    };
    add("B", Block.BlockType);
    add("X", Block.X);
    add("Y", Block.Y);
    add("Z", Block.Z);
    add("I", Block.I);
    add("J", Block.J);
    add("K", Block.K);
    add("F", Block.Feed);
    add("S", Block.S);
    add("M", Block.M);
    add("T", Block.T);
    std::fputs((line + "\n").c_str(), stdout);
}

// The simulated mill, printing every block it is given.
class TNcRunMill : public TDummyLinkMill {
public:
    using TDummyLinkMill::TDummyLinkMill;
    bool ProcessBlock(const TMachineBlock &Block) override
    {
        PrintMachineBlock(Block);
        return TDummyLinkMill::ProcessBlock(Block);
    }
};

#ifdef ORV_NCRUN_LINK
// The machine link, printing every block it is given.
class TNcRunLink : public TMachLink {
public:
    using TMachLink::TMachLink;
    bool ProcessBlock(const TMachineBlock &Block) override
    {
        PrintMachineBlock(Block);
        std::fflush(stdout);
        return TMachLink::ProcessBlock(Block);
    }
};
#endif

#if defined(ORV_NCRUN_2D) || defined(ORV_NCRUN_3D)
// A module of ncrun: the one beside ncrun, else the one where the build put it.
void *OpenModule(const char *BuildPath)
{
    std::error_code ec;
    fs::path beside =
        fs::read_symlink("/proc/self/exe", ec).parent_path() / fs::path(BuildPath).filename();
    void *module = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_GLOBAL);
    return module ? module : ::dlopen(BuildPath, RTLD_NOW | RTLD_GLOBAL);
}
#endif

#ifdef ORV_NCRUN_2D
// The pictures of the 2D output, from the module beside ncrun (or where the
// build put it); without it the 2D output draws into no picture.
std::unique_ptr<TForm2DView> LoadImageView(int ClientWidth, int ClientHeight)
{
    using TMake = TForm2DView *(*)(int, int);
    void *module = OpenModule(ORV_NCRUN_VIEW2D);
    auto make = module ? reinterpret_cast<TMake>(::dlsym(module, "OrvNcrunImageView")) : nullptr;
    if (!make) {
        const char *why = ::dlerror();
        std::fprintf(stderr, "ncrun: cannot load the 2D pictures: %s\n", why ? why : ORV_NCRUN_VIEW2D);
        return nullptr;
    }
    return std::unique_ptr<TForm2DView>(make(ClientWidth, ClientHeight));
}
#endif

#ifdef ORV_NCRUN_3D
// The milling window of --3d, from the module beside ncrun (or where the
// build put it): drawn offscreen, 640 x 480, under the run's X server.
struct TMillingWindowModule {
    T3DView *(*Make)(int Width, int Height) = nullptr;
    TMillingView *(*Model)(T3DView *View) = nullptr;
    bool (*Capture)(T3DView *View, const char *FileName) = nullptr;
};

const TMillingWindowModule &MillingWindowModule()
{
    static TMillingWindowModule m = [] {
        TMillingWindowModule found;
        if (void *module = OpenModule(ORV_NCRUN_VIEW3D)) {
            found.Make = reinterpret_cast<decltype(found.Make)>(::dlsym(module, "OrvNcrunMillingWindow"));
            found.Model = reinterpret_cast<decltype(found.Model)>(::dlsym(module, "OrvNcrunMillingModel"));
            found.Capture = reinterpret_cast<decltype(found.Capture)>(::dlsym(module, "OrvNcrunCapture3D"));
        }
        if (!found.Make || !found.Model || !found.Capture) {
            const char *why = ::dlerror();
            std::fprintf(stderr, "ncrun: cannot load the 3D window: %s\n", why ? why : ORV_NCRUN_VIEW3D);
            found = {};
        }
        return found;
    }();
    return m;
}

// The milling view of the OpenGL output: the window's for --3d, else a
// view without a window.
TMillingView *MillingModel(T3DView *View)
{
    if (auto *plain = dynamic_cast<TMillingView *>(View))
        return plain;
    return View && MillingWindowModule().Model ? MillingWindowModule().Model(View) : nullptr;
}
#endif

// The main window of the run: the 2D output, when asked for, draws into
// pictures without a screen.
class TNcRunHost : public THeadlessHost {
public:
    std::unique_ptr<TBasicOutput> CreateOutput(int Slot) override
    {
#ifdef ORV_NCRUN_2D
        if (Slot == slot2D) {
            auto Output = std::make_unique<TDraw_2D>();
            Output->ViewFactory = [] { return LoadImageView(1024, 768); };
            return Output;
        }
#endif
#ifdef ORV_NCRUN_SIM
        if (Slot == slotSimulation)
            return MakeSimulation();
#endif
#ifdef ORV_NCRUN_3D
        if (Slot == slotOpenGL) {
            // --3d: the milling window, drawn offscreen.
            if (Window3D) {
                const TMillingWindowModule &module = MillingWindowModule();
                T3DView *window = module.Make ? module.Make(640, 480) : nullptr;
                return std::make_unique<T3DOutput>(std::unique_ptr<T3DView>(window));
            }
            // The milling view without its window, with the "3DGraphics"
            // settings of the run's settings folder.
            auto view = std::make_unique<TMillingView>();
            TG3D_settings settings;
            settings.LoadSettings(MainIniPath());
            view->ApplySetup(settings);
            return std::make_unique<T3DOutput>(std::move(view));
        }
#endif
        return THeadlessHost::CreateOutput(Slot);
    }
#ifdef ORV_NCRUN_LINK
    std::unique_ptr<TBasicMachine> CreateMachineLink(TBaseForm &Engine) override
    {
        auto link = std::make_unique<TNcRunLink>(&Engine);
        link->NotifyWindow = [&Engine](int Message) { Engine.PostControllerMessage(Message); };
        return link;
    }
#endif
    std::unique_ptr<TBasicControlPanel> CreateStandardPanel(TBaseForm &) override
    {
        if (StandardPanel)
            return std::make_unique<TControlPanelStd>();
        return std::make_unique<THeadlessPanel>();
    }
#ifdef ORV_NCRUN_SIM
    // The simulation control from the class registry (registered from its
    // library when it is not), drawn offscreen at 640 x 480.
    static std::unique_ptr<TBasicOutput> MakeSimulation()
    {
        auto Output = std::make_unique<TSimLink>();
        Output->ControlFactory = [] {
            const char *ClassId = VelmaroxControlClassId;
            TComPtr Control;
            if (CreateInstance(ClassId, Control) != S_OK && RegisterActiveXServer(ORV_NCRUN_SIM))
                CreateInstance(ClassId, Control);
            if (!Control)
                std::fprintf(stderr, "ncrun: the simulation control cannot be created\n");
            else if (Control->Control())
                Control->Control()->DrawOffscreen(640, 480);
            return Control;
        };
        return Output;
    }
#endif
#ifdef ORV_NCRUN_FANUC
    std::unique_ptr<TFanucScreen> CreateFanucScreen(TBaseForm &, int Kind) override
    {
        std::unique_ptr<fanuc::TFanucScreen> station;
        if (Kind == skFanuc21)
            station = std::make_unique<fanuc::TFanucScreen>();
        else if (Kind == skFanuc0M)
            station = std::make_unique<fanuc::TFanucScreenOM>();
        else
            return nullptr;
        Station = station.get();
        return station;
    }
    fanuc::TFanucScreen *Station = nullptr;
#endif
    bool StandardPanel = false; // the standard panel (with its MDI page), no window
    bool Window3D = false;      // the OpenGL output gets the milling window (--3d)
    // There is no "Machine Tooling" window to put the missing tool into the
    // changer, so nothing could end the output's wait for it: the run stops.
    void ShowMachineTooling() override
    {
        THeadlessHost::ShowMachineTooling();
        std::fprintf(stderr, "ncrun: no Machine Tooling window here; the run stops\n");
        if (EngineForm())
            EngineForm()->CycleStop();
    }
};


// Runs the program; the exit status.
class TNcRun {
public:
    TNcRun(const TNcRunOptions &Options, TNcRunMessages &Messages)
        : FOptions(Options), FMessages(Messages)
    {
    }
    int Run();

private:
    bool LoadProgram();
    bool LoadMDILines();
    void SwitchOutputs();
    void FinishSearch();
    int ExitStatus() const;
    void RunOnMachine(TTestEventLoop &Loop);
    void RunOnVR(TTestEventLoop &Loop);
    void PrintSteps(const char *When);
    bool RunFanucStation(TTestEventLoop &Loop);
    bool RunOnLink(TEventLoop &Loop);
    void PrintPosition();

    const TNcRunOptions &FOptions;
    TNcRunMessages &FMessages;
    void Finish2D();
    void FinishSimulation();
    void Finish3DGrid();
    void Finish3DCapture();

    TNcRunHost FHost;
    std::unique_ptr<TBaseForm> FEngine;
    bool FEnded = false;
    bool FFailed = false;
    std::string FProgram;
    std::vector<std::string> FMDILines;
};

bool TNcRun::LoadProgram()
{
    FProgram = FOptions.Program; // made absolute before the run left its folder
    FEngine->SetProgramFile(FProgram);
    FEngine->SelectSource(FOptions.Compiled ? skCompiled : skEditor);
    std::string name = FProgram;
    if (!FEngine->Source() || !FEngine->Source()->LoadFile(name)) {
        std::fprintf(stderr, "%s: %s\n", Mess().MessageText(37).c_str(), FProgram.c_str());
        return false;
    }
    if (FOptions.Compiled)
        FEngine->CompiledProgramLoaded(FProgram);
    else
        FEngine->ProgramLoaded(FProgram, true, 0);
    return true;
}

// The MDI page takes the file's lines when it opens.
bool TNcRun::LoadMDILines()
{
    auto readError = [this] {
        std::fprintf(stderr, "%s: %s\n", Mess().MessageText(37).c_str(), FOptions.MdiFile.c_str());
        return false;
    };
    // A folder opens as a stream on this system, and reads as nothing.
    std::error_code ec;
    if (fs::is_directory(FOptions.MdiFile, ec))
        return readError();
    std::ifstream file(FOptions.MdiFile, std::ios::binary);
    if (!file)
        return readError();
    FMDILines.clear();
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        FMDILines.push_back(line);
    }
    if (file.bad())
        return readError();
    return true;
}

void TNcRun::SwitchOutputs()
{
    if (!FOptions.XncFile.empty())
        FHost.ClickButton(TMainButton::Compiled);
    if (!FOptions.GncFile.empty()) {
        FHost.ClickButton(TMainButton::PostOutput);
        auto *post = dynamic_cast<TCNC_to_Generic *>(FEngine->Output(slotPost));
        const char *epoch = std::getenv("SOURCE_DATE_EPOCH");
        if (post && epoch) {
            std::time_t fixed = (std::time_t)std::atoll(epoch);
            post->Clock = [fixed] { return fixed; };
        }
    }
    if (FOptions.Search) {
        FHost.ClickButton(TMainButton::BlockSearch);
        FEngine->BlockSearchLineSelected(nullptr, FOptions.SearchLine);
    }
    if (!NamesAnOutput(FOptions))
        FHost.ClickButton(TMainButton::Compiled);
    if (FOptions.Draw2D)
        FHost.ClickButton(TMainButton::Output2D);
    if (!FOptions.SimFile.empty()) {
        FHost.Set3DChoice(Choice3DSimulationControl, true);
        FHost.Set3DChoice(Choice3DOpenGL, false);
        FHost.ClickButton(TMainButton::Output3D);
    }
    if (!FOptions.Grid3DFile.empty() || !FOptions.Capture3DFile.empty()) {
        FHost.Window3D = !FOptions.Capture3DFile.empty();
        FHost.Set3DChoice(Choice3DSimulationControl, false);
        FHost.Set3DChoice(Choice3DOpenGL, true);
        FHost.ClickButton(TMainButton::Output3D);
    }
    if (FOptions.SingleStep)
        FHost.ClickButton(TMainButton::SingleBlock);
    if (FOptions.BlockSkip)
        FHost.ClickButton(TMainButton::BlockSkip);
}

// The search stops at its target: the operator then switches block search
// off and the run goes on with the other outputs.
void TNcRun::FinishSearch()
{
    auto *search = dynamic_cast<TBlockSearchOutput *>(FEngine->Output(slotBlockSearch));
    if (!search || !search->Reached())
        return;
    FEnded = true;
    FHost.ClickButton(TMainButton::BlockSearch);
}

int TNcRun::Run()
{
    TNcRunLoop loop;
    TNcRunMachineLoop testLoop;
    bool testClock = FOptions.Machine && !FOptions.Link;
    TEventLoop &used = testClock ? static_cast<TEventLoop &>(testLoop) : loop;
    TEventLoopScope loopScope(used);
    FHost.OnStatusText = [this](int Bar, int Panel, const std::string &Text) {
        if (Bar != 2 || Panel != 4 || Trim(Text).empty())
            return;
        std::fprintf(stderr, "%s\n", Text.c_str());
        if (Text.rfind("Line #", 0) == 0)
            FFailed = true;
    };
    FEngine = std::make_unique<TBaseForm>(FHost);
    FHost.SetEngine(FEngine.get());
    loop.Engine = FEngine.get();
    testLoop.Engine = FEngine.get();
    FEngine->FormCreate();
    FEngine->OnProgramEnded = [this](TObject *) { FEnded = true; };
    FEngine->OnHandOut = [line = std::string(),
                          printer = TRecordPrinter()](const TCNC_data &Data) mutable {
        line.clear();
        printer.Append(line, Data);
        line += '\n';
        // A text with a NUL character ends the line there, newline included,
        // as a C string would.
        size_t length = line.size();
        if (!Data.Text.empty()) {
            const size_t nul = Data.Text.find('\0');
            if (nul != std::string::npos)
                length = line.size() - 1 - Data.Text.size() + nul;
        }
        std::fwrite(line.data(), 1, length, stdout);
    };
    FHost.StandardPanel = !FOptions.MdiFile.empty();
    if (FOptions.Fanuc21) {
        FHost.ClickButton(TMainButton::Compiled);
        FProgram = FOptions.Program;
        if (!RunFanucStation(testLoop))
            FFailed = true;
        if (FEngine->RunState() != csStopped)
            FEngine->CycleStop();
        testLoop.ProcessMessages();
        if (FOptions.Machine)
            PrintPosition();
        FEngine.reset();
        if (!FMessages.BadAnswer.empty())
            return 2;
        return FFailed || FMessages.ErrorsShown > 0 ? 1 : 0;
    }
    if (FOptions.MdiFile.empty() ? !LoadProgram() : !LoadMDILines())
        return 1;
    SwitchOutputs();
    if (FOptions.Link) {
        if (!RunOnLink(loop))
            return 1;
    } else if (FOptions.VR)
        RunOnVR(testLoop);
    else if (FOptions.Machine)
        RunOnMachine(testLoop);
    else
        FHost.ClickButton(TMainButton::Start);
    if (FEngine->RunState() != csStopped)
        FinishSearch();
    if (FEngine->RunState() != csStopped)
        FEngine->CycleStop();
    used.ProcessMessages();
    if (FOptions.Machine)
        PrintPosition();
    Finish2D();
    FinishSimulation();
    Finish3DGrid();
    Finish3DCapture();
    // The engine saves its settings as it goes: a refused save is an error
    // of the run too.
    FEngine.reset();
    return ExitStatus();
}

// Homes all axes, switches to automatic and starts the cycle from the panel,
// as the operator would; then lets the clock run until the run stops (at
// most an hour of machine time: the simulated mill moves at the programmed feed).
void TNcRun::RunOnMachine(TTestEventLoop &Loop)
{
    FEngine->InsertMachine(std::make_unique<TNcRunMill>(FEngine.get()));
    FEngine->MakeStandardPanel();
    Loop.Advance(400); // the first poll reports the e-stop state
    // A machine error before the start (the operator cancelled the change
    // to the tool in the spindle) aborts the program: it is not started.
    if (FMessages.ErrorsShown > 0)
        return;
    FEngine->PanelCommand(19);
    if (auto *panel = dynamic_cast<TControlPanelStd *>(FEngine->Panel())) {
        panel->MDILines = FMDILines;
        FEngine->PanelCommand(0);
    } else {
        FEngine->PanelCommand(3);
    }
    FEngine->PanelCommand(21);
    for (int i = 0; i < MachineTimeLimitMs / 100 && FEngine->RunState() != csStopped; ++i)
        Loop.Advance(100);
    if (FEngine->RunState() == csStopped)
        return;
    std::fprintf(stderr, "ncrun: the run had not ended after %d minutes of machine time; stopped\n",
                 MachineTimeLimitMs / 60000);
    FFailed = true;
}

// The VR link over the simulated world in the machine slot, as the "VR
// Machine" button puts it there: every world call and event is printed
// ("VR ..."), then the run goes as on the simulated machine. At the end the
// link leaves the slot and the machine data's steps per mm are printed.
void TNcRun::RunOnVR(TTestEventLoop &Loop)
{
#ifdef ORV_NCRUN_LINK
    PrintSteps("file");
    auto world = std::make_unique<TVRWorld>();
    world->OnTrace = [](const std::string &Line) { std::printf("VR %s\n", Line.c_str()); };
    auto link = std::make_unique<TVRLink>(FEngine.get(), std::move(world));
    TVRLink *vr = link.get();
    FHost.SetButtonDown(TMainButton::VROutput, true);
    if (!FEngine->InsertMachine(std::move(link), true)) {
        std::fprintf(stderr, "ncrun: the VR machine did not start\n");
        FFailed = true;
        FEngine->FreeMachine();
        PrintSteps("after");
        return;
    }
    std::printf("VR scale %s signs %d %d %d\n", FloatToStr(vr->Scale, 6).c_str(), vr->XSign,
                vr->YSign, vr->ZSign);
    PrintSteps("world");
    FEngine->MakeStandardPanel();
    Loop.Advance(400); // the first poll reports the machine's state
    if (FMessages.ErrorsShown == 0) {
        FEngine->PanelCommand(19);
        FEngine->PanelCommand(3);
        FEngine->PanelCommand(21);
        for (int i = 0; i < MachineTimeLimitMs / 100 && FEngine->RunState() != csStopped; ++i)
            Loop.Advance(100);
    }
    if (FEngine->RunState() != csStopped)
        FEngine->CycleStop();
    FEngine->FreeMachine();
    Loop.ProcessMessages();
    PrintSteps("after");
#else
    std::fprintf(stderr, "ncrun: built without the machine links\n");
    FFailed = true;
#endif
}

void TNcRun::PrintSteps(const char *When)
{
#ifdef ORV_NCRUN_LINK
    const TFeedData &f = FEngine->MachineData()->Feed;
    std::printf("STEPS %s X%s Y%s Z%s F%s\n", When, FloatToStr(f.StepsX, 6).c_str(),
                FloatToStr(f.StepsY, 6).c_str(), FloatToStr(f.StepsZ, 6).c_str(),
                FloatToStr(f.StepsF, 6).c_str());
#endif
}

// The station is the source; the operator homes, then works the key script.
bool TNcRun::RunFanucStation(TTestEventLoop &Loop)
{
#ifdef ORV_NCRUN_FANUC
    TEventLoopScope scope(Loop);
    FEngine->SelectSource(FOptions.Fanuc0M ? skFanuc0M : skFanuc21);
    fanuc::TFanucScreen *station = FHost.Station;
    if (!station) {
        std::fprintf(stderr, "ncrun: the Fanuc station cannot be made\n");
        return false;
    }
    station->Clock = [] { return std::string("00:00:00"); };
    std::string name = FProgram;
    if (!name.empty() && !station->Input()->LoadFile(name))
        return false;
    if (FOptions.Machine)
        FEngine->InsertMachine(std::make_unique<TNcRunMill>(FEngine.get()));
    Loop.Advance(400); // the first poll reports the e-stop state
    FEngine->PanelCommand(19);
    Loop.Advance(100);
    FEnded = false;
    FEngine->OnProgramEnded = [this](TObject *) { FEnded = true; };
    std::string error;
    auto wait = [&Loop](int Ms) { Loop.Advance(Ms > 0 ? Ms : 20); };
    bool worked = fanuc::RunKeyScript(*station, FOptions.FanucKeys, wait, error);
    if (!worked)
        std::fprintf(stderr, "ncrun: %s\n", error.c_str());
    for (int i = 0; i < MachineTimeLimitMs / 100 && FEngine->RunState() != csStopped; ++i)
        Loop.Advance(100);
    Loop.Advance(1000);
    if (!FOptions.ScreenFile.empty()) {
        std::ofstream screen(FOptions.ScreenFile, std::ios::binary);
        screen << station->Dump();
        screen.close();
        if (screen.fail()) {
            std::fprintf(stderr, "ncrun: cannot write the screen %s\n", FOptions.ScreenFile.c_str());
            return false;
        }
    }
    return worked;
#else
    std::fprintf(stderr, "ncrun: this build has no Fanuc stations\n");
    return false;
#endif
}

// The same on the machine link, on the real clock: the link connects when
// the "Machine" button goes down; homing waits for the controller.
bool TNcRun::RunOnLink(TEventLoop &Loop)
{
    FHost.SetButtonDown(TMainButton::MachineOutput, true);
    if (!FEngine->MakeMachineLink()) {
        std::fprintf(stderr, "ncrun: the machine link did not connect\n");
        return false;
    }
    FEngine->MakeStandardPanel();
    auto serveFor = [&Loop](int Ms) {
        int64_t end = Loop.NowMs() + Ms;
        while (Loop.NowMs() < end) {
            Loop.ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    serveFor(400); // the first poll reports the e-stop state
    // The operator homes once that report is in and the e-stop is released
    // (a loaded machine polls late; a box may still be in e-stop).
    TBasicMachine *machine = FEngine->Machine();
    // A machine that polls seldom ("ScreenUpdate") is asked once now, as
    // its first poll would: the run does not wait a long interval for it.
    if (machine && !machine->FirstPollDone)
        machine->PollMachine();
    int64_t released = Loop.NowMs() + 30000;
    while (machine && (!machine->FirstPollDone || machine->LastEStop) &&
           Loop.NowMs() < released)
        serveFor(10);
    // Nothing but a stop goes to a machine in emergency stop, or to one
    // whose homing failed: the run is not started.
    if (machine && machine->LastEStop) {
        std::fprintf(stderr, "ncrun: the machine is in emergency stop: the program is not run\n");
        FFailed = true;
        return true;
    }
    const int errors = FMessages.ErrorsShown;
    FEngine->PanelCommand(19);
    if (FMessages.ErrorsShown != errors || !machine || !machine->Connected()) {
        std::fprintf(stderr, "ncrun: the machine was not homed: the program is not run\n");
        FFailed = true;
        return true;
    }
    FEngine->PanelCommand(3);
    FEngine->PanelCommand(21);
    int64_t end = Loop.NowMs() + 600000;
    while (FEngine->RunState() != csStopped && Loop.NowMs() < end) {
        Loop.ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // What the controller still holds (the stop at the program's end) goes
    // out before ncrun closes the link, as it would with the program open.
    auto *link = dynamic_cast<TMachLink *>(FEngine->Machine());
    int64_t flushed = Loop.NowMs() + 60000;
    while (link && link->Controller && link->Controller->Pending() && Loop.NowMs() < flushed)
        serveFor(10);
    return true;
}

void TNcRun::PrintPosition()
{
    TBasicMachine *machine = FEngine->Machine();
    auto *mill = dynamic_cast<TDummyLinkMill *>(machine);
    if (!mill && !(machine && machine->IsRealMachine))
        return;
    TXYZ steps;
    if (mill)
        steps = mill->Current;
    else
        machine->GetMachinePosition(steps);
    TXYZ mm = steps;
    if (machine->Convertor)
        machine->Convertor->PositionFromSteps(mm);
    std::printf("POS X%s Y%s Z%s X%s Y%s Z%s\n", FormatFixed(steps.X, 0).c_str(),
                FormatFixed(steps.Y, 0).c_str(), FormatFixed(steps.Z, 0).c_str(),
                FormatFixed(mm.X, 3).c_str(), FormatFixed(mm.Y, 3).c_str(),
                FormatFixed(mm.Z, 3).c_str());
}

// The 2D output's picture and drawing list, as asked for.
void TNcRun::Finish2D()
{
#ifdef ORV_NCRUN_2D
    auto *draw = dynamic_cast<TDraw_2D *>(FEngine->Output(slot2D));
    if (!draw || !draw->Window())
        return;
    if (!FOptions.Bm2File.empty() && !draw->Window()->SavePicture(FOptions.Bm2File)) {
        std::fprintf(stderr, "ncrun: cannot save the 2D picture %s\n", FOptions.Bm2File.c_str());
        FFailed = true;
    }
    if (FOptions.Draw2DList.empty())
        return;
    std::ofstream list(FOptions.Draw2DList, std::ios::binary);
    for (const TDD_Type &element : draw->Window()->Elements())
        list << DrawingListLine(element) << "\n";
    list.close(); // what the disk refuses shows when the buffer is written
    if (list.fail()) {
        std::fprintf(stderr, "ncrun: cannot write the 2D list %s\n", FOptions.Draw2DList.c_str());
        FFailed = true;
    }
#endif
}

int TNcRun::ExitStatus() const
{
    if (!FMessages.BadAnswer.empty())
        return 2;
    return FEnded && !FFailed && FMessages.ErrorsShown == 0 ? 0 : 1;
}

// The simulation's picture, saved by the control itself.
void TNcRun::FinishSimulation()
{
    if (FOptions.SimFile.empty())
        return;
#ifdef ORV_NCRUN_SIM
    auto *sim = dynamic_cast<TSimLink *>(FEngine->Output(slotSimulation));
    TVariant saved;
    if (sim && sim->Window() &&
        sim->Window()->Call(12, {TVariant::Str(FOptions.SimFile)}, &saved) == S_OK && saved.AsBool())
        return;
#endif
    std::fprintf(stderr, "ncrun: cannot save the simulation picture %s\n", FOptions.SimFile.c_str());
    FFailed = true;
}

// The milling view's height map, written at the end of the run.
void TNcRun::Finish3DGrid()
{
    if (FOptions.Grid3DFile.empty())
        return;
#ifdef ORV_NCRUN_3D
    auto *sink = dynamic_cast<T3DOutput *>(FEngine->Output(slotOpenGL));
    TMillingView *view = sink ? MillingModel(sink->View()) : nullptr;
    if (view) {
        std::ofstream out(FOptions.Grid3DFile, std::ios::binary);
        WriteHeightMap(out, view->Billet);
        out.close();
        if (out)
            return;
    }
#endif
    std::fprintf(stderr, "ncrun: cannot write the 3D height map %s\n", FOptions.Grid3DFile.c_str());
    FFailed = true;
}

// --3d: the window's picture as "&Capture as bitmap" saves it.
void TNcRun::Finish3DCapture()
{
    if (FOptions.Capture3DFile.empty())
        return;
#ifdef ORV_NCRUN_3D
    auto *sink = dynamic_cast<T3DOutput *>(FEngine->Output(slotOpenGL));
    if (sink && sink->View() && MillingWindowModule().Capture &&
        MillingWindowModule().Capture(sink->View(), FOptions.Capture3DFile.c_str()))
        return;
#endif
    std::fprintf(stderr, "ncrun: cannot write the 3D picture %s\n", FOptions.Capture3DFile.c_str());
    FFailed = true;
}

int Main(int Argc, char **Argv)
{
    // Records go out in large writes unless someone watches them come.
    static char recordBuffer[1 << 16];
    if (!::isatty(STDOUT_FILENO))
        std::setvbuf(stdout, recordBuffer, _IOFBF, sizeof recordBuffer);
    TNcRunOptions options;
    std::string error;
    if (!ParseNcRunOptions(Argc, Argv, options, error)) {
        std::fprintf(stderr, "ncrun: %s\n%s", error.c_str(), Usage);
        return 2;
    }
    TNcRunMessages messages;
    if (!options.AnswersFile.empty() && !ReadAnswers(options.AnswersFile, messages.Answers)) {
        std::fprintf(stderr, "ncrun: cannot read the answers file %s\n", options.AnswersFile.c_str());
        return 2;
    }
    if (!options.Bm2File.empty())
        options.Bm2File = fs::absolute(options.Bm2File).string();
    if (!options.Draw2DList.empty())
        options.Draw2DList = fs::absolute(options.Draw2DList).string();
    if (!options.SimFile.empty())
        options.SimFile = fs::absolute(options.SimFile).string();
    if (!options.Grid3DFile.empty())
        options.Grid3DFile = fs::absolute(options.Grid3DFile).string();
    if (!options.Capture3DFile.empty())
        options.Capture3DFile = fs::absolute(options.Capture3DFile).string();
    if (!options.Program.empty())
        options.Program = fs::absolute(options.Program).string();
    if (!options.MdiFile.empty())
        options.MdiFile = fs::absolute(options.MdiFile).string();
    if (!options.ScreenFile.empty())
        options.ScreenFile = fs::absolute(options.ScreenFile).string();
    std::string xncTemp;
    messages.XncFile = options.XncFile.empty() ? std::string() : fs::absolute(options.XncFile).string();
    messages.GncFile = options.GncFile.empty() ? std::string() : fs::absolute(options.GncFile).string();

    std::string settings = options.SettingsDir;
    std::string tempSettings;
    if (settings.empty()) {
        tempSettings = MakeTempFolder();
        std::error_code ec;
        fs::copy(ORV_DATA_DIR, tempSettings, fs::copy_options::recursive, ec);
        settings = tempSettings;
    }
    if (!DirectoryExists(settings)) {
        std::fprintf(stderr, "ncrun: no settings folder %s\n", settings.c_str());
        return 2;
    }
    settings = fs::absolute(settings).string();
    if (!NamesAnOutput(options)) {
        xncTemp = IncludeTrailingDelimiter(settings) + "ncrun-output.xnc";
        messages.XncFile = xncTemp;
    }
    if (::chdir(settings.c_str()) != 0) {
        std::fprintf(stderr, "ncrun: cannot use the settings folder %s\n", settings.c_str());
        return 2;
    }
    SetProgramPathOverride(settings, "Tarnwick");
    TMessageServiceScope messageScope(messages);
    TMess mess;
    TNetUtil netUtil;
    int status = TNcRun(options, messages).Run();
    // The records are an output too: a refused write fails the run.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "ncrun: cannot write the records to standard output\n");
        status = status == 2 ? 2 : 1;
    }
    if (!xncTemp.empty())
        DeleteFile(xncTemp);
    if (!tempSettings.empty()) {
        std::error_code ec;
        fs::remove_all(tempSettings, ec);
    }
    return status;
}

} // namespace
} // namespace orv

int main(int Argc, char **Argv) { return orv::Main(Argc, Argv); }
