#include "links/ControllerNewCommsNewChip.h"

#include "links/LowLevelNewCommsNewChip.h"

namespace orv {

TControllerNewCommsNewChip::TControllerNewCommsNewChip()
    : TControllerNewComms(std::make_unique<TLowLevelNewCommsNewChip>(),
                          "Chip with data length checking") {}

} // namespace orv
