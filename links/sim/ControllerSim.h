#pragma once
// A motion controller on the master side of a pseudo-terminal pair, for
// tests, the bench and ncrun runs: it speaks the framed serial protocol
// byte for byte (comms array, timed motion with "zz" status lists, "vn",
// "er", status bytes) or, with no program running, the plain command line
// the loader uses; it logs every frame with a time and injects faults per
// frame or at a seeded rate.

#include "links/sim/PtyMaster.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace orv {

struct TSimFault {
    enum TKind {
        DropByte,          // a byte of the answer is lost
        GarbleByte,        // a byte of the frame from the PC arrives changed (NAK)
        GarbleAnswer,      // a byte of the answer arrives changed
        DelayByte,         // the answer's last byte comes DelayMs late
        NoAck,             // the frame is carried out but not acknowledged
        Nak,               // the frame is refused with NakValue
        BadCheck,          // a reply goes out with a wrong check byte
        StatusBeforeCheck, // a status byte between a reply's ETX and its check byte
        LateDuplicateAck,  // the acknowledgement comes again DelayMs later;
                           // DelayMs < 0: just before the next frame's answer
        MCodeNeverDone,    // the M code of the frame is never completed
        GuardOpen,         // the guard opens (entry 19 = 0, announced); a command
                           // completes only once the PC has read entry 19
        NoPrompt,          // a command line is taken but gets no answer
        LatePrompt,        // a command line's prompt comes DelayMs late
        EStop,             // the emergency stop is pressed as the frame arrives
                           // (and held): the axes stop where they are
        GuardBlip,         // as GuardOpen, as any write frame arrives; the guard
                           // closes again (announced) when the PC's next stop
                           // ("ST") arrives
        Freeze,            // the controller hangs as the frame arrives: it
                           // carries out and answers nothing from then on
    };
    TKind Kind = NoAck;
    std::string Match; // printable text the frame contains ("" any frame)
    int Count = 1;     // frames it applies to; -1 every matching frame
    int NakValue = 0x81;
    int DelayMs = 5;
};

class TControllerSim : public TPtySim {
public:
    TControllerSim();
    ~TControllerSim() override;
    TControllerSim(const TControllerSim &) = delete;
    TControllerSim &operator=(const TControllerSim &) = delete;

    // True once the PC side has talked and closed its end again.
    bool PeerGone() const { return FPeerGone.load(); }

    void AddFault(const TSimFault &Fault);
    // Each frame from the PC gets a random fault of Kinds with Percent
    // chance, from a generator seeded with Seed.
    void SetFaultRate(unsigned Seed, int Percent, std::vector<TSimFault::TKind> Kinds);

    // Frames received from the PC so far (any kind).
    int FramesReceived() const { return FFramesReceived.load(); }
    uint64_t BytesIn() const { return FBytesIn.load(); }
    uint64_t BytesOut() const { return FBytesOut.load(); }

    // Settings, set before Start.
    bool ProgramRunning = true;     // false: the command line answers, frames do not
    int ClearDelayMs = 20;          // a command entry is carried out after this
    double SpeedUp = 1;             // motion runs this many times faster
    int PaceBaud = 0;               // > 0: bytes take their line time (8N2)
    std::string VersionText = "vnCorvane Mint 5.04";
    // Control Type 6: write frames other than "CT" and "ST" carry a length
    // byte (payload bytes + 33); a wrong one is refused with a NAK.
    bool LengthByte = false;
    // A controller that takes every byte and answers nothing.
    std::atomic<bool> Silent{false};
    // In emergency stop from the start (status bit 3): the axes do not move.
    bool EStopped = false;
    // The start-up banner the command line answers "run" with.
    std::string Banner = "Corvane Mint program started";

    // State the tests look at (under the lock).
    double CommsValue(int Index) const;
    void SetCommsValue(int Index, double Value);
    // The controller changes an entry itself and announces it (a status
    // byte with bit 5), as its firmware does when the guard opens.
    void ChangeEntry(int Index, double Value);
    // Digital inputs 0 to 31 as the status list reports them.
    void SetInputs(uint32_t Bits) { FInputs = Bits; }
    // True while no byte from the PC waits unprocessed and no delayed
    // answer is due on the simulator's clock.
    bool Quiet() const;

private:
    struct TAxisMotion {
        double From = 0, To = 0;
    };
    void Run() override;
    void ReadInput();
    void Byte(uint8_t B);
    void Frame(const std::string &Frame, bool Read);
    void CommandLine(const std::string &Line);
    void WriteFrame(const std::string &Command, int Channel, const std::string &Payload,
                    const std::string &Raw);
    void ReadRequest(const std::string &Command, int Channel, const std::string &Payload);
    void Timers();
    void StartMotion(double X, double Y, double Z, double Feed);
    // The axes at At (ms on the simulator's clock); a status takes both
    // at one instant, so it never shows the axes idle short of the target.
    void Position(double &X, double &Y, double &Z, int64_t At) const;
    void Position(double &X, double &Y, double &Z) const { Position(X, Y, Z, Now()); }
    bool Moving(int64_t At) const;
    bool Moving() const { return Moving(Now()); }
    std::string InputField(int Group) const;
    uint8_t StatusBits() const;
    void SendReply(const std::string &Text);
    void SendAck(bool Nak, int NakValue = 0x81);
    void Send(const std::string &Bytes, const std::string &Kind);
    void Announce();
    void OpenGuard();
    bool TakeFault(TSimFault::TKind Kind, const std::string &Printable, TSimFault *Found = nullptr);

    std::atomic<bool> FPeerGone{false};
    bool FTalked = false;
    std::vector<TSimFault> FFaults;
    std::vector<TSimFault> FCurrent; // faults drawn for the frame being answered
    std::mt19937 FRandom;
    int FRatePercent = 0;
    std::vector<TSimFault::TKind> FRateKinds;
    double FComms[100] = {};
    std::atomic<int> FFramesReceived{0};
    std::atomic<uint64_t> FBytesIn{0}, FBytesOut{0};
    // Parser.
    enum { psIdle, psFrame, psCheck } FParse = psIdle;
    std::string FFrame, FLine;
    // Command line: a "LOAD" block takes lines without a prompt until a
    // Ctrl-Z; the lines loaded set entries 31 and 32 when the program runs.
    bool FLoading = false;
    std::vector<std::string> FProgram;
    void LoadedVersions();
    std::string FHeldAck; // a duplicate acknowledgement for the next frame
    std::string FPrefix;  // goes out before the next answer, in one write
    bool FFrozen = false;
    // Motion: start time, duration, per-axis from/to (steps).
    TAxisMotion FAxis[3];
    int64_t FMotionStart = 0;
    double FMotionMs = 0;
    double FHomeFeed = 1000;
    // Pending timed events.
    int64_t FClearAt = -1;
    // The firmware names only the entry it changed last (entry 99): a
    // command completed while the guard's opening is still unread would
    // hide it from the PC. The completion waits until entry 19 is read, so
    // a run sees the open guard however late its worker reads.
    bool FGuardUnread = false;
    bool FGuardCloseOnStop = false;
    int FNeverDoneCode = -1000;
    struct TLater {
        int64_t At;
        std::string Bytes;
        std::string Kind;
    };
    std::vector<TLater> FLater;
    void Later(int64_t At, const std::string &Bytes, const std::string &Kind);
    // The earliest At of FLater; set before the input that made it counts.
    std::atomic<int64_t> FNextDue{INT64_MAX};
    // Set from before a read of the PC's bytes until they are answered.
    std::atomic<bool> FReading{false};
    std::vector<std::pair<int, double>> FChanges; // under the lock
    std::atomic<uint32_t> FInputs{5};
    int64_t FLineFreeAt = 0;
};

} // namespace orv
