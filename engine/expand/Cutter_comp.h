#pragma once
// TCutter_comp: tool-radius compensation. It offsets the programmed path in
// the plane in use (G17 XY, G18 XZ, G19 YZ) by the tool radius to the left
// (G41) or right (G42) of the direction of travel, seen from the positive
// end of the plane's normal, inserting straight moves at outside corners;
// the axis along the normal is never offset. It also rates the corners of a
// look-ahead window of blocks to mark where the machine may run on without
// stopping. It pulls from canned-cycle expansion through its owner and hands
// blocks to the move calculator. Blocks arrive absolute, in millimetres,
// with arcs resolved (centre in I, J, K, word 37 the radius).

#include "engine/chain/RecordQueue.h"
#include "engine/core/Base_cnc.h"
#include "engine/core/data_types.h"

#include <deque>

namespace orv {

class TMachine_Tooling;
struct TPoint2D;

enum TComp_type : uint8_t { compOff, compLeft, compRight };

class TCutter_comp : public TBase_cnc {
public:
    // Corner rating looks at three window blocks at a time; a smaller window
    // is raised to this.
    static constexpr int MinimumLookAhead = 3;

    explicit TCutter_comp(TComponent *Owner = nullptr);
    ~TCutter_comp() override;

    // Blocks in the look-ahead window ([Default Settings] "Look Ahead",
    // default 30); values below MinimumLookAhead are raised to it.
    int LookAhead() const { return FLookAhead; }
    void SetLookAhead(int Value);
    // Feed limiting of contour moves to ContourFeed.
    bool TurboMode() const { return FTurboMode; }
    void SetTurboMode(bool Value) { FTurboMode = Value; }

    // The next block, handed on in a record of the stage's own that stays
    // as it is until the next call (no copy of the record); nullptr while
    // Stopped or with nothing to pull from. Errors (all with the line of the
    // block concerned): detail "Compensation Error" with message 43 "No
    // Movement to start Compensation with" (compensation starts on an arc),
    // 44 "Cannot Start or End with an Arc" (G40/G41/G42 on an arc), 46
    // "Offset value can not be zero" (no usable tool diameter).
    TCNC_Groups *Next();
    // The same block into Data; Data stays as it is when there is none.
    void GetNext(TCNC_Groups &Data);

    TComp_type CurrentComp = compOff;
    bool LookAheadOn = false;
    double CompensationAmount = 0; // tool radius, mm; set at each compensated block
    double ContourAngle = 0;       // degrees: corners from this angle stop the run-on
    double ContourFeed = 0;        // mm/min: highest contour feed in turbo mode
    int ControlType = 0;           // 7 lets every corner run on
    double ShortestContour = 0;    // mm, "Shortest Contour" of the machine data
    double ShortestTime = 0;       // braking time in seconds, "Shortest Time"
    // The machine tooling, for the current tool's diameter.
    TMachine_Tooling *Tooling = nullptr;
    // Set when a run stops or rewinds, cleared at its start.
    bool Stopped = false;
    // Cleared at a run start: the next request fills the window afresh.
    bool Primed = false;

    EGetCompNextNotify OnNextCompNotify;

    // The plane a block is compensated in: the words of its two axes and
    // of its centre, first axis across and second up. G18 is X across and
    // Z up (its arcs arrive with G02 and G03 exchanged for that view), which
    // looks at the plane from -Y: left and right swap there.
    struct TPlaneAxes {
        int First = wX, Second = wY;
        int CentreFirst = wI, CentreSecond = wJ;
        bool SidesSwapped = false;
    };
    static TPlaneAxes PlaneAxesOf(const TCNC_Groups &Block);

private:
    struct TArcShape;
    struct TJoin;

    TCNC_Groups &Prime();
    TCNC_Groups &Advance();
    void PullIntoWindow();
    void RateCorner(int Middle);
    void LimitContourFeed(TCNC_Groups &Block) const;
    bool RunsOn(const TCNC_Groups &Middle, const TCNC_Groups &Later, double Angle) const;
    void StopBefore(int Middle);

    // True when the block goes on alone as it is now; else what it makes
    // waits in the output queue.
    bool Compensate(TCNC_Groups &Block);
    void CheckSwitches(const TCNC_Groups &Block, bool Arc);
    bool CompensateMove(TCNC_Groups &Block, int Side, bool Arc);
    void PassUnchanged(TCNC_Groups &Block, int Side);
    double ToolRadius(const TCNC_Groups &Block);
    bool FindNext(TJoin &Join, const TCNC_Groups &Block) const;
    void JoinStraightStraight(const TCNC_Groups &Block, const TJoin &Join);
    void JoinStraightArc(const TCNC_Groups &Block, const TJoin &Join);
    void JoinArcStraight(const TCNC_Groups &Block, const TJoin &Join);
    void JoinArcArc(const TCNC_Groups &Block, const TJoin &Join);
    TArcShape ArcShape(const TCNC_Groups &Arc) const;

    TPoint2D EndOf(const TCNC_Groups &Block) const;
    TPoint2D Programmed() const;
    void SetPlanePoint(TCNC_Groups &Block, const TPoint2D &P) const;
    void Remember(const TCNC_Groups &Block);

    void EmitStraight(const TCNC_Groups &Template, const TPoint2D &P, int Mark, bool Inserted);
    void EmitArc(const TCNC_Groups &Arc, const TPoint2D &P, const TArcShape &Shape);
    void ReportComp(const TCNC_Groups &Block, int Message);

    int FLookAhead = 30;
    bool FTurboMode = false;
    TRecordQueue<TCNC_Groups> FWindow;
    TCNC_Groups FFirst; // the first block of a run
    TRecordQueue<TCNC_Groups> FOutput;
    int FState = 0;                // 0 just switched on, 1 running, 2 being cancelled
    int FSide = 0;      // 1 left, 2 right in the plane's view while a block is compensated
    double FRadius = 0; // r of the block being compensated
    TPlaneAxes FPlane;  // of the block being compensated
    // X, Y, Z: the programmed end of the last block, and the end of the last
    // emitted compensated block (its axes outside the plane unused).
    double FProgrammed[3] = {0, 0, 0};
    double FCompensated[3] = {0, 0, 0};
};

} // namespace orv
