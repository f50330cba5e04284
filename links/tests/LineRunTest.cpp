// ncrun --machine --link against the line-protocol simulators (linesim):
// the link's program runs to its end for each Control Type with its
// expected list of lines, and the fault runs stop with their errors.

#include "links/tests/NcrunRig.h"

#include <algorithm>

#ifndef ORV_LINESIM
#error "ORV_LINESIM names the simulator program"
#endif

namespace orv {
namespace {

namespace fs = std::filesystem;
using test::Lines;
using test::ReadFile;
using TRun = test::TNcrunRun;

class LineRunTest : public test::TNcrunRig {
protected:
    // A run whose lines the simulator answers: the queued and Trio
    // protocols write again only after AnsweredResendMs, so a stall of a
    // loaded test machine does not send a line twice (which the golden
    // lists, with lines that repeat on their own, would show as a fault).
    TRun Run(const std::vector<std::string> &SimArgs) {
        return TNcrunRig::Run(ORV_LINESIM, SimArgs, {},
                              "ORV_LINE_RESEND_MS=" + std::to_string(AnsweredResendMs) + " " +
                                  SlowEcho);
    }
    static constexpr int AnsweredResendMs = 30000;
    // A run with answers lost or refused, mended by writing again after
    // the protocols' own 1 s.
    TRun RunMended(const std::vector<std::string> &SimArgs) {
        return TNcrunRig::Run(ORV_LINESIM, SimArgs, {}, SlowEcho);
    }
    // A run against a controller that falls silent: the protocols write
    // again after ResendMs instead of 1 s, so the 20 resends take less time.
    TRun RunSilent(const std::vector<std::string> &SimArgs) {
        return TNcrunRig::Run(ORV_LINESIM, SimArgs, {},
                              "ORV_LINE_RESEND_MS=" + std::to_string(ResendMs) + " " + SlowEcho);
    }
    static constexpr int ResendMs = 200;
    // No run here is about the router box's echo wait: a loaded machine
    // may take longer than the box's 1 s to pass an echo on.
    static constexpr const char *SlowEcho = "ORV_ROUTER_ECHO_MS=600000 ";

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
        // Compared as text, so a failure shows the lines that differ.
        auto text = [](const std::vector<std::string> &L) {
            std::string t;
            for (const std::string &l : L)
                t += l + "\n";
            return t;
        };
        EXPECT_EQ(text(Got), text(Lines(ReadFile(file))));
    }
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
    TRun r = RunSilent({"--protocol", "trio", "--silent-at", "MA(68000,44000"});
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
    TRun r = RunMended({"--protocol", "queued", "--nak", "G02", "--bad-check", "zz6", "--no-answer",
                  "MA664000"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    std::vector<std::string> frames = Received(r, "write", "");
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    ExpectGolden("queued_run.frames", frames);
}

TEST_F(QueuedRunTest, ASilentControllerStopsTheRun) {
    TRun r = RunSilent({"--protocol", "queued", "--silent-at", "G02"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("LowLevel Timed Out"), std::string::npos) << r.Err;
    std::vector<std::string> frames = Received(r, "write", "");
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().rfind("<EOT>G02X72000", 0), 0u) << frames.back();
}

// The controller holds the line (XOFF) as the arc frame arrives: the
// frames written after it stay pending in the serial component, the run
// stops with the time-out, and closing ends the pending write; ncrun
// exits instead of hanging.
TEST_F(QueuedRunTest, ClosingDuringAPendingWrite) {
    TRun r = RunSilent({"--protocol", "queued", "--hold-at", "G02"});
    EXPECT_EQ(r.Status, 1);
    // One report, the time-out's: the port itself did not fail.
    size_t at = r.Err.find("LowLevel Timed Out");
    EXPECT_NE(at, std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("LowLevel Timed Out", at + 1), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("after 21 sends"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("The serial port"), std::string::npos) << r.Err;
    std::vector<std::string> frames = Received(r, "write", "");
    ASSERT_FALSE(frames.empty());
    // None of the 20 resends got through the held line.
    EXPECT_EQ(frames.back().rfind("<EOT>G02X72000", 0), 0u) << frames.back();
    EXPECT_EQ(std::count(frames.begin(), frames.end(), frames.back()), 1);
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
    std::vector<std::string> lines = Received(r, "line", "xz?");
    // The link's stop as it closes ("q") goes out only when the box is still
    // being served; it follows the program either way.
    if (!lines.empty() && lines.back() == "q")
        lines.pop_back();
    ExpectGolden("router_run.lines", lines);
    EXPECT_NE(r.Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"), std::string::npos)
        << r.Out;
}

TEST_F(RouterRunTest, TheGuardOpenAtTheToolChange) {
    TRun r = Run({"--protocol", "router", "--guard-open", "M08"});
    EXPECT_EQ(r.Status, 1);
    // The guard opens as M08 is answered; the next status shows it to the
    // wait before the tool change, to the change's own check, or after the
    // manual change. Either way the run stops with the guard named and the
    // box gets no M06.
    EXPECT_TRUE(r.Err.find("Machine not safe") != std::string::npos ||
                r.Err.find("Toolchange Error") != std::string::npos)
        << r.Err;
    EXPECT_NE(r.Err.find("Guard"), std::string::npos) << r.Err;
    std::vector<std::string> lines = Received(r, "line", "xz?");
    EXPECT_NE(std::count(lines.begin(), lines.end(), "M08"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "M06"), 0);
}

// An emergency stop during the arc ends the run there: nothing after it is
// cut. The button is released 3 s later; the box keeps its e-stop until it
// is reset, so the rerun, a new connection, finds it there: the link resets
// the box until it reports no e-stop, restores it ("mode0", "lathe"), and
// only then homes and runs the program to its end with the lines of a
// plain run.
TEST_F(RouterRunTest, AnEmergencyStopAndItsRecovery) {
    std::vector<TRun> runs = RunEach(ORV_LINESIM,
                                     {"--protocol", "router", "--estop", "G02", "--estop-held",
                                      "3000", "--sessions", "2"},
                                     {}, {SlowEcho, SlowEcho});
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].Status, 1) << runs[0].Err;
    EXPECT_EQ(runs[1].Status, 0) << runs[1].Err;
    EXPECT_NE(runs[1].Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"),
              std::string::npos)
        << runs[1].Out;
    // The two connections, each opening with the box's start-up lines.
    std::vector<std::string> lines = Received(runs[1], "line", "xz?");
    const std::vector<std::string> startUp = {"mode0", "lathe", "o", "S200"};
    ASSERT_TRUE(std::equal(startUp.begin(), startUp.end(), lines.begin()));
    auto second = std::search(lines.begin() + 1, lines.end(), startUp.begin(), startUp.end());
    ASSERT_NE(second, lines.end());
    // The first run: the arc is the last move; the link's stop "q", a
    // "reset" and the mode ("man": the machine drops to its home mode when
    // its poll sees the e-stop, whenever that poll falls) may follow it.
    auto arc = std::find_if(lines.begin(), second,
                            [](const std::string &l) { return l.rfind("G02X72000", 0) == 0; });
    ASSERT_NE(arc, second);
    for (auto l = arc + 1; l != second; ++l)
        EXPECT_TRUE(*l == "q" || *l == "reset" || *l == "man") << *l;
    // The rerun: nothing is homed before the box is restored after its
    // last reset; from the restoring lines on, the plain run's homing and
    // program follow.
    std::vector<std::string> rerun(second, lines.end());
    auto lastReset = std::find(rerun.rbegin(), rerun.rend(), "reset");
    ASSERT_NE(lastReset, rerun.rend()) << "the box was never reset";
    auto restored = lastReset.base();
    EXPECT_EQ(std::count_if(rerun.begin(), restored,
                            [](const std::string &l) { return l.rfind("park", 0) == 0; }),
              0);
    std::vector<std::string> after(restored, rerun.end());
    if (!after.empty() && after.back() == "q")
        after.pop_back();
    std::vector<std::string> plain =
        Lines(ReadFile(std::string(ORV_SOURCE_DIR) + "/links/tests/data/router_run.lines"));
    auto homing = std::find(plain.begin(), plain.end(), "park+z");
    ASSERT_NE(homing, plain.end());
    std::vector<std::string> want = {"mode0", "lathe"};
    want.insert(want.end(), homing, plain.end());
    EXPECT_EQ(after, want);
}

TEST_F(RouterRunTest, ASilentBoxStopsTheRunWithOneReport) {
    // The echo of the arc line comes, its answer not: the wait for it ends
    // at the machine's "M Code TimeOut" (2 s here).
    Machine({{"M Code TimeOut=10000", "M Code TimeOut=2000"}});
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
    // A run on recording cards with Faults (ORV_RECORDING_CARDS_FAULTS);
    // each run keeps a log of its own.
    TRun RunCards(const std::string &Faults = "") {
        std::string log = Temp.File("cards" + std::to_string(++FRuns) + ".log");
        TRun r = RunNcrun("ORV_RECORDING_CARDS='" + log + "' ORV_RECORDING_CARDS_FAULTS='" +
                          Faults + "' ");
        r.Log = Lines(ReadFile(log));
        return r;
    }
    // An e-stop pressed as the arc call ArcCall is made stops the run: no
    // move call after it. The rerun finds the e-stop still pressed; once it
    // is released the controller switches the drives on again (DrivesOn),
    // and only then the link homes and runs the program to its end with the
    // calls of the plain run (Golden) from the homing on.
    void EStopAndRecovery(const std::string &ArcCall, const std::vector<std::string> &DrivesOn,
                          const std::string &Golden) {
        TRun stopped = RunCards("estop-at:" + ArcCall);
        EXPECT_EQ(stopped.Status, 1) << stopped.Err;
        std::vector<std::string> calls = Calls(stopped);
        auto pressed = std::find(calls.begin(), calls.end(), "e-stop pressed");
        ASSERT_NE(pressed, calls.end());
        auto arc = std::find_if(calls.begin(), pressed, [&](const std::string &c) {
            return c.rfind(ArcCall + "(", 0) == 0;
        });
        EXPECT_NE(arc, pressed) << "the arc was not the move being cut";
        for (auto c = pressed; c != calls.end(); ++c)
            for (const char *move : {"218(", "219(", "572(", "573(", "430(", "431(", "331(",
                                     "332(", "347(", "348("})
                EXPECT_NE(c->rfind(move, 0), 0u) << *c << " after the e-stop";

        TRun rerun = RunCards("estop-held:500");
        EXPECT_EQ(rerun.Status, 0) << rerun.Err;
        EXPECT_NE(rerun.Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"),
                  std::string::npos)
            << rerun.Out;
        calls = Calls(rerun);
        auto released = std::find(calls.begin(), calls.end(), "e-stop released");
        ASSERT_NE(released, calls.end());
        ASSERT_GE(size_t(calls.end() - released), DrivesOn.size() + 1);
        EXPECT_TRUE(std::equal(DrivesOn.begin(), DrivesOn.end(), released + 1))
            << "the drives were not switched on again after the release";
        auto homing = std::find_if(calls.begin(), calls.end(), [](const std::string &c) {
            return c.rfind("347(", 0) == 0 || c.rfind("348(", 0) == 0;
        });
        EXPECT_GT(homing - released, 0) << "homed before the release";
        std::vector<std::string> plain = Lines(
            ReadFile(std::string(ORV_SOURCE_DIR) + "/links/tests/data/" + Golden));
        auto plainHoming = std::find_if(plain.begin(), plain.end(), [](const std::string &c) {
            return c.rfind("347(", 0) == 0 || c.rfind("348(", 0) == 0;
        });
        EXPECT_EQ(std::vector<std::string>(homing, calls.end()),
                  std::vector<std::string>(plainHoming, plain.end()));
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

private:
    int FRuns = 0;
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

TEST_F(CardRunTest, FirstCardEmergencyStopAndItsRecovery) {
    Setup(1);
    EStopAndRecovery("218", {"203(0)", "203(1)", "203(2)", "264(0,1)", "264(1,1)", "264(2,1)"},
                     "card_a_run.calls");
}

TEST_F(CardRunTest, NewerCardEmergencyStopAndItsRecovery) {
    Setup(7);
    EStopAndRecovery("219",
                     {"204(0)", "204(1)", "204(2)", "265(0,1)", "265(1,1)", "265(2,1)", "104(36,1)",
                      "104(1,36)"},
                     "card_b_run.calls");
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
