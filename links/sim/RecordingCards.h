#pragma once
// Recording motion cards for tests and ncrun: the Mint controls of the
// first card (A) and the newer card (B) without hardware. Every call is
// recorded as "id(arg,...)"; a comms array answers reads (entry 19 at 1,
// the handshake entry 1 cleared 20 ms after a command is written); axes
// move on the event loop's clock and raise the axis-idle event when they
// stop; card B answers call 90 only when connected on its own port and
// raises data events on demand; any call fails on demand. An emergency
// stop on demand: the card halts its axes and reports the stop (card A
// through call 552, card B through comms 37 and its data event) until it
// is released.

#include "links/MintControl.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orv {

class TTimer;

// The state both cards share.
class TRecordingCard {
public:
    TRecordingCard();
    ~TRecordingCard();

    // Call Id raises EMintError the next Count times.
    void FailOn(int Id, int Count = 1) { FFail[Id] += Count; }
    // The e-stop is pressed as call Id is made (on the next tick).
    void EStopAt(int Id) { FEStopAt = Id; }
    // The e-stop is pressed from the start and released ReleaseMs after the
    // first idle query (call 368 or 369: the link's first poll sees it).
    void EStopHeld(int ReleaseMs) {
        FEStopHeldMs = ReleaseMs;
        SetStopped(true);
    }
    // Faults from a text "estop-at:ID" or "estop-held:MS" (several separated
    // by ";"); false for a text that names none of them.
    bool Faults(const std::string &Text);
    std::vector<std::string> Calls;
    float Comms[100] = {};
    uint32_t Inputs = 0;
    int16_t MoveCount = 3; // card A's call 431
    bool Stopped = false;  // card A's call 552
    double Speed[3] = {1000, 1000, 1000};
    // Where the calls go when the card is destroyed ("" none), appended.
    std::string LogFile;
    // Calls not recorded (the status reads of a long run).
    std::vector<int> Unrecorded;
    // Motion runs this many times faster than its feed.
    double SpeedUp = 1;

    void Record(int Id, const std::string &Args);
    void Position(int Axis, float &Value) const;
    bool AxisIdle(int Axis) const;
    void Load(int Axis, double Target);
    void Start();
    void Halt(int Axis);
    void Arc(int A, int B, double CentreA, double CentreB, double Angle);
    void SetComms(int16_t Index, float Value);
    std::function<void(int16_t)> *IdleEvent = nullptr;

protected:
    // How the card shows its stop: card A answers call 552, card B sets
    // comms 37 and raises its data event.
    virtual void SetStopped(bool On) { Stopped = On; }
    // The link looked at the axes or the stop: a held e-stop's release
    // time starts then.
    void StateQueried();

private:
    void Tick();
    void PressOrRelease();
    int FEStopAt = -1, FEStopHeldMs = -1;
    bool FPress = false;
    int64_t FReleaseAt = -1;
    struct TAxis {
        double From = 0, To = 0, Loaded = 0;
        bool HasLoad = false;
        int64_t Start = 0;
        double Ms = 0;
    };
    double At(int Axis) const;
    TAxis FAxis[3];
    bool FWasMoving = false;
    bool FStarted = false; // a move started since the last tick
    int64_t FClearHandshakeAt = -1;
    std::map<int, int> FFail;
    std::unique_ptr<TTimer> FTimer;
};

class TRecordingCardA : public TMintControl, public TRecordingCard {
public:
    TRecordingCardA() { IdleEvent = &OnAxisIdleEvent; }
    void DownloadDone96() override;
    void SetComms103(int16_t Index, float Value) override;
    void GetComms104(int16_t Index, float &Value) override;
    void DriveStep203(int16_t Axis) override;
    void Circle218(int16_t AxisA, int16_t AxisB, float CentreA, float CentreB,
                   float Angle) override;
    void Setup236(int16_t Axis, int16_t Value) override;
    void DriveEnable264(int16_t Axis, bool On) override;
    void Speed304(int16_t Axis, float Feed) override;
    void Setup306(int16_t Axis, int16_t Value) override;
    void FeedOverride307(int16_t Zero, float &Percent) override;
    void Go331(int16_t Count, const std::vector<int32_t> &Axes) override;
    void Home347(int16_t Axis, int16_t Mode) override;
    void Idle368(int16_t Axis, bool &Idle) override;
    void Inputs376(int16_t Zero, int32_t &Bits) override;
    void MoveA430(int16_t Axis, float Position) override;
    void MoveCount431(int16_t Zero, int16_t &Count) override;
    void MoveR438(int16_t Axis, float Distance) override;
    void Position464(int16_t Axis, float &Position) override;
    void StopAxis551(int16_t Axis) override;
    void Stopped552(int16_t Zero, bool &Stopped) override;
    void Vector572(int16_t Count, const std::vector<int32_t> &Axes,
                   const std::vector<float> &Targets) override;
    void Enable606(bool On) override;
    void Events611(bool On) override;
    void Connect941(int16_t Card, int16_t Port, int32_t Baud, bool On) override;
};

class TRecordingCardB : public TMintControl5023, public TRecordingCard {
public:
    TRecordingCardB() { IdleEvent = &OnAxisIdleEvent; }
    int CardPort = 1; // call 90 answers only when connected on this port
    // The card changes comms Code and raises its data event.
    void RaiseData(int16_t Code, float Value);
    void SetStopped(bool On) override;

    void DownloadFirmware87(const std::string &Path) override;
    void Version90(int32_t &Version) override;
    void Run97() override;
    void SetComms104(int16_t Index, float Value) override;
    void GetComms105(int16_t Index, float &Value) override;
    void DownloadProgram107(const std::string &Path) override;
    void DriveStep204(int16_t Axis) override;
    void Reset207() override;
    void Circle219(int16_t AxisA, int16_t AxisB, float CentreA, float CentreB,
                   float Angle) override;
    void DriveEnable265(int16_t Axis, bool On) override;
    void Speed305(int16_t Axis, float Feed) override;
    void Setup307(int16_t Axis, int16_t Value) override;
    void FeedOverride308(int16_t Zero, float &Percent) override;
    void Go332(int16_t Count, const std::vector<int16_t> &Axes) override;
    void Home348(int16_t Axis, int16_t Mode) override;
    void Idle369(int16_t Axis, bool &Idle) override;
    void Inputs377(int16_t Zero, int32_t &Bits) override;
    void MoveA431(int16_t Axis, float Position) override;
    void MoveR439(int16_t Axis, float Distance) override;
    void Position465(int16_t Axis, float &Position) override;
    void StopAxis552(int16_t Axis) override;
    void Suspend559(int16_t Axis, int16_t Suspend) override;
    void Vector573(int16_t Count, const std::vector<int16_t> &Axes,
                   const std::vector<float> &Targets) override;
    void Enable606(bool On) override;
    void Events612(bool On) override;
    void Connect942(int16_t Card, int16_t Port, int32_t Baud, bool On) override;
    void PutContourAngle1305(int16_t Axis, float Value) override;

private:
    int FConnected = -1;
};

// Installs factories of recording cards whose calls, without the status
// reads, are appended to LogFile when each card is destroyed; their motion
// runs SpeedUp times faster; Faults as for TRecordingCard::Faults.
void InstallRecordingCards(const std::string &LogFile, double SpeedUp = 50,
                           const std::string &Faults = "");

} // namespace orv
