#pragma once
// An engine form in a folder of its own with the headless host: load a
// program, switch outputs, start, and collect every record handed out.

#include "engine/chain/BasicInput.h"
#include "engine/chain/BasicOutput.h"
#include "engine/form/FanucScreen.h"
#include "engine/form/HeadlessHost.h"
#include "engine/form/base.h"
#include "ncrun/RecordLine.h"
#include "engine/form/tests/FormTestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orv::test {

// A stand-in for the outputs that live outside the engine form (2D view,
// simulation control, OpenGL view): logs each record as "slot:line" and
// asks for the next one at once unless told to hold.
class TLogOutput : public TBasicOutput {
public:
    TLogOutput(int Slot, std::vector<std::string> &Log) : FSlot(Slot), FLog(Log) {}
    void Execute(TCNC_data &Data) override
    {
        FLog.push_back(std::to_string(FSlot) + ":" + std::to_string(Data.LineNumber));
        if (!Hold)
            TBasicOutput::Execute(Data);
    }
    bool Hold = false;

private:
    int FSlot;
    std::vector<std::string> &FLog;
};

class TLogHost : public THeadlessHost {
public:
    std::unique_ptr<TBasicOutput> CreateOutput(int Slot) override
    {
        auto out = std::make_unique<TLogOutput>(Slot, Log);
        Made[Slot] = out.get();
        return out;
    }
    // The editor source; a test may put another source in its place.
    std::unique_ptr<TBasicInput> CreateEditorInput(TBaseForm &Engine) override
    {
        return EditorInput ? EditorInput() : THeadlessHost::CreateEditorInput(Engine);
    }
    std::vector<std::string> Log;
    TLogOutput *Made[6] = {};
    std::function<std::unique_ptr<TBasicInput>()> EditorInput;
};

// Loads the program file Path into a new source of Kind as the main window
// does; false when the source cannot read it.
inline bool LoadProgram(TBaseForm &Engine, const std::string &Path, uint8_t Kind = skEditor)
{
    Engine.SetProgramFile(Path);
    Engine.SelectSource(Kind);
    std::string name = Path;
    if (!Engine.Source() || !Engine.Source()->LoadFile(name))
        return false;
    Engine.ProgramLoaded(Path, true, 0);
    return true;
}

class TEngineRun {
public:
    TEngineRun()
    {
        WriteToolFiles(Folder);
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
        Engine->OnHandOut = [this](const TCNC_data &Data) {
            Records.push_back(Data);
            Lines.push_back(RecordLine(Data));
        };
        Engine->OnProgramEnded = [this](TObject *) { ++Ended; };
    }
    ~TEngineRun() { Engine.reset(); }

    std::string Load(const std::string &Name, const std::string &Text, uint8_t Kind = skEditor)
    {
        std::string path = Folder.Write(Name, Text);
        LoadProgram(*Engine, path, Kind);
        return path;
    }
    // Switches the compiled output on; its save dialog will get Name.
    void CompiledInto(const std::string &Name)
    {
        Folder.Messages.Answer(Folder.File(Name));
        Host.ClickButton(TMainButton::Compiled);
    }
    void Start() { Host.ClickButton(TMainButton::Start); }
    // Motion codes of the records handed out.
    std::vector<int> Motions() const
    {
        std::vector<int> m;
        for (const auto &r : Records)
            m.push_back(r.Motion);
        return m;
    }
    std::vector<double> Xs() const
    {
        std::vector<double> x;
        for (const auto &r : Records)
            if (r.Motion >= 0 && r.Motion <= 3 && r.X != NoValue)
                x.push_back(r.X);
        return x;
    }
    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> t;
        for (const auto &m : Folder.Messages.Log())
            if (m.Kind == "message")
                t.push_back(m.Text);
        return t;
    }

    TFormFolder Folder;
    TLogHost Host;
    std::unique_ptr<TBaseForm> Engine;
    std::vector<TCNC_data> Records;
    std::vector<std::string> Lines;
    int Ended = 0;
};

} // namespace orv::test
