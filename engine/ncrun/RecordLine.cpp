#include "engine/ncrun/RecordLine.h"

#include "engine/core/data_types.h"
#include "platform/NumberText.h"

namespace orv {

namespace {

void AddReal(std::string &Line, long double Value)
{
    Line += ' ';
    if (Value == NoValue)
        Line += '-';
    else
        Line += FormatFixed(Value, 4);
}

void AddCode(std::string &Line, int32_t Value)
{
    Line += ' ';
    if (Value == NoMoveCode)
        Line += '-';
    else
        Line += IntToStr(Value);
}

} // namespace

std::string RecordLine(const TCNC_data &Data)
{
    std::string line;
    line.reserve(160 + Data.Text.size());
    AppendRecordLine(line, Data);
    return line;
}

void AppendRecordLine(std::string &Line, const TCNC_data &Data)
{
    Line += IntToStr(Data.LineNumber);
    AddCode(Line, Data.Motion);
    for (long double value : {static_cast<long double>(Data.X), static_cast<long double>(Data.Y),
                              static_cast<long double>(Data.Z), static_cast<long double>(Data.I),
                              static_cast<long double>(Data.J), static_cast<long double>(Data.K),
                              static_cast<long double>(Data.R), Data.Sweep, Data.Radius})
        AddReal(Line, value);
    Line += ' ';
    Line += IntToStr(Data.Plane);
    AddReal(Line, Data.Feed);
    AddCode(Line, Data.Spindle);
    AddCode(Line, Data.MCode);
    AddCode(Line, Data.Tool);
    Line += ' ';
    if (Data.Text.empty())
        Line += '-';
    else
        Line += Data.Text;
}

} // namespace orv
