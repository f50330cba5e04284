// ncrun --machine --link against the controller simulator program: a
// program of G0, G1, G2, M3 S1000, M8, T2 M6 and M30 homes, runs to its
// end and sends exactly the expected write frames, also through a line
// that garbles, drops and corrupts bytes (the same frames plus resends);
// an M code never completed and a guard open at the tool change stop the
// run with their errors.

#include "links/tests/NcrunRig.h"

#include <algorithm>

#ifndef ORV_CTRLSIM
#error "ORV_CTRLSIM names the simulator program"
#endif

namespace orv {
namespace {

using test::Lines;
using test::ReadFile;
using TRun = test::TNcrunRun;

class LinkRunTest : public test::TNcrunRig {
protected:
    LinkRunTest() {
        Machine({{"Control Type=0", "Control Type=5"}, {"Baud rate=9600", "Baud rate=19200"}});
    }
    // Control Type and program file of the machine.
    void SetMachine(int ControlType, const std::string &MintFile = "NONE") {
        Machine({{"Control Type=5", "Control Type=" + std::to_string(ControlType)},
                 {"Mint File=NONE", "Mint File=" + MintFile}});
    }

    // Starts the simulator with Args, maps COM1 to it and runs ncrun (with
    // Env, "NAME=value ").
    TRun Run(const std::vector<std::string> &SimArgs, int ScreenUpdateMs = 0,
             const std::string &Env = "") {
        return TNcrunRig::Run(
            ORV_CTRLSIM, SimArgs,
            [&](TIniFile &Main) {
                if (ScreenUpdateMs > 0)
                    Main.WriteInteger("Default Settings", "ScreenUpdate", ScreenUpdateMs);
            },
            Env);
    }
    // A run on a clean line, where every frame is answered: a frame goes
    // again only after 30 s, so a stall of a loaded test machine costs no
    // resend and the runs can ask for none.
    TRun RunAnswered(const std::vector<std::string> &SimArgs) {
        return Run(SimArgs, 0, "ORV_LINE_RESEND_MS=30000 ");
    }

    // The write frames of the log ("time < write bytes"), a frame sent
    // again at once (a resend) counted once.
    static std::vector<std::string> WriteFrames(const TRun &R, int *Resends = nullptr) {
        std::vector<std::string> frames;
        int resends = 0;
        for (const std::string &line : R.Log) {
            std::istringstream in(line);
            std::string time, dir, kind, bytes;
            in >> time >> dir >> kind;
            std::getline(in, bytes);
            if (dir != "<" || kind != "write")
                continue;
            bytes = bytes.substr(1);
            if (!frames.empty() && frames.back() == bytes) {
                ++resends;
                continue;
            }
            frames.push_back(bytes);
        }
        if (Resends)
            *Resends = resends;
        return frames;
    }
    // The write frames the simulator carried out, in order: a resend of a
    // frame carried out already would be there twice.
    static std::vector<std::string> CarriedOut(const TRun &R) {
        std::vector<std::string> frames;
        for (const std::string &line : R.Log) {
            size_t at = line.find(" = done ");
            if (at != std::string::npos)
                frames.push_back(line.substr(at + 8));
        }
        return frames;
    }
    // As CarriedOut, with a frame carried out again at once dropped when
    // the controller cannot be asked whether it was carried out (a homing,
    // the homing speed, a stop, the mode, an output): after a lost
    // answer it goes again, which does no more than once. Comms writes,
    // moves and arcs are read back instead: they must be there once.
    static std::vector<std::string> CarriedOutOnce(const TRun &R) {
        std::vector<std::string> frames = CarriedOut(R);
        auto unchecked = [](const std::string &F) {
            for (const char *head : {"<EOT>HM", "<EOT>HS", "<EOT>ST", "<EOT>CT", "<EOT>M3",
                                     "<EOT>O", "<EOT>X"})
                if (F.rfind(head, 0) == 0)
                    return true;
            return false;
        };
        for (size_t i = 1; i < frames.size();)
            if (frames[i] == frames[i - 1] && unchecked(frames[i]))
                frames.erase(frames.begin() + long(i));
            else
                ++i;
        return frames;
    }
    // Every write frame the simulator received, in order, resends included.
    static std::vector<std::string> AllWrites(const TRun &R) {
        std::vector<std::string> frames;
        for (const std::string &line : R.Log) {
            size_t at = line.find(" < write ");
            if (at != std::string::npos)
                frames.push_back(line.substr(at + 9));
        }
        return frames;
    }
    // Frames that only stop the machine or tell it the operator's mode.
    static bool StopOrMode(const std::string &Frame) {
        return Frame == "<EOT>ST6<ETX>6" || Frame == "<EOT>MB601,0<ETX>#" ||
               Frame.rfind("<EOT>MB602,", 0) == 0;
    }
    static int Occurrences(const std::string &Text, const std::string &Part) {
        int n = 0;
        for (size_t at = Text.find(Part); at != std::string::npos; at = Text.find(Part, at + 1))
            ++n;
        return n;
    }
    static int Count(const TRun &R, const std::string &Kind) {
        int n = 0;
        for (const std::string &line : R.Log)
            if (line.find(" < " + Kind + " ") != std::string::npos)
                ++n;
        return n;
    }
    // The mode writes ("MB602,n") follow the machine's poll timer, which the
    // run's waits serve at times of their own: they are compared as a list
    // of their own, the other frames in their order.
    static void ExpectFrames(const std::vector<std::string> &Got,
                             const std::vector<std::string> &Want) {
        auto split = [](const std::vector<std::string> &All, std::vector<std::string> &Modes) {
            std::vector<std::string> rest;
            for (const std::string &f : All)
                (f.rfind("<EOT>MB602,", 0) == 0 || f.rfind("<EOT>MB6%02,", 0) == 0 ? Modes : rest)
                    .push_back(f);
            return rest;
        };
        std::vector<std::string> gotModes, wantModes;
        EXPECT_EQ(split(Got, gotModes), split(Want, wantModes));
        EXPECT_EQ(gotModes, wantModes);
    }
    static std::string ExpectedFile(const std::string &Name = "link_run") {
        return std::string(ORV_SOURCE_DIR) + "/links/tests/data/" + Name + ".frames";
    }
    static std::vector<std::string> Expected(const std::string &Name = "link_run") {
        return Lines(ReadFile(ExpectedFile(Name)));
    }
    // A run of the program that must write exactly the frames of Name.
    void RunsExactly(const std::vector<std::string> &SimArgs, const std::string &Name) {
        TRun r = RunAnswered(SimArgs);
        EXPECT_EQ(r.Status, 0) << r.Err;
        if (std::getenv("ORV_UPDATE_GOLDEN")) {
            std::ofstream out(ExpectedFile(Name), std::ios::binary);
            for (const std::string &f : WriteFrames(r))
                out << f << "\n";
        }
        int resends = 0;
        ExpectFrames(WriteFrames(r, &resends), Expected(Name));
        EXPECT_EQ(resends, 0);
        EXPECT_NE(r.Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"), std::string::npos)
            << r.Out;
        Last = r;
    }
    TRun Last;
};

TEST_F(LinkRunTest, RunsTheProgramToItsEnd) {
    TRun r = RunAnswered({});
    EXPECT_EQ(r.Status, 0) << r.Err;
    // ORV_UPDATE_GOLDEN=1 writes the expected frames from this run.
    if (std::getenv("ORV_UPDATE_GOLDEN")) {
        std::ofstream out(ExpectedFile(), std::ios::binary);
        for (const std::string &f : WriteFrames(r))
            out << f << "\n";
    }
    int resends = 0;
    ExpectFrames(WriteFrames(r, &resends), Expected());
    EXPECT_EQ(resends, 0);
    EXPECT_GT(Count(r, "read"), 0);
    EXPECT_NE(r.Out.find("M B2 "), std::string::npos);
    EXPECT_NE(r.Out.find("POS X60000 Y60000 Z0 X150.000 Y150.000 Z0.000"), std::string::npos)
        << r.Out;
}

TEST_F(LinkRunTest, ALineWithFaultsLosesAndDoublesNothing) {
    TRun r = Run({"--fault", "garble:MA6", "--fault", "garble-answer:MB618,3<ETX>", "--fault",
                  "bad-check:MB61<ENQ>:2", "--fault", "nak:CA3", "--fault",
                  "status-before-check:ZZ6<ENQ>:3", "--fault", "drop:VA668000", "--fault",
                  "late-ack:MB604,1000"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    ExpectFrames(CarriedOutOnce(r), Expected());
    // The garbled move and the refused arc went again; the move and the
    // M code whose acknowledgements were lost or damaged were read back.
    EXPECT_GE(AllWrites(r).size() - CarriedOut(r).size(), 2u);
    EXPECT_GE(Count(r, "read"), 2);
}

TEST_F(LinkRunTest, SeededRandomFaults) {
    TRun r = Run({"--fault-rate", "8", "--seed", "20"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    ExpectFrames(CarriedOutOnce(r), Expected());
}

// The status bytes carry no frame number. A duplicate ACK that comes
// while the next frame is open takes its place; the next frame's refusal
// then finds no frame open. That write is read back and sent again: the
// M code is still carried out, once.
TEST_F(LinkRunTest, AStaleAcknowledgementLosesNoBlock) {
    TRun r = Run({"--fault", "stale-ack:MB604,1000", "--fault", "nak:MB618,3"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    ExpectFrames(CarriedOutOnce(r), Expected());
    std::vector<std::string> writes = AllWrites(r);
    EXPECT_EQ(std::count(writes.begin(), writes.end(), "<EOT>MB618,3<ETX>("), 2);
}

// A duplicate of every acknowledgement just before the next frame's
// answer, with refusals, garbled frames and lost bytes at random: every
// block is carried out once.
TEST_F(LinkRunTest, StaleAcknowledgementsAmongSeededFaults) {
    TRun r = Run({"--fault", "stale-ack::-1", "--fault-rate", "10", "--seed", "7", "--rate-kinds",
                  "nak,garble,drop"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    ExpectFrames(CarriedOutOnce(r), Expected());
}

TEST_F(LinkRunTest, AnMCodeNeverCompletedStopsTheRun) {
    TRun r = Run({"--fault", "never-done:M8|"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Mcode error"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("\"M8\" operation Timed Out"), std::string::npos) << r.Err;
    std::vector<std::string> frames = WriteFrames(r);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "<EOT>MB607,2<ETX>'"), 0);
}

// The guard opens as M8 is carried out; the poll that would notice it
// first is far off, so the tool change finds it.
TEST_F(LinkRunTest, TheGuardOpenAtTheToolChange) {
    TRun r = Run({"--fault", "guard-open:MB618,8"}, 60000);
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Toolchange Error"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("Machine not safe"), std::string::npos) << r.Err;
    // The block ends with its error: no M6 goes after it.
    std::vector<std::string> frames = WriteFrames(r);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "<EOT>MB618,6<ETX>-"), 0);
}

// Control Type 0: the probe's version "vn2.0.4" keeps it; its start frame
// goes before the frames of the Control Type 5 run.
TEST_F(LinkRunTest, ControlType0AgainstVersion204) {
    SetMachine(0);
    RunsExactly({"--version", "vn2.0.4"}, "link_run_type0");
    // "Mint File=NONE" names no file: no warning about it.
    EXPECT_EQ(Last.Err.find("Mint program file"), std::string::npos) << Last.Err;
    EXPECT_EQ(Expected("link_run_type0").front(), "<EOT>M312<ETX>z");
    std::vector<std::string> rest = Expected("link_run_type0");
    rest.erase(rest.begin());
    ExpectFrames(rest, Expected());
}

// Control Type 0 in the machine file, but "vn2.1" answers: the link runs
// Control Type 6, every write frame but "CT" and "ST" with its length
// byte, which the simulator checks.
TEST_F(LinkRunTest, ControlType6AgainstVersion21) {
    SetMachine(0);
    RunsExactly({"--version", "vn2.1", "--length-check"}, "link_run_type6");
    EXPECT_EQ(Last.Err.find("Mint program file"), std::string::npos) << Last.Err;
    std::vector<std::string> frames = Expected("link_run_type6");
    EXPECT_NE(std::find(frames.begin(), frames.end(), "<EOT>MB6%07,2<ETX><STX>"), frames.end());
    EXPECT_NE(std::find(frames.begin(), frames.end(), "<EOT>CT6<ETX>&"), frames.end());
}

// The controller's program is missing: the probe loads the program file
// over the command line, starts it, and the run goes on as Control Type 6.
TEST_F(LinkRunTest, AMissingProgramIsLoadedAndStartedFirst) {
    SetMachine(6, std::string(ORV_SOURCE_DIR) + "/links/tests/data/link_run.mnt");
    RunsExactly({"--version", "vn2.1", "--length-check", "--no-program"}, "link_run_download");
    // The two forms of the mode frame, then the frames of Control Type 6.
    std::vector<std::string> frames = Expected("link_run_download");
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0], "<EOT>M310<ETX>x");
    EXPECT_EQ(frames[1], "<EOT>M31\"0<ETX>Z");
    ExpectFrames({frames.begin() + 2, frames.end()}, Expected("link_run_type6"));
    std::vector<std::string> lines;
    for (const std::string &line : Last.Log)
        if (line.find(" < line ") != std::string::npos)
            lines.push_back(line.substr(line.find(" < line ") + 8));
    EXPECT_EQ(lines, (std::vector<std::string>{"ver", "REM Controller program of the link runs",
                                               "comms(31) = 5", "comms(32) = 4", "auto",
                                               "LOAD main", "print \"mill ready\"", "loop",
                                               "endl", "<1A>", "run"}));
}

TEST_F(LinkRunTest, NoControllerOnThePort) {
    std::ofstream(Settings + "/Tarnwick.ini", std::ios::app)
        << "\n[Serial Ports]\nCOM1=" << Temp.File("no-such-port") << "\n";
    TRun r = RunNcrun();
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Error Locating COM1"), std::string::npos) << r.Err;
}

// The controller hangs in the middle of the run (as the arc arrives): the
// arc's frame is given up after its 21 sends and
// reported once, in one message; the stop is tried once (its own 21
// sends), nothing goes out after it, and ncrun ends with status 1. Frames
// go again every 200 ms here, so each give-up takes about 4 s. That the
// run ends rather than tries again shows in what went out: exactly those
// sends and nothing more (a run that never ended would fail at the
// harness's limit).
TEST_F(LinkRunTest, ADeadControllerEndsTheRunOnce) {
    for (int type : {5, 0}) {
        SCOPED_TRACE(type);
        if (type == 0)
            SetMachine(0);
        TRun r = Run({"--version", "vn2.0.4", "--fault", "freeze:CA3"}, 0,
                     "ORV_LINE_RESEND_MS=200 ");
        EXPECT_EQ(r.Status, 1) << r.Err;
        EXPECT_EQ(Occurrences(r.Err, "LowLevel Timed Out"), 1) << r.Err;
        EXPECT_NE(r.Err.find("Major problem sending<EOT>CA3"), std::string::npos) << r.Err;
        EXPECT_EQ(r.Err.find("Major Timeout Problem"), std::string::npos) << r.Err;
        std::vector<std::string> writes = AllWrites(r);
        auto arc = std::find_if(writes.begin(), writes.end(), [](const std::string &f) {
            return f.rfind("<EOT>CA3", 0) == 0;
        });
        ASSERT_NE(arc, writes.end());
        std::vector<std::string> after(arc, writes.end());
        std::vector<std::string> want(21, *arc);
        want.insert(want.end(), 21, "<EOT>ST6<ETX>6");
        EXPECT_EQ(after, want);
    }
}

// Homing fails: the guard opens as X homes (and closes again at the stop
// that ends the homing). ncrun says so and does not start the program;
// after it nothing goes to the machine but homing frames already on
// their way, stops and mode writes: no move, no tool change, no M code.
TEST_F(LinkRunTest, AFailedHomingEndsTheRun) {
    TRun r = Run({"--fault", "guard-blip:HM02"}, 0, "ORV_LINE_RESEND_MS=30000 ");
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("Homing Error"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("the program is not run"), std::string::npos) << r.Err;
    std::vector<std::string> writes = AllWrites(r);
    auto homing = std::find(writes.begin(), writes.end(), "<EOT>HM02<ETX><NUL>");
    ASSERT_NE(homing, writes.end());
    for (auto f = homing + 1; f != writes.end(); ++f)
        EXPECT_TRUE(StopOrMode(*f) || f->rfind("<EOT>HS6", 0) == 0 ||
                    f->rfind("<EOT>HM", 0) == 0)
            << *f;
}

// The emergency stop is pressed as the arc goes out: the run stops with
// the reason on the status line ("Emergency stop", which ncrun prints),
// status 1, and after it nothing but stops and mode writes go out.
TEST_F(LinkRunTest, AnEmergencyStopIsNamedAndEndsTheRun) {
    TRun r = Run({"--fault", "estop:CA3"}, 0, "ORV_LINE_RESEND_MS=30000 ");
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("Emergency stop"), std::string::npos) << r.Err;
    std::vector<std::string> writes = AllWrites(r);
    auto arc = std::find_if(writes.begin(), writes.end(),
                            [](const std::string &f) { return f.rfind("<EOT>CA3", 0) == 0; });
    ASSERT_NE(arc, writes.end());
    for (auto f = arc + 1; f != writes.end(); ++f)
        EXPECT_TRUE(StopOrMode(*f)) << *f;
    EXPECT_NE(std::find(arc, writes.end(), "<EOT>ST6<ETX>6"), writes.end());
}

// The controller is in emergency stop from the start: the stop is named
// at once, nothing times out, and the program is not run. Nothing that
// moves the machine or starts a command goes out (no positioning move, no
// homing, no tool, no M code and no handshake of one): after the settings
// of the connection only stops and mode writes.
TEST_F(LinkRunTest, AControllerInEmergencyStopFromTheStartGetsOnlyAStop) {
    TRun r = Run({"--estop"}, 0, "ORV_LINE_RESEND_MS=30000 ");
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("Emergency stop"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("emergency stop: the program is not run"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("Timed Out"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("timed out"), std::string::npos) << r.Err;
    std::vector<std::string> writes = AllWrites(r);
    for (const std::string &f : writes)
        for (const char *acts : {"<EOT>VA", "<EOT>MA", "<EOT>CA", "<EOT>MR", "<EOT>HM", "<EOT>HS",
                                 "<EOT>MB607,", "<EOT>MB618,", "<EOT>MB601,07", "<EOT>MB601,18"})
            EXPECT_NE(f.rfind(acts, 0), 0u) << f;
    auto stop = std::find(writes.begin(), writes.end(), "<EOT>ST6<ETX>6");
    ASSERT_NE(stop, writes.end());
    for (auto f = stop; f != writes.end(); ++f)
        EXPECT_TRUE(StopOrMode(*f)) << *f;
}

} // namespace
} // namespace orv
