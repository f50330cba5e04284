// ctrlsim: the controller simulator as a program, for ncrun runs and the
// bench. It opens a pseudo-terminal pair, writes the device path the PC
// side opens to --port-file (or standard output), and answers until the PC
// side has talked and closed its end, or SIGTERM. The frame log goes to
// --log at the end.
//   ctrlsim [--port-file FILE] [--log FILE] [--speed N] [--clear-delay MS]
//           [--pace BAUD] [--no-program] [--version TEXT] [--length-check]
//           [--fault KIND:MATCH[:COUNT]]...
//           [--fault-rate PERCENT --seed N [--rate-kinds KIND,KIND...]]
// KIND: drop, garble, garble-answer, delay, no-ack, nak, bad-check,
// status-before-check, late-ack, stale-ack (the duplicate comes just before
// the next frame's answer), never-done, guard-open, guard-blip, estop,
// freeze (nothing is carried out or answered from that frame on).
// --estop: the emergency stop is pressed from the start.

#include "links/sim/ControllerSim.h"

#include "platform/NumberText.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace {

std::atomic<bool> gStop{false};
void OnSignal(int) {
    gStop = true;
}

bool FaultKind(const std::string &Name, orv::TSimFault::TKind &Kind) {
    using K = orv::TSimFault;
    static const std::map<std::string, K::TKind> kinds = {
        {"drop", K::DropByte},
        {"garble", K::GarbleByte},
        {"garble-answer", K::GarbleAnswer},
        {"delay", K::DelayByte},
        {"no-ack", K::NoAck},
        {"nak", K::Nak},
        {"bad-check", K::BadCheck},
        {"status-before-check", K::StatusBeforeCheck},
        {"late-ack", K::LateDuplicateAck},
        {"never-done", K::MCodeNeverDone},
        {"guard-open", K::GuardOpen},
        {"estop", K::EStop},
        {"guard-blip", K::GuardBlip},
        {"stale-ack", K::LateDuplicateAck},
        {"freeze", K::Freeze}};
    auto it = kinds.find(Name);
    if (it == kinds.end())
        return false;
    Kind = it->second;
    return true;
}

// KIND:MATCH[:COUNT]
bool ParseFault(const std::string &Text, orv::TSimFault &Fault) {
    size_t a = Text.find(':');
    std::string kind = Text.substr(0, a);
    if (!FaultKind(kind, Fault.Kind))
        return false;
    if (kind == "stale-ack")
        Fault.DelayMs = -1; // the duplicate comes just before the next answer
    if (a == std::string::npos)
        return true;
    size_t b = Text.find(':', a + 1);
    Fault.Match = Text.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
    if (b != std::string::npos)
        Fault.Count = orv::StrToIntDef(Text.substr(b + 1), 1);
    return true;
}

} // namespace

int main(int Argc, char **Argv) {
    orv::TControllerSim sim;
    std::string portFile, logFile;
    int ratePercent = 0;
    unsigned seed = 1;
    std::vector<orv::TSimFault::TKind> rateKinds = {
        orv::TSimFault::GarbleByte, orv::TSimFault::GarbleAnswer, orv::TSimFault::BadCheck,
        orv::TSimFault::DropByte};
    for (int i = 1; i < Argc; ++i) {
        std::string a = Argv[i];
        auto value = [&]() -> std::string { return i + 1 < Argc ? Argv[++i] : ""; };
        if (a == "--port-file")
            portFile = value();
        else if (a == "--log")
            logFile = value();
        else if (a == "--speed")
            sim.SpeedUp = orv::StrToIntDef(value(), 1);
        else if (a == "--clear-delay")
            sim.ClearDelayMs = orv::StrToIntDef(value(), 20);
        else if (a == "--pace")
            sim.PaceBaud = orv::StrToIntDef(value(), 19200);
        else if (a == "--no-program")
            sim.ProgramRunning = false;
        else if (a == "--version")
            sim.VersionText = value();
        else if (a == "--length-check")
            sim.LengthByte = true;
        else if (a == "--estop")
            sim.EStopped = true;
        else if (a == "--fault-rate")
            ratePercent = orv::StrToIntDef(value(), 0);
        else if (a == "--rate-kinds") {
            rateKinds.clear();
            std::istringstream names(value());
            for (std::string name; std::getline(names, name, ',');) {
                orv::TSimFault::TKind k;
                if (!FaultKind(name, k)) {
                    std::fprintf(stderr, "ctrlsim: unknown fault %s\n", name.c_str());
                    return 2;
                }
                rateKinds.push_back(k);
            }
        } else if (a == "--seed")
            seed = unsigned(orv::StrToIntDef(value(), 1));
        else if (a == "--fault") {
            orv::TSimFault f;
            if (!ParseFault(value(), f)) {
                std::fprintf(stderr, "ctrlsim: unknown fault %s\n", Argv[i]);
                return 2;
            }
            sim.AddFault(f);
        } else {
            std::fprintf(stderr, "ctrlsim: unknown argument %s\n", a.c_str());
            return 2;
        }
    }
    if (ratePercent > 0)
        sim.SetFaultRate(seed, ratePercent, rateKinds);
    std::string slave, error;
    if (!sim.Open(slave, error)) {
        std::fprintf(stderr, "ctrlsim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    sim.Start();
    if (portFile.empty()) {
        std::printf("%s\n", slave.c_str());
        std::fflush(stdout);
    } else {
        std::string temp = portFile + ".tmp";
        std::ofstream(temp) << slave << "\n";
        std::rename(temp.c_str(), portFile.c_str());
    }
    while (!gStop && !sim.PeerGone())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sim.Stop();
    if (!logFile.empty())
        std::ofstream(logFile, std::ios::binary) << sim.LogText();
    return 0;
}
