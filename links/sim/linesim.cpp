// linesim: the line-protocol simulators as a program, for ncrun runs. It
// opens a pseudo-terminal pair, writes the device path the PC side opens to
// --port-file (or standard output), and answers until the PC side has
// talked and closed its end, or SIGTERM. The log goes to --log at the end.
//   linesim --protocol trio|queued|router [--port-file FILE] [--log FILE]
//           [--speed N] [--silent-at MATCH] [--drop-prompt MATCH]
//           [--nak MATCH] [--no-answer MATCH] [--bad-check MATCH]
//           [--guard-open MATCH] [--estop MATCH] [--drop-echo MATCH]
//           [--hold-at MATCH] [--sessions N] [--estop-held MS]
// With --sessions N the box stays on until the PC side has connected,
// talked and closed N times (a run, then a rerun). --estop-held MS: the
// router box's e-stop button is released MS after it was pressed; "reset"
// lines clear the stop only after that.

#include "links/sim/QueuedSim.h"
#include "links/sim/RouterSim.h"
#include "links/sim/TrioSim.h"

#include "platform/NumberText.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> gStop{false};
void OnSignal(int) {
    gStop = true;
}

} // namespace

int main(int Argc, char **Argv) {
    std::string protocol, portFile, logFile, silentAt, dropPrompt, guardAt, estopAt, dropEcho,
        holdAt;
    std::vector<std::pair<orv::TQueuedSim::TFault, std::string>> faults;
    double speed = 1;
    int sessions = 1, estopHeldMs = 0;
    for (int i = 1; i < Argc; ++i) {
        std::string a = Argv[i];
        auto value = [&]() -> std::string { return i + 1 < Argc ? Argv[++i] : ""; };
        if (a == "--protocol")
            protocol = value();
        else if (a == "--port-file")
            portFile = value();
        else if (a == "--log")
            logFile = value();
        else if (a == "--speed")
            speed = orv::StrToIntDef(value(), 1);
        else if (a == "--silent-at")
            silentAt = value();
        else if (a == "--drop-prompt")
            dropPrompt = value();
        else if (a == "--guard-open")
            guardAt = value();
        else if (a == "--estop")
            estopAt = value();
        else if (a == "--estop-held")
            estopHeldMs = orv::StrToIntDef(value(), 0);
        else if (a == "--sessions")
            sessions = orv::StrToIntDef(value(), 1);
        else if (a == "--hold-at")
            holdAt = value();
        else if (a == "--drop-echo")
            dropEcho = value();
        else if (a == "--nak")
            faults.push_back({orv::TQueuedSim::Nak, value()});
        else if (a == "--no-answer")
            faults.push_back({orv::TQueuedSim::NoAnswer, value()});
        else if (a == "--bad-check")
            faults.push_back({orv::TQueuedSim::BadCheck, value()});
        else {
            std::fprintf(stderr, "linesim: unknown argument %s\n", a.c_str());
            return 2;
        }
    }
    std::unique_ptr<orv::TLineSim> sim;
    if (protocol == "trio") {
        auto trio = std::make_unique<orv::TTrioSim>();
        if (!silentAt.empty())
            trio->SilenceAt(silentAt);
        if (!dropPrompt.empty())
            trio->DropPrompt(dropPrompt);
        sim = std::move(trio);
    } else if (protocol == "queued") {
        auto queued = std::make_unique<orv::TQueuedSim>();
        if (!silentAt.empty())
            queued->SilenceAt(silentAt);
        if (!holdAt.empty())
            queued->HoldAt(holdAt);
        for (const auto &f : faults)
            queued->AddFault(f.first, f.second);
        sim = std::move(queued);
    } else if (protocol == "router") {
        auto router = std::make_unique<orv::TRouterSim>();
        if (!silentAt.empty())
            router->SilenceAt(silentAt);
        if (!guardAt.empty())
            router->GuardOpenAt(guardAt);
        if (!estopAt.empty())
            router->EStopAt(estopAt, 2, estopHeldMs);
        if (!dropEcho.empty())
            router->DropEchoAt(dropEcho);
        sim = std::move(router);
    } else {
        std::fprintf(stderr, "linesim: unknown protocol \"%s\" (trio, queued, router)\n",
                     protocol.c_str());
        return 2;
    }
    sim->SpeedUp = speed;
    sim->Sessions = sessions;
    std::string slave, error;
    if (!sim->Open(slave, error)) {
        std::fprintf(stderr, "linesim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    sim->Start();
    if (portFile.empty()) {
        std::printf("%s\n", slave.c_str());
        std::fflush(stdout);
    } else {
        std::string temp = portFile + ".tmp";
        std::ofstream(temp) << slave << "\n";
        std::rename(temp.c_str(), portFile.c_str());
    }
    while (!gStop && !sim->PeerGone())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sim->Stop();
    if (!logFile.empty())
        std::ofstream(logFile, std::ios::binary) << sim->LogText();
    return 0;
}
