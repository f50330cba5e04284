#pragma once
// Where program coordinates meet machine coordinates: adds and removes the
// work offset and the tool length (mm), and converts millimetres to integer
// motor steps and back with the machine data's steps per mm and motor
// directions. Feeds: mm/min in programs, steps per second on the machine.

#include "machine/MachineCommands.h"
#include "platform/Classes.h"

#include <memory>

namespace orv {

class TCNC_data;
class TRead_Machinedata_file;

class TConvert : public TComponent {
public:
    TConvert(TComponent *Owner, const TRead_Machinedata_file *MachineData);
    ~TConvert() override;

    // Dest := Source with the work offset added to X, Y, I, J and offset
    // plus tool length to Z and K; unset values (9e9) stay unset.
    void AddOffsets(const TCNC_data &Source, TCNC_data &Dest);
    // The reverse of AddOffsets for a position in mm.
    void RemoveOffsets(Extended &X, Extended &Y, Extended &Z) const;
    void RemoveOffsets(TXYZ &P) const { RemoveOffsets(P.X, P.Y, P.Z); }

    // The move record in motor steps: positions times steps per mm times
    // motor direction, feed F * "Steps per mill F" / 60 (steps per second),
    // each to the nearest integer (halves to even). An unset real (9e9) or a
    // value beyond the integer range gives NoSteps. R and Radius are
    // lengths: they take the size of the scale of the plane's first axis (X
    // for G17 and G18, Y for G19) and never the motor's sign.
    void ToMachine(const TCNC_data &Data, TMachineBlock &Block) const;

    // Steps (and steps per second) back to mm (and mm/min), undoing the
    // motor direction too. An axis whose scale is zero reads 0.
    void FromMachine(TMachinePosition &P) const;
    void PositionFromSteps(Extended &X, Extended &Y, Extended &Z) const;
    void PositionFromSteps(TXYZ &P) const { PositionFromSteps(P.X, P.Y, P.Z); }

    // One axis (0 X, 1 Y, 2 Z, 3 fourth) from mm to steps with its motor
    // direction, to the nearest integer; NoSteps when it does not fit.
    int32_t AxisToSteps(int Axis, double Millimetres) const;
    // Steps per mm times motor direction of an axis (0 X, 1 Y, 2 Z, 3 fourth).
    double AxisScale(int Axis) const;

    double OffsetX = 0, OffsetY = 0, OffsetZ = 0; // active work offset, mm
    double ToolLength = 0;                        // length offset of the current tool, mm

    const TRead_Machinedata_file *MachineData() const { return FMachineData; }

private:
    double FeedScale() const;
    int32_t FeedSteps(double Feed) const;

    std::unique_ptr<TCNC_data> FScratch;
    const TRead_Machinedata_file *FMachineData;
};

} // namespace orv
