#pragma once
// The controller of Control Type 5: each operation of the controller
// contract as frames of the framed serial protocol, sent by one TLowLevel
// worker that it owns. A command sequence stops at the first frame the
// worker gives up (the worker reports it).

#include "links/BasicController.h"

#include <memory>

namespace orv {

class TCardTraceView;
class TLowLevel;

class TController : public TBasicController {
public:
    TController();
    ~TController() override;

    void SetErrorHandler(TControllerErrorEvent Handler) override;
    void SetPollingDelay(int Turns) override;
    // Debug: the worker's notes (answers out of turn, writes checked and
    // sent again) go to a trace window.
    void SetDebug(bool On) override;
    // A missing feed (9999999) sends nothing, except after the controller
    // came back ready, when the last real feed goes again.
    void SetFeedRate(int StepsPerSecond) override;
    void SetSpindleSpeed(int Rpm) override;
    int GetFeedOverride() override;
    void SetFeedOverride(int Percent) override;
    int GetSpindleOverride() override;
    void SetSpindleOverride(int Percent) override;
    bool Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) override;
    // Indexes above 99 are not the controller's: ignored. Command entries
    // (7, 17, 18, 20) are followed by the handshake "01,<index>" only when
    // the value arrived.
    void WriteComms(int Index, Extended Value) override;
    Extended ReadComms(int Index) override;
    void GetVersion(std::string &Text) override;
    bool IsStopped() override;
    bool IsSafe() override;
    void Home(int Axis, int Direction) override;
    bool GetPosition(int32_t &X, int32_t &Y, int32_t &Z) override;
    void MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) override;
    void SetTurboMode(bool On) override;
    void MoveAxisAbsolute(int Axis, int32_t Position) override;
    void MoveAxisRelative(int Axis, int32_t Distance) override;
    void Stop() override;
    void MoveRapid(int32_t X, int32_t Y, int32_t Z) override;
    // XY arcs only: "CA" carries the centre and the angle
    // (counter-clockwise positive, one decimal).
    void MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY, int32_t CentreZ,
                 int32_t Radius, double Sweep, bool LookAhead, int Plane) override;
    void NotifyDone(TObject *Sender, bool InPosition) override;
    bool IsIdle() override;
    bool ReadInput(int Index) override;
    void SetOutput(int Index, const std::string &Value) override;
    // False once a frame was given up: nothing more goes out but one stop.
    bool Connected() override;

    // True when the last frame sent was acknowledged.
    bool LastSendOk() const { return FLastOk; }
    TLowLevel &Worker() { return *FWorker; }

    // The settings file of the port map; empty: the main settings file.
    std::string SettingsFile;

protected:
    // A controller of another worker (the same frames over another driver).
    explicit TController(std::unique_ptr<TLowLevel> Worker);

private:
    bool Write(int Channel, const std::string &Payload, const std::string &Command);
    bool Move(int Channel, const std::string &Payload, const std::string &Command);

    std::unique_ptr<TLowLevel> FWorker;
    std::unique_ptr<TCardTraceView> FTrace;
    bool FLastOk = true;
    bool FStopTried = false; // the one stop of a failed line
};

// "0.0" text of an arc angle.
std::string ArcAngleText(double Degrees);

} // namespace orv
