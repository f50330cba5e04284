#pragma once
// The controller of Control Type 0: the Control Type 5 controller over the
// message-driven worker. Overrides go to the controller only while the
// machine has no potentiometer for them ([Machine Capability] "Feed Pot",
// "Speed Pot").

#include "links/Controller.h"

namespace orv {

class TControllerNewComms : public TController {
public:
    TControllerNewComms();

    // Stores the percentage; comms entry 5 (6) only without "Feed Pot"
    // ("Speed Pot").
    void SetFeedOverride(int Percent) override;
    void SetSpindleOverride(int Percent) override;
    // The chip line, LF, then the controller's "vn" reply.
    void GetVersion(std::string &Text) override;

protected:
    TControllerNewComms(std::unique_ptr<TLowLevel> Worker, std::string ChipLine);

private:
    std::string FChipLine;
};

} // namespace orv
