#pragma once
// What the queued and router-box controllers share: a local comms array
// (nothing is sent for it), the feed and override slots that only store,
// and the threaded serial component they open with their line settings.

#include "links/BasicController.h"
#include "links/ThreadComm32.h"

#include <memory>
#include <string>

namespace orv {

class TLineController : public TBasicController {
public:
    TLineController();
    ~TLineController() override;

    void SetErrorHandler(TControllerErrorEvent Handler) override { OnError = std::move(Handler); }
    // Stores the feed unless it is the stored one or 9999999 (no feed).
    void SetFeedRate(int StepsPerSecond) override;
    void SetSpindleSpeed(int Rpm) override { SpindleSpeed = Rpm; }
    int GetFeedOverride() override { return 100; }
    // Stored in comms 5 / 6.
    void SetFeedOverride(int Percent) override;
    int GetSpindleOverride() override;
    void SetSpindleOverride(int Percent) override;
    // The local array, entries 0 to 99.
    void WriteComms(int Index, Extended Value) override;
    Extended ReadComms(int Index) override;
    void NotifyDone(TObject *Sender, bool InPosition) override;
    TThreadComm32 &Port() { return *FPort; }

    // The settings file of the port map; empty: the main settings file.
    std::string SettingsFile;

protected:
    // Clears the comms array and opens "COM" + Port with these settings; a
    // port that cannot be opened is reported (the component's words) and
    // gives false. What names the controller in the report.
    bool OpenLine(int Port, TBaudRate Baud, TParity Parity, TDataBits Bits,
                  bool HardwareHandshaking, const std::string &What);

    Extended FComms[100] = {};
    std::unique_ptr<TThreadComm32> FPort;
};

} // namespace orv
