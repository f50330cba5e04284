#pragma once
// A Trio motion controller on a pseudo-terminal (38400 7E2): it echoes
// every character, carries out the command line at CR (SP, MA, MO, DATUM,
// RS, OP, TABLEVALUES), prints its output and the prompt ">". The table
// answer lists X, Y, Z and entries 3 to 5 at 1 while that axis moves.
// Unknown commands answer "er..."; a line can go unanswered (no prompt) on
// demand, and the whole controller can fall silent.

#include "links/sim/LineSim.h"

#include <string>
#include <vector>

namespace orv {

class TTrioSim : public TLineSim {
public:
    // Lines containing Match lose their prompt Count times.
    void DropPrompt(const std::string &Match, int Count = 1);
    // The controller falls silent at the first line containing Match.
    void SilenceAt(const std::string &Match) { FSilenceAt = Match; }
    // Lines received, CR removed, in order.
    std::vector<std::string> Lines() const { return Received("line"); }
    // Outputs set by OP(n,value): "n,value" in order.
    std::vector<std::string> Outputs() const;

protected:
    void Byte(uint8_t B) override;

private:
    std::string Execute(const std::string &Line);
    std::string FLine;
    double FSpeed = 1000;
    std::string FSilenceAt;
    struct TDrop {
        std::string Match;
        int Count;
    };
    std::vector<TDrop> FDrops;
    std::vector<std::string> FOutputs;
};

} // namespace orv
