#pragma once
// A controller of the queued framed protocol on a pseudo-terminal (19200
// 8N2): command frames (EOT text ETX check) are acknowledged with 0x80, or
// refused with the NAK 0x81 when their check byte is wrong, and carried
// out (VA6, MA6, MA<axis>, HS6, HM<axis><dir>, ST6, G02/G03); read frames
// (EOT text ENQ) get replies STX text ETX check, "zz6" the status
// "zz" X,Y,Z,idle X,idle Y,idle Z. Faults on demand: a NAK, no answer, a
// wrong check byte, or silence from a frame on, with the PC's output held
// (XOFF) as well.

#include "links/sim/LineSim.h"

#include <string>
#include <vector>

namespace orv {

class TQueuedSim : public TLineSim {
public:
    enum TFault { Nak, NoAnswer, BadCheck };
    // Frames whose printable text contains Match get the fault Count times.
    void AddFault(TFault Kind, const std::string &Match, int Count = 1);
    void SilenceAt(const std::string &Match) { FSilenceAt = Match; }
    // From the first write frame containing Match: silent, and the PC's
    // further writes held.
    void HoldAt(const std::string &Match) { FHoldAt = Match; }
    // Frames received (printable), command and read frames in order.
    std::vector<std::string> Frames() const;

    double FeedSteps = 4000, RapidSteps = 8000;

protected:
    void Byte(uint8_t B) override;

private:
    bool TakeFault(TFault Kind, const std::string &Printable);
    void Command(const std::string &Text);
    void Read(const std::string &Text);
    void Reply(const std::string &Text, bool Bad);
    std::string FFrame;
    bool FInFrame = false, FAwaitCheck = false;
    double FHomeFeed = 1000;
    std::string FSilenceAt, FHoldAt;
    struct TEntry {
        TFault Kind;
        std::string Match;
        int Count;
    };
    std::vector<TEntry> FFaults;
};

} // namespace orv
