#include "machine/convert.h"

#include "engine/core/data_types.h"
#include "machine/Read_Machinedata_file.h"

#include <cmath>

namespace orv {

namespace {

// Value (mm or mm/min) times Scale to the nearest integer step; unset or out
// of range gives NoSteps.
int32_t ScaledSteps(double Value, double Scale) {
    if (Value == NoValue)
        return NoSteps;
    return Round((long double)Value * Scale, NoSteps);
}

// Steps divided by Scale; an unknown scale gives 0 instead of a division by zero.
Extended Unscaled(Extended Steps, double Scale) {
    if (Scale == 0)
        return 0;
    return Steps / Scale;
}

void AddIfSet(double &Value, double Offset) {
    if (Value != NoValue)
        Value += Offset;
}

} // namespace

TConvert::TConvert(TComponent *Owner, const TRead_Machinedata_file *MachineData)
    : TComponent(Owner), FScratch(std::make_unique<TCNC_data>()), FMachineData(MachineData) {}

TConvert::~TConvert() = default;

void TConvert::AddOffsets(const TCNC_data &Source, TCNC_data &Dest) {
    TCNC_data &s = *FScratch;
    s = Source;
    AddIfSet(s.X, OffsetX);
    AddIfSet(s.Y, OffsetY);
    AddIfSet(s.Z, OffsetZ + ToolLength);
    // The arc centre is absolute, so it moves with the end point.
    AddIfSet(s.I, OffsetX);
    AddIfSet(s.J, OffsetY);
    AddIfSet(s.K, OffsetZ + ToolLength);
    Dest = s;
}

void TConvert::RemoveOffsets(Extended &X, Extended &Y, Extended &Z) const {
    X -= OffsetX;
    Y -= OffsetY;
    Z -= OffsetZ + ToolLength;
}

double TConvert::AxisScale(int Axis) const {
    if (!FMachineData)
        return 0;
    const TFeedData &f = FMachineData->Feed;
    switch (Axis) {
    case 0:
        return f.StepsX * f.MotorDirectionX;
    case 1:
        return f.StepsY * f.MotorDirectionY;
    case 2:
        return f.StepsZ * f.MotorDirectionZ;
    case 3:
        return f.StepsIV * f.MotorDirectionIV;
    default:
        return 0;
    }
}

double TConvert::FeedScale() const {
    return FMachineData ? FMachineData->Feed.StepsF / 60.0 : 0;
}

int32_t TConvert::FeedSteps(double Feed) const {
    if (Feed == NoValue || !FMachineData)
        return NoSteps;
    return Round((long double)Feed * FMachineData->Feed.StepsF / 60, NoSteps);
}

int32_t TConvert::AxisToSteps(int Axis, double Millimetres) const {
    return ScaledSteps(Millimetres, AxisScale(Axis));
}

void TConvert::ToMachine(const TCNC_data &Data, TMachineBlock &Block) const {
    Block.S = Data.Spindle;
    Block.M = Data.MCode;
    Block.T = Data.Tool;
    Block.H = Data.LengthOffset;
    Block.BlockType = Data.Motion;
    Block.Feed = FeedSteps(Data.Feed);
    Block.X = ScaledSteps(Data.X, AxisScale(0));
    Block.Y = ScaledSteps(Data.Y, AxisScale(1));
    Block.Z = ScaledSteps(Data.Z, AxisScale(2));
    Block.Fourth = ScaledSteps(Data.FourthAxis, AxisScale(3));
    Block.I = ScaledSteps(Data.I, AxisScale(0));
    Block.J = ScaledSteps(Data.J, AxisScale(1));
    Block.K = ScaledSteps(Data.K, AxisScale(2));
    // A radius is a length in the arc's plane: the size of that plane's
    // first axis scale, whatever way its motor turns.
    double radiusScale = std::fabs(AxisScale(Data.Plane == 19 ? 1 : 0));
    Block.R = ScaledSteps(Data.R, radiusScale);
    Block.Radius = ScaledSteps(double(Data.Radius), radiusScale);
    Block.Sweep = double(Data.Sweep);
}

void TConvert::FromMachine(TMachinePosition &P) const {
    P.X = double(Unscaled(P.X, AxisScale(0)));
    P.Y = double(Unscaled(P.Y, AxisScale(1)));
    P.Z = double(Unscaled(P.Z, AxisScale(2)));
    P.Fourth = double(Unscaled(P.Fourth, AxisScale(3)));
    P.Feed = double(Unscaled(P.Feed, FeedScale()));
}

void TConvert::PositionFromSteps(Extended &X, Extended &Y, Extended &Z) const {
    X = Unscaled(X, AxisScale(0));
    Y = Unscaled(Y, AxisScale(1));
    Z = Unscaled(Z, AxisScale(2));
}

} // namespace orv
