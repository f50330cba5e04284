#pragma once
// A Tarnwick with no window for the remote inputs: the default data in a
// folder of its own, programs in "progs/" (the "FNC Folder"), a private
// runtime folder for the sockets, the engine on the headless host with the
// 2D output on (so a started run runs), and the remote inputs bound to it.
// Machine keys are set before the engine starts. And a message box the
// operator leaves standing, for requests that come while it is up.

#include "engine/chain/BasicOutput.h"
#include "engine/form/HeadlessHost.h"
#include "engine/form/base.h"
#include "engine/form/tests/FormTestSupport.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/tests/Pty.h"
#include "shell/HeadlessRemote.h"
#include "shell/RemoteInputs.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace orv::test {

// XDG_RUNTIME_DIR pointed at a private folder for a scope.
class TPrivateRuntime {
public:
    TPrivateRuntime()
    {
        const char *v = std::getenv("XDG_RUNTIME_DIR");
        FSaved = v ? v : "";
        ::setenv("XDG_RUNTIME_DIR", Folder().c_str(), 1);
    }
    ~TPrivateRuntime()
    {
        if (FSaved.empty())
            ::unsetenv("XDG_RUNTIME_DIR");
        else
            ::setenv("XDG_RUNTIME_DIR", FSaved.c_str(), 1);
    }
    std::string Folder() const { return FDir.Path().substr(0, FDir.Path().size() - 1); }

private:
    TTempDir FDir; // made 0700 by mkdtemp
    std::string FSaved;
};

class TRemoteHost : public THeadlessHost {
public:
    std::unique_ptr<TBasicOutput> CreateOutput(int Slot) override
    {
        return Slot == 0 ? std::make_unique<TBasicOutput>() : nullptr;
    }
    void MachineDataApplied() override
    {
        if (Inputs)
            Inputs->MachineDataApplied();
    }
    TRemoteInputs *Inputs = nullptr;
};

class TRemoteRig {
public:
    // MachineKeys: [Input/Output Devices] keys of the bench mill's file;
    // SerialPorts: [Serial Ports] of the main settings file.
    // BeforeStart runs in the runtime folder before the engine starts.
    TRemoteRig(const std::map<std::string, std::string> &MachineKeys,
               const std::map<std::string, std::string> &SerialPorts = {},
               const std::function<void()> &BeforeStart = nullptr)
    {
        if (BeforeStart)
            BeforeStart();
        CopyDefaultData(Folder);
        std::filesystem::create_directory(Folder.File("progs"));
        Program = Folder.Write("progs/prog.FNC", "G1 X10 Y5 F300\nX20\nM30\n");
        Folder.Write("progs/prog.fnc", "G1 X10 F300\nM30\n");
        Folder.Write("progs/prog.XNC", "not a compiled program");
        Outside = Folder.Write("secret.FNC", "G1 X1 F100\nM30\n");
        std::filesystem::create_symlink(Outside, Folder.File("progs/link.FNC"));
        TIniFile main(Folder.File("Tarnwick.ini"));
        main.WriteString("directories", "FNC Folder", Folder.File("progs/"));
        for (const auto &p : SerialPorts)
            main.WriteString("Serial Ports", p.first, p.second);
        TIniFile machine(Folder.File("machines/BENCHMILL.ini"));
        for (const auto &k : MachineKeys)
            machine.WriteString("Input/Output Devices", k.first, k.second);
        Inputs = std::make_unique<TRemoteInputs>(Remote);
        Host.Inputs = Inputs.get();
        Engine = std::make_unique<TBaseForm>(Host);
        Host.SetEngine(Engine.get());
        Engine->FormCreate();
        Engine->OnHandOut = [this](const TCNC_data &) { ++Records; };
        Engine->OnProgramEnded = [this](TObject *) { ++Ended; };
        Host.SetButtonDown(TMainButton::Output2D, true);
        Engine->Set2DOutput(true);
    }
    ~TRemoteRig()
    {
        Host.Inputs = nullptr;
        Inputs.reset();
        Engine.reset();
    }
    int Starts() const
    {
        int n = 0;
        for (TMainButton b : Host.Clicks)
            n += b == TMainButton::Start;
        return n;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> t;
        for (const auto &m : Folder.Messages.Log())
            t.push_back(m.Caption + ": " + m.Text);
        return t;
    }

    TPrivateRuntime Runtime;
    TFormFolder Folder;
    std::string Program, Outside;
    TRemoteHost Host;
    THeadlessRemote Remote{Host};
    std::unique_ptr<TRemoteInputs> Inputs;
    std::unique_ptr<TBaseForm> Engine;
    int Records = 0;
    int Ended = 0;
};

// Message boxes as the operator meets them: the first one shown stands
// while WhileOpen runs (which serves the loop, as the box's own loop serves
// the program's timers), then it is answered and logged as the script says.
class TBoxLeftOpen : public TScriptedMessages {
public:
    std::function<void()> WhileOpen;
    int Show(const TMessageRequest &Request) override
    {
        if (std::function<void()> open = std::exchange(WhileOpen, nullptr))
            open();
        return TScriptedMessages::Show(Request);
    }
};

} // namespace orv::test
