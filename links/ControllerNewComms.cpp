#include "links/ControllerNewComms.h"

#include "links/LowLevelNewComms.h"
#include "machine/Read_Machinedata_file.h"

namespace orv {

TControllerNewComms::TControllerNewComms()
    : TControllerNewComms(std::make_unique<TLowLevelNewComms>(),
                          "Chip without data length checking") {}

TControllerNewComms::TControllerNewComms(std::unique_ptr<TLowLevel> Worker, std::string ChipLine)
    : TController(std::move(Worker)), FChipLine(std::move(ChipLine)) {}

void TControllerNewComms::SetFeedOverride(int P) {
    if (P == FeedOverride)
        return;
    FeedOverride = P;
    if (!MachineData || !MachineData->MachineCapability.FeedPot)
        WriteComms(comms::FeedOverride, P);
}

void TControllerNewComms::SetSpindleOverride(int P) {
    if (P == SpindleOverride)
        return;
    SpindleOverride = P;
    if (!MachineData || !MachineData->MachineCapability.SpeedPot)
        WriteComms(comms::SpeedOverride, P);
}

void TControllerNewComms::GetVersion(std::string &Text) {
    std::string reply;
    TController::GetVersion(reply);
    Text = FChipLine + "\n" + (reply.empty() ? std::string("No Version info available") : reply);
}

} // namespace orv
