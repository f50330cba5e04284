// ncrun --machine --link against the line-protocol simulators (linesim):
// the link's program runs to its end for each Control Type with its
// expected list of lines, and the fault runs stop with their errors.

#include "platform/IniFile.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <vector>

#ifndef ORV_NCRUN
#error "ORV_NCRUN names the ncrun executable"
#endif
#ifndef ORV_LINESIM
#error "ORV_LINESIM names the simulator program"
#endif

extern char **environ;

namespace orv {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string &Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string &Text) {
    std::vector<std::string> lines;
    std::istringstream in(Text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

struct TRun {
    int Status = -1;
    std::string Out, Err;
    std::vector<std::string> Log; // "time dir kind bytes"
};

class LineRunTest : public ::testing::Test {
protected:
    LineRunTest() {
        Settings = Temp.File("settings");
        fs::copy(ORV_DATA_DIR, Settings, fs::copy_options::recursive);
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

    TRun Run(const std::vector<std::string> &SimArgs) {
        TRun r;
        std::string portFile = Temp.File("port.txt"), log = Temp.File("sim.log");
        fs::remove(portFile);
        std::vector<std::string> args = {ORV_LINESIM, "--port-file", portFile, "--log",
                                         log,         "--speed",     "50"};
        args.insert(args.end(), SimArgs.begin(), SimArgs.end());
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            ADD_FAILURE() << "cannot start " << ORV_LINESIM;
            return r;
        }
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!fs::exists(portFile) && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::string slave = Lines(ReadFile(portFile)).at(0);
        TIniFile(Settings + "/Tarnwick.ini").WriteString("Serial Ports", "COM1", slave);
        std::string program = std::string(ORV_SOURCE_DIR) + "/links/tests/data/link_run.fnc";
        std::string out = Temp.File("out.txt"), err = Temp.File("err.txt");
        std::string command = std::string("'") + ORV_NCRUN + "' --settings '" + Settings +
                              "' --machine --link '" + program + "' >'" + out + "' 2>'" + err + "'";
        int raw = std::system(command.c_str());
        r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.Out = ReadFile(out);
        r.Err = ReadFile(err);
        // The simulator reads at the line's pace: let it log what the run
        // wrote before it went (the log stays unchanged for 300 ms, 3 s at most).
        auto settle = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        std::uintmax_t size = static_cast<std::uintmax_t>(-1);
        while (std::chrono::steady_clock::now() < settle) {
            std::error_code ec;
            std::uintmax_t now = fs::file_size(log, ec);
            if (!ec && now == size)
                break;
            size = ec ? size : now;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        ::kill(pid, SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
        r.Log = Lines(ReadFile(log));
        return r;
    }

    // Entries from the PC of Kind, without those Skip matches.
    static std::vector<std::string> Received(const TRun &R, const std::string &Kind,
                                             const std::string &Skip) {
        std::vector<std::string> out;
        for (const std::string &line : R.Log) {
            std::istringstream in(line);
            std::string time, dir, kind, bytes;
            in >> time >> dir >> kind;
            std::getline(in, bytes);
            if (dir != "<" || kind != Kind)
                continue;
            bytes = bytes.empty() ? bytes : bytes.substr(1);
            if (Skip.empty() || bytes.find(Skip) == std::string::npos)
                out.push_back(bytes);
        }
        return out;
    }
    // The golden list of a run; ORV_UPDATE_GOLDEN=1 writes it from Got.
    static void ExpectGolden(const std::string &Name, const std::vector<std::string> &Got) {
        std::string file = std::string(ORV_SOURCE_DIR) + "/links/tests/data/" + Name;
        if (std::getenv("ORV_UPDATE_GOLDEN")) {
            std::ofstream out(file, std::ios::binary);
            for (const std::string &l : Got)
                out << l << "\n";
        }
        EXPECT_EQ(Got, Lines(ReadFile(file)));
    }

    test::TTempDir Temp;
    std::string Settings;
};

// The Trio takes arcs as lines: its machine expands them. Its M codes and
// tools are the operator's (manual spindle prompts).
class TrioRunTest : public LineRunTest {
protected:
    TrioRunTest() {
        Machine({{"Control Type=0", "Control Type=3"},
                 {"Expand Arcs=FALSE", "Expand Arcs=TRUE"},
                 {"Manual=FALSE", "Manual=TRUE"}});
    }
};

TEST_F(TrioRunTest, RunsTheProgramToItsEndWithArcsAsLines) {
    TRun r = Run({"--protocol", "trio"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    ExpectGolden("trio_run.lines", Received(r, "line", "TABLEVALUES"));
    EXPECT_NE(r.Err.find("START the spindle manually - M3"), std::string::npos) << r.Err;
    EXPECT_NE(r.Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"), std::string::npos)
        << r.Out;
}

// A controller that falls silent: 20 resends, then the run stops.
TEST_F(TrioRunTest, ASilentControllerStopsTheRun) {
    TRun r = Run({"--protocol", "trio", "--silent-at", "MA(68000,44000"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Major Timeout Problem sending - MA(68000,44000,17520)(MA)"),
              std::string::npos)
        << r.Err;
    std::vector<std::string> lines = Received(r, "line", "TABLEVALUES");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "MA(68000,44000,17520)");
}

// The queued controller takes the arc as one frame; its M codes and tools
// are the operator's as well.
class QueuedRunTest : public LineRunTest {
protected:
    QueuedRunTest() {
        Machine({{"Control Type=0", "Control Type=4"}, {"Manual=FALSE", "Manual=TRUE"}});
    }
};

TEST_F(QueuedRunTest, RunsTheProgramToItsEnd) {
    TRun r = Run({"--protocol", "queued"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    ExpectGolden("queued_run.frames", Received(r, "write", ""));
    EXPECT_FALSE(Received(r, "read", "").empty()); // status polls
    EXPECT_NE(r.Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"), std::string::npos)
        << r.Out;
}

TEST_F(QueuedRunTest, NaksAndBadChecksCostResendsOnly) {
    TRun r = Run({"--protocol", "queued", "--nak", "G02", "--bad-check", "zz6", "--no-answer",
                  "MA664000"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::vector<std::string> frames = Received(r, "write", "");
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    ExpectGolden("queued_run.frames", frames);
}

TEST_F(QueuedRunTest, ASilentControllerStopsTheRun) {
    TRun r = Run({"--protocol", "queued", "--silent-at", "G02"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("LowLevel Timed Out"), std::string::npos) << r.Err;
    std::vector<std::string> frames = Received(r, "write", "");
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().rfind("<EOT>G02X72000", 0), 0u) << frames.back();
}

// The router box: every character echoed, lines answered, M codes as
// lines of their own; a guard that opens stops the run at the tool change.
class RouterRunTest : public LineRunTest {
protected:
    RouterRunTest() { Machine({{"Control Type=0", "Control Type=2"}}); }
};

TEST_F(RouterRunTest, RunsTheProgramToItsEnd) {
    TRun r = Run({"--protocol", "router"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    ExpectGolden("router_run.lines", Received(r, "line", "xz?"));
    EXPECT_NE(r.Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"), std::string::npos)
        << r.Out;
}

TEST_F(RouterRunTest, TheGuardOpenAtTheToolChange) {
    TRun r = Run({"--protocol", "router", "--guard-open", "M08"});
    EXPECT_EQ(r.Status, 1);
    // Found before the move or after the manual change, by the next poll.
    EXPECT_NE(r.Err.find("Toolchange Error"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("Guard"), std::string::npos) << r.Err;
    std::vector<std::string> lines = Received(r, "line", "xz?");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "M06"), 0);
}

// An emergency stop during the arc ends the run there; nothing after it
// is cut.
TEST_F(RouterRunTest, AnEmergencyStopEndsTheRun) {
    TRun r = Run({"--protocol", "router", "--estop", "G02"});
    EXPECT_EQ(r.Status, 1);
    std::vector<std::string> lines = Received(r, "line", "xz?");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("G02X72000", 0), 0u) << lines.back();
}

TEST_F(RouterRunTest, ASilentBoxStopsTheRunWithOneReport) {
    TRun r = Run({"--protocol", "router", "--silent-at", "G02"});
    EXPECT_EQ(r.Status, 1);
    size_t at = r.Err.find("Router box: no answer for \"G02X72000");
    EXPECT_NE(at, std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("Router box:", at + 1), std::string::npos) << r.Err;
}

// The motion cards: ncrun drives recording cards (ORV_RECORDING_CARDS)
// and the calls other than status reads are checked against a list.
class CardRunTest : public LineRunTest {
protected:
    void Setup(int Type) {
        std::string mint = Temp.Write("prog.mnt", "");
        Temp.Write("prog.cfg", "");
        Temp.Write("prog.MEX", "");
        std::ofstream(Settings + "/nmpci.chx") << "";
        Machine({{"Control Type=0", "Control Type=" + std::to_string(Type)},
                 {"Mint File=NONE", "Mint File=" + mint}});
    }
    TRun RunCards() {
        TRun r;
        std::string log = Temp.File("cards.log"), out = Temp.File("out.txt"),
                    err = Temp.File("err.txt");
        std::string program = std::string(ORV_SOURCE_DIR) + "/links/tests/data/link_run.fnc";
        std::string command = "ORV_RECORDING_CARDS='" + log + "' '" + std::string(ORV_NCRUN) +
                              "' --settings '" + Settings + "' --machine --link '" + program +
                              "' >'" + out + "' 2>'" + err + "'";
        int raw = std::system(command.c_str());
        r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.Out = ReadFile(out);
        r.Err = ReadFile(err);
        r.Log = Lines(ReadFile(log));
        return r;
    }
    // The calls (the cards leave out their status reads), the run's own
    // folder shown as "<temp>/".
    std::vector<std::string> Calls(const TRun &R) const {
        std::vector<std::string> out;
        for (std::string c : R.Log) {
            for (size_t at; (at = c.find(Temp.Path())) != std::string::npos;)
                c.replace(at, Temp.Path().size(), "<temp>/");
            out.push_back(c);
        }
        return out;
    }
};

TEST_F(CardRunTest, FirstCardRunsTheProgramToItsEnd) {
    Setup(1);
    TRun r = RunCards();
    EXPECT_EQ(r.Status, 0) << r.Err;
    ExpectGolden("card_a_run.calls", Calls(r));
    EXPECT_NE(r.Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"), std::string::npos)
        << r.Out;
}

TEST_F(CardRunTest, NewerCardRunsTheProgramToItsEnd) {
    Setup(7);
    TRun r = RunCards();
    EXPECT_EQ(r.Status, 0) << r.Err;
    ExpectGolden("card_b_run.calls", Calls(r));
    EXPECT_NE(r.Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"), std::string::npos)
        << r.Out;
    // The port found is written back to the machine file.
    EXPECT_NE(ReadFile(Settings + "/machines/BENCHMILL.ini").find("Com Port=1"),
              std::string::npos);
}

TEST_F(CardRunTest, FirstCardWithoutItsFirmwareDoesNotConnect) {
    Setup(1);
    fs::remove(Settings + "/nmpci.chx");
    TRun r = RunCards();
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Firmware file:"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("nmpci.chx does not exist !"), std::string::npos) << r.Err;
}

} // namespace
} // namespace orv
