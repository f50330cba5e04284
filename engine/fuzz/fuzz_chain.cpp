// Runs arbitrary bytes as an NC program through the file source's line
// reader, the parser, the metric and absolute stages and the move
// calculator: nothing may crash, loop or hand a sink a coordinate that is
// not a number.
#include "engine/core/CNCLineParser.h"
#include "engine/chain/CNC_ABS.h"
#include "engine/chain/CNC_Metric.h"
#include "engine/chain/Calc_CNC.h"
#include "engine/chain/FileInput.h"
#include "engine/core/MacroVars.h"
#include "engine/core/data_types.h"
#include "platform/MessageService.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The fuzzer's bytes as the file the source reads.
class TMemoryFile : public orv::TInputFile {
public:
    TMemoryFile(const uint8_t *Data, size_t Size) : FData(Data), FSize(Size) {}
    TRead ReadByte(uint8_t &Byte) override
    {
        if (FPosition >= FSize)
            return TRead::End;
        Byte = FData[FPosition++];
        return TRead::Byte;
    }
    int64_t Position() const override { return static_cast<int64_t>(FPosition); }
    int64_t Size() const override { return static_cast<int64_t>(FSize); }
    bool SeekStart() override
    {
        FPosition = 0;
        return true;
    }

private:
    const uint8_t *FData;
    size_t FSize;
    size_t FPosition = 0;
};

class TMemoryInput : public orv::TFileInput {
public:
    TMemoryInput(const uint8_t *Data, size_t Size) : FData(Data), FSize(Size) {}

protected:
    std::unique_ptr<orv::TInputFile> OpenFile(const std::string &) override
    {
        return std::make_unique<TMemoryFile>(FData, FSize);
    }

private:
    const uint8_t *FData;
    size_t FSize;
};

struct TFuzzWorld {
    TFuzzWorld() : Vars("/dev/null/fuzz.ini"), Scope(Boxes)
    {
        Parser.SetMacrovars(&Vars);
        auto Ignore = [](orv::TObject *, int, const std::string &, const std::string &) {};
        Parser.OnErrorEvent = Ignore;
        Abs.OnErrorEvent = Ignore;
        Block.Groups[orv::gPlane] = 17;
        Block.Groups[orv::gAbsInc] = 90;
        Block.Groups[orv::gUnits] = 21;
        Block.Groups[orv::gCannedCycle] = 80;
        Block.Groups[orv::gScaling] = 50;
        Block.Groups[orv::gRotation] = 69;
        Block.Groups[orv::gPolar] = 15;
    }
    orv::TMacroVars Vars;
    orv::TScriptedMessages Boxes;
    orv::TMessageServiceScope Scope;
    orv::CNCLineParser Parser;
    orv::TCNC_Metric Metric;
    orv::TCNC_ABS Abs;
    orv::TCalc_CNC Calc;
    orv::TCNC_Groups Block;
};

bool IsNumberOrUnset(double Value)
{
    return std::isfinite(Value);
}

void CheckRecord(const orv::TCNC_data &R)
{
    const double Reals[] = {R.Feed,
                            R.X,
                            R.Y,
                            R.Z,
                            R.FourthAxis,
                            R.I,
                            R.J,
                            R.K,
                            R.R,
                            R.P,
                            static_cast<double>(R.Sweep),
                            static_cast<double>(R.Radius)};
    for (double Value : Reals)
        if (!IsNumberOrUnset(Value))
            std::abort();
}

void RunBlock(TFuzzWorld &W, const std::string &Line, int Position, int LineNumber)
{
    W.Block.InputPosition = Position;
    W.Block.LineNumber = LineNumber;
    if (!W.Parser.ParseLine(Line.empty() ? "(Blank" : Line, W.Block))
        return;
    if (W.Metric.ConvertToMetric(W.Block))
        W.Abs.MakeAbsolute(W.Block);
    orv::TCNC_Groups Scratch = W.Block;
    W.Calc.Calculate(Scratch);
    while (W.Calc.QueueCount() > 0) {
        orv::TCNC_data Record;
        W.Calc.GetNextData(Record);
        CheckRecord(Record);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    static TFuzzWorld World;
    World.Abs.BlockSkip = Size % 3 == 0;
    World.Abs.ShowErrorDialogueBox = Size % 2 == 0;
    World.Calc.FourthAxis = static_cast<int>(Size % 4);
    if (Size % 5 == 0) {
        World.Abs.Rewind();
        World.Calc.Rewind();
    }
    TMemoryInput Input(Data, Size);
    std::string Name = "fuzz.fnc";
    Input.LoadFile(Name);
    for (size_t Guard = 0; Guard <= Size + 1; ++Guard) {
        std::string Line;
        int LineNumber = 0, Level = 0;
        const int Position = Input.ReadLine(Line, LineNumber, Level);
        if (Position < 0)
            break;
        RunBlock(World, Line, Position, LineNumber);
    }
    World.Boxes.ClearLog();
    return 0;
}
