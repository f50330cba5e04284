#include "engine/ncrun/RecordLine.h"

#include "engine/core/data_types.h"
#include "platform/NumberText.h"

namespace orv {

namespace {

std::string RealText(long double Value)
{
    if (Value == NoValue)
        return "-";
    return FormatFixed(Value, 4);
}

std::string CodeText(int32_t Value)
{
    if (Value == NoMoveCode)
        return "-";
    return IntToStr(Value);
}

} // namespace

std::string RecordLine(const TCNC_data &Data)
{
    std::string line = IntToStr(Data.LineNumber);
    for (const std::string &field :
         {CodeText(Data.Motion), RealText(Data.X), RealText(Data.Y), RealText(Data.Z),
          RealText(Data.I), RealText(Data.J), RealText(Data.K), RealText(Data.R),
          RealText(Data.Sweep), RealText(Data.Radius), IntToStr(Data.Plane), RealText(Data.Feed),
          CodeText(Data.Spindle), CodeText(Data.MCode), CodeText(Data.Tool),
          Data.Text.empty() ? std::string("-") : Data.Text})
        line += " " + field;
    return line;
}

} // namespace orv
