#pragma once
// The controller of Control Type 6: Control Type 0 over the worker whose
// write frames carry a length byte.

#include "links/ControllerNewComms.h"

namespace orv {

class TControllerNewCommsNewChip : public TControllerNewComms {
public:
    TControllerNewCommsNewChip();
};

} // namespace orv
