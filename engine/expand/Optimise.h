#pragma once
// TOptimise: the first stage above the engine form's parsing. It limits each
// move's feed to what the machine's axes allow, raises it to the machine's
// minimum, marks feed changes, and merges runs of very short, almost
// collinear straight feed moves into one, so that finely digitised contours
// do not flood the machine link. Arc expansion pulls blocks from it.

#include "engine/core/Base_cnc.h"
#include "engine/core/data_types.h"

#include <array>

namespace orv {

class TOptimise : public TBase_cnc {
public:
    explicit TOptimise(TComponent *Owner = nullptr);

    // Limits from the machine data: feeds in mm/min ("Minimum Rate",
    // "Maximum Rate Z/Y/X"), merge angle in degrees ("Max Contour Angle"),
    // merge length in mm ("Shortest Contour"; 0 or less: no merging).
    // Resets the merge run and the last feed handed on.
    void SetLimits(double MinimumFeed, double MaximumZFeed, double MaximumYFeed,
                   double MaximumXFeed, double MergeAngle, double MergeLength);

    // The next block into Data (unchanged when none waits). Fills the window
    // through OnNextOptimiseNotify unless stopped; reports nothing.
    void GetNext(TCNC_Groups &Data);

    // Empties the window (the engine form's run start and rewinds).
    void ResetCount()
    {
        FCount = 0;
        FFirst = 0;
    }
    int Count() const { return FCount; }

    // Set when a run stops or rewinds, cleared at its start.
    bool Stopped = false;
    // Fills one block from the engine form.
    EGetCycleNextNotify OnNextOptimiseNotify;

private:
    static constexpr int WindowSize = 3;

    void ResetMergeRun();
    bool FillSlot(int At);
    // The At-th block of the window, from its first.
    TCNC_Groups &Slot(int At) { return FWindow[(FFirst + At) % WindowSize]; }
    void Optimise(); // slots: 0 previous, 1 current, 2 next
    void LimitFeed(const TCNC_Groups &Previous, TCNC_Groups &Current);
    void LimitFirstFeed(TCNC_Groups &First);
    bool MergesCurrent(const TCNC_Groups &Previous, const TCNC_Groups &Current,
                       const TCNC_Groups &Next);
    bool SameWordsAsRun(const TCNC_Groups &Current);
    void DropCurrent();

    std::array<TCNC_Groups, WindowSize> FWindow;
    int FCount = 0;
    int FFirst = 0; // slot of the window's first block

    double FMinimumFeed = 0;
    double FMaximumXFeed = 0;
    double FMaximumYFeed = 0;
    double FMaximumZFeed = 0;
    double FMergeAngle = 0;
    double FMergeLength = 0;
    double FLastFeed = 0;

    double FRunLength = 0;
    int FRunS = 0;
    int FRunM = -1;
    int FRunT = -1;
    int FRunF = -1;
};

} // namespace orv
