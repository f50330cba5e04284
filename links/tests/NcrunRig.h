#pragma once
// ncrun --machine --link runs for the tests: a copy of the program's data
// as the settings, a simulator program on a pseudo-terminal that COM1
// names, ncrun's exit status and output, and the simulator's log.

#include "platform/IniFile.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <utility>
#include <vector>

#ifndef ORV_NCRUN
#error "ORV_NCRUN names the ncrun executable"
#endif

extern char **environ;

namespace orv::test {

inline std::string ReadFile(const std::string &Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<std::string> Lines(const std::string &Text) {
    std::vector<std::string> lines;
    std::istringstream in(Text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

struct TNcrunRun {
    int Status = -1;
    std::string Out, Err;
    std::vector<std::string> Log; // the simulator's "time dir kind bytes" lines
};

class TNcrunRig : public ::testing::Test {
protected:
    TNcrunRig() {
        Settings = Temp.File("settings");
        std::filesystem::copy(ORV_DATA_DIR, Settings, std::filesystem::copy_options::recursive);
    }

    // Edits of the machine file: each "Key=old" becomes "Key=new".
    void Machine(const std::vector<std::pair<std::string, std::string>> &Edits) {
        std::string machine = Settings + "/machines/BENCHMILL.ini";
        std::string text = ReadFile(machine);
        for (const auto &e : Edits) {
            size_t at = text.find(e.first);
            ASSERT_NE(at, std::string::npos) << e.first;
            text.replace(at, e.first.size(), e.second);
        }
        std::ofstream(machine, std::ios::binary) << text;
    }

    // ncrun on the link's program with the settings; Env goes before the
    // command ("NAME='value' "). A run that has not ended after
    // NcrunLimitS is ended (a failure of the test, not a hang of it).
    TNcrunRun RunNcrun(const std::string &Env = "") {
        TNcrunRun r;
        std::string program = std::string(ORV_SOURCE_DIR) + "/links/tests/data/link_run.fnc";
        std::string out = Temp.File("out.txt"), err = Temp.File("err.txt");
        std::string command = Env + "timeout -k 5 " + std::to_string(NcrunLimitS) + " '" +
                              ORV_NCRUN + "' --settings '" + Settings + "' --machine --link '" +
                              program + "' >'" + out + "' 2>'" + err + "'";
        int raw = std::system(command.c_str());
        r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        EXPECT_NE(r.Status, 124) << "ncrun had not ended after " << NcrunLimitS << " s";
        r.Out = ReadFile(out);
        r.Err = ReadFile(err);
        return r;
    }

    // Starts the simulator program Sim with SimArgs, maps COM1 to its
    // device, lets Prepare edit the main settings, runs ncrun (with Env)
    // and stops the simulator, whose log comes back with the run.
    TNcrunRun Run(const std::string &Sim, const std::vector<std::string> &SimArgs,
                  const std::function<void(TIniFile &)> &Prepare = {},
                  const std::string &Env = "") {
        std::vector<TNcrunRun> runs = RunEach(Sim, SimArgs, Prepare, {Env});
        return runs.empty() ? TNcrunRun{} : runs.back();
    }

    // The same with one ncrun run after the other against the one
    // simulator, the n-th with Envs[n]; the log comes with the last.
    std::vector<TNcrunRun> RunEach(const std::string &Sim, const std::vector<std::string> &SimArgs,
                                   const std::function<void(TIniFile &)> &Prepare,
                                   const std::vector<std::string> &Envs) {
        std::string portFile = Temp.File("port.txt"), log = Temp.File("sim.log");
        std::filesystem::remove(portFile);
        std::vector<std::string> args = {Sim, "--port-file", portFile, "--log", log, "--speed", "50"};
        args.insert(args.end(), SimArgs.begin(), SimArgs.end());
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            ADD_FAILURE() << "cannot start " << Sim;
            return {};
        }
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!std::filesystem::exists(portFile) && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::vector<std::string> port = Lines(ReadFile(portFile));
        std::vector<TNcrunRun> runs;
        if (port.empty()) {
            ADD_FAILURE() << Sim << " named no device";
        } else {
            TIniFile main(Settings + "/Tarnwick.ini");
            main.WriteString("Serial Ports", "COM1", port[0]);
            if (Prepare)
                Prepare(main);
            for (const std::string &env : Envs)
                runs.push_back(RunNcrun(env));
        }
        // The simulator reads at the line's pace: it ends by itself once it
        // has read all the run wrote and found the line closed (3 s), and
        // writes its log then; one that does not is stopped (a failure: the
        // cap is far beyond what a loaded machine takes).
        int status = 0;
        auto gone = std::chrono::steady_clock::now() + std::chrono::seconds(NcrunLimitS);
        pid_t ended = 0;
        while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < gone)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (ended == 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, &status, 0);
        }
        if (!runs.empty())
            runs.back().Log = Lines(ReadFile(log));
        return runs;
    }

    static constexpr int NcrunLimitS = 120;
    TTempDir Temp;
    std::string Settings;
};

} // namespace orv::test
