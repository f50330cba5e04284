#pragma once
// The common part of the line-protocol simulators (queued frames, router
// box, Trio): the master side of a pseudo-terminal served by a thread of
// its own, a log of what arrives and what goes out, three axes that move
// in a straight line on the simulator's clock, and a silence switch.

#include "links/sim/ControllerSim.h"

#include "links/sim/PtyMaster.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orv {

class TLineSim : public TPtySim {
public:
    TLineSim();
    ~TLineSim() override;
    TLineSim(const TLineSim &) = delete;
    TLineSim &operator=(const TLineSim &) = delete;

    // True once the PC side has talked and closed its end for 3 s.
    bool PeerGone() const { return FPeerGone.load(); }
    // The far end stops answering (nothing is echoed or answered) from now.
    void SetSilent(bool On) { FSilent = On; }
    // The far end sends XOFF with the PC side's software flow control
    // switched on under it: the PC's writes stay pending from now.
    void HoldPeerOutput();
    bool Silent() const { return FSilent.load(); }

    // Entries from the PC of one kind, in order.
    std::vector<std::string> Received(const std::string &Kind) const;
    uint64_t BytesIn() const { return FBytesIn.load(); }
    uint64_t BytesOut() const { return FBytesOut.load(); }
    // Steps of the axes now.
    void Position(double &X, double &Y, double &Z) const;
    bool Moving() const;

    double SpeedUp = 1;             // motion runs this many times faster

protected:
    virtual void Byte(uint8_t B) = 0;
    virtual void Timers() {}
    void Send(const std::string &Bytes, const std::string &Kind);
    // A straight move of the axes at Feed steps per second (the longest
    // axis sets the time); Axis >= 0 moves that axis only.
    void StartMotion(double X, double Y, double Z, double Feed);
    void StopMotion();
    bool AxisMoving(int Axis) const;


private:
    void Run() override;
    std::atomic<bool> FPeerGone{false}, FSilent{false};
    bool FTalked = false;
    std::atomic<uint64_t> FBytesIn{0}, FBytesOut{0};
    double FFrom[3] = {}, FTo[3] = {};
    int64_t FStart = 0;
    double FMs = 0;
};

} // namespace orv
