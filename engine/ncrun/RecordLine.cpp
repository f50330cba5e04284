#include "engine/ncrun/RecordLine.h"

#include "engine/core/data_types.h"
#include "platform/NumberText.h"

#include <charconv>

namespace orv {

namespace {

// The numbers of a record go into a buffer on the stack first and reach the
// line in one append; a real the quick path cannot write (2^63 and beyond,
// infinities) goes through FormatFixed.
class TRecordWriter {
public:
    explicit TRecordWriter(std::string &Line) : FLine(Line) {}
    ~TRecordWriter() { Flush(); }

    void Char(char C) { *FAt++ = C; }
    void Code(int32_t Value)
    {
        *FAt++ = ' ';
        if (Value == NoMoveCode)
            *FAt++ = '-';
        else
            Int(Value);
    }
    void Int(int32_t Value) { FAt = std::to_chars(FAt, FAt + 12, Value).ptr; }
    void Real(long double Value)
    {
        *FAt++ = ' ';
        if (Value == NoValue) {
            *FAt++ = '-';
            return;
        }
        if (char *end = FormatFixedTo(FAt, Value, 4)) {
            FAt = end;
            return;
        }
        Flush();
        FLine += FormatFixed(Value, 4);
    }
    void Flush()
    {
        FLine.append(FBuffer, FAt);
        FAt = FBuffer;
    }

private:
    // Room for every number of one record at their longest.
    char FBuffer[20 * (FixedTextSize + 2)];
    char *FAt = FBuffer;
    std::string &FLine;
};

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
    {
        TRecordWriter out(Line);
        out.Int(Data.LineNumber);
        out.Code(Data.Motion);
        for (double value : {Data.X, Data.Y, Data.Z, Data.I, Data.J, Data.K, Data.R})
            out.Real(value);
        out.Real(Data.Sweep);
        out.Real(Data.Radius);
        out.Char(' ');
        out.Int(Data.Plane);
        out.Real(Data.Feed);
        out.Code(Data.Spindle);
        out.Code(Data.MCode);
        out.Code(Data.Tool);
        out.Char(' ');
    }
    if (Data.Text.empty())
        Line += '-';
    else
        Line += Data.Text;
}

} // namespace orv
