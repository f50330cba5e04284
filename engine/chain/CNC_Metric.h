#pragma once
// The metric stage: turns the lengths of an inch (G20) block into
// millimetres in place, so that every stage after it works in millimetres.
// It receives the parsed block straight from the parser and hands it on to
// the absolute stage.

#include "engine/core/Base_cnc.h"

namespace orv {

class TCNC_Groups;

class TCNC_Metric : public TBase_cnc {
public:
    explicit TCNC_Metric(TComponent *Owner = nullptr) : TBase_cnc(Owner) {}

    // In a G20 block every programmed length word (X Y Z U V W Q R I J K D L
    // A B C) and F are multiplied by 25.4. Never converted: P (dwell time,
    // counts); Y in polar mode (G16: an angle); any word of a block that
    // programs G51 (centre and factors); R of a block that programs G68 (an
    // angle); X of a dwell (G04, seconds); K while a canned cycle is active
    // (repeats). Always true;
    // fires OnNextNotify when assigned.
    bool ConvertToMetric(TCNC_Groups &Groups);

    // Kept for the owner; the conversion depends on the block's G20/G21 only.
    bool MetricUnits = false;
};

} // namespace orv
