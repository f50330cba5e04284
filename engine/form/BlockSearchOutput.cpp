#include "engine/form/BlockSearchOutput.h"

#include "engine/core/DUtils.h"
#include "engine/chain/EngineHost.h"
#include "engine/core/data_types.h"
#include "platform/NumberText.h"

namespace orv {

TBlockSearchOutput::TBlockSearchOutput(std::unique_ptr<TBlockSearchView> View)
    : FView(std::move(View))
{
}

TBlockSearchOutput::~TBlockSearchOutput() = default;

bool TBlockSearchOutput::Initialise()
{
    TBasicOutput::Initialise();
    Reset();
    FTarget = 0;
    ShowState();
    if (FView)
        FView->Show();
    return true;
}

void TBlockSearchOutput::Reset()
{
    FX = FY = FZ = FF = 0;
    FMotion = -1;
    FM = -1;
    FS = 0;
    FT = 0;
    FLine = -1;
    FMCodes.clear();
    FReached = false;
}

void TBlockSearchOutput::SetTarget(int Line)
{
    if (FReached)
        return;
    FTarget = Line;
    Reset();
    ShowState();
}

void TBlockSearchOutput::ShowState()
{
    if (!FView)
        return;
    bool inch = Units == TUnits::Inch;
    TBlockSearchShown shown;
    // -1 stands for "none yet": the field stays empty.
    auto Known = [](int Value) { return Value < 0 ? std::string() : IntToStr(Value); };
    shown.G = Known(FMotion);
    shown.X = FloatToUnitsText(inch, FX);
    shown.Y = FloatToUnitsText(inch, FY);
    shown.Z = FloatToUnitsText(inch, FZ);
    shown.F = FloatToUnitsText(inch, FF);
    shown.T = IntToStr(FT);
    shown.M = Known(FM);
    shown.S = IntToStr(FS);
    shown.SearchBlock = Known(FLine);
    shown.TargetBlock = IntToStr(FTarget);
    shown.MCodes = FMCodes;
    FView->ShowValues(shown);
}

void TBlockSearchOutput::Start()
{
    Stopped = false;
    FReached = false;
    TBasicOutput::Start();
}

void TBlockSearchOutput::Collect(const TCNC_data &Data)
{
    if (Data.Motion >= 0) {
        FMotion = Data.Motion;
        if (Data.X != NoValue)
            FX = Data.X;
        if (Data.Y != NoValue)
            FY = Data.Y;
        if (Data.Z != NoValue)
            FZ = Data.Z;
    }
    if (Data.Feed != NoValue)
        FF = Data.Feed;
    if (Data.Tool != NoMoveCode)
        FT = Data.Tool;
    if (Data.MCode != NoMoveCode) {
        if (Data.MCode != FM && FM >= 0)
            FMCodes.push_back(IntToStr(FM));
        FM = Data.MCode;
    }
    // An unset spindle speed is -1000 in a move record.
    if (Data.Spindle != NoMoveCode)
        FS = Data.Spindle;
    FLine = Data.LineNumber;
}

void TBlockSearchOutput::Execute(TCNC_data &Data)
{
    Collect(Data);
    ShowState();
    bool isEnd = Data.Motion == EndOfProgramCode;
    // A target line that gives no record of its own (a comment, a line of
    // M codes only) is reached by the first record after it.
    bool atTarget = !isEnd && Data.LineNumber >= FTarget;
    if (!isEnd && !Stopped && !atTarget)
        NotifyNext();
    if (atTarget && !FReached) {
        Stopped = true;
        FReached = true;
        if (OnReached)
            OnReached(this);
    }
    if (isEnd && RunState == csStopped)
        Data.Motion = NoMoveCode;
}

} // namespace orv
