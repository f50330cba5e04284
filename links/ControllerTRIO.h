#pragma once
// The controller of Control Type 3: a Trio motion controller on its serial
// command line, through one TLowLevelTRIO worker. Moves go as "MA(x,y,z)"
// and complete when a table poll shows the axes idle; the Trio takes no
// arcs (its machine files expand them), no M codes and no tools.

#include "links/BasicController.h"

#include <memory>

namespace orv {

class TLowLevelTRIO;

class TControllerTRIO : public TBasicController {
public:
    TControllerTRIO();
    ~TControllerTRIO() override;

    void SetErrorHandler(TControllerErrorEvent Handler) override;
    void SetPollingDelay(int Turns) override;
    // "SP(f)" unless f is the stored feed or 9999999 (no feed).
    void SetFeedRate(int StepsPerSecond) override;
    void SetSpindleSpeed(int Rpm) override { SpindleSpeed = Rpm; }
    int GetFeedOverride() override { return 100; }
    void SetFeedOverride(int Percent) override { FeedOverride = Percent; }
    int GetSpindleOverride() override { return 0; }
    void SetSpindleOverride(int Percent) override { SpindleOverride = Percent; }
    // 38400 baud, 7 data bits, even parity, 2 stop bits whatever is asked;
    // false when the port is unsupported or cannot be opened.
    bool Open(int Port, int Baud, int StopBits, bool HardwareHandshaking) override;
    void WriteComms(int Index, Extended Value) override {}
    Extended ReadComms(int Index) override { return 0; }
    bool IsSafe() override { return true; }
    // "SP(10000)" then "DATUM(3) AXIS(axis)".
    void Home(int Axis, int Direction) override;
    // Table entries 0 to 2; false while any of them is not reported.
    bool GetPosition(int32_t &X, int32_t &Y, int32_t &Z) override;
    void MoveLinear(int32_t X, int32_t Y, int32_t Z, bool LookAhead) override;
    void SetTurboMode(bool On) override;
    void MoveAxisAbsolute(int Axis, int32_t Position) override;
    void MoveAxisRelative(int Axis, int32_t Distance) override;
    void Stop() override;
    void MoveRapid(int32_t X, int32_t Y, int32_t Z) override;
    // The Trio takes no arcs: reported as a machine error (the run stops).
    void MoveArc(int32_t X, int32_t Y, int32_t Z, int32_t CentreX, int32_t CentreY, int32_t CentreZ,
                 int32_t Radius, double Sweep, bool LookAhead, int Plane) override;
    void NotifyDone(TObject *Sender, bool InPosition) override;
    bool IsIdle() override;
    bool ReadInput(int Index) override { return false; }
    // "OP(n,text)" for outputs 0 to 7.
    void SetOutput(int Index, const std::string &Value) override;

    TLowLevelTRIO &Worker() { return *FWorker; }
    // The settings file of the port map; empty: the main settings file.
    std::string SettingsFile;

private:
    std::unique_ptr<TLowLevelTRIO> FWorker;
};

} // namespace orv
