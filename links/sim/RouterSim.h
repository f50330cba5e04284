#pragma once
// A router control box on a pseudo-terminal (9600 7E2): every character
// is echoed; at CR the line is carried out and answered, the answer ended
// by DC1. "xz?" answers "x" X "y" Y "z" Z and a tail: "G" while moving,
// "go" while the guard is open, "es" during an emergency stop. A park line
// is answered when the axis is home. Faults on demand: the guard opens or
// an emergency stop comes at a line (the stop clears after Resets "reset"
// lines that come once the button is released, HeldMs after the stop), an
// echo is lost, or the box falls silent.

#include "links/sim/LineSim.h"

#include <string>
#include <vector>

namespace orv {

class TRouterSim : public TLineSim {
public:
    void SilenceAt(const std::string &Match) { FSilenceAt = Match; }
    void GuardOpenAt(const std::string &Match) { FGuardAt = Match; }
    void EStopAt(const std::string &Match, int Resets = 2, int HeldMs = 0) {
        FEStopAt = Match;
        FResetsNeeded = Resets;
        FHeldMs = HeldMs;
    }
    // The echo of the last character of the first line containing Match is lost.
    void DropEchoAt(const std::string &Match) { FDropEchoAt = Match; }
    std::vector<std::string> Lines() const { return Received("line"); }

    double FeedSteps = 4000;

protected:
    void Byte(uint8_t B) override;
    void Timers() override;

private:
    std::string Execute(const std::string &Line);
    std::string FLine;
    std::string FSilenceAt, FGuardAt, FEStopAt, FDropEchoAt;
    bool FGuardOpen = false, FEStop = false, FParkPending = false;
    int FResetsNeeded = 0, FHeldMs = 0;
    int64_t FReleasedAt = 0;
};

} // namespace orv
