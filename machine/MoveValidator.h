#pragma once
// Decides whether a move stays inside the machine's travel and clamps the
// spindle speed to the machine's range. Coordinates are millimetres in
// machine coordinates (work offset and tool length already added).

namespace orv {

class TRead_Machinedata_file;

class TMoveValidator {
public:
    // Copies the travel corners of [Machine Capability]; a later reload of
    // the machine data takes effect with a new validator.
    explicit TMoveValidator(const TRead_Machinedata_file &MachineData);

    // True when both end points lie inside the travel box, bounds included
    // (the box is convex, so the straight path between them does too).
    bool CheckLine(double StartX, double StartY, double StartZ, double EndX, double EndY,
                   double EndZ) const;

    // True when the arc's bounding rectangle lies inside the travel of the
    // plane's two axes. Direction: 2 clockwise, 3 counter-clockwise. Plane
    // 17 takes (U, V) as (X, Y), 18 as (X, Z), 19 as (Y, Z).
    bool CheckArc(int Direction, int Plane, double StartU, double StartV, double EndU, double EndV,
                  double CentreU, double CentreV) const;

    // Speed held within [Spindle] "Minimum Speed" .. "Maximum Speed", rpm.
    int ClampSpindle(int Speed) const;

    struct TCorner {
        double X = 0, Y = 0, Z = 0;
    };
    const TCorner &MinCorner() const { return FMin; }
    const TCorner &MaxCorner() const { return FMax; }

private:
    TCorner FMin;
    TCorner FMax;
    const TRead_Machinedata_file &FMachineData;
};

} // namespace orv
