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

    // True once the PC side has talked and closed its end Sessions times,
    // the last time for 3 s (the box stays on while the PC reconnects).
    bool PeerGone() const { return FPeerGone.load(); }
    int Sessions = 1;
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
    // Where the axes are and which still move, taken at one instant: a
    // status answer never shows an axis idle short of its target.
    struct TAxesState {
        double At[3] = {};
        bool Moving[3] = {};
        bool Any() const { return Moving[0] || Moving[1] || Moving[2]; }
    };
    TAxesState Axes() const;

    double SpeedUp = 1;             // motion runs this many times faster

protected:
    virtual void Byte(uint8_t B) = 0;
    virtual void Timers() {}
    void Send(const std::string &Bytes, const std::string &Kind);
    // A straight move of the axes at Feed steps per second (the longest
    // axis sets the time); Axis >= 0 moves that axis only.
    void StartMotion(double X, double Y, double Z, double Feed);
    void StopMotion();


private:
    void Run() override;
    TAxesState AxesAt(int64_t Now) const; // FLock held
    std::atomic<bool> FPeerGone{false}, FSilent{false};
    bool FTalked = false;
    int FClosed = 0; // sessions the PC side has ended
    std::atomic<uint64_t> FBytesIn{0}, FBytesOut{0};
    double FFrom[3] = {}, FTo[3] = {};
    int64_t FStart = 0;
    double FMs = 0;
};

} // namespace orv
