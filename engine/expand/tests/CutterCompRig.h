#pragma once
// Cutter compensation driven alone: a hand-made previous stage, an error log,
// and a machine tooling whose current tool has the diameter asked for.

#include "engine/expand/Cutter_comp.h"
#include "engine/chain/StageBlocks.h"
#include "engine/expand/tests/ExpandTestFeed.h"
#include "machine/Machine_Tooling.h"

#include <vector>

namespace orv::test {

struct TCompRig {
    TFeed Feed;
    TErrorLog Errors;
    TMachine_Tooling Tooling;
    TCutter_comp Comp;

    explicit TCompRig(double Diameter = 10, int LookAhead = 30)
    {
        Tooling.CurrentDiameter = Diameter;
        Comp.Tooling = &Tooling;
        Comp.SetLookAhead(LookAhead);
        Comp.OnNextCompNotify = Feed.Handler();
        Comp.OnErrorEvent = Errors.Handler();
    }

    // Every block handed on up to the end record (left out).
    std::vector<TCNC_Groups> Run() { return Drain(Comp); }
};

} // namespace orv::test
