#pragma once
// TCircularExpand: the stage that replaces arcs by chains of straight moves
// when the machine cannot or should not run arcs, and always replaces helical
// arcs (the axis perpendicular to the plane moves too), which nothing
// downstream can run. It pulls blocks from the optimiser through its owner
// and hands them to canned-cycle expansion. Blocks arrive absolute, in
// millimetres, with arcs resolved (I, J, K the centre, word 36 the sweep).

#include "engine/chain/RecordQueue.h"
#include "engine/core/Base_cnc.h"
#include "engine/chain/StageBlocks.h"
#include "engine/core/data_types.h"

#include <deque>

namespace orv {

class TCircularExpand : public TBase_cnc {
public:
    // More chords than this for one arc is a units or parameter error (20 m
    // of arc at the default 0.2 mm), reported instead of expanded.
    static constexpr int MaximumChords = 100000;

    explicit TCircularExpand(TComponent *Owner = nullptr);

    // The next block into Data; pulls through OnNextCycleNotify while nothing
    // waits. With no event and nothing waiting Data stays unchanged.
    // An arc that needs more than MaximumChords chords is reported (detail
    // "Arc expansion exceeds limits ...", message "Check parameters and units
    // are correct", the arc's line) and goes on as one straight move to its end.
    void GetNext(TCNC_Groups &Data);
    // Drops every waiting block and the arc being expanded (run reset).
    void ClearPending();
    // Blocks waiting to be handed up, the rest of an arc not counted.
    int PendingCount() const { return static_cast<int>(FList.size()); }

    EGetCycleNextNotify OnNextCycleNotify;
    // Expand arcs in the plane (from the machine data); helical arcs are
    // expanded whatever this says.
    bool ExpandArcs = false;
    // Target length of one chord, millimetres.
    double MinimumChordLength = 0.2;

private:
    // The arc being turned into chords, one point per request.
    struct TChordRun {
        bool Active = false;
        TCNC_Groups Working;
        TCNC_Groups Arc;
        TPlaneWords Axes{};
        float CentreFirst = 0, CentreSecond = 0;
        double Radius = 0, Angle = 0, Step = 0;
        bool Clockwise = true;
        bool Helical = false;
        double PerpendicularStart = 0, PerpendicularStep = 0;
        int Count = 0, Index = 0;
    };

    // True when the block goes on as it is; an arc to expand starts a
    // chord run instead.
    bool Expand(const TCNC_Groups &Block);
    void StartChords(const TCNC_Groups &Block, bool Helical);
    int ChordCount(const TCNC_Groups &Block, double Radius);
    void EmitNextPoint();
    void EmitEndPoint();
    void Remember(const TCNC_Groups &Block);

    TRecordQueue<TCNC_Groups> FList;
    TChordRun FRun;
    double FX = 0, FY = 0, FZ = 0; // end of the last block handed through
};

} // namespace orv
