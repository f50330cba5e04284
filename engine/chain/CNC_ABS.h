#pragma once
// The absolute stage: makes a parsed, metric block absolute in place
// (incremental G91 distances, polar G16 coordinates, the U, V, W axes),
// resolves its arc (centre from R or from I, J, K; radius; signed sweep),
// keeps the position reached and tracks the mirror M codes. It receives the
// block from the metric stage; the stages after it see absolute millimetres.

#include "engine/core/Base_cnc.h"
#include "platform/NumberText.h"

namespace orv {

class TCNC_Groups;

// Word index of the mark "arc not resolved": set on a block whose arc failed
// its checks, so that the move calculator turns it into a record that no
// output draws or runs. The parser clears it with the other present flags.
constexpr int wArcUnresolved = 35;

// Remembered axis position, mm (A, B, C as programmed).
struct TAxisPosition {
    double X = 0, Y = 0, Z = 0, A = 0, B = 0, C = 0;
};

class TCNC_ABS : public TBase_cnc {
public:
    explicit TCNC_ABS(TComponent *Owner = nullptr) : TBase_cnc(Owner) {}

    // Makes Groups absolute (see above). A block with a bracket keyword is
    // left unchanged and gives false; every other block gives true.
    // Writes word 33/34 (incremental X/Y as programmed under G91, else 0),
    // for arcs I, J, K (absolute centre), word 36 (sweep, degrees, positive
    // clockwise) and word 37 (radius, with its present flag). Arc failures
    // go to OnErrorEvent with the block's LineNumber: message 33 "Invalid
    // Radius" or 34 "Bad ARC End Point" with detail message 35 "Radius"
    // (also shown when ShowErrorDialogueBox), or "Cannot rotate arcs in
    // current plane" / "Rotation error" (never shown); the block then
    // carries the wArcUnresolved mark.
    bool MakeAbsolute(TCNC_Groups &Groups);

    // The program starts again from its first line: the remembered position,
    // the polar radius and angle go back to 0 and the plane to G17, so a
    // second run of an incremental or polar program repeats the first.
    void Rewind();

    // Block-skip switch: blocks carrying "/" are skipped while it is on; a
    // skipped block neither moves the remembered position nor sets mirrors.
    bool BlockSkip = false;

    // Where a G28 leaves the axes it names, in program millimetres (the
    // machine's reference point less the work offset and tool length); the
    // engine keeps it in step with the offsets.
    TAxisPosition ReferencePoint;

    const TAxisPosition &Position() const { return FPosition; }
    int Plane() const { return FPlane; }

private:
    void RestoreUnexchangedMotion(TCNC_Groups &G);
    void MakeIncrementalAbsolute(TCNC_Groups &G) const;
    void ApplyPolar(TCNC_Groups &G);
    void ApplyUVW(TCNC_Groups &G) const;
    void RestorePosition(TCNC_Groups &G) const;
    void RestoreCarriedAxes(TCNC_Groups &G);
    void RememberReferencePoint(const TCNC_Groups &G);
    void Remember(const TCNC_Groups &G);
    void ResolveArc(TCNC_Groups &G);
    bool CentreFromRadius(TCNC_Groups &G, int Motion);
    bool CentreFromOffsets(TCNC_Groups &G);
    void WriteArc(TCNC_Groups &G, int Motion);
    void ReportArcError(TCNC_Groups &G, int Message);

    TAxisPosition FPosition;
    int FPlane = 17;
    double FPolarRadius = 0;
    double FPolarAngle = 0;
    int FExchangedFrom = 0; // motion code programmed before a G18 exchange, 0 none
    bool FCarriedStale = false; // the last block's axis words named no end point

    // Working values of the arc being resolved, in the plane's two axes.
    Extended FStartFirst = 0, FStartSecond = 0;
    Extended FEndFirst = 0, FEndSecond = 0;
    Extended FCentreFirst = 0, FCentreSecond = 0;
    Extended FRadius = 0;
};

} // namespace orv
