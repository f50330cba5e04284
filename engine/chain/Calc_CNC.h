#pragma once
// The move calculator, last stage of the block-processing chain: turns one
// fully processed block (absolute mm, arcs resolved, cycles and cutter
// compensation applied) into the move and event records that the output
// sinks and the machine consume, applying mirror imaging (M70/M71),
// coordinate rotation (G68) and scaling (G51) to finished moves.

#include "engine/core/Base_cnc.h"
#include "engine/core/data_types.h"

#include <array>

namespace orv {

class TCalc_CNC : public TBase_cnc {
public:
    explicit TCalc_CNC(TComponent *Owner = nullptr) : TBase_cnc(Owner) {}

    // Hands out the next record into Data. With the stop flag set: true and
    // Data untouched. With the queue empty it first fires OnNextNotify, whose
    // handler pulls the next block and passes it to Calculate. False when
    // nothing was delivered or the record is the end of the program (motion
    // -101 or a negative LineNumber; Data then holds that record).
    bool GetNextData(TCNC_data &Data);

    // Turns one block into its records and queues them; always true. A
    // record whose values fall outside the range of a real (an overflowing
    // macro value, scaled) reports message 2 "Value was not acceptable" with
    // the words concerned and is queued as "nothing to do". A block
    // that combines a move with G94/G95, G54-G59, "!" or "?" gives two (or
    // more) records: the event records first, then the move, so that no move
    // is dropped. Groups is a scratch copy: mirror, rotation and scaling
    // write the transformed end point back into it. While records are still
    // queued it first waits, serving messages, until they are taken.
    bool Calculate(TCNC_Groups &Groups);

    // Empties the queue (the owner does it when a run starts).
    void ClearQueue();
    // The program starts again from its first line: the remembered position
    // goes back to 0. Rotation and scaling settings stay until the next
    // G68/G69 or G51/G50 block.
    void Rewind();

    int QueueCount() const { return FCount; }

    // Set by the owner: 10. The queue does not depend on it.
    int MaximumListSize = 10;
    // Set while a run is stopped or rewound; cleared when a run starts.
    bool Stopped = false;
    // Rotary axis that goes into TCNC_data::FourthAxis: 1 A, 2 B, 3 C, else none.
    int FourthAxis = 0;

private:
    struct TTransform;
    void FillHeader(TCNC_data &Rec, const TCNC_Groups &G) const;
    bool FillMove(TCNC_data &Rec, const TCNC_Groups &G) const;
    void FillKeyword(TCNC_data &Rec, TCNC_Groups &G) const;
    void FillModal(TCNC_data &Rec, TCNC_Groups &G) const;
    void ApplyMirror(TCNC_data &Rec, TCNC_Groups &G) const;
    void ApplyRotation(TCNC_data &Rec, TCNC_Groups &G);
    void ApplyScaling(TCNC_data &Rec, TCNC_Groups &G);
    bool CheckValues(TCNC_data &Rec);
    void Remember(const TCNC_Groups &G);
    void Push(TCNC_data &&Rec);

    static constexpr int QueueSize = 4;
    std::array<TCNC_data, QueueSize> FSlots;
    int FCount = 0;
    int FFirst = 0; // slot of the queue's first record
    TCNC_data &Slot(int At) { return FSlots[(FFirst + At) % QueueSize]; }
    bool FResult = false;

    double FLastX = 0, FLastY = 0, FLastZ = 0, FLastA = 0, FLastB = 0, FLastC = 0;
    double FRotationX = 0, FRotationY = 0;
    double FRotationAngle = 0; // degrees: minus the programmed R
    float FScaleX = 1, FScaleY = 1, FScaleZ = 1;
    float FScaleCentreX = 0, FScaleCentreY = 0, FScaleCentreZ = 0;
};

} // namespace orv
